// The static splitter: layout from ideal sizes, dragging a bar with the mouse (ghost bar first,
// panes after the release), minimums kept, Esc cancelling, and the bar cursor.
#include "platform/testing/UiTest.h"
#include "platform/ui/AfxWin.h"

#include <gtest/gtest.h>

namespace {

// A pane that fills itself with a colour of its own.
class CColourPane : public CWnd {
  DECLARE_DYNCREATE(CColourPane)
  DECLARE_MESSAGE_MAP()
 public:
  static inline int s_alive = 0;
  COLORREF m_colour = RGB(40, 120, 200);
  CColourPane() { ++s_alive; }
  ~CColourPane() override { --s_alive; }
  void OnPaint() {
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    dc.FillSolidRect(&rc, m_colour);
  }
};
IMPLEMENT_DYNCREATE(CColourPane, CWnd)
BEGIN_MESSAGE_MAP(CColourPane, CWnd)
  ON_WM_PAINT()
END_MESSAGE_MAP()

CRect PaneRect(CSplitterWnd& s, int row, int col) {
  CRect r;
  s.GetPane(row, col)->GetWindowRect(&r);
  s.ScreenToClient(&r);
  return r;
}

class Splitter : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    ASSERT_TRUE(host.CreateEx(0, nullptr, "host", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300, nullptr, nullptr));
    ASSERT_TRUE(split.CreateStatic(&host, 1, 2));
    ASSERT_TRUE(split.CreateView(0, 0, RUNTIME_CLASS(CColourPane), CSize(150, 50), nullptr));
    ASSERT_TRUE(right.CreateEx(0, nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &host, 5));
    right.m_colour = RGB(230, 200, 60);
    ASSERT_TRUE(split.CreateView(0, 1, &right, CSize(50, 50)));
    split.SetColumnInfo(0, 150, 100);
    split.SetColumnInfo(1, 50, 60);
    split.RecalcLayout();
  }
  void TearDown() override {
    host.DestroyWindow();
    AfxTestWait(5);
  }
  POINT Screen(int x, int y) {
    POINT p{x, y};
    split.ClientToScreen(&p);
    return p;
  }
  void Drag(int fromX, int toX, int y = 150) {
    AfxTestMouse(WM_MOUSEMOVE, Screen(fromX, y));
    AfxTestMouse(WM_LBUTTONDOWN, Screen(fromX, y));
    AfxTestMouse(WM_MOUSEMOVE, Screen(toX, y));
    AfxTestMouse(WM_LBUTTONUP, Screen(toX, y));
    AfxTestWait(5);
  }
  int Column(int col) {
    int cur = 0, min = 0;
    split.GetColumnInfo(col, cur, min);
    return cur;
  }
  CWnd host;
  CSplitterWnd split;
  CColourPane right;
};

TEST_F(Splitter, LaysOutPanesFromIdealSizesWithIdsByRowAndColumn) {
  EXPECT_EQ(split.GetDlgCtrlID(), AFX_IDW_PANE_FIRST);
  EXPECT_EQ(split.GetPane(0, 0)->GetDlgCtrlID(), split.IdFromRowCol(0, 0));
  EXPECT_EQ(right.GetDlgCtrlID(), split.IdFromRowCol(0, 1));
  EXPECT_EQ(split.IdFromRowCol(1, 2), AFX_IDW_PANE_FIRST + 16 + 2);
  EXPECT_TRUE(split.GetPane(0, 0)->IsKindOf(RUNTIME_CLASS(CColourPane)));
  EXPECT_EQ(split.GetPane(0, 1), &right);
  EXPECT_EQ(split.GetPane(1, 0), nullptr);
  int row = -1, col = -1;
  EXPECT_TRUE(split.IsChildPane(&right, &row, &col));
  EXPECT_EQ(col, 1);
  // The splitter fills its parent; the first column has its ideal width, the last the rest.
  CRect rc;
  split.GetClientRect(&rc);
  EXPECT_EQ(rc, CRect(0, 0, 400, 300));
  CRect left = PaneRect(split, 0, 0), r = PaneRect(split, 0, 1);
  EXPECT_EQ(left.Width(), 150);
  EXPECT_EQ(Column(0), 150);
  EXPECT_GT(r.left, left.right);
  EXPECT_EQ(Column(1), r.Width());
  EXPECT_LT(r.right, 400);
  EXPECT_GT(r.right, 394);
  int cur = 0, min = 0;
  split.GetColumnInfo(0, cur, min);
  EXPECT_EQ(min, 100);
  // A column of width 0 leaves only the bar: the other pane takes the space.
  split.SetColumnInfo(0, 0, 0);
  split.RecalcLayout();
  EXPECT_EQ(Column(0), 0);
  EXPECT_EQ(PaneRect(split, 0, 0).Width(), 0);
  EXPECT_LT(PaneRect(split, 0, 1).left, 12);
}

TEST_F(Splitter, DraggingTheBarShowsAGhostThenResizesAndKeepsTheMinimums) {
  CRect left = PaneRect(split, 0, 0), r = PaneRect(split, 0, 1);
  int bar = (left.right + r.left) / 2;
  // Over the bar the cursor is the left-right one.
  AfxTestMoveTo(split.m_hWnd, bar, 150);
  EXPECT_EQ(::GetCursor(), ::LoadCursor(nullptr, IDC_SIZEWE));
  AfxTestMoveTo(split.m_hWnd, 60, 150);
  EXPECT_EQ(::GetCursor(), ::LoadCursor(nullptr, IDC_ARROW));

  // While the button is down only a ghost moves.
  AfxTestMouse(WM_MOUSEMOVE, Screen(bar, 150));
  AfxTestMouse(WM_LBUTTONDOWN, Screen(bar, 150));
  AfxTestMouse(WM_MOUSEMOVE, Screen(bar + 100, 150));
  AfxTestWait(5);
  EXPECT_TRUE(split.IsTracking());
  EXPECT_EQ(PaneRect(split, 0, 0).Width(), 150);
  CBitmap during;
  ASSERT_TRUE(AfxCaptureWindow(host.m_hWnd, &during));
  during.SavePng("splitter_dragging.png");
  // The ghost's halftone sits over the right pane at the new place.
  int ghostDark = 0;
  for (int x = bar + 95; x < bar + 105; ++x)
    if (during.GetPixel(x, 150) == ::GetSysColor(COLOR_3DDKSHADOW)) ++ghostDark;
  EXPECT_GE(ghostDark, 2);
  AfxTestMouse(WM_LBUTTONUP, Screen(bar + 100, 150));
  AfxTestWait(5);
  EXPECT_FALSE(split.IsTracking());
  EXPECT_EQ(PaneRect(split, 0, 0).Width(), 250);
  EXPECT_EQ(Column(0), 250);
  CBitmap after;
  ASSERT_TRUE(AfxCaptureWindow(host.m_hWnd, &after));
  after.SavePng("splitter_after_drag.png");
  EXPECT_EQ(after.GetPixel(200, 150), RGB(40, 120, 200));
  EXPECT_EQ(after.GetPixel(300, 150), RGB(230, 200, 60));

  // Far to the left: the first column stops at its minimum; far right: the last keeps its own.
  struct Case {
    int to;
    int expectLeft;
  } cases[] = {{5, 100}, {399, 400 - 6 - 2 * 2 - 60 - 2 * 2}};
  for (const Case& c : cases) {
    left = PaneRect(split, 0, 0);
    r = PaneRect(split, 0, 1);
    Drag((left.right + r.left) / 2, c.to);
    EXPECT_EQ(Column(0), c.expectLeft) << "to " << c.to;
    EXPECT_GE(Column(1), 60) << "to " << c.to;
    EXPECT_EQ(PaneRect(split, 0, 0).Width(), c.expectLeft);
  }
}

TEST_F(Splitter, EscapeOrALostCaptureCancelsTheDrag) {
  CRect left = PaneRect(split, 0, 0), r = PaneRect(split, 0, 1);
  int bar = (left.right + r.left) / 2;
  AfxTestMouse(WM_MOUSEMOVE, Screen(bar, 150));
  AfxTestMouse(WM_LBUTTONDOWN, Screen(bar, 150));
  AfxTestMouse(WM_MOUSEMOVE, Screen(bar + 80, 150));
  AfxTestKeyStroke(VK_ESCAPE);
  EXPECT_FALSE(split.IsTracking());
  AfxTestMouse(WM_LBUTTONUP, Screen(bar + 80, 150));
  EXPECT_EQ(Column(0), 150);

  AfxTestMouse(WM_MOUSEMOVE, Screen(bar, 150));
  AfxTestMouse(WM_LBUTTONDOWN, Screen(bar, 150));
  AfxTestMouse(WM_MOUSEMOVE, Screen(bar + 80, 150));
  right.SetCapture();
  EXPECT_FALSE(split.IsTracking());
  ::ReleaseCapture();
  AfxTestMouse(WM_LBUTTONUP, Screen(bar + 80, 150));
  EXPECT_EQ(Column(0), 150);
}

TEST(SplitterGrid, RowsAndColumnsTrackTogetherAtTheirCrossing) {
  AfxWinInit(0, nullptr);
  CWnd host;
  ASSERT_TRUE(host.CreateEx(0, nullptr, "host", WS_POPUP | WS_VISIBLE, 50, 50, 300, 300, nullptr, nullptr));
  {
    CSplitterWnd split;
    ASSERT_TRUE(split.CreateStatic(&host, 2, 2));
    for (int r = 0; r < 2; ++r)
      for (int c = 0; c < 2; ++c)
        ASSERT_TRUE(split.CreateView(r, c, RUNTIME_CLASS(CColourPane), CSize(100, 100), nullptr));
    EXPECT_EQ(CColourPane::s_alive, 4);
    split.SetRowInfo(0, 100, 20);
    split.RecalcLayout();
    int cur = 0, min = 0;
    split.GetRowInfo(0, cur, min);
    EXPECT_EQ(cur, 100);
    EXPECT_EQ(min, 20);
    // The crossing of the bars is at (104..110, 104..110).
    POINT from{107, 107}, to{157, 57};
    split.ClientToScreen(&from);
    split.ClientToScreen(&to);
    AfxTestMouse(WM_MOUSEMOVE, from);
    EXPECT_EQ(::GetCursor(), ::LoadCursor(nullptr, IDC_SIZEALL));
    AfxTestMouse(WM_LBUTTONDOWN, from);
    AfxTestMouse(WM_MOUSEMOVE, to);
    AfxTestMouse(WM_LBUTTONUP, to);
    split.GetRowInfo(0, cur, min);
    EXPECT_EQ(cur, 50);
    split.GetColumnInfo(0, cur, min);
    EXPECT_EQ(cur, 150);
    host.DestroyWindow();
    // Panes made from a class go with the splitter's window.
    EXPECT_EQ(CColourPane::s_alive, 0);
  }
  AfxTestWait(5);
}

}  // namespace
