#include "dialogs/FrmAbout.h"

#include "dialogs/WebPages.h"
#include "dialogs/WindowChrome.h"

namespace nimbrel {

namespace {
constexpr int kWidth = 400, kHeight = 250, kTitle = 32;
}  // namespace

FrmAbout::FrmAbout(Context& ctx)
    : Form(ctx.platform.loop, "FrmAbout", Px(kWidth), Px(kHeight)),
      strip(ctx, *this, {.caption = "About ...", .titleWidth = 240, .closeName = "Image6"}),
      imgLogo(*this, "imgLogo", Picture::Logo, false, Px(24), Px(kTitle + 24), Px(72), Px(72)),
      Label1(*this, "Label1", "Nimbrel", Px(116), Px(kTitle + 22), Px(260), Px(26)),
      Label2(*this, "Label2", "Nimbrel", Px(116), Px(kTitle + 50), Px(260), Px(18)),
      lblVersionCaption(*this, "lblVersionCaption", "Version", Px(116), Px(kTitle + 80), Px(70),
                        Px(18)),
      Label5(*this, "Label5", "3.0.0", Px(190), Px(kTitle + 80), Px(180), Px(18)),
      lblWebsiteCaption(*this, "lblWebsiteCaption", "Website", Px(116), Px(kTitle + 102), Px(70),
                        Px(18)),
      Label6(*this, "Label6", kHomePage, Px(190), Px(kTitle + 102), Px(200), Px(18)),
      Command6(*this, "Command6", "Cancel", Px(kWidth - 112), Px(kHeight - 46), Px(92), Px(28)) {
  Label1.SetLook(TextStyle::Heading, palette::kText, palette::kWindow);
  Label2.SetLook(TextStyle::Small, palette::kMutedText, palette::kWindow);
  lblVersionCaption.SetLook(TextStyle::Normal, palette::kMutedText, palette::kWindow);
  lblWebsiteCaption.SetLook(TextStyle::Normal, palette::kMutedText, palette::kWindow);
  Label5.SetLook(TextStyle::Bold, palette::kText, palette::kWindow);
  Label6.SetLook(TextStyle::Link, palette::kLink, palette::kWindow);
  Command6.Click = [this] { Close(); };
  Label6.Click = [this, &ctx] { OpenUrlInBrowser(ctx, Handle(), kHomePage, "htm"); };
}

}  // namespace nimbrel
