// "logdata.dat": the user's tidal log of port, date and time rows.
//
// Layout, all values 32-bit little-endian signed integers: magic 4689, version (2002 when
// written; 2002 to 2006 read), row count n, then n rows of port index, day, month, year, hour,
// minute. The log is the user's own work, so a file that is not wholly good is kept aside
// (logdata.dat.bad) before the program can write over it, and saving goes through a temporary
// file that replaces the old one only once it is complete.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/core/Afx.h"

struct TIDELOG_ROW {
  int port = 0;
  int day = 1;
  int month = 1;
  int year = 2010;
  int hour = 12;
  int minute = 0;
  bool operator==(const TIDELOG_ROW& o) const {
    return port == o.port && day == o.day && month == o.month && year == o.year && hour == o.hour && minute == o.minute;
  }
};

struct TIDELOG_LOAD {
  enum Status {
    missing = 0,     // no file: an empty log
    ok = 1,          // every row read
    damaged = 2,     // the good rows read; the file was kept aside
    unreadable = 3,  // nothing read; the file was kept aside (or could not be, see bBlocked)
  };
  int status = missing;
  int nDeclared = 0;        // the row count the header gives
  int nRead = 0;            // rows returned
  int nSkipped = 0;         // complete rows dropped for a field out of range
  BOOL bTruncated = FALSE;  // the file ends before the rows its count promises (or has extra bytes)
  CString strMovedTo;       // where the original now is, when it was kept aside
  // The file is there but could neither be read nor moved aside: saving must not replace it.
  BOOL bBlocked = FALSE;
  CString strProblem;  // for the user; empty when status is ok or missing
};

class CTideLogFile {
 public:
  static constexpr int kMagic = 4689;
  static constexpr int kVersion = 2002;
  static constexpr int kFirstVersion = 2002;
  static constexpr int kLastVersion = 2006;
  static constexpr int kHeaderBytes = 12;
  static constexpr int kRowBytes = 24;
  // Every row holds a prediction of its own: a count beyond this is not a log anyone kept.
  static constexpr int kMaxRows = 5000;
  static constexpr int kFirstYear = 1900;
  static constexpr int kLastYear = 9999;

  // The user's log file: "logdata.dat" in the per-user data folder; empty when that folder
  // cannot be made.
  static CString GetDefaultPath();

  // A row every field of which is in range: the port an index into a table of nPorts (any
  // index from 0 when nPorts < 0), a real calendar date, hour 0-23 and minute 0-59.
  static BOOL IsValidRow(const TIDELOG_ROW& row, int nPorts);

  // Reads the rows from a file's bytes. Never throws; rows out of range are skipped, a count
  // that does not match the size keeps the complete rows there are. Returns the status
  // (TIDELOG_LOAD::Status) and fills pInfo when given (strMovedTo stays empty).
  static int Parse(const BYTE* pData, size_t nSize, int nPorts, std::vector<TIDELOG_ROW>& rows,
                   TIDELOG_LOAD* pInfo = nullptr);

  // The bytes the program writes for the rows.
  static std::vector<BYTE> Format(const std::vector<TIDELOG_ROW>& rows);

  // Reads the file. A file that is not wholly good (another program's, a future version,
  // cut short, rows out of range) is moved aside and whatever good rows it had are returned.
  // Never throws.
  static TIDELOG_LOAD Load(LPCTSTR lpszPath, int nPorts, std::vector<TIDELOG_ROW>& rows);

  // Writes the rows through a temporary file renamed over the old one. FALSE with a message
  // for the user when the file could not be written; the old file is then untouched.
  static BOOL Save(LPCTSTR lpszPath, const std::vector<TIDELOG_ROW>& rows, CString* pstrProblem = nullptr);
};
