#include "platform/Text.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

TEST(WildcardMatch, FollowsFindFirstFile) {
  EXPECT_TRUE(WildcardMatch("*.*", "README"));  // no dot, still matched
  EXPECT_TRUE(WildcardMatch("*.*", "a.b.c"));
  EXPECT_TRUE(WildcardMatch("*.IDX", "b.idx"));
  EXPECT_TRUE(WildcardMatch("index.dat", "INDEX.DAT"));
  EXPECT_TRUE(WildcardMatch("cookie?.txt", "cookie1.txt"));
  EXPECT_TRUE(WildcardMatch("*", ""));
  EXPECT_TRUE(WildcardMatch("a*b*c", "aXXbYYbZc"));
  EXPECT_TRUE(WildcardMatch("readme.", "readme"));
  EXPECT_FALSE(WildcardMatch("readme.", "readme.txt"));
  EXPECT_FALSE(WildcardMatch("*.IDX", "b.idx2"));
  EXPECT_FALSE(WildcardMatch("cookie?.txt", "cookie.txt"));
  EXPECT_FALSE(WildcardMatch("cookies4.dat", "xcookies4.dat"));
}

TEST(AsNumber, AcceptsDecimalForms) {
  EXPECT_EQ(AsNumber("1"), 1.0);
  EXPECT_EQ(AsNumber("  42  "), 42.0);
  EXPECT_EQ(AsNumber("-3.5"), -3.5);
  EXPECT_EQ(AsNumber("+.5"), 0.5);
  EXPECT_EQ(AsNumber("1e3"), 1000.0);
  EXPECT_EQ(AsNumber("2.5E-1"), 0.25);
  EXPECT_EQ(AsNumber("7."), 7.0);
}

TEST(AsNumber, RejectsEverythingElse) {
  for (const char* t : {"", " ", "abc", "1a", "http://x", "C:\\Temp", "1e", "--1", ".", "e5",
                        "inf", "nan", "0x10", "1 2"})
    EXPECT_FALSE(AsNumber(t).has_value()) << t;
}

TEST(AsInt32, RoundsToNearestWithTiesToEven) {
  EXPECT_EQ(AsInt32("2.5"), 2);
  EXPECT_EQ(AsInt32("3.5"), 4);
  EXPECT_EQ(AsInt32("-2.5"), -2);
  EXPECT_EQ(AsInt32("2.6"), 3);
  EXPECT_EQ(AsInt32("2147483647"), 2147483647);
  EXPECT_EQ(AsInt32("-2147483648"), -2147483647 - 1);
  EXPECT_FALSE(AsInt32("2147483648").has_value());
  EXPECT_FALSE(AsInt32("-2147483649").has_value());
  EXPECT_FALSE(AsInt32("1e10").has_value());
}

TEST(AsBoolean, TakesWordsAndNumbers) {
  EXPECT_EQ(AsBoolean("True"), true);
  EXPECT_EQ(AsBoolean("false"), false);
  EXPECT_EQ(AsBoolean(" TRUE "), true);
  EXPECT_EQ(AsBoolean("0"), false);
  EXPECT_EQ(AsBoolean("-1"), true);
  EXPECT_FALSE(AsBoolean("yes").has_value());
}

TEST(IsOne, OnlyTheNumberOne) {
  EXPECT_TRUE(IsOne("1"));
  EXPECT_TRUE(IsOne(" 1.0 "));
  EXPECT_FALSE(IsOne("0"));
  EXPECT_FALSE(IsOne("2"));
  EXPECT_FALSE(IsOne("True"));
  EXPECT_FALSE(IsOne(""));
}

TEST(TextHelpers, TrimCompareAndTimes) {
  EXPECT_EQ(Trim(" \t a b \t"), "a b");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_TRUE(EqualsNoCase("Cookies", "COOKIES"));
  EXPECT_FALSE(EqualsNoCase("Cookies", "Opera Cookies"));
  EXPECT_TRUE(StartsWithNoCase("WinRar 3.x", "winrar"));
  EXPECT_EQ(FindNoCase("C:\\A\\Skins\\x", "SKINS"), 5u);
  EXPECT_EQ(FormatHms(DateTime{2026, 1, 2, 7, 5, 3, 5}), "07:05:03");
  EXPECT_EQ(FormatHms(DateTime{2026, 1, 2, 23, 59, 59, 5}), "23:59:59");
  EXPECT_EQ(EnglishWeekdayName(1), "Monday");
  EXPECT_EQ(EnglishWeekdayName(0), "Sunday");
}

TEST(AsTimeOfDay, TimesWithOrWithoutSecondsDateAndHalfOfTheDay) {
  const auto hms = [](std::string_view text) {
    const auto t = AsTimeOfDay(text);
    return t ? FormatHms(*t) : std::string("none");
  };
  EXPECT_EQ(hms("22:15:00"), "22:15:00");
  EXPECT_EQ(hms(" 7:05 "), "07:05:00");
  EXPECT_EQ(hms("08.12.2026 22:15:09"), "22:15:09");
  EXPECT_EQ(hms("12/8/2026 10:15:00 pm"), "22:15:00");
  EXPECT_EQ(hms("12:00:00 AM"), "00:00:00");
  EXPECT_EQ(hms("12:30:00 PM"), "12:30:00");
  for (const char* bad : {"Null", "", "24:00:00", "13:00 PM", "0:00 AM", "10:60", "10:00:60",
                          "10", "10:", ":10", "1:2:3:4", "100:00", "-1:00", "10:00 XM",
                          "today 10:00", "10:00:00 PM extra"})
    EXPECT_EQ(hms(bad), "none") << bad;
}

}  // namespace
}  // namespace nimbrel
