#include "preview/PreviewPlatform.h"

#include <gtest/gtest.h>

#include "erasers/modDefinitions.h"
#include "erasers/modFiles.h"
#include "erasers/modRegistry.h"
#include "preview/RecordedWorld.h"

namespace nimbrel {
namespace {

constexpr RegRoot HKCU = RegRoot::CurrentUser;
using Names = std::vector<std::string>;

Names Listed(Files& files, const std::string& pattern) {
  Names names;
  for (const FileEntry& e : files.Find(pattern))
    if (!IsDots(e.name)) names.push_back(e.name);
  return names;
}

class PreviewPlatformTest : public ::testing::Test {
 protected:
  PreviewPlatformTest() {
    w.files.AddFile("C:\\T\\a.txt", "aaaa");
    w.files.AddFile("C:\\T\\b.txt", "bb");
    w.files.AddFile("C:\\T\\sub\\c.txt", "c");
  }
  TestWorld w;
};

TEST_F(PreviewPlatformTest, AFileErasedInAPreviewIsGoneForTheRunButNotFromTheDisk) {
  const WorldState before = StateOf(w);
  Recorder preview(w, PreviewMode::Preview);
  Files& files = preview.ctx.platform.files;
  EraseFile(preview.ctx, "C:\\T\\a.txt");

  EXPECT_EQ(StateOf(w), before);
  EXPECT_TRUE(JournalledChanges(w).empty());
  EXPECT_EQ(Listed(files, "C:\\T\\*"), (Names{"b.txt", "sub"}));
  EXPECT_EQ(Listed(files, "C:\\T\\*.txt"), (Names{"b.txt"}));
  EXPECT_EQ(files.Attributes("c:\\t\\A.TXT"), kInvalidAttributes);
  EXPECT_FALSE(files.ReadAll("C:\\T\\a.txt"));
  EXPECT_FALSE(files.Delete("C:\\T\\a.txt"));
  EXPECT_EQ(preview.Changes(), (std::vector<Change>{{-1, ChangeKind::File, "C:\\T\\a.txt", 4}}));
  // A later walk of the same run finds only what is left.
  EraseFilesInTree(preview.ctx, "C:\\T", "*.*");
  EXPECT_EQ(Listed(files, "C:\\T\\*"), (Names{"sub"}));
  EXPECT_EQ(preview.Changes().size(), 3u);
  EXPECT_EQ(StateOf(w), before);
}

TEST_F(PreviewPlatformTest, WhatADeleteWouldDoIsToldByTheRealFile) {
  w.files.AddFile("C:\\T\\ro.txt", "read-only", kAttrArchive | kAttrReadOnly);
  w.files.AddFile("C:\\T\\busy.txt", "in use, shared for writing");
  w.files.Lock("C:\\T\\busy.txt");
  w.files.AddFile("C:\\T\\held.txt", "in use, not shared");
  w.files.LockExclusive("C:\\T\\held.txt");
  const WorldState before = StateOf(w);
  Recorder preview(w, PreviewMode::Preview);
  for (const char* name : {"ro.txt", "busy.txt", "held.txt", "a.txt"})
    EraseFile(preview.ctx, std::string("C:\\T\\") + name);
  EXPECT_EQ(StateOf(w), before);
  // Only a.txt can be deleted. The others are not overwritten either: a file
  // in use that its user shares for writing stays whole too.
  EXPECT_EQ(preview.Changes(), (std::vector<Change>{{-1, ChangeKind::File, "C:\\T\\a.txt", 4}}));

  Recorder run(w, PreviewMode::PassThrough);
  for (const char* name : {"ro.txt", "busy.txt", "held.txt", "a.txt"})
    EraseFile(run.ctx, std::string("C:\\T\\") + name);
  EXPECT_EQ(run.Changes(), preview.Changes());
  EXPECT_EQ(w.files.Data("C:\\T\\busy.txt"), "in use, shared for writing");
}

TEST_F(PreviewPlatformTest, AFolderRemovedInAPreviewTakesItsReadOnlyContentAlong) {
  w.files.AddFile("C:\\T\\sub\\ro.txt", "kept by its attribute", kAttrArchive | kAttrReadOnly);
  w.files.AddFolder("C:\\T\\sub\\deep", kAttrDirectory | kAttrReadOnly);
  const WorldState before = StateOf(w);
  Recorder preview(w, PreviewMode::Preview);
  EXPECT_TRUE(EraseFolder(preview.ctx, "C:\\T\\sub"));
  EXPECT_EQ(StateOf(w), before);
  EXPECT_EQ(preview.ctx.platform.files.Attributes("C:\\T\\sub"), kInvalidAttributes);
  EXPECT_EQ(Listed(preview.ctx.platform.files, "C:\\T\\*"), (Names{"a.txt", "b.txt"}));

  Recorder run(w, PreviewMode::PassThrough);
  EXPECT_TRUE(EraseFolder(run.ctx, "C:\\T\\sub"));
  EXPECT_EQ(run.Changes(), preview.Changes());
  EXPECT_EQ(preview.Changes(), (std::vector<Change>{
                                   {-1, ChangeKind::File, "C:\\T\\sub\\c.txt", 1},
                                   {-1, ChangeKind::Folder, "C:\\T\\sub\\deep", 0},
                                   {-1, ChangeKind::File, "C:\\T\\sub\\ro.txt", 21},
                                   {-1, ChangeKind::Folder, "C:\\T\\sub", 0},
                               }));
}

TEST_F(PreviewPlatformTest, WrittenFilesAreReadBackFromMemoryAndNotedByTheirNetChange) {
  const WorldState before = StateOf(w);
  Recorder preview(w, PreviewMode::Preview);
  Files& files = preview.ctx.platform.files;
  EXPECT_TRUE(files.Append("C:\\T\\b.txt", "++"));
  EXPECT_TRUE(files.Append("C:\\T\\new.txt", "one"));
  EXPECT_TRUE(files.Append("C:\\T\\new.txt", " two"));
  EXPECT_FALSE(files.Append("C:\\Missing\\x.txt", "no folder"));
  EXPECT_TRUE(files.WriteAll("C:\\T\\gone.txt", "made and erased"));
  EXPECT_EQ(*files.ReadAll("C:\\T\\b.txt"), "bb++");
  EXPECT_EQ(*files.Size("C:\\T\\b.txt"), 4u);
  EXPECT_EQ(*files.ReadAll("C:\\T\\new.txt"), "one two");
  EXPECT_EQ(Listed(files, "C:\\T\\*.txt"), (Names{"a.txt", "b.txt", "gone.txt", "new.txt"}));
  EraseFile(preview.ctx, "C:\\T\\gone.txt");
  EXPECT_EQ(Listed(files, "C:\\T\\g*"), Names{});
  EXPECT_EQ(StateOf(w), before);
  EXPECT_EQ(preview.Changes(), (std::vector<Change>{
                                   {-1, ChangeKind::Modified, "C:\\T\\b.txt", 0},
                                   {-1, ChangeKind::Created, "C:\\T\\new.txt", 0},
                               }));
}

TEST_F(PreviewPlatformTest, DefinitionsFileMakesItsRoundTripInMemory) {
  w.files.AddFolder("C:\\Temp");
  w.registry.PutString(HKCU, "Software\\App\\Recent", "File1", "x");
  const std::string text = "[App]\r\ndeleteval=HKEY_CURRENT_USER\\Software\\App\\Recent\\File1";
  const std::string_view texts[] = {text};
  const WorldState before = StateOf(w);
  Recorder preview(w, PreviewMode::Preview);
  ThirdPartyPathsCreation(preview.ctx, texts);
  EXPECT_FALSE(w.files.Exists("C:\\Temp\\WFView"));
  EXPECT_EQ(*preview.ctx.platform.files.ReadAll("C:\\Temp\\WFView"),
            ScrambleLine("[App]") + "\r\n" +
                ScrambleLine("deleteval=HKEY_CURRENT_USER\\Software\\App\\Recent\\File1") + "\r\n");
  RunDefinitionSection(preview.ctx, texts, "App");
  DeleteThirdPartyFileCreated(preview.ctx);
  EXPECT_EQ(preview.ctx.platform.files.Attributes("C:\\Temp\\WFView"), kInvalidAttributes);
  EXPECT_EQ(StateOf(w), before);
  // The definitions file came and went: only the value read from it is listed.
  EXPECT_EQ(preview.Changes(),
            (std::vector<Change>{
                {-1, ChangeKind::RegistryValue, "HKEY_CURRENT_USER\\Software\\App\\Recent\\File1", 0}}));
}

TEST_F(PreviewPlatformTest, RegistryDeletesFollowNtRulesAndTheKeysRights) {
  w.registry.PutString(HKCU, "Software\\App\\Leaf", "v", "1");
  w.registry.AddKey(HKCU, "Software\\App\\Parent\\Child");
  w.registry.PutString(HKCU, "Software\\App\\Locked", "v", "1");
  w.registry.MarkReadOnly(HKCU, "Software\\App\\Locked");
  w.registry.PutString(HKCU, "Software\\App", "a", "1");
  w.registry.PutString(HKCU, "Software\\App", "", "default");
  const WorldState before = StateOf(w);
  Recorder preview(w, PreviewMode::Preview);
  Context& ctx = preview.ctx;
  DeleteRegSubKeys(ctx, HKCU, "Software\\App");
  DeleteRegValues(ctx, HKCU, "Software\\App");
  DeleteRegValue(ctx, HKCU, "Software\\App\\Locked", "v");
  DeleteRegValue(ctx, HKCU, "Software\\App", "missing");
  EXPECT_EQ(StateOf(w), before);
  EXPECT_TRUE(JournalledChanges(w).empty());

  // Later reads see the deletes: one sub-key and no value left.
  Names keys, values;
  int keyCount = -1, valueCount = -1;
  EnumRegSubKeys(ctx, HKCU, "Software\\App", keys, keyCount);
  EnumRegValues(ctx, HKCU, "Software\\App", values, valueCount);
  EXPECT_EQ(keys, (Names{"Locked", "Parent"}));
  EXPECT_EQ(valueCount, 0);
  EXPECT_EQ(ReadRegString(ctx, HKCU, "Software\\App", "a"), "");
  EXPECT_EQ(ReadRegString(ctx, HKCU, "Software\\App\\Locked", "v"), "1");
  EXPECT_EQ(ctx.platform.registry.OpenKey(HKCU, "Software\\App\\Leaf"), 0u);

  Recorder run(w, PreviewMode::PassThrough);
  DeleteRegSubKeys(run.ctx, HKCU, "Software\\App");
  DeleteRegValues(run.ctx, HKCU, "Software\\App");
  DeleteRegValue(run.ctx, HKCU, "Software\\App\\Locked", "v");
  DeleteRegValue(run.ctx, HKCU, "Software\\App", "missing");
  EXPECT_EQ(run.Changes(), preview.Changes());
  EXPECT_EQ(preview.Changes(), (std::vector<Change>{
                                   {-1, ChangeKind::RegistryKey, "HKEY_CURRENT_USER\\Software\\App\\Leaf", 0},
                                   {-1, ChangeKind::RegistryValue, "HKEY_CURRENT_USER\\Software\\App\\(Default)", 0},
                                   {-1, ChangeKind::RegistryValue, "HKEY_CURRENT_USER\\Software\\App\\a", 0},
                               }));
  EXPECT_EQ(w.registry.openKeys, 0);
}

TEST_F(PreviewPlatformTest, ValuesWrittenAndKeysMadeInAPreviewAreReadBack) {
  w.registry.AddKey(HKCU, "Software\\App");
  const WorldState before = StateOf(w);
  Recorder preview(w, PreviewMode::Preview);
  Registry& reg = preview.ctx.platform.registry;
  WriteRegValue(preview.ctx, HKCU, "Software\\App", "n", "42");
  const RegKey made = reg.CreateKey(HKCU, "Software\\App\\New\\Deeper");
  ASSERT_NE(made, 0u);
  EXPECT_TRUE(reg.SetValue(made, "s", kRegSz, std::string("text\0", 5)));
  reg.CloseKey(made);
  EXPECT_EQ(ReadRegString(preview.ctx, HKCU, "Software\\App\\New\\Deeper", "s"), "text");
  Names keys;
  int count = 0;
  EnumRegSubKeys(preview.ctx, HKCU, "Software\\App", keys, count);
  EXPECT_EQ(keys, Names{"New"});
  std::uint32_t type = 0;
  std::string data;
  const RegKey app = reg.OpenKey(HKCU, "Software\\App");
  EXPECT_TRUE(reg.QueryValue(app, "N", type, data));
  EXPECT_EQ(type, kRegDword);
  reg.CloseKey(app);
  EXPECT_EQ(StateOf(w), before);
  EXPECT_EQ(preview.Changes().size(), 3u);
}

TEST_F(PreviewPlatformTest, RecycleBinWindowsAndClipboardAreRecordedNotTouched) {
  w.shell.recycleBinItems = 3;
  w.desktop.windows = {{11, "IEFrame"}, {12, "IEFrame"}, {13, "Other"}};
  Recorder preview(w, PreviewMode::Preview);
  Platform& p = preview.ctx.platform;
  EXPECT_TRUE(p.shell.EmptyRecycleBin(0));
  EXPECT_EQ(p.shell.RecycleBinItems(), 0u);
  EXPECT_TRUE(p.shell.EmptyRecycleBin(0));  // empty now: no change
  for (WindowHandle h : p.desktop.WindowsOfClass("IEFrame")) p.desktop.PostClose(h);
  EXPECT_TRUE(p.desktop.WindowsOfClass("IEFrame").empty());
  EXPECT_TRUE(p.desktop.EmptyClipboard(0));
  EXPECT_GT(p.shell.Execute(0, "open", "C:\\x.htm", "", "", 1), 32);
  EXPECT_FALSE(p.desktop.CallInstance("FrmMain"));
  EXPECT_EQ(w.shell.recycleBinItems, 3u);
  EXPECT_EQ(w.shell.recycleBinEmptied, 0);
  EXPECT_TRUE(w.desktop.closed.empty());
  EXPECT_EQ(w.desktop.clipboardEmptied, 0);
  EXPECT_TRUE(w.shell.executions.empty());
  EXPECT_TRUE(w.desktop.instanceCalls.empty());
  EXPECT_EQ(preview.Changes(), (std::vector<Change>{
                                   {-1, ChangeKind::RecycleBin, "3", 0},
                                   {-1, ChangeKind::Window, "IEFrame", 0},
                                   {-1, ChangeKind::Window, "IEFrame", 0},
                                   {-1, ChangeKind::Clipboard, "", 0},
                                   {-1, ChangeKind::Program, "C:\\x.htm", 0},
                               }));

  Recorder run(w, PreviewMode::PassThrough);
  Platform& q = run.ctx.platform;
  q.shell.EmptyRecycleBin(0);
  for (WindowHandle h : q.desktop.WindowsOfClass("IEFrame")) q.desktop.PostClose(h);
  q.desktop.EmptyClipboard(0);
  q.shell.Execute(0, "open", "C:\\x.htm", "", "", 1);
  EXPECT_EQ(run.Changes(), preview.Changes());
  EXPECT_EQ(w.desktop.closed, (std::vector<WindowHandle>{11, 12}));
}

TEST_F(PreviewPlatformTest, ProfileStringsWrittenInAPreviewStayInMemory) {
  const WorldState before = StateOf(w);
  Recorder preview(w, PreviewMode::Preview);
  Profile& profile = preview.ctx.platform.profile;
  EXPECT_TRUE(profile.WriteString("S", "k", "v", "C:\\T\\set.ini"));
  EXPECT_FALSE(profile.WriteString("S", "k", "v", "C:\\Missing\\set.ini"));
  EXPECT_EQ(profile.ReadString("s", "K", "C:\\T\\SET.INI"), "v");
  EXPECT_NE(preview.ctx.platform.files.Attributes("C:\\T\\set.ini"), kInvalidAttributes);
  EXPECT_EQ(StateOf(w), before);
  EXPECT_EQ(preview.Changes(),
            (std::vector<Change>{{-1, ChangeKind::Created, "C:\\T\\set.ini", 0}}));
}

TEST(ChangeJournalTest, KeepsEachPathsNetChangeUnderTheRowThatDecidedIt) {
  ChangeJournal j;
  j.Created("C:\\T\\tmp", false);
  j.Modified("C:\\T\\tmp");
  j.Modified("C:\\T\\kept.txt");
  j.SetRow(0);
  j.Deleted("C:\\T\\tmp", 9, false);           // made and erased by the run: nothing
  j.Deleted("C:\\T\\KEPT.TXT", 5, false);      // overwritten, then deleted: one file
  j.Deleted("C:\\T\\old", 7, false);
  j.Created("c:/t/old", false);                 // erased and written again: changed
  j.Deleted("C:\\T\\old", 3, false);            // and erased again: the first size counts
  j.SetRow(1);
  j.Record(ChangeKind::Clipboard, "");
  // Deleted at the next start: only what the run did not erase itself.
  j.Record(ChangeKind::AtReboot, "C:\\T\\Kept.txt");
  j.Record(ChangeKind::AtReboot, "C:\\T\\later.dat");
  j.Deleted("C:\\T\\later.dat", 2, false);
  j.Record(ChangeKind::AtReboot, "C:\\T\\locked.dat");
  EXPECT_EQ(j.Changes(), (std::vector<Change>{
                             {0, ChangeKind::File, "C:\\T\\kept.txt", 5},
                             {0, ChangeKind::File, "C:\\T\\old", 7},
                             {1, ChangeKind::Clipboard, "", 0},
                             {1, ChangeKind::File, "C:\\T\\later.dat", 2},
                             {1, ChangeKind::AtReboot, "C:\\T\\locked.dat", 0},
                         }));
}

}  // namespace
}  // namespace nimbrel
