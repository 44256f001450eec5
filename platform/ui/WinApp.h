// The application object and its message loop.
#pragma once

#include <string>

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

  enum {
    FileNew,
    FileOpen,
    FilePrint,
    FilePrintTo,
    FileDDE,
    AppRegister,
    AppUnregister,
    FileNothing = -1
  } m_nShellCommand = FileNew;
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
  HICON LoadStandardIcon(LPCTSTR lpszIconName) const;

  int m_argc = 0;
  char** m_argv = nullptr;

  // File > Exit: closes the main window as its close box does, so it saves what it keeps.
  void OnAppExit();

  DECLARE_MESSAGE_MAP()
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

// Sees one message a modal loop reads; TRUE when it handled the message (it is not dispatched).
typedef std::function<BOOL(MSG& msg)> AFX_MODAL_FILTER;

// The nested message loop of modal dialogs, menu tracking and the toolkit's own loops (a
// button held with the mouse captured, a bar dragged, a popup tracked). It reads and
// dispatches input until keepGoing returns false, and ends as soon as the program quits
// (WM_QUIT stays seen, so every enclosing loop ends too) or the application closes down.
// Idle processing is skipped while it runs.
//  - keepGoing is asked before the loop starts, after every message the loop reads and
//    whenever the loop wakes up; so work that must follow every message (a pending layout)
//    can go there, and a loop that needs the capture can end when it is lost.
//  - filter, when given, sees every message the loop reads (input, timers, posted messages)
//    after the thread hooks and before PreTranslateMessage, as a GetMessage loop sees them;
//    it returns TRUE for a message it handled itself, which is then not dispatched. Messages
//    the filter itself causes to be read are dispatched normally.
//  - the innermost loop reads; once its keepGoing is false, messages still pending are left
//    to the enclosing loop.
// Returns FALSE when the loop ended because the program quits, TRUE otherwise.
BOOL AfxRunModalLoop(const std::function<bool()>& keepGoing, const AFX_MODAL_FILTER& filter = {});
// Handles the events that are pending now (at most maxMs milliseconds of waiting for more).
void AfxPumpPendingMessages(int maxMs = 0);
// TRUE once WM_QUIT has been seen.
BOOL AfxQuitRequested();

// The Qt platform the program asks for: "xcb" in a Wayland session that has an X server
// (XWayland), since popups need screen positions, grabs and unmanaged windows; null leaves
// Qt's own choice, and a QT_QPA_PLATFORM already set is the user's and stays.
const char* AfxPlatformForSession(const char* qpa, const char* sessionType, const char* waylandDisplay,
                                  const char* display);
// What keeps the program from showing a window, as one line for the user, or empty when the
// session has a display (or the user chose a platform, offscreen included, that needs none).
std::string AfxMissingDisplay(const char* qpa, const char* waylandDisplay, const char* display);
