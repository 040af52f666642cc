#include "erasers/WipeFreeSpace.h"

#include <algorithm>
#include <deque>
#include <utility>

#include "erasers/SecureOverwrite.h"
#include "erasers/modFiles.h"
#include "platform/Path.h"
#include "platform/Text.h"

namespace nimbrel {

namespace {

// A write the drive refuses is tried again in halves, down to this size, so
// that the last free clusters are filled too.
constexpr std::size_t kSmallestWrite = 512;
// The file table's small files: so many per folder (a folder's index kept
// small, inside its own record where it can), two sub-folders first in each,
// and no more than so many in all.
constexpr int kTableFilesPerFolder = 48;
constexpr int kTableSubFolders = 2;
constexpr std::uint64_t kMaxTableEntries = 1ull << 22;
// The step is called every so many small files or removals.
constexpr std::uint64_t kStepEvery = 64;

std::string WipeFolder(const std::string& root) { return root + kWipeFolderName; }

// A short name for the n-th entry: the fewer letters, the more entries a
// folder's index keeps inside its record.
std::string ShortName(std::uint64_t n) {
  constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::string out;
  do {
    out.insert(out.begin(), kDigits[n % 36]);
    n /= 36;
  } while (n > 0);
  return out;
}

class Wipe {
 public:
  Wipe(Context& ctx, Drives& drives, std::string root, const WipeStep& step)
      : ctx_(ctx), drives_(drives), root_(std::move(root)), folder_(WipeFolder(root_)),
        step_(step) {}

  WipeResult Run();

 private:
  struct Fill {
    std::string path;
    FileHandle handle = 0;
    std::uint64_t size = 0;
  };

  bool Step() {
    if (!cancelled_ && step_ && !step_(status_)) cancelled_ = true;
    return !cancelled_;
  }
  // The last pass writes block B, as an erased file's pass leaves it; the
  // passes before it alternate with block A.
  char FillOf(int pass) const { return (status_.passes - pass) % 2 == 0 ? kBlockB : kBlockA; }
  // Writes `size` bytes of the pattern at `position`; the bytes the drive took.
  std::size_t Put(FileHandle file, std::uint64_t position, std::size_t size, char fill);
  // Writes the whole file [from, to) with `fill` in pieces; false when the
  // drive took less.
  bool PutRange(Fill& f, std::uint64_t from, std::uint64_t to, char fill);
  bool MakeFolder();
  void FirstPass();
  void LaterPass(int pass);
  void FillFileTable();
  void RemoveMade();
  bool Gone() {
    if (!gone_ && !drives_.Space(root_)) gone_ = true;
    return gone_;
  }

  Context& ctx_;
  Drives& drives_;
  const std::string root_, folder_;
  const WipeStep& step_;
  WipeStatus status_;
  std::vector<Fill> fills_;
  std::vector<std::string> tableFiles_, tableFolders_;
  bool cancelled_ = false, gone_ = false;
};

std::size_t Wipe::Put(FileHandle file, std::uint64_t position, std::size_t size, char fill) {
  std::size_t done = 0, chunk = size;
  while (done < size) {
    const std::size_t got =
        drives_.WriteAt(file, position + done, PatternPiece(fill), std::min(chunk, size - done));
    done += got;
    if (got == 0) {
      if (chunk <= kSmallestWrite) break;
      chunk /= 2;
    }
  }
  return done;
}

bool Wipe::PutRange(Fill& f, std::uint64_t from, std::uint64_t to, char fill) {
  for (std::uint64_t at = from; at < to;) {
    const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(kPieceBytes, to - at));
    const std::size_t got = Put(f.handle, at, want, fill);
    at += got;
    status_.written += got;
    f.size = std::max(f.size, at);
    if (got < want) return false;
    if (!Step()) return false;
  }
  return true;
}

bool Wipe::MakeFolder() {
  Files& files = ctx_.platform.files;
  if (!drives_.CreateFolder(folder_)) return false;
  // Something else in its place since (a link): never worked in.
  if (files.IsLink(folder_)) return false;
  const FileHandle marker = drives_.CreateNew(folder_ + "\\" + kWipeMarkerName);
  if (!marker) {
    files.RemoveFolder(folder_);
    return false;
  }
  static constexpr char kText[] = "Nimbrel wipes this drive's free space here.\r\n";
  drives_.WriteAt(marker, 0, kText, sizeof kText - 1);
  drives_.Flush(marker);
  drives_.Close(marker);
  return true;
}

void Wipe::FirstPass() {
  const char fill = FillOf(1);
  for (std::uint64_t n = 1; !cancelled_; ++n) {
    Fill f{folder_ + "\\" + "fill" + ShortName(n) + ".tmp"};
    f.handle = drives_.CreateNew(f.path);
    if (!f.handle) return;
    fills_.push_back(f);
    Fill& made = fills_.back();
    const bool room = PutRange(made, 0, kFillFileBytes, fill);
    drives_.Flush(made.handle);
    if (!room) return;
  }
}

void Wipe::LaterPass(int pass) {
  status_.pass = pass;
  for (Fill& f : fills_) {
    if (!PutRange(f, 0, f.size, FillOf(pass)) && !cancelled_) gone_ = true;
    drives_.Flush(f.handle);
    if (cancelled_ || gone_) return;
  }
}

void Wipe::FillFileTable() {
  status_.phase = WipePhase::FileTable;
  const std::string table = folder_ + "\\t";
  if (!drives_.CreateFolder(table)) return;
  tableFolders_.push_back(table);
  std::deque<std::string> queue{table};
  std::uint64_t n = 0;
  // The file table grows only into free room, and never shrinks again: once
  // the room falls below what the fill left, it grew (or another program took
  // room), and no more small files are made.
  const std::uint64_t floor = drives_.Space(root_).value_or(DriveSpace{}).freeBytes;
  const auto grew = [&] {
    const auto space = drives_.Space(root_);
    return !space || space->freeBytes < floor;
  };
  const char fill = FillOf(status_.passes);
  while (!queue.empty() && !cancelled_ && tableFiles_.size() + tableFolders_.size() < kMaxTableEntries) {
    const std::string at = queue.front() + "\\";
    queue.pop_front();
    int made = 0;
    for (int i = 0; i < kTableSubFolders; ++i)
      if (const std::string sub = at + ShortName(n++); drives_.CreateFolder(sub)) {
        tableFolders_.push_back(sub);
        queue.push_back(sub);
        ++made;
        if (grew()) return;
      }
    for (int i = 0; i < kTableFilesPerFolder; ++i) {
      const std::string path = at + ShortName(n++);
      const FileHandle file = drives_.CreateNew(path);
      if (!file) break;
      // A drive with no cluster left keeps the file empty: its record is
      // written all the same.
      drives_.WriteAt(file, 0, PatternPiece(fill), kTableFileBytes);
      drives_.Close(file);
      tableFiles_.push_back(path);
      ++made;
      if (grew()) return;
      if (++status_.tableFiles % kStepEvery == 0 && !Step()) return;
    }
    // A fresh folder that takes nothing: the drive takes no more.
    if (made == 0) return;
  }
}

void Wipe::RemoveMade() {
  Files& files = ctx_.platform.files;
  status_.phase = WipePhase::Removing;
  std::uint64_t removed = 0;
  const auto step = [&] {
    // Removing goes on whatever the answer: only the wipe's folder is left.
    if (++removed % kStepEvery == 0 && step_) step_(status_);
  };
  // The room first: a program waiting for it gets it at once.
  for (Fill& f : fills_) {
    drives_.Close(f.handle);
    if (!files.IsLink(f.path)) files.Delete(f.path);
    step();
  }
  // What it made, by the names it gave; something put in their place (a
  // link) stays, and so does the folder then.
  for (auto it = tableFiles_.rbegin(); it != tableFiles_.rend(); ++it) {
    if (!files.IsLink(*it)) files.Delete(*it);
    step();
  }
  for (auto it = tableFolders_.rbegin(); it != tableFolders_.rend(); ++it) {
    if (!files.IsLink(*it)) files.RemoveFolder(*it);
    step();
  }
  const std::string marker = folder_ + "\\" + kWipeMarkerName;
  if (!files.IsLink(marker)) files.Delete(marker);
  if (!files.IsLink(folder_)) files.RemoveFolder(folder_);
}

WipeResult Wipe::Run() {
  WipeResult result;
  result.leftoverRemoved = RemoveWipeLeftover(ctx_, root_);
  Files& files = ctx_.platform.files;
  if (Exists(files, folder_)) {
    result.outcome = WipeOutcome::Unfinished;
    result.folderLeft = true;
    return result;
  }
  const std::optional<DriveSpace> space = drives_.Space(root_);
  if (!space) {
    result.outcome = WipeOutcome::DriveGone;
    return result;
  }
  result.freeBefore = space->freeBytes;
  status_.passes = PassesChosen(ctx_);
  status_.total = space->freeBytes * static_cast<std::uint64_t>(status_.passes);
  if (!MakeFolder()) {
    result.outcome = Gone() ? WipeOutcome::DriveGone : WipeOutcome::Failed;
    result.folderLeft = Exists(files, folder_);
    return result;
  }
  FirstPass();
  if (!cancelled_ && !Gone()) {
    for (int pass = 2; pass <= status_.passes && !cancelled_ && !gone_; ++pass) LaterPass(pass);
    if (!cancelled_ && !Gone()) FillFileTable();
  }
  Gone();
  RemoveMade();
  result.written = status_.written;
  result.tableFiles = status_.tableFiles;
  result.folderLeft = Exists(files, folder_);
  if (const auto after = drives_.Space(root_)) result.freeAfter = after->freeBytes;
  else gone_ = true;
  result.outcome =
      gone_ ? WipeOutcome::DriveGone : cancelled_ ? WipeOutcome::Cancelled : WipeOutcome::Done;
  return result;
}

}  // namespace

std::vector<std::string> WipeableDrives(Drives& drives) {
  std::vector<std::string> out;
  for (const std::string& root : drives.FixedDrives())
    if (!drives.Kind(root).readOnly) out.push_back(root);
  return out;
}

std::string DriveRoot(const std::string& text) {
  const std::string t = WithBackslashes(Trim(text));
  if (t.size() < 2 || t.size() > 3 || t[1] != ':' || (t.size() == 3 && t[2] != '\\')) return {};
  const char letter = ToUpper(t.substr(0, 1))[0];
  if (letter < 'A' || letter > 'Z') return {};
  return std::string(1, letter) + ":\\";
}

WipeResult WipeFreeSpace(Context& ctx, Drives& drives, const std::string& root,
                         const WipeStep& step) {
  const std::string r = DriveRoot(root);
  const std::vector<std::string> wipeable = WipeableDrives(drives);
  if (r.empty() || std::find(wipeable.begin(), wipeable.end(), r) == wipeable.end())
    return WipeResult{WipeOutcome::NotWipeable, 0, 0, 0, 0, false, false};
  return Wipe(ctx, drives, r, step).Run();
}

bool RemoveWipeLeftover(Context& ctx, const std::string& root) {
  Files& files = ctx.platform.files;
  const std::string folder = WipeFolder(root);
  const std::uint32_t attributes = files.Attributes(folder);
  if (attributes == kInvalidAttributes) return false;
  if ((attributes & kAttrReparsePoint) || !(attributes & kAttrDirectory) || files.IsLink(folder)) {
    ctx.Left("refused: link", folder);
    return false;
  }
  const std::vector<FileEntry> listing = files.Find(folder + "\\*");
  const bool empty = std::all_of(listing.begin(), listing.end(),
                                 [](const FileEntry& e) { return IsDots(e.name); });
  const bool marked = std::any_of(listing.begin(), listing.end(), [](const FileEntry& e) {
    return EqualsNoCase(e.name, kWipeMarkerName) && !(e.attributes & kAttrDirectory);
  });
  if (!empty && !marked) {
    ctx.Left("refused: not the wipe's folder", folder);
    return false;
  }
  if (!EraseFolder(ctx, folder)) return false;
  ctx.AddProgressLine("  removed what an unfinished free space wipe left: " + folder);
  return true;
}

std::vector<std::string> RemoveWipeLeftovers(Context& ctx, Drives& drives) {
  std::vector<std::string> out;
  for (const std::string& root : WipeableDrives(drives))
    if (RemoveWipeLeftover(ctx, root)) out.push_back(root);
  return out;
}

}  // namespace nimbrel
