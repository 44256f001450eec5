// The dialog with every kind of control that the gallery and accessibility tests share.
#pragma once

#include "platform/ui/AfxWin.h"
#include "platform/ui/Dialog.h"

#include <string>

namespace gallery {

enum {
  IDD_GALLERY = 4400,
  IDI_BUOY = 4401,
  IDB_FLAG = 4402,
  IDC_NAME = 1201,
  IDC_HEIGHT = 1202,
  IDC_SPIN = 1203,
  IDC_ZONE = 1204,
  IDC_MOON = 1205,
  IDC_SUN = 1206,
  IDC_METRES = 1207,
  IDC_FEET = 1208,
  IDC_NOTE = 1209,
  IDC_ICON = 1210,
  IDC_FLAG = 1211,
  IDC_PORTS = 1212,
  IDC_TREE = 1213,
  IDC_SLIDER = 1214,
  IDC_SCROLL = 1215,
  IDC_STATION = 1216,
  IDC_LOG = 1217,
  IDC_TABS = 1218,
  IDC_SWATCH = 1219
};

// A buoy icon (red top, black foot, clear around) and a small flag bitmap, drawn in characters.
inline std::string pictures() {
  std::string s = "icon 4401\n colours\n  \".\" none\n  \"r\" 0xD02020\n  \"k\" 0x202020\n end\n image 32 32\n";
  for (int y = 0; y < 32; ++y) {
    std::string row(32, '.');
    int half = y < 16 ? y / 2 + 2 : 10;
    for (int x = 16 - half; x < 16 + half; ++x) row[(size_t)x] = y < 20 ? 'r' : 'k';
    s += "  \"" + row + "\"\n";
  }
  s += " end\nend\nbitmap 4402\n colours\n  \"b\" 0x2040A0\n  \"w\" 0xFFFFFF\n end\n image 24 16\n";
  for (int y = 0; y < 16; ++y) {
    std::string row(24, 'b');
    for (int x = 0; x < 24; ++x)
      if (y == 7 || y == 8 || x == 10 || x == 11) row[(size_t)x] = 'w';
    s += "  \"" + row + "\"\n";
  }
  return s + " end\nend\n";
}

inline const char* const kDialog =
    "dialog 4400 \"Port Settings\" 0 0 320 212\n"
    "  style DS_MODALFRAME|WS_POPUP|WS_CAPTION|WS_SYSMENU\n"
    "  font \"MS Shell Dlg\" 8\n"
    "  control \"Button\" -1 \"Port\" 7 4 150 66 BS_GROUPBOX\n"
    "  control \"Static\" -1 \"&Name:\" 14 18 32 8 SS_LEFT\n"
    "  control \"Edit\" 1201 \"Harwich\" 50 16 100 12 ES_AUTOHSCROLL|WS_BORDER|WS_TABSTOP\n"
    "  control \"Static\" -1 \"&Height:\" 14 34 32 8 SS_LEFT\n"
    "  control \"Edit\" 1202 \"\" 50 32 50 12 ES_AUTOHSCROLL|ES_NUMBER|WS_BORDER|WS_TABSTOP\n"
    "  control \"msctls_updown32\" 1203 \"\" 0 0 10 12 "
    "UDS_SETBUDDYINT|UDS_ALIGNRIGHT|UDS_AUTOBUDDY|UDS_ARROWKEYS|UDS_NOTHOUSANDS\n"
    "  control \"Static\" -1 \"metres\" 104 34 46 8 SS_RIGHT\n"
    "  control \"Static\" -1 \"&Zone:\" 14 52 32 8 SS_LEFT\n"
    "  control \"ComboBox\" 1204 \"\" 50 50 100 60 CBS_DROPDOWNLIST|WS_VSCROLL|WS_TABSTOP\n"
    "  control \"Button\" -1 \"Show\" 7 74 150 56 BS_GROUPBOX\n"
    "  control \"Button\" 1205 \"&Moon phases\" 14 86 64 10 BS_AUTOCHECKBOX|WS_TABSTOP\n"
    "  control \"Button\" 1206 \"&Sun and twilight\" 14 100 70 10 BS_AUTO3STATE|WS_TABSTOP\n"
    "  control \"Button\" 1207 \"M&etres\" 90 86 60 10 BS_AUTORADIOBUTTON|WS_GROUP|WS_TABSTOP\n"
    "  control \"Button\" 1208 \"&Feet\" 90 100 60 10 BS_AUTORADIOBUTTON\n"
    "  control \"Static\" 1209 \"Heights above chart datum, Lowest Astronomical Tide\" 14 114 136 8 "
    "SS_LEFT|SS_ENDELLIPSIS|SS_NOPREFIX|WS_GROUP\n"
    "  control \"Static\" 1210 \"#4401\" 7 136 20 20 SS_ICON\n"
    "  control \"Static\" 1211 \"#4402\" 34 138 16 10 SS_BITMAP\n"
    "  control \"Static\" -1 \"Drag the slider for the range of days shown.\" 56 136 100 18 SS_LEFT\n"
    "  control \"ListBox\" 1212 \"\" 164 8 72 64 LBS_NOTIFY|LBS_SORT|WS_VSCROLL|WS_BORDER|WS_TABSTOP\n"
    "  control \"SysTreeView32\" 1213 \"\" 240 8 73 64 "
    "TVS_HASBUTTONS|TVS_HASLINES|TVS_LINESATROOT|TVS_SHOWSELALWAYS|WS_BORDER|WS_TABSTOP\n"
    "  control \"msctls_trackbar32\" 1214 \"\" 160 76 156 18 TBS_AUTOTICKS|WS_TABSTOP\n"
    "  control \"ScrollBar\" 1215 \"\" 164 98 149 10 SBS_HORZ\n"
    "  control \"ComboBox\" 1216 \"\" 164 112 149 60 CBS_DROPDOWN|CBS_AUTOHSCROLL|WS_VSCROLL|WS_TABSTOP\n"
    "  control \"Edit\" 1217 \"\" 164 128 149 28 ES_MULTILINE|ES_READONLY|WS_VSCROLL|WS_BORDER\n"
    "  control \"SysTabControl32\" 1218 \"\" 7 160 150 24 WS_TABSTOP\n"
    "  control \"Button\" 1219 \"\" 164 162 20 14 BS_OWNERDRAW|WS_TABSTOP\n"
    "  control \"Static\" -1 \"\" 7 188 306 2 SS_ETCHEDHORZ\n"
    "  control \"Button\" 1 \"OK\" 208 194 50 14 BS_DEFPUSHBUTTON|WS_TABSTOP\n"
    "  control \"Button\" 2 \"Cancel\" 263 194 50 14 BS_PUSHBUTTON|WS_TABSTOP\n"
    "end\n";

class CGalleryDlg : public CDialog {
 public:
  CGalleryDlg() : CDialog(IDD_GALLERY) {}
  int m_height = 12, m_moon = 1, m_units = 0, m_zone = 1;
  CString m_station = "Dover";
  BOOL OnInitDialog() override {
    for (const char* s : {"UTC", "UTC+1 (summer time)", "UTC+2"})
      SendDlgItemMessage(m_hWnd, IDC_ZONE, CB_ADDSTRING, 0, (LPARAM)s);
    for (const char* s : {"Harwich", "Dover", "Ramsgate", "Margate", "Whitstable"})
      SendDlgItemMessage(m_hWnd, IDC_PORTS, LB_ADDSTRING, 0, (LPARAM)s);
    SendDlgItemMessage(m_hWnd, IDC_PORTS, LB_SETCURSEL, 1, 0);
    for (const char* s : {"Dover", "Folkestone"}) SendDlgItemMessage(m_hWnd, IDC_STATION, CB_ADDSTRING, 0, (LPARAM)s);
    auto* tree = static_cast<CTreeCtrl*>(GetDlgItem(IDC_TREE));
    HTREEITEM england = tree->InsertItem("England");
    tree->InsertItem("Harwich", england);
    HTREEITEM kent = tree->InsertItem("Kent", england);
    tree->InsertItem("Dover", kent);
    tree->InsertItem("Scotland");
    tree->Expand(england, TVE_EXPAND);
    tree->SelectItem(kent);
    auto* spin = static_cast<CSpinButtonCtrl*>(GetDlgItem(IDC_SPIN));
    spin->SetRange32(0, 99);
    auto* slider = static_cast<CSliderCtrl*>(GetDlgItem(IDC_SLIDER));
    slider->SetRange(0, 10);
    slider->SetTicFreq(1);
    slider->SetPos(7);
    auto* bar = static_cast<CScrollBar*>(GetDlgItem(IDC_SCROLL));
    bar->SetScrollRange(0, 100, FALSE);
    bar->SetScrollPos(30);
    auto* tabs = static_cast<CTabCtrl*>(GetDlgItem(IDC_TABS));
    tabs->InsertItem(0, "Graph");
    tabs->InsertItem(1, "Table");
    SetDlgItemText(IDC_LOG, "High water 06:42  4.1 m\r\nLow water 12:55  0.6 m");
    CheckDlgButton(IDC_SUN, BST_INDETERMINATE);
    return CDialog::OnInitDialog();
  }
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Text(pDX, IDC_HEIGHT, m_height);
    DDX_Check(pDX, IDC_MOON, m_moon);
    DDX_Radio(pDX, IDC_METRES, m_units);
    DDX_CBIndex(pDX, IDC_ZONE, m_zone);
    DDX_CBString(pDX, IDC_STATION, m_station);
  }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_DRAWITEM && wParam == IDC_SWATCH) {
      auto* dis = (DRAWITEMSTRUCT*)lParam;
      CDC* dc = CDC::FromHandle(dis->hDC);
      CRect r = dis->rcItem;
      dc->DrawEdge(&r, (dis->itemState & ODS_SELECTED) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
      dc->FillSolidRect(&r, RGB(0, 96, 160));
      return TRUE;
    }
    return CDialog::WindowProc(message, wParam, lParam);
  }
};

}  // namespace gallery
