// The colour table, its blends and contrast guard, the scheme query, the gradient fill and
// the scoped device-context objects.
#include "toolkit/CbColorManager.h"
#include "toolkit/CbDrawHelpers.h"
#include "toolkit/CbWinThemeWrapper.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

double WeightedDistance(COLORREF a, COLORREF b) {
  double dr = (GetRValue(a) - GetRValue(b)) * 195.0 / 255, dg = (GetGValue(a) - GetGValue(b)) * 390.0 / 255,
         db = (GetBValue(a) - GetBValue(b)) * 65.0 / 255;
  return std::sqrt(dr * dr + dg * dg + db * db);
}
double Brightness(COLORREF a) { return WeightedDistance(a, 0); }
double Required(double x, COLORREF ref) { return x * (2 - std::min(Brightness(ref), 220.0) / 220); }

COLORREF g_sys[31];
COLORREF FakeSys(int i) { return i >= 0 && i < 31 ? g_sys[i] : 0; }

class Colours : public ::testing::Test {
 protected:
  void SetUp() override { AfxWinInit(0, nullptr); }
};

TEST(Blend, RatiosBelowAHundredArePercentAndAboveArePerMille) {
  EXPECT_EQ(RGB(77, 77, 77), CCbColorManager::Blend(RGB(255, 255, 255), RGB(0, 0, 0), 30));
  EXPECT_EQ(RGB(42, 42, 42), CCbColorManager::Blend(RGB(255, 255, 255), RGB(0, 0, 0), 165));
  EXPECT_EQ(RGB(10, 20, 30), CCbColorManager::Blend(RGB(10, 20, 30), RGB(200, 100, 0), 1000));
}

TEST_F(Colours, TheClassicTableHoldsSystemColoursAndGuardedDerivedOnes) {
  CCbColorManager m;
  m.RefreshColors(TRUE);
  for (int i = 1; i <= 27; ++i) {
    if (i != 22) {
      EXPECT_EQ(GetSysColor(i), m.GetColor(i)) << i;
    }
  }
  EXPECT_EQ(0u, m.GetColor(0));
  EXPECT_EQ(0u, m.GetColor(28));
  EXPECT_EQ(RGB(207, 207, 207), m.GetColor(22));  // button face + 15
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), m.GetColor(51));
  EXPECT_EQ(m.GetColor(30), m.GetColor(53));
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), m.GetColor(57));  // no visual style
  COLORREF c31 = m.GetColor(31);
  EXPECT_EQ(RGB(GetRValue(c31) * 3 / 4, GetGValue(c31) * 3 / 4, GetBValue(c31) * 3 / 4), m.GetColor(34));
  // The bar face stays near the button face; every guarded entry keeps its distance.
  EXPECT_LE(WeightedDistance(m.GetColor(30), GetSysColor(COLOR_BTNFACE)),
            Required(35, GetSysColor(COLOR_BTNFACE)) + 1.5);
  const int rows[][3] = {{31, 30, 50},  {33, 30, 30},  {38, 30, 85},  {39, 30, 50},  {40, 30, 80},
                         {44, 41, 180}, {45, 31, 180}, {46, 30, 180}, {47, 33, 180}, {32, 30, 100}};
  for (auto& r : rows)
    EXPECT_GE(WeightedDistance(m.GetColor(r[0]), m.GetColor(r[1])), Required(r[2], m.GetColor(r[1])) - 1.5) << r[0];
  EXPECT_LE(WeightedDistance(m.GetColor(35), m.GetColor(41)), Required(145, m.GetColor(41)) + 1.5);
  // An index above the table is the colour itself; overrides win until removed.
  EXPECT_EQ(0x123456u, m.GetColor(0x123456));
  m.SetColor(41, RGB(1, 2, 3));
  EXPECT_EQ(RGB(1, 2, 3), m.GetColor(41));
  m.SetColor(41, (COLORREF)-1);
  EXPECT_NE(RGB(1, 2, 3), m.GetColor(41));
}

TEST_F(Colours, ABlackFaceBrightensToThirtyFiveAndTheTableFollowsTheColourQuery) {
  for (int i = 0; i < 31; ++i) g_sys[i] = GetSysColor(i);
  g_sys[COLOR_BTNFACE] = RGB(0, 0, 0);
  g_sys[COLOR_BTNSHADOW] = RGB(40, 40, 40);
  CCbColorManager m;
  m.SetSysColorFunc(FakeSys);
  m.RefreshColors(TRUE);
  EXPECT_EQ(RGB(35, 35, 35), m.GetColor(48));
  EXPECT_EQ(0u, m.GetColor(49));  // shadow of 43 or less darkens to black
  EXPECT_EQ(RGB(15, 15, 15), m.GetColor(22));
  g_sys[COLOR_BTNFACE] = RGB(100, 200, 50);
  m.RefreshColors(FALSE);  // unforced after the first: nothing changes
  EXPECT_EQ(RGB(35, 35, 35), m.GetColor(48));
  m.RefreshColors(TRUE);
  EXPECT_EQ(RGB(100 * 235 / 200, 235, 50 * 235 / 200), m.GetColor(48));
}

TEST_F(Colours, WithoutAVisualStyleTheSchemeIsNoneAndTheGradientsKeepTheirDefaults) {
  CCbColorManager m;
  EXPECT_EQ(0, m.GetCurrentSystemTheme());
  m.RefreshColors(TRUE);
  COLORREF face = GetSysColor(COLOR_BTNFACE), shadow = GetSysColor(COLOR_BTNSHADOW);
  COLORREF mid = CCbColorManager::Blend(face, GetSysColor(COLOR_WINDOW), 205);
  EXPECT_EQ(shadow, m.GetGradientLight(0));
  EXPECT_EQ(mid, m.GetGradientDark(1));
  EXPECT_EQ(mid, m.GetGradientLight(3));
  EXPECT_EQ(face, m.GetGradientDark(3));
  // A scheme set by the program replaces them, unless scheme colours are disabled.
  m.SetSystemTheme(2);
  m.RefreshColors(TRUE);
  EXPECT_EQ(RGB(175, 192, 130), m.GetGradientLight(0));
  EXPECT_EQ(RGB(96, 128, 88), m.GetColor(54));
  m.DisableLunaColors(TRUE);
  m.RefreshColors(TRUE);
  EXPECT_EQ(shadow, m.GetGradientLight(0));
  CCbWinThemeWrapper w;
  EXPECT_FALSE(w.OpenThemeData(nullptr, "TREEVIEW"));
  EXPECT_FALSE(w.IsAppThemed());
  COLORREF c = 0;
  EXPECT_EQ(E_FAIL, w.GetThemeColor(0, 0, 3801, &c));
}

TEST_F(Colours, GradientFillRunsFromTheFirstColourToTheSecondOrIsSolidOnLowColour) {
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CBitmap bmp;
  bmp.CreateCompatibleBitmap(nullptr, 100, 50);
  CBitmap* old = dc.SelectObject(&bmp);
  CRect r(0, 0, 100, 50);
  CbDrawHelpers()->GradientFill(&dc, &r, RGB(255, 0, 0), RGB(0, 0, 255), TRUE);
  COLORREF left = dc.GetPixel(0, 25), right = dc.GetPixel(99, 25), middle = dc.GetPixel(50, 25);
  EXPECT_GE(GetRValue(left), 245);
  EXPECT_GE(GetBValue(right), 245);
  EXPECT_NEAR(GetRValue(middle), 128, 10);
  CbDrawHelpers()->GradientFill(&dc, &r, RGB(0, 255, 0), RGB(0, 0, 0), FALSE);
  EXPECT_GE(GetGValue(dc.GetPixel(50, 0)), 245);
  EXPECT_LE(GetGValue(dc.GetPixel(50, 49)), 10);
  CbDrawHelpers()->SetScreenBitsPerPixelForTest(8);
  EXPECT_TRUE(CbDrawHelpers()->IsLowResolution(&dc));
  CCbColorManager low;  // a low-colour screen keeps the plain system colours
  low.RefreshColors(TRUE);
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), low.GetColor(30));
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), low.GetColor(41));
  CbDrawHelpers()->GradientFill(&dc, &r, RGB(10, 20, 30), RGB(200, 200, 200), TRUE);
  EXPECT_EQ(RGB(10, 20, 30), dc.GetPixel(0, 0));
  EXPECT_EQ(RGB(10, 20, 30), dc.GetPixel(99, 49));
  CbDrawHelpers()->SetScreenBitsPerPixelForTest(0);
  EXPECT_FALSE(CbDrawHelpers()->IsLowResolution(&dc));
  CRect empty(5, 5, 5, 5);
  CbDrawHelpers()->GradientFill(&dc, &empty, 0, 0xFFFFFF, TRUE);  // draws nothing
  dc.SelectObject(old);
}

TEST_F(Colours, ScopedObjectsRestoreWhatTheyReplaced) {
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CBitmap bmp;
  bmp.CreateCompatibleBitmap(nullptr, 40, 40);
  CBitmap* old = dc.SelectObject(&bmp);
  CPen* pen0 = dc.GetCurrentPen();
  CBrush* brush0 = dc.GetCurrentBrush();
  {
    CCbPenDC pen(&dc, RGB(255, 0, 0));
    CCbBrushDC brush(&dc, RGB(0, 0, 255));
    EXPECT_EQ(RGB(255, 0, 0), pen.GetColor());
    dc.Rectangle(0, 0, 20, 20);
    EXPECT_EQ(RGB(255, 0, 0), dc.GetPixel(0, 0));
    EXPECT_EQ(RGB(0, 0, 255), dc.GetPixel(10, 10));
    brush.SetColor(RGB(0, 255, 0));
    dc.Rectangle(20, 20, 40, 40);
    EXPECT_EQ(RGB(0, 255, 0), dc.GetPixel(30, 30));
  }
  EXPECT_EQ(pen0->GetSafeHandle(), dc.GetCurrentPen()->GetSafeHandle());
  EXPECT_EQ(brush0->GetSafeHandle(), dc.GetCurrentBrush()->GetSafeHandle());
  {
    // Drawing in the buffer reaches the target only when the buffer ends.
    CCbBufferDC buf(&dc, CRect(10, 10, 30, 30));
    buf.FillSolidRect(0, 0, 40, 40, RGB(9, 9, 9));
    EXPECT_NE(RGB(9, 9, 9), dc.GetPixel(15, 15));
  }
  EXPECT_EQ(RGB(9, 9, 9), dc.GetPixel(15, 15));
  EXPECT_EQ(RGB(255, 0, 0), dc.GetPixel(0, 0));  // outside the rectangle: untouched
  CBitmap pic;
  pic.CreateCompatibleBitmap(nullptr, 8, 8);
  {
    CCbCompatibleDC mem(&dc, &pic);
    mem.FillSolidRect(0, 0, 8, 8, RGB(1, 2, 3));
  }
  EXPECT_EQ(RGB(1, 2, 3), pic.GetPixel(4, 4));
  dc.SelectObject(old);
}

}  // namespace
