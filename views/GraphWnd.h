// The 24-hour tide graph of one port and one day: curve, datum lines, grid, captions and a
// dotted time mark, with a height read-out under the mouse and a context menu.
//
// The graph computes no tides: the frame pushes the heights, the scale and every setting.
// The last screen drawing is kept as a picture, so a repaint that only moves the time mark
// costs one copy and one dotted line.
#pragma once

#include "model/LocalDay.h"
#include "platform/ui/AfxWin.h"
#include "views/RightPage.h"
#include "views/ViewHost.h"

class CGraphWnd : public CWnd, public IRightPage {
  DECLARE_DYNAMIC(CGraphWnd)
  DECLARE_MESSAGE_MAP()
 public:
  static constexpr int kMinutes = 1440;
  static constexpr int kMaxMinutes = CLocalDay::kMaxMinutes;  // the 25 hours of an autumn change
  static constexpr double kFeetPerMetre = 3.2808;
  static constexpr UINT kTooltipId = 175;

  CGraphWnd();
  ~CGraphWnd() override;

  void SetHost(IViewHost* pHost) { m_pHost = pHost; }
  BOOL Create(CWnd* pParent, const RECT& rect, UINT nID);

  // ---- Data and settings ----
  // The day's clock: the curve spans the day's real minutes (23 to 25 hours on a change of
  // summer time) and the time axis reads the local clock. Points and the curve count elapsed
  // minutes from midnight; the time mark is a clock reading.
  void SetLocalDay(const CLocalDay& day);
  const CLocalDay& GetLocalDay() const { return m_day; }
  // The time axis's caption, which names a change of the clocks.
  CString GetTimeCaption() const;
  void SetPoint(double dMetres, int nMinute);
  void SetMaxHeight(double dMetres);
  double GetMaxHeight() const { return m_dMaxHeight; }
  void SetMinHeight(double dMetres);
  double GetMinHeight() const { return m_dMinHeight; }
  void SetTitle(LPCTSTR lpszTitle);
  CString GetTitle() const { return m_strTitle; }
  void SetPlaceholderText(LPCTSTR lpszText);
  void SetHasData(int bHasData);
  int HasData() const { return m_bHasData; }
  void SetTimeMark(int nMinute);
  int GetTimeMark() const { return m_nTimeMark; }
  void SetAgroundLevel(double dMetres);
  double GetAgroundLevel() const { return m_dAgroundLevel; }
  void SetMHWS(double d);
  void SetMHWN(double d);
  void SetMLWN(double d);
  void SetMLWS(double d);
  double GetMHWS() const { return m_dMHWS; }
  double GetMHWN() const { return m_dMHWN; }
  double GetMLWN() const { return m_dMLWN; }
  double GetMLWS() const { return m_dMLWS; }
  void SetShowMHWS(int b);
  void SetShowMHWN(int b);
  void SetShowMLWN(int b);
  void SetShowMLWS(int b);
  int GetShowMHWS() const { return m_bShowMHWS; }
  int GetShowMHWN() const { return m_bShowMHWN; }
  int GetShowMLWN() const { return m_bShowMLWN; }
  int GetShowMLWS() const { return m_bShowMLWS; }
  void SetBackColour(COLORREF c);
  void SetGradientColour(COLORREF c);
  void SetLineColour(COLORREF c);
  void SetAgroundColour(COLORREF c);
  void SetAxisColour(COLORREF c);
  void SetGridlineColour(COLORREF c);
  void SetMHWSColour(COLORREF c);  // all four level lines
  void SetTimeMarkColour(COLORREF c);
  COLORREF GetBackColour() const { return m_clrBack; }
  COLORREF GetGradientColour() const { return m_clrGradient; }
  COLORREF GetLineColour() const { return m_clrLine; }
  COLORREF GetAgroundColour() const { return m_clrAground; }
  COLORREF GetAxisColour() const { return m_clrAxis; }
  COLORREF GetGridlineColour() const { return m_clrGridline; }
  COLORREF GetMHWSColour() const { return m_clrLevel; }
  COLORREF GetTimeMarkColour() const { return m_clrTimeMark; }
  void SetLineWidth(int nWidth);  // 1..5, anything else gives 2
  int GetLineWidth() const { return m_nLineWidth; }
  int IsThickLine() const { return m_nLineWidth == 2; }
  // No repaint of its own, but the next paint must not reuse the cached picture.
  void SetAreaGraph(int b) {
    m_bAreaGraph = b;
    m_bModified = 1;
  }
  int IsAreaGraph() const { return m_bAreaGraph; }
  void SetFeet(int bFeet);
  int IsFeet() const { return m_bFeet; }
  void SetPrintBW(int b) { m_bPrintBW = b; }
  int GetPrintBW() const { return m_bPrintBW; }
  void SetFullScreen() { m_bFullScreen = 1; }
  void SetAutoRedraw(int b) { m_bAutoRedraw = b; }
  void SetBackgroundPicture(int b) { m_bBackgroundPicture = b; }
  double GetHeightDisplay(int nMinute) const;
  double GetHeightStep() const;
  int IsModified() const { return m_bModified; }

  // Draws the whole graph into the rectangle: screen, printer and picture export.
  void Draw(CDC* pDC, const CRect& rect);

  // ---- Printing and pictures (GraphExport.cpp); each does nothing without data ----
  // Asks for a printer and prints the graph on one page.
  void Print() override;
  BOOL CanPrint() const override { return HasData(); }
  // Prints one page on the printer DC (in black and white when that is set); FALSE when the
  // printer refuses. The screen's picture and colours are left as they were.
  BOOL PrintTo(CDC* pPrinterDC);
  // Asks for a file name, then saves a JPEG (after asking its size) or an enhanced metafile.
  void SaveAs() override;
  BOOL CanSaveAs() const override { return HasData(); }
  UINT GetSaveAsTextId() const override;
  // Saves under the chosen name in the format its extension (any case) or the chosen filter
  // (1 JPEG, 2 metafile) asks for; a JPEG asks for its size first. FALSE with rError set when
  // nothing was saved (rError empty when the user cancelled). pSavedPath: the name saved.
  BOOL SaveToFile(LPCTSTR lpszPath, int nFilterIndex, CString& rError, CString* pSavedPath = nullptr);
  BOOL SaveJpeg(LPCTSTR lpszPath, int nWidth, int nHeight, int nQuality, CString& rError);
  BOOL SaveMetafile(LPCTSTR lpszPath, CString& rError);
  // The graph as an enhanced metafile on the clipboard.
  BOOL CopyToClipboard();
  // Draws what the screen shows (frame and time mark included) into any DC, apart from the
  // screen's cached picture and plot rectangle.
  void DrawPicture(CDC* pDC, const CRect& rect);
  // The plot area of the last screen drawing (empty when nothing could be plotted).
  CRect GetPlotRect() const { return m_rcPlot; }
  // The read-out for a point of the client area ("4.12m (13:45)"), or empty away from the curve.
  CString GetReadout(CPoint point) const;
  // The read-out tool's current text and rectangle (3 pixels round the last read point).
  CString GetTooltipText() const;
  CRect GetTooltipRect() const;
  CToolTipCtrl& GetToolTip() { return m_ToolTip; }

  BOOL PreTranslateMessage(MSG* pMsg) override;

  // Scale of the last drawing, for callers that place things on the graph.
  int XOfMinute(const CRect& plot, int nMinute) const;
  int YOfHeight(const CRect& plot, double dDisplayHeight) const;

  int OnCreate(LPCREATESTRUCT lpCreateStruct);
  void OnDestroy();
  void OnPaint();
  // What a screen reader reads of the page (ViewAccessible.cpp).
  LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
  void OnLButtonUp(UINT nFlags, CPoint point);
  void OnLButtonDblClk(UINT nFlags, CPoint point);
  void OnContextMenu(CWnd* pWnd, CPoint pos);
  void OnTimer(UINT_PTR nIDEvent);
  void OnKeyDown(UINT, UINT, UINT) {}

 private:
  struct Scale;
  Scale MakeScale(const CRect& plot) const;
  void Repaint();
  void DrawPlaceholder(CDC* pDC, const CRect& rect);
  void DrawBackground(CDC* pDC, const CRect& plot);
  void DrawAxes(CDC* pDC, const Scale& s, BOOL bLabels, int nTick);
  void DrawCurve(CDC* pDC, const Scale& s);
  void DrawLevels(CDC* pDC, const Scale& s);
  void DrawTimeMark(CDC* pDC, const CRect& plot);
  void MakePalette();
  COLORREF Pal(COLORREF c) const { return 0x02000000 | (c & 0xFFFFFF); }
  // Axes, grid, level lines and the time mark: twice as wide on paper.
  int GuidePenWidth() const { return m_bPrinting ? 2 : 1; }
  // Printing and pictures draw straight onto their DC and leave the screen's state alone.
  BOOL DrawingOffScreen() const { return m_bPrinting || m_bPicture; }
  double DisplayPerMetre() const { return m_bFeet ? kFeetPerMetre : 1.0; }

  IViewHost* m_pHost = nullptr;
  double m_dMaxHeight = 12.0;
  double m_dMinHeight = 0.0;
  int m_nLastMinute = kMinutes;
  int m_nFirstMinute = 0;
  int m_nTimeMark = 200;
  int m_bAreaGraph = 0;
  double m_dAgroundLevel = 3.0;
  double m_dMLWS = 2.5, m_dMLWN = 4.5, m_dMHWN = 6.5, m_dMHWS = 8.5;
  int m_bShowMHWS = 1, m_bShowMHWN = 1, m_bShowMLWN = 1, m_bShowMLWS = 1;
  COLORREF m_clrLevel = 0x5A3264;
  COLORREF m_clrTimeMark = 0xFFFF00;
  CString m_strPlaceholder;
  int m_bAutoRedraw = 1;
  COLORREF m_clrGridline = 0x808080;
  int m_bBackgroundPicture = 1;
  double m_dHeights[kMaxMinutes + 1];
  BOOL m_bLastSet = FALSE;  // the day's last minute was given its own height
  CLocalDay m_day;
  COLORREF m_clrBack = 0xC0C0C0;
  COLORREF m_clrLine = 0x00D200;
  COLORREF m_clrAxis = 0x000000;
  COLORREF m_clrAground = 0x0000FF;
  COLORREF m_clrGradient = 0xFFFFFF;
  int m_nLineWidth = 2;
  int m_nMinuteStep = 120;
  double m_dHeightStep = 1.0;
  CString m_strTitle = "Port Name";
  CString m_strTimeCaption = "Time";
  CString m_strHeightCaption = "Height";
  int m_bHasData = 1;
  int m_bPrinting = 0;
  int m_bFeet = 0;
  CRect m_rcLastDrawn;
  int m_bModified = 1;
  CRect m_rcPlot;
  CBitmap m_cache;
  CSize m_cacheSize;
  CPalette m_palette;
  CBitmap m_placeholderPicture;
  BOOL m_bPictureTried = FALSE;  // picture 149 is looked for once, not at every paint
  CToolTipCtrl m_ToolTip;
  int m_bPrintBW = 0;
  int m_bFullScreen = 0;
  BOOL m_bPicture = FALSE;  // drawing a picture export
};
