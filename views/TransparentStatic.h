// A label that draws only its text, so the parent's background (the aground panel's gradient)
// shows around and behind it.
#pragma once

#include "platform/ui/AfxWin.h"

class CTransparentStatic : public CStatic {
  DECLARE_DYNAMIC(CTransparentStatic)
  DECLARE_MESSAGE_MAP()
 public:
  CTransparentStatic() = default;

  void SetWindowText(LPCTSTR lpszString);
  // DrawText flags for the static styles (alignment, centring, prefix, ellipsis, wrapping).
  static UINT DrawTextFlags(DWORD dwStyle);

  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  void PreSubclassWindow() override;
  void OnPaint();
  BOOL OnEraseBkgnd(CDC* pDC);

 private:
  CString m_strText;
};
