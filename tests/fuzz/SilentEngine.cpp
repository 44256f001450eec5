// The engine reports data-file errors through this hook; a fuzz run meets them by the million,
// so they are dropped here instead of filling standard error.
#include "engine/Ebbcalc32.h"

extern "C" void EbcShowMessageBox(const char* text) { (void)text; }
