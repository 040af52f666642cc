// What the system frame would give a borderless window: dragging by its
// title strip, title label and emblem, with the grabbed point staying under
// the pointer (one drag state serves all windows), and its help image.
#pragma once

#include <initializer_list>
#include <optional>

#include "core/Context.h"
#include "platform/Controls.h"

namespace nimbrel {

// Makes each of `handles` drag `form`.
void AttachDragHandles(Context& ctx, Form& form, std::initializer_list<Control*> handles);

// The help image of a window: opens the support page.
void AttachHelpImage(Context& ctx, Form& form, Control& image);

// The title strip across the top of a window: the strip image, the grip and
// the title label drag the window, the help image opens the support page and
// the close image, where the window has one, closes it. Its controls are the
// window's first, in this order; the title and the close image are named by
// what they do, as their control names differ from window to window.
class TitleStrip {
 public:
  static constexpr int kHeight = 32;  // pixels
  struct Layout {
    const char* titleName = "Label4";  // the title label's control name
    const char* caption = "";
    int titleWidth = 300;  // pixels
    int helpLeft = 60;     // pixels from the window's right edge to the help image
    const char* closeName = nullptr;  // none: no close image
  };
  TitleStrip(Context& ctx, Form& form, const Layout& layout);

  Image ImgFormMove;
  Image Image7;
  Label title;
  Image Image8;
  std::optional<Image> close;
};

// A page selector's label, lit while its page is the one shown.
void ShowPageSelector(Label& selector, bool chosen);

}  // namespace nimbrel
