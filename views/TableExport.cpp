#include "views/TableExport.h"

#include "model/Prediction.h"
#include "platform/core/AfxFile.h"
#include "platform/ui/CommonDlg.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/PrintDC.h"

#include <algorithm>

ViewExportFormat ViewExportFormatOf(CString& rPath, int nFilterIndex) {
  int slash = rPath.ReverseFind('/');
  int dot = rPath.ReverseFind('.');
  if (dot <= slash + 1) {  // no extension (a leading dot names a hidden file, not a type)
    rPath += nFilterIndex == 2 ? ".txt" : ".htm";
    return nFilterIndex == 2 ? kExportText : kExportHtml;
  }
  CString ext = rPath.Mid(dot + 1);
  if (ext.CompareNoCase("htm") == 0 || ext.CompareNoCase("html") == 0) return kExportHtml;
  if (ext.CompareNoCase("txt") == 0) return kExportText;
  return kExportNone;
}

CString ViewHtmlEscape(const CString& text) {
  CString out;
  for (int i = 0; i < text.GetLength(); ++i) {
    char c = text[i];
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c; break;
    }
  }
  return out;
}

BOOL ViewSaveText(LPCTSTR lpszPath, const CString& text, CString& rError) {
  CFileException fe;
  if (AfxSaveFileSafely(lpszPath, text.GetString(), (size_t)text.GetLength(), &fe)) return TRUE;
  char reason[512] = "";
  fe.GetErrorMessage(reason, sizeof reason);
  rError.Format("The file \"%s\" could not be saved.\n%s", lpszPath, reason);
  return FALSE;
}

CString ViewUnknownExtensionMessage(LPCTSTR lpszPath) {
  CString s;
  s.Format("The file \"%s\" was not saved: tables are saved as HTML (.htm) or text (.txt) files.", lpszPath);
  return s;
}

BOOL ViewDayHasPrediction(const CPrediction* p, int nDay) {
  if (!p) return FALSE;
  const CQsDateTime& today = p->GetToday().GetDate();
  CQsDateTime next(today);
  next.NextDay();
  const CQsDateTime& stored = p->GetNextDay().GetDate();
  return today.GetDay() == nDay && stored.GetDay() == next.GetDay() && stored.GetMonth() == next.GetMonth() &&
         stored.GetYear() == next.GetYear();
}

BOOL ViewCreateScrollBar(CScrollBar& bar, DWORD dwStyle, CWnd* pParent, UINT nID) {
  AfxInitControlClasses();
#ifdef WC_SCROLLBAR
  LPCTSTR cls = WC_SCROLLBAR;
#else
  LPCTSTR cls = "ScrollBar";
#endif
  WNDCLASS wc{};
  if (!::GetClassInfo(nullptr, cls, &wc)) return FALSE;
  return bar.CreateEx(0, cls, "", WS_CHILD | WS_VISIBLE | dwStyle, CRect(0, 0, 1, 1), pParent, nID);
}

BOOL ViewSaveExport(LPCTSTR lpszPath, int nFilterIndex, LPCTSTR lpszNoName,
                    const std::function<CString(ViewExportFormat)>& build, CString& rError, CString* pSavedPath) {
  CString path(lpszPath ? lpszPath : "");
  if (path.IsEmpty()) {
    rError = lpszNoName;
    return FALSE;
  }
  ViewExportFormat format = ViewExportFormatOf(path, nFilterIndex);
  if (pSavedPath) *pSavedPath = path;
  if (format == kExportNone) {
    rError = ViewUnknownExtensionMessage(path);
    return FALSE;
  }
  return ViewSaveText(path, build(format), rError);
}

void ViewSaveWithDialog(CWnd* pParent, LPCTSTR lpszDefaultName,
                        const std::function<BOOL(LPCTSTR, int, CString&)>& save) {
  CFileDialog dlg(FALSE, "htm", lpszDefaultName, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, VIEW_EXPORT_FILTER, pParent);
  if (dlg.DoModal() != IDOK) return;
  CString error;
  if (!save(dlg.GetPathName(), (int)dlg.m_ofn.nFilterIndex, error)) AfxMessageBox(error, MB_OK | MB_ICONEXCLAMATION);
}

BOOL ViewPrintDocument(CDC* pDC, int& rPrinting, const std::function<void(CDC*, const CRect&)>& draw) {
  if (!pDC) return FALSE;
  if (pDC->StartDoc("Neapwise") <= 0) return FALSE;
  rPrinting = 1;
  BOOL ok = pDC->StartPage() > 0;
  if (ok) {
    draw(pDC, CRect(0, 0, pDC->GetDeviceCaps(HORZRES), pDC->GetDeviceCaps(VERTRES)));
    ok = pDC->EndPage() > 0;
  }
  if (ok)
    ok = pDC->EndDoc() > 0;
  else
    pDC->AbortDoc();
  rPrinting = 0;
  return ok;
}

void ViewPrintWithDialog(CWnd* pParent, LPCTSTR lpszFailed, const std::function<BOOL(CDC*)>& print) {
  CPrintDialog dlg(FALSE, PD_NOPAGENUMS | PD_HIDEPRINTTOFILE, pParent);
  if (dlg.DoModal() != IDOK) return;
  HDC hdc = dlg.GetPrinterDC();
  if (!hdc) return;
  if (!print(CDC::FromHandle(hdc))) AfxMessageBox(lpszFailed, MB_OK | MB_ICONEXCLAMATION);
  ::DeleteDC(hdc);
}

void ViewSyncScrollBar(CScrollBar& bar, int nMax, int nPos, BOOL bEnabled) {
  HWND h = bar.GetSafeHwnd();
  if (!h) return;
  SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_POS | SIF_PAGE, 0, std::max(0, nMax), 1, nPos, 0};
  ::SetScrollInfo(h, SB_CTL, &si, TRUE);
  bar.EnableWindow(bEnabled);
}

int ViewScrollRequest(UINT nCode, UINT nPos, int nCurrent, int nMax) {
  // The vertical codes; the horizontal ones (SB_LINELEFT ...) have the same values.
  switch (nCode) {
    case SB_LINEUP: return nCurrent - 1 >= 0 ? nCurrent - 1 : -1;
    case SB_LINEDOWN: return nCurrent + 1 <= nMax ? nCurrent + 1 : -1;
    case SB_PAGEUP: return std::max(0, nCurrent - 2);
    case SB_PAGEDOWN: return std::min(nMax, nCurrent + 2);
    case SB_THUMBTRACK: return (int)nPos;
    default: return -1;
  }
}
