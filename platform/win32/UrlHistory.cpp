// Win32 implementation of platform/UrlHistory.h.
#include "platform/win32/Win32Platform.h"

#include <windows.h>
#include <urlhist.h>

namespace nimbrel {

namespace {

// The system's CUrlHistory class and the interface asked of it, spelt here so
// that nothing beyond ole32 is needed to name them.
constexpr CLSID kUrlHistoryClass = {
    0x3C374A40, 0xBAE4, 0x11CF, {0xBF, 0x7D, 0x00, 0xAA, 0x00, 0x69, 0x46, 0xEE}};
constexpr IID kUrlHistoryStg2 = {
    0xAFA0DC11, 0xC313, 0x11D0, {0x83, 0x1A, 0x00, 0xC0, 0x4F, 0xD5, 0xAE, 0x38}};

IUrlHistoryStg2* AsHistory(UrlHistoryObject object) {
  return reinterpret_cast<IUrlHistoryStg2*>(object);
}

}  // namespace

UrlHistoryObject Win32UrlHistory::Create() {
  void* object = nullptr;
  const HRESULT rc = CoCreateInstance(kUrlHistoryClass, nullptr,
                                      CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                      kUrlHistoryStg2, &object);
  return SUCCEEDED(rc) ? reinterpret_cast<UrlHistoryObject>(object) : 0;
}

std::int32_t Win32UrlHistory::ClearHistory(UrlHistoryObject object) {
  return object ? AsHistory(object)->ClearHistory() : E_POINTER;
}

void Win32UrlHistory::Release(UrlHistoryObject object) {
  if (object) AsHistory(object)->Release();
}

}  // namespace nimbrel
