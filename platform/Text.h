// Text helpers shared by every module: comparison, trimming, conversions and
// Windows wildcard matching, written once so every caller agrees on them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nimbrel {

std::string ToUpper(std::string_view text);
std::string ToLower(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
// Position of the first case-insensitive occurrence, or npos.
std::size_t FindNoCase(std::string_view text, std::string_view needle);

// Removes leading and trailing blanks (spaces and tabs).
std::string Trim(std::string_view text);

// "As a number": the whole text, blanks around it allowed, is a decimal number
// with optional sign, decimal point and exponent. Anything else is no number.
std::optional<double> AsNumber(std::string_view text);
// A number rounded to the nearest 32-bit signed integer (ties to even), or
// nothing when it does not fit.
std::optional<std::int32_t> AsInt32(std::string_view text);
// "As a boolean": "True"/"False" in any case, or a number (non-zero is true).
std::optional<bool> AsBoolean(std::string_view text);
// True when the text, taken as a number, equals 1 (a ticked check state).
bool IsOne(std::string_view text);

// Whether the text is well-formed UTF-8 holding a character beyond ASCII: text
// of the ANSI code page almost never is.
bool IsUtf8BeyondAscii(std::string_view text);

// Windows wildcard matching of a file name, case-insensitive: '*' is any run
// of characters, '?' one character; "*.*" also matches names without a dot
// and a trailing "." matches names without an extension, as FindFirstFile does.
bool WildcardMatch(std::string_view pattern, std::string_view name);

// A local date and time, with the weekday (0 = Sunday ... 6 = Saturday).
struct DateTime {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0;
  int weekday = 6;
  bool operator==(const DateTime&) const = default;
};

// "hh:mm:ss" with hours 00 to 23.
std::string FormatHms(const DateTime& t);
// A time of day written as "h:mm" or "h:mm:ss" (hours 0 to 23, or 1 to 12
// followed by AM or PM), after an optional date of digits and / . or -;
// only the hour, minute and second of the result are set. Nothing when the
// text is no such time (for example "Null").
std::optional<DateTime> AsTimeOfDay(std::string_view text);
// The English weekday name ("Monday"), the names the scheduler compares with.
std::string EnglishWeekdayName(int weekday);

}  // namespace nimbrel
