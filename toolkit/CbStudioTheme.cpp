#include "toolkit/CbStudioTheme.h"

#include "toolkit/CbColorManager.h"

namespace CbPaintThemes {

IMPLEMENT_DYNAMIC(CCbStudioTheme, CCbGradientTheme)

CCbStudioTheme::CCbStudioTheme() {
  m_nTheme = 4;
  m_nColorScheme = 0;
}

void CCbStudioTheme::UpdateMetrics() {
  CCbGradientTheme::UpdateMetrics();
  // The derived colours stay; only the bar face follows the system scheme a little.
  CCbColorManager* cm = CbColorManager();
  const int system = cm->IsLunaColorsDisabled() ? 0 : cm->GetCurrentSystemTheme();
  if (system == 1) {
    m_clrBarDark = RGB(199, 198, 176);
    m_clrBarShadow = RGB(146, 146, 118);
  } else if (system == 3) {
    m_clrBarDark = RGB(173, 172, 196);
    m_clrBarLight = RGB(245, 245, 252);
    m_clrBarShadow = RGB(124, 124, 148);
  }
}

}  // namespace CbPaintThemes
