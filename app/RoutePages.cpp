#include "app/RoutePages.h"

#include "app/RoutesResource.h"
#include "chart/MapRoute.h"
#include "model/Position.h"

IMPLEMENT_DYNAMIC(CRoutePage, CPropertyPage)
IMPLEMENT_DYNAMIC(CRoutePointPage, CPropertyPage)

CRoutePage::CRoutePage() : CPropertyPage(IDD_ROUTE_PAGE) {}

BOOL CRoutePage::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  CString text;
  text.Format("%02d%s%02d", m_time.GetHour(), AfxGetLocaleValues().timeSeparator.GetString(), m_time.GetMinute());
  SetDlgItemText(IDC_ROUTE_START, text);
  return TRUE;
}

void CRoutePage::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_ROUTE_SPEED, m_speed);
  DDV_MinMaxDouble(pDX, m_speed, CMapRoute::kMinSpeed, CMapRoute::kMaxSpeed);
}

BOOL CRoutePage::OnKillActive() {
  if (!CPropertyPage::OnKillActive()) return FALSE;
  CString text;
  GetDlgItemText(IDC_ROUTE_START, text);
  CQsDateTime parsed = m_time;
  if (!parsed.ParseTime(text)) {
    AfxMessageBox("The time entered is invalid", MB_OK | MB_ICONEXCLAMATION);
    if (CWnd* edit = GetDlgItem(IDC_ROUTE_START)) GotoDlgCtrl(edit);
    return FALSE;
  }
  m_time = parsed;
  return TRUE;
}

CRoutePointPage::CRoutePointPage() : CPropertyPage(IDD_ROUTE_POINT_PAGE) {}

BOOL CRoutePointPage::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  const CPosition at(m_latitude, m_longitude);
  SetDlgItemText(IDC_POINT_NAME, m_strName);
  SetDlgItemText(IDC_POINT_LATITUDE, at.FormatLatitude());
  SetDlgItemText(IDC_POINT_LONGITUDE, at.FormatLongitude());
  return TRUE;
}
