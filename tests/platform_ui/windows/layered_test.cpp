// Layered windows, window shapes, input-transparent windows and the screen picture, on the
// headless platform; the X server's side is tests/toolkit/shadows_x11_test.cpp.
#include "platform/testing/UiTest.h"
#include "platform/ui/AfxWin.h"
#include "tests/support/TestWindows.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using test_support::BitmapPixel;
using test_support::CSolidWnd;
using test_support::MakeSolidPopup;

struct Fixture : ::testing::Test {
  void SetUp() override { AfxWinInit(0, nullptr); }
  void TearDown() override { AfxTestSetComposition(-1); }
};

// A layered picture of 2 x 1 pixels: opaque red, and black at half alpha.
BOOL UpdateWithHalfShadow(HWND h, CRect rc) {
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = rc.Width();
  bmi.bmiHeader.biHeight = -rc.Height();
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP hbm = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  EXPECT_TRUE(hbm && bits);
  auto* p = static_cast<DWORD*>(bits);
  for (int i = 0; i < rc.Width() * rc.Height(); ++i)
    p[i] = (i % rc.Width() < rc.Width() / 2) ? 0xFFFF0000u : 0x80000000u;
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CBitmap* old = dc.SelectObject(CBitmap::FromHandle(hbm));
  POINT src{0, 0}, dst{rc.left, rc.top};
  SIZE size{rc.Width(), rc.Height()};
  BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  BOOL ok = ::UpdateLayeredWindow(h, nullptr, &dst, &size, dc.GetSafeHdc(), &src, 0, &bf, ULW_ALPHA);
  dc.SelectObject(old);
  ::DeleteObject(hbm);
  return ok;
}

TEST_F(Fixture, LayeredWindowBlendsItsAlphaOverWhatLiesBeneath) {
  auto under = MakeSolidPopup(CRect(100, 100, 300, 200), RGB(200, 200, 200));
  CRect rc(120, 120, 160, 140);
  auto layered = MakeSolidPopup(rc, 0, WS_EX_LAYERED);
  AfxTestSetComposition(1);
  ASSERT_TRUE(UpdateWithHalfShadow(layered->m_hWnd, rc));
  CBitmap shot;
  CRect area(0, 0, 400, 300);
  ASSERT_TRUE(AfxCaptureScreen(&shot, &area));
  EXPECT_EQ(BitmapPixel(shot, 125, 125), RGB(255, 0, 0));  // opaque half
  COLORREF half = BitmapPixel(shot, 150, 125);             // 200 x (1 - 128/255)
  EXPECT_NEAR(GetRValue(half), 100, 2);
  EXPECT_NEAR(GetGValue(half), 100, 2);
  EXPECT_EQ(BitmapPixel(shot, 200, 180), RGB(200, 200, 200));
}

TEST_F(Fixture, LayeredWindowFailsWithoutACompositor) {
  auto under = MakeSolidPopup(CRect(100, 100, 300, 200), RGB(200, 200, 200));
  CRect rc(120, 120, 160, 140);
  auto layered = MakeSolidPopup(rc, 0, WS_EX_LAYERED);
  AfxTestSetComposition(0);
  EXPECT_FALSE(::AfxIsCompositionActive());
  EXPECT_FALSE(UpdateWithHalfShadow(layered->m_hWnd, rc));
  CBitmap shot;
  CRect area(0, 0, 400, 300);
  ASSERT_TRUE(AfxCaptureScreen(&shot, &area));
  EXPECT_EQ(BitmapPixel(shot, 150, 125), RGB(200, 200, 200));  // nothing dark where nothing blends
  // A plain window is no layered one.
  AfxTestSetComposition(1);
  EXPECT_FALSE(UpdateWithHalfShadow(under->m_hWnd, CRect(100, 100, 300, 200)));
}

TEST_F(Fixture, WindowShapeCutsPixelsAndClicks) {
  auto under = MakeSolidPopup(CRect(100, 100, 300, 200), RGB(0, 0, 255));
  auto top = MakeSolidPopup(CRect(100, 100, 300, 200), RGB(0, 255, 0));
  CRgn rgn;
  rgn.CreateRectRgn(0, 0, 100, 100);  // the left half of the window
  ASSERT_TRUE(::SetWindowRgn(top->m_hWnd, (HRGN)rgn.Detach(), TRUE));
  CRgn back;
  back.CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(::GetWindowRgn(top->m_hWnd, (HRGN)back.m_hObject), SIMPLEREGION);
  EXPECT_EQ(::WindowFromPoint(POINT{150, 150}), top->m_hWnd);
  EXPECT_EQ(::WindowFromPoint(POINT{250, 150}), under->m_hWnd);
  CBitmap shot;
  CRect area(0, 0, 400, 300);
  ASSERT_TRUE(AfxCaptureScreen(&shot, &area));
  EXPECT_EQ(BitmapPixel(shot, 150, 150), RGB(0, 255, 0));
  EXPECT_EQ(BitmapPixel(shot, 250, 150), RGB(0, 0, 255));
  AfxTestMouse(WM_MOUSEMOVE, POINT{250, 150});
  AfxTestMouse(WM_LBUTTONDOWN, POINT{250, 150});
  AfxTestMouse(WM_LBUTTONUP, POINT{250, 150});
  EXPECT_EQ(under->clicks, 1);
  EXPECT_EQ(top->clicks, 0);
  // Back to the whole window.
  ::SetWindowRgn(top->m_hWnd, nullptr, TRUE);
  EXPECT_EQ(::GetWindowRgn(top->m_hWnd, (HRGN)back.m_hObject), ERROR);
  EXPECT_EQ(::WindowFromPoint(POINT{250, 150}), top->m_hWnd);
}

TEST_F(Fixture, TransparentToTheMouseLetsClicksThrough) {
  auto under = MakeSolidPopup(CRect(100, 100, 300, 200), RGB(0, 0, 255));
  auto glass = MakeSolidPopup(CRect(150, 120, 250, 180), RGB(0, 0, 0));
  glass->hit = HTTRANSPARENT;
  EXPECT_EQ(::WindowFromPoint(POINT{200, 150}), under->m_hWnd);
  AfxTestMouse(WM_MOUSEMOVE, POINT{200, 150});
  AfxTestMouse(WM_LBUTTONDOWN, POINT{200, 150});
  AfxTestMouse(WM_LBUTTONUP, POINT{200, 150});
  EXPECT_EQ(under->clicks, 1);
  EXPECT_EQ(glass->clicks, 0);
}

TEST_F(Fixture, ScreenPictureStacksWindowsInOrder) {
  auto a = MakeSolidPopup(CRect(10, 10, 110, 110), RGB(255, 0, 0));
  auto b = MakeSolidPopup(CRect(60, 60, 160, 160), RGB(0, 255, 0));
  CBitmap shot;
  CRect area(0, 0, 200, 200);
  ASSERT_TRUE(AfxCaptureScreen(&shot, &area));
  EXPECT_EQ(BitmapPixel(shot, 30, 30), RGB(255, 0, 0));
  EXPECT_EQ(BitmapPixel(shot, 80, 80), RGB(0, 255, 0));  // the later shown is on top
  EXPECT_EQ(BitmapPixel(shot, 190, 190), ::GetSysColor(COLOR_DESKTOP));
  ::SetWindowPos(a->m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ASSERT_TRUE(AfxCaptureScreen(&shot, &area));
  EXPECT_EQ(BitmapPixel(shot, 80, 80), RGB(255, 0, 0));
  b->ShowWindow(SW_HIDE);
  ASSERT_TRUE(AfxCaptureScreen(&shot, &area));
  EXPECT_EQ(BitmapPixel(shot, 150, 150), ::GetSysColor(COLOR_DESKTOP));
}

TEST_F(Fixture, PresentingPaintsWhatIsPendingAtOnce) {
  auto w = MakeSolidPopup(CRect(10, 10, 60, 60), RGB(1, 2, 3));
  w->clr = RGB(9, 8, 7);
  w->Invalidate(FALSE);
  EXPECT_TRUE(AfxPresentWindow(w->m_hWnd));
  CClientDC dc(w.get());
  EXPECT_EQ(dc.GetPixel(5, 5), RGB(9, 8, 7));
  EXPECT_FALSE(AfxPresentWindow(nullptr));
}

TEST(SessionPlatform, WaylandSessionsRunOnX11UnlessTheUserChose) {
  struct Case {
    const char *qpa, *session, *wayland, *display, *want;
  } cases[] = {
      {nullptr, "wayland", "wayland-0", ":0", "xcb"},
      {"", "wayland", nullptr, ":1", "xcb"},
      {nullptr, nullptr, "wayland-0", ":0", "xcb"},
      {"wayland", "wayland", "wayland-0", ":0", nullptr},  // the user's choice
      {"offscreen", "wayland", "wayland-0", ":0", nullptr},
      {nullptr, "wayland", "wayland-0", nullptr, nullptr},  // no XWayland: Qt's own choice
      {nullptr, "x11", nullptr, ":0", nullptr},
      {nullptr, nullptr, nullptr, nullptr, nullptr},
  };
  for (const Case& c : cases) {
    const char* got = AfxPlatformForSession(c.qpa, c.session, c.wayland, c.display);
    if (c.want) {
      ASSERT_NE(got, nullptr) << (c.session ? c.session : "-");
      EXPECT_STREQ(got, c.want);
    } else {
      EXPECT_EQ(got, nullptr) << (c.qpa ? c.qpa : "-") << " " << (c.display ? c.display : "-");
    }
  }
}

}  // namespace
