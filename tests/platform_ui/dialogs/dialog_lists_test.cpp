// Data exchange with combo boxes and list boxes in a dialog: values shown when it opens,
// changed by keys and typing, and read back when Enter closes it.
#include "platform/testing/UiTest.h"
#include "platform/ui/AfxWin.h"
#include "platform/ui/Dialog.h"

#include <gtest/gtest.h>

#include <string>

namespace {

enum { IDD_LISTS = 4301, IDC_UNITS = 1101, IDC_PORT = 1102, IDC_HARBOUR = 1103, IDC_ZONE = 1104 };

const AFX_DLGITEM kItems[] = {
    {WC_COMBOBOX, IDC_UNITS, "", 7, 7, 80, 60, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0},
    {WC_COMBOBOX, IDC_PORT, "", 7, 25, 80, 60, CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 0},
    {WC_COMBOBOX, IDC_HARBOUR, "", 7, 43, 80, 60, CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 0},
    {WC_LISTBOX, IDC_ZONE, "", 95, 7, 60, 50, LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 0},
    {WC_BUTTON, IDOK, "OK", 50, 66, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
    {WC_BUTTON, IDCANCEL, "Cancel", 105, 66, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
};
const AFX_DLGTEMPLATE kLists = {IDD_LISTS,
                                "Lists",
                                0,
                                0,
                                162,
                                86,
                                DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                "MS Shell Dlg",
                                8,
                                kItems,
                                (int)(sizeof(kItems) / sizeof(kItems[0]))};
const AFX_DLGTEMPLATE_INIT kReg(&kLists);

class CListsDlg : public CDialog {
 public:
  CListsDlg() : CDialog(IDD_LISTS) {}
  int m_units = 1, m_zoneIndex = -2;
  CString m_port = "Dun", m_harbour = "Dover", m_zone = "UTC+1";
  BOOL OnInitDialog() override {
    for (const char* s : {"Metres", "Feet"}) ::SendDlgItemMessage(m_hWnd, IDC_UNITS, CB_ADDSTRING, 0, (LPARAM)s);
    for (int id : {IDC_PORT, IDC_HARBOUR})
      for (const char* s : {"Dover Strait", "Dover", "Dundee"})
        ::SendDlgItemMessage(m_hWnd, id, CB_ADDSTRING, 0, (LPARAM)s);
    for (const char* s : {"UTC", "UTC+1", "UTC+2"}) ::SendDlgItemMessage(m_hWnd, IDC_ZONE, LB_ADDSTRING, 0, (LPARAM)s);
    return CDialog::OnInitDialog();
  }
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_CBIndex(pDX, IDC_UNITS, m_units);
    DDX_CBString(pDX, IDC_PORT, m_port);
    DDX_CBStringExact(pDX, IDC_HARBOUR, m_harbour);
    DDX_LBString(pDX, IDC_ZONE, m_zone);
    if (pDX->m_bSaveAndValidate) DDX_LBIndex(pDX, IDC_ZONE, m_zoneIndex);
  }
};

std::string text(HWND dlg, int id) {
  char buf[64] = {};
  ::GetWindowText(::GetDlgItem(dlg, id), buf, 63);
  return buf;
}
int sel(HWND dlg, int id, UINT msg) { return (int)::SendDlgItemMessage(dlg, id, msg, 0, 0); }

TEST(DialogLists, ComboAndListValuesGoInAndComeBack) {
  AfxWinInit(0, nullptr);
  CListsDlg dlg;
  std::string units, port, harbour;
  int portSel = -9, harbourSel = -9, zoneSel = -9;
  AfxCallLater(10, [&] {
    HWND h = dlg.m_hWnd;
    units = text(h, IDC_UNITS);
    port = text(h, IDC_PORT);
    portSel = sel(h, IDC_PORT, CB_GETCURSEL);
    harbour = text(h, IDC_HARBOUR);
    harbourSel = sel(h, IDC_HARBOUR, CB_GETCURSEL);
    zoneSel = sel(h, IDC_ZONE, LB_GETCURSEL);
    // The user picks metres, types a port of their own and moves down the zones.
    ::SetFocus(::GetDlgItem(h, IDC_UNITS));
    AfxTestKeyStroke(VK_UP);
    AfxTestKeyStroke(VK_TAB, 0, "\t");
    ::SendDlgItemMessage(h, IDC_PORT, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    for (const char* c : {"R", "y", "e"}) AfxTestKeyStroke((UINT)toupper(c[0]), 0, c);
    ::SetFocus(::GetDlgItem(h, IDC_ZONE));
    AfxTestKeyStroke(VK_DOWN);
    AfxTestKeyStroke(VK_RETURN, 0, "\r");
  });
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(units, "Feet");
  EXPECT_EQ(port, "Dundee");  // the first item the text begins
  EXPECT_EQ(portSel, 2);
  EXPECT_EQ(harbour, "Dover");  // exactly, not "Dover Strait"
  EXPECT_EQ(harbourSel, 1);
  EXPECT_EQ(zoneSel, 1);
  EXPECT_EQ(dlg.m_units, 0);
  EXPECT_STREQ(dlg.m_port, "Rye");
  EXPECT_STREQ(dlg.m_harbour, "Dover");
  EXPECT_STREQ(dlg.m_zone, "UTC+2");
  EXPECT_EQ(dlg.m_zoneIndex, 2);
}

TEST(DialogLists, ATextNoItemMatchesStaysInAnEditableComboOnly) {
  AfxWinInit(0, nullptr);
  CListsDlg dlg;
  dlg.m_port = "Whitby";
  dlg.m_units = -1;
  std::string port, units;
  int portSel = -9;
  AfxCallLater(10, [&] {
    HWND h = dlg.m_hWnd;
    port = text(h, IDC_PORT);
    portSel = sel(h, IDC_PORT, CB_GETCURSEL);
    units = text(h, IDC_UNITS);
    AfxTestKeyStroke(VK_RETURN, 0, "\r");
  });
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(port, "Whitby");
  EXPECT_EQ(portSel, CB_ERR);
  EXPECT_EQ(units, "");
  EXPECT_STREQ(dlg.m_port, "Whitby");
  EXPECT_EQ(dlg.m_units, CB_ERR);
}

}  // namespace
