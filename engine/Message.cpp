#include "engine/Message.h"

#include "engine/Ebbcalc32.h"

#include <cstdio>

namespace ebc {

void ShowMessageBox(const char* text) {
  // The hook is a weak reference: it is null unless the program defines (and exports) it.
  if (EbcShowMessageBox != nullptr) {
    EbcShowMessageBox(text);
    return;
  }
  std::fprintf(stderr, "Ebbcalc32: %s\n", text);
}

}  // namespace ebc
