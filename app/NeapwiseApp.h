// The application object: the start-up sequence, and the commands that belong to the program
// rather than to its window (tip of the day, about, help).
#pragma once

#include "platform/ui/AfxWin.h"

class CNeapwiseApp : public CWinApp {
  DECLARE_MESSAGE_MAP()
 public:
  CNeapwiseApp();
  BOOL InitInstance() override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  // Every help request opens the help's first page in the desktop's browser.
  virtual void WinHelp(DWORD_PTR dwData, UINT nCmd);
  void OnTipOfTheDay();
  void OnAppAbout();
  void OnHelp();
  void ShowTipAtStartup();
  // The help page's path.
  static CString GetHelpPath(LPCTSTR lpszPage = "index.html");
};
