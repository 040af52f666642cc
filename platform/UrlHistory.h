// The system's URL history object (IUrlHistoryStg2): the store behind
// Internet Explorer's history list and its address-bar suggestions.
#pragma once

#include <cstdint>

namespace nimbrel {

using UrlHistoryObject = std::uintptr_t;  // 0 is no object

class UrlHistory {
 public:
  virtual ~UrlHistory() = default;
  // CoCreateInstance of the URL history class, no aggregation, as an
  // in-process server or handler, for IUrlHistoryStg2. 0 when that fails: the
  // class is not registered, or COM is not initialised on this thread.
  virtual UrlHistoryObject Create() = 0;
  // IUrlHistoryStg2::ClearHistory; the status (an HRESULT) it returns.
  virtual std::int32_t ClearHistory(UrlHistoryObject object) = 0;
  virtual void Release(UrlHistoryObject object) = 0;
};

}  // namespace nimbrel
