// The main window's menu bar, built from a menu resource: the top-level titles in a row,
// each opening its pop-up under it. The command-bar toolkit's menu bar replaces it later.
#pragma once

#include "platform/ui/AfxWin.h"

#include <vector>

class CPlainMenuBar : public CControlBar {
  DECLARE_DYNAMIC(CPlainMenuBar)
  DECLARE_MESSAGE_MAP()
 public:
  static constexpr int kHeight = 22;
  // The menu stays the caller's; commands go to the frame.
  BOOL Create(CWnd* pFrame, CMenu* pMenu, UINT nID);
  // The title's rectangle in client coordinates (empty when there is none).
  CRect GetTitleRect(int nIndex) const;
  int GetTitleCount() const { return (int)m_rects.size(); }
  // Opens title i's pop-up as a click does.
  void OpenPopup(int nIndex);
  void Layout();
  CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
  // Its commands are the menu's; nothing of its own to update.
  void OnUpdateCmdUI(CWnd*, BOOL) override {}

  void OnPaint();
  void OnLButtonDown(UINT nFlags, CPoint point);
  void OnLButtonDblClk(UINT nFlags, CPoint point) { OnLButtonDown(nFlags, point); }

 private:
  CMenu* m_pMenu = nullptr;
  CWnd* m_pFrame = nullptr;
  CFont m_font;
  std::vector<CRect> m_rects;
  int m_nOpen = -1;
};
