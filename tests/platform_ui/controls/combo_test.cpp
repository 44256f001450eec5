// Combo boxes and list boxes driven through real Qt input events: the selection notifications
// by mouse and keyboard and their absence when the program selects, the drop-down list as a
// pop-up that closes on a click outside, typing into an editable combo, and list selection.
#include "platform/testing/UiTest.h"
#include "platform/ui/AfxWin.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialog.h"

#include "tests/platform_ui/TestDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

class CHost : public CWnd {
 public:
  std::vector<std::pair<UINT, UINT>> commands;  // (id, code)
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    if (lParam) commands.push_back({LOWORD(wParam), HIWORD(wParam)});
    return CWnd::OnCommand(wParam, lParam);
  }
  int count(UINT id, UINT code) const {
    int n = 0;
    for (auto& c : commands) n += c.first == id && c.second == code;
    return n;
  }
  // The codes of one control, in order, leaving out the focus ones.
  std::vector<UINT> codes(UINT id) const {
    std::vector<UINT> v;
    for (auto& c : commands)
      if (c.first == id && c.second != CBN_SETFOCUS && c.second != CBN_KILLFOCUS) v.push_back(c.second);
    return v;
  }
};

class Combos : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, nullptr, (HBRUSH)(COLOR_3DFACE + 1));
    ASSERT_TRUE(host.CreateEx(0, cls, "host", WS_POPUP | WS_VISIBLE, 100, 100, 320, 260, nullptr, nullptr));
  }
  void TearDown() override { host.DestroyWindow(); }
  static CString text(CWnd& w) {
    CString t;
    w.GetWindowText(t);
    return t;
  }
  static void type(const char* s) {
    for (const char* p = s; *p; ++p) {
      char c[2] = {*p, 0};
      UINT vk = (*p >= '0' && *p <= '9') ? (UINT)*p : (*p >= 'a' && *p <= 'z') ? (UINT)(*p - 'a' + 'A') : 0;
      AfxTestKeyStroke(vk, 0, c);
    }
  }
  // Screen point in the middle of row i of a combo's open list.
  static POINT listRow(CComboBox& c, int i) {
    CRect r;
    c.GetWindowRect(&r);
    int ih = c.GetItemHeight(0);
    return POINT{r.left + 20, r.bottom + 1 + i * ih + ih / 2};
  }
  static void clickAt(POINT p) {
    AfxTestMouse(WM_MOUSEMOVE, p);
    AfxTestMouse(WM_LBUTTONDOWN, p);
    AfxTestMouse(WM_LBUTTONUP, p);
  }
  void makePorts(CComboBox& c, DWORD style, UINT id) {
    ASSERT_TRUE(c.Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | style, CRect(10, 10, 160, 210), &host, id));
    for (const char* p : {"Dover", "Calais", "Brest", "Aberdeen"}) c.AddString(p);
  }
  CHost host;
};

TEST_F(Combos, CreatedHeightIsTheDroppedHeightAndSortingOrdersItems) {
  CComboBox c;
  makePorts(c, CBS_DROPDOWNLIST | CBS_SORT, 120);
  CRect wr, dr;
  c.GetWindowRect(&wr);
  c.GetDroppedControlRect(&dr);
  EXPECT_EQ(c.GetItemHeight(-1) + 8, wr.Height());  // only the field is the window
  EXPECT_EQ(200, dr.Height());
  EXPECT_EQ(150, wr.Width());
  CString t;
  const char* sorted[] = {"Aberdeen", "Brest", "Calais", "Dover"};
  for (int i = 0; i < 4; ++i) {
    c.GetLBText(i, t);
    EXPECT_STREQ(sorted[i], t);
  }
  EXPECT_EQ(2, c.FindStringExact(-1, "calais"));
  EXPECT_EQ(1, c.FindString(-1, "Br"));
  EXPECT_EQ(CB_ERR, c.FindString(-1, "Le Havre"));
  c.SetItemData(3, 42);
  c.InsertString(0, "Zeebrugge");  // inserted where asked, even in a sorted list
  EXPECT_EQ(42u, c.GetItemData(4));
  EXPECT_EQ(4, c.DeleteString(0));
  // The program's selection is silent.
  EXPECT_EQ(2, c.SetCurSel(2));
  EXPECT_EQ(1, c.SelectString(-1, "bre"));
  EXPECT_STREQ("Brest", text(c));
  EXPECT_EQ(CB_ERR, c.SetCurSel(-1));
  EXPECT_STREQ("", text(c));
  EXPECT_TRUE(host.codes(120).empty());
  // A moved combo keeps its field height and takes the new height as the dropped one.
  c.MoveWindow(10, 10, 150, 300);
  c.GetWindowRect(&wr);
  c.GetDroppedControlRect(&dr);
  EXPECT_EQ(c.GetItemHeight(-1) + 8, wr.Height());
  EXPECT_EQ(300, dr.Height());
}

TEST_F(Combos, MousePickNotifiesAndAClickOutsideCancels) {
  CComboBox c;
  makePorts(c, CBS_DROPDOWNLIST | CBS_SORT, 121);
  c.SetCurSel(0);
  AfxTestClick(c.m_hWnd, 30, 5);
  ASSERT_TRUE(c.GetDroppedState());
  EXPECT_EQ((std::vector<UINT>{CBN_DROPDOWN}), host.codes(121));
  // Following the pointer over the list is not a choice yet.
  AfxTestMouse(WM_MOUSEMOVE, listRow(c, 3));
  EXPECT_EQ(1u, host.codes(121).size());
  EXPECT_STREQ("Aberdeen", text(c));
  CBitmap field;
  ASSERT_TRUE(AfxCaptureWindow(c.m_hWnd, &field));
  int dark = 0;  // "Aberdeen" is wider than "Dover": its last letters stay in the field
  for (int y = 0; y < 10; ++y)
    for (int x = 40; x < 70; ++x) dark += field.GetPixel(x, 5 + y) == GetSysColor(COLOR_WINDOWTEXT);
  EXPECT_GT(dark, 5);
  clickAt(listRow(c, 2));
  EXPECT_FALSE(c.GetDroppedState());
  EXPECT_EQ(2, c.GetCurSel());
  EXPECT_STREQ("Calais", text(c));
  EXPECT_EQ((std::vector<UINT>{CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}), host.codes(121));

  // Open, wander to another item, click beside the list: nothing chosen.
  host.commands.clear();
  AfxTestClick(c.m_hWnd, 140, 5);
  ASSERT_TRUE(c.GetDroppedState());
  AfxTestMouse(WM_MOUSEMOVE, listRow(c, 0));
  CRect hr;
  host.GetWindowRect(&hr);
  clickAt(POINT{hr.right - 5, hr.bottom - 5});
  EXPECT_FALSE(c.GetDroppedState());
  EXPECT_EQ(2, c.GetCurSel());
  EXPECT_STREQ("Calais", text(c));
  EXPECT_EQ((std::vector<UINT>{CBN_DROPDOWN, CBN_SELENDCANCEL, CBN_CLOSEUP}), host.codes(121));

  // A click on the field while open closes the list without a choice.
  host.commands.clear();
  AfxTestClick(c.m_hWnd, 30, 5);
  ASSERT_TRUE(c.GetDroppedState());
  AfxTestClick(c.m_hWnd, 30, 5);
  EXPECT_FALSE(c.GetDroppedState());
  EXPECT_EQ(0, host.count(121, CBN_SELCHANGE));
  EXPECT_EQ(1, host.count(121, CBN_SELENDCANCEL));
}

TEST_F(Combos, KeyboardChangesTheSelectionOfAClosedOrOpenList) {
  CComboBox c;
  makePorts(c, CBS_DROPDOWNLIST | CBS_SORT, 122);
  c.SetCurSel(1);
  c.SetFocus();
  EXPECT_EQ(1, host.count(122, CBN_SETFOCUS));
  AfxTestKeyStroke(VK_DOWN);
  EXPECT_EQ(2, c.GetCurSel());
  EXPECT_STREQ("Calais", text(c));
  AfxTestKeyStroke(VK_UP);
  AfxTestKeyStroke(VK_UP);
  AfxTestKeyStroke(VK_UP);  // already at the top: no change
  EXPECT_EQ(0, c.GetCurSel());
  EXPECT_EQ(3, host.count(122, CBN_SELCHANGE));
  AfxTestKeyStroke(VK_END);
  EXPECT_EQ(3, c.GetCurSel());
  AfxTestKeyStroke('B', 0, "b");  // the first item beginning with the letter
  EXPECT_STREQ("Brest", text(c));
  EXPECT_EQ(5, host.count(122, CBN_SELCHANGE));
  EXPECT_FALSE(c.GetDroppedState());

  host.commands.clear();
  AfxTestKeyStroke(VK_F4);
  ASSERT_TRUE(c.GetDroppedState());
  AfxTestKeyStroke(VK_DOWN);  // in the open list the field follows at once
  EXPECT_STREQ("Calais", text(c));
  AfxTestKeyStroke(VK_RETURN);
  EXPECT_FALSE(c.GetDroppedState());
  EXPECT_EQ((std::vector<UINT>{CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP}), host.codes(122));

  host.commands.clear();
  AfxTestKey(VK_MENU, TRUE, AFX_TEST_ALT);
  AfxTestKeyStroke(VK_DOWN, AFX_TEST_ALT);
  AfxTestKey(VK_MENU, FALSE);
  ASSERT_TRUE(c.GetDroppedState());
  AfxTestKeyStroke(VK_ESCAPE);
  EXPECT_FALSE(c.GetDroppedState());
  EXPECT_EQ(2, c.GetCurSel());
  EXPECT_EQ((std::vector<UINT>{CBN_DROPDOWN, CBN_SELENDCANCEL, CBN_CLOSEUP}), host.codes(122));

  // Losing the focus while open closes the list as a cancel.
  CEdit other;
  other.Create(WS_CHILD | WS_VISIBLE, CRect(10, 200, 100, 220), &host, 5);
  host.commands.clear();
  AfxTestKeyStroke(VK_F4);
  other.SetFocus();
  EXPECT_FALSE(c.GetDroppedState());
  std::vector<UINT> all;
  for (auto& p : host.commands)
    if (p.first == 122) all.push_back(p.second);
  EXPECT_EQ((std::vector<UINT>{CBN_DROPDOWN, CBN_SELENDCANCEL, CBN_CLOSEUP, CBN_KILLFOCUS}), all);
}

TEST_F(Combos, TypingIntoAnEditableComboReportsEditChanges) {
  CComboBox c;
  ASSERT_TRUE(c.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWN | CBS_AUTOHSCROLL, CRect(10, 10, 120, 200), &host, 185));
  for (const char* t : {"06:00", "12:00", "18:00"}) c.AddString(t);
  c.SetWindowText("10:00");  // the program's text: no edit notifications
  EXPECT_STREQ("10:00", text(c));
  EXPECT_EQ(CB_ERR, c.GetCurSel());
  EXPECT_TRUE(host.codes(185).empty());
  c.SetFocus();
  c.SetFocus();  // the focus already in its edit: no second report
  EXPECT_EQ(1, host.count(185, CBN_SETFOCUS));
  EXPECT_EQ(0, host.count(185, CBN_KILLFOCUS));
  EXPECT_EQ((DWORD)MAKELONG(0, 5), c.GetEditSel());  // the focus selects the whole text
  type("1230");
  EXPECT_STREQ("1230", text(c));
  EXPECT_EQ(4, host.count(185, CBN_EDITUPDATE));
  EXPECT_EQ(4, host.count(185, CBN_EDITCHANGE));
  c.SetEditSel(0, -1);
  c.LimitText(3);
  type("0915");
  EXPECT_STREQ("091", text(c));
  // Arrow keys in the edit step through the list and put the item's text in the field.
  host.commands.clear();
  AfxTestKeyStroke(VK_DOWN);
  EXPECT_STREQ("06:00", text(c));
  EXPECT_EQ(0, c.GetCurSel());
  EXPECT_EQ((std::vector<UINT>{CBN_SELCHANGE}), host.codes(185));
  // Typing while the list is open moves the list to the first match, and Enter takes it.
  AfxTestKeyStroke(VK_F4);
  ASSERT_TRUE(c.GetDroppedState());
  c.SetEditSel(0, -1);
  c.LimitText(0);
  type("18");
  EXPECT_EQ(2, c.GetCurSel());
  AfxTestKeyStroke(VK_RETURN);
  EXPECT_FALSE(c.GetDroppedState());
  EXPECT_STREQ("18:00", text(c));
  // A mouse pick from the list fills the edit.
  AfxTestClick(c.m_hWnd, 100, 5);  // the button
  ASSERT_TRUE(c.GetDroppedState());
  clickAt(listRow(c, 1));
  EXPECT_STREQ("12:00", text(c));
  EXPECT_EQ(1, c.GetCurSel());
  // Moved or hidden, the combo takes its list away with it.
  c.ShowDropDown(TRUE);
  ASSERT_TRUE(c.GetDroppedState());
  c.MoveWindow(20, 20, 100, 140);
  EXPECT_FALSE(c.GetDroppedState());
  c.ShowDropDown(TRUE);
  c.ShowWindow(SW_HIDE);
  EXPECT_FALSE(c.GetDroppedState());
  EXPECT_EQ(nullptr, ::GetCapture());
  c.ShowWindow(SW_SHOW);
  c.ResetContent();
  EXPECT_EQ(0, c.GetCount());
  EXPECT_STREQ("", text(c));
}

TEST_F(Combos, ListBoxSelectionByMouseAndKeys) {
  CListBox lb;
  ASSERT_TRUE(lb.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_SORT, CRect(10, 10, 150, 100),
                        &host, 300));
  for (int i = 20; i >= 1; --i) {
    CString s;
    s.Format("Port %02d", i);
    lb.SetItemData(lb.AddString(s), (DWORD_PTR)i);
  }
  EXPECT_EQ(20, lb.GetCount());
  CString t;
  lb.GetText(0, t);
  EXPECT_STREQ("Port 01", t);
  EXPECT_EQ(1u, lb.GetItemData(0));
  EXPECT_EQ(LB_ERR, lb.GetCurSel());
  int ih = lb.GetItemHeight(0);
  CRect client;
  lb.GetClientRect(&client);
  EXPECT_EQ(0, client.Height() % ih);  // whole rows only
  EXPECT_GT(client.Height(), 90 - 2 - ih);
  AfxTestClick(lb.m_hWnd, 20, ih * 2 + ih / 2);
  EXPECT_EQ(2, lb.GetCurSel());
  EXPECT_EQ(1, host.count(300, LBN_SELCHANGE));
  AfxTestClick(lb.m_hWnd, 20, ih * 2 + ih / 2);  // the same item again: no change
  EXPECT_EQ(1, host.count(300, LBN_SELCHANGE));
  AfxTestDoubleClick(lb.m_hWnd, 20, ih / 2);
  EXPECT_EQ(0, lb.GetCurSel());
  EXPECT_EQ(1, host.count(300, LBN_DBLCLK));
  AfxTestKeyStroke(VK_END);
  EXPECT_EQ(19, lb.GetCurSel());
  EXPECT_GT(lb.GetTopIndex(), 10);  // scrolled to show it
  AfxTestKeyStroke(VK_HOME);
  EXPECT_EQ(0, lb.GetTopIndex());
  int changes = host.count(300, LBN_SELCHANGE);
  lb.SetCurSel(5);  // the program's choice is silent
  EXPECT_EQ(changes, host.count(300, LBN_SELCHANGE));
  // The scroll bar in the frame: a click on its lower arrow scrolls a line.
  CRect cr;
  lb.GetClientRect(&cr);
  AfxTestClick(lb.m_hWnd, cr.right + 8, cr.bottom - 4);
  EXPECT_EQ(1, lb.GetTopIndex());
  lb.DeleteString(5);
  EXPECT_EQ(LB_ERR, lb.GetCurSel());
  EXPECT_EQ(2, lb.SelectString(-1, "port 03"));
}

TEST_F(Combos, AListAndAnEditPaintIntoAGivenDeviceContext) {
  // As an owner does that buffers its drawing: the control paints into the owner's DC.
  CListBox lb;
  ASSERT_TRUE(lb.Create(WS_CHILD | WS_VISIBLE | LBS_NOINTEGRALHEIGHT, CRect(10, 10, 110, 70), &host, 310));
  lb.AddString("Dover");
  lb.AddString("Calais");
  lb.SetCurSel(1);
  CEdit edit;
  ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, CRect(10, 80, 110, 100), &host, 311));
  edit.SetWindowText("WWWW");
  CDC mem;
  ASSERT_TRUE(mem.CreateCompatibleDC(nullptr));
  CBitmap bmp;
  ASSERT_TRUE(bmp.CreateBitmap(100, 60, 1, 32, nullptr));
  CBitmap* old = mem.SelectObject(&bmp);
  mem.FillSolidRect(0, 0, 100, 60, RGB(255, 0, 255));
  lb.SendMessage(WM_PAINT, (WPARAM)mem.GetSafeHdc());
  int ih = lb.GetItemHeight(0);
  EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), mem.GetPixel(90, ih + ih / 2));  // the selected row
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), mem.GetPixel(90, ih / 2));
  mem.FillSolidRect(0, 0, 100, 60, RGB(255, 0, 255));
  edit.SendMessage(WM_PRINTCLIENT, (WPARAM)mem.GetSafeHdc());
  int text = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) {
      COLORREF c = mem.GetPixel(x, y);
      text += GetRValue(c) < 96 && GetGValue(c) < 96 && GetBValue(c) < 96;  // the letters
    }
  EXPECT_GT(text, 10);
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), mem.GetPixel(90, 10));
  mem.SelectObject(old);
}

TEST_F(Combos, MultipleAndExtendedSelection) {
  CListBox multi, ext;
  ASSERT_TRUE(multi.Create(WS_CHILD | WS_VISIBLE | LBS_NOTIFY | LBS_MULTIPLESEL, CRect(10, 10, 100, 120), &host, 301));
  ASSERT_TRUE(ext.Create(WS_CHILD | WS_VISIBLE | LBS_NOTIFY | LBS_EXTENDEDSEL, CRect(110, 10, 200, 120), &host, 302));
  for (const char* s : {"MHWS", "MHWN", "MLWN", "MLWS"}) {
    multi.AddString(s);
    ext.AddString(s);
  }
  int ih = multi.GetItemHeight(0);
  AfxTestClick(multi.m_hWnd, 10, ih / 2);
  AfxTestClick(multi.m_hWnd, 10, ih * 2 + ih / 2);
  EXPECT_EQ(2, multi.GetSelCount());
  AfxTestClick(multi.m_hWnd, 10, ih / 2);  // a second click takes it out again
  EXPECT_EQ(1, multi.GetSelCount());
  EXPECT_EQ(3, host.count(301, LBN_SELCHANGE));
  AfxTestKeyStroke(VK_DOWN);
  AfxTestKeyStroke(VK_SPACE, 0, " ");
  int items[4] = {};
  ASSERT_EQ(2, multi.GetSelItems(4, items));
  EXPECT_EQ(1, items[0]);
  EXPECT_EQ(2, items[1]);
  EXPECT_EQ(LB_ERR, multi.SetCurSel(0));

  AfxTestClick(ext.m_hWnd, 10, ih / 2);
  AfxTestClick(ext.m_hWnd, 10, ih * 3 + ih / 2, AFX_TEST_SHIFT);
  EXPECT_EQ(4, ext.GetSelCount());
  AfxTestClick(ext.m_hWnd, 10, ih + ih / 2, AFX_TEST_CTRL);
  EXPECT_EQ(3, ext.GetSelCount());
  EXPECT_EQ(0, ext.GetSel(1));
  AfxTestClick(ext.m_hWnd, 10, ih * 2 + ih / 2);  // a plain click selects only that item
  EXPECT_EQ(1, ext.GetSelCount());
  ext.SetSel(-1, TRUE);
  EXPECT_EQ(4, ext.GetSelCount());
}

// A parent that draws the items of an owner-drawn combo as colour swatches.
class CSwatchHost : public CHost {
 public:
  std::vector<std::pair<UINT, UINT>> drawn;  // (item, state)
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_MEASUREITEM) {
      ((MEASUREITEMSTRUCT*)lParam)->itemHeight = 18;
      return TRUE;
    }
    if (message == WM_DRAWITEM) {
      auto* dis = (DRAWITEMSTRUCT*)lParam;
      EXPECT_EQ((UINT)ODT_COMBOBOX, dis->CtlType);
      drawn.push_back({dis->itemID, dis->itemState});
      CDC* dc = CDC::FromHandle(dis->hDC);
      CRect r(dis->rcItem);
      if (dis->itemID != (UINT)-1) dc->FillSolidRect(&r, (COLORREF)dis->itemData);
      return TRUE;
    }
    return CHost::WindowProc(message, wParam, lParam);
  }
};

TEST(OwnerDrawnCombo, ItemsAreMeasuredAndDrawnByTheParent) {
  AfxWinInit(0, nullptr);
  CSwatchHost host;
  LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, nullptr, (HBRUSH)(COLOR_3DFACE + 1));
  ASSERT_TRUE(host.CreateEx(0, cls, "host", WS_POPUP | WS_VISIBLE, 100, 100, 200, 200, nullptr, nullptr));
  CComboBox c;
  ASSERT_TRUE(
      c.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED, CRect(10, 10, 110, 150), &host, 140));
  for (COLORREF col : {RGB(255, 0, 0), RGB(0, 128, 0), RGB(0, 0, 255)}) c.AddString((LPCTSTR)(ULONG_PTR)col);
  EXPECT_EQ(RGB(0, 128, 0), (COLORREF)c.GetItemData(1));  // no strings: the value is the item data
  EXPECT_EQ(18, c.GetItemHeight(0));
  EXPECT_EQ(18, c.GetItemHeight(-1));
  c.SetCurSel(2);
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(c.m_hWnd, &pic));
  EXPECT_EQ(RGB(0, 0, 255), pic.GetPixel(20, 12));  // the field shows the chosen swatch
  ASSERT_FALSE(host.drawn.empty());
  EXPECT_EQ(2u, host.drawn.back().first);
  EXPECT_TRUE(host.drawn.back().second & 0x1000);  // drawn as the field, not as a list item
  host.DestroyWindow();
}

TEST(ComboLifetime, DestroyingAnOpenComboReleasesTheMouse) {
  AfxWinInit(0, nullptr);
  CHost host;
  LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, nullptr, (HBRUSH)(COLOR_3DFACE + 1));
  ASSERT_TRUE(host.CreateEx(0, cls, "host", WS_POPUP | WS_VISIBLE, 100, 100, 200, 200, nullptr, nullptr));
  auto* c = new CComboBox;
  ASSERT_TRUE(c->Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, CRect(10, 10, 110, 150), &host, 141));
  c->AddString("one");
  c->ShowDropDown(TRUE);
  ASSERT_TRUE(c->GetDroppedState());
  EXPECT_NE(nullptr, ::GetCapture());
  c->DestroyWindow();
  delete c;
  EXPECT_EQ(nullptr, ::GetCapture());
  AfxTestClick(host.m_hWnd, 50, 50);  // input goes on normally
  host.DestroyWindow();
}

const AFX_DLGITEM kExportItems[] = {
    {WC_COMBOBOX, 1082, "", 7, 7, 40, 80, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0},
    {WC_BUTTON, IDOK, "OK", 86, 40, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
    {WC_BUTTON, IDCANCEL, "Cancel", 142, 40, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
};
const AFX_DLGTEMPLATE kExport = {
    293, "Export Data", 0, 0, 200, 60, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, "MS Shell Dlg",
    8,   kExportItems,  3};
const AFX_DLGTEMPLATE_INIT kExportReg(&kExport);

TEST_F(Combos, InADialogEnterAndEscCloseTheOpenListFirst) {
  CDialog dlg(293);
  ASSERT_TRUE(dlg.Create(293));
  dlg.ShowWindow(SW_SHOW);
  auto* day = dynamic_cast<CComboBox*>(dlg.GetDlgItem(1082));
  ASSERT_NE(nullptr, day);
  for (const char* d : {"1", "2", "3"}) day->AddString(d);
  CRect wr, dr, units(0, 0, 40, 80);
  dlg.MapDialogRect(&units);
  day->GetWindowRect(&wr);
  day->GetDroppedControlRect(&dr);
  EXPECT_LT(wr.Height(), 40);
  EXPECT_EQ(units.Height(), dr.Height());
  day->SetFocus();
  AfxTestKeyStroke(VK_F4);
  ASSERT_TRUE(day->GetDroppedState());
  AfxTestKeyStroke(VK_DOWN);
  AfxTestKeyStroke(VK_RETURN, 0, "\r");
  ASSERT_NE(nullptr, dlg.m_hWnd);  // the dialog stays
  EXPECT_FALSE(day->GetDroppedState());
  EXPECT_EQ(0, day->GetCurSel());
  AfxTestKeyStroke(VK_F4);
  AfxTestKeyStroke(VK_ESCAPE, 0, "\x1b");
  ASSERT_NE(nullptr, dlg.m_hWnd);
  EXPECT_FALSE(day->GetDroppedState());
  AfxTestKeyStroke(VK_ESCAPE, 0, "\x1b");  // now the dialog's
  EXPECT_EQ(nullptr, dlg.m_hWnd);
}

TEST_F(Combos, ControlsRenderToAPicture) {
  CComboBox list, edit;
  CListBox lb;
  makePorts(list, CBS_DROPDOWNLIST | CBS_SORT, 130);
  ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, CRect(170, 10, 300, 150), &host, 131));
  edit.AddString("12:00");
  edit.SetWindowText("12:30");
  ASSERT_TRUE(lb.CreateEx(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | WS_VSCROLL, CRect(170, 60, 300, 150), &host, 132));
  for (int i = 1; i <= 12; ++i) {
    CString s;
    s.Format("Tide table %d", i);
    lb.AddString(s);
  }
  lb.SetCurSel(1);
  list.SetCurSel(2);
  list.SetFocus();
  TestDir dir;
  const char* keep = std::getenv("NEAPWISE_UI_PICTURES");
  std::string folder = keep ? std::string(keep) : dir.file("");
  ASSERT_TRUE(AfxSaveWindowPng(host.m_hWnd, (folder + "/combos.png").c_str()));
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(host.m_hWnd, &pic));
  CRect wr;
  list.GetWindowRect(&wr);
  host.ScreenToClient(&wr);
  EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), pic.GetPixel(wr.right - 30, wr.top + wr.Height() / 2));  // focused field
  EXPECT_EQ(GetSysColor(COLOR_3DFACE), pic.GetPixel(wr.right - 6, wr.top + 4));                    // the button
  // The list's scroll bar has arrow buttons with their arrows.
  CRect lr;
  lb.GetWindowRect(&lr);
  host.ScreenToClient(&lr);
  int arrow = 0;
  for (int y = lr.top + 2; y < lr.top + 18; ++y)
    for (int x = lr.right - 18; x < lr.right - 2; ++x) arrow += pic.GetPixel(x, y) == GetSysColor(COLOR_BTNTEXT);
  EXPECT_GE(arrow, 10);
  // The open list is a window of its own, below the field.
  AfxTestClick(list.m_hWnd, 30, 5);
  ASSERT_TRUE(list.GetDroppedState());
  AfxTestMouse(WM_MOUSEMOVE, listRow(list, 3));
  HWND popup = ::WindowFromPoint(listRow(list, 1));
  ASSERT_NE(nullptr, popup);
  ASSERT_NE(host.m_hWnd, popup);
  ASSERT_TRUE(AfxSaveWindowPng(popup, (folder + "/combo_list.png").c_str()));
  CBitmap lp;
  ASSERT_TRUE(AfxCaptureWindow(popup, &lp));
  int ih = list.GetItemHeight(0);
  EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), lp.GetPixel(120, 1 + 3 * ih + ih / 2));  // under the pointer
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), lp.GetPixel(120, 1 + ih / 2));
}

}  // namespace
