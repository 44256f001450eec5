#include "toolkit/CbPropExchange.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CCbPropExchange, CCmdTarget)
IMPLEMENT_DYNAMIC(CCbPropExchangeArchive, CCbPropExchange)

namespace {
[[noreturn]] void Truncated(CArchive& ar) { AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName); }
}  // namespace

// ---- The base ----

void CCbPropExchange::InitSection(const CCbPropExchange* pParent) {
  m_pCommandBars = pParent->m_pCommandBars;
  m_nSchema = pParent->m_nSchema;
  m_bDefaultsHandled = pParent->m_bDefaultsHandled;
  m_bLoading = pParent->m_bLoading;
  m_bChildSection = TRUE;
}

BOOL CCbPropExchange::ExchangeBytes(LPCTSTR pszName, std::vector<BYTE>& data, DWORD nMaxLength) {
  if (m_bLoading) return ReadBytes(pszName, data, nMaxLength);
  return WriteBytes(pszName, data.data(), (DWORD)data.size());
}

CCbPropExchangeEnumerator* CCbPropExchange::EnumerateSections(LPCTSTR pszName) {
  return new CCbPropExchangeEnumerator(this, pszName);
}

CString CCbPropExchange::EncodeBlob(const BYTE* pData, DWORD nLength) {
  std::string s;
  s.reserve((size_t)nLength * 2);
  for (DWORD i = 0; i < nLength; ++i) {
    s += (char)('A' + (pData[i] & 0x0F));
    s += (char)('A' + (pData[i] >> 4));
  }
  return CString(s.c_str());
}

BOOL CCbPropExchange::DecodeBlob(const CString& strText, std::vector<BYTE>& data, DWORD nMaxLength) {
  const int n = strText.GetLength();
  if (n % 2 != 0 || (DWORD)(n / 2) > nMaxLength) return FALSE;
  std::vector<BYTE> out((size_t)n / 2);
  for (int i = 0; i < n; i += 2) {
    const int lo = strText[i] - 'A', hi = strText[i + 1] - 'A';
    if (lo < 0 || lo > 15 || hi < 0 || hi > 15) return FALSE;
    out[(size_t)i / 2] = (BYTE)(lo | (hi << 4));
  }
  data.swap(out);
  return TRUE;
}

// ---- Over an archive ----

CCbPropExchangeArchive::CCbPropExchangeArchive(CArchive& ar) : m_ar(ar) { m_bLoading = ar.IsLoading(); }

BOOL CCbPropExchangeArchive::ExchangeValue(LPCTSTR, int nType, void* pValue, const void*) {
  CArchive& ar = m_ar;
  const BOOL load = m_bLoading;
  switch (nType) {
    case cbPropShort: {
      short& v = *static_cast<short*>(pValue);
      if (load)
        ar >> v;
      else
        ar << v;
      return TRUE;
    }
    case cbPropLong: {
      LONG& v = *static_cast<LONG*>(pValue);
      if (load)
        ar >> v;
      else
        ar << v;
      return TRUE;
    }
    case cbPropFloat: {
      float& v = *static_cast<float*>(pValue);
      if (load)
        ar >> v;
      else
        ar << v;
      return TRUE;
    }
    case cbPropDouble: {
      double& v = *static_cast<double*>(pValue);
      if (load)
        ar >> v;
      else
        ar << v;
      return TRUE;
    }
    case cbPropCurrency: {
      // Two 32-bit halves, low first.
      LONGLONG& v = *static_cast<LONGLONG*>(pValue);
      if (load) {
        DWORD lo, hi;
        ar >> lo >> hi;
        v = (LONGLONG)(((ULONGLONG)hi << 32) | lo);
      } else {
        ar << (DWORD)((ULONGLONG)v & 0xFFFFFFFFu) << (DWORD)((ULONGLONG)v >> 32);
      }
      return TRUE;
    }
    case cbPropString:
    case cbPropLPStr: {
      CString& v = *static_cast<CString*>(pValue);
      if (load)
        ar >> v;
      else
        ar << v;
      return TRUE;
    }
    case cbPropBool: {
      BOOL& v = *static_cast<BOOL*>(pValue);
      if (load) {
        LONG l;
        ar >> l;
        v = l != 0;
      } else {
        ar << (LONG)v;
      }
      return TRUE;
    }
    case cbPropByte: {
      BYTE& v = *static_cast<BYTE*>(pValue);
      if (load)
        ar >> v;
      else
        ar << v;
      return TRUE;
    }
    case cbPropRect: {
      CRect& v = *static_cast<CRect*>(pValue);
      int32_t raw[4];
      if (load) {
        if (ar.Read(raw, sizeof raw) != sizeof raw) Truncated(ar);
        v.SetRect(raw[0], raw[1], raw[2], raw[3]);
      } else {
        raw[0] = v.left, raw[1] = v.top, raw[2] = v.right, raw[3] = v.bottom;
        ar.Write(raw, sizeof raw);
      }
      return TRUE;
    }
    case cbPropSize: {
      CSize& v = *static_cast<CSize*>(pValue);
      int32_t raw[2];
      if (load) {
        if (ar.Read(raw, sizeof raw) != sizeof raw) Truncated(ar);
        v = CSize(raw[0], raw[1]);
      } else {
        raw[0] = v.cx, raw[1] = v.cy;
        ar.Write(raw, sizeof raw);
      }
      return TRUE;
    }
    default: return FALSE;
  }
}

BOOL CCbPropExchangeArchive::ExchangeClass(LPCTSTR, CRuntimeClass*& pClass, CRuntimeClass*) {
  if (!m_bLoading) {
    m_ar.WriteClass(pClass);
    return TRUE;
  }
  // An unknown class raises the archive's bad-class error.
  UINT schema = 0;
  pClass = m_ar.ReadClass(nullptr, &schema, nullptr);
  // The record's schema is the class's at writing; data written at an older schema than its
  // classes' keeps the older one, so the values read match those written.
  if (schema != AFX_NO_SCHEMA && (schema & 0xFFFF) != 0xFFFF) m_nSchema = std::min(m_nSchema, (int)schema);
  return pClass != nullptr;
}

BOOL CCbPropExchangeArchive::ExchangeObject(CObject*& pObject, CRuntimeClass* pExpected) {
  if (!m_bLoading) {
    m_ar.WriteObject(pObject);
    return TRUE;
  }
  pObject = m_ar.ReadObject(pExpected);
  return pObject != nullptr;
}

CCbPropExchange* CCbPropExchangeArchive::OpenSection(LPCTSTR) {
  auto* p = new CCbPropExchangeArchive(m_ar);
  p->InitSection(this);
  return p;
}

void CCbPropExchangeArchive::WriteCount(DWORD nCount) { m_ar.WriteCount(nCount); }

DWORD CCbPropExchangeArchive::ReadCount(DWORD nMinItemBytes) {
  const DWORD_PTR n = m_ar.ReadCount();
  // Each item takes at least nMinItemBytes: a count the rest of the data can't hold is false.
  if (nMinItemBytes && (ULONGLONG)n > m_ar.GetLoadBytesLeft() / nMinItemBytes) Truncated(m_ar);
  return (DWORD)n;
}

BOOL CCbPropExchangeArchive::WriteBytes(LPCTSTR, const BYTE* pData, DWORD nLength) {
  m_ar << (DWORD)nLength;
  if (nLength) m_ar.Write(pData, nLength);
  return TRUE;
}

BOOL CCbPropExchangeArchive::ReadBytes(LPCTSTR, std::vector<BYTE>& data, DWORD nMaxLength) {
  DWORD n = 0;
  m_ar >> n;
  if (n > nMaxLength) return FALSE;
  if (n > m_ar.GetLoadBytesLeft()) Truncated(m_ar);
  std::vector<BYTE> out(n);
  if (n) m_ar.EnsureRead(out.data(), n);
  data.swap(out);
  return TRUE;
}

// ---- Enumerator ----

CCbPropExchangeEnumerator::CCbPropExchangeEnumerator(CCbPropExchange* pContainer, LPCTSTR pszSection)
    : m_pContainer(pContainer), m_strSection(pszSection) {}

DWORD CCbPropExchangeEnumerator::Start(DWORD nCount, DWORD nMinItemBytes) {
  m_nIndex = 0;
  if (m_pContainer->AllowsBinaryValues()) {
    if (m_pContainer->IsLoading())
      m_nCount = m_pContainer->ReadCount(nMinItemBytes);
    else
      m_pContainer->WriteCount(m_nCount = nCount);
  } else {
    int n = (int)nCount;
    PX_Int(m_pContainer, "Count", n, 0);
    m_nCount = n < 0 ? 0 : (DWORD)n;
  }
  return m_nCount;
}

CCbPropExchange* CCbPropExchangeEnumerator::Next() {
  if (m_nIndex >= m_nCount) return nullptr;
  CString name;
  name.Format("%s%i", m_strSection.GetString(), (int)m_nIndex++);
  return m_pContainer->OpenSection(name);
}

// ---- Shorthands ----

BOOL PX_Int(CCbPropExchange* pPX, LPCTSTR pszName, int& nValue, int nDefault) {
  LONG v = nValue, d = nDefault;
  const BOOL ok = pPX->ExchangeValue(pszName, cbPropLong, &v, &d);
  if (pPX->IsLoading()) nValue = ok ? (int)v : nDefault;
  return ok;
}

BOOL PX_UInt(CCbPropExchange* pPX, LPCTSTR pszName, UINT& nValue, UINT nDefault) {
  int v = (int)nValue;
  const BOOL ok = PX_Int(pPX, pszName, v, (int)nDefault);
  if (pPX->IsLoading()) nValue = (UINT)v;
  return ok;
}

BOOL PX_DWord(CCbPropExchange* pPX, LPCTSTR pszName, DWORD& nValue, DWORD nDefault) {
  int v = (int)nValue;
  const BOOL ok = PX_Int(pPX, pszName, v, (int)nDefault);
  if (pPX->IsLoading()) nValue = (DWORD)v;
  return ok;
}

BOOL PX_Bool(CCbPropExchange* pPX, LPCTSTR pszName, BOOL& bValue, BOOL bDefault) {
  BOOL v = bValue;
  const BOOL ok = pPX->ExchangeValue(pszName, cbPropBool, &v, &bDefault);
  if (pPX->IsLoading()) bValue = ok ? v : bDefault;
  return ok;
}

BOOL PX_String(CCbPropExchange* pPX, LPCTSTR pszName, CString& strValue, LPCTSTR pszDefault) {
  CString d(pszDefault ? pszDefault : "");
  const BOOL ok = pPX->ExchangeValue(pszName, cbPropLPStr, &strValue, &d);
  if (pPX->IsLoading() && !ok) strValue = d;
  return ok;
}

BOOL PX_Size(CCbPropExchange* pPX, LPCTSTR pszName, CSize& szValue, CSize szDefault) {
  const BOOL ok = pPX->ExchangeValue(pszName, cbPropSize, &szValue, &szDefault);
  if (pPX->IsLoading() && !ok) szValue = szDefault;
  return ok;
}

BOOL PX_Rect(CCbPropExchange* pPX, LPCTSTR pszName, CRect& rcValue, CRect rcDefault) {
  const BOOL ok = pPX->ExchangeValue(pszName, cbPropRect, &rcValue, &rcDefault);
  if (pPX->IsLoading() && !ok) rcValue = rcDefault;
  return ok;
}

BOOL PX_CommandIds(CCbPropExchange* pPX, LPCTSTR pszName, std::map<UINT, BOOL>& map) {
  if (pPX->AllowsBinaryValues()) {
    CArchive* ar = pPX->OpenValueArchive(pszName);
    if (!ar) return FALSE;
    if (pPX->IsLoading()) {
      // Each entry is an id and a value, 4 bytes each.
      const DWORD n = pPX->ReadCount(8);
      std::map<UINT, BOOL> read;
      for (DWORD i = 0; i < n; ++i) {
        UINT id;
        LONG value;
        *ar >> id >> value;
        read[id] = value != 0;
      }
      map.swap(read);
    } else {
      pPX->WriteCount((DWORD)map.size());
      for (const auto& [id, value] : map) *ar << id << (LONG)value;
    }
    pPX->CloseValueArchive(pszName, ar);
    return TRUE;
  }
  // A named store: a section with the count and one item a line.
  std::unique_ptr<CCbPropExchange> sec(pPX->OpenSection(pszName));
  if (!sec) return FALSE;
  int n = (int)map.size();
  PX_Int(sec.get(), "Count", n, 0);
  if (pPX->IsLoading()) {
    map.clear();
    for (int i = 0; i < n; ++i) {
      CString name;
      name.Format("Item%i", i);
      int id = 0;
      if (PX_Int(sec.get(), name, id, 0)) map[(UINT)id] = TRUE;
    }
  } else {
    int i = 0;
    for (const auto& entry : map) {
      CString name;
      name.Format("Item%i", i++);
      int id = (int)entry.first;
      PX_Int(sec.get(), name, id, 0);
    }
  }
  return TRUE;
}
