// Layered top-level windows (per-pixel alpha), window shapes, input-transparent windows, and
// showing a window's pixels at once (animation frames).
#pragma once

#include "platform/ui/Gdi.h"

#define ULW_COLORKEY 0x00000001
#define ULW_ALPHA 0x00000002
#define ULW_OPAQUE 0x00000004

// A WS_EX_LAYERED top-level window shows the picture given here instead of painting: with
// ULW_ALPHA and AC_SRC_ALPHA a premultiplied 32-bit picture blended source-over with what lies
// beneath. pptDst and psize move and size the window (either may be null); pptSrc is where the
// picture starts in hdcSrc's bitmap. FALSE without a compositing manager, which alone blends:
// the caller then draws an opaque window instead.
BOOL UpdateLayeredWindow(HWND hWnd, HDC hdcDst, POINT* pptDst, SIZE* psize, HDC hdcSrc, POINT* pptSrc, COLORREF crKey,
                         BLENDFUNCTION* pblend, DWORD dwFlags);
// Whether a compositing manager blends layered windows now. On X11 the owner of the
// _NET_WM_CM_S<screen> selection, asked on every call, since one can start or stop at any time.
BOOL AfxIsCompositionActive();

// The window's shape, in window coordinates: outside it the window neither shows nor takes
// clicks. The system owns the region from here on (it is deleted); null gives the whole window back.
int SetWindowRgn(HWND hWnd, HRGN hRgn, BOOL bRedraw);
// Copies the shape into hRgn; ERROR (0) when the window has none.
int GetWindowRgn(HWND hWnd, HRGN hRgn);

// Puts what the window has drawn on the screen now, without waiting for the event loop: pending
// WM_PAINT first, then its pixels are handed to the display.
BOOL AfxPresentWindow(HWND hWnd);
