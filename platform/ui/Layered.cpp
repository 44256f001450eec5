// Layered windows, window shapes, input transparency and presenting pixels at once. On X11 the
// blending is the compositing manager's, and the shapes are the server's (shape extension).
#include "platform/ui/Layered.h"

#include "platform/ui/UiInternal.h"
#include "platform/ui/Wnd.h"

#include <QtGui/qguiapplication_platform.h>
#include <QGuiApplication>

#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int g_testComposition = -1;  // -1: ask the display; 0 none; 1 one is running

xcb_connection_t* xcbConnection() { return AfxXcbConnection(); }

// The screen number of DISPLAY (":0.1" is screen 1).
int screenNumber() {
  const char* d = std::getenv("DISPLAY");
  if (!d) return 0;
  const char* colon = std::strrchr(d, ':');
  const char* dot = colon ? std::strchr(colon, '.') : nullptr;
  return dot ? std::atoi(dot + 1) : 0;
}

bool compositorOnX11(xcb_connection_t* c) {
  std::string name = "_NET_WM_CM_S" + std::to_string(screenNumber());
  xcb_intern_atom_reply_t* atom =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, (uint16_t)name.size(), name.c_str()), nullptr);
  if (!atom) return false;
  bool present = false;
  if (atom->atom != XCB_ATOM_NONE) {
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom->atom), nullptr);
    if (owner) {
      present = owner->owner != XCB_WINDOW_NONE;
      std::free(owner);
    }
  }
  std::free(atom);
  return present;
}

}  // namespace

BOOL AfxIsCompositionActive() {
  if (g_testComposition >= 0) return g_testComposition ? TRUE : FALSE;
  xcb_connection_t* c = xcbConnection();
  return c && compositorOnX11(c) ? TRUE : FALSE;
}

void AfxSetCompositionOverride(int nMode) { g_testComposition = nMode < 0 ? -1 : (nMode ? 1 : 0); }

BOOL UpdateLayeredWindow(HWND hWnd, HDC, POINT* pptDst, SIZE* psize, HDC hdcSrc, POINT* pptSrc, COLORREF,
                         BLENDFUNCTION* pblend, DWORD dwFlags) {
  AfxWndRec* r = AfxRec(hWnd);
  if (!r || !r->layered) return FALSE;
  // Nothing would blend the alpha: the picture would show its premultiplied colours, dark.
  if (!AfxIsCompositionActive()) return FALSE;
  if (pptDst || psize) {
    RECT wr;
    ::GetWindowRect(hWnd, &wr);
    int x = pptDst ? pptDst->x : wr.left, y = pptDst ? pptDst->y : wr.top;
    int cx = psize ? psize->cx : wr.right - wr.left, cy = psize ? psize->cy : wr.bottom - wr.top;
    ::SetWindowPos(hWnd, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    if (!(r = AfxRec(hWnd))) return FALSE;
  }
  if (hdcSrc) {
    CDC* dc = CDC::FromHandle(hdcSrc);
    AfxDcState* s = dc ? dc->GetState() : nullptr;
    if (!s || !s->image) return FALSE;
    QSize size = psize ? QSize(psize->cx, psize->cy) : r->w->size();
    if (size.isEmpty()) return FALSE;
    QPoint from =
        (pptSrc ? QPoint(pptSrc->x, pptSrc->y) : QPoint(0, 0)) + s->viewportOrg - s->windowOrg + s->deviceOffset;
    QImage pic = s->image->copy(QRect(from, size));
    bool alpha = (dwFlags & ULW_ALPHA) && pblend && (pblend->AlphaFormat & AC_SRC_ALPHA);
    if (alpha)
      pic.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
    else
      pic = pic.convertToFormat(QImage::Format_RGB32).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    int constant = (dwFlags & ULW_ALPHA) && pblend ? pblend->SourceConstantAlpha : 255;
    if (constant != 255) {
      QImage faded(pic.size(), QImage::Format_ARGB32_Premultiplied);
      faded.fill(0);
      QPainter p(&faded);
      p.setOpacity(constant / 255.0);
      p.drawImage(0, 0, pic);
      p.end();
      pic = faded;
    }
    r->layer = pic;
  }
  r->w->update();
  return TRUE;
}

void AfxPaintLayer(QPainter& p, AfxWndRec* r) {
  p.setCompositionMode(QPainter::CompositionMode_Source);
  if (r->layer.isNull())
    p.fillRect(r->w->rect(), Qt::transparent);
  else
    p.drawImage(0, 0, r->layer);
  p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

bool AfxInShape(const AfxWndRec* r, QPoint screen) {
  if (!r->hasShape) return true;
  return r->shape.contains(screen - r->w->mapToGlobal(QPoint(0, 0)));
}

int SetWindowRgn(HWND hWnd, HRGN hRgn, BOOL bRedraw) {
  AfxWndRec* r = AfxRec(hWnd);
  if (!r) return 0;
  if (hRgn) {
    r->shape = static_cast<AfxRgnData*>(AfxGdi(hRgn))->rgn;
    r->hasShape = true;
    ::DeleteObject(hRgn);
  } else {
    r->shape = QRegion();
    r->hasShape = false;
  }
  // The headless platform has no shapes (the layer's own hit tests and pictures use r->shape).
  // An empty shape hides the window entirely; Qt reads an empty mask as no mask.
  if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
  } else if (!r->hasShape)
    r->w->clearMask();
  else if (r->shape.isEmpty())
    r->w->setMask(QRegion(-1, -1, 1, 1));
  else
    r->w->setMask(r->shape);
  if (bRedraw) r->w->update();
  return 1;
}

int GetWindowRgn(HWND hWnd, HRGN hRgn) {
  AfxWndRec* r = AfxRec(hWnd);
  if (!r || !r->hasShape || !hRgn) return ERROR;
  static_cast<AfxRgnData*>(AfxGdi(hRgn))->rgn = r->shape;
  if (r->shape.isEmpty()) return NULLREGION;
  return r->shape.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

// Clicks on a window that calls itself transparent (a drop shadow) must reach what lies beneath
// on the server too; the backend's own input-transparent flag did not do that here, an empty
// input shape does.
void AfxUpdateInputShape(HWND h) {
  AfxWndRec* r = AfxRec(h);
  if (!r || (r->style & WS_CHILD) || !(r->style & WS_VISIBLE)) return;
  QRect g(r->w->mapToGlobal(QPoint(0, 0)), r->w->size());
  if (g.isEmpty()) return;
  QPoint c = g.center();
  LRESULT ht = ::SendMessage(h, WM_NCHITTEST, 0, MAKELPARAM(c.x(), c.y()));
  if (!(r = AfxRec(h))) return;
  bool transparent = ht == HTTRANSPARENT || ((r->exStyle & WS_EX_LAYERED) && (r->exStyle & WS_EX_TRANSPARENT));
  if (transparent == r->inputTransparent) return;
  r->inputTransparent = transparent;
  xcb_connection_t* conn = xcbConnection();
  if (!conn) return;
  xcb_window_t win = (xcb_window_t)r->w->winId();
  if (transparent)
    xcb_shape_rectangles(conn, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, XCB_CLIP_ORDERING_UNSORTED, win, 0, 0, 0, nullptr);
  else
    xcb_shape_mask(conn, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, win, 0, 0, XCB_NONE);
  xcb_flush(conn);
}

BOOL AfxPresentWindow(HWND hWnd) {
  AfxWndRec* r = AfxRec(hWnd);
  if (!r) return FALSE;
  AfxPaintNow(hWnd);
  if (!(r = AfxRec(hWnd))) return FALSE;
  // Paints and flushes the backing store now; inside the widget's own paint event the pixels go
  // out when it ends.
  if (r->w->isVisible() && !r->inQtPaint) r->w->repaint();
  if (xcb_connection_t* c = xcbConnection()) xcb_flush(c);
  return TRUE;
}
