#include "platform/ui/Jpeg.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/UiInternal.h"

#include <cstdlib>
#include <cstring>

namespace {

void errorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<AFX_JPEG_ERROR*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

void emitMessage(j_common_ptr cinfo, int level) {
  // Level -1 is a warning (corrupt data the library can carry on with); trace messages are dropped.
  if (level < 0) reinterpret_cast<AFX_JPEG_ERROR*>(cinfo->err)->nWarnings++;
}

void outputMessage(j_common_ptr) {}

void setError(CString* pError, const char* text) {
  if (pError) *pError = text;
}

bool decompress(FILE* f, int* w, int* h, std::vector<BYTE>* out, AFX_JPEG_ERROR* err) {
  jpeg_decompress_struct cinfo;
  cinfo.err = AfxJpegErrorManager(err);
  if (setjmp(err->jump)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_stdio_src(&cinfo, f);
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  *w = (int)cinfo.output_width;
  *h = (int)cinfo.output_height;
  if ((unsigned long long)cinfo.output_width * cinfo.output_height > (1ull << 28)) {
    std::strcpy(err->message, "Picture too large");
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  out->assign((size_t)cinfo.output_width * cinfo.output_height * 3, 0);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = out->data() + (size_t)cinfo.output_scanline * cinfo.output_width * 3;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

}  // namespace

jpeg_error_mgr* AfxJpegErrorManager(AFX_JPEG_ERROR* err) {
  jpeg_std_error(&err->pub);
  err->pub.error_exit = errorExit;
  err->pub.emit_message = emitMessage;
  err->pub.output_message = outputMessage;
  err->message[0] = 0;
  err->nWarnings = 0;
  return &err->pub;
}

BOOL AfxCompressJpeg(int nWidth, int nHeight, const BYTE* const* ppRows, AFX_JPEG_LAYOUT layout, int nQuality,
                     unsigned char** ppOut, unsigned long* pnOut, AFX_JPEG_ERROR* err) {
  // Kept free of C++ objects: a library fault longjmps back here.
  jpeg_compress_struct cinfo;
  cinfo.err = AfxJpegErrorManager(err);
  if (setjmp(err->jump)) {
    jpeg_destroy_compress(&cinfo);
    return FALSE;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, ppOut, pnOut);
  cinfo.image_width = (JDIMENSION)nWidth;
  cinfo.image_height = (JDIMENSION)nHeight;
  // The screen's own layouts are read as they stand: the library makes the same colours of
  // them that a converted red-green-blue copy would give.
  cinfo.input_components = layout == AFX_JPEG_BGRX ? 4 : 3;
  cinfo.in_color_space = layout == AFX_JPEG_BGR ? JCS_EXT_BGR : layout == AFX_JPEG_BGRX ? JCS_EXT_BGRX : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, nQuality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    // The library reads the rows and never writes them.
    JSAMPARRAY rows = const_cast<JSAMPARRAY>(ppRows + cinfo.next_scanline);
    jpeg_write_scanlines(&cinfo, rows, cinfo.image_height - cinfo.next_scanline);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return TRUE;
}

BOOL AfxCompressJpeg(HBITMAP hBitmap, int nQuality, unsigned char** ppOut, unsigned long* pnOut, AFX_JPEG_ERROR* err) {
  AfxJpegErrorManager(err);
  BITMAP bm{};
  AfxGdiData* data =
      hBitmap && ::GetObject(hBitmap, sizeof(BITMAP), &bm) == (int)sizeof(BITMAP) ? AfxGdi(hBitmap) : nullptr;
  if (!data || data->kind != AfxGdiData::Bitmap || static_cast<AfxBitmapData*>(data)->mono) {
    std::strcpy(err->message, "Invalid input data");
    return FALSE;
  }
  // The screen format's pixels are blue, green, red and one unused byte in memory; a picture
  // of another format is read as the screen format, as GetDIBits reads it.
  const QImage& own = static_cast<AfxBitmapData*>(data)->image;
  const QImage image = own.format() == QImage::Format_RGB32 ? own : own.convertToFormat(QImage::Format_RGB32);
  std::vector<const BYTE*> rows((size_t)image.height());
  for (int y = 0; y < image.height(); ++y) rows[(size_t)y] = image.constScanLine(y);
  return AfxCompressJpeg(image.width(), image.height(), rows.data(), AFX_JPEG_BGRX, nQuality, ppOut, pnOut, err);
}

BOOL AfxWriteJpegFile(LPCTSTR lpszPath, int nWidth, int nHeight, const BYTE* const* ppRows, int nQuality,
                      CString* pError) {
  setError(pError, "");
  if (!lpszPath || !*lpszPath || !ppRows || nWidth <= 0 || nHeight <= 0 || nWidth > JPEG_MAX_DIMENSION ||
      nHeight > JPEG_MAX_DIMENSION || nQuality < 0 || nQuality > 100) {
    setError(pError, "Invalid input data");
    return FALSE;
  }
  for (int i = 0; i < nHeight; ++i)
    if (!ppRows[i]) {
      setError(pError, "Invalid input data");
      return FALSE;
    }
  FILE* f = std::fopen(lpszPath, "wb");
  if (!f) {
    if (pError) *pError = CString("Cannot open ") + lpszPath;
    return FALSE;
  }
  AFX_JPEG_ERROR err;
  unsigned char* out = nullptr;
  unsigned long size = 0;
  bool ok = AfxCompressJpeg(nWidth, nHeight, ppRows, AFX_JPEG_RGB, nQuality, &out, &size, &err) &&
            std::fwrite(out, 1, size, f) == size;
  std::free(out);
  if (!ok && !err.message[0]) std::strcpy(err.message, "Cannot write the file");
  if (std::fclose(f) != 0 && ok) {
    ok = false;
    std::strcpy(err.message, "Cannot write the file");
  }
  if (!ok) {
    std::remove(lpszPath);
    setError(pError, err.message[0] ? err.message : "Cannot write the file");
    return FALSE;
  }
  return TRUE;
}

BOOL AfxWriteJpegFile(LPCTSTR lpszPath, int nWidth, int nHeight, const BYTE* pPixels, int nStride, int nQuality,
                      CString* pError) {
  if (!pPixels || nHeight <= 0 || nWidth <= 0 || nStride < nWidth * 3 || nHeight > JPEG_MAX_DIMENSION) {
    setError(pError, "Invalid input data");
    return FALSE;
  }
  std::vector<const BYTE*> rows((size_t)nHeight);
  for (int i = 0; i < nHeight; ++i) rows[(size_t)i] = pPixels + (size_t)i * (size_t)nStride;
  return AfxWriteJpegFile(lpszPath, nWidth, nHeight, rows.data(), nQuality, pError);
}

BOOL AfxReadJpegFile(LPCTSTR lpszPath, int* pWidth, int* pHeight, std::vector<BYTE>* pRgb, CString* pError) {
  setError(pError, "");
  if (!lpszPath || !pWidth || !pHeight || !pRgb) {
    setError(pError, "Invalid input data");
    return FALSE;
  }
  FILE* f = std::fopen(lpszPath, "rb");
  if (!f) {
    if (pError) *pError = CString("Cannot open ") + lpszPath;
    return FALSE;
  }
  AFX_JPEG_ERROR err;
  int w = 0, h = 0;
  bool ok = decompress(f, &w, &h, pRgb, &err);
  std::fclose(f);
  if (!ok) {
    pRgb->clear();
    setError(pError, err.message);
    return FALSE;
  }
  *pWidth = w;
  *pHeight = h;
  return TRUE;
}
