// Control bars along the frame's edges, and the status bar.
//
// A control bar is a child of its frame with an id in AFX_IDW_CONTROLBAR_FIRST..LAST; the frame's
// RecalcLayout gives each visible bar its strip along the edge it aligns to (WM_SIZEPARENT), and
// the rest of the client area to the pane AFX_IDW_PANE_FIRST. At idle time a bar asks the frame's
// update handlers for the state of its elements.
#pragma once

#include "platform/ui/FrameWnd.h"
#include "platform/ui/Gdi.h"

#include <vector>

// ---- Bar styles ----
#ifndef CBRS_ALIGN_LEFT
#define CBRS_ALIGN_LEFT 0x1000L
#define CBRS_ALIGN_TOP 0x2000L
#define CBRS_ALIGN_RIGHT 0x4000L
#define CBRS_ALIGN_BOTTOM 0x8000L
#define CBRS_ALIGN_ANY 0xF000L
#define CBRS_BORDER_LEFT 0x0100L
#define CBRS_BORDER_TOP 0x0200L
#define CBRS_BORDER_RIGHT 0x0400L
#define CBRS_BORDER_BOTTOM 0x0800L
#define CBRS_BORDER_ANY 0x0F00L
#define CBRS_TOOLTIPS 0x0010L
#define CBRS_FLYBY 0x0020L
#define CBRS_FLOAT_MULTI 0x0040L
#define CBRS_BORDER_3D 0x0080L
#define CBRS_HIDE_INPLACE 0x0008L
#define CBRS_SIZE_DYNAMIC 0x0004L
#define CBRS_SIZE_FIXED 0x0002L
#define CBRS_FLOATING 0x0001L
#define CBRS_GRIPPER 0x00400000L
#define CBRS_ORIENT_HORZ (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)
#define CBRS_ORIENT_VERT (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)
#define CBRS_ORIENT_ANY (CBRS_ORIENT_HORZ | CBRS_ORIENT_VERT)
#define CBRS_ALL 0x0040FFFFL
#define CBRS_NOALIGN 0x00000000L
#define CBRS_LEFT (CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT)
#define CBRS_TOP (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM)
#define CBRS_RIGHT (CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT)
#define CBRS_BOTTOM (CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP)
#endif

// ---- Status-bar panes ----
#ifndef SBPS_NORMAL
#define SBPS_NORMAL 0x0000
#define SBPS_NOBORDERS 0x0100
#define SBPS_POPOUT 0x0200
#define SBPS_OWNERDRAW 0x1000
#define SBPS_DISABLED 0x04000000
#define SBPS_STRETCH 0x08000000
#endif
#ifndef SBARS_SIZEGRIP
#define SBARS_SIZEGRIP 0x0100
#endif
#ifndef SB_SETMINHEIGHT
#define SB_SETMINHEIGHT (WM_USER + 8)
#endif
#ifndef ID_SEPARATOR
#define ID_SEPARATOR 0
#endif

// ---- Ids ----
#ifndef AFX_IDW_CONTROLBAR_FIRST
#define AFX_IDW_CONTROLBAR_FIRST 0xE800
#define AFX_IDW_CONTROLBAR_LAST 0xE8FF
#endif
#ifndef ID_VIEW_TOOLBAR
#define ID_VIEW_TOOLBAR 0xE800
#define ID_VIEW_STATUS_BAR 0xE801
#endif
#ifndef ID_INDICATOR_CAPS
#define ID_INDICATOR_EXT 0xE700
#define ID_INDICATOR_CAPS 0xE701
#define ID_INDICATOR_NUM 0xE702
#define ID_INDICATOR_SCRL 0xE703
#define ID_INDICATOR_OVR 0xE704
#define ID_INDICATOR_REC 0xE705
#endif

// What WM_SIZEPARENT carries: the part of the frame's client area still free.
struct AFX_SIZEPARENTPARAMS {
  RECT rect;       // shrunk by every bar that takes a strip
  SIZE sizeTotal;  // the room the bars took
  BOOL bStretch;   // bars stretch across the free width or height
};

class CControlBar : public CWnd {
  DECLARE_DYNAMIC(CControlBar)
  DECLARE_MESSAGE_MAP()
 public:
  CControlBar();
  ~CControlBar() override;

  DWORD GetBarStyle() const { return m_dwStyle; }
  void SetBarStyle(DWORD dwStyle);
  BOOL IsVisible() const { return IsWindowVisible(); }
  // The bar's size: with bStretch, across the whole frame (horizontal: width 32767).
  virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz);
  // Asks pTarget's update handlers for the state of the bar's elements.
  void OnUpdateCmdUI(CWnd* pTarget, BOOL bDisableIfNoHndler) override;
  void PostNcDestroy() override;

  LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
  LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
  void OnShowWindow(BOOL bShow, UINT nStatus);
  LRESULT OnRecalcParent(WPARAM wParam, LPARAM lParam);

  BOOL m_bAutoDelete = FALSE;
  int m_cxLeftBorder = 0;
  int m_cxRightBorder = 0;
  int m_cyTopBorder = 0;
  int m_cyBottomBorder = 0;

 protected:
  // Creates the bar window as a child of the frame; the frame lays itself out again.
  BOOL CreateBar(LPCTSTR lpszClass, DWORD dwStyle, DWORD dwCtrlStyle, CWnd* pParentWnd, UINT nID);
  // Lays the parent frame out again (a bar appeared, went or changed its size).
  void RecalcParentLayout();
  DWORD m_dwStyle = 0;
};

// The classic status bar: panes of id, style, width and text, the first usually a stretching
// message pane, drawn with sunken borders on the button face.
class CStatusBar : public CControlBar {
  DECLARE_DYNAMIC(CStatusBar)
  DECLARE_MESSAGE_MAP()
 public:
  CStatusBar();
  ~CStatusBar() override;

  // dwStyle: WS_CHILD | WS_VISIBLE and a CBRS_ alignment (bottom by default). Create gives the
  // bar a size grip when the frame has a sizing border; CreateEx takes SBARS_SIZEGRIP in
  // dwCtrlStyle.
  virtual BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                      UINT nID = AFX_IDW_STATUS_BAR);
  BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = 0, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                UINT nID = AFX_IDW_STATUS_BAR);
  using CWnd::Create;
  using CWnd::CreateEx;

  // One pane per id: ID_SEPARATOR makes an empty pane (the first one stretches and has no
  // border); any other id takes its text, and the width of that text, from the string table.
  // FALSE when a string is missing.
  virtual BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);

  int GetCount() const { return (int)m_panes.size(); }
  int CommandToIndex(UINT nIDFind) const;  // -1 when no pane has the id
  UINT GetItemID(int nIndex) const;
  void GetItemRect(int nIndex, LPRECT lpRect) const;
  void GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const;
  void SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth);
  UINT GetPaneStyle(int nIndex) const;
  void SetPaneStyle(int nIndex, UINT nStyle);
  CString GetPaneText(int nIndex) const;
  void GetPaneText(int nIndex, CString& rString) const;
  BOOL SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate = TRUE);

  CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
  void OnUpdateCmdUI(CWnd* pTarget, BOOL bDisableIfNoHndler) override;
  // Draws the bar as it is now (background, panes, grip) into pDC.
  virtual void DrawBar(CDC* pDC);
  // Draws one pane's border and text in its item rectangle.
  virtual void DrawPane(CDC* pDC, int nIndex, const CRect& rect);
  virtual void DrawItem(LPDRAWITEMSTRUCT) {}

  void OnPaint();
  BOOL OnEraseBkgnd(CDC* pDC);
  void OnSize(UINT nType, int cx, int cy);
  LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetTextLength(WPARAM wParam, LPARAM lParam);
  LRESULT OnSetMinHeight(WPARAM wParam, LPARAM lParam);
  LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);
  // A screen reader reads the panes as labels.
  LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);

  int m_nMinHeight = 0;

 protected:
  struct Pane {
    UINT nID = 0;
    int cxText = 0;  // width of the text area
    UINT nStyle = 0;
    CString strText;
  };
  std::vector<Pane> m_panes;
  BOOL HasGrip() const;
  int GripWidth() const;
  // Text height of the bar's font.
  int TextHeight() const;
  // Measures text in the bar's font.
  int TextWidth(const CString& text) const;
  void SelectBarFont(CDC* pDC, CFont*& pOld) const;

 private:
  void LayoutItems(std::vector<CRect>& rects) const;
};
