// Dragging a toolbar between the dock bars and floating, and sizing a floating one; the bar
// remembers where it was docked so a double click puts it back.
#pragma once

#include "platform/ui/AfxWin.h"

#include <vector>

class CCbToolBar;
class CCbDockBar;

class CCbDockContext {
 public:
  // Drag kinds: a move, or sizing from an edge or corner (the hit-test codes of the border).
  static constexpr int kMove = 1;

  explicit CCbDockContext(CCbToolBar* pBar);
  virtual ~CCbDockContext();

  // A press on the bar outside its controls, in screen coordinates: moves it until release.
  virtual void StartDrag(CPoint pt);
  // A press on a floating bar's border (HTLEFT..HTBOTTOMRIGHT), in screen coordinates.
  virtual void StartResize(int nHitTest, CPoint pt);
  // A double click: a floating bar goes back where it was docked (a docked one floats only
  // when the options allow it).
  virtual void ToggleDocking();
  // The drag or size loop; FALSE when it could not start (another window holds the mouse).
  virtual BOOL Track();

  // Puts a floating bar at its last floating place (or the given one) and measures it.
  void FloatAt(CPoint ptTopLeft);
  // TRUE while a drag or size loop of this thread runs.
  static BOOL IsTracking() { return s_nTracking > 0; }

  CCbToolBar* m_pBar;
  CWnd* m_pSite = nullptr;
  int m_nHitTest = 0;
  CPoint m_ptLast;
  int m_nDockBar = 0;               // the saved docked place: the dock bar's index...
  CRect m_rcDocked;                 // ...and the rectangle in its client coordinates (empty: a new last row)
  CPoint m_ptFloat = CPoint(0, 0);  // the last floating position; (0, 0) for none
  CRect m_rcDragging;               // the drag rectangle, screen coordinates
  CRect m_rcWindow;                 // the bar's window while sizing

 protected:
  void Move(CPoint pt);
  void Stretch(CPoint pt);
  // The dock bar whose window (grown by 20 pixels) holds the point, its own first.
  CCbDockBar* DockBarUnder(CPoint pt) const;
  BOOL CanDockOn(int nDockBar) const;
  void CarryOutLayout();

 private:
  BOOL m_bStartedDocked = FALSE;
  int m_nStartDockBar = 0;
  CRect m_rcStartDocked;
  static int s_nTracking;
};

// Where a floating bar goes so it lies inside some monitor's work area: the one that holds
// most of it, or the nearest; moved in as far as it fits (its top-left corner first).
CRect CbKeepInWorkArea(const std::vector<CRect>& workAreas, const CRect& rcWindow);
// The work areas of the monitors there are now.
std::vector<CRect> CbMonitorWorkAreas();
