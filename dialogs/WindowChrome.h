// What the system frame would give a borderless window: dragging by its
// title strip, title label and emblem, with the grabbed point staying under
// the pointer (one drag state serves all windows), and its help image.
#pragma once

#include <initializer_list>

#include "core/Context.h"
#include "platform/Controls.h"

namespace nimbrel {

// Makes each of `handles` drag `form`.
void AttachDragHandles(Context& ctx, Form& form, std::initializer_list<Control*> handles);

// The help image of a window: opens the support page.
void AttachHelpImage(Context& ctx, Form& form, Control& image);

// A page selector's label, lit while its page is the one shown.
void ShowPageSelector(Label& selector, bool chosen);

}  // namespace nimbrel
