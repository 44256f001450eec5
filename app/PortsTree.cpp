#include "app/PortsTree.h"
#include "platform/core/AfxUserNumber.h"

#include "app/TreeImages.h"
#include "model/PortDB.h"
#include "model/Position.h"
#include "views/VxMenu.h"

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

namespace {

IPortsHost* g_host = nullptr;

struct AreaNode {
  const char* text;
  int image;
  int rules[2];  // summer-time rule codes the node takes; -1 for none
};

// In the order they are inserted at the root. Australia also takes rule 35, its ports without
// summer time, which would otherwise have no node.
const AreaNode kAreas[CPortsTree::kAreaNodes] = {
    {"England", 0, {0, -1}},
    {"Scotland", 1, {1, -1}},
    {"Ireland", 2, {2, -1}},
    {"Wales", 3, {3, -1}},
    {"France", 4, {4, -1}},
    {"Denmark", 24, {27, -1}},
    {"Norway", 23, {33, -1}},
    {"Germany", 25, {28, -1}},
    {"Belgium", 5, {5, -1}},
    {"Netherlands", 6, {6, -1}},
    {"Spain", 28, {30, -1}},
    {"Portugal", 27, {31, -1}},
    {"Gibraltar", 26, {32, -1}},
    {"Canada", 22, {29, -1}},
    {"Long Island - Atlantic", 9, {25, -1}},
    {"Long Island - Sound", 9, {26, -1}},
    {"New York Bay", 9, {24, -1}},
    {"Chesapeake Bay", 9, {23, -1}},
    {"Atlantic Coast", 9, {22, -1}},
    {"Florida Strait", 9, {21, -1}},
    {"Gulf of Mexico", 9, {19, -1}},
    {"Cuba", 14, {15, -1}},
    {"Jamaica", 12, {13, -1}},
    {"Dominican Republic", 15, {11, -1}},
    {"Haiti", 16, {12, -1}},
    {"Windward Islands", 21, {8, -1}},
    {"Leeward Islands", 20, {9, -1}},
    {"Cayman Islands", 19, {14, -1}},
    {"Turks Islands", 18, {16, -1}},
    {"Bahama Islands", 13, {17, -1}},
    {"Bermuda", 17, {18, -1}},
    {"Puerto Rico", 11, {10, -1}},
    {"Australia", 29, {34, 35}},
    {"Tasmania", 29, {40, -1}},
};

// Bitmap resources of the image list, giving image indices 0 to 30.
const UINT kImageBitmaps[CPortsTree::kImages] = {139, 143, 141, 145, 140, 144, 142, 137, 138, 204, 205,
                                                 206, 207, 208, 209, 210, 211, 212, 214, 213, 215, 216,
                                                 205, 261, 256, 257, 258, 259, 260, 275, 276};

int NodeOfRule(int rule) {
  for (int i = 0; i < CPortsTree::kAreaNodes; ++i)
    if (kAreas[i].rules[0] == rule || kAreas[i].rules[1] == rule) return i;
  return -1;
}

int CompareByIndex(LPARAM a, LPARAM b, LPARAM) { return a < b ? -1 : 1; }

}  // namespace

void SetPortsHost(IPortsHost* pHost) { g_host = pHost; }
IPortsHost* GetPortsHost() { return g_host; }

IMPLEMENT_DYNAMIC(CPortsTree, CTreeCtrl)

BEGIN_MESSAGE_MAP(CPortsTree, CTreeCtrl)
  ON_MESSAGE(WM_GETOBJECT, OnGetObject)
  ON_NOTIFY_REFLECT(TVN_SELCHANGED, OnSelChanged)
  ON_NOTIFY_REFLECT(NM_DBLCLK, OnDblClk)
  ON_NOTIFY_REFLECT(NM_RETURN, OnReturn)
  ON_NOTIFY_REFLECT(NM_RCLICK, OnRClick)
END_MESSAGE_MAP()

CPortsTree::CPortsTree() = default;
CPortsTree::~CPortsTree() = default;

CString CPortsTree::AreaName(int nRuleCode) {
  const int n = NodeOfRule(nRuleCode);
  return n < 0 ? CString() : CString(kAreas[n].text);
}

UINT CPortsTree::AreaMenuBitmap(int nAreaCode) {
  switch (nAreaCode) {
    case 1: return 164;
    case 2: return 166;
    case 3: return 167;
    case 4: return 165;
    case 5: return 168;
    case 6: return 170;
    case 7: return 169;
    case 9: return 229;
    case 10: return 226;
    case 11: return 222;
    case 12: return 223;
    case 13: return 224;
    case 14: return 225;
    case 15: return 220;
    case 16: return 221;
    case 17: return 227;
    case 18: return 217;
    case 19: return 218;
    case 20:
    case 22:
    case 23:
    case 24:
    case 25:
    case 26:
    case 27: return 228;
    case 28: return 274;
    case 29: return 273;
    case 30: return 219;
    case 31: return 272;
    case 32: return 271;
    case 33: return 270;
    case 34: return 268;
    case 35:
    case 36:
    case 41: return 279;  // 36: Australian ports without summer time
    case 42:
    case 43: return 280;
    default: return 0;
  }
}

BOOL CPortsTree::PreCreateWindow(CREATESTRUCT& cs) {
  cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
  return CTreeCtrl::PreCreateWindow(cs);
}

BOOL CPortsTree::Create(const RECT& rect, CWnd* pParentWnd, UINT nID) {
  if (!CTreeCtrl::Create(
          WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
          rect, pParentWnd, nID))
    return FALSE;
  LoadTreeImages(m_images, kImageBitmaps, static_cast<int>(std::size(kImageBitmaps)));
  SetImageList(&m_images, TVSIL_NORMAL);
  InsertAreas();
  return TRUE;
}

void CPortsTree::InsertAreas() {
  // Laid out once for all the areas, as the ports are.
  SetRedraw(FALSE);
  for (int i = 0; i < kAreaNodes; ++i) m_areas[i] = InsertItem(kAreas[i].text, kAreas[i].image, kAreas[i].image);
  SetRedraw(TRUE);
  Invalidate();
}

HTREEITEM CPortsTree::GetAreaNode(int nRuleCode) const {
  int n = NodeOfRule(nRuleCode);
  return n < 0 ? nullptr : m_areas[n];
}

int CPortsTree::InsertPort(LPCTSTR lpszName, BOOL bStandard, int nRuleCode, int nPortIndex) {
  HTREEITEM node = GetAreaNode(nRuleCode);
  if (!node) return 0;
  int image = bStandard ? kStandardPortImage : kSecondaryPortImage;
  InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM, lpszName, image, image, 0, 0, nPortIndex, node,
             TVI_LAST);
  return 1;
}

void CPortsTree::InsertPorts(const CPortDB& ports) {
  SetRedraw(FALSE);
  for (int i = 0; i < ports.GetCount(); ++i) {
    const CPortData* p = ports.GetPort(i);
    if (p) InsertPort(p->GetName(), p->GetKind() != 1, p->GetRuleCode(), i);
  }
  SetRedraw(TRUE);
  Invalidate();
}

void CPortsTree::SortByName() {
  for (HTREEITEM node : m_areas)
    if (node) SortChildren(node);
  m_bLocationOrder = 0;
}

void CPortsTree::SortByLocation() {
  if (m_bLocationOrder) return;
  for (HTREEITEM node : m_areas) {
    if (!node) continue;
    TVSORTCB sort{node, &CompareByIndex, 0};
    SortChildrenCB(&sort);
  }
  m_bLocationOrder = 1;
}

void CPortsTree::ApplyNameOrder() {
  if (m_bLocationOrder) SortByName();
}

void CPortsTree::Reset() {
  DeleteAllItems();
  InsertAreas();
}

BOOL CPortsTree::IsPort(HTREEITEM hItem) const {
  return hItem && !ItemHasChildren(hItem) && GetParentItem(hItem) != nullptr;
}

int CPortsTree::GetSelectedPort() const {
  HTREEITEM sel = GetSelectedItem();
  return IsPort(sel) ? (int)GetItemData(sel) : -1;
}

int CPortsTree::GetNearestPort(int i) const { return (i >= 1 && i <= kNearest) ? m_nearestPorts[i - 1] : 0; }

void CPortsTree::SetDialogMode(CWnd* pOwnerDlg) {
  m_bDialogMode = 1;
  m_hOwnerDlg = pOwnerDlg ? pOwnerDlg->GetSafeHwnd() : nullptr;
}

void CPortsTree::OnSelChanged(NMHDR* pNMHDR, LRESULT* pResult) {
  *pResult = 0;
  HTREEITEM item = reinterpret_cast<NMTREEVIEW*>(pNMHDR)->itemNew.hItem;
  if (!IsPort(item)) return;
  if (m_bDialogMode) {
    HWND owner = m_hOwnerDlg ? m_hOwnerDlg : ::GetParent(m_hWnd);
    if (owner) ::SendMessage(owner, WM_PORTSTREE_PICKED, 0, 0);
    return;
  }
  m_nSelectedPort = (int)GetItemData(item);
  if (IPortsHost* host = Host()) host->SelectPort(m_nSelectedPort);
}

void CPortsTree::OnDblClk(NMHDR*, LRESULT* pResult) {
  *pResult = 0;  // the tree still opens or closes the item
  if (m_bDialogMode) return;
  CPoint pt;
  ::GetCursorPos(&pt);
  ScreenToClient(&pt);
  UINT flags = 0;
  HitTest(pt, &flags);
  IPortsHost* host = Host();
  if ((flags & TVHT_ONITEM) && host && !host->IsGraphCalculated()) host->CalculateGraph();
}

void CPortsTree::OnReturn(NMHDR*, LRESULT* pResult) {
  *pResult = 0;
  if (m_bDialogMode || !IsPort(GetSelectedItem())) return;
  IPortsHost* host = Host();
  if (host && !host->IsGraphCalculated()) host->CalculateGraph();
}

void CPortsTree::OnRClick(NMHDR*, LRESULT* pResult) {
  *pResult = 1;  // the menu is ours; no WM_CONTEXTMENU after it
  if (m_bDialogMode) {
    *pResult = 0;
    return;
  }
  ShowContextMenu();
}

void CPortsTree::ShowContextMenu() {
  IPortsHost* host = Host();
  VxMenu* menu = host ? host->GetContextMenu() : nullptr;
  if (!menu) return;
  CPoint screen;
  ::GetCursorPos(&screen);
  CPoint pt = screen;
  ScreenToClient(&pt);
  UINT flags = 0;
  HTREEITEM item = HitTest(pt, &flags);
  bool onPort = item && (flags & TVHT_ONITEM) && IsPort(item);
  if (onPort) {
    SelectItem(item);  // selects the port as a left click would
    if (!::IsWindow(m_hWnd) || !IsPort(item)) return;
    if (!menu->LoadFromResource(IDR_PORTS_MENU)) return;
    // The ten ports nearest to this one, nearest first, in place of the placeholder.
    CPortDB* ports = host->GetPortDB();
    int from = (int)GetItemData(item);
    auto [nearMenu, placeholder] = menu->FindItem(ID_NEAREST_PLACEHOLDER);
    if (nearMenu && placeholder >= 0) nearMenu->DeleteMenu((UINT)placeholder, MF_BYPOSITION);
    std::fill(std::begin(m_nearestPorts), std::end(m_nearestPorts), 0);
    if (ports && ports->IsLoaded() && nearMenu && from >= 0 && from < ports->GetCount()) {
      CPosition here = ports->GetPortPosition(from);
      std::vector<std::pair<double, int>> all;
      all.reserve((size_t)ports->GetCount());
      for (int i = 0; i < ports->GetCount(); ++i)
        if (i != from) all.push_back({GreatCircleDistance(here, ports->GetPortPosition(i)), i});
      size_t n = std::min<size_t>(kNearest, all.size());
      std::partial_sort(all.begin(), all.begin() + (std::ptrdiff_t)n, all.end());
      for (size_t k = 0; k < n; ++k) {
        int idx = all[k].second;
        const CPortData* p = ports->GetPort(idx);
        m_nearestPorts[k] = idx;
        CString text;
        text.Format("%s  \t%s Nm  %03d\xC2\xB0T", p->GetName().GetString(),
                    AfxFormatUserNumber(all[k].first, 1).GetString(), (int)RhumbLineBearing(here, p->GetPosition()));
        nearMenu->AppendMenu(MF_STRING, ID_NEAREST_PORT_FIRST + k, text);
      }
      VxMenu::SyncIfVxMenu(nearMenu);
      for (size_t k = 0; k < n; ++k)
        if (UINT bmp = AreaMenuBitmap(ports->GetPort(m_nearestPorts[k])->GetArea()))
          menu->SetItemBitmap(ID_NEAREST_PORT_FIRST + (UINT)k, bmp);
    }
  } else {
    if (!menu->LoadFromResource(IDR_PORTS_ORDER_MENU)) return;
  }
  if (auto [orderMenu, pos] = menu->FindItem(ID_ORDER_BY_NAME); orderMenu)
    orderMenu->CheckMenuRadioItem(ID_ORDER_BY_NAME, ID_ORDER_BY_LOCATION,
                                  m_bLocationOrder ? ID_ORDER_BY_LOCATION : ID_ORDER_BY_NAME, MF_BYCOMMAND);
  menu->SetItemBitmap(ID_CALCULATE_GRAPH, IDB_CALCULATE_GRAPH);
  menu->SetItemBitmap(ID_CALCULATE_TABLE, IDB_CALCULATE_TABLE);
  CMenu* popup = menu->GetSubMenu(0);
  if (popup) popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, GetTopLevelParent());
  menu->DestroyItems();
}
