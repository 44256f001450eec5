// The monthly tide table page: a grid of day cells for one month of the current port, each
// with the day, the weekday, up to four high and low waters and the moon's phase.
//
// The table computes nothing: the frame pushes the month's events and moon days, then marks it
// calculated. The window draws the grid (screen and printer), selects a day by mouse, keys and
// wheel, hands a chosen day to the frame's graph, and exports the month as text or HTML.
#pragma once

#include "model/QsDateTime.h"
#include "platform/ui/AfxWin.h"
#include "views/RightPage.h"
#include "views/ViewHost.h"

#include <vector>

class CTableWnd : public CWnd, public IRightPage {
  DECLARE_DYNAMIC(CTableWnd)
  DECLARE_MESSAGE_MAP()
 public:
  static constexpr UINT kDefaultId = 110;
  static constexpr UINT kScrollBarId = 111;
  static constexpr int kSlots = 4;
  // The 25 hours of an autumn change of summer time can hold a fifth event; a cell and an HTML
  // group grow a row only when a day of theirs has one.
  static constexpr int kMaxSlots = 5;
  static constexpr int kDays = 31;
  static constexpr double kFeetPerMetre = 3.2808;

  struct DayRect {
    RECT rect;
    int day;
  };

  CTableWnd();
  ~CTableWnd() override;

  void SetHost(IViewHost* pHost) { m_pHost = pHost; }
  BOOL Create(CWnd* pParent, const RECT& rect, UINT nID = kDefaultId);

  // ---- Data pushed by the frame ----
  void SetDayCount(int nDays);
  int GetDayCount() const { return m_nDayCount; }
  void SetYear(int nYear) { m_nYear = (short)nYear; }
  void SetMonth(int nMonth) { m_nMonth = (short)nMonth; }
  int GetYear() const { return m_nYear; }
  int GetMonth() const { return m_nMonth; }
  void SetEventPresent(int nSlot, int nDay, int bPresent);
  void SetTideEvent(int nSlot, int nDay, int nMinutes, double dMetres);
  // Days whose angle factors are missing show that no prediction exists. SetDayCount marks
  // every day as predicted again.
  void SetDayPredicted(int nDay, int bPredicted);
  int IsDayPredicted(int nDay) const;
  void ClearMoonDays();
  void SetNewMoonDay(int nDay) { SetMoon(nDay, 0); }
  void SetFirstQuarterDay(int nDay) { SetMoon(nDay, 1); }
  void SetFullMoonDay(int nDay) { SetMoon(nDay, 2); }
  void SetLastQuarterDay(int nDay) { SetMoon(nDay, 3); }
  int GetMoonMark(int nDay) const;  // -1 none, 0 new, 1 first quarter, 2 full, 3 last quarter
  void SetShowMoons(int b);
  int GetShowMoons() const { return m_bShowMoons; }
  void SetShowBackgroundPic(int b);
  int GetShowBackgroundPic() const { return m_bBackgroundPic; }
  void SetFeet(int bFeet);
  int IsFeet() const { return m_bFeet; }
  void SetCalculated(int b);
  int IsCalculated() const { return m_bCalculated; }
  void Refresh();
  void SetPortName(LPCTSTR lpszName);
  CString GetPortName() const { return m_strPortName; }
  void SetZoneCaption(LPCTSTR lpszCaption);
  CString GetZoneCaption() const { return m_strZoneCaption; }

  CQsDateTime GetSelectedDate() const;
  int GetSelectedDay() const { return m_nSelectedDay; }

  // ---- Commands ----
  void CopyToClipboard();
  void Export();
  void Print() override;
  BOOL CanPrint() const override { return IsCalculated(); }
  // Save As is the table's export.
  void SaveAs() override { Export(); }
  BOOL CanSaveAs() const override { return IsCalculated(); }
  UINT GetSaveAsTextId() const override;

  // ---- Output; also what the commands use ----
  void DrawTable(CDC* pDC, const CRect& rect);
  CString BuildText() const;
  // The month as an HTML page in UTF-8.
  CString BuildHtml() const;
  // Saves the month to the chosen name in the format its extension (or, without one, the
  // chosen filter) asks for. FALSE with a message for the user when nothing was saved.
  BOOL SaveToFile(LPCTSTR lpszPath, int nFilterIndex, CString& rError, CString* pSavedPath = nullptr);
  // One page on a printer DC between StartDoc and EndDoc; FALSE when the printer refused.
  BOOL PrintTo(CDC* pPrinterDC);

  // ---- State of the last layout ----
  int GetRows() const { return m_nRows; }
  int GetColumns() const { return m_nColumns; }
  int GetScrollPosition() const { return m_nScrollPos; }
  int GetScrollMaximum() const { return m_nScrollMax; }
  BOOL IsScrollEnabled() const { return m_bScrollEnabled; }
  const std::vector<DayRect>& GetDayRects() const { return m_dayRects; }
  int IsEventPresent(int nSlot, int nDay) const;
  CString GetEventTimeText(int nSlot, int nDay) const;
  CString GetEventHeightText(int nSlot, int nDay) const;

  // ---- Messages ----
  int OnCreate(LPCREATESTRUCT lpcs);
  void OnPaint();
  // What a screen reader reads of the page (ViewAccessible.cpp).
  LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
  void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
  void OnLButtonDown(UINT nFlags, CPoint point);
  void OnLButtonUp(UINT nFlags, CPoint point);
  void OnLButtonDblClk(UINT nFlags, CPoint point);
  void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
  BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
  void OnSetFocus(CWnd* pOldWnd);
  void OnKillFocus(CWnd* pNewWnd);
  void OnContextMenu(CWnd* pWnd, CPoint pos);

 private:
  struct Event {
    CQsDateTime time;
    double metres = 0.0;
    int present = 1;
  };

  void SetMoon(int nDay, int nMark);
  int HeadingHeight(CDC* pDC) const;
  void DrawHeading(CDC* pDC, const CRect& rect);
  void DrawPlaceholder(CDC* pDC, const CRect& rect);
  void CalcGrid(CDC* pDC, const CRect& rect, const CRect& body);
  void DrawDays(CDC* pDC, const CRect& rect, const CRect& body);
  void DrawGrid(CDC* pDC, const CRect& rect, const CRect& body);
  // Draws (or only measures, with bDraw FALSE) one day cell; the cell's size goes to pSize.
  // -1 for a day beyond the day count.
  int DrawDayCell(CDC* pDC, int nDay, int x, int y, BOOL bDraw, CSize* pSize);
  void ActivateDay(int nDay);
  void ShowDay(int nDay);
  void SetScrollPosition(int nPos);
  void SyncScrollBar();
  // In the user's locale as shown and printed (bShown), or in the fixed format of copies and exports.
  CString HeightText(double dMetres, BOOL bShown) const;
  CString FirstOfMonth(LPCTSTR lpszFormat) const;
  const Event& At(int nSlot, int nDay) const { return m_events[nSlot - 1][nDay - 1]; }
  Event& At(int nSlot, int nDay) { return m_events[nSlot - 1][nDay - 1]; }

  IViewHost* m_pHost = nullptr;
  CScrollBar m_wndScroll;
  // Rows of events the day cells need: kSlots, or kMaxSlots when a day has a fifth event.
  int EventRows(int nFirstDay, int nLastDay) const;
  Event m_events[kMaxSlots][kDays];
  int m_moon[kDays];
  int m_predicted[kDays];
  int m_bCalculated = 1;
  int m_bPrinting = 0;
  int m_nRows = 0;
  int m_nColumns = 0;
  std::vector<DayRect> m_dayRects;
  int m_nSelectedDay = 1;
  int m_bBackgroundPic = 1;
  int m_bShowMoons = 1;
  int m_bFeet = 0;
  short m_nDayCount = 30;
  short m_nYear = 1998;
  short m_nMonth = 4;
  CString m_strPortName = "Southampton";
  CString m_strZoneCaption = "Produced by Neapwise";
  // The vertical scroll state; the scroll bar control mirrors it.
  int m_nScrollPos = 0;
  int m_nScrollMax = 6;
  BOOL m_bScrollEnabled = TRUE;
  CBitmap m_placeholderPicture;
  BOOL m_bPictureTried = FALSE;
  CFont* m_pDayFont = nullptr;  // the cells' fonts while the grid is drawn
  CFont* m_pSmallFont = nullptr;
};
