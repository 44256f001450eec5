// The frame's main menu as a toolbar: its titles open their menus by mouse, Alt, F10 and
// Alt+letter. It watches the frame's messages for the system's menu key.
#pragma once

#include "toolkit/CbCommandBar.h"

class CCbMenuBar : public CCbToolBar {
  DECLARE_SERIAL(CCbMenuBar)
 public:
  CCbMenuBar();
  ~CCbMenuBar() override;

  // The menu resource's items become the bar's controls; FALSE when it can't be loaded.
  BOOL LoadMenuBar(UINT nIDResource);
  BOOL SetTrackingMode(int nMode, BOOL bSelectFirst = TRUE, BOOL bKeyboard = FALSE) override;
  int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult) override;
  // Alt+letter: selects the title whose mnemonic it is, and opens it when no other shares it.
  BOOL OnAccelerator(UINT nChar);
  // Starts watching the frame (once it exists).
  void HookSite();
  void UnhookSite();
  void DoPropExchange(CCbPropExchange* pPX) override;
  UINT GetResourceId() const { return m_nResourceId; }

 private:
  HWND m_hHookedSite = nullptr;
  UINT m_nResourceId = 0;
};
