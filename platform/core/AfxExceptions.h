// Exceptions, thrown by pointer as the framework does:
//
//   try { ... } catch (CFileException* e) { ... e->Delete(); } catch (CException* e) { e->Delete(); }
//
// A thrown exception is heap-allocated and freed by Delete(). An exception object filled by a
// non-throwing call (CFile::Open with a pError argument) may live on the stack: never Delete() it.
#pragma once

#include "platform/core/AfxObject.h"
#include "platform/core/AfxString.h"

class CException : public CObject {
  DECLARE_DYNAMIC(CException)
 public:
  explicit CException(BOOL bAutoDelete = TRUE);
  CException(const CException& src);
  CException& operator=(const CException& src);
  ~CException() override = default;

  // Frees a thrown (auto-delete) exception. An exception object that was not made with new
  // is left alone, so a stray Delete() on a stack object does no harm.
  void Delete();

  static void* operator new(size_t nSize);
  static void operator delete(void* p) noexcept;

  // Fills lpszError with a readable cause (UTF-8, truncated to nMaxError bytes with its NUL).
  virtual BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const;
  CString GetErrorMessage() const;

  // Shows the message through the reporter the GUI layer installs (stderr without one).
  typedef int (*Reporter)(const CString& strMessage, UINT nType);
  static void SetReporter(Reporter pfn);
  virtual int ReportError(UINT nType = 0, UINT nMessageID = 0) const;

  BOOL m_bAutoDelete;

 private:
  bool m_bOnHeap;
};

class CSimpleException : public CException {
  DECLARE_DYNAMIC(CSimpleException)
 public:
  explicit CSimpleException(BOOL bAutoDelete = TRUE) : CException(bAutoDelete) {}
};

class CMemoryException : public CSimpleException {
  DECLARE_DYNAMIC(CMemoryException)
 public:
  CMemoryException() = default;
  BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const override;
  using CException::GetErrorMessage;
};

class CResourceException : public CSimpleException {
  DECLARE_DYNAMIC(CResourceException)
 public:
  CResourceException() = default;
  BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const override;
  using CException::GetErrorMessage;
};

class CNotSupportedException : public CSimpleException {
  DECLARE_DYNAMIC(CNotSupportedException)
 public:
  CNotSupportedException() = default;
  BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const override;
  using CException::GetErrorMessage;
};

class CInvalidArgException : public CSimpleException {
  DECLARE_DYNAMIC(CInvalidArgException)
 public:
  CInvalidArgException() = default;
  BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const override;
  using CException::GetErrorMessage;
};

// The failure exception with a result code (E_FAIL and the like).
class COleException : public CException {
  DECLARE_DYNAMIC(COleException)
 public:
  explicit COleException(SCODE sc = E_FAIL) : m_sc(sc) {}
  BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const override;
  using CException::GetErrorMessage;
  SCODE m_sc;
};

class CFileException : public CException {
  DECLARE_DYNAMIC(CFileException)
 public:
  enum {
    none = 0,
    genericException = 1,
    generic = 1,
    fileNotFound = 2,
    badPath = 3,
    tooManyOpenFiles = 4,
    accessDenied = 5,
    invalidFile = 6,
    removeCurrentDir = 7,
    directoryFull = 8,
    badSeek = 9,
    hardIO = 10,
    sharingViolation = 11,
    lockViolation = 12,
    diskFull = 13,
    endOfFile = 14,
  };

  explicit CFileException(int cause = none, LONG lOsError = -1, LPCTSTR lpszFileName = nullptr)
      : CException(TRUE), m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszFileName) {}

  // An OS error of this system's own: the path names something that is not a regular file
  // (a device, a pipe, a socket), which is neither read as a file nor written over.
  static constexpr LONG osNotRegularFile = 0x4E570001;

  // Maps an errno value to a cause.
  static int OsErrorToException(LONG lOsError);
  [[noreturn]] static void ThrowOsError(LONG lOsError, LPCTSTR lpszFileName = nullptr);
  [[noreturn]] static void ThrowErrno(int nErrno, LPCTSTR lpszFileName = nullptr) {
    ThrowOsError(nErrno, lpszFileName);
  }

  BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const override;
  using CException::GetErrorMessage;

  int m_cause;
  LONG m_lOsError;  // errno, or -1
  CString m_strFileName;
};

class CArchiveException : public CException {
  DECLARE_DYNAMIC(CArchiveException)
 public:
  enum {
    none = 0,
    genericException = 1,
    generic = 1,
    readOnly = 2,
    endOfFile = 3,
    writeOnly = 4,
    badIndex = 5,
    badClass = 6,
    badSchema = 7,
    bufferFull = 8,
  };

  explicit CArchiveException(int cause = none, LPCTSTR lpszArchiveName = nullptr)
      : CException(TRUE), m_cause(cause), m_strFileName(lpszArchiveName) {}

  BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const override;
  using CException::GetErrorMessage;

  int m_cause;
  CString m_strFileName;
};

[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowResourceException();
[[noreturn]] void AfxThrowNotSupportedException();
[[noreturn]] void AfxThrowInvalidArgException();
[[noreturn]] void AfxThrowOleException(SCODE sc);
[[noreturn]] void AfxThrowFileException(int cause, LONG lOsError = -1, LPCTSTR lpszFileName = nullptr);
[[noreturn]] void AfxThrowArchiveException(int cause, LPCTSTR lpszArchiveName = nullptr);
// E_OUTOFMEMORY -> CMemoryException, E_INVALIDARG -> CInvalidArgException, else COleException(hr).
[[noreturn]] void AtlThrow(HRESULT hr);
