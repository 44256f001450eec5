#include "views/TableWnd.h"

#include "views/ViewColours.h"

IMPLEMENT_DYNAMIC(CTableWnd, CWnd)

BEGIN_MESSAGE_MAP(CTableWnd, CWnd)
  ON_WM_PAINT()
END_MESSAGE_MAP()

BOOL CTableWnd::Create(CWnd* pParent, const RECT& rect, UINT nID) {
  for (int& m : m_moon) m = -1;
  LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
  return CreateEx(WS_EX_NOPARENTNOTIFY, cls, "", WS_CHILD | WS_VISIBLE, rect, pParent, nID);
}

void CTableWnd::SetDayCount(int nDays) {
  m_nDays = (nDays < 1 || nDays > 31) ? 31 : nDays;
  if (m_nSelectedDay > m_nDays) m_nSelectedDay = m_nDays;
}

void CTableWnd::SetEventPresent(int nSlot, int nDay, int bPresent) {
  if (nSlot >= 1 && nSlot <= 4 && nDay >= 1 && nDay <= 31) m_present[nSlot][nDay] = bPresent;
}

void CTableWnd::SetTideEvent(int nSlot, int nDay, int nMinutes, double dMetres) {
  if (nSlot < 1 || nSlot > 4 || nDay < 1 || nDay > 31) return;
  m_minutes[nSlot][nDay] = nMinutes;
  m_metres[nSlot][nDay] = dMetres;
}

int CTableWnd::IsEventPresent(int nSlot, int nDay) const {
  return (nSlot >= 1 && nSlot <= 4 && nDay >= 1 && nDay <= 31) ? m_present[nSlot][nDay] : 0;
}
int CTableWnd::GetEventMinutes(int nSlot, int nDay) const {
  return (nSlot >= 1 && nSlot <= 4 && nDay >= 1 && nDay <= 31) ? m_minutes[nSlot][nDay] : -1;
}
double CTableWnd::GetEventMetres(int nSlot, int nDay) const {
  return (nSlot >= 1 && nSlot <= 4 && nDay >= 1 && nDay <= 31) ? m_metres[nSlot][nDay] : 0.0;
}

void CTableWnd::ClearMoonDays() {
  for (int& m : m_moon) m = -1;
}

void CTableWnd::SetMoon(int nDay, int nMark) {
  if (nDay >= 1 && nDay <= 31) m_moon[nDay] = nMark;
}

void CTableWnd::SetFeet(int b) {
  m_bFeet = b;
  Refresh();
}

void CTableWnd::SetCalculated(int b) {
  m_bCalculated = b;
  Refresh();
}

void CTableWnd::Refresh() {
  if (m_hWnd) Invalidate(TRUE);
}

void CTableWnd::SetPortName(LPCTSTR lpszName) {
  m_strPortName = lpszName;
  Refresh();
}

CQsDateTime CTableWnd::GetSelectedDate() const { return CQsDateTime(m_nYear, m_nMonth, m_nSelectedDay, 0, 0, 0); }

void CTableWnd::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  dc.FillSolidRect(&rc, RGB(255, 255, 255));
  CString s;
  if (m_bCalculated)
    s.Format("%s - %02d/%d", (LPCTSTR)m_strPortName, m_nMonth, m_nYear);
  else
    s = "Click Calculate Table for the month's tides";
  dc.SetBkMode(TRANSPARENT);
  dc.DrawText(s, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}
