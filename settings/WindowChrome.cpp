#include "settings/WindowChrome.h"

#include <cmath>

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

}  // namespace nimbrel
