// CString: a UTF-8 text value. Lengths and indexes count bytes, as the archive layout does.
#pragma once

#include "platform/core/AfxTypes.h"

#include <cstdarg>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

class CString;

// Appends code point c (at most U+10FFFF) to out in UTF-8.
void AfxAppendUtf8(std::string& out, char32_t c);

namespace afx_detail {
// Format arguments pass through C varargs; a CString goes in as its character pointer.
inline const char* FormatArg(const CString& s);
inline const char* FormatArg(const std::string& s) { return s.c_str(); }
template <typename T>
inline T FormatArg(T v) {
  static_assert(std::is_arithmetic_v<T> || std::is_pointer_v<T> || std::is_enum_v<T> || std::is_null_pointer_v<T>,
                "CString::Format takes numbers, pointers, C strings and CStrings only");
  return v;
}
}  // namespace afx_detail

class CString {
 public:
  CString() = default;
  CString(const CString&) = default;
  CString(CString&&) noexcept = default;
  CString(const char* psz) : m_str(psz ? psz : "") {}
  CString(const char* pch, int nLength)
      : m_str(pch && nLength > 0 ? std::string(pch, (size_t)nLength) : std::string()) {}
  explicit CString(char ch, int nRepeat = 1) : m_str(nRepeat > 0 ? (size_t)nRepeat : 0, ch) {}
  CString(const std::string& s) : m_str(s) {}
  CString(std::string&& s) noexcept : m_str(std::move(s)) {}
  explicit CString(std::string_view s) : m_str(s) {}
  ~CString() = default;

  CString& operator=(const CString&) = default;
  CString& operator=(CString&&) noexcept = default;
  CString& operator=(const char* psz) {
    m_str = psz ? psz : "";
    return *this;
  }
  CString& operator=(char ch) {
    m_str.assign(1, ch);
    return *this;
  }
  CString& operator=(const std::string& s) {
    m_str = s;
    return *this;
  }

  // Access
  int GetLength() const { return (int)m_str.size(); }
  BOOL IsEmpty() const { return m_str.empty(); }
  void Empty() { m_str.clear(); }
  char GetAt(int nIndex) const;     // ASSERT in range; 0 outside
  void SetAt(int nIndex, char ch);  // ignored outside the text
  char operator[](int nIndex) const { return GetAt(nIndex); }
  operator const char*() const { return m_str.c_str(); }
  const char* GetString() const { return m_str.c_str(); }
  const std::string& GetStdString() const { return m_str; }
  std::string& GetStdString() { return m_str; }

  // Concatenation
  CString& operator+=(const CString& s) {
    m_str += s.m_str;
    return *this;
  }
  CString& operator+=(const char* psz) {
    if (psz) m_str += psz;
    return *this;
  }
  CString& operator+=(char ch) {
    m_str += ch;
    return *this;
  }
  void Append(const char* psz) {
    if (psz) m_str += psz;
  }
  void Append(const char* pch, int nLength) {
    if (pch && nLength > 0) m_str.append(pch, (size_t)nLength);
  }
  void AppendChar(char ch) { m_str += ch; }

  // Comparison: Compare is byte-wise; CompareNoCase folds Unicode case; Collate uses the user's locale.
  int Compare(const char* psz) const;
  int CompareNoCase(const char* psz) const;
  int Collate(const char* psz) const;
  int CollateNoCase(const char* psz) const;

  // Extraction, clamped to the text like the framework's (never out of range).
  CString Mid(int nFirst) const;
  CString Mid(int nFirst, int nCount) const;
  CString Left(int nCount) const;
  CString Right(int nCount) const;
  CString SpanIncluding(const char* pszCharSet) const;
  CString SpanExcluding(const char* pszCharSet) const;
  CString Tokenize(const char* pszTokens, int& iStart) const;  // iStart = -1 at the end

  // Searching: indexes of bytes, -1 when absent.
  int Find(char ch, int nStart = 0) const;
  int Find(const char* pszSub, int nStart = 0) const;
  int ReverseFind(char ch) const;
  int FindOneOf(const char* pszCharSet) const;

  // Changing
  int Replace(char chOld, char chNew);
  int Replace(const char* pszOld, const char* pszNew);
  int Remove(char ch);
  int Insert(int nIndex, char ch);
  int Insert(int nIndex, const char* psz);
  int Delete(int nIndex, int nCount = 1);
  CString& Trim();
  CString& Trim(char chTarget);
  CString& Trim(const char* pszTargets);
  CString& TrimLeft();
  CString& TrimLeft(char chTarget);
  CString& TrimLeft(const char* pszTargets);
  CString& TrimRight();
  CString& TrimRight(char chTarget);
  CString& TrimRight(const char* pszTargets);
  CString& MakeUpper();    // Unicode-aware
  CString& MakeLower();    // Unicode-aware
  CString& MakeReverse();  // reverses characters, not bytes

  // printf-style formatting with the "C" locale (a full stop for decimals), whatever the
  // process locale is. CString arguments may be passed to %s directly.
  template <typename... Args>
  void Format(const char* pszFormat, Args... args) {
    FormatRaw(pszFormat, afx_detail::FormatArg(args)...);
  }
  template <typename... Args>
  void AppendFormat(const char* pszFormat, Args... args) {
    AppendFormatRaw(pszFormat, afx_detail::FormatArg(args)...);
  }
  void FormatV(const char* pszFormat, va_list args);
  void AppendFormatV(const char* pszFormat, va_list args);

  // Raw buffer access for C-style fillers. GetBuffer(n) makes room for n bytes (plus a
  // terminator); ReleaseBuffer(-1) takes the length up to the first NUL.
  char* GetBuffer(int nMinBufLength);
  char* GetBuffer() { return GetBuffer(GetLength()); }
  char* GetBufferSetLength(int nNewLength);
  void ReleaseBuffer(int nNewLength = -1);
  void ReleaseBufferSetLength(int nNewLength) { ReleaseBuffer(nNewLength); }
  void Preallocate(int nLength) {
    if (nLength > 0) m_str.reserve((size_t)nLength);
  }

  // String resources come from the GUI layer, which installs the loader at start-up.
  typedef BOOL (*StringLoader)(UINT nID, CString& rString);
  static void SetStringLoader(StringLoader pfn);
  BOOL LoadString(UINT nID);

  // UTF-16 conversions (the archive's wide-string form).
  static CString FromUtf16(const char16_t* pch, size_t nLength);
  std::u16string ToUtf16() const;

 private:
  void FormatRaw(const char* pszFormat, ...);
  void AppendFormatRaw(const char* pszFormat, ...);

  std::string m_str;
};

namespace afx_detail {
inline const char* FormatArg(const CString& s) { return s.GetString(); }
}  // namespace afx_detail

inline CString operator+(const CString& a, const CString& b) {
  CString r(a);
  r += b;
  return r;
}
inline CString operator+(const CString& a, const char* b) {
  CString r(a);
  r += b;
  return r;
}
inline CString operator+(const char* a, const CString& b) {
  CString r(a);
  r += b;
  return r;
}
inline CString operator+(const CString& a, char b) {
  CString r(a);
  r += b;
  return r;
}
inline CString operator+(char a, const CString& b) {
  CString r(a);
  r += b;
  return r;
}

inline bool operator==(const CString& a, const CString& b) { return a.GetStdString() == b.GetStdString(); }
inline bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
inline bool operator==(const char* a, const CString& b) { return b.Compare(a) == 0; }
inline bool operator!=(const CString& a, const CString& b) { return !(a == b); }
inline bool operator!=(const CString& a, const char* b) { return !(a == b); }
inline bool operator!=(const char* a, const CString& b) { return !(a == b); }
inline bool operator<(const CString& a, const CString& b) { return a.GetStdString() < b.GetStdString(); }
inline bool operator<(const CString& a, const char* b) { return a.Compare(b) < 0; }
inline bool operator<(const char* a, const CString& b) { return b.Compare(a) > 0; }
inline bool operator>(const CString& a, const CString& b) { return b < a; }
inline bool operator>(const CString& a, const char* b) { return a.Compare(b) > 0; }
inline bool operator>(const char* a, const CString& b) { return b.Compare(a) < 0; }
inline bool operator<=(const CString& a, const CString& b) { return !(b < a); }
inline bool operator<=(const CString& a, const char* b) { return a.Compare(b) <= 0; }
inline bool operator<=(const char* a, const CString& b) { return b.Compare(a) >= 0; }
inline bool operator>=(const CString& a, const CString& b) { return !(a < b); }
inline bool operator>=(const CString& a, const char* b) { return a.Compare(b) >= 0; }
inline bool operator>=(const char* a, const CString& b) { return b.Compare(a) <= 0; }

template <>
struct std::hash<CString> {
  size_t operator()(const CString& s) const noexcept { return std::hash<std::string>()(s.GetStdString()); }
};
