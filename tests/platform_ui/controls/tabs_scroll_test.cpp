// Tab controls and scroll-bar controls driven by real clicks and keys: switching tabs with a
// parent that may refuse, and the scroll codes a bar sends for its arrows, track and thumb.
#include "platform/testing/UiTest.h"
#include "platform/ui/AfxWin.h"
#include "platform/ui/Controls.h"

#include "tests/platform_ui/TestDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

class CPanel : public CWnd {
 public:
  std::vector<UINT> tabNotes;
  bool refuse = false;
  struct Scroll {
    bool vert;
    UINT code;
    int pos;
    int trackPos;
    CScrollBar* bar;
  };
  std::vector<Scroll> scrolls;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
    auto* nm = (NMHDR*)lParam;
    if (nm->idFrom == 40) {
      tabNotes.push_back(nm->code);
      if (nm->code == TCN_SELCHANGING) {
        *pResult = refuse ? TRUE : FALSE;
        return TRUE;
      }
    }
    return CWnd::OnNotify(wParam, lParam, pResult);
  }
  // A parent that scrolls as the program would: it moves the bar itself.
  void Follow(bool vert, UINT code, UINT pos, CScrollBar* bar) {
    SCROLLINFO si{sizeof(si), SIF_ALL, 0, 0, 0, 0, 0};
    bar->GetScrollInfo(&si);
    scrolls.push_back({vert, code, (int)(short)pos, si.nTrackPos, bar});
    int p = si.nPos;
    switch (code) {
      case SB_LINEUP: --p; break;
      case SB_LINEDOWN: ++p; break;
      case SB_PAGEUP: p -= (int)si.nPage; break;
      case SB_PAGEDOWN: p += (int)si.nPage; break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION: p = (int)(short)pos; break;
      case SB_TOP: p = si.nMin; break;
      case SB_BOTTOM: p = si.nMax; break;
      default: return;
    }
    bar->SetScrollPos(p);
  }
  void OnVScroll(UINT code, UINT pos, CScrollBar* bar) { Follow(true, code, pos, bar); }
  void OnHScroll(UINT code, UINT pos, CScrollBar* bar) { Follow(false, code, pos, bar); }
  std::vector<UINT> codes() const {
    std::vector<UINT> v;
    for (auto& s : scrolls) v.push_back(s.code);
    return v;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CPanel, CWnd)
  ON_WM_VSCROLL()
  ON_WM_HSCROLL()
END_MESSAGE_MAP()

class TabsAndBars : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, nullptr, (HBRUSH)(COLOR_3DFACE + 1));
    ASSERT_TRUE(panel.CreateEx(0, cls, "panel", WS_POPUP | WS_VISIBLE, 100, 100, 420, 260, nullptr, nullptr));
  }
  void TearDown() override { panel.DestroyWindow(); }
  static CPoint centre(CTabCtrl& t, int i) {
    CRect r;
    t.GetItemRect(i, &r);
    return r.CenterPoint();
  }
  CPanel panel;
};

TEST_F(TabsAndBars, ClickingATabSwitchesUnlessTheParentRefuses) {
  CTabCtrl tabs;
  ASSERT_TRUE(tabs.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(10, 10, 380, 200), &panel, 40));
  EXPECT_EQ(0, tabs.InsertItem(0, "Graph"));
  EXPECT_EQ(1, tabs.InsertItem(TCIF_TEXT | TCIF_PARAM, 1, "Table", 0, 120));
  EXPECT_EQ(2, tabs.InsertItem(5, "Height Finder"));  // past the end: appended
  EXPECT_EQ(3, tabs.GetItemCount());
  EXPECT_EQ(0, tabs.GetCurSel());  // the first tab comes selected
  CRect r0, r1, r2;
  tabs.GetItemRect(0, &r0);
  tabs.GetItemRect(1, &r1);
  tabs.GetItemRect(2, &r2);
  EXPECT_EQ(r0.right, r1.left);
  EXPECT_GT(r2.Width(), r1.Width());  // wide enough for its text
  CPoint c1 = centre(tabs, 1);
  AfxTestClick(tabs.m_hWnd, c1.x, c1.y);
  EXPECT_EQ(1, tabs.GetCurSel());
  EXPECT_EQ((std::vector<UINT>{TCN_SELCHANGING, TCN_SELCHANGE, (UINT)NM_CLICK}), panel.tabNotes);
  EXPECT_EQ(tabs.m_hWnd, ::GetFocus());
  // The parent refuses to leave the page: the tab stays.
  panel.tabNotes.clear();
  panel.refuse = true;
  CPoint c2 = centre(tabs, 2);
  AfxTestClick(tabs.m_hWnd, c2.x, c2.y);
  EXPECT_EQ(1, tabs.GetCurSel());
  AfxTestKeyStroke(VK_RIGHT);
  EXPECT_EQ(1, tabs.GetCurSel());
  EXPECT_EQ(0, std::count(panel.tabNotes.begin(), panel.tabNotes.end(), TCN_SELCHANGE));
  EXPECT_EQ(2, std::count(panel.tabNotes.begin(), panel.tabNotes.end(), TCN_SELCHANGING));
  panel.refuse = false;
  AfxTestKeyStroke(VK_RIGHT);
  EXPECT_EQ(2, tabs.GetCurSel());
  // The program's switch is silent.
  panel.tabNotes.clear();
  EXPECT_EQ(2, tabs.SetCurSel(0));
  EXPECT_TRUE(panel.tabNotes.empty());
  // Items keep their text and data.
  char buf[32] = {};
  TCITEM ti{TCIF_TEXT | TCIF_PARAM, 0, 0, buf, sizeof(buf), 0, 0};
  ASSERT_TRUE(tabs.GetItem(1, &ti));
  EXPECT_STREQ("Table", buf);
  EXPECT_EQ(120, ti.lParam);
  EXPECT_TRUE(tabs.DeleteItem(0));
  EXPECT_EQ(-1, tabs.GetCurSel());
  EXPECT_EQ(2, tabs.GetItemCount());
  // The page lies inside the frame, below the tabs, and AdjustRect goes both ways.
  CRect client, page;
  tabs.GetClientRect(&client);
  page = client;
  tabs.AdjustRect(FALSE, &page);
  EXPECT_GT(page.top, r0.bottom);
  EXPECT_GT(page.left, client.left);
  EXPECT_LT(page.right, client.right);
  EXPECT_LT(page.bottom, client.bottom);
  tabs.AdjustRect(TRUE, &page);
  EXPECT_EQ(client, page);
}

TEST_F(TabsAndBars, ArrowsTrackAndThumbOfAScrollBar) {
  CScrollBar bar;
  ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE | SBS_VERT, CRect(390, 10, 407, 210), &panel, 111));
  SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 0, 0};
  bar.SetScrollInfo(&si);
  EXPECT_EQ(0, bar.GetScrollPos());
  EXPECT_EQ(90, bar.GetScrollLimit());
  // The upper arrow at the top: a line up, nothing below zero.
  AfxTestClick(bar.m_hWnd, 8, 5);
  EXPECT_EQ((std::vector<UINT>{SB_LINEUP, SB_ENDSCROLL}), panel.codes());
  EXPECT_EQ(&bar, panel.scrolls[0].bar);
  EXPECT_TRUE(panel.scrolls[0].vert);
  EXPECT_EQ(0, bar.GetScrollPos());
  panel.scrolls.clear();
  AfxTestClick(bar.m_hWnd, 8, 195);
  EXPECT_EQ((std::vector<UINT>{SB_LINEDOWN, SB_ENDSCROLL}), panel.codes());
  EXPECT_EQ(1, bar.GetScrollPos());
  // The track below the thumb: a page.
  panel.scrolls.clear();
  AfxTestClick(bar.m_hWnd, 8, 150);
  EXPECT_EQ((std::vector<UINT>{SB_PAGEDOWN, SB_ENDSCROLL}), panel.codes());
  EXPECT_EQ(11, bar.GetScrollPos());
  // Dragging the thumb reports the track position, then the final one.
  panel.scrolls.clear();
  POINT p{8, 0};
  CRect cr;
  bar.GetClientRect(&cr);
  int track = cr.Height() - 2 * cr.Width();
  int thumb = std::max(8, track * 10 / 100);
  p.y = cr.Width() + (track - thumb) * 11 / 90 + thumb / 2;
  bar.ClientToScreen(&p);
  AfxTestMouse(WM_MOUSEMOVE, p);
  AfxTestMouse(WM_LBUTTONDOWN, p);
  for (int k = 0; k < 5; ++k) {
    p.y += 10;
    AfxTestMouse(WM_MOUSEMOVE, p);
  }
  AfxTestMouse(WM_LBUTTONUP, p);
  ASSERT_GE(panel.scrolls.size(), 3u);
  EXPECT_EQ((UINT)SB_THUMBTRACK, panel.scrolls[0].code);
  EXPECT_EQ(panel.scrolls[0].pos, panel.scrolls[0].trackPos);  // GetScrollInfo knows the track position
  auto n = panel.scrolls.size();
  EXPECT_EQ((UINT)SB_THUMBPOSITION, panel.scrolls[n - 2].code);
  EXPECT_EQ((UINT)SB_ENDSCROLL, panel.scrolls[n - 1].code);
  int final = panel.scrolls[n - 2].pos;
  EXPECT_GT(final, 11 + 20);
  EXPECT_LE(final, 90);
  EXPECT_EQ(final, bar.GetScrollPos());
  // A held arrow repeats.
  panel.scrolls.clear();
  POINT down{8, 195};
  bar.ClientToScreen(&down);
  AfxTestMouse(WM_MOUSEMOVE, down);
  AfxTestMouse(WM_LBUTTONDOWN, down);
  AfxTestWait(5000, [&] {
    std::vector<UINT> c = panel.codes();
    return std::count(c.begin(), c.end(), (UINT)SB_LINEDOWN) > 3;
  });
  AfxTestMouse(WM_LBUTTONUP, down);
  std::vector<UINT> held = panel.codes();
  EXPECT_GT(std::count(held.begin(), held.end(), (UINT)SB_LINEDOWN), 3);
  EXPECT_EQ((UINT)SB_ENDSCROLL, held.back());
  // The window-level calls reach the control through SB_CTL.
  SCROLLINFO set{sizeof(set), SIF_POS, 0, 0, 0, 200, 0};
  EXPECT_EQ(90, ::SetScrollInfo(bar.m_hWnd, SB_CTL, &set, TRUE));
  EXPECT_EQ(90, ::GetScrollPos(bar.m_hWnd, SB_CTL));
  int lo = -1, hi = -1;
  ::GetScrollRange(bar.m_hWnd, SB_CTL, &lo, &hi);
  EXPECT_EQ(0, lo);
  EXPECT_EQ(99, hi);
}

TEST_F(TabsAndBars, AHorizontalBarAndItsKeys) {
  CScrollBar bar;
  ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | SBS_HORZ, CRect(10, 220, 300, 237), &panel, 180));
  bar.SetScrollRange(1990, 2030);
  bar.SetScrollPos(2000);
  AfxTestClick(bar.m_hWnd, 285, 8);
  EXPECT_EQ(2001, bar.GetScrollPos());
  EXPECT_FALSE(panel.scrolls[0].vert);
  EXPECT_EQ(bar.m_hWnd, ::GetFocus());
  panel.scrolls.clear();
  AfxTestKeyStroke(VK_HOME);
  EXPECT_EQ((std::vector<UINT>{SB_TOP, SB_ENDSCROLL}), panel.codes());
  EXPECT_EQ(1990, bar.GetScrollPos());
  AfxTestKeyStroke(VK_RIGHT);
  EXPECT_EQ(1991, bar.GetScrollPos());
  bar.EnableScrollBar(ESB_DISABLE_LEFT);
  panel.scrolls.clear();
  AfxTestClick(bar.m_hWnd, 5, 8);  // a disabled arrow does nothing but end
  EXPECT_EQ((std::vector<UINT>{SB_ENDSCROLL}), panel.codes());
}

TEST_F(TabsAndBars, RenderToAPicture) {
  CTabCtrl tabs;
  CScrollBar v, h;
  tabs.Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 370, 200), &panel, 40);
  for (const char* t : {"Graph", "Table", "Height Finder", "Tidal Log"}) tabs.InsertItem(tabs.GetItemCount(), t);
  tabs.SetCurSel(1);
  v.Create(WS_CHILD | WS_VISIBLE | SBS_VERT, CRect(390, 10, 407, 210), &panel, 111);
  h.Create(WS_CHILD | WS_VISIBLE | SBS_HORZ, CRect(10, 220, 300, 237), &panel, 180);
  SCROLLINFO si{sizeof(si), SIF_ALL, 0, 99, 20, 40, 0};
  v.SetScrollInfo(&si);
  h.SetScrollRange(0, 10);
  h.SetScrollPos(10);
  TestDir dir;
  const char* keep = std::getenv("NEAPWISE_UI_PICTURES");
  ASSERT_TRUE(
      AfxSaveWindowPng(panel.m_hWnd, (keep ? std::string(keep) + "/tabs_bars.png" : dir.file("t.png")).c_str()));
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(panel.m_hWnd, &pic));
  CRect r1;
  tabs.GetItemRect(1, &r1);
  // The selected tab joins its page: no page edge under it, but under its neighbour.
  EXPECT_EQ(GetSysColor(COLOR_3DFACE), pic.GetPixel(10 + r1.CenterPoint().x, 10 + r1.bottom));
  CRect r0;
  tabs.GetItemRect(0, &r0);
  EXPECT_EQ(GetSysColor(COLOR_3DHILIGHT), pic.GetPixel(10 + r0.CenterPoint().x, 10 + r0.bottom));
}

}  // namespace
