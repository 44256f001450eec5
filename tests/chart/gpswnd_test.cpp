// The GPS read-out: what it draws, and how often it repaints when fixes come fast.
#include "chart/GpsWnd.h"
#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

namespace {

// Pixels of the text (dark, whatever the smoothing) in a rectangle.
int TextPixels(const CBitmap& b, const CRect& r) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) {
      const COLORREF c = b.GetPixel(x, y);
      n += GetRValue(c) < 128 && GetGValue(c) < 128 && GetBValue(c) < 128;
    }
  return n;
}

void Render(CGpsWnd& w, CBitmap& out, const CRect& rc) {
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  out.CreateCompatibleBitmap(nullptr, rc.Width(), rc.Height());
  CBitmap* old = dc.SelectObject(&out);
  w.Draw(&dc, rc);
  dc.SelectObject(old);
}

class GpsWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    LPCTSTR cls = AfxRegisterWndClass(0);
    ASSERT_TRUE(parent.CreateEx(0, cls, "GPS", WS_POPUP | WS_VISIBLE, 40, 40, 220, 100, nullptr, nullptr));
    ASSERT_TRUE(wnd.Create(&parent, CRect(0, 0, 200, 90)));
    wnd.SetFrameColour(RGB(0xC8, 0x40, 0x10));
    AfxTestWait(500, [&] { return wnd.GetPaintCount() > 0; });
  }
  void TearDown() override { parent.DestroyWindow(); }

  CWnd parent;
  CGpsWnd wnd;
};

TEST_F(GpsWindow, ShowsPositionSpeedAndHeadingInsideItsFrame) {
  const CRect rc(0, 0, 200, 90);
  CBitmap empty;
  Render(wnd, empty, rc);
  const COLORREF frame = RGB(0xC8, 0x40, 0x10);
  EXPECT_EQ(0, TextPixels(empty, CRect(1, 1, 199, 89)));  // no data: nothing but the frame
  EXPECT_EQ(frame, empty.GetPixel(0, 0));
  EXPECT_EQ(frame, empty.GetPixel(199, 89));

  wnd.SetData(50.5, -1.25, 5.5, 271.25);
  EXPECT_EQ(CString("5.50 Kts"), wnd.GetSpeedText());
  EXPECT_EQ(CString("271.25\xC2\xBAT"), wnd.GetCourseText());
  CBitmap pic;
  Render(wnd, pic, rc);
  pic.SavePng("gps_window.png");
  EXPECT_EQ(frame, pic.GetPixel(0, 45));
  EXPECT_EQ(::GetSysColor(COLOR_WINDOW), pic.GetPixel(150, 2));
  // Four lines (latitude beside "Position:", longitude under it, speed, heading), three labels;
  // a line ends after 3 rows without text.
  auto countLines = [&](int x0, int x1) {
    int n = 0, blank = 3;
    for (int y = 1; y < 89; ++y) {
      if (TextPixels(pic, CRect(x0, y, x1, y + 1)) > 0) {
        n += blank >= 3;
        blank = 0;
      } else {
        ++blank;
      }
    }
    return n;
  };
  EXPECT_EQ(4, countLines(2, 198));
  EXPECT_EQ(3, countLines(2, 50));
  EXPECT_GT(TextPixels(pic, CRect(60, 1, 198, 20)), 20);  // the latitude beside "Position:"
}

TEST_F(GpsWindow, RepaintsAtMostOnceASecondAndAlwaysShowsTheLastFix) {
  wnd.SetData(50.5, -1.25, 5.5, 90.0);
  AfxTestWait(2000, [&] { return wnd.GetPaintedCourse() == 90.0; });
  ASSERT_EQ(90.0, wnd.GetPaintedCourse());
  const int paints = wnd.GetPaintCount();

  // The same values again change nothing.
  wnd.SetData(50.5, -1.25, 5.5, 90.0);
  AfxTestWait(50);
  EXPECT_EQ(paints, wnd.GetPaintCount());

  // A burst of changes of the course alone, within the second: held back, then the last is shown.
  for (double c : {91.0, 92.0, 93.0}) wnd.SetData(50.5, -1.25, 5.5, c);
  AfxTestWait(50);
  EXPECT_EQ(90.0, wnd.GetPaintedCourse());
  AfxTestWait(3000, [&] { return wnd.GetPaintedCourse() == 93.0; });
  EXPECT_EQ(93.0, wnd.GetPaintedCourse());
  EXPECT_EQ(93.0, wnd.GetCourse());
  EXPECT_LE(wnd.GetPaintCount(), paints + 2);
}

}  // namespace
