// Drawing helpers below the painter: gradient fill, monitor work areas, font tests.
#pragma once

#include "platform/ui/AfxWin.h"

class CCbDrawHelpers {
 public:
  CCbDrawHelpers();
  ~CCbDrawHelpers();

  // First colour at the top (or left), second at the bottom (or right).
  void GradientFill(CDC* pDC, LPCRECT lpRect, COLORREF clrFirst, COLORREF clrSecond, BOOL bHorz);
  // 1 to 8 bits per pixel on the device, or on the screen without one.
  BOOL IsLowResolution(CDC* pDC = nullptr) const;
  int GetScreenBitsPerPixel() const;
  // Makes the screen report this depth (0 restores the real one); for low-colour tests.
  void SetScreenBitsPerPixelForTest(int nBits) { m_nBitsOverride = nBits; }

  // Work area of the monitor that holds the rectangle, window or point.
  CRect GetWorkArea(LPCRECT lpRect) const;
  CRect GetWorkArea(CWnd* pWnd) const;
  CRect GetWorkArea(POINT pt) const;
  CRect GetWorkArea() const;  // of the cursor position

  BOOL FontExists(LPCTSTR lpszFaceName) const;
  CString GetVerticalFontName(BOOL bPreferTahoma = TRUE) const;

 private:
  int DeviceBits(CDC* pDC) const;
  BOOL m_bGradientBound = TRUE;
  int m_nBitsOverride = 0;
};

CCbDrawHelpers* CbDrawHelpers();

// Scoped device-context objects: each restores what it replaced when it ends.
class CCbFontDC {
 public:
  CCbFontDC(CDC* pDC, CFont* pFont);
  CCbFontDC(CDC* pDC, HFONT hFont);
  ~CCbFontDC();
  CCbFontDC(const CCbFontDC&) = delete;
  CCbFontDC& operator=(const CCbFontDC&) = delete;

 private:
  CDC* m_pDC;
  HGDIOBJ m_hOld = nullptr;
};

class CCbPenDC {
 public:
  CCbPenDC(CDC* pDC, COLORREF clr);
  ~CCbPenDC();
  CCbPenDC(const CCbPenDC&) = delete;
  CCbPenDC& operator=(const CCbPenDC&) = delete;
  COLORREF GetColor() const { return m_clr; }

 private:
  CDC* m_pDC;
  CPen m_pen;
  CPen* m_pOld = nullptr;
  COLORREF m_clr;
};

class CCbBrushDC {
 public:
  CCbBrushDC(CDC* pDC, COLORREF clr);
  ~CCbBrushDC();
  CCbBrushDC(const CCbBrushDC&) = delete;
  CCbBrushDC& operator=(const CCbBrushDC&) = delete;
  void SetColor(COLORREF clr);
  COLORREF GetColor() const { return m_clr; }

 private:
  CDC* m_pDC;
  CBrush m_brush;
  CBrush* m_pOld = nullptr;
  COLORREF m_clr;
};

// A memory DC compatible with the given one, with the bitmap selected; deleted at the end.
class CCbCompatibleDC : public CDC {
 public:
  CCbCompatibleDC(CDC* pDC, CBitmap* pBitmap);
  ~CCbCompatibleDC() override;
  CCbCompatibleDC(const CCbCompatibleDC&) = delete;
  CCbCompatibleDC& operator=(const CCbCompatibleDC&) = delete;

 private:
  CBitmap* m_pOldBitmap = nullptr;
};

// Paints into a memory picture as large as the rectangle's right and bottom, and copies the
// rectangle back to the target at the end, so the target never shows a half-drawn state.
class CCbBufferDC : public CDC {
 public:
  CCbBufferDC(CDC* pDC, const CRect& rect);
  ~CCbBufferDC() override;
  CCbBufferDC(const CCbBufferDC&) = delete;
  CCbBufferDC& operator=(const CCbBufferDC&) = delete;

 private:
  CDC* m_pTarget;
  CRect m_rect;
  CBitmap m_bitmap;
  CBitmap* m_pOldBitmap = nullptr;
};
