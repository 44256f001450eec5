// The start-up notice: where the program's data comes from and what it must not be used for.
// Shown on every start; it closes itself after sixteen one-second ticks.
#pragma once

#include "app/DialogsResource.h"
#include "platform/ui/AfxWin.h"

class CDlgWarning : public CDialog {
  DECLARE_DYNAMIC(CDlgWarning)
  DECLARE_MESSAGE_MAP()
 public:
  static constexpr UINT kTimerId = 3;
  static constexpr UINT kTimerPeriod = 1000;
  // The tick that finds the count above this ends the notice.
  static constexpr int kLastTick = 14;

  explicit CDlgWarning(CWnd* pParent = nullptr);

  // The notice's whole text, its parts separated by blank lines.
  static CString BuildNoticeText();
  int GetTickCount() const { return m_nTicks; }

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  void OnTimer(UINT_PTR nIDEvent);
  void OnDestroy();

 private:
  CStatic m_title;
  CString m_strSources, m_strCoastlines, m_strDisclaimer, m_strWarning, m_strText;
  CFont m_font;
  int m_nTicks = 0;
};
