// Drop shadows along the right and bottom edges of popups (menus, submenus, combo lists) and of
// the menu-bar title whose menu is open. Each strip is a small top-level window that follows
// its popup's showing and hiding and dies with it; the mouse goes through it.
#pragma once

#include "platform/ui/AfxWin.h"
#include "toolkit/CbHookManager.h"

class CCbControl;
class CCbShadowsManager;

class CShadowWnd : public CWnd, public CCbHookManagerHookAble {
  DECLARE_MESSAGE_MAP()
 public:
  CShadowWnd() = default;
  ~CShadowWnd() override;

  HWND m_hWndPopup = nullptr;  // the popup the strip belongs to
  BOOL m_bBottom = FALSE;      // 1 the bottom strip, 0 the right strip
  BOOL m_bOwnShadow = TRUE;    // the look draws its own shadows (copied when made)
  BOOL m_bLayered = FALSE;     // soft alpha strip (a compositor blends it), else solid
  BOOL m_bControl = FALSE;     // round the control that opened the popup, not the popup
  CRect m_rcStrip;             // screen coordinates
  CRect m_rcExclude;           // left uncovered: the control that opened the popup
  COLORREF m_clrShadow = 0;

  int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult) override;
  // Paints the layered picture (on every size change).
  BOOL UpdateLayer();

 protected:
  void OnPaint();
  LRESULT OnNcHitTest(CPoint point);
  void OnSize(UINT nType, int cx, int cy);
  BOOL OnEraseBkgnd(CDC* pDC);
};

class CShadowList : public CTypedPtrList<CPtrList, CShadowWnd*> {
 public:
  CShadowList() : CTypedPtrList<CPtrList, CShadowWnd*>(10) {}
};

class CCbShadowsManager {
 public:
  CCbShadowsManager();
  ~CCbShadowsManager();

  // A popup was shown: its two strips round its window rectangle, leaving rcExclude (the
  // opening control, screen coordinates; may be empty) uncovered.
  void SetShadow(CWnd* pPopup, const CRect& rcExclude);
  void SetShadow(HWND hWndPopup, const CRect& rcExclude);
  // A menu-bar title whose popup is open: the same strips round the control, belonging to the
  // popup (so they go with it), replacing the control's earlier ones; only when the look draws
  // its own shadows.
  void SetShadow(CCbControl* pControl);
  // The strips round a screen rectangle, belonging to hWndPopup.
  void SetShadow(const CRect& rcScreen, HWND hWndPopup, const CRect& rcExclude, BOOL bControl = FALSE);
  // Destroys every strip of the popup.
  void RemoveShadow(CWnd* pPopup);
  void RemoveShadow(HWND hWndPopup);
  void RemoveAll();

  CShadowList& GetList() { return m_lstShadow; }
  int GetCount(HWND hWndPopup = nullptr) const;

  // ---- The rules, apart from windows ----
  // Whether a popup gets a shadow: the flat and gradient looks always; the others only with
  // layered strips and the system's menu drop shadow on.
  static BOOL IsShadowWanted(BOOL bOwnShadow, BOOL bLayered, BOOL bSystemDropShadow);
  static int GetStripWidth(BOOL bLayered) { return bLayered ? 4 : 2; }
  static CRect GetBottomRect(const CRect& rcPopup, int nWidth);
  static CRect GetRightRect(const CRect& rcPopup, int nWidth);
  // The picture of a layered strip, premultiplied BGRA rows from the top (cx x cy DWORDs).
  // Alpha 15 x q x k along the strip, k = 1..4 from the outer edge, colour x k / 4; the 4 by 4
  // ends fade both ways, alpha 3 x q x i x j, colour x i x j / 20. q is 1 for a look's own
  // shadow, else 2.
  static void FillStripBits(DWORD* pBits, int cx, int cy, BOOL bBottom, COLORREF clr, int q);

 private:
  CShadowWnd* CreateStrip(HWND hWndPopup, const CRect& rc, BOOL bBottom, BOOL bLayered, BOOL bOwnShadow,
                          const CRect& rcExclude, BOOL bControl);
  void DestroyStrip(CShadowWnd* pStrip);
  // No strip darkens a popup: each is cut by its excluded control and every popup window.
  void UpdateRegions();
  void DropDead();

  friend class CShadowWnd;
  CShadowList m_lstShadow;
};

// The instance, built on first use.
CCbShadowsManager* CbShadowsManager();
