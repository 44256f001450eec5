#include "views/TableExport.h"

#include "model/Prediction.h"
#include "platform/core/AfxFile.h"

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
