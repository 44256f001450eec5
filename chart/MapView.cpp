#include "chart/MapView.h"
#include "platform/core/AfxUserNumber.h"

#include "chart/StreamWorker.h"
#include "model/AngleFactorDB.h"
#include "model/Angles.h"
#include "model/DiamondDB.h"
#include "model/PortDB.h"
#include "model/SummerTime.h"
#include "model/TidalStream.h"
#include "platform/ui/Accessible.h"
#include "platform/ui/CallLater.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

IMPLEMENT_DYNAMIC(CMapView, CWnd)

BEGIN_MESSAGE_MAP(CMapView, CWnd)
  ON_MESSAGE(WM_GETOBJECT, OnGetObject)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_SIZE()
  ON_WM_HSCROLL()
  ON_WM_VSCROLL()
  ON_WM_MOUSEWHEEL()
  ON_WM_SETCURSOR()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_TIMER()
  ON_MESSAGE(WM_STREAMS_READY, OnStreamsReadyMessage)
  ON_MESSAGE(WM_ROUTETRACK_READY, OnRouteTrackReady)
  ON_WM_CONTEXTMENU()
END_MESSAGE_MAP()

namespace {
const char kMapSection[] = "Map";
const char kDegree[] = "\xC2\xB0";
constexpr double kDegToRad = angles::kNavDegToRad;

// A pixel coordinate from a projected value: far-off points stay far off without leaving the
// range of an int.
int Pixel(double v) {
  if (!(v == v)) return 0;
  return (int)std::max(-1.0e8, std::min(1.0e8, v));
}

enum { kFontPortName, kFontInfoName, kFontInfoRow, kFontMeasure, kFontCount };

bool SameDay(const CQsDateTime& a, const CQsDateTime& b) {
  return a.GetDay() == b.GetDay() && a.GetMonth() == b.GetMonth() && a.GetYear() == b.GetYear();
}

// The records of a day and the next; FALSE when the table lacks either.
bool FindDays(const CAngleFactorDB* days, const CQsDateTime& date, const CAngleFactorData*& today,
              const CAngleFactorData*& tomorrow) {
  if (!days || !days->IsLoaded()) return false;
  CQsDateTime next(date);
  next.NextDay();
  int hint = -1;
  today = &days->Find(date, hint);
  if (hint < 0 || !SameDay(today->GetDate(), date)) return false;
  tomorrow = &days->Find(next, hint);
  return hint >= 0 && SameDay(tomorrow->GetDate(), next);
}
}  // namespace

struct CMapView::RegionInfo {
  int bit;
  const char* file;
  const char* keys[4];  // west, east, north, south
  int defaults[4];      // thousandths of a degree
  double limW, limE, limN, limS;
  double fallback[4];  // west, east, north, south
};

const CMapView::RegionInfo* CMapView::FindRegion(int nRegion) {
  static const RegionInfo kRegions[] = {
      {kRegionUK,
       "mapuk.data",
       {"ukl", "ukr", "ukt", "ukb"},
       {-7000, -1883, 55993, 52066},
       -13,
       5,
       60,
       46,
       {-7, -1.883, 54, 52}},
      {kRegionEurope,
       "mapeur.data",
       {"eul", "eur", "eut", "eub"},
       {-13000, 19000, 72000, 36000},
       -13,
       19,
       72,
       36,
       {-13, 19, 72, 36}},
      {kRegionAustralia,
       "mapaus.data",
       {"aul", "aur", "aut", "aub"},
       {107000, 179000, 4000, -50000},
       107,
       179,
       4,
       -50,
       {107, 179, 4, -50}},
      {kRegionUSEast,
       "mapuse.data",
       {"usel", "user", "uset", "useb"},
       {-86000, -55000, 63000, 17000},
       -86,
       -55,
       63,
       17,
       {-86, -55, 63, 17}},
  };
  for (const RegionInfo& r : kRegions)
    if (r.bit == nRegion) return &r;
  return nullptr;
}

const char* const* CMapView::ExtentKeys(int nRegion) {
  const RegionInfo* r = FindRegion(nRegion);
  return r ? r->keys : nullptr;
}

CString CMapView::RegionFile(int nRegion) {
  const RegionInfo* r = FindRegion(nRegion);
  return r ? AfxAppendPath(AfxGetDataFolder(), r->file) : CString();
}

CMapView::CMapView() {
  m_routes.SetHost(this);
  m_streams.SetHost(this);
}

CMapView::~CMapView() {
  // The window goes while the workers and routes it stops are still here.
  if (m_hWnd) DestroyWindow();
  m_streams.Stop();
  m_routes.Stop();
}

BOOL CMapView::Create(CWnd* pParent, const RECT& rect, UINT nID) {
  LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursor(nullptr, IDC_ARROW),
                                    (HBRUSH)(UINT_PTR)(COLOR_WINDOW + 1));
  return CreateEx(0, cls, "", WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, rect, pParent, nID);
}

int CMapView::OnCreate(LPCREATESTRUCT lpcs) {
  if (CWnd::OnCreate(lpcs) == -1) return -1;
  // The coastline is read when the chart is first drawn: most starts show the graph.
  TakeRegion(kRegionUK);
  CRect rc;
  GetClientRect(&rc);
  DeriveSouth(rc.Width(), rc.Height());
  FitToRegion(rc.Width(), rc.Height());
  UpdateScrollBars();
  if (m_toolTip.Create(this, WS_POPUP | WS_VISIBLE)) {
    m_toolTip.Activate(TRUE);
    m_toolTip.SetMaxTipWidth(400);
    CRect all(0, 0, 1000, 1000);
    m_toolTip.AddTool(this, "Tooltip for height and Time", &all, kTooltipId);
  }
  return 0;
}

void CMapView::OnDestroy() {
  // A chart never shown has nothing of the user's to keep (and a start that failed half-way
  // leaves the settings as they were).
  if (!m_bStreamsAtFirstPaint) SaveViewExtents();
  m_routes.Stop();
  m_streams.Stop();
  KillTimer(kInfoTimer);
  KillTimer(kStreamTimer);
  m_nInfoTimer = m_nStreamTimer = 0;
  if (m_toolTip.GetSafeHwnd()) m_toolTip.DestroyWindow();
  m_coast.Empty();
  m_streams.GetWorker().ClearGrid();
  m_background.DeleteObject();
  m_composition.DeleteObject();
  m_bitmapSize = CSize();
  CWnd::OnDestroy();
}

// ---------------------------------------------------------------------------------------------
// Regions and extents

BOOL CMapView::LoadRegion(int nRegion) {
  if (!TakeRegion(nRegion)) return FALSE;
  return ReadCoastline(FALSE);
}

BOOL CMapView::TakeRegion(int nRegion) {
  const RegionInfo* info = FindRegion(nRegion);
  if (!info) return FALSE;
  // The view now shows this region within its own limits and extents, whatever its file gives,
  // so the extents saved later under its keys are its own.
  m_coast.Empty();
  m_nRegion = nRegion;
  m_nLoadedRegion = 0;
  m_bCoastPending = TRUE;
  m_bLayersDirty = 1;
  m_dLimW = info->limW;
  m_dLimE = info->limE;
  m_dLimN = info->limN;
  m_dLimS = info->limS;
  ApplyRegionExtents(*info);
  return TRUE;
}

BOOL CMapView::ReadCoastline(BOOL bTellLater) {
  if (!m_bCoastPending) return m_nLoadedRegion == m_nRegion;
  m_bCoastPending = FALSE;
  CString error;
  const CCoastline::Result r = m_coast.ReadFile(RegionFile(m_nRegion), error);
  m_nLoadedRegion = r == CCoastline::readOk || r == CCoastline::readTruncated ? m_nRegion : 0;
  m_bLayersDirty = 1;
  if (r == CCoastline::readTruncated || r == CCoastline::readCorrupt) {
    const CString text = error + "\n\nPlease install Neapwise again to repair its chart files.";
    // Read while drawing: the message waits until the drawing is done.
    if (bTellLater)
      AfxCallLater(0, [text] { AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION); });
    else
      AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
  }
  return r == CCoastline::readOk;
}

int CMapView::GetLoadedRegion() {
  ReadCoastline(FALSE);
  return m_nLoadedRegion;
}

const CCoastline& CMapView::GetCoastline() {
  ReadCoastline(FALSE);
  return m_coast;
}

void CMapView::ApplyRegionExtents(const RegionInfo& info) {
  CWinAppBase* app = AfxGetApp();
  double v[4];
  for (int i = 0; i < 4; ++i) v[i] = (int)app->GetProfileInt(kMapSection, info.keys[i], info.defaults[i]) / 1000.0;
  m_dWest = std::max(v[0], m_dLimW);
  m_dEast = std::min(v[1], m_dLimE);
  m_dNorth = std::min(v[2], m_dLimN);
  m_dSouth = std::max(v[3], m_dLimS);
  // Crossed extents fall back; so do empty ones, which no projection can divide by.
  if (m_dEast <= m_dWest || m_dSouth >= m_dNorth) {
    m_dWest = info.fallback[0];
    m_dEast = info.fallback[1];
    m_dNorth = info.fallback[2];
    m_dSouth = info.fallback[3];
  }
}

void CMapView::SaveViewExtents() {
  const RegionInfo* info = FindRegion(m_nRegion);
  if (!info) return;
  const double v[4] = {m_dWest, m_dEast, m_dNorth, m_dSouth};
  // Extents that are not numbers (a view never sized) are not worth keeping.
  for (double d : v)
    if (!std::isfinite(d) || std::fabs(d) > 1.0e6) return;
  CWinAppBase* app = AfxGetApp();
  for (int i = 0; i < 4; ++i) app->WriteProfileInt(kMapSection, info->keys[i], (int)std::trunc(v[i] * 1000.0));
}

void CMapView::SetRegion(int nRegion) {
  if (nRegion == m_nRegion || !FindRegion(nRegion)) return;
  SaveViewExtents();
  CWaitCursor wait;
  m_routes.AbortDrift();
  m_streams.Cancel();
  // The old region's picture goes; a region without streams gets none.
  m_streams.GetWorker().ClearGrid();
  LoadRegion(nRegion);
  m_nHoveredPort = -1;
  AfterViewChange(TRUE);
}

void CMapView::SetExtents(double w, double e, double n, double s) {
  m_dWest = w;
  m_dEast = e;
  m_dNorth = n;
  m_dSouth = s;
  m_bLayersDirty = 1;
}

void CMapView::AfterViewChange(BOOL bStreams) {
  CRect rc;
  if (m_hWnd) GetClientRect(&rc);
  DeriveSouth(rc.Width(), rc.Height());
  FitToRegion(rc.Width(), rc.Height());
  m_bLayersDirty = 1;
  if (!m_hWnd) return;
  UpdateScrollBars();
  if (bStreams) RecalculateStreams();
  RedrawNow();
}

// ---------------------------------------------------------------------------------------------
// Options

void CMapView::SetShowDiamonds(BOOL bShow) {
  m_bShowDiamonds = bShow ? TRUE : FALSE;
  m_bLayersDirty = 1;
  if (m_bShowDiamonds) RecalculateStreams();
  if (m_hWnd) RedrawNow();
}

void CMapView::SetShowStreamGrid(BOOL bShow) {
  m_bShowStreams = bShow ? TRUE : FALSE;
  m_bLayersDirty = 1;
  if (m_hWnd) RedrawNow();
}

// ---------------------------------------------------------------------------------------------
// Projection

BOOL CMapView::LatLonToPoint(double lat, double lon, const CRect& rc, CPoint& pt) const {
  pt.x = rc.right - Pixel((m_dEast - lon) / (m_dEast - m_dWest) * rc.Width());
  pt.y = rc.top + Pixel((m_dNorth - lat) / (m_dNorth - m_dSouth) * rc.Height());
  return lon >= m_dWest && lon <= m_dEast && lat >= m_dSouth && lat <= m_dNorth;
}

BOOL CMapView::LatLonToClient(double lat, double lon, CPoint& pt) const {
  CRect rc;
  GetClientRect(&rc);
  return LatLonToPoint(lat, lon, rc, pt);
}

void CMapView::ClientToLatLon(CPoint pt, double& lat, double& lon) const {
  CRect rc;
  GetClientRect(&rc);
  const double w = std::max(1, (int)rc.Width()), h = std::max(1, (int)rc.Height());
  lon = m_dWest + (pt.x - rc.left) / w * (m_dEast - m_dWest);
  lat = m_dNorth - (1.0 - (rc.bottom - pt.y) / h) * (m_dNorth - m_dSouth);
}

BOOL CMapView::IsInsideViewAndLimits(double lat, double lon) const {
  return lon >= m_dWest && lon <= m_dEast && lat >= m_dSouth && lat <= m_dNorth && lon >= m_dLimW && lon <= m_dLimE &&
         lat >= m_dLimS && lat <= m_dLimN;
}

void CMapView::DeriveSouth(int nWidth, int nHeight) {
  // A window of no size has no aspect: the extents stay as they are.
  if (nWidth <= 0 || nHeight <= 0) return;
  m_dSouth = m_dNorth - (m_dEast - m_dWest) * 0.8 * nHeight / nWidth;
}

void CMapView::FitToRegion(int nWidth, int nHeight) {
  if (nWidth <= 0 || nHeight <= 0) return;
  const double w = nWidth, h = nHeight;
  const double a = m_dLimE - m_dLimW, b = m_dLimN - m_dLimS;
  double s = m_dEast - m_dWest, v = m_dNorth - m_dSouth;
  if (m_dLimW > m_dWest && a > s) {
    m_dWest = m_dLimW;
    m_dEast = m_dLimW + s;
  }
  if (m_dLimE < m_dEast && a > m_dEast - m_dWest) {
    const double span = m_dEast - m_dWest;
    m_dEast = m_dLimE;
    m_dWest = m_dLimE - span;
  }
  if (m_dLimN < m_dNorth && b > v) {
    m_dNorth = m_dLimN;
    m_dSouth = m_dLimN - v;
  }
  if (m_dLimS > m_dSouth && b > v) {
    m_dSouth = m_dLimS;
    m_dNorth = m_dLimS + v;
  }
  if (b / a > h / w) {
    if (b < v) {
      m_dNorth = m_dLimN;
      m_dSouth = m_dLimS;
      const double d = (b * (w * 1.25) / h - a) * 0.5;
      m_dWest = m_dLimW - d;
      m_dEast = m_dLimE + d;
    }
  } else if (a < s) {
    m_dWest = m_dLimW;
    m_dEast = m_dLimE;
    const double d = (a * (h * 0.8) / w - b) * 0.5;
    m_dNorth = m_dLimN + d;
    m_dSouth = m_dLimS - d;
  }
  s = m_dEast - m_dWest;
  v = m_dNorth - m_dSouth;
  if (b < v) {
    m_dWest = m_dLimW - (s - a) * 0.5;
    m_dEast = m_dLimE + (s - a) * 0.5;
  }
  if (a < s) {
    m_dNorth = m_dLimN + (v - b) * 0.5;
    m_dSouth = m_dLimS - (v - b) * 0.5;
  }
}

int CMapView::GetDetailLevel() const {
  const double s = m_dEast - m_dWest;
  return s > 10 ? 1 : s > 7 ? 2 : s > 6 ? 3 : s > 3 ? 4 : 5;
}

// ---------------------------------------------------------------------------------------------
// Drawing

CFont& CMapView::Font(int nIndex) {
  CFont& f = m_fonts[nIndex];
  if (!f.GetSafeHandle()) {
    static const struct { int tenths, weight; } kFonts[kFontCount] = {{80, 400}, {100, 800}, {90, 400}, {110, 800}};
    LOGFONT lf{};
    lf.lfHeight = kFonts[nIndex].tenths;
    lf.lfWeight = kFonts[nIndex].weight;
    std::strcpy(lf.lfFaceName, "Arial");
    f.CreatePointFontIndirect(&lf);
  }
  return f;
}

void CMapView::DrawView(CDC* pDC, BOOL bTrack, const CRect* pPrintRect) {
  if (pPrintRect) {
    DrawLand(pDC, *pPrintRect, TRUE);
    DrawOutsideLimits(pDC, *pPrintRect);
    DrawPorts(pDC, *pPrintRect, TRUE);
    DrawRoutes(pDC, *pPrintRect, bTrack, TRUE);
    return;
  }
  CRect rc;
  GetClientRect(&rc);
  if (rc.Width() <= 0 || rc.Height() <= 0) return;
  const CSize size(rc.Width(), rc.Height());
  if (size.cx != m_bitmapSize.cx || size.cy != m_bitmapSize.cy || !m_composition.GetSafeHandle()) {
    m_background.DeleteObject();
    m_composition.DeleteObject();
    m_background.CreateCompatibleBitmap(pDC, size.cx, size.cy);
    m_composition.CreateCompatibleBitmap(pDC, size.cx, size.cy);
    m_bitmapSize = size;
    m_bLayersDirty = 1;
  }
  CDC mem;
  mem.CreateCompatibleDC(pDC);
  if (m_bLayersDirty) {
    if (size.cx != m_seaSize.cx || size.cy != m_seaSize.cy || !m_sea.GetSafeHandle()) {
      m_sea.DeleteObject();
      m_sea.CreateCompatibleBitmap(pDC, size.cx, size.cy);
      CBitmap* oldSea = mem.SelectObject(&m_sea);
      DrawSea(&mem, rc);
      mem.SelectObject(oldSea);
      m_seaSize = size;
    }
    CDC sea;
    sea.CreateCompatibleDC(pDC);
    CBitmap* oldSea = sea.SelectObject(&m_sea);
    CBitmap* old = mem.SelectObject(&m_background);
    mem.BitBlt(0, 0, size.cx, size.cy, &sea, 0, 0, SRCCOPY);
    sea.SelectObject(oldSea);
    DrawLand(&mem, rc, FALSE);
    DrawOutsideLimits(&mem, rc);
    if (AreDiamondsShown()) DrawDiamonds(&mem, rc);
    if (m_bShowStreams) DrawStreamGrid(&mem, rc);
    DrawPorts(&mem, rc, FALSE);
    mem.SelectObject(old);
    m_bLayersDirty = 0;
    m_bInfoRequest = 0;
    m_bOverlayDirty = 1;
  }
  if (m_bOverlayDirty || m_bInfoDirty) {
    CDC back;
    back.CreateCompatibleDC(pDC);
    CBitmap* oldBack = back.SelectObject(&m_background);
    CBitmap* old = mem.SelectObject(&m_composition);
    mem.BitBlt(0, 0, size.cx, size.cy, &back, 0, 0, SRCCOPY);
    back.SelectObject(oldBack);
    DrawRoutes(&mem, rc, bTrack, FALSE);
    DrawVessel(&mem, rc);
    DrawPortInfo(&mem, rc);
    mem.SelectObject(old);
    m_bOverlayDirty = m_bInfoDirty = 0;
  }
  CBitmap* old = mem.SelectObject(&m_composition);
  pDC->BitBlt(0, 0, size.cx, size.cy, &mem, 0, 0, SRCCOPY);
  mem.SelectObject(old);
}

void CMapView::RedrawNow() {
  if (!m_hWnd) return;
  CClientDC dc(this);
  DrawView(&dc, TRUE);
}

void CMapView::RedrawRoutes() {
  m_bOverlayDirty = 1;
  RedrawNow();
}

void CMapView::OnPaint() {
  CPaintDC dc(this);
  if (m_bStreamsAtFirstPaint) {
    m_bStreamsAtFirstPaint = 0;
    RecalculateStreams();
  }
  DrawView(&dc, TRUE);
}

void CMapView::DrawSea(CDC* pDC, const CRect& rc) {
  const double k = std::tan(1.0367255745);
  const double d = rc.Height() / k;
  const double lo = rc.left - d, hi = rc.right + d, range = hi - lo;
  // At least a pixel a step, however narrow the window.
  const int step = std::max(1, (int)(range / 100));
  auto colour = [&](double c) {
    const int g = std::clamp(102 - (int)((int)((c - rc.left) / range * -255) * 0.6), 0, 255);
    return RGB(g, g, 255);
  };
  CGdiObject* oldPen = pDC->SelectStockObject(NULL_PEN);
  CBrush* oldBrush = pDC->GetCurrentBrush();
  // Each triangle (0,0), (c,0), (0,kc) is covered by the next, smaller one but for a band along
  // its long side: drawing the bands alone gives the same picture with every pixel filled once.
  for (double c = hi; c >= lo; c -= step) {
    const double next = c - step;
    CBrush brush(colour(c));
    pDC->SelectObject(&brush);
    if (next >= lo) {
      const POINT band[4] = {{Pixel(next), 0}, {Pixel(c), 0}, {0, Pixel(k * c)}, {0, Pixel(k * next)}};
      pDC->Polygon(band, 4);
    } else {
      const POINT tri[3] = {{0, 0}, {Pixel(c), 0}, {0, Pixel(k * c)}};
      pDC->Polygon(tri, 3);
    }
    pDC->SelectObject(oldBrush);
  }
  pDC->SelectObject(oldPen);
}

void CMapView::DrawLand(CDC* pDC, const CRect& rc, BOOL bPrinting) {
  ReadCoastline(TRUE);
  CBrush brush(bPrinting ? RGB(255, 255, 150) : RGB(255, 255, 100));
  CPen pen(PS_SOLID, 3, RGB(255, 255, 0));
  CBrush* oldBrush = pDC->SelectObject(&brush);
  CGdiObject* oldPen = nullptr;
  CPen* oldPrintPen = nullptr;
  if (bPrinting)
    oldPrintPen = pDC->SelectObject(&pen);
  else
    oldPen = pDC->SelectStockObject(NULL_PEN);
  const double span = std::fabs(m_dEast - m_dWest);
  const int step = span > 6 ? 10 : span > 4 ? 4 : 0;
  const double sx = rc.Width() / (m_dEast - m_dWest);
  auto project = [&](double lat, double lon) {
    return POINT{rc.left + Pixel((lon - m_dWest) * sx),
                 rc.top + Pixel((1.0 - (lat - m_dSouth) / (m_dNorth - m_dSouth)) * rc.Height())};
  };
  // The coastlines are cut at the region's box: the corners of a cut stand alone at the ends of
  // long straight edges, and dropping one would draw a chord across the chart.
  const double longEdge = std::max(0.05, span / 20);
  auto LongEdge = [longEdge](const COASTNODE* a, const COASTNODE* b) {
    return a && b &&
           (std::fabs(a->longitude - b->longitude) > longEdge || std::fabs(a->latitude - b->latitude) > longEdge);
  };
  std::vector<const COASTNODE*> drawn;
  for (int i = 0; i < m_coast.GetPolygonCount(); ++i) {
    m_points.clear();
    drawn.clear();
    bool east = false, westOrZero = false, farWest = false;
    int j = 0;
    const COASTNODE* prev = nullptr;
    for (const COASTNODE* p = m_coast.GetPolygon(i); p; prev = p, p = p->next, ++j) {
      const bool last = p->next == nullptr;
      bool draw;
      if (IsInsideViewAndLimits(p->latitude, p->longitude) || last || j == 0)
        draw = step == 0 || last || j == 0 || j % step == 0;
      else
        draw = j % 20 == 0 || LongEdge(prev, p) || LongEdge(p, p->next);
      if (!draw) continue;
      m_points.push_back(project(p->latitude, p->longitude));
      drawn.push_back(p);
      if (p->longitude > 0)
        east = true;
      else
        westOrZero = true;
      if (p->longitude < -160) farWest = true;
    }
    if (m_points.size() < 3) continue;
    // A polygon across the date line: its far-west points belong 360 degrees east.
    if (east && westOrZero && farWest)
      for (std::size_t q = 0; q < drawn.size(); ++q)
        if (drawn[q]->longitude < -160) m_points[q] = project(drawn[q]->latitude, drawn[q]->longitude + 360.0);
    pDC->Polygon(m_points.data(), (int)m_points.size());
  }
  pDC->SelectObject(oldBrush);
  if (oldPrintPen) pDC->SelectObject(oldPrintPen);
  if (oldPen) pDC->SelectObject(oldPen);
}

void CMapView::DrawOutsideLimits(CDC* pDC, const CRect& rc) {
  const COLORREF face = ::GetSysColor(COLOR_3DFACE);
  CPoint nw, se;
  LatLonToPoint(m_dLimN, m_dLimW, rc, nw);
  LatLonToPoint(m_dLimS, m_dLimE, rc, se);
  if (m_dLimE - m_dLimW < m_dEast - m_dWest) {
    if (nw.x > rc.left)
      pDC->FillSolidRect(rc.left, rc.top, std::min(nw.x, (LONG)rc.right) - rc.left, rc.Height(), face);
    if (se.x < rc.right) {
      const int x = std::max(se.x, (LONG)rc.left);
      pDC->FillSolidRect(x, rc.top, rc.right - x, rc.Height(), face);
    }
  }
  if (m_dLimN - m_dLimS < m_dNorth - m_dSouth) {
    if (nw.y > rc.top) pDC->FillSolidRect(rc.left, rc.top, rc.Width(), std::min(nw.y, (LONG)rc.bottom) - rc.top, face);
    if (se.y < rc.bottom) {
      const int y = std::max(se.y, (LONG)rc.top);
      pDC->FillSolidRect(rc.left, y, rc.Width(), rc.bottom - y, face);
    }
  }
}

void CMapView::DrawPorts(CDC* pDC, const CRect& rc, BOOL bPrinting) {
  // Only the screen's ports are the ones the mouse can find.
  if (!bPrinting) m_drawnPorts.clear();
  CPortDB* db = m_pHost ? m_pHost->GetPortDB() : nullptr;
  if (!db || db->GetCount() <= 0) return;
  const int half = bPrinting ? 25 : GetPortMarkerHalfSize();
  const BOOL names = m_dEast - m_dWest < (m_nRegion == kRegionUSEast ? 8 : 4);
  CBrush red(RGB(255, 0, 0));
  CBrush* oldBrush = pDC->SelectObject(&red);
  CGdiObject* oldPen = pDC->SelectStockObject(NULL_PEN);
  CFont printFont;
  CFont* oldFont = nullptr;
  if (names) {
    if (bPrinting) {
      printFont.CreatePointFont(80, "Arial", pDC);
      oldFont = pDC->SelectObject(&printFont);
    } else {
      oldFont = pDC->SelectObject(&Font(kFontPortName));
    }
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(RGB(0, 0, 0));
    pDC->SetTextAlign(TA_CENTER | TA_TOP);
  }
  for (int i = 0; i < db->GetCount(); ++i) {
    const CPortData* port = db->GetPort(i);
    const double lat = port->GetLatitude(), lon = port->GetLongitude();
    if (!IsInsideViewAndLimits(lat, lon)) continue;
    CPoint pt;
    LatLonToPoint(lat, lon, rc, pt);
    pDC->Ellipse(pt.x - half, pt.y - half, pt.x + half, pt.y + half);
    if (names) pDC->TextOut(pt.x, pt.y + half + 6, port->GetName());
    if (!bPrinting) m_drawnPorts.push_back({i, pt});
  }
  if (names) {
    pDC->SetTextAlign(TA_LEFT | TA_TOP);
    pDC->SelectObject(oldFont);
  }
  pDC->SelectObject(oldPen);
  pDC->SelectObject(oldBrush);
}

BOOL CMapView::ArrowFor(double dRate, double dSpeedForWidth, double dDirection, double a, CPoint from, CPoint& to,
                        int& rWidth) {
  int w = std::clamp((int)(dSpeedForWidth * 6), 1, 16);
  double L = std::min(3.0, a * dRate - 0.039 * dRate * dRate);
  if (L < 0.2) {
    L = 0.2;
    w = 1;
  }
  const double d = dDirection * kDegToRad;
  const double dx = std::sin(d) * L * 40, dy = std::cos(d) * L * 40;
  rWidth = w;
  to = CPoint(from.x + (int)dx, from.y - (int)dy);
  return std::sqrt(dx * dx + dy * dy) > 2;
}

void CMapView::DrawDiamonds(CDC* pDC, const CRect& rc) {
  m_streams.GetWorker().ReadDiamonds([&](const std::vector<DIAMOND_ON_MAP>& diamonds) {
    for (const DIAMOND_ON_MAP& d : diamonds) {
      if (!IsInsideViewAndLimits(d.latitude, d.longitude)) continue;
      CPoint from, to;
      LatLonToPoint(d.latitude, d.longitude, rc, from);
      int w;
      // The record holds metres per second already: the length works on that rate as it is.
      if (ArrowFor(d.speed, d.speed, d.direction, 0.72, from, to, w))
        DrawArrow(pDC, from, to, w, RGB(19, 9, 76), w + 6, TRUE);
    }
  });
}

void CMapView::DrawStreamGrid(CDC* pDC, const CRect&) {
  m_streams.GetWorker().ReadGrid([&](const CTidalStreamGrid* grid) {
    if (!grid) return;
    for (int c = 1; c <= grid->GetCols(); ++c)
      for (int r = 1; r <= grid->GetRows(); ++r) {
        const LATLON centre = grid->GetCellCentre(c, r);
        const double rate = grid->GetRate(c, r);
        if (!IsInsideViewAndLimits(centre.latitude, centre.longitude) || rate < 0.0001) continue;
        const GRID_PIXEL px = grid->GetCellPixel(c, r);
        const CPoint from(px.x, px.y);
        CPoint to;
        int w;
        if (ArrowFor(rate, rate, grid->GetDirection(c, r), 0.65, from, to, w))
          DrawArrow(pDC, from, to, w, RGB(255, 255, 255), w + 6, TRUE);
      }
  });
}

void CMapView::DrawArrow(CDC* pDC, CPoint from, CPoint to, int nWidth, COLORREF colour, int nHeadSize, BOOL bFill) {
  const double dx = to.x - from.x, dy = to.y - from.y, len = std::sqrt(dx * dx + dy * dy);
  if (len <= 0) return;
  const double ux = dx / len, uy = dy / len;
  const double back = nHeadSize / std::tan(1.0);
  const double bx = to.x - ux * back, by = to.y - uy * back;
  CPen shaft(PS_SOLID, nWidth, colour);
  CPen* oldPen = pDC->SelectObject(&shaft);
  pDC->MoveTo(from);
  pDC->LineTo((int)std::lround(bx), (int)std::lround(by));
  CPen thin(PS_SOLID, 1, colour);
  CBrush brush(colour);
  pDC->SelectObject(&thin);
  CBrush* oldBrush = nullptr;
  CGdiObject* oldNull = nullptr;
  if (bFill)
    oldBrush = pDC->SelectObject(&brush);
  else
    oldNull = pDC->SelectStockObject(NULL_BRUSH);
  const double hx = -uy * nHeadSize / 2.0, hy = ux * nHeadSize / 2.0;
  const POINT head[3] = {{to.x, to.y},
                         {(int)std::lround(bx + hx), (int)std::lround(by + hy)},
                         {(int)std::lround(bx - hx), (int)std::lround(by - hy)}};
  pDC->Polygon(head, 3);
  if (oldBrush) pDC->SelectObject(oldBrush);
  if (oldNull) pDC->SelectObject(oldNull);
  pDC->SelectObject(oldPen);
}

void CMapView::DrawRoutes(CDC* pDC, const CRect& rc, BOOL bTrack, BOOL bPrinting) {
  CMapRoute* route = m_routes.GetRoute();
  if (!route) return;
  const int width = bPrinting ? 16 : 3, half = bPrinting ? 30 : 4;
  if (bTrack && m_bShowStreams) {
    CDMLockHold drift(m_routes.GetDriftLock());
    CPen green(PS_SOLID, width, RGB(7, 120, 36));
    CPen* old = pDC->SelectObject(&green);
    for (const ROUTE_TRACK_NODE* n = route->GetTrack(); n; n = n->next) {
      CPoint pt;
      const BOOL visible = LatLonToPoint(n->latitude, n->longitude, rc, pt);
      if (n != route->GetTrack() && visible)
        pDC->LineTo(pt);
      else
        pDC->MoveTo(pt);
    }
    pDC->SelectObject(old);
  }
  if (!m_routeFont.GetSafeHandle()) {
    LOGFONT lf{};
    lf.lfHeight = 80;
    lf.lfWeight = 400;
    std::strcpy(lf.lfFaceName, "Tahoma");
    m_routeFont.CreatePointFontIndirect(&lf);
  }
  CPen black(PS_SOLID, width, RGB(0, 0, 0));
  CPen* oldPen = pDC->SelectObject(&black);
  CFont* oldFont = pDC->SelectObject(&m_routeFont);
  const int oldMode = pDC->SetBkMode(TRANSPARENT);
  const COLORREF oldColour = pDC->SetTextColor(RGB(0, 0, 0));
  const UINT oldAlign = pDC->SetTextAlign(TA_CENTER | TA_TOP);
  const CRoutePoint* first = route->GetFirstPoint();
  CPoint prev;
  for (const CRoutePoint* p = first; p; p = p->GetNext()) {
    CPoint pt;
    LatLonToPoint(p->GetLatitude(), p->GetLongitude(), rc, pt);
    if (p != first) {
      pDC->MoveTo(prev);
      pDC->LineTo(pt);
    }
    prev = pt;
  }
  for (const CRoutePoint* p = first; p; p = p->GetNext()) {
    CPoint pt;
    LatLonToPoint(p->GetLatitude(), p->GetLongitude(), rc, pt);
    const COLORREF c = p->IsSelected() && !bPrinting ? RGB(255, 0, 0) : RGB(0, 0, 0);
    CRect box(pt.x - half, pt.y - half, pt.x + half, pt.y + half);
    pDC->FillSolidRect(&box, c);
    if (p == first) {
      box.InflateRect(2, 2);
      CBrush frame(c);
      pDC->FrameRect(&box, &frame);
    }
    const CQsDateTime& t = p->GetTime();
    const long long days = (t.ToSeconds() - first->GetTime().ToSeconds()) / 86400;
    CString label;
    if (days >= 1)
      label.Format("%02d:%02d +%dd", t.GetHour(), t.GetMinute(), (int)days);
    else if (p == first)
      label.Format("%02d:%02d %skts", t.GetHour(), t.GetMinute(),
                   AfxFormatUserNumber(route->GetSpeed(), 1).GetString());
    else
      label.Format("%02d:%02d", t.GetHour(), t.GetMinute());
    pDC->TextOut(pt.x, pt.y + half + 6, label);
  }
  pDC->SetTextAlign(oldAlign);
  pDC->SetTextColor(oldColour);
  pDC->SetBkMode(oldMode);
  pDC->SelectObject(oldFont);
  pDC->SelectObject(oldPen);
}

CRoutePoint* CMapView::RoutePointAt(CPoint pt, int nHalf, BOOL bLast) {
  CMapRoute* route = m_routes.GetRoute();
  CRoutePoint* hit = nullptr;
  for (CRoutePoint* p = route ? route->GetFirstPoint() : nullptr; p; p = p->GetNext()) {
    CPoint at;
    LatLonToClient(p->GetLatitude(), p->GetLongitude(), at);
    if (std::abs(pt.x - at.x) <= nHalf && std::abs(pt.y - at.y) <= nHalf) {
      hit = p;
      if (!bLast) break;
    }
  }
  return hit;
}

void CMapView::MoveSelectedPoints(CPoint to) {
  CRoutePoint* pressed = m_pPressedPoint;
  if (!pressed) return;
  CPoint from;
  LatLonToClient(pressed->GetLatitude(), pressed->GetLongitude(), from);
  const CSize offset(to.x - from.x, to.y - from.y);
  double lat, lon;
  ClientToLatLon(to, lat, lon);
  pressed->SetPosition(lat, lon);
  for (CRoutePoint* p = pressed->GetRoute()->GetFirstSelected(); p; p = p->GetNextSelected()) {
    if (p == pressed) continue;
    CPoint at;
    LatLonToClient(p->GetLatitude(), p->GetLongitude(), at);
    ClientToLatLon(at + offset, lat, lon);
    p->SetPosition(lat, lon);
  }
}

void CMapView::DrawVessel(CDC* pDC, const CRect& rc) {
  if (!m_bHasVessel) return;
  CPoint pt;
  LatLonToPoint(m_dVesselLat, m_dVesselLon, rc, pt);
  m_ptVessel = pt;
  const COLORREF c = m_bVesselFresh ? RGB(0, 0, 0) : RGB(128, 128, 128);
  CPen pen(PS_SOLID, 1, c);
  CBrush brush(c);
  CPen* oldPen = pDC->SelectObject(&pen);
  CBrush* oldBrush = pDC->SelectObject(&brush);
  const POINT inner[4] = {{pt.x, pt.y - 4}, {pt.x + 4, pt.y}, {pt.x, pt.y + 4}, {pt.x - 4, pt.y}};
  pDC->Polygon(inner, 4);
  pDC->SelectStockObject(NULL_BRUSH);
  const POINT outer[4] = {{pt.x, pt.y - 7}, {pt.x + 7, pt.y}, {pt.x, pt.y + 7}, {pt.x - 7, pt.y}};
  pDC->Polygon(outer, 4);
  pDC->SelectObject(oldBrush);
  pDC->SelectObject(oldPen);
}

// ---------------------------------------------------------------------------------------------
// The port information box

CString CMapView::ZoneCaption(int nZone, int nSummer) const {
  int h, m = 0;
  if (nZone >= -100 && nZone <= 100) {
    h = nZone;
  } else {
    const double v = nZone / 100.0;
    h = (int)std::trunc(v);
    const double a = std::fabs(v);
    if (a - std::floor(a) > 0.01) m = 30;
  }
  h += nSummer;
  CString s;
  if (h >= 0)
    s.Format("GMT +%d:%02d", h, m);
  else
    s.Format("GMT -%d:%02d", -h, m);
  return s;
}

CPrediction* CMapView::InfoPrediction() {
  CPortDB* db = m_pHost ? m_pHost->GetPortDB() : nullptr;
  if (!db || m_nHoveredPort < 0 || m_nHoveredPort >= db->GetCount()) return nullptr;
  std::unique_ptr<CPrediction>& p = m_infoPredictions[m_nHoveredPort];
  const CQsDateTime date = m_pHost->GetSelectedDate();
  const CAngleFactorDB* days = m_pHost->GetAngleFactorDB();
  const bool fresh = !p;
  if (fresh) {
    p = std::make_unique<CPrediction>();
    p->SetPort(*db->GetPort(m_nHoveredPort));
  }
  const CAngleFactorData* today = nullptr;
  const CAngleFactorData* tomorrow = nullptr;
  if ((fresh || !SameDay(p->GetDate(), date)) && FindDays(days, date, today, tomorrow)) {
    p->SetAngleFactors(*today, *tomorrow);
    p->ClearCache();
  }
  return p.get();
}

std::vector<CString> CMapView::GetPortInfoLines() {
  std::vector<CString> lines;
  CPrediction* p = InfoPrediction();
  if (!p) return lines;
  const CPortData* port = p->GetPort();
  int zone, summer;
  if (m_pHost->IsAutoTimeZone()) {
    zone = port->GetTimeZone();
    summer = IsSummerTimeAt(m_pHost->GetSelectedDate(), port->GetArea() - 1) ? 1 : 0;
  } else {
    zone = m_pHost->GetChosenTimeZone();
    summer = 0;
  }
  lines.push_back(port->GetName());
  lines.push_back(p->GetDate().Format("%d %b %Y ") + ZoneCaption(zone, summer));
  TIMEHEIGHT events[4];
  const int n = p->FindHighLow(zone, summer, events);
  const BOOL feet = m_pHost->IsFeet();
  for (int i = 0; i < n && i < 4; ++i) {
    CString row;
    if (feet)
      row.Format("%02d:%02d\t%sft", events[i].minutes / 60, events[i].minutes % 60,
                 AfxFormatUserNumber(events[i].metres * 3.2808, 1).GetString());
    else
      row.Format("%02d:%02d\t%sm", events[i].minutes / 60, events[i].minutes % 60,
                 AfxFormatUserNumber(events[i].metres, 1).GetString());
    lines.push_back(row);
  }
  return lines;
}

void CMapView::DrawPortInfo(CDC* pDC, const CRect& rc) {
  CPortDB* db = m_pHost ? m_pHost->GetPortDB() : nullptr;
  if (!db || m_nHoveredPort < 0 || m_nHoveredPort >= db->GetCount() || m_nInfoTimer) return;
  const CPortData* port = db->GetPort(m_nHoveredPort);
  if (!IsInsideViewAndLimits(port->GetLatitude(), port->GetLongitude())) return;
  const std::vector<CString> lines = GetPortInfoLines();
  if (lines.size() < 2) return;
  CPoint pt;
  LatLonToPoint(port->GetLatitude(), port->GetLongitude(), rc, pt);
  CRect box;
  if (pt.x + 155 < rc.right)
    box.left = pt.x + 10, box.right = pt.x + 160;
  else
    box.left = pt.x - 150, box.right = pt.x;
  if (pt.y - 120 < 0)
    box.top = pt.y, box.bottom = pt.y + 114;
  else
    box.top = pt.y - 124, box.bottom = pt.y - 10;
  CBrush fill(RGB(252, 239, 209));
  CPen edge(PS_SOLID, 1, RGB(242, 200, 102));
  CBrush* oldBrush = pDC->SelectObject(&fill);
  CPen* oldPen = pDC->SelectObject(&edge);
  pDC->RoundRect(box.left, box.top, box.right, box.bottom, 10, 10);
  pDC->SetBkMode(TRANSPARENT);
  pDC->SetTextColor(RGB(0, 0, 0));
  CFont* oldFont = pDC->SelectObject(&Font(kFontInfoName));
  CRect text(box.left + 3, box.top + 3, box.right - 3, box.bottom);
  pDC->DrawText(lines[0], &text, DT_CENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_TOP);
  int y = box.top + 3 + pDC->GetTextExtent(CString("Ay")).cy + 2;
  pDC->SelectObject(&Font(kFontInfoRow));
  const int row = pDC->GetTextExtent(CString("Ay")).cy + 1;
  CRect date(box.left + 3, y, box.right - 3, y + row);
  pDC->DrawText(lines[1], &date, DT_CENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
  y += row + 3;
  pDC->MoveTo(box.left + 4, y);
  pDC->LineTo(box.right - 4, y);
  y += 4;
  const int mid = (box.left + box.right) / 2;
  for (std::size_t i = 2; i < lines.size(); ++i) {
    const int tab = lines[i].Find('\t');
    CRect left(box.left + 4, y, mid, y + row), right(mid, y, box.right - 4, y + row);
    pDC->DrawText(lines[i].Left(tab), &left, DT_CENTER | DT_SINGLELINE);
    pDC->DrawText(lines[i].Mid(tab + 1), &right, DT_CENTER | DT_SINGLELINE);
    y += row;
  }
  pDC->SelectObject(oldFont);
  pDC->SelectObject(oldPen);
  pDC->SelectObject(oldBrush);
}

// ---------------------------------------------------------------------------------------------
// Printing

void CMapView::PrintMap() {
  CPrintDialog dlg(FALSE, PD_NOPAGENUMS | PD_HIDEPRINTTOFILE, this);
  if (dlg.DoModal() != IDOK) return;
  HDC hdc = dlg.GetPrinterDC();
  if (!hdc) return;
  if (!PrintMapTo(CDC::FromHandle(hdc))) AfxMessageBox("The chart could not be printed.", MB_OK | MB_ICONEXCLAMATION);
  ::DeleteDC(hdc);
}

BOOL CMapView::PrintMapTo(CDC* pDC) {
  if (!pDC) return FALSE;
  const double saved[4] = {m_dWest, m_dEast, m_dNorth, m_dSouth};
  const int width = pDC->GetDeviceCaps(HORZRES), height = pDC->GetDeviceCaps(VERTRES);
  const int m = (int)(width * 0.05);
  CRect rc(m, m, width - m, height - m);
  if (pDC->StartDoc("Neapwise") <= 0) return FALSE;
  if (pDC->StartPage() <= 0) {
    pDC->AbortDoc();
    return FALSE;
  }
  if (m_routes.GetRoute()) {
    const int used = PrintRouteTable(pDC, rc);
    rc.top += used;
    if (rc.top > height / 2) {
      pDC->EndPage();
      pDC->StartPage();
      rc.top = m;
    }
  }
  pDC->IntersectClipRect(&rc);
  DeriveSouth(rc.Width(), rc.Height());
  FitToRegion(rc.Width(), rc.Height());
  DrawView(pDC, TRUE, &rc);
  pDC->EndPage();
  pDC->EndDoc();
  m_dWest = saved[0];
  m_dEast = saved[1];
  m_dNorth = saved[2];
  m_dSouth = saved[3];
  return TRUE;
}

int CMapView::PrintRouteTable(CDC* pDC, const CRect& rc) {
  const CMapRoute* route = m_routes.GetRoute();
  if (!route || !pDC) return 0;
  auto font = [&](CFont& f, int tenths, int weight) {
    LOGFONT lf{};
    lf.lfHeight = tenths;
    lf.lfWeight = weight;
    std::strcpy(lf.lfFaceName, "Arial");
    f.CreatePointFontIndirect(&lf, pDC);
  };
  CFont title, head, row;
  font(title, 120, 800);
  font(head, 90, 800);
  font(row, 90, 400);
  CFont* oldFont = pDC->SelectObject(&title);
  const int oldMode = pDC->SetBkMode(TRANSPARENT);
  const UINT oldAlign = pDC->SetTextAlign(TA_LEFT | TA_TOP);
  const int line = (int)(1.4 * pDC->GetTextExtent("Ay").cy);
  const int w = rc.Width();
  const CQsDateTime date = GetSelectedDate();
  CString text;
  text = " - " + AfxFormatUserNumber(route->GetSpeed(), 2) + "kts";
  pDC->TextOut(rc.left, rc.top, "Route: " + route->GetName() + text + date.Format(" - %d %b %Y"));
  int y = rc.top + line;
  const double widths[6] = {0.3, 0.1, 0.15, 0.15, 0.15, 0.15};
  int x[6];
  x[0] = rc.left;
  for (int i = 1; i < 6; ++i) x[i] = x[i - 1] + (int)(widths[i - 1] * w);
  static const char* const kHeads[6] = {"Name", "Time", "Latitude", "Longitude", "Distance to Next", "Bearing to Next"};
  pDC->SelectObject(&head);
  for (int i = 0; i < 6; ++i) pDC->TextOut(x[i], y, kHeads[i]);
  CPen pen(PS_SOLID, 16, RGB(0, 0, 0));
  CPen* oldPen = pDC->SelectObject(&pen);
  const int rule = y + (int)(1.1 * line);
  pDC->MoveTo(rc.left, rule);
  pDC->LineTo(rc.right, rule);
  pDC->SelectObject(oldPen);
  y += (int)(1.4 * line);
  int used = y - rc.top;
  pDC->SelectObject(&row);
  const CRoutePoint* first = route->GetFirstPoint();
  for (const CRoutePoint* p = first; p; p = p->GetNext()) {
    if (y > rc.bottom) {
      pDC->EndPage();
      pDC->StartPage();
      y = rc.top;
      used = 0;
    }
    const CQsDateTime& t = p->GetTime();
    const long long days = (t.ToSeconds() - first->GetTime().ToSeconds()) / 86400;
    if (days >= 1)
      text.Format("%02d:%02d +%dd", t.GetHour(), t.GetMinute(), (int)days);
    else
      text.Format("%02d:%02d", t.GetHour(), t.GetMinute());
    const CPosition pos = p->GetPosition();
    pDC->TextOut(x[0], y, p->GetName());
    pDC->TextOut(x[1], y, text);
    pDC->TextOut(x[2], y, pos.FormatLatitude());
    pDC->TextOut(x[3], y, pos.FormatLongitude());
    if (p->GetNext()) {
      text = AfxFormatUserNumber(p->GetLegDistance(), 2) + "Nm";
      pDC->TextOut(x[4], y, text);
      text = AfxFormatUserNumber(p->GetLegBearing(), 1) + kDegree + "T";
      pDC->TextOut(x[5], y, text);
    }
    const int step = (int)(1.4 * line);
    y += step;
    used += step;
  }
  pDC->SetTextAlign(oldAlign);
  pDC->SetBkMode(oldMode);
  pDC->SelectObject(oldFont);
  return used;
}

// ---------------------------------------------------------------------------------------------
// Zoom and scrolling

void CMapView::ZoomIn() {
  const double s = m_dEast - m_dWest;
  if (s - 2 * s / 8 <= 0.3) return;
  const double v = m_dNorth - m_dSouth;
  m_dWest += s / 8;
  m_dEast -= s / 8;
  m_dNorth -= v / 8;
  m_dSouth += v / 8;
  AfterViewChange(TRUE);
}

void CMapView::ZoomOut() {
  const double s = m_dEast - m_dWest, v = m_dNorth - m_dSouth;
  m_dWest -= s / 8;
  m_dEast += s / 8;
  m_dNorth += v / 8;
  m_dSouth -= v / 8;
  AfterViewChange(TRUE);
}

void CMapView::UpdateScrollBars() {
  if (!m_hWnd) return;
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_RANGE | SIF_POS | SIF_DISABLENOSCROLL;
  if (m_dLimE - m_dLimW <= m_dEast - m_dWest) {
    si.nMin = si.nMax = si.nPos = 0;
  } else {
    si.nMin = 18000 + (int)(100 * m_dLimW);
    si.nMax = (int)(100 * m_dLimE) - (int)(100 * (m_dEast - m_dWest)) + 18000;
    si.nPos = 18000 + (int)(100 * m_dWest);
  }
  SetScrollInfo(SB_HORZ, &si, TRUE);
  if (m_dLimN - m_dLimS <= m_dNorth - m_dSouth) {
    si.nMin = si.nMax = si.nPos = 0;
  } else {
    si.nMin = (int)(100 * m_dLimS) + (int)(100 * (m_dNorth - m_dSouth)) + 9000;
    si.nMax = 9000 + (int)(100 * m_dLimN);
    si.nPos = si.nMin + si.nMax - ((int)(100 * m_dNorth) + 9000);
  }
  SetScrollInfo(SB_VERT, &si, TRUE);
}

void CMapView::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar*) {
  const double span = m_dEast - m_dWest;
  if (m_dLimE - m_dLimW <= span) return;
  const int line = (int)(100 * span) / 14, page = (int)(100 * span) / 8;
  const int lo = 18000 + (int)(100 * m_dLimW), hi = (int)(100 * m_dLimE) - (int)(100 * span) + 18000;
  double p = 18000 + 100 * m_dWest;
  switch (nSBCode) {
    case SB_LINELEFT: p = std::max<double>(p - line, lo); break;
    case SB_PAGELEFT: p = std::max<double>(p - page, lo); break;
    case SB_LINERIGHT: p = std::min<double>(p + line, hi); break;
    case SB_PAGERIGHT: p = std::min<double>(p + page, hi); break;
    case SB_THUMBPOSITION: p = (int)nPos; break;
    default: return;
  }
  m_dWest = (p - 18000) / 100;
  m_dEast = m_dWest + span;
  SetScrollPos(SB_HORZ, (int)std::lround(p));  // rounded as the vertical thumb: no hundredth lost
  m_bLayersDirty = 1;
  RecalculateStreams();
  RedrawNow();
}

void CMapView::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar*) {
  const double span = m_dNorth - m_dSouth;
  if (m_dLimN - m_dLimS <= span) return;
  const int line = (int)(100 * span) / 14, page = (int)(100 * span) / 8;
  const int lo = (int)(100 * m_dLimS) + (int)(100 * span) + 9000, hi = 9000 + (int)(100 * m_dLimN);
  double q = 100 * m_dNorth + 9000;
  switch (nSBCode) {
    case SB_LINEUP: q = std::min<double>(q + line, hi); break;
    case SB_PAGEUP: q = std::min<double>(q + page, hi); break;
    case SB_LINEDOWN: q = std::max<double>(q - line, lo); break;
    case SB_PAGEDOWN: q = std::max<double>(q - page, lo); break;
    case SB_THUMBPOSITION: q = lo + hi - (int)nPos; break;
    default: return;
  }
  m_dNorth = (q - 9000) / 100;
  m_dSouth = m_dNorth - span;
  SetScrollPos(SB_VERT, lo + hi - (int)std::lround(q));
  m_bLayersDirty = 1;
  RecalculateStreams();
  RedrawNow();
}

BOOL CMapView::OnMouseWheel(UINT, short zDelta, CPoint) {
  OnVScroll(zDelta > 0 ? SB_PAGEUP : SB_PAGEDOWN, 0, nullptr);
  return TRUE;
}

void CMapView::OnSize(UINT nType, int cx, int cy) {
  CWnd::OnSize(nType, cx, cy);
  DeriveSouth(cx, cy);
  m_bLayersDirty = 1;
  FitToRegion(cx, cy);
  if (IsWindowVisible()) RecalculateStreams();
  UpdateScrollBars();
}

BOOL CMapView::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
  if (m_nMouseMode == 2 && nHitTest == HTCLIENT) {
    if (HCURSOR c = ::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(kZoomCursor))) {
      ::SetCursor(c);
      return TRUE;
    }
  }
  return CWnd::OnSetCursor(pWnd, nHitTest, message);
}

// ---------------------------------------------------------------------------------------------
// Mouse

void CMapView::Capture() {
  SetCapture();
  m_bCaptured = 1;
}

void CMapView::ReleaseCapture() {
  if (m_bCaptured) ::ReleaseCapture();
  m_bCaptured = 0;
}

int CMapView::PortAt(CPoint pt, BOOL bDrawnOnly) {
  const int half = GetPortMarkerHalfSize();
  if (bDrawnOnly) {
    for (const DRAWN_PORT& p : m_drawnPorts)
      if (std::abs(pt.x - p.pt.x) <= half && std::abs(pt.y - p.pt.y) <= half) return p.index;
    return -1;
  }
  CPortDB* db = m_pHost ? m_pHost->GetPortDB() : nullptr;
  for (int i = 0; db && i < db->GetCount(); ++i) {
    const CPortData* port = db->GetPort(i);
    if (!IsInsideViewAndLimits(port->GetLatitude(), port->GetLongitude())) continue;
    CPoint at;
    LatLonToClient(port->GetLatitude(), port->GetLongitude(), at);
    if (std::abs(pt.x - at.x) <= half && std::abs(pt.y - at.y) <= half) return i;
  }
  return -1;
}

void CMapView::OnLButtonDown(UINT, CPoint point) {
  if (m_nMouseMode == 0 && m_routes.GetRoute()) {
    if (CRoutePoint* p = RoutePointAt(point, 4, TRUE)) {
      m_pPressedPoint = p;
      m_ptPressed = point;
      m_nDragState = 1;
      return;
    }
    BOOL cleared = FALSE;
    {
      CDMLockHold write(m_routes.GetWriteLock());
      cleared = m_routes.GetRoute()->ClearSelection();
    }
    if (cleared) RedrawRoutes();
  }
  if (m_nMouseMode == 0) {
    m_nDragState = 4;
    m_ptMeasureStart = point;
    m_bMeasureDrawn = 0;
    Capture();
  } else if (m_nMouseMode == 2) {
    m_ptAnchor = m_ptCorner = point;
    m_bBandDrawn = 0;
    m_nDragState = 3;
    Capture();
  }
}

void CMapView::OnMouseMove(UINT nFlags, CPoint point) {
  if (m_nMouseMode == 0 && (m_nDragState == 1 || m_nDragState == 2) && m_pPressedPoint) {
    m_routes.AbortDrift();
    CDMLockHold write(m_routes.GetWriteLock());
    if (m_nDragState == 1) {
      if (!(nFlags & MK_SHIFT)) m_pPressedPoint->GetRoute()->ClearSelection();
      m_pPressedPoint->SetFlag(1);
      m_nDragState = 2;
      Capture();
    }
    MoveSelectedPoints(point);
    m_bOverlayDirty = 1;
    // The old track no longer fits the moved waypoints: it is left out until recomputed.
    CClientDC dc(this);
    DrawView(&dc, FALSE);
  } else if (m_nMouseMode == 0 && m_nDragState == 0) {
    const int port = PortAt(point, TRUE);
    if (port >= 0) {
      if (port != m_nHoveredPort) {
        m_bInfoRequest = 1;
        KillTimer(kInfoTimer);
        m_nInfoTimer = SetTimer(kInfoTimer, kInfoDelay);
        // A box already shown for another port goes until this one's is ready.
        if (m_nHoveredPort >= 0) m_bInfoDirty = 1;
        m_nHoveredPort = port;
        if (m_bInfoDirty) RedrawNow();
      }
    } else {
      KillTimer(kInfoTimer);
      KillTimer(kStreamTimer);
      m_nInfoTimer = 0;
      m_nStreamTimer = SetTimer(kStreamTimer, kStreamDelay);
      if (m_nHoveredPort >= 0) {
        m_nHoveredPort = -1;
        m_bInfoDirty = 1;
        RedrawNow();
      }
    }
    double lat, lon;
    ClientToLatLon(point, lat, lon);
    m_cursorPosition.SetDecimal(lat, lon);
    if (m_pHost) m_pHost->ShowMapStatus(&m_cursorPosition, FALSE);
  } else if (m_nMouseMode == 0 && m_nDragState == 4) {
    DrawMeasure(point);
  } else if (m_nMouseMode == 2 && m_nDragState == 3) {
    DrawRubberBand(point);
  }
  m_ptLast = point;
}

void CMapView::DrawMeasure(CPoint to) {
  CClientDC dc(this);
  DrawView(&dc, TRUE);  // the composition, without the last line
  CPen pen(PS_SOLID, 3, RGB(128, 128, 128));
  CBrush brush(RGB(128, 128, 128));
  CPen* oldPen = dc.SelectObject(&pen);
  CBrush* oldBrush = dc.SelectObject(&brush);
  dc.MoveTo(m_ptMeasureStart);
  dc.LineTo(to);
  const double a = std::atan2((double)(to.y - m_ptMeasureStart.y), (double)(to.x - m_ptMeasureStart.x));
  const double side = 0.85 * M_PI;
  const POINT head[3] = {{to.x, to.y},
                         {to.x + (int)(8 * std::cos(a + side)), to.y + (int)(8 * std::sin(a + side))},
                         {to.x + (int)(8 * std::cos(a - side)), to.y + (int)(8 * std::sin(a - side))}};
  CPen thin(PS_SOLID, 1, RGB(128, 128, 128));
  dc.SelectObject(&thin);
  dc.Polygon(head, 3);
  double lat0, lon0, lat1, lon1;
  ClientToLatLon(m_ptMeasureStart, lat0, lon0);
  ClientToLatLon(to, lat1, lon1);
  const CPosition from(lat0, lon0), at(lat1, lon1);
  const double b = RhumbLineBearing(from, at);
  CString label;
  label = AfxFormatUserNumber(GreatCircleDistance(from, at), 2) + "Nm  " + AfxFormatUserNumber(b, 1) + kDegree;
  CFont* oldFont = dc.SelectObject(&Font(kFontMeasure));
  dc.SetBkMode(TRANSPARENT);
  const CSize sz = dc.GetTextExtent(label);
  const double w = sz.cx, h = sz.cy, c = std::cos(b * kDegToRad), s = std::sin(b * kDegToRad);
  CPoint p(to);
  if (b >= 0 && b < 90)
    p = CPoint(to.x - (int)(c * w / 2), to.y + (int)(-h / 2 - c * h / 2));
  else if (b >= 90 && b < 180)
    p = CPoint(to.x + (int)(c * w / 2), to.y + (int)(-s * h / 2));
  else if (b >= 180 && b < 270)
    p = CPoint(to.x + (int)(s * w / 2 - w / 2), to.y + (int)(s * h / 2));
  else if (b >= 270 && b < 360)
    p = CPoint(to.x + (int)(s * w / 2 - w / 2), to.y + (int)(-c * h / 2 - h / 2));
  dc.SetTextColor(RGB(255, 255, 255));
  dc.TextOut(p.x, p.y, label);
  dc.SetTextColor(RGB(0, 0, 0));
  dc.TextOut(p.x - 1, p.y - 1, label);
  dc.SelectObject(oldFont);
  dc.SelectObject(oldBrush);
  dc.SelectObject(oldPen);
  m_bMeasureDrawn = 1;
}

void CMapView::DrawRubberBand(CPoint to) {
  // In XOR a box drawn twice is gone: the last one is drawn again, then the new one.
  CClientDC dc(this);
  CPen pen(PS_SOLID, 3, RGB(255, 255, 255));
  CPen* oldPen = dc.SelectObject(&pen);
  CGdiObject* oldBrush = dc.SelectStockObject(NULL_BRUSH);
  const int oldRop = dc.SetROP2(R2_XORPEN);
  if (m_bBandDrawn) dc.Rectangle(&m_rcBand);
  m_ptCorner = to;
  m_rcBand = CRect(m_ptAnchor, to);
  m_rcBand.NormalizeRect();
  dc.Rectangle(&m_rcBand);
  m_bBandDrawn = 1;
  dc.SetROP2(oldRop);
  dc.SelectObject(oldBrush);
  dc.SelectObject(oldPen);
}

void CMapView::EraseRubberBand() {
  if (!m_bBandDrawn) return;
  CClientDC dc(this);
  CPen pen(PS_SOLID, 3, RGB(255, 255, 255));
  CPen* oldPen = dc.SelectObject(&pen);
  CGdiObject* oldBrush = dc.SelectStockObject(NULL_BRUSH);
  const int oldRop = dc.SetROP2(R2_XORPEN);
  dc.Rectangle(&m_rcBand);
  dc.SetROP2(oldRop);
  dc.SelectObject(oldBrush);
  dc.SelectObject(oldPen);
  m_bBandDrawn = 0;
}

void CMapView::OnLButtonUp(UINT nFlags, CPoint point) {
  ReleaseCapture();
  if (m_nMouseMode == 0 && m_pPressedPoint && (m_nDragState == 1 || m_nDragState == 2)) {
    CRoutePoint* pressed = m_pPressedPoint;
    CMapRoute* route = pressed->GetRoute();
    if (m_nDragState == 2) {
      m_routes.AbortDrift();
      {
        CDMLockHold write(m_routes.GetWriteLock());
        MoveSelectedPoints(point);
        m_bOverlayDirty = 1;
      }
      ROUTE_TRACK_NODE* old = nullptr;
      {
        CDMLockHold drift(m_routes.GetDriftLock());
        old = route->SwapTrack(nullptr);
      }
      m_routes.RecomputeRoute();
      CMapRoute::FreeTrackNodes(old);
      if (IRouteList* list = m_routes.GetRouteList()) {
        list->RefreshRoute(route);
        list->RoutesChanged();
      }
    } else {
      CDMLockHold write(m_routes.GetWriteLock());
      if (!(nFlags & MK_SHIFT)) route->ClearSelection();
      pressed->ToggleFlag();
      m_bOverlayDirty = 1;
    }
    m_pPressedPoint = nullptr;
    m_nDragState = 0;
    RedrawNow();
    return;
  }
  m_pPressedPoint = nullptr;
  if (m_nMouseMode == 2 && m_nDragState == 3) {
    m_nDragState = 0;
    EraseRubberBand();
    CRect box(m_ptAnchor, point);
    box.NormalizeRect();
    ZoomToBox(box);
    m_nMouseMode = 0;
  } else if (m_nMouseMode == 0 && m_nDragState == 4) {
    if (m_bMeasureDrawn) {
      m_bMeasureDrawn = 0;
      m_bOverlayDirty = 1;
      RedrawNow();
    }
  }
  m_nDragState = 0;
}

void CMapView::ZoomToBox(CRect box) {
  double north, west, lat, east;
  ClientToLatLon(CPoint(box.left, box.top), north, west);
  ClientToLatLon(CPoint(box.right, box.top), lat, east);
  m_dWest = west;
  m_dEast = east;
  m_dNorth = north;
  if (m_dEast - m_dWest <= 0.3) {
    const double grow = (1 - (m_dEast - m_dWest)) / 2;
    m_dWest -= grow;
    m_dEast += grow;
  }
  CRect rc;
  GetClientRect(&rc);
  DeriveSouth(rc.Width(), rc.Height());
  FitToRegion(rc.Width(), rc.Height());
  // The worker is told to stop before its run lock is waited for (taking the lock first would
  // wait for a whole run); the start drops the old grid under "tdlock" then "tdstream".
  m_routes.AbortDrift();
  m_bLayersDirty = 1;
  UpdateScrollBars();
  m_streams.StartStreamWorker();
  RedrawNow();
}

void CMapView::OnLButtonDblClk(UINT, CPoint point) {
  if (m_nMouseMode == 0) {
    const int port = PortAt(point, FALSE);
    if (port < 0 || !m_pHost) return;
    m_pHost->SelectPort(port);
    m_pHost->ShowGraphPage();
    m_pHost->CalculateGraph();
  }
  if (m_nMouseMode == 1) {
    double lat, lon;
    ClientToLatLon(point, lat, lon);
    // A new route is made current (and given to the tree) when none is.
    m_routes.AddPointAt(lat, lon);
  }
}

void CMapView::OnContextMenu(CWnd*, CPoint pos) {
  if ((m_nMouseMode != 0 && m_nMouseMode != 1) || !m_routes.GetRoute()) return;
  CPoint pt = pos;
  ScreenToClient(&pt);
  CRoutePoint* p = RoutePointAt(pt, 4, FALSE);
  if (!p) return;
  m_routes.SetContextPoint(p);
  if (IRouteList* list = m_routes.GetRouteList()) {
    list->SelectPointItem(p);
    list->ShowPointMenu(p, pos);
  }
}

LRESULT CMapView::OnRouteTrackReady(WPARAM, LPARAM) {
  RedrawRoutes();
  return 0;
}

CString CMapView::RoutePointTipAt(CPoint pt, CRect& rTool) {
  CRoutePoint* p = RoutePointAt(pt, GetPortMarkerHalfSize(), FALSE);
  if (!p) return CString();
  CPoint at;
  LatLonToClient(p->GetLatitude(), p->GetLongitude(), at);
  rTool = CRect(at.x - 3, at.y - 3, at.x + 3, at.y + 3);
  const CPosition pos = p->GetPosition();
  return p->GetName() + " (" + pos.FormatLatitude() + ", " + pos.FormatLongitude() + ")";
}

void CMapView::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent == kInfoTimer) {
    KillTimer(kInfoTimer);
    m_nInfoTimer = 0;
    if (!m_bMeasureDrawn && m_nHoveredPort >= 0) InfoPrediction();
    m_bInfoDirty = 1;
    RedrawNow();
  } else if (nIDEvent == kStreamTimer) {
    KillTimer(kStreamTimer);
    m_nStreamTimer = 0;
    if (!m_pHost) return;
    const CQsDateTime date = m_pHost->GetSelectedDate();
    const CQsDateTime st = m_streams.GetStreamTime();
    CQsDateTime t(date.GetYear(), date.GetMonth(), date.GetDay(), st.GetHour(), st.GetMinute(), 0);
    t.AddMinutes(-GetZoneOffsetMinutes());
    const TIDAL_STREAM s = CalcStreamAt(m_cursorPosition, t);
    m_pHost->ShowStreamInStatusBar(MetresPerSecondToKnots(s.rate), s.direction);
  } else {
    CWnd::OnTimer(nIDEvent);
  }
}

// ---------------------------------------------------------------------------------------------
// Tooltips

CString CMapView::DiamondTipAt(CPoint pt, CRect& rTool) {
  CRect rc;
  GetClientRect(&rc);
  CString tip;
  m_streams.GetWorker().ReadDiamonds(
      [&](const std::vector<DIAMOND_ON_MAP>& diamonds) { tip = DiamondTipIn(diamonds, pt, rc, rTool); });
  return tip;
}

CString CMapView::DiamondTipIn(const std::vector<DIAMOND_ON_MAP>& diamonds, CPoint pt, const CRect& rc, CRect& rTool) {
  for (const DIAMOND_ON_MAP& d : diamonds) {
    if (!IsInsideViewAndLimits(d.latitude, d.longitude)) continue;
    CPoint from, to;
    LatLonToPoint(d.latitude, d.longitude, rc, from);
    int w;
    ArrowFor(d.speed, d.speed, d.direction, 0.72, from, to, w);
    CRect span(from, to);
    span.NormalizeRect();
    if (span.Width() < 4) span.InflateRect(2, 0);
    if (span.Height() < 4) span.InflateRect(0, 2);
    if (!span.PtInRect(pt) && !(pt.x == span.right || pt.y == span.bottom)) continue;
    rTool = CRect(from.x - 4, from.y - 4, from.x + 4, from.y + 4);
    CString text;
    text = AfxFormatUserNumber(MetresPerSecondToKnots(d.speed), 2) + "Kts  " + AfxFormatUserNumber(d.direction, 1) +
           kDegree;
    return text;
  }
  return CString();
}

BOOL CMapView::PreTranslateMessage(MSG* pMsg) {
  if (pMsg && pMsg->hwnd == m_hWnd && m_toolTip.GetSafeHwnd() && pMsg->message >= WM_MOUSEFIRST &&
      pMsg->message <= WM_MOUSELAST && pMsg->message != WM_MOUSEWHEEL) {
    if (pMsg->message == WM_MOUSEMOVE) {
      const CPoint pt(GET_X_LPARAM(pMsg->lParam), GET_Y_LPARAM(pMsg->lParam));
      CString text;
      CRect tool;
      if (m_nMouseMode == 0 && m_nDragState == 0) {
        if (m_routes.GetRoute()) text = RoutePointTipAt(pt, tool);
        if (text.IsEmpty() && AreDiamondsShown()) text = DiamondTipAt(pt, tool);
      } else if (m_nMouseMode == 1) {
        tool = CRect(pt.x - 3, pt.y - 3, pt.x + 3, pt.y + 3);
        text = m_routes.GetRoute() ? "Double click to add a point\nto the end of the route"
                                   : "Double click to create a new route";
      }
      if (!text.IsEmpty()) {
        m_toolTip.SetToolRect(this, kTooltipId, &tool);
        if (text != m_strTip) m_toolTip.UpdateTipText(text, this, kTooltipId);
        m_strTip = text;
        m_toolTip.RelayEvent(pMsg);
      }
    } else {
      m_toolTip.RelayEvent(pMsg);
    }
  }
  return CWnd::PreTranslateMessage(pMsg);
}

CString CMapView::GetTooltipText() const {
  CString text;
  if (m_toolTip.GetSafeHwnd()) m_toolTip.GetText(text, const_cast<CMapView*>(this), kTooltipId);
  return text;
}

CRect CMapView::GetTooltipRect() const {
  CToolInfo info;
  if (!m_toolTip.GetSafeHwnd() || !m_toolTip.GetToolInfo(info, const_cast<CMapView*>(this), kTooltipId)) return CRect();
  return CRect(info.rect);
}

// ---------------------------------------------------------------------------------------------
// Streams and diamonds

int CMapView::GetZoneOffsetMinutes() const {
  if (!m_pHost) return 0;
  const BOOL automatic = m_pHost->IsAutoTimeZone();
  return ZoneOffsetMinutes(automatic, automatic && IsSummerTimeAt(m_pHost->GetSelectedDate(), 0),
                           m_pHost->GetChosenTimeZone());
}

void CMapView::SetDate(const CQsDateTime& date) {
  m_date = date;
  if (!m_hWnd) return;
  m_streams.SetDate(date);
}

LRESULT CMapView::OnStreamsReadyMessage(WPARAM, LPARAM) {
  OnStreamsReady();
  return 0;
}

void CMapView::OnStreamsReady() { m_streams.OnStreamsReady(); }

void CMapView::WaitForStreams() {
  m_streams.GetWorker().Wait();
  // The posted notice may follow; taking the picture in twice costs only a redraw.
  OnStreamsReady();
}

BOOL CMapView::HasGrid() {
  BOOL has = FALSE;
  m_streams.GetWorker().ReadGrid([&](const CTidalStreamGrid* grid) { has = grid != nullptr; });
  return has;
}

std::vector<DIAMOND_ON_MAP> CMapView::GetDiamondList() {
  std::vector<DIAMOND_ON_MAP> list;
  if (!HasStreams(m_nRegion)) return list;
  m_streams.GetWorker().ReadDiamonds([&](const std::vector<DIAMOND_ON_MAP>& diamonds) { list = diamonds; });
  return list;
}

BOOL CMapView::IsVisible() const { return m_hWnd && IsWindowVisible(); }

void CMapView::GetClientSize(int& width, int& height) const {
  CRect rc;
  if (m_hWnd) GetClientRect(&rc);
  width = rc.Width();
  height = rc.Height();
}

void CMapView::GetExtents(double& west, double& east, double& north, double& south) const {
  west = m_dWest, east = m_dEast, north = m_dNorth, south = m_dSouth;
}

std::function<bool(double, double)> CMapView::MakeVisibleTest() const {
  const double w = m_dWest, e = m_dEast, n = m_dNorth, s = m_dSouth;
  const double lw = m_dLimW, le = m_dLimE, ln = m_dLimN, ls = m_dLimS;
  return [=](double lat, double lon) {
    return lon >= w && lon <= e && lat >= s && lat <= n && lon >= lw && lon <= le && lat >= ls && lat <= ln;
  };
}

CQsDateTime CMapView::GetSelectedDate() const { return m_pHost ? m_pHost->GetSelectedDate() : m_date; }

const CDiamondDB* CMapView::GetDiamondDB() const {
  const CDiamondDB* db = m_pHost ? m_pHost->GetMapDiamondDB() : nullptr;
  return db && db->IsLoaded() ? db : nullptr;
}

CPortDB* CMapView::GetPortDB() const { return m_pHost ? m_pHost->GetPortDB() : nullptr; }

const CAngleFactorDB* CMapView::GetAngleFactorDB() const { return m_pHost ? m_pHost->GetAngleFactorDB() : nullptr; }

void CMapView::InvalidateLayers() {
  m_bLayersDirty = 1;
  // A drag draws over the window (the zoom box in XOR): the new picture waits for the next
  // move or the release, which redraw anyway.
  if (m_hWnd && IsWindowVisible() && m_nDragState == 0) RedrawNow();
}

void CMapView::ReportProblem(const CString& strText) { AfxMessageBox(strText, MB_OK | MB_ICONEXCLAMATION); }

// ---------------------------------------------------------------------------------------------
// Vessel

void CMapView::SetVesselPosition(double dLatitude, double dLongitude, double dCourse, double dSpeed) {
  m_dVesselLat = dLatitude;
  m_dVesselLon = dLongitude;
  m_dVesselCourse = dCourse;
  m_dVesselSpeed = dSpeed;
  if (m_pHost) m_pHost->OnVesselPositionChanged(dLatitude, dLongitude, dCourse, dSpeed);
  if (m_nDragState != 0) return;
  const DWORD now = ::GetTickCount();
  CPoint pt;
  if (m_hWnd) LatLonToClient(dLatitude, dLongitude, pt);
  const BOOL moved =
      (pt.x != m_ptVessel.x || pt.y != m_ptVessel.y) && (now - m_dwVesselTick > 2000 || now < m_dwVesselTick);
  const BOOL first = !m_bHasVessel;
  m_bHasVessel = 1;
  m_bVesselFresh = 1;
  if (first || moved) {
    m_dwVesselTick = now;
    m_bOverlayDirty = 1;
    RedrawNow();
  }
}

// A screen reader reads the chart by what it shows.
LRESULT CMapView::OnGetObject(WPARAM wParam, LPARAM lParam) {
  if ((LONG)lParam != OBJID_AFXQUERY || !wParam) return Default();
  auto* q = (AFXACCQUERY*)wParam;
  if (q->nAsk != AFXACC_DESCRIBE || q->nChild != CHILDID_SELF) return FALSE;
  static const struct {
    int region;
    const char* name;
  } kNames[] = {{kRegionUK, "Chart of the British Isles"},
                {kRegionUSEast, "Chart of the US east coast"},
                {kRegionEurope, "Chart of Europe"},
                {kRegionAustralia, "Chart of Australia"}};
  q->info.nRole = ROLE_SYSTEM_GRAPHIC;
  q->info.strName = "Chart";
  for (const auto& n : kNames)
    if (n.region == m_nRegion) q->info.strName = n.name;
  return TRUE;
}
