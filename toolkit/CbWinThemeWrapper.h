// Access to the system's visual styles, each call failing softly when there are none.
// This platform has no visual-style library, so every call reports failure and the
// toolkit's drawn fallbacks apply.
#pragma once

#include "platform/ui/AfxWin.h"

typedef void* HTHEME;
#ifndef E_FAIL
#define E_FAIL ((HRESULT)0x80004005L)
#endif
#ifndef S_OK
#define S_OK ((HRESULT)0L)
#endif

class CCbWinThemeWrapper {
 public:
  CCbWinThemeWrapper() = default;
  ~CCbWinThemeWrapper() { CloseThemeData(); }
  CCbWinThemeWrapper(const CCbWinThemeWrapper&) = delete;
  CCbWinThemeWrapper& operator=(const CCbWinThemeWrapper&) = delete;

  // Closes the class held before.
  BOOL OpenThemeData(HWND hWnd, LPCTSTR lpszClassList);
  void CloseThemeData();
  HRESULT DrawThemeBackground(HDC hDC, int iPartId, int iStateId, const RECT* pRect, const RECT* pClipRect);
  HRESULT GetThemeColor(int iPartId, int iStateId, int iPropId, COLORREF* pColor);
  HRESULT GetCurrentThemeName(LPTSTR pszThemeFileName, int cchMaxNameChars, LPTSTR pszColorBuff, int cchMaxColorChars,
                              LPTSTR pszSizeBuff, int cchMaxSizeChars);
  // 0 while no class is held or no visual style is active.
  BOOL IsAppThemed() const;

  // The common-controls version as major x 65536 + minor.
  static DWORD GetComCtlVersion();

 private:
  HTHEME m_hTheme = nullptr;
};
