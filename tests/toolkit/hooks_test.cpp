// Watching a window's messages through the hook manager, with the window subclassed again later.
#include "toolkit/CbHookManager.h"

#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

namespace {

class CCountWnd : public CWnd {
 public:
  int seen = 0;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_USER + 1) ++seen;
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

struct Watcher : CCbHookManagerHookAble {
  int answer = 0;
  LRESULT result = 0;
  int asked = 0;
  int OnHookMessage(HWND, UINT message, WPARAM&, LPARAM&, LRESULT& lResult) override {
    if (message != WM_USER + 1) return 0;
    ++asked;
    lResult = result;
    return answer;
  }
};

WNDPROC g_laterPrev = nullptr;
int g_laterSeen = 0;
LRESULT laterProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_USER + 1) ++g_laterSeen;
  return ::CallWindowProc(g_laterPrev, h, m, w, l);
}

struct Host {
  CCountWnd wnd;
  Host() {
    AfxWinInit(0, nullptr);
    EXPECT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "host", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
  }
  ~Host() {
    if (wnd.GetSafeHwnd()) wnd.DestroyWindow();
  }
};

TEST(HookManager, WatchersAreAskedLastAddedFirst) {
  Host h;
  HWND hw = h.wnd.m_hWnd;
  WNDPROC original = (WNDPROC)::GetWindowLongPtr(hw, GWLP_WNDPROC);
  Watcher first, second;
  CbHookManager()->SetHook(hw, &first);
  CbHookManager()->SetHook(hw, &second);
  CbHookManager()->SetHook(hw, &second);  // once only

  second.answer = 1;
  second.result = 42;
  EXPECT_EQ(::SendMessage(hw, WM_USER + 1, 0, 0), 42);  // handled: the window never sees it
  EXPECT_EQ(h.wnd.seen, 0);
  EXPECT_EQ(first.asked, 0);

  second.answer = 2;  // stops the asking, the window has it
  ::SendMessage(hw, WM_USER + 1, 0, 0);
  EXPECT_EQ(h.wnd.seen, 1);
  EXPECT_EQ(first.asked, 0);

  second.answer = 0;
  ::SendMessage(hw, WM_USER + 1, 0, 0);
  EXPECT_EQ(first.asked, 1);
  EXPECT_EQ(h.wnd.seen, 2);

  CbHookManager()->RemoveAll(&second);
  CbHookManager()->RemoveHook(hw, &first);
  EXPECT_EQ(CbHookManager()->Lookup(hw), nullptr);
  EXPECT_EQ((WNDPROC)::GetWindowLongPtr(hw, GWLP_WNDPROC), original);
}

TEST(HookManager, ALaterSubclassIsNotCutOutWhenTheWatcherGoes) {
  Host h;
  HWND hw = h.wnd.m_hWnd;
  Watcher w;
  CbHookManager()->SetHook(hw, &w);
  g_laterSeen = 0;
  g_laterPrev = (WNDPROC)::SetWindowLongPtr(hw, GWLP_WNDPROC, (LONG_PTR)&laterProc);
  CbHookManager()->RemoveHook(hw, &w);
  EXPECT_EQ((WNDPROC)::GetWindowLongPtr(hw, GWLP_WNDPROC), &laterProc);
  ::SendMessage(hw, WM_USER + 1, 0, 0);
  EXPECT_EQ(g_laterSeen, 1);
  EXPECT_EQ(h.wnd.seen, 1);  // through the pass-through to the window's own procedure
  EXPECT_EQ(w.asked, 0);
  // Watching again reuses the chained sink.
  CbHookManager()->SetHook(hw, &w);
  ::SendMessage(hw, WM_USER + 1, 0, 0);
  EXPECT_EQ(w.asked, 1);
  EXPECT_EQ(h.wnd.seen, 2);
  CbHookManager()->RemoveAll(&w);  // a watcher leaves before it goes, as the bars do
}

TEST(HookManager, ADestroyedWindowTakesItsSinkWithIt) {
  Host h;
  HWND hw = h.wnd.m_hWnd;
  Watcher w;
  CbHookManager()->SetHook(hw, &w);
  EXPECT_NE(CbHookManager()->Lookup(hw), nullptr);
  h.wnd.DestroyWindow();
  EXPECT_EQ(CbHookManager()->Lookup(hw), nullptr);
  CbHookManager()->RemoveAll(&w);  // nothing left to do
}

}  // namespace
