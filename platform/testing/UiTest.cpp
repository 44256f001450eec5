#include "platform/testing/UiTest.h"

#include "platform/ui/UiInternal.h"
#include "platform/ui/WinApp.h"

#include <QtGui/qguiapplication_platform.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWheelEvent>

#include <dlfcn.h>

namespace {

Qt::MouseButtons g_buttons;
QPointer<QWidget> g_hover;

Qt::KeyboardModifiers qmods(UINT m) {
  Qt::KeyboardModifiers q;
  if (m & AFX_TEST_SHIFT) q |= Qt::ShiftModifier;
  if (m & AFX_TEST_CTRL) q |= Qt::ControlModifier;
  if (m & AFX_TEST_ALT) q |= Qt::AltModifier;
  return q;
}

QWidget* widgetAt(POINT pt) {
  if (QWidget* g = QWidget::mouseGrabber()) return g;
  HWND cap = GetCapture();
  if (QWidget* w = AfxWidgetOf(cap)) return w;
  return AfxWidgetOf(WindowFromPoint(pt));
}

void hoverTo(QWidget* w) {
  if (g_hover == w) return;
  if (g_hover) {
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(g_hover, &leave);
  }
  g_hover = w;
}

int qtKey(UINT vk) {
  if (vk >= 'A' && vk <= 'Z') return Qt::Key_A + (int)(vk - 'A');
  if (vk >= '0' && vk <= '9') return Qt::Key_0 + (int)(vk - '0');
  if (vk >= VK_F1 && vk <= VK_F12) return Qt::Key_F1 + (int)(vk - VK_F1);
  switch (vk) {
    case VK_BACK: return Qt::Key_Backspace;
    case VK_TAB: return Qt::Key_Tab;
    case VK_RETURN: return Qt::Key_Return;
    case VK_SHIFT: return Qt::Key_Shift;
    case VK_CONTROL: return Qt::Key_Control;
    case VK_MENU: return Qt::Key_Alt;
    case VK_RMENU: return Qt::Key_AltGr;
    case VK_ESCAPE: return Qt::Key_Escape;
    case VK_SPACE: return Qt::Key_Space;
    case VK_PRIOR: return Qt::Key_PageUp;
    case VK_NEXT: return Qt::Key_PageDown;
    case VK_END: return Qt::Key_End;
    case VK_HOME: return Qt::Key_Home;
    case VK_LEFT: return Qt::Key_Left;
    case VK_UP: return Qt::Key_Up;
    case VK_RIGHT: return Qt::Key_Right;
    case VK_DOWN: return Qt::Key_Down;
    case VK_INSERT: return Qt::Key_Insert;
    case VK_DELETE: return Qt::Key_Delete;
    case VK_APPS: return Qt::Key_Menu;
    case VK_OEM_PLUS: return Qt::Key_Equal;
    case VK_OEM_MINUS: return Qt::Key_Minus;
    case VK_OEM_COMMA: return Qt::Key_Comma;
    case VK_OEM_PERIOD: return Qt::Key_Period;
  }
  return 0;
}

}  // namespace

void AfxTestMouse(UINT message, POINT pt, UINT mods) {
  QPoint g(pt.x, pt.y);
  QWidget* w = widgetAt(pt);
  if (message == WM_MOUSEMOVE && !QWidget::mouseGrabber() && !GetCapture()) hoverTo(w);
  if (!w) return;
  QEvent::Type type = QEvent::MouseMove;
  Qt::MouseButton b = Qt::NoButton;
  switch (message) {
    case WM_LBUTTONDOWN:
      type = QEvent::MouseButtonPress;
      b = Qt::LeftButton;
      break;
    case WM_LBUTTONUP:
      type = QEvent::MouseButtonRelease;
      b = Qt::LeftButton;
      break;
    case WM_LBUTTONDBLCLK:
      type = QEvent::MouseButtonDblClick;
      b = Qt::LeftButton;
      break;
    case WM_RBUTTONDOWN:
      type = QEvent::MouseButtonPress;
      b = Qt::RightButton;
      break;
    case WM_RBUTTONUP:
      type = QEvent::MouseButtonRelease;
      b = Qt::RightButton;
      break;
    case WM_RBUTTONDBLCLK:
      type = QEvent::MouseButtonDblClick;
      b = Qt::RightButton;
      break;
    case WM_MBUTTONDOWN:
      type = QEvent::MouseButtonPress;
      b = Qt::MiddleButton;
      break;
    case WM_MBUTTONUP:
      type = QEvent::MouseButtonRelease;
      b = Qt::MiddleButton;
      break;
    default: break;
  }
  if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) g_buttons |= b;
  if (type == QEvent::MouseButtonRelease) g_buttons &= ~b;
  QMouseEvent ev(type, QPointF(w->mapFromGlobal(g)), QPointF(g), b, g_buttons, qmods(mods));
  QApplication::sendEvent(w, &ev);
}

static POINT screenOf(HWND h, int x, int y) {
  POINT p{x, y};
  ClientToScreen(h, &p);
  return p;
}

void AfxTestClick(HWND h, int x, int y, UINT mods) {
  POINT p = screenOf(h, x, y);
  AfxTestMouse(WM_MOUSEMOVE, p, mods);
  AfxTestMouse(WM_LBUTTONDOWN, p, mods);
  AfxTestMouse(WM_LBUTTONUP, p, mods);
}

void AfxTestDoubleClick(HWND h, int x, int y, UINT mods) {
  POINT p = screenOf(h, x, y);
  AfxTestMouse(WM_MOUSEMOVE, p, mods);
  AfxTestMouse(WM_LBUTTONDOWN, p, mods);
  AfxTestMouse(WM_LBUTTONUP, p, mods);
  AfxTestMouse(WM_LBUTTONDBLCLK, p, mods);
  AfxTestMouse(WM_LBUTTONUP, p, mods);
}

void AfxTestMoveTo(HWND h, int x, int y, UINT mods) { AfxTestMouse(WM_MOUSEMOVE, screenOf(h, x, y), mods); }

void AfxTestMoveAway() {
  hoverTo(nullptr);
  SetCursorPos(-10000, -10000);
}

void AfxTestWheel(POINT pt, int delta, UINT mods) {
  QWidget* w = widgetAt(pt);
  if (!w) return;
  QPoint g(pt.x, pt.y);
  QWheelEvent ev(QPointF(w->mapFromGlobal(g)), QPointF(g), QPoint(), QPoint(0, delta), g_buttons, qmods(mods),
                 Qt::NoScrollPhase, false);
  QApplication::sendEvent(w, &ev);
}

void AfxTestKey(UINT vk, BOOL down, UINT mods, LPCTSTR text, BOOL autoRepeat) {
  QWidget* w = AfxWidgetOf(GetFocus());
  if (!w) w = AfxWidgetOf(GetActiveWindow());
  if (!w) {
    auto tops = AfxTopLevelWindows();
    if (!tops.empty()) w = AfxWidgetOf(tops.back());
  }
  if (!w) return;
  QKeyEvent ev(down ? QEvent::KeyPress : QEvent::KeyRelease, qtKey(vk), qmods(mods),
               text ? QString::fromUtf8(text) : QString(), autoRepeat != 0);
  QApplication::sendEvent(w, &ev);
}

void AfxTestKeyStroke(UINT vk, UINT mods, LPCTSTR text) {
  AfxTestKey(vk, TRUE, mods, text);
  AfxTestKey(vk, FALSE, mods, text);
}

void AfxTestWait(int ms, const std::function<bool()>& done) {
  AfxWinInit(0, nullptr);
  QElapsedTimer t;
  t.start();
  do {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (done && done()) return;
  } while (t.elapsed() < ms);
}

struct CTestCallLater::State {
  std::function<void()> fn;
  bool ran = false;
  bool cancelled = false;
};

CTestCallLater::CTestCallLater(int ms, std::function<void()> fn) : m_state(std::make_shared<State>()) {
  AfxWinInit(0, nullptr);
  m_state->fn = std::move(fn);
  // The timer holds the state, not this object, so a cancelled call finds its flag still there.
  std::shared_ptr<State> state = m_state;
  QTimer::singleShot(ms, QCoreApplication::instance(), [state] {
    if (state->cancelled || state->ran) return;
    state->ran = true;
    std::function<void()> fn = std::move(state->fn);
    fn();
  });
}

CTestCallLater::~CTestCallLater() {
  m_state->cancelled = true;
  m_state->fn = nullptr;
}

BOOL CTestCallLater::Wait(int timeoutMs) {
  std::shared_ptr<State> state = m_state;
  AfxTestWait(timeoutMs, [state] { return state->ran; });
  return state->ran;
}

BOOL CTestCallLater::HasRun() const { return m_state->ran; }

static void paintTree(HWND h) {
  AfxPaintNow(h);
  AfxWndRec* r = AfxRec(h);
  if (!r) return;
  for (HWND c : std::vector<HWND>(r->children)) paintTree(c);
}

BOOL AfxCaptureWindow(HWND hWnd, CBitmap* pBitmap) {
  AfxWndRec* r = AfxRec(hWnd);
  if (!r || !pBitmap) return FALSE;
  paintTree(hWnd);
  if (!(r = AfxRec(hWnd))) return FALSE;
  QImage img = r->w->grab().toImage().convertToFormat(QImage::Format_RGB32);
  pBitmap->DeleteObject();
  if (!pBitmap->CreateBitmap(img.width(), img.height(), 1, 32, nullptr)) return FALSE;
  static_cast<AfxBitmapData*>(AfxGdi(pBitmap->m_hObject))->image = img;
  return TRUE;
}

BOOL AfxSaveWindowPng(HWND hWnd, LPCTSTR lpszPath) {
  CBitmap bmp;
  if (!AfxCaptureWindow(hWnd, &bmp)) return FALSE;
  return bmp.SavePng(lpszPath);
}

CPoint AfxClientOriginInCapture(HWND hWnd) {
  CPoint origin(0, 0);
  ::ClientToScreen(hWnd, &origin);
  CRect win;
  ::GetWindowRect(hWnd, &win);
  return CPoint(origin.x - win.left, origin.y - win.top);
}

void AfxSetTestTextHook(std::function<void(const CString&)> fn) { AfxTextHook() = std::move(fn); }

void AfxTestSetComposition(int nMode) { AfxSetCompositionOverride(nMode); }

BOOL AfxTestWaitCursorShown() {
  const QCursor* c = QApplication::overrideCursor();
  return c && c->shape() == Qt::WaitCursor;
}

void AfxTestApplicationState(BOOL active) {
  AfxWinInit(0, nullptr);
  auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  AfxSetTestingApplicationState(true);
  if (gui) emit gui->applicationStateChanged(active ? Qt::ApplicationActive : Qt::ApplicationInactive);
  AfxSetTestingApplicationState(false);
}

void AfxTestWindowManagerMove(HWND hWnd, int x, int y) {
  if (QWidget* w = AfxWidgetOf(hWnd)) w->move(x, y);
}

void AfxTestWindowManagerResize(HWND hWnd, int cx, int cy) {
  if (QWidget* w = AfxWidgetOf(hWnd)) w->resize(cx, cy);
}

void AfxTestWindowManagerMinimise(HWND hWnd, BOOL minimise) {
  if (QWidget* w = AfxWidgetOf(hWnd)) w->setWindowState(minimise ? Qt::WindowMinimized : Qt::WindowNoState);
}

BOOL AfxTestIsUnmanagedNoFocus(HWND hWnd) {
  QWidget* w = AfxWidgetOf(hWnd);
  if (!w) return FALSE;
  Qt::WindowFlags f = w->windowFlags();
  return (f & Qt::X11BypassWindowManagerHint) && (f & Qt::WindowDoesNotAcceptFocus) &&
         (f & Qt::WindowType_Mask) != Qt::Popup;
}

unsigned long AfxTestNativeWindowId(HWND hWnd) {
  QWidget* w = AfxWidgetOf(hWnd);
  return w && w->isWindow() ? (unsigned long)w->winId() : 0;
}

BOOL AfxTestIsManagedNoFocus(HWND hWnd) {
  QWidget* w = AfxWidgetOf(hWnd);
  if (!w || !w->isWindow()) return FALSE;
  Qt::WindowFlags f = w->windowFlags();
  return !(f & Qt::X11BypassWindowManagerHint) && (f & Qt::WindowDoesNotAcceptFocus) && (f & Qt::FramelessWindowHint) &&
         (f & Qt::WindowType_Mask) == Qt::Tool && w->parentWidget() && w->testAttribute(Qt::WA_ShowWithoutActivating);
}

BOOL AfxCaptureScreen(CBitmap* pBitmap, LPCRECT lpArea) {
  if (!pBitmap || !QCoreApplication::instance()) return FALSE;
  QRect area;
  if (lpArea)
    area = QRect(QPoint(lpArea->left, lpArea->top), QPoint(lpArea->right - 1, lpArea->bottom - 1));
  else if (QScreen* s = QGuiApplication::primaryScreen())
    area = s->geometry();
  if (area.isEmpty()) return FALSE;
  QImage out(area.size(), QImage::Format_ARGB32_Premultiplied);
  out.fill(AfxQColor(GetSysColor(COLOR_DESKTOP)));
  QPainter p(&out);
  for (HWND h : AfxTopLevelWindows()) {
    if (!IsWindowVisible(h) || IsIconic(h)) continue;
    paintTree(h);
    AfxWndRec* r = AfxRec(h);
    if (!r) continue;
    QImage pic;
    if (r->layered)
      pic = r->layer;  // blended as a compositor would; nothing when it never got a picture
    else
      pic = r->w->grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (pic.isNull()) continue;
    QPoint at = r->w->mapToGlobal(QPoint(0, 0)) - area.topLeft();
    p.save();
    if (r->hasShape) p.setClipRegion(r->shape.translated(at));
    p.drawImage(at, pic);
    p.restore();
  }
  p.end();
  pBitmap->DeleteObject();
  if (!pBitmap->CreateBitmap(out.width(), out.height(), 1, 32, nullptr)) return FALSE;
  static_cast<AfxBitmapData*>(AfxGdi(pBitmap->m_hObject))->image = out.convertToFormat(QImage::Format_RGB32);
  return TRUE;
}

BOOL AfxSaveScreenPng(LPCTSTR lpszPath, LPCRECT lpArea) {
  CBitmap bmp;
  if (!AfxCaptureScreen(&bmp, lpArea)) return FALSE;
  return bmp.SavePng(lpszPath);
}

namespace {
// XTEST, loaded when used: only tests need it, and only on X11.
struct XTest {
  Display* dpy = nullptr;
  int (*motion)(Display*, int, int, int, unsigned long) = nullptr;
  int (*button)(Display*, unsigned int, int, unsigned long) = nullptr;
  int (*key)(Display*, unsigned int, int, unsigned long) = nullptr;
  unsigned char (*keycode)(Display*, unsigned long) = nullptr;
  int (*flush)(Display*) = nullptr;
};
bool xtest(XTest* t) {
  auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  if (!gui || QGuiApplication::platformName() != QLatin1String("xcb")) return false;
  auto* x11 = gui->nativeInterface<QNativeInterface::QX11Application>();
  t->dpy = x11 ? x11->display() : nullptr;
  if (!t->dpy) return false;
  static void* xtst = ::dlopen("libXtst.so.6", RTLD_NOW | RTLD_LOCAL);
  static void* x11lib = ::dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
  if (!xtst || !x11lib) return false;
  t->motion = reinterpret_cast<decltype(t->motion)>(::dlsym(xtst, "XTestFakeMotionEvent"));
  t->button = reinterpret_cast<decltype(t->button)>(::dlsym(xtst, "XTestFakeButtonEvent"));
  t->key = reinterpret_cast<decltype(t->key)>(::dlsym(xtst, "XTestFakeKeyEvent"));
  t->keycode = reinterpret_cast<decltype(t->keycode)>(::dlsym(x11lib, "XKeysymToKeycode"));
  t->flush = reinterpret_cast<decltype(t->flush)>(::dlsym(x11lib, "XFlush"));
  return t->motion && t->button && t->key && t->keycode && t->flush;
}
}  // namespace

BOOL AfxTestServerClick(POINT pt) {
  XTest t;
  if (!xtest(&t)) return FALSE;
  t.motion(t.dpy, -1, pt.x, pt.y, 0);
  t.button(t.dpy, 1, 1, 0);
  t.button(t.dpy, 1, 0, 0);
  t.flush(t.dpy);
  return TRUE;
}

BOOL AfxTestServerMouse(POINT pt, int nButton) {
  XTest t;
  if (!xtest(&t)) return FALSE;
  t.motion(t.dpy, -1, pt.x, pt.y, 0);
  if (nButton > 0)
    t.button(t.dpy, 1, 1, 0);
  else if (nButton == 0)
    t.button(t.dpy, 1, 0, 0);
  t.flush(t.dpy);
  return TRUE;
}

BOOL AfxTestServerKey(UINT vk, BOOL down) {
  XTest t;
  if (!xtest(&t)) return FALSE;
  unsigned long sym = 0;
  if (vk >= 'A' && vk <= 'Z')
    sym = vk - 'A' + 'a';
  else if (vk >= '0' && vk <= '9')
    sym = vk;
  else if (vk >= VK_F1 && vk <= VK_F12)
    sym = 0xFFBE + (vk - VK_F1);
  else
    switch (vk) {
      case VK_MENU: sym = 0xFFE9; break;
      case VK_CONTROL: sym = 0xFFE3; break;
      case VK_SHIFT: sym = 0xFFE1; break;
      case VK_ESCAPE: sym = 0xFF1B; break;
      case VK_RETURN: sym = 0xFF0D; break;
      case VK_TAB: sym = 0xFF09; break;
      case VK_SPACE: sym = 0x20; break;
    }
  const unsigned code = sym ? t.keycode(t.dpy, sym) : 0;
  if (!code) return FALSE;
  t.key(t.dpy, code, down ? 1 : 0, 0);
  t.flush(t.dpy);
  return TRUE;
}
