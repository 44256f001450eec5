// The exported EBC_* functions and the library's one global state.
#include "engine/Ebbcalc32.h"

#include "engine/Astronomy.h"
#include "engine/Calendar.h"
#include "engine/Grid.h"
#include "engine/Synthesis.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr std::size_t kMaxPath = 255;

struct EngineState {
  bool harmonicsSet = false;
  bool extraSet = false;
  bool secondSet = false;
  char harmonicsPath[kMaxPath + 1] = {};
  char extraPath[kMaxPath + 1] = {};
  char secondPath[kMaxPath + 1] = {};
  ebc::GridHeader header;
  ebc::PointData point;

  // The request of the last prediction or query.
  double latitude = 0, longitude = 0;
  int day = 0, month = 0, year = 0, hour = 0, minute = 0, second = 0;
  int mode = 0;
  double datumOffset = 0;
  int lastStatus = 0;

  ebc::DayTable dayCache;
  bool dayCacheHasHeader = false;  // dayCache holds every constituent of header
};

EngineState g_state;

// Stands in for the framework application object of the library: built when the library is
// loaded, and its initialisation clears the day cache.
class CEbbcalcApp {
 public:
  CEbbcalcApp() { InitInstance(); }
  bool InitInstance() {
    g_state.dayCache.dayOfYear = 0;
    g_state.dayCache.year = 0;
    return true;
  }
};

CEbbcalcApp theApp;

// Copies a path of 1 to 255 characters; false for a null, empty or longer one.
bool CopyPath(const char* path, char (&target)[kMaxPath + 1]) {
  if (path == nullptr) return false;
  const std::size_t length = strnlen(path, kMaxPath + 1);
  if (length == 0 || length > kMaxPath) return false;
  std::memcpy(target, path, length);
  target[length] = '\0';
  return true;
}

void StoreRequest(int mode, double latitude, double longitude, int day, int month, int year, int hour, int minute,
                  int second, double datumOffset) {
  g_state.mode = mode;
  g_state.latitude = latitude;
  g_state.longitude = longitude;
  g_state.day = day;
  g_state.month = month;
  g_state.year = year;
  g_state.hour = hour;
  g_state.minute = minute;
  g_state.second = second;
  g_state.datumOffset = datumOffset;
}

int Lookup() {
  ebc::LookupRequest request;
  request.latitude = g_state.latitude;
  request.longitude = g_state.longitude;
  request.mode = g_state.mode;
  request.harmonicsPath = g_state.harmonicsPath;
  request.extraPath = g_state.extraSet ? g_state.extraPath : nullptr;
  return ebc::LoadGridPointConstants(g_state.header, request, g_state.point);
}

bool OutsideGrid(int status) { return status == EBC_ERR_LONGITUDE || status == EBC_ERR_LATITUDE; }

// 9 when a requested quantity is absent at the point.
int CheckQuantities(int flags) {
  if ((flags & EBC_HEIGHT) && (g_state.point.availability & ebc::kNoHeight)) return EBC_ERR_QUANTITY_ABSENT;
  if ((flags & EBC_STREAM) && (g_state.point.availability & ebc::kNoStream)) return EBC_ERR_QUANTITY_ABSENT;
  return EBC_OK;
}

const ebc::DayTable& PrepareRequestDay() {
  const int dayOfYear = ebc::DayOfYear(g_state.day, g_state.month, g_state.year);
  ebc::DayTable& day = g_state.dayCache;
  if (g_state.dayCacheHasHeader && day.dayOfYear != 0 && day.dayOfYear == dayOfYear && day.year == g_state.year)
    return day;
  ebc::PrepareDay(day, dayOfYear, g_state.year, g_state.header.numbers.data(), g_state.header.nconst);
  g_state.dayCacheHasHeader = true;
  return day;
}

}  // namespace

extern "C" {

int EBC_Test1(int year) { return ebc::IsLeapYear(year) ? 1 : 0; }

int EBC_Test2(int x) { return static_cast<int>(static_cast<unsigned>(x) * 3u); }

float EBC_Test3(float x) { return x * 2.5f; }

float* EBC_Test4(float* x) {
  if (x) *x *= 2.5f;
  return x;
}

int EBC_Test0A(void) { return 54321; }

float EBC_Test0B(void) { return 3.1415927f; }

int EBC_DLLVersionInfo(char* buffer) {
  static const char kVersion[] = "EBC Hydrodynamics 32-bit DLL : release 3.000";
  static_assert(sizeof kVersion == 45);
  if (buffer) std::memcpy(buffer, kVersion, sizeof kVersion);
  return EBC_OK;
}

int EBC_Date2DayNum(int day, int month, int year) { return ebc::DayOfYear(day, month, year); }

int EBC_SetHarmonicsFile(const char* harmonicsPath, const char* secondPath) {
  g_state.harmonicsSet = false;
  g_state.extraSet = false;
  g_state.secondSet = false;
  g_state.dayCacheHasHeader = false;  // the header's constituents may change

  if (!CopyPath(secondPath, g_state.secondPath)) return EBC_ERR_PATH;
  g_state.secondSet = true;
  if (!CopyPath(harmonicsPath, g_state.harmonicsPath)) return EBC_ERR_PATH;
  if (ebc::ReadHarmonicsHeader(g_state.harmonicsPath, g_state.header) != 0) return EBC_ERR_FILE_OPEN;
  g_state.harmonicsSet = true;
  return EBC_OK;
}

int EBC_SetXtradataFile(const char* path) {
  if (!g_state.harmonicsSet) return EBC_ERR_NO_HARMONICS_FILE;
  char copy[kMaxPath + 1];
  if (!CopyPath(path, copy)) return EBC_ERR_PATH;
  if (!ebc::OpenExtraFile(copy)) return EBC_ERR_FILE_OPEN;
  std::memcpy(g_state.extraPath, copy, sizeof copy);
  g_state.extraSet = true;
  return EBC_OK;
}

int EBC_DoPrediction(int flags, int mode, double* latitude, double* longitude, int day, int month, int year, int hour,
                     int minute, int second, double datumOffset, double pressure, double* height, double* u, double* v,
                     double* speed, double* direction) {
  if (!g_state.harmonicsSet) return EBC_ERR_NO_HARMONICS_FILE;
  if (flags < 0 || flags > 3) return EBC_ERR_FLAGS;

  g_state.lastStatus = EBC_OK;
  StoreRequest(mode, *latitude, *longitude, day, month, year, hour, minute, second, datumOffset);
  const int status = Lookup();
  if (mode == 0 && !OutsideGrid(status)) {
    *latitude = g_state.point.gridLatitude;
    *longitude = g_state.point.gridLongitude;
  }
  if (status > 0) return status;
  g_state.lastStatus = status;
  const int absent = CheckQuantities(flags);
  if (absent != EBC_OK) return absent;

  if (flags == 0) return g_state.lastStatus;
  const ebc::DayTable& dayTable = PrepareRequestDay();
  const double hours = ebc::HoursOfDay(hour, minute, second);
  const bool wantHeight = (flags & EBC_HEIGHT) && height;
  const bool wantStream = (flags & EBC_STREAM) != 0;
  double h = 0, su = 0, sv = 0;
  ebc::SumAt(g_state.header, g_state.point, dayTable, hours, datumOffset, wantHeight, wantStream, h, su, sv);
  if (wantHeight) {
    ebc::ApplyPressureCorrection(h, pressure);
    *height = h;
  }
  if (wantStream) {
    if (u) *u = su;
    if (v) *v = sv;
    if (speed) {
      double sp = 0, dir = 0;
      ebc::SpeedAndDirection(su, sv, sp, dir);
      *speed = sp;
      if (direction) *direction = dir;
    }
  }
  return g_state.lastStatus;
}

int EBC_DoSeriesPrediction(int flags, int mode, double* latitude, double* longitude, int day, int month, int year,
                           int hour, int minute, int second, double datumOffset, double pressure, int count,
                           int stepMinutes, double* heights, double* us, double* vs, double* speeds,
                           double* directions) {
  if (!g_state.harmonicsSet) return EBC_ERR_NO_HARMONICS_FILE;
  if (flags < 0 || flags > 3) return EBC_ERR_FLAGS;

  g_state.lastStatus = EBC_OK;
  StoreRequest(mode, *latitude, *longitude, day, month, year, hour, minute, second, datumOffset);
  const int status = Lookup();
  if (mode == 0 && !OutsideGrid(status)) {
    *latitude = g_state.point.gridLatitude;
    *longitude = g_state.point.gridLongitude;
  }
  if (status > 0) return status;
  g_state.lastStatus = status;
  const int absent = CheckQuantities(flags);
  if (absent != EBC_OK) return absent;

  const bool wantHeights = (flags & EBC_HEIGHT) != 0;
  const bool wantStreams = (flags & EBC_STREAM) != 0;
  if (!wantHeights && !wantStreams) return g_state.lastStatus;

  // Within one date the sums come from rotating phasors; a new date (or the first step)
  // takes that day's astronomy and starts the phasors afresh.
  static ebc::SeriesSynthesizer synth;
  synth.prepare(g_state.header, g_state.point, stepMinutes * 0.016666666666666666, wantHeights, wantStreams);
  int seededDay = 0, seededMonth = 0, seededYear = 0;
  bool seeded = false;
  for (int i = 0; i < count; ++i) {
    if (!seeded || g_state.day != seededDay || g_state.month != seededMonth || g_state.year != seededYear) {
      const ebc::DayTable& dayTable = PrepareRequestDay();
      synth.startDay(dayTable, ebc::HoursOfDay(g_state.hour, g_state.minute, g_state.second));
      seeded = true;
      seededDay = g_state.day;
      seededMonth = g_state.month;
      seededYear = g_state.year;
    }
    double sh = 0, su = 0, sv = 0;
    synth.next(&sh, &su, &sv);
    if (wantHeights && heights) {
      double h = g_state.point.z0 + datumOffset + sh;
      ebc::ApplyPressureCorrection(h, pressure);
      heights[i] = h;
    }
    if (wantStreams) {
      su += g_state.point.u0;
      sv += g_state.point.v0;
      if (us) us[i] = su;
      if (vs) vs[i] = sv;
      if (speeds && directions) ebc::SpeedAndDirection(su, sv, speeds[i], directions[i]);
    }
    ebc::StepDateTime(g_state.year, g_state.month, g_state.day, g_state.hour, g_state.minute, stepMinutes);
  }
  return g_state.lastStatus;
}

int EBC_GetHarmonicConstants(int mode, double* latitude, double* longitude, double* m2, double* s2, double* o1,
                             double* k1) {
  if (!g_state.harmonicsSet) return EBC_ERR_NO_HARMONICS_FILE;
  g_state.lastStatus = EBC_OK;
  StoreRequest(mode, *latitude, *longitude, 0, 0, 0, 0, 0, 0, 0.0);
  const int status = Lookup();
  if (mode == 0 && !OutsideGrid(status)) {
    *latitude = g_state.point.gridLatitude;
    *longitude = g_state.point.gridLongitude;
  }
  if (status > 0) return status;
  g_state.lastStatus = status;

  const int wanted[4] = {ebc::kM2, ebc::kS2, ebc::kO1, ebc::kK1};
  double* targets[4] = {m2, s2, o1, k1};
  const ebc::PointConstants& c = ebc::PointAmplitudes(g_state.point, g_state.header.nconst);
  for (int k = 0; k < 4; ++k) {
    double* out = targets[k];
    if (!out) continue;
    int index = -1;
    for (int i = 0; i < g_state.header.nconst; ++i) {
      if (g_state.header.numbers[i] == wanted[k]) {
        index = i;
        break;
      }
    }
    if (index < 0) {
      for (int j = 0; j < 6; ++j) out[j] = -999.99;
      continue;
    }
    const double values[6] = {c.heightAmp[index], c.heightPhase[index], c.uAmp[index],
                              c.uPhase[index],    c.vAmp[index],        c.vPhase[index]};
    for (int j = 0; j < 6; ++j) {
      const bool isPhase = (j % 2) == 1;
      out[j] = (isPhase && values[j] < 0) ? values[j] + 360.0 : values[j];
    }
  }
  return g_state.lastStatus;
}

int EBC_ModelDomain(double* east, double* west, double* north, double* south, int which) {
  if (!g_state.harmonicsSet) return EBC_ERR_NO_HARMONICS_FILE;
  if (which != 0) return EBC_ERR_FLAGS;
  const ebc::GridHeader& h = g_state.header;
  if (west) *west = h.west;
  if (north) *north = h.north;
  if (east) *east = h.east();
  if (south) *south = h.south();
  return EBC_OK;
}

int EBC_GetExtraData(double* latitude, double* longitude, int index, double* result) {
  if (!g_state.extraSet) return EBC_ERR_NO_EXTRA_FILE;
  const int range = ebc::CheckRange(g_state.header, *latitude, *longitude);
  if (range != 0) return range;
  if (index < 0 || index > 15) return EBC_ERR_FLAGS;
  const ebc::GridCell cell = ebc::PositionToGridCell(g_state.header, *latitude, *longitude);
  std::array<double, 16> block{};
  const int status = ebc::ReadExtraBlock(g_state.header, g_state.extraPath, cell, block);
  if (status != 0) return status;
  double value = block[static_cast<std::size_t>(index)];
  if (index >= 2 && index <= 4) value = ebc::ExtraValue(value);
  if (result) *result = value;
  return EBC_OK;
}

int EBC_CheckIfValidLocation(double latitude, double longitude) {
  if (!g_state.harmonicsSet) return EBC_ERR_NO_HARMONICS_FILE;
  return ebc::CheckGridPoint(g_state.header, g_state.harmonicsPath, latitude, longitude);
}

}  // extern "C"
