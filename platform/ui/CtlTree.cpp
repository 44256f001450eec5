// The tree control: items in a linked hierarchy, drawn in the classic look (dotted lines, boxed
// +/- buttons, icons, highlighted selection), with the mouse, the keys, label editing in a child
// edit control, scroll bars, and the notifications a parent expects, in the order it expects them
// (NM_CLICK before the selection moves; TVN_*ING before a change, which the parent may refuse).
#include "platform/ui/CtlInternal.h"

#include <QFontMetrics>

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace {

struct Item {
  Item* parent = nullptr;
  Item* first = nullptr;
  Item* last = nullptr;
  Item* next = nullptr;
  Item* prev = nullptr;
  QString text;
  bool textCallback = false;
  int image = 0, selImage = 0;
  UINT state = 0;
  LPARAM lp = 0;
  int children = 0;  // as given by TVIF_CHILDREN: 0 none, 1 some, I_CHILDRENCALLBACK ask
  bool childrenSet = false;
  // The label's width, for the text and font it was measured in: every layout needs the widest
  // row, and shaping each label again made a scroll step cost a pass over the whole tree.
  QString widthText;
  QFont widthFont;
  int width = -1;
};

const UINT_PTR kEditTimer = 0x7EE1;
const int kButton = 9;  // side of the +/- box

struct TreeState : AfxCtlState {
  Item root;
  std::unordered_set<Item*> live;
  Item* sel = nullptr;
  Item* drop = nullptr;
  HIMAGELIST images[3] = {nullptr, nullptr, nullptr};
  int indent = 19;
  int height = 0;  // 0: from the font and the pictures
  COLORREF bk = CLR_NONE, fg = CLR_NONE, line = CLR_DEFAULT;
  int top = 0;      // first row shown
  int scrollX = 0;  // pixels scrolled to the left
  std::vector<Item*> rows;
  bool rowsDirty = true;
  // Label editing.
  HWND edit = nullptr;
  Item* editItem = nullptr;
  bool ending = false;
  // Mouse.
  bool lPressed = false, rPressed = false;
  Item* pressItem = nullptr;
  UINT pressFlags = 0;
  bool editOnRelease = false;
  Item* editCandidate = nullptr;
  bool thumbDrag = false;
  int thumbGrab = 0;
  bool inLayout = false;
  bool layoutPending = false;
  // Typing selects by the start of the text.
  QString search;
  DWORD searchTime = 0;
  // The bold variant of the control's font.
  HFONT boldBase = nullptr;
  HFONT bold = nullptr;

  ~TreeState() override {
    freeChildren(&root);
    if (bold) ::DeleteObject(bold);
  }
  static void freeChildren(Item* p) {
    for (Item* c = p->first; c;) {
      Item* n = c->next;
      freeChildren(c);
      delete c;
      c = n;
    }
    p->first = p->last = nullptr;
  }
};

std::unordered_map<HWND, WNDPROC>& editProcs() {
  static std::unordered_map<HWND, WNDPROC> m;
  return m;
}

TreeState* st(HWND h) { return AfxCtlStateAs<TreeState>(h); }

DWORD style(HWND h) { return AfxCtlStyle(h); }

Item* itemOf(TreeState* s, HTREEITEM hi) {
  auto* it = reinterpret_cast<Item*>(hi);
  return (s && it && s->live.count(it)) ? it : nullptr;
}
// TVI_ROOT and null stand for the invisible root where a parent is meant.
Item* parentOf(TreeState* s, HTREEITEM hi) {
  if (!hi || hi == TVI_ROOT) return &s->root;
  return itemOf(s, hi);
}
HTREEITEM handle(Item* i) { return reinterpret_cast<HTREEITEM>(i); }

int depthOf(Item* i) {
  int d = 0;
  for (Item* p = i->parent; p && p->parent; p = p->parent) ++d;
  return d;
}

// ---- fonts and sizes ----
HFONT fontFor(HWND h, TreeState* s, Item* i) {
  HFONT base = AfxCtlFont(h);
  if (!(i->state & TVIS_BOLD)) return base;
  if (s->boldBase != base || !s->bold) {
    if (s->bold) ::DeleteObject(s->bold);
    auto* fd = static_cast<AfxFontData*>(AfxGdi(base));
    LOGFONT lf = fd ? fd->lf : LOGFONT{};
    lf.lfWeight = FW_BOLD;
    s->bold = ::CreateFontIndirect(&lf);
    s->boldBase = base;
  }
  return s->bold ? s->bold : base;
}

QFont qfontOf(HFONT f) {
  auto* fd = static_cast<AfxFontData*>(AfxGdi(f));
  return fd ? fd->qfont : QFont();
}

SIZE imageSize(HIMAGELIST l) {
  SIZE sz{0, 0};
  if (!l) return sz;
  CImageList tmp;
  tmp.m_hImageList = l;
  int cx = 0, cy = 0;
  if (tmp.GetIconSize(&cx, &cy)) sz = SIZE{cx, cy};
  tmp.m_hImageList = nullptr;
  return sz;
}

void drawImage(HIMAGELIST l, int index, CDC* dc, int x, int y, UINT how) {
  CImageList tmp;
  tmp.m_hImageList = l;
  if (index >= 0 && index < tmp.GetImageCount()) tmp.Draw(dc, index, CPoint(x, y), how);
  tmp.m_hImageList = nullptr;
}

int rowHeight(HWND h, TreeState* s) {
  if (s->height > 0) return s->height;
  int hgt = AfxCtlLineHeight(h) + 3;
  hgt = std::max<int>(hgt, imageSize(s->images[TVSIL_NORMAL]).cy);
  hgt = std::max<int>(hgt, imageSize(s->images[TVSIL_STATE]).cy);
  // Even heights keep the dotted lines joined from row to row.
  if (!(style(h) & TVS_NONEVENHEIGHT) && (hgt & 1)) ++hgt;
  return std::max(1, hgt);
}

// ---- text through the callback when the item asks for it ----
QString textOf(HWND h, Item* i) {
  if (!i->textCallback) return i->text;
  char buf[1024] = {0};
  NMTVDISPINFO di{};
  di.hdr.code = TVN_GETDISPINFO;
  di.item.mask = TVIF_TEXT;
  di.item.hItem = handle(i);
  di.item.state = i->state;
  di.item.lParam = i->lp;
  di.item.pszText = buf;
  di.item.cchTextMax = (int)sizeof(buf);
  AfxCtlNotify(h, &di.hdr);
  if (!di.item.pszText || di.item.pszText == LPSTR_TEXTCALLBACK) return QString();
  if (di.item.pszText == buf) buf[sizeof(buf) - 1] = 0;
  return AfxQStr(di.item.pszText);
}

// The picture index, through the callback when the item asks for it.
int imageOf(HWND h, Item* i, bool selected) {
  int idx = selected ? i->selImage : i->image;
  if (idx != I_IMAGECALLBACK) return idx;
  NMTVDISPINFO di{};
  di.hdr.code = TVN_GETDISPINFO;
  di.item.mask = selected ? TVIF_SELECTEDIMAGE : TVIF_IMAGE;
  di.item.hItem = handle(i);
  di.item.lParam = i->lp;
  di.item.iImage = di.item.iSelectedImage = -1;
  AfxCtlNotify(h, &di.hdr);
  return selected ? di.item.iSelectedImage : di.item.iImage;
}

bool hasChildren(HWND h, Item* i) {
  if (i->first) return true;
  if (!i->childrenSet) return false;
  if (i->children != I_CHILDRENCALLBACK) return i->children != 0;
  NMTVDISPINFO di{};
  di.hdr.code = TVN_GETDISPINFO;
  di.item.mask = TVIF_CHILDREN;
  di.item.hItem = handle(i);
  di.item.lParam = i->lp;
  AfxCtlNotify(h, &di.hdr);
  return di.item.cChildren != 0;
}

// ---- rows ----
void rebuildRows(TreeState* s) {
  if (!s->rowsDirty) return;
  s->rows.clear();
  std::vector<Item*> stack;
  for (Item* c = s->root.last; c; c = c->prev) stack.push_back(c);
  while (!stack.empty()) {
    Item* i = stack.back();
    stack.pop_back();
    s->rows.push_back(i);
    if (i->state & TVIS_EXPANDED)
      for (Item* c = i->last; c; c = c->prev) stack.push_back(c);
  }
  s->rowsDirty = false;
}

int rowOf(TreeState* s, Item* i) {
  rebuildRows(s);
  auto it = std::find(s->rows.begin(), s->rows.end(), i);
  return it == s->rows.end() ? -1 : (int)(it - s->rows.begin());
}

bool rootColumn(HWND h) {
  DWORD st = style(h);
  return (st & TVS_LINESATROOT) && (st & (TVS_HASLINES | TVS_HASBUTTONS));
}

// Where an item's pictures start, in client coordinates.
int contentX(HWND h, TreeState* s, Item* i) {
  return (depthOf(i) + (rootColumn(h) ? 1 : 0)) * s->indent - s->scrollX + 3;
}

struct ItemGeom {
  int row = -1;
  CRect line;      // the whole row
  int button = 0;  // centre x of the +/- box and line column
  CRect state, icon, label;
};

int labelWidth(HWND h, TreeState* s, Item* i) {
  QString text = textOf(h, i);
  QFont font = qfontOf(fontFor(h, s, i));
  if (i->width < 0 || text != i->widthText || font != i->widthFont) {
    i->width = QFontMetrics(font).horizontalAdvance(text) + 4;
    i->widthText = std::move(text);
    i->widthFont = std::move(font);
  }
  return i->width;
}

ItemGeom geomOf(HWND h, TreeState* s, Item* i, int row) {
  ItemGeom g;
  g.row = row;
  RECT cr;
  ::GetClientRect(h, &cr);
  int hgt = rowHeight(h, s);
  int y = (row - s->top) * hgt;
  g.line = CRect(0, y, cr.right, y + hgt);
  int x = contentX(h, s, i);
  g.button = x - s->indent / 2 - 1;
  SIZE ss = imageSize(s->images[TVSIL_STATE]);
  g.state = CRect(x, y, x + ss.cx, y + hgt);
  x += ss.cx;
  SIZE is = imageSize(s->images[TVSIL_NORMAL]);
  g.icon = CRect(x, y, x + is.cx, y + hgt);
  x += is.cx ? is.cx + 1 : 0;
  g.label = CRect(x, y, x + labelWidth(h, s, i), y + hgt);
  return g;
}

Item* hitTest(HWND h, TreeState* s, POINT pt, UINT* flags) {
  RECT cr;
  ::GetClientRect(h, &cr);
  UINT f = 0;
  if (pt.y < 0) f |= TVHT_ABOVE;
  if (pt.y >= cr.bottom) f |= TVHT_BELOW;
  if (pt.x < 0) f |= TVHT_TOLEFT;
  if (pt.x >= cr.right) f |= TVHT_TORIGHT;
  if (f) {
    if (flags) *flags = f;
    return nullptr;
  }
  rebuildRows(s);
  int row = s->top + pt.y / rowHeight(h, s);
  if (row < 0 || row >= (int)s->rows.size()) {
    if (flags) *flags = TVHT_NOWHERE;
    return nullptr;
  }
  Item* i = s->rows[(size_t)row];
  ItemGeom g = geomOf(h, s, i, row);
  if (pt.x < g.state.left) {
    bool button = (style(h) & TVS_HASBUTTONS) && (i->parent != &s->root || rootColumn(h)) && hasChildren(h, i) &&
                  pt.x >= g.state.left - s->indent;
    f = button ? TVHT_ONITEMBUTTON : TVHT_ONITEMINDENT;
  } else if (pt.x < g.state.right) {
    f = TVHT_ONITEMSTATEICON;
  } else if (pt.x < g.icon.right) {
    f = TVHT_ONITEMICON;
  } else if (pt.x < g.label.right) {
    f = TVHT_ONITEMLABEL;
  } else {
    f = TVHT_ONITEMRIGHT;
  }
  if (flags) *flags = f;
  return i;
}

// ---- scroll bars ----
int visibleRows(HWND h, TreeState* s) {
  RECT cr;
  ::GetClientRect(h, &cr);
  return std::max(0, (int)cr.bottom / rowHeight(h, s));
}

int contentWidth(HWND h, TreeState* s) {
  rebuildRows(s);
  int w = 0;
  int save = s->scrollX;
  s->scrollX = 0;
  for (size_t r = 0; r < s->rows.size(); ++r) w = std::max(w, (int)geomOf(h, s, s->rows[r], (int)r).label.right);
  s->scrollX = save;
  return w + 2;
}

void setBar(HWND h, int bar, bool show) {
  AfxWndRec* r = AfxRec(h);
  if (!r) return;
  DWORD bit = bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
  bool shown = (r->style & bit) && r->sb[bar].visible;
  if (shown == show) return;
  if (show) r->style |= bit;
  ::ShowScrollBar(h, bar, show ? TRUE : FALSE);
  if (!show && (r = AfxRec(h))) r->style &= ~bit;
}

void layout(HWND h, TreeState* s) {
  AfxWndRec* rec = AfxRec(h);
  if (s->inLayout || !rec) return;
  if (!rec->redraw) {
    s->layoutPending = true;  // done once when drawing is turned on again
    return;
  }
  s->layoutPending = false;
  s->inLayout = true;
  rebuildRows(s);
  bool scrolls = !(style(h) & TVS_NOSCROLL);
  int width = contentWidth(h, s);
  // Two passes: one bar can take the room that makes the other necessary.
  for (int pass = 0; pass < 2; ++pass) {
    RECT cr;
    ::GetClientRect(h, &cr);
    int vis = visibleRows(h, s);
    setBar(h, SB_VERT, scrolls && (int)s->rows.size() > vis);
    setBar(h, SB_HORZ, scrolls && !(style(h) & TVS_NOHSCROLL) && width > cr.right);
  }
  RECT cr;
  ::GetClientRect(h, &cr);
  int vis = visibleRows(h, s);
  s->top = std::clamp(s->top, 0, std::max(0, (int)s->rows.size() - std::max(1, vis)));
  s->scrollX = std::clamp(s->scrollX, 0, std::max(0, width - (int)cr.right));
  SCROLLINFO si{sizeof(si),
                SIF_RANGE | SIF_PAGE | SIF_POS,
                0,
                std::max(0, (int)s->rows.size() - 1),
                (UINT)std::max(1, vis),
                s->top,
                0};
  ::SetScrollInfo(h, SB_VERT, &si, TRUE);
  SCROLLINFO sh{sizeof(sh),
                SIF_RANGE | SIF_PAGE | SIF_POS,
                0,
                std::max(0, width - 1),
                (UINT)std::max<LONG>(1, cr.right),
                s->scrollX,
                0};
  ::SetScrollInfo(h, SB_HORZ, &sh, TRUE);
  s->inLayout = false;
  AfxCtlInvalidate(h);
  if (AfxWndRec* r = AfxRec(h)) r->w->update();  // the bars are drawn outside the client area
}

void changed(HWND h, TreeState* s) {
  s->rowsDirty = true;
  // With redrawing off (WM_SETREDRAW), a long run of inserts lays out once at the end.
  if (AfxWndRec* r = AfxRec(h); r && !r->redraw) return;
  layout(h, s);
}

void scrollTo(HWND h, TreeState* s, int top) {
  rebuildRows(s);
  int vis = std::max(1, visibleRows(h, s));
  top = std::clamp(top, 0, std::max(0, (int)s->rows.size() - vis));
  if (top == s->top) return;
  s->top = top;
  layout(h, s);
}

void scrollXTo(HWND h, TreeState* s, int x) {
  if (x == s->scrollX) return;
  s->scrollX = std::max(0, x);
  layout(h, s);
}

// ---- notifications ----
void fillItem(TVITEM& t, Item* i) {
  if (!i) return;
  t.mask = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  t.hItem = handle(i);
  t.state = i->state;
  t.stateMask = 0xFFFF;
  t.iImage = i->image;
  t.iSelectedImage = i->selImage;
  t.lParam = i->lp;
}

LRESULT notifyTree(HWND h, UINT code, UINT action, Item* oldItem, Item* newItem) {
  NMTREEVIEW nm{};
  nm.hdr.code = code;
  nm.action = action;
  fillItem(nm.itemOld, oldItem);
  fillItem(nm.itemNew, newItem);
  ::GetCursorPos(&nm.ptDrag);
  ::ScreenToClient(h, &nm.ptDrag);
  return AfxCtlNotify(h, &nm.hdr);
}

LRESULT notifyCode(HWND h, UINT code) {
  NMHDR nm{};
  nm.code = code;
  return AfxCtlNotify(h, &nm);
}

// After a notification the window, the state or the item may be gone.
TreeState* still(HWND h) { return AfxRec(h) ? st(h) : nullptr; }

bool isAncestor(Item* a, Item* i) {
  for (Item* p = i->parent; p; p = p->parent)
    if (p == a) return true;
  return false;
}

bool selectItem(HWND h, TreeState* s, Item* i, UINT action);
void ensureVisible(HWND h, TreeState* s, Item* i);
void endEdit(HWND h, TreeState* s, bool cancel);

// Expands, collapses or toggles; a TRUE answer to TVN_ITEMEXPANDING refuses the change.
bool expandItem(HWND h, TreeState* s, Item* i, UINT code, bool byUser) {
  if (!i || i == &s->root) return false;
  UINT op = code & TVE_TOGGLE;
  bool reset = (code & TVE_COLLAPSERESET) != 0;
  if (!hasChildren(h, i)) return false;
  if (!(s = still(h)) || !s->live.count(i)) return false;
  bool isOpen = (i->state & TVIS_EXPANDED) != 0;
  bool open = op == TVE_TOGGLE ? !isOpen : op == TVE_EXPAND;
  if (op == 0) return false;
  if (open == isOpen && !reset) return false;
  // The program's own TVM_EXPAND is reported only until the item has been expanded once.
  bool tell = open != isOpen && (byUser || !(i->state & TVIS_EXPANDEDONCE));
  if (tell) {
    if (notifyTree(h, TVN_ITEMEXPANDING, open ? TVE_EXPAND : TVE_COLLAPSE, nullptr, i)) return false;
    if (!(s = still(h)) || !s->live.count(i)) return false;
  }
  if (open) {
    i->state |= TVIS_EXPANDED | TVIS_EXPANDEDONCE;
  } else {
    i->state &= ~TVIS_EXPANDED;
    if (s->edit && s->editItem && isAncestor(i, s->editItem)) endEdit(h, s, true);
    if (!(s = still(h)) || !s->live.count(i)) return false;
  }
  s->rowsDirty = true;
  // A hidden selection moves up to the collapsed item.
  if (!open && s->sel && isAncestor(i, s->sel)) {
    selectItem(h, s, i, TVC_UNKNOWN);
    if (!(s = still(h)) || !s->live.count(i)) return false;
  }
  if (reset && !open) {
    std::vector<Item*> kids;
    for (Item* c = i->first; c; c = c->next) kids.push_back(c);
    for (Item* c : kids) ::SendMessage(h, TVM_DELETEITEM, 0, (LPARAM)handle(c));
    if (!(s = still(h)) || !s->live.count(i)) return false;
    i->state &= ~TVIS_EXPANDEDONCE;
  }
  changed(h, s);
  if (open && byUser) {
    // Show as many of the new children as fit, keeping the item itself in view.
    int row = rowOf(s, i), vis = visibleRows(h, s);
    int n = 0;
    for (Item* c = i->first; c; c = c->next) ++n;
    if (row >= 0 && vis > 0 && row + n >= s->top + vis) scrollTo(h, s, std::min(row, row + n - vis + 1));
  }
  if (tell) notifyTree(h, TVN_ITEMEXPANDED, open ? TVE_EXPAND : TVE_COLLAPSE, nullptr, i);
  return true;
}

void ensureVisible(HWND h, TreeState* s, Item* i) {
  std::vector<Item*> chain;
  for (Item* p = i->parent; p && p != &s->root; p = p->parent) chain.push_back(p);
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    if (!((*it)->state & TVIS_EXPANDED)) expandItem(h, s, *it, TVE_EXPAND, false);
    if (!(s = still(h)) || !s->live.count(i)) return;
  }
  int row = rowOf(s, i);
  if (row < 0) return;
  int vis = std::max(1, visibleRows(h, s));
  if (row < s->top)
    scrollTo(h, s, row);
  else if (row >= s->top + vis)
    scrollTo(h, s, row - vis + 1);
}

// Moves the selection; a TRUE answer to TVN_SELCHANGING keeps the old one.
bool selectItem(HWND h, TreeState* s, Item* i, UINT action) {
  if (i == s->sel) {
    if (i) ensureVisible(h, s, i);
    return true;
  }
  Item* old = s->sel;
  if (notifyTree(h, TVN_SELCHANGING, action, old, i)) return false;
  if (!(s = still(h))) return false;
  if (i && !s->live.count(i)) return false;
  if (s->sel && s->live.count(s->sel)) s->sel->state &= ~TVIS_SELECTED;
  old = s->live.count(old) ? old : nullptr;
  s->sel = i;
  if (i) i->state |= TVIS_SELECTED;
  AfxCtlInvalidate(h);
  if (i) {
    ensureVisible(h, s, i);
    if (!(s = still(h))) return false;
  }
  AfxAccSelectionMoved(h);
  if (!(s = still(h))) return false;
  notifyTree(h, TVN_SELCHANGED, action, old, s->live.count(i) ? i : nullptr);
  return true;
}

// ---- inserting, deleting, sorting ----
int compareText(HWND h, Item* a, Item* b) { return QString::compare(textOf(h, a), textOf(h, b), Qt::CaseInsensitive); }

void link(Item* parent, Item* after, Item* i) {
  i->parent = parent;
  if (!after) {  // first
    i->next = parent->first;
    i->prev = nullptr;
    if (parent->first) parent->first->prev = i;
    parent->first = i;
    if (!parent->last) parent->last = i;
    return;
  }
  i->prev = after;
  i->next = after->next;
  if (after->next) after->next->prev = i;
  after->next = i;
  if (parent->last == after) parent->last = i;
}

void unlink(Item* i) {
  Item* p = i->parent;
  if (i->prev)
    i->prev->next = i->next;
  else
    p->first = i->next;
  if (i->next)
    i->next->prev = i->prev;
  else
    p->last = i->prev;
  i->prev = i->next = nullptr;
}

void applyItem(Item* i, const TVITEM& t) {
  if (t.mask & TVIF_TEXT) {
    i->textCallback = t.pszText == LPSTR_TEXTCALLBACK;
    i->text = i->textCallback ? QString() : AfxQStr(t.pszText);
  }
  if (t.mask & TVIF_IMAGE) i->image = t.iImage;
  if (t.mask & TVIF_SELECTEDIMAGE) i->selImage = t.iSelectedImage;
  if (t.mask & TVIF_PARAM) i->lp = t.lParam;
  if (t.mask & TVIF_CHILDREN) {
    i->children = t.cChildren;
    i->childrenSet = true;
  }
  if (t.mask & TVIF_STATE) {
    // The selection and the expansion are the control's to manage through their own messages.
    UINT mask = t.stateMask & ~(UINT)TVIS_SELECTED;
    i->state = (i->state & ~mask) | (t.state & mask);
  }
}

Item* insertItem(HWND h, TreeState* s, const TVINSERTSTRUCT* is) {
  if (!is) return nullptr;
  Item* parent = parentOf(s, is->hParent);
  if (!parent) return nullptr;
  auto* i = new Item;
  applyItem(i, is->item);
  Item* after = parent->last;
  HTREEITEM pos = is->hInsertAfter;
  if (pos == TVI_FIRST) {
    after = nullptr;
  } else if (pos == TVI_SORT) {
    after = nullptr;
    for (Item* c = parent->first; c; c = c->next) {
      if (compareText(h, i, c) < 0) break;
      after = c;
    }
  } else if (pos != TVI_LAST && pos != nullptr && pos != TVI_ROOT) {
    Item* a = itemOf(s, pos);
    // An item that is not a child of this parent puts the new one last, as TVI_LAST.
    if (a && a->parent == parent) after = a;
  }
  link(parent, after, i);
  s->live.insert(i);
  // Under a closed item the rows stay as they are; only the parent's button may appear.
  bool shown = parent == &s->root;
  if (!shown && (parent->state & TVIS_EXPANDED)) {
    shown = true;
    for (Item* p = parent->parent; p && p != &s->root; p = p->parent)
      if (!(p->state & TVIS_EXPANDED)) shown = false;
  }
  if (shown)
    changed(h, s);
  else
    AfxCtlInvalidate(h);
  return i;
}

void collect(Item* i, std::vector<Item*>& out) {
  for (Item* c = i->first; c; c = c->next) collect(c, out);
  out.push_back(i);
}

bool deleteItem(HWND h, TreeState* s, HTREEITEM hi) {
  bool all = !hi || hi == TVI_ROOT;
  Item* target = all ? &s->root : itemOf(s, hi);
  if (!target) return false;
  if (s->edit && s->editItem && (all || s->editItem == target || isAncestor(target, s->editItem))) {
    endEdit(h, s, true);
    if (!(s = still(h))) return false;
    if (!all && !s->live.count(target)) return true;
  }
  // A selection inside the doomed branch moves to a neighbour first.
  if (!all && s->sel && (s->sel == target || isAncestor(target, s->sel))) {
    Item* to = target->next   ? target->next
               : target->prev ? target->prev
                              : (target->parent != &s->root ? target->parent : nullptr);
    if (!selectItem(h, s, to, TVC_UNKNOWN)) {
      if (!(s = still(h))) return false;
      if (s->sel) s->sel->state &= ~TVIS_SELECTED;
      s->sel = nullptr;
    }
    if (!(s = still(h)) || !s->live.count(target)) return !!s;
  }
  std::vector<Item*> doomed;
  if (all) {
    for (Item* c = s->root.first; c; c = c->next) collect(c, doomed);
  } else {
    collect(target, doomed);
  }
  // Take them out of the tree before telling anyone, so that a handler sees a consistent tree.
  if (all) {
    s->root.first = s->root.last = nullptr;
  } else {
    unlink(target);
  }
  for (Item* d : doomed) {
    s->live.erase(d);
    if (s->sel == d) s->sel = nullptr;
    if (s->drop == d) s->drop = nullptr;
    if (s->pressItem == d) s->pressItem = nullptr;
    if (s->editCandidate == d) s->editCandidate = nullptr;
  }
  if (all) s->top = 0;
  s->rowsDirty = true;
  HWND parentWnd = AfxCtlParent(h);
  for (Item* d : doomed) {
    if (parentWnd && ::IsWindow(parentWnd) && AfxRec(h)) notifyTree(h, TVN_DELETEITEM, 0, d, nullptr);
    d->first = d->last = nullptr;  // children are in the list too
    delete d;
  }
  if ((s = still(h))) changed(h, s);
  return true;
}

// A merge sort that stays within bounds whatever the comparer answers.
template <class Cmp>
void mergeSort(std::vector<Item*>& v, Cmp less) {
  std::vector<Item*> tmp(v.size());
  for (size_t width = 1; width < v.size(); width *= 2) {
    for (size_t lo = 0; lo < v.size(); lo += 2 * width) {
      size_t mid = std::min(lo + width, v.size()), hi = std::min(lo + 2 * width, v.size());
      size_t a = lo, b = mid, o = lo;
      while (a < mid && b < hi) tmp[o++] = less(v[b], v[a]) ? v[b++] : v[a++];
      while (a < mid) tmp[o++] = v[a++];
      while (b < hi) tmp[o++] = v[b++];
    }
    v.swap(tmp);
  }
}

template <class Cmp>
void sortChildren(Item* p, Cmp less, bool recurse) {
  std::vector<Item*> v;
  for (Item* c = p->first; c; c = c->next) v.push_back(c);
  mergeSort(v, less);
  p->first = p->last = nullptr;
  for (Item* c : v) link(p, p->last, c);
  if (recurse)
    for (Item* c : v) sortChildren(c, less, true);
}

// ---- label editing ----
LRESULT editProc(HWND e, UINT msg, WPARAM wp, LPARAM lp) {
  auto found = editProcs().find(e);
  WNDPROC prev = found == editProcs().end() ? nullptr : found->second;
  HWND tree = AfxCtlParent(e);
  switch (msg) {
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | ::CallWindowProc(prev, e, msg, wp, lp);
    case WM_KEYDOWN:
      if (wp == VK_RETURN || wp == VK_ESCAPE) {
        if (TreeState* s = still(tree)) endEdit(tree, s, wp == VK_ESCAPE);
        return 0;
      }
      break;
    case WM_CHAR:
      if (wp == '\r' || wp == 27 || wp == '\n') return 0;
      break;
    case WM_KILLFOCUS: {
      LRESULT r = ::CallWindowProc(prev, e, msg, wp, lp);
      if (TreeState* s = still(tree); s && s->edit == e) endEdit(tree, s, false);
      return r;
    }
    case WM_NCDESTROY:
      editProcs().erase(e);
      if (TreeState* s = still(tree); s && s->edit == e) {
        s->edit = nullptr;
        s->editItem = nullptr;
      }
      return ::CallWindowProc(prev, e, msg, wp, lp);
  }
  return ::CallWindowProc(prev, e, msg, wp, lp);
}

HWND beginEdit(HWND h, TreeState* s, Item* i) {
  if (!i) return nullptr;
  if (s->edit) endEdit(h, s, false);
  if (!(s = still(h)) || !s->live.count(i)) return nullptr;
  if (::GetFocus() != h) ::SetFocus(h);
  if (!(s = still(h)) || !s->live.count(i)) return nullptr;
  ensureVisible(h, s, i);
  if (!(s = still(h)) || !s->live.count(i)) return nullptr;
  int row = rowOf(s, i);
  if (row < 0) return nullptr;
  ItemGeom g = geomOf(h, s, i, row);
  RECT cr;
  ::GetClientRect(h, &cr);
  QString text = textOf(h, i);
  QFontMetrics fm(qfontOf(AfxCtlFont(h)));
  int w = std::max<int>(g.label.Width(), fm.horizontalAdvance(text) + 24);
  CRect rc(g.label.left - 1, g.label.top,
           std::min<LONG>(g.label.left - 1 + w, std::max<LONG>(cr.right, g.label.left + 40)), g.label.bottom);
  // The edit exists while TVN_BEGINLABELEDIT is sent, so that the parent may change its text.
  CWnd* edit = AfxCreateControl(WC_EDIT, AfxStdStr(text).c_str(), WS_CHILD | WS_BORDER | ES_AUTOHSCROLL | ES_LEFT, 0,
                                rc, CWnd::FromHandle(h), 1);
  if (!edit) return nullptr;
  HWND e = edit->GetSafeHwnd();
  ::SendMessage(e, WM_SETFONT, (WPARAM)AfxCtlFont(h), FALSE);
  editProcs()[e] = (WNDPROC)::GetWindowLongPtr(e, GWL_WNDPROC);
  ::SetWindowLongPtr(e, GWL_WNDPROC, (LONG_PTR)&editProc);
  s->edit = e;
  s->editItem = i;
  std::string buf = AfxStdStr(text);
  NMTVDISPINFO di{};
  di.hdr.code = TVN_BEGINLABELEDIT;
  fillItem(di.item, i);
  di.item.mask |= TVIF_TEXT;
  di.item.pszText = buf.data();
  di.item.cchTextMax = (int)buf.size() + 1;
  LRESULT refused = AfxCtlNotify(h, &di.hdr);
  s = still(h);
  if (refused || !s || !s->live.count(i) || s->edit != e || !::IsWindow(e)) {
    if (s && s->edit == e) {
      s->edit = nullptr;
      s->editItem = nullptr;
    }
    if (::IsWindow(e)) ::DestroyWindow(e);
    return nullptr;
  }
  ::SendMessage(e, EM_SETSEL, 0, -1);
  ::ShowWindow(e, SW_SHOW);
  ::SetFocus(e);
  return ::IsWindow(e) ? e : nullptr;
}

void endEdit(HWND h, TreeState* s, bool cancel) {
  if (!s->edit || s->ending) return;
  s->ending = true;
  HWND e = s->edit;
  Item* i = s->editItem;
  int n = ::GetWindowTextLength(e);
  std::string buf((size_t)std::max(0, n) + 1, '\0');
  ::GetWindowText(e, buf.data(), (int)buf.size());
  buf.resize(std::strlen(buf.c_str()));
  bool hadFocus = ::GetFocus() == e;
  LRESULT accept = 0;
  if (i && s->live.count(i)) {
    NMTVDISPINFO di{};
    di.hdr.code = TVN_ENDLABELEDIT;
    fillItem(di.item, i);
    di.item.mask |= TVIF_TEXT;
    di.item.pszText = cancel ? nullptr : buf.data();
    di.item.cchTextMax = (int)buf.size() + 1;
    accept = AfxCtlNotify(h, &di.hdr);
  }
  s = still(h);
  if (s && !cancel && accept && i && s->live.count(i) && !i->textCallback) i->text = AfxQStr(buf.c_str());
  if (s) {
    s->edit = nullptr;
    s->editItem = nullptr;
  }
  if (hadFocus && AfxRec(h)) ::SetFocus(h);
  if (::IsWindow(e)) ::DestroyWindow(e);
  if ((s = still(h))) {
    s->ending = false;
    changed(h, s);
  }
}

// ---- painting ----
COLORREF bkColor(TreeState* s) { return s->bk == CLR_NONE ? GetSysColor(COLOR_WINDOW) : s->bk; }
COLORREF fgColor(HWND h, TreeState* s) {
  if (!::IsWindowEnabled(h)) return GetSysColor(COLOR_GRAYTEXT);
  return s->fg == CLR_NONE ? GetSysColor(COLOR_WINDOWTEXT) : s->fg;
}
COLORREF lineColor(TreeState* s) { return s->line == CLR_DEFAULT ? GetSysColor(COLOR_GRAYTEXT) : s->line; }

// Dotted lines, every other pixel on a fixed grid so that rows join up.
void dotsH(CDC* dc, int x0, int x1, int y, COLORREF c, int phase) {
  for (int x = x0; x < x1; ++x)
    if (((x + y + phase) & 1) == 0) dc->SetPixelV(x, y, c);
}
void dotsV(CDC* dc, int x, int y0, int y1, COLORREF c, int phase) {
  for (int y = y0; y < y1; ++y)
    if (((x + y + phase) & 1) == 0) dc->SetPixelV(x, y, c);
}

// False when a callback answered during painting destroyed the window or changed the rows:
// painting stops and starts again.
bool intact(HWND h, TreeState*& s) {
  if (!(s = still(h))) return false;
  if (!s->rowsDirty) return true;
  AfxCtlInvalidate(h);
  return false;
}

void paintTree(HWND h, TreeState* s) {
  PAINTSTRUCT ps;
  CDC* dc = CDC::FromHandle(::BeginPaint(h, &ps));
  if (!dc) return;
  CRect cr;
  ::GetClientRect(h, &cr);
  dc->FillSolidRect(&cr, bkColor(s));
  rebuildRows(s);
  int hgt = rowHeight(h, s);
  int vis = cr.bottom / hgt + 1;
  DWORD stl = style(h);
  bool focused = AfxCtlHasFocus(h) || (s->edit && ::GetFocus() == s->edit);
  COLORREF lc = lineColor(s);
  int phase = (s->scrollX + s->top * hgt) & 1;
  dc->SetBkMode(TRANSPARENT);
  for (int row = s->top; row < (int)s->rows.size() && row < s->top + vis; ++row) {
    Item* i = s->rows[(size_t)row];
    ItemGeom g = geomOf(h, s, i, row);
    if (!intact(h, s)) break;
    int mid = g.line.top + hgt / 2;
    bool atRoot = i->parent == &s->root;
    bool column = !atRoot || rootColumn(h);
    if ((stl & TVS_HASLINES) && column) {
      // This item's own elbow.
      bool firstOfAll = atRoot && !i->prev;
      dotsH(dc, g.button, g.state.left - 1, mid, lc, phase);
      dotsV(dc, g.button, firstOfAll ? mid : g.line.top, i->next ? g.line.bottom : mid + 1, lc, phase);
      // Ancestors with siblings still to come keep their column going.
      int x = g.button;
      for (Item* p = i->parent; p && p != &s->root; p = p->parent) {
        x -= s->indent;
        if (p->next && (p->parent != &s->root || rootColumn(h))) dotsV(dc, x, g.line.top, g.line.bottom, lc, phase);
      }
    }
    bool button = (stl & TVS_HASBUTTONS) && column && hasChildren(h, i);
    if (!intact(h, s)) break;
    if (button) {
      CRect b(g.button - kButton / 2, mid - kButton / 2, g.button - kButton / 2 + kButton, mid - kButton / 2 + kButton);
      dc->FillSolidRect(&b, bkColor(s));
      CBrush frame(GetSysColor(COLOR_BTNSHADOW));
      dc->FrameRect(&b, &frame);
      COLORREF sign = GetSysColor(COLOR_WINDOWTEXT);
      dc->FillSolidRect(b.left + 2, mid, kButton - 4, 1, sign);
      if (!(i->state & TVIS_EXPANDED)) dc->FillSolidRect(g.button, b.top + 2, 1, kButton - 4, sign);
    }
    UINT stateImage = (i->state & TVIS_STATEIMAGEMASK) >> 12;
    if (s->images[TVSIL_STATE] && stateImage) {
      SIZE ss = imageSize(s->images[TVSIL_STATE]);
      drawImage(s->images[TVSIL_STATE], (int)stateImage, dc, g.state.left, g.state.top + (hgt - ss.cy) / 2,
                ILD_TRANSPARENT);
    }
    bool selected =
        (i == s->sel && (focused || (stl & TVS_SHOWSELALWAYS))) || i == s->drop || (i->state & TVIS_DROPHILITED);
    if (s->images[TVSIL_NORMAL]) {
      SIZE is = imageSize(s->images[TVSIL_NORMAL]);
      int idx = imageOf(h, i, i == s->sel);
      if (!intact(h, s)) break;
      UINT how = ILD_TRANSPARENT | ((i->state & TVIS_CUT) ? ILD_BLEND50 : 0);
      if (idx >= 0) drawImage(s->images[TVSIL_NORMAL], idx, dc, g.icon.left, g.icon.top + (hgt - is.cy) / 2, how);
    }
    if (i == s->editItem) continue;  // the edit control covers the label
    COLORREF text = fgColor(h, s);
    if (selected) {
      bool active = focused || i == s->drop || (i->state & TVIS_DROPHILITED);
      CRect band = g.label;
      if (stl & TVS_FULLROWSELECT) band.right = std::max(band.right, g.line.right);
      dc->FillSolidRect(&band, GetSysColor(active ? COLOR_HIGHLIGHT : COLOR_3DFACE));
      text = active ? GetSysColor(COLOR_HIGHLIGHTTEXT) : GetSysColor(COLOR_WINDOWTEXT);
    }
    dc->SetTextColor(text);
    HGDIOBJ oldFont = dc->SelectObject((HGDIOBJ)fontFor(h, s, i));
    std::string t = AfxStdStr(textOf(h, i));
    if (!intact(h, s)) {
      dc->SelectObject(oldFont);
      break;
    }
    CRect tr = g.label;
    tr.left += 2;
    dc->DrawText(t.c_str(), (int)t.size(), &tr, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    dc->SelectObject(oldFont);
    if (i == s->sel && focused) dc->DrawFocusRect(&g.label);
  }
  ::EndPaint(h, &ps);
}

// ---- keys ----
Item* nextShown(TreeState* s, Item* i, int step) {
  rebuildRows(s);
  if (s->rows.empty()) return nullptr;
  int row = i ? rowOf(s, i) : -1;
  if (row < 0) return s->rows.front();
  row = std::clamp(row + step, 0, (int)s->rows.size() - 1);
  return s->rows[(size_t)row];
}

void expandAll(HWND h, TreeState* s, Item* i) {
  expandItem(h, s, i, TVE_EXPAND, true);
  if (!(s = still(h)) || !s->live.count(i)) return;
  std::vector<Item*> kids;
  for (Item* c = i->first; c; c = c->next) kids.push_back(c);
  for (Item* c : kids) {
    if (!(s = still(h))) return;
    if (s->live.count(c)) expandAll(h, s, c);
  }
}

void keyDown(HWND h, TreeState* s, UINT vk) {
  NMTVKEYDOWN kd{};
  kd.hdr.code = TVN_KEYDOWN;
  kd.wVKey = (WORD)vk;
  AfxCtlNotify(h, &kd.hdr);
  if (!(s = still(h))) return;
  Item* cur = s->sel;
  int page = std::max(1, visibleRows(h, s) - 1);
  switch (vk) {
    case VK_UP: selectItem(h, s, nextShown(s, cur, -1), TVC_BYKEYBOARD); break;
    case VK_DOWN: selectItem(h, s, nextShown(s, cur, cur ? 1 : 0), TVC_BYKEYBOARD); break;
    case VK_PRIOR: selectItem(h, s, nextShown(s, cur, -page), TVC_BYKEYBOARD); break;
    case VK_NEXT: selectItem(h, s, nextShown(s, cur, page), TVC_BYKEYBOARD); break;
    case VK_HOME: selectItem(h, s, nextShown(s, nullptr, 0), TVC_BYKEYBOARD); break;
    case VK_END:
      rebuildRows(s);
      if (!s->rows.empty()) selectItem(h, s, s->rows.back(), TVC_BYKEYBOARD);
      break;
    case VK_LEFT:
      if (!cur) break;
      if ((cur->state & TVIS_EXPANDED) && hasChildren(h, cur))
        expandItem(h, s, cur, TVE_COLLAPSE, true);
      else if (cur->parent != &s->root)
        selectItem(h, s, cur->parent, TVC_BYKEYBOARD);
      break;
    case VK_BACK:
      if (cur && cur->parent != &s->root) selectItem(h, s, cur->parent, TVC_BYKEYBOARD);
      break;
    case VK_RIGHT:
      if (!cur || !hasChildren(h, cur)) break;
      if (!(s = still(h))) break;
      if (!(cur->state & TVIS_EXPANDED))
        expandItem(h, s, cur, TVE_EXPAND, true);
      else if (cur->first)
        selectItem(h, s, cur->first, TVC_BYKEYBOARD);
      break;
    case VK_ADD:
      if (cur) expandItem(h, s, cur, TVE_EXPAND, true);
      break;
    case VK_SUBTRACT:
      if (cur) expandItem(h, s, cur, TVE_COLLAPSE, true);
      break;
    case VK_MULTIPLY:
      if (cur) expandAll(h, s, cur);
      break;
    case VK_RETURN: notifyCode(h, NM_RETURN); break;
    case VK_F2:
      if (cur && (style(h) & TVS_EDITLABELS)) beginEdit(h, s, cur);
      break;
  }
}

// Typing jumps to the next shown item whose text starts with what was typed.
void typeAhead(HWND h, TreeState* s, QChar c) {
  DWORD now = ::GetTickCount();
  if (now - s->searchTime > 1000) s->search.clear();
  s->searchTime = now;
  s->search += c;
  rebuildRows(s);
  if (s->rows.empty()) return;
  int start = s->sel ? rowOf(s, s->sel) : 0;
  if (start < 0) start = 0;
  int n = (int)s->rows.size();
  bool fresh = s->search.size() == 1;
  for (int k = fresh ? 1 : 0; k <= n; ++k) {
    Item* i = s->rows[(size_t)((start + k) % n)];
    if (textOf(h, i).startsWith(s->search, Qt::CaseInsensitive)) {
      if ((s = still(h))) selectItem(h, s, i, TVC_BYKEYBOARD);
      return;
    }
    if (!(s = still(h))) return;
  }
}

// ---- scroll bars' own mouse handling ----
void scrollMsg(HWND h, TreeState* s, UINT msg, int code, int pos) {
  rebuildRows(s);
  if (msg == WM_VSCROLL) {
    int page = std::max(1, visibleRows(h, s));
    switch (code) {
      case SB_LINEUP: scrollTo(h, s, s->top - 1); break;
      case SB_LINEDOWN: scrollTo(h, s, s->top + 1); break;
      case SB_PAGEUP: scrollTo(h, s, s->top - page); break;
      case SB_PAGEDOWN: scrollTo(h, s, s->top + page); break;
      case SB_TOP: scrollTo(h, s, 0); break;
      case SB_BOTTOM: scrollTo(h, s, (int)s->rows.size()); break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION: scrollTo(h, s, pos); break;
    }
  } else {
    RECT cr;
    ::GetClientRect(h, &cr);
    int step = std::max(1, s->indent / 2);
    switch (code) {
      case SB_LINELEFT: scrollXTo(h, s, s->scrollX - step); break;
      case SB_LINERIGHT: scrollXTo(h, s, s->scrollX + step); break;
      case SB_PAGELEFT: scrollXTo(h, s, s->scrollX - (int)cr.right); break;
      case SB_PAGERIGHT: scrollXTo(h, s, s->scrollX + (int)cr.right); break;
      case SB_LEFT: scrollXTo(h, s, 0); break;
      case SB_RIGHT: scrollXTo(h, s, 1 << 20); break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION: scrollXTo(h, s, pos); break;
    }
  }
}

// The geometry of the vertical thumb as the layer draws it.
void vThumb(HWND h, int* track, int* thumb, int* pos) {
  RECT cr;
  ::GetClientRect(h, &cr);
  SCROLLINFO si{sizeof(si), SIF_ALL, 0, 0, 0, 0, 0};
  ::GetScrollInfo(h, SB_VERT, &si);
  int range = std::max(1, si.nMax - si.nMin + 1);
  *track = std::max(0, (int)cr.bottom - 32);
  *thumb = si.nPage ? std::max(8, (int)((long long)*track * si.nPage / range)) : 16;
  *pos = *track > *thumb ? (int)((long long)(*track - *thumb) * (si.nPos - si.nMin) /
                                 std::max(1, range - (int)std::max<UINT>(si.nPage, 1)))
                         : 0;
}

void ncButtonDown(HWND h, TreeState* s, UINT hit, POINT screen) {
  POINT c = screen;
  ::ScreenToClient(h, &c);
  RECT cr;
  ::GetClientRect(h, &cr);
  if (hit == HTVSCROLL) {
    int track, thumb, pos;
    vThumb(h, &track, &thumb, &pos);
    int y = c.y;
    if (y < 16)
      scrollMsg(h, s, WM_VSCROLL, SB_LINEUP, 0);
    else if (y >= cr.bottom - 16)
      scrollMsg(h, s, WM_VSCROLL, SB_LINEDOWN, 0);
    else if (y - 16 < pos)
      scrollMsg(h, s, WM_VSCROLL, SB_PAGEUP, 0);
    else if (y - 16 >= pos + thumb)
      scrollMsg(h, s, WM_VSCROLL, SB_PAGEDOWN, 0);
    else {
      s->thumbDrag = true;
      s->thumbGrab = y - 16 - pos;
      ::SetCapture(h);
    }
  } else if (hit == HTHSCROLL) {
    int x = c.x;
    if (x < 16)
      scrollMsg(h, s, WM_HSCROLL, SB_LINELEFT, 0);
    else if (x >= cr.right - 16)
      scrollMsg(h, s, WM_HSCROLL, SB_LINERIGHT, 0);
    else
      scrollMsg(h, s, WM_HSCROLL, x < cr.right / 2 ? SB_PAGELEFT : SB_PAGERIGHT, 0);
  }
}

void thumbMove(HWND h, TreeState* s, int y) {
  int track, thumb, pos;
  vThumb(h, &track, &thumb, &pos);
  SCROLLINFO si{sizeof(si), SIF_ALL, 0, 0, 0, 0, 0};
  ::GetScrollInfo(h, SB_VERT, &si);
  int span = std::max(1, track - thumb);
  int range = std::max(0, si.nMax - si.nMin + 1 - (int)si.nPage);
  int p = si.nMin + (int)((long long)(y - 16 - s->thumbGrab) * range / span);
  scrollMsg(h, s, WM_VSCROLL, SB_THUMBTRACK, p);
}

LRESULT getItem(TreeState* s, TVITEM* t) {
  if (!t) return FALSE;
  Item* i = itemOf(s, t->hItem);
  if (!i) return FALSE;
  if (t->mask & TVIF_TEXT) {
    if (i->textCallback) {
      t->pszText = LPSTR_TEXTCALLBACK;
    } else if (t->pszText && t->cchTextMax > 0) {
      std::string u = AfxStdStr(i->text);
      size_t n = std::min(u.size(), (size_t)t->cchTextMax - 1);
      // Never cut a character in two.
      while (n > 0 && n < u.size() && (static_cast<unsigned char>(u[n]) & 0xC0) == 0x80) --n;
      std::memcpy(t->pszText, u.data(), n);
      t->pszText[n] = 0;
    }
  }
  if (t->mask & TVIF_IMAGE) t->iImage = i->image;
  if (t->mask & TVIF_SELECTEDIMAGE) t->iSelectedImage = i->selImage;
  if (t->mask & TVIF_PARAM) t->lParam = i->lp;
  if (t->mask & TVIF_STATE) t->state = i->state & (t->stateMask ? t->stateMask : 0xFFFF);
  if (t->mask & TVIF_CHILDREN) t->cChildren = i->childrenSet ? i->children : (i->first ? 1 : 0);
  return TRUE;
}

LRESULT setItem(HWND h, TreeState* s, const TVITEM* t) {
  if (!t) return FALSE;
  Item* i = itemOf(s, t->hItem);
  if (!i) return FALSE;
  applyItem(i, *t);
  changed(h, s);
  return TRUE;
}

LRESULT nextItem(HWND h, TreeState* s, UINT code, HTREEITEM hi) {
  rebuildRows(s);
  Item* i = itemOf(s, hi);
  Item* r = nullptr;
  switch (code) {
    case TVGN_ROOT: r = s->root.first; break;
    case TVGN_NEXT: r = i ? i->next : nullptr; break;
    case TVGN_PREVIOUS: r = i ? i->prev : nullptr; break;
    case TVGN_PARENT: r = (i && i->parent != &s->root) ? i->parent : nullptr; break;
    case TVGN_CHILD: {
      Item* p = (!hi || hi == TVI_ROOT) ? &s->root : i;
      r = p ? p->first : nullptr;
      break;
    }
    case TVGN_FIRSTVISIBLE: r = s->top < (int)s->rows.size() ? s->rows[(size_t)s->top] : nullptr; break;
    case TVGN_NEXTVISIBLE:
    case TVGN_PREVIOUSVISIBLE: {
      int row = i ? rowOf(s, i) : -1;
      if (row < 0) break;
      row += code == TVGN_NEXTVISIBLE ? 1 : -1;
      if (row >= 0 && row < (int)s->rows.size()) r = s->rows[(size_t)row];
      break;
    }
    case TVGN_LASTVISIBLE: r = s->rows.empty() ? nullptr : s->rows.back(); break;
    case TVGN_DROPHILITE: r = s->drop; break;
    case TVGN_CARET: r = s->sel; break;
  }
  (void)h;
  return (LRESULT)handle(r);
}

}  // namespace

// A reader's expand or collapse, told to the parent as the user's.
BOOL AfxTreeExpandByUser(HWND h, HTREEITEM hItem, UINT code) {
  TreeState* s = still(h);
  if (!s) return FALSE;
  Item* i = itemOf(s, hItem);
  return i && expandItem(h, s, i, code, true) ? TRUE : FALSE;
}

AfxCtlState* AfxNewTreeState() { return new TreeState; }

namespace {

// ---- One handler per message ----

LRESULT OnTvSetRedraw(HWND h, WPARAM wp, LPARAM lp) {
  ::DefWindowProc(h, WM_SETREDRAW, wp, lp);
  TreeState* s = nullptr;
  if (wp && (s = still(h)) && s->layoutPending) changed(h, s);
  return 0;
}

// A new size, style or font lays the rows out again.
LRESULT OnTvLayoutChange(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT r = msg == WM_SETFONT ? ::DefWindowProc(h, msg, wp, lp) : 0;
  if (TreeState* s = still(h)) changed(h, s);
  return r;
}

LRESULT OnTvKillFocus(HWND h, TreeState* s) {
  AfxCtlInvalidate(h);
  if (s->lPressed || s->rPressed) s->lPressed = s->rPressed = false;
  notifyCode(h, NM_KILLFOCUS);
  return 0;
}

LRESULT OnTvLButtonDown(HWND h, TreeState* s, LPARAM lp) {
  ::KillTimer(h, kEditTimer);
  bool hadFocus = ::GetFocus() == h;
  if (!hadFocus) ::SetFocus(h);
  if (!(s = still(h))) return 0;
  POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  UINT flags = 0;
  Item* i = hitTest(h, s, pt, &flags);
  if (!(s = still(h))) return 0;
  s->lPressed = true;
  s->pressItem = (flags & TVHT_ONITEM) || ((style(h) & TVS_FULLROWSELECT) && (flags & TVHT_ONITEMRIGHT)) ? i : nullptr;
  s->pressFlags = flags;
  s->editCandidate = (hadFocus && i && i == s->sel && (flags & TVHT_ONITEMLABEL)) ? i : nullptr;
  ::SetCapture(h);
  if (i && (flags & TVHT_ONITEMBUTTON)) expandItem(h, s, i, TVE_TOGGLE, true);
  return 0;
}

// The click on an item, once the parent has let it pass.
void clickItem(HWND h, TreeState* s, Item* target, Item* editMe, UINT flags) {
  if ((flags & TVHT_ONITEMSTATEICON) && (style(h) & TVS_CHECKBOXES)) {
    UINT img = (target->state & TVIS_STATEIMAGEMASK) >> 12;
    target->state = (target->state & ~TVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(img == 2 ? 1 : 2);
    AfxCtlInvalidate(h);
  }
  if (target != s->sel) {
    selectItem(h, s, target, TVC_BYMOUSE);
  } else if (editMe == target && (style(h) & TVS_EDITLABELS)) {
    // A second click on the selected label edits it, unless it turns into a double click.
    s->editCandidate = target;
    ::SetTimer(h, kEditTimer, ::GetDoubleClickTime(), nullptr);
  }
}

LRESULT OnTvLButtonUp(HWND h, TreeState* s) {
  if (s->thumbDrag) {
    s->thumbDrag = false;
    if (::GetCapture() == h) ::ReleaseCapture();
    return 0;
  }
  if (!s->lPressed) return 0;
  s->lPressed = false;
  if (::GetCapture() == h) ::ReleaseCapture();
  if (!(s = still(h))) return 0;
  Item* target = s->pressItem;
  Item* editMe = s->editCandidate;
  UINT flags = s->pressFlags;
  s->pressItem = s->editCandidate = nullptr;
  // The parent hears of the click before the selection moves and may take it over.
  if (notifyCode(h, NM_CLICK)) return 0;
  if (!(s = still(h))) return 0;
  if (target && s->live.count(target)) clickItem(h, s, target, editMe, flags);
  return 0;
}

LRESULT OnTvTimer(HWND h, TreeState* s, WPARAM wp, LPARAM lp) {
  if (wp != kEditTimer) return ::DefWindowProc(h, WM_TIMER, wp, lp);
  ::KillTimer(h, kEditTimer);
  Item* i = s->editCandidate;
  s->editCandidate = nullptr;
  if (i && s->live.count(i) && i == s->sel) beginEdit(h, s, i);
  return 0;
}

LRESULT OnTvLButtonDblClk(HWND h, TreeState* s, LPARAM lp) {
  ::KillTimer(h, kEditTimer);
  s->editCandidate = nullptr;
  POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  UINT flags = 0;
  Item* i = hitTest(h, s, pt, &flags);
  if (notifyCode(h, NM_DBLCLK)) return 0;
  if (!(s = still(h)) || !i || !s->live.count(i)) return 0;
  if (flags & (TVHT_ONITEM | TVHT_ONITEMBUTTON)) expandItem(h, s, i, TVE_TOGGLE, true);
  return 0;
}

LRESULT OnTvRButtonDown(HWND h, TreeState* s, LPARAM lp) {
  ::KillTimer(h, kEditTimer);
  if (::GetFocus() != h) ::SetFocus(h);
  if (!(s = still(h))) return 0;
  POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  UINT flags = 0;
  Item* i = hitTest(h, s, pt, &flags);
  s->rPressed = true;
  // The item under the pointer is marked while the button is down.
  s->drop = (i && (flags & TVHT_ONITEM)) ? i : nullptr;
  AfxCtlInvalidate(h);
  return 0;
}

LRESULT OnTvRButtonUp(HWND h, TreeState* s, LPARAM lp) {
  if (!s->rPressed) return 0;
  s->rPressed = false;
  s->drop = nullptr;
  AfxCtlInvalidate(h);
  if (notifyCode(h, NM_RCLICK)) return 0;
  if (!AfxRec(h)) return 0;
  POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  ::ClientToScreen(h, &pt);
  ::SendMessage(h, WM_CONTEXTMENU, (WPARAM)h, MAKELPARAM(pt.x, pt.y));
  return 0;
}

LRESULT OnTvMouseWheel(HWND h, TreeState* s, WPARAM wp) {
  int lines = -(int)(short)HIWORD(wp) * 3 / WHEEL_DELTA;
  if (lines == 0) lines = (short)HIWORD(wp) > 0 ? -1 : 1;
  scrollTo(h, s, s->top + lines);
  return 0;
}

LRESULT OnTvChar(HWND h, TreeState* s, WPARAM wp) {
  if (wp < 32 || wp == 127) return 0;
  QString typed(QChar((char16_t)wp));
  if (typed == "+" || typed == "-" || typed == "*") {
    keyDown(h, s, typed == "+" ? VK_ADD : typed == "-" ? VK_SUBTRACT : VK_MULTIPLY);
    return 0;
  }
  if (!typed.isEmpty()) typeAhead(h, s, typed.at(0));
  return 0;
}

LRESULT OnTvDestroy(HWND h, TreeState* s) {
  ::KillTimer(h, kEditTimer);
  if (s->edit) endEdit(h, s, true);
  if ((s = still(h))) deleteItem(h, s, TVI_ROOT);
  return 0;
}

// ---- The tree's own messages ----

LRESULT OnTvExpand(HWND h, TreeState* s, WPARAM wp, LPARAM lp) {
  Item* i = itemOf(s, (HTREEITEM)lp);
  return i ? expandItem(h, s, i, (UINT)wp, false) : FALSE;
}

LRESULT OnTvGetItemRect(HWND h, TreeState* s, WPARAM wp, LPARAM lp) {
  auto* rc = (RECT*)lp;
  if (!rc) return FALSE;
  Item* i = itemOf(s, *(HTREEITEM*)lp);
  if (!i) return FALSE;
  int row = rowOf(s, i);
  if (row < 0) return FALSE;
  ItemGeom g = geomOf(h, s, i, row);
  *rc = wp ? (RECT)g.label : (RECT)g.line;
  return TRUE;
}

LRESULT OnTvSetIndent(HWND h, TreeState* s, WPARAM wp) {
  s->indent = std::max(kButton + 6, (int)wp);
  changed(h, s);
  return 0;
}

LRESULT OnTvSetImageList(HWND h, TreeState* s, WPARAM wp, LPARAM lp) {
  if (wp != TVSIL_NORMAL && wp != TVSIL_STATE) return 0;
  HIMAGELIST old = s->images[wp];
  s->images[wp] = (HIMAGELIST)lp;
  changed(h, s);
  return (LRESULT)old;
}

LRESULT OnTvSelectItem(HWND h, TreeState* s, WPARAM wp, LPARAM lp) {
  Item* i = itemOf(s, (HTREEITEM)lp);
  if (lp && !i) return FALSE;
  switch (wp & 0xFF) {
    case TVGN_CARET: return selectItem(h, s, i, TVC_UNKNOWN);
    case TVGN_DROPHILITE:
      s->drop = i;
      AfxCtlInvalidate(h);
      return TRUE;
    case TVGN_FIRSTVISIBLE:
      if (!i) return FALSE;
      ensureVisible(h, s, i);
      if ((s = still(h)) && s->live.count(i)) scrollTo(h, s, rowOf(s, i));
      return TRUE;
  }
  return FALSE;
}

LRESULT OnTvGetItemState(TreeState* s, WPARAM wp, LPARAM lp) {
  Item* i = itemOf(s, (HTREEITEM)wp);
  return i ? (LRESULT)(i->state & (UINT)lp) : 0;
}

LRESULT OnTvEndEditLabelNow(HWND h, TreeState* s, WPARAM wp) {
  if (!s->edit) return FALSE;
  endEdit(h, s, wp != 0);
  return TRUE;
}

LRESULT OnTvHitTest(HWND h, TreeState* s, TVHITTESTINFO* ht) {
  if (!ht) return 0;
  ht->hItem = handle(hitTest(h, s, ht->pt, &ht->flags));
  return (LRESULT)ht->hItem;
}

LRESULT OnTvSortChildren(HWND h, TreeState* s, WPARAM wp, LPARAM lp) {
  Item* p = parentOf(s, (HTREEITEM)lp);
  if (!p) return FALSE;
  sortChildren(
      p, [h](Item* a, Item* b) { return compareText(h, a, b) < 0; }, wp != 0);
  if ((s = still(h))) changed(h, s);
  return TRUE;
}

LRESULT OnTvSortChildrenCB(HWND h, TreeState* s, const TVSORTCB* sc) {
  if (!sc || !sc->lpfnCompare) return FALSE;
  Item* p = parentOf(s, sc->hParent);
  if (!p) return FALSE;
  PFNTVCOMPARE fn = sc->lpfnCompare;
  LPARAM data = sc->lParam;
  sortChildren(
      p, [fn, data](Item* a, Item* b) { return fn(a->lp, b->lp, data) < 0; }, false);
  if ((s = still(h))) changed(h, s);
  return TRUE;
}

LRESULT OnTvEnsureVisible(HWND h, TreeState* s, LPARAM lp) {
  Item* i = itemOf(s, (HTREEITEM)lp);
  if (!i) return FALSE;
  ensureVisible(h, s, i);
  return TRUE;
}

LRESULT OnTvSetItemHeight(HWND h, TreeState* s, WPARAM wp) {
  int old = rowHeight(h, s);
  s->height = (int)(short)wp > 0 ? (int)(short)wp : 0;
  if (s->height > 1 && (s->height & 1) && !(style(h) & TVS_NONEVENHEIGHT)) --s->height;
  changed(h, s);
  return old;
}

// Sets one of the colours and returns the one it replaces.
LRESULT setColor(HWND h, COLORREF* c, LPARAM lp) {
  COLORREF o = *c;
  *c = (COLORREF)lp;
  AfxCtlInvalidate(h);
  return (LRESULT)(LONG)o;
}

}  // namespace

LRESULT AfxTreeProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  TreeState* s = st(h);
  if (!s) return ::DefWindowProc(h, msg, wp, lp);
  switch (msg) {
    case WM_CREATE: changed(h, s); return 0;
    case WM_PAINT: paintTree(h, s); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETREDRAW: return OnTvSetRedraw(h, wp, lp);
    case WM_SIZE:
    case WM_STYLECHANGED:
    case WM_SETFONT: return OnTvLayoutChange(h, msg, wp, lp);
    case WM_ENABLE: AfxCtlInvalidate(h); return 0;
    case WM_SETFOCUS:
      AfxCtlInvalidate(h);
      notifyCode(h, NM_SETFOCUS);
      return 0;
    case WM_KILLFOCUS: return OnTvKillFocus(h, s);
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_LBUTTONDOWN: return OnTvLButtonDown(h, s, lp);
    case WM_LBUTTONUP: return OnTvLButtonUp(h, s);
    case WM_TIMER: return OnTvTimer(h, s, wp, lp);
    case WM_LBUTTONDBLCLK: return OnTvLButtonDblClk(h, s, lp);
    case WM_RBUTTONDOWN: return OnTvRButtonDown(h, s, lp);
    case WM_RBUTTONUP: return OnTvRButtonUp(h, s, lp);
    case WM_RBUTTONDBLCLK: return ::SendMessage(h, WM_RBUTTONDOWN, wp, lp);
    case WM_MOUSEMOVE:
      if (s->thumbDrag) thumbMove(h, s, GET_Y_LPARAM(lp));
      return 0;
    case WM_CAPTURECHANGED:
      // Another window took the mouse: the press in progress is abandoned, as on the platform.
      if ((HWND)lp != h) s->thumbDrag = s->lPressed = false;
      return 0;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: ncButtonDown(h, s, (UINT)wp, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}); return 0;
    case WM_MOUSEWHEEL: return OnTvMouseWheel(h, s, wp);
    case WM_VSCROLL:
    case WM_HSCROLL:
      if (!lp) scrollMsg(h, s, msg, LOWORD(wp), (int)(short)HIWORD(wp));
      return 0;
    case WM_KEYDOWN: keyDown(h, s, (UINT)wp); return 0;
    case WM_CHAR: return OnTvChar(h, s, wp);
    case WM_DESTROY: return OnTvDestroy(h, s);

    case TVM_INSERTITEM: return (LRESULT)handle(insertItem(h, s, (const TVINSERTSTRUCT*)lp));
    case TVM_DELETEITEM: return deleteItem(h, s, (HTREEITEM)lp);
    case TVM_EXPAND: return OnTvExpand(h, s, wp, lp);
    case TVM_GETITEMRECT: return OnTvGetItemRect(h, s, wp, lp);
    case TVM_GETCOUNT: return (LRESULT)s->live.size();
    case TVM_GETINDENT: return s->indent;
    case TVM_SETINDENT: return OnTvSetIndent(h, s, wp);
    case TVM_GETIMAGELIST: return (wp == TVSIL_NORMAL || wp == TVSIL_STATE) ? (LRESULT)s->images[wp] : 0;
    case TVM_SETIMAGELIST: return OnTvSetImageList(h, s, wp, lp);
    case TVM_GETNEXTITEM: return nextItem(h, s, (UINT)wp, (HTREEITEM)lp);
    case TVM_SELECTITEM: return OnTvSelectItem(h, s, wp, lp);
    case TVM_GETITEM: return getItem(s, (TVITEM*)lp);
    case TVM_SETITEM: return setItem(h, s, (const TVITEM*)lp);
    case TVM_GETITEMSTATE: return OnTvGetItemState(s, wp, lp);
    case TVM_EDITLABEL: return (LRESULT)beginEdit(h, s, itemOf(s, (HTREEITEM)lp));
    case TVM_GETEDITCONTROL: return (LRESULT)s->edit;
    case TVM_ENDEDITLABELNOW: return OnTvEndEditLabelNow(h, s, wp);
    case TVM_GETVISIBLECOUNT: return visibleRows(h, s);
    case TVM_HITTEST: return OnTvHitTest(h, s, (TVHITTESTINFO*)lp);
    case TVM_SORTCHILDREN: return OnTvSortChildren(h, s, wp, lp);
    case TVM_SORTCHILDRENCB: return OnTvSortChildrenCB(h, s, (const TVSORTCB*)lp);
    case TVM_ENSUREVISIBLE: return OnTvEnsureVisible(h, s, lp);
    case TVM_SETITEMHEIGHT: return OnTvSetItemHeight(h, s, wp);
    case TVM_GETITEMHEIGHT: return rowHeight(h, s);
    case TVM_SETBKCOLOR: return setColor(h, &s->bk, lp);
    case TVM_GETBKCOLOR: return (LRESULT)(LONG)s->bk;
    case TVM_SETTEXTCOLOR: return setColor(h, &s->fg, lp);
    case TVM_GETTEXTCOLOR: return (LRESULT)(LONG)s->fg;
    case TVM_SETLINECOLOR: return setColor(h, &s->line, lp);
    case TVM_GETLINECOLOR: return (LRESULT)(LONG)s->line;
  }
  return ::DefWindowProc(h, msg, wp, lp);
}

// ======================================================================================
// CTreeCtrl
// ======================================================================================
IMPLEMENT_DYNAMIC(CTreeCtrl, CControlWnd)

BOOL CTreeCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CreateControl(WC_TREEVIEW, "", dwStyle, rect, pParentWnd, nID);
}
BOOL CTreeCtrl::CreateEx(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CreateControl(WC_TREEVIEW, "", dwStyle, rect, pParentWnd, nID, dwExStyle);
}
UINT CTreeCtrl::GetCount() const { return (UINT)SendMessage(TVM_GETCOUNT); }
UINT CTreeCtrl::GetIndent() const { return (UINT)SendMessage(TVM_GETINDENT); }
void CTreeCtrl::SetIndent(UINT nIndent) { SendMessage(TVM_SETINDENT, nIndent); }
CImageList* CTreeCtrl::GetImageList(int nImageList) const {
  if (nImageList != TVSIL_NORMAL && nImageList != TVSIL_STATE) return nullptr;
  auto h = (HIMAGELIST)SendMessage(TVM_GETIMAGELIST, (WPARAM)nImageList);
  CImageList* p = m_pImages[nImageList];
  return (p && h && p->GetSafeHandle() == h) ? p : nullptr;
}
CImageList* CTreeCtrl::SetImageList(CImageList* pImageList, int nImageListType) {
  if (nImageListType != TVSIL_NORMAL && nImageListType != TVSIL_STATE) return nullptr;
  CImageList* old = GetImageList(nImageListType);
  SendMessage(TVM_SETIMAGELIST, (WPARAM)nImageListType, (LPARAM)(pImageList ? pImageList->GetSafeHandle() : nullptr));
  m_pImages[nImageListType] = pImageList;
  return old;
}
SHORT CTreeCtrl::GetItemHeight() const { return (SHORT)SendMessage(TVM_GETITEMHEIGHT); }
SHORT CTreeCtrl::SetItemHeight(SHORT cyHeight) { return (SHORT)SendMessage(TVM_SETITEMHEIGHT, (WPARAM)(int)cyHeight); }
COLORREF CTreeCtrl::GetBkColor() const { return (COLORREF)SendMessage(TVM_GETBKCOLOR); }
COLORREF CTreeCtrl::SetBkColor(COLORREF clr) { return (COLORREF)SendMessage(TVM_SETBKCOLOR, 0, (LPARAM)clr); }
COLORREF CTreeCtrl::GetTextColor() const { return (COLORREF)SendMessage(TVM_GETTEXTCOLOR); }
COLORREF CTreeCtrl::SetTextColor(COLORREF clr) { return (COLORREF)SendMessage(TVM_SETTEXTCOLOR, 0, (LPARAM)clr); }
UINT CTreeCtrl::GetVisibleCount() const { return (UINT)SendMessage(TVM_GETVISIBLECOUNT); }
HTREEITEM CTreeCtrl::GetNextItem(HTREEITEM hItem, UINT nCode) const {
  return (HTREEITEM)SendMessage(TVM_GETNEXTITEM, nCode, (LPARAM)hItem);
}
BOOL CTreeCtrl::ItemHasChildren(HTREEITEM hItem) const {
  TVITEM t{};
  t.mask = TVIF_CHILDREN | TVIF_HANDLE;
  t.hItem = hItem;
  if (!GetItem(&t)) return FALSE;
  return t.cChildren != 0;
}
BOOL CTreeCtrl::GetItem(TVITEM* pItem) const { return (BOOL)SendMessage(TVM_GETITEM, 0, (LPARAM)pItem); }
BOOL CTreeCtrl::SetItem(TVITEM* pItem) { return (BOOL)SendMessage(TVM_SETITEM, 0, (LPARAM)pItem); }
BOOL CTreeCtrl::SetItem(HTREEITEM hItem, UINT nMask, LPCTSTR lpszItem, int nImage, int nSelectedImage, UINT nState,
                        UINT nStateMask, LPARAM lParam) {
  TVITEM t{};
  t.mask = nMask | TVIF_HANDLE;
  t.hItem = hItem;
  t.pszText = const_cast<LPSTR>(lpszItem);
  t.iImage = nImage;
  t.iSelectedImage = nSelectedImage;
  t.state = nState;
  t.stateMask = nStateMask;
  t.lParam = lParam;
  return SetItem(&t);
}
CString CTreeCtrl::GetItemText(HTREEITEM hItem) const {
  std::vector<char> buf(4096, 0);
  TVITEM t{};
  t.mask = TVIF_TEXT | TVIF_HANDLE;
  t.hItem = hItem;
  t.pszText = buf.data();
  t.cchTextMax = (int)buf.size();
  if (!GetItem(&t) || !t.pszText || t.pszText == LPSTR_TEXTCALLBACK) return CString();
  return CString(t.pszText);
}
BOOL CTreeCtrl::SetItemText(HTREEITEM hItem, LPCTSTR lpszItem) {
  return SetItem(hItem, TVIF_TEXT, lpszItem, 0, 0, 0, 0, 0);
}
BOOL CTreeCtrl::GetItemImage(HTREEITEM hItem, int& nImage, int& nSelectedImage) const {
  TVITEM t{};
  t.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
  t.hItem = hItem;
  if (!GetItem(&t)) return FALSE;
  nImage = t.iImage;
  nSelectedImage = t.iSelectedImage;
  return TRUE;
}
BOOL CTreeCtrl::SetItemImage(HTREEITEM hItem, int nImage, int nSelectedImage) {
  return SetItem(hItem, TVIF_IMAGE | TVIF_SELECTEDIMAGE, nullptr, nImage, nSelectedImage, 0, 0, 0);
}
UINT CTreeCtrl::GetItemState(HTREEITEM hItem, UINT nStateMask) const {
  return (UINT)SendMessage(TVM_GETITEMSTATE, (WPARAM)hItem, (LPARAM)nStateMask);
}
BOOL CTreeCtrl::SetItemState(HTREEITEM hItem, UINT nState, UINT nStateMask) {
  return SetItem(hItem, TVIF_STATE, nullptr, 0, 0, nState, nStateMask, 0);
}
DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM hItem) const {
  TVITEM t{};
  t.mask = TVIF_PARAM | TVIF_HANDLE;
  t.hItem = hItem;
  return GetItem(&t) ? (DWORD_PTR)t.lParam : 0;
}
BOOL CTreeCtrl::SetItemData(HTREEITEM hItem, DWORD_PTR dwData) {
  return SetItem(hItem, TVIF_PARAM, nullptr, 0, 0, 0, 0, (LPARAM)dwData);
}
BOOL CTreeCtrl::GetItemRect(HTREEITEM hItem, LPRECT lpRect, BOOL bTextOnly) const {
  if (!lpRect) return FALSE;
  *(HTREEITEM*)lpRect = hItem;
  return (BOOL)SendMessage(TVM_GETITEMRECT, (WPARAM)bTextOnly, (LPARAM)lpRect);
}
BOOL CTreeCtrl::GetCheck(HTREEITEM hItem) const { return (GetItemState(hItem, TVIS_STATEIMAGEMASK) >> 12) == 2; }
BOOL CTreeCtrl::SetCheck(HTREEITEM hItem, BOOL fCheck) {
  return SetItemState(hItem, INDEXTOSTATEIMAGEMASK(fCheck ? 2 : 1), TVIS_STATEIMAGEMASK);
}
HTREEITEM CTreeCtrl::InsertItem(LPTVINSERTSTRUCT lpInsertStruct) {
  return (HTREEITEM)SendMessage(TVM_INSERTITEM, 0, (LPARAM)lpInsertStruct);
}
HTREEITEM CTreeCtrl::InsertItem(UINT nMask, LPCTSTR lpszItem, int nImage, int nSelectedImage, UINT nState,
                                UINT nStateMask, LPARAM lParam, HTREEITEM hParent, HTREEITEM hInsertAfter) {
  TVINSERTSTRUCT is{};
  is.hParent = hParent;
  is.hInsertAfter = hInsertAfter;
  is.item.mask = nMask;
  is.item.pszText = const_cast<LPSTR>(lpszItem);
  is.item.iImage = nImage;
  is.item.iSelectedImage = nSelectedImage;
  is.item.state = nState;
  is.item.stateMask = nStateMask;
  is.item.lParam = lParam;
  return InsertItem(&is);
}
HTREEITEM CTreeCtrl::InsertItem(LPCTSTR lpszItem, HTREEITEM hParent, HTREEITEM hInsertAfter) {
  return InsertItem(TVIF_TEXT, lpszItem, 0, 0, 0, 0, 0, hParent, hInsertAfter);
}
HTREEITEM CTreeCtrl::InsertItem(LPCTSTR lpszItem, int nImage, int nSelectedImage, HTREEITEM hParent,
                                HTREEITEM hInsertAfter) {
  return InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE, lpszItem, nImage, nSelectedImage, 0, 0, 0, hParent,
                    hInsertAfter);
}
BOOL CTreeCtrl::DeleteItem(HTREEITEM hItem) { return (BOOL)SendMessage(TVM_DELETEITEM, 0, (LPARAM)hItem); }
BOOL CTreeCtrl::DeleteAllItems() { return (BOOL)SendMessage(TVM_DELETEITEM, 0, (LPARAM)TVI_ROOT); }
BOOL CTreeCtrl::Expand(HTREEITEM hItem, UINT nCode) { return (BOOL)SendMessage(TVM_EXPAND, nCode, (LPARAM)hItem); }
BOOL CTreeCtrl::Select(HTREEITEM hItem, UINT nCode) { return (BOOL)SendMessage(TVM_SELECTITEM, nCode, (LPARAM)hItem); }
CEdit* CTreeCtrl::EditLabel(HTREEITEM hItem) {
  HWND e = (HWND)SendMessage(TVM_EDITLABEL, 0, (LPARAM)hItem);
  return e ? dynamic_cast<CEdit*>(CWnd::FromHandlePermanent(e)) : nullptr;
}
CEdit* CTreeCtrl::GetEditControl() const {
  HWND e = (HWND)SendMessage(TVM_GETEDITCONTROL);
  return e ? dynamic_cast<CEdit*>(CWnd::FromHandlePermanent(e)) : nullptr;
}
BOOL CTreeCtrl::EndEditLabelNow(BOOL fCancelWithoutSave) {
  return (BOOL)SendMessage(TVM_ENDEDITLABELNOW, (WPARAM)fCancelWithoutSave);
}
HTREEITEM CTreeCtrl::HitTest(CPoint pt, UINT* pFlags) const {
  TVHITTESTINFO ht{};
  ht.pt = pt;
  HTREEITEM r = HitTest(&ht);
  if (pFlags) *pFlags = ht.flags;
  return r;
}
HTREEITEM CTreeCtrl::HitTest(TVHITTESTINFO* pHitTestInfo) const {
  return (HTREEITEM)SendMessage(TVM_HITTEST, 0, (LPARAM)pHitTestInfo);
}
BOOL CTreeCtrl::SortChildren(HTREEITEM hItem) { return (BOOL)SendMessage(TVM_SORTCHILDREN, 0, (LPARAM)hItem); }
BOOL CTreeCtrl::SortChildrenCB(LPTVSORTCB pSort) { return (BOOL)SendMessage(TVM_SORTCHILDRENCB, 0, (LPARAM)pSort); }
BOOL CTreeCtrl::EnsureVisible(HTREEITEM hItem) { return (BOOL)SendMessage(TVM_ENSUREVISIBLE, 0, (LPARAM)hItem); }
