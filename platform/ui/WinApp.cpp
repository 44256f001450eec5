#include "platform/ui/WinApp.h"

#include "platform/ui/FrameWnd.h"
#include "platform/ui/Icons.h"
#include "platform/ui/UiInternal.h"
#include "platform/ui/UiResources.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEventLoop>
#include <QFontDatabase>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
CWinApp* g_app = nullptr;
QApplication* g_qapp = nullptr;
bool g_idlePending = true;
bool g_quit = false;
int g_modalDepth = 0;
int g_argc = 1;
char g_arg0[] = "neapwise";
char* g_argvDefault[] = {g_arg0, nullptr};
}  // namespace

int AfxModalDepth() { return g_modalDepth; }
void AfxNoteMessageForIdle() { g_idlePending = true; }
BOOL AfxQuitRequested() { return g_quit; }
void AfxNoteQuit(int code) {
  g_quit = true;
  QCoreApplication::exit(code);
}

const char* AfxPlatformForSession(const char* qpa, const char* sessionType, const char* waylandDisplay,
                                  const char* display) {
  if (qpa && *qpa) return nullptr;  // the user's choice
  bool wayland = (sessionType && std::strcmp(sessionType, "wayland") == 0) || (waylandDisplay && *waylandDisplay);
  // Popups need screen positions, grabs and unmanaged windows: X11 through XWayland has them.
  if (wayland && display && *display) return "xcb";
  return nullptr;
}

std::string AfxMissingDisplay(const char* qpa, const char* waylandDisplay, const char* display) {
  const bool x11 = qpa && std::strcmp(qpa, "xcb") == 0;
  if (qpa && *qpa && !x11) return {};
  const bool hasX = display && *display, hasWayland = waylandDisplay && *waylandDisplay;
  if (!hasX && (x11 || !hasWayland))
    return "Neapwise needs a graphical session to run in: X11, or Wayland with XWayland (DISPLAY is not set).";
  if (!hasX) return {};
  // Qt aborts where the X server named does not answer: say so instead.
  xcb_connection_t* c = xcb_connect(display, nullptr);
  const bool refused = !c || xcb_connection_has_error(c);
  if (c) xcb_disconnect(c);
  if (refused)
    return std::string("Neapwise needs a graphical session to run in: X11, or Wayland with XWayland (the display \"") +
           display + "\" does not answer).";
  return {};
}

BOOL AfxWinInit(int argc, char** argv) {
  if (QCoreApplication::instance()) {
    AfxEnsureDispatcher();
    return TRUE;
  }
  if (argc <= 0 || !argv) {
    argc = g_argc;
    argv = g_argvDefault;
  }
  static int s_argc;
  s_argc = argc;
  CString::SetStringLoader(AfxLoadString);
  if (const char* qpa = AfxPlatformForSession(std::getenv("QT_QPA_PLATFORM"), std::getenv("XDG_SESSION_TYPE"),
                                              std::getenv("WAYLAND_DISPLAY"), std::getenv("DISPLAY")))
    ::setenv("QT_QPA_PLATFORM", qpa, 1);
  if (qEnvironmentVariable("QT_QPA_PLATFORM") == QLatin1String("offscreen")) {
    // The offscreen platform of the tests has no stacking, grabbing or activation, and
    // says so on every use; those notes are dropped, anything else is printed.
    static QtMessageHandler previous = nullptr;
    previous = qInstallMessageHandler([](QtMsgType t, const QMessageLogContext& c, const QString& m) {
      if (m.contains(QLatin1String("does not support raise")) ||
          m.contains(QLatin1String("does not support grabbing")) ||
          m.contains(QLatin1String("requestActivate() called")) || m.contains(QLatin1String("XDG_RUNTIME_DIR")))
        return;
      if (previous)
        previous(t, c, m);
      else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(t, c, m)));
    });
  }
  g_qapp = new QApplication(s_argc, argv);
  AfxAccInstall();  // after Qt's own widget objects: the last factory installed is asked first
  QApplication::setQuitOnLastWindowClosed(false);
  AfxEnsureDispatcher();
  return TRUE;
}

CWinApp* AfxGetWinApp() { return g_app; }
CWinThread* AfxGetThread() { return g_app; }
CWnd* AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }
LPCTSTR AfxGetAppName() { return g_app && g_app->m_pszAppName ? g_app->m_pszAppName : "Neapwise"; }

// ---- CWinThread ----
IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)

CWinThread::CWinThread() = default;
CWinThread::~CWinThread() = default;

int CWinThread::ExitInstance() { return m_nExitCode; }

BOOL CWinThread::IsIdleMessage(MSG* pMsg) { return pMsg->message != WM_PAINT && pMsg->message != 0x0118; }

BOOL CWinThread::PreTranslateMessage(MSG* pMsg) {
  HWND stop = m_pMainWnd ? m_pMainWnd->GetSafeHwnd() : nullptr;
  return CWnd::WalkPreTranslateTree(stop, pMsg);
}

BOOL CWinThread::OnIdle(LONG lCount) {
  if (lCount <= 0) {
    CWnd* main = m_pMainWnd;
    if (main && main->GetSafeHwnd() && main->IsWindowVisible()) {
      HWND h = main->GetSafeHwnd();
      ::SendMessage(h, WM_IDLEUPDATECMDUI, TRUE, 0);
      if (IsWindow(h)) main->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE);
    }
    // Visible top-level frames other than the main window update too.
    for (HWND t : AfxTopLevelWindows()) {
      CWnd* w = CWnd::FromHandlePermanent(t);
      if (!w || w == main || !IsWindowVisible(t)) continue;
      if (w->IsKindOf(RUNTIME_CLASS(CFrameWnd))) {
        ::SendMessage(t, WM_IDLEUPDATECMDUI, TRUE, 0);
        if (IsWindow(t)) w->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE);
      }
    }
    return TRUE;
  }
  return FALSE;
}

BOOL CWinThread::PumpMessage() {
  if (g_quit) return FALSE;
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  return !g_quit;
}

static void runIdle() {
  if (!g_idlePending || g_modalDepth > 0 || g_quit) return;
  CWinThread* t = AfxGetThread();
  if (!t) return;
  g_idlePending = false;
  for (LONG n = 0; t->OnIdle(n); ++n) {
    if (n > 8) break;
  }
  // Messages sent during idle processing do not start another round.
  g_idlePending = false;
}

int CWinThread::Run() {
  AfxWinInit(0, nullptr);
  QAbstractEventDispatcher* d = QAbstractEventDispatcher::instance();
  QMetaObject::Connection c;
  if (d) c = QObject::connect(d, &QAbstractEventDispatcher::aboutToBlock, [] { runIdle(); });
  g_quit = false;
  int code = QCoreApplication::exec();
  // The loop is over; what runs after it (exit work, message boxes) may run loops again.
  g_quit = false;
  if (c) QObject::disconnect(c);
  m_nExitCode = code;
  return ExitInstance();
}

// ---- CWinApp ----
IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

CWinApp::CWinApp(LPCTSTR lpszAppName) : CWinAppBase(lpszAppName) {
  g_app = this;
  static CString s_name;
  s_name = GetAppName();
  m_pszAppName = s_name;
  m_pszExeName = s_name;
}

CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
}

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
  ON_COMMAND(ID_APP_EXIT, OnAppExit)
END_MESSAGE_MAP()

void CWinApp::OnAppExit() {
  if (m_pMainWnd && m_pMainWnd->GetSafeHwnd()) m_pMainWnd->SendMessage(WM_CLOSE);
}

int CWinApp::Run() { return CWinThread::Run(); }

BOOL CWinApp::OnIdle(LONG lCount) { return CWinThread::OnIdle(lCount); }

void CWinApp::ParseCommandLine(CCommandLineInfo& info) {
  for (int i = 1; i < m_argc; ++i) {
    const char* p = m_argv[i];
    BOOL flag = FALSE;
    if (p[0] == '-' || p[0] == '/') {
      flag = TRUE;
      ++p;
      if (*p == '-') ++p;
    }
    info.ParseParam(p, flag, i == m_argc - 1);
  }
}

void CCommandLineInfo::ParseParam(const char* p, BOOL bFlag, BOOL) {
  if (bFlag) {
    if (strcasecmp(p, "Embedding") == 0) {
      m_bRunEmbedded = TRUE;
      m_bShowSplash = FALSE;
    } else if (strcasecmp(p, "Automation") == 0) {
      m_bRunAutomated = TRUE;
      m_bShowSplash = FALSE;
    } else if (strcasecmp(p, "nologo") == 0) {
      m_bShowSplash = FALSE;
    } else if (strcasecmp(p, "p") == 0) {
      m_nShellCommand = FilePrint;
    } else if (strcasecmp(p, "Unregister") == 0 || strcasecmp(p, "Unregserver") == 0) {
      m_nShellCommand = AppUnregister;
    } else if (strcasecmp(p, "Register") == 0 || strcasecmp(p, "Regserver") == 0) {
      m_nShellCommand = AppRegister;
    }
  } else if (m_strFileName.IsEmpty()) {
    m_strFileName = p;
    if (m_nShellCommand == FileNew) m_nShellCommand = FileOpen;
  }
}

HCURSOR CWinApp::LoadStandardCursor(LPCTSTR lpszCursorName) const { return ::LoadCursor(nullptr, lpszCursorName); }
HCURSOR CWinApp::LoadCursor(UINT nIDResource) const {
  return ::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(nIDResource));
}
HICON CWinApp::LoadIcon(UINT nIDResource) const {
  return ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(nIDResource));
}
HICON CWinApp::LoadStandardIcon(LPCTSTR lpszIconName) const { return ::LoadIcon(nullptr, lpszIconName); }

int AfxWinMain(int argc, char** argv) {
  const std::string missing =
      AfxMissingDisplay(std::getenv("QT_QPA_PLATFORM"), std::getenv("WAYLAND_DISPLAY"), std::getenv("DISPLAY"));
  if (!missing.empty()) {
    std::fprintf(stderr, "%s\n", missing.c_str());
    return 1;
  }
  AfxWinInit(argc, argv);
  CWinApp* app = AfxGetWinApp();
  if (!app) return -1;
  app->m_argc = argc;
  app->m_argv = argv;
  int code = -1;
  if (app->InitApplication() && app->InitInstance()) {
    code = app->Run();
  } else {
    if (app->m_pMainWnd && app->m_pMainWnd->GetSafeHwnd()) app->m_pMainWnd->DestroyWindow();
    code = app->ExitInstance();
  }
  return code;
}

namespace {
// One running AfxRunModalLoop; the innermost running one reads the messages.
struct ModalLoop {
  const std::function<bool()>* keepGoing;
  const AFX_MODAL_FILTER* filter;
  bool running = true;
  bool busy = false;  // inside its filter or condition: no re-entry
};
std::vector<ModalLoop*> g_loops;

bool stillGoing(ModalLoop* l) {
  if (!l->running) return false;
  if (l->busy) return true;
  l->busy = true;
  l->running = (*l->keepGoing)();
  l->busy = false;
  return l->running;
}

ModalLoop* innermostRunning() {
  for (auto it = g_loops.rbegin(); it != g_loops.rend(); ++it)
    if (stillGoing(*it)) return *it;
  return nullptr;
}
}  // namespace

bool AfxModalLoopFilter(MSG& msg) {
  ModalLoop* l = innermostRunning();
  if (!l || l->busy || !*l->filter) return false;
  // The loop's frame is below this call on the stack, so it outlives the filter.
  l->busy = true;
  BOOL handled = (*l->filter)(msg);
  l->busy = false;
  if (handled) stillGoing(l);
  return handled != FALSE;
}

void AfxModalLoopMessageDone() {
  if (!g_loops.empty()) innermostRunning();
}

BOOL AfxRunModalLoop(const std::function<bool()>& keepGoing, const AFX_MODAL_FILTER& filter) {
  AfxWinInit(0, nullptr);
  ModalLoop me{&keepGoing, &filter};
  ++g_modalDepth;
  g_loops.push_back(&me);
  QEventLoop loop;
  // Each pass handles what is pending, then waits for more; the condition is asked between
  // passes and after every message (AfxModalLoopMessageDone).
  while (!g_quit && stillGoing(&me)) {
    loop.processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    if (QCoreApplication::closingDown()) break;
  }
  g_loops.erase(std::find(g_loops.begin(), g_loops.end(), &me));
  --g_modalDepth;
  return !g_quit;
}

void AfxPumpPendingMessages(int maxMs) {
  AfxWinInit(0, nullptr);
  if (maxMs > 0) QCoreApplication::processEvents(QEventLoop::AllEvents, maxMs);
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
