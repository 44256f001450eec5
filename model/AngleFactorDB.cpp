#include "model/AngleFactorDB.h"

#include "resources/ResourceIds.h"

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

}  // namespace

CAngleFactorDB::CAngleFactorDB() : m_table(IDT_ANGLE_FACTORS) {}

CAngleFactorDB::CAngleFactorDB(const void* bytes, std::size_t size) : m_table(bytes, size) {}

int CAngleFactorDB::Load() {
  if (!m_table.LoadFixed(kMagic, CAngleFactorData::kRecordSize,
                         [](const unsigned char* bytes, CAngleFactorData& record) { record.ReadRecord(bytes); }))
    return 0;

  // A gap-free daily table lets Find go straight to a date's record. The dates are read where
  // they lie: the records themselves are made as they are asked for.
  auto date = [this](int i, int& year, int& month, int& day) {
    const unsigned char* p = m_table.FixedBytes(i);
    year = StoredInt(p + 4);
    month = StoredInt(p + 8);
    day = StoredInt(p + 12);
  };
  auto valid = [](int year, int month, int day) {
    return month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(month, year);
  };
  const int count = m_table.GetCount();
  if (count > 0)
    AfxPrefaultRead(m_table.FixedBytes(0), static_cast<std::size_t>(count) * CAngleFactorData::kRecordSize);
  m_consecutive = count > 0;
  if (m_consecutive) {
    int year = 0, month = 0, day = 0;
    date(0, year, month, day);
    m_consecutive = valid(year, month, day);
    m_firstDay = DayNumber(year, month, day);
  }
  long long previous = m_firstDay;
  for (int i = 1; i < count && m_consecutive; ++i) {
    int year = 0, month = 0, day = 0;
    date(i, year, month, day);
    const long long number = DayNumber(year, month, day);
    m_consecutive = number == previous + 1 && valid(year, month, day);
    previous = number;
  }
  return 1;
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
  if (m_consecutive) {
    // Each date occurs once, so the computed index is the one a scan would find.
    if (month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(month, year)) {
      const long long i = DayNumber(year, month, day) - m_firstDay;
      if (i >= 0 && i < count && SameDay(m_table.At(static_cast<int>(i)).GetDate(), day, month, year)) {
        hint = static_cast<int>(i);
        return m_table.At(hint);
      }
    }
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
