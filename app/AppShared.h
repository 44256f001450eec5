// Plain functions of the application shell that panes and views share.
#pragma once

#include "platform/ui/AfxWin.h"

// The per-user folder holding the tidal log and the routes (created when missing); the
// program's folder when it cannot be made.
CString GetUserDataFolder();

// Pane colours matching the system colour scheme the colour manager reports.
COLORREF ThemeBackColour();
COLORREF ThemeBorderColour();
COLORREF ThemeHotColour();
COLORREF ThemePressedColour();
COLORREF ThemeGradientDark();
COLORREF ThemeGradientMid();
COLORREF ThemeGradientLight();
