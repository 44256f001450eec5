// The menu bar fixture the popup tests share: a frame with the four-title menu bar loaded from
// a resource script, a pane view to hold the focus, and the clicks and look-ups they all use.
#pragma once

#include "platform/testing/UiTest.h"
#include "toolkit/CbCommandBars.h"
#include "toolkit/CbMenuBar.h"
#include "toolkit/CbMouseManager.h"
#include "toolkit/CbPaintThemes.h"
#include "toolkit/CbPopupBar.h"

#include <gtest/gtest.h>

#include <vector>

namespace popup_test {

// Each test registers it under its own name with AFX_UI_SCRIPT_INIT.
inline constexpr char kMenuScript[] =
    "menu 903\n"
    "  popup \"&File\"\n"
    "    item \"&Open\\tCtrl+O\" 32811\n"
    "    item \"&Save\" 32812\n"
    "    separator\n"
    "    item \"E&xit\" 32813\n"
    "  end\n"
    "  popup \"&View\"\n"
    "    item \"&Graph\" 32814 checked\n"
    "    item \"High && Low &Water Times\" 32815\n"
    "    item \"&Table\" 32816\n"
    "  end\n"
    "  popup \"&Tides\"\n"
    "    item \"&Predict\" 32817\n"
    "    popup \"Time &Zone\"\n"
    "      item \"&Automatic\" 32818\n"
    "      item \"UT (+1:00)\" 32819\n"
    "    end\n"
    "  end\n"
    "  popup \"&Tools\"\n"
    "    item \"&Options\" 32820\n"
    "  end\n"
    "end\n";

class CMenuFrame : public CCbFrameWnd {
 public:
  std::vector<UINT> commands;
  int popupInits = 0, popupsClosed = 0;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    commands.push_back(LOWORD(wParam));
    return CCbFrameWnd::OnCommand(wParam, lParam);
  }
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
    if (message == WM_BAR_POPUP_INIT) ++popupInits;
    if (message == WM_BAR_POPUP_CLOSED) ++popupsClosed;
    return CCbFrameWnd::OnWndMsg(message, wParam, lParam, pResult);
  }
  void OnAnyRange(UINT) {}
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CMenuFrame, CFrameWnd)
  ON_COMMAND_RANGE(32811, 32820, OnAnyRange)
END_MESSAGE_MAP()

class PopupFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    PrepareLook();
    frame = new CMenuFrame;
    ASSERT_TRUE(frame->Create(nullptr, "Popups", WS_POPUP | WS_VISIBLE | WS_THICKFRAME, CRect(20, 20, 820, 520)));
    ASSERT_TRUE(
        view.CreateEx(0, nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), frame, AFX_IDW_PANE_FIRST));
    ASSERT_TRUE(frame->InitCommandBars());
    menuBar = dynamic_cast<CCbMenuBar*>(frame->GetCommandBars()->Add("Menu Bar", cbBarTop, RUNTIME_CLASS(CCbMenuBar)));
    ASSERT_TRUE(menuBar);
    ASSERT_TRUE(menuBar->LoadMenuBar(903));
    frame->RecalcLayout();
    frame->SetActiveWindow();
    view.SetFocus();
    AfxTestWait(20);
  }
  void TearDown() override {
    CbMouseManager()->SendTrackLost();
    AfxTestMoveAway();
    if (::IsWindow(frame->m_hWnd)) frame->DestroyWindow();
    AfxTestWait(5);
  }
  // The look and options the frame is made with.
  virtual void PrepareLook() { CCbPaintManager::SetTheme(0); }
  POINT Screen(CCbCommandBar* bar, CPoint pt) {
    bar->ClientToScreen(&pt);
    return pt;
  }
  CRect ScreenRect(CCbControl* c) {
    CRect rc = c->GetRect();
    c->GetParent()->ClientToScreen(&rc);
    return rc;
  }
  void ClickControl(CCbControl* c) {
    const CPoint p = c->GetRect().CenterPoint();
    AfxTestMoveTo(c->GetParent()->m_hWnd, p.x, p.y);
    AfxTestClick(c->GetParent()->m_hWnd, p.x, p.y);
    AfxTestWait(10);
  }
  CCbPopupBar* PopupOf(int nTitle) { return dynamic_cast<CCbPopupBar*>(menuBar->GetControl(nTitle)->GetCommandBar()); }
  BOOL IsOpen(CCbPopupBar* p) { return p && p->IsTrackingMode() && p->GetSafeHwnd() && p->IsWindowVisible(); }

  CMenuFrame* frame = nullptr;
  CWnd view;
  CCbMenuBar* menuBar = nullptr;
};

}  // namespace popup_test
