#include "app/CommandLine.h"

#include "app/WipeAndShred.h"
#include "cleaning/Catalogue.h"
#include "dialogs/FrmMessage.h"
#include "platform/Text.h"
#include "preview/Preview.h"
#include "preview/PreviewRegistry.h"
#include "preview/WindowlessRun.h"

namespace nimbrel {

namespace {

constexpr const char* kUsage =
    "Nimbrel.exe [/erase [/journal FILE] | /preview FILE | /wipefree D: ... | "
    "/shred PATH... | /?]\r\n\r\n"
    "/erase   Erases the selection of Erasing Settings without showing any window, and "
    "appends to Log.txt as Start Erasing does.\r\n"
    "/journal FILE   With /erase: also writes to FILE what the run changed.\r\n"
    "/preview FILE   Writes to FILE what /erase would erase, changing nothing.\r\n"
    "/wipefree D: ...   Wipes the free space of each drive named.\r\n"
    "/shred PATH...   Shreds the files and folders named, once you said yes (with "
    "/preview FILE: writes what it would erase).\r\n"
    "/?   Shows this text.\r\n\r\n"
    "FILE gets one line per item: row, kind, path or key, bytes, separated by tabs.\r\n"
    "Exit codes: 0 done, 1 nothing selected, 2 bad argument, 3 another run of Nimbrel "
    "went on for two minutes (nothing was erased), 4 FILE could not be written, 5 done, "
    "but some items could not be erased (Log.txt says which and why).";

// The usage in the program's message dialog, made large enough for it.
void ShowUsage(Context& ctx) {
  constexpr int kWidth = 560, kHeight = 310, kTitle = 32;
  FrmMessage msg(ctx);
  msg.Resize(Px(kWidth), Px(kHeight));
  msg.strip.ImgFormMove.Move(0, 0, Px(kWidth), Px(kTitle));
  msg.strip.Image8.Move(Px(kWidth - 32), Px(4), Px(24), Px(24));
  msg.lblMesage.Move(Px(20), Px(kTitle + 18), Px(kWidth - 40), Px(kHeight - kTitle - 80));
  msg.cmdOK.Move(Px(kWidth - 104), Px(kHeight - 44), Px(84), Px(28));
  msg.cmdYes.SetVisible(false);
  msg.cmdNo.SetVisible(false);
  msg.strip.title.SetCaption("Nimbrel command line");
  msg.lblMesage.SetCaption(kUsage);
  ctx.MessageAnswer = false;
  msg.ShowModal();
}

int EraseUnattended(Context& ctx, const std::string& journal) {
  const std::vector<std::string> rows = StoredSelection(ctx);
  if (rows.empty()) return kExitNothingSelected;
  if (!journal.empty()) {
    const RecordedRun run = RunRecorded(ctx, PreviewMode::PassThrough, rows);
    if (run.busy) return kExitBusy;
    if (!ctx.platform.files.WriteAll(journal, ChangesAsText(run))) return kExitNotWritten;
    return ctx.ItemsLeft > 0 ? kExitItemsLeft : kExitDone;
  }
  WindowlessRun front(ctx);
  front.ListRows(rows);
  front.Run().StartCleanning();
  if (front.Run().BusyElsewhere()) return kExitBusy;
  return ctx.ItemsLeft > 0 ? kExitItemsLeft : kExitDone;
}

int WritePreview(Context& ctx, const std::string& file) {
  // A preview writes no setting either: what loading the erase settings
  // stores (a category never chosen as "1") stays in memory over the
  // registry, and the run takes its choices from there.
  ChangeJournal settingsWritten;
  PreviewRegistry registry(ctx.platform.registry, PreviewMode::Preview, settingsWritten);
  SettingsStore settings(registry);
  Context preview(ctx.platform, settings);
  const std::vector<std::string> rows = StoredSelection(preview);
  // Nothing selected, nothing runs: the file is written empty.
  RecordedRun run{rows, {}, false};
  if (!rows.empty()) run = RunRecorded(preview, PreviewMode::Preview, rows);
  if (run.busy) return kExitBusy;
  if (!ctx.platform.files.WriteAll(file, ChangesAsText(run))) return kExitNotWritten;
  return rows.empty() ? kExitNothingSelected : kExitDone;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view text) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false, quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\\' && i + 1 < text.size() && text[i + 1] == '"') {
      word += '"';
      inWord = true;
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

CommandLine ParseCommandLine(const std::vector<std::string>& words) {
  CommandLine command;
  const CommandLine bad{CommandMode::Bad, "", "", {}};
  bool journal = false;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word.size() < 2 || (word[0] != '/' && word[0] != '-')) return bad;
    const std::string name = ToLower(word.substr(1));
    // Each switch once; /preview and /journal take the next word.
    if (name == "journal") {
      if (journal || i + 1 >= words.size() || words[i + 1].empty()) return bad;
      journal = true;
      command.journal = words[++i];
      continue;
    }
    // /preview FILE and /shred PATH... go together: the shred's preview.
    const bool shredPreview = (name == "shred" && command.mode == CommandMode::Preview) ||
                              (name == "preview" && command.mode == CommandMode::Shred && command.file.empty());
    if (command.mode != CommandMode::Window && !shredPreview) return bad;
    if (name == "shred" || name == "wipefree") {
      command.mode = name == "shred" ? CommandMode::Shred : CommandMode::WipeFree;
      // Every word up to the next switch; no path starts with "/".
      while (i + 1 < words.size() && !words[i + 1].empty() && words[i + 1][0] != '/')
        command.targets.push_back(words[++i]);
      if (command.targets.empty()) return bad;
    } else if (name == "preview" && shredPreview) {
      if (i + 1 >= words.size() || words[i + 1].empty()) return bad;
      command.file = words[++i];
    } else if (name == "erase") {
      command.mode = CommandMode::Erase;
    } else if (name == "?") {
      command.mode = CommandMode::Usage;
    } else if (name == "preview") {
      if (i + 1 >= words.size() || words[i + 1].empty()) return bad;
      command.mode = CommandMode::Preview;
      command.file = words[++i];
    } else {
      return bad;
    }
  }
  if (journal && command.mode != CommandMode::Erase) return bad;
  return command;
}

std::vector<std::string> StoredSelection(Context& ctx) {
  StoreDefaultTicks(ctx);
  WindowlessRun list(ctx);
  list.Run().FillToBeErasedList();
  return list.Rows();
}

int RunCommandLine(Context& ctx, const CommandLine& command, Drives* drives) {
  switch (command.mode) {
    case CommandMode::WipeFree:
      return drives ? WipeFreeCommand(ctx, *drives, command.targets) : kExitBadArgument;
    case CommandMode::Shred:
      return drives ? ShredCommand(ctx, *drives, command.targets, command.file) : kExitBadArgument;
    case CommandMode::Erase: return EraseUnattended(ctx, command.journal);
    case CommandMode::Preview: return WritePreview(ctx, command.file);
    case CommandMode::Usage: ShowUsage(ctx); return kExitDone;
    case CommandMode::Window:
    case CommandMode::Bad: break;
  }
  return kExitBadArgument;
}

}  // namespace nimbrel
