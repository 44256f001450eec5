// Accelerator tables: keys that stand for commands.
#pragma once

#include "platform/ui/Wnd.h"

#define FVIRTKEY 0x01
#define FNOINVERT 0x02
#define FSHIFT 0x04
#define FCONTROL 0x08
#define FALT 0x10

struct ACCEL {
  BYTE fVirt;
  WORD key;
  WORD cmd;
};
typedef ACCEL* LPACCEL;

HACCEL LoadAccelerators(HINSTANCE hInstance, LPCTSTR lpTableName);
HACCEL CreateAcceleratorTable(LPACCEL paccel, int cAccel);
BOOL DestroyAcceleratorTable(HACCEL hAccel);
// Copies up to cAccelEntries entries (all when lpAccelDst is null: returns the count).
int CopyAcceleratorTable(HACCEL hAccelSrc, LPACCEL lpAccelDst, int cAccelEntries);
// For a key-down (or character) that matches an entry with the modifiers now held, sends
// WM_COMMAND (HIWORD 1) to the window and returns TRUE.
int TranslateAccelerator(HWND hWnd, HACCEL hAccTable, LPMSG lpMsg);
