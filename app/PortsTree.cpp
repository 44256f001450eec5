#include "app/PortsTree.h"

#include "app/MainFrm.h"
#include "app/Resource.h"
#include "model/PortDB.h"
#include "model/Position.h"

#include <algorithm>
#include <utility>

IMPLEMENT_DYNAMIC(CPortsTree, CWnd)

BEGIN_MESSAGE_MAP(CPortsTree, CWnd)
  ON_WM_PAINT()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_RBUTTONUP()
  ON_WM_MOUSEWHEEL()
  ON_WM_KEYDOWN()
END_MESSAGE_MAP()

BOOL CPortsTree::Create(const RECT& rect, CWnd* pParent, UINT nID) {
  LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
  return CreateEx(0, cls, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect, pParent, nID);
}

int CPortsTree::InsertPort(LPCTSTR lpszName, int bStandard, int nRuleCode, int nPortIndex) {
  // Rule codes with an area node; 35 are the Australian ports without summer time.
  static const int kRules[] = {0, 1, 2, 3, 4, 27, 33, 28, 5, 6, 30, 31, 32, 29, 25, 26, 24, 23,
                               22, 21, 19, 15, 13, 11, 12, 8, 9, 14, 16, 17, 18, 10, 34, 35, 40};
  if (std::find(std::begin(kRules), std::end(kRules), nRuleCode) == std::end(kRules)) return 0;
  m_items.push_back(Item{lpszName, bStandard, nRuleCode, nPortIndex});
  if (m_hWnd) Invalidate();
  return 1;
}

void CPortsTree::SortByName() {
  std::stable_sort(m_items.begin(), m_items.end(),
                   [](const Item& a, const Item& b) { return a.name.CompareNoCase(b.name) < 0; });
  m_bLocationOrder = 0;
  if (m_hWnd) Invalidate();
}

void CPortsTree::SortByLocation() {
  if (m_bLocationOrder) return;
  std::sort(m_items.begin(), m_items.end(), [](const Item& a, const Item& b) { return a.port < b.port; });
  m_bLocationOrder = 1;
  if (m_hWnd) Invalidate();
}

void CPortsTree::ApplyNameOrder() {
  if (m_bLocationOrder) SortByName();
}

void CPortsTree::Reset() {
  m_items.clear();
  m_nSelected = -1;
  m_nTop = 0;
  if (m_hWnd) Invalidate();
}

int CPortsTree::GetNearestPort(int i) const { return (i >= 1 && i <= 10) ? m_nearestPorts[i - 1] : 0; }

void CPortsTree::FindNearestPorts(int nPort, const CPortDB& ports) {
  std::vector<std::pair<double, int>> d;
  const CPosition from = ports.GetPortPosition(nPort);
  for (int i = 0; i < ports.GetCount(); ++i)
    if (i != nPort) d.emplace_back(GreatCircleDistance(from, ports.GetPortPosition(i)), i);
  std::partial_sort(d.begin(), d.begin() + std::min<size_t>(10, d.size()), d.end());
  for (int i = 0; i < 10; ++i) m_nearestPorts[i] = i < (int)d.size() ? d[i].second : 0;
}

int CPortsTree::RowOfPort(int nPort) const {
  for (size_t i = 0; i < m_items.size(); ++i)
    if (m_items[i].port == nPort) return (int)i;
  return -1;
}

BOOL CPortsTree::SelectPortItem(int nPort) {
  const int row = RowOfPort(nPort);
  if (row < 0) return FALSE;
  EnsureVisible(row);
  Select(row);
  return TRUE;
}

CRect CPortsTree::GetPortItemRect(int nPort) const {
  const int row = RowOfPort(nPort);
  CRect rc;
  GetClientRect(&rc);
  if (row < m_nTop || row < 0) return CRect();
  const int y = (row - m_nTop) * kRowHeight;
  if (y + kRowHeight > rc.bottom) return CRect();
  return CRect(0, y, rc.right, y + kRowHeight);
}

void CPortsTree::EnsureVisible(int nRow) {
  CRect rc;
  GetClientRect(&rc);
  const int rows = std::max(1, (int)rc.bottom / kRowHeight);
  if (nRow < m_nTop) m_nTop = nRow;
  if (nRow >= m_nTop + rows) m_nTop = nRow - rows + 1;
  Invalidate();
}

void CPortsTree::Select(int nRow) {
  if (nRow < 0 || nRow >= (int)m_items.size()) return;
  m_nSelected = m_items[nRow].port;
  Invalidate();
  UpdateWindow();
  if (m_bDialogMode) {
    if (GetParent()) GetParent()->SendMessage(WM_PORTSTREE_PICKED, 0, 0);
    return;
  }
  if (auto* frame = dynamic_cast<CMainFrame*>(GetTopLevelParent())) frame->SelectPort(m_nSelected);
}

void CPortsTree::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  dc.FillSolidRect(&rc, RGB(255, 255, 255));
  dc.SetBkMode(TRANSPARENT);
  CFont* old = dc.SelectObject(GetParent() ? GetParent()->GetFont() : nullptr);
  for (int row = m_nTop, y = 0; row < (int)m_items.size() && y < rc.bottom; ++row, y += kRowHeight) {
    CRect r(0, y, rc.right, y + kRowHeight);
    const bool sel = m_items[row].port == m_nSelected;
    if (sel) dc.FillSolidRect(&r, ::GetSysColor(COLOR_HIGHLIGHT));
    dc.SetTextColor(sel ? ::GetSysColor(COLOR_HIGHLIGHTTEXT) : RGB(0, 0, 0));
    r.left += 6;
    dc.DrawText(m_items[row].name, &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  if (old) dc.SelectObject(old);
}

void CPortsTree::OnLButtonDown(UINT, CPoint point) {
  SetFocus();
  Select(m_nTop + point.y / kRowHeight);
}

void CPortsTree::OnRButtonUp(UINT, CPoint point) {
  if (m_bDialogMode) return;
  auto* frame = dynamic_cast<CMainFrame*>(GetTopLevelParent());
  const int row = m_nTop + point.y / kRowHeight;
  if (!frame || row < 0 || row >= (int)m_items.size()) return;
  Select(row);
  FindNearestPorts(m_items[row].port, frame->GetPortDB());
  CMenu menu;
  menu.CreatePopupMenu();
  for (int i = 0; i < 10; ++i) {
    CString s;
    s.Format("%s", (LPCTSTR)frame->GetPortDB().GetPort(m_nearestPorts[i])->GetName());
    menu.AppendMenu(MF_STRING, ID_NEAREST_PORT_FIRST + i, s);
  }
  ClientToScreen(&point);
  menu.TrackPopupMenu(TPM_RIGHTBUTTON, point.x, point.y, frame);
}

BOOL CPortsTree::OnMouseWheel(UINT, short zDelta, CPoint) {
  m_nTop = std::clamp(m_nTop - zDelta / 40, 0, std::max(0, (int)m_items.size() - 1));
  Invalidate();
  return TRUE;
}

void CPortsTree::OnKeyDown(UINT nChar, UINT, UINT) {
  int row = RowOfPort(m_nSelected);
  if (nChar == VK_DOWN) ++row;
  else if (nChar == VK_UP) --row;
  else return;
  row = std::clamp(row, 0, (int)m_items.size() - 1);
  EnsureVisible(row);
  Select(row);
}
