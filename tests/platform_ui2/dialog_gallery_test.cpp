// A dialog written in a resource script with every kind of control, built from its template
// and rendered to a picture (NEAPWISE_UI_PICTURES=<folder> keeps gallery.png to look at).
#include "platform/ui/AfxWin.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Icons.h"
#include "platform/ui/UiResources.h"
#include "platform/ui/UiTest.h"

#include "tests/platform_ui2/TestDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

enum { IDD_GALLERY = 4400, IDI_BUOY = 4401, IDB_FLAG = 4402, IDC_NAME = 1201, IDC_HEIGHT = 1202, IDC_SPIN = 1203,
       IDC_ZONE = 1204, IDC_MOON = 1205, IDC_SUN = 1206, IDC_METRES = 1207, IDC_FEET = 1208, IDC_NOTE = 1209,
       IDC_ICON = 1210, IDC_FLAG = 1211, IDC_PORTS = 1212, IDC_TREE = 1213, IDC_SLIDER = 1214, IDC_SCROLL = 1215,
       IDC_STATION = 1216, IDC_LOG = 1217, IDC_TABS = 1218, IDC_SWATCH = 1219 };

// A buoy icon (red top, black foot, clear around) and a small flag bitmap, drawn in characters.
std::string pictures() {
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

const char* kDialog =
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
    for (const char* s : {"UTC", "UTC+1 (summer time)", "UTC+2"}) SendDlgItemMessage(m_hWnd, IDC_ZONE, CB_ADDSTRING, 0, (LPARAM)s);
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

class Gallery : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    AfxWinInit(0, nullptr);
    static const std::string script = pictures() + kDialog;
    CString err;
    ASSERT_TRUE(AfxCompileUiScript("gallery.nrc", script.c_str(), script.size(), &err)) << err.GetString();
  }
  static CRect rectOf(CDialog& dlg, int id) {
    CRect r;
    dlg.GetDlgItem(id)->GetWindowRect(&r);
    dlg.ScreenToClient(&r);
    return r;
  }
};

TEST_F(Gallery, EveryKindOfControlFromAScriptRendersAsLaidOut) {
  CGalleryDlg dlg;
  ASSERT_TRUE(dlg.Create(IDD_GALLERY));
  dlg.ShowWindow(SW_SHOW);
  TestDir dir;
  const char* keep = std::getenv("NEAPWISE_UI_PICTURES");
  std::string png = keep ? std::string(keep) + "/gallery.png" : dir.file("gallery.png");
  ASSERT_TRUE(AfxSaveWindowPng(dlg.m_hWnd, png.c_str()));
  EXPECT_GT(ReadAll(png).size(), 5000u);
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(dlg.m_hWnd, &pic));

  // Items sit where their dialog units put them, in the dialog font's units.
  CRect units(164, 8, 164 + 72, 8 + 64);
  dlg.MapDialogRect(&units);
  CRect ports = rectOf(dlg, IDC_PORTS);
  EXPECT_EQ(ports.TopLeft(), units.TopLeft());
  EXPECT_EQ(ports.Width(), units.Width());
  // The combo's template height is with its list dropped; the window is its field only.
  CRect zone = rectOf(dlg, IDC_ZONE), dropped(0, 0, 100, 60);
  dlg.MapDialogRect(&dropped);
  EXPECT_LT(zone.Height(), dropped.Height() / 2);
  EXPECT_GE(zone.Height(), rectOf(dlg, IDC_NAME).Height() - 2);

  // The values exchanged in, and the label's '&' left as typed only where it says so.
  EXPECT_EQ(dlg.GetDlgItemInt(IDC_HEIGHT), 12u);
  EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_SUN), (UINT)BST_INDETERMINATE);
  EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_METRES), (UINT)BST_CHECKED);

  // The icon took its own size and shows red over the dialog face; the bitmap its pixels.
  CRect icon = rectOf(dlg, IDC_ICON);
  EXPECT_EQ(icon.Width(), GetSystemMetrics(SM_CXICON));
  EXPECT_EQ(pic.GetPixel(icon.left + 16, icon.top + 10), RGB(0xD0, 0x20, 0x20));
  EXPECT_EQ(pic.GetPixel(icon.left + 1, icon.top + 1), GetSysColor(COLOR_3DFACE));
  CRect flag = rectOf(dlg, IDC_FLAG);
  EXPECT_EQ(pic.GetPixel(flag.left + 2, flag.top + 2), RGB(0x20, 0x40, 0xA0));
  EXPECT_EQ(pic.GetPixel(flag.left + 10, flag.top + 2), RGB(255, 255, 255));
  // The owner-drawn swatch, the default button's frame and the etched line.
  CRect swatch = rectOf(dlg, IDC_SWATCH);
  EXPECT_EQ(pic.GetPixel(swatch.CenterPoint().x, swatch.CenterPoint().y), RGB(0, 96, 160));
  CRect ok = rectOf(dlg, IDOK);
  EXPECT_EQ(pic.GetPixel(ok.left, ok.CenterPoint().y), GetSysColor(COLOR_WINDOWFRAME));
  // A slider shorter than the full thumb still shows its eleven ticks inside its window.
  auto* slider = static_cast<CSliderCtrl*>(dlg.GetDlgItem(IDC_SLIDER));
  CRect sr = rectOf(dlg, IDC_SLIDER), thumb;
  slider->GetThumbRect(&thumb);
  int ticks = 0;
  for (int y = sr.top + thumb.bottom; y < sr.bottom; ++y)
    for (int x = sr.left; x < sr.right; ++x)
      if (pic.GetPixel(x, y) == GetSysColor(COLOR_BTNTEXT) && pic.GetPixel(x - 1, y) != GetSysColor(COLOR_BTNTEXT))
        ticks += y == sr.top + thumb.bottom + 2;
  EXPECT_EQ(ticks, 11);
  dlg.DestroyWindow();
}

// The keyboard a user has in it: Alt with a marked letter, Enter on a focused button, Esc.
TEST_F(Gallery, AltLettersEnterOnAFocusedButtonAndADisabledDefault) {
  CGalleryDlg dlg;
  std::vector<int> focus;
  UINT moon = 9, feet = 9;
  bool openAfterDisabledDefault = false;
  AfxCallLater(10, [&] {
    HWND h = dlg.m_hWnd;
    auto alt = [&](UINT vk) {
      AfxTestKey(VK_MENU, TRUE, AFX_TEST_ALT);
      char c[2] = {(char)(vk | 0x20), 0};
      AfxTestKeyStroke(vk, AFX_TEST_ALT, c);
      AfxTestKey(VK_MENU, FALSE);
      focus.push_back(::GetDlgCtrlID(::GetFocus()));
    };
    alt('H');  // a label: the edit after it
    alt('Z');
    alt('M');  // a check box: focused and toggled
    moon = dlg.IsDlgButtonChecked(IDC_MOON);
    alt('F');  // a radio button: focused and chosen
    feet = dlg.IsDlgButtonChecked(IDC_FEET);
    alt('Q');  // nobody's letter: the focus stays
    // Enter with the default button disabled does nothing; on a focused button it presses that.
    ::EnableWindow(::GetDlgItem(h, IDOK), FALSE);
    ::SetFocus(::GetDlgItem(h, IDC_NAME));
    AfxTestKeyStroke(VK_RETURN, 0, "\r");
    openAfterDisabledDefault = ::IsWindowVisible(h);
    ::SetFocus(::GetDlgItem(h, IDCANCEL));
    AfxTestKeyStroke(VK_RETURN, 0, "\r");
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  std::vector<int> want{IDC_HEIGHT, IDC_ZONE, IDC_MOON, IDC_FEET, IDC_FEET};
  EXPECT_EQ(focus, want);
  EXPECT_EQ(moon, (UINT)BST_UNCHECKED);
  EXPECT_EQ(feet, (UINT)BST_CHECKED);
  EXPECT_TRUE(openAfterDisabledDefault);
  EXPECT_EQ(dlg.m_moon, 1);  // cancelled: nothing exchanged back
}

// Enter and Esc from a multi-line edit that does not keep Enter for new lines still reach the
// dialog; typing in it still works.
TEST_F(Gallery, EnterAndEscFromAMultiLineEdit) {
  for (UINT key : {(UINT)VK_RETURN, (UINT)VK_ESCAPE}) {
    CGalleryDlg dlg;
    AfxCallLater(10, [&] {
      HWND log = ::GetDlgItem(dlg.m_hWnd, IDC_LOG);
      ::SendMessage(log, EM_SETREADONLY, FALSE, 0);
      ::SetFocus(log);
      AfxTestKeyStroke('A', 0, "a");
      AfxTestKeyStroke(key, 0, key == VK_RETURN ? "\r" : "\x1b");
      if (dlg.m_hWnd && ::IsWindowVisible(dlg.m_hWnd)) dlg.EndDialog(IDABORT);  // the keys did not close it
    });
    EXPECT_EQ(dlg.DoModal(), key == VK_RETURN ? IDOK : IDCANCEL);
  }
}

// Radio buttons by keyboard: Tab lands on the checked one of a group, the arrows move round the
// group and choose, and an edit keeps its arrows.
TEST_F(Gallery, TabLandsOnTheCheckedRadioAndArrowsChooseInTheGroup) {
  CGalleryDlg dlg;
  dlg.m_units = 1;
  std::vector<int> focus;
  std::vector<UINT> metres;
  AfxCallLater(10, [&] {
    HWND h = dlg.m_hWnd;
    auto step = [&](UINT vk, UINT mods = 0) {
      AfxTestKeyStroke(vk, mods, vk == VK_TAB ? "\t" : nullptr);
      focus.push_back(::GetDlgCtrlID(::GetFocus()));
      metres.push_back(dlg.IsDlgButtonChecked(IDC_METRES));
    };
    ::SetFocus(::GetDlgItem(h, IDC_SUN));
    step(VK_TAB);   // Feet, the checked one, not Metres
    step(VK_UP);    // Metres, chosen
    step(VK_DOWN);  // Feet again
    step(VK_DOWN);  // round the group: Metres
    ::SetFocus(::GetDlgItem(h, IDC_HEIGHT));
    step(VK_DOWN);  // the edit keeps its arrows
    dlg.EndDialog(IDCANCEL);
  });
  dlg.DoModal();
  EXPECT_EQ(focus, (std::vector<int>{IDC_FEET, IDC_METRES, IDC_FEET, IDC_METRES, IDC_HEIGHT}));
  EXPECT_EQ(metres, (std::vector<UINT>{BST_UNCHECKED, BST_CHECKED, BST_UNCHECKED, BST_CHECKED, BST_CHECKED}));
}

// Dialog units come from the template's font: a larger font makes a larger dialog with larger
// controls, and a label's text still fits the box it was given.
TEST_F(Gallery, DialogUnitsFollowTheTemplatesFont) {
  const AFX_DLGITEM items[] = {{WC_STATIC, 0xFFFF, "Height of tide:", 7, 7, 60, 8, SS_LEFT, 0}};
  CSize sizes[2];
  int i = 0;
  for (int points : {8, 12}) {
    const AFX_DLGTEMPLATE t = {0, "Units", 0, 0, 100, 40, WS_POPUP | WS_CAPTION, "MS Shell Dlg", points, items, 1};
    CDialog dlg;
    ASSERT_TRUE(dlg.CreateIndirect(&t));
    CRect rc;
    dlg.GetClientRect(&rc);
    sizes[i++] = rc.Size();
    CStatic* label = static_cast<CStatic*>(dlg.GetWindow(GW_CHILD));
    ASSERT_NE(label, nullptr);
    CRect lr;
    label->GetClientRect(&lr);
    CClientDC dc(label);
    CFont* old = dc.SelectObject(label->GetFont());
    CSize text = dc.GetTextExtent("Height of tide:");
    dc.SelectObject(old);
    EXPECT_LE(text.cx, lr.Width()) << points;
    EXPECT_LE(text.cy, lr.Height() + 2) << points;
    dlg.DestroyWindow();
  }
  EXPECT_GT(sizes[1].cx, sizes[0].cx * 13 / 10);
  EXPECT_GT(sizes[1].cy, sizes[0].cy * 13 / 10);
}

}  // namespace
