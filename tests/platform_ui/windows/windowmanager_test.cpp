// What reaches the program from outside: the window manager moving, sizing and minimising the
// frame, another program taking the activation, the keyboard's Alt and AltGr, and the menu window
// kind that must never take the focus from the frame.
#include "platform/testing/UiTest.h"
#include "platform/ui/AfxWin.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <vector>

namespace {

struct Msg {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

class CRecordWnd : public CWnd {
 public:
  std::vector<Msg> log;
  bool ctrlAtKey = false, altAtKey = false;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_MOVE:
      case WM_SIZE:
      case WM_WINDOWPOSCHANGED:
      case WM_ACTIVATEAPP:
      case WM_CHAR:
      case WM_SYSCHAR: log.push_back({message, wParam, lParam}); break;
      case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_KEYMENU) log.push_back({message, wParam, lParam});
        break;
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        if (wParam == 'Q') {
          ctrlAtKey = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
          altAtKey = (GetKeyState(VK_MENU) & 0x8000) != 0;
        }
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
  }
  int count(UINT message) const {
    int n = 0;
    for (const Msg& m : log) n += m.message == message;
    return n;
  }
  const Msg* last(UINT message) const {
    for (auto it = log.rbegin(); it != log.rend(); ++it)
      if (it->message == message) return &*it;
    return nullptr;
  }
};

struct Frame {
  CRecordWnd wnd;
  Frame() {
    AfxWinInit(0, nullptr);
    LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS);
    EXPECT_TRUE(wnd.CreateEx(0, cls, "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 400, 300, nullptr, nullptr));
    wnd.SetActiveWindow();
    wnd.SetFocus();
    AfxTestWait(20);
    wnd.log.clear();
  }
  ~Frame() { wnd.DestroyWindow(); }
};

TEST(WindowManager, MovesSizesAndMinimisingAreReported) {
  Frame f;
  AfxTestWindowManagerMove(f.wnd.m_hWnd, 200, 150);
  AfxTestWait(2000, [&] { return f.wnd.count(WM_MOVE) > 0; });
  EXPECT_EQ(f.wnd.count(WM_WINDOWPOSCHANGED), 1);
  EXPECT_EQ(f.wnd.count(WM_MOVE), 1);
  EXPECT_EQ(f.wnd.count(WM_SIZE), 0);
  CRect rc;
  f.wnd.GetWindowRect(&rc);
  EXPECT_EQ(rc.left, 200);

  // The program's own move is reported once, not again when the window system confirms it.
  f.wnd.log.clear();
  f.wnd.SetWindowPos(nullptr, 120, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  AfxTestWait(50);
  EXPECT_EQ(f.wnd.count(WM_MOVE), 1);

  f.wnd.log.clear();
  AfxTestWindowManagerResize(f.wnd.m_hWnd, 500, 350);
  AfxTestWait(2000, [&] { return f.wnd.count(WM_SIZE) > 0; });
  ASSERT_EQ(f.wnd.count(WM_SIZE), 1);
  CRect cl;
  f.wnd.GetClientRect(&cl);
  EXPECT_EQ(f.wnd.last(WM_SIZE)->wParam, (WPARAM)SIZE_RESTORED);
  EXPECT_EQ(LOWORD(f.wnd.last(WM_SIZE)->lParam), cl.Width());
  EXPECT_EQ(HIWORD(f.wnd.last(WM_SIZE)->lParam), cl.Height());
  EXPECT_GE(f.wnd.count(WM_WINDOWPOSCHANGED), 1);

  f.wnd.log.clear();
  AfxTestWindowManagerMinimise(f.wnd.m_hWnd, TRUE);
  AfxTestWait(2000, [&] { return f.wnd.count(WM_SIZE) > 0; });
  ASSERT_NE(f.wnd.last(WM_SIZE), nullptr);
  EXPECT_EQ(f.wnd.last(WM_SIZE)->wParam, (WPARAM)SIZE_MINIMIZED);
  EXPECT_TRUE(f.wnd.IsIconic());
  f.wnd.log.clear();
  AfxTestWindowManagerMinimise(f.wnd.m_hWnd, FALSE);
  AfxTestWait(2000, [&] { return f.wnd.count(WM_SIZE) > 0; });
  ASSERT_NE(f.wnd.last(WM_SIZE), nullptr);
  EXPECT_EQ(f.wnd.last(WM_SIZE)->wParam, (WPARAM)SIZE_RESTORED);
  EXPECT_FALSE(f.wnd.IsIconic());
}

TEST(WindowManager, AnotherProgramTakingTheActivationIsReportedOnce) {
  Frame f;
  AfxTestApplicationState(TRUE);
  f.wnd.log.clear();
  AfxTestApplicationState(FALSE);
  AfxTestApplicationState(FALSE);
  ASSERT_EQ(f.wnd.count(WM_ACTIVATEAPP), 1);
  EXPECT_EQ(f.wnd.last(WM_ACTIVATEAPP)->wParam, (WPARAM)FALSE);
  AfxTestApplicationState(TRUE);
  ASSERT_EQ(f.wnd.count(WM_ACTIVATEAPP), 2);
  EXPECT_EQ(f.wnd.last(WM_ACTIVATEAPP)->wParam, (WPARAM)TRUE);
}

// The menu is entered by an Alt tap only: Alt used as a modifier (with a key or a click) is no tap.
TEST(Keyboard, KeyMenuOnlyForAnAltTap) {
  struct Case {
    const char* name;
    std::function<void(HWND)> keys;
    int keyMenus;
  };
  const Case cases[] = {
      {"tap", [](HWND) { AfxTestKeyStroke(VK_MENU); }, 1},
      {"Alt+Backspace",
       [](HWND) {
         AfxTestKey(VK_MENU, TRUE, AFX_TEST_ALT);
         AfxTestKeyStroke(VK_BACK, AFX_TEST_ALT);
         AfxTestKey(VK_MENU, FALSE);
       },
       0},
      {"Alt+click",
       [](HWND h) {
         AfxTestKey(VK_MENU, TRUE, AFX_TEST_ALT);
         AfxTestClick(h, 20, 20, AFX_TEST_ALT);
         AfxTestKey(VK_MENU, FALSE);
       },
       0},
      {"F10", [](HWND) { AfxTestKeyStroke(VK_F10); }, 1},
      {"Shift+Alt",
       [](HWND) {
         AfxTestKey(VK_SHIFT, TRUE, AFX_TEST_SHIFT);
         AfxTestKey(VK_MENU, TRUE, AFX_TEST_SHIFT | AFX_TEST_ALT);
         AfxTestKey(VK_MENU, FALSE, AFX_TEST_SHIFT);
         AfxTestKey(VK_SHIFT, FALSE);
       },
       1},
  };
  Frame f;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    f.wnd.log.clear();
    c.keys(f.wnd.m_hWnd);
    EXPECT_EQ(f.wnd.count(WM_SYSCOMMAND), c.keyMenus);
  }
}

TEST(Keyboard, AltGrIsCtrlAltAndTypesItsCharacter) {
  Frame f;
  AfxTestKey(VK_RMENU, TRUE);
  AfxTestKeyStroke('Q', 0, "@");
  AfxTestKey(VK_RMENU, FALSE);
  EXPECT_TRUE(f.wnd.ctrlAtKey);
  EXPECT_TRUE(f.wnd.altAtKey);
  ASSERT_EQ(f.wnd.count(WM_CHAR), 1);
  EXPECT_EQ(f.wnd.last(WM_CHAR)->wParam, (WPARAM)'@');
  EXPECT_EQ(f.wnd.count(WM_SYSCHAR), 0);
  EXPECT_EQ(f.wnd.count(WM_SYSCOMMAND), 0);  // no menu on its release
  EXPECT_FALSE(GetKeyState(VK_CONTROL) & 0x8000);
  EXPECT_FALSE(GetKeyState(VK_MENU) & 0x8000);
}

TEST(MenuWindow, NeverTakesTheFocusFromTheFrame) {
  Frame f;
  LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS);
  CEdit editCtl;
  ASSERT_TRUE(editCtl.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(10, 10, 200, 34), &f.wnd, 100));
  CWnd* edit = &editCtl;
  edit->SetFocus();
  CWnd menu, plain;
  ASSERT_TRUE(menu.CreateEx(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST, cls, "", WS_POPUP, 60, 60, 120, 160,
                            f.wnd.m_hWnd, nullptr));
  ASSERT_TRUE(plain.CreateEx(WS_EX_TOOLWINDOW, cls, "", WS_POPUP, 300, 60, 50, 50, f.wnd.m_hWnd, nullptr));
  EXPECT_TRUE(AfxTestIsUnmanagedNoFocus(menu.m_hWnd));
  EXPECT_FALSE(AfxTestIsUnmanagedNoFocus(plain.m_hWnd));
  menu.ShowWindow(SW_SHOWNA);
  AfxTestWait(20);
  AfxTestClick(menu.m_hWnd, 30, 30);
  AfxTestWait(20);
  EXPECT_EQ(CWnd::GetActiveWindow(), &f.wnd);
  EXPECT_EQ(CWnd::GetFocus(), edit);
  AfxTestKeyStroke('A', 0, "a");
  CString text;
  edit->GetWindowText(text);
  EXPECT_EQ(text, CString("a"));
  plain.DestroyWindow();
  menu.DestroyWindow();
}

}  // namespace

namespace {

// A window that counts the presses and keys it gets.
class CInputWnd : public CWnd {
 public:
  int presses = 0, keys = 0;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_LBUTTONDOWN) ++presses;
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) ++keys;
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

// While a modal loop's owner is disabled, it, its children and the never-activating windows it
// owns (menus, lists, floating bars) take no input; the modal window it owns still does.
TEST(ModalOwner, TheDisabledOwnerItsChildrenAndItsPopupsTakeNoInput) {
  Frame f;
  LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS);
  CInputWnd child, popup, dialog;
  ASSERT_TRUE(child.CreateEx(0, cls, "", WS_CHILD | WS_VISIBLE, 10, 10, 100, 100, f.wnd.m_hWnd, (HMENU)1));
  ASSERT_TRUE(
      popup.CreateEx(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, cls, "", WS_POPUP, 500, 40, 80, 80, f.wnd.m_hWnd, nullptr));
  popup.ShowWindow(SW_SHOWNA);
  ASSERT_TRUE(dialog.CreateEx(0, cls, "A dialog", WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 100, 100, 200, 150,
                              f.wnd.m_hWnd, nullptr));
  struct Case {
    CInputWnd* w;
    bool takes;
  };
  for (bool disabled : {false, true}) {
    f.wnd.EnableWindow(!disabled);
    for (Case c : {Case{&child, !disabled}, Case{&popup, !disabled}, Case{&dialog, true}}) {
      c.w->presses = c.w->keys = 0;
      AfxTestClick(c.w->m_hWnd, 20, 20);
      ::SetFocus(c.w->m_hWnd);
      AfxTestKeyStroke('Q');
      AfxTestWait(20);
      EXPECT_EQ(c.takes ? 1 : 0, c.w->presses)
          << (disabled ? "disabled " : "enabled ") << (c.w == &dialog ? "dialog" : "window");
      EXPECT_EQ(c.takes ? 1 : 0, c.w->keys)
          << (disabled ? "disabled " : "enabled ") << (c.w == &dialog ? "dialog" : "window");
    }
  }
  f.wnd.EnableWindow(TRUE);
  dialog.DestroyWindow();
  popup.DestroyWindow();
}

// Absurd numbers (a damaged settings file) make no window of gigabytes, and do no harm.
TEST(Geometry, AbsurdRectanglesAreKeptToSaneOnes) {
  Frame f;
  f.wnd.MoveWindow(2147483000, -2147483000, 2147483000, 2147483000);
  CRect r;
  f.wnd.GetWindowRect(&r);
  EXPECT_LE(r.Width(), 8192);
  EXPECT_LE(r.Height(), 8192);
  EXPECT_LE(std::abs(r.left), 32767);
  EXPECT_LE(std::abs(r.top), 32767);
  f.wnd.MoveWindow(40, 40, -500, -500);
  f.wnd.GetWindowRect(&r);
  EXPECT_GE(r.Width(), 0);
  EXPECT_GE(r.Height(), 0);
}

}  // namespace
