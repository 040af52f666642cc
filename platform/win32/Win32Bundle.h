// Every Win32 implementation of the platform interfaces, owned together, and
// the Platform over them. The program, the benchmark and the platform
// self-check build their platform so.
#pragma once

#include "platform/Platform.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Ui.h"

namespace nimbrel {

struct Win32Bundle {
  Win32Registry registry;
  Win32Files files;
  Win32System system;
  Win32Shell shell;
  Win32Desktop desktop;
  Win32Profile profile;
  Win32UrlHistory urlHistory;
  Win32UrlCache urlCache;
  Win32Databases databases;
  Win32EventLoop loop{files};  // finishes the files before the process ends

  Platform AsPlatform() {
    return {registry, files, system, shell, desktop, loop, profile, urlHistory, urlCache,
            databases};
  }
};

}  // namespace nimbrel
