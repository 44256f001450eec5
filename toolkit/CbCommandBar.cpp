#include "toolkit/CbCommandBar.h"

#include "platform/ui/Accessible.h"

#include "toolkit/CbCommandBars.h"
#include "toolkit/CbDrawHelpers.h"
#include "toolkit/CbImageManager.h"
#include "toolkit/CbMouseManager.h"
#include "toolkit/CbPaintManager.h"
#include "toolkit/CbPopupBar.h"
#include "toolkit/CbPropExchange.h"

#include "platform/ui/UiResources.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CCbCommandBar, CWnd)
IMPLEMENT_SERIAL(CCbToolBar, CCbCommandBar, VERSIONABLE_SCHEMA | kCbPropSchema)

BEGIN_MESSAGE_MAP(CCbCommandBar, CWnd)
  ON_WM_MOUSEMOVE()
  ON_WM_MOUSELEAVE()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_RBUTTONDOWN()
  ON_WM_RBUTTONUP()
  ON_WM_TIMER()
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUIMsg)
  ON_MESSAGE(WM_GETOBJECT, OnGetObject)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CCbToolBar, CCbCommandBar)
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_RBUTTONDOWN()
  ON_WM_NCHITTEST()
  ON_WM_NCLBUTTONDOWN()
  ON_WM_SETCURSOR()
  ON_WM_MOUSEACTIVATE()
  ON_WM_ACTIVATEAPP()
  ON_MESSAGE(WM_FLOATSTATUS, OnFloatStatus)
END_MESSAGE_MAP()

// ======================================================================================
// CCbCommandBar
// ======================================================================================

CCbCommandBar::CCbCommandBar() : m_pControls(new CCbControls) { m_pControls->SetParent(this); }

CCbCommandBar::~CCbCommandBar() {
  m_pControls->SetParent(nullptr);
  m_pControls->InternalRelease();
}

void CCbCommandBar::OnFinalRelease() {
  if (GetSafeHwnd()) DestroyWindow();
  delete this;
}

CWnd* CCbCommandBar::GetSite() const {
  if (m_pCommandBars) return m_pCommandBars->GetSite();
  if (CCbCommandBar* parent = GetParentCommandBar()) return parent->GetSite();
  return GetSafeHwnd() ? GetParentFrame() : nullptr;
}

CCbPaintManager* CCbCommandBar::GetPaintManager() const {
  return m_pCommandBars ? m_pCommandBars->GetPaintManager() : CbPaintManager();
}

CCbImageManager* CCbCommandBar::GetImageManager() const {
  return m_pCommandBars ? m_pCommandBars->GetImageManager() : CbImageManager();
}

CSize CCbCommandBar::GetIconSize() const {
  if (m_szIcons.cx > 0) return m_szIcons;
  if (m_pCommandBars) {
    const CSize o = m_pCommandBars->GetCommandBarsOptions()->szIcons;
    if (o.cx > 0) return o;
  }
  return CSize(16, 16);
}

void CCbCommandBar::Redraw() {
  if (!GetSafeHwnd()) return;
  if (m_nLockRedraw > 0) {
    m_bRedrawPending = TRUE;
    return;
  }
  Invalidate(FALSE);
}

CCbControl* CCbCommandBar::HitTest(CPoint pt) const { return m_pControls->HitTest(pt); }

void CCbCommandBar::OnControlsChanged() {
  m_bLayoutPending = TRUE;
  m_nSelected = m_nPopuped = -1;
}

BOOL CCbCommandBar::IsPointInBar(CPoint pt) const {
  if (!GetSafeHwnd()) return FALSE;
  CRect rc;
  GetWindowRect(&rc);
  return rc.PtInRect(pt);
}

BOOL CCbCommandBar::SetTrackingMode(int nMode, BOOL bSelectFirst, BOOL bKeyboard) {
  if ((nMode != 0) == (m_bTracking != 0)) {
    // Already tracking: only the popup-open flavour changes.
    if (nMode && m_bTracking) m_bTracking = nMode;
    return FALSE;
  }
  CCbRefHolder<CCbCommandBar> hold(this);
  if (nMode) {
    m_bTracking = nMode;
    HWND focus = ::GetFocus();
    CWnd* site = GetSite();
    m_hwndFocus = focus ? focus : site ? site->GetSafeHwnd() : nullptr;
    CbMouseManager()->SetTrack(this);
    CbKeyboardManager()->HookKeyboard(this);
    if (bSelectFirst) SetSelected(m_pControls->GetNext(-1, 1), bKeyboard);
  } else {
    m_bTracking = FALSE;
    CbMouseManager()->RemoveTrack(this);
    CbKeyboardManager()->UnhookKeyboard(this);
    if (GetSafeHwnd()) KillTimer(kExpandTimer);
    SetPopuped(-1);
    SetSelected(-1);
    m_hwndFocus = nullptr;
  }
  Redraw();
  return TRUE;
}

CCbCommandBar* CCbCommandBar::GetRootParent() const {
  const CCbCommandBar* bar = this;
  for (int guard = 0; guard < 64; ++guard) {
    CCbCommandBar* parent = bar->GetParentCommandBar();
    if (!parent) break;
    bar = parent;
  }
  return const_cast<CCbCommandBar*>(bar);
}

void CCbCommandBar::SetPopuped(int nIndex, BOOL) {
  if (nIndex == m_nPopuped) return;
  CCbRefHolder<CCbCommandBar> hold(this);
  if (m_nPopuped >= 0) {
    CCbControl* old = GetControl(m_nPopuped);
    m_nPopuped = -1;  // cleared first: the popup's closing sees its parent already let go
    if (old) {
      CCbRefHolder<CCbControl> keep(old);
      old->OnSetPopup(FALSE);
    }
    Redraw();
  }
  CCbControl* c = GetControl(nIndex);
  if (!c || !c->GetEnabled() || !CbOpensPopup(c->GetType())) return;
  m_nPopuped = nIndex;
  CCbRefHolder<CCbControl> keep(c);
  c->OnSetPopup(TRUE);
  CCbCommandBar* popup = c->GetCommandBar();
  if (m_nPopuped == nIndex && (!popup || !popup->IsTrackingMode())) m_nPopuped = -1;
  Redraw();
}

BOOL CCbCommandBar::PopupControl(int nIndex, BOOL bKeyboard) {
  CCbRefHolder<CCbCommandBar> hold(this);
  SetPopuped(-1);
  CCbControl* c = GetControl(nIndex);
  if (!c || !c->GetEnabled() || !CbOpensPopup(c->GetType()) || !GetSafeHwnd()) return FALSE;
  if (!m_bTracking)
    SetTrackingMode(2, FALSE, bKeyboard);
  else
    m_bTracking = 2;
  SetSelected(nIndex, bKeyboard);
  SetPopuped(nIndex, bKeyboard);
  if (GetSafeHwnd() && (!m_pCommandBars || m_pCommandBars->GetCommandBarsOptions()->bShowFullAfterDelay))
    SetTimer(kExpandTimer, kExpandDelay, nullptr);
  return m_nPopuped == nIndex;
}

int CCbCommandBar::OnHookMessage(HWND, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT&) {
  if (!m_bTracking || (nMessage != WM_KEYDOWN && nMessage != WM_MOUSEWHEEL)) return 0;
  CCbRefHolder<CCbCommandBar> hold(this);
  if (nMessage == WM_MOUSEWHEEL) return OnHookMouseWheel(wParam, lParam) ? 1 : 0;
  return OnHookKeyDown((UINT)wParam, lParam) ? 1 : 0;
}

BOOL CCbCommandBar::OnHookKeyDown(UINT nChar, LPARAM lParam) {
  if (CCbControl* c = GetSelected()) {
    const int answer = c->OnHookKeyDown(nChar, lParam);
    if (answer == 1) return TRUE;
  }
  const BOOL shift = (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
  if (nChar == VK_TAB) return NavigateByCode(shift ? 1 : 0);
  if (nChar == VK_RETURN) return NavigateByCode(5);
  const BOOL horizontal = m_barPosition == cbBarTop || m_barPosition == cbBarBottom || m_barPosition == cbBarFloating;
  const BOOL rtl = GetSafeHwnd() && (GetExStyle() & WS_EX_LAYOUTRTL);
  int code = -1;
  switch (nChar) {
    case VK_ESCAPE: code = 4; break;
    case VK_END: code = 7; break;
    case VK_HOME: code = 6; break;
    case VK_LEFT: code = horizontal ? (rtl ? 0 : 1) : (rtl ? 3 : 2); break;
    case VK_UP: code = horizontal ? 2 : 1; break;
    case VK_RIGHT: code = horizontal ? (rtl ? 1 : 0) : (rtl ? 2 : 3); break;
    case VK_DOWN: code = horizontal ? 3 : 0; break;
    default: break;
  }
  if (code >= 0) return NavigateByCode(code);
  if (nChar == VK_SHIFT || nChar == VK_CONTROL || nChar == VK_MENU) return TRUE;
  UINT ch = ::MapVirtualKey(nChar, MAPVK_VK_TO_CHAR);
  if (ch >= 'a' && ch <= 'z') ch = ch - 'a' + 'A';
  if (!(::GetKeyState(VK_CONTROL) & 0x8000) && ch) {
    int count = 0;
    const int found = FindAccel(ch, &count);
    if (found >= 0) {
      SetSelected(found, TRUE);
      if (count == 1)
        if (CCbControl* c = GetControl(found)) c->OnClick(TRUE);
      return TRUE;
    }
  }
  ::MessageBeep(0);
  return TRUE;
}

void CCbCommandBar::SetStatusText(CCbControl* pControl) {
  CWnd* site = GetSite();
  if (!site || !site->GetSafeHwnd()) return;
  const CString text = pControl ? pControl->GetDescription() : CString();
  if (text.IsEmpty())
    site->SendMessage(WM_POPMESSAGESTRING, AFX_IDS_IDLEMESSAGE, 0);
  else
    site->SendMessage(WM_SETMESSAGESTRING, 0, (LPARAM)(LPCTSTR)text);
  site->SendMessage(WM_BAR_CONTROL_SELECTED, (WPARAM)pControl, 0);
}

BOOL CCbCommandBar::SetSelected(int nSelected, BOOL bKeyboard) {
  if (nSelected == m_nSelected || !GetSafeHwnd()) return FALSE;
  if (nSelected >= 0 && !GetControl(nSelected)) nSelected = -1;
  if (nSelected == m_nSelected) return FALSE;
  CCbControl* old = GetControl(m_nSelected);
  m_nSelected = nSelected;
  m_bKeyboardSelect = bKeyboard;
  if (old) old->OnSetSelected(0);
  CCbControl* now = GetControl(nSelected);
  if (now) {
    now->OnSetSelected(bKeyboard ? 2 : 1);
    if (!bKeyboard)
      SetTimer(kHoverTimer, kHoverDelay, nullptr);
    else
      NotifyWinEvent(EVENT_OBJECT_FOCUS, m_hWnd, OBJID_MENU, nSelected + 1);
  } else {
    KillTimer(kHoverTimer);
  }
  SetStatusText(now);
  UpdateToolTip(now);
  Redraw();
  return TRUE;
}

BOOL CCbCommandBar::NavigateByCode(int nCode) {
  CCbRefHolder<CCbCommandBar> hold(this);
  switch (nCode) {
    case 0:
    case 1: {
      const int n = m_pControls->GetNext(m_nSelected, nCode == 0 ? 1 : -1);
      return n >= 0 && SetSelected(n, TRUE);
    }
    case 2:
      if (m_nPopuped < 0) return FALSE;
      SetPopuped(-1);
      if (m_bTracking) m_bTracking = TRUE;
      return TRUE;
    case 3: {
      CCbControl* c = GetSelected();
      if (!c || !CbIsPopupType(c->GetType()) || m_nPopuped == m_nSelected) return FALSE;
      return PopupControl(m_nSelected, TRUE);
    }
    case 4: return SetTrackingMode(FALSE);
    case 5:
      if (CCbControl* c = GetSelected()) {
        c->OnClick(TRUE);
        return TRUE;
      }
      return FALSE;
    case 6: return SetSelected(m_pControls->GetNext(-1, 1), TRUE);
    case 7: return SetSelected(m_pControls->GetNext(-1, -1), TRUE);
    default: return FALSE;
  }
}

BOOL CCbCommandBar::LoadToolBar(UINT, BOOL) { return FALSE; }

void CCbCommandBar::UpdateToolTip(CCbControl* pControl) {
  if (!m_wndToolTip.GetSafeHwnd()) return;
  const BOOL tips = !m_pCommandBars || m_pCommandBars->GetCommandBarsOptions()->bToolBarScreenTips;
  if (!pControl || !tips || m_bTracking) {
    m_wndToolTip.Pop();
    m_strToolTip.Empty();
    m_wndToolTip.SetToolRect(this, 1, CRect(0, 0, 0, 0));
    return;
  }
  CString tip = pControl->GetTooltip();
  if (tip.IsEmpty()) tip = CCbPaintManager::StripMnemonics(pControl->GetCaption());
  if (m_pCommandBars && m_pCommandBars->GetCommandBarsOptions()->bToolBarAccelTips &&
      !pControl->GetShortcutText().IsEmpty())
    tip += " (" + pControl->GetShortcutText() + ")";
  m_strToolTip = tip;
  const CRect rc = pControl->GetRect();
  m_wndToolTip.SetToolRect(this, 1, &rc);
  m_wndToolTip.UpdateTipText(tip, this, 1);
}

void CCbCommandBar::OnMouseMove(UINT, CPoint point) {
  if (m_wndToolTip.GetSafeHwnd()) {
    MSG msg{m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y), 0, {}};
    m_wndToolTip.RelayEvent(&msg);
  }
  // While another bar tracks (an open menu) the others stay still.
  CCbMouseManager* mouse = CbMouseManager();
  if (mouse->IsTracking() && !mouse->IsTrackedBar(this)) return;
  CCbControl* c = HitTest(point);
  if (!m_bMouseTracked) {
    TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, m_hWnd, 0};
    ::TrackMouseEvent(&tme);
    m_bMouseTracked = TRUE;
  }
  if (c) {
    SetSelected(c->GetIndex());
    c->OnMouseMove(point);
  } else if (!m_bTracking) {
    SetSelected(-1);
  }
}

void CCbCommandBar::OnMouseLeave() {
  m_bMouseTracked = FALSE;
  if (!m_bTracking) SetSelected(-1);
}

void CCbCommandBar::OnLButtonDown(UINT, CPoint point) {
  if (m_wndToolTip.GetSafeHwnd()) m_wndToolTip.Pop();
  if (CCbControl* c = HitTest(point)) c->OnClick(FALSE, point);
}

void CCbCommandBar::OnLButtonUp(UINT, CPoint point) {
  if (CCbControl* c = HitTest(point)) c->OnLButtonUp(point);
}

void CCbCommandBar::OnRButtonUp(UINT, CPoint point) {
  if (CCbControl* c = HitTest(point)) c->OnRButtonUp(point);
}

void CCbCommandBar::OnLButtonDblClk(UINT, CPoint point) {
  if (CCbControl* c = HitTest(point)) c->OnLButtonDblClk(point);
}

void CCbCommandBar::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent == kHoverTimer) {
    KillTimer(kHoverTimer);
    CCbRefHolder<CCbCommandBar> hold(this);
    // A popup's sub-menu closes once the pointer rests on another item.
    if (m_barType == 2 && m_nPopuped >= 0 && m_nPopuped != m_nSelected && m_nSelected >= 0) SetPopuped(-1);
    if (CCbControl* c = GetSelected()) c->OnMouseHover();
    return;
  }
  if (nIDEvent == kExpandTimer) {
    KillTimer(kExpandTimer);
    CCbControl* c = GetSelected();
    if (c && m_nPopuped == m_nSelected)
      if (auto* popup = dynamic_cast<CCbPopupBar*>(c->GetCommandBar())) popup->ExpandBar();
    return;
  }
  CWnd::OnTimer(nIDEvent);
}

void CCbCommandBar::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  if (rc.IsRectEmpty()) return;
  CCbBufferDC buffer(&dc, rc);
  DrawCommandBar(&buffer, rc);
}

void CCbCommandBar::DrawCommandBar(CDC* pDC, CRect) {
  CCbPaintManager* painter = GetPaintManager();
  painter->FillBarBackground(pDC, this);
  if (m_dwStyle & CBRS_GRIPPER) painter->DrawBarGripper(pDC, this, TRUE);
  BOOL first = TRUE;
  for (int i = 0; i < GetControlCount(); ++i) {
    CCbControl* c = GetControl(i);
    if (!c->IsVisible()) continue;
    if (c->GetBeginGroup() && !first) painter->DrawBarSeparator(pDC, this, c, TRUE);
    first = FALSE;
    CCbFontDC font(pDC, painter->GetControlFont(m_barPosition, c->IsDefaultItem()));
    c->Draw(pDC);
  }
}

void CCbCommandBar::OnIdleUpdateCmdUI(BOOL) {
  if (!GetSafeHwnd() || !IsWindowVisible()) return;
  CWnd* site = GetSite();
  const int n = GetControlCount();
  const BOOL noNotify = IsNoNotify();
  m_lastStates.resize((size_t)n, -1);
  for (int i = 0; i < n; ++i) {
    CCbControl* c = GetControl(i);
    if (!c || (c->GetFlags() & cbFlagManualUpdate) || c->GetID() <= 0) continue;
    CCbCommandBarCmdUI ui(this, i);
    ui.m_nID = (UINT)c->GetID();
    // The bar first, then the frame; a command no one handles is disabled.
    if (noNotify) continue;
    if (!OnCmdMsg(ui.m_nID, CN_UPDATE_COMMAND_UI, &ui, nullptr) && site) ui.DoUpdate(site, TRUE);
  }
  for (int i = 0; i < n; ++i) {
    CCbControl* c = GetControl(i);
    const int state = (c->GetEnabled() ? 1 : 0) | (c->GetChecked() << 1) | (c->IsVisible() ? 16 : 0);
    if (m_lastStates[(size_t)i] != state) {
      m_lastStates[(size_t)i] = state;
      m_bRedrawPending = TRUE;
    }
  }
  if (m_bLayoutPending) {
    m_bLayoutPending = FALSE;
    OnRecalcLayout();
  }
  if (m_bRedrawPending) {
    m_bRedrawPending = FALSE;
    Invalidate(FALSE);
  }
}

LRESULT CCbCommandBar::OnIdleUpdateCmdUIMsg(WPARAM wParam, LPARAM) {
  OnIdleUpdateCmdUI((BOOL)wParam);
  return 0;
}

int CCbCommandBar::OnCreate(LPCREATESTRUCT lpcs) {
  if (CWnd::OnCreate(lpcs) == -1) return -1;
  if (m_barType != 2 && m_wndToolTip.Create(this)) {
    m_wndToolTip.AddTool(this, "", CRect(0, 0, 0, 0), 1);
    m_wndToolTip.Activate(TRUE);
  }
  return 0;
}

void CCbCommandBar::OnDestroy() {
  KillTimer(kHoverTimer);
  if (m_bTracking) SetTrackingMode(FALSE);
  if (m_wndToolTip.GetSafeHwnd()) m_wndToolTip.DestroyWindow();
  CWnd::OnDestroy();
}

// ======================================================================================
// CCbCommandBarCmdUI
// ======================================================================================

CCbCommandBarCmdUI::CCbCommandBarCmdUI(CCbCommandBar* pBar, int nIndex) : m_pBar(pBar) {
  m_nIndex = (UINT)nIndex;
  m_nIndexMax = (UINT)(pBar ? pBar->GetControlCount() : 0);
  m_pOther = pBar;
}

CCbControl* CCbCommandBarCmdUI::Control() const { return m_pBar ? m_pBar->GetControl((int)m_nIndex) : nullptr; }

void CCbCommandBarCmdUI::Enable(BOOL bOn) {
  m_bEnableChanged = TRUE;
  m_bHandled = TRUE;
  if (CCbControl* c = Control()) c->SetEnabled(bOn);
}

void CCbCommandBarCmdUI::SetCheck(int nCheck) {
  if (CCbControl* c = Control()) c->SetChecked(nCheck);
}

void CCbCommandBarCmdUI::SetText(LPCTSTR lpszText) {
  if (CCbControl* c = Control()) c->SetCaption(lpszText ? lpszText : "");
}

// ======================================================================================
// CCbToolBar
// ======================================================================================

CCbToolBar::CCbToolBar() : m_pExpand(new CCbControlExpandButton) { m_barType = 1; }

CCbToolBar::~CCbToolBar() {
  delete m_pDockContext;
  m_pExpand->InternalRelease();
  if (m_pHide) m_pHide->InternalRelease();
}

BOOL CCbToolBar::LoadToolBar(UINT nIDResource, BOOL bLoadIcons) {
  m_pControls->RemoveAll();
  m_nBarID = nIDResource;
  AfxEnsureUiResources();
  HRSRC r = ::FindResource(nullptr, MAKEINTRESOURCE(nIDResource), RT_TOOLBAR);
  if (!r) return FALSE;
  const DWORD size = ::SizeofResource(nullptr, r);
  const BYTE* bytes = static_cast<const BYTE*>(::LockResource(::LoadResource(nullptr, r)));
  if (!bytes || size < 8) return FALSE;
  WORD head[4];
  std::memcpy(head, bytes, 8);
  // The count must fit in the resource.
  if ((DWORD)head[3] * 2 + 8 > size) return FALSE;
  std::vector<UINT> ids(head[3]);
  for (WORD i = 0; i < head[3]; ++i) {
    WORD id;
    std::memcpy(&id, bytes + 8 + 2 * i, 2);
    ids[i] = id;
  }
  m_pControls->LoadToolBar(ids.data(), (int)ids.size(), GetSite());
  if (bLoadIcons) {
    GetImageManager()->SetIcons(nIDResource, ids.data(), (int)ids.size(), head[1], head[2]);
    if (head[1] != 16) m_szIcons = CSize(head[1], head[2]);
  }
  m_pControls->CreateResetCopy();
  return TRUE;
}

void CCbToolBar::EnableDocking(DWORD dwFlags) {
  m_dwFlags = dwFlags;
  if (!m_pDockContext) m_pDockContext = new CCbDockContext(this);
}

BOOL CCbToolBar::CreateWindowFor(CWnd* pParent, BOOL bFloating) {
  if (!GetSafeHwnd()) {
    const CString cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW), nullptr, nullptr);
    CSize size(100, 100);
    if (m_pDockContext && m_pDockContext->m_rcWindow.Width() > 0) size = m_pDockContext->m_rcWindow.Size();
    // A floating bar is made owned and never active from the start; a docked one becomes a child.
    if (!CreateEx(bFloating ? WS_EX_NOACTIVATE : 0, cls, m_strTitle, WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                  CRect(CPoint(0, 0), size), bFloating ? pParent : nullptr, 0))
      return FALSE;
  }
  if (bFloating) {
    // Owned by the site, managed by the window manager, frameless, never focused.
    ModifyStyle(WS_CHILD, WS_POPUP);
    ModifyStyleEx(0, WS_EX_NOACTIVATE);
    SetParent(pParent);
    return TRUE;
  }
  ModifyStyle(WS_POPUP, WS_CHILD);
  ModifyStyleEx(WS_EX_NOACTIVATE, 0);
  SetParent(pParent);
  return TRUE;
}

CSize CCbToolBar::CalcDockingLayout(int nLength, DWORD dwMode, int) {
  CCbPaintManager* painter = GetPaintManager();
  CRect borders = painter->GetBarBorders(this);
  const BOOL vertical = (dwMode & LM_VERTDOCK) != 0;
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  if (m_dwStyle & CBRS_GRIPPER) {
    const CSize g = painter->DrawBarGripper(&dc, this, FALSE);
    borders.left += g.cx;
    borders.top += g.cy;
  }
  // Only a bar that hides what does not fit can have hidden controls to list; one that wraps
  // (the menu bar) shows them all.
  const BOOL expand = m_pDockContext != nullptr && (m_dwFlags & cbFlagHideWrap) != 0;
  const BOOL always = !m_pCommandBars || m_pCommandBars->GetCommandBarsOptions()->bShowExpandButtonAlways;
  if (expand && always) (vertical ? borders.bottom : borders.right) += 11;
  const int minimum = painter->GetControlHeight() + 2;
  CSize size = m_pControls->CalcDynamicSize(nLength, dwMode, borders, minimum);
  if (expand && !always && (dwMode & LM_COMMIT)) {
    BOOL hidden = FALSE;
    for (int i = 0; i < GetControlCount(); ++i) hidden |= (GetControl(i)->GetHideFlags() & cbHideWrap) != 0;
    m_bExpandShown = hidden;
  } else {
    m_bExpandShown = expand && always;
  }
  if (dwMode & LM_COMMIT) {
    m_pExpand->SetParent(this);
    if (GetSafeHwnd()) m_pExpand->SetRect(CRect(0, 0, 0, 0));
  }
  return size;
}

CSize CCbToolBar::CalcDynamicLayout(int nLength, DWORD dwMode) {
  CCbPaintManager* painter = GetPaintManager();
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  // The caption is the painter's floating gripper; 3-pixel sizing borders all round it.
  const int position = m_barPosition;
  m_barPosition = cbBarFloating;
  const int caption = std::max<int>(painter->DrawBarGripper(&dc, this, FALSE).cy, 12);
  m_barPosition = position;
  const CRect borders(3, caption + 4, 3, 3);
  if ((dwMode & LM_MRUWIDTH) && m_nMRUWidth < 32767) {
    // The width the user last gave the bar.
    dwMode &= ~(DWORD)LM_MRUWIDTH;
    nLength = m_nMRUWidth;
  }
  CSize size = m_pControls->CalcDynamicSize(nLength, dwMode, borders, 0);
  // Room in the caption for its title's first letters and the buttons.
  const int buttons = (m_bCloseable ? caption : 0) + caption;
  size.cx = std::max<int>(size.cx, 6 + buttons + 20);
  if (dwMode & LM_COMMIT) {
    const CRect cap(3, 3, size.cx - 3, 3 + caption);
    int right = cap.right;
    m_bHideShown = m_bCloseable;
    if (m_bHideShown) {
      if (!m_pHide) {
        m_pHide = new CCbControlButton;
        m_pHide->SetID(9401);
      }
      m_pHide->SetParent(this);
      m_pHide->SetRect(CRect(right - caption, cap.top, right, cap.bottom));
      right -= caption;
    }
    const BOOL always = !m_pCommandBars || m_pCommandBars->GetCommandBarsOptions()->bShowExpandButtonAlways;
    m_bExpandShown = m_pDockContext && (m_dwFlags & cbFlagHideWrap) && always && right - caption >= cap.left + 20;
    m_pExpand->SetParent(this);
    m_pExpand->SetRect(m_bExpandShown ? CRect(right - caption, cap.top, right, cap.bottom) : CRect(0, 0, 0, 0));
  }
  return size;
}

CRect CCbToolBar::GetCaptionRect() const {
  if (!IsFloating() || !GetSafeHwnd()) return CRect(0, 0, 0, 0);
  CRect rc;
  GetClientRect(&rc);
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  const int caption =
      std::max<int>(GetPaintManager()->DrawBarGripper(&dc, const_cast<CCbToolBar*>(this), FALSE).cy, 12);
  return CRect(3, 3, std::max<int>(3, rc.right - 3), 3 + caption);
}

int CCbToolBar::HitTestBorder(CPoint pt) const {
  if (!IsFloating() || !GetSafeHwnd()) return HTNOWHERE;
  CRect rc;
  GetClientRect(&rc);
  if (!rc.PtInRect(pt)) return HTNOWHERE;
  const BOOL left = pt.x < 3, right = pt.x >= rc.right - 3, top = pt.y < 3, bottom = pt.y >= rc.bottom - 3;
  if (top && left) return HTTOPLEFT;
  if (top && right) return HTTOPRIGHT;
  if (bottom && left) return HTBOTTOMLEFT;
  if (bottom && right) return HTBOTTOMRIGHT;
  if (left) return HTLEFT;
  if (right) return HTRIGHT;
  if (top) return HTTOP;
  if (bottom) return HTBOTTOM;
  return HTNOWHERE;
}

LRESULT CCbToolBar::OnNcHitTest(CPoint point) {
  CPoint pt = point;
  ScreenToClient(&pt);
  const int ht = HitTestBorder(pt);
  return ht != HTNOWHERE ? ht : CCbCommandBar::OnNcHitTest(point);
}

void CCbToolBar::OnNcLButtonDown(UINT nHitTest, CPoint point) {
  if (IsFloating() && m_pDockContext && nHitTest >= HTLEFT && nHitTest <= HTBOTTOMRIGHT) {
    m_pDockContext->StartResize((int)nHitTest, point);
    return;
  }
  CCbCommandBar::OnNcLButtonDown(nHitTest, point);
}

BOOL CCbToolBar::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
  CPoint pt;
  ::GetCursorPos(&pt);
  ScreenToClient(&pt);
  LPCTSTR cursor = nullptr;
  switch (HitTestBorder(pt)) {
    case HTLEFT:
    case HTRIGHT: cursor = IDC_SIZEWE; break;
    case HTTOP:
    case HTBOTTOM: cursor = IDC_SIZENS; break;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT: cursor = IDC_SIZENWSE; break;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: cursor = IDC_SIZENESW; break;
    default: break;
  }
  if (cursor) {
    ::SetCursor(::LoadCursor(nullptr, cursor));
    return TRUE;
  }
  return CCbCommandBar::OnSetCursor(pWnd, nHitTest, message);
}

int CCbToolBar::OnMouseActivate(CWnd*, UINT, UINT) {
  // A floating bar never takes the activation from its frame.
  return IsFloating() ? MA_NOACTIVATE : MA_ACTIVATE;
}

void CCbToolBar::OnRButtonDown(UINT, CPoint point) {
  CCbRefHolder<CCbCommandBar> hold(this);
  CbMouseManager()->SendTrackLost();
  SetSelected(-1);
  if (!m_pCommandBars || !GetSafeHwnd()) return;
  ClientToScreen(&point);
  m_pCommandBars->ContextMenu(point.x, point.y);
}

void CCbToolBar::OnLButtonDown(UINT nFlags, CPoint point) {
  if (IsFloating()) {
    ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const int ht = HitTestBorder(point);
    if (ht != HTNOWHERE && m_pDockContext) {
      CPoint pt = point;
      ClientToScreen(&pt);
      m_pDockContext->StartResize(ht, pt);
      return;
    }
    if (m_bHideShown && m_pHide && m_pHide->GetRect().PtInRect(point)) {
      SetVisible(FALSE);
      return;
    }
  }
  if (m_bExpandShown && m_pExpand->GetRect().PtInRect(point)) {
    m_pExpand->OnClick(FALSE, point);
    return;
  }
  if (HitTest(point)) {
    CCbCommandBar::OnLButtonDown(nFlags, point);
    return;
  }
  CbMouseManager()->SendTrackLost();
  if (m_pDockContext && (m_dwFlags & (cbFlagAlignAny | cbFlagFloating))) {
    CPoint pt = point;
    ClientToScreen(&pt);
    m_pDockContext->StartDrag(pt);
  }
}

void CCbToolBar::OnLButtonDblClk(UINT nFlags, CPoint point) {
  if (HitTest(point)) {
    CCbCommandBar::OnLButtonDblClk(nFlags, point);
    return;
  }
  if ((m_bExpandShown && m_pExpand->GetRect().PtInRect(point)) ||
      (m_bHideShown && m_pHide && m_pHide->GetRect().PtInRect(point)) || HitTestBorder(point) != HTNOWHERE)
    return;
  if (m_pDockContext) m_pDockContext->ToggleDocking();
}

void CCbToolBar::SyncWithApplication(BOOL bActive) {
  if (!GetSafeHwnd() || !IsFloating()) return;
  if (m_pCommandBars && !m_pCommandBars->GetCommandBarsOptions()->bSyncFloatingBars) return;
  if (!bActive) {
    if (IsWindowVisible()) {
      ShowWindow(SW_HIDE);
      m_bInactiveHidden = TRUE;
    }
    return;
  }
  if (!m_bInactiveHidden) return;
  // Back only with a frame the user can see.
  CWnd* site = GetSite();
  if (site && site->GetSafeHwnd() && (!site->IsWindowVisible() || site->IsIconic())) return;
  m_bInactiveHidden = FALSE;
  if (m_bVisible && !m_bTemporarilyHidden) ShowWindow(SW_SHOWNA);
}

void CCbToolBar::OnActivateApp(BOOL bActive, DWORD) { SyncWithApplication(bActive); }

LRESULT CCbToolBar::OnFloatStatus(WPARAM wParam, LPARAM) {
  if (wParam & FS_HIDE)
    SyncWithApplication(FALSE);
  else if (wParam & FS_SHOW)
    SyncWithApplication(TRUE);
  return TRUE;
}

void CCbToolBar::SetVisible(BOOL bVisible) {
  m_bVisible = bVisible;
  m_bInactiveHidden = FALSE;
  if (!bVisible && m_bTracking) SetTrackingMode(FALSE);
  if (GetSafeHwnd()) ShowWindow(bVisible ? SW_SHOWNA : SW_HIDE);
  if (m_pCommandBars && !IsFloating()) m_pCommandBars->RecalcFrameLayout();
}

void CCbToolBar::SetTemporarilyHidden(BOOL bHidden) {
  if (bHidden == m_bTemporarilyHidden) return;
  m_bTemporarilyHidden = bHidden;
  if (bHidden) {
    m_bWasVisible = m_bVisible;
    if (m_bVisible && GetSafeHwnd()) ShowWindow(SW_HIDE);
  } else if (m_bWasVisible && GetSafeHwnd()) {
    ShowWindow(SW_SHOWNA);
  }
}

void CCbToolBar::OnRecalcLayout() {
  if (IsFloating()) {
    // Measured again and resized where it stands.
    if (!GetSafeHwnd()) return;
    const CSize size = CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH | LM_COMMIT);
    SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Invalidate(FALSE);
    return;
  }
  if (m_pCommandBars) m_pCommandBars->RecalcFrameLayout(TRUE);
}

CCbControl* CCbToolBar::HitTest(CPoint pt) const {
  if (CCbControl* c = CCbCommandBar::HitTest(pt)) return c;
  if (m_bExpandShown && m_pExpand->GetRect().PtInRect(pt)) return m_pExpand;
  return nullptr;
}

void CCbToolBar::DrawCommandBar(CDC* pDC, CRect rcClip) {
  CCbCommandBar::DrawCommandBar(pDC, rcClip);
  if (IsFloating()) {
    CCbPaintManager* painter = GetPaintManager();
    if (!(m_dwStyle & CBRS_GRIPPER)) painter->DrawBarGripper(pDC, this, TRUE);  // the caption
    if (m_bExpandShown) painter->DrawSpecialControl(pDC, 0, m_pExpand, this, TRUE, FALSE);
    if (m_bHideShown && m_pHide) painter->DrawSpecialControl(pDC, 2, m_pHide, this, TRUE, FALSE);
    return;
  }
  if (m_bExpandShown) {
    m_pExpand->SetParent(this);
    GetPaintManager()->DrawSpecialControl(pDC, 0, m_pExpand, this, TRUE, TRUE);
  }
}

UINT CCbCommandBar::GetMnemonic(const CString& strCaption) {
  const int n = strCaption.GetLength();
  for (int i = 0; i + 1 < n; ++i) {
    if (strCaption[i] != '&') continue;
    if (strCaption[i + 1] == '&') {
      ++i;  // a doubled ampersand shows one and marks nothing
      continue;
    }
    unsigned char c = (unsigned char)strCaption[i + 1];
    if (c >= 0x80) return 0;  // only plain letters and digits are typed with Alt here
    return (UINT)(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  }
  return 0;
}

int CCbCommandBar::FindAccel(UINT nChar, int* pnCount) const {
  if (pnCount) *pnCount = 0;
  if (nChar >= 'a' && nChar <= 'z') nChar = nChar - 'a' + 'A';
  if (nChar == 0) return -1;
  const int count = m_pControls->GetCount();
  int found = -1, matches = 0;
  for (int k = 1; k <= count; ++k) {
    int i = (m_nSelected + k) % count;
    if (i < 0) i += count;
    CCbControl* c = m_pControls->GetAt(i);
    if (!c || !c->IsVisible() || !c->GetEnabled()) continue;
    if (GetMnemonic(c->GetCaption()) != nChar) continue;
    if (found < 0) found = i;
    ++matches;
  }
  if (pnCount) *pnCount = matches;
  return found;
}
