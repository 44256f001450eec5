// The small controls: the colour button with its popup, the height edit in a comma-decimal
// locale, the lockable flat splitter and the transparent label, through real input and pictures.
#include "platform/testing/UiTest.h"
#include "views/ColourButton.h"
#include "views/ColourPopup.h"
#include "views/FlatSplitter.h"
#include "views/QsEdit.h"
#include "views/TransparentStatic.h"
#include "views/ViewColours.h"

#include <gtest/gtest.h>

namespace {

struct LocaleGuard {
  ~LocaleGuard() { AfxClearLocaleOverride(); }
};

int DarkPixels(const CBitmap& pic, const CRect& r) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (COLORREF c = pic.GetPixel(x, y); GetRValue(c) + GetGValue(c) + GetBValue(c) < 300) ++n;
  return n;
}

CRect RectIn(CWnd& child, CWnd& parent) {
  CRect r;
  child.GetWindowRect(&r);
  parent.ScreenToClient(&r);
  return r;
}

// ---- Colour button -----------------------------------------------------------------

// What the graph options page does with its buttons: a click opens the popup under the button,
// the picked colour goes into that button.
class CColourPage : public CWnd {
 public:
  CColourButton m_button;
  CColourPopup m_popup;
  int m_picked = 0;
  void OnButton() {
    CRect r;
    m_button.GetWindowRect(&r);
    m_popup.Create(this, r.left, r.bottom, 1);
  }
  LRESULT OnPicked(WPARAM wParam, LPARAM) {
    ++m_picked;
    EXPECT_EQ(wParam, 1u);
    m_button.SetColour(m_popup.GetColour());
    m_button.Invalidate();
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CColourPage, CWnd)
  ON_BN_CLICKED(1004, OnButton)
  ON_MESSAGE(WM_COLOUR_PICKED, OnPicked)
END_MESSAGE_MAP()

TEST(ColourButton, ClickOpensThePopupAndThePickedColourComesBackToTheButton) {
  AfxWinInit(0, nullptr);
  CColourPage page;
  LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, nullptr, (HBRUSH)(COLOR_BTNFACE + 1));
  ASSERT_TRUE(page.CreateEx(0, cls, "page", WS_POPUP | WS_VISIBLE, 100, 100, 220, 120, nullptr, nullptr));
  ASSERT_TRUE(page.m_button.Create("", WS_CHILD | WS_VISIBLE, CRect(20, 20, 90, 44), &page, 1004));
  EXPECT_EQ(page.m_button.GetButtonStyle() & BS_TYPEMASK, (UINT)BS_OWNERDRAW);
  EXPECT_EQ(page.m_button.GetColour(), 0x0000FFu);

  // Drawn: raised edge, the swatch inset by 5 with 14 pixels kept for the triangle.
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(page.m_hWnd, &pic));
  EXPECT_EQ(pic.GetPixel(20 + 30, 20 + 12), 0x0000FFu);
  EXPECT_EQ(pic.GetPixel(20 + 5, 20 + 12), RGB(0, 0, 0));                    // the swatch's black frame
  EXPECT_EQ(pic.GetPixel(20 + 70 - 14 - 5 + 4 + 2, 20 + 11), RGB(0, 0, 0));  // the triangle
  EXPECT_NE(pic.GetPixel(20 + 70 - 14 - 5 + 4 + 2, 20 + 14), RGB(0, 0, 0));

  // Pressed: sunken, the swatch one pixel further.
  POINT p{55, 32};
  page.ClientToScreen(&p);
  AfxTestMouse(WM_MOUSEMOVE, p);
  AfxTestMouse(WM_LBUTTONDOWN, p);
  ASSERT_TRUE(AfxCaptureWindow(page.m_hWnd, &pic));
  pic.SavePng("colour_button_pressed.png");
  EXPECT_EQ(pic.GetPixel(20 + 6, 20 + 6), RGB(0, 0, 0));
  EXPECT_EQ(pic.GetPixel(20 + 6, 20 + 12), RGB(0, 0, 0));
  AfxTestMouse(WM_LBUTTONUP, p);
  AfxTestWait(10);
  ASSERT_TRUE(page.m_popup.IsOpen());

  // Row 2, column 3 of the popup, which opened under the button.
  CRect b;
  page.m_button.GetWindowRect(&b);
  POINT cell{b.left + 5 + 18 * 2 + 9, b.bottom + 5 + 18 * 1 + 9};
  AfxTestMouse(WM_MOUSEMOVE, cell);
  AfxTestMouse(WM_LBUTTONDOWN, cell);
  AfxTestMouse(WM_LBUTTONUP, cell);
  AfxTestWait(5000, [&] { return page.m_popup.GetSafeHwnd() == nullptr; });
  EXPECT_EQ(page.m_picked, 1);
  EXPECT_EQ(page.m_button.GetColour(), g_colourTable[10]);
  ASSERT_TRUE(AfxCaptureWindow(page.m_hWnd, &pic));
  pic.SavePng("colour_button_picked.png");
  EXPECT_EQ(pic.GetPixel(20 + 30, 20 + 12), g_colourTable[10]);

  // Disabled: embossed outline only, no colour.
  page.m_button.EnableWindow(FALSE);
  ASSERT_TRUE(AfxCaptureWindow(page.m_hWnd, &pic));
  pic.SavePng("colour_button_disabled.png");
  EXPECT_EQ(pic.GetPixel(20 + 30, 20 + 12), ::GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(pic.GetPixel(20 + 5, 20 + 12), ::GetSysColor(COLOR_BTNSHADOW));
  page.DestroyWindow();
  AfxTestWait(5);
}

TEST(ColourButton, ItsPaletteHoldsTheFortyColours) {
  CPalette pal;
  ASSERT_TRUE(AfxCreateColourTablePalette(pal, g_colourTable, 40));
  EXPECT_EQ(pal.GetEntryCount(), 40);
  PALETTEENTRY e[40];
  ASSERT_EQ(pal.GetPaletteEntries(0, 40, e), 40u);
  EXPECT_EQ(RGB(e[9].peRed, e[9].peGreen, e[9].peBlue), g_colourTable[9]);
}

// ---- Height edit -------------------------------------------------------------------

class CFinder : public CWnd, public IHeightFinder {
 public:
  int m_finds = 0;
  void Find() override { ++m_finds; }
};

class HeightEdit : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    ASSERT_TRUE(AfxSetLocaleOverrideByName("de_DE"));
    ASSERT_TRUE(finder.CreateEx(0, nullptr, "finder", WS_POPUP | WS_VISIBLE, 60, 60, 300, 80, nullptr, nullptr));
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, CRect(10, 10, 120, 30), &finder, 177));
    edit.SetFocus();
  }
  void TearDown() override {
    finder.DestroyWindow();
    AfxTestWait(5);
  }
  CString Text() {
    CString s;
    edit.GetWindowText(s);
    return s;
  }
  LocaleGuard guard;
  CFinder finder;
  CQsEdit edit;
};

TEST_F(HeightEdit, TakesDigitsAndOneDecimalCommaAndReadsItInTheUsersLocale) {
  AfxTestKeyStroke('3', 0, "3");
  AfxTestKeyStroke('A', 0, "a");            // refused
  AfxTestKeyStroke(VK_OEM_PERIOD, 0, ".");  // not the decimal separator here
  AfxTestKeyStroke(VK_OEM_COMMA, 0, ",");
  AfxTestKeyStroke(VK_OEM_COMMA, 0, ",");  // only one
  AfxTestKeyStroke('5', 0, "5");
  EXPECT_EQ(Text(), CString("3,5"));
  double v = 0;
  ASSERT_TRUE(edit.GetValue(v));
  EXPECT_DOUBLE_EQ(v, 3.5);

  edit.SetValue(2.25);
  EXPECT_EQ(Text(), CString("2,25"));
  edit.SetWindowText("1,000");
  ASSERT_TRUE(edit.GetValue(v));
  EXPECT_DOUBLE_EQ(v, 1.0);

  // Enter runs the parent's search.
  AfxTestKeyStroke(VK_RETURN, 0, "\r");
  EXPECT_EQ(finder.m_finds, 1);
}

TEST_F(HeightEdit, APastedNumberLosesItsGroupingAndFilteringKeepsTwoDecimals) {
  AfxSetClipboardText("1.234,56 m");
  edit.SetWindowText("");
  AfxTestKeyStroke('V', AFX_TEST_CTRL, "\x16");
  EXPECT_EQ(Text(), CString("1234,56"));

  struct {
    const char* locale;
    const char* in;
    const char* out;
  } cases[] = {
      {"de_DE", "12,345", "12,34"},
      {"de_DE", "1.000,5", "1000,5"},
      {"de_DE", "a3,5,7b", "3,57"},
      {"en_US", "1,000", "1000"},
      {"en_US", "4.125", "4.12"},
      {"en_US", ".5", ".5"},
      {"en_US", "", ""},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(AfxSetLocaleOverrideByName(c.locale));
    EXPECT_EQ(CQsEdit::FilterText(c.in), CString(c.out)) << c.locale << " " << c.in;
  }
  // "1,000" typed in a decimal-point locale keeps no comma: it reads as a thousand.
  edit.SetWindowText("");
  for (const char* k : {"1", ",", "0", "0", "0"}) AfxTestKeyStroke(k[0] == ',' ? VK_OEM_COMMA : (UINT)k[0], 0, k);
  EXPECT_EQ(Text(), CString("1000"));
  double v = 0;
  ASSERT_TRUE(edit.GetValue(v));
  EXPECT_DOUBLE_EQ(v, 1000.0);
}

// ---- Flat splitter -----------------------------------------------------------------

class FlatSplitter : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    ASSERT_TRUE(host.CreateEx(0, nullptr, "host", WS_POPUP | WS_VISIBLE, 100, 100, 400, 200, nullptr, nullptr));
    ASSERT_TRUE(split.CreateStatic(&host, 1, 2));
    ASSERT_TRUE(left.CreateEx(0, nullptr, nullptr, WS_CHILD, CRect(0, 0, 1, 1), &host, 1));
    ASSERT_TRUE(right.CreateEx(0, nullptr, nullptr, WS_CHILD, CRect(0, 0, 1, 1), &host, 2));
    ASSERT_TRUE(split.CreateView(0, 0, &left, CSize(200, 50)));
    ASSERT_TRUE(split.CreateView(0, 1, &right, CSize(50, 50)));
  }
  void TearDown() override {
    host.DestroyWindow();
    AfxTestWait(5);
  }
  int Column0() {
    int cur = 0, min = 0;
    split.GetColumnInfo(0, cur, min);
    return cur;
  }
  void Drag(int fromX, int toX) {
    POINT a{fromX, 100}, b{toX, 100};
    split.ClientToScreen(&a);
    split.ClientToScreen(&b);
    AfxTestMouse(WM_MOUSEMOVE, a);
    AfxTestMouse(WM_LBUTTONDOWN, a);
    AfxTestMouse(WM_MOUSEMOVE, b);
    AfxTestMouse(WM_LBUTTONUP, b);
  }
  int BarX() { return RectIn(left, split).right + 2 + 2; }  // past the pane's border, on the bar
  CWnd host, left, right;
  CFlatSplitter split;
};

TEST_F(FlatSplitter, DrawsFlatInTheBackColourAndDragsWhenUnlocked) {
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(host.m_hWnd, &pic));
  pic.SavePng("flat_splitter.png");
  EXPECT_EQ(pic.GetPixel(BarX(), 100), ViewThemeBackColour());
  EXPECT_EQ(pic.GetPixel(1, 100), ViewThemeBackColour());  // a pane border
  Drag(BarX(), BarX() - 50);
  EXPECT_EQ(Column0(), 150);
}

TEST_F(FlatSplitter, ALockedSplitterIgnoresTheMouseAndShowsTheArrowOverItsBar) {
  int bar = BarX();
  AfxTestMoveTo(split.m_hWnd, bar, 100);
  EXPECT_EQ(::GetCursor(), ::LoadCursor(nullptr, IDC_SIZEWE));
  split.m_bLocked = 1;
  AfxTestMoveTo(split.m_hWnd, bar + 1, 100);
  EXPECT_EQ(::GetCursor(), ::LoadCursor(nullptr, IDC_ARROW));
  Drag(bar, bar - 80);
  EXPECT_FALSE(split.IsTracking());
  EXPECT_EQ(Column0(), 200);
  split.m_bLocked = 0;
  Drag(bar, bar - 80);
  EXPECT_EQ(Column0(), 120);
}

TEST_F(FlatSplitter, TheTidalLogLayoutHidesTheLeftColumnBehindAOnePixelBarAndComesBack) {
  int widthBefore = RectIn(right, split).Width();
  // What the right pane does for the tidal-log page.
  left.ShowWindow(SW_HIDE);
  split.SetThinBar();
  split.SetThinBar();  // twice: the wide bar is still what comes back
  split.SetColumnInfo(0, 0, 0);
  split.RecalcLayout();
  split.m_bLocked = 1;
  CRect r = RectIn(right, split);
  EXPECT_EQ(r.left, 1 + 2);  // the one-pixel bar, then the pane's border
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(host.m_hWnd, &pic));
  pic.SavePng("flat_splitter_thin_locked.png");
  Drag(1, 150);
  EXPECT_EQ(Column0(), 0);
  // And back.
  left.ShowWindow(SW_SHOW);
  split.RestoreBar();
  split.SetColumnInfo(0, 200, 0);
  split.RecalcLayout();
  split.m_bLocked = 0;
  EXPECT_EQ(Column0(), 200);
  EXPECT_EQ(RectIn(right, split).Width(), widthBefore);
}

// ---- Transparent label ---------------------------------------------------------------

// A parent with a top-to-bottom two-colour band background, as the aground panel's gradient.
class CBandedParent : public CWnd {
 public:
  void OnPaint() {
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    for (int y = 0; y < rc.bottom; ++y) dc.FillSolidRect(0, y, rc.right, 1, RGB(200, 220 - y / 2, 255));
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CBandedParent, CWnd)
  ON_WM_PAINT()
END_MESSAGE_MAP()

TEST(TransparentStatic, DrawsItsTextOverTheParentsBackground) {
  AfxWinInit(0, nullptr);
  CBandedParent parent;
  ASSERT_TRUE(parent.CreateEx(0, nullptr, "panel", WS_POPUP | WS_VISIBLE, 80, 80, 300, 100, nullptr, nullptr));
  CTransparentStatic label;
  ASSERT_TRUE(label.Create("Depth of Water(m):", WS_CHILD | WS_VISIBLE, CRect(12, 40, 200, 60), &parent));
  EXPECT_TRUE(label.GetExStyle() & WS_EX_TRANSPARENT);
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(parent.m_hWnd, &pic));
  pic.SavePng("transparent_label.png");
  // Right of the text and between letters the parent's bands show, at their own heights.
  EXPECT_EQ(pic.GetPixel(190, 42), RGB(200, 220 - 42 / 2, 255));
  EXPECT_EQ(pic.GetPixel(190, 57), RGB(200, 220 - 57 / 2, 255));
  EXPECT_GT(DarkPixels(pic, CRect(12, 40, 120, 60)), 20);

  // A new text: the old letters go, the background is back where they were.
  label.SetWindowText("1");
  ASSERT_TRUE(AfxCaptureWindow(parent.m_hWnd, &pic));
  EXPECT_EQ(DarkPixels(pic, CRect(30, 40, 200, 60)), 0);
  EXPECT_GT(DarkPixels(pic, CRect(12, 40, 30, 60)), 0);
  EXPECT_EQ(pic.GetPixel(100, 50), RGB(200, 220 - 50 / 2, 255));
  parent.DestroyWindow();
  AfxTestWait(5);
}

TEST(TransparentStatic, StaticStylesBecomeDrawTextFlags) {
  struct {
    DWORD style;
    UINT flags;
  } cases[] = {
      {SS_LEFT, DT_LEFT | DT_WORDBREAK},
      {SS_CENTER, DT_CENTER | DT_WORDBREAK},
      {SS_RIGHT, DT_RIGHT | DT_WORDBREAK},
      {SS_LEFT | SS_CENTERIMAGE, DT_LEFT | DT_VCENTER | DT_SINGLELINE},
      {SS_CENTER | SS_NOPREFIX, DT_CENTER | DT_NOPREFIX | DT_WORDBREAK},
      {SS_LEFT | SS_ENDELLIPSIS, DT_LEFT | DT_END_ELLIPSIS | DT_WORD_ELLIPSIS},
      {SS_LEFT | SS_PATHELLIPSIS, DT_LEFT | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS},
      {SS_LEFTNOWORDWRAP, DT_LEFT},
  };
  for (const auto& c : cases) EXPECT_EQ(CTransparentStatic::DrawTextFlags(c.style), c.flags) << std::hex << c.style;
}

}  // namespace
