// What the program tells the X window manager of its windows (class, title), and what it
// learns from it (the extents of its frames). Nothing here is needed without a window manager.
#include "platform/ui/UiInternal.h"

#include <QGuiApplication>
#include <QScreen>
#include <QThread>
#include <QWindow>

#include <xcb/xcb.h>

#include <chrono>
#include <cstring>
#include <string>

namespace {

QMargins g_extents;  // the last seen frame extents of a titled window
bool g_extentsKnown = false;
bool g_extentsAsked = false;

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* r =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, (uint16_t)std::strlen(name), name), nullptr);
  xcb_atom_t a = r ? r->atom : (xcb_atom_t)XCB_ATOM_NONE;
  std::free(r);
  return a;
}

xcb_window_t rootWindow(xcb_connection_t* c) {
  const xcb_setup_t* setup = xcb_get_setup(c);
  xcb_screen_iterator_t it = xcb_setup_roots_iterator(setup);
  return it.rem ? it.data->root : (xcb_window_t)XCB_WINDOW_NONE;
}

// The CARDINAL values of a window's property (at most n).
int cardinals(xcb_connection_t* c, xcb_window_t w, xcb_atom_t prop, uint32_t* out, int n) {
  xcb_get_property_reply_t* r =
      xcb_get_property_reply(c, xcb_get_property(c, 0, w, prop, XCB_ATOM_CARDINAL, 0, (uint32_t)n), nullptr);
  int got = 0;
  if (r && r->format == 32) {
    got = std::min(n, (int)(xcb_get_property_value_length(r) / 4));
    std::memcpy(out, xcb_get_property_value(r), (size_t)got * 4);
  }
  std::free(r);
  return got;
}

// A window manager that follows the desktop conventions says so on the root window.
bool windowManagerRuns(xcb_connection_t* c) {
  xcb_atom_t check = atom(c, "_NET_SUPPORTING_WM_CHECK");
  if (check == XCB_ATOM_NONE) return false;
  xcb_get_property_reply_t* r =
      xcb_get_property_reply(c, xcb_get_property(c, 0, rootWindow(c), check, XCB_ATOM_WINDOW, 0, 1), nullptr);
  const bool runs = r && r->format == 32 && xcb_get_property_value_length(r) == 4;
  std::free(r);
  return runs;
}

// Before any window is framed: asks the window manager what frame a titled window of ours
// would get (_NET_REQUEST_FRAME_EXTENTS), on a window of its own that is never shown. One that
// never answers costs a short wait, once.
bool askExtents(xcb_connection_t* c, QMargins* out) {
  if (!windowManagerRuns(c)) return false;
  const xcb_window_t root = rootWindow(c);
  const xcb_atom_t request = atom(c, "_NET_REQUEST_FRAME_EXTENTS"), extents = atom(c, "_NET_FRAME_EXTENTS");
  if (request == XCB_ATOM_NONE || extents == XCB_ATOM_NONE) return false;
  const xcb_window_t w = xcb_generate_id(c);
  xcb_create_window(c, XCB_COPY_FROM_PARENT, w, root, 0, 0, 100, 100, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                    XCB_COPY_FROM_PARENT, 0, nullptr);
  xcb_client_message_event_t ev{};
  ev.response_type = XCB_CLIENT_MESSAGE;
  ev.format = 32;
  ev.window = w;
  ev.type = request;
  xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&ev));
  xcb_flush(c);
  bool got = false;
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(400);
  while (!got && std::chrono::steady_clock::now() < until) {
    uint32_t v[4];
    if (cardinals(c, w, extents, v, 4) == 4) {
      *out = QMargins((int)v[0], (int)v[2], (int)v[1], (int)v[3]);
      got = true;
    } else {
      QThread::msleep(10);
    }
  }
  xcb_destroy_window(c, w);
  xcb_flush(c);
  // Absurd answers are no answer.
  if (got && (out->left() > 200 || out->right() > 200 || out->top() > 200 || out->bottom() > 200)) return false;
  return got;
}

void setString(xcb_connection_t* c, xcb_window_t w, xcb_atom_t prop, xcb_atom_t type, const std::string& v) {
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, prop, type, 8, (uint32_t)v.size(), v.data());
}

}  // namespace

xcb_connection_t* AfxXcbConnection() {
  // Asked on every window rectangle: the answer is kept once there is an application.
  static QCoreApplication* s_app = nullptr;
  static xcb_connection_t* s_connection = nullptr;
  auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  if (!gui) return nullptr;
  if (gui != s_app) {
    s_app = gui;
    auto* x11 = QGuiApplication::platformName() == QLatin1String("xcb")
                    ? gui->nativeInterface<QNativeInterface::QX11Application>()
                    : nullptr;
    s_connection = x11 ? x11->connection() : nullptr;
  }
  return s_connection;
}

void AfxNativeWindowMade(AfxWndRec* r) {
  xcb_connection_t* c = AfxXcbConnection();
  if (!c || !r || !r->w) return;
  const auto w = (xcb_window_t)r->w->internalWinId();
  if (!w) return;
  // The program's class for docks and task bars, whatever the process was started as.
  static const char kClass[] = "neapwise\0Neapwise";
  setString(c, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, std::string(kClass, sizeof kClass));
  // The title under both names, the older one for window managers that read no other.
  if (!r->text.empty()) {
    setString(c, w, atom(c, "_NET_WM_NAME"), atom(c, "UTF8_STRING"), r->text);
    setString(c, w, XCB_ATOM_WM_NAME, atom(c, "UTF8_STRING"), r->text);
  }
  xcb_flush(c);
}

QMargins AfxWindowManagerExtents(AfxWndRec* r) {
  xcb_connection_t* c = AfxXcbConnection();
  if (r && r->w && r->w->isVisible() && r->w->windowHandle()) {
    const QMargins m = r->w->windowHandle()->frameMargins();
    if (!m.isNull() && c) {
      g_extents = m;
      g_extentsKnown = true;
    }
    if (!m.isNull() || !c) return m;
  }
  // Only an X window manager is asked or remembered (another platform's frames are its own).
  if (!c) return QMargins();
  if (!g_extentsKnown && !g_extentsAsked) {
    g_extentsAsked = true;
    g_extentsKnown = askExtents(c, &g_extents);
  }
  return g_extentsKnown ? g_extents : QMargins();
}

QRect AfxWorkArea() {
  QScreen* s = QGuiApplication::primaryScreen();
  if (!s) return QRect(0, 0, 1024, 768);
  const QRect screen = s->geometry(), work = s->availableGeometry() & screen;
  // A work area of no use (empty, or a panel said to cover nearly all) is the whole screen.
  if (work.width() < 200 || work.height() < 150) return screen;
  return work;
}
