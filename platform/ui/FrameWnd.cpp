#include "platform/ui/FrameWnd.h"

#include "platform/ui/Accel.h"
#include "platform/ui/Icons.h"
#include "platform/ui/Menu.h"
#include "platform/ui/UiInternal.h"
#include "platform/ui/UiResources.h"
#include "platform/ui/WinApp.h"

IMPLEMENT_DYNAMIC(CFrameWnd, CWnd)

namespace {
CFrameWnd* frameOf(HWND h) {
  CWnd* w = CWnd::FromHandle(h);
  return w && w->IsKindOf(RUNTIME_CLASS(CFrameWnd)) ? static_cast<CFrameWnd*>(w) : nullptr;
}
const bool g_hooked = (g_afxWndHooks.frameOf = frameOf, true);
}  // namespace

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
  ON_WM_INITMENUPOPUP()
  ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_CLOSE()
  ON_WM_SIZE()
  ON_MESSAGE(WM_SETMESSAGESTRING, OnSetMessageString)
  ON_MESSAGE(WM_POPMESSAGESTRING, OnPopMessageString)
  ON_UPDATE_COMMAND_UI(AFX_IDW_STATUS_BAR, OnUpdateControlBarMenu)
  ON_COMMAND_EX(AFX_IDW_STATUS_BAR, OnBarCheck)
  ON_UPDATE_COMMAND_UI(AFX_IDW_TOOLBAR, OnUpdateControlBarMenu)
  ON_COMMAND_EX(AFX_IDW_TOOLBAR, OnBarCheck)
END_MESSAGE_MAP()

const CRect CFrameWnd::rectDefault(40, 40, 680, 520);

CFrameWnd::CFrameWnd() = default;
CFrameWnd::~CFrameWnd() {
  delete m_pMenuLoaded;
  if (m_hAccelTable) DestroyAcceleratorTable(m_hAccelTable);
}

BOOL CFrameWnd::LoadAccelTable(LPCTSTR name) {
  if (m_hAccelTable) return FALSE;
  m_hAccelTable = LoadAccelerators(nullptr, name);
  return m_hAccelTable != nullptr;
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) {
    HACCEL h = GetDefaultAccelerator();
    return h && ::TranslateAccelerator(m_hWnd, h, pMsg);
  }
  return FALSE;
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs) {
  if (!cs.lpszClass)
    cs.lpszClass =
        AfxRegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW), (HBRUSH)(UINT_PTR)(COLOR_BTNFACE + 1), nullptr);
  return TRUE;
}

BOOL CFrameWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                       LPCTSTR lpszMenuName, DWORD dwExStyle, CCreateContext* pContext) {
  HMENU hMenu = nullptr;
  if (lpszMenuName) {
    delete m_pMenuLoaded;
    m_pMenuLoaded = new CMenu;
    if (m_pMenuLoaded->LoadMenu(lpszMenuName)) hMenu = m_pMenuLoaded->GetSafeHmenu();
  }
  return CWnd::CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, rect.right - rect.left,
                        rect.bottom - rect.top, pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr, hMenu,
                        (LPVOID)pContext);
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext) {
  m_nIDHelp = nIDResource;
  LoadAccelTable(MAKEINTRESOURCE(nIDResource));
  // The frame's resource string names it (its first line); without one, the application's title.
  CString full;
  m_strTitle.Empty();
  if (full.LoadString(nIDResource)) {
    const int nl = full.Find('\n');
    m_strTitle = nl < 0 ? full : full.Left(nl);
  }
  if (m_strTitle.IsEmpty()) m_strTitle = AfxGetAppName();
  if (!Create(nullptr, m_strTitle, dwDefaultStyle, rectDefault, pParentWnd, MAKEINTRESOURCE(nIDResource), 0, pContext))
    return FALSE;
  // The frame's icon, for the window manager's title bar, docks and task bars.
  if (!SendMessage(WM_GETICON, ICON_BIG, 0)) {
    if (auto big = LoadImage(nullptr, MAKEINTRESOURCE(nIDResource), IMAGE_ICON, 32, 32, LR_SHARED))
      SendMessage(WM_SETICON, ICON_BIG, (LPARAM)big);
    if (auto small = LoadImage(nullptr, MAKEINTRESOURCE(nIDResource), IMAGE_ICON, 16, 16, LR_SHARED))
      SendMessage(WM_SETICON, ICON_SMALL, (LPARAM)small);
  }
  OnUpdateFrameTitle(TRUE);
  return TRUE;
}

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle) {
  if (!(GetStyle() & FWS_ADDTOTITLE) || !bAddToTitle || !m_hWnd) return;
  // No documents: the title is the frame's own.
  CString now;
  GetWindowText(now);
  if (now != m_strTitle) SetWindowText(m_strTitle);
}

void CFrameWnd::PostNcDestroy() { delete this; }

int CFrameWnd::OnCreate(LPCREATESTRUCT lpcs) {
  if (CWnd::OnCreate(lpcs) == -1) return -1;
  if (!OnCreateClient(lpcs, (CCreateContext*)lpcs->lpCreateParams)) return -1;
  return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext*) { return TRUE; }
void CFrameWnd::DelayRecalcLayout(BOOL) { m_bLayoutPending = TRUE; }

void CFrameWnd::RecalcLayout(BOOL) {
  if (m_bInRecalcLayout || !m_hWnd) return;
  m_bLayoutPending = FALSE;
  m_bInRecalcLayout = TRUE;
  RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST);
  m_bInRecalcLayout = FALSE;
}

void CFrameWnd::OnSize(UINT nType, int cx, int cy) {
  CWnd::OnSize(nType, cx, cy);
  if (nType != SIZE_MINIMIZED) RecalcLayout();
}

CWnd* CFrameWnd::GetControlBar(UINT nID) {
  HWND h = ::GetDlgItem(m_hWnd, (int)nID);
  return h ? CWnd::FromHandlePermanent(h) : nullptr;
}

void CFrameWnd::ShowControlBar(CWnd* pBar, BOOL bShow, BOOL) {
  if (!pBar || !pBar->GetSafeHwnd()) return;
  pBar->ShowWindow(bShow ? SW_SHOWNA : SW_HIDE);
  RecalcLayout();
}

BOOL CFrameWnd::OnBarCheck(UINT nID) {
  CWnd* bar = GetControlBar(nID);
  if (!bar) return FALSE;
  ShowControlBar(bar, !(bar->GetStyle() & WS_VISIBLE), FALSE);
  return TRUE;
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI) {
  CWnd* bar = GetControlBar(pCmdUI->m_nID);
  if (!bar) {
    pCmdUI->ContinueRouting();
    return;
  }
  pCmdUI->SetCheck((bar->GetStyle() & WS_VISIBLE) != 0);
}

LRESULT CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM lParam) {
  CWnd* bar = GetControlBar(AFX_IDW_STATUS_BAR);
  if (!bar) return 0;
  CString text;
  if (lParam) {
    text = (LPCTSTR)lParam;
  } else if (wParam) {
    CString s;
    if (AfxLoadString((UINT)wParam, s)) {
      int nl = s.Find('\n');
      text = nl >= 0 ? s.Left(nl) : s;
    }
  }
  bar->SetWindowText(text);
  return 0;
}

LRESULT CFrameWnd::OnPopMessageString(WPARAM wParam, LPARAM lParam) { return OnSetMessageString(wParam, lParam); }

void CFrameWnd::SetMessageText(UINT nID) { SendMessage(WM_SETMESSAGESTRING, nID, 0); }

void CFrameWnd::ActivateFrame(int nCmdShow) {
  if (nCmdShow == -1) nCmdShow = IsWindowVisible() ? SW_SHOW : SW_SHOWNORMAL;
  ShowWindow(nCmdShow);
  BringWindowToTop();
}

void CFrameWnd::OnDestroy() { CWnd::OnDestroy(); }

void CFrameWnd::OnClose() {
  CWinApp* app = AfxGetWinApp();
  if (app && app->m_pMainWnd == this) {
    // Closing the main window ends the program once it is destroyed (WM_NCDESTROY).
  }
  DestroyWindow();
}

void CFrameWnd::SetActiveView(CWnd* pViewNew, BOOL) { m_pViewActive = pViewNew; }

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  CWnd* view = m_pViewActive;
  if (view && view->GetSafeHwnd() && view->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  CWinApp* app = AfxGetWinApp();
  if (app && app->CWinThread::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  return FALSE;
}

BOOL CFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (!lParam) {
    // A command from a menu or an accelerator runs only while its update handler allows it.
    UINT nID = LOWORD(wParam);
    class Probe : public CCmdUI {
     public:
      BOOL enabled = TRUE;
      void Enable(BOOL b) override {
        enabled = b;
        m_bEnableChanged = TRUE;
      }
      void SetCheck(int) override {}
      void SetRadio(BOOL) override {}
      void SetText(LPCTSTR) override {}
    } probe;
    probe.m_nID = nID;
    probe.DoUpdate(this, FALSE);
    if (probe.m_bEnableChanged && !probe.enabled) return TRUE;
  }
  return CWnd::OnCommand(wParam, lParam);
}

void CFrameWnd::SetMessageText(LPCTSTR lpszText) { SendMessage(WM_SETMESSAGESTRING, 0, (LPARAM)lpszText); }

void CFrameWnd::OnInitMenuPopup(CMenu* pMenu, UINT, BOOL bSysMenu) {
  if (bSysMenu || !pMenu) return;
  CCmdUI state;
  state.m_pMenu = pMenu;
  state.m_nIndexMax = pMenu->GetMenuItemCount();
  for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; state.m_nIndex++) {
    state.m_nID = pMenu->GetMenuItemID(state.m_nIndex);
    if (state.m_nID == 0) continue;  // separator
    if (state.m_nID == (UINT)-1) {
      // A popup: its first item's command decides nothing here; popups stay enabled.
      continue;
    }
    state.m_pSubMenu = nullptr;
    state.DoUpdate(this, m_bAutoMenuEnable && state.m_nID < 0xF000);
    // The handler may have changed the menu.
    state.m_nIndexMax = pMenu->GetMenuItemCount();
  }
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM, LPARAM) {
  if (m_bLayoutPending && m_hWnd) RecalcLayout();
  return 0;
}
