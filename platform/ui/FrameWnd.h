// Frame windows: command routing to the active view, idle update of the frame's elements.
#pragma once

#include "platform/ui/Wnd.h"

// The frame's title is kept from its resource string (with the document's name, where there is one).
#ifndef FWS_ADDTOTITLE
#define FWS_ADDTOTITLE 0x00008000L
#endif

struct CCreateContext {
  CRuntimeClass* m_pNewViewClass = nullptr;
  CWnd* m_pCurrentFrame = nullptr;
};

class CFrameWnd : public CWnd {
  DECLARE_DYNAMIC(CFrameWnd)
  DECLARE_MESSAGE_MAP()
 public:
  CFrameWnd();
  ~CFrameWnd() override;

  static const CRect rectDefault;
  virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
                      const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr, LPCTSTR lpszMenuName = nullptr,
                      DWORD dwExStyle = 0, CCreateContext* pContext = nullptr);
  using CWnd::Create;
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  void PostNcDestroy() override;  // frames delete themselves

  // The active view: commands reach it before the frame.
  CWnd* GetActiveView() const { return m_pViewActive; }
  void SetActiveView(CWnd* pViewNew, BOOL bNotify = TRUE);

  // Commands go to the active view, then the frame, then the application.
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
  virtual void RecalcLayout(BOOL bNotify = TRUE);
  // Lays the frame out at the next idle time (many changes, one layout).
  void DelayRecalcLayout(BOOL bNotify = TRUE);
  BOOL IsLayoutPending() const { return m_bLayoutPending; }
  virtual void ActivateFrame(int nCmdShow = -1);
  virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW, CWnd* pParentWnd = nullptr,
                         CCreateContext* pContext = nullptr);
  // Text for the first pane of the status bar (AFX_IDW_STATUS_BAR).
  void SetMessageText(LPCTSTR lpszText);
  void SetMessageText(UINT nID);
  // The child bar with the id (a status bar, a toolbar); shown or hidden with a new layout.
  CWnd* GetControlBar(UINT nID);
  void ShowControlBar(CWnd* pBar, BOOL bShow, BOOL bDelay);
  // The bar toggles of the View menu: the command id is the bar's id.
  BOOL OnBarCheck(UINT nID);
  void OnUpdateControlBarMenu(CCmdUI* pCmdUI);
  // wParam a string id (its prompt, before any newline), or lParam the text itself.
  LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);
  LRESULT OnPopMessageString(WPARAM wParam, LPARAM lParam);
  void OnSize(UINT nType, int cx, int cy);
  // Keys of the frame's accelerator table become commands before the focus window sees them.
  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL LoadAccelTable(LPCTSTR lpszResourceName);
  virtual HACCEL GetDefaultAccelerator() { return m_hAccelTable; }
  HACCEL m_hAccelTable = nullptr;
  // Updates a popup's items through the command handlers before it opens.
  void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
  LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
  int OnCreate(LPCREATESTRUCT lpcs);
  void OnDestroy();
  void OnClose();

  // Sets the frame's title from m_strTitle when its style has FWS_ADDTOTITLE.
  virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
  CString m_strTitle;

  BOOL m_bAutoMenuEnable = TRUE;
  UINT m_nIDHelp = 0;

 protected:
  CWnd* m_pViewActive = nullptr;
  BOOL m_bInRecalcLayout = FALSE;
  BOOL m_bLayoutPending = FALSE;
  CMenu* m_pMenuLoaded = nullptr;
};
