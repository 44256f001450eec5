// The ports list of the left pane. Placeholder until the ports tree lands: a flat list of
// the ports with the tree's interface, so the frame's code is the real one.
#pragma once

#include "platform/ui/AfxWin.h"

#include <vector>

class CPortDB;

class CPortsTree : public CWnd {
  DECLARE_DYNAMIC(CPortsTree)
  DECLARE_MESSAGE_MAP()
 public:
  static constexpr int kRowHeight = 18;

  BOOL Create(const RECT& rect, CWnd* pParent, UINT nID);
  // 0 when the rule code has no area node, else 1.
  int InsertPort(LPCTSTR lpszName, int bStandard, int nRuleCode, int nPortIndex);
  void SortByName();
  void SortByLocation();
  void ApplyNameOrder();
  void Reset();
  int IsInLocationOrder() const { return m_bLocationOrder; }
  int GetSelectedPort() const { return m_nSelected; }
  // Entries 1..10 of the nearest-ports list of the last context menu; 0 otherwise.
  int GetNearestPort(int i) const;
  // Fills the nearest-ports list for the port (what the context menu does).
  void FindNearestPorts(int nPort, const CPortDB& ports);
  void SetDialogMode() { m_bDialogMode = 1; }
  // Selects the port's row (as a click does) and shows it.
  BOOL SelectPortItem(int nPort);
  // The client rectangle of the port's row; empty when it is not listed or scrolled away.
  CRect GetPortItemRect(int nPort) const;
  int GetItemCount() const { return (int)m_items.size(); }

  void OnPaint();
  void OnLButtonDown(UINT nFlags, CPoint point);
  void OnLButtonDblClk(UINT nFlags, CPoint point) { OnLButtonDown(nFlags, point); }
  void OnRButtonUp(UINT nFlags, CPoint point);
  BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
  void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);

 private:
  struct Item {
    CString name;
    int standard, rule, port;
  };
  int RowOfPort(int nPort) const;
  void Select(int nRow);
  void EnsureVisible(int nRow);
  std::vector<Item> m_items;
  int m_bLocationOrder = 1;
  int m_nearestPorts[10] = {};
  int m_bDialogMode = 0;
  int m_nSelected = -1;
  int m_nTop = 0;
};
