// Internal to the user-interface layer: the Qt side of windows and devices.
#pragma once

#include "platform/ui/Gdi.h"

#include <QColor>
#include <QEvent>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QWidget>

#include <climits>
#include <functional>
#include <map>
#include <string>
#include <vector>

class NeapWidget;

struct AfxTimer {
  int qtId = 0;
  TIMERPROC proc = nullptr;
};

struct AfxScrollState {
  SCROLLINFO si{sizeof(SCROLLINFO), 0, 0, 100, 0, 0, 0};
  bool visible = true;
};

// Everything the layer knows of one window.
struct AfxWndRec {
  HWND h = nullptr;
  CWnd* wnd = nullptr;  // the permanent object, null once detached
  NeapWidget* w = nullptr;
  WNDPROC proc = nullptr;
  DWORD style = 0;
  DWORD exStyle = 0;
  UINT id = 0;
  HWND parent = nullptr;  // of a child window
  HWND owner = nullptr;   // of a popup or top-level window
  std::string cls;
  UINT clsStyle = 0;
  HCURSOR clsCursor = nullptr;
  HBRUSH clsBrush = nullptr;
  std::string text;
  HFONT font = nullptr;
  LONG_PTR userData = 0;
  HMENU menu = nullptr;
  // The client area's pixels, made at the recorded size on first use (AfxBacking): layouts
  // resize windows many times while they are built, and hidden pages never need theirs.
  QImage backingPixels;
  QSize backingSize;
  QRegion invalid;
  bool erase = false;
  bool destroying = false;
  bool painting = false;
  bool trackLeave = false;
  bool redraw = true;
  bool enabled = true;
  QPoint reportedPos{INT_MIN, INT_MIN};  // of a top-level window, as last reported by WM_MOVE
  std::map<UINT_PTR, AfxTimer> timers;
  AfxScrollState sb[2];
  std::vector<HWND> children;  // bottom of the z-order first
  // Layered top-level windows show this premultiplied picture (UpdateLayeredWindow).
  bool layered = false;
  QImage layer;
  // The window shape (SetWindowRgn), in window coordinates.
  bool hasShape = false;
  QRegion shape;
  // The X input shape is empty: clicks go to whatever lies beneath.
  bool inputTransparent = false;
  bool inQtPaint = false;  // inside the widget's paint event, which can't be asked again
  // A window with the window manager's frame: the whole window asked for (decorations
  // included), and the frame extents it was sized with, to size it again once they are known.
  QRect wantWhole;
  QMargins extentsUsed;
  HICON iconBig = nullptr, iconSmall = nullptr;
};

// Registry of live windows. Look-ups are safe from any thread.
AfxWndRec* AfxRec(HWND h);  // UI thread only; null for a window that is gone
QWidget* AfxWidgetOf(HWND h);
std::vector<HWND> AfxTopLevelWindows();  // bottom first
QMargins AfxNonClientMargins(const AfxWndRec* r);
// The window's pixels at its client size, made (old pixels kept where they fit) if needed.
QImage& AfxBacking(AfxWndRec* r);
inline QRect AfxBackingRect(const AfxWndRec* r) { return QRect(QPoint(0, 0), r->backingSize); }
QPoint AfxClientOriginOnScreen(const AfxWndRec* r);
bool AfxIsUiThread();
void AfxEnsureDispatcher();
void AfxNoteApplicationState(bool active);
// While the tests report an activation change (AfxTestApplicationState).
bool AfxTestingApplicationState();
void AfxSetTestingApplicationState(bool on);  // WM_ACTIVATEAPP to every top-level window on a change
// Hands a queued message through hooks and PreTranslateMessage to its window; false when a
// thread hook swallowed it.
bool AfxPumpMessage(MSG& msg);
// Paints what is invalid now (WM_PAINT), if anything.
void AfxPaintNow(HWND h);
void AfxWindowPixelsChanged(HWND h, const QRect& clientRect);
int AfxModalDepth();
// Offers a message read from the queue to the innermost modal loop's filter; true when the
// filter handled it. Called after the thread hooks, before PreTranslateMessage.
bool AfxModalLoopFilter(MSG& msg);
// Asks the innermost modal loop's condition again after a message was handled.
void AfxModalLoopMessageDone();
void AfxNoteMessageForIdle();
// A key-down that an accelerator translated makes no character (TranslateAccelerator notes it,
// the key translation asks and clears).
void AfxNoteKeyTranslated();
bool AfxTakeKeyTranslated();
// Cursors of the program's resources (Icons.cpp): a shared handle, null when there is none;
// and the Qt cursor of such a handle (false for the system's cursors, which are their ids).
HCURSOR AfxLoadCursorResource(LPCTSTR lpCursorName);
class QCursor;
bool AfxQCursorOf(HCURSOR h, QCursor* out);
void AfxNoteQuit(int code);
// Layered windows, shapes and input transparency (Layered.cpp).
bool AfxInShape(const AfxWndRec* r, QPoint screen);
// A top-level window was shown or resized: one that answers HTTRANSPARENT gets an empty input shape.
void AfxUpdateInputShape(HWND h);
void AfxPaintLayer(QPainter& p, AfxWndRec* r);
// Stands in for the compositing manager's presence: 1 one runs, 0 none, -1 ask the display.
void AfxSetCompositionOverride(int nMode);
// Lets Qt ask the windows for their accessibility objects (Accessible.cpp).
void AfxAccInstall();
// Where the platform has no reader bridge, a test listens: the windows answer and send events.
void AfxAccSetListening(bool on);
// Each event a reader is told is also kept here as a line; null stops it.
void AfxAccSetEventLog(std::vector<CString>* pEvents);
// What every text drawn by a device context is handed to, when set (Gdi.cpp).
std::function<void(const CString&)>& AfxTextHook();
// The X server's connection under xcb, null on any other platform (WindowManager.cpp).
struct xcb_connection_t;
xcb_connection_t* AfxXcbConnection();
// The window manager (WindowManager.cpp). A top-level window's native window was made: its
// class and title go to the window manager before it is mapped.
void AfxNativeWindowMade(AfxWndRec* r);
// The frame extents the window manager gives a window of the title-bar kind: known ones of
// a mapped window, else the last seen, else asked of the window manager once; none without one.
QMargins AfxWindowManagerExtents(AfxWndRec* r);
// The work area of the screen (panels excluded); the whole screen where it is unusable.
QRect AfxWorkArea();
// The picture of an icon handle, null for none (Icons.cpp).
QImage AfxIconImage(HICON h);

// What windows ask of the frames, menus and controls built on them. Wnd.cpp knows none of
// those; FrameWnd.cpp, Menu.cpp and CtlCore.cpp fill these in as they are linked in (a program
// with no menu has no menu item to draw). Null until then: no frame, no menu, nothing drawn.
struct AfxWndHooks {
  // The frame object of a window, null when it is no frame.
  CFrameWnd* (*frameOf)(HWND h) = nullptr;
  // A menu's object (a temporary one for a menu without), and a menu object's handle.
  CMenu* (*menuFromHandle)(HMENU h) = nullptr;
  HMENU (*menuHandle)(const CMenu* m) = nullptr;
  // An owner-drawn menu item measured or drawn by its menu object; false when none has it.
  bool (*measureMenuItem)(MEASUREITEMSTRUCT* mis) = nullptr;
  bool (*drawMenuItem)(DRAWITEMSTRUCT* dis) = nullptr;
  // An owner-drawn control drawn by its own control object; false when it has none.
  bool (*drawControlItem)(DRAWITEMSTRUCT* dis) = nullptr;
};
extern AfxWndHooks g_afxWndHooks;

// A window's Qt widget: turns Qt's events into the window's messages.
class NeapWidget : public QWidget {
 public:
  NeapWidget(HWND h, QWidget* parent, Qt::WindowFlags f);
  HWND m_h;

 protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  bool focusNextPrevChild(bool) override { return false; }
};

// ---- Device contexts ----
struct AfxGdiData {
  enum Kind { Pen, Brush, Font, Bitmap, Rgn, Palette } kind;
  bool stock = false;
  CGdiObject* owner = nullptr;  // the C++ object that holds the handle, if any
  explicit AfxGdiData(Kind k) : kind(k) {}
  virtual ~AfxGdiData() = default;
};
struct AfxPenData : AfxGdiData {
  AfxPenData() : AfxGdiData(Pen) {}
  int style = PS_SOLID;
  int width = 1;
  COLORREF color = 0;
  int endCap = PS_ENDCAP_ROUND;
  int join = PS_JOIN_ROUND;
};
struct AfxBrushData : AfxGdiData {
  AfxBrushData() : AfxGdiData(Brush) {}
  int style = BS_SOLID;
  COLORREF color = 0;
  int hatch = 0;
  QImage pattern;
  int sysColor = -1;  // follows a system colour
};
struct AfxFontData : AfxGdiData {
  AfxFontData() : AfxGdiData(Font) {}
  LOGFONT lf{};
  QFont qfont;
};
struct AfxBitmapData : AfxGdiData {
  AfxBitmapData() : AfxGdiData(Bitmap) {}
  QImage image;       // RGB32 or ARGB32 premultiplied
  bool mono = false;  // 1 bit per pixel: black 0, white 1
  int selectedIn = 0;
};
struct AfxRgnData : AfxGdiData {
  AfxRgnData() : AfxGdiData(Rgn) {}
  QRegion rgn;
};
struct AfxPaletteData : AfxGdiData {
  AfxPaletteData() : AfxGdiData(Palette) {}
  std::vector<PALETTEENTRY> entries;
};

inline AfxGdiData* AfxGdi(HGDIOBJ h) { return reinterpret_cast<AfxGdiData*>(h); }
inline HGDIOBJ AfxHandle(AfxGdiData* d) { return reinterpret_cast<HGDIOBJ>(d); }

QColor AfxQColor(COLORREF c);
COLORREF AfxColorRef(QRgb c);
QFont AfxMakeQFont(const LOGFONT& lf);

struct AfxDcSaved {
  HGDIOBJ pen, brush, font, bitmap;
  COLORREF text, bk;
  int bkMode, rop2, align, stretch, polyFill;
  QPoint viewportOrg, windowOrg;
  bool hasClip;
  QRegion clip;
};

struct AfxDcState {
  enum Kind { Window, Memory, Print } kind = Memory;
  HWND hwnd = nullptr;    // window DCs
  bool windowDc = false;  // includes the non-client area
  QPaintDevice* device = nullptr;
  QImage* image = nullptr;  // the pixels drawn, when an image
  QSize physicalSize;       // printers: the whole sheet; the image is its printable area
  QPoint physicalOffset;    // printers: where the printable area starts on the sheet
  QPainter painter;
  bool painterOpen = false;
  QPoint deviceOffset;  // origin of the DC on its device (window DCs)
  QRegion baseClip;     // device-level limit (paint DC: the invalid region)
  bool hasBaseClip = false;
  bool hasClip = false;
  QRegion clip;  // selected clip region, in device coordinates of the DC
  HGDIOBJ pen, brush, font, bitmap;
  COLORREF text = 0, bk = 0xFFFFFF;
  COLORREF dcBrush = 0xFFFFFF, dcPen = 0;
  int bkMode = OPAQUE, rop2 = R2_COPYPEN, align = 0, stretch = BLACKONWHITE, polyFill = ALTERNATE;
  int mapMode = MM_TEXT;
  QPoint viewportOrg, windowOrg, brushOrg;
  QPoint cur;
  bool inPath = false;
  bool pathDone = false;
  QPainterPath path;
  std::vector<AfxDcSaved> saved;
  std::map<HGDIOBJ, CGdiObject*> temps;
};
