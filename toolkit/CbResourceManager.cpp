#include "toolkit/CbResourceManager.h"

#include "toolkit/CbCommandBar.h"

// With no separate toolkit module the framework's current module never needs switching, so each
// load is the program's own.

BOOL CCbResourceManager::LoadString(CString& strText, UINT nID) { return AfxLoadString(nID, strText); }

BOOL CCbResourceManager::LoadMenu(CMenu* pMenu, UINT nID) { return pMenu && pMenu->LoadMenu(nID); }

BOOL CCbResourceManager::LoadToolBar(CCbToolBar* pToolBar, UINT nID) { return pToolBar && pToolBar->LoadToolBar(nID); }

BOOL CCbResourceManager::LoadBitmap(CBitmap* pBitmap, UINT nID) { return pBitmap && pBitmap->LoadBitmap(nID); }

const AFX_DLGTEMPLATE* CCbResourceManager::LoadDialogTemplate(UINT nID) { return AfxFindDialogTemplate(nID); }

CCbResourceManager* CbResourceManager() {
  static CCbResourceManager manager;
  return &manager;
}
