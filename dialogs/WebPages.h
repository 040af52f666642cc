// The program's pages on the web, and opening an address in the user's
// browser.
#pragma once

#include <string>

#include "core/Context.h"

namespace nimbrel {

inline constexpr const char* kHomePage = "http://www.nimbrel-eraser.example/";
inline constexpr const char* kSupportPage = "http://www.nimbrel-eraser.example/support/index.html";

// Opens the address in the program associated with files of `extension`
// (found through a throwaway file of that type in the temporary folder).
void OpenUrlInBrowser(Context& ctx, WindowHandle owner, const std::string& address,
                      const std::string& extension);

}  // namespace nimbrel
