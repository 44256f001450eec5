// The month calendar the tidal log opens to pick a day, limited to the months the
// angle/factor table can predict.
#pragma once

#include "model/QsDateTime.h"
#include "views/PickPopup.h"

#define WM_DATEPOPUP_PICKED (WM_USER + 1009)

class CAngleFactorDB;

class CDatePopup : public CPickPopup {
  DECLARE_DYNCREATE(CDatePopup)
 public:
  static constexpr int kWidth = 154, kHeight = 175, kPrevious = 42, kNext = 43;

  CDatePopup() = default;
  BOOL Create(CWnd* pNotify, int x, int y);
  void SetDate(int nDay, int nMonth, int nYear);
  int GetDay() const { return m_nDay; }
  int GetMonth() const { return m_nShownMonth; }  // the month shown (and of a picked day)
  int GetYear() const { return m_nShownYear; }
  // The months that can be shown: from the first table day's month to the month of the last
  // predictable day (the day before the table's last).
  void SetRange(const CQsDateTime& first, const CQsDateTime& lastPredictable);
  BOOL SetRange(const CAngleFactorDB& table);
  // The day number of cell i (0 = none).
  int GetCellDay(int i) const { return (i >= 0 && i < 42) ? m_cellDays[i] : 0; }

 protected:
  int ItemAt(CPoint pt) const override;
  CRect ItemRect(int nItem) const override;
  void DrawContent(CDC* pDC) override;
  void OnPicked(int nItem) override;

 private:
  void FillCells();
  int m_cellDays[42] = {};
  int m_nDay = 5, m_nMonth = 3, m_nYear = 2002;  // as given to SetDate
  int m_nShownMonth = 3, m_nShownYear = 2002;
  int m_nFirstMonth = 1, m_nFirstYear = 2009;  // earliest month reachable
  int m_nLastMonth = 12, m_nLastYear = 9999;   // latest month reachable
};
