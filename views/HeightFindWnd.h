// The height finder page: the user types a height above chart datum and, for every day of the
// selected month, the window lists the times at which the tide passes that height, rising or
// falling, in newspaper-style columns. It runs its own search over the frame's month of
// predictions, prints over several pages and saves the results as HTML or text.
#pragma once

#include "model/QsDateTime.h"
#include "platform/ui/AfxWin.h"
#include "views/QsEdit.h"
#include "views/RightPage.h"
#include "views/ViewHost.h"

struct HEIGHTFIND_RESULT {
  int rising = 0;  // 1 rising, 0 falling
  double value = 0.0;
  CQsDateTime time;  // hour and minute of the local day
  HEIGHTFIND_RESULT* next = nullptr;
};

class CHeightFindWnd : public CWnd, public IHeightFinder, public IRightPage {
  DECLARE_DYNAMIC(CHeightFindWnd)
  DECLARE_MESSAGE_MAP()
 public:
  static constexpr UINT kDefaultId = 176;
  static constexpr UINT kEditId = 177;
  static constexpr UINT kSpinId = 178;
  static constexpr UINT kFindButtonId = 179;
  static constexpr UINT kScrollBarId = 180;
  static constexpr int kDays = 31;
  static constexpr int kBandHeight = 70;
  static constexpr double kFeetPerMetre = 3.2808;

  CHeightFindWnd();
  ~CHeightFindWnd() override;

  void SetHost(IViewHost* pHost) { m_pHost = pHost; }
  BOOL Create(CWnd* pParent, const RECT& rect, UINT nID = kDefaultId);

  // ---- Operations of the frame ----
  void SetMonth(int nMonth) { m_nMonth = nMonth; }
  void SetYear(int nYear) { m_nYear = nYear; }
  int GetMonth() const { return m_nMonth; }
  int GetYear() const { return m_nYear; }
  void SetPortName(LPCTSTR lpszName);
  CString GetPortName() const { return m_strPortName; }
  void SetFeet(int bFeet);
  int IsFeet() const { return m_bFeet; }
  void Find() override;
  void ClearResults();
  void SetCalculated(int b) { m_bCalculated = b; }
  int IsCalculated() const { return m_bCalculated; }
  int HasResults() const;
  int IsMatch() const { return m_bMatch; }
  void Print() override;
  // Printing and saving need a search whose height the box still shows, with some result.
  BOOL CanPrint() const override { return IsCalculated() && IsMatch() && HasResults(); }
  void SaveAs() override;
  BOOL CanSaveAs() const override { return CanPrint(); }

  // ---- The height the user types, in the user's locale ----
  // Puts text into the height edit as if typed; it is filtered as the user's typing is.
  void SetHeightText(LPCTSTR lpszText);
  CString GetHeightText() const { return m_strLastText; }
  // The height last searched, in metres.
  double GetSearchedHeight() const { return m_dHeight; }

  // ---- Results and their forms ----
  const HEIGHTFIND_RESULT* GetResults(int nDay) const;
  int GetResultCount(int nDay) const;
  // 0 for a day of the month that has no angle factors in the table.
  int IsDayPredicted(int nDay) const;
  CString GetZoneCaption() const;
  CString BuildText() const;
  // The results as an HTML page in UTF-8.
  CString BuildHtml() const;
  // Saves to the chosen name in the format its extension (or, without one, the chosen filter)
  // asks for. FALSE with a message for the user when nothing was saved.
  BOOL SaveToFile(LPCTSTR lpszPath, int nFilterIndex, CString& rError, CString* pSavedPath = nullptr);
  // The results over as many pages as they need, on a printer DC; FALSE when it refused.
  BOOL PrintTo(CDC* pPrinterDC);
  void DrawResults(CDC* pDC, const CRect& rect);

  // ---- Layout of the last screen drawing ----
  int GetColumnsThatFit() const { return m_nFitColumns; }
  int GetTotalColumns() const { return m_nTotalColumns; }
  int GetScrollPosition() const { return m_nScrollPos; }
  int GetScrollMaximum() const { return m_nScrollMax; }
  BOOL IsScrollEnabled() const { return m_bScrollEnabled; }

  // ---- Messages ----
  int OnCreate(LPCREATESTRUCT lpcs);
  void OnPaint();
  // What a screen reader reads of the page (ViewAccessible.cpp).
  LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
  void OnSize(UINT nType, int cx, int cy);
  void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
  void OnDestroy();
  void OnContextMenu(CWnd* pWnd, CPoint pos);
  void OnFindClicked();
  void OnEditUpdate();
  void OnSpinDelta(NMHDR* pNMHDR, LRESULT* pResult);

 private:
  struct Layout;
  void FreeLists();
  void Append(int nDay, int bRising, int nMinute);
  void DrawBand(CDC* pDC, const CRect& rect);
  void DrawTitle(CDC* pDC, const Layout& lay);
  void DrawSeparators(CDC* pDC, const Layout& lay, int nVisible);
  void DrawDayBlock(CDC* pDC, Layout& lay, int nDay);
  double EditValueMetres(const CString& text) const;
  CString FormatHeight(double dValue) const;
  CString HeightCaption(LPCTSTR lpszMetresFormat, LPCTSTR lpszFeetFormat) const;
  CString ZonePrefix() const;
  void SyncScrollBar();
  void SetScrollPosition(int nPos);

  IViewHost* m_pHost = nullptr;
  int m_bSized = 0;
  int m_nMonth = 1;
  double m_dHeight = 5.2;
  CScrollBar m_wndScroll;
  int m_nYear = 2000;
  int m_bMatch = 0;
  CButton m_wndFind;
  CQsEdit m_wndEdit;
  CSpinButtonCtrl m_wndSpin;
  CFont m_fontBold;
  CFont m_fontNormal;
  CString m_strLastText;
  int m_bFeet = 0;
  int m_bCalculated = 0;
  CString m_strPortName;
  HEIGHTFIND_RESULT* m_results[kDays] = {};
  int m_predicted[kDays];
  int m_bPrinting = 0;
  // The horizontal scroll state; the scroll bar control mirrors it.
  int m_nScrollPos = 0;
  int m_nScrollMax = 6;
  BOOL m_bScrollEnabled = FALSE;
  int m_nFitColumns = 0;
  int m_nTotalColumns = 0;
};
