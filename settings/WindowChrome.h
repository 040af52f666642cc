// What the system frame would give a borderless window: dragging by its
// title strip, title label and emblem, with the grabbed point staying under
// the pointer. One drag state serves all windows.
#pragma once

#include <initializer_list>

#include "erasers/Context.h"
#include "platform/Controls.h"

namespace nimbrel {

// Makes each of `handles` drag `form`.
void AttachDragHandles(Context& ctx, Form& form, std::initializer_list<Control*> handles);

}  // namespace nimbrel
