#include "platform/core/AfxLocale.h"

#include <QLocale>
#include <QString>

#include <cstring>
#include <mutex>
#include <optional>

namespace {
std::mutex g_mutex;
std::optional<AFX_LOCALE_VALUES> g_override;

CString FromQ(const QString& q) {
  QByteArray b = q.toUtf8();
  return CString(b.constData(), (int)b.size());
}

AFX_LOCALE_VALUES ValuesOf(const QLocale& loc) {
  AFX_LOCALE_VALUES v;
  QString fmt = loc.timeFormat(QLocale::ShortFormat);

  // The separator is whatever stands between the hour and the minute fields.
  qsizetype h = fmt.indexOf(QLatin1Char('h'), 0, Qt::CaseInsensitive);
  if (h >= 0) {
    qsizetype i = h;
    while (i < fmt.size() && (fmt[i] == QLatin1Char('h') || fmt[i] == QLatin1Char('H'))) ++i;
    qsizetype m = fmt.indexOf(QLatin1Char('m'), i);
    if (m > i) {
      QString sep = fmt.mid(i, m - i);
      sep.remove(QLatin1Char('\''));
      if (!sep.isEmpty()) v.timeSeparator = FromQ(sep);
    }
  }
  v.is24Hour = !fmt.contains(QLatin1Char('a'), Qt::CaseInsensitive);
  if (!loc.amText().isEmpty()) v.amDesignator = FromQ(loc.amText());
  if (!loc.pmText().isEmpty()) v.pmDesignator = FromQ(loc.pmText());
  QString dec = loc.decimalPoint();
  if (!dec.isEmpty()) v.decimalSeparator = FromQ(dec);
  v.thousandSeparator = FromQ(loc.groupSeparator());
  return v;
}
}  // namespace

AFX_LOCALE_VALUES AfxGetLocaleValues() {
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_override) return *g_override;
  }
  return ValuesOf(QLocale::system());
}

void AfxSetLocaleOverride(const AFX_LOCALE_VALUES& values) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_override = values;
}

BOOL AfxSetLocaleOverrideByName(LPCTSTR lpszLocaleName) {
  if (lpszLocaleName == nullptr || *lpszLocaleName == '\0') return FALSE;
  QLocale loc(QString::fromUtf8(lpszLocaleName));
  if (loc.language() == QLocale::C && std::strcmp(lpszLocaleName, "C") != 0) return FALSE;
  AfxSetLocaleOverride(ValuesOf(loc));
  return TRUE;
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
