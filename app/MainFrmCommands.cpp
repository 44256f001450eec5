// The main frame's commands, calculations and private messages.
#include "app/AppShared.h"
#include "app/MainFrm.h"
#include "app/Resource.h"
#include "chart/ConfigureGpsDialog.h"
#include "model/MoonPhases.h"
#include "model/SummerTime.h"
#include "views/FullScreenWnd.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cstring>
#include <string>

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_SIZE()
  ON_WM_SIZING()
  ON_WM_GETMINMAXINFO()
  ON_WM_TIMER()
  ON_WM_PAINT()
  ON_WM_SETFOCUS()
  ON_WM_INITMENUPOPUP()

  ON_COMMAND(ID_VIEW_GRAPH, OnViewGraph)
  ON_COMMAND(ID_PAGE_GRAPH, OnPageGraph)
  ON_COMMAND(ID_VIEW_TABLE, OnViewTable)
  ON_COMMAND(ID_PAGE_TABLE, OnPageTable)
  ON_COMMAND(ID_VIEW_HEIGHTFIND, OnViewHeightFind)
  ON_COMMAND(ID_PAGE_HEIGHTFIND, OnPageHeightFind)
  ON_COMMAND(ID_VIEW_TIDELOG, OnViewTideLog)
  ON_COMMAND(ID_PAGE_TIDELOG, OnViewTideLog)
  ON_COMMAND(ID_VIEW_MAP, OnViewMap)
  ON_COMMAND(ID_PAGE_MAP, OnViewMap)
  ON_COMMAND(ID_CALCULATE_GRAPH, OnCalculateGraph)
  ON_COMMAND(ID_CALCULATE_TABLE, OnCalculateTable)
  ON_COMMAND(ID_VIEW_GRAPH_FOR, OnViewGraphFor)
  ON_COMMAND(ID_METRES, OnMetres)
  ON_COMMAND(ID_FEET, OnFeet)
  ON_COMMAND(ID_PREVIOUS, OnPrevious)
  ON_COMMAND(ID_NEXT, OnNext)
  ON_COMMAND(ID_DAY_COMBO, OnDateComboCommand)
  ON_COMMAND(ID_MONTH_COMBO, OnDateComboCommand)
  ON_COMMAND(ID_YEAR_COMBO, OnDateComboCommand)
  ON_COMMAND(ID_MAP_CHOOSER, OnDateComboCommand)
  ON_COMMAND(ID_STREAM_TIME, OnDateComboCommand)
  ON_COMMAND(ID_ZONE_AUTOMATIC, OnZoneAutomatic)
  ON_COMMAND_RANGE(ID_ZONE_GMT0, ID_ZONE_GMTP1, OnZoneFixed)
  ON_COMMAND_RANGE(ID_ZONE_GMTM3, ID_ZONE_GMTP2, OnZoneFixed)
  ON_COMMAND_RANGE(ID_ZONE_FIRST, ID_ZONE_LAST, OnZoneItem)
  ON_COMMAND(ID_USE_CURRENT_TIME, OnUseCurrentTime)
  ON_COMMAND(ID_TIDE_TIMES, OnTideTimes)
  ON_COMMAND(ID_AGROUND_DETAILS, OnAgroundDetails)
  ON_COMMAND(ID_FULL_SCREEN, OnFullScreen)
  ON_COMMAND(ID_FILE_PRINT, OnFilePrint)
  ON_COMMAND(ID_SAVE_AS, OnSaveAs)
  ON_COMMAND(ID_GRAPH_COPY, OnGraphCopy)
  ON_COMMAND(ID_TABLE_COPY, OnTableCopy)
  ON_COMMAND(ID_EXPORT_DATA, OnExportData)
  ON_COMMAND(ID_OPTIONS, OnOptions)
  ON_COMMAND(ID_GRAPH_PROPERTIES, OnGraphProperties)
  ON_COMMAND(ID_PORT_PROPERTIES, OnPortProperties)
  ON_COMMAND(ID_ORDER_BY_NAME, OnOrderByName)
  ON_COMMAND(ID_ORDER_BY_LOCATION, OnOrderByLocation)
  ON_COMMAND_RANGE(ID_RECENT_PORT_FIRST, ID_RECENT_PORT_LAST, OnRecentPort)
  ON_COMMAND_RANGE(ID_NEAREST_PORT_FIRST, ID_NEAREST_PORT_LAST, OnNearestPort)
  ON_COMMAND(ID_TIDELOG_DELETE, OnLogDelete)
  ON_COMMAND(ID_TIDELOG_DELETE_ROWS, OnLogDeleteRows)
  ON_COMMAND(ID_TIDELOG_GOTO_GRAPH, OnLogGotoGraph)
  ON_COMMAND(ID_TIDELOG_REPLICATE_DATE, OnLogReplicateDate)
  ON_COMMAND(ID_MAP_ZOOM_IN, OnMapZoomIn)
  ON_COMMAND(ID_MAP_ZOOM_OUT, OnMapZoomOut)
  ON_COMMAND_RANGE(ID_MAP_SELECT_TOOL, ID_MAP_MAGNIFY_TOOL, OnMapTool)
  ON_COMMAND(ID_MAP_STREAMS, OnMapStreams)
  ON_COMMAND(ID_MAP_DIAMONDS, OnMapDiamonds)
  ON_COMMAND(ID_ROUTE_REVERSE, OnRouteReverse)
  ON_COMMAND(ID_POINT_DELETE, OnPointDelete)
  ON_COMMAND(ID_ROUTE_DELETE, OnRouteDelete)
  ON_COMMAND_RANGE(ID_POINT_RENAME, ID_ROUTE_RENAME, OnRouteRename)
  ON_COMMAND(ID_ROUTE_SELECT, OnRouteSelect)
  ON_COMMAND(ID_POINT_PROPERTIES, OnPointProperties)
  ON_COMMAND(ID_ROUTE_PROPERTIES, OnRouteProperties)
  ON_COMMAND(ID_GPS_CONFIGURE, OnGpsConfigure)
  ON_COMMAND(ID_GPS_TRACK, OnGpsTrack)
  ON_COMMAND_RANGE(ID_WEB_HOME, ID_WEB_FAQ, OnWebPage)
  ON_COMMAND(ID_YEAR_DUMP, OnYearDump)

  ON_UPDATE_COMMAND_UI(ID_VIEW_GRAPH, OnUpdateViewGraph)
  ON_UPDATE_COMMAND_UI(ID_VIEW_TABLE, OnUpdateViewTable)
  ON_UPDATE_COMMAND_UI(ID_VIEW_HEIGHTFIND, OnUpdateViewHeightFind)
  ON_UPDATE_COMMAND_UI(ID_VIEW_TIDELOG, OnUpdateViewTideLog)
  ON_UPDATE_COMMAND_UI(ID_VIEW_MAP, OnUpdateViewMap)
  ON_UPDATE_COMMAND_UI(ID_VIEW_GRAPH_FOR, OnUpdateViewGraphFor)
  ON_UPDATE_COMMAND_UI(ID_METRES, OnUpdateMetres)
  ON_UPDATE_COMMAND_UI(ID_FEET, OnUpdateFeet)
  ON_UPDATE_COMMAND_UI(ID_PREVIOUS, OnUpdatePreviousNext)
  ON_UPDATE_COMMAND_UI(ID_NEXT, OnUpdatePreviousNext)
  ON_UPDATE_COMMAND_UI(ID_DAY_COMBO, OnUpdateDateCombo)
  ON_UPDATE_COMMAND_UI(ID_MONTH_COMBO, OnUpdateDateCombo)
  ON_UPDATE_COMMAND_UI(ID_YEAR_COMBO, OnUpdateDateCombo)
  ON_UPDATE_COMMAND_UI(ID_STREAM_TIME, OnUpdateStreamTime)
  ON_UPDATE_COMMAND_UI(ID_ZONE_AUTOMATIC, OnUpdateZoneAutomatic)
  ON_UPDATE_COMMAND_UI_RANGE(ID_ZONE_GMT0, ID_ZONE_GMTP1, OnUpdateZoneFixed)
  ON_UPDATE_COMMAND_UI_RANGE(ID_ZONE_GMTM3, ID_ZONE_GMTP2, OnUpdateZoneFixed)
  ON_UPDATE_COMMAND_UI_RANGE(ID_ZONE_FIRST, ID_ZONE_LAST, OnUpdateZoneItem)
  ON_UPDATE_COMMAND_UI(ID_USE_CURRENT_TIME, OnUpdateUseCurrentTime)
  ON_UPDATE_COMMAND_UI(ID_TIDE_TIMES, OnUpdateTideTimes)
  ON_UPDATE_COMMAND_UI(ID_AGROUND_DETAILS, OnUpdateAgroundDetails)
  ON_UPDATE_COMMAND_UI(ID_FULL_SCREEN, OnUpdateFullScreen)
  ON_UPDATE_COMMAND_UI(ID_FILE_PRINT, OnUpdateFilePrint)
  ON_UPDATE_COMMAND_UI(ID_SAVE_AS, OnUpdateSaveAs)
  ON_UPDATE_COMMAND_UI(ID_ORDER_BY_NAME, OnUpdateOrderByName)
  ON_UPDATE_COMMAND_UI(ID_ORDER_BY_LOCATION, OnUpdateOrderByLocation)
  ON_UPDATE_COMMAND_UI(ID_TIDELOG_DELETE_ROWS, OnUpdateLogDeleteRows)
  ON_UPDATE_COMMAND_UI_RANGE(ID_MAP_SELECT_TOOL, ID_MAP_MAGNIFY_TOOL, OnUpdateMapTool)
  ON_UPDATE_COMMAND_UI(ID_MAP_STREAMS, OnUpdateMapStreams)
  ON_UPDATE_COMMAND_UI(ID_MAP_DIAMONDS, OnUpdateMapDiamonds)
  ON_UPDATE_COMMAND_UI(ID_ROUTE_PROPERTIES, OnUpdateRoutePropertiesAlways)
  ON_UPDATE_COMMAND_UI(ID_GPS_CONFIGURE, OnUpdateGpsConfigure)
  ON_UPDATE_COMMAND_UI(ID_GPS_TRACK, OnUpdateGpsTrack)

  ON_MESSAGE(WM_GRAPH_FULLSCREEN, OnGraphFullScreen)
  ON_MESSAGE(WM_MAPPICKER_CHANGED, OnMapPickerChanged)
  ON_MESSAGE(WM_STREAMTIME_CHANGED, OnStreamTimeChanged)
  ON_MESSAGE(WM_DAYCOMBO_CHANGED, OnDayComboChanged)
  ON_MESSAGE(WM_MONTHCOMBO_CHANGED, OnMonthComboChanged)
  ON_MESSAGE(WM_YEARCOMBO_CHANGED, OnYearComboChanged)
  ON_MESSAGE(WM_GPS_FIX, OnGpsFix)
  ON_MESSAGE(WM_BAR_CREATE_CONTROL, OnCreateControl)
  ON_MESSAGE(WM_BAR_POPUP_INIT, OnBarPopupInit)
  ON_MESSAGE(WM_GPS_OPENFAILED, OnGpsOpenFailed)
  ON_MESSAGE(WM_GPS_ERROR, OnGpsError)
  ON_MESSAGE(WM_GPS_STARTED, OnGpsStarted)
  ON_MESSAGE(WM_GPS_STOPPED, OnGpsStopped)
END_MESSAGE_MAP()

BOOL CMainFrame::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  return CFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

CString CMainFrame::GetCurrentPortName() const { return m_prediction.GetPortName(); }

double CMainFrame::GetAgroundLevel() const { return GetRightPane()->Graph().GetAgroundLevel(); }

// ---- Port selection ----
void CMainFrame::SelectPort(int nPort) {
  if (nPort == m_nCurrentPort) return;
  if (nPort < 0 || nPort >= m_portDB.GetCount()) return;
  CRightPane* right = GetRightPane();
  CLeftPane* left = GetLeftPane();
  const CPortData& port = *m_portDB.GetPort(nPort);
  m_monthlyPrediction.ClearAll();
  m_prediction.ClearCache();
  m_nCurrentPort = nPort;
  m_prediction.SetPort(port);
  m_monthlyPrediction.SetPort(port);
  m_nPortZone = port.GetTimeZone();
  m_sunrise.SetPosition(port.GetPosition());
  if (right->Graph().HasData()) {
    right->Graph().SetHasData(0);
    ShowTimeZoneCaption(FALSE);
  }
  const CString name = port.GetName();
  right->Table().SetPortName(name);
  SetPaneText(ID_INDICATOR_SUNRISE, "");
  SetPaneText(ID_INDICATOR_SUNSET, "");
  SetPlaceholder();
  right->Graph().SetMHWS(port.GetMHWS());
  right->Graph().SetMHWN(port.GetMHWN());
  right->Graph().SetMLWN(port.GetMLWN());
  right->Graph().SetMLWS(port.GetMLWS());
  left->TideTimes().Clear();
  left->SetPortName(name);
  right->HeightFind().SetPortName(name);
  right->HeightFind().ClearResults();

  if (right->IsHeightFindVisible() && m_bAutoCalcFind) {
    right->HeightFind().Find();
  } else if (right->IsHeightFindVisible()) {
    right->HeightFind().Invalidate();
    ShowPeriodTimeZoneCaption();
  }
  if (m_bAutoCalcGraph) CalculateGraph();
  if (right->IsTableVisible() && m_bAutoCalcMonth) {
    CalculateTable();
  } else {
    if (right->Table().IsCalculated()) right->Table().SetCalculated(0);
    right->Table().Refresh();
    ShowPeriodTimeZoneCaption();
  }
}

// Lower case, only a-z, digits and spaces, trimmed.
static CString FilterName(const CString& text) {
  CString lower = text;
  lower.MakeLower();
  CString filtered;
  for (int i = 0; i < lower.GetLength(); ++i) {
    const char c = lower[i];
    if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ' ') filtered += c;
  }
  filtered.Trim();
  return filtered;
}

BOOL CMainFrame::SelectPortByName(LPCTSTR lpszName) {
  const CString text = lpszName ? lpszName : "";
  if (text.GetLength() < 4) return FALSE;
  // The filtered text is what is looked for, and it must still be a name.
  const CString filtered = FilterName(text);
  if (filtered.GetLength() < 4) return FALSE;
  for (int i = 0; i < m_portDB.GetCount(); ++i) {
    CString name = m_portDB.GetPort(i)->GetName();
    name.MakeLower();
    // Names keep their punctuation ("Port Erin, Isle of Man"); both sides are filtered alike.
    if (name.Find(filtered) >= 0 || FilterName(name).Find(filtered) >= 0) {
      SelectPort(i);
      return TRUE;
    }
  }
  return FALSE;
}

// ---- The graph ----
void CMainFrame::CalculateGraph() {
  CRightPane* right = GetRightPane();
  if (!m_bDayRecords) {
    ShowNoPrediction();
    return;
  }
  CWaitCursor wait;
  CGraphWnd& g = right->Graph();
  const int s = IsSummerTimeOnSelectedDate();
  const int z = GetTimeZone();
  // The day as its clock runs: 23 or 25 hours on a change of summer time.
  const CLocalDay day = GetLocalDayOf(GetSelectedDate().GetDay());
  const auto [highest, lowest] = m_prediction.CalcDayRange(day);
  g.SetAutoRedraw(0);
  g.SetLocalDay(day);
  for (int m = 0; m < day.GetMinutes(); ++m) g.SetPoint(m_prediction.HeightAt(day, m), m);
  if (m_bAutoHeight || highest >= m_dMaxHeight)
    g.SetMaxHeight(highest * 1.1);
  else
    g.SetMaxHeight(m_dMaxHeight);
  g.SetMinHeight(lowest * 1.1);
  g.SetTitle(m_prediction.GetPortName() + " - " + m_prediction.GetDate().Format("%a %#d %b %Y"));
  g.SetAutoRedraw(1);
  UpdateTimeMark();
  g.SetHasData(1);

  CTideTimesWnd& times = GetLeftPane()->TideTimes();
  times.Clear();
  TIMEHEIGHT events[CPrediction::kMaxDayEvents];
  int n = m_prediction.FindHighLow(day, events);  // also leaves the next-low search its flag
  // As the month's table lists the day, so an extreme at midnight is on the same one day.
  const int d = GetSelectedDate().GetDay();
  if (d >= 2 && d <= m_monthlyPrediction.GetDaysInMonth() && m_monthDayValid[d] && m_monthDayValid[d - 1]) {
    const CLocalDay before = GetLocalDayOf(d - 1);
    n = m_monthlyPrediction.FindHighLow(d, day, &before, events);
  }
  for (int i = 0; i < n; ++i) times.AddTime(events[i].minutes, events[i].metres);

  CQsDateTime t;
  if (m_sunrise.GetSunrise(t))
    m_strSunrise = UniversalToZoneTime(t, z, s).Format(" Sunrise: %H:%M");
  else
    m_strSunrise = "Sun does not rise";
  if (m_sunrise.GetSunset(t))
    m_strSunset = UniversalToZoneTime(t, z, s).Format(" Sunset: %H:%M");
  else
    m_strSunset = "Sun does not set";
  if (right->IsGraphVisible()) {
    SetPaneText(ID_INDICATOR_SUNRISE, m_strSunrise);
    SetPaneText(ID_INDICATOR_SUNSET, m_strSunset);
  }
  m_portHistory.Add(m_nCurrentPort, m_prediction.GetPortName());
  UpdateAgroundInputs();
  ShowTimeZoneCaption(FALSE);
}

CQsDateTime CMainFrame::UniversalToZoneTime(const CQsDateTime& universal, int nZone, int bSummer) {
  int code = nZone;
  if (bSummer) code += (code >= -100 && code <= 100) ? 1 : 100;
  int hours, minutes = 0;
  if (code >= -100 && code <= 100) {
    hours = std::abs(code);
  } else {
    const double v = std::abs(code) / 100.0;
    hours = (int)v;
    if (v - hours > 0.001) minutes = 30;
  }
  CQsDateTime t = universal;
  if (code > 0)
    t.AddMinutes(hours * 60 + minutes);
  else
    t.SubtractMinutes(hours * 60 + minutes);
  return t;
}

void CMainFrame::UpdateTimeMark() {
  CRightPane* right = GetRightPane();
  CGraphWnd& g = right->Graph();
  if (m_bUseCurrentTime) {
    const CQsDateTime now = CQsDateTime::GetCurrent();
    g.SetTimeMark(now.GetHour() * 60 + now.GetMinute());
    g.Invalidate(FALSE);
  } else {
    g.SetTimeMark(right->Aground().GetTimeMinutes());
    if (g.HasData()) g.Invalidate(FALSE);
  }
  UpdateAgroundInputs();
}

void CMainFrame::UpdateAgroundInputs() {
  CRightPane* right = GetRightPane();
  if (!m_bDayRecords) return;
  int t;
  if (m_bUseCurrentTime) {
    const CQsDateTime now = CQsDateTime::GetCurrent();
    t = now.GetHour() * 60 + now.GetMinute();
  } else {
    t = right->Aground().GetTimeMinutes();
  }
  // t is a clock reading of the selected day.
  const CLocalDay day = GetLocalDayOf(GetSelectedDate().GetDay());
  right->Aground().SetHeightAboveDatum(m_prediction.HeightAtClock(day, t));
  right->Aground().SetDropToLowWater(m_prediction.HeightDropToNextLow(day, t));
  UpdateAgroundStatus(FALSE);
  right->Aground().UpdateResults();
}

void CMainFrame::UpdateAgroundStatus(BOOL bForce) {
  CRightPane* right = GetRightPane();
  CGraphWnd& g = right->Graph();
  if (!g.HasData() && !bForce) return;
  CAgroundWnd& a = right->Aground();
  const double X = a.IsDropUnknown() ? CAgroundWnd::kDropUnknown : a.GetDropToLowWater();
  const AGROUND_VERDICT v =
      ComputeAgroundVerdict(a.GetDepthOfWater(), a.GetDraught(), X, a.GetHeightAboveDatum(), m_nUnits != 0);
  m_strAgroundText = v.strText;
  if (right->IsGraphVisible() || bForce) SetPaneText(ID_INDICATOR_AGROUND, m_strAgroundText);
  g.SetAgroundLevel(v.dAgroundLevel);
  if (g.HasData() && v.dAgroundLevel >= 0) g.Invalidate(FALSE);
}

// ---- The table ----
void CMainFrame::CalculateTable() {
  CWaitCursor wait;
  CTableWnd& table = GetRightPane()->Table();
  const int days = m_monthlyPrediction.GetDaysInMonth();
  const CQsDateTime date = GetSelectedDate();
  table.SetMonth(date.GetMonth());
  table.SetYear(date.GetYear());
  table.SetDayCount(days);
  for (int d = 1; d <= days; ++d) {
    TIMEHEIGHT events[CPrediction::kMaxDayEvents];
    int n = 0;
    // A day outside the tables shows no events rather than made-up ones.
    if (m_monthDayValid[d]) {
      // The midnight shared with the day before is that day's to decide: each extreme once.
      const CLocalDay before = GetLocalDayOf(d - 1);
      n = m_monthlyPrediction.FindHighLow(d, GetLocalDayOf(d), d > 1 && m_monthDayValid[d - 1] ? &before : nullptr,
                                          events);
    }
    table.SetDayPredicted(d, m_monthDayValid[d]);
    for (int slot = 1; slot <= CTableWnd::kMaxSlots; ++slot) {
      table.SetEventPresent(slot, d, slot <= n);
      if (slot <= n) table.SetTideEvent(slot, d, events[slot - 1].minutes, events[slot - 1].metres);
    }
  }
  CMoonPhases moons(date.GetMonth(), date.GetYear());
  moons.Calculate();
  table.ClearMoonDays();
  for (int i = 0; i < moons.GetFullMoonCount(); ++i) table.SetFullMoonDay(moons.GetFullMoon(i).GetDay());
  for (int i = 0; i < moons.GetNewMoonCount(); ++i) table.SetNewMoonDay(moons.GetNewMoon(i).GetDay());
  for (int i = 0; i < moons.GetFirstQuarterCount(); ++i) table.SetFirstQuarterDay(moons.GetFirstQuarter(i).GetDay());
  for (int i = 0; i < moons.GetLastQuarterCount(); ++i) table.SetLastQuarterDay(moons.GetLastQuarter(i).GetDay());
  table.Refresh();
  m_portHistory.Add(m_nCurrentPort, m_prediction.GetPortName());
  table.SetCalculated(1);
  ShowPeriodTimeZoneCaption();
}

// ---- Dates ----
void CMainFrame::OnDateChanged(const CQsDateTime& date, BOOL bMonthChanged) {
  CRightPane* right = GetRightPane();
  const CPortData port = *m_portDB.GetPort(m_nCurrentPort);
  m_prediction.SetPort(port);
  m_monthlyPrediction.SetPort(port);
  SetAngleFactorsForDate(date, bMonthChanged);
  m_sunrise.SetDate(date.GetDay(), date.GetMonth(), date.GetYear());
  m_strSunrise.Empty();
  m_strSunset.Empty();
  SetPaneText(ID_INDICATOR_SUNRISE, "");
  SetPaneText(ID_INDICATOR_SUNSET, "");
  if (m_bDayRecords) {
    if (right->Graph().HasData()) {
      right->Graph().SetHasData(0);
      ShowTimeZoneCaption(FALSE);
    }
    SetPlaceholder();
    GetLeftPane()->TideTimes().Clear();
    if (m_bAutoCalcGraph) CalculateGraph();
  } else {
    // No records for the day: say so instead of showing another day's tide.
    ShowNoPrediction();
  }
  if (bMonthChanged) {
    right->Table().SetMonth(date.GetMonth());
    right->Table().SetYear(date.GetYear());
    right->Table().SetDayCount(m_monthlyPrediction.GetDaysInMonth());
    if (right->IsTableVisible() && m_bAutoCalcMonth) {
      CalculateTable();
    } else {
      if (right->Table().IsCalculated()) right->Table().SetCalculated(0);
      right->Table().Refresh();
      ShowPeriodTimeZoneCaption();
    }
    right->HeightFind().SetYear(date.GetYear());
    right->HeightFind().SetMonth(date.GetMonth());
    right->HeightFind().ClearResults();
    if (right->IsHeightFindVisible() && m_bAutoCalcFind) {
      right->HeightFind().Find();
    } else if (right->IsHeightFindVisible()) {
      right->HeightFind().Invalidate();
      ShowPeriodTimeZoneCaption();
    }
  }
  right->Map().OnDateChanged(date);
}

BOOL CMainFrame::SetComboDate(const CQsDateTime& date) {
  const CQsDateTime old = GetSelectedDate();
  m_pYearCombo->SetCurSel(date.GetYear() - GetFirstYear());
  m_pMonthCombo->SetCurSel(date.GetMonth() - 1);
  if (old.GetMonth() != date.GetMonth() || old.GetYear() != date.GetYear())
    FillDayList(date.GetMonth(), date.GetYear());
  m_pDayCombo->SetCurSel(date.GetDay() - 1);
  return old.GetMonth() != date.GetMonth() || old.GetYear() != date.GetYear();
}

// Moves the selection to the date, kept within the days the tables can predict.
void CMainFrame::MoveToDate(const CQsDateTime& target) {
  CQsDateTime date = target;
  if (date <= m_firstDate) date = m_firstDate;
  if (m_lastDate <= date) date = m_lastDate;
  if (date == GetSelectedDate()) return;
  const BOOL monthChanged = SetComboDate(date);
  OnDateChanged(GetSelectedDate(), monthChanged);
}

void CMainFrame::StepDay(int nDelta) {
  CQsDateTime d = GetSelectedDate();
  if (nDelta > 0)
    d.NextDay();
  else
    d.PrevDay();
  MoveToDate(d);
}

void CMainFrame::StepMonth(int nDelta) {
  const CQsDateTime d = GetSelectedDate();
  int month = d.GetMonth() + nDelta, year = d.GetYear();
  if (month > 12) month = 1, ++year;
  if (month < 1) month = 12, --year;
  if (year < GetFirstYear() || year > GetLastYear()) {
    MoveToDate(nDelta > 0 ? m_lastDate : m_firstDate);
    return;
  }
  MoveToDate(CQsDateTime(year, month, std::min(d.GetDay(), ::DaysInMonth(month, year)), 0, 0, 0));
}

void CMainFrame::GoPrevious() {
  CRightPane* right = GetRightPane();
  if (right->IsGraphVisible() || right->IsMapVisible()) {
    StepDay(-1);
    if (!m_bAutoCalcGraph) CalculateGraph();
  } else {
    StepMonth(-1);
    if (!m_bAutoCalcGraph) CalculateGraph();
    if (!m_bAutoCalcMonth) CalculateTable();
  }
}

void CMainFrame::GoNext() {
  CRightPane* right = GetRightPane();
  if (right->IsGraphVisible() || right->IsMapVisible()) {
    StepDay(1);
    if (!m_bAutoCalcGraph) CalculateGraph();
  } else {
    StepMonth(1);
    if (!m_bAutoCalcGraph) CalculateGraph();
    if (!m_bAutoCalcMonth) CalculateTable();
  }
}

BOOL CMainFrame::SelectDay(int nDay) {
  if (nDay - 1 == m_pDayCombo->GetCurSel()) return FALSE;
  if (nDay >= 1 && nDay <= m_pDayCombo->GetCount()) {
    m_pDayCombo->SetCurSel(nDay - 1);
    OnDayComboChanged((WPARAM)(nDay - 1), 0);
  }
  return TRUE;
}

BOOL CMainFrame::SelectDate(int nDay, int nMonth, int nYear) {
  const CQsDateTime old = GetSelectedDate();
  if (old.GetDay() == nDay && old.GetMonth() == nMonth && old.GetYear() == nYear) return FALSE;
  if (nMonth >= 1 && nMonth <= 12 && nYear >= GetFirstYear() && nYear <= GetLastYear() && nDay >= 1 &&
      nDay <= ::DaysInMonth(nMonth, nYear)) {
    const BOOL monthChanged = SetComboDate(CQsDateTime(nYear, nMonth, nDay, 0, 0, 0));
    OnDateChanged(GetSelectedDate(), monthChanged);
  }
  return TRUE;
}

LRESULT CMainFrame::OnDayComboChanged(WPARAM, LPARAM) {
  OnDateChanged(GetSelectedDate(), FALSE);
  return 0;
}

LRESULT CMainFrame::OnMonthComboChanged(WPARAM, LPARAM) {
  const CQsDateTime d = GetSelectedDate();
  FillDayList(m_pMonthCombo->GetCurSel() + 1, d.GetYear());
  OnDateChanged(GetSelectedDate(), TRUE);
  return 0;
}

LRESULT CMainFrame::OnYearComboChanged(WPARAM, LPARAM) {
  if (m_pMonthCombo->GetCurSel() == 1) FillDayList(2, m_pYearCombo->GetCurSel() + GetFirstYear());
  OnDateChanged(GetSelectedDate(), TRUE);
  return 0;
}

// ---- Pages ----
void CMainFrame::ShowGraphPage() {
  GetRightPane()->ShowGraph();
  ShowTimeZoneCaption(FALSE);
  GetRightPane()->RecalcLayout();
}

void CMainFrame::OnViewGraph() { ShowGraphPage(); }
void CMainFrame::OnPageGraph() { OnViewGraph(); }

void CMainFrame::OnViewTable() {
  CRightPane* right = GetRightPane();
  right->ShowTable();
  if (m_bAutoCalcMonth) CalculateTable();
  ShowPeriodTimeZoneCaption();
  right->RecalcLayout();
}
void CMainFrame::OnPageTable() { OnViewTable(); }

void CMainFrame::OnViewHeightFind() {
  CRightPane* right = GetRightPane();
  right->ShowHeightFind();
  if (m_bAutoCalcFind) right->HeightFind().Find();
  ShowPeriodTimeZoneCaption();
  right->RecalcLayout();
}
void CMainFrame::OnPageHeightFind() { OnViewHeightFind(); }

void CMainFrame::OnViewTideLog() {
  GetRightPane()->ShowTideLog();
  GetRightPane()->RecalcLayout();
}

void CMainFrame::OnViewMap() {
  ShowMapStatus(nullptr, FALSE);
  GetRightPane()->ShowMap();
  GetRightPane()->RecalcLayout();
}

void CMainFrame::OnCalculateGraph() {
  CalculateGraph();
  if (!GetRightPane()->IsGraphVisible()) ShowGraphPage();
}

void CMainFrame::OnCalculateTable() {
  CalculateTable();
  if (GetRightPane()->IsGraphVisible()) OnViewTable();
}

void CMainFrame::OnViewGraphFor() {
  const BOOL changed = SelectDay(GetRightPane()->Table().GetSelectedDay());
  ShowGraphPage();
  if (changed) CalculateGraph();
}

void CMainFrame::OnUpdateViewGraph(CCmdUI* p) { p->SetCheck(GetRightPane()->IsGraphVisible()); }
void CMainFrame::OnUpdateViewTable(CCmdUI* p) { p->SetCheck(GetRightPane()->IsTableVisible()); }
void CMainFrame::OnUpdateViewHeightFind(CCmdUI* p) { p->SetCheck(GetRightPane()->IsHeightFindVisible()); }
void CMainFrame::OnUpdateViewTideLog(CCmdUI* p) { p->SetCheck(GetRightPane()->IsTideLogVisible()); }
void CMainFrame::OnUpdateViewMap(CCmdUI* p) { p->SetCheck(GetRightPane()->IsMapVisible()); }

void CMainFrame::OnUpdateViewGraphFor(CCmdUI* p) {
  CString text;
  AfxLoadString(IDS_VIEW_GRAPH_FOR, text);
  p->SetText(text + GetRightPane()->Table().GetSelectedDate().Format(" %#d %b"));
}

// ---- Units ----
void CMainFrame::ApplyUnits(int nUnits) {
  m_nUnits = nUnits;
  CRightPane* right = GetRightPane();
  right->Graph().SetFeet(nUnits);
  right->Table().SetFeet(nUnits);
  right->Aground().SetFeet(nUnits);
  right->HeightFind().SetFeet(nUnits);
  GetLeftPane()->TideTimes().SetUnits(nUnits);
  if (nUnits)
    right->TideLog().SetFeet();
  else
    right->TideLog().SetMetres();
  right->TideLog().Invalidate();
  UpdateAgroundStatus(FALSE);
}

void CMainFrame::OnMetres() { ApplyUnits(0); }
void CMainFrame::OnFeet() { ApplyUnits(1); }
void CMainFrame::OnUpdateMetres(CCmdUI* p) { p->SetCheck(m_nUnits == 0); }
void CMainFrame::OnUpdateFeet(CCmdUI* p) { p->SetCheck(m_nUnits == 1); }

void CMainFrame::OnUpdatePreviousNext(CCmdUI* p) { p->Enable(!GetRightPane()->IsTideLogVisible()); }
void CMainFrame::OnUpdateDateCombo(CCmdUI* p) { p->Enable(m_bDateCombosEnabled); }
void CMainFrame::OnUpdateStreamTime(CCmdUI* p) { p->Enable(!m_bUseCurrentTime); }

// ---- Zones ----
void CMainFrame::RecalcAfterZoneChange() {
  CRightPane* right = GetRightPane();
  if (right->Graph().HasData()) CalculateGraph();
  if (right->Table().IsCalculated()) CalculateTable();
  if (right->HeightFind().HasResults()) right->HeightFind().Find();
  if (right->IsTideLogVisible()) {
    right->TideLog().RecalcZones();
    right->TideLog().Invalidate();
  }
}

void CMainFrame::OnZoneAutomatic() {
  if (m_bAutoTZ) return;
  m_bAutoTZ = 1;
  RecalcAfterZoneChange();
  if (GetRightPane()->IsMapVisible()) GetRightPane()->Map().OnDateChanged(GetSelectedDate());
}

static int FixedZone(UINT nID) {
  switch (nID) {
    case ID_ZONE_GMT0: return 0;
    case ID_ZONE_GMTM1: return -1;
    case ID_ZONE_GMTP1: return 1;
    case ID_ZONE_GMTM2: return -2;
    case ID_ZONE_GMTM3: return -3;
    case ID_ZONE_GMTP2: return 2;
    case ID_ZONE_GMTP3: return 3;
    default: return INT_MIN;
  }
}

void CMainFrame::OnZoneFixed(UINT nID) {
  const int z = FixedZone(nID);
  if (z == INT_MIN || (!m_bAutoTZ && m_nChosenZone == z)) return;
  m_nChosenZone = z;
  m_bAutoTZ = 0;
  RecalcAfterZoneChange();
}

void CMainFrame::OnZoneItem(UINT nID) {
  const int z = ZoneOfCommand(nID);
  if (z == INT_MIN || (!m_bAutoTZ && m_nChosenZone == z)) return;
  m_nChosenZone = z;
  m_bAutoTZ = 0;
  RecalcAfterZoneChange();
  if (GetRightPane()->IsMapVisible()) GetRightPane()->Map().OnDateChanged(GetSelectedDate());
}

void CMainFrame::OnUpdateZoneAutomatic(CCmdUI* p) {
  CRightPane* right = GetRightPane();
  p->Enable(right->Graph().HasData() || right->Table().IsCalculated() || right->HeightFind().HasResults());
  p->SetCheck(m_bAutoTZ);
}

void CMainFrame::OnUpdateZoneFixed(CCmdUI* p) {
  CRightPane* right = GetRightPane();
  p->Enable(right->Graph().HasData() || right->Table().IsCalculated() || right->HeightFind().HasResults());
  p->SetCheck(!m_bAutoTZ && m_nChosenZone == FixedZone(p->m_nID));
}

void CMainFrame::OnUpdateZoneItem(CCmdUI* p) {
  CRightPane* right = GetRightPane();
  p->Enable(right->Graph().HasData() || right->Table().IsCalculated() || right->HeightFind().HasResults());
  p->SetCheck(!m_bAutoTZ && m_nChosenZone == ZoneOfCommand(p->m_nID));
}

// ---- Current time, panels ----
void CMainFrame::OnUseCurrentTime() {
  m_bUseCurrentTime = !m_bUseCurrentTime;
  CRightPane* right = GetRightPane();
  right->Aground().SetUseCurrentTime(m_bUseCurrentTime);
  UpdateTimeMark();
  if (m_bUseCurrentTime) {
    right->Map().SetStreamTime(CQsDateTime::GetCurrent());
  } else {
    CQsDateTime at = GetSelectedDate();
    const CQsDateTime chosen = m_pStreamTimeCombo ? m_pStreamTimeCombo->GetTime() : CQsDateTime(2005, 1, 1, 12, 0, 0);
    at.SetTime(chosen.GetHour(), chosen.GetMinute(), 0);
    right->Map().SetStreamTime(at);
  }
}

void CMainFrame::OnUpdateUseCurrentTime(CCmdUI* p) {
  p->Enable(GetRightPane()->IsGraphVisible() || GetRightPane()->IsMapVisible());
  p->SetCheck(m_bUseCurrentTime);
}

void CMainFrame::OnTideTimes() {
  CLeftPane* left = GetLeftPane();
  const BOOL show = !CRightPane::Shown(left->TideTimes());
  left->TideTimes().ShowWindow(show ? SW_SHOW : SW_HIDE);
  left->TideTimes().EnableWindow(show);
  left->RecalcLayout();
}

void CMainFrame::OnUpdateTideTimes(CCmdUI* p) {
  CLeftPane* left = GetLeftPane();
  p->Enable(!CRightPane::Shown(left->RoutesTree()));
  p->SetCheck(CRightPane::Shown(left->TideTimes()));
}

void CMainFrame::OnAgroundDetails() {
  CRightPane* right = GetRightPane();
  right->SetAgroundShown(!right->IsAgroundShown());
}

void CMainFrame::OnUpdateAgroundDetails(CCmdUI* p) {
  p->Enable(GetRightPane()->IsGraphVisible());
  p->SetCheck(GetRightPane()->IsAgroundShown());
}

// ---- Output ----
LRESULT CMainFrame::OnGraphFullScreen(WPARAM, LPARAM) {
  OnFullScreen();
  return 0;
}

void CMainFrame::OnFullScreen() {
  CGraphWnd& g = Graph();
  if (!g.HasData()) return;
  // One at a time: asked again, the open one comes to the front.
  if (CWnd* open = GetFullScreen()) {
    open->BringWindowToTop();
    open->SetActiveWindow();
    return;
  }
  auto* wnd = new CFullScreenWnd;
  wnd->SetHost(this);
  CWinApp* app = AfxGetWinApp();
  LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW), (HBRUSH)(UINT_PTR)(COLOR_BTNFACE + 1),
                                    app ? app->LoadIcon(IDR_MAINFRAME) : nullptr);
  // A window that fails to open has deleted itself.
  // Owned by the frame: the window manager keeps it above the frame, and with it.
  if (!wnd->Create(cls, "", WS_VISIBLE | WS_MAXIMIZE, CFrameWnd::rectDefault, this)) return;
  m_hFullScreen = wnd->GetSafeHwnd();
  wnd->SetAgroundColour(g.GetAgroundColour());
  wnd->SetBackColour(g.GetBackColour());
  wnd->SetAxisColour(g.GetAxisColour());
  wnd->SetLineColour(g.GetLineColour());
  wnd->SetGradientColour(g.GetGradientColour());
  wnd->SetGridlineColour(g.GetGridlineColour());
  wnd->SetTimeMarkColour(g.GetTimeMarkColour());
  wnd->SetMHWSColour(g.GetMHWSColour());
  wnd->SetTimeMark(g.GetTimeMark());
  wnd->SetMHWS(g.GetMHWS());
  wnd->SetMHWN(g.GetMHWN());
  wnd->SetMLWN(g.GetMLWN());
  wnd->SetMLWS(g.GetMLWS());
  wnd->SetAgroundLevel(g.GetAgroundLevel());
  wnd->SetHasData();
}

CWnd* CMainFrame::GetFullScreen() const {
  if (!m_hFullScreen || !::IsWindow(m_hFullScreen)) return nullptr;
  return dynamic_cast<CFullScreenWnd*>(CWnd::FromHandlePermanent(m_hFullScreen));
}

void CMainFrame::CloseFullScreen() {
  // The window's timer asks the frame for the time mark: it must not outlive the frame.
  if (CWnd* open = GetFullScreen()) open->DestroyWindow();
  m_hFullScreen = nullptr;
}

void CMainFrame::OnUpdateFullScreen(CCmdUI* p) {
  p->Enable(GetRightPane()->IsGraphVisible() && GetRightPane()->Graph().HasData());
}

void CMainFrame::OnFilePrint() {
  if (IRightPage* page = GetRightPane()->GetVisiblePage()) page->Print();
}

void CMainFrame::OnUpdateFilePrint(CCmdUI* p) {
  const IRightPage* page = GetRightPane()->GetVisiblePage();
  p->Enable(!page || page->CanPrint());
}

void CMainFrame::OnSaveAs() {
  if (IRightPage* page = GetRightPane()->GetVisiblePage()) page->SaveAs();
}

void CMainFrame::OnUpdateSaveAs(CCmdUI* p) {
  const IRightPage* page = GetRightPane()->GetVisiblePage();
  if (const UINT id = page ? page->GetSaveAsTextId() : 0) {
    CString text;
    AfxLoadString(id, text);
    p->SetText(text);
  }
  p->Enable(page && page->CanSaveAs());
}

void CMainFrame::OnGraphCopy() { Graph().CopyToClipboard(); }
void CMainFrame::OnTableCopy() { GetRightPane()->Table().CopyToClipboard(); }

// ---- Ports ----
void CMainFrame::OnOrderByName() { GetLeftPane()->PortsTree().SortByName(); }
void CMainFrame::OnOrderByLocation() { GetLeftPane()->PortsTree().SortByLocation(); }
void CMainFrame::OnUpdateOrderByName(CCmdUI* p) { p->SetRadio(!GetLeftPane()->PortsTree().IsInLocationOrder()); }
void CMainFrame::OnUpdateOrderByLocation(CCmdUI* p) { p->SetRadio(GetLeftPane()->PortsTree().IsInLocationOrder()); }

void CMainFrame::OnRecentPort(UINT nID) {
  int port;
  CString name;
  if (m_portHistory.GetEntry((int)(nID - ID_RECENT_PORT_FIRST), port, name)) SelectPort(port);
}

void CMainFrame::OnNearestPort(UINT nID) {
  SelectPort(GetLeftPane()->PortsTree().GetNearestPort((int)(nID - ID_NEAREST_PORT_FIRST) + 1));
  GetRightPane()->Graph().SetFocus();
}

// ---- Tidal log ----
void CMainFrame::OnLogDelete() { GetRightPane()->TideLog().OnDelete(); }
void CMainFrame::OnLogDeleteRows() { GetRightPane()->TideLog().DeleteHighlightedRow(); }
void CMainFrame::OnLogGotoGraph() { GetRightPane()->TideLog().OnGotoGraph(); }
void CMainFrame::OnLogReplicateDate() { GetRightPane()->TideLog().OnReplicateDateToAll(); }

void CMainFrame::OnUpdateLogDeleteRows(CCmdUI* p) {
  CTideLogWnd& log = GetRightPane()->TideLog();
  const int sel = log.GetSelectedLine();
  p->Enable(GetRightPane()->IsTideLogVisible() && sel >= 1 && sel < log.GetLineCount());
}

// ---- Chart ----
void CMainFrame::OnMapZoomIn() { GetRightPane()->Map().ZoomIn(); }
void CMainFrame::OnMapZoomOut() { GetRightPane()->Map().ZoomOut(); }

void CMainFrame::OnMapTool(UINT nID) {
  switch (nID) {
    case ID_MAP_SELECT_TOOL: GetRightPane()->Map().SetMouseMode(0); break;
    case ID_MAP_MAGNIFY_TOOL: GetRightPane()->Map().SetMouseMode(2); break;
    case ID_MAP_ROUTE_TOOL: GetRightPane()->Map().SetMouseMode(1); break;
    default: break;
  }
}

void CMainFrame::OnUpdateMapTool(CCmdUI* p) {
  const int mode = p->m_nID == ID_MAP_SELECT_TOOL ? 0 : p->m_nID == ID_MAP_MAGNIFY_TOOL ? 2 : 1;
  p->SetCheck(GetRightPane()->Map().GetMouseMode() == mode);
}

void CMainFrame::OnMapStreams() {
  CMapView& map = GetRightPane()->Map();
  map.SetShowStreamGrid(!map.GetShowStreamGrid());
  if (map.GetShowStreamGrid()) map.SetShowDiamonds(0);
}

void CMainFrame::OnMapDiamonds() {
  CMapView& map = GetRightPane()->Map();
  map.SetShowDiamonds(!map.AreDiamondsShown());
  if (map.AreDiamondsShown()) map.SetShowStreamGrid(0);
}

void CMainFrame::OnUpdateMapStreams(CCmdUI* p) { p->SetCheck(GetRightPane()->Map().GetShowStreamGrid()); }
void CMainFrame::OnUpdateMapDiamonds(CCmdUI* p) { p->SetCheck(GetRightPane()->Map().AreDiamondsShown()); }
void CMainFrame::OnUpdateGpsConfigure(CCmdUI* p) { p->Enable(!CGpsReader::Instance().IsRunning()); }
void CMainFrame::OnUpdateGpsTrack(CCmdUI* p) { p->SetCheck(CGpsReader::Instance().IsRunning()); }

LRESULT CMainFrame::OnMapPickerChanged(WPARAM wParam, LPARAM) {
  if (wParam == 1 || wParam == 2 || wParam == 4 || wParam == 8) {
    CWaitCursor wait;
    GetRightPane()->Map().SetRegion((int)wParam);
  }
  return 0;
}

LRESULT CMainFrame::OnStreamTimeChanged(WPARAM, LPARAM) {
  if (!m_pStreamTimeCombo) return 0;
  CQsDateTime at = GetSelectedDate();
  const CQsDateTime chosen = m_pStreamTimeCombo->GetTime();
  at.SetTime(chosen.GetHour(), chosen.GetMinute(), 0);
  GetRightPane()->Map().SetStreamTime(at);
  return 0;
}

// ---- Routes ----
void CMainFrame::OnRouteReverse() { GetLeftPane()->RoutesTree().ReverseRoute(); }
void CMainFrame::OnPointDelete() { GetChartRoutes().DeleteSelectedRoutePoint(); }
void CMainFrame::OnRouteDelete() { GetLeftPane()->RoutesTree().OnDeleteRoute(); }
void CMainFrame::OnRouteRename(UINT) { GetLeftPane()->RoutesTree().EditLabel(); }
void CMainFrame::OnRouteSelect() { GetLeftPane()->RoutesTree().ActivateSelected(); }
void CMainFrame::OnPointProperties() { GetLeftPane()->RoutesTree().EditPointProperties(); }
void CMainFrame::OnRouteProperties() { GetLeftPane()->RoutesTree().EditRouteProperties(); }

// ---- GPS ----
void CMainFrame::OnGpsConfigure() {
  CGpsReader& reader = CGpsReader::Instance();
  if (reader.IsRunning()) return;
  CConfigureGpsDialog dlg(this);
  dlg.SetPort(reader.GetPort());
  dlg.SetDevicePath(reader.GetDevicePath());
  if (dlg.DoModal() != IDOK) return;
  reader.SetPort(dlg.GetPort());
  reader.SetDevicePath(dlg.GetDevicePath());
  m_nGpsComPort = dlg.GetPort();
}

void CMainFrame::OnGpsTrack() {
  CGpsReader& reader = CGpsReader::Instance();
  if (reader.IsRunning()) {
    reader.Stop();
    return;
  }
  reader.SetNotifyWindow(m_hWnd);
  reader.Start();
}

LRESULT CMainFrame::OnGpsFix(WPARAM, LPARAM) {
  if (!CGpsReader::Instance().GetFix(&m_lastFix)) return 0;
  const GPSFIX& f = m_lastFix;
  GetRightPane()->Map().SetVesselPosition(f.latitude, f.longitude, f.course, f.speed);
  GetLeftPane()->GpsWnd().SetData(f.latitude, f.longitude, f.speed, f.course);
  return 0;
}

LRESULT CMainFrame::OnGpsOpenFailed(WPARAM wParam, LPARAM) {
  if (wParam == 2) {
    AfxMessageBox(
        "GPS: Could not open COM port.\n\nPlease check that the GPS is plugged in and working and that no\n"
        "other programs are listening on the COM port");
    return 0;
  }
  return OnGpsError(wParam, 0);
}

LRESULT CMainFrame::OnGpsError(WPARAM wParam, LPARAM) {
  CString msg;
  msg.Format("GPS Error:\n\n%s", std::strerror((int)wParam));
  AfxMessageBox(msg);
  return 0;
}

LRESULT CMainFrame::OnGpsStarted(WPARAM, LPARAM) {
  if (!m_bGpsPaneShown) {
    SetStatusPanes(TRUE);
    m_bGpsPaneShown = 1;
  }
  GetLeftPane()->ShowGps();
  return 0;
}

LRESULT CMainFrame::OnGpsStopped(WPARAM, LPARAM) {
  if (m_bGpsPaneShown) {
    SetStatusPanes(FALSE);
    m_bGpsPaneShown = 0;
  }
  GetRightPane()->Map().MarkVesselStale();
  GetLeftPane()->HideGps();
  return 0;
}

// ---- Help pages ----
void CMainFrame::OnWebPage(UINT nID) {
  static const char* const kPages[] = {"index.html", "news.html", "support.html", "faq.html"};
  const CString path = AfxAppendPath(AfxAppendPath(AfxGetDataFolder(), "help"), kPages[nID - ID_WEB_HOME]);
  if (!AfxShellOpen(path))
    AfxMessageBox("Neapwise could not open its help page:\n\n" + path, MB_OK | MB_ICONEXCLAMATION);
}

// ---- A year of heights ----
CString CMainFrame::WriteYearOfHeights(CString& rError) {
  const int year = GetSelectedDate().GetYear();
  const CPortData port = *m_portDB.GetPort(m_nCurrentPort);
  std::string out = std::string((LPCTSTR)port.GetName()) + "\n";
  CPrediction day;
  day.SetPort(port);
  int days = 0;
  for (CQsDateTime d(year, 1, 1, 0, 0, 0); d.GetYear() == year; d.NextDay()) {
    int h1 = -1, h2 = -1;
    const CAngleFactorData& a = m_angleFactorDB.Find(d, h1);
    const CAngleFactorData& b = m_angleFactorDB.Find(AddDays(d), h2);
    if (h1 < 0 || h2 < 0) continue;  // outside the tables: no heights rather than wrong ones
    day.ClearCache();
    day.SetAngleFactors(a, b);
    ++days;
    for (int minute = 0; minute < 1440; minute += 10) {
      char height[32];
      auto r = std::to_chars(height, height + sizeof height - 1, (float)day.HeightAt(minute, 0, 0),
                             std::chars_format::fixed, 2);
      *r.ptr = 0;
      char line[96];
      std::snprintf(line, sizeof line, "%d/%d/%d,%d:%d,%s\n", d.GetDay(), d.GetMonth(), year, minute / 60, minute % 60,
                    height);
      out += line;
    }
  }
  if (days == 0) {
    rError.Format("The tide tables hold no days of %d.", year);
    return CString();
  }
  const CString folder = GetUserDataFolder();
  if (folder.IsEmpty()) {
    rError.Format("the folder for your own files, \"%s\", could not be made.", (LPCTSTR)AfxGetUserDataFolderPath());
    return CString();
  }
  const CString path = AfxAppendPath(folder, "portname.txt");
  CFileException e;
  if (!AfxSaveFileSafely(path, out.data(), out.size(), &e)) {
    rError = e.GetErrorMessage();
    return CString();
  }
  return path;
}

void CMainFrame::OnYearDump() {
  CWaitCursor wait;
  CString error;
  const CString path = WriteYearOfHeights(error);
  if (path.IsEmpty())
    AfxMessageBox("The year of heights was not saved: " + error, MB_OK | MB_ICONEXCLAMATION);
  else
    AfxMessageBox("The year of heights was saved in\n" + path, MB_OK | MB_ICONINFORMATION);
}
