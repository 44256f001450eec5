// The height finder as a user uses it: crossings of a real port's month checked against the
// model's heights around each reported minute, the crossing at midnight, the typed height in
// the user's locale, the exports, printing over several pages, saving, and windows too small
// for a column.
#include "platform/core/AfxLocale.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/CommonDlg.h"
#include "platform/ui/PrintDC.h"
#include "tests/views/MonthFixture.h"
#include "tests/views/PageRecorder.h"
#include "tests/views/PageTestKit.h"
#include "views/ViewColours.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

namespace {

using namespace views_test;

// The times the model's curve passes h, minute by minute: m where h lies between the heights
// at m and m + 1.
std::vector<int> ModelCrossings(CPrediction* p, int zone, double h) {
  std::vector<int> out;
  for (int m = 0; m < 1440; ++m) {
    double a = p->HeightAt(m, zone, 0), b = p->HeightAt(m + 1, zone, 0);
    if ((a < h && b >= h) || (a > h && b <= h)) out.push_back(m);
  }
  return out;
}

class Finder : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    AfxSetLocaleOverrideByName("en_US");
    ASSERT_TRUE(pm.Load("Dover", 2025, 6)) << "the embedded tables give no port";
    host.pm = &pm;
    finder.SetHost(&host);
    finder.SetMonth(6);
    finder.SetYear(2025);
    finder.SetPortName(pm.port.GetName());
  }
  void TearDown() override { AfxClearLocaleOverride(); }
  PortMonth pm;
  MonthHost host;
  CHeightFindWnd finder;
};

TEST_F(Finder, EachReportedCrossingIsWhereTheModelPassesTheHeight) {
  for (double h : {3.0, 1.55, 6.4}) {
    CString text;
    text.Format("%0.2f", h);
    finder.SetHeightText(text);
    finder.Find();
    EXPECT_TRUE(finder.IsCalculated());
    EXPECT_TRUE(finder.IsMatch());
    EXPECT_NEAR(h, finder.GetSearchedHeight(), 1e-9);
    int total = 0;
    for (int d = 1; d <= 30; ++d) {
      CPrediction* p = pm.month.GetDay(d);
      int last = -1, n = 0;
      for (const HEIGHTFIND_RESULT* r = finder.GetResults(d); r; r = r->next, ++n) {
        const int m = r->time.GetHour() * 60 + r->time.GetMinute();
        ASSERT_GE(m, 0);
        ASSERT_LE(m, 1439);
        EXPECT_GT(m, last) << "in time order, day " << d;
        last = m;
        const double before = p->HeightAt(m - 1, pm.zone, 0), after = p->HeightAt(m + 1, pm.zone, 0);
        EXPECT_TRUE((before <= h && h <= after) || (before >= h && h >= after))
            << "day " << d << " minute " << m << ": " << before << " .. " << after;
        EXPECT_EQ(before <= h, r->rising != 0) << "day " << d << " minute " << m;
      }
      // As many crossings as the model's curve has, each within two minutes of one of them.
      std::vector<int> model = ModelCrossings(p, pm.zone, h);
      EXPECT_EQ((int)model.size(), n) << "day " << d << " height " << h;
      int i = 0;
      for (const HEIGHTFIND_RESULT* r = finder.GetResults(d); r && i < (int)model.size(); r = r->next, ++i)
        EXPECT_NEAR(model[i], r->time.GetHour() * 60 + r->time.GetMinute(), 2) << "day " << d;
      total += n;
    }
    if (h == 3.0) {
      EXPECT_GT(total, 100) << "Dover passes 3 m about four times a day";
    }
  }
  // A day with four crossings lists four lines, rising and falling in turn.
  finder.SetHeightText("3.00");
  finder.Find();
  int fours = 0;
  for (int d = 1; d <= 30; ++d)
    if (finder.GetResultCount(d) == 4) {
      ++fours;
      const HEIGHTFIND_RESULT* r = finder.GetResults(d);
      EXPECT_NE(r->rising, r->next->rising);
      EXPECT_NE(r->next->rising, r->next->next->rising);
    }
  EXPECT_GT(fours, 10);
  EXPECT_GE(host.captionCalls, 1);
}

TEST_F(Finder, ACrossingAtMidnightBelongsToTheNextDayNotTo2400) {
  // Look for a day whose curve passes a two-decimal height between 23:59 and 24:01, where the
  // search's last fine step would land on minute 1440.
  int day = 0;
  double h = 0;
  for (int month = 1; month <= 12 && !day; ++month) {
    pm.SetMonth(2025, month);
    for (int d = 1; d < pm.days && !day; ++d) {
      CPrediction* p = pm.month.GetDay(d);
      const double a = p->HeightAt(1439, pm.zone, 0), b = p->HeightAt(1441, pm.zone, 0);
      const double c = p->HeightAt(1438, pm.zone, 0), e = p->HeightAt(1440, pm.zone, 0);
      for (int k = (int)std::floor(std::min(a, b) * 100); k <= (int)std::ceil(std::max(a, b) * 100); ++k) {
        double v = k / 100.0;
        bool late = (a <= v && v <= b) || (a >= v && v >= b);
        bool earlier = (c <= v && v <= e) || (c >= v && v >= e);
        if (late && !earlier) {
          day = d;
          h = v;
          finder.SetMonth(month);
          break;
        }
      }
    }
  }
  ASSERT_NE(0, day) << "no day of 2025 crosses a two-decimal height at midnight";
  CString text;
  text.Format("%0.2f", h);
  finder.SetHeightText(text);
  finder.Find();
  for (const HEIGHTFIND_RESULT* r = finder.GetResults(day); r; r = r->next) {
    EXPECT_LT(r->time.GetHour(), 24);
    EXPECT_STRNE("00:00", r->time.Format("%H:%M").GetString()) << "a wrapped 24:00";
  }
  EXPECT_EQ(std::string::npos, std::string(finder.BuildText().GetString()).find("24:00"));
  // The next day starts with it.
  if (day < pm.days) {
    const HEIGHTFIND_RESULT* first = finder.GetResults(day + 1);
    ASSERT_NE(nullptr, first);
    EXPECT_LE(first->time.GetHour() * 60 + first->time.GetMinute(), 2);
  }
}

TEST_F(Finder, TheTypedHeightIsFilteredAndReadInTheUsersLocale) {
  struct Case {
    const char* locale;
    const char* typed;
    const char* kept;
    double metres;
  } cases[] = {
      {"en_US", "5.234", "5.23", 5.23}, {"en_US", "5.2.3", "5.23", 5.23}, {"en_US", "a5b.c2", "5.2", 5.2},
      {"en_US", "1,000", "1000", 1000}, {"de_DE", "2,5", "2,5", 2.5},     {"de_DE", "2.5", "25", 25},
      {"de_DE", "1,234", "1,23", 1.23}, {"en_US", "xyz", "", 0},          {"en_US", "5.", "5.", 5.0},
      {"de_DE", ",5", ",5", 0.5},
  };
  for (const Case& c : cases) {
    AfxSetLocaleOverrideByName(c.locale);
    finder.SetHeightText(c.typed);
    EXPECT_STREQ(c.kept, finder.GetHeightText().GetString()) << c.locale << " " << c.typed;
    finder.Find();
    EXPECT_NEAR(c.metres, finder.GetSearchedHeight(), 1e-9) << c.locale << " " << c.typed;
  }
  // Switching units rewrites the value in the user's own format.
  AfxSetLocaleOverrideByName("de_DE");
  finder.SetHeightText("3,00");
  finder.SetFeet(1);
  EXPECT_STREQ("9,84", finder.GetHeightText().GetString());
  finder.SetFeet(0);
  EXPECT_STREQ("3,00", finder.GetHeightText().GetString());
  // Exports keep the fixed format whatever the locale.
  finder.Find();
  EXPECT_NE(std::string::npos, std::string(finder.BuildText().GetString()).find("height is 3.00m above"));
}

TEST_F(Finder, ChangingTheTypedHeightGreysTheResultsUntilItMatchesAgain) {
  finder.SetHeightText("5.20");
  finder.Find();
  EXPECT_TRUE(finder.IsMatch());
  finder.SetHeightText("5.21");
  EXPECT_FALSE(finder.IsMatch());
  EXPECT_TRUE(finder.HasResults()) << "typing keeps the results";
  finder.SetHeightText("5.20");
  EXPECT_TRUE(finder.IsMatch());
  // Feet: 3.00 m is 9.84 ft, which still matches the 3 m search.
  finder.SetHeightText("3.00");
  finder.Find();
  finder.SetFeet(1);
  EXPECT_STREQ("9.84", finder.GetHeightText().GetString());
  EXPECT_TRUE(finder.IsMatch());
}

TEST_F(Finder, TheTextAndHtmlExportsListTheCrossings) {
  finder.SetHeightText("3.00");
  finder.Find();
  const std::string text = finder.BuildText().GetString();
  // Checked by hand: Dover keeps GMT in its own zone; June is summer time under the UK rule.
  const std::string head =
      "Dover, England - Times when height is 3.00m above Chart Datum\n"
      "Times in GMT (+1:00). All results are predictions.\n"
      "\nSunday 01 June 2025\n";
  EXPECT_EQ(0u, text.find(head)) << text.substr(0, 300);
  // Every line of day 1 is one of the model's crossings in the order the model has them.
  std::vector<int> model = ModelCrossings(pm.month.GetDay(1), pm.zone, 3.0);
  std::istringstream lines(text.substr(head.size()));
  std::string line;
  for (size_t i = 0; i < model.size(); ++i) {
    ASSERT_TRUE(std::getline(lines, line));
    int hh, mm;
    char dir[16];
    ASSERT_EQ(3, std::sscanf(line.c_str(), "%d:%d\t%15s", &hh, &mm, dir)) << line;
    EXPECT_NEAR(model[i], hh * 60 + mm, 2) << line;
    const bool rising = pm.month.GetDay(1)->HeightAt(model[i] + 1, pm.zone, 0) > 3.0;
    EXPECT_STREQ(rising ? "Rising" : "Falling", dir) << line;
  }
  EXPECT_EQ(30, Occurrences(text, " June 2025\n"));

  finder.SetPortName("Dover & <Deal> \xC3\xA9");
  const std::string html = finder.BuildHtml().GetString();
  EXPECT_NE(std::string::npos, html.find("charset=utf-8"));
  EXPECT_NE(std::string::npos, html.find("Dover &amp; &lt;Deal&gt; \xC3\xA9 - Times when height is 3.00m"));
  EXPECT_EQ(8, Occurrences(html, "\n  <tr>\n"));
  EXPECT_EQ(30, Occurrences(html, "bgcolor=\"#C0C0C0\""));
  EXPECT_EQ(Occurrences(text, "\tRising\n"), Occurrences(html, "   Rising<br>"));
  EXPECT_EQ(Occurrences(text, "\tFalling\n"), Occurrences(html, "   Falling<br>"));
}

TEST_F(Finder, AMonthOf31DaysFillsEightRowsOfFourWithThreeInTheLast) {
  pm.SetMonth(2025, 7);
  finder.SetMonth(7);
  finder.SetHeightText("3.00");
  finder.Find();
  for (int d = 1; d <= 31; ++d) ASSERT_GT(finder.GetResultCount(d), 0) << d;
  const std::string html = finder.BuildHtml().GetString();
  size_t last = html.rfind("\n  <tr>\n");
  EXPECT_EQ(3, Occurrences(html.substr(last), "<td width=\"25%\""));
  EXPECT_EQ(31, Occurrences(html, "<td width=\"25%\""));
}

TEST_F(Finder, AHeightAboveEveryTideFindsNothingAndSaysSo) {
  finder.SetHeightText("12.00");
  finder.Find();
  EXPECT_TRUE(finder.IsCalculated());
  EXPECT_FALSE(finder.HasResults());
  CBitmap pic;
  DrawInto(pic, CRect(0, 0, 700, 400), [&](CDC* dc) { finder.DrawResults(dc, CRect(0, 0, 700, 400)); });
  pic.SavePng("heightfind_no_results.png");
  EXPECT_GT(CountColour(pic, RECT{25, 95, 300, 115}, GetSysColor(COLOR_WINDOWTEXT)), 20) << "There are no results";
  EXPECT_EQ(ViewThemeBackColour(), pic.GetPixel(600, 5)) << "the input band";
  EXPECT_EQ(0, Occurrences(finder.BuildText().GetString(), "Rising"));
}

TEST_F(Finder, TheResultsAreDrawnInColumnsThatScroll) {
  finder.SetHeightText("3.00");
  finder.Find();
  CWnd parent;
  ASSERT_TRUE(parent.CreateEx(0, nullptr, "pane", WS_POPUP | WS_VISIBLE, 0, 0, 900, 600, nullptr, nullptr));
  ASSERT_TRUE(finder.Create(&parent, CRect(0, 0, 900, 600)));
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(finder.GetSafeHwnd(), &pic));
  pic.SavePng("heightfind_dover_june_2025.png");
  EXPECT_GT(finder.GetColumnsThatFit(), 1);
  EXPECT_GT(finder.GetTotalColumns(), finder.GetColumnsThatFit()) << "a month of four crossings a day needs scrolling";
  EXPECT_TRUE(finder.IsScrollEnabled());
  EXPECT_EQ(finder.GetTotalColumns() - finder.GetColumnsThatFit(), finder.GetScrollMaximum());
  // The day headings' bars and their text in the first column.
  EXPECT_GT(CountColour(pic, RECT{25, 95, 250, 110}, ViewThemeBackColour()), 100);
  EXPECT_GT(CountColour(pic, RECT{25, 95, 250, 300}, GetSysColor(COLOR_WINDOWTEXT)), 200);
  finder.SendMessage(WM_HSCROLL, SB_LINERIGHT, 0);
  EXPECT_EQ(1, finder.GetScrollPosition());
  finder.SendMessage(WM_HSCROLL, SB_PAGERIGHT, 0);
  finder.SendMessage(WM_HSCROLL, SB_PAGERIGHT, 0);
  finder.SendMessage(WM_HSCROLL, SB_PAGERIGHT, 0);
  EXPECT_EQ(finder.GetScrollMaximum(), finder.GetScrollPosition());
  finder.SendMessage(WM_HSCROLL, SB_PAGELEFT, 0);
  EXPECT_EQ(std::max(0, finder.GetScrollMaximum() - 2), finder.GetScrollPosition());
  // A non-matching value greys the results: no window-text pixels below the band.
  finder.SetHeightText("3.01");
  finder.SendMessage(WM_HSCROLL, SB_THUMBTRACK, 0);
  ASSERT_TRUE(AfxCaptureWindow(finder.GetSafeHwnd(), &pic));
  EXPECT_EQ(0, CountColour(pic, RECT{0, 90, 900, 560}, GetSysColor(COLOR_WINDOWTEXT)));
  // The Find button searches again.
  const int before = host.captionCalls;
  AfxTestClick(finder.GetSafeHwnd(), 320, 44);
  AfxTestWait(30);
  EXPECT_EQ(before + 1, host.captionCalls);
  EXPECT_TRUE(finder.IsMatch());
  EXPECT_NEAR(3.01, finder.GetSearchedHeight(), 1e-9);
  // Typing in the edit filters the text; Enter searches.
  HWND edit = finder.GetDlgItem(CHeightFindWnd::kEditId)->GetSafeHwnd();
  ::SetFocus(edit);
  finder.GetDlgItem(CHeightFindWnd::kEditId)->SetWindowText("");
  for (const char* k : {"2", "x", ".", "5", "7", "9"}) AfxTestKeyStroke(k[0] >= '0' && k[0] <= '9' ? k[0] : 'X', 0, k);
  AfxTestWait(30);
  EXPECT_STREQ("2.57", finder.GetHeightText().GetString());
  EXPECT_FALSE(finder.IsMatch());
  AfxTestKeyStroke(VK_RETURN, 0, "\r");
  AfxTestWait(30);
  EXPECT_NEAR(2.57, finder.GetSearchedHeight(), 1e-9);
  EXPECT_TRUE(finder.IsMatch());
  finder.DestroyWindow();
  parent.DestroyWindow();
}

TEST_F(Finder, TheContextMenuOffersSaveAndPrintOnlyForMatchingResults) {
  COwner owner;
  ASSERT_TRUE(owner.CreateEx(0, nullptr, "Neapwise", WS_POPUP | WS_VISIBLE, 0, 0, 700, 500, nullptr, nullptr));
  ASSERT_TRUE(finder.Create(&owner, CRect(0, 0, 700, 500)));
  auto open = [&](int pick, LPARAM where) {
    return OpenContextMenu(
        finder, pick, [&] { return !owner.commands.empty(); }, where);
  };
  const LPARAM keyboard = MAKELPARAM(-1, -1);
  EXPECT_TRUE(open(-1, keyboard).empty()) << "nothing calculated";
  finder.SetHeightText("3.00");
  finder.Find();
  const std::vector<UINT> expected{32807, 57607, 0, 32785, 32791};
  EXPECT_EQ(expected, open(1, keyboard));
  EXPECT_EQ(std::vector<UINT>{57607}, owner.commands);
  // Not over the input band.
  CPoint band(300, 20);
  finder.ClientToScreen(&band);
  EXPECT_TRUE(open(-1, MAKELPARAM(band.x, band.y)).empty());
  // Not while the typed height differs from the one searched.
  finder.SetHeightText("3.10");
  EXPECT_TRUE(open(-1, keyboard).empty());
  finder.DestroyWindow();
  owner.DestroyWindow();
}

TEST_F(Finder, WindowsTooSmallForAColumnOrALineDrawWhatFitsAndEnd) {
  finder.SetHeightText("3.00");
  finder.Find();
  for (CRect r : {CRect(0, 0, 0, 0), CRect(0, 0, 1, 1), CRect(0, 0, 60, 700), CRect(0, 0, 900, 75),
                  CRect(0, 0, 900, 100), CRect(0, 0, 120, 120)}) {
    CBitmap pic;
    DrawInto(pic, r, [&](CDC* dc) { finder.DrawResults(dc, r); });
    EXPECT_GE(finder.GetColumnsThatFit(), 1) << r.Width() << "x" << r.Height();
    finder.OnHScroll(SB_PAGERIGHT, 0, nullptr);
  }
  // As a window of no size.
  CWnd parent;
  ASSERT_TRUE(parent.CreateEx(0, nullptr, "pane", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300, nullptr, nullptr));
  ASSERT_TRUE(finder.Create(&parent, CRect(0, 0, 0, 0)));
  finder.UpdateWindow();
  finder.DestroyWindow();
  parent.DestroyWindow();
}

TEST_F(Finder, PrintingRunsOverAsManyPagesAsTheResultsNeed) {
  finder.SetHeightText("3.00");
  finder.Find();
  const TempDir temp("finder");
  const std::string dir = temp.Path();
  CPrintDC a4;
  ASSERT_TRUE(a4.CreatePdf((dir + "/a4.pdf").c_str(), 150));
  ASSERT_TRUE(finder.PrintTo(&a4));
  CPrintDC small;
  ASSERT_TRUE(small.CreatePdf((dir + "/small.pdf").c_str(), 150, 120, 120));
  ASSERT_TRUE(finder.PrintTo(&small));
  EXPECT_GE(a4.GetPageCount(), 1);
  EXPECT_GT(small.GetPageCount(), a4.GetPageCount()) << "a small page takes more pages";
  EXPECT_GT(ReadFile(dir + "/small.pdf").size(), 1000u);
  // Every page shows the title and results in each of its columns, and the pages together hold
  // every day.
  PageRecorder pages(500, 500);
  ASSERT_TRUE(finder.PrintTo(&pages));
  ASSERT_GT(pages.pages.size(), 1u);
  const int M = pages.GetDeviceCaps(LOGPIXELSX) / 3, T = 2 * pages.GetDeviceCaps(LOGPIXELSY) / 3;
  for (size_t i = 0; i < pages.pages.size(); ++i) {
    EXPECT_GT(pages.Dark(i, RECT{M, M, 500, M + 20}), 30) << "title on page " << i + 1;
    EXPECT_GT(pages.Dark(i, RECT{M, T + M, M + 100, 500}), 100) << "first column of page " << i + 1;
    pages.pages[i]->SavePng(("heightfind_printed_page" + std::to_string(i + 1) + ".png").c_str());
  }
}

TEST_F(Finder, SavingReportsWhatCannotBeWritten) {
  finder.SetHeightText("3.00");
  finder.Find();
  const TempDir temp("finder");
  const std::string dir = temp.Path();
  CString error, saved;
  ASSERT_TRUE(finder.SaveToFile((dir + "/Neapwise Results").c_str(), 1, error, &saved)) << error.GetString();
  EXPECT_STREQ((dir + "/Neapwise Results.htm").c_str(), saved.GetString());
  EXPECT_EQ(std::string(finder.BuildHtml().GetString()), ReadFile(saved.GetString()));
  ASSERT_TRUE(finder.SaveToFile((dir + "/r.TXT").c_str(), 1, error));
  EXPECT_EQ(std::string(finder.BuildText().GetString()), ReadFile(dir + "/r.TXT"));
  error.Empty();
  EXPECT_FALSE(finder.SaveToFile((dir + "/r.pdf").c_str(), 1, error));
  EXPECT_FALSE(error.IsEmpty());
  std::ofstream(dir + "/blocker") << "x";
  error.Empty();
  EXPECT_FALSE(finder.SaveToFile((dir + "/blocker/r.htm").c_str(), 1, error));
  EXPECT_NE(-1, error.Find("blocker/r.htm")) << error.GetString();
}

TEST_F(Finder, SaveAsAndPrintGoThroughTheirDialogs) {
  const TempDir temp("finder");
  const std::string dir = temp.Path();
  std::vector<std::string> messages;
  AfxSetMessageBoxHook([&](const AFX_MSGBOX_REQUEST& r) {
    messages.push_back(r.text);
    return IDOK;
  });
  int asked = 0;
  AfxSetFileDialogHook([&](const AFX_FILEDLG_REQUEST& r) {
    ++asked;
    EXPECT_EQ("Neapwise Results", r.fileName);
    EXPECT_EQ("htm", r.defExt);
    return AFX_FILEDLG_ANSWER{IDOK, dir + "/results", 1};
  });
  finder.SaveAs();
  EXPECT_EQ(0, asked) << "nothing calculated, nothing to save";
  finder.SetHeightText("3.00");
  finder.Find();
  finder.SaveAs();
  EXPECT_EQ(1, asked);
  EXPECT_EQ(ReadFile(dir + "/results.htm"), std::string(finder.BuildHtml().GetString()));
  AfxSetFileDialogHook([&](const AFX_FILEDLG_REQUEST&) { return AFX_FILEDLG_ANSWER{IDOK, dir + "/results.doc", 1}; });
  finder.SaveAs();
  ASSERT_EQ(1u, messages.size()) << "another extension is refused, and the user told";
  AfxSetFileDialogHook(nullptr);
  AfxSetMessageBoxHook(nullptr);

  int printed = 0;
  AfxSetPrintDialogHook([&](const AFX_PRINTDLG_REQUEST&) {
    ++printed;
    AFX_PRINTDLG_ANSWER a;
    a.result = IDOK;
    a.pdfPath = dir + "/results.pdf";
    return a;
  });
  finder.SetHeightText("3.10");
  finder.Print();
  EXPECT_EQ(0, printed) << "greyed results are not printed";
  finder.SetHeightText("3.00");
  finder.Print();
  EXPECT_EQ(1, printed);
  AfxSetPrintDialogHook(nullptr);
  EXPECT_EQ(0u, ReadFile(dir + "/results.pdf").find("%PDF"));
}

TEST_F(Finder, DaysOutsideTheAngleFactorTableShowThatNoPredictionExists) {
  pm.SetMonth(2008, 12);
  finder.SetMonth(12);
  finder.SetYear(2008);
  finder.SetHeightText("3.00");
  finder.Find();
  EXPECT_FALSE(finder.HasResults());
  for (int d = 1; d <= 31; ++d) EXPECT_FALSE(finder.IsDayPredicted(d)) << d;
  EXPECT_EQ(31, Occurrences(finder.BuildText().GetString(), "No prediction\n"));
  // The table's first month is whole.
  pm.SetMonth(2009, 1);
  finder.SetMonth(1);
  finder.SetYear(2009);
  finder.Find();
  for (int d = 1; d <= 31; ++d) EXPECT_TRUE(finder.IsDayPredicted(d)) << d;
  EXPECT_TRUE(finder.HasResults());
}

TEST_F(Finder, TheZoneCaptionNamesTheZoneOfTheMonth) {
  PortMonth* keep = host.pm;
  host.pm = nullptr;
  host.autoZone = FALSE;
  host.zoneOverride = -5;
  EXPECT_STREQ("GMT (-5:00)", finder.GetZoneCaption().GetString());
  host.zoneOverride = 930;
  EXPECT_STREQ("GMT (+9:30)", finder.GetZoneCaption().GetString());
  host.zoneOverride = -330;
  EXPECT_STREQ("GMT (-3:30)", finder.GetZoneCaption().GetString());
  host.pm = keep;
  host.autoZone = TRUE;
  finder.SetMonth(3);
  EXPECT_STREQ("UT (+0:00) / UT (+1:00)", finder.GetZoneCaption().GetString());
  finder.SetMonth(10);
  EXPECT_STREQ("UT (+1:00) / UT (+0:00)", finder.GetZoneCaption().GetString());
  finder.SetMonth(1);
  EXPECT_STREQ("GMT (+0:00)", finder.GetZoneCaption().GetString());
}

TEST(FinderControls, TheUpDownStepsTheValueByATenth) {
  AfxWinInit(0, nullptr);
  AfxSetLocaleOverrideByName("en_US");
  CWnd parent;
  ASSERT_TRUE(parent.CreateEx(0, nullptr, "pane", WS_POPUP | WS_VISIBLE, 0, 0, 500, 300, nullptr, nullptr));
  CHeightFindWnd finder;
  ASSERT_TRUE(finder.Create(&parent, CRect(0, 0, 500, 300)));
  EXPECT_STREQ("3.00", finder.GetHeightText().GetString());
  NMUPDOWN ud{};
  ud.hdr.hwndFrom = finder.GetDlgItem(CHeightFindWnd::kSpinId)->GetSafeHwnd();
  ud.hdr.idFrom = CHeightFindWnd::kSpinId;
  ud.hdr.code = UDN_DELTAPOS;
  ud.iDelta = -1;
  LRESULT result = 1;
  finder.OnSpinDelta(&ud.hdr, &result);
  EXPECT_EQ(0, result);
  EXPECT_STREQ("3.10", finder.GetHeightText().GetString());
  ud.iDelta = 1;
  finder.OnSpinDelta(&ud.hdr, &result);
  finder.OnSpinDelta(&ud.hdr, &result);
  EXPECT_STREQ("2.90", finder.GetHeightText().GetString());
  CString shown;
  finder.GetDlgItem(CHeightFindWnd::kEditId)->GetWindowText(shown);
  EXPECT_STREQ("2.90", shown.GetString());
  finder.DestroyWindow();
  parent.DestroyWindow();
  AfxClearLocaleOverride();
}

}  // namespace
