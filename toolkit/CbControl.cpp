#include "toolkit/CbControl.h"

#include "toolkit/CbCommandBar.h"
#include "toolkit/CbCommandBars.h"
#include "toolkit/CbControlComboBox.h"
#include "toolkit/CbControlPopup.h"
#include "toolkit/CbImageManager.h"
#include "toolkit/CbMenuSound.h"
#include "toolkit/CbMouseManager.h"
#include "toolkit/CbPaintManager.h"
#include "toolkit/CbPopupBar.h"

#include <algorithm>
#include <new>

IMPLEMENT_SERIAL(CCbControl, CCmdTarget, VERSIONABLE_SCHEMA | kCbPropSchema)
IMPLEMENT_SERIAL(CCbControlButton, CCbControl, VERSIONABLE_SCHEMA | kCbPropSchema)
IMPLEMENT_SERIAL(CCbControlLabel, CCbControl, VERSIONABLE_SCHEMA | kCbPropSchema)
IMPLEMENT_DYNAMIC(CCbControlExpandButton, CCbControl)
IMPLEMENT_DYNAMIC(CCbControls, CCmdTarget)

// ======================================================================================
// CCbControl
// ======================================================================================

CCbControl::CCbControl() = default;
CCbControl::~CCbControl() = default;

void CCbControl::SetID(int nId) {
  if (nId == m_nId) return;
  if (m_strCaption.IsEmpty() && nId > 0) {
    CString s;
    if (AfxLoadString((UINT)nId, s)) SetPrompt(s);
  }
  m_nId = nId;
}

void CCbControl::SetPrompt(const CString& strPrompt) {
  if (strPrompt.IsEmpty()) return;
  const int nl = strPrompt.Find('\n');
  if (nl >= 0) {
    CString tip = strPrompt.Mid(nl + 1);
    const int next = tip.Find('\n');
    if (next >= 0) tip = tip.Left(next);
    m_strTooltipText = tip;
    m_strDescriptionText = strPrompt.Left(nl);
  } else {
    m_strTooltipText = m_strDescriptionText = strPrompt;
  }
  m_strCaption = m_strTooltipText;
}

void CCbControl::SetCaption(const CString& strCaption) {
  CString caption = strCaption;
  const int tab = caption.Find('\t');
  if (tab >= 0) {
    m_strMenuShortcutText = caption.Mid(tab + 1);
    caption = caption.Left(tab);
  }
  if (caption != m_strCaption) {
    m_strCaption = caption;
    DelayLayoutParent();
  }
}

void CCbControl::SetBeginGroup(BOOL bBeginGroup) {
  m_bBeginGroup = bBeginGroup;
  DelayLayoutParent();
}

void CCbControl::SetEnabled(BOOL bEnabled) {
  if (m_bEnabled == bEnabled) return;
  m_bEnabled = bEnabled;
  RedrawParent();
}

void CCbControl::SetChecked(int nChecked) {
  if (m_nChecked == nChecked) return;
  m_nChecked = nChecked;
  RedrawParent();
}

BOOL CCbControl::SetHideFlag(DWORD dwFlag, BOOL bOn) {
  const DWORD old = m_dwHideFlags;
  SetHideFlags(bOn ? old | dwFlag : old & ~dwFlag);
  return m_dwHideFlags != old;
}

void CCbControl::SetRarelyUsed(BOOL b) {
  m_bRarelyUsed = b;
  if (!b) m_dwHideFlags &= ~(DWORD)cbHideExpand;
}

BOOL CCbControl::Compare(const CCbControl* p) const {
  return p && GetStyle() == p->GetStyle() && m_controlType == p->m_controlType && m_nId == p->m_nId &&
         m_bBeginGroup == p->m_bBeginGroup && GetIconId() == p->GetIconId() && m_strCaption == p->m_strCaption &&
         m_strCustomCaption == p->m_strCustomCaption && m_strTooltipText == p->m_strTooltipText &&
         m_strDescriptionText == p->m_strDescriptionText && m_dwCustomStyle == p->m_dwCustomStyle &&
         m_strParameter == p->m_strParameter && (m_dwHideFlags & cbHideCustom) == (p->m_dwHideFlags & cbHideCustom);
}

void CCbControl::Copy(const CCbControl* p) {
  m_nTag = p->m_nTag;
  m_nId = p->m_nId;
  m_nIconId = p->m_nIconId;
  m_nCustomIconId = p->m_nCustomIconId;
  m_bBeginGroup = p->m_bBeginGroup;
  m_bEnabled = p->m_bEnabled;
  m_nChecked = p->m_nChecked;
  m_dwHideFlags = p->m_dwHideFlags;
  m_dwFlags = p->m_dwFlags;
  m_strCaption = p->m_strCaption;
  m_strCustomCaption = p->m_strCustomCaption;
  m_strShortcutText = p->m_strShortcutText;
  m_strMenuShortcutText = p->m_strMenuShortcutText;
  m_strTooltipText = p->m_strTooltipText;
  m_strDescriptionText = p->m_strDescriptionText;
  m_strParameter = p->m_strParameter;
  m_controlType = p->m_controlType;
  m_strCategory = p->m_strCategory;
  m_bDefaultItem = p->m_bDefaultItem;
  m_dwStyle = p->m_dwStyle;
  m_dwCustomStyle = p->m_dwCustomStyle;
  m_bCloseSubMenuOnClick = p->m_bCloseSubMenuOnClick;
}

CCbControl* CCbControl::Clone() const {
  auto* c = new CCbControl;
  c->Copy(this);
  return c;
}

CSize CCbControl::GetSize(CDC* pDC) { return GetPaintManager()->DrawControl(pDC, this, FALSE); }
void CCbControl::Draw(CDC* pDC) { GetPaintManager()->DrawControl(pDC, this, TRUE); }

CCbImageManagerIcon* CCbControl::GetIcon(int nWidth) const {
  return GetImageManager()->GetImage((UINT)GetIconId(), nWidth);
}

void CCbControl::DelayLayoutParent() {
  if (m_pParent) m_pParent->DelayLayout();
}

void CCbControl::RedrawParent() {
  if (m_pParent && m_pParent->GetSafeHwnd()) m_pParent->Redraw();
}

void CCbControl::InvalidateParent() {
  if (m_pParent && m_pParent->GetSafeHwnd()) m_pParent->Invalidate(FALSE);
}

CCbImageManager* CCbControl::GetImageManager() const {
  if (m_pParent) return m_pParent->GetImageManager();
  if (m_pControls && m_pControls->GetCommandBars()) return m_pControls->GetCommandBars()->GetImageManager();
  return CbImageManager();
}

CCbPaintManager* CCbControl::GetPaintManager() const {
  if (m_pParent) return m_pParent->GetPaintManager();
  if (m_pControls && m_pControls->GetCommandBars()) return m_pControls->GetCommandBars()->GetPaintManager();
  return CbPaintManager();
}

BOOL CCbControl::IsCursorOver() const {
  if (!m_pParent || !m_pParent->GetSafeHwnd()) return FALSE;
  CPoint pt;
  ::GetCursorPos(&pt);
  m_pParent->ScreenToClient(&pt);
  return m_rcControl.PtInRect(pt);
}

BOOL CCbControl::OnSetSelected(int nState) {
  if (nState == m_nSelected) return FALSE;
  m_nSelected = nState;
  return TRUE;
}

void CCbControl::OnExecute() {
  // Held across the frame's handlers: a command may rebuild the bar that holds this control.
  CCbRefHolder<CCbControl> hold(this);
  CCbMenuSound::Play(CCbMenuSound::soundMenuCommand);
  m_nPressed = 2;
  CCbCommandBar* bar = m_pParent;
  if (!bar) return;
  CCbCommandBar* root = bar->GetRootParent();
  CCbRefHolder<CCbCommandBar> holdRoot(root);
  // A context menu tracked for its command hands the id back and sends nothing.
  if (auto* popup = dynamic_cast<CCbPopupBar*>(root); popup && popup->IsReturnCmd()) {
    CbMouseManager()->SendTrackLost();
    popup->SetReturnCmd((UINT)m_nId);
    return;
  }
  CWnd* site = root->GetSite();
  if (CCbCommandBars* bars = bar->GetCommandBars()) {
    bars->SetCommandUsed((UINT)m_nId);
    if (auto* popup = dynamic_cast<CCbPopupBar*>(bar);
        popup && popup->GetControlPopup() && popup->GetControlPopup()->GetID())
      bars->SetCommandUsed((UINT)popup->GetControlPopup()->GetID());
  }
  if (m_bCloseSubMenuOnClick && CbMouseManager()->IsTracking()) CbMouseManager()->SendTrackLost();
  if (m_nId == 0 || !site || !site->GetSafeHwnd()) return;
  BAR_CONTROL_NOTIFY tag{};
  tag.hdr.hwndFrom = nullptr;
  tag.hdr.idFrom = (UINT_PTR)m_nId;
  tag.hdr.code = CBN_BAR_EXECUTE;
  tag.pControl = this;
  const HWND hSite = site->GetSafeHwnd();
  if (!::SendMessage(hSite, WM_BAR_CONTROL_EXECUTED, (WPARAM)m_nId, (LPARAM)&tag) && ::IsWindow(hSite))
    ::SendMessage(hSite, WM_COMMAND, (WPARAM)m_nId, 0);
  if (!m_bCloseSubMenuOnClick && m_pParent && m_pParent->GetSafeHwnd()) {
    m_pParent->OnIdleUpdateCmdUI(TRUE);
    m_pParent->Invalidate(FALSE);
  }
}

// ======================================================================================
// Buttons
// ======================================================================================

void CCbControlButton::OnClick(BOOL bKeyboard, CPoint) {
  if (!m_bEnabled) return;
  if (bKeyboard) {
    OnExecute();
    return;
  }
  CCbCommandBar* bar = m_pParent;
  if (!bar || !bar->GetSafeHwnd()) return;
  if (bar->GetType() == 2) return;  // a popup's button executes on release
  // Held while the mouse holds it down: the loop dispatches messages that may drop it.
  CCbRefHolder<CCbControl> hold(this);
  const HWND hBar = bar->GetSafeHwnd();
  bar->SetSelected(m_nIndex);
  m_nPressed = 1;
  bar->Invalidate(FALSE);
  bar->SetCapture();
  BOOL done = FALSE, execute = FALSE, moved = FALSE;
  CPoint last;
  AfxRunModalLoop([&] { return !done && ::IsWindow(hBar) && ::GetCapture() == hBar; },
                  [&](MSG& msg) -> BOOL {
                    if (msg.message != WM_MOUSEMOVE && msg.message != WM_LBUTTONUP) return FALSE;
                    // Where the pointer is, in the bar, whichever window the message names.
                    CPoint at = msg.pt;
                    ::ScreenToClient(hBar, &at);
                    if (msg.message == WM_MOUSEMOVE) {
                      moved = TRUE;
                      last = at;
                      const BOOL inside = m_rcControl.PtInRect(last);
                      if (inside != (m_nSelected != 0) && m_pParent) {
                        m_pParent->SetSelected(inside ? m_nIndex : -1);
                        m_pParent->Invalidate(FALSE);
                      }
                      return TRUE;
                    }
                    if (msg.message == WM_LBUTTONUP) {
                      last = at;
                      execute = m_nSelected != 0 && (!moved || m_rcControl.PtInRect(last));
                      done = TRUE;
                      return TRUE;
                    }
                    return FALSE;
                  });
  if (::IsWindow(hBar) && ::GetCapture() == hBar) ::ReleaseCapture();
  if (m_pParent && m_pParent->GetSafeHwnd()) {
    if (m_nSelected) m_pParent->SetSelected(-1);
    m_nSelected = 0;
    m_nPressed = 0;
    m_pParent->Redraw();
  } else {
    m_nPressed = 0;
  }
  if (execute && m_pParent) OnExecute();
  if (m_nPressed == 2) m_nPressed = 0;
}

void CCbControl::OnRButtonUp(CPoint point) {
  if (m_pParent && m_pParent->GetType() == 2 && m_pParent->IsRightButtonTrack()) OnLButtonUp(point);
}

void CCbControlButton::OnLButtonUp(CPoint) {
  if (m_bEnabled && m_pParent && m_pParent->GetType() == 2) OnExecute();
}

CCbControl* CCbControlButton::Clone() const {
  auto* c = new CCbControlButton;
  c->Copy(this);
  return c;
}

CCbControl* CCbControlLabel::Clone() const {
  auto* c = new CCbControlLabel;
  c->Copy(this);
  return c;
}

void CCbControlExpandButton::Draw(CDC* pDC) {
  if (m_pParent) GetPaintManager()->DrawSpecialControl(pDC, 0, this, m_pParent, TRUE);
}

CCbControlExpandButton::~CCbControlExpandButton() {
  if (m_pPopup) m_pPopup->InternalRelease();
}

CCbCommandBar* CCbControlExpandButton::GetCommandBar() const {
  return m_pPopup && m_pPopup->IsTrackingMode() ? m_pPopup : nullptr;
}

void CCbControlExpandButton::OnClick(BOOL bKeyboard, CPoint) {
  auto* bar = dynamic_cast<CCbToolBar*>(m_pParent);
  if (!bar || !bar->GetSafeHwnd()) return;
  CCbRefHolder<CCbControl> hold(this);
  auto* old = dynamic_cast<CCbPopupBar*>(m_pPopup);
  // The press that just closed the open popup does not open it again.
  if (old && (old->IsTrackingMode() || ::GetTickCount() - old->GetClosedTick() < 150)) {
    if (old->IsTrackingMode()) old->SetTrackingMode(FALSE);
    return;
  }
  CCbCommandBars* bars = bar->GetCommandBars();
  CCbPopupBar* popup = nullptr;
  if (CWnd* site = bar->GetSite(); site && site->GetSafeHwnd()) {
    BAR_CREATE_BAR_REQUEST req{};
    req.bToolBar = TRUE;
    req.bFloating = FALSE;
    req.nID = CB_ID_TOOLBAR_EXPAND;
    if (site->SendMessage(WM_BAR_CREATE_BAR, 0, (LPARAM)&req) && req.pCommandBar)
      popup = dynamic_cast<CCbPopupBar*>(req.pCommandBar);
  }
  if (!popup) popup = CCbPopupToolBar::CreatePopupToolBar(bars);
  if (!popup) return;
  popup->SetCommandBars(bars);
  if (m_pPopup) m_pPopup->InternalRelease();
  m_pPopup = popup;
  if (bars) {
    bars->AddHiddenControls(bar, popup);
    const BOOL always = bars->GetCommandBarsOptions()->bShowExpandButtonAlways;
    if (always) {
      CString caption;
      AfxLoadString(9300, caption);
      CCbControlPopup* more = CCbControlPopup::CreateControlPopup(cbControlPopup);
      if (more) {
        const BOOL above = popup->GetControlCount() > 0;
        popup->GetControls()->Add(more, 0);
        more->SetCaption(caption);
        more->SetFlags(cbFlagManualUpdate);
        if (above) more->SetBeginGroup(TRUE);
        if (CCbPopupBar* sub = more->EnsurePopupBar()) bars->FillExpandPopup(bar, sub);
      }
    } else {
      popup->SetMRUWidth(150);
    }
  }
  // The bar itself does not track: the release of this press must not count as a click elsewhere.
  if (popup->Popup(this, bKeyboard) && !bKeyboard) CbMouseManager()->IgnoreLButtonUp();
  RedrawParent();
}

CCbControl* CCbControlExpandButton::Clone() const {
  auto* c = new CCbControlExpandButton;
  c->Copy(this);
  return c;
}

// ======================================================================================
// CCbControls
// ======================================================================================

CCbControls::CCbControls() = default;

CCbControls::~CCbControls() {
  RemoveAll();
  if (m_pOriginalControls) m_pOriginalControls->InternalRelease();
}

CCbControl* CCbControls::GetAt(int nIndex) const {
  return nIndex >= 0 && nIndex < GetCount() ? m_arrControls[(size_t)nIndex] : nullptr;
}

CCbControl* CCbControls::GetNextControl(CCbControl* pControl) const {
  return pControl ? GetAt(pControl->GetIndex() + 1) : nullptr;
}

CCbCommandBars* CCbControls::GetCommandBars() const {
  if (m_pParent && m_pParent->GetCommandBars()) return m_pParent->GetCommandBars();
  return m_pCommandBars;
}

void CCbControls::RefreshIndexes() {
  for (int i = 0; i < GetCount(); ++i) {
    CCbControl* c = m_arrControls[(size_t)i];
    c->m_nIndex = i;
    c->m_pControls = this;
    c->SetParent(m_pParent);
  }
  if (m_pParent) m_pParent->OnControlsChanged();
}

void CCbControls::SetParent(CCbCommandBar* pBar) {
  m_pParent = pBar;
  RefreshIndexes();
}

namespace {
// A plain button, or the special one its command id stands for: the menus' toolbars item
// (the frame's View > Toolbar) lists the closeable toolbars in its place.
CCbControlButton* NewButtonFor(int nId) {
  constexpr int kToolbarsItem = 59392;
  if (nId == kToolbarsItem) return new (std::nothrow) CCbControlToolbars;
  return new (std::nothrow) CCbControlButton;
}
}  // namespace

CCbControl* CCbControls::Add(int controlType, int nId, const CString& strParameter, int nBefore, BOOL bTemporary) {
  CCbControl* c = nullptr;
  switch (controlType) {
    case cbControlCustom0: c = new (std::nothrow) CCbControl; break;
    case cbControlButton: c = NewButtonFor(nId); break;
    case cbControlLabel: c = new (std::nothrow) CCbControlLabel; break;
    case cbControlPopup:
    case cbControlButtonPopup:
    case cbControlSplitButtonPopup: c = CCbControlPopup::CreateControlPopup(controlType); break;
    case cbControlComboBox: c = new (std::nothrow) CCbControlComboBox; break;
    default: return nullptr;  // popups, combos, edits and custom windows are later pieces
  }
  if (!c) return nullptr;
  c->SetType(controlType);
  return Add(c, nId, strParameter, nBefore, bTemporary);
}

CCbControl* CCbControls::Add(CCbControl* pControl, int nId, const CString& strParameter, int nBefore, BOOL bTemporary) {
  if (!pControl) return nullptr;
  pControl->SetID(nId);
  pControl->m_strParameter = strParameter;
  pControl->m_bTemporary = bTemporary;
  if (nBefore < 0 || nBefore > GetCount()) nBefore = GetCount();
  m_arrControls.insert(m_arrControls.begin() + nBefore, pControl);
  RefreshIndexes();
  return pControl;
}

CCbControl* CCbControls::AddClone(const CCbControl* pControl, int nBefore) {
  if (!pControl) return nullptr;
  CCbControl* c = pControl->Clone();
  return Add(c, c->GetID(), c->GetParameter(), nBefore, FALSE);
}

void CCbControls::Remove(CCbControl* pControl) {
  if (!pControl) return;
  auto it = std::find(m_arrControls.begin(), m_arrControls.end(), pControl);
  if (it == m_arrControls.end()) return;
  if (m_pParent && m_pParent->GetSelectedIndex() == pControl->GetIndex() && m_pParent->GetSafeHwnd())
    m_pParent->SetSelected(-1);
  m_arrControls.erase(it);
  pControl->m_pControls = nullptr;
  pControl->SetParent(nullptr);
  pControl->m_nIndex = -1;
  pControl->InternalRelease();
  RefreshIndexes();
}

void CCbControls::Remove(int nIndex) { Remove(GetAt(nIndex)); }

void CCbControls::RemoveAll() {
  std::vector<CCbControl*> all;
  all.swap(m_arrControls);
  for (CCbControl* c : all) {
    c->m_pControls = nullptr;
    c->SetParent(nullptr);
    c->m_nIndex = -1;
    c->InternalRelease();
  }
}

CCbControl* CCbControls::FindControl(int controlType, int nId, BOOL bVisible, BOOL bRecursive) const {
  for (CCbControl* c : m_arrControls) {
    if ((controlType == 0 || c->GetType() == controlType) && (nId == -1 || c->GetID() == nId) &&
        (!bVisible || c->GetHideFlags() == 0))
      return c;
    if (bRecursive && CbIsPopupType(c->GetType()) && c->GetCommandBar())
      if (CCbControl* f = c->GetCommandBar()->GetControls()->FindControl(controlType, nId, bVisible, TRUE)) return f;
  }
  return nullptr;
}

int CCbControls::GetNext(int nIndex, int nDirection, BOOL bKeyboard, BOOL bSkipTemporary, BOOL bSkipCollapsed) const {
  const int n = GetCount();
  if (n == 0) return -1;
  const int step = nDirection < 0 ? -1 : 1;
  const int start = nIndex;
  int i = nIndex == -1 && step < 0 ? n - 1 : nIndex + step;
  int wraps = 0;
  for (int guard = 0; guard <= 2 * n + 2; ++guard) {
    if (i >= n || i < 0) {
      // Off the end: an unanchored walk in its own direction ends; others wrap once.
      if (start == -1) return -1;
      if (++wraps > 1) return -1;
      i = i >= n ? 0 : n - 1;
    }
    if (i == start) {
      // Back at the start: a start control that would be skipped is no answer.
      const CCbControl* c = GetAt(i);
      const DWORD allowed = bSkipCollapsed ? cbHideScroll : (cbHideScroll | cbHideExpand);
      const BOOL skipped = (c->GetHideFlags() & ~allowed) || (bKeyboard && (c->GetFlags() & cbFlagSkipFocus)) ||
                           (bSkipTemporary && c->IsTemporary());
      return skipped ? -1 : start;
    }
    const CCbControl* c = GetAt(i);
    const DWORD allowed = bSkipCollapsed ? cbHideScroll : (cbHideScroll | cbHideExpand);
    const BOOL skipped = (c->GetHideFlags() & ~allowed) || (bKeyboard && (c->GetFlags() & cbFlagSkipFocus)) ||
                         (bSkipTemporary && c->IsTemporary());
    if (!skipped) return i;
    i += step;
  }
  return -1;
}

CCbControl* CCbControls::HitTest(CPoint point) const {
  for (CCbControl* c : m_arrControls)
    if (c->GetHideFlags() == 0 && c->GetRect().PtInRect(point)) return c;
  return nullptr;
}

int CCbControls::GetVisibleCount(BOOL bStrict) const {
  int n = 0;
  for (CCbControl* c : m_arrControls)
    if (c->GetHideFlags() == 0 || (!bStrict && c->GetHideFlags() == cbHideWrap)) ++n;
  return n;
}

BOOL CCbControls::LoadToolBar(const UINT* pIds, int nCount, CWnd* pSite) {
  RemoveAll();
  BOOL group = FALSE;
  for (int i = 0; i < nCount; ++i) {
    if (pIds[i] == 0) {
      group = TRUE;
      continue;
    }
    BAR_CREATE_CONTROL_REQUEST req{};
    req.nID = (int)pIds[i];
    req.bToolBar = TRUE;
    req.nIndex = i;
    req.pCommandBar = m_pParent;
    req.strCaption = m_pParent ? m_pParent->GetTitle() : CString();
    req.controlType = cbControlButton;
    CCbControl* c = nullptr;
    if (pSite && pSite->GetSafeHwnd() && pSite->SendMessage(WM_BAR_CREATE_CONTROL, 0, (LPARAM)&req) && req.pControl)
      c = Add(req.pControl, req.nID);
    else if ((c = Add(req.controlType, req.nID)) != nullptr) {
      c->SetStyle((DWORD)req.buttonStyle);
      if (c->GetType() == cbControlPopup && c->GetIconId() != req.nID) c->SetIconId(req.nID);
    }
    if (c && group) c->m_bBeginGroup = TRUE;
    if (c) group = FALSE;
  }
  return TRUE;
}

BOOL CCbControls::LoadMenu(CMenu* pMenu, CWnd* pSite) {
  if (!pMenu || !pMenu->GetSafeHmenu()) return FALSE;
  BOOL group = FALSE;
  const int n = (int)pMenu->GetMenuItemCount();
  for (int i = 0; i < n; ++i) {
    MENUITEMINFO mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU;
    if (!pMenu->GetMenuItemInfo((UINT)i, &mii, TRUE)) continue;
    if ((mii.fType & MFT_SEPARATOR) || (mii.wID == 0 && !mii.hSubMenu)) {
      group = TRUE;
      continue;
    }
    CCbControl* c = AddMenuItem(pMenu, i, pSite);
    if (!c) continue;
    if (group) c->m_bBeginGroup = TRUE;
    group = FALSE;
    if (mii.fState & MFS_CHECKED) c->m_nChecked = 1;
    if ((mii.fState & MFS_GRAYED) != 0) c->m_bEnabled = FALSE;
  }
  return TRUE;
}

CCbControl* CCbControls::AddMenuItem(CMenu* pMenu, int nIndex, CWnd* pSite) {
  if (!pMenu) return nullptr;
  CMenu* sub = pMenu->GetSubMenu(nIndex);
  const int id = sub ? 0 : (int)pMenu->GetMenuItemID(nIndex);
  if (id == 0xFF00) return nullptr;
  const BOOL isDefault = (int)::GetMenuDefaultItem(pMenu->GetSafeHmenu(), TRUE, 0) == nIndex;
  CString caption;
  pMenu->GetMenuString((UINT)nIndex, caption, MF_BYPOSITION);
  if (caption.GetLength() > 1024) caption = caption.Left(1024);
  BAR_CREATE_CONTROL_REQUEST req{};
  req.nID = id;
  req.bToolBar = FALSE;
  req.nIndex = nIndex;
  req.pMenu = pMenu;
  req.pCommandBar = m_pParent;
  req.strCaption = caption;
  req.controlType = sub ? cbControlPopup : cbControlButton;
  CCbControl* c = nullptr;
  if (pSite && pSite->GetSafeHwnd() && pSite->SendMessage(WM_BAR_CREATE_CONTROL, 0, (LPARAM)&req)) c = req.pControl;
  if (!c) {
    if (req.controlType == cbControlButton)
      c = NewButtonFor(req.nID);
    else if (CbIsPopupType(req.controlType))
      c = CCbControlPopup::CreateControlPopup(req.controlType);
    else if (req.controlType == cbControlComboBox)
      c = new (std::nothrow) CCbControlComboBox;
    if (!c) return nullptr;
    c->SetType(req.controlType);
    c->SetStyle((DWORD)req.buttonStyle);
  }
  c->SetID(req.nID);
  c->SetCaption(req.strCaption);
  c->SetDefaultItem(isDefault);
  m_arrControls.push_back(c);
  RefreshIndexes();
  // A sub-menu's items fill the control's popup, unless the frame gave it one of its own.
  if (auto* popup = dynamic_cast<CCbControlPopup*>(c); popup && sub && !popup->GetCommandBar())
    if (CCbPopupBar* bar = popup->EnsurePopupBar()) bar->GetControls()->LoadMenu(sub, pSite);
  c->DelayLayoutParent();
  return c;
}

CCbControls* CCbControls::Duplicate() const {
  auto* d = new CCbControls;
  d->m_pCommandBars = GetCommandBars();
  for (CCbControl* c : m_arrControls)
    if (!c->IsTemporary()) {
      CCbControl* k = c->Clone();
      d->m_arrControls.push_back(k);
    }
  d->RefreshIndexes();
  return d;
}

void CCbControls::CreateResetCopy() {
  if (m_pOriginalControls) m_pOriginalControls->InternalRelease();
  m_pOriginalControls = Duplicate();
}

BOOL CCbControls::Compare(const CCbControls* pOther) const {
  if (!pOther) return FALSE;
  std::vector<const CCbControl*> a, b;
  for (CCbControl* c : m_arrControls)
    if (!c->IsTemporary()) a.push_back(c);
  for (CCbControl* c : pOther->m_arrControls)
    if (!c->IsTemporary()) b.push_back(c);
  if (a.size() != b.size()) return FALSE;
  for (size_t i = 0; i < a.size(); ++i)
    if (!a[i]->Compare(b[i])) return FALSE;
  return TRUE;
}
