// Popup animations of the paint manager: unfold, slide and fade from an off-screen picture, and
// the unfolding of hidden items into an open menu.
#include "toolkit/CbPaintManager.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

// A 32-bit top-down section selected into its own memory DC.
struct CSection {
  CDC dc;
  HBITMAP hBitmap = nullptr;
  CBitmap* pOld = nullptr;
  DWORD* pBits = nullptr;
  BOOL Create(int cx, int cy) {
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = -cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* pv = nullptr;
    hBitmap = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pv, nullptr, 0);
    if (!hBitmap || !pv || !dc.CreateCompatibleDC(nullptr)) return FALSE;
    pBits = static_cast<DWORD*>(pv);
    pOld = dc.SelectObject(CBitmap::FromHandle(hBitmap));
    return TRUE;
  }
  ~CSection() {
    if (dc.GetSafeHdc() && pOld) dc.SelectObject(pOld);
    if (hBitmap) ::DeleteObject(hBitmap);
  }
};

void Present(CDC* pDC) {
  CWnd* pWnd = pDC ? pDC->GetWindow() : nullptr;
  if (pWnd && pWnd->GetSafeHwnd()) AfxPresentWindow(pWnd->GetSafeHwnd());
}

void Blend(const DWORD* pPicture, const DWORD* pScreen, DWORD* pWork, int n, int a) {
  for (int i = 0; i < n; ++i) {
    DWORD p = pPicture[i], s = pScreen[i];
    auto ch = [&](int shift) {
      return (DWORD)(((((p >> shift) & 0xFF) * a + ((s >> shift) & 0xFF) * (255 - a)) / 256) & 0xFF);
    };
    pWork[i] = 0xFF000000u | (ch(16) << 16) | (ch(8) << 8) | ch(0);
  }
}

// The three pictures of a fade, made once for all its steps.
struct CFade {
  CSection picture, screen, work;
  BOOL Create(CDC* pSrcDC, CDC* pScreenDC, const CRect& rc) {
    int cx = rc.Width(), cy = rc.Height();
    if (!picture.Create(cx, cy) || !screen.Create(cx, cy) || !work.Create(cx, cy)) return FALSE;
    picture.dc.BitBlt(0, 0, cx, cy, pSrcDC, rc.left, rc.top, SRCCOPY);
    if (pScreenDC) screen.dc.BitBlt(0, 0, cx, cy, pScreenDC, rc.left, rc.top, SRCCOPY);
    return TRUE;
  }
  void Step(CDC* pDestDC, const CRect& rc, int a) {
    Blend(picture.pBits, screen.pBits, work.pBits, rc.Width() * rc.Height(), a);
    pDestDC->BitBlt(rc.left, rc.top, rc.Width(), rc.Height(), &work.dc, 0, 0, SRCCOPY);
  }
};

using Clock = std::chrono::steady_clock;

// Sleeps to the step's share of the total, never for a negative remainder; FALSE once the total
// is used up (the caller then shows the finished picture).
BOOL Pace(Clock::time_point start, int k, int nSteps, int nTotalMs) {
  auto due = start + std::chrono::milliseconds((long long)nTotalMs * k / nSteps);
  auto now = Clock::now();
  if (now - start >= std::chrono::milliseconds(nTotalMs)) return FALSE;
  if (due > now) std::this_thread::sleep_for(due - now);
  return TRUE;
}

}  // namespace

int CCbPaintManager::GetAnimationKind(int nOption) {
  if (nOption == 0) {
    BOOL bAnimation = FALSE, bFade = FALSE;
    ::SystemParametersInfo(SPI_GETMENUANIMATION, 0, &bAnimation, 0);
    if (!bAnimation) return 5;
    ::SystemParametersInfo(SPI_GETMENUFADE, 0, &bFade, 0);
    return bFade ? 4 : 3;
  }
  if (nOption == 1) return 2 + std::rand() % 3;
  return nOption;
}

void CCbPaintManager::DrawAnimationStep(CDC* pDestDC, CDC* pSrcDC, CDC* pScreenDC, CRect rc, int nAnimation, int k,
                                        int nSteps) {
  if (!pDestDC || !pSrcDC || nSteps <= 0 || rc.IsRectEmpty()) return;
  k = std::clamp(k, 0, nSteps);
  const int cx = rc.Width(), cy = rc.Height();
  switch (nAnimation) {
    case 2: {  // unfold: the bottom-right k/S of the picture in the top-left corner
      int w = cx * k / nSteps, h = cy * k / nSteps;
      if (w > 0 && h > 0) pDestDC->BitBlt(rc.left, rc.top, w, h, pSrcDC, rc.right - w, rc.bottom - h, SRCCOPY);
      break;
    }
    case 3: {  // slide: the bottom k/S, full width, at the top
      int h = cy * k / nSteps;
      if (h > 0) pDestDC->BitBlt(rc.left, rc.top, cx, h, pSrcDC, rc.left, rc.bottom - h, SRCCOPY);
      break;
    }
    case 4: {  // fade: picture x a + screen x (255 - a), a = 255 k / S
      CFade fade;
      if (!fade.Create(pSrcDC, pScreenDC, rc)) {
        pDestDC->BitBlt(rc.left, rc.top, cx, cy, pSrcDC, rc.left, rc.top, SRCCOPY);
        break;
      }
      fade.Step(pDestDC, rc, 255 * k / nSteps);
      break;
    }
    default: pDestDC->BitBlt(rc.left, rc.top, cx, cy, pSrcDC, rc.left, rc.top, SRCCOPY); break;
  }
}

void CCbPaintManager::AnimatePopup(CDC* pDestDC, CDC* pSrcDC, CRect rc, int nAnimation) {
  if (!pDestDC || !pSrcDC || rc.IsRectEmpty()) return;
  const int nSteps = std::max(1, m_nAnimationSteps), nTotal = std::max(0, m_nAnimationTime);
  if (nAnimation >= 2 && nAnimation <= 4 && nTotal > 0) {
    // What the destination shows now is what the fade starts from.
    CFade fade;
    BOOL bFade = nAnimation == 4 && fade.Create(pSrcDC, pDestDC, rc);
    const int nLast = nAnimation == 4 ? nSteps - 1 : nSteps;
    Clock::time_point start = Clock::now();
    m_nLongestAnimationStepUs = 0;
    for (int k = 1; k <= nLast; ++k) {
      Clock::time_point t0 = Clock::now();
      if (bFade)
        fade.Step(pDestDC, rc, 255 * k / nSteps);
      else
        DrawAnimationStep(pDestDC, pSrcDC, nullptr, rc, nAnimation, k, nSteps);
      Present(pDestDC);
      int us = (int)std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - t0).count();
      m_nLongestAnimationStepUs = std::max(m_nLongestAnimationStepUs, us);
      if (!Pace(start, k, nSteps, nTotal)) break;
    }
  }
  pDestDC->BitBlt(rc.left, rc.top, rc.Width(), rc.Height(), pSrcDC, rc.left, rc.top, SRCCOPY);
  Present(pDestDC);
}

void CCbPaintManager::DrawExpandStep(CDC* pDestDC, CDC* pSrcDC, CRect rc, const CExpandBand* pBands, int nBands, int k,
                                     int nSteps) {
  if (!pDestDC || !pSrcDC || nSteps <= 0) return;
  k = std::clamp(k, 0, nSteps);
  int y = rc.top;
  for (int i = 0; i < nBands && pBands; ++i) {
    const CExpandBand& b = pBands[i];
    if (b.nHeight <= 0) continue;
    int h = b.bNew ? b.nHeight * k / nSteps : b.nHeight;
    if (h <= 0) continue;
    if (h == b.nHeight)
      pDestDC->BitBlt(rc.left, y, rc.Width(), h, pSrcDC, rc.left, b.nTop, SRCCOPY);
    else
      pDestDC->StretchBlt(rc.left, y, rc.Width(), h, pSrcDC, rc.left, b.nTop, rc.Width(), b.nHeight, SRCCOPY);
    y += h;
  }
}

void CCbPaintManager::AnimateExpand(CDC* pDestDC, CDC* pSrcDC, CRect rc, const CExpandBand* pBands, int nBands) {
  if (!pDestDC || !pSrcDC) return;
  const int nSteps = std::max(1, m_nAnimationSteps), nTotal = std::max(0, m_nAnimationTime);
  Clock::time_point start = Clock::now();
  for (int k = 1; k <= nSteps && nTotal > 0; ++k) {
    DrawExpandStep(pDestDC, pSrcDC, rc, pBands, nBands, k, nSteps);
    Present(pDestDC);
    if (!Pace(start, k, nSteps, nTotal)) break;
  }
  pDestDC->BitBlt(rc.left, rc.top, rc.Width(), rc.Height(), pSrcDC, rc.left, rc.top, SRCCOPY);
  Present(pDestDC);
}
