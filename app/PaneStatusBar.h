// The main window's status bar: panes of text identified by indicator ids, the first one
// stretching. Written to the framework's status-bar interface, which replaces it later.
#pragma once

#include "platform/ui/AfxWin.h"

#include <vector>

#ifndef SBPS_NORMAL
#define SBPS_NORMAL 0x0000
#define SBPS_NOBORDERS 0x0100
#define SBPS_POPOUT 0x0200
#define SBPS_DISABLED 0x04000000
#define SBPS_STRETCH 0x08000000
#endif

class CPaneStatusBar : public CWnd {
  DECLARE_DYNAMIC(CPaneStatusBar)
  DECLARE_MESSAGE_MAP()
 public:
  static constexpr int kHeight = 22;
  BOOL Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID);
  // Each pane's text and width come from the indicator's string.
  BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);
  int CommandToIndex(UINT nIDFind) const;
  UINT GetItemID(int nIndex) const;
  void SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth);
  void GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const;
  UINT GetPaneStyle(int nIndex) const;
  void SetPaneStyle(int nIndex, UINT nStyle);
  BOOL SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate = TRUE);
  CString GetPaneText(int nIndex) const;
  int GetCount() const { return (int)m_panes.size(); }
  void GetItemRect(int nIndex, LPRECT lpRect) const;
  // Adds or removes a pane at the end (the GPS icon pane).
  BOOL AddPane(UINT nID, int cxWidth);
  BOOL RemovePane(UINT nID);

  void OnPaint();

 private:
  struct Pane {
    UINT id;
    UINT style;
    int cx;
    CString text;
  };
  std::vector<Pane> m_panes;
  CFont m_font;
};
