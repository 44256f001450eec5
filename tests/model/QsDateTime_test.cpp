#include "model/QsDateTime.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace {

// The result code of the failure exception a call throws; S_OK when it throws none.
template <class F>
HRESULT FailureOf(F f) {
  try {
    f();
  } catch (COleException* e) {
    const HRESULT hr = e->m_sc;
    e->Delete();
    return hr;
  } catch (CInvalidArgException* e) {
    e->Delete();
    return E_INVALIDARG;
  }
  return S_OK;
}

std::string Fields(const CQsDateTime& t) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", t.GetYear(), t.GetMonth(), t.GetDay(), t.GetHour(),
                t.GetMinute(), t.GetSecond());
  return buf;
}

// Runs a test under a given TZ, restoring the old one afterwards.
class ZoneFixture : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    const char* old = std::getenv("TZ");
    m_hadTz = old != nullptr;
    if (old) m_oldTz = old;
    setenv("TZ", GetParam(), 1);
    tzset();
  }
  void TearDown() override {
    if (m_hadTz)
      setenv("TZ", m_oldTz.c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
  }

 private:
  bool m_hadTz = false;
  std::string m_oldTz;
};

}  // namespace

TEST(QsDateTime, DefaultIsFirstJanuary1980) { EXPECT_EQ(Fields(CQsDateTime()), "1980-01-01 00:00:00"); }

TEST(QsDateTime, TwoDigitYears) {
  struct {
    int given, expected;
  } cases[] = {{49, 2049}, {50, 1950}, {0, 2000}, {99, 1999}, {100, 100}, {-1, -1}, {2024, 2024}};
  for (const auto& c : cases) {
    CQsDateTime a;
    a.SetDate(c.given, 6, 1);
    EXPECT_EQ(a.GetYear(), c.expected) << c.given;
    CQsDateTime b(c.given, 6, 1, 0, 0, 0);
    EXPECT_EQ(b.GetYear(), c.expected) << c.given;
    CQsDateTime d;
    d.SetDateTime(c.given, 6, 1, 2, 3, 4);
    EXPECT_EQ(d.GetYear(), c.expected) << c.given;
  }
}

TEST(QsDateTime, SettersDoNotNormalise) {
  CQsDateTime t;
  t.SetDateTime(2024, 13, 40, 25, 61, -3);
  EXPECT_EQ(t.GetMonth(), 13);
  EXPECT_EQ(t.GetDay(), 40);
  EXPECT_EQ(t.GetHour(), 25);
  EXPECT_EQ(t.GetMinute(), 61);
  EXPECT_EQ(t.GetSecond(), -3);
  CQsDateTime copy(t);
  EXPECT_TRUE(copy == t);
  copy.SetTime(1, 2, 3);
  EXPECT_FALSE(copy == t);
  copy = t;
  EXPECT_TRUE(copy == t);
}

TEST(QsDateTime, DaysInMonth) {
  struct {
    int month, year, days;
  } cases[] = {{2, 2012, 29},  {2, 2011, 28}, {2, 2000, 29},  {2, 1900, 28},  {2, 2100, 28},
               {4, 2024, 30},  {6, 2024, 30}, {9, 2024, 30},  {11, 2024, 30}, {1, 2024, 31},
               {12, 2024, 31}, {0, 2024, 31}, {13, 2024, 31}, {-5, 2024, 31}};
  for (const auto& c : cases) {
    EXPECT_EQ(DaysInMonth(c.month, c.year), c.days) << c.month << "/" << c.year;
    EXPECT_EQ(CQsDateTime::DaysInMonth(c.month, c.year), c.days);
  }
}

TEST(QsDateTime, NextDay) {
  struct {
    CQsDateTime from;
    const char* to;
  } cases[] = {
      {{2012, 2, 28, 10, 20, 30}, "2012-02-29 10:20:30"}, {{2012, 2, 29, 0, 0, 0}, "2012-03-01 00:00:00"},
      {{2011, 2, 28, 0, 0, 0}, "2011-03-01 00:00:00"},    {{2010, 12, 31, 23, 59, 59}, "2011-01-01 23:59:59"},
      {{2010, 12, 30, 0, 0, 0}, "2010-12-31 00:00:00"},   {{2024, 4, 30, 0, 0, 0}, "2024-05-01 00:00:00"},
      {{2024, 4, 31, 0, 0, 0}, "2024-05-01 00:00:00"},    {{2024, 13, 5, 0, 0, 0}, "2024-13-05 00:00:00"},
      {{2024, 0, 5, 0, 0, 0}, "2024-00-05 00:00:00"},
  };
  for (auto& c : cases) {
    CQsDateTime t = c.from;
    t.NextDay();
    EXPECT_EQ(Fields(t), c.to) << Fields(c.from);
  }
}

TEST(QsDateTime, IsValid) {
  struct {
    CQsDateTime t;
    bool valid;
  } cases[] = {
      {{2011, 2, 30, 0, 0, 0}, false}, {{2011, 4, 31, 0, 0, 0}, false},    {{2000, 2, 29, 0, 0, 0}, true},
      {{1900, 2, 29, 0, 0, 0}, false}, {{2024, 12, 31, 23, 59, 59}, true}, {{2024, 1, 1, 24, 0, 0}, false},
      {{2024, 1, 1, 0, 60, 0}, false}, {{2024, 1, 1, 0, 0, 60}, false},    {{2024, 1, 1, -1, 0, 0}, false},
      {{2024, 13, 1, 0, 0, 0}, false}, {{2024, 0, 40, 0, 0, 0}, true},  // month 0: day unchecked
      {{2024, 5, 0, 0, 0, 0}, true},                                    // day not checked from below
      {{1800, 5, 1, 0, 0, 0}, true},
  };
  for (const auto& c : cases) EXPECT_EQ(c.t.IsValid(), c.valid) << Fields(c.t);
}

// The arithmetic treats the fields as plain calendar values: the machine's
// zone and its summer-time changes never shift an answer.
INSTANTIATE_TEST_SUITE_P(Zones, ZoneFixture,
                         ::testing::Values("UTC", "Europe/London", "America/New_York", "Australia/Sydney"));

TEST_P(ZoneFixture, DaysBetweenIgnoresSummerTime) {
  struct {
    CQsDateTime a, b;
    int days;
  } cases[] = {
      {{2011, 3, 1, 0, 0, 0}, {2011, 4, 1, 0, 0, 0}, 31},
      {{2024, 3, 1, 23, 0, 0}, {2024, 4, 1, 0, 30, 0}, 31},
      {{2024, 10, 26, 0, 0, 0}, {2024, 10, 28, 0, 0, 0}, 2},
      {{2024, 11, 4, 0, 0, 0}, {2024, 11, 2, 0, 0, 0}, -2},
      {{2000, 1, 1, 0, 0, 0}, {2100, 1, 1, 0, 0, 0}, 36525},
      {{2024, 4, 31, 0, 0, 0}, {2024, 5, 1, 0, 0, 0}, 0},  // 31 April rolls to 1 May
      {{1900, 1, 1, 0, 0, 0}, {1970, 1, 1, 0, 0, 0}, 25567},
  };
  for (const auto& c : cases) EXPECT_EQ(c.a.DaysBetween(c.b), c.days) << Fields(c.a) << " -> " << Fields(c.b);
}

TEST_P(ZoneFixture, StepsAcrossSummerTimeChanges) {
  struct {
    CQsDateTime from;
    int minutes;  // 0 means PrevDay
    const char* to;
  } cases[] = {
      {{2024, 3, 31, 0, 0, 0}, 0, "2024-03-30 00:00:00"},   // EU spring change
      {{2024, 10, 28, 0, 0, 0}, 0, "2024-10-27 00:00:00"},  // EU autumn change
      {{2024, 11, 4, 0, 30, 0}, 0, "2024-11-03 00:30:00"},  // US autumn change
      {{2024, 3, 1, 12, 0, 0}, 0, "2024-02-29 12:00:00"},
      {{2024, 1, 1, 0, 0, 0}, 0, "2023-12-31 00:00:00"},
      {{2024, 3, 10, 1, 30, 0}, 60, "2024-03-10 02:30:00"},   // inside New York's gap
      {{2024, 3, 31, 0, 30, 0}, 60, "2024-03-31 01:30:00"},   // inside London's gap
      {{2024, 11, 3, 0, 30, 0}, 120, "2024-11-03 02:30:00"},  // across New York's doubled hour
      {{2024, 12, 31, 23, 59, 30}, 1, "2025-01-01 00:00:30"},
      {{2024, 1, 1, 0, 0, 0}, -1, "2023-12-31 23:59:00"},
      {{2024, 2, 28, 12, 0, 0}, 1440 * 2, "2024-03-01 12:00:00"},
      {{2024, 4, 31, 0, 0, 0}, 10, "2024-05-01 00:10:00"},  // day past the month's end rolls on
  };
  for (const auto& c : cases) {
    CQsDateTime t = c.from;
    if (c.minutes == 0)
      t.PrevDay();
    else
      t.AddMinutes(c.minutes);
    EXPECT_EQ(Fields(t), c.to) << Fields(c.from) << " + " << c.minutes;
    if (c.minutes != 0) {
      CQsDateTime back(t);
      back.SubtractMinutes(c.minutes);
      CQsDateTime expected = CQsDateTime::FromSeconds(c.from.ToSeconds());
      EXPECT_EQ(Fields(back), Fields(expected));
    }
  }
}

TEST_P(ZoneFixture, ComparesAndWeekdays) {
  // Before and after New York's doubled hour.
  const CQsDateTime early(2024, 11, 3, 1, 59, 0);
  const CQsDateTime late(2024, 11, 3, 2, 0, 0);
  EXPECT_TRUE(early <= late);
  EXPECT_FALSE(early > late);
  EXPECT_TRUE(late > early);
  EXPECT_TRUE(early <= early);
  EXPECT_FALSE(early > early);

  struct {
    CQsDateTime t;
    int weekday;
  } cases[] = {
      {{2011, 1, 2, 0, 0, 0}, 1},  {{2024, 3, 10, 2, 30, 0}, 1}, {{2024, 3, 31, 1, 30, 0}, 1},
      {{2000, 2, 29, 0, 0, 0}, 3}, {{1900, 1, 1, 0, 0, 0}, 2},   {{2024, 12, 28, 0, 0, 0}, 7},
      {{2024, 4, 31, 0, 0, 0}, 4},  // 1 May 2024, a Wednesday
  };
  for (const auto& c : cases) EXPECT_EQ(c.t.GetDayOfWeek(), c.weekday) << Fields(c.t);
}

TEST_P(ZoneFixture, FormatShowsTheFieldsAsGiven) {
  EXPECT_EQ(std::string(CQsDateTime(2024, 3, 10, 2, 30, 0).Format("%H:%M")), "02:30");
  EXPECT_EQ(std::string(CQsDateTime(2024, 3, 31, 1, 15, 0).Format("%Y-%m-%d %H:%M:%S")), "2024-03-31 01:15:00");
}

TEST_P(ZoneFixture, Time64IsTheMachinesLocalTime) {
  const std::int64_t t = 1700000000;  // 2023-11-14 22:13:20 UT
  std::tm tm{};
  const std::time_t tt = static_cast<std::time_t>(t);
  ASSERT_TRUE(localtime_r(&tt, &tm));
  const CQsDateTime v(t);
  EXPECT_TRUE(CQsDateTime(static_cast<long long>(t)) == v);
  EXPECT_TRUE(CQsDateTime(static_cast<std::time_t>(t)) == v);
  EXPECT_EQ(v.GetYear(), tm.tm_year + 1900);
  EXPECT_EQ(v.GetMonth(), tm.tm_mon + 1);
  EXPECT_EQ(v.GetDay(), tm.tm_mday);
  EXPECT_EQ(v.GetHour(), tm.tm_hour);
  EXPECT_EQ(v.GetMinute(), 13);
  EXPECT_EQ(v.GetSecond(), 20);
}

TEST(QsDateTime, NowAndMinutesOfTheDay) {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  ASSERT_TRUE(localtime_r(&now, &tm));
  const CQsDateTime current = CQsDateTime::GetCurrent();
  const CQsDateTime t(90);
  // Allow for midnight passing during the test.
  if (current.GetDay() == tm.tm_mday && t.GetDay() == tm.tm_mday) {
    EXPECT_EQ(current.GetYear(), tm.tm_year + 1900);
    EXPECT_EQ(current.GetMonth(), tm.tm_mon + 1);
    EXPECT_EQ(t.GetMonth(), tm.tm_mon + 1);
  }
  EXPECT_EQ(t.GetHour(), 1);
  EXPECT_EQ(t.GetMinute(), 30);
  EXPECT_EQ(t.GetSecond(), 0);
  const CQsDateTime neg(-30);
  EXPECT_EQ(neg.GetHour(), -1);
  EXPECT_EQ(neg.GetMinute(), 30);
  EXPECT_EQ(std::string(CQsDateTime(13 * 60 + 45).Format("%H:%M")), "13:45");
}

TEST(QsDateTime, OutOfRangeFieldsThrow) {
  const CQsDateTime bad[] = {
      {1899, 12, 31, 0, 0, 0}, {2024, 0, 1, 0, 0, 0},  {2024, 13, 1, 0, 0, 0}, {2024, 1, 0, 0, 0, 0},
      {2024, 1, 32, 0, 0, 0},  {2024, 1, 1, 24, 0, 0}, {2024, 1, 1, -1, 0, 0}, {2024, 1, 1, 0, 60, 0},
      {2024, 1, 1, 0, -1, 0},  {2024, 1, 1, 0, 0, 60}, {2024, 1, 1, 0, 0, -1},
  };
  const CQsDateTime good(2024, 1, 1, 0, 0, 0);
  for (const auto& b : bad) {
    SCOPED_TRACE(Fields(b));
    CQsDateTime t(b);
    EXPECT_EQ(FailureOf([&] { t.PrevDay(); }), E_FAIL);
    EXPECT_EQ(FailureOf([&] { t.AddMinutes(1); }), E_FAIL);
    EXPECT_EQ(FailureOf([&] { t.SubtractMinutes(1); }), E_FAIL);
    EXPECT_EQ(FailureOf([&] { (void)t.GetDayOfWeek(); }), E_FAIL);
    EXPECT_EQ(FailureOf([&] { (void)(t <= good); }), E_FAIL);
    EXPECT_EQ(FailureOf([&] { (void)(good > t); }), E_FAIL);
    EXPECT_TRUE(t == b);  // a failed step changes nothing
  }
  // DaysBetween checks only the date.
  EXPECT_EQ(FailureOf([&] { (void)good.DaysBetween(CQsDateTime(1899, 1, 1, 0, 0, 0)); }), E_FAIL);
  EXPECT_EQ(FailureOf([&] { (void)CQsDateTime(2024, 13, 1, 0, 0, 0).DaysBetween(good); }), E_FAIL);
  EXPECT_EQ(FailureOf([&] { (void)good.DaysBetween(CQsDateTime(2024, 1, 32, 0, 0, 0)); }), E_FAIL);
  EXPECT_EQ(good.DaysBetween(CQsDateTime(2024, 1, 2, 25, 99, 0)), 1);
}

TEST(QsDateTime, Format) {
  const CQsDateTime sunday(2011, 1, 2, 7, 5, 9);
  struct {
    const char* pattern;
    const char* text;
  } cases[] = {
      {"%a %#d %b %Y", "Sun 2 Jan 2011"},
      {"%A, %d %B %Y", "Sunday, 02 January 2011"},
      {"%H:%M", "07:05"},
      {"%#H:%#M:%#S", "7:5:9"},
      {"%b %y", "Jan 11"},
      {"%j %w", "002 0"},
      {"100%%#d", "100%#d"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(std::string(sunday.Format(c.pattern)), c.text) << c.pattern;

  // 127 characters fit the buffer with the terminator; 128 do not.
  EXPECT_EQ(std::string(sunday.Format(std::string(127, 'x').c_str())), std::string(127, 'x'));
  EXPECT_EQ(std::string(sunday.Format(std::string(128, 'x').c_str())), "");

  EXPECT_EQ(std::string(CQsDateTime(2024, 1, 1, 24, 0, 0).Format("%H")), "Invalid Date Time");
  EXPECT_EQ(std::string(CQsDateTime(2011, 2, 30, 0, 0, 0).Format("%d")), "Invalid Date Time");
  // IsValid lets these through; the conversion then refuses them.
  EXPECT_EQ(FailureOf([&] { CQsDateTime(1899, 1, 1, 0, 0, 0).Format("%d"); }), E_FAIL);
  EXPECT_EQ(FailureOf([&] { CQsDateTime(2024, 0, 1, 0, 0, 0).Format("%d"); }), E_FAIL);
  EXPECT_EQ(FailureOf([&] { CQsDateTime(2024, 5, 0, 0, 0, 0).Format("%d"); }), E_FAIL);
}

TEST(QsDateTime, FailedConversionMarksTheValue) {
  const CQsDateTime far = CQsDateTime::FromSeconds(INT64_MAX);
  EXPECT_EQ(Fields(far), "0000-00-00 -1:-1:-1");
  EXPECT_EQ(std::string(far.Format("%d")), "Invalid Date Time");
  EXPECT_EQ(Fields(CQsDateTime::FromSeconds(0)), "1970-01-01 00:00:00");
  EXPECT_EQ(Fields(CQsDateTime::FromSeconds(-1)), "1969-12-31 23:59:59");
}

namespace {
AFX_LOCALE_VALUES Locale(const char* separator, const char* pm, bool twelveHour) {
  AFX_LOCALE_VALUES v;
  v.timeSeparator = separator;
  v.pmDesignator = pm;
  v.is24Hour = twelveHour ? FALSE : TRUE;
  return v;
}
const AFX_LOCALE_VALUES k24Colon = Locale(":", "PM", false);
const AFX_LOCALE_VALUES k12Colon = Locale(":", "PM", true);
const AFX_LOCALE_VALUES k24Dot = Locale(".", "", false);
const AFX_LOCALE_VALUES k24Long = Locale("h", "", false);
}  // namespace

TEST(QsDateTime, ParseTime) {
  struct {
    const char* text;
    const AFX_LOCALE_VALUES* locale;
    int hour, minute;  // -1: rejected
  } cases[] = {
      {"7:05", &k24Colon, 7, 5},
      {"  07:05 \t", &k24Colon, 7, 5},
      {"25:00", &k24Colon, -1, 0},
      {"7", &k24Colon, -1, 0},
      {":30", &k24Colon, 0, 30},
      {"7:x", &k24Colon, 7, 0},
      {"7:05x", &k24Colon, 7, 5},
      {"7:05 12", &k24Colon, 7, 5},
      {"7:", &k24Colon, -1, 0},
      {"7.05", &k24Colon, -1, 0},
      {"7:60", &k24Colon, -1, 0},
      {"23:59", &k24Colon, 23, 59},
      {"at 12:15", &k24Colon, 12, 15},
      {"a1b7:05", &k24Colon, 7, 5},
      {"", &k24Colon, -1, 0},
      {"   ", &k24Colon, -1, 0},
      {"99999999999999:00", &k24Colon, -1, 0},
      {"7:99999999999999", &k24Colon, -1, 0},
      {"007:05", &k24Colon, 7, 5},
      {"7:05 PM", &k24Colon, 7, 5},  // 24-hour clock: no PM
      {"7:05 PM", &k12Colon, 19, 5},
      {"7:05 pm", &k12Colon, 19, 5},
      {"7:05 AM", &k12Colon, 7, 5},  // "AM" shares the M of "PM"
      {"12:30 PM", &k12Colon, 12, 30},
      {"12:30 AM", &k12Colon, 0, 30},
      {"12:30 am", &k12Colon, 0, 30},
      {"12:30 AM", &k24Colon, 12, 30},
      {"0:10 PM", &k12Colon, 12, 10},
      {"18:00 PM", &k12Colon, 18, 0},
      {"7.05", &k24Dot, 7, 5},
      {"7:05", &k24Dot, -1, 0},
      {"7h05", &k24Long, 7, 5},
  };
  for (const auto& c : cases) {
    CQsDateTime t(2024, 6, 1, 3, 4, 5);
    const int ok = t.ParseTime(c.text, *c.locale);
    if (c.hour < 0) {
      EXPECT_EQ(ok, 0) << '"' << c.text << '"';
      EXPECT_EQ(Fields(t), "2024-06-01 03:04:05") << c.text;
    } else {
      EXPECT_EQ(ok, 1) << '"' << c.text << '"';
      EXPECT_EQ(t.GetHour(), c.hour) << c.text;
      EXPECT_EQ(t.GetMinute(), c.minute) << c.text;
      EXPECT_EQ(t.GetSecond(), 5);
      EXPECT_EQ(t.GetDay(), 1);
    }
  }
  CQsDateTime t;
  EXPECT_EQ(t.ParseTime(nullptr, k24Colon), 0);
}

TEST(QsDateTime, ParseTimeWithMultiByteSeparator) {
  const AFX_LOCALE_VALUES loc = Locale("::", "", false);
  CQsDateTime t;
  EXPECT_EQ(t.ParseTime("7::05", loc), 1);
  EXPECT_EQ(t.GetMinute(), 5);
  EXPECT_EQ(t.ParseTime("8:05", loc), 0);
  EXPECT_EQ(t.ParseTime("8::", loc), 0);
}

TEST(QsDateTime, ParseTimeReadsTheUserLocale) {
  CQsDateTime t;
  AfxSetLocaleOverride(k12Colon);
  EXPECT_EQ(t.ParseTime("7:05 PM"), 1);
  EXPECT_EQ(t.GetHour(), 19);
  AfxSetLocaleOverride(k24Dot);
  EXPECT_EQ(t.ParseTime("8.15 PM"), 1);
  EXPECT_EQ(t.GetHour(), 8);
  EXPECT_EQ(t.GetMinute(), 15);
  EXPECT_EQ(t.ParseTime("9:30"), 0);
  AfxClearLocaleOverride();
}

TEST(QsDateTime, ArchiveLayout) {
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    CQsDateTime(2024, 6, 1, 13, 45, 30).Serialize(ar);
    CQsDateTime::FromSeconds(INT64_MAX).Serialize(ar);  // the failed value keeps its -1s
    ar.Close();
  }
  ASSERT_EQ(file.GetLength(), 48u);
  const BYTE expected[24] = {0xE8, 0x07, 0, 0, 6, 0, 0, 0, 1, 0, 0, 0, 13, 0, 0, 0, 45, 0, 0, 0, 30, 0, 0, 0};
  EXPECT_EQ(std::memcmp(file.GetData(), expected, 24), 0);
  const BYTE failed[24] = {0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
                           0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(std::memcmp(file.GetData() + 24, failed, 24), 0);

  file.SeekToBegin();
  CArchive ar(&file, CArchive::load);
  CQsDateTime a, b;
  a.Serialize(ar);
  b.Serialize(ar);
  EXPECT_EQ(Fields(a), "2024-06-01 13:45:30");
  EXPECT_EQ(Fields(b), "0000-00-00 -1:-1:-1");
}

TEST(QsDateTime, DynamicCreationAndObjectArchive) {
  CRuntimeClass* rc = RUNTIME_CLASS(CQsDateTime);
  EXPECT_STREQ(rc->m_lpszClassName, "CQsDateTime");
  EXPECT_EQ(rc->m_wSchema, 1u);
  CObject* created = CRuntimeClass::CreateObject("CQsDateTime");
  ASSERT_NE(created, nullptr);
  EXPECT_TRUE(created->IsKindOf(RUNTIME_CLASS(CQsDateTime)));
  EXPECT_TRUE(*static_cast<CQsDateTime*>(created) == CQsDateTime());
  delete created;

  CMemFile file;
  const CQsDateTime original(2031, 12, 31, 23, 59, 58);
  {
    CArchive ar(&file, CArchive::store);
    ar << &original;
    ar.Close();
  }
  file.SeekToBegin();
  CArchive ar(&file, CArchive::load);
  CQsDateTime* loaded = nullptr;
  ar >> loaded;
  ASSERT_NE(loaded, nullptr);
  EXPECT_TRUE(*loaded == original);
  delete loaded;
}
