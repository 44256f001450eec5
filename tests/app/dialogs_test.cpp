// The shell's dialogs as a user meets them: the Options and port pages with bad inputs, the
// CSV export read back, the start-up notice closing itself, the tip of the day, About and the
// splash screen; and the drawing helpers they share.
#include "app/AboutDlg.h"
#include "app/DataExport.h"
#include "app/DialogDrawing.h"
#include "app/DlgWarning.h"
#include "app/OptionsPages.h"
#include "app/Splash.h"
#include "app/TipDlg.h"
#include "model/LocalDay.h"
#include "model/Prediction.h"
#include "model/SummerTime.h"
#include "platform/core/AfxLocale.h"
#include "platform/core/AfxResource.h"
#include "platform/ui/CommonDlg.h"
#include "tests/app/FrameFixture.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {
using namespace app_test;

// The modal window of a type once it is the active one (null after 5 s).
template <class T>
T* WaitForActive() {
  AfxTestWait(5000, [] { return dynamic_cast<T*>(CWnd::GetActiveWindow()) != nullptr; });
  return dynamic_cast<T*>(CWnd::GetActiveWindow());
}

void ClickItem(CWnd* parent, int id) {
  HWND h = ::GetDlgItem(parent->GetSafeHwnd(), id);
  ASSERT_NE(nullptr, h) << id;
  AfxTestClick(h, 4, 4);
}

void TypeText(CWnd* parent, int id, const char* text) {
  ::SetWindowText(::GetDlgItem(parent->GetSafeHwnd(), id), text);
}

std::vector<std::string> Lines(const fs::path& path) {
  std::ifstream f(path);
  std::vector<std::string> lines;
  for (std::string l; std::getline(f, l);) lines.push_back(l);
  return lines;
}

const char* const kMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                 "July",    "August",   "September", "October", "November", "December"};

// A row "dd Month yyyy HH:MM:SS,h.hh" read back; FALSE when it is not one.
bool ParseRow(const std::string& line, CQsDateTime& when, double& metres) {
  int d, y, hh, mm, ss, consumed = 0;
  char month[16];
  if (std::sscanf(line.c_str(), "%d %15s %d %d:%d:%d,%n", &d, month, &y, &hh, &mm, &ss, &consumed) != 6 || !consumed)
    return false;
  int m = 0;
  while (m < 12 && std::string(month) != kMonths[m]) ++m;
  if (m == 12) return false;
  const std::string height = line.substr(consumed);
  if (height.find_first_not_of("-0123456789.") != std::string::npos || height.find('.') != height.size() - 3)
    return false;
  metres = std::strtod(height.c_str(), nullptr);
  when = CQsDateTime(y, m + 1, d, hh, mm, ss);
  return true;
}

class Dialogs : public Program {
 protected:
  // A test whose check fails inside a modal dialog still ends: whatever is open is cancelled.
  CTestCallLater m_unstick{20000, [] {
                             for (int i = 0; i < 5; ++i)
                               if (CWnd* w = CWnd::GetActiveWindow(); w && dynamic_cast<CFrameWnd*>(w) == nullptr)
                                 w->SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                           }};
  void TearDown() override {
    AfxSetFileDialogHook(nullptr);
    AfxClearLocaleOverride();
    Program::TearDown();
  }
  // Answers the save dialog of the export with a path.
  void SaveAs(const fs::path& path) {
    AfxSetFileDialogHook([path](const AFX_FILEDLG_REQUEST& r) {
      EXPECT_FALSE(r.bOpen);
      EXPECT_EQ("Tide Data", r.fileName);
      EXPECT_EQ(1u, r.filters.size());
      if (!r.filters.empty()) {
        EXPECT_EQ("Comma Separated (*.csv)", r.filters[0].first);
      }
      return AFX_FILEDLG_ANSWER{IDOK, path.string(), 1};
    });
  }
  static void PickRow(CDataExport* dlg, CComboBox& day, CComboBox& month, CComboBox& year, int d, int m, int y,
                      UINT yearId) {
    year.SetCurSel(y - dlg->m_nFirstYear);
    month.SetCurSel(m - 1);
    dlg->SendMessage(WM_COMMAND, MAKEWPARAM(yearId, CBN_SELCHANGE), (LPARAM)year.GetSafeHwnd());
    day.SetCurSel(d - 1);
  }
};

// ---- CSV export ----

TEST_F(Dialogs, AnExportOfTwoDaysHourlyReadsBackAsTheHeightsOfThePrediction) {
  ASSERT_NE(nullptr, Start());
  const int port = PortIndex("Port Erin, Isle of Man");
  ASSERT_GE(port, 0);
  m_frame->SelectPort(port);
  Settle();
  // A user whose locale writes decimal commas still gets a file any reader can take.
  ASSERT_TRUE(AfxSetLocaleOverrideByName("de_DE"));
  const fs::path file = m_root / "tides.csv";
  SaveAs(file);
  const int year = m_frame->GetFirstYear() + 1;
  std::string zoneShown;
  CTestCallLater answer(20, [&] {
    auto* dlg = WaitForActive<CDataExport>();
    ASSERT_NE(nullptr, dlg);
    CString z;
    dlg->GetDlgItemText(IDC_EXPORT_ZONE, z);
    zoneShown = (LPCTSTR)z;
    CString kind;
    dlg->GetDlgItemText(1076, kind);
    EXPECT_EQ(CString("High and Low Water Times"), kind);
    PickRow(dlg, dlg->m_startDay, dlg->m_startMonth, dlg->m_startYear, 1, 3, year, IDC_START_YEAR);
    PickRow(dlg, dlg->m_endDay, dlg->m_endMonth, dlg->m_endYear, 2, 3, year, IDC_END_YEAR);
    ClickItem(dlg, IDC_EXPORT_60MIN);
    AfxSaveWindowPng(dlg->GetSafeHwnd(), "export_data.png");
    ClickItem(dlg, IDOK);
  });
  Command(ID_EXPORT_DATA);
  ASSERT_TRUE(answer.HasRun());
  EXPECT_TRUE(m_boxes.empty()) << m_boxes.front();
  EXPECT_EQ("Automatic: GMT (+0:00); GMT (+1:00) in summer time", zoneShown);

  const auto lines = Lines(file);
  ASSERT_EQ(3u + 48u, lines.size());
  EXPECT_EQ("\"Port Erin, Isle of Man\"", lines[0]);
  EXPECT_EQ("Automatic: GMT (+0:00)", lines[1]);  // no summer time in early March
  EXPECT_EQ("Date/Time,Height(m)", lines[2]);
  EXPECT_EQ("01 March " + std::to_string(year) + " 00:00:00", lines[3].substr(0, lines[3].find(',')));

  CPortDB& db = m_frame->PortDB();
  CPrediction p;
  p.SetPort(*db.GetPort(port));
  for (size_t i = 3; i < lines.size(); ++i) {
    CQsDateTime when;
    double metres;
    ASSERT_TRUE(ParseRow(lines[i], when, metres)) << lines[i];
    const int k = (int)i - 3;
    EXPECT_EQ(CQsDateTime(year, 3, 1 + k / 24, k % 24, 0, 0).Format("%Y-%m-%d %H:%M"), when.Format("%Y-%m-%d %H:%M"));
    CQsDateTime day(when.GetYear(), when.GetMonth(), when.GetDay(), 0, 0, 0), next = day;
    next.NextDay();
    int h1 = -1, h2 = -1;
    p.SetAngleFactors(m_frame->GetAngleFactorDB()->Find(day, h1), m_frame->GetAngleFactorDB()->Find(next, h2));
    p.ClearCache();
    EXPECT_NEAR((float)p.HeightAt(when.GetHour() * 60, 0, 0), metres, 0.0051) << lines[i];
  }
}

TEST_F(Dialogs, BadExportAnswersAreToldAndNothingIsWritten) {
  ASSERT_NE(nullptr, Start());
  // Another extension: a message, no file.
  const fs::path text = m_root / "tides.txt";
  SaveAs(text);
  Command(ID_EXPORT_DATA);
  ASSERT_EQ(1u, m_boxes.size());
  EXPECT_NE(std::string::npos, m_boxes[0].find(".csv"));
  EXPECT_FALSE(fs::exists(text));

  // No times chosen, then an end before the start: each keeps the dialog open with a message.
  m_boxes.clear();
  const fs::path file = m_root / "Tides.CSV";
  SaveAs(file);
  bool openAfterNoChoice = false, openAfterReversed = false;
  CTestCallLater answer(20, [&] {
    auto* dlg = WaitForActive<CDataExport>();
    ASSERT_NE(nullptr, dlg);
    const int year = m_frame->GetFirstYear() + 1;
    PickRow(dlg, dlg->m_startDay, dlg->m_startMonth, dlg->m_startYear, 10, 5, year, IDC_START_YEAR);
    PickRow(dlg, dlg->m_endDay, dlg->m_endMonth, dlg->m_endYear, 9, 5, year, IDC_END_YEAR);
    ClickItem(dlg, IDOK);
    openAfterNoChoice = ::IsWindowVisible(dlg->GetSafeHwnd());
    ClickItem(dlg, IDC_EXPORT_EVENTS);
    ClickItem(dlg, IDOK);
    openAfterReversed = ::IsWindowVisible(dlg->GetSafeHwnd());
    PickRow(dlg, dlg->m_endDay, dlg->m_endMonth, dlg->m_endYear, 10, 5, year, IDC_END_YEAR);
    ClickItem(dlg, IDOK);
  });
  Command(ID_EXPORT_DATA);
  ASSERT_TRUE(answer.HasRun());
  EXPECT_TRUE(openAfterNoChoice);
  EXPECT_TRUE(openAfterReversed);
  EXPECT_EQ((std::vector<std::string>{"Please choose the times to export.", "End date must not be before start date."}),
            m_boxes);
  // The upper-case extension is a CSV file too: one day's high and low waters.
  const auto lines = Lines(file);
  ASSERT_GE(lines.size(), 3u + 3u);
  EXPECT_LE(lines.size(), 3u + 4u);
  CQsDateTime when;
  double metres;
  for (size_t i = 3; i < lines.size(); ++i) EXPECT_TRUE(ParseRow(lines[i], when, metres)) << lines[i];

  // A folder where no file can be made (even by root): the failure is told.
  m_boxes.clear();
  SaveAs("/proc/neapwise-tides.csv");
  CTestCallLater again(20, [&] {
    auto* dlg = WaitForActive<CDataExport>();
    ASSERT_NE(nullptr, dlg);
    ClickItem(dlg, IDC_EXPORT_EVENTS);
    ClickItem(dlg, IDOK);
  });
  Command(ID_EXPORT_DATA);
  ASSERT_EQ(1u, m_boxes.size());
  EXPECT_EQ(0u, m_boxes[0].find("Error exporting data\n\n")) << m_boxes[0];
  EXPECT_FALSE(fs::exists("/proc/neapwise-tides.csv"));
}

TEST_F(Dialogs, TheDefaultRowsRunFromTheFirstOfThisMonthToTheEndOfTomorrowsMonth) {
  ASSERT_NE(nullptr, Start());
  const int y = m_frame->GetFirstYear() + 1;
  struct Case {
    CQsDateTime today;
    CQsDateTime start, end;
  } cases[] = {
      {CQsDateTime(y, 6, 15, 9, 0, 0), CQsDateTime(y, 6, 1, 0, 0, 0), CQsDateTime(y, 6, 30, 0, 0, 0)},
      {CQsDateTime(y, 6, 30, 9, 0, 0), CQsDateTime(y, 6, 1, 0, 0, 0), CQsDateTime(y, 7, 31, 0, 0, 0)},
      {CQsDateTime(y, 12, 31, 9, 0, 0), CQsDateTime(y, 12, 1, 0, 0, 0), CQsDateTime(y + 1, 1, 31, 0, 0, 0)},
      {CQsDateTime(y + 3, 2, 28, 9, 0, 0), CQsDateTime(y + 3, 2, 1, 0, 0, 0), CQsDateTime(y + 3, 3, 31, 0, 0, 0)},
  };
  for (const Case& c : cases) {
    CDataExport dlg(m_frame);
    dlg.m_nFirstYear = m_frame->GetFirstYear();
    dlg.m_nEndYear = m_frame->GetLastYear() + 1;
    dlg.m_today = c.today;
    dlg.m_nInterval = 2;
    CTestCallLater ok(20, [&] {
      ASSERT_NE(nullptr, WaitForActive<CDataExport>());
      ClickItem(&dlg, IDOK);
    });
    ASSERT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(c.start.Format("%Y-%m-%d"), dlg.m_start.Format("%Y-%m-%d")) << c.today.Format("%Y-%m-%d");
    EXPECT_EQ(c.end.Format("%Y-%m-%d"), dlg.m_end.Format("%Y-%m-%d")) << c.today.Format("%Y-%m-%d");
    EXPECT_EQ(CString("23:59:59"), dlg.m_end.Format("%H:%M:%S"));
  }
}

TEST_F(Dialogs, TheZoneLineNamesTheOffsetsOfTheRows) {
  ASSERT_NE(nullptr, Start());
  CPortDB& db = m_frame->PortDB();
  const CPortData* port = db.GetPort(PortIndex("Port Erin, Isle of Man"));
  const int y = m_frame->GetFirstYear() + 1;
  TIDE_CSV_REQUEST r;
  r.pPort = port;
  r.pTables = m_frame->GetAngleFactorDB();
  r.start = CQsDateTime(y, 7, 1, 0, 0, 0);
  r.end = CQsDateTime(y, 7, 1, 0, 0, 0);
  r.nInterval = 4;
  r.strZoneCaption = "GMT (+0:00)";
  r.strSummerCaption = "GMT (+1:00)";
  std::string automatic, fixed;
  EXPECT_EQ(24, BuildTideCsv(r, automatic));
  r.bAutoTZ = 0;
  EXPECT_EQ(24, BuildTideCsv(r, fixed));
  std::istringstream a(automatic), f(fixed);
  std::string line;
  std::getline(a, line);
  std::getline(a, line);
  EXPECT_EQ("Automatic: GMT (+0:00); GMT (+1:00) in summer time", line);
  std::getline(f, line);
  std::getline(f, line);
  EXPECT_EQ("GMT (+0:00)", line);
  // Summer time moves the rows' heights by an hour against the zone's own.
  CPrediction p;
  p.SetPort(*port);
  int h1 = -1, h2 = -1;
  p.SetAngleFactors(r.pTables->Find(r.start, h1), r.pTables->Find(CQsDateTime(y, 7, 2, 0, 0, 0), h2));
  p.ClearCache();
  char expect[64];
  std::snprintf(expect, sizeof expect, "01 July %d 05:00:00,%.2f", y, (float)p.HeightAt(300, 0, 1));
  EXPECT_NE(std::string::npos, automatic.find(expect)) << expect;
  std::snprintf(expect, sizeof expect, "01 July %d 05:00:00,%.2f", y, (float)p.HeightAt(300, 0, 0));
  EXPECT_NE(std::string::npos, fixed.find(expect)) << expect;
  // Fields with commas or quotes are quoted.
  EXPECT_EQ("Dover", CsvField("Dover"));
  EXPECT_EQ("\"A, \"\"B\"\"\"", CsvField("A, \"B\""));
}

// On the days the clocks change the rows run as time does, stamped with the clock's reading:
// 25 hourly rows in autumn (01:00 twice), 23 in spring (no 01:00), and with the zone fixed 24.
TEST_F(Dialogs, ChangeDaysGiveTheRowsOfTheirRealHours) {
  ASSERT_NE(nullptr, Start());
  const CPortData* port = m_frame->PortDB().GetPort(PortIndex("Port Erin, Isle of Man"));
  const int y = m_frame->GetFirstYear() + 1;
  // The last Sundays of March and October.
  auto lastSunday = [&](int month) {
    for (int d = 31;; --d) {
      CQsDateTime t(y, month, d, 0, 0, 0);
      if (t.GetDay() == d && t.GetDayOfWeek() == 1) return d;  // Sunday
    }
  };
  struct Case {
    int month, bAuto, rows, ones;
  };
  for (const Case& c : {Case{10, 1, 25, 2}, Case{3, 1, 23, 0}, Case{10, 0, 24, 1}}) {
    TIDE_CSV_REQUEST r;
    r.pPort = port;
    r.pTables = m_frame->GetAngleFactorDB();
    r.start = r.end = CQsDateTime(y, c.month, lastSunday(c.month), 0, 0, 0);
    r.nInterval = 4;
    r.bAutoTZ = c.bAuto;
    r.strZoneCaption = "GMT (+0:00)";
    std::string out;
    EXPECT_EQ(c.rows, BuildTideCsv(r, out)) << c.month << " " << c.bAuto;
    int ones = 0;
    for (size_t at = out.find(" 01:00:00,"); at != std::string::npos; at = out.find(" 01:00:00,", at + 1)) ++ones;
    EXPECT_EQ(c.ones, ones) << c.month << " " << c.bAuto;
    // The last row is the heights' own last hour of the day.
    CPrediction p;
    p.SetPort(*port);
    int h1 = -1, h2 = -1;
    CQsDateTime next = r.start;
    next.NextDay();
    p.SetAngleFactors(r.pTables->Find(r.start, h1), r.pTables->Find(next, h2));
    p.ClearCache();
    const CLocalDay local(r.start, 0, p.GetArea(), c.bAuto);
    char expect[64];
    std::snprintf(expect, sizeof expect, " 23:00:00,%.2f\n", (float)p.HeightAt(local, (c.rows - 1) * 60));
    EXPECT_EQ(out.size() - std::strlen(expect), out.rfind(expect)) << expect;
  }
}

// Boston's high water at midnight of 10/11 November 2026, which the two days' predictions put
// at 23:59 and at 00:00, is one row of the high and low waters.
TEST_F(Dialogs, AnExtremeAtMidnightIsOneRow) {
  ASSERT_NE(nullptr, Start());
  TIDE_CSV_REQUEST r;
  r.pPort = m_frame->PortDB().GetPort(PortIndex("Boston"));
  r.pTables = m_frame->GetAngleFactorDB();
  r.start = CQsDateTime(2026, 11, 10, 0, 0, 0);
  r.end = CQsDateTime(2026, 11, 11, 0, 0, 0);
  r.nInterval = 0;
  r.bAutoTZ = 1;
  r.nZone = -5;
  std::string out;
  ASSERT_GT(BuildTideCsv(r, out), 0);
  EXPECT_NE(std::string::npos, out.find("10 November 2026 23:59:00,")) << out;
  EXPECT_EQ(std::string::npos, out.find("11 November 2026 00:00:00,")) << out;
}

// ---- Options and port pages ----

TEST_F(Dialogs, TheGeneralPageKeepsABadDraughtOpenWithAMessage) {
  ASSERT_NE(nullptr, Start());
  ASSERT_TRUE(AfxSetLocaleOverrideByName("de_DE"));
  std::string shown;
  std::vector<bool> stayed;
  CTestCallLater answer(20, [&] {
    auto* sheet = WaitForActive<CPropertySheet>();
    ASSERT_NE(nullptr, sheet);
    ASSERT_EQ(2, sheet->GetPageCount());
    auto* general = dynamic_cast<CPropGeneral*>(sheet->GetActivePage());
    ASSERT_NE(nullptr, general);
    AfxSaveWindowPng(sheet->GetSafeHwnd(), "options_general.png");
    CString t;
    general->GetDlgItemText(IDC_DRAUGHT, t);
    shown = (LPCTSTR)t;
    for (const char* bad : {"abc", "0", "-1,5", "1.0.0"}) {
      TypeText(general, IDC_DRAUGHT, bad);
      ClickItem(sheet, IDOK);
      stayed.push_back(::IsWindow(sheet->GetSafeHwnd()) && sheet->GetActiveIndex() == 0);
    }
    TypeText(general, IDC_DRAUGHT, "1,5");
    general->CheckDlgButton(IDC_SHOW_MOONS, BST_UNCHECKED);
    ClickItem(sheet, IDOK);
  });
  Command(ID_OPTIONS);
  ASSERT_TRUE(answer.HasRun());
  EXPECT_EQ("1,00", shown);  // the user's own decimal comma
  EXPECT_EQ((std::vector<bool>{true, true, true, true}), stayed);
  ASSERT_EQ(4u, m_boxes.size());
  for (const auto& b : m_boxes) EXPECT_NE(std::string::npos, b.find("draught")) << b;
  EXPECT_DOUBLE_EQ(1.5, Right().Aground().GetDraught());
  EXPECT_EQ(0, Right().Table().GetShowMoons());
}

TEST_F(Dialogs, TheGraphPageKeepsABadMaximumHeightOpenAndAppliesAGoodOne) {
  ASSERT_NE(nullptr, Start());
  CGraphWnd& g = Right().Graph();
  const double highest = m_frame->GetPrediction()->GetDayRange().first;
  ASSERT_LT(highest, 12.0);
  bool stayed = false, editOffWithAuto = false;
  int pages = 0;
  CTestCallLater answer(20, [&] {
    auto* sheet = WaitForActive<CPropertySheet>();
    ASSERT_NE(nullptr, sheet);
    pages = sheet->GetPageCount();
    auto* graph = dynamic_cast<CPropGraph*>(sheet->GetActivePage());
    ASSERT_NE(nullptr, graph);
    AfxSaveWindowPng(sheet->GetSafeHwnd(), "options_graph.png");
    editOffWithAuto = !graph->GetDlgItem(IDC_MAX_HEIGHT)->IsWindowEnabled();
    ClickItem(graph, IDC_AUTO_HEIGHT);  // off: the edit comes on
    ASSERT_TRUE(graph->GetDlgItem(IDC_MAX_HEIGHT)->IsWindowEnabled());
    TypeText(graph, IDC_MAX_HEIGHT, "25");
    ClickItem(sheet, IDOK);
    stayed = ::IsWindow(sheet->GetSafeHwnd()) && graph->IsWindowVisible();
    TypeText(graph, IDC_MAX_HEIGHT, "12");
    ClickItem(graph, IDC_AREA_GRAPH);
    ClickItem(sheet, IDOK);
  });
  const int area = g.IsAreaGraph();
  Command(ID_GRAPH_PROPERTIES);
  ASSERT_TRUE(answer.HasRun());
  EXPECT_EQ(1, pages);  // the graph's own Properties: the Graph page only
  EXPECT_TRUE(editOffWithAuto);
  EXPECT_TRUE(stayed);
  EXPECT_EQ((std::vector<std::string>{"Please make sure the maximum height\nis between 1 and 20 metres"}), m_boxes);
  EXPECT_FALSE(m_frame->IsAutoHeight());
  EXPECT_DOUBLE_EQ(12.0, m_frame->GetMaxHeight());
  EXPECT_DOUBLE_EQ(12.0, g.GetMaxHeight());
  EXPECT_NE(area, g.IsAreaGraph());
}

TEST_F(Dialogs, AColourPickedOnTheGraphPageGoesToTheGraph) {
  ASSERT_NE(nullptr, Start());
  CGraphWnd& g = Right().Graph();
  const COLORREF before = g.GetLineColour();
  COLORREF picked = 0;
  CTestCallLater answer(20, [&] {
    auto* sheet = WaitForActive<CPropertySheet>();
    ASSERT_NE(nullptr, sheet);
    ASSERT_TRUE(sheet->SetActivePage(1));
    auto* graph = dynamic_cast<CPropGraph*>(sheet->GetActivePage());
    ASSERT_NE(nullptr, graph);
    ClickItem(graph, IDC_COLOUR_LINE);
    ASSERT_TRUE(graph->m_popup.IsOpen());
    // Just below the button, at its left.
    CRect button, popup;
    graph->m_btnLine.GetWindowRect(&button);
    graph->m_popup.GetWindowRect(&popup);
    EXPECT_EQ(button.left, popup.left);
    EXPECT_EQ(button.bottom, popup.top);
    // A swatch that is not the line's colour now, clicked as a user does.
    int i = 0;
    while (g_colourTable[i] == before) ++i;
    picked = g_colourTable[i];
    AfxTestClick(graph->m_popup.GetSafeHwnd(), 14 + 18 * (i % 8), 14 + 18 * (i / 8));
    AfxTestWait(2000, [&] { return !graph->m_popup.IsOpen(); });
    EXPECT_EQ(picked, graph->m_btnLine.GetColour());
    ClickItem(sheet, IDOK);
  });
  Command(ID_OPTIONS);
  ASSERT_TRUE(answer.HasRun());
  EXPECT_EQ(picked, g.GetLineColour());
}

TEST_F(Dialogs, ThePortPageNamesTheCountryOfEveryArea) {
  ASSERT_NE(nullptr, Start());
  CPortDB& db = m_frame->PortDB();
  // One port of each area the table holds, England to Tasmania.
  std::vector<int> ports;
  std::vector<int> seen;
  for (int i = 0; i < db.GetCount(); ++i) {
    const int area = db.GetPort(i)->GetArea();
    if (std::find(seen.begin(), seen.end(), area) == seen.end()) {
      seen.push_back(area);
      ports.push_back(i);
    }
  }
  ASSERT_GT(ports.size(), 7u);
  for (size_t k = 0; k < ports.size(); ++k) {
    const int port = ports[k];
    // The first as a user clicks it; the others selected straight away, to keep the test short.
    if (k == 0)
      ClickPort(port);
    else
      Left().PortsTree().SelectItem(PortItem(port));
    ASSERT_EQ(port, Left().PortsTree().GetSelectedPort());
    std::string name, country, caption;
    CTestCallLater answer(20, [&] {
      auto* sheet = WaitForActive<CPropertySheet>();
      ASSERT_NE(nullptr, sheet);
      CString t;
      sheet->GetWindowText(t);
      caption = (LPCTSTR)t;
      CPropertyPage* page = sheet->GetActivePage();
      page->GetDlgItemText(IDC_PORT_NAME_TEXT, t);
      name = (LPCTSTR)t;
      page->GetDlgItemText(IDC_PORT_COUNTRY, t);
      country = (LPCTSTR)t;
      if (k == 0) AfxSaveWindowPng(sheet->GetSafeHwnd(), "port_properties.png");
      ClickItem(sheet, IDOK);
    });
    Command(ID_PORT_PROPERTIES);
    ASSERT_TRUE(answer.HasRun());
    EXPECT_EQ("Properties", caption);
    EXPECT_EQ((LPCTSTR)db.GetPort(port)->GetName(), name);
    EXPECT_FALSE(country.empty()) << name;
    EXPECT_EQ((LPCTSTR)CPortsTree::AreaName(db.GetPort(port)->GetArea() - 1), country);
  }
}

// ---- Start-up notice, tip of the day, About ----

TEST_F(Dialogs, TheStartUpNoticeClosesItselfAtTheSixteenthTick) {
  std::vector<bool> openAfter;
  std::string text;
  CNeapwiseApp::SetStartupDialogHook([&](CDialog* dlg) {
    auto* notice = dynamic_cast<CDlgWarning*>(dlg);
    if (!notice) return AnswerStartupDialog(dlg);
    CString t;
    notice->GetDlgItemText(IDC_NOTICE_TEXT, t);
    t.Replace("\r\n", " ");
    text = (LPCTSTR)t;
    AfxSaveWindowPng(notice->GetSafeHwnd(), "startup_notice.png");
    for (int i = 1; i <= 16; ++i) {
      notice->SendMessage(WM_TIMER, CDlgWarning::kTimerId, 0);
      openAfter.push_back(::IsWindow(notice->GetSafeHwnd()) && notice->IsWindowVisible());
    }
  });
  ASSERT_NE(nullptr, Start());
  ASSERT_EQ(16u, openAfter.size());
  for (int i = 0; i < 15; ++i) EXPECT_TRUE(openAfter[i]) << "tick " << i + 1;
  EXPECT_FALSE(openAfter[15]);
  for (const char* must : {"NOT FOR NAVIGATION", "NOAA", "TICON-4", "Kartverket", "Neaps tide database", "GSHHG",
                           "estimate", "supplement conventional navigation aids"})
    EXPECT_NE(std::string::npos, text.find(must)) << must;
}

TEST_F(Dialogs, TheTipsFileIsReadRoundAndEscSavesTheCheckBox) {
  ASSERT_NE(nullptr, Start());
  const fs::path tips = m_root / "tips.txt";
  {
    std::ofstream f(tips);
    f << "; a comment\n first indented\n\tsecond tabbed\n\nTip one\nTip two\n";
  }
  std::vector<std::string> seen;
  COLORREF bulb = 0, band = 0;
  {
    CTipDlg dlg(m_frame, tips.c_str());
    EXPECT_TRUE(dlg.m_bStartup);
    CTestCallLater answer(20, [&] {
      ASSERT_NE(nullptr, WaitForActive<CTipDlg>());
      CBitmap pic;
      ASSERT_TRUE(AfxCaptureWindow(dlg.GetSafeHwnd(), &pic));
      pic.SavePng("tip_of_the_day.png");
      CRect client, window;
      dlg.GetClientRect(&client);
      dlg.ClientToScreen(&client);
      dlg.GetWindowRect(&window);
      const CPoint at(client.left - window.left, client.top - window.top);
      bulb = pic.GetPixel(at.x + 24 + 16, at.y + 26 + 12);
      band = pic.GetPixel(at.x + 20, at.y + 200);
      for (int i = 0; i < 3; ++i) {
        if (i) ClickItem(&dlg, IDC_TIP_NEXT);
        CString t;
        dlg.GetDlgItemText(IDC_TIP_TEXT, t);
        seen.push_back((LPCTSTR)t);
      }
      ClickItem(&dlg, IDC_TIP_STARTUP);  // off
      AfxTestKeyStroke(VK_ESCAPE);
    });
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
  }
  EXPECT_EQ((std::vector<std::string>{"Tip one\n", "Tip two\n", "Tip one\n"}), seen);
  // The light bulb in the grey band.
  EXPECT_EQ(RGB(0xFF, 0xE8, 0x60), bulb);
  EXPECT_EQ(::GetSysColor(COLOR_BTNSHADOW), band);
  EXPECT_EQ(1u, AfxGetApp()->GetProfileInt("Tip", "StartUp", 0));
  // The next time starts where this one left.
  CTipDlg again(m_frame, tips.c_str());
  EXPECT_EQ("Tip two\n", std::string((LPCTSTR)again.m_strTip));
  EXPECT_FALSE(again.m_bStartup);
}

TEST_F(Dialogs, TheTipCheckBoxShowsItsWholeTextClearOfTheButtons) {
  ASSERT_NE(nullptr, Start());
  CTipDlg dlg(m_frame, (m_root / "tips.txt").c_str());
  struct Box {
    CRect rc;
    int text = 0;
  } check, next, close;
  CTestCallLater look(20, [&] {
    ASSERT_NE(nullptr, WaitForActive<CTipDlg>());
    for (auto [id, box] :
         {std::pair{IDC_TIP_STARTUP, &check}, std::pair{IDC_TIP_NEXT, &next}, std::pair{IDOK, &close}}) {
      CWnd* w = dlg.GetDlgItem(id);
      ASSERT_NE(nullptr, w) << id;
      w->GetWindowRect(&box->rc);
      CString text;
      w->GetWindowText(text);
      text.Remove('&');
      CClientDC dc(w);
      CFont* old = dc.SelectObject(w->GetFont());
      box->text = dc.GetTextExtent(text).cx;
      dc.SelectObject(old);
    }
    AfxTestKeyStroke(VK_ESCAPE);
  });
  dlg.DoModal();
  ASSERT_TRUE(look.HasRun());
  // The box (13 pixels and a gap of 4) and the whole text within the control, left of "Next Tip".
  EXPECT_LE(13 + 4 + check.text, check.rc.Width());
  EXPECT_LE(check.rc.right, next.rc.left);
  EXPECT_LE(next.rc.right, close.rc.left);
  EXPECT_LE(next.text + 8, next.rc.Width());
  EXPECT_LE(close.text + 8, close.rc.Width());
}

TEST_F(Dialogs, ATipsFileWithoutTipsOrWithoutAFileStillOpens) {
  ASSERT_NE(nullptr, Start());
  const fs::path tips = m_root / "tips.txt";
  {
    std::ofstream f(tips);
    f << "; only comments\n   \n\n";
  }
  CTipDlg empty(m_frame, tips.c_str());
  EXPECT_TRUE(empty.IsFileOpen());
  EXPECT_EQ("The tips file holds no tips.", std::string((LPCTSTR)empty.m_strTip));
  CTipDlg none(m_frame, (m_root / "absent.txt").c_str());
  EXPECT_FALSE(none.IsFileOpen());
  EXPECT_EQ("Tips file does not exist in the prescribed directory", std::string((LPCTSTR)none.m_strTip));
  bool nextOff = false;
  CTestCallLater answer(20, [&] {
    ASSERT_NE(nullptr, WaitForActive<CTipDlg>());
    nextOff = !none.GetDlgItem(IDC_TIP_NEXT)->IsWindowEnabled();
    ClickItem(&none, IDOK);
  });
  EXPECT_EQ(IDOK, none.DoModal());
  EXPECT_TRUE(nextOff);
  // The program's own tips are where its data is, and have tips in them.
  CTipDlg shipped(m_frame);
  EXPECT_TRUE(shipped.IsFileOpen()) << (LPCTSTR)CTipDlg::GetTipsPath();
  EXPECT_NE(';', shipped.m_strTip[0]);
}

TEST_F(Dialogs, TheTipOfTheDayShowsAtStartUpUntilTurnedOff) {
  int tips = 0;
  CNeapwiseApp::SetStartupDialogHook([&](CDialog* dlg) {
    if (auto* tip = dynamic_cast<CTipDlg*>(dlg)) {
      ++tips;
      tip->CheckDlgButton(IDC_TIP_STARTUP, BST_UNCHECKED);
    }
    AnswerStartupDialog(dlg);
  });
  ASSERT_NE(nullptr, Start());
  EXPECT_EQ(1, tips);
  Close();
  ASSERT_NE(nullptr, Start());
  EXPECT_EQ(1, tips);  // not again
  // The Help menu's command still opens it.
  bool opened = false;
  CTestCallLater answer(20, [&] {
    auto* tip = WaitForActive<CTipDlg>();
    ASSERT_NE(nullptr, tip);
    opened = true;
    ClickItem(tip, IDOK);
  });
  Command(ID_TIP_OF_THE_DAY);
  EXPECT_TRUE(opened);
}

TEST_F(Dialogs, EmbeddingOrAutomationShowNeitherSplashNorTipButTheNotice) {
  for (const char* sw : {"/Embedding", "-Automation"}) {
    std::vector<std::string> shown;
    CNeapwiseApp::SetStartupDialogHook([&](CDialog* dlg) {
      shown.push_back(dynamic_cast<CDlgWarning*>(dlg) ? "notice" : dynamic_cast<CTipDlg*>(dlg) ? "tip" : "?");
      AnswerStartupDialog(dlg);
    });
    char self[] = "neapwise";
    std::string arg = sw;
    char* argv[] = {self, arg.data(), nullptr};
    const int oldArgc = TheApp().m_argc;
    char** oldArgv = TheApp().m_argv;
    TheApp().m_argc = 2;
    TheApp().m_argv = argv;
    CMainFrame* frame = Start();
    TheApp().m_argc = oldArgc;
    TheApp().m_argv = oldArgv;
    ASSERT_NE(nullptr, frame);
    EXPECT_FALSE(IsSplashScreenEnabled()) << sw;
    EXPECT_EQ(std::vector<std::string>{"notice"}, shown) << sw;
    Close();
  }
  EnableSplashScreen(TRUE);
}

TEST_F(Dialogs, TheAboutBoxNamesTheProgramAndItsSources) {
  ASSERT_NE(nullptr, Start());
  std::string title, all;
  CTestCallLater answer(20, [&] {
    auto* about = WaitForActive<CAboutDlg>();
    ASSERT_NE(nullptr, about);
    CString t;
    about->GetDlgItemText(IDC_ABOUT_TITLE, t);
    title = (LPCTSTR)t;
    for (HWND h = ::GetWindow(about->GetSafeHwnd(), GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
      char buf[1024];
      ::GetWindowText(h, buf, sizeof buf);
      all += buf;
      all += "\n";
    }
    AfxSaveWindowPng(about->GetSafeHwnd(), "about_box.png");
    ClickItem(about, IDOK);
  });
  TheApp().OnAppAbout();
  ASSERT_TRUE(answer.HasRun());
  EXPECT_EQ("Quillane Software Neapwise\nwith Tidal Streams", title);
  for (const char* must : {"NOT FOR NAVIGATION", "NOAA", "TICON-4", "Kartverket", "estimate",
                           "should not replace conventional navigational aids"})
    EXPECT_NE(std::string::npos, all.find(must)) << must;
}

}  // namespace

namespace {
using namespace app_test;

TEST_F(Program, TheSplashScreenShowsItsPictureAndGoesAtTheFirstPress) {
  ASSERT_NE(nullptr, Start());
  EXPECT_EQ(nullptr, CSplashWnd::GetSplash());  // gone once the window was made
  EnableSplashScreen(TRUE);
  ShowSplashScreen(m_frame);
  CSplashWnd* splash = CSplashWnd::GetSplash();
  ASSERT_NE(nullptr, splash);
  CRect r;
  splash->GetClientRect(&r);
  EXPECT_GE(r.Width(), 300);
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(splash->GetSafeHwnd(), &pic));
  pic.SavePng("splash_screen.png");
  // The sky at the top, not an empty window.
  const COLORREF sky = pic.GetPixel(r.Width() / 4, 10);
  EXPECT_GT(GetBValue(sky), GetRValue(sky));
  MSG move{};
  move.hwnd = splash->GetSafeHwnd();
  move.message = WM_MOUSEMOVE;
  EXPECT_FALSE(PreTranslateSplashMessage(&move));
  EXPECT_NE(nullptr, CSplashWnd::GetSplash());
  MSG key{};
  key.hwnd = m_frame->GetSafeHwnd();
  key.message = WM_KEYDOWN;
  key.wParam = VK_SPACE;
  EXPECT_TRUE(PreTranslateSplashMessage(&key));
  EXPECT_EQ(nullptr, CSplashWnd::GetSplash());
  EXPECT_FALSE(PreTranslateSplashMessage(&key));
  // A click on it, through the program's message path, takes it away too.
  ShowSplashScreen(m_frame);
  splash = CSplashWnd::GetSplash();
  ASSERT_NE(nullptr, splash);
  AfxTestClick(splash->GetSafeHwnd(), 20, 20);
  AfxTestWait(2000, [] { return CSplashWnd::GetSplash() == nullptr; });
  EXPECT_EQ(nullptr, CSplashWnd::GetSplash());
}

}  // namespace

namespace {
using namespace app_test;

// A 2 x 2 bitmap of 8 bits with three colours in its table.
struct SmallDib {
  BITMAPINFOHEADER header{40, 2, 2, 1, 8, 0, 8, 0, 0, 3, 0};
  RGBQUAD colours[3] = {{0x10, 0x20, 0x30, 0}, {0xFF, 0x00, 0x00, 0}, {0x00, 0xFF, 0x00, 0}};
  BYTE rows[8] = {0, 1, 0, 0, 2, 0, 0, 0};
};
const SmallDib kSmallDib;
const AFX_RESOURCE_INIT kSmallDibInit(RT_BITMAP, MAKEINTRESOURCE(4711), &kSmallDib, sizeof kSmallDib);

TEST_F(Program, TheSharedDrawingHelpers) {
  LOGFONT lf;
  std::memset(&lf, 0x5A, sizeof lf);
  InitDefaultLogFont(&lf);
  EXPECT_EQ(100, lf.lfHeight);
  EXPECT_EQ(0, lf.lfWidth);
  EXPECT_EQ(700, lf.lfWeight);
  EXPECT_EQ(0, lf.lfItalic + lf.lfUnderline + lf.lfStrikeOut + lf.lfOutPrecision + lf.lfClipPrecision + lf.lfQuality);
  EXPECT_EQ(DEFAULT_CHARSET, lf.lfCharSet);
  EXPECT_EQ(0x12, lf.lfPitchAndFamily);
  EXPECT_STREQ("Arial", lf.lfFaceName);

  EXPECT_EQ(0x02123456u, MakePaletteRgb(0x00123456));
  EXPECT_EQ(0x02123456u, MakePaletteRgb(0xFF123456));

  // A bitmap with a colour table gets a palette of its colours.
  CBitmap bitmap;
  CPalette palette;
  ASSERT_TRUE(LoadBitmapWithPalette(4711, bitmap, palette));
  ASSERT_EQ(3, palette.GetEntryCount());
  PALETTEENTRY e[3];
  ASSERT_EQ(3u, palette.GetPaletteEntries(0, 3, e));
  EXPECT_EQ(0x30, e[0].peRed);
  EXPECT_EQ(0x20, e[0].peGreen);
  EXPECT_EQ(0x10, e[0].peBlue);
  EXPECT_EQ(0xFF, e[1].peBlue);
  EXPECT_EQ(0xFF, e[2].peGreen);
  EXPECT_EQ(0, e[2].peFlags);
  // A true-colour picture gets a halftone palette; a missing one nothing.
  CBitmap splash;
  CPalette halftone;
  ASSERT_TRUE(LoadBitmapWithPalette(IDB_SPLASH, splash, halftone));
  EXPECT_EQ(256, halftone.GetEntryCount());
  CBitmap none;
  CPalette nothing;
  EXPECT_FALSE(LoadBitmapWithPalette(4712, none, nothing));
  EXPECT_EQ(nullptr, none.GetSafeHandle());
}

}  // namespace
