// Global memory blocks, as the platform hands data over with them (the clipboard's text):
// GlobalAlloc gives a handle, GlobalLock its bytes. Handles are checked, so a stale or foreign
// one fails instead of touching freed memory.
#pragma once

#include "platform/core/AfxResource.h"

#include <cstddef>

typedef std::size_t SIZE_T;

#define GMEM_FIXED 0x0000
#define GMEM_MOVEABLE 0x0002
#define GMEM_ZEROINIT 0x0040
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)

// The bytes always start zeroed. Null when dwBytes is absurd.
HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes);
LPVOID GlobalLock(HGLOBAL hMem);
BOOL GlobalUnlock(HGLOBAL hMem);  // FALSE once no lock is left, as on the platform
SIZE_T GlobalSize(HGLOBAL hMem);
// Null on success; the handle back when it was not a block.
HGLOBAL GlobalFree(HGLOBAL hMem);
