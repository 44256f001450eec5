#include "toolkit/CbControlPopup.h"

#include "toolkit/CbShadows.h"

#include "toolkit/CbCommandBars.h"
#include "toolkit/CbMouseManager.h"
#include "toolkit/CbPopupBar.h"

#include "toolkit/CbPropExchange.h"

#include <new>

IMPLEMENT_SERIAL(CCbControlPopup, CCbControl, VERSIONABLE_SCHEMA | kCbPropSchema)
IMPLEMENT_SERIAL(CCbControlToolbars, CCbControlButton, VERSIONABLE_SCHEMA | kCbPropSchema)

// ======================================================================================
// CCbControlPopup
// ======================================================================================

CCbControlPopup::~CCbControlPopup() { SetCommandBar(nullptr); }

CCbControlPopup* CCbControlPopup::CreateControlPopup(int controlType) {
  auto* c = new (std::nothrow) CCbControlPopup;
  if (c) c->m_controlType = CbIsPopupType(controlType) ? controlType : cbControlPopup;
  return c;
}

void CCbControlPopup::SetCommandBar(CCbCommandBar* pBar) {
  if (pBar == m_pCommandBar) return;
  if (pBar) pBar->InternalAddRef();
  CCbCommandBar* old = m_pCommandBar;
  m_pCommandBar = pBar;
  if (old) {
    if (old->IsTrackingMode()) old->SetTrackingMode(FALSE);
    old->InternalRelease();
  }
}

CCbPopupBar* CCbControlPopup::EnsurePopupBar() {
  if (auto* p = dynamic_cast<CCbPopupBar*>(m_pCommandBar)) return p;
  if (m_pCommandBar) return nullptr;
  CCbCommandBars* bars = m_pParent     ? m_pParent->GetCommandBars()
                         : m_pControls ? m_pControls->GetCommandBars()
                                       : nullptr;
  CCbPopupBar* p = CCbPopupBar::CreatePopupBar(bars);
  if (!p) return nullptr;
  SetCommandBar(p);
  p->InternalRelease();  // the control's reference is the one left
  return p;
}

BOOL CCbControlPopup::IsPopupRelated(const CCbControlPopup* pOther) const {
  if (!pOther || !m_pCommandBar || !pOther->m_pCommandBar) return FALSE;
  auto inChain = [](const CCbCommandBar* from, const CCbCommandBar* target) {
    for (int guard = 0; from && guard < 64; ++guard) {
      if (from == target) return TRUE;
      from = from->GetParentCommandBar();
    }
    return FALSE;
  };
  return inChain(pOther->m_pCommandBar, m_pCommandBar) || inChain(m_pCommandBar, pOther->m_pCommandBar);
}

BOOL CCbControlPopup::Compare(const CCbControl* pOther) const {
  if (!CCbControl::Compare(pOther)) return FALSE;
  const auto* o = dynamic_cast<const CCbControlPopup*>(pOther);
  if (!o) return FALSE;
  if (!m_pCommandBar || !o->m_pCommandBar) return m_pCommandBar == o->m_pCommandBar;
  return m_pCommandBar->GetControls()->Compare(o->m_pCommandBar->GetControls());
}

void CCbControlPopup::Copy(const CCbControl* pControl) {
  CCbControl::Copy(pControl);
  if (const auto* o = dynamic_cast<const CCbControlPopup*>(pControl)) {
    SetCommandBar(o->m_pCommandBar);
    m_nCommandBarId = o->m_nCommandBarId;
  }
}

CCbControl* CCbControlPopup::Clone() const {
  auto* c = new CCbControlPopup;
  c->Copy(this);
  return c;
}

void CCbControlPopup::OnSetPopup(BOOL bPopup) {
  CCbRefHolder<CCbControl> hold(this);
  m_bPopup = bPopup;
  if (bPopup) {
    if (!m_pCommandBar) {
      m_bPopup = FALSE;
      return;
    }
    if (m_pCommandBar->IsTrackingMode()) return;
    if (!m_pCommandBar->Popup(this, GetSelected() == 2)) {
      m_bPopup = FALSE;
      return;
    }
    if (m_pParent && m_pParent->GetType() != 2) AttachShadow();
  } else {
    if (m_pCommandBar && m_pCommandBar->IsTrackingMode()) m_pCommandBar->SetTrackingMode(FALSE);
    RedrawParent();
  }
}

BOOL CCbControlPopup::OnSetSelected(int nState) {
  const BOOL changed = CCbControl::OnSetSelected(nState);
  CCbCommandBar* bar = m_pParent;
  if (!bar) return changed;
  const BOOL inPopup = bar->GetType() == 2;
  if (nState) {
    if (!m_bEnabled || inPopup || !bar->IsPopupOpen()) return changed;
    if (m_controlType == cbControlButtonPopup || m_controlType == cbControlSplitButtonPopup) {
      if (nState == 2) bar->PopupControl(m_nIndex, TRUE);
      return changed;
    }
    bar->PopupControl(m_nIndex, nState == 2);
  } else if (m_bPopup && !inPopup && bar->GetPopupedIndex() == m_nIndex) {
    bar->SetPopuped(-1);
  }
  return changed;
}

void CCbControlPopup::OnClick(BOOL bKeyboard, CPoint pt) {
  if (!m_bEnabled) return;
  CCbCommandBar* bar = m_pParent;
  if (!bar || !bar->GetSafeHwnd()) return;
  CCbRefHolder<CCbControl> hold(this);
  const BOOL inPopup = bar->GetType() == 2;
  if (m_bPopup && !inPopup) {
    // A second click on an open title closes its menu.
    bar->SetTrackingMode(FALSE);
    return;
  }
  if (m_controlType == cbControlSplitButtonPopup) {
    if (inPopup && bKeyboard) {
      OnExecute();
      return;
    }
    if (inPopup && pt.x < m_rcControl.right - 20) {
      bar->KillTimer(CCbCommandBar::kHoverTimer);
      return;
    }
    if (!inPopup && !bKeyboard && pt.x < m_rcControl.right - 11) {
      // The body is a button; only the arrow opens the popup.
      OnExecute();
      return;
    }
  }
  bar->PopupControl(m_nIndex, bKeyboard);
}

void CCbControlPopup::OnLButtonUp(CPoint point) {
  if (m_bEnabled && m_controlType == cbControlSplitButtonPopup && m_pParent && m_pParent->GetType() == 2 &&
      point.x < m_rcControl.right - 20)
    OnExecute();
}

void CCbControlPopup::OnLButtonDblClk(CPoint point) {
  auto* popup = dynamic_cast<CCbPopupBar*>(m_pCommandBar);
  if (!popup || (m_controlType != cbControlPopup && m_controlType != cbControlButtonPopup) || !m_pParent) {
    CCbControl::OnLButtonDblClk(point);
    return;
  }
  CCbRefHolder<CCbControl> hold(this);
  if (!popup->IsTrackingMode()) m_pParent->PopupControl(m_nIndex, FALSE);
  for (int i = 0; i < popup->GetControlCount(); ++i) {
    CCbControl* c = popup->GetControl(i);
    if (c->IsVisible() && c->IsDefaultItem()) {
      c->OnExecute();
      return;
    }
  }
  popup->ExpandBar();
}

void CCbControlPopup::OnMouseHover() {
  CCbCommandBar* bar = m_pParent;
  if (!m_bEnabled || !bar) return;
  if ((bar->IsPopupOpen() || bar->GetType() == 2) && !m_bPopup) bar->PopupControl(m_nIndex, FALSE);
}

// ======================================================================================
// CCbControlToolbars
// ======================================================================================

void CCbControlToolbars::OnCalcDynamicSize(DWORD) {
  CCbControls* controls = m_pControls;
  if (!controls) return;
  CCbRefHolder<CCbControl> hold(this);
  while (CCbControl* next = controls->GetAt(m_nIndex + 1)) {
    if (next->GetParameter() != kEntryParameter) break;
    controls->Remove(next);
  }
  m_dwHideFlags |= cbHideOwner;
  CCbCommandBars* bars = controls->GetCommandBars();
  if (!bars) return;
  int at = m_nIndex + 1;
  for (int i = 0; i < bars->GetCount(); ++i) {
    CCbToolBar* tb = bars->GetAt(i);
    if (!tb || !tb->GetCloseable()) continue;
    auto* entry = new (std::nothrow) CCbControlToolbar;
    if (!entry) return;
    entry->SetTag(i);
    entry->SetFlags(cbFlagManualUpdate);
    entry->SetCaption(tb->GetTitle());
    entry->SetChecked(tb->IsVisible() ? 1 : 0);
    controls->Add(entry, m_nId, kEntryParameter, at++, TRUE);
  }
}

CCbControl* CCbControlToolbars::Clone() const {
  auto* c = new CCbControlToolbars;
  c->Copy(this);
  return c;
}

void CCbControlToolbars::CCbControlToolbar::OnExecute() {
  CCbRefHolder<CCbControl> hold(this);
  CCbCommandBars* bars = m_pControls ? m_pControls->GetCommandBars() : nullptr;
  const int index = m_nTag;
  CbMouseManager()->SendTrackLost();
  if (bars) bars->ToggleVisible(index);
}

CCbControl* CCbControlToolbars::CCbControlToolbar::Clone() const {
  auto* c = new CCbControlToolbar;
  c->Copy(this);
  return c;
}

void CCbControlPopup::AttachShadow() {
  if (m_bPopup && m_pCommandBar && m_pCommandBar->GetSafeHwnd()) CbShadowsManager()->SetShadow(this);
}
