#include "erasers/modIECache.h"

#include <gtest/gtest.h>

#include "erasers/modProtectedStorage.h"
#include "fakes/TestWorld.h"

namespace nimbrel {
namespace {

using Lines = std::vector<std::string>;

class IECacheTest : public ::testing::Test {
 protected:
  IECacheTest() { w.ctx.SetReport(&w.report); }
  Lines Remaining() const {
    Lines urls;
    for (const auto& e : w.urlCache.entries) urls.push_back(e.url);
    return urls;
  }
  TestWorld w;
};

TEST_F(IECacheTest, EmptyCacheListsNothingAndWritesNoLine) {
  EXPECT_TRUE(FillCacheList(w.ctx).empty());
  FlushIECache(w.ctx);
  EXPECT_TRUE(w.report.lines.empty());
  EXPECT_TRUE(w.urlCache.deleted.empty());
  EXPECT_TRUE(w.urlCache.open.empty());
}

TEST_F(IECacheTest, EachEntryIsProbedThenFetchedIntoABufferOfExactlyItsSize) {
  w.urlCache.Add("http://a.example/", "C:\\Cache\\a.htm");
  w.urlCache.Add("http://bb.example/page", "C:\\Cache\\page.htm");
  UrlCacheEnumeration cache(w.urlCache);
  ASSERT_TRUE(cache.UrlCacheFirst());
  EXPECT_EQ(cache.UrlCacheSourceUrl(), "http://a.example/");
  EXPECT_EQ(cache.UrlCacheLocalFile(), "C:\\Cache\\a.htm");
  ASSERT_TRUE(cache.UrlCacheNext());
  EXPECT_EQ(cache.UrlCacheSourceUrl(), "http://bb.example/page");
  EXPECT_FALSE(cache.UrlCacheNext());
  EXPECT_EQ(w.urlCache.probes, 3);  // two entries and the end
  const auto size = [](const std::string& url, const std::string& file) {
    return static_cast<std::uint32_t>(sizeof(UrlCacheEntryInfo) + url.size() + file.size() + 2);
  };
  EXPECT_EQ(w.urlCache.buffers,
            (std::vector<std::uint32_t>{size("http://a.example/", "C:\\Cache\\a.htm"),
                                        size("http://bb.example/page", "C:\\Cache\\page.htm")}));
  cache.UrlCacheClose();
  EXPECT_TRUE(w.urlCache.open.empty());
}

TEST_F(IECacheTest, FirstEntryWhateverItsTypeThenOnlyNormalEntries) {
  w.urlCache.Add("Cookie:user@first.example/", "C:\\Cookies\\user@first[1].txt", kCookieCacheEntry);
  w.urlCache.Add("http://normal.example/", "C:\\Cache\\n.htm", kNormalCacheEntry | 0x40);
  w.urlCache.Add("Visited: user@http://visited.example/", "", kUrlHistoryCacheEntry);
  w.urlCache.Add("Cookie:user@later.example/", "C:\\Cookies\\user@later[1].txt", kCookieCacheEntry);
  w.urlCache.Add("http://nofile.example/", "", kNormalCacheEntry);
  const std::vector<CacheListItem> list = FillCacheList(w.ctx);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].text, "C:\\Cookies\\user@first[1].txt");
  EXPECT_EQ(list[0].sourceUrl, "Cookie:user@first.example/");
  EXPECT_EQ(list[1].text, "C:\\Cache\\n.htm");
  // An entry without a local file is listed under its URL.
  EXPECT_EQ(list[2].text, "http://nofile.example/");
  EXPECT_EQ(list[2].sourceUrl, "http://nofile.example/");
  EXPECT_EQ(w.loop.doEvents, 4);  // one per entry after the first
  EXPECT_TRUE(w.urlCache.open.empty());

  FlushIECache(w.ctx);
  EXPECT_EQ(w.urlCache.deleted, (Lines{"Cookie:user@first.example/", "http://normal.example/",
                                       "http://nofile.example/"}));
  EXPECT_EQ(w.report.lines, (Lines{"  Cookie:user@first.example/", "  http://normal.example/",
                                   "  http://nofile.example/"}));
  EXPECT_EQ(Remaining(),
            (Lines{"Visited: user@http://visited.example/", "Cookie:user@later.example/"}));
}

TEST_F(IECacheTest, FlushClearsProtectedStorageFirstAndPassesOnceOverEntriesThatStay) {
  w.registry.PutString(RegRoot::CurrentUser, std::string(kProtectedStorageKey) + "\\Data", "v",
                       "x");
  w.urlCache.Add("http://stuck.example/");
  w.urlCache.Add("http://gone.example/");
  w.urlCache.refuseDelete.insert("http://stuck.example/");
  FlushIECache(w.ctx);
  EXPECT_FALSE(
      w.registry.HasKey(RegRoot::CurrentUser, std::string(kProtectedStorageKey) + "\\Data"));
  ASSERT_FALSE(w.report.calls.empty());
  EXPECT_EQ(w.report.calls.front(), "registry 1");
  EXPECT_EQ(w.urlCache.deleted, (Lines{"http://stuck.example/", "http://gone.example/"}));
  EXPECT_EQ(Remaining(), (Lines{"http://stuck.example/"}));
}

TEST_F(IECacheTest, RestartingClosesTheOpenEnumerationFirst) {
  w.urlCache.Add("http://a.example/");
  UrlCacheEnumeration cache(w.urlCache);
  ASSERT_TRUE(cache.UrlCacheFirst());
  ASSERT_TRUE(cache.UrlCacheFirst());
  EXPECT_EQ(w.urlCache.open.size(), 1u);
  EXPECT_EQ(cache.UrlCacheSourceUrl(), "http://a.example/");
  EXPECT_FALSE(cache.UrlCacheNext());
  // The failed fetch leaves no stale texts behind.
  EXPECT_EQ(cache.UrlCacheSourceUrl(), "");
}

}  // namespace
}  // namespace nimbrel
