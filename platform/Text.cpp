#include "platform/Text.h"

#include <array>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace nimbrel {

namespace {

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool MatchFrom(std::string_view p, std::string_view n) {
  // Iterative glob with single-star backtracking: linear in practice.
  std::size_t pi = 0, ni = 0, starP = std::string_view::npos, starN = 0;
  while (ni < n.size()) {
    // A star is always a wildcard, also against a "*" in the name.
    if (pi < p.size() && p[pi] == '*') {
      starP = pi++;
      starN = ni;
    } else if (pi < p.size() && (p[pi] == '?' || Upper(p[pi]) == Upper(n[ni]))) {
      ++pi;
      ++ni;
    } else if (starP != std::string_view::npos) {
      pi = starP + 1;
      ni = ++starN;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

}  // namespace

std::string ToUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = Upper(c);
  return out;
}

std::string ToLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Upper(a[i]) != Upper(b[i])) return false;
  return true;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

std::size_t FindNoCase(std::string_view text, std::string_view needle) {
  if (needle.size() > text.size()) return std::string_view::npos;
  for (std::size_t i = 0; i + needle.size() <= text.size(); ++i)
    if (EqualsNoCase(text.substr(i, needle.size()), needle)) return i;
  return std::string_view::npos;
}

std::string Trim(std::string_view text) {
  std::size_t b = 0, e = text.size();
  while (b < e && IsBlank(text[b])) ++b;
  while (e > b && IsBlank(text[e - 1])) --e;
  return std::string(text.substr(b, e - b));
}

std::optional<double> AsNumber(std::string_view text) {
  const std::string t = Trim(text);
  // Grammar: [sign] digits [. digits] [(e|E) [sign] digits], at least one digit
  // in the mantissa. strtod alone would also take "inf", "nan" and hex.
  std::size_t i = 0, digits = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++digits;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    std::size_t j = i + 1, expDigits = 0;
    if (j < t.size() && (t[j] == '+' || t[j] == '-')) ++j;
    while (j < t.size() && std::isdigit(static_cast<unsigned char>(t[j]))) ++j, ++expDigits;
    if (expDigits == 0) return std::nullopt;
    i = j;
  }
  if (i != t.size()) return std::nullopt;
  errno = 0;
  const double v = std::strtod(t.c_str(), nullptr);
  if (!std::isfinite(v)) return std::nullopt;
  return v;
}

std::optional<std::int32_t> AsInt32(std::string_view text) {
  const auto v = AsNumber(text);
  if (!v) return std::nullopt;
  const double r = std::nearbyint(*v);  // default rounding mode: ties to even
  if (r < -2147483648.0 || r > 2147483647.0) return std::nullopt;
  return static_cast<std::int32_t>(r);
}

std::optional<bool> AsBoolean(std::string_view text) {
  const std::string t = Trim(text);
  if (EqualsNoCase(t, "True")) return true;
  if (EqualsNoCase(t, "False")) return false;
  if (const auto v = AsNumber(t)) return *v != 0.0;
  return std::nullopt;
}

bool IsOne(std::string_view text) {
  const auto v = AsNumber(text);
  return v && *v == 1.0;
}

bool IsUtf8BeyondAscii(std::string_view text) {
  bool beyond = false;
  for (std::size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    const std::size_t n = b < 0x80 ? 1 : b >= 0xC2 && b < 0xE0 ? 2 : b >= 0xE0 && b < 0xF0 ? 3
                        : b >= 0xF0 && b < 0xF5                ? 4
                                                               : 0;
    if (n == 0 || i + n > text.size()) return false;
    for (std::size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    beyond |= n > 1;
    i += n;
  }
  return beyond;
}

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  if (MatchFrom(pattern, name)) return true;
  const bool nameHasDot = name.find('.') != std::string_view::npos;
  // "x.*" also matches "x" (so "*.*" matches every name).
  if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
      MatchFrom(pattern.substr(0, pattern.size() - 2), name))
    return true;
  // "x." matches "x" when the name has no extension.
  if (!pattern.empty() && pattern.back() == '.' && !nameHasDot &&
      MatchFrom(pattern.substr(0, pattern.size() - 1), name))
    return true;
  return false;
}

std::string FormatHms(const DateTime& t) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour % 100, t.minute % 100, t.second % 100);
  return buf;
}

namespace {

// Splits at runs of blanks.
std::vector<std::string> Words(std::string_view text) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsBlank(text[i])) ++i;
    const std::size_t start = i;
    while (i < text.size() && !IsBlank(text[i])) ++i;
    if (i > start) words.emplace_back(text.substr(start, i - start));
  }
  return words;
}

bool AllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

bool IsDateWord(std::string_view w) {
  bool digit = false;
  for (char c : w) {
    if (std::isdigit(static_cast<unsigned char>(c)))
      digit = true;
    else if (c != '/' && c != '.' && c != '-')
      return false;
  }
  return digit;
}

}  // namespace

std::optional<DateTime> AsTimeOfDay(std::string_view text) {
  std::vector<std::string> words = Words(text);
  if (!words.empty() && IsDateWord(words.front()) && words.size() > 1) words.erase(words.begin());
  int half = 0;  // 1 AM, 2 PM
  if (words.size() == 2) {
    if (EqualsNoCase(words[1], "AM"))
      half = 1;
    else if (EqualsNoCase(words[1], "PM"))
      half = 2;
    else
      return std::nullopt;
  } else if (words.size() != 1) {
    return std::nullopt;
  }
  // Hours, minutes and perhaps seconds, each of one or two digits.
  std::vector<int> parts;
  std::string_view rest = words[0];
  for (;;) {
    const std::size_t colon = rest.find(':');
    const std::string_view part = rest.substr(0, colon);
    if (!AllDigits(part) || part.size() > 2) return std::nullopt;
    parts.push_back(std::atoi(std::string(part).c_str()));
    if (colon == std::string_view::npos) break;
    rest = rest.substr(colon + 1);
  }
  if (parts.size() < 2 || parts.size() > 3) return std::nullopt;
  int hour = parts[0];
  const int minute = parts[1], second = parts.size() == 3 ? parts[2] : 0;
  if (minute > 59 || second > 59) return std::nullopt;
  if (half) {
    if (hour < 1 || hour > 12) return std::nullopt;
    hour = hour % 12 + (half == 2 ? 12 : 0);
  } else if (hour > 23) {
    return std::nullopt;
  }
  DateTime t;
  t.hour = hour;
  t.minute = minute;
  t.second = second;
  return t;
}

std::string EnglishWeekdayName(int weekday) {
  static constexpr std::array<const char*, 7> kNames = {
      "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  return (weekday >= 0 && weekday < 7) ? kNames[static_cast<std::size_t>(weekday)] : "";
}

}  // namespace nimbrel
