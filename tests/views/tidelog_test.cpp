// The tidal log as a user works it: rows added from the empty line with the date popup,
// selected and deleted with the mouse and the Delete key, deleted from the context menu, the
// columns dragged, the log rendered and printed, and the log file saved, read back and read
// from damaged files without losing the user's original.
#include "app/PortsHost.h"
#include "app/SelectPortDlg.h"
#include "platform/core/AfxLocale.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/PrintDC.h"
#include "tests/model/ModelTables.h"
#include "tests/views/GraphFixture.h"
#include "tests/views/PageTestKit.h"
#include "views/TideLogWnd.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using namespace views_test;

// The frame as the log sees it: the real tables, a current port, and the calls it makes.
class LogHost : public FakeHost {
 public:
  CPortDB* ports = nullptr;
  const CAngleFactorDB* days = nullptr;
  int currentPort = 0;
  BOOL autoZone = TRUE;
  int zone = 0;
  std::vector<int> selectedPorts;
  std::vector<std::vector<int>> selectedDates;
  int graphPages = 0, graphCalcs = 0;
  CPortDB* GetPortDB() override { return ports; }
  const CAngleFactorDB* GetAngleFactorDB() const override { return days; }
  int GetCurrentPort() const override { return currentPort; }
  BOOL IsAutoTimeZone() const override { return autoZone; }
  int GetTimeZone() const override { return zone; }
  void SelectPort(int n) override { selectedPorts.push_back(n); }
  BOOL SelectDate(int d, int m, int y) override {
    selectedDates.push_back({d, m, y});
    return TRUE;
  }
  void ShowGraphPage() override { ++graphPages; }
  void CalculateGraph() override { ++graphCalcs; }
  // The shell's port picker, as the program's frame shows it.
  int PickPort(int) override {
    CSelectPortDlg dlg;
    return dlg.DoModal() == IDOK ? dlg.GetChosenPort() : -1;
  }
};

// The log with a port picker that answers as the user would.
class CTestLogWnd : public CTideLogWnd {
 public:
  std::vector<int> pickerOpened;
  int answer = -1;
  bool realPicker = false;
  std::vector<std::string> reports;

 protected:
  int PickPort(int initial) override {
    pickerOpened.push_back(initial);
    return realPicker ? CTideLogWnd::PickPort(initial) : answer;
  }
  void Report(const CString& text) override { reports.push_back(text.GetStdString()); }
};

// The top-level frame: the log's menu commands and the Delete key come back to the log as the
// program's frame sends them.
class CLogFrame : public CWnd {
 public:
  CTideLogWnd* log = nullptr;
  std::vector<UINT> commands;
  BOOL OnCommand(WPARAM w, LPARAM l) override {
    const UINT id = LOWORD(w);
    commands.push_back(id);
    if (!log) return CWnd::OnCommand(w, l);
    switch (id) {
      case CTideLogWnd::ID_LOG_DELETE: log->OnDelete(); return TRUE;
      case CTideLogWnd::ID_LOG_GOTO_GRAPH: log->OnGotoGraph(); return TRUE;
      case CTideLogWnd::ID_LOG_REPLICATE_DATE: log->OnReplicateDateToAll(); return TRUE;
      case CTideLogWnd::ID_LOG_DELETE_SELECTED:
        // Enabled only while the selected line is a real row.
        if (log->GetSelectedLine() >= 1 && log->GetSelectedLine() < log->GetLineCount()) log->DeleteHighlightedRow();
        return TRUE;
      default: return CWnd::OnCommand(w, l);
    }
  }
  BOOL PreTranslateMessage(MSG* msg) override {
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_DELETE) {  // the frame's accelerator
      SendMessage(WM_COMMAND, CTideLogWnd::ID_LOG_DELETE_SELECTED, 0);
      return TRUE;
    }
    return CWnd::PreTranslateMessage(msg);
  }
};

CPoint Centre(const CRect& r) { return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

class TideLog : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    tables = new PortDay;
    ASSERT_TRUE(tables->Load("Dover", 2025, 6, 12));
  }
  static void TearDownTestSuite() {
    delete tables;
    tables = nullptr;
  }
  void SetUp() override {
    AfxWinInit(0, nullptr);
    AfxSetLocaleOverrideByName("en_GB");
    host.ports = &tables->ports;
    host.days = &tables->days;
    dover = -1;
    for (int i = 0; i < tables->ports.GetCount() && dover < 0; ++i)
      if (tables->ports.GetPort(i)->GetName() == tables->prediction.GetPortName()) dover = i;
    ASSERT_GE(dover, 0);
    host.currentPort = dover;
    ASSERT_TRUE(frame.CreateEx(0, nullptr, "Neapwise", WS_POPUP | WS_VISIBLE, 20, 20, 1000, 400, nullptr, nullptr));
    host.mainWnd = &frame;
    log.SetHost(&host);
    ASSERT_TRUE(log.Create(&frame, CRect(0, 0, 1000, 400)));
    frame.log = &log;
    std::string tmpl = (fs::temp_directory_path() / "neapwise-tidelog-XXXXXX").string();
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    dir = tmpl;
    AfxTestWait(10);
  }
  void TearDown() override {
    log.DestroyWindow();
    frame.DestroyWindow();
    AfxTestWait(5);
    AfxClearLocaleOverride();
    fs::remove_all(dir);
  }
  // Presses and releases the left button over a point of the log.
  void Click(CPoint p) {
    AfxTestClick(log.GetSafeHwnd(), p.x, p.y);
    AfxTestWait(10);
  }
  CPoint RowPoint(int line, int column) { return Centre(log.GetCellRect(line, column)); }
  // The event texts of a prediction made here on its own for the port and date.
  std::vector<std::string> ExpectedEvents(int port, int d, int m, int y) {
    CPrediction p;
    p.SetPort(*tables->ports.GetPort(port));
    int hint = 0;
    CQsDateTime date(y, m, d, 0, 0, 0), next(date);
    next.NextDay();
    p.SetAngleFactors(tables->days.Find(date, hint), tables->days.Find(next, hint));
    p.ClearCache();
    TIMEHEIGHT ev[4];
    const int n = p.FindHighLow(p.GetZoneCode(), IsSummerTimeAt(date, p.GetArea()), ev);
    std::vector<std::string> out;
    for (int i = 0; i < 4; ++i) {
      CString s;
      if (i < n && ev[i].minutes >= 0)
        s.Format("%02d:%02d  (%0.2fm)", ev[i].minutes / 60, ev[i].minutes % 60, ev[i].metres);
      out.push_back(s.GetStdString());
    }
    return out;
  }

  static PortDay* tables;
  LogHost host;
  CLogFrame frame;
  CTestLogWnd log;
  int dover = 0;
  fs::path dir;
};
PortDay* TideLog::tables = nullptr;

TEST_F(TideLog, StartsWithOnlyTheEmptyLineAndNothingSelected) {
  EXPECT_EQ(1, log.GetLineCount());
  EXPECT_EQ(0, log.GetSelectedLine());
  log.AddRow(dover, 12, 6, 2025);
  log.AddRow(dover, 13, 6, 2025);
  EXPECT_EQ(0, log.GetSelectedLine()) << "adding rows selects none";
  log.SetFocus();
  AfxTestKeyStroke(VK_DELETE);
  AfxTestWait(10);
  EXPECT_EQ(2, log.GetRowCount()) << "Delete with nothing selected removes nothing";
}

TEST_F(TideLog, TheDateButtonOfTheEmptyLineAddsARowForTheCurrentPortWithThePickedDay) {
  const CRect button = log.GetCellButtonRect(1, CTideLogWnd::colDate);
  ASSERT_FALSE(button.IsRectEmpty());
  Click(Centre(button));
  CDatePopup* popup = log.GetDatePopup();
  ASSERT_NE(nullptr, popup);
  ASSERT_TRUE(popup->GetSafeHwnd() && popup->IsWindowVisible());
  const CQsDateTime today = log.GetNewLineDate();
  EXPECT_EQ(today.GetMonth(), popup->GetMonth());
  // The user picks the 12th of the month shown.
  int cell = -1;
  for (int i = 0; i < 42 && cell < 0; ++i)
    if (popup->GetCellDay(i) == 12) cell = i;
  ASSERT_GE(cell, 0);
  CRect pr;
  popup->GetWindowRect(&pr);
  const int c = cell % 7, r = cell / 7;
  const POINT p{pr.left + 15 + 20 * c, pr.top + 60 + 20 * r};
  AfxTestMouse(WM_MOUSEMOVE, p);
  AfxTestMouse(WM_LBUTTONDOWN, p);
  AfxTestMouse(WM_LBUTTONUP, p);
  AfxTestWait(5000, [&] { return log.GetRowCount() > 0; });
  ASSERT_EQ(1, log.GetRowCount());
  const auto& row = log.GetRow(0);
  EXPECT_EQ(dover, row.port);
  EXPECT_EQ(12, row.day);
  EXPECT_EQ(popup->GetMonth(), row.month);
  EXPECT_EQ(popup->GetYear(), row.year);
  EXPECT_EQ(2, log.GetLineCount());
  const std::vector<std::string> expected = ExpectedEvents(dover, 12, row.month, row.year);
  for (int k = 0; k < 4; ++k)
    EXPECT_EQ(expected[k], log.GetCellText(0, CTideLogWnd::colEvent1 + k).GetStdString()) << k;
  EXPECT_NE(log.GetCellText(0, CTideLogWnd::colPort).Find("Dover"), -1);
}

TEST_F(TideLog, ThePortButtonChangesARowsPortOrAddsARowOnTheEmptyLine) {
  log.AddRow(dover, 12, 6, 2025);
  const int other = dover == 0 ? 1 : 0;
  log.answer = other;
  Click(Centre(log.GetCellButtonRect(1, CTideLogWnd::colPort)));
  ASSERT_EQ(1u, log.pickerOpened.size());
  EXPECT_EQ(dover, log.pickerOpened[0]);
  EXPECT_EQ(other, log.GetRow(0).port);
  EXPECT_EQ(tables->ports.GetPort(other)->GetName(), log.GetCellText(0, CTideLogWnd::colPort));
  const std::vector<std::string> expected = ExpectedEvents(other, 12, 6, 2025);
  EXPECT_EQ(expected[0], log.GetCellText(0, CTideLogWnd::colEvent1).GetStdString());
  // The empty line: a new row dated with a date the table can predict.
  Click(Centre(log.GetCellButtonRect(2, CTideLogWnd::colPort)));
  ASSERT_EQ(2, log.GetRowCount());
  const auto& added = log.GetRow(1);
  EXPECT_TRUE(CTideLogFile::IsValidRow({0, added.day, added.month, added.year, 0, 0}, -1));
  EXPECT_TRUE(added.bPredicted);
  // Cancelled: nothing changes.
  log.answer = -1;
  Click(Centre(log.GetCellButtonRect(3, CTideLogWnd::colPort)));
  EXPECT_EQ(2, log.GetRowCount());
  EXPECT_EQ(0, log.GetSelectedLine()) << "a button press is not a selection";
}

class PortsHost : public IPortsHost {
 public:
  CPortDB* ports = nullptr;
  VxMenu menu;
  CWnd* GetMainWindow() override { return nullptr; }
  VxMenu* GetContextMenu() override { return &menu; }
  CPortDB* GetPortDB() override { return ports; }
  CPortHistory* GetPortHistory() override { return nullptr; }
  BOOL IsGraphCalculated() const override { return FALSE; }
  void SelectPort(int) override {}
  void CalculateGraph() override {}
};

TEST_F(TideLog, ThePortPickerDialogGivesTheRowItsPort) {
  PortsHost portsHost;
  portsHost.ports = &tables->ports;
  SetPortsHost(&portsHost);
  log.realPicker = true;
  log.AddRow(dover, 12, 6, 2025);
  int chosen = -1;
  CTestCallLater later(60, [&] {
    // On a busy machine the dialog may not be active yet when the timer fires.
    AfxTestWait(5000, [] { return dynamic_cast<CSelectPortDlg*>(CWnd::GetActiveWindow()) != nullptr; });
    auto* dlg = dynamic_cast<CSelectPortDlg*>(CWnd::GetActiveWindow());
    if (!dlg) return;
    CPortsTree& tree = dlg->GetTree();
    tree.SetFocus();
    AfxTestKeyStroke(VK_DOWN);
    AfxTestKeyStroke(VK_DOWN);
    AfxTestKeyStroke(VK_RIGHT);
    AfxTestKeyStroke(VK_RIGHT);  // the first port of the second country
    chosen = tree.GetSelectedPort();
    CWnd* ok = dlg->GetDlgItem(IDOK);
    CRect r;
    ok->GetClientRect(&r);
    AfxTestClick(ok->m_hWnd, r.CenterPoint().x, r.CenterPoint().y);
  });
  Click(Centre(log.GetCellButtonRect(1, CTideLogWnd::colPort)));
  EXPECT_TRUE(later.Wait());
  SetPortsHost(nullptr);
  ASSERT_GE(chosen, 0) << "the picker did not open";
  EXPECT_EQ(chosen, log.GetRow(0).port);
  EXPECT_EQ(tables->ports.GetPort(chosen)->GetName(), log.GetCellText(0, CTideLogWnd::colPort));
}

TEST_F(TideLog, AClickSelectsARowAndDeleteRemovesThatRowOnly) {
  log.AddRow(dover, 10, 6, 2025);
  log.AddRow(dover, 11, 6, 2025);
  log.AddRow(dover, 12, 6, 2025);
  Click(RowPoint(2, CTideLogWnd::colZone));
  EXPECT_EQ(2, log.GetSelectedLine());
  log.SetFocus();
  AfxTestKeyStroke(VK_DELETE);
  AfxTestWait(10);
  ASSERT_EQ(2, log.GetRowCount());
  EXPECT_EQ(10, log.GetRow(0).day);
  EXPECT_EQ(12, log.GetRow(1).day);
  EXPECT_EQ(0, log.GetSelectedLine());
  AfxTestKeyStroke(VK_DELETE);  // nothing picked now: nothing goes
  AfxTestWait(10);
  EXPECT_EQ(2, log.GetRowCount());
  // The empty line can be selected but not deleted.
  Click(RowPoint(3, CTideLogWnd::colZone));
  EXPECT_EQ(3, log.GetSelectedLine());
  AfxTestKeyStroke(VK_DELETE);
  AfxTestWait(10);
  EXPECT_EQ(2, log.GetRowCount());
  // A click below the empty line selects nothing.
  Click(CPoint(300, 380));
  EXPECT_EQ(0, log.GetSelectedLine());
}

TEST_F(TideLog, TheContextMenuDeletesTheRowUnderTheMouse) {
  log.AddRow(dover, 10, 6, 2025);
  log.AddRow(dover, 11, 6, 2025);
  log.AddRow(dover, 12, 6, 2025);
  std::vector<UINT> ids;
  CTestCallLater later(50, [&] {
    HMENU menus[2];
    HWND wnds[2];
    AfxTestWait(5000, [&] { return AfxGetTrackingMenus(menus, wnds, 2) > 0; });
    if (AfxGetTrackingMenus(menus, wnds, 2) != 1) return;
    for (int i = 0; i < GetMenuItemCount(menus[0]); ++i) ids.push_back(GetMenuItemID(menus[0], i));
    RECT item{};
    GetMenuItemRect(nullptr, menus[0], 2, &item);
    POINT p{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    AfxTestMouse(WM_MOUSEMOVE, p);
    AfxTestMouse(WM_LBUTTONDOWN, p);
    AfxTestMouse(WM_LBUTTONUP, p);
  });
  CPoint at = RowPoint(3, CTideLogWnd::colZone);
  log.ClientToScreen(&at);
  AfxTestMouse(WM_MOUSEMOVE, at);
  AfxTestMouse(WM_RBUTTONDOWN, at);
  AfxTestMouse(WM_RBUTTONUP, at);
  EXPECT_TRUE(later.Wait());
  AfxTestWait(2000, [&] { return log.GetRowCount() == 2; });
  const std::vector<UINT> expected{198, 0, 190, 0, 32868, 0, 32785, 32791};
  EXPECT_EQ(expected, ids);
  ASSERT_EQ(2, log.GetRowCount());
  EXPECT_EQ(10, log.GetRow(0).day);
  EXPECT_EQ(11, log.GetRow(1).day);
  // The header strip opens no menu.
  int opened = 0;
  CTestCallLater check(30, [&] {
    opened = AfxGetTrackingMenus(nullptr, nullptr, 2) > 0;
    EndMenu();
  });
  CPoint header(300, 10);
  log.ClientToScreen(&header);
  log.SendMessage(WM_CONTEXTMENU, (WPARAM)log.GetSafeHwnd(), MAKELPARAM(header.x, header.y));
  EXPECT_TRUE(check.Wait());
  EXPECT_EQ(0, opened);
}

TEST_F(TideLog, GotoGraphAndReplicateDateWorkOnTheMenuRow) {
  log.AddRow(dover, 10, 6, 2025);
  log.AddRow(dover == 0 ? 1 : 0, 11, 7, 2025);
  CPoint at = RowPoint(2, CTideLogWnd::colZone);
  log.ClientToScreen(&at);
  CTestCallLater close(30, [] { EndMenu(); });
  log.SendMessage(WM_CONTEXTMENU, (WPARAM)log.GetSafeHwnd(), MAKELPARAM(at.x, at.y));
  EXPECT_TRUE(close.Wait());
  EXPECT_EQ(2, log.GetMenuRow());
  log.OnGotoGraph();
  EXPECT_EQ(std::vector<int>{dover == 0 ? 1 : 0}, host.selectedPorts);
  ASSERT_EQ(1u, host.selectedDates.size());
  EXPECT_EQ((std::vector<int>{11, 7, 2025}), host.selectedDates[0]);
  EXPECT_EQ(1, host.graphPages);
  EXPECT_EQ(1, host.graphCalcs);
  log.OnReplicateDateToAll();
  EXPECT_EQ(11, log.GetRow(0).day);
  EXPECT_EQ(7, log.GetRow(0).month);
  EXPECT_EQ(ExpectedEvents(dover, 11, 7, 2025)[0], log.GetCellText(0, CTideLogWnd::colEvent1).GetStdString());
}

TEST_F(TideLog, TheTimeCellIsEditedInItsComboAndTheHeightFollows) {
  log.AddRow(dover, 12, 6, 2025);
  log.AddRow(dover, 13, 6, 2025);
  const CString before = log.GetCellText(1, CTideLogWnd::colHeight);
  Click(RowPoint(2, CTideLogWnd::colTime));
  EXPECT_EQ(2, log.GetSelectedLine());
  CComboBox& combo = *log.GetTimeCombo();
  ASSERT_TRUE(combo.IsWindowVisible());
  CString text;
  combo.GetWindowText(text);
  EXPECT_EQ("12:00", text.GetStdString());
  EXPECT_EQ(12, combo.GetCount());
  CRect onScreen, cell = log.GetCellRect(2, CTideLogWnd::colTime);
  combo.GetWindowRect(&onScreen);
  log.ScreenToClient(&onScreen);
  EXPECT_EQ(cell.left, onScreen.left) << "the combo lies over the row's Time cell";
  TypeText("09:30");
  EXPECT_EQ("09:30", log.GetCellText(1, CTideLogWnd::colTime).GetStdString());
  EXPECT_EQ(12, log.GetRow(0).time.GetHour()) << "only the selected row changes";
  const int zone = tables->prediction.GetZoneCode();
  const int summer = IsSummerTimeAt(CQsDateTime(2025, 6, 13, 0, 0, 0), tables->prediction.GetArea());
  CPrediction p;
  p.SetPort(*tables->ports.GetPort(dover));
  int hint = 0;
  p.SetAngleFactors(tables->days.Find(CQsDateTime(2025, 6, 13, 0, 0, 0), hint),
                    tables->days.Find(CQsDateTime(2025, 6, 14, 0, 0, 0), hint));
  p.ClearCache();
  CString expected;
  expected.Format("%0.2fm", p.HeightAt(9 * 60 + 30, zone, summer));
  EXPECT_EQ(expected, log.GetCellText(1, CTideLogWnd::colHeight));
  EXPECT_NE(before, expected);
  // An hour of 209 changes nothing; a click on another cell puts the combo away.
  AfxTestKeyStroke(VK_HOME);
  AfxTestKeyStroke('2', 0, "2");
  AfxTestWait(10);
  EXPECT_EQ("09:30", log.GetCellText(1, CTideLogWnd::colTime).GetStdString());
  Click(RowPoint(1, CTideLogWnd::colZone));
  EXPECT_FALSE(combo.IsWindowVisible());
  EXPECT_EQ(1, log.GetSelectedLine());
}

TEST_F(TideLog, ARowDatedOutsideTheTableSaysThereIsNoPrediction) {
  CQsDateTime first, last;
  ASSERT_TRUE(tables->days.GetFirstDate(first));
  ASSERT_TRUE(tables->days.GetLastDate(last));
  log.AddRow(dover, 1, 1, first.GetYear() - 5);
  log.AddRow(dover, last.GetDay(), last.GetMonth(), last.GetYear());  // no next day to predict with
  for (int r = 0; r < 2; ++r) {
    EXPECT_FALSE(log.GetRow(r).bPredicted) << r;
    EXPECT_EQ("No prediction", log.GetCellText(r, CTideLogWnd::colEvent1).GetStdString());
    EXPECT_EQ("", log.GetCellText(r, CTideLogWnd::colEvent2).GetStdString());
    EXPECT_EQ("-", log.GetCellText(r, CTideLogWnd::colHeight).GetStdString());
  }
  // The new-line date lies within the predictable days and is a real date.
  const CQsDateTime d = log.GetNewLineDate();
  EXPECT_TRUE(CTideLogFile::IsValidRow({0, d.GetDay(), d.GetMonth(), d.GetYear(), 0, 0}, -1));
  last.PrevDay();
  EXPECT_TRUE(first <= d && d <= last);
}

TEST_F(TideLog, CellTextsInMetresAndFeet) {
  log.AddRow(dover, 12, 6, 2025);
  log.SetRowTime(0, 6, 30);
  EXPECT_EQ("12 Jun 2025", log.GetCellText(0, CTideLogWnd::colDate).GetStdString());
  EXPECT_EQ("06:30", log.GetCellText(0, CTideLogWnd::colTime).GetStdString());
  const int zone = tables->prediction.GetZoneCode();
  const int summer = IsSummerTimeAt(CQsDateTime(2025, 6, 12, 0, 0, 0), tables->prediction.GetArea());
  ASSERT_TRUE(zone >= -12 && zone <= 13);
  CString zoneText;
  zoneText.Format(zone + summer >= 0 ? "GMT (+%d:00)" : "GMT (%d:00)", zone + summer);
  EXPECT_EQ(zoneText, log.GetCellText(0, CTideLogWnd::colZone));
  const double h = tables->prediction.HeightAt(6 * 60 + 30, zone, summer);
  CString m, ft;
  m.Format("%0.2fm", h);
  ft.Format("%0.2fft", h * 3.2808);
  EXPECT_EQ(m, log.GetCellText(0, CTideLogWnd::colHeight));
  log.SetFeet();
  EXPECT_EQ(ft, log.GetCellText(0, CTideLogWnd::colHeight));
  EXPECT_NE(-1, log.GetCellText(0, CTideLogWnd::colEvent1).Find("ft)"));
  // A chosen zone replaces the port's own, without summer time.
  host.autoZone = FALSE;
  host.zone = -5;
  log.RecalcZones();
  EXPECT_EQ("GMT (-5:00)", log.GetCellText(0, CTideLogWnd::colZone).GetStdString());
}

// A half-hour zone, in winter and in summer, on a table of our own.
TEST(TideLogZones, AHalfHourZoneShowsItsMinutes) {
  AfxWinInit(0, nullptr);
  std::vector<CPortData> portRecords{model_test::Port(0, 1, "Adelaide", 930)};
  portRecords[0].SetArea(35);  // south-east Australian summer time
  const std::vector<BYTE> portBytes = model_test::TableBytes<CPortDB>(portRecords);
  const std::vector<BYTE> dayBytes = model_test::TableBytes<CAngleFactorDB>(model_test::Days(1, 2025, 1, 1, 400));
  CPortDB ports(portBytes.data(), portBytes.size());
  CAngleFactorDB days(dayBytes.data(), dayBytes.size());
  ASSERT_EQ(1, ports.Load());
  ASSERT_EQ(1, days.Load());
  LogHost host;
  host.ports = &ports;
  host.days = &days;
  CTestLogWnd log;
  log.SetHost(&host);
  log.AddRow(0, 15, 7, 2025);  // southern winter
  log.AddRow(0, 15, 1, 2025);  // southern summer
  EXPECT_EQ("GMT (+9:30)", log.GetCellText(0, CTideLogWnd::colZone).GetStdString());
  EXPECT_EQ("GMT (+10:30)", log.GetCellText(1, CTideLogWnd::colZone).GetStdString());
  // The zone shown is the one the times are computed in (the table's 1000 is ten hours).
  struct {
    int code;
    const char* winter;
  } cases[] = {{-330, "GMT (-3:30)"}, {1000, "GMT (+10:00)"}, {1030, "GMT (+10:30)"}, {-5, "GMT (-5:00)"}};
  for (const auto& c : cases) {
    std::vector<CPortData> one{model_test::Port(0, 1, "Somewhere", c.code)};
    one[0].SetArea(10);  // a rule without summer time
    const std::vector<BYTE> bytes = model_test::TableBytes<CPortDB>(one);
    CPortDB db(bytes.data(), bytes.size());
    ASSERT_EQ(1, db.Load());
    host.ports = &db;
    CTestLogWnd other;
    other.SetHost(&host);
    other.AddRow(0, 15, 7, 2025);
    EXPECT_EQ(c.winter, other.GetCellText(0, CTideLogWnd::colZone).GetStdString()) << c.code;
  }
}

// The empty line's date comes from the table's range, whatever today is.
TEST(TideLogDates, TheNewLineDateIsTheNearestDayTheTableCanPredict) {
  struct Case {
    int year, month, day, count;
    int wantYear, wantMonth, wantDay;
  } cases[] = {
      {2000, 2, 1, 29, 2000, 2, 28},   // a table that ended long ago: its last predictable day
      {2090, 2, 28, 40, 2090, 2, 28},  // a table still to come: its first day
  };
  for (const Case& c : cases) {
    const std::vector<BYTE> bytes =
        model_test::TableBytes<CAngleFactorDB>(model_test::Days(1, c.year, c.month, c.day, c.count));
    CAngleFactorDB days(bytes.data(), bytes.size());
    ASSERT_EQ(1, days.Load());
    LogHost host;
    host.days = &days;
    CTestLogWnd log;
    log.SetHost(&host);
    const CQsDateTime d = log.GetNewLineDate();
    EXPECT_EQ(c.wantYear, d.GetYear());
    EXPECT_EQ(c.wantMonth, d.GetMonth());
    EXPECT_EQ(c.wantDay, d.GetDay());
  }
}

TEST_F(TideLog, DraggingAColumnEdgeResizesItAndAColumnDraggedShutBecomes20) {
  CLogHeaderCtrl& header = log.GetHeader();
  ASSERT_EQ(9, header.GetColumnCount());
  EXPECT_EQ(860, header.GetTotalWidth());
  auto drag = [&](int from, int to) {
    CPoint a(from, 10), b(to, 10);
    header.ClientToScreen(&a);
    header.ClientToScreen(&b);
    AfxTestMouse(WM_MOUSEMOVE, a);
    AfxTestMouse(WM_LBUTTONDOWN, a);
    AfxTestMouse(WM_MOUSEMOVE, b, MK_LBUTTON);
    AfxTestMouse(WM_LBUTTONUP, b);
    AfxTestWait(10);
  };
  drag(101, 151);  // the right edge of "Port Name", grabbed a pixel off
  EXPECT_EQ(150, header.GetColumnWidth(0));
  EXPECT_EQ(910, header.GetTotalWidth());
  EXPECT_EQ(250, log.GetColumnRight(CTideLogWnd::colDate)) << "the rows follow the strip";
  drag(250, 148);  // "Date" dragged to 0 pixels
  EXPECT_EQ(20, header.GetColumnWidth(1));
  drag(400, 400);  // away from any edge: no drag
  EXPECT_EQ(20, header.GetColumnWidth(1));
  EXPECT_FALSE(header.IsDragging());
}

TEST_F(TideLog, ScrollingMovesTheRowsAndTheStripTogether) {
  for (int i = 0; i < 30; ++i) log.AddRow(dover, 1 + i, 1, 2025);
  log.MoveWindow(0, 0, 500, 300);
  AfxTestWait(10);
  log.SendMessage(WM_VSCROLL, SB_LINEDOWN);
  log.SendMessage(WM_VSCROLL, SB_LINEDOWN);
  EXPECT_EQ(48, log.GetScrollY());
  Click(CPoint(250, 20 + 12));  // the top line shown is now row 3
  EXPECT_EQ(3, log.GetSelectedLine());
  log.SendMessage(WM_VSCROLL, SB_BOTTOM);
  CRect client;
  log.GetClientRect(&client);
  EXPECT_EQ(24 * 31 - (client.Height() - 20), log.GetScrollY()) << "the empty line is the last one shown";
  log.SendMessage(WM_HSCROLL, SB_LINERIGHT);
  EXPECT_EQ(10, log.GetScrollX());
  CRect header;
  log.GetHeader().GetWindowRect(&header);
  log.ScreenToClient(&header);
  EXPECT_EQ(-10, header.left);
  EXPECT_EQ(860, header.Width());
  log.SendMessage(WM_HSCROLL, SB_RIGHT);
  EXPECT_EQ(860 - client.Width(), log.GetScrollX());
  log.MoveWindow(0, 0, 1000, 400);  // wide enough again: no horizontal scrolling
  AfxTestWait(10);
  EXPECT_EQ(0, log.GetScrollX());
}

TEST_F(TideLog, TheRenderedLogShowsItsRowsTheSelectionAndTheCellButtons) {
  log.AddRow(dover, 12, 6, 2025);
  log.AddRow(dover, 13, 6, 2025);
  log.AddRow(dover, 1, 1, 1990);
  Click(RowPoint(2, CTideLogWnd::colZone));
  ASSERT_TRUE(AfxSaveWindowPng(log.GetSafeHwnd(), "tidelog_window.png"));
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(log.GetSafeHwnd(), &pic));
  const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT), face = ::GetSysColor(COLOR_BTNFACE),
                 window = ::GetSysColor(COLOR_WINDOW);
  // The selected second row is highlighted across; the first is not.
  const CRect zone2 = log.GetCellRect(2, CTideLogWnd::colZone), zone1 = log.GetCellRect(1, CTideLogWnd::colZone);
  EXPECT_EQ(highlight, pic.GetPixel(zone2.left + 2, zone2.top + 1));
  EXPECT_EQ(window, pic.GetPixel(zone1.right - 4, zone1.top + 1));
  // Each line, the empty one too, has its two "..." buttons.
  for (int line = 1; line <= 4; ++line)
    for (int c : {0, 1}) {
      const CRect b = log.GetCellButtonRect(line, c);
      EXPECT_EQ(face, pic.GetPixel(b.left + 3, b.bottom - 4)) << line << " " << c;
    }
  // The Time and Height columns are shaded down to the empty line, and text is drawn in row 1.
  const CRect time1 = log.GetCellRect(1, CTideLogWnd::colTime);
  const COLORREF shade = pic.GetPixel(time1.right - 4, time1.top + 2);
  EXPECT_NE(window, shade);
  EXPECT_NE(highlight, shade);
  int dark = 0;
  const CRect event1 = log.GetCellRect(1, CTideLogWnd::colEvent1);
  for (int y = event1.top; y < event1.bottom; ++y)
    for (int x = event1.left; x < event1.right; ++x) dark += GetRValue(pic.GetPixel(x, y)) < 80;
  EXPECT_GT(dark, 20);
  // Below the empty line nothing is shaded.
  CRect client;
  log.GetClientRect(&client);
  EXPECT_EQ(window, pic.GetPixel(time1.right - 4, client.bottom - 4));
}

TEST_F(TideLog, PrintingRunsOverPages) {
  for (int i = 0; i < 150; ++i) log.AddRow(dover, 1 + i % 28, 1 + i % 12, 2025);
  // Through the print dialog, as the user prints: to a PDF file.
  const std::string pdf = (dir / "log.pdf").string();
  const DWORD flags = PrintToPdf(pdf, [&] { log.PrintLog(); });
  EXPECT_TRUE(flags & PD_NOPAGENUMS);
  EXPECT_TRUE(flags & PD_HIDEPRINTTOFILE);
  const std::string bytes = ReadFile(pdf);
  ASSERT_GT(bytes.size(), 2000u);
  const size_t count = bytes.find("/Count ");
  ASSERT_NE(std::string::npos, count);
  EXPECT_GE(std::atoi(bytes.c_str() + count + 7), 3) << "150 rows run over three pages";
  CPrintDC dc;
  ASSERT_TRUE(dc.CreatePdf((dir / "again.pdf").string().c_str(), 150));
  ASSERT_TRUE(log.PrintLogTo(&dc));
  EXPECT_GE(dc.GetPageCount(), 3);
  // A cancelled dialog prints nothing.
  AfxSetPrintDialogHook([&](const AFX_PRINTDLG_REQUEST&) {
    AFX_PRINTDLG_ANSWER a;
    a.result = IDCANCEL;
    return a;
  });
  fs::copy_file(pdf, "tidelog_print.pdf", fs::copy_options::overwrite_existing);
  fs::remove(pdf);
  log.PrintLog();
  AfxSetPrintDialogHook(nullptr);
  EXPECT_FALSE(fs::exists(pdf));
  CPrintDC one;
  ASSERT_TRUE(one.CreatePdf((dir / "short.pdf").string().c_str(), 150));
  CTestLogWnd small;
  small.SetHost(&host);
  small.AddRow(dover, 12, 6, 2025);
  ASSERT_TRUE(small.PrintLogTo(&one));
  EXPECT_EQ(1, one.GetPageCount());
}

TEST_F(TideLog, TheLogSavesAndReadsBackByteForByte) {
  const fs::path path = dir / "logdata.dat";
  log.AddRow(dover, 12, 6, 2025);
  log.AddRow(dover == 0 ? 1 : 0, 29, 2, 2024);
  log.SetRowTime(1, 17, 5);
  ASSERT_TRUE(log.SaveLog(path.c_str()));
  const std::string first = ReadFile(path);
  EXPECT_EQ(12u + 2 * 24, first.size());
  CTestLogWnd again;
  again.SetHost(&host);
  ASSERT_TRUE(again.LoadLog(path.c_str()));
  ASSERT_EQ(2, again.GetRowCount());
  EXPECT_EQ(17, again.GetRow(1).time.GetHour());
  EXPECT_EQ(5, again.GetRow(1).time.GetMinute());
  EXPECT_EQ(0, again.GetSelectedLine());
  ASSERT_TRUE(again.SaveLog(path.c_str()));
  EXPECT_EQ(first, ReadFile(path));
  EXPECT_TRUE(again.reports.empty());
}

TEST_F(TideLog, DamagedAndForeignFilesAreKeptAsideAndTheUserIsTold) {
  const fs::path path = dir / "logdata.dat";
  log.AddRow(dover, 12, 6, 2025);
  log.AddRow(dover, 13, 6, 2025);
  ASSERT_TRUE(log.SaveLog(path.c_str()));
  std::string good = ReadFile(path);
  const std::string cut = good.substr(0, good.size() - 7);
  std::string badRow = good;
  badRow[12 + 24 + 8] = 13;  // month 13 in the second row
  const std::string foreign = "<?xml version=\"1.0\"?><log/>";
  for (const std::string& bytes : {cut, badRow, foreign}) {
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::ofstream(path, std::ios::binary) << bytes;
    CTestLogWnd other;
    other.SetHost(&host);
    EXPECT_FALSE(other.LoadLog(path.c_str()));
    EXPECT_EQ(bytes == foreign ? 0 : 1, other.GetRowCount());
    ASSERT_EQ(1u, other.reports.size());
    EXPECT_NE(std::string::npos, other.reports[0].find("logdata.dat.bad"));
    EXPECT_EQ(bytes, ReadFile(dir / "logdata.dat.bad"));
    ASSERT_TRUE(other.SaveLog(path.c_str()));
    EXPECT_EQ(bytes, ReadFile(dir / "logdata.dat.bad")) << "the kept original survives the next save";
  }
}

TEST_F(TideLog, TheLogStopsAtTheRowsItsFileKeepsSoAFullLogReadsBackWhole) {
  std::vector<std::string> boxes;
  AfxSetMessageBoxHook([&](const AFX_MSGBOX_REQUEST& r) {
    boxes.push_back(r.text);
    return IDOK;
  });
  CTestLogWnd full;
  full.SetHost(&host);
  for (int i = 0; i < CTideLogFile::kMaxRows; ++i) ASSERT_GE(full.AddRow(dover, 12, 6, 2025), 0);
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(-1, full.AddRow(dover, 13, 6, 2025));
  AfxSetMessageBoxHook(nullptr);
  EXPECT_EQ(CTideLogFile::kMaxRows, full.GetRowCount());
  ASSERT_EQ(1u, boxes.size());
  EXPECT_NE(std::string::npos, boxes[0].find("at most 5000 rows"));
  const fs::path path = dir / "logdata.dat";
  ASSERT_TRUE(full.SaveLog(path.c_str()));
  CTestLogWnd again;
  again.SetHost(&host);
  ASSERT_TRUE(again.LoadLog(path.c_str()));
  EXPECT_EQ(CTideLogFile::kMaxRows, again.GetRowCount());
  EXPECT_TRUE(again.reports.empty()) << "a full log is not taken for a damaged one";
}

TEST_F(TideLog, AFailedSaveIsReportedToTheUser) {
  std::vector<std::string> boxes;
  AfxSetMessageBoxHook([&](const AFX_MSGBOX_REQUEST& r) {
    boxes.push_back(r.text);
    return IDOK;
  });
  CTideLogWnd plain;  // the program's own report: a message box
  plain.SetHost(&host);
  plain.AddRow(dover, 12, 6, 2025);
  std::ofstream(dir / "file") << "x";
  EXPECT_FALSE(plain.SaveLog((dir / "file" / "logdata.dat").c_str()));
  AfxSetMessageBoxHook(nullptr);
  ASSERT_EQ(1u, boxes.size());
  EXPECT_NE(std::string::npos, boxes[0].find("could not be saved"));
  EXPECT_FALSE(plain.GetLastProblem().IsEmpty());
}

// The log file follows every change as it is made, so a program that dies (kill -9, a power
// cut) loses no entry; a save that fails is told once, not at every change.
TEST_F(TideLog, EveryChangeIsSavedAtOnce) {
  const fs::path path = dir / "logdata.dat";
  ASSERT_TRUE(log.LoadLog(path.c_str()));  // none yet
  EXPECT_FALSE(fs::exists(path));
  auto fileRows = [&] {
    const std::string bytes = ReadFile(path);
    std::vector<TIDELOG_ROW> rows;
    TIDELOG_LOAD info;
    CTideLogFile::Parse(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size(), -1, rows, &info);
    EXPECT_EQ(TIDELOG_LOAD::ok, info.status);
    return rows;
  };
  const int other = dover == 0 ? 1 : 0;
  log.AddRow(dover, 12, 6, 2025);
  EXPECT_EQ((std::vector<TIDELOG_ROW>{{dover, 12, 6, 2025, 12, 0}}), fileRows());
  log.AddRow(other, 13, 7, 2025);
  log.SetRowTime(1, 17, 5);
  EXPECT_EQ((std::vector<TIDELOG_ROW>{{dover, 12, 6, 2025, 12, 0}, {other, 13, 7, 2025, 17, 5}}), fileRows());
  // The port picked for a row.
  log.answer = other;
  Click(Centre(log.GetCellButtonRect(1, CTideLogWnd::colPort)));
  EXPECT_EQ(other, fileRows()[0].port);
  // The first row's date given to every row, and the second row deleted.
  CPoint at = RowPoint(1, CTideLogWnd::colZone);
  log.ClientToScreen(&at);
  CTestCallLater close(30, [] { EndMenu(); });
  log.SendMessage(WM_CONTEXTMENU, (WPARAM)log.GetSafeHwnd(), MAKELPARAM(at.x, at.y));
  EXPECT_TRUE(close.Wait());
  log.OnReplicateDateToAll();
  EXPECT_EQ(12, fileRows()[1].day);
  log.SetSelectedLine(2);
  log.DeleteHighlightedRow();
  EXPECT_EQ((std::vector<TIDELOG_ROW>{{other, 12, 6, 2025, 12, 0}}), fileRows());
  EXPECT_TRUE(log.reports.empty());
  EXPECT_EQ((std::vector<std::string>{"logdata.dat"}), [&] {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    return names;
  }()) << "nothing left beside it";

  // The file's name taken by a folder: told once, however many changes follow.
  fs::remove(path);
  fs::create_directories(path / "inside");
  log.AddRow(dover, 14, 6, 2025);
  log.SetRowTime(1, 8, 0);
  ASSERT_EQ(1u, log.reports.size());
  EXPECT_NE(std::string::npos, log.reports[0].find("The tidal log could not be saved")) << log.reports[0];
  EXPECT_NE(std::string::npos, log.reports[0].find("taken by a folder")) << log.reports[0];
  EXPECT_TRUE(fs::exists(path / "inside"));
  // Once the way is clear the next change saves everything.
  fs::remove_all(path);
  log.SetRowTime(1, 9, 0);
  EXPECT_EQ((std::vector<TIDELOG_ROW>{{other, 12, 6, 2025, 12, 0}, {dover, 14, 6, 2025, 9, 0}}), fileRows());
  EXPECT_EQ(1u, log.reports.size());
}

}  // namespace
