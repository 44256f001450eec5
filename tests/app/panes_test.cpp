// The panes as a user reads and works them in the program as it ships: the tide times of a
// 25-hour day, the edit keys in the panes' edits, the running-aground verdict in the status bar,
// the month's table under Ctrl+wheel, and every number on screen in the user's locale.
#include "tests/app/FrameFixture.h"

#include "platform/core/AfxLocale.h"
#include "platform/core/AfxUserNumber.h"
#include "platform/ui/Clipboard.h"

#include <regex>
#include <set>
#include <string>

using namespace app_test;

namespace {

struct LocaleOverride {
  explicit LocaleOverride(const char* name) { ok = AfxSetLocaleOverrideByName(name); }
  ~LocaleOverride() { AfxClearLocaleOverride(); }
  BOOL ok;
};

// Pixels darker than the panel's grey lines in a rectangle of a picture.
int DarkPixels(CBitmap& pic, const CRect& r) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) {
      const COLORREF c = pic.GetPixel(x, y);
      n += GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100;
    }
  return n;
}

CRect RectInPane(CWnd& child, CWnd& pane) {
  CRect r;
  child.GetWindowRect(&r);
  pane.ScreenToClient(&r);
  return r;
}

TEST_F(Program, TheTideTimesMakeRoomForTheFifthTideOfA25HourDay) {
  ASSERT_NE(nullptr, Start());
  ClickPort(PortIndex("Lowestoft"));
  CTideTimesWnd& times = Left().TideTimes();
  CRect client;
  Left().GetClientRect(&client);
  // The 26th has 25 hours and five tides; the days either side have four or fewer.
  struct {
    int day;
    bool five;
  } const days[] = {{25, false}, {26, true}, {27, false}};
  for (const auto& d : days) {
    PickDate(d.day, 10, 2025);
    Command(ID_CALCULATE_GRAPH);
    const int rows = times.GetCount(), height = d.five ? 124 : 104;
    if (d.five)
      ASSERT_EQ(5, rows);
    else
      ASSERT_LE(rows, 4) << d.day;
    // The panel sits on the pane's bottom edge, the ports tree ends above it.
    const CRect panel = RectInPane(times, Left()), tree = RectInPane(Left().PortsTree(), Left());
    EXPECT_EQ(height, panel.Height()) << d.day;
    EXPECT_EQ(client.bottom, panel.bottom) << d.day;
    EXPECT_LE(tree.bottom, panel.top - 4) << d.day;
    EXPECT_EQ(client.bottom - height - 32 + 27, tree.bottom) << d.day;
    // Every row's time and height can be read: each row's band holds text in both columns.
    CBitmap pic;
    ASSERT_TRUE(AfxCaptureWindow(times.GetSafeHwnd(), &pic));
    if (d.five) pic.SavePng("program_tide_times_25_hours.png");
    const int mid = panel.Width() / 2;
    for (int i = 0; i < rows; ++i) {
      const int top = 23 + 20 * i;
      EXPECT_GT(DarkPixels(pic, CRect(5, top, mid - 2, top + 15)), 15) << d.day << " row " << i;
      EXPECT_GT(DarkPixels(pic, CRect(mid + 5, top, panel.Width() - 2, top + 15)), 15) << d.day << " row " << i;
    }
  }
  EXPECT_EQ(CString("23:45"), [&] {
    PickDate(26, 10, 2025);
    Command(ID_CALCULATE_GRAPH);
    return times.GetTimeText(4);
  }());
}

// The edit keys of the frame's table, in both their forms, as the keyboard types them.
struct EditKey {
  const char* name;
  UINT vk, mods;
  const char* text;  // what the key types, as the keyboard reports it
};
const EditKey kCopyKeys[] = {{"Ctrl+C", 'C', AFX_TEST_CTRL, "\x03"},
                             {"Ctrl+Insert", VK_INSERT, AFX_TEST_CTRL, nullptr}};
const EditKey kPasteKeys[] = {{"Ctrl+V", 'V', AFX_TEST_CTRL, "\x16"},
                              {"Shift+Insert", VK_INSERT, AFX_TEST_SHIFT, nullptr}};
const EditKey kCutKeys[] = {{"Ctrl+X", 'X', AFX_TEST_CTRL, "\x18"},
                            {"Shift+Delete", VK_DELETE, AFX_TEST_SHIFT, nullptr}};
const EditKey kUndoKeys[] = {{"Ctrl+Z", 'Z', AFX_TEST_CTRL, "\x1a"}, {"Alt+Backspace", VK_BACK, AFX_TEST_ALT, "\b"}};

TEST_F(Program, EveryEditKeyOfTheFrameReachesTheFocusedEdit) {
  ASSERT_NE(nullptr, Start());
  PickDate(12, 6, 2025);
  struct Pane {
    const char* name;
    UINT page;
    std::function<CWnd*()> edit;
  } const panes[] = {
      {"depth", ID_VIEW_GRAPH, [this] { return (CWnd*)&Right().Aground().GetDepthEdit(); }},
      {"height finder", ID_VIEW_HEIGHTFIND,
       [this] { return Right().HeightFind().GetDlgItem(CHeightFindWnd::kEditId); }},
  };
  for (const Pane& p : panes) {
    Command(p.page);
    CWnd* edit = p.edit();
    ASSERT_TRUE(edit && edit->IsWindowVisible()) << p.name;
    auto start = [&](const char* text) {
      edit->SetWindowText(text);
      edit->SetFocus();
      Settle();
      ASSERT_EQ(edit->GetSafeHwnd(), ::GetFocus()) << p.name;
      edit->SendMessage(EM_SETSEL, 0, -1);
    };
    auto press = [&](const EditKey& k) {
      AfxTestKeyStroke(k.vk, k.mods, k.text);
      Settle();
    };
    auto text = [&] {
      CString s;
      edit->GetWindowText(s);
      return s;
    };
    auto clip = [] {
      CString s;
      AfxGetClipboardText(s);
      return s;
    };
    for (const EditKey& k : kCopyKeys) {
      AfxSetClipboardText("none");
      start("12");
      press(k);
      EXPECT_EQ(CString("12"), clip()) << p.name << " " << k.name;
      EXPECT_EQ(CString("12"), text()) << p.name << " " << k.name;
    }
    for (const EditKey& k : kPasteKeys) {
      AfxSetClipboardText("7");
      start("12");
      press(k);
      EXPECT_EQ(CString("7"), text()) << p.name << " " << k.name;  // once, over the selection
    }
    for (const EditKey& k : kCutKeys) {
      AfxSetClipboardText("none");
      start("34");
      press(k);
      EXPECT_EQ(CString("34"), clip()) << p.name << " " << k.name;
      EXPECT_EQ(-1, text().Find("34")) << p.name << " " << k.name;
    }
    for (const EditKey& k : kUndoKeys) {
      start("3");
      edit->SendMessage(EM_SETSEL, 1, 1);
      AfxTestKeyStroke('4', 0, "4");
      Settle();
      ASSERT_EQ(CString("34"), text()) << p.name;
      press(k);
      EXPECT_EQ(CString("3"), text()) << p.name << " " << k.name;  // undone once, not undone and redone
    }
  }
}

// The verdict the status bar shows, for the panel's own figures.
CString Verdict(double D, double d, double X, BOOL feet) {
  if (X + d >= D) return "You will run aground at the next low water";
  const double clear = D - X - d;
  return "You will not ground at the next LW. You will have " +
         (feet ? AfxFormatUserNumber(clear * 3.2808, 1) + "ft" : AfxFormatUserNumber(clear, 1) + "m") +
         " under your boat";
}

TEST_F(Program, TheStatusBarGivesTheRunningAgroundVerdictInMetresAndFeet) {
  for (const char* locale : {"en_GB", "de_DE"}) {
    LocaleOverride loc(locale);
    ASSERT_TRUE(loc.ok);
    ASSERT_NE(nullptr, Start());
    PickDate(12, 6, 2025);
    Command(ID_METRES);
    CAgroundWnd& a = Right().Aground();
    a.SetTimeMinutes(9 * 60);
    Settle();
    ASSERT_FALSE(a.IsDropUnknown());
    const double X = a.GetDropToLowWater();
    struct {
      double depth, draught;
      UINT units;
      BOOL feet;
    } const cases[] = {{X + 2.5, 1.2, ID_METRES, FALSE},
                       {X + 2.5, 1.2, ID_FEET, TRUE},
                       {X + 0.5, 1.2, ID_METRES, FALSE},
                       {X + 0.5, 1.2, ID_FEET, TRUE}};
    for (const auto& c : cases) {
      Command(c.units);
      a.SetDraught(c.draught);
      a.SetDepthOfWater(c.feet ? c.depth * 3.2808 : c.depth);  // in the units shown
      Settle();
      const double D = a.GetDepthOfWater();
      EXPECT_NEAR(c.depth, D, 0.01) << locale;
      EXPECT_EQ(Verdict(D, c.draught, a.GetDropToLowWater(), c.feet), Pane(ID_INDICATOR_AGROUND))
          << locale << " depth " << c.depth << (c.feet ? " ft" : " m");
    }
    Close();
  }
}

TEST_F(Program, CtrlWheelOnTheMonthlyTableTurnsToTheNextMonthAwayFromTheUser) {
  ASSERT_NE(nullptr, Start());
  PickDate(12, 6, 2025);
  Command(ID_VIEW_TABLE);
  Command(ID_CALCULATE_TABLE);
  CTableWnd& table = Right().Table();
  table.SetFocus();
  Settle();
  CRect rc;
  table.GetWindowRect(&rc);
  const POINT at = rc.CenterPoint();
  struct {
    int delta, month, year;
  } const turns[] = {{120, 7, 2025}, {120, 8, 2025}, {-120, 7, 2025}, {-120, 6, 2025}, {-120, 5, 2025}};
  for (const auto& t : turns) {
    AfxTestWheel(at, t.delta, AFX_TEST_CTRL);
    Settle();
    EXPECT_EQ(t.month, Selected().GetMonth()) << t.delta;
    EXPECT_EQ(t.year, Selected().GetYear()) << t.delta;
    EXPECT_TRUE(table.IsWindowVisible());
  }
}

// Every text the windows draw while the main window is rendered page by page.
std::set<std::string> TextsShown(CMainFrame* frame) {
  std::set<std::string> texts;
  AfxSetTestTextHook([&texts](const CString& s) { texts.insert(s.GetStdString()); });
  CBitmap pic;
  frame->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  AfxCaptureWindow(frame->GetSafeHwnd(), &pic);
  AfxSetTestTextHook(nullptr);
  return texts;
}

TEST_F(Program, InACommaDecimalLocaleTheMainWindowShowsNoPointDecimal) {
  LocaleOverride loc("de_DE");
  ASSERT_TRUE(loc.ok);
  ASSERT_EQ(CString(","), AfxGetLocaleValues().decimalSeparator);
  ASSERT_NE(nullptr, Start());
  ClickPort(PortIndex("Dover, England"));
  PickDate(12, 6, 2025);
  Command(ID_CALCULATE_GRAPH);
  // The GPS read-out as the map page shows it.
  Left().GpsWnd().SetData(50.9634, 1.3547, 5.25, 123.5);
  Left().ShowGps();
  const std::regex pointDecimal("[0-9]\\.[0-9]"), commaDecimal("[0-9],[0-9]");
  struct Page {
    const char* name;
    std::function<void()> show;
  } const pages[] = {
      {"graph", [&] { Command(ID_VIEW_GRAPH); }},
      {"graph in feet", [&] { Command(ID_FEET); }},
      {"table",
       [&] {
         Command(ID_METRES);
         Command(ID_VIEW_TABLE);
         Command(ID_CALCULATE_TABLE);
       }},
      {"height finder",
       [&] {
         Command(ID_VIEW_HEIGHTFIND);
         Right().HeightFind().SendMessage(
             WM_COMMAND, MAKEWPARAM(CHeightFindWnd::kFindButtonId, BN_CLICKED),
             (LPARAM)Right().HeightFind().GetDlgItem(CHeightFindWnd::kFindButtonId)->GetSafeHwnd());
       }},
      {"tidal log",
       [&] {
         Command(ID_VIEW_TIDELOG);
         Right().TideLog().AddRow(m_frame->GetCurrentPort(), 12, 6, 2025);
       }},
      {"chart", [&] { Command(ID_VIEW_MAP); }},
  };
  int commas = 0;
  for (const Page& p : pages) {
    p.show();
    Settle();
    const std::set<std::string> texts = TextsShown(m_frame);
    EXPECT_FALSE(texts.empty()) << p.name;
    // The panes beside the page are read too: the tide times, and the GPS read-out on the chart.
    if (Left().TideTimes().IsWindowVisible()) {
      EXPECT_TRUE(texts.count(Left().TideTimes().GetHeightText(0).GetStdString())) << p.name;
    }
    if (std::string(p.name) == "chart") {
      EXPECT_TRUE(Left().GpsWnd().IsWindowVisible());
    }
    if (Left().GpsWnd().IsWindowVisible()) {
      EXPECT_TRUE(texts.count("5,25 Kts")) << p.name;
    }
    for (const std::string& t : texts) {
      EXPECT_FALSE(std::regex_search(t, pointDecimal)) << p.name << ": \"" << t << "\"";
      commas += std::regex_search(t, commaDecimal);
    }
  }
  EXPECT_GT(commas, 20);
  // Exports keep their fixed format.
  Command(ID_VIEW_TABLE);
  EXPECT_TRUE(std::regex_search(Right().Table().BuildText().GetStdString(), pointDecimal));
  EXPECT_FALSE(std::regex_search(Right().Table().BuildText().GetStdString(), commaDecimal));
}

}  // namespace
