// Plain functions of the application shell; the pane colours it shares are the views' own.
#pragma once

#include "platform/ui/AfxWin.h"
#include "views/ThemeColours.h"

// The per-user folder holding the tidal log and the routes (created when missing); the
// program's folder when it cannot be made.
CString GetUserDataFolder();
