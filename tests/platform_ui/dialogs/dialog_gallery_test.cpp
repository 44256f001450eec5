// A dialog written in a resource script with every kind of control, built from its template
// and rendered to a picture (NEAPWISE_UI_PICTURES=<folder> keeps gallery.png to look at).
#include "platform/testing/UiTest.h"
#include "platform/ui/AfxWin.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Icons.h"
#include "platform/ui/UiResources.h"

#include "tests/platform_ui/GalleryDlg.h"
#include "tests/platform_ui/TestDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace gallery;

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
