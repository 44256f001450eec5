#include "app/DialogDrawing.h"

#include "platform/core/AfxResource.h"

#include <cstring>
#include <vector>

void InitDefaultLogFont(LOGFONT* pLogFont) {
  std::memset(pLogFont, 0, sizeof *pLogFont);
  pLogFont->lfHeight = 100;
  pLogFont->lfWeight = FW_BOLD;
  pLogFont->lfCharSet = DEFAULT_CHARSET;
  pLogFont->lfPitchAndFamily = VARIABLE_PITCH | FF_ROMAN;
  std::strncpy(pLogFont->lfFaceName, "Arial", LF_FACESIZE - 1);
}

COLORREF MakePaletteRgb(COLORREF colour) { return (colour & 0x00FFFFFF) | 0x02000000; }

BOOL LoadBitmapWithPalette(UINT nIDResource, CBitmap& bitmap, CPalette& palette) {
  // The colour table is read from the resource itself: a DIB header, then its colours.
  HRSRC res = ::FindResource(AfxGetResourceHandle(), MAKEINTRESOURCE(nIDResource), RT_BITMAP);
  if (!res) return FALSE;
  const DWORD size = ::SizeofResource(AfxGetResourceHandle(), res);
  const auto* bytes = static_cast<const BYTE*>(::LockResource(::LoadResource(AfxGetResourceHandle(), res)));
  if (!bytes || size < sizeof(BITMAPINFOHEADER)) return FALSE;
  BITMAPINFOHEADER header;
  std::memcpy(&header, bytes, sizeof header);
  if (!bitmap.LoadBitmap(nIDResource)) return FALSE;
  UINT colours = header.biClrUsed;
  if (colours == 0 && header.biBitCount <= 8) colours = 1u << header.biBitCount;
  const size_t tableAt = header.biSize;
  if (header.biBitCount <= 8 && colours <= 256 && tableAt + colours * sizeof(RGBQUAD) <= size) {
    std::vector<BYTE> store(sizeof(LOGPALETTE) + colours * sizeof(PALETTEENTRY));
    auto* lp = reinterpret_cast<LOGPALETTE*>(store.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = (WORD)colours;
    for (UINT i = 0; i < colours; ++i) {
      RGBQUAD q;
      std::memcpy(&q, bytes + tableAt + i * sizeof(RGBQUAD), sizeof q);
      lp->palPalEntry[i] = PALETTEENTRY{q.rgbRed, q.rgbGreen, q.rgbBlue, 0};
    }
    palette.CreatePalette(lp);
  } else {
    CClientDC dc(nullptr);
    palette.CreateHalftonePalette(&dc);
  }
  return TRUE;
}
