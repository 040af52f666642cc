#include "erasers/modRegistry.h"

#include <gtest/gtest.h>

#include "fakes/TestWorld.h"

namespace nimbrel {
namespace {

constexpr RegRoot HKCU = RegRoot::CurrentUser;
const std::string kKey = "Software\\Test";

class ModRegistryTest : public ::testing::Test {
 protected:
  ModRegistryTest() { ctx.SetReport(&w.report); }
  TestWorld w;
  Context& ctx = w.ctx;
};

TEST_F(ModRegistryTest, ReadsOnlyStringValues) {
  w.registry.Put(HKCU, kKey, "sz", kRegSz, std::string("abc\0def", 7));
  w.registry.Put(HKCU, kKey, "nonul", kRegSz, "whole text");
  w.registry.Put(HKCU, kKey, "dword", kRegDword, std::string("\x01\0\0\0", 4));
  w.registry.Put(HKCU, kKey, "expand", kRegExpandSz, std::string("%TEMP%\0", 7));
  EXPECT_EQ(ReadRegString(ctx, HKCU, kKey, "sz"), "abc");
  EXPECT_EQ(ReadRegString(ctx, HKCU, kKey, "nonul"), "whole text");
  EXPECT_EQ(ReadRegString(ctx, HKCU, kKey, "dword"), "");
  EXPECT_EQ(ReadRegString(ctx, HKCU, kKey, "expand"), "");
  EXPECT_EQ(ReadRegString(ctx, HKCU, kKey, "missing"), "");
  EXPECT_EQ(ReadRegString(ctx, HKCU, "Software\\Missing", "sz"), "");
  EXPECT_EQ(w.registry.openKeys, 0);
}

TEST_F(ModRegistryTest, WritesNumbersAsDwordAndTheRestAsText) {
  w.registry.AddKey(HKCU, kKey);
  WriteRegValue(ctx, HKCU, kKey, "n", "  42  ");
  WriteRegValue(ctx, HKCU, kKey, "half", "2.5");
  WriteRegValue(ctx, HKCU, kKey, "neg", "-1");
  WriteRegValue(ctx, HKCU, kKey, "url", "  http://example.test/a  ");
  WriteRegValue(ctx, HKCU, kKey, "path", "C:\\Tools\\Nimbrel.exe");
  WriteRegValue(ctx, HKCU, kKey, "empty", "");
  WriteRegValue(ctx, HKCU, kKey, "huge", "4294967296");
  EXPECT_EQ(w.registry.Get(HKCU, kKey, "n")->type, kRegDword);
  EXPECT_EQ(w.registry.Get(HKCU, kKey, "n")->data, std::string("\x2A\0\0\0", 4));
  EXPECT_EQ(w.registry.Get(HKCU, kKey, "half")->data, std::string("\x02\0\0\0", 4));
  EXPECT_EQ(w.registry.Get(HKCU, kKey, "neg")->data, "\xFF\xFF\xFF\xFF");
  EXPECT_EQ(w.registry.Get(HKCU, kKey, "url")->type, kRegSz);
  EXPECT_EQ(w.registry.Get(HKCU, kKey, "url")->data, std::string("http://example.test/a\0", 22));
  EXPECT_EQ(w.registry.Get(HKCU, kKey, "path")->type, kRegSz);
  EXPECT_EQ(w.registry.Get(HKCU, kKey, "empty")->data, std::string("\0", 1));
  // Beyond 32 bits a number would overflow a DWORD: it is kept as text.
  EXPECT_EQ(w.registry.Get(HKCU, kKey, "huge")->type, kRegSz);
  EXPECT_EQ(w.registry.Get(HKCU, kKey, "huge")->data, std::string("4294967296\0", 11));
}

TEST_F(ModRegistryTest, WriteNeverCreatesAKey) {
  const std::size_t before = w.registry.KeyCount();
  WriteRegValue(ctx, HKCU, "Software\\Nowhere", "v", "1");
  EXPECT_EQ(w.registry.KeyCount(), before);
  EXPECT_FALSE(w.registry.HasKey(HKCU, "Software\\Nowhere"));
}

TEST_F(ModRegistryTest, DeletesCountEveryRequestAndShowTheCount) {
  w.registry.PutString(HKCU, kKey, "a", "x");
  w.registry.AddKey(HKCU, kKey + "\\Child");
  DeleteRegValue(ctx, HKCU, kKey, "a");
  DeleteRegValue(ctx, HKCU, "Software\\Missing", "a");  // nothing there: still counted
  DeleteRegKey(ctx, HKCU, "Software\\Missing");
  DeleteRegKey(ctx, HKCU, kKey);  // refused (has a child): still counted
  EXPECT_EQ(ctx.RegistryItemsRemoved, 4);
  EXPECT_EQ(w.report.calls,
            (std::vector<std::string>{"registry 1", "registry 2", "registry 3", "registry 4"}));
  EXPECT_EQ(w.registry.Get(HKCU, kKey, "a"), nullptr);
  EXPECT_TRUE(w.registry.HasKey(HKCU, kKey));
  EXPECT_FALSE(w.registry.HasKey(HKCU, "Software\\Missing"));
}

TEST_F(ModRegistryTest, DeleteValueWithEmptyNameRemovesTheDefaultValue) {
  w.registry.PutString(HKCU, kKey, "", "default");
  w.registry.PutString(HKCU, kKey, "other", "x");
  DeleteRegValue(ctx, HKCU, kKey, "");
  EXPECT_EQ(w.registry.Get(HKCU, kKey, ""), nullptr);
  EXPECT_NE(w.registry.Get(HKCU, kKey, "other"), nullptr);
}

TEST_F(ModRegistryTest, EnumeratesNamesWithReportedCounts) {
  w.registry.AddKey(HKCU, kKey + "\\One");
  w.registry.AddKey(HKCU, kKey + "\\Two");
  w.registry.PutString(HKCU, kKey, "url1", "a");
  w.registry.PutString(HKCU, kKey, "url2", "b");
  w.registry.PutString(HKCU, kKey, "url3", "c");
  std::vector<std::string> names;
  int count = -1;
  EnumRegSubKeys(ctx, HKCU, kKey, names, count);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(names, (std::vector<std::string>{"One", "Two"}));
  EnumRegValues(ctx, HKCU, kKey, names, count);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(names, (std::vector<std::string>{"url1", "url2", "url3"}));
  EXPECT_EQ(w.loop.doEvents, 5);  // one per name delivered

  count = 7;
  EnumRegSubKeys(ctx, HKCU, "Software\\Missing", names, count);
  EXPECT_EQ(count, 7);  // unchanged when the key cannot be opened
  EnumRegSubKeys(ctx, HKCU, kKey + "\\One", names, count);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(w.registry.openKeys, 0);
}

TEST_F(ModRegistryTest, KeyTheUserMayNotChangeIsNotListedAndNothingIsCounted) {
  w.registry.AddKey(HKCU, kKey + "\\Child");
  w.registry.PutString(HKCU, kKey, "v", "x");
  w.registry.MarkReadOnly(HKCU, kKey);
  std::vector<std::string> names;
  int count = 9;
  EnumRegSubKeys(ctx, HKCU, kKey, names, count);
  EXPECT_EQ(count, 9);
  EnumRegValues(ctx, HKCU, kKey, names, count);
  EXPECT_EQ(count, 9);
  DeleteRegSubKeys(ctx, HKCU, kKey);
  DeleteRegValues(ctx, HKCU, kKey);
  EXPECT_EQ(ctx.RegistryItemsRemoved, 0);
  EXPECT_TRUE(w.report.calls.empty());
  EXPECT_EQ(w.registry.openKeys, 0);
  // Still readable as before.
  EXPECT_EQ(ReadRegString(ctx, HKCU, kKey, "v"), "x");
}

TEST_F(ModRegistryTest, DeleteSubKeysRemovesOnlyLeafChildren) {
  w.registry.AddKey(HKCU, kKey + "\\Leaf");
  w.registry.AddKey(HKCU, kKey + "\\Parent\\Grandchild");
  w.registry.PutString(HKCU, kKey, "keep", "v");
  DeleteRegSubKeys(ctx, HKCU, kKey);
  EXPECT_FALSE(w.registry.HasKey(HKCU, kKey + "\\Leaf"));
  EXPECT_TRUE(w.registry.HasKey(HKCU, kKey + "\\Parent\\Grandchild"));
  EXPECT_TRUE(w.registry.HasKey(HKCU, kKey));
  EXPECT_NE(w.registry.Get(HKCU, kKey, "keep"), nullptr);
  EXPECT_EQ(ctx.RegistryItemsRemoved, 2);  // one request per child

  ctx.RegistryItemsRemoved = 0;
  DeleteRegSubKeys(ctx, HKCU, kKey + "\\Parent\\Grandchild");  // no children
  EXPECT_EQ(ctx.RegistryItemsRemoved, 0);
}

TEST_F(ModRegistryTest, DeleteTreeRemovesEverythingBelowDeepestFirstAndCountsEachKey) {
  w.registry.AddKey(HKCU, kKey + "\\A\\A1\\A11");
  w.registry.AddKey(HKCU, kKey + "\\A\\A2");
  w.registry.PutString(HKCU, kKey + "\\A\\A1", "v", "x");
  w.registry.AddKey(HKCU, kKey + "\\B\\Locked\\Inside");
  w.registry.MarkReadOnly(HKCU, kKey + "\\B\\Locked");  // not listed, not deleted
  w.registry.AddKey(HKCU, "Software\\Beside");
  w.registry.journal.clear();
  DeleteRegTree(ctx, HKCU, kKey);
  EXPECT_EQ(w.registry.journal,
            (std::vector<std::string>{"delete key HKCU\\SOFTWARE\\TEST\\A\\A1\\A11",
                                      "delete key HKCU\\SOFTWARE\\TEST\\A\\A1",
                                      "delete key HKCU\\SOFTWARE\\TEST\\A\\A2",
                                      "delete key HKCU\\SOFTWARE\\TEST\\A"}));
  EXPECT_TRUE(w.registry.HasKey(HKCU, kKey + "\\B\\Locked\\Inside"));
  EXPECT_TRUE(w.registry.HasKey(HKCU, "Software\\Beside"));
  // Every request counts, the refused ones too: Locked, B and the key itself.
  EXPECT_EQ(ctx.RegistryItemsRemoved, 7);
}

TEST_F(ModRegistryTest, NoDeleteAimsAtARootOrTheTopOfAHiveHoweverSpelt) {
  const struct {
    RegRoot root;
    const char* path;
    bool isProtected;
  } cases[] = {
      {HKCU, "", true},
      {HKCU, "\\", true},
      {HKCU, "Software", true},
      {HKCU, "\\Software\\", true},
      {HKCU, "Software\\\\", true},
      {RegRoot::LocalMachine, "SOFTWARE", true},
      {RegRoot::Users, "S-1-5-21-7", true},
      {RegRoot::Users, "S-1-5-21-7\\Software", true},
      {RegRoot::Users, ".DEFAULT\\\\Software\\", true},
      {HKCU, "Software\\Test", false},
      {RegRoot::Users, "S-1-5-21-7\\Software\\Test", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(IsProtectedRegKey(c.root, c.path), c.isProtected);
    TestWorld fresh;
    for (const char* top : {"Software\\Test\\Deep", "SOFTWARE\\Test\\Deep",
                            "S-1-5-21-7\\Software\\Test\\Deep", ".DEFAULT\\Software\\Test"})
      fresh.registry.AddKey(c.root, top);
    const auto before = fresh.registry.Snapshot();
    DeleteRegKey(fresh.ctx, c.root, c.path);
    DeleteRegTree(fresh.ctx, c.root, c.path);
    if (c.isProtected) {
      EXPECT_EQ(fresh.registry.Snapshot(), before);
      EXPECT_EQ(fresh.ctx.RegistryItemsRemoved, 0);
    } else {
      EXPECT_NE(fresh.registry.Snapshot(), before);
    }
  }
}

TEST_F(ModRegistryTest, DeleteValuesRemovesEveryValueAndKeepsTheKey) {
  w.registry.PutString(HKCU, kKey, "a", "1");
  w.registry.PutString(HKCU, kKey, "b", "2");
  w.registry.AddKey(HKCU, kKey + "\\Sub");
  DeleteRegValues(ctx, HKCU, kKey);
  EXPECT_EQ(w.registry.Get(HKCU, kKey, "a"), nullptr);
  EXPECT_EQ(w.registry.Get(HKCU, kKey, "b"), nullptr);
  EXPECT_TRUE(w.registry.HasKey(HKCU, kKey + "\\Sub"));
  EXPECT_EQ(ctx.RegistryItemsRemoved, 2);
}

// The keys Windows and the program run on stay whole, as does every key above
// one, however spelt; the keys below them may go.
TEST(ProtectedRegKeys, KeysWindowsRunsOnAndThoseAboveAreRefusedTheirSubKeysNot) {
  const RegRoot lm = RegRoot::LocalMachine, cu = RegRoot::CurrentUser, u = RegRoot::Users;
  const struct {
    RegRoot root;
    const char* path;
    const char* why;
  } cases[] = {
      {lm, "SYSTEM\\CurrentControlSet\\Services", "protected key"},
      {lm, "system\\controlset001\\services\\", "protected key"},
      {lm, "SYSTEM\\ControlSet002\\Control", "protected key"},
      {lm, "SYSTEM\\CurrentControlSet\\Enum", "protected key"},
      {lm, "SYSTEM\\CurrentControlSet\\Hardware Profiles", "protected key"},
      {lm, "SYSTEM\\CurrentControlSet\\Services\\SomeDriver", ""},
      {lm, "Software\\Classes\\CLSID", "protected key"},
      {lm, "SOFTWARE\\Wow6432Node\\Classes\\CLSID\\", "protected key"},
      {cu, "Software\\Classes\\Wow6432Node\\CLSID", "protected key"},
      {lm, "Software\\Classes\\CLSID\\{0000-1111}", ""},
      {lm, "Software\\Classes\\Interface", "protected key"},
      {lm, "Software\\Classes\\TypeLib", "protected key"},
      {lm, "Software\\Classes\\AppID", "protected key"},
      {lm, "Software\\Classes\\.txt", "protected key"},
      {lm, "Software\\Classes\\txtfile", "protected key"},
      {lm, "Software\\Classes\\*", "protected key"},
      {lm, "Software\\Classes\\Directory", "protected key"},
      {lm, "Software\\Classes\\.txt\\OpenWithList", ""},
      {lm, "Software\\Classes\\SomeApp.Document", ""},
      {cu, "Software\\Policies", "protected key"},
      {cu, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies", "protected key"},
      {cu, "Software\\Microsoft\\Windows", "protected key"},
      {cu, "Software\\Microsoft\\Windows\\CurrentVersion", "protected key"},
      {cu, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer", "protected key"},
      {cu, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs", ""},
      {lm, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "protected key"},
      {lm, "Software\\Wow6432Node\\Microsoft", "protected key"},
      {lm, "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion", "protected key"},
      {lm, "Software\\Microsoft\\SomeTool", ""},
      {u, ".DEFAULT\\Software\\Microsoft\\Windows", "protected key"},
      {u, "S-1-5-21-7_Classes\\CLSID", "protected key"},
      {u, "S-1-5-21-7\\Software\\Vendor", ""},
      {cu, "Environment", "top of a hive"},
      {cu, "Control Panel\\", "top of a hive"},
      {u, ".DEFAULT\\Control Panel", "top of a hive"},
      {cu, "Software\\NimbrelSoft\\Nimbrel", "protected key"},
      {cu, "Software\\NimbrelSoft\\Nimbrel\\Options", "protected key"},
      {cu, "Software\\NimbrelSoft", "protected key"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(RegKeyRefusal(c.root, c.path), c.why);
    TestWorld w;
    w.registry.AddKey(c.root, std::string(c.path) + "\\Below");
    const auto before = w.registry.Snapshot();
    DeleteRegTree(w.ctx, c.root, c.path);
    EXPECT_EQ(w.registry.Snapshot() == before, *c.why != '\0');
  }
}

}  // namespace
}  // namespace nimbrel
