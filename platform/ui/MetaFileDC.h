// Enhanced metafiles: a DC whose drawing is recorded as EMF records (the published format
// that LibreOffice, Inkscape and the platform the program was written for all read), and the
// handle functions over the finished pictures.
//
// The views draw on it with the same CDC calls as on screen and printer; what they draw is
// recorded in device units (one unit a screen pixel at 96 dpi), text as text with its font.
#pragma once

#include "platform/ui/Gdi.h"

#include <memory>
#include <vector>

struct HENHMETAFILE__;
typedef HENHMETAFILE__* HENHMETAFILE;

struct RECTL {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
};
struct SIZEL {
  LONG cx;
  LONG cy;
};

struct ENHMETAHEADER {
  DWORD iType;
  DWORD nSize;
  RECTL rclBounds;  // device units, inclusive
  RECTL rclFrame;   // .01 mm, inclusive
  DWORD dSignature;
  DWORD nVersion;
  DWORD nBytes;
  DWORD nRecords;
  WORD nHandles;
  WORD sReserved;
  DWORD nDescription;
  DWORD offDescription;
  DWORD nPalEntries;
  SIZEL szlDevice;
  SIZEL szlMillimeters;
  DWORD cbPixelFormat;
  DWORD offPixelFormat;
  DWORD bOpenGL;
  SIZEL szlMicrometers;
};

#define ENHMETA_SIGNATURE 0x464D4520

// Record types written here.
#define EMR_HEADER 1
#define EMR_POLYLINE 4
#define EMR_EOF 14
#define EMR_SETPIXELV 15
#define EMR_SETBKMODE 18
#define EMR_SETPOLYFILLMODE 19
#define EMR_SETTEXTALIGN 22
#define EMR_SETTEXTCOLOR 24
#define EMR_EXCLUDECLIPRECT 29
#define EMR_INTERSECTCLIPRECT 30
#define EMR_SELECTOBJECT 37
#define EMR_CREATEPEN 38
#define EMR_CREATEBRUSHINDIRECT 39
#define EMR_DELETEOBJECT 40
#define EMR_ELLIPSE 42
#define EMR_RECTANGLE 43
#define EMR_EXTSELECTCLIPRGN 75
#define EMR_STRETCHDIBITS 81
#define EMR_EXTCREATEFONTINDIRECTW 82
#define EMR_EXTTEXTOUTW 84
#define EMR_POLYGON16 86
#define EMR_POLYLINE16 87
#define EMR_POLYPOLYLINE16 90
#define EMR_POLYPOLYGON16 91
#define EMR_POLYGON 3
#define EMR_POLYPOLYLINE 7
#define EMR_POLYPOLYGON 8

class AfxEmfDevice;

class CMetaFileDC : public CDC {
  DECLARE_DYNAMIC(CMetaFileDC)
 public:
  CMetaFileDC();
  ~CMetaFileDC() override;
  // pDCRef: the reference device (null: the screen). lpszFileName: the file written when the
  // picture is closed (null: in memory only). lpBounds: the picture's frame in .01 mm (null:
  // from what is drawn). lpszDescription: the text stored in the file (may be null).
  BOOL CreateEnhanced(CDC* pDCRef, LPCTSTR lpszFileName, LPCRECT lpBounds, LPCTSTR lpszDescription);
  // Only enhanced metafiles are made: Create is CreateEnhanced with no bounds.
  BOOL Create(LPCTSTR lpszFileName = nullptr) { return CreateEnhanced(nullptr, lpszFileName, nullptr, nullptr); }
  // The DC whose fonts measure text; the metafile's own screen metrics when not set.
  void SetAttribDC(HDC hDC) { m_hAttribDC = hDC ? hDC : m_hDC; }
  // Ends the recording and writes the file, if any. Null when the file could not be written.
  HENHMETAFILE CloseEnhanced();
  HENHMETAFILE Close() { return CloseEnhanced(); }

 private:
  std::unique_ptr<AfxEmfDevice> m_pDevice;
  CString m_strPath;
};

// A copy of the picture, written to lpszFileName when not null (the file is replaced safely).
HENHMETAFILE CopyEnhMetaFile(HENHMETAFILE hemf, LPCTSTR lpszFileName);
BOOL DeleteEnhMetaFile(HENHMETAFILE hemf);
// The file's bytes: their count when lpData is null, else copied (0 when nSize is too small).
UINT GetEnhMetaFileBits(HENHMETAFILE hemf, UINT nSize, LPBYTE lpData);
UINT GetEnhMetaFileHeader(HENHMETAFILE hemf, UINT nSize, ENHMETAHEADER* lpHeader);
// A picture from EMF bytes or a file; null when they are not an enhanced metafile.
HENHMETAFILE SetEnhMetaFileBits(UINT nSize, const BYTE* lpData);
HENHMETAFILE GetEnhMetaFile(LPCTSTR lpszFileName);
// The picture as pixels (white behind it), at its recorded size; FALSE for a picture read
// from bytes, whose drawing is not kept.
BOOL AfxEnhMetaFileToBitmap(HENHMETAFILE hemf, CBitmap* pBitmap);
