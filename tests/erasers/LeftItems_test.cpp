// What a run could not erase is told, once per item, with its reason, and
// counted; what it keeps on purpose is not.
#include <gtest/gtest.h>

#include <functional>

#include "erasers/EraseDATFiles.h"
#include "erasers/modCookies.h"
#include "erasers/modFiles.h"
#include "erasers/modMRU.h"
#include "erasers/modRegistry.h"
#include "fakes/TestWorld.h"
#include "settings/KeepLists.h"

namespace nimbrel {
namespace {

using Lines = std::vector<std::string>;
constexpr RegRoot HKCU = RegRoot::CurrentUser;
const std::string kCookies = "C:\\Documents and Settings\\user\\Cookies";

struct Case {
  const char* name;
  std::function<void(TestWorld&)> plant;
  std::function<void(Context&)> erase;
  const char* line;  // the one line told; nullptr: none
};

Lines LeftLines(const TestWorld& w) {
  Lines out;
  for (const std::string& line : w.report.lines)
    if (line.starts_with("  left (")) out.push_back(line);
  return out;
}

void RunCases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    TestWorld w;
    w.ctx.SetReport(&w.report);
    w.files.AddFolder(w.system.programFolder);
    w.files.AddFolder("C:\\WINDOWS\\system32");
    w.ctx.CookiesFolder = kCookies;
    c.plant(w);
    // Tried twice, as a run's steps often do: told once all the same.
    c.erase(w.ctx);
    c.erase(w.ctx);
    const Lines expected = c.line ? Lines{c.line} : Lines{};
    EXPECT_EQ(LeftLines(w), expected) << c.name;
    EXPECT_EQ(w.ctx.ItemsLeft, c.line ? 1 : 0) << c.name;
  }
}

TEST(LeftItemsTest, EachItemLeftIsToldOnceWithItsReasonAndCounted) {
  RunCases({
      {"a file in use, in a walk",
       [](TestWorld& w) {
         w.files.AddFile("C:\\Temp\\a.txt", "a");
         w.files.Lock("C:\\Temp\\a.txt");
       },
       [](Context& ctx) { EraseFilesInTree(ctx, "C:\\Temp", "*.*"); },
       "  left (in use): C:\\Temp\\a.txt"},
      {"a read-only file, named",
       [](TestWorld& w) { w.files.AddFile("C:\\Temp\\ro.txt", "r", kAttrReadOnly); },
       [](Context& ctx) { EraseFile(ctx, "C:\\Temp\\ro.txt"); },
       "  left (access denied): C:\\Temp\\ro.txt"},
      {"a file the user may not delete, in a folder erase (the folder holding it is not told)",
       [](TestWorld& w) {
         w.files.AddFile("C:\\Temp\\Old\\a.txt", "a");
         w.files.Deny("C:\\Temp\\Old\\a.txt");
       },
       [](Context& ctx) { EraseFolder(ctx, "C:\\Temp\\Old"); },
       "  left (access denied): C:\\Temp\\Old\\a.txt"},
      {"a folder the user may not list",
       [](TestWorld& w) {
         w.files.AddFile("C:\\Temp\\closed\\inside.txt", "i");
         w.files.Deny("C:\\Temp\\closed");
       },
       [](Context& ctx) { EraseFilesInTree(ctx, "C:\\Temp", "*.*"); },
       "  left (access denied): C:\\Temp\\closed"},
      {"a protected folder",
       [](TestWorld&) {},
       [](Context& ctx) { EraseFilesInTree(ctx, "C:\\WINDOWS", "*.*"); },
       "  left (refused: protected folder): C:\\WINDOWS"},
      {"a pattern in a protected folder",
       [](TestWorld& w) { w.files.AddFile("C:\\WINDOWS\\system.ini", "keep"); },
       [](Context& ctx) { EraseFile(ctx, "C:\\WINDOWS\\*.ini"); },
       "  left (refused: protected folder): C:\\WINDOWS"},
      {"a drive root",
       [](TestWorld&) {},
       [](Context& ctx) { EraseFolder(ctx, "C:\\"); },
       "  left (refused: drive root): C:\\"},
      {"a folder link in a walk",
       [](TestWorld& w) {
         w.files.AddFile("C:\\Elsewhere\\x.txt", "x");
         w.files.AddFolderLink("C:\\Temp\\link", "C:\\Elsewhere");
       },
       [](Context& ctx) { EraseFilesInTree(ctx, "C:\\Temp", "*.*"); },
       "  left (refused: link): C:\\Temp\\link"},
      {"a registry key the user may not delete",
       [](TestWorld& w) {
         w.registry.AddKey(HKCU, "Software\\Locked");
         w.registry.MarkReadOnly(HKCU, "Software\\Locked");
       },
       [](Context& ctx) { DeleteRegKey(ctx, HKCU, "Software\\Locked"); },
       "  left (access denied): HKEY_CURRENT_USER\\Software\\Locked"},
      {"a registry value the user may not delete",
       [](TestWorld& w) {
         w.registry.PutString(HKCU, "Software\\Locked", "v", "x");
         w.registry.MarkReadOnly(HKCU, "Software\\Locked");
       },
       [](Context& ctx) { DeleteRegValue(ctx, HKCU, "Software\\Locked", "v"); },
       "  left (access denied): HKEY_CURRENT_USER\\Software\\Locked\\v"},
      {"a cookie in use",
       [](TestWorld& w) {
         w.files.AddFile(kCookies + "\\a@b[1].txt", "c");
         w.files.Lock(kCookies + "\\a@b[1].txt");
       },
       DeleteIECookies,
       "  left (in use): C:\\Documents and Settings\\user\\Cookies\\a@b[1].txt"},
      {"index.dat in use",
       [](TestWorld& w) {
         w.files.AddFile(kCookies + "\\index.dat", "i");
         w.files.Lock(kCookies + "\\index.dat");
       },
       DeleteIndexDatFiles,
       "  left (in use): C:\\Documents and Settings\\user\\Cookies\\index.dat"},
  });
}

TEST(LeftItemsTest, WhatIsKeptOnPurposeOrMissingIsNotLeft) {
  RunCases({
      {"a cookie of the keep list, and the cookie folder's index.dat",
       [](TestWorld& w) {
         w.files.AddFile(kCookies + "\\kept@site[1].txt", "c");
         w.files.AddFile(kCookies + "\\index.dat", "i");
         w.files.Lock(kCookies + "\\index.dat");
         WriteCookieKeepListFile(
             w.ctx.platform, {"kept@site[1].txt"},
             w.ctx.dataFolder.PathToSave(w.ctx.platform, kCookieKeepListFile));
       },
       DeleteIECookies, nullptr},
      {"a typed address of the keep list",
       [](TestWorld& w) {
         w.registry.PutString(HKCU, kTypedURLsKey, "url1", "http://kept.example/");
         SaveTypedAddressKeepList(w.ctx.platform, w.ctx.dataFolder, {"http://kept.example/"});
       },
       EraseTypedURLs, nullptr},
      {"index.dat and Skins in a walk",
       [](TestWorld& w) {
         w.files.AddFile("C:\\Temp\\index.dat", "i");
         w.files.AddFile("C:\\Temp\\Skins\\blue.bmp", "s");
       },
       [](Context& ctx) { EraseFilesInTree(ctx, "C:\\Temp", "*.*"); }, nullptr},
      {"missing files, folders, keys and values; unset or relative folders",
       [](TestWorld&) {},
       [](Context& ctx) {
         EraseFile(ctx, "C:\\Temp\\none.txt");
         EraseFile(ctx, "C:\\Temp\\none\\*.txt");
         EraseFolder(ctx, "C:\\Temp\\none");
         EraseFilesInTree(ctx, "C:\\Temp\\none", "*.*");
         for (const char* unset : {"", "Temp", "\\Temp"}) {
           EraseFilesInTree(ctx, unset, "*.*");
           EraseFolder(ctx, unset);
         }
         DeleteRegKey(ctx, HKCU, "Software\\None");
         DeleteRegValue(ctx, HKCU, "Software\\None", "v");
       },
       nullptr},
      {"a key with sub-keys, which NT never deletes",
       [](TestWorld& w) { w.registry.AddKey(HKCU, "Software\\Parent\\Child"); },
       [](Context& ctx) { DeleteRegKey(ctx, HKCU, "Software\\Parent"); }, nullptr},
  });
}

TEST(LeftItemsTest, ANewRunStartsCountingAfresh) {
  TestWorld w;
  w.ctx.SetReport(&w.report);
  w.ctx.Left("in use", "C:\\Temp\\a.txt");
  w.ctx.Left("in use", "c:\\temp\\A.TXT");  // the same file
  EXPECT_EQ(w.ctx.ItemsLeft, 1);
  w.ctx.ResetRunCounters();
  EXPECT_EQ(w.ctx.ItemsLeft, 0);
  w.ctx.Left("in use", "C:\\Temp\\a.txt");
  EXPECT_EQ(w.ctx.ItemsLeft, 1);
  EXPECT_EQ(w.report.lines, (Lines{"  left (in use): C:\\Temp\\a.txt",
                                   "  left (in use): C:\\Temp\\a.txt"}));
}

}  // namespace
}  // namespace nimbrel
