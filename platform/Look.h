// The program's look as data: the palette, the pictures the skin draws and
// the text styles. Forms choose from these; the Win32 skin paints them.
#pragma once

#include <cstdint>

namespace nimbrel {

using Colour = std::uint32_t;  // 0x00BBGGRR, as Win32 COLORREF

constexpr Colour Rgb(int r, int g, int b) {
  return static_cast<Colour>(r) | (static_cast<Colour>(g) << 8) | (static_cast<Colour>(b) << 16);
}

namespace palette {
constexpr Colour kTitle = Rgb(28, 43, 66);         // title strip
constexpr Colour kTitleText = Rgb(236, 241, 247);
constexpr Colour kWindow = Rgb(238, 241, 245);      // window background
constexpr Colour kPanel = Rgb(255, 255, 255);       // lists and panels
constexpr Colour kSidebar = Rgb(40, 58, 86);        // command column
constexpr Colour kSidebarHot = Rgb(58, 122, 196);   // highlighted command
constexpr Colour kSidebarText = Rgb(226, 233, 242);
constexpr Colour kAccent = Rgb(46, 139, 214);
constexpr Colour kText = Rgb(33, 37, 43);
constexpr Colour kMutedText = Rgb(96, 106, 120);
constexpr Colour kBorder = Rgb(200, 207, 217);
constexpr Colour kLink = Rgb(30, 110, 200);
}  // namespace palette

// What an image control shows. Each command has a normal and a highlighted
// look; the highlighted one is the "MouseMove" image of a pair.
enum class Picture {
  None,
  TitleBar,   // the strip a window is dragged by
  Grip,       // the program's emblem on the title strip
  Background,
  Close,
  Minimize,
  Help,
  StartErasing,
  EraseSettings,
  Options,
  About,
  Exit,
  Preview,    // the preview command: a magnifier
  WipeFreeSpace,  // the free-space wipe: a drive
  Logo,       // large emblem of the about box
};

// The main window's backdrop (Picture::Background), in pixels: the command
// column down its left side and the status strip along its bottom.
constexpr int kBackdropColumnWidth = 172;
constexpr int kBackdropStatusHeight = 24;

// The marks of list rows, numbered as the list views' image list holds them
// (from 1; None shows no mark).
enum class RowMark {
  None = 0,
  ApplicationItem = 1,  // an application in the erase-settings list
  Category = 2,         // a to-be-erased row of a track category
  Application = 3,      // a to-be-erased row of an application
  Reached = 6,          // a to-be-erased row the run has reached
};

enum class TextStyle { Normal, Bold, Title, Heading, Small, Link, Sidebar, Counter };
enum class Align { Left, Center, Right };

}  // namespace nimbrel
