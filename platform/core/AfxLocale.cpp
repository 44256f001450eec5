#include "platform/core/AfxLocale.h"

#include <cstring>
#include <mutex>
#include <optional>

// The user's locale comes from the Qt part of the core when it is linked (it always is, with
// the user interface); a tool without it sees the defaults, which are the "C" locale's.
extern "C" void AfxReadSystemLocale(AFX_LOCALE_VALUES* values) __attribute__((weak));

namespace {
std::mutex g_mutex;
std::optional<AFX_LOCALE_VALUES> g_override;
}  // namespace

AFX_LOCALE_VALUES AfxGetLocaleValues() {
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_override) return *g_override;
  }
  AFX_LOCALE_VALUES v;
  if (AfxReadSystemLocale) AfxReadSystemLocale(&v);
  return v;
}

void AfxSetLocaleOverride(const AFX_LOCALE_VALUES& values) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_override = values;
}

void AfxClearLocaleOverride() {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_override.reset();
}

int GetLocaleInfo(LCID Locale, LCTYPE LCType, LPTSTR lpLCData, int cchData) {
  (void)Locale;
  AFX_LOCALE_VALUES v = AfxGetLocaleValues();
  CString value;
  switch (LCType) {
    case LOCALE_STIME: value = v.timeSeparator; break;
    case LOCALE_S1159: value = v.amDesignator; break;
    case LOCALE_S2359: value = v.pmDesignator; break;
    case LOCALE_ITIME: value = CString(v.is24Hour ? "1" : "0"); break;
    case LOCALE_SDECIMAL: value = v.decimalSeparator; break;
    case LOCALE_STHOUSAND: value = v.thousandSeparator; break;
    default: return 0;
  }
  int needed = value.GetLength() + 1;
  if (cchData == 0) return needed;
  if (lpLCData == nullptr || cchData < needed) return 0;
  std::memcpy(lpLCData, value.GetString(), (size_t)needed);
  return needed;
}
