// The colour and date popups: picking with the mouse, clicks outside, months stepped within
// the angle/factor table's range, and owners that delete a popup from its own notification.
#include "model/AngleFactorDB.h"
#include "platform/testing/UiTest.h"
#include "views/ColourPopup.h"
#include "views/DatePopup.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class CNotify : public CWnd {
 public:
  std::vector<WPARAM> colours, dates;
  COLORREF seen = CLR_INVALID;
  std::unique_ptr<CColourPopup>* owned = nullptr;  // deleted from inside the notification when set
  CColourPopup* popup = nullptr;
  LRESULT OnColour(WPARAM w, LPARAM) {
    colours.push_back(w);
    if (popup) seen = popup->GetColour();
    if (owned) owned->reset();
    return 0;
  }
  LRESULT OnDate(WPARAM w, LPARAM) {
    dates.push_back(w);
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CNotify, CWnd)
  ON_MESSAGE(WM_COLOUR_PICKED, OnColour)
  ON_MESSAGE(WM_DATEPOPUP_PICKED, OnDate)
END_MESSAGE_MAP()

void Click(POINT origin, int x, int y) {
  POINT p{origin.x + x, origin.y + y};
  AfxTestMouse(WM_MOUSEMOVE, p);
  AfxTestMouse(WM_LBUTTONDOWN, p);
  AfxTestMouse(WM_LBUTTONUP, p);
  AfxTestWait(10);
}

class Popups : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    ASSERT_TRUE(notify.CreateEx(0, nullptr, "page", WS_POPUP | WS_VISIBLE, 10, 10, 300, 300, nullptr, nullptr));
  }
  void TearDown() override {
    notify.DestroyWindow();
    AfxTestWait(5);
  }
  CNotify notify;
  const POINT at{100, 80};
};

TEST_F(Popups, AColourCellPickedWithTheMouseIsSentToTheOwnerAndThePopupCloses) {
  CColourPopup popup;
  notify.popup = &popup;
  ASSERT_TRUE(popup.Create(&notify, at.x, at.y, 3));
  AfxTestWait(10);
  Click(at, 5 + 18 * 2 + 9, 5 + 18 * 1 + 9);  // row 2, column 3
  ASSERT_EQ(std::vector<WPARAM>{3}, notify.colours);
  EXPECT_EQ(g_colourTable[10], notify.seen);
  EXPECT_EQ(0x008B8Bu, popup.GetColour());
  AfxTestWait(5000, [&] { return popup.GetSafeHwnd() == nullptr; });
  EXPECT_EQ(nullptr, popup.GetSafeHwnd());
}

TEST_F(Popups, APressOnOneCellAndAReleaseOnAnotherPicksNothingAndAClickOutsideCloses) {
  CColourPopup popup;
  ASSERT_TRUE(popup.Create(&notify, at.x, at.y));
  AfxTestWait(10);
  POINT a{at.x + 14, at.y + 14}, b{at.x + 14 + 36, at.y + 14};
  AfxTestMouse(WM_MOUSEMOVE, a);
  AfxTestMouse(WM_LBUTTONDOWN, a);
  AfxTestMouse(WM_MOUSEMOVE, b);
  AfxTestMouse(WM_LBUTTONUP, b);
  AfxTestWait(10);
  EXPECT_TRUE(notify.colours.empty());
  EXPECT_TRUE(popup.IsOpen());
  CBitmap shot;
  ASSERT_TRUE(AfxCaptureWindow(popup.GetSafeHwnd(), &shot));
  shot.SavePng("colour_popup.png");
  EXPECT_EQ(g_colourTable[0], shot.GetPixel(14, 14));
  EXPECT_EQ(g_colourTable[39], shot.GetPixel(5 + 18 * 7 + 9, 5 + 18 * 4 + 9));
  Click(at, -30, 40);  // left of the popup
  EXPECT_TRUE(notify.colours.empty());
  AfxTestWait(5000, [&] { return popup.GetSafeHwnd() == nullptr; });
  EXPECT_EQ(nullptr, popup.GetSafeHwnd());
  // "More..." opens the colour dialog on black; cancelled, the popup closes without a message.
  COLORREF asked = CLR_INVALID;
  AfxSetColorDialogHook([&](const AFX_COLORDLG_REQUEST& r) {
    asked = r.initial;
    return AFX_COLORDLG_ANSWER{IDCANCEL, RGB(1, 2, 3)};
  });
  ASSERT_TRUE(popup.Create(&notify, at.x, at.y));
  AfxTestWait(10);
  Click(at, 77, 113);
  AfxTestWait(5000, [&] { return popup.GetSafeHwnd() == nullptr; });
  EXPECT_EQ(RGB(0, 0, 0), asked);
  EXPECT_TRUE(notify.colours.empty());
  EXPECT_EQ(nullptr, popup.GetSafeHwnd());
  AfxSetColorDialogHook(nullptr);
}

TEST_F(Popups, MoreOpensTheColourDialogAndItsColourIsPicked) {
  AfxSetColorDialogHook([](const AFX_COLORDLG_REQUEST&) { return AFX_COLORDLG_ANSWER{IDOK, RGB(12, 34, 56)}; });
  CColourPopup popup;
  notify.popup = &popup;
  ASSERT_TRUE(popup.Create(&notify, at.x, at.y, 5));
  AfxTestWait(10);
  Click(at, 77, 113);
  AfxSetColorDialogHook(nullptr);
  ASSERT_EQ(std::vector<WPARAM>{5}, notify.colours);
  EXPECT_EQ(RGB(12, 34, 56), notify.seen);
  AfxTestWait(5000, [&] { return popup.GetSafeHwnd() == nullptr; });
  EXPECT_EQ(nullptr, popup.GetSafeHwnd());
  EXPECT_EQ(nullptr, ::GetCapture());
}

TEST_F(Popups, TheCellUnderTheMouseIsRaisedAndThePressedOneSunkenWhileTheMouseIsOverIt) {
  CColourPopup popup;
  ASSERT_TRUE(popup.Create(&notify, at.x, at.y));
  AfxTestWait(10);
  const COLORREF face = GetSysColor(COLOR_BTNFACE), light = GetSysColor(COLOR_BTNHIGHLIGHT),
                 shadow = GetSysColor(COLOR_BTNSHADOW);
  CBitmap shot;
  auto corner = [&](int cell) {  // top-left pixel of a cell's edge
    AfxCaptureWindow(popup.GetSafeHwnd(), &shot);
    return shot.GetPixel(5 + 18 * (cell % 8), 5 + 18 * (cell / 8));
  };
  AfxTestMouse(WM_MOUSEMOVE, POINT{at.x + 14, at.y + 14});
  AfxTestWait(5);
  EXPECT_EQ(light, corner(0));  // hovered: raised
  EXPECT_EQ(face, corner(1));
  AfxTestMouse(WM_MOUSEMOVE, POINT{at.x + 14 + 18, at.y + 14});
  AfxTestWait(5);
  EXPECT_EQ(face, corner(0));
  EXPECT_EQ(light, corner(1));
  AfxTestMouse(WM_LBUTTONDOWN, POINT{at.x + 14 + 18, at.y + 14});
  AfxTestWait(5);
  EXPECT_EQ(shadow, corner(1));  // pressed: sunken
  AfxTestMouse(WM_MOUSEMOVE, POINT{at.x + 14 + 36, at.y + 14});
  AfxTestWait(5);
  EXPECT_EQ(face, corner(1));  // off it: flat, and the cell now under the mouse stays flat too
  EXPECT_EQ(face, corner(2));
  AfxTestMouse(WM_MOUSEMOVE, POINT{at.x + 14 + 18, at.y + 14});
  AfxTestWait(5);
  EXPECT_EQ(shadow, corner(1));  // back over it: sunken again
  popup.DestroyWindow();
}

TEST_F(Popups, AnOwnerMayDeleteThePopupFromInsideItsNotification) {
  auto popup = std::make_unique<CColourPopup>();
  notify.owned = &popup;
  ASSERT_TRUE(popup->Create(&notify, at.x, at.y));
  AfxTestWait(10);
  Click(at, 14, 14);
  AfxTestWait(20);
  EXPECT_EQ(1u, notify.colours.size());
  EXPECT_EQ(nullptr, popup.get());
}

TEST_F(Popups, TheDatePopupStepsMonthsOnlyWithinTheTablesRangeAndPicksADay) {
  CAngleFactorDB table;
  ASSERT_GT(table.Load(), 0);
  CQsDateTime first, last;
  ASSERT_TRUE(table.GetFirstDate(first));
  ASSERT_TRUE(table.GetLastDate(last));
  last.PrevDay();
  CDatePopup popup;
  ASSERT_TRUE(popup.SetRange(table));
  popup.SetDate(15, first.GetMonth(), first.GetYear());
  ASSERT_TRUE(popup.Create(&notify, at.x, at.y));
  AfxTestWait(10);
  Click(at, 15, 13);  // previous: already the first month
  EXPECT_EQ(first.GetMonth(), popup.GetMonth());
  EXPECT_EQ(first.GetYear(), popup.GetYear());
  Click(at, 139, 13);  // next
  CQsDateTime second(first.GetYear(), first.GetMonth(), 1, 0, 0, 0);
  for (int i = 0; i < 32; ++i) second.NextDay();
  EXPECT_EQ(second.GetMonth(), popup.GetMonth());
  popup.SetDate(10, last.GetMonth(), last.GetYear());
  Click(at, 139, 13);
  Click(at, 139, 13);
  EXPECT_EQ(last.GetMonth(), popup.GetMonth());
  EXPECT_EQ(last.GetYear(), popup.GetYear());
  CBitmap shot;
  ASSERT_TRUE(AfxCaptureWindow(popup.GetSafeHwnd(), &shot));
  shot.SavePng("date_popup_last_month.png");
  Click(at, 139, 13);
  // Pick the 20th of the shown month.
  int cell = -1;
  for (int i = 0; i < 42; ++i)
    if (popup.GetCellDay(i) == 20) cell = i;
  ASSERT_GE(cell, 0);
  Click(at, 5 + 20 * (cell % 7) + 10, 50 + 20 * (cell / 7) + 10);
  EXPECT_EQ(1u, notify.dates.size());
  EXPECT_EQ(20, popup.GetDay());
  EXPECT_EQ(last.GetMonth(), popup.GetMonth());
  AfxTestWait(5000, [&] { return popup.GetSafeHwnd() == nullptr; });
  EXPECT_EQ(nullptr, popup.GetSafeHwnd());
}

TEST_F(Popups, WithoutATableTheEarliestMonthIsJanuary2009) {
  CDatePopup popup;
  popup.SetDate(1, 2, 2009);
  ASSERT_TRUE(popup.Create(&notify, at.x, at.y));
  AfxTestWait(10);
  Click(at, 15, 13);
  Click(at, 15, 13);
  EXPECT_EQ(1, popup.GetMonth());
  EXPECT_EQ(2009, popup.GetYear());
  // 1 January 2009 was a Thursday: the fifth column of the first row.
  EXPECT_EQ(1, popup.GetCellDay(4));
  EXPECT_EQ(0, popup.GetCellDay(3));
  popup.DestroyWindow();
}

TEST_F(Popups, ThePickedDayIsMarkedOnlyInItsOwnMonth) {
  CDatePopup popup;
  popup.SetDate(1, 1, 2009);  // a Thursday: column 4, row 0
  ASSERT_TRUE(popup.Create(&notify, at.x, at.y));
  AfxTestWait(10);
  const COLORREF mark = GetSysColor(COLOR_HIGHLIGHT);
  CBitmap shot;
  ASSERT_TRUE(AfxCaptureWindow(popup.GetSafeHwnd(), &shot));
  EXPECT_EQ(mark, shot.GetPixel(5 + 20 * 4 + 3, 50 + 3));
  EXPECT_NE(mark, shot.GetPixel(5 + 20 * 5 + 3, 50 + 3));  // the 2nd is not marked
  Click(at, 139, 13);                                      // February: the 1st is a Sunday, nothing marked
  ASSERT_EQ(2, popup.GetMonth());
  ASSERT_TRUE(AfxCaptureWindow(popup.GetSafeHwnd(), &shot));
  for (int c = 0; c < 7; ++c) EXPECT_NE(mark, shot.GetPixel(5 + 20 * c + 3, 50 + 3)) << c;
  popup.DestroyWindow();
}

}  // namespace
