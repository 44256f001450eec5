#include "platform/ui/PropSheet.h"

#include "platform/ui/Accessible.h"

#include "platform/ui/CtlInternal.h"
#include "platform/ui/UiInternal.h"
#include "platform/ui/UiResources.h"
#include "platform/ui/WinApp.h"

#include <QFontMetrics>

#include <algorithm>

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)
IMPLEMENT_DYNAMIC(CPropertySheet, CWnd)

namespace {

bool tabStop(HWND h) {
  return h && ::IsWindowVisible(h) && ::IsWindowEnabled(h) && (::GetWindowLong(h, GWL_STYLE) & WS_TABSTOP);
}

HWND topOf(HWND h) {
  while (h && (::GetWindowLong(h, GWL_STYLE) & WS_CHILD)) h = ::GetParent(h);
  return h;
}

}  // namespace

// ======================================================================================
// CPropertyPage
// ======================================================================================
CPropertyPage::CPropertyPage() { m_psp.dwSize = sizeof(PROPSHEETPAGE); }

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption) : CDialog(nIDTemplate, nullptr) {
  m_psp.dwSize = sizeof(PROPSHEETPAGE);
  if (nIDCaption) AfxLoadString(nIDCaption, m_strCaption);
}

CPropertyPage::~CPropertyPage() {
  if (m_pSheet) {
    auto& v = m_pSheet->m_pages;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
  }
}

CString CPropertyPage::GetTitle() const {
  if ((m_psp.dwFlags & PSP_USETITLE) && m_psp.pszTitle) return m_psp.pszTitle;
  if (!m_strCaption.IsEmpty()) return m_strCaption;
  const AFX_DLGTEMPLATE* t = AfxFindDialogTemplate(m_nIDTemplate);
  return t && t->lpszCaption ? CString(t->lpszCaption) : CString();
}

BOOL CPropertyPage::CreatePage(CPropertySheet* pSheet) {
  const AFX_DLGTEMPLATE* t = AfxFindDialogTemplate(m_nIDTemplate);
  if (!t) return FALSE;
  // The template as a child of the sheet, placed by the sheet.
  m_childTemplate = *t;
  m_childTemplate.x = m_childTemplate.y = 0;
  m_childTemplate.dwStyle =
      (t->dwStyle & ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | WS_THICKFRAME | DS_MODALFRAME | DS_CENTER)) |
      WS_CHILD | DS_CONTROL | DS_ABSALIGN;
  m_pSheet = pSheet;
  m_pParentWnd = pSheet;
  m_bFirstSetActive = TRUE;
  return CreateFromTemplate(&m_childTemplate, pSheet, FALSE);
}

BOOL CPropertyPage::OnSetActive() {
  // The first time the controls were just filled by OnInitDialog.
  if (m_bFirstSetActive)
    m_bFirstSetActive = FALSE;
  else
    UpdateData(FALSE);
  return TRUE;
}

BOOL CPropertyPage::OnKillActive() { return UpdateData(TRUE); }

BOOL CPropertyPage::OnApply() {
  OnOK();
  m_bModified = FALSE;
  return TRUE;
}

void CPropertyPage::OnReset() { OnCancel(); }

void CPropertyPage::SetModified(BOOL bChanged) {
  m_bModified = bChanged;
  if (m_pSheet) m_pSheet->UpdateApply();
}

BOOL CPropertyPage::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (CWnd::OnCommand(wParam, lParam)) return TRUE;
  UINT id = LOWORD(wParam);
  if ((id == IDOK || id == IDCANCEL) && m_pSheet && m_pSheet->m_hWnd) {
    m_pSheet->PressButton(id == IDOK ? PSBTN_OK : PSBTN_CANCEL);
    return TRUE;
  }
  return FALSE;
}

// ======================================================================================
// CPropertySheet
// ======================================================================================
CPropertySheet::CPropertySheet() { m_psh.dwSize = sizeof(PROPSHEETHEADER); }

CPropertySheet::CPropertySheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage) : CPropertySheet() {
  AfxLoadString(nIDCaption, m_strCaption);
  m_pParentWnd = pParentWnd;
  m_psh.nStartPage = iSelectPage;
}

CPropertySheet::CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage) : CPropertySheet() {
  m_strCaption = pszCaption ? pszCaption : "";
  m_pParentWnd = pParentWnd;
  m_psh.nStartPage = iSelectPage;
}

CPropertySheet::~CPropertySheet() {
  for (CPropertyPage* p : m_pages) {
    if (p->m_hWnd) p->DestroyWindow();
    p->m_pSheet = nullptr;
  }
  if (m_hWnd) DestroyWindow();
}

void CPropertySheet::AddPage(CPropertyPage* pPage) {
  if (!pPage || GetPageIndex(pPage) >= 0) return;
  pPage->m_pSheet = this;
  m_pages.push_back(pPage);
  if (m_hWnd) {
    Layout();
    Invalidate();
  }
}

void CPropertySheet::RemovePage(int nPage) {
  if (nPage < 0 || nPage >= GetPageCount()) return;
  CPropertyPage* p = m_pages[nPage];
  bool wasActive = nPage == m_nActive;
  if (p->m_hWnd) p->DestroyWindow();
  p->m_pSheet = nullptr;
  m_pages.erase(m_pages.begin() + nPage);
  if (m_nActive > nPage) --m_nActive;
  if (wasActive) {
    m_nActive = -1;
    if (m_hWnd && !m_pages.empty()) ShowPage(std::min(nPage, GetPageCount() - 1));
  }
  if (m_hWnd) {
    Layout();
    Invalidate();
  }
}

void CPropertySheet::RemovePage(CPropertyPage* pPage) { RemovePage(GetPageIndex(pPage)); }

CPropertyPage* CPropertySheet::GetPage(int nPage) const {
  return nPage >= 0 && nPage < GetPageCount() ? m_pages[nPage] : nullptr;
}

CPropertyPage* CPropertySheet::GetActivePage() const {
  if (m_hWnd) return GetPage(m_nActive);
  return GetPage((int)m_psh.nStartPage);
}

int CPropertySheet::GetActiveIndex() const { return m_hWnd ? m_nActive : (int)m_psh.nStartPage; }

int CPropertySheet::GetPageIndex(CPropertyPage* pPage) const {
  auto it = std::find(m_pages.begin(), m_pages.end(), pPage);
  return it == m_pages.end() ? -1 : (int)(it - m_pages.begin());
}

void CPropertySheet::SetTitle(LPCTSTR lpszText, UINT nStyle) {
  m_strCaption = lpszText ? lpszText : "";
  if (nStyle & PSH_PROPTITLE) m_strCaption = "Properties for " + m_strCaption;
  if (m_hWnd) SetWindowText(m_strCaption);
}

BOOL CPropertySheet::ShowPage(int nPage) {
  CPropertyPage* p = GetPage(nPage);
  if (!p) return FALSE;
  if (!p->m_hWnd && !p->CreatePage(this)) return FALSE;
  p->MoveWindow(&m_rcPage);
  if (!p->OnSetActive()) return FALSE;
  CPropertyPage* old = GetPage(m_nActive);
  if (old && old != p && old->m_hWnd) old->ShowWindow(SW_HIDE);
  p->ShowWindow(SW_SHOW);
  m_nActive = nPage;
  Invalidate();
  // The focus goes to the page's first tab stop.
  if (AfxWndRec* r = AfxRec(p->m_hWnd))
    for (HWND c : r->children)
      if (tabStop(c)) {
        ::SetFocus(c);
        break;
      }
  return TRUE;
}

BOOL CPropertySheet::SetActivePage(int nPage) {
  if (nPage < 0 || nPage >= GetPageCount()) return FALSE;
  if (!m_hWnd) {
    m_psh.nStartPage = (UINT)nPage;
    return TRUE;
  }
  if (nPage == m_nActive) return TRUE;
  CPropertyPage* cur = GetPage(m_nActive);
  // A page that does not let go stays shown.
  if (cur && cur->m_hWnd && !cur->OnKillActive()) return FALSE;
  if (ShowPage(nPage)) return TRUE;
  if (cur && cur->m_hWnd) cur->OnSetActive();
  return FALSE;
}

void CPropertySheet::EndDialog(int nEndID) {
  m_nResult = nEndID;
  m_bEnded = TRUE;
}

BOOL CPropertySheet::Apply() {
  CPropertyPage* cur = GetPage(m_nActive);
  if (cur && cur->m_hWnd && !cur->OnKillActive()) return FALSE;
  for (int i = 0; i < GetPageCount(); ++i) {
    CPropertyPage* p = m_pages[i];
    if (!p->m_hWnd) continue;
    if (!p->OnApply()) {
      if (i != m_nActive) ShowPage(i);
      return FALSE;
    }
  }
  UpdateApply();
  return TRUE;
}

BOOL CPropertySheet::PressButton(int nButton) {
  if (!m_hWnd) return FALSE;
  switch (nButton) {
    case PSBTN_OK:
      if (!Apply()) return FALSE;
      EndDialog(IDOK);
      return TRUE;
    case PSBTN_APPLYNOW:
      if (m_psh.dwFlags & PSH_NOAPPLYNOW) return FALSE;
      return Apply();
    case PSBTN_CANCEL: {
      CPropertyPage* cur = GetPage(m_nActive);
      if (cur && cur->m_hWnd && !cur->OnQueryCancel()) return FALSE;
      for (CPropertyPage* p : m_pages)
        if (p->m_hWnd) p->OnReset();
      EndDialog(IDCANCEL);
      return TRUE;
    }
  }
  return FALSE;
}

void CPropertySheet::UpdateApply() {
  if (!m_hWnd) return;
  HWND apply = ::GetDlgItem(m_hWnd, ID_APPLY_NOW);
  if (!apply) return;
  bool any = false;
  for (CPropertyPage* p : m_pages) any = any || p->m_bModified;
  ::EnableWindow(apply, any);
}

BOOL CPropertySheet::GetTabRect(int nPage, LPRECT lpRect) const {
  if (!lpRect || nPage < 0 || nPage >= (int)m_tabs.size()) return FALSE;
  *lpRect = m_tabs[nPage];
  return TRUE;
}

namespace {

// Dialog units of a template's font, as the dialogs compute them.
void dialogUnits(const AFX_DLGTEMPLATE* t, CFont& font, int* bx, int* by) {
  font.DeleteObject();
  font.CreatePointFont(std::max(1, t && t->nPointSize ? t->nPointSize : 8) * 10,
                       t && t->lpszFont ? t->lpszFont : "MS Shell Dlg");
  *bx = 6;
  *by = 13;
  if (auto* fd = static_cast<AfxFontData*>(AfxGdi(font.GetSafeHandle()))) {
    QFontMetrics fm(fd->qfont);
    int w = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    *bx = std::max(1, (w / 26 + 1) / 2);
    *by = std::max(1, fm.height());
  }
}

}  // namespace

INT_PTR CPropertySheet::DoModal() {
  AfxWinInit(0, nullptr);
  AfxInitControlClasses();
  if (m_pages.empty() || m_hWnd) return -1;
  int start = std::clamp((int)m_psh.nStartPage, 0, GetPageCount() - 1);

  // Size: the largest page, the tab row above it, the buttons below.
  CFont font;
  int bx = 6, by = 13;
  dialogUnits(AfxFindDialogTemplate(m_pages[start]->m_nIDTemplate), font, &bx, &by);
  auto dlu = [&](int x, int y) { return CSize(MulDiv(x, bx, 4), MulDiv(y, by, 8)); };
  CSize page(0, 0);
  for (CPropertyPage* p : m_pages)
    if (const AFX_DLGTEMPLATE* t = AfxFindDialogTemplate(p->m_nIDTemplate)) {
      CSize s = dlu(t->cx, t->cy);
      page.cx = std::max(page.cx, s.cx);
      page.cy = std::max(page.cy, s.cy);
    }
  CSize margin = dlu(7, 7), button = dlu(50, 14), gap = dlu(4, 4);
  m_tabHeight = by + 8;
  bool apply = !(m_psh.dwFlags & PSH_NOAPPLYNOW);
  int nButtons = apply ? 3 : 2;
  int frameW = std::max<int>(page.cx + 8, nButtons * button.cx + (nButtons - 1) * gap.cx - margin.cx);
  CRect frame(margin.cx, margin.cy + m_tabHeight, margin.cx + frameW, margin.cy + m_tabHeight + page.cy + 8);
  m_rcPage = CRect(frame.left + 4, frame.top + 4, frame.left + 4 + page.cx, frame.top + 4 + page.cy);
  int clientW = frame.right + margin.cx;
  int clientH = frame.bottom + margin.cy + button.cy + margin.cy;

  CWnd* parent = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
  HWND top = parent ? GetAncestor(parent->GetSafeHwnd(), GA_ROOT) : nullptr;
  LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW), (HBRUSH)(COLOR_3DFACE + 1));
  CString caption = m_psh.pszCaption ? CString(m_psh.pszCaption) : m_strCaption;
  if (!CWnd::CreateEx(WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME, cls, caption, WS_CAPTION | WS_SYSMENU, 0, 0, clientW,
                      clientH, top, nullptr))
    return -1;
  SendMessage(WM_SETFONT, (WPARAM)font.GetSafeHandle(), FALSE);
  m_bEnded = FALSE;
  m_nResult = IDCANCEL;
  m_nActive = -1;
  // OK, Cancel and Apply at the bottom right.
  struct B {
    UINT id;
    const char* text;
    DWORD style;
  } buttons[] = {
      {IDOK, "OK", BS_DEFPUSHBUTTON}, {IDCANCEL, "Cancel", BS_PUSHBUTTON}, {ID_APPLY_NOW, "&Apply", BS_PUSHBUTTON}};
  int x = frame.right - nButtons * button.cx - (nButtons - 1) * gap.cx;
  for (int i = 0; i < nButtons; ++i) {
    CRect r(x, frame.bottom + margin.cy, x + button.cx, frame.bottom + margin.cy + button.cy);
    CWnd* b = AfxCreateControl(WC_BUTTON, buttons[i].text, buttons[i].style | WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, r,
                               this, buttons[i].id);
    if (b) b->SendMessage(WM_SETFONT, (WPARAM)font.GetSafeHandle(), FALSE);
    x += button.cx + gap.cx;
  }
  Layout();
  UpdateApply();
  CenterWindow(parent);
  bool reenable = top && ::IsWindowEnabled(top);
  if (reenable) ::EnableWindow(top, FALSE);
  ShowWindow(SW_SHOW);
  if (!ShowPage(start)) {
    for (int i = 0; i < GetPageCount() && m_nActive < 0; ++i)
      if (i != start) ShowPage(i);
  }
  if (m_nActive >= 0 && !m_bEnded) AfxRunModalLoop([this] { return !m_bEnded && m_hWnd != nullptr; });
  if (reenable && ::IsWindow(top)) ::EnableWindow(top, TRUE);
  m_psh.nStartPage = (UINT)std::max(0, m_nActive);
  for (CPropertyPage* p : m_pages)
    if (p->m_hWnd) p->DestroyWindow();
  m_nActive = -1;
  if (m_hWnd) DestroyWindow();
  if (reenable && ::IsWindow(top)) ::SetActiveWindow(top);
  return m_bEnded ? m_nResult : IDCANCEL;
}

void CPropertySheet::Layout() {
  m_tabs.clear();
  if (!m_hWnd) return;
  CClientDC dc(this);
  CFont* old = dc.SelectObject(GetFont());
  int x = m_rcPage.left - 4, top = m_rcPage.top - 4 - m_tabHeight;
  int room = m_rcPage.Width() + 8;
  std::vector<int> widths;
  int total = 0;
  for (CPropertyPage* p : m_pages) {
    int w = dc.GetTextExtent(p->GetTitle()).cx + 16;
    widths.push_back(w);
    total += w;
  }
  // Tabs that do not fit share the row.
  if (total > room && total > 0)
    for (int& w : widths) w = std::max(24, w * room / total);
  for (int w : widths) {
    m_tabs.emplace_back(x, top + 2, x + w, top + m_tabHeight);
    x += w;
  }
  dc.SelectObject(old);
}

void CPropertySheet::Paint() {
  CPaintDC dc(this);
  COLORREF face = GetSysColor(COLOR_3DFACE), hi = GetSysColor(COLOR_3DHILIGHT), sh = GetSysColor(COLOR_3DSHADOW),
           dk = GetSysColor(COLOR_3DDKSHADOW);
  CRect frame = m_rcPage;
  frame.InflateRect(4, 4);
  dc.Draw3dRect(&frame, hi, dk);
  CRect inner = frame;
  inner.DeflateRect(1, 1);
  dc.Draw3dRect(&inner, face, sh);
  CFont* old = dc.SelectObject(GetFont());
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(GetSysColor(COLOR_BTNTEXT));
  for (int i = 0; i < (int)m_tabs.size(); ++i) {
    CRect t = m_tabs[i];
    bool sel = i == m_nActive;
    // The chosen tab stands out and joins the page below it.
    if (sel) t.InflateRect(2, 2, 2, 1);
    dc.FillSolidRect(&t, face);
    dc.FillSolidRect(t.left, t.top + 2, 1, t.Height() - 2, hi);
    dc.FillSolidRect(t.left + 2, t.top, t.Width() - 4, 1, hi);
    dc.FillSolidRect(t.left + 1, t.top + 1, 1, 1, hi);
    dc.FillSolidRect(t.right - 1, t.top + 2, 1, t.Height() - 2, dk);
    dc.FillSolidRect(t.right - 2, t.top + 1, 1, 1, dk);
    dc.FillSolidRect(t.right - 2, t.top + 2, 1, t.Height() - 2, sh);
    if (sel) dc.FillSolidRect(t.left + 1, frame.top, t.Width() - 3, 2, face);
    CString title = m_pages[i]->GetTitle();
    CRect tr = t;
    tr.DeflateRect(2, sel ? 1 : 2, 2, 0);
    dc.DrawText(title, &tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
  }
  dc.SelectObject(old);
}

void CPropertySheet::MoveFocus(bool backwards) {
  std::vector<HWND> order;
  if (CPropertyPage* p = GetPage(m_nActive))
    if (AfxWndRec* r = AfxRec(p->m_hWnd))
      for (HWND c : r->children)
        if (tabStop(c)) order.push_back(c);
  for (int id : {(int)IDOK, (int)IDCANCEL, (int)ID_APPLY_NOW})
    if (HWND b = ::GetDlgItem(m_hWnd, id); tabStop(b)) order.push_back(b);
  if (order.empty()) return;
  HWND focus = ::GetFocus();
  auto it = std::find(order.begin(), order.end(), focus);
  size_t n = order.size(), i = it == order.end() ? (backwards ? 0 : n - 1) : (size_t)(it - order.begin());
  HWND next = order[backwards ? (i + n - 1) % n : (i + 1) % n];
  ::SetFocus(next);
  if (AfxCtlKindOf(next) == AfxCtlKind::Edit) ::SendMessage(next, EM_SETSEL, 0, -1);
}

BOOL CPropertySheet::PreTranslateMessage(MSG* pMsg) {
  // Alt with a marked letter works on the page shown.
  if (m_hWnd && pMsg->message == WM_SYSKEYDOWN && topOf(pMsg->hwnd) == m_hWnd && (GetKeyState(VK_MENU) & 0x8000)) {
    CPropertyPage* page = GetActivePage();
    if (page && page->m_hWnd && page->HandleMnemonic((UINT)pMsg->wParam)) return TRUE;
  }
  if (!m_hWnd || pMsg->message != WM_KEYDOWN || topOf(pMsg->hwnd) != m_hWnd) return CWnd::PreTranslateMessage(pMsg);
  bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0, shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
  UINT vk = (UINT)pMsg->wParam;
  // Ctrl+Tab and Ctrl+Page Down go to the next page, with Shift or Page Up to the previous.
  if (ctrl && (vk == VK_TAB || vk == VK_NEXT || vk == VK_PRIOR) && GetPageCount() > 1) {
    bool back = vk == VK_PRIOR || (vk == VK_TAB && shift);
    int n = GetPageCount();
    SetActivePage(((m_nActive < 0 ? 0 : m_nActive) + (back ? n - 1 : 1)) % n);
    return TRUE;
  }
  HWND focus = ::GetFocus();
  UINT code =
      focus && ::IsChild(m_hWnd, focus) ? (UINT)::SendMessage(focus, WM_GETDLGCODE, pMsg->wParam, (LPARAM)pMsg) : 0;
  if (code & DLGC_WANTALLKEYS) return FALSE;
  switch (vk) {
    case VK_TAB:
      if (code & DLGC_WANTTAB) return FALSE;
      MoveFocus(shift);
      return TRUE;
    case VK_RETURN:
      if (focus && (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
        ::SendMessage(focus, BM_CLICK, 0, 0);
        return TRUE;
      }
      PressButton(PSBTN_OK);
      return TRUE;
    case VK_ESCAPE: PressButton(PSBTN_CANCEL); return TRUE;
    case VK_DOWN:
    case VK_RIGHT:
    case VK_UP:
    case VK_LEFT: {
      CPropertyPage* page = GetActivePage();
      if (!focus || (code & DLGC_WANTARROWS) || !page || !page->m_hWnd) return FALSE;
      return page->MoveInGroup(focus, vk == VK_UP || vk == VK_LEFT);
    }
  }
  return FALSE;
}

BOOL CPropertySheet::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (CWnd::OnCommand(wParam, lParam)) return TRUE;
  switch (LOWORD(wParam)) {
    case IDOK: PressButton(PSBTN_OK); return TRUE;
    case IDCANCEL: PressButton(PSBTN_CANCEL); return TRUE;
    case ID_APPLY_NOW: PressButton(PSBTN_APPLYNOW); return TRUE;
  }
  return FALSE;
}

LRESULT CPropertySheet::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETOBJECT:
      // A screen reader reads the drawn tabs as the sheet's page tabs.
      if ((LONG)lParam == OBJID_AFXQUERY && wParam) return AnswerAccessibility((AFXACCQUERY*)wParam);
      break;
    case WM_PAINT:
      if (!FindMessageEntry(WM_PAINT, 0, 0)) {
        Paint();
        return 0;
      }
      break;
    case WM_LBUTTONDOWN: {
      CPoint pt(lParam);
      for (int i = 0; i < (int)m_tabs.size(); ++i)
        if (m_tabs[i].PtInRect(pt)) {
          SetActivePage(i);
          return 0;
        }
      break;
    }
    case WM_CLOSE: PressButton(PSBTN_CANCEL); return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: {
      LRESULT r = 0;
      if (OnWndMsg(message, wParam, lParam, &r) && r) return r;
      return (LRESULT)GetSysColorBrush(COLOR_3DFACE);
    }
  }
  return CWnd::WindowProc(message, wParam, lParam);
}

BOOL CPropertySheet::AnswerAccessibility(AFXACCQUERY* q) {
  const int n = GetPageCount(), i = q->nChild - 1;
  switch (q->nAsk) {
    case AFXACC_COUNT: q->nCount = n; return TRUE;
    case AFXACC_DESCRIBE:
      if (q->nChild == CHILDID_SELF || i >= n) return FALSE;
      q->info.nRole = ROLE_SYSTEM_PAGETAB;
      q->info.strName = AfxAccStripMnemonic(GetPage(i)->GetTitle());
      q->info.dwState = STATE_SYSTEM_SELECTABLE | (GetActiveIndex() == i ? STATE_SYSTEM_SELECTED : 0);
      q->info.strActions = "Press";
      if (i < (int)m_tabs.size()) q->info.rect = m_tabs[(size_t)i];
      return TRUE;
    case AFXACC_ACTION:
      if (i < 0 || i >= n || q->strAction != "Press") return FALSE;
      SetActivePage(i);
      return TRUE;
    default: return FALSE;
  }
}
