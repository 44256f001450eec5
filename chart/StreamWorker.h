// The chart's stream picture, computed off the window thread: the grid of stream arrows (one
// engine prediction per 50-pixel cell) and the tidal-diamond arrows.
//
// Every start takes a new generation number; a run publishes its grid only while its number is
// still the newest, so a cancelled or superseded run never shows. The job is a copy of all the
// run needs: the worker never reads the view. A cancel only moves the number on: the window
// thread never waits for a run to finish its engine call (a busy machine may not schedule the
// worker for tens of milliseconds). Runs take "tdlock" in turn, so a new run starts once the
// cancelled one has seen its cancel.
#pragma once

#include "chart/DMLock.h"
#include "chart/DiamondOnMap.h"
#include "chart/WorkerThreads.h"
#include "model/Position.h"
#include "model/QsDateTime.h"
#include "model/TidalStreamGrid.h"
#include "platform/ui/AfxWin.h"

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>
#include <vector>

class CAngleFactorDB;
class CDiamondDB;
class CPortDB;
class CPrediction;

// Offset of a zone code from GMT in minutes: whole hours -12..12, 13 for "UT (-12:00)", and
// signed hhmm codes for half-hour zones (930 is +9:30, -330 is -3:30). Automatic zones give one
// hour in summer, else none.
int ZoneOffsetMinutes(BOOL bAutomatic, BOOL bSummer, int nZone);

// A cell's stream at a GMT time from the region's data; returns the engine status (0 when the
// stream came back) and fills speed (metres per second) and direction.
using GRID_STREAM_FN = std::function<int(int region, double latitude, double longitude, const CQsDateTime& gmt,
                                         double& speed, double& direction)>;

// The engine's data files: the harmonics grid and each region's file, found once (finding
// the program's folder costs more than a prediction).
struct ENGINE_PATHS {
  std::string harmonics;
  std::string regions[10];  // 1..9; empty for 0
  static ENGINE_PATHS Current();
};

// The engine's stream from those files: the engine lock is held per cell, so the window
// thread's read-out never waits behind a whole grid, and the engine is re-pointed only when
// another caller (or another region) moved it.
int EngineGridStream(const ENGINE_PATHS& paths, int region, double latitude, double longitude, const CQsDateTime& gmt,
                     double& speed, double& direction);
GRID_STREAM_FN MakeEngineGridStream();

struct STREAM_FILL_RESULT {
  bool cancelled = false;
  int predicted = 0;  // cells asked of the engine
  int failed = 0;     // of which the engine refused
  int lastFailStatus = 0;
  int fileStatus = 0;  // the first refusal that means the data files are wrong, 0 for none
};

// True for an engine status that means the data files are missing or unreadable (not just a
// cell without a stream).
bool IsEngineFileStatus(int status);

// Fills the grid's cells at its time minus the zone offset. Cells outside every stream region
// are not predicted (they have no stream). The cancel test is asked before each cell.
STREAM_FILL_RESULT FillStreamGrid(CTidalStreamGrid& grid, int zoneOffsetMinutes, const GRID_STREAM_FN& stream,
                                  const std::function<bool()>& cancelled);

// Reference-port predictions of the diamonds, by port id and date: a prediction of another day
// is never handed out for this one.
class CDiamondPredictionCache {
 public:
  CDiamondPredictionCache();
  ~CDiamondPredictionCache();
  // Null when the port is not in the table or the date (or the day after) is not in the
  // angle/factor table.
  CPrediction* Get(CPortDB& ports, const CAngleFactorDB& factors, int portId, const CQsDateTime& date);
  void Clear();
  size_t GetCount() const { return m_map.size(); }

 private:
  std::map<std::tuple<int, int, int, int>, std::unique_ptr<CPrediction>> m_map;
};

// Hours from the nearest high water of the reference port (GMT) and the spring/neap factor
// (0 neaps .. 1 springs); false when the port has no high water in the three days about the
// date or the date is outside the tables.
bool GetHoursFromHighWater(CDiamondPredictionCache& cache, CPortDB& ports, const CAngleFactorDB& factors,
                           const CQsDateTime& gmt, int portId, double& hours, double& factor);

// The tables and view the diamonds need, copied for the worker.
struct DIAMOND_JOB {
  const CDiamondDB* pDiamonds = nullptr;
  CPortDB* pPorts = nullptr;
  const CAngleFactorDB* pFactors = nullptr;
  CDiamondPredictionCache* pCache = nullptr;  // used only by the stream worker
  int detailLevel = 0;
  std::function<bool(double latitude, double longitude)> visible;
};

// The diamond arrows at the grid's time; false when cancelled (the list is then incomplete).
bool BuildDiamondList(const DIAMOND_JOB& job, const CQsDateTime& gmt, const std::function<bool()>& cancelled,
                      std::vector<DIAMOND_ON_MAP>& out);

struct STREAM_GRID_JOB {
  std::unique_ptr<CTidalStreamGrid> grid;
  int computeGrid = 1;
  int buildDiamondList = 0;
  int zoneOffsetMinutes = 0;
  GRID_STREAM_FN stream;  // the engine (MakeEngineGridStream) when empty
  DIAMOND_JOB diamonds;
  HWND hNotify = nullptr;  // gets nNotifyMessage when the picture is in
  UINT nNotifyMessage = 0;
};

class CStreamWorker {
 public:
  CStreamWorker();
  ~CStreamWorker();
  CStreamWorker(const CStreamWorker&) = delete;
  CStreamWorker& operator=(const CStreamWorker&) = delete;

  // Cancels a running run, drops the shown grid, and starts the job. With bNewDate the
  // reference-port predictions are forgotten before the new run uses them. A job without its
  // own cache uses the worker's.
  void Start(STREAM_GRID_JOB job, BOOL bNewDate = FALSE);
  // The date changed while no run is to follow: the reference-port predictions are forgotten
  // (at once when no run holds them, else before the next run).
  void ForgetPredictions();
  // Cancels a running run without waiting for it (the shown grid stays): it stops at its next
  // cell and publishes nothing.
  void Cancel();
  // Cancels and waits until no run is left (the owner goes).
  void Stop();
  // Waits for every run to end by itself.
  void Wait();
  // Runs not yet ended (cancelled ones finishing their last cell among them).
  int GetLiveRuns() const { return m_threads.GetRunning(); }

  // Reads the shown grid (null while none) under "tdstream".
  void ReadGrid(const std::function<void(const CTidalStreamGrid*)>& read);
  // Drops the shown grid.
  void ClearGrid();
  // Reads the diamond arrows under their lock.
  void ReadDiamonds(const std::function<void(const std::vector<DIAMOND_ON_MAP>&)>& read);

  unsigned GetGeneration() const { return m_generation.load(); }
  // Generation of the shown grid, 0 before any.
  unsigned GetPublishedGeneration() const { return m_published.load(); }
  // Grids published since the worker was made.
  int GetPublishCount() const { return m_nPublished.load(); }
  // What to tell the user about the data files after the last finished run: empty when all
  // was well or when the same fault was told already (it is told again after a good run).
  CString TakeEngineProblem();

 private:
  void Run(STREAM_GRID_JOB job, unsigned generation);

  CDMLock m_runLock{DMLOCK_STREAMRUN};
  CDMLock m_gridLock{DMLOCK_STREAM};
  std::atomic<unsigned> m_generation{0};
  std::atomic<unsigned> m_published{0};
  std::atomic<int> m_nPublished{0};
  std::unique_ptr<CTidalStreamGrid> m_grid;
  CDiamondPredictionCache m_cache;  // used only under "tdlock"
  std::atomic<bool> m_bForgetCache{false};
  std::mutex m_diamondMutex;
  std::vector<DIAMOND_ON_MAP> m_diamonds;
  std::mutex m_resultMutex;
  STREAM_FILL_RESULT m_lastResult;
  int m_nToldStatus = 0;
  CWorkerThreads m_threads;  // last: its runs end before the rest goes
};
