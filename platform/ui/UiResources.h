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
//   toolbar 128 16 15                 a toolbar (type 241): picture width and height, then
//     button 57600                    the command of each button in order
//     separator
//   end
//
//   icon 128                          an icon (RT_GROUP_ICON with one RT_ICON per image);
//     colours                         pictures are drawn in characters, each standing for
//       "." none                      a colour: none (transparent), 0xRRGGBB or 0xAARRGGBB
//       "k" 0x000000
//     end
//     image 16 16                     one image: width, height, then one text per row
//       "....kkkk........"
//       ...
//     end
//   end
//
//   cursor 300                        a cursor (RT_GROUP_CURSOR, RT_CURSOR): like an icon,
//     colours ... end                 each image with its hot spot
//     image 32 32 hotspot 7 7 ... end
//   end
//
//   bitmap 130                        a bitmap (RT_BITMAP, 24 bits): colours and one image,
//     colours ... end                 up to 4096 pixels wide; "none" is not allowed
//     image 48 15 ... end
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
