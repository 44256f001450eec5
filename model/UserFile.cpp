#include "model/UserFile.h"

#include <algorithm>

namespace {

CString Describe(const CFileException& e) {
  CString s = e.GetErrorMessage();
  return s.IsEmpty() ? CString("the file could not be written") : s;
}

}  // namespace

CString AfxCountOf(long long n, LPCTSTR lpszOne, LPCTSTR lpszMany) {
  CString s;
  s.Format("%lld %s", n, n == 1 ? lpszOne : lpszMany);
  return s;
}

USERFILE_READ AfxReadUserFile(LPCTSTR lpszPath, ULONGLONG nMaxBytes, LPCTSTR lpszWhat) {
  USERFILE_READ out;
  // Whatever saves of it left when killed half-way goes first.
  AfxRemoveStaleTemporaries(lpszPath);
  // A device, a pipe or a folder in the file's place is not read (a device may never end).
  const int kind = AfxGetPathKind(lpszPath);
  if (kind == afxPathFolder || kind == afxPathOther) {
    out.result = USERFILE_READ::failed;
    out.strProblem = CString(lpszWhat) + " \"" + CString(lpszPath) + "\" is not a file but " +
                     (kind == afxPathFolder ? "a folder." : "a device, a pipe or a socket.");
    return out;
  }
  CFile file;
  CFileException fe;
  if (!file.Open(lpszPath, CFile::modeRead | CFile::shareDenyNone, &fe)) {
    if (fe.m_cause == CFileException::fileNotFound || fe.m_cause == CFileException::badPath) return out;  // none yet
    out.result = USERFILE_READ::failed;
    out.strProblem = CString(lpszWhat) + " could not be opened: " + fe.GetErrorMessage();
    return out;
  }
  try {
    out.nLength = file.GetLength();
    out.bytes.resize(static_cast<size_t>(std::min(out.nLength, nMaxBytes)));
    size_t got = 0;
    while (got < out.bytes.size()) {
      const UINT n = file.Read(out.bytes.data() + got, static_cast<UINT>(out.bytes.size() - got));
      if (n == 0) break;
      got += n;
    }
    if (got < out.bytes.size()) out.nLength = got;  // shorter than it was a moment ago
    out.bytes.resize(got);
    file.Close();
    out.result = USERFILE_READ::read;
  } catch (CException* e) {
    out.result = USERFILE_READ::failed;
    out.strProblem = CString(lpszWhat) + " could not be read: " + e->GetErrorMessage();
    out.bytes.clear();
    e->Delete();
    file.Abort();
  }
  return out;
}

BOOL AfxKeepUserFileAside(LPCTSTR lpszPath, CString& rstrProblem, CString& rstrMovedTo) {
  CString movedTo;
  if (AfxMoveFileAside(lpszPath, &movedTo)) {
    rstrMovedTo = movedTo;
    rstrProblem += " The original file was kept as \"" + movedTo + "\".";
    return TRUE;
  }
  rstrProblem += " It could not be moved aside, so it will not be replaced.";
  return FALSE;
}

BOOL AfxSaveUserFile(LPCTSTR lpszPath, const std::function<void(CArchive&)>& write, LPCTSTR lpszWhat,
                     CString* pstrProblem) {
  CSafeSaveFile file;
  CFileException fe;
  CString problem;
  if (!file.Open(lpszPath, &fe)) {
    problem = Describe(fe);
  } else {
    try {
      CArchive ar(&file, CArchive::store, 4096);
      write(ar);
      ar.Close();
      if (!file.Commit(&fe)) problem = Describe(fe);
    } catch (CException* e) {
      problem = e->GetErrorMessage();
      if (problem.IsEmpty()) problem = "the file could not be written";
      e->Delete();
      file.Abort();
    }
  }
  if (problem.IsEmpty()) return TRUE;
  if (pstrProblem)
    *pstrProblem = CString(lpszWhat) + " could not be saved to \"" + CString(lpszPath) + "\": " + problem;
  return FALSE;
}
