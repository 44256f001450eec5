#include "platform/core/AfxString.h"

#include <locale.h>
#include <algorithm>
#include <atomic>
#include <clocale>
#include <cstring>
#include <vector>

namespace {
std::atomic<CString::StringLoader> g_stringLoader{nullptr};

const char* const kWhiteSpace = " \t\n\r\v\f";

inline const char* NonNull(const char* psz) { return psz ? psz : ""; }

// Numbers in formatted text use the "C" locale whatever the process locale is.
locale_t CLocale() {
  static locale_t loc = newlocale(LC_ALL_MASK, "C", (locale_t)0);
  return loc;
}

int Sign(int v) { return (v > 0) - (v < 0); }
}  // namespace

char CString::GetAt(int nIndex) const {
  ASSERT(nIndex >= 0 && nIndex < GetLength());
  if (nIndex < 0 || nIndex >= GetLength()) return '\0';
  return m_str[(size_t)nIndex];
}

void CString::SetAt(int nIndex, char ch) {
  ASSERT(nIndex >= 0 && nIndex < GetLength());
  if (nIndex >= 0 && nIndex < GetLength()) m_str[(size_t)nIndex] = ch;
}

int CString::Compare(const char* psz) const { return Sign(std::strcmp(m_str.c_str(), NonNull(psz))); }

CString CString::Mid(int nFirst) const { return Mid(nFirst, GetLength() - std::max(nFirst, 0)); }

CString CString::Mid(int nFirst, int nCount) const {
  int nLen = GetLength();
  if (nFirst < 0) nFirst = 0;
  if (nCount < 0) nCount = 0;
  if (nFirst >= nLen) return CString();
  if (nCount > nLen - nFirst) nCount = nLen - nFirst;
  return CString(m_str.substr((size_t)nFirst, (size_t)nCount));
}

CString CString::Left(int nCount) const {
  if (nCount <= 0) return CString();
  return CString(m_str.substr(0, std::min((size_t)nCount, m_str.size())));
}

CString CString::Right(int nCount) const {
  if (nCount <= 0) return CString();
  size_t n = std::min((size_t)nCount, m_str.size());
  return CString(m_str.substr(m_str.size() - n));
}

CString CString::SpanIncluding(const char* pszCharSet) const {
  return Left((int)std::strspn(m_str.c_str(), NonNull(pszCharSet)));
}

CString CString::SpanExcluding(const char* pszCharSet) const {
  return Left((int)std::strcspn(m_str.c_str(), NonNull(pszCharSet)));
}

CString CString::Tokenize(const char* pszTokens, int& iStart) const {
  int nLen = GetLength();
  if (iStart >= 0 && iStart < nLen) {
    if (pszTokens == nullptr || *pszTokens == '\0') {
      CString r = Mid(iStart);
      iStart = nLen;
      return r;
    }
    const char* p = m_str.c_str() + iStart;
    int nIncluding = (int)std::strspn(p, pszTokens);
    if (iStart + nIncluding < nLen) {
      int iFrom = iStart + nIncluding;
      int nExcluding = (int)std::strcspn(m_str.c_str() + iFrom, pszTokens);
      iStart = iFrom + nExcluding + 1;
      return Mid(iFrom, nExcluding);
    }
  }
  iStart = -1;
  return CString();
}

int CString::Find(char ch, int nStart) const {
  if (nStart < 0 || nStart >= GetLength()) return -1;
  size_t pos = m_str.find(ch, (size_t)nStart);
  return pos == std::string::npos ? -1 : (int)pos;
}

int CString::Find(const char* pszSub, int nStart) const {
  if (pszSub == nullptr || nStart < 0 || nStart > GetLength()) return -1;
  size_t pos = m_str.find(pszSub, (size_t)nStart);
  return pos == std::string::npos ? -1 : (int)pos;
}

int CString::ReverseFind(char ch) const {
  size_t pos = m_str.rfind(ch);
  return pos == std::string::npos ? -1 : (int)pos;
}

int CString::FindOneOf(const char* pszCharSet) const {
  if (pszCharSet == nullptr || *pszCharSet == '\0') return -1;
  size_t pos = m_str.find_first_of(pszCharSet);
  return pos == std::string::npos ? -1 : (int)pos;
}

int CString::Replace(char chOld, char chNew) {
  int n = 0;
  for (char& c : m_str)
    if (c == chOld) {
      c = chNew;
      ++n;
    }
  return n;
}

int CString::Replace(const char* pszOld, const char* pszNew) {
  if (pszOld == nullptr || *pszOld == '\0') return 0;
  std::string from(pszOld), to(NonNull(pszNew));
  std::string out;
  int n = 0;
  size_t pos = 0;
  for (;;) {
    size_t hit = m_str.find(from, pos);
    if (hit == std::string::npos) break;
    out.append(m_str, pos, hit - pos);
    out += to;
    pos = hit + from.size();
    ++n;
  }
  if (n > 0) {
    out.append(m_str, pos, std::string::npos);
    m_str.swap(out);
  }
  return n;
}

int CString::Remove(char ch) {
  size_t before = m_str.size();
  m_str.erase(std::remove(m_str.begin(), m_str.end(), ch), m_str.end());
  return (int)(before - m_str.size());
}

int CString::Insert(int nIndex, char ch) {
  nIndex = std::clamp(nIndex, 0, GetLength());
  m_str.insert((size_t)nIndex, 1, ch);
  return GetLength();
}

int CString::Insert(int nIndex, const char* psz) {
  nIndex = std::clamp(nIndex, 0, GetLength());
  m_str.insert((size_t)nIndex, NonNull(psz));
  return GetLength();
}

int CString::Delete(int nIndex, int nCount) {
  if (nIndex < 0) nIndex = 0;
  if (nCount > 0 && nIndex < GetLength()) m_str.erase((size_t)nIndex, (size_t)std::min(nCount, GetLength() - nIndex));
  return GetLength();
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::Trim(char chTarget) { return TrimRight(chTarget).TrimLeft(chTarget); }
CString& CString::Trim(const char* pszTargets) { return TrimRight(pszTargets).TrimLeft(pszTargets); }
CString& CString::TrimLeft() { return TrimLeft(kWhiteSpace); }
CString& CString::TrimRight() { return TrimRight(kWhiteSpace); }

CString& CString::TrimLeft(char chTarget) {
  size_t n = m_str.find_first_not_of(chTarget);
  m_str.erase(0, n == std::string::npos ? m_str.size() : n);
  return *this;
}

CString& CString::TrimLeft(const char* pszTargets) {
  if (pszTargets == nullptr || *pszTargets == '\0') return *this;
  size_t n = m_str.find_first_not_of(pszTargets);
  m_str.erase(0, n == std::string::npos ? m_str.size() : n);
  return *this;
}

CString& CString::TrimRight(char chTarget) {
  size_t n = m_str.find_last_not_of(chTarget);
  m_str.erase(n == std::string::npos ? 0 : n + 1);
  return *this;
}

CString& CString::TrimRight(const char* pszTargets) {
  if (pszTargets == nullptr || *pszTargets == '\0') return *this;
  size_t n = m_str.find_last_not_of(pszTargets);
  m_str.erase(n == std::string::npos ? 0 : n + 1);
  return *this;
}

void CString::FormatRaw(const char* pszFormat, ...) {
  va_list args;
  va_start(args, pszFormat);
  FormatV(pszFormat, args);
  va_end(args);
}

void CString::AppendFormatRaw(const char* pszFormat, ...) {
  va_list args;
  va_start(args, pszFormat);
  AppendFormatV(pszFormat, args);
  va_end(args);
}

void CString::FormatV(const char* pszFormat, va_list args) {
  m_str.clear();
  AppendFormatV(pszFormat, args);
}

void CString::AppendFormatV(const char* pszFormat, va_list args) {
  if (pszFormat == nullptr) return;
  locale_t old = uselocale(CLocale());
  char small[256];
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(small, sizeof small, pszFormat, copy);
  va_end(copy);
  if (n >= 0 && (size_t)n < sizeof small) {
    m_str.append(small, (size_t)n);
  } else if (n >= 0) {
    std::vector<char> big((size_t)n + 1);
    va_copy(copy, args);
    int m = std::vsnprintf(big.data(), big.size(), pszFormat, copy);
    va_end(copy);
    if (m >= 0) m_str.append(big.data(), std::min((size_t)m, big.size() - 1));
  }
  uselocale(old);
}

char* CString::GetBuffer(int nMinBufLength) {
  if (nMinBufLength > GetLength()) m_str.resize((size_t)nMinBufLength);
  return m_str.data();
}

char* CString::GetBufferSetLength(int nNewLength) {
  m_str.resize((size_t)std::max(nNewLength, 0));
  return m_str.data();
}

void CString::ReleaseBuffer(int nNewLength) {
  if (nNewLength < 0) nNewLength = (int)strnlen(m_str.c_str(), m_str.size());
  if ((size_t)nNewLength <= m_str.size()) m_str.resize((size_t)nNewLength);
}

void CString::SetStringLoader(StringLoader pfn) { g_stringLoader.store(pfn); }

BOOL CString::LoadString(UINT nID) {
  StringLoader pfn = g_stringLoader.load();
  if (pfn == nullptr) return FALSE;
  CString s;
  if (!pfn(nID, s)) return FALSE;
  *this = s;
  return TRUE;
}

void AfxAppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += (char)c;
  } else if (c < 0x800) {
    out += (char)(0xC0 | (c >> 6));
    out += (char)(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += (char)(0xE0 | (c >> 12));
    out += (char)(0x80 | ((c >> 6) & 0x3F));
    out += (char)(0x80 | (c & 0x3F));
  } else {
    out += (char)(0xF0 | (c >> 18));
    out += (char)(0x80 | ((c >> 12) & 0x3F));
    out += (char)(0x80 | ((c >> 6) & 0x3F));
    out += (char)(0x80 | (c & 0x3F));
  }
}

CString CString::FromUtf16(const char16_t* pch, size_t nLength) {
  if (pch == nullptr || nLength == 0) return CString();
  std::string out;
  out.reserve(nLength);
  for (size_t i = 0; i < nLength; ++i) {
    char32_t c = pch[i];
    if (c >= 0xD800 && c <= 0xDFFF) {
      // A surrogate without its other half becomes '?', as the toolkit's own conversion does.
      if (c <= 0xDBFF && i + 1 < nLength && pch[i + 1] >= 0xDC00 && pch[i + 1] <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (pch[i + 1] - 0xDC00);
        ++i;
      } else {
        out += '?';
        continue;
      }
    }
    AfxAppendUtf8(out, c);
  }
  return CString(std::move(out));
}
