// The tide height finder page. Placeholder until the real finder lands: it keeps what the
// frame pushes into it, so the frame's code is the real one.
#pragma once

#include "platform/ui/AfxWin.h"
#include "views/ViewHost.h"

class CHeightFindWnd : public CWnd {
  DECLARE_DYNAMIC(CHeightFindWnd)
  DECLARE_MESSAGE_MAP()
 public:
  BOOL Create(CWnd* pParent, const RECT& rect, UINT nID);
  void SetHost(IViewHost* pHost) { m_pHost = pHost; }

  void SetMonth(int nMonth) { m_nMonth = nMonth; }
  void SetYear(int nYear) { m_nYear = nYear; }
  int GetMonth() const { return m_nMonth; }
  int GetYear() const { return m_nYear; }
  void SetPortName(LPCTSTR lpszName);
  CString GetPortName() const { return m_strPortName; }
  void SetFeet(int b) { m_bFeet = b; }
  int IsFeet() const { return m_bFeet; }
  // The search: counted here so the frame's rules about when it runs can be seen.
  void Find();
  int GetFindCount() const { return m_nFinds; }
  void ClearResults() { m_bResults = 0; }
  void SetCalculated(int b) { m_bCalculated = b; }
  int IsCalculated() const { return m_bCalculated; }
  int HasResults() const { return m_bResults; }
  int IsMatch() const { return m_bCalculated; }
  void Print() {}
  void SaveAs() {}

  void OnPaint();

 private:
  IViewHost* m_pHost = nullptr;
  int m_nMonth = 1, m_nYear = 2010, m_bFeet = 0, m_bCalculated = 0, m_bResults = 0, m_nFinds = 0;
  CString m_strPortName;
};
