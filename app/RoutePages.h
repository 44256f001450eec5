// The "Route" property sheet's pages: the route's start time and speed, and a waypoint's name
// and position.
#pragma once

#include "model/QsDateTime.h"
#include "platform/ui/AfxWin.h"
#include "platform/ui/PropSheet.h"

class CRoutePage : public CPropertyPage {
  DECLARE_DYNAMIC(CRoutePage)
 public:
  CRoutePage();
  CQsDateTime m_time;  // only the hour and minute are edited
  double m_speed = 5.0;

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnKillActive() override;
};

class CRoutePointPage : public CPropertyPage {
  DECLARE_DYNAMIC(CRoutePointPage)
 public:
  CRoutePointPage();
  CString m_strName;
  double m_latitude = 0.0;
  double m_longitude = 0.0;

  BOOL OnInitDialog() override;
};
