// The scroll-bar control (window class WC_SCROLLBAR): arrows, a track and a thumb sized by
// the page, reporting to the parent with WM_HSCROLL/WM_VSCROLL (lParam the bar). As on the
// platform, the bar does not move its own position: the parent answers with SetScrollPos or
// SetScrollInfo; while the thumb is dragged, the bar shows the track position.
#pragma once

#include "platform/ui/Controls.h"

#define WC_SCROLLBAR "ScrollBar"

#define SBS_HORZ 0x0000L
#define SBS_VERT 0x0001L
#define SBS_TOPALIGN 0x0002L
#define SBS_LEFTALIGN 0x0002L
#define SBS_BOTTOMALIGN 0x0004L
#define SBS_RIGHTALIGN 0x0004L
#define SBS_SIZEBOX 0x0008L
#define SBS_SIZEGRIP 0x0010L

#ifndef SBM_SETPOS
#define SBM_SETPOS 0x00E0
#define SBM_GETPOS 0x00E1
#define SBM_SETRANGE 0x00E2
#define SBM_GETRANGE 0x00E3
#define SBM_ENABLE_ARROWS 0x00E4
#define SBM_SETRANGEREDRAW 0x00E6
#define SBM_SETSCROLLINFO 0x00E9
#define SBM_GETSCROLLINFO 0x00EA
#endif

#define ESB_ENABLE_BOTH 0x0000
#define ESB_DISABLE_BOTH 0x0003
#define ESB_DISABLE_LEFT 0x0001
#define ESB_DISABLE_RIGHT 0x0002
#define ESB_DISABLE_UP 0x0001
#define ESB_DISABLE_DOWN 0x0002
#define ESB_DISABLE_LTUP ESB_DISABLE_LEFT
#define ESB_DISABLE_RTDN ESB_DISABLE_RIGHT

class CScrollBar : public CControlWnd {
  DECLARE_DYNAMIC(CScrollBar)
 public:
  virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  int GetScrollPos() const;
  int SetScrollPos(int nPos, BOOL bRedraw = TRUE);
  void GetScrollRange(LPINT lpMinPos, LPINT lpMaxPos) const;
  void SetScrollRange(int nMinPos, int nMaxPos, BOOL bRedraw = TRUE);
  void ShowScrollBar(BOOL bShow = TRUE);
  BOOL EnableScrollBar(UINT nArrowFlags = ESB_ENABLE_BOTH);
  BOOL SetScrollInfo(LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE);
  BOOL GetScrollInfo(LPSCROLLINFO lpScrollInfo, UINT nMask = SIF_ALL);
  int GetScrollLimit();
};
