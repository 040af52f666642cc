// Conversions between the portable DateTime and Win32's SYSTEMTIME, shared by
// the clock and the date-time picker.
#pragma once

#include <windows.h>

#include "platform/Text.h"

namespace nimbrel {

inline SYSTEMTIME ToSystemTime(const DateTime& t) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(t.year);
  st.wMonth = static_cast<WORD>(t.month);
  st.wDay = static_cast<WORD>(t.day);
  st.wDayOfWeek = static_cast<WORD>(t.weekday);
  st.wHour = static_cast<WORD>(t.hour);
  st.wMinute = static_cast<WORD>(t.minute);
  st.wSecond = static_cast<WORD>(t.second);
  return st;
}

inline DateTime FromSystemTime(const SYSTEMTIME& st) {
  return DateTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wDayOfWeek};
}

}  // namespace nimbrel
