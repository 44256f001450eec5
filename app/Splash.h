// The splash screen: the program's picture while the main window is being made, gone at the
// first key or mouse press or when the window is ready.
#pragma once

#include "platform/ui/AfxWin.h"

class CSplashWnd : public CWnd {
  DECLARE_DYNAMIC(CSplashWnd)
  DECLARE_MESSAGE_MAP()
 public:
  CSplashWnd();
  ~CSplashWnd() override;

  // The one splash window, null when none shows.
  static CSplashWnd* GetSplash();

  BOOL Create(CWnd* pParentWnd);
  void OnPaint();
  int OnCreate(LPCREATESTRUCT lpcs);

 protected:
  void PostNcDestroy() override;

 private:
  CBitmap m_bitmap;
  CPalette m_palette;
};

void EnableSplashScreen(BOOL bEnable);
BOOL IsSplashScreenEnabled();
void ShowSplashScreen(CWnd* pParentWnd);
void HideSplashScreen();
// TRUE when the message was a key or mouse press that took a splash screen away.
BOOL PreTranslateSplashMessage(MSG* pMsg);
