// The embedded table of daily astronomical angles and factors ("RAWDATA" "#178").
#pragma once

#include <atomic>
#include <cstddef>
#include <mutex>
#include <vector>

#include "model/QsDateTime.h"
#include "model/TableLoad.h"
#include "platform/core/Afx.h"

// One day of the table, at 00:00: an angle in whole degrees and a factor for M2, S2, K1 and O1.
class CAngleFactorData : public CObject {
  DECLARE_SERIAL(CAngleFactorData)
 public:
  enum { M2 = 0, S2 = 1, K1 = 2, O1 = 3, kConstituents = 4 };
  // Bytes of one record in the archive.
  static constexpr int kRecordSize = 76;

  // User-provided, so that a vector of records is not zeroed before the members are set.
  CAngleFactorData() {}
  CAngleFactorData(const CAngleFactorData& other);
  CAngleFactorData& operator=(const CAngleFactorData& other);
  ~CAngleFactorData() override = default;

  int GetId() const { return m_id; }
  void SetId(int id) { m_id = id; }
  const CQsDateTime& GetDate() const { return m_date; }
  void SetDate(const CQsDateTime& date) { m_date = date; }
  // Constituent c is one of M2, S2, K1, O1; others give 0.
  int GetAngle(int c) const { return Valid(c) ? m_angle[c] : 0; }
  double GetFactor(int c) const { return Valid(c) ? m_factor[c] : 0.0; }
  void SetAngle(int c, int angle) {
    if (Valid(c)) m_angle[c] = angle;
  }
  void SetFactor(int c, double factor) {
    if (Valid(c)) m_factor[c] = factor;
  }

  // Both directions: id, date (six int32), then four {int32 angle, float64 factor}.
  void Serialize(CArchive& ar) override;
  // Reads one archive record from its kRecordSize bytes, as Serialize does when loading.
  void ReadRecord(const unsigned char* record);

 private:
  static bool Valid(int c) { return c >= 0 && c < kConstituents; }

  int m_id = 0;
  CQsDateTime m_date;
  int m_angle[kConstituents] = {0, 0, 0, 0};
  double m_factor[kConstituents] = {0.0, 0.0, 0.0, 0.0};
};

class CAngleFactorDB {
 public:
  static constexpr int kMagic = 643;

  // Attaches the program's embedded table; nothing is parsed yet.
  CAngleFactorDB();
  // Attaches a table held by the caller (a generated file, a test's table); the bytes must
  // outlive the database.
  CAngleFactorDB(const void* bytes, std::size_t size);
  CAngleFactorDB(const CAngleFactorDB&) = delete;
  CAngleFactorDB& operator=(const CAngleFactorDB&) = delete;

  // 1 when the table was read now; 0 when already loaded or when the table is missing, has the
  // wrong magic, or is shorter or otherwise unlike what its count promises (it stays unloaded).
  int Load();
  bool IsLoaded() const { return m_table.IsLoaded(); }
  int GetCount() const { return m_table.IsLoaded() ? m_table.GetCount() : -1; }
  // Record i, or NULL outside the table or before Load.
  const CAngleFactorData* GetAt(int i) const;

  // The record of the date's day (time ignored). hint is tried first and set to the index
  // found; an absent date (or an unloaded table) gives the default record with hint -1.
  const CAngleFactorData& Find(const CQsDateTime& date, int& hint) const;
  const CAngleFactorData& FindDayMonthYear(int day, int month, int year, int& hint) const;

  // The date span of the table (its first and last record's dates); false before Load or when
  // the table is empty. A prediction for a day needs the next day's record too, so the last
  // day that can be predicted is the day before GetLastDate.
  bool GetFirstDate(CQsDateTime& date) const;
  bool GetLastDate(CQsDateTime& date) const;

  const CAngleFactorData& GetDefault() const { return m_default; }

  // Writes a whole table (magic, count, records) through the records' own Serialize.
  static void WriteTable(CFile& file, const std::vector<CAngleFactorData>& records);
  static void WriteTable(CArchive& ar, const std::vector<CAngleFactorData>& records);

 private:
  const CAngleFactorData& FindDayMonthYearExact(int day, int month, int year, int& hint) const;

  CTableRecords<CAngleFactorData> m_table;
  CAngleFactorData m_default;
  // True when records 0..i run one a day from record 0; checked as far as asked, once.
  bool RunsDailyThrough(int i) const;

  long long m_firstDay = 0;  // day number of record 0
  // Records 0..m_daily-1 are known to run one a day; m_gap once a record breaks the run.
  mutable std::atomic<int> m_daily{0};
  mutable std::atomic<bool> m_gap{false};
  mutable std::mutex m_dailyLock;
  // The date record m_daily must hold to extend the run; under m_dailyLock.
  mutable int m_nextYear = 0, m_nextMonth = 0, m_nextDayOfMonth = 0;
};
