// The main frame: creation, the settings, the date and the status bar captions.
#include "app/MainFrm.h"

#include "app/AppShared.h"
#include "app/Resource.h"
#include "app/Splash.h"
#include "model/Position.h"
#include "model/SummerTime.h"
#include "platform/core/AfxUserNumber.h"
#include "toolkit/CbControlPopup.h"
#include "toolkit/CbPaintManager.h"

#include <unistd.h>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

IMPLEMENT_DYNAMIC(CMainFrame, CCbFrameWnd)

namespace {
const char kGeneral[] = "General";
const char kColours[] = "Colours";

const UINT kIndicators[] = {ID_INDICATOR_AGROUND, ID_INDICATOR_SUNRISE, ID_INDICATOR_SUNSET, ID_INDICATOR_ZONE};

// Ids of the frame's own bars.
const UINT kMapToolBarId = IDR_MAP_TOOLBAR;
const UINT kGpsIcon = IDI_GPS;
const UINT kGpsPaneId = 1;

CWinAppBase* App() { return AfxGetApp(); }

// An integer setting, or the default when the stored value lies outside [lo, hi].
int ReadInt(const char* section, const char* entry, int def, int lo, int hi) {
  const int v = (int)App()->GetProfileInt(section, entry, def);
  return v < lo || v > hi ? def : v;
}

// A flag: 0 or 1; anything else is the default.
int ReadFlag(const char* entry, int def) { return ReadInt(kGeneral, entry, def, 0, 1); }

// A length stored as hundredths of a metre; values outside [0, maxHundredths] (a negative
// number read as unsigned among them) take the default.
double ReadLength(const char* entry, int defHundredths, int maxHundredths) {
  const UINT v = App()->GetProfileInt(kGeneral, entry, defHundredths);
  if (v > (UINT)maxHundredths) return defHundredths / 100.0;
  return v / 100.0;
}

void WriteLength(const char* entry, double metres) {
  App()->WriteProfileInt(kGeneral, entry, (int)std::trunc(metres * 100.0));
}

COLORREF ReadColour(const char* entry, COLORREF def) {
  return (COLORREF)App()->GetProfileInt(kColours, entry, (int)def) & 0xFFFFFF;
}
}  // namespace

BOOL CMainFrame::s_bStartFailureShown = FALSE;

CMainFrame::CMainFrame() {
  // Port records that make their own predictions (the tidal log's rows) ask this frame, and
  // so do the ports tree and the port-name strip.
  SetPredictionFrame(this);
  SetPortsHost(this);
}

CMainFrame::~CMainFrame() {
  if (m_pTimeZonePopup) m_pTimeZonePopup->InternalRelease();
  if (GetPredictionFrame() == this) SetPredictionFrame(nullptr);
  if (GetPortsHost() == this) SetPortsHost(nullptr);
}

CChartRoutes& CMainFrame::GetChartRoutes() { return GetRightPane()->Map().GetChartRoutes(); }

BOOL CMainFrame::IsGraphCalculated() const {
  CRightPane* right = GetRightPane();
  return right && right->Graph().HasData();
}

BOOL CMainFrame::InitialSize(int maxW, int maxH, CSize& size) {
  if (maxW <= 1000) return FALSE;
  int w = maxW >= 1400 ? 1200 : (int)(0.7 * maxW);
  if (w < 950) w = 950;
  int h = (int)(w / 1.33);
  if (maxH < h) h = maxH - 50;
  size = CSize(w, h);
  return TRUE;
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs) {
  if (!CFrameWnd::PreCreateWindow(cs)) return FALSE;
  CSize size;
  if (InitialSize(::GetSystemMetrics(SM_CXMAXIMIZED), ::GetSystemMetrics(SM_CYMAXIMIZED), size)) {
    cs.cx = size.cx;
    cs.cy = size.cy;
  }
  cs.lpszClass =
      AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW), (HBRUSH)(UINT_PTR)(COLOR_BTNFACE + 1), nullptr);
  return TRUE;
}

BOOL CMainFrame::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext) {
  if (!m_wndSplitter.CreateStatic(this, 1, 2, WS_CHILD | WS_VISIBLE, AFX_IDW_PANE_FIRST)) return FALSE;
  if (!m_wndSplitter.CreateView(0, 0, RUNTIME_CLASS(CLeftPane), CSize(200, 50), pContext) ||
      !m_wndSplitter.CreateView(0, 1, RUNTIME_CLASS(CRightPane), CSize(50, 50), pContext))
    return FALSE;
  CRightPane* right = GetRightPane();
  right->Graph().SetHost(this);
  right->Table().SetHost(this);
  right->HeightFind().SetHost(this);
  right->TideLog().SetHost(this);
  right->Aground().SetHost(this);
  right->Map().SetHost(this);

  // At least 640 x 450, kept on the screen.
  CRect rc;
  GetWindowRect(&rc);
  const int cx = std::max((int)rc.Width(), kMinWidth), cy = std::max((int)rc.Height(), kMinHeight);
  int x = rc.left, y = rc.top;
  if (x + cx > ::GetSystemMetrics(SM_CXFULLSCREEN)) x = 0;
  if (y + cy > ::GetSystemMetrics(SM_CYFULLSCREEN)) y = 0;
  MoveWindow(x, y, cx, cy);
  return TRUE;
}

int CMainFrame::OnCreate(LPCREATESTRUCT lpcs) {
  if (CFrameWnd::OnCreate(lpcs) == -1) return -1;
  ShowSplashScreen(this);
  m_font.CreatePointFont(90, "MS Sans Serif");
  if (!CreateBars() || !CreateStatusBar() || !LoadTables()) return -1;
  ConnectPanes();
  ShowStartingPort();
  LoadUserFiles();

  CalculateGraph();
  UpdateAgroundStatus(TRUE);
  ShowTimeZoneCaption(TRUE);

  HideSplashScreen();
  SetTimer(kTimerId, kTimerPeriod, nullptr);
  GetLeftPane()->RecalcLayout();
  StartGps();
  RecalcLayout();
  m_bStarted = 1;
  ShowWindow(SW_SHOW);
  return 0;
}

BOOL CMainFrame::CreateBars() {
  // Bars: the menu bar from menu 128, then "Standard", and "Map" right of it, shown with the map
  // page. The frame's own copy of the menu serves the tests' look at its items.
  if (!m_menu.LoadMenu(IDR_MAINFRAME)) return FALSE;
  for (UINT i = 0; i < m_menu.GetMenuItemCount(); ++i) {
    CMenu* popup = m_menu.GetSubMenu((int)i);
    for (UINT k = 0; popup && k < popup->GetMenuItemCount(); ++k) {
      CString text;
      popup->GetMenuString(k, text, MF_BYPOSITION);
      if (CMenu* sub = popup->GetSubMenu((int)k); sub && text.Find("Time &Zone") >= 0) BuildTimeZoneMenu(sub);
    }
  }
  if (!InitCommandBars()) return FALSE;
  CCbCommandBars* bars = GetCommandBars();
  m_pMenuBar = dynamic_cast<CCbMenuBar*>(bars->Add("Menu Bar", cbBarTop, RUNTIME_CLASS(CCbMenuBar)));
  if (!m_pMenuBar || !m_pMenuBar->LoadMenuBar(IDR_MAINFRAME)) return FALSE;
  m_pMenuBar->SetCloseable(FALSE);
  m_pMenuBar->EnableDocking(cbFlagAlignTop | cbFlagStretched);
  m_pStandardToolBar = bars->Add("Standard", cbBarTop);
  if (!m_pStandardToolBar || !m_pStandardToolBar->LoadToolBar(IDR_MAINFRAME)) return FALSE;
  m_pStandardToolBar->SetCloseable(FALSE);
  m_pStandardToolBar->EnableDocking(cbFlagAlignTop | cbFlagFloating | cbFlagHideWrap);
  m_pMapToolBar = bars->Add("Map", cbBarTop);
  if (!m_pMapToolBar || !m_pMapToolBar->LoadToolBar(kMapToolBarId)) return FALSE;
  m_pMapToolBar->EnableDocking(cbFlagAlignTop | cbFlagAlignLeft | cbFlagAlignRight | cbFlagFloating | cbFlagHideWrap);
  m_pMapToolBar->SetCloseable(FALSE);
  m_pMapToolBar->SetVisible(FALSE);
  DockRightOf(m_pMapToolBar, m_pStandardToolBar);
  CCbPaintManager::SetTheme(2);
  // The toolbars asked for their combos while they were built.
  if (!m_pDayCombo || !m_pMonthCombo || !m_pYearCombo || !m_pMapPicker || !m_pStreamTimeCombo) return FALSE;
  return TRUE;
}

BOOL CMainFrame::CreateStatusBar() {
  // Status bar with its four panes; the first stretches.
  if (!m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR)) return FALSE;
  if (!m_wndStatusBar.SetIndicators(kIndicators, 4)) return FALSE;
  {
    UINT id, style;
    int cx;
    m_wndStatusBar.GetPaneInfo(0, id, style, cx);
    m_wndStatusBar.SetPaneInfo(0, id, style | SBPS_STRETCH, cx);
  }
  return TRUE;
}

BOOL CMainFrame::LoadTables() {
  // Tables. Without them there is nothing the program can show.
  m_portDB.Load();
  m_diamondDB.Load();
  m_angleFactorDB.Load();
  const char* broken = !m_portDB.IsLoaded() || m_portDB.GetCount() <= 0 ? "port"
                       : !m_diamondDB.IsLoaded()                        ? "tidal-stream diamond"
                                                                        : nullptr;
  if (!broken &&
      (!m_angleFactorDB.IsLoaded() || !m_angleFactorDB.GetFirstDate(m_firstDate) ||
       !m_angleFactorDB.GetLastDate(m_lastDate) || !(m_firstDate <= m_lastDate) || m_firstDate == m_lastDate))
    broken = "astronomical angle and factor";
  if (broken) {
    CString msg;
    msg.Format(
        "Neapwise cannot start: its built-in %s table could not be read.\n\n"
        "The program's installation is damaged; please install it again.",
        broken);
    AfxMessageBox(msg, MB_OK | MB_ICONSTOP);
    s_bStartFailureShown = TRUE;
    return FALSE;
  }
  // A prediction needs the next day's record as well.
  m_lastDate.PrevDay();
  m_firstDate.SetTime(0, 0, 0);
  m_lastDate.SetTime(0, 0, 0);
  return TRUE;
}

void CMainFrame::ConnectPanes() {
  CLeftPane* left = GetLeftPane();
  CRightPane* right = GetRightPane();
  right->Map().GetChartRoutes().SetRouteList(&left->RoutesTree());
  left->RoutesTree().SetChart(&right->Map().GetChartRoutes());
  left->PortsTree().InsertPorts(m_portDB);
  left->PortsTree().ApplyNameOrder();
  FillDateCombos();
}

void CMainFrame::ShowStartingPort() {
  CLeftPane* left = GetLeftPane();
  CRightPane* right = GetRightPane();
  // The day's records and the last port.
  m_nCurrentPort = ReadInt(kGeneral, "LastPort", 0, 0, m_portDB.GetCount() - 1);
  const CPortData& port = *m_portDB.GetPort(m_nCurrentPort);
  m_prediction.SetPort(port);
  m_monthlyPrediction.SetPort(port);
  SetAngleFactorsForDate(GetSelectedDate(), TRUE);

  ReadSettings();

  const CString name = m_prediction.GetPortName();
  left->SetPortName(name);
  right->Table().SetPortName(name);
  right->HeightFind().SetPortName(name);
  right->Table().SetMonth(GetSelectedDate().GetMonth());
  right->Table().SetYear(GetSelectedDate().GetYear());
  right->Table().SetDayCount(m_monthlyPrediction.GetDaysInMonth());
  right->HeightFind().SetMonth(GetSelectedDate().GetMonth());
  right->HeightFind().SetYear(GetSelectedDate().GetYear());
  SetPlaceholder();
  if (App()->GetProfileInt(kGeneral, "OrderByLocation", 0) == 1) left->PortsTree().SortByLocation();
  right->Graph().SetMHWS(port.GetMHWS());
  right->Graph().SetMHWN(port.GetMHWN());
  right->Graph().SetMLWN(port.GetMLWN());
  right->Graph().SetMLWS(port.GetMLWS());

  // Zones: the port's own unless a stored choice is one the Time Zone menu offers.
  m_nChosenZone = m_nPortZone = port.GetTimeZone();
  m_bAutoTZ = ReadFlag("AutoTZ", 1);
  if (!m_bAutoTZ) {
    int tz = (int)App()->GetProfileInt(kGeneral, "TZ", m_nPortZone);
    if (tz == 13) tz = -12;  // how "UT (-12:00)" used to be stored
    if (IsOfferedZone(tz)) {
      m_nChosenZone = tz;
    } else {
      m_nChosenZone = m_nPortZone;
      m_bAutoTZ = 1;
    }
  }
  const CQsDateTime date = GetSelectedDate();
  m_sunrise.SetDate(date.GetDay(), date.GetMonth(), date.GetYear());
  m_sunrise.SetPosition(port.GetPosition());
  right->Aground().SetDepthOfWater(ReadLength("Depth", 500, 100000));
}

void CMainFrame::LoadUserFiles() {
  GetRightPane()->TideLog().LoadLog();
  m_portHistory.Load(m_portDB);
  // The user's own files that start-up could not take as they were, said as for the log.
  const CString settingsProblem = App()->GetProfileStore().GetLoadProblem();
  if (!settingsProblem.IsEmpty()) AfxMessageBox(settingsProblem, MB_OK | MB_ICONEXCLAMATION);
  const CString folderProblem = AfxGetUserDataFolderProblem();
  if (!folderProblem.IsEmpty()) AfxMessageBox(folderProblem, MB_OK | MB_ICONEXCLAMATION);
}

void CMainFrame::StartGps() {
  m_nGpsComPort = ReadInt(kGeneral, "GpsComPort", 1, 1, 255);
  CGpsReader::Instance().SetPort(m_nGpsComPort);
  CGpsReader::Instance().SetDevicePath(App()->GetProfileString(kGeneral, "GpsDevice", ""));
}

void CMainFrame::ReadSettings() {
  CGraphWnd& g = GetRightPane()->Graph();
  g.SetBackColour(ReadColour("BackColour", 0xC0C0C0));
  g.SetGradientColour(ReadColour("GradientColour", 0xFFFFFF));
  g.SetAgroundColour(ReadColour("AgroundColour", 0x0000FF));
  g.SetAxisColour(ReadColour("AxisColour", 0x000000));
  g.SetGridlineColour(ReadColour("GridlineColour", 0x808080));
  g.SetLineColour(ReadColour("LineColour", 0x008000));
  g.SetMHWSColour(ReadColour("MHWSColour", 0x800080));
  g.SetTimeMarkColour(ReadColour("TimeMarkColour", 0xFFFF00));

  m_bAutoCalcGraph = ReadFlag("AutoCalcGraph", 1);
  m_bAutoCalcMonth = ReadFlag("AutoCalcMonth", 0);
  m_bAutoCalcFind = ReadFlag("AutoCalcFind", 0);
  GetRightPane()->Aground().SetDraught(ReadLength("Draught", 100, 10000));
  // The line width is |ThickLine| + 1; the graph turns widths it does not take into 2.
  const long long thick = (int)App()->GetProfileInt(kGeneral, "ThickLine", 1);
  g.SetLineWidth((int)std::min<long long>(std::llabs(thick) + 1, 6));
  g.SetAreaGraph(ReadFlag("AreaGraph", 0));
  g.SetShowMHWS(ReadFlag("ShowMHWS", 1));
  g.SetShowMHWN(ReadFlag("ShowMHWN", 1));
  g.SetShowMLWN(ReadFlag("ShowMLWN", 1));
  g.SetShowMLWS(ReadFlag("ShowMLWS", 1));
  g.SetPrintBW(ReadFlag("PrintBW", 0));
  m_dMaxHeight = ReadLength("MaxHeight", 1000, 100000);
  if (m_dMaxHeight <= 0) m_dMaxHeight = 10.0;
  m_bAutoHeight = ReadFlag("AutoHeight", 1);
  GetRightPane()->Table().SetShowMoons(ReadFlag("ShowMoons", 1));
  GetRightPane()->Table().SetShowBackgroundPic(0);
  g.SetBackgroundPicture(0);
}

void CMainFrame::WriteSettings() {
  CRightPane* right = GetRightPane();
  CLeftPane* left = GetLeftPane();
  if (!right || !left) return;
  CGraphWnd& g = right->Graph();
  CProfileStore& store = App()->GetProfileStore();
  store.BeginDeferredWrites();
  App()->WriteProfileInt(kColours, "BackColour", (int)g.GetBackColour());
  App()->WriteProfileInt(kColours, "GradientColour", (int)g.GetGradientColour());
  App()->WriteProfileInt(kColours, "AgroundColour", (int)g.GetAgroundColour());
  App()->WriteProfileInt(kColours, "AxisColour", (int)g.GetAxisColour());
  App()->WriteProfileInt(kColours, "GridlineColour", (int)g.GetGridlineColour());
  App()->WriteProfileInt(kColours, "LineColour", (int)g.GetLineColour());
  App()->WriteProfileInt(kColours, "MHWSColour", (int)g.GetMHWSColour());
  App()->WriteProfileInt(kColours, "TimeMarkColour", (int)g.GetTimeMarkColour());

  App()->WriteProfileInt(kGeneral, "LastPort", m_nCurrentPort);
  App()->WriteProfileInt(kGeneral, "AutoCalcGraph", m_bAutoCalcGraph);
  App()->WriteProfileInt(kGeneral, "AutoCalcMonth", m_bAutoCalcMonth);
  App()->WriteProfileInt(kGeneral, "AutoCalcFind", m_bAutoCalcFind);
  WriteLength("Draught", right->Aground().GetDraught());
  App()->WriteProfileInt(kGeneral, "ThickLine", g.GetLineWidth() == 2 ? 1 : 0);
  App()->WriteProfileInt(kGeneral, "AreaGraph", g.IsAreaGraph());
  App()->WriteProfileInt(kGeneral, "ShowMHWS", g.GetShowMHWS());
  App()->WriteProfileInt(kGeneral, "ShowMHWN", g.GetShowMHWN());
  App()->WriteProfileInt(kGeneral, "ShowMLWN", g.GetShowMLWN());
  App()->WriteProfileInt(kGeneral, "ShowMLWS", g.GetShowMLWS());
  WriteLength("Depth", right->Aground().GetDepthOfWater());
  WriteLength("MaxHeight", m_dMaxHeight);
  App()->WriteProfileInt(kGeneral, "AutoHeight", m_bAutoHeight);
  App()->WriteProfileInt(kGeneral, "AutoTZ", m_bAutoTZ);
  App()->WriteProfileInt(kGeneral, "TZ", m_nChosenZone);
  App()->WriteProfileInt(kGeneral, "GpsComPort", CGpsReader::Instance().GetPort());
  App()->WriteProfileString(kGeneral, "GpsDevice", CGpsReader::Instance().GetDevicePath());
  App()->WriteProfileInt(kGeneral, "PrintBW", g.GetPrintBW());
  App()->WriteProfileInt(kGeneral, "ShowBackgroundPic", right->Table().GetShowBackgroundPic());
  char cwd[4096];
  CString dir = ::getcwd(cwd, sizeof cwd) ? cwd : "";
  dir.Trim();
  App()->WriteProfileString(kGeneral, "LastRunDir", dir.Left(600));
  App()->WriteProfileInt(kGeneral, "ShowMoons", right->Table().GetShowMoons());
  App()->WriteProfileInt(kGeneral, "OrderByLocation", left->PortsTree().IsInLocationOrder());
  if (!store.EndDeferredWrites()) {
    CString msg;
    msg.Format("Neapwise could not save its settings:\n\n%s", (LPCTSTR)store.GetLastError());
    AfxMessageBox(msg, MB_OK | MB_ICONEXCLAMATION);
  }
}

void CMainFrame::OnDestroy() {
  CFrameWnd::OnDestroy();
  if (CGpsReader::Instance().IsRunning()) CGpsReader::Instance().Stop();
  KillTimer(kTimerId);
  CloseFullScreen();
  if (!m_bStarted) return;
  if (CRightPane* right = GetRightPane()) right->TideLog().SaveLog();
  m_portHistory.Save();
  WriteSettings();
}

// ---- Layout ----
// The bars take their strips (menu bar and toolbars at the top, status bar at the bottom)
// and the splitter the rest.
void CMainFrame::RecalcLayout(BOOL bNotify) { CCbFrameWnd::RecalcLayout(bNotify); }

void CMainFrame::OnSize(UINT nType, int, int) {
  if (nType != SIZE_MINIMIZED) RecalcLayout();
}

void CMainFrame::SetStatusPanes(BOOL bGps) {
  if (bGps) {
    // After the four panes, 32 pixels wide, with the GPS icon in it.
    if (!m_wndStatusBar.AddPane(kGpsPaneId, m_wndStatusBar.GetCount())) return;
    m_wndStatusBar.SetPaneWidth(m_wndStatusBar.CommandToIndex(kGpsPaneId), 32);
    if (!m_wndGpsPane.GetSafeHwnd()) {
      if (!m_wndGpsPane.Create("", &m_wndStatusBar, WS_CHILD | WS_VISIBLE, kGpsPaneId)) return;
      m_wndGpsPane.SetIcon(kGpsIcon);
    }
    m_wndStatusBar.AddControl(&m_wndGpsPane, kGpsPaneId, FALSE);
  } else {
    m_wndStatusBar.RemovePane(kGpsPaneId);
  }
}

void CMainFrame::ShowMapToolbar(BOOL bShow) {
  m_bMapToolbarShown = bShow;
  if (m_pMapToolBar && m_pMapToolBar->IsVisible() != !!bShow) m_pMapToolBar->SetVisible(bShow);
}

void CMainFrame::DockRightOf(CCbToolBar* pBar, CCbToolBar* pLeftOf) {
  RecalcLayout();
  CRect rc;
  pLeftOf->GetWindowRect(&rc);
  rc.OffsetRect(rc.Width(), 0);
  GetCommandBars()->DockCommandBar(pBar, &rc, pLeftOf->GetDockBar());
}

LRESULT CMainFrame::OnCreateControl(WPARAM, LPARAM lParam) {
  auto* req = (BAR_CREATE_CONTROL_REQUEST*)lParam;
  if (!req) return 0;
  if (!req->bToolBar) {
    if (req->controlType != cbControlPopup || CCbPaintManager::StripMnemonics(req->strCaption) != "Time Zone") return 0;
    // Id 0: a command id would bring that command's update handler to the popup's title.
    CCbControlPopup* popup = CCbControlPopup::CreateControlPopup(cbControlPopup);
    CCbPopupBar* bar = popup ? CCbPopupBar::CreatePopupBar(GetCommandBars()) : nullptr;
    if (!bar) {
      if (popup) popup->InternalRelease();
      return 0;
    }
    BuildTimeZoneMenu(bar);
    popup->SetCommandBar(bar);
    if (m_pTimeZonePopup) m_pTimeZonePopup->InternalRelease();
    m_pTimeZonePopup = bar;  // the frame keeps the creation reference
    req->pControl = popup;
    req->nID = 0;
    return TRUE;
  }
  CBarComboBox* combo = nullptr;
  switch (req->nID) {
    case ID_DAY_COMBO:
      m_pDayCombo = combo = new CDayCombo;
      combo->SetWidth(50);
      break;
    case ID_MONTH_COMBO:
      m_pMonthCombo = combo = new CMonthCombo;
      combo->SetWidth(100);
      break;
    case ID_YEAR_COMBO:
      m_pYearCombo = combo = new CYearCombo;
      combo->SetWidth(50);
      break;
    case ID_MAP_CHOOSER: {
      auto* c = new CMapPickerCombo(this);
      c->SetWidth(100);
      c->AddRegions();
      c->SetCurSel(0);
      m_pMapPicker = c;
      combo = c;
      break;
    }
    case ID_STREAM_TIME: {
      auto* c = new CStreamTimeCombo(this);
      c->SetWidth(60);
      c->SetDropDown(TRUE);
      c->AddHours();
      c->SetCurSel(12);
      m_pStreamTimeCombo = c;
      combo = c;
      break;
    }
    default: return 0;
  }
  req->pControl = combo;
  return TRUE;
}

void CMainFrame::OnSizing(UINT fwSide, LPRECT pRect) {
  CFrameWnd::OnSizing(fwSide, pRect);
  if (pRect->right - pRect->left < kMinWidth) pRect->right = pRect->left + kMinWidth;
  if (pRect->bottom - pRect->top < kMinHeight) pRect->bottom = pRect->top + kMinHeight;
}

void CMainFrame::OnGetMinMaxInfo(MINMAXINFO* lpMMI) {
  lpMMI->ptMinTrackSize.x = kMinWidth;
  lpMMI->ptMinTrackSize.y = kMinHeight;
}

void CMainFrame::OnPaint() {
  // Everything is covered by the children.
  ValidateRect(nullptr);
}

void CMainFrame::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent == kTimerId) {
    const CQsDateTime now = CQsDateTime::GetCurrent();
    if (m_bUseCurrentTime && now.GetMinute() % 2 == 0) GetRightPane()->Map().SetStreamTime(now);
    UpdateTimeMark();
  }
  CFrameWnd::OnTimer(nIDEvent);
}

// ---- Status bar ----
void CMainFrame::SetPaneText(UINT nID, LPCTSTR lpszText) {
  const int i = m_wndStatusBar.CommandToIndex(nID);
  if (i >= 0) m_wndStatusBar.SetPaneText(i, lpszText);
}

CString CMainFrame::GetPaneText(UINT nID) const {
  const int i = m_wndStatusBar.CommandToIndex(nID);
  return i >= 0 ? m_wndStatusBar.GetPaneText(i) : CString();
}

CString CMainFrame::FormatZoneCaption(int nHours, int nMinutes) {
  CString s;
  if (nHours >= 0)
    s.Format("GMT (+%d:%02d)", nHours, nMinutes);
  else
    s.Format("GMT (%d:%02d)", nHours, nMinutes);
  return s;
}

// Caption of zone z; bSummer moves a whole-hour zone one hour on and a half-hour zone by 100.
CString CMainFrame::ZoneCaption(int z, int bSummer) const {
  if (z >= -100 && z <= 100) return FormatZoneCaption(z + (bSummer ? 1 : 0), 0);
  if (bSummer && GetSummerTimeShiftMinutes(m_prediction.GetArea(), CPrediction::ZoneCodeToMinutes(z)) == 30) {
    const int total = CPrediction::ZoneCodeToMinutes(z) + 30;  // Lord Howe Island: +11:00
    return FormatZoneCaption(total / 60, total % 60);
  }
  const int m = bSummer ? z + 100 : z;
  const double v = m / 100.0;
  const int hours = m < 101 ? (int)std::ceil(v) : (int)std::floor(v);
  const double a = std::fabs(v);
  return FormatZoneCaption(hours, a - std::floor(a) > 0.01 ? 30 : 0);
}

void CMainFrame::ShowTimeZoneCaption(BOOL bForce) {
  CRightPane* right = GetRightPane();
  if ((right->Graph().HasData() && right->IsGraphVisible()) || bForce) {
    const int z = GetTimeZone();
    int summer;
    if (z >= -100 && z <= 100)
      summer = IsSummerTimeOnSelectedDate();
    else
      summer = m_bAutoTZ && IsSummerTimeAt(GetSelectedDate(), m_prediction.GetArea());
    SetPaneText(ID_INDICATOR_ZONE, ZoneCaption(z, summer));
    SetPaneText(ID_INDICATOR_AGROUND, m_strAgroundText);
    SetPaneText(ID_INDICATOR_SUNRISE, m_strSunrise);
    SetPaneText(ID_INDICATOR_SUNSET, m_strSunset);
  } else if (right->IsGraphVisible()) {
    for (UINT id : kIndicators) SetPaneText(id, "");
  }
}

void CMainFrame::ShowPeriodTimeZoneCaption() {
  CRightPane* right = GetRightPane();
  const BOOL table = right->Table().IsCalculated() && right->IsTableVisible();
  const BOOL finder = right->HeightFind().HasResults() && right->IsHeightFindVisible();
  if (!table && !finder) {
    // The graph page keeps its own captions while it shows a graph.
    if (right->IsGraphVisible()) ShowTimeZoneCaption(FALSE);
    return;
  }
  const CQsDateTime date = GetSelectedDate();
  int whole = 0, begins = 0;
  const int change = GetSummerTimeMonthKind(date.GetMonth(), date.GetYear(), m_prediction.GetArea(), whole, begins);
  const int z = GetTimeZone();
  CString caption;
  if (m_bAutoTZ && change) {
    // The month holds a change: the zone with summer time, then without.
    caption = ZoneCaption(z, 1) + "/" + ZoneCaption(z, 0);
  } else {
    caption = ZoneCaption(z, m_bAutoTZ && whole);
  }
  right->Table().SetZoneCaption(caption);
  SetPaneText(ID_INDICATOR_ZONE, caption);
  SetPaneText(ID_INDICATOR_AGROUND, "");
  SetPaneText(ID_INDICATOR_SUNRISE, "");
  SetPaneText(ID_INDICATOR_SUNSET, "");
}

void CMainFrame::ShowStreamInStatusBar(double dRate, double dDirection) {
  CString s;
  if (dRate != 0.0 || dDirection != 0.0)
    s = AfxFormatUserNumber(dDirection, 1) + "\xC2\xB0T " + AfxFormatUserNumber(dRate, 2) + "kts";
  SetPaneText(ID_INDICATOR_SUNRISE, s);
}

void CMainFrame::ShowMapStatus(const CPosition* pPosition, BOOL bKeepSunset) {
  SetPaneText(ID_INDICATOR_AGROUND,
              pPosition ? pPosition->FormatLatitude() + "  " + pPosition->FormatLongitude() : CString());
  SetPaneText(ID_INDICATOR_SUNRISE, "");
  if (!bKeepSunset) SetPaneText(ID_INDICATOR_SUNSET, "");
  CString caption;
  if (m_bAutoTZ)
    caption = FormatZoneCaption(IsSummerTimeAt(GetSelectedDate(), 0) ? 1 : 0, 0);
  else
    caption = ZoneCaption(m_nChosenZone, 0);
  SetPaneText(ID_INDICATOR_ZONE, caption);
}

void CMainFrame::EnableDateCombos(BOOL bEnable) {
  m_bDateCombosEnabled = bEnable ? 1 : 0;
  for (IBarCombo* c : {m_pDayCombo, m_pMonthCombo, m_pYearCombo})
    if (c) c->SetEnabled(m_bDateCombosEnabled);
}

void CMainFrame::OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu) {
  // The recent ports are listed afresh each time their menu opens.
  if (!bSysMenu && pPopupMenu && pPopupMenu->GetMenuItemCount() > 0) {
    const UINT first = pPopupMenu->GetMenuItemID(0);
    if (first >= ID_RECENT_PORT_FIRST && first <= ID_RECENT_PORT_LAST) BuildRecentPortsMenu(pPopupMenu);
  }
  CFrameWnd::OnInitMenuPopup(pPopupMenu, nIndex, bSysMenu);
}

void CMainFrame::BuildRecentPortsMenu(CMenu* pMenu) {
  while (pMenu->GetMenuItemCount() > 0) pMenu->DeleteMenu(0, MF_BYPOSITION);
  for (int i = 0; i < m_portHistory.GetCount(); ++i) {
    int port;
    CString name, text;
    m_portHistory.GetEntry(i, port, name);
    text.Format("&%d %s", (i + 1) % 10, (LPCTSTR)name);
    pMenu->AppendMenu(MF_STRING, ID_RECENT_PORT_FIRST + i, text);
  }
  if (m_portHistory.GetCount() == 0) pMenu->AppendMenu(MF_STRING | MF_GRAYED, ID_RECENT_PORT_FIRST, "(none)");
}

LRESULT CMainFrame::OnBarPopupInit(WPARAM, LPARAM lParam) {
  // Toolkit popups send no WM_INITMENUPOPUP: the recent ports are listed afresh here.
  auto* popup = dynamic_cast<CCbPopupBar*>((CCbCommandBar*)lParam);
  if (!popup || popup->GetControlCount() == 0) return 0;
  const int first = popup->GetControl(0)->GetID();
  if (first < ID_RECENT_PORT_FIRST || first > ID_RECENT_PORT_LAST) return 0;
  CMenu menu;
  if (!menu.CreatePopupMenu()) return 0;
  BuildRecentPortsMenu(&menu);
  popup->GetControls()->RemoveAll();
  popup->GetControls()->LoadMenu(&menu, this);
  return 0;
}

// ---- Time zones ----
int CMainFrame::ZoneOfCommand(UINT nID) {
  if (nID < ID_ZONE_FIRST || nID > ID_ZONE_LAST) return INT_MIN;
  switch (nID) {
    case 2138: return 930;
    case 2139: return 1030;
    case 2140: return 1130;
    case 2141: return 1230;
    default: return (int)nID - 2124;
  }
}

BOOL CMainFrame::IsOfferedZone(int nZone) {
  if (nZone >= -7 && nZone <= 3) return TRUE;
  switch (nZone) {
    case -12:
    case 8:
    case 9:
    case 10:
    case 11:
    case 12:
    case 930:
    case 1030:
    case 1130:
    case 1230: return TRUE;
    default: return FALSE;
  }
}

void CMainFrame::BuildTimeZoneMenu(CMenu* pMenu) {
  while (pMenu->GetMenuItemCount() > 0) pMenu->DeleteMenu(0, MF_BYPOSITION);
  pMenu->AppendMenu(MF_STRING, ID_ZONE_AUTOMATIC, "Automatic");
  pMenu->AppendMenu(MF_SEPARATOR);
  CString s;
  for (int n = 3; n >= -3; --n) {
    s.Format(n >= 0 ? "GMT (%+d:00)" : "GMT (%d:00)", n);
    pMenu->AppendMenu(MF_STRING, 2124 + n, s);
  }
  pMenu->AppendMenu(MF_SEPARATOR);
  // -3 is offered once, above.
  for (int n = -4; n >= -7; --n) {
    s.Format("UT (%d:00)", n);
    pMenu->AppendMenu(MF_STRING, 2124 + n, s);
  }
  pMenu->AppendMenu(MF_SEPARATOR);
  static const struct {
    const char* text;
    UINT id;
  } kFixed[] = {{"UT (+8:00)", 2132},  {"UT (+9:00)", 2133},  {"UT (+9:30)", 2138},  {"UT (+10:00)", 2134},
                {"UT (+10:30)", 2139}, {"UT (+11:00)", 2135}, {"UT (+11:30)", 2140}, {"UT (+12:00)", 2136},
                {"UT (+12:30)", 2141}, {"UT (-12:00)", 2112}};
  for (const auto& f : kFixed) pMenu->AppendMenu(MF_STRING, f.id, f.text);
}

void CMainFrame::BuildTimeZoneMenu(CCbPopupBar* pPopup) {
  CMenu menu;
  if (!menu.CreatePopupMenu()) return;
  BuildTimeZoneMenu(&menu);
  pPopup->GetControls()->RemoveAll();
  pPopup->GetControls()->LoadMenu(&menu, this);
}

// ---- Dates ----
CQsDateTime CMainFrame::GetSelectedDate() const {
  if (!m_pDayCombo || m_pDayCombo->GetCurSel() < 0)
    return CQsDateTime(m_nInitialYear, m_nInitialMonth, m_nInitialDay, 0, 0, 0);
  return CQsDateTime(m_pYearCombo->GetCurSel() + GetFirstYear(), m_pMonthCombo->GetCurSel() + 1,
                     m_pDayCombo->GetCurSel() + 1, 0, 0, 0);
}

CQsDateTime CMainFrame::AddDays(const CQsDateTime& date) const {
  CQsDateTime d = date;
  d.NextDay();
  return d;
}

int CMainFrame::IsSummerTimeOnSelectedDate() const {
  return m_bAutoTZ && IsSummerTimeAt(GetSelectedDate(), m_prediction.GetArea()) ? 1 : 0;
}

int CMainFrame::IsSummerTimeOnDay(int nDay) const {
  const CQsDateTime d = GetSelectedDate();
  return m_bAutoTZ && IsSummerTime(nDay, d.GetMonth(), d.GetYear(), m_prediction.GetArea()) ? 1 : 0;
}

CLocalDay CMainFrame::GetLocalDayOf(int nDay) const {
  const CQsDateTime d = GetSelectedDate();
  return CLocalDay(nDay, d.GetMonth(), d.GetYear(), GetTimeZone(), m_prediction.GetArea(), m_bAutoTZ);
}

void CMainFrame::FillDayList(int nMonth, int nYear) {
  const int days = ::DaysInMonth(nMonth, nYear);
  const int sel = std::min(m_pDayCombo->GetCurSel(), days - 1);
  m_pDayCombo->ResetContent();
  CString s;
  for (int d = 1; d <= days; ++d) {
    s.Format("%d", d);
    m_pDayCombo->AddString(s);
  }
  m_pDayCombo->SetCurSel(std::max(0, sel));
}

void CMainFrame::FillDateCombos() { FillDateCombos(CQsDateTime::GetCurrent()); }

void CMainFrame::FillDateCombos(const CQsDateTime& now) {
  // Today, within the days the table can predict.
  CQsDateTime today = now;
  today.SetTime(0, 0, 0);
  if (today <= m_firstDate) today = m_firstDate;
  if (m_lastDate <= today) today = m_lastDate;
  m_nInitialYear = today.GetYear();
  m_nInitialMonth = today.GetMonth();
  m_nInitialDay = today.GetDay();

  m_pMonthCombo->ResetContent();
  for (int m = 1; m <= 12; ++m) m_pMonthCombo->AddString(CQsDateTime(2009, m, 1, 0, 0, 0).Format("%B"));
  m_pMonthCombo->SetCurSel(today.GetMonth() - 1);
  m_pYearCombo->ResetContent();
  CString s;
  for (int y = GetFirstYear(); y <= GetLastYear(); ++y) {
    s.Format("%d", y);
    m_pYearCombo->AddString(s);
  }
  m_pYearCombo->SetCurSel(today.GetYear() - GetFirstYear());
  m_pDayCombo->SetCurSel(-1);
  FillDayList(today.GetMonth(), today.GetYear());
  m_pDayCombo->SetCurSel(today.GetDay() - 1);
}

// Gives the predictions the records of the date and the next day (and, for a new month, every
// day of the month). Notes whether the selected day has its records.
void CMainFrame::SetAngleFactorsForDate(const CQsDateTime& date, BOOL bMonth) {
  int hint = m_nAfHint, hintNext = -1;
  const CAngleFactorData& today = m_angleFactorDB.Find(date, hint);
  const CAngleFactorData& next = m_angleFactorDB.Find(AddDays(date), hintNext);
  m_bDayRecords = hint >= 0 && hintNext >= 0;
  if (m_bDayRecords) {
    m_nAfHint = hint;
    m_prediction.ClearCache();
    m_prediction.SetAngleFactors(today, next);
  }
  if (!bMonth) return;
  const int days = ::DaysInMonth(date.GetMonth(), date.GetYear());
  m_monthlyPrediction.ClearAll();
  m_monthlyPrediction.SetDaysInMonth(days);
  for (int d = 1; d <= 31; ++d) m_monthDayValid[d] = 0;
  int h = -1;
  for (int d = 1; d <= days; ++d) {
    int h1 = h, h2 = -1;
    const CQsDateTime day(date.GetYear(), date.GetMonth(), d, 0, 0, 0);
    const CAngleFactorData& a = m_angleFactorDB.Find(day, h1);
    const CAngleFactorData& b = m_angleFactorDB.Find(AddDays(day), h2);
    m_monthDayValid[d] = h1 >= 0 && h2 >= 0;
    if (m_monthDayValid[d]) {
      m_monthlyPrediction.SetAngleFactors(d, a, b);
      h = h1;
    } else {
      // Nothing left of another month: the day shows that no prediction exists.
      m_monthlyPrediction.SetAngleFactors(d, m_angleFactorDB.GetDefault(), m_angleFactorDB.GetDefault());
    }
  }
}

void CMainFrame::SetPlaceholder() {
  CString text;
  const CQsDateTime date = GetSelectedDate();
  if (m_bDayRecords)
    text.Format("Click Here For the Graph of %s on the %s", (LPCTSTR)m_prediction.GetPortName(),
                (LPCTSTR)date.Format("%#d %B %Y"));
  else
    text.Format("No prediction exists for %s: the tide tables cover %s to %s", (LPCTSTR)date.Format("%#d %B %Y"),
                (LPCTSTR)m_firstDate.Format("%#d %B %Y"), (LPCTSTR)m_lastDate.Format("%#d %B %Y"));
  GetRightPane()->Graph().SetPlaceholderText(text);
}

void CMainFrame::ShowNoPrediction() {
  CRightPane* right = GetRightPane();
  right->Graph().SetHasData(0);
  SetPlaceholder();
  GetLeftPane()->TideTimes().Clear();
  m_strSunrise.Empty();
  m_strSunset.Empty();
  ShowTimeZoneCaption(FALSE);
}
