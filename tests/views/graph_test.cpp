// The tide graph as a user sees it: a real port-day rendered and checked pixel by pixel, the
// degenerate windows that used to divide by zero, the cached picture with mark-only repaints,
// the read-out under the mouse, the clicks and the context menu.
#include "platform/testing/UiTest.h"
#include "tests/app/TestPictures.h"
#include "tests/views/GraphFixture.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

using namespace views_test;

const COLORREF kLine = 0x00D200, kAground = 0x0000FF, kLevel = 0x5A3264, kMark = 0xFFFF00, kGrid = 0x808080;

// The scale as the graph is meant to lay it out, worked out here on its own.
struct Geo {
  CRect P;
  double max, min;
  int y0, x0;
  Geo(const CGraphWnd& g) : P(g.GetPlotRect()) {
    double u = g.IsFeet() ? 3.2808 : 1.0;
    max = g.GetMaxHeight() * u;
    min = g.GetMinHeight() * u;
    y0 = P.top + (int)(P.Height() * max / (max - min));
    x0 = P.right - (int)(1440.0 * P.Width() / 1440);
  }
  int X(int m) const { return P.left + (int)(m / 1440.0 * P.Width()); }
  int Y(double h) const { return y0 - (int)(h * P.Height() / (max - min)); }
  // The minute drawn in column x of the curve.
  int MinuteAt(int x) const { return (int)((double)(x - P.left - 1) / (P.right - P.left - 1) * 1440); }
};

bool IsCurve(COLORREF c) { return c == kLine || c == kAground; }

// Top pixel of the curve in column x, or -1.
int CurveTop(const CBitmap& b, const Geo& g, int x) {
  for (int y = g.P.top + 1; y < g.P.bottom; ++y)
    if (IsCurve(b.GetPixel(x, y))) return y;
  return -1;
}

class Graph : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    ASSERT_TRUE(day.Load("Dover", 2025, 6, 12)) << "the embedded tables give no day";
  }
  PortDay day;
};

TEST_F(Graph, ARealPortDayShowsItsHighAndLowWatersAtTheirTimes) {
  CGraphWnd g;
  day.Push(g);
  g.SetShowMHWS(0), g.SetShowMHWN(0), g.SetShowMLWN(0), g.SetShowMLWS(0);
  CBitmap pic;
  Render(g, 800, 400, pic);
  pic.SavePng("graph_port_day_800x400.png");
  Geo geo(g);
  ASSERT_GT(geo.P.Width(), 600);
  for (int e = 0; e < day.nEvents; ++e) {
    const TIMEHEIGHT& ev = day.events[e];
    bool high = ev.metres > (day.dayMax + day.dayMin) / 2;
    // The extreme pixel rows of the curve within an hour and a half of the event.
    int best = high ? 100000 : -1, from = -1, to = -1;
    for (int x = geo.P.left + 2; x < geo.P.right - 1; ++x) {
      int m = geo.MinuteAt(x);
      if (std::abs(m - ev.minutes) > 90) continue;
      int y = CurveTop(pic, geo, x);
      if (y < 0) continue;
      if (high ? y < best : y > best)
        best = y, from = to = x;
      else if (y == best)
        to = x;
    }
    ASSERT_GE(from, 0) << e;
    if (from <= geo.P.left + 3 || to >= geo.P.right - 3) continue;  // cut off at the day's edge
    int seen = geo.MinuteAt((from + to) / 2);
    EXPECT_NEAR(ev.minutes, seen, 10) << (high ? "high" : "low") << " water " << e;
    EXPECT_NEAR(geo.Y(ev.metres), best, 2) << e;
  }
}

TEST_F(Graph, TheCurveIsInTheLineColourAboveTheAgroundLevelAndTheAgroundColourBelow) {
  CGraphWnd g;
  day.Push(g);
  double level = (day.dayMax + day.dayMin) / 2;
  g.SetAgroundLevel(level);
  g.SetShowMHWS(0), g.SetShowMHWN(0), g.SetShowMLWN(0), g.SetShowMLWS(0);
  CBitmap pic;
  Render(g, 800, 400, pic);
  pic.SavePng("graph_aground_level.png");
  Geo geo(g);
  int above = 0, below = 0;
  for (int x = geo.P.left + 2; x < geo.P.right - 1; ++x) {
    int y = CurveTop(pic, geo, x);
    ASSERT_GE(y, 0) << x;
    double h = day.prediction.HeightAt(geo.MinuteAt(x), day.zone, 0);
    if (h > level + 0.15) {
      EXPECT_EQ(kLine, pic.GetPixel(x, y)) << x;
      ++above;
    } else if (h < level - 0.15) {
      EXPECT_EQ(kAground, pic.GetPixel(x, y)) << x;
      ++below;
    }
  }
  EXPECT_GT(above, 100);
  EXPECT_GT(below, 100);
  // With the level above the whole day, the whole curve runs aground.
  g.SetAgroundLevel(day.dayMax + 1);
  Render(g, 800, 400, pic);
  for (int x = geo.P.left + 2; x < geo.P.right - 1; x += 7) EXPECT_EQ(kAground, pic.GetPixel(x, CurveTop(pic, geo, x)));
}

TEST_F(Graph, AnAreaGraphFillsDownToTheDatumInTheColourOfEachStretch) {
  CGraphWnd g;
  day.Push(g);
  g.SetAreaGraph(1);
  g.SetAgroundLevel((day.dayMax + day.dayMin) / 2);
  g.SetShowMHWS(0), g.SetShowMHWN(0), g.SetShowMLWN(0), g.SetShowMLWS(0);
  CBitmap pic;
  Render(g, 800, 400, pic);
  pic.SavePng("graph_area.png");
  Geo geo(g);
  int checked = 0;
  for (int x = geo.P.left + 10; x < geo.P.right - 10; x += 13) {
    if (std::abs(x - geo.X(200)) < 3) continue;  // the time mark
    int top = CurveTop(pic, geo, x);
    double h = day.prediction.HeightAt(geo.MinuteAt(x), day.zone, 0);
    if (std::fabs(h - (day.dayMax + day.dayMin) / 2) < 0.3) continue;
    COLORREF want = h > (day.dayMax + day.dayMin) / 2 ? kLine : kAground;
    int y = (top + geo.y0) / 2;
    if (pic.GetPixel(x, y) == kGrid) ++y;
    EXPECT_EQ(want, pic.GetPixel(x, y)) << x;
    ++checked;
  }
  EXPECT_GT(checked, 20);
}

TEST_F(Graph, SettersThatDoNotRepaintStillKeepTheCachedPictureFromBeingReused) {
  CGraphWnd g;
  day.Push(g);
  g.SetShowMHWS(0), g.SetShowMHWN(0), g.SetShowMLWN(0), g.SetShowMLWS(0);
  CBitmap pic;
  Render(g, 800, 400, pic);
  ASSERT_FALSE(g.IsModified());
  Geo geo(g);
  // The high water's column: the curve line is at its top, the plot's background below it.
  int x = geo.P.left + 2, top = -1;
  for (int c = geo.P.left + 2; c < geo.P.right - 2; ++c) {
    int t = CurveTop(pic, geo, c);
    if (t >= 0 && (top < 0 || t < top)) top = t, x = c;
  }
  ASSERT_GE(top, 0);
  const int under = (top + geo.y0) / 2 + 3;
  ASSERT_FALSE(IsCurve(pic.GetPixel(x, under)));
  g.SetAreaGraph(1);  // the caller repaints; the picture must be drawn anew
  Render(g, 800, 400, pic);
  EXPECT_EQ(kLine, pic.GetPixel(x, under));
  g.SetAreaGraph(0);
  Render(g, 800, 400, pic);
  // A scale that now reaches below the datum moves the zero line up.
  g.SetMinHeight(-2.0);
  Render(g, 800, 400, pic);
  Geo lowered(g);
  EXPECT_LT(lowered.y0, geo.y0);
  int axis = 0;
  for (int px = geo.P.left + 5; px < geo.P.right - 5; px += 10) axis += pic.GetPixel(px, lowered.y0) == RGB(0, 0, 0);
  EXPECT_GT(axis, 50);
}

TEST_F(Graph, DatumLinesLieAtTheirHeightsAndHiddenOrZeroLevelsAreNotDrawn) {
  CGraphWnd g;
  day.Push(g);
  CBitmap pic;
  Render(g, 800, 400, pic);
  Geo geo(g);
  const CPortData* p = day.prediction.GetPort();
  const double levels[] = {p->GetMHWS(), p->GetMHWN(), p->GetMLWN(), p->GetMLWS()};
  for (double l : levels) {
    if (l <= 0 || l > geo.max) continue;
    int y = geo.Y(l), hits = 0;
    for (int x = geo.P.left + 150; x < geo.P.right - 10; x += 10) hits += pic.GetPixel(x, y) == kLevel;
    EXPECT_GE(hits, 45) << "level " << l << " at y " << y;
  }
  g.SetShowMHWS(0);
  g.SetMLWS(0);
  Render(g, 800, 400, pic);
  for (double l : {p->GetMHWS(), p->GetMLWS()}) {
    if (l <= 0 || l > geo.max) continue;
    int y = geo.Y(l), hits = 0;
    for (int x = geo.P.left + 150; x < geo.P.right - 10; x += 10) hits += pic.GetPixel(x, y) == kLevel;
    EXPECT_EQ(0, hits) << l;
  }
}

TEST_F(Graph, TheBackgroundRunsInBandsFromTheBackColourToTheGradientColourOrIsFlat) {
  CGraphWnd g;
  day.Push(g);
  g.SetShowMHWS(0), g.SetShowMHWN(0), g.SetShowMLWN(0), g.SetShowMLWS(0);
  g.SetBackColour(RGB(40, 80, 160));
  g.SetGradientColour(RGB(240, 240, 200));
  CBitmap pic;
  Render(g, 800, 400, pic);
  Geo geo(g);
  const int x = geo.X(60) + 3;  // between two hour lines
  auto background = [&](int y) {
    COLORREF c = pic.GetPixel(x, y);
    return IsCurve(c) || c == kGrid || c == kMark || c == RGB(0, 0, 0) ? CLR_INVALID : c;
  };
  std::vector<COLORREF> column;
  for (int y = geo.P.top + 1; y < geo.P.bottom; ++y)
    if (COLORREF c = background(y); c != CLR_INVALID) column.push_back(c);
  ASSERT_GT(column.size(), 200u);
  EXPECT_NEAR(40, GetRValue(column.front()), 6);  // the back colour at the top
  EXPECT_NEAR(160, GetBValue(column.front()), 6);
  EXPECT_NEAR(240, GetRValue(column.back()), 6);  // the gradient colour at the bottom
  EXPECT_NEAR(200, GetBValue(column.back()), 6);
  int bands = 1;
  for (size_t i = 1; i < column.size(); ++i) {
    EXPECT_GE(GetRValue(column[i]), GetRValue(column[i - 1])) << i;  // lighter all the way down
    bands += column[i] != column[i - 1];
  }
  EXPECT_NEAR(geo.P.Height() / 5, bands, 4);  // steps of about 5 pixels
  // Equal colours: one flat plot.
  g.SetGradientColour(RGB(40, 80, 160));
  Render(g, 800, 400, pic);
  for (int y = geo.P.top + 1; y < geo.P.bottom; ++y) {
    if (COLORREF c = background(y); c != CLR_INVALID) {
      EXPECT_EQ(RGB(40, 80, 160), c) << y;
    }
  }
}

TEST_F(Graph, EachDatumLineIsLabelledAboveItsLeftEnd) {
  CGraphWnd g;
  day.Push(g);
  g.SetShowMHWN(0), g.SetShowMLWN(0), g.SetShowMLWS(0);
  g.SetMHWS(day.dayMax * 0.8);
  CBitmap pic;
  Render(g, 800, 400, pic);
  Geo geo(g);
  const int y = geo.Y(day.dayMax * 0.8);
  auto levelInk = [&](int top, int bottom) {
    int n = 0;
    for (int py = top; py < bottom; ++py)
      for (int px = geo.P.left + 2; px < geo.P.left + 120; ++px) {
        COLORREF c = pic.GetPixel(px, py);
        n += std::abs(GetRValue(c) - GetRValue(kLevel)) + std::abs(GetGValue(c) - GetGValue(kLevel)) +
                 std::abs(GetBValue(c) - GetBValue(kLevel)) <
             60;
      }
    return n;
  };
  EXPECT_GT(levelInk(y - 14, y), 30);     // "MHWS - n.nm" sits on the line
  EXPECT_LT(levelInk(y + 2, y + 16), 5);  // and not below it
}

TEST_F(Graph, TheTimeMarkStandsAtItsMinuteAndRunsAcrossToTheHeightAxis) {
  CGraphWnd g;
  day.Push(g);
  const int mark = 13 * 60 + 45;
  g.SetTimeMark(mark);
  g.SetTimeMark(-5);    // ignored
  g.SetTimeMark(1441);  // ignored
  EXPECT_EQ(mark, g.GetTimeMark());
  CBitmap pic;
  Render(g, 800, 400, pic);
  Geo geo(g);
  int x = geo.X(mark), yh = geo.Y(g.GetHeightDisplay(mark));
  int up = 0, across = 0, elsewhere = 0;
  for (int y = yh + 3; y < geo.y0 - 3; ++y) up += pic.GetPixel(x, y) == kMark;
  for (int xx = geo.x0 + 3; xx < x - 3; ++xx) across += pic.GetPixel(xx, yh) == kMark;
  for (int y = geo.P.top; y < geo.P.bottom; ++y) elsewhere += pic.GetPixel(geo.X(mark - 120), y) == kMark;
  EXPECT_GT(up, (geo.y0 - yh - 6) / 3) << "dotted upright";
  EXPECT_GT(across, (x - geo.x0 - 6) / 3) << "dotted across";
  EXPECT_EQ(0, elsewhere);
}

TEST_F(Graph, FeetScaleTheAxisAndLabelsWhileTheStoredMetresStay) {
  CGraphWnd g;
  day.Push(g);
  g.SetShowMHWS(0), g.SetShowMHWN(0), g.SetShowMLWN(0), g.SetShowMLWS(0);  // they could hide a grid line
  CBitmap metres, feet;
  Render(g, 800, 400, metres);
  Geo gm(g);
  auto gridRows = [](const CBitmap& b, const Geo& geo) {
    int rows = 0, x = geo.X(60);  // between two hour lines
    for (int y = geo.P.top + 1; y < geo.P.bottom; ++y) rows += b.GetPixel(x, y) == kGrid && y != geo.y0;
    return rows;
  };
  int rowsMetres = gridRows(metres, gm);
  g.SetFeet(1);
  Render(g, 800, 400, feet);
  feet.SavePng("graph_port_day_feet.png");
  Geo gf(g);
  int rowsFeet = gridRows(feet, gf);
  // One grid line per step above the datum, those on the plot's top edge merging with its frame.
  auto inside = [](const Geo& geo, double step) {
    int n = 0;
    for (int i = 1; i * step <= geo.max + 1e-9; ++i) n += geo.Y(i * step) > geo.P.top;
    return n;
  };
  EXPECT_EQ(inside(gm, 1.0), rowsMetres);
  EXPECT_EQ(inside(gf, g.GetMaxHeight() >= 3 ? 2.0 : 1.0), rowsFeet);
  EXPECT_GT(rowsFeet, rowsMetres);
  EXPECT_NEAR(g.GetHeightDisplay(600), day.prediction.HeightAt(600, day.zone, 0) * 3.2808, 1e-9);
  // The curve and the datum lines keep their places: every height scales with the axis.
  for (int x = gm.P.left + 5; x < gm.P.right - 5; x += 50)
    EXPECT_NEAR(CurveTop(metres, gm, x), CurveTop(feet, gf, x), 1);
}

// Bounding box of the text pixels (near the black axis colour) inside the rectangle.
CRect InkIn(const CBitmap& b, const CRect& r) {
  CRect box(10000, 10000, -1, -1);
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (COLORREF c = b.GetPixel(x, y); GetRValue(c) + GetGValue(c) + GetBValue(c) < 200) {
        box.left = std::min<LONG>(box.left, x);
        box.top = std::min<LONG>(box.top, y);
        box.right = std::max<LONG>(box.right, x + 1);
        box.bottom = std::max<LONG>(box.bottom, y + 1);
      }
  return box.right < 0 ? CRect() : box;
}

TEST_F(Graph, TheTitleAndTimeCaptionAreCentredAndTheHeightCaptionReadsUpwardsWithItsUnit) {
  CGraphWnd g;
  day.Push(g);
  CBitmap pic;
  Render(g, 800, 400, pic);
  Geo geo(g);
  // The title: centred, 5 pixels from the top, above the plot.
  CRect title = InkIn(pic, CRect(1, 1, 799, geo.P.top));
  ASSERT_FALSE(title.IsRectEmpty());
  EXPECT_NEAR(400, title.CenterPoint().x, 4);
  EXPECT_NEAR(8, title.top, 4);
  // The time caption: centred under the hour labels, near the bottom.
  CRect time = InkIn(pic, CRect(1, 400 - 20, 799, 399));
  ASSERT_FALSE(time.IsRectEmpty());
  EXPECT_NEAR(402, time.CenterPoint().x, 4);
  EXPECT_LT(time.Width(), 60);
  // The height caption: a tall, narrow column at the left edge, centred beside the plot.
  CRect metres = InkIn(pic, CRect(1, 1, geo.P.left / 2, 399));
  ASSERT_FALSE(metres.IsRectEmpty());
  EXPECT_GT(metres.Height(), 3 * metres.Width());
  EXPECT_NEAR(5, metres.left, 3);
  EXPECT_NEAR((geo.P.top + geo.P.bottom) / 2, metres.CenterPoint().y, 6);
  // In feet the caption says so: "Height (Feet)" is shorter than "Height (Metres)".
  g.SetFeet(1);
  Render(g, 800, 400, pic);
  CRect feet = InkIn(pic, CRect(1, 1, geo.P.left / 2, 399));
  EXPECT_LT(feet.Height(), metres.Height() - 5);
  EXPECT_NEAR(metres.CenterPoint().y, feet.CenterPoint().y, 6);
}

TEST_F(Graph, HeightStepsAndLineWidthsFollowTheirRules) {
  CGraphWnd g;
  const struct {
    double max;
    int feet;
    double step;
  } cases[] = {{0.8, 0, 0.1}, {5, 0, 1}, {0.8, 1, 0.2}, {2, 1, 1}, {5, 1, 2}};
  for (auto& c : cases) {
    g.SetMaxHeight(c.max);
    g.SetFeet(c.feet);
    EXPECT_DOUBLE_EQ(c.step, g.GetHeightStep()) << c.max << " " << c.feet;
  }
  g.SetLineWidth(7);
  EXPECT_EQ(2, g.GetLineWidth());
  EXPECT_TRUE(g.IsThickLine());
  g.SetLineWidth(5);
  EXPECT_EQ(5, g.GetLineWidth());
  g.SetMinHeight(2);
  EXPECT_EQ(0, g.GetMinHeight());
  g.SetMinHeight(-0.5);
  EXPECT_EQ(-0.5, g.GetMinHeight());
}

TEST_F(Graph, DegenerateWindowsAndFlatDaysDrawNoPlotAndNeverCrash) {
  struct Case {
    int w, h;
    bool flat;
  } cases[] = {{800, 4, false}, {800, 1, false}, {40, 400, false}, {1, 1, false}, {800, 400, true}, {0, 0, false}};
  for (auto& c : cases) {
    CGraphWnd g;
    day.Push(g);
    if (c.flat) {
      for (int m = 0; m <= 1440; ++m) g.SetPoint(0, m);
      g.SetMaxHeight(0);
      g.SetMinHeight(0);
    }
    CBitmap pic;
    Render(g, c.w, c.h, pic);
    int curve = 0;
    for (int y = 0; y < c.h; ++y)
      for (int x = 0; x < c.w; ++x) curve += IsCurve(pic.GetPixel(x, y)) || pic.GetPixel(x, y) == kMark;
    EXPECT_EQ(0, curve) << c.w << "x" << c.h;
    EXPECT_TRUE(g.GetReadout(CPoint(c.w / 2, c.h / 2)).IsEmpty());
  }
}

TEST_F(Graph, WithoutDataThePlaceholderInvitesAClick) {
  CGraphWnd g;
  g.SetHasData(0);
  g.SetBackgroundPicture(0);
  g.SetPlaceholderText("Click Here For the Graph of Dover on the 12 June 2025.");
  CBitmap pic;
  Render(g, 600, 300, pic);
  int black = 0, curve = 0;
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 600; ++x) {
      COLORREF c = pic.GetPixel(x, y);
      black += c == 0 && y > 130;
      curve += IsCurve(c);
    }
  EXPECT_GT(black, 100);  // the text, in the lower half
  EXPECT_EQ(0, curve);
  EXPECT_EQ(RGB(255, 255, 255), pic.GetPixel(10, 10));
}

// ---- In a window ----

class COwner : public CWnd {
 public:
  std::vector<UINT> commands;
  int fullScreen = 0;
  std::vector<std::pair<WPARAM, LPARAM>> dblClicks;
  LRESULT OnDblClk(WPARAM w, LPARAM l) {
    dblClicks.emplace_back(w, l);
    return 0;
  }
  BOOL OnCommand(WPARAM w, LPARAM l) override {
    commands.push_back(LOWORD(w));
    return CWnd::OnCommand(w, l);
  }
  LRESULT OnFullScreen(WPARAM, LPARAM) {
    ++fullScreen;
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(COwner, CWnd)
  ON_MESSAGE(WM_GRAPH_FULLSCREEN, OnFullScreen)
  ON_MESSAGE(WM_LBUTTONDBLCLK, OnDblClk)
END_MESSAGE_MAP()

class GraphWindow : public Graph {
 protected:
  void SetUp() override {
    Graph::SetUp();
    test_pictures::RegisterToolbar(152, {32807, 0, 57607, 32787});
    test_pictures::RegisterToolbar(160, {32821});
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "Neapwise", WS_POPUP | WS_VISIBLE, 20, 20, 820, 420, nullptr, nullptr));
    host.mainWnd = &owner;
    host.day = &day;
    host.graph = &graph;
    graph.SetHost(&host);
    ASSERT_TRUE(graph.Create(&owner, CRect(10, 10, 810, 410), 1001));
    day.Push(graph);
    AfxTestWait(20);
  }
  void TearDown() override {
    graph.DestroyWindow();
    owner.DestroyWindow();
    AfxTestWait(5);
  }
  COwner owner;
  FakeHost host;
  CGraphWnd graph;
};

TEST_F(GraphWindow, AMovedTimeMarkRepaintsFromTheCachedPicture) {
  graph.SetTimeMark(6 * 60);
  graph.Invalidate(FALSE);  // the frame repaints after moving the mark
  CBitmap first, second;
  ASSERT_TRUE(AfxCaptureWindow(graph.GetSafeHwnd(), &first));
  EXPECT_FALSE(graph.IsModified());
  Geo geo(graph);
  const int yMid = (geo.y0 + geo.Y(graph.GetHeightDisplay(6 * 60))) / 2;
  int at6 = 0;
  for (int y = yMid - 4; y <= yMid + 4; ++y) at6 += first.GetPixel(geo.X(360), y) == kMark;
  EXPECT_GT(at6, 0);
  graph.SetTimeMark(18 * 60);  // no rebuild: only the mark moves
  graph.Invalidate(FALSE);
  ASSERT_TRUE(AfxCaptureWindow(graph.GetSafeHwnd(), &second));
  EXPECT_FALSE(graph.IsModified());
  int old6 = 0, at18 = 0;
  const int yMid18 = (geo.y0 + geo.Y(graph.GetHeightDisplay(18 * 60))) / 2;
  for (int y = yMid - 4; y <= yMid + 4; ++y) old6 += second.GetPixel(geo.X(360), y) == kMark;
  for (int y = yMid18 - 4; y <= yMid18 + 4; ++y) at18 += second.GetPixel(geo.X(1080), y) == kMark;
  EXPECT_EQ(0, old6);
  EXPECT_GT(at18, 0);
  second.SavePng("graph_window_mark_moved.png");
  graph.SetMaxHeight(graph.GetMaxHeight() + 1);  // a setter forces a rebuild
  EXPECT_TRUE(graph.IsModified());
}

TEST_F(GraphWindow, TheTooltipUnderTheMouseShowsTheHeightAndTime) {
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(graph.GetSafeHwnd(), &pic));
  CRect P = graph.GetPlotRect();
  CRect client;
  graph.GetClientRect(&client);
  auto onCurve = [&](int x, int* minute) {
    *minute = 1440 * (x - P.left) / P.Width();
    double h = graph.GetHeightDisplay(*minute);
    return (client.Height() - P.Height()) / 2 + P.Height() -
           (int)(P.Height() * (h - graph.GetMinHeight()) / (graph.GetMaxHeight() - graph.GetMinHeight())) - 6;
  };
  CToolTipCtrl& tip = graph.GetToolTip();
  ASSERT_NE(nullptr, tip.GetSafeHwnd());
  EXPECT_EQ(400, tip.GetMaxTipWidth());
  auto tipText = [&] {
    CString t;
    tip.GetWindowText(t);
    return t;
  };
  auto waitTip = [&](bool shown) {
    AfxTestWait(3000, [&] { return (tip.IsWindowVisible() != FALSE) == shown; });
    return (tip.IsWindowVisible() != FALSE) == shown;
  };
  // Over the plot but away from the curve: no tip at all.
  int m = 0;
  int x = P.left + P.Width() / 4;
  int y = onCurve(x, &m);
  AfxTestMoveTo(graph.GetSafeHwnd(), x, y - 60);
  AfxTestWait(900);
  EXPECT_FALSE(tip.IsWindowVisible());
  // On the curve the tip shows the height and time of the minute under the pointer.
  AfxTestMoveTo(graph.GetSafeHwnd(), x, y);
  ASSERT_TRUE(waitTip(true));
  CString expected;
  expected.Format("%0.2fm (%02d:%02d)", graph.GetHeightDisplay(m), m / 60, m % 60);
  EXPECT_STREQ(expected, tipText());
  CRect tr;
  tip.GetWindowRect(&tr);
  POINT cur;
  GetCursorPos(&cur);
  EXPECT_GT(tr.top, cur.y);
  const char* keep = std::getenv("NEAPWISE_UI_PICTURES");
  if (keep) AfxSaveWindowPng(tip.GetSafeHwnd(), (std::string(keep) + "/graph_tooltip.png").c_str());
  // Following the curve, the shown tip follows the minute.
  int m2 = 0;
  int x2 = x + 40;
  int y2 = onCurve(x2, &m2);
  for (int k = 1; k <= 4; ++k) AfxTestMoveTo(graph.GetSafeHwnd(), x + 10 * k, onCurve(x + 10 * k, &m2));
  ASSERT_TRUE(tip.IsWindowVisible());
  expected.Format("%0.2fm (%02d:%02d)", graph.GetHeightDisplay(m2), m2 / 60, m2 % 60);
  EXPECT_STREQ(expected, tipText());
  // Off the curve nothing more is relayed, and the tip goes as the pointer leaves its spot.
  AfxTestMoveTo(graph.GetSafeHwnd(), x2, y2 - 60);
  EXPECT_TRUE(waitTip(false));
}

TEST_F(GraphWindow, TheMouseOverTheCurveReadsTheHeightAndTime) {
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(graph.GetSafeHwnd(), &pic));
  CRect P = graph.GetPlotRect();
  CRect client;
  graph.GetClientRect(&client);
  const int m = 10 * 60 + 30;
  int x = P.left + (int)((double)m / 1440 * P.Width()) + 1;
  int minute = 1440 * (x - P.left) / P.Width();
  double h = graph.GetHeightDisplay(minute);
  int y = (client.Height() - P.Height()) / 2 + P.Height() -
          (int)(P.Height() * (h - graph.GetMinHeight()) / (graph.GetMaxHeight() - graph.GetMinHeight())) - 6;
  MSG msg{graph.GetSafeHwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y), 0, {}};
  graph.PreTranslateMessage(&msg);
  CString expected;
  expected.Format("%0.2fm (%02d:%02d)", h, minute / 60, minute % 60);
  EXPECT_STREQ(expected.GetString(), graph.GetTooltipText().GetString());
  EXPECT_EQ(CRect(x - 3, y - 3, x + 3, y + 3), graph.GetTooltipRect());
  EXPECT_TRUE(graph.GetReadout(CPoint(x, y - 40)).IsEmpty());  // away from the curve
  EXPECT_TRUE(graph.GetReadout(CPoint(2, 2)).IsEmpty());       // outside the plot
  graph.SetFeet(1);
  AfxCaptureWindow(graph.GetSafeHwnd(), &pic);
  double hf = graph.GetHeightDisplay(minute);
  int yf = (client.Height() - P.Height()) / 2 + P.Height() -
           (int)(P.Height() * (hf - 3.2808 * graph.GetMinHeight()) /
                 (3.2808 * (graph.GetMaxHeight() - graph.GetMinHeight()))) -
           6;
  EXPECT_NE(-1, graph.GetReadout(CPoint(x, yf)).Find("ft ("));
}

TEST_F(GraphWindow, ClicksCalculateWithoutDataAndADoubleClickAsksForFullScreen) {
  graph.SetHasData(0);
  AfxTestClick(graph.GetSafeHwnd(), 100, 100);
  AfxTestWait(5000, [&] { return host.calculateCalls > 0; });
  EXPECT_EQ(1, host.calculateCalls);
  EXPECT_TRUE(graph.HasData());
  EXPECT_EQ(graph.GetSafeHwnd(), ::GetFocus());  // the click gives the graph the focus
  AfxTestDoubleClick(graph.GetSafeHwnd(), 200, 200);
  AfxTestWait(5000, [&] { return owner.fullScreen > 0; });
  EXPECT_EQ(1, owner.fullScreen);
}

TEST_F(GraphWindow, TheContextMenuOffersTheGraphCommandsWithTheirPictures) {
  std::vector<UINT> ids;
  std::vector<std::string> texts;
  CBitmap shot;
  RECT saveRect{}, popupRect{}, copyRect{};
  UINT defaultItem = (UINT)-1;
  CTestCallLater later(50, [&] {
    HMENU menus[2];
    HWND wnds[2];
    if (AfxGetTrackingMenus(menus, wnds, 2) != 1) return;
    for (int i = 0; i < GetMenuItemCount(menus[0]); ++i) ids.push_back(GetMenuItemID(menus[0], i));
    defaultItem = GetMenuDefaultItem(menus[0], TRUE, 0);
    auto* vx = dynamic_cast<VxMenu*>(CMenu::FromHandlePermanent(menus[0]));
    for (int i = 0; vx && i < GetMenuItemCount(menus[0]); ++i)
      texts.push_back(vx->GetItemData(i) ? vx->GetItemData(i)->text.GetString() : "?");
    AfxCaptureWindow(wnds[0], &shot);
    GetWindowRect(wnds[0], &popupRect);
    GetMenuItemRect(nullptr, menus[0], 2, &saveRect);
    GetMenuItemRect(nullptr, menus[0], 4, &copyRect);
    POINT p{(copyRect.left + copyRect.right) / 2, (copyRect.top + copyRect.bottom) / 2};
    AfxTestMouse(WM_MOUSEMOVE, p);
    AfxTestMouse(WM_RBUTTONDOWN, p);
    AfxTestMouse(WM_RBUTTONUP, p);
  });
  graph.SendMessage(WM_CONTEXTMENU, (WPARAM)graph.GetSafeHwnd(), MAKELPARAM(-1, -1));
  EXPECT_TRUE(later.Wait());
  AfxTestWait(2000, [&] { return !owner.commands.empty(); });
  const std::vector<UINT> expected{32787, 0, 32807, 57607, 32821, 0, 32785, 32791, 0, 32790, 0, 32820};
  EXPECT_EQ(expected, ids);
  EXPECT_EQ(0u, defaultItem);  // View Full Screen
  // From the keyboard the menu opens 5 pixels into the graph.
  CPoint origin(0, 0);
  graph.ClientToScreen(&origin);
  EXPECT_EQ(origin.x + 5, popupRect.left);
  EXPECT_EQ(origin.y + 5, popupRect.top);
  ASSERT_EQ(12u, texts.size());
  EXPECT_EQ("View &Full Screen", texts[0]);
  EXPECT_EQ(0u, texts[2].find("Save &As..."));
  EXPECT_EQ("P&roperties...", texts[11]);
  EXPECT_EQ(std::vector<UINT>{32821}, owner.commands);  // handled by the frame as a command
  ASSERT_NE(nullptr, shot.GetSafeHandle());
  shot.SavePng("graph_context_menu.png");
  auto glyphsIn = [&](const RECT& r, COLORREF c) {
    int n = 0;
    for (int y = r.top - popupRect.top; y < r.bottom - popupRect.top; ++y)
      for (int x = 0; x < 40; ++x) n += shot.GetPixel(x, y) == c;
    return n;
  };
  EXPECT_GT(glyphsIn(saveRect, test_pictures::GlyphColour(0)), 20);  // Save As from toolbar 152
  EXPECT_GT(glyphsIn(copyRect, test_pictures::GlyphColour(0)), 20);  // Copy from picture 160
  EXPECT_EQ(nullptr, host.menu.GetSafeHmenu());                      // destroyed after tracking
  // No menu without data or in the full-screen graph.
  graph.SetHasData(0);
  int opened = 0;
  CTestCallLater check(30, [&] {
    opened = AfxGetTrackingMenus(nullptr, nullptr, 0) > 0 || AfxGetTrackingMenus(nullptr, nullptr, 2) > 0;
    EndMenu();
  });
  graph.SendMessage(WM_CONTEXTMENU, (WPARAM)graph.GetSafeHwnd(), MAKELPARAM(-1, -1));
  EXPECT_TRUE(check.Wait());
  EXPECT_EQ(0, opened);
}

TEST_F(GraphWindow, TheFullScreenGraphHandsItsDoubleClickToItsParentAndOpensNoMenu) {
  graph.SetFullScreen();
  AfxTestDoubleClick(graph.GetSafeHwnd(), 200, 200);
  AfxTestWait(5000, [&] { return !owner.dblClicks.empty(); });
  ASSERT_EQ(1u, owner.dblClicks.size());
  EXPECT_EQ(0u, owner.dblClicks[0].first);
  EXPECT_EQ(0, owner.dblClicks[0].second);
  EXPECT_EQ(0, owner.fullScreen);  // no second full-screen window
  int opened = 0;
  CTestCallLater check(30, [&] {
    opened = AfxGetTrackingMenus(nullptr, nullptr, 2) > 0;
    EndMenu();
  });
  graph.SendMessage(WM_CONTEXTMENU, (WPARAM)graph.GetSafeHwnd(), MAKELPARAM(300, 300));
  EXPECT_TRUE(check.Wait());
  EXPECT_EQ(0, opened);
}

}  // namespace
