// What the table and the height finder share: saving (choosing the format from the file name,
// escaping text for HTML, writing the file safely with a reported failure), printing one page
// and their scroll bar.
#pragma once

#include "platform/core/AfxString.h"
#include "platform/ui/AfxWin.h"

#include <functional>

class CPrediction;

// The save dialog's filter of both pages; index 1 is HTML, 2 is text.
#define VIEW_EXPORT_FILTER "HTML File (*.htm)|*.htm|Text File (*.txt)|*.txt|"

enum ViewExportFormat { kExportNone = 0, kExportHtml = 1, kExportText = 2 };

// The format of a chosen file name. The extension is compared without regard to case; a name
// without one gets the extension of the filter the user chose (1 HTML, 2 text), so rPath may
// grow. kExportNone for any other extension.
ViewExportFormat ViewExportFormatOf(CString& rPath, int nFilterIndex);

// The text with &, <, > and " written as HTML entities.
CString ViewHtmlEscape(const CString& text);

// Writes the bytes to a temporary file beside the target and renames it over the target.
// FALSE with a message for the user (naming the file and the reason) when that fails.
BOOL ViewSaveText(LPCTSTR lpszPath, const CString& text, CString& rError);

// The user's message for a name whose extension is neither .htm nor .txt.
CString ViewUnknownExtensionMessage(LPCTSTR lpszPath);

// FALSE when a day of the month has no prediction: a day outside the angle/factor table holds
// the table's empty record (or lacks its next day's record).
BOOL ViewDayHasPrediction(const CPrediction* pDay, int nDay);

// Creates the page's scroll bar control when the platform has one; FALSE (and the page keeps
// its scroll state alone) when it doesn't.
BOOL ViewCreateScrollBar(CScrollBar& bar, DWORD dwStyle, CWnd* pParent, UINT nID);

// Saves the page under the chosen name in the format its extension (or the filter) asks for,
// with build giving the page's text in that format. FALSE with rError set when nothing is
// named (lpszNoName), the extension is unknown or the write fails. pSavedPath receives the
// name as it was saved, extension added.
BOOL ViewSaveExport(LPCTSTR lpszPath, int nFilterIndex, LPCTSTR lpszNoName,
                    const std::function<CString(ViewExportFormat)>& build, CString& rError, CString* pSavedPath);

// Asks for a file name (offering lpszDefaultName) and saves through save; a failure is shown.
void ViewSaveWithDialog(CWnd* pParent, LPCTSTR lpszDefaultName,
                        const std::function<BOOL(LPCTSTR, int, CString&)>& save);

// Prints one document through the printer DC: draw fills the page's rectangle (and may start
// further pages itself); rPrinting is set while it draws. FALSE when the printer refuses.
BOOL ViewPrintDocument(CDC* pDC, int& rPrinting, const std::function<void(CDC*, const CRect&)>& draw);

// Asks for a printer and prints through print; lpszFailed is shown when that fails.
void ViewPrintWithDialog(CWnd* pParent, LPCTSTR lpszFailed, const std::function<BOOL(CDC*)>& print);

// Sets the scroll bar control's range, position and whether it is enabled.
void ViewSyncScrollBar(CScrollBar& bar, int nMax, int nPos, BOOL bEnabled);

// The position a scroll bar code asks for (lines move by one, pages by two), or -1 when it
// asks for none.
int ViewScrollRequest(UINT nCode, UINT nPos, int nCurrent, int nMax);
