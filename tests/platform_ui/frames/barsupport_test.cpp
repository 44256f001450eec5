// What the command bars ask of the layer: a layout at the next idle time, the status bar as the
// outermost bottom strip whatever was made before it, the icon-title font, 32-bit pictures that
// keep their alpha, and icons drawn as one-colour shapes.
#include "platform/testing/UiTest.h"
#include "platform/ui/AfxWin.h"
#include "platform/ui/Icons.h"
#include "platform/ui/SysInfo.h"
#include "tests/platform_ui/FrameTest.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class CSideBar : public CControlBar {
 public:
  // Takes a 30-pixel strip of the free room on its side.
  LRESULT OnSizeParentHere(WPARAM, LPARAM lParam) {
    auto* p = (AFX_SIZEPARENTPARAMS*)lParam;
    CRect r = p->rect;
    if (m_bLeft) {
      r.right = r.left + 30;
      p->rect.left += 30;
    } else {
      r.top = r.bottom - 30;
      p->rect.bottom -= 30;
    }
    MoveWindow(&r);
    return 0;
  }
  BOOL m_bLeft = TRUE;
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CSideBar, CControlBar)
  ON_MESSAGE(WM_SIZEPARENT, OnSizeParentHere)
END_MESSAGE_MAP()

class CCountFrame : public CFrameWnd {
 public:
  int m_nLayouts = 0;
  void RecalcLayout(BOOL bNotify = TRUE) override {
    ++m_nLayouts;
    CFrameWnd::RecalcLayout(bNotify);
  }
};

class BarSupport : public FrameTest<CCountFrame> {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    frame = new CCountFrame;
    ASSERT_TRUE(frame->Create(nullptr, "Frame", WS_POPUP | WS_VISIBLE | WS_THICKFRAME, CRect(50, 50, 650, 450)));
  }
};

TEST_F(BarSupport, DelayedLayoutRunsOnceAtIdleTime) {
  const int before = frame->m_nLayouts;
  frame->DelayRecalcLayout();
  frame->DelayRecalcLayout();
  EXPECT_TRUE(frame->IsLayoutPending());
  EXPECT_EQ(frame->m_nLayouts, before);
  frame->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
  EXPECT_EQ(frame->m_nLayouts, before + 1);
  EXPECT_FALSE(frame->IsLayoutPending());
  frame->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
  EXPECT_EQ(frame->m_nLayouts, before + 1);
}

TEST_F(BarSupport, StatusBarIsTheBottomStripAcrossTheWholeWidth) {
  // A side bar and a bottom bar made before the status bar.
  CSideBar left, bottom;
  bottom.m_bLeft = FALSE;
  ASSERT_TRUE(left.CreateEx(0, nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 1, 1), frame, 0xE81B));
  ASSERT_TRUE(bottom.CreateEx(0, nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 1, 1), frame, 0xE81C));
  CStatusBar status;
  const UINT ids[] = {ID_SEPARATOR};
  ASSERT_TRUE(status.Create(frame));
  ASSERT_TRUE(status.SetIndicators(ids, 1));
  frame->RecalcLayout();
  CRect client;
  frame->GetClientRect(&client);
  const CRect s = ClientOf(status), l = ClientOf(left), b = ClientOf(bottom);
  EXPECT_EQ(s.left, 0);
  EXPECT_EQ(s.right, client.right);
  EXPECT_EQ(s.bottom, client.bottom);
  EXPECT_EQ(l.bottom, s.top);
  EXPECT_EQ(b.bottom, s.top);
}

TEST(BarSupportMetrics, IconTitleFontIsTheMenuFont) {
  NONCLIENTMETRICS ncm{};
  ncm.cbSize = sizeof ncm;
  ASSERT_TRUE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0));
  LOGFONT lf{};
  ASSERT_TRUE(SystemParametersInfo(SPI_GETICONTITLELOGFONT, sizeof lf, &lf, 0));
  EXPECT_STREQ(lf.lfFaceName, ncm.lfMenuFont.lfFaceName);
  EXPECT_EQ(lf.lfHeight, ncm.lfMenuFont.lfHeight);
  EXPECT_FALSE(SystemParametersInfo(SPI_GETICONTITLELOGFONT, sizeof lf, nullptr, 0));
}

TEST(BarSupportPictures, ThirtyTwoBitBitmapKeepsItsAlpha) {
  AfxWinInit(0, nullptr);
  // Two pixels: opaque red, and half-transparent blue (premultiplied).
  const BYTE bits[] = {0, 0, 255, 255, 64, 0, 0, 128};
  CBitmap pic;
  ASSERT_TRUE(pic.CreateBitmap(2, 1, 1, 32, bits));
  CBitmap target;
  CDC dc, src;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  ASSERT_TRUE(src.CreateCompatibleDC(nullptr));
  ASSERT_TRUE(target.CreateBitmap(2, 1, 1, 32, nullptr));
  CBitmap* oldT = dc.SelectObject(&target);
  CBitmap* oldS = src.SelectObject(&pic);
  dc.FillSolidRect(0, 0, 2, 1, RGB(255, 255, 255));
  BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  ASSERT_TRUE(dc.AlphaBlend(0, 0, 2, 1, &src, 0, 0, 2, 1, bf));
  EXPECT_EQ(dc.GetPixel(0, 0), RGB(255, 0, 0));
  const COLORREF c = dc.GetPixel(1, 0);
  EXPECT_NEAR(GetRValue(c), 127, 2);
  EXPECT_NEAR(GetBValue(c), 191, 2);
  // A picture with no alpha anywhere stays opaque.
  const BYTE plain[] = {0, 255, 0, 0};
  CBitmap opaque;
  ASSERT_TRUE(opaque.CreateBitmap(1, 1, 1, 32, plain));
  src.SelectObject(&opaque);
  dc.BitBlt(0, 0, 1, 1, &src, 0, 0, SRCCOPY);
  EXPECT_EQ(dc.GetPixel(0, 0), RGB(0, 255, 0));
  src.SelectObject(oldS);
  dc.SelectObject(oldT);
}

TEST(BarSupportPictures, DibSectionSharesItsBits) {
  AfxWinInit(0, nullptr);
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = 3;
  bmi.bmiHeader.biHeight = -2;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP h = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_TRUE(h);
  ASSERT_TRUE(bits);
  auto* px = static_cast<DWORD*>(bits);
  px[1 * 3 + 2] = 0xFF0000FF;  // row 1, column 2: opaque blue
  CBitmap pic;
  pic.Attach(h);
  EXPECT_EQ(pic.GetPixel(2, 1), RGB(0, 0, 255));
  // Painting into it shows through the bits.
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  CBitmap* old = dc.SelectObject(&pic);
  dc.SetPixel(0, 0, RGB(255, 0, 0));
  dc.SelectObject(old);
  EXPECT_EQ(px[0] & 0xFFFFFF, 0xFF0000u);
  // Rows from the bottom and other depths give nothing.
  bmi.bmiHeader.biHeight = 2;
  EXPECT_FALSE(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
  EXPECT_EQ(bits, nullptr);
  bmi.bmiHeader.biHeight = -2;
  bmi.bmiHeader.biBitCount = 24;
  EXPECT_FALSE(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
}

TEST(BarSupportPictures, IconDrawnAsOneColourShape) {
  AfxWinInit(0, nullptr);
  HICON icon = ::LoadIcon(nullptr, IDI_APPLICATION);
  ASSERT_TRUE(icon);
  CBitmap target;
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  ASSERT_TRUE(target.CreateBitmap(40, 40, 1, 32, nullptr));
  CBitmap* old = dc.SelectObject(&target);
  dc.FillSolidRect(0, 0, 40, 40, RGB(255, 255, 255));
  CBrush brush(RGB(0, 128, 0));
  ASSERT_TRUE(dc.DrawState(CPoint(4, 4), CSize(32, 32), icon, DST_ICON | DSS_MONO, &brush));
  int green = 0, other = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) {
      const COLORREF c = dc.GetPixel(x, y);
      if (c == RGB(0, 128, 0))
        ++green;
      else if (c != RGB(255, 255, 255) && GetRValue(c) != GetBValue(c))
        ++other;
    }
  EXPECT_GT(green, 50);
  EXPECT_EQ(other, 0);  // only the brush colour (and its blend with white at soft edges)
  dc.SelectObject(old);
}

}  // namespace
