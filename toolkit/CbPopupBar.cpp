#include "toolkit/CbPopupBar.h"

#include "platform/ui/Accessible.h"

#include "toolkit/CbCommandBars.h"
#include "toolkit/CbDrawHelpers.h"
#include "toolkit/CbMenuSound.h"
#include "toolkit/CbMouseManager.h"
#include "toolkit/CbPaintManager.h"
#include "toolkit/CbPropExchange.h"
#include "toolkit/CbShadows.h"
#include "toolkit/CbShortcutManager.h"

#include <algorithm>
#include <new>

IMPLEMENT_SERIAL(CCbPopupBar, CCbCommandBar, VERSIONABLE_SCHEMA | kCbPropSchema)
IMPLEMENT_DYNAMIC(CCbPopupToolBar, CCbPopupBar)

BEGIN_MESSAGE_MAP(CCbPopupBar, CCbCommandBar)
  ON_WM_MOUSEMOVE()
  ON_WM_MOUSELEAVE()
  ON_WM_MOUSEACTIVATE()
  ON_WM_TIMER()
  ON_WM_LBUTTONDOWN()
  ON_WM_MOUSEWHEEL()
  ON_WM_PAINT()
END_MESSAGE_MAP()

namespace {
CRect workAreaFor(const CRect& rcExclude, CPoint pt) {
  HMONITOR mon = rcExclude.IsRectEmpty() ? ::MonitorFromPoint(pt, MONITOR_DEFAULTTONEAREST)
                                         : ::MonitorFromRect(&rcExclude, MONITOR_DEFAULTTONEAREST);
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  if (mon && ::GetMonitorInfo(mon, &mi)) return CRect(mi.rcWork);
  return CRect(0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
}

// The expand item at the foot of a popup that hides rarely used items.
class CCbPopupExpandItem : public CCbControl {
 public:
  CCbPopupExpandItem() {
    m_nId = CB_ID_POPUPBAR_EXPAND;
    m_dwFlags = cbFlagManualUpdate | cbFlagNoMovable;
  }
};
}  // namespace

CCbPopupBar::CCbPopupBar() : m_pExpandItem(new CCbPopupExpandItem) {
  m_barType = 2;
  m_barPosition = cbBarPopup;
  m_bCustomizable = FALSE;
}

CCbPopupBar::~CCbPopupBar() {
  if (GetSafeHwnd()) CbShadowsManager()->RemoveShadow(this);
  m_pExpandItem->InternalRelease();
}

CCbPopupBar* CCbPopupBar::CreatePopupBar(CCbCommandBars* pCommandBars) {
  auto* p = new (std::nothrow) CCbPopupBar;
  if (p) p->SetCommandBars(pCommandBars);
  return p;
}

CCbPopupToolBar* CCbPopupToolBar::CreatePopupToolBar(CCbCommandBars* pCommandBars) {
  auto* p = new (std::nothrow) CCbPopupToolBar;
  if (p) p->SetCommandBars(pCommandBars);
  return p;
}

CCbCommandBar* CCbPopupBar::GetParentCommandBar() const {
  return m_pControlPopup ? m_pControlPopup->GetParent() : nullptr;
}

void CCbPopupBar::DelayRedraw() {
  m_bRedrawPending = FALSE;
  if (m_nLockRedraw == 0 && GetSafeHwnd())
    Invalidate(FALSE);
  else
    m_bRedrawPending = TRUE;
}

void CCbPopupBar::UpdateShortcuts() {
  if (!m_pCommandBars) return;
  for (int i = 0; i < GetControlCount(); ++i) {
    CCbControl* c = GetControl(i);
    if (!c->IsVisible() || c->GetID() <= 0) continue;
    // The text after a tab stays when it names one of the command's keys.
    CString text = c->GetShortcutText().IsEmpty() ? c->GetMenuShortcutText() : c->GetShortcutText();
    if (CbShortcutManager()->FindDefaultAccelerator((UINT)c->GetID(), text, m_pCommandBars)) c->SetShortcutText(text);
  }
}

void CCbPopupBar::UpdateLocation() {
  if (!m_pControlPopup) return;
  CCbCommandBar* parent = m_pControlPopup->GetParent();
  if (!parent || !parent->GetSafeHwnd()) return;
  DWORD flags = 0;
  const BOOL rtl = (parent->GetExStyle() & WS_EX_LAYOUTRTL) != 0;
  const int position = parent->GetPosition();
  if (auto* popup = dynamic_cast<CCbPopupBar*>(parent)) {
    if ((popup->GetPopupFlags() & popupLeft) || rtl) flags |= popupLeft;
  } else if (position == cbBarLeft) {
    if (rtl) flags |= popupLeft;
  } else if (position == cbBarRight) {
    flags |= popupLeft;
  } else {
    flags |= popupBelow;
    if (rtl) flags |= popupLeft;
  }
  CRect rc = m_pControlPopup->GetRect();
  parent->ClientToScreen(&rc);
  m_dwPopupFlags = flags;
  m_rcExclude = rc;
  m_ptPopup = (flags & popupBelow) ? CPoint(rc.left, rc.bottom) : CPoint(rc.right, rc.top);
}

BOOL CCbPopupBar::CreatePopupWindow() {
  if (GetSafeHwnd()) return TRUE;
  CWnd* site = GetSite();
  const CString cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW), nullptr, nullptr);
  DWORD exStyle = WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
  if (site && site->GetSafeHwnd() && (site->GetExStyle() & WS_EX_LAYOUTRTL)) exStyle |= WS_EX_LAYOUTRTL;
  return CreateEx(exStyle, cls, "", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, CRect(0, 0, 0, 0),
                  site && site->GetSafeHwnd() ? site : nullptr, 0);
}

BOOL CCbPopupBar::Popup(CCbControl* pControl, BOOL bKeyboard) {
  if (m_bTracking) return TRUE;
  CCbCommandBar* parent = pControl ? pControl->GetParent() : nullptr;
  if (pControl && (!parent || !parent->GetSafeHwnd())) return FALSE;
  m_pControlPopup = pControl;
  if (parent && !m_pCommandBars) m_pCommandBars = parent->GetCommandBars();
  m_bBarePoint = pControl == nullptr;
  OpenLaidOut(bKeyboard);
  return m_bTracking;
}

BOOL CCbPopupBar::Popup(int x, int y, LPCRECT rcExclude) {
  if (m_bTracking) return TRUE;
  m_pControlPopup = nullptr;
  m_bBarePoint = TRUE;
  m_ptPopup = CPoint(x, y);
  m_rcExclude = rcExclude ? CRect(*rcExclude) : CRect(0, 0, 0, 0);
  m_dwPopupFlags = 0;
  OpenLaidOut(FALSE);
  return m_bTracking;
}

void CCbPopupBar::OpenLaidOut(BOOL bKeyboard) {
  CCbRefHolder<CCbCommandBar> hold(this);
  if (!CreatePopupWindow()) return;
  m_barPosition = cbBarPopup;
  if (CWnd* site = GetSite(); site && site->GetSafeHwnd()) site->SendMessage(WM_BAR_POPUP_INIT, 0, (LPARAM)this);
  if (!GetSafeHwnd()) return;
  m_rcTearOff.SetRectEmpty();
  m_bExpanded = CbMouseManager()->IsForceExpanded();
  m_nFirstVisible = 0;
  m_bScroll = FALSE;
  if (!m_bBarePoint) UpdateLocation();
  UpdateShortcuts();
  const CSize sz = CalcDynamicLayout(-1, LM_COMMIT);
  PlacePopup(sz);
  m_bLayoutPending = FALSE;
  SetTrackingMode(TRUE, bKeyboard, bKeyboard);
  if (!GetSafeHwnd()) return;
  // Clicks on other programs close the menus too; refused, the menus track as they are.
  ::AfxSetTrackingGrab(m_hWnd);
  OnIdleUpdateCmdUI(TRUE);
  StartAnimation();
  CCbMenuSound::Play(CCbMenuSound::soundMenuPopup);
}

CRect CCbPopupBar::PlacePopup(CSize sz) {
  CB_POPUP_PLACEMENT p;
  p.rcExclude = m_bBarePoint ? CRect(0, 0, 0, 0) : m_rcExclude;
  p.ptAnchor = m_ptPopup;
  p.szPopup = sz;
  p.bLeft = (m_dwPopupFlags & popupLeft) != 0;
  p.bBelow = (m_dwPopupFlags & popupBelow) != 0;
  if (m_bBarePoint && !m_rcExclude.IsRectEmpty()) {
    // A bare point kept clear of a rectangle opens below it, as from a control.
    p.rcExclude = m_rcExclude;
    p.bBelow = TRUE;
  }
  m_rcWork = workAreaFor(p.rcExclude, m_ptPopup);
  const CB_POPUP_PLACED placed = CbPlacePopup(p, m_rcWork);
  m_dwPopupFlags = (m_dwPopupFlags & ~(DWORD)popupLeft) | (placed.bLeft ? popupLeft : 0);
  m_bScroll = placed.bScroll;
  for (int i = 0; i < GetControlCount(); ++i) GetControl(i)->SetHideFlag(cbHideScroll, FALSE);
  m_rcScrollUp.SetRectEmpty();
  m_rcScrollDown.SetRectEmpty();
  if (m_bScroll)
    LayoutScrolled(placed.rcWindow.Height());
  else
    m_nLastVisible = GetControlCount() - 1;
  const CRect& rc = placed.rcWindow;
  if (GetSafeHwnd()) {
    const BOOL wasShown = ::IsWindowVisible(m_hWnd);
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, rc.left, rc.top, rc.Width(), rc.Height(), SWP_NOACTIVATE | SWP_SHOWWINDOW);
    OnPopupShown(rc);
    // A reader hears of the menu opening, by mouse as by key.
    if (!wasShown && GetSafeHwnd()) NotifyWinEvent(EVENT_SYSTEM_MENUPOPUPSTART, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
  }
  return rc;
}

void CCbPopupBar::LayoutScrolled(int nHeight) {
  const int n = GetControlCount();
  // Heights and gaps as the full layout made them.
  std::vector<int> tops((size_t)n, 0), heights((size_t)n, 0);
  for (int i = 0; i < n; ++i) {
    CRect rc = GetControl(i)->GetRect();
    tops[(size_t)i] = rc.top;
    heights[(size_t)i] = rc.Height();
  }
  auto visible = [&](int i) { return (GetControl(i)->GetHideFlags() & ~(DWORD)cbHideScroll) == 0; };
  int firstShown = -1;
  for (int i = 0; i < n; ++i)
    if (visible(i)) {
      firstShown = i;
      break;
    }
  if (m_nFirstVisible < 0 || m_nFirstVisible >= n) m_nFirstVisible = 0;
  while (m_nFirstVisible < n && !visible(m_nFirstVisible)) ++m_nFirstVisible;
  if (m_nFirstVisible >= n) m_nFirstVisible = firstShown < 0 ? 0 : firstShown;
  const BOOL above = firstShown >= 0 && m_nFirstVisible > firstShown;
  const int top = m_rcBorders.top + (above ? kScrollButton : 0);
  const int bottomAll = nHeight - m_rcBorders.bottom;
  // Try fitting the rest without a lower button; failing that, with one.
  for (int withDown = 0; withDown < 2; ++withDown) {
    const int limit = bottomAll - (withDown ? kScrollButton : 0);
    int y = top, last = -1;
    BOOL fits = TRUE;
    BOOL firstDone = FALSE;
    for (int i = m_nFirstVisible; i < n; ++i) {
      if (!visible(i)) continue;
      int gap = 0;
      if (firstDone) {
        // The separator gap as the full layout left it.
        int prev = last;
        gap = tops[(size_t)i] - (tops[(size_t)prev] + heights[(size_t)prev]);
      }
      if (y + gap + heights[(size_t)i] > limit) {
        fits = FALSE;
        break;
      }
      y += gap;
      last = i;
      y += heights[(size_t)i];
      firstDone = TRUE;
    }
    if (!fits && !withDown) continue;
    // Commit: shift the shown items into place, hide the rest.
    const int shift = top - (m_nFirstVisible < n ? tops[(size_t)m_nFirstVisible] : 0);
    for (int i = 0; i < n; ++i) {
      CCbControl* c = GetControl(i);
      const BOOL shown = i >= m_nFirstVisible && i <= last;
      c->SetHideFlag(cbHideScroll, !shown && visible(i));
      if (shown) {
        CRect rc = c->GetRect();
        rc.OffsetRect(0, tops[(size_t)i] + shift - rc.top);
        c->SetRect(rc);
      }
    }
    m_nLastVisible = last;
    CRect client(0, 0, m_szFull.cx, nHeight);
    m_rcScrollUp = above ? CRect(m_rcBorders.left, m_rcBorders.top, client.right - m_rcBorders.right,
                                 m_rcBorders.top + kScrollButton)
                         : CRect(0, 0, 0, 0);
    m_rcScrollDown = withDown && !fits ? CRect(m_rcBorders.left, bottomAll - kScrollButton,
                                               client.right - m_rcBorders.right, bottomAll)
                                       : CRect(0, 0, 0, 0);
    if (withDown && fits) m_rcScrollDown.SetRectEmpty();
    break;
  }
}

void CCbPopupBar::ScrollBy(int nStep) {
  if (!m_bScroll || !GetSafeHwnd()) return;
  const int n = GetControlCount();
  CRect rc;
  GetClientRect(&rc);
  // Back to the full layout's positions, then shortened again from the new first item.
  for (int i = 0; i < n; ++i) GetControl(i)->SetHideFlag(cbHideScroll, FALSE);
  CalcDynamicLayout(-1, LM_COMMIT);
  int first = m_nFirstVisible;
  for (int k = 0; k < (nStep < 0 ? -nStep : nStep); ++k) {
    int next = m_pControls->GetNext(first, nStep < 0 ? -1 : 1, FALSE);
    if (next < 0 || (nStep < 0 ? next > first : next < first)) break;
    first = next;
  }
  m_nFirstVisible = first;
  LayoutScrolled(rc.Height());
  Invalidate(FALSE);
}

BOOL CCbPopupBar::OnHookMouseWheel(WPARAM wParam, LPARAM) {
  const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
  if (m_bScroll && notches) ScrollBy(-notches);
  return TRUE;
}

BOOL CCbPopupBar::OnMouseWheel(UINT nFlags, short zDelta, CPoint pt) {
  const WPARAM wp = MAKEWPARAM(nFlags, (WORD)zDelta);
  const LPARAM lp = MAKELPARAM(pt.x, pt.y);
  if (!CbKeyboardManager()->ProcessMouseWheel(wp, lp)) DefWindowProc(WM_MOUSEWHEEL, wp, lp);
  return TRUE;
}

BOOL CCbPopupBar::SetSelected(int nSelected, BOOL bKeyboard) {
  CCbControl* c = GetControl(nSelected);
  if (c && m_bScroll && (c->GetHideFlags() & cbHideScroll) && GetSafeHwnd()) {
    CRect rc;
    GetClientRect(&rc);
    for (int i = 0; i < GetControlCount(); ++i) GetControl(i)->SetHideFlag(cbHideScroll, FALSE);
    CalcDynamicLayout(-1, LM_COMMIT);
    if (nSelected < m_nFirstVisible) {
      m_nFirstVisible = nSelected;
      LayoutScrolled(rc.Height());
    } else {
      for (int guard = 0; guard < GetControlCount(); ++guard) {
        LayoutScrolled(rc.Height());
        if (m_nLastVisible >= nSelected || m_nFirstVisible >= nSelected) break;
        for (int i = 0; i < GetControlCount(); ++i) GetControl(i)->SetHideFlag(cbHideScroll, FALSE);
        CalcDynamicLayout(-1, LM_COMMIT);
        const int next = m_pControls->GetNext(m_nFirstVisible, 1, FALSE);
        if (next <= m_nFirstVisible) break;
        m_nFirstVisible = next;
      }
    }
    Invalidate(FALSE);
  }
  // Only the two items change: repainting them, not the whole menu, keeps the arrow keys quick.
  CCbControl* old = GetControl(m_nSelected);
  const CRect rcOld = old ? old->GetRect() : CRect(0, 0, 0, 0);
  ++m_nLockRedraw;
  const BOOL changed = CCbCommandBar::SetSelected(nSelected, bKeyboard);
  --m_nLockRedraw;
  if (m_bRedrawPending && GetSafeHwnd()) {
    m_bRedrawPending = FALSE;
    CCbControl* now = GetControl(m_nSelected);
    if (!rcOld.IsRectEmpty()) InvalidateRect(&rcOld, FALSE);
    if (now && !now->GetRect().IsRectEmpty()) {
      const CRect rc = now->GetRect();
      InvalidateRect(&rc, FALSE);
    }
    if (!old && !now) Invalidate(FALSE);
  }
  return changed;
}

CSize CCbPopupBar::CalcDynamicLayout(int, DWORD) {
  CCbPaintManager* painter = GetPaintManager();
  // Controls that stand for others (the toolbars list) fill themselves in first; from the end,
  // as they insert after themselves.
  for (int i = GetControlCount() - 1; i >= 0; --i) GetControl(i)->OnCalcDynamicSize(LM_HORZ | LM_COMMIT | LM_POPUP);
  const int n = GetControlCount();
  for (int i = 0; i < n; ++i) GetControl(i)->SetHideFlag(cbHideScroll, FALSE);
  // Rarely used items wait for the expansion unless full menus are always shown.
  BOOL anyHidden = FALSE;
  const BOOL full = !m_pCommandBars || m_pCommandBars->GetCommandBarsOptions()->bAlwaysShowFullMenus;
  for (int i = 0; i < n; ++i) {
    CCbControl* c = GetControl(i);
    const BOOL rare = !full && m_pCommandBars->IsControlHidden(c);
    c->SetRarelyUsed(rare);
    if (rare) anyHidden = TRUE;
    c->SetHideFlag(cbHideExpand, rare && !m_bExpanded);
  }
  m_bExpandButton = anyHidden && !m_bExpanded;

  if (m_rcWork.IsRectEmpty()) m_rcWork = workAreaFor(m_rcExclude, m_ptPopup);
  const int maxWidth = std::max<int>(22, m_rcWork.Width() / 3);
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  int separator = 6;
  for (int i = 0; i < n; ++i)
    if (GetControl(i)->IsVisible()) {
      separator = painter->DrawBarSeparator(&dc, this, GetControl(i), FALSE).cy;
      break;
    }
  int y = m_rcBorders.top + m_rcTearOff.Height();
  int widest = 0;
  BOOL first = TRUE;
  std::vector<CSize> sizes((size_t)n);
  for (int i = 0; i < n; ++i) {
    CCbControl* c = GetControl(i);
    if (!c->IsVisible()) continue;
    CCbFontDC font(&dc, painter->GetControlFont(cbBarPopup, c->IsDefaultItem()));
    CSize s = c->GetSize(&dc);
    s.cx = std::min<int>(s.cx, maxWidth);
    sizes[(size_t)i] = s;
    if (c->GetBeginGroup() && !first) y += separator;
    first = FALSE;
    c->SetRect(CRect(m_rcBorders.left, y, m_rcBorders.left + s.cx, y + s.cy));
    c->SetWrap(FALSE);
    y += s.cy;
    widest = std::max<int>(widest, s.cx);
  }
  widest = std::max(widest, 22);
  for (int i = 0; i < n; ++i) {
    CCbControl* c = GetControl(i);
    if (!c->IsVisible()) continue;
    CRect rc = c->GetRect();
    rc.right = rc.left + widest;
    c->SetRect(rc);
    c->SetRowRect(rc);
  }
  if (m_bExpandButton) {
    m_pExpandItem->SetParent(this);
    const int h = painter->DrawSpecialControl(&dc, 1, m_pExpandItem, this, FALSE).cy + 2;
    m_pExpandItem->SetRect(CRect(m_rcBorders.left, y, m_rcBorders.left + widest, y + h));
    y += h;
  } else {
    m_pExpandItem->SetRect(CRect(0, 0, 0, 0));
  }
  if (first && !m_bExpandButton) y += 22;
  m_szFull = CSize(m_rcBorders.left + widest + m_rcBorders.right, y + m_rcBorders.bottom);
  return m_szFull;
}

CSize CCbPopupToolBar::CalcDynamicLayout(int, DWORD) {
  for (int i = 0; i < GetControlCount(); ++i) GetControl(i)->SetHideFlag(cbHideScroll, FALSE);
  m_bExpandButton = FALSE;
  DWORD mode = LM_HORZ | LM_COMMIT | LM_POPUP;
  CRect borders = m_rcBorders;
  borders.top += m_rcTearOff.Height();
  // Rows of about 150 pixels unless the popup was given its own width.
  const int width = m_nMRUWidth < 32767 ? m_nMRUWidth : 150;
  m_szFull = m_pControls->CalcDynamicSize(width, mode, borders);
  m_szFull.cx = std::max<int>(m_szFull.cx, 22 + m_rcBorders.left + m_rcBorders.right);
  m_szFull.cy = std::max<int>(m_szFull.cy, 22 + m_rcBorders.top + m_rcBorders.bottom);
  return m_szFull;
}

void CCbPopupBar::OnControlsChanged() {
  CCbCommandBar::OnControlsChanged();
  if (m_bTracking && GetSafeHwnd() && IsWindowVisible()) OnRecalcLayout();
}

void CCbPopupBar::OnRecalcLayout() {
  if (!GetSafeHwnd() || !m_bTracking) return;
  m_bLayoutPending = FALSE;
  if (!m_bBarePoint) UpdateLocation();
  const CSize sz = CalcDynamicLayout(-1, LM_COMMIT);
  PlacePopup(sz);
  Invalidate(FALSE);
}

BOOL CCbPopupBar::ExpandBar() {
  if (!m_bExpandButton || m_bExpanded) return FALSE;
  CCbRefHolder<CCbCommandBar> hold(this);
  SetSelected(-1);
  m_bExpanded = TRUE;
  CbMouseManager()->SetForceExpanded(TRUE);
  OnRecalcLayout();
  StartAnimation();
  return TRUE;
}

BOOL CCbPopupBar::SetTrackingMode(int nMode, BOOL bSelectFirst, BOOL bKeyboard) {
  if (nMode) return CCbCommandBar::SetTrackingMode(nMode, bSelectFirst, bKeyboard);
  if (!m_bTracking) return FALSE;
  CCbRefHolder<CCbCommandBar> hold(this);
  CCbCommandBar::SetTrackingMode(FALSE, bSelectFirst, bKeyboard);
  if (GetSafeHwnd()) {
    if (IsWindowVisible()) NotifyWinEvent(EVENT_SYSTEM_MENUPOPUPEND, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
    KillTimer(kScrollDownTimer);
    KillTimer(kScrollUpTimer);
    KillTimer(kTearOffTimer);
    if (::AfxGetTrackingGrab() == m_hWnd) {
      auto* parentPopup = dynamic_cast<CCbPopupBar*>(GetParentCommandBar());
      const BOOL parentOpen = parentPopup && parentPopup->IsTrackingMode() && parentPopup->GetSafeHwnd();
      if (!parentOpen || !::AfxSetTrackingGrab(parentPopup->m_hWnd)) ::AfxSetTrackingGrab(nullptr);
    }
    OnPopupHiding();
    DestroyWindow();
  }
  m_bScroll = FALSE;
  m_bExpanded = FALSE;
  m_rcWork.SetRectEmpty();
  m_dwClosedTick = ::GetTickCount();
  CWnd* site = GetSite();
  // The parent bar lets go of its open popup unless it is the one closing it.
  CCbCommandBar* parent = GetParentCommandBar();
  if (parent && m_pControlPopup && parent->GetPopupedIndex() == m_pControlPopup->GetIndex()) {
    parent->SetPopuped(-1);
    if (parent->IsTrackingMode()) parent->SetTrackingMode(TRUE);  // back to plain tracking
    parent->Redraw();
  }
  if (site && site->GetSafeHwnd()) {
    site->UpdateWindow();
    site->SendMessage(WM_BAR_POPUP_CLOSED, 0, (LPARAM)this);
  }
  return TRUE;
}

BOOL CCbPopupBar::OnHookKeyDown(UINT nChar, LPARAM lParam) {
  if (nChar == VK_DOWN && m_bExpandButton && !m_bExpanded) {
    const BOOL ctrl = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
    const int next = m_pControls->GetNext(m_nSelected, 1);
    if (ctrl || (m_nSelected >= 0 && next <= m_nSelected)) {
      ExpandBar();
      if (ctrl) return TRUE;
    }
  }
  return CCbCommandBar::OnHookKeyDown(nChar, lParam);
}

void CCbPopupBar::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  if (rc.IsRectEmpty()) return;
  // Only what was invalidated: moving the selection repaints two items, not the menu.
  CRect clip = dc.m_ps.rcPaint;
  clip &= rc;
  if (clip.IsRectEmpty() || m_bAnimationPending) clip = rc;
  const int kind = m_bAnimationPending ? m_nAnimationKind : 5;
  if (kind >= 2 && kind <= 4) {
    // The finished picture off screen; the painter plays it onto the window.
    CDC mem;
    CBitmap bmp;
    if (mem.CreateCompatibleDC(&dc) && bmp.CreateCompatibleBitmap(&dc, rc.Width(), rc.Height())) {
      CBitmap* old = mem.SelectObject(&bmp);
      DrawCommandBar(&mem, rc);
      GetPaintManager()->AnimatePopup(&dc, &mem, rc, kind);
      mem.SelectObject(old);
      return;
    }
  }
  CCbBufferDC buffer(&dc, clip);
  buffer.IntersectClipRect(&clip);
  DrawCommandBar(&buffer, clip);
}

void CCbPopupBar::DrawCommandBar(CDC* pDC, CRect rcClip) {
  CCbPaintManager* painter = GetPaintManager();
  painter->FillBarBackground(pDC, this);
  BOOL first = TRUE;
  for (int i = 0; i < GetControlCount(); ++i) {
    CCbControl* c = GetControl(i);
    if (!c->IsVisible()) continue;
    CRect area = c->GetRect();
    area.top -= 6;  // its separator
    const BOOL group = c->GetBeginGroup() && !first;
    first = FALSE;
    CRect common;
    if (!common.IntersectRect(&area, &rcClip)) continue;
    if (group) painter->DrawBarSeparator(pDC, this, c, TRUE);
    CCbFontDC font(pDC, painter->GetControlFont(m_barPosition, c->IsDefaultItem()));
    c->Draw(pDC);
  }
  const COLORREF clr = painter->GetColor(COLOR_BTNTEXT);
  for (int k = 0; k < 2; ++k) {
    const CRect rc = k == 0 ? m_rcScrollUp : m_rcScrollDown;
    if (rc.IsRectEmpty()) continue;
    painter->FillSolid(pDC, rc, COLOR_MENU);
    const CPoint c = rc.CenterPoint();
    if (k == 0)
      painter->Triangle(pDC, CPoint(c.x - 4, c.y + 2), CPoint(c.x + 4, c.y + 2), CPoint(c.x, c.y - 2), clr);
    else
      painter->Triangle(pDC, CPoint(c.x - 4, c.y - 2), CPoint(c.x + 4, c.y - 2), CPoint(c.x, c.y + 2), clr);
  }
  if (m_bExpandButton && !m_pExpandItem->GetRect().IsRectEmpty())
    painter->DrawSpecialControl(pDC, 1, m_pExpandItem, this, TRUE);
  if (!m_rcTearOff.IsRectEmpty()) painter->DrawPopupTearOff(pDC, this, m_rcTearOff, FALSE, TRUE);
  m_bAnimationPending = FALSE;
}

int CCbPopupBar::OnMouseHitTest(CPoint ptScreen) { return IsPointInBar(ptScreen) ? HTCLIENT : HTNOWHERE; }

void CCbPopupBar::OnTrackMouseMove(CPoint ptClient) {
  // Outside the popup: an item picked with the mouse lets go, unless its sub-menu is open.
  if (m_nSelected >= 0 && !m_bKeyboardSelect && m_nPopuped < 0) SetSelected(-1);
  (void)ptClient;
}

void CCbPopupBar::OnMouseMove(UINT nFlags, CPoint point) {
  CCbRefHolder<CCbCommandBar> hold(this);
  if (CCbCommandBar* parent = GetParentCommandBar();
      parent && m_pControlPopup && parent->GetSafeHwnd() && parent->GetSelectedIndex() != m_pControlPopup->GetIndex())
    parent->SetSelected(m_pControlPopup->GetIndex(), parent->IsKeyboardSelect());
  if (m_rcScrollUp.PtInRect(point))
    SetTimer(kScrollUpTimer, kScrollDelay, nullptr);
  else
    KillTimer(kScrollUpTimer);
  if (m_rcScrollDown.PtInRect(point))
    SetTimer(kScrollDownTimer, kScrollDelay, nullptr);
  else
    KillTimer(kScrollDownTimer);
  if (!HitTest(point)) {
    // Over no item: a pick with the mouse lets go unless its sub-menu is open.
    if (m_nSelected >= 0 && !m_bKeyboardSelect && m_nPopuped < 0) SetSelected(-1);
    if (!m_bMouseTracked) {
      TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, m_hWnd, 0};
      ::TrackMouseEvent(&tme);
      m_bMouseTracked = TRUE;
    }
    return;
  }
  CCbCommandBar::OnMouseMove(nFlags, point);
}

void CCbPopupBar::OnMouseLeave() {
  m_bMouseTracked = FALSE;
  KillTimer(kScrollUpTimer);
  KillTimer(kScrollDownTimer);
  if (m_nPopuped < 0 && !m_bKeyboardSelect) SetSelected(-1);
}

int CCbPopupBar::OnMouseActivate(CWnd*, UINT, UINT) { return MA_NOACTIVATE; }

void CCbPopupBar::OnLButtonDown(UINT nFlags, CPoint point) {
  if (m_bExpandButton && m_pExpandItem->GetRect().PtInRect(point)) {
    ExpandBar();
    return;
  }
  CCbCommandBar::OnLButtonDown(nFlags, point);
}

void CCbPopupBar::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent == kScrollDownTimer || nIDEvent == kScrollUpTimer) {
    const BOOL down = nIDEvent == kScrollDownTimer;
    if ((down ? m_rcScrollDown : m_rcScrollUp).IsRectEmpty()) {
      KillTimer(nIDEvent);
      return;
    }
    ScrollBy(down ? 1 : -1);
    if ((down ? m_rcScrollDown : m_rcScrollUp).IsRectEmpty()) KillTimer(nIDEvent);
    return;
  }
  if (nIDEvent == kTearOffTimer) {
    KillTimer(kTearOffTimer);
    return;
  }
  CCbCommandBar::OnTimer(nIDEvent);
}

void CCbPopupBar::OnPopupShown(const CRect&) {
  CbShadowsManager()->RemoveShadow(this);  // placed again (expanded): new strips
  if (!m_bShowShadow || m_barPosition != cbBarPopup) return;
  CbShadowsManager()->SetShadow(this, m_bBarePoint ? CRect(0, 0, 0, 0) : m_rcExclude);
  // Placed again while open (expanded): the title's shadow too.
  if (!m_bBarePoint && m_pControlPopup && m_pControlPopup->GetCommandBar() == this && m_pControlPopup->GetParent() &&
      m_pControlPopup->GetParent()->GetType() != 2)
    CbShadowsManager()->SetShadow(m_pControlPopup);
}

void CCbPopupBar::OnPopupHiding() { CbShadowsManager()->RemoveShadow(this); }

// The first paint (and the one after expanding) is played by the painter; a popup hosting a child
// window (an edit or a combo's field) is shown at once.
void CCbPopupBar::StartAnimation() {
  m_bAnimationPending = TRUE;
  CCbCommandBars* bars = GetCommandBars();
  const int option = bars && bars->GetCommandBarsOptions() ? bars->GetCommandBarsOptions()->animationType : 0;
  m_nAnimationKind = GetSafeHwnd() && ::GetWindow(m_hWnd, GW_CHILD) ? 5 : CCbPaintManager::GetAnimationKind(option);
  Invalidate(FALSE);
  // Played now, outside the event loop's paint, so that every step reaches the screen.
  if (m_nAnimationKind >= 2 && m_nAnimationKind <= 4) UpdateWindow();
}
