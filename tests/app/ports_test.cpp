// The ports tree, the port-name strip and the Select Port dialog over the real port table,
// driven with real input against a fake frame.
#include "app/PortNameWnd.h"
#include "app/PortsTree.h"
#include "app/SelectPortDlg.h"
#include "model/PortDB.h"
#include "model/PortHistory.h"
#include "model/Position.h"
#include "platform/testing/UiTest.h"
#include "views/VxMenu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

class CFrameWindow : public CWnd {
 public:
  std::vector<UINT> commands;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    commands.push_back(LOWORD(wParam));
    return CWnd::OnCommand(wParam, lParam);
  }
};

class FakeFrame : public IPortsHost {
 public:
  CFrameWindow window;
  VxMenu menu;
  CPortDB ports;
  CPortHistory history;
  BOOL calculated = FALSE;
  std::vector<int> selected;
  int calculations = 0;

  CWnd* GetMainWindow() override { return &window; }
  VxMenu* GetContextMenu() override { return &menu; }
  CPortDB* GetPortDB() override { return &ports; }
  CPortHistory* GetPortHistory() override { return &history; }
  BOOL IsGraphCalculated() const override { return calculated; }
  void SelectPort(int nPort) override { selected.push_back(nPort); }
  void CalculateGraph() override { ++calculations; }
};

// The rule codes each node takes, as the tree's table gives them.
const std::map<std::string, std::vector<int>> kNodeRules = {
    {"England", {0}},
    {"Scotland", {1}},
    {"Ireland", {2}},
    {"Wales", {3}},
    {"France", {4}},
    {"Denmark", {27}},
    {"Norway", {33}},
    {"Germany", {28}},
    {"Belgium", {5}},
    {"Netherlands", {6}},
    {"Spain", {30}},
    {"Portugal", {31}},
    {"Gibraltar", {32}},
    {"Canada", {29}},
    {"Long Island - Atlantic", {25}},
    {"Long Island - Sound", {26}},
    {"New York Bay", {24}},
    {"Chesapeake Bay", {23}},
    {"Atlantic Coast", {22}},
    {"Florida Strait", {21}},
    {"Gulf of Mexico", {19}},
    {"Cuba", {15}},
    {"Jamaica", {13}},
    {"Dominican Republic", {11}},
    {"Haiti", {12}},
    {"Windward Islands", {8}},
    {"Leeward Islands", {9}},
    {"Cayman Islands", {14}},
    {"Turks Islands", {16}},
    {"Bahama Islands", {17}},
    {"Bermuda", {18}},
    {"Puerto Rico", {10}},
    {"Australia", {34, 35}},
    {"Tasmania", {40}},
};

std::string Lower(std::string s) {
  for (char& c : s) c = (char)std::tolower((unsigned char)c);
  return s;
}

class Ports : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    ASSERT_EQ(frame.ports.Load(), 1);
    LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, nullptr, (HBRUSH)(COLOR_3DFACE + 1));
    ASSERT_TRUE(frame.window.CreateEx(0, cls, "Neapwise", WS_POPUP | WS_VISIBLE, 60, 60, 420, 560, nullptr, nullptr));
    frame.window.SetActiveWindow();
    SetPortsHost(&frame);
  }
  void TearDown() override {
    SetPortsHost(nullptr);
    frame.window.DestroyWindow();
    AfxTestWait(5);
  }
  void MakeTree() {
    ASSERT_TRUE(tree.Create(CRect(2, 27, 400, 540), &frame.window, 102));
    tree.InsertPorts(frame.ports);
    tree.ApplyNameOrder();
  }
  std::vector<HTREEITEM> Children(HTREEITEM parent) {
    std::vector<HTREEITEM> v;
    for (HTREEITEM c = tree.GetChildItem(parent); c; c = tree.GetNextSiblingItem(c)) v.push_back(c);
    return v;
  }
  HTREEITEM Node(const char* text) {
    for (HTREEITEM n = tree.GetRootItem(); n; n = tree.GetNextSiblingItem(n))
      if (tree.GetItemText(n) == text) return n;
    return nullptr;
  }
  // The port item of a table index.
  HTREEITEM PortItem(int index) {
    for (HTREEITEM n = tree.GetRootItem(); n; n = tree.GetNextSiblingItem(n))
      for (HTREEITEM c : Children(n))
        if ((int)tree.GetItemData(c) == index) return c;
    return nullptr;
  }
  CPoint LabelCentre(HTREEITEM h) {
    tree.EnsureVisible(h);
    CRect rc;
    EXPECT_TRUE(tree.GetItemRect(h, &rc, TRUE));
    return rc.CenterPoint();
  }
  void RightClick(CWnd& w, CPoint client) {
    POINT p = client;
    w.ClientToScreen(&p);
    AfxTestMouse(WM_MOUSEMOVE, p);
    AfxTestMouse(WM_RBUTTONDOWN, p);
    AfxTestMouse(WM_RBUTTONUP, p);
  }

  FakeFrame frame;
  CPortsTree tree;
};

TEST_F(Ports, TheTableFillsTheAreaNodesInNameAndInTableOrder) {
  MakeTree();
  std::vector<std::string> nodes;
  for (HTREEITEM n = tree.GetRootItem(); n; n = tree.GetNextSiblingItem(n))
    nodes.push_back(std::string(tree.GetItemText(n)));
  ASSERT_EQ(nodes.size(), (size_t)CPortsTree::kAreaNodes);
  EXPECT_EQ(nodes.front(), "England");
  EXPECT_EQ(nodes[5], "Denmark");
  EXPECT_EQ(nodes.back(), "Tasmania");
  int img = 0, sel = 0;
  tree.GetItemImage(Node("Australia"), img, sel);
  EXPECT_EQ(img, 29);
  tree.GetItemImage(Node("Gulf of Mexico"), img, sel);
  EXPECT_EQ(img, 9);
  if (const char* keep = std::getenv("NEAPWISE_UI_PICTURES"))
    AfxSaveWindowPng(tree.m_hWnd, (std::string(keep) + "/ports_tree.png").c_str());

  // Every port whose rule code has a node is listed under it, and no other.
  std::map<std::string, std::vector<int>> expected;
  int listed = 0, unlisted = 0;
  for (int i = 0; i < frame.ports.GetCount(); ++i) {
    int rule = frame.ports.GetPort(i)->GetArea() - 1;
    bool found = false;
    for (auto& [node, rules] : kNodeRules)
      if (std::find(rules.begin(), rules.end(), rule) != rules.end()) {
        expected[node].push_back(i);
        found = true;
      }
    (found ? listed : unlisted)++;
  }
  EXPECT_GT(listed, 1000);
  EXPECT_EQ(tree.GetCount(), (UINT)(CPortsTree::kAreaNodes + listed));
  for (auto& [node, indices] : expected) {
    std::vector<HTREEITEM> kids = Children(Node(node.c_str()));
    ASSERT_EQ(kids.size(), indices.size()) << node;
    // Name order: case-insensitive, each child a port of this node.
    for (size_t k = 0; k < kids.size(); ++k) {
      int idx = (int)tree.GetItemData(kids[k]);
      EXPECT_NE(std::find(indices.begin(), indices.end(), idx), indices.end()) << node;
      EXPECT_EQ(std::string(tree.GetItemText(kids[k])), std::string(frame.ports.GetPort(idx)->GetName()));
      if (k) {
        EXPECT_LE(Lower(std::string(tree.GetItemText(kids[k - 1]))), Lower(std::string(tree.GetItemText(kids[k]))));
      }
      int image = 0, selImage = 0;
      tree.GetItemImage(kids[k], image, selImage);
      EXPECT_EQ(image, frame.ports.GetPort(idx)->GetKind() == 2 ? 7 : 8);
    }
  }
  EXPECT_FALSE(tree.IsInLocationOrder());
  // Location order is the table's order.
  tree.SortByLocation();
  EXPECT_TRUE(tree.IsInLocationOrder());
  for (auto& [node, indices] : expected) {
    std::vector<HTREEITEM> kids = Children(Node(node.c_str()));
    for (size_t k = 0; k < kids.size(); ++k) EXPECT_EQ((int)tree.GetItemData(kids[k]), indices[k]) << node;
  }
  // A second SortByLocation does nothing: a node sorted by text behind its back stays so.
  HTREEITEM england = Node("England");
  tree.SortChildren(england);
  std::vector<HTREEITEM> before = Children(england);
  tree.SortByLocation();
  EXPECT_EQ(Children(england), before);
  tree.SortByName();
  EXPECT_FALSE(tree.IsInLocationOrder());

  // Codes without a node are refused; 35 (Australia without summer time) goes to Australia.
  EXPECT_EQ(tree.InsertPort("Nowhere", FALSE, 7, 5000), 0);
  EXPECT_EQ(tree.InsertPort("Nowhere", FALSE, 20, 5001), 0);
  EXPECT_EQ(tree.InsertPort("Cairns Test", TRUE, 35, 5002), 1);
  HTREEITEM added = PortItem(5002);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(tree.GetParentItem(added), Node("Australia"));
  tree.Reset();
  EXPECT_EQ(tree.GetCount(), (UINT)CPortsTree::kAreaNodes);
}

TEST_F(Ports, AClickSelectsThePortThroughTheFrame) {
  MakeTree();
  HTREEITEM england = Node("England");
  tree.Expand(england, TVE_EXPAND);
  HTREEITEM port = Children(england)[3];
  int index = (int)tree.GetItemData(port);
  CPoint p = LabelCentre(port);
  AfxTestClick(tree.m_hWnd, p.x, p.y);
  ASSERT_EQ(frame.selected, std::vector<int>{index});
  EXPECT_EQ(tree.GetSelectedPort(), index);
  EXPECT_EQ(tree.GetLastSelectedPort(), index);
  // An area node is not a port.
  p = LabelCentre(england);
  AfxTestClick(tree.m_hWnd, p.x, p.y);
  EXPECT_EQ(frame.selected.size(), 1u);
  EXPECT_EQ(tree.GetSelectedPort(), -1);
  // Double click on a port without a graph yet calculates it; Return too; not once calculated.
  p = LabelCentre(port);
  AfxTestDoubleClick(tree.m_hWnd, p.x, p.y);
  EXPECT_EQ(frame.calculations, 1);
  AfxTestKeyStroke(VK_RETURN, 0, "\r");
  EXPECT_EQ(frame.calculations, 2);
  frame.calculated = TRUE;
  AfxTestDoubleClick(tree.m_hWnd, p.x, p.y);
  AfxTestKeyStroke(VK_RETURN, 0, "\r");
  EXPECT_EQ(frame.calculations, 2);
}

struct OpenMenu {
  std::vector<UINT> ids;         // the popup's items
  std::vector<UINT> nearestIds;  // the nearest-ports submenu's
  std::vector<std::string> nearestTexts;
  std::vector<bool> nearestPictures;
  UINT checkedOrder = 0;
};

// Reads the open context menu and closes it.
void ReadOpenMenu(OpenMenu* out) {
  HMENU menus[2];
  HWND wnds[2];
  // On a busy machine the timer may fire before the click has opened the menu.
  AfxTestWait(5000, [&] { return AfxGetTrackingMenus(menus, wnds, 2) > 0; });
  if (AfxGetTrackingMenus(menus, wnds, 2) < 1) return;
  HMENU m = menus[0];
  for (int i = 0; i < GetMenuItemCount(m); ++i) {
    out->ids.push_back(GetMenuItemID(m, i));
    HMENU sub = GetSubMenu(m, i);
    if (!sub) continue;
    auto* vx = dynamic_cast<VxMenu*>(CMenu::FromHandlePermanent(sub));
    for (int k = 0; k < GetMenuItemCount(sub); ++k) {
      UINT id = GetMenuItemID(sub, k);
      if (id == 32773 || id == 32774) {
        if (GetMenuState(sub, id, MF_BYCOMMAND) & MF_CHECKED) out->checkedOrder = id;
        continue;
      }
      out->nearestIds.push_back(id);
      const VxMenuData* d = vx ? vx->GetItemData((UINT)k) : nullptr;
      out->nearestTexts.push_back(d ? std::string(d->text) : "?");
      out->nearestPictures.push_back(d && d->nImageIndex >= 0 && d->pictures);
    }
  }
  // NEAPWISE_UI_PICTURES=<folder> keeps a picture of the open submenu for a person to look at.
  const char* keep = std::getenv("NEAPWISE_UI_PICTURES");
  if (keep && !out->nearestIds.empty()) {
    RECT item;
    GetMenuItemRect(nullptr, m, 3, &item);
    AfxTestMouse(WM_MOUSEMOVE, POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2});
    AfxTestWait(600, [] { return AfxGetTrackingMenus(nullptr, nullptr, 2) > 1; });
    if (AfxGetTrackingMenus(menus, wnds, 2) == 2)
      AfxSaveWindowPng(wnds[1], (std::string(keep) + "/nearest_ports.png").c_str());
    AfxSaveWindowPng(wnds[0], (std::string(keep) + "/port_menu.png").c_str());
  }
  EndMenu();
}

TEST_F(Ports, TheRightClickMenuListsTheTenNearestPorts) {
  MakeTree();
  HTREEITEM node = Node("England");
  tree.Expand(node, TVE_EXPAND);
  HTREEITEM port = Children(node)[10];
  int index = (int)tree.GetItemData(port);
  OpenMenu open;
  CTestCallLater read(40, [&] { ReadOpenMenu(&open); });
  RightClick(tree, LabelCentre(port));
  EXPECT_TRUE(read.Wait());
  EXPECT_EQ(frame.selected, std::vector<int>{index});  // the clicked port is selected first
  ASSERT_FALSE(open.ids.empty());
  EXPECT_EQ(open.ids.front(), 32771u);
  EXPECT_EQ(open.checkedOrder, 32773u);  // name order
  // The ten nearest, computed here the plain way.
  CPosition here = frame.ports.GetPortPosition(index);
  std::vector<std::pair<double, int>> all;
  for (int i = 0; i < frame.ports.GetCount(); ++i)
    if (i != index) all.push_back({GreatCircleDistance(here, frame.ports.GetPortPosition(i)), i});
  std::sort(all.begin(), all.end());
  ASSERT_EQ(open.nearestIds.size(), 10u);
  for (int k = 0; k < 10; ++k) {
    EXPECT_EQ(open.nearestIds[(size_t)k], 164u + (UINT)k);
    EXPECT_EQ(tree.GetNearestPort(k + 1), all[(size_t)k].second);
    const CPortData* p = frame.ports.GetPort(all[(size_t)k].second);
    CString want;
    want.Format("%s  \t%0.1f Nm  %03d\xC2\xB0T", p->GetName().GetString(), all[(size_t)k].first,
                (int)RhumbLineBearing(here, p->GetPosition()));
    EXPECT_EQ(open.nearestTexts[(size_t)k].substr(0, std::string(want).find('\t')),
              std::string(want).substr(0, std::string(want).find('\t')));
    EXPECT_NE(open.nearestTexts[(size_t)k].find(std::string(want).substr(std::string(want).find('\t'))),
              std::string::npos);
    EXPECT_EQ(open.nearestPictures[(size_t)k], CPortsTree::AreaMenuBitmap(p->GetArea()) != 0);
  }
  EXPECT_EQ(tree.GetNearestPort(0), 0);
  EXPECT_EQ(tree.GetNearestPort(11), 0);
  EXPECT_EQ(frame.menu.GetSafeHmenu(), nullptr);  // destroyed after tracking

  // On an area node: only the Order submenu, in location order after the command.
  tree.SortByLocation();
  OpenMenu other;
  CTestCallLater readOther(40, [&] { ReadOpenMenu(&other); });
  RightClick(tree, LabelCentre(Node("France")));
  EXPECT_TRUE(readOther.Wait());
  ASSERT_EQ(other.ids.size(), 1u);
  EXPECT_TRUE(other.nearestIds.empty());
  EXPECT_EQ(other.checkedOrder, 32774u);
  EXPECT_EQ(frame.selected.size(), 1u);
}

TEST_F(Ports, ThePickerDialogReturnsTheChosenPort) {
  CSelectPortDlg dlg(&frame.window);
  int expectedPort = -1;
  bool okWasDisabled = false, okStillDisabledOnNode = false, picked = false;
  CTestCallLater later(50, [&] {
    CPortsTree& t = dlg.GetTree();
    CWnd* ok = dlg.GetDlgItem(IDOK);
    okWasDisabled = ok && !ok->IsWindowEnabled();
    EXPECT_TRUE(t.IsDialogMode());
    EXPECT_FALSE(t.IsInLocationOrder());
    EXPECT_TRUE(t.GetExStyle() & WS_EX_CLIENTEDGE);
    CRect rc;
    t.GetWindowRect(&rc);
    dlg.ScreenToClient(&rc);
    EXPECT_EQ(rc, CRect(10, 10, 268, 285));
    // A node: OK stays off. Then a port by the keys.
    t.SetFocus();
    AfxTestKeyStroke(VK_DOWN);
    AfxTestKeyStroke(VK_DOWN);  // Scotland
    okStillDisabledOnNode = ok && !ok->IsWindowEnabled();
    AfxTestKeyStroke(VK_RIGHT);
    AfxTestKeyStroke(VK_RIGHT);  // its first port
    expectedPort = t.GetSelectedPort();
    picked = ok && ok->IsWindowEnabled();
    // More rows than fit: a scroll bar inside the sunken edge.
    CRect client;
    t.GetClientRect(&client);
    EXPECT_TRUE(t.GetStyle() & WS_VSCROLL);
    EXPECT_EQ(client.Width(), 258 - 4 - 16);
    if (const char* keep = std::getenv("NEAPWISE_UI_PICTURES"))
      AfxSaveWindowPng(dlg.m_hWnd, (std::string(keep) + "/select_port.png").c_str()),
          AfxSaveWindowPng(t.m_hWnd, (std::string(keep) + "/select_port_tree.png").c_str());
    CRect okRect;
    ok->GetClientRect(&okRect);
    AfxTestClick(ok->m_hWnd, okRect.CenterPoint().x, okRect.CenterPoint().y);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_TRUE(later.HasRun());
  EXPECT_TRUE(okWasDisabled);
  EXPECT_TRUE(okStillDisabledOnNode);
  EXPECT_TRUE(picked);
  ASSERT_GE(expectedPort, 0);
  EXPECT_EQ(frame.ports.GetPort(expectedPort)->GetArea() - 1, 1);  // a Scottish port
  EXPECT_EQ(dlg.GetChosenPort(), expectedPort);
  EXPECT_TRUE(frame.selected.empty());  // the dialog's tree does not select the frame's port
}

TEST_F(Ports, ThePortNameStripShowsTheNameAndOpensItsMenus) {
  CPortNameWnd strip;
  ASSERT_TRUE(strip.Create(CRect(1, 2, 301, 26), &frame.window, 112));
  EXPECT_STREQ(strip.GetText().GetString(), "Port Name");
  strip.SetText("Dover");
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(strip.m_hWnd, &pic));
  int white = 0;
  for (int x = 0; x < 250; ++x)
    for (int y = 0; y < 24; ++y) white += pic.GetPixel(x, y) == RGB(255, 255, 255);
  EXPECT_GT(white, 20);  // the name and the triangle in white
  if (const char* keep = std::getenv("NEAPWISE_UI_PICTURES"))
    AfxSaveWindowPng(strip.m_hWnd, (std::string(keep) + "/port_name.png").c_str());

  // The hot look follows the pointer while the frame is active.
  frame.window.SetActiveWindow();
  POINT in{100, 12}, out{100, 60};
  strip.ClientToScreen(&in);
  strip.ClientToScreen(&out);
  AfxTestMouse(WM_MOUSEMOVE, in);
  EXPECT_TRUE(strip.IsHot());
  AfxTestMouse(WM_MOUSEMOVE, out);
  EXPECT_FALSE(strip.IsHot());
  // Disabled: no button, the text in the face colour.
  strip.EnableWindow(FALSE);
  AfxTestClick(strip.m_hWnd, 100, 12);
  ASSERT_TRUE(AfxCaptureWindow(strip.m_hWnd, &pic));
  int face = 0;
  for (int x = 0; x < 250; ++x)
    for (int y = 0; y < 24; ++y) face += pic.GetPixel(x, y) == ::GetSysColor(COLOR_BTNFACE);
  EXPECT_GT(face, 10);
  strip.EnableWindow(TRUE);

  // An empty history opens nothing.
  bool opened = false;
  CTestCallLater check(30, [&] {
    opened = AfxGetTrackingMenus(nullptr, nullptr, 2) > 0;
    if (opened) EndMenu();
  });
  AfxTestClick(strip.m_hWnd, 100, 12);
  EXPECT_TRUE(check.Wait());
  EXPECT_FALSE(opened);

  // The recent ports, numbered, under the strip; a click on one goes to the frame.
  frame.history.Add(7, "Aberdeen");
  frame.history.Add(3, "Dover");
  std::vector<UINT> ids;
  std::vector<std::string> texts;
  POINT menuAt{0, 0};
  bool pressedLook = false;
  CTestCallLater pick(40, [&] {
    HMENU menus[2];
    HWND wnds[2];
    AfxTestWait(5000, [&] { return AfxGetTrackingMenus(menus, wnds, 2) > 0; });
    if (AfxGetTrackingMenus(menus, wnds, 2) < 1) return;
    pressedLook = strip.IsPressed();
    auto* vx = dynamic_cast<VxMenu*>(CMenu::FromHandlePermanent(menus[0]));
    for (int i = 0; i < GetMenuItemCount(menus[0]); ++i) {
      ids.push_back(GetMenuItemID(menus[0], i));
      texts.push_back(vx && vx->GetItemData((UINT)i) ? std::string(vx->GetItemData((UINT)i)->text) : "?");
    }
    RECT wr;
    GetWindowRect(wnds[0], &wr);
    menuAt = POINT{wr.left, wr.top};
    RECT item;
    GetMenuItemRect(nullptr, menus[0], 1, &item);
    POINT p{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    AfxTestMouse(WM_MOUSEMOVE, p);
    AfxTestMouse(WM_LBUTTONDOWN, p);
    AfxTestMouse(WM_LBUTTONUP, p);
  });
  AfxTestClick(strip.m_hWnd, 100, 12);
  EXPECT_TRUE(pick.Wait());
  AfxTestWait(2000, [&] { return !frame.window.commands.empty(); });
  EXPECT_EQ(ids, (std::vector<UINT>{124, 125}));
  EXPECT_EQ(texts, (std::vector<std::string>{"&1 Dover", "&2 Aberdeen"}));
  EXPECT_TRUE(pressedLook);
  EXPECT_FALSE(strip.IsPressed());
  EXPECT_EQ(frame.window.commands, std::vector<UINT>{125});
  CRect sr;
  strip.GetWindowRect(&sr);
  EXPECT_EQ(menuAt.x, sr.left + 1);
  EXPECT_EQ(menuAt.y, sr.bottom - 1 + 2);

  // As the title strip: the page menu.
  strip.SetOptionFlag(0);
  ids.clear();
  CTestCallLater read(40, [&] {
    HMENU menus[2];
    HWND wnds[2];
    AfxTestWait(5000, [&] { return AfxGetTrackingMenus(menus, wnds, 2) > 0; });
    if (AfxGetTrackingMenus(menus, wnds, 2) < 1) return;
    for (int i = 0; i < GetMenuItemCount(menus[0]); ++i) ids.push_back(GetMenuItemID(menus[0], i));
    EndMenu();
  });
  AfxTestClick(strip.m_hWnd, 100, 12);
  EXPECT_TRUE(read.Wait());
  EXPECT_EQ(ids, (std::vector<UINT>{32783, 32784, 32857, 186, 32878}));

  // Static: no menu, and "Routes" shown.
  strip.SetStatic(TRUE);
  opened = false;
  CTestCallLater checkStatic(30, [&] {
    opened = AfxGetTrackingMenus(nullptr, nullptr, 2) > 0;
    if (opened) EndMenu();
  });
  AfxTestClick(strip.m_hWnd, 100, 12);
  EXPECT_TRUE(checkStatic.Wait());
  EXPECT_FALSE(opened);
}

TEST_F(Ports, ALongNameIsShortenedWithDots) {
  CPortNameWnd strip;
  ASSERT_TRUE(strip.Create(CRect(1, 2, 121, 26), &frame.window, 112));
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CFont font;
  font.CreatePointFont(90, "Arial");
  CFont* old = dc.SelectObject(&font);
  CString longName("Kingston upon Hull Albert Dock");
  int full = dc.GetTextExtent(longName).cx;
  CString fitted = CPortNameWnd::FitText(&dc, longName, full / 2);
  std::string f = fitted.GetString();
  ASSERT_GE(f.size(), 4u);
  EXPECT_EQ(f.substr(f.size() - 3), "...");
  EXPECT_NE(f[f.size() - 4], ' ');  // never "... " after a space
  EXPECT_LE(dc.GetTextExtent(fitted).cx, full / 2);
  EXPECT_EQ(0u, std::string(longName).find(f.substr(0, f.size() - 3)));
  EXPECT_EQ(CPortNameWnd::FitText(&dc, "Dover", 500), CString("Dover"));
  // Multi-byte characters are cut whole.
  CString accented("Saint-Malo \xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9");
  std::string a = CPortNameWnd::FitText(&dc, accented, dc.GetTextExtent(accented).cx - 2).GetString();
  EXPECT_EQ(a.substr(a.size() - 3), "...");
  EXPECT_NE((unsigned char)a[a.size() - 4] & 0xC0, 0xC0);  // no lead byte left without its tail
  dc.SelectObject(old);
  strip.SetText(longName);
  if (const char* keep = std::getenv("NEAPWISE_UI_PICTURES"))
    AfxSaveWindowPng(strip.m_hWnd, (std::string(keep) + "/port_name_long.png").c_str());
}

}  // namespace
