#include "views/PictureExport.h"

#include "platform/ui/Jpeg.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

int ColoursOf(int nBitCount) { return nBitCount <= 8 ? 1 << nBitCount : 0; }

size_t StrideOf(LONG nWidth, int nBitCount) { return (size_t)((((long long)nWidth * nBitCount + 31) / 32) * 4); }

// The DIB's header, checked against the block it sits in; null when the block does not hold
// the header, the colour table and the rows it promises.
const BITMAPINFOHEADER* CheckedHeader(const BYTE* p, size_t nSize) {
  if (!p || nSize < sizeof(BITMAPINFOHEADER)) return nullptr;
  const auto* h = reinterpret_cast<const BITMAPINFOHEADER*>(p);
  if (h->biSize < sizeof(BITMAPINFOHEADER) || h->biSize > nSize || h->biWidth <= 0 || h->biHeight == 0 ||
      h->biWidth > 65535 || h->biHeight > 65535 || h->biHeight < -65535)
    return nullptr;
  const long long rows = h->biHeight < 0 ? -(long long)h->biHeight : h->biHeight;
  const long long need = (long long)h->biSize + (long long)ColoursOf(h->biBitCount) * (long long)sizeof(RGBQUAD) +
                         (long long)StrideOf(h->biWidth, h->biBitCount) * rows;
  return h->biBitCount > 32 || need > (long long)nSize ? nullptr : h;
}

BYTE Expand5(unsigned v) { return v == 0 ? 0 : v == 31 ? 255 : (BYTE)(8 * v + 8); }

// The compressed picture, or the library's fault, written beside the target and renamed over
// it: a failed write leaves the old file whole. Frees the picture.
int SaveCompressed(bool ok, unsigned char* out, unsigned long size, const AFX_JPEG_ERROR& err, LPCTSTR lpszPath,
                   CString* pMessage) {
  if (!ok) {
    std::free(out);
    *pMessage = CString(err.message[0] ? err.message : "Invalid input data");
    return 0;
  }
  CFileException e;
  const BOOL saved = AfxSaveFileSafely(lpszPath, out, size, &e);
  std::free(out);
  if (!saved) {
    *pMessage = CString("Cannot open ") + lpszPath;
    return 0;
  }
  return 1;
}

}  // namespace

HGLOBAL DDBToDIB(CBitmap& bitmap, DWORD dwCompression, CPalette* pPalette) {
  if (dwCompression == BI_BITFIELDS || !bitmap.GetSafeHandle()) return nullptr;
  BITMAP bm{};
  if (!bitmap.GetBitmap(&bm)) return nullptr;
  // The palette only matters on palette displays; every display here is true colour.
  CPalette* palette = pPalette ? pPalette : CPalette::FromHandle((HPALETTE)::GetStockObject(DEFAULT_PALETTE));
  (void)palette;

  BITMAPINFOHEADER bi{};
  bi.biSize = sizeof(BITMAPINFOHEADER);
  bi.biWidth = bm.bmWidth;
  bi.biHeight = bm.bmHeight;
  bi.biPlanes = 1;
  bi.biBitCount = (WORD)(bm.bmPlanes * bm.bmBitsPixel);
  bi.biCompression = dwCompression;
  const size_t table = (size_t)ColoursOf(bi.biBitCount) * sizeof(RGBQUAD);
  const size_t head = sizeof(BITMAPINFOHEADER) + table;

  HGLOBAL hHead = ::GlobalAlloc(GMEM_FIXED, head);
  if (!hHead) return nullptr;
  auto* info = static_cast<BITMAPINFO*>(::GlobalLock(hHead));
  info->bmiHeader = bi;
  const BOOL headed =
      ::GetDIBits(nullptr, (HBITMAP)bitmap.GetSafeHandle(), 0, (UINT)bm.bmHeight, nullptr, info, DIB_RGB_COLORS) != 0;
  bi = info->bmiHeader;
  if (!headed) {
    ::GlobalUnlock(hHead);
    ::GlobalFree(hHead);
    return nullptr;
  }
  if (bi.biSizeImage == 0) {
    bi.biSizeImage = (DWORD)(StrideOf(bi.biWidth, bi.biBitCount) * (size_t)bi.biHeight);
    if (dwCompression != BI_RGB) bi.biSizeImage = bi.biSizeImage * 3 / 2;
  }

  // The whole block: the completed header and table, then room for the rows.
  HGLOBAL hDIB = ::GlobalAlloc(GMEM_MOVEABLE, head + bi.biSizeImage);
  if (!hDIB) {
    ::GlobalUnlock(hHead);
    ::GlobalFree(hHead);
    return nullptr;
  }
  auto* whole = static_cast<BYTE*>(::GlobalLock(hDIB));
  std::memcpy(whole, info, head);
  ::GlobalUnlock(hHead);
  ::GlobalFree(hHead);
  auto* full = reinterpret_cast<BITMAPINFO*>(whole);
  full->bmiHeader = bi;
  const int lines =
      ::GetDIBits(nullptr, (HBITMAP)bitmap.GetSafeHandle(), 0, (UINT)bi.biHeight, whole + head, full, DIB_RGB_COLORS);
  ::GlobalUnlock(hDIB);
  if (lines <= 0) {
    ::GlobalFree(hDIB);
    return nullptr;
  }
  return hDIB;
}

int DIBToRGBRows(HGLOBAL hDIB, int nRowBytes, BYTE** ppRows, CString* pMessage) {
  if (!pMessage) return 0;
  const BYTE* base = hDIB ? static_cast<const BYTE*>(::GlobalLock(hDIB)) : nullptr;
  const BITMAPINFOHEADER* h = CheckedHeader(base, hDIB ? ::GlobalSize(hDIB) : 0);
  if (!h || nRowBytes <= 0 || !ppRows || (long long)nRowBytes < (long long)h->biWidth * 3) {
    if (base) ::GlobalUnlock(hDIB);
    *pMessage = "Invalid input data";
    return 0;
  }
  const int bits = h->biBitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
    ::GlobalUnlock(hDIB);
    *pMessage = "Invalid bitmap bit count";
    return 0;
  }
  const auto* table = reinterpret_cast<const RGBQUAD*>(base + h->biSize);
  const BYTE* pixels = base + h->biSize + (size_t)ColoursOf(bits) * sizeof(RGBQUAD);
  const size_t stride = StrideOf(h->biWidth, bits);
  const bool topDown = h->biHeight < 0;
  const int height = topDown ? -h->biHeight : h->biHeight;
  const int width = h->biWidth;
  for (int i = 0; i < height; ++i) {
    const BYTE* src = pixels + (size_t)(topDown ? i : height - 1 - i) * stride;
    BYTE* out = ppRows[i];
    if (!out) continue;
    auto put = [out](int x, BYTE r, BYTE g, BYTE b) {
      out[3 * x] = r;
      out[3 * x + 1] = g;
      out[3 * x + 2] = b;
    };
    switch (bits) {
      case 1:
      case 4:
      case 8:
        for (int x = 0; x < width; ++x) {
          int index;
          if (bits == 1)
            index = (src[x / 8] >> (7 - x % 8)) & 1;
          else if (bits == 4)
            index = x % 2 ? src[x / 2] & 0x0F : src[x / 2] >> 4;
          else
            index = src[x];
          put(x, table[index].rgbRed, table[index].rgbGreen, table[index].rgbBlue);
        }
        break;
      case 16:
        for (int x = 0; x < width; ++x) {
          const unsigned v = (unsigned)src[2 * x] | (unsigned)src[2 * x + 1] << 8;
          put(x, Expand5((v >> 10) & 31), Expand5((v >> 5) & 31), Expand5(v & 31));
        }
        break;
      case 24:
        for (int x = 0; x < width; ++x, src += 3) put(x, src[2], src[1], src[0]);
        break;
      default:
        for (int x = 0; x < width; ++x, src += 4) put(x, src[2], src[1], src[0]);
        break;
    }
  }
  ::GlobalUnlock(hDIB);
  return 1;
}

int DIBToJpegFile(HGLOBAL hDIB, UINT nQuality, LPCTSTR lpszPath, CString* pMessage) {
  if (!pMessage) return 0;
  if (nQuality > 100 || !hDIB || !lpszPath || !*lpszPath) {
    *pMessage = "Invalid input data";
    return 0;
  }
  pMessage->Empty();
  const BYTE* base = static_cast<const BYTE*>(::GlobalLock(hDIB));
  const BITMAPINFOHEADER* h = CheckedHeader(base, ::GlobalSize(hDIB));
  // Sizes beyond what JPEG holds are the library's to refuse, with its own message.
  if (!h) {
    if (base) ::GlobalUnlock(hDIB);
    *pMessage = "Invalid input data";
    return 0;
  }
  const int width = h->biWidth, height = h->biHeight < 0 ? -h->biHeight : h->biHeight;

  // 24- and 32-bit rows go to the compressor as they stand (the screen's pictures are 32-bit);
  // the others are turned into red-green-blue rows first.
  std::vector<BYTE> converted;
  std::vector<const BYTE*> rows((size_t)height);
  AFX_JPEG_LAYOUT layout = AFX_JPEG_RGB;
  if (h->biBitCount == 24 || h->biBitCount == 32) {
    layout = h->biBitCount == 24 ? AFX_JPEG_BGR : AFX_JPEG_BGRX;
    const BYTE* pixels = base + h->biSize;
    const size_t stride = StrideOf(h->biWidth, h->biBitCount);
    const bool topDown = h->biHeight < 0;
    for (int i = 0; i < height; ++i) rows[(size_t)i] = pixels + (size_t)(topDown ? i : height - 1 - i) * stride;
  } else {
    converted.resize((size_t)width * 3 * (size_t)height);
    std::vector<BYTE*> out((size_t)height);
    for (int i = 0; i < height; ++i) out[(size_t)i] = converted.data() + (size_t)i * (size_t)width * 3;
    if (!DIBToRGBRows(hDIB, width * 3, out.data(), pMessage)) {
      ::GlobalUnlock(hDIB);
      return 0;
    }
    for (int i = 0; i < height; ++i) rows[(size_t)i] = out[(size_t)i];
  }
  AFX_JPEG_ERROR err;
  unsigned char* out = nullptr;
  unsigned long size = 0;
  const bool ok = AfxCompressJpeg(width, height, rows.data(), layout, (int)nQuality, &out, &size, &err);
  ::GlobalUnlock(hDIB);
  return SaveCompressed(ok, out, size, err, lpszPath, pMessage);
}

int BitmapToJpegFile(CBitmap& bitmap, UINT nQuality, LPCTSTR lpszPath, CString* pMessage) {
  if (!pMessage) return 0;
  if (nQuality > 100 || !bitmap.GetSafeHandle() || !lpszPath || !*lpszPath) {
    *pMessage = "Invalid input data";
    return 0;
  }
  pMessage->Empty();
  AFX_JPEG_ERROR err;
  unsigned char* out = nullptr;
  unsigned long size = 0;
  const bool ok = AfxCompressJpeg((HBITMAP)bitmap.GetSafeHandle(), (int)nQuality, &out, &size, &err);
  return SaveCompressed(ok, out, size, err, lpszPath, pMessage);
}
