// Windows on Qt widgets: the window registry, creation and destruction, geometry, painting
// hand-over, focus, capture, timers, posted messages and input translation.
#include "platform/ui/Accessible.h"
#include "platform/ui/Pixels.h"
#include "platform/ui/ScrollBars.h"
#include "platform/ui/SysInfo.h"
#include "platform/ui/UiInternal.h"
#include "platform/ui/WinApp.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPixmap>
#include <QScreen>
#include <QStyleHints>
#include <QThread>
#include <QTimerEvent>
#include <QWheelEvent>
#include <QWindow>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <unordered_map>

// ======================================================================================
// Registry
// ======================================================================================
namespace {

std::mutex g_regMutex;
std::unordered_map<HWND, AfxWndRec*> g_windows;
std::atomic<uintptr_t> g_nextHandle{0x1000};
std::vector<HWND> g_topLevels;  // bottom first

HWND g_focus = nullptr;
HWND g_capture = nullptr;
HWND g_trackGrab = nullptr;  // the open menu holding the pointer for the program
HWND g_active = nullptr;
POINT g_cursor{0, 0};
BYTE g_keys[256];
bool g_altTap = false;  // Alt went down and nothing else happened before its release
bool g_altGr = false;   // AltGr held: the platform reports it as Ctrl+Alt
bool g_appActive = false;
int g_cursorShow = 0;
HCURSOR g_cursorCurrent = nullptr;

thread_local MSG t_currentMsg{};
thread_local const MSG* t_currentMsgPtr = nullptr;

struct WndClass {
  std::string name;
  UINT style = 0;
  WNDPROC proc = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH brush = nullptr;
  HICON icon = nullptr;
};
std::map<std::string, WndClass>& classes() {
  static std::map<std::string, WndClass> m;
  return m;
}

QElapsedTimer& uiClock() {
  static QElapsedTimer t;
  if (!t.isValid()) t.start();
  return t;
}

struct Hook {
  HHOOK h;
  int type;
  HOOKPROC proc;
};
std::vector<Hook> g_hooks;
uintptr_t g_nextHook = 1;

}  // namespace

AfxWndHooks g_afxWndHooks;

AfxWndRec* AfxRec(HWND h) {
  if (!h) return nullptr;
  std::lock_guard<std::mutex> lock(g_regMutex);
  auto it = g_windows.find(h);
  return it == g_windows.end() ? nullptr : it->second;
}

QWidget* AfxWidgetOf(HWND h) {
  AfxWndRec* r = AfxRec(h);
  return r ? r->w : nullptr;
}

std::vector<HWND> AfxTopLevelWindows() { return g_topLevels; }

// The offscreen platform (tests) has no stacking or grabbing; asking only prints warnings.
static bool windowSystemPresent() {
  static int v = -1;
  if (v < 0) v = QGuiApplication::platformName() != QLatin1String("offscreen");
  return v == 1;
}

bool AfxIsUiThread() {
  QCoreApplication* app = QCoreApplication::instance();
  return app && QThread::currentThread() == app->thread();
}

static bool isChildStyle(const AfxWndRec* r) { return (r->style & WS_CHILD) != 0; }
static bool hasNativeFrame(const AfxWndRec* r) {
  return !isChildStyle(r) && !(r->style & WS_POPUP) && (r->style & WS_CAPTION) == WS_CAPTION;
}

QMargins AfxNonClientMargins(const AfxWndRec* r) {
  if (hasNativeFrame(r)) return QMargins();
  int b = 0;
  if (r->style & WS_THICKFRAME)
    b += 4;
  else if (r->style & WS_DLGFRAME)
    b += 3;
  else if (r->style & WS_BORDER)
    b += 1;
  if (r->exStyle & WS_EX_CLIENTEDGE) b += 2;
  if (r->exStyle & WS_EX_STATICEDGE) b += 1;
  QMargins m(b, b, b, b);
  if ((r->style & WS_VSCROLL) && r->sb[SB_VERT].visible) m.setRight(m.right() + 16);
  if ((r->style & WS_HSCROLL) && r->sb[SB_HORZ].visible) m.setBottom(m.bottom() + 16);
  return m;
}

static QSize clientSize(const AfxWndRec* r) {
  QMargins m = AfxNonClientMargins(r);
  return QSize(std::max(0, r->w->width() - m.left() - m.right()), std::max(0, r->w->height() - m.top() - m.bottom()));
}

QPoint AfxClientOriginOnScreen(const AfxWndRec* r) {
  QMargins m = AfxNonClientMargins(r);
  // mapToGlobal works for hidden widgets as well, from the geometry we set.
  return r->w->mapToGlobal(QPoint(m.left(), m.top()));
}

// Position of a window's widget for a window rectangle given in the parent's client coordinates.
static QPoint widgetPosFor(const AfxWndRec* r, int x, int y) {
  if (isChildStyle(r)) {
    AfxWndRec* p = AfxRec(r->parent);
    if (p) {
      QMargins m = AfxNonClientMargins(p);
      return QPoint(x + m.left(), y + m.top());
    }
  }
  return QPoint(x, y);
}

QImage& AfxBacking(AfxWndRec* r) {
  QImage& pixels = r->backingPixels;
  const QSize want(std::max(1, r->backingSize.width()), std::max(1, r->backingSize.height()));
  if (pixels.size() == want) return pixels;
  QImage img = AfxNewPixels(want.width(), want.height(), QImage::Format_RGB32);
  // The old pixels are kept where they still fit and only the rest is made white.
  int keepW = 0, keepH = 0;
  if (!pixels.isNull() && pixels.format() == img.format()) {
    keepW = std::min(img.width(), pixels.width());
    keepH = std::min(img.height(), pixels.height());
    for (int y = 0; y < keepH; ++y) std::memcpy(img.scanLine(y), pixels.constScanLine(y), size_t(keepW) * 4);
  } else if (!pixels.isNull()) {
    img.fill(Qt::white);
    QPainter p(&img);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, pixels);
    keepW = img.width();
    keepH = img.height();
  }
  const QRgb white = 0xFFFFFFFFu;
  if (keepW < img.width())
    for (int y = 0; y < keepH; ++y)
      std::fill_n(reinterpret_cast<QRgb*>(img.scanLine(y)) + keepW, img.width() - keepW, white);
  for (int y = keepH; y < img.height(); ++y) std::fill_n(reinterpret_cast<QRgb*>(img.scanLine(y)), img.width(), white);
  pixels = img;
  return pixels;
}

// Records the new size and what it leaves to be painted; the pixels follow on first use.
static void resizeBacking(AfxWndRec* r) {
  QSize s = clientSize(r);
  if (r->backingSize == s && !r->backingPixels.isNull()) return;
  QSize old = r->backingPixels.isNull() ? QSize(0, 0) : r->backingSize;
  r->backingSize = s;
  if (r->backingPixels.isNull()) {
    r->backingPixels = QImage(1, 1, QImage::Format_RGB32);
    r->backingPixels.fill(Qt::white);
  }
  QRegion fresh(QRect(QPoint(0, 0), s));
  if (!(r->clsStyle & (CS_HREDRAW | CS_VREDRAW)) && !old.isEmpty()) fresh -= QRegion(QRect(QPoint(0, 0), old));
  if ((r->clsStyle & CS_HREDRAW) && old.width() != s.width()) fresh = QRegion(QRect(QPoint(0, 0), s));
  if ((r->clsStyle & CS_VREDRAW) && old.height() != s.height()) fresh = QRegion(QRect(QPoint(0, 0), s));
  if (!fresh.isEmpty()) {
    r->invalid += fresh;
    r->erase = true;
  }
}

static void scheduleRepaint(AfxWndRec* r) {
  if (r->w && r->redraw) r->w->update();
}

void AfxWindowPixelsChanged(HWND h, const QRect& clientRect) {
  AfxWndRec* r = AfxRec(h);
  if (!r || !r->w) return;
  QMargins m = AfxNonClientMargins(r);
  r->w->update(clientRect.translated(m.left(), m.top()));
}

// ======================================================================================
// Window classes
// ======================================================================================
ATOM RegisterClass(const WNDCLASS* wc) {
  if (!wc || !wc->lpszClassName || IS_INTRESOURCE(wc->lpszClassName)) return 0;
  WndClass c;
  c.name = wc->lpszClassName;
  c.style = wc->style;
  c.proc = wc->lpfnWndProc;
  c.cursor = wc->hCursor;
  c.brush = wc->hbrBackground;
  c.icon = wc->hIcon;
  classes()[c.name] = c;
  return (ATOM)classes().size();
}

BOOL GetClassInfo(HINSTANCE, LPCTSTR lpszClass, WNDCLASS* wc) {
  if (!lpszClass || IS_INTRESOURCE(lpszClass)) return FALSE;
  auto it = classes().find(lpszClass);
  if (it == classes().end()) return FALSE;
  std::memset(wc, 0, sizeof(*wc));
  wc->style = it->second.style;
  wc->lpfnWndProc = it->second.proc;
  wc->hCursor = it->second.cursor;
  wc->hbrBackground = it->second.brush;
  wc->hIcon = it->second.icon;
  wc->lpszClassName = it->first.c_str();
  return TRUE;
}

LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon) {
  char name[96];
  std::snprintf(name, sizeof(name), "Afx:%x:%llx:%llx:%llx", nClassStyle, (unsigned long long)(uintptr_t)hCursor,
                (unsigned long long)(uintptr_t)hbrBackground, (unsigned long long)(uintptr_t)hIcon);
  auto it = classes().find(name);
  if (it != classes().end()) return it->first.c_str();
  WNDCLASS wc{};
  wc.style = nClassStyle;
  wc.lpfnWndProc = AfxWndProc;
  wc.hCursor = hCursor;
  wc.hbrBackground = hbrBackground;
  wc.hIcon = hIcon;
  wc.lpszClassName = name;
  RegisterClass(&wc);
  return classes().find(name)->first.c_str();
}

static const WndClass* findClass(LPCTSTR name) {
  if (!name || IS_INTRESOURCE(name)) return nullptr;
  auto it = classes().find(name);
  return it == classes().end() ? nullptr : &it->second;
}

// ======================================================================================
// Posted messages and the pump
// ======================================================================================
namespace {

const QEvent::Type kPostedType = static_cast<QEvent::Type>(QEvent::User + 61);

struct PostedEvent : QEvent {
  PostedEvent(const MSG& m) : QEvent(kPostedType), msg(m) {}
  MSG msg;
};

class Dispatcher : public QObject {
 public:
  bool event(QEvent* e) override {
    if (e->type() == kPostedType) {
      MSG m = static_cast<PostedEvent*>(e)->msg;
      if (m.message == WM_QUIT) {
        AfxNoteQuit((int)m.wParam);
        return true;
      }
      if (m.hwnd && !AfxRec(m.hwnd)) return true;  // the window is gone: dropped
      AfxPumpMessage(m);
      return true;
    }
    return QObject::event(e);
  }
};

Dispatcher* g_dispatcher = nullptr;

}  // namespace

static bool g_testingState = false;
bool AfxTestingApplicationState() { return g_testingState; }
void AfxSetTestingApplicationState(bool on) { g_testingState = on; }

// Every top-level window hears when the program as a whole gains or loses the activation.
void AfxNoteApplicationState(bool active) {
  if (active == g_appActive) return;
  g_appActive = active;
  std::vector<HWND> tops = g_topLevels;
  for (HWND h : tops)
    if (AfxRec(h)) ::SendMessage(h, WM_ACTIVATEAPP, active ? TRUE : FALSE, 0);
}

void AfxEnsureDispatcher() {
  if (!g_dispatcher && QCoreApplication::instance()) {
    g_dispatcher = new Dispatcher;
    g_dispatcher->moveToThread(QCoreApplication::instance()->thread());
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
      g_appActive = gui->applicationState() == Qt::ApplicationActive;
      // The headless platform has no other programs: it deactivates the application whenever a
      // window that takes no focus (a shadow strip) is shown, so only the tests' word counts.
      if (!windowSystemPresent()) g_appActive = true;
      QObject::connect(gui, &QGuiApplication::applicationStateChanged, g_dispatcher, [](Qt::ApplicationState st) {
        if (windowSystemPresent() || AfxTestingApplicationState()) AfxNoteApplicationState(st == Qt::ApplicationActive);
      });
    }
    std::memset(g_keys, 0, sizeof(g_keys));
    uiClock();
  }
}

static LRESULT callHooks(int type, int code, WPARAM wp, LPARAM lp) {
  if (g_hooks.empty()) return 0;
  std::vector<Hook> hooks = g_hooks;  // a hook may unhook itself
  for (auto it = hooks.rbegin(); it != hooks.rend(); ++it) {
    if (it->type != type) continue;
    // Only the last installed hook is called directly; it reaches the others through CallNextHookEx.
    return it->proc(code, wp, lp);
  }
  return 0;
}

HHOOK SetWindowsHookEx(int idHook, HOOKPROC lpfn, HINSTANCE, DWORD) {
  if (!lpfn) return nullptr;
  Hook h{reinterpret_cast<HHOOK>(g_nextHook++), idHook, lpfn};
  g_hooks.push_back(h);
  return h.h;
}

BOOL UnhookWindowsHookEx(HHOOK hhk) {
  auto it = std::find_if(g_hooks.begin(), g_hooks.end(), [&](const Hook& h) { return h.h == hhk; });
  if (it == g_hooks.end()) return FALSE;
  g_hooks.erase(it);
  return TRUE;
}

LRESULT CallNextHookEx(HHOOK hhk, int nCode, WPARAM wParam, LPARAM lParam) {
  auto it = std::find_if(g_hooks.begin(), g_hooks.end(), [&](const Hook& h) { return h.h == hhk; });
  if (it == g_hooks.end()) return 0;
  int type = it->type;
  while (it != g_hooks.begin()) {
    --it;
    if (it->type == type) return it->proc(nCode, wParam, lParam);
  }
  return 0;
}

// PreTranslateMessage, then the window (or the timer procedure).
static void dispatchQueued(MSG& msg) {
  if (msg.hwnd && !AfxRec(msg.hwnd)) return;
  CWinThread* thread = AfxGetThread();
  BOOL eaten = FALSE;
  if (thread)
    eaten = thread->PreTranslateMessage(&msg);
  else
    eaten = CWnd::WalkPreTranslateTree(nullptr, &msg);
  if (eaten || !msg.hwnd) return;
  if (!AfxRec(msg.hwnd)) return;
  if (msg.message == WM_TIMER && msg.lParam) {
    reinterpret_cast<TIMERPROC>(msg.lParam)(msg.hwnd, WM_TIMER, msg.wParam, msg.time);
    return;
  }
  ::SendMessage(msg.hwnd, msg.message, msg.wParam, msg.lParam);
}

bool AfxPumpMessage(MSG& msg) {
  if (msg.time == 0) msg.time = (DWORD)uiClock().elapsed();
  if (msg.message != WM_PAINT) AfxNoteMessageForIdle();
  // Thread hooks see input before anything else, as they do on the platform.
  if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST && msg.message != WM_CHAR && msg.message != WM_SYSCHAR) {
    if (callHooks(WH_KEYBOARD, HC_ACTION, msg.wParam, msg.lParam)) return false;
  } else if ((msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) ||
             (msg.message >= WM_NCMOUSEMOVE && msg.message <= WM_NCMBUTTONDBLCLK)) {
    MOUSEHOOKSTRUCT mh{msg.pt, msg.hwnd, HTCLIENT, 0};
    if (callHooks(WH_MOUSE, HC_ACTION, msg.message, (LPARAM)&mh)) return false;
  }
  if (msg.hwnd && !AfxRec(msg.hwnd)) return true;
  // A modal loop reading its own messages sees them here, as its GetMessage would.
  if (AfxModalLoopFilter(msg)) return true;
  dispatchQueued(msg);
  AfxModalLoopMessageDone();
  return true;
}

BOOL PostMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (!QCoreApplication::instance() || !g_dispatcher) return FALSE;
  if (hWnd && !IsWindow(hWnd)) return FALSE;
  MSG m{hWnd, Msg, wParam, lParam, 0, g_cursor};
  QCoreApplication::postEvent(g_dispatcher, new PostedEvent(m));
  return TRUE;
}

BOOL PostThreadMessage(DWORD, UINT Msg, WPARAM wParam, LPARAM lParam) {
  return PostMessage(nullptr, Msg, wParam, lParam);
}

void PostQuitMessage(int nExitCode) {
  AfxEnsureDispatcher();
  if (g_dispatcher) {
    MSG m{nullptr, WM_QUIT, (WPARAM)nExitCode, 0, 0, g_cursor};
    QCoreApplication::postEvent(g_dispatcher, new PostedEvent(m), Qt::LowEventPriority);
  }
}

DWORD GetCurrentThreadId() { return (DWORD)(uintptr_t)QThread::currentThreadId(); }
DWORD GetWindowThreadProcessId(HWND, LPDWORD pid) {
  if (pid) *pid = (DWORD)QCoreApplication::applicationPid();
  QCoreApplication* app = QCoreApplication::instance();
  return app ? (DWORD)(uintptr_t)app->thread() : 0;
}
const MSG* AfxGetCurrentMessage() { return t_currentMsgPtr; }
DWORD GetMessageTime() { return t_currentMsg.time; }
DWORD GetMessagePos() { return (DWORD)MAKELONG(g_cursor.x, g_cursor.y); }
DWORD GetTickCount() { return (DWORD)uiClock().elapsed(); }

// ======================================================================================
// Sending and the window procedure
// ======================================================================================
LRESULT SendMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (!AfxIsUiThread()) {
    // Another thread waits for the user-interface thread to handle it, as on the platform.
    LRESULT res = 0;
    if (!QCoreApplication::instance() || !g_dispatcher) return 0;
    QMetaObject::invokeMethod(
        g_dispatcher, [&] { res = ::SendMessage(hWnd, Msg, wParam, lParam); }, Qt::BlockingQueuedConnection);
    return res;
  }
  AfxWndRec* r = AfxRec(hWnd);
  if (!r) return 0;
  if (!g_hooks.empty()) {
    CWPSTRUCT cwp{lParam, wParam, Msg, hWnd};
    callHooks(WH_CALLWNDPROC, HC_ACTION, 0, (LPARAM)&cwp);
    r = AfxRec(hWnd);
    if (!r) return 0;
  }
  WNDPROC proc = r->proc ? r->proc : AfxWndProc;
  return proc(hWnd, Msg, wParam, lParam);
}

LRESULT CallWindowProc(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (!lpPrevWndFunc) return ::DefWindowProc(hWnd, Msg, wParam, lParam);
  return lpPrevWndFunc(hWnd, Msg, wParam, lParam);
}

static void finalDetach(HWND h, CWnd* w);

// Objects whose handlers are running on this thread. A window destroyed from inside one of its
// own handlers keeps its object until the outermost of them has returned: PostNcDestroy (which
// deletes frames and the like) waits, so the handler can still touch its members.
namespace {
struct DispatchFrame {
  CWnd* w;
  bool alive;  // false once the object was deleted by someone else
};
thread_local std::vector<DispatchFrame*> t_dispatch;
thread_local std::vector<CWnd*> t_pendingNcDestroy;

bool inDispatch(const CWnd* w) {
  for (const DispatchFrame* f : t_dispatch)
    if (f->alive && f->w == w) return true;
  return false;
}
}  // namespace

static void AfxForgetDispatch(CWnd* w) {
  for (DispatchFrame* f : t_dispatch)
    if (f->w == w) f->alive = false;
  t_pendingNcDestroy.erase(std::remove(t_pendingNcDestroy.begin(), t_pendingNcDestroy.end(), w),
                           t_pendingNcDestroy.end());
}

LRESULT AfxWndProc(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  AfxWndRec* r = AfxRec(hWnd);
  CWnd* w = r ? r->wnd : nullptr;
  if (!w) return ::DefWindowProc(hWnd, Msg, wParam, lParam);
  MSG saved = t_currentMsg;
  const MSG* savedPtr = t_currentMsgPtr;
  t_currentMsg = MSG{hWnd, Msg, wParam, lParam, (DWORD)uiClock().elapsed(), g_cursor};
  t_currentMsgPtr = &t_currentMsg;
  DispatchFrame frame{w, true};
  t_dispatch.push_back(&frame);
  LRESULT res = w->WindowProc(Msg, wParam, lParam);
  t_dispatch.pop_back();
  t_currentMsg = saved;
  t_currentMsgPtr = savedPtr;
  if (frame.alive && !inDispatch(w)) {
    auto it = std::find(t_pendingNcDestroy.begin(), t_pendingNcDestroy.end(), w);
    if (it != t_pendingNcDestroy.end()) {
      t_pendingNcDestroy.erase(it);
      w->PostNcDestroy();
    }
  }
  return res;
}

// ======================================================================================
// Creation
// ======================================================================================
static CWnd* g_creating = nullptr;

// Absurd numbers (a damaged settings file) make no window of gigabytes; a window with a title
// bar is no larger than the largest the window manager lets a user drag it to.
static void clampGeometry(const AfxWndRec* r, int& x, int& y, int& cx, int& cy) {
  constexpr int kMaxPos = 32767, kMaxSize = 8192;
  x = std::clamp(x, -kMaxPos, kMaxPos);
  y = std::clamp(y, -kMaxPos, kMaxPos);
  const bool track = hasNativeFrame(r) && windowSystemPresent();
  cx = std::clamp(cx, 0, track ? GetSystemMetrics(SM_CXMAXTRACK) : kMaxSize);
  cy = std::clamp(cy, 0, track ? GetSystemMetrics(SM_CYMAXTRACK) : kMaxSize);
}

static void applyIcon(AfxWndRec* r) {
  QIcon icon;
  for (HICON h : {r->iconSmall, r->iconBig})
    if (QImage img = AfxIconImage(h); !img.isNull()) icon.addPixmap(QPixmap::fromImage(img));
  r->w->setWindowIcon(icon);
}

// The whole window: with a window manager's frame, its decorations included (their extents
// from the window manager, or the last ones seen while it has not said yet).
static QRect wholeRect(const AfxWndRec* r) {
  if (!hasNativeFrame(r)) return QRect(r->w->mapToGlobal(QPoint(0, 0)), r->w->size());
  const QMargins m = AfxWindowManagerExtents(const_cast<AfxWndRec*>(r));
  return QRect(r->w->pos(), r->w->size().grownBy(m));
}

// A window the window manager keeps, placed off every screen (a saved place from another
// monitor, or a damaged one), comes back onto the work area.
static QPoint onSomeScreen(const AfxWndRec* r, QRect whole) {
  if (!windowSystemPresent() || (r->style & WS_CHILD) || (r->w->windowFlags() & Qt::X11BypassWindowManagerHint))
    return whole.topLeft();
  for (QScreen* s : QGuiApplication::screens())
    if (s->geometry().intersects(whole)) return whole.topLeft();
  const QRect work = AfxWorkArea();
  return QPoint(std::max(work.left(), std::min(whole.left(), work.right() + 1 - whole.width())),
                std::max(work.top(), std::min(whole.top(), work.bottom() + 1 - whole.height())));
}

// Input to a window is refused while it, a parent, or the owner of a window that never
// activates (a menu, a list, a floating bar) is disabled: a modal loop's owner and all it has.
static bool inputRefused(HWND h) {
  for (AfxWndRec* r = AfxRec(h); r;) {
    if (!r->enabled) return true;
    if (r->style & WS_CHILD)
      r = AfxRec(r->parent);
    else if ((r->exStyle & WS_EX_NOACTIVATE) && r->owner)
      r = AfxRec(r->owner);
    else
      break;
  }
  return false;
}

// The enabled window a disabled one waits for: the topmost visible window it owns that takes input.
static HWND modalWindowOf(HWND disabled) {
  for (auto it = g_topLevels.rbegin(); it != g_topLevels.rend(); ++it) {
    AfxWndRec* r = AfxRec(*it);
    if (!r || !(r->style & WS_VISIBLE) || (r->exStyle & WS_EX_NOACTIVATE) || !r->enabled) continue;
    for (AfxWndRec* o = AfxRec(r->owner); o; o = AfxRec(o->owner))
      if (o->h == disabled) return r->h;
  }
  return nullptr;
}

// How Qt is to treat a top-level window of these styles, and the owner's widget it belongs to.
static Qt::WindowFlags topLevelFlags(const AfxWndRec* r, QWidget** qparent) {
  const DWORD dwStyle = r->style, dwExStyle = r->exStyle;
  AfxWndRec* o = AfxRec(r->owner);
  *qparent = nullptr;
  Qt::WindowFlags flags;
  if (hasNativeFrame(r)) {
    // An owned window with a title bar is a dialog to the window manager, transient for its
    // owner; its buttons are the ones its style asks for.
    flags = o ? Qt::Dialog : Qt::Window;
    if (o) *qparent = o->w;
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (dwStyle & WS_SYSMENU) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (dwStyle & WS_MINIMIZEBOX) flags |= Qt::WindowMinimizeButtonHint;
    if (dwStyle & WS_MAXIMIZEBOX) flags |= Qt::WindowMaximizeButtonHint;
  } else {
    flags = Qt::Window | Qt::FramelessWindowHint;
    // Owned frameless windows (a floating toolbar among them) stay managed: the window manager
    // keeps them above their owner and leaves them where the program puts them.
    if (o) {
      *qparent = o->w;
      flags |= Qt::Tool;
    }
    if (dwExStyle & WS_EX_NOACTIVATE) flags |= Qt::WindowDoesNotAcceptFocus;
    // Popup menus, drop lists and shadows: unmanaged, so the window manager never gives them the
    // focus. Not Qt::Popup, which grabs input and eats the click that should reach the frame.
    if ((dwStyle & WS_POPUP) && (dwExStyle & WS_EX_TOOLWINDOW) && (dwExStyle & WS_EX_NOACTIVATE))
      flags |= Qt::Tool | Qt::X11BypassWindowManagerHint | Qt::WindowDoesNotAcceptFocus;
  }
  if (dwExStyle & WS_EX_TOPMOST) flags |= Qt::WindowStaysOnTopHint;
  return flags;
}

HWND CreateWindowEx(DWORD dwExStyle, LPCTSTR lpszClass, LPCTSTR lpszName, DWORD dwStyle, int x, int y, int cx, int cy,
                    HWND hWndParent, HMENU hMenu, HINSTANCE, LPVOID lpParam) {
  if (!QCoreApplication::instance()) return nullptr;
  AfxEnsureDispatcher();
  const WndClass* wc = findClass(lpszClass);
  if (!wc) wc = findClass(AfxRegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW), nullptr, nullptr));
  AfxWndRec* parentRec = AfxRec(hWndParent);
  if ((dwStyle & WS_CHILD) && !parentRec) return nullptr;

  auto* r = new AfxWndRec;
  r->h = reinterpret_cast<HWND>(g_nextHandle.fetch_add(1));
  r->style = dwStyle & ~WS_VISIBLE;
  r->exStyle = dwExStyle;
  r->cls = wc->name;
  r->clsStyle = wc->style;
  r->clsCursor = wc->cursor;
  r->clsBrush = wc->brush;
  r->proc = wc->proc ? wc->proc : AfxWndProc;
  r->text = lpszName ? lpszName : "";
  r->enabled = !(dwStyle & WS_DISABLED);
  if (dwStyle & WS_CHILD) {
    r->parent = hWndParent;
    r->id = (UINT)(uintptr_t)hMenu;
  } else {
    // The owner of a popup is the top-level window of the given one.
    HWND o = hWndParent;
    while (AfxRec(o) && (AfxRec(o)->style & WS_CHILD)) o = AfxRec(o)->parent;
    r->owner = AfxRec(o) ? o : nullptr;
    r->menu = hMenu;
  }
  r->wnd = g_creating;
  g_creating = nullptr;

  QWidget* qparent = nullptr;
  Qt::WindowFlags flags = Qt::Widget;
  if (dwStyle & WS_CHILD)
    qparent = parentRec->w;
  else
    flags = topLevelFlags(r, &qparent);
  r->w = new NeapWidget(r->h, qparent, flags);
  if (!(dwStyle & WS_CHILD)) {
    // The window's text is its title for the window manager, the class icon its icon.
    r->w->setWindowTitle(QString::fromUtf8(r->text.c_str()));
    r->iconBig = wc->icon;
    applyIcon(r);
  }
  // A child made hidden stays hidden when its parent is shown later (Qt would show it).
  if (dwStyle & WS_CHILD) r->w->hide();
  if (dwExStyle & WS_EX_NOACTIVATE) r->w->setAttribute(Qt::WA_ShowWithoutActivating);
  if ((dwExStyle & WS_EX_LAYERED) && !(dwStyle & WS_CHILD)) {
    // An alpha visual, before the native window exists; the pixels come from UpdateLayeredWindow.
    r->layered = true;
    r->w->setAttribute(Qt::WA_TranslucentBackground);
  }
  {
    std::lock_guard<std::mutex> lock(g_regMutex);
    g_windows[r->h] = r;
  }
  if (dwStyle & WS_CHILD)
    parentRec->children.push_back(r->h);
  else
    g_topLevels.push_back(r->h);
  if (r->wnd) r->wnd->m_hWnd = r->h;

  // CW_USEDEFAULT-like values for top-level windows.
  if ((int)x == (int)0x80000000) x = 40;
  if ((int)y == (int)0x80000000) y = 40;
  if ((int)cx == (int)0x80000000) cx = 640;
  if ((int)cy == (int)0x80000000) cy = 480;
  clampGeometry(r, x, y, cx, cy);
  r->reportedPos = QPoint(x, y);
  if (hasNativeFrame(r)) {
    // The size asked for is the whole window, the window manager's frame included.
    const QMargins m = AfxWindowManagerExtents(r);
    r->wantWhole = QRect(x, y, cx, cy);
    r->extentsUsed = m;
    r->w->move(x, y);
    r->w->resize(std::max(0, cx - m.left() - m.right()), std::max(0, cy - m.top() - m.bottom()));
  } else {
    r->w->setGeometry(QRect(widgetPosFor(r, x, y), QSize(std::max(0, cx), std::max(0, cy))));
  }
  resizeBacking(r);
  r->invalid = QRegion(QRect(QPoint(0, 0), clientSize(r)));
  r->erase = true;
  if (!r->enabled) r->w->setEnabled(true);  // input is filtered by us, not by Qt

  CREATESTRUCT cs{lpParam, nullptr, hMenu, hWndParent, cy, cx, y, x, (LONG)dwStyle, lpszName, lpszClass, dwExStyle};
  HWND h = r->h;
  if (!::SendMessage(h, WM_NCCREATE, 0, (LPARAM)&cs)) {
    ::DestroyWindow(h);
    return nullptr;
  }
  if (!AfxRec(h)) return nullptr;
  if (::SendMessage(h, WM_CREATE, 0, (LPARAM)&cs) == -1) {
    ::DestroyWindow(h);
    return nullptr;
  }
  r = AfxRec(h);
  if (!r) return nullptr;
  QSize cl = clientSize(r);
  ::SendMessage(h, WM_SIZE, SIZE_RESTORED, MAKELPARAM(cl.width(), cl.height()));
  ::SendMessage(h, WM_MOVE, 0, MAKELPARAM(x, y));
  r = AfxRec(h);
  if (!r) return nullptr;
  if ((dwStyle & WS_CHILD) && !(dwExStyle & WS_EX_NOPARENTNOTIFY)) {
    ::SendMessage(r->parent, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, r->id), (LPARAM)h);
  }
  if (AfxRec(h) && (dwStyle & WS_VISIBLE)) ::ShowWindow(h, (dwStyle & WS_CHILD) ? SW_SHOWNA : SW_SHOW);
  return AfxRec(h) ? h : nullptr;
}

// ======================================================================================
// Destruction
// ======================================================================================
static void removeFromParentList(AfxWndRec* r) {
  if (r->parent) {
    if (AfxWndRec* p = AfxRec(r->parent)) {
      auto& v = p->children;
      v.erase(std::remove(v.begin(), v.end(), r->h), v.end());
    }
  } else {
    g_topLevels.erase(std::remove(g_topLevels.begin(), g_topLevels.end(), r->h), g_topLevels.end());
  }
}

static void finalDetach(HWND h, CWnd* w) {
  if (!w) return;
  if (w->m_hWnd == h) {
    w->m_hWnd = nullptr;
    if (AfxWndRec* r = AfxRec(h)) r->wnd = nullptr;
    if (inDispatch(w)) {
      // Inside one of its own handlers: the object goes when that handler has returned.
      if (std::find(t_pendingNcDestroy.begin(), t_pendingNcDestroy.end(), w) == t_pendingNcDestroy.end())
        t_pendingNcDestroy.push_back(w);
      return;
    }
    w->PostNcDestroy();
  }
}

static void destroyTree(HWND h, bool root) {
  AfxWndRec* r = AfxRec(h);
  if (!r) return;
  ::SendMessage(h, WM_DESTROY, 0, 0);
  r = AfxRec(h);
  if (!r) return;
  std::vector<HWND> kids = r->children;
  for (auto it = kids.rbegin(); it != kids.rend(); ++it) destroyTree(*it, false);
  r = AfxRec(h);
  if (!r) return;
  ::SendMessage(h, WM_NCDESTROY, 0, 0);
  r = AfxRec(h);
  if (!r) return;
  // A handler that did not reach the default WM_NCDESTROY handling still gets detached.
  CWnd* w = r->wnd;
  for (auto& t : r->timers) r->w->killTimer(t.second.qtId);
  r->timers.clear();
  removeFromParentList(r);
  {
    std::lock_guard<std::mutex> lock(g_regMutex);
    g_windows.erase(h);
  }
  NeapWidget* widget = r->w;
  widget->m_h = nullptr;
  if (root) {
    widget->hide();
    widget->deleteLater();  // may be delivering the event that led here
  }
  delete r;
  finalDetach(h, w);
}

BOOL DestroyWindow(HWND hWnd) {
  AfxWndRec* r = AfxRec(hWnd);
  if (!r || r->destroying) return FALSE;
  // Mark the whole tree first, so nothing below asks for it again.
  std::function<void(AfxWndRec*)> mark = [&](AfxWndRec* x) {
    x->destroying = true;
    for (HWND c : x->children)
      if (AfxWndRec* cr = AfxRec(c)) mark(cr);
  };
  mark(r);
  // Owned windows go first.
  std::vector<HWND> owned;
  for (HWND t : g_topLevels)
    if (AfxWndRec* tr = AfxRec(t); tr && tr->owner == hWnd) owned.push_back(t);
  for (HWND o : owned) ::DestroyWindow(o);
  // Focus and capture leave the tree.
  auto inTree = [&](HWND x) { return x == hWnd || ::IsChild(hWnd, x); };
  if (g_capture && inTree(g_capture)) ::ReleaseCapture();
  if (g_trackGrab && inTree(g_trackGrab)) AfxSetTrackingGrab(nullptr);
  if (g_focus && inTree(g_focus)) {
    HWND old = g_focus;
    g_focus = nullptr;
    ::SendMessage(old, WM_KILLFOCUS, 0, 0);
  }
  r = AfxRec(hWnd);
  if (!r) return TRUE;
  if (r->w->isVisible()) r->w->hide();
  if ((r->style & WS_CHILD) && !(r->exStyle & WS_EX_NOPARENTNOTIFY)) {
    AfxWndRec* p = AfxRec(r->parent);
    if (p && !p->destroying) ::SendMessage(r->parent, WM_PARENTNOTIFY, MAKEWPARAM(WM_DESTROY, r->id), (LPARAM)hWnd);
  }
  if (g_active == hWnd) g_active = nullptr;
  destroyTree(hWnd, true);
  return TRUE;
}

BOOL IsWindow(HWND hWnd) {
  if (!hWnd) return FALSE;
  std::lock_guard<std::mutex> lock(g_regMutex);
  return g_windows.count(hWnd) ? TRUE : FALSE;
}

// ======================================================================================
// Relatives, styles, text
// ======================================================================================
BOOL IsWindowVisible(HWND hWnd) {
  for (AfxWndRec* r = AfxRec(hWnd); r; r = AfxRec(r->parent)) {
    if (!(r->style & WS_VISIBLE)) return FALSE;
    if (!(r->style & WS_CHILD)) return TRUE;
  }
  return FALSE;
}

BOOL IsWindowEnabled(HWND hWnd) {
  AfxWndRec* r = AfxRec(hWnd);
  return r && r->enabled;
}

BOOL EnableWindow(HWND hWnd, BOOL bEnable) {
  AfxWndRec* r = AfxRec(hWnd);
  if (!r) return FALSE;
  BOOL wasDisabled = !r->enabled;
  if (r->enabled != (bEnable != 0)) {
    r->enabled = bEnable != 0;
    if (bEnable)
      r->style &= ~WS_DISABLED;
    else
      r->style |= WS_DISABLED;
    if (!bEnable && (g_focus == hWnd)) ::SetFocus(nullptr);
    ::SendMessage(hWnd, WM_ENABLE, bEnable ? TRUE : FALSE, 0);
  }
  return wasDisabled;
}

BOOL IsChild(HWND hWndParent, HWND hWnd) {
  AfxWndRec* r = AfxRec(hWnd);
  while (r && (r->style & WS_CHILD)) {
    if (r->parent == hWndParent) return TRUE;
    r = AfxRec(r->parent);
  }
  return FALSE;
}

BOOL IsIconic(HWND hWnd) {
  AfxWndRec* r = AfxRec(hWnd);
  return r && (r->style & WS_MINIMIZE);
}
BOOL IsZoomed(HWND hWnd) {
  AfxWndRec* r = AfxRec(hWnd);
  return r && (r->style & WS_MAXIMIZE);
}

HWND GetParent(HWND hWnd) {
  AfxWndRec* r = AfxRec(hWnd);
  if (!r) return nullptr;
  return (r->style & WS_CHILD) ? r->parent : r->owner;
}

HWND SetParent(HWND hWnd, HWND hWndNewParent) {
  AfxWndRec* r = AfxRec(hWnd);
  if (!r) return nullptr;
  HWND old = GetParent(hWnd);
  AfxWndRec* np = AfxRec(hWndNewParent);
  if (!(r->style & WS_CHILD) && r->parent) {
    // A child restyled as a popup leaves its parent and becomes a top-level window owned by the
    // new one's top-level window, where it was on the screen (a docked bar pulled off to float).
    const QPoint screen = r->w->mapToGlobal(QPoint(0, 0));
    const bool vis = r->w->isVisible();
    removeFromParentList(r);
    r->parent = nullptr;
    HWND o = hWndNewParent;
    while (AfxRec(o) && (AfxRec(o)->style & WS_CHILD)) o = AfxRec(o)->parent;
    r->owner = AfxRec(o) ? o : nullptr;
    g_topLevels.push_back(hWnd);
    QWidget* qparent = nullptr;
    const Qt::WindowFlags flags = topLevelFlags(r, &qparent);
    if (r->exStyle & WS_EX_NOACTIVATE) r->w->setAttribute(Qt::WA_ShowWithoutActivating);
    r->w->setParent(qparent, flags);
    r->w->move(screen);
    r->reportedPos = screen;
    if (vis) r->w->show();
    if (g_capture == hWnd && vis && windowSystemPresent()) r->w->grabMouse();
    return old;
  }
  if (r->style & WS_CHILD) {
    if (!np) return nullptr;
    removeFromParentList(r);
    r->owner = nullptr;
    const bool wasTop = !r->parent;
    r->parent = hWndNewParent;
    np->children.push_back(hWnd);
    // A top-level window made a child keeps its place on the screen, now in the parent.
    QPoint pos = wasTop ? np->w->mapFromGlobal(r->w->pos()) : r->w->pos();
    bool vis = r->w->isVisible();
    r->w->setParent(np->w);
    r->w->move(pos);
    if (vis) r->w->show();
    if (g_capture == hWnd && vis && windowSystemPresent()) r->w->grabMouse();
  } else {
    r->owner = hWndNewParent;
  }
  return old;
}

HWND GetAncestor(HWND hWnd, UINT gaFlags) {
  AfxWndRec* r = AfxRec(hWnd);
  if (!r) return nullptr;
  if (gaFlags == GA_PARENT) return (r->style & WS_CHILD) ? r->parent : nullptr;
  HWND h = hWnd;
  while (AfxRec(h) && (AfxRec(h)->style & WS_CHILD)) h = AfxRec(h)->parent;
  if (gaFlags == GA_ROOTOWNER)
    while (AfxRec(h) && AfxRec(h)->owner) h = AfxRec(h)->owner;
  return h;
}

HWND GetWindow(HWND hWnd, UINT uCmd) {
  AfxWndRec* r = AfxRec(hWnd);
  if (!r) return nullptr;
  if (uCmd == GW_CHILD) return r->children.empty() ? nullptr : r->children.back();
  if (uCmd == GW_OWNER) return r->owner;
  const std::vector<HWND>* sib = &g_topLevels;
  if (r->style & WS_CHILD) {
    AfxWndRec* p = AfxRec(r->parent);
    if (!p) return nullptr;
    sib = &p->children;
  }
  // Sibling lists are kept bottom first; the platform counts from the top.
  auto it = std::find(sib->begin(), sib->end(), hWnd);
  if (it == sib->end()) return nullptr;
  switch (uCmd) {
    case GW_HWNDFIRST: return sib->back();
    case GW_HWNDLAST: return sib->front();
    case GW_HWNDNEXT: return it == sib->begin() ? nullptr : *(it - 1);
    case GW_HWNDPREV: return (it + 1) == sib->end() ? nullptr : *(it + 1);
  }
  return nullptr;
}

HWND GetTopWindow(HWND hWnd) {
  if (!hWnd) return g_topLevels.empty() ? nullptr : g_topLevels.back();
  return GetWindow(hWnd, GW_CHILD);
}

HWND GetDesktopWindow() { return nullptr; }
HWND GetActiveWindow() { return g_active; }
HWND GetForegroundWindow() { return g_active; }

static void raiseTop(HWND h) {
  AfxWndRec* r = AfxRec(h);
  if (!r) return;
  std::vector<HWND>* sib = &g_topLevels;
  if (r->style & WS_CHILD) {
    AfxWndRec* p = AfxRec(r->parent);
    if (!p) return;
    sib = &p->children;
  }
  sib->erase(std::remove(sib->begin(), sib->end(), h), sib->end());
  sib->push_back(h);
  if (windowSystemPresent() || (r->style & WS_CHILD)) r->w->raise();
}

// Puts a window just behind a sibling of its own, as an insert-after window asks; anything
// else (a stranger, a window that is gone) leaves the order alone.
static void placeBehind(HWND h, HWND after) {
  AfxWndRec* r = AfxRec(h);
  AfxWndRec* a = AfxRec(after);
  if (!r || !a) return;
  std::vector<HWND>* sib = &g_topLevels;
  if (r->style & WS_CHILD) {
    AfxWndRec* p = AfxRec(r->parent);
    if (!p || !(a->style & WS_CHILD) || a->parent != r->parent) return;
    sib = &p->children;
  } else if (a->style & WS_CHILD) {
    return;
  }
  sib->erase(std::remove(sib->begin(), sib->end(), h), sib->end());
  auto at = std::find(sib->begin(), sib->end(), after);
  sib->insert(at, h);  // the list runs from the bottom up
  if (windowSystemPresent() || (r->style & WS_CHILD)) r->w->stackUnder(a->w);
}

// tellQt: false when Qt reports an activation it has already made; asking it again would
// answer a stale report with a new one, and two windows would take turns for ever.
static HWND afxActivate(HWND hWnd, bool tellQt);

HWND SetActiveWindow(HWND hWnd) { return afxActivate(hWnd, true); }

static HWND afxActivate(HWND hWnd, bool tellQt) {
  HWND top = GetAncestor(hWnd, GA_ROOT);
  HWND old = g_active;
  if (!AfxRec(top) || old == top) return old;
  g_active = top;
  if (old && AfxRec(old)) {
    ::SendMessage(old, WM_NCACTIVATE, FALSE, 0);
    ::SendMessage(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), (LPARAM)top);
  }
  ::SendMessage(top, WM_NCACTIVATE, TRUE, 0);
  ::SendMessage(top, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), (LPARAM)old);
  if (AfxWndRec* r = AfxRec(top)) {
    if (tellQt && r->w->isVisible()) r->w->activateWindow();
  }
  return old;
}

BOOL SetForegroundWindow(HWND hWnd) {
  SetActiveWindow(hWnd);
  return TRUE;
}

HWND GetFocus() { return g_focus; }

HWND SetFocus(HWND hWnd) {
  HWND old = g_focus;
  if (hWnd == old) return old;
  if (hWnd && !AfxRec(hWnd)) return nullptr;
  if (hWnd) {
    HWND top = GetAncestor(hWnd, GA_ROOT);
    // A window that never activates (a floating bar's edit) takes the focus and leaves the
    // frame active; the keys reach it through the focus window all the same.
    AfxWndRec* topRec = AfxRec(top);
    if (top != g_active && !(topRec && (topRec->exStyle & WS_EX_NOACTIVATE))) {
      SetActiveWindow(top);  // may give the top-level window the focus first
      old = g_focus;
      if (hWnd == old) return old;
    }
  }
  g_focus = hWnd;
  if (old && AfxRec(old)) ::SendMessage(old, WM_KILLFOCUS, (WPARAM)hWnd, 0);
  if (hWnd && AfxRec(hWnd) && g_focus == hWnd) {
    AfxRec(hWnd)->w->setFocus(Qt::OtherFocusReason);
    ::SendMessage(hWnd, WM_SETFOCUS, (WPARAM)old, 0);
  }
  return old;
}

HWND GetCapture() { return g_capture; }

HWND SetCapture(HWND hWnd) {
  HWND old = g_capture;
  AfxWndRec* r = AfxRec(hWnd);
  if (!r) return old;
  g_capture = hWnd;
  if (old && old != hWnd && AfxRec(old)) {
    if (windowSystemPresent() && QWidget::mouseGrabber() == AfxRec(old)->w) AfxRec(old)->w->releaseMouse();
    ::SendMessage(old, WM_CAPTURECHANGED, 0, (LPARAM)hWnd);
  }
  if (r->w->isVisible() && windowSystemPresent()) r->w->grabMouse();
  return old;
}

BOOL ReleaseCapture() {
  HWND old = g_capture;
  g_capture = nullptr;
  if (old) {
    if (AfxWndRec* r = AfxRec(old)) {
      if (windowSystemPresent() && QWidget::mouseGrabber() == r->w) r->w->releaseMouse();
      ::SendMessage(old, WM_CAPTURECHANGED, 0, 0);
    }
  }
  return TRUE;
}

BOOL AfxSetTrackingGrab(HWND hWnd) {
  AfxWndRec* r = hWnd ? AfxRec(hWnd) : nullptr;
  if (hWnd && !r) return FALSE;
  if (hWnd == g_trackGrab) return TRUE;
  AfxWndRec* old = AfxRec(g_trackGrab);
  if (r && windowSystemPresent()) {
    // Taken before the old one is let go, so a refusal leaves everything as it was.
    QWindow* wh = r->w->windowHandle();
    if (!wh || !wh->setMouseGrabEnabled(true)) return FALSE;
  }
  if (old && windowSystemPresent() && !g_capture)
    if (QWindow* wh = old->w->windowHandle()) wh->setMouseGrabEnabled(false);
  g_trackGrab = hWnd;
  return TRUE;
}

HWND AfxGetTrackingGrab() { return g_trackGrab; }

static HWND childAt(HWND h, QPoint screen) {
  AfxWndRec* r = AfxRec(h);
  if (!r) return nullptr;
  for (auto it = r->children.rbegin(); it != r->children.rend(); ++it) {
    AfxWndRec* c = AfxRec(*it);
    if (!c || !(c->style & WS_VISIBLE)) continue;
    QRect g(c->w->mapToGlobal(QPoint(0, 0)), c->w->size());
    if (g.contains(screen)) return childAt(*it, screen);
  }
  return h;
}

HWND WindowFromPoint(POINT pt) {
  QPoint s(pt.x, pt.y);
  std::vector<HWND> tops = g_topLevels;  // a hit test may change the list
  for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
    AfxWndRec* r = AfxRec(*it);
    if (!r || !(r->style & WS_VISIBLE)) continue;
    QRect g(r->w->mapToGlobal(QPoint(0, 0)), r->w->size());
    if (!g.contains(s) || !AfxInShape(r, s)) continue;
    // A window that calls itself transparent there (a drop shadow) lets the point through.
    if (r->inputTransparent || ::SendMessage(*it, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y)) == HTTRANSPARENT) continue;
    if (AfxRec(*it)) return childAt(*it, s);
  }
  return nullptr;
}

HWND ChildWindowFromPoint(HWND hWndParent, POINT pt) {
  AfxWndRec* r = AfxRec(hWndParent);
  if (!r) return nullptr;
  QPoint s = AfxClientOriginOnScreen(r) + QPoint(pt.x, pt.y);
  if (!QRect(r->w->mapToGlobal(QPoint(0, 0)), r->w->size()).contains(s)) return nullptr;
  for (auto it = r->children.rbegin(); it != r->children.rend(); ++it) {
    AfxWndRec* c = AfxRec(*it);
    if (!c) continue;
    if (QRect(c->w->mapToGlobal(QPoint(0, 0)), c->w->size()).contains(s)) return *it;
  }
  return hWndParent;
}

int GetDlgCtrlID(HWND hWnd) {
  AfxWndRec* r = AfxRec(hWnd);
  return r ? (int)r->id : 0;
}

HWND GetDlgItem(HWND hWnd, int nID) {
  AfxWndRec* r = AfxRec(hWnd);
  if (!r) return nullptr;
  for (HWND c : r->children)
    if (AfxWndRec* cr = AfxRec(c); cr && (int)cr->id == nID) return c;
  return nullptr;
}

LONG_PTR GetWindowLongPtr(HWND hWnd, int nIndex) {
  AfxWndRec* r = AfxRec(hWnd);
  if (!r) return 0;
  switch (nIndex) {
    case GWL_STYLE: return (LONG_PTR)(DWORD)(r->style | (r->w->isVisibleTo(r->w->parentWidget()) ? 0 : 0));
    case GWL_EXSTYLE: return (LONG_PTR)r->exStyle;
    case GWL_ID: return (LONG_PTR)r->id;
    case GWL_USERDATA: return r->userData;
    case GWL_WNDPROC: return (LONG_PTR)r->proc;
  }
  return 0;
}

LONG_PTR SetWindowLongPtr(HWND hWnd, int nIndex, LONG_PTR v) {
  AfxWndRec* r = AfxRec(hWnd);
  if (!r) return 0;
  LONG_PTR old = GetWindowLongPtr(hWnd, nIndex);
  switch (nIndex) {
    case GWL_STYLE: {
      STYLESTRUCT ss{r->style, (DWORD)v};
      ::SendMessage(hWnd, WM_STYLECHANGED, (WPARAM)GWL_STYLE, (LPARAM)&ss);
      if (!(r = AfxRec(hWnd))) return old;
      DWORD vis = r->style & WS_VISIBLE;
      r->style = ((DWORD)v & ~WS_VISIBLE) | vis;
      r->enabled = !(r->style & WS_DISABLED);
      break;
    }
    case GWL_EXSTYLE: r->exStyle = (DWORD)v; break;
    case GWL_ID: r->id = (UINT)v; break;
    case GWL_USERDATA: r->userData = v; break;
    case GWL_WNDPROC: r->proc = reinterpret_cast<WNDPROC>(v); break;
  }
  return old;
}

int GetWindowText(HWND hWnd, LPTSTR lpString, int nMaxCount) {
  if (!lpString || nMaxCount <= 0) return 0;
  return (int)::SendMessage(hWnd, WM_GETTEXT, (WPARAM)nMaxCount, (LPARAM)lpString);
}
int GetWindowTextLength(HWND hWnd) { return (int)::SendMessage(hWnd, WM_GETTEXTLENGTH, 0, 0); }
BOOL SetWindowText(HWND hWnd, LPCTSTR lpString) { return (BOOL)::SendMessage(hWnd, WM_SETTEXT, 0, (LPARAM)lpString); }
int GetClassName(HWND hWnd, LPTSTR lpClassName, int nMaxCount) {
  AfxWndRec* r = AfxRec(hWnd);
  if (!r || nMaxCount <= 0) return 0;
  std::snprintf(lpClassName, nMaxCount, "%s", r->cls.c_str());
  return (int)std::strlen(lpClassName);
}

// ======================================================================================
// Geometry
// ======================================================================================
static QRect windowRectInParent(const AfxWndRec* r) {
  QPoint pos = r->w->pos();
  if (r->style & WS_CHILD) {
    if (AfxWndRec* p = AfxRec(r->parent)) {
      QMargins m = AfxNonClientMargins(p);
      pos -= QPoint(m.left(), m.top());
    }
  } else if (hasNativeFrame(r)) {
    return wholeRect(r);
  }
  return QRect(pos, r->w->size());
}

BOOL GetWindowRect(HWND hWnd, LPRECT lpRect) {
  AfxWndRec* r = AfxRec(hWnd);
  if (!r || !lpRect) return FALSE;
  const QRect g = wholeRect(r);
  SetRect(lpRect, g.left(), g.top(), g.left() + g.width(), g.top() + g.height());
  return TRUE;
}

BOOL GetClientRect(HWND hWnd, LPRECT lpRect) {
  AfxWndRec* r = AfxRec(hWnd);
  if (!r || !lpRect) return FALSE;
  QSize s = clientSize(r);
  SetRect(lpRect, 0, 0, s.width(), s.height());
  return TRUE;
}

BOOL ClientToScreen(HWND hWnd, LPPOINT p) {
  AfxWndRec* r = AfxRec(hWnd);
  if (!r || !p) return FALSE;
  QPoint o = AfxClientOriginOnScreen(r);
  p->x += o.x();
  p->y += o.y();
  return TRUE;
}

BOOL ScreenToClient(HWND hWnd, LPPOINT p) {
  AfxWndRec* r = AfxRec(hWnd);
  if (!r || !p) return FALSE;
  QPoint o = AfxClientOriginOnScreen(r);
  p->x -= o.x();
  p->y -= o.y();
  return TRUE;
}

int MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints) {
  QPoint a, b;
  if (AfxWndRec* r = AfxRec(hWndFrom)) a = AfxClientOriginOnScreen(r);
  if (AfxWndRec* r = AfxRec(hWndTo)) b = AfxClientOriginOnScreen(r);
  QPoint d = a - b;
  for (UINT i = 0; i < cPoints; ++i) {
    lpPoints[i].x += d.x();
    lpPoints[i].y += d.y();
  }
  return MAKELONG((WORD)(short)d.x(), (WORD)(short)d.y());
}

BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT uFlags) {
  AfxWndRec* r = AfxRec(hWnd);
  if (!r) return FALSE;
  QRect cur = windowRectInParent(r);
  WINDOWPOS wp{hWnd, hWndInsertAfter, x, y, cx, cy, uFlags};
  if (uFlags & SWP_NOMOVE) {
    wp.x = cur.x();
    wp.y = cur.y();
  }
  if (uFlags & SWP_NOSIZE) {
    wp.cx = cur.width();
    wp.cy = cur.height();
  }
  if (!(uFlags & SWP_NOSENDCHANGING)) ::SendMessage(hWnd, WM_WINDOWPOSCHANGING, 0, (LPARAM)&wp);
  if (!(r = AfxRec(hWnd))) return FALSE;
  clampGeometry(r, wp.x, wp.y, wp.cx, wp.cy);
  if (!(r->style & WS_CHILD) && (r->style & WS_VISIBLE)) {
    const QPoint on = onSomeScreen(r, QRect(wp.x, wp.y, wp.cx, wp.cy));
    wp.x = on.x();
    wp.y = on.y();
  }
  bool moved = false, sized = false;
  if (!(wp.flags & SWP_NOMOVE) && (wp.x != cur.x() || wp.y != cur.y())) {
    r->reportedPos = QPoint(wp.x, wp.y);  // before: the window system may confirm it at once or later
    if (hasNativeFrame(r))
      r->w->move(QPoint(wp.x, wp.y));
    else
      r->w->move(widgetPosFor(r, wp.x, wp.y));
    moved = true;
  }
  if (!(wp.flags & SWP_NOSIZE) && (wp.cx != cur.width() || wp.cy != cur.height())) {
    const QMargins m = hasNativeFrame(r) ? AfxWindowManagerExtents(r) : QMargins();
    r->w->resize(std::max(0, wp.cx - m.left() - m.right()), std::max(0, wp.cy - m.top() - m.bottom()));
    resizeBacking(r);
    sized = true;
  }
  if (hasNativeFrame(r) && (moved || sized)) {
    r->wantWhole = QRect(wp.x, wp.y, wp.cx, wp.cy);
    r->extentsUsed = AfxWindowManagerExtents(r);
  }
  if (!(wp.flags & SWP_NOZORDER) && !(wp.flags & SWP_NOACTIVATE && wp.hwndInsertAfter == HWND_TOP && false)) {
    if (wp.hwndInsertAfter == HWND_TOP || wp.hwndInsertAfter == HWND_TOPMOST)
      raiseTop(hWnd);
    else if (wp.hwndInsertAfter == HWND_BOTTOM) {
      if (windowSystemPresent() || (r->style & WS_CHILD)) r->w->lower();
      std::vector<HWND>* sib = &g_topLevels;
      if (r->style & WS_CHILD) sib = &AfxRec(r->parent)->children;
      sib->erase(std::remove(sib->begin(), sib->end(), hWnd), sib->end());
      sib->insert(sib->begin(), hWnd);
    } else if (wp.hwndInsertAfter != HWND_NOTOPMOST && wp.hwndInsertAfter != hWnd) {
      placeBehind(hWnd, wp.hwndInsertAfter);
    }
  }
  if (wp.flags & SWP_FRAMECHANGED) {
    resizeBacking(r);
    r->w->update();
  }
  if (wp.flags & SWP_SHOWWINDOW) ::ShowWindow(hWnd, (wp.flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
  if (wp.flags & SWP_HIDEWINDOW) ::ShowWindow(hWnd, SW_HIDE);
  if (!(r = AfxRec(hWnd))) return TRUE;
  if (moved || sized || (wp.flags & (SWP_FRAMECHANGED | SWP_SHOWWINDOW | SWP_HIDEWINDOW))) {
    WINDOWPOS done = wp;
    if (!moved) done.flags |= SWP_NOMOVE;
    if (!sized) done.flags |= SWP_NOSIZE;
    ::SendMessage(hWnd, WM_WINDOWPOSCHANGED, 0, (LPARAM)&done);
  }
  if ((r = AfxRec(hWnd)) && sized && !(uFlags & SWP_NOREDRAW)) scheduleRepaint(r);
  return TRUE;
}

BOOL MoveWindow(HWND hWnd, int x, int y, int cx, int cy, BOOL bRepaint) {
  return SetWindowPos(hWnd, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE | (bRepaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND hWnd) {
  raiseTop(hWnd);
  return TRUE;
}

BOOL ShowWindow(HWND hWnd, int nCmdShow) {
  AfxWndRec* r = AfxRec(hWnd);
  if (!r) return FALSE;
  BOOL wasVisible = (r->style & WS_VISIBLE) != 0;
  bool show = nCmdShow != SW_HIDE;
  if (nCmdShow == SW_MINIMIZE || nCmdShow == SW_SHOWMINIMIZED || nCmdShow == SW_SHOWMINNOACTIVE)
    r->style |= WS_MINIMIZE;
  else if (show)
    r->style &= ~WS_MINIMIZE;
  if (nCmdShow == SW_SHOWMAXIMIZED)
    r->style |= WS_MAXIMIZE;
  else if (nCmdShow == SW_RESTORE || nCmdShow == SW_SHOWNORMAL)
    r->style &= ~WS_MAXIMIZE;
  if (show != (wasVisible != 0)) {
    ::SendMessage(hWnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    if (!(r = AfxRec(hWnd))) return wasVisible;
    if (show)
      r->style |= WS_VISIBLE;
    else
      r->style &= ~WS_VISIBLE;
    if (show && !(r->style & WS_CHILD)) {
      const QRect whole = wholeRect(r);
      if (const QPoint on = onSomeScreen(r, whole); on != whole.topLeft()) {
        r->w->move(hasNativeFrame(r) ? on : widgetPosFor(r, on.x(), on.y()));
        if (hasNativeFrame(r)) r->wantWhole.moveTopLeft(on);
      }
    }
    if (show) {
      r->w->show();
      if (!(r->style & WS_CHILD)) {
        raiseTop(hWnd);
        AfxUpdateInputShape(hWnd);
        if (!(r = AfxRec(hWnd))) return wasVisible;
      }
    } else {
      r->w->hide();
      if (g_focus && (g_focus == hWnd || IsChild(hWnd, g_focus))) ::SetFocus(nullptr);
    }
    WINDOWPOS wp{hWnd,
                 nullptr,
                 0,
                 0,
                 0,
                 0,
                 (UINT)(SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW))};
    ::SendMessage(hWnd, WM_WINDOWPOSCHANGED, 0, (LPARAM)&wp);
  }
  if ((r = AfxRec(hWnd)) && show && !(r->style & WS_CHILD) && nCmdShow != SW_SHOWNA && nCmdShow != SW_SHOWNOACTIVATE &&
      nCmdShow != SW_SHOWMINNOACTIVE && !(r->exStyle & WS_EX_NOACTIVATE)) {
    SetActiveWindow(hWnd);
  }
  return wasVisible;
}

// ======================================================================================
// Painting
// ======================================================================================
BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
  AfxWndRec* r = AfxRec(hWnd);
  if (!r) return FALSE;
  QRect all(QPoint(0, 0), clientSize(r));
  QRect rc =
      lpRect ? QRect(QPoint(lpRect->left, lpRect->top), QPoint(lpRect->right - 1, lpRect->bottom - 1)) & all : all;
  if (!rc.isEmpty()) {
    r->invalid += rc;
    if (bErase) r->erase = true;
    scheduleRepaint(r);
  }
  return TRUE;
}

BOOL InvalidateRgn(HWND hWnd, HRGN hRgn, BOOL bErase) {
  AfxWndRec* r = AfxRec(hWnd);
  if (!r) return FALSE;
  if (!hRgn) return InvalidateRect(hWnd, nullptr, bErase);
  auto* d = static_cast<AfxRgnData*>(AfxGdi(hRgn));
  r->invalid += d->rgn & QRegion(QRect(QPoint(0, 0), clientSize(r)));
  if (bErase) r->erase = true;
  scheduleRepaint(r);
  return TRUE;
}

BOOL ValidateRect(HWND hWnd, const RECT* lpRect) {
  AfxWndRec* r = AfxRec(hWnd);
  if (!r) return FALSE;
  if (!lpRect)
    r->invalid = QRegion();
  else
    r->invalid -= QRegion(QRect(QPoint(lpRect->left, lpRect->top), QPoint(lpRect->right - 1, lpRect->bottom - 1)));
  if (r->invalid.isEmpty()) r->erase = false;
  return TRUE;
}

BOOL GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL) {
  AfxWndRec* r = AfxRec(hWnd);
  if (!r) return FALSE;
  QRect b = r->invalid.boundingRect();
  if (lpRect) {
    if (b.isEmpty())
      SetRectEmpty(lpRect);
    else
      SetRect(lpRect, b.left(), b.top(), b.right() + 1, b.bottom() + 1);
  }
  return !b.isEmpty();
}

void AfxPaintNow(HWND h) {
  AfxWndRec* r = AfxRec(h);
  if (!r || r->painting || r->invalid.isEmpty()) return;
  r->painting = true;
  ::SendMessage(h, WM_PAINT, 0, 0);
  if ((r = AfxRec(h))) {
    r->painting = false;
    // A handler that did not call BeginPaint validates nothing; the default does it here.
    r->invalid = QRegion();
    r->erase = false;
  }
}

BOOL UpdateWindow(HWND hWnd) {
  AfxWndRec* r = AfxRec(hWnd);
  if (!r) return FALSE;
  if (!r->invalid.isEmpty()) {
    AfxPaintNow(hWnd);
    if ((r = AfxRec(hWnd))) r->w->update();
  }
  return TRUE;
}

BOOL RedrawWindow(HWND hWnd, const RECT* lprcUpdate, HRGN hrgnUpdate, UINT flags) {
  AfxWndRec* r = AfxRec(hWnd);
  if (!r) return FALSE;
  if (flags & RDW_INVALIDATE) {
    if (hrgnUpdate)
      InvalidateRgn(hWnd, hrgnUpdate, (flags & RDW_ERASE) != 0);
    else
      InvalidateRect(hWnd, lprcUpdate, (flags & RDW_ERASE) != 0);
    if (flags & RDW_ALLCHILDREN) {
      for (HWND c : std::vector<HWND>(r->children)) RedrawWindow(c, nullptr, nullptr, flags & ~RDW_UPDATENOW);
    }
  }
  if (flags & RDW_VALIDATE) ValidateRect(hWnd, lprcUpdate);
  if (flags & RDW_FRAME)
    if ((r = AfxRec(hWnd))) r->w->update();
  if (flags & RDW_UPDATENOW) {
    UpdateWindow(hWnd);
    if ((r = AfxRec(hWnd)) && (flags & RDW_ALLCHILDREN))
      for (HWND c : std::vector<HWND>(r->children)) UpdateWindow(c);
  }
  return TRUE;
}

BOOL ScrollWindow(HWND hWnd, int dx, int dy, const RECT* lpRect, const RECT*) {
  AfxWndRec* r = AfxRec(hWnd);
  if (!r) return FALSE;
  QImage& pixels = AfxBacking(r);
  QImage old = pixels.copy();
  QRect area =
      lpRect ? QRect(QPoint(lpRect->left, lpRect->top), QPoint(lpRect->right - 1, lpRect->bottom - 1)) : pixels.rect();
  {
    QPainter p(&pixels);
    p.setClipRect(area);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(dx, dy, old);
  }
  QRegion exposed(area);
  exposed -= QRegion(area.translated(dx, dy));
  r->invalid.translate(dx, dy);
  r->invalid += exposed;
  r->erase = true;
  if (!lpRect) {
    for (HWND c : r->children) {
      if (AfxWndRec* cr = AfxRec(c)) cr->w->move(cr->w->pos() + QPoint(dx, dy));
    }
  }
  scheduleRepaint(r);
  return TRUE;
}

// ======================================================================================
// Timers
// ======================================================================================
UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
  AfxWndRec* r = AfxRec(hWnd);
  if (!r) return 0;
  auto it = r->timers.find(nIDEvent);
  if (it != r->timers.end()) r->w->killTimer(it->second.qtId);
  AfxTimer t;
  t.proc = lpTimerFunc;
  t.qtId = r->w->startTimer(std::max<UINT>(uElapse, 10));
  if (!t.qtId) return 0;
  r->timers[nIDEvent] = t;
  return nIDEvent ? nIDEvent : 1;
}

BOOL KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
  AfxWndRec* r = AfxRec(hWnd);
  if (!r) return FALSE;
  auto it = r->timers.find(uIDEvent);
  if (it == r->timers.end()) return FALSE;
  r->w->killTimer(it->second.qtId);
  r->timers.erase(it);
  return TRUE;
}

// ======================================================================================
// Keyboard state, cursor, misc
// ======================================================================================
SHORT GetKeyState(int nVirtKey) {
  if (nVirtKey < 0 || nVirtKey > 255) return 0;
  BYTE k = g_keys[nVirtKey];
  return (SHORT)(((k & 0x80) ? 0x8000 : 0) | (k & 1));
}
SHORT GetAsyncKeyState(int vKey) { return GetKeyState(vKey) & (SHORT)0x8000; }

BOOL GetCursorPos(LPPOINT lpPoint) {
  if (!lpPoint) return FALSE;
  *lpPoint = g_cursor;
  // Our windows see every move over them; outside them only the window system knows.
  if (windowSystemPresent() && QCoreApplication::instance()) {
    QPoint q = QCursor::pos();
    POINT p{q.x(), q.y()};
    HWND over = WindowFromPoint(p);
    if (!over) *lpPoint = p;
  }
  return TRUE;
}
BOOL SetCursorPos(int x, int y) {
  g_cursor = POINT{x, y};
  return TRUE;
}

namespace {
struct CursorRec {
  Qt::CursorShape shape;
};
}  // namespace

HCURSOR LoadCursor(HINSTANCE hInstance, LPCTSTR lpCursorName) {
  // The program's cursors come from its resources (Icons.cpp).
  if (hInstance) return AfxLoadCursorResource(lpCursorName);
  // System cursors are their ids as handles; the shape is chosen when set.
  uintptr_t id = (uintptr_t)lpCursorName;
  if (!IS_INTRESOURCE(lpCursorName)) return nullptr;
  return reinterpret_cast<HCURSOR>(id);
}

static Qt::CursorShape shapeOf(HCURSOR h) {
  switch ((uintptr_t)h) {
    case 32513: return Qt::IBeamCursor;
    case 32514: return Qt::WaitCursor;
    case 32515: return Qt::CrossCursor;
    case 32516: return Qt::UpArrowCursor;
    case 32642: return Qt::SizeFDiagCursor;
    case 32643: return Qt::SizeBDiagCursor;
    case 32644: return Qt::SizeHorCursor;
    case 32645: return Qt::SizeVerCursor;
    case 32646: return Qt::SizeAllCursor;
    case 32648: return Qt::ForbiddenCursor;
    case 32649: return Qt::PointingHandCursor;
    case 32650: return Qt::BusyCursor;
    case 32651: return Qt::WhatsThisCursor;
  }
  return Qt::ArrowCursor;
}

static int g_waitCount = 0;

HCURSOR SetCursor(HCURSOR hCursor) {
  HCURSOR old = g_cursorCurrent;
  g_cursorCurrent = hCursor;
  if (g_waitCount > 0) return old;
  HWND h = WindowFromPoint(g_cursor);
  if (g_capture) h = g_capture;
  if (AfxWndRec* r = AfxRec(h)) {
    QCursor own;
    r->w->setCursor(AfxQCursorOf(hCursor, &own) ? own : QCursor(shapeOf(hCursor)));
  }
  return old;
}
HCURSOR GetCursor() { return g_cursorCurrent; }
int ShowCursor(BOOL bShow) { return bShow ? ++g_cursorShow : --g_cursorShow; }
BOOL MessageBeep(UINT) {
  QApplication::beep();
  return TRUE;
}
UINT GetDoubleClickTime() { return (UINT)QGuiApplication::styleHints()->mouseDoubleClickInterval(); }

UINT MapVirtualKey(UINT uCode, UINT uMapType) {
  if (uMapType == MAPVK_VK_TO_CHAR) {
    if ((uCode >= '0' && uCode <= '9') || (uCode >= 'A' && uCode <= 'Z')) return uCode;
    if (uCode == VK_SPACE) return ' ';
    if (uCode >= VK_NUMPAD0 && uCode <= VK_NUMPAD9) return '0' + (uCode - VK_NUMPAD0);
    switch (uCode) {
      case VK_OEM_PLUS: return '=';
      case VK_OEM_COMMA: return ',';
      case VK_OEM_MINUS: return '-';
      case VK_OEM_PERIOD: return '.';
      case VK_OEM_1: return ';';
      case VK_OEM_2: return '/';
      case VK_OEM_3: return '`';
      case VK_OEM_4: return '[';
      case VK_OEM_5: return '\\';
      case VK_OEM_6: return ']';
      case VK_OEM_7: return '\'';
      case VK_MULTIPLY: return '*';
      case VK_ADD: return '+';
      case VK_SUBTRACT: return '-';
      case VK_DIVIDE: return '/';
      case VK_DECIMAL: return '.';
      case VK_BACK: return 8;
      case VK_TAB: return 9;
      case VK_RETURN: return 13;
      case VK_ESCAPE: return 27;
    }
    return 0;
  }
  return uCode;
}

void AfxBeginWaitCursorShape() {
  if (g_waitCount++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
}
void AfxEndWaitCursorShape() {
  if (g_waitCount > 0 && --g_waitCount == 0) QApplication::restoreOverrideCursor();
}

BOOL TrackMouseEvent(LPTRACKMOUSEEVENT e) {
  if (!e) return FALSE;
  AfxWndRec* r = AfxRec(e->hwndTrack);
  if (!r) return FALSE;
  if (e->dwFlags & TME_CANCEL) {
    if (e->dwFlags & TME_LEAVE) r->trackLeave = false;
    return TRUE;
  }
  if (e->dwFlags & TME_LEAVE) {
    // A window the pointer is not over gets its WM_MOUSELEAVE at once, as on the platform.
    if (WindowFromPoint(g_cursor) != e->hwndTrack && g_capture != e->hwndTrack) {
      ::PostMessage(e->hwndTrack, WM_MOUSELEAVE, 0, 0);
      r->trackLeave = false;
    } else {
      r->trackLeave = true;
    }
  }
  return TRUE;
}

// ---- Window scroll bars (drawn and tracked in ScrollBars.cpp) ----
static AfxScrollState* sbState(HWND h, int nBar) {
  AfxWndRec* r = AfxRec(h);
  if (!r || (nBar != SB_HORZ && nBar != SB_VERT)) return nullptr;
  return &r->sb[nBar];
}

int SetScrollInfo(HWND hWnd, int nBar, const SCROLLINFO* si, BOOL bRedraw) {
  if (nBar == SB_CTL) return (int)::SendMessage(hWnd, SBM_SETSCROLLINFO, (WPARAM)bRedraw, (LPARAM)si);
  AfxScrollState* s = sbState(hWnd, nBar);
  if (!s || !si) return 0;
  if (bRedraw) AfxRec(hWnd)->w->update();
  if (si->fMask & SIF_RANGE) {
    s->si.nMin = si->nMin;
    s->si.nMax = si->nMax;
  }
  if (si->fMask & SIF_PAGE) s->si.nPage = si->nPage;
  if (si->fMask & SIF_POS) s->si.nPos = si->nPos;
  if (si->fMask & SIF_TRACKPOS) s->si.nTrackPos = si->nTrackPos;
  int maxPos = s->si.nMax - std::max<int>(0, (int)s->si.nPage - 1);
  s->si.nPos = std::max(s->si.nMin, std::min(s->si.nPos, std::max(s->si.nMin, maxPos)));
  return s->si.nPos;
}

BOOL GetScrollInfo(HWND hWnd, int nBar, LPSCROLLINFO si) {
  if (nBar == SB_CTL) return (BOOL)::SendMessage(hWnd, SBM_GETSCROLLINFO, 0, (LPARAM)si);
  AfxScrollState* s = sbState(hWnd, nBar);
  if (!s || !si) return FALSE;
  UINT mask = si->fMask;
  if (mask & SIF_RANGE) {
    si->nMin = s->si.nMin;
    si->nMax = s->si.nMax;
  }
  if (mask & SIF_PAGE) si->nPage = s->si.nPage;
  if (mask & SIF_POS) si->nPos = s->si.nPos;
  if (mask & SIF_TRACKPOS) si->nTrackPos = s->si.nTrackPos;
  return TRUE;
}

int SetScrollPos(HWND hWnd, int nBar, int nPos, BOOL bRedraw) {
  if (nBar == SB_CTL) return (int)::SendMessage(hWnd, SBM_SETPOS, (WPARAM)nPos, bRedraw);
  AfxScrollState* s = sbState(hWnd, nBar);
  if (!s) return 0;
  int old = s->si.nPos;
  SCROLLINFO si{sizeof(si), SIF_POS, 0, 0, 0, nPos, 0};
  SetScrollInfo(hWnd, nBar, &si, bRedraw);
  return old;
}
int GetScrollPos(HWND hWnd, int nBar) {
  if (nBar == SB_CTL) return (int)::SendMessage(hWnd, SBM_GETPOS, 0, 0);
  AfxScrollState* s = sbState(hWnd, nBar);
  return s ? s->si.nPos : 0;
}
BOOL SetScrollRange(HWND hWnd, int nBar, int nMinPos, int nMaxPos, BOOL bRedraw) {
  SCROLLINFO si{sizeof(si), SIF_RANGE, nMinPos, nMaxPos, 0, 0, 0};
  return SetScrollInfo(hWnd, nBar, &si, bRedraw) >= 0;
}
BOOL GetScrollRange(HWND hWnd, int nBar, LPINT lpMinPos, LPINT lpMaxPos) {
  if (nBar == SB_CTL) return (BOOL)::SendMessage(hWnd, SBM_GETRANGE, (WPARAM)lpMinPos, (LPARAM)lpMaxPos);
  AfxScrollState* s = sbState(hWnd, nBar);
  if (!s) return FALSE;
  if (lpMinPos) *lpMinPos = s->si.nMin;
  if (lpMaxPos) *lpMaxPos = s->si.nMax;
  return TRUE;
}
BOOL ShowScrollBar(HWND hWnd, int wBar, BOOL bShow) {
  AfxWndRec* r = AfxRec(hWnd);
  if (!r) return FALSE;
  if (wBar == SB_CTL) {
    ::ShowWindow(hWnd, bShow ? SW_SHOW : SW_HIDE);
    return TRUE;
  }
  if (wBar == SB_HORZ || wBar == SB_BOTH) r->sb[SB_HORZ].visible = bShow != 0;
  if (wBar == SB_VERT || wBar == SB_BOTH) r->sb[SB_VERT].visible = bShow != 0;
  resizeBacking(r);
  r->w->update();
  return TRUE;
}

// ======================================================================================
// Input translation
// ======================================================================================
static UINT vkFromQt(int key, Qt::KeyboardModifiers mods) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return (UINT)('A' + (key - Qt::Key_A));
  if (key >= Qt::Key_0 && key <= Qt::Key_9) {
    if (mods & Qt::KeypadModifier) return VK_NUMPAD0 + (key - Qt::Key_0);
    return (UINT)('0' + (key - Qt::Key_0));
  }
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return VK_F1 + (key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Clear: return VK_CLEAR;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt:
    case Qt::Key_AltGr: return VK_MENU;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_CapsLock: return VK_CAPITAL;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Select: return VK_SELECT;
    case Qt::Key_Print: return VK_SNAPSHOT;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Help: return VK_HELP;
    case Qt::Key_Meta:
    case Qt::Key_Super_L: return VK_LWIN;
    case Qt::Key_Super_R: return VK_RWIN;
    case Qt::Key_Menu: return VK_APPS;
    case Qt::Key_NumLock: return VK_NUMLOCK;
    case Qt::Key_ScrollLock: return VK_SCROLL;
    case Qt::Key_Asterisk: return VK_MULTIPLY;
    case Qt::Key_Plus: return (mods & Qt::KeypadModifier) ? VK_ADD : VK_OEM_PLUS;
    case Qt::Key_Equal: return VK_OEM_PLUS;
    case Qt::Key_Comma: return VK_OEM_COMMA;
    case Qt::Key_Minus: return (mods & Qt::KeypadModifier) ? VK_SUBTRACT : VK_OEM_MINUS;
    case Qt::Key_Period: return (mods & Qt::KeypadModifier) ? VK_DECIMAL : VK_OEM_PERIOD;
    case Qt::Key_Slash: return (mods & Qt::KeypadModifier) ? VK_DIVIDE : VK_OEM_2;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon: return VK_OEM_1;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde: return VK_OEM_3;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft: return VK_OEM_4;
    case Qt::Key_Backslash:
    case Qt::Key_Bar: return VK_OEM_5;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight: return VK_OEM_6;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl: return VK_OEM_7;
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_AsciiCircum: return '6';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_ParenLeft: return '9';
    case Qt::Key_ParenRight: return '0';
    case Qt::Key_Underscore: return VK_OEM_MINUS;
    case Qt::Key_Less: return VK_OEM_COMMA;
    case Qt::Key_Greater: return VK_OEM_PERIOD;
    case Qt::Key_Question: return VK_OEM_2;
  }
  return 0;
}

static bool isExtendedKey(UINT vk) {
  return (vk >= VK_PRIOR && vk <= VK_HELP) || vk == VK_DIVIDE || vk == VK_NUMLOCK || vk == VK_LWIN || vk == VK_RWIN ||
         vk == VK_APPS;
}

static void syncModifiers(Qt::KeyboardModifiers m) {
  auto set = [](int vk, bool down) {
    if (down)
      g_keys[vk] |= 0x80;
    else
      g_keys[vk] &= ~0x80;
  };
  set(VK_SHIFT, m & Qt::ShiftModifier);
  set(VK_CONTROL, g_altGr || (m & Qt::ControlModifier));
  set(VK_MENU, g_altGr || (m & Qt::AltModifier));
}

static void syncButtons(Qt::MouseButtons b) {
  auto set = [](int vk, bool down) {
    if (down)
      g_keys[vk] |= 0x80;
    else
      g_keys[vk] &= ~0x80;
  };
  set(VK_LBUTTON, b & Qt::LeftButton);
  set(VK_RBUTTON, b & Qt::RightButton);
  set(VK_MBUTTON, b & Qt::MiddleButton);
}

static WPARAM mouseKeys() {
  WPARAM k = 0;
  if (g_keys[VK_LBUTTON] & 0x80) k |= MK_LBUTTON;
  if (g_keys[VK_RBUTTON] & 0x80) k |= MK_RBUTTON;
  if (g_keys[VK_MBUTTON] & 0x80) k |= MK_MBUTTON;
  if (g_keys[VK_SHIFT] & 0x80) k |= MK_SHIFT;
  if (g_keys[VK_CONTROL] & 0x80) k |= MK_CONTROL;
  return k;
}

static HWND s_lastMoveWnd = nullptr;

static void noteMouseOver(HWND target) {
  // Windows that asked for WM_MOUSELEAVE get it once the pointer is over another window.
  if (s_lastMoveWnd && s_lastMoveWnd != target) {
    if (AfxWndRec* old = AfxRec(s_lastMoveWnd); old && old->trackLeave && g_capture != s_lastMoveWnd) {
      old->trackLeave = false;
      ::PostMessage(s_lastMoveWnd, WM_MOUSELEAVE, 0, 0);
    }
  }
  s_lastMoveWnd = target;
}

// Sends one mouse event of a widget as the window's message, honouring capture.
static void translateMouse(NeapWidget* w, QMouseEvent* me, QEvent::Type type) {
  AfxWndRec* r = AfxRec(w->m_h);
  if (!r) return;
  QPoint global = me->globalPosition().toPoint();
  g_cursor = POINT{global.x(), global.y()};
  syncModifiers(me->modifiers());
  syncButtons(me->buttons());
  if (type != QEvent::MouseMove) g_altTap = false;  // Alt+click is no Alt tap
  HWND target = r->h;
  if (g_capture && AfxRec(g_capture))
    target = g_capture;
  else if (g_trackGrab && g_trackGrab == r->h) {
    // The menu's grab brings every event here: each still goes to the program window under the
    // point, and one over another program only to the mouse hooks, with no window.
    target = ::WindowFromPoint(g_cursor);
    if (!target) {
      UINT hookMsg = type == QEvent::MouseMove            ? WM_NCMOUSEMOVE
                     : type == QEvent::MouseButtonRelease ? (me->button() == Qt::RightButton    ? WM_NCRBUTTONUP
                                                             : me->button() == Qt::MiddleButton ? WM_NCMBUTTONUP
                                                                                                : WM_NCLBUTTONUP)
                                                          : (me->button() == Qt::RightButton    ? WM_NCRBUTTONDOWN
                                                             : me->button() == Qt::MiddleButton ? WM_NCMBUTTONDOWN
                                                                                                : WM_NCLBUTTONDOWN);
      MSG mm{nullptr, hookMsg, (WPARAM)HTNOWHERE, MAKELPARAM(global.x(), global.y()), 0, g_cursor};
      AfxPumpMessage(mm);
      return;
    }
    r = AfxRec(target);
    if (!r) return;
  }
  // A disabled window's input goes nowhere; a press on it brings up the window it waits for.
  if (inputRefused(target)) {
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
      HWND top = GetAncestor(target, GA_ROOT);
      for (AfxWndRec* t = AfxRec(top); t && (t->exStyle & WS_EX_NOACTIVATE) && t->owner; t = AfxRec(t->owner))
        top = t->owner;
      if (HWND modal = modalWindowOf(top)) {
        raiseTop(modal);
        SetActiveWindow(modal);
      }
    }
    return;
  }
  AfxWndRec* tr = AfxRec(target);
  if (!tr) return;
  QPoint client = global - AfxClientOriginOnScreen(tr);
  QMargins m = AfxNonClientMargins(tr);
  QSize cs = clientSize(tr);
  bool inClient = QRect(QPoint(0, 0), cs).contains(client) || g_capture == target;
  UINT msg = 0;
  Qt::MouseButton b = me->button();
  if (type == QEvent::MouseMove)
    msg = WM_MOUSEMOVE;
  else if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
    bool dbl = type == QEvent::MouseButtonDblClick && (tr->clsStyle & CS_DBLCLKS);
    if (b == Qt::LeftButton)
      msg = dbl ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
    else if (b == Qt::RightButton)
      msg = dbl ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN;
    else if (b == Qt::MiddleButton)
      msg = dbl ? WM_MBUTTONDBLCLK : WM_MBUTTONDOWN;
  } else if (type == QEvent::MouseButtonRelease) {
    if (b == Qt::LeftButton)
      msg = WM_LBUTTONUP;
    else if (b == Qt::RightButton)
      msg = WM_RBUTTONUP;
    else if (b == Qt::MiddleButton)
      msg = WM_MBUTTONUP;
  }
  if (!msg) return;
  if (msg == WM_MOUSEMOVE) noteMouseOver(target);
  (void)m;
  if (!inClient) {
    // Non-client: the window's hit test decides which non-client message it is.
    LRESULT ht = ::SendMessage(target, WM_NCHITTEST, 0, MAKELPARAM(global.x(), global.y()));
    if (!AfxRec(target)) return;
    if (ht != HTCLIENT) {
      UINT nc = msg - WM_MOUSEMOVE + WM_NCMOUSEMOVE;
      MSG mm{target, nc, (WPARAM)ht, MAKELPARAM(global.x(), global.y()), 0, g_cursor};
      AfxPumpMessage(mm);
      return;
    }
  }
  // Activation and the cursor come first, as on the platform.
  if (msg != WM_MOUSEMOVE && msg != WM_LBUTTONUP && msg != WM_RBUTTONUP && msg != WM_MBUTTONUP && !g_capture) {
    HWND top = GetAncestor(target, GA_ROOT);
    AfxWndRec* topRec = AfxRec(top);
    if (topRec && top != g_active && !(topRec->exStyle & WS_EX_NOACTIVATE)) {
      LRESULT ma = ::SendMessage(target, WM_MOUSEACTIVATE, (WPARAM)top, MAKELPARAM(HTCLIENT, msg));
      if (ma == MA_ACTIVATE || ma == MA_ACTIVATEANDEAT) SetActiveWindow(top);
      if (ma == MA_ACTIVATEANDEAT || ma == MA_NOACTIVATEANDEAT) return;
      if (!AfxRec(target)) return;
    }
  }
  if (!g_capture) {
    ::SendMessage(target, WM_SETCURSOR, (WPARAM)target, MAKELPARAM(HTCLIENT, msg));
    if (!AfxRec(target)) return;
  }
  MSG mm{target, msg, mouseKeys(), MAKELPARAM((WORD)(short)client.x(), (WORD)(short)client.y()), 0, g_cursor};
  AfxPumpMessage(mm);
}

static thread_local bool t_keyTranslated = false;
void AfxNoteKeyTranslated() { t_keyTranslated = true; }
bool AfxTakeKeyTranslated() {
  const bool was = t_keyTranslated;
  t_keyTranslated = false;
  return was;
}

static void translateKey(NeapWidget* w, QKeyEvent* ke, bool down) {
  UINT vk = vkFromQt(ke->key(), ke->modifiers());
  if (!vk && ke->text().isEmpty()) return;
  bool altGrKey = ke->key() == Qt::Key_AltGr;
  if (altGrKey) {
    g_altGr = down;
    if (!down) g_keys[VK_CONTROL] &= ~0x80;
  }
  bool repeat0 = ke->isAutoRepeat();
  if (down && !repeat0) {
    if (vk == VK_MENU && !altGrKey) {
      if (!(g_keys[VK_MENU] & 0x80)) g_altTap = true;
    } else {
      g_altTap = false;
    }
  }
  // Modifier state reflects the key itself as the platform reports it in the message.
  Qt::KeyboardModifiers mods = ke->modifiers();
  syncModifiers(mods);
  if (vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU) {
    if (down)
      g_keys[vk] |= 0x80;
    else
      g_keys[vk] &= ~0x80;
  }
  bool repeat = ke->isAutoRepeat();
  if (!down && repeat) return;  // the platform sends no key-ups for auto-repeat
  if (vk) {
    if (down) {
      if (!(g_keys[vk] & 0x80)) g_keys[vk] ^= 1;
      g_keys[vk] |= 0x80;
    } else {
      g_keys[vk] &= ~0x80;
    }
  }
  HWND target = g_focus && AfxRec(g_focus) ? g_focus : w->m_h;
  if (!AfxRec(target)) return;
  // No keys for a disabled window (the owner of a modal loop): no accelerators, no menus either.
  if (inputRefused(target)) {
    if (down) g_altTap = false;
    return;
  }
  bool alt = (g_keys[VK_MENU] & 0x80) != 0;
  bool ctrl = (g_keys[VK_CONTROL] & 0x80) != 0;
  bool sys = (alt && !ctrl) || vk == VK_F10 || (vk == VK_MENU && !altGrKey);
  UINT scan = (UINT)(ke->nativeScanCode() & 0xFF);
  LPARAM lp = 1 | (scan << 16);
  if (vk && isExtendedKey(vk)) lp |= (LPARAM)1 << 24;
  if (alt) lp |= (LPARAM)1 << 29;
  if (repeat || (down && false)) lp |= (LPARAM)1 << 30;
  if (!down) lp |= ((LPARAM)1 << 30) | ((LPARAM)1u << 31);
  if (vk) {
    UINT msg = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
    MSG m{target, msg, vk, (LPARAM)(DWORD)lp, 0, g_cursor};
    AfxTakeKeyTranslated();
    bool passed = AfxPumpMessage(m);
    if ((!down || !passed) && vk == VK_MENU) g_altTap = false;  // an Alt a hook took is no tap either
    if (!passed) return;                                        // a hook swallowed the key: no character either
    if (AfxTakeKeyTranslated()) return;  // an accelerator took it: no character, as on the platform
  }
  // Characters follow the key-down, as TranslateMessage makes them.
  if (down) {
    QString text = ke->text();
    if (!text.isEmpty() && AfxRec(target)) {
      QByteArray utf8 = text.toUtf8();
      for (QChar ch : text) {
        uint c = ch.unicode();
        if (c == 0) continue;
        if (ctrl && !alt && c >= 0x20 && c < 0x7F) continue;  // Qt already folds Ctrl+letter to control codes
        MSG m{target, sys && alt ? (UINT)WM_SYSCHAR : (UINT)WM_CHAR, (WPARAM)c, (LPARAM)(DWORD)lp, 0, g_cursor};
        if (!AfxRec(target)) break;
        AfxPumpMessage(m);
      }
      (void)utf8;
    }
  }
}

// Once the window manager has framed a window, its size is made again so that the whole window,
// decorations included, is the one asked for. A move or resize the window manager made (the
// user dragged it) becomes the one asked for.
static void fitToFrameExtents(AfxWndRec* r) {
  if (!hasNativeFrame(r) || !r->w->isVisible() || !r->w->windowHandle() || !AfxXcbConnection()) return;
  const QMargins now = r->w->windowHandle()->frameMargins();
  if (now.isNull() || now == r->extentsUsed || r->wantWhole.isEmpty()) {
    if (!now.isNull()) r->wantWhole = QRect(r->w->pos(), r->w->size().grownBy(now));
    return;
  }
  AfxWindowManagerExtents(r);  // remembers them for the windows that follow
  r->extentsUsed = now;
  const QRect want = r->wantWhole;
  const QSize client(std::max(0, want.width() - now.left() - now.right()),
                     std::max(0, want.height() - now.top() - now.bottom()));
  if (r->style & WS_MAXIMIZE) return;  // the window manager sizes a maximised window
  if (client != r->w->size()) r->w->resize(client);
  if (r->w->pos() != want.topLeft()) r->w->move(want.topLeft());
}

NeapWidget::NeapWidget(HWND h, QWidget* parent, Qt::WindowFlags f) : QWidget(parent, f), m_h(h) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setAttribute(Qt::WA_DontShowOnScreen, false);
  setFocusPolicy(Qt::NoFocus);
}

bool NeapWidget::event(QEvent* e) {
  if (!m_h) return QWidget::event(e);
  switch (e->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: translateMouse(this, static_cast<QMouseEvent*>(e), e->type()); return true;
    case QEvent::Wheel: {
      auto* we = static_cast<QWheelEvent*>(e);
      QPoint g = we->globalPosition().toPoint();
      g_cursor = POINT{g.x(), g.y()};
      syncModifiers(we->modifiers());
      int delta = we->angleDelta().y();
      if (delta == 0) return true;
      HWND target = g_capture && AfxRec(g_capture) ? g_capture : m_h;
      if (inputRefused(target)) return true;
      MSG m{target, WM_MOUSEWHEEL, MAKEWPARAM(mouseKeys(), (WORD)(short)delta), MAKELPARAM(g.x(), g.y()), 0, g_cursor};
      AfxPumpMessage(m);
      return true;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
      if (e->type() != QEvent::ShortcutOverride)
        translateKey(this, static_cast<QKeyEvent*>(e), e->type() == QEvent::KeyPress);
      e->accept();
      return true;
    case QEvent::Leave: {
      AfxWndRec* r = AfxRec(m_h);
      if (r && r->trackLeave && g_capture != m_h) {
        r->trackLeave = false;
        ::PostMessage(m_h, WM_MOUSELEAVE, 0, 0);
      }
      return true;
    }
    case QEvent::Timer: {
      int qid = static_cast<QTimerEvent*>(e)->timerId();
      AfxWndRec* r = AfxRec(m_h);
      if (!r) return true;
      for (auto& t : r->timers) {
        if (t.second.qtId == qid) {
          MSG m{m_h, WM_TIMER, t.first, (LPARAM)t.second.proc, 0, g_cursor};
          AfxPumpMessage(m);
          break;
        }
      }
      return true;
    }
    case QEvent::Close: {
      e->ignore();
      // The window manager's close button or Alt+F4 on a window a modal loop has disabled.
      if (inputRefused(m_h)) {
        if (HWND modal = modalWindowOf(m_h)) SetActiveWindow(modal);
        return true;
      }
      MSG m{m_h, WM_SYSCOMMAND, SC_CLOSE, 0, 0, g_cursor};
      AfxPumpMessage(m);
      return true;
    }
    case QEvent::WinIdChange:
      if (AfxWndRec* r = AfxRec(m_h); r && !(r->style & WS_CHILD) && internalWinId()) AfxNativeWindowMade(r);
      return QWidget::event(e);
    case QEvent::Resize: {
      // A top-level window resized by the window manager.
      AfxWndRec* r = AfxRec(m_h);
      if (r && !(r->style & WS_CHILD)) fitToFrameExtents(r);
      if (r && !(r->style & WS_CHILD) && clientSize(r) != r->backingSize) {
        resizeBacking(r);
        QRect g = windowRectInParent(r);
        WINDOWPOS wp{m_h, nullptr, g.x(), g.y(), g.width(), g.height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE};
        ::SendMessage(m_h, WM_WINDOWPOSCHANGED, 0, (LPARAM)&wp);
      }
      return QWidget::event(e);
    }
    case QEvent::Move: {
      // A top-level window moved by the window manager (our own moves are reported already).
      AfxWndRec* r = AfxRec(m_h);
      if (r && !(r->style & WS_CHILD)) fitToFrameExtents(r);
      if (r && !(r->style & WS_CHILD)) {
        QRect g = windowRectInParent(r);
        if (g.topLeft() != r->reportedPos) {
          r->reportedPos = g.topLeft();
          WINDOWPOS wp{m_h, nullptr, g.x(), g.y(), g.width(), g.height(), SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE};
          ::SendMessage(m_h, WM_WINDOWPOSCHANGED, 0, (LPARAM)&wp);
        }
      }
      return QWidget::event(e);
    }
    case QEvent::WindowStateChange: {
      // Minimised, maximised or restored from the title bar.
      AfxWndRec* r = AfxRec(m_h);
      if (r && !(r->style & WS_CHILD)) {
        DWORD want = (isMinimized() ? WS_MINIMIZE : 0) | (isMaximized() ? WS_MAXIMIZE : 0);
        if ((r->style & (WS_MINIMIZE | WS_MAXIMIZE)) != want) {
          r->style = (r->style & ~(WS_MINIMIZE | WS_MAXIMIZE)) | want;
          QRect g = windowRectInParent(r);
          WINDOWPOS wp{m_h,
                       nullptr,
                       g.x(),
                       g.y(),
                       g.width(),
                       g.height(),
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_STATECHANGED};
          ::SendMessage(m_h, WM_WINDOWPOSCHANGED, 0, (LPARAM)&wp);
        }
      }
      return QWidget::event(e);
    }
    case QEvent::WindowActivate:
      // The window manager activated a window a modal loop has disabled: the loop's window takes it.
      if (AfxWndRec* r = AfxRec(m_h); r && !(r->style & WS_CHILD) && !r->enabled) {
        if (HWND modal = modalWindowOf(m_h)) {
          raiseTop(modal);
          afxActivate(modal, true);
          if (AfxWndRec* mr = AfxRec(modal)) mr->w->activateWindow();
          return QWidget::event(e);
        }
      }
      // A window that never activates (a menu) leaves the activation where it is, whatever Qt says.
      if (AfxRec(m_h) && !(AfxRec(m_h)->style & WS_CHILD) && !(AfxRec(m_h)->exStyle & WS_EX_NOACTIVATE) &&
          g_active != m_h)
        afxActivate(m_h, false);
      return QWidget::event(e);
    default: break;
  }
  return QWidget::event(e);
}

static void drawNonClient(QPainter& p, AfxWndRec* r) {
  QMargins m = AfxNonClientMargins(r);
  if (m.isNull()) return;
  QRect all = r->w->rect();
  auto sys = [](int i) { return AfxQColor(GetSysColor(i)); };
  QRect inner = all;
  auto frame = [&](QColor tl, QColor br) {
    p.setPen(tl);
    p.drawLine(inner.topLeft(), inner.topRight() - QPoint(1, 0));
    p.drawLine(inner.topLeft(), inner.bottomLeft() - QPoint(0, 1));
    p.setPen(br);
    p.drawLine(inner.bottomLeft(), inner.bottomRight());
    p.drawLine(inner.topRight(), inner.bottomRight());
    inner.adjust(1, 1, -1, -1);
  };
  if (r->style & WS_THICKFRAME) {
    frame(sys(COLOR_3DLIGHT), sys(COLOR_3DDKSHADOW));
    frame(sys(COLOR_3DHILIGHT), sys(COLOR_3DSHADOW));
    frame(sys(COLOR_3DFACE), sys(COLOR_3DFACE));
    frame(sys(COLOR_3DFACE), sys(COLOR_3DFACE));
  } else if (r->style & WS_DLGFRAME) {
    frame(sys(COLOR_3DLIGHT), sys(COLOR_3DDKSHADOW));
    frame(sys(COLOR_3DHILIGHT), sys(COLOR_3DSHADOW));
    frame(sys(COLOR_3DFACE), sys(COLOR_3DFACE));
  } else if (r->style & WS_BORDER) {
    frame(sys(COLOR_WINDOWFRAME), sys(COLOR_WINDOWFRAME));
  }
  if (r->exStyle & WS_EX_CLIENTEDGE) {
    frame(sys(COLOR_3DSHADOW), sys(COLOR_3DHILIGHT));
    frame(sys(COLOR_3DDKSHADOW), sys(COLOR_3DLIGHT));
  }
  if (r->exStyle & WS_EX_STATICEDGE) frame(sys(COLOR_3DSHADOW), sys(COLOR_3DHILIGHT));
  AfxDrawWindowScrollBars(p, r);
}

void NeapWidget::paintEvent(QPaintEvent* e) {
  if (!m_h) return;
  HWND h = m_h;
  if (AfxWndRec* r0 = AfxRec(h)) r0->inQtPaint = true;
  AfxPaintNow(h);
  AfxWndRec* r = AfxRec(h);
  if (!r) return;
  r->inQtPaint = false;
  QPainter p(this);
  if (r->layered) {
    AfxPaintLayer(p, r);
    return;
  }
  QMargins m = AfxNonClientMargins(r);
  p.setClipRegion(e->region());
  p.drawImage(QPoint(m.left(), m.top()), AfxBacking(r));
  drawNonClient(p, r);
}

// ======================================================================================
// DefWindowProc
// ======================================================================================
static HWND topLevelOf(HWND h) { return GetAncestor(h, GA_ROOT); }

// One handler per message the default procedure answers.
static LRESULT OnDefEraseBkgnd(HWND hWnd, AfxWndRec* r, HDC hdc) {
  if (!r->clsBrush) return 0;
  CDC* dc = CDC::FromHandle(hdc);
  if (!dc) return 0;
  RECT rc;
  GetClientRect(hWnd, &rc);
  HBRUSH b = r->clsBrush;
  // A class brush given as COLOR_xxx + 1 stands for that system colour.
  if ((uintptr_t)b <= 31) b = GetSysColorBrush((int)(uintptr_t)b - 1);
  dc->FillRect(&rc, CBrush::FromHandle(b));
  return 1;
}

static LRESULT OnDefPaint(HWND hWnd) {
  PAINTSTRUCT ps;
  ::BeginPaint(hWnd, &ps);
  ::EndPaint(hWnd, &ps);
  return 0;
}

static LRESULT OnDefGetText(AfxWndRec* r, WPARAM wParam, LPARAM lParam) {
  if (!lParam || wParam == 0) return 0;
  size_t n = std::min(r->text.size(), (size_t)wParam - 1);
  std::memcpy((char*)lParam, r->text.data(), n);
  ((char*)lParam)[n] = 0;
  return (LRESULT)n;
}

static LRESULT OnDefSetIcon(AfxWndRec* r, WPARAM wParam, LPARAM lParam) {
  if (r->style & WS_CHILD) return 0;
  HICON& slot = wParam == ICON_SMALL ? r->iconSmall : r->iconBig;
  HICON old = slot;
  slot = (HICON)lParam;
  applyIcon(r);
  return (LRESULT)old;
}

static LRESULT OnDefSetText(HWND hWnd, AfxWndRec* r, LPARAM lParam) {
  r->text = lParam ? (const char*)lParam : "";
  if (!(r->style & WS_CHILD)) {
    r->w->setWindowTitle(QString::fromUtf8(r->text.c_str()));
    if (r->w->internalWinId()) AfxNativeWindowMade(r);
  }
  NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hWnd, OBJID_WINDOW, CHILDID_SELF);
  return TRUE;
}

static LRESULT OnDefSetFont(HWND hWnd, AfxWndRec* r, WPARAM wParam, LPARAM lParam) {
  r->font = (HFONT)wParam;
  if (lParam) InvalidateRect(hWnd, nullptr, TRUE);
  return 0;
}

static LRESULT OnDefNcHitTest(HWND hWnd, AfxWndRec* r, LPARAM lParam) {
  POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  RECT wr;
  GetWindowRect(hWnd, &wr);
  if (!PtInRect(&wr, pt)) return HTNOWHERE;
  POINT c = pt;
  ScreenToClient(hWnd, &c);
  RECT cr;
  GetClientRect(hWnd, &cr);
  if (PtInRect(&cr, c)) return HTCLIENT;
  if ((r->style & WS_VSCROLL) && c.x >= cr.right && c.y < cr.bottom) return HTVSCROLL;
  if ((r->style & WS_HSCROLL) && c.y >= cr.bottom && c.x < cr.right) return HTHSCROLL;
  return HTBORDER;
}

static LRESULT OnDefNcButtonDown(HWND hWnd, WPARAM wParam, LPARAM lParam) {
  // A press on a scroll bar tracks it until the button is released.
  if (wParam == HTVSCROLL || wParam == HTHSCROLL)
    AfxTrackWindowScrollBar(hWnd, wParam == HTVSCROLL ? SB_VERT : SB_HORZ,
                            POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
  return 0;
}

static LRESULT OnDefMouseActivate(AfxWndRec* r, WPARAM wParam, LPARAM lParam) {
  if ((r->style & WS_CHILD) && r->parent) {
    LRESULT res = ::SendMessage(r->parent, WM_MOUSEACTIVATE, wParam, lParam);
    if (res) return res;
  }
  return MA_ACTIVATE;
}

static LRESULT OnDefSetCursor(HWND hWnd, AfxWndRec* r, WPARAM wParam, LPARAM lParam) {
  if ((r->style & WS_CHILD) && r->parent) {
    if (::SendMessage(r->parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
    if (!(r = AfxRec(hWnd))) return TRUE;
  }
  if (LOWORD(lParam) == HTCLIENT) {
    ::SetCursor(r->clsCursor ? r->clsCursor : LoadCursor(nullptr, IDC_ARROW));
    return FALSE;
  }
  ::SetCursor(LoadCursor(nullptr, IDC_ARROW));
  return FALSE;
}

static LRESULT OnDefRButtonUp(HWND hWnd, LPARAM lParam) {
  POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ClientToScreen(hWnd, &pt);
  ::SendMessage(hWnd, WM_CONTEXTMENU, (WPARAM)hWnd, MAKELPARAM(pt.x, pt.y));
  return 0;
}

static LRESULT OnDefSysKeyDown(HWND hWnd, WPARAM wParam, LPARAM lParam) {
  if (wParam == VK_F10 && (GetKeyState(VK_SHIFT) & 0x8000))
    ::SendMessage(hWnd, WM_CONTEXTMENU, (WPARAM)hWnd, MAKELPARAM(-1, -1));
  else if (wParam == VK_F4 && (lParam & (1 << 29)))
    ::PostMessage(topLevelOf(hWnd), WM_SYSCOMMAND, SC_CLOSE, 0);
  return 0;
}

static LRESULT OnDefSysKeyUp(HWND hWnd, WPARAM wParam) {
  // Alt tapped alone (no key or click while it was held), or F10: the menu of the top-level window.
  if ((wParam == VK_MENU && g_altTap) || (wParam == VK_F10 && !(GetKeyState(VK_SHIFT) & 0x8000)))
    ::SendMessage(topLevelOf(hWnd), WM_SYSCOMMAND, SC_KEYMENU, 0);
  return 0;
}

static LRESULT OnDefSysChar(HWND hWnd, WPARAM wParam) {
  if (wParam != VK_RETURN && wParam != VK_ESCAPE)
    ::SendMessage(topLevelOf(hWnd), WM_SYSCOMMAND, SC_KEYMENU, (LPARAM)wParam);
  return 0;
}

static LRESULT OnDefSysCommand(HWND hWnd, WPARAM wParam) {
  switch (wParam & 0xFFF0) {
    case SC_CLOSE: ::SendMessage(hWnd, WM_CLOSE, 0, 0); break;
    case SC_MINIMIZE: ShowWindow(hWnd, SW_MINIMIZE); break;
    case SC_MAXIMIZE: ShowWindow(hWnd, SW_SHOWMAXIMIZED); break;
    case SC_RESTORE: ShowWindow(hWnd, SW_RESTORE); break;
  }
  return 0;
}

static LRESULT OnDefWindowPosChanged(HWND hWnd, AfxWndRec* r, const WINDOWPOS* wp) {
  if (!(wp->flags & SWP_NOMOVE)) {
    QRect g = windowRectInParent(r);
    ::SendMessage(hWnd, WM_MOVE, 0, MAKELPARAM(g.x(), g.y()));
  }
  if ((!(wp->flags & SWP_NOSIZE) || (wp->flags & SWP_STATECHANGED)) && AfxRec(hWnd)) {
    AfxWndRec* now = AfxRec(hWnd);
    QSize cs = clientSize(now);
    WPARAM kind = (now->style & WS_MINIMIZE)   ? SIZE_MINIMIZED
                  : (now->style & WS_MAXIMIZE) ? SIZE_MAXIMIZED
                                               : SIZE_RESTORED;
    ::SendMessage(hWnd, WM_SIZE, kind, MAKELPARAM(cs.width(), cs.height()));
  }
  return 0;
}

static LRESULT OnDefActivate(HWND hWnd, WPARAM wParam) {
  // An activated window takes the focus unless one of its children has it.
  if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam) && g_focus != hWnd && !IsChild(hWnd, g_focus)) ::SetFocus(hWnd);
  return 0;
}

static LRESULT OnDefPrint(HWND hWnd, HDC hdc) {
  // Draws the window's current pixels into the given DC.
  CDC* dc = CDC::FromHandle(hdc);
  if (!dc) return 0;
  AfxPaintNow(hWnd);
  AfxWndRec* r = AfxRec(hWnd);
  if (!r) return 0;
  AfxDcState* s = dc->GetState();
  if (!s || !s->image) return 0;
  QPainter p(s->image);
  p.drawImage(s->viewportOrg + s->deviceOffset, AfxBacking(r));
  return 0;
}

LRESULT DefWindowProc(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  AfxWndRec* r = AfxRec(hWnd);
  if (!r) return 0;
  switch (Msg) {
    case WM_NCCREATE: return TRUE;
    case WM_CLOSE: ::DestroyWindow(hWnd); return 0;
    case WM_ERASEBKGND: return OnDefEraseBkgnd(hWnd, r, (HDC)wParam);
    case WM_PAINT: return OnDefPaint(hWnd);
    case WM_GETTEXT: return OnDefGetText(r, wParam, lParam);
    case WM_GETTEXTLENGTH: return (LRESULT)r->text.size();
    case WM_SETICON: return OnDefSetIcon(r, wParam, lParam);
    case WM_GETICON: return (LRESULT)(wParam == ICON_SMALL ? (r->iconSmall ? r->iconSmall : r->iconBig) : r->iconBig);
    case WM_SETTEXT: return OnDefSetText(hWnd, r, lParam);
    case WM_SETFONT: return OnDefSetFont(hWnd, r, wParam, lParam);
    case WM_GETFONT: return (LRESULT)r->font;
    case WM_SETREDRAW: r->redraw = wParam != 0; return 0;
    case WM_NCHITTEST: return OnDefNcHitTest(hWnd, r, lParam);
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: return OnDefNcButtonDown(hWnd, wParam, lParam);
    case WM_MOUSEACTIVATE: return OnDefMouseActivate(r, wParam, lParam);
    case WM_SETCURSOR: return OnDefSetCursor(hWnd, r, wParam, lParam);
    case WM_RBUTTONUP: return OnDefRButtonUp(hWnd, lParam);
    case WM_CONTEXTMENU:
    case WM_MOUSEWHEEL:
      if ((r->style & WS_CHILD) && r->parent) return ::SendMessage(r->parent, Msg, wParam, lParam);
      return 0;
    case WM_KEYUP:
      if (wParam == VK_APPS) ::SendMessage(hWnd, WM_CONTEXTMENU, (WPARAM)hWnd, MAKELPARAM(-1, -1));
      return 0;
    case WM_SYSKEYDOWN: return OnDefSysKeyDown(hWnd, wParam, lParam);
    case WM_SYSKEYUP: return OnDefSysKeyUp(hWnd, wParam);
    case WM_SYSCHAR: return OnDefSysChar(hWnd, wParam);
    case WM_SYSCOMMAND: return OnDefSysCommand(hWnd, wParam);
    case WM_WINDOWPOSCHANGED: return OnDefWindowPosChanged(hWnd, r, (const WINDOWPOS*)lParam);
    case WM_GETMINMAXINFO: return 0;
    case WM_NCACTIVATE: return TRUE;
    case WM_ACTIVATE: return OnDefActivate(hWnd, wParam);
    case WM_GETDLGCODE: return 0;
    case WM_PRINTCLIENT:
    case WM_PRINT: return OnDefPrint(hWnd, (HDC)wParam);
  }
  return 0;
}

// ======================================================================================
// BeginPaint / DCs of windows (the DC objects are in Gdi.cpp)
// ======================================================================================
HDC AfxCreateWindowDC(HWND h, bool paint, bool whole);
void AfxDeleteWindowDC(HDC hdc);

// A transparent child (WS_EX_TRANSPARENT) starts its painting from what its parent painted
// beneath it, as if the parent's pixels showed through.
static void copyParentPixels(AfxWndRec* r, const QRegion& region) {
  AfxWndRec* p = AfxRec(r->parent);
  if (!p) return;
  if (!p->painting && !p->invalid.isEmpty()) AfxPaintNow(r->parent);
  if (!(p = AfxRec(r->parent)) || !AfxRec(r->h)) return;
  QPoint offset = AfxClientOriginOnScreen(r) - AfxClientOriginOnScreen(p);
  const QImage& beneath = AfxBacking(p);
  QPainter painter(&AfxBacking(r));
  painter.setClipRegion(region);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(-offset, beneath);
}

// After the parent painted: its transparent children show the new pixels.
static void invalidateTransparentChildren(AfxWndRec* r, const QRect& painted) {
  for (HWND c : std::vector<HWND>(r->children)) {
    AfxWndRec* cr = AfxRec(c);
    if (!cr || !(cr->exStyle & WS_EX_TRANSPARENT) || !(cr->style & WS_VISIBLE)) continue;
    QPoint offset = AfxClientOriginOnScreen(cr) - AfxClientOriginOnScreen(r);
    QRect mine = painted.translated(-offset).intersected(AfxBackingRect(cr));
    if (mine.isEmpty()) continue;
    cr->invalid += mine;
    cr->w->update();
  }
}

HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT ps) {
  AfxWndRec* r = AfxRec(hWnd);
  if (!r || !ps) return nullptr;
  std::memset(ps, 0, sizeof(*ps));
  QRegion inval = r->invalid;
  if (inval.isEmpty() && !r->painting) inval = QRegion();
  bool erase = r->erase;
  r->invalid = QRegion();
  r->erase = false;
  if ((r->exStyle & WS_EX_TRANSPARENT) && (r->style & WS_CHILD)) {
    copyParentPixels(r, inval);
    if (!(r = AfxRec(hWnd))) return nullptr;
  }
  HDC hdc = AfxCreateWindowDC(hWnd, true, false);
  AfxDcState* s = CDC::FromHandle(hdc)->GetState();
  s->baseClip = inval;
  s->hasBaseClip = true;
  QRect b = inval.boundingRect();
  ps->hdc = hdc;
  ps->fErase = erase ? FALSE : TRUE;
  SetRect(&ps->rcPaint, b.left(), b.top(), b.left() + b.width(), b.top() + b.height());
  if (erase) {
    LRESULT erased = ::SendMessage(hWnd, WM_ERASEBKGND, (WPARAM)hdc, 0);
    ps->fErase = erased ? FALSE : TRUE;
  }
  return hdc;
}

BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* ps) {
  if (!ps || !ps->hdc) return FALSE;
  AfxDeleteWindowDC(ps->hdc);
  QRect painted(ps->rcPaint.left, ps->rcPaint.top, ps->rcPaint.right - ps->rcPaint.left,
                ps->rcPaint.bottom - ps->rcPaint.top);
  if (AfxWndRec* r = AfxRec(hWnd)) {
    AfxWindowPixelsChanged(hWnd, painted);
    invalidateTransparentChildren(r, painted);
  }
  return TRUE;
}

HDC GetDC(HWND hWnd) { return AfxRec(hWnd) ? AfxCreateWindowDC(hWnd, false, false) : nullptr; }
HDC GetWindowDC(HWND hWnd) { return AfxRec(hWnd) ? AfxCreateWindowDC(hWnd, false, true) : nullptr; }
int ReleaseDC(HWND, HDC hDC) {
  if (!hDC) return 0;
  AfxDeleteWindowDC(hDC);
  return 1;
}

// ======================================================================================
// Monitors
// ======================================================================================
static QScreen* screenOf(QPoint p) {
  QScreen* s = QGuiApplication::screenAt(p);
  return s ? s : QGuiApplication::primaryScreen();
}

HMONITOR MonitorFromPoint(POINT pt, DWORD dwFlags) {
  QScreen* s = QGuiApplication::screenAt(QPoint(pt.x, pt.y));
  if (!s && dwFlags == MONITOR_DEFAULTTONULL) return nullptr;
  if (!s) s = QGuiApplication::primaryScreen();
  return reinterpret_cast<HMONITOR>(s);
}
HMONITOR MonitorFromRect(LPCRECT r, DWORD dwFlags) {
  POINT c{(r->left + r->right) / 2, (r->top + r->bottom) / 2};
  return MonitorFromPoint(c, dwFlags);
}
HMONITOR MonitorFromWindow(HWND hWnd, DWORD dwFlags) {
  RECT r;
  if (!GetWindowRect(hWnd, &r)) return MonitorFromPoint(POINT{0, 0}, dwFlags);
  return MonitorFromRect(&r, dwFlags);
}
BOOL GetMonitorInfo(HMONITOR hMonitor, LPMONITORINFO mi) {
  if (!mi) return FALSE;
  QScreen* s = reinterpret_cast<QScreen*>(hMonitor);
  bool known = false;
  for (QScreen* x : QGuiApplication::screens()) known |= x == s;
  if (!known) s = screenOf(QPoint(0, 0));
  if (!s) return FALSE;
  QRect g = s->geometry(), a = s->availableGeometry();
  SetRect(&mi->rcMonitor, g.left(), g.top(), g.left() + g.width(), g.top() + g.height());
  SetRect(&mi->rcWork, a.left(), a.top(), a.left() + a.width(), a.top() + a.height());
  mi->dwFlags = s == QGuiApplication::primaryScreen() ? MONITORINFOF_PRIMARY : 0;
  return TRUE;
}

BOOL EnumDisplayMonitors(HDC, LPCRECT, MONITORENUMPROC lpfnEnum, LPARAM dwData) {
  if (!lpfnEnum) return FALSE;
  const QList<QScreen*> screens = QGuiApplication::screens();
  for (QScreen* s : screens) {
    QRect g = s->geometry();
    RECT rc{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
    if (!lpfnEnum(reinterpret_cast<HMONITOR>(s), nullptr, &rc, dwData)) break;
  }
  return TRUE;
}

// ======================================================================================
// CWnd
// ======================================================================================
IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
  ON_WM_NCDESTROY()
  ON_WM_MEASUREITEM()
  ON_WM_DRAWITEM()
END_MESSAGE_MAP()

CWnd::CWnd() = default;

CWnd::~CWnd() {
  AfxForgetDispatch(this);
  if (m_hWnd && IsWindow(m_hWnd)) {
    AfxWndRec* r = AfxRec(m_hWnd);
    if (r && r->wnd == this) {
      // Destroyed with its object: the handlers of derived classes are gone already.
      ::DestroyWindow(m_hWnd);
      if (AfxRec(m_hWnd) && AfxRec(m_hWnd)->wnd == this) AfxRec(m_hWnd)->wnd = nullptr;
    }
  }
  m_hWnd = nullptr;
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
  AfxWndRec* r = AfxRec(hWnd);
  return r ? r->wnd : nullptr;
}
CWnd* CWnd::FromHandle(HWND hWnd) { return FromHandlePermanent(hWnd); }
const MSG* CWnd::GetCurrentMessage() { return t_currentMsgPtr; }

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs) {
  if (!cs.lpszClass) cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW), nullptr, nullptr);
  return TRUE;
}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                  UINT nID, CCreateContext* pContext) {
  return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr, (HMENU)(UINT_PTR)nID,
                  (LPVOID)pContext);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                    CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
  return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr, (HMENU)(UINT_PTR)nID,
                  lpParam);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam) {
  if (m_hWnd) return FALSE;
  CREATESTRUCT cs{lpParam, nullptr, nIDorHMenu,    hWndParent,     nHeight,       nWidth,
                  y,       x,       (LONG)dwStyle, lpszWindowName, lpszClassName, dwExStyle};
  if (!PreCreateWindow(cs)) {
    PostNcDestroy();
    return FALSE;
  }
  g_creating = this;
  HWND h = ::CreateWindowEx(cs.dwExStyle, cs.lpszClass, cs.lpszName, (DWORD)cs.style, cs.x, cs.y, cs.cx, cs.cy,
                            cs.hwndParent, cs.hMenu, nullptr, cs.lpCreateParams);
  g_creating = nullptr;
  if (!h) {
    // A failed WM_CREATE destroyed the window, and PostNcDestroy ran then.
    return FALSE;
  }
  return TRUE;
}

BOOL CWnd::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  return ::DestroyWindow(m_hWnd);
}

void CWnd::PostNcDestroy() {}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT lResult = 0;
  if (!OnWndMsg(message, wParam, lParam, &lResult)) lResult = DefWindowProc(message, wParam, lParam);
  return lResult;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  LRESULT lResult = 0;
  if (message == WM_COMMAND) {
    if (OnCommand(wParam, lParam)) {
      if (pResult) *pResult = 1;
      return TRUE;
    }
    return FALSE;
  }
  if (message == WM_NOTIFY) {
    NMHDR* nm = (NMHDR*)lParam;
    if (nm && nm->hwndFrom && OnNotify(wParam, lParam, &lResult)) {
      if (pResult) *pResult = lResult;
      return TRUE;
    }
    return FALSE;
  }
  const AFX_MSGMAP_ENTRY* e = FindMessageEntry(message, 0, 0);
  if (!e) return FALSE;
  AFX_MSGARGS a{message, wParam, lParam, 0, 0, nullptr};
  BOOL handled = e->pfn(this, a);
  if (pResult) *pResult = a.result;
  return handled;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!m_hWnd) return 0;
  return ::DefWindowProc(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
  const MSG* m = t_currentMsgPtr;
  if (!m) return 0;
  return DefWindowProc(m->message, m->wParam, m->lParam);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  UINT nID = LOWORD(wParam);
  HWND hWndCtrl = (HWND)lParam;
  int nCode = HIWORD(wParam);
  if (hWndCtrl) {
    // Control notifications are first reflected to the control.
    CWnd* ctrl = CWnd::FromHandlePermanent(hWndCtrl);
    if (ctrl && ctrl->OnChildNotify(WM_COMMAND, wParam, lParam, nullptr)) return TRUE;
    if (nID == 0) return FALSE;
  } else {
    if (nID == 0) return FALSE;
    nCode = CN_COMMAND;  // menus and accelerators
  }
  return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult) {
  NMHDR* nm = (NMHDR*)lParam;
  HWND hWndCtrl = nm->hwndFrom;
  UINT nID = (UINT)nm->idFrom;
  CWnd* ctrl = CWnd::FromHandlePermanent(hWndCtrl);
  if (ctrl && ctrl != this && ctrl->OnChildNotify(WM_NOTIFY, (WPARAM)nID, lParam, pResult)) return TRUE;
  AFX_NOTIFY notify{pResult, nm};
  return OnCmdMsg(nID, MAKELONG(nm->code, WM_NOTIFY), &notify, nullptr);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  (void)wParam;
  if (message == WM_NOTIFY) {
    NMHDR* nm = (NMHDR*)lParam;
    const AFX_MSGMAP_ENTRY* e = FindMessageEntry(WM_REFLECT_BASE + WM_NOTIFY, nm->code, 0);
    if (!e) e = FindMessageEntry(WM_REFLECT_BASE + WM_NOTIFY, (UINT)(int)(short)nm->code, 0);
    if (!e) return FALSE;
    LRESULT dummy = 0;
    AFX_NOTIFY notify{pResult ? pResult : &dummy, nm};
    AFX_MSGARGS a{WM_NOTIFY, wParam, lParam, 0, (UINT)nm->idFrom, &notify};
    return e->pfn(this, a);
  }
  return FALSE;
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg) {
  for (HWND h = pMsg->hwnd; h; h = ::GetParent(h)) {
    CWnd* w = CWnd::FromHandlePermanent(h);
    if (w && w->PreTranslateMessage(pMsg)) return TRUE;
    if (h == hWndStop) break;
    AfxWndRec* r = AfxRec(h);
    if (!r || !(r->style & WS_CHILD)) break;
  }
  return FALSE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::SendMessage(m_hWnd, message, wParam, lParam);
}
BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::PostMessage(m_hWnd, message, wParam, lParam);
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep) {
  AfxWndRec* r = AfxRec(m_hWnd);
  if (!r) return;
  std::function<void(HWND)> walk = [&](HWND h) {
    AfxWndRec* x = AfxRec(h);
    if (!x) return;
    for (HWND c : std::vector<HWND>(x->children)) {
      ::SendMessage(c, message, wParam, lParam);
      if (bDeep) walk(c);
    }
  };
  walk(m_hWnd);
}

CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
CWnd* CWnd::SetParent(CWnd* p) { return FromHandle(::SetParent(m_hWnd, p ? p->m_hWnd : nullptr)); }
CWnd* CWnd::GetOwner() const {
  AfxWndRec* r = AfxRec(m_hWnd);
  if (!r) return nullptr;
  return FromHandle(r->owner ? r->owner : ((r->style & WS_CHILD) ? r->parent : nullptr));
}
void CWnd::SetOwner(CWnd* pOwnerWnd) {
  if (AfxWndRec* r = AfxRec(m_hWnd)) r->owner = pOwnerWnd ? pOwnerWnd->m_hWnd : nullptr;
}
CWnd* CWnd::GetTopLevelParent() const { return FromHandle(GetAncestor(m_hWnd, GA_ROOT)); }
CWnd* CWnd::GetTopLevelOwner() const { return FromHandle(GetAncestor(m_hWnd, GA_ROOTOWNER)); }
CFrameWnd* CWnd::GetParentFrame() const {
  if (!g_afxWndHooks.frameOf) return nullptr;
  for (HWND h = ::GetParent(m_hWnd); h; h = ::GetParent(h))
    if (CFrameWnd* f = g_afxWndHooks.frameOf(h)) return f;
  return nullptr;
}
CFrameWnd* CWnd::GetTopLevelFrame() const {
  // The outermost frame among the window and its parents.
  if (!g_afxWndHooks.frameOf) return nullptr;
  CFrameWnd* f = nullptr;
  for (HWND h = m_hWnd; h; h = ::GetParent(h))
    if (CFrameWnd* p = g_afxWndHooks.frameOf(h)) f = p;
  return f;
}
CWnd* CWnd::GetWindow(UINT nCmd) const { return FromHandle(::GetWindow(m_hWnd, nCmd)); }
CWnd* CWnd::GetTopWindow() const { return FromHandle(::GetTopWindow(m_hWnd)); }
CWnd* CWnd::GetNextWindow(UINT nFlag) const { return FromHandle(::GetWindow(m_hWnd, nFlag)); }
CWnd* CWnd::GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }
int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
int CWnd::SetDlgCtrlID(int nID) { return (int)::SetWindowLongPtr(m_hWnd, GWL_ID, nID); }
BOOL CWnd::IsChild(const CWnd* pWnd) const { return pWnd && ::IsChild(m_hWnd, pWnd->m_hWnd); }
CWnd* CWnd::ChildWindowFromPoint(POINT pt) const { return FromHandle(::ChildWindowFromPoint(m_hWnd, pt)); }
CWnd* CWnd::WindowFromPoint(POINT pt) { return FromHandle(::WindowFromPoint(pt)); }
CWnd* CWnd::GetDesktopWindow() { return nullptr; }
CWnd* CWnd::GetActiveWindow() { return FromHandle(::GetActiveWindow()); }
CWnd* CWnd::GetForegroundWindow() { return FromHandle(::GetForegroundWindow()); }
CWnd* CWnd::GetFocus() { return FromHandle(::GetFocus()); }
CWnd* CWnd::GetCapture() { return FromHandle(::GetCapture()); }

DWORD CWnd::GetStyle() const {
  AfxWndRec* r = AfxRec(m_hWnd);
  return r ? r->style : 0;
}
DWORD CWnd::GetExStyle() const {
  AfxWndRec* r = AfxRec(m_hWnd);
  return r ? r->exStyle : 0;
}
BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  AfxWndRec* r = AfxRec(m_hWnd);
  if (!r) return FALSE;
  DWORD n = (r->style & ~dwRemove) | dwAdd;
  if (n == r->style) return FALSE;
  ::SetWindowLongPtr(m_hWnd, GWL_STYLE, (LONG_PTR)n);
  if (nFlags)
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
  return TRUE;
}
BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  AfxWndRec* r = AfxRec(m_hWnd);
  if (!r) return FALSE;
  DWORD n = (r->exStyle & ~dwRemove) | dwAdd;
  if (n == r->exStyle) return FALSE;
  ::SetWindowLongPtr(m_hWnd, GWL_EXSTYLE, (LONG_PTR)n);
  if (nFlags)
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
  return TRUE;
}
void CWnd::SetWindowText(LPCTSTR s) { ::SetWindowText(m_hWnd, s); }
int CWnd::GetWindowText(LPTSTR buf, int n) const { return ::GetWindowText(m_hWnd, buf, n); }
void CWnd::GetWindowText(CString& s) const {
  int n = ::GetWindowTextLength(m_hWnd);
  std::string buf((size_t)n + 1, '\0');
  ::GetWindowText(m_hWnd, buf.data(), n + 1);
  s = buf.c_str();
}
int CWnd::GetWindowTextLength() const { return ::GetWindowTextLength(m_hWnd); }
void CWnd::SetFont(CFont* pFont, BOOL bRedraw) {
  ::SendMessage(m_hWnd, WM_SETFONT, (WPARAM)(pFont ? pFont->m_hObject : nullptr), bRedraw);
}
CFont* CWnd::GetFont() const { return CFont::FromHandle((HFONT)::SendMessage(m_hWnd, WM_GETFONT, 0, 0)); }

BOOL CWnd::ShowWindow(int n) { return ::ShowWindow(m_hWnd, n); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
BOOL CWnd::EnableWindow(BOOL b) { return ::EnableWindow(m_hWnd, b); }
BOOL CWnd::IsIconic() const { return ::IsIconic(m_hWnd); }
BOOL CWnd::IsZoomed() const { return ::IsZoomed(m_hWnd); }
void CWnd::MoveWindow(int x, int y, int w, int h, BOOL b) { ::MoveWindow(m_hWnd, x, y, w, h, b); }
void CWnd::MoveWindow(LPCRECT r, BOOL b) {
  ::MoveWindow(m_hWnd, r->left, r->top, r->right - r->left, r->bottom - r->top, b);
}
BOOL CWnd::SetWindowPos(const CWnd* after, int x, int y, int cx, int cy, UINT f) {
  // &wndTop and friends are the special handles themselves.
  HWND ha =
      after ? (IsWindow(after->m_hWnd) ? after->m_hWnd : reinterpret_cast<HWND>(const_cast<CWnd*>(after))) : nullptr;
  return ::SetWindowPos(m_hWnd, ha, x, y, cx, cy, f);
}
void CWnd::GetWindowRect(LPRECT r) const { ::GetWindowRect(m_hWnd, r); }
void CWnd::GetClientRect(LPRECT r) const { ::GetClientRect(m_hWnd, r); }
void CWnd::ClientToScreen(LPPOINT p) const { ::ClientToScreen(m_hWnd, p); }
void CWnd::ClientToScreen(LPRECT r) const {
  ::ClientToScreen(m_hWnd, (LPPOINT)&r->left);
  ::ClientToScreen(m_hWnd, (LPPOINT)&r->right);
}
void CWnd::ScreenToClient(LPPOINT p) const { ::ScreenToClient(m_hWnd, p); }
void CWnd::ScreenToClient(LPRECT r) const {
  ::ScreenToClient(m_hWnd, (LPPOINT)&r->left);
  ::ScreenToClient(m_hWnd, (LPPOINT)&r->right);
}
void CWnd::MapWindowPoints(CWnd* to, LPPOINT p, UINT n) const {
  ::MapWindowPoints(m_hWnd, to ? to->m_hWnd : nullptr, p, n);
}
void CWnd::MapWindowPoints(CWnd* to, LPRECT r) const {
  ::MapWindowPoints(m_hWnd, to ? to->m_hWnd : nullptr, (LPPOINT)r, 2);
}
void CWnd::CenterWindow(CWnd* pAlternateOwner) {
  RECT wr, pr;
  GetWindowRect(&wr);
  CWnd* o = pAlternateOwner ? pAlternateOwner : GetOwner();
  if (o)
    o->GetWindowRect(&pr);
  else {
    QRect a = QGuiApplication::primaryScreen()->availableGeometry();
    SetRect(&pr, a.left(), a.top(), a.right() + 1, a.bottom() + 1);
  }
  int w = wr.right - wr.left, h = wr.bottom - wr.top;
  int x = (pr.left + pr.right - w) / 2, y = (pr.top + pr.bottom - h) / 2;
  if (GetStyle() & WS_CHILD) {
    POINT p{x, y};
    ::ScreenToClient(::GetParent(m_hWnd), &p);
    x = p.x;
    y = p.y;
  }
  ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
void CWnd::BringWindowToTop() { ::BringWindowToTop(m_hWnd); }
BOOL CWnd::SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
CWnd* CWnd::SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }

void CWnd::Invalidate(BOOL bErase) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
void CWnd::InvalidateRect(LPCRECT r, BOOL bErase) { ::InvalidateRect(m_hWnd, r, bErase); }
void CWnd::InvalidateRgn(CRgn* rgn, BOOL bErase) {
  ::InvalidateRgn(m_hWnd, rgn ? (HRGN)rgn->m_hObject : nullptr, bErase);
}
void CWnd::ValidateRect(LPCRECT r) { ::ValidateRect(m_hWnd, r); }
void CWnd::UpdateWindow() { ::UpdateWindow(m_hWnd); }
BOOL CWnd::RedrawWindow(LPCRECT r, CRgn* rgn, UINT f) {
  return ::RedrawWindow(m_hWnd, r, rgn ? (HRGN)rgn->m_hObject : nullptr, f);
}
BOOL CWnd::GetUpdateRect(LPRECT r, BOOL e) { return ::GetUpdateRect(m_hWnd, r, e); }
CDC* CWnd::BeginPaint(LPPAINTSTRUCT ps) { return CDC::FromHandle(::BeginPaint(m_hWnd, ps)); }
void CWnd::EndPaint(LPPAINTSTRUCT ps) { ::EndPaint(m_hWnd, ps); }
CDC* CWnd::GetDC() { return CDC::FromHandle(::GetDC(m_hWnd)); }
CDC* CWnd::GetWindowDC() { return CDC::FromHandle(::GetWindowDC(m_hWnd)); }
int CWnd::ReleaseDC(CDC* pDC) { return pDC ? ::ReleaseDC(m_hWnd, pDC->m_hDC) : 0; }
void CWnd::SetRedraw(BOOL b) { ::SendMessage(m_hWnd, WM_SETREDRAW, b, 0); }
void CWnd::ScrollWindow(int dx, int dy, LPCRECT r, LPCRECT c) { ::ScrollWindow(m_hWnd, dx, dy, r, c); }
void CWnd::Print(CDC* pDC, DWORD dwFlags) const { ::SendMessage(m_hWnd, WM_PRINT, (WPARAM)pDC->m_hDC, dwFlags); }

CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
CWnd* CWnd::SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT ms, TIMERPROC fn) { return ::SetTimer(m_hWnd, id, ms, fn); }
BOOL CWnd::KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }

BOOL CWnd::SetScrollInfo(int nBar, LPSCROLLINFO si, BOOL b) { return ::SetScrollInfo(m_hWnd, nBar, si, b) >= 0; }
BOOL CWnd::GetScrollInfo(int nBar, LPSCROLLINFO si, UINT nMask) {
  si->fMask = nMask;
  return ::GetScrollInfo(m_hWnd, nBar, si);
}
int CWnd::SetScrollPos(int nBar, int nPos, BOOL b) { return ::SetScrollPos(m_hWnd, nBar, nPos, b); }
int CWnd::GetScrollPos(int nBar) const { return ::GetScrollPos(m_hWnd, nBar); }
void CWnd::SetScrollRange(int nBar, int a, int b, BOOL r) { ::SetScrollRange(m_hWnd, nBar, a, b, r); }
void CWnd::GetScrollRange(int nBar, LPINT a, LPINT b) const { ::GetScrollRange(m_hWnd, nBar, a, b); }
int CWnd::GetScrollLimit(int nBar) {
  SCROLLINFO si{sizeof(si), SIF_ALL, 0, 0, 0, 0, 0};
  ::GetScrollInfo(m_hWnd, nBar, &si);
  return std::max(si.nMin, si.nMax - std::max<int>(0, (int)si.nPage - 1));
}
void CWnd::ShowScrollBar(UINT nBar, BOOL b) { ::ShowScrollBar(m_hWnd, (int)nBar, b); }

CMenu* CWnd::GetMenu() const {
  AfxWndRec* r = AfxRec(m_hWnd);
  return r && r->menu && g_afxWndHooks.menuFromHandle ? g_afxWndHooks.menuFromHandle(r->menu) : nullptr;
}
BOOL CWnd::SetMenu(CMenu* pMenu) {
  AfxWndRec* r = AfxRec(m_hWnd);
  if (!r) return FALSE;
  r->menu = pMenu && g_afxWndHooks.menuHandle ? g_afxWndHooks.menuHandle(pMenu) : nullptr;
  return TRUE;
}

// Default handlers: each hands the message being handled to the default processing.
int CWnd::OnCreate(LPCREATESTRUCT) { return (int)Default(); }
BOOL CWnd::OnNcCreate(LPCREATESTRUCT) { return (BOOL)Default(); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnNcDestroy() {
  HWND h = m_hWnd;
  Default();
  CWinThread* t = AfxGetThread();
  if (t && t->m_pMainWnd == this) {
    t->m_pMainWnd = nullptr;
    PostQuitMessage(0);
  }
  finalDetach(h, this);
}
void CWnd::OnClose() { Default(); }
void CWnd::OnPaint() { Default(); }
void CWnd::OnNcPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return (BOOL)Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnSizing(UINT, LPRECT) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnMoving(UINT, LPRECT) { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnActivate(UINT, CWnd*, BOOL) { Default(); }
void CWnd::OnActivateApp(BOOL, DWORD) { Default(); }
BOOL CWnd::OnNcActivate(BOOL) { return (BOOL)Default(); }
int CWnd::OnMouseActivate(CWnd*, UINT, UINT) { return (int)Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return (BOOL)Default(); }
void CWnd::OnEnable(BOOL) { Default(); }
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
void CWnd::OnWindowPosChanging(WINDOWPOS*) { Default(); }
void CWnd::OnWindowPosChanged(WINDOWPOS*) { Default(); }
void CWnd::OnStyleChanged(int, LPSTYLESTRUCT) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnMButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnMButtonUp(UINT, CPoint) { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return (BOOL)Default(); }
void CWnd::OnMouseLeave() { Default(); }
void CWnd::OnMouseHover(UINT, CPoint) { Default(); }
LRESULT CWnd::OnNcHitTest(CPoint) { return Default(); }
void CWnd::OnNcMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysChar(UINT, UINT, UINT) { Default(); }
UINT CWnd::OnGetDlgCode() { return (UINT)Default(); }
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
void CWnd::OnHScroll(UINT, UINT, CScrollBar*) { Default(); }
void CWnd::OnVScroll(UINT, UINT, CScrollBar*) { Default(); }
void CWnd::OnMeasureItem(int, LPMEASUREITEMSTRUCT mis) {
  // Menu items go to their menu object, as the framework does.
  if (mis && mis->CtlType == ODT_MENU && g_afxWndHooks.measureMenuItem && g_afxWndHooks.measureMenuItem(mis)) return;
  Default();
}
void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT dis) {
  if (dis && dis->CtlType == ODT_MENU && g_afxWndHooks.drawMenuItem && g_afxWndHooks.drawMenuItem(dis)) return;
  // An owner-drawn control the parent does not draw itself draws itself.
  if (dis && dis->CtlType != ODT_MENU && g_afxWndHooks.drawControlItem && g_afxWndHooks.drawControlItem(dis)) return;
  Default();
}
void CWnd::OnInitMenu(CMenu*) { Default(); }
void CWnd::OnInitMenuPopup(CMenu*, UINT, BOOL) { Default(); }
void CWnd::OnMenuSelect(UINT, UINT, HMENU) { Default(); }
LRESULT CWnd::OnMenuChar(UINT, UINT, CMenu*) { return Default(); }
void CWnd::OnEnterMenuLoop(BOOL) { Default(); }
void CWnd::OnExitMenuLoop(BOOL) { Default(); }
void CWnd::OnSettingChange(UINT, LPCTSTR) { Default(); }
void CWnd::OnSysColorChange() { Default(); }
void CWnd::OnParentNotify(UINT, LPARAM) { Default(); }
HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT) { return (HBRUSH)Default(); }

// ---- Wait cursor ----
void AfxBeginWaitCursorShape();
void AfxEndWaitCursorShape();
void CCmdTarget::BeginWaitCursor() { AfxBeginWaitCursorShape(); }
void CCmdTarget::EndWaitCursor() { AfxEndWaitCursorShape(); }
void CCmdTarget::RestoreWaitCursor() {}
CWaitCursor::CWaitCursor() { AfxBeginWaitCursorShape(); }
CWaitCursor::~CWaitCursor() { AfxEndWaitCursorShape(); }
void CWaitCursor::Restore() {}
