// Dialogs from templates: data exchange both ways, the range message keeping a dialog open,
// Enter and Esc, the tab order, a modeless dialog, and a template rendered to a picture.
#include "platform/ui/Dialog.h"
#include "platform/core/AfxLocale.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/AfxWin.h"
#include "tests/platform_ui/BoxRecorder.h"

#include "tests/platform_ui/TestDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

enum {
  IDD_SIZE = 176,
  IDC_WIDTH = 1036,
  IDC_HEIGHT = 1037,
  IDC_DRAUGHT = 1040,
  IDC_BW = 1041,
  IDC_METRES = 1042,
  IDC_FEET = 1043,
  IDC_NAME = 1044
};

const AFX_DLGITEM kItems[] = {
    {WC_STATIC, 0xFFFF, "Width:", 7, 9, 40, 8, SS_LEFT, 0},
    {WC_EDIT, IDC_WIDTH, "", 50, 7, 50, 12, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0},
    {WC_STATIC, 0xFFFF, "Height:", 7, 25, 40, 8, SS_LEFT, 0},
    {WC_EDIT, IDC_HEIGHT, "", 50, 23, 50, 12, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0},
    {UPDOWN_CLASS, 1038, "", 0, 0, 10, 12,
     UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0},
    {WC_STATIC, 0xFFFF, "Draught:", 7, 41, 40, 8, SS_LEFT, 0},
    {WC_EDIT, IDC_DRAUGHT, "", 50, 39, 50, 12, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0},
    {WC_EDIT, IDC_NAME, "", 50, 55, 50, 12, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0},
    {WC_BUTTON, 0xFFFF, "Units", 110, 4, 80, 44, BS_GROUPBOX, 0},
    {WC_BUTTON, IDC_METRES, "Metres", 116, 16, 60, 10, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0},
    {WC_BUTTON, IDC_FEET, "Feet", 116, 30, 60, 10, BS_AUTORADIOBUTTON, 0},
    {WC_BUTTON, IDC_BW, "Black and white", 7, 72, 90, 10, BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 0},
    {TRACKBAR_CLASS, 1039, "", 105, 56, 90, 24, TBS_AUTOTICKS, 0},
    {WC_STATIC, 0xFFFF, "", 7, 86, 186, 2, SS_ETCHEDHORZ, 0},
    {WC_BUTTON, IDOK, "OK", 86, 92, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
    {WC_BUTTON, IDCANCEL, "Cancel", 142, 92, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
};
const AFX_DLGTEMPLATE kSize = {IDD_SIZE,
                               " Jpeg Export",
                               0,
                               0,
                               200,
                               112,
                               DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU,
                               "MS Shell Dlg",
                               8,
                               kItems,
                               (int)(sizeof(kItems) / sizeof(kItems[0]))};
const AFX_DLGTEMPLATE_INIT kReg(&kSize);

class CSizeDlg : public CDialog {
 public:
  CSizeDlg() : CDialog(IDD_SIZE) {}
  int m_width = 350, m_height = 200, m_bw = 0, m_units = 0;
  double m_draught = 1.5;
  CString m_name = "Neapwise Graph";
  int m_inits = 0;
  BOOL OnInitDialog() override {
    ++m_inits;
    return CDialog::OnInitDialog();
  }
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Text(pDX, IDC_WIDTH, m_width);
    DDV_MinMaxInt(pDX, m_width, 100, 2500);
    DDX_Text(pDX, IDC_HEIGHT, m_height);
    DDV_MinMaxInt(pDX, m_height, 100, 1500);
    DDX_Text(pDX, IDC_DRAUGHT, m_draught);
    DDV_MinMaxDouble(pDX, m_draught, 0.0, 9.5);
    DDX_Text(pDX, IDC_NAME, m_name);
    DDV_MaxChars(pDX, m_name, 20);
    DDX_Check(pDX, IDC_BW, m_bw);
    DDX_Radio(pDX, IDC_METRES, m_units);
  }
};

class Dialogs : public BoxRecordingTest {
 protected:
  static void setText(HWND dlg, int id, const char* t) { ::SetWindowText(::GetDlgItem(dlg, id), t); }
  static std::string text(HWND dlg, int id) {
    char buf[64] = {};
    ::GetWindowText(::GetDlgItem(dlg, id), buf, 63);
    return buf;
  }
};

TEST_F(Dialogs, ValuesGoInAndComeBackWithEnter) {
  CSizeDlg dlg;
  dlg.m_bw = 1;
  dlg.m_units = 1;
  std::string seenWidth, seenDraught, seenName;
  UINT feet = 9, bw = 9;
  AfxCallLater(10, [&] {
    HWND h = dlg.m_hWnd;
    seenWidth = text(h, IDC_WIDTH);
    seenDraught = text(h, IDC_DRAUGHT);
    seenName = text(h, IDC_NAME);
    feet = dlg.IsDlgButtonChecked(IDC_FEET);
    bw = dlg.IsDlgButtonChecked(IDC_BW);
    // The first tab stop has the focus: type a new width over the selection.
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(h, IDC_WIDTH));
    ::SendMessage(::GetDlgItem(h, IDC_WIDTH), EM_SETSEL, 0, -1);
    AfxTestKeyStroke('8', 0, "8");
    AfxTestKeyStroke('0', 0, "0");
    AfxTestKeyStroke('0', 0, "0");
    setText(h, IDC_DRAUGHT, " 2.25 ");
    AfxTestClick(::GetDlgItem(h, IDC_METRES), 4, 6);
    ::SetFocus(::GetDlgItem(h, IDC_WIDTH));
    AfxTestKeyStroke(VK_RETURN, 0, "\r");
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.m_inits, 1);
  EXPECT_EQ(seenWidth, "350");
  EXPECT_EQ(seenDraught, "1.5");
  EXPECT_EQ(seenName, "Neapwise Graph");
  EXPECT_EQ(feet, (UINT)BST_CHECKED);
  EXPECT_EQ(bw, (UINT)BST_CHECKED);
  EXPECT_EQ(dlg.m_width, 800);
  EXPECT_DOUBLE_EQ(dlg.m_draught, 2.25);
  EXPECT_EQ(dlg.m_units, 0);
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST_F(Dialogs, OutOfRangeShowsTheRangeMessageAndStaysOpen) {
  struct Case {
    int id;
    const char* value;
    const char* message;
  } cases[] = {
      {IDC_WIDTH, "99", "Please enter an integer between 100 and 2500."},
      {IDC_HEIGHT, "1501", "Please enter an integer between 100 and 1500."},
      {IDC_WIDTH, "12x", "Please enter an integer."},
      {IDC_DRAUGHT, "9.75", "Please enter a number between 0 and 9.5."},
      {IDC_DRAUGHT, "1,5", "Please enter a number."},
      {IDC_NAME, "a name that is far too long", "Please enter no more than 20 characters."},
  };
  for (const Case& c : cases) {
    boxes.clear();
    CSizeDlg dlg;
    bool stillOpen = false;
    HWND focusAfter = nullptr, failed = nullptr;
    AfxCallLater(10, [&] {
      HWND h = dlg.m_hWnd;
      failed = ::GetDlgItem(h, c.id);
      setText(h, c.id, c.value);
      ::SetFocus(::GetDlgItem(h, IDC_BW));
      AfxTestKeyStroke(VK_RETURN, 0, "\r");
      stillOpen = ::IsWindow(h) && ::IsWindowVisible(h);
      focusAfter = ::GetFocus();
      AfxTestKeyStroke(VK_ESCAPE, 0, "\x1b");
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL) << c.value;
    EXPECT_TRUE(stillOpen) << c.value;
    EXPECT_EQ(focusAfter, failed) << c.value;  // the faulty field gets the focus back
    ASSERT_EQ(boxes.size(), 1u) << c.value;
    EXPECT_EQ(boxes[0], c.message);
  }
}

TEST_F(Dialogs, TabOrderFollowsTheTemplateAndSkipsStatics) {
  CSizeDlg dlg;
  std::vector<int> order;
  AfxCallLater(10, [&] {
    for (int i = 0; i < 9; ++i) {
      order.push_back(::GetDlgCtrlID(::GetFocus()));
      AfxTestKeyStroke(VK_TAB, 0, "\t");
    }
    AfxTestKey(VK_SHIFT, TRUE, AFX_TEST_SHIFT);
    AfxTestKeyStroke(VK_TAB, AFX_TEST_SHIFT, "\t");
    AfxTestKey(VK_SHIFT, FALSE);
    order.push_back(::GetDlgCtrlID(::GetFocus()));
    dlg.EndDialog(IDABORT);
  });
  EXPECT_EQ(dlg.DoModal(), IDABORT);
  std::vector<int> want{IDC_WIDTH, IDC_HEIGHT, IDC_DRAUGHT, IDC_NAME,  IDC_METRES,
                        IDC_BW,    IDOK,       IDCANCEL,    IDC_WIDTH, IDC_WIDTH};
  EXPECT_EQ(order, want);
}

TEST_F(Dialogs, ModelessDialogAndItsPicture) {
  CSizeDlg dlg;
  ASSERT_TRUE(dlg.Create(IDD_SIZE));
  EXPECT_FALSE(dlg.IsWindowVisible());  // the template has no WS_VISIBLE
  dlg.ShowWindow(SW_SHOW);
  CRect rc;
  dlg.GetClientRect(&rc);
  CRect units(0, 0, 200, 112);
  dlg.MapDialogRect(&units);
  EXPECT_EQ(rc.Width(), units.Width());
  EXPECT_EQ(rc.Height(), units.Height());
  EXPECT_STREQ(CString([&] {
                 CString t;
                 dlg.GetWindowText(t);
                 return t;
               }()),
               " Jpeg Export");
  dlg.SetDefID(IDCANCEL);
  EXPECT_EQ(LOWORD(dlg.GetDefID()), IDCANCEL);
  EXPECT_EQ(::GetWindowLong(::GetDlgItem(dlg.m_hWnd, IDOK), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
  dlg.SetDefID(IDOK);
  // The spin found its buddy in the template and shows the exchanged value's neighbour.
  auto* spin = static_cast<CSpinButtonCtrl*>(dlg.GetDlgItem(1038));
  ASSERT_NE(spin, nullptr);
  EXPECT_EQ(spin->GetBuddy(), dlg.GetDlgItem(IDC_HEIGHT));
  spin->SetRange32(100, 1500);
  EXPECT_EQ(spin->GetPos32(), 200);
  auto* slider = static_cast<CSliderCtrl*>(dlg.GetDlgItem(1039));
  ASSERT_NE(slider, nullptr);
  slider->SetRange(0, 10);
  slider->SetPos(10);
  TestDir dir;
  const char* keep = std::getenv("NEAPWISE_UI_PICTURES");
  std::string png = keep ? std::string(keep) + "/dialog.png" : dir.file("dialog.png");
  ASSERT_TRUE(AfxSaveWindowPng(dlg.m_hWnd, png.c_str()));
  EXPECT_GT(ReadAll(png).size(), 1000u);
  // Esc on a modeless dialog ends and destroys it.
  ::SetFocus(::GetDlgItem(dlg.m_hWnd, IDC_WIDTH));
  AfxTestKeyStroke(VK_ESCAPE, 0, "\x1b");
  EXPECT_EQ(dlg.m_hWnd, nullptr);
}

// Reals are shown and read in the user's locale, the range message included.
TEST_F(Dialogs, RealsFollowTheUsersDecimalSeparator) {
  ASSERT_TRUE(AfxSetLocaleOverrideByName("de_DE"));
  std::string shown;
  bool refusedOpen = false;
  CSizeDlg dlg;
  AfxCallLater(10, [&] {
    HWND h = dlg.m_hWnd;
    shown = text(h, IDC_DRAUGHT);
    setText(h, IDC_DRAUGHT, "9,75");
    AfxTestKeyStroke(VK_RETURN, 0, "\r");
    refusedOpen = ::IsWindowVisible(h);
    setText(h, IDC_DRAUGHT, "2,25");
    AfxTestKeyStroke(VK_RETURN, 0, "\r");
  });
  INT_PTR result = dlg.DoModal();
  AfxClearLocaleOverride();
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(shown, "1,5");
  EXPECT_TRUE(refusedOpen);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "Please enter a number between 0 and 9,5.");
  EXPECT_DOUBLE_EQ(dlg.m_draught, 2.25);
}

}  // namespace
