// A printer device context that writes PDF: the views draw on it with the same CDC calls as
// on screen. Pages are framed by StartDoc/StartPage/EndPage/EndDoc as on a printer.
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

class QPdfWriter;
class QImage;

class CPrintDC : public CDC {
 public:
  CPrintDC();
  ~CPrintDC() override;
  // Output to a PDF file, without a dialog: the page in millimetres (A4 portrait by default)
  // at nDpi dots per inch, which is the DC's unit.
  BOOL CreatePdf(LPCTSTR lpszPath, int nDpi = 300, double dWidthMM = 210.0, double dHeightMM = 297.0);

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
  std::unique_ptr<QPdfWriter> m_pWriter;
  std::unique_ptr<QImage> m_pSizeImage;  // the page's size for the base class's size queries
  CString m_strPath;
  int m_nDpi = 300;
  int m_nPages = 0;
  bool m_bInDoc = false;
  bool m_bInPage = false;
};
