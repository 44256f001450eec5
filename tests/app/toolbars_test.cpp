// The program's toolbars dragged by the mouse: "Map" (with the chart page) to the sides it
// may take and floating, a double click docking it back; "Standard" only at the top.
#include "tests/app/FrameFixture.h"
#include "tests/support/BarHelpers.h"

#include <functional>
#include <vector>

using namespace app_test;

namespace {

using test_support::Grip;
using test_support::Screen;

// Presses on the bar and, while its drag loop runs, moves in steps to the point and releases.
void DragTo(CCbToolBar* bar, POINT to) {
  const POINT from = Grip(bar);
  CTestCallLater later(0, [&] {
    // In small steps, as a hand moves: each step is laid out before the next.
    const int steps = 40;
    for (int i = 1; i <= steps; ++i)
      AfxTestMouse(WM_MOUSEMOVE, POINT{from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
    AfxTestMouse(WM_LBUTTONUP, to);
  });
  AfxTestMouse(WM_MOUSEMOVE, from);
  AfxTestMouse(WM_LBUTTONDOWN, from);
  ASSERT_TRUE(later.Wait(5000));
}

TEST_F(Program, TheToolbarsDragToTheirSidesFloatAndDockBackOnADoubleClick) {
  ASSERT_NE(nullptr, Start());
  CCbToolBar* standard = m_frame->GetStandardToolBar();
  CCbToolBar* map = m_frame->GetMapToolBar();
  CCbCommandBars* bars = m_frame->GetCommandBars();
  Command(ID_VIEW_MAP);
  Settle();
  ASSERT_TRUE(map->IsVisible());
  const CRect docked = Screen(map);
  // The menu bar has a row of its own above the toolbars.
  const int rows = bars->GetDockBar(cbBarTop)->GetRowCount();
  EXPECT_EQ(docked.top, Screen(standard).top);
  EXPECT_EQ(docked.left, Screen(standard).right);
  CRect client;
  m_frame->GetClientRect(&client);
  auto at = [&](int x, int y) {
    POINT p{x, y};
    m_frame->ClientToScreen(&p);
    return p;
  };

  // The left edge: docked there, upright.
  DragTo(map, at(3, client.Height() / 2));
  EXPECT_EQ(map->GetPosition(), cbBarLeft);
  EXPECT_GT(Screen(map).Height(), Screen(map).Width());
  // The middle: floating, owned by the frame, the frame still active.
  DragTo(map, at(client.Width() / 2, client.Height() / 2));
  ASSERT_TRUE(map->IsFloating());
  EXPECT_EQ(::GetWindow(map->m_hWnd, GW_OWNER), m_frame->m_hWnd);
  EXPECT_TRUE(AfxTestIsManagedNoFocus(map->m_hWnd));
  Settle();
  AfxSaveWindowPng(map->m_hWnd, "program_map_floating.png");
  // A double click on the caption puts it back where the drag took it from: the left side.
  ASSERT_TRUE(test_support::DoubleClick(Grip(map)));
  EXPECT_EQ(map->GetPosition(), cbBarLeft);
  // And to the top, right of "Standard", as it started.
  DragTo(map, POINT{docked.left + 1, docked.top + 3});
  EXPECT_EQ(map->GetPosition(), cbBarTop);
  EXPECT_EQ(Screen(map).top, Screen(standard).top);
  EXPECT_EQ(bars->GetDockBar(cbBarTop)->GetRowCount(), rows);

  // "Standard" floats, but docks nowhere but the top.
  DragTo(standard, at(client.Width() / 2, client.Height() / 2));
  ASSERT_TRUE(standard->IsFloating());
  DragTo(standard, at(3, client.Height() / 2));
  EXPECT_TRUE(standard->IsFloating());
  DragTo(standard, at(client.Width() - 3, client.Height() / 2));
  EXPECT_TRUE(standard->IsFloating());
  const CRect top = Screen(bars->GetDockBar(cbBarTop));
  DragTo(standard, POINT{top.left + 40, top.top + 3});
  EXPECT_EQ(standard->GetPosition(), cbBarTop);
  // The graph's page hides "Map" again, wherever it is.
  Command(ID_VIEW_GRAPH);
  Settle();
  EXPECT_FALSE(map->IsWindowVisible());
}

}  // namespace
