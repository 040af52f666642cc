#include "app/WipeAndShred.h"

#include "app/CommandLine.h"
#include "cleaning/ActivityLog.h"
#include "cleaning/CleaningRun.h"
#include "dialogs/FrmMessage.h"
#include "erasers/ShredFiles.h"
#include "erasers/WipeFreeSpace.h"
#include "platform/Text.h"
#include "preview/Preview.h"
#include "preview/PreviewPlatform.h"
#include "preview/WindowlessRun.h"

namespace nimbrel {

namespace {


std::string Counted(std::uint64_t n, const char* one, const char* many) {
  return GroupedNumber(n) + " " + (n == 1 ? one : many);
}

// The report of the front end, keeping the lines of what was left besides.
class KeepingLeftLines final : public RunReport {
 public:
  explicit KeepingLeftLines(RunReport& inner) : inner_(inner) {}
  void ProgressLine(const std::string& line) override {
    if (line.starts_with("  left (")) left += line + "\r\n";
    inner_.ProgressLine(line);
  }
  void RegistryItemsRemoved(std::int32_t total) override { inner_.RegistryItemsRemoved(total); }
  void FilesDeleted(std::int32_t total) override { inner_.FilesDeleted(total); }
  void BytesErased(std::uint64_t total) override { inner_.BytesErased(total); }
  void DoEvents() override { inner_.DoEvents(); }
  WindowHandle Owner() override { return inner_.Owner(); }
  std::string left;

 private:
  RunReport& inner_;
};

// A shred's preview removes no link: it records the removal.
class PreviewLinks final : public Drives {
 public:
  PreviewLinks(Drives& inner, ChangeJournal& journal) : inner_(inner), journal_(journal) {}
  std::vector<std::string> FixedDrives() override { return inner_.FixedDrives(); }
  std::optional<DriveSpace> Space(const std::string& root) override { return inner_.Space(root); }
  DriveKind Kind(const std::string& root) override { return inner_.Kind(root); }
  FileHandle CreateNew(const std::string&) override { return 0; }
  bool CreateFolder(const std::string&) override { return false; }
  std::size_t WriteAt(FileHandle, std::uint64_t, const char*, std::size_t) override { return 0; }
  bool Flush(FileHandle) override { return false; }
  void Close(FileHandle) override {}
  bool RemoveLink(const std::string& path) override {
    journal_.Deleted(path, 0, false);
    return true;
  }

 private:
  Drives& inner_;
  ChangeJournal& journal_;
};

const char* WipeLeftReason(WipeOutcome outcome) {
  switch (outcome) {
    case WipeOutcome::DriveGone: return "the drive went away";
    case WipeOutcome::Failed: return "its folder could not be made";
    case WipeOutcome::Cancelled: return "cancelled";
    case WipeOutcome::Unfinished:
    case WipeOutcome::NotWipeable:
    case WipeOutcome::Done: break;
  }
  return nullptr;
}

}  // namespace

std::string GroupedNumber(std::uint64_t n) {
  std::string digits = std::to_string(n);
  for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, 1, ',');
  return digits;
}

std::string ShredQuestion(std::uint64_t files, std::uint64_t folders, std::uint64_t bytes) {
  std::string what = Counted(files, "file", "files") + " (" + Counted(bytes, "byte", "bytes") + ")";
  if (folders > 0) what += " and " + Counted(folders, "folder", "folders");
  return what + " will be overwritten and deleted, and cannot be recovered.\r\n"
                "Do you want to shred them now?";
}

bool ShredChosen(Context& ctx, Drives& drives, const std::vector<std::string>& paths) {
  KeepingLeftLines report(ctx.Report());
  RunReport* const front = &ctx.Report();
  ctx.SetReport(&report);
  const ShredPlan plan = PlanShred(ctx, paths);
  bool shredded = false;
  if (plan.items.empty()) {
    ShowInformation(ctx, "Shred Files", "Nothing can be shredded:\r\n" + report.left);
  } else if (AskQuestion(ctx, "Shred Files", ShredQuestion(plan.files, plan.folders, plan.bytes))) {
    Shred(ctx, drives, plan);
    shredded = true;
  }
  ctx.SetReport(front);
  return shredded;
}

void ShredFromWindow(Context& ctx, Drives& drives, const std::vector<std::string>& paths) {
  System& system = ctx.platform.system;
  if (!system.LockRun(0)) {
    ShowInformation(ctx, "Information",
                    "Another run of Nimbrel is still erasing. Please shred the files again "
                    "when it has finished.");
    return;
  }
  ctx.ResetRunCounters();
  ShredChosen(ctx, drives, paths);
  system.UnlockRun();
}

void TellWipeLeftoversRemoved(Context& ctx, Drives& drives) {
  const std::vector<std::string> roots = RemoveWipeLeftovers(ctx, drives);
  if (roots.empty()) return;
  std::string names;
  for (const std::string& root : roots) names += (names.empty() ? "" : ", ") + root;
  ShowInformation(ctx, "Information",
                  "A free space wipe did not finish. Nimbrel has removed the files it had "
                  "written on " + names + ": the free space is as it was before the wipe.");
}

int ShredCommand(Context& ctx, Drives& drives, const std::vector<std::string>& paths,
                 const std::string& previewFile) {
  if (!previewFile.empty()) {
    PreviewPlatform preview(ctx.platform, PreviewMode::Preview);
    Context recorded(preview.AsPlatform(), ctx.settings);
    PreviewLinks links(drives, preview.journal);
    preview.journal.SetRow(0);
    Shred(recorded, links, PlanShred(recorded, paths));
    const RecordedRun run{{"Shred Files"}, preview.journal.Changes(), false};
    return ctx.platform.files.WriteAll(previewFile, ChangesAsText(run)) ? kExitDone
                                                                        : kExitNotWritten;
  }
  System& system = ctx.platform.system;
  if (!system.LockRun(kRunLockWait)) return kExitBusy;
  int code = kExitNothingSelected;
  {
    WindowlessRun front(ctx);
    ctx.ResetRunCounters();
    if (ShredChosen(ctx, drives, paths)) code = kExitDone;
    if (ctx.ItemsLeft > 0) code = kExitItemsLeft;
    WriteLogFile(ctx, front.LstShowingTracksErasedProgress, front.PgbTemp);
  }
  system.UnlockRun();
  return code;
}

int WipeFreeCommand(Context& ctx, Drives& drives, const std::vector<std::string>& roots) {
  const std::vector<std::string> wipeable = WipeableDrives(drives);
  for (const std::string& root : roots)
    if (const std::string r = DriveRoot(root);
        r.empty() || std::find(wipeable.begin(), wipeable.end(), r) == wipeable.end())
      return kExitBadArgument;
  System& system = ctx.platform.system;
  if (!system.LockRun(kRunLockWait)) return kExitBusy;
  {
    WindowlessRun front(ctx);
    ctx.ResetRunCounters();
    for (const std::string& root : roots) {
      const WipeResult r = WipeFreeSpace(ctx, drives, root, [&ctx](const WipeStatus&) {
        ctx.DoEvents();
        return true;
      });
      if (r.outcome == WipeOutcome::Done)
        ctx.AddProgressLine("  free space wiped: " + DriveRoot(root) + " (" +
                            Counted(r.written, "byte", "bytes") + " written, " +
                            Counted(r.tableFiles, "small file", "small files") + ")");
      else if (const char* why = WipeLeftReason(r.outcome))
        ctx.Left(why, DriveRoot(root));
    }
    WriteLogFile(ctx, front.LstShowingTracksErasedProgress, front.PgbTemp);
  }
  system.UnlockRun();
  return ctx.ItemsLeft > 0 ? kExitItemsLeft : kExitDone;
}

}  // namespace nimbrel
