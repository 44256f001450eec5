// The right column of the main window: the page title and the five pages (graph with the
// running-aground panel, monthly table, height finder, tidal log, chart). It switches pages
// and, for the tidal log, hides the left column.
#pragma once

#include "app/PaneWnd.h"
#include "app/PortNameWnd.h"
#include "chart/MapView.h"
#include "views/AgroundWnd.h"
#include "views/GraphWnd.h"
#include "views/HeightFindWnd.h"
#include "views/RightPage.h"
#include "views/TableWnd.h"
#include "views/TideLogWnd.h"

class CMainFrame;
class CLeftPane;

class CRightPane : public CPaneWnd {
  DECLARE_DYNCREATE(CRightPane)
  DECLARE_MESSAGE_MAP()
 public:
  // The pages and the running-aground panel.
  CTableWnd& Table() { return m_table; }
  CGraphWnd& Graph() { return m_graph; }
  CTideLogWnd& TideLog() { return m_tideLog; }
  CHeightFindWnd& HeightFind() { return m_heightFind; }
  CMapView& Map() { return m_map; }
  CAgroundWnd& Aground() { return m_aground; }
  // The page shown, for the frame's Print and Save As; null before any is.
  IRightPage* GetVisiblePage();

  void ShowGraph();
  void ShowTable();
  void ShowHeightFind();
  void ShowTideLog();
  void ShowMap();
  // Whether the page is the one shown (also while the frame itself is not yet on screen).
  BOOL IsGraphVisible() const { return Shown(m_graph); }
  BOOL IsTableVisible() const { return Shown(m_table); }
  BOOL IsHeightFindVisible() const { return Shown(m_heightFind); }
  BOOL IsTideLogVisible() const { return Shown(m_tideLog); }
  BOOL IsMapVisible() const { return Shown(m_map); }
  void SetAgroundShown(int b);
  int IsAgroundShown() const { return m_bAgroundShown; }
  void RecalcLayout();
  void Layout(int w, int h) override;

  int OnCreate(LPCREATESTRUCT lpcs);
  void OnSize(UINT nType, int cx, int cy);
  void OnPaint();

 private:
  // Members in the order they are created.
  CTableWnd m_table;
  CGraphWnd m_graph;
  CTideLogWnd m_tideLog;
  CHeightFindWnd m_heightFind;
  CMapView m_map;
  CAgroundWnd m_aground;
  int m_bAgroundShown = 1;
  int m_nSavedColumnWidth = 0;
  int m_nSavedColumnMin = 0;
  CPortNameWnd m_title;

  // The chart lives beside the views, not among them: its page is described here.
  class CMapPage : public IRightPage {
   public:
    explicit CMapPage(CMapView& map) : m_map(map) {}
    void Print() override { m_map.PrintMap(); }
    BOOL CanPrint() const override { return TRUE; }

   private:
    CMapView& m_map;
  };
  CMapPage m_mapPage{m_map};

  enum Page { kGraph, kTable, kHeightFind, kTideLog, kMap };
  void ShowPage(Page page);
  CMainFrame* Frame() const;
  CLeftPane* Left() const;
};
