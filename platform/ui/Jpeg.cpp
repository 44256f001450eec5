#include "platform/ui/Jpeg.h"

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

// Runs the compressor over the rows; false with err.message on a library fault. Kept free of
// C++ objects because a fault longjmps out of the library calls.
bool compress(FILE* f, int w, int h, const BYTE* const* rows, int quality, AFX_JPEG_ERROR* err) {
  jpeg_compress_struct cinfo;
  cinfo.err = AfxJpegErrorManager(err);
  if (setjmp(err->jump)) {
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, f);
  cinfo.image_width = (JDIMENSION)w;
  cinfo.image_height = (JDIMENSION)h;
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(rows[cinfo.next_scanline]);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
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
  bool ok = compress(f, nWidth, nHeight, ppRows, nQuality, &err);
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
