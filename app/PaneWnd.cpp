#include "app/PaneWnd.h"

IMPLEMENT_DYNAMIC(CPaneWnd, CWnd)

int CPaneWnd::OnCreate(LPCREATESTRUCT lpcs) {
  if (CWnd::OnCreate(lpcs) == -1) return -1;
  m_font.CreatePointFont(90, "MS Sans Serif");
  SetFont(&m_font, FALSE);
  return 0;
}

BOOL CPaneWnd::RelayoutAtClientSize() {
  if (!m_hWnd) return FALSE;
  CRect rc;
  GetClientRect(&rc);
  Layout(rc.Width(), rc.Height());
  Invalidate();
  return TRUE;
}
