// The user's locale values as QtCore reads them (LC_ALL / LC_TIME / LC_NUMERIC / LANG and its
// own locale data), and locales by name.
#include "platform/core/AfxLocale.h"

#include <QLocale>
#include <QString>

#include <cstring>

namespace {

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

extern "C" void AfxReadSystemLocale(AFX_LOCALE_VALUES* values) { *values = ValuesOf(QLocale::system()); }

BOOL AfxSetLocaleOverrideByName(LPCTSTR lpszLocaleName) {
  if (lpszLocaleName == nullptr || *lpszLocaleName == '\0') return FALSE;
  QLocale loc(QString::fromUtf8(lpszLocaleName));
  if (loc.language() == QLocale::C && std::strcmp(lpszLocaleName, "C") != 0) return FALSE;
  AfxSetLocaleOverride(ValuesOf(loc));
  return TRUE;
}
