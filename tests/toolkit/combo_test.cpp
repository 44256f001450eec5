// The bar combo through the message path: its list opens under it with the rows its items
// need, hot-tracks the mouse, executes on a release or on Enter only, and a dismissal leaves the
// selection as it was; the edit window of a drop-down combo gives the focus back on Esc.
#include "toolkit/CbCommandBars.h"
#include "toolkit/CbControlComboBox.h"
#include "toolkit/CbMouseManager.h"
#include "toolkit/CbPaintManager.h"

#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int kThirty = 32778, kEmpty = 32779, kTyped = 32780;

class CComboFrame : public CCbFrameWnd {
 public:
  std::vector<UINT> commands;
  std::vector<int> executedSel;   // the list's selection when each command came
  std::vector<UINT> accelerated;  // commands that came from the accelerator table
  CCbControlComboBox* thirty = nullptr;
  CCbControlComboBox* empty = nullptr;
  CCbControlComboBox* typed = nullptr;

  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
    if (message == WM_BAR_CREATE_CONTROL) {
      auto* req = (BAR_CREATE_CONTROL_REQUEST*)lParam;
      CCbControlComboBox* c = nullptr;
      if (req->nID == kThirty) c = thirty = new CCbControlComboBox;
      if (req->nID == kEmpty) c = empty = new CCbControlComboBox;
      if (req->nID == kTyped) {
        c = typed = new CCbControlComboBox;
        c->SetDropDown(TRUE);
      }
      if (c) {
        req->pControl = c;
        *pResult = 1;
        return TRUE;
      }
    }
    if (message == WM_COMMAND && HIWORD(wParam) == 1) accelerated.push_back(LOWORD(wParam));
    if (message == WM_COMMAND && lParam == 0 && (LOWORD(wParam) == kThirty || LOWORD(wParam) == kTyped)) {
      commands.push_back(LOWORD(wParam));
      executedSel.push_back(LOWORD(wParam) == kThirty ? thirty->GetCurSel() : typed->GetCurSel());
    }
    return CCbFrameWnd::OnWndMsg(message, wParam, lParam, pResult);
  }
  // Handled commands keep their controls enabled.
  void OnAny() {}
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CComboFrame, CFrameWnd)
  ON_COMMAND(kThirty, OnAny)
  ON_COMMAND(kEmpty, OnAny)
  ON_COMMAND(kTyped, OnAny)
END_MESSAGE_MAP()

class Combo : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    CCbPaintManager::SetTheme(0);
    frame = new CComboFrame;
    ASSERT_TRUE(frame->Create(nullptr, "Combos", WS_POPUP | WS_VISIBLE | WS_THICKFRAME, CRect(20, 20, 1220, 420)));
    ASSERT_TRUE(
        view.CreateEx(0, nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), frame, AFX_IDW_PANE_FIRST));
    ASSERT_TRUE(frame->InitCommandBars());
    bar = frame->GetCommandBars()->Add("Standard", cbBarTop);
    ASSERT_TRUE(bar);
    ASSERT_TRUE(bar->LoadToolBar(128));
    ASSERT_TRUE(frame->thirty && frame->empty && frame->typed);
    frame->thirty->SetWidth(80);
    frame->typed->SetWidth(80);
    CString s;
    for (int i = 0; i < 30; ++i) {
      s.Format("item %d", i);
      frame->thirty->AddString(s);
      frame->typed->AddString(s);
    }
    frame->thirty->SetCurSel(3);
    frame->RecalcLayout();
    frame->SetActiveWindow();
    view.SetFocus();
    Settle();
  }
  void TearDown() override {
    CbMouseManager()->SendTrackLost();
    AfxTestMoveAway();
    if (::IsWindow(frame->m_hWnd)) frame->DestroyWindow();
    AfxTestWait(5);
  }
  void Settle(int ms = 20) {
    AfxTestWait(ms);
    if (bar->GetSafeHwnd()) bar->OnIdleUpdateCmdUI(TRUE);
  }
  // A click on the combo's field, as a user opens it.
  void ClickCombo(CCbControlComboBox* c) {
    AfxTestWait((int)GetDoubleClickTime() + 20);
    const CPoint at = c->GetRect().CenterPoint();
    AfxTestMoveTo(bar->GetSafeHwnd(), at.x, at.y);
    AfxTestClick(bar->GetSafeHwnd(), at.x, at.y);
    Settle();
  }
  CPoint ItemPoint(CCbControlComboBox* c, int index) {
    RECT r{};
    ::SendMessage(c->GetListHwnd(), LB_GETITEMRECT, (WPARAM)index, (LPARAM)&r);
    return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  CRect ListRect(CCbControlComboBox* c) {
    CRect r;
    ::GetWindowRect(c->GetListHwnd(), &r);
    return r;
  }

  CComboFrame* frame = nullptr;
  CWnd view;
  CCbToolBar* bar = nullptr;
};

TEST_F(Combo, ThirtyItemsOpenTwelveRowsAndNoneOpenOne) {
  struct Case {
    CCbControlComboBox* combo;
    int rows;
  } cases[] = {{frame->thirty, 12}, {frame->empty, 1}};
  for (const Case& k : cases) {
    ClickCombo(k.combo);
    ASSERT_TRUE(k.combo->IsListOpen()) << k.rows;
    const int item = (int)::SendMessage(k.combo->GetListHwnd(), LB_GETITEMHEIGHT, 0, 0);
    ASSERT_GT(item, 0);
    const CRect list = ListRect(k.combo);
    EXPECT_EQ(item * k.rows + 4, list.Height()) << k.rows;
    // Below the combo, as wide as it.
    CRect field = k.combo->GetRect();
    bar->ClientToScreen(&field);
    EXPECT_EQ(field.bottom, list.top);
    EXPECT_EQ(field.left, list.left);
    EXPECT_EQ(field.Width(), list.Width());
    // A menu window: the frame keeps the focus.
    EXPECT_TRUE(AfxTestIsUnmanagedNoFocus(k.combo->GetListHwnd()));
    EXPECT_EQ(view.GetSafeHwnd(), ::GetFocus());
    // A second click on the combo closes it.
    ClickCombo(k.combo);
    EXPECT_FALSE(k.combo->IsListOpen());
  }
  EXPECT_TRUE(frame->commands.empty());
}

TEST_F(Combo, MovingOverAnotherItemAndEscKeepsTheOldSelection) {
  struct Case {
    int before, over;
  } cases[] = {{3, 7}, {-1, 2}};  // -1: nothing was selected, and nothing may be made up
  for (const Case& k : cases) {
    frame->thirty->SetCurSel(k.before);
    const CString shown = frame->thirty->GetShownText();
    ClickCombo(frame->thirty);
    ASSERT_TRUE(frame->thirty->IsListOpen());
    const CPoint at = ItemPoint(frame->thirty, k.over);
    AfxTestMoveTo(frame->thirty->GetListHwnd(), at.x, at.y);
    Settle();
    EXPECT_EQ(k.over, frame->thirty->GetCurSel());  // hot-tracked
    AfxTestKeyStroke(VK_ESCAPE);
    Settle();
    EXPECT_FALSE(frame->thirty->IsListOpen());
    EXPECT_EQ(k.before, frame->thirty->GetCurSel());
    EXPECT_EQ(shown, frame->thirty->GetShownText());
  }
  EXPECT_TRUE(frame->commands.empty());
}

TEST_F(Combo, ReleasingOnAnItemExecutesWithThatItem) {
  ClickCombo(frame->thirty);
  ASSERT_TRUE(frame->thirty->IsListOpen());
  const CPoint at = ItemPoint(frame->thirty, 5);
  AfxTestMoveTo(frame->thirty->GetListHwnd(), at.x, at.y);
  AfxTestClick(frame->thirty->GetListHwnd(), at.x, at.y);
  Settle();
  EXPECT_FALSE(frame->thirty->IsListOpen());
  ASSERT_EQ(1u, frame->commands.size());
  EXPECT_EQ((UINT)kThirty, frame->commands[0]);
  EXPECT_EQ(5, frame->executedSel[0]);
  EXPECT_EQ(CString("item 5"), frame->thirty->GetShownText());
  // The pick survives the list's closing and the next dismissal.
  ClickCombo(frame->thirty);
  AfxTestKeyStroke(VK_ESCAPE);
  Settle();
  EXPECT_EQ(5, frame->thirty->GetCurSel());
}

TEST_F(Combo, ArrowKeysShowTheItemAndOnlyEnterExecutes) {
  ClickCombo(frame->thirty);
  ASSERT_TRUE(frame->thirty->IsListOpen());
  AfxTestKeyStroke(VK_DOWN);
  AfxTestKeyStroke(VK_DOWN);
  Settle();
  EXPECT_EQ(5, frame->thirty->GetCurSel());
  EXPECT_EQ(CString("item 5"), frame->thirty->GetShownText());
  EXPECT_TRUE(frame->commands.empty());
  EXPECT_TRUE(frame->thirty->IsListOpen());
  AfxTestKeyStroke(VK_UP);
  AfxTestKeyStroke(VK_RETURN);
  Settle();
  EXPECT_FALSE(frame->thirty->IsListOpen());
  ASSERT_EQ(1u, frame->commands.size());
  EXPECT_EQ(4, frame->executedSel[0]);
  EXPECT_EQ(CString("item 4"), frame->thirty->GetShownText());
}

TEST_F(Combo, EscInTheEditGivesTheFocusBack) {
  CCbControlComboBoxEditCtrl* edit = frame->typed->GetEditCtrl();
  ASSERT_TRUE(edit && edit->GetSafeHwnd());
  ASSERT_TRUE(edit->IsWindowVisible());
  ASSERT_EQ(view.GetSafeHwnd(), ::GetFocus());
  AfxTestClick(edit->GetSafeHwnd(), 5, 5);
  Settle();
  ASSERT_EQ(edit->GetSafeHwnd(), ::GetFocus());
  EXPECT_TRUE(frame->typed->IsEditFocused());
  AfxTestKeyStroke('7', 0, "7");
  Settle();
  EXPECT_EQ(CString("7"), frame->typed->GetEditText());
  AfxTestKeyStroke(VK_ESCAPE);
  Settle();
  EXPECT_EQ(view.GetSafeHwnd(), ::GetFocus());
  EXPECT_FALSE(bar->IsTrackingMode());
  EXPECT_TRUE(frame->commands.empty());
  // Enter executes what was typed, and typing ends there.
  AfxTestClick(edit->GetSafeHwnd(), 5, 5);
  Settle();
  ASSERT_EQ(edit->GetSafeHwnd(), ::GetFocus());
  AfxTestKeyStroke(VK_RETURN);
  Settle();
  EXPECT_EQ(1u, frame->commands.size());
  EXPECT_EQ(view.GetSafeHwnd(), ::GetFocus());
}

TEST_F(Combo, ADisabledComboOpensNothingAndAVerticalBarHidesIt) {
  frame->thirty->SetEnabled(FALSE);
  ClickCombo(frame->thirty);
  EXPECT_FALSE(frame->thirty->IsListOpen());
  frame->typed->SetEnabled(FALSE);
  EXPECT_FALSE(frame->typed->GetEditCtrl()->IsWindowEnabled());
  frame->typed->SetEnabled(TRUE);
  // On a bar docked at a side the combos go, and come back on a horizontal one.
  bar->SetPosition(cbBarLeft);
  frame->typed->OnCalcDynamicSize(LM_VERTDOCK);
  EXPECT_TRUE(frame->typed->GetHideFlags() & cbHideDock);
  EXPECT_FALSE(frame->typed->GetEditCtrl()->IsWindowVisible());
  bar->SetPosition(cbBarTop);
  frame->typed->OnCalcDynamicSize(LM_HORZ | LM_HORZDOCK);
  EXPECT_EQ(0u, frame->typed->GetHideFlags());
  EXPECT_TRUE(frame->typed->GetEditCtrl()->IsWindowVisible());
}

TEST_F(Combo, TheOpenListIsDrawnOverTheBar) {
  frame->thirty->SetCurSel(3);
  ClickCombo(frame->thirty);
  ASSERT_TRUE(frame->thirty->IsListOpen());
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(frame->thirty->GetListHwnd(), &pic));
  pic.SavePng("combo_list_open.png");
  // The selected row is drawn highlighted, the others on the window colour.
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CBitmap* old = dc.SelectObject(&pic);
  const CPoint sel = ItemPoint(frame->thirty, 3), other = ItemPoint(frame->thirty, 5);
  const CPoint origin = AfxClientOriginInCapture(frame->thirty->GetListHwnd());
  EXPECT_EQ(::GetSysColor(COLOR_WINDOW), dc.GetPixel(origin.x + 2, origin.y + other.y));
  EXPECT_NE(::GetSysColor(COLOR_WINDOW), dc.GetPixel(origin.x + 2, origin.y + sel.y));
  dc.SelectObject(old);
}

}  // namespace

namespace {
TEST_F(Combo, TheEditOffersNoCutCopyPasteMenuWithoutTheCutText) {
  ASSERT_FALSE(CCbEdit::HasEditCommands());
  CCbControlComboBoxEditCtrl* edit = frame->typed->GetEditCtrl();
  ASSERT_TRUE(edit && edit->GetSafeHwnd());
  CPoint pt(5, 5);
  edit->ClientToScreen(&pt);
  edit->SendMessage(WM_CONTEXTMENU, (WPARAM)edit->GetSafeHwnd(), MAKELPARAM(pt.x, pt.y));
  Settle();
  EXPECT_FALSE(CbMouseManager()->IsTracking());
  // What the menu would offer follows the edit: a selection for cut and copy.
  edit->SetWindowText("07:30");
  edit->SetSel(0, 0);
  EXPECT_FALSE(edit->IsCommandEnabled(CCbEdit::kCopy));
  edit->SetSel(0, -1);
  EXPECT_TRUE(edit->IsCommandEnabled(CCbEdit::kCut));
  EXPECT_TRUE(edit->IsCommandEnabled(CCbEdit::kCopy));
}
}  // namespace

namespace {
constexpr UINT kSeven = 40001, kCopy = 57634, kOwnCommand = 40002;

// A bar edit with a command of its own, as a derived edit may have.
class COwnEdit : public CCbEdit {
 public:
  int runs = 0;
  void OnOwn() { ++runs; }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(COwnEdit, CCbEdit)
  ON_COMMAND(kOwnCommand, OnOwn)
END_MESSAGE_MAP()

TEST_F(Combo, KeysTypedInABarEditNeverFireTheFramesAccelerators) {
  ACCEL entries[] = {
      {FVIRTKEY, '7', (WORD)kSeven}, {FVIRTKEY | FCONTROL, 'C', (WORD)kCopy}, {FVIRTKEY, VK_F9, (WORD)kSeven}};
  frame->m_hAccelTable = CreateAcceleratorTable(entries, 3);
  // Outside the edit the table works.
  AfxTestKeyStroke('7', 0, "7");
  Settle();
  ASSERT_EQ(std::vector<UINT>{kSeven}, frame->accelerated);
  frame->accelerated.clear();
  CCbControlComboBoxEditCtrl* edit = frame->typed->GetEditCtrl();
  ASSERT_TRUE(edit && edit->GetSafeHwnd());
  AfxTestClick(edit->GetSafeHwnd(), 5, 5);
  Settle();
  ASSERT_EQ(edit->GetSafeHwnd(), ::GetFocus());
  AfxTestKeyStroke('7', 0, "7");
  AfxTestKeyStroke('C', AFX_TEST_CTRL);
  AfxTestKeyStroke(VK_F9);
  Settle();
  EXPECT_TRUE(frame->accelerated.empty());
  EXPECT_EQ(CString("7"), frame->typed->GetEditText());
  // Enter still ends typing and executes.
  AfxTestKeyStroke(VK_RETURN);
  Settle();
  EXPECT_EQ(1u, frame->commands.size());
  EXPECT_EQ(view.GetSafeHwnd(), ::GetFocus());
}

TEST_F(Combo, TheFramesCommandIsOfferedToTheFocusedBarEditFirst) {
  COwnEdit own;
  ASSERT_TRUE(own.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 40, 16), bar, 4711));
  LRESULT result = 0;
  // Without the focus the frame handles it (here: nobody does).
  EXPECT_FALSE(frame->OnWndMsg(WM_COMMAND, kOwnCommand, 0, &result));
  EXPECT_EQ(0, own.runs);
  own.SetFocus();
  Settle();
  ASSERT_EQ(own.GetSafeHwnd(), ::GetFocus());
  EXPECT_TRUE(frame->OnWndMsg(WM_COMMAND, kOwnCommand, 0, &result));
  EXPECT_EQ(1, result);
  EXPECT_EQ(1, own.runs);
  // A command the edit lacks goes on to the frame.
  const size_t before = frame->commands.size();
  frame->SendMessage(WM_COMMAND, kThirty, 0);
  EXPECT_EQ(before + 1, frame->commands.size());
  view.SetFocus();
  own.DestroyWindow();
}
}  // namespace

namespace {
TEST_F(Combo, AnOpenListScrollsUnderTheWheelOverItOrAnywhereElse) {
  frame->thirty->SetCurSel(0);
  ClickCombo(frame->thirty);
  ASSERT_TRUE(frame->thirty->IsListOpen());
  const HWND list = frame->thirty->GetListHwnd();
  ASSERT_EQ(0, (int)::SendMessage(list, LB_GETTOPINDEX, 0, 0));
  const CRect rc = ListRect(frame->thirty);
  CRect viewRect;
  view.GetWindowRect(&viewRect);
  ASSERT_FALSE(viewRect.IsRectEmpty());
  struct Step {
    POINT at;
    int delta, top;
  } const steps[] = {
      {rc.CenterPoint(), -120, 3},                                // three rows a notch, as a list box
      {POINT{viewRect.right - 5, viewRect.bottom - 5}, -120, 6},  // the frame's view does not take it
      {rc.CenterPoint(), 120, 3},
  };
  for (const Step& s : steps) {
    AfxTestWheel(s.at, s.delta);
    Settle();
    EXPECT_EQ(s.top, (int)::SendMessage(list, LB_GETTOPINDEX, 0, 0)) << s.delta;
    EXPECT_TRUE(frame->thirty->IsListOpen());
  }
  AfxTestKeyStroke(VK_ESCAPE);
  Settle();
  EXPECT_TRUE(frame->commands.empty());
}
}  // namespace
