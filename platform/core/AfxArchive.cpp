#include "platform/core/AfxArchive.h"

#include "platform/core/AfxFile.h"

#include <bit>
#include <cstring>
#include <string>

namespace {
static_assert(std::endian::native == std::endian::little, "the archive layout assumes a little-endian host");

// Class and object tags of the object layout.
const WORD wNullTag = 0;
const WORD wNewClassTag = 0xFFFF;
const WORD wClassTag = 0x8000;
const DWORD dwBigClassTag = 0x80000000;
const WORD wBigObjectTag = 0x7FFF;
const DWORD nMaxMapCount = 0x3FFFFFFE;

// Strings are read in pieces so a corrupt length costs no more memory than the data holds.
const UINT kStringChunk = 65536;
}  // namespace

CArchive::CArchive(CFile* pFile, UINT nMode, int nBufSize, void* lpBuf)
    : m_pFile(pFile), m_nMode(nMode), m_bEof(FALSE), m_bClosed(FALSE), m_nObjectSchema((UINT)-1) {
  (void)lpBuf;
  if (pFile) m_strFileName = pFile->GetFilePath();
  if (nBufSize < 128) nBufSize = 128;
  m_buffer.resize((size_t)nBufSize);
  m_lpBufStart = m_buffer.data();
  m_lpBufCur = m_lpBufStart;
  m_lpBufMax = IsLoading() ? m_lpBufStart : m_lpBufStart + m_buffer.size();
}

CArchive::~CArchive() {
  if (m_bClosed || m_pFile == nullptr) return;
  if (IsStoring() && !(m_nMode & bNoFlushOnDelete)) {
    try {
      Flush();
    } catch (CException* e) {
      e->Delete();
    }
  }
  m_bClosed = TRUE;
}

UINT CArchive::GetObjectSchema() {
  UINT n = m_nObjectSchema;
  m_nObjectSchema = (UINT)-1;
  return n;
}

void CArchive::CheckLoading() const {
  if (m_bClosed || m_pFile == nullptr) AfxThrowArchiveException(CArchiveException::genericException, m_strFileName);
  if (!IsLoading()) AfxThrowArchiveException(CArchiveException::writeOnly, m_strFileName);
}

void CArchive::CheckStoring() const {
  if (m_bClosed || m_pFile == nullptr) AfxThrowArchiveException(CArchiveException::genericException, m_strFileName);
  if (!IsStoring()) AfxThrowArchiveException(CArchiveException::readOnly, m_strFileName);
}

void CArchive::FillBuffer(UINT nBytesNeeded) {
  // Keep what is left, then read until the need is met or the file ends.
  size_t nLeft = (size_t)(m_lpBufMax - m_lpBufCur);
  if (nLeft > 0 && m_lpBufCur != m_lpBufStart) std::memmove(m_lpBufStart, m_lpBufCur, nLeft);
  m_lpBufCur = m_lpBufStart;
  m_lpBufMax = m_lpBufStart + nLeft;
  if (nBytesNeeded > m_buffer.size()) {
    size_t curOff = 0, maxOff = nLeft;
    m_buffer.resize(nBytesNeeded);
    m_lpBufStart = m_buffer.data();
    m_lpBufCur = m_lpBufStart + curOff;
    m_lpBufMax = m_lpBufStart + maxOff;
  }
  while (!m_bEof && (size_t)(m_lpBufMax - m_lpBufCur) < nBytesNeeded) {
    size_t room = m_buffer.size() - (size_t)(m_lpBufMax - m_lpBufStart);
    UINT n = m_pFile->Read(m_lpBufMax, (UINT)room);
    if (n == 0) m_bEof = TRUE;
    m_lpBufMax += n;
  }
  if ((size_t)(m_lpBufMax - m_lpBufCur) < nBytesNeeded)
    AfxThrowArchiveException(CArchiveException::endOfFile, m_strFileName);
}

UINT CArchive::Read(void* lpBuf, UINT nMax) {
  CheckLoading();
  BYTE* out = static_cast<BYTE*>(lpBuf);
  UINT total = 0;
  while (total < nMax) {
    size_t avail = (size_t)(m_lpBufMax - m_lpBufCur);
    if (avail == 0) {
      if (m_bEof) break;
      UINT want = nMax - total;
      if (want >= m_buffer.size()) {
        // Large reads go straight to the caller's memory.
        UINT n = m_pFile->Read(out + total, want);
        if (n == 0) m_bEof = TRUE;
        total += n;
        continue;
      }
      m_lpBufCur = m_lpBufMax = m_lpBufStart;
      UINT n = m_pFile->Read(m_lpBufStart, (UINT)m_buffer.size());
      if (n == 0) m_bEof = TRUE;
      m_lpBufMax += n;
      continue;
    }
    size_t n = std::min(avail, (size_t)(nMax - total));
    std::memcpy(out + total, m_lpBufCur, n);
    m_lpBufCur += n;
    total += (UINT)n;
  }
  return total;
}

void CArchive::EnsureRead(void* lpBuf, UINT nCount) {
  if (Read(lpBuf, nCount) != nCount) AfxThrowArchiveException(CArchiveException::endOfFile, m_strFileName);
}

void CArchive::Write(const void* lpBuf, UINT nCount) {
  CheckStoring();
  const BYTE* in = static_cast<const BYTE*>(lpBuf);
  while (nCount > 0) {
    size_t room = (size_t)(m_lpBufMax - m_lpBufCur);
    if (room == 0) {
      Flush();
      room = (size_t)(m_lpBufMax - m_lpBufCur);
      if (nCount >= m_buffer.size()) {
        m_pFile->Write(in, nCount);
        return;
      }
    }
    size_t n = std::min(room, (size_t)nCount);
    std::memcpy(m_lpBufCur, in, n);
    m_lpBufCur += n;
    in += n;
    nCount -= (UINT)n;
  }
}

void CArchive::Flush() {
  if (m_bClosed || m_pFile == nullptr) return;
  if (IsStoring()) {
    size_t n = (size_t)(m_lpBufCur - m_lpBufStart);
    // Reset first so a failed write does not write the same bytes again later.
    m_lpBufCur = m_lpBufStart;
    if (n > 0) m_pFile->Write(m_lpBufStart, (UINT)n);
  }
}

void CArchive::Close() {
  if (m_bClosed) return;
  try {
    Flush();
  } catch (...) {
    m_bClosed = TRUE;
    throw;
  }
  m_bClosed = TRUE;
}

void CArchive::Abort() {
  m_lpBufCur = m_lpBufStart;
  m_bClosed = TRUE;
}

// ---------------------------------------------------------------------------------------------
// Numbers

#define AFX_ARCHIVE_STORE(value)                                    \
  do {                                                              \
    CheckStoring();                                                 \
    if ((size_t)(m_lpBufMax - m_lpBufCur) < sizeof(value)) Flush(); \
    std::memcpy(m_lpBufCur, &(value), sizeof(value));               \
    m_lpBufCur += sizeof(value);                                    \
  } while (0)

#define AFX_ARCHIVE_LOAD(value)                                                             \
  do {                                                                                      \
    CheckLoading();                                                                         \
    if ((size_t)(m_lpBufMax - m_lpBufCur) < sizeof(value)) FillBuffer((UINT)sizeof(value)); \
    std::memcpy(&(value), m_lpBufCur, sizeof(value));                                       \
    m_lpBufCur += sizeof(value);                                                            \
  } while (0)

CArchive& CArchive::operator<<(BYTE by) {
  AFX_ARCHIVE_STORE(by);
  return *this;
}
CArchive& CArchive::operator<<(WORD w) {
  AFX_ARCHIVE_STORE(w);
  return *this;
}
CArchive& CArchive::operator<<(UINT u) {
  AFX_ARCHIVE_STORE(u);
  return *this;
}
CArchive& CArchive::operator<<(ULONGLONG ull) {
  AFX_ARCHIVE_STORE(ull);
  return *this;
}
CArchive& CArchive::operator<<(float f) {
  AFX_ARCHIVE_STORE(f);
  return *this;
}
CArchive& CArchive::operator<<(double d) {
  AFX_ARCHIVE_STORE(d);
  return *this;
}

CArchive& CArchive::operator>>(BYTE& by) {
  AFX_ARCHIVE_LOAD(by);
  return *this;
}
CArchive& CArchive::operator>>(WORD& w) {
  AFX_ARCHIVE_LOAD(w);
  return *this;
}
CArchive& CArchive::operator>>(UINT& u) {
  AFX_ARCHIVE_LOAD(u);
  return *this;
}
CArchive& CArchive::operator>>(ULONGLONG& ull) {
  AFX_ARCHIVE_LOAD(ull);
  return *this;
}
CArchive& CArchive::operator>>(float& f) {
  AFX_ARCHIVE_LOAD(f);
  return *this;
}
CArchive& CArchive::operator>>(double& d) {
  AFX_ARCHIVE_LOAD(d);
  return *this;
}

#undef AFX_ARCHIVE_STORE
#undef AFX_ARCHIVE_LOAD

// ---------------------------------------------------------------------------------------------
// Strings

void CArchive::WriteStringLength(UINT nLength) {
  if (nLength < 255)
    *this << (BYTE)nLength;
  else if (nLength < 0xFFFE)
    *this << (BYTE)0xFF << (WORD)nLength;
  else
    *this << (BYTE)0xFF << (WORD)0xFFFF << (DWORD)nLength;
}

UINT CArchive::ReadStringLength(BOOL* pbUtf16) {
  if (pbUtf16) *pbUtf16 = FALSE;
  BYTE b;
  *this >> b;
  if (b < 0xFF) return b;
  WORD w;
  *this >> w;
  if (w == 0xFFFE) {
    // Wide-string marker, then the length prefix again, counted in 16-bit units.
    if (pbUtf16) *pbUtf16 = TRUE;
    BOOL dummy;
    UINT n = ReadStringLength(&dummy);
    if (dummy) AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);
    return n;
  }
  if (w < 0xFFFF) return w;
  DWORD dw;
  *this >> dw;
  if (dw == 0xFFFFFFFF) AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);  // 64-bit lengths
  return dw;
}

namespace {

// One length prefix at p[at], as ReadStringLength reads it; false where it would throw.
bool StoredLength(const BYTE* p, size_t avail, size_t& at, UINT& n, bool& wide) {
  auto take = [&](auto& value) {
    if (avail - at < sizeof value) return false;
    std::memcpy(&value, p + at, sizeof value);
    at += sizeof value;
    return true;
  };
  wide = false;
  BYTE b;
  if (!take(b)) return false;
  n = b;
  if (b < 0xFF) return true;
  WORD w;
  if (!take(w)) return false;
  wide = w == 0xFFFE;
  n = w;
  if (w <= 0xFFFE) return true;
  DWORD dw;
  if (!take(dw) || dw == 0xFFFFFFFF) return false;
  n = dw;
  return true;
}

}  // namespace

size_t AfxStoredStringSize(const BYTE* p, size_t avail) {
  size_t at = 0;
  UINT n = 0;
  bool wide = false;
  if (!StoredLength(p, avail, at, n, wide)) return 0;
  if (wide) {
    bool again = false;
    if (!StoredLength(p, avail, at, n, again) || again) return 0;
  }
  const size_t bytes = wide ? 2 * (size_t)n : (size_t)n;
  if (bytes > avail - at) return 0;
  return at + bytes;
}

CArchive& operator<<(CArchive& ar, const CString& str) {
  UINT n = (UINT)str.GetLength();
  ar.WriteStringLength(n);
  ar.Write(str.GetString(), n);
  return ar;
}

CArchive& operator>>(CArchive& ar, CString& str) {
  BOOL bUtf16 = FALSE;
  UINT nLength = ar.ReadStringLength(&bUtf16);
  if (!bUtf16) {
    std::string s;
    UINT done = 0;
    while (done < nLength) {
      UINT chunk = std::min(nLength - done, kStringChunk);
      s.resize((size_t)done + chunk);
      ar.EnsureRead(s.data() + done, chunk);
      done += chunk;
    }
    str = CString(std::move(s));
  } else {
    std::u16string s;
    UINT done = 0;
    while (done < nLength) {
      UINT chunk = std::min(nLength - done, kStringChunk);
      s.resize((size_t)done + chunk);
      ar.EnsureRead(s.data() + done, chunk * 2);
      done += chunk;
    }
    str = CString::FromUtf16(s.data(), s.size());
  }
  return ar;
}

// ---------------------------------------------------------------------------------------------
// Counts

void CArchive::WriteCount(DWORD_PTR dwCount) {
  if (dwCount < 0xFFFF)
    *this << (WORD)dwCount;
  else
    *this << (WORD)0xFFFF << (DWORD)dwCount;
}

ULONGLONG CArchive::GetLoadBytesLeft() const {
  if (!IsLoading() || m_pFile == nullptr) return 0;
  ULONGLONG left = (ULONGLONG)(m_lpBufMax - m_lpBufCur);
  try {
    const ULONGLONG length = m_pFile->GetLength(), position = m_pFile->GetPosition();
    if (length > position) left += length - position;
  } catch (CException* e) {
    e->Delete();
  }
  return left;
}

DWORD_PTR CArchive::ReadCount() {
  WORD w;
  *this >> w;
  if (w != 0xFFFF) return w;
  DWORD dw;
  *this >> dw;
  return dw;
}

// ---------------------------------------------------------------------------------------------
// Objects

void CArchive::WriteClass(const CRuntimeClass* pClassRef) {
  CheckStoring();
  if (pClassRef == nullptr || pClassRef->m_wSchema == AFX_NO_SCHEMA)
    AfxThrowNotSupportedException();  // not a serialisable class
  auto it = m_storeMap.find(pClassRef);
  if (it != m_storeMap.end()) {
    DWORD nClassIndex = it->second;
    if (nClassIndex < wBigObjectTag)
      *this << (WORD)(wClassTag | nClassIndex);
    else
      *this << wBigObjectTag << (DWORD)(dwBigClassTag | nClassIndex);
    return;
  }
  *this << wNewClassTag;
  pClassRef->Store(*this);
  DWORD index = (DWORD)m_storeMap.size() + 1;
  if (index > nMaxMapCount) AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);
  m_storeMap[pClassRef] = index;
}

void CArchive::WriteObject(const CObject* pOb) {
  CheckStoring();
  if (pOb == nullptr) {
    *this << wNullTag;
    return;
  }
  auto it = m_storeMap.find(pOb);
  if (it != m_storeMap.end()) {
    DWORD nObIndex = it->second;
    if (nObIndex < wBigObjectTag)
      *this << (WORD)nObIndex;
    else
      *this << wBigObjectTag << nObIndex;
    return;
  }
  WriteClass(pOb->GetRuntimeClass());
  DWORD index = (DWORD)m_storeMap.size() + 1;
  if (index > nMaxMapCount) AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);
  m_storeMap[pOb] = index;
  const_cast<CObject*>(pOb)->Serialize(*this);
}

CRuntimeClass* CArchive::ReadClass(const CRuntimeClass* pClassRefRequested, UINT* pSchema, DWORD* pObTag) {
  CheckLoading();
  if (pClassRefRequested && pClassRefRequested->m_wSchema == AFX_NO_SCHEMA) AfxThrowNotSupportedException();

  WORD wTag;
  *this >> wTag;
  DWORD obTag;
  if (wTag == wBigObjectTag)
    *this >> obTag;
  else
    obTag = ((wTag & wClassTag) << 16) | (wTag & ~wClassTag);

  if (!(obTag & dwBigClassTag)) {
    // An object reference (or null), not a class.
    if (pObTag == nullptr) AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);
    *pObTag = obTag;
    return nullptr;
  }

  CRuntimeClass* pClassRef;
  UINT nSchema;
  if (wTag == wNewClassTag) {
    pClassRef = CRuntimeClass::Load(*this, &nSchema);
    if (pClassRef == nullptr) AfxThrowArchiveException(CArchiveException::badClass, m_strFileName);
    if ((pClassRef->m_wSchema & ~VERSIONABLE_SCHEMA) != nSchema) {
      if (!(pClassRef->m_wSchema & VERSIONABLE_SCHEMA))
        AfxThrowArchiveException(CArchiveException::badSchema, m_strFileName);
      m_nObjectSchema = nSchema;
    } else {
      m_nObjectSchema = nSchema;
    }
    m_loadArray.push_back(pClassRef);
    m_loadIsClass.push_back(1);
  } else {
    DWORD nClassIndex = obTag & ~dwBigClassTag;
    if (nClassIndex == 0 || nClassIndex > m_loadArray.size() || !m_loadIsClass[nClassIndex - 1])
      AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);
    pClassRef = static_cast<CRuntimeClass*>(const_cast<void*>(m_loadArray[nClassIndex - 1]));
    nSchema = pClassRef->m_wSchema & ~VERSIONABLE_SCHEMA;
    m_nObjectSchema = nSchema;
  }

  if (pClassRefRequested && !pClassRef->IsDerivedFrom(pClassRefRequested))
    AfxThrowArchiveException(CArchiveException::badClass, m_strFileName);
  if (pSchema) *pSchema = nSchema;
  if (pObTag) *pObTag = obTag;
  return pClassRef;
}

void CArchive::SerializeClass(const CRuntimeClass* pClassRef) {
  if (IsStoring())
    WriteClass(pClassRef);
  else
    ReadClass(pClassRef);
}

CObject* CArchive::ReadObject(const CRuntimeClass* pClassRefRequested) {
  CheckLoading();
  UINT nSchema;
  DWORD obTag;
  CRuntimeClass* pClassRef = ReadClass(pClassRefRequested, &nSchema, &obTag);

  if (pClassRef == nullptr) {
    if (obTag == 0) return nullptr;
    if (obTag > m_loadArray.size() || m_loadIsClass[obTag - 1])
      AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);
    CObject* pOb = static_cast<CObject*>(const_cast<void*>(m_loadArray[obTag - 1]));
    if (pOb == nullptr) AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);
    if (pClassRefRequested && !pOb->IsKindOf(pClassRefRequested))
      AfxThrowArchiveException(CArchiveException::badClass, m_strFileName);
    return pOb;
  }

  CObject* pOb = pClassRef->CreateObject();
  if (pOb == nullptr) AfxThrowArchiveException(CArchiveException::badClass, m_strFileName);
  size_t nIndex = m_loadArray.size();
  m_loadArray.push_back(pOb);
  m_loadIsClass.push_back(0);
  UINT nSchemaSave = m_nObjectSchema;
  m_nObjectSchema = nSchema;
  try {
    pOb->Serialize(*this);
  } catch (...) {
    // The half-read object is dropped; references to it may not be used again.
    m_loadArray[nIndex] = nullptr;
    delete pOb;
    m_nObjectSchema = nSchemaSave;
    throw;
  }
  m_nObjectSchema = nSchemaSave;
  return pOb;
}
