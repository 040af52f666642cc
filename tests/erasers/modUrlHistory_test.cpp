#include "erasers/modUrlHistory.h"

#include <gtest/gtest.h>

#include "fakes/TestWorld.h"

namespace nimbrel {
namespace {

using Calls = std::vector<std::string>;

class ClearUrlHistoryTest : public ::testing::Test {
 protected:
  ClearUrlHistoryTest() { w.ctx.SetReport(&w.report); }
  TestWorld w;
};

TEST_F(ClearUrlHistoryTest, AMissingObjectOrAFailingClearChangesAndReportsNothing) {
  w.urlHistory.available = false;
  ClearUrlHistory(w.ctx);
  EXPECT_EQ(w.urlHistory.calls, (Calls{"create"}));

  // As under Wine: the object is there, but its ClearHistory is not implemented.
  w.urlHistory.available = true;
  w.urlHistory.clearResult = FakeUrlHistory::kNotImplemented;
  w.urlHistory.calls.clear();
  ClearUrlHistory(w.ctx);
  EXPECT_EQ(w.urlHistory.calls, (Calls{"create", "clear", "release"}));
  EXPECT_EQ(w.urlHistory.live, 0);

  EXPECT_TRUE(w.report.calls.empty());
  EXPECT_EQ(w.ctx.RegistryItemsRemoved, 0);
  EXPECT_EQ(w.ctx.FilesDeleted, 0);
}

}  // namespace
}  // namespace nimbrel
