// Buttons (push, default, check, three-state, radio with groups, group box, owner-drawn) and
// statics (texts with their alignments and ellipses, rectangles, frames, etched lines, bitmaps).
#include "platform/ui/Accessible.h"
#include "platform/ui/CtlInternal.h"
#include "platform/ui/Icons.h"

#include <algorithm>

namespace {

struct ButtonState : AfxCtlState {
  int check = 0;
  bool pushed = false;
  bool tracking = false;
  HBITMAP bitmap = nullptr;
};

UINT btype(HWND h) { return AfxCtlStyle(h) & BS_TYPEMASK; }
bool isRadio(UINT t) { return t == BS_RADIOBUTTON || t == BS_AUTORADIOBUTTON; }
bool isCheck(UINT t) { return t == BS_CHECKBOX || t == BS_AUTOCHECKBOX || t == BS_3STATE || t == BS_AUTO3STATE; }

// The siblings of a window's group: from the previous WS_GROUP window to the next one.
std::vector<HWND> groupOf(HWND h) {
  HWND p = AfxCtlParent(h);
  AfxWndRec* pr = AfxRec(p);
  std::vector<HWND> out;
  if (!pr) return out;
  const auto& kids = pr->children;
  auto it = std::find(kids.begin(), kids.end(), h);
  if (it == kids.end()) return out;
  size_t i = (size_t)(it - kids.begin());
  size_t first = i;
  while (first > 0 && !(AfxCtlStyle(kids[first]) & WS_GROUP)) --first;
  for (size_t k = first; k < kids.size(); ++k) {
    if (k > first && (AfxCtlStyle(kids[k]) & WS_GROUP)) break;
    out.push_back(kids[k]);
  }
  return out;
}

void click(HWND h, ButtonState* s) {
  UINT t = btype(h);
  if (t == BS_AUTOCHECKBOX)
    s->check = s->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
  else if (t == BS_AUTO3STATE)
    s->check = (s->check + 1) % 3;
  else if (t == BS_AUTORADIOBUTTON) {
    for (HWND o : groupOf(h))
      if (o != h && AfxCtlKindOf(o) == AfxCtlKind::Button && btype(o) == BS_AUTORADIOBUTTON)
        ::SendMessage(o, BM_SETCHECK, BST_UNCHECKED, 0);
    s->check = BST_CHECKED;
  }
  AfxCtlInvalidate(h);
  NotifyWinEvent(EVENT_OBJECT_STATECHANGE, h, OBJID_CLIENT, CHILDID_SELF);
  AfxCtlCommand(h, BN_CLICKED);
}

void drawText(CDC* dc, HWND h, CRect rc, UINT fmt) {
  std::string t = AfxStdStr(AfxCtlText(h));
  if (!::IsWindowEnabled(h)) {
    dc->SetTextColor(GetSysColor(COLOR_3DHILIGHT));
    CRect r2 = rc;
    r2.OffsetRect(1, 1);
    dc->DrawText(t.c_str(), (int)t.size(), &r2, fmt);
    dc->SetTextColor(GetSysColor(COLOR_GRAYTEXT));
  }
  dc->DrawText(t.c_str(), (int)t.size(), &rc, fmt);
}

void paintButton(HWND h, ButtonState* s) {
  PAINTSTRUCT ps;
  CDC* dc = CDC::FromHandle(::BeginPaint(h, &ps));
  if (!dc) return;
  CRect rc;
  ::GetClientRect(h, &rc);
  DWORD style = AfxCtlStyle(h);
  UINT t = btype(h);
  bool enabled = ::IsWindowEnabled(h);
  bool focus = AfxCtlHasFocus(h);
  if (t == BS_OWNERDRAW) {
    DRAWITEMSTRUCT dis{ODT_BUTTON, AfxCtlId(h), 0, ODA_DRAWENTIRE, 0, h, dc->GetSafeHdc(), rc, 0};
    if (s->pushed) dis.itemState |= ODS_SELECTED;
    if (focus) dis.itemState |= ODS_FOCUS;
    if (!enabled) dis.itemState |= ODS_DISABLED;
    if (s->check == BST_CHECKED) dis.itemState |= ODS_CHECKED;
    AfxCtlDrawItem(h, &dis);
    ::EndPaint(h, &ps);
    return;
  }
  bool push = t == BS_PUSHBUTTON || t == BS_DEFPUSHBUTTON || t == BS_PUSHBOX || (style & BS_PUSHLIKE);
  HBRUSH br = AfxCtlColor(h, dc, push ? WM_CTLCOLORBTN : WM_CTLCOLORSTATIC);
  COLORREF textColor = dc->GetTextColor();
  dc->FillRect(&rc, CBrush::FromHandle(br));
  CFont* oldFont = dc->SelectObject(CFont::FromHandle(AfxCtlFont(h)));
  dc->SetBkMode(TRANSPARENT);
  dc->SetTextColor(textColor);
  UINT halign = style & BS_CENTER;
  if (push) {
    bool down = s->pushed || ((style & BS_PUSHLIKE) && s->check == BST_CHECKED);
    AfxDrawPushFrame(dc, rc, down, t == BS_DEFPUSHBUTTON, (style & BS_FLAT) != 0);
    CRect tr = rc;
    tr.DeflateRect(4, 2);
    if (down) tr.OffsetRect(1, 1);
    UINT fmt = DT_VCENTER | DT_SINGLELINE | (halign == BS_LEFT ? DT_LEFT : halign == BS_RIGHT ? DT_RIGHT : DT_CENTER);
    if (style & BS_MULTILINE) fmt = (fmt & ~(DT_SINGLELINE | DT_VCENTER)) | DT_WORDBREAK;
    if (s->bitmap && (style & BS_BITMAP)) {
      BITMAP bm{};
      ::GetObject(s->bitmap, sizeof(bm), &bm);
      CDC mem;
      mem.CreateCompatibleDC(dc);
      CBitmap* old = mem.SelectObject(CBitmap::FromHandle(s->bitmap));
      dc->BitBlt(tr.left + (tr.Width() - bm.bmWidth) / 2, tr.top + (tr.Height() - bm.bmHeight) / 2, bm.bmWidth,
                 bm.bmHeight, &mem, 0, 0, SRCCOPY);
      mem.SelectObject(old);
    } else {
      drawText(dc, h, tr, fmt);
    }
    if (focus) {
      CRect fr = rc;
      fr.DeflateRect(4, 4);
      dc->DrawFocusRect(&fr);
    }
  } else if (t == BS_GROUPBOX) {
    int lh = AfxCtlLineHeight(h);
    CRect frame = rc;
    frame.top += lh / 2;
    dc->DrawEdge(&frame, EDGE_ETCHED, BF_RECT);
    std::string text = AfxStdStr(AfxCtlText(h));
    if (!text.empty()) {
      CSize sz = dc->GetTextExtent(text.c_str(), (int)text.size());
      CRect tr(8, 0, std::min<int>(rc.right - 8, 8 + sz.cx + 4), lh);
      dc->FillRect(&tr, CBrush::FromHandle(br));
      tr.left += 2;
      drawText(dc, h, tr, DT_LEFT | DT_SINGLELINE | DT_TOP);
    }
  } else {
    bool radio = isRadio(t);
    bool leftText = (style & BS_LEFTTEXT) != 0;
    int box = 13;
    int y = rc.top + (rc.Height() - box) / 2;
    CRect boxRect = leftText ? CRect(rc.right - box, y, rc.right, y + box) : CRect(0, y, box, y + box);
    AfxDrawCheckMark(dc, boxRect, s->check, radio, !enabled, s->pushed);
    CRect tr = rc;
    if (leftText)
      tr.right -= box + 4;
    else
      tr.left += box + 4;
    UINT fmt = DT_VCENTER | DT_SINGLELINE | (halign == BS_RIGHT ? DT_RIGHT : halign == BS_CENTER ? DT_CENTER : DT_LEFT);
    if (style & BS_MULTILINE) fmt = (fmt & ~(DT_SINGLELINE | DT_VCENTER)) | DT_WORDBREAK;
    drawText(dc, h, tr, fmt);
    if (focus) {
      CRect calc = tr;
      std::string text = AfxStdStr(AfxCtlText(h));
      dc->DrawText(text.c_str(), (int)text.size(), &calc, fmt | DT_CALCRECT);
      calc.InflateRect(1, 1);
      dc->DrawFocusRect(&calc);
    }
  }
  dc->SelectObject(oldFont);
  ::EndPaint(h, &ps);
}

struct StaticState : AfxCtlState {
  HGDIOBJ image = nullptr;
  bool icon = false;
  HGDIOBJ owned = nullptr;  // a bitmap the control loaded from its template text
  ~StaticState() override {
    if (owned) ::DeleteObject(owned);
  }
};

// An icon or bitmap static names its picture in its text ("#128" or a name), as a template
// gives it; an icon static then takes the icon's size unless it centres the picture.
void loadNamedPicture(HWND h, StaticState* s, LPCTSTR name) {
  DWORD style = AfxCtlStyle(h);
  UINT type = style & SS_TYPEMASK;
  if ((type != SS_ICON && type != SS_BITMAP) || !name || !*name) return;
  if (type == SS_BITMAP) {
    s->image = s->owned = (HGDIOBJ)::LoadImage(AfxGetInstanceHandle(), name, IMAGE_BITMAP, 0, 0, 0);
    return;
  }
  HICON icon = ::LoadIcon(AfxGetInstanceHandle(), name);
  if (!icon) return;
  s->image = (HGDIOBJ)icon;
  ICONINFO ii{};
  if (!(style & SS_CENTERIMAGE) && ::GetIconInfo(icon, &ii)) {
    BITMAP bm{};
    ::GetObject(ii.hbmColor, sizeof(bm), &bm);
    ::DeleteObject(ii.hbmColor);
    ::DeleteObject(ii.hbmMask);
    ::SetWindowPos(h, nullptr, 0, 0, bm.bmWidth, bm.bmHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// DrawText flags from the static styles.
UINT staticFormat(DWORD style) {
  UINT type = style & SS_TYPEMASK;
  UINT f = 0;
  if (type == SS_CENTER)
    f |= DT_CENTER;
  else if (type == SS_RIGHT)
    f |= DT_RIGHT;
  if (style & SS_CENTERIMAGE) f |= DT_VCENTER | DT_SINGLELINE;
  if (style & SS_NOPREFIX) f |= DT_NOPREFIX;
  UINT ell = style & SS_ELLIPSISMASK;
  if (ell == SS_ENDELLIPSIS)
    f |= DT_END_ELLIPSIS;
  else if (ell == SS_PATHELLIPSIS)
    f |= DT_PATH_ELLIPSIS;
  else if (ell == SS_WORDELLIPSIS)
    f |= DT_WORD_ELLIPSIS;
  if (type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP)
    f |= DT_SINGLELINE;
  else if (!(style & SS_CENTERIMAGE) && !ell)
    f |= DT_WORDBREAK;
  return f;
}

void paintStatic(HWND h, StaticState* s) {
  PAINTSTRUCT ps;
  CDC* dc = CDC::FromHandle(::BeginPaint(h, &ps));
  if (!dc) return;
  CRect rc;
  ::GetClientRect(h, &rc);
  DWORD style = AfxCtlStyle(h);
  UINT type = style & SS_TYPEMASK;
  if (type == SS_OWNERDRAW) {
    DRAWITEMSTRUCT dis{
        ODT_STATIC,       AfxCtlId(h), 0, ODA_DRAWENTIRE, ::IsWindowEnabled(h) ? 0u : (UINT)ODS_DISABLED, h,
        dc->GetSafeHdc(), rc,          0};
    AfxCtlDrawItem(h, &dis);
    ::EndPaint(h, &ps);
    return;
  }
  HBRUSH br = AfxCtlColor(h, dc, WM_CTLCOLORSTATIC);
  COLORREF textColor = dc->GetTextColor();
  int bkMode = dc->GetBkMode();
  switch (type) {
    case SS_BLACKRECT: dc->FillSolidRect(&rc, GetSysColor(COLOR_3DDKSHADOW)); break;
    case SS_GRAYRECT: dc->FillSolidRect(&rc, GetSysColor(COLOR_3DSHADOW)); break;
    case SS_WHITERECT: dc->FillSolidRect(&rc, GetSysColor(COLOR_3DHILIGHT)); break;
    case SS_BLACKFRAME:
      dc->FillRect(&rc, CBrush::FromHandle(br));
      dc->Draw3dRect(&rc, GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DDKSHADOW));
      break;
    case SS_GRAYFRAME:
      dc->FillRect(&rc, CBrush::FromHandle(br));
      dc->Draw3dRect(&rc, GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_3DSHADOW));
      break;
    case SS_WHITEFRAME:
      dc->FillRect(&rc, CBrush::FromHandle(br));
      dc->Draw3dRect(&rc, GetSysColor(COLOR_3DHILIGHT), GetSysColor(COLOR_3DHILIGHT));
      break;
    case SS_ETCHEDHORZ: {
      CRect r(rc.left, rc.top, rc.right, rc.top + 2);
      dc->DrawEdge(&r, EDGE_ETCHED, BF_TOP);
      break;
    }
    case SS_ETCHEDVERT: {
      CRect r(rc.left, rc.top, rc.left + 2, rc.bottom);
      dc->DrawEdge(&r, EDGE_ETCHED, BF_LEFT);
      break;
    }
    case SS_ETCHEDFRAME: dc->DrawEdge(&rc, EDGE_ETCHED, BF_RECT); break;
    case SS_BITMAP:
    case SS_ICON: {
      dc->FillRect(&rc, CBrush::FromHandle(br));
      if (s->image && type == SS_BITMAP) {
        BITMAP bm{};
        ::GetObject(s->image, sizeof(bm), &bm);
        CDC mem;
        mem.CreateCompatibleDC(dc);
        CBitmap* old = mem.SelectObject(CBitmap::FromHandle((HBITMAP)s->image));
        int x = (style & SS_CENTERIMAGE) ? (rc.Width() - bm.bmWidth) / 2 : 0;
        int y = (style & SS_CENTERIMAGE) ? (rc.Height() - bm.bmHeight) / 2 : 0;
        dc->BitBlt(x, y, bm.bmWidth, bm.bmHeight, &mem, 0, 0, SRCCOPY);
        mem.SelectObject(old);
      }
      if (s->image && type == SS_ICON) {
        ICONINFO ii{};
        if (::GetIconInfo((HICON)s->image, &ii)) {
          BITMAP bm{};
          ::GetObject(ii.hbmColor, sizeof(bm), &bm);
          ::DeleteObject(ii.hbmColor);
          ::DeleteObject(ii.hbmMask);
          int x = (style & SS_CENTERIMAGE) ? (rc.Width() - bm.bmWidth) / 2 : 0;
          int y = (style & SS_CENTERIMAGE) ? (rc.Height() - bm.bmHeight) / 2 : 0;
          ::DrawIcon(dc->GetSafeHdc(), x, y, (HICON)s->image);
        }
      }
      break;
    }
    default: {
      // A null brush from the parent means a see-through label: the parent's pixels stay.
      auto* bd = static_cast<AfxBrushData*>(AfxGdi(br));
      if (!(bd && bd->style == BS_NULL)) dc->FillRect(&rc, CBrush::FromHandle(br));
      CFont* oldFont = dc->SelectObject(CFont::FromHandle(AfxCtlFont(h)));
      dc->SetBkMode(bkMode == TRANSPARENT ? TRANSPARENT : TRANSPARENT);
      dc->SetTextColor(::IsWindowEnabled(h) ? textColor : GetSysColor(COLOR_GRAYTEXT));
      std::string t = AfxStdStr(AfxCtlText(h));
      dc->DrawText(t.c_str(), (int)t.size(), &rc, staticFormat(style));
      dc->SelectObject(oldFont);
    }
  }
  if (style & SS_SUNKEN) dc->DrawEdge(&rc, BDR_SUNKENOUTER, BF_RECT);
  ::EndPaint(h, &ps);
}

}  // namespace

AfxCtlState* AfxNewButtonState() { return new ButtonState; }
AfxCtlState* AfxNewStaticState() { return new StaticState; }

LRESULT AfxButtonProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  auto* s = AfxCtlStateAs<ButtonState>(h);
  if (!s) return ::DefWindowProc(h, msg, wp, lp);
  UINT t = btype(h);
  switch (msg) {
    case WM_PAINT: paintButton(h, s); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETTEXT: {
      LRESULT r = ::DefWindowProc(h, msg, wp, lp);
      AfxCtlInvalidate(h);
      return r;
    }
    case WM_ENABLE: AfxCtlInvalidate(h); return 0;
    case WM_GETDLGCODE:
      if (t == BS_GROUPBOX) return DLGC_STATIC;
      if (isRadio(t)) return DLGC_BUTTON | DLGC_RADIOBUTTON;
      if (t == BS_DEFPUSHBUTTON) return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
      if (t == BS_PUSHBUTTON) return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
      return DLGC_BUTTON;
    case WM_SETFOCUS:
      AfxCtlInvalidate(h);
      if (AfxCtlStyle(h) & BS_NOTIFY) AfxCtlCommand(h, BN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      s->pushed = false;
      AfxCtlInvalidate(h);
      if (AfxCtlStyle(h) & BS_NOTIFY) AfxCtlCommand(h, BN_KILLFOCUS);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (t == BS_GROUPBOX) return 0;
      if (msg == WM_LBUTTONDBLCLK && (AfxCtlStyle(h) & BS_NOTIFY)) AfxCtlCommand(h, BN_DOUBLECLICKED);
      if (::GetFocus() != h) ::SetFocus(h);
      if (!AfxRec(h)) return 0;
      s->tracking = true;
      s->pushed = true;
      ::SetCapture(h);
      AfxCtlInvalidate(h);
      return 0;
    case WM_MOUSEMOVE:
      if (s->tracking) {
        RECT rc;
        ::GetClientRect(h, &rc);
        bool in = PtInRect(&rc, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        if (in != s->pushed) {
          s->pushed = in;
          AfxCtlInvalidate(h);
        }
      }
      return 0;
    case WM_LBUTTONUP:
      if (s->tracking) {
        bool fire = s->pushed;
        s->tracking = false;
        s->pushed = false;
        if (::GetCapture() == h) ::ReleaseCapture();
        AfxCtlInvalidate(h);
        if (fire && AfxRec(h)) click(h, s);
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (s->tracking) {
        s->tracking = false;
        s->pushed = false;
        AfxCtlInvalidate(h);
      }
      return 0;
    case WM_KEYDOWN:
      if (wp == VK_SPACE && t != BS_GROUPBOX) {
        s->pushed = true;
        AfxCtlInvalidate(h);
      }
      return 0;
    case WM_KEYUP:
      if (wp == VK_SPACE && s->pushed) {
        s->pushed = false;
        click(h, s);
      }
      return 0;
    case BM_GETCHECK: return s->check;
    case BM_SETCHECK:
      if (isCheck(t) || isRadio(t) || t == BS_OWNERDRAW || (AfxCtlStyle(h) & BS_PUSHLIKE)) {
        s->check = (int)std::min<WPARAM>(wp, 2);
        if (s->check == BST_INDETERMINATE && t != BS_3STATE && t != BS_AUTO3STATE && t != BS_OWNERDRAW)
          s->check = BST_CHECKED;
        AfxCtlInvalidate(h);
      }
      return 0;
    case BM_GETSTATE: return s->check | (s->pushed ? BST_PUSHED : 0) | (AfxCtlHasFocus(h) ? BST_FOCUS : 0);
    case BM_SETSTATE:
      s->pushed = wp != 0;
      AfxCtlInvalidate(h);
      return 0;
    case BM_SETSTYLE:
      if (AfxWndRec* r = AfxRec(h)) r->style = (r->style & ~0xFFFFu) | (DWORD)(wp & 0xFFFF);
      if (lp) AfxCtlInvalidate(h);
      return 0;
    case BM_CLICK: click(h, s); return 0;
    case BM_SETIMAGE: {
      HBITMAP old = s->bitmap;
      s->bitmap = (HBITMAP)lp;
      AfxCtlInvalidate(h);
      return (LRESULT)old;
    }
    case BM_GETIMAGE: return (LRESULT)s->bitmap;
  }
  return ::DefWindowProc(h, msg, wp, lp);
}

LRESULT AfxStaticProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  auto* s = AfxCtlStateAs<StaticState>(h);
  if (!s) return ::DefWindowProc(h, msg, wp, lp);
  switch (msg) {
    case WM_CREATE: loadNamedPicture(h, s, ((CREATESTRUCT*)lp)->lpszName); return ::DefWindowProc(h, msg, wp, lp);
    case WM_PAINT: paintStatic(h, s); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETTEXT: {
      LRESULT r = ::DefWindowProc(h, msg, wp, lp);
      AfxCtlInvalidate(h);
      return r;
    }
    case WM_ENABLE: AfxCtlInvalidate(h); return 0;
    case WM_GETDLGCODE: return DLGC_STATIC;
    case WM_LBUTTONDOWN:
      if (AfxCtlStyle(h) & SS_NOTIFY) AfxCtlCommand(h, STN_CLICKED);
      return 0;
    case WM_LBUTTONDBLCLK:
      if (AfxCtlStyle(h) & SS_NOTIFY) AfxCtlCommand(h, STN_DBLCLK);
      return 0;
    case STM_SETIMAGE:
    case STM_SETICON: {
      HGDIOBJ old = s->image;
      s->image = msg == STM_SETICON ? (HGDIOBJ)wp : (HGDIOBJ)lp;
      if (old == s->owned) s->owned = nullptr;  // handed back to the caller with the answer
      AfxCtlInvalidate(h);
      return (LRESULT)old;
    }
    case STM_GETIMAGE:
    case STM_GETICON: return (LRESULT)s->image;
  }
  return ::DefWindowProc(h, msg, wp, lp);
}

// ======================================================================================
// Wrappers
// ======================================================================================
IMPLEMENT_DYNAMIC(CEdit, CControlWnd)
IMPLEMENT_DYNAMIC(CButton, CControlWnd)
IMPLEMENT_DYNAMIC(CStatic, CControlWnd)

BOOL CEdit::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CreateControl(WC_EDIT, "", dwStyle, rect, pParentWnd, nID);
}
BOOL CEdit::CreateEx(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CreateControl(WC_EDIT, "", dwStyle, rect, pParentWnd, nID, dwExStyle);
}
void CEdit::SetSel(int a, int b, BOOL bNoScroll) {
  SendMessage(EM_SETSEL, (WPARAM)a, (LPARAM)b);
  if (!bNoScroll) SendMessage(EM_SCROLLCARET);
}
DWORD CEdit::GetSel() const { return (DWORD)SendMessage(EM_GETSEL); }
void CEdit::GetSel(int& a, int& b) const {
  DWORD x = 0, y = 0;
  SendMessage(EM_GETSEL, (WPARAM)&x, (LPARAM)&y);
  a = (int)x;
  b = (int)y;
}
void CEdit::ReplaceSel(LPCTSTR t, BOOL bCanUndo) { SendMessage(EM_REPLACESEL, (WPARAM)bCanUndo, (LPARAM)t); }
void CEdit::SetLimitText(UINT nMax) { SendMessage(EM_SETLIMITTEXT, nMax); }
UINT CEdit::GetLimitText() const { return (UINT)SendMessage(EM_GETLIMITTEXT); }
BOOL CEdit::SetReadOnly(BOOL b) { return (BOOL)SendMessage(EM_SETREADONLY, (WPARAM)b); }
int CEdit::GetLineCount() const { return (int)SendMessage(EM_GETLINECOUNT); }
int CEdit::LineIndex(int n) const { return (int)SendMessage(EM_LINEINDEX, (WPARAM)n); }
int CEdit::LineLength(int n) const { return (int)SendMessage(EM_LINELENGTH, (WPARAM)n); }
int CEdit::LineFromChar(int n) const { return (int)SendMessage(EM_LINEFROMCHAR, (WPARAM)n); }
int CEdit::GetLine(int nIndex, LPTSTR buf, int nMax) const {
  if (!buf || nMax <= 0) return 0;
  *(WORD*)buf = (WORD)std::min(nMax, 0xFFFF);
  return (int)SendMessage(EM_GETLINE, (WPARAM)nIndex, (LPARAM)buf);
}
BOOL CEdit::GetModify() const { return (BOOL)SendMessage(EM_GETMODIFY); }
void CEdit::SetModify(BOOL b) { SendMessage(EM_SETMODIFY, (WPARAM)b); }
BOOL CEdit::CanUndo() const { return (BOOL)SendMessage(EM_CANUNDO); }
BOOL CEdit::Undo() { return (BOOL)SendMessage(EM_UNDO); }
void CEdit::EmptyUndoBuffer() { SendMessage(EM_EMPTYUNDOBUFFER); }
void CEdit::Clear() { SendMessage(WM_CLEAR); }
void CEdit::Copy() { SendMessage(WM_COPY); }
void CEdit::Cut() { SendMessage(WM_CUT); }
void CEdit::Paste() { SendMessage(WM_PASTE); }
void CEdit::SetPasswordChar(TCHAR ch) { SendMessage(EM_SETPASSWORDCHAR, (WPARAM)(BYTE)ch); }

BOOL CButton::Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CreateControl(WC_BUTTON, lpszCaption, dwStyle, rect, pParentWnd, nID);
}
int CButton::GetCheck() const { return (int)SendMessage(BM_GETCHECK); }
void CButton::SetCheck(int n) { SendMessage(BM_SETCHECK, (WPARAM)n); }
UINT CButton::GetState() const { return (UINT)SendMessage(BM_GETSTATE); }
void CButton::SetState(BOOL b) { SendMessage(BM_SETSTATE, (WPARAM)b); }
UINT CButton::GetButtonStyle() const { return GetStyle() & 0xFFFF; }
void CButton::SetButtonStyle(UINT n, BOOL bRedraw) { SendMessage(BM_SETSTYLE, n, bRedraw); }
HBITMAP CButton::SetBitmap(HBITMAP b) { return (HBITMAP)SendMessage(BM_SETIMAGE, IMAGE_BITMAP, (LPARAM)b); }
HBITMAP CButton::GetBitmap() const { return (HBITMAP)SendMessage(BM_GETIMAGE, IMAGE_BITMAP); }

BOOL CStatic::Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CreateControl(WC_STATIC, lpszText, dwStyle, rect, pParentWnd, nID);
}
HICON CStatic::SetIcon(HICON hIcon) { return (HICON)SendMessage(STM_SETICON, (WPARAM)hIcon); }
HICON CStatic::GetIcon() const { return (HICON)SendMessage(STM_GETICON); }
HBITMAP CStatic::SetBitmap(HBITMAP b) { return (HBITMAP)SendMessage(STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)b); }
HBITMAP CStatic::GetBitmap() const { return (HBITMAP)SendMessage(STM_GETIMAGE, IMAGE_BITMAP); }
