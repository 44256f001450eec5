// Synthesises the tidal-diamond table "#294" from the tidal-stream grid, so that diamonds and
// stream arrows agree by construction. Diamonds sit on a layered lattice by detail level
// (level 1 every degree down to level 5 every 0.1 degree where streams are strong), only where
// the grid has streams; each takes the nearest standard port of the port table as reference
// port, and 13 hourly flows from six hours before to six hours after that port's high water on
// a spring day and on a neap day (March 2012), predicted by the engine from the grid.
//
// Usage: neapwise-diamondgen --grid dlldata.dat --ports 179.bin --out 294.bin
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "engine/Ebbcalc32.h"
#include "model/DiamondDB.h"
#include "model/PortDB.h"

namespace {

constexpr double kKnots = 1.94384449;

struct Box {
  double s, n, w, e;
};
// The stream boxes the chart asks the engine in.
const Box kBoxes[] = {{48.16667, 51.0556, -11.75, 0.25},       {49.38889, 53.27778, -0.08333, 5.41667},
                      {50.83333, 55.05556, -11.75, -2.75},     {53.16667, 56.83333, -3.58333, 8.91667},
                      {54.83333, 59.94444, 8.75, 12.75},       {54.94444, 59.61111, -11.75, -4.25},
                      {56.61111, 59.61111, -4.41667, 8.91667}, {59.38889, 62.83333, -11.75, -4.25},
                      {59.38889, 62.83333, -4.41667, 7.25}};

bool InStreamBox(double lat, double lon) {
  for (const Box& b : kBoxes)
    if (lat >= b.s && lat <= b.n && lon >= b.w && lon <= b.e) return true;
  return false;
}

double Km(double lat1, double lon1, double lat2, double lon2) {
  const double k = M_PI / 180;
  const double a = std::pow(std::sin((lat2 - lat1) * k / 2), 2) +
                   std::cos(lat1 * k) * std::cos(lat2 * k) * std::pow(std::sin((lon2 - lon1) * k / 2), 2);
  return 2 * 6371.0 * std::asin(std::sqrt(std::min(1.0, a)));
}

// Minutes from 1 March 2012 00:00 UT to a date and time (March only, which is all we use).
void AtMinutes(long minutes, int& day, int& hour, int& minute) {
  day = 1 + static_cast<int>(minutes / 1440);
  hour = static_cast<int>(minutes % 1440 / 60);
  minute = static_cast<int>(minutes % 60);
}

bool Stream(double lat, double lon, long minutes, double& speed, double& direction) {
  int day, hour, minute;
  AtMinutes(minutes, day, hour, minute);
  double h = 0, u = 0, v = 0;
  return EBC_DoPrediction(2, 1, &lat, &lon, day, 3, 2012, hour, minute, 0, 0.0, 0.0, &h, &u, &v, &speed, &direction) ==
         0;
}

// High waters of the grid's tide at a place over a window: (minute, height) pairs.
std::vector<std::pair<long, double>> HighWaters(double lat, double lon, long from, int count) {
  std::vector<double> hs(count), us(count), vs(count), sp(count), dir(count);
  int day, hour, minute;
  AtMinutes(from, day, hour, minute);
  std::vector<std::pair<long, double>> out;
  if (EBC_DoSeriesPrediction(1, 1, &lat, &lon, day, 3, 2012, hour, minute, 0, 0.0, 0.0, count, 6, hs.data(), us.data(),
                             vs.data(), nullptr, nullptr) > 0)
    return out;
  for (int i = 1; i + 1 < count; ++i)
    if (hs[i] > hs[i - 1] && hs[i] >= hs[i + 1]) out.push_back({from + 6L * i, hs[i]});
  return out;
}

struct RefPort {
  int portId;
  double lat, lon;  // where the grid gives its tide
  long springHw, neapHw;
};

}  // namespace

int main(int argc, char** argv) {
  std::string grid, ports, out;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--grid"))
      grid = argv[i + 1];
    else if (!std::strcmp(argv[i], "--ports"))
      ports = argv[i + 1];
    else if (!std::strcmp(argv[i], "--out"))
      out = argv[i + 1];
  }
  if (grid.empty() || ports.empty() || out.empty()) {
    std::fprintf(stderr, "usage: neapwise-diamondgen --grid dlldata.dat --ports 179.bin --out 294.bin\n");
    return 2;
  }
  std::ifstream in(ports, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  CPortDB db(bytes.data(), bytes.size());
  if (bytes.empty() || !db.Load()) {
    std::fprintf(stderr, "cannot read the port table %s\n", ports.c_str());
    return 1;
  }
  if (EBC_SetHarmonicsFile(grid.c_str(), "rg1.dat") != 0) {
    std::fprintf(stderr, "cannot read the grid %s\n", grid.c_str());
    return 1;
  }

  // Standard ports where the grid has a tide (at the port or the nearest sea node), with their
  // spring and neap high waters.
  std::vector<RefPort> refs;
  for (int i = 0; i < db.GetCount(); ++i) {
    const CPortData* p = db.GetPort(i);
    if (p->GetKind() != 2) continue;
    double bestLat = 0, bestLon = 0, best = 1e9;
    for (int dr = -1; dr <= 1; ++dr)
      for (int dc = -1; dc <= 1; ++dc) {
        const double la = p->GetLatitude() + dr / 18.0, lo = p->GetLongitude() + dc / 12.0;
        const double d = Km(la, lo, p->GetLatitude(), p->GetLongitude());
        if (EBC_CheckIfValidLocation(la, lo) == 0 && d < best) {
          best = d;
          bestLat = la;
          bestLon = lo;
        }
      }
    if (best > 15) continue;
    // Springs follow the full moon of 8 March 2012; neaps the last quarter of 15 March.
    auto spring = HighWaters(bestLat, bestLon, 8 * 1440L, 4 * 240);
    auto neap = HighWaters(bestLat, bestLon, 15 * 1440L, 3 * 240);
    if (spring.empty() || neap.empty()) continue;
    RefPort r{p->GetPortId(), bestLat, bestLon, spring[0].first, neap[0].first};
    double hi = -1e9, lo = 1e9;
    for (auto& [t, h] : spring)
      if (h > hi) {
        hi = h;
        r.springHw = t;
      }
    for (auto& [t, h] : neap)
      if (h < lo) {
        lo = h;
        r.neapHw = t;
      }
    refs.push_back(r);
  }
  std::fprintf(stderr, "%zu standard ports with a tide in the grid\n", refs.size());
  if (refs.empty()) return 1;

  const double spacing[] = {1.0, 0.5, 0.25, 0.15, 0.1};
  const double minSpring[] = {0.0, 0.0, 0.0, 0.5, 0.75};  // m/s: finer levels only in strong streams
  std::vector<CDiamondData> diamonds;
  std::vector<std::pair<double, double>> placed;
  std::map<int, int> lettersUsed;
  int perLevel[5] = {};
  for (int level = 1; level <= 5; ++level) {
    const double sp = spacing[level - 1];
    for (double lat = std::ceil(48.16667 / sp) * sp; lat <= 62.83333; lat += sp) {
      for (double lon = std::ceil(-11.75 / sp) * sp; lon <= 12.75; lon += sp) {
        const double la = std::round(lat * 1000) / 1000, lo = std::round(lon * 1000) / 1000;
        if (!InStreamBox(la, lo)) continue;
        bool tooClose = false;
        for (auto& [pl, po] : placed)
          if (std::fabs(pl - la) < 0.6 * sp && std::fabs(po - lo) < 0.6 * sp / std::cos(la * M_PI / 180)) {
            tooClose = true;
            break;
          }
        if (tooClose) continue;
        double sTest = 0, dTest = 0;
        if (!Stream(la, lo, 9 * 1440L, sTest, dTest)) continue;
        const RefPort* ref = nullptr;
        double best = 1e9;
        for (const RefPort& r : refs) {
          const double d = Km(la, lo, r.lat, r.lon);
          if (d < best) {
            best = d;
            ref = &r;
          }
        }
        CDiamondData d;
        bool ok = true;
        double peak = 0;
        for (int h = -6; h <= 6 && ok; ++h) {
          double s = 0, dir = 0, sn = 0, dn = 0;
          ok = Stream(la, lo, ref->springHw + 60L * h, s, dir) && Stream(la, lo, ref->neapHw + 60L * h, sn, dn);
          peak = std::max(peak, s);
          if (ok)
            d.AddFlow(h, std::fmod(std::round(dir), 360.0), std::round(s * kKnots * 10) / 10,
                      std::round(sn * kKnots * 10) / 10);
        }
        if (!ok || peak < minSpring[level - 1]) continue;
        const int n = lettersUsed[ref->portId]++;
        const char letter = n < 26   ? static_cast<char>('A' + n)
                            : n < 52 ? static_cast<char>('a' + n - 26)
                                     : static_cast<char>('0' + n % 10);
        d.SetMinLevel(level);
        d.SetNumber(static_cast<int>(diamonds.size()) + 1);
        d.SetReferencePortId(ref->portId);
        d.SetPosition(CPosition(la, lo));
        d.SetName(CString(std::string(1, letter).c_str()));
        diamonds.push_back(d);
        placed.push_back({la, lo});
        ++perLevel[level - 1];
      }
    }
  }
  CFile file;
  if (!file.Open(out.c_str(), CFile::modeCreate | CFile::modeWrite)) {
    std::fprintf(stderr, "cannot write %s\n", out.c_str());
    return 1;
  }
  CDiamondDB::WriteTable(file, diamonds);
  file.Close();
  std::fprintf(stderr, "%zu diamonds (levels 1-5: %d %d %d %d %d) written to %s\n", diamonds.size(), perLevel[0],
               perLevel[1], perLevel[2], perLevel[3], perLevel[4], out.c_str());
  return 0;
}
