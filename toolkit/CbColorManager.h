// The process-wide colour table every look draws from: system colours, derived flat-look
// colours kept apart by a contrast guard, and four gradients.
#pragma once

#include "platform/ui/AfxWin.h"

class CCbColorManager : public CCmdTarget {
  DECLARE_DYNAMIC(CCbColorManager)
 public:
  static constexpr int kColors = 58;
  // A replacement for the system colour query (tests, or a program that fakes its colours).
  typedef COLORREF (*SysColorFunc)(int nIndex);

  CCbColorManager();
  ~CCbColorManager() override;

  // Override when set, else the standard value; an index above 57 is a colour itself.
  COLORREF GetColor(int nIndex) const;
  // -1 removes the override.
  void SetColor(int nIndex, COLORREF clr);
  // Unforced calls after the first do nothing.
  void RefreshColors(BOOL bForce = FALSE);

  // 0 none, 1 blue, 2 olive, 3 silver; kinds 4 and 5 are resolved from the visual style.
  int GetCurrentSystemTheme() const;
  void SetSystemTheme(int nKind) { m_nSystemTheme = nKind; }
  BOOL IsLunaColorsDisabled() const { return m_bLunaDisabled; }
  void DisableLunaColors(BOOL bDisable) { m_bLunaDisabled = bDisable; }
  void SetSysColorFunc(SysColorFunc pfn) { m_pfnSysColor = pfn; }

  // The four gradients, 0..3, light and dark ends.
  COLORREF GetGradientLight(int nGradient) const;
  COLORREF GetGradientDark(int nGradient) const;
  void SetGradientColors(int nGradient, COLORREF clrLight, COLORREF clrDark);  // -1: no override

  // Per channel (r x a + (d - r) x b + d / 2) / d, d = 100 below 100 and 1000 otherwise.
  static COLORREF Blend(COLORREF a, COLORREF b, int nRatio);

 private:
  struct Gradient {
    COLORREF light = 0, dark = 0;
    COLORREF lightOverride = (COLORREF)-1, darkOverride = (COLORREF)-1;
  };
  COLORREF Sys(int nIndex) const;
  void SetGradients();

  COLORREF m_std[kColors]{};
  COLORREF m_override[kColors];
  Gradient m_gradients[4];
  BOOL m_bLunaDisabled = FALSE;
  BOOL m_bComputed = FALSE;
  SysColorFunc m_pfnSysColor = nullptr;
  int m_nSystemTheme = 4;
};

// The instance, built on first use.
CCbColorManager* CbColorManager();
