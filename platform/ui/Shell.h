// The shell's ShellExecute: opens an address or a file in the desktop's default application
// (through AfxShellOpen, whose test hook keeps tests from starting anything).
#pragma once

#include "platform/ui/Clipboard.h"
#include "platform/ui/Wnd.h"

#define SE_ERR_FNF 2
#define SE_ERR_PNF 3
#define SE_ERR_ACCESSDENIED 5
#define SE_ERR_OOM 8
#define SE_ERR_NOASSOC 31

// lpOperation: "open" (or null) for an address or a file, "explore" for a folder; any other
// verb is not offered here (SE_ERR_NOASSOC). A relative lpFile is taken from lpDirectory.
// Above 32 on success, as on the platform; else an SE_ERR_ code.
HINSTANCE ShellExecute(HWND hwnd, LPCTSTR lpOperation, LPCTSTR lpFile, LPCTSTR lpParameters, LPCTSTR lpDirectory,
                       INT nShowCmd);
