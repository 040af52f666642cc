// A shell that records what it was asked to do.
#pragma once

#include <map>
#include <vector>

#include "platform/Shell.h"

namespace nimbrel {

class FakeShell final : public Shell {
 public:
  struct Execution {
    std::uintptr_t owner;
    std::string verb, file, parameters, folder;
    int show;
  };
  int recycleBinEmptied = 0;
  std::map<int, std::string> specialFolders{
      {kCsidlHistory, "C:\\Documents and Settings\\user\\Local Settings\\History"},
      {kCsidlAppData, "C:\\Documents and Settings\\user\\Application Data"}};
  std::vector<Execution> executions;
  std::vector<std::string> findExecutableCalls;
  std::string associatedProgram;  // empty: nothing associated
  std::intptr_t findExecutableResult = 42;
  // The notify icons standing, by window, with their tips; and every request
  // in order, as "add <tip>" or "delete".
  std::map<std::uintptr_t, std::string> icons;
  std::vector<std::string> iconRequests;

  std::uintptr_t recycleBinOwner = 0;
  std::uint64_t recycleBinItems = 0;  // emptying the bin sets it to 0
  bool EmptyRecycleBin(std::uintptr_t owner) override {
    recycleBinOwner = owner;
    ++recycleBinEmptied;
    recycleBinItems = 0;
    return true;
  }
  std::uint64_t RecycleBinItems() override { return recycleBinItems; }
  int dnsFlushed = 0;
  bool dnsFlushFails = false;
  bool FlushDnsCache() override {
    if (dnsFlushFails) return false;
    ++dnsFlushed;
    return true;
  }
  std::string SpecialFolder(int csidl) override {
    const auto it = specialFolders.find(csidl);
    return it == specialFolders.end() ? std::string() : it->second;
  }
  std::map<KnownFolder, std::string> knownFolders;
  std::string KnownFolderPath(KnownFolder folder) override {
    const auto it = knownFolders.find(folder);
    return it == knownFolders.end() ? std::string() : it->second;
  }
  std::intptr_t Execute(std::uintptr_t owner, const std::string& verb, const std::string& file,
                        const std::string& parameters, const std::string& folder,
                        int show) override {
    executions.push_back({owner, verb, file, parameters, folder, show});
    return 42;
  }
  std::intptr_t FindExecutable(const std::string& file, std::string& program) override {
    findExecutableCalls.push_back(file);
    if (associatedProgram.empty()) return 31;  // SE_ERR_NOASSOC
    program = associatedProgram;
    return findExecutableResult;
  }
  // As the shell does: one icon per window, a second add fails.
  bool NotifyIcon(NotifyIconAction action, std::uintptr_t window,
                  const std::string& tip) override {
    if (action == NotifyIconAction::Delete) {
      iconRequests.push_back("delete");
      return icons.erase(window) > 0;
    }
    iconRequests.push_back("add " + tip);
    return icons.emplace(window, tip.substr(0, 63)).second;
  }
};

}  // namespace nimbrel
