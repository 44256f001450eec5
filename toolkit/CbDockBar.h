// The strip along one side of the frame that holds docked toolbars in rows.
#pragma once

#include "toolkit/CbCommandBar.h"

class CCbDockBar;

// One bar of a row while the row is laid out.
struct CB_DOCK_INFO {
  CCbToolBar* pBar;
  CRect rcBar;  // wanted
  CRect rcMRU;  // working
  int nIndex;
  int nMinLength;
  DWORD dwMode;
};

class CCbDockBar : public CWnd {
  DECLARE_DYNAMIC(CCbDockBar)
  DECLARE_MESSAGE_MAP()
 public:
  CCbDockBar();
  ~CCbDockBar() override;

  BOOL Create(CWnd* pParent, DWORD dwStyle, UINT nID);
  // At a rectangle in screen coordinates (nullptr: a new last row).
  void DockCommandBar(CCbToolBar* pBar, LPCRECT lpRect = nullptr);
  BOOL RemoveCommandBar(CCbToolBar* pBar, int nPosExclude = -1);
  int FindBar(CCbToolBar* pBar, int nPosExclude = -1) const;
  // The visible toolbars of the row holding the index, in their order along the row.
  void GetVisibleRow(int nPos, std::vector<CCbToolBar*>& list) const;
  CSize CalcDockBarLayout(int nLength, DWORD dwMode, BOOL bCommit = TRUE);
  // 0 top, 1 bottom, 2 left, 3 right.
  int GetPosition() const;
  BOOL IsHorizontal() const { return (m_dwBarStyle & (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)) != 0; }
  void SetCommandBars(CCbCommandBars* p) { m_pCommandBars = p; }
  CCbCommandBars* GetCommandBars() const { return m_pCommandBars; }
  int GetRowCount() const;
  // The entries: a nullptr ends a row.
  const std::vector<CCbToolBar*>& GetRows() const { return m_arrBars; }

  LRESULT OnSizeParent(WPARAM, LPARAM lParam);
  void OnPaint();
  BOOL OnEraseBkgnd(CDC*) { return TRUE; }
  // The owner's toolbars menu at the point.
  void OnRButtonDown(UINT nFlags, CPoint point);

 private:
  int LayoutRow(std::vector<CB_DOCK_INFO>& row, int nLength, int nOffset, BOOL bCommit,
                std::vector<CCbToolBar*>& overflow);
  void MarkFrameLayout();
  void NormaliseRows();

  DWORD m_dwBarStyle = 0;
  CCbCommandBars* m_pCommandBars = nullptr;
  std::vector<CCbToolBar*> m_arrBars;
};
