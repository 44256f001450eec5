#include "platform/core/AfxResource.h"

#include <cctype>
#include <cstring>
#include <list>
#include <map>
#include <mutex>
#include <string>
#include <vector>

// A found resource. Entries are never freed, so handles stay valid for the whole run.
struct HRSRC__ {
  const BYTE* data;
  DWORD size;
};

namespace {
struct Registry {
  std::mutex mutex;
  std::map<std::string, HRSRC__*> entries;
  std::list<HRSRC__> handles;  // every handle ever given out
  std::list<std::vector<BYTE>> copies;
};

Registry& TheRegistry() {
  static Registry* r = new Registry;  // outlives every static user
  return *r;
}

const BYTE kEmpty[1] = {0};

// "#178", "#0178" and MAKEINTRESOURCE(178) are one name; other names ignore ASCII case.
std::string Normalise(LPCTSTR p) {
  if (p == nullptr) return std::string();
  if (IS_INTRESOURCE(p)) return "#" + std::to_string((unsigned)(ULONG_PTR)p);
  std::string s(p);
  if (s.size() > 1 && s[0] == '#' && s.find_first_not_of("0123456789", 1) == std::string::npos) {
    unsigned long v = 0;
    for (size_t i = 1; i < s.size() && v <= 0xFFFF; ++i) v = v * 10 + (unsigned long)(s[i] - '0');
    if (v <= 0xFFFF) return "#" + std::to_string(v);
  }
  for (char& c : s) c = (char)std::toupper((unsigned char)c);
  return s;
}

std::string Key(LPCTSTR lpszType, LPCTSTR lpszName) { return Normalise(lpszType) + '\x01' + Normalise(lpszName); }

HRSRC Lookup(LPCTSTR lpszType, LPCTSTR lpszName) {
  if (lpszType == nullptr || lpszName == nullptr) return nullptr;
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> lock(r.mutex);
  auto it = r.entries.find(Key(lpszType, lpszName));
  return it == r.entries.end() ? nullptr : it->second;
}

void Register(LPCTSTR lpszType, LPCTSTR lpszName, const BYTE* data, size_t nSize) {
  if (lpszType == nullptr || lpszName == nullptr || nSize > 0xFFFFFFFFu) return;
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.handles.push_back(HRSRC__{data ? data : kEmpty, (DWORD)nSize});
  r.entries[Key(lpszType, lpszName)] = &r.handles.back();
}

// The handle every module query answers with: the program is its only module.
HINSTANCE__* ProgramModule() {
  static char token;
  return reinterpret_cast<HINSTANCE__*>(&token);
}
}  // namespace

HINSTANCE AfxGetResourceHandle() { return ProgramModule(); }
HINSTANCE AfxGetInstanceHandle() { return ProgramModule(); }

HINSTANCE AfxFindResourceHandle(LPCTSTR lpszName, LPCTSTR lpszType) {
  (void)lpszName;
  (void)lpszType;
  return ProgramModule();
}

HRSRC FindResource(HMODULE hModule, LPCTSTR lpName, LPCTSTR lpType) {
  (void)hModule;
  return Lookup(lpType, lpName);
}

HGLOBAL LoadResource(HMODULE hModule, HRSRC hResInfo) {
  (void)hModule;
  return hResInfo;
}

LPVOID LockResource(HGLOBAL hResData) {
  if (hResData == nullptr) return nullptr;
  return const_cast<BYTE*>(static_cast<HRSRC__*>(hResData)->data);
}

DWORD SizeofResource(HMODULE hModule, HRSRC hResInfo) {
  (void)hModule;
  return hResInfo ? hResInfo->size : 0;
}

BOOL FreeResource(HGLOBAL hResData) {
  (void)hResData;
  return FALSE;
}

BOOL AfxFindRawData(LPCTSTR lpszType, LPCTSTR lpszName, const BYTE** ppData, DWORD* pnSize) {
  HRSRC h = Lookup(lpszType, lpszName);
  if (ppData) *ppData = h ? h->data : nullptr;
  if (pnSize) *pnSize = h ? h->size : 0;
  return h != nullptr;
}

void AfxRegisterResource(LPCTSTR lpszType, LPCTSTR lpszName, const void* pData, size_t nSize) {
  Register(lpszType, lpszName, static_cast<const BYTE*>(pData), pData ? nSize : 0);
}

void AfxRegisterResourceCopy(LPCTSTR lpszType, LPCTSTR lpszName, const void* pData, size_t nSize) {
  if (pData == nullptr) nSize = 0;
  const BYTE* copy;
  {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    const BYTE* src = static_cast<const BYTE*>(pData);
    r.copies.emplace_back(src, src + nSize);
    copy = r.copies.back().empty() ? kEmpty : r.copies.back().data();
  }
  Register(lpszType, lpszName, copy, nSize);
}

BOOL AfxUnregisterResource(LPCTSTR lpszType, LPCTSTR lpszName) {
  if (lpszType == nullptr || lpszName == nullptr) return FALSE;
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> lock(r.mutex);
  return r.entries.erase(Key(lpszType, lpszName)) > 0;
}
