// CArchive: the binary archive over a CFile, in the framework's layout:
//   integers little-endian: BYTE/char 8 bits, WORD/short 16, int/UINT/LONG/DWORD/long 32,
//   LONGLONG/ULONGLONG 64; float 32-bit and double 64-bit IEEE;
//   CString: a length prefix and the UTF-8 bytes. The prefix is one byte for lengths up to 254;
//   0xFF and a WORD up to 0xFFFD; 0xFF 0xFFFF and a DWORD above (0xFFFE after 0xFF marks a UTF-16
//   string, which is read and converted but never written).
// Reading past the end throws CArchiveException* (endOfFile); nothing is read out of bounds.
// `long` is written as 32 bits, as on the framework; int64_t and size_t are `long` on this
// system, so 64-bit values go through LONGLONG/ULONGLONG.
#pragma once

#include "platform/core/AfxExceptions.h"
#include "platform/core/AfxObject.h"
#include "platform/core/AfxString.h"

#include <map>
#include <vector>

class CFile;

class CArchive {
 public:
  enum Mode { store = 0, load = 1, bNoFlushOnDelete = 2, bNoByteSwap = 4 };

  // lpBuf is accepted for the framework's signature; the archive keeps its own buffer.
  CArchive(CFile* pFile, UINT nMode, int nBufSize = 4096, void* lpBuf = nullptr);
  ~CArchive();  // a storing archive flushes (unless bNoFlushOnDelete); never throws
  CArchive(const CArchive&) = delete;
  CArchive& operator=(const CArchive&) = delete;

  BOOL IsLoading() const { return (m_nMode & load) != 0; }
  BOOL IsStoring() const { return (m_nMode & load) == 0; }
  BOOL IsByteSwapping() const { return FALSE; }
  BOOL IsBufferEmpty() const { return m_lpBufCur == m_lpBufMax; }
  CFile* GetFile() const { return m_pFile; }

  // Schema of the object being read (set by ReadObject for versionable classes).
  UINT GetObjectSchema();  // returns it once, then (UINT)-1
  void SetObjectSchema(UINT nSchema) { m_nObjectSchema = nSchema; }

  // What a loading archive can still give: its buffer and the rest of the file. Readers
  // check counts against it before they allocate.
  ULONGLONG GetLoadBytesLeft() const;
  UINT Read(void* lpBuf, UINT nMax);          // bytes read, fewer at the end (no throw)
  void EnsureRead(void* lpBuf, UINT nCount);  // exactly nCount bytes or CArchiveException* endOfFile
  void Write(const void* lpBuf, UINT nCount);
  void Flush();
  void Close();  // flushes a storing archive; the file stays open
  void Abort();  // drops unwritten bytes; never throws

  // Objects: a null tag, a reference to an object already in this archive, or a class
  // reference (new: 0xFFFF, WORD schema, WORD name length, name; known: 0x8000 | index)
  // followed by the object's Serialize.
  void WriteObject(const CObject* pOb);
  CObject* ReadObject(const CRuntimeClass* pClass);  // pClass null accepts any class
  void WriteClass(const CRuntimeClass* pClassRef);
  CRuntimeClass* ReadClass(const CRuntimeClass* pClassRefRequested = nullptr, UINT* pSchema = nullptr,
                           DWORD* pObTag = nullptr);
  void SerializeClass(const CRuntimeClass* pClassRef);

  // Element counts as collections store them: WORD, or 0xFFFF and a DWORD.
  void WriteCount(DWORD_PTR dwCount);
  DWORD_PTR ReadCount();

  // The string layout alone, for readers of raw records.
  void WriteStringLength(UINT nLength);
  UINT ReadStringLength(BOOL* pbUtf16 = nullptr);

  // Storing
  CArchive& operator<<(BYTE by);
  CArchive& operator<<(char ch) { return *this << (BYTE)ch; }
  CArchive& operator<<(signed char ch) { return *this << (BYTE)ch; }
  CArchive& operator<<(WORD w);
  CArchive& operator<<(short w) { return *this << (WORD)w; }
  CArchive& operator<<(int i) { return *this << (UINT)i; }
  CArchive& operator<<(UINT u);
  CArchive& operator<<(long l) { return *this << (UINT)(LONG)l; }  // 32 bits, as on the framework
  CArchive& operator<<(unsigned long u) { return *this << (UINT)u; }
  CArchive& operator<<(LONGLONG ll) { return *this << (ULONGLONG)ll; }
  CArchive& operator<<(ULONGLONG ull);
  CArchive& operator<<(float f);
  CArchive& operator<<(double d);

  // Loading
  CArchive& operator>>(BYTE& by);
  CArchive& operator>>(char& ch) {
    BYTE b;
    *this >> b;
    ch = (char)b;
    return *this;
  }
  CArchive& operator>>(signed char& ch) {
    BYTE b;
    *this >> b;
    ch = (signed char)b;
    return *this;
  }
  CArchive& operator>>(WORD& w);
  CArchive& operator>>(short& w) {
    WORD v;
    *this >> v;
    w = (short)v;
    return *this;
  }
  CArchive& operator>>(int& i) {
    UINT v;
    *this >> v;
    i = (int)v;
    return *this;
  }
  CArchive& operator>>(UINT& u);
  CArchive& operator>>(long& l) {
    UINT v;
    *this >> v;
    l = (LONG)v;
    return *this;
  }
  CArchive& operator>>(unsigned long& u) {
    UINT v;
    *this >> v;
    u = v;
    return *this;
  }
  CArchive& operator>>(LONGLONG& ll) {
    ULONGLONG v;
    *this >> v;
    ll = (LONGLONG)v;
    return *this;
  }
  CArchive& operator>>(ULONGLONG& ull);
  CArchive& operator>>(float& f);
  CArchive& operator>>(double& d);

  friend CArchive& operator<<(CArchive& ar, const CString& str);
  friend CArchive& operator>>(CArchive& ar, CString& str);
  friend CArchive& operator<<(CArchive& ar, const CObject* pOb) {
    ar.WriteObject(pOb);
    return ar;
  }
  friend CArchive& operator>>(CArchive& ar, CObject*& pOb) {
    pOb = ar.ReadObject(nullptr);
    return ar;
  }
  friend CArchive& operator>>(CArchive& ar, const CObject*& pOb) {
    pOb = ar.ReadObject(nullptr);
    return ar;
  }

  CString m_strFileName;  // for exception messages

 private:
  void FillBuffer(UINT nBytesNeeded);  // throws endOfFile when the file has fewer
  void CheckLoading() const;
  void CheckStoring() const;
  void ReadBytes(void* p, UINT n) { EnsureRead(p, n); }

  CFile* m_pFile;
  UINT m_nMode;
  std::vector<BYTE> m_buffer;
  BYTE* m_lpBufCur;
  BYTE* m_lpBufMax;  // end of valid data (load) or of the buffer (store)
  BYTE* m_lpBufStart;
  BOOL m_bEof;
  BOOL m_bClosed;
  UINT m_nObjectSchema;

  // Objects and classes met so far, by archive index (1-based; 0 is the null tag).
  std::map<const void*, DWORD> m_storeMap;
  std::vector<const void*> m_loadArray;  // entry = CObject* or CRuntimeClass*
  std::vector<BYTE> m_loadIsClass;
};

// The bytes a string stored by operator<< takes at p (its length prefix and its characters),
// as operator>> reads them from avail bytes; 0 where operator>> would throw. For scanning
// stored records without reading them.
size_t AfxStoredStringSize(const BYTE* p, size_t avail);
