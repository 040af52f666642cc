#include "preview/PreviewPlatform.h"

#include <algorithm>
#include <cstring>

#include "platform/Text.h"

namespace nimbrel {

namespace {
// What ShellExecuteA returns for a program started (anything above 32).
constexpr std::intptr_t kStarted = 33;

bool Inside(const char* text, const std::vector<std::byte>& buffer) {
  const auto* begin = reinterpret_cast<const char*>(buffer.data());
  return text && !std::less<const char*>()(text, begin) &&
         std::less<const char*>()(text, begin + buffer.size());
}

// The URL of an entry read whole, taken no further than its buffer.
std::string UrlOf(const std::vector<std::byte>& entry) {
  UrlCacheEntryInfo info;
  std::memcpy(&info, entry.data(), sizeof info);
  if (!Inside(info.sourceUrlName, entry)) return {};
  const char* url = info.sourceUrlName;
  const auto* end = reinterpret_cast<const char*>(entry.data()) + entry.size();
  return std::string(url, std::find(url, end, '\0'));
}

// Hands an entry read whole to the caller as WinINet fills a buffer: into
// one large enough, its texts' pointers moved along; otherwise only the size
// it needs is told.
bool HandOver(const std::vector<std::byte>& read, void* entry, std::uint32_t& size) {
  const auto needed = static_cast<std::uint32_t>(read.size());
  if (!entry || size < needed) {
    size = needed;
    return false;
  }
  const auto* from = reinterpret_cast<const char*>(read.data());
  char* to = static_cast<char*>(entry);
  std::memcpy(to, from, needed);
  UrlCacheEntryInfo info;
  std::memcpy(&info, from, sizeof info);
  for (char** text : {&info.sourceUrlName, &info.localFileName, &info.headerInfo,
                      &info.fileExtension})
    if (Inside(*text, read)) *text = to + (*text - from);
  std::memcpy(to, &info, sizeof info);
  size = needed;
  return true;
}
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

bool PreviewShell::FlushDnsCache() {
  if (mode_ == PreviewMode::PassThrough && !inner_.FlushDnsCache()) return false;
  journal_.Record(ChangeKind::DnsCache, "");
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
  if (mode_ == PreviewMode::PassThrough) {
    inner_.PostClose(window);
  } else if (const std::uint32_t owner = inner_.WindowProcess(window)) {
    for (const ProcessEntry& p : inner_.Processes())
      if (p.id == owner) closedPrograms_.insert(ToUpper(p.exeName));
  }
  // A window is one change, however often it is asked.
  if (!closed_.insert(window).second) return;
  const auto known = classes_.find(window);
  journal_.Record(ChangeKind::Window, known == classes_.end() ? std::string() : known->second);
}

std::vector<ProcessEntry> PreviewDesktop::Processes() {
  std::vector<ProcessEntry> running = inner_.Processes();
  std::erase_if(running, [this](const ProcessEntry& p) {
    return closedPrograms_.count(ToUpper(p.exeName)) > 0;
  });
  return running;
}

bool PreviewDesktop::EmptyClipboard(WindowHandle owner) {
  if (mode_ == PreviewMode::PassThrough && !inner_.EmptyClipboard(owner)) return false;
  journal_.Record(ChangeKind::Clipboard, "");
  return true;
}

bool PreviewDesktop::ClearClipboardHistory() {
  if (mode_ == PreviewMode::PassThrough && !inner_.ClearClipboardHistory()) return false;
  journal_.Record(ChangeKind::ClipboardHistory, "");
  return true;
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
      urlCache_(inner.urlCache, mode, journal),
      databases_(inner.databases, mode, journal) {}

UrlCache::FindHandle PreviewUrlCache::FindFirst(void* entry, std::uint32_t& size) {
  if (mode_ == PreviewMode::PassThrough) return inner_.FindFirst(entry, size);
  FindHandle find = 0;
  const Entry first = ReadLeft(find);
  if (!first.empty() && HandOver(first, entry, size)) return find;
  // The size probe, a buffer too small, or no entry left in this preview.
  if (first.empty()) size = 0;
  if (find) inner_.FindClose(find);
  return 0;
}

bool PreviewUrlCache::FindNext(FindHandle find, void* entry, std::uint32_t& size) {
  if (mode_ == PreviewMode::PassThrough) return inner_.FindNext(find, entry, size);
  if (!find) return false;
  auto next = next_.find(find);
  if (next == next_.end()) {
    Entry read = ReadLeft(find);
    if (read.empty()) {
      size = 0;
      return false;
    }
    next = next_.emplace(find, std::move(read)).first;
  }
  // Kept for the caller's next call when this one was the probe.
  if (!HandOver(next->second, entry, size)) return false;
  next_.erase(next);
  return true;
}

void PreviewUrlCache::FindClose(FindHandle find) {
  next_.erase(find);
  inner_.FindClose(find);
}

PreviewUrlCache::Entry PreviewUrlCache::ReadLeft(FindHandle& find) {
  const auto fetch = [&](void* entry, std::uint32_t& size) {
    if (find) return inner_.FindNext(find, entry, size);
    find = inner_.FindFirst(entry, size);
    return find != 0;
  };
  for (;;) {
    std::uint32_t size = 0;
    fetch(nullptr, size);
    if (size < sizeof(UrlCacheEntryInfo)) return {};
    Entry entry(size);
    std::memcpy(entry.data(), &size, sizeof size);  // the size field says the buffer's size
    if (!fetch(entry.data(), size)) return {};
    if (!deleted_.count(ToUpper(UrlOf(entry)))) return entry;
  }
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

namespace {

class PreviewDatabase final : public Database {
 public:
  PreviewDatabase(std::unique_ptr<Database> inner, std::string path, PreviewMode mode,
                  ChangeJournal& journal)
      : inner_(std::move(inner)), path_(std::move(path)), mode_(mode), journal_(journal) {}
  DbStatus Query(const std::string& sql, DbRows& rows) override { return inner_->Query(sql, rows); }
  DbStatus Begin() override { return inner_->Begin(); }
  DbStatus Change(const std::string& sql) override {
    return mode_ == PreviewMode::Preview ? DbStatus::Ok : inner_->Change(sql);
  }
  DbStatus Commit(const std::string& what) override {
    if (mode_ == PreviewMode::Preview) {
      inner_->Rollback();
    } else if (const DbStatus status = inner_->Commit(what); status != DbStatus::Ok) {
      return status;
    }
    journal_.Record(ChangeKind::DatabaseRows, path_ + ": " + what);
    return DbStatus::Ok;
  }
  void Rollback() override { inner_->Rollback(); }
  DbStatus Checkpoint() override {
    return mode_ == PreviewMode::Preview ? DbStatus::Ok : inner_->Checkpoint();
  }
  std::string Error() override { return inner_->Error(); }

 private:
  std::unique_ptr<Database> inner_;
  std::string path_;
  PreviewMode mode_;
  ChangeJournal& journal_;
};

}  // namespace

std::unique_ptr<Store> PreviewDatabases::OpenStore(const std::string& folder, DbStatus& status) {
  return mode_ == PreviewMode::Preview ? inner_.OpenStoreToRead(folder, status)
                                       : inner_.OpenStore(folder, status);
}

void PreviewDatabases::SiteDataGone(const std::string& profile, const std::string& site,
                                    std::uint64_t bytes) {
  inner_.SiteDataGone(profile, site, bytes);
  journal_.Record(ChangeKind::SiteData, profile + ": " + site, bytes);
}

std::unique_ptr<Database> PreviewDatabases::Open(const std::string& path, DbStatus& status) {
  std::unique_ptr<Database> inner = mode_ == PreviewMode::Preview
                                        ? inner_.OpenToRead(path, status)
                                        : inner_.Open(path, status);
  if (!inner) return nullptr;
  return std::make_unique<PreviewDatabase>(std::move(inner), path, mode_, journal_);
}

}  // namespace nimbrel
