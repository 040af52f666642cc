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
  msg.Label4.SetCaption(title);
  msg.lblMesage.SetCaption(text);
  msg.ShowModal();
}
}  // namespace

FrmMessage::FrmMessage(Context& ctx)
    : Form(ctx.platform.loop, "FrmMessage", Px(kWidth), Px(kHeight)),
      ImgFormMove(*this, "ImgFormMove", Picture::TitleBar, false, 0, 0, Px(kWidth), Px(kTitle)),
      Image7(*this, "Image7", Picture::Grip, false, Px(8), Px(4), Px(24), Px(24)),
      Label4(*this, "Label4", "About ...", Px(40), Px(8), Px(kWidth - 84), Px(18)),
      Image8(*this, "Image8", Picture::Help, false, Px(kWidth - 32), Px(4), Px(24), Px(24)),
      lblMesage(*this, "lblMesage", "", Px(20), Px(kTitle + 18), Px(kWidth - 40), Px(72)),
      cmdYes(*this, "cmdYes", "Yes", Px(kWidth - 200), Px(kHeight - 44), Px(84), Px(28)),
      cmdNo(*this, "cmdNo", "No", Px(kWidth - 104), Px(kHeight - 44), Px(84), Px(28)),
      cmdOK(*this, "cmdOK", "OK", Px(kWidth - 104), Px(kHeight - 44), Px(84), Px(28)),
      ctx_(ctx) {
  Label4.SetLook(TextStyle::Title, palette::kTitleText, palette::kTitle);
  lblMesage.SetLook(TextStyle::Normal, palette::kText, palette::kWindow);
  AttachDragHandles(ctx, *this, {&ImgFormMove, &Label4, &Image7});
  AttachHelpImage(ctx, *this, Image8);
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
