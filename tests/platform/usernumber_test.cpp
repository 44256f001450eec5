// Numbers typed and read by the user follow the user's separators: a decimal comma works, and a
// thousands separator is never taken for the end of the number.
#include "platform/core/Afx.h"

#include <gtest/gtest.h>

namespace {

struct LocaleGuard {
  ~LocaleGuard() { AfxClearLocaleOverride(); }
};

struct ParseCase {
  const char* locale;
  const char* text;
  bool ok;
  double value;
};

TEST(UserNumber, ReadsTextWithTheUsersSeparators) {
  LocaleGuard guard;
  const ParseCase cases[] = {
      {"en_US", "3.25", true, 3.25},
      {"en_US", " 12 ", true, 12},
      {"en_US", "1,000", true, 1000},  // not 1
      {"en_US", "1,000.5", true, 1000.5},
      {"en_US", "12,345,678", true, 12345678},
      {"en_US", "-0.4", true, -0.4},
      {"en_US", ".5", true, 0.5},
      {"en_US", "5.", true, 5},
      {"en_US", "1,00", false, 0},
      {"en_US", "1,0000", false, 0},
      {"en_US", ",100", false, 0},
      {"en_US", "3,25", false, 0},
      {"en_US", "3.2.5", false, 0},
      {"en_US", "", false, 0},
      {"en_US", "-", false, 0},
      {"en_US", ".", false, 0},
      {"en_US", "4m", false, 0},
      {"en_US", "nan", false, 0},
      {"en_US", "1e3", false, 0},
      {"de_DE", "3,25", true, 3.25},
      {"de_DE", "1,000", true, 1.0},
      {"de_DE", "1.000", true, 1000},
      {"de_DE", "1.000,75", true, 1000.75},
      {"de_DE", "3.25", false, 0},
      {"C", "3.25", true, 3.25},
  };
  for (const ParseCase& c : cases) {
    ASSERT_TRUE(AfxSetLocaleOverrideByName(c.locale)) << c.locale;
    double v = -99;
    EXPECT_EQ(AfxParseUserNumber(c.text, v) != FALSE, c.ok) << c.locale << " '" << c.text << "'";
    if (c.ok)
      EXPECT_DOUBLE_EQ(v, c.value) << c.locale << " '" << c.text << "'";
    else
      EXPECT_EQ(v, -99) << "a refused text leaves the value: " << c.text;
  }
}

TEST(UserNumber, SpaceGroupingAcceptsAPlainSpaceTyped) {
  LocaleGuard guard;
  AFX_LOCALE_VALUES v;
  v.decimalSeparator = ",";
  v.thousandSeparator = "\xC2\xA0";
  AfxSetLocaleOverride(v);
  double d = 0;
  EXPECT_TRUE(
      AfxParseUserNumber("1\xC2\xA0"
                         "234,5",
                         d));
  EXPECT_DOUBLE_EQ(d, 1234.5);
  EXPECT_TRUE(AfxParseUserNumber("1 234,5", d));
  EXPECT_DOUBLE_EQ(d, 1234.5);
}

TEST(UserNumber, WritesWithTheUsersDecimalSeparatorAndReadsItBack) {
  LocaleGuard guard;
  struct {
    const char* locale;
    double value;
    int decimals;
    const char* text;
  } cases[] = {
      {"en_US", 3.0, 2, "3.00"},    {"en_US", 1234.567, 2, "1234.57"}, {"de_DE", 3.0, 2, "3,00"},
      {"de_DE", -0.001, 2, "0,00"}, {"de_DE", 9.84, 0, "10"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(AfxSetLocaleOverrideByName(c.locale));
    CString s = AfxFormatUserNumber(c.value, c.decimals);
    EXPECT_EQ(s, CString(c.text)) << c.locale << " " << c.value;
    double back = 0;
    EXPECT_TRUE(AfxParseUserNumber(s, back));
  }
}

}  // namespace
