#include "model/TideLogFile.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "model/QsDateTime.h"
#include "model/UserFile.h"

namespace {

int ReadInt(const BYTE* p) {
  const unsigned v = static_cast<unsigned>(p[0]) | (static_cast<unsigned>(p[1]) << 8) |
                     (static_cast<unsigned>(p[2]) << 16) | (static_cast<unsigned>(p[3]) << 24);
  return static_cast<int>(v);
}

void WriteRows(CArchive& ar, const std::vector<TIDELOG_ROW>& rows) {
  ar << CTideLogFile::kMagic << CTideLogFile::kVersion << static_cast<int>(rows.size());
  for (const TIDELOG_ROW& r : rows) ar << r.port << r.day << r.month << r.year << r.hour << r.minute;
}

// The rows of a file of fileSize bytes of which the first size were read (Load reads no more
// than the largest log it keeps, whatever the file's length): the counts and the message are
// about the whole file.
int ParseRead(const BYTE* p, size_t size, size_t fileSize, int nPorts, std::vector<TIDELOG_ROW>& rows,
              TIDELOG_LOAD* pInfo) {
  using T = CTideLogFile;
  constexpr int kHeaderBytes = T::kHeaderBytes, kRowBytes = T::kRowBytes, kMaxRows = T::kMaxRows;
  TIDELOG_LOAD info;
  rows.clear();
  if (p == nullptr && size != 0) size = 0;
  fileSize = std::max(fileSize, size);
  if (size < static_cast<size_t>(kHeaderBytes)) {
    info.status = TIDELOG_LOAD::unreadable;
    info.bTruncated = TRUE;
    info.strProblem = "The tidal log file is too short to be a log.";
  } else if (ReadInt(p) != T::kMagic) {
    info.status = TIDELOG_LOAD::unreadable;
    info.strProblem = "The tidal log file is not a Neapwise tidal log.";
  } else if (ReadInt(p + 4) < T::kFirstVersion || ReadInt(p + 4) > T::kLastVersion) {
    info.status = TIDELOG_LOAD::unreadable;
    info.strProblem.Format("The tidal log file has version %d, which this program cannot read.", ReadInt(p + 4));
  } else {
    const int declared = ReadInt(p + 8);
    info.nDeclared = declared;
    const size_t present = (fileSize - kHeaderBytes) / kRowBytes;
    const size_t readable = (size - kHeaderBytes) / kRowBytes;
    if (declared < 0) {
      info.status = TIDELOG_LOAD::unreadable;
      info.strProblem = "The tidal log file gives a negative number of rows.";
    } else {
      info.bTruncated = present != static_cast<size_t>(declared) || (fileSize - kHeaderBytes) % kRowBytes != 0;
      const size_t n = std::min({readable, static_cast<size_t>(declared), static_cast<size_t>(kMaxRows)});
      rows.reserve(n);
      for (size_t k = 0; k < n; ++k) {
        const BYTE* q = p + kHeaderBytes + k * kRowBytes;
        TIDELOG_ROW r;
        r.port = ReadInt(q);
        r.day = ReadInt(q + 4);
        r.month = ReadInt(q + 8);
        r.year = ReadInt(q + 12);
        r.hour = ReadInt(q + 16);
        r.minute = ReadInt(q + 20);
        if (T::IsValidRow(r, nPorts))
          rows.push_back(r);
        else
          ++info.nSkipped;
      }
      const bool tooMany = std::min(present, static_cast<size_t>(declared)) > static_cast<size_t>(kMaxRows);
      if (!info.bTruncated && info.nSkipped == 0 && !tooMany) {
        info.status = TIDELOG_LOAD::ok;
      } else {
        info.status = TIDELOG_LOAD::damaged;
        CString s;
        if (info.bTruncated)
          s = "The tidal log file is damaged: it should hold " + AfxCountOf(declared, "row", "rows") + " but holds " +
              CString(std::to_string(std::min(present, static_cast<size_t>(0x7fffffff))).c_str()) + ".";
        else if (tooMany)
          s.Format("The tidal log file holds %d rows; only the first %d were read.", declared, kMaxRows);
        else
          s = "The tidal log file is damaged.";
        if (info.nSkipped > 0) {
          CString more;
          more = " " + AfxCountOf(info.nSkipped, "row", "rows") + " with impossible values " +
                 (info.nSkipped == 1 ? "was" : "were") + " left out.";
          s += more;
        }
        info.strProblem = s;
      }
    }
  }
  info.nRead = static_cast<int>(rows.size());
  if (pInfo) *pInfo = info;
  return info.status;
}

}  // namespace

CString CTideLogFile::GetDefaultPath() {
  // No folder of the user's: no file (never one beside the program or in the working folder).
  const CString folder = AfxGetUserDataFolder();
  return folder.IsEmpty() ? CString() : AfxAppendPath(folder, "logdata.dat");
}

BOOL CTideLogFile::IsValidRow(const TIDELOG_ROW& r, int nPorts) {
  if (r.port < 0 || (nPorts >= 0 && r.port >= nPorts)) return FALSE;
  if (r.year < kFirstYear || r.year > kLastYear || r.month < 1 || r.month > 12) return FALSE;
  if (r.day < 1 || r.day > DaysInMonth(r.month, r.year)) return FALSE;
  return r.hour >= 0 && r.hour <= 23 && r.minute >= 0 && r.minute <= 59;
}

int CTideLogFile::Parse(const BYTE* p, size_t size, int nPorts, std::vector<TIDELOG_ROW>& rows, TIDELOG_LOAD* pInfo) {
  return ParseRead(p, size, size, nPorts, rows, pInfo);
}

std::vector<BYTE> CTideLogFile::Format(const std::vector<TIDELOG_ROW>& rows) {
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    WriteRows(ar, rows);
    ar.Close();
  }
  return std::vector<BYTE>(file.GetData(), file.GetData() + file.GetLength());
}

TIDELOG_LOAD CTideLogFile::Load(LPCTSTR lpszPath, int nPorts, std::vector<TIDELOG_ROW>& rows) {
  TIDELOG_LOAD info;
  rows.clear();
  const ULONGLONG cap = static_cast<ULONGLONG>(kHeaderBytes) + static_cast<ULONGLONG>(kRowBytes) * kMaxRows;
  const USERFILE_READ file = AfxReadUserFile(lpszPath, cap, "The tidal log file");
  if (file.result == USERFILE_READ::missing) return info;
  if (file.result == USERFILE_READ::failed) {
    info.status = TIDELOG_LOAD::unreadable;
    info.strProblem = file.strProblem;
  } else {
    ParseRead(file.bytes.data(), file.bytes.size(), static_cast<size_t>(file.nLength), nPorts, rows, &info);
  }
  if (info.status == TIDELOG_LOAD::damaged || info.status == TIDELOG_LOAD::unreadable)
    info.bBlocked = !AfxKeepUserFileAside(lpszPath, info.strProblem, info.strMovedTo);
  return info;
}

BOOL CTideLogFile::Save(LPCTSTR lpszPath, const std::vector<TIDELOG_ROW>& rows, CString* pstrProblem) {
  return AfxSaveUserFile(
      lpszPath, [&](CArchive& ar) { WriteRows(ar, rows); }, "The tidal log", pstrProblem);
}
