// The tide-times panel: entries, units, the sixth entry, clearing and the disabled look.
#include "platform/testing/UiTest.h"
#include "views/TideTimesWnd.h"
#include "views/ViewColours.h"

#include <gtest/gtest.h>

namespace {

// Dark text pixels in rows y0..y1 of the picture.
int TextPixels(const CBitmap& b, int x0, int x1, int y0, int y1, COLORREF text) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += b.GetPixel(x, y) == text;
  return n;
}

void Render(CTideTimesWnd& t, CBitmap& out, BOOL enabled = TRUE) {
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  out.DeleteObject();
  out.CreateCompatibleBitmap(nullptr, 180, 110);
  CBitmap* old = dc.SelectObject(&out);
  t.Draw(&dc, CRect(0, 0, 180, 110), enabled);
  dc.SelectObject(old);
}

TEST(TideTimes, EntriesReadInTheChosenUnitsAndASixthIsIgnored) {
  AfxWinInit(0, nullptr);
  CTideTimesWnd t;
  const int minutes[] = {47, 418, 745, 1163, 1300, 1400};
  for (int i = 0; i < 6; ++i) t.AddTime(minutes[i], i == 1 ? 4.0 : 1.25 + i);
  EXPECT_EQ(5, t.GetCount());
  EXPECT_STREQ("00:47", t.GetTimeText(0).GetString());
  EXPECT_STREQ("06:58", t.GetTimeText(1).GetString());
  EXPECT_STREQ("4.0m", t.GetHeightText(1).GetString());
  t.SetUnits(1);
  EXPECT_STREQ("13.1ft", t.GetHeightText(1).GetString());
  EXPECT_TRUE(t.GetTimeText(5).IsEmpty());
  CBitmap pic;
  Render(t, pic);
  pic.SavePng("tidetimes_five.png");
  const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
  for (int i = 0; i < 4; ++i) {
    EXPECT_GT(TextPixels(pic, 5, 85, 23 + 20 * i, 37 + 20 * i, text), 10) << "time " << i;
    EXPECT_GT(TextPixels(pic, 95, 175, 23 + 20 * i, 37 + 20 * i, text), 10) << "height " << i;
  }
  EXPECT_EQ(ViewThemeBackColour(), pic.GetPixel(150, 10));    // header band
  EXPECT_EQ(ViewThemeBorderColour(), pic.GetPixel(179, 60));  // outline
}

TEST(TideTimes, AClearedPanelShowsOnlyItsHeaderAndGridAndADisabledOneIsGrey) {
  AfxWinInit(0, nullptr);
  CTideTimesWnd t;
  t.AddTime(600, 3.3);
  t.Clear();
  EXPECT_EQ(0, t.GetCount());
  EXPECT_FALSE(t.HasData());
  CBitmap pic;
  Render(t, pic);
  const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
  EXPECT_EQ(0, TextPixels(pic, 2, 178, 22, 108, text));
  EXPECT_GT(TextPixels(pic, 2, 178, 2, 19, text), 10);     // "Time" and "Height"
  EXPECT_EQ(ViewThemeBackColour(), pic.GetPixel(40, 40));  // a row line
  t.AddTime(600, 3.3);
  Render(t, pic, FALSE);
  EXPECT_EQ(ViewThemeBackColour(), pic.GetPixel(40, 50));
  EXPECT_GT(TextPixels(pic, 5, 85, 23, 37, GetSysColor(COLOR_GRAYTEXT)), 10);
  EXPECT_EQ(0, TextPixels(pic, 5, 85, 23, 37, text));
}

TEST(TideTimes, AsAWindowItPaintsWhatTheFrameAdds) {
  AfxWinInit(0, nullptr);
  CWnd parent;
  ASSERT_TRUE(parent.CreateEx(0, nullptr, "pane", WS_POPUP | WS_VISIBLE, 10, 10, 200, 130, nullptr, nullptr));
  CTideTimesWnd t;
  ASSERT_TRUE(t.Create(&parent, CRect(10, 10, 190, 120)));
  EXPECT_EQ(105, t.GetDlgCtrlID());
  t.AddTime(125, 5.5);
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(t.GetSafeHwnd(), &pic));
  EXPECT_GT(TextPixels(pic, 5, 85, 23, 37, GetSysColor(COLOR_WINDOWTEXT)), 10);
  t.DestroyWindow();
  parent.DestroyWindow();
}

}  // namespace
