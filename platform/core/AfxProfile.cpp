#include "platform/core/AfxProfile.h"

#include "platform/core/AfxFile.h"
#include "platform/core/AfxFolders.h"

#include <strings.h>
#include <sys/stat.h>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <unordered_map>

namespace {
const char* const kDefaultAppName = "Neapwise";
// Far beyond any settings the program writes: a larger file is not ours, and is moved aside
// rather than read into memory whole.
const off_t kMaxSettingsBytes = 16 * 1024 * 1024;

// The key names are matched by: names that differ only in ASCII case are one name.
std::string FoldedName(const std::string& s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
  return out;
}

bool SameName(const std::string& a, LPCTSTR b) { return b != nullptr && ::strcasecmp(a.c_str(), b) == 0; }

// Length of the UTF-8 sequence at s[i], or 0 when the bytes there are not one.
size_t Utf8SequenceAt(const std::string& s, size_t i) {
  unsigned char c = (unsigned char)s[i];
  size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
  if (len == 0 || i + len > s.size()) return 0;
  for (size_t k = 1; k < len; ++k)
    if (((unsigned char)s[i + k] >> 6) != 2) return 0;
  return len;
}

// Values and names are kept on one line each: backslash, control characters, bytes that are
// not UTF-8 and, in names, '=', '[', ']', ';', '#' and space at either end are escaped. A value
// with space at either end is quoted. Reading the text back gives the same bytes.
std::string Escape(const std::string& s, bool bName) {
  std::string out;
  out.reserve(s.size());
  auto hex = [&out](unsigned char c) {
    char buf[5];
    std::snprintf(buf, sizeof buf, "\\x%02X", c);
    out += buf;
  };
  for (size_t i = 0; i < s.size();) {
    unsigned char c = (unsigned char)s[i];
    if (c >= 0x80) {
      size_t len = Utf8SequenceAt(s, i);
      if (len == 0) {
        hex(c);
        ++i;
      } else {
        out.append(s, i, len);
        i += len;
      }
      continue;
    }
    ++i;
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c == 0x7F ||
            (bName &&
             (c == '=' || c == '[' || c == ']' || c == ';' || c == '#' || (c == ' ' && (i == 1 || i == s.size())))))
          hex(c);
        else
          out += (char)c;
    }
  }
  if (!bName && !out.empty() && (out.front() == ' ' || out.back() == ' ' || out.front() == '"')) out = '"' + out + '"';
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool Unescape(const std::string& s, std::string& out) {
  out.clear();
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c != '\\') {
      out += c;
      continue;
    }
    if (++i >= s.size()) return false;
    switch (s[i]) {
      case '\\': out += '\\'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      case 'x': {
        if (i + 2 >= s.size()) return false;
        int hi = HexDigit(s[i + 1]), lo = HexDigit(s[i + 2]);
        if (hi < 0 || lo < 0) return false;
        out += (char)(hi * 16 + lo);
        i += 2;
        break;
      }
      default: return false;
    }
  }
  return true;
}

std::string Trimmed(const std::string& s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return std::string();
  size_t e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

bool ValidUtf8(const std::string& s) {
  size_t i = 0, n = s.size();
  while (i < n) {
    unsigned char c = (unsigned char)s[i];
    int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (len == 0 || i + (size_t)len > n) return false;
    for (int k = 1; k < len; ++k)
      if (((unsigned char)s[i + (size_t)k] >> 6) != 2) return false;
    i += (size_t)len;
  }
  return true;
}

bool ParseInt(const std::string& text, long long& value) {
  std::string t = Trimmed(text);
  if (t.empty()) return false;
  errno = 0;
  char* end = nullptr;
  int base = (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) ? 16 : 10;
  long long v = std::strtoll(t.c_str(), &end, base);
  if (errno != 0 || end == nullptr || *end != '\0') return false;
  if (v < INT_MIN || v > (long long)UINT_MAX) return false;
  value = v;
  return true;
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// CProfileStore

namespace {
enum { changeSet = 0, changeRemoveEntry = 1, changeRemoveSection = 2 };
}

CProfileStore::CProfileStore(const CString& strPath) : m_strPath(strPath) {}

CProfileStore::~CProfileStore() {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (!m_pending.empty()) SaveLocked();
}

CProfileStore::ReadResult CProfileStore::ReadFile(Sections& out) {
  out.clear();
  m_strBadReason.Empty();
  struct stat st;
  if (::stat(m_strPath, &st) != 0) {
    if (errno == ENOENT) return readMissing;
    m_strLastError.Format("Cannot read the settings file %s: %s", m_strPath.GetString(), std::strerror(errno));
    return readFailed;
  }
  // A folder of that name is left alone (and never written over); a device, a pipe or a
  // socket, or anything larger than any settings, is never read whole.
  if (S_ISDIR(st.st_mode)) {
    m_strLastError.Format("The settings file %s is a folder, not a file", m_strPath.GetString());
    return readFailed;
  }
  if (!S_ISREG(st.st_mode)) {
    m_strBadReason = "it is not a file but a device, a pipe or a socket";
    return readCorrupt;
  }
  if (st.st_size > kMaxSettingsBytes) {
    m_strBadReason = "it is larger than any settings file (16 MiB)";
    return readCorrupt;
  }
  CString contents;
  CFileException fe;
  if (!AfxReadWholeFile(m_strPath, contents, &fe, (ULONGLONG)kMaxSettingsBytes)) {
    if (fe.m_lOsError == EFBIG || fe.m_lOsError == EISDIR || fe.m_lOsError == CFileException::osNotRegularFile) {
      m_strBadReason = fe.m_lOsError == EFBIG ? "it is larger than any settings file (16 MiB)"
                                              : "it is not a file but a device, a pipe or a socket";
      return readCorrupt;
    }
    m_strLastError = fe.GetErrorMessage();
    return readFailed;
  }
  std::string reason;
  if (!Parse(contents.GetStdString(), out, &reason)) {
    out.clear();
    m_strBadReason = CString(reason);
    return readCorrupt;
  }
  return readOk;
}

void CProfileStore::MoveAside() {
  // Unreadable settings: keep the bad file for the user and start afresh.
  CString aside;
  const CString why = m_strBadReason.IsEmpty() ? CString("it is damaged") : m_strBadReason;
  if (AfxMoveFileAside(m_strPath, &aside)) {
    m_strMovedAside = aside;
    m_strLastError.Format("The settings file %s could not be read and was moved to %s", m_strPath.GetString(),
                          aside.GetString());
    m_strLoadProblem.Format(
        "The settings file \"%s\" could not be read: %s. It was kept as \"%s\", and every "
        "setting is back to its default.",
        m_strPath.GetString(), why.GetString(), aside.GetString());
  } else {
    m_bReadFailed = true;
    m_strLastError.Format("The settings file %s could not be read", m_strPath.GetString());
    m_strLoadProblem.Format(
        "The settings file \"%s\" could not be read: %s. It could not be moved aside either, "
        "so it is left as it is and not written over; every setting is at its default "
        "and changes are not saved.",
        m_strPath.GetString(), why.GetString());
  }
}

void CProfileStore::EnsureLoaded() {
  if (m_bLoaded) return;
  m_bLoaded = true;
  AfxRemoveStaleTemporaries(m_strPath);
  switch (ReadFile(m_sections)) {
    case readMissing:
    case readOk: break;
    case readFailed:
      m_bReadFailed = true;
      m_strLoadProblem.Format(
          "The settings file \"%s\" could not be read (%s). It is left as it is and not "
          "written over; every setting is at its default and changes are not saved.",
          m_strPath.GetString(), m_strLastError.GetString());
      break;
    case readCorrupt: MoveAside(); break;
  }
}

BOOL CProfileStore::Parse(const std::string& text, Sections& out, std::string* pReason) {
  std::string ignored;
  std::string& reason = pReason ? *pReason : ignored;
  if (text.find('\0') != std::string::npos) {
    reason = "it holds a NUL byte, which no settings file has";
    return FALSE;
  }
  if (!ValidUtf8(text)) {
    reason = "it is not UTF-8 text";
    return FALSE;
  }
  int lineNumber = 0;
  auto badLine = [&]() {
    reason = "line " + std::to_string(lineNumber) + " is not a setting";
    return FALSE;
  };
  // Sections and entries by name, so that a file of many entries reads in linear time.
  std::unordered_map<std::string, size_t> sectionAt;
  std::vector<std::unordered_map<std::string, size_t>> entryAt(out.size());
  for (size_t i = 0; i < out.size(); ++i) {
    sectionAt.emplace(FoldedName(out[i].name), i);
    for (size_t k = 0; k < out[i].entries.size(); ++k) entryAt[i].emplace(FoldedName(out[i].entries[k].name), k);
  }
  size_t current = (size_t)-1;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t nl = text.find('\n', pos);
    std::string line = Trimmed(text.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos));
    pos = nl == std::string::npos ? text.size() : nl + 1;
    ++lineNumber;
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line[0] == '[') {
      if (line.back() != ']') return badLine();
      std::string name;
      if (!Unescape(Trimmed(line.substr(1, line.size() - 2)), name) || name.empty()) return badLine();
      auto found = sectionAt.emplace(FoldedName(name), out.size());
      if (found.second) {
        out.push_back(Section{name, {}});
        entryAt.emplace_back();
      }
      current = found.first->second;
      continue;
    }
    size_t eq = line.find('=');
    if (eq == std::string::npos || eq == 0 || current == (size_t)-1) return badLine();
    std::string name, value;
    std::string raw = Trimmed(line.substr(eq + 1));
    if (raw.size() >= 2 && raw.front() == '"' && raw.back() == '"') raw = raw.substr(1, raw.size() - 2);
    if (!Unescape(Trimmed(line.substr(0, eq)), name) || name.empty() || !Unescape(raw, value)) return badLine();
    std::vector<Entry>& entries = out[current].entries;
    auto found = entryAt[current].emplace(FoldedName(name), entries.size());
    if (found.second)
      entries.push_back(Entry{name, std::move(value)});
    else
      entries[found.first->second].value = std::move(value);
  }
  return TRUE;
}

std::string CProfileStore::Serialise(const Sections& sections) {
  std::string out = "; Neapwise settings\n";
  for (const Section& s : sections) {
    if (s.entries.empty()) continue;
    out += "\n[" + Escape(s.name, true) + "]\n";
    for (const Entry& e : s.entries) out += Escape(e.name, true) + "=" + Escape(e.value, false) + "\n";
  }
  return out;
}

CProfileStore::Section* CProfileStore::FindSection(Sections& sections, LPCTSTR lpszSection, bool bCreate) {
  for (Section& s : sections)
    if (SameName(s.name, lpszSection)) return &s;
  if (!bCreate || lpszSection == nullptr) return nullptr;
  sections.push_back(Section{lpszSection, {}});
  return &sections.back();
}

CProfileStore::Entry* CProfileStore::FindEntry(Section* pSection, LPCTSTR lpszEntry, bool bCreate) {
  if (pSection == nullptr) return nullptr;
  for (Entry& e : pSection->entries)
    if (SameName(e.name, lpszEntry)) return &e;
  if (!bCreate || lpszEntry == nullptr) return nullptr;
  pSection->entries.push_back(Entry{lpszEntry, std::string()});
  return &pSection->entries.back();
}

bool CProfileStore::Apply(Sections& sections, const Change& c) {
  switch (c.kind) {
    case changeSet: {
      Section* s = FindSection(sections, c.section.c_str(), true);
      Entry* e = FindEntry(s, c.entry.c_str(), false);
      if (e != nullptr && e->value == c.value) return false;
      if (e == nullptr) e = FindEntry(s, c.entry.c_str(), true);
      e->value = c.value;
      return true;
    }
    case changeRemoveEntry: {
      Section* s = FindSection(sections, c.section.c_str(), false);
      if (s == nullptr) return false;
      for (auto it = s->entries.begin(); it != s->entries.end(); ++it)
        if (SameName(it->name, c.entry.c_str())) {
          s->entries.erase(it);
          return true;
        }
      return false;
    }
    default:
      for (auto it = sections.begin(); it != sections.end(); ++it)
        if (SameName(it->name, c.section.c_str())) {
          sections.erase(it);
          return true;
        }
      return false;
  }
}

const std::string* CProfileStore::FindValue(LPCTSTR lpszSection, LPCTSTR lpszEntry) {
  Entry* e = FindEntry(FindSection(m_sections, lpszSection, false), lpszEntry, false);
  return e ? &e->value : nullptr;
}

UINT CProfileStore::GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault) {
  std::lock_guard<std::mutex> lock(m_mutex);
  EnsureLoaded();
  const std::string* v = FindValue(lpszSection, lpszEntry);
  long long n;
  if (v == nullptr || !ParseInt(*v, n)) return (UINT)nDefault;
  return (UINT)n;
}

CString CProfileStore::GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault) {
  std::lock_guard<std::mutex> lock(m_mutex);
  EnsureLoaded();
  const std::string* v = FindValue(lpszSection, lpszEntry);
  if (v == nullptr) return CString(lpszDefault);
  return CString(*v);
}

BOOL CProfileStore::GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE* ppData, UINT* pBytes) {
  if (ppData) *ppData = nullptr;
  if (pBytes) *pBytes = 0;
  if (ppData == nullptr || pBytes == nullptr) return FALSE;
  std::lock_guard<std::mutex> lock(m_mutex);
  EnsureLoaded();
  const std::string* v = FindValue(lpszSection, lpszEntry);
  if (v == nullptr || v->size() % 2 != 0) return FALSE;
  size_t n = v->size() / 2;
  LPBYTE p = new BYTE[n > 0 ? n : 1];
  for (size_t i = 0; i < n; ++i) {
    int hi = HexDigit((*v)[2 * i]), lo = HexDigit((*v)[2 * i + 1]);
    if (hi < 0 || lo < 0) {
      delete[] p;
      return FALSE;
    }
    p[i] = (BYTE)(hi * 16 + lo);
  }
  *ppData = p;
  *pBytes = (UINT)n;
  return TRUE;
}

BOOL CProfileStore::WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue) {
  if (lpszEntry == nullptr) return FALSE;
  return WriteProfileString(lpszSection, lpszEntry, std::to_string(nValue).c_str());
}

BOOL CProfileStore::WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue) {
  if (lpszSection == nullptr || *lpszSection == '\0' || (lpszEntry != nullptr && *lpszEntry == '\0')) return FALSE;
  Change c;
  c.section = lpszSection;
  if (lpszEntry == nullptr)
    c.kind = changeRemoveSection;
  else if (lpszValue == nullptr) {
    c.kind = changeRemoveEntry;
    c.entry = lpszEntry;
  } else {
    c.kind = changeSet;
    c.entry = lpszEntry;
    c.value = lpszValue;
  }
  std::lock_guard<std::mutex> lock(m_mutex);
  EnsureLoaded();
  return Record(c);
}

BOOL CProfileStore::WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, const BYTE* pData, UINT nBytes) {
  if (lpszEntry == nullptr || (pData == nullptr && nBytes > 0)) return FALSE;
  std::string hex;
  hex.reserve((size_t)nBytes * 2);
  static const char digits[] = "0123456789ABCDEF";
  for (UINT i = 0; i < nBytes; ++i) {
    hex += digits[pData[i] >> 4];
    hex += digits[pData[i] & 15];
  }
  return WriteProfileString(lpszSection, lpszEntry, hex.c_str());
}

BOOL CProfileStore::Record(const Change& change) {
  // A write that changes nothing in memory needs no save.
  if (Apply(m_sections, change)) m_pending.push_back(change);
  if (m_pending.empty() || m_nDeferred > 0) return TRUE;
  return SaveLocked();
}

void CProfileStore::BeginDeferredWrites() {
  std::lock_guard<std::mutex> lock(m_mutex);
  ++m_nDeferred;
}

BOOL CProfileStore::EndDeferredWrites() {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (m_nDeferred > 0) --m_nDeferred;
  if (m_pending.empty() || m_nDeferred > 0) return TRUE;
  return SaveLocked();
}

BOOL CProfileStore::Save() {
  std::lock_guard<std::mutex> lock(m_mutex);
  EnsureLoaded();
  return SaveLocked();
}

BOOL CProfileStore::SaveLocked() {
  if (m_bReadFailed) {
    // The file on disk holds settings we could not read; replacing it would lose them.
    if (m_strLastError.IsEmpty()) m_strLastError = "The settings file could not be read and is not replaced";
    return FALSE;
  }
  // Our changes go over the file as it is now, keeping what other programs wrote meanwhile.
  Sections merged;
  switch (ReadFile(merged)) {
    case readOk:
      for (const Change& c : m_pending) Apply(merged, c);
      break;
    case readFailed: return FALSE;
    case readCorrupt: MoveAside(); [[fallthrough]];
    case readMissing: merged = m_sections; break;
  }
  if (m_bReadFailed) return FALSE;

  int slash = m_strPath.ReverseFind('/');
  if (slash > 0) AfxCreateFolder(m_strPath.Left(slash));
  std::string text = Serialise(merged);
  CFileException fe;
  if (!AfxSaveFileSafely(m_strPath, text.data(), text.size(), &fe)) {
    m_strLastError = fe.GetErrorMessage();
    return FALSE;
  }
  m_sections.swap(merged);
  m_pending.clear();
  return TRUE;
}

CString CProfileStore::GetLastError() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_strLastError;
}

CString CProfileStore::GetLoadProblem() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_strLoadProblem;
}

CString CProfileStore::GetMovedAsidePath() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_strMovedAside;
}

// ---------------------------------------------------------------------------------------------
// CWinAppBase

namespace {
std::atomic<CWinAppBase*> g_pApp{nullptr};
}

CWinAppBase::CWinAppBase(LPCTSTR lpszAppName)
    : m_strAppName(lpszAppName && *lpszAppName ? lpszAppName : kDefaultAppName) {
  g_pApp.store(this);
}

CWinAppBase::CWinAppBase(LPCTSTR lpszAppName, DefaultTag) : m_strAppName(lpszAppName) {}

CWinAppBase::~CWinAppBase() {
  CWinAppBase* self = this;
  g_pApp.compare_exchange_strong(self, nullptr);
}

void CWinAppBase::SetRegistryKey(LPCTSTR lpszRegistryKey) { m_strRegistryKey = lpszRegistryKey; }

void CWinAppBase::SetAppName(LPCTSTR lpszAppName) {
  if (lpszAppName && *lpszAppName) {
    m_strAppName = lpszAppName;
    ResetProfile();
  }
}

CProfileStore& CWinAppBase::GetProfileStore() {
  std::lock_guard<std::mutex> lock(m_profileMutex);
  if (!m_pProfile) {
    CString path = AfxAppendPath(AfxGetUserConfigFolder(), m_strAppName + ".conf");
    m_pProfile = std::make_unique<CProfileStore>(path);
  }
  return *m_pProfile;
}

void CWinAppBase::ResetProfile() {
  std::lock_guard<std::mutex> lock(m_profileMutex);
  m_pProfile.reset();
}

UINT CWinAppBase::GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault) {
  return GetProfileStore().GetProfileInt(lpszSection, lpszEntry, nDefault);
}

CString CWinAppBase::GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault) {
  return GetProfileStore().GetProfileString(lpszSection, lpszEntry, lpszDefault);
}

BOOL CWinAppBase::GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE* ppData, UINT* pBytes) {
  return GetProfileStore().GetProfileBinary(lpszSection, lpszEntry, ppData, pBytes);
}

BOOL CWinAppBase::WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue) {
  return GetProfileStore().WriteProfileInt(lpszSection, lpszEntry, nValue);
}

BOOL CWinAppBase::WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue) {
  return GetProfileStore().WriteProfileString(lpszSection, lpszEntry, lpszValue);
}

BOOL CWinAppBase::WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE pData, UINT nBytes) {
  return GetProfileStore().WriteProfileBinary(lpszSection, lpszEntry, pData, nBytes);
}

CWinAppBase* AfxGetApp() {
  if (CWinAppBase* p = g_pApp.load()) return p;
  static CWinAppBase* pDefault = new CWinAppBase(kDefaultAppName, CWinAppBase::DefaultTag{});
  return pDefault;
}

CString AfxGetProfilePath() { return AfxGetApp()->GetProfileStore().GetPath(); }
