// Plain windows the popup, shadow and layered-window tests stand in for menus, and reading a
// pixel of a captured picture.
#pragma once

#include "platform/ui/AfxWin.h"

#include <gtest/gtest.h>

#include <memory>

namespace test_support {

// A popup filled with one colour that counts the clicks it gets; a hit other than HTCLIENT
// answers its hit test (a caption, a border).
class CSolidWnd : public CWnd {
 public:
  COLORREF clr = RGB(255, 255, 255);
  LRESULT hit = HTCLIENT;
  int clicks = 0;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_ERASEBKGND) return 1;
    if (message == WM_PAINT) {
      CPaintDC dc(this);
      CRect rc;
      GetClientRect(&rc);
      Paint(dc, rc);
      return 0;
    }
    if (message == WM_NCHITTEST && hit != HTCLIENT) return hit;
    if (message == WM_LBUTTONDOWN) ++clicks;
    return CWnd::WindowProc(message, wParam, lParam);
  }

 protected:
  virtual void Paint(CDC& dc, const CRect& rc) { dc.FillSolidRect(&rc, clr); }
};

// Shown without taking the activation, a tool window as the toolkit's popups are.
inline std::unique_ptr<CSolidWnd> MakeSolidPopup(CRect rc, COLORREF clr, DWORD exStyle = 0) {
  auto w = std::make_unique<CSolidWnd>();
  w->clr = clr;
  EXPECT_TRUE(w->CreateEx(exStyle | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, AfxRegisterWndClass(0), nullptr, WS_POPUP,
                          rc.left, rc.top, rc.Width(), rc.Height(), nullptr, nullptr));
  w->ShowWindow(SW_SHOWNA);
  return w;
}

inline COLORREF BitmapPixel(CBitmap& bmp, int x, int y) {
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CBitmap* old = dc.SelectObject(&bmp);
  COLORREF c = dc.GetPixel(x, y);
  dc.SelectObject(old);
  return c;
}

}  // namespace test_support
