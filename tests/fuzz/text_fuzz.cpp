// The text conversions on any text: "as a number", "as a boolean", the
// rounding to a 32-bit integer, trimming, case folding and the time format
// agree with each other; and the two secure-erasing settings, whatever text
// they hold, erase a file with at most the capped number of passes.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "erasers/modFiles.h"
#include "fuzz/FuzzWorld.h"

using namespace nimbrel;

namespace {

void CheckConversions(const std::string& t) {
  const auto n = AsNumber(t);
  if (n) FuzzCheck(std::isfinite(*n), "a number that is not finite");
  FuzzCheck(AsNumber(" \t" + t + "\t ") == n, "blanks around a text change its number");
  const auto i = AsInt32(t);
  if (i) {
    FuzzCheck(n && std::nearbyint(*n) == *i, "AsInt32 is not the rounded number");
  } else if (n) {
    const double r = std::nearbyint(*n);
    FuzzCheck(r < -2147483648.0 || r > 2147483647.0, "a number in range gave no AsInt32");
  }
  const auto b = AsBoolean(t);
  const std::string trimmed = Trim(t);
  if (n)
    FuzzCheck(b == (*n != 0.0), "AsBoolean of a number");
  else if (EqualsNoCase(trimmed, "true") || EqualsNoCase(trimmed, "false"))
    FuzzCheck(b == EqualsNoCase(trimmed, "true"), "AsBoolean of True/False");
  else
    FuzzCheck(!b, "AsBoolean of neither a number nor True/False");
  FuzzCheck(IsOne(t) == (n && *n == 1.0), "IsOne");

  FuzzCheck(Trim(trimmed) == trimmed, "Trim is not idempotent");
  FuzzCheck(trimmed.empty() || (trimmed.front() != ' ' && trimmed.front() != '\t' &&
                                trimmed.back() != ' ' && trimmed.back() != '\t'),
            "Trim left a blank");
  FuzzCheck(EqualsNoCase(ToUpper(t), ToLower(t)) && ToUpper(ToLower(t)) == ToUpper(t),
            "case folding");
  FuzzCheck(StartsWithNoCase(ToLower(t) + "x", ToUpper(t)), "StartsWithNoCase");
  FuzzCheck(FindNoCase("x" + ToUpper(t), ToLower(t)) <= 1, "FindNoCase");
}

void CheckTime(FuzzedDataProvider& in) {
  DateTime t;
  t.hour = in.ConsumeIntegral<int>();
  t.minute = in.ConsumeIntegral<int>();
  t.second = in.ConsumeIntegral<int>();
  const std::string hms = FormatHms(t);
  FuzzCheck(hms.size() <= 11, "FormatHms too long");
  if (t.hour >= 0 && t.hour < 24 && t.minute >= 0 && t.minute < 60 && t.second >= 0 && t.second < 60)
    FuzzCheck(hms.size() == 8 && hms[2] == ':' && hms[5] == ':' &&
                  std::stoi(hms.substr(0, 2)) == t.hour && std::stoi(hms.substr(3, 2)) == t.minute &&
                  std::stoi(hms.substr(6, 2)) == t.second,
              "FormatHms of a valid time");
  const int weekday = in.ConsumeIntegral<int>();
  FuzzCheck(EnglishWeekdayName(weekday).empty() == (weekday < 0 || weekday > 6), "weekday name");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string secure = in.ConsumeRandomLengthString(32);
  const std::string passes = in.ConsumeRandomLengthString(32);
  CheckConversions(secure);
  CheckConversions(passes);
  CheckTime(in);

  FuzzWorld world;
  world.w.SetOption("chkenablesecureerasing", secure);
  world.w.SetOption("cmboverwriteTracksFiles", passes);
  const std::string file = std::string(FuzzWorld::kTemp) + "\\a.tmp";
  SecureEraseFile(world.ctx(), file);
  FuzzCheck(!world.w.files.Exists(file), "the file was not erased");
  // One piece a pass for a 3000-byte file, two writes a piece.
  FuzzCheck(world.w.files.writes <= 2 * (kMaxExtraPasses + 1), "more passes than the cap");
  const std::string& last = world.w.files.dataWhenDeleted[file];
  FuzzCheck(last.size() >= 3000 && last.find_first_not_of(' ') == std::string::npos,
            "not overwritten");
  world.Check();
  return 0;
}
