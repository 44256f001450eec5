// The monthly tide table page. Placeholder until the real table lands: it keeps everything
// the frame pushes into it and draws a short summary, so the frame's code is the real one.
#pragma once

#include "model/QsDateTime.h"
#include "platform/ui/AfxWin.h"
#include "views/ViewHost.h"

class CTableWnd : public CWnd {
  DECLARE_DYNAMIC(CTableWnd)
  DECLARE_MESSAGE_MAP()
 public:
  BOOL Create(CWnd* pParent, const RECT& rect, UINT nID);
  void SetHost(IViewHost* pHost) { m_pHost = pHost; }

  void SetDayCount(int nDays);
  int GetDayCount() const { return m_nDays; }
  void SetYear(int nYear) { m_nYear = nYear; }
  void SetMonth(int nMonth) { m_nMonth = nMonth; }
  int GetYear() const { return m_nYear; }
  int GetMonth() const { return m_nMonth; }
  void SetEventPresent(int nSlot, int nDay, int bPresent);
  void SetTideEvent(int nSlot, int nDay, int nMinutes, double dMetres);
  int IsEventPresent(int nSlot, int nDay) const;
  int GetEventMinutes(int nSlot, int nDay) const;
  double GetEventMetres(int nSlot, int nDay) const;
  void ClearMoonDays();
  void SetNewMoonDay(int nDay) { SetMoon(nDay, 0); }
  void SetFirstQuarterDay(int nDay) { SetMoon(nDay, 1); }
  void SetFullMoonDay(int nDay) { SetMoon(nDay, 2); }
  void SetLastQuarterDay(int nDay) { SetMoon(nDay, 3); }
  int GetMoonMark(int nDay) const { return nDay >= 1 && nDay <= 31 ? m_moon[nDay] : -1; }
  void SetShowMoons(int b) { m_bShowMoons = b; }
  int GetShowMoons() const { return m_bShowMoons; }
  void SetShowBackgroundPic(int b) { m_bShowBackgroundPic = b; }
  int GetShowBackgroundPic() const { return m_bShowBackgroundPic; }
  void SetFeet(int b);
  int IsFeet() const { return m_bFeet; }
  void SetCalculated(int b);
  int IsCalculated() const { return m_bCalculated; }
  void Refresh();
  void SetPortName(LPCTSTR lpszName);
  CString GetPortName() const { return m_strPortName; }
  void SetZoneCaption(LPCTSTR lpszCaption) { m_strZoneCaption = lpszCaption; }
  CString GetZoneCaption() const { return m_strZoneCaption; }
  void SetSelectedDay(int nDay) { m_nSelectedDay = nDay; }
  int GetSelectedDay() const { return m_nSelectedDay; }
  CQsDateTime GetSelectedDate() const;
  void CopyToClipboard() {}
  void Export() {}
  void Print() {}

  void OnPaint();

 private:
  void SetMoon(int nDay, int nMark);
  IViewHost* m_pHost = nullptr;
  int m_nDays = 31, m_nYear = 2010, m_nMonth = 1, m_nSelectedDay = 1;
  int m_present[5][32] = {};
  int m_minutes[5][32] = {};
  double m_metres[5][32] = {};
  int m_moon[32];
  int m_bShowMoons = 1, m_bShowBackgroundPic = 0, m_bFeet = 0, m_bCalculated = 0;
  CString m_strPortName, m_strZoneCaption;
};
