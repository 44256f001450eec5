// The left pane's two-column list of the day's high and low waters (time and height).
#pragma once

#include "platform/ui/AfxWin.h"

class CTideTimesWnd : public CWnd {
  DECLARE_DYNAMIC(CTideTimesWnd)
  DECLARE_MESSAGE_MAP()
 public:
  static constexpr int kMaxEntries = 5;
  static constexpr UINT kDefaultId = 105;
  // Sent to the parent as WM_COMMAND when the panel needs another height (GetPanelHeight).
  static constexpr UINT kHeightChanged = 0x0501;

  CTideTimesWnd() = default;
  BOOL Create(CWnd* pParent, const RECT& rect, UINT nID = kDefaultId);

  void Clear();
  // Ignored once five entries are held.
  void AddTime(int nMinutes, double dMetres);
  void SetUnits(int bFeet);
  int GetCount() const { return m_nCount; }
  int HasData() const { return m_bHasData; }
  // Header and four rows; a fifth row (a 25-hour day) makes it one row taller.
  int GetPanelHeight() const { return HeightFor(m_nCount); }
  static int HeightFor(int nRows) { return 24 + 20 * (nRows > 4 ? nRows : 4); }
  // The two texts of entry i as drawn: "13:45" and "4.0m" (or "13.1ft").
  CString GetTimeText(int i) const;
  CString GetHeightText(int i) const;

  void Draw(CDC* pDC, const CRect& rect, BOOL bEnabled);

  int OnCreate(LPCREATESTRUCT lpcs);
  void OnPaint();
  // What a screen reader reads of the page (ViewAccessible.cpp).
  LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);

 private:
  void Repaint();
  void NoteHeight(int nOldHeight);

  int m_bHasData = 0;
  int m_nCount = 0;
  int m_bFeet = 0;
  CFont m_font;
  struct Entry {
    int minutes = 0;
    double metres = 0;
  } m_entries[kMaxEntries];
};
