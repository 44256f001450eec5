// Windows: creation and destruction order, geometry, posted messages, timers, capture,
// and mouse and key input through real Qt events.
#include "platform/testing/UiTest.h"
#include "platform/ui/AfxWin.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Logged {
  std::string who;
  UINT msg;
  WPARAM wp;
  LPARAM lp;
};
std::vector<Logged> g_log;

const UINT kWatched[] = {WM_NCCREATE,       WM_CREATE,      WM_SIZE,         WM_MOVE,        WM_SHOWWINDOW,
                         WM_DESTROY,        WM_NCDESTROY,   WM_PARENTNOTIFY, WM_LBUTTONDOWN, WM_LBUTTONUP,
                         WM_LBUTTONDBLCLK,  WM_RBUTTONDOWN, WM_RBUTTONUP,    WM_MOUSEMOVE,   WM_MOUSEWHEEL,
                         WM_KEYDOWN,        WM_KEYUP,       WM_CHAR,         WM_SYSKEYDOWN,  WM_SYSKEYUP,
                         WM_SYSCHAR,        WM_SYSCOMMAND,  WM_CONTEXTMENU,  WM_TIMER,       WM_MOUSELEAVE,
                         WM_CAPTURECHANGED, WM_SETFOCUS,    WM_KILLFOCUS,    WM_APP + 1};

bool watched(UINT m) {
  for (UINT w : kWatched)
    if (w == m) return true;
  return false;
}

class CLogWnd : public CWnd {
 public:
  explicit CLogWnd(std::string name) : m_name(std::move(name)) {}
  std::string m_name;
  int m_createResult = 0;
  bool m_destroyOnClick = false;
  bool m_deleteOnNcDestroy = false;
  std::thread::id m_appThread;
  std::thread::id m_seenOn;

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (watched(message)) g_log.push_back({m_name, message, wParam, lParam});
    if (message == WM_CREATE && m_createResult) return m_createResult;
    if (message == WM_APP + 1) m_seenOn = std::this_thread::get_id();
    if (message == WM_LBUTTONDOWN && m_destroyOnClick) {
      DestroyWindow();  // may delete this
      return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
  }
  void PostNcDestroy() override {
    if (m_deleteOnNcDestroy) delete this;
  }
};

std::vector<std::string> names(UINT msg) {
  std::vector<std::string> v;
  for (auto& l : g_log)
    if (l.msg == msg) v.push_back(l.who);
  return v;
}

std::vector<UINT> messagesOf(const std::string& who) {
  std::vector<UINT> v;
  for (auto& l : g_log)
    if (l.who == who) v.push_back(l.msg);
  return v;
}

const Logged* last(UINT msg, const std::string& who = "") {
  for (auto it = g_log.rbegin(); it != g_log.rend(); ++it)
    if (it->msg == msg && (who.empty() || it->who == who)) return &*it;
  return nullptr;
}

class Windows : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    g_log.clear();
    cls = AfxRegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW), nullptr, nullptr);
    clsNoDbl = AfxRegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW), nullptr, nullptr);
  }
  void TearDown() override { AfxTestWait(5); }
  // A visible top-level window at a known place on the screen.
  void MakeTop(CLogWnd& w, int x = 100, int y = 100, int cx = 300, int cy = 200) {
    ASSERT_TRUE(w.CreateEx(0, cls, "top", WS_POPUP | WS_VISIBLE, x, y, cx, cy, nullptr, nullptr));
  }
  LPCTSTR cls = nullptr;
  LPCTSTR clsNoDbl = nullptr;
};

TEST_F(Windows, CreationSendsCreateAfterTheWindowExistsThenSizeAndMove) {
  CLogWnd parent("parent"), child("child");
  MakeTop(parent);
  g_log.clear();
  struct Probe : CLogWnd {
    using CLogWnd::CLogWnd;
    BOOL handleValidInCreate = FALSE;
    CRect clientInCreate;
    LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override {
      if (m == WM_CREATE) {
        handleValidInCreate = IsWindow(m_hWnd);
        GetClientRect(&clientInCreate);
      }
      return CLogWnd::WindowProc(m, w, l);
    }
  } probe("child");
  ASSERT_TRUE(probe.Create(cls, "c", WS_CHILD | WS_VISIBLE, CRect(10, 20, 110, 70), &parent, 42));
  EXPECT_TRUE(probe.handleValidInCreate);
  EXPECT_EQ(CRect(0, 0, 100, 50), probe.clientInCreate);
  std::vector<UINT> expected{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW};
  EXPECT_EQ(expected, messagesOf("child"));
  const Logged* size = last(WM_SIZE, "child");
  ASSERT_NE(nullptr, size);
  EXPECT_EQ(100, LOWORD(size->lp));
  EXPECT_EQ(50, HIWORD(size->lp));
  const Logged* pn = last(WM_PARENTNOTIFY, "parent");
  ASSERT_NE(nullptr, pn);
  EXPECT_EQ(WM_CREATE, LOWORD(pn->wp));
  EXPECT_EQ(42, HIWORD(pn->wp));
  EXPECT_EQ(42, probe.GetDlgCtrlID());
  EXPECT_EQ(&parent, probe.GetParent());
}

TEST_F(Windows, FailedCreateDestroysTheWindowAndReturnsFalse) {
  CLogWnd w("w");
  w.m_createResult = -1;
  EXPECT_FALSE(w.CreateEx(0, cls, "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  EXPECT_EQ(nullptr, w.GetSafeHwnd());
  std::vector<UINT> expected{WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY};
  EXPECT_EQ(expected, messagesOf("w"));
}

TEST_F(Windows, DestroyGoesToTheParentBeforeItsChildrenThenNcDestroy) {
  CLogWnd parent("P"), a("A"), b("B"), a1("A1");
  MakeTop(parent);
  ASSERT_TRUE(a.Create(cls, "", WS_CHILD, CRect(0, 0, 10, 10), &parent, 1));
  ASSERT_TRUE(b.Create(cls, "", WS_CHILD, CRect(0, 0, 10, 10), &parent, 2));
  ASSERT_TRUE(a1.Create(cls, "", WS_CHILD, CRect(0, 0, 5, 5), &a, 3));
  HWND hp = parent.m_hWnd, ha1 = a1.m_hWnd;
  g_log.clear();
  parent.DestroyWindow();
  std::vector<std::string> destroy = names(WM_DESTROY), ncdestroy = names(WM_NCDESTROY);
  ASSERT_EQ(4u, destroy.size());
  EXPECT_EQ("P", destroy[0]);
  // Every window hears WM_DESTROY before any of its descendants has WM_NCDESTROY,
  // and a parent's WM_NCDESTROY comes after all of its children's.
  ASSERT_EQ(4u, ncdestroy.size());
  EXPECT_EQ("P", ncdestroy.back());
  auto pos = [&](UINT m, const std::string& who) {
    for (size_t i = 0; i < g_log.size(); ++i)
      if (g_log[i].msg == m && g_log[i].who == who) return (int)i;
    return -1;
  };
  EXPECT_LT(pos(WM_DESTROY, "A"), pos(WM_DESTROY, "A1"));
  EXPECT_LT(pos(WM_NCDESTROY, "A1"), pos(WM_NCDESTROY, "A"));
  EXPECT_LT(pos(WM_DESTROY, "P"), pos(WM_DESTROY, "B"));
  EXPECT_FALSE(IsWindow(hp));
  EXPECT_FALSE(IsWindow(ha1));
  EXPECT_EQ(nullptr, a1.GetSafeHwnd());
  // No WM_PARENTNOTIFY for children of a parent that is going away.
  EXPECT_TRUE(names(WM_PARENTNOTIFY).empty());
}

TEST_F(Windows, AWindowDestroyingAndDeletingItselfInsideItsHandlerDoesNotCrash) {
  CLogWnd top("top");
  MakeTop(top);
  auto* self = new CLogWnd("self");
  self->m_destroyOnClick = true;
  self->m_deleteOnNcDestroy = true;
  ASSERT_TRUE(self->Create(cls, "", WS_CHILD | WS_VISIBLE, CRect(10, 10, 60, 60), &top, 7));
  HWND h = self->m_hWnd;
  AfxTestClick(h, 5, 5);
  EXPECT_FALSE(IsWindow(h));
  AfxTestWait(20);
  // The window is gone; later input at the same place goes to the parent.
  AfxTestClick(top.m_hWnd, 15, 15);
  const Logged* down = last(WM_LBUTTONDOWN, "top");
  ASSERT_NE(nullptr, down);
  EXPECT_EQ(15, GET_X_LPARAM(down->lp));
}

TEST_F(Windows, GeometryAndCoordinateConversions) {
  CLogWnd top("top"), child("child");
  MakeTop(top, 200, 150, 400, 300);
  ASSERT_TRUE(
      child.CreateEx(WS_EX_CLIENTEDGE, cls, "", WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(30, 40, 130, 140), &top, 5));
  CRect wr;
  child.GetWindowRect(&wr);
  EXPECT_EQ(CRect(230, 190, 330, 290), wr);
  CRect cr;
  child.GetClientRect(&cr);
  EXPECT_EQ(CRect(0, 0, 94, 94), cr);  // a 1-pixel border and a 2-pixel client edge on each side
  CPoint p(0, 0);
  child.ClientToScreen(&p);
  EXPECT_EQ(CPoint(233, 193), p);
  child.ScreenToClient(&p);
  EXPECT_EQ(CPoint(0, 0), p);
  g_log.clear();
  child.MoveWindow(10, 20, 50, 60);
  child.GetWindowRect(&wr);
  top.ScreenToClient(&wr);
  EXPECT_EQ(CRect(10, 20, 60, 80), wr);
  const Logged* size = last(WM_SIZE, "child");
  ASSERT_NE(nullptr, size);
  EXPECT_EQ(44, LOWORD(size->lp));
  const Logged* move = last(WM_MOVE, "child");
  ASSERT_NE(nullptr, move);
  g_log.clear();
  child.SetWindowPos(nullptr, 99, 99, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_TRUE(names(WM_SIZE).empty());
  EXPECT_TRUE(names(WM_MOVE).empty());
  child.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_HIDEWINDOW);
  EXPECT_FALSE(child.IsWindowVisible());
  EXPECT_EQ(WM_SHOWWINDOW, messagesOf("child").front());
  EXPECT_EQ(&child, CWnd::FromHandle(::ChildWindowFromPoint(top.m_hWnd, POINT{20, 30})));
}

TEST_F(Windows, SetWindowPosStacksSiblingsOnTopAtTheBottomOrBehindAGivenOne) {
  CLogWnd top("top");
  MakeTop(top, 100, 100, 200, 100);
  const COLORREF colours[3] = {RGB(255, 0, 0), RGB(0, 160, 0), RGB(0, 0, 255)};
  CLogWnd a("a"), b("b"), c("c");
  CLogWnd* kids[3] = {&a, &b, &c};
  for (int i = 0; i < 3; ++i) {
    LPCTSTR filled = AfxRegisterWndClass(0, nullptr, ::CreateSolidBrush(colours[i]));
    // Overlapping: a at 0..80, b at 20..100, c at 40..120; all three share 40..80.
    ASSERT_TRUE(
        kids[i]->CreateEx(0, filled, "", WS_CHILD | WS_VISIBLE, CRect(20 * i, 0, 20 * i + 80, 50), &top, 10 + i));
  }
  auto onTop = [&] {
    CBitmap shot;
    EXPECT_TRUE(AfxCaptureWindow(top.m_hWnd, &shot));
    COLORREF c = shot.GetPixel(60, 25);
    for (int i = 0; i < 3; ++i)
      if (c == colours[i]) return i;
    return -1;
  };
  EXPECT_EQ(2, onTop());                                         // the last created is on top
  a.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);  // to the top
  EXPECT_EQ(0, onTop());
  ::SetWindowPos(a.m_hWnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(2, onTop());
  c.SetWindowPos(&b, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);  // just behind b: b shows
  EXPECT_EQ(1, onTop());
  EXPECT_EQ(b.m_hWnd, ::GetWindow(top.m_hWnd, GW_CHILD));  // the first child is the topmost
  EXPECT_EQ(c.m_hWnd, ::GetWindow(b.m_hWnd, GW_HWNDNEXT));
  EXPECT_EQ(a.m_hWnd, ::GetWindow(c.m_hWnd, GW_HWNDNEXT));
  // SWP_NOZORDER keeps the order, whatever window is named.
  a.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(1, onTop());
  // SWP_SHOWWINDOW shows a hidden window.
  b.ShowWindow(SW_HIDE);
  EXPECT_EQ(2, onTop());
  b.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
  EXPECT_TRUE(b.IsWindowVisible());
  EXPECT_EQ(1, onTop());
}

TEST_F(Windows, APostFromAWorkerThreadArrivesOnTheUserInterfaceThread) {
  CLogWnd w("w");
  MakeTop(w);
  HWND h = w.m_hWnd;
  std::thread worker([h] { EXPECT_TRUE(::PostMessage(h, WM_APP + 1, 11, 22)); });
  worker.join();
  EXPECT_EQ(nullptr, last(WM_APP + 1));  // queued, not yet delivered
  AfxTestWait(5000, [] { return last(WM_APP + 1) != nullptr; });
  const Logged* m = last(WM_APP + 1);
  ASSERT_NE(nullptr, m);
  EXPECT_EQ(11u, m->wp);
  EXPECT_EQ(22, m->lp);
  EXPECT_EQ(std::this_thread::get_id(), w.m_seenOn);
}

TEST_F(Windows, APostToAWindowThatIsGoneIsDropped) {
  auto* w = new CLogWnd("gone");
  w->m_deleteOnNcDestroy = true;
  ASSERT_TRUE(w->CreateEx(0, cls, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  HWND h = w->m_hWnd;
  ASSERT_TRUE(::PostMessage(h, WM_APP + 1, 1, 2));
  ::DestroyWindow(h);
  g_log.clear();
  AfxTestWait(50);
  EXPECT_EQ(nullptr, last(WM_APP + 1));
  EXPECT_FALSE(::PostMessage(h, WM_APP + 1, 1, 2));
}

TEST_F(Windows, SendMessageIsSynchronousAndReturnsTheHandlersResult) {
  struct Answer : CWnd {
    LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override {
      if (m == WM_APP + 5) return (LRESULT)(w + l);
      return CWnd::WindowProc(m, w, l);
    }
  } w;
  ASSERT_TRUE(w.CreateEx(0, cls, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  EXPECT_EQ(7, w.SendMessage(WM_APP + 5, 3, 4));
  HWND h = w.m_hWnd;
  LRESULT fromThread = 0;
  std::thread t([&] { fromThread = ::SendMessage(h, WM_APP + 5, 10, 5); });
  AfxTestWait(5000, [&] { return fromThread != 0; });
  t.join();
  EXPECT_EQ(15, fromThread);
}

TEST_F(Windows, TimersTickByIdUntilKilled) {
  CLogWnd w("w");
  MakeTop(w);
  w.SetTimer(7, 15);
  w.SetTimer(9, 15);
  AfxTestWait(5000, [] {
    int seven = 0, nine = 0;
    for (auto& l : g_log) {
      if (l.msg == WM_TIMER && l.wp == 7) ++seven;
      if (l.msg == WM_TIMER && l.wp == 9) ++nine;
    }
    return seven >= 2 && nine >= 2;
  });
  int seven = 0;
  for (auto& l : g_log) seven += (l.msg == WM_TIMER && l.wp == 7);
  EXPECT_GE(seven, 2);
  EXPECT_TRUE(w.KillTimer(7));
  EXPECT_FALSE(w.KillTimer(7));
  EXPECT_TRUE(w.KillTimer(9));
  g_log.clear();
  AfxTestWait(60);
  EXPECT_TRUE(names(WM_TIMER).empty());
}

TEST_F(Windows, CaptureSendsMouseMessagesOutsideTheWindowInItsClientCoordinates) {
  CLogWnd a("a"), b("b");
  MakeTop(a, 100, 100, 100, 100);
  MakeTop(b, 400, 100, 100, 100);
  a.SetCapture();
  EXPECT_EQ(&a, CWnd::GetCapture());
  g_log.clear();
  AfxTestMouse(WM_MOUSEMOVE, POINT{450, 150});
  const Logged* mv = last(WM_MOUSEMOVE);
  ASSERT_NE(nullptr, mv);
  EXPECT_EQ("a", mv->who);
  EXPECT_EQ(350, GET_X_LPARAM(mv->lp));
  EXPECT_EQ(50, GET_Y_LPARAM(mv->lp));
  AfxTestMouse(WM_MOUSEMOVE, POINT{50, 60});
  mv = last(WM_MOUSEMOVE);
  EXPECT_EQ(-50, GET_X_LPARAM(mv->lp));  // negative coordinates keep their sign
  EXPECT_EQ(-40, GET_Y_LPARAM(mv->lp));
  ReleaseCapture();
  ASSERT_NE(nullptr, last(WM_CAPTURECHANGED, "a"));
  EXPECT_EQ(nullptr, CWnd::GetCapture());
  g_log.clear();
  AfxTestMouse(WM_MOUSEMOVE, POINT{450, 150});
  mv = last(WM_MOUSEMOVE);
  ASSERT_NE(nullptr, mv);
  EXPECT_EQ("b", mv->who);
}

TEST_F(Windows, MouseButtonsCarryKeyStatesAndDoubleClicksNeedTheClassStyle) {
  CLogWnd dbl("dbl"), plain("plain");
  MakeTop(dbl, 100, 100, 100, 100);
  ASSERT_TRUE(plain.CreateEx(0, clsNoDbl, "", WS_POPUP | WS_VISIBLE, 300, 100, 100, 100, nullptr, nullptr));
  g_log.clear();
  AfxTestDoubleClick(dbl.m_hWnd, 10, 20, AFX_TEST_SHIFT);
  std::vector<UINT> buttons;
  for (auto& l : g_log)
    if (l.who == "dbl" && l.msg >= WM_LBUTTONDOWN && l.msg <= WM_MBUTTONDBLCLK) buttons.push_back(l.msg);
  std::vector<UINT> expected{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP};
  EXPECT_EQ(expected, buttons);
  const Logged* d = last(WM_LBUTTONDBLCLK);
  EXPECT_EQ((WPARAM)(MK_LBUTTON | MK_SHIFT), d->wp);
  EXPECT_EQ(MAKELPARAM(10, 20), d->lp);
  EXPECT_EQ((WPARAM)MK_SHIFT, last(WM_LBUTTONUP)->wp);
  g_log.clear();
  AfxTestDoubleClick(plain.m_hWnd, 5, 5);
  EXPECT_EQ(2u, names(WM_LBUTTONDOWN).size());
  EXPECT_TRUE(names(WM_LBUTTONDBLCLK).empty());
}

TEST_F(Windows, WheelComesInUnitsOf120WithScreenCoordinates) {
  CLogWnd w("w");
  MakeTop(w, 100, 100, 100, 100);
  AfxTestWheel(POINT{150, 160}, -240, AFX_TEST_CTRL);
  const Logged* m = last(WM_MOUSEWHEEL);
  ASSERT_NE(nullptr, m);
  EXPECT_EQ(-240, GET_WHEEL_DELTA_WPARAM(m->wp));
  EXPECT_EQ(MK_CONTROL, GET_KEYSTATE_WPARAM(m->wp));
  EXPECT_EQ(150, GET_X_LPARAM(m->lp));
  EXPECT_EQ(160, GET_Y_LPARAM(m->lp));
}

TEST_F(Windows, RightButtonUpGivesAContextMenuAtTheScreenPointAndTheAppsKeyAtMinusOne) {
  CLogWnd top("top"), child("child");
  MakeTop(top, 100, 100, 200, 200);
  ASSERT_TRUE(child.Create(cls, "", WS_CHILD | WS_VISIBLE, CRect(10, 10, 60, 60), &top, 3));
  POINT p{5, 6};
  child.ClientToScreen(&p);
  AfxTestMouse(WM_MOUSEMOVE, p);
  AfxTestMouse(WM_RBUTTONDOWN, p);
  AfxTestMouse(WM_RBUTTONUP, p);
  // The child leaves it to the default handling, which hands it to the parent.
  const Logged* c = last(WM_CONTEXTMENU, "top");
  ASSERT_NE(nullptr, c);
  EXPECT_EQ((WPARAM)child.m_hWnd, c->wp);
  EXPECT_EQ(115, GET_X_LPARAM(c->lp));
  EXPECT_EQ(116, GET_Y_LPARAM(c->lp));
  child.SetFocus();
  g_log.clear();
  AfxTestKeyStroke(VK_APPS);
  c = last(WM_CONTEXTMENU, "child");
  ASSERT_NE(nullptr, c);
  EXPECT_EQ(-1, GET_X_LPARAM(c->lp));
  EXPECT_EQ(-1, GET_Y_LPARAM(c->lp));
}

TEST_F(Windows, KeysBecomeVirtualKeyMessagesWithCharactersAndNoAutoRepeatKeyUps) {
  CLogWnd w("w");
  MakeTop(w);
  w.SetFocus();
  ASSERT_EQ(&w, CWnd::GetFocus());
  g_log.clear();
  AfxTestKey('A', TRUE, AFX_TEST_SHIFT, "A");
  AfxTestKey('A', TRUE, AFX_TEST_SHIFT, "A", TRUE);   // auto-repeat
  AfxTestKey('A', FALSE, AFX_TEST_SHIFT, "A", TRUE);  // Qt's auto-repeat release: dropped
  AfxTestKey('A', FALSE, AFX_TEST_SHIFT, "A");
  std::vector<UINT> seq;
  for (auto& l : g_log) seq.push_back(l.msg);
  std::vector<UINT> expected{WM_KEYDOWN, WM_CHAR, WM_KEYDOWN, WM_CHAR, WM_KEYUP};
  EXPECT_EQ(expected, seq);
  ASSERT_EQ(5u, g_log.size());
  EXPECT_EQ((WPARAM)'A', g_log[0].wp);
  EXPECT_EQ(0, g_log[0].lp & (1 << 30));  // first press: key was up
  EXPECT_NE(0, g_log[2].lp & (1 << 30));  // repeat: key was down
  EXPECT_EQ((WPARAM)'A', g_log[1].wp);
  EXPECT_NE(0, g_log[4].lp & (LPARAM)(1u << 31));
  g_log.clear();
  AfxTestKey(VK_SHIFT, TRUE, AFX_TEST_SHIFT);
  EXPECT_NE(0, GetKeyState(VK_SHIFT) & 0x8000);
  AfxTestKey(VK_SHIFT, FALSE, 0);
  EXPECT_EQ(0, GetKeyState(VK_SHIFT) & 0x8000);
  g_log.clear();
  AfxTestKeyStroke(VK_LEFT);
  ASSERT_FALSE(g_log.empty());
  EXPECT_EQ((WPARAM)VK_LEFT, g_log[0].wp);
  EXPECT_NE(0, g_log[0].lp & (1 << 24));  // an extended key
}

TEST_F(Windows, AltAloneAndF10AskTheTopLevelWindowForItsMenu) {
  CLogWnd top("top"), child("child");
  MakeTop(top);
  ASSERT_TRUE(child.Create(cls, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 50), &top, 1));
  child.SetFocus();
  g_log.clear();
  AfxTestKey(VK_MENU, TRUE, AFX_TEST_ALT);
  AfxTestKey(VK_MENU, FALSE, 0);
  EXPECT_EQ(WM_SYSKEYDOWN, g_log[0].msg);
  EXPECT_EQ("child", g_log[0].who);
  const Logged* sc = last(WM_SYSCOMMAND, "top");
  ASSERT_NE(nullptr, sc);
  EXPECT_EQ((WPARAM)SC_KEYMENU, sc->wp);
  EXPECT_EQ(0, sc->lp);
  g_log.clear();
  AfxTestKeyStroke(VK_F10);
  EXPECT_EQ(WM_SYSKEYDOWN, g_log[0].msg);
  ASSERT_NE(nullptr, last(WM_SYSCOMMAND, "top"));
  g_log.clear();
  AfxTestKeyStroke('F', AFX_TEST_ALT, "f");
  const Logged* sc2 = last(WM_SYSCOMMAND, "top");
  ASSERT_NE(nullptr, sc2);
  EXPECT_EQ((LPARAM)'f', sc2->lp);
  ASSERT_NE(nullptr, last(WM_SYSCHAR, "child"));
}

TEST_F(Windows, FocusChangesSendKillAndSetFocusWithTheOtherWindow) {
  CLogWnd top("top"), a("a"), b("b");
  MakeTop(top);
  ASSERT_TRUE(a.Create(cls, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 50), &top, 1));
  ASSERT_TRUE(b.Create(cls, "", WS_CHILD | WS_VISIBLE, CRect(60, 0, 110, 50), &top, 2));
  a.SetFocus();
  g_log.clear();
  b.SetFocus();
  ASSERT_EQ(2u, g_log.size());
  EXPECT_EQ(WM_KILLFOCUS, g_log[0].msg);
  EXPECT_EQ("a", g_log[0].who);
  EXPECT_EQ((WPARAM)b.m_hWnd, g_log[0].wp);
  EXPECT_EQ(WM_SETFOCUS, g_log[1].msg);
  EXPECT_EQ((WPARAM)a.m_hWnd, g_log[1].wp);
  b.DestroyWindow();
  EXPECT_EQ(nullptr, CWnd::GetFocus());
}

TEST_F(Windows, MouseLeaveComesOnceThePointerIsOverAnotherWindowOrNone) {
  CLogWnd top("top"), child("child");
  MakeTop(top, 100, 100, 200, 200);
  ASSERT_TRUE(child.Create(cls, "", WS_CHILD | WS_VISIBLE, CRect(10, 10, 60, 60), &top, 3));
  AfxTestMoveTo(child.m_hWnd, 5, 5);
  TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, child.m_hWnd, 0};
  ASSERT_TRUE(TrackMouseEvent(&tme));
  AfxTestMoveTo(child.m_hWnd, 8, 8);
  AfxTestWait(10);
  EXPECT_EQ(nullptr, last(WM_MOUSELEAVE));
  AfxTestMoveTo(top.m_hWnd, 150, 150);
  AfxTestWait(5000, [] { return last(WM_MOUSELEAVE) != nullptr; });
  ASSERT_NE(nullptr, last(WM_MOUSELEAVE, "child"));
  g_log.clear();
  AfxTestMoveTo(top.m_hWnd, 20, 20);
  tme.hwndTrack = top.m_hWnd;
  ASSERT_TRUE(TrackMouseEvent(&tme));
  AfxTestMoveAway();
  AfxTestWait(5000, [] { return last(WM_MOUSELEAVE) != nullptr; });
  EXPECT_NE(nullptr, last(WM_MOUSELEAVE, "top"));
  EXPECT_EQ(1u, names(WM_MOUSELEAVE).size());
}

TEST_F(Windows, ThreadHooksSeeKeysFirstAndCanSwallowThem) {
  CLogWnd w("w");
  MakeTop(w);
  w.SetFocus();
  static std::vector<UINT> seen;
  seen.clear();
  static HHOOK hook;
  hook = SetWindowsHookEx(
      WH_KEYBOARD,
      [](int code, WPARAM vk, LPARAM lp) -> LRESULT {
        seen.push_back((UINT)vk);
        if (vk == 'Q') return 1;  // swallowed
        return CallNextHookEx(hook, code, vk, lp);
      },
      nullptr, GetCurrentThreadId());
  g_log.clear();
  AfxTestKeyStroke('Q', 0, "q");
  AfxTestKeyStroke('W', 0, "w");
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(4u, seen.size());
  std::vector<UINT> keys;
  for (auto& l : g_log)
    if (l.msg == WM_KEYDOWN) keys.push_back((UINT)l.wp);
  EXPECT_EQ(std::vector<UINT>{'W'}, keys);
  // The character of a swallowed key is not typed either.
  std::vector<WPARAM> chars;
  for (auto& l : g_log)
    if (l.msg == WM_CHAR) chars.push_back(l.wp);
  EXPECT_EQ(std::vector<WPARAM>{'w'}, chars);
}

TEST_F(Windows, AMouseHookSeesClicksWithTheirScreenPointAndCanSwallowThem) {
  CLogWnd w("w");
  MakeTop(w);
  struct Seen {
    UINT msg;
    POINT pt;
    HWND hwnd;
  };
  static std::vector<Seen> seen;
  static bool swallow;
  seen.clear();
  swallow = true;
  static HHOOK hook;
  hook = SetWindowsHookEx(
      WH_MOUSE,
      [](int code, WPARAM msg, LPARAM lp) -> LRESULT {
        auto* m = reinterpret_cast<MOUSEHOOKSTRUCT*>(lp);
        if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP) seen.push_back({(UINT)msg, m->pt, m->hwnd});
        if (swallow && msg == WM_LBUTTONDOWN) return 1;
        return CallNextHookEx(hook, code, msg, lp);
      },
      nullptr, GetCurrentThreadId());
  g_log.clear();
  AfxTestClick(w.m_hWnd, 30, 40);
  // The hook saw both, first and in screen coordinates; the window only the release.
  ASSERT_EQ(2u, seen.size());
  EXPECT_EQ((UINT)WM_LBUTTONDOWN, seen[0].msg);
  EXPECT_EQ(130, seen[0].pt.x);
  EXPECT_EQ(140, seen[0].pt.y);
  EXPECT_EQ(w.m_hWnd, seen[0].hwnd);
  EXPECT_TRUE(names(WM_LBUTTONDOWN).empty());
  EXPECT_EQ(1u, names(WM_LBUTTONUP).size());
  swallow = false;
  g_log.clear();
  AfxTestClick(w.m_hWnd, 30, 40);
  EXPECT_EQ(1u, names(WM_LBUTTONDOWN).size());  // passed on: the window has it
  UnhookWindowsHookEx(hook);
  seen.clear();
  AfxTestClick(w.m_hWnd, 30, 40);
  EXPECT_TRUE(seen.empty());  // unhooked
}

TEST_F(Windows, SubclassedWindowProcedureSeesMessagesFirst) {
  CLogWnd w("w");
  MakeTop(w);
  static WNDPROC prev;
  static int seen;
  seen = 0;
  prev = (WNDPROC)SetWindowLongPtr(
      w.m_hWnd, GWL_WNDPROC, (LONG_PTR)(WNDPROC)[](HWND h, UINT m, WPARAM wp, LPARAM lp)->LRESULT {
        if (m == WM_APP + 1) {
          ++seen;
          if (wp == 99) return 5;  // handled here; the window never sees it
        }
        return CallWindowProc(prev, h, m, wp, lp);
      });
  g_log.clear();
  EXPECT_EQ(5, w.SendMessage(WM_APP + 1, 99, 0));
  w.SendMessage(WM_APP + 1, 1, 0);
  EXPECT_EQ(2, seen);
  EXPECT_EQ(1u, names(WM_APP + 1).size());
  SetWindowLongPtr(w.m_hWnd, GWL_WNDPROC, (LONG_PTR)prev);
}

}  // namespace
