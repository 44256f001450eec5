// The application object: the start-up sequence, and the commands that belong to the program
// rather than to its window (tip of the day, about, help).
#pragma once

#include "platform/ui/AfxWin.h"

#include <functional>

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
  // Tests answer the start-up notice and tip through this: it gets each once it is on screen.
  static void SetStartupDialogHook(std::function<void(CDialog*)> hook);

 private:
  static INT_PTR RunModal(CDialog& dlg);
  static std::function<void(CDialog*)> s_startupDialogHook;
};
