#include "toolkit/CbHookManager.h"

#include <algorithm>

CHookSink::CHookSink(HWND hWnd) : m_hWnd(hWnd) {
  m_pOldWndProc = (WNDPROC)::SetWindowLongPtr(hWnd, GWLP_WNDPROC, (LONG_PTR)&CHookSink::HookWndProc);
}

CHookSink::~CHookSink() { Unhook(); }

BOOL CHookSink::Unhook() {
  if (!::IsWindow(m_hWnd)) return TRUE;
  if ((WNDPROC)::GetWindowLongPtr(m_hWnd, GWLP_WNDPROC) != &CHookSink::HookWndProc) return FALSE;
  ::SetWindowLongPtr(m_hWnd, GWLP_WNDPROC, (LONG_PTR)m_pOldWndProc);
  return TRUE;
}

LRESULT CHookSink::HookWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CCbHookManager* mgr = CbHookManager();
  CHookSink* sink = mgr->find(hWnd);
  if (!sink) return ::DefWindowProc(hWnd, message, wParam, lParam);
  WNDPROC old = sink->m_pOldWndProc;
  if (message == WM_NCDESTROY) {
    mgr->drop(hWnd);
    return ::CallWindowProc(old, hWnd, message, wParam, lParam);
  }
  // A watcher may remove itself or others while it is asked.
  std::vector<CCbHookManagerHookAble*> hooks = sink->m_arrHookAble;
  for (auto it = hooks.rbegin(); it != hooks.rend(); ++it) {
    CHookSink* now = mgr->find(hWnd);
    if (!now) break;
    if (std::find(now->m_arrHookAble.begin(), now->m_arrHookAble.end(), *it) == now->m_arrHookAble.end()) continue;
    LRESULT result = 0;
    int answer = (*it)->OnHookMessage(hWnd, message, wParam, lParam, result);
    if (answer == 1) return result;
    if (answer == 2) break;
  }
  return ::CallWindowProc(old, hWnd, message, wParam, lParam);
}

CHookSink* CCbHookManager::find(HWND hWnd) const {
  auto it = m_mapHooks.find(hWnd);
  return it == m_mapHooks.end() ? nullptr : it->second;
}

CHookSink* CCbHookManager::Lookup(HWND hWnd) const {
  CHookSink* sink = find(hWnd);
  return sink && !sink->m_arrHookAble.empty() ? sink : nullptr;
}

void CCbHookManager::drop(HWND hWnd) {
  auto it = m_mapHooks.find(hWnd);
  if (it == m_mapHooks.end()) return;
  CHookSink* sink = it->second;
  m_mapHooks.erase(it);
  delete sink;
}

void CCbHookManager::SetHook(HWND hWnd, CCbHookManagerHookAble* pHook) {
  if (!pHook || !::IsWindow(hWnd)) return;
  CHookSink* sink = find(hWnd);
  if (!sink) {
    sink = new CHookSink(hWnd);
    m_mapHooks[hWnd] = sink;
  }
  if (std::find(sink->m_arrHookAble.begin(), sink->m_arrHookAble.end(), pHook) == sink->m_arrHookAble.end())
    sink->m_arrHookAble.push_back(pHook);
}

void CCbHookManager::RemoveHook(HWND hWnd, CCbHookManagerHookAble* pHook) {
  CHookSink* sink = find(hWnd);
  if (!sink) return;
  auto& v = sink->m_arrHookAble;
  v.erase(std::remove(v.begin(), v.end(), pHook), v.end());
  // An empty sink under a later subclass stays chained as a pass-through until the window goes.
  if (v.empty() && sink->Unhook()) drop(hWnd);
}

void CCbHookManager::RemoveAll(CCbHookManagerHookAble* pHook) {
  std::vector<HWND> windows;
  for (auto& e : m_mapHooks) windows.push_back(e.first);
  for (HWND h : windows) RemoveHook(h, pHook);
}

void CCbHookManager::RemoveAll(HWND hWnd) {
  CHookSink* sink = find(hWnd);
  if (!sink) return;
  sink->m_arrHookAble.clear();
  if (sink->Unhook()) drop(hWnd);
}

CCbHookManager* CbHookManager() {
  // Never destroyed: sinks left at exit belong to windows that are gone with the process.
  static CCbHookManager* manager = new CCbHookManager;
  return manager;
}
