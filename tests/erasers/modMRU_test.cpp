#include "erasers/modMRU.h"

#include <gtest/gtest.h>

#include <map>

#include "fakes/TestWorld.h"

namespace nimbrel {
namespace {

using Lines = std::vector<std::string>;
using Urls = std::map<int, std::string>;
constexpr RegRoot HKCU = RegRoot::CurrentUser;
const std::string kBackup = "C:\\Program Files\\Nimbrel\\Backup.dat";

class ModMRUTest : public ::testing::Test {
 protected:
  ModMRUTest() { w.ctx.SetReport(&w.report); }
  // A list whose MRUList names `order`; each named value and `others` hold text.
  void PlantList(const std::string& key, const std::string& order, const std::string& others) {
    w.registry.PutString(HKCU, key, "MRUList", order);
    for (const char c : order + others) w.registry.PutString(HKCU, key, std::string(1, c), "x\\1");
  }
  bool Has(const std::string& key, const std::string& name) {
    return w.registry.Get(HKCU, key, name) != nullptr;
  }
  void PlantTypedURLs(const Urls& urls) {
    for (const auto& [index, address] : urls)
      w.registry.PutString(HKCU, kTypedURLsKey, "url" + std::to_string(index), address);
  }
  std::string TypedURL(int index) {
    const auto* v = w.registry.Get(HKCU, kTypedURLsKey, "url" + std::to_string(index));
    return v ? v->data.substr(0, v->data.find('\0')) : "<gone>";
  }
  // The typed addresses url1 to url9 still there.
  Urls TypedURLs() {
    Urls left;
    for (int i = 1; i <= 9; ++i)
      if (const std::string text = TypedURL(i); text != "<gone>") left[i] = text;
    return left;
  }
  TestWorld w;
};

TEST_F(ModMRUTest, RunListDeletesTheNamedEntriesThenMRUListAndCountsEveryRequest) {
  // "z" is named but already gone: its request is made and counted all the same.
  PlantList(kRunMRUKey, "ba", "cd");
  w.registry.PutString(HKCU, kRunMRUKey, "MRUList", "baz");
  EraseRunMRU(w.ctx);
  for (const char* gone : {"a", "b", "MRUList"}) EXPECT_FALSE(Has(kRunMRUKey, gone)) << gone;
  EXPECT_TRUE(Has(kRunMRUKey, "c"));
  EXPECT_TRUE(Has(kRunMRUKey, "d"));
  EXPECT_EQ(w.report.calls, (Lines{"line   b", "registry 1", "line   a", "registry 2",
                                   "line   z", "registry 3", "registry 4"}));
  EXPECT_EQ(w.report.yields, 3);
  EXPECT_EQ(w.registry.openKeys, 0);
}

TEST_F(ModMRUTest, SearchListThenTheSearchBarAndAssistantKeysWhole) {
  const std::string assistant = "Software\\Microsoft\\Search Assistant\\ACMru";
  PlantList(kDocFindSpecMRUKey, "ab", "c");
  w.registry.PutString(HKCU, kFilesNamedMRUKey, "000", "secret*.doc");
  w.registry.PutString(HKCU, kSearchAssistantMRUKey, "000", "secret");
  w.registry.PutString(HKCU, assistant + "\\5604", "000", "a word");
  EraseSearchMRU(w.ctx);
  EXPECT_FALSE(Has(kDocFindSpecMRUKey, "a"));
  EXPECT_FALSE(Has(kDocFindSpecMRUKey, "b"));
  EXPECT_FALSE(Has(kDocFindSpecMRUKey, "MRUList"));
  EXPECT_TRUE(Has(kDocFindSpecMRUKey, "c"));
  EXPECT_FALSE(w.registry.HasKey(HKCU, kFilesNamedMRUKey));
  EXPECT_FALSE(w.registry.HasKey(HKCU, kSearchAssistantMRUKey));
  EXPECT_TRUE(Has(assistant + "\\5604", "000"));
  EXPECT_EQ(w.report.lines, (Lines{"  a", "  b"}));
  EXPECT_EQ(w.report.registry, 5);
}

TEST_F(ModMRUTest, RecentDocsBeforeXPGoByMRUListWithoutProgressLines) {
  w.system.version = {5, 0, 2};  // Windows 2000
  PlantList(kRecentDocsKey, "ab", "c");
  EraseRecentDocsList(w.ctx);
  EXPECT_FALSE(Has(kRecentDocsKey, "a"));
  EXPECT_FALSE(Has(kRecentDocsKey, "b"));
  EXPECT_FALSE(Has(kRecentDocsKey, "MRUList"));
  EXPECT_TRUE(Has(kRecentDocsKey, "c"));
  EXPECT_TRUE(w.report.lines.empty());
  EXPECT_EQ(w.report.registry, 3);
  EXPECT_EQ(w.report.yields, 2);
}

TEST(ModMRU, RecentDocsFromXPOnGoWithTheirExtensionKeysAndMRUListEx) {
  const std::string key = kRecentDocsKey;
  for (const OsVersion version : {OsVersion{5, 1, 2}, OsVersion{5, 2, 2}, OsVersion{6, 1, 2},
                                  OsVersion{10, 0, 2}}) {
    SCOPED_TRACE(std::to_string(version.major) + "." + std::to_string(version.minor));
    TestWorld v;
    v.ctx.SetReport(&v.report);
    v.system.version = version;
    v.registry.Put(HKCU, key, "MRUListEx", kRegBinary, std::string("\0\0\0\0\xff\xff\xff\xff", 8));
    v.registry.Put(HKCU, key, "0", kRegBinary, "a.txt");
    v.registry.Put(HKCU, key + "\\.txt", "0", kRegBinary, "a.txt");
    v.registry.Put(HKCU, key + "\\Folder", "0", kRegBinary, "C:\\x");
    EraseRecentDocsList(v.ctx);
    EXPECT_FALSE(v.registry.HasKey(HKCU, key));
    // Two sub-keys, the key, then MRUListEx.
    EXPECT_EQ(v.report.registry, 4);
    EXPECT_TRUE(v.report.lines.empty());
  }
}

TEST_F(ModMRUTest, TypedURLsEndAtTheFirstMissingOrEmptyValue) {
  PlantTypedURLs({{1, "http://one.example/"}, {2, "http://two.example/"},
                  {4, "http://four.example/"}});
  EraseTypedURLs(w.ctx);
  EXPECT_EQ(TypedURLs(), (Urls{{4, "http://four.example/"}}));
  EXPECT_EQ(w.report.calls, (Lines{"line   http://one.example/", "registry 1",
                                   "line   http://two.example/", "registry 2"}));

  PlantTypedURLs({{1, "http://one.example/"}, {2, ""}, {3, "http://three.example/"}});
  EraseTypedURLs(w.ctx);
  EXPECT_EQ(TypedURLs(),
            (Urls{{2, ""}, {3, "http://three.example/"}, {4, "http://four.example/"}}));
}

TEST_F(ModMRUTest, KeptAddressesStayUnderTheirNamesWhateverTheirCaseAndBlanks) {
  w.files.AddFile(kBackup, "  HTTP://Kept.Example/  \r\nhttp://other.example/\r\n");
  PlantTypedURLs({{1, "http://kept.example/"}, {2, "http://gone.example/"},
                  {3, " http://KEPT.example/\t"}, {4, "http://kept.example/more"}});
  EraseTypedURLs(w.ctx);
  EXPECT_EQ(TypedURLs(), (Urls{{1, "http://kept.example/"}, {3, " http://KEPT.example/\t"}}));
  EXPECT_EQ(w.report.lines.size(), 4u);  // every address shown, kept or not
  EXPECT_EQ(w.report.registry, 2);
}

TEST_F(ModMRUTest, AnEmptyOrMissingKeepListKeepsNothing) {
  for (const bool fileThere : {false, true}) {
    if (fileThere) w.files.AddFile(kBackup, "");
    PlantTypedURLs({{1, "http://one.example/"}});
    EXPECT_FALSE(IsKeptURL(w.ctx, "http://one.example/"));
    EraseTypedURLs(w.ctx);
    EXPECT_EQ(TypedURL(1), "<gone>");
  }
}

TEST_F(ModMRUTest, TheKeepListIsReadAfreshForEveryAddress) {
  PlantTypedURLs({{1, "http://one.example/"}, {2, "http://two.example/"}});
  // The list is saved while the walk yields after the first address.
  w.files.AddFolder("C:\\Program Files\\Nimbrel");
  w.loop.onDoEvents = [&](int) { w.files.WriteAll(kBackup, "http://two.example/\r\n"); };
  EraseTypedURLs(w.ctx);
  EXPECT_EQ(TypedURL(1), "<gone>");
  EXPECT_EQ(TypedURL(2), "http://two.example/");
}

TEST_F(ModMRUTest, TheIndexEndsAtUrl32767) {
  for (int i = 1; i <= 32768; ++i) PlantTypedURLs({{i, "http://a.example/"}});
  w.ctx.SetReport(nullptr);
  EraseTypedURLs(w.ctx);
  EXPECT_EQ(TypedURL(32767), "<gone>");
  EXPECT_EQ(TypedURL(32768), "http://a.example/");
  EXPECT_EQ(w.ctx.RegistryItemsRemoved, 32767);
}

}  // namespace
}  // namespace nimbrel
