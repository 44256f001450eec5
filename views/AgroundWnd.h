// The running-aground panel under the graph. Placeholder until the real panel lands: it keeps
// what the frame pushes into it, so the frame's code is the real one.
#pragma once

#include "platform/ui/AfxWin.h"
#include "views/ViewHost.h"

class CAgroundWnd : public CWnd {
  DECLARE_DYNAMIC(CAgroundWnd)
  DECLARE_MESSAGE_MAP()
 public:
  BOOL Create(CWnd* pParent, const RECT& rect, UINT nID);
  void SetHost(IViewHost* pHost) { m_pHost = pHost; }

  void SetDraught(double d) { m_dDraught = d; }
  double GetDraught() const { return m_dDraught; }
  void SetHeightAboveDatum(double d) { m_dHeight = d; }
  double GetHeightAboveDatum() const { return m_dHeight; }
  void SetDropToLowWater(double d) {
    m_dDrop = d;
    m_bDropUnknown = d == -100.0;
  }
  double GetDropToLowWater() const { return m_dDrop; }
  int IsDropUnknown() const { return m_bDropUnknown; }
  void UpdateResults();
  void SetUseCurrentTime(int b) { m_bUseCurrentTime = b; }
  int IsUseCurrentTime() const { return m_bUseCurrentTime; }
  void SetTimeMinutes(int n) { m_nMinutes = n; }
  int GetTimeMinutes() const { return m_nMinutes; }
  void SetDepthOfWater(double d) { m_dDepth = d; }
  double GetDepthOfWater() const { return m_bFeet ? m_dDepth / 3.2808 : m_dDepth; }
  void SetFeet(int b);
  int IsFeet() const { return m_bFeet; }

  void OnPaint();

 private:
  IViewHost* m_pHost = nullptr;
  double m_dDraught = 1.0, m_dHeight = 0.0, m_dDrop = 0.0, m_dDepth = 5.0;
  int m_bDropUnknown = 0, m_bUseCurrentTime = 0, m_nMinutes = 720, m_bFeet = 0;
};
