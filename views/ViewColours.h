// Pane colours that follow the system colour scheme the colour manager reports.
#pragma once

#include "platform/ui/AfxWin.h"

// The frame colour of the views' panes: the scheme's border colour, else the button shadow.
COLORREF ViewThemeBorderColour();
// The panes' background: the scheme's, else the button face.
COLORREF ViewThemeBackColour();
