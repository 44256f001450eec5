// The embedded table of tidal-stream diamonds ("RAWDATA" "#294").
#pragma once

#include <cstddef>
#include <vector>

#include "model/Position.h"
#include "model/TableLoad.h"
#include "platform/core/Afx.h"

// A diamond's stream at some hours from high water; rates in knots.
struct DIAMOND_STREAM {
  double direction = 0.0;  // degrees true
  double springRate = 0.0;
  double neapRate = 0.0;
};

// One hourly flow of a diamond.
class CDiamondFlowData : public CObject {
  DECLARE_SERIAL(CDiamondFlowData)
 public:
  CDiamondFlowData() = default;
  CDiamondFlowData(int hour, double direction, double springRate, double neapRate)
      : m_direction(direction), m_springRate(springRate), m_neapRate(neapRate), m_hour(hour) {}
  ~CDiamondFlowData() override = default;

  double GetDirection() const { return m_direction; }
  double GetSpringRate() const { return m_springRate; }
  double GetNeapRate() const { return m_neapRate; }
  int GetHour() const { return m_hour; }

  // Both directions: int32 hour, then direction, springRate, neapRate (float64).
  void Serialize(CArchive& ar) override;

  static constexpr int kRecordSize = 4 + 3 * 8;

 private:
  double m_direction = 0.0;   // degrees true
  double m_springRate = 0.0;  // knots
  double m_neapRate = 0.0;
  int m_hour = 0;  // from high water, -6..6
};

// One diamond: its position, chart letter and hourly flows (owned).
class CDiamondData : public CObject {
  DECLARE_SERIAL(CDiamondData)
 public:
  CDiamondData() = default;
  CDiamondData(const CDiamondData& other);
  CDiamondData& operator=(const CDiamondData& other);
  ~CDiamondData() override;

  int GetMinLevel() const { return m_minLevel; }
  void SetMinLevel(int level) {
    m_minLevel = level;
    m_present = true;
  }
  int GetNumber() const { return m_number; }
  void SetNumber(int number) {
    m_number = number;
    m_present = true;
  }
  int GetReferencePortId() const { return m_referencePortId; }
  void SetReferencePortId(int portId) {
    m_referencePortId = portId;
    m_present = true;
  }
  const CPosition& GetPosition() const { return m_position; }
  void SetPosition(const CPosition& position) {
    m_position = position;
    m_present = true;
  }
  CString GetName() const { return m_name; }
  void SetName(const CString& name) {
    m_name = name;
    m_present = true;
  }
  int GetFlowCount() const { return static_cast<int>(m_flows.size()); }
  const CDiamondFlowData* GetFlow(int i) const { return i >= 0 && i < GetFlowCount() ? m_flows[i] : nullptr; }
  void AddFlow(int hour, double direction, double springRate, double neapRate);
  // True when the record was read as absent (present byte 0) or nothing was ever set in it;
  // setting any field makes it present.
  bool IsEmpty() const { return !m_present; }

  // The stream at hours from high water, interpolated between the hourly flows.
  DIAMOND_STREAM GetStreamAt(double hours) const;

  // Both directions, in the table's layout (a present byte first).
  void Serialize(CArchive& ar) override;

  // Bytes of a present record besides its name and flows.
  static constexpr int kFixedRecordSize = 1 + 4 + 12 + 12 + 4 + 4 + 4 + 4;

 private:
  void FreeFlows();
  void CopyFrom(const CDiamondData& other);

  int m_minLevel = 0;
  int m_number = 0;
  int m_referencePortId = 0;
  CPosition m_position;
  CString m_name;
  std::vector<CDiamondFlowData*> m_flows;  // owned
  bool m_present = false;
};

class CDiamondDB {
 public:
  static constexpr int kMagic = 276;

  // Attaches the program's embedded table; nothing is parsed yet.
  CDiamondDB();
  // Attaches a table held by the caller; the bytes must outlive the database.
  CDiamondDB(const void* bytes, std::size_t size);
  CDiamondDB(const CDiamondDB&) = delete;
  CDiamondDB& operator=(const CDiamondDB&) = delete;

  // 1 when the table was read now; 0 when already loaded or when the table is missing, has the
  // wrong magic, or is shorter or otherwise unlike what its count promises (it stays unloaded).
  int Load();
  bool IsLoaded() const { return m_table.IsLoaded(); }
  // NULL before Load; the first diamond for an index outside the table.
  const CDiamondData* GetAt(int i) const;
  int GetCount() const { return m_table.GetCount(); }

  // Writes a whole table (magic, count, records, one trailing byte).
  static void WriteTable(CFile& file, const std::vector<CDiamondData>& records);
  static void WriteTable(CArchive& ar, const std::vector<CDiamondData>& records);

 private:
  CTableRecords<CDiamondData> m_table;
};
