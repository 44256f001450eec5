// The tip of the day: one tip at a time from the program's "tips.txt", remembering where it
// was in the file and whether to show at start-up ("Tip" section of the settings).
#pragma once

#include "app/DialogsResource.h"
#include "platform/ui/AfxWin.h"

#include <cstdio>

class CTipDlg : public CDialog {
  DECLARE_DYNAMIC(CTipDlg)
  DECLARE_MESSAGE_MAP()
 public:
  // pszTipsFile: the file to read; null for "tips.txt" of the program's data folder.
  explicit CTipDlg(CWnd* pParent = nullptr, LPCTSTR pszTipsFile = nullptr);
  ~CTipDlg() override;

  // Where the program keeps its tips.
  static CString GetTipsPath();

  int m_bStartup = 0;  // the check box: show tips at start-up
  CString m_strTip;

  BOOL IsFileOpen() const { return m_pStream != nullptr; }
  void GetNextTipString(CString& strNext);

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  void OnOK() override;
  void OnCancel() override;
  void OnNextTip();
  void OnPaint();
  HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

 private:
  void SaveStartup();
  FILE* m_pStream = nullptr;
  CBrush m_white;
};
