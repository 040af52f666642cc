// The about box: product name, version and web site.
#pragma once

#include "core/Context.h"
#include "dialogs/WindowChrome.h"
#include "platform/Controls.h"

namespace nimbrel {

class FrmAbout : public Form {
 public:
  explicit FrmAbout(Context& ctx);

  TitleStrip strip;
  Image imgLogo;
  Label Label1;
  Label Label2;
  Label lblVersionCaption;
  Label Label5;
  Label lblWebsiteCaption;
  Label Label6;
  PictureButton Command6;
};

}  // namespace nimbrel
