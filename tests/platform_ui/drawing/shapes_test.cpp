// The filled shapes, paths, alpha blending, focus rectangles and the wait cursor, checked as a
// user sees them: in pixels and in the pointer's shape.
#include "platform/testing/UiTest.h"
#include "platform/ui/AfxWin.h"

#include <gtest/gtest.h>

namespace {

const COLORREF kBack = RGB(200, 200, 200), kRed = RGB(255, 0, 0), kBlack = RGB(0, 0, 0);

struct Canvas {
  CDC dc;
  CBitmap bmp;
  CBitmap* old = nullptr;
  CPen pen{PS_SOLID, 1, kBlack};
  CBrush brush{kRed};
  Canvas(int w, int h) {
    AfxWinInit(0, nullptr);
    dc.CreateCompatibleDC(nullptr);
    bmp.CreateCompatibleBitmap(nullptr, w, h);
    old = dc.SelectObject(&bmp);
    dc.FillSolidRect(0, 0, w, h, kBack);
    dc.SelectObject(&pen);
    dc.SelectObject(&brush);
  }
  ~Canvas() {
    dc.SelectObject(CPen::FromHandle((HPEN)::GetStockObject(BLACK_PEN)));
    dc.SelectObject(CBrush::FromHandle((HBRUSH)::GetStockObject(WHITE_BRUSH)));
    dc.SelectObject(old);
  }
  COLORREF At(int x, int y) { return dc.GetPixel(x, y); }
};

TEST(Shapes, EllipsesPiesAndRoundRectanglesFillInsideTheirOutline) {
  Canvas c(200, 100);
  // A pie of the upper-right quarter: counter-clockwise from the right (start) to the top (end).
  c.dc.Pie(0, 0, 60, 60, 60, 30, 30, 0);
  EXPECT_EQ(kRed, c.At(40, 20));   // inside the quarter
  EXPECT_EQ(kBack, c.At(20, 40));  // the opposite quarter stays empty
  EXPECT_EQ(kBack, c.At(20, 20));
  EXPECT_EQ(kBack, c.At(40, 40));
  // A round rectangle: filled, outlined, its corners cut off.
  c.dc.RoundRect(80, 10, 140, 70, 30, 30);
  EXPECT_EQ(kRed, c.At(110, 40));
  EXPECT_EQ(kBlack, c.At(110, 10));  // the top edge
  EXPECT_EQ(kBack, c.At(81, 11));    // the rounded corner
  // An ellipse: the centre filled, the bounding box's corner not.
  c.dc.Ellipse(150, 10, 190, 50);
  EXPECT_EQ(kRed, c.At(170, 30));
  EXPECT_EQ(kBack, c.At(151, 11));
}

TEST(Shapes, PathsFillStrokeOrBothAndEndClosedFigures) {
  Canvas c(200, 80);
  auto triangle = [&](int dx) {
    c.dc.BeginPath();
    c.dc.MoveTo(dx + 10, 70);
    c.dc.LineTo(dx + 35, 10);
    c.dc.LineTo(dx + 60, 70);
    c.dc.CloseFigure();
    c.dc.EndPath();
  };
  triangle(0);
  ASSERT_TRUE(c.dc.FillPath());  // fill only: no outline
  EXPECT_EQ(kRed, c.At(35, 50));
  EXPECT_EQ(kBack, c.At(12, 20));  // outside the slope
  EXPECT_NE(kBlack, c.At(35, 69));
  triangle(65);
  ASSERT_TRUE(c.dc.StrokePath());  // outline only
  EXPECT_EQ(kBack, c.At(100, 50));
  EXPECT_EQ(kBlack, c.At(100, 70));  // the closing edge along the bottom
  triangle(130);
  ASSERT_TRUE(c.dc.StrokeAndFillPath());
  EXPECT_EQ(kRed, c.At(165, 50));
  EXPECT_EQ(kBlack, c.At(165, 70));
  // A path is used up by filling it: a second fill draws nothing.
  c.dc.FillSolidRect(0, 0, 70, 80, kBack);
  EXPECT_FALSE(c.dc.FillPath());
  EXPECT_EQ(kBack, c.At(35, 50));
}

TEST(Shapes, AlphaBlendMixesBySourceConstantAlpha) {
  Canvas c(60, 20);
  Canvas src(20, 20);
  src.dc.FillSolidRect(0, 0, 20, 20, RGB(0, 0, 255));
  BLENDFUNCTION half{AC_SRC_OVER, 0, 128, 0}, full{AC_SRC_OVER, 0, 255, 0}, none{AC_SRC_OVER, 0, 0, 0};
  c.dc.FillSolidRect(0, 0, 60, 20, RGB(255, 0, 0));
  ASSERT_TRUE(c.dc.AlphaBlend(0, 0, 20, 20, &src.dc, 0, 0, 20, 20, half));
  ASSERT_TRUE(c.dc.AlphaBlend(20, 0, 20, 20, &src.dc, 0, 0, 20, 20, full));
  c.dc.AlphaBlend(40, 0, 20, 20, &src.dc, 0, 0, 20, 20, none);
  COLORREF mixed = c.At(10, 10);
  EXPECT_NEAR(127, GetRValue(mixed), 2);
  EXPECT_EQ(0, GetGValue(mixed));
  EXPECT_NEAR(128, GetBValue(mixed), 2);
  EXPECT_EQ(RGB(0, 0, 255), c.At(30, 10));
  EXPECT_EQ(RGB(255, 0, 0), c.At(50, 10));
}

TEST(Shapes, AFocusRectangleIsDottedAndASecondOneTakesItAway) {
  Canvas c(40, 40);
  c.dc.FillSolidRect(0, 0, 40, 40, RGB(255, 255, 255));
  CRect r(5, 5, 35, 35);
  c.dc.DrawFocusRect(&r);
  int on = 0, off = 0;
  for (int x = 5; x < 35; ++x) (c.At(x, 5) == RGB(255, 255, 255) ? off : on)++;
  EXPECT_GT(on, 10);  // dotted: every other pixel
  EXPECT_GT(off, 10);
  EXPECT_EQ(RGB(255, 255, 255), c.At(20, 20));  // nothing inside
  c.dc.DrawFocusRect(&r);
  for (int x = 5; x < 35; ++x) EXPECT_EQ(RGB(255, 255, 255), c.At(x, 5)) << x;
}

TEST(Shapes, TheWaitCursorShowsWhileAnyHolderLivesAndNests) {
  AfxWinInit(0, nullptr);
  EXPECT_FALSE(AfxTestWaitCursorShown());
  {
    CWaitCursor outer;
    EXPECT_TRUE(AfxTestWaitCursorShown());
    {
      CWaitCursor inner;
      EXPECT_TRUE(AfxTestWaitCursorShown());
    }
    EXPECT_TRUE(AfxTestWaitCursorShown());  // the outer one still holds it
  }
  EXPECT_FALSE(AfxTestWaitCursorShown());
}

}  // namespace
