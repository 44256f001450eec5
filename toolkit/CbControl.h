// Controls: the items of a bar. A control owns no window; its bar's painter measures and
// draws it, and executing it sends the frame the command an ordinary menu item would.
#pragma once

#include "toolkit/CbDefines.h"
#include "toolkit/CbRefCounted.h"

#include <vector>

class CCbControls;
class CCbCommandBar;
class CCbCommandBars;
class CCbPaintManager;
class CCbImageManager;
class CCbImageManagerIcon;
class CCbPropExchange;

class CCbControl : public CCmdTarget, public CCbRefCounted {
  DECLARE_SERIAL(CCbControl)
 public:
  CCbControl();
  ~CCbControl() override;

  // ---- Overridable behaviour ----
  virtual CString GetTooltip() const { return m_strTooltipText; }
  virtual void SetBeginGroup(BOOL bBeginGroup);
  virtual void SetEnabled(BOOL bEnabled);
  virtual int GetSelected() const { return m_nSelected; }
  virtual void SetRect(const CRect& rc) { m_rcControl = rc; }
  virtual BOOL Compare(const CCbControl* pOther) const;
  virtual CCbCommandBar* GetCommandBar() const { return nullptr; }
  virtual BOOL HasLabelBackground() const { return FALSE; }
  virtual void SetHideFlags(DWORD dwFlags) { m_dwHideFlags = dwFlags; }
  virtual void OnExecute();
  virtual CSize GetSize(CDC* pDC);
  virtual void Draw(CDC* pDC);
  virtual void OnCalcDynamicSize(DWORD /*dwMode*/) {}
  virtual CCbImageManagerIcon* GetIcon(int nWidth) const;
  virtual int OnHookKeyDown(UINT /*nChar*/, LPARAM /*lParam*/) { return 0; }
  virtual void SetParent(CCbCommandBar* pBar) { m_pParent = pBar; }
  virtual void Copy(const CCbControl* pControl);
  virtual void OnSetPopup(BOOL /*bPopup*/) {}
  virtual void OnClick(BOOL /*bKeyboard*/ = FALSE, CPoint /*pt*/ = CPoint(0, 0)) {}
  virtual void OnLButtonUp(CPoint /*point*/) {}
  // A popup tracked with TPM_RIGHTBUTTON takes the right button's release as the left's.
  virtual void OnRButtonUp(CPoint point);
  virtual void OnLButtonDblClk(CPoint point) { OnClick(FALSE, point); }
  virtual void OnMouseMove(CPoint /*point*/) {}
  virtual void OnMouseHover() {}
  virtual BOOL OnSetSelected(int nState);
  virtual void SetWidth(int /*nWidth*/) {}
  virtual CCbControl* Clone() const;
  virtual void DoPropExchange(CCbPropExchange* pPX);

  // ---- Fields ----
  void SetID(int nId);
  int GetID() const { return m_nId; }
  void SetIconId(int nId) { m_nIconId = nId; }
  int GetIconId() const { return m_nCustomIconId ? m_nCustomIconId : m_nIconId > 0 ? m_nIconId : m_nId; }
  void SetPrompt(const CString& strPrompt);
  void SetCaption(const CString& strCaption);
  CString GetCaption() const { return m_strCustomCaption.IsEmpty() ? m_strCaption : m_strCustomCaption; }
  CString GetShortcutText() const { return m_strShortcutText; }
  CString GetMenuShortcutText() const { return m_strMenuShortcutText; }
  void SetShortcutText(const CString& s) { m_strShortcutText = s; }
  // What a menu shows at the right: the frame's shortcut, else the text after the caption's tab.
  CString GetShownShortcutText() const {
    return m_strShortcutText.IsEmpty() ? m_strMenuShortcutText : m_strShortcutText;
  }
  void SetTooltip(const CString& s) { m_strTooltipText = s; }
  CString GetDescription() const { return m_strDescriptionText; }
  void SetDescription(const CString& s) { m_strDescriptionText = s; }
  CString GetParameter() const { return m_strParameter; }
  void SetParameter(const CString& s) { m_strParameter = s; }
  int GetType() const { return m_controlType; }
  void SetType(int nType) { m_controlType = nType; }
  BOOL GetBeginGroup() const { return m_bBeginGroup; }
  BOOL GetEnabled() const { return m_bEnabled; }
  int GetChecked() const { return m_nChecked; }
  void SetChecked(int nChecked);
  int GetPressed() const { return m_nPressed; }
  void SetPressed(int nPressed) { m_nPressed = nPressed; }
  DWORD GetHideFlags() const { return m_dwHideFlags; }
  BOOL SetHideFlag(DWORD dwFlag, BOOL bOn);
  BOOL IsVisible() const { return m_dwHideFlags == 0; }
  DWORD GetFlags() const { return m_dwFlags; }
  void SetFlags(DWORD dwFlags) { m_dwFlags = dwFlags; }
  BOOL GetWrap() const { return m_bWrap; }
  void SetWrap(BOOL b) { m_bWrap = b; }
  CRect GetRect() const { return m_rcControl; }
  CRect GetRowRect() const { return m_rcRow; }
  void SetRowRect(const CRect& rc) { m_rcRow = rc; }
  int GetIndex() const { return m_nIndex; }
  BOOL IsTemporary() const { return m_bTemporary; }
  void SetDefaultItem(BOOL b) { m_bDefaultItem = b; }
  BOOL IsDefaultItem() const { return m_bDefaultItem; }
  void SetRarelyUsed(BOOL b);
  BOOL IsRarelyUsed() const { return m_bRarelyUsed; }
  DWORD GetStyle() const { return m_dwCustomStyle ? m_dwCustomStyle : m_dwStyle; }
  void SetStyle(DWORD dw) { m_dwStyle = dw; }
  int GetTag() const { return m_nTag; }
  void SetTag(int n) { m_nTag = n; }
  BOOL GetCloseSubMenuOnClick() const { return m_bCloseSubMenuOnClick; }
  void SetCloseSubMenuOnClick(BOOL b) { m_bCloseSubMenuOnClick = b; }

  CCbCommandBar* GetParent() const { return m_pParent; }
  CCbControls* GetControls() const { return m_pControls; }
  void DelayLayoutParent();
  void RedrawParent();
  void InvalidateParent();
  CCbImageManager* GetImageManager() const;
  CCbPaintManager* GetPaintManager() const;
  BOOL IsCustomizeMode() const { return FALSE; }
  BOOL IsCursorOver() const;

 protected:
  friend class CCbControls;
  int m_nTag = 0;
  int m_nIndex = -1;
  int m_nId = 0;
  int m_nIconId = 0;
  int m_nCustomIconId = 0;
  BOOL m_bWrap = FALSE;
  BOOL m_bBeginGroup = FALSE;
  BOOL m_bEnabled = TRUE;
  int m_nChecked = 0;
  int m_nSelected = 0;
  int m_nPressed = 0;
  BOOL m_bTemporary = FALSE;
  CRect m_rcRow;
  CRect m_rcControl;
  DWORD m_dwHideFlags = 0;
  DWORD m_dwFlags = 0;
  CString m_strCaption, m_strCustomCaption, m_strShortcutText, m_strMenuShortcutText, m_strTooltipText,
      m_strDescriptionText, m_strParameter;
  CCbControls* m_pControls = nullptr;
  int m_controlType = cbControlCustom0;
  CCbCommandBar* m_pParent = nullptr;
  BOOL m_bRarelyUsed = FALSE;
  CString m_strCategory;
  BOOL m_bDefaultItem = FALSE;
  DWORD m_dwStyle = 0, m_dwCustomStyle = 0;
  BOOL m_bCloseSubMenuOnClick = TRUE;
};

// A plain command button: pressed and released over it, it executes.
class CCbControlButton : public CCbControl {
  DECLARE_SERIAL(CCbControlButton)
 public:
  CCbControlButton() { m_controlType = cbControlButton; }
  void DoPropExchange(CCbPropExchange* pPX) override;
  void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
  void OnLButtonUp(CPoint point) override;
  CCbControl* Clone() const override;
};

// A caption without a command: skipped by the keyboard, not movable.
class CCbControlLabel : public CCbControl {
  DECLARE_SERIAL(CCbControlLabel)
 public:
  CCbControlLabel() {
    m_controlType = cbControlLabel;
    m_dwFlags = cbFlagSkipFocus | cbFlagNoMovable;
  }
  BOOL HasLabelBackground() const override { return TRUE; }
  CCbControl* Clone() const override;
};

// The expand button at the end of a docked toolbar: it opens a popup with the controls of the
// toolbar's row that had no room.
class CCbControlExpandButton : public CCbControl {
  DECLARE_DYNAMIC(CCbControlExpandButton)
 public:
  CCbControlExpandButton() {
    m_controlType = cbControlPopup;
    m_nId = CB_ID_TOOLBAR_EXPAND;
    m_dwFlags = cbFlagManualUpdate | cbFlagNoMovable;
  }
  ~CCbControlExpandButton() override;
  void Draw(CDC* pDC) override;
  CCbControl* Clone() const override;
  void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
  // The open popup (none while closed).
  CCbCommandBar* GetCommandBar() const override;

 private:
  CCbCommandBar* m_pPopup = nullptr;
};

// The controls of one bar, in display order.
class CCbControls : public CCmdTarget, public CCbRefCounted {
  DECLARE_DYNAMIC(CCbControls)
 public:
  CCbControls();
  ~CCbControls() override;

  int GetCount() const { return (int)m_arrControls.size(); }
  CCbControl* GetAt(int nIndex) const;
  CCbControl* GetFirst() const { return GetAt(0); }
  CCbControl* GetNextControl(CCbControl* pControl) const;

  // A new control of the kind (nullptr when the kind has no class here).
  CCbControl* Add(int controlType, int nId, const CString& strParameter = CString(), int nBefore = -1,
                  BOOL bTemporary = FALSE);
  // Takes over the caller's reference.
  CCbControl* Add(CCbControl* pControl, int nId, const CString& strParameter = CString(), int nBefore = -1,
                  BOOL bTemporary = FALSE);
  CCbControl* AddClone(const CCbControl* pControl, int nBefore = -1);
  void Remove(CCbControl* pControl);
  void Remove(int nIndex);
  void RemoveAll();

  CCbControl* FindControl(int controlType, int nId, BOOL bVisible, BOOL bRecursive) const;
  CCbControl* FindControl(int nId) const { return FindControl(0, nId, FALSE, FALSE); }
  int GetNext(int nIndex, int nDirection = 1, BOOL bKeyboard = TRUE, BOOL bSkipTemporary = FALSE,
              BOOL bSkipCollapsed = TRUE) const;
  CCbControl* HitTest(CPoint point) const;
  int GetVisibleCount(BOOL bStrict = TRUE) const;

  void SetParent(CCbCommandBar* pBar);
  CCbCommandBar* GetParent() const { return m_pParent; }
  void SetCommandBars(CCbCommandBars* pCommandBars) { m_pCommandBars = pCommandBars; }
  CCbCommandBars* GetCommandBars() const;

  // Builds the controls from a toolbar's command ids (0 a separator), asking the frame for
  // its own controls first.
  BOOL LoadToolBar(const UINT* pIds, int nCount, CWnd* pSite);
  // Builds the controls from a menu: separators (and items of id 0) make the next control
  // begin a group; checked and greyed items start so. Sub-menus give popup controls whose
  // popup bars are a later piece.
  BOOL LoadMenu(CMenu* pMenu, CWnd* pSite);
  // One item of a menu, appended; nullptr when the item gives no control.
  CCbControl* AddMenuItem(CMenu* pMenu, int nIndex, CWnd* pSite);
  // Lays the controls out; returns the bar's size.
  CSize CalcDynamicSize(int nLength, DWORD& dwMode, const CRect& rcBorder, int nMinimum = 0);

  CCbControls* Duplicate() const;
  void CreateResetCopy();
  BOOL Compare(const CCbControls* pOther) const;
  // Loading an unknown or foreign class raises the archive's bad-class error.
  virtual void DoPropExchange(CCbPropExchange* pPX);
  CCbControls* GetOriginalControls() const { return m_pOriginalControls; }

  // Renumbers after every change.
  void RefreshIndexes();

 private:
  CCbCommandBar* m_pParent = nullptr;
  std::vector<CCbControl*> m_arrControls;
  CCbCommandBars* m_pCommandBars = nullptr;
  CCbControls* m_pOriginalControls = nullptr;
};
