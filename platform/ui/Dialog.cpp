#include "platform/ui/Dialog.h"

#include "platform/core/AfxLocale.h"
#include "platform/core/AfxUserNumber.h"
#include "platform/ui/UiResources.h"

#include "platform/ui/CtlInternal.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/WinApp.h"

#include <QFontMetrics>

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>

namespace {

std::map<UINT, const AFX_DLGTEMPLATE*>& templates() {
  static std::map<UINT, const AFX_DLGTEMPLATE*> m;
  return m;
}

// Thrown by CDataExchange::Fail and caught by UpdateData.
struct DdxFailure {};

bool focusable(HWND h) {
  DWORD s = AfxCtlStyle(h);
  return (s & WS_TABSTOP) && (s & WS_VISIBLE) && ::IsWindowEnabled(h);
}

HWND dialogOf(HWND h) {
  while (h && (AfxCtlStyle(h) & WS_CHILD)) h = ::GetParent(h);
  return h;
}

// The controls of the group hWnd belongs to: from the last WS_GROUP at or before it up to
// the next WS_GROUP, in the dialog's order.
std::vector<HWND> groupOf(const std::vector<HWND>& kids, HWND hWnd) {
  auto at = std::find(kids.begin(), kids.end(), hWnd);
  if (at == kids.end()) return {};
  auto first = at;
  while (first != kids.begin() && !(AfxCtlStyle(*first) & WS_GROUP)) --first;
  auto last = at + 1;
  while (last != kids.end() && !(AfxCtlStyle(*last) & WS_GROUP)) ++last;
  return std::vector<HWND>(first, last);
}

bool isRadio(HWND h) {
  if (AfxCtlKindOf(h) != AfxCtlKind::Button) return false;
  UINT t = AfxCtlStyle(h) & BS_TYPEMASK;
  return t == BS_RADIOBUTTON || t == BS_AUTORADIOBUTTON;
}

// The key a control's text marks with '&' ("&&" is a plain '&'), upper case; 0 for none.
UINT mnemonicOf(HWND h) {
  DWORD style = AfxCtlStyle(h);
  AfxCtlKind kind = AfxCtlKindOf(h);
  if (kind == AfxCtlKind::Static) {
    UINT type = style & SS_TYPEMASK;
    if ((style & SS_NOPREFIX) || type == SS_ICON || type == SS_BITMAP || type >= SS_OWNERDRAW) return 0;
  } else if (kind != AfxCtlKind::Button || (style & BS_TYPEMASK) == BS_OWNERDRAW) {
    return 0;
  }
  QString t = AfxCtlText(h);
  for (int i = 0; i + 1 < t.size(); ++i) {
    if (t[i] != QLatin1Char('&')) continue;
    if (t[i + 1] == QLatin1Char('&')) {
      ++i;
      continue;
    }
    return t[i + 1].toUpper().unicode();
  }
  return 0;
}

}  // namespace

void AfxRegisterDialogTemplate(const AFX_DLGTEMPLATE* p) {
  if (p) templates()[p->nID] = p;
}

const AFX_DLGTEMPLATE* AfxFindDialogTemplate(UINT nID) {
  AfxEnsureUiResources();  // templates in resource scripts are compiled on first use
  auto it = templates().find(nID);
  return it == templates().end() ? nullptr : it->second;
}

// ======================================================================================
// CDialog
// ======================================================================================
IMPLEMENT_DYNAMIC(CDialog, CWnd)

CDialog::CDialog() = default;
CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}
CDialog::~CDialog() {
  if (m_hWnd) DestroyWindow();
}

BOOL CDialog::CreateFromTemplate(const AFX_DLGTEMPLATE* t, CWnd* pParentWnd, BOOL bModal) {
  if (!t || m_hWnd) return FALSE;
  AfxWinInit(0, nullptr);
  AfxInitControlClasses();
  m_bModal = bModal;
  m_bEnded = FALSE;
  m_nResult = -1;
  m_nDefID = IDOK;
  // The dialog font and its units: the average width of the letters and the line height.
  m_font.DeleteObject();
  m_font.CreatePointFont(std::max(1, t->nPointSize ? t->nPointSize : 8) * 10,
                         t->lpszFont ? t->lpszFont : "MS Shell Dlg");
  if (auto* fd = static_cast<AfxFontData*>(AfxGdi(m_font.GetSafeHandle()))) {
    QFontMetrics fm(fd->qfont);
    int w = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseX = std::max(1, (w / 26 + 1) / 2);
    m_baseY = std::max(1, fm.height());
  }
  CRect rc(t->x, t->y, t->x + t->cx, t->y + t->cy);
  MapDialogRect(&rc);
  DWORD style = t->dwStyle & ~WS_VISIBLE;
  // A captioned dialog is a window of the desktop with its own title bar; the layer gives one
  // to top-level windows that are not popups.
  if ((style & WS_CAPTION) == WS_CAPTION && !(style & WS_CHILD))
    style &= ~WS_POPUP;
  else if (!(style & WS_CHILD))
    style |= WS_POPUP;
  HWND owner = pParentWnd ? pParentWnd->GetSafeHwnd() : (AfxGetMainWnd() ? AfxGetMainWnd()->GetSafeHwnd() : nullptr);
  LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW), (HBRUSH)(COLOR_3DFACE + 1));
  if (!CWnd::CreateEx(WS_EX_CONTROLPARENT | ((t->dwStyle & DS_MODALFRAME) ? WS_EX_DLGMODALFRAME : 0), cls,
                      t->lpszCaption, style, rc.left, rc.top, rc.Width(), rc.Height(), owner, nullptr))
    return FALSE;
  SendMessage(WM_SETFONT, (WPARAM)m_font.GetSafeHandle(), FALSE);
  for (int i = 0; i < t->nItems; ++i) {
    const AFX_DLGITEM& it = t->pItems[i];
    CRect r(it.x, it.y, it.x + it.cx, it.y + it.cy);
    MapDialogRect(&r);
    DWORD s = it.dwStyle | WS_CHILD | ((it.dwExStyle & AFX_DLGITEM_HIDDEN) ? 0 : WS_VISIBLE);
    CWnd* c = AfxCreateControl(it.lpszClass, it.lpszText ? it.lpszText : "", s, it.dwExStyle & ~AFX_DLGITEM_HIDDEN, r,
                               this, it.nID);
    if (c) c->SendMessage(WM_SETFONT, (WPARAM)m_font.GetSafeHandle(), FALSE);
    if (c && (it.dwStyle & BS_TYPEMASK) == BS_DEFPUSHBUTTON && AfxCtlKindOf(c->m_hWnd) == AfxCtlKind::Button)
      m_nDefID = it.nID;
  }
  if (t->dwStyle & DS_CENTER || !(t->dwStyle & DS_ABSALIGN)) CenterWindow(pParentWnd);
  // The first tab stop gets the focus unless OnInitDialog put it elsewhere and said so.
  HWND first = nullptr;
  if (AfxWndRec* r = AfxRec(m_hWnd))
    for (HWND c : r->children)
      if (focusable(c)) {
        first = c;
        break;
      }
  BOOL setFocus = (BOOL)SendMessage(WM_INITDIALOG, (WPARAM)first, 0);
  if (!m_hWnd) return FALSE;
  if (t->dwStyle & WS_VISIBLE || bModal) ShowWindow(SW_SHOW);
  if (setFocus && first && ::IsWindow(first)) ::SetFocus(first);
  return TRUE;
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      if (!FindMessageEntry(WM_INITDIALOG, 0, 0)) return OnInitDialog();
      break;
    case WM_CLOSE:
      if (!FindMessageEntry(WM_CLOSE, 0, 0)) {
        SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), (LPARAM)::GetDlgItem(m_hWnd, IDCANCEL));
        return 0;
      }
      break;
    case DM_GETDEFID: return MAKELONG(m_nDefID, DC_HASDEFID);
    case DM_SETDEFID: {
      UINT old = m_nDefID;
      m_nDefID = (UINT)wParam;
      // The default look moves with the default id.
      for (UINT id : {old, m_nDefID}) {
        HWND b = ::GetDlgItem(m_hWnd, (int)id);
        if (!b || AfxCtlKindOf(b) != AfxCtlKind::Button) continue;
        UINT t = AfxCtlStyle(b) & BS_TYPEMASK;
        if (t != BS_PUSHBUTTON && t != BS_DEFPUSHBUTTON) continue;
        ::SendMessage(b, BM_SETSTYLE, (AfxCtlStyle(b) & 0xFFF0) | (id == m_nDefID ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                      TRUE);
      }
      return TRUE;
    }
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

INT_PTR CDialog::DoModal() {
  const AFX_DLGTEMPLATE* t = AfxFindDialogTemplate(m_nIDTemplate);
  if (!t) return -1;
  CWnd* parent = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
  HWND top = parent ? GetAncestor(parent->GetSafeHwnd(), GA_ROOT) : nullptr;
  bool reenable = top && ::IsWindowEnabled(top);
  if (!CreateFromTemplate(t, parent, TRUE)) return -1;
  if (reenable) ::EnableWindow(top, FALSE);
  if (!m_bEnded) AfxRunModalLoop([this] { return !m_bEnded && m_hWnd != nullptr; });
  if (reenable && ::IsWindow(top)) ::EnableWindow(top, TRUE);
  if (m_hWnd) DestroyWindow();
  if (reenable && ::IsWindow(top)) ::SetActiveWindow(top);
  return m_bEnded ? m_nResult : IDCANCEL;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
  m_nIDTemplate = nIDTemplate;
  m_pParentWnd = pParentWnd;
  return CreateFromTemplate(AfxFindDialogTemplate(nIDTemplate), pParentWnd, FALSE);
}

BOOL CDialog::CreateIndirect(const AFX_DLGTEMPLATE* pTemplate, CWnd* pParentWnd) {
  m_pParentWnd = pParentWnd;
  return CreateFromTemplate(pTemplate, pParentWnd, FALSE);
}

void CDialog::EndDialog(int nResult) {
  m_nResult = nResult;
  m_bEnded = TRUE;
  if (!m_bModal && m_hWnd)
    DestroyWindow();  // modeless dialogs that end themselves go
  else if (m_hWnd)
    ShowWindow(SW_HIDE);
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange dx(this, bSaveAndValidate);
  try {
    DoDataExchange(&dx);
  } catch (const DdxFailure&) {
    return FALSE;
  }
  return TRUE;
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (CWnd::OnCommand(wParam, lParam)) return TRUE;
  UINT id = LOWORD(wParam), code = HIWORD(wParam);
  if (code != BN_CLICKED && lParam) return FALSE;
  if (id == IDOK) {
    OnOK();
    return TRUE;
  }
  if (id == IDCANCEL) {
    OnCancel();
    return TRUE;
  }
  return FALSE;
}

void CDialog::MoveTabFocus(HWND hFrom, bool backwards) const {
  AfxWndRec* r = AfxRec(m_hWnd);
  if (!r || r->children.empty()) return;
  std::vector<HWND> kids = r->children;
  if (backwards) std::reverse(kids.begin(), kids.end());
  auto it = std::find(kids.begin(), kids.end(), hFrom);
  size_t start = it == kids.end() ? kids.size() - 1 : (size_t)(it - kids.begin());
  for (size_t k = 1; k <= kids.size(); ++k) {
    HWND c = kids[(start + k) % kids.size()];
    if (!focusable(c)) continue;
    // Into a group of radio buttons: onto the one that is checked.
    if (isRadio(c) && ::SendMessage(c, BM_GETCHECK, 0, 0) != BST_CHECKED)
      for (HWND g : groupOf(r->children, c))
        if (isRadio(g) && (AfxCtlStyle(g) & WS_VISIBLE) && ::IsWindowEnabled(g) &&
            ::SendMessage(g, BM_GETCHECK, 0, 0) == BST_CHECKED)
          c = g;
    ::SetFocus(c);
    if (AfxCtlKindOf(c) == AfxCtlKind::Edit) ::SendMessage(c, EM_SETSEL, 0, -1);
    return;
  }
}

void CDialog::NextDlgCtrl() const { MoveTabFocus(::GetFocus(), false); }
void CDialog::PrevDlgCtrl() const { MoveTabFocus(::GetFocus(), true); }
void CDialog::GotoDlgCtrl(CWnd* pWndCtrl) {
  if (!pWndCtrl) return;
  pWndCtrl->SetFocus();
  if (AfxCtlKindOf(pWndCtrl->m_hWnd) == AfxCtlKind::Edit) pWndCtrl->SendMessage(EM_SETSEL, 0, -1);
}

// Alt and a control's marked letter: a label or group box sends the focus on to the next
// control that takes it, a push button is pressed, a check box or radio button is focused
// and clicked. Repeated, the same letter moves on to the next control marked with it.
BOOL CDialog::HandleMnemonic(UINT vk) {
  if (!((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))) return FALSE;
  AfxWndRec* r = AfxRec(m_hWnd);
  if (!r || r->children.empty()) return FALSE;
  std::vector<HWND> kids = r->children;
  auto at = std::find(kids.begin(), kids.end(), ::GetFocus());
  size_t start = at == kids.end() ? kids.size() - 1 : (size_t)(at - kids.begin());
  for (size_t k = 1; k <= kids.size(); ++k) {
    size_t i = (start + k) % kids.size();
    HWND c = kids[i];
    if (!(AfxCtlStyle(c) & WS_VISIBLE) || !::IsWindowEnabled(c) || mnemonicOf(c) != vk) continue;
    UINT type = AfxCtlStyle(c) & BS_TYPEMASK;
    if (AfxCtlKindOf(c) == AfxCtlKind::Static || type == BS_GROUPBOX) {
      for (size_t j = i + 1; j < kids.size(); ++j)
        if (focusable(kids[j])) {
          GotoDlgCtrl(CWnd::FromHandle(kids[j]));
          return TRUE;
        }
      return TRUE;
    }
    if (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON) ::SetFocus(c);
    ::SendMessage(c, BM_CLICK, 0, 0);
    return TRUE;
  }
  return FALSE;
}

// The arrows move round the focus's group; an automatic radio button reached is chosen.
BOOL CDialog::MoveInGroup(HWND hFocus, bool backwards) {
  if (!::IsChild(m_hWnd, hFocus)) return FALSE;
  std::vector<HWND> group;
  if (AfxWndRec* r = AfxRec(m_hWnd)) group = groupOf(r->children, hFocus);
  if (backwards) std::reverse(group.begin(), group.end());
  auto at = std::find(group.begin(), group.end(), hFocus);
  if (at == group.end()) return FALSE;
  size_t i = (size_t)(at - group.begin());
  for (size_t k = 1; k < group.size(); ++k) {
    HWND c = group[(i + k) % group.size()];
    if (!(AfxCtlStyle(c) & WS_VISIBLE) || !::IsWindowEnabled(c)) continue;
    if (::SendMessage(c, WM_GETDLGCODE, 0, 0) & DLGC_STATIC) continue;
    ::SetFocus(c);
    if ((AfxCtlStyle(c) & BS_TYPEMASK) == BS_AUTORADIOBUTTON && isRadio(c))
      ::SendMessage(c, BM_CLICK, 0, 0);
    else if (AfxCtlKindOf(c) == AfxCtlKind::Edit)
      ::SendMessage(c, EM_SETSEL, 0, -1);
    return TRUE;
  }
  return TRUE;
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
  if (m_hWnd && pMsg->message == WM_SYSKEYDOWN && dialogOf(pMsg->hwnd) == m_hWnd && (GetKeyState(VK_MENU) & 0x8000) &&
      HandleMnemonic((UINT)pMsg->wParam))
    return TRUE;
  if (!m_hWnd || pMsg->message != WM_KEYDOWN) return CWnd::PreTranslateMessage(pMsg);
  if (dialogOf(pMsg->hwnd) != m_hWnd) return FALSE;
  HWND focus = ::GetFocus();
  UINT code =
      focus && ::IsChild(m_hWnd, focus) ? (UINT)::SendMessage(focus, WM_GETDLGCODE, pMsg->wParam, (LPARAM)pMsg) : 0;
  if (code & DLGC_WANTALLKEYS) return FALSE;
  switch (pMsg->wParam) {
    case VK_TAB:
      if (code & DLGC_WANTTAB) return FALSE;
      MoveTabFocus(focus, (GetKeyState(VK_SHIFT) & 0x8000) != 0);
      return TRUE;
    case VK_RETURN: {
      // A focused push button is pressed; otherwise the default button.
      if (focus && (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
        ::SendMessage(focus, BM_CLICK, 0, 0);
        return TRUE;
      }
      UINT def = LOWORD(SendMessage(DM_GETDEFID));
      HWND b = ::GetDlgItem(m_hWnd, (int)def);
      if (b && !::IsWindowEnabled(b)) {
        MessageBeep(0);
        return TRUE;
      }
      SendMessage(WM_COMMAND, MAKEWPARAM(def, BN_CLICKED), (LPARAM)b);
      return TRUE;
    }
    case VK_ESCAPE:
      SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), (LPARAM)::GetDlgItem(m_hWnd, IDCANCEL));
      return TRUE;
    case VK_DOWN:
    case VK_RIGHT:
    case VK_UP:
    case VK_LEFT:
      if (!focus || (code & DLGC_WANTARROWS)) return FALSE;
      return MoveInGroup(focus, pMsg->wParam == VK_UP || pMsg->wParam == VK_LEFT);
  }
  return FALSE;
}

DWORD CDialog::GetDefID() const { return (DWORD)MAKELONG(m_nDefID, DC_HASDEFID); }
void CDialog::SetDefID(UINT nID) { SendMessage(DM_SETDEFID, nID); }

void CDialog::MapDialogRect(LPRECT r) const {
  r->left = MulDiv(r->left, m_baseX, 4);
  r->right = MulDiv(r->right, m_baseX, 4);
  r->top = MulDiv(r->top, m_baseY, 8);
  r->bottom = MulDiv(r->bottom, m_baseY, 8);
}

void CDialog::SetDlgItemText(int nID, LPCTSTR s) {
  if (HWND h = ::GetDlgItem(m_hWnd, nID)) ::SetWindowText(h, s);
}
int CDialog::GetDlgItemText(int nID, CString& rString) const {
  rString.Empty();
  HWND h = ::GetDlgItem(m_hWnd, nID);
  if (!h) return 0;
  if (CWnd* w = CWnd::FromHandle(h)) w->GetWindowText(rString);
  return rString.GetLength();
}
void CDialog::SetDlgItemInt(int nID, UINT v, BOOL bSigned) {
  CString s;
  if (bSigned)
    s.Format("%d", (int)v);
  else
    s.Format("%u", v);
  SetDlgItemText(nID, s);
}
UINT CDialog::GetDlgItemInt(int nID, BOOL* lpTrans, BOOL bSigned) const {
  CString s;
  GetDlgItemText(nID, s);
  s.Trim();
  char* end = nullptr;
  errno = 0;
  long long v = bSigned ? std::strtoll(s, &end, 10) : (long long)std::strtoull(s, &end, 10);
  bool ok = !s.IsEmpty() && end && *end == 0 && errno == 0 &&
            (bSigned ? (v >= INT32_MIN && v <= INT32_MAX) : (v >= 0 && v <= (long long)UINT32_MAX));
  if (lpTrans) *lpTrans = ok;
  return ok ? (UINT)v : 0;
}
void CDialog::CheckDlgButton(int nIDButton, UINT nCheck) {
  if (HWND h = ::GetDlgItem(m_hWnd, nIDButton)) ::SendMessage(h, BM_SETCHECK, nCheck, 0);
}
UINT CDialog::IsDlgButtonChecked(int nIDButton) const {
  HWND h = ::GetDlgItem(m_hWnd, nIDButton);
  return h ? (UINT)::SendMessage(h, BM_GETCHECK, 0, 0) : 0;
}
void CDialog::CheckRadioButton(int first, int last, int check) {
  for (int id = first; id <= last; ++id) CheckDlgButton(id, id == check ? BST_CHECKED : BST_UNCHECKED);
}
int CDialog::GetCheckedRadioButton(int first, int last) const {
  for (int id = first; id <= last; ++id)
    if (IsDlgButtonChecked(id) == BST_CHECKED) return id;
  return 0;
}

// ======================================================================================
// Data exchange
// ======================================================================================
HWND CDataExchange::PrepareCtrl(int nIDC) {
  HWND h = ::GetDlgItem(m_pDlgWnd->GetSafeHwnd(), nIDC);
  m_hWndLastControl = h;
  m_bEditLastControl = FALSE;
  return h;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC) {
  HWND h = PrepareCtrl(nIDC);
  m_bEditLastControl = TRUE;
  return h;
}

void CDataExchange::Fail() {
  if (m_bSaveAndValidate && m_hWndLastControl && ::IsWindow(m_hWndLastControl)) {
    ::SetFocus(m_hWndLastControl);
    if (m_bEditLastControl) ::SendMessage(m_hWndLastControl, EM_SETSEL, 0, -1);
  }
  throw DdxFailure{};
}

namespace {

CString textOf(HWND h) {
  CString s;
  if (h) s = AfxCtlText(h).toUtf8().constData();
  return s;
}

void failWith(CDataExchange* pDX, const CString& msg) {
  AfxMessageBox(msg, MB_ICONEXCLAMATION);
  pDX->Fail();
}

bool parseLong(const CString& text, long long& out) {
  std::string s = text.GetStdString();
  size_t b = s.find_first_not_of(" \t"), e = s.find_last_not_of(" \t");
  if (b == std::string::npos) return false;
  s = s.substr(b, e - b + 1);
  char* end = nullptr;
  errno = 0;
  out = std::strtoll(s.c_str(), &end, 10);
  return end && *end == 0 && errno == 0;
}

// A real as the program itself writes it: a full stop, an exponent allowed.
bool parsePlainDouble(const CString& text, double& out) {
  std::string s = text.GetStdString();
  size_t b = s.find_first_not_of(" \t"), e = s.find_last_not_of(" \t");
  if (b == std::string::npos) return false;
  s = s.substr(b, e - b + 1);
  for (char c : s)
    if (!std::strchr("0123456789+-.eE", c)) return false;
  char* end = nullptr;
  errno = 0;
  out = std::strtod(s.c_str(), &end);  // the program runs in the "C" numeric locale
  return end && *end == 0 && errno == 0 && std::isfinite(out);
}

// A real as the user types it, with their decimal separator (and thousands groups); the
// program's own form is taken too.
bool parseDouble(const CString& text, double& out) {
  double v = 0;
  if (AfxParseUserNumber(text, v) && std::isfinite(v)) {
    out = v;
    return true;
  }
  return parsePlainDouble(text, out);
}

// A real shown to the user: the shortest form, with their decimal separator.
CString formatDouble(double value, int digits) {
  CString s;
  s.Format("%.*g", digits, value);
  CString dec = AfxGetLocaleValues().decimalSeparator;
  if (!dec.IsEmpty() && dec != ".") s.Replace(".", dec);
  return s;
}

template <class T>
void ddxInteger(CDataExchange* pDX, int nIDC, T& value, long long lo, long long hi, const char* fmt) {
  HWND h = pDX->PrepareEditCtrl(nIDC);
  if (!h) return;
  if (pDX->m_bSaveAndValidate) {
    long long v = 0;
    if (!parseLong(textOf(h), v) || v < lo || v > hi)
      failWith(pDX, lo < 0 ? "Please enter an integer." : "Please enter a positive integer.");
    value = (T)v;
  } else {
    CString s;
    s.Format(fmt, value);
    ::SetWindowText(h, s);
  }
}

}  // namespace

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
  HWND h = pDX->PrepareEditCtrl(nIDC);
  if (!h) return;
  if (pDX->m_bSaveAndValidate)
    value = textOf(h);
  else
    ::SetWindowText(h, value);
}
void DDX_Text(CDataExchange* pDX, int nIDC, int& value) { ddxInteger(pDX, nIDC, value, INT32_MIN, INT32_MAX, "%d"); }
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value) { ddxInteger(pDX, nIDC, value, 0, UINT32_MAX, "%u"); }
void DDX_Text(CDataExchange* pDX, int nIDC, long& value) { ddxInteger(pDX, nIDC, value, INT32_MIN, INT32_MAX, "%ld"); }

void DDX_Text(CDataExchange* pDX, int nIDC, double& value) {
  HWND h = pDX->PrepareEditCtrl(nIDC);
  if (!h) return;
  if (pDX->m_bSaveAndValidate) {
    double v = 0;
    if (!parseDouble(textOf(h), v)) failWith(pDX, "Please enter a number.");
    value = v;
  } else {
    ::SetWindowText(h, formatDouble(value, DBL_DIG));
  }
}

void DDX_Text(CDataExchange* pDX, int nIDC, float& value) {
  double d = value;
  HWND h = pDX->PrepareEditCtrl(nIDC);
  if (!h) return;
  if (pDX->m_bSaveAndValidate) {
    if (!parseDouble(textOf(h), d) || std::fabs(d) > FLT_MAX) failWith(pDX, "Please enter a number.");
    value = (float)d;
  } else {
    ::SetWindowText(h, formatDouble(d, FLT_DIG));
  }
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
  HWND h = pDX->PrepareCtrl(nIDC);
  if (!h) return;
  if (pDX->m_bSaveAndValidate)
    value = (int)::SendMessage(h, BM_GETCHECK, 0, 0);
  else
    ::SendMessage(h, BM_SETCHECK, (WPARAM)std::clamp(value, 0, 2), 0);
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value) {
  HWND h = pDX->PrepareCtrl(nIDC);
  if (!h) return;
  HWND dlg = pDX->m_pDlgWnd->GetSafeHwnd();
  AfxWndRec* r = AfxRec(dlg);
  if (!r) return;
  auto it = std::find(r->children.begin(), r->children.end(), h);
  if (pDX->m_bSaveAndValidate) value = -1;
  int index = 0;
  for (; it != r->children.end(); ++it) {
    HWND c = *it;
    if (c != h && (AfxCtlStyle(c) & WS_GROUP)) break;
    if (AfxCtlKindOf(c) != AfxCtlKind::Button) continue;
    UINT t = AfxCtlStyle(c) & BS_TYPEMASK;
    if (t != BS_RADIOBUTTON && t != BS_AUTORADIOBUTTON) continue;
    if (pDX->m_bSaveAndValidate) {
      if (::SendMessage(c, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
    } else {
      ::SendMessage(c, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    ++index;
  }
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
  if (rControl.m_hWnd) return;
  HWND h = pDX->PrepareCtrl(nIDC);
  if (h) AfxAttachControl(h, &rControl);
}

namespace {
template <class T>
void ddvRange(CDataExchange* pDX, T value, T lo, T hi, const char* fmt, const char* what) {
  if (!pDX->m_bSaveAndValidate || (value >= lo && value <= hi)) return;
  CString a, b, msg;
  a.Format(fmt, lo);
  b.Format(fmt, hi);
  msg.Format("Please enter %s between %s and %s.", what, (const char*)a, (const char*)b);
  failWith(pDX, msg);
}
}  // namespace

void DDV_MinMaxInt(CDataExchange* pDX, int v, int lo, int hi) { ddvRange(pDX, v, lo, hi, "%d", "an integer"); }
void DDV_MinMaxUInt(CDataExchange* pDX, UINT v, UINT lo, UINT hi) { ddvRange(pDX, v, lo, hi, "%u", "an integer"); }
void DDV_MinMaxLong(CDataExchange* pDX, long v, long lo, long hi) { ddvRange(pDX, v, lo, hi, "%ld", "an integer"); }
void DDV_MinMaxDouble(CDataExchange* pDX, double const& v, double lo, double hi) {
  if (!pDX->m_bSaveAndValidate || (v >= lo && v <= hi)) return;
  failWith(pDX,
           "Please enter a number between " + formatDouble(lo, DBL_DIG) + " and " + formatDouble(hi, DBL_DIG) + ".");
}
void DDV_MinMaxFloat(CDataExchange* pDX, float const& v, float lo, float hi) {
  if (!pDX->m_bSaveAndValidate || (v >= lo && v <= hi)) return;
  failWith(pDX,
           "Please enter a number between " + formatDouble(lo, FLT_DIG) + " and " + formatDouble(hi, FLT_DIG) + ".");
}
void DDV_MaxChars(CDataExchange* pDX, CString const& value, int nChars) {
  if (pDX->m_bSaveAndValidate && value.GetLength() > nChars) {
    CString msg;
    msg.Format("Please enter no more than %d characters.", nChars);
    failWith(pDX, msg);
  }
  if (!pDX->m_bSaveAndValidate && pDX->m_hWndLastControl && pDX->m_bEditLastControl)
    ::SendMessage(pDX->m_hWndLastControl, EM_LIMITTEXT, (WPARAM)nChars, 0);
}
