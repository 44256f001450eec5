#include "app/NeapwiseApp.h"

#include "app/AboutDlg.h"
#include "app/DlgWarning.h"
#include "app/MainFrm.h"
#include "app/Resource.h"
#include "app/Splash.h"
#include "app/TipDlg.h"
#include "platform/ui/CallLater.h"

BEGIN_MESSAGE_MAP(CNeapwiseApp, CWinApp)
  ON_COMMAND(ID_TIP_OF_THE_DAY, OnTipOfTheDay)
  ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
  ON_COMMAND(ID_HELP_INDEX, OnHelp)
  ON_COMMAND(ID_HELP, OnHelp)
  ON_COMMAND(ID_HELP_USING, OnHelp)
  ON_COMMAND(ID_DEFAULT_HELP, OnHelp)
END_MESSAGE_MAP()

CNeapwiseApp::CNeapwiseApp() : CWinApp("Neapwise") {}

BOOL CNeapwiseApp::InitInstance() {
  CCommandLineInfo cmdInfo;
  ParseCommandLine(cmdInfo);
  EnableSplashScreen(cmdInfo.m_bShowSplash);
  SetRegistryKey("Quillane Software");
  InitCommonControls();

  // The frame becomes the main window once it exists, so a failed creation posts no quit.
  auto* frame = new CMainFrame;
  CMainFrame::s_bStartFailureShown = FALSE;
  if (!frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, nullptr)) {
    // A frame that fails creation has deleted itself; the program ends with a word of why.
    HideSplashScreen();
    if (!CMainFrame::s_bStartFailureShown)
      AfxMessageBox("Neapwise could not create its main window and has to close.", MB_OK | MB_ICONSTOP);
    return FALSE;
  }
  m_pMainWnd = frame;
  frame->ShowWindow(SW_SHOW);
  frame->UpdateWindow();
  const HWND hFrame = frame->GetSafeHwnd();
  {
    CDlgWarning notice(frame);
    RunModal(notice);
  }
  // A window closed while the notice showed is an end: no tip after it.
  if (!::IsWindow(hFrame)) return TRUE;
  ShowTipAtStartup();
  return TRUE;
}

void CNeapwiseApp::ShowTipAtStartup() {
  CCommandLineInfo cmdInfo;
  ParseCommandLine(cmdInfo);
  if (!cmdInfo.m_bShowSplash) return;
  CTipDlg tip(m_pMainWnd);
  if (tip.m_bStartup) RunModal(tip);
}

std::function<void(CDialog*)> CNeapwiseApp::s_startupDialogHook;

void CNeapwiseApp::SetStartupDialogHook(std::function<void(CDialog*)> hook) { s_startupDialogHook = std::move(hook); }

INT_PTR CNeapwiseApp::RunModal(CDialog& dlg) {
  if (s_startupDialogHook) {
    // The hook sees the dialog once its modal loop runs; never a dialog that is gone.
    CDialog* p = &dlg;
    auto alive = std::make_shared<bool>(true);
    AfxCallLater(0, [p, alive] {
      if (*alive && s_startupDialogHook) s_startupDialogHook(p);
    });
    const INT_PTR r = dlg.DoModal();
    *alive = false;
    return r;
  }
  return dlg.DoModal();
}

BOOL CNeapwiseApp::PreTranslateMessage(MSG* pMsg) {
  if (PreTranslateSplashMessage(pMsg)) return TRUE;
  return CWinApp::PreTranslateMessage(pMsg);
}

CString CNeapwiseApp::GetHelpPath(LPCTSTR lpszPage) {
  return AfxAppendPath(AfxAppendPath(AfxGetDataFolder(), "help"), lpszPage);
}

void CNeapwiseApp::WinHelp(DWORD_PTR, UINT) {
  const CString path = GetHelpPath();
  if (!AfxShellOpen(path)) AfxMessageBox("Neapwise could not open its help:\n\n" + path, MB_OK | MB_ICONEXCLAMATION);
}

void CNeapwiseApp::OnHelp() { WinHelp(0, 0); }

void CNeapwiseApp::OnTipOfTheDay() {
  CTipDlg tip(m_pMainWnd);
  tip.DoModal();
}

void CNeapwiseApp::OnAppAbout() {
  CAboutDlg about(m_pMainWnd);
  about.DoModal();
}
