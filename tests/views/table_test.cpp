// The monthly tide table as a user sees it: a real port's month with its moon phases checked in
// pixels, its text and HTML exports against the model's own tides, saving (with the failures a
// user must be told of), printing, the windows too small for a cell, and mouse, keys and wheel.
#include "platform/testing/UiTest.h"
#include "platform/ui/CommonDlg.h"
#include "platform/ui/PrintDC.h"
#include "tests/views/MonthFixture.h"
#include "tests/views/PageRecorder.h"
#include "tests/views/PageTestKit.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

namespace {

using namespace views_test;

const COLORREF kPale = RGB(255, 255, 230), kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255);

int CountDark(const CBitmap& b, const RECT& r) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) {
      COLORREF c = b.GetPixel(x, y);
      n += GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100;
    }
  return n;
}

// A table window on a top-level parent, filled with a real month and holding the focus.
class TableWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    ASSERT_TRUE(pm.Load("Dover", 2025, 6)) << "the embedded tables give no port";
    host.pm = &pm;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "pane", WS_POPUP | WS_VISIBLE, 0, 0, 1000, 760, nullptr, nullptr));
    table.SetHost(&host);
    ASSERT_TRUE(table.Create(&parent, CRect(0, 0, 1000, 760)));
    pm.Push(table);
  }
  void TearDown() override {
    table.DestroyWindow();
    parent.DestroyWindow();
  }
  // Gives the table the focus with a click away from any cell and paints it.
  void Focus() {
    AfxTestClick(table.GetSafeHwnd(), 2, 2);
    AfxTestWait(50);
    CBitmap pic;
    AfxCaptureWindow(table.GetSafeHwnd(), &pic);
  }
  CPoint CentreOf(int day) {
    for (auto& d : table.GetDayRects())
      if (d.day == day) return CPoint((d.rect.left + d.rect.right) / 2, (d.rect.top + d.rect.bottom) / 2);
    return CPoint(-1, -1);
  }
  PortMonth pm;
  MonthHost host;
  COwner parent;
  CTableWnd table;
};

TEST_F(TableWindow, ARealMonthShowsEveryDayWithItsTidesAndTheMoonsPhases) {
  Focus();
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(table.GetSafeHwnd(), &pic));
  pic.SavePng("table_dover_june_2025.png");
  ASSERT_GT(table.GetColumns(), 0);
  ASSERT_GT(table.GetRows(), 0);
  const int shown = std::min(30, table.GetColumns() * table.GetRows());
  ASSERT_EQ((size_t)shown, table.GetDayRects().size());

  // June 2025 (UT): first quarter on the 3rd, full moon on the 11th, last quarter on the
  // 18th, new moon on the 25th.
  CMoonPhases moon(6, 2025);
  moon.Calculate();
  ASSERT_EQ(3, moon.GetFirstQuarter(0).GetDay());
  ASSERT_EQ(11, moon.GetFullMoon(0).GetDay());
  ASSERT_EQ(18, moon.GetLastQuarter(0).GetDay());
  ASSERT_EQ(25, moon.GetNewMoon(0).GetDay());
  for (auto& d : table.GetDayRects()) {
    // Every cell shows its day, weekday and high and low waters.
    EXPECT_GT(CountDark(pic, d.rect), 150) << "day " << d.day;
    const int pale = CountColour(pic, d.rect, kPale);
    switch (d.day) {
      case 11: EXPECT_GT(pale, 20) << "a full moon is a pale disc"; break;
      case 3:
      case 18: EXPECT_GT(pale, 10) << "a quarter is half pale, day " << d.day; break;
      case 25: EXPECT_EQ(0, pale) << "a new moon is a black disc"; break;
      default: EXPECT_EQ(0, pale) << "no moon on day " << d.day; break;
    }
  }
  // The new moon's disc has more black than a full-moon cell holds.
  RECT r25{}, r11{};
  for (auto& d : table.GetDayRects()) {
    if (d.day == 25) r25 = d.rect;
    if (d.day == 11) r11 = d.rect;
  }
  if (r25.right > 0) {
    EXPECT_GT(CountColour(pic, r25, kBlack), CountColour(pic, r11, kBlack) + 20);
  }
  // The first quarter is lit on the right of the disc, the last quarter on the left: the pale
  // part's middle against the middle of the full moon's disc, each from its cell's left edge.
  auto paleMiddle = [&](int day) {
    for (auto& d : table.GetDayRects())
      if (d.day == day) {
        long sum = 0, n = 0;
        for (int y = d.rect.top; y < d.rect.bottom; ++y)
          for (int x = d.rect.left; x < d.rect.right; ++x)
            if (pic.GetPixel(x, y) == kPale) sum += x - d.rect.left, ++n;
        return n ? (double)sum / n : -1.0;
      }
    return -1.0;
  };
  const double full = paleMiddle(11), first = paleMiddle(3), last = paleMiddle(18);
  if (full > 0 && first > 0) {
    EXPECT_GT(first, full + 1);
  }
  if (full > 0 && last > 0) {
    EXPECT_LT(last, full - 1);
  }

  // Hiding the moons removes every disc.
  table.SetShowMoons(0);
  table.Refresh();
  ASSERT_TRUE(AfxCaptureWindow(table.GetSafeHwnd(), &pic));
  for (auto& d : table.GetDayRects()) EXPECT_EQ(0, CountColour(pic, d.rect, kPale)) << d.day;
}

TEST_F(TableWindow, TheTableShowsTheModelsHighAndLowWaters) {
  // Each event of the table is a turning point of the model's curve, with its height.
  for (int d = 1; d <= pm.days; ++d) {
    CPrediction* p = pm.month.GetDay(d);
    int n = 0;
    for (int s = 1; s <= 4; ++s) {
      CString t = table.GetEventTimeText(s, d);
      int hh = 0, mm = 0;
      ASSERT_EQ(2, std::sscanf(t.GetString(), "%d:%d", &hh, &mm));
      TIMEHEIGHT ev[4];
      int count = p->FindHighLow(pm.zone, 0, ev);
      if (s > count) continue;
      ++n;
      const int m = hh * 60 + mm;
      ASSERT_LT(m, 1440);
      const double h = p->HeightAt(m, pm.zone, 0);
      const double before = p->HeightAt(m - 15, pm.zone, 0), after = p->HeightAt(m + 15, pm.zone, 0);
      EXPECT_TRUE((h >= before && h >= after) || (h <= before && h <= after)) << "day " << d << " " << t.GetString();
      CString expect;
      expect.Format("%0.1fm", h);
      EXPECT_STREQ(expect.GetString(), table.GetEventHeightText(s, d).GetString()) << "day " << d;
    }
    EXPECT_GE(n, 3) << "a day at Dover has three or four tides, day " << d;
  }
}

TEST_F(TableWindow, TheTextExportListsEachDayAsTheUserReadsIt) {
  const std::string text = table.BuildText().GetString();
  // Checked by hand against the model's curve for Dover, 1 and 30 June 2025 (UT): each time is
  // where the model's height turns, each height the model's height there.
  const std::string head =
      "Dover, England\r\n\r\n"
      "Sunday, 01 June 2025\r\n\r\n";
  EXPECT_EQ(0u, text.find(head)) << text.substr(0, 200);
  EXPECT_EQ(30, Occurrences(text, " June 2025\r\n\r\n"));
  EXPECT_NE(std::string::npos, text.find("Monday, 30 June 2025\r\n\r\n"));
  // Every event line is "hh:mm<tab>h.hm" and is one of the model's turning points.
  std::istringstream lines(text);
  std::string line;
  int events = 0;
  while (std::getline(lines, line)) {
    int hh, mm;
    double h;
    char unit;
    if (std::sscanf(line.c_str(), "%d:%d\t%lf%c", &hh, &mm, &h, &unit) == 4) {
      EXPECT_EQ('m', unit);
      ++events;
    }
  }
  EXPECT_GE(events, 3 * 30);
  EXPECT_LE(events, 4 * 30);
  table.SetFeet(1);
  table.SetTideEvent(1, 2, 60, 1.0);
  EXPECT_STREQ("3.3ft", table.GetEventHeightText(1, 2).GetString());
  EXPECT_NE(std::string::npos, std::string(table.BuildText().GetString()).find("01:00\t3.3ft\r\n"));
}

TEST_F(TableWindow, TheFirstDaysSectionMatchesTheModel) {
  // Day 1 written out from the model's own heights around each turning point.
  CPrediction* p = pm.month.GetDay(1);
  std::string expect = "Sunday, 01 June 2025\r\n\r\n";
  int found = 0;
  int last = -100;
  for (int m = 1; m < 1440; ++m) {
    double a = p->HeightAt(m - 1, 0, 0), b = p->HeightAt(m, 0, 0), c = p->HeightAt(m + 1, 0, 0);
    if (((b > a && b >= c) || (b < a && b <= c)) && m - last > 60) {
      char buf[32];
      std::snprintf(buf, sizeof buf, "%02d:%02d\t%0.1fm\r\n", m / 60, m % 60, b);
      expect += buf;
      last = m;
      ++found;
    }
  }
  ASSERT_GE(found, 3);
  const std::string text = table.BuildText().GetString();
  size_t at = text.find("Sunday, 01 June 2025");
  ASSERT_NE(std::string::npos, at);
  std::string section = text.substr(at, text.find("Monday, 02 June") - at);
  // The model's turning minute may differ by one from the finder's sampled minute; compare the
  // lines' hours and heights, and minutes within one.
  std::istringstream got(section), want(expect);
  std::string g, w;
  while (std::getline(want, w)) {
    ASSERT_TRUE(std::getline(got, g)) << section;
    int gh, gm, wh, wm;
    double gv, wv;
    if (std::sscanf(w.c_str(), "%d:%d\t%lfm", &wh, &wm, &wv) == 3) {
      ASSERT_EQ(3, std::sscanf(g.c_str(), "%d:%d\t%lfm", &gh, &gm, &gv)) << g;
      EXPECT_NEAR(wh * 60 + wm, gh * 60 + gm, 1) << g << " vs " << w;
      EXPECT_NEAR(wv, gv, 0.051) << g << " vs " << w;
    } else {
      EXPECT_EQ(w, g);
    }
  }
}

TEST_F(TableWindow, TheHtmlExportIsEscapedUtf8InGroupsOfFourDays) {
  table.SetPortName("Dover & <Deal> \xC3\xA9t\xC3\xA9");
  const std::string html = table.BuildHtml().GetString();
  EXPECT_NE(std::string::npos, html.find("charset=utf-8"));
  EXPECT_EQ(std::string::npos, html.find("iso-8859-1"));
  EXPECT_NE(std::string::npos, html.find("<strong>Dover &amp; &lt;Deal&gt; \xC3\xA9t\xC3\xA9 - June 2025</strong>"));
  // 30 days: 8 groups, the last holding days 29 and 30 only.
  EXPECT_EQ(8, Occurrences(html, "<table border=\"0\" cellpadding=\"0\" cellspacing=\"0\">"));
  EXPECT_EQ(30, Occurrences(html, "face=\"Arial\"><strong>") - 1);
  size_t lastGroup = html.rfind("cellspacing=\"0\">");
  std::string tail = html.substr(lastGroup);
  EXPECT_NE(std::string::npos, tail.find("<strong>29</strong>"));
  EXPECT_NE(std::string::npos, tail.find("<strong>30</strong>"));
  EXPECT_EQ(2, Occurrences(tail, "width=\"35\""));
  // The weekday is in the second row of each day, and the first event's time and height are
  // the text export's.
  EXPECT_NE(std::string::npos, html.find("face=\"Arial\">Sun</font>"));
  CString t1 = table.GetEventTimeText(1, 1), h1 = table.GetEventHeightText(1, 1);
  EXPECT_NE(std::string::npos, html.find(std::string("face=\"Arial\">") + t1.GetString() + "</font>"));
  EXPECT_NE(std::string::npos, html.find(std::string("face=\"Arial\">") + h1.GetString() + "</font>"));
  EXPECT_EQ(html.size() - 7, html.rfind("</html>"));
}

TEST_F(TableWindow, SavingChoosesTheFormatByExtensionAndReportsWhatCannotBeWritten) {
  const TempDir temp("table");
  const std::string dir = temp.Path();
  CString error, saved;
  // Upper-case extension: HTML.
  ASSERT_TRUE(table.SaveToFile((dir + "/month.HTM").c_str(), 2, error, &saved)) << error.GetString();
  EXPECT_EQ(0u, ReadFile(dir + "/month.HTM").find("<html>"));
  // No extension: the chosen filter's.
  ASSERT_TRUE(table.SaveToFile((dir + "/plain").c_str(), 2, error, &saved));
  EXPECT_STREQ((dir + "/plain.txt").c_str(), saved.GetString());
  EXPECT_EQ(ReadFile(dir + "/plain.txt"), std::string(table.BuildText().GetString()));
  ASSERT_TRUE(table.SaveToFile((dir + "/page").c_str(), 1, error, &saved));
  EXPECT_EQ(0u, ReadFile(dir + "/page.htm").find("<html>"));
  // Another extension is refused with a message, and nothing is written.
  error.Empty();
  EXPECT_FALSE(table.SaveToFile((dir + "/month.dat").c_str(), 1, error));
  EXPECT_FALSE(error.IsEmpty());
  EXPECT_TRUE(ReadFile(dir + "/month.dat").empty());
  // A folder that can't be written: reported, naming the file.
  std::ofstream(dir + "/blocker") << "x";
  error.Empty();
  const std::string bad = dir + "/blocker/month.htm";
  EXPECT_FALSE(table.SaveToFile(bad.c_str(), 1, error));
  EXPECT_NE(-1, error.Find("blocker/month.htm")) << error.GetString();
  // A failed save leaves the old file as it was.
  std::ofstream(dir + "/keep.txt") << "old";
  ::chmod(dir.c_str(), 0555);
  if (::access((dir + "/x").c_str(), F_OK) != 0 && ::geteuid() != 0) {
    error.Empty();
    EXPECT_FALSE(table.SaveToFile((dir + "/keep.txt").c_str(), 2, error));
    EXPECT_FALSE(error.IsEmpty());
    EXPECT_EQ("old", ReadFile(dir + "/keep.txt"));
  }
  ::chmod(dir.c_str(), 0755);
}

TEST_F(TableWindow, ExportAsksForANameAndTellsTheUserWhenTheFileCannotBeWritten) {
  const TempDir temp("table");
  const std::string dir = temp.Path();
  AFX_FILEDLG_REQUEST asked{};
  std::string answer = dir + "/june";
  int filter = 2;
  AfxSetFileDialogHook([&](const AFX_FILEDLG_REQUEST& r) {
    asked = r;
    return AFX_FILEDLG_ANSWER{IDOK, answer, filter};
  });
  std::vector<std::string> messages;
  AfxSetMessageBoxHook([&](const AFX_MSGBOX_REQUEST& r) {
    messages.push_back(r.text);
    return IDOK;
  });
  table.Export();
  EXPECT_FALSE(asked.bOpen);
  EXPECT_EQ("htm", asked.defExt);
  EXPECT_EQ("Neapwise Table", asked.fileName);
  ASSERT_EQ(2u, asked.filters.size());
  EXPECT_EQ("HTML File (*.htm)", asked.filters[0].first);
  EXPECT_EQ(ReadFile(dir + "/june.txt"), std::string(table.BuildText().GetString()));
  EXPECT_TRUE(messages.empty());
  // A folder that exists but can't be written (the dialog itself turns away missing ones): the
  // user is told, naming the file.
  answer = "/proc/june.htm";
  filter = 1;
  table.Export();
  ASSERT_EQ(1u, messages.size());
  EXPECT_NE(std::string::npos, messages[0].find("/proc/june.htm")) << messages[0];
  // Cancel writes nothing and says nothing.
  AfxSetFileDialogHook([&](const AFX_FILEDLG_REQUEST&) { return AFX_FILEDLG_ANSWER{IDCANCEL, "", 0}; });
  table.Export();
  EXPECT_EQ(1u, messages.size());
  AfxSetFileDialogHook(nullptr);
  AfxSetMessageBoxHook(nullptr);
}

TEST_F(TableWindow, PrintGoesThroughThePrintDialogToOnePage) {
  const TempDir temp("table");
  const std::string path = temp + "/printed.pdf";
  const DWORD flags = PrintToPdf(path, [&] { table.Print(); });
  EXPECT_TRUE(flags & PD_NOPAGENUMS);
  EXPECT_TRUE(flags & PD_HIDEPRINTTOFILE);
  EXPECT_EQ(0u, ReadFile(path).find("%PDF"));
}

TEST_F(TableWindow, PrintingDrawsOnePageWithTheHeadingAndTheDaysThatFit) {
  const TempDir temp("table");
  const std::string path = temp + "/table.pdf";
  CPrintDC dc;
  ASSERT_TRUE(dc.CreatePdf(path.c_str(), 150));
  ASSERT_TRUE(table.PrintTo(&dc));
  EXPECT_EQ(1, dc.GetPageCount());
  EXPECT_GT(ReadFile(path).size(), 1000u);
  // A small page: the heading with the zone caption under it, and the days that fit from day 1.
  table.SetZoneCaption("All Times in GMT (+1:00)");
  PageRecorder pages(520, 400);
  ASSERT_TRUE(table.PrintTo(&pages));
  ASSERT_EQ(1u, pages.pages.size());
  const CBitmap& page = *pages.pages[0];
  page.SavePng("table_printed_page.png");
  // Rows of the page's top that hold text: the title, then the caption below it.
  std::vector<int> inked;
  for (int y = 0; y < 60; ++y)
    if (CountDark(page, RECT{0, y, 520, y + 1}) > 0) inked.push_back(y);
  ASSERT_FALSE(inked.empty());
  int bands = 1;
  for (size_t i = 1; i < inked.size(); ++i) bands += inked[i] > inked[i - 1] + 1;
  EXPECT_GE(bands, 2) << "title and zone caption";
  EXPECT_GT(CountDark(page, RECT{0, 60, 100, 130}), 100) << "day 1 at the top left";
  EXPECT_TRUE(table.IsCalculated());
}

TEST_F(TableWindow, ClicksKeysAndTheWheelSelectAndScrollAndReachTheFrame) {
  parent.MoveWindow(0, 0, 420, 330);
  table.MoveWindow(0, 0, 420, 330);
  Focus();
  const int cols = table.GetColumns(), rows = table.GetRows();
  ASSERT_GT(cols, 0);
  ASSERT_GT(rows, 0);
  ASSERT_LT(cols * rows, 30) << "the window should show only part of the month";
  EXPECT_TRUE(table.IsScrollEnabled());
  EXPECT_EQ((30 - cols * rows + cols - 1) / cols, table.GetScrollMaximum());

  // A click selects the day under the pointer.
  CPoint p = CentreOf(2);
  ASSERT_GE(p.x, 0);
  AfxTestClick(table.GetSafeHwnd(), p.x, p.y);
  AfxTestWait(30);
  EXPECT_EQ(2, table.GetSelectedDay());
  EXPECT_EQ(CQsDateTime(2025, 6, 2, 0, 0, 0), table.GetSelectedDate());

  // Right at the end of a row does nothing; Left in the first column does nothing.
  table.SendMessage(WM_KEYUP, VK_LEFT, 0);
  EXPECT_EQ(1, table.GetSelectedDay());
  table.SendMessage(WM_KEYUP, VK_LEFT, 0);
  EXPECT_EQ(1, table.GetSelectedDay());
  for (int i = 0; i < cols + 2; ++i) table.SendMessage(WM_KEYUP, VK_RIGHT, 0);
  EXPECT_EQ(cols, table.GetSelectedDay());
  // Down past the visible rows scrolls to keep the day in sight.
  for (int i = 0; i < rows; ++i) table.SendMessage(WM_KEYUP, VK_DOWN, 0);
  EXPECT_EQ(cols + rows * cols, table.GetSelectedDay());
  EXPECT_EQ(1, table.GetScrollPosition());
  // Down on the last row scrolls to the bottom and keeps the selection.
  for (int i = 0; i < 20; ++i) table.SendMessage(WM_KEYUP, VK_DOWN, 0);
  const int sel = table.GetSelectedDay();
  EXPECT_GT(sel, 30 - cols);
  EXPECT_EQ(table.GetScrollMaximum(), table.GetScrollPosition());
  table.SendMessage(WM_KEYUP, VK_UP, 0);
  EXPECT_EQ(sel - cols, table.GetSelectedDay());

  // The wheel scrolls a row; with Ctrl it goes to the next or previous month.
  const int pos = table.GetScrollPosition();
  table.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
  EXPECT_EQ(pos - 1, table.GetScrollPosition());
  table.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)-120), 0);
  EXPECT_EQ(pos, table.GetScrollPosition());
  // Away from the user (a positive delta) is the next month, towards the user the previous one,
  // and a zero delta counts as towards; the rows stay where they were.
  struct {
    short delta;
    int next, previous;
  } const wheel[] = {{120, 1, 0}, {-120, 1, 1}, {240, 2, 1}, {0, 2, 2}};
  for (const auto& w : wheel) {
    table.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, (WORD)w.delta), 0);
    EXPECT_EQ(w.next, host.nextCalls) << w.delta;
    EXPECT_EQ(w.previous, host.previousCalls) << w.delta;
    EXPECT_EQ(pos, table.GetScrollPosition()) << w.delta;
  }
  // The scroll bar's codes: a page is two rows, clamped.
  table.SendMessage(WM_VSCROLL, SB_PAGEUP, 0);
  table.SendMessage(WM_VSCROLL, SB_PAGEUP, 0);
  table.SendMessage(WM_VSCROLL, SB_PAGEUP, 0);
  EXPECT_EQ(0, table.GetScrollPosition());
  table.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(1, table.GetScrollPosition());

  // Enter hands the selected day to the frame's graph.
  table.SendMessage(WM_KEYUP, VK_RETURN, 0);
  EXPECT_EQ(1, host.selectDayCalls);
  EXPECT_EQ(table.GetSelectedDay(), host.lastSelectedDay);
  EXPECT_EQ(1, host.showGraphCalls);
  EXPECT_EQ(1, host.graphCalls);
  // A double-click on a day does the same; the graph is left alone when the day was selected.
  table.SendMessage(WM_VSCROLL, SB_THUMBTRACK, 0);
  CBitmap pic;
  AfxCaptureWindow(table.GetSafeHwnd(), &pic);
  p = CentreOf(3);
  ASSERT_GE(p.x, 0);
  host.selectResult = FALSE;
  AfxTestDoubleClick(table.GetSafeHwnd(), p.x, p.y);
  AfxTestWait(30);
  EXPECT_EQ(3, host.lastSelectedDay);
  EXPECT_EQ(2, host.showGraphCalls);
  EXPECT_EQ(1, host.graphCalls);
}

TEST_F(TableWindow, TheContextMenuOffersTheTableCommandsToTheFrame) {
  const std::vector<UINT> expected{32844, 0, 32807, 57607, 32843, 0, 32785, 32791};
  EXPECT_EQ(expected, OpenContextMenu(table, 4, [&] { return !parent.commands.empty(); }));
  EXPECT_EQ(std::vector<UINT>{32843}, parent.commands);
  EXPECT_EQ(nullptr, host.menu.GetSafeHmenu());
  // Nothing to offer before the month is calculated.
  table.SetCalculated(0);
  EXPECT_TRUE(OpenContextMenu(table, -1).empty());
}

TEST_F(TableWindow, AClickOnThePlaceholderCalculatesTheMonth) {
  table.SetCalculated(0);
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(table.GetSafeHwnd(), &pic));
  // The placeholder: white, with its text.
  EXPECT_EQ(kWhite, pic.GetPixel(5, 5));
  EXPECT_GT(CountDark(pic, RECT{50, 340, 950, 420}), 100);
  AfxTestClick(table.GetSafeHwnd(), 500, 500);
  AfxTestWait(30);
  EXPECT_EQ(1, host.tableCalls);
  // Not calculated: copy, export and print do nothing.
  AfxSetClipboardText("before");
  table.CopyToClipboard();
  CString clip;
  AfxGetClipboardText(clip);
  EXPECT_STREQ("before", clip.GetString());
  table.SetCalculated(1);
  table.CopyToClipboard();
  AfxGetClipboardText(clip);
  EXPECT_EQ(0, clip.Find("Dover, England"));
}

TEST(Table, WindowsThatFitNoCellDrawWhatFitsAndNeverDivideByZero) {
  AfxWinInit(0, nullptr);
  PortMonth pm;
  ASSERT_TRUE(pm.Load("Dover", 2025, 6));
  CTableWnd table;
  pm.Push(table);
  const CRect sizes[] = {CRect(0, 0, 0, 0),    CRect(0, 0, 1, 1),     CRect(0, 0, 30, 700),
                         CRect(0, 0, 900, 40), CRect(0, 0, 120, 120), CRect(0, 0, 900, 700)};
  for (const CRect& r : sizes) {
    CBitmap pic;
    DrawInto(pic, r, [&](CDC* dc) { table.DrawTable(dc, r); });
    if (r.Width() < 200 || r.Height() < 100) {
      EXPECT_TRUE(table.GetColumns() == 0 || table.GetRows() == 0) << r.Width() << "x" << r.Height();
      EXPECT_FALSE(table.IsScrollEnabled());
      EXPECT_EQ(0, table.GetScrollMaximum());
    }
    // Keys and the wheel in a window that shows nothing change nothing and don't crash.
    for (UINT key : {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN}) table.OnKeyUp(key, 1, 0);
    table.OnMouseWheel(0, -120, CPoint());
    table.OnVScroll(SB_PAGEDOWN, 0, nullptr);
  }
  EXPECT_GT(table.GetColumns() * table.GetRows(), 0);
  // As a real window of no size.
  CWnd parent;
  ASSERT_TRUE(parent.CreateEx(0, nullptr, "pane", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300, nullptr, nullptr));
  CTableWnd small;
  ASSERT_TRUE(small.Create(&parent, CRect(0, 0, 0, 0)));
  pm.Push(small);
  small.UpdateWindow();
  small.SendMessage(WM_KEYUP, VK_RIGHT, 0);
  small.SendMessage(WM_KEYUP, VK_DOWN, 0);
  EXPECT_EQ(0, small.GetColumns());
  small.DestroyWindow();
  parent.DestroyWindow();
}

TEST(Table, DaysOutsideTheAngleFactorTableShowThatNoPredictionExists) {
  AfxWinInit(0, nullptr);
  PortMonth pm;
  ASSERT_TRUE(pm.Load("Dover", 2008, 12));
  CTableWnd table;
  pm.Push(table);
  for (int d = 1; d <= 31; ++d) EXPECT_FALSE(table.IsDayPredicted(d)) << d;
  const std::string text = table.BuildText().GetString();
  EXPECT_EQ(31, Occurrences(text, "No prediction\r\n"));
  EXPECT_EQ(0, Occurrences(text, "\t"));
  EXPECT_EQ(31, Occurrences(table.BuildHtml().GetString(), "No prediction"));
  // A frame that only pushes the events: the table asks the frame's month which days exist.
  MonthHost host;
  host.pm = &pm;
  CTableWnd asked;
  asked.SetHost(&host);
  asked.SetDayCount(31);
  for (int d = 1; d <= 31; ++d) EXPECT_FALSE(asked.IsDayPredicted(d)) << d;
  EXPECT_EQ(31, Occurrences(asked.BuildText().GetString(), "No prediction\r\n"));
  // The last month of the table: the final day lacks its next day's record.
  pm.SetMonth(2050, 12);
  pm.Push(table);
  EXPECT_TRUE(table.IsDayPredicted(30));
  EXPECT_TRUE(table.IsDayPredicted(31));
  pm.SetMonth(2051, 1);
  pm.Push(table);
  EXPECT_FALSE(table.IsDayPredicted(1));
  CBitmap pic;
  DrawInto(pic, CRect(0, 0, 900, 700), [&](CDC* dc) { table.DrawTable(dc, CRect(0, 0, 900, 700)); });
  pic.SavePng("table_no_prediction.png");
}

TEST(Table, StartsWithTheDefaultsAndKeepsTheSelectionWithinTheMonth) {
  AfxWinInit(0, nullptr);
  CTableWnd t;
  EXPECT_EQ(30, t.GetDayCount());
  EXPECT_STREQ("Southampton", t.GetPortName().GetString());
  EXPECT_STREQ("06:45", t.GetEventTimeText(2, 1).GetString());
  EXPECT_STREQ("2.1m", t.GetEventHeightText(1, 10).GetString());
  EXPECT_EQ(CQsDateTime(1998, 4, 1, 0, 0, 0), t.GetSelectedDate());
  t.SetDayCount(0);
  EXPECT_EQ(31, t.GetDayCount());
  for (int i = 0; i < 30; ++i) t.OnKeyUp(VK_RIGHT, 1, 0);  // no layout yet: nothing moves
  EXPECT_EQ(1, t.GetSelectedDay());
  t.SetTideEvent(1, 1, 1440, 2.0);
  EXPECT_STREQ("23:59", t.GetEventTimeText(1, 1).GetString());
  t.SetNewMoonDay(0);
  t.SetNewMoonDay(32);
  t.SetFullMoonDay(14);
  EXPECT_EQ(2, t.GetMoonMark(14));
  t.ClearMoonDays();
  EXPECT_EQ(-1, t.GetMoonMark(14));
}

}  // namespace
