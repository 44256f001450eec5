// The routes tree of the left pane: "No Route" and every route with its waypoints, the owner of
// the routes. It reads "routes.dat" when created and writes it after every change (through a
// temporary file; a failure is reported once until a save works again) and when destroyed.
#pragma once

#include "chart/ChartRoutes.h"
#include "chart/RoutesFile.h"
#include "platform/ui/AfxWin.h"

#include <memory>
#include <vector>

class CRoutesTree : public CTreeCtrl, public IRouteList {
  DECLARE_DYNAMIC(CRoutesTree)
 public:
  static constexpr int kPointImage = 0;
  static constexpr int kRouteImage = 2;
  static constexpr int kNoRouteImage = 3;

  CRoutesTree();
  ~CRoutesTree() override;

  // Creates the tree and reads the routes file (the per-user one unless another is given).
  BOOL Create(const RECT& rect, CWnd* pParentWnd, UINT nID, LPCTSTR lpszRoutesFile = nullptr);
  // The chart's route side, which the tree tells of activations, deletions and changes.
  void SetChart(CChartRoutes* pChart) { m_pChart = pChart; }

  // ---- IRouteList ----
  void AddRoute(CMapRoute* pRoute) override;  // the tree takes it over
  void RefreshRoute(CMapRoute* pRoute) override;
  void DeleteRoute(CMapRoute* pRoute) override;
  void RoutesChanged() override { SaveRoutes(); }
  void SelectPointItem(CRoutePoint* pPoint) override;
  void ShowCurrentRoute(CMapRoute* pRoute) override;
  void ShowPointMenu(CRoutePoint* pPoint, CPoint screen) override;
  void OnChartGone() override { m_pChart = nullptr; }

  // ---- Commands of the context menus ----
  void ActivateSelected();
  void OnDeleteRoute();
  void ReverseRoute();
  void EditRouteProperties();
  void EditPointProperties();
  void EditLabel();

  // Writes the routes file; FALSE (after telling the user) when it could not be written.
  BOOL SaveRoutes();
  const CString& GetProblem() const { return m_strProblem; }

  // The routes, in tree order.
  std::vector<CMapRoute*> GetRoutes() const;
  HTREEITEM GetNoRouteItem() const { return m_hNoRoute; }
  HTREEITEM GetBoldItem() const { return m_hBold; }
  // Remembers an item as a right click on it would (no menu).
  void SetContextItem(HTREEITEM hItem);

  // A waypoint's item text: name, time and (with a next waypoint) the leg; after a rename the
  // leg is written the way the rename always wrote it.
  static CString PointText(const CRoutePoint& point, BOOL bRenamed = FALSE);

 protected:
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  void LoadRoutes();
  void SetBold(HTREEITEM hItem);
  BOOL IsRouteItem(HTREEITEM hItem) const;
  BOOL IsPointItem(HTREEITEM hItem) const;
  void ShowContextMenu(HTREEITEM hItem, CPoint screen);
  virtual void Report(const CString& strText);
  BOOL ShowRouteSheet(CMapRoute* pRoute, CRoutePoint* pPoint);

  void OnDblClk(NMHDR* pNMHDR, LRESULT* pResult);
  // A screen reader reads the tree as the routes (AppAccessible.cpp).
  LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
  void OnRClick(NMHDR* pNMHDR, LRESULT* pResult);
  void OnItemExpanding(NMHDR* pNMHDR, LRESULT* pResult);
  void OnBeginLabelEdit(NMHDR* pNMHDR, LRESULT* pResult);
  void OnEndLabelEdit(NMHDR* pNMHDR, LRESULT* pResult);
  void OnDestroy();
  DECLARE_MESSAGE_MAP()

 private:
  CImageList m_images;
  CChartRoutes* m_pChart = nullptr;
  std::vector<std::unique_ptr<CMapRoute>> m_routes;
  HTREEITEM m_hNoRoute = nullptr;
  HTREEITEM m_hBold = nullptr;
  HTREEITEM m_hContextItem = nullptr;
  CMapRoute* m_pContextRoute = nullptr;
  CString m_strFile;
  BOOL m_bFileBlocked = FALSE;
  CString m_strProblem;
  CString m_strReported;  // the failure last told, so each edit does not tell it again
  BOOL m_bSaving = FALSE;
};
