// The "Tide Log" page: the user's list of port-and-date rows, each with its own prediction,
// its day's high and low waters, a chosen time of day and the height then. The last line is
// empty and adds a row. Kept in "logdata.dat" in the per-user folder.
#pragma once

#include "model/Prediction.h"
#include "model/TideLogFile.h"
#include "platform/ui/AfxWin.h"
#include "resources/ResourceIds.h"
#include "views/DatePopup.h"
#include "views/LogHeaderCtrl.h"
#include "views/RightPage.h"
#include "views/ViewHost.h"

#include <vector>

class CTideLogWnd : public CWnd, public IRightPage {
  DECLARE_DYNAMIC(CTideLogWnd)
  DECLARE_MESSAGE_MAP()
 public:
  static constexpr UINT kDefaultId = 181;
  static constexpr UINT kHeaderId = 182;
  static constexpr UINT kTimeComboId = 185;
  static constexpr UINT kMenuId = IDR_TIDELOG_POPUP;
  static constexpr UINT ID_LOG_DELETE = 190;
  static constexpr UINT ID_LOG_GOTO_GRAPH = 198;
  static constexpr UINT ID_LOG_DELETE_SELECTED = 32866;
  static constexpr UINT ID_LOG_REPLICATE_DATE = 32868;
  static constexpr int kHeaderHeight = 20;
  static constexpr int kLineHeight = 24;
  static constexpr int kColumns = 9;
  static constexpr int kEventColumns = 4;
  enum { colPort = 0, colDate, colZone, colEvent1, colEvent2, colEvent3, colEvent4, colTime, colHeight };
  static constexpr double kFeetPerMetre = 3.2808;

  struct ROW_ITEM {
    CPrediction* prediction = nullptr;  // owned by the row
    int day = 1, month = 1, year = 2010;
    TIMEHEIGHT events[CPrediction::kMaxDayEvents];
    int port = 0;
    CQsDateTime time;  // hour and minute only
    // The angle/factor table holds the row's date and the day after: without them there is
    // no prediction to show.
    BOOL bPredicted = FALSE;
  };

  CTideLogWnd();
  ~CTideLogWnd() override;

  void SetHost(IViewHost* pHost) { m_pHost = pHost; }
  using CWnd::Create;
  BOOL Create(CWnd* pParent, const RECT& rect, UINT nID = kDefaultId);

  // ---- Called by the frame ----
  // Reads the log (start-up). A file that is not wholly good is kept aside and the user told;
  // FALSE then, with the message in GetLastProblem().
  BOOL LoadLog();
  BOOL LoadLog(LPCTSTR lpszPath);
  // Writes the log (after every change to the file it was loaded from, and at shut-down).
  // FALSE, after telling the user (once for the same problem), when it could not be written.
  BOOL SaveLog();
  BOOL SaveLog(LPCTSTR lpszPath);
  CString GetLastProblem() const { return m_strProblem; }
  void RecalcZones();
  void SetMetres();
  void SetFeet();
  BOOL IsFeet() const { return m_bFeet; }
  void OnDelete();
  void DeleteHighlightedRow();
  void OnGotoGraph();
  void OnReplicateDateToAll();
  int GetLineCount() const { return GetRowCount() + 1; }
  void PrintLog();
  void Print() override { PrintLog(); }
  BOOL CanPrint() const override { return TRUE; }
  // The printing itself, on a printer DC the caller made (the print dialog's, or a PDF).
  BOOL PrintLogTo(CDC* pDC);

  // ---- Rows ----
  int AddRow(int nPort, int nDay, int nMonth, int nYear);
  int GetRowCount() const { return static_cast<int>(m_rows.GetSize()); }
  const ROW_ITEM& GetRow(int i) const { return m_rows[i]; }
  void SetRowTime(int i, int nHour, int nMinute);
  // The rows as the file holds them.
  std::vector<TIDELOG_ROW> GetFileRows() const;
  int GetSelectedLine() const { return m_nSelectedLine; }
  void SetSelectedLine(int nLine);
  int GetMenuRow() const { return m_nMenuRow; }
  // The date a row added from the empty line gets: today, kept within the dates the
  // angle/factor table can predict.
  CQsDateTime GetNewLineDate() const;
  // The text of a cell as the screen shows it.
  CString GetCellText(int nRow, int nColumn);
  CLogHeaderCtrl& GetHeader() { return m_header; }
  CDatePopup* GetDatePopup() { return m_pDatePopup; }
  CComboBox* GetTimeCombo() { return &m_timeCombo; }

  // ---- Geometry (client coordinates) ----
  int GetColumnLeft(int nColumn) const;  // less the horizontal scroll position
  int GetColumnRight(int nColumn) const;
  // The "..." button of a line (1-based; row count + 1 is the empty line) in the port or date column.
  CRect GetCellButtonRect(int nLine, int nColumn) const;
  CRect GetCellRect(int nLine, int nColumn) const;
  int GetScrollX() const { return m_nScrollX; }
  int GetScrollY() const { return m_nScrollY; }

  // Draws the rows below the header into a DC the size of the client area.
  void Draw(CDC* pDC, const CRect& rcClient);
  // The printed log on a page rectangle; ends and starts pages as it runs over.
  void DrawLog(CDC* pDC, const CRect& rcPage);

  // ---- Message handlers ----
  int OnCreate(LPCREATESTRUCT lpcs);
  void OnDestroy();
  void OnPaint();
  // What a screen reader reads of the page (ViewAccessible.cpp).
  LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
  BOOL OnEraseBkgnd(CDC*) { return TRUE; }
  void OnSize(UINT nType, int cx, int cy);
  void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
  void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
  void OnLButtonDown(UINT nFlags, CPoint point);
  void OnMouseMove(UINT nFlags, CPoint point);
  void OnLButtonUp(UINT nFlags, CPoint point);
  void OnContextMenu(CWnd* pWnd, CPoint pos);
  LRESULT OnHeaderResized(WPARAM, LPARAM);
  LRESULT OnDateChanged(WPARAM, LPARAM);
  void OnTimeEditUpdate();
  void OnTimeKillFocus();
  void OnTimeSelChange();

 protected:
  // Opens the port picker; the chosen port's index, or -1 when the user cancelled.
  virtual int PickPort(int nInitialPort);
  // Tells the user of a problem with the log file.
  virtual void Report(const CString& strText);

 private:
  void ZoneRule(const ROW_ITEM& row, int& zone, int& summer) const;
  // The row's day as its times are shown.
  CLocalDay LocalDayOf(const ROW_ITEM& row) const;
  void SetRowDate(ROW_ITEM& row, int nDay, int nMonth, int nYear);
  void SetRowPort(ROW_ITEM& row, int nPort);
  void ComputeEvents(ROW_ITEM& row);
  void DeleteRow(int nRow);
  void ClearRows();
  // A row was added, changed or deleted: the log file follows at once, so that no entry is
  // lost when the program dies.
  void LogChanged();
  void Relayout();
  void PlaceTimeCombo();
  void ShowTimeCombo(int nLine);
  void HideTimeCombo();
  BOOL TimeComboVisible() const;
  CString TimeComboText() const;
  void SetTimeComboText(LPCTSTR lpszText);
  void ApplyTimeText(const CString& strText);
  void OpenDatePopup(int nLine, CPoint ptScreen);
  void DrawButton(CDC* pDC, const CRect& rc, UINT nEdge);
  void DrawPressedButton(UINT nEdge);
  void MakeFonts(CDC* pDC);
  int LineAt(int y) const;  // 0-based, as the mouse handlers count
  CString ZoneText(const ROW_ITEM& row) const;
  CString EventText(const ROW_ITEM& row, int k, BOOL bPrinted) const;
  CString HeightText(ROW_ITEM& row);
  CString DateText(const ROW_ITEM& row) const;
  const CAngleFactorDB* Table() const { return m_pHost ? m_pHost->GetAngleFactorDB() : nullptr; }
  CPortDB* Ports() const { return m_pHost ? m_pHost->GetPortDB() : nullptr; }

  IViewHost* m_pHost = nullptr;
  CArray<ROW_ITEM, const ROW_ITEM&> m_rows;
  int m_nTotalWidth = 0;
  int m_nContentHeight = kLineHeight;
  int m_nClientWidth = 0;
  int m_nVisibleHeight = 0;
  int m_nScrollX = 0, m_nScrollY = 0;
  CLogHeaderCtrl m_header;
  CFont m_headerFont;
  CDatePopup* m_pDatePopup = nullptr;
  CComboBox m_timeCombo;  // the time editor over the "Time" cell
  CFont m_comboFont;
  CFont m_textFont;
  int m_nDateRow = 0;  // 0-based line whose date button was last released
  int m_nMenuRow = 0;  // 1-based row under the last context-menu click
  BOOL m_bFeet = FALSE;
  BOOL m_bPressed = FALSE;
  CRect m_rcPressed;
  int m_nSelectedLine = 0;  // 1-based; 0 none: Delete must never hit a row nobody picked
  CString m_strProblem;
  BOOL m_bHorzBarShown = TRUE, m_bVertBarShown = TRUE;  // created with both
  BOOL m_bFileBlocked = FALSE;                          // a log file that could be neither read nor kept aside
  CString m_strBlockedPath;
  BOOL m_bLoaded = FALSE;  // m_strFile was read: changes are saved to it
  BOOL m_bLoading = FALSE;
  CString m_strFile;
  CString m_strReported;  // the save problem last told, not told again until a save succeeds
};
