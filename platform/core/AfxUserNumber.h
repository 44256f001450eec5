// Numbers as the user types and reads them, with the user's decimal and thousands separators
// (AfxGetLocaleValues). Files and exports use fixed formats instead.
#pragma once

#include "platform/core/AfxString.h"

// Reads the whole text (spaces around it allowed) as a number: an optional sign, digits with
// optional thousands separators between groups of three, the decimal separator and digits.
// FALSE, leaving value as it was, when the text is not such a number: in a locale with a
// decimal point, "1,000" is a thousand and "1,00" is no number.
BOOL AfxParseUserNumber(LPCTSTR lpszText, double& value);
// The value with nDecimals digits after the user's decimal separator, without grouping.
CString AfxFormatUserNumber(double value, int nDecimals);
