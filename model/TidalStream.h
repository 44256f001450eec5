// The tidal stream at a position, from the prediction engine, and the boxes the engine covers.
#pragma once

#include "model/Position.h"
#include "model/QsDateTime.h"

#include <string>

// Rate in metres per second and direction in degrees true (towards which the stream runs);
// both 0.0 when no stream is available.
struct TIDAL_STREAM {
  double rate = 0.0;
  double direction = 0.0;
};

// Stream region 1..9 of the first box holding the position (bounds inclusive), 0 outside them all.
int GetStreamRegion(const LATLON& position);

// "/rg1.dat" .. "/rg9.dat", to be appended to the data folder; empty for any other region.
CString GetStreamRegionFile(int region);

// The engine refuses paths of this many bytes or more.
constexpr size_t kEngineMaxPath = 256;

// Full paths of the engine's data files: "dlldata.dat" in the program's data folder, and the
// region file beside it.
std::string GetHarmonicsFilePath();
std::string GetStreamRegionFilePath(int region);

// Why CalcStreamAt gave what it gave.
struct STREAM_DIAGNOSTIC {
  int region = 0;             // stream region of the position
  bool engineCalled = false;  // false outside every region and for refused paths
  int status = 0;             // engine status of the prediction; EBC_ERR_PATH for a refused path
  std::string message;        // empty when the stream came back
};

// The stream at a position and time (passed to the engine as given, so in the time base of the
// harmonic constants). Takes the engine lock around its engine calls; nothing else is locked.
TIDAL_STREAM CalcStreamAt(const CPosition& position, const CQsDateTime& time, STREAM_DIAGNOSTIC* diagnostic = nullptr);
