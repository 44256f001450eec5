#include "platform/core/AfxFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

IMPLEMENT_DYNAMIC(CFile, CObject)
IMPLEMENT_DYNAMIC(CMemFile, CFile)
IMPLEMENT_DYNAMIC(CStdioFile, CFile)
IMPLEMENT_DYNAMIC(CSafeSaveFile, CFile)

namespace {
void Fill(CFileException* pError, int nErrno, LPCTSTR lpszFileName, int nCauseOverride = -1) {
  if (pError == nullptr) return;
  pError->m_cause = nCauseOverride >= 0 ? nCauseOverride : CFileException::OsErrorToException(nErrno);
  pError->m_lOsError = nErrno;
  pError->m_strFileName = lpszFileName;
}

CString LastComponent(const CString& path) {
  int n = path.ReverseFind('/');
  return n < 0 ? path : path.Mid(n + 1);
}

CString FolderOf(const CString& path) {
  int n = path.ReverseFind('/');
  if (n < 0) return CString(".");
  if (n == 0) return CString("/");
  return path.Left(n);
}

mode_t CurrentUmask() {
  // Reading it from /proc leaves the process umask alone (umask() would race other threads).
  mode_t mask = 022;
  if (FILE* f = std::fopen("/proc/self/status", "re")) {
    char line[256];
    while (std::fgets(line, sizeof line, f)) {
      if (std::strncmp(line, "Umask:", 6) == 0) {
        mask = (mode_t)std::strtoul(line + 6, nullptr, 8);
        break;
      }
    }
    std::fclose(f);
  }
  return mask;
}

void SyncFolder(const CString& folder) {
  int fd = ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

// The target a save writes: a symbolic link is saved through to the file it points at.
CString SaveTarget(const CString& path) {
  struct stat st;
  if (::lstat(path, &st) == 0 && S_ISLNK(st.st_mode)) {
    char resolved[PATH_MAX];
    if (::realpath(path, resolved)) return CString(resolved);
  }
  return path;
}

// A save's temporary file: "." + the target's name + "." + six letters or digits (mkostemp's).
bool IsTemporaryName(const char* name, const std::string& prefix) {
  if (std::strncmp(name, prefix.c_str(), prefix.size()) != 0) return false;
  const char* tail = name + prefix.size();
  if (std::strlen(tail) != 6) return false;
  for (const char* p = tail; *p; ++p)
    if (!((*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z') || (*p >= '0' && *p <= '9'))) return false;
  return true;
}

// The folder's lock orders making a temporary file against the removal of stale ones: a save
// holds it shared from creating its temporary file until it holds that file's own lock, and
// the removal holds it exclusively. FALSE when it could not be had soon.
bool LockFolder(int dirfd, int op) {
  for (int i = 0; i < 50; ++i) {
    if (::flock(dirfd, op | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK && errno != EINTR) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return false;
}

// Removes the temporary files of saves of target that no live save holds (a live save keeps
// its temporary file locked until it is renamed): what a save killed half-way left behind.
void RemoveStaleTemporaries(int dirfd, const CString& target) {
  if (!LockFolder(dirfd, LOCK_EX)) return;
  const std::string prefix = "." + LastComponent(target).GetStdString() + ".";
  const int listfd = ::dup(dirfd);
  DIR* dir = listfd >= 0 ? ::fdopendir(listfd) : nullptr;
  if (dir == nullptr && listfd >= 0) ::close(listfd);
  std::vector<std::string> stale;
  if (dir) {
    while (struct dirent* e = ::readdir(dir))
      if (IsTemporaryName(e->d_name, prefix)) stale.push_back(e->d_name);
    ::closedir(dir);
  }
  for (const std::string& name : stale) {
    const int fd = ::openat(dirfd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat held, named;
    if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::fstatat(dirfd, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && named.st_ino == held.st_ino &&
        named.st_dev == held.st_dev)
      ::unlinkat(dirfd, name.c_str(), 0);
    ::close(fd);
  }
  ::flock(dirfd, LOCK_UN);
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// CFile

CFile::CFile() : m_hFile(hFileNull), m_bCloseOnDelete(FALSE) {}

CFile::CFile(int hFile) : m_hFile(hFile), m_bCloseOnDelete(FALSE) {}

CFile::CFile(LPCTSTR lpszFileName, UINT nOpenFlags) : m_hFile(hFileNull), m_bCloseOnDelete(FALSE) {
  CFileException e;
  if (!CFile::Open(lpszFileName, nOpenFlags, &e)) throw new CFileException(e.m_cause, e.m_lOsError, e.m_strFileName);
}

CFile::~CFile() {
  if (m_hFile != hFileNull && m_bCloseOnDelete) ::close(m_hFile);
  m_hFile = hFileNull;
}

int CFile::OpenDescriptor(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
  if (pError) *pError = CFileException(CFileException::none, -1, lpszFileName);
  if (lpszFileName == nullptr || *lpszFileName == '\0') {
    Fill(pError, ENOENT, lpszFileName, CFileException::badPath);
    return hFileNull;
  }

  UINT access = nOpenFlags & 3;
  int oflags = O_CLOEXEC;
  oflags |= access == modeWrite ? O_WRONLY : access == modeReadWrite ? O_RDWR : O_RDONLY;
  if (nOpenFlags & modeCreate) oflags |= O_CREAT;
  // A pipe put where a file is expected must not stop the program in open() waiting for a
  // writer; without one, reading it gives end of file at once.
  if (access == modeRead) oflags |= O_NONBLOCK;

  int fd;
  do fd = ::open(lpszFileName, oflags, 0666);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    int err = errno;
    // A missing folder on the way is a bad path, not a missing file.
    int cause = -1;
    if (err == ENOENT && (nOpenFlags & modeCreate)) cause = CFileException::badPath;
    Fill(pError, err, lpszFileName, cause);
    return hFileNull;
  }

  struct stat st;
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    Fill(pError, EISDIR, lpszFileName);
    return hFileNull;
  }
  if (oflags & O_NONBLOCK) {
    const int fl = ::fcntl(fd, F_GETFL);
    if (fl != -1) ::fcntl(fd, F_SETFL, fl & ~O_NONBLOCK);
  }

  UINT share = nOpenFlags & 0x70;
  int lockOp = 0;
  if (share == shareExclusive || share == shareDenyRead || (share == shareDenyWrite && access != modeRead))
    lockOp = LOCK_EX;
  else if (share == shareDenyWrite)
    lockOp = LOCK_SH;
  if (lockOp != 0 && ::flock(fd, lockOp | LOCK_NB) != 0) {
    int err = errno;
    ::close(fd);
    Fill(pError, err, lpszFileName, err == EWOULDBLOCK ? CFileException::sharingViolation : -1);
    return hFileNull;
  }

  // Truncate only once the lock is held, so a file in use is never emptied.
  if ((nOpenFlags & modeCreate) && !(nOpenFlags & modeNoTruncate) && S_ISREG(st.st_mode)) {
    if (::ftruncate(fd, 0) != 0) {
      int err = errno;
      ::close(fd);
      Fill(pError, err, lpszFileName);
      return hFileNull;
    }
  }
  return fd;
}

BOOL CFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
  if (m_hFile != hFileNull) Abort();
  int fd = OpenDescriptor(lpszFileName, nOpenFlags, pError);
  if (fd == hFileNull) return FALSE;
  m_hFile = fd;
  m_bCloseOnDelete = TRUE;
  m_strFileName = lpszFileName;
  return TRUE;
}

UINT CFile::Read(void* lpBuf, UINT nCount) {
  if (m_hFile == hFileNull) AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
  if (nCount == 0) return 0;
  BYTE* p = static_cast<BYTE*>(lpBuf);
  UINT total = 0;
  while (total < nCount) {
    ssize_t n = ::read(m_hFile, p + total, nCount - total);
    if (n < 0) {
      if (errno == EINTR) continue;
      CFileException::ThrowOsError(errno, m_strFileName);
    }
    if (n == 0) break;
    total += (UINT)n;
  }
  return total;
}

void CFile::Write(const void* lpBuf, UINT nCount) {
  if (m_hFile == hFileNull) AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
  const BYTE* p = static_cast<const BYTE*>(lpBuf);
  UINT total = 0;
  while (total < nCount) {
    ssize_t n = ::write(m_hFile, p + total, nCount - total);
    if (n < 0) {
      if (errno == EINTR) continue;
      CFileException::ThrowOsError(errno, m_strFileName);
    }
    if (n == 0) AfxThrowFileException(CFileException::diskFull, ENOSPC, m_strFileName);
    total += (UINT)n;
  }
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom) {
  if (m_hFile == hFileNull) AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
  int whence = nFrom == current ? SEEK_CUR : nFrom == end ? SEEK_END : SEEK_SET;
  off_t pos = ::lseek(m_hFile, (off_t)lOff, whence);
  if (pos < 0) AfxThrowFileException(CFileException::badSeek, errno, m_strFileName);
  return (ULONGLONG)pos;
}

ULONGLONG CFile::GetLength() const {
  if (m_hFile == hFileNull) AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
  struct stat st;
  if (::fstat(m_hFile, &st) != 0) CFileException::ThrowOsError(errno, m_strFileName);
  return (ULONGLONG)st.st_size;
}

void CFile::SetLength(ULONGLONG dwNewLen) {
  if (m_hFile == hFileNull) AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
  if (::ftruncate(m_hFile, (off_t)dwNewLen) != 0) CFileException::ThrowOsError(errno, m_strFileName);
}

ULONGLONG CFile::GetPosition() const {
  if (m_hFile == hFileNull) AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
  off_t pos = ::lseek(m_hFile, 0, SEEK_CUR);
  if (pos < 0) AfxThrowFileException(CFileException::badSeek, errno, m_strFileName);
  return (ULONGLONG)pos;
}

void CFile::Flush() {
  if (m_hFile == hFileNull) return;
  if (::fsync(m_hFile) != 0 && errno != EINVAL && errno != EROFS) CFileException::ThrowOsError(errno, m_strFileName);
}

void CFile::Close() {
  if (m_hFile == hFileNull) return;
  int fd = m_hFile;
  m_hFile = hFileNull;
  m_bCloseOnDelete = FALSE;
  if (::close(fd) != 0 && errno != EINTR) CFileException::ThrowOsError(errno, m_strFileName);
}

void CFile::Abort() {
  if (m_hFile != hFileNull) ::close(m_hFile);
  m_hFile = hFileNull;
  m_bCloseOnDelete = FALSE;
}

CString CFile::GetFileName() const { return LastComponent(GetFilePath()); }

CString CFile::GetFileTitle() const {
  CString name = GetFileName();
  int dot = name.ReverseFind('.');
  return dot > 0 ? name.Left(dot) : name;
}

namespace {
void FillStatus(const struct stat& st, LPCTSTR lpszFileName, CFileStatus& rStatus) {
  rStatus.m_ctime = (LONGLONG)st.st_ctime;
  rStatus.m_mtime = (LONGLONG)st.st_mtime;
  rStatus.m_atime = (LONGLONG)st.st_atime;
  rStatus.m_size = (ULONGLONG)st.st_size;
  rStatus.m_attribute = 0;
  if (S_ISDIR(st.st_mode)) rStatus.m_attribute |= CFile::directory;
  if (lpszFileName && ::access(lpszFileName, W_OK) != 0) rStatus.m_attribute |= CFile::readOnly;
  CString name = LastComponent(CString(lpszFileName));
  if (name.GetLength() > 1 && name[0] == '.') rStatus.m_attribute |= CFile::hidden;
  char resolved[PATH_MAX];
  if (lpszFileName && ::realpath(lpszFileName, resolved))
    rStatus.m_strFullName = resolved;
  else
    rStatus.m_strFullName = lpszFileName;
}
}  // namespace

BOOL CFile::GetStatus(CFileStatus& rStatus) const {
  if (!IsOpen() || m_hFile == hFileNull) return FALSE;
  struct stat st;
  if (::fstat(m_hFile, &st) != 0) return FALSE;
  FillStatus(st, m_strFileName, rStatus);
  return TRUE;
}

BOOL CFile::GetStatus(LPCTSTR lpszFileName, CFileStatus& rStatus) {
  struct stat st;
  if (lpszFileName == nullptr || ::stat(lpszFileName, &st) != 0) return FALSE;
  FillStatus(st, lpszFileName, rStatus);
  return TRUE;
}

void CFile::Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName) {
  if (lpszOldName == nullptr || lpszNewName == nullptr)
    AfxThrowFileException(CFileException::badPath, EINVAL, lpszOldName);
  if (::rename(lpszOldName, lpszNewName) != 0) CFileException::ThrowOsError(errno, lpszOldName);
}

void CFile::Remove(LPCTSTR lpszFileName) {
  if (lpszFileName == nullptr) AfxThrowFileException(CFileException::badPath, EINVAL, lpszFileName);
  if (::unlink(lpszFileName) != 0) CFileException::ThrowOsError(errno, lpszFileName);
}

// ---------------------------------------------------------------------------------------------
// CMemFile

CMemFile::CMemFile(UINT nGrowBytes)
    : m_nGrowBytes(nGrowBytes),
      m_nPosition(0),
      m_nBufferSize(0),
      m_nFileSize(0),
      m_lpBuffer(nullptr),
      m_bAutoDelete(TRUE),
      m_bReadOnly(FALSE) {}

CMemFile::CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes) : CMemFile(0) {
  Attach(lpBuffer, nBufferSize, nGrowBytes);
}

CMemFile::CMemFile(const BYTE* lpBuffer, UINT nBufferSize) : CMemFile(0) { Attach(lpBuffer, nBufferSize); }

CMemFile::~CMemFile() { Free(); }

void CMemFile::Free() {
  if (m_bAutoDelete && m_lpBuffer) std::free(m_lpBuffer);
  m_lpBuffer = nullptr;
  m_nBufferSize = m_nFileSize = m_nPosition = 0;
  m_bAutoDelete = TRUE;
  m_bReadOnly = FALSE;
}

void CMemFile::Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes) {
  Free();
  m_lpBuffer = lpBuffer;
  m_nBufferSize = lpBuffer ? nBufferSize : 0;
  // Without growth the buffer holds the file's data; with growth it is room to write into.
  m_nFileSize = nGrowBytes == 0 ? m_nBufferSize : 0;
  m_nGrowBytes = nGrowBytes;
  m_bAutoDelete = FALSE;
  m_bReadOnly = FALSE;
}

void CMemFile::Attach(const BYTE* lpBuffer, UINT nBufferSize) {
  Free();
  m_lpBuffer = const_cast<BYTE*>(lpBuffer);
  m_nBufferSize = m_nFileSize = lpBuffer ? nBufferSize : 0;
  m_nGrowBytes = 0;
  m_bAutoDelete = FALSE;
  m_bReadOnly = TRUE;
}

BYTE* CMemFile::Detach() {
  BYTE* p = m_lpBuffer;
  m_lpBuffer = nullptr;
  m_bAutoDelete = FALSE;
  Free();
  return p;
}

BOOL CMemFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
  (void)nOpenFlags;
  Fill(pError, EINVAL, lpszFileName, CFileException::genericException);
  return FALSE;
}

UINT CMemFile::Read(void* lpBuf, UINT nCount) {
  if (nCount == 0 || m_nPosition >= m_nFileSize) return 0;
  size_t n = std::min((size_t)nCount, m_nFileSize - m_nPosition);
  std::memcpy(lpBuf, m_lpBuffer + m_nPosition, n);
  m_nPosition += n;
  return (UINT)n;
}

void CMemFile::GrowFile(size_t nNewLen) {
  if (nNewLen <= m_nBufferSize) return;
  if (m_nGrowBytes == 0) AfxThrowMemoryException();
  size_t nNewSize = m_nBufferSize;
  while (nNewSize < nNewLen) {
    size_t step = std::max((size_t)m_nGrowBytes, nNewSize / 2);
    if (nNewSize > SIZE_MAX - step) AfxThrowMemoryException();
    nNewSize += step;
  }
  BYTE* p;
  if (m_bAutoDelete)
    p = static_cast<BYTE*>(std::realloc(m_lpBuffer, nNewSize));
  else {
    // An attached buffer stays the caller's: continue in memory of our own.
    p = static_cast<BYTE*>(std::malloc(nNewSize));
    if (p && m_lpBuffer) std::memcpy(p, m_lpBuffer, m_nFileSize);
  }
  if (p == nullptr) AfxThrowMemoryException();
  m_lpBuffer = p;
  m_nBufferSize = nNewSize;
  m_bAutoDelete = TRUE;
}

void CMemFile::Write(const void* lpBuf, UINT nCount) {
  if (m_bReadOnly) AfxThrowFileException(CFileException::accessDenied, EACCES, m_strFileName);
  if (nCount == 0) return;
  size_t nEnd = m_nPosition + nCount;
  if (nEnd > m_nBufferSize) GrowFile(nEnd);
  if (m_nPosition > m_nFileSize) std::memset(m_lpBuffer + m_nFileSize, 0, m_nPosition - m_nFileSize);
  std::memcpy(m_lpBuffer + m_nPosition, lpBuf, nCount);
  m_nPosition = nEnd;
  m_nFileSize = std::max(m_nFileSize, nEnd);
}

ULONGLONG CMemFile::Seek(LONGLONG lOff, UINT nFrom) {
  LONGLONG base = nFrom == current ? (LONGLONG)m_nPosition : nFrom == end ? (LONGLONG)m_nFileSize : 0;
  if ((lOff < 0 && base + lOff < 0) || (lOff > 0 && base > LLONG_MAX - lOff))
    AfxThrowFileException(CFileException::badSeek, EINVAL, m_strFileName);
  m_nPosition = (size_t)(base + lOff);
  return m_nPosition;
}

void CMemFile::SetLength(ULONGLONG dwNewLen) {
  if (m_bReadOnly) AfxThrowFileException(CFileException::accessDenied, EACCES, m_strFileName);
  if (dwNewLen > SIZE_MAX / 2) AfxThrowMemoryException();
  size_t n = (size_t)dwNewLen;
  if (n > m_nBufferSize) GrowFile(n);
  if (n > m_nFileSize) std::memset(m_lpBuffer + m_nFileSize, 0, n - m_nFileSize);
  m_nFileSize = n;
  if (m_nPosition > n) m_nPosition = n;
}

void CMemFile::Close() { Free(); }

// ---------------------------------------------------------------------------------------------
// CStdioFile

CStdioFile::CStdioFile() : m_pStream(nullptr) {}

CStdioFile::CStdioFile(FILE* pOpenStream) : m_pStream(pOpenStream) {
  m_hFile = pOpenStream ? ::fileno(pOpenStream) : hFileNull;
  m_bCloseOnDelete = FALSE;
}

CStdioFile::CStdioFile(LPCTSTR lpszFileName, UINT nOpenFlags) : m_pStream(nullptr) {
  CFileException e;
  if (!Open(lpszFileName, nOpenFlags, &e)) throw new CFileException(e.m_cause, e.m_lOsError, e.m_strFileName);
}

CStdioFile::~CStdioFile() {
  if (m_pStream && m_bCloseOnDelete) std::fclose(m_pStream);
  m_pStream = nullptr;
  m_hFile = hFileNull;
}

BOOL CStdioFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
  if (m_pStream) Abort();
  // The framework's stream modes: create+no-truncate and plain write append.
  UINT access = nOpenFlags & 3;
  bool append = ((nOpenFlags & modeCreate) && (nOpenFlags & modeNoTruncate)) ||
                (!(nOpenFlags & modeCreate) && access != modeRead);
  if (append && access == modeReadWrite)
    append = false;  // read-write without truncation keeps the position at the start
  int fd = OpenDescriptor(lpszFileName, nOpenFlags, pError);
  if (fd == hFileNull) return FALSE;
  if (append) {
    int fl = ::fcntl(fd, F_GETFL);
    if (fl >= 0) ::fcntl(fd, F_SETFL, fl | O_APPEND);
  }
  const char* mode = access == modeRead ? "r" : access == modeReadWrite ? "r+" : append ? "a" : "w";
  FILE* f = ::fdopen(fd, mode);
  if (f == nullptr) {
    int err = errno;
    ::close(fd);
    Fill(pError, err, lpszFileName);
    return FALSE;
  }
  m_pStream = f;
  m_hFile = fd;
  m_bCloseOnDelete = TRUE;
  m_strFileName = lpszFileName;
  return TRUE;
}

BOOL CStdioFile::ReadString(CString& rString) {
  rString.Empty();
  if (m_pStream == nullptr) AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
  std::string line;
  char buf[512];
  bool any = false;
  while (std::fgets(buf, sizeof buf, m_pStream)) {
    any = true;
    size_t n = std::strlen(buf);
    line.append(buf, n);
    if (n > 0 && buf[n - 1] == '\n') break;
  }
  if (std::ferror(m_pStream)) CFileException::ThrowOsError(errno ? errno : EIO, m_strFileName);
  if (!any) return FALSE;
  if (!line.empty() && line.back() == '\n') line.pop_back();
  if (!line.empty() && line.back() == '\r') line.pop_back();
  rString = CString(std::move(line));
  return TRUE;
}

LPTSTR CStdioFile::ReadString(LPTSTR lpsz, UINT nMax) {
  if (m_pStream == nullptr) AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
  if (lpsz == nullptr || nMax == 0) return nullptr;
  if (nMax > (UINT)INT_MAX) nMax = (UINT)INT_MAX;
  if (std::fgets(lpsz, (int)nMax, m_pStream) == nullptr) {
    if (std::ferror(m_pStream)) CFileException::ThrowOsError(errno ? errno : EIO, m_strFileName);
    lpsz[0] = '\0';
    return nullptr;
  }
  size_t n = std::strlen(lpsz);
  if (n >= 2 && lpsz[n - 2] == '\r' && lpsz[n - 1] == '\n') {
    lpsz[n - 2] = '\n';
    lpsz[n - 1] = '\0';
  }
  return lpsz;
}

void CStdioFile::WriteString(LPCTSTR lpsz) {
  if (m_pStream == nullptr) AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
  if (lpsz == nullptr) AfxThrowInvalidArgException();
  if (std::fputs(lpsz, m_pStream) == EOF) CFileException::ThrowOsError(errno ? errno : EIO, m_strFileName);
}

UINT CStdioFile::Read(void* lpBuf, UINT nCount) {
  if (m_pStream == nullptr) AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
  size_t n = std::fread(lpBuf, 1, nCount, m_pStream);
  if (n < nCount && std::ferror(m_pStream)) CFileException::ThrowOsError(errno ? errno : EIO, m_strFileName);
  return (UINT)n;
}

void CStdioFile::Write(const void* lpBuf, UINT nCount) {
  if (m_pStream == nullptr) AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
  if (std::fwrite(lpBuf, 1, nCount, m_pStream) != nCount)
    CFileException::ThrowOsError(errno ? errno : EIO, m_strFileName);
}

ULONGLONG CStdioFile::Seek(LONGLONG lOff, UINT nFrom) {
  if (m_pStream == nullptr) AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
  int whence = nFrom == current ? SEEK_CUR : nFrom == end ? SEEK_END : SEEK_SET;
  if (::fseeko(m_pStream, (off_t)lOff, whence) != 0)
    AfxThrowFileException(CFileException::badSeek, errno, m_strFileName);
  return GetPosition();
}

ULONGLONG CStdioFile::GetLength() const {
  if (m_pStream == nullptr) AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
  off_t pos = ::ftello(m_pStream);
  if (pos < 0 || ::fseeko(m_pStream, 0, SEEK_END) != 0)
    AfxThrowFileException(CFileException::badSeek, errno, m_strFileName);
  off_t len = ::ftello(m_pStream);
  ::fseeko(m_pStream, pos, SEEK_SET);
  return (ULONGLONG)std::max<off_t>(len, 0);
}

ULONGLONG CStdioFile::GetPosition() const {
  if (m_pStream == nullptr) AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
  off_t pos = ::ftello(m_pStream);
  if (pos < 0) AfxThrowFileException(CFileException::badSeek, errno, m_strFileName);
  return (ULONGLONG)pos;
}

void CStdioFile::Flush() {
  if (m_pStream && std::fflush(m_pStream) != 0) CFileException::ThrowOsError(errno, m_strFileName);
}

void CStdioFile::Close() {
  if (m_pStream == nullptr) return;
  FILE* f = m_pStream;
  m_pStream = nullptr;
  m_hFile = hFileNull;
  m_bCloseOnDelete = FALSE;
  if (std::fclose(f) != 0) CFileException::ThrowOsError(errno, m_strFileName);
}

void CStdioFile::Abort() {
  if (m_pStream && m_bCloseOnDelete) std::fclose(m_pStream);
  m_pStream = nullptr;
  m_hFile = hFileNull;
  m_bCloseOnDelete = FALSE;
}

// ---------------------------------------------------------------------------------------------
// CSafeSaveFile

CSafeSaveFile::CSafeSaveFile() = default;

CSafeSaveFile::~CSafeSaveFile() { Abort(); }

BOOL CSafeSaveFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
  (void)nOpenFlags;
  Abort();
  m_bCommitted = FALSE;
  if (pError) *pError = CFileException(CFileException::none, -1, lpszFileName);
  if (lpszFileName == nullptr || *lpszFileName == '\0') {
    Fill(pError, ENOENT, lpszFileName, CFileException::badPath);
    return FALSE;
  }
  const CString target = SaveTarget(CString(lpszFileName));
  struct stat st;
  const bool exists = ::stat(target, &st) == 0;
  // Only a file is replaced: renaming over a device, a pipe or a folder would destroy it.
  if (exists && !S_ISREG(st.st_mode)) {
    Fill(pError, S_ISDIR(st.st_mode) ? EISDIR : (int)CFileException::osNotRegularFile, lpszFileName);
    return FALSE;
  }
  const CString folder = FolderOf(target);
  const int dirfd = ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirfd >= 0) {
    RemoveStaleTemporaries(dirfd, target);
    LockFolder(dirfd, LOCK_SH);
  }
  CString temp = folder + "/." + LastComponent(target) + ".XXXXXX";
  std::string tmpl = temp.GetStdString();
  int fd = ::mkostemp(tmpl.data(), O_CLOEXEC);
  const int err = errno;
  // Held until the rename: the temporary file is not stale while this save lives.
  if (fd >= 0) ::flock(fd, LOCK_EX | LOCK_NB);
  if (dirfd >= 0) ::close(dirfd);
  if (fd < 0) {
    Fill(pError, err, lpszFileName, err == ENOENT || err == ENOTDIR ? CFileException::badPath : -1);
    return FALSE;
  }
  mode_t mode = exists ? (st.st_mode & 07777) : (0666 & ~CurrentUmask());
  ::fchmod(fd, mode);
  m_hFile = fd;
  m_bCloseOnDelete = TRUE;
  m_strTempName = CString(tmpl);
  m_strTargetName = target;
  m_strFileName = target;
  return TRUE;
}

BOOL CSafeSaveFile::Commit(CFileException* pError) {
  if (m_hFile == hFileNull) {
    Fill(pError, EBADF, m_strTargetName, CFileException::invalidFile);
    return FALSE;
  }
  int fd = m_hFile;
  m_hFile = hFileNull;
  m_bCloseOnDelete = FALSE;
  int err = 0;
  if (::fsync(fd) != 0 && errno != EINVAL) err = errno;
  struct stat st;
  if (err == 0 && ::stat(m_strTargetName, &st) == 0 && !S_ISREG(st.st_mode))
    err = S_ISDIR(st.st_mode) ? EISDIR : (int)CFileException::osNotRegularFile;
  // Renamed while still open, so its lock keeps it from being taken for a stale one.
  if (err == 0 && ::rename(m_strTempName, m_strTargetName) != 0) err = errno;
  if (err != 0) ::unlink(m_strTempName);
  ::close(fd);
  if (err != 0) {
    m_strTempName.Empty();
    Fill(pError, err, m_strTargetName);
    return FALSE;
  }
  m_strTempName.Empty();
  SyncFolder(FolderOf(m_strTargetName));
  m_bCommitted = TRUE;
  return TRUE;
}

void CSafeSaveFile::Close() {
  if (m_hFile == hFileNull) return;
  CFileException e;
  if (!Commit(&e)) throw new CFileException(e.m_cause, e.m_lOsError, e.m_strFileName);
}

void CSafeSaveFile::Abort() {
  if (m_hFile != hFileNull) ::close(m_hFile);
  m_hFile = hFileNull;
  m_bCloseOnDelete = FALSE;
  if (!m_strTempName.IsEmpty()) ::unlink(m_strTempName);
  m_strTempName.Empty();
}

// ---------------------------------------------------------------------------------------------
// Helpers

BOOL AfxSaveFileSafely(LPCTSTR lpszFileName, const void* lpData, size_t nBytes, CFileException* pError) {
  CSafeSaveFile f;
  if (!f.Open(lpszFileName, pError)) return FALSE;
  try {
    const BYTE* p = static_cast<const BYTE*>(lpData);
    while (nBytes > 0) {
      UINT chunk = (UINT)std::min(nBytes, (size_t)1 << 30);
      f.Write(p, chunk);
      p += chunk;
      nBytes -= chunk;
    }
  } catch (CFileException* e) {
    if (pError) {
      pError->m_cause = e->m_cause;
      pError->m_lOsError = e->m_lOsError;
      pError->m_strFileName = lpszFileName;
    }
    e->Delete();
    f.Abort();
    return FALSE;
  }
  return f.Commit(pError);
}

BOOL AfxMoveFileAside(LPCTSTR lpszFileName, CString* pstrNewName) {
  if (lpszFileName == nullptr) return FALSE;
  struct stat st;
  if (::lstat(lpszFileName, &st) != 0) return FALSE;
  CString base(lpszFileName);
  CString target = base + ".bad";
  for (int i = 2; i <= 99 && ::lstat(target, &st) == 0; ++i) target.Format("%s.bad%d", base.GetString(), i);
  if (::lstat(target, &st) == 0) target = base + ".bad";  // all taken: the oldest copy gives way
  if (::rename(lpszFileName, target) != 0) return FALSE;
  if (pstrNewName) *pstrNewName = target;
  return TRUE;
}

void AfxRemoveStaleTemporaries(LPCTSTR lpszFileName) {
  if (lpszFileName == nullptr || *lpszFileName == '\0') return;
  const CString target = SaveTarget(CString(lpszFileName));
  const int dirfd = ::open(FolderOf(target), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirfd < 0) return;
  RemoveStaleTemporaries(dirfd, target);
  ::close(dirfd);
}

int AfxGetPathKind(LPCTSTR lpszPath) {
  struct stat st;
  if (lpszPath == nullptr || ::stat(lpszPath, &st) != 0) return afxPathMissing;
  return S_ISREG(st.st_mode) ? afxPathFile : S_ISDIR(st.st_mode) ? afxPathFolder : afxPathOther;
}

BOOL AfxReadWholeFile(LPCTSTR lpszFileName, CString& rContents, CFileException* pError, ULONGLONG nMaxBytes) {
  rContents.Empty();
  const int kind = AfxGetPathKind(lpszFileName);
  if (kind == afxPathFolder || kind == afxPathOther) {
    Fill(pError, kind == afxPathFolder ? EISDIR : (int)CFileException::osNotRegularFile, lpszFileName);
    return FALSE;
  }
  CFile f;
  if (!f.Open(lpszFileName, CFile::modeRead | CFile::shareDenyWrite, pError)) return FALSE;
  try {
    std::string data;
    char buf[65536];
    for (;;) {
      UINT n = f.Read(buf, sizeof buf);
      if (n == 0) break;
      // Never more than asked for, whatever the file turns out to be.
      if (n > nMaxBytes - data.size()) {
        Fill(pError, EFBIG, lpszFileName, CFileException::genericException);
        return FALSE;
      }
      data.append(buf, n);
    }
    rContents = CString(std::move(data));
  } catch (CFileException* e) {
    if (pError) {
      pError->m_cause = e->m_cause;
      pError->m_lOsError = e->m_lOsError;
      pError->m_strFileName = lpszFileName;
    }
    e->Delete();
    return FALSE;
  }
  return TRUE;
}
