#include "views/TransparentStatic.h"

IMPLEMENT_DYNAMIC(CTransparentStatic, CStatic)

BEGIN_MESSAGE_MAP(CTransparentStatic, CStatic)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

BOOL CTransparentStatic::PreCreateWindow(CREATESTRUCT& cs) {
  // The parent's pixels are what this label draws on.
  cs.dwExStyle |= WS_EX_TRANSPARENT;
  return CStatic::PreCreateWindow(cs);
}

void CTransparentStatic::PreSubclassWindow() {
  ModifyStyleEx(0, WS_EX_TRANSPARENT);
  CStatic::PreSubclassWindow();
}

void CTransparentStatic::SetWindowText(LPCTSTR lpszString) {
  m_strText = lpszString ? lpszString : "";
  CStatic::SetWindowText(m_strText);
  Invalidate(TRUE);
}

UINT CTransparentStatic::DrawTextFlags(DWORD style) {
  UINT flags = 0;
  switch (style & SS_TYPEMASK) {
    case SS_CENTER: flags |= DT_CENTER; break;
    case SS_RIGHT: flags |= DT_RIGHT; break;
    default: flags |= DT_LEFT; break;
  }
  if (style & SS_CENTERIMAGE) flags |= DT_VCENTER | DT_SINGLELINE;
  if (style & SS_NOPREFIX) flags |= DT_NOPREFIX;
  if (style & SS_ENDELLIPSIS) flags |= DT_END_ELLIPSIS;
  if (style & SS_PATHELLIPSIS) flags |= DT_PATH_ELLIPSIS;
  if (style & SS_ELLIPSISMASK) flags |= DT_WORD_ELLIPSIS;
  if (!(style & SS_CENTERIMAGE) && !(style & SS_ELLIPSISMASK) && !(style & 0xC)) flags |= DT_WORDBREAK;
  return flags;
}

BOOL CTransparentStatic::OnEraseBkgnd(CDC*) { return TRUE; }

void CTransparentStatic::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  CString text;
  GetWindowText(text);
  CFont* font = GetFont();
  if (!font || !font->m_hObject) font = CFont::FromHandle((HFONT)::GetStockObject(DEFAULT_GUI_FONT));
  CFont* old = dc.SelectObject(font);
  dc.SetBkMode(TRANSPARENT);
  dc.DrawText(text, &rc, DrawTextFlags(GetStyle()));
  dc.SelectObject(old);
}
