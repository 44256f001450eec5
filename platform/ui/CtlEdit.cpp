// The edit control: single and multi-line text with a caret and a selection, limits,
// read-only, number and case styles, the clipboard commands, and EN_UPDATE/EN_CHANGE after
// every change of the text (the program's own included).
#include "platform/ui/CtlInternal.h"

#include <QFontMetrics>

#include <algorithm>

namespace {

struct EditState : AfxCtlState {
  QString text;
  bool loaded = false;  // text taken from the window text given at creation
  int anchor = 0, caret = 0;
  int limit = 30000;
  bool modified = false;
  QString undoText;
  bool canUndo = false;
  int scrollX = 0;
  int topLine = 0;
  QChar password = QChar('*');
  bool tracking = false;
};

EditState* st(HWND h) {
  auto* s = AfxCtlStateAs<EditState>(h);
  if (s && !s->loaded) {
    s->loaded = true;
    s->text = AfxCtlText(h);
  }
  return s;
}

bool multi(HWND h) { return (AfxCtlStyle(h) & ES_MULTILINE) != 0; }
bool readOnly(HWND h) { return (AfxCtlStyle(h) & ES_READONLY) != 0; }

QFont fontOf(HWND h) {
  auto* fd = static_cast<AfxFontData*>(AfxGdi(AfxCtlFont(h)));
  return fd ? fd->qfont : QFont();
}

std::vector<int> lineStarts(const QString& t) {
  std::vector<int> v{0};
  for (int i = 0; i < t.size(); ++i)
    if (t[i] == QChar('\n')) v.push_back(i + 1);
  return v;
}

int lineOf(const std::vector<int>& starts, int pos) {
  int l = 0;
  while (l + 1 < (int)starts.size() && starts[(size_t)l + 1] <= pos) ++l;
  return l;
}

// Characters of a line, without its line break.
QString lineText(const QString& t, const std::vector<int>& starts, int l) {
  int b = starts[(size_t)l];
  int e = l + 1 < (int)starts.size() ? starts[(size_t)l + 1] - 1 : (int)t.size();
  if (e > b && t[e - 1] == QChar('\r')) --e;
  return t.mid(b, std::max(0, e - b));
}

QString shown(HWND h, EditState* s, const QString& line) {
  if (AfxCtlStyle(h) & ES_PASSWORD) return QString(line.size(), s->password);
  return line;
}

void changed(HWND h) {
  AfxCtlInvalidate(h);
  AfxCtlCommand(h, EN_UPDATE);
  if (AfxRec(h)) AfxCtlCommand(h, EN_CHANGE);
}

void setText(HWND h, EditState* s, const QString& t) {
  s->text = t;
  AfxCtlSetText(h, t);
}

void keepCaretVisible(HWND h, EditState* s) {
  RECT rc;
  ::GetClientRect(h, &rc);
  QFontMetrics fm(fontOf(h));
  auto starts = lineStarts(s->text);
  int l = lineOf(starts, s->caret);
  QString line = shown(h, s, lineText(s->text, starts, l));
  int x = fm.horizontalAdvance(line.left(s->caret - starts[(size_t)l]));
  int w = std::max(1, (int)rc.right - 4);
  if (x - s->scrollX > w) s->scrollX = x - w;
  if (x < s->scrollX) s->scrollX = std::max(0, x - w / 3);
  if (multi(h)) {
    int lh = std::max(1, fm.height());
    int visible = std::max(1, (int)(rc.bottom - 2) / lh);
    if (l < s->topLine) s->topLine = l;
    if (l >= s->topLine + visible) s->topLine = l - visible + 1;
  }
}

// Replaces the selection; typed input obeys the limit, the program's does not.
bool replaceSel(HWND h, EditState* s, QString in, bool byUser, bool undoable) {
  int a = std::min(s->anchor, s->caret), b = std::max(s->anchor, s->caret);
  if (byUser) {
    int room = s->limit - ((int)s->text.size() - (b - a));
    if (room < (int)in.size()) {
      in = in.left(std::max(0, room));
      AfxCtlCommand(h, EN_MAXTEXT);
      if (!AfxRec(h)) return false;
      if (in.isEmpty()) return false;
    }
  }
  if (undoable) {
    s->undoText = s->text;
    s->canUndo = true;
  }
  QString t = s->text;
  t.replace(a, b - a, in);
  setText(h, s, t);
  s->anchor = s->caret = a + (int)in.size();
  s->modified = true;
  keepCaretVisible(h, s);
  changed(h);
  return true;
}

int posFromPoint(HWND h, EditState* s, int x, int y) {
  QFontMetrics fm(fontOf(h));
  auto starts = lineStarts(s->text);
  int l = 0;
  if (multi(h)) l = std::clamp(s->topLine + (y - 1) / std::max(1, fm.height()), 0, (int)starts.size() - 1);
  QString line = shown(h, s, lineText(s->text, starts, l));
  int best = 0, bestD = 1 << 30;
  for (int i = 0; i <= line.size(); ++i) {
    int d = std::abs(fm.horizontalAdvance(line.left(i)) + 2 - s->scrollX - x);
    if (d < bestD) {
      bestD = d;
      best = i;
    }
  }
  return starts[(size_t)l] + best;
}

void paint(HWND h, EditState* s, WPARAM given) {
  AfxCtlPaintDC paintDc(h, given);
  CDC* dc = paintDc.dc();
  if (!dc) return;
  RECT rc;
  ::GetClientRect(h, &rc);
  bool grey = readOnly(h) || !::IsWindowEnabled(h);
  HBRUSH br = AfxCtlColor(h, dc, grey ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT);
  dc->FillRect(&rc, CBrush::FromHandle(br));
  if (!::IsWindowEnabled(h)) dc->SetTextColor(GetSysColor(COLOR_GRAYTEXT));
  CFont* oldFont = dc->SelectObject(CFont::FromHandle(AfxCtlFont(h)));
  dc->SetBkMode(TRANSPARENT);
  QFontMetrics fm(fontOf(h));
  int lh = fm.height();
  auto starts = lineStarts(s->text);
  bool focus = AfxCtlHasFocus(h);
  bool showSel = focus || (AfxCtlStyle(h) & ES_NOHIDESEL);
  int a = std::min(s->anchor, s->caret), b = std::max(s->anchor, s->caret);
  int y0 = multi(h) ? 1 : std::max(0, ((int)rc.bottom - lh) / 2);
  for (int l = multi(h) ? s->topLine : 0; l < (int)starts.size(); ++l) {
    int y = y0 + (l - (multi(h) ? s->topLine : 0)) * lh;
    if (y > rc.bottom) break;
    QString line = shown(h, s, lineText(s->text, starts, l));
    int x = 2 - s->scrollX;
    int width = fm.horizontalAdvance(line);
    if (!multi(h) && width < rc.right - 4) {
      if (AfxCtlStyle(h) & ES_CENTER)
        x = (rc.right - width) / 2;
      else if (AfxCtlStyle(h) & ES_RIGHT)
        x = rc.right - 2 - width;
    }
    std::string u = AfxStdStr(line);
    dc->TextOut(x, y, u.c_str(), (int)u.size());
    int ls = starts[(size_t)l], le = ls + (int)line.size();
    if (showSel && a != b && b > ls && a <= le) {
      int sa = std::max(a, ls) - ls, sb = std::min(b, le) - ls;
      int xa = x + fm.horizontalAdvance(line.left(sa)), xb = x + fm.horizontalAdvance(line.left(sb));
      dc->FillSolidRect(xa, y, std::max(1, xb - xa), lh, GetSysColor(COLOR_HIGHLIGHT));
      dc->SetTextColor(GetSysColor(COLOR_HIGHLIGHTTEXT));
      std::string sel = AfxStdStr(line.mid(sa, sb - sa));
      dc->TextOut(xa, y, sel.c_str(), (int)sel.size());
      dc->SetTextColor(GetSysColor(grey && !::IsWindowEnabled(h) ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
    }
    if (focus && s->caret >= ls && s->caret <= le && lineOf(starts, s->caret) == l) {
      int cx = x + fm.horizontalAdvance(line.left(s->caret - ls));
      dc->FillSolidRect(cx, y, 1, lh, GetSysColor(COLOR_WINDOWTEXT));
    }
  }
  dc->SelectObject(oldFont);
}

void moveCaret(HWND h, EditState* s, int pos, bool extend) {
  s->caret = std::clamp(pos, 0, (int)s->text.size());
  if (!extend) s->anchor = s->caret;
  keepCaretVisible(h, s);
  AfxCtlInvalidate(h);
}

// ---- One handler per message ----

LRESULT OnEdSetText(HWND h, EditState* s, LPARAM lp) {
  QString t = AfxQStr((LPCTSTR)lp);
  setText(h, s, t);
  s->anchor = s->caret = 0;
  s->scrollX = 0;
  s->topLine = 0;
  s->modified = false;
  s->canUndo = false;
  changed(h);
  return TRUE;
}

LRESULT OnEdGetDlgCode(HWND h, LPARAM lp) {
  LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS | (multi(h) ? DLGC_WANTALLKEYS : 0);
  // In a dialog, Esc still cancels from a multi-line edit, Tab moves on to the next control,
  // and Enter presses the default button unless the edit keeps it for new lines.
  if (auto* m = (const MSG*)lp;
      m && m->message == WM_KEYDOWN &&
      (m->wParam == VK_ESCAPE || m->wParam == VK_TAB || (m->wParam == VK_RETURN && !(AfxCtlStyle(h) & ES_WANTRETURN))))
    code &= ~(LRESULT)DLGC_WANTALLKEYS;
  return code;
}

LRESULT OnEdFocus(HWND h, UINT code) {
  AfxCtlInvalidate(h);
  AfxCtlCommand(h, code);
  return 0;
}

LRESULT OnEdLButtonDown(HWND h, EditState* s, LPARAM lp) {
  if (::GetFocus() != h) ::SetFocus(h);
  if (!AfxRec(h)) return 0;
  bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
  moveCaret(h, s, posFromPoint(h, s, GET_X_LPARAM(lp), GET_Y_LPARAM(lp)), shift);
  s->tracking = true;
  ::SetCapture(h);
  return 0;
}

LRESULT OnEdLButtonUp(HWND h, EditState* s) {
  if (s->tracking) {
    s->tracking = false;
    if (::GetCapture() == h) ::ReleaseCapture();
  }
  return 0;
}

LRESULT OnEdLButtonDblClk(HWND h, EditState* s, LPARAM lp) {
  // The word under the pointer.
  int p = posFromPoint(h, s, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
  int a = p, b = p;
  while (a > 0 && s->text[a - 1].isLetterOrNumber()) --a;
  while (b < s->text.size() && s->text[b].isLetterOrNumber()) ++b;
  s->anchor = a;
  moveCaret(h, s, b, true);
  return 0;
}

// The length of the character before or after the caret: a line break is two.
int stepBack(EditState* s) { return s->caret > 1 && s->text.mid(s->caret - 2, 2) == "\r\n" ? 2 : 1; }
int stepForward(EditState* s) { return s->text.mid(s->caret, 2) == "\r\n" ? 2 : 1; }

void keyDelete(HWND h, EditState* s, bool shift) {
  if (readOnly(h)) {
    MessageBeep(0);
    return;
  }
  if (shift) {
    ::SendMessage(h, WM_CUT, 0, 0);
    return;
  }
  if (s->anchor == s->caret) {
    if (s->caret >= (int)s->text.size()) return;
    s->anchor = s->caret + stepForward(s);
  }
  replaceSel(h, s, QString(), true, true);
}

LRESULT OnEdKeyDown(HWND h, EditState* s, WPARAM wp, LPARAM lp) {
  if (wp == VK_UP || wp == VK_DOWN) {
    if (HWND ud = AfxUpDownOfBuddy(h)) return ::SendMessage(ud, WM_KEYDOWN, wp, lp);
  }
  bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
  bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
  auto starts = lineStarts(s->text);
  int l = lineOf(starts, s->caret);
  int lineEnd = starts[(size_t)l] + (int)lineText(s->text, starts, l).size();
  switch (wp) {
    case VK_LEFT:
      if (!shift && s->anchor != s->caret)
        moveCaret(h, s, std::min(s->anchor, s->caret), false);
      else
        moveCaret(h, s, s->caret - stepBack(s), shift);
      break;
    case VK_RIGHT:
      if (!shift && s->anchor != s->caret)
        moveCaret(h, s, std::max(s->anchor, s->caret), false);
      else
        moveCaret(h, s, s->caret + stepForward(s), shift);
      break;
    case VK_HOME: moveCaret(h, s, ctrl ? 0 : starts[(size_t)l], shift); break;
    case VK_END: moveCaret(h, s, ctrl ? (int)s->text.size() : lineEnd, shift); break;
    case VK_UP:
    case VK_DOWN: {
      if (!multi(h)) break;
      int nl = l + (wp == VK_UP ? -1 : 1);
      if (nl < 0 || nl >= (int)starts.size()) break;
      int col = s->caret - starts[(size_t)l];
      moveCaret(h, s, starts[(size_t)nl] + std::min(col, (int)lineText(s->text, starts, nl).size()), shift);
      break;
    }
    case VK_DELETE: keyDelete(h, s, shift); break;
    case VK_INSERT:
      if (shift)
        ::SendMessage(h, WM_PASTE, 0, 0);
      else if (ctrl)
        ::SendMessage(h, WM_COPY, 0, 0);
      break;
  }
  return 0;
}

LRESULT OnEdChar(HWND h, EditState* s, WPARAM wp) {
  uint c = (uint)wp;
  switch (c) {
    case 1:
      s->anchor = 0;
      moveCaret(h, s, (int)s->text.size(), true);
      return 0;  // Ctrl+A
    case 3: ::SendMessage(h, WM_COPY, 0, 0); return 0;
    case 0x16: ::SendMessage(h, WM_PASTE, 0, 0); return 0;
    case 0x18: ::SendMessage(h, WM_CUT, 0, 0); return 0;
    case 0x1A: ::SendMessage(h, WM_UNDO, 0, 0); return 0;
  }
  if (readOnly(h)) {
    MessageBeep(0);
    return 0;
  }
  if (c == 8) {
    if (s->anchor == s->caret) {
      if (s->caret == 0) return 0;
      s->anchor = s->caret - stepBack(s);
    }
    replaceSel(h, s, QString(), true, true);
    return 0;
  }
  if (c == '\r' || c == '\n') {
    if (multi(h) && (AfxCtlStyle(h) & ES_WANTRETURN)) replaceSel(h, s, QStringLiteral("\r\n"), true, true);
    return 0;
  }
  if (c < 0x20 && c != '\t') return 0;
  if (c == '\t' && !multi(h)) return 0;
  QString in = QString(QChar(c));
  if ((AfxCtlStyle(h) & ES_NUMBER) && !QChar(c).isDigit()) {
    MessageBeep(0);
    return 0;
  }
  if (AfxCtlStyle(h) & ES_UPPERCASE) in = in.toUpper();
  if (AfxCtlStyle(h) & ES_LOWERCASE) in = in.toLower();
  replaceSel(h, s, in, true, true);
  return 0;
}

LRESULT OnEdCut(HWND h, EditState* s) {
  if (readOnly(h) || s->anchor == s->caret || (AfxCtlStyle(h) & ES_PASSWORD)) return 0;
  ::SendMessage(h, WM_COPY, 0, 0);
  ::SendMessage(h, WM_CLEAR, 0, 0);
  return 0;
}

LRESULT OnEdCopy(HWND h, EditState* s) {
  if (s->anchor != s->caret && !(AfxCtlStyle(h) & ES_PASSWORD)) {
    int a = std::min(s->anchor, s->caret), b = std::max(s->anchor, s->caret);
    AfxCtlSetClipboardText(s->text.mid(a, b - a));
  }
  return 0;
}

LRESULT OnEdPaste(HWND h, EditState* s) {
  if (readOnly(h)) return 0;
  QString t = AfxCtlClipboardText();
  if (!multi(h)) {
    int nl = t.indexOf(QChar('\n'));
    if (nl >= 0) t = t.left(nl);
    t.remove(QChar('\r'));
  }
  if (!t.isEmpty()) replaceSel(h, s, t, true, true);
  return 0;
}

LRESULT OnEdClear(HWND h, EditState* s) {
  if (readOnly(h) || s->anchor == s->caret) return 0;
  replaceSel(h, s, QString(), true, true);
  return 0;
}

LRESULT OnEdUndo(HWND h, EditState* s) {
  if (!s->canUndo) return FALSE;
  QString t = s->undoText;
  s->undoText = s->text;
  setText(h, s, t);
  s->anchor = s->caret = (int)t.size();
  s->modified = true;
  changed(h);
  return TRUE;
}

LRESULT OnEdGetSel(EditState* s, WPARAM wp, LPARAM lp) {
  DWORD a = (DWORD)std::min(s->anchor, s->caret), b = (DWORD)std::max(s->anchor, s->caret);
  if (wp) *(DWORD*)wp = a;
  if (lp) *(DWORD*)lp = b;
  return MAKELONG(std::min<DWORD>(a, 0xFFFF), std::min<DWORD>(b, 0xFFFF));
}

LRESULT OnEdSetSel(HWND h, EditState* s, WPARAM wp, LPARAM lp) {
  int a = (int)wp, b = (int)lp, n = (int)s->text.size();
  if (a == -1) {
    s->anchor = s->caret;
    AfxCtlInvalidate(h);
    return 0;
  }
  if (a < 0 || a > n) a = n;
  if (b < 0 || b > n) b = n;
  s->anchor = a;
  s->caret = b;
  keepCaretVisible(h, s);
  AfxCtlInvalidate(h);
  return 0;
}

// Sets or clears a style bit the edit reads as it draws.
void setStyleBit(HWND h, DWORD bit, bool on) {
  if (AfxWndRec* r = AfxRec(h)) r->style = on ? (r->style | bit) : (r->style & ~bit);
  AfxCtlInvalidate(h);
}

LRESULT OnEdSetPasswordChar(HWND h, EditState* s, WPARAM wp) {
  if (wp) s->password = QChar((uint)wp);
  setStyleBit(h, ES_PASSWORD, wp != 0);
  return 0;
}

LRESULT OnEdLineIndex(EditState* s, WPARAM wp) {
  auto starts = lineStarts(s->text);
  int l = (int)wp == -1 ? lineOf(starts, s->caret) : (int)wp;
  return l >= 0 && l < (int)starts.size() ? starts[(size_t)l] : -1;
}

LRESULT OnEdLineFromChar(EditState* s, WPARAM wp) {
  auto starts = lineStarts(s->text);
  return lineOf(starts, (int)wp == -1 ? s->caret : (int)wp);
}

LRESULT OnEdLineLength(EditState* s, WPARAM wp) {
  auto starts = lineStarts(s->text);
  int l = lineOf(starts, (int)wp == -1 ? s->caret : std::clamp((int)wp, 0, (int)s->text.size()));
  return (LRESULT)lineText(s->text, starts, l).size();
}

LRESULT OnEdGetLine(EditState* s, WPARAM wp, LPARAM lp) {
  auto starts = lineStarts(s->text);
  int l = (int)wp;
  if (l < 0 || l >= (int)starts.size() || !lp) return 0;
  std::string u = AfxStdStr(lineText(s->text, starts, l));
  // The buffer's first word holds its size, as on the platform; no terminator is added.
  WORD cap = *(WORD*)lp;
  size_t n = std::min<size_t>(u.size(), cap);
  std::copy(u.begin(), u.begin() + (long)n, (char*)lp);
  return (LRESULT)n;
}

}  // namespace

AfxCtlState* AfxNewEditState() { return new EditState; }

LRESULT AfxEditProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  EditState* s = st(h);
  if (!s) return ::DefWindowProc(h, msg, wp, lp);
  if (LRESULT res = 0; AfxComboEditFilter(h, msg, wp, lp, &res)) return res;
  switch (msg) {
    case WM_SETTEXT: return OnEdSetText(h, s, lp);
    case WM_GETDLGCODE: return OnEdGetDlgCode(h, lp);
    case WM_SETFOCUS: return OnEdFocus(h, EN_SETFOCUS);
    case WM_KILLFOCUS: return OnEdFocus(h, EN_KILLFOCUS);
    case WM_ENABLE: AfxCtlInvalidate(h); return 0;
    case WM_PAINT:
    case WM_PRINTCLIENT: paint(h, s, wp); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN: return OnEdLButtonDown(h, s, lp);
    case WM_MOUSEMOVE:
      if (s->tracking && ::GetCapture() == h)
        moveCaret(h, s, posFromPoint(h, s, GET_X_LPARAM(lp), GET_Y_LPARAM(lp)), true);
      return 0;
    case WM_LBUTTONUP: return OnEdLButtonUp(h, s);
    case WM_CAPTURECHANGED: s->tracking = false; return 0;
    case WM_LBUTTONDBLCLK: return OnEdLButtonDblClk(h, s, lp);
    case WM_KEYDOWN: return OnEdKeyDown(h, s, wp, lp);
    case WM_CHAR: return OnEdChar(h, s, wp);
    case WM_CUT: return OnEdCut(h, s);
    case WM_COPY: return OnEdCopy(h, s);
    case WM_PASTE: return OnEdPaste(h, s);
    case WM_CLEAR: return OnEdClear(h, s);
    case WM_UNDO:
    case EM_UNDO: return OnEdUndo(h, s);
    case EM_CANUNDO: return s->canUndo;
    case EM_EMPTYUNDOBUFFER: s->canUndo = false; return 0;
    case EM_GETSEL: return OnEdGetSel(s, wp, lp);
    case EM_SETSEL: return OnEdSetSel(h, s, wp, lp);
    case EM_REPLACESEL: replaceSel(h, s, AfxQStr((LPCTSTR)lp), false, wp != 0); return 0;
    case EM_LIMITTEXT: s->limit = wp == 0 ? 0x7FFFFFFE : (int)std::min<WPARAM>(wp, 0x7FFFFFFE); return 0;
    case EM_GETLIMITTEXT: return s->limit;
    case EM_SETREADONLY: setStyleBit(h, ES_READONLY, wp != 0); return TRUE;
    case EM_GETMODIFY: return s->modified;
    case EM_SETMODIFY: s->modified = wp != 0; return 0;
    case EM_SETPASSWORDCHAR: return OnEdSetPasswordChar(h, s, wp);
    case EM_GETPASSWORDCHAR: return (AfxCtlStyle(h) & ES_PASSWORD) ? s->password.unicode() : 0;
    case EM_GETLINECOUNT: return (LRESULT)lineStarts(s->text).size();
    case EM_LINEINDEX: return OnEdLineIndex(s, wp);
    case EM_LINEFROMCHAR: return OnEdLineFromChar(s, wp);
    case EM_LINELENGTH: return OnEdLineLength(s, wp);
    case EM_GETLINE: return OnEdGetLine(s, wp, lp);
    case EM_SCROLLCARET:
      keepCaretVisible(h, s);
      AfxCtlInvalidate(h);
      return TRUE;
    case EM_GETFIRSTVISIBLELINE: return s->topLine;
  }
  return ::DefWindowProc(h, msg, wp, lp);
}
