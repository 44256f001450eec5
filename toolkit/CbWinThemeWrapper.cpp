#include "toolkit/CbWinThemeWrapper.h"

// No visual-style library exists here: opening never yields a class, and every query fails
// the way a missing library does, so callers take their drawn fallbacks.

BOOL CCbWinThemeWrapper::OpenThemeData(HWND hWnd, LPCTSTR lpszClassList) {
  (void)hWnd;
  (void)lpszClassList;
  CloseThemeData();
  return FALSE;
}

void CCbWinThemeWrapper::CloseThemeData() { m_hTheme = nullptr; }

HRESULT CCbWinThemeWrapper::DrawThemeBackground(HDC hDC, int iPartId, int iStateId, const RECT* pRect,
                                                const RECT* pClipRect) {
  (void)hDC, (void)iPartId, (void)iStateId, (void)pRect, (void)pClipRect;
  return E_FAIL;
}

HRESULT CCbWinThemeWrapper::GetThemeColor(int iPartId, int iStateId, int iPropId, COLORREF* pColor) {
  (void)iPartId, (void)iStateId, (void)iPropId, (void)pColor;
  return E_FAIL;
}

HRESULT CCbWinThemeWrapper::GetCurrentThemeName(LPTSTR pszThemeFileName, int cchMaxNameChars, LPTSTR pszColorBuff,
                                                int cchMaxColorChars, LPTSTR pszSizeBuff, int cchMaxSizeChars) {
  // Empty answers, so a caller that ignores the result still reads no style.
  if (pszThemeFileName && cchMaxNameChars > 0) *pszThemeFileName = 0;
  if (pszColorBuff && cchMaxColorChars > 0) *pszColorBuff = 0;
  if (pszSizeBuff && cchMaxSizeChars > 0) *pszSizeBuff = 0;
  return E_FAIL;
}

BOOL CCbWinThemeWrapper::IsAppThemed() const { return m_hTheme != nullptr; }

DWORD CCbWinThemeWrapper::GetComCtlVersion() {
  // The controls of the platform layer behave as version 6.0 of the common controls.
  return 6 * 65536 + 0;
}
