#include "toolkit/CbMenuBar.h"

#include "toolkit/CbCommandBars.h"
#include "toolkit/CbHookManager.h"
#include "toolkit/CbPropExchange.h"

#include "platform/ui/Menu.h"

IMPLEMENT_SERIAL(CCbMenuBar, CCbToolBar, VERSIONABLE_SCHEMA | kCbPropSchema)

CCbMenuBar::CCbMenuBar() {
  m_barType = 0;
  m_bCloseable = FALSE;
}

CCbMenuBar::~CCbMenuBar() { UnhookSite(); }

void CCbMenuBar::HookSite() {
  CWnd* site = GetSite();
  HWND h = site ? site->GetSafeHwnd() : nullptr;
  if (!h || h == m_hHookedSite) return;
  UnhookSite();
  CbHookManager()->SetHook(h, this);
  m_hHookedSite = h;
}

void CCbMenuBar::UnhookSite() {
  if (m_hHookedSite) CbHookManager()->RemoveHook(m_hHookedSite, this);
  m_hHookedSite = nullptr;
}

BOOL CCbMenuBar::LoadMenuBar(UINT nIDResource) {
  CMenu menu;
  if (!menu.LoadMenu(nIDResource)) return FALSE;
  m_pControls->RemoveAll();
  m_nBarID = nIDResource;
  m_nResourceId = nIDResource;
  m_pControls->LoadMenu(&menu, GetSite());
  m_pControls->CreateResetCopy();
  HookSite();
  if (m_pCommandBars) m_pCommandBars->RecalcFrameLayout(TRUE);
  return TRUE;
}

BOOL CCbMenuBar::SetTrackingMode(int nMode, BOOL bSelectFirst, BOOL bKeyboard) {
  if ((nMode != 0) != (m_bTracking != 0))
    if (CWnd* site = GetSite(); site && site->GetSafeHwnd())
      site->SendMessage(WM_BAR_TRACKING, (WPARAM)(nMode != 0), (LPARAM)this);
  return CCbToolBar::SetTrackingMode(nMode, bSelectFirst, bKeyboard);
}

BOOL CCbMenuBar::OnAccelerator(UINT nChar) {
  if (!GetSafeHwnd() || !IsVisible()) return FALSE;
  int count = 0;
  const int found = FindAccel(nChar, &count);
  if (found < 0) return FALSE;
  CCbRefHolder<CCbCommandBar> hold(this);
  if (!m_bTracking) SetTrackingMode(TRUE, FALSE, TRUE);
  SetSelected(found, TRUE);
  if (count == 1)
    if (CCbControl* c = GetControl(found)) c->OnClick(TRUE);
  return TRUE;
}

int CCbMenuBar::OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult) {
  // Keys while tracking come from the keyboard hook without a window.
  if (!hWnd) return CCbToolBar::OnHookMessage(hWnd, nMessage, wParam, lParam, lResult);
  if (nMessage == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_KEYMENU) {
    if (!GetSafeHwnd() || !IsVisible() || !IsWindowVisible() || (::GetKeyState(VK_SHIFT) & 0x8000)) return 0;
    CCbRefHolder<CCbCommandBar> hold(this);
    if (lParam == 0) {
      // Alt alone or F10: the menu bar takes the keys, the first title selected.
      if (m_bTracking)
        SetTrackingMode(FALSE);
      else
        SetTrackingMode(TRUE, TRUE, TRUE);
      lResult = 0;
      return 1;
    }
    // The letter's key press already reached the bar (the frame's key filter): its character
    // is not a second press.
    if (m_bTracking || OnAccelerator((UINT)lParam)) {
      lResult = 0;
      return 1;
    }
    return 0;
  }
  if (nMessage == WM_DESTROY && hWnd == m_hHookedSite) {
    if (m_bTracking) SetTrackingMode(FALSE);
    UnhookSite();
  }
  return 0;
}
