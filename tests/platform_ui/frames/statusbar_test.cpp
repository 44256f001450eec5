// The status bar at the bottom of a frame: panes from the string table, the stretching pane
// taking what the others leave, texts set directly, by the frame's message text and by update
// handlers, and the frame's layout with the bar shown and hidden.
#include "platform/testing/UiTest.h"
#include "platform/ui/AfxWin.h"
#include "tests/platform_ui/FrameTest.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const char kStrings[] =
    "strings\n"
    "  61229 \"You will run aground at the next low water\"\n"
    "  61220 \"  Sunrise: 00:00  \"\n"
    "  61221 \"  Sunset: 00:00  \"\n"
    "  61222 \"                                               \"\n"
    "end\n";
const AFX_UI_SCRIPT_INIT g_strings("statusbar_test", kStrings, sizeof(kStrings) - 1);

const UINT kIndicators[] = {61229, 61220, 61221, 61222};

class CTestFrame : public CFrameWnd {
 public:
  CStatusBar m_bar;
  CWnd m_view;
  CString m_zone = "GMT (+1:00)";
  BOOL m_sunsetOn = TRUE;
  void OnUpdateZone(CCmdUI* pCmdUI) { pCmdUI->SetText(m_zone); }
  void OnUpdateSunset(CCmdUI* pCmdUI) { pCmdUI->Enable(m_sunsetOn); }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTestFrame, CFrameWnd)
  ON_UPDATE_COMMAND_UI(61222, OnUpdateZone)
  ON_UPDATE_COMMAND_UI(61221, OnUpdateSunset)
END_MESSAGE_MAP()

// Dark (text) pixels inside a pane's border.
int DarkPixels(const CBitmap& pic, CRect r) {
  r.DeflateRect(2, 2);
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (COLORREF c = pic.GetPixel(x, y); GetRValue(c) + GetGValue(c) + GetBValue(c) < 300) ++n;
  return n;
}

CRect InFrame(CTestFrame* f, CStatusBar& bar, int pane) {
  CRect r;
  bar.GetItemRect(pane, &r);
  bar.ClientToScreen(&r);
  CRect w;
  f->GetWindowRect(&w);
  r.OffsetRect(-w.left, -w.top);
  return r;
}

class StatusBar : public FrameTest<CTestFrame> {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    frame = new CTestFrame;
    ASSERT_TRUE(frame->Create(nullptr, "Frame", WS_POPUP | WS_VISIBLE | WS_THICKFRAME, CRect(50, 50, 950, 350)));
    ASSERT_TRUE(frame->m_view.CreateEx(0, nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), frame,
                                       AFX_IDW_PANE_FIRST));
    ASSERT_TRUE(frame->m_bar.Create(frame, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR));
    ASSERT_TRUE(frame->m_bar.SetIndicators(kIndicators, 4));
    UINT id = 0, style = 0;
    int width = 0;
    frame->m_bar.GetPaneInfo(0, id, style, width);
    frame->m_bar.SetPaneInfo(0, id, SBPS_STRETCH, width);
    frame->RecalcLayout();
  }
};

TEST_F(StatusBar, SitsAtTheBottomAndTheStretchPaneTakesTheRemainingWidth) {
  CStatusBar& bar = frame->m_bar;
  CRect client;
  frame->GetClientRect(&client);
  CRect b = ClientOf(bar), v = ClientOf(frame->m_view);
  EXPECT_EQ(b.bottom, client.bottom);
  EXPECT_EQ(b.left, 0);
  EXPECT_EQ(b.right, client.right);
  EXPECT_GT(b.Height(), 12);
  EXPECT_EQ(v, CRect(0, 0, client.right, b.top));

  EXPECT_EQ(bar.GetCount(), 4);
  EXPECT_EQ(bar.CommandToIndex(61221), 2);
  EXPECT_EQ(bar.CommandToIndex(12345), -1);
  EXPECT_EQ(bar.GetItemID(3), 61222u);
  EXPECT_EQ(bar.GetPaneText(1), CString("  Sunrise: 00:00  "));
  UINT id = 0, style = 0;
  int width = 0;
  bar.GetPaneInfo(0, id, style, width);
  EXPECT_EQ(id, 61229u);
  EXPECT_EQ(style, (UINT)SBPS_STRETCH);
  EXPECT_GT(width, 100);  // the caption's width

  // The panes fill the bar, less the size grip of a sizable frame.
  CRect first, last;
  bar.GetItemRect(0, &first);
  bar.GetItemRect(3, &last);
  EXPECT_EQ(last.right, b.Width() - ::GetSystemMetrics(SM_CXVSCROLL));
  int before = first.Width(), zone = last.Width();
  frame->MoveWindow(50, 50, 1100, 300);
  bar.GetItemRect(0, &first);
  bar.GetItemRect(3, &last);
  EXPECT_EQ(first.Width(), before + 200);
  EXPECT_EQ(last.Width(), zone);
  EXPECT_EQ(ClientOf(bar).right, 1100 - 8);

  // The bar toggle of the View menu hides it; the view takes the whole client area.
  frame->SendMessage(WM_COMMAND, AFX_IDW_STATUS_BAR, 0);
  EXPECT_FALSE(bar.IsWindowVisible());
  frame->GetClientRect(&client);
  EXPECT_EQ(ClientOf(frame->m_view).bottom, client.bottom);
  frame->SendMessage(WM_COMMAND, AFX_IDW_STATUS_BAR, 0);
  EXPECT_TRUE(bar.IsWindowVisible());
  EXPECT_EQ(ClientOf(frame->m_view).bottom, ClientOf(bar).top);

  // Hidden directly: the frame follows once the change is through.
  bar.ShowWindow(SW_HIDE);
  AfxTestWait(5000, [&] { return ClientOf(frame->m_view).bottom == client.bottom; });
  EXPECT_EQ(ClientOf(frame->m_view).bottom, client.bottom);
  bar.ShowWindow(SW_SHOW);
  AfxTestWait(5000, [&] { return ClientOf(frame->m_view).bottom == ClientOf(bar).top; });
  EXPECT_EQ(ClientOf(frame->m_view).bottom, ClientOf(bar).top);

  // A minimum height.
  bar.SendMessage(SB_SETMINHEIGHT, 40, 0);
  EXPECT_EQ(ClientOf(bar).Height(), 40);
}

TEST_F(StatusBar, PanesShowTheirTextsFromSettersMessagesAndUpdateHandlers) {
  CStatusBar& bar = frame->m_bar;
  // The zone pane starts as spaces: nothing drawn in it.
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(frame->m_hWnd, &pic));
  EXPECT_EQ(DarkPixels(pic, InFrame(frame, bar, 3)), 0);
  EXPECT_GT(DarkPixels(pic, InFrame(frame, bar, 1)), 20);

  // Update handlers set the zone text and switch the sunset pane off.
  frame->m_sunsetOn = FALSE;
  bar.SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
  EXPECT_EQ(bar.GetPaneText(3), CString("GMT (+1:00)"));
  EXPECT_TRUE(bar.GetPaneStyle(2) & SBPS_DISABLED);
  bar.SetPaneText(1, "  Sunrise: 06:12  ");
  frame->SetMessageText("Tide table saved");
  EXPECT_EQ(bar.GetPaneText(0), CString("Tide table saved"));
  CString window;
  bar.GetWindowText(window);
  EXPECT_EQ(window, CString("Tide table saved"));
  ASSERT_TRUE(AfxCaptureWindow(frame->m_hWnd, &pic));
  pic.SavePng("statusbar_panes.png");
  EXPECT_GT(DarkPixels(pic, InFrame(frame, bar, 3)), 20);
  EXPECT_EQ(DarkPixels(pic, InFrame(frame, bar, 2)), 0);
  EXPECT_GT(DarkPixels(pic, InFrame(frame, bar, 0)), 20);

  frame->m_sunsetOn = TRUE;
  bar.SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
  EXPECT_FALSE(bar.GetPaneStyle(2) & SBPS_DISABLED);

  // Out-of-range indexes change nothing.
  EXPECT_FALSE(bar.SetPaneText(4, "x"));
  EXPECT_FALSE(bar.SetPaneText(-1, "x"));
  EXPECT_EQ(bar.GetPaneText(7), CString());
}

TEST_F(StatusBar, ASeparatorFirstStretchesWithoutBorderAndAMissingStringFails) {
  CStatusBar& bar = frame->m_bar;
  const UINT ids[] = {ID_SEPARATOR, 61220};
  ASSERT_TRUE(bar.SetIndicators(ids, 2));
  EXPECT_EQ(bar.GetPaneStyle(0), (UINT)(SBPS_STRETCH | SBPS_NOBORDERS));
  EXPECT_EQ(bar.GetPaneStyle(1), (UINT)SBPS_NORMAL);
  CRect first, second, client;
  bar.GetItemRect(0, &first);
  bar.GetItemRect(1, &second);
  bar.GetClientRect(&client);
  EXPECT_EQ(second.right, client.right - ::GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_GT(first.Width(), second.Width());
  const UINT bad[] = {61220, 4242};
  EXPECT_FALSE(bar.SetIndicators(bad, 2));
}

}  // namespace
