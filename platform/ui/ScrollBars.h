// Internal to the user-interface layer: the parts of a window's scroll bar (WS_HSCROLL,
// WS_VSCROLL), their drawing and their mouse tracking.
#pragma once

#include "platform/ui/Wnd.h"

#include <QPainter>
#include <QRect>

struct AfxWndRec;

// Parts of a scroll bar, from its top (left) end.
enum {
  AFX_SB_NOWHERE,
  AFX_SB_LINEUP,  // the arrow at the top or left
  AFX_SB_PAGEUP,  // the track before the thumb
  AFX_SB_THUMB,
  AFX_SB_PAGEDOWN,  // the track after the thumb
  AFX_SB_LINEDOWN,  // the arrow at the bottom or right
  AFX_SB_TRACK      // the whole track (a bar without a thumb)
};

// Where the parts of one bar are, in the coordinates of the window's widget (its top-left
// corner outside the borders). Lengths run along the bar; the track starts after the first arrow.
struct AfxScrollBarLayout {
  bool vertical = true;
  bool enabled = false;  // there is something to scroll and the window is enabled
  QRect bar;
  int arrow = 0;
  int trackStart = 0;
  int trackLength = 0;
  int thumbStart = 0;   // from the start of the track
  int thumbLength = 0;  // 0: no thumb
};

// False when the window shows no such bar.
bool AfxScrollBarLayoutOf(const AfxWndRec* r, int nBar, AfxScrollBarLayout* out);
QRect AfxScrollBarPartRect(const AfxScrollBarLayout& l, int part);
int AfxScrollBarHitTest(const AfxScrollBarLayout& l, QPoint ptWidget);
// Draws both bars (and the corner between them) of a window's non-client area.
void AfxDrawWindowScrollBars(QPainter& p, const AfxWndRec* r);
// A left press at ptScreen on the window's bar nBar: tracks the mouse until the button is
// released, sending the bar's WM_HSCROLL / WM_VSCROLL. FALSE when the press hit no active part.
BOOL AfxTrackWindowScrollBar(HWND hWnd, int nBar, POINT ptScreen);
