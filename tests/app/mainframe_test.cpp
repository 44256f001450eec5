// The program as a user drives it: start-up, ports, dates, units, zones, recent and nearest
// ports, pages, restart with the settings as they were.
#include "tests/app/FrameFixture.h"

#include "model/AngleFactorDB.h"
#include "model/Position.h"
#include "platform/core/AfxResource.h"
#include "toolkit/CbGradientTheme.h"

#include <climits>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <type_traits>

namespace {
using namespace app_test;

void WriteProfile(const char* section, const char* entry, int value) {
  AfxGetApp()->WriteProfileInt(section, entry, value);
}

// Whether a window (given by reference or pointer) takes input.
template <class W>
BOOL Enabled(W&& w) {
  if constexpr (std::is_pointer_v<std::remove_reference_t<W>>)
    return w && w->IsWindowEnabled();
  else
    return w.IsWindowEnabled();
}

int DoverIndex() {
  CPortDB db;
  db.Load();
  for (int i = 0; i < db.GetCount(); ++i)
    if (db.GetPort(i)->GetName() == "Dover, England") return i;
  return -1;
}

TEST_F(Program, StartsWithTheLastPortsGraph) {
  WriteProfile("General", "LastPort", 7);
  ASSERT_NE(nullptr, Start());
  EXPECT_TRUE(m_boxes.empty());
  const CString name = m_frame->PortDB().GetPort(7)->GetName();
  CGraphWnd& g = Right().Graph();
  EXPECT_TRUE(g.HasData());
  EXPECT_EQ(name + " - " + Selected().Format("%a %#d %b %Y"), g.GetTitle());
  EXPECT_EQ(name, Left().PortName().GetText());
  EXPECT_GT(Left().TideTimes().GetCount(), 1);
  EXPECT_EQ(0, Pane(ID_INDICATOR_SUNRISE).Find(" Sunrise: ")) << (LPCTSTR)Pane(ID_INDICATOR_SUNRISE);
  EXPECT_EQ(0, Pane(ID_INDICATOR_ZONE).Find("GMT (")) << (LPCTSTR)Pane(ID_INDICATOR_ZONE);
  // Started on today's date.
  const CQsDateTime now = CQsDateTime::GetCurrent();
  EXPECT_EQ(now.GetDay(), Selected().GetDay());
  EXPECT_EQ(now.GetMonth(), Selected().GetMonth());
  // What a user sees: the curve is drawn in the graph's window.
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(m_frame->GetSafeHwnd(), &pic));
  pic.SavePng("program_started.png");
  CRect plot = g.GetPlotRect();
  ASSERT_FALSE(plot.IsRectEmpty());
  CRect gr;
  g.GetWindowRect(&gr);
  m_frame->ScreenToClient(&gr);
  int curve = 0;
  for (int y = plot.top; y < plot.bottom; ++y) {
    const COLORREF c = pic.GetPixel(gr.left + plot.CenterPoint().x, gr.top + y);
    if (c == g.GetLineColour() || c == g.GetAgroundColour()) ++curve;
  }
  EXPECT_GT(curve, 0);
}

TEST_F(Program, PickingAPortChangesTheGraphTheTitleAndTheTideTimes) {
  ASSERT_NE(nullptr, Start());
  PickDate(12, 6, 2025);
  const int dover = PortIndex("Dover, England");
  ASSERT_GE(dover, 0);
  const CString before = Right().Graph().GetTitle();
  const CString firstTime = Left().TideTimes().GetTimeText(0);
  ClickPort(dover);
  EXPECT_EQ(dover, m_frame->GetCurrentPort());
  EXPECT_EQ(CString("Dover, England - Thu 12 Jun 2025"), Right().Graph().GetTitle());
  EXPECT_NE(before, Right().Graph().GetTitle());
  EXPECT_EQ(CString("Dover, England"), Left().PortName().GetText());
  EXPECT_NE(firstTime, Left().TideTimes().GetTimeText(0));
  EXPECT_GE(Left().TideTimes().GetCount(), 3);
  EXPECT_DOUBLE_EQ(m_frame->PortDB().GetPort(dover)->GetMHWS(), Right().Graph().GetMHWS());
  // Summer time at Dover in June.
  EXPECT_EQ(CString("GMT (+1:00)"), Pane(ID_INDICATOR_ZONE));
  // The port is the most recent one.
  int port;
  CString name;
  ASSERT_TRUE(m_frame->GetPortHistory()->GetEntry(0, port, name));
  EXPECT_EQ(dover, port);
  // Picking it again changes nothing.
  Right().Graph().SetTitle("unchanged");
  ClickPort(dover);
  EXPECT_EQ(CString("unchanged"), Right().Graph().GetTitle());
}

TEST_F(Program, TheDateCombosChangeTheDay) {
  ASSERT_NE(nullptr, Start());
  PickDate(3, 3, 2024);
  EXPECT_EQ(3, Selected().GetDay());
  EXPECT_EQ(3, Selected().GetMonth());
  EXPECT_EQ(2024, Selected().GetYear());
  EXPECT_NE(-1, Right().Graph().GetTitle().Find("Sun 3 Mar 2024"));
  // February of a leap year has 29 days, of other years 28; the day is kept within.
  PickDate(29, 2, 2024);
  EXPECT_EQ(29, m_frame->GetDayCombo()->GetCount());
  PickCombo(m_frame->GetYearCombo(), 2023 - m_frame->GetFirstYear());
  EXPECT_EQ(28, m_frame->GetDayCombo()->GetCount());
  EXPECT_EQ(28, Selected().GetDay());
  EXPECT_NE(-1, Right().Graph().GetTitle().Find("Tue 28 Feb 2023"));

  // The month's list: "January" refills the days and keeps the day.
  PickCombo(m_frame->GetMonthCombo(), 0);
  EXPECT_EQ(1, Selected().GetMonth());
  EXPECT_EQ(31, m_frame->GetDayCombo()->GetCount());
  EXPECT_NE(-1, Right().Graph().GetTitle().Find("28 Jan 2023")) << (LPCTSTR)Right().Graph().GetTitle();
  EXPECT_TRUE(Right().Graph().HasData());
  // The combos show what is picked.
  EXPECT_EQ(CString("28"), m_frame->GetDayCombo()->GetEditText());
  EXPECT_EQ(CString("2023"), m_frame->GetYearCombo()->GetEditText());
}

TEST_F(Program, PreviousAndNextCrossMonthsAndYears) {
  ASSERT_NE(nullptr, Start());
  struct Case {
    int d, m, y;
    UINT cmd;
    int ed, em, ey;
  } cases[] = {
      {31, 1, 2024, ID_NEXT, 1, 2, 2024},  {1, 3, 2024, ID_PREVIOUS, 29, 2, 2024},
      {31, 12, 2024, ID_NEXT, 1, 1, 2025}, {1, 1, 2025, ID_PREVIOUS, 31, 12, 2024},
      {15, 6, 2030, ID_NEXT, 16, 6, 2030},
  };
  for (const Case& c : cases) {
    PickDate(c.d, c.m, c.y);
    Command(c.cmd);
    const CQsDateTime s = Selected();
    EXPECT_EQ(c.ed, s.GetDay()) << c.d << "/" << c.m << "/" << c.y;
    EXPECT_EQ(c.em, s.GetMonth()) << c.d << "/" << c.m << "/" << c.y;
    EXPECT_EQ(c.ey, s.GetYear()) << c.d << "/" << c.m << "/" << c.y;
    EXPECT_NE(-1, Right().Graph().GetTitle().Find(s.Format("%#d %b %Y"))) << (LPCTSTR)Right().Graph().GetTitle();
  }
  // On the table page they step months; the day is kept within the month.
  Command(ID_VIEW_TABLE);
  PickDate(31, 1, 2024);
  Command(ID_NEXT);
  EXPECT_EQ(29, Selected().GetDay());
  EXPECT_EQ(2, Selected().GetMonth());
  EXPECT_TRUE(Right().Table().IsCalculated()) << "AutoCalcMonth is off, so Next computes the table";
  EXPECT_EQ(2, Right().Table().GetMonth());
  EXPECT_TRUE(Right().Table().IsEventPresent(1, 29));
  EXPECT_NE(-1, Pane(ID_INDICATOR_ZONE).Find("GMT ("));
  AfxSaveWindowPng(m_frame->GetSafeHwnd(), "program_table_page.png");
  PickDate(15, 12, 2024);
  Command(ID_NEXT);
  EXPECT_EQ(1, Selected().GetMonth());
  EXPECT_EQ(2025, Selected().GetYear());
}

TEST_F(Program, PreviousAndNextStopAtTheEndsOfTheTables) {
  ASSERT_NE(nullptr, Start());
  const CQsDateTime first = m_frame->GetFirstDate(), last = m_frame->GetLastDate();
  // The years offered are the tables' years.
  IBarCombo* years = m_frame->GetYearCombo();
  EXPECT_EQ(first.GetYear(), atoi(years->GetItemText(0)));
  EXPECT_EQ(last.GetYear(), atoi(years->GetItemText(years->GetCount() - 1)));
  PickDate(last.GetDay(), last.GetMonth(), last.GetYear());
  EXPECT_TRUE(Right().Graph().HasData());
  Command(ID_NEXT);
  EXPECT_TRUE(Selected() == last);
  EXPECT_TRUE(Right().Graph().HasData());
  PickDate(first.GetDay(), first.GetMonth(), first.GetYear());
  Command(ID_PREVIOUS);
  EXPECT_TRUE(Selected() == first);
  Command(ID_VIEW_TABLE);
  Command(ID_PREVIOUS);
  EXPECT_TRUE(Selected() == first);
  PickDate(20, last.GetMonth(), last.GetYear());
  Command(ID_NEXT);
  EXPECT_TRUE(Selected() == last);
}

// A smaller angle/factor table, as a test stands one in for the program's: the days from
// 15 March 2020 to 20 April 2021.
class ShortTable : public Program {
 protected:
  void SetUp() override {
    Program::SetUp();
    ASSERT_TRUE(AfxFindRawData("RAWDATA", "#178", &m_original, &m_originalSize));
    CAngleFactorDB full;
    ASSERT_EQ(1, full.Load());
    std::vector<CAngleFactorData> days;
    for (int i = 0; i < full.GetCount(); ++i) {
      const CQsDateTime& d = full.GetAt(i)->GetDate();
      if (CQsDateTime(2020, 3, 15, 0, 0, 0) <= d && d <= CQsDateTime(2021, 4, 20, 0, 0, 0))
        days.push_back(*full.GetAt(i));
    }
    CMemFile file;
    CAngleFactorDB::WriteTable(file, days);
    m_short.assign(file.GetData(), file.GetData() + file.GetLength());
    AfxRegisterResourceCopy("RAWDATA", "#178", m_short.data(), m_short.size());
  }
  void TearDown() override {
    Program::TearDown();
    AfxRegisterResource("RAWDATA", "#178", m_original, m_originalSize);
  }
  const BYTE* m_original = nullptr;
  DWORD m_originalSize = 0;
  std::vector<BYTE> m_short;
};

TEST_F(ShortTable, DatesComeFromTheTablesRange) {
  ASSERT_NE(nullptr, Start());
  EXPECT_TRUE(m_frame->GetFirstDate() == CQsDateTime(2020, 3, 15, 0, 0, 0));
  EXPECT_TRUE(m_frame->GetLastDate() == CQsDateTime(2021, 4, 19, 0, 0, 0));
  IBarCombo* years = m_frame->GetYearCombo();
  ASSERT_EQ(2, years->GetCount());
  EXPECT_EQ(CString("2020"), years->GetItemText(0));
  // Today lies after the tables: the start is their last day, and it is predicted.
  EXPECT_TRUE(Selected() == m_frame->GetLastDate());
  EXPECT_TRUE(Right().Graph().HasData());
  Command(ID_NEXT);
  EXPECT_TRUE(Selected() == CQsDateTime(2021, 4, 19, 0, 0, 0));
  PickDate(16, 3, 2020);
  Command(ID_PREVIOUS);
  Command(ID_PREVIOUS);
  EXPECT_TRUE(Selected() == CQsDateTime(2020, 3, 15, 0, 0, 0));
}

TEST_F(ShortTable, ADayWithoutRecordsShowsThatNoPredictionExists) {
  ASSERT_NE(nullptr, Start());
  PickDate(1, 4, 2020);
  ASSERT_TRUE(Right().Graph().HasData());
  PickCombo(m_frame->GetMonthCombo(), 0);  // January 2020: before the tables
  EXPECT_FALSE(m_frame->HasDayRecords());
  EXPECT_FALSE(Right().Graph().HasData());
  EXPECT_EQ(0, Left().TideTimes().GetCount());
  EXPECT_EQ(CString(""), Pane(ID_INDICATOR_SUNRISE));
  // Calculate Graph does not make up a day either.
  Command(ID_CALCULATE_GRAPH);
  EXPECT_FALSE(Right().Graph().HasData());
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(Right().Graph().GetSafeHwnd(), &pic));
  pic.SavePng("program_no_prediction.png");
  // The table shows no events for the days outside.
  Command(ID_VIEW_TABLE);
  Command(ID_CALCULATE_TABLE);
  EXPECT_EQ(0, Right().Table().IsEventPresent(1, 10));
  PickCombo(m_frame->GetMonthCombo(), 2);  // March 2020: from the 15th
  Command(ID_CALCULATE_TABLE);
  EXPECT_EQ(0, Right().Table().IsEventPresent(1, 14));
  EXPECT_EQ(1, Right().Table().IsEventPresent(1, 15));
  Command(ID_VIEW_GRAPH);
  PickCombo(m_frame->GetDayCombo(), 19);
  EXPECT_TRUE(Right().Graph().HasData());
}

TEST_F(Program, MetresAndFeet) {
  ASSERT_NE(nullptr, Start());
  PickDate(12, 6, 2025);
  const CString metres = Left().TideTimes().GetHeightText(0);
  EXPECT_NE(-1, metres.Find("m"));
  // Ctrl+F, as typed with the graph focused.
  Right().Graph().SetFocus();
  AfxTestKeyStroke('F', AFX_TEST_CTRL);
  Settle();
  EXPECT_TRUE(m_frame->IsFeet());
  EXPECT_TRUE(Right().Graph().IsFeet());
  EXPECT_TRUE(Right().Table().IsFeet());
  EXPECT_TRUE(Right().Aground().IsFeet());
  EXPECT_TRUE(Right().TideLog().IsFeet());
  EXPECT_NE(-1, Left().TideTimes().GetHeightText(0).Find("ft"));
  Command(ID_METRES);
  EXPECT_FALSE(m_frame->IsFeet());
  EXPECT_EQ(metres, Left().TideTimes().GetHeightText(0));
}

TEST_F(Program, ZonesAndSummerTimeCaptions) {
  ASSERT_NE(nullptr, Start());
  const int dover = PortIndex("Dover, England");
  m_frame->SelectPort(dover);
  PickDate(15, 7, 2025);
  EXPECT_EQ(CString("GMT (+1:00)"), Pane(ID_INDICATOR_ZONE));
  PickDate(15, 1, 2025);
  EXPECT_EQ(CString("GMT (+0:00)"), Pane(ID_INDICATOR_ZONE));
  const CString january = Left().TideTimes().GetTimeText(0);
  struct {
    UINT id;
    const char* caption;
  } items[] = {{2112, "GMT (-12:00)"}, {2138, "GMT (+9:30)"}, {2141, "GMT (+12:30)"},
               {2119, "GMT (-5:00)"},  {2127, "GMT (+3:00)"}, {2132, "GMT (+8:00)"}};
  for (const auto& it : items) {
    Command(it.id);
    EXPECT_FALSE(m_frame->IsAutoTimeZone());
    EXPECT_EQ(CString(it.caption), Pane(ID_INDICATOR_ZONE)) << it.id;
  }
  // The times moved with the zone; Automatic brings them back.
  EXPECT_NE(january, Left().TideTimes().GetTimeText(0));
  Command(ID_ZONE_AUTOMATIC);
  EXPECT_TRUE(m_frame->IsAutoTimeZone());
  EXPECT_EQ(january, Left().TideTimes().GetTimeText(0));
  // No summer time with a chosen zone.
  PickDate(15, 7, 2025);
  Command(2124);
  EXPECT_EQ(CString("GMT (+0:00)"), Pane(ID_INDICATOR_ZONE));
}

TEST_F(Program, TheTimeZoneMenuOffersEachZoneOnceUnderItsOwnIds) {
  ASSERT_NE(nullptr, Start());
  // The frame's own copy of menu 128 carries the filled Time Zone popup.
  // Find the popup holding "Automatic".
  std::function<CMenu*(CMenu*)> find = [&](CMenu* m) -> CMenu* {
    for (UINT i = 0; i < m->GetMenuItemCount(); ++i) {
      if (m->GetMenuItemID((int)i) == ID_ZONE_AUTOMATIC) return m;
      if (CMenu* sub = m->GetSubMenu((int)i))
        if (CMenu* f = find(sub)) return f;
    }
    return nullptr;
  };
  CMenu* zones = find(&m_frame->GetMainMenu());
  ASSERT_NE(nullptr, zones);
  std::set<UINT> ids;
  std::set<int> codes;
  int items = 0;
  for (UINT i = 0; i < zones->GetMenuItemCount(); ++i) {
    const UINT id = zones->GetMenuItemID((int)i);
    if (id == 0) continue;
    ++items;
    EXPECT_TRUE(ids.insert(id).second) << "id " << id << " twice";
    EXPECT_NE(ID_PAGE_TIDELOG, id);
    if (id == ID_ZONE_AUTOMATIC) continue;
    const int code = CMainFrame::ZoneOfCommand(id);
    EXPECT_TRUE(codes.insert(code).second) << "zone " << code << " twice";
    EXPECT_TRUE(CMainFrame::IsOfferedZone(code)) << code;
    CString text;
    zones->GetMenuString(i, text, MF_BYPOSITION);
    if (text == "UT (-12:00)") {
      EXPECT_EQ(-12, code);
    }
  }
  EXPECT_EQ(22, items);
  EXPECT_TRUE(codes.count(-12));
  EXPECT_FALSE(codes.count(13));
}

TEST_F(Program, RestoredZonesAreTheOnesTheMenuOffers) {
  struct {
    int stored;
    int autoTz;
    int chosen;
  } cases[] = {{8, 0, 8}, {1130, 0, 1130}, {-12, 0, -12}, {13, 0, -12}, {5, 1, 0}, {-8, 1, 0}, {930, 0, 930}};
  for (const auto& c : cases) {
    WriteProfile("General", "LastPort", DoverIndex());
    WriteProfile("General", "AutoTZ", 0);
    WriteProfile("General", "TZ", c.stored);
    ASSERT_NE(nullptr, Start());
    EXPECT_EQ(c.autoTz, m_frame->IsAutoTimeZone()) << c.stored;
    EXPECT_EQ(c.chosen, m_frame->GetTimeZone()) << c.stored;
    Close();
    TheApp().ResetProfile();
  }
}

TEST_F(Program, SettingsAreRangeChecked) {
  WriteProfile("General", "LastPort", 999999);
  WriteProfile("General", "Draught", -1);  // read as unsigned: 42949672.95 m
  WriteProfile("General", "Depth", -250);
  WriteProfile("General", "MaxHeight", 2000000000);
  WriteProfile("General", "AutoCalcGraph", 7);
  WriteProfile("General", "ThickLine", INT_MIN);
  WriteProfile("General", "GpsComPort", -4);
  WriteProfile("HistoryEuro", "PortHistory0", 123456);
  ASSERT_NE(nullptr, Start());
  EXPECT_EQ(0, m_frame->GetCurrentPort());
  EXPECT_DOUBLE_EQ(1.0, Right().Aground().GetDraught());
  EXPECT_DOUBLE_EQ(5.0, Right().Aground().GetDepthOfWater());
  EXPECT_DOUBLE_EQ(10.0, m_frame->GetMaxHeight());
  EXPECT_TRUE(Right().Graph().HasData());
  EXPECT_EQ(2, Right().Graph().GetLineWidth());
  int port;
  CString name;
  ASSERT_TRUE(m_frame->GetPortHistory()->GetEntry(0, port, name));
  EXPECT_EQ(0, port);  // only the start's own port
  EXPECT_FALSE(m_frame->GetPortHistory()->GetEntry(1, port, name));
  WriteProfile("General", "LastPort", -3);
  ASSERT_NE(nullptr, Restart());
  EXPECT_EQ(0, m_frame->GetCurrentPort());
}

TEST_F(Program, ARestartFindsTheSettingsAndRecentPortsAsTheyWere) {
  ASSERT_NE(nullptr, Start());
  const char* names[] = {"Dover, England", "Aberdeen", "Algeciras"};
  for (const char* n : names) ClickPort(PortIndex(n));
  Command(2138);  // UT (+9:30)
  Command(ID_AGROUND_DETAILS);
  Command(ID_ORDER_BY_LOCATION);
  Right().Graph().SetAreaGraph(1);
  Right().Graph().SetLineColour(RGB(10, 20, 30));
  Right().Aground().SetDraught(1.87);
  const int algeciras = PortIndex("Algeciras");

  ASSERT_NE(nullptr, Restart());
  EXPECT_EQ(algeciras, m_frame->GetCurrentPort());
  EXPECT_FALSE(m_frame->IsAutoTimeZone());
  EXPECT_EQ(930, m_frame->GetChosenTimeZone());
  EXPECT_EQ(CString("GMT (+9:30)"), Pane(ID_INDICATOR_ZONE));
  EXPECT_EQ(1, Right().Graph().IsAreaGraph());
  EXPECT_EQ(RGB(10, 20, 30), Right().Graph().GetLineColour());
  EXPECT_DOUBLE_EQ(1.87, Right().Aground().GetDraught());
  EXPECT_EQ(1, Left().PortsTree().IsInLocationOrder());
  // Most recent first.
  const char* expected[] = {"Algeciras", "Aberdeen", "Dover, England"};
  for (int i = 0; i < 3; ++i) {
    int port;
    CString name;
    ASSERT_TRUE(m_frame->GetPortHistory()->GetEntry(i, port, name));
    EXPECT_EQ(CString(expected[i]), name);
  }
  // A recent port chosen from its menu item.
  Command(ID_RECENT_PORT_FIRST + 2);
  EXPECT_EQ(PortIndex("Dover, England"), m_frame->GetCurrentPort());
  // The settings file holds lengths as hundredths of a metre.
  Close();
  EXPECT_NE(std::string::npos, ProfileText().find("Draught=187"));
}

TEST_F(Program, NearestPortsOfThePortsMenu) {
  ASSERT_NE(nullptr, Start());
  const int dover = PortIndex("Dover, England");
  ClickPort(dover);
  // Right click on the port, then Nearest Ports > the first one, with the mouse.
  CPortsTree& tree = Left().PortsTree();
  CRect r;
  ASSERT_TRUE(tree.GetItemRect(PortItem(dover), &r, TRUE));
  // "Nearest Ports" is the fourth item of the port's menu; then its first port.
  ClickMenuItemsWhenShown({3, 0});
  POINT p = r.CenterPoint();
  tree.ClientToScreen(&p);
  AfxTestMouse(WM_MOUSEMOVE, p);
  AfxTestMouse(WM_RBUTTONDOWN, p);
  AfxTestMouse(WM_RBUTTONUP, p);
  Settle(60);
  const int nearest = tree.GetNearestPort(1);
  ASSERT_NE(dover, nearest);
  EXPECT_EQ(nearest, m_frame->GetCurrentPort());
  EXPECT_NE(-1, Right().Graph().GetTitle().Find(m_frame->PortDB().GetPort(nearest)->GetName()));
  // The nearest port lies within a few miles of Dover.
  EXPECT_LT(GreatCircleDistance(m_frame->PortDB().GetPortPosition(dover), m_frame->PortDB().GetPortPosition(nearest)),
            30.0);
}

TEST_F(Program, ThePortNameOfHandwritingIsFilteredBeforeItIsLookedFor) {
  ASSERT_NE(nullptr, Start());
  EXPECT_TRUE(m_frame->SelectPortByName("  DOVER!! "));
  EXPECT_EQ(0, m_frame->GetCurrentPortName().Find("Dover")) << (LPCTSTR)m_frame->GetCurrentPortName();
  EXPECT_TRUE(m_frame->SelectPortByName("Dover; England"));
  EXPECT_EQ(PortIndex("Dover, England"), m_frame->GetCurrentPort());
  EXPECT_TRUE(m_frame->SelectPortByName("Port Erin; Isle"));
  EXPECT_EQ(PortIndex("Port Erin, Isle of Man"), m_frame->GetCurrentPort());
  EXPECT_FALSE(m_frame->SelectPortByName("a.b.c.d"));  // nothing left to look for
  EXPECT_FALSE(m_frame->SelectPortByName("abc"));
  EXPECT_FALSE(m_frame->SelectPortByName("zzzzqqqq"));
}

TEST_F(Program, TheTidalLogPageHidesTheLeftColumnAndLocksTheSplitter) {
  ASSERT_NE(nullptr, Start());
  CFrameSplitter& s = m_frame->GetSplitter();
  int width, minimum;
  s.GetColumnInfo(0, width, minimum);
  ASSERT_GT(width, 50);
  Command(ID_VIEW_TIDELOG);
  EXPECT_TRUE(Right().IsTideLogVisible());
  EXPECT_FALSE(Left().IsWindowVisible());
  EXPECT_TRUE(s.m_bLocked);
  // The right column starts at the window's edge, past a one-pixel bar.
  CRect right;
  Right().GetWindowRect(&right);
  s.ScreenToClient(&right);
  EXPECT_LE(right.left, 4);
  EXPECT_FALSE(m_frame->GetDayCombo()->GetEnabled());
  // Previous and Next are off, and their buttons show it.
  CCbControl* next = m_frame->GetStandardToolBar()->GetControls()->FindControl(ID_NEXT);
  ASSERT_TRUE(next);
  EXPECT_FALSE(next->GetEnabled());
  // Dragging the bar does nothing.
  POINT bar{right.left - 1, right.top + 100};
  s.ClientToScreen(&bar);
  AfxTestMouse(WM_MOUSEMOVE, bar);
  AfxTestMouse(WM_LBUTTONDOWN, bar);
  AfxTestMouse(WM_MOUSEMOVE, POINT{bar.x + 200, bar.y}, MK_LBUTTON);
  AfxTestMouse(WM_LBUTTONUP, POINT{bar.x + 200, bar.y});
  Settle();
  int still;
  s.GetColumnInfo(0, still, minimum);
  EXPECT_EQ(0, still);
  Command(ID_VIEW_MAP);
  EXPECT_TRUE(Left().IsWindowVisible());
  EXPECT_FALSE(s.m_bLocked);
  int after;
  s.GetColumnInfo(0, after, minimum);
  EXPECT_EQ(width, after);
  EXPECT_TRUE(m_frame->IsMapToolbarShown());
  EXPECT_FALSE(Left().PortsTree().IsWindowVisible());
  EXPECT_TRUE(Left().RoutesTree().IsWindowVisible());
  Command(ID_VIEW_GRAPH);
  EXPECT_TRUE(Left().PortsTree().IsWindowVisible());
  EXPECT_TRUE(m_frame->GetDayCombo()->GetEnabled());
  EXPECT_TRUE(next->GetEnabled());
}

TEST_F(Program, TheYearOfHeightsGoesToTheUsersFolder) {
  ASSERT_NE(nullptr, Start());
  ClickPort(PortIndex("Dover, England"));
  PickDate(17, 5, 2025);
  Command(ID_YEAR_DUMP);
  ASSERT_EQ(1u, m_boxes.size());
  const fs::path file = m_root / "data" / "Neapwise" / "portname.txt";
  EXPECT_NE(std::string::npos, m_boxes[0].find(file.string())) << m_boxes[0];
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  EXPECT_EQ("Dover, England", line);
  int lines = 0;
  std::string first, last;
  while (std::getline(in, line)) {
    if (!lines) first = line;
    last = line;
    ++lines;
  }
  EXPECT_EQ(365 * 144, lines);
  EXPECT_EQ(0u, first.find("1/1/2025,0:0,"));
  EXPECT_EQ(0u, last.find("31/12/2025,23:50,"));
  // The same heights as the day's own prediction, in zone 0 without summer time.
  CPrediction day = *m_frame->GetPrediction();
  char expect[64];
  std::snprintf(expect, sizeof expect, "17/5/2025,6:30,%.2f", (float)day.HeightAt(390, 0, 0));
  std::ifstream again(file);
  std::stringstream all;
  all << again.rdbuf();
  EXPECT_NE(std::string::npos, all.str().find(expect)) << expect;
  // The selected date stays.
  EXPECT_TRUE(Selected() == CQsDateTime(2025, 5, 17, 0, 0, 0));
}

// Settings that could not be read are told at start-up, as a damaged log or routes file is.
TEST_F(Program, DamagedSettingsAreToldAtStartUp) {
  fs::create_directories(m_root / "config" / "Neapwise");
  const fs::path conf = m_root / "config" / "Neapwise" / "Neapwise.conf";
  std::ofstream(conf, std::ios::binary) << std::string("[General]\nGpsDevice=/dev/ttyUSB0\0\n", 34);
  ASSERT_NE(nullptr, Start());
  ASSERT_EQ(1u, m_boxes.size());
  EXPECT_NE(std::string::npos, m_boxes[0].find(conf.string() + "\" could not be read: it holds a NUL byte"))
      << m_boxes[0];
  EXPECT_NE(std::string::npos, m_boxes[0].find(conf.string() + ".bad")) << m_boxes[0];
  EXPECT_NE(std::string::npos, m_boxes[0].find("back to its default")) << m_boxes[0];
  // Told once: the next start finds the settings this run wrote.
  ASSERT_NE(nullptr, Restart());
  EXPECT_EQ(1u, m_boxes.size());
}

// Without a folder for the user's files nothing is written beside the program (or anywhere
// else): the user is told where the files would have gone, and the program works on.
TEST_F(Program, WithoutAFolderForTheUsersFilesNothingIsSavedElsewhere) {
  const fs::path blocker = m_root / "data-is-a-file";
  std::ofstream(blocker) << "x";
  ::setenv("XDG_DATA_HOME", blocker.c_str(), 1);
  char cwd[4096];
  ASSERT_NE(nullptr, ::getcwd(cwd, sizeof cwd));
  const fs::path program = fs::path(AfxGetProgramFolder().GetString());
  auto strays = [&] {
    int n = 0;
    for (const fs::path& folder : {program, fs::path(cwd)})
      for (const char* name : {"logdata.dat", "routes.dat", "portname.txt"}) n += fs::exists(folder / name);
    return n;
  };
  const int before = strays();
  ASSERT_NE(nullptr, Start());
  ASSERT_EQ(1u, m_boxes.size());
  EXPECT_NE(std::string::npos, m_boxes[0].find((blocker / "Neapwise").string() + "\", could not be made"))
      << m_boxes[0];
  EXPECT_NE(std::string::npos, m_boxes[0].find("are not saved")) << m_boxes[0];
  Right().TideLog().AddRow(PortIndex("Aberdeen"), 9, 8, 2027);
  EXPECT_EQ(1, Right().TideLog().GetRowCount()) << "the log works on";
  Command(ID_YEAR_DUMP);
  ASSERT_EQ(2u, m_boxes.size());
  EXPECT_NE(std::string::npos, m_boxes[1].find("could not be made")) << m_boxes[1];
  Close();
  EXPECT_EQ(2u, m_boxes.size()) << "no message at every change or at the end";
  EXPECT_EQ(before, strays());
  ::setenv("XDG_DATA_HOME", (m_root / "data").c_str(), 1);
}

// Every change to the tidal log is in its file at once, as the program runs.
TEST_F(Program, TheTidalLogFileFollowsEveryChange) {
  ASSERT_NE(nullptr, Start());
  const fs::path file = m_root / "data" / "Neapwise" / "logdata.dat";
  Right().TideLog().AddRow(PortIndex("Aberdeen"), 9, 8, 2027);
  Right().TideLog().SetRowTime(0, 15, 45);
  std::vector<TIDELOG_ROW> rows;
  const TIDELOG_LOAD info = CTideLogFile::Load(CString(file.c_str()), -1, rows);
  EXPECT_EQ(TIDELOG_LOAD::ok, info.status);
  EXPECT_EQ((std::vector<TIDELOG_ROW>{{PortIndex("Aberdeen"), 9, 8, 2027, 15, 45}}), rows);
  EXPECT_TRUE(m_boxes.empty());
}

TEST_F(Program, ATableThatDoesNotLoadEndsStartUpWithAMessage) {
  const BYTE* original;
  DWORD size;
  ASSERT_TRUE(AfxFindRawData("RAWDATA", "#179", &original, &size));
  static const BYTE junk[] = {1, 2, 3, 4, 5, 6, 7, 8};
  WriteProfile("General", "LastPort", 7);
  WriteProfile("HistoryEuro", "PortHistory0", 9);
  WriteProfile("General", "Draught", 155);
  AfxRegisterResource("RAWDATA", "#179", junk, sizeof junk);
  EXPECT_EQ(nullptr, Start());
  AfxRegisterResource("RAWDATA", "#179", original, size);
  ASSERT_EQ(1u, m_boxes.size());
  EXPECT_NE(std::string::npos, m_boxes[0].find("port table")) << m_boxes[0];
  EXPECT_EQ(nullptr, TheApp().m_pMainWnd);
  // The user's settings and recent ports are untouched.
  TheApp().ResetProfile();
  EXPECT_EQ(7u, AfxGetApp()->GetProfileInt("General", "LastPort", -1));
  EXPECT_EQ(9u, AfxGetApp()->GetProfileInt("HistoryEuro", "PortHistory0", -1));
  EXPECT_EQ(155u, AfxGetApp()->GetProfileInt("General", "Draught", -1));
  // And the next start works.
  ASSERT_NE(nullptr, Start());
  EXPECT_EQ(7, m_frame->GetCurrentPort());
}

TEST_F(Program, AFrameThatCannotBeCreatedEndsStartUpWithAMessage) {
  // Without its menu the frame's creation fails.
  AfxEnsureUiResources();
  HRSRC res = FindResource(nullptr, MAKEINTRESOURCE(IDR_MAINFRAME), RT_MENU);
  ASSERT_NE(nullptr, res);
  const DWORD size = SizeofResource(nullptr, res);
  const std::vector<BYTE> menu((const BYTE*)LockResource(LoadResource(nullptr, res)),
                               (const BYTE*)LockResource(LoadResource(nullptr, res)) + size);
  WriteProfile("General", "LastPort", 5);
  ASSERT_TRUE(AfxUnregisterResource(RT_MENU, MAKEINTRESOURCE(IDR_MAINFRAME)));
  EXPECT_EQ(nullptr, Start());
  AfxRegisterResourceCopy(RT_MENU, MAKEINTRESOURCE(IDR_MAINFRAME), menu.data(), menu.size());
  ASSERT_EQ(1u, m_boxes.size());
  EXPECT_NE(std::string::npos, m_boxes[0].find("could not create its main window")) << m_boxes[0];
  TheApp().ResetProfile();
  EXPECT_EQ(5u, AfxGetApp()->GetProfileInt("General", "LastPort", -1));
  EXPECT_FALSE(AfxQuitRequested());
  ASSERT_NE(nullptr, Start());
  EXPECT_EQ(5, m_frame->GetCurrentPort());
}

TEST_F(Program, HelpAndTheWebCommandsOpenTheHelpPages) {
  ASSERT_NE(nullptr, Start());
  static std::vector<std::string> opened;
  opened.clear();
  AfxSetShellOpenHookForTest([](LPCTSTR url) {
    opened.push_back(url);
    return TRUE;
  });
  Command(ID_HELP_INDEX);
  Command(ID_WEB_HOME);
  Command(ID_WEB_NEWS);
  Command(ID_WEB_SUPPORT);
  Command(ID_WEB_FAQ);
  Command(ID_HELP_USING);
  Command(ID_DEFAULT_HELP);
  // F1 as a user presses it, through the frame's accelerators.
  m_frame->SetFocus();
  AfxTestKeyStroke(VK_F1);
  Settle();
  AfxSetShellOpenHookForTest(nullptr);
  const char* pages[] = {"help/index.html", "help/index.html", "help/news.html",  "help/support.html",
                         "help/faq.html",   "help/index.html", "help/index.html", "help/index.html"};
  ASSERT_EQ(std::size(pages), opened.size());
  for (size_t i = 0; i < std::size(pages); ++i) {
    EXPECT_NE(std::string::npos, opened[i].find(pages[i])) << opened[i];
    const std::string path = opened[i].substr(opened[i].find("file://") == 0 ? 7 : 0);
    EXPECT_TRUE(fs::exists(path)) << path;
  }
  EXPECT_TRUE(m_boxes.empty());
}

struct ZoneTimeCase {
  int zone, summer, hour, minute;
};

TEST(ZoneTime, UniversalTimesMoveIntoTheZone) {
  const CQsDateTime ut(2025, 6, 12, 12, 0, 0);
  const ZoneTimeCase cases[] = {{0, 0, 12, 0},    {0, 1, 13, 0},    {-5, 0, 7, 0},  {-5, 1, 8, 0},    {930, 0, 21, 30},
                                {930, 1, 22, 30}, {-330, 0, 8, 30}, {-12, 0, 0, 0}, {1230, 0, 0, 30}, {3, 0, 15, 0}};
  for (const auto& c : cases) {
    const CQsDateTime t = CMainFrame::UniversalToZoneTime(ut, c.zone, c.summer);
    EXPECT_EQ(c.hour, t.GetHour()) << c.zone << " " << c.summer;
    EXPECT_EQ(c.minute, t.GetMinute()) << c.zone << " " << c.summer;
  }
}

}  // namespace

namespace {
using namespace app_test;

TEST_F(Program, PanelsTimerGpsAndTheFramesSmallestSize) {
  ASSERT_NE(nullptr, Start());
  // The frame cannot be dragged below 640 x 450.
  RECT drag{100, 100, 300, 200};
  m_frame->SendMessage(WM_SIZING, 8 /* the bottom-right corner */, (LPARAM)&drag);
  EXPECT_EQ(740, drag.right);
  EXPECT_EQ(550, drag.bottom);

  // View > Status Bar hides its bar and gives the room to the panes.
  CRect before0, after0;
  m_frame->GetSplitter().GetWindowRect(&before0);
  Command(ID_VIEW_STATUS_BAR);
  EXPECT_FALSE(CRightPane::Shown(m_frame->GetStatusBar()));
  m_frame->GetSplitter().GetWindowRect(&after0);
  EXPECT_EQ(before0.top, after0.top);
  EXPECT_GT(after0.bottom, before0.bottom);
  Command(ID_VIEW_STATUS_BAR);
  m_frame->GetSplitter().GetWindowRect(&after0);
  EXPECT_EQ(before0, after0);

  // Running aground details off: the graph takes the height less the title band.
  CRect pane, graph;
  Right().GetClientRect(&pane);
  Command(ID_AGROUND_DETAILS);
  EXPECT_FALSE(Right().Aground().IsWindowVisible());
  Right().Graph().GetWindowRect(&graph);
  EXPECT_EQ(pane.Height() - 26, graph.Height());
  Command(ID_AGROUND_DETAILS);
  EXPECT_TRUE(Right().Aground().IsWindowVisible());

  // High and low water times off: the ports list grows.
  CRect before, after;
  Left().PortsTree().GetWindowRect(&before);
  Command(ID_TIDE_TIMES);
  EXPECT_FALSE(Left().TideTimes().IsWindowVisible());
  Left().PortsTree().GetWindowRect(&after);
  EXPECT_EQ(before.Height() + 108, after.Height());
  Command(ID_TIDE_TIMES);
  EXPECT_TRUE(Left().TideTimes().IsWindowVisible());

  // In current-time mode the timer moves the mark to now.
  Command(ID_USE_CURRENT_TIME);
  EXPECT_FALSE(Enabled(Right().Aground().GetTimeCombo()));
  Right().Graph().SetTimeMark(5);
  m_frame->SendMessage(WM_TIMER, CMainFrame::kTimerId);
  const CQsDateTime now = CQsDateTime::GetCurrent();
  EXPECT_NEAR(now.GetHour() * 60 + now.GetMinute(), Right().Graph().GetTimeMark(), 1);
  Command(ID_USE_CURRENT_TIME);
  EXPECT_TRUE(Enabled(Right().Aground().GetTimeCombo()));
  Right().Graph().SetTimeMark(5);
  m_frame->SendMessage(WM_TIMER, CMainFrame::kTimerId);
  EXPECT_EQ(Right().Aground().GetTimeMinutes(), Right().Graph().GetTimeMark());

  // The GPS reader's start adds the icon pane once; its stop removes it.
  const int panes = m_frame->GetStatusBar().GetCount();
  m_frame->SendMessage(WM_GPS_STARTED);
  m_frame->SendMessage(WM_GPS_STARTED);
  EXPECT_EQ(panes + 1, m_frame->GetStatusBar().GetCount());
  EXPECT_TRUE(Left().IsGpsShown());
  m_frame->SendMessage(WM_GPS_STOPPED);
  EXPECT_EQ(panes, m_frame->GetStatusBar().GetCount());
  EXPECT_FALSE(Left().IsGpsShown());
}

TEST_F(Program, TheRecentPortsMenuListsThePortsLookedAt) {
  ASSERT_NE(nullptr, Start());
  ClickPort(PortIndex("Aberdeen"));
  ClickPort(PortIndex("Algeciras"));
  // Ports > Recent Ports is listed afresh as it opens.
  CMenu* recent = m_frame->GetMainMenu().GetSubMenu(3)->GetSubMenu(0);
  ASSERT_NE(nullptr, recent);
  m_frame->SendMessage(WM_INITMENUPOPUP, (WPARAM)recent->GetSafeHmenu(), 0);
  std::vector<CString> items;
  for (UINT i = 0; i < recent->GetMenuItemCount(); ++i) {
    CString s;
    recent->GetMenuString(i, s, MF_BYPOSITION);
    items.push_back(s);
    EXPECT_EQ(ID_RECENT_PORT_FIRST + i, recent->GetMenuItemID((int)i));
  }
  ASSERT_GE(items.size(), 3u);
  EXPECT_EQ(CString("&1 Algeciras"), items[0]);
  EXPECT_EQ(CString("&2 Aberdeen"), items[1]);
}

TEST_F(Program, ARecentPortChosenFromTheMenuBar) {
  ASSERT_NE(nullptr, Start());
  ClickPort(PortIndex("Aberdeen"));
  ClickPort(PortIndex("Algeciras"));
  Settle((int)GetDoubleClickTime() + 50);
  // Ports > Recent Ports > "2 Aberdeen", with the mouse: the submenu, then its second port.
  ClickMenuItemsWhenShown({0, 1});
  ClickMenuTitle(m_frame, 3);
  ASSERT_TRUE(MenuClicksDone());
  Settle();
  EXPECT_EQ(PortIndex("Aberdeen"), m_frame->GetCurrentPort());
  EXPECT_EQ(0, Right().Graph().GetTitle().Find("Aberdeen - "));
}

TEST_F(Program, SunriseAndSunsetInTheStatusBarNorthOfTheArcticCircle) {
  ASSERT_NE(nullptr, Start());
  const int hammerfest = PortIndex("Hammerfest");
  ASSERT_GE(hammerfest, 0);
  ClickPort(hammerfest);
  PickDate(15, 12, 2025);
  EXPECT_EQ(CString("Sun does not rise"), Pane(ID_INDICATOR_SUNRISE));
  PickDate(21, 6, 2025);
  EXPECT_EQ(CString("Sun does not set"), Pane(ID_INDICATOR_SUNSET));
  // Dover in June: both, in local summer time.
  ClickPort(PortIndex("Dover, England"));
  EXPECT_EQ(0, Pane(ID_INDICATOR_SUNRISE).Find(" Sunrise: 04:")) << (LPCTSTR)Pane(ID_INDICATOR_SUNRISE);
  EXPECT_EQ(0, Pane(ID_INDICATOR_SUNSET).Find(" Sunset: 21:")) << (LPCTSTR)Pane(ID_INDICATOR_SUNSET);
}

TEST_F(Program, TheTidalLogKeepsItsRowsAndGoesToTheirGraph) {
  ASSERT_NE(nullptr, Start());
  const int aberdeen = PortIndex("Aberdeen");
  Right().TideLog().AddRow(aberdeen, 9, 8, 2027);
  ASSERT_NE(nullptr, Restart());
  ASSERT_EQ(1, Right().TideLog().GetRowCount()) << "the log was saved and read back";
  Command(ID_VIEW_TIDELOG);
  // Right click on the row, then "Goto Graph".
  ClickMenuItemsWhenShown({0});
  POINT p{60, 32};
  Right().TideLog().ClientToScreen(&p);
  AfxTestMouse(WM_MOUSEMOVE, p);
  AfxTestMouse(WM_RBUTTONDOWN, p);
  AfxTestMouse(WM_RBUTTONUP, p);
  Settle(60);
  EXPECT_EQ(aberdeen, m_frame->GetCurrentPort());
  EXPECT_TRUE(Selected() == CQsDateTime(2027, 8, 9, 0, 0, 0));
  EXPECT_TRUE(Right().IsGraphVisible());
  EXPECT_TRUE(Left().IsWindowVisible());
  EXPECT_EQ(CString("Aberdeen - Mon 9 Aug 2027"), Right().Graph().GetTitle());
}

TEST(FrameSize, TheFirstSizeFollowsTheScreen) {
  struct {
    int maxW, maxH;
    BOOL sized;
    int w, h;
  } cases[] = {{1000, 700, FALSE, 0, 0},     {1001, 900, TRUE, 950, 714},   {1280, 1000, TRUE, 950, 714},
               {1399, 1000, TRUE, 979, 736}, {1400, 1050, TRUE, 1200, 902}, {1920, 1080, TRUE, 1200, 902},
               {1920, 850, TRUE, 1200, 800}};
  for (const auto& c : cases) {
    CSize size(-1, -1);
    EXPECT_EQ(c.sized, CMainFrame::InitialSize(c.maxW, c.maxH, size)) << c.maxW;
    if (c.sized) {
      EXPECT_EQ(c.w, size.cx) << c.maxW << "x" << c.maxH;
      EXPECT_EQ(c.h, size.cy) << c.maxW << "x" << c.maxH;
    }
  }
}

TEST_F(Program, TheLineWidthSettingRoundTrips) {
  struct {
    int stored, width, saved;
  } cases[] = {{0, 1, 0}, {1, 2, 1}, {-1, 2, 1}, {2, 3, 0}, {4, 5, 0}, {5, 2, 1}, {77, 2, 1}};
  for (const auto& c : cases) {
    WriteProfile("General", "ThickLine", c.stored);
    ASSERT_NE(nullptr, Start());
    EXPECT_EQ(c.width, Right().Graph().GetLineWidth()) << c.stored;
    Close();
    TheApp().ResetProfile();
    EXPECT_EQ((UINT)c.saved, AfxGetApp()->GetProfileInt("General", "ThickLine", -9)) << c.stored;
  }
}

TEST_F(Program, TheTablePagesZoneCaptionNamesBothZonesInAMonthOfChange) {
  ASSERT_NE(nullptr, Start());
  ClickPort(PortIndex("Dover, England"));
  Command(ID_VIEW_TABLE);
  struct {
    int month;
    const char* caption;
  } cases[] = {{3, "GMT (+1:00)/GMT (+0:00)"}, {7, "GMT (+1:00)"}, {1, "GMT (+0:00)"}, {10, "GMT (+1:00)/GMT (+0:00)"}};
  for (const auto& c : cases) {
    PickDate(10, c.month, 2025);
    Command(ID_CALCULATE_TABLE);
    EXPECT_EQ(CString(c.caption), Pane(ID_INDICATOR_ZONE)) << c.month;
    EXPECT_EQ(CString(c.caption), Right().Table().GetZoneCaption()) << c.month;
  }
  // A chosen zone has no summer time.
  Command(2126);  // GMT (+2:00)
  EXPECT_EQ(CString("GMT (+2:00)"), Pane(ID_INDICATOR_ZONE));
}

// On the days the clocks change, the times are those the clocks show: before the change in
// summer time, after it in winter time, and each high and low water on one day only.
TEST_F(Program, ChangeDaysShowTheirTimesAsTheClocksRunAndListEachEventOnce) {
  ASSERT_NE(nullptr, Start());
  ClickPort(PortIndex("Lowestoft"));
  PickDate(26, 10, 2025);
  Command(ID_CALCULATE_GRAPH);
  // 25 hours hold five events; the first is at 00:17 summer time (23:17 UT on the 25th).
  const char* const autumn[] = {"00:17", "05:24", "11:39", "17:38", "23:45"};
  ASSERT_EQ(5, Left().TideTimes().GetCount());
  for (int i = 0; i < 5; ++i) EXPECT_EQ(CString(autumn[i]), Left().TideTimes().GetTimeText(i)) << i;
  EXPECT_EQ(1500, Right().Graph().GetLocalDay().GetMinutes());
  EXPECT_EQ(CString("Time (25 hours: clocks go back at 02:00)"), Right().Graph().GetTimeCaption());
  // The month's table lists the same five, and the 25th ends with its own last event.
  Command(ID_VIEW_TABLE);
  Command(ID_CALCULATE_TABLE);
  CTableWnd& table = Right().Table();
  for (int i = 0; i < 5; ++i) EXPECT_EQ(CString(autumn[i]), table.GetEventTimeText(i + 1, 26)) << i;
  EXPECT_EQ(CString("18:05"), table.GetEventTimeText(3, 25));
  EXPECT_FALSE(table.IsEventPresent(4, 25)) << "00:17 of the 26th is not the 25th's too";
  EXPECT_NE(-1, table.BuildText().Find("23:45"));
  // Boston on the November change: the low water before 02:00 is in daylight time.
  Command(ID_VIEW_GRAPH);
  ClickPort(PortIndex("Boston"));
  PickDate(2, 11, 2025);
  Command(ID_CALCULATE_GRAPH);
  ASSERT_GE(Left().TideTimes().GetCount(), 1);
  EXPECT_EQ(CString("01:39"), Left().TideTimes().GetTimeText(0));
  // A high water right at midnight: the two days' predictions put it at 23:59 and at 00:00; it
  // is listed once, on the 10th, in the tide times and in the table alike.
  PickDate(10, 11, 2026);
  Command(ID_CALCULATE_GRAPH);
  ASSERT_EQ(4, Left().TideTimes().GetCount());
  EXPECT_EQ(CString("23:59"), Left().TideTimes().GetTimeText(3));
  PickDate(11, 11, 2026);
  Command(ID_CALCULATE_GRAPH);
  ASSERT_GE(Left().TideTimes().GetCount(), 1);
  EXPECT_NE(CString("00:00"), Left().TideTimes().GetTimeText(0));
  Command(ID_VIEW_TABLE);
  Command(ID_CALCULATE_TABLE);
  EXPECT_EQ(CString("23:59"), Right().Table().GetEventTimeText(4, 10));
  EXPECT_NE(CString("00:00"), Right().Table().GetEventTimeText(1, 11));
  EXPECT_EQ(Left().TideTimes().GetTimeText(0), Right().Table().GetEventTimeText(1, 11));
}

}  // namespace

TEST_F(Program, TheViewMenuTicksTheBarsThatShow) {
  ASSERT_NE(nullptr, Start());
  CMenu* view = m_frame->GetMainMenu().GetSubMenu(1);
  ASSERT_NE(nullptr, view);
  auto ticked = [&](UINT id) {
    m_frame->SendMessage(WM_INITMENUPOPUP, (WPARAM)view->GetSafeHmenu(), 1);
    return (view->GetMenuState(id, MF_BYCOMMAND) & MF_CHECKED) != 0;
  };
  // The toolbars can't be closed: View > Toolbar leaves "Standard" where it is.
  Command(ID_VIEW_TOOLBAR);
  EXPECT_TRUE(m_frame->GetStandardToolBar()->IsWindowVisible());
  EXPECT_TRUE(ticked(ID_VIEW_STATUS_BAR));
  Command(ID_VIEW_STATUS_BAR);
  EXPECT_FALSE(ticked(ID_VIEW_STATUS_BAR));
  Command(ID_VIEW_STATUS_BAR);
  EXPECT_TRUE(ticked(ID_VIEW_STATUS_BAR));
}

TEST_F(Program, TheRunningAgroundLabelsAreWhole) {
  ASSERT_NE(nullptr, Start());
  for (UINT units : {ID_METRES, ID_FEET}) {
    Command(units);
    int labels = 0;
    for (CWnd* w = Right().Aground().GetWindow(GW_CHILD); w; w = w->GetWindow(GW_HWNDNEXT)) {
      CString text;
      w->GetWindowText(text);
      if (text.IsEmpty() || !std::isalpha((unsigned char)text[0])) continue;  // values, time, depth
      CClientDC dc(w);
      CFont* old = dc.SelectObject(w->GetFont());
      CRect rc;
      w->GetClientRect(&rc);
      EXPECT_LE(dc.GetTextExtent(text).cx, rc.Width()) << (LPCTSTR)text;  // one line, not cut
      dc.SelectObject(old);
      ++labels;
    }
    EXPECT_EQ(5, labels);
  }
}

TEST_F(Program, TheTidalLogShowsScrollBarsOnlyWhenThereIsSomethingToScroll) {
  ASSERT_NE(nullptr, Start());
  Command(ID_VIEW_TIDELOG);
  CWnd& log = Right().TideLog();
  // The room a bar takes: the window less its client area, across and down.
  auto bars = [&log] {
    CRect window, client;
    log.GetWindowRect(&window);
    log.GetClientRect(&client);
    return CSize(window.Width() - client.Width(), window.Height() - client.Height());
  };
  const int v = ::GetSystemMetrics(SM_CXVSCROLL), h = ::GetSystemMetrics(SM_CYHSCROLL);
  // A wide window holds every column and the empty log's one line.
  m_frame->MoveWindow(0, 0, 1200, 700);
  Settle();
  EXPECT_LT(bars().cx, v);
  EXPECT_LT(bars().cy, h);
  // A narrow one scrolls across; the one line still fits down.
  m_frame->MoveWindow(0, 0, 640, 450);
  Settle();
  EXPECT_LT(bars().cx, v);
  EXPECT_GE(bars().cy, h);
  // And wide again: gone.
  m_frame->MoveWindow(0, 0, 1200, 700);
  Settle();
  EXPECT_LT(bars().cy, h);
}

namespace {
// A click on a toolbar button, as a user makes it.
void ClickButton(CCbToolBar* bar, UINT id) {
  CCbControl* c = bar->GetControls()->FindControl((int)id);
  ASSERT_TRUE(c);
  CPoint pt = c->GetRect().CenterPoint();
  bar->ClientToScreen(&pt);
  AfxTestMouse(WM_MOUSEMOVE, pt);
  // The press holds the mouse in its loop: the release comes from inside it.
  CTestCallLater release(5, [pt] { AfxTestMouse(WM_LBUTTONUP, pt); });
  AfxTestMouse(WM_LBUTTONDOWN, pt);
  ASSERT_TRUE(release.Wait());
}
}  // namespace

TEST_F(Program, TheStandardToolbarSwitchesPagesAndShowsTheirState) {
  ASSERT_NE(nullptr, Start());
  CCbToolBar* standard = m_frame->GetStandardToolBar();
  ASSERT_TRUE(standard);
  EXPECT_EQ(standard->GetControlCount(), 17);
  EXPECT_TRUE(standard->IsWindowVisible());
  // Every control shows, the date combos among them.
  int shown = 0;
  for (int i = 0; i < standard->GetControlCount(); ++i) shown += standard->GetControl(i)->IsVisible();
  EXPECT_EQ(shown, 17);
  for (UINT id : {ID_DAY_COMBO, ID_MONTH_COMBO, ID_YEAR_COMBO})
    EXPECT_TRUE(dynamic_cast<CCbControlComboBox*>(standard->GetControls()->FindControl((int)id))) << id;
  // Under the menu bar, above the panes.
  CRect bar, panes;
  standard->GetWindowRect(&bar);
  m_frame->GetSplitter().GetWindowRect(&panes);
  EXPECT_LE(bar.bottom, panes.top);
  auto checked = [&](UINT id) { return standard->GetControls()->FindControl((int)id)->GetChecked(); };
  EXPECT_EQ(checked(ID_VIEW_GRAPH), 1);
  EXPECT_EQ(checked(m_frame->IsFeet() ? ID_FEET : ID_METRES), 1);

  // A hovered button's description has no message pane to go to: the verdict stays.
  const CString verdict = Pane(ID_INDICATOR_AGROUND);
  CPoint hover = standard->GetControls()->FindControl(ID_VIEW_TABLE)->GetRect().CenterPoint();
  standard->ClientToScreen(&hover);
  AfxTestMouse(WM_MOUSEMOVE, hover);
  Settle();
  EXPECT_EQ(standard->GetSelected(), standard->GetControls()->FindControl(ID_VIEW_TABLE));
  EXPECT_EQ(Pane(ID_INDICATOR_AGROUND), verdict);

  ClickButton(standard, ID_VIEW_TABLE);
  Settle();
  EXPECT_TRUE(Right().Table().IsWindowVisible());
  EXPECT_FALSE(Right().Graph().IsWindowVisible());
  EXPECT_EQ(checked(ID_VIEW_TABLE), 1);
  EXPECT_EQ(checked(ID_VIEW_GRAPH), 0);

  ClickButton(standard, ID_VIEW_GRAPH);
  Settle();
  EXPECT_TRUE(Right().Graph().IsWindowVisible());
  EXPECT_EQ(checked(ID_VIEW_GRAPH), 1);
  AfxSaveWindowPng(standard->GetSafeHwnd(), "program_standard_toolbar.png");

  // The map page shows the "Map" toolbar beside "Standard"; leaving it hides it again.
  CCbToolBar* map = m_frame->GetMapToolBar();
  ASSERT_TRUE(map);
  EXPECT_FALSE(map->IsVisible());
  Command(ID_VIEW_MAP);
  EXPECT_TRUE(map->IsVisible());
  CRect m;
  map->GetWindowRect(&m);
  EXPECT_GE(m.left, bar.right);
  EXPECT_EQ(m.top, bar.top);
  Command(ID_VIEW_GRAPH);
  EXPECT_FALSE(map->IsVisible());
}

// The frame shows the gradient look; no colour scheme is found here, so its derived colours.
TEST_F(Program, TheBarsShowTheGradientLookInItsDerivedColours) {
  ASSERT_NE(nullptr, Start());
  auto* look = dynamic_cast<CbPaintThemes::CCbGradientTheme*>(CbPaintManager());
  ASSERT_NE(nullptr, look);
  EXPECT_EQ(2, look->GetCurrentTheme());
  EXPECT_EQ(0, look->GetAppliedScheme());
  CCbToolBar* standard = m_frame->GetStandardToolBar();
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(standard->GetSafeHwnd(), &pic));
  CRect rc;
  standard->GetClientRect(&rc);
  EXPECT_EQ(look->m_clrBarLight, pic.GetPixel(4, 1));
  EXPECT_NE(look->m_clrBarLight, look->m_clrBarDark);
  EXPECT_EQ(look->m_clrBarShadow, pic.GetPixel(rc.Width() / 2, rc.bottom - 1));
}

TEST_F(Program, TheDateCombosStartFromTodayWithinTheTables) {
  ASSERT_NE(nullptr, Start());
  const CQsDateTime first = m_frame->GetFirstDate(), last = m_frame->GetLastDate();
  struct Case {
    CQsDateTime today, shown;
    int days;
  } cases[] = {
      // 29 February of a leap year: 29 days, the 29th selected.
      {CQsDateTime(2024, 2, 29, 9, 30, 0), CQsDateTime(2024, 2, 29, 0, 0, 0), 29},
      {CQsDateTime(2023, 2, 28, 0, 0, 0), CQsDateTime(2023, 2, 28, 0, 0, 0), 28},
      // Outside the tables: their ends, not a year of their own.
      {CQsDateTime(last.GetYear() + 3, 6, 1, 0, 0, 0), last, ::DaysInMonth(last.GetMonth(), last.GetYear())},
      {CQsDateTime(first.GetYear() - 3, 6, 1, 0, 0, 0), first, ::DaysInMonth(first.GetMonth(), first.GetYear())},
  };
  for (const Case& k : cases) {
    m_frame->FillDateCombos(k.today);
    EXPECT_EQ(k.days, m_frame->GetDayCombo()->GetCount()) << (LPCTSTR)k.today.Format("%d %m %Y");
    EXPECT_TRUE(Selected() == k.shown) << (LPCTSTR)Selected().Format("%d %m %Y");
    EXPECT_EQ(last.GetYear() - first.GetYear() + 1, m_frame->GetYearCombo()->GetCount());
    CString year;
    year.Format("%d", k.shown.GetYear());
    EXPECT_EQ(year, m_frame->GetYearCombo()->GetEditText());
  }
}

TEST_F(Program, TheStandardToolbarCarriesTheDateCombos) {
  ASSERT_NE(nullptr, Start());
  PickDate(29, 2, 2024);
  CCbToolBar* standard = m_frame->GetStandardToolBar();
  auto* month = dynamic_cast<CCbControlComboBox*>(m_frame->GetMonthCombo());
  ASSERT_TRUE(month);
  EXPECT_EQ(standard, month->GetParent());
  EXPECT_EQ(100, month->GetRect().Width());
  EXPECT_EQ(50, dynamic_cast<CCbControlComboBox*>(m_frame->GetDayCombo())->GetRect().Width());
  EXPECT_EQ(CString("29"), m_frame->GetDayCombo()->GetEditText());
  EXPECT_EQ(CQsDateTime(2024, 2, 1, 0, 0, 0).Format("%B"), m_frame->GetMonthCombo()->GetEditText());
  // Moving over the open month list and leaving with Esc changes nothing.
  ASSERT_TRUE(OpenCombo(month));
  const CPoint over = ListItemPoint(month, 5);
  AfxTestMoveTo(month->GetListHwnd(), over.x, over.y);
  Settle();
  EXPECT_EQ(5, month->GetCurSel());
  // The picture: "Standard" with the month's list open.
  ASSERT_TRUE(month->IsListOpen());
  app_test::SaveFrameWithList(m_frame, month, "program_standard_combos.png");
  AfxTestKeyStroke(VK_ESCAPE);
  Settle();
  EXPECT_FALSE(month->IsListOpen());
  EXPECT_EQ(1, month->GetCurSel());
  EXPECT_TRUE(Selected() == CQsDateTime(2024, 2, 29, 0, 0, 0));
  EXPECT_NE(-1, Right().Graph().GetTitle().Find("29 Feb 2024"));
  // The previous and next buttons move the combos.
  AfxTestWait((int)GetDoubleClickTime() + 20);
  CCbControl* next = standard->GetControls()->FindControl(ID_NEXT);
  ASSERT_TRUE(next && next->IsVisible());
  const CPoint at = next->GetRect().CenterPoint();
  AfxTestMoveTo(standard->GetSafeHwnd(), at.x, at.y);
  {
    CPoint screen = at;
    standard->ClientToScreen(&screen);
    CTestCallLater release(5, [screen] { AfxTestMouse(WM_LBUTTONUP, screen); });
    AfxTestMouse(WM_LBUTTONDOWN, screen);
    ASSERT_TRUE(release.Wait());
  }
  Settle();
  EXPECT_TRUE(Selected() == CQsDateTime(2024, 3, 1, 0, 0, 0));
  EXPECT_EQ(31, m_frame->GetDayCombo()->GetCount());
  EXPECT_EQ(CString("1"), m_frame->GetDayCombo()->GetEditText());
  EXPECT_EQ(CQsDateTime(2024, 3, 1, 0, 0, 0).Format("%B"), m_frame->GetMonthCombo()->GetEditText());
}

namespace {
using namespace app_test;

// A right click on a page of the program, then the menu's item, with the mouse.
void RightClickThenItem(CWnd& page, int item) {
  CRect r;
  page.GetClientRect(&r);
  POINT p = r.CenterPoint();
  page.ClientToScreen(&p);
  ClickMenuItemsWhenShown({item});
  AfxTestMouse(WM_MOUSEMOVE, p);
  AfxTestMouse(WM_RBUTTONDOWN, p);
  AfxTestMouse(WM_RBUTTONUP, p);
}

TEST_F(Program, TheMonthlyTableAndTheHeightFinderHaveTheirContextMenus) {
  ASSERT_NE(nullptr, Start());
  Command(ID_VIEW_TABLE);
  Command(ID_CALCULATE_TABLE);
  ASSERT_TRUE(Right().Table().IsCalculated());
  // "&Feet", the last item of the table's menu.
  RightClickThenItem(Right().Table(), -1);
  ASSERT_TRUE(MenuClicksDone()) << "the table has no context menu";
  EXPECT_TRUE(m_frame->IsFeet());
  // The height finder's menu, with results: "&Metres", the item before the last.
  Command(ID_VIEW_HEIGHTFIND);
  Right().HeightFind().Find();
  RightClickThenItem(Right().HeightFind(), -2);
  ASSERT_TRUE(MenuClicksDone()) << "the height finder has no context menu";
  EXPECT_FALSE(m_frame->IsFeet());
}

}  // namespace

namespace {
using namespace app_test;

// The File menu as it shows when opened: whether an item is grayed, and its text.
struct FileItem {
  bool grayed;
  std::string text;
};

FileItem FileMenuItem(CMainFrame* frame, UINT id) {
  CMenu* file = frame->GetMainMenu().GetSubMenu(0);
  frame->SendMessage(WM_INITMENUPOPUP, (WPARAM)file->GetSafeHmenu(), 0);
  CString text;
  file->GetMenuString(id, text, MF_BYCOMMAND);
  return {(file->GetMenuState(id, MF_BYCOMMAND) & MF_GRAYED) != 0, (LPCTSTR)text};
}

TEST_F(Program, PrintAndSaveAsFollowThePageShown) {
  ASSERT_NE(nullptr, Start());
  std::vector<std::string> proposed;
  int printDialogs = 0;
  AfxSetFileDialogHook([&](const AFX_FILEDLG_REQUEST& r) {
    proposed.push_back(r.fileName);
    return AFX_FILEDLG_ANSWER{IDCANCEL, "", 0};
  });
  AfxSetPrintDialogHook([&](const AFX_PRINTDLG_REQUEST&) {
    ++printDialogs;
    AFX_PRINTDLG_ANSWER a;
    a.result = IDCANCEL;
    return a;
  });
  const struct {
    UINT page;                        // the page's View command
    std::function<void()> calculate;  // what gives the page something to print, or null
    bool printBefore;                 // Print enabled before that
    bool save;                        // Save As enabled once calculated
    const char* saveText;             // the Save As item's text on the page
    const char* proposed;             // the name the save dialog proposes, or null when nothing saves
  } cases[] = {
      {ID_VIEW_GRAPH, nullptr, true, true, "Save Graph As...\tCtrl+S", "Neapwise Graph"},
      {ID_VIEW_TABLE, [&] { Command(ID_CALCULATE_TABLE); }, false, true, "Save Table As...\tCtrl+S", "Neapwise Table"},
      // The height finder leaves the item's text as the last page set it.
      {ID_VIEW_HEIGHTFIND, [&] { Right().HeightFind().Find(); }, false, true, "Save Table As...\tCtrl+S",
       "Neapwise Results"},
      {ID_VIEW_TIDELOG, nullptr, true, false, "Save Table As...\tCtrl+S", nullptr},
      {ID_VIEW_MAP, nullptr, true, false, "Save Table As...\tCtrl+S", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.page);
    Command(c.page);
    EXPECT_EQ(!c.printBefore, FileMenuItem(m_frame, ID_FILE_PRINT).grayed);
    if (c.calculate) {
      EXPECT_TRUE(FileMenuItem(m_frame, ID_SAVE_AS).grayed);
      c.calculate();
    }
    EXPECT_FALSE(FileMenuItem(m_frame, ID_FILE_PRINT).grayed);
    const FileItem save = FileMenuItem(m_frame, ID_SAVE_AS);
    EXPECT_EQ(!c.save, save.grayed);
    EXPECT_EQ(c.saveText, save.text);

    // The commands reach the page shown, whatever the items' state.
    proposed.clear();
    printDialogs = 0;
    Command(ID_SAVE_AS);
    EXPECT_EQ(c.proposed ? std::vector<std::string>{c.proposed} : std::vector<std::string>{}, proposed);
    Command(ID_FILE_PRINT);
    EXPECT_EQ(1, printDialogs);
  }
  AfxSetFileDialogHook(nullptr);
  AfxSetPrintDialogHook(nullptr);
  EXPECT_TRUE(m_boxes.empty());
}

}  // namespace
