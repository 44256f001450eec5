#include "model/TidalStream.h"

#include "engine/Ebbcalc32.h"
#include "model/EngineLock.h"
#include "platform/core/AfxFolders.h"

#include <cstdio>
#include <mutex>
#include <set>

namespace {

struct REGION_BOX {
  double latFrom, latTo, lonFrom, lonTo;
};

// Tested in this order: the first box that holds a position gives its region.
constexpr REGION_BOX kRegions[9] = {
    {48.16667, 51.0556, -11.75, 0.25},       {49.38889, 53.27778, -0.08333, 5.41667},
    {50.83333, 55.05556, -11.75, -2.75},     {53.16667, 56.83333, -3.58333, 8.91667},
    {54.83333, 59.94444, 8.75, 12.75},       {54.94444, 59.61111, -11.75, -4.25},
    {56.61111, 59.61111, -4.41667, 8.91667}, {59.38889, 62.83333, -11.75, -4.25},
    {59.38889, 62.83333, -4.41667, 7.25},
};

// The route worker asks every two minutes of a passage: say each refused path once, not each time.
void ReportOnce(const std::string& message) {
  static std::mutex mutex;
  static std::set<std::string> said;
  std::lock_guard<std::mutex> lock(mutex);
  if (said.insert(message).second) std::fprintf(stderr, "Neapwise: %s\n", message.c_str());
}

// Looked up on every call: the folder can be overridden while the program runs (tests do).
std::string DataFolder() {
  std::string folder = AfxGetDataFolder().GetStdString();
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

}  // namespace

int GetStreamRegion(const LATLON& position) {
  for (int i = 0; i < 9; ++i) {
    const REGION_BOX& box = kRegions[i];
    if (position.latitude >= box.latFrom && position.latitude <= box.latTo && position.longitude >= box.lonFrom &&
        position.longitude <= box.lonTo)
      return i + 1;
  }
  return 0;
}

CString GetStreamRegionFile(int region) {
  if (region < 1 || region > 9) return CString();
  char name[16];
  std::snprintf(name, sizeof name, "/rg%d.dat", region);
  return CString(name);
}

std::string GetHarmonicsFilePath() { return DataFolder() + "/dlldata.dat"; }

std::string GetStreamRegionFilePath(int region) {
  const CString file = GetStreamRegionFile(region);
  if (file.IsEmpty()) return std::string();
  return DataFolder() + file.GetStdString();
}

TIDAL_STREAM CalcStreamAt(const CPosition& position, const CQsDateTime& time, STREAM_DIAGNOSTIC* diagnostic) {
  STREAM_DIAGNOSTIC local;
  STREAM_DIAGNOSTIC& why = diagnostic ? *diagnostic : local;
  why = STREAM_DIAGNOSTIC();
  TIDAL_STREAM stream;

  double latitude = position.GetLatitude();
  double longitude = position.GetLongitude();
  why.region = GetStreamRegion({latitude, longitude});
  if (why.region == 0) {
    why.message = "outside the tidal-stream regions";
    return stream;
  }

  // Everything but the engine calls happens before the lock is taken.
  const std::string harmonics = GetHarmonicsFilePath();
  const std::string regionFile = GetStreamRegionFilePath(why.region);
  for (const std::string* path : {&harmonics, &regionFile}) {
    // The engine keeps paths in 256-byte buffers; a cut path would name another file.
    if (path->size() >= kEngineMaxPath) {
      why.status = EBC_ERR_PATH;
      why.message = "tidal-stream data path too long (" + std::to_string(path->size()) +
                    " bytes, the engine takes fewer than 256): " + *path;
      ReportOnce(why.message);
      return stream;
    }
  }

  double height = 0.0, u = 0.0, v = 0.0, speed = 0.0, direction = 0.0;
  int setStatus;
  {
    CEngineLock engine;
    // Without its files the prediction fails by itself (status 11); the set status only
    // words the message.
    setStatus = engine.SetHarmonicsFile(harmonics, regionFile);
    why.engineCalled = true;
    why.status = EBC_DoPrediction(EBC_STREAM, 1, &latitude, &longitude, time.GetDay(), time.GetMonth(), time.GetYear(),
                                  time.GetHour(), time.GetMinute(), 0, 0.0, 0.0, &height, &u, &v, &speed, &direction);
  }

  // Only a clean interpolation counts; a cell with missing corners gives no stream.
  if (why.status == EBC_OK) {
    stream.rate = speed;
    stream.direction = direction;
  } else if (setStatus != EBC_OK) {
    why.message = "tidal-stream data file cannot be read: " + harmonics;
    ReportOnce(why.message);
  } else {
    why.message = "no tidal stream here (engine status " + std::to_string(why.status) + ")";
  }
  return stream;
}
