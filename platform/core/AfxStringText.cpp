// The CString members that need Unicode tables or the user's collation, on QtCore.
#include "platform/core/AfxString.h"

#include <QList>
#include <QString>

#include <strings.h>
#include <algorithm>

namespace {
inline const char* NonNull(const char* psz) { return psz ? psz : ""; }

int Sign(int v) { return (v > 0) - (v < 0); }

QString ToQ(const std::string& s) { return QString::fromUtf8(s.data(), (qsizetype)s.size()); }
std::string FromQ(const QString& q) {
  QByteArray b = q.toUtf8();
  return std::string(b.constData(), (size_t)b.size());
}

bool IsAscii(const std::string& s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}
}  // namespace

int CString::CompareNoCase(const char* psz) const {
  if (IsAscii(m_str) && IsAscii(NonNull(psz))) return Sign(::strcasecmp(m_str.c_str(), NonNull(psz)));
  return Sign(ToQ(m_str).compare(QString::fromUtf8(NonNull(psz)), Qt::CaseInsensitive));
}

int CString::Collate(const char* psz) const {
  return Sign(QString::localeAwareCompare(ToQ(m_str), QString::fromUtf8(NonNull(psz))));
}

int CString::CollateNoCase(const char* psz) const {
  return Sign(QString::localeAwareCompare(ToQ(m_str).toCaseFolded(), QString::fromUtf8(NonNull(psz)).toCaseFolded()));
}

CString& CString::MakeUpper() {
  if (IsAscii(m_str)) {
    for (char& c : m_str)
      if (c >= 'a' && c <= 'z') c = (char)(c - 'a' + 'A');
    return *this;
  }
  m_str = FromQ(ToQ(m_str).toUpper());
  return *this;
}

CString& CString::MakeLower() {
  if (IsAscii(m_str)) {
    for (char& c : m_str)
      if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
    return *this;
  }
  m_str = FromQ(ToQ(m_str).toLower());
  return *this;
}

CString& CString::MakeReverse() {
  QList<uint> ucs = ToQ(m_str).toUcs4();
  std::reverse(ucs.begin(), ucs.end());
  m_str = FromQ(QString::fromUcs4(reinterpret_cast<const char32_t*>(ucs.constData()), ucs.size()));
  return *this;
}

std::u16string CString::ToUtf16() const {
  QString q = ToQ(m_str);
  return std::u16string(reinterpret_cast<const char16_t*>(q.utf16()), (size_t)q.size());
}
