#include "platform/core/AfxObject.h"

#include "platform/core/AfxArchive.h"
#include "platform/core/AfxExceptions.h"

#include <cstdarg>
#include <cstring>
#include <mutex>

void AfxAssertFailed(const char* expr, const char* file, int line) {
  std::fprintf(stderr, "Assertion failed: %s (%s:%d)\n", expr, file, line);
  std::abort();
}

void AfxTrace(const char* lpszFormat, ...) {
  static const bool enabled = std::getenv("NEAPWISE_TRACE") != nullptr;
  if (!enabled || lpszFormat == nullptr) return;
  va_list args;
  va_start(args, lpszFormat);
  std::vfprintf(stderr, lpszFormat, args);
  va_end(args);
}

// ---------------------------------------------------------------------------------------------
// Run-time classes

namespace {
std::mutex& ClassMutex() {
  static std::mutex m;
  return m;
}
CRuntimeClass* g_pFirstClass = nullptr;
}  // namespace

CRuntimeClass CObject::classCObject = {"CObject", (int)sizeof(CObject), AFX_NO_SCHEMA, nullptr, nullptr, nullptr};
static const AFX_CLASSINIT afx_classinit_CObject(&CObject::classCObject);

AFX_CLASSINIT::AFX_CLASSINIT(CRuntimeClass* pNewClass) {
  std::lock_guard<std::mutex> lock(ClassMutex());
  for (CRuntimeClass* p = g_pFirstClass; p; p = p->m_pNextClass)
    if (p == pNewClass) return;
  pNewClass->m_pNextClass = g_pFirstClass;
  g_pFirstClass = pNewClass;
}

CObject* CRuntimeClass::CreateObject() const {
  if (m_pfnCreateObject == nullptr) return nullptr;
  return m_pfnCreateObject();
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const {
  for (const CRuntimeClass* p = this; p; p = p->m_pBaseClass)
    if (p == pBaseClass) return TRUE;
  return FALSE;
}

CRuntimeClass* CRuntimeClass::FromName(LPCSTR lpszClassName) {
  if (lpszClassName == nullptr) return nullptr;
  std::lock_guard<std::mutex> lock(ClassMutex());
  for (CRuntimeClass* p = g_pFirstClass; p; p = p->m_pNextClass)
    if (std::strcmp(p->m_lpszClassName, lpszClassName) == 0) return p;
  return nullptr;
}

CObject* CRuntimeClass::CreateObject(LPCSTR lpszClassName) {
  CRuntimeClass* p = FromName(lpszClassName);
  return p ? p->CreateObject() : nullptr;
}

void CRuntimeClass::Store(CArchive& ar) const {
  size_t nLen = std::strlen(m_lpszClassName);
  ar << (WORD)m_wSchema << (WORD)nLen;
  ar.Write(m_lpszClassName, (UINT)nLen);
}

CRuntimeClass* CRuntimeClass::Load(CArchive& ar, UINT* pwSchemaNum) {
  WORD wSchema = 0, nLen = 0;
  ar >> wSchema >> nLen;
  // Class names are identifiers; a long one is corrupt data.
  if (nLen >= 64) AfxThrowArchiveException(CArchiveException::badClass, ar.m_strFileName);
  char szName[64];
  ar.EnsureRead(szName, nLen);
  szName[nLen] = '\0';
  if (pwSchemaNum) *pwSchemaNum = wSchema;
  return FromName(szName);
}

// ---------------------------------------------------------------------------------------------
// CObject

CRuntimeClass* CObject::GetRuntimeClass() const { return &CObject::classCObject; }

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const { return GetRuntimeClass()->IsDerivedFrom(pClass); }

BOOL CObject::IsSerializable() const { return GetRuntimeClass()->m_wSchema != AFX_NO_SCHEMA; }

void CObject::Serialize(CArchive& ar) { (void)ar; }
