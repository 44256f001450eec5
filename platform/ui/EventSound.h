// Desktop event sounds ("menu-click", "menu-popup") from the user's sound theme, through the
// event-sound library when it is installed; without it every call is silent.
#pragma once

#include "platform/core/AfxTypes.h"

// Starts the named event's sound without waiting for it; FALSE when there is no library or the
// sound cannot be played.
BOOL AfxPlayEventSound(LPCTSTR lpszEventId);
// Ends any sound still playing.
void AfxCancelEventSounds();
