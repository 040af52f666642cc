// A URL history object that may be missing or fail, and records its use.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/UrlHistory.h"

namespace nimbrel {

class FakeUrlHistory final : public UrlHistory {
 public:
  static constexpr std::int32_t kNotImplemented = static_cast<std::int32_t>(0x80004001);

  bool available = true;  // false: the class cannot be created
  std::int32_t clearResult = 0;
  int live = 0;     // objects created and not yet released
  std::vector<std::string> calls;  // "create", "clear", "release" in order
  std::function<void()> onClear;   // called as the history is cleared

  UrlHistoryObject Create() override {
    calls.push_back("create");
    if (!available) return 0;
    ++live;
    return kObject;
  }
  std::int32_t ClearHistory(UrlHistoryObject object) override {
    calls.push_back("clear");
    if (onClear) onClear();
    return object == kObject && live > 0 ? clearResult : kNotImplemented;
  }
  void Release(UrlHistoryObject object) override {
    calls.push_back("release");
    if (object == kObject && live > 0) --live;
  }

 private:
  static constexpr UrlHistoryObject kObject = 0x5EED;
};

}  // namespace nimbrel
