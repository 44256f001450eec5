// The right button and the wheel on the bars: a right press on a toolbar or a dock bar ends the
// menus and offers the toolbars menu, a modal popup chooses with the right button only when
// asked, and an open popup scrolls under the wheel wherever the pointer is; a hidden toolbar
// gives its room back at once.
#include "platform/testing/UiTest.h"
#include "platform/ui/UiResources.h"
#include "tests/support/BarHelpers.h"
#include "tests/toolkit/PopupFixture.h"
#include "toolkit/CbCommandBars.h"
#include "toolkit/CbMenuBar.h"
#include "toolkit/CbMouseManager.h"
#include "toolkit/CbPopupBar.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

namespace {

const AFX_UI_SCRIPT_INIT g_menuScript("barinput_test", popup_test::kMenuScript, sizeof(popup_test::kMenuScript) - 1);

class BarInput : public popup_test::PopupFixture {
 protected:
  // A closeable toolbar of three buttons, docked in a row of its own under the menu bar.
  CCbToolBar* AddTools() {
    CCbCommandBars* bars = frame->GetCommandBars();
    CCbToolBar* tools = bars->Add("Tools", cbBarTop);
    if (!tools) return nullptr;
    for (int id : {32814, 32815, 32816}) tools->GetControls()->Add(cbControlButton, id)->SetCaption("Tide");
    frame->RecalcLayout();
    AfxTestWait(20);
    return tools;
  }
  // What the toolbars menu listed when a right press opened it (then closed by Esc).
  struct Seen {
    bool menuBarTracking = true;
    std::string listed;
  };
  Seen RightPress(POINT at) {
    Seen seen;
    CTestCallLater look(30, [&] {
      seen.menuBarTracking = menuBar->IsTrackingMode() != 0;
      const auto& tracked = CbMouseManager()->GetTrackArray();
      if (!tracked.empty())
        if (auto* p = dynamic_cast<CCbPopupBar*>(tracked.back()); p && p->GetControlCount() > 0)
          seen.listed = (LPCTSTR)p->GetControl(0)->GetCaption();
      AfxTestKeyStroke(VK_ESCAPE);
    });
    AfxTestMouse(WM_RBUTTONDOWN, at);
    look.Wait();
    AfxTestMouse(WM_RBUTTONUP, at);
    AfxTestWait(10);
    return seen;
  }
  // A popup of many items, too tall for any screen.
  CCbPopupBar* LongPopup() {
    CCbPopupBar* popup = CCbPopupBar::CreatePopupBar(frame->GetCommandBars());
    CString s;
    for (int i = 0; i < 80; ++i) {
      s.Format("Port %d", i);
      popup->GetControls()->Add(cbControlButton, 32811)->SetCaption(s);
    }
    return popup;
  }
};

TEST_F(BarInput, ARightPressOnAToolbarOrItsDockBarEndsTheMenusAndOffersTheToolbarsMenu) {
  CCbToolBar* tools = AddTools();
  ASSERT_TRUE(tools && tools->GetSafeHwnd());
  CRect bar = test_support::Screen(tools);
  struct Case {
    const char* where;
    POINT at;
  } const cases[] = {
      {"the toolbar's grip", test_support::Grip(tools)},
      {"the dock bar beside the toolbar", POINT{bar.right + 20, bar.CenterPoint().y}},
  };
  for (const Case& c : cases) {
    ClickControl(menuBar->GetControl(0));
    ASSERT_TRUE(IsOpen(PopupOf(0))) << c.where;
    const Seen seen = RightPress(c.at);
    EXPECT_FALSE(seen.menuBarTracking) << c.where;
    EXPECT_EQ("Tools", seen.listed) << c.where;
    EXPECT_FALSE(CbMouseManager()->IsTracking()) << c.where;
    EXPECT_TRUE(tools->IsVisible()) << c.where;
    EXPECT_EQ(-1, tools->GetSelectedIndex()) << c.where;
  }
  EXPECT_TRUE(frame->commands.empty());
}

TEST_F(BarInput, AModalPopupChoosesWithTheRightButtonOnlyWhenAsked) {
  struct Case {
    UINT flags;
    UINT chosen;  // by a right click on the second item
  } const cases[] = {{TPM_RETURNCMD | TPM_RIGHTBUTTON, 32812}, {TPM_RETURNCMD, 0}};
  for (const Case& c : cases) {
    CCbPopupBar* popup = CCbPopupBar::CreatePopupBar(frame->GetCommandBars());
    popup->GetControls()->Add(cbControlButton, 32811)->SetCaption("&One");
    popup->GetControls()->Add(cbControlButton, 32812)->SetCaption("&Two");
    bool stayedOpen = false;
    CTestCallLater pick(30, [&] {
      const CPoint p = popup->GetControl(1)->GetRect().CenterPoint();
      AfxTestMoveTo(popup->m_hWnd, p.x, p.y);
      POINT s = Screen(popup, p);
      AfxTestMouse(WM_RBUTTONDOWN, s);
      AfxTestMouse(WM_RBUTTONUP, s);
      AfxTestWait(10);
      stayedOpen = popup->IsTrackingMode() != 0;
      if (stayedOpen) AfxTestKeyStroke(VK_ESCAPE);
    });
    const UINT cmd = frame->GetCommandBars()->TrackPopupBar(popup, c.flags, 300, 200);
    EXPECT_TRUE(pick.HasRun());
    EXPECT_EQ(c.chosen, cmd) << c.flags;
    EXPECT_EQ(c.chosen == 0, stayedOpen) << c.flags;
    popup->InternalRelease();
  }
  EXPECT_TRUE(frame->commands.empty());
}

TEST_F(BarInput, ANoNotifyPopupKeepsTheStatesItWasGiven) {
  // 32899 has no handler in the frame: its update disables it, unless the popup asks no one.
  struct Case {
    UINT flags;
    BOOL enabled;
  } const cases[] = {{TPM_RETURNCMD | TPM_NONOTIFY, TRUE}, {TPM_RETURNCMD, FALSE}};
  for (const Case& c : cases) {
    CCbPopupBar* popup = CCbPopupBar::CreatePopupBar(frame->GetCommandBars());
    CCbControl* item = popup->GetControls()->Add(cbControlButton, 32899);
    item->SetCaption("&Unhandled");
    BOOL enabled = -1;
    CTestCallLater look(30, [&] {
      popup->OnIdleUpdateCmdUI(TRUE);
      enabled = item->GetEnabled();
      AfxTestKeyStroke(VK_ESCAPE);
    });
    frame->GetCommandBars()->TrackPopupBar(popup, c.flags, 300, 200);
    EXPECT_TRUE(look.HasRun());
    EXPECT_EQ(c.enabled, enabled) << c.flags;
    popup->InternalRelease();
  }
}

TEST_F(BarInput, AnOpenPopupScrollsUnderTheWheelWhereverThePointerIs) {
  CCbPopupBar* popup = LongPopup();
  struct Step {
    const char* where;
    int delta;
    int first;  // the first item shown after the notch
  } const steps[] = {{"over the popup", -120, 1},
                     {"over the popup", -240, 3},
                     {"over the frame", -120, 4},
                     {"over the frame", 120, 3},
                     {"over the popup", 360, 0}};
  bool scrolling = false;
  std::vector<int> firsts;
  CTestCallLater roll(30, [&] {
    scrolling = popup->IsScrolling() != 0;
    CRect frameRect;
    frame->GetWindowRect(&frameRect);
    CRect popupRect;
    popup->GetWindowRect(&popupRect);
    for (const Step& s : steps) {
      POINT at = std::string(s.where) == "over the popup" ? POINT{popupRect.CenterPoint().x, popupRect.CenterPoint().y}
                                                          : POINT{frameRect.left + 50, frameRect.bottom - 20};
      AfxTestWheel(at, s.delta);
      AfxTestWait(5);
      firsts.push_back(popup->GetFirstVisible());
    }
    AfxTestKeyStroke(VK_ESCAPE);
  });
  // Right of the frame's left part, which stays uncovered.
  CRect frameRect;
  frame->GetWindowRect(&frameRect);
  frame->GetCommandBars()->TrackPopupBar(popup, TPM_RETURNCMD, frameRect.left + 400, frameRect.top);
  ASSERT_TRUE(roll.HasRun());
  ASSERT_TRUE(scrolling);
  ASSERT_EQ(std::size(steps), firsts.size());
  for (size_t i = 0; i < firsts.size(); ++i) EXPECT_EQ(steps[i].first, firsts[i]) << i << " " << steps[i].where;
  popup->InternalRelease();
}

TEST_F(BarInput, HidingAToolbarGivesItsRoomBackAtOnce) {
  CCbToolBar* tools = AddTools();
  ASSERT_TRUE(tools);
  CCbDockBar* top = frame->GetCommandBars()->GetDockBar(0);
  CRect before;
  top->GetWindowRect(&before);
  CRect bar = test_support::Screen(tools);
  ASSERT_GT(bar.Height(), 0);
  tools->SetVisible(FALSE);  // no idle time in between
  CRect after;
  top->GetWindowRect(&after);
  EXPECT_EQ(before.Height() - bar.Height(), after.Height());
  tools->SetVisible(TRUE);
  top->GetWindowRect(&after);
  EXPECT_EQ(before.Height(), after.Height());
}

}  // namespace
