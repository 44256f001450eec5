#include "model/DiamondDB.h"

#include "resources/ResourceIds.h"

#include <cmath>
#include <string>

IMPLEMENT_SERIAL(CDiamondFlowData, CObject, 1)
IMPLEMENT_SERIAL(CDiamondData, CObject, 1)

void CDiamondFlowData::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << static_cast<int32_t>(m_hour) << m_direction << m_springRate << m_neapRate;
  } else {
    int32_t hour = 0;
    ar >> hour >> m_direction >> m_springRate >> m_neapRate;
    m_hour = hour;
  }
}

CDiamondData::CDiamondData(const CDiamondData& other) : CObject() { CopyFrom(other); }

CDiamondData& CDiamondData::operator=(const CDiamondData& other) {
  if (this != &other) {
    FreeFlows();
    CopyFrom(other);
  }
  return *this;
}

CDiamondData::~CDiamondData() { FreeFlows(); }

void CDiamondData::CopyFrom(const CDiamondData& other) {
  m_minLevel = other.m_minLevel;
  m_number = other.m_number;
  m_referencePortId = other.m_referencePortId;
  m_position = other.m_position;
  m_name = other.m_name;
  m_present = other.m_present;
  m_flows.reserve(other.m_flows.size());
  for (const CDiamondFlowData* flow : other.m_flows) m_flows.push_back(new CDiamondFlowData(*flow));
}

void CDiamondData::FreeFlows() {
  for (CDiamondFlowData* flow : m_flows) delete flow;
  m_flows.clear();
}

void CDiamondData::AddFlow(int hour, double direction, double springRate, double neapRate) {
  m_flows.push_back(new CDiamondFlowData(hour, direction, springRate, neapRate));
  m_present = true;
}

DIAMOND_STREAM CDiamondData::GetStreamAt(double hours) const {
  const int n = GetFlowCount();
  for (int i = 0; i < n; ++i) {
    const CDiamondFlowData& flow = *m_flows[i];
    if (i == 0 && hours <= -6.0) return {flow.GetDirection(), flow.GetSpringRate(), flow.GetNeapRate()};
    if (i == n - 1) {
      if (hours >= 6.0) return {flow.GetDirection(), flow.GetSpringRate(), flow.GetNeapRate()};
      break;  // nothing after the last flow to interpolate towards
    }
    const double t = hours - flow.GetHour();
    if (t < 1.0) {
      const CDiamondFlowData& after = *m_flows[i + 1];
      DIAMOND_STREAM s;
      s.springRate = flow.GetSpringRate() + t * (after.GetSpringRate() - flow.GetSpringRate());
      s.neapRate = flow.GetNeapRate() + t * (after.GetNeapRate() - flow.GetNeapRate());
      // Along the shorter arc.
      double from = flow.GetDirection();
      double to = after.GetDirection();
      if (std::fabs(to - from) > 180.0) {
        if (from < to)
          from += 360.0;
        else
          to += 360.0;
      }
      s.direction = NormaliseDegrees(from + t * (to - from));
      return s;
    }
  }
  return {};
}

void CDiamondData::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << static_cast<BYTE>(m_present ? 1 : 0);
    if (!m_present) return;
    ar << static_cast<int32_t>(m_number);
    // Magnitudes, with the sign telling the hemisphere: south negative, east negative.
    const int latSign = m_position.GetLatHemisphere() ? 1 : -1;
    ar << static_cast<int32_t>(latSign * m_position.GetLatDegrees()) << latSign * m_position.GetLatMinutes();
    const int lonSign = m_position.GetLonHemisphere() ? -1 : 1;
    ar << static_cast<int32_t>(lonSign * m_position.GetLonDegrees()) << lonSign * m_position.GetLonMinutes();
    ar << static_cast<int32_t>(m_referencePortId) << static_cast<int32_t>(m_minLevel);
    const std::string& name = m_name.GetStdString();
    ar << static_cast<int32_t>(name.size());
    if (!name.empty()) ar.Write(name.data(), static_cast<UINT>(name.size()));
    ar << static_cast<int32_t>(m_flows.size());
    for (CDiamondFlowData* flow : m_flows) flow->Serialize(ar);
    return;
  }

  FreeFlows();
  m_present = false;
  BYTE present = 0;
  ar >> present;
  if (!present) return;
  int32_t number = 0, latDegrees = 0, lonDegrees = 0, portId = 0, minLevel = 0;
  double latMinutes = 0.0, lonMinutes = 0.0;
  ar >> number >> latDegrees >> latMinutes >> lonDegrees >> lonMinutes >> portId >> minLevel;
  const bool south = latDegrees < 0 || latMinutes < 0.0;
  const bool east = lonDegrees < 0 || lonMinutes < 0.0;
  // INT_MIN has no magnitude; no real diamond is near it.
  if (latDegrees == INT32_MIN || lonDegrees == INT32_MIN) AfxThrowArchiveException(CArchiveException::badIndex);
  m_position.SetLatitude(std::abs(latDegrees), std::fabs(latMinutes), south ? 0 : 1);
  m_position.SetLongitude(std::abs(lonDegrees), std::fabs(lonMinutes), east ? 1 : 0);
  m_number = number;
  m_referencePortId = portId;
  m_minLevel = minLevel;

  int32_t nameLength = 0;
  ar >> nameLength;
  if (nameLength < 0) AfxThrowArchiveException(CArchiveException::badIndex);
  // Read in pieces, so a corrupt length runs into the end of the table before any large
  // allocation is made.
  std::string name;
  char piece[256];
  for (int32_t left = nameLength; left > 0;) {
    const UINT want = left < 256 ? static_cast<UINT>(left) : 256u;
    ar.EnsureRead(piece, want);
    name.append(piece, want);
    left -= static_cast<int32_t>(want);
  }
  m_name = name.c_str();

  int32_t flowCount = 0;
  ar >> flowCount;
  if (flowCount < 0) AfxThrowArchiveException(CArchiveException::badIndex);
  for (int32_t i = 0; i < flowCount; ++i) {
    auto* flow = new CDiamondFlowData;
    try {
      flow->Serialize(ar);
    } catch (...) {
      delete flow;
      throw;
    }
    m_flows.push_back(flow);
  }
  m_present = true;
}

CDiamondDB::CDiamondDB() : m_table(IDT_DIAMONDS) {}

CDiamondDB::CDiamondDB(const void* bytes, std::size_t size) : m_table(bytes, size) {}

int CDiamondDB::Load() {
  // Every record holds at least its present byte.
  return m_table.Load(kMagic, 1, [](CArchive& ar, CDiamondData& record) { record.Serialize(ar); }) ? 1 : 0;
}

const CDiamondData* CDiamondDB::GetAt(int i) const {
  const std::vector<CDiamondData>& records = m_table.Records();
  if (records.empty()) return nullptr;
  if (i < 0 || i >= m_table.GetCount()) return &records[0];
  return &records[static_cast<std::size_t>(i)];
}

void CDiamondDB::WriteTable(CArchive& ar, const std::vector<CDiamondData>& records) {
  ar << static_cast<int32_t>(kMagic) << static_cast<int32_t>(records.size());
  for (const CDiamondData& record : records) CDiamondData(record).Serialize(ar);
  ar << static_cast<BYTE>(0);  // the table's trailing byte, never read
}

void CDiamondDB::WriteTable(CFile& file, const std::vector<CDiamondData>& records) {
  CArchive ar(&file, CArchive::store);
  WriteTable(ar, records);
  ar.Close();
}
