#include "cleaning/PreviewPlatform.h"

#include <algorithm>

namespace nimbrel {

namespace {
// What ShellExecuteA returns for a program started (anything above 32).
constexpr std::intptr_t kStarted = 33;
}  // namespace

bool PreviewShell::EmptyRecycleBin(std::uintptr_t owner) {
  const std::uint64_t items = RecycleBinItems();
  if (mode_ == PreviewMode::PassThrough) {
    if (!inner_.EmptyRecycleBin(owner)) return false;
  } else {
    emptied_ = true;
  }
  if (items > 0) journal_.Record(ChangeKind::RecycleBin, std::to_string(items));
  return true;
}

std::uint64_t PreviewShell::RecycleBinItems() {
  return emptied_ ? 0 : inner_.RecycleBinItems();
}

std::intptr_t PreviewShell::Execute(std::uintptr_t owner, const std::string& verb,
                                    const std::string& file, const std::string& parameters,
                                    const std::string& folder, int show) {
  std::intptr_t result = kStarted;
  if (mode_ == PreviewMode::PassThrough)
    result = inner_.Execute(owner, verb, file, parameters, folder, show);
  if (result > 32) journal_.Record(ChangeKind::Program, file);
  return result;
}

std::vector<WindowHandle> PreviewDesktop::WindowsOfClass(const std::string& className) {
  std::vector<WindowHandle> windows = inner_.WindowsOfClass(className);
  if (mode_ == PreviewMode::Preview)
    std::erase_if(windows, [this](WindowHandle w) { return closed_.count(w) > 0; });
  for (WindowHandle w : windows) classes_[w] = className;
  return windows;
}

std::vector<TopLevelWindow> PreviewDesktop::TopLevelWindows() {
  std::vector<TopLevelWindow> open;
  for (TopLevelWindow& w : inner_.TopLevelWindows()) {
    classes_[w.handle] = w.className;
    if (!closed_.count(w.handle)) open.push_back(std::move(w));
  }
  return open;
}

void PreviewDesktop::PostClose(WindowHandle window) {
  if (mode_ == PreviewMode::PassThrough) inner_.PostClose(window);
  // A window is one change, however often it is asked.
  if (!closed_.insert(window).second) return;
  const auto known = classes_.find(window);
  journal_.Record(ChangeKind::Window, known == classes_.end() ? std::string() : known->second);
}

bool PreviewDesktop::EmptyClipboard(WindowHandle owner) {
  if (mode_ == PreviewMode::PassThrough && !inner_.EmptyClipboard(owner)) return false;
  journal_.Record(ChangeKind::Clipboard, "");
  return true;
}

std::intptr_t PreviewDesktop::SendMessage(WindowHandle window, std::uint32_t message,
                                          std::uintptr_t wParam, std::intptr_t lParam) {
  return mode_ == PreviewMode::PassThrough ? inner_.SendMessage(window, message, wParam, lParam)
                                           : 0;
}

bool PreviewDesktop::CallInstance(const std::string& formName) {
  return mode_ == PreviewMode::PassThrough && inner_.CallInstance(formName);
}

PreviewPlatform::PreviewPlatform(const Platform& inner, PreviewMode mode)
    : inner_(inner),
      registry_(inner.registry, mode, journal),
      files_(inner.files, mode, journal),
      shell_(inner.shell, mode, journal),
      desktop_(inner.desktop, mode, journal),
      profile_(inner.profile, mode, files_),
      urlHistory_(inner.urlHistory, mode, journal),
      urlCache_(inner.urlCache, mode, journal) {}

UrlCache::FindHandle PreviewUrlCache::FindFirst(void* entry, std::uint32_t& size) {
  const FindHandle find = inner_.FindFirst(entry, size);
  if (!find || SkipDeleted(find, entry, size, true)) return find;
  inner_.FindClose(find);  // every entry left was deleted in this preview
  return 0;
}

bool PreviewUrlCache::FindNext(FindHandle find, void* entry, std::uint32_t& size) {
  return SkipDeleted(find, entry, size, inner_.FindNext(find, entry, size));
}

bool PreviewUrlCache::SkipDeleted(FindHandle find, void* entry, std::uint32_t& size, bool ok) {
  // Only an entry read whole can be looked at; the size probe passes through.
  while (ok && entry && !deleted_.empty()) {
    const char* url = static_cast<UrlCacheEntryInfo*>(entry)->sourceUrlName;
    if (!url || !deleted_.count(ToUpper(url))) break;
    // The next entry may need a larger buffer than the caller gave: ask with
    // the caller's buffer, which tells the size needed when it is too small.
    ok = find && inner_.FindNext(find, entry, size);
  }
  return ok;
}

bool PreviewUrlCache::DeleteEntry(const std::string& url) {
  if (mode_ == PreviewMode::PassThrough) {
    if (!inner_.DeleteEntry(url)) return false;
  } else if (!deleted_.insert(ToUpper(url)).second) {
    return false;
  }
  journal_.Record(ChangeKind::UrlCacheEntry, url);
  return true;
}

std::int32_t PreviewUrlHistory::ClearHistory(UrlHistoryObject object) {
  const std::int32_t status = mode_ == PreviewMode::PassThrough ? inner_.ClearHistory(object) : 0;
  journal_.Record(ChangeKind::UrlHistory, "");
  return status;
}

}  // namespace nimbrel
