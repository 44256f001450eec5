// The control classes' registration, their window procedure and per-window state, and the
// helpers every control shares.
#include "platform/ui/CtlInternal.h"

#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>

#include <cstring>
#include <unordered_map>

namespace {

std::unordered_map<HWND, std::unique_ptr<AfxCtlState>>& states() {
  static std::unordered_map<HWND, std::unique_ptr<AfxCtlState>> m;
  return m;
}

struct KindName {
  const char* name;
  AfxCtlKind kind;
};
const KindName kKinds[] = {
    {WC_EDIT, AfxCtlKind::Edit},           {WC_BUTTON, AfxCtlKind::Button},       {WC_STATIC, AfxCtlKind::Static},
    {UPDOWN_CLASS, AfxCtlKind::UpDown},    {TRACKBAR_CLASS, AfxCtlKind::Slider},  {WC_TREEVIEW, AfxCtlKind::Tree},
    {WC_LISTBOX, AfxCtlKind::ListBox},     {WC_COMBOBOX, AfxCtlKind::ComboBox},   {WC_COMBOLBOX, AfxCtlKind::ComboList},
    {TOOLTIPS_CLASS, AfxCtlKind::ToolTip}, {WC_SCROLLBAR, AfxCtlKind::ScrollBar}, {WC_TABCONTROL, AfxCtlKind::Tab}};

LRESULT controlClassProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  AfxWndRec* r = AfxRec(h);
  if (!r) return 0;
  LRESULT res = r->wnd ? AfxWndProc(h, msg, wp, lp) : AfxControlDefProc(h, msg, wp, lp);
  if (msg == WM_NCDESTROY) states().erase(h);
  return res;
}

}  // namespace

void AfxInitControlClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  for (const KindName& k : kKinds) {
    WNDCLASS wc{};
    wc.style =
        CS_DBLCLKS | ((k.kind == AfxCtlKind::Button || k.kind == AfxCtlKind::Static) ? CS_HREDRAW | CS_VREDRAW : 0);
    wc.lpfnWndProc = controlClassProc;
    wc.hCursor = LoadCursor(nullptr, k.kind == AfxCtlKind::Edit ? IDC_IBEAM : IDC_ARROW);
    wc.lpszClassName = k.name;
    RegisterClass(&wc);
  }
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX*) {
  AfxInitControlClasses();
  return TRUE;
}
void InitCommonControls() { AfxInitControlClasses(); }

AfxCtlKind AfxCtlKindOf(HWND h) {
  AfxWndRec* r = AfxRec(h);
  if (!r) return AfxCtlKind::None;
  for (const KindName& k : kKinds)
    if (r->cls == k.name) return k.kind;
  // Class names compare without regard to case on the platform.
  for (const KindName& k : kKinds)
    if (QString::fromStdString(r->cls).compare(QLatin1String(k.name), Qt::CaseInsensitive) == 0) return k.kind;
  return AfxCtlKind::None;
}

AfxCtlState* AfxCtlStateOf(HWND h) {
  auto it = states().find(h);
  if (it != states().end()) return it->second.get();
  if (!AfxRec(h)) return nullptr;
  AfxCtlState* s = nullptr;
  AfxCtlKind kind = AfxCtlKindOf(h);
  switch (kind) {
    case AfxCtlKind::Edit: s = AfxNewEditState(); break;
    case AfxCtlKind::Button: s = AfxNewButtonState(); break;
    case AfxCtlKind::Static: s = AfxNewStaticState(); break;
    case AfxCtlKind::UpDown: s = AfxNewUpDownState(); break;
    case AfxCtlKind::Slider: s = AfxNewSliderState(); break;
    case AfxCtlKind::Tree: s = AfxNewTreeState(); break;
    case AfxCtlKind::ListBox:
    case AfxCtlKind::ComboList: s = AfxNewListBoxState(); break;
    case AfxCtlKind::ComboBox: s = AfxNewComboState(); break;
    case AfxCtlKind::ToolTip: s = AfxNewToolTipState(); break;
    case AfxCtlKind::ScrollBar: s = AfxNewScrollBarState(); break;
    case AfxCtlKind::Tab: s = AfxNewTabState(); break;
    default: return nullptr;
  }
  s->kind = kind;
  states()[h].reset(s);
  return s;
}

LRESULT AfxControlDefProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  switch (AfxCtlKindOf(h)) {
    case AfxCtlKind::Edit: return AfxEditProc(h, msg, wp, lp);
    case AfxCtlKind::Button: return AfxButtonProc(h, msg, wp, lp);
    case AfxCtlKind::Static: return AfxStaticProc(h, msg, wp, lp);
    case AfxCtlKind::UpDown: return AfxUpDownProc(h, msg, wp, lp);
    case AfxCtlKind::Slider: return AfxSliderProc(h, msg, wp, lp);
    case AfxCtlKind::Tree: return AfxTreeProc(h, msg, wp, lp);
    case AfxCtlKind::ListBox:
    case AfxCtlKind::ComboList: return AfxListBoxProc(h, msg, wp, lp);
    case AfxCtlKind::ComboBox: return AfxComboProc(h, msg, wp, lp);
    case AfxCtlKind::ToolTip: return AfxToolTipProc(h, msg, wp, lp);
    case AfxCtlKind::ScrollBar: return AfxScrollBarProc(h, msg, wp, lp);
    case AfxCtlKind::Tab: return AfxTabProc(h, msg, wp, lp);
    default: break;
  }
  return ::DefWindowProc(h, msg, wp, lp);
}

BOOL AfxAttachControl(HWND hWnd, CWnd* pWnd) {
  AfxWndRec* r = AfxRec(hWnd);
  if (!r || !pWnd || pWnd->m_hWnd) return FALSE;
  CWnd* old = r->wnd;
  if (old == pWnd) return TRUE;
  r->wnd = pWnd;
  pWnd->m_hWnd = hWnd;
  if (old) {
    old->m_hWnd = nullptr;
    auto* c = dynamic_cast<CControlWnd*>(old);
    if (c && c->m_bAutoDelete) delete c;
  }
  pWnd->PreSubclassWindow();
  return TRUE;
}

// ======================================================================================
// CControlWnd
// ======================================================================================
IMPLEMENT_DYNAMIC(CControlWnd, CWnd)

namespace {
bool drawControlItem(DRAWITEMSTRUCT* dis) {
  auto* c = dynamic_cast<CControlWnd*>(CWnd::FromHandlePermanent(dis->hwndItem));
  if (!c) return false;
  c->DrawItem(dis);
  return true;
}
const bool g_hooked = (g_afxWndHooks.drawControlItem = drawControlItem, true);
}  // namespace

LRESULT CControlWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!m_hWnd) return 0;
  return AfxControlDefProc(m_hWnd, message, wParam, lParam);
}

BOOL CControlWnd::CreateControl(LPCTSTR lpszClass, LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParent,
                                UINT nID, DWORD dwExStyle) {
  AfxInitControlClasses();
  return CWnd::CreateEx(dwExStyle, lpszClass, lpszText, dwStyle, rect.left, rect.top, rect.right - rect.left,
                        rect.bottom - rect.top, pParent ? pParent->GetSafeHwnd() : nullptr, (HMENU)(UINT_PTR)nID,
                        nullptr);
}

BOOL CControlWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
  if (!pParent) return FALSE;
  HWND h = ::GetDlgItem(pParent->GetSafeHwnd(), (int)nID);
  return h ? SubclassWindow(h) : FALSE;
}

BOOL CControlWnd::SubclassWindow(HWND hWnd) { return AfxAttachControl(hWnd, this); }

HWND CControlWnd::UnsubclassWindow() {
  HWND h = m_hWnd;
  if (AfxWndRec* r = AfxRec(h); r && r->wnd == this) r->wnd = nullptr;
  m_hWnd = nullptr;
  return h;
}

void CControlWnd::PostNcDestroy() {
  if (m_bAutoDelete) delete this;
}

// ======================================================================================
// Helpers
// ======================================================================================
QString AfxQStr(LPCTSTR s, int n) {
  if (!s) return QString();
  return QString::fromUtf8(s, n < 0 ? (qsizetype)std::strlen(s) : (qsizetype)n);
}

std::string AfxStdStr(const QString& s) { return s.toUtf8().toStdString(); }

QString AfxCtlText(HWND h) {
  AfxWndRec* r = AfxRec(h);
  return r ? QString::fromStdString(r->text) : QString();
}

void AfxCtlSetText(HWND h, const QString& s) {
  if (AfxWndRec* r = AfxRec(h)) r->text = AfxStdStr(s);
}

HWND AfxCtlParent(HWND h) {
  AfxWndRec* r = AfxRec(h);
  if (!r) return nullptr;
  return (r->style & WS_CHILD) ? r->parent : r->owner;
}

UINT AfxCtlId(HWND h) {
  AfxWndRec* r = AfxRec(h);
  return r ? r->id : 0;
}

DWORD AfxCtlStyle(HWND h) {
  AfxWndRec* r = AfxRec(h);
  return r ? r->style : 0;
}

void AfxCtlCommand(HWND h, UINT code) {
  HWND p = AfxCtlParent(h);
  if (p) ::SendMessage(p, WM_COMMAND, MAKEWPARAM(AfxCtlId(h), code), (LPARAM)h);
}

LRESULT AfxCtlNotify(HWND h, NMHDR* nm) {
  HWND p = AfxCtlParent(h);
  nm->hwndFrom = h;
  nm->idFrom = AfxCtlId(h);
  return p ? ::SendMessage(p, WM_NOTIFY, (WPARAM)nm->idFrom, (LPARAM)nm) : 0;
}

HFONT AfxCtlFont(HWND h) {
  AfxWndRec* r = AfxRec(h);
  if (r && r->font) return r->font;
  return (HFONT)GetStockObject(DEFAULT_GUI_FONT);
}

int AfxCtlLineHeight(HWND h) {
  HFONT f = AfxCtlFont(h);
  auto* fd = static_cast<AfxFontData*>(AfxGdi(f));
  return fd ? QFontMetrics(fd->qfont).height() : 13;
}

HBRUSH AfxCtlColor(HWND h, CDC* dc, UINT msg) {
  HWND p = AfxCtlParent(h);
  bool window = msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX;
  dc->SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
  dc->SetBkColor(GetSysColor(window ? COLOR_WINDOW : COLOR_3DFACE));
  HBRUSH b = p ? (HBRUSH)::SendMessage(p, msg, (WPARAM)dc->GetSafeHdc(), (LPARAM)h) : nullptr;
  if (!b) {
    // The framework's own reflection: a control may answer for itself (=WM_CTLCOLOR handlers).
    CWnd* self = CWnd::FromHandlePermanent(h);
    LRESULT res = 0;
    if (self && self->OnChildNotify(msg, (WPARAM)dc->GetSafeHdc(), (LPARAM)h, &res)) b = (HBRUSH)res;
  }
  if (!b) b = GetSysColorBrush(window ? COLOR_WINDOW : COLOR_3DFACE);
  return b;
}

void AfxCtlDrawItem(HWND h, DRAWITEMSTRUCT* dis) {
  HWND p = AfxCtlParent(h);
  if (p && ::SendMessage(p, WM_DRAWITEM, (WPARAM)dis->CtlID, (LPARAM)dis)) return;
  if (auto* c = dynamic_cast<CControlWnd*>(CWnd::FromHandlePermanent(h))) c->DrawItem(dis);
}

void AfxCtlMeasureItem(HWND h, MEASUREITEMSTRUCT* mis) {
  HWND p = AfxCtlParent(h);
  if (p && ::SendMessage(p, WM_MEASUREITEM, (WPARAM)mis->CtlID, (LPARAM)mis)) return;
  if (auto* c = dynamic_cast<CControlWnd*>(CWnd::FromHandlePermanent(h))) c->MeasureItem(mis);
}

bool AfxCtlHasFocus(HWND h) { return h && ::GetFocus() == h; }

void AfxCtlInvalidate(HWND h) { ::InvalidateRect(h, nullptr, TRUE); }

QString AfxCtlClipboardText() {
  if (!QGuiApplication::instance()) return QString();
  return QGuiApplication::clipboard()->text();
}

void AfxCtlSetClipboardText(const QString& s) {
  if (QGuiApplication::instance()) QGuiApplication::clipboard()->setText(s);
}

void AfxDrawPushFrame(CDC* dc, RECT rc, bool pushed, bool isDefault, bool flat) {
  CRect r(rc);
  if (isDefault) {
    CBrush black(GetSysColor(COLOR_WINDOWFRAME));
    dc->FrameRect(&r, &black);
    r.DeflateRect(1, 1);
  }
  if (pushed) {
    dc->Draw3dRect(&r, GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_3DSHADOW));
    r.DeflateRect(1, 1);
    dc->FillSolidRect(&r, GetSysColor(COLOR_3DFACE));
  } else if (flat) {
    dc->Draw3dRect(&r, GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_3DSHADOW));
    r.DeflateRect(1, 1);
    dc->FillSolidRect(&r, GetSysColor(COLOR_3DFACE));
  } else {
    dc->Draw3dRect(&r, GetSysColor(COLOR_3DHILIGHT), GetSysColor(COLOR_3DDKSHADOW));
    r.DeflateRect(1, 1);
    dc->Draw3dRect(&r, GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_3DSHADOW));
    r.DeflateRect(1, 1);
    dc->FillSolidRect(&r, GetSysColor(COLOR_3DFACE));
  }
}

void AfxDrawCheckMark(CDC* dc, const RECT& box, int state, bool radio, bool disabled, bool pushed) {
  CRect r(box);
  COLORREF face = (pushed || disabled) ? GetSysColor(COLOR_3DFACE) : GetSysColor(COLOR_WINDOW);
  COLORREF mark = disabled ? GetSysColor(COLOR_GRAYTEXT) : GetSysColor(COLOR_WINDOWTEXT);
  if (radio) {
    CPen shadow(PS_SOLID, 1, GetSysColor(COLOR_3DSHADOW));
    CBrush fill(face);
    CPen* op = dc->SelectObject(&shadow);
    CBrush* ob = dc->SelectObject(&fill);
    dc->Ellipse(r.left, r.top, r.right, r.bottom);
    if (state == BST_CHECKED) {
      CBrush dot(mark);
      CPen dotPen(PS_SOLID, 1, mark);
      dc->SelectObject(&dot);
      dc->SelectObject(&dotPen);
      CPoint c = r.CenterPoint();
      dc->Ellipse(c.x - 2, c.y - 2, c.x + 3, c.y + 3);
      dc->SelectObject(&fill);
      dc->SelectObject(&shadow);
    }
    dc->SelectObject(op);
    dc->SelectObject(ob);
    return;
  }
  dc->Draw3dRect(&r, GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_3DHILIGHT));
  r.DeflateRect(1, 1);
  dc->Draw3dRect(&r, GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT));
  r.DeflateRect(1, 1);
  dc->FillSolidRect(&r, state == BST_INDETERMINATE ? GetSysColor(COLOR_3DFACE) : face);
  if (state == BST_CHECKED || state == BST_INDETERMINATE) {
    // A tick of three-pixel strokes, as the classic look draws it.
    COLORREF c = state == BST_INDETERMINATE ? GetSysColor(COLOR_3DSHADOW) : mark;
    int x = r.left + (r.Width() - 7) / 2, y = r.top + (r.Height() - 7) / 2 + 2;
    for (int i = 0; i < 7; ++i) {
      int yy = i < 3 ? y + i : y + 2 - (i - 2);
      dc->FillSolidRect(x + i, yy, 1, 3, c);
    }
  }
}

namespace {
// Opens CreateControl to the factory below. The member is reached through a pointer to it, so
// the object is used as the control it is (it is never an AfxControlMaker).
struct AfxControlMaker : CControlWnd {
  static BOOL Make(CControlWnd* w, LPCTSTR cls, LPCTSTR text, DWORD style, const RECT& rc, CWnd* parent, UINT id,
                   DWORD ex) {
    BOOL(CControlWnd::*create)
    (LPCTSTR, LPCTSTR, DWORD, const RECT&, CWnd*, UINT, DWORD) = &AfxControlMaker::CreateControl;
    return (w->*create)(cls, text, style, rc, parent, id, ex);
  }
};
}  // namespace

CWnd* AfxCreateControl(LPCTSTR lpszClass, LPCTSTR lpszText, DWORD dwStyle, DWORD dwExStyle, const RECT& rect,
                       CWnd* pParent, UINT nID) {
  AfxInitControlClasses();
  CControlWnd* w = nullptr;
  QString cls = AfxQStr(lpszClass);
  if (cls.compare(QLatin1String(WC_EDIT), Qt::CaseInsensitive) == 0)
    w = new CEdit;
  else if (cls.compare(QLatin1String(WC_BUTTON), Qt::CaseInsensitive) == 0)
    w = new CButton;
  else if (cls.compare(QLatin1String(WC_STATIC), Qt::CaseInsensitive) == 0)
    w = new CStatic;
  else if (cls.compare(QLatin1String(UPDOWN_CLASS), Qt::CaseInsensitive) == 0)
    w = new CSpinButtonCtrl;
  else if (cls.compare(QLatin1String(TRACKBAR_CLASS), Qt::CaseInsensitive) == 0)
    w = new CSliderCtrl;
  else if (cls.compare(QLatin1String(WC_TREEVIEW), Qt::CaseInsensitive) == 0)
    w = new CTreeCtrl;
  else if (cls.compare(QLatin1String(WC_COMBOBOX), Qt::CaseInsensitive) == 0)
    w = new CComboBox;
  else if (cls.compare(QLatin1String(WC_LISTBOX), Qt::CaseInsensitive) == 0)
    w = new CListBox;
  else if (cls.compare(QLatin1String(TOOLTIPS_CLASS), Qt::CaseInsensitive) == 0)
    w = new CToolTipCtrl;
  else if (cls.compare(QLatin1String(WC_SCROLLBAR), Qt::CaseInsensitive) == 0)
    w = new CScrollBar;
  else if (cls.compare(QLatin1String(WC_TABCONTROL), Qt::CaseInsensitive) == 0)
    w = new CTabCtrl;
  else
    w = new CControlWnd;
  if (!AfxControlMaker::Make(w, lpszClass, lpszText, dwStyle, rect, pParent, nID, dwExStyle)) {
    delete w;  // not yet self-deleting, so still ours
    return nullptr;
  }
  w->m_bAutoDelete = TRUE;
  return w;
}
