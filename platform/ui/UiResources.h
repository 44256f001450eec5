// The program's user-interface resources: menus, string tables and accelerator tables,
// written as resource scripts (*.nrc under resources/) and built into the program.
//
// A script is UTF-8 text; '#' starts a comment; texts are in double quotes with the escapes
// \t, \n, \\ and \". Blocks:
//
//   menu 117                          a menu resource (RT_MENU "#117")
//     popup "&View"                   a popup, closed by "end"
//       item "&Graph\tCtrl+G" 32787 checked grayed inactive default menubreak
//       separator
//     end
//   end
//
//   strings                           string-table entries (RT_STRING blocks)
//     61229 "You will run aground at the next low water"
//   end
//
//   dialog 188 "Select Port" 0 0 178 214   a dialog template (see Dialog.h), in dialog units
//     style DS_MODALFRAME|WS_POPUP|WS_CAPTION|WS_SYSMENU   style names or numbers, '|' between
//     font "MS Shell Dlg" 8
//     control "Button" 1 "OK" 121 193 50 14 BS_DEFPUSHBUTTON|WS_TABSTOP exstyle 0
//   end
//
//   accelerators 128                  an accelerator table (RT_ACCELERATOR "#128")
//     key "S" 57603 ctrl              a character key with modifiers ctrl, shift, alt
//     vkey 0x7B 57603                 a virtual key
//   end
//
// Each block becomes the platform's binary resource of that type in the core resource
// registry, so FindResource and the loaders see them as on the platform.
//
// In CMake: neapwise_ui_resources(<target> file.nrc ...) builds the scripts into <target>.
#pragma once

#include "platform/core/AfxString.h"
#include "platform/ui/WinDefs.h"

// Registers a script's text (static storage); compiled on the next AfxEnsureUiResources.
void AfxRegisterUiScript(LPCTSTR lpszName, const char* pText, size_t nSize);
// Compiles every script registered so far and not yet compiled. Called by the loaders.
void AfxEnsureUiResources();
// Compiles one script now; FALSE with a message naming the line on a fault (nothing of a
// faulty script is registered).
BOOL AfxCompileUiScript(LPCTSTR lpszName, const char* pText, size_t nSize, CString* pError);

// A string of the string table; FALSE (empty text) when it is missing.
BOOL AfxLoadString(UINT nID, CString& rString);
int LoadString(HINSTANCE hInstance, UINT uID, LPTSTR lpBuffer, int cchBufferMax);

struct AFX_UI_SCRIPT_INIT {
  AFX_UI_SCRIPT_INIT(LPCTSTR n, const char* p, size_t s) { AfxRegisterUiScript(n, p, s); }
};
