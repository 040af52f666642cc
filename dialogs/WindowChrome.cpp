#include "dialogs/WindowChrome.h"

#include <cmath>

#include "dialogs/WebPages.h"

namespace nimbrel {

void AttachDragHandles(Context& ctx, Form& form, std::initializer_list<Control*> handles) {
  for (Control* handle : handles) {
    handle->MouseDown = [&ctx](const MouseEvent& e) {
      ctx.drag.dragging = true;
      ctx.drag.startX = static_cast<std::int16_t>(std::lround(e.x));
      ctx.drag.startY = static_cast<std::int16_t>(std::lround(e.y));
    };
    handle->MouseMove = [&ctx, &form](const MouseEvent& e) {
      if (!ctx.drag.dragging) return;
      form.MoveTo(form.Left() + e.x - ctx.drag.startX, form.Top() + e.y - ctx.drag.startY);
    };
    handle->MouseUp = [&ctx](const MouseEvent&) { ctx.drag.dragging = false; };
  }
}

void AttachHelpImage(Context& ctx, Form& form, Control& image) {
  image.Click = [&ctx, &form] { OpenUrlInBrowser(ctx, form.Handle(), kSupportPage, "htm"); };
}

TitleStrip::TitleStrip(Context& ctx, Form& form, const Layout& layout)
    : ImgFormMove(form, "ImgFormMove", Picture::TitleBar, false, 0, 0, form.Width(), Px(kHeight)),
      Image7(form, "Image7", Picture::Grip, false, Px(8), Px(4), Px(24), Px(24)),
      title(form, layout.titleName, layout.caption, Px(40), Px(8), Px(layout.titleWidth), Px(18)),
      Image8(form, "Image8", Picture::Help, false, form.Width() - Px(layout.helpLeft), Px(4),
             Px(24), Px(24)) {
  if (layout.closeName) {
    close.emplace(form, layout.closeName, Picture::Close, false, form.Width() - Px(32), Px(4),
                  Px(24), Px(24));
    close->Click = [&form] { form.Close(); };
  }
  title.SetLook(TextStyle::Title, palette::kTitleText, palette::kTitle);
  AttachDragHandles(ctx, form, {&ImgFormMove, &title, &Image7});
  AttachHelpImage(ctx, form, Image8);
}

void ShowPageSelector(Label& selector, bool chosen) {
  if (chosen)
    selector.SetLook(TextStyle::Bold, palette::kTitleText, palette::kAccent, Align::Center);
  else
    selector.SetLook(TextStyle::Normal, palette::kText, palette::kBorder, Align::Center);
}

}  // namespace nimbrel
