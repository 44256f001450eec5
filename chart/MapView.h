// The chart page: the coastline of one of four regions with the ports of the port table, the
// tidal diamonds' arrows and the stream grid (in the UK and Ireland and Europe regions), the
// GPS vessel mark and the information box of the port under the mouse. It zooms, scrolls,
// measures distances and bearings, zooms to a dragged box and keeps each region's extents in
// the "Map" settings.
//
// The land, ports, diamonds and stream grid are drawn into a background picture that is only
// rebuilt when the view moves or its data change; the vessel and the information box are drawn
// over a copy of it.
#pragma once

#include "chart/ChartStreams.h"
#include "chart/Coastline.h"
#include "chart/DiamondOnMap.h"
#include "chart/MapHost.h"
#include "model/Position.h"
#include "model/Prediction.h"
#include "model/QsDateTime.h"
#include "model/TidalStreamGrid.h"
#include "platform/ui/AfxWin.h"
#include "resources/ResourceIds.h"

#include <map>
#include <memory>
#include <vector>

class CDiamondDB;
class CDiamondData;

class CMapView : public CWnd, public IChartStreamsHost, public IChartRoutesHost {
  DECLARE_DYNAMIC(CMapView)
  DECLARE_MESSAGE_MAP()
 public:
  // Region bits.
  enum { kRegionUK = 1, kRegionUSEast = 2, kRegionEurope = 4, kRegionAustralia = 8 };
  static constexpr UINT kTooltipId = 189;
  static constexpr UINT_PTR kInfoTimer = 1, kStreamTimer = 2;
  static constexpr UINT kInfoDelay = 1000, kStreamDelay = 500;
  static constexpr int kCellSize = 50;
  static constexpr UINT kZoomCursor = IDC_ZOOM_BOX;

  CMapView();
  ~CMapView() override;

  void SetHost(IMapHost* pHost) { m_pHost = pHost; }
  BOOL Create(CWnd* pParent, const RECT& rect, UINT nID);

  // ---- Regions and extents ----
  // Reads the region's coastline and takes its limits and saved extents. FALSE when the file
  // is missing or damaged (the user is told why, once, unless the file is simply absent).
  BOOL LoadRegion(int nRegion);
  // Takes the region's limits and saved extents; its coastline is read when first needed.
  BOOL TakeRegion(int nRegion);
  void SaveViewExtents();
  void SetRegion(int nRegion);
  int GetRegion() const override { return m_nRegion; }
  // The region whose coastline was read (0 for none), reading it first if it waits.
  int GetLoadedRegion();
  const CCoastline& GetCoastline();
  double GetWest() const { return m_dWest; }
  double GetEast() const { return m_dEast; }
  double GetNorth() const { return m_dNorth; }
  double GetSouth() const { return m_dSouth; }
  void SetExtents(double w, double e, double n, double s);
  double GetLimWest() const { return m_dLimW; }
  double GetLimEast() const { return m_dLimE; }
  double GetLimNorth() const { return m_dLimN; }
  double GetLimSouth() const { return m_dLimS; }
  // The settings entries of a region's extents (west, east, north, south); null for a bit that
  // is not a region.
  static const char* const* ExtentKeys(int nRegion);
  // The coastline file of a region in the data folder.
  static CString RegionFile(int nRegion);
  // Whether streams, diamonds and drift exist in the region.
  static BOOL HasStreams(int nRegion) { return nRegion == kRegionUK || nRegion == kRegionEurope; }

  // ---- Options ----
  void SetShowDiamonds(BOOL bShow);
  void SetShowStreamGrid(BOOL bShow);
  BOOL AreDiamondsShown() const { return HasStreams(m_nRegion) ? m_bShowDiamonds : FALSE; }
  BOOL GetShowDiamonds() const { return m_bShowDiamonds; }
  BOOL GetShowStreamGrid() const { return m_bShowStreams; }

  // ---- Projection ----
  // Into a rectangle; TRUE when the point lies within the extents.
  BOOL LatLonToPoint(double lat, double lon, const CRect& rc, CPoint& pt) const;
  BOOL LatLonToClient(double lat, double lon, CPoint& pt) const;
  void ClientToLatLon(CPoint pt, double& lat, double& lon) const;
  BOOL IsInsideViewAndLimits(double lat, double lon) const;
  // S from N and the span so that a degree of latitude is drawn 1.25 times a degree of longitude.
  void DeriveSouth(int nWidth, int nHeight);
  void FitToRegion(int nWidth, int nHeight);
  int GetDetailLevel() const override;
  int GetPortMarkerHalfSize() const { return m_dEast - m_dWest < 4 ? 8 : 5; }

  // ---- Drawing ----
  // Draws the chart into pDC: the client area through the two pictures, or, with pPrintRect,
  // straight into that rectangle of a printer page.
  void DrawView(CDC* pDC, BOOL bTrack, const CRect* pPrintRect = nullptr);
  void RedrawNow();
  void MarkLayersDirty() { m_bLayersDirty = 1; }
  void RedrawRoutes() override;
  // Prints the chart on a page of the printer the user picks.
  void PrintMap();
  // Prints onto a printer DC the caller made; FALSE when the printer refused.
  BOOL PrintMapTo(CDC* pDC);
  // Prints the current route's table from rc's top; the height it took (rows past the bottom
  // go on new pages, from rc's top).
  int PrintRouteTable(CDC* pDC, const CRect& rc);
  // The ports drawn in the last screen pass, in drawing order, and their pixels.
  struct DRAWN_PORT {
    int index;
    CPoint pt;
  };
  const std::vector<DRAWN_PORT>& GetDrawnPorts() const { return m_drawnPorts; }

  // ---- Zoom and scrolling ----
  void ZoomIn();
  void ZoomOut();
  void UpdateScrollBars();
  void SetMouseMode(int nMode) { m_nMouseMode = nMode; }
  int GetMouseMode() const { return m_nMouseMode; }

  // ---- Hover, information box and tooltips ----
  // The port under the mouse (index into the port table), -1 when none.
  int GetHoveredPort() const { return m_nHoveredPort; }
  // The information box's lines: the name, the date and zone, then "time<TAB>height" per
  // high or low water. Empty when no port is hovered.
  std::vector<CString> GetPortInfoLines();
  CToolTipCtrl& GetToolTip() { return m_toolTip; }
  CString GetTooltipText() const;
  CRect GetTooltipRect() const;

  // ---- Streams and diamonds ----
  void SetStreamTime(const CQsDateTime& time) { m_streams.SetStreamTime(time); }
  CQsDateTime GetStreamTime() const { return m_streams.GetStreamTime(); }
  void SetDate(const CQsDateTime& date);
  void OnDateChanged(const CQsDateTime& date) { SetDate(date); }
  void RecalculateStreams() { m_streams.RecalculateStreams(); }
  void StartStreamWorker() { m_streams.StartStreamWorker(); }
  int GetZoneOffsetMinutes() const override;
  BOOL HasGrid();
  // A copy of the diamond arrows shown (none outside the stream regions).
  std::vector<DIAMOND_ON_MAP> GetDiamondList();
  // Waits for a running stream worker and takes in its picture (tests and printing).
  void WaitForStreams();
  CChartStreams& GetStreams() { return m_streams; }
  void OnStreamsReady();

  // ---- Routes ----
  CChartRoutes& GetChartRoutes() { return m_routes; }
  CRoutePoint* GetPressedPoint() const { return m_pPressedPoint; }
  // The waypoint of the current route whose square of the half-size holds the point; the
  // first or the last one, null when none.
  CRoutePoint* RoutePointAt(CPoint pt, int nHalf, BOOL bLast);

  // ---- What the stream and route sides ask of the view ----
  BOOL IsVisible() const override;
  void GetClientSize(int& width, int& height) const override;
  void GetExtents(double& west, double& east, double& north, double& south) const override;
  std::function<bool(double latitude, double longitude)> MakeVisibleTest() const override;
  CQsDateTime GetSelectedDate() const override;
  BOOL IsDiamondsOptionOn() const override { return m_bShowDiamonds; }
  const CDiamondDB* GetDiamondDB() const override;
  CPortDB* GetPortDB() const override;
  const CAngleFactorDB* GetAngleFactorDB() const override;
  HWND GetStreamsNotifyWindow() const override { return m_hWnd; }
  void InvalidateLayers() override;
  void ReportProblem(const CString& strText) override;
  HWND GetTrackNotifyWindow() const override { return m_hWnd; }

  // ---- Vessel ----
  void SetVesselPosition(double dLatitude, double dLongitude, double dCourse, double dSpeed);
  void MarkPositionStale() { m_bVesselFresh = FALSE; }
  void MarkVesselStale() { MarkPositionStale(); }
  BOOL HasVesselPosition() const { return m_bHasVessel; }
  void GetVesselPosition(double& dLatitude, double& dLongitude, double& dCourse, double& dSpeed) const {
    dLatitude = m_dVesselLat, dLongitude = m_dVesselLon, dCourse = m_dVesselCourse, dSpeed = m_dVesselSpeed;
  }
  BOOL IsVesselFresh() const { return m_bVesselFresh; }
  CPoint GetVesselPixel() const { return m_ptVessel; }

  BOOL PreTranslateMessage(MSG* pMsg) override;

  int OnCreate(LPCREATESTRUCT lpcs);
  void OnDestroy();
  void OnPaint();
  // What a screen reader reads of the page (ViewAccessible.cpp).
  LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
  BOOL OnEraseBkgnd(CDC*) { return TRUE; }
  void OnSize(UINT nType, int cx, int cy);
  void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
  void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
  BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
  BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  void OnLButtonDown(UINT nFlags, CPoint point);
  void OnLButtonUp(UINT nFlags, CPoint point);
  void OnMouseMove(UINT nFlags, CPoint point);
  void OnLButtonDblClk(UINT nFlags, CPoint point);
  void OnTimer(UINT_PTR nIDEvent);
  LRESULT OnStreamsReadyMessage(WPARAM, LPARAM);
  LRESULT OnRouteTrackReady(WPARAM, LPARAM);
  void OnContextMenu(CWnd* pWnd, CPoint pos);

 private:
  struct RegionInfo;
  static const RegionInfo* FindRegion(int nRegion);
  void ApplyRegionExtents(const RegionInfo& info);
  void AfterViewChange(BOOL bStreams);
  void DrawSea(CDC* pDC, const CRect& rc);
  void DrawLand(CDC* pDC, const CRect& rc, BOOL bPrinting);
  // Reads the taken region's coastline if it waits; a damaged file is told of now or, while
  // drawing, once the drawing is done.
  BOOL ReadCoastline(BOOL bTellLater);
  void DrawOutsideLimits(CDC* pDC, const CRect& rc);
  void DrawPorts(CDC* pDC, const CRect& rc, BOOL bPrinting);
  void DrawDiamonds(CDC* pDC, const CRect& rc);
  void DrawStreamGrid(CDC* pDC, const CRect& rc);
  void DrawRoutes(CDC* pDC, const CRect& rc, BOOL bTrack, BOOL bPrinting);
  void DrawVessel(CDC* pDC, const CRect& rc);
  void DrawPortInfo(CDC* pDC, const CRect& rc);
  void DrawMeasure(CPoint to);
  void DrawRubberBand(CPoint to);
  void EraseRubberBand();
  static void DrawArrow(CDC* pDC, CPoint from, CPoint to, int nWidth, COLORREF colour, int nHeadSize, BOOL bFill);
  // The arrow of a stream rate: its end point, pen width; FALSE when it is too short to draw.
  static BOOL ArrowFor(double dRate, double dSpeedForWidth, double dDirection, double a, CPoint from, CPoint& to,
                       int& rWidth);
  void ZoomToBox(CRect box);
  // Moves the pressed waypoint to the point and the other selected ones by the same offset.
  void MoveSelectedPoints(CPoint to);
  void Capture();
  void ReleaseCapture();
  int PortAt(CPoint pt, BOOL bDrawnOnly);
  CString DiamondTipAt(CPoint pt, CRect& rTool);
  CString DiamondTipIn(const std::vector<DIAMOND_ON_MAP>& diamonds, CPoint pt, const CRect& rc, CRect& rTool);
  CString RoutePointTipAt(CPoint pt, CRect& rTool);
  CPrediction* InfoPrediction();
  CString ZoneCaption(int nZone, int nSummer) const;
  CFont& Font(int nIndex);

  IMapHost* m_pHost = nullptr;
  CCoastline m_coast;
  BOOL m_bCoastPending = FALSE;  // the region is taken, its coastline not read yet

  double m_dWest = -13, m_dEast = -4, m_dNorth = 55, m_dSouth = 50;
  double m_dLimW = -13, m_dLimN = 60, m_dLimE = 5, m_dLimS = 46;
  int m_nRegion = kRegionUK;
  int m_nLoadedRegion = 0;
  CPosition m_cursorPosition;

  double m_dVesselLat = 0, m_dVesselLon = 0, m_dVesselCourse = 0, m_dVesselSpeed = 0;
  BOOL m_bHasVessel = FALSE, m_bVesselFresh = FALSE;
  CPoint m_ptVessel;
  DWORD m_dwVesselTick = 0;

  // The route side first: the stream side recomputes the route when a new picture is in.
  CChartRoutes m_routes;
  CChartStreams m_streams{m_routes};
  CRoutePoint* m_pPressedPoint = nullptr;
  CPoint m_ptPressed;

  CBitmap m_background, m_composition;
  CSize m_bitmapSize;
  CBitmap m_sea;  // the sea of the window's size: it does not move with the chart
  CSize m_seaSize;
  BOOL m_bLayersDirty = TRUE, m_bOverlayDirty = TRUE, m_bInfoDirty = FALSE, m_bStreamsAtFirstPaint = TRUE;

  CQsDateTime m_date;
  BOOL m_bShowStreams = FALSE, m_bShowDiamonds = TRUE;

  // Mouse.
  int m_nMouseMode = 0;
  int m_nDragState = 0;  // 0 none, 1 waypoint pressed, 2 waypoint dragging, 3 zoom box, 4 measure
  BOOL m_bCaptured = FALSE;
  CPoint m_ptAnchor, m_ptCorner, m_ptLast, m_ptMeasureStart;
  CRect m_rcBand;
  BOOL m_bBandDrawn = FALSE, m_bMeasureDrawn = FALSE;
  int m_nHoveredPort = -1;
  BOOL m_bInfoRequest = FALSE;
  UINT_PTR m_nInfoTimer = 0, m_nStreamTimer = 0;
  std::map<int, std::unique_ptr<CPrediction>> m_infoPredictions;
  CToolTipCtrl m_toolTip;
  CString m_strTip;

  std::vector<DRAWN_PORT> m_drawnPorts;
  std::vector<POINT> m_points;  // reused by the land drawing
  CFont m_fonts[5];
  CFont m_routeFont;
};
