// The engine's message boxes: handed to the program's hook when it has one, else to stderr.
#pragma once

namespace ebc {

void ShowMessageBox(const char* text);

}  // namespace ebc
