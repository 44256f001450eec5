// Property sheets: pages from templates behind drawn tabs; a page whose data is wrong keeps
// the sheet open and itself shown, on a tab change and on OK; OK and Cancel reach every page
// that was shown; Apply only when asked for and only after a change.
#include "platform/ui/PropSheet.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/AfxWin.h"
#include "tests/platform_ui/BoxRecorder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

enum {
  IDD_GENERAL = 108,
  IDD_GRAPH = 106,
  IDC_AUTOGRAPH = 1020,
  IDC_DRAUGHT = 1025,
  IDC_MAXHEIGHT = 1044,
  IDC_THICK = 1018
};

const AFX_DLGITEM kGeneralItems[] = {
    {WC_STATIC, 0xFFFF, "Auto Calculate", 7, 4, 100, 8, SS_LEFT, 0},
    {WC_BUTTON, IDC_AUTOGRAPH, "Auto Calculate Graph", 14, 16, 120, 10, BS_AUTOCHECKBOX | WS_TABSTOP, 0},
    {WC_STATIC, 0xFFFF, "Draught of Boat (m):", 14, 34, 80, 8, SS_LEFT, 0},
    {WC_EDIT, IDC_DRAUGHT, "", 100, 32, 40, 12, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0},
};
const AFX_DLGTEMPLATE kGeneral = {
    IDD_GENERAL, "General", 0, 0, 200, 120, WS_CHILD | WS_CAPTION | DS_MODALFRAME, "MS Shell Dlg", 8, kGeneralItems, 4};
const AFX_DLGITEM kGraphItems[] = {
    {WC_STATIC, 0xFFFF, "Maximum Height(m):", 7, 10, 80, 8, SS_LEFT, 0},
    {WC_EDIT, IDC_MAXHEIGHT, "", 90, 8, 40, 12, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0},
    {WC_BUTTON, IDC_THICK, "Thick Line", 7, 30, 80, 10, BS_AUTOCHECKBOX | WS_TABSTOP, 0},
};
const AFX_DLGTEMPLATE kGraph = {
    IDD_GRAPH, "Graph", 0, 0, 220, 140, WS_CHILD | WS_CAPTION | DS_MODALFRAME, "MS Shell Dlg", 8, kGraphItems, 3};
const AFX_DLGTEMPLATE_INIT kRegGeneral(&kGeneral), kRegGraph(&kGraph);

struct Calls {
  std::vector<std::string> log;
};

class CGeneralPage : public CPropertyPage {
 public:
  explicit CGeneralPage(Calls* c) : CPropertyPage(IDD_GENERAL), m_calls(c) {}
  int m_autoGraph = 1;
  double m_draught = 1.5;
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Check(pDX, IDC_AUTOGRAPH, m_autoGraph);
    DDX_Text(pDX, IDC_DRAUGHT, m_draught);
    DDV_MinMaxDouble(pDX, m_draught, 0.0, 10.0);
  }
  BOOL OnSetActive() override {
    m_calls->log.push_back("general set");
    return CPropertyPage::OnSetActive();
  }
  BOOL OnKillActive() override {
    m_calls->log.push_back("general kill");
    return CPropertyPage::OnKillActive();
  }
  void OnOK() override { m_calls->log.push_back("general ok"); }
  void OnCancel() override { m_calls->log.push_back("general cancel"); }
  Calls* m_calls;
};

class CGraphPage : public CPropertyPage {
 public:
  explicit CGraphPage(Calls* c) : CPropertyPage(IDD_GRAPH), m_calls(c) {}
  double m_max = 10.0;
  int m_thick = 0;
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Text(pDX, IDC_MAXHEIGHT, m_max);
    DDV_MinMaxDouble(pDX, m_max, 1.0, 20.0);
    DDX_Check(pDX, IDC_THICK, m_thick);
  }
  BOOL OnSetActive() override {
    m_calls->log.push_back("graph set");
    return CPropertyPage::OnSetActive();
  }
  void OnOK() override { m_calls->log.push_back("graph ok"); }
  void OnCancel() override { m_calls->log.push_back("graph cancel"); }
  Calls* m_calls;
};

class Sheets : public BoxRecordingTest {
 protected:
  static void setText(CWnd* page, int id, const char* t) { ::SetWindowText(::GetDlgItem(page->m_hWnd, id), t); }
  static void clickTab(CPropertySheet& sheet, int i) {
    CRect r;
    ASSERT_TRUE(sheet.GetTabRect(i, &r));
    AfxTestClick(sheet.m_hWnd, r.CenterPoint().x, r.CenterPoint().y);
  }
  static void clickButton(CPropertySheet& sheet, int id) {
    HWND b = ::GetDlgItem(sheet.m_hWnd, id);
    ASSERT_NE(b, nullptr);
    AfxTestClick(b, 5, 5);
  }
};

TEST_F(Sheets, BadInputKeepsThePageShownOnTabChangeAndOnOk) {
  Calls calls;
  CGeneralPage general(&calls);
  CGraphPage graph(&calls);
  CPropertySheet sheet("Options");
  sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
  sheet.AddPage(&general);
  sheet.AddPage(&graph);
  EXPECT_EQ(sheet.GetPageCount(), 2);
  bool applyButton = true, okButton = false, stayedOnGeneral = false, stayedOnGraph = false, generalShown = false;
  int activeAfterGoodSwitch = -1;
  std::string caption;
  AfxCallLater(20, [&] {
    CString t;
    sheet.GetWindowText(t);
    caption = t.GetString();
    applyButton = ::GetDlgItem(sheet.m_hWnd, ID_APPLY_NOW) != nullptr;
    okButton = ::GetDlgItem(sheet.m_hWnd, IDOK) != nullptr && ::GetDlgItem(sheet.m_hWnd, IDCANCEL) != nullptr;
    // Not a number: the tab change is refused with the framework's message.
    setText(&general, IDC_DRAUGHT, "abc");
    clickTab(sheet, 1);
    stayedOnGeneral = sheet.GetActiveIndex() == 0 && general.IsWindowVisible() && !graph.m_hWnd;
    setText(&general, IDC_DRAUGHT, "2.5");
    general.CheckDlgButton(IDC_AUTOGRAPH, BST_UNCHECKED);
    clickTab(sheet, 1);
    activeAfterGoodSwitch = sheet.GetActiveIndex();
    generalShown = general.IsWindowVisible();
    // Out of range on the graph page: OK keeps the sheet open on it.
    setText(&graph, IDC_MAXHEIGHT, "25");
    clickButton(sheet, IDOK);
    stayedOnGraph = ::IsWindow(sheet.m_hWnd) && sheet.GetActiveIndex() == 1 && graph.IsWindowVisible();
    setText(&graph, IDC_MAXHEIGHT, "12");
    clickButton(sheet, IDOK);
  });
  EXPECT_EQ(sheet.DoModal(), IDOK);
  EXPECT_EQ(caption, "Options");
  EXPECT_FALSE(applyButton);
  EXPECT_TRUE(okButton);
  EXPECT_TRUE(stayedOnGeneral);
  EXPECT_EQ(activeAfterGoodSwitch, 1);
  EXPECT_FALSE(generalShown);
  EXPECT_TRUE(stayedOnGraph);
  EXPECT_EQ(boxes, (std::vector<std::string>{"Please enter a number.", "Please enter a number between 1 and 20."}));
  EXPECT_DOUBLE_EQ(general.m_draught, 2.5);
  EXPECT_EQ(general.m_autoGraph, 0);
  EXPECT_DOUBLE_EQ(graph.m_max, 12.0);
  EXPECT_EQ(calls.log, (std::vector<std::string>{"general set", "general kill", "general kill", "graph set",
                                                 "general ok", "graph ok"}));
  EXPECT_EQ(sheet.m_hWnd, nullptr);
  EXPECT_EQ(general.m_hWnd, nullptr);
}

TEST_F(Sheets, CancelAndEscapeLeaveTheValuesAndReachEveryShownPage) {
  Calls calls;
  CGeneralPage general(&calls);
  CGraphPage graph(&calls);
  CPropertySheet sheet("Options", nullptr, 1);  // opens on the graph page
  sheet.AddPage(&general);
  sheet.AddPage(&graph);
  std::string seenMax;
  AfxCallLater(20, [&] {
    char buf[32] = {};
    ::GetWindowText(::GetDlgItem(graph.m_hWnd, IDC_MAXHEIGHT), buf, 31);
    seenMax = buf;
    setText(&graph, IDC_MAXHEIGHT, "15");
    AfxTestKeyStroke(VK_ESCAPE, 0, "\x1b");
  });
  EXPECT_EQ(sheet.DoModal(), IDCANCEL);
  EXPECT_EQ(seenMax, "10");
  EXPECT_DOUBLE_EQ(graph.m_max, 10.0);
  EXPECT_EQ(calls.log, (std::vector<std::string>{"graph set", "graph cancel"}));
  EXPECT_TRUE(boxes.empty());
}

TEST_F(Sheets, KeyboardPagesEnterAndApply) {
  Calls calls;
  CGeneralPage general(&calls);
  CGraphPage graph(&calls);
  CPropertySheet sheet("Options");
  sheet.AddPage(&general);
  sheet.AddPage(&graph);
  bool applyOffAtFirst = false, applyOnAfterChange = false, applyOffAfterApply = false;
  int afterCtrlTab = -1, afterCtrlPgUp = -1;
  bool tabLook = false, pageBelowTabs = false;
  std::vector<std::string> logAfterApply;
  AfxCallLater(20, [&] {
    HWND apply = ::GetDlgItem(sheet.m_hWnd, ID_APPLY_NOW);
    applyOffAtFirst = apply && !::IsWindowEnabled(apply);
    general.SetModified();
    applyOnAfterChange = ::IsWindowEnabled(apply);
    clickButton(sheet, ID_APPLY_NOW);
    applyOffAfterApply = !::IsWindowEnabled(apply);
    logAfterApply = calls.log;
    AfxTestKey(VK_CONTROL, TRUE, AFX_TEST_CTRL);
    AfxTestKeyStroke(VK_TAB, AFX_TEST_CTRL, "\t");
    afterCtrlTab = sheet.GetActiveIndex();
    AfxTestKeyStroke(VK_PRIOR, AFX_TEST_CTRL);
    afterCtrlPgUp = sheet.GetActiveIndex();
    AfxTestKey(VK_CONTROL, FALSE);
    // The tabs as drawn: the shown page's tab stands higher than the other, and the page's
    // controls sit inside the frame below the tabs.
    CBitmap pic;
    if (AfxCaptureWindow(sheet.m_hWnd, &pic)) {
      CRect t0, t1;
      sheet.GetTabRect(0, &t0);
      sheet.GetTabRect(1, &t1);
      COLORREF hi = GetSysColor(COLOR_3DHILIGHT), face = GetSysColor(COLOR_3DFACE);
      tabLook = pic.GetPixel(t0.CenterPoint().x, t0.top - 2) == hi &&
                pic.GetPixel(t1.CenterPoint().x, t1.top - 2) == face && pic.GetPixel(t1.CenterPoint().x, t1.top) == hi;
      CRect edit;
      ::GetWindowRect(::GetDlgItem(general.m_hWnd, IDC_DRAUGHT), &edit);
      sheet.ScreenToClient(&edit);
      pageBelowTabs = edit.top > t0.bottom;
    }
    if (const char* keep = std::getenv("NEAPWISE_UI_PICTURES"))
      AfxSaveWindowPng(sheet.m_hWnd, (std::string(keep) + "/propsheet.png").c_str());
    // Enter in an edit presses OK.
    ::SetFocus(::GetDlgItem(general.m_hWnd, IDC_DRAUGHT));
    AfxTestKeyStroke(VK_RETURN, 0, "\r");
  });
  EXPECT_EQ(sheet.DoModal(), IDOK);
  EXPECT_TRUE(applyOffAtFirst);
  EXPECT_TRUE(applyOnAfterChange);
  EXPECT_TRUE(applyOffAfterApply);
  EXPECT_EQ(logAfterApply, (std::vector<std::string>{"general set", "general kill", "general ok"}));
  EXPECT_EQ(afterCtrlTab, 1);
  EXPECT_EQ(afterCtrlPgUp, 0);
  EXPECT_TRUE(tabLook);
  EXPECT_TRUE(pageBelowTabs);
  EXPECT_EQ(calls.log.back(), "graph ok");
  EXPECT_EQ(sheet.GetActiveIndex(), 0);  // the next opening starts on the last page shown
}

enum { IDD_UNITS = 4500, IDC_DEPTH = 1501, IDC_IN_METRES = 1502, IDC_IN_FEET = 1503 };
const AFX_DLGITEM kUnitsItems[] = {
    {WC_STATIC, 0xFFFF, "&Depth:", 7, 9, 40, 8, SS_LEFT, 0},
    {WC_EDIT, IDC_DEPTH, "", 50, 7, 40, 12, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0},
    {WC_BUTTON, IDC_IN_METRES, "&Metres", 7, 26, 60, 10, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0},
    {WC_BUTTON, IDC_IN_FEET, "&Feet", 7, 40, 60, 10, BS_AUTORADIOBUTTON, 0},
};
const AFX_DLGTEMPLATE kUnits = {IDD_UNITS,      "Units", 0,           0, 160, 80, WS_CHILD | WS_CAPTION | DS_MODALFRAME,
                                "MS Shell Dlg", 8,       kUnitsItems, 4};
const AFX_DLGTEMPLATE_INIT kRegUnits(&kUnits);

// Alt with a marked letter and the arrows in a radio group work on the page shown.
TEST_F(Sheets, AltLettersAndArrowsOnThePageShown) {
  CPropertyPage page(IDD_UNITS);
  CPropertySheet sheet("Options");
  sheet.AddPage(&page);
  std::vector<int> focus;
  UINT feet = 9;
  AfxCallLater(10, [&] {
    auto alt = [&](UINT vk) {
      AfxTestKey(VK_MENU, TRUE, AFX_TEST_ALT);
      char c[2] = {(char)(vk | 0x20), 0};
      AfxTestKeyStroke(vk, AFX_TEST_ALT, c);
      AfxTestKey(VK_MENU, FALSE);
      focus.push_back(::GetDlgCtrlID(::GetFocus()));
    };
    alt('D');
    alt('M');
    AfxTestKeyStroke(VK_DOWN);
    focus.push_back(::GetDlgCtrlID(::GetFocus()));
    feet = (UINT)::SendMessage(::GetDlgItem(page.m_hWnd, IDC_IN_FEET), BM_GETCHECK, 0, 0);
    AfxTestKeyStroke(VK_ESCAPE, 0, "\x1b");
  });
  EXPECT_EQ(sheet.DoModal(), IDCANCEL);
  EXPECT_EQ(focus, (std::vector<int>{IDC_DEPTH, IDC_IN_METRES, IDC_IN_FEET}));
  EXPECT_EQ(feet, (UINT)BST_CHECKED);
}

// A screen reader reads the sheet as a dialog with its tabs and the shown page, switches pages
// through a tab's action, and the keys reach the controls in order and end the sheet.
TEST_F(Sheets, AReaderReadsAndSwitchesThePagesAndTheKeysReachEveryControl) {
  AfxTestAccessibilityOn();
  Calls calls;
  CGeneralPage general(&calls);
  CGraphPage graph(&calls);
  CPropertySheet sheet("Options");
  sheet.AddPage(&general);
  sheet.AddPage(&graph);
  std::vector<std::string> tabs, focus;
  std::string pageRole, checkName, editName, afterSwitch;
  AfxCallLater(20, [&] {
    std::vector<AFXTESTACCNODE> kids;
    EXPECT_TRUE(AfxTestAccChildren(sheet.m_hWnd, "Dialog", "Options", &kids));
    for (const AFXTESTACCNODE& k : kids)
      if (k.strRole == CString("PageTab")) tabs.push_back((LPCTSTR)k.strName);
    AFXTESTACCNODE n;
    if (AfxTestAccFind(sheet.m_hWnd, "PropertyPage", nullptr, &n)) pageRole = "PropertyPage";
    if (AfxTestAccFind(sheet.m_hWnd, "CheckBox", nullptr, &n)) checkName = (LPCTSTR)n.strName;
    if (AfxTestAccFind(sheet.m_hWnd, "EditableText", nullptr, &n)) editName = (LPCTSTR)n.strName;
    EXPECT_TRUE(AfxTestAccDo(sheet.m_hWnd, "PageTab", "Graph", "Press"));
    if (AfxTestAccFind(sheet.m_hWnd, "CheckBox", nullptr, &n)) afterSwitch = (LPCTSTR)n.strName;
    // Tab round the page's controls and the sheet's buttons (Apply is off until a change).
    graph.GetDlgItem(IDC_MAXHEIGHT)->SetFocus();
    for (int k = 0; k < 4; ++k) {
      HWND h = ::GetFocus();
      focus.push_back(h ? std::to_string(::GetDlgCtrlID(h)) : "none");
      AfxTestKeyStroke(VK_TAB);
    }
    HWND again = ::GetFocus();
    focus.push_back(again ? std::to_string(::GetDlgCtrlID(again)) : "none");
    AfxTestKeyStroke(VK_RETURN);
  });
  EXPECT_EQ(sheet.DoModal(), IDOK);
  EXPECT_EQ(tabs, (std::vector<std::string>{"General", "Graph"}));
  EXPECT_EQ(pageRole, "PropertyPage");
  EXPECT_EQ(checkName, "Auto Calculate Graph");
  EXPECT_EQ(editName, "Draught of Boat (m):");
  EXPECT_EQ(afterSwitch, "Thick Line");
  EXPECT_EQ(sheet.GetActiveIndex(), 1);
  // Every control of the page, then the sheet's buttons, and round again.
  EXPECT_EQ(focus,
            (std::vector<std::string>{std::to_string(IDC_MAXHEIGHT), std::to_string(IDC_THICK), std::to_string(IDOK),
                                      std::to_string(IDCANCEL), std::to_string(IDC_MAXHEIGHT)}));
}

}  // namespace
