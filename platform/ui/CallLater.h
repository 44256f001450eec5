// Work handed to the user-interface thread's loop, to run once the current message is done.
#pragma once

#include <functional>

// Runs fn on the user-interface thread after ms milliseconds (also inside modal loops).
void AfxCallLater(int ms, std::function<void()> fn);
