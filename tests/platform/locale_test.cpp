#include "platform/core/Afx.h"

#include <gtest/gtest.h>

namespace {

struct LocaleGuard {
  ~LocaleGuard() { AfxClearLocaleOverride(); }
};

TEST(Locale, OverrideIsWhatTheQueriesReturn) {
  LocaleGuard guard;
  AFX_LOCALE_VALUES v;
  v.timeSeparator = ".";
  v.pmDesignator = "p.m.";
  v.is24Hour = FALSE;
  v.decimalSeparator = ",";
  v.thousandSeparator = "\xC2\xA0";  // no-break space, two bytes
  AfxSetLocaleOverride(v);

  char buf[20];
  EXPECT_EQ(2, GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_STIME, buf, 20));
  EXPECT_STREQ(".", buf);
  EXPECT_EQ(5, GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_S2359, buf, 10));
  EXPECT_STREQ("p.m.", buf);
  EXPECT_EQ(2, GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_ITIME, buf, 20));
  EXPECT_STREQ("0", buf);
  EXPECT_EQ(2, GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buf, 20));
  EXPECT_STREQ(",", buf);
  EXPECT_EQ(3, GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, nullptr, 0));  // size asked
  EXPECT_EQ(0, GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, buf, 2));      // too small
  EXPECT_EQ(0, GetLocaleInfo(LOCALE_USER_DEFAULT, 0x9999, buf, 20));

  AfxClearLocaleOverride();
  AFX_LOCALE_VALUES user = AfxGetLocaleValues();
  EXPECT_FALSE(user.timeSeparator.IsEmpty());
  EXPECT_FALSE(user.decimalSeparator.IsEmpty());
}

TEST(Locale, NamedLocales) {
  LocaleGuard guard;
  struct Case {
    const char* name;
    const char* timeSeparator;
    BOOL is24Hour;
    const char* decimal;
  };
  const Case cases[] = {
      {"en_US", ":", FALSE, "."}, {"en_GB", ":", TRUE, "."}, {"de_DE", ":", TRUE, ","},
      {"fi_FI", ".", TRUE, ","},  {"C", ":", TRUE, "."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(AfxSetLocaleOverrideByName(c.name));
    AFX_LOCALE_VALUES v = AfxGetLocaleValues();
    EXPECT_EQ(CString(c.timeSeparator), v.timeSeparator);
    EXPECT_EQ(c.is24Hour, v.is24Hour);
    EXPECT_EQ(CString(c.decimal), v.decimalSeparator);
  }
  ASSERT_TRUE(AfxSetLocaleOverrideByName("en_US"));
  EXPECT_EQ(CString("PM"), AfxGetLocaleValues().pmDesignator);
  EXPECT_FALSE(AfxSetLocaleOverrideByName("xx_notalocale"));
}

}  // namespace
