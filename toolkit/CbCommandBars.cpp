#include "toolkit/CbCommandBars.h"

#include "toolkit/CbColorManager.h"
#include "toolkit/CbControlPopup.h"
#include "toolkit/CbEdit.h"
#include "toolkit/CbImageManager.h"
#include "toolkit/CbMenuBar.h"
#include "toolkit/CbMenuSound.h"
#include "toolkit/CbMouseManager.h"
#include "toolkit/CbPaintManager.h"
#include "toolkit/CbPopupBar.h"

#include <algorithm>
#include <new>

IMPLEMENT_DYNAMIC(CCbCommandBarsOptions, CCmdTarget)
IMPLEMENT_DYNCREATE(CCbCommandBars, CCmdTarget)
IMPLEMENT_DYNAMIC(CCbFrameWnd, CFrameWnd)

CCbCommandBars::CCbCommandBars() : m_pOptions(new CCbCommandBarsOptions(this)) {}

CCbCommandBars::~CCbCommandBars() {
  CCbMenuSound::Stop();
  for (CCbToolBar* b : m_arrBars) {
    if (CCbDockBar* d = b->GetDockBar()) d->RemoveCommandBar(b);
    b->SetCommandBars(nullptr);
    b->InternalRelease();
  }
  m_arrBars.clear();
  for (CCbDockBar*& d : m_pDocks) {
    delete d;
    d = nullptr;
  }
  delete m_pOptions;
}

BOOL CCbCommandBars::IsCommandHidden(UINT nID) const {
  return m_pOptions->m_mapHiddenCommands.count(nID) && !m_pOptions->m_mapUsedCommands.count(nID);
}

BOOL CCbCommandBars::IsControlHidden(CCbControl* pControl) const {
  if (!pControl) return FALSE;
  if (IsCommandHidden((UINT)pControl->GetID())) return TRUE;
  if (!m_pOptions->bAutoHideUnusedPopups || !CbIsPopupType(pControl->GetType())) return FALSE;
  // A popup whose every item is hidden hides too; an empty one does not.
  CCbCommandBar* popup = pControl->GetCommandBar();
  if (!popup || popup->GetControlCount() == 0) return FALSE;
  for (int i = 0; i < popup->GetControlCount(); ++i)
    if (!IsControlHidden(popup->GetControl(i))) return FALSE;
  return TRUE;
}

void CCbCommandBars::SetSite(CWnd* pFrame) {
  m_pFrame = pFrame;
  m_bCustomizeAvail = FALSE;
  if (pFrame && pFrame->GetSafeHwnd()) {
    AFX_CMDHANDLERINFO info{};
    m_bCustomizeAvail = pFrame->OnCmdMsg(35001, CN_COMMAND, nullptr, &info);
  }
}

void CCbCommandBars::CreateDockBars() {
  static const struct {
    UINT id;
    DWORD style;
  } kDocks[4] = {{CB_IDW_DOCKBAR_TOP, CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM},
                 {CB_IDW_DOCKBAR_BOTTOM, CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP},
                 {CB_IDW_DOCKBAR_LEFT, CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT},
                 {CB_IDW_DOCKBAR_RIGHT, CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT}};
  for (int i = 0; i < 4; ++i) {
    if (m_pDocks[i]) continue;
    auto* d = new CCbDockBar;
    d->SetCommandBars(this);
    if (!m_pFrame || !m_pFrame->GetSafeHwnd() || !d->Create(m_pFrame, kDocks[i].style, kDocks[i].id)) {
      delete d;
      AfxThrowResourceException();
    }
    m_pDocks[i] = d;
  }
}

CCbToolBar* CCbCommandBars::Add(const CString& strName, int nBarPosition, CRuntimeClass* pToolbarClass) {
  CCbToolBar* bar = nullptr;
  if (pToolbarClass)
    bar = dynamic_cast<CCbToolBar*>(pToolbarClass->CreateObject());
  else
    bar = new (std::nothrow) CCbToolBar;
  if (!bar) return nullptr;
  bar->SetCommandBars(this);
  bar->EnableDocking(0x3F);
  bar->SetTitle(strName);
  BOOL ok = FALSE;
  if (nBarPosition >= 0 && nBarPosition < 4)
    ok = DockCommandBar(bar, nBarPosition);
  else if (nBarPosition == cbBarFloating)
    ok = FloatCommandBar(bar);
  if (!ok) {
    bar->InternalRelease();
    return nullptr;
  }
  m_arrBars.push_back(bar);
  return bar;
}

BOOL CCbCommandBars::DockCommandBar(CCbToolBar* pBar, LPCRECT lpRect, CCbDockBar* pDockBar) {
  if (!pBar || !pDockBar || !pBar->CreateWindowFor(pDockBar, FALSE)) return FALSE;
  pDockBar->DockCommandBar(pBar, lpRect);
  pBar->SetPosition(pDockBar->GetPosition());
  if (pBar->IsVisible()) pBar->ShowWindow(SW_SHOWNA);
  return TRUE;
}

BOOL CCbCommandBars::DockCommandBar(CCbToolBar* pBar, int nDockBar) {
  return DockCommandBar(pBar, nullptr, GetDockBar(nDockBar));
}

BOOL CCbCommandBars::FloatCommandBar(CCbToolBar* pBar) {
  if (!pBar || !m_pFrame || !m_pFrame->GetSafeHwnd()) return FALSE;
  if (pBar->IsFloating() && pBar->GetSafeHwnd()) return TRUE;
  if (!pBar->CreateWindowFor(m_pFrame, TRUE)) return FALSE;
  if (CCbDockBar* d = pBar->GetDockBar()) d->RemoveCommandBar(pBar);
  pBar->SetPosition(cbBarFloating);
  pBar->DelayLayout();
  if (pBar->IsVisible()) pBar->ShowWindow(SW_SHOWNA);
  return TRUE;
}

void CCbCommandBars::RemoveToolBar(CCbToolBar* pBar) {
  auto it = std::find(m_arrBars.begin(), m_arrBars.end(), pBar);
  if (it == m_arrBars.end()) return;
  pBar->SetVisible(FALSE);
  if (CCbDockBar* d = pBar->GetDockBar()) d->RemoveCommandBar(pBar);
  // Laid out now, without the bar: an emptied row goes with it.
  RecalcFrameLayout();
  m_arrBars.erase(it);
  pBar->SetCommandBars(nullptr);
  pBar->InternalRelease();
}

CCbToolBar* CCbCommandBars::GetToolBar(UINT nBarID) const {
  if (nBarID == 0) return nullptr;
  for (CCbToolBar* b : m_arrBars)
    if (b->GetBarID() == nBarID) return b;
  return nullptr;
}

CCbToolBar* CCbCommandBars::GetAt(int nIndex) const {
  return nIndex >= 0 && nIndex < GetCount() ? m_arrBars[(size_t)nIndex] : nullptr;
}

void CCbCommandBars::ToggleVisible(int nIndex) {
  if (CCbToolBar* b = GetAt(nIndex)) b->SetVisible(!b->IsVisible());
}

void CCbCommandBars::RecalcFrameLayout(BOOL bDelay) {
  if (m_bLayoutLocked) return;
  CFrameWnd* frame = dynamic_cast<CFrameWnd*>(m_pFrame);
  if (!frame || !frame->GetSafeHwnd()) return;
  if (bDelay)
    frame->DelayRecalcLayout();
  else
    frame->RecalcLayout();
}

CCbPaintManager* CCbCommandBars::GetPaintManager() const { return CbPaintManager(); }
CCbImageManager* CCbCommandBars::GetImageManager() const { return CbImageManager(); }

CCbEdit* CCbCommandBars::GetFocusedBarEdit() {
  HWND focus = ::GetFocus();
  return focus ? dynamic_cast<CCbEdit*>(CWnd::FromHandlePermanent(focus)) : nullptr;
}

BOOL CCbCommandBars::IsBarEditKey(const MSG* pMsg) {
  if (!pMsg || pMsg->message < WM_KEYDOWN || pMsg->message > WM_KEYLAST) return FALSE;
  if (pMsg->wParam == 9 || pMsg->wParam == 13 || pMsg->wParam == 27) return FALSE;
  return GetFocusedBarEdit() != nullptr;
}

BOOL CCbCommandBars::OnFrameWndMsg(UINT message, WPARAM wParam, LPARAM, LRESULT* pResult) {
  // The title bar and other programs are beyond the bars' hooks: a frame moved, sized or
  // minimised by the window manager, another program activated or a system command ends the menus.
  CCbMouseManager* mouse = CbMouseManager();
  if (mouse->IsTracking()) {
    if ((message == WM_ACTIVATEAPP && !wParam) || message == WM_MOVE || message == WM_SIZE ||
        (message == WM_SYSCOMMAND && (wParam & 0xFFF0) != SC_KEYMENU))
      mouse->SendTrackLost();
  }
  switch (message) {
    case WM_COMMAND:
      // A menu command while typing in a bar edit is the edit's first.
      if (CCbEdit* edit = GetFocusedBarEdit())
        if (edit->OnCmdMsg(LOWORD(wParam), CN_COMMAND, nullptr, nullptr)) {
          if (pResult) *pResult = 1;
          return TRUE;
        }
      break;
    case WM_IDLEUPDATECMDUI:
      // Floating bars are no children of the frame: they are updated from here.
      for (CCbToolBar* b : std::vector<CCbToolBar*>(m_arrBars))
        if (b->IsFloating() && b->GetSafeHwnd()) b->OnIdleUpdateCmdUI((BOOL)wParam);
      break;
    case WM_ACTIVATEAPP:
      // The frame hears it as well as the bars; a bar already in step does nothing.
      for (CCbToolBar* b : std::vector<CCbToolBar*>(m_arrBars)) b->SyncWithApplication((BOOL)wParam);
      break;
    case WM_SYSCOLORCHANGE:
      CbColorManager()->RefreshColors(TRUE);
      GetImageManager()->RefreshAll();
      [[fallthrough]];
    case WM_SETTINGCHANGE:
      GetPaintManager()->UpdateMetrics();
      RecalcFrameLayout();
      if (m_pFrame && m_pFrame->GetSafeHwnd())
        m_pFrame->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
      break;
    default: break;
  }
  return FALSE;
}

BOOL CCbCommandBars::PreTranslateFrameMessage(MSG* pMsg) {
  if (!pMsg) return FALSE;
  CCbMouseManager* mouse = CbMouseManager();
  const BOOL tracking = mouse->IsTracking();
  if (tracking && (pMsg->message == WM_CONTEXTMENU || pMsg->message == WM_SYSKEYUP)) return TRUE;
  // An open popup or list scrolls under the wheel, not the window beneath the pointer.
  if (pMsg->message == WM_MOUSEWHEEL && CbKeyboardManager()->ProcessMouseWheel(pMsg->wParam, pMsg->lParam)) return TRUE;
  if (tracking || pMsg->message != WM_SYSKEYDOWN || !(pMsg->lParam & ((LPARAM)1 << 29))) return FALSE;
  CCbMenuBar* menu = GetMenuBar();
  if (!menu || !menu->GetSafeHwnd() || !menu->IsVisible() || !m_pFrame || !m_pFrame->GetSafeHwnd()) return FALSE;
  // Only keys typed in this frame's windows.
  HWND top = pMsg->hwnd;
  while (top && (::GetWindowLong(top, GWL_STYLE) & WS_CHILD)) top = ::GetParent(top);
  if (top != m_pFrame->GetSafeHwnd()) return FALSE;
  const UINT ch = ::MapVirtualKey((UINT)pMsg->wParam, MAPVK_VK_TO_CHAR);
  if (ch == 0) return FALSE;
  return menu->OnAccelerator(ch);
}

CCbMenuBar* CCbCommandBars::SetMenu(const CString& strName, UINT nID) {
  auto* bar = dynamic_cast<CCbMenuBar*>(Add(strName, cbBarTop, RUNTIME_CLASS(CCbMenuBar)));
  if (!bar) return nullptr;
  if (!bar->LoadMenuBar(nID)) {
    RemoveToolBar(bar);
    return nullptr;
  }
  return bar;
}

CCbMenuBar* CCbCommandBars::GetMenuBar() const {
  for (CCbToolBar* b : m_arrBars)
    if (auto* m = dynamic_cast<CCbMenuBar*>(b)) return m;
  return nullptr;
}

UINT CCbCommandBars::TrackPopupBar(CCbPopupBar* pPopup, UINT nFlags, int x, int y, LPCRECT rcExclude, CWnd*) {
  if (!pPopup) return 0;
  CCbRefHolder<CCbCommandBar> hold(pPopup);
  CbMouseManager()->SendTrackLost();
  if (HWND cap = ::GetCapture()) {
    (void)cap;
    ::ReleaseCapture();
  }
  if (!pPopup->GetCommandBars()) pPopup->SetCommandBars(this);
  const BOOL returnCmd = (nFlags & TPM_RETURNCMD) != 0;
  pPopup->SetReturnCmdMode(returnCmd);
  pPopup->SetReturnCmd(0);
  pPopup->SetTrackFlags((nFlags & TPM_RIGHTBUTTON) != 0, (nFlags & TPM_NONOTIFY) != 0);
  DWORD dir = 0;
  if ((nFlags & TPM_RIGHTALIGN) || (m_pFrame && m_pFrame->GetSafeHwnd() && (m_pFrame->GetExStyle() & WS_EX_LAYOUTRTL)))
    dir |= CCbPopupBar::popupLeft;
  pPopup->SetPopupFlags(dir);
  if (!pPopup->Popup(x, y, rcExclude)) {
    pPopup->SetReturnCmdMode(FALSE);
    return 0;
  }
  // The layer's nested loop: a quit ends it and stays seen by the loops around it.
  AfxRunModalLoop([&] { return pPopup->IsTrackingMode() != 0; });
  if (pPopup->IsTrackingMode()) pPopup->SetTrackingMode(FALSE);
  const UINT cmd = pPopup->GetReturnCmd();
  pPopup->SetReturnCmdMode(FALSE);
  pPopup->SetTrackFlags(FALSE, FALSE);
  return returnCmd ? cmd : TRUE;
}

void CCbCommandBars::ContextMenu(int x, int y) {
  if (IsCustomizeMode()) return;
  CCbPopupBar* popup = GetToolbarsPopup();
  if (!popup) return;
  // Released on every path, empty or not.
  if (popup->GetControlCount() > 0) TrackPopupBar(popup, 0, x, y);
  popup->InternalRelease();
}

CCbPopupBar* CCbCommandBars::GetToolbarsPopup() {
  CCbPopupBar* popup = CCbPopupBar::CreatePopupBar(this);
  if (!popup) return nullptr;
  int added = 0;
  for (int i = 0; i < GetCount(); ++i) {
    CCbToolBar* b = GetAt(i);
    if (!b || dynamic_cast<CCbMenuBar*>(b) || !b->GetCloseable()) continue;
    auto* entry = new (std::nothrow) CCbControlToolbars::CCbControlToolbar;
    if (!entry) break;
    entry->SetTag(i);
    entry->SetFlags(cbFlagManualUpdate);
    entry->SetCaption(b->GetTitle());
    entry->SetChecked(b->IsVisible() ? 1 : 0);
    popup->GetControls()->Add(entry, 0);
    ++added;
  }
  if (added && m_bCustomizeAvail)
    if (CCbControl* c = popup->GetControls()->Add(cbControlButton, 35001)) c->SetBeginGroup(TRUE);
  return popup;
}

void CCbCommandBars::AddHiddenControls(CCbToolBar* pBar, CCbPopupBar* pPopup) {
  if (!pBar || !pPopup || !pBar->GetDockBar()) return;
  std::vector<CCbToolBar*> row;
  CCbDockBar* dock = pBar->GetDockBar();
  dock->GetVisibleRow(dock->FindBar(pBar), row);
  for (CCbToolBar* b : row) {
    for (int i = 0; i < b->GetControlCount(); ++i) {
      CCbControl* c = b->GetControl(i);
      if (!(c->GetHideFlags() & cbHideWrap)) continue;
      CCbControl* copy = pPopup->GetControls()->AddClone(c);
      if (!copy) continue;
      copy->SetHideFlags(0);
      copy->SetBeginGroup(FALSE);
    }
  }
}

void CCbCommandBars::FillExpandPopup(CCbToolBar* pBar, CCbPopupBar* pPopup) {
  if (!pBar || !pPopup) return;
  std::vector<CCbToolBar*> row;
  if (CCbDockBar* dock = pBar->GetDockBar()) dock->GetVisibleRow(dock->FindBar(pBar), row);
  if (row.empty()) row.push_back(pBar);
  BOOL first = TRUE;
  for (CCbToolBar* b : row) {
    CCbControlPopup* item = CCbControlPopup::CreateControlPopup(cbControlPopup);
    if (!item) break;
    item->SetCaption(b->GetTitle());
    pPopup->GetControls()->Add(item, 0);
    const BOOL enabled = m_bCustomizeAvail && b->IsCustomizable();
    item->SetEnabled(enabled);
    item->SetFlags(cbFlagManualUpdate);
    if (first && pPopup->GetControlCount() > 1) item->SetBeginGroup(TRUE);
    first = FALSE;
    if (!enabled) continue;
    if (CCbPopupBar* sub = item->EnsurePopupBar())
      for (int i = 0; i < b->GetControlCount(); ++i)
        if (CCbControl* c = sub->GetControls()->AddClone(b->GetControl(i))) {
          c->SetHideFlags(0);
          c->SetChecked(b->GetControl(i)->GetHideFlags() & cbHideOwner ? 0 : 1);
        }
  }
  if (m_bCustomizeAvail)
    if (CCbControl* c = pPopup->GetControls()->Add(cbControlButton, 35001)) c->SetBeginGroup(TRUE);
}

// ======================================================================================
// CCbFrameWndBase
// ======================================================================================

template <class TBase>
BOOL CCbFrameWndBase<TBase>::InitCommandBars(CRuntimeClass* pCommandBarsClass) {
  if (m_pCommandBars) return TRUE;
  if (!CbPaintManagerIfAny() && !CCbPaintManager::SetTheme(1)) return FALSE;
  CCbCommandBars* bars = nullptr;
  if (pCommandBarsClass)
    bars = dynamic_cast<CCbCommandBars*>(pCommandBarsClass->CreateObject());
  else
    bars = new (std::nothrow) CCbCommandBars;
  if (!bars) return FALSE;
  try {
    bars->SetSite(this);
    bars->CreateDockBars();
  } catch (CException* e) {
    // No dock bars, no command bars: the frame's creation fails instead of unwinding.
    e->Delete();
    bars->InternalRelease();
    return FALSE;
  }
  m_pCommandBars = bars;
  return TRUE;
}

template <class TBase>
BOOL CCbFrameWndBase<TBase>::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (m_pCommandBars && m_pCommandBars->OnFrameWndMsg(message, wParam, lParam, pResult)) return TRUE;
  if (message == WM_BAR_CONTROL_EXECUTED) {
    auto* tag = (BAR_CONTROL_NOTIFY*)lParam;
    LRESULT result = 0;
    if (tag) {
      AFX_NOTIFY notify{&result, &tag->hdr};
      if (this->OnCmdMsg((UINT)tag->hdr.idFrom, (int)MAKELONG(tag->hdr.code, WM_NOTIFY), &notify, nullptr)) {
        if (pResult) *pResult = result;
        return TRUE;
      }
    }
    if (pResult) *pResult = 0;
    return FALSE;
  }
  return TBase::OnWndMsg(message, wParam, lParam, pResult);
}

template class CCbFrameWndBase<CFrameWnd>;
