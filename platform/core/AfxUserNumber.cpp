#include "platform/core/AfxUserNumber.h"

#include "platform/core/AfxLocale.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

namespace {

bool startsWith(const std::string& s, size_t pos, const CString& sep) {
  int n = sep.GetLength();
  return n > 0 && s.compare(pos, (size_t)n, (LPCTSTR)sep) == 0;
}

bool isSpaceLike(const CString& sep) {
  std::string s = (LPCTSTR)sep;
  return s == " " || s == "\xC2\xA0" || s == "\xE2\x80\xAF";  // space, no-break space, narrow no-break space
}

}  // namespace

BOOL AfxParseUserNumber(LPCTSTR lpszText, double& value) {
  if (!lpszText) return FALSE;
  AFX_LOCALE_VALUES loc = AfxGetLocaleValues();
  std::string s = lpszText;
  size_t b = s.find_first_not_of(" \t");
  size_t e = s.find_last_not_of(" \t");
  if (b == std::string::npos) return FALSE;
  s = s.substr(b, e - b + 1);
  CString dec = loc.decimalSeparator.IsEmpty() ? CString(".") : loc.decimalSeparator;
  CString group = loc.thousandSeparator;
  if (group == dec) group.Empty();
  // A user typing a plain space where the locale groups with a no-break space means the same.
  CString groupAlt = isSpaceLike(group) ? CString(" ") : CString();

  std::string plain;  // the number in the "C" form
  size_t pos = 0;
  if (pos < s.size() && (s[pos] == '-' || s[pos] == '+')) {
    if (s[pos] == '-') plain += '-';
    ++pos;
  }
  int digits = 0, groupDigits = 0;
  bool grouped = false;
  while (pos < s.size()) {
    char c = s[pos];
    if (c >= '0' && c <= '9') {
      plain += c;
      ++digits;
      ++groupDigits;
      ++pos;
      continue;
    }
    const CString* sep = startsWith(s, pos, group) ? &group : (startsWith(s, pos, groupAlt) ? &groupAlt : nullptr);
    if (!sep) break;
    // Groups after a separator hold exactly three digits; the first holds one to three.
    if (groupDigits == 0 || (grouped && groupDigits != 3) || (!grouped && groupDigits > 3)) return FALSE;
    grouped = true;
    groupDigits = 0;
    pos += (size_t)sep->GetLength();
  }
  if (grouped && groupDigits != 3) return FALSE;
  if (startsWith(s, pos, dec)) {
    pos += (size_t)dec.GetLength();
    plain += '.';
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
      plain += s[pos++];
      ++digits;
    }
  }
  if (pos != s.size() || digits == 0) return FALSE;
  double v = 0;
  auto res = std::from_chars(plain.data(), plain.data() + plain.size(), v);
  if (res.ec != std::errc() || res.ptr != plain.data() + plain.size() || !std::isfinite(v)) return FALSE;
  value = v;
  return TRUE;
}

CString AfxFormatUserNumber(double value, int nDecimals) {
  if (!std::isfinite(value)) return CString();
  if (nDecimals < 0) nDecimals = 0;
  if (nDecimals > 17) nDecimals = 17;
  char buf[400];
  auto res = std::to_chars(buf, buf + sizeof(buf) - 1, value, std::chars_format::fixed, nDecimals);
  if (res.ec != std::errc()) return CString();
  std::string s(buf, res.ptr);
  if (s == "-0" || (s.rfind("-0.", 0) == 0 && s.find_first_not_of("-0.") == std::string::npos)) s.erase(0, 1);
  AFX_LOCALE_VALUES loc = AfxGetLocaleValues();
  size_t dot = s.find('.');
  if (dot != std::string::npos) s.replace(dot, 1, (LPCTSTR)loc.decimalSeparator);
  return CString(s.c_str());
}
