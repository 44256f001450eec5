#include "app/NeapwiseApp.h"

#include "app/MainFrm.h"
#include "app/Resource.h"
#include "app/Resource.h"

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
  // (The splash screen is enabled here from cmdInfo.m_bShowSplash once it exists.)
  SetRegistryKey("Quillane Software");
  InitCommonControls();

  // The frame becomes the main window once it exists, so a failed creation posts no quit.
  auto* frame = new CMainFrame;
  CMainFrame::s_bStartFailureShown = FALSE;
  if (!frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, nullptr)) {
    // A frame that fails creation has deleted itself; the program ends with a word of why.
    if (!CMainFrame::s_bStartFailureShown)
      AfxMessageBox("Neapwise could not create its main window and has to close.", MB_OK | MB_ICONSTOP);
    return FALSE;
  }
  m_pMainWnd = frame;
  frame->ShowWindow(SW_SHOW);
  frame->UpdateWindow();
  // (The start-up notice shows here, modally.)
  ShowTipAtStartup();
  return TRUE;
}

void CNeapwiseApp::ShowTipAtStartup() {
  CCommandLineInfo cmdInfo;
  ParseCommandLine(cmdInfo);
  // (The tip of the day shows here when cmdInfo.m_bShowSplash is set.)
}

BOOL CNeapwiseApp::PreTranslateMessage(MSG* pMsg) {
  // (A visible splash screen sees each message first.)
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

void CNeapwiseApp::OnTipOfTheDay() {}

void CNeapwiseApp::OnAppAbout() {
  AfxMessageBox("Neapwise\n\nTide predictions for sailors.\n\nNot for navigation: use official tide tables and charts.",
                MB_OK | MB_ICONINFORMATION);
}
