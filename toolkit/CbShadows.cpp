#include "toolkit/CbShadows.h"

#include "toolkit/CbColorManager.h"
#include "toolkit/CbCommandBar.h"
#include "toolkit/CbControl.h"
#include "toolkit/CbPaintManager.h"

#include <algorithm>
#include <vector>

// ======================================================================================
// The strip window
// ======================================================================================
BEGIN_MESSAGE_MAP(CShadowWnd, CWnd)
  ON_WM_PAINT()
  ON_WM_NCHITTEST()
  ON_WM_SIZE()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CShadowWnd::~CShadowWnd() {
  if (m_hWndPopup) CbHookManager()->RemoveHook(m_hWndPopup, this);
}

// Clicks go to what lies under the strip.
LRESULT CShadowWnd::OnNcHitTest(CPoint) { return HTTRANSPARENT; }

BOOL CShadowWnd::OnEraseBkgnd(CDC*) { return TRUE; }

void CShadowWnd::OnPaint() {
  CPaintDC dc(this);
  if (m_bLayered) return;
  CRect rc;
  GetClientRect(&rc);
  dc.FillSolidRect(&rc, CbColorManager()->GetColor(16));
}

void CShadowWnd::OnSize(UINT nType, int cx, int cy) {
  CWnd::OnSize(nType, cx, cy);
  if (m_bLayered && cx > 0 && cy > 0) UpdateLayer();
}

BOOL CShadowWnd::UpdateLayer() {
  CRect rc;
  GetWindowRect(&rc);
  if (rc.IsRectEmpty()) return FALSE;
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = rc.Width();
  bmi.bmiHeader.biHeight = -rc.Height();  // rows from the top
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* pvBits = nullptr;
  HBITMAP hBitmap = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pvBits, nullptr, 0);
  if (!hBitmap || !pvBits) {
    if (hBitmap) ::DeleteObject(hBitmap);
    return FALSE;  // left unpainted
  }
  CCbShadowsManager::FillStripBits(static_cast<DWORD*>(pvBits), rc.Width(), rc.Height(), m_bBottom, m_clrShadow,
                                   m_bOwnShadow ? 1 : 2);
  CDC dcMem;
  dcMem.CreateCompatibleDC(nullptr);
  CBitmap* pOld = dcMem.SelectObject(CBitmap::FromHandle(hBitmap));
  POINT ptSrc{0, 0};
  SIZE size{rc.Width(), rc.Height()};
  POINT ptDst{rc.left, rc.top};
  BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  BOOL bDone = ::UpdateLayeredWindow(m_hWnd, nullptr, &ptDst, &size, dcMem.GetSafeHdc(), &ptSrc, 0, &bf, ULW_ALPHA);
  dcMem.SelectObject(pOld);
  ::DeleteObject(hBitmap);
  return bDone;
}

int CShadowWnd::OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM&, LRESULT&) {
  if (hWnd != m_hWndPopup) return 0;
  if (nMessage == WM_SHOWWINDOW) {
    if (wParam)
      ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    else
      ShowWindow(SW_HIDE);
  } else if (nMessage == WM_DESTROY) {
    CbShadowsManager()->DestroyStrip(this);  // deletes this
  }
  return 0;
}

// ======================================================================================
// The manager
// ======================================================================================
CCbShadowsManager::CCbShadowsManager() = default;

CCbShadowsManager::~CCbShadowsManager() { RemoveAll(); }

BOOL CCbShadowsManager::IsShadowWanted(BOOL bOwnShadow, BOOL bLayered, BOOL bSystemDropShadow) {
  if (bOwnShadow) return TRUE;
  return bLayered && bSystemDropShadow;
}

CRect CCbShadowsManager::GetBottomRect(const CRect& rc, int w) {
  return CRect(rc.left + w, rc.bottom, rc.right + w, rc.bottom + w);
}

CRect CCbShadowsManager::GetRightRect(const CRect& rc, int w) {
  return CRect(rc.right, rc.top + w, rc.right + w, rc.bottom);
}

void CCbShadowsManager::FillStripBits(DWORD* pBits, int cx, int cy, BOOL bBottom, COLORREF clr, int q) {
  if (!pBits || cx <= 0 || cy <= 0) return;
  // Across: k from the outer edge (1) to the popup (4); along: the two 4-pixel ends fade.
  int across = bBottom ? cy : cx, along = bBottom ? cx : cy;
  for (int y = 0; y < cy; ++y) {
    for (int x = 0; x < cx; ++x) {
      int a = bBottom ? y : x, l = bBottom ? x : y;
      int k = std::min(4, across - a);  // 1 at the outer edge
      int alpha, num, den;
      int end = l < 4 ? l + 1 : (l >= along - 4 ? along - l : 0);  // j from the outer corner
      if (end > 0) {
        alpha = 3 * q * k * end;
        num = k * end;
        den = 20;
      } else {
        alpha = 15 * q * k;
        num = k;
        den = 4;
      }
      alpha = std::min(alpha, 255);
      // A premultiplied channel can't exceed its alpha.
      auto ch = [&](int c) { return (DWORD)std::min(alpha, c * num / den); };
      pBits[y * cx + x] =
          ((DWORD)alpha << 24) | (ch(GetRValue(clr)) << 16) | (ch(GetGValue(clr)) << 8) | ch(GetBValue(clr));
    }
  }
}

void CCbShadowsManager::SetShadow(CWnd* pPopup, const CRect& rcExclude) {
  if (pPopup) SetShadow(pPopup->GetSafeHwnd(), rcExclude);
}

void CCbShadowsManager::SetShadow(HWND hWndPopup, const CRect& rcExclude) {
  if (!::IsWindow(hWndPopup)) return;
  CRect rc;
  ::GetWindowRect(hWndPopup, &rc);
  SetShadow(rc, hWndPopup, rcExclude);
}

void CCbShadowsManager::SetShadow(CCbControl* pControl) {
  if (!pControl || !pControl->GetParent() || !CbPaintManager()->HasOwnShadow()) return;
  CCbCommandBar* pPopup = pControl->GetCommandBar();
  CWnd* pBar = pControl->GetParent();
  if (!pPopup || !pPopup->GetSafeHwnd() || !pBar->GetSafeHwnd()) return;
  CRect rc = pControl->GetRect();
  pBar->ClientToScreen(&rc);
  HWND hWndPopup = pPopup->GetSafeHwnd();
  std::vector<CShadowWnd*> old;
  for (POSITION pos = m_lstShadow.GetHeadPosition(); pos;) {
    CShadowWnd* p = m_lstShadow.GetNext(pos);
    if (p->m_hWndPopup == hWndPopup && p->m_bControl) old.push_back(p);
  }
  for (CShadowWnd* p : old) DestroyStrip(p);
  SetShadow(rc, hWndPopup, CRect(0, 0, 0, 0), TRUE);
}

void CCbShadowsManager::SetShadow(const CRect& rcScreen, HWND hWndPopup, const CRect& rcExclude, BOOL bControl) {
  DropDead();
  if (!::IsWindow(hWndPopup) || rcScreen.IsRectEmpty()) return;
  BOOL bOwn = CbPaintManager()->HasOwnShadow();
  // Asked for every strip: a compositor can come and go, and without one alpha shows black.
  BOOL bLayered = AfxIsCompositionActive();
  BOOL bDropShadow = FALSE;
  ::SystemParametersInfo(SPI_GETDROPSHADOW, 0, &bDropShadow, 0);
  if (!IsShadowWanted(bOwn, bLayered, bDropShadow)) return;
  int w = GetStripWidth(bLayered);
  CRect rcExcl = rcExclude;
  rcExcl.NormalizeRect();
  CreateStrip(hWndPopup, GetBottomRect(rcScreen, w), TRUE, bLayered, bOwn, rcExcl, bControl);
  CreateStrip(hWndPopup, GetRightRect(rcScreen, w), FALSE, bLayered, bOwn, rcExcl, bControl);
  UpdateRegions();
}

CShadowWnd* CCbShadowsManager::CreateStrip(HWND hWndPopup, const CRect& rcIn, BOOL bBottom, BOOL bLayered,
                                           BOOL bOwnShadow, const CRect& rcExclude, BOOL bControl) {
  if (rcIn.IsRectEmpty()) return nullptr;
  CRect rc = rcIn;
  // A strip of another popup on the same side that ends a pixel short of this one and lies
  // across it: meet it, so a menu's and its submenu's shadows join.
  for (POSITION pos = m_lstShadow.GetHeadPosition(); pos;) {
    CShadowWnd* p = m_lstShadow.GetNext(pos);
    if (p->m_hWndPopup == hWndPopup || p->m_bBottom != bBottom) continue;
    const CRect& o = p->m_rcStrip;
    if (bBottom) {
      if (o.top < rc.bottom && o.bottom > rc.top && o.right + 1 == rc.left) rc.left = o.right;
    } else {
      if (o.left < rc.right && o.right > rc.left && o.bottom + 1 == rc.top) rc.top = o.bottom;
    }
  }
  auto* pStrip = new CShadowWnd;
  pStrip->m_hWndPopup = hWndPopup;
  pStrip->m_bBottom = bBottom;
  pStrip->m_bOwnShadow = bOwnShadow;
  pStrip->m_bLayered = bLayered;
  pStrip->m_bControl = bControl;
  pStrip->m_rcStrip = rc;
  pStrip->m_rcExclude = rcExclude;
  pStrip->m_clrShadow = CbPaintManager()->m_clrShadow;
  LPCTSTR lpszClass = AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW));
  DWORD dwExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE | (bLayered ? WS_EX_LAYERED : 0);
  // Owned by its popup rather than the desktop: the window system then keeps it with the popup,
  // above it, and never takes it for a window of its own to activate.
  if (!pStrip->CreateEx(dwExStyle, lpszClass, nullptr, WS_POPUP, 0, 0, 0, 0, hWndPopup, nullptr)) {
    delete pStrip;  // dropped
    return nullptr;
  }
  m_lstShadow.AddTail(pStrip);
  pStrip->MoveWindow(rc.left, rc.top, rc.Width(), rc.Height(), FALSE);
  if (!bLayered) pStrip->Invalidate(FALSE);
  CbHookManager()->SetHook(hWndPopup, pStrip);
  if (::IsWindowVisible(hWndPopup))
    ::SetWindowPos(pStrip->m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  return pStrip;
}

void CCbShadowsManager::UpdateRegions() {
  for (POSITION pos = m_lstShadow.GetHeadPosition(); pos;) {
    CShadowWnd* p = m_lstShadow.GetNext(pos);
    CRect rc = p->m_rcStrip;
    CRgn rgn;
    rgn.CreateRectRgn(0, 0, rc.Width(), rc.Height());
    auto cut = [&](CRect r) {
      r.OffsetRect(-rc.left, -rc.top);
      if (r.IsRectEmpty()) return;
      CRgn part;
      part.CreateRectRgnIndirect(&r);
      rgn.CombineRgn(&rgn, &part, RGN_DIFF);
    };
    if (!p->m_rcExclude.IsRectEmpty()) cut(p->m_rcExclude);
    std::vector<HWND> done;
    for (POSITION q = m_lstShadow.GetHeadPosition(); q;) {
      CShadowWnd* o = m_lstShadow.GetNext(q);
      // Its own popup too: a title's strips reach under the menu it opened.
      if (!::IsWindow(o->m_hWndPopup)) continue;
      if (std::find(done.begin(), done.end(), o->m_hWndPopup) != done.end()) continue;
      done.push_back(o->m_hWndPopup);
      CRect rw;
      ::GetWindowRect(o->m_hWndPopup, &rw);
      cut(rw);
    }
    ::SetWindowRgn(p->m_hWnd, (HRGN)rgn.Detach(), TRUE);
  }
}

void CCbShadowsManager::DestroyStrip(CShadowWnd* pStrip) {
  POSITION pos = m_lstShadow.Find(pStrip);
  if (!pos) return;
  m_lstShadow.RemoveAt(pos);
  CbHookManager()->RemoveHook(pStrip->m_hWndPopup, pStrip);
  pStrip->m_hWndPopup = nullptr;
  if (pStrip->GetSafeHwnd()) pStrip->DestroyWindow();
  delete pStrip;
}

void CCbShadowsManager::RemoveShadow(CWnd* pPopup) {
  if (pPopup) RemoveShadow(pPopup->GetSafeHwnd());
}

void CCbShadowsManager::RemoveShadow(HWND hWndPopup) {
  if (!hWndPopup) return;
  std::vector<CShadowWnd*> mine;
  for (POSITION pos = m_lstShadow.GetHeadPosition(); pos;) {
    CShadowWnd* p = m_lstShadow.GetNext(pos);
    if (p->m_hWndPopup == hWndPopup) mine.push_back(p);
  }
  for (CShadowWnd* p : mine) DestroyStrip(p);
  if (!mine.empty()) UpdateRegions();
}

void CCbShadowsManager::RemoveAll() {
  while (!m_lstShadow.IsEmpty()) DestroyStrip(m_lstShadow.GetHead());
}

// Strips whose popup or own window went without telling (destroyed before the hook was set).
void CCbShadowsManager::DropDead() {
  std::vector<CShadowWnd*> dead;
  for (POSITION pos = m_lstShadow.GetHeadPosition(); pos;) {
    CShadowWnd* p = m_lstShadow.GetNext(pos);
    if (!::IsWindow(p->m_hWndPopup) || !p->GetSafeHwnd()) dead.push_back(p);
  }
  for (CShadowWnd* p : dead) DestroyStrip(p);
}

int CCbShadowsManager::GetCount(HWND hWndPopup) const {
  int n = 0;
  for (POSITION pos = m_lstShadow.GetHeadPosition(); pos;) {
    CShadowWnd* p = m_lstShadow.GetNext(pos);
    if (!hWndPopup || p->m_hWndPopup == hWndPopup) ++n;
  }
  return n;
}

CCbShadowsManager* CbShadowsManager() {
  // Never destroyed: at exit the strips' windows are gone with the process.
  static CCbShadowsManager* manager = new CCbShadowsManager;
  return manager;
}
