// What the table and the height finder share when they save: choosing the format from the
// file name, escaping text for HTML, and writing the file safely with a reported failure.
#pragma once

#include "platform/core/AfxString.h"
#include "platform/ui/AfxWin.h"

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
