// Pictures of the graph as files: a bitmap made device-independent (a packed DIB in one
// global block), its pixels as red-green-blue rows, and those rows as a JPEG file.
#pragma once

#include "platform/core/AfxGlobalMem.h"
#include "platform/ui/AfxWin.h"

// A packed DIB of the bitmap: the header, the colour table (1, 4 and 8 bits a pixel) and the
// rows, bottom row first, each padded to 4 bytes. The caller frees it with GlobalFree. Null
// for BI_BITFIELDS or when the bitmap's bits cannot be had. pPalette may be null.
HGLOBAL DDBToDIB(CBitmap& bitmap, DWORD dwCompression, CPalette* pPalette);

// Fills rows (top row first, nRowBytes each, 3 bytes a pixel: red, green, blue) from a packed
// DIB of 1, 4, 8, 16 (5-5-5), 24 or 32 bits a pixel. 1 on success; 0 with the reason in
// *pMessage ("Invalid input data", "Invalid bitmap bit count"), or 0 when pMessage is null.
int DIBToRGBRows(HGLOBAL hDIB, int nRowBytes, BYTE** ppRows, CString* pMessage);

// Writes the DIB as a baseline JPEG at quality 0..100. 1 on success with *pMessage emptied;
// 0 with the reason. A failure of any kind, the library's own included, leaves no file (an
// existing one is replaced only by a complete picture) and never ends the program.
int DIBToJpegFile(HGLOBAL hDIB, UINT nQuality, LPCTSTR lpszPath, CString* pMessage);

// The same of the bitmap's own pixels, without a device-independent copy: the file is the one
// DIBToJpegFile writes of DDBToDIB's picture of a colour bitmap.
int BitmapToJpegFile(CBitmap& bitmap, UINT nQuality, LPCTSTR lpszPath, CString* pMessage);
