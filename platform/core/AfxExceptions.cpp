#include "platform/core/AfxExceptions.h"

#include <atomic>
#include <cerrno>
#include <cstring>

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CSimpleException, CException)
IMPLEMENT_DYNAMIC(CMemoryException, CSimpleException)
IMPLEMENT_DYNAMIC(CResourceException, CSimpleException)
IMPLEMENT_DYNAMIC(CNotSupportedException, CSimpleException)
IMPLEMENT_DYNAMIC(CInvalidArgException, CSimpleException)
IMPLEMENT_DYNAMIC(COleException, CException)
IMPLEMENT_DYNAMIC(CFileException, CException)
IMPLEMENT_DYNAMIC(CArchiveException, CException)

namespace {
std::atomic<CException::Reporter> g_reporter{nullptr};

BOOL CopyMessage(const CString& text, LPTSTR lpszError, UINT nMaxError) {
  if (lpszError == nullptr || nMaxError == 0) return FALSE;
  size_t n = (size_t)text.GetLength();
  if (n >= nMaxError) {
    n = nMaxError - 1;
    // Do not cut a UTF-8 sequence in half.
    while (n > 0 && ((unsigned char)text.GetString()[n] & 0xC0) == 0x80) --n;
  }
  std::memcpy(lpszError, text.GetString(), n);
  lpszError[n] = '\0';
  return TRUE;
}

CString WithFile(const char* text, const CString& file) {
  CString s(text);
  if (!file.IsEmpty()) s += CString(" (") + file + ")";
  return s;
}
}  // namespace

namespace {
thread_local void* t_pLastExceptionAlloc = nullptr;
}

void* CException::operator new(size_t nSize) {
  void* p = ::operator new(nSize);
  t_pLastExceptionAlloc = p;
  return p;
}

void CException::operator delete(void* p) noexcept { ::operator delete(p); }

CException::CException(BOOL bAutoDelete) : m_bAutoDelete(bAutoDelete), m_bOnHeap(t_pLastExceptionAlloc == this) {
  if (m_bOnHeap) t_pLastExceptionAlloc = nullptr;
}

CException::CException(const CException& src)
    : CObject(src), m_bAutoDelete(src.m_bAutoDelete), m_bOnHeap(t_pLastExceptionAlloc == this) {
  if (m_bOnHeap) t_pLastExceptionAlloc = nullptr;
}

CException& CException::operator=(const CException& src) {
  m_bAutoDelete = src.m_bAutoDelete;  // where the object lives does not change
  return *this;
}

void CException::Delete() {
  if (m_bAutoDelete && m_bOnHeap) delete this;
}

BOOL CException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const {
  if (pnHelpContext) *pnHelpContext = 0;
  return CopyMessage("An unknown error occurred.", lpszError, nMaxError);
}

CString CException::GetErrorMessage() const {
  char buf[1024];
  if (!GetErrorMessage(buf, sizeof buf, nullptr)) return CString();
  return CString(buf);
}

void CException::SetReporter(Reporter pfn) { g_reporter.store(pfn); }

int CException::ReportError(UINT nType, UINT nMessageID) const {
  (void)nMessageID;
  CString msg = GetErrorMessage();
  if (Reporter r = g_reporter.load()) return r(msg, nType);
  std::fprintf(stderr, "%s\n", msg.GetString());
  return 1;  // IDOK
}

BOOL CMemoryException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const {
  if (pnHelpContext) *pnHelpContext = 0;
  return CopyMessage("Out of memory.", lpszError, nMaxError);
}

BOOL CResourceException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const {
  if (pnHelpContext) *pnHelpContext = 0;
  return CopyMessage("A required resource was unavailable.", lpszError, nMaxError);
}

BOOL CNotSupportedException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const {
  if (pnHelpContext) *pnHelpContext = 0;
  return CopyMessage("An unsupported operation was attempted.", lpszError, nMaxError);
}

BOOL CInvalidArgException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const {
  if (pnHelpContext) *pnHelpContext = 0;
  return CopyMessage("Invalid argument.", lpszError, nMaxError);
}

BOOL COleException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const {
  if (pnHelpContext) *pnHelpContext = 0;
  CString s;
  s.Format("Operation failed (0x%08X).", (unsigned)m_sc);
  return CopyMessage(s, lpszError, nMaxError);
}

int CFileException::OsErrorToException(LONG lOsError) {
  switch (lOsError) {
    case 0: return none;
    case ENOENT: return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL: return badPath;
    case EMFILE:
    case ENFILE: return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EEXIST:
    case EISDIR: return accessDenied;
    case EBADF: return invalidFile;
    case EBUSY:
    case ETXTBSY:
    case EWOULDBLOCK: return sharingViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return diskFull;
    case ESPIPE:
    case EOVERFLOW: return badSeek;
    case EIO: return hardIO;
    case EDEADLK:
    case ENOLCK: return lockViolation;
    default: return genericException;
  }
}

void CFileException::ThrowOsError(LONG lOsError, LPCTSTR lpszFileName) {
  throw new CFileException(OsErrorToException(lOsError), lOsError, lpszFileName);
}

BOOL CFileException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const {
  if (pnHelpContext) *pnHelpContext = 0;
  // One reason: the OS error's own when it says more than the cause.
  const char* text = nullptr;
  switch (m_lOsError) {
    case osNotRegularFile: text = "The name is taken by a device, a pipe or a socket, which is not a file."; break;
    case EISDIR: text = "The name is taken by a folder."; break;
    case ENOTDIR: text = "Part of the path is a file, not a folder."; break;
    case EROFS: text = "The disk is read-only."; break;
    case ENOSPC: text = "The disk is full."; break;
    case EDQUOT: text = "The disk quota is used up."; break;
    case EFBIG: text = "The file is too large."; break;
    case ENAMETOOLONG: text = "The name is too long."; break;
    case ELOOP: text = "The path has too many symbolic links."; break;
    default: break;
  }
  bool withOsText = false;
  if (text == nullptr) {
    switch (m_cause) {
      case none: text = "No error occurred."; break;
      case fileNotFound: text = "The file was not found."; break;
      case badPath: text = "All or part of the path is invalid."; break;
      case tooManyOpenFiles: text = "Too many files are open."; break;
      case accessDenied: text = "Access to the file was denied."; break;
      case invalidFile: text = "An invalid file handle was used."; break;
      case removeCurrentDir: text = "The current folder cannot be removed."; break;
      case directoryFull: text = "The folder is full."; break;
      case badSeek: text = "The file position could not be set."; break;
      case hardIO: text = "A hardware input/output error occurred."; break;
      case sharingViolation: text = "The file is in use by another program."; break;
      case lockViolation: text = "The file could not be locked."; break;
      case diskFull: text = "The disk is full."; break;
      case endOfFile: text = "The end of the file was reached."; break;
      default:
        text = "A file error occurred.";
        withOsText = true;
        break;
    }
  }
  CString s = WithFile(text, m_strFileName);
  if (withOsText && m_lOsError > 0 && m_lOsError != osNotRegularFile)
    s += CString(": ") + std::strerror((int)m_lOsError);
  return CopyMessage(s, lpszError, nMaxError);
}

BOOL CArchiveException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const {
  if (pnHelpContext) *pnHelpContext = 0;
  const char* text;
  switch (m_cause) {
    case none: text = "No error occurred."; break;
    case readOnly: text = "Tried to write to an archive opened for loading."; break;
    case endOfFile: text = "Unexpected end of file."; break;
    case writeOnly: text = "Tried to read from an archive opened for storing."; break;
    case badIndex: text = "Invalid file format."; break;
    case badClass: text = "Unexpected object in the file."; break;
    case badSchema: text = "The file was written by an unsupported version."; break;
    case bufferFull: text = "The archive buffer is full."; break;
    default: text = "An error occurred while reading or writing the file."; break;
  }
  return CopyMessage(WithFile(text, m_strFileName), lpszError, nMaxError);
}

void AfxThrowMemoryException() { throw new CMemoryException(); }
void AfxThrowResourceException() { throw new CResourceException(); }
void AfxThrowNotSupportedException() { throw new CNotSupportedException(); }
void AfxThrowInvalidArgException() { throw new CInvalidArgException(); }
void AfxThrowOleException(SCODE sc) { throw new COleException(sc); }

void AfxThrowFileException(int cause, LONG lOsError, LPCTSTR lpszFileName) {
  throw new CFileException(cause, lOsError, lpszFileName);
}

void AfxThrowArchiveException(int cause, LPCTSTR lpszArchiveName) {
  throw new CArchiveException(cause, lpszArchiveName);
}

void AtlThrow(HRESULT hr) {
  if (hr == E_OUTOFMEMORY) AfxThrowMemoryException();
  if (hr == E_INVALIDARG) AfxThrowInvalidArgException();
  AfxThrowOleException(hr);
}
