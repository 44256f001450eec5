// What the colour and date popups share: a grid of pickable items under a mouse capture,
// raised while hovered and sunken while pressed, and a self-destruction that waits until the
// handler that caused it has returned.
#pragma once

#include "platform/ui/AfxWin.h"

#include <vector>

class CPickPopup : public CWnd {
  DECLARE_DYNAMIC(CPickPopup)
  DECLARE_MESSAGE_MAP()
 public:
  CPickPopup() = default;
  ~CPickPopup() override;
  // TRUE while the popup is open and not yet closing.
  BOOL IsOpen() const { return m_hWnd != nullptr && !m_bClosing; }

  void OnPaint();
  void OnMouseMove(UINT nFlags, CPoint point);
  void OnLButtonDown(UINT nFlags, CPoint point);
  void OnLButtonUp(UINT nFlags, CPoint point);
  LRESULT OnCloseLater(WPARAM, LPARAM);

 protected:
  BOOL CreatePopup(CWnd* pNotify, int x, int y, int cx, int cy);
  // Items are the rectangles the derived popup lays out; -1 is none.
  virtual int ItemAt(CPoint pt) const = 0;
  virtual CRect ItemRect(int nItem) const = 0;
  virtual void DrawContent(CDC* pDC) = 0;
  // A press and release on the same item.
  virtual void OnPicked(int nItem) = 0;
  // Closes after the running handler: hidden now, destroyed when the message comes up.
  void CloseLater();
  void DrawItemEdge(CDC* pDC, int nItem);

  CWnd* m_pNotify = nullptr;
  CSize m_size;
  int m_nHot = -1;
  int m_nPressed = -1;
  BOOL m_bClosing = FALSE;
};
