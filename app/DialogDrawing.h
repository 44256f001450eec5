// Drawing helpers the shell's dialogs share: a default font description, palette-relative
// colours and bitmaps loaded with a palette of their own.
#pragma once

#include "platform/ui/AfxWin.h"

// Arial, bold, height 100 (tenths of a point for a point font), default charset, variable
// pitch. Callers change the face, weight and height.
void InitDefaultLogFont(LOGFONT* pLogFont);
// The colour as a palette-relative value (top byte 0x02).
COLORREF MakePaletteRgb(COLORREF colour);
// Loads the bitmap resource and a palette for it: its colour table when it has at most 256
// colours, else a halftone palette. FALSE (and nothing loaded) when the resource is missing.
BOOL LoadBitmapWithPalette(UINT nIDResource, CBitmap& bitmap, CPalette& palette);
