// The menus' drop shadows and opening animation as the popup bar uses them: strips under an open
// menu and its title, joined by sub-menus, gone with every way a menu closes.
#include "platform/core/AfxResource.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/UiResources.h"
#include "tests/support/TestWindows.h"
#include "tests/toolkit/PopupFixture.h"
#include "toolkit/CbCommandBars.h"
#include "toolkit/CbControlPopup.h"
#include "toolkit/CbMenuBar.h"
#include "toolkit/CbMouseManager.h"
#include "toolkit/CbPaintThemes.h"
#include "toolkit/CbPopupBar.h"
#include "toolkit/CbShadows.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace {

const AFX_UI_SCRIPT_INIT g_menuScript("popup_shadows_test", popup_test::kMenuScript,
                                      sizeof(popup_test::kMenuScript) - 1);

using test_support::BitmapPixel;

class MenuShadows : public popup_test::PopupFixture {
 protected:
  void PrepareLook() override {
    CCbPaintManager::SetTheme(2);
    AfxTestSetComposition(1);
  }
  void TearDown() override {
    PopupFixture::TearDown();
    EXPECT_EQ(CbShadowsManager()->GetCount(), 0);
    CbShadowsManager()->RemoveAll();
    AfxTestSetComposition(-1);
  }
};

TEST_F(MenuShadows, AnOpenMenuAndItsTitleCastShadowsThatDarkenNeither) {
  CCbControl* title = menuBar->GetControl(0);
  ClickControl(title);
  CCbPopupBar* file = PopupOf(0);
  ASSERT_TRUE(IsOpen(file));
  EXPECT_EQ(CbShadowsManager()->GetCount(file->m_hWnd), 4);  // the menu's two and the title's two
  CRect rc, rcTitle = ScreenRect(title);
  file->GetWindowRect(&rc);
  CBitmap own;
  ASSERT_TRUE(AfxCaptureWindow(file->m_hWnd, &own));
  CBitmap shot;
  CRect area(0, 0, 900, 600);
  ASSERT_TRUE(AfxCaptureScreen(&shot, &area));
  shot.SavePng("shadow_menu_open.png");
  for (int y = 0; y < rc.Height(); y += 3)
    for (int x = 0; x < rc.Width(); x += 3)
      ASSERT_EQ(BitmapPixel(shot, rc.left + x, rc.top + y), BitmapPixel(own, x, y)) << x << "," << y;
  // The strips are there: right of the menu and right of the title.
  CBitmap frameOnly;
  ASSERT_TRUE(AfxCaptureWindow(frame->m_hWnd, &frameOnly));
  CPoint fo;
  {
    CRect fr;
    frame->GetWindowRect(&fr);
    fo = fr.TopLeft();
  }
  EXPECT_NE(BitmapPixel(shot, rc.right, rc.top + 20), BitmapPixel(frameOnly, rc.right - fo.x, rc.top + 20 - fo.y));
  EXPECT_NE(BitmapPixel(shot, rcTitle.right, rcTitle.top + 8),
            BitmapPixel(frameOnly, rcTitle.right - fo.x, rcTitle.top + 8 - fo.y));
  // A second click closes it: no strip is left.
  ClickControl(title);
  EXPECT_FALSE(IsOpen(file));
  EXPECT_EQ(CbShadowsManager()->GetCount(), 0);
}

TEST_F(MenuShadows, NoStripOutlivesItsMenuWhicheverWayItCloses) {
  ClickControl(menuBar->GetControl(0));
  ASSERT_TRUE(IsOpen(PopupOf(0)));
  // Moving to the next title: the old menu's strips go, the new one's come.
  const CPoint p = menuBar->GetControl(1)->GetRect().CenterPoint();
  AfxTestMoveTo(menuBar->m_hWnd, p.x, p.y);
  AfxTestWait(10);
  ASSERT_TRUE(IsOpen(PopupOf(1)));
  EXPECT_EQ(CbShadowsManager()->GetCount(), 4);
  EXPECT_EQ(CbShadowsManager()->GetCount(PopupOf(1)->m_hWnd), 4);
  // Esc, Esc.
  AfxTestKeyStroke(VK_ESCAPE);
  EXPECT_EQ(CbShadowsManager()->GetCount(), 0);
  AfxTestKeyStroke(VK_ESCAPE);
  // A sub-menu adds its own two; Enter on an item closes everything.
  AfxTestKeyStroke('T', AFX_TEST_ALT, "t");
  AfxTestKeyStroke(VK_DOWN);
  CCbPopupBar* tides = PopupOf(2);
  ASSERT_TRUE(IsOpen(tides));
  AfxTestKeyStroke(VK_DOWN);
  AfxTestKeyStroke(VK_RIGHT);
  auto* zone = dynamic_cast<CCbPopupBar*>(tides->GetControl(1)->GetCommandBar());
  ASSERT_TRUE(IsOpen(zone));
  EXPECT_EQ(CbShadowsManager()->GetCount(zone->m_hWnd), 2);
  EXPECT_EQ(CbShadowsManager()->GetCount(), 6);
  AfxTestKeyStroke(VK_LEFT);
  EXPECT_EQ(CbShadowsManager()->GetCount(), 4);
  AfxTestKeyStroke(VK_RIGHT);
  AfxTestKeyStroke(VK_RETURN);
  EXPECT_FALSE(menuBar->IsTrackingMode());
  EXPECT_EQ(CbShadowsManager()->GetCount(), 0);
  // Tracking lost (another program took the activation).
  ClickControl(menuBar->GetControl(0));
  ASSERT_TRUE(IsOpen(PopupOf(0)));
  CbMouseManager()->SendTrackLost();
  AfxTestWait(10);
  EXPECT_EQ(CbShadowsManager()->GetCount(), 0);
}

TEST_F(MenuShadows, MenusOpenWithoutAnimationUnlessTheOptionAsks) {
  using Clock = std::chrono::steady_clock;
  auto t0 = Clock::now();
  ClickControl(menuBar->GetControl(0));
  ASSERT_TRUE(IsOpen(PopupOf(0)));
  EXPECT_LT(Clock::now() - t0, std::chrono::milliseconds(80));  // the system setting is off here
  AfxTestKeyStroke(VK_ESCAPE);
  AfxTestKeyStroke(VK_ESCAPE);
  frame->GetCommandBars()->GetCommandBarsOptions()->animationType = 4;  // fade
  t0 = Clock::now();
  ClickControl(menuBar->GetControl(0));
  CCbPopupBar* file = PopupOf(0);
  ASSERT_TRUE(IsOpen(file));
  EXPECT_GE(Clock::now() - t0, std::chrono::milliseconds(80));
  // It ends with the finished menu.
  CBitmap played, again;
  ASSERT_TRUE(AfxCaptureWindow(file->m_hWnd, &played));
  file->Invalidate(FALSE);
  ASSERT_TRUE(AfxCaptureWindow(file->m_hWnd, &again));
  CRect rc;
  file->GetClientRect(&rc);
  for (int y = 0; y < rc.Height(); y += 4)
    for (int x = 0; x < rc.Width(); x += 4)
      ASSERT_EQ(BitmapPixel(played, x, y), BitmapPixel(again, x, y)) << x << "," << y;
  frame->GetCommandBars()->GetCommandBarsOptions()->animationType = 0;
}

}  // namespace
