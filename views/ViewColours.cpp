#include "views/ViewColours.h"

#include "toolkit/CbColorManager.h"

COLORREF ViewThemeBorderColour() {
  switch (CbColorManager()->GetCurrentSystemTheme()) {
    case 1: return 0x913500;
    case 2: return 0x6B7760;
    case 3: return 0x927476;
    default: return ::GetSysColor(COLOR_BTNSHADOW);
  }
}

COLORREF ViewThemeBackColour() {
  switch (CbColorManager()->GetCurrentSystemTheme()) {
    case 1: return 0xFADAC4;
    case 2: return 0xE4F1F2;
    case 3: return 0xF7F3F3;
    default: return ::GetSysColor(COLOR_BTNFACE);
  }
}
