// Dragging, docking and floating the program's toolbars through real mouse and key events:
// the sides each bar may take, floating and docking back, the drag loop's endings, sizing a
// floating bar, its window kind, its place on the monitors and its hiding with the application.
#include "platform/testing/UiTest.h"
#include "platform/ui/UiResources.h"
#include "platform/ui/WinApp.h"
#include "tests/support/BarHelpers.h"
#include "toolkit/CbCommandBars.h"
#include "toolkit/CbPaintManager.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using test_support::Grip;
using test_support::Screen;

class CDockFrame : public CCbFrameWnd {};

// A control that, like the bar combos, has no place on a vertical bar.
class CWideControl : public CCbControlButton {
 public:
  void OnCalcDynamicSize(DWORD dwMode) override {
    if (dwMode & LM_VERTDOCK)
      SetHideFlags(GetHideFlags() | cbHideDock);
    else
      SetHideFlags(GetHideFlags() & ~(DWORD)cbHideDock);
  }
};

// Counts the keys that reach it.
class CKeyTarget : public CWnd {
 public:
  int m_nKeys = 0;
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
    if (message == WM_KEYDOWN) ++m_nKeys;
    return CWnd::OnWndMsg(message, wParam, lParam, pResult);
  }
};

class Docking : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    CCbPaintManager::SetTheme(0);
    frame = new CDockFrame;
    ASSERT_TRUE(frame->Create(nullptr, "Docking", WS_POPUP | WS_VISIBLE, CRect(20, 20, 1220, 520)));
    ASSERT_TRUE(
        view.CreateEx(0, nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), frame, AFX_IDW_PANE_FIRST));
    ASSERT_TRUE(frame->InitCommandBars());
    bars = frame->GetCommandBars();
    standard = bars->Add("Standard", cbBarTop);
    ASSERT_TRUE(standard && standard->LoadToolBar(128));
    standard->EnableDocking(0x31);
    standard->SetCloseable(FALSE);
    map = bars->Add("Map", cbBarTop);
    ASSERT_TRUE(map && map->LoadToolBar(281));
    map->EnableDocking(0x3D);
    map->SetCloseable(FALSE);
    frame->RecalcLayout();
    test_support::DockAfter(bars, map, standard);
    frame->RecalcLayout();
    frame->SetActiveWindow();
    AfxTestWait(10);
  }
  void TearDown() override {
    AfxTestMoveAway();
    if (::IsWindow(frame->m_hWnd)) frame->DestroyWindow();
    AfxTestWait(5);
  }
  POINT FramePoint(int x, int y) {
    POINT p{x, y};
    frame->ClientToScreen(&p);
    return p;
  }
  // Presses at from, then, while the drag loop runs, moves through the path, runs during()
  // and releases at the last point (unless during() ended the drag some other way).
  void Drag(POINT from, const std::vector<POINT>& path, const std::function<void()>& during = {}, BOOL release = TRUE) {
    CTestCallLater later(0, [&] {
      for (POINT p : path) AfxTestMouse(WM_MOUSEMOVE, p);
      if (during) during();
      if (release) AfxTestMouse(WM_LBUTTONUP, path.empty() ? from : path.back());
    });
    AfxTestMouse(WM_MOUSEMOVE, from);
    AfxTestMouse(WM_LBUTTONDOWN, from);
    ASSERT_TRUE(later.Wait(5000));
    if (!release) AfxTestMouse(WM_LBUTTONUP, path.empty() ? from : path.back());
  }
  // Moves in steps, as a hand does.
  static std::vector<POINT> Path(POINT a, POINT b, int steps = 8) {
    std::vector<POINT> v;
    for (int i = 1; i <= steps; ++i) v.push_back(POINT{a.x + (b.x - a.x) * i / steps, a.y + (b.y - a.y) * i / steps});
    return v;
  }
  int HiddenCount(CCbToolBar* bar) {
    int n = 0;
    for (int i = 0; i < bar->GetControlCount(); ++i) n += (bar->GetControl(i)->GetHideFlags() & cbHideWrap) != 0;
    return n;
  }
  CDockFrame* frame = nullptr;
  CWnd view;
  CCbCommandBars* bars = nullptr;
  CCbToolBar* standard = nullptr;
  CCbToolBar* map = nullptr;
};

TEST_F(Docking, MapDraggedToTheLeftEdgeDocksVerticallyAndHidesWhatHasNoPlaceThere) {
  auto* wide = new CWideControl;
  wide->SetID(40001);
  wide->SetCaption("Region");
  map->GetControls()->Add(wide, 40001, CString(), 2);
  frame->RecalcLayout();
  EXPECT_TRUE(wide->IsVisible());
  Drag(Grip(map), Path(Grip(map), FramePoint(4, 250)));
  EXPECT_EQ(map->GetDockBar(), bars->GetDockBar(cbBarLeft));
  EXPECT_EQ(map->GetPosition(), cbBarLeft);
  const CRect rc = Screen(map);
  EXPECT_GT(rc.Height(), rc.Width());
  EXPECT_FALSE(wide->IsVisible()) << "the control hides on a vertical bar";
  // The view moved right to make room, and the top row keeps only "Standard".
  CRect v = Screen(&view), left = Screen(bars->GetDockBar(cbBarLeft));
  EXPECT_EQ(v.left, left.right);
  EXPECT_GE(left.Width(), rc.Width());
  EXPECT_EQ(bars->GetDockBar(cbBarTop)->GetRowCount(), 1);
  // Back on top: the control shows again.
  Drag(Grip(map), Path(Grip(map), FramePoint(700, 5)));
  EXPECT_EQ(map->GetPosition(), cbBarTop);
  EXPECT_TRUE(wide->IsVisible());
}

TEST_F(Docking, MapDraggedToTheMiddleFloatsAndADoubleClickOnItsCaptionDocksItBack) {
  const CRect before = Screen(map);
  const CRect standardBefore = Screen(standard);
  Drag(Grip(map), Path(Grip(map), FramePoint(600, 250)));
  ASSERT_TRUE(map->IsFloating());
  EXPECT_EQ(map->GetDockBar(), nullptr);
  EXPECT_EQ(::GetWindow(map->m_hWnd, GW_OWNER), frame->m_hWnd);
  EXPECT_TRUE(Screen(map).PtInRect(FramePoint(600, 250))) << "the pointer stays on the bar";
  EXPECT_TRUE(map->IsWindowVisible());
  // The floating bar has its caption with the title above its controls, and its borders.
  const CRect cap = map->GetCaptionRect();
  EXPECT_GT(cap.Height(), 0);
  for (int i = 0; i < map->GetControlCount(); ++i)
    if (map->GetControl(i)->IsVisible()) {
      EXPECT_GE(map->GetControl(i)->GetRect().top, cap.bottom) << i;
    }
  EXPECT_FALSE(map->IsHideShown()) << "the bar is not closeable";

  ASSERT_TRUE(test_support::DoubleClick(Grip(map)));
  ASSERT_FALSE(map->IsFloating());
  EXPECT_EQ(map->GetDockBar(), bars->GetDockBar(cbBarTop));
  EXPECT_EQ(bars->GetDockBar(cbBarTop)->GetRowCount(), 1);
  EXPECT_EQ(Screen(map), before) << "back where it was, right of \"Standard\"";
  EXPECT_EQ(Screen(standard), standardBefore);
}

TEST_F(Docking, StandardDocksOnlyAtTheTopAndStaysFloatingNearOtherSides) {
  // Off the top first, into the middle.
  Drag(Grip(standard), Path(Grip(standard), FramePoint(600, 250)));
  ASSERT_TRUE(standard->IsFloating());
  CRect client;
  frame->GetClientRect(&client);
  const CRect view0 = Screen(&view);
  struct Case {
    const char* name;
    POINT at;
  } cases[] = {
      {"left edge", FramePoint(3, 250)},
      {"15 px left of the frame", FramePoint(-15, 250)},
      {"right edge", FramePoint(client.right - 3, 250)},
      {"15 px right of the frame", FramePoint(client.right + 15, 250)},
      {"bottom edge", FramePoint(600, client.bottom - 3)},
  };
  for (const Case& c : cases) {
    POINT from = Grip(standard);
    Drag(from, Path(from, c.at));
    EXPECT_TRUE(standard->IsFloating()) << c.name;
    EXPECT_EQ(standard->GetDockBar(), nullptr) << c.name;
    EXPECT_TRUE(Screen(standard).PtInRect(c.at)) << c.name;
  }
  // The left, right and bottom dock bars took nothing, so the view still fills them.
  EXPECT_EQ(Screen(&view).left, view0.left);
  EXPECT_EQ(Screen(&view).right, view0.right);
  POINT from = Grip(standard);
  Drag(from, Path(from, FramePoint(100, 4)));
  EXPECT_EQ(standard->GetDockBar(), bars->GetDockBar(cbBarTop));
}

TEST_F(Docking, RemovingTheOnlyBarOfARowRemovesTheRow) {
  CCbDockBar* top = bars->GetDockBar(cbBarTop);
  // "Map" on a row of its own below "Standard".
  bars->DockCommandBar(map, cbBarTop);
  frame->RecalcLayout();
  ASSERT_EQ(top->GetRowCount(), 2);
  const int twoRows = Screen(top).Height();
  EXPECT_GE(Screen(map).top, Screen(standard).bottom);
  bars->RemoveToolBar(map);
  map = nullptr;
  EXPECT_EQ(top->GetRowCount(), 1);
  EXPECT_EQ(Screen(top).Height(), Screen(standard).Height());
  EXPECT_LT(Screen(top).Height(), twoRows);
  EXPECT_EQ(Screen(&view).top, Screen(top).bottom);
  EXPECT_EQ(top->GetRows().size(), 2u) << "\"Standard\" and one row end";
}

TEST_F(Docking, MapSitsRightOfStandardAndMovesDownOrHidesWhenTheFrameIsNarrow) {
  EXPECT_EQ(Screen(map).top, Screen(standard).top);
  EXPECT_EQ(Screen(map).left, Screen(standard).right);
  const int both = Screen(standard).Width() + Screen(map).Width();
  for (int width : {700, 500, 1200}) {
    frame->MoveWindow(20, 20, width, 500);
    frame->RecalcLayout();
    const CRect s = Screen(standard), m = Screen(map);
    const BOOL below = m.top >= s.bottom;
    const int hidden = HiddenCount(standard) + HiddenCount(map);
    if (both <= width) {
      EXPECT_FALSE(below) << width;
      EXPECT_EQ(hidden, 0) << width;
    } else {
      EXPECT_TRUE(below || hidden > 0) << width << ": Map at " << m.left << "," << m.top;
    }
    // What is hidden has the expand button to go to.
    EXPECT_TRUE(HiddenCount(map) == 0 || map->IsExpandShown()) << width;
    EXPECT_TRUE(HiddenCount(standard) == 0 || standard->IsExpandShown()) << width;
    CRect client;
    frame->GetClientRect(&client);
    frame->ClientToScreen(&client);
    EXPECT_LE(m.right, client.right) << width;
    EXPECT_LE(s.right, client.right) << width;
  }
}

TEST_F(Docking, EscEndsTheDragWhereTheBarIs) {
  const POINT mid = FramePoint(600, 250);
  CRect atEsc;
  Drag(
      Grip(map), Path(Grip(map), mid),
      [&] {
        AfxTestKeyStroke(VK_ESCAPE);
        atEsc = Screen(map);
        // Moves after Esc no longer drag.
        AfxTestMouse(WM_MOUSEMOVE, FramePoint(650, 300));
      },
      FALSE);
  EXPECT_TRUE(map->IsFloating());
  EXPECT_EQ(Screen(map), atEsc);
  EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(Docking, TheDragEndsWhenTheCaptureIsTakenAway) {
  CWnd other;
  ASSERT_TRUE(other.CreateEx(0, nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 300, 10, 310), frame, 0));
  Drag(
      Grip(map), Path(Grip(map), FramePoint(600, 250)), [&] { other.SetCapture(); }, FALSE);
  EXPECT_EQ(::GetCapture(), other.m_hWnd);
  ::ReleaseCapture();
  EXPECT_TRUE(map->IsFloating());
}

TEST_F(Docking, AFloatingBarSizesByItsBordersAndKeepsTheWidth) {
  Drag(Grip(map), Path(Grip(map), FramePoint(600, 250)));
  ASSERT_TRUE(map->IsFloating());
  const CRect wide = Screen(map);
  // The right border, 3 pixels: the cursor says so and a press there sizes.
  POINT border{wide.right - 2, wide.bottom - 10};
  POINT inside{border.x, border.y};
  map->ScreenToClient(&inside);
  EXPECT_EQ(map->HitTestBorder(inside), HTRIGHT);
  Drag(border, Path(border, POINT{border.x - wide.Width() / 2, border.y}));
  const CRect narrow = Screen(map);
  EXPECT_LT(narrow.Width(), wide.Width());
  EXPECT_GT(narrow.Height(), wide.Height()) << "the controls wrap to more rows";
  EXPECT_EQ(narrow.left, wide.left) << "the opposite edge stays";
  EXPECT_EQ(narrow.top, wide.top);
  EXPECT_EQ(map->GetMRUWidth(), narrow.Width());
  // Docked and floated again, it comes back in the width the user gave it.
  map->GetDockContext()->ToggleDocking();
  ASSERT_FALSE(map->IsFloating());
  Drag(Grip(map), Path(Grip(map), FramePoint(600, 250)));
  EXPECT_EQ(Screen(map).Width(), narrow.Width());
}

TEST_F(Docking, AFloatingBarIsOwnedManagedNeverFocusedAndKeepsItsPlace) {
  ASSERT_TRUE(bars->FloatCommandBar(map));
  EXPECT_TRUE(AfxTestIsManagedNoFocus(map->m_hWnd));
  EXPECT_FALSE(map->GetStyle() & WS_CHILD);
  EXPECT_TRUE(map->GetExStyle() & WS_EX_NOACTIVATE);
  EXPECT_FALSE(map->GetExStyle() & WS_EX_TOOLWINDOW);
  map->SetWindowPos(nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  AfxTestWait(10);
  EXPECT_EQ(Screen(map).TopLeft(), CPoint(300, 200));
  // A click on it leaves the frame active; an edit on it takes the focus without taking that.
  Drag(Grip(map), {});
  EXPECT_EQ(::GetActiveWindow(), frame->m_hWnd);
  EXPECT_EQ(Screen(map).TopLeft(), CPoint(300, 200));
  CKeyTarget edit;
  ASSERT_TRUE(edit.CreateEx(0, nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(5, 25, 60, 45), map, 1));
  edit.SetFocus();
  EXPECT_EQ(::GetFocus(), edit.m_hWnd);
  EXPECT_EQ(::GetActiveWindow(), frame->m_hWnd);
  AfxTestKeyStroke('7', 0, "7");
  EXPECT_EQ(edit.m_nKeys, 1);
  // Docked again it is a child of its dock bar once more.
  map->GetDockContext()->ToggleDocking();
  EXPECT_TRUE(map->GetStyle() & WS_CHILD);
  EXPECT_EQ(map->GetParent(), bars->GetDockBar(cbBarTop));
  EXPECT_FALSE(AfxTestIsManagedNoFocus(map->m_hWnd));
}

TEST_F(Docking, FloatingBarsHideWhileTheApplicationIsInactive) {
  ASSERT_TRUE(bars->FloatCommandBar(map));
  ASSERT_TRUE(map->IsWindowVisible());
  AfxTestApplicationState(FALSE);
  EXPECT_FALSE(map->IsWindowVisible());
  EXPECT_TRUE(standard->IsWindowVisible()) << "docked bars stay";
  AfxTestApplicationState(TRUE);
  EXPECT_TRUE(map->IsWindowVisible());
  // The frame's float-status message does the same.
  map->SendMessage(WM_FLOATSTATUS, FS_HIDE, 0);
  EXPECT_FALSE(map->IsWindowVisible());
  map->SendMessage(WM_FLOATSTATUS, FS_SHOW, 0);
  EXPECT_TRUE(map->IsWindowVisible());
  // A bar the program hid stays hidden when the application comes back.
  map->SetVisible(FALSE);
  AfxTestApplicationState(FALSE);
  AfxTestApplicationState(TRUE);
  EXPECT_FALSE(map->IsWindowVisible());
  // Without the option nothing hides.
  map->SetVisible(TRUE);
  bars->GetCommandBarsOptions()->bSyncFloatingBars = FALSE;
  AfxTestApplicationState(FALSE);
  EXPECT_TRUE(map->IsWindowVisible());
  AfxTestApplicationState(TRUE);
}

TEST_F(Docking, FloatingBarsTakeTheFramesUpdateHandlersAtIdleTime) {
  ASSERT_TRUE(bars->FloatCommandBar(map));
  CCbControl* c = map->GetControl(0);
  ASSERT_TRUE(c);
  c->SetEnabled(TRUE);
  frame->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
  // Nothing handles the command in this frame: the floating bar's control is disabled.
  EXPECT_FALSE(c->GetEnabled());
}

TEST(DockingPlace, AFloatingBarWhereNoMonitorIsComesOntoOne) {
  const CRect one(0, 0, 1280, 1000), two(1280, 0, 2560, 1000);
  struct Case {
    const char* name;
    std::vector<CRect> areas;
    CRect bar;
    CRect want;
  } cases[] = {
      {"on its monitor: left alone", {one, two}, CRect(100, 100, 300, 150), CRect(100, 100, 300, 150)},
      {"a removed monitor on the right", {one}, CRect(2000, 300, 2200, 350), CRect(1080, 300, 1280, 350)},
      {"below every monitor", {one, two}, CRect(1500, 5000, 1700, 5050), CRect(1500, 950, 1700, 1000)},
      {"0,0 with the only monitor to the right", {two}, CRect(0, 0, 200, 50), CRect(1280, 0, 1480, 50)},
      {"across two: the larger share keeps it", {one, two}, CRect(1200, 10, 1400, 60), CRect(1280, 10, 1480, 60)},
      {"larger than the area: its top-left shows", {one}, CRect(-50, -50, 1500, 1100), CRect(0, 0, 1550, 1150)},
  };
  for (const Case& c : cases) EXPECT_EQ(CbKeepInWorkArea(c.areas, c.bar), c.want) << c.name;
}

TEST_F(Docking, AFloatingBarSentOffTheMonitorsLandsOnOne) {
  const std::vector<CRect> areas = CbMonitorWorkAreas();
  ASSERT_FALSE(areas.empty());
  map->GetDockContext()->FloatAt(CPoint(-5000, -5000));
  ASSERT_TRUE(map->IsFloating());
  const CRect rc = Screen(map);
  BOOL inside = FALSE;
  for (const CRect& w : areas) {
    CRect i;
    inside |= i.IntersectRect(&w, &rc) && i == rc;
  }
  EXPECT_TRUE(inside) << rc.left << "," << rc.top;
}

TEST_F(Docking, PictureOfMapFloating) {
  Drag(Grip(map), Path(Grip(map), FramePoint(600, 250)));
  ASSERT_TRUE(map->IsFloating());
  map->UpdateWindow();
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(map->m_hWnd, &pic));
  pic.SavePng("docking_map_floating.png");
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CBitmap* old = dc.SelectObject(&pic);
  const CPoint o = AfxClientOriginInCapture(map->m_hWnd);
  const CRect cap = map->GetCaptionRect();
  // The caption is a band of its own colour, with the title written on it.
  const COLORREF capColour = dc.GetPixel(o.x + cap.right - 2, o.y + cap.top + 1);
  const COLORREF face = dc.GetPixel(o.x + 4, o.y + cap.bottom + 2);
  EXPECT_NE(capColour, face);
  int text = 0;
  for (int x = cap.left; x < cap.left + 40; ++x)
    for (int y = cap.top; y < cap.bottom; ++y) text += dc.GetPixel(o.x + x, o.y + y) != capColour;
  EXPECT_GT(text, 10) << "the title \"Map\"";
  dc.SelectObject(old);
}

// Last: the quit it leaves behind would end the loops of any test after it in this process.
TEST_F(Docking, TheDragLoopKeepsTheQuitForTheLoopsOutsideIt) {
  Drag(
      Grip(map), Path(Grip(map), FramePoint(600, 250)), [] { ::PostQuitMessage(3); }, FALSE);
  EXPECT_TRUE(AfxQuitRequested());
  EXPECT_EQ(::GetCapture(), nullptr);
}

}  // namespace
