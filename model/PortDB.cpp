#include "model/PortDB.h"

#include <algorithm>
#include <cstring>

#include "model/AngleFactorDB.h"
#include "model/Prediction.h"
#include "resources/ResourceIds.h"

IMPLEMENT_SERIAL(CPortData, CObject, 1)

namespace {
IPredictionFrame* g_predictionFrame = nullptr;
}

void SetPredictionFrame(IPredictionFrame* frame) { g_predictionFrame = frame; }

IPredictionFrame* GetPredictionFrame() { return g_predictionFrame; }

CPortData::CPortData() = default;

CPortData::CPortData(const CPortData& other) : CObject() { CopyFields(other); }

CPortData& CPortData::operator=(const CPortData& other) {
  if (this != &other) CopyFields(other);
  return *this;
}

void CPortData::CopyFields(const CPortData& other) {
  m_meanLevel = other.m_meanLevel;
  m_index = other.m_index;
  m_portId = other.m_portId;
  m_name = other.m_name;
  for (int i = 0; i < kPairs; ++i) {
    m_phase[i] = other.m_phase[i];
    m_amplitude[i] = other.m_amplitude[i];
  }
  for (int i = 0; i < kLevels; ++i) m_level[i] = other.m_level[i];
  m_area = other.m_area;
  m_kind = other.m_kind;
  m_timeZone = other.m_timeZone;
  m_reserved = other.m_reserved;
  m_latitude = other.m_latitude;
  m_longitude = other.m_longitude;
}

void CPortData::CreatePrediction() { CreatePrediction(g_predictionFrame); }

void CPortData::CreatePrediction(const IPredictionFrame* frame) {
  DeletePrediction();
  m_prediction = new CPrediction;
  m_prediction->SetPort(*this);
  const CAngleFactorDB* table = frame ? frame->GetAngleFactorDB() : nullptr;
  if (!table) return;
  CQsDateTime day = frame->GetSelectedDate();
  CQsDateTime next = day;
  next.NextDay();
  int hint = -1;
  const CAngleFactorData& today = table->Find(day, hint);
  if (hint < 0) return;
  const CAngleFactorData& tomorrow = table->Find(next, hint);
  if (hint < 0) return;
  m_prediction->SetAngleFactors(today, tomorrow);
}

void CPortData::DeletePrediction() {
  delete m_prediction;
  m_prediction = nullptr;
}

void CPortData::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << static_cast<int32_t>(m_index) << m_meanLevel;
    ar << m_name;
    for (int i = 0; i < kPairs; ++i) ar << static_cast<int32_t>(m_phase[i]) << m_amplitude[i];
    for (int i = 0; i < kLevels; ++i) ar << m_level[i];
    ar << static_cast<int32_t>(m_area) << static_cast<int32_t>(m_kind) << static_cast<int32_t>(m_timeZone)
       << static_cast<int32_t>(m_reserved);
    ar << m_latitude << m_longitude;
    ar << static_cast<int32_t>(m_portId);
  } else {
    int32_t value = 0;
    ar >> value;
    m_index = value;
    ar >> m_meanLevel;
    ar >> m_name;
    for (int i = 0; i < kPairs; ++i) {
      ar >> value >> m_amplitude[i];
      m_phase[i] = value;
    }
    for (int i = 0; i < kLevels; ++i) ar >> m_level[i];
    ar >> value;
    m_area = value;
    ar >> value;
    m_kind = value;
    ar >> value;
    m_timeZone = value;
    ar >> value;
    m_reserved = value;
    ar >> m_latitude >> m_longitude;
    ar >> value;
    m_portId = value;
  }
}

namespace {
constexpr std::size_t kBeforeName = 4 + 8;  // the index and the mean level
constexpr std::size_t kAfterName = CPortData::kFixedRecordSize - kBeforeName;
}  // namespace

std::size_t CPortData::StoredSize(const unsigned char* bytes, std::size_t avail) {
  if (avail < kBeforeName) return 0;
  const std::size_t name = AfxStoredStringSize(bytes + kBeforeName, avail - kBeforeName);
  if (name == 0 || avail - kBeforeName - name < kAfterName) return 0;
  return kBeforeName + name + kAfterName;
}

int CPortData::StoredPortId(const unsigned char* bytes, std::size_t size) {
  int32_t id;
  std::memcpy(&id, bytes + size - sizeof id, sizeof id);
  return id;
}

CPortDB::CPortDB() : m_table(IDT_PORTS) {}

CPortDB::CPortDB(const void* bytes, std::size_t size) : m_table(bytes, size) {}

CPortDB::~CPortDB() {
  // The table's records own the predictions made through them.
  m_table.ForEachMade([](CPortData& record) { record.DeletePrediction(); });
}

int CPortDB::Load() {
  // Every record holds its fixed fields and at least a one-byte name length. Load only measures
  // the records and notes their ids; each port is read from its bytes when first asked for.
  std::vector<std::pair<WORD, int>> byId;
  const bool loaded = m_table.LoadIndexed(
      kMagic, CPortData::kFixedRecordSize + 1, &CPortData::StoredSize,
      [](CArchive& ar, CPortData& record) {
        record.Serialize(ar);
        // Whole-hundred hhmm codes (1000, 1200) mean whole hours: captions show +10 and +12,
        // and the prediction would take them for 0.
        const int zone = record.GetTimeZone();
        if ((zone > 100 || zone < -100) && zone % 100 == 0) record.SetTimeZone(zone / 100);
      },
      [&byId](int index, const unsigned char* bytes, std::size_t size) {
        byId.emplace_back(static_cast<WORD>(CPortData::StoredPortId(bytes, size) & 0xFFFF), index);
      });
  if (!loaded) return 0;
  std::stable_sort(byId.begin(), byId.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  m_byId = std::move(byId);
  return 1;
}

CPortData* CPortDB::GetPort(int index) {
  const int count = m_table.IsLoaded() ? m_table.GetCount() : 0;
  if (count == 0) return nullptr;
  if (index < 0 || index >= count) return &m_table.At(0);
  return &m_table.At(index);
}

const CPortData* CPortDB::GetPort(int index) const { return const_cast<CPortDB*>(this)->GetPort(index); }

CPortData* CPortDB::Lookup(int portId) {
  if (!m_table.IsLoaded()) return nullptr;
  const WORD id = static_cast<WORD>(portId & 0xFFFF);
  // The last of equal ids: a later record with the same id replaces an earlier one.
  auto after =
      std::upper_bound(m_byId.begin(), m_byId.end(), id, [](WORD key, const auto& e) { return key < e.first; });
  if (after == m_byId.begin() || std::prev(after)->first != id) return nullptr;
  return &m_table.At(std::prev(after)->second);
}

CPosition CPortDB::GetPortPosition(int index) const {
  const CPortData* port = GetPort(index);
  if (!port) return CPosition();
  return port->GetPosition();
}

void CPortDB::WriteTable(CArchive& ar, const std::vector<CPortData>& records) {
  ar << static_cast<int32_t>(kMagic) << static_cast<int32_t>(records.size());
  for (const CPortData& record : records) CPortData(record).Serialize(ar);
}

void CPortDB::WriteTable(CFile& file, const std::vector<CPortData>& records) {
  CArchive ar(&file, CArchive::store);
  WriteTable(ar, records);
  ar.Close();
}
