// Per-thread followers of the bars in tracking mode (an open menu, an active menu bar): the mouse
// manager closes them on a click elsewhere, the keyboard manager gives them the keys.
#pragma once

#include "toolkit/CbHookManager.h"

#include <vector>

class CCbCommandBar;

class CCbMouseManager {
 public:
  static constexpr UINT kLeaveTimer = 113341;

  CCbMouseManager();
  ~CCbMouseManager();

  void SetTrack(CCbCommandBar* pBar);
  void RemoveTrack(CCbCommandBar* pBar);
  // The outermost tracked bar ends its tracking, which closes its whole chain of popups.
  void SendTrackLost();
  BOOL IsTrackedBar(const CCbCommandBar* pBar) const;
  BOOL IsTracking() const { return !m_arrTracked.empty(); }
  const std::vector<CCbCommandBar*>& GetTrackArray() const { return m_arrTracked; }

  // An open combo list or a focused bar edit window holds a lock for its window: hover actions
  // and closing on a button release wait. A lock whose window is gone counts no more, and every
  // lock ends with the tracking, so a window that dies without unlocking cannot leave hover dead.
  void LockMouseMove(HWND hWnd);
  void UnlockMouseMove(HWND hWnd);
  BOOL IsMouseLocked() const;

  void SetHotBar(CCbCommandBar* pBar) { m_pHotBar = pBar; }
  CCbCommandBar* GetHotBar() const { return m_pHotBar; }
  void IgnoreLButtonUp() { m_bIgnoreLButtonUp = TRUE; }
  void SetForceExpanded(BOOL b) { m_bForceExpanded = b; }
  BOOL IsForceExpanded() const { return m_bForceExpanded; }
  void AddTrustedWindow(HWND hWnd) { m_arrTrusted.push_back(hWnd); }
  void RemoveTrustedWindows() { m_arrTrusted.clear(); }

  // Posts WM_MOUSELEAVE to the window once the pointer has left it, polling every 50 ms.
  void TrackMouseLeave(HWND hWnd);

 private:
  static LRESULT MouseProc(int nCode, WPARAM wParam, LPARAM lParam);
  static void leaveTimerProc(HWND hWnd, UINT, UINT_PTR, DWORD);
  LRESULT onMouse(int nCode, WPARAM wParam, LPARAM lParam);
  void onLeaveTimer(HWND hWnd);

  HHOOK m_hHook = nullptr;
  std::vector<CCbCommandBar*> m_arrTracked;  // outermost first, each holding a reference
  std::vector<HWND> m_arrLocks;
  std::vector<HWND> m_arrTrusted;
  CCbCommandBar* m_pHotBar = nullptr;
  HWND m_hPolled = nullptr;
  BOOL m_bForceExpanded = FALSE;
  BOOL m_bIgnoreLButtonUp = FALSE;
  POINT m_ptLast{-32000, -32000};
  BOOL m_bCustomize = FALSE;
};

class CCbKeyboardManager {
 public:
  ~CCbKeyboardManager();
  void HookKeyboard(CCbHookManagerHookAble* pBar);
  void UnhookKeyboard(CCbHookManagerHookAble* pBar);
  BOOL IsHooked(CCbHookManagerHookAble* pBar) const;
  BOOL HasHooks() const { return m_hKeyboard != nullptr && !m_arrBars.empty(); }
  // While a menu is open the wheel is its, wherever the pointer is: offered to the hooked bars,
  // the innermost first. FALSE (not handled) when no bar is hooked.
  BOOL ProcessMouseWheel(WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT KeyboardProc(int nCode, WPARAM wParam, LPARAM lParam);
  static LRESULT CallWndProc(int nCode, WPARAM wParam, LPARAM lParam);
  void unhookAll();

  HHOOK m_hKeyboard = nullptr;
  HHOOK m_hCallWnd = nullptr;
  std::vector<CCbHookManagerHookAble*> m_arrBars;
};

CCbMouseManager* CbMouseManager();
CCbKeyboardManager* CbKeyboardManager();
