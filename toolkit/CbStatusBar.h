// The frame's status bar drawn by the painter, with panes added and removed while the program
// runs and windows hosted in panes.
#pragma once

#include "toolkit/CbDefines.h"

#include <vector>

struct CB_STATUSPANE {
  UINT nID;
  int cxText;
  UINT nStyle;
  UINT nFlags;
  CString strText;
};

struct CB_STATUSPANE_CTRL {
  CWnd* pWnd;
  UINT nID;
  BOOL bAutoDelete;
};

class CCbStatusBar : public CStatusBar {
  DECLARE_DYNAMIC(CCbStatusBar)
  DECLARE_MESSAGE_MAP()
 public:
  CCbStatusBar();
  ~CCbStatusBar() override;

  BOOL SetIndicators(const UINT* lpIDArray, int nIDCount) override;
  BOOL AddPane(UINT nID, int nIndex);
  BOOL RemovePane(UINT nID);
  BOOL AddControl(CWnd* pWnd, UINT nID, BOOL bAutoDelete = TRUE);
  BOOL SetPaneWidth(int nIndex, int nWidth);
  BOOL GetPaneInfo(int nIndex, CB_STATUSPANE* pPane) const;
  BOOL SetPaneInfo(int nIndex, const CB_STATUSPANE* pPane);
  using CStatusBar::GetPaneInfo;
  using CStatusBar::SetPaneInfo;
  // The rectangle a hosted window takes in its pane.
  CRect GetPaneControlRect(int nIndex) const;
  BOOL HasSizeGrip() const { return HasGrip(); }

  void DrawBar(CDC* pDC) override;
  void OnSize(UINT nType, int cx, int cy);
  LRESULT OnSetTextHere(WPARAM wParam, LPARAM lParam);
  void OnDestroy();

 private:
  void PositionControls();
  CFont m_fontStatus;
  std::vector<CB_STATUSPANE_CTRL> m_arrControls;
};

// A small window hosted in a pane.
class CCbStatusBarBasePane : public CWnd {
  DECLARE_DYNAMIC(CCbStatusBarBasePane)
  DECLARE_MESSAGE_MAP()
 public:
  virtual BOOL Create(LPCTSTR lpszText, CWnd* pParent, DWORD dwStyle = WS_CHILD | WS_VISIBLE, UINT nID = 0);
  virtual void DrawPane(CDC* /*pDC*/, CRect /*rc*/) {}
  void OnPaint();
  BOOL OnEraseBkgnd(CDC*) { return TRUE; }
  void OnEnable(BOOL bEnable);

 protected:
  CString m_strText;
};

// Shows a small icon; its shape in the shadow colour while disabled.
class CCbStatusBarIconPane : public CCbStatusBarBasePane {
  DECLARE_DYNAMIC(CCbStatusBarIconPane)
 public:
  CCbStatusBarIconPane();
  ~CCbStatusBarIconPane() override;
  void SetIcon(UINT nIDResource);
  HICON GetIcon() const { return m_hIcon; }
  void DrawPane(CDC* pDC, CRect rc) override;

 private:
  HICON m_hIcon = nullptr;
  CSize m_szIcon;
};
