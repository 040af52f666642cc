#include "erasers/modProtectedStorage.h"

#include "erasers/modRegistry.h"

namespace nimbrel {

void ClearProtectedStorage(Context& ctx) {
  DeleteRegSubTrees(ctx, RegRoot::CurrentUser, kProtectedStorageKey);
  DeleteRegValues(ctx, RegRoot::CurrentUser, kProtectedStorageKey);
}

}  // namespace nimbrel
