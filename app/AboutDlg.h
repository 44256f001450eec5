// The About box: the program's picture, name and version, and where its data comes from.
#pragma once

#include "app/DialogsResource.h"
#include "platform/ui/AfxWin.h"

class CAboutDlg : public CDialog {
  DECLARE_DYNAMIC(CAboutDlg)
  DECLARE_MESSAGE_MAP()
 public:
  explicit CAboutDlg(CWnd* pParent = nullptr);
  CString m_strTitle;

  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnPaint();

 private:
  CBitmap m_bitmap;
  CPalette m_palette;
  BOOL m_bBitmap = FALSE;
};
