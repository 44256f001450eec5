// JPEG files through libjpeg's 6b interface (libjpeg-turbo's libjpeg62).
//
// The library's standard error manager ends the process on a fatal error. Callers that use
// the library directly install AfxJpegErrorManager instead and set a return point first:
//
//   AFX_JPEG_ERROR err;
//   jpeg_compress_struct cinfo;
//   cinfo.err = AfxJpegErrorManager(&err);
//   if (setjmp(err.jump)) { jpeg_destroy_compress(&cinfo); /* err.message says why */ }
//   jpeg_create_compress(&cinfo);
//   ...
//
// Between setjmp and the library calls keep no objects with destructors (longjmp skips them).
#pragma once

#include "platform/core/AfxString.h"
#include "platform/ui/WinDefs.h"

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

struct AFX_JPEG_ERROR {
  jpeg_error_mgr pub;  // first: the library hands this pointer back to the handlers
  jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
  int nWarnings;
};

// The standard manager with error_exit replaced: a fatal error formats the library's message
// into err->message and longjmps to err->jump. Warnings are counted, never printed.
jpeg_error_mgr* AfxJpegErrorManager(AFX_JPEG_ERROR* err);

// How the compressor's rows hold their pixels: 3 bytes red, green, blue; 3 bytes blue, green,
// red (a 24-bit DIB); 4 bytes blue, green, red and one unused (a 32-bit DIB, the screen format).
enum AFX_JPEG_LAYOUT { AFX_JPEG_RGB, AFX_JPEG_BGR, AFX_JPEG_BGRX };

// The one compressor: a baseline JPEG (JFIF, 3 components) of the rows, given top first, into a
// block of memory. *ppOut is malloc'd by the library and the caller frees it, after a failure
// too. FALSE with err->message on any fault of the library's.
BOOL AfxCompressJpeg(int nWidth, int nHeight, const BYTE* const* ppRows, AFX_JPEG_LAYOUT layout, int nQuality,
                     unsigned char** ppOut, unsigned long* pnOut, AFX_JPEG_ERROR* err);

// The same of a colour bitmap's own pixels, read where they lie: no copy for a screen-format
// bitmap. FALSE ("Invalid input data") for a monochrome bitmap or a handle that is none.
BOOL AfxCompressJpeg(HBITMAP hBitmap, int nQuality, unsigned char** ppOut, unsigned long* pnOut, AFX_JPEG_ERROR* err);

// Writes a baseline JPEG (JFIF, 3 components, JCS_RGB input) from rows given top first, 3 bytes
// a pixel in the order red, green, blue. quality 0..100. FALSE with a message on any fault; a
// failed write leaves no partial file behind.
BOOL AfxWriteJpegFile(LPCTSTR lpszPath, int nWidth, int nHeight, const BYTE* const* ppRows, int nQuality,
                      CString* pError = nullptr);
// The same from one block of rows nStride bytes apart.
BOOL AfxWriteJpegFile(LPCTSTR lpszPath, int nWidth, int nHeight, const BYTE* pPixels, int nStride, int nQuality,
                      CString* pError = nullptr);

// Reads a JPEG file into RGB bytes (rows top first, 3 bytes a pixel, no padding).
BOOL AfxReadJpegFile(LPCTSTR lpszPath, int* pWidth, int* pHeight, std::vector<BYTE>* pRgb, CString* pError = nullptr);
