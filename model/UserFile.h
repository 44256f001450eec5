// Reading, keeping aside and saving the files that are the user's own work (the tidal log, the
// routes), all the same way: a file that cannot be read is moved aside before anything can
// replace it, and saving goes through a temporary file that replaces the old one when complete.
#pragma once

#include <functional>
#include <vector>

#include "platform/core/Afx.h"

struct USERFILE_READ {
  enum Result { missing, read, failed };
  int result = missing;
  std::vector<BYTE> bytes;  // the first bytes, no more than were asked for
  ULONGLONG nLength = 0;    // the whole file's length (what was read, when it shrank meanwhile)
  CString strProblem;       // failed: why, ready to show
};

// "1 row", "3 rows": a count with its noun in the right number, for messages.
CString AfxCountOf(long long n, LPCTSTR lpszOne, LPCTSTR lpszMany);

// Reads up to nMaxBytes of lpszPath; lpszWhat names the file in messages ("The routes file").
USERFILE_READ AfxReadUserFile(LPCTSTR lpszPath, ULONGLONG nMaxBytes, LPCTSTR lpszWhat);

// Keeps a file that was not wholly good: moves it aside and adds where it went to rstrProblem.
// FALSE when it could not be moved (rstrProblem says so): the program must not write over it.
BOOL AfxKeepUserFileAside(LPCTSTR lpszPath, CString& rstrProblem, CString& rstrMovedTo);

// Saves what write puts into the archive; lpszWhat names the content in the message ("The routes").
BOOL AfxSaveUserFile(LPCTSTR lpszPath, const std::function<void(CArchive&)>& write, LPCTSTR lpszWhat,
                     CString* pstrProblem);
