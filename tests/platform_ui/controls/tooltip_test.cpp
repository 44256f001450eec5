// Tooltips driven by real pointer movement: the tip appears after the initial delay with the
// tool's text, follows updates, wraps at the maximum width, asks for callback text, hides on
// a click, after the pop-up delay and when the pointer leaves the tool, and stays away while
// deactivated.
#include "platform/testing/UiTest.h"
#include "platform/ui/AfxWin.h"
#include "platform/ui/Controls.h"

#include "tests/platform_ui/TestDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A window that relays its mouse messages to its tooltip, as the views do.
class CTipHost : public CWnd {
 public:
  CToolTipCtrl tip;
  std::vector<UINT> notes;
  std::string callbackText = "Slack water";
  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (tip.m_hWnd && pMsg->hwnd == m_hWnd && pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MBUTTONUP)
      tip.RelayEvent(pMsg);
    return CWnd::PreTranslateMessage(pMsg);
  }
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
    auto* nm = (NMHDR*)lParam;
    if (nm->hwndFrom == tip.m_hWnd) {
      notes.push_back(nm->code);
      if (nm->code == TTN_GETDISPINFO) {
        auto* di = (NMTTDISPINFO*)lParam;
        std::strncpy(di->szText, callbackText.c_str(), sizeof(di->szText) - 1);
        return TRUE;
      }
    }
    return CWnd::OnNotify(wParam, lParam, pResult);
  }
};

class ToolTips : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, nullptr, (HBRUSH)(COLOR_WINDOW + 1));
    ASSERT_TRUE(host.CreateEx(0, cls, "host", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300, nullptr, nullptr));
    ASSERT_TRUE(host.tip.Create(&host, WS_POPUP | WS_VISIBLE));
    host.tip.SetDelayTime(TTDT_INITIAL, 40);
    host.tip.SetDelayTime(TTDT_AUTOPOP, 5000);
    AfxTestMoveAway();
  }
  void TearDown() override {
    host.tip.DestroyWindow();
    host.DestroyWindow();
  }
  bool tipShown() const { return host.tip.IsWindowVisible() != FALSE; }
  bool waitShown(bool shown, int ms = 5000) {
    AfxTestWait(ms, [&] { return tipShown() == shown; });
    return tipShown() == shown;
  }
  CString tipText() const {
    CString t;
    host.tip.GetWindowText(t);
    return t;
  }
  CTipHost host;
};

TEST_F(ToolTips, ARectangleToolShowsItsTextAfterTheDelayBelowThePointer) {
  EXPECT_FALSE(tipShown());  // created visible, but a tip shows only when it has something to show
  ASSERT_TRUE(host.tip.AddTool(&host, "High water 12:40", CRect(50, 50, 150, 100), 7));
  EXPECT_EQ(1, host.tip.GetToolCount());
  AfxTestMoveTo(host.m_hWnd, 20, 20);  // outside the tool
  AfxTestWait(120);
  EXPECT_FALSE(tipShown());
  AfxTestMoveTo(host.m_hWnd, 60, 60);
  EXPECT_FALSE(tipShown());  // not before the initial delay
  ASSERT_TRUE(waitShown(true));
  EXPECT_STREQ("High water 12:40", tipText());
  EXPECT_EQ((std::vector<UINT>{TTN_SHOW}), host.notes);
  CRect tr;
  host.tip.GetWindowRect(&tr);
  POINT cur;
  GetCursorPos(&cur);
  EXPECT_EQ(cur.x, tr.left);
  EXPECT_GT(tr.top, cur.y);  // below the pointer
  EXPECT_LT(tr.top, cur.y + 40);
  // What a person sees: dark text on the info colour inside a frame.
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(host.tip.m_hWnd, &pic));
  BITMAP bm;
  pic.GetBitmap(&bm);
  int text = 0, back = 0;
  for (int y = 2; y < bm.bmHeight - 2; ++y)
    for (int x = 2; x < bm.bmWidth - 2; ++x) {
      COLORREF c = pic.GetPixel(x, y);
      text += c == GetSysColor(COLOR_INFOTEXT);
      back += c == GetSysColor(COLOR_INFOBK);
    }
  EXPECT_GT(text, 30);
  EXPECT_GT(back, text);
  EXPECT_EQ(GetSysColor(COLOR_WINDOWFRAME), pic.GetPixel(0, 0));
  TestDir dir;
  const char* keep = std::getenv("NEAPWISE_UI_PICTURES");
  ASSERT_TRUE(
      AfxSaveWindowPng(host.tip.m_hWnd, (keep ? std::string(keep) + "/tooltip.png" : dir.file("t.png")).c_str()));
  // Moving inside the tool keeps the tip; leaving it hides the tip.
  AfxTestMoveTo(host.m_hWnd, 70, 70);
  EXPECT_TRUE(tipShown());
  AfxTestMoveTo(host.m_hWnd, 300, 200);
  EXPECT_FALSE(tipShown());
  EXPECT_EQ((std::vector<UINT>{TTN_SHOW, TTN_POP}), host.notes);
}

TEST_F(ToolTips, UpdatedTextShowsInPlaceAndWrapsAtTheMaximumWidth) {
  host.tip.AddTool(&host, "first", CRect(0, 0, 400, 300), 1);
  AfxTestMoveTo(host.m_hWnd, 100, 100);
  ASSERT_TRUE(waitShown(true));
  CRect before;
  host.tip.GetWindowRect(&before);
  host.tip.UpdateTipText("a much longer second text", &host, 1);
  EXPECT_STREQ("a much longer second text", tipText());
  CRect after;
  host.tip.GetWindowRect(&after);
  EXPECT_EQ(before.TopLeft(), after.TopLeft());
  EXPECT_GT(after.Width(), before.Width());
  int oneLine = after.Height();
  host.tip.SetMaxTipWidth(90);
  host.tip.UpdateTipText("Tide height above chart datum in metres", &host, 1);
  host.tip.GetWindowRect(&after);
  EXPECT_LE(after.Width(), 90 + 20);
  EXPECT_GT(after.Height(), 2 * oneLine - 10);  // several lines
  host.tip.UpdateTipText("one\ntwo\nthree", &host, 1);
  host.tip.GetWindowRect(&after);
  EXPECT_GT(after.Height(), 2 * oneLine);
  CString t;
  host.tip.GetText(t, &host, 1);
  EXPECT_STREQ("one\ntwo\nthree", t);
  host.tip.Pop();
  EXPECT_FALSE(tipShown());
}

TEST_F(ToolTips, CallbackTextAndAWindowToolWithoutRelaying) {
  CStatic label;
  ASSERT_TRUE(label.Create("Port", WS_CHILD | WS_VISIBLE | SS_NOTIFY, CRect(200, 20, 300, 60), &host, 55));
  // A window tool that the tip watches by itself.
  TOOLINFO ti{sizeof(TOOLINFO),
              TTF_IDISHWND | TTF_SUBCLASS,
              host.m_hWnd,
              (UINT_PTR)label.m_hWnd,
              {},
              nullptr,
              LPSTR_TEXTCALLBACK,
              0,
              nullptr};
  ASSERT_TRUE(host.tip.SendMessage(TTM_ADDTOOL, 0, (LPARAM)&ti));
  AfxTestMoveTo(label.m_hWnd, 10, 10);
  ASSERT_TRUE(waitShown(true));
  EXPECT_STREQ("Slack water", tipText());
  EXPECT_EQ((std::vector<UINT>{TTN_GETDISPINFO, TTN_SHOW}), host.notes);
  // Asked again at each showing.
  host.callbackText = "Flood";
  AfxTestMoveTo(host.m_hWnd, 20, 200);
  EXPECT_FALSE(tipShown());
  AfxTestMoveTo(label.m_hWnd, 12, 12);
  ASSERT_TRUE(waitShown(true));
  EXPECT_STREQ("Flood", tipText());
}

TEST_F(ToolTips, AClickThePopDelayAndDeactivationHideTheTip) {
  host.tip.AddTool(&host, "Neaps", CRect(0, 0, 200, 150), 3);
  AfxTestMoveTo(host.m_hWnd, 50, 50);
  ASSERT_TRUE(waitShown(true));
  AfxTestClick(host.m_hWnd, 52, 52);
  EXPECT_FALSE(tipShown());
  AfxTestMoveTo(host.m_hWnd, 55, 55);  // still on the tool: no second showing after a click
  AfxTestWait(150);
  EXPECT_FALSE(tipShown());
  AfxTestMoveTo(host.m_hWnd, 300, 250);
  AfxTestWait(150);  // the tip notices the pointer has gone
  host.tip.SetDelayTime(TTDT_AUTOPOP, 100);
  AfxTestMoveTo(host.m_hWnd, 60, 60);
  ASSERT_TRUE(waitShown(true));
  ASSERT_TRUE(waitShown(false));  // gone after the pop-up delay
  AfxTestMoveTo(host.m_hWnd, 300, 250);
  AfxTestWait(150);
  host.tip.Activate(FALSE);
  AfxTestMoveTo(host.m_hWnd, 60, 60);
  AfxTestWait(150);
  EXPECT_FALSE(tipShown());
  host.tip.Activate(TRUE);
  AfxTestMoveTo(host.m_hWnd, 300, 250);
  AfxTestMoveTo(host.m_hWnd, 61, 61);
  EXPECT_TRUE(waitShown(true));
  EXPECT_EQ(100, host.tip.GetDelayTime(TTDT_AUTOPOP));
  EXPECT_EQ(40, host.tip.GetDelayTime(TTDT_INITIAL));
}

}  // namespace
