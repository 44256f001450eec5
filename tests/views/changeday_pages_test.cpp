// The month pages and the tidal log on the days the clocks change: the times the zone's clocks
// show (checked against the system's zone rules), and the fifth high or low water that only the
// 25 hours of an autumn change day can hold.
#include "platform/core/AfxLocale.h"
#include "platform/testing/UiTest.h"
#include "tests/views/MonthFixture.h"
#include "views/TideLogWnd.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace {

using namespace views_test;

// The frame with the summer-time option on: each day of the month as its clocks run.
class SummerHost : public MonthHost {
 public:
  CLocalDay GetLocalDayOf(int d) const override {
    return CLocalDay(d, pm->mon, pm->year, pm->zone, pm->port.GetArea() - 1, 1);
  }
  CPortDB* GetPortDB() override { return &pm->ports; }
  const CAngleFactorDB* GetAngleFactorDB() const override { return &pm->table; }
  int GetCurrentPort() const override { return 0; }
};

// The month as the frame pushes it into the table with the summer-time option on.
void PushLocal(PortMonth& pm, const IViewHost& host, CTableWnd& t) {
  t.SetYear(pm.year);
  t.SetMonth(pm.mon);
  t.SetDayCount(pm.days);
  for (int d = 1; d <= pm.days; ++d) {
    TIMEHEIGHT ev[CPrediction::kMaxDayEvents];
    const int n = pm.month.GetDay(d)->FindHighLow(host.GetLocalDayOf(d), ev);
    for (int s = 1; s <= CTableWnd::kMaxSlots; ++s) {
      t.SetEventPresent(s, d, s <= n);
      if (s <= n) t.SetTideEvent(s, d, ev[s - 1].minutes, ev[s - 1].metres);
    }
  }
  t.Refresh();
  t.SetCalculated(1);
}

// UK clock time (minutes after midnight) of an instant given in seconds since the epoch.
int LondonClock(long long seconds, int& yyyymmdd) {
  const char* old = std::getenv("TZ");
  const std::string saved = old ? old : "";
  setenv("TZ", "Europe/London", 1);
  tzset();
  const std::time_t s = seconds;
  std::tm t{};
  localtime_r(&s, &t);
  if (old)
    setenv("TZ", saved.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
  yyyymmdd = (t.tm_year + 1900) * 10000 + (t.tm_mon + 1) * 100 + t.tm_mday;
  return t.tm_hour * 60 + t.tm_min;
}

class ChangeDayPages : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    AfxSetLocaleOverrideByName("en_GB");
    ASSERT_TRUE(pm.Load("Lowestoft", 2025, 10)) << "the embedded tables give no port";
    ASSERT_EQ(0, pm.port.GetArea() - 1) << "a port under the European rule";
    host.pm = &pm;
  }
  void TearDown() override { AfxClearLocaleOverride(); }
  PortMonth pm;
  SummerHost host;
};

TEST_F(ChangeDayPages, TheTableGivesTheTwentyFiveHourDayItsFifthEventInEveryForm) {
  CWnd parent;
  ASSERT_TRUE(parent.CreateEx(0, nullptr, "pane", WS_POPUP | WS_VISIBLE, 0, 0, 1000, 900, nullptr, nullptr));
  CTableWnd table;
  table.SetHost(&host);
  table.SetPortName(pm.port.GetName());
  ASSERT_TRUE(table.Create(&parent, CRect(0, 0, 1000, 900)));
  PushLocal(pm, host, table);
  ASSERT_TRUE(table.IsEventPresent(5, 26));
  std::vector<CString> times;
  for (int s = 1; s <= 5; ++s) times.push_back(table.GetEventTimeText(s, 26));
  EXPECT_EQ(CString("00:17"), times[0]) << "before the change, in summer time";
  for (int d = 1; d <= pm.days; ++d) {
    if (d == 26) continue;
    EXPECT_FALSE(table.IsEventPresent(5, d)) << d;
  }
  // Text and HTML list all five.
  const CString text = table.BuildText(), html = table.BuildHtml();
  const int day26 = text.Find("Sunday, 26 October 2025"), day27 = text.Find("Monday, 27 October 2025");
  ASSERT_GE(day26, 0);
  for (const CString& t : times) {
    const int at = text.Find(t, day26);
    EXPECT_TRUE(at > day26 && at < day27) << t.GetString();
    EXPECT_NE(-1, html.Find(t)) << t.GetString();
  }
  // On the screen the day's cell has room for a fifth line: the cells below it don't cover it.
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(table.GetSafeHwnd(), &pic));
  pic.SavePng("table_autumn_change_month.png");
  table.DestroyWindow();
  parent.DestroyWindow();
}

TEST_F(ChangeDayPages, TheFinderGivesCrossingsAtTheClocksTimesOfTheirInstants) {
  CHeightFindWnd finder;
  finder.SetHost(&host);
  finder.SetMonth(10);
  finder.SetYear(2025);
  finder.SetHeightText("1.50");
  finder.Find();
  ASSERT_TRUE(finder.IsCalculated());
  for (int d : {25, 26, 27}) {
    CPrediction& p = *pm.month.GetDay(d);
    // The crossings of the day's prediction by UT minute, turned into UK clock times.
    const long long ut = CQsDateTime(2025, 10, d, 0, 0, 0).ToSeconds() - CQsDateTime(1970, 1, 1, 0, 0, 0).ToSeconds();
    std::vector<int> expected;
    for (int u = -120; u < 1560; ++u) {
      const double a = p.HeightAt(u, 0, 0), b = p.HeightAt(u + 1, 0, 0);
      if ((a < 1.5) == (b < 1.5)) continue;
      int date;
      const int clock = LondonClock(ut + 60LL * u, date);
      if (date == 20251000 + d) expected.push_back(clock);
    }
    std::vector<int> found;
    for (const HEIGHTFIND_RESULT* r = finder.GetResults(d); r; r = r->next)
      found.push_back(r->time.GetHour() * 60 + r->time.GetMinute());
    ASSERT_EQ(expected.size(), found.size()) << d;
    for (size_t i = 0; i < found.size(); ++i) EXPECT_NEAR(expected[i], found[i], 2) << d << " #" << i;
  }
}

TEST_F(ChangeDayPages, TheLogShowsAFifthEventBesideTheFourthAndTheRowsHeightAtItsClockTime) {
  CWnd frame;
  ASSERT_TRUE(frame.CreateEx(0, nullptr, "Neapwise", WS_POPUP | WS_VISIBLE, 20, 20, 1000, 400, nullptr, nullptr));
  host.mainWnd = &frame;
  CTideLogWnd log;
  log.SetHost(&host);
  ASSERT_TRUE(log.Create(&frame, CRect(0, 0, 1000, 400)));
  int port = -1;
  for (int i = 0; i < pm.ports.GetCount() && port < 0; ++i)
    if (pm.ports.GetPort(i)->GetName() == pm.port.GetName()) port = i;
  ASSERT_GE(port, 0);
  log.AddRow(port, 26, 10, 2025);
  TIMEHEIGHT ev[CPrediction::kMaxDayEvents];
  ASSERT_EQ(5, pm.month.GetDay(26)->FindHighLow(host.GetLocalDayOf(26), ev));
  EXPECT_EQ(0, log.GetCellText(0, CTideLogWnd::colEvent1).Find("00:17"));
  const CString last = log.GetCellText(0, CTideLogWnd::colEvent4);
  EXPECT_EQ(0, last.Find("17:38")) << last.GetString();
  EXPECT_NE(-1, last.Find(", 23:45")) << last.GetString();
  log.DestroyWindow();
  frame.DestroyWindow();
}

}  // namespace
