// Pane colours matching the system colour scheme the colour manager reports, shared by the
// views and the shell's panes.
#pragma once

#include "platform/ui/AfxWin.h"

COLORREF ThemeBackColour();
COLORREF ThemeBorderColour();
COLORREF ThemeHotColour();
COLORREF ThemePressedColour();
COLORREF ThemeGradientDark();
COLORREF ThemeGradientMid();
COLORREF ThemeGradientLight();
