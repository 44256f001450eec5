// Drawing: device contexts and drawing objects.
//
// A window keeps its pixels in a backing picture until it is invalidated, so a client DC
// drawn outside WM_PAINT stays visible. Memory DCs draw into the bitmap selected into them.
#pragma once

#include "platform/ui/Wnd.h"

#include <memory>
#include <vector>

struct LOGFONT {
  LONG lfHeight;
  LONG lfWidth;
  LONG lfEscapement;
  LONG lfOrientation;
  LONG lfWeight;
  BYTE lfItalic;
  BYTE lfUnderline;
  BYTE lfStrikeOut;
  BYTE lfCharSet;
  BYTE lfOutPrecision;
  BYTE lfClipPrecision;
  BYTE lfQuality;
  BYTE lfPitchAndFamily;
  TCHAR lfFaceName[LF_FACESIZE];
};
typedef LOGFONT* LPLOGFONT;
typedef LOGFONT LOGFONTA;
typedef LOGFONT LOGFONTW;

struct LOGPEN {
  UINT lopnStyle;
  POINT lopnWidth;
  COLORREF lopnColor;
};
struct LOGBRUSH {
  UINT lbStyle;
  COLORREF lbColor;
  ULONG_PTR lbHatch;
};
typedef LOGBRUSH* LPLOGBRUSH;

struct TEXTMETRIC {
  LONG tmHeight;
  LONG tmAscent;
  LONG tmDescent;
  LONG tmInternalLeading;
  LONG tmExternalLeading;
  LONG tmAveCharWidth;
  LONG tmMaxCharWidth;
  LONG tmWeight;
  LONG tmOverhang;
  LONG tmDigitizedAspectX;
  LONG tmDigitizedAspectY;
  TCHAR tmFirstChar;
  TCHAR tmLastChar;
  TCHAR tmDefaultChar;
  TCHAR tmBreakChar;
  BYTE tmItalic;
  BYTE tmUnderlined;
  BYTE tmStruckOut;
  BYTE tmPitchAndFamily;
  BYTE tmCharSet;
};
typedef TEXTMETRIC* LPTEXTMETRIC;

struct BITMAP {
  LONG bmType;
  LONG bmWidth;
  LONG bmHeight;
  LONG bmWidthBytes;
  WORD bmPlanes;
  WORD bmBitsPixel;
  LPVOID bmBits;
};

struct BITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
};
struct RGBQUAD {
  BYTE rgbBlue;
  BYTE rgbGreen;
  BYTE rgbRed;
  BYTE rgbReserved;
};
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};

struct PALETTEENTRY {
  BYTE peRed;
  BYTE peGreen;
  BYTE peBlue;
  BYTE peFlags;
};
struct LOGPALETTE {
  WORD palVersion;
  WORD palNumEntries;
  PALETTEENTRY palPalEntry[1];
};
typedef LOGPALETTE* LPLOGPALETTE;

struct TRIVERTEX {
  LONG x;
  LONG y;
  USHORT Red;  // 16-bit channels, as the platform's gradient fill takes them
  USHORT Green;
  USHORT Blue;
  USHORT Alpha;
};
struct GRADIENT_RECT {
  ULONG UpperLeft;
  ULONG LowerRight;
};
struct GRADIENT_TRIANGLE {
  ULONG Vertex1;
  ULONG Vertex2;
  ULONG Vertex3;
};
struct BLENDFUNCTION {
  BYTE BlendOp;
  BYTE BlendFlags;
  BYTE SourceConstantAlpha;
  BYTE AlphaFormat;
};

// ---- Handle-level object functions ----
HGDIOBJ GetStockObject(int i);
BOOL DeleteObject(HGDIOBJ hObject);
HPEN CreatePen(int iStyle, int cWidth, COLORREF color);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH GetSysColorBrush(int nIndex);
HFONT CreateFontIndirect(const LOGFONT* lplf);
int GetObject(HGDIOBJ h, int c, LPVOID pv);
HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy);
// A bitmap's pixels as a device-independent bitmap (BI_RGB at 1, 16, 24 or 32 bits a pixel,
// rows from the bottom up unless biHeight is negative). With lpvBits null it completes the
// header (biBitCount 0: the bitmap's own format) and the 1-bit colour table. The number of
// rows copied (nonzero for a header), 0 on failure.
int GetDIBits(HDC hdc, HBITMAP hbm, UINT uStartScan, UINT cScanLines, LPVOID lpvBits, BITMAPINFO* lpbmi, UINT uUsage);
HRGN CreateRectRgn(int x1, int y1, int x2, int y2);
COLORREF GetSysColor(int nIndex);
BOOL SetSysColorsForTest(int nIndex, COLORREF c);  // tests only; the table is otherwise fixed

class CDC;

class CGdiObject : public CObject {
  DECLARE_DYNAMIC(CGdiObject)
 public:
  HGDIOBJ m_hObject = nullptr;
  CGdiObject() = default;
  ~CGdiObject() override;
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;
  operator HGDIOBJ() const { return m_hObject; }
  HGDIOBJ GetSafeHandle() const { return m_hObject; }
  static CGdiObject* FromHandle(HGDIOBJ h);
  BOOL Attach(HGDIOBJ h);
  HGDIOBJ Detach();
  BOOL DeleteObject();
  BOOL CreateStockObject(int nIndex);
  int GetObject(int nCount, LPVOID lpObject) const;
};

class CPen : public CGdiObject {
 public:
  CPen() = default;
  CPen(int nPenStyle, int nWidth, COLORREF crColor) { CreatePen(nPenStyle, nWidth, crColor); }
  BOOL CreatePen(int nPenStyle, int nWidth, COLORREF crColor);
  BOOL CreatePen(int nPenStyle, int nWidth, const LOGBRUSH* pLogBrush, int nStyleCount = 0,
                 const DWORD* lpStyle = nullptr);
  BOOL CreatePenIndirect(LOGPEN* lpLogPen);
  operator HPEN() const { return (HPEN)m_hObject; }
  static CPen* FromHandle(HPEN h) { return (CPen*)CGdiObject::FromHandle(h); }
};

class CBitmap;
class CBrush : public CGdiObject {
 public:
  CBrush() = default;
  explicit CBrush(COLORREF crColor) { CreateSolidBrush(crColor); }
  CBrush(int nIndex, COLORREF crColor) { CreateHatchBrush(nIndex, crColor); }
  BOOL CreateSolidBrush(COLORREF crColor);
  BOOL CreateHatchBrush(int nIndex, COLORREF crColor);
  BOOL CreateSysColorBrush(int nIndex);
  BOOL CreatePatternBrush(CBitmap* pBitmap);
  BOOL CreateBrushIndirect(const LOGBRUSH* lpLogBrush);
  operator HBRUSH() const { return (HBRUSH)m_hObject; }
  static CBrush* FromHandle(HBRUSH h) { return (CBrush*)CGdiObject::FromHandle(h); }
};

class CFont : public CGdiObject {
 public:
  CFont() = default;
  BOOL CreateFontIndirect(const LOGFONT* lpLogFont);
  BOOL CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                  BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                  BYTE nQuality, BYTE nPitchAndFamily, LPCTSTR lpszFacename);
  // nPointSize in tenths of a point, at the DC's resolution (the screen's without a DC).
  BOOL CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, CDC* pDC = nullptr);
  // lfHeight in tenths of a point.
  BOOL CreatePointFontIndirect(const LOGFONT* lpLogFont, CDC* pDC = nullptr);
  int GetLogFont(LOGFONT* pLogFont) const { return GetObject(sizeof(LOGFONT), pLogFont); }
  operator HFONT() const { return (HFONT)m_hObject; }
  static CFont* FromHandle(HFONT h) { return (CFont*)CGdiObject::FromHandle(h); }
};

class CBitmap : public CGdiObject {
 public:
  CBitmap() = default;
  BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
  BOOL CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits);
  BOOL CreateDiscardableBitmap(CDC* pDC, int nWidth, int nHeight) {
    return CreateCompatibleBitmap(pDC, nWidth, nHeight);
  }
  BOOL LoadBitmap(UINT nIDResource);
  BOOL LoadBitmap(LPCTSTR lpszResourceName);
  int GetBitmap(BITMAP* pBitMap) const { return GetObject(sizeof(BITMAP), pBitMap); }
  CSize GetBitmapDimension() const;
  operator HBITMAP() const { return (HBITMAP)m_hObject; }
  static CBitmap* FromHandle(HBITMAP h) { return (CBitmap*)CGdiObject::FromHandle(h); }
  // 0x00BBGGRR of one pixel, CLR_INVALID outside.
  COLORREF GetPixel(int x, int y) const;
  BOOL SavePng(LPCTSTR lpszPath) const;
  // A picture file (PNG, JPEG, BMP, PPM ...) as a colour bitmap; FALSE when it can't be read.
  BOOL LoadFile(LPCTSTR lpszPath);
};

#ifndef DIB_RGB_COLORS
#define DIB_RGB_COLORS 0
#endif
// A 32-bit picture (BI_RGB, rows from the top: a negative height) whose premultiplied blue,
// green, red and alpha bytes the caller reads and writes through *ppvBits while it lives.
// Other depths, and rows from the bottom, give no picture.
HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* pbmi, UINT usage, void** ppvBits, void* hSection, DWORD offset);

class CRgn : public CGdiObject {
 public:
  CRgn() = default;
  BOOL CreateRectRgn(int x1, int y1, int x2, int y2);
  BOOL CreateRectRgnIndirect(LPCRECT lpRect);
  BOOL CreateEllipticRgn(int x1, int y1, int x2, int y2);
  BOOL CreateEllipticRgnIndirect(LPCRECT lpRect);
  BOOL CreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int y3);
  BOOL CreatePolygonRgn(const POINT* lpPoints, int nCount, int nMode);
  int CombineRgn(const CRgn* pRgn1, const CRgn* pRgn2, int nCombineMode);
  int CopyRgn(const CRgn* pRgnSrc);
  void SetRectRgn(int x1, int y1, int x2, int y2);
  void SetRectRgn(LPCRECT lpRect) { SetRectRgn(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }
  BOOL PtInRegion(int x, int y) const;
  BOOL PtInRegion(POINT pt) const { return PtInRegion(pt.x, pt.y); }
  BOOL RectInRegion(LPCRECT lpRect) const;
  int GetRgnBox(LPRECT lpRect) const;
  int OffsetRgn(int x, int y);
  BOOL EqualRgn(const CRgn* pRgn) const;
  operator HRGN() const { return (HRGN)m_hObject; }
  static CRgn* FromHandle(HRGN h) { return (CRgn*)CGdiObject::FromHandle(h); }
};

// Palettes are kept only as values: every display is true colour.
class CPalette : public CGdiObject {
 public:
  CPalette() = default;
  BOOL CreatePalette(LPLOGPALETTE lpLogPalette);
  BOOL CreateHalftonePalette(CDC* pDC);
  int GetEntryCount() const;
  UINT GetPaletteEntries(UINT nStartIndex, UINT nNumEntries, PALETTEENTRY* lpPaletteColors) const;
  UINT SetPaletteEntries(UINT nStartIndex, UINT nNumEntries, const PALETTEENTRY* lpPaletteColors);
  UINT GetNearestPaletteIndex(COLORREF crColor) const;
  operator HPALETTE() const { return (HPALETTE)m_hObject; }
  static CPalette* FromHandle(HPALETTE h) { return (CPalette*)CGdiObject::FromHandle(h); }
};

struct AfxDcState;

class CDC : public CObject {
  DECLARE_DYNAMIC(CDC)
 public:
  HDC m_hDC = nullptr;
  HDC m_hAttribDC = nullptr;

  CDC();
  ~CDC() override;
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;
  operator HDC() const { return m_hDC; }
  HDC GetSafeHdc() const { return m_hDC; }
  static CDC* FromHandle(HDC hDC) { return reinterpret_cast<CDC*>(hDC); }
  CWnd* GetWindow() const;

  // A memory DC; draws once a bitmap is selected into it.
  BOOL CreateCompatibleDC(CDC* pDC);
  BOOL DeleteDC();
  BOOL IsPrinting() const { return m_bPrinting; }
  int SaveDC();
  BOOL RestoreDC(int nSavedDC);  // -1: the last saved state
  int GetDeviceCaps(int nIndex) const;

  // ---- Objects ----
  CGdiObject* SelectStockObject(int nIndex);
  CPen* SelectObject(CPen* pPen);
  CBrush* SelectObject(CBrush* pBrush);
  CFont* SelectObject(CFont* pFont);
  CBitmap* SelectObject(CBitmap* pBitmap);
  int SelectObject(CRgn* pRgn);
  HGDIOBJ SelectObject(HGDIOBJ hObject);
  CGdiObject* SelectObject(CGdiObject* pObject);
  CPen* GetCurrentPen() const;
  CBrush* GetCurrentBrush() const;
  CFont* GetCurrentFont() const;
  CBitmap* GetCurrentBitmap() const;
  CPalette* SelectPalette(CPalette* pPalette, BOOL bForceBackground);
  UINT RealizePalette() { return 0; }

  // ---- Attributes ----
  COLORREF SetTextColor(COLORREF crColor);
  COLORREF GetTextColor() const;
  COLORREF SetBkColor(COLORREF crColor);
  COLORREF GetBkColor() const;
  int SetBkMode(int nBkMode);
  int GetBkMode() const;
  int SetROP2(int nDrawMode);
  int GetROP2() const;
  int SetStretchBltMode(int nStretchMode);
  int GetStretchBltMode() const;
  UINT SetTextAlign(UINT nFlags);
  UINT GetTextAlign() const;
  int SetPolyFillMode(int nPolyFillMode);
  int SetMapMode(int nMapMode);
  int GetMapMode() const;
  CPoint SetViewportOrg(int x, int y);
  CPoint SetViewportOrg(POINT pt) { return SetViewportOrg(pt.x, pt.y); }
  CPoint GetViewportOrg() const;
  CPoint OffsetViewportOrg(int nWidth, int nHeight);
  CPoint SetWindowOrg(int x, int y);
  CPoint GetWindowOrg() const;
  CPoint SetBrushOrg(int x, int y);
  COLORREF SetDCBrushColor(COLORREF c);
  COLORREF SetDCPenColor(COLORREF c);
  void LPtoDP(LPPOINT lpPoints, int nCount = 1) const;
  void LPtoDP(LPRECT lpRect) const;
  void DPtoLP(LPPOINT lpPoints, int nCount = 1) const;
  void DPtoLP(LPRECT lpRect) const;

  // ---- Clipping ----
  int SelectClipRgn(CRgn* pRgn);
  int SelectClipRgn(CRgn* pRgn, int nMode);
  int IntersectClipRect(int x1, int y1, int x2, int y2);
  int IntersectClipRect(LPCRECT lpRect) {
    return IntersectClipRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
  }
  int ExcludeClipRect(int x1, int y1, int x2, int y2);
  int ExcludeClipRect(LPCRECT lpRect) {
    return ExcludeClipRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
  }
  int GetClipBox(LPRECT lpRect) const;
  BOOL PtVisible(int x, int y) const;
  BOOL RectVisible(LPCRECT lpRect) const;

  // ---- Lines and shapes ----
  CPoint MoveTo(int x, int y);
  CPoint MoveTo(POINT pt) { return MoveTo(pt.x, pt.y); }
  BOOL LineTo(int x, int y);
  BOOL LineTo(POINT pt) { return LineTo(pt.x, pt.y); }
  CPoint GetCurrentPosition() const;
  BOOL Polyline(const POINT* lpPoints, int nCount);
  BOOL PolylineTo(const POINT* lpPoints, int nCount);
  BOOL Polygon(const POINT* lpPoints, int nCount);
  BOOL PolyPolygon(const POINT* lpPoints, const INT* lpPolyCounts, int nCount);
  BOOL Rectangle(int x1, int y1, int x2, int y2);
  BOOL Rectangle(LPCRECT lpRect) { return Rectangle(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }
  BOOL RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
  BOOL RoundRect(LPCRECT lpRect, POINT point) {
    return RoundRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom, point.x, point.y);
  }
  BOOL Ellipse(int x1, int y1, int x2, int y2);
  BOOL Ellipse(LPCRECT lpRect) { return Ellipse(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }
  BOOL Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  BOOL Pie(LPCRECT lpRect, POINT ptStart, POINT ptEnd) {
    return Pie(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom, ptStart.x, ptStart.y, ptEnd.x, ptEnd.y);
  }
  BOOL Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  BOOL Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  void FillRect(LPCRECT lpRect, CBrush* pBrush);
  void FillSolidRect(LPCRECT lpRect, COLORREF clr);
  void FillSolidRect(int x, int y, int cx, int cy, COLORREF clr);
  void FrameRect(LPCRECT lpRect, CBrush* pBrush);
  void InvertRect(LPCRECT lpRect);
  void Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight);
  void Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight);
  BOOL DrawEdge(LPRECT lpRect, UINT nEdge, UINT nFlags);
  void DrawFocusRect(LPCRECT lpRect);
  BOOL FillRgn(CRgn* pRgn, CBrush* pBrush);
  BOOL FrameRgn(CRgn* pRgn, CBrush* pBrush, int nWidth, int nHeight);
  BOOL PaintRgn(CRgn* pRgn);
  COLORREF SetPixel(int x, int y, COLORREF crColor);
  COLORREF SetPixel(POINT pt, COLORREF crColor) { return SetPixel(pt.x, pt.y, crColor); }
  BOOL SetPixelV(int x, int y, COLORREF crColor) {
    SetPixel(x, y, crColor);
    return TRUE;
  }
  COLORREF GetPixel(int x, int y) const;
  COLORREF GetPixel(POINT pt) const { return GetPixel(pt.x, pt.y); }

  // ---- Paths ----
  BOOL BeginPath();
  BOOL EndPath();
  BOOL AbortPath();
  BOOL CloseFigure();
  BOOL FillPath();
  BOOL StrokePath();
  BOOL StrokeAndFillPath();
  BOOL SelectClipPath(int nMode);

  // ---- Blits and blends ----
  BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop);
  BOOL StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth, int nSrcHeight,
                  DWORD dwRop);
  BOOL PatBlt(int x, int y, int nWidth, int nHeight, DWORD dwRop);
  BOOL TransparentBlt(int xDest, int yDest, int nDestWidth, int nDestHeight, CDC* pSrcDC, int xSrc, int ySrc,
                      int nSrcWidth, int nSrcHeight, UINT clrTransparent);
  BOOL AlphaBlend(int xDest, int yDest, int nDestWidth, int nDestHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth,
                  int nSrcHeight, BLENDFUNCTION blend);
  BOOL GradientFill(TRIVERTEX* pVertices, ULONG nVertices, void* pMesh, ULONG nMeshElements, DWORD dwMode);
  BOOL DrawState(CPoint pt, CSize size, CBitmap* pBitmap, UINT nFlags, CBrush* pBrush = nullptr);
  // DST_ICON: the icon at the size (0: its own); with DSS_MONO its shape in the brush's
  // colour, with DSS_DISABLED embossed.
  BOOL DrawState(CPoint pt, CSize size, HICON hIcon, UINT nFlags, CBrush* pBrush = nullptr);

  // ---- Text ----
  BOOL TextOut(int x, int y, LPCTSTR lpszString, int nCount);
  BOOL TextOut(int x, int y, const CString& str) { return TextOut(x, y, str, str.GetLength()); }
  BOOL ExtTextOut(int x, int y, UINT nOptions, LPCRECT lpRect, LPCTSTR lpszString, UINT nCount, LPINT lpDxWidths);
  BOOL ExtTextOut(int x, int y, UINT nOptions, LPCRECT lpRect, const CString& str, LPINT lpDxWidths) {
    return ExtTextOut(x, y, nOptions, lpRect, str, str.GetLength(), lpDxWidths);
  }
  int DrawText(LPCTSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat);
  int DrawText(const CString& str, LPRECT lpRect, UINT nFormat) {
    return DrawText(str, str.GetLength(), lpRect, nFormat);
  }
  CSize GetTextExtent(LPCTSTR lpszString, int nCount) const;
  CSize GetTextExtent(const CString& str) const { return GetTextExtent(str, str.GetLength()); }
  CSize GetOutputTextExtent(LPCTSTR lpszString, int nCount) const { return GetTextExtent(lpszString, nCount); }
  CSize GetOutputTextExtent(const CString& str) const { return GetTextExtent(str); }
  CSize GetTabbedTextExtent(LPCTSTR lpszString, int nCount, int nTabPositions, LPINT lpnTabStopPositions) const;
  BOOL GetTextMetrics(LPTEXTMETRIC lpMetrics) const;
  int GetTextFace(int nCount, LPTSTR lpszFacename) const;
  BOOL GetCharWidth(UINT nFirstChar, UINT nLastChar, LPINT lpBuffer) const;
  int SetTextCharacterExtra(int nCharExtra);

  // ---- Printing (document calls; drawing goes to the DC; a printer DC answers them) ----
  virtual int StartDoc(LPCTSTR lpszDocName);
  virtual int EndDoc();
  virtual int StartPage();
  virtual int EndPage();
  virtual int AbortDoc();

  // The DC's state, for the layer itself.
  AfxDcState* GetState() const { return m_pState.get(); }

 protected:
  friend struct AfxDcAccess;
  std::unique_ptr<AfxDcState> m_pState;
  BOOL m_bPrinting = FALSE;
};

// Paints a window inside its WM_PAINT handler: clipped to the invalid region, and validates it.
class CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* pWnd);
  ~CPaintDC() override;
  PAINTSTRUCT m_ps{};
  HWND m_hWnd = nullptr;
};

// Draws on a window's client area at any time.
class CClientDC : public CDC {
 public:
  explicit CClientDC(CWnd* pWnd);
  ~CClientDC() override;
  HWND m_hWnd = nullptr;
};

// Draws on the whole window, non-client area included.
class CWindowDC : public CDC {
 public:
  explicit CWindowDC(CWnd* pWnd);
  ~CWindowDC() override;
  HWND m_hWnd = nullptr;
};

// Font faces of the platform the program was written for, on the fonts installed here.
LPCTSTR AfxMapFontFace(LPCTSTR lpszFace);

#define DSS_NORMAL 0x0000
#define DSS_DISABLED 0x0020
#define DSS_MONO 0x0080
#define DST_BITMAP 0x0004
#define DST_ICON 0x0003
#define ETO_OPAQUE 0x0002
#define ETO_CLIPPED 0x0004
#define DCX_WINDOW 0x00000001L
