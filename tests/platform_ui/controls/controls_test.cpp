// Edit, button and static controls driven through real Qt input events: a filtering edit,
// notifications when the program sets the text, limits, read-only, selection, check boxes,
// radio groups, owner-drawn buttons, and the controls rendered to a picture.
#include "platform/ui/Controls.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/AfxWin.h"

#include "tests/platform_ui/TestDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

// The parent: records control notifications and owner-draw requests.
class CHost : public CWnd {
 public:
  std::vector<std::pair<UINT, UINT>> commands;  // (id, code)
  std::vector<UINT> drawStates;
  DRAWITEMSTRUCT lastDraw{};
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    if (lParam) commands.push_back({LOWORD(wParam), HIWORD(wParam)});
    return CWnd::OnCommand(wParam, lParam);
  }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_DRAWITEM) {
      auto* dis = (DRAWITEMSTRUCT*)lParam;
      drawStates.push_back(dis->itemState);
      lastDraw = *dis;
      CDC* dc = CDC::FromHandle(dis->hDC);
      dc->FillSolidRect(&dis->rcItem, (dis->itemState & ODS_SELECTED) ? RGB(0, 0, 255) : RGB(255, 0, 0));
      return TRUE;
    }
    return CWnd::WindowProc(message, wParam, lParam);
  }
  int count(UINT id, UINT code) const {
    int n = 0;
    for (auto& c : commands) n += c.first == id && c.second == code;
    return n;
  }
};

// A height field: digits, one decimal point, and nothing else, as the views filter input.
class CHeightEdit : public CEdit {
  DECLARE_MESSAGE_MAP()
 public:
  void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags) {
    CString t;
    GetWindowText(t);
    bool digit = nChar >= '0' && nChar <= '9';
    bool point = nChar == '.' && t.Find('.') < 0;
    if (digit || point || nChar == VK_BACK) CEdit::OnChar(nChar, nRepCnt, nFlags);
  }
};
BEGIN_MESSAGE_MAP(CHeightEdit, CEdit)
  ON_WM_CHAR()
END_MESSAGE_MAP()

class Controls : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, nullptr, (HBRUSH)(COLOR_3DFACE + 1));
    ASSERT_TRUE(host.CreateEx(0, cls, "host", WS_POPUP | WS_VISIBLE, 100, 100, 320, 240, nullptr, nullptr));
  }
  void TearDown() override { host.DestroyWindow(); }
  void type(const char* text) {
    for (const char* p = text; *p; ++p) {
      char s[2] = {*p, 0};
      UINT vk = (*p >= 'a' && *p <= 'z')   ? (UINT)(*p - 'a' + 'A')
                : (*p >= '0' && *p <= '9') ? (UINT)*p
                : *p == '.'                ? VK_OEM_PERIOD
                                           : 0;
      AfxTestKeyStroke(vk, 0, s);
    }
  }
  CString text(CWnd& w) {
    CString t;
    w.GetWindowText(t);
    return t;
  }
  CHost host;
};

TEST_F(Controls, TypingGoesThroughTheFilterAndNotifiesEachChange) {
  CHeightEdit edit;
  ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, CRect(10, 10, 150, 32), &host, 1036));
  edit.SetFocus();
  type("1a2.5.x");
  EXPECT_STREQ(text(edit), "12.5");
  EXPECT_EQ(host.count(1036, EN_CHANGE), 4);
  EXPECT_EQ(host.count(1036, EN_UPDATE), 4);
  AfxTestKeyStroke(VK_BACK, 0, "\b");
  EXPECT_STREQ(text(edit), "12.");
  // Selection with the keyboard, then typing replaces it.
  AfxTestKeyStroke(VK_HOME);
  AfxTestKey(VK_SHIFT, TRUE, AFX_TEST_SHIFT);
  AfxTestKeyStroke(VK_RIGHT, AFX_TEST_SHIFT);
  AfxTestKeyStroke(VK_RIGHT, AFX_TEST_SHIFT);
  AfxTestKey(VK_SHIFT, FALSE);
  int a = -1, b = -1;
  edit.GetSel(a, b);
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 2);
  type("7");
  EXPECT_STREQ(text(edit), "7.");
  EXPECT_TRUE(edit.GetModify());
}

TEST_F(Controls, ProgramSetTextNotifiesAndResetsState) {
  CEdit edit;
  ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 150, 32), &host, 7));
  edit.SetWindowText("350");
  EXPECT_EQ(host.count(7, EN_UPDATE), 1);
  EXPECT_EQ(host.count(7, EN_CHANGE), 1);
  EXPECT_FALSE(edit.GetModify());
  EXPECT_EQ(edit.GetWindowTextLength(), 3);
  edit.SetSel(0, -1);
  edit.ReplaceSel("200");
  EXPECT_STREQ(text(edit), "200");
  EXPECT_EQ(host.count(7, EN_CHANGE), 2);
  edit.SetSel(1, 2);
  EXPECT_EQ(edit.GetSel(), (DWORD)MAKELONG(1, 2));
}

TEST_F(Controls, LimitReadOnlyNumberAndCase) {
  CEdit edit;
  ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | ES_NUMBER, CRect(10, 10, 150, 32), &host, 8));
  edit.SetLimitText(3);
  edit.SetFocus();
  type("12a345");
  EXPECT_STREQ(text(edit), "123");
  EXPECT_GE(host.count(8, EN_MAXTEXT), 1);
  edit.SetReadOnly(TRUE);
  EXPECT_TRUE(edit.GetStyle() & ES_READONLY);
  AfxTestKeyStroke(VK_BACK, 0, "\b");
  type("9");
  EXPECT_STREQ(text(edit), "123");
  // The program itself is not held to the limit.
  edit.SetWindowText("123456");
  EXPECT_STREQ(text(edit), "123456");

  CEdit upper;
  ASSERT_TRUE(upper.Create(WS_CHILD | WS_VISIBLE | ES_UPPERCASE, CRect(10, 40, 150, 62), &host, 9));
  upper.SetFocus();
  type("abc");
  EXPECT_STREQ(text(upper), "ABC");
}

TEST_F(Controls, MultiLineEditKeepsLines) {
  CEdit edit;
  ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_WANTRETURN, CRect(10, 10, 200, 100), &host, 10));
  edit.SetFocus();
  type("ab");
  AfxTestKeyStroke(VK_RETURN, 0, "\r");
  type("cde");
  EXPECT_STREQ(text(edit), "ab\r\ncde");
  EXPECT_EQ(edit.GetLineCount(), 2);
  EXPECT_EQ(edit.LineIndex(1), 4);
  EXPECT_EQ(edit.LineLength(4), 3);
  char buf[16] = {};
  int n = edit.GetLine(1, buf, 15);
  EXPECT_EQ(std::string(buf, (size_t)n), "cde");
  AfxTestKeyStroke(VK_UP);
  int a, b;
  edit.GetSel(a, b);
  EXPECT_EQ(b, 2);  // same column on the first line, clamped to its length
}

TEST_F(Controls, CheckBoxesAndRadioGroupsByMouseAndKeyboard) {
  CButton check, r1, r2, r3, other;
  ASSERT_TRUE(check.Create("Show moons", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX | WS_TABSTOP, CRect(10, 10, 150, 28),
                           &host, 20));
  ASSERT_TRUE(
      r1.Create("Metres", WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON | WS_GROUP, CRect(10, 40, 150, 58), &host, 21));
  ASSERT_TRUE(r2.Create("Feet", WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON, CRect(10, 60, 150, 78), &host, 22));
  ASSERT_TRUE(r3.Create("Fathoms", WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON, CRect(10, 80, 150, 98), &host, 23));
  ASSERT_TRUE(other.Create("Other group", WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON | WS_GROUP,
                           CRect(10, 100, 150, 118), &host, 24));
  AfxTestClick(check.m_hWnd, 5, 9);
  EXPECT_EQ(check.GetCheck(), BST_CHECKED);
  EXPECT_EQ(host.count(20, BN_CLICKED), 1);
  check.SetFocus();
  AfxTestKeyStroke(VK_SPACE, 0, " ");
  EXPECT_EQ(check.GetCheck(), BST_UNCHECKED);
  EXPECT_EQ(host.count(20, BN_CLICKED), 2);

  other.SetCheck(BST_CHECKED);
  AfxTestClick(r1.m_hWnd, 5, 9);
  AfxTestClick(r3.m_hWnd, 5, 9);
  EXPECT_EQ(r1.GetCheck(), BST_UNCHECKED);
  EXPECT_EQ(r2.GetCheck(), BST_UNCHECKED);
  EXPECT_EQ(r3.GetCheck(), BST_CHECKED);
  EXPECT_EQ(other.GetCheck(), BST_CHECKED);  // another group is left alone
  EXPECT_EQ(host.count(23, BN_CLICKED), 1);

  // A press that leaves the button before the release is no click.
  CButton push;
  ASSERT_TRUE(push.Create("OK", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, CRect(200, 10, 280, 34), &host, IDOK));
  POINT in{5, 5}, out{200, 5};
  push.ClientToScreen(&in);
  push.ClientToScreen(&out);
  AfxTestMouse(WM_MOUSEMOVE, in);
  AfxTestMouse(WM_LBUTTONDOWN, in);
  EXPECT_TRUE(push.GetState() & BST_PUSHED);
  AfxTestMouse(WM_MOUSEMOVE, out);
  EXPECT_FALSE(push.GetState() & BST_PUSHED);
  AfxTestMouse(WM_LBUTTONUP, out);
  EXPECT_EQ(host.count(IDOK, BN_CLICKED), 0);
  AfxTestClick(push.m_hWnd, 5, 5);
  EXPECT_EQ(host.count(IDOK, BN_CLICKED), 1);
  EXPECT_EQ(push.SendMessage(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON, (LRESULT)DLGC_DEFPUSHBUTTON);
}

TEST_F(Controls, OwnerDrawnButtonGetsDrawItemWithItsStates) {
  CButton od;
  ASSERT_TRUE(od.Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(10, 10, 60, 40), &host, 30));
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(host.m_hWnd, &pic));
  EXPECT_EQ(pic.GetPixel(30, 25), RGB(255, 0, 0));
  POINT in{5, 5};
  od.ClientToScreen(&in);
  AfxTestMouse(WM_MOUSEMOVE, in);
  AfxTestMouse(WM_LBUTTONDOWN, in);
  ASSERT_TRUE(AfxCaptureWindow(host.m_hWnd, &pic));
  EXPECT_EQ(pic.GetPixel(30, 25), RGB(0, 0, 255));
  ASSERT_FALSE(host.drawStates.empty());
  EXPECT_TRUE(host.drawStates.back() & ODS_SELECTED);
  EXPECT_TRUE(host.drawStates.back() & ODS_FOCUS);
  AfxTestMouse(WM_LBUTTONUP, in);
  EXPECT_EQ(host.count(30, BN_CLICKED), 1);
  od.EnableWindow(FALSE);
  ASSERT_TRUE(AfxCaptureWindow(host.m_hWnd, &pic));
  EXPECT_TRUE(host.drawStates.back() & ODS_DISABLED);
  // What the parent is told about the button it draws.
  EXPECT_EQ(host.lastDraw.CtlType, (UINT)ODT_BUTTON);
  EXPECT_EQ(host.lastDraw.CtlID, 30u);
  EXPECT_EQ(host.lastDraw.hwndItem, od.m_hWnd);
  EXPECT_EQ(CRect(host.lastDraw.rcItem), CRect(0, 0, 50, 30));
}

TEST_F(Controls, StaticTextAlignmentsAndEtchedLine) {
  CStatic left, right, line;
  ASSERT_TRUE(left.Create("Height:", WS_CHILD | WS_VISIBLE | SS_LEFT, CRect(10, 10, 150, 30), &host));
  ASSERT_TRUE(right.Create("Height:", WS_CHILD | WS_VISIBLE | SS_RIGHT, CRect(10, 40, 150, 60), &host));
  ASSERT_TRUE(line.Create("", WS_CHILD | WS_VISIBLE | SS_ETCHEDHORZ, CRect(10, 70, 150, 72), &host));
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(host.m_hWnd, &pic));
  auto inkColumns = [&](int top, int bottom) {
    int first = -1, last = -1;
    for (int x = 10; x < 150; ++x)
      for (int y = top; y < bottom; ++y)
        if (pic.GetPixel(x, y) != GetSysColor(COLOR_3DFACE)) {
          if (first < 0) first = x;
          last = x;
          break;
        }
    return std::make_pair(first, last);
  };
  auto l = inkColumns(10, 30), r = inkColumns(40, 60);
  ASSERT_GE(l.first, 0);
  ASSERT_GE(r.first, 0);
  EXPECT_LT(l.first, 14);
  EXPECT_GT(r.second, 144);
  EXPECT_EQ(r.second - r.first, l.second - l.first);  // the same text, moved
  EXPECT_EQ(pic.GetPixel(50, 70), GetSysColor(COLOR_3DSHADOW));
  EXPECT_EQ(pic.GetPixel(50, 71), GetSysColor(COLOR_3DHILIGHT));
}

// What a label shows for its styles: the ink box of its text or picture in the host's picture.
TEST_F(Controls, StaticEllipsesPrefixesCentringAndPictures) {
  auto ink = [&](CWnd& w) {
    CBitmap pic;
    EXPECT_TRUE(AfxCaptureWindow(host.m_hWnd, &pic));
    CRect wr;
    w.GetWindowRect(&wr);
    host.ScreenToClient(&wr);
    CRect box(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
    for (int y = wr.top; y < wr.bottom; ++y)
      for (int x = wr.left; x < wr.right; ++x)
        if (pic.GetPixel(x, y) != GetSysColor(COLOR_3DFACE)) {
          box.left = std::min(box.left, (int)(x - wr.left));
          box.top = std::min(box.top, (int)(y - wr.top));
          box.right = std::max(box.right, (int)(x - wr.left + 1));
          box.bottom = std::max(box.bottom, (int)(y - wr.top + 1));
        }
    return box;
  };
  const char* longText = "Harwich and Felixstowe approaches";
  struct Case {
    const char* text;
    DWORD style;
  } cases[] = {{longText, SS_LEFT},  {longText, SS_LEFT | SS_ENDELLIPSIS},
               {"&Height", SS_LEFT}, {"&Height", SS_LEFT | SS_NOPREFIX},
               {"Tide", SS_CENTER},  {"Tide", SS_CENTER | SS_CENTERIMAGE}};
  std::vector<CRect> boxes;
  for (const Case& c : cases) {
    CStatic label;
    ASSERT_TRUE(label.Create(c.text, WS_CHILD | WS_VISIBLE | c.style, CRect(10, 10, 110, 70), &host));
    boxes.push_back(ink(label));
    label.DestroyWindow();
  }
  int line = boxes[5].Height() + 4;                     // one line of text, with room for descenders
  EXPECT_GT(boxes[0].Height(), line);                   // wrapped onto more lines
  EXPECT_LE(boxes[1].Height(), line);                   // one line, cut short with "..."
  EXPECT_GT(boxes[1].right, 85);                        // the dots reach towards the right edge
  EXPECT_GT(boxes[3].Width(), boxes[2].Width());        // the '&' drawn rather than underlining the H
  EXPECT_NEAR(boxes[4].left + boxes[4].right, 100, 3);  // centred across
  EXPECT_LT(boxes[4].top, 4);
  EXPECT_NEAR(boxes[5].top + boxes[5].bottom, 60, 4);  // and down as well

  // A bitmap at the top left, or in the middle with SS_CENTERIMAGE.
  CBitmap bmp;
  {
    CClientDC screen(&host);
    ASSERT_TRUE(bmp.CreateCompatibleBitmap(&screen, 20, 10));
    CDC mem;
    mem.CreateCompatibleDC(&screen);
    CBitmap* old = mem.SelectObject(&bmp);
    mem.FillSolidRect(0, 0, 20, 10, RGB(0, 128, 0));
    mem.SelectObject(old);
  }
  for (DWORD centre : {0ul, (unsigned long)SS_CENTERIMAGE}) {
    CStatic picture;
    ASSERT_TRUE(picture.Create("", WS_CHILD | WS_VISIBLE | SS_BITMAP | centre, CRect(10, 10, 110, 70), &host));
    picture.SetBitmap((HBITMAP)bmp.GetSafeHandle());
    EXPECT_EQ(picture.GetBitmap(), (HBITMAP)bmp.GetSafeHandle());
    CRect b = ink(picture);
    EXPECT_EQ(b, centre ? CRect(40, 25, 60, 35) : CRect(0, 0, 20, 10));
    picture.DestroyWindow();
  }
}

TEST_F(Controls, EveryKindRendersToAPicture) {
  CStatic label;
  CEdit edit;
  CButton ok, check, radio, group;
  group.Create("Compression", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, CRect(5, 5, 310, 120), &host, 99);
  label.Create("Width:", WS_CHILD | WS_VISIBLE, CRect(15, 28, 70, 44), &host);
  edit.CreateEx(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, CRect(75, 25, 180, 47), &host, 1036);
  edit.SetWindowText("350");
  check.Create("Black and white", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, CRect(15, 55, 200, 73), &host, 1);
  check.SetCheck(BST_CHECKED);
  radio.Create("Metres", WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON, CRect(15, 80, 200, 98), &host, 2);
  radio.SetCheck(BST_CHECKED);
  ok.Create("OK", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, CRect(220, 190, 300, 214), &host, IDOK);
  TestDir dir;
  // NEAPWISE_UI_PICTURES=<folder> keeps the picture for a person to look at.
  const char* keep = std::getenv("NEAPWISE_UI_PICTURES");
  std::string png = keep ? std::string(keep) + "/controls.png" : dir.file("controls.png");
  ASSERT_TRUE(AfxSaveWindowPng(host.m_hWnd, png.c_str()));
  EXPECT_GT(ReadAll(png).size(), 1000u);
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(host.m_hWnd, &pic));
  EXPECT_EQ(pic.GetPixel(160, 36), GetSysColor(COLOR_WINDOW));        // inside the edit
  EXPECT_EQ(pic.GetPixel(220, 190), GetSysColor(COLOR_WINDOWFRAME));  // default button frame
}

}  // namespace
