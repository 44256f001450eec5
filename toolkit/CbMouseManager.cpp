#include "toolkit/CbMouseManager.h"

#include "toolkit/CbCommandBar.h"

#include <algorithm>
#include <memory>

namespace {
thread_local std::unique_ptr<CCbMouseManager> t_mouse;
thread_local std::unique_ptr<CCbKeyboardManager> t_keyboard;
}  // namespace

CCbMouseManager* CbMouseManager() {
  if (!t_mouse) t_mouse = std::make_unique<CCbMouseManager>();
  return t_mouse.get();
}

CCbKeyboardManager* CbKeyboardManager() {
  if (!t_keyboard) t_keyboard = std::make_unique<CCbKeyboardManager>();
  return t_keyboard.get();
}

// ---- Mouse ----

CCbMouseManager::CCbMouseManager() { m_hHook = ::SetWindowsHookEx(WH_MOUSE, &CCbMouseManager::MouseProc, nullptr, 0); }

CCbMouseManager::~CCbMouseManager() {
  if (m_hHook) ::UnhookWindowsHookEx(m_hHook);
  for (CCbCommandBar* b : m_arrTracked) b->InternalRelease();
}

BOOL CCbMouseManager::IsTrackedBar(const CCbCommandBar* pBar) const {
  return std::find(m_arrTracked.begin(), m_arrTracked.end(), pBar) != m_arrTracked.end();
}

void CCbMouseManager::SetTrack(CCbCommandBar* pBar) {
  if (!pBar) return;
  if (m_arrTracked.empty() && m_pHotBar && m_pHotBar != pBar && m_pHotBar->GetSafeHwnd()) m_pHotBar->SetSelected(-1);
  if (IsTrackedBar(pBar)) return;
  pBar->InternalAddRef();
  m_arrTracked.push_back(pBar);
}

void CCbMouseManager::RemoveTrack(CCbCommandBar* pBar) {
  auto it = std::find(m_arrTracked.begin(), m_arrTracked.end(), pBar);
  if (it == m_arrTracked.end()) return;
  m_arrTracked.erase(it);
  if (m_arrTracked.empty()) {
    // Fresh mouse messages for the window under the pointer; locks and expansion end with tracking.
    POINT pt;
    ::GetCursorPos(&pt);
    ::SetCursorPos(pt.x, pt.y);
    m_bIgnoreLButtonUp = FALSE;
    m_bForceExpanded = FALSE;
    m_arrLocks.clear();
  }
  pBar->InternalRelease();
}

void CCbMouseManager::SendTrackLost() {
  if (m_arrTracked.empty()) return;
  CCbCommandBar* outer = m_arrTracked.front();
  outer->InternalAddRef();
  outer->SetTrackingMode(FALSE);
  RemoveTrack(outer);  // when the bar did not take itself out
  outer->InternalRelease();
}

void CCbMouseManager::LockMouseMove(HWND hWnd) {
  if (hWnd && std::find(m_arrLocks.begin(), m_arrLocks.end(), hWnd) == m_arrLocks.end()) m_arrLocks.push_back(hWnd);
}

void CCbMouseManager::UnlockMouseMove(HWND hWnd) {
  m_arrLocks.erase(std::remove(m_arrLocks.begin(), m_arrLocks.end(), hWnd), m_arrLocks.end());
}

BOOL CCbMouseManager::IsMouseLocked() const {
  for (HWND h : m_arrLocks)
    if (::IsWindow(h)) return TRUE;
  return FALSE;
}

LRESULT CCbMouseManager::MouseProc(int nCode, WPARAM wParam, LPARAM lParam) {
  CCbMouseManager* m = CbMouseManager();
  return m->onMouse(nCode, wParam, lParam);
}

LRESULT CCbMouseManager::onMouse(int nCode, WPARAM wParam, LPARAM lParam) {
  HHOOK hook = m_hHook;
  if (nCode != HC_ACTION) return ::CallNextHookEx(hook, nCode, wParam, lParam);
  auto* mh = reinterpret_cast<MOUSEHOOKSTRUCT*>(lParam);
  UINT msg = (UINT)wParam;
  if (msg == WM_LBUTTONDOWN)
    m_bIgnoreLButtonUp = FALSE;
  else if (msg == WM_LBUTTONUP && m_bIgnoreLButtonUp) {
    m_bIgnoreLButtonUp = FALSE;
    return TRUE;
  }
  POINT pt = mh ? mh->pt : POINT{0, 0};
  bool move = msg == WM_MOUSEMOVE || msg == WM_NCMOUSEMOVE;
  if (!m_arrTracked.empty() && move && pt.x == m_ptLast.x && pt.y == m_ptLast.y) return TRUE;
  m_ptLast = pt;
  if (m_arrTracked.empty()) return ::CallNextHookEx(hook, nCode, wParam, lParam);

  HWND under = ::WindowFromPoint(pt);
  std::vector<CCbCommandBar*> bars = m_arrTracked;
  for (CCbCommandBar* b : bars) b->InternalAddRef();
  bool handledByBar = false;
  for (CCbCommandBar* b : bars) {
    if (!b->GetSafeHwnd()) continue;
    int ht = b->OnMouseHitTest(CPoint(pt));
    if (ht == HTERROR) continue;
    if (ht == HTCLIENT) {
      handledByBar = true;
      break;
    }
    if (under && (under == b->GetSafeHwnd() || ::IsChild(b->GetSafeHwnd(), under))) {
      handledByBar = true;
      break;
    }
  }
  if (!handledByBar && m_bCustomize)
    for (HWND h : m_arrTrusted)
      if (under && (under == h || ::IsChild(h, under))) handledByBar = true;
  if (!handledByBar) {
    bool release = msg == WM_LBUTTONUP || msg == WM_NCLBUTTONUP;
    bool press = msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN || msg == WM_NCLBUTTONDOWN ||
                 msg == WM_NCRBUTTONDOWN || msg == WM_NCMBUTTONDOWN || msg == WM_LBUTTONDBLCLK ||
                 msg == WM_RBUTTONDBLCLK || msg == WM_NCLBUTTONDBLCLK;
    for (CCbCommandBar* b : bars) {
      if (!IsTrackedBar(b) || !b->GetSafeHwnd()) continue;
      if (move) {
        CPoint c(pt);
        b->ScreenToClient(&c);
        b->OnTrackMouseMove(c);
      } else if ((release && !IsMouseLocked()) || press) {
        b->SetTrackingMode(FALSE);
        RemoveTrack(b);
      }
    }
  }
  for (CCbCommandBar* b : bars) b->InternalRelease();
  // A click elsewhere both closes the menus and reaches its window.
  return ::CallNextHookEx(hook, nCode, wParam, lParam);
}

void CCbMouseManager::TrackMouseLeave(HWND hWnd) {
  if (!hWnd || hWnd == m_hPolled) return;
  if (m_hPolled && ::IsWindow(m_hPolled)) {
    ::KillTimer(m_hPolled, kLeaveTimer);
    ::PostMessage(m_hPolled, WM_MOUSELEAVE, 0, 0);
  }
  m_hPolled = hWnd;
  ::SetTimer(hWnd, kLeaveTimer, 50, &CCbMouseManager::leaveTimerProc);
}

void CCbMouseManager::leaveTimerProc(HWND hWnd, UINT, UINT_PTR, DWORD) { CbMouseManager()->onLeaveTimer(hWnd); }

void CCbMouseManager::onLeaveTimer(HWND hWnd) {
  if (!::IsWindow(hWnd)) {
    if (hWnd == m_hPolled) m_hPolled = nullptr;
    return;
  }
  POINT pt;
  ::GetCursorPos(&pt);
  RECT rc;
  ::GetWindowRect(hWnd, &rc);
  bool inside = pt.x >= rc.left && pt.x < rc.right && pt.y >= rc.top && pt.y < rc.bottom;
  HWND under = ::WindowFromPoint(pt);
  bool over = under && (under == hWnd || ::IsChild(hWnd, under));
  if (inside && over) return;
  ::KillTimer(hWnd, kLeaveTimer);
  if (hWnd == m_hPolled) m_hPolled = nullptr;
  ::PostMessage(hWnd, WM_MOUSELEAVE, 0, 0);
}

// ---- Keyboard ----

CCbKeyboardManager::~CCbKeyboardManager() { unhookAll(); }

void CCbKeyboardManager::unhookAll() {
  if (m_hKeyboard) ::UnhookWindowsHookEx(m_hKeyboard);
  if (m_hCallWnd) ::UnhookWindowsHookEx(m_hCallWnd);
  m_hKeyboard = m_hCallWnd = nullptr;
}

BOOL CCbKeyboardManager::IsHooked(CCbHookManagerHookAble* pBar) const {
  return std::find(m_arrBars.begin(), m_arrBars.end(), pBar) != m_arrBars.end();
}

void CCbKeyboardManager::HookKeyboard(CCbHookManagerHookAble* pBar) {
  if (!pBar) return;
  if (!m_hKeyboard) m_hKeyboard = ::SetWindowsHookEx(WH_KEYBOARD, &CCbKeyboardManager::KeyboardProc, nullptr, 0);
  if (!m_hCallWnd) m_hCallWnd = ::SetWindowsHookEx(WH_CALLWNDPROC, &CCbKeyboardManager::CallWndProc, nullptr, 0);
  if (!IsHooked(pBar)) m_arrBars.push_back(pBar);
}

void CCbKeyboardManager::UnhookKeyboard(CCbHookManagerHookAble* pBar) {
  m_arrBars.erase(std::remove(m_arrBars.begin(), m_arrBars.end(), pBar), m_arrBars.end());
  if (m_arrBars.empty()) unhookAll();
}

LRESULT CCbKeyboardManager::KeyboardProc(int nCode, WPARAM wParam, LPARAM lParam) {
  CCbKeyboardManager* k = CbKeyboardManager();
  HHOOK hook = k->m_hKeyboard;
  if (nCode != HC_ACTION || (lParam & (LPARAM)0x80000000u) || k->m_arrBars.empty())
    return ::CallNextHookEx(hook, nCode, wParam, lParam);
  if (lParam & ((LPARAM)1 << 29)) {  // Alt held
    if (CbMouseManager()->IsMouseLocked()) return ::CallNextHookEx(hook, nCode, wParam, lParam);
    if (wParam == VK_MENU) {
      if (lParam & ((LPARAM)1 << 30)) return TRUE;  // a repeat
      CbMouseManager()->SendTrackLost();
      return TRUE;
    }
  }
  // Keys belong to the innermost bar first; a bar may hand a key on to the focused window.
  std::vector<CCbHookManagerHookAble*> bars = k->m_arrBars;
  for (auto it = bars.rbegin(); it != bars.rend(); ++it) {
    if (!k->IsHooked(*it)) continue;
    WPARAM wp = wParam;
    LPARAM lp = lParam;
    LRESULT result = 0;
    int answer = (*it)->OnHookMessage(nullptr, WM_KEYDOWN, wp, lp, result);
    if (answer == 1) return TRUE;
    if (answer == 2) return ::CallNextHookEx(hook, nCode, wParam, lParam);
  }
  return TRUE;
}

BOOL CCbKeyboardManager::ProcessMouseWheel(WPARAM wParam, LPARAM lParam) {
  if (!HasHooks()) return FALSE;
  std::vector<CCbHookManagerHookAble*> bars = m_arrBars;
  for (auto it = bars.rbegin(); it != bars.rend(); ++it) {
    if (!IsHooked(*it)) continue;
    WPARAM wp = wParam;
    LPARAM lp = lParam;
    LRESULT result = 0;
    if ((*it)->OnHookMessage(nullptr, WM_MOUSEWHEEL, wp, lp, result) == 1) break;
  }
  return TRUE;
}

LRESULT CCbKeyboardManager::CallWndProc(int nCode, WPARAM wParam, LPARAM lParam) {
  CCbKeyboardManager* k = CbKeyboardManager();
  HHOOK hook = k->m_hCallWnd;
  auto* cwp = reinterpret_cast<CWPSTRUCT*>(lParam);
  if (nCode == HC_ACTION && cwp && cwp->message == WM_ACTIVATEAPP && cwp->wParam == 0)
    CbMouseManager()->SendTrackLost();
  return ::CallNextHookEx(hook, nCode, wParam, lParam);
}
