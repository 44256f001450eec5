// A printer device context, to a real printer through the system's printing or to a PDF
// file: the views draw on it with the same CDC calls as on screen. Pages are framed by
// StartDoc/StartPage/EndPage/EndDoc as on a printer.
#pragma once

#include "platform/ui/Gdi.h"

#include <memory>

struct DOCINFO {
  int cbSize;
  LPCTSTR lpszDocName;
  LPCTSTR lpszOutput;
  LPCTSTR lpszDatatype;
  DWORD fwType;
};
#define SP_ERROR (-1)

class QPagedPaintDevice;
class QPdfWriter;
class QPrinter;
class QImage;

class CPrintDC : public CDC {
 public:
  CPrintDC();
  ~CPrintDC() override;
  // Output to a PDF file, without a dialog: the page in millimetres (A4 portrait by default)
  // at nDpi dots per inch, which is the DC's unit.
  BOOL CreatePdf(LPCTSTR lpszPath, int nDpi = 300, double dWidthMM = 210.0, double dHeightMM = 297.0);
  // Output to a printer set up by the caller (name, page, copies, or a PDF file); the DC takes
  // it over. The DC's unit is the printer's dot and (0, 0) the top-left of its printable area:
  // HORZRES/VERTRES are that area, PHYSICALWIDTH/HEIGHT the sheet and PHYSICALOFFSETX/Y the
  // margins at the left and top.
  BOOL CreatePrinter(std::unique_ptr<QPrinter> pPrinter);
  BOOL IsPdf() const { return m_pWriter != nullptr; }

  int StartDoc(LPCTSTR lpszDocName) override;
  int StartDoc(const DOCINFO* lpDocInfo) { return StartDoc(lpDocInfo ? lpDocInfo->lpszDocName : nullptr); }
  int StartPage() override;
  int EndPage() override;
  int EndDoc() override;
  int AbortDoc() override;
  // Page size and resolution of the printer (HORZRES, VERTRES, LOGPIXELSX/Y, HORZSIZE, ...);
  // CDC's own answers the same through a CDC*.
  int GetDeviceCaps(int nIndex) const;
  int GetPageCount() const { return m_nPages; }

 private:
  BOOL Attach(QPagedPaintDevice* pDevice, int nDpi, int nWidth, int nHeight, int nSheetWidth, int nSheetHeight,
              int nOffsetX, int nOffsetY);
  std::unique_ptr<QPdfWriter> m_pWriter;
  std::unique_ptr<QPrinter> m_pPrinter;
  QPagedPaintDevice* m_pDevice = nullptr;
  std::unique_ptr<QImage> m_pSizeImage;  // the page's size for the base class's size queries
  CString m_strPath;
  int m_nDpi = 300;
  int m_nPages = 0;
  bool m_bInDoc = false;
  bool m_bInPage = false;
};
