// The program started as a user starts it, in this process, with its own settings and data
// folders; restarted by closing the main window and starting again.
#pragma once

#include "app/DlgWarning.h"
#include "app/MainFrm.h"
#include "app/NeapwiseApp.h"
#include "app/Resource.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/Menu.h"
#include "toolkit/CbControlComboBox.h"
#include "toolkit/CbMouseManager.h"
#include "toolkit/CbPopupBar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace app_test {

namespace fs = std::filesystem;

inline CNeapwiseApp& TheApp() {
  static CNeapwiseApp app;
  return app;
}

// The toolkit's open popup menus, outermost first.
inline std::vector<CCbPopupBar*> OpenPopupBars() {
  std::vector<CCbPopupBar*> open;
  for (CCbCommandBar* b : CbMouseManager()->GetTrackArray())
    if (auto* p = dynamic_cast<CCbPopupBar*>(b); p && p->GetSafeHwnd() && p->IsWindowVisible()) open.push_back(p);
  return open;
}

// Clicks through popup menus with the mouse once they are tracking: items[k] is the item of the
// menu at depth k + 1 (a negative index counts from the end). The menu bar's menus are the
// toolkit's, whose items are their controls; context menus are the platform's. Looks again every
// 20 ms; every menu is closed after 3 s so a fault can't hang the test. Call before the click that
// opens the menu; MenuClicksDone waits for the last click.
inline bool& MenuClicksMade() {
  static bool made;
  return made;
}
inline void ClickMenuItemsWhenShown(std::vector<int> items) {
  static std::vector<int> path;
  static int level;
  static std::function<void()> step;
  path = std::move(items);
  level = 0;
  MenuClicksMade() = false;
  step = [] {
    const int depth = (int)path.size();
    const std::vector<CCbPopupBar*> bars = OpenPopupBars();
    if (!bars.empty()) {
      const int n = (int)bars.size();
      int item = n <= depth ? path[(size_t)n - 1] : 0;
      if (n <= depth && item < 0) item += bars.back()->GetControlCount();
      CCbControl* c = n <= depth && n > level ? bars.back()->GetControl(item) : nullptr;
      if (!c || c->GetRect().IsRectEmpty()) {
        AfxCallLater(20, step);
        return;
      }
      level = n;
      POINT p = c->GetRect().CenterPoint();
      bars.back()->ClientToScreen(&p);
      AfxTestMouse(WM_MOUSEMOVE, p);
      AfxTestMouse(WM_LBUTTONDOWN, p);
      AfxTestMouse(WM_LBUTTONUP, p);
      if (n < depth)
        AfxCallLater(30, step);
      else
        MenuClicksMade() = true;
      return;
    }
    HMENU m[3];
    HWND w[3];
    RECT rc;
    const int n = AfxGetTrackingMenus(m, w, 3);
    int item = n >= 1 && n <= depth ? path[n - 1] : 0;
    if (n >= 1 && n <= depth && item < 0) item += GetMenuItemCount(m[n - 1]);
    if (n < 1 || n > depth || n <= level || item < 0 || !GetMenuItemRect(w[n - 1], m[n - 1], (UINT)item, &rc)) {
      AfxCallLater(20, step);
      return;
    }
    level = n;
    const POINT p{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    AfxTestMouse(WM_MOUSEMOVE, p);
    AfxTestMouse(WM_LBUTTONDOWN, p);
    AfxTestMouse(WM_LBUTTONUP, p);
    if (n < depth)
      AfxCallLater(30, step);
    else
      MenuClicksMade() = true;
  };
  AfxCallLater(20, step);
  AfxCallLater(3000, [] {
    EndMenu();
    CbMouseManager()->SendTrackLost();
  });
}

// Runs the program until ClickMenuItemsWhenShown has made its last click and every menu has
// closed, however long a loaded machine takes to open the menus on the way; FALSE on timeout.
inline bool MenuClicksDone(int timeoutMs = 5000) {
  AfxTestWait(timeoutMs, [] {
    HMENU m[1];
    HWND w[1];
    return MenuClicksMade() && OpenPopupBars().empty() && AfxGetTrackingMenus(m, w, 1) == 0;
  });
  return MenuClicksMade();
}

// A click on a title of the menu bar, as a user makes it.
inline void ClickMenuTitle(CMainFrame* frame, int nTitle) {
  CCbMenuBar& bar = frame->GetMenuBar();
  CCbControl* title = bar.GetControl(nTitle);
  ASSERT_NE(nullptr, title);
  const CPoint c = title->GetRect().CenterPoint();
  AfxTestMoveTo(bar.GetSafeHwnd(), c.x, c.y);
  AfxTestClick(bar.GetSafeHwnd(), c.x, c.y);
}

// Answers the start-up dialogs as a user who waits would: the notice gets its timer's ticks at
// once and closes itself; the tip of the day is closed.
inline void AnswerStartupDialog(CDialog* dlg) {
  if (auto* notice = dynamic_cast<CDlgWarning*>(dlg)) {
    for (int i = 0; i <= CDlgWarning::kLastTick + 1 && ::IsWindow(notice->GetSafeHwnd()); ++i)
      notice->SendMessage(WM_TIMER, CDlgWarning::kTimerId, 0);
    return;
  }
  dlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

class Program : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/neapwise-frame-XXXXXX";
    m_root = ::mkdtemp(tmpl);
    fs::create_directories(m_root / "config");
    fs::create_directories(m_root / "data");
    ::setenv("XDG_CONFIG_HOME", (m_root / "config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (m_root / "data").c_str(), 1);
    AfxWinInit(0, nullptr);
    TheApp().ResetProfile();
    m_boxes.clear();
    AfxSetMessageBoxHook([this](const AFX_MSGBOX_REQUEST& r) {
      m_boxes.push_back(r.text);
      return IDOK;
    });
    CNeapwiseApp::SetStartupDialogHook(AnswerStartupDialog);
  }

  void TearDown() override {
    Close();
    AfxSetMessageBoxHook(nullptr);
    CNeapwiseApp::SetStartupDialogHook(nullptr);
    TheApp().ResetProfile();
    std::error_code ec;
    fs::remove_all(m_root, ec);
  }

  // Starts the program; the frame, or null when start-up ended.
  CMainFrame* Start() {
    if (!TheApp().InitInstance()) return m_frame = nullptr;
    m_frame = dynamic_cast<CMainFrame*>(TheApp().m_pMainWnd);
    if (m_frame) m_frame->MoveWindow(0, 0, 1000, 700);
    Settle();
    return m_frame;
  }

  // Closes the main window as the user does.
  // (Not as the main window: that would end the message loop for the tests that follow.)
  void Close() {
    TheApp().m_pMainWnd = nullptr;
    if (m_frame && ::IsWindow(m_frame->GetSafeHwnd())) {
      m_frame->SendMessage(WM_CLOSE);
      Settle();
    }
    m_frame = nullptr;
    ASSERT_FALSE(AfxQuitRequested());
  }

  CMainFrame* Restart() {
    Close();
    TheApp().ResetProfile();
    return Start();
  }

  void Settle(int ms = 30) {
    AfxTestWait(ms);
    TheApp().OnIdle(0);
  }

  // The index of a port by name.
  int PortIndex(const char* name) {
    CPortDB& db = m_frame->PortDB();
    for (int i = 0; i < db.GetCount(); ++i)
      if (db.GetPort(i)->GetName() == name) return i;
    return -1;
  }

  CRightPane& Right() { return *m_frame->GetRightPane(); }
  CLeftPane& Left() { return *m_frame->GetLeftPane(); }
  CString Pane(UINT id) { return m_frame->GetPaneText(id); }

  // Opens a bar combo with a click on it, as a user does; FALSE when its list did not open.
  BOOL OpenCombo(CCbControlComboBox* combo) {
    CCbCommandBar* bar = combo ? combo->GetParent() : nullptr;
    if (!bar || !bar->IsWindowVisible() || !combo->IsVisible()) return FALSE;
    Settle((int)GetDoubleClickTime() + 20);  // a click of its own, not the second of a double click
    // A combo with an edit window opens from its drop button.
    CPoint at = combo->GetRect().CenterPoint();
    if (combo->GetEditCtrl()) at.x = combo->GetRect().right - std::max(2, combo->GetDropDownWidth() / 2);
    AfxTestMoveTo(bar->GetSafeHwnd(), at.x, at.y);
    AfxTestClick(bar->GetSafeHwnd(), at.x, at.y);
    Settle();
    return combo->IsListOpen();
  }
  // The middle of an item of an open list, scrolled into view first.
  CPoint ListItemPoint(CCbControlComboBox* combo, int index) {
    HWND list = combo->GetListHwnd();
    RECT r{};
    if (::SendMessage(list, LB_GETITEMRECT, (WPARAM)index, (LPARAM)&r) == LB_ERR || r.bottom <= 0 ||
        r.top >= combo->GetList()->GetClientRectHeight()) {
      ::SendMessage(list, LB_SETTOPINDEX, (WPARAM)index, 0);
      ::SendMessage(list, LB_GETITEMRECT, (WPARAM)index, (LPARAM)&r);
    }
    return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  // Picks an item of a bar combo as a user does: opens its list and clicks the item.
  void PickCombo(IBarCombo* item, int index) {
    auto* combo = dynamic_cast<CCbControlComboBox*>(item);
    ASSERT_NE(nullptr, combo);
    ASSERT_TRUE(OpenCombo(combo)) << index;
    const CPoint at = ListItemPoint(combo, index);
    AfxTestMoveTo(combo->GetListHwnd(), at.x, at.y);
    AfxTestClick(combo->GetListHwnd(), at.x, at.y);
    Settle();
    ASSERT_FALSE(combo->IsListOpen());
  }
  void PickDate(int day, int month, int year) {
    PickCombo(m_frame->GetYearCombo(), year - m_frame->GetFirstYear());
    PickCombo(m_frame->GetMonthCombo(), month - 1);
    PickCombo(m_frame->GetDayCombo(), day - 1);
  }
  CQsDateTime Selected() { return m_frame->GetSelectedDate(); }

  // A command as the menu sends it.
  void Command(UINT id) {
    m_frame->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
    Settle();
  }

  // The tree item of a port.
  HTREEITEM PortItem(int port) {
    CPortsTree& tree = Left().PortsTree();
    for (HTREEITEM area = tree.GetRootItem(); area; area = tree.GetNextSiblingItem(area))
      for (HTREEITEM item = tree.GetChildItem(area); item; item = tree.GetNextSiblingItem(item))
        if ((int)tree.GetItemData(item) == port) return item;
    return nullptr;
  }

  // A click on a port of the tree, scrolled into view first as a user would.
  void ClickPort(int port) {
    CPortsTree& tree = Left().PortsTree();
    HTREEITEM item = PortItem(port);
    ASSERT_NE(nullptr, item) << port;
    tree.EnsureVisible(item);
    Settle();
    CRect r;
    ASSERT_TRUE(tree.GetItemRect(item, &r, TRUE));
    AfxTestClick(tree.GetSafeHwnd(), r.CenterPoint().x, r.CenterPoint().y);
    Settle((int)GetDoubleClickTime() + 20);  // the next click is a click of its own
  }

  std::string ProfileText() {
    CString text;
    AfxReadWholeFile(AfxGetProfilePath(), text);
    return std::string((LPCTSTR)text);
  }

  fs::path m_root;
  CMainFrame* m_frame = nullptr;
  std::vector<std::string> m_boxes;
};

// The frame's picture, saved as a PNG, with the combo's open list drawn where it shows on the
// screen (the list is a window of its own, outside the frame's picture).
inline void SaveFrameWithList(CFrameWnd* frame, CCbControlComboBox* combo, const char* name) {
  CBitmap shot, list;
  ASSERT_TRUE(AfxCaptureWindow(frame->GetSafeHwnd(), &shot));
  if (combo && combo->IsListOpen()) {
    ASSERT_TRUE(AfxCaptureWindow(combo->GetListHwnd(), &list));
    CRect rcList;
    ::GetWindowRect(combo->GetListHwnd(), &rcList);
    BITMAP info{};
    list.GetBitmap(&info);
    CDC dst, src;
    dst.CreateCompatibleDC(nullptr);
    src.CreateCompatibleDC(nullptr);
    CBitmap* o1 = dst.SelectObject(&shot);
    CBitmap* o2 = src.SelectObject(&list);
    const CPoint at = AfxClientOriginInCapture(frame->GetSafeHwnd());
    CPoint client(rcList.left, rcList.top);
    frame->ScreenToClient(&client);
    dst.BitBlt(at.x + client.x, at.y + client.y, info.bmWidth, info.bmHeight, &src, 0, 0, SRCCOPY);
    dst.SelectObject(o1);
    src.SelectObject(o2);
  }
  shot.SavePng(name);
}

}  // namespace app_test
