// Controls that open a popup bar: menu titles, sub-menu items, drop-down buttons; and the View
// menu's list of the frame's toolbars.
#pragma once

#include "toolkit/CbControl.h"

class CCbPopupBar;

class CCbControlPopup : public CCbControl {
  DECLARE_SERIAL(CCbControlPopup)
 public:
  CCbControlPopup() { m_controlType = cbControlPopup; }
  ~CCbControlPopup() override;
  // A new popup control of the kind (2 popup, 3 button with popup, 4 split button with popup).
  static CCbControlPopup* CreateControlPopup(int controlType);

  // Holds the bar (adding a reference) and lets the previous one go; null detaches.
  void SetCommandBar(CCbCommandBar* pBar);
  // Makes an empty popup bar for the control when it has none, and holds it; the bar.
  CCbPopupBar* EnsurePopupBar();
  CCbCommandBar* GetCommandBar() const override { return m_pCommandBar; }
  BOOL IsPopupOpen() const { return m_bPopup; }
  // Whether the other control's bar is this one's or lies in its chain of sub-popups, either way.
  BOOL IsPopupRelated(const CCbControlPopup* pOther) const;

  BOOL Compare(const CCbControl* pOther) const override;
  void Copy(const CCbControl* pControl) override;
  void OnSetPopup(BOOL bPopup) override;
  void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
  void OnLButtonUp(CPoint point) override;
  void OnLButtonDblClk(CPoint point) override;
  void OnMouseHover() override;
  BOOL OnSetSelected(int nState) override;
  CCbControl* Clone() const override;
  void DoPropExchange(CCbPropExchange* pPX) override;
  // Gives the control (a menu-bar title) a shadow joined to its open popup's.
  virtual void AttachShadow();
  virtual void DrawPopupFrame(CDC* /*pDC*/) {}

  UINT m_nCommandBarId = 0;

 protected:
  BOOL m_bPopup = FALSE;
  CCbCommandBar* m_pCommandBar = nullptr;
};

// The placeholder where the menu had its toolbar item: before each layout it hides itself and
// lists the frame's closeable toolbars after it, each checked while visible.
class CCbControlToolbars : public CCbControlButton {
  DECLARE_SERIAL(CCbControlToolbars)
 public:
  static constexpr const char* kEntryParameter = "CCbControlToolbar";
  void OnCalcDynamicSize(DWORD dwMode) override;
  CCbControl* Clone() const override;

  // One listed toolbar; its Tag is the toolbar's index in the command bars.
  class CCbControlToolbar : public CCbControlButton {
   public:
    void OnExecute() override;
    CCbControl* Clone() const override;
  };
};
