#include "app/ChartRoutesLink.h"

#include "app/MainFrm.h"
#include "app/RightPane.h"
#include "chart/StreamWorker.h"
#include "model/SummerTime.h"

int CChartRoutesLink::GetRegion() const {
  CRightPane* right = m_pFrame->m_hWnd ? m_pFrame->GetRightPane() : nullptr;
  return right ? right->m_map.GetRegion() : 0;
}

int CChartRoutesLink::GetZoneOffsetMinutes() const {
  // Automatic zones follow the UK's summer time on the selected date (rule 0).
  const BOOL summer = IsSummerTimeAt(m_pFrame->GetSelectedDate(), 0) ? TRUE : FALSE;
  return ZoneOffsetMinutes(m_pFrame->IsAutoTimeZone(), summer, m_pFrame->GetChosenTimeZone());
}

CQsDateTime CChartRoutesLink::GetSelectedDate() const { return m_pFrame->GetSelectedDate(); }

HWND CChartRoutesLink::GetTrackNotifyWindow() const { return m_pFrame->GetSafeHwnd(); }

void CChartRoutesLink::RedrawRoutes() {
  CRightPane* right = m_pFrame->m_hWnd ? m_pFrame->GetRightPane() : nullptr;
  if (right && right->m_map.m_hWnd) right->m_map.RedrawRoutes();
}
