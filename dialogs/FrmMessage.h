// The program's own message dialog, used instead of the system message box
// for every message and question. MessageAnswer is true only after Yes.
#pragma once

#include <string>

#include "core/Context.h"
#include "dialogs/WindowChrome.h"
#include "platform/Controls.h"

namespace nimbrel {

class FrmMessage : public Form {
 public:
  explicit FrmMessage(Context& ctx);

  TitleStrip strip;
  Label lblMesage;
  PictureButton cmdYes;
  PictureButton cmdNo;
  PictureButton cmdOK;

 private:
  void Answer(bool yes);
  Context& ctx_;
};

// An information message: only OK is shown. Returns when it is closed.
void ShowInformation(Context& ctx, const std::string& title, const std::string& text);
// A question with Yes and No; true when the user answered Yes.
bool AskQuestion(Context& ctx, const std::string& title, const std::string& text);

}  // namespace nimbrel
