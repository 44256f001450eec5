// Nested modal loops of the toolkit's kind: a captured button press read by its own loop,
// loops ended by a release and by quitting, messages left to the enclosing loop, and no idle
// processing meanwhile.
#include "platform/testing/UiTest.h"
#include "platform/ui/AfxWin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

class CCountingApp : public CWinApp {
 public:
  int idleRounds = 0;
  BOOL OnIdle(LONG lCount) override {
    ++idleRounds;
    CWinApp::OnIdle(lCount);
    return FALSE;
  }
};
CCountingApp theApp;

// Runs the application's loop, with a safety net that quits with 9 should nothing else.
int RunApp() {
  static bool running;
  running = true;
  AfxCallLater(3000, [] {
    if (running) PostQuitMessage(9);
  });
  int code = theApp.Run();
  running = false;
  return code;
}

// Holds a press the way a bar button does: captures the mouse and reads the moves and the
// release in its own loop; the window itself only sees what the loop does not take.
class CPressWnd : public CWnd {
 public:
  std::vector<UINT> seen;     // messages the window procedure got
  std::vector<CPoint> moves;  // moves the loop read
  BOOL loopResult = -1;
  bool released = false;

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) seen.push_back(message);
    if (message == WM_APP + 1) seen.push_back(message);
    if (message == WM_LBUTTONDOWN) {
      SetCapture();
      released = false;
      loopResult = AfxRunModalLoop([this] { return !released && ::GetCapture() == m_hWnd; },
                                   [this](MSG& msg) -> BOOL {
                                     if (msg.hwnd != m_hWnd) return FALSE;
                                     if (msg.message == WM_MOUSEMOVE) {
                                       moves.push_back(CPoint(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)));
                                       return TRUE;
                                     }
                                     if (msg.message == WM_LBUTTONUP) {
                                       released = true;
                                       return TRUE;
                                     }
                                     return FALSE;
                                   });
      if (::GetCapture() == m_hWnd) ReleaseCapture();
      return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

class ModalLoops : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    LPCTSTR cls = AfxRegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW), nullptr, nullptr);
    ASSERT_TRUE(wnd.CreateEx(0, cls, "press", WS_POPUP | WS_VISIBLE, 50, 50, 120, 80, nullptr, nullptr));
    AfxTestWait(5);
  }
  void TearDown() override {
    wnd.DestroyWindow();
    AfxTestWait(5);
  }
  CPressWnd wnd;
};

TEST_F(ModalLoops, ACapturedPressIsReadByItsLoopUntilTheRelease) {
  POINT in{60, 60}, out{400, 300};
  AfxCallLater(20, [&] { AfxTestMouse(WM_MOUSEMOVE, POINT{70, 65}); });
  AfxCallLater(30, [&] { wnd.PostMessage(WM_APP + 1); });  // not the loop's: dispatched
  AfxCallLater(40, [&] { AfxTestMouse(WM_MOUSEMOVE, out); });
  // The release only once the posted message is through: on a busy machine the timers can all
  // come due in one pass, and the release would end the loop before it dispatches the message.
  std::function<void()> release = [&] {
    if (std::count(wnd.seen.begin(), wnd.seen.end(), (UINT)(WM_APP + 1)) == 0) return AfxCallLater(10, release);
    AfxTestMouse(WM_LBUTTONUP, out);
  };
  AfxCallLater(60, release);
  AfxTestMouse(WM_MOUSEMOVE, in);
  AfxTestMouse(WM_LBUTTONDOWN, in);  // returns once the loop has ended
  EXPECT_TRUE(wnd.released);
  EXPECT_EQ(TRUE, wnd.loopResult);
  ASSERT_EQ(2u, wnd.moves.size());
  EXPECT_EQ(CPoint(20, 15), wnd.moves[0]);
  EXPECT_EQ(CPoint(350, 250), wnd.moves[1]) << "captured moves come in client coordinates, outside too";
  // The window got the press and the posted message, never the moves or the release.
  EXPECT_EQ((std::vector<UINT>{WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_APP + 1}), wnd.seen);
  EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(ModalLoops, LosingTheCaptureEndsTheLoop) {
  AfxCallLater(20, [] { ReleaseCapture(); });
  AfxTestMouse(WM_MOUSEMOVE, POINT{60, 60});
  AfxTestMouse(WM_LBUTTONDOWN, POINT{60, 60});
  EXPECT_FALSE(wnd.released);
  EXPECT_EQ(TRUE, wnd.loopResult);
  AfxTestMouse(WM_LBUTTONUP, POINT{60, 60});
  AfxTestWait(5);
  EXPECT_EQ(WM_LBUTTONUP, wnd.seen.back()) << "after the loop the release is the window's again";
}

TEST_F(ModalLoops, MessagesAfterTheEndGoToTheEnclosingLoop) {
  std::vector<UINT> inner, outer;
  bool innerDone = false, outerDone = false;
  AfxCallLater(10, [&] {
    AfxRunModalLoop([&] { return !innerDone; },
                    [&](MSG& m) -> BOOL {
                      inner.push_back(m.message);
                      if (m.message == WM_APP + 2) innerDone = true;
                      return TRUE;
                    });
  });
  AfxCallLater(30, [&] {
    // Queued together: the first ends the inner loop, the others are the outer loop's.
    wnd.PostMessage(WM_APP + 2);
    wnd.PostMessage(WM_APP + 3);
    wnd.PostMessage(WM_APP + 4);
  });
  BOOL r = AfxRunModalLoop([&] { return !outerDone; },
                           [&](MSG& m) -> BOOL {
                             outer.push_back(m.message);
                             if (m.message == WM_APP + 4) outerDone = true;
                             return TRUE;
                           });
  EXPECT_EQ(TRUE, r);
  EXPECT_EQ((std::vector<UINT>{WM_APP + 2}), inner);
  EXPECT_EQ((std::vector<UINT>{WM_APP + 3, WM_APP + 4}), outer);
  EXPECT_TRUE(wnd.seen.empty()) << "both loops kept their messages";
}

TEST_F(ModalLoops, IdleProcessingWaitsWhileANestedLoopRuns) {
  theApp.m_pMainWnd = &wnd;
  int atStart = -1, atEnd = -1;
  bool done = false;
  AfxCallLater(30, [&] {
    atStart = theApp.idleRounds;
    AfxCallLater(100, [&] { done = true; });
    // Messages keep coming while the loop runs; none of them starts idle processing.
    for (int i = 1; i <= 5; ++i) AfxCallLater(15 * i, [&] { wnd.PostMessage(WM_APP + 1); });
    AfxRunModalLoop([&] { return !done; });
    atEnd = theApp.idleRounds;
    PostQuitMessage(0);
  });
  wnd.PostMessage(WM_NULL);  // something for the main loop to be idle after
  EXPECT_EQ(0, RunApp());
  theApp.m_pMainWnd = nullptr;
  EXPECT_GT(atStart, 0) << "the main loop did idle work before";
  EXPECT_EQ(atStart, atEnd);
  EXPECT_EQ(5, (int)std::count(wnd.seen.begin(), wnd.seen.end(), WM_APP + 1));
}

TEST_F(ModalLoops, QuittingEndsANestedLoopAndTheMainLoop) {
  BOOL nested = -1;
  bool after = false;
  AfxCallLater(20, [&] {
    AfxCallLater(20, [] { PostQuitMessage(3); });
    nested = AfxRunModalLoop([] { return true; });  // would run for ever
    after = true;
  });
  EXPECT_EQ(3, RunApp());
  EXPECT_EQ(FALSE, nested);
  EXPECT_TRUE(after);
  // The quit is over once Run has returned: loops run again.
  bool done = false;
  AfxCallLater(10, [&] { done = true; });
  EXPECT_EQ(TRUE, AfxRunModalLoop([&] { return !done; }));
}

TEST_F(ModalLoops, APressLoopEndsWithTheProgram) {
  AfxCallLater(20, [&] {
    AfxCallLater(20, [] { PostQuitMessage(4); });
    AfxTestMouse(WM_MOUSEMOVE, POINT{60, 60});
    AfxTestMouse(WM_LBUTTONDOWN, POINT{60, 60});  // never released
  });
  EXPECT_EQ(4, RunApp());
  EXPECT_FALSE(wnd.released);
  EXPECT_EQ(FALSE, wnd.loopResult);
  EXPECT_EQ(nullptr, GetCapture());
  AfxTestMouse(WM_LBUTTONUP, POINT{60, 60});
}

}  // namespace
