// The embedded table of ports and their harmonic constants ("RAWDATA" "#179").
#pragma once

#include <climits>
#include <cstddef>
#include <utility>
#include <vector>

#include "model/Position.h"
#include "model/QsDateTime.h"
#include "model/TableLoad.h"
#include "platform/core/Afx.h"

class CAngleFactorDB;
class CPrediction;

// What a port record asks of the main frame when it makes its own prediction.
class IPredictionFrame {
 public:
  virtual ~IPredictionFrame() = default;
  // The date the user has selected, at 00:00:00.
  virtual CQsDateTime GetSelectedDate() const = 0;
  // The frame's angle/factor table (NULL when it has none).
  virtual const CAngleFactorDB* GetAngleFactorDB() const = 0;
};

// The frame that CPortData::CreatePrediction() asks; the main frame registers itself (NULL
// withdraws it). Without one, predictions keep their default angle/factor records.
void SetPredictionFrame(IPredictionFrame* frame);
IPredictionFrame* GetPredictionFrame();

// One port of the table.
class CPortData : public CObject {
  DECLARE_SERIAL(CPortData)
 public:
  // The six constituent pairs: the four main ones, then the fourth- and sixth-diurnal terms.
  enum { M2 = 0, S2 = 1, K1 = 2, O1 = 3, F4 = 4, F6 = 5, kPairs = 6 };
  // Datum levels.
  enum { MHWS = 0, MHWN = 1, MLWS = 2, MLWN = 3, kLevels = 4 };
  // Fixed bytes of a record besides its name.
  static constexpr int kFixedRecordSize = 4 + 8 + 6 * 12 + 4 * 8 + 4 * 4 + 2 * 8 + 4;
  // The size of the stored record at bytes, as Serialize reads it from avail bytes; 0 where
  // Serialize would fail. And the port id of a record of that size, which is its last field.
  static std::size_t StoredSize(const unsigned char* bytes, std::size_t avail);
  static int StoredPortId(const unsigned char* bytes, std::size_t size);

  CPortData();
  // Copies every stored field; the copy owns no prediction.
  CPortData(const CPortData& other);
  // Copies every stored field; the prediction pointer stays as it was.
  CPortData& operator=(const CPortData& other);
  // The prediction is not deleted here (its owner is whoever made it current).
  ~CPortData() override = default;

  double GetMeanLevel() const { return m_meanLevel; }
  void SetMeanLevel(double z0) { m_meanLevel = z0; }
  int GetIndex() const { return m_index; }
  void SetIndex(int index) { m_index = index; }
  int GetPortId() const { return m_portId; }
  void SetPortId(int id) { m_portId = id; }
  CString GetName() const { return m_name; }
  void SetName(const CString& name) { m_name = name; }
  // Pair i is one of M2..F6; others give 0.
  int GetPhase(int i) const { return ValidPair(i) ? m_phase[i] : 0; }
  double GetAmplitude(int i) const { return ValidPair(i) ? m_amplitude[i] : 0.0; }
  void SetConstituent(int i, int phase, double amplitude) {
    if (ValidPair(i)) {
      m_phase[i] = phase;
      m_amplitude[i] = amplitude;
    }
  }
  // Level i is one of MHWS..MLWN; others give 0.
  double GetLevel(int i) const { return i >= 0 && i < kLevels ? m_level[i] : 0.0; }
  void SetLevel(int i, double metres) {
    if (i >= 0 && i < kLevels) m_level[i] = metres;
  }
  double GetMHWS() const { return m_level[MHWS]; }
  double GetMHWN() const { return m_level[MHWN]; }
  double GetMLWS() const { return m_level[MLWS]; }
  double GetMLWN() const { return m_level[MLWN]; }
  int GetArea() const { return m_area; }
  // The summer-time rule code (area minus one); INT_MIN for a damaged record's lowest area.
  int GetRuleCode() const { return m_area > INT_MIN ? m_area - 1 : INT_MIN; }
  void SetArea(int area) { m_area = area; }
  int GetKind() const { return m_kind; }
  void SetKind(int kind) { m_kind = kind; }
  int GetTimeZone() const { return m_timeZone; }
  void SetTimeZone(int zoneCode) { m_timeZone = zoneCode; }
  int GetReserved() const { return m_reserved; }
  void SetReserved(int value) { m_reserved = value; }
  double GetLatitude() const { return m_latitude; }
  double GetLongitude() const { return m_longitude; }
  void SetLatLon(double latitude, double longitude) {
    m_latitude = latitude;
    m_longitude = longitude;
  }
  CPosition GetPosition() const { return CPosition(m_latitude, m_longitude); }

  CPrediction* GetPrediction() const { return m_prediction; }
  // Replaces the record's prediction with a new one for the frame's selected date and the day
  // after (default angle/factor records when either is missing or there is no frame).
  void CreatePrediction();
  void CreatePrediction(const IPredictionFrame* frame);
  // Deletes the record's prediction, if any.
  void DeletePrediction();

  // Both directions: index, meanLevel, name, the six pairs, the four levels, area, kind,
  // timeZone, reserved, latitude, longitude, portId.
  void Serialize(CArchive& ar) override;

 private:
  static bool ValidPair(int i) { return i >= 0 && i < kPairs; }
  void CopyFields(const CPortData& other);

  double m_meanLevel = 0.0;
  int m_index = 0;
  int m_portId = 0;
  CString m_name;
  int m_phase[kPairs] = {0, 0, 0, 0, 0, 0};
  double m_amplitude[kPairs] = {0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
  double m_level[kLevels] = {0.0, 0.0, 0.0, 0.0};
  int m_area = 0;
  int m_kind = 0;
  int m_timeZone = 0;
  int m_reserved = 0;
  double m_latitude = 0.0;
  double m_longitude = 0.0;
  CPrediction* m_prediction = nullptr;  // not serialised
};

class CPortDB {
 public:
  static constexpr int kMagic = 649;

  // Attaches the program's embedded table; nothing is parsed yet.
  CPortDB();
  // Attaches a table held by the caller; the bytes must outlive the database.
  CPortDB(const void* bytes, std::size_t size);
  ~CPortDB();
  CPortDB(const CPortDB&) = delete;
  CPortDB& operator=(const CPortDB&) = delete;

  // 1 when the table was read now; 0 when already loaded or when the table is missing, has the
  // wrong magic, or is shorter or otherwise unlike what its count promises (it stays unloaded).
  int Load();
  bool IsLoaded() const { return m_table.IsLoaded(); }
  // NULL before Load; record 0 for an index outside the table.
  CPortData* GetPort(int index);
  const CPortData* GetPort(int index) const;
  // The record whose port id has the same low 16 bits, or NULL.
  CPortData* Lookup(int portId);
  // The count, or -1 before Load.
  int GetCount() const { return m_table.IsLoaded() ? m_table.GetCount() : -1; }
  // Record 0's position for an index outside the table; a default position before Load.
  CPosition GetPortPosition(int index) const;

  // Writes a whole table (magic, count, records) through the records' own Serialize.
  static void WriteTable(CFile& file, const std::vector<CPortData>& records);
  static void WriteTable(CArchive& ar, const std::vector<CPortData>& records);

 private:
  CTableRecords<CPortData> m_table;
  // (low 16 bits of the port id, record index), sorted by id; of equal ids the later record is
  // last. One allocation, not a node per port.
  std::vector<std::pair<WORD, int>> m_byId;
};
