// The system's own DLLs, loaded at run time by their full path in the system
// folder, so that no copy of the same name elsewhere (beside the exe, in the
// current folder) is taken for one.
#pragma once

#include <string>

#include <windows.h>

namespace nimbrel {

// The function `name` of the system DLL `dll`, which stays loaded; null
// where the DLL or the function is not there (an older Windows).
template <class F>
F SystemFunction(const char* dll, const char* name) {
  char folder[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  const std::string path = std::string(folder, length) + "\\" + dll;
  HMODULE module = GetModuleHandleA(path.c_str());
  if (!module) module = LoadLibraryA(path.c_str());
  return module ? reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)))
                : nullptr;
}

}  // namespace nimbrel
