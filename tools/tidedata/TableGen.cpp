#include "tools/tidedata/TableGen.h"

#include "model/Angles.h"

#include <charconv>
#include <cmath>
#include <complex>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "engine/Astronomy.h"
#include "model/QsDateTime.h"

namespace tablegen {

namespace {

constexpr double kDegToRad = angles::kDegToRad;

// Engine numbers of the four main constituents, in CAngleFactorData order.
constexpr int kMainNumber[CAngleFactorData::kConstituents] = {ebc::kM2, ebc::kS2, ebc::kK1, ebc::kO1};

std::runtime_error Bad(const std::string& where, const std::string& what) {
  return std::runtime_error(where + ": " + what);
}

// Locale-independent number parsing.
double ParseDouble(const std::string& text, const std::string& where) {
  double v = 0.0;
  const char* b = text.data();
  const char* e = b + text.size();
  auto [p, ec] = std::from_chars(b, e, v);
  if (ec != std::errc() || p != e || !std::isfinite(v)) throw Bad(where, "not a number: '" + text + "'");
  return v;
}

int ParseInt(const std::string& text, const std::string& where) {
  int v = 0;
  const char* b = text.data();
  const char* e = b + text.size();
  auto [p, ec] = std::from_chars(b, e, v);
  if (ec != std::errc() || p != e) throw Bad(where, "not an integer: '" + text + "'");
  return v;
}

std::vector<std::string> Split(const std::string& line, char sep) {
  std::vector<std::string> out;
  std::string cur;
  for (char ch : line) {
    if (ch == sep) {
      out.push_back(cur);
      cur.clear();
    } else {
      cur.push_back(ch);
    }
  }
  out.push_back(cur);
  return out;
}

std::vector<unsigned char> MemFileBytes(CMemFile& file) {
  const BYTE* data = file.GetData();
  return std::vector<unsigned char>(data, data + file.GetLength());
}

}  // namespace

int ConstituentNumber(const std::string& name) {
  // The engine's numbering of the constituents the folding may name.
  static const struct {
    const char* name;
    int number;
  } table[] = {{"O1", 10},  {"Q1", 8},   {"2Q1", 6},  {"K1", 17},  {"P1", 15},  {"S1", 16}, {"J1", 21},
               {"M2", 31},  {"N2", 28},  {"2N2", 26}, {"NU2", 29}, {"MU2", 27}, {"L2", 34}, {"LAMBDA2", 33},
               {"RHO1", 9}, {"OO1", 23}, {"S2", 36},  {"K2", 38},  {"T2", 35},  {"R2", 37}};
  for (const auto& t : table)
    if (name == t.name) return t.number;
  return 0;
}

std::vector<Fold> ReadFolding(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw Bad(path, "cannot open");
  std::vector<Fold> folds;
  std::string line;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    const std::string where = path + ":" + std::to_string(lineNo);
    if (const auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string t; words >> t;) w.push_back(t);
    if (w.empty()) continue;
    if (w.size() < 4) throw Bad(where, "expected: main companion ratio phase");
    Fold f;
    for (int c = 0; c < CAngleFactorData::kConstituents; ++c)
      if (ConstituentNumber(w[0]) == kMainNumber[c]) f.mainIndex = c;
    if (f.mainIndex < 0) throw Bad(where, "main constituent must be M2, S2, K1 or O1");
    f.companion = ConstituentNumber(w[1]);
    if (f.companion == 0) throw Bad(where, "unknown constituent '" + w[1] + "'");
    f.ratio = ParseDouble(w[2], where);
    f.phaseDeg = ParseDouble(w[3], where);
    if (f.ratio < 0.0 || f.ratio > 0.9) throw Bad(where, "ratio out of range");
    folds.push_back(f);
  }
  return folds;
}

void AngleAndFactor(int day, int month, int year, int c, const std::vector<Fold>& folds, int& angle, double& factor) {
  const ebc::DayTable t = ebc::ComputeDay(day, month, year);
  const int n = kMainNumber[c];
  std::complex<double> p = std::polar(t.f[n], t.equilibriumPlusNodal(n) * kDegToRad);
  for (const Fold& f : folds) {
    if (f.mainIndex != c) continue;
    const int k = f.companion;
    p += std::polar(f.ratio * t.f[k], (t.equilibriumPlusNodal(k) - f.phaseDeg) * kDegToRad);
  }
  factor = std::abs(p);
  const double v = std::arg(p) / kDegToRad;  // (-180, 180]
  long a = std::lround(360.0 - v);
  a %= 360;
  if (a < 0) a += 360;
  angle = static_cast<int>(a);
}

namespace {

// The prediction unwraps the next day's angles against today's and takes each constituent's
// speed from the change; a table whose changes break those rules would give wrong speeds on
// some days, so the generator refuses it.
void CheckDayPair(const CAngleFactorData& a, const CAngleFactorData& b) {
  static const double trueSpeed[4] = {28.9841042, 30.0, 15.0410686, 13.9430356};
  int n[4];
  for (int c = 0; c < 4; ++c) n[c] = b.GetAngle(c);
  if (n[0] < a.GetAngle(0)) n[0] += 360;
  if (n[1] - a.GetAngle(1) > 300) n[1] -= 360;
  if (a.GetAngle(1) - n[1] > 300) n[1] += 360;
  if (n[2] - a.GetAngle(2) > 300) n[2] -= 360;
  if (n[3] < a.GetAngle(3)) n[3] += 360;
  const double ksemi = 360.0 * (std::floor((n[0] + 600.0 - a.GetAngle(0)) / 360.0) + 1);
  const double kdiu = 360.0 * (std::floor((n[0] + 300.0 - a.GetAngle(0)) / 360.0) + 1);
  for (int c = 0; c < 4; ++c) {
    const double w = ((c < 2 ? ksemi : kdiu) + a.GetAngle(c) - n[c]) / 24.0;
    if (std::abs(w - trueSpeed[c]) > 1.0) {
      const CQsDateTime& d = a.GetDate();
      throw std::runtime_error("the angles of " + std::to_string(d.GetYear()) + "-" + std::to_string(d.GetMonth()) +
                               "-" + std::to_string(d.GetDay()) + " and the next day give constituent " +
                               std::to_string(c) + " a speed of " + std::to_string(w) +
                               " degrees per hour: fold fewer companions");
    }
  }
}

}  // namespace

std::vector<CAngleFactorData> MakeAngleTable(const std::vector<Fold>& folds) {
  std::vector<CAngleFactorData> out = MakeAngleRecords(folds);
  for (std::size_t i = 0; i + 1 < out.size(); ++i) CheckDayPair(out[i], out[i + 1]);
  return out;
}

std::vector<CAngleFactorData> MakeAngleRecords(const std::vector<Fold>& folds) {
  std::vector<CAngleFactorData> out;
  // Ids count days, 4777 being 31 December 2009.
  int id = kIdOf31Dec2009 - 364;
  for (int year = kFirstYear; year <= kLastYear; ++year) {
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= DaysInMonth(month, year); ++day) {
        if (year == kLastYear && (month > 1 || day > 1)) return out;
        CAngleFactorData r;
        r.SetId(id++);
        r.SetDate(CQsDateTime(year, month, day, 0, 0, 0));
        for (int c = 0; c < CAngleFactorData::kConstituents; ++c) {
          int a = 0;
          double f = 0.0;
          AngleAndFactor(day, month, year, c, folds, a, f);
          r.SetAngle(c, a);
          r.SetFactor(c, f);
        }
        out.push_back(r);
      }
    }
  }
  return out;
}

std::vector<CPortData> ReadPorts(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Bad(path, "cannot open");
  // Columns of ports.tsv, in order.
  enum {
    kIndex,
    kPortId,
    kArea,
    kKind,
    kZone,
    kLat,
    kLon,
    kZ0,
    kG1,
    kH1,
    kG2,
    kH2,
    kG3,
    kH3,
    kG4,
    kH4,
    kG5,
    kH5,
    kG6,
    kH6,
    kMHWS,
    kMHWN,
    kMLWS,
    kMLWN,
    kName,
    kStation,
    kColumns
  };
  std::vector<CPortData> ports;
  std::string line;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    if (line.empty() || line[0] == '#') continue;
    const std::string where = path + ":" + std::to_string(lineNo);
    const std::vector<std::string> f = Split(line, '\t');
    if (f.size() != kColumns) throw Bad(where, "expected " + std::to_string(kColumns) + " columns");
    CPortData p;
    p.SetIndex(ParseInt(f[kIndex], where));
    if (p.GetIndex() != static_cast<int>(ports.size())) throw Bad(where, "index must equal the record's position");
    p.SetPortId(ParseInt(f[kPortId], where));
    p.SetArea(ParseInt(f[kArea], where));
    p.SetKind(ParseInt(f[kKind], where));
    p.SetTimeZone(ParseInt(f[kZone], where));
    p.SetLatLon(ParseDouble(f[kLat], where), ParseDouble(f[kLon], where));
    p.SetMeanLevel(ParseDouble(f[kZ0], where));
    for (int i = 0; i < CPortData::kPairs; ++i) {
      const int phase = ParseInt(f[kG1 + 2 * i], where);
      if (phase < 0 || phase > 359) throw Bad(where, "phase out of 0-359");
      p.SetConstituent(i, phase, ParseDouble(f[kH1 + 2 * i], where));
    }
    p.SetLevel(CPortData::MHWS, ParseDouble(f[kMHWS], where));
    p.SetLevel(CPortData::MHWN, ParseDouble(f[kMHWN], where));
    p.SetLevel(CPortData::MLWS, ParseDouble(f[kMLWS], where));
    p.SetLevel(CPortData::MLWN, ParseDouble(f[kMLWN], where));
    if (f[kName].empty() || f[kName].size() > 36) throw Bad(where, "name must have 1 to 36 bytes");
    p.SetName(CString(f[kName]));
    p.SetReserved(0);
    ports.push_back(p);
  }
  return ports;
}

std::vector<unsigned char> AngleTableBytes(const std::vector<CAngleFactorData>& records) {
  CMemFile file;
  CAngleFactorDB::WriteTable(file, records);
  return MemFileBytes(file);
}

std::vector<unsigned char> PortTableBytes(const std::vector<CPortData>& records) {
  CMemFile file;
  CPortDB::WriteTable(file, records);
  return MemFileBytes(file);
}

std::vector<unsigned char> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Bad(path, "cannot open");
  return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw Bad(path, "cannot create");
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw Bad(path, "write failed");
}

}  // namespace tablegen
