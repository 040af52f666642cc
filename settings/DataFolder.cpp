#include "settings/DataFolder.h"

#include <vector>

namespace nimbrel {

namespace {

std::string In(const std::string& folder, std::string_view name) {
  return folder + "\\" + std::string(name);
}

bool IsFolder(Files& files, const std::string& path) {
  const std::uint32_t attributes = files.Attributes(path);
  return attributes != kInvalidAttributes && (attributes & kAttrDirectory);
}

bool IsFile(Files& files, const std::string& path) {
  const std::uint32_t attributes = files.Attributes(path);
  return attributes != kInvalidAttributes && !(attributes & kAttrDirectory);
}

// True when this process may make, write and delete files in `folder`: a
// probe file is made there and deleted again. The path alone cannot tell (a
// Program Files folder of an administrator, a portable copy on a read-only
// medium, a folder whose rights were changed).
// The probe is made afresh under a name the folder's listing does not hold, so
// that nothing already there (a link to a user's file among them) is written
// or deleted.
bool MayWriteIn(Files& files, const std::string& folder) {
  std::string probe = In(folder, kWriteProbeFile);
  for (int n = 2; !files.Find(probe).empty(); ++n) {
    if (n > 9) return false;
    probe = In(folder, "Nimbrel write test " + std::to_string(n) + ".tmp");
  }
  return files.WriteAll(probe, "") && files.Delete(probe);
}

}  // namespace

const std::string& DataFolder::SaveFolder(const Platform& p) {
  if (folder_) return *folder_;
  const std::string program = p.system.ProgramFolder();
  std::string appData = MayWriteIn(p.files, program) ? "" : p.shell.SpecialFolder(kCsidlAppData);
  while (!appData.empty() && appData.back() == '\\') appData.pop_back();
  folder_ = appData.empty() ? program : In(appData, kAppDataSubfolder);
  // A "Nimbrel" there that is a link or no folder is never used: the files
  // would be written where it leads (Documents, the Windows folder). The
  // program folder is kept, where nothing may be saved.
  const std::uint32_t attributes = p.files.Attributes(*folder_);
  if (*folder_ != program && attributes != kInvalidAttributes &&
      (!(attributes & kAttrDirectory) || p.files.IsLink(*folder_))) {
    refused_ = *folder_;
    folder_ = program;
  }
  return *folder_;
}

std::string DataFolder::PathToRead(const Platform& p, std::string_view name) {
  const std::string& folder = SaveFolder(p);
  const std::string program = p.system.ProgramFolder();
  if (folder != program && !IsFolder(p.files, folder)) return In(program, name);
  return In(folder, name);
}

std::string DataFolder::PathToSave(const Platform& p, std::string_view name) {
  MakeSaveFolder(p);
  return In(SaveFolder(p), name);
}

void DataFolder::MakeSaveFolder(const Platform& p) {
  Files& files = p.files;
  const std::string& folder = SaveFolder(p);
  if (IsFolder(files, folder) || !files.CreateFolder(folder)) return;
  const std::string program = p.system.ProgramFolder();
  std::vector<std::string> copies;
  for (const char* name : kDataFiles) {
    const std::string old = In(program, name);
    if (!IsFile(files, old)) continue;
    const std::string copy = In(folder, name);
    const std::optional<std::string> text = files.ReadAll(old);
    const bool copied = text && files.WriteAll(copy, *text);
    if (copied || IsFile(files, copy)) copies.push_back(copy);
    if (!copied) {
      // Half the files in the new folder would leave the rest unread: the
      // old ones stay in use until all can be copied.
      for (const std::string& made : copies) files.Delete(made);
      files.RemoveFolder(folder);
      return;
    }
  }
}

}  // namespace nimbrel
