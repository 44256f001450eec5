// The tree control through real input: notifications in the order a parent relies on, refused
// changes, sorting with a callback, label editing, hit tests, keys, scrolling and the drawing.
#include "platform/testing/UiTest.h"
#include "platform/ui/AfxWin.h"
#include "platform/ui/Controls.h"

#include "tests/platform_ui/TestDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Note {
  UINT code;
  UINT action;
  HTREEITEM oldItem, newItem;
  HTREEITEM selectedThen;  // the tree's selection when the parent heard it
  std::string text;        // label-edit notifications: the text, "<null>" when cancelled
};

class CHost : public CWnd {
 public:
  std::vector<Note> notes;
  HTREEITEM refuseExpand = nullptr;
  HTREEITEM refuseSelect = nullptr;
  bool refuseEdit = false;
  bool acceptEdit = true;
  std::string editTextOnBegin;  // put into the edit control on TVN_BEGINLABELEDIT
  int contextMenus = 0;
  POINT contextAt{0, 0};
  bool passOn = false;  // to the framework's handling (and its reflection)
  std::string callbackText = "A text the parent gives";

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_CONTEXTMENU) {
      ++contextMenus;
      contextAt = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      return 0;
    }
    if (message != WM_NOTIFY || passOn) return CWnd::WindowProc(message, wParam, lParam);
    auto* nm = (NMHDR*)lParam;
    Note n{nm->code, 0, nullptr, nullptr, nullptr, {}};
    auto* tree = (CTreeCtrl*)CWnd::FromHandlePermanent(nm->hwndFrom);
    if (tree) n.selectedThen = tree->GetSelectedItem();
    LRESULT result = 0;
    switch (nm->code) {
      case TVN_SELCHANGING:
      case TVN_SELCHANGED:
      case TVN_ITEMEXPANDING:
      case TVN_ITEMEXPANDED:
      case TVN_DELETEITEM: {
        auto* tv = (NMTREEVIEW*)lParam;
        n.action = tv->action;
        n.oldItem = tv->itemOld.hItem;
        n.newItem = tv->itemNew.hItem;
        if (nm->code == TVN_ITEMEXPANDING && tv->itemNew.hItem == refuseExpand) result = TRUE;
        if (nm->code == TVN_SELCHANGING && tv->itemNew.hItem == refuseSelect) result = TRUE;
        break;
      }
      case TVN_BEGINLABELEDIT: {
        auto* di = (NMTVDISPINFO*)lParam;
        n.newItem = di->item.hItem;
        n.text = di->item.pszText ? di->item.pszText : "<null>";
        if (!editTextOnBegin.empty() && tree && tree->GetEditControl())
          tree->GetEditControl()->SetWindowText(editTextOnBegin.c_str());
        result = refuseEdit;
        break;
      }
      case TVN_ENDLABELEDIT: {
        auto* di = (NMTVDISPINFO*)lParam;
        n.newItem = di->item.hItem;
        n.text = di->item.pszText ? di->item.pszText : "<null>";
        result = acceptEdit;
        break;
      }
      case TVN_KEYDOWN: n.action = ((NMTVKEYDOWN*)lParam)->wVKey; break;
      case TVN_GETDISPINFO: {
        auto* di = (NMTVDISPINFO*)lParam;
        if ((di->item.mask & TVIF_TEXT) && di->item.pszText)
          std::snprintf(di->item.pszText, (size_t)di->item.cchTextMax, "%s", callbackText.c_str());
        if (di->item.mask & TVIF_CHILDREN) di->item.cChildren = 1;
        if (di->item.mask & TVIF_IMAGE) di->item.iImage = 1;
        if (di->item.mask & TVIF_SELECTEDIMAGE) di->item.iSelectedImage = 1;
        return 0;
      }
    }
    notes.push_back(n);
    return result;
  }
  int count(UINT code) const {
    int k = 0;
    for (auto& n : notes) k += n.code == code;
    return k;
  }
  const Note* last(UINT code) const {
    for (auto it = notes.rbegin(); it != notes.rend(); ++it)
      if (it->code == code) return &*it;
    return nullptr;
  }
  int indexOf(UINT code) const {
    for (size_t i = 0; i < notes.size(); ++i)
      if (notes[i].code == code) return (int)i;
    return -1;
  }
};

// A small picture strip: a red square and a blue one, magenta around them.
void MakeImages(CImageList& list) {
  list.Create(16, 16, ILC_COLOR24 | ILC_MASK, 2, 0);
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CBitmap bmp;
  bmp.CreateCompatibleBitmap(&dc, 32, 16);
  CBitmap* old = dc.SelectObject(&bmp);
  dc.FillSolidRect(0, 0, 32, 16, RGB(255, 0, 255));
  dc.FillSolidRect(2, 2, 12, 12, RGB(200, 0, 0));
  dc.FillSolidRect(18, 2, 12, 12, RGB(0, 0, 200));
  dc.SelectObject(old);
  list.Add(&bmp, RGB(255, 0, 255));
}

class Tree : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, nullptr, (HBRUSH)(COLOR_3DFACE + 1));
    ASSERT_TRUE(host.CreateEx(0, cls, "host", WS_POPUP | WS_VISIBLE, 100, 100, 320, 260, nullptr, nullptr));
    ASSERT_TRUE(tree.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                                TVS_SHOWSELALWAYS | TVS_EDITLABELS,
                            CRect(10, 10, 250, 230), &host, 183));
    MakeImages(images);
    tree.SetImageList(&images, TVSIL_NORMAL);
    england = tree.InsertItem("England", 0, 0);
    france = tree.InsertItem("France", 1, 1);
    dover = tree.InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM, "Dover", 1, 1, 0, 0, 30, england,
                            TVI_LAST);
    aberdeen = tree.InsertItem(TVIF_TEXT | TVIF_PARAM, "Aberdeen", 1, 1, 0, 0, 10, england, TVI_LAST);
    portsmouth = tree.InsertItem(TVIF_TEXT | TVIF_PARAM, "Portsmouth", 1, 1, 0, 0, 20, england, TVI_LAST);
    calais = tree.InsertItem("Calais", france);
  }
  void TearDown() override { host.DestroyWindow(); }

  // Centre of an item's label, in the tree's client coordinates.
  CPoint LabelCentre(HTREEITEM h) {
    CRect rc;
    EXPECT_TRUE(tree.GetItemRect(h, &rc, TRUE));
    return rc.CenterPoint();
  }
  CPoint ButtonCentre(HTREEITEM h) {
    CRect rc;
    EXPECT_TRUE(tree.GetItemRect(h, &rc, TRUE));
    // The +/- box sits in the indent column left of the picture.
    return CPoint(rc.left - 18 - (int)tree.GetIndent() / 2, rc.CenterPoint().y);
  }
  std::vector<std::string> Children(HTREEITEM parent) {
    std::vector<std::string> v;
    for (HTREEITEM c = tree.GetChildItem(parent); c; c = tree.GetNextSiblingItem(c))
      v.push_back(std::string(tree.GetItemText(c)));
    return v;
  }

  CHost host;
  CTreeCtrl tree;
  CImageList images;
  HTREEITEM england{}, france{}, dover{}, aberdeen{}, portsmouth{}, calais{};
};

TEST_F(Tree, InsertPositionsAndNavigation) {
  EXPECT_EQ(tree.GetCount(), 6u);
  EXPECT_EQ(tree.GetRootItem(), england);
  EXPECT_EQ(tree.GetNextSiblingItem(england), france);
  EXPECT_EQ(tree.GetPrevSiblingItem(france), england);
  EXPECT_EQ(tree.GetParentItem(dover), england);
  EXPECT_EQ(tree.GetParentItem(england), nullptr);
  EXPECT_EQ(Children(england), (std::vector<std::string>{"Dover", "Aberdeen", "Portsmouth"}));
  HTREEITEM first = tree.InsertItem("Brighton", england, TVI_FIRST);
  HTREEITEM sorted = tree.InsertItem("Falmouth", england, TVI_SORT);
  HTREEITEM after = tree.InsertItem("Deal", england, dover);
  (void)first;
  (void)sorted;
  (void)after;
  // TVI_SORT finds its place among the (unsorted) siblings by the first larger text.
  EXPECT_EQ(Children(england),
            (std::vector<std::string>{"Brighton", "Dover", "Deal", "Aberdeen", "Falmouth", "Portsmouth"}));
  EXPECT_EQ(tree.GetItemData(aberdeen), 10u);
  tree.SetItemData(aberdeen, 77);
  EXPECT_EQ(tree.GetItemData(aberdeen), 77u);
  tree.SetItemText(aberdeen, "Aberdeen Harbour");
  EXPECT_EQ(std::string(tree.GetItemText(aberdeen)), "Aberdeen Harbour");
  tree.SetItemState(england, TVIS_BOLD, TVIS_BOLD);
  EXPECT_EQ(tree.GetItemState(england, TVIS_BOLD), (UINT)TVIS_BOLD);
  EXPECT_TRUE(tree.ItemHasChildren(england));
  EXPECT_FALSE(tree.ItemHasChildren(dover));
  // Children of a collapsed item are not visible: no rectangle, not in the visible chain.
  CRect rc;
  EXPECT_FALSE(tree.GetItemRect(dover, &rc, FALSE));
  EXPECT_EQ(tree.GetNextVisibleItem(england), france);
  tree.Expand(england, TVE_EXPAND);
  EXPECT_EQ(tree.GetNextVisibleItem(england), first);
  EXPECT_EQ(tree.GetItemState(england, TVIS_EXPANDED), (UINT)TVIS_EXPANDED);
  // A stale handle is refused, not followed.
  tree.DeleteItem(calais);
  EXPECT_EQ(std::string(tree.GetItemText(calais)), "");
  EXPECT_FALSE(tree.Expand(calais, TVE_EXPAND));
  EXPECT_EQ(tree.GetChildItem(france), nullptr);
}

int CALLBACK_ByDataDescending(LPARAM a, LPARAM b, LPARAM sortData) {
  EXPECT_EQ(sortData, 1234);
  return a > b ? -1 : a < b ? 1 : 0;
}
int Contrary(LPARAM, LPARAM, LPARAM) { return std::rand() % 3 - 1; }

TEST_F(Tree, SortChildrenWithCallbackAndByText) {
  TVSORTCB sort{england, &CALLBACK_ByDataDescending, 1234};
  ASSERT_TRUE(tree.SortChildrenCB(&sort));
  EXPECT_EQ(Children(england), (std::vector<std::string>{"Dover", "Portsmouth", "Aberdeen"}));
  ASSERT_TRUE(tree.SortChildren(england));
  EXPECT_EQ(Children(england), (std::vector<std::string>{"Aberdeen", "Dover", "Portsmouth"}));
  // Sorting is case-insensitive and keeps equal texts in their order.
  HTREEITEM lower = tree.InsertItem("dover", england);
  tree.SetItemData(lower, 99);
  tree.SortChildren(england);
  EXPECT_EQ(Children(england), (std::vector<std::string>{"Aberdeen", "Dover", "dover", "Portsmouth"}));
  // A comparer that contradicts itself loses nothing.
  for (int i = 0; i < 200; ++i) tree.InsertItem(("P" + std::to_string(i)).c_str(), france);
  TVSORTCB bad{france, &Contrary, 0};
  ASSERT_TRUE(tree.SortChildrenCB(&bad));
  EXPECT_EQ(Children(france).size(), 201u);
  EXPECT_EQ(tree.GetCount(), 207u);
}

TEST_F(Tree, ClickNotifiesBeforeTheSelectionMoves) {
  tree.Expand(england, TVE_EXPAND);
  host.notes.clear();
  CPoint p = LabelCentre(dover);
  AfxTestClick(tree.m_hWnd, p.x, p.y);
  EXPECT_EQ(tree.GetSelectedItem(), dover);
  int click = host.indexOf(NM_CLICK), changing = host.indexOf(TVN_SELCHANGING), changed = host.indexOf(TVN_SELCHANGED);
  ASSERT_GE(click, 0);
  ASSERT_GE(changed, 0);
  EXPECT_LT(click, changing);
  EXPECT_LT(changing, changed);
  EXPECT_EQ(host.notes[(size_t)click].selectedThen, nullptr);  // the old selection
  EXPECT_EQ(host.last(TVN_SELCHANGED)->newItem, dover);
  EXPECT_EQ(host.last(TVN_SELCHANGED)->action, (UINT)TVC_BYMOUSE);
  // A refused change keeps the selection.
  host.refuseSelect = aberdeen;
  p = LabelCentre(aberdeen);
  AfxTestClick(tree.m_hWnd, p.x, p.y);
  EXPECT_EQ(tree.GetSelectedItem(), dover);
  host.refuseSelect = nullptr;
  // Double click: NM_DBLCLK and the item opens or closes.
  host.notes.clear();
  p = LabelCentre(france);
  AfxTestDoubleClick(tree.m_hWnd, p.x, p.y);
  EXPECT_EQ(host.count(NM_DBLCLK), 1);
  EXPECT_EQ(tree.GetSelectedItem(), france);
  EXPECT_TRUE(tree.GetItemState(france, TVIS_EXPANDED) & TVIS_EXPANDED);
  // Right click: NM_RCLICK, then the context menu message reaches the parent.
  host.notes.clear();
  p = LabelCentre(calais);
  POINT sp = p;
  tree.ClientToScreen(&sp);
  AfxTestMouse(WM_MOUSEMOVE, sp);
  AfxTestMouse(WM_RBUTTONDOWN, sp);
  AfxTestMouse(WM_RBUTTONUP, sp);
  EXPECT_EQ(host.count(NM_RCLICK), 1);
  EXPECT_EQ(host.contextMenus, 1);
  EXPECT_EQ(host.contextAt.x, sp.x);
  EXPECT_EQ(host.contextAt.y, sp.y);
  UINT flags = 0;
  EXPECT_EQ(tree.HitTest(p, &flags), calais);
  EXPECT_TRUE(flags & TVHT_ONITEM);
}

TEST_F(Tree, ExpansionTheParentRefuses) {
  host.refuseExpand = england;
  CPoint b = ButtonCentre(england);
  UINT flags = 0;
  EXPECT_EQ(tree.HitTest(b, &flags), england);
  EXPECT_EQ(flags, (UINT)TVHT_ONITEMBUTTON);
  AfxTestClick(tree.m_hWnd, b.x, b.y);
  EXPECT_EQ(host.count(TVN_ITEMEXPANDING), 1);
  EXPECT_EQ(host.count(TVN_ITEMEXPANDED), 0);
  EXPECT_FALSE(tree.GetItemState(england, TVIS_EXPANDED) & TVIS_EXPANDED);
  EXPECT_FALSE(tree.Expand(england, TVE_EXPAND));
  // Another item opens; its notifications carry the action.
  b = ButtonCentre(france);
  AfxTestClick(tree.m_hWnd, b.x, b.y);
  EXPECT_TRUE(tree.GetItemState(france, TVIS_EXPANDED) & TVIS_EXPANDED);
  ASSERT_NE(host.last(TVN_ITEMEXPANDED), nullptr);
  EXPECT_EQ(host.last(TVN_ITEMEXPANDED)->action, (UINT)TVE_EXPAND);
  EXPECT_EQ(host.last(TVN_ITEMEXPANDED)->newItem, france);
  EXPECT_EQ(tree.GetSelectedItem(), nullptr);  // a button click does not select
  // Collapsing over the selection moves it to the collapsed item.
  tree.SelectItem(calais);
  int before = host.count(TVN_ITEMEXPANDING);
  tree.Expand(france, TVE_COLLAPSE);
  EXPECT_EQ(tree.GetSelectedItem(), france);
  // Once an item has been open, the program's own expansions are not reported; the user's are.
  EXPECT_TRUE(tree.Expand(france, TVE_EXPAND));
  EXPECT_EQ(host.count(TVN_ITEMEXPANDING), before);
  tree.SetFocus();
  AfxTestKeyStroke(VK_SUBTRACT, 0, "-");
  EXPECT_EQ(host.count(TVN_ITEMEXPANDING), before + 1);
  EXPECT_EQ(host.last(TVN_ITEMEXPANDED)->action, (UINT)TVE_COLLAPSE);
}

TEST_F(Tree, HitTestFlags) {
  tree.Expand(england, TVE_EXPAND);
  CRect label, row;
  ASSERT_TRUE(tree.GetItemRect(dover, &label, TRUE));
  ASSERT_TRUE(tree.GetItemRect(dover, &row, FALSE));
  CRect client;
  tree.GetClientRect(&client);
  struct Case {
    CPoint pt;
    UINT flags;
    HTREEITEM item;
  } cases[] = {
      {label.CenterPoint(), TVHT_ONITEMLABEL, dover},
      {CPoint(label.left - 8, label.CenterPoint().y), TVHT_ONITEMICON, dover},
      {CPoint(label.right + 5, label.CenterPoint().y), TVHT_ONITEMRIGHT, dover},
      {CPoint(2, label.CenterPoint().y), TVHT_ONITEMINDENT, dover},
      {ButtonCentre(england), TVHT_ONITEMBUTTON, england},
      {CPoint(20, client.bottom - 2), TVHT_NOWHERE, nullptr},
      {CPoint(20, -5), TVHT_ABOVE, nullptr},
      {CPoint(20, client.bottom + 5), TVHT_BELOW, nullptr},
      {CPoint(client.right + 5, 5), TVHT_TORIGHT, nullptr},
      {CPoint(-3, 5), TVHT_TOLEFT, nullptr},
  };
  for (const Case& c : cases) {
    TVHITTESTINFO ht{};
    ht.pt = c.pt;
    EXPECT_EQ(tree.HitTest(&ht), c.item) << c.pt.x << "," << c.pt.y;
    EXPECT_EQ(ht.flags, c.flags) << c.pt.x << "," << c.pt.y;
  }
  EXPECT_EQ(row.left, 0);
  EXPECT_EQ(row.Height(), tree.GetItemHeight());
}

TEST_F(Tree, LabelEditingWithTextOtherThanShown) {
  tree.Expand(england, TVE_EXPAND);
  tree.SelectItem(dover);
  host.editTextOnBegin = "Dover Harbour";
  CEdit* edit = tree.EditLabel(dover);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(tree.GetEditControl(), edit);
  EXPECT_EQ(host.last(TVN_BEGINLABELEDIT)->text, "Dover");
  CString t;
  edit->GetWindowText(t);
  EXPECT_EQ(std::string(t), "Dover Harbour");
  EXPECT_EQ(CWnd::GetFocus(), edit);
  // The whole text is selected: typing replaces it; Return ends the edit.
  AfxTestKeyStroke(VK_END);
  AfxTestKeyStroke('X', 0, "x");
  AfxTestKeyStroke(VK_RETURN, 0, "\r");
  ASSERT_NE(host.last(TVN_ENDLABELEDIT), nullptr);
  EXPECT_EQ(host.last(TVN_ENDLABELEDIT)->text, "Dover Harbourx");
  EXPECT_EQ(std::string(tree.GetItemText(dover)), "Dover Harbourx");
  EXPECT_EQ(tree.GetEditControl(), nullptr);
  EXPECT_EQ(CWnd::GetFocus(), &tree);

  // Escape cancels: the parent hears a null text and the label stays.
  host.editTextOnBegin.clear();
  ASSERT_NE(tree.EditLabel(dover), nullptr);
  AfxTestKeyStroke('Q', 0, "q");
  AfxTestKeyStroke(VK_ESCAPE);
  EXPECT_EQ(host.last(TVN_ENDLABELEDIT)->text, "<null>");
  EXPECT_EQ(std::string(tree.GetItemText(dover)), "Dover Harbourx");

  // The parent may reject the new text, or refuse the edit altogether.
  host.acceptEdit = false;
  ASSERT_NE(tree.EditLabel(dover), nullptr);
  AfxTestKeyStroke('Q', 0, "q");
  AfxTestKeyStroke(VK_RETURN, 0, "\r");
  EXPECT_EQ(host.last(TVN_ENDLABELEDIT)->text, "q");
  EXPECT_EQ(std::string(tree.GetItemText(dover)), "Dover Harbourx");
  host.refuseEdit = true;
  EXPECT_EQ(tree.EditLabel(dover), nullptr);
  EXPECT_EQ(tree.GetEditControl(), nullptr);

  // A click on the label of the selected item edits it after the double-click time.
  host.refuseEdit = false;
  host.acceptEdit = true;
  tree.SetFocus();
  CPoint p = LabelCentre(dover);
  AfxTestClick(tree.m_hWnd, p.x, p.y);
  AfxTestWait((int)GetDoubleClickTime() + 300, [&] { return tree.GetEditControl() != nullptr; });
  ASSERT_NE(tree.GetEditControl(), nullptr);
  // Clicking elsewhere in the tree ends the edit, keeping the text.
  CPoint q = LabelCentre(england);
  AfxTestClick(tree.m_hWnd, q.x, q.y);
  EXPECT_EQ(tree.GetEditControl(), nullptr);
  EXPECT_EQ(host.last(TVN_ENDLABELEDIT)->text, "Dover Harbourx");
}

TEST_F(Tree, Keyboard) {
  tree.SetFocus();
  host.notes.clear();
  AfxTestKeyStroke(VK_DOWN);
  EXPECT_EQ(tree.GetSelectedItem(), england);
  EXPECT_EQ(host.last(TVN_KEYDOWN)->action, (UINT)VK_DOWN);
  EXPECT_EQ(host.last(TVN_SELCHANGED)->action, (UINT)TVC_BYKEYBOARD);
  AfxTestKeyStroke(VK_RIGHT);  // opens
  EXPECT_TRUE(tree.GetItemState(england, TVIS_EXPANDED) & TVIS_EXPANDED);
  AfxTestKeyStroke(VK_RIGHT);  // goes to the first child
  EXPECT_EQ(tree.GetSelectedItem(), dover);
  AfxTestKeyStroke(VK_DOWN);
  EXPECT_EQ(tree.GetSelectedItem(), aberdeen);
  AfxTestKeyStroke(VK_LEFT);  // up to the parent
  EXPECT_EQ(tree.GetSelectedItem(), england);
  AfxTestKeyStroke(VK_SUBTRACT, 0, "-");
  EXPECT_FALSE(tree.GetItemState(england, TVIS_EXPANDED) & TVIS_EXPANDED);
  AfxTestKeyStroke(VK_ADD, 0, "+");
  EXPECT_TRUE(tree.GetItemState(england, TVIS_EXPANDED) & TVIS_EXPANDED);
  AfxTestKeyStroke(VK_END);
  EXPECT_EQ(tree.GetSelectedItem(), france);
  AfxTestKeyStroke(VK_HOME);
  EXPECT_EQ(tree.GetSelectedItem(), england);
  AfxTestKeyStroke('P', 0, "p");  // type-ahead
  EXPECT_EQ(tree.GetSelectedItem(), portsmouth);
  host.notes.clear();
  AfxTestKeyStroke(VK_RETURN, 0, "\r");
  EXPECT_EQ(host.count(NM_RETURN), 1);
  AfxTestKeyStroke(VK_F2);
  ASSERT_NE(tree.GetEditControl(), nullptr);
  AfxTestKeyStroke(VK_ESCAPE);
  EXPECT_EQ(tree.GetEditControl(), nullptr);
}

TEST_F(Tree, DeletingNotifiesAndMovesTheSelection) {
  tree.Expand(england, TVE_EXPAND);
  tree.SelectItem(aberdeen);
  host.notes.clear();
  ASSERT_TRUE(tree.DeleteItem(aberdeen));
  EXPECT_EQ(tree.GetSelectedItem(), portsmouth);
  EXPECT_EQ(host.count(TVN_DELETEITEM), 1);
  EXPECT_EQ(host.last(TVN_DELETEITEM)->oldItem, aberdeen);
  host.notes.clear();
  ASSERT_TRUE(tree.DeleteItem(england));  // the item and its two children
  EXPECT_EQ(host.count(TVN_DELETEITEM), 3);
  EXPECT_EQ(tree.GetSelectedItem(), france);
  tree.DeleteAllItems();
  EXPECT_EQ(tree.GetCount(), 0u);
  EXPECT_EQ(tree.GetSelectedItem(), nullptr);
  EXPECT_EQ(tree.GetRootItem(), nullptr);
}

TEST_F(Tree, ScrollsToKeepItemsInView) {
  HTREEITEM lastOne = nullptr;
  for (int i = 0; i < 60; ++i) lastOne = tree.InsertItem(("Port " + std::to_string(i)).c_str(), france);
  tree.Expand(france, TVE_EXPAND);
  EXPECT_TRUE(tree.GetStyle() & WS_VSCROLL);
  UINT visible = tree.GetVisibleCount();
  ASSERT_GT(visible, 3u);
  ASSERT_LT(visible, 60u);
  tree.EnsureVisible(lastOne);
  CRect rc, client;
  tree.GetClientRect(&client);
  ASSERT_TRUE(tree.GetItemRect(lastOne, &rc, FALSE));
  EXPECT_GE(rc.top, 0);
  EXPECT_LE(rc.bottom, client.bottom);
  EXPECT_EQ(tree.GetLastVisibleItem(), lastOne);
  // The wheel scrolls back up three rows a notch.
  HTREEITEM top = tree.GetFirstVisibleItem();
  POINT c{50, 50};
  tree.ClientToScreen(&c);
  AfxTestMouse(WM_MOUSEMOVE, c);
  AfxTestWheel(c, WHEEL_DELTA);
  HTREEITEM now = tree.GetFirstVisibleItem();
  EXPECT_EQ(tree.GetNextVisibleItem(tree.GetNextVisibleItem(tree.GetNextVisibleItem(now))), top);
  // A click on the scroll bar's lower arrow moves one row.
  CRect wr;
  tree.GetWindowRect(&wr);
  AfxTestMouse(WM_MOUSEMOVE, POINT{wr.right - 8, wr.bottom - 8});
  AfxTestMouse(WM_LBUTTONDOWN, POINT{wr.right - 8, wr.bottom - 8});
  AfxTestMouse(WM_LBUTTONUP, POINT{wr.right - 8, wr.bottom - 8});
  EXPECT_EQ(tree.GetFirstVisibleItem(), tree.GetNextVisibleItem(now));
  // Collapsing everything removes the bar again.
  tree.Expand(france, TVE_COLLAPSE);
  EXPECT_FALSE(tree.GetStyle() & WS_VSCROLL);
  EXPECT_EQ(tree.GetFirstVisibleItem(), england);
}

TEST_F(Tree, CallbackItemsAskTheParent) {
  TVINSERTSTRUCT is{};
  is.hParent = TVI_ROOT;
  is.hInsertAfter = TVI_LAST;
  is.item.mask = TVIF_TEXT | TVIF_CHILDREN | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  is.item.pszText = LPSTR_TEXTCALLBACK;
  is.item.cChildren = I_CHILDRENCALLBACK;
  is.item.iImage = is.item.iSelectedImage = I_IMAGECALLBACK;
  HTREEITEM cb = tree.InsertItem(&is);
  HTREEITEM plain = tree.InsertItem("A");
  CRect a, b;
  ASSERT_TRUE(tree.GetItemRect(cb, &a, TRUE));
  ASSERT_TRUE(tree.GetItemRect(plain, &b, TRUE));
  EXPECT_GT(a.Width(), 3 * b.Width());  // measured with the parent's text
  UINT flags = 0;
  EXPECT_EQ(tree.HitTest(CPoint(a.left - 18 - (int)tree.GetIndent() / 2, a.CenterPoint().y), &flags), cb);
  EXPECT_EQ(flags, (UINT)TVHT_ONITEMBUTTON);  // it says it has children
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(tree.m_hWnd, &pic));
  const CPoint origin = AfxClientOriginInCapture(tree.m_hWnd);
  // Picture 1 (blue), as the parent said.
  EXPECT_EQ(pic.GetPixel(origin.x + a.left - 9, origin.y + a.CenterPoint().y), RGB(0, 0, 200));
}

// A label's width is kept between layouts; each change of its text or font is measured again,
// in the item's rectangle and in the horizontal scroll bar alike.
TEST_F(Tree, ALabelIsMeasuredAgainWhenItsTextOrFontChanges) {
  auto width = [&](HTREEITEM h) {
    CRect rc;
    EXPECT_TRUE(tree.GetItemRect(h, &rc, TRUE));
    return (int)rc.Width();
  };
  TVINSERTSTRUCT is{};
  is.hParent = TVI_ROOT;
  is.hInsertAfter = TVI_LAST;
  is.item.mask = TVIF_TEXT;
  is.item.pszText = LPSTR_TEXTCALLBACK;
  HTREEITEM cb = tree.InsertItem(&is);
  host.callbackText = "Short";
  const int england0 = width(england), france0 = width(france), cb0 = width(cb);

  tree.SetItemText(england, "England and Wales");
  const int england1 = width(england);
  EXPECT_GT(england1, england0);
  tree.SetItemState(england, TVIS_BOLD, TVIS_BOLD);
  EXPECT_GT(width(england), england1);
  host.callbackText = "A longer text the parent gives now";
  EXPECT_GT(width(cb), cb0);
  host.callbackText = "Short";
  tree.SetItemText(england, "England");

  CFont big;
  ASSERT_TRUE(big.CreatePointFont(240, "Sans"));
  tree.SetFont(&big);
  EXPECT_GT(width(france), france0);
  tree.SetFont(CFont::FromHandle((HFONT)::GetStockObject(DEFAULT_GUI_FONT)));
  EXPECT_EQ(width(france), france0);

  // Only the width makes the bar: a label wider than the tree brings it, and shorter again
  // takes it away.
  EXPECT_FALSE(tree.GetStyle() & WS_HSCROLL);
  tree.SetItemText(france, "France, from Dunkerque by the Channel and Atlantic coasts to Hendaye");
  EXPECT_TRUE(tree.GetStyle() & WS_HSCROLL);
  tree.SetItemText(france, "France");
  EXPECT_FALSE(tree.GetStyle() & WS_HSCROLL);
}

class CReflectingTree : public CTreeCtrl {
 public:
  int selChanges = 0;
  void OnSelChanged(NMHDR*, LRESULT* pResult) {
    ++selChanges;
    *pResult = 0;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CReflectingTree, CTreeCtrl)
  ON_NOTIFY_REFLECT(TVN_SELCHANGED, OnSelChanged)
END_MESSAGE_MAP()

TEST_F(Tree, ATreeHandlesItsOwnReflectedNotifications) {
  CReflectingTree own;
  ASSERT_TRUE(own.Create(WS_CHILD | WS_VISIBLE | TVS_HASLINES, CRect(260, 10, 310, 200), &host, 184));
  HTREEITEM a = own.InsertItem("A");
  host.passOn = true;
  own.SelectItem(a);
  EXPECT_EQ(own.selChanges, 1);
}

TEST_F(Tree, DrawsTheClassicLook) {
  tree.Expand(england, TVE_EXPAND);
  tree.SetItemState(england, TVIS_BOLD, TVIS_BOLD);
  tree.SetFocus();
  tree.SelectItem(dover);
  TestDir dir;
  const char* keep = std::getenv("NEAPWISE_UI_PICTURES");
  std::string png = keep ? std::string(keep) + "/tree.png" : dir.file("tree.png");
  ASSERT_TRUE(AfxSaveWindowPng(host.m_hWnd, png.c_str()));
  CBitmap whole;
  ASSERT_TRUE(AfxCaptureWindow(tree.m_hWnd, &whole));
  // Client coordinates into the picture, which includes the border.
  const CPoint origin = AfxClientOriginInCapture(tree.m_hWnd);
  struct Pic {
    CBitmap& b;
    CPoint o;
    COLORREF GetPixel(int x, int y) const { return b.GetPixel(x + o.x, y + o.y); }
  } pic{whole, origin};
  // The selected label is filled with the highlight colour, with text in the highlight text colour.
  CRect label;
  ASSERT_TRUE(tree.GetItemRect(dover, &label, TRUE));
  EXPECT_EQ(pic.GetPixel(label.left + 1, label.top + 1), GetSysColor(COLOR_HIGHLIGHT));
  bool text = false;
  for (int x = label.left; x < label.right; ++x)
    for (int y = label.top; y < label.bottom; ++y) text |= pic.GetPixel(x, y) == GetSysColor(COLOR_HIGHLIGHTTEXT);
  EXPECT_TRUE(text);
  // Pictures: England's is red, Dover's blue.
  CRect eng;
  ASSERT_TRUE(tree.GetItemRect(england, &eng, TRUE));
  EXPECT_EQ(pic.GetPixel(eng.left - 9, eng.CenterPoint().y), RGB(200, 0, 0));
  EXPECT_EQ(pic.GetPixel(label.left - 9, label.CenterPoint().y), RGB(0, 0, 200));
  // The boxed minus of the open item and the plus of the closed one.
  CPoint b = ButtonCentre(england), f = ButtonCentre(france);
  EXPECT_EQ(pic.GetPixel(b.x, b.y), GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(pic.GetPixel(b.x, b.y - 2), GetSysColor(COLOR_WINDOW));  // minus: no upright
  EXPECT_EQ(pic.GetPixel(f.x, f.y - 2), GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(pic.GetPixel(b.x - 4, b.y - 4), GetSysColor(COLOR_BTNSHADOW));
  // Dotted lines join the children to their parent's column.
  int dots = 0;
  CRect dv;
  ASSERT_TRUE(tree.GetItemRect(dover, &dv, FALSE));
  for (int y = dv.top; y < dv.bottom; ++y) dots += pic.GetPixel(b.x, y) == GetSysColor(COLOR_GRAYTEXT);
  EXPECT_GE(dots, dv.Height() / 2 - 1);
  // A bold label is wider than the same text in the normal weight.
  HTREEITEM plain = tree.InsertItem("England");
  CRect pr;
  ASSERT_TRUE(tree.GetItemRect(plain, &pr, TRUE));
  EXPECT_GT(eng.Width(), pr.Width());
  // Without the focus the selection stays visible (TVS_SHOWSELALWAYS) in the face colour.
  host.SetFocus();
  ASSERT_TRUE(AfxCaptureWindow(tree.m_hWnd, &whole));
  EXPECT_EQ(pic.GetPixel(label.left + 1, label.top + 1), GetSysColor(COLOR_3DFACE));
}

}  // namespace
