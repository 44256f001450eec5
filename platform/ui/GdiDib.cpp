// Device-independent copies of bitmaps, for the picture exports, and pictures read from files.
#include "platform/ui/Gdi.h"
#include "platform/ui/UiInternal.h"

#include <QImageReader>

#include <algorithm>
#include <cstring>

namespace {

int StrideOf(LONG width, int bits) { return (int)((((long long)width * bits + 31) / 32) * 4); }

}  // namespace

int GetDIBits(HDC, HBITMAP hbm, UINT uStartScan, UINT cScanLines, LPVOID lpvBits, BITMAPINFO* lpbmi, UINT uUsage) {
  BITMAP bm{};
  if (!hbm || !lpbmi || ::GetObject(hbm, sizeof(BITMAP), &bm) != (int)sizeof(BITMAP)) return 0;
  if (AfxGdi(hbm)->kind != AfxGdiData::Bitmap) return 0;
  BITMAPINFOHEADER& h = lpbmi->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || uUsage != DIB_RGB_COLORS) return 0;
  const auto* data = static_cast<AfxBitmapData*>(AfxGdi(hbm));
  const LONG width = data->image.width(), height = data->image.height();
  if (width <= 0 || height <= 0) return 0;

  if (h.biBitCount == 0) {
    if (lpvBits) return 0;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = (WORD)bm.bmBitsPixel;
    h.biCompression = BI_RGB;
    h.biSizeImage = (DWORD)StrideOf(width, h.biBitCount) * (DWORD)height;
    return 1;
  }
  const int bits = h.biBitCount;
  if (h.biCompression != BI_RGB || (bits != 1 && bits != 16 && bits != 24 && bits != 32)) return 0;
  if (bits == 1) {
    // The colour table follows the header, whatever the header's size.
    auto* table = reinterpret_cast<RGBQUAD*>(reinterpret_cast<BYTE*>(lpbmi) + h.biSize);
    table[0] = RGBQUAD{0, 0, 0, 0};
    table[1] = RGBQUAD{255, 255, 255, 0};
  }
  const int stride = StrideOf(width, bits);
  if (!lpvBits) {
    h.biSizeImage = (DWORD)stride * (DWORD)height;
    return 1;
  }
  if (h.biWidth != width || (h.biHeight != height && h.biHeight != -height)) return 0;
  if (uStartScan >= (UINT)height) return 0;
  const UINT lines = std::min<UINT>(cScanLines, (UINT)height - uStartScan);
  const bool topDown = h.biHeight < 0;
  const QImage image = data->image.convertToFormat(QImage::Format_RGB32);
  auto* out = static_cast<BYTE*>(lpvBits);
  for (UINT i = 0; i < lines; ++i) {
    // Scan line numbers count from the bottom of a bottom-up picture.
    const int scan = (int)(uStartScan + i);
    const int y = topDown ? scan : (int)height - 1 - scan;
    const auto* src = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    BYTE* row = out + (size_t)i * (size_t)stride;
    if (bits == 32) {
      // The layer's own pixels, blue-green-red in memory, with the unused byte cleared.
      auto* dst = reinterpret_cast<quint32*>(row);
      for (LONG x = 0; x < width; ++x) dst[x] = src[x] & 0x00FFFFFFu;
      continue;
    }
    // Only the 1-bit rows are built up bit by bit; the others need their padding cleared.
    if (bits == 1)
      std::memset(row, 0, (size_t)stride);
    else
      std::memset(row + (size_t)width * (size_t)(bits / 8), 0, (size_t)stride - (size_t)width * (size_t)(bits / 8));
    for (LONG x = 0; x < width; ++x) {
      const QRgb p = src[x];
      const int r = qRed(p), g = qGreen(p), b = qBlue(p);
      switch (bits) {
        case 1:
          if (r * 30 + g * 59 + b * 11 >= 12800) row[x / 8] |= (BYTE)(0x80 >> (x % 8));
          break;
        case 16: {
          const unsigned v = (unsigned)((r >> 3) << 10 | (g >> 3) << 5 | (b >> 3));
          row[2 * x] = (BYTE)(v & 0xFF);
          row[2 * x + 1] = (BYTE)(v >> 8);
          break;
        }
        case 24:
          row[3 * x] = (BYTE)b;
          row[3 * x + 1] = (BYTE)g;
          row[3 * x + 2] = (BYTE)r;
          break;
        default:
          row[4 * x] = (BYTE)b;
          row[4 * x + 1] = (BYTE)g;
          row[4 * x + 2] = (BYTE)r;
          row[4 * x + 3] = 0;
          break;
      }
    }
  }
  return (int)lines;
}

BOOL CBitmap::LoadFile(LPCTSTR lpszPath) {
  if (!lpszPath || !*lpszPath) return FALSE;
  QImageReader reader(QString::fromUtf8(lpszPath));
  // Pictures far larger than any the program makes are refused rather than read.
  const QSize size = reader.size();
  if (size.isValid() && (qint64)size.width() * size.height() > (1ll << 26)) return FALSE;
  QImage image = reader.read();
  if (image.isNull()) return FALSE;
  DeleteObject();
  if (!CreateBitmap(image.width(), image.height(), 1, 32, nullptr)) return FALSE;
  static_cast<AfxBitmapData*>(AfxGdi(m_hObject))->image = image.convertToFormat(QImage::Format_RGB32);
  return TRUE;
}
