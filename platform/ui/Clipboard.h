// The clipboard and the shell: text, pictures (the enhanced-metafile bytes together with a
// PNG image that every Linux program can paste), and opening addresses and files in the
// desktop's default application.
#pragma once

#include "platform/core/AfxString.h"
#include "platform/ui/Gdi.h"

#include <vector>

// MIME types under which the metafile bytes are offered.
#define AFX_CLIPBOARD_EMF_MIME "image/emf"
#define AFX_CLIPBOARD_EMF_MIME_ALT "image/x-emf"

// Replaces the clipboard's contents with text (UTF-8).
BOOL AfxSetClipboardText(LPCTSTR lpszText);
// The clipboard's text; FALSE when it holds none.
BOOL AfxGetClipboardText(CString& rText);
// Replaces the contents with a picture: the EMF bytes (may be empty) and the bitmap's pixels
// as an image (may be null); at least one of them.
BOOL AfxSetClipboardPicture(const std::vector<BYTE>& emf, const CBitmap* pBitmap);
// The EMF bytes on the clipboard, if any.
BOOL AfxGetClipboardEmf(std::vector<BYTE>& rBytes);
// The image on the clipboard as a 32-bit bitmap, if any.
BOOL AfxGetClipboardImage(CBitmap* pBitmap);
// Empties the clipboard.
BOOL AfxEmptyClipboard();

// The platform's clipboard calls. Between OpenClipboard and CloseClipboard the formats set
// are gathered and appear together at CloseClipboard. SetClipboardData takes over the handle:
// a CF_ENHMETAFILE picture (HENHMETAFILE) goes on as its EMF bytes together with a PNG of it,
// a CF_BITMAP (HBITMAP) as an image, CF_TEXT (a GlobalAlloc block, AfxGlobalMem.h) as the
// zero-terminated UTF-8 text in it.
#define CF_TEXT 1
#define CF_BITMAP 2
#define CF_UNICODETEXT 13
#define CF_ENHMETAFILE 14
typedef void* HANDLE;
BOOL OpenClipboard(HWND hWndNewOwner);
BOOL EmptyClipboard();
HANDLE SetClipboardData(UINT uFormat, HANDLE hMem);
BOOL CloseClipboard();
BOOL IsClipboardFormatAvailable(UINT uFormat);
// CF_ENHMETAFILE: a picture of the clipboard's EMF bytes; CF_TEXT: a global block with the
// text. Both stay the clipboard's (do not free them). Null for other formats.
HANDLE GetClipboardData(UINT uFormat);

// Opens a web address (http:, https:, mailto:, file:) or a local file or folder in the
// desktop's default application. FALSE when nothing could be started.
BOOL AfxShellOpen(LPCTSTR lpszUrlOrPath);
// A test hook: when set, AfxShellOpen hands the checked address (a file as a file: URL) here
// instead of to the desktop.
void AfxSetShellOpenHookForTest(BOOL (*pfn)(LPCTSTR lpszUrl));
