#include "model/AngleFactorDB.h"

#include "resources/ResourceIds.h"

#include <algorithm>
#include <climits>
#include <cstring>

IMPLEMENT_SERIAL(CAngleFactorData, CObject, 1)

CAngleFactorData::CAngleFactorData(const CAngleFactorData& other) : CObject(), m_id(other.m_id), m_date(other.m_date) {
  for (int c = 0; c < kConstituents; ++c) {
    m_angle[c] = other.m_angle[c];
    m_factor[c] = other.m_factor[c];
  }
}

CAngleFactorData& CAngleFactorData::operator=(const CAngleFactorData& other) {
  m_id = other.m_id;
  m_date = other.m_date;
  for (int c = 0; c < kConstituents; ++c) {
    m_angle[c] = other.m_angle[c];
    m_factor[c] = other.m_factor[c];
  }
  return *this;
}

void CAngleFactorData::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << static_cast<int32_t>(m_id);
    m_date.Serialize(ar);
    for (int c = 0; c < kConstituents; ++c) ar << static_cast<int32_t>(m_angle[c]) << m_factor[c];
  } else {
    int32_t value = 0;
    ar >> value;
    m_id = value;
    m_date.Serialize(ar);
    for (int c = 0; c < kConstituents; ++c) {
      ar >> value >> m_factor[c];
      m_angle[c] = value;
    }
  }
}

namespace {

int32_t StoredInt(const unsigned char* p) {
  int32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

double StoredDouble(const unsigned char* p) {
  double v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

}  // namespace

void CAngleFactorData::ReadRecord(const unsigned char* p) {
  static_assert(kRecordSize == 4 + 6 * 4 + kConstituents * 12, "the archive record's layout");
  m_id = StoredInt(p);
  m_date.SetStoredFields(StoredInt(p + 4), StoredInt(p + 8), StoredInt(p + 12), StoredInt(p + 16), StoredInt(p + 20),
                         StoredInt(p + 24));
  p += 28;
  for (int c = 0; c < kConstituents; ++c, p += 12) {
    m_angle[c] = StoredInt(p);
    m_factor[c] = StoredDouble(p + 4);
  }
}

namespace {

// Days since 1 March of year 0 (proleptic Gregorian); any field values give some number.
long long DayNumber(int year, int month, int day) {
  long long y = year;
  long long m = month;
  if (m <= 2) {
    y -= 1;
    m += 12;
  }
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m - 3) + 2) / 5 + day - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe;
}

bool SameDay(const CQsDateTime& a, int day, int month, int year) {
  return a.GetDay() == day && a.GetMonth() == month && a.GetYear() == year;
}

bool RealDate(int year, int month, int day) {
  return month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(month, year);
}

// The date of a stored record, read where it lies; false when it is no real date.
bool StoredDate(const unsigned char* p, int& year, int& month, int& day) {
  year = StoredInt(p + 4);
  month = StoredInt(p + 8);
  day = StoredInt(p + 12);
  return RealDate(year, month, day);
}

// The real date after a real date; false past the last year an int holds.
bool NextRealDate(int& year, int& month, int& day) {
  if (++day <= DaysInMonth(month, year)) return true;
  day = 1;
  if (++month <= 12) return true;
  month = 1;
  if (year == INT_MAX) return false;
  ++year;
  return true;
}

}  // namespace

CAngleFactorDB::CAngleFactorDB() : m_table(IDT_ANGLE_FACTORS) {}

CAngleFactorDB::CAngleFactorDB(const void* bytes, std::size_t size) : m_table(bytes, size) {}

int CAngleFactorDB::Load() {
  if (!m_table.LoadFixed(kMagic, CAngleFactorData::kRecordSize,
                         [](const unsigned char* bytes, CAngleFactorData& record) { record.ReadRecord(bytes); }))
    return 0;

  // A daily table lets Find go straight to a date's record. Whether the days run without a gap
  // is read from the stored dates, and only as far as a look-up needs.
  int year = 0, month = 0, day = 0;
  const bool first = m_table.GetCount() > 0 && StoredDate(m_table.FixedBytes(0), year, month, day);
  m_firstDay = first ? DayNumber(year, month, day) : 0;
  const bool more = first && NextRealDate(year, month, day);
  m_nextYear = year;
  m_nextMonth = month;
  m_nextDayOfMonth = day;
  m_daily.store(first ? 1 : 0, std::memory_order_release);
  m_gap.store(!more, std::memory_order_release);
  return 1;
}

bool CAngleFactorDB::RunsDailyThrough(int i) const {
  if (i < m_daily.load(std::memory_order_acquire)) return true;
  if (m_gap.load(std::memory_order_acquire)) return false;
  std::lock_guard<std::mutex> lock(m_dailyLock);
  int daily = m_daily.load(std::memory_order_relaxed);
  if (i < daily) return true;
  if (m_gap.load(std::memory_order_relaxed)) return false;
  const int end = std::min(m_table.GetCount(), i + 1);
  // A record extends the run when it holds the very date one day after the last: the fields
  // compared as stored, with no day numbers to make.
  bool more = true;
  while (daily < end && more) {
    const unsigned char* p = m_table.FixedBytes(daily);
    if (StoredInt(p + 4) != m_nextYear || StoredInt(p + 8) != m_nextMonth || StoredInt(p + 12) != m_nextDayOfMonth)
      break;
    ++daily;
    more = NextRealDate(m_nextYear, m_nextMonth, m_nextDayOfMonth);
  }
  m_daily.store(daily, std::memory_order_release);
  if (daily < end || !more) m_gap.store(true, std::memory_order_release);
  return i < daily;
}

const CAngleFactorData* CAngleFactorDB::GetAt(int i) const {
  if (!m_table.IsLoaded() || i < 0 || i >= m_table.GetCount()) return nullptr;
  return &m_table.At(i);
}

const CAngleFactorData& CAngleFactorDB::Find(const CQsDateTime& date, int& hint) const {
  return FindDayMonthYearExact(date.GetDay(), date.GetMonth(), date.GetYear(), hint);
}

const CAngleFactorData& CAngleFactorDB::FindDayMonthYear(int day, int month, int year, int& hint) const {
  CQsDateTime date;
  date.SetDate(year, month, day);  // two-digit years as everywhere else
  return Find(date, hint);
}

const CAngleFactorData& CAngleFactorDB::FindDayMonthYearExact(int day, int month, int year, int& hint) const {
  if (!m_table.IsLoaded()) {
    hint = -1;
    return m_default;
  }
  const int count = m_table.GetCount();
  if (hint >= 0 && hint < count && SameDay(m_table.At(hint).GetDate(), day, month, year)) return m_table.At(hint);
  const bool valid = RealDate(year, month, day);
  const long long i = valid ? DayNumber(year, month, day) - m_firstDay : -1;
  if (valid && i >= 0 && i < count) {
    // Records 0..i running one a day hold the date first at i, where a scan would find it.
    if (RunsDailyThrough(static_cast<int>(i)) && SameDay(m_table.At(static_cast<int>(i)).GetDate(), day, month, year)) {
      hint = static_cast<int>(i);
      return m_table.At(hint);
    }
  } else if (count > 0 && RunsDailyThrough(count - 1)) {
    // A whole daily table holds no date outside its span, nor an impossible one.
    hint = -1;
    return m_default;
  }
  for (int i = 0; i < count; ++i) {
    if (SameDay(m_table.At(i).GetDate(), day, month, year)) {
      hint = i;
      return m_table.At(i);
    }
  }
  hint = -1;
  return m_default;
}

bool CAngleFactorDB::GetFirstDate(CQsDateTime& date) const {
  if (!m_table.IsLoaded() || m_table.GetCount() == 0) return false;
  date = m_table.At(0).GetDate();
  return true;
}

bool CAngleFactorDB::GetLastDate(CQsDateTime& date) const {
  if (!m_table.IsLoaded() || m_table.GetCount() == 0) return false;
  date = m_table.At(m_table.GetCount() - 1).GetDate();
  return true;
}

void CAngleFactorDB::WriteTable(CArchive& ar, const std::vector<CAngleFactorData>& records) {
  ar << static_cast<int32_t>(kMagic) << static_cast<int32_t>(records.size());
  for (const CAngleFactorData& record : records) CAngleFactorData(record).Serialize(ar);
}

void CAngleFactorDB::WriteTable(CFile& file, const std::vector<CAngleFactorData>& records) {
  CArchive ar(&file, CArchive::store);
  WriteTable(ar, records);
  ar.Close();
}
