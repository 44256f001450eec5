// The title strip above a pane: the current port's name (or the page title) with a button
// that opens the recent ports or the page menu. Placeholder until the real strip lands.
#pragma once

#include "platform/ui/AfxWin.h"

class CPortNameWnd : public CWnd {
  DECLARE_DYNAMIC(CPortNameWnd)
  DECLARE_MESSAGE_MAP()
 public:
  BOOL Create(const RECT& rect, CWnd* pParent, UINT nID);
  void SetText(LPCTSTR lpszText);
  CString GetText() const { return m_strText; }
  void SetMenuMode() { m_bMenuMode = 1; }
  void SetStatic(int b);
  int IsStatic() const { return m_bStatic; }
  void SetOptionFlag(int n) { m_nOption = n; }
  int GetOptionFlag() const { return m_nOption; }

  void OnPaint();
  void OnLButtonUp(UINT nFlags, CPoint point);
  void OnEnable(BOOL bEnable);

 private:
  CString m_strText = "Port Name";
  int m_bMenuMode = 0, m_bStatic = 0, m_nOption = 0;
};
