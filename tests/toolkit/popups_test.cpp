// Popup menus and the menu bar as a user meets them: titles opened by mouse and keys, menus placed
// under their titles and beside their items, closed by Esc, a second click or a click elsewhere;
// the keyboard walk along titles and items; sub-menus and the frame's commands.
#include "platform/core/AfxResource.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/UiResources.h"
#include "tests/toolkit/PopupFixture.h"
#include "toolkit/CbCommandBars.h"
#include "toolkit/CbControlPopup.h"
#include "toolkit/CbMenuBar.h"
#include "toolkit/CbMouseManager.h"
#include "toolkit/CbPaintThemes.h"
#include "toolkit/CbPopupBar.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const AFX_UI_SCRIPT_INIT g_menuScript("popups_test", popup_test::kMenuScript, sizeof(popup_test::kMenuScript) - 1);

using popup_test::CMenuFrame;
using Popups = popup_test::PopupFixture;

TEST_F(Popups, MenuBarHoldsTheTitlesWithTheirMenus) {
  ASSERT_EQ(menuBar->GetControlCount(), 4 + 0);
  EXPECT_EQ(std::string(menuBar->GetControl(1)->GetCaption()), "&View");
  CCbPopupBar* file = PopupOf(0);
  ASSERT_TRUE(file);
  ASSERT_EQ(file->GetControlCount(), 3);
  EXPECT_TRUE(file->GetControl(2)->GetBeginGroup());
  EXPECT_EQ(std::string(file->GetControl(0)->GetMenuShortcutText()), "Ctrl+O");
  auto* zone = dynamic_cast<CCbControlPopup*>(PopupOf(2)->GetControl(1));
  ASSERT_TRUE(zone);
  ASSERT_TRUE(zone->GetCommandBar());
  EXPECT_EQ(zone->GetCommandBar()->GetControlCount(), 2);
}

TEST_F(Popups, AClickOpensTheMenuUnderItsTitleLaidOutAndASecondClickClosesIt) {
  CCbControl* title = menuBar->GetControl(0);
  ClickControl(title);
  CCbPopupBar* file = PopupOf(0);
  ASSERT_TRUE(IsOpen(file));
  EXPECT_TRUE(AfxTestIsUnmanagedNoFocus(file->m_hWnd));
  EXPECT_EQ(frame->popupInits, 1);
  CRect rc, titleRc = ScreenRect(title);
  file->GetWindowRect(&rc);
  EXPECT_EQ(rc.left, titleRc.left);
  EXPECT_EQ(rc.top, titleRc.bottom);
  // Items stacked from the top border, one width, the group's gap before Exit.
  const CRect a = file->GetControl(0)->GetRect(), b = file->GetControl(1)->GetRect(),
              c = file->GetControl(2)->GetRect();
  EXPECT_EQ(a.top, file->GetBorders().top);
  EXPECT_EQ(b.top, a.bottom);
  EXPECT_GT(c.top, b.bottom);
  EXPECT_EQ(a.Width(), c.Width());
  EXPECT_GT(a.Height(), 10);
  EXPECT_EQ(rc.Height(), c.bottom + file->GetBorders().bottom);
  EXPECT_EQ(rc.Width(), a.Width() + file->GetBorders().left + file->GetBorders().right);
  // Opened with the mouse: nothing selected in it; the focus stayed.
  EXPECT_EQ(file->GetSelectedIndex(), -1);
  EXPECT_EQ(::GetFocus(), view.m_hWnd);
  ClickControl(title);
  EXPECT_FALSE(IsOpen(file));
  EXPECT_FALSE(file->GetSafeHwnd());
  EXPECT_FALSE(menuBar->IsTrackingMode());
  EXPECT_EQ(frame->popupsClosed, 1);
}

TEST_F(Popups, MovingToTheNextTitleWithAMenuOpenOpensItsMenu) {
  ClickControl(menuBar->GetControl(0));
  ASSERT_TRUE(IsOpen(PopupOf(0)));
  const CPoint p = menuBar->GetControl(1)->GetRect().CenterPoint();
  AfxTestMoveTo(menuBar->m_hWnd, p.x, p.y);
  AfxTestWait(10);
  EXPECT_FALSE(IsOpen(PopupOf(0)));
  EXPECT_TRUE(IsOpen(PopupOf(1)));
}

TEST_F(Popups, ClickingAnItemRunsItsCommandAndClosesEveryMenu) {
  ClickControl(menuBar->GetControl(0));
  CCbPopupBar* file = PopupOf(0);
  ASSERT_TRUE(IsOpen(file));
  ClickControl(file->GetControl(1));
  ASSERT_EQ(frame->commands.size(), 1u);
  EXPECT_EQ(frame->commands[0], 32812u);
  EXPECT_FALSE(IsOpen(file));
  EXPECT_FALSE(menuBar->IsTrackingMode());
  EXPECT_FALSE(CbMouseManager()->IsTracking());
}

TEST_F(Popups, RestingOnASubMenuItemOpensItBesideTheItem) {
  ClickControl(menuBar->GetControl(2));
  CCbPopupBar* tides = PopupOf(2);
  ASSERT_TRUE(IsOpen(tides));
  CCbControl* zoneItem = tides->GetControl(1);
  const CPoint p = zoneItem->GetRect().CenterPoint();
  AfxTestMoveTo(tides->m_hWnd, p.x, p.y);
  auto* zone = dynamic_cast<CCbPopupBar*>(zoneItem->GetCommandBar());
  AfxTestWait(2000, [&] { return IsOpen(zone); });
  ASSERT_TRUE(IsOpen(zone));
  CRect rc, item = ScreenRect(zoneItem);
  zone->GetWindowRect(&rc);
  EXPECT_EQ(rc.left, item.right);
  EXPECT_EQ(rc.top, item.top);
  EXPECT_TRUE(IsOpen(tides));
}

TEST_F(Popups, AClickOnTheFrameClosesTheMenuAndReachesTheWindow) {
  ClickControl(menuBar->GetControl(0));
  ASSERT_TRUE(IsOpen(PopupOf(0)));
  AfxTestClick(view.m_hWnd, 5, 100);
  AfxTestWait(10);
  EXPECT_FALSE(IsOpen(PopupOf(0)));
  EXPECT_FALSE(menuBar->IsTrackingMode());
}

TEST_F(Popups, AltTapSelectsTheFirstTitleDownOpensItAndEscStepsBack) {
  AfxTestKeyStroke(VK_MENU);
  AfxTestWait(5);
  ASSERT_TRUE(menuBar->IsTrackingMode());
  EXPECT_EQ(menuBar->GetSelectedIndex(), 0);
  EXPECT_FALSE(IsOpen(PopupOf(0)));
  AfxTestKeyStroke(VK_DOWN);
  ASSERT_TRUE(IsOpen(PopupOf(0)));
  EXPECT_EQ(PopupOf(0)->GetSelectedIndex(), 0);  // opened by keyboard: the first item selected
  AfxTestKeyStroke(VK_DOWN);
  EXPECT_EQ(PopupOf(0)->GetSelectedIndex(), 1);
  // Right moves to the next title and opens it; Left comes back.
  AfxTestKeyStroke(VK_RIGHT);
  EXPECT_FALSE(IsOpen(PopupOf(0)));
  ASSERT_TRUE(IsOpen(PopupOf(1)));
  EXPECT_EQ(menuBar->GetSelectedIndex(), 1);
  AfxTestKeyStroke(VK_LEFT);
  EXPECT_TRUE(IsOpen(PopupOf(0)));
  // Esc closes the menu and leaves its title selected; a second Esc leaves the bar.
  AfxTestKeyStroke(VK_ESCAPE);
  EXPECT_FALSE(IsOpen(PopupOf(0)));
  EXPECT_TRUE(menuBar->IsTrackingMode());
  EXPECT_EQ(menuBar->GetSelectedIndex(), 0);
  AfxTestKeyStroke(VK_ESCAPE);
  EXPECT_FALSE(menuBar->IsTrackingMode());
  EXPECT_EQ(::GetFocus(), view.m_hWnd);
}

TEST_F(Popups, RightOpensASubMenuAndLeftClosesItOnly) {
  AfxTestKeyStroke('T', AFX_TEST_ALT, "t");  // shared by Tides and Tools: only selects
  EXPECT_TRUE(menuBar->IsTrackingMode());
  EXPECT_EQ(menuBar->GetSelectedIndex(), 2);
  EXPECT_FALSE(IsOpen(PopupOf(2)));
  AfxTestKeyStroke(VK_DOWN);
  CCbPopupBar* tides = PopupOf(2);
  ASSERT_TRUE(IsOpen(tides));
  AfxTestKeyStroke(VK_DOWN);
  EXPECT_EQ(tides->GetSelectedIndex(), 1);
  AfxTestKeyStroke(VK_RIGHT);
  auto* zone = dynamic_cast<CCbPopupBar*>(tides->GetControl(1)->GetCommandBar());
  ASSERT_TRUE(IsOpen(zone));
  EXPECT_EQ(zone->GetSelectedIndex(), 0);
  AfxTestKeyStroke(VK_LEFT);
  EXPECT_FALSE(IsOpen(zone));
  EXPECT_TRUE(IsOpen(tides));
  // Enter on an item runs it and closes everything.
  AfxTestKeyStroke(VK_UP);
  AfxTestKeyStroke(VK_RETURN);
  ASSERT_EQ(frame->commands.size(), 1u);
  EXPECT_EQ(frame->commands[0], 32817u);
  EXPECT_FALSE(menuBar->IsTrackingMode());
}

TEST_F(Popups, AltLetterOpensItsTitleAndALetterInTheMenuRunsItsItem) {
  AfxTestKeyStroke('V', AFX_TEST_ALT, "v");
  ASSERT_TRUE(IsOpen(PopupOf(1)));
  // "High && Low &Water Times": W is its letter, the doubled ampersand marks nothing.
  EXPECT_EQ(CCbCommandBar::GetMnemonic(PopupOf(1)->GetControl(1)->GetCaption()), (UINT)'W');
  AfxTestKeyStroke('W', 0, "w");
  ASSERT_EQ(frame->commands.size(), 1u);
  EXPECT_EQ(frame->commands[0], 32815u);
  EXPECT_FALSE(menuBar->IsTrackingMode());
}

TEST_F(Popups, F10EntersTheMenuBarAndAltLeavesIt) {
  AfxTestKeyStroke(VK_F10);
  ASSERT_TRUE(menuBar->IsTrackingMode());
  EXPECT_EQ(menuBar->GetSelectedIndex(), 0);
  AfxTestKeyStroke(VK_MENU);
  AfxTestWait(5);
  EXPECT_FALSE(menuBar->IsTrackingMode());
}

TEST_F(Popups, AltBackspaceInAnEditDoesNotEnterTheMenu) {
  CEdit edit;
  ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, CRect(0, 100, 200, 120), frame, 77));
  edit.SetFocus();
  AfxTestKeyStroke(VK_BACK, AFX_TEST_ALT);
  EXPECT_FALSE(menuBar->IsTrackingMode());
  EXPECT_EQ(::GetFocus(), edit.m_hWnd);
  edit.DestroyWindow();
}

TEST_F(Popups, AltGrTypesItsCharacterWithoutTheMenu) {
  CEdit edit;
  ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, CRect(0, 100, 200, 120), frame, 77));
  edit.SetFocus();
  AfxTestKeyStroke('Q', AFX_TEST_CTRL | AFX_TEST_ALT, "@");
  EXPECT_FALSE(menuBar->IsTrackingMode());
  CString text;
  edit.GetWindowText(text);
  EXPECT_EQ(std::string(text), "@");
  edit.DestroyWindow();
}

TEST_F(Popups, TheFrameMovedSizedOrMinimisedOrAnotherProgramActivatedEndsTheMenus) {
  enum { move, size, minimise, otherProgram };
  for (int what : {move, size, minimise, otherProgram}) {
    ClickControl(menuBar->GetControl(0));
    ASSERT_TRUE(IsOpen(PopupOf(0))) << what;
    switch (what) {
      case move: AfxTestWindowManagerMove(frame->m_hWnd, 40, 30); break;
      case size: AfxTestWindowManagerResize(frame->m_hWnd, 700, 450); break;
      case minimise: AfxTestWindowManagerMinimise(frame->m_hWnd, TRUE); break;
      case otherProgram: AfxTestApplicationState(FALSE); break;
    }
    AfxTestWait(20);
    EXPECT_FALSE(IsOpen(PopupOf(0))) << what;
    EXPECT_FALSE(menuBar->IsTrackingMode()) << what;
    if (what == minimise) AfxTestWindowManagerMinimise(frame->m_hWnd, FALSE);
    if (what == otherProgram) AfxTestApplicationState(TRUE);
    AfxTestWait(20);
    frame->SetActiveWindow();
  }
}

TEST_F(Popups, ATrackedPopupReturnsTheChosenCommandWithoutRunningIt) {
  CCbPopupBar* popup = CCbPopupBar::CreatePopupBar(frame->GetCommandBars());
  popup->GetControls()->Add(cbControlButton, 32811)->SetCaption("&One");
  popup->GetControls()->Add(cbControlButton, 32812)->SetCaption("&Two");
  CTestCallLater pick(30, [&] {
    ASSERT_TRUE(popup->IsTrackingMode());
    CRect rc;
    popup->GetWindowRect(&rc);
    EXPECT_EQ(rc.TopLeft(), CPoint(300, 200));
    AfxTestKeyStroke('T', 0, "t");
  });
  const UINT cmd = frame->GetCommandBars()->TrackPopupBar(popup, TPM_RETURNCMD, 300, 200);
  EXPECT_TRUE(pick.HasRun());
  EXPECT_EQ(cmd, 32812u);
  EXPECT_TRUE(frame->commands.empty());
  EXPECT_FALSE(popup->GetSafeHwnd());
  // Dismissed: none.
  CTestCallLater dismiss(30, [] { AfxTestKeyStroke(VK_ESCAPE); });
  EXPECT_EQ(frame->GetCommandBars()->TrackPopupBar(popup, TPM_RETURNCMD, 300, 200), 0u);
  popup->InternalRelease();
}

TEST_F(Popups, ARightClickOnABarListsOnlyCloseableToolbars) {
  CCbCommandBars* bars = frame->GetCommandBars();
  // The menu bar is never listed: nothing to show, and nothing left behind.
  CCbPopupBar* empty = bars->GetToolbarsPopup();
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->GetControlCount(), 0);
  empty->InternalRelease();
  bars->ContextMenu(100, 100);
  EXPECT_FALSE(CbMouseManager()->IsTracking());
  CCbToolBar* tools = bars->Add("Tools", cbBarTop);
  ASSERT_TRUE(tools);
  CCbPopupBar* list = bars->GetToolbarsPopup();
  ASSERT_EQ(list->GetControlCount(), 1);
  EXPECT_EQ(std::string(list->GetControl(0)->GetCaption()), "Tools");
  EXPECT_EQ(list->GetControl(0)->GetChecked(), 1);
  list->InternalRelease();
  // Choosing the entry hides the toolbar.
  CTestCallLater pick(30, [] { AfxTestKeyStroke(VK_RETURN); });
  CTestCallLater pickFirst(15, [] { AfxTestKeyStroke(VK_DOWN); });
  bars->ContextMenu(100, 100);
  EXPECT_FALSE(tools->IsVisible());
}

TEST_F(Popups, WithAMenuOpenTheFocusStaysAndKeysGoBackAfterEsc) {
  CEdit edit;
  ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, CRect(0, 100, 200, 120), frame, 77));
  edit.SetFocus();
  ClickControl(menuBar->GetControl(1));
  ASSERT_TRUE(IsOpen(PopupOf(1)));
  EXPECT_EQ(::GetFocus(), edit.m_hWnd);
  AfxTestKeyStroke('X', 0, "x");  // a menu letter, not the edit's
  AfxTestKeyStroke(VK_ESCAPE);
  AfxTestKeyStroke(VK_ESCAPE);
  EXPECT_FALSE(menuBar->IsTrackingMode());
  EXPECT_EQ(::GetFocus(), edit.m_hWnd);
  AfxTestKeyStroke('A', 0, "a");
  CString text;
  edit.GetWindowText(text);
  EXPECT_EQ(std::string(text), "a");
  edit.DestroyWindow();
}

class ExpandPopup : public Popups {};

TEST_F(ExpandPopup, ANarrowToolbarsExpandButtonOpensItsHiddenControls) {
  CCbCommandBars* bars = frame->GetCommandBars();
  CCbToolBar* standard = bars->Add("Standard", cbBarTop);
  ASSERT_TRUE(standard && standard->LoadToolBar(128));
  frame->MoveWindow(20, 20, 220, 300);
  frame->RecalcLayout();
  AfxTestWait(20);
  int hidden = 0;
  for (int i = 0; i < standard->GetControlCount(); ++i)
    hidden += (standard->GetControl(i)->GetHideFlags() & cbHideWrap) != 0;
  ASSERT_GT(hidden, 0);
  ASSERT_TRUE(standard->IsExpandShown());
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(standard->m_hWnd, &pic));  // lays the expand button out
  CCbControl* expand = standard->GetExpandButton();
  ASSERT_FALSE(expand->GetRect().IsRectEmpty());
  ClickControl(expand);
  auto* popup = dynamic_cast<CCbPopupToolBar*>(expand->GetCommandBar());
  ASSERT_TRUE(IsOpen(popup));
  // The hidden controls, then the toolbar's own menu, below a group line.
  ASSERT_EQ(popup->GetControlCount(), hidden + 1);
  EXPECT_TRUE(CbIsPopupType(popup->GetControl(hidden)->GetType()));
  CRect rc, button = ScreenRect(expand);
  popup->GetWindowRect(&rc);
  EXPECT_EQ(rc.top, button.bottom);
  CBitmap shot;
  ASSERT_TRUE(AfxCaptureWindow(popup->m_hWnd, &shot));
  shot.SavePng("expand_popup.png");
  // A second click closes it.
  ClickControl(expand);
  EXPECT_FALSE(IsOpen(popup));
}

}  // namespace
