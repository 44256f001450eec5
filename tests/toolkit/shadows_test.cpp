// Drop shadows of popups: where the strips go, their pixels, what they never cover, when they
// go, and that the mouse goes through them. Popups here are plain menu-kind windows.
#include "toolkit/CbShadows.h"

#include "platform/testing/UiTest.h"
#include "tests/support/TestWindows.h"
#include "toolkit/CbColorManager.h"
#include "toolkit/CbPaintManager.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using test_support::BitmapPixel;
using test_support::CSolidWnd;
using test_support::MakeSolidPopup;

std::vector<CShadowWnd*> Strips(HWND popup) {
  std::vector<CShadowWnd*> v;
  CShadowList& l = CbShadowsManager()->GetList();
  for (POSITION pos = l.GetHeadPosition(); pos;) {
    CShadowWnd* s = l.GetNext(pos);
    if (s->m_hWndPopup == popup) v.push_back(s);
  }
  return v;
}

CShadowWnd* Strip(HWND popup, BOOL bottom) {
  for (CShadowWnd* s : Strips(popup))
    if (s->m_bBottom == bottom) return s;
  return nullptr;
}

struct Shadows : ::testing::Test {
  void SetUp() override {
    AfxWinInit(0, nullptr);
    CCbPaintManager::SetTheme(2);
  }
  void TearDown() override {
    CbShadowsManager()->RemoveAll();
    AfxTestSetComposition(-1);
    CCbPaintManager::SetTheme(2);
  }
};

TEST_F(Shadows, StripsOfAMenuWithACompositor) {
  AfxTestSetComposition(1);
  CRect rc(100, 50, 260, 250);
  auto menu = MakeSolidPopup(rc, RGB(255, 255, 255));
  CbShadowsManager()->SetShadow(menu.get(), CRect(0, 0, 0, 0));
  ASSERT_EQ(CbShadowsManager()->GetCount(menu->m_hWnd), 2);
  CRect right, bottom;
  Strip(menu->m_hWnd, FALSE)->GetWindowRect(&right);
  Strip(menu->m_hWnd, TRUE)->GetWindowRect(&bottom);
  EXPECT_EQ(right, CRect(260, 54, 264, 250));    // 4 wide, from 4 below the top
  EXPECT_EQ(bottom, CRect(104, 250, 264, 254));  // from left + 4 to right + 4
  EXPECT_TRUE(Strip(menu->m_hWnd, FALSE)->m_bLayered);
  EXPECT_TRUE(Strip(menu->m_hWnd, FALSE)->IsWindowVisible());
  // Seen on the screen: darkest next to the menu, lighter outwards.
  auto under = MakeSolidPopup(CRect(0, 0, 400, 320), RGB(200, 200, 200));
  ::SetWindowPos(under->m_hWnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  CBitmap shot;
  CRect area(0, 0, 400, 320);
  ASSERT_TRUE(AfxCaptureScreen(&shot, &area));
  int inner = GetRValue(BitmapPixel(shot, 260, 150)), outer = GetRValue(BitmapPixel(shot, 263, 150));
  EXPECT_NEAR(inner, 200 - 200 * 60 / 255, 1);
  EXPECT_LT(inner, outer);
  EXPECT_LT(outer, 200);
  EXPECT_EQ(BitmapPixel(shot, 265, 150), RGB(200, 200, 200));
  shot.SavePng("shadow_menu_layered.png");
}

TEST_F(Shadows, SolidTwoPixelStripsWithoutACompositor) {
  AfxTestSetComposition(0);
  CRect rc(100, 50, 260, 250);
  auto menu = MakeSolidPopup(rc, RGB(255, 255, 255));
  CbShadowsManager()->SetShadow(menu.get(), CRect(0, 0, 0, 0));
  ASSERT_EQ(CbShadowsManager()->GetCount(menu->m_hWnd), 2);
  CShadowWnd* right = Strip(menu->m_hWnd, FALSE);
  EXPECT_FALSE(right->m_bLayered);
  EXPECT_FALSE(right->GetExStyle() & WS_EX_LAYERED);
  CRect rr;
  right->GetWindowRect(&rr);
  EXPECT_EQ(rr, CRect(260, 52, 262, 250));
  CBitmap shot;
  CRect area(0, 0, 400, 320);
  ASSERT_TRUE(AfxCaptureScreen(&shot, &area));
  EXPECT_EQ(BitmapPixel(shot, 261, 100), CbColorManager()->GetColor(16));  // never black
  EXPECT_EQ(BitmapPixel(shot, 150, 251), CbColorManager()->GetColor(16));
  // The choice is made again for every strip: a compositor that starts later gets soft ones.
  AfxTestSetComposition(1);
  auto second = MakeSolidPopup(CRect(300, 50, 350, 100), RGB(255, 255, 255));
  CbShadowsManager()->SetShadow(second.get(), CRect(0, 0, 0, 0));
  EXPECT_TRUE(Strip(second->m_hWnd, FALSE)->m_bLayered);
  EXPECT_FALSE(Strip(menu->m_hWnd, FALSE)->m_bLayered);
}

TEST(ShadowPixels, AlphaAndColourFactorsAlongAndAtTheEnds) {
  const COLORREF c = RGB(200, 100, 40);
  for (int q : {1, 2}) {
    const int cx = 4, cy = 20;
    std::vector<DWORD> bits(cx * cy);
    CCbShadowsManager::FillStripBits(bits.data(), cx, cy, FALSE, c, q);  // the right strip
    for (int k = 1; k <= 4; ++k) {
      DWORD px = bits[10 * cx + (cx - k)];  // k from the outer (right) edge
      int alpha = 15 * q * k;
      EXPECT_EQ((int)(px >> 24), alpha) << "k " << k;
      EXPECT_EQ((int)((px >> 16) & 0xFF), std::min(alpha, 200 * k / 4)) << "k " << k;
      EXPECT_EQ((int)((px >> 8) & 0xFF), std::min(alpha, 100 * k / 4));
      EXPECT_EQ((int)(px & 0xFF), std::min(alpha, 40 * k / 4));
    }
    for (int i = 1; i <= 4; ++i)
      for (int j = 1; j <= 4; ++j) {
        int alpha = 3 * q * i * j;
        DWORD top = bits[(j - 1) * cx + (cx - i)], bottom = bits[(cy - j) * cx + (cx - i)];
        EXPECT_EQ((int)(top >> 24), alpha);
        EXPECT_EQ((int)(bottom >> 24), alpha);
        EXPECT_EQ((int)(top & 0xFF), std::min(alpha, 40 * i * j / 20));
      }
  }
  // The bottom strip is the same turned: rows from the outer (lower) edge.
  std::vector<DWORD> bits(20 * 4);
  CCbShadowsManager::FillStripBits(bits.data(), 20, 4, TRUE, 0, 1);
  for (int k = 1; k <= 4; ++k) EXPECT_EQ((int)(bits[(4 - k) * 20 + 10] >> 24), 15 * k);
  EXPECT_EQ((int)(bits[3 * 20 + 0] >> 24), 3);       // outer corner of the left end
  EXPECT_EQ((int)(bits[0 * 20 + 19] >> 24), 3 * 4);  // right end, next to the popup
}

TEST(ShadowRules, ClassicLookWithTheSystemShadowOffShowsNone) {
  struct Case {
    BOOL own, layered, dropShadow, want;
  } cases[] = {
      {TRUE, TRUE, FALSE, TRUE},   {TRUE, FALSE, FALSE, TRUE},   // flat and gradient looks always
      {FALSE, TRUE, FALSE, FALSE}, {FALSE, FALSE, TRUE, FALSE},  // classic: needs both
      {FALSE, TRUE, TRUE, TRUE},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CCbShadowsManager::IsShadowWanted(c.own, c.layered, c.dropShadow), c.want)
        << c.own << c.layered << c.dropShadow;
}

TEST_F(Shadows, ClassicLookHereShowsNone) {
  AfxTestSetComposition(1);
  CCbPaintManager::SetTheme(1);
  ASSERT_FALSE(CbPaintManager()->HasOwnShadow());
  auto menu = MakeSolidPopup(CRect(100, 50, 260, 250), RGB(255, 255, 255));
  CbShadowsManager()->SetShadow(menu.get(), CRect(0, 0, 0, 0));  // the system's drop shadow is off
  EXPECT_EQ(CbShadowsManager()->GetCount(), 0);
}

TEST_F(Shadows, SubmenuStripsNeverDarkenTheParentNorTheTitle) {
  for (int composition : {1, 0}) {
    AfxTestSetComposition(composition);
    auto title = MakeSolidPopup(CRect(100, 30, 160, 50), RGB(0, 0, 255));
    CRect rcTitle(100, 30, 160, 50);
    auto menu = MakeSolidPopup(CRect(100, 50, 260, 250), RGB(255, 255, 255));
    CbShadowsManager()->SetShadow(menu.get(), rcTitle);
    // A submenu opening beside an item, overlapping the parent by a few pixels, and lower down.
    auto sub = MakeSolidPopup(CRect(256, 100, 400, 300), RGB(0, 255, 0));
    CbShadowsManager()->SetShadow(sub.get(), CRect(0, 0, 0, 0));
    CBitmap shot;
    CRect area(0, 0, 480, 360);
    ASSERT_TRUE(AfxCaptureScreen(&shot, &area));
    for (int y = 50; y < 250; y += 7)
      for (int x = 100; x < 256; x += 5) ASSERT_EQ(BitmapPixel(shot, x, y), RGB(255, 255, 255)) << x << "," << y;
    for (int y = 100; y < 300; y += 7)
      for (int x = 256; x < 400; x += 5) ASSERT_EQ(BitmapPixel(shot, x, y), RGB(0, 255, 0)) << x << "," << y;
    for (int x = 100; x < 160; x += 3) ASSERT_EQ(BitmapPixel(shot, x, 45), RGB(0, 0, 255)) << x;
    // The submenu's own strips are there, outside both menus.
    EXPECT_NE(BitmapPixel(shot, 401, 200), ::GetSysColor(COLOR_DESKTOP));
    if (composition) shot.SavePng("shadow_submenu.png");
    // Closing the submenu gives the parent's strip back where the submenu lay.
    CbShadowsManager()->RemoveShadow(sub.get());
    sub.reset();
    ASSERT_TRUE(AfxCaptureScreen(&shot, &area));
    EXPECT_NE(BitmapPixel(shot, 260, 150), ::GetSysColor(COLOR_DESKTOP));
    CbShadowsManager()->RemoveAll();
  }
}

TEST_F(Shadows, StripsFollowThePopupAndNeverOutliveIt) {
  AfxTestSetComposition(0);
  auto menu = MakeSolidPopup(CRect(100, 50, 260, 250), RGB(255, 255, 255));
  CbShadowsManager()->SetShadow(menu.get(), CRect(0, 0, 0, 0));
  ASSERT_EQ(CbShadowsManager()->GetCount(), 2);
  menu->ShowWindow(SW_HIDE);
  for (CShadowWnd* s : Strips(menu->m_hWnd)) EXPECT_FALSE(s->IsWindowVisible());
  menu->ShowWindow(SW_SHOWNA);
  for (CShadowWnd* s : Strips(menu->m_hWnd)) EXPECT_TRUE(s->IsWindowVisible());
  // Destroyed without RemoveShadow: the strips go with it.
  std::vector<HWND> strips;
  for (CShadowWnd* s : Strips(menu->m_hWnd)) strips.push_back(s->m_hWnd);
  menu->DestroyWindow();
  EXPECT_EQ(CbShadowsManager()->GetCount(), 0);
  for (HWND h : strips) EXPECT_FALSE(::IsWindow(h));
  // RemoveShadow takes both strips and leaves other popups' alone.
  auto a = MakeSolidPopup(CRect(10, 10, 60, 60), RGB(255, 255, 255));
  auto b = MakeSolidPopup(CRect(100, 10, 160, 60), RGB(255, 255, 255));
  CbShadowsManager()->SetShadow(a.get(), CRect(0, 0, 0, 0));
  CbShadowsManager()->SetShadow(b.get(), CRect(0, 0, 0, 0));
  CbShadowsManager()->RemoveShadow(a.get());
  EXPECT_EQ(CbShadowsManager()->GetCount(a->m_hWnd), 0);
  EXPECT_EQ(CbShadowsManager()->GetCount(b->m_hWnd), 2);
}

TEST_F(Shadows, ClickOnAStripReachesTheWindowUnderIt) {
  for (int composition : {0, 1}) {
    AfxTestSetComposition(composition);
    auto under = MakeSolidPopup(CRect(0, 0, 400, 320), RGB(200, 200, 200));
    auto menu = MakeSolidPopup(CRect(100, 50, 260, 250), RGB(255, 255, 255));
    CbShadowsManager()->SetShadow(menu.get(), CRect(0, 0, 0, 0));
    POINT onStrip{261, 150};
    EXPECT_EQ(::WindowFromPoint(onStrip), under->m_hWnd);
    AfxTestMouse(WM_MOUSEMOVE, onStrip);
    AfxTestMouse(WM_LBUTTONDOWN, onStrip);
    AfxTestMouse(WM_LBUTTONUP, onStrip);
    EXPECT_EQ(under->clicks, 1);
    EXPECT_EQ(menu->clicks, 0);
    CbShadowsManager()->RemoveAll();
  }
}

}  // namespace
