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

void ShowPageSelector(Label& selector, bool chosen) {
  if (chosen)
    selector.SetLook(TextStyle::Bold, palette::kTitleText, palette::kAccent, Align::Center);
  else
    selector.SetLook(TextStyle::Normal, palette::kText, palette::kBorder, Align::Center);
}

}  // namespace nimbrel
