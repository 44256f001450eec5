// What the main window's two columns share: the dialog font their children take, a background
// they paint themselves, and laying their children out again at the current size.
#pragma once

#include "platform/ui/AfxWin.h"

class CPaneWnd : public CWnd {
  DECLARE_DYNAMIC(CPaneWnd)
 public:
  CFont m_font;

  // Whether the window is shown (also while the frame itself is not yet on screen).
  static BOOL Shown(const CWnd& w) { return w.GetSafeHwnd() && (w.GetStyle() & WS_VISIBLE) != 0; }
  // Places the children in a client area of w x h.
  virtual void Layout(int w, int h) = 0;

  int OnCreate(LPCREATESTRUCT lpcs);
  BOOL OnEraseBkgnd(CDC*) { return TRUE; }

 protected:
  // Lays the children out at the client size and repaints the pane; FALSE before it exists.
  BOOL RelayoutAtClientSize();
};
