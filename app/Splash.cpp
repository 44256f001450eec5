#include "app/Splash.h"

#include "app/DialogDrawing.h"
#include "app/DialogsResource.h"

#ifndef WM_NCMBUTTONDOWN
#define WM_NCMBUTTONDOWN 0x00A7
#endif

namespace {
CSplashWnd* g_pSplash = nullptr;
BOOL g_bEnabled = FALSE;

void DestroySplash() {
  CWnd* main = AfxGetMainWnd();
  if (g_pSplash && g_pSplash->m_hWnd) g_pSplash->DestroyWindow();
  if (main && main->m_hWnd) main->UpdateWindow();
}
}  // namespace

IMPLEMENT_DYNAMIC(CSplashWnd, CWnd)

BEGIN_MESSAGE_MAP(CSplashWnd, CWnd)
  ON_WM_CREATE()
  ON_WM_PAINT()
END_MESSAGE_MAP()

CSplashWnd::CSplashWnd() = default;

CSplashWnd::~CSplashWnd() {
  if (g_pSplash == this) g_pSplash = nullptr;
}

CSplashWnd* CSplashWnd::GetSplash() { return g_pSplash; }

BOOL CSplashWnd::Create(CWnd* pParentWnd) {
  if (!LoadBitmapWithPalette(IDB_SPLASH, m_bitmap, m_palette)) return FALSE;
  BITMAP bm{};
  m_bitmap.GetBitmap(&bm);
  return CreateEx(0, AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW)), nullptr,
                  WS_POPUP | WS_VISIBLE | WS_DLGFRAME, 0, 0, bm.bmWidth + 2 * ::GetSystemMetrics(SM_CYEDGE),
                  bm.bmHeight + 2 * ::GetSystemMetrics(SM_CXEDGE), pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr,
                  nullptr);
}

int CSplashWnd::OnCreate(LPCREATESTRUCT lpcs) {
  if (CWnd::OnCreate(lpcs) == -1) return -1;
  CenterWindow();
  return 0;
}

void CSplashWnd::OnPaint() {
  CPaintDC dc(this);
  CPalette* oldPalette = dc.SelectPalette(&m_palette, FALSE);
  dc.RealizePalette();
  CDC mem;
  if (!mem.CreateCompatibleDC(&dc)) return;
  CBitmap* old = mem.SelectObject(&m_bitmap);
  BITMAP bm{};
  m_bitmap.GetBitmap(&bm);
  dc.BitBlt(0, 0, bm.bmWidth, bm.bmHeight, &mem, 0, 0, SRCCOPY);
  mem.SelectObject(old);
  if (oldPalette) dc.SelectPalette(oldPalette, FALSE);
}

void CSplashWnd::PostNcDestroy() {
  // The window object goes with its window.
  if (g_pSplash == this) g_pSplash = nullptr;
  delete this;
}

void EnableSplashScreen(BOOL bEnable) { g_bEnabled = bEnable; }
BOOL IsSplashScreenEnabled() { return g_bEnabled; }

void ShowSplashScreen(CWnd* pParentWnd) {
  if (!g_bEnabled || g_pSplash) return;
  auto* splash = new CSplashWnd;
  g_pSplash = splash;
  if (!splash->Create(pParentWnd)) {
    // A missing picture means no splash, and no word about it.
    if (splash->m_hWnd) {
      splash->DestroyWindow();
    } else {
      g_pSplash = nullptr;
      delete splash;
    }
    return;
  }
  splash->UpdateWindow();
}

void HideSplashScreen() {
  if (g_bEnabled && g_pSplash) DestroySplash();
}

BOOL PreTranslateSplashMessage(MSG* pMsg) {
  if (!g_pSplash || !pMsg) return FALSE;
  switch (pMsg->message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN: DestroySplash(); return TRUE;
    default: return FALSE;
  }
}
