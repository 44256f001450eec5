// Watching messages of windows the bars do not own (the frame, for the menu bar's Alt and size
// handling): the window's procedure is replaced by one that asks the watchers first.
#pragma once

#include "platform/ui/AfxWin.h"

#include <unordered_map>
#include <vector>

class CCbHookManagerHookAble {
 public:
  virtual ~CCbHookManagerHookAble() = default;
  // 0 asks the next watcher; 1 returns lResult at once; 2 stops asking and lets the window have it.
  virtual int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult) = 0;
};

// One watched window: its previous procedure and its watchers, last added asked first.
class CHookSink {
 public:
  explicit CHookSink(HWND hWnd);
  ~CHookSink();

  HWND m_hWnd;
  WNDPROC m_pOldWndProc;
  std::vector<CCbHookManagerHookAble*> m_arrHookAble;

  // The previous procedure goes back only while ours is the current one; under a later subclass
  // putting it back would cut that subclass out, so the sink stays as a bare pass-through.
  BOOL Unhook();
  static LRESULT HookWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
};

class CCbHookManager {
 public:
  void SetHook(HWND hWnd, CCbHookManagerHookAble* pHook);
  void RemoveHook(HWND hWnd, CCbHookManagerHookAble* pHook);
  void RemoveAll(CCbHookManagerHookAble* pHook);
  void RemoveAll(HWND hWnd);
  // The window's sink with watchers, or null.
  CHookSink* Lookup(HWND hWnd) const;

 private:
  friend class CHookSink;
  CHookSink* find(HWND hWnd) const;
  void drop(HWND hWnd);
  std::unordered_map<HWND, CHookSink*> m_mapHooks;
};

CCbHookManager* CbHookManager();
