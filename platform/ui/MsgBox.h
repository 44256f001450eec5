// Message boxes with the platform's flags and answers.
//
// Tests (and scripted checks) answer boxes through a hook instead of a window:
//   AfxSetMessageBoxHook([](const AFX_MSGBOX_REQUEST& r) { return IDYES; });
#pragma once

#include "platform/ui/Wnd.h"

#include <functional>
#include <string>

struct AFX_MSGBOX_REQUEST {
  HWND hWndOwner;
  std::string text;
  std::string caption;
  UINT type;  // MB_* flags
};

// The hook answers with IDOK, IDYES and so on; a hook returning 0 lets the box show.
typedef std::function<int(const AFX_MSGBOX_REQUEST&)> AFX_MSGBOX_HOOK;
AFX_MSGBOX_HOOK AfxSetMessageBoxHook(AFX_MSGBOX_HOOK hook);

int MessageBox(HWND hWnd, LPCTSTR lpText, LPCTSTR lpCaption, UINT uType);
int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
// Text from the string table.
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);
