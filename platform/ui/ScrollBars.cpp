// The scroll bars of windows made with WS_HSCROLL or WS_VSCROLL: their parts, their classic
// drawing and the mouse tracking that turns presses on them into WM_HSCROLL / WM_VSCROLL.
//
// A press on an arrow sends SB_LINEUP / SB_LINEDOWN, on the track beside the thumb SB_PAGEUP /
// SB_PAGEDOWN, both repeated while the button stays down over that part; dragging the thumb
// sends SB_THUMBTRACK for every new position and SB_THUMBPOSITION where it is let go. Every
// press ends with SB_ENDSCROLL. lParam is 0, as for every window scroll bar.
#include "platform/ui/ScrollBars.h"

#include "platform/ui/UiInternal.h"
#include "platform/ui/WinApp.h"

#include <QPolygon>
#include <QTimer>

#include <algorithm>

namespace {

const int kBar = 16;  // width of a bar and length of its arrows (SM_CXVSCROLL)
const int kMinThumb = 8;
const int kRepeatDelay = 350;  // ms before a held arrow or page press repeats
const int kRepeatPeriod = 50;
// A thumb dragged this far away from its bar goes back to where the drag started.
const int kThumbSnapDistance = 8 * kBar;

// The bar being tracked, for its drawing: the part pressed and whether the pointer is on it.
struct Tracking {
  HWND h = nullptr;
  int bar = -1;
  int part = AFX_SB_NOWHERE;
  bool down = false;    // the pressed part is shown pressed
  int thumbStart = -1;  // while dragging: the thumb's offset along the track, in pixels
};
Tracking g_tracking;

bool barShown(const AfxWndRec* r, int bar) {
  return bar == SB_VERT ? (r->style & WS_VSCROLL) && r->sb[SB_VERT].visible
                        : (r->style & WS_HSCROLL) && r->sb[SB_HORZ].visible;
}

// The client rectangle in the widget's coordinates.
QRect clientInWidget(const AfxWndRec* r) {
  QMargins m = AfxNonClientMargins(r);
  return QRect(m.left(), m.top(), std::max(0, r->w->width() - m.left() - m.right()),
               std::max(0, r->w->height() - m.top() - m.bottom()));
}

// The highest position the bar can reach: nMax less the page, as SetScrollInfo clamps it.
int maxPos(const SCROLLINFO& si) { return std::max(si.nMin, si.nMax - std::max<int>(0, (int)si.nPage - 1)); }

}  // namespace

bool AfxScrollBarLayoutOf(const AfxWndRec* r, int nBar, AfxScrollBarLayout* out) {
  if (!r || !r->w || (nBar != SB_HORZ && nBar != SB_VERT) || !barShown(r, nBar)) return false;
  AfxScrollBarLayout& l = *out;
  l = AfxScrollBarLayout{};
  l.vertical = nBar == SB_VERT;
  QRect c = clientInWidget(r);
  l.bar =
      l.vertical ? QRect(c.right() + 1, c.top(), kBar, c.height()) : QRect(c.left(), c.bottom() + 1, c.width(), kBar);
  int length = l.vertical ? l.bar.height() : l.bar.width();
  // Arrows share a bar too short for both at full length.
  l.arrow = std::min(kBar, length / 2);
  l.trackStart = l.arrow;
  l.trackLength = std::max(0, length - 2 * l.arrow);
  const SCROLLINFO& si = r->sb[nBar].si;
  int range = si.nMax - si.nMin + 1;
  l.enabled = maxPos(si) > si.nMin && r->enabled;
  if (!l.enabled) return true;
  l.thumbLength =
      si.nPage ? (int)std::max<long long>(kMinThumb, (long long)l.trackLength * si.nPage / std::max(1, range)) : kBar;
  if (l.thumbLength > l.trackLength) {
    l.thumbLength = 0;  // no room for a thumb: the arrows still work
    return true;
  }
  int travel = l.trackLength - l.thumbLength;
  int pos = std::clamp(si.nPos, si.nMin, maxPos(si));
  l.thumbStart = (int)((long long)travel * (pos - si.nMin) / std::max(1, maxPos(si) - si.nMin));
  if (g_tracking.h == r->h && g_tracking.bar == nBar && g_tracking.thumbStart >= 0)
    l.thumbStart = std::clamp(g_tracking.thumbStart, 0, travel);
  return true;
}

QRect AfxScrollBarPartRect(const AfxScrollBarLayout& l, int part) {
  auto span = [&](int from, int length) {
    return l.vertical ? QRect(l.bar.left(), l.bar.top() + from, l.bar.width(), length)
                      : QRect(l.bar.left() + from, l.bar.top(), length, l.bar.height());
  };
  int length = l.vertical ? l.bar.height() : l.bar.width();
  switch (part) {
    case AFX_SB_LINEUP: return span(0, l.arrow);
    case AFX_SB_LINEDOWN: return span(length - l.arrow, l.arrow);
    case AFX_SB_TRACK: return span(l.trackStart, l.trackLength);
    case AFX_SB_PAGEUP: return l.thumbLength ? span(l.trackStart, l.thumbStart) : QRect();
    case AFX_SB_THUMB: return l.thumbLength ? span(l.trackStart + l.thumbStart, l.thumbLength) : QRect();
    case AFX_SB_PAGEDOWN:
      if (!l.thumbLength) return QRect();
      return span(l.trackStart + l.thumbStart + l.thumbLength, l.trackLength - l.thumbStart - l.thumbLength);
  }
  return QRect();
}

int AfxScrollBarHitTest(const AfxScrollBarLayout& l, QPoint pt) {
  if (!l.bar.contains(pt)) return AFX_SB_NOWHERE;
  for (int part : {AFX_SB_LINEUP, AFX_SB_LINEDOWN, AFX_SB_THUMB, AFX_SB_PAGEUP, AFX_SB_PAGEDOWN})
    if (AfxScrollBarPartRect(l, part).contains(pt)) return part;
  return AFX_SB_TRACK;  // a track without a thumb
}

void AfxDrawWindowScrollBars(QPainter& p, const AfxWndRec* r) {
  auto sys = [](int i) { return AfxQColor(GetSysColor(i)); };
  // The classic track: the scroll-bar colour, or where that is the button face, a fine
  // checker of face and highlight so the thumb stands out.
  auto trackBrush = [&] {
    if (GetSysColor(COLOR_SCROLLBAR) != GetSysColor(COLOR_3DFACE)) return QBrush(sys(COLOR_SCROLLBAR));
    QImage checker(2, 2, QImage::Format_RGB32);
    checker.setPixel(0, 0, sys(COLOR_3DHILIGHT).rgb());
    checker.setPixel(1, 1, sys(COLOR_3DHILIGHT).rgb());
    checker.setPixel(1, 0, sys(COLOR_3DFACE).rgb());
    checker.setPixel(0, 1, sys(COLOR_3DFACE).rgb());
    return QBrush(checker);
  };
  auto raised = [&](QRect rc, bool pressed) {
    p.fillRect(rc, sys(COLOR_3DFACE));
    if (rc.width() < 2 || rc.height() < 2) return;
    if (pressed) {
      p.setPen(sys(COLOR_3DSHADOW));
      p.drawRect(rc.adjusted(0, 0, -1, -1));
      return;
    }
    auto edge = [&](QRect e, QColor tl, QColor br) {
      p.setPen(tl);
      p.drawLine(e.topLeft(), e.topRight());
      p.drawLine(e.topLeft(), e.bottomLeft());
      p.setPen(br);
      p.drawLine(e.bottomLeft(), e.bottomRight());
      p.drawLine(e.topRight(), e.bottomRight());
    };
    edge(rc, sys(COLOR_3DLIGHT), sys(COLOR_3DDKSHADOW));
    edge(rc.adjusted(1, 1, -1, -1), sys(COLOR_3DHILIGHT), sys(COLOR_3DSHADOW));
  };
  // A solid triangle pointing away from the track: up, down, left or right.
  auto glyph = [&](QRect rc, int dir, bool enabled, bool pressed) {
    QPoint c = rc.center() + (pressed ? QPoint(1, 1) : QPoint());
    int s = std::max(1, std::min(rc.width(), rc.height()) / 4);
    QPolygon t;
    switch (dir) {
      case 0:
        t << QPoint(c.x() - s, c.y() + s / 2) << QPoint(c.x() + s, c.y() + s / 2) << QPoint(c.x(), c.y() - s / 2 - 1);
        break;
      case 1:
        t << QPoint(c.x() - s, c.y() - s / 2) << QPoint(c.x() + s, c.y() - s / 2) << QPoint(c.x(), c.y() + s / 2 + 1);
        break;
      case 2:
        t << QPoint(c.x() + s / 2, c.y() - s) << QPoint(c.x() + s / 2, c.y() + s) << QPoint(c.x() - s / 2 - 1, c.y());
        break;
      default:
        t << QPoint(c.x() - s / 2, c.y() - s) << QPoint(c.x() - s / 2, c.y() + s) << QPoint(c.x() + s / 2 + 1, c.y());
        break;
    }
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    if (!enabled) {
      p.setPen(sys(COLOR_3DHILIGHT));
      p.setBrush(sys(COLOR_3DHILIGHT));
      p.drawPolygon(t.translated(1, 1));
    }
    QColor ink = enabled ? sys(COLOR_BTNTEXT) : sys(COLOR_3DSHADOW);
    p.setPen(ink);
    p.setBrush(ink);
    p.drawPolygon(t);
    p.restore();
  };
  bool shown[2] = {false, false};
  for (int bar : {SB_HORZ, SB_VERT}) {
    AfxScrollBarLayout l;
    if (!AfxScrollBarLayoutOf(r, bar, &l)) continue;
    shown[bar] = true;
    bool tracked = g_tracking.h == r->h && g_tracking.bar == bar;
    auto isDown = [&](int part) { return tracked && g_tracking.down && g_tracking.part == part; };
    p.fillRect(l.bar, trackBrush());
    // A page press darkens its side of the track while it repeats.
    for (int part : {AFX_SB_PAGEUP, AFX_SB_PAGEDOWN})
      if (isDown(part)) p.fillRect(AfxScrollBarPartRect(l, part), sys(COLOR_3DDKSHADOW));
    QRect up = AfxScrollBarPartRect(l, AFX_SB_LINEUP), down = AfxScrollBarPartRect(l, AFX_SB_LINEDOWN);
    raised(up, isDown(AFX_SB_LINEUP));
    raised(down, isDown(AFX_SB_LINEDOWN));
    glyph(up, l.vertical ? 0 : 2, l.enabled, isDown(AFX_SB_LINEUP));
    glyph(down, l.vertical ? 1 : 3, l.enabled, isDown(AFX_SB_LINEDOWN));
    if (l.enabled && l.thumbLength) raised(AfxScrollBarPartRect(l, AFX_SB_THUMB), false);
  }
  if (shown[SB_HORZ] && shown[SB_VERT]) {
    QRect c = clientInWidget(r);
    p.fillRect(QRect(c.right() + 1, c.bottom() + 1, kBar, kBar), sys(COLOR_3DFACE));
  }
}

BOOL AfxTrackWindowScrollBar(HWND hWnd, int nBar, POINT ptScreen) {
  AfxWndRec* r = AfxRec(hWnd);
  AfxScrollBarLayout l;
  if (!r || g_tracking.h || !AfxScrollBarLayoutOf(r, nBar, &l) || !l.enabled) return FALSE;
  // Points arrive in screen coordinates; the layout is in the widget's.
  auto toWidget = [hWnd](POINT pt) {
    AfxWndRec* w = AfxRec(hWnd);
    if (!w) return QPoint();
    QMargins m = AfxNonClientMargins(w);
    return QPoint(pt.x, pt.y) - (AfxClientOriginOnScreen(w) - QPoint(m.left(), m.top()));
  };
  QPoint at = toWidget(ptScreen);
  int part = AfxScrollBarHitTest(l, at);
  if (part == AFX_SB_NOWHERE || part == AFX_SB_TRACK) return FALSE;
  const UINT msg = nBar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
  auto send = [&](UINT code, int pos) {
    if (IsWindow(hWnd)) ::SendMessage(hWnd, msg, MAKEWPARAM(code, (WORD)pos), 0);
  };
  auto repaint = [hWnd] {
    if (AfxWndRec* w = AfxRec(hWnd)) w->w->update();
  };
  auto codeOf = [](int p) {
    switch (p) {
      case AFX_SB_LINEUP: return SB_LINEUP;
      case AFX_SB_LINEDOWN: return SB_LINEDOWN;
      case AFX_SB_PAGEUP: return SB_PAGEUP;
      default: return SB_PAGEDOWN;
    }
  };

  g_tracking = Tracking{hWnd, nBar, part, true, -1};
  ::SetCapture(hWnd);
  bool released = false;
  QPoint pointer = at;

  // Thumb drag: where on the thumb it was taken, and the position it started from.
  const int grab = (l.vertical ? at.y() - l.bar.top() : at.x() - l.bar.left()) - l.trackStart - l.thumbStart;
  const int startPos = r->sb[nBar].si.nPos;
  int trackPos = startPos;
  auto thumbTo = [&](QPoint pt) {
    AfxWndRec* w = AfxRec(hWnd);
    AfxScrollBarLayout now;
    if (!w || !AfxScrollBarLayoutOf(w, nBar, &now) || !now.enabled || !now.thumbLength) return;
    const SCROLLINFO& si = w->sb[nBar].si;
    int travel = now.trackLength - now.thumbLength;
    int along = (now.vertical ? pt.y() - now.bar.top() : pt.x() - now.bar.left()) - now.trackStart - grab;
    int across = now.vertical ? std::max(now.bar.left() - pt.x(), pt.x() - now.bar.right())
                              : std::max(now.bar.top() - pt.y(), pt.y() - now.bar.bottom());
    int pos;
    if (across > kThumbSnapDistance) {
      pos = startPos;  // the thumb is drawn from the position again
      g_tracking.thumbStart = -1;
    } else {
      along = std::clamp(along, 0, travel);
      g_tracking.thumbStart = along;
      pos = si.nMin + (travel ? (int)(((long long)along * (maxPos(si) - si.nMin) + travel / 2) / travel) : 0);
    }
    repaint();
    if (pos == trackPos) return;
    trackPos = pos;
    w->sb[nBar].si.nTrackPos = pos;
    send(SB_THUMBTRACK, pos);
  };

  // An arrow or page press acts at once, then repeats while held over its part; a page press
  // stops once the thumb reaches the pointer.
  auto step = [&] {
    AfxWndRec* w = AfxRec(hWnd);
    AfxScrollBarLayout now;
    if (!w || !AfxScrollBarLayoutOf(w, nBar, &now)) return;
    bool over = AfxScrollBarHitTest(now, pointer) == part;
    if (over != g_tracking.down) {
      g_tracking.down = over;
      repaint();
    }
    if (over) send((UINT)codeOf(part), 0);
  };
  QTimer repeat;
  if (part == AFX_SB_THUMB) {
    r->sb[nBar].si.nTrackPos = startPos;
    g_tracking.thumbStart = l.thumbStart;
    g_tracking.down = false;
    repaint();
  } else {
    repaint();
    send((UINT)codeOf(part), 0);
    repeat.setInterval(kRepeatDelay);
    QObject::connect(&repeat, &QTimer::timeout, [&] {
      repeat.setInterval(kRepeatPeriod);
      step();
    });
    repeat.start();
  }

  AfxRunModalLoop([&] { return !released && IsWindow(hWnd) && GetCapture() == hWnd; },
                  [&](MSG& m) -> BOOL {
                    if (m.hwnd != hWnd || m.message < WM_MOUSEFIRST || m.message > WM_MOUSELAST) return FALSE;
                    pointer = toWidget(m.pt);
                    if (m.message == WM_MOUSEMOVE) {
                      if (part == AFX_SB_THUMB)
                        thumbTo(pointer);
                      else {
                        AfxWndRec* w = AfxRec(hWnd);
                        AfxScrollBarLayout now;
                        bool over =
                            w && AfxScrollBarLayoutOf(w, nBar, &now) && AfxScrollBarHitTest(now, pointer) == part;
                        if (over != g_tracking.down) {
                          g_tracking.down = over;
                          repaint();
                        }
                      }
                    } else if (m.message == WM_LBUTTONUP) {
                      released = true;
                    }
                    return TRUE;  // the bar's own input: the window never sees it
                  });
  repeat.stop();
  g_tracking = Tracking{};
  if (GetCapture() == hWnd) ::ReleaseCapture();
  repaint();
  if (part == AFX_SB_THUMB) {
    if (AfxWndRec* w = AfxRec(hWnd)) w->sb[nBar].si.nTrackPos = trackPos;
    send(SB_THUMBPOSITION, trackPos);
  }
  send(SB_ENDSCROLL, 0);
  return TRUE;
}
