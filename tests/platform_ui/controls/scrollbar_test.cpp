// Window scroll bars (WS_VSCROLL, WS_HSCROLL) under real mouse input: arrows, page areas and
// thumb drags become WM_VSCROLL / WM_HSCROLL, and the bars draw where the position is.
#include "platform/testing/UiTest.h"
#include "platform/ui/AfxWin.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

struct Scroll {
  UINT msg;
  UINT code;
  int pos;
  LPARAM lp;
};

// Scrolls itself the way a view does: lines of 1, pages of the page size, the thumb at once.
class CScrolled : public CWnd {
 public:
  std::vector<Scroll> log;
  std::vector<UINT> mouse;  // client mouse messages the window itself received
  int trackPosSeen = -1;

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_VSCROLL || message == WM_HSCROLL) {
      int bar = message == WM_VSCROLL ? SB_VERT : SB_HORZ;
      UINT code = LOWORD(wParam);
      log.push_back({message, code, (short)HIWORD(wParam), lParam});
      SCROLLINFO si{sizeof(si), SIF_ALL, 0, 0, 0, 0, 0};
      GetScrollInfo(bar, &si);
      int pos = si.nPos;
      switch (code) {
        case SB_LINEUP: pos -= 1; break;
        case SB_LINEDOWN: pos += 1; break;
        case SB_PAGEUP: pos -= (int)si.nPage; break;
        case SB_PAGEDOWN: pos += (int)si.nPage; break;
        case SB_THUMBTRACK:
          trackPosSeen = si.nTrackPos;
          pos = si.nTrackPos;
          break;
        case SB_THUMBPOSITION: pos = (short)HIWORD(wParam); break;
        default: break;
      }
      SetScrollPos(bar, pos);
      return 0;
    }
    if (message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN || message == WM_LBUTTONUP) mouse.push_back(message);
    return CWnd::WindowProc(message, wParam, lParam);
  }

  std::vector<UINT> codes(UINT msg) const {
    std::vector<UINT> v;
    for (const Scroll& s : log)
      if (s.msg == msg) v.push_back(s.code);
    return v;
  }
  int count(UINT code) const {
    int n = 0;
    for (const Scroll& s : log) n += s.code == code;
    return n;
  }
};

class ScrollBars : public ::testing::Test {
 protected:
  // 200 x 150 at (100, 100) without borders: the client is 184 x 134, the vertical bar is
  // x 184..199 (arrows y 0..15 and 118..133), the horizontal one y 134..149.
  void SetUp() override {
    AfxWinInit(0, nullptr);
    LPCTSTR cls = AfxRegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW), (HBRUSH)(COLOR_WINDOW + 1), nullptr);
    ASSERT_TRUE(wnd.CreateEx(0, cls, "scrolled", WS_POPUP | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 100, 100, 200, 150,
                             nullptr, nullptr));
    for (int bar : {SB_VERT, SB_HORZ}) {
      SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 0, 0};
      wnd.SetScrollInfo(bar, &si);
    }
    AfxTestWait(5);
  }
  void TearDown() override {
    wnd.DestroyWindow();
    AfxTestWait(5);
  }

  POINT screen(int x, int y) {
    POINT p{x, y};
    wnd.ClientToScreen(&p);
    return p;
  }
  // Presses at a client point (on a bar, outside the client area), holding the button for
  // holdMs while the optional moves happen, each at its time; returns once the press is over.
  void Press(int x, int y, int holdMs, std::vector<std::pair<int, POINT>> moves = {}) {
    POINT at = screen(x, y);
    POINT last = at;
    for (auto& m : moves) {
      POINT to = screen(m.second.x, m.second.y);
      AfxCallLater(m.first, [to] { AfxTestMouse(WM_MOUSEMOVE, to); });
      last = to;
    }
    AfxCallLater(holdMs, [last] { AfxTestMouse(WM_LBUTTONUP, last); });
    AfxTestMouse(WM_MOUSEMOVE, at);
    AfxTestMouse(WM_LBUTTONDOWN, at);  // returns when the bar has tracked the press
    AfxTestWait(5);
  }
  // Holds a press until done() (asked every 20 ms, for at most 10 s), then releases; the
  // repeats being timed, a slow machine only makes this wait longer.
  void PressUntil(int x, int y, std::function<bool()> done) {
    POINT at = screen(x, y);
    auto poll = std::make_shared<std::function<void(int)>>();
    *poll = [at, done, poll](int left) {
      if (done() || left <= 0)
        AfxTestMouse(WM_LBUTTONUP, at);
      else
        AfxCallLater(20, [poll, left] { (*poll)(left - 20); });
    };
    AfxCallLater(20, [poll] { (*poll)(10000); });
    AfxTestMouse(WM_MOUSEMOVE, at);
    AfxTestMouse(WM_LBUTTONDOWN, at);
    *poll = nullptr;  // ends the cycle of the poller holding itself
    AfxTestWait(5);
  }

  // Where the vertical thumb is drawn: the first and last row of it. The track is a checker
  // of two colours, the thumb and the arrows solid across.
  std::pair<int, int> ThumbRows() {
    CBitmap bmp;
    EXPECT_TRUE(AfxCaptureWindow(wnd, &bmp));
    int first = -1, lastRow = -1;
    for (int y = 16; y < 118; ++y) {
      if (Solid(bmp, 192, y, 1, 0)) {
        if (first < 0) first = y;
        lastRow = y;
      }
    }
    return {first, lastRow};
  }
  static bool Solid(CBitmap& bmp, int x, int y, int dx, int dy) {
    return bmp.GetPixel(x, y) == bmp.GetPixel(x + dx, y + dy);
  }

  CScrolled wnd;
};

TEST_F(ScrollBars, ArrowClicksSendALineThenEndScroll) {
  Press(192, 125, 20);  // down arrow
  EXPECT_EQ((std::vector<UINT>{SB_LINEDOWN, SB_ENDSCROLL}), wnd.codes(WM_VSCROLL));
  EXPECT_EQ(1, wnd.GetScrollPos(SB_VERT));
  Press(192, 5, 20);  // up arrow
  EXPECT_EQ((std::vector<UINT>{SB_LINEDOWN, SB_ENDSCROLL, SB_LINEUP, SB_ENDSCROLL}), wnd.codes(WM_VSCROLL));
  EXPECT_EQ(0, wnd.GetScrollPos(SB_VERT));
  for (const Scroll& s : wnd.log) EXPECT_EQ(0, s.lp) << "window scroll bars have no control handle";

  Press(176, 142, 20);  // right arrow of the horizontal bar
  Press(176, 142, 20);
  Press(8, 142, 20);  // left arrow
  EXPECT_EQ((std::vector<UINT>{SB_LINEDOWN, SB_ENDSCROLL, SB_LINEDOWN, SB_ENDSCROLL, SB_LINEUP, SB_ENDSCROLL}),
            wnd.codes(WM_HSCROLL));
  EXPECT_EQ(1, wnd.GetScrollPos(SB_HORZ));
  // The bars' own input never reaches the window as client mouse messages.
  EXPECT_TRUE(wnd.mouse.empty());
}

TEST_F(ScrollBars, AHeldArrowRepeatsUntilReleased) {
  PressUntil(192, 125, [this] { return wnd.count(SB_LINEDOWN) >= 4; });
  int lines = wnd.count(SB_LINEDOWN);
  EXPECT_GE(lines, 4);
  EXPECT_EQ(lines, wnd.GetScrollPos(SB_VERT));
  EXPECT_EQ(SB_ENDSCROLL, wnd.log.back().code);
  EXPECT_EQ(1, wnd.count(SB_ENDSCROLL));
  // Nothing more arrives once the button is up.
  AfxTestWait(150);
  EXPECT_EQ(lines, wnd.count(SB_LINEDOWN));
}

TEST_F(ScrollBars, AHeldArrowLeftByThePointerPausesUntilItComesBack) {
  // Off the arrow before the first repeat; while away nothing repeats and the arrow is drawn
  // released; back on it, the repeats go on.
  int whileAway = -1;
  bool drawnDown = false, drawnUp = false;
  POINT away = screen(150, 60), back = screen(192, 125);
  AfxCallLater(15, [&] {
    CBitmap bmp;
    AfxCaptureWindow(wnd, &bmp);
    drawnDown = bmp.GetPixel(184, 125) == GetSysColor(COLOR_3DSHADOW);  // a flat pressed edge
  });
  AfxCallLater(30, [away] { AfxTestMouse(WM_MOUSEMOVE, away); });
  AfxCallLater(800, [&, back] {
    whileAway = wnd.count(SB_LINEDOWN);
    CBitmap bmp;
    AfxCaptureWindow(wnd, &bmp);
    drawnUp = bmp.GetPixel(184, 125) == GetSysColor(COLOR_3DLIGHT);  // a raised edge
    AfxTestMouse(WM_MOUSEMOVE, back);
  });
  PressUntil(192, 125, [&] { return whileAway >= 0 && wnd.count(SB_LINEDOWN) >= whileAway + 2; });
  EXPECT_EQ(1, whileAway);
  EXPECT_TRUE(drawnDown);
  EXPECT_TRUE(drawnUp);
  EXPECT_GE(wnd.count(SB_LINEDOWN), 3);
}

TEST_F(ScrollBars, TrackClicksPageAndAHeldPageStopsUnderThePointer) {
  Press(192, 100, 20);  // below the thumb
  EXPECT_EQ((std::vector<UINT>{SB_PAGEDOWN, SB_ENDSCROLL}), wnd.codes(WM_VSCROLL));
  EXPECT_EQ(10, wnd.GetScrollPos(SB_VERT));
  Press(192, 17, 20);  // above it
  EXPECT_EQ(0, wnd.GetScrollPos(SB_VERT));
  EXPECT_EQ(1, wnd.count(SB_PAGEUP));

  // Held below the thumb: pages until the thumb reaches the pointer (after six pages, at
  // rows 77..86), then stops however long the button stays down.
  wnd.log.clear();
  int reachedAt = -1;
  PressUntil(192, 80, [&] {
    if (reachedAt < 0 && wnd.count(SB_PAGEDOWN) >= 6) reachedAt = (int)GetTickCount();
    return reachedAt >= 0 && (int)GetTickCount() - reachedAt > 300;
  });
  EXPECT_EQ(6, wnd.count(SB_PAGEDOWN));
  EXPECT_EQ(60, wnd.GetScrollPos(SB_VERT)) << "the thumb must not run past the pointer to the end";
  auto thumb = ThumbRows();
  EXPECT_LE(thumb.first, 80);
  EXPECT_GE(thumb.second + 10, 80);
}

TEST_F(ScrollBars, DraggingTheThumbTracksThenSetsThePosition) {
  // The thumb is 10 pixels long on a 102-pixel track: rows 16..25 at position 0; 92 pixels of
  // travel cover positions 0..90.
  Press(192, 20, 120, {{20, POINT{192, 43}}, {40, POINT{192, 66}}, {60, POINT{192, 66}}});
  std::vector<UINT> codes = wnd.codes(WM_VSCROLL);
  ASSERT_EQ(4u, codes.size());
  EXPECT_EQ((std::vector<UINT>{SB_THUMBTRACK, SB_THUMBTRACK, SB_THUMBPOSITION, SB_ENDSCROLL}), codes);
  EXPECT_EQ(23, wnd.log[0].pos);  // 23 px of 92 -> 22.5
  EXPECT_EQ(45, wnd.log[1].pos);
  EXPECT_EQ(45, wnd.trackPosSeen) << "GetScrollInfo(SIF_TRACKPOS) follows the drag";
  EXPECT_EQ(45, wnd.log[2].pos);
  EXPECT_EQ(45, wnd.GetScrollPos(SB_VERT));
  // Dragged past the end, the thumb stops at the last position.
  wnd.log.clear();
  Press(192, 66, 80, {{20, POINT{192, 400}}});
  EXPECT_EQ(90, wnd.GetScrollPos(SB_VERT));
  EXPECT_TRUE(wnd.mouse.empty());
}

TEST_F(ScrollBars, AThumbDraggedFarFromTheBarGoesBack) {
  wnd.SetScrollPos(SB_VERT, 30);
  // The thumb starts at row 16 + 30 * 92 / 90 = 46.
  Press(192, 50, 100, {{20, POINT{192, 80}}, {40, POINT{-300, 80}}});
  ASSERT_GE(wnd.log.size(), 3u);
  EXPECT_EQ(SB_THUMBTRACK, wnd.log[0].code);
  EXPECT_GT(wnd.log[0].pos, 30);
  EXPECT_EQ(SB_THUMBTRACK, wnd.log[1].code);
  EXPECT_EQ(30, wnd.log[1].pos);
  EXPECT_EQ(30, wnd.GetScrollPos(SB_VERT));
}

TEST_F(ScrollBars, TheThumbIsDrawnAtThePosition) {
  auto at0 = ThumbRows();
  EXPECT_EQ(16, at0.first);
  EXPECT_EQ(25, at0.second);
  wnd.SetScrollPos(SB_VERT, 90);
  auto atEnd = ThumbRows();
  EXPECT_EQ(108, atEnd.first);
  EXPECT_EQ(117, atEnd.second);
  // The track between is the checker; the horizontal thumb sits at its start.
  CBitmap bmp;
  ASSERT_TRUE(AfxCaptureWindow(wnd, &bmp));
  EXPECT_FALSE(Solid(bmp, 192, 60, 1, 0));
  EXPECT_TRUE(Solid(bmp, 20, 142, 0, 1));
  EXPECT_FALSE(Solid(bmp, 100, 142, 0, 1));
  // The arrows carry their black triangles (inside their raised edges).
  int dark = 0;
  for (int y = 121; y < 131; ++y)
    for (int x = 187; x < 197; ++x) dark += bmp.GetPixel(x, y) == RGB(0, 0, 0);
  EXPECT_GT(dark, 6);
}

TEST_F(ScrollBars, AChildWithABorderScrollsFromItsBar) {
  // 120 x 100 with a one-pixel border: the client is 102 x 98, the bar x 102..117 of it.
  CScrolled child;
  LPCTSTR cls = AfxRegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW), (HBRUSH)(COLOR_WINDOW + 1), nullptr);
  ASSERT_TRUE(
      child.Create(cls, "child", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL, CRect(10, 10, 130, 110), &wnd, 7));
  child.SetScrollRange(SB_VERT, 0, 20);
  CRect rc;
  child.GetClientRect(&rc);
  ASSERT_EQ(CRect(0, 0, 102, 98), rc);
  POINT down{110, 90};
  child.ClientToScreen(&down);
  AfxCallLater(20, [down] { AfxTestMouse(WM_LBUTTONUP, down); });
  AfxTestMouse(WM_MOUSEMOVE, down);
  AfxTestMouse(WM_LBUTTONDOWN, down);
  EXPECT_EQ((std::vector<UINT>{SB_LINEDOWN, SB_ENDSCROLL}), child.codes(WM_VSCROLL));
  EXPECT_TRUE(wnd.log.empty()) << "the parent hears nothing of a window's own bar";
  EXPECT_TRUE(child.mouse.empty());
}

TEST_F(ScrollBars, ABarWithNothingToScrollIgnoresPresses) {
  SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE, 0, 5, 10, 0, 0};
  wnd.SetScrollInfo(SB_VERT, &si);
  POINT down = screen(192, 125);
  AfxTestMouse(WM_MOUSEMOVE, down);
  AfxTestMouse(WM_LBUTTONDOWN, down);  // must not start tracking
  AfxTestMouse(WM_LBUTTONUP, down);
  AfxTestWait(5);
  EXPECT_TRUE(wnd.log.empty());
  EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(ScrollBars, TheWindowBeingDestroyedDuringAPressEndsTheTracking) {
  struct Destroyer : CScrolled {
    LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override {
      if (m == WM_VSCROLL && LOWORD(w) == SB_LINEDOWN) {
        LRESULT r = CScrolled::WindowProc(m, w, l);
        DestroyWindow();
        return r;
      }
      return CScrolled::WindowProc(m, w, l);
    }
  } d;
  LPCTSTR cls = AfxRegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW), nullptr, nullptr);
  ASSERT_TRUE(d.CreateEx(0, cls, "doomed", WS_POPUP | WS_VISIBLE | WS_VSCROLL, 400, 300, 100, 100, nullptr, nullptr));
  d.SetScrollRange(SB_VERT, 0, 50);
  POINT p{400 + 92, 300 + 92};
  AfxCallLater(400, [p] { AfxTestMouse(WM_LBUTTONUP, p); });
  AfxTestMouse(WM_MOUSEMOVE, p);
  AfxTestMouse(WM_LBUTTONDOWN, p);
  EXPECT_EQ(nullptr, d.GetSafeHwnd());
  EXPECT_EQ(1, d.count(SB_LINEDOWN));
  EXPECT_EQ(nullptr, GetCapture());
  AfxTestWait(450);
}

}  // namespace
