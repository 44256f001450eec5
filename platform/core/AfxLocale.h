// The user's locale values that the program reads: time separator, AM/PM designators, 12/24-hour
// clock, decimal and thousands separators. Taken from the user's locale (LC_TIME / LC_NUMERIC /
// LANG) unless a test or the user fixed them with an override.
#pragma once

#include "platform/core/AfxString.h"

struct AFX_LOCALE_VALUES {
  CString timeSeparator = ":";
  CString amDesignator = "AM";
  CString pmDesignator = "PM";
  BOOL is24Hour = TRUE;
  CString decimalSeparator = ".";
  CString thousandSeparator = ",";
};

AFX_LOCALE_VALUES AfxGetLocaleValues();

// Fixes the values (tests); AfxClearLocaleOverride returns to the user's locale.
void AfxSetLocaleOverride(const AFX_LOCALE_VALUES& values);
// Fixes the values of a named locale ("en_US", "de_DE", "C"); FALSE for an unknown name.
BOOL AfxSetLocaleOverrideByName(LPCTSTR lpszLocaleName);
void AfxClearLocaleOverride();

// The framework's query.
typedef DWORD LCID;
typedef DWORD LCTYPE;
#define LOCALE_USER_DEFAULT 0x0400
#define LOCALE_SYSTEM_DEFAULT 0x0800
#define LOCALE_SDECIMAL 0x000E
#define LOCALE_STHOUSAND 0x000F
#define LOCALE_STIME 0x001E
#define LOCALE_ITIME 0x0023  // "0" 12-hour clock, "1" 24-hour clock
#define LOCALE_S1159 0x0028  // AM designator
#define LOCALE_S2359 0x0029  // PM designator

// Copies the value with its NUL into lpLCData and returns the bytes written, NUL included.
// cchData 0 returns the size needed; a buffer too small returns 0 (nothing written).
int GetLocaleInfo(LCID Locale, LCTYPE LCType, LPTSTR lpLCData, int cchData);
