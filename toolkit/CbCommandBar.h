// Bar windows: the common command bar (selection, hover, idle update, buffered painting,
// status text and tooltips) and the docked toolbar.
#pragma once

#include "platform/ui/CtlToolTip.h"
#include "toolkit/CbControl.h"
#include "toolkit/CbDockContext.h"
#include "toolkit/CbHookManager.h"

#include <vector>

class CCbDockBar;
class CCbDockContext;
class CCbCommandBars;

class CCbCommandBar : public CWnd, public CCbRefCounted, public CCbHookManagerHookAble {
  DECLARE_DYNAMIC(CCbCommandBar)
  DECLARE_MESSAGE_MAP()
 public:
  static constexpr UINT kHoverTimer = 112223;
  static constexpr UINT kExpandTimer = 112224;
  static constexpr int kHoverDelay = 300;
  static constexpr int kExpandDelay = 800;

  CCbCommandBar();
  ~CCbCommandBar() override;

  // ---- Overridables ----
  virtual void DelayRedraw() { m_bRedrawPending = TRUE; }
  virtual BOOL SetTrackingMode(int nMode, BOOL bSelectFirst = TRUE, BOOL bKeyboard = FALSE);
  virtual BOOL SetSelected(int nSelected, BOOL bKeyboard = FALSE);
  virtual BOOL LoadToolBar(UINT nIDResource, BOOL bLoadIcons = TRUE);
  virtual BOOL Popup(CCbControl* /*pControl*/, BOOL /*bKeyboard*/ = FALSE) { return FALSE; }
  virtual void SetVisible(BOOL /*bVisible*/) {}
  virtual BOOL IsVisible() const { return FALSE; }
  virtual BOOL Create(int /*nPosition*/) { return FALSE; }
  virtual BOOL IsCustomizable() const { return m_bCustomizable; }
  virtual void OnRecalcLayout() {}
  virtual CCbCommandBar* GetParentCommandBar() const { return nullptr; }
  // The control whose popup this bar is (nullptr for other bars); the painter joins its edge.
  virtual CCbControl* GetControlPopup() const { return nullptr; }
  virtual BOOL IsResizable() const { return FALSE; }
  virtual CSize CalcDynamicLayout(int /*nLength*/, DWORD /*dwMode*/) { return CSize(0, 0); }
  virtual BOOL NavigateByCode(int nCode);
  // A key while the bar tracks; TRUE when the bar used it.
  virtual BOOL OnHookKeyDown(UINT nChar, LPARAM lParam);
  // The wheel while the bar tracks; TRUE when the bar used it.
  virtual BOOL OnHookMouseWheel(WPARAM /*wParam*/, LPARAM /*lParam*/) { return FALSE; }
  int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult) override;
  // Closes the open popup and opens the control's; only an enabled popup control opens.
  BOOL PopupControl(int nIndex, BOOL bKeyboard = FALSE);
  // Makes the control the bar's open popup (-1 closes it).
  void SetPopuped(int nIndex, BOOL bKeyboard = FALSE);
  int GetPopupedIndex() const { return m_nPopuped; }
  // Tracking with a popup open: moving the selection opens each popup in turn.
  BOOL IsPopupOpen() const { return m_bTracking == 2; }
  BOOL IsKeyboardSelect() const { return m_bKeyboardSelect; }
  // The bar that opened this one's chain, this bar when none did.
  CCbCommandBar* GetRootParent() const;
  // The upper-case character after a caption's single ampersand ("&&" is a plain "&"), 0 without.
  static UINT GetMnemonic(const CString& strCaption);
  // The next visible, enabled control after the selected one (wrapping) whose mnemonic is the
  // character; *pnCount (when given) how many share it, so a shared letter only selects. -1 when none.
  int FindAccel(UINT nChar, int* pnCount = nullptr) const;
  virtual void DrawCommandBar(CDC* pDC, CRect rcClip);
  virtual void OnControlsChanged();
  virtual BOOL IsPointInBar(CPoint ptScreen) const;
  // For the mouse manager while bars track: HTERROR when the point is none of this bar's concern,
  // HTCLIENT when the bar handles the message itself, HTNOWHERE otherwise.
  virtual int OnMouseHitTest(CPoint ptScreen) { return IsPointInBar(ptScreen) ? HTCLIENT : HTNOWHERE; }
  // A move seen by the mouse manager while the bar tracks, in client coordinates.
  virtual void OnTrackMouseMove(CPoint ptClient) { OnMouseMove(0, ptClient); }
  virtual void OnIdleUpdateCmdUI(BOOL bUpdate);
  virtual void DoPropExchange(CCbPropExchange* pPX);
  // Appends every bar its popup controls reach, not yet listed, and gives each control its
  // bar's number in the list; after loading, the numbers become the bars again.
  virtual void NumberReachableBars(std::vector<CCbCommandBar*>& bars);
  virtual void ResolveReachableBars(const std::vector<CCbCommandBar*>& bars);
  // Saves the bars with every bar they reach, or loads such a list: the loaded bars, with a
  // reference each, go to the caller. Bad data raises the archive's errors and keeps nothing.
  static void ExchangeBars(CCbPropExchange* pPX, std::vector<CCbCommandBar*>& bars);

  // ---- Fields ----
  int GetType() const { return m_barType; }
  int GetPosition() const { return m_barPosition; }
  void SetPosition(int nPosition) { m_barPosition = nPosition; }
  UINT GetBarID() const { return m_nBarID; }
  void SetBarID(UINT nID) { m_nBarID = nID; }
  DWORD GetFlags() const { return m_dwFlags; }
  void SetFlags(DWORD dw) { m_dwFlags = dw; }
  CString GetTitle() const { return m_strTitle; }
  void SetTitle(const CString& s) { m_strTitle = s; }
  CSize GetIconSize() const;
  void SetIconSize(CSize sz) { m_szIcons = sz; }
  int GetMRUWidth() const { return m_nMRUWidth; }
  void SetMRUWidth(int n) { m_nMRUWidth = n; }
  CCbControls* GetControls() const { return m_pControls; }
  int GetControlCount() const { return m_pControls->GetCount(); }
  CCbControl* GetControl(int nIndex) const { return m_pControls->GetAt(nIndex); }
  int GetSelectedIndex() const { return m_nSelected; }
  CCbControl* GetSelected() const { return GetControl(m_nSelected); }
  BOOL IsTrackingMode() const { return m_bTracking; }
  CCbCommandBars* GetCommandBars() const { return m_pCommandBars; }
  void SetCommandBars(CCbCommandBars* p) { m_pCommandBars = p; }
  CWnd* GetSite() const;
  CCbPaintManager* GetPaintManager() const;
  CCbImageManager* GetImageManager() const;
  BOOL GetCloseable() const { return m_bCloseable; }
  void SetCloseable(BOOL b) { m_bCloseable = b; }
  BOOL IsLayoutPending() const { return m_bLayoutPending; }
  void DelayLayout() { m_bLayoutPending = TRUE; }
  void Redraw();
  // The control under a client point (hidden ones aside), or nullptr.
  virtual CCbControl* HitTest(CPoint pt) const;
  BOOL GetContextMenuPresent() const { return m_bContextMenuPresent; }
  // From the flags of a modal popup (TPM_RIGHTBUTTON, TPM_NONOTIFY): the right button chooses
  // too; the frame's update handlers are not asked. Both read from the chain's first bar.
  void SetTrackFlags(BOOL bRightButton, BOOL bNoNotify) {
    m_bRightButton = bRightButton;
    m_bNoNotify = bNoNotify;
  }
  BOOL IsRightButtonTrack() const { return GetRootParent()->m_bRightButton; }
  BOOL IsNoNotify() const { return GetRootParent()->m_bNoNotify; }
  // The tooltip this bar shows, for tests.
  CToolTipCtrl& GetToolTip() { return m_wndToolTip; }
  // What the last tooltip said, and where.
  CString GetToolTipText() const { return m_strToolTip; }

  // ---- Messages ----
  void OnMouseMove(UINT nFlags, CPoint point);
  void OnMouseLeave();
  void OnLButtonDown(UINT nFlags, CPoint point);
  void OnLButtonUp(UINT nFlags, CPoint point);
  void OnLButtonDblClk(UINT nFlags, CPoint point);
  // Customising selects with it; nothing here.
  void OnRButtonDown(UINT, CPoint) {}
  void OnRButtonUp(UINT nFlags, CPoint point);
  void OnTimer(UINT_PTR nIDEvent);
  void OnPaint();
  BOOL OnEraseBkgnd(CDC*) { return TRUE; }
  LRESULT OnIdleUpdateCmdUIMsg(WPARAM wParam, LPARAM);
  // What a screen reader asks of the bar and its controls (CbAccessible.cpp).
  LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
  int OnCreate(LPCREATESTRUCT lpcs);
  void OnDestroy();

 protected:
  void OnFinalRelease() override;
  void UpdateToolTip(CCbControl* pControl);
  void SetStatusText(CCbControl* pControl);

  int m_barType = 1;
  int m_barPosition = cbBarNone;
  UINT m_nBarID = 0;
  DWORD m_dwFlags = 0;
  DWORD m_dwStyle = 0;
  CString m_strTitle;
  BOOL m_bCustomizable = TRUE;
  int m_nMRUWidth = 32767;
  CSize m_szIcons = CSize(0, 0);
  CSize m_szButtons = CSize(0, 0);
  CCbControls* m_pControls;
  CCbCommandBars* m_pCommandBars = nullptr;
  int m_nSelected = -1;
  int m_nPopuped = -1;
  BOOL m_bTracking = FALSE;
  BOOL m_bKeyboardSelect = FALSE;
  int m_nLockRedraw = 0;
  BOOL m_bRedrawPending = FALSE;
  BOOL m_bLayoutPending = FALSE;
  BOOL m_bMouseTracked = FALSE;
  BOOL m_bCloseable = TRUE;
  BOOL m_bContextMenuPresent = TRUE;
  BOOL m_bRightButton = FALSE;
  BOOL m_bNoNotify = FALSE;
  CToolTipCtrl m_wndToolTip;
  CString m_strToolTip;
  UINT_PTR m_nToolTipControl = 0;
  std::vector<int> m_lastStates;
  HWND m_hwndFocus = nullptr;
  BOOL m_bCaretHidden = FALSE;
};

// Carries the frame's update handlers to one control of a bar.
class CCbCommandBarCmdUI : public CCmdUI {
 public:
  CCbCommandBarCmdUI(CCbCommandBar* pBar, int nIndex);
  void Enable(BOOL bOn = TRUE) override;
  void SetCheck(int nCheck = 1) override;
  void SetRadio(BOOL bOn = TRUE) override { SetCheck(bOn ? 1 : 0); }
  void SetText(LPCTSTR lpszText) override;
  BOOL m_bHandled = FALSE;

 private:
  CCbControl* Control() const;
  CCbCommandBar* m_pBar;
};

class CCbToolBar : public CCbCommandBar {
  DECLARE_SERIAL(CCbToolBar)
  DECLARE_MESSAGE_MAP()
 public:
  CCbToolBar();
  ~CCbToolBar() override;

  BOOL LoadToolBar(UINT nIDResource, BOOL bLoadIcons = TRUE) override;
  void EnableDocking(DWORD dwFlags);
  // The docked size for a length along the dock bar.
  virtual CSize CalcDockingLayout(int nLength, DWORD dwMode, int nWidth = 0);
  CSize CalcDynamicLayout(int nLength, DWORD dwMode) override;
  void SetVisible(BOOL bVisible) override;
  BOOL IsVisible() const override { return m_bVisible; }
  void SetTemporarilyHidden(BOOL bHidden);
  virtual BOOL CreateWindowFor(CWnd* pParent, BOOL bFloating);
  void OnRecalcLayout() override;
  void DrawCommandBar(CDC* pDC, CRect rcClip) override;
  void DoPropExchange(CCbPropExchange* pPX) override;
  // The expand button too, when shown.
  CCbControl* HitTest(CPoint pt) const override;

  // A floating bar's sizing border under a client point (HTLEFT..HTBOTTOMRIGHT), else HTNOWHERE.
  int HitTestBorder(CPoint pt) const;
  // The floating caption, in client coordinates (empty when docked).
  CRect GetCaptionRect() const;
  BOOL IsHideShown() const { return m_bHideShown; }
  void SyncWithApplication(BOOL bActive);

  void OnLButtonDown(UINT nFlags, CPoint point);
  void OnLButtonDblClk(UINT nFlags, CPoint point);
  // Ends the menus and offers the owner's toolbars menu.
  void OnRButtonDown(UINT nFlags, CPoint point);
  LRESULT OnNcHitTest(CPoint point);
  void OnNcLButtonDown(UINT nHitTest, CPoint point);
  BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
  void OnActivateApp(BOOL bActive, DWORD dwThreadID);
  LRESULT OnFloatStatus(WPARAM wParam, LPARAM lParam);

  CCbDockBar* GetDockBar() const { return m_pDockBar; }
  void SetDockBar(CCbDockBar* p) { m_pDockBar = p; }
  CCbDockContext* GetDockContext() const { return m_pDockContext; }
  BOOL IsFloating() const { return m_barPosition == cbBarFloating; }
  CCbControlExpandButton* GetExpandButton() const { return m_pExpand; }
  BOOL IsExpandShown() const { return m_bExpandShown; }
  BOOL m_bBuiltIn = TRUE;
  BOOL m_bTearOff = FALSE;

 protected:
  CCbDockBar* m_pDockBar = nullptr;
  CCbDockContext* m_pDockContext = nullptr;
  CCbControlExpandButton* m_pExpand;
  BOOL m_bExpandShown = FALSE;
  BOOL m_bVisible = TRUE;
  BOOL m_bTemporarilyHidden = FALSE;
  BOOL m_bWasVisible = FALSE;
  CCbControl* m_pHide = nullptr;  // only for a closeable bar
  BOOL m_bHideShown = FALSE;
  BOOL m_bInactiveHidden = FALSE;
};
