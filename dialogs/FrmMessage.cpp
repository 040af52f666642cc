#include "dialogs/FrmMessage.h"

#include "dialogs/WindowChrome.h"

namespace nimbrel {

namespace {
constexpr int kWidth = 380, kHeight = 176, kTitle = 32;

void Show(Context& ctx, bool question, const std::string& title, const std::string& text) {
  FrmMessage msg(ctx);
  ctx.MessageAnswer = false;
  msg.cmdNo.SetVisible(question);
  msg.cmdYes.SetVisible(question);
  msg.cmdOK.SetVisible(!question);
  msg.strip.title.SetCaption(title);
  msg.lblMesage.SetCaption(text);
  msg.ShowModal();
}
}  // namespace

FrmMessage::FrmMessage(Context& ctx)
    : Form(ctx.platform.loop, "FrmMessage", Px(kWidth), Px(kHeight)),
      strip(ctx, *this, {.caption = "About ...", .titleWidth = kWidth - 84, .helpLeft = 32}),
      lblMesage(*this, "lblMesage", "", Px(20), Px(kTitle + 18), Px(kWidth - 40), Px(72)),
      cmdYes(*this, "cmdYes", "Yes", Px(kWidth - 200), Px(kHeight - 44), Px(84), Px(28)),
      cmdNo(*this, "cmdNo", "No", Px(kWidth - 104), Px(kHeight - 44), Px(84), Px(28)),
      cmdOK(*this, "cmdOK", "OK", Px(kWidth - 104), Px(kHeight - 44), Px(84), Px(28)),
      ctx_(ctx) {
  lblMesage.SetLook(TextStyle::Normal, palette::kText, palette::kWindow);
  cmdYes.Click = [this] { Answer(true); };
  cmdNo.Click = [this] { Answer(false); };
  cmdOK.Click = [this] { Answer(false); };
}

void FrmMessage::Answer(bool yes) {
  ctx_.MessageAnswer = yes;
  Close();
}

void ShowInformation(Context& ctx, const std::string& title, const std::string& text) {
  Show(ctx, false, title, text);
}

bool AskQuestion(Context& ctx, const std::string& title, const std::string& text) {
  Show(ctx, true, title, text);
  return ctx.MessageAnswer;
}

}  // namespace nimbrel
