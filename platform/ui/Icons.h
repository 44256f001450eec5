// Icons and cursors: the program's own from its resources (RT_GROUP_ICON / RT_ICON and
// RT_GROUP_CURSOR / RT_CURSOR, written in the resource scripts, see UiResources.h) and the
// system's standard ones, with their drawing.
//
// LoadIcon and LoadCursor give shared handles that live for the whole run (DestroyIcon leaves
// them alone); LoadImage without LR_SHARED gives a handle of the caller's, freed by DestroyIcon
// or DestroyCursor. Cursor handles of either kind go to SetCursor and window classes.
#pragma once

#include "platform/ui/Gdi.h"
#include "platform/ui/Menu.h"

typedef void* HANDLE;

#define RT_CURSOR MAKEINTRESOURCE(1)
#define RT_ICON MAKEINTRESOURCE(3)
#define RT_GROUP_CURSOR MAKEINTRESOURCE(12)
#define RT_GROUP_ICON MAKEINTRESOURCE(14)

#define IDI_APPLICATION ((LPCTSTR)32512)
#define IDI_HAND ((LPCTSTR)32513)
#define IDI_QUESTION ((LPCTSTR)32514)
#define IDI_EXCLAMATION ((LPCTSTR)32515)
#define IDI_ASTERISK ((LPCTSTR)32516)
#define IDI_WINLOGO ((LPCTSTR)32517)
#define IDI_WARNING IDI_EXCLAMATION
#define IDI_ERROR IDI_HAND
#define IDI_INFORMATION IDI_ASTERISK

#define LR_DEFAULTSIZE 0x0040

#define DI_MASK 0x0001
#define DI_IMAGE 0x0002
#define DI_NORMAL 0x0003
#define DI_DEFAULTSIZE 0x0008

struct ICONINFO {
  BOOL fIcon;
  DWORD xHotspot;
  DWORD yHotspot;
  HBITMAP hbmMask;  // the caller deletes both bitmaps
  HBITMAP hbmColor;
};
typedef ICONINFO* PICONINFO;

// A null hInstance with IDI_* asks for the system's icon; otherwise the program's icon
// resource, in the size nearest SM_CXICON x SM_CYICON. Null when there is none.
HICON LoadIcon(HINSTANCE hInstance, LPCTSTR lpIconName);
// IMAGE_ICON or IMAGE_CURSOR from the program's resources (IMAGE_BITMAP: its bitmap) at
// cx x cy (0: the image's own size, or the system size with LR_DEFAULTSIZE).
HANDLE LoadImage(HINSTANCE hInst, LPCTSTR name, UINT type, int cx, int cy, UINT fuLoad);
BOOL DestroyIcon(HICON hIcon);
BOOL DestroyCursor(HCURSOR hCursor);
HICON CopyIcon(HICON hIcon);
BOOL GetIconInfo(HICON hIcon, PICONINFO piconinfo);
// Draws the icon at its own size, blended over what is there.
BOOL DrawIcon(HDC hDC, int x, int y, HICON hIcon);
// cx, cy 0: its own size (the system size with DI_DEFAULTSIZE); DI_MASK draws the mask
// alone (black picture, white around), DI_NORMAL the picture. A brush fills first when
// hbrFlickerFreeDraw is given (istepIfAniCur is ignored: no animated cursors).
BOOL DrawIconEx(HDC hdc, int xLeft, int yTop, HICON hIcon, int cxWidth, int cyWidth, UINT istepIfAniCur,
                HBRUSH hbrFlickerFreeDraw, UINT diFlags);
