// The toolkit's resource loads: first from the toolkit's own resource module, then from the
// program's. Here the toolkit's resources are built into the program, so both are the same.
#pragma once

#include "platform/ui/AfxWin.h"

class CCbToolBar;

class CCbResourceManager {
 public:
  BOOL IsValid() const { return m_bValid; }
  // Each FALSE (or null) when the resource is missing.
  BOOL LoadString(CString& strText, UINT nID);
  BOOL LoadMenu(CMenu* pMenu, UINT nID);
  BOOL LoadToolBar(CCbToolBar* pToolBar, UINT nID);
  BOOL LoadBitmap(CBitmap* pBitmap, UINT nID);
  const AFX_DLGTEMPLATE* LoadDialogTemplate(UINT nID);

 private:
  BOOL m_bValid = TRUE;
};

CCbResourceManager* CbResourceManager();
