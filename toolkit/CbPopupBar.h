// Popup menus: a bar in a window of its own that opens beside or below the control that opened it
// (or at a bare point, as a context menu), sizes itself to its controls, scrolls when the screen
// is too short and shows rarely used items on request. The window never takes the focus.
#pragma once

#include "toolkit/CbCommandBar.h"
#include "toolkit/CbPopupPlacement.h"

class CCbPopupBar : public CCbCommandBar {
  DECLARE_SERIAL(CCbPopupBar)
  DECLARE_MESSAGE_MAP()
 public:
  static constexpr UINT kScrollDownTimer = 5001;
  static constexpr UINT kScrollUpTimer = 5002;
  static constexpr UINT kTearOffTimer = 5003;
  static constexpr int kScrollButton = 16;
  static constexpr int kScrollDelay = 80;
  // Direction flags.
  enum { popupLeft = 1, popupBelow = 2 };

  CCbPopupBar();
  ~CCbPopupBar() override;

  // A new, empty popup.
  static CCbPopupBar* CreatePopupBar(CCbCommandBars* pCommandBars);

  // ---- Overridables ----
  // For every visible control with a command, the frame's shortcut text.
  virtual void UpdateShortcuts();
  // Direction, exclusion rectangle and anchor from the opening control.
  virtual void UpdateLocation();

  void DelayRedraw() override;
  BOOL SetTrackingMode(int nMode, BOOL bSelectFirst = TRUE, BOOL bKeyboard = FALSE) override;
  BOOL SetSelected(int nSelected, BOOL bKeyboard = FALSE) override;
  // Opens at the control (its parent bar's window must exist).
  BOOL Popup(CCbControl* pControl, BOOL bKeyboard = FALSE) override;
  // Opens at a screen point (a context menu), kept clear of the rectangle when given.
  BOOL Popup(int x, int y, LPCRECT rcExclude = nullptr);
  CCbCommandBar* GetParentCommandBar() const override;
  BOOL OnHookKeyDown(UINT nChar, LPARAM lParam) override;
  // A scrolling popup scrolls an item a notch; any popup keeps the wheel from the windows below.
  BOOL OnHookMouseWheel(WPARAM wParam, LPARAM lParam) override;
  CSize CalcDynamicLayout(int nLength, DWORD dwMode) override;
  void DrawCommandBar(CDC* pDC, CRect rcClip) override;
  void OnControlsChanged() override;
  void OnRecalcLayout() override;
  void DoPropExchange(CCbPropExchange* pPX) override;
  int OnMouseHitTest(CPoint ptScreen) override;
  void OnTrackMouseMove(CPoint ptClient) override;
  BOOL IsVisible() const override { return GetSafeHwnd() && IsWindowVisible(); }

  // The shadow of an open popup: made once it is placed and shown (ShowShadow), removed just
  // before its window goes.
  virtual void OnPopupShown(const CRect& rcWindow);
  virtual void OnPopupHiding();

  // Shows the rarely used items, once; FALSE when there is nothing to show.
  BOOL ExpandBar();

  // ---- Fields ----
  CCbControl* GetControlPopup() const override { return m_pControlPopup; }
  // Popups without a control go to this frame's command bars (a context menu).
  DWORD GetPopupFlags() const { return m_dwPopupFlags; }
  void SetPopupFlags(DWORD dw) { m_dwPopupFlags = dw; }
  BOOL IsScrolling() const { return m_bScroll; }
  int GetFirstVisible() const { return m_nFirstVisible; }
  CRect GetBorders() const { return m_rcBorders; }
  void SetBorders(const CRect& rc) { m_rcBorders = rc; }
  BOOL GetShowShadow() const { return m_bShowShadow; }
  void SetShowShadow(BOOL b) { m_bShowShadow = b; }
  int GetMRUWidth() const { return m_nMRUWidth; }
  void SetMRUWidth(int n) { m_nMRUWidth = n; }
  // The width a popup is kept to at least (a combo's list: the combo's width).
  // What a context menu tracked for its command returned (0 when dismissed).
  UINT GetReturnCmd() const { return m_nReturnCmd; }
  void SetReturnCmd(UINT n) { m_nReturnCmd = n; }
  BOOL IsReturnCmd() const { return m_bReturnCmd; }
  void SetReturnCmdMode(BOOL b) { m_bReturnCmd = b; }
  // When the popup last closed (GetTickCount), 0 before.
  DWORD GetClosedTick() const { return m_dwClosedTick; }

  // ---- Messages ----
  void OnMouseMove(UINT nFlags, CPoint point);
  void OnMouseLeave();
  int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
  void OnTimer(UINT_PTR nIDEvent);
  void OnLButtonDown(UINT nFlags, CPoint point);
  // Over the popup itself: as anywhere else while the menu is open.
  BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
  void OnPaint();

 protected:
  // Creates the window when there is none; FALSE when it can't be.
  BOOL CreatePopupWindow();
  // Places and shows the popup at the anchor; the placed rectangle.
  CRect PlacePopup(CSize sz);
  // Lays the items out from the first visible one when scrolling.
  void LayoutScrolled(int nHeight);
  void ScrollBy(int nStep);
  void OpenLaidOut(BOOL bKeyboard);
  void StartAnimation();

  CCbControl* m_pControlPopup = nullptr;
  CPoint m_ptPopup = CPoint(0, 0);
  CRect m_rcExclude = CRect(0, 0, 0, 0);
  DWORD m_dwPopupFlags = 0;
  BOOL m_bScroll = FALSE;
  int m_nFirstVisible = 0;
  int m_nLastVisible = -1;
  CRect m_rcScrollUp = CRect(0, 0, 0, 0), m_rcScrollDown = CRect(0, 0, 0, 0);
  BOOL m_bExpanded = FALSE;
  BOOL m_bExpandButton = FALSE;
  CCbControl* m_pExpandItem = nullptr;
  BOOL m_bTearOffPopup = FALSE;
  CString m_strTearOffCaption;
  UINT m_nTearOffID = 0;
  int m_nTearOffWidth = 0;
  CRect m_rcTearOff = CRect(0, 0, 0, 0);
  CRect m_rcBorders = CRect(2, 4, 2, 4);
  BOOL m_bShowShadow = TRUE;
  BOOL m_bAnimationPending = FALSE;
  int m_nAnimationKind = 5;  // chosen when the paint is asked for: 2 unfold, 3 slide, 4 fade, 5 none
  UINT m_nReturnCmd = 0;
  BOOL m_bReturnCmd = FALSE;
  BOOL m_bBarePoint = FALSE;
  CSize m_szFull = CSize(0, 0);  // the laid-out size before any shortening
  CRect m_rcWork = CRect(0, 0, 0, 0);
  DWORD m_dwClosedTick = 0;
};

// A popup whose controls are laid out as a toolbar (a toolbar's expand popup).
class CCbPopupToolBar : public CCbPopupBar {
  DECLARE_DYNAMIC(CCbPopupToolBar)
 public:
  CCbPopupToolBar() { m_barType = 1; }
  static CCbPopupToolBar* CreatePopupToolBar(CCbCommandBars* pCommandBars);
  CSize CalcDynamicLayout(int nLength, DWORD dwMode) override;
};
