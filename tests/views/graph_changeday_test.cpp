// The graph of a day on which the clocks change: the curve runs over the day's real 23 or 25
// hours, the hour ticks stand where the clock reaches them, the time mark is a clock time and
// the time axis says the clocks change.
#include "platform/testing/UiTest.h"
#include "tests/views/GraphFixture.h"

#include <cmath>
#include <cstdlib>

namespace {

using namespace views_test;

const COLORREF kLine = 0x00D200, kAground = 0x0000FF, kMark = 0xFFFF00, kAxis = 0x000000;

struct ChangeDay {
  PortDay port;
  CLocalDay day;
  TIMEHEIGHT events[CPrediction::kMaxDayEvents];
  int elapsed[CPrediction::kMaxDayEvents] = {};
  int n = 0;

  bool Load(int y, int m, int d) {
    if (!port.Load("Newlyn", y, m, d)) return false;
    CPrediction& p = port.prediction;
    day = CLocalDay(d, m, y, p.GetZoneCode(), p.GetArea(), 1);
    n = p.FindHighLow(day, events, elapsed);
    return n > 0;
  }
  // As the frame pushes a day.
  void Push(CGraphWnd& g) {
    CPrediction& p = port.prediction;
    const auto range = p.CalcDayRange(day);
    g.SetLocalDay(day);
    for (int m = 0; m < day.GetMinutes(); ++m) g.SetPoint(p.HeightAt(day, m), m);
    g.SetMaxHeight(1.1 * range.first);
    g.SetMinHeight(1.1 * range.second);
    g.SetShowMHWS(0), g.SetShowMHWN(0), g.SetShowMLWN(0), g.SetShowMLWS(0);
    g.SetAgroundLevel(-10);
    g.SetHasData(1);
  }
};

int CurveTop(const CBitmap& b, const CRect& P, int x) {
  for (int y = P.top + 1; y < P.bottom; ++y)
    if (b.GetPixel(x, y) == kLine || b.GetPixel(x, y) == kAground) return y;
  return -1;
}

// The column of an elapsed minute on a plot spanning the day's minutes.
int ColumnOf(const CRect& P, int minute, int length) { return P.left + (int)((double)minute / length * P.Width()); }

// Columns of the hour ticks: axis-coloured pixels just under the time axis, off the curve.
std::vector<int> TickColumns(const CBitmap& b, const CRect& P, int y0) {
  std::vector<int> ticks;
  for (int x = P.left + 1; x < P.right; ++x)
    if (b.GetPixel(x, y0 + 2) == kAxis && b.GetPixel(x, y0 + 3) == kAxis && (ticks.empty() || x > ticks.back() + 3))
      ticks.push_back(x);
  return ticks;
}

class GraphChangeDay : public ::testing::Test {
 protected:
  void SetUp() override { AfxWinInit(0, nullptr); }
};

TEST_F(GraphChangeDay, AnAutumnDayDrawsTwentyFiveHoursWithTheClockHoursWhereTheyFall) {
  ChangeDay c;
  ASSERT_TRUE(c.Load(2025, 10, 26));
  ASSERT_EQ(1500, c.day.GetMinutes());
  CGraphWnd g;
  c.Push(g);
  EXPECT_EQ(CString("Time (25 hours: clocks go back at 02:00)"), g.GetTimeCaption());
  CBitmap pic;
  Render(g, 1000, 400, pic);
  pic.SavePng("graph_autumn_change_day.png");
  const CRect P = g.GetPlotRect();
  ASSERT_GT(P.Width(), 800);
  // Each high and low water stands at its real instant along the 25 hours.
  for (int i = 0; i < c.n; ++i) {
    const bool high =
        i + 1 < c.n ? c.events[i].metres > c.events[i + 1].metres : c.events[i].metres > c.events[i - 1].metres;
    int best = high ? 100000 : -1, from = -1, to = -1;
    for (int x = P.left + 2; x < P.right - 1; ++x) {
      const int y = CurveTop(pic, P, x);
      if (y < 0 || std::abs(x - ColumnOf(P, c.elapsed[i], 1500)) > 60) continue;
      if (high ? y < best : y > best)
        best = y, from = to = x;
      else if (y == best)
        to = x;
    }
    ASSERT_GE(from, 0);
    if (from <= P.left + 3 || to >= P.right - 3) continue;
    EXPECT_NEAR(ColumnOf(P, c.elapsed[i], 1500), (from + to) / 2, 8) << i;
  }
  // Hour ticks every two clock hours: 0:00, then 2:00 an hour late (the hour from 01:00 is
  // shown twice), then every 120 minutes to 24:00 at the end of the 25 hours.
  const int y0 = g.YOfHeight(P, 0);
  const std::vector<int> ticks = TickColumns(pic, P, y0);
  ASSERT_EQ(11u, ticks.size()) << "2:00 to 22:00 inside the plot";
  EXPECT_NEAR(ColumnOf(P, 180, 1500), ticks[0], 2);
  EXPECT_NEAR(ColumnOf(P, 300, 1500), ticks[1], 2);
  EXPECT_NEAR(ColumnOf(P, 1380, 1500), ticks[10], 2);
  // The time mark at the clock's 13:45, which comes 25 minutes past 14:45 hours into the day.
  g.SetTimeMark(13 * 60 + 45);
  Render(g, 1000, 400, pic);
  const int x = ColumnOf(P, 13 * 60 + 45 + 60, 1500);
  int up = 0;
  for (int y = P.top; y < y0; ++y) up += pic.GetPixel(x, y) == kMark || pic.GetPixel(x + 1, y) == kMark;
  EXPECT_GT(up, 10);
  // The read-out under the pointer is a clock time: 1200 minutes into the day the clock shows 19:00.
  const CPoint at(ColumnOf(P, 1200, 1500), 0);
  bool read = false;
  for (int y = P.top; y < P.bottom && !read; ++y) {
    const CString text = g.GetReadout(CPoint(at.x, y));
    if (text.IsEmpty()) continue;
    read = true;
    const int clock = 1500 * (at.x - P.left) / P.Width() - 60;
    CString expect;
    expect.Format("(%02d:%02d)", clock / 60, clock % 60);
    EXPECT_NE(-1, text.Find(expect)) << text.GetString();
    EXPECT_NEAR(1140, clock, 3);
  }
  EXPECT_TRUE(read);
}

TEST_F(GraphChangeDay, ASpringDayDrawsTwentyThreeHoursAndPlainDaysKeepTheirTwentyFour) {
  ChangeDay c;
  ASSERT_TRUE(c.Load(2025, 3, 30));
  ASSERT_EQ(1380, c.day.GetMinutes());
  CGraphWnd g;
  c.Push(g);
  EXPECT_EQ(CString("Time (23 hours: clocks go forward at 01:00)"), g.GetTimeCaption());
  CBitmap pic;
  Render(g, 1000, 400, pic);
  pic.SavePng("graph_spring_change_day.png");
  const CRect P = g.GetPlotRect();
  const int y0 = g.YOfHeight(P, 0);
  const std::vector<int> ticks = TickColumns(pic, P, y0);
  ASSERT_EQ(11u, ticks.size()) << "2:00 to 22:00 inside the plot";
  // 2:00 an hour in, where the clock jumps from 01:00 to it; then 4:00 two hours later.
  EXPECT_NEAR(ColumnOf(P, 60, 1380), ticks[0], 2);
  EXPECT_NEAR(ColumnOf(P, 180, 1380), ticks[1], 2);
  // The curve reaches the right end: no empty hour at the end of the day.
  EXPECT_GE(CurveTop(pic, P, P.right - 2), 0);

  // A plain day after it: 24 hours and the plain caption.
  ChangeDay plain;
  ASSERT_TRUE(plain.Load(2025, 3, 31));
  EXPECT_EQ(1440, plain.day.GetMinutes());
  plain.Push(g);
  EXPECT_EQ(CString("Time"), g.GetTimeCaption());
}

}  // namespace
