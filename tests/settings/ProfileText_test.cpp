#include "settings/ProfileText.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

using Keys = std::vector<ProfileKey>;

TEST(ProfileText, FirstSectionOfTheNameAndItsKeysInFileOrder) {
  const std::string text =
      "top=1\r\n[Other]\r\nCounter=9\r\n[cookies]\r\nCounter=2\r\n  Cookie_Keep1 =  a.txt \r\n"
      "Cookie_Keep1=second\r\n\r\n[Next]\r\nx=1\r\n[COOKIES]\r\nCookie_Keep2=late\r\n";
  EXPECT_EQ(ReadProfileSection(text, " Cookies "),
            (Keys{{"Counter", "2"}, {"Cookie_Keep1", "a.txt"}, {"Cookie_Keep1", "second"}}));
  EXPECT_TRUE(ReadProfileSection(text, "Missing").empty());
  // The name is what lies between "[" and the last "]", blanks kept.
  EXPECT_TRUE(ReadProfileSection("[ Cookies ]\r\nk=v\r\n", "Cookies").empty());
  EXPECT_EQ(ReadProfileSection("[Coo]kies]junk\r\nk=v\r\n", "Coo]kies"), (Keys{{"k", "v"}}));
  // A "[" line without "]" is a key of the section it stands in.
  EXPECT_EQ(ReadProfileSection("[Cookies]\n[broken\nk=v", "Cookies"),
            (Keys{{"[broken", ""}, {"k", "v"}}));
}

TEST(ProfileText, ValuesReadAsTheProfileFunctionsGiveThem) {
  EXPECT_EQ(ProfileValue("  \"quoted value\"  "), "quoted value");
  EXPECT_EQ(ProfileValue("'single'"), "single");
  EXPECT_EQ(ProfileValue("\"\"twice\"\""), "\"twice\"");
  EXPECT_EQ(ProfileValue("\"unmatched'"), "\"unmatched'");
  EXPECT_EQ(ProfileValue("\""), "\"");
  EXPECT_EQ(ProfileValue(std::string(300, 'v')), std::string(254, 'v'));
  EXPECT_EQ(ProfileValue(std::string("cut\0here", 8)), "cut");
  EXPECT_EQ(ProfileValue("\t\x1A value\x1A\r"), "value");

  // LF alone ends a line too; a CR inside a line is part of it; no "=" is an
  // empty value; a byte-order mark is skipped.
  EXPECT_EQ(ReadProfileSection("\xEF\xBB\xBF[S]\nk1=a\rb\nk2\nk3=\n=v\n", "s"),
            (Keys{{"k1", "a\rb"}, {"k2", ""}, {"k3", ""}, {"", "v"}}));
}

TEST(ProfileText, WrittenTextIsTheSectionLineThenOneLinePerKey) {
  EXPECT_EQ(ProfileSectionText("Cookies", {{"Cookie_Keep1", "a.txt"}, {"Counter", "1"}}),
            "[Cookies]\r\nCookie_Keep1=a.txt\r\nCounter=1\r\n");
  EXPECT_EQ(ProfileSectionText("Cookies", {}), "[Cookies]\r\n");
  const Keys keys{{"a", "1"}, {"b", ""}, {"c", std::string(254, 'x')}};
  EXPECT_EQ(ReadProfileSection(ProfileSectionText("S", keys), "S"), keys);
}

}  // namespace
}  // namespace nimbrel
