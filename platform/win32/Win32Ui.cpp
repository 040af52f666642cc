// The helpers every window of the Win32 user interface shares (Win32Ui.h):
// the handler count, the names and the message by which other processes find
// and call windows, the object a window belongs to, buffered painting and the
// mouse event arguments.
#include <windowsx.h>

#include "platform/win32/Win32Ui.h"

namespace nimbrel {

namespace {

int& Depth() {
  static int depth = 0;
  return depth;
}

}  // namespace

HandlerScope::HandlerScope() { ++Depth(); }
HandlerScope::~HandlerScope() { --Depth(); }
bool HandlerScope::Idle() { return Depth() == 0; }

UINT ComeForwardMessage() {
  static const UINT message = RegisterWindowMessageA("NimbrelSoft.Nimbrel.ComeForward");
  return message;
}

UINT ListLineMessage() {
  static const UINT message = RegisterWindowMessageA("NimbrelSoft.Nimbrel.ListLine");
  return message;
}

ATOM SetName(HWND window, const std::string& name) {
  const ATOM atom = GlobalAddAtomA(name.c_str());
  SetPropA(window, kNameProp, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(atom)));
  return atom;
}

void RemoveName(HWND window, ATOM atom) {
  RemovePropA(window, kNameProp);
  if (atom) GlobalDeleteAtom(atom);
}

void* CreatedFor(HWND hwnd, UINT msg, LPARAM lParam) {
  if (msg == WM_NCCREATE)
    SetWindowLongPtrA(
        hwnd, GWLP_USERDATA,
        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
  return reinterpret_cast<void*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

void PaintBuffered(HWND hwnd, const std::function<void(HDC, const RECT&)>& paint) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  const RECT& rc = ps.rcPaint;
  const int w = rc.right - rc.left, h = rc.bottom - rc.top;
  if (w > 0 && h > 0) {
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bmp = CreateCompatibleBitmap(dc, w, h);
    HGDIOBJ old = SelectObject(mem, bmp);
    // The bitmap holds the part to repaint; the painting is shifted onto it.
    SetViewportOrgEx(mem, -rc.left, -rc.top, nullptr);
    RECT client;
    GetClientRect(hwnd, &client);
    paint(mem, client);
    SetViewportOrgEx(mem, 0, 0, nullptr);
    BitBlt(dc, rc.left, rc.top, w, h, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
  }
  EndPaint(hwnd, &ps);
}

MouseEvent MouseArgs(int button, WPARAM keys, LPARAM point) {
  MouseEvent e;
  e.button = button;
  e.shift = ((keys & MK_SHIFT) ? 1 : 0) | ((keys & MK_CONTROL) ? 2 : 0) |
            (GetKeyState(VK_MENU) < 0 ? 4 : 0);
  e.x = GET_X_LPARAM(point) * kTwipsPerPixel;
  e.y = GET_Y_LPARAM(point) * kTwipsPerPixel;
  return e;
}

int ButtonsDown(WPARAM keys) {
  return ((keys & MK_LBUTTON) ? 1 : 0) | ((keys & MK_RBUTTON) ? 2 : 0) |
         ((keys & MK_MBUTTON) ? 4 : 0);
}

}  // namespace nimbrel
