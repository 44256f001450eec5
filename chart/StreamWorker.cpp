#include "chart/StreamWorker.h"

#include "engine/Ebbcalc32.h"
#include "model/AngleFactorDB.h"
#include "model/DiamondDB.h"
#include "model/EngineLock.h"
#include "model/PortDB.h"
#include "model/Prediction.h"
#include "model/TidalStream.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

int ZoneOffsetMinutes(BOOL bAutomatic, BOOL bSummer, int nZone) {
  if (bAutomatic) return bSummer ? 60 : 0;
  // The last item of the zone menu, "UT (-12:00)", is stored as 13.
  if (nZone == 13) return -12 * 60;
  if (nZone >= -100 && nZone <= 100) return nZone * 60;
  const int h = nZone / 100;
  const int m = std::abs(nZone % 100) != 0 ? 30 : 0;
  return h < 0 ? h * 60 - m : h * 60 + m;
}

ENGINE_PATHS ENGINE_PATHS::Current() {
  ENGINE_PATHS p;
  p.harmonics = GetHarmonicsFilePath();
  for (int r = 1; r <= 9; ++r) p.regions[r] = GetStreamRegionFilePath(r);
  return p;
}

int EngineGridStream(const ENGINE_PATHS& paths, int region, double latitude, double longitude, const CQsDateTime& gmt,
                     double& speed, double& direction) {
  if (region < 1 || region > 9) return EBC_ERR_PATH;
  const std::string& regionFile = paths.regions[region];
  if (regionFile.empty() || paths.harmonics.size() >= kEngineMaxPath || regionFile.size() >= kEngineMaxPath)
    return EBC_ERR_PATH;
  double height = 0.0, u = 0.0, v = 0.0;
  CEngineLock engine;
  if (!engine.IsPointedAt(paths.harmonics, regionFile)) engine.SetHarmonicsFile(paths.harmonics, regionFile);
  return EBC_DoPrediction(EBC_STREAM, 1, &latitude, &longitude, gmt.GetDay(), gmt.GetMonth(), gmt.GetYear(),
                          gmt.GetHour(), gmt.GetMinute(), 0, 0.0, 0.0, &height, &u, &v, &speed, &direction);
}

GRID_STREAM_FN MakeEngineGridStream() {
  return [paths = ENGINE_PATHS::Current()](int region, double latitude, double longitude, const CQsDateTime& gmt,
                                           double& speed, double& direction) {
    return EngineGridStream(paths, region, latitude, longitude, gmt, speed, direction);
  };
}

bool IsEngineFileStatus(int status) {
  switch (status) {
    case EBC_ERR_FILE_OPEN:
    case EBC_ERR_SEEK:
    case EBC_ERR_READ:
    case EBC_ERR_POSITION_CHECK:
    case EBC_ERR_PATH:
    case EBC_ERR_NO_HARMONICS_FILE: return true;
    default: return false;
  }
}

STREAM_FILL_RESULT FillStreamGrid(CTidalStreamGrid& grid, int zoneOffsetMinutes, const GRID_STREAM_FN& stream,
                                  const std::function<bool()>& cancelled) {
  STREAM_FILL_RESULT result;
  CQsDateTime gmt;
  try {
    gmt = CQsDateTime::FromSeconds(grid.GetTime().ToSeconds() - static_cast<std::int64_t>(zoneOffsetMinutes) * 60);
  } catch (CException* e) {
    e->Delete();
    return result;  // no time to predict at: an empty picture
  }
  for (int c = 1; c <= grid.GetCols(); ++c) {
    for (int r = 1; r <= grid.GetRows(); ++r) {
      if (cancelled && cancelled()) {
        result.cancelled = true;
        return result;
      }
      const LATLON centre = grid.GetCellCentre(c, r);
      // Outside every region there is no stream: such a cell is never predicted with
      // whichever region the scan met before it.
      const int region = GetStreamRegion(centre);
      if (region == 0 || !stream) continue;
      double speed = 0.0, direction = 0.0;
      ++result.predicted;
      const int status = stream(region, centre.latitude, centre.longitude, gmt, speed, direction);
      if (status == 0 && std::isfinite(speed) && std::isfinite(direction)) {
        grid.SetStream(speed, direction, c, r);
      } else {
        ++result.failed;
        result.lastFailStatus = status;
        if (!result.fileStatus && IsEngineFileStatus(status)) result.fileStatus = status;
      }
    }
  }
  return result;
}

// ---- Diamonds ----

CDiamondPredictionCache::CDiamondPredictionCache() = default;
CDiamondPredictionCache::~CDiamondPredictionCache() = default;

void CDiamondPredictionCache::Clear() { m_map.clear(); }

CPrediction* CDiamondPredictionCache::Get(CPortDB& ports, const CAngleFactorDB& factors, int portId,
                                          const CQsDateTime& date) {
  const auto key = std::make_tuple(portId, date.GetYear(), date.GetMonth(), date.GetDay());
  auto it = m_map.find(key);
  if (it != m_map.end()) return it->second.get();
  CPortData* port = ports.Lookup(portId);
  if (!port) return nullptr;
  int hint = -1;
  const CAngleFactorData& today = factors.FindDayMonthYear(date.GetDay(), date.GetMonth(), date.GetYear(), hint);
  if (hint < 0) return nullptr;
  CQsDateTime next = date;
  next.NextDay();
  int hintNext = -1;
  const CAngleFactorData& nextDay = factors.FindDayMonthYear(next.GetDay(), next.GetMonth(), next.GetYear(), hintNext);
  if (hintNext < 0) return nullptr;
  if (m_map.size() > 4096) m_map.clear();  // a long session of many dates: start again
  auto prediction = std::make_unique<CPrediction>();
  prediction->SetPort(*port);
  prediction->SetAngleFactors(today, nextDay);
  prediction->ClearCache();
  CPrediction* p = prediction.get();
  m_map.emplace(key, std::move(prediction));
  return p;
}

bool GetHoursFromHighWater(CDiamondPredictionCache& cache, CPortDB& ports, const CAngleFactorDB& factors,
                           const CQsDateTime& gmt, int portId, double& hours, double& factor) {
  std::int64_t midnight = 0;
  try {
    CQsDateTime day = gmt;
    day.SetTime(0, 0, 0);
    midnight = day.ToSeconds();
  } catch (CException* e) {
    e->Delete();
    return false;
  }
  struct Event {
    int minutes;
    double metres;
  };
  std::vector<Event> events;
  const CPortData* record = nullptr;
  for (int k = -1; k <= 1; ++k) {
    const CQsDateTime date = CQsDateTime::FromSeconds(midnight + k * 86400);
    CPrediction* p = cache.Get(ports, factors, portId, date);
    if (!p) {
      if (k == 0) return false;  // the day itself is outside the tables
      continue;
    }
    if (k == 0) record = p->GetPort();
    TIMEHEIGHT hl[4];
    const int n = p->FindHighLow(0, 0, hl);
    for (int i = 0; i < n && i < 4; ++i)
      if (hl[i].minutes >= 0) events.push_back({hl[i].minutes + k * 1440, hl[i].metres});
  }
  if (!record || events.empty()) return false;
  const double mhws = record->GetMHWS(), mhwn = record->GetMHWN(), mlwn = record->GetMLWN();
  const int t = gmt.GetHour() * 60 + gmt.GetMinute();
  bool found = false;
  int bestD = 0;
  double bestHeight = 0.0;
  for (const Event& e : events) {
    const bool high = e.metres >= mhwn || e.metres > (mhwn + mlwn) / 2.0;
    if (!high) continue;
    const int d = t - e.minutes;
    if (!found || std::abs(d) < std::abs(bestD)) {
      found = true;
      bestD = d;
      bestHeight = e.metres;
    }
  }
  if (!found) return false;
  hours = bestD / 60.0;
  const double range = mhws - mhwn;
  // A port whose springs and neaps rise alike gives no factor: take the mean of the two.
  if (!std::isfinite(range) || std::fabs(range) < 1e-6) {
    factor = 0.5;
  } else {
    factor = (bestHeight - mhwn) / range;
    if (!std::isfinite(factor)) factor = 0.5;
    factor = std::clamp(factor, 0.0, 1.0);
  }
  return true;
}

bool BuildDiamondList(const DIAMOND_JOB& job, const CQsDateTime& gmt, const std::function<bool()>& cancelled,
                      std::vector<DIAMOND_ON_MAP>& out) {
  out.clear();
  if (!job.pDiamonds || !job.pPorts || !job.pFactors || !job.pCache) return true;
  for (int i = 0; i < job.pDiamonds->GetCount(); ++i) {
    if (cancelled && cancelled()) return false;
    const CDiamondData* d = job.pDiamonds->GetAt(i);
    if (!d || d->IsEmpty()) continue;
    const double lat = d->GetPosition().GetLatitude(), lon = d->GetPosition().GetLongitude();
    if (job.detailLevel < d->GetMinLevel() || (job.visible && !job.visible(lat, lon))) continue;
    double hours = 0.0, factor = 0.0;
    if (!GetHoursFromHighWater(*job.pCache, *job.pPorts, *job.pFactors, gmt, d->GetReferencePortId(), hours, factor))
      continue;
    const DIAMOND_STREAM s = d->GetStreamAt(hours);
    const double knots = s.neapRate + (s.springRate - s.neapRate) * factor;
    if (!std::isfinite(knots) || !std::isfinite(s.direction)) continue;
    out.push_back({lat, lon, KnotsToMetresPerSecond(knots), s.direction, d->GetNumber(), d->GetName()});
  }
  return true;
}

// ---- The worker ----

CStreamWorker::CStreamWorker() = default;

CStreamWorker::~CStreamWorker() { Stop(); }

void CStreamWorker::Cancel() {
  // A run started before this can no longer publish, even one past its last cell.
  ++m_generation;
}

void CStreamWorker::Stop() {
  ++m_generation;
  Wait();
}

void CStreamWorker::Wait() { m_threads.WaitAll(); }

void CStreamWorker::ForgetPredictions() {
  Cancel();
  // No run holds the cache while "tdlock" is free; else the next run forgets it first.
  if (m_runLock.Lock(0)) {
    m_cache.Clear();
    m_bForgetCache = false;
    m_runLock.Unlock();
  } else {
    m_bForgetCache = true;
  }
}

void CStreamWorker::Start(STREAM_GRID_JOB job, BOOL bNewDate) {
  Cancel();
  if (bNewDate) m_bForgetCache = true;
  if (!job.diamonds.pCache) job.diamonds.pCache = &m_cache;
  const unsigned generation = m_generation.load();
  ClearGrid();
  // A std::function must be copyable: the job goes in a shared box.
  auto box = std::make_shared<STREAM_GRID_JOB>(std::move(job));
  m_threads.Start([this, box, generation]() { Run(std::move(*box), generation); });
}

void CStreamWorker::Run(STREAM_GRID_JOB job, unsigned generation) {
  CDMLockHold run(m_runLock);
  auto cancelled = [this, generation]() { return m_generation.load() != generation; };
  if (cancelled()) return;  // superseded while waiting for the run before it
  if (m_bForgetCache.exchange(false)) m_cache.Clear();
  STREAM_FILL_RESULT result;
  if (job.grid && job.computeGrid)
    result =
        FillStreamGrid(*job.grid, job.zoneOffsetMinutes, job.stream ? job.stream : MakeEngineGridStream(), cancelled);
  if (result.cancelled) return;  // the grid is dropped with the job
  CQsDateTime gmt;
  bool timeOk = job.grid != nullptr;
  if (timeOk) {
    try {
      gmt = CQsDateTime::FromSeconds(job.grid->GetTime().ToSeconds() -
                                     static_cast<std::int64_t>(job.zoneOffsetMinutes) * 60);
    } catch (CException* e) {
      e->Delete();
      timeOk = false;
    }
  }
  {
    CDMLockHold grid(m_gridLock);
    if (cancelled()) return;
    m_grid = std::move(job.grid);
    m_published = generation;
    ++m_nPublished;
  }
  if (job.buildDiamondList) {
    std::vector<DIAMOND_ON_MAP> list;
    if (timeOk && !BuildDiamondList(job.diamonds, gmt, cancelled, list)) return;
    std::lock_guard<std::mutex> lock(m_diamondMutex);
    if (cancelled()) return;
    m_diamonds.swap(list);
  }
  {
    std::lock_guard<std::mutex> lock(m_resultMutex);
    m_lastResult = result;
  }
  if (job.hNotify && job.nNotifyMessage && !cancelled()) ::PostMessage(job.hNotify, job.nNotifyMessage, 0, 0);
}

void CStreamWorker::ReadGrid(const std::function<void(const CTidalStreamGrid*)>& read) {
  CDMLockHold hold(m_gridLock);
  read(m_grid.get());
}

void CStreamWorker::ClearGrid() {
  std::unique_ptr<CTidalStreamGrid> old;
  {
    CDMLockHold hold(m_gridLock);
    old = std::move(m_grid);
  }
}

void CStreamWorker::ReadDiamonds(const std::function<void(const std::vector<DIAMOND_ON_MAP>&)>& read) {
  std::lock_guard<std::mutex> lock(m_diamondMutex);
  read(m_diamonds);
}

CString CStreamWorker::TakeEngineProblem() {
  std::lock_guard<std::mutex> lock(m_resultMutex);
  const int status = m_lastResult.fileStatus;
  if (status == 0) {
    m_nToldStatus = 0;
    return CString();
  }
  if (status == m_nToldStatus) return CString();
  m_nToldStatus = status;
  CString text;
  text.Format(
      "The tidal-stream grid could not be read from the data file \"dlldata.dat\" (engine status %d), "
      "so the chart shows no stream-grid arrows. The tidal diamonds and their streams, from the "
      "program's own table, still show. Installing the program again should bring the file back.",
      status);
  return text;
}
