// What the chart's route side asks of the program, answered from the main frame and its chart.
#pragma once

#include "chart/ChartRoutes.h"

class CMainFrame;

class CChartRoutesLink : public IChartRoutesHost {
 public:
  explicit CChartRoutesLink(CMainFrame* pFrame) : m_pFrame(pFrame) {}
  int GetRegion() const override;
  int GetZoneOffsetMinutes() const override;
  CQsDateTime GetSelectedDate() const override;
  HWND GetTrackNotifyWindow() const override;
  void RedrawRoutes() override;

 private:
  CMainFrame* m_pFrame;
};
