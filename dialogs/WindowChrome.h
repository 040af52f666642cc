// What the system frame would give a borderless window: dragging by its
// title strip, title label and emblem, with the grabbed point staying under
// the pointer. One drag state serves all windows.
#pragma once

#include <initializer_list>
#include <string>

#include "core/Context.h"
#include "platform/Controls.h"

namespace nimbrel {

inline constexpr const char* kHomePage = "http://www.nimbrel-eraser.example/";
inline constexpr const char* kSupportPage = "http://www.nimbrel-eraser.example/support/index.html";

// Makes each of `handles` drag `form`.
void AttachDragHandles(Context& ctx, Form& form, std::initializer_list<Control*> handles);

// Opens the address in the program associated with files of `extension`
// (found through a throwaway file of that type in the temporary folder).
void OpenUrlInBrowser(Context& ctx, WindowHandle owner, const std::string& address,
                      const std::string& extension);

// The help image of a window: opens the support page.
void AttachHelpImage(Context& ctx, Form& form, Control& image);

// A page selector's label, lit while its page is the one shown.
void ShowPageSelector(Label& selector, bool chosen);

}  // namespace nimbrel
