// The ports tree: every port of the table under its country or area, in name or table order,
// with a context menu that also lists the ten nearest ports. In the left pane it selects the
// frame's port; in the Select Port dialog it tells the dialog that a port was picked.
#pragma once

#include "app/PortsHost.h"
#include "app/PortsResource.h"
#include "platform/ui/AfxWin.h"

class CPortDB;

class CPortsTree : public CTreeCtrl {
  DECLARE_DYNAMIC(CPortsTree)
 public:
  static constexpr int kAreaNodes = 34;
  static constexpr int kNearest = 10;
  static constexpr int kImages = 31;
  static constexpr int kStandardPortImage = 7;
  static constexpr int kSecondaryPortImage = 8;

  CPortsTree();
  ~CPortsTree() override;

  BOOL Create(const RECT& rect, CWnd* pParentWnd, UINT nID);
  // Appends the port under the node of its summer-time rule code (area code - 1); 0 when no
  // node takes that code, else 1.
  int InsertPort(LPCTSTR lpszName, BOOL bStandard, int nRuleCode, int nPortIndex);
  // Every port of the table, in table order (kind 2 is a standard port).
  void InsertPorts(const CPortDB& ports);
  void SortByName();
  void SortByLocation();
  void ApplyNameOrder();
  void Reset();
  // Table index of the selected port; -1 when the selection is not a port.
  int GetSelectedPort() const;
  // Nearest port i (1 to 10) of the last context menu, else 0.
  int GetNearestPort(int i) const;
  // In a dialog: selecting a port sends WM_PORTSTREE_PICKED to the dialog (default: the parent).
  void SetDialogMode(CWnd* pOwnerDlg = nullptr);
  BOOL IsDialogMode() const { return m_bDialogMode; }
  BOOL IsInLocationOrder() const { return m_bLocationOrder; }
  // The port table index of the last port selected in the pane, -1 before any.
  int GetLastSelectedPort() const { return m_nSelectedPort; }
  // The area node for a rule code, or null.
  HTREEITEM GetAreaNode(int nRuleCode) const;
  // The frame this tree asks; the registered one when none is given.
  void SetHost(IPortsHost* pHost) { m_pHost = pHost; }
  // The menu picture of an area code's flag for the nearest-ports items, 0 when none.
  static UINT AreaMenuBitmap(int nAreaCode);
  // The country or area a rule code's ports are listed under, empty when none takes it.
  static CString AreaName(int nRuleCode);

 protected:
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  void InsertAreas();
  void ShowContextMenu();
  BOOL IsPort(HTREEITEM hItem) const;
  IPortsHost* Host() const { return m_pHost ? m_pHost : GetPortsHost(); }

  void OnSelChanged(NMHDR* pNMHDR, LRESULT* pResult);
  // A screen reader reads the tree as the ports (AppAccessible.cpp).
  LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
  void OnDblClk(NMHDR* pNMHDR, LRESULT* pResult);
  void OnReturn(NMHDR* pNMHDR, LRESULT* pResult);
  void OnRClick(NMHDR* pNMHDR, LRESULT* pResult);
  DECLARE_MESSAGE_MAP()

 private:
  int m_bLocationOrder = 1;
  CImageList m_images;
  HTREEITEM m_areas[kAreaNodes] = {};
  int m_nearestPorts[kNearest] = {};
  int m_bDialogMode = 0;
  int m_nSelectedPort = -1;
  HWND m_hOwnerDlg = nullptr;
  IPortsHost* m_pHost = nullptr;
};
