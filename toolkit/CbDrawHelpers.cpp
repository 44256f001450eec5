#include "toolkit/CbDrawHelpers.h"

#include <strings.h>
#include <algorithm>
#include <cstring>
#include <memory>

namespace {
std::unique_ptr<CCbDrawHelpers> g_helpers;
}

CCbDrawHelpers* CbDrawHelpers() {
  if (!g_helpers) g_helpers = std::make_unique<CCbDrawHelpers>();
  return g_helpers.get();
}

// The platform layer always offers the gradient fill, so it is bound from the start.
CCbDrawHelpers::CCbDrawHelpers() = default;
CCbDrawHelpers::~CCbDrawHelpers() = default;

int CCbDrawHelpers::GetScreenBitsPerPixel() const {
  if (m_nBitsOverride > 0) return m_nBitsOverride;
  CWnd* desktop = CWnd::GetDesktopWindow();
  CDC* dc = desktop ? desktop->GetDC() : nullptr;
  int bits = dc ? dc->GetDeviceCaps(BITSPIXEL) : 32;
  if (dc) desktop->ReleaseDC(dc);
  return bits;
}

int CCbDrawHelpers::DeviceBits(CDC* pDC) const {
  if (m_nBitsOverride > 0 || !pDC) return GetScreenBitsPerPixel();
  return pDC->GetDeviceCaps(BITSPIXEL);
}

BOOL CCbDrawHelpers::IsLowResolution(CDC* pDC) const {
  int bits = DeviceBits(pDC);
  return bits >= 1 && bits <= 8;
}

void CCbDrawHelpers::GradientFill(CDC* pDC, LPCRECT lpRect, COLORREF clrFirst, COLORREF clrSecond, BOOL bHorz) {
  if (!pDC || !lpRect || ::IsRectEmpty(lpRect)) return;
  if (IsLowResolution(pDC) || clrFirst == clrSecond) {
    pDC->FillSolidRect(lpRect, clrFirst);
    return;
  }
  if (m_bGradientBound) {
    TRIVERTEX v[2] = {{lpRect->left, lpRect->top, (USHORT)(GetRValue(clrFirst) << 8),
                       (USHORT)(GetGValue(clrFirst) << 8), (USHORT)(GetBValue(clrFirst) << 8), 0},
                      {lpRect->right, lpRect->bottom, (USHORT)(GetRValue(clrSecond) << 8),
                       (USHORT)(GetGValue(clrSecond) << 8), (USHORT)(GetBValue(clrSecond) << 8), 0}};
    GRADIENT_RECT gr{0, 1};
    if (pDC->GradientFill(v, 2, &gr, 1, bHorz ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V)) return;
  }
  // Bands of one pixel, only where the device can show them.
  CRect clip;
  pDC->GetClipBox(&clip);
  CRect r(lpRect);
  int start = bHorz ? r.left : r.top;
  int length = std::max(1, bHorz ? r.Width() : r.Height());
  int from = bHorz ? std::max(r.left, clip.left) : std::max(r.top, clip.top);
  int to = bHorz ? std::min(r.right, clip.right) : std::min(r.bottom, clip.bottom);
  if (clip.IsRectEmpty()) from = start, to = start + length;
  for (int i = from; i < to; ++i) {
    double t = 1.0 - (double)(i - start) / length;
    auto ch = [t](int a, int b) { return std::min(255, (int)(t * a + (1 - t) * b)); };
    COLORREF c = RGB(ch(GetRValue(clrFirst), GetRValue(clrSecond)), ch(GetGValue(clrFirst), GetGValue(clrSecond)),
                     ch(GetBValue(clrFirst), GetBValue(clrSecond)));
    if (bHorz)
      pDC->FillSolidRect(i, r.top, 1, r.Height(), c);
    else
      pDC->FillSolidRect(r.left, i, r.Width(), 1, c);
  }
}

CRect CCbDrawHelpers::GetWorkArea() const {
  POINT pt{0, 0};
  ::GetCursorPos(&pt);
  return GetWorkArea(pt);
}

namespace {
CRect WorkAreaOf(HMONITOR h) {
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  if (h && ::GetMonitorInfo(h, &mi)) return CRect(mi.rcWork);
  RECT work{};
  ::SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  return CRect(work);
}
}  // namespace

CRect CCbDrawHelpers::GetWorkArea(LPCRECT lpRect) const {
  return WorkAreaOf(lpRect ? ::MonitorFromRect(lpRect, MONITOR_DEFAULTTONULL) : nullptr);
}
CRect CCbDrawHelpers::GetWorkArea(CWnd* pWnd) const {
  return WorkAreaOf(pWnd && pWnd->GetSafeHwnd() ? ::MonitorFromWindow(pWnd->GetSafeHwnd(), MONITOR_DEFAULTTONULL)
                                                : nullptr);
}
CRect CCbDrawHelpers::GetWorkArea(POINT pt) const { return WorkAreaOf(::MonitorFromPoint(pt, MONITOR_DEFAULTTONULL)); }

BOOL CCbDrawHelpers::FontExists(LPCTSTR lpszFaceName) const {
  if (!lpszFaceName || !*lpszFaceName) return FALSE;
  // The platform layer enumerates no font families; a face it stands in for is available.
  LPCTSTR mapped = AfxMapFontFace(lpszFaceName);
  return strcasecmp(mapped, lpszFaceName) != 0 || strcasecmp(lpszFaceName, "DejaVu Sans") == 0 ||
         strcasecmp(lpszFaceName, "Liberation Sans") == 0;
}

CString CCbDrawHelpers::GetVerticalFontName(BOOL bPreferTahoma) const {
  LOGFONT lf{};
  ::GetObject(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
  if (lf.lfCharSet != ANSI_CHARSET && lf.lfCharSet != DEFAULT_CHARSET && lf.lfCharSet != SYMBOL_CHARSET)
    return CString(lf.lfFaceName);
  CString face = FontExists("Arial") ? CString("Arial") : CString(lf.lfFaceName);
  if (bPreferTahoma && FontExists("Tahoma")) face = "Tahoma";
  return face;
}

// ---- Scoped objects ----

CCbFontDC::CCbFontDC(CDC* pDC, CFont* pFont) : m_pDC(pDC) {
  if (m_pDC && pFont && pFont->GetSafeHandle()) m_hOld = m_pDC->SelectObject(pFont->GetSafeHandle());
}
CCbFontDC::CCbFontDC(CDC* pDC, HFONT hFont) : m_pDC(pDC) {
  if (m_pDC && hFont) m_hOld = m_pDC->SelectObject((HGDIOBJ)hFont);
}
CCbFontDC::~CCbFontDC() {
  if (m_pDC && m_hOld) m_pDC->SelectObject(m_hOld);
}

CCbPenDC::CCbPenDC(CDC* pDC, COLORREF clr) : m_pDC(pDC), m_clr(clr) {
  m_pen.CreatePen(PS_SOLID, 1, clr);
  if (m_pDC) m_pOld = m_pDC->SelectObject(&m_pen);
}
CCbPenDC::~CCbPenDC() {
  if (m_pDC && m_pOld) m_pDC->SelectObject(m_pOld);
}

CCbBrushDC::CCbBrushDC(CDC* pDC, COLORREF clr) : m_pDC(pDC), m_clr(clr) {
  m_brush.CreateSolidBrush(clr);
  if (m_pDC) m_pOld = m_pDC->SelectObject(&m_brush);
}
CCbBrushDC::~CCbBrushDC() {
  if (m_pDC && m_pOld) m_pDC->SelectObject(m_pOld);
}
void CCbBrushDC::SetColor(COLORREF clr) {
  if (!m_pDC) return;
  // Put the old brush back before the new one replaces ours, so the DC never holds a dead one.
  if (m_pOld) m_pDC->SelectObject(m_pOld);
  m_brush.DeleteObject();
  m_brush.CreateSolidBrush(clr);
  m_clr = clr;
  m_pOld = m_pDC->SelectObject(&m_brush);
}

CCbCompatibleDC::CCbCompatibleDC(CDC* pDC, CBitmap* pBitmap) {
  CreateCompatibleDC(pDC);
  if (pBitmap) m_pOldBitmap = SelectObject(pBitmap);
}
CCbCompatibleDC::~CCbCompatibleDC() {
  if (m_pOldBitmap) SelectObject(m_pOldBitmap);
  DeleteDC();
}

CCbBufferDC::CCbBufferDC(CDC* pDC, const CRect& rect) : m_pTarget(pDC), m_rect(rect) {
  CreateCompatibleDC(pDC);
  m_bitmap.CreateCompatibleBitmap(pDC, std::max<LONG>(1, rect.right), std::max<LONG>(1, rect.bottom));
  m_pOldBitmap = SelectObject(&m_bitmap);
}
CCbBufferDC::~CCbBufferDC() {
  if (m_pTarget)
    m_pTarget->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, m_rect.left, m_rect.top, SRCCOPY);
  if (m_pOldBitmap) SelectObject(m_pOldBitmap);
  m_bitmap.DeleteObject();
  DeleteDC();
}
