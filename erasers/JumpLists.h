// The jump lists Windows 7 and later keep of every program: the files it
// opened lately, and what the user pinned to its taskbar button or, for
// Explorer, to Quick Access. A jump list that holds a pinned item is kept
// whole; the others are erased.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "core/Context.h"

namespace nimbrel {

// The pinned items of an automatic jump list, an OLE compound file whose
// "DestList" stream lists its entries, each with its pin state: 0 for a
// compound file without that stream (a list never filled), none for a file
// that cannot be read as one. Only reads.
std::optional<std::uint32_t> PinnedJumpListItems(std::string_view file);

// The automatic and custom jump lists below the recent folder, from Windows 7
// on. A pinned one is kept with the line "  kept (pinned items): PATH", one
// that cannot be read with "  kept (unreadable): PATH".
void EraseJumpLists(Context& ctx);

}  // namespace nimbrel
