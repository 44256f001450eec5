// Files: CFile (binary, over a POSIX descriptor), CMemFile (memory), CStdioFile (text lines),
// CSafeSaveFile (write to a temporary file, then rename over the target) and helpers.
// Failures throw CFileException*; Open with a pError argument reports instead and returns FALSE.
#pragma once

#include "platform/core/AfxExceptions.h"
#include "platform/core/AfxObject.h"
#include "platform/core/AfxString.h"

#include <cstdio>

struct CFileStatus {
  LONGLONG m_ctime = 0;  // seconds since 1970 (status change)
  LONGLONG m_mtime = 0;  // seconds since 1970 (last modification)
  LONGLONG m_atime = 0;  // seconds since 1970 (last access)
  ULONGLONG m_size = 0;
  BYTE m_attribute = 0;  // CFile::Attribute bits
  CString m_strFullName;
};

class CFile : public CObject {
  DECLARE_DYNAMIC(CFile)
 public:
  enum OpenFlags {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareCompat = 0x0000,
    shareExclusive = 0x0010,
    shareDenyWrite = 0x0020,
    shareDenyRead = 0x0030,
    shareDenyNone = 0x0040,
    modeNoInherit = 0x0080,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,
    typeText = 0x4000,    // no effect on this system
    typeBinary = 0x8000,  // no effect on this system
    osNoBuffer = 0x10000,
    osWriteThrough = 0x20000,
    osRandomAccess = 0x40000,
    osSequentialScan = 0x80000,
  };
  enum Attribute {
    normal = 0x00,
    readOnly = 0x01,
    hidden = 0x02,
    system = 0x04,
    volume = 0x08,
    directory = 0x10,
    archive = 0x20,
  };
  enum SeekPosition { begin = 0x0, current = 0x1, end = 0x2 };
  static const int hFileNull = -1;

  CFile();
  explicit CFile(int hFile);                     // adopts an open descriptor (not closed on delete)
  CFile(LPCTSTR lpszFileName, UINT nOpenFlags);  // throws CFileException*
  ~CFile() override;                             // closes without throwing
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;

  // Share modes are advisory locks (flock) between programs that ask for them; a conflict
  // gives sharingViolation.
  virtual BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);

  virtual UINT Read(void* lpBuf, UINT nCount);         // bytes read; 0 at the end
  virtual void Write(const void* lpBuf, UINT nCount);  // all or throw
  virtual ULONGLONG Seek(LONGLONG lOff, UINT nFrom);   // new position
  void SeekToBegin() { Seek(0, begin); }
  ULONGLONG SeekToEnd() { return Seek(0, end); }
  virtual ULONGLONG GetLength() const;
  virtual void SetLength(ULONGLONG dwNewLen);
  virtual ULONGLONG GetPosition() const;
  virtual void Flush();
  virtual void Close();  // throws when the close reports a failure
  virtual void Abort();  // closes, ignoring failures

  virtual CString GetFilePath() const { return m_strFileName; }
  virtual CString GetFileName() const;   // last path component
  virtual CString GetFileTitle() const;  // last path component without extension
  virtual BOOL IsOpen() const { return m_hFile != hFileNull; }

  BOOL GetStatus(CFileStatus& rStatus) const;
  static BOOL GetStatus(LPCTSTR lpszFileName, CFileStatus& rStatus);
  static void Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName);  // throws
  static void Remove(LPCTSTR lpszFileName);                      // throws

  int m_hFile;

 protected:
  CString m_strFileName;
  BOOL m_bCloseOnDelete;

  // Opens the descriptor with the flags' access, creation and share mode.
  static int OpenDescriptor(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError);
};

// A file in memory: owned growing memory (CMemFile(nGrowBytes)), or an attached buffer.
// An attached const buffer is read-only; an attached writable buffer grows only with nGrowBytes > 0
// (a write past its end throws CMemoryException* otherwise).
class CMemFile : public CFile {
  DECLARE_DYNAMIC(CMemFile)
 public:
  explicit CMemFile(UINT nGrowBytes = 1024);
  CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
  CMemFile(const BYTE* lpBuffer, UINT nBufferSize);  // read-only
  ~CMemFile() override;

  void Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
  void Attach(const BYTE* lpBuffer, UINT nBufferSize);  // read-only
  BYTE* Detach();  // returns the buffer; owned memory passes to the caller (free with free())

  const BYTE* GetData() const { return m_lpBuffer; }  // the current bytes (GetLength of them)

  BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr) override;  // FALSE
  UINT Read(void* lpBuf, UINT nCount) override;
  void Write(const void* lpBuf, UINT nCount) override;
  ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
  ULONGLONG GetLength() const override { return m_nFileSize; }
  void SetLength(ULONGLONG dwNewLen) override;
  ULONGLONG GetPosition() const override { return m_nPosition; }
  void Flush() override {}
  void Close() override;
  void Abort() override { Close(); }
  BOOL IsOpen() const override { return TRUE; }

 private:
  void Free();
  void GrowFile(size_t nNewLen);

  UINT m_nGrowBytes;
  size_t m_nPosition;
  size_t m_nBufferSize;
  size_t m_nFileSize;
  BYTE* m_lpBuffer;
  BOOL m_bAutoDelete;  // owned memory, freed on Close
  BOOL m_bReadOnly;
};

// Text file through a C stream. Lines are UTF-8; a CR before the LF of a line is dropped on reading.
class CStdioFile : public CFile {
  DECLARE_DYNAMIC(CStdioFile)
 public:
  CStdioFile();
  explicit CStdioFile(FILE* pOpenStream);             // adopts a stream (not closed on delete)
  CStdioFile(LPCTSTR lpszFileName, UINT nOpenFlags);  // throws
  ~CStdioFile() override;

  BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr) override;

  // Reads one line without its line end; FALSE at the end of the file with nothing read.
  virtual BOOL ReadString(CString& rString);
  // Reads at most nMax-1 bytes of one line, keeping its "\n"; null at the end of the file.
  virtual LPTSTR ReadString(LPTSTR lpsz, UINT nMax);
  // Writes the text as it stands ("\n" is a line end).
  virtual void WriteString(LPCTSTR lpsz);

  UINT Read(void* lpBuf, UINT nCount) override;
  void Write(const void* lpBuf, UINT nCount) override;
  ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
  ULONGLONG GetLength() const override;
  ULONGLONG GetPosition() const override;
  void Flush() override;
  void Close() override;
  void Abort() override;

  FILE* m_pStream;
};

// Saves a user file safely: the bytes go to a temporary file in the target's folder, and
// Commit() (or Close(), which throws instead) makes them durable and renames the temporary file
// over the target. Until then the old file is untouched; Abort() or destruction without a
// commit (an exception on the way) removes the temporary file.
//
//   CSafeSaveFile f; CFileException fe;
//   if (!f.Open(path, &fe)) ...;  { CArchive ar(&f, CArchive::store); ar << ...; ar.Close(); }
//   if (!f.Commit(&fe)) ...;      // the old file survives any failure
class CSafeSaveFile : public CFile {
  DECLARE_DYNAMIC(CSafeSaveFile)
 public:
  CSafeSaveFile();
  ~CSafeSaveFile() override;

  // Opens the temporary file for the target lpszFileName (nOpenFlags is ignored). A target
  // that is a symbolic link is saved through to the file it points at. Only a regular file
  // is replaced: a target that is a folder, a device, a pipe or a socket is refused and left
  // as it is. Temporary files of earlier saves of the target that no live save holds (left
  // by a save that was killed) are removed first.
  BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags = modeCreate | modeWrite, CFileException* pError = nullptr) override;
  BOOL Open(LPCTSTR lpszFileName, CFileException* pError) { return Open(lpszFileName, modeCreate | modeWrite, pError); }

  BOOL Commit(CFileException* pError = nullptr);
  void Close() override;  // Commit(), throwing CFileException* on failure
  void Abort() override;
  BOOL IsCommitted() const { return m_bCommitted; }

  CString GetTempPath() const { return m_strTempName; }
  CString GetFilePath() const override { return m_strTargetName; }

 private:
  CString m_strTargetName;
  CString m_strTempName;
  BOOL m_bCommitted = FALSE;
};

// Writes a whole file safely (as CSafeSaveFile). FALSE with pError filled on failure.
BOOL AfxSaveFileSafely(LPCTSTR lpszFileName, const void* lpData, size_t nBytes, CFileException* pError = nullptr);

// Moves a bad file aside: x -> x.bad (or x.bad2, x.bad3 ... when those exist). TRUE when moved;
// the new name goes to pstrNewName.
BOOL AfxMoveFileAside(LPCTSTR lpszFileName, CString* pstrNewName = nullptr);

// Removes what saves of lpszFileName that were killed half-way left beside it (see CSafeSaveFile).
void AfxRemoveStaleTemporaries(LPCTSTR lpszFileName);

// What a path names, following symbolic links.
enum { afxPathMissing = 0, afxPathFile = 1, afxPathFolder = 2, afxPathOther = 3 };
int AfxGetPathKind(LPCTSTR lpszPath);

// Whole-file read of a regular file of at most nMaxBytes: FALSE when the file cannot be read,
// is not a regular file (osNotRegularFile, EISDIR) or is larger (EFBIG).
BOOL AfxReadWholeFile(LPCTSTR lpszFileName, CString& rContents, CFileException* pError = nullptr,
                      ULONGLONG nMaxBytes = 64ull * 1024 * 1024);
