#include "toolkit/CbControlComboBox.h"

#include "toolkit/CbCommandBars.h"
#include "toolkit/CbDrawHelpers.h"
#include "toolkit/CbMouseManager.h"
#include "toolkit/CbPaintManager.h"
#include "toolkit/CbPopupPlacement.h"
#include "toolkit/CbPropExchange.h"
#include "toolkit/CbShadows.h"

#include "platform/ui/Controls.h"

#include <algorithm>
#include <new>

IMPLEMENT_DYNAMIC(CCbControlComboBoxList, CCbPopupBar)
IMPLEMENT_DYNAMIC(CCbControlComboBoxEditCtrl, CCbEdit)
IMPLEMENT_SERIAL(CCbControlComboBox, CCbControlPopup, VERSIONABLE_SCHEMA | kCbPropSchema)

// ======================================================================================
// The list
// ======================================================================================

BEGIN_MESSAGE_MAP(CCbControlComboBoxList, CCbPopupBar)
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_PAINT()
  ON_WM_MOUSEACTIVATE()
  ON_WM_NCPAINT()
END_MESSAGE_MAP()

CCbControlComboBoxList::CCbControlComboBoxList() {
  m_barPosition = kPositionList;
  CreateListWindow();
}

CCbControlComboBoxList::~CCbControlComboBoxList() {
  if (m_bTracking) SetTrackingMode(FALSE);
  if (GetSafeHwnd()) DestroyWindow();
}

BOOL CCbControlComboBoxList::CreateListWindow() {
  AfxInitControlClasses();
  // A menu-kind window: the frame keeps the focus while the list is open.
  return CWnd::CreateEx(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_STATICEDGE, WC_LISTBOX, "",
                        WS_POPUP | WS_CLIPCHILDREN | WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 0, 0, 100, 100,
                        nullptr, nullptr, nullptr);
}

BOOL CCbControlComboBoxList::OnHookMouseWheel(WPARAM wParam, LPARAM lParam) {
  DefWindowProc(WM_MOUSEWHEEL, wParam, lParam);
  return TRUE;
}

LRESULT CCbControlComboBoxList::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!m_hWnd) return 0;
  return AfxControlDefProc(m_hWnd, message, wParam, lParam);
}

int CCbControlComboBoxList::VisibleRows(int nCount) { return std::clamp(nCount, 1, kMaxRows); }

BOOL CCbControlComboBoxList::Popup(CCbControl* pControl, BOOL) {
  auto* combo = dynamic_cast<CCbControlComboBox*>(pControl);
  if (!combo || !GetSafeHwnd()) return FALSE;
  CCbCommandBar* bar = combo->GetParent();
  if (!bar || !bar->GetSafeHwnd()) return FALSE;
  if (m_bTracking) return TRUE;
  CCbRefHolder<CCbCommandBar> hold(this);
  SendMessage(WM_SETFONT, (WPARAM)combo->GetPaintManager()->GetRegularFont().GetSafeHandle(), FALSE);
  m_pCombo = combo;
  m_pControlPopup = combo;
  if (!m_pCommandBars) m_pCommandBars = bar->GetCommandBars();
  if (CWnd* site = bar->GetSite(); site && site->GetSafeHwnd()) site->SendMessage(WM_BAR_POPUP_INIT, 0, (LPARAM)this);
  if (m_pCombo != combo || !GetSafeHwnd()) return FALSE;  // the site closed it again
  SetTrackingMode(TRUE, FALSE);

  const int rows = VisibleRows(combo->GetCount());
  const int itemHeight = std::max(1, (int)SendMessage(LB_GETITEMHEIGHT, 0, 0));
  const CRect rcControl = combo->GetRect();
  CSize size(m_nListWidth > 0 ? m_nListWidth : rcControl.Width(), itemHeight * rows + 4);
  CRect rcExclude = rcControl;
  bar->ClientToScreen(&rcExclude);
  CB_POPUP_PLACEMENT p;
  p.rcExclude = rcExclude;
  p.ptAnchor = CPoint(rcExclude.left, rcExclude.bottom);
  p.szPopup = size;
  p.bBelow = TRUE;
  const CB_POPUP_PLACED placed = CbPlacePopup(p, CbDrawHelpers()->GetWorkArea(&rcExclude));
  const int sel = combo->GetCurSel();
  if (sel >= 0) SendMessage(LB_SETTOPINDEX, (WPARAM)std::max(0, sel - rows + 1), 0);
  ::SetWindowPos(m_hWnd, HWND_TOPMOST, placed.rcWindow.left, placed.rcWindow.top, placed.rcWindow.Width(),
                 placed.rcWindow.Height(), SWP_NOACTIVATE | SWP_SHOWWINDOW);
  // A drop shadow like a menu's, leaving the combo's field uncovered.
  if (m_bShowShadow) CbShadowsManager()->SetShadow(this, rcExclude);
  EnableWindow(TRUE);
  return TRUE;
}

BOOL CCbControlComboBoxList::SetTrackingMode(int nMode, BOOL, BOOL) {
  if (nMode) {
    // The window stays: the list box is the only store of the items.
    if (!CCbCommandBar::SetTrackingMode(nMode, FALSE)) return FALSE;
    CbMouseManager()->LockMouseMove(m_hWnd);
    return TRUE;
  }
  if (!m_bTracking) return FALSE;
  // Held: closing tells the combo, whose handlers may let the last other reference go.
  CCbRefHolder<CCbCommandBar> hold(this);
  CbMouseManager()->UnlockMouseMove(m_hWnd);
  CCbCommandBar::SetTrackingMode(FALSE);
  CbShadowsManager()->RemoveShadow(this);
  if (GetSafeHwnd()) ShowWindow(SW_HIDE);
  CCbControlComboBox* combo = m_pCombo;
  m_pCombo = nullptr;
  CWnd* site = GetSite();
  CCbCommandBar* parent = GetParentCommandBar();
  if (parent && combo && parent->GetPopupedIndex() == combo->GetIndex()) {
    parent->SetPopuped(-1);
    parent->Redraw();
  } else if (combo && combo->IsOpen()) {
    combo->OnSetPopup(FALSE);
  }
  if (site && site->GetSafeHwnd()) site->SendMessage(WM_BAR_POPUP_CLOSED, 0, (LPARAM)this);
  return TRUE;
}

int CCbControlComboBoxList::OnMouseHitTest(CPoint pt) {
  if (IsPointInBar(pt)) return HTCLIENT;
  // A press on the combo itself is the combo's: it closes the list rather than reopening it.
  if (m_pCombo && m_pCombo->GetParent() && m_pCombo->GetParent()->GetSafeHwnd()) {
    CRect rc = m_pCombo->GetRect();
    m_pCombo->GetParent()->ClientToScreen(&rc);
    if (rc.PtInRect(pt)) return HTCLIENT;
  }
  return HTNOWHERE;
}

BOOL CCbControlComboBoxList::OnHookKeyDown(UINT nChar, LPARAM lParam) {
  if (!m_pCombo) return FALSE;
  CCbRefHolder<CCbCommandBar> hold(this);
  switch (nChar) {
    case VK_ESCAPE:
      // The list was opened from a toolbar: its tracking ends with the list.
      CbMouseManager()->SendTrackLost();
      return TRUE;
    case VK_TAB: return FALSE;
    case VK_RETURN: m_pCombo->OnExecute(); return TRUE;
    default: {
      const int before = m_pCombo->GetCurSel();
      DefWindowProc(WM_KEYDOWN, nChar, lParam);
      if (m_pCombo && m_pCombo->GetCurSel() != before) m_pCombo->UpdateShownText();
      return TRUE;
    }
  }
}

void CCbControlComboBoxList::SelectAt(CPoint point) {
  CRect rc;
  GetClientRect(&rc);
  if (!rc.PtInRect(point)) return;
  const DWORD r = (DWORD)SendMessage(LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
  if (HIWORD(r)) return;  // below the last item
  if ((int)LOWORD(r) != (int)SendMessage(LB_GETCURSEL)) SendMessage(LB_SETCURSEL, LOWORD(r), 0);
}

void CCbControlComboBoxList::OnMouseMove(UINT, CPoint point) {
  if (!m_bTracking) return;
  // The combo stays the selected control of its bar while the pointer is over its list.
  if (CCbCommandBar* parent = GetParentCommandBar();
      parent && m_pCombo && parent->GetSafeHwnd() && parent->GetSelectedIndex() != m_pCombo->GetIndex())
    parent->SetSelected(m_pCombo->GetIndex(), parent->IsKeyboardSelect());
  SelectAt(point);
}

void CCbControlComboBoxList::OnLButtonDown(UINT, CPoint point) {
  CRect rc;
  GetClientRect(&rc);
  if (m_bTracking && rc.PtInRect(point)) SelectAt(point);
}

void CCbControlComboBoxList::OnLButtonUp(UINT, CPoint point) {
  if (!m_bTracking || !m_pCombo) return;
  CRect rc;
  GetClientRect(&rc);
  if (!rc.PtInRect(point)) return;
  const DWORD r = (DWORD)SendMessage(LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
  if (HIWORD(r)) return;
  CCbRefHolder<CCbCommandBar> hold(this);
  SelectAt(point);
  m_pCombo->UpdateShownText();
  if (m_pCombo) m_pCombo->OnExecute();
}

void CCbControlComboBoxList::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  dc.FillSolidRect(&rc, ::GetSysColor(COLOR_WINDOW));
  DefWindowProc(WM_PRINTCLIENT, (WPARAM)dc.GetSafeHdc(), 0);
}

void CCbControlComboBoxList::OnNcPaint() {
  Default();
  CWindowDC dc(this);
  CRect rc;
  GetWindowRect(&rc);
  rc.OffsetRect(-rc.left, -rc.top);
  CCbPaintManager* painter = m_pCombo ? m_pCombo->GetPaintManager() : CbPaintManager();
  CBrush outer(painter->GetColor(43)), inner(::GetSysColor(COLOR_WINDOW));
  dc.FrameRect(&rc, &outer);
  rc.DeflateRect(1, 1);
  dc.FrameRect(&rc, &inner);
}

// ======================================================================================
// The edit window
// ======================================================================================

BEGIN_MESSAGE_MAP(CCbControlComboBoxEditCtrl, CCbEdit)
  ON_WM_SETFOCUS()
  ON_WM_KILLFOCUS()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

BOOL CCbControlComboBoxEditCtrl::IsContextMenuAllowed() const {
  return m_pCombo && m_pCombo->GetParent() &&
         m_pCombo->GetParent()->GetPosition() != CCbControlComboBoxList::kPositionList;
}

CCbCommandBars* CCbControlComboBoxEditCtrl::GetEditCommandBars() const {
  return m_pCombo && m_pCombo->GetParent() ? m_pCombo->GetParent()->GetCommandBars() : nullptr;
}

void CCbControlComboBoxEditCtrl::OnSetFocus(CWnd* pOldWnd) {
  CCbEdit::OnSetFocus(pOldWnd);
  if (m_pCombo) m_pCombo->OnEditSetFocus(pOldWnd);
}

void CCbControlComboBoxEditCtrl::OnKillFocus(CWnd* pNewWnd) {
  CCbEdit::OnKillFocus(pNewWnd);
  if (m_pCombo) m_pCombo->EndEdit();
}

void CCbControlComboBoxEditCtrl::OnDestroy() {
  // The text outlives the window.
  if (m_pCombo) GetWindowText(m_pCombo->m_strEditText);
  CCbEdit::OnDestroy();
}

// ======================================================================================
// The combo box
// ======================================================================================

CCbControlComboBox::CCbControlComboBox() : m_pList(new CCbControlComboBoxList) {
  m_controlType = cbControlComboBox;
  m_editKeys.combo = this;
  SetCommandBar(m_pList);
  m_pList->InternalRelease();  // the popup control's reference is the one left
}

CCbControlComboBox::~CCbControlComboBox() {
  DestroyEditWindow();
  if (m_pList && m_pList->m_pCombo == this) {
    m_pList->m_pCombo = nullptr;
    m_pList->SetTrackingMode(FALSE);
  }
  m_pList = nullptr;
}

LRESULT CCbControlComboBox::SendListMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
  HWND h = GetListHwnd();
  return h ? ::SendMessage(h, message, wParam, lParam) : (LRESULT)LB_ERR;
}

int CCbControlComboBox::GetCount() const {
  const int n = (int)SendListMessage(LB_GETCOUNT);
  return n < 0 ? 0 : n;
}

int CCbControlComboBox::AddString(LPCTSTR lpszText) { return (int)SendListMessage(LB_ADDSTRING, 0, (LPARAM)lpszText); }

void CCbControlComboBox::ResetContent() {
  SendListMessage(LB_RESETCONTENT);
  m_nSavedSel = -1;
}

CString CCbControlComboBox::GetLBText(int nIndex) const {
  CString s;
  const int len = (int)SendListMessage(LB_GETTEXTLEN, (WPARAM)nIndex);
  if (len < 0) return s;
  std::vector<char> buf((size_t)len + 1, 0);
  SendListMessage(LB_GETTEXT, (WPARAM)nIndex, (LPARAM)buf.data());
  s = buf.data();
  return s;
}

void CCbControlComboBox::SetItemData(int nIndex, DWORD_PTR dwData) {
  SendListMessage(LB_SETITEMDATA, (WPARAM)nIndex, (LPARAM)dwData);
}

DWORD_PTR CCbControlComboBox::GetItemData(int nIndex) const {
  const LRESULT r = SendListMessage(LB_GETITEMDATA, (WPARAM)nIndex);
  return r == LB_ERR ? 0 : (DWORD_PTR)r;
}

int CCbControlComboBox::GetCurSel() const {
  if (!GetListHwnd()) return -1;
  return (int)SendListMessage(LB_GETCURSEL);
}

void CCbControlComboBox::SetCurSel(int nIndex) {
  if (nIndex == GetCurSel()) return;
  SendListMessage(LB_SETCURSEL, (WPARAM)nIndex);
  UpdateShownText();
}

CString CCbControlComboBox::GetListBoxText() const {
  const int sel = GetCurSel();
  return sel < 0 ? CString() : GetLBText(sel);
}

int CCbControlComboBox::SelectString(LPCTSTR lpszText, BOOL bExact) {
  const int found = (int)SendListMessage(bExact ? LB_FINDSTRINGEXACT : LB_FINDSTRING, (WPARAM)-1, (LPARAM)lpszText);
  SetCurSel(found < 0 ? -1 : found);
  SetEditText(lpszText);
  return GetCurSel();
}

void CCbControlComboBox::SetEditText(const CString& strText) {
  if (m_pEdit && m_pEdit->GetSafeHwnd()) {
    CString now;
    m_pEdit->GetWindowText(now);
    if (now != strText) m_pEdit->SetWindowText(strText);
  }
  m_strEditText = strText;
  InvalidateParent();
}

CString CCbControlComboBox::GetEditText() const {
  auto* self = const_cast<CCbControlComboBox*>(this);
  if (m_pEdit && m_pEdit->GetSafeHwnd()) m_pEdit->GetWindowText(self->m_strEditText);
  return m_strEditText;
}

void CCbControlComboBox::UpdateShownText() {
  const CString text = GetListBoxText();
  if (m_pEdit && m_pEdit->GetSafeHwnd()) m_pEdit->SetWindowText(text);
  m_strEditText = text;
  InvalidateParent();
}

BOOL CCbControlComboBox::IsListOpen() const {
  return m_pList && m_pList->IsTrackingMode() && m_pList->GetOwnerCombo() == this;
}

BOOL CCbControlComboBox::IsEditFocused() const {
  return m_pEdit && m_pEdit->GetSafeHwnd() && ::GetFocus() == m_pEdit->GetSafeHwnd();
}

void CCbControlComboBox::SetDropDown(BOOL bDropDown) {
  if (bDropDown) {
    if (!m_pEdit) m_pEdit = CreateEditWindow();
    m_bRecreate = TRUE;
  } else {
    DestroyEditWindow();
  }
  DelayLayoutParent();
}

CCbControlComboBoxEditCtrl* CCbControlComboBox::CreateEditWindow() {
  return new (std::nothrow) CCbControlComboBoxEditCtrl(this);
}

void CCbControlComboBox::DestroyEditWindow() {
  if (!m_pEdit) return;
  CCbControlComboBoxEditCtrl* edit = m_pEdit;
  m_pEdit = nullptr;
  if (m_bEditing) {
    m_bEditing = FALSE;
    CbKeyboardManager()->UnhookKeyboard(&m_editKeys);
  }
  if (edit->GetSafeHwnd()) {
    if (::GetFocus() == edit->GetSafeHwnd()) RestoreFocus();
    edit->GetWindowText(m_strEditText);
    edit->Detach();
    edit->DestroyWindow();
  }
  delete edit;
}

BOOL CCbControlComboBox::Compare(const CCbControl* pOther) const {
  auto* o = dynamic_cast<const CCbControlComboBox*>(pOther);
  return o && CCbControl::Compare(pOther) && o->m_nWidth == m_nWidth;
}

void CCbControlComboBox::SetEnabled(BOOL bEnabled) {
  if (m_pEdit && m_pEdit->GetSafeHwnd() && (m_pEdit->IsWindowEnabled() != bEnabled)) {
    if (!bEnabled && IsEditFocused()) RestoreFocus();
    m_pEdit->EnableWindow(bEnabled);
  }
  CCbControl::SetEnabled(bEnabled);
}

void CCbControlComboBox::SetRect(const CRect& rc) {
  CCbCommandBar* bar = m_pParent;
  const BOOL editHere = !m_pEdit || (m_pEdit->GetSafeHwnd() && bar && m_pEdit->GetParent() == bar);
  if (rc == m_rcControl && !m_bRecreate && editHere) return;
  m_rcControl = rc;
  if (m_pEdit && bar && bar->GetSafeHwnd()) {
    if (!m_pEdit->GetSafeHwnd()) {
      if (m_pEdit->Create(WS_CHILD | ES_AUTOHSCROLL, CRect(0, 0, 0, 0), bar, 0)) {
        m_pEdit->SetFont(&GetPaintManager()->GetIconFont(), FALSE);
        if (!m_strEditText.IsEmpty()) m_pEdit->SetWindowText(m_strEditText);
        if (!m_bEnabled) m_pEdit->EnableWindow(FALSE);
      }
    }
    if (m_pEdit->GetSafeHwnd()) {
      if (m_pEdit->GetParent() != bar) m_pEdit->SetParent(bar);
      m_pEdit->SendMessage(EM_SETMARGINS, 0x3, 0);  // both margins 0
      const CRect edit(rc.left + m_nLabelWidth + 4, rc.top + 3, rc.right - m_nDropDownWidth - 3, rc.bottom - 3);
      m_pEdit->MoveWindow(&edit, FALSE);
      m_pEdit->ShowWindow(m_dwHideFlags || rc.IsRectEmpty() ? SW_HIDE : SW_SHOWNA);
    }
  }
  m_bRecreate = FALSE;
}

void CCbControlComboBox::SetHideFlags(DWORD dwFlags) {
  const DWORD old = m_dwHideFlags;
  m_dwHideFlags = dwFlags;
  if (m_pEdit && m_pEdit->GetSafeHwnd()) {
    if (dwFlags && IsEditFocused()) RestoreFocus();
    m_pEdit->SetWindowPos(
        nullptr, 0, 0, 0, 0,
        SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOZORDER | (dwFlags ? SWP_HIDEWINDOW : SWP_SHOWWINDOW));
  }
  if (old != dwFlags) DelayLayoutParent();
}

void CCbControlComboBox::OnExecute() {
  CCbRefHolder<CCbControl> hold(this);
  // Saved first: the pick survives the list's closing.
  m_nSavedSel = GetCurSel();
  m_strSavedText = GetEditText();
  // A pick closes the list before the frame hears of it.
  if (IsListOpen()) CbMouseManager()->SendTrackLost();
  CCbControl::OnExecute();
}

void CCbControlComboBox::OnCalcDynamicSize(DWORD dwMode) {
  const BOOL vertical = m_pParent && CbIsVerticalPosition(m_pParent->GetPosition()) && !(dwMode & LM_HORZ);
  SetHideFlag(cbHideDock, vertical);
}

int CCbControlComboBox::OnHookKeyDown(UINT nChar, LPARAM) {
  if (!m_pEdit || !m_pEdit->GetSafeHwnd()) return 1;
  switch (nChar) {
    case VK_ESCAPE:
      if (!IsEditFocused()) return 0;
      RestoreFocus();
      if (m_pParent && m_pParent->GetSafeHwnd()) {
        m_pParent->Invalidate(FALSE);
        m_pParent->OnIdleUpdateCmdUI(TRUE);
      }
      return 1;
    case VK_F4: OpenList(TRUE); return 1;
    case VK_RETURN:
      // Enter runs the control; typing is over.
      OnClick(TRUE);
      if (IsEditFocused()) RestoreFocus();
      return 1;
    case VK_TAB:
      if (IsEditFocused()) RestoreFocus();
      return 1;
    default: return 2;
  }
}

void CCbControlComboBox::SetParent(CCbCommandBar* pBar) {
  if (pBar == m_pParent) return;
  if (!pBar && m_pEdit && m_pEdit->GetSafeHwnd()) {
    if (IsEditFocused()) RestoreFocus();
    m_pEdit->GetWindowText(m_strEditText);
    CCbControlComboBoxEditCtrl* keep = m_pEdit;
    keep->Detach();
    keep->DestroyWindow();
    delete keep;
    m_pEdit = CreateEditWindow();
    m_bRecreate = TRUE;
  }
  if (IsListOpen()) m_pList->SetTrackingMode(FALSE);
  m_pParent = pBar;
  if (m_pList && pBar && !m_pList->GetCommandBars()) m_pList->SetCommandBars(pBar->GetCommandBars());
  if (pBar && m_pList && m_pList->GetSafeHwnd())
    if (CWnd* site = pBar->GetSite()) m_pList->SetOwner(site);
}

void CCbControlComboBox::Copy(const CCbControl* pControl) {
  CCbControlPopup::Copy(pControl);
  // The copy shares the list.
  if (auto* list = dynamic_cast<CCbControlComboBoxList*>(m_pCommandBar)) m_pList = list;
  auto* o = dynamic_cast<const CCbControlComboBox*>(pControl);
  if (!o) return;
  m_dwComboStyle = o->m_dwComboStyle;
  m_nWidth = o->m_nWidth;
  m_strEditText = o->GetEditText();
  SetDropDown(o->m_pEdit != nullptr);
}

CCbControl* CCbControlComboBox::Clone() const {
  auto* c = new CCbControlComboBox;
  c->Copy(this);
  return c;
}

void CCbControlComboBox::OnSetPopup(BOOL bPopup) {
  CCbRefHolder<CCbControl> hold(this);
  if (bPopup == m_bPopup) return;
  if (bPopup) {
    // Saved at every opening, so a dismissal restores what was shown before.
    m_nSavedSel = GetCurSel();
    m_strSavedText = GetEditText();
    CCbControlPopup::OnSetPopup(TRUE);
  } else {
    CCbControlPopup::OnSetPopup(FALSE);
    // Nothing is sent for a dismissal. A valid saved selection comes back; without one the
    // list is left unselected and the field keeps the text it had, rather than going blank.
    if (m_nSavedSel >= 0 && m_nSavedSel < GetCount()) {
      if (GetCurSel() != m_nSavedSel) SetCurSel(m_nSavedSel);
    } else if (GetCurSel() >= 0) {
      SendListMessage(LB_SETCURSEL, (WPARAM)-1);
      SetEditText(m_strSavedText);
    }
  }
  RedrawParent();
}

void CCbControlComboBox::OpenList(BOOL bKeyboard) {
  if (!m_bEnabled || !m_pParent || !m_pParent->GetSafeHwnd()) return;
  CCbRefHolder<CCbControl> hold(this);
  if (m_bPopup) {
    // A second click on an open combo closes its list.
    m_pParent->SetTrackingMode(FALSE);
    return;
  }
  if (IsEditFocused()) RestoreFocus();
  m_pParent->PopupControl(m_nIndex, bKeyboard);
}

void CCbControlComboBox::OnClick(BOOL bKeyboard, CPoint) {
  if (!m_bEnabled || !m_pParent) return;
  if (bKeyboard && m_pEdit && m_pEdit->GetSafeHwnd()) {
    if (IsEditFocused())
      OnExecute();
    else
      m_pEdit->SetFocus();
    return;
  }
  OpenList(bKeyboard);
}

void CCbControlComboBox::OnMouseHover() {
  if (CbMouseManager()->IsMouseLocked()) return;
  CCbControlPopup::OnMouseHover();
}

BOOL CCbControlComboBox::OnSetSelected(int nState) {
  const BOOL editing = IsEditFocused();
  if (!CCbControlPopup::OnSetSelected(nState)) return FALSE;
  if (!nState && editing && IsEditFocused()) {
    RestoreFocus();
    InvalidateParent();
  }
  return TRUE;
}

void CCbControlComboBox::SetWidth(int nWidth) {
  if (nWidth == m_nWidth) return;
  m_nWidth = nWidth;
  DelayLayoutParent();
}

void CCbControlComboBox::RestoreFocus() {
  HWND back = m_hWndFocusBack;
  m_hWndFocusBack = nullptr;
  if (!back || !::IsWindow(back)) {
    CWnd* site = m_pParent ? m_pParent->GetSite() : nullptr;
    back = site ? site->GetSafeHwnd() : nullptr;
  }
  if (back) ::SetFocus(back);
}

void CCbControlComboBox::OnEditSetFocus(CWnd* pWndOld) {
  if (!m_hWndFocusBack) {
    HWND old = pWndOld ? pWndOld->GetSafeHwnd() : nullptr;
    if (!old || (m_pEdit && old == m_pEdit->GetSafeHwnd())) {
      CWnd* site = m_pParent ? m_pParent->GetSite() : nullptr;
      old = site ? site->GetSafeHwnd() : nullptr;
    }
    m_hWndFocusBack = old;
  }
  if (IsListOpen()) m_pList->SetTrackingMode(FALSE);
  if (m_pParent && m_pParent->GetSafeHwnd()) {
    m_pParent->SetTrackingMode(TRUE, FALSE);
    m_pParent->SetSelected(m_nIndex);
  }
  if (m_pEdit && m_pEdit->GetSafeHwnd()) CbMouseManager()->LockMouseMove(m_pEdit->GetSafeHwnd());
  m_bEditing = TRUE;
  CbKeyboardManager()->HookKeyboard(&m_editKeys);
  // After the click that gave the focus has placed its caret.
  if (m_pEdit && m_pEdit->GetSafeHwnd()) {
    m_pEdit->SetSel(0, -1);
    m_pEdit->PostMessage(EM_SETSEL, 0, -1);
  }
}

void CCbControlComboBox::EndEdit() {
  if (m_pEdit && m_pEdit->GetSafeHwnd()) CbMouseManager()->UnlockMouseMove(m_pEdit->GetSafeHwnd());
  if (m_bEditing) {
    m_bEditing = FALSE;
    CbKeyboardManager()->UnhookKeyboard(&m_editKeys);
  }
  m_hWndFocusBack = nullptr;
  CCbRefHolder<CCbControl> hold(this);
  if (m_pParent && m_pParent->GetSafeHwnd() && m_pParent->IsTrackingMode()) m_pParent->SetTrackingMode(FALSE);
  InvalidateParent();
}

int CCbControlComboBox::EditKeys::OnHookMessage(HWND, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT&) {
  if (nMessage != WM_KEYDOWN || !combo) return 0;
  CCbRefHolder<CCbControl> hold(combo);
  return combo->OnHookKeyDown((UINT)wParam, lParam);
}
