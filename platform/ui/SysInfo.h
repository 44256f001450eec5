// System values: metrics, parameters and the classic default colours.
//
// The values are fixed (those of the platform's classic look at 96 dots per inch), except the
// screen and work-area sizes, which are the real monitor's, so the same colour and size rules
// give the same pixels on every machine.
#pragma once

#include "platform/ui/Gdi.h"

struct NONCLIENTMETRICS {
  UINT cbSize;
  int iBorderWidth;
  int iScrollWidth;
  int iScrollHeight;
  int iCaptionWidth;
  int iCaptionHeight;
  LOGFONT lfCaptionFont;
  int iSmCaptionWidth;
  int iSmCaptionHeight;
  LOGFONT lfSmCaptionFont;
  int iMenuWidth;
  int iMenuHeight;
  LOGFONT lfMenuFont;
  LOGFONT lfStatusFont;
  LOGFONT lfMessageFont;
};

int GetSystemMetrics(int nIndex);
BOOL SystemParametersInfo(UINT uiAction, UINT uiParam, LPVOID pvParam, UINT fWinIni);
