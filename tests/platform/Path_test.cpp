#include "platform/Path.h"

#include <gtest/gtest.h>

#include "fakes/FakeFiles.h"

namespace nimbrel {
namespace {

TEST(PathTest, TakesAPathApartAtItsLastBackslash) {
  const struct {
    const char* path;
    const char* name;
    const char* parent;
    const char* folderPart;
  } table[] = {
      {"C:\\T\\a.txt", "a.txt", "C:\\T", "C:\\T\\"},
      {"C:\\a.txt", "a.txt", "C:", "C:\\"},
      {"C:\\T\\", "", "C:\\T", "C:\\T\\"},
      {"a.txt", "a.txt", "", ""},
      {"", "", "", ""},
      {"\\\\server\\share\\x", "x", "\\\\server\\share", "\\\\server\\share\\"},
      {"Software\\Key\\Value", "Value", "Software\\Key", "Software\\Key\\"},
      {"C:/T/a.txt", "C:/T/a.txt", "", ""},  // only backslashes cut
  };
  for (const auto& row : table) {
    EXPECT_EQ(FileNameOf(row.path), row.name) << row.path;
    EXPECT_EQ(ParentOf(row.path), row.parent) << row.path;
    EXPECT_EQ(FolderPartOf(row.path), row.folderPart) << row.path;
  }
}

TEST(PathTest, TrailingBackslashesAreAddedOnceAndTakenAllButARootsOwn) {
  const struct {
    const char* path;
    const char* with;
    const char* without;
  } table[] = {
      {"C:\\T", "C:\\T\\", "C:\\T"},       {"C:\\T\\", "C:\\T\\", "C:\\T"},
      {"C:\\T\\\\", "C:\\T\\\\", "C:\\T"}, {"C:\\", "C:\\", "C:\\"},
      {"C:\\\\", "C:\\\\", "C:\\"},        {"C:", "C:\\", "C:"},
      {"", "\\", ""},                      {"\\\\server\\share\\", "\\\\server\\share\\", "\\\\server\\share"},
  };
  for (const auto& row : table) {
    EXPECT_EQ(EnsureTrailingBackslash(row.path), row.with) << row.path;
    EXPECT_EQ(WithoutTrailingBackslash(row.path), row.without) << row.path;
  }
  EXPECT_EQ(WithBackslashes("C:/T/a"), "C:\\T\\a");
}

TEST(PathTest, DotsAndExistence) {
  for (const char* dots : {".", ".."}) EXPECT_TRUE(IsDots(dots)) << dots;
  for (const char* name : {"", "...", ".a", "a."}) EXPECT_FALSE(IsDots(name)) << name;
  FakeFiles files;
  files.AddFile("C:\\T\\a.txt");
  EXPECT_TRUE(Exists(files, "C:\\T\\a.txt"));
  EXPECT_TRUE(Exists(files, "C:\\T"));
  EXPECT_FALSE(Exists(files, "C:\\T\\b.txt"));
}

}  // namespace
}  // namespace nimbrel
