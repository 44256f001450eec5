// The application object and its message loop.
#pragma once

#include "platform/core/AfxProfile.h"
#include "platform/ui/Wnd.h"

#include <functional>

class CWinThread : public CCmdTarget {
  DECLARE_DYNAMIC(CWinThread)
 public:
  CWinThread();
  ~CWinThread() override;

  CWnd* m_pMainWnd = nullptr;
  CWnd* GetMainWnd() { return m_pMainWnd; }

  virtual BOOL InitInstance() { return TRUE; }
  virtual int ExitInstance();
  // Runs the loop until WM_QUIT; idle processing runs whenever the queue empties.
  virtual int Run();
  // Every queued message passes here first: the target window's ancestors are asked
  // (CWnd::PreTranslateMessage), up to the main window.
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  // lCount 0 updates the user-interface elements of the main window (WM_IDLEUPDATECMDUI);
  // returns TRUE while there is more idle work.
  virtual BOOL OnIdle(LONG lCount);
  virtual BOOL IsIdleMessage(MSG* pMsg);
  // Handles one round of pending events; FALSE after WM_QUIT.
  BOOL PumpMessage();
  int m_nExitCode = 0;
};

class CCommandLineInfo : public CObject {
 public:
  CCommandLineInfo() = default;
  ~CCommandLineInfo() override = default;
  virtual void ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast);

  enum { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppRegister, AppUnregister, FileNothing = -1 } m_nShellCommand = FileNew;
  BOOL m_bShowSplash = TRUE;
  BOOL m_bRunEmbedded = FALSE;
  BOOL m_bRunAutomated = FALSE;
  CString m_strFileName;
};

// The profile and the names come from the core layer's application base; AfxGetApp() is
// the core's and answers that base, AfxGetWinApp() this object.
class CWinApp : public CWinThread, public CWinAppBase {
  DECLARE_DYNAMIC(CWinApp)
 public:
  explicit CWinApp(LPCTSTR lpszAppName = nullptr);
  ~CWinApp() override;

  LPCTSTR m_pszAppName = nullptr;
  LPCTSTR m_pszExeName = nullptr;
  LPCTSTR m_pszRegistryKey = nullptr;
  LPCTSTR m_pszProfileName = nullptr;
  HINSTANCE m_hInstance = nullptr;
  int m_nCmdShow = SW_SHOWNORMAL;

  virtual BOOL InitApplication() { return TRUE; }
  int Run() override;
  BOOL OnIdle(LONG lCount) override;
  virtual int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt);

  void ParseCommandLine(CCommandLineInfo& rCmdInfo);
  HCURSOR LoadStandardCursor(LPCTSTR lpszCursorName) const;
  HCURSOR LoadCursor(UINT nIDResource) const;
  HICON LoadIcon(UINT nIDResource) const;
  HICON LoadStandardIcon(LPCTSTR) const { return nullptr; }

  int m_argc = 0;
  char** m_argv = nullptr;
};

CWinApp* AfxGetWinApp();
CWinThread* AfxGetThread();
CWnd* AfxGetMainWnd();
LPCTSTR AfxGetAppName();

// Starts the user-interface layer (the Qt application) once; further calls do nothing.
BOOL AfxWinInit(int argc, char** argv);
// The program's entry: starts the layer, then InitApplication, InitInstance and Run of the
// one application object.
int AfxWinMain(int argc, char** argv);

// Runs a nested loop until keepGoing returns false or the program quits; idle processing is
// skipped meanwhile. Used by modal dialogs, menu tracking and the toolkit's tracking loops.
void AfxRunModalLoop(const std::function<bool()>& keepGoing);
// Handles the events that are pending now (at most maxMs milliseconds of waiting for more).
void AfxPumpPendingMessages(int maxMs = 0);
// TRUE once WM_QUIT has been seen.
BOOL AfxQuitRequested();
