#include "erasers/modUrlHistory.h"

namespace nimbrel {

void ClearUrlHistory(Context& ctx) {
  UrlHistory& history = ctx.platform.urlHistory;
  const UrlHistoryObject object = history.Create();
  if (!object) return;
  history.ClearHistory(object);
  history.Release(object);
}

}  // namespace nimbrel
