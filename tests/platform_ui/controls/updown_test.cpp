// The up-down control with a buddy edit: steps by mouse and arrow keys, UDN_DELTAPOS with
// the platform's signs (and a parent that refuses), the scroll message, wrapping and ranges.
#include "platform/testing/UiTest.h"
#include "platform/ui/AfxWin.h"
#include "platform/ui/Controls.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class CHost : public CWnd {
 public:
  std::vector<NMUPDOWN> deltas;
  std::vector<std::pair<UINT, int>> scrolls;  // (code, pos)
  bool refuse = false;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_NOTIFY && ((NMHDR*)lParam)->code == UDN_DELTAPOS) {
      deltas.push_back(*(NMUPDOWN*)lParam);
      return refuse ? 1 : 0;
    }
    if (message == WM_VSCROLL) scrolls.push_back({LOWORD(wParam), (int)(short)HIWORD(wParam)});
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

class UpDown : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, nullptr, (HBRUSH)(COLOR_3DFACE + 1));
    ASSERT_TRUE(host.CreateEx(0, cls, "host", WS_POPUP | WS_VISIBLE, 100, 100, 300, 200, nullptr, nullptr));
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(10, 10, 110, 32), &host, 1036));
    ASSERT_TRUE(spin.Create(
        WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
        CRect(0, 0, 16, 22), &host, 1035));
  }
  void TearDown() override { host.DestroyWindow(); }
  CString buddy() {
    CString t;
    edit.GetWindowText(t);
    return t;
  }
  void clickArrow(bool up) {
    CRect rc;
    spin.GetClientRect(&rc);
    AfxTestClick(spin.m_hWnd, rc.Width() / 2, up ? 3 : rc.Height() - 3);
  }
  CHost host;
  CEdit edit;
  CSpinButtonCtrl spin;
};

TEST_F(UpDown, AutoBuddySitsInsideTheEditAndSteps) {
  EXPECT_EQ(spin.GetBuddy(), &edit);
  CRect er, sr;
  edit.GetWindowRect(&er);
  spin.GetWindowRect(&sr);
  EXPECT_EQ(sr.right, 110 + 100);  // at the edit's old right edge, in screen coordinates
  EXPECT_EQ(er.right, sr.left + 2);
  spin.SetRange32(100, 2500);
  spin.SetPos32(350);
  EXPECT_STREQ(buddy(), "350");
  clickArrow(true);
  EXPECT_STREQ(buddy(), "351");
  ASSERT_EQ(host.deltas.size(), 1u);
  EXPECT_EQ(host.deltas[0].iPos, 350);
  EXPECT_EQ(host.deltas[0].iDelta, 1);
  EXPECT_EQ(host.deltas[0].hdr.idFrom, 1035u);
  ASSERT_GE(host.scrolls.size(), 2u);
  EXPECT_EQ(host.scrolls[0], std::make_pair((UINT)SB_THUMBPOSITION, 351));
  EXPECT_EQ(host.scrolls.back().first, (UINT)SB_ENDSCROLL);
  clickArrow(false);
  EXPECT_STREQ(buddy(), "350");
  EXPECT_EQ(host.deltas.back().iDelta, -1);
  // The arrow keys in the buddy step too; a typed value is where the next step starts.
  edit.SetFocus();
  edit.SetWindowText("1200");
  AfxTestKeyStroke(VK_UP);
  EXPECT_STREQ(buddy(), "1201");
  EXPECT_EQ(spin.GetPos32(), 1201);
  // Bounds hold without UDS_WRAP.
  spin.SetPos32(2500);
  clickArrow(true);
  EXPECT_STREQ(buddy(), "2500");
}

TEST_F(UpDown, DefaultRangeCountsDownAndTheParentMayRefuse) {
  int lo = -1, hi = -1;
  spin.GetRange32(lo, hi);
  EXPECT_EQ(lo, 100);
  EXPECT_EQ(hi, 0);
  spin.SetPos32(50);
  clickArrow(true);
  ASSERT_FALSE(host.deltas.empty());
  EXPECT_EQ(host.deltas.back().iDelta, -1);  // towards the upper bound, 0
  EXPECT_EQ(spin.GetPos32(), 49);
  host.refuse = true;
  clickArrow(true);
  EXPECT_EQ(spin.GetPos32(), 49);
  EXPECT_STREQ(buddy(), "49");
}

TEST_F(UpDown, BadBuddyTextReportsAnErrorAndWrapAndThousands) {
  spin.SetRange32(0, 5000);
  spin.SetPos32(10);
  edit.SetWindowText("lots");
  BOOL err = FALSE;
  EXPECT_EQ(spin.GetPos32(&err), 10);
  EXPECT_TRUE(err);
  EXPECT_NE(HIWORD(spin.GetPos()), 0);

  CEdit e2;
  CSpinButtonCtrl wrap;
  ASSERT_TRUE(e2.Create(WS_CHILD | WS_VISIBLE, CRect(10, 50, 110, 72), &host, 2000));
  ASSERT_TRUE(wrap.Create(WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_WRAP, CRect(120, 50, 136, 72), &host, 2001));
  wrap.SetBuddy(&e2);
  wrap.SetRange32(0, 1500);
  wrap.SetPos32(1500);
  CString t;
  e2.GetWindowText(t);
  EXPECT_STREQ(t, "1,500");  // grouped without UDS_NOTHOUSANDS
  AfxTestClick(wrap.m_hWnd, 8, 3);
  e2.GetWindowText(t);
  EXPECT_STREQ(t, "0");
  EXPECT_EQ(wrap.GetPos32(), 0);
}

}  // namespace

namespace {

// Without a buddy and with no styles, as the views use it: the position starts on the default
// range's upper bound, and every press asks the parent with the platform's signs, also a press
// that cannot move the position.
TEST_F(UpDown, WithoutABuddyEveryPressNotifiesUpAsMinusOne) {
  CSpinButtonCtrl bare;
  ASSERT_TRUE(bare.Create(WS_CHILD | WS_VISIBLE, CRect(200, 10, 216, 29), &host, 178));
  EXPECT_EQ(bare.GetBuddy(), nullptr);
  host.deltas.clear();
  std::vector<int> want;
  for (bool up : {true, true, false, true, false, false}) {
    AfxTestClick(bare.m_hWnd, 8, up ? 3 : 16);
    want.push_back(up ? -1 : 1);
  }
  std::vector<int> got;
  for (const NMUPDOWN& d : host.deltas) {
    got.push_back(d.iDelta);
    EXPECT_EQ(d.hdr.idFrom, 178u);
    EXPECT_EQ(d.hdr.hwndFrom, bare.m_hWnd);
  }
  EXPECT_EQ(got, want);
  EXPECT_EQ(bare.GetPos32(), 2);  // held at 0 by the first two, then +1, -1, +1, +1
}

}  // namespace
