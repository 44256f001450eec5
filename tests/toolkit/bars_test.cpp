// The bars as a user meets them: the program's toolbars in a frame, laid out, drawn in the
// flat look, pressed and hovered through the message path, following the frame's update
// handlers; the icons cut from the toolbar pictures; the layout's edge cases; the status bar's
// panes.
#include "platform/core/AfxResource.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/UiResources.h"
#include "tests/support/BarHelpers.h"
#include "toolkit/CbColorManager.h"
#include "toolkit/CbCommandBars.h"
#include "toolkit/CbImageManager.h"
#include "toolkit/CbPaintThemes.h"
#include "toolkit/CbStatusBar.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <string>

namespace {

const UINT kStandardIds[] = {32811, 32812, 32858, 32864, 32869, 0,     32785, 32791, 0,     32788, 0, 32778, 0,
                             32779, 0,     32780, 32789, 0,     32790, 32787, 0,     57607, 32807, 0, 57667};

// A toolbar resource that claims 50 items but holds 2.
alignas(2) const unsigned char kShortToolbar[] = {1, 0, 16, 0, 15, 0, 50, 0, 0x2B, 0x80, 0x2C, 0x80};
const AFX_RESOURCE_INIT g_shortToolbar(RT_TOOLBAR, MAKEINTRESOURCE(901), kShortToolbar, sizeof kShortToolbar);

const char kMenuScript[] =
    "menu 902\n"
    "  popup \"&View\"\n"
    "    item \"&Graph\\tCtrl+G\" 32811 checked default\n"
    "    separator\n"
    "    item \"&Table\" 32812 grayed\n"
    "    popup \"Time &Zone\"\n"
    "      item \"&Automatic\" 32800\n"
    "    end\n"
    "  end\n"
    "end\n";
const AFX_UI_SCRIPT_INIT g_menuScript("bars_test", kMenuScript, sizeof(kMenuScript) - 1);

class CBarFrame : public CCbFrameWnd {
 public:
  int m_nCommands = 0;
  UINT m_nLastCommand = 0;
  int m_nExecuted = 0;
  BOOL m_bGraphOn = TRUE;
  BOOL m_bTableChecked = FALSE;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    ++m_nCommands;
    m_nLastCommand = LOWORD(wParam);
    return CCbFrameWnd::OnCommand(wParam, lParam);
  }
  BOOL m_bAnswerExecuted = FALSE;
  CCbToolBar* m_pEmptyOnCommand = nullptr;
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
    if (message == WM_BAR_CONTROL_EXECUTED) {
      ++m_nExecuted;
      if (m_bAnswerExecuted) {
        *pResult = 1;
        return TRUE;
      }
    }
    if (message == WM_COMMAND && m_pEmptyOnCommand) m_pEmptyOnCommand->GetControls()->RemoveAll();
    return CCbFrameWnd::OnWndMsg(message, wParam, lParam, pResult);
  }
  void OnGraph() {}
  void OnUpdateGraph(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bGraphOn); }
  void OnTable() {}
  void OnUpdateTable(CCmdUI* pCmdUI) { pCmdUI->SetCheck(m_bTableChecked); }
  void OnAny() {}
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CBarFrame, CFrameWnd)
  ON_COMMAND(32811, OnGraph)
  ON_UPDATE_COMMAND_UI(32811, OnUpdateGraph)
  ON_COMMAND(32812, OnTable)
  ON_UPDATE_COMMAND_UI(32812, OnUpdateTable)
  ON_COMMAND(32858, OnAny)
  ON_COMMAND(32864, OnAny)
  ON_COMMAND(32869, OnAny)
  ON_COMMAND(32785, OnAny)
  ON_COMMAND(32791, OnAny)
END_MESSAGE_MAP()

// Saves a picture, and beside it one three times as large, so a person can see its pixels.
void SavePictures(CBitmap& pic, const char* name) {
  pic.SavePng(CString(name) + ".png");
  BITMAP info{};
  pic.GetBitmap(&info);
  CDC src, dst;
  src.CreateCompatibleDC(nullptr);
  dst.CreateCompatibleDC(nullptr);
  CBitmap big;
  big.CreateBitmap(info.bmWidth * 3, info.bmHeight * 3, 1, 32, nullptr);
  CBitmap* o1 = src.SelectObject(&pic);
  CBitmap* o2 = dst.SelectObject(&big);
  dst.StretchBlt(0, 0, info.bmWidth * 3, info.bmHeight * 3, &src, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
  src.SelectObject(o1);
  dst.SelectObject(o2);
  big.SavePng(CString(name) + "_x3.png");
}

class Bars : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    CCbPaintManager::SetTheme(0);
    frame = new CBarFrame;
    ASSERT_TRUE(frame->Create(nullptr, "Bars", WS_POPUP | WS_VISIBLE | WS_THICKFRAME, CRect(20, 20, 1220, 320)));
    ASSERT_TRUE(
        view.CreateEx(0, nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), frame, AFX_IDW_PANE_FIRST));
    ASSERT_TRUE(frame->InitCommandBars());
    CCbCommandBars* bars = frame->GetCommandBars();
    standard = bars->Add("Standard", cbBarTop);
    ASSERT_TRUE(standard);
    ASSERT_TRUE(standard->LoadToolBar(128));
    standard->EnableDocking(0x31);
    map = bars->Add("Map", cbBarTop);
    ASSERT_TRUE(map);
    ASSERT_TRUE(map->LoadToolBar(281));
    map->EnableDocking(0x3D);
    frame->RecalcLayout();
    test_support::DockAfter(bars, map, standard);
    frame->RecalcLayout();
    AfxTestWait(20);
  }
  void TearDown() override {
    AfxTestMoveAway();
    if (::IsWindow(frame->m_hWnd)) frame->DestroyWindow();
    AfxTestWait(5);
  }
  CRect InFrame(CWnd* w) {
    CRect r;
    w->GetWindowRect(&r);
    frame->ScreenToClient(&r);
    return r;
  }
  POINT ScreenPoint(CCbCommandBar* bar, CPoint pt) {
    bar->ClientToScreen(&pt);
    return pt;
  }
  CPoint Centre(CCbControl* c) { return c->GetRect().CenterPoint(); }
  void Idle() {
    frame->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
    frame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE);
  }
  CBarFrame* frame = nullptr;
  CWnd view;
  CCbToolBar* standard = nullptr;
  CCbToolBar* map = nullptr;
};

TEST_F(Bars, StandardAndMapShareOneRowAt1200Pixels) {
  EXPECT_EQ(standard->GetControlCount(), 17);
  EXPECT_EQ(map->GetControlCount(), 9);
  const CRect s = InFrame(standard), m = InFrame(map);
  EXPECT_EQ(s.top, m.top);
  EXPECT_GE(m.left, s.right);
  EXPECT_EQ(s.left, 0);
  for (int i = 0; i < standard->GetControlCount(); ++i) EXPECT_EQ(standard->GetControl(i)->GetHideFlags(), 0u) << i;
  // The status-free frame gives the rest to the view, below the bars.
  EXPECT_EQ(InFrame(&view).top, s.bottom);
}

TEST_F(Bars, NarrowFrameMovesMapDownOrHidesItsControls) {
  frame->MoveWindow(20, 20, 500, 300);
  frame->RecalcLayout();
  const CRect s = InFrame(standard), m = InFrame(map);
  int hidden = 0;
  for (CCbToolBar* b : {standard, map})
    for (int i = 0; i < b->GetControlCount(); ++i) hidden += (b->GetControl(i)->GetHideFlags() & cbHideWrap) != 0;
  EXPECT_TRUE(m.top >= s.bottom || hidden > 0);
  CRect client;
  frame->GetClientRect(&client);
  for (const CRect& r : {s, m}) {
    EXPECT_GE(r.Width(), 0);
    EXPECT_LE(r.right, client.right);
  }
  // Room again: nothing hidden.
  frame->MoveWindow(20, 20, 1200, 300);
  frame->RecalcLayout();
  for (int i = 0; i < standard->GetControlCount(); ++i)
    EXPECT_EQ(standard->GetControl(i)->GetHideFlags() & cbHideWrap, 0u);
}

TEST_F(Bars, ZeroSizedFrameLeavesNoNegativeRectangles) {
  frame->MoveWindow(20, 20, 0, 0);
  frame->RecalcLayout();
  for (CCbToolBar* b : {standard, map}) {
    const CRect r = InFrame(b);
    EXPECT_GE(r.Width(), 0);
    EXPECT_GE(r.Height(), 0);
    for (int i = 0; i < b->GetControlCount(); ++i) {
      const CRect c = b->GetControl(i)->GetRect();
      EXPECT_GE(c.Width(), 0);
      EXPECT_GE(c.Height(), 0);
    }
  }
}

TEST_F(Bars, PressLeaveReleaseRunsNothingAndBackInsideRunsTheCommand) {
  CCbControl* graph = standard->GetControl(0);
  const CPoint c = Centre(graph);
  // The press holds the mouse in its own loop: what follows is queued before it.
  BOOL pressed = FALSE;
  CTestCallLater leave(10, [&] {
    pressed = graph->GetPressed() == 1;
    AfxTestMouse(WM_MOUSEMOVE, ScreenPoint(standard, CPoint(c.x, c.y + 200)));
    AfxTestMouse(WM_LBUTTONUP, ScreenPoint(standard, CPoint(c.x, c.y + 200)));
  });
  AfxTestMouse(WM_MOUSEMOVE, ScreenPoint(standard, c));
  AfxTestMouse(WM_LBUTTONDOWN, ScreenPoint(standard, c));
  ASSERT_TRUE(leave.Wait());
  EXPECT_TRUE(pressed);
  AfxTestWait(300, [&] { return graph->GetPressed() == 0 && ::GetCapture() == nullptr; });
  EXPECT_EQ(frame->m_nCommands, 0);
  EXPECT_EQ(frame->m_nExecuted, 0);

  CTestCallLater back(10, [&] {
    AfxTestMouse(WM_MOUSEMOVE, ScreenPoint(standard, CPoint(c.x, c.y + 200)));
    AfxTestMouse(WM_MOUSEMOVE, ScreenPoint(standard, c));
    AfxTestMouse(WM_LBUTTONUP, ScreenPoint(standard, c));
  });
  AfxTestMouse(WM_MOUSEMOVE, ScreenPoint(standard, c));
  AfxTestMouse(WM_LBUTTONDOWN, ScreenPoint(standard, c));
  ASSERT_TRUE(back.Wait());
  AfxTestWait(1000, [&] { return frame->m_nCommands > 0; });
  EXPECT_EQ(frame->m_nExecuted, 1);
  EXPECT_EQ(frame->m_nCommands, 1);
  EXPECT_EQ(frame->m_nLastCommand, 32811u);
}

TEST_F(Bars, AnsweredExecutionSendsNoCommandAndAControlMayGoDuringItsCommand) {
  CCbControl* graph = standard->GetControl(0);
  frame->m_bAnswerExecuted = TRUE;
  graph->OnClick(TRUE);
  EXPECT_EQ(frame->m_nExecuted, 1);
  EXPECT_EQ(frame->m_nCommands, 0);
  frame->m_bAnswerExecuted = FALSE;
  // The command empties the bar: the control is released while it runs.
  frame->m_pEmptyOnCommand = standard;
  graph->OnClick(TRUE);
  EXPECT_EQ(standard->GetControlCount(), 0);
  EXPECT_EQ(frame->m_nCommands, 1);
  // The same from a mouse press, whose loop holds the control too.
  frame->m_pEmptyOnCommand = map;
  map->SetVisible(TRUE);
  frame->RecalcLayout();
  CCbControl* zoom = map->GetControls()->FindControl(32870);
  ASSERT_TRUE(zoom);
  const CPoint c = Centre(zoom);
  CTestCallLater release(5, [&] { AfxTestMouse(WM_LBUTTONUP, ScreenPoint(map, c)); });
  AfxTestMouse(WM_MOUSEMOVE, ScreenPoint(map, c));
  AfxTestMouse(WM_LBUTTONDOWN, ScreenPoint(map, c));
  ASSERT_TRUE(release.Wait());
  AfxTestWait(200, [&] { return map->GetControlCount() == 0; });
  EXPECT_EQ(map->GetControlCount(), 0);
}

TEST_F(Bars, RowsOfTheDockBar) {
  CCbCommandBars* bars = frame->GetCommandBars();
  EXPECT_EQ(bars->GetToolBar(281), map);
  EXPECT_EQ(bars->GetToolBar(0), nullptr);
  CCbDockBar* top = standard->GetDockBar();
  ASSERT_TRUE(top);
  EXPECT_EQ(top->GetRowCount(), 1);
  // Hidden, "Map" gives its room back at once.
  bars->ToggleVisible(1);
  EXPECT_FALSE(map->IsVisible());
  EXPECT_FALSE(map->IsWindowVisible());
  bars->ToggleVisible(1);
  EXPECT_TRUE(map->IsWindowVisible());
  // A stretched bar stands alone in its row, across the whole frame.
  map->SetFlags(map->GetFlags() | cbFlagStretched);
  top->DockCommandBar(map);
  frame->RecalcLayout();
  EXPECT_EQ(top->GetRowCount(), 2);
  CRect client;
  frame->GetClientRect(&client);
  EXPECT_EQ(InFrame(map).Width(), client.Width());
  EXPECT_EQ(InFrame(map).top, InFrame(standard).bottom);
  // Taken out, its row goes too.
  top->RemoveCommandBar(map);
  EXPECT_EQ(top->GetRowCount(), 1);
  EXPECT_EQ(map->GetDockBar(), nullptr);
}

TEST_F(Bars, AToolbarResourceShorterThanItsCountLoadsNothing) {
  EXPECT_FALSE(standard->LoadToolBar(901));
  EXPECT_EQ(standard->GetControlCount(), 0);
  EXPECT_FALSE(standard->LoadToolBar(777));  // none at all
}

TEST_F(Bars, ControlsFromAMenuKeepItsStatesAndAskTheFrame) {
  CMenu menu;
  ASSERT_TRUE(menu.LoadMenu(902));
  CCbControls controls;
  ASSERT_TRUE(controls.LoadMenu(menu.GetSubMenu(0), frame));
  ASSERT_EQ(controls.GetCount(), 3);
  CCbControl* graph = controls.GetAt(0);
  EXPECT_EQ(graph->GetID(), 32811);
  EXPECT_STREQ(graph->GetCaption().GetString(), "&Graph");
  EXPECT_STREQ(graph->GetMenuShortcutText().GetString(), "Ctrl+G");
  EXPECT_EQ(graph->GetChecked(), 1);
  EXPECT_TRUE(graph->IsDefaultItem());
  CCbControl* table = controls.GetAt(1);
  EXPECT_TRUE(table->GetBeginGroup());
  EXPECT_FALSE(table->GetEnabled());
  EXPECT_EQ(controls.GetAt(2)->GetType(), cbControlPopup);
  EXPECT_EQ(controls.GetAt(2)->GetID(), 0);
}

TEST(FrameBase, CommandBarsNeedTheFramesWindow) {
  AfxWinInit(0, nullptr);
  CCbFrameWnd frame;  // never created: the dock bars can't be made
  EXPECT_FALSE(frame.InitCommandBars());
  EXPECT_EQ(frame.GetCommandBars(), nullptr);
}

TEST_F(Bars, HoverHighlightAndTooltipGoSoonAfterLeaving) {
  CCbControl* table = standard->GetControl(1);
  AfxTestMouse(WM_MOUSEMOVE, ScreenPoint(standard, Centre(table)));
  AfxTestWait(100, [&] { return table->GetSelected() != 0; });
  EXPECT_EQ(table->GetSelected(), 1);
  EXPECT_STREQ(standard->GetToolTipText().GetString(), "Monthly Tide Tables");
  // Resting there, the tip comes up.
  CToolTipCtrl& tip = standard->GetToolTip();
  AfxTestWait(3000, [&] {
    AfxTestMouse(WM_MOUSEMOVE, ScreenPoint(standard, Centre(table)));
    return tip.GetSafeHwnd() && tip.IsWindowVisible();
  });
  EXPECT_TRUE(tip.IsWindowVisible());
  const auto t0 = std::chrono::steady_clock::now();
  AfxTestMouse(WM_MOUSEMOVE, ScreenPoint(standard, CPoint(5, 200)));
  AfxTestWait(1000, [&] { return table->GetSelected() == 0; });
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
  EXPECT_EQ(table->GetSelected(), 0);
  EXPECT_LT(ms, 50);
  EXPECT_FALSE(tip.IsWindowVisible());
}

TEST_F(Bars, StatesFollowTheUpdateHandlersAtIdle) {
  frame->m_bGraphOn = FALSE;
  frame->m_bTableChecked = TRUE;
  Idle();
  EXPECT_FALSE(standard->GetControl(0)->GetEnabled());
  EXPECT_EQ(standard->GetControl(1)->GetChecked(), 1);
  // No handler at all: disabled.
  EXPECT_FALSE(standard->GetControl(13)->GetEnabled());
  frame->m_bGraphOn = TRUE;
  frame->m_bTableChecked = FALSE;
  Idle();
  EXPECT_TRUE(standard->GetControl(0)->GetEnabled());
  EXPECT_EQ(standard->GetControl(1)->GetChecked(), 0);
}

TEST_F(Bars, ReferencePictures) {
  // A hot, a pressed, a checked and a disabled button.
  frame->m_bGraphOn = FALSE;
  frame->m_bTableChecked = TRUE;
  Idle();
  standard->GetControl(2)->OnSetSelected(1);
  standard->GetControl(3)->OnSetSelected(1);
  standard->GetControl(3)->SetPressed(1);
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(standard->GetSafeHwnd(), &pic));
  SavePictures(pic, "toolbar_standard_states");
  CCbPaintManager* p = CbPaintManager();
  const CRect hot = standard->GetControl(2)->GetRect(), pressed = standard->GetControl(3)->GetRect(),
              checked = standard->GetControl(1)->GetRect();
  EXPECT_EQ(pic.GetPixel(hot.left + 1, hot.top + 1), p->GetColor(31));
  EXPECT_EQ(pic.GetPixel(hot.left, hot.top), p->GetColor(32));
  EXPECT_EQ(pic.GetPixel(pressed.left + 1, pressed.top + 1), p->GetColor(33));
  EXPECT_EQ(pic.GetPixel(checked.left + 1, checked.top + 1), p->GetColor(36));
  map->SetVisible(TRUE);
  CBitmap mapPic;
  ASSERT_TRUE(AfxCaptureWindow(map->GetSafeHwnd(), &mapPic));
  SavePictures(mapPic, "toolbar_map");
}

// ---- The flat look's state table, read from pixels ----

struct StateCase {
  BOOL enabled;
  int selected, pressed, checked;
  BOOL popuped;
  int fill, frame, text;
};

TEST(FlatLook, StateTableFromPixels) {
  AfxWinInit(0, nullptr);
  CCbPaintManager::SetTheme(0);
  CCbPaintManager* p = CbPaintManager();
  const StateCase cases[] = {
      {TRUE, 0, 0, 0, FALSE, -1, -1, 46},  {TRUE, 1, 0, 0, FALSE, 31, 32, 45}, {TRUE, 0, 1, 0, FALSE, 31, 32, 45},
      {TRUE, 1, 1, 0, FALSE, 33, 50, 47},  {TRUE, 0, 2, 0, FALSE, 33, 50, 47}, {TRUE, 0, 0, 1, FALSE, 36, 50, 45},
      {TRUE, 1, 0, 1, FALSE, 33, 37, 47},  {TRUE, 0, 0, 0, TRUE, 30, 43, 46},  {FALSE, 0, 0, 0, FALSE, -1, -1, 40},
      {FALSE, 2, 0, 0, FALSE, 31, 32, 40},
  };
  for (const StateCase& c : cases) {
    CDC dc;
    CBitmap bmp;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    ASSERT_TRUE(bmp.CreateBitmap(30, 30, 1, 32, nullptr));
    CBitmap* old = dc.SelectObject(&bmp);
    const COLORREF back = RGB(1, 2, 3);
    dc.FillSolidRect(0, 0, 30, 30, back);
    p->DrawButtonBackground(&dc, CRect(5, 5, 25, 25), c.enabled, c.selected, c.pressed, c.checked, c.popuped, 1, 0);
    EXPECT_EQ(dc.GetPixel(15, 15), c.fill < 0 ? back : p->GetColor(c.fill)) << c.selected << c.pressed << c.checked;
    EXPECT_EQ(dc.GetPixel(5, 5), c.frame < 0 ? back : p->GetColor(c.frame));
    EXPECT_EQ(dc.GetTextColor(), p->GetColor(c.text));
    dc.SelectObject(old);
  }
}

TEST(FlatLook, SetThemeKeepsKindsAndSwapsSafely) {
  AfxWinInit(0, nullptr);
  // Kind and look family: the studio look is of the gradient family, unknown kinds classic.
  const int kinds[][2] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 2}, {9, 1}};
  for (const auto& k : kinds) {
    ASSERT_TRUE(CCbPaintManager::SetTheme(k[0]));
    EXPECT_EQ(CbPaintManager()->GetCurrentTheme(), k[0]);
    EXPECT_EQ(CbPaintManager()->GetLookKind(), k[1]);
  }
  EXPECT_EQ(CbPaintManager()->GetColor(1000), 1000u);
  EXPECT_STREQ(CCbPaintManager::StripMnemonics("A&&B &File").GetString(), "A&B File");
}

// ---- Icons ----

TEST(Icons, StandardPicturesGiveSeventeenTransparentIcons) {
  AfxWinInit(0, nullptr);
  CCbImageManager images;
  ASSERT_TRUE(images.SetIcons(128, kStandardIds, 25, 16, 15));
  EXPECT_EQ(images.GetIconSetCount(), 17);
  for (UINT id : kStandardIds) {
    if (!id) continue;
    CCbImageManagerIcon* icon = images.GetImage(id, 16);
    ASSERT_TRUE(icon) << id;
    EXPECT_EQ(icon->GetExtent(), CSize(16, 15));
    EXPECT_EQ((*icon->GetImage())[0] >> 24, 0u) << id;  // the mask colour's corner
  }
  CCbImageManagerIcon* big = images.GetImage(32811, 32);
  ASSERT_TRUE(big);
  EXPECT_EQ(big->GetExtent(), CSize(32, 30));
  EXPECT_TRUE(big->IsScaled());
  images.RefreshAll();
  EXPECT_EQ(images.GetImage(32811, 16)->GetWidth(), 16);
}

TEST(Icons, DerivedPicturesFollowTheirRules) {
  AfxWinInit(0, nullptr);
  CCbImageManager images;
  ASSERT_TRUE(images.SetIcons(128, kStandardIds, 25, 16, 15));
  CCbImageManagerIcon* icon = images.GetImage(32811, 16);
  const auto& px = *icon->GetImage();
  const auto& faded = icon->GetFadedIcon();
  const auto& disabled = icon->GetDisabledIcon();
  const auto& shadow = icon->GetShadowIcon();
  const COLORREF s = CbColorManager()->GetColor(31);
  for (size_t i = 0; i < px.size(); ++i) {
    const DWORD p = px[i];
    if (!(p >> 24)) {
      EXPECT_EQ(faded[i] >> 24, 0u);
      continue;
    }
    const int r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
    EXPECT_EQ((int)((faded[i] >> 16) & 255), (int)(76.5 + 0.7 * r));
    const int l = (int)(0.299 * r + 0.587 * g + 0.114 * b);
    EXPECT_EQ((int)(disabled[i] & 255), (int)(255.0 * std::sqrt(l / 255.0)));
    EXPECT_EQ((int)((shadow[i] >> 16) & 255), (int)(GetRValue(s) * 0.75));
  }
}

TEST(Icons, BadCountsLoadNothingOrGiveExtraIdsNoIcon) {
  AfxWinInit(0, nullptr);
  CCbImageManager images;
  EXPECT_FALSE(images.SetIcons(128, kStandardIds, 0, 0, 0));
  EXPECT_FALSE(images.SetIcons(12345, kStandardIds, 25, 16, 15));
  // 40 ids for 17 pictures: the ids beyond them get no icon.
  UINT many[40];
  for (int i = 0; i < 40; ++i) many[i] = 1000 + i;
  ASSERT_TRUE(images.SetIcons(128, many, 40, 16, 15));
  EXPECT_TRUE(images.GetImage(1016, 16));
  EXPECT_FALSE(images.GetImage(1017, 16));
}

// ---- Layout ----

class CFixedControl : public CCbControlButton {
 public:
  CSize m_size{20, 22};
  CSize GetSize(CDC*) override { return m_size; }
};

struct LayoutCase {
  const char* name;
  int count, group, length;
  DWORD mode;
  CSize expect;
  int firstHidden;  // -1: none
};

TEST(Layout, EdgeCases) {
  AfxWinInit(0, nullptr);
  const LayoutCase cases[] = {
      {"empty", 0, -1, 500, LM_HORZ | LM_HORZDOCK | LM_COMMIT, CSize(27, 26), -1},
      {"fits", 5, -1, 500, LM_HORZ | LM_HORZDOCK | LM_COMMIT, CSize(104, 26), -1},
      {"breaks at the group", 6, 3, 90, LM_HORZ | LM_HORZDOCK | LM_COMMIT, CSize(90, 26 + 22 + 6), -1},
      {"hides what does not fit", 6, -1, 90, LM_HORZ | LM_HORZDOCK | LM_HIDEWRAP | LM_COMMIT, CSize(90, 26), 4},
      {"narrower than one control", 3, -1, 5, LM_HORZ | LM_HORZDOCK | LM_HIDEWRAP | LM_COMMIT, CSize(24, 26), 1},
  };
  for (const LayoutCase& c : cases) {
    CCbControls controls;
    for (int i = 0; i < c.count; ++i) {
      CCbControl* k = controls.Add(new CFixedControl, 100 + i);
      if (i == c.group) k->SetBeginGroup(TRUE);
    }
    DWORD mode = c.mode;
    const CSize size = controls.CalcDynamicSize(c.length, mode, CRect(2, 2, 2, 2));
    EXPECT_EQ(size, c.expect) << c.name;
    for (int i = 0; i < c.count; ++i) {
      const BOOL hidden = (controls.GetAt(i)->GetHideFlags() & cbHideWrap) != 0;
      EXPECT_EQ(hidden, c.firstHidden >= 0 && i >= c.firstHidden) << c.name << " " << i;
      const CRect r = controls.GetAt(i)->GetRect();
      EXPECT_GE(r.Width(), 0);
    }
    if (c.group >= 0) {
      EXPECT_TRUE(controls.GetAt(c.group)->GetWrap()) << c.name;
    }
  }
  // Hidden controls come back with room.
  CCbControls controls;
  for (int i = 0; i < 6; ++i) controls.Add(new CFixedControl, 100 + i);
  DWORD mode = LM_HORZ | LM_HORZDOCK | LM_HIDEWRAP | LM_COMMIT;
  controls.CalcDynamicSize(60, mode, CRect(0, 0, 0, 0));
  EXPECT_NE(controls.GetAt(5)->GetHideFlags(), 0u);
  mode = LM_HORZ | LM_HORZDOCK | LM_HIDEWRAP | LM_COMMIT;
  controls.CalcDynamicSize(600, mode, CRect(0, 0, 0, 0));
  EXPECT_EQ(controls.GetAt(5)->GetHideFlags(), 0u);
}

TEST(Controls, PromptsCaptionsAndTheKeyboardWalk) {
  AfxWinInit(0, nullptr);
  CCbControl c;
  c.SetPrompt("Shows the tide graph\nGraph");
  EXPECT_STREQ(c.GetCaption().GetString(), "Graph");
  EXPECT_STREQ(c.GetDescription().GetString(), "Shows the tide graph");
  c.SetCaption("Open\tCtrl+O");
  EXPECT_STREQ(c.GetCaption().GetString(), "Open");
  EXPECT_STREQ(c.GetMenuShortcutText().GetString(), "Ctrl+O");

  CCbControls controls;
  const UINT ids[] = {1, 0, 2};
  controls.LoadToolBar(ids, 3, nullptr);
  ASSERT_EQ(controls.GetCount(), 2);
  EXPECT_TRUE(controls.GetAt(1)->GetBeginGroup());
  EXPECT_EQ(controls.GetNext(0, 1), 1);
  EXPECT_EQ(controls.GetNext(1, 1), 0);
  // A hidden start control is no answer when nothing else can be reached.
  controls.GetAt(1)->SetHideFlags(cbHideOwner);
  controls.GetAt(0)->SetHideFlags(cbHideOwner);
  EXPECT_EQ(controls.GetNext(-1, 1), -1);
  EXPECT_EQ(controls.GetNext(0, 1), -1);
}

// ---- Status bar ----

class CStatusFrame : public CFrameWnd {};

TEST(StatusBar, PanesByIdAndAnIconPaneThatStopsShortOfTheGrip) {
  AfxWinInit(0, nullptr);
  CCbPaintManager::SetTheme(0);
  auto* f = new CStatusFrame;
  ASSERT_TRUE(f->Create(nullptr, "Status", WS_POPUP | WS_VISIBLE | WS_THICKFRAME, CRect(50, 50, 850, 350)));
  CCbStatusBar bar;
  ASSERT_TRUE(bar.Create(f));
  const UINT ids[] = {ID_SEPARATOR, 61229};
  ASSERT_TRUE(bar.SetIndicators(ids, 2));
  bar.SetPaneText(1, "Aground");
  f->RecalcLayout();
  EXPECT_FALSE(bar.AddPane(61229, 1));  // exists
  EXPECT_FALSE(bar.AddPane(7, 5));      // beyond the count
  ASSERT_TRUE(bar.AddPane(1, bar.GetCount()));
  CB_STATUSPANE pane{};
  ASSERT_TRUE(bar.GetPaneInfo(2, &pane));
  EXPECT_EQ(pane.nID, 1u);
  pane.nStyle = SBPS_NORMAL;
  pane.cxText = 32;
  ASSERT_TRUE(bar.SetPaneInfo(2, &pane));
  CCbStatusBarIconPane icon;
  ASSERT_TRUE(icon.Create("", &bar, WS_CHILD | WS_VISIBLE, 1));
  icon.SetIcon(292);
  EXPECT_TRUE(icon.GetIcon());
  ASSERT_TRUE(bar.AddControl(&icon, 1, FALSE));
  EXPECT_FALSE(bar.AddControl(&icon, 99, FALSE));
  CRect ir, client;
  icon.GetWindowRect(&ir);
  bar.ScreenToClient(&ir);
  bar.GetClientRect(&client);
  EXPECT_LE(ir.right, client.right - ::GetSystemMetrics(SM_CXSMICON));
  EXPECT_GT(ir.Width(), 0);
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(bar.GetSafeHwnd(), &pic));
  SavePictures(pic, "statusbar_flat");
  // Disabled, the icon is its shape in the shadow colour.
  icon.EnableWindow(FALSE);
  CBitmap grey;
  ASSERT_TRUE(AfxCaptureWindow(icon.GetSafeHwnd(), &grey));
  int shadow = 0, colour = 0;
  CRect ic;
  icon.GetClientRect(&ic);
  for (int y = 0; y < ic.bottom; ++y)
    for (int x = 0; x < ic.right; ++x) {
      const COLORREF c = grey.GetPixel(x, y);
      if (c == CbColorManager()->GetColor(COLOR_BTNSHADOW))
        ++shadow;
      else if (GetRValue(c) != GetGValue(c) || GetGValue(c) != GetBValue(c))
        ++colour;
    }
  EXPECT_GT(shadow, 20);
  EXPECT_EQ(colour, 0);
  icon.EnableWindow(TRUE);
  ASSERT_TRUE(bar.RemovePane(1));
  EXPECT_FALSE(::IsWindow(icon.GetSafeHwnd()));
  EXPECT_EQ(bar.GetCount(), 2);
  EXPECT_STREQ(bar.GetPaneText(1).GetString(), "Aground");
  EXPECT_FALSE(bar.RemovePane(1));
  // The frame's message text goes to the message pane only.
  f->SetMessageText("A description");
  EXPECT_STREQ(bar.GetPaneText(0).GetString(), "A description");
  EXPECT_STREQ(bar.GetPaneText(1).GetString(), "Aground");
  bar.DestroyWindow();
  f->DestroyWindow();
  AfxTestWait(5);
}

TEST(StatusBar, AWindowInAStretchingLastPaneStopsShortOfTheGrip) {
  AfxWinInit(0, nullptr);
  auto* f = new CStatusFrame;
  ASSERT_TRUE(f->Create(nullptr, "Status", WS_POPUP | WS_VISIBLE | WS_THICKFRAME, CRect(50, 50, 650, 350)));
  CCbStatusBar bar;
  ASSERT_TRUE(bar.Create(f));
  const UINT ids[] = {61229};
  ASSERT_TRUE(bar.SetIndicators(ids, 1));
  ASSERT_TRUE(bar.AddPane(5, 1));
  CB_STATUSPANE pane{};
  ASSERT_TRUE(bar.GetPaneInfo(1, &pane));
  pane.nStyle = SBPS_STRETCH;
  ASSERT_TRUE(bar.SetPaneInfo(1, &pane));
  f->RecalcLayout();
  CWnd child;
  ASSERT_TRUE(child.CreateEx(0, nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 1, 1), &bar, 5));
  ASSERT_TRUE(bar.AddControl(&child, 5, FALSE));
  CRect rc, client;
  child.GetWindowRect(&rc);
  bar.ScreenToClient(&rc);
  bar.GetClientRect(&client);
  ASSERT_TRUE(bar.HasSizeGrip());
  EXPECT_EQ(rc.right, client.right - ::GetSystemMetrics(SM_CXSMICON) - 2 * ::GetSystemMetrics(SM_CXEDGE));
  EXPECT_GT(rc.Width(), 100);
  bar.DestroyWindow();
  f->DestroyWindow();
  AfxTestWait(5);
}

}  // namespace
