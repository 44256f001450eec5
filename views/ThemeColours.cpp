#include "views/ThemeColours.h"

#include "toolkit/CbColorManager.h"

namespace {
int Scheme() { return CbColorManager()->GetCurrentSystemTheme(); }

// Per channel: highlight + (face - highlight) x f, truncated.
COLORREF Mix(double f) {
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE), hi = ::GetSysColor(COLOR_HIGHLIGHT);
  auto ch = [f](int h, int c) { return (int)(h + (c - h) * f); };
  return RGB(ch(GetRValue(hi), GetRValue(face)), ch(GetGValue(hi), GetGValue(face)),
             ch(GetBValue(hi), GetBValue(face)));
}

COLORREF Pick(COLORREF blue, COLORREF olive, COLORREF silver, COLORREF other) {
  switch (Scheme()) {
    case 1: return blue;
    case 2: return olive;
    case 3: return silver;
    default: return other;
  }
}
}  // namespace

COLORREF ThemeBackColour() { return Pick(0xFADAC4, 0xE4F1F2, 0xF7F3F3, ::GetSysColor(COLOR_BTNFACE)); }
COLORREF ThemeBorderColour() { return Pick(0x913500, 0x6B7760, 0x927476, ::GetSysColor(COLOR_BTNSHADOW)); }
COLORREF ThemeHotColour() { return Scheme() >= 1 && Scheme() <= 3 ? 0x6FC0FF : Mix(0.7); }
COLORREF ThemePressedColour() { return Scheme() >= 1 && Scheme() <= 3 ? 0x3E80FE : Mix(0.5); }
COLORREF ThemeGradientDark() { return Pick(0xF1A675, 0x8CC2B0, 0xC8B2B3, ::GetSysColor(COLOR_BTNFACE)); }
COLORREF ThemeGradientMid() { return Pick(0xE2A981, 0x91C6B7, 0xB59799, ::GetSysColor(COLOR_BTNFACE)); }
COLORREF ThemeGradientLight() { return Pick(0xFEECDD, 0xDEF7F4, 0xFAF4F3, ::GetSysColor(COLOR_BTNFACE)); }
