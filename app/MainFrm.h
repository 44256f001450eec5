// The main window and the program's hub: it owns the tables, the day's predictions, the
// recent ports and every setting; it handles every command, computes the graph and the
// table, and pushes results and settings into the views.
#pragma once

#include "app/BarCombo.h"
#include "app/LeftPane.h"
#include "app/PortsHost.h"
#include "app/RightPane.h"
#include "chart/ChartRoutes.h"
#include "chart/GpsReader.h"
#include "chart/MapHost.h"
#include "model/AngleFactorDB.h"
#include "model/DiamondDB.h"
#include "model/MonthlyPrediction.h"
#include "model/PortDB.h"
#include "model/PortHistory.h"
#include "model/Prediction.h"
#include "model/Sunrise.h"
#include "platform/ui/AfxWin.h"
#include "toolkit/CbCommandBars.h"
#include "toolkit/CbMenuBar.h"
#include "toolkit/CbPopupBar.h"
#include "toolkit/CbStatusBar.h"
#include "views/FlatSplitter.h"
#include "views/ViewHost.h"
#include "views/VxMenu.h"

using CFrameSplitter = CFlatSplitter;
using CFrameStatusBar = CCbStatusBar;

class CMainFrame : public CCbFrameWnd, public IViewHost, public IPredictionFrame, public IPortsHost, public IMapHost {
  DECLARE_DYNAMIC(CMainFrame)
  DECLARE_MESSAGE_MAP()
 public:
  static constexpr UINT kTimerId = 1;
  static constexpr UINT kTimerPeriod = 60000;
  static constexpr int kMinWidth = 640, kMinHeight = 450;

  CMainFrame();
  ~CMainFrame() override;

  // The day's and the month's caches are written whole as the frame is made: its pages come in
  // one call.
  static void* operator new(std::size_t size) { return AfxNewPrefaulted(size); }
  static void operator delete(void* p) { ::operator delete(p); }

  // ---- IViewHost ----
  CWnd* GetMainWindow() override { return this; }
  VxMenu* GetContextMenu() override { return &m_contextMenu; }
  CQsDateTime GetSelectedDate() const override;
  CQsDateTime AddDays(const CQsDateTime& date) const override;
  int GetTimeZone() const override { return m_bAutoTZ ? m_nPortZone : m_nChosenZone; }
  int GetChosenTimeZone() const override { return m_nChosenZone; }
  BOOL IsAutoTimeZone() const override { return m_bAutoTZ; }
  BOOL IsUseCurrentTime() const override { return m_bUseCurrentTime; }
  BOOL IsFeet() const override { return m_nUnits; }
  int GetCurrentPort() const override { return m_nCurrentPort; }
  CString GetCurrentPortName() const override;
  CPrediction* GetPrediction() override { return &m_prediction; }
  double GetAgroundLevel() const override;
  void CalculateGraph() override;
  void CalculateTable() override;
  void SelectPort(int nPort) override;
  BOOL SelectPortByName(LPCTSTR lpszName) override;
  BOOL SelectDay(int nDay) override;
  BOOL SelectDate(int nDay, int nMonth, int nYear) override;
  void ShowGraphPage() override;
  void GoNext() override;
  void GoPrevious() override;

  // ---- The month pages, the tidal log and the running-aground panel (IViewHost) ----
  CMonthlyPrediction& GetMonthlyPrediction() override { return m_monthlyPrediction; }
  int IsSummerTimeOnDay(int nDay) const override;
  CLocalDay GetLocalDayOf(int nDay) const override;
  void ShowPeriodTimeZoneCaption() override;
  CPortDB* GetPortDB() override { return m_portDB.IsLoaded() ? &m_portDB : nullptr; }
  int PickPort(int nInitialPort) override;
  // Also the prediction frame's: the table port records make their own predictions from.
  const CAngleFactorDB* GetAngleFactorDB() const override { return &m_angleFactorDB; }
  void UpdateTimeMark() override;
  void RefreshAgroundStatus() override { UpdateAgroundStatus(FALSE); }

  // ---- IMapHost (the rest is shared with IViewHost) ----
  const CDiamondDB* GetMapDiamondDB() override { return m_diamondDB.IsLoaded() ? &m_diamondDB : nullptr; }

  // ---- IPortsHost ----
  CPortHistory* GetPortHistory() override { return &m_portHistory; }
  BOOL IsGraphCalculated() const override;

  // ---- What the other views and panes ask ----
  BOOL IsAutoHeight() const override { return m_bAutoHeight; }
  double GetMaxHeight() const override { return m_dMaxHeight; }
  CPortDB& PortDB() { return m_portDB; }
  CDiamondDB& GetDiamondDB() { return m_diamondDB; }
  int IsSummerTimeOnSelectedDate() const;
  void EnableDateCombos(BOOL bEnable);
  // Fills the date combos and selects the day, kept within the table's range (at start-up,
  // today).
  void FillDateCombos(const CQsDateTime& today);
  void ShowMapToolbar(BOOL bShow);
  BOOL IsMapToolbarShown() const { return m_bMapToolbarShown; }
  void ShowStreamInStatusBar(double dRate, double dDirection) override;
  void ShowMapStatus(const class CPosition* pPosition, BOOL bKeepSunset) override;
  void UpdateAgroundStatus(BOOL bForce);
  void ShowTimeZoneCaption(BOOL bForce);
  void OnVesselPositionChanged(double, double, double, double) override {}
  // The time of day of a universal date-time in a zone, with summer time when asked.
  static CQsDateTime UniversalToZoneTime(const CQsDateTime& universal, int nZone, int bSummer);
  // The zone code a Time Zone item stands for, or INT_MIN for an id outside the items.
  static int ZoneOfCommand(UINT nID);
  // The stored zones the program accepts back ("TZ"), as the Time Zone items offer them.
  static BOOL IsOfferedZone(int nZone);
  // The caption of a zone's offset ("GMT (+9:30)").
  static CString FormatZoneCaption(int nHours, int nMinutes);

  // ---- Panes, bars and state, for the panes and for tests ----
  CLeftPane* GetLeftPane() const { return dynamic_cast<CLeftPane*>(m_wndSplitter.GetPane(0, 0)); }
  CRightPane* GetRightPane() const { return dynamic_cast<CRightPane*>(m_wndSplitter.GetPane(0, 1)); }
  // The chart's route side: the current route, waypoint edits and the route-track worker.
  CChartRoutes& GetChartRoutes();
  CFrameSplitter& GetSplitter() { return m_wndSplitter; }
  CFrameStatusBar& GetStatusBar() { return m_wndStatusBar; }
  CCbToolBar* GetStandardToolBar() const { return m_pStandardToolBar; }
  CCbToolBar* GetMapToolBar() const { return m_pMapToolBar; }
  CCbStatusBarIconPane& GetGpsPane() { return m_wndGpsPane; }
  // Docks the bar into the left bar's row, just right of it.
  void DockRightOf(CCbToolBar* pBar, CCbToolBar* pLeftOf);
  CCbMenuBar& GetMenuBar() { return *m_pMenuBar; }
  CCbPopupBar* GetTimeZonePopup() const { return m_pTimeZonePopup; }
  CMenu& GetMainMenu() { return m_menu; }
  IBarCombo* GetDayCombo() const { return m_pDayCombo; }
  IBarCombo* GetMonthCombo() const { return m_pMonthCombo; }
  IBarCombo* GetYearCombo() const { return m_pYearCombo; }
  CMapPickerCombo* GetMapPickerCombo() const { return m_pMapPicker; }
  CStreamTimeCombo* GetStreamTimeCombo() const { return m_pStreamTimeCombo; }
  CString GetPaneText(UINT nID) const;
  const GPSFIX& GetLastFix() const { return m_lastFix; }
  int IsGpsPaneShown() const { return m_bGpsPaneShown; }
  // The first and last days a prediction can be made for (the table's range).
  CQsDateTime GetFirstDate() const { return m_firstDate; }
  CQsDateTime GetLastDate() const { return m_lastDate; }
  int GetFirstYear() const { return m_firstDate.GetYear(); }
  int GetLastYear() const { return m_lastDate.GetYear(); }
  // 1 when the selected date has its table records (so the graph can be computed).
  BOOL HasDayRecords() const { return m_bDayRecords; }
  // Writes a year of heights for the current port into the per-user folder; the file's path
  // or an empty text when it failed (the reason in rError).
  CString WriteYearOfHeights(CString& rError);
  // Set when a failed start has already told the user why.
  static BOOL s_bStartFailureShown;
  // The open full-screen graph window, or null; and its closing, as the frame's end needs.
  CWnd* GetFullScreen() const;
  void CloseFullScreen();

  // The frame's first size on a screen whose maximised window is maxW x maxH; FALSE (keep the
  // framework's size) on a screen 1000 pixels wide or less.
  static BOOL InitialSize(int maxW, int maxH, CSize& size);
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;
  void RecalcLayout(BOOL bNotify = TRUE) override;
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

  int OnCreate(LPCREATESTRUCT lpcs);
  void OnDestroy();
  void OnSize(UINT nType, int cx, int cy);
  void OnSizing(UINT fwSide, LPRECT pRect);
  void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
  void OnTimer(UINT_PTR nIDEvent);
  void OnPaint();
  void OnSetFocus(CWnd*) {}
  void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);

  // ---- Commands ----
  void OnViewGraph();
  void OnPageGraph();
  void OnViewTable();
  void OnPageTable();
  void OnViewHeightFind();
  void OnPageHeightFind();
  void OnViewTideLog();
  void OnViewMap();
  void OnCalculateGraph();
  void OnCalculateTable();
  void OnViewGraphFor();
  void OnMetres();
  void OnFeet();
  void OnPrevious() { GoPrevious(); }
  void OnNext() { GoNext(); }
  void OnDateComboCommand() {}
  void OnZoneAutomatic();
  void OnZoneFixed(UINT nID);
  void OnZoneItem(UINT nID);
  void OnUseCurrentTime();
  void OnTideTimes();
  void OnAgroundDetails();
  void OnFullScreen();
  void OnFilePrint();
  void OnSaveAs();
  void OnGraphCopy();
  void OnTableCopy();
  void OnExportData();
  void OnOptions() { ShowOptions(1, 1); }
  void OnGraphProperties() { ShowOptions(0, 1); }
  void OnPortProperties();
  // The Options sheet with the General and Graph pages as asked; applies them on OK.
  void ShowOptions(BOOL bGeneral, BOOL bGraph);
  void OnOrderByName();
  void OnOrderByLocation();
  void OnRecentPort(UINT nID);
  void OnNearestPort(UINT nID);
  void OnLogDelete();
  void OnLogDeleteRows();
  void OnLogGotoGraph();
  void OnLogReplicateDate();
  void OnMapZoomIn();
  void OnMapZoomOut();
  void OnMapTool(UINT nID);
  void OnMapStreams();
  void OnMapDiamonds();
  void OnWebPage(UINT nID);
  void OnYearDump();
  void OnGpsConfigure();
  void OnGpsTrack();
  // The routes tree's and the chart's route commands.
  void OnRouteReverse();
  void OnPointDelete();
  void OnRouteDelete();
  void OnRouteRename(UINT nID);
  void OnRouteSelect();
  void OnPointProperties();
  void OnRouteProperties();

  void OnUpdateViewGraph(CCmdUI* pCmdUI);
  void OnUpdateViewTable(CCmdUI* pCmdUI);
  void OnUpdateViewHeightFind(CCmdUI* pCmdUI);
  void OnUpdateViewTideLog(CCmdUI* pCmdUI);
  void OnUpdateViewMap(CCmdUI* pCmdUI);
  void OnUpdateViewGraphFor(CCmdUI* pCmdUI);
  void OnUpdateMetres(CCmdUI* pCmdUI);
  void OnUpdateFeet(CCmdUI* pCmdUI);
  void OnUpdatePreviousNext(CCmdUI* pCmdUI);
  void OnUpdateDateCombo(CCmdUI* pCmdUI);
  void OnUpdateStreamTime(CCmdUI* pCmdUI);
  void OnUpdateZoneAutomatic(CCmdUI* pCmdUI);
  void OnUpdateZoneFixed(CCmdUI* pCmdUI);
  void OnUpdateZoneItem(CCmdUI* pCmdUI);
  void OnUpdateUseCurrentTime(CCmdUI* pCmdUI);
  void OnUpdateTideTimes(CCmdUI* pCmdUI);
  void OnUpdateAgroundDetails(CCmdUI* pCmdUI);
  void OnUpdateFullScreen(CCmdUI* pCmdUI);
  void OnUpdateFilePrint(CCmdUI* pCmdUI);
  void OnUpdateSaveAs(CCmdUI* pCmdUI);
  void OnUpdateOrderByName(CCmdUI* pCmdUI);
  void OnUpdateOrderByLocation(CCmdUI* pCmdUI);
  void OnUpdateLogDeleteRows(CCmdUI* pCmdUI);
  void OnUpdateMapTool(CCmdUI* pCmdUI);
  void OnUpdateMapStreams(CCmdUI* pCmdUI);
  void OnUpdateMapDiamonds(CCmdUI* pCmdUI);
  void OnUpdateGpsConfigure(CCmdUI* pCmdUI);
  void OnUpdateGpsTrack(CCmdUI* pCmdUI);
  void OnUpdateRoutePropertiesAlways(CCmdUI* pCmdUI) { pCmdUI->Enable(TRUE); }

  // ---- Private messages ----
  LRESULT OnGraphFullScreen(WPARAM, LPARAM);
  LRESULT OnMapPickerChanged(WPARAM wParam, LPARAM);
  LRESULT OnStreamTimeChanged(WPARAM, LPARAM);
  LRESULT OnDayComboChanged(WPARAM wParam, LPARAM);
  LRESULT OnMonthComboChanged(WPARAM wParam, LPARAM);
  LRESULT OnYearComboChanged(WPARAM wParam, LPARAM);
  LRESULT OnGpsFix(WPARAM, LPARAM);
  LRESULT OnGpsOpenFailed(WPARAM wParam, LPARAM);
  LRESULT OnGpsError(WPARAM wParam, LPARAM);
  LRESULT OnGpsStarted(WPARAM, LPARAM);
  LRESULT OnGpsStopped(WPARAM, LPARAM);
  // The bars ask for the frame's own controls while they are built.
  LRESULT OnCreateControl(WPARAM, LPARAM lParam);

  // The date handling of the combos and of previous and next.
  void OnDateChanged(const CQsDateTime& date, BOOL bMonthChanged);

 private:
  // OnCreate's steps, in the order it takes them. The three that can fail end the start.
  BOOL CreateBars();        // menu bar, "Standard" and "Map" toolbars with their combos
  BOOL CreateStatusBar();   // the four panes
  BOOL LoadTables();        // ports, diamonds, angles and factors; a message when one is damaged
  void ConnectPanes();      // routes tree and chart, the ports tree, the date combos
  void ShowStartingPort();  // the last port and day, the settings, the zone and the sun
  void LoadUserFiles();     // the tidal log, the port history, what could not be read
  void StartGps();          // the serial port or device the reader listens on

  void ReadSettings();
  void WriteSettings();
  void FillDateCombos();
  void FillDayList(int nMonth, int nYear);
  void BuildTimeZoneMenu(CMenu* pMenu);
  // The Time Zone popup of the menu bar, from the same items.
  void BuildTimeZoneMenu(CCbPopupBar* pPopup);
  LRESULT OnBarPopupInit(WPARAM wParam, LPARAM lParam);
  void BuildRecentPortsMenu(CMenu* pMenu);
  void SetAngleFactorsForDate(const CQsDateTime& date, BOOL bMonth);
  void SetPlaceholder();
  void RecalcAfterZoneChange();
  void UpdateAgroundInputs();
  void ApplyUnits(int nUnits);
  void SetPaneText(UINT nID, LPCTSTR lpszText);
  // Moves the combos to a date within the table's range; TRUE when the month changed.
  BOOL SetComboDate(const CQsDateTime& date);
  void MoveToDate(const CQsDateTime& date);
  void StepDay(int nDelta);
  void StepMonth(int nDelta);
  void ShowNoPrediction();
  // The status bar's panes: the four, and the GPS pane while the reader runs.
  void SetStatusPanes(BOOL bGps);
  CString ZoneCaption(int nZone, int bSummer) const;
  CGraphWnd& Graph() const { return GetRightPane()->Graph(); }

  // ---- Members, in the order they are built ----
  VxMenu m_contextMenu;
  CFrameSplitter m_wndSplitter;
  CFont m_font;
  CMonthlyPrediction m_monthlyPrediction;
  CAngleFactorDB m_angleFactorDB;
  CPortDB m_portDB;
  CDiamondDB m_diamondDB;
  CCbMenuBar* m_pMenuBar = nullptr;
  CCbPopupBar* m_pTimeZonePopup = nullptr;  // held for the life of the bars
  CMenu m_menu;
  CFrameStatusBar m_wndStatusBar;
  // Hosted in the status bar while the GPS reader runs; a member, so not deleted by the bar.
  CCbStatusBarIconPane m_wndGpsPane;
  CCbToolBar* m_pStandardToolBar = nullptr;
  CCbToolBar* m_pMapToolBar = nullptr;
  int m_bGpsPaneShown = 0;
  BOOL m_bMapToolbarShown = FALSE;
  CPrediction m_prediction;
  GPSFIX m_lastFix;
  CPortHistory m_portHistory;
  CString m_strAgroundText;
  int m_bUseCurrentTime = 0;
  int m_bAutoTZ = 1;
  int m_bAutoCalcMonth = 0, m_bAutoCalcGraph = 1, m_bAutoCalcFind = 0, m_bAutoHeight = 1;
  double m_dMaxHeight = 10.0;
  CSunrise m_sunrise;
  CString m_strSunrise, m_strSunset;
  int m_nChosenZone = 0;
  int m_nPortZone = 0;
  int m_nCurrentPort = 0;
  int m_nUnits = 0;
  int m_bDateCombosEnabled = 1;
  IBarCombo* m_pDayCombo = nullptr;
  IBarCombo* m_pMonthCombo = nullptr;
  IBarCombo* m_pYearCombo = nullptr;
  CMapPickerCombo* m_pMapPicker = nullptr;
  CStreamTimeCombo* m_pStreamTimeCombo = nullptr;
  int m_nInitialYear = 2010, m_nInitialMonth = 1, m_nInitialDay = 1;
  int m_nGpsComPort = 1;
  // The table's range: first day and last day with a next day's record.
  CQsDateTime m_firstDate, m_lastDate;
  BOOL m_bDayRecords = FALSE;
  // Which days of the monthly prediction have their records.
  int m_monthDayValid[32] = {};
  int m_nAfHint = -1;
  // Set once creation is complete: only then are the settings and lists written back, so a
  // start that fails half-way leaves the user's settings as they were.
  BOOL m_bStarted = FALSE;
  // The full-screen graph while it is open (it deletes itself when it closes).
  HWND m_hFullScreen = nullptr;
};
