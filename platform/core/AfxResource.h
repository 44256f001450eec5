// Embedded resources, found by type and name as on the framework: FindResource (hModule, "#178",
// "RAWDATA"), LoadResource, LockResource, SizeofResource. The bytes are read-only and live for
// the whole run.
//
// Resources join the program in two ways:
//  - at build time, from binary files, with the CMake function
//      neapwise_embed_resources(<target> TYPE RAWDATA RESOURCES "#178" path/file.bin ...)
//    which compiles the bytes into <target> and registers them at start-up;
//  - at run time (tests), with AfxRegisterResourceCopy.
// Names are matched without regard to case; "#178" and MAKEINTRESOURCE(178) are the same name.
#pragma once

#include "platform/core/AfxTypes.h"

// Module handles are the window layer's opaque handle type; declared here so both agree.
struct HINSTANCE__;
typedef struct HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
struct HRSRC__;
typedef struct HRSRC__* HRSRC;
typedef void* HGLOBAL;

#define MAKEINTRESOURCE(i) ((LPTSTR)((ULONG_PTR)((WORD)(i))))
#define IS_INTRESOURCE(p) ((((ULONG_PTR)(p)) >> 16) == 0)

// Every module handle (null included) means the program itself.
HINSTANCE AfxGetResourceHandle();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxFindResourceHandle(LPCTSTR lpszName, LPCTSTR lpszType);

HRSRC FindResource(HMODULE hModule, LPCTSTR lpName, LPCTSTR lpType);  // null when absent
HGLOBAL LoadResource(HMODULE hModule, HRSRC hResInfo);                // null for a null hResInfo
LPVOID LockResource(HGLOBAL hResData);                                // the bytes (do not write)
DWORD SizeofResource(HMODULE hModule, HRSRC hResInfo);                // 0 for a null hResInfo
BOOL FreeResource(HGLOBAL hResData);                                  // nothing to free: FALSE

// The same in one call: TRUE with the bytes and their size, FALSE (null, 0) when absent.
BOOL AfxFindRawData(LPCTSTR lpszType, LPCTSTR lpszName, const BYTE** ppData, DWORD* pnSize);

// Registers bytes of static storage duration (not copied). A later registration of the same
// type and name replaces the earlier one for later look-ups.
void AfxRegisterResource(LPCTSTR lpszType, LPCTSTR lpszName, const void* pData, size_t nSize);
// Registers a copy of the bytes (for tests). Earlier copies stay valid until the program ends.
void AfxRegisterResourceCopy(LPCTSTR lpszType, LPCTSTR lpszName, const void* pData, size_t nSize);
// Forgets a resource; TRUE when it was registered. Bytes already handed out stay readable.
BOOL AfxUnregisterResource(LPCTSTR lpszType, LPCTSTR lpszName);

// Used by the generated resource sources.
struct AFX_RESOURCE_INIT {
  AFX_RESOURCE_INIT(LPCTSTR lpszType, LPCTSTR lpszName, const void* pData, size_t nSize) {
    AfxRegisterResource(lpszType, lpszName, pData, nSize);
  }
};
