// The title strip above a pane: shows the current port's name (or a page title) and, when
// clicked, opens the recent-ports menu or the page menu under itself.
#pragma once

#include "app/PortsHost.h"
#include "app/PortsResource.h"
#include "platform/ui/AfxWin.h"

class CPortNameWnd : public CWnd {
  DECLARE_DYNAMIC(CPortNameWnd)
 public:
  CPortNameWnd();
  ~CPortNameWnd() override;

  BOOL Create(const RECT& rect, CWnd* pParentWnd, UINT nID);
  void SetText(LPCTSTR lpszText);
  const CString& GetText() const { return m_strText; }
  // The button opens the page menu instead of the recent ports.
  void SetMenuMode(BOOL bPageMenu = TRUE);
  // The title strip of the right pane: the page now shown; the button opens the page menu.
  void SetOptionFlag(int nPage);
  // No button behaviour; the strip shows "Routes".
  void SetStatic(BOOL bStatic = TRUE);
  BOOL IsHot() const { return m_bHover; }
  BOOL IsPressed() const { return m_bPressed; }
  void SetHost(IPortsHost* pHost) { m_pHost = pHost; }
  // The text cut from its end, with "...", until it fits the width in the DC's font.
  static CString FitText(CDC* pDC, const CString& strText, int nWidth);

 protected:
  IPortsHost* Host() const { return m_pHost ? m_pHost : GetPortsHost(); }
  void OpenMenu();
  BOOL CanHover() const;

  int OnCreate(LPCREATESTRUCT lpCreateStruct);
  void OnPaint();
  // A screen reader reads the caption as a label (AppAccessible.cpp).
  LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
  BOOL OnEraseBkgnd(CDC* pDC);
  void OnSize(UINT nType, int cx, int cy);
  void OnMouseMove(UINT nFlags, CPoint point);
  void OnLButtonDown(UINT nFlags, CPoint point);
  void OnLButtonUp(UINT nFlags, CPoint point);
  void OnEnable(BOOL bEnable);
  void OnCaptureChanged(CWnd* pWnd);
  DECLARE_MESSAGE_MAP()

 private:
  CFont m_font;
  CString m_strText = "Port Name";
  CImageList m_images;
  int m_bMenuMode = 0;
  int m_bEnabled = 1;
  int m_bArmed = 0;
  int m_bHover = 0;
  int m_bPressed = 0;
  int m_bStatic = 0;
  CRect m_rcButton;
  int m_nPage = -1;
  IPortsHost* m_pHost = nullptr;
};
