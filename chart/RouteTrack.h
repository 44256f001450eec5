// The tidal drift of a route: dead reckoning from the first waypoint, every leg steered on its
// planned bearing at the route speed for its planned minutes, with the tidal stream setting the
// boat, sampled every two minutes (and at the end of each leg).
#pragma once

#include "chart/MapRoute.h"
#include "model/TidalStream.h"
#include "platform/ui/AfxWin.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

class CDMLock;

// The stream at a position and a GMT time; rate in metres per second, direction towards.
using ROUTE_STREAM_SOURCE = std::function<TIDAL_STREAM(const CPosition& position, const CQsDateTime& gmt)>;

// The route as the worker needs it, copied on the window thread so the worker never reads a
// route being edited.
struct ROUTE_TRACK_PLAN {
  struct Leg {
    double latitude = 0.0;  // of the leg's first waypoint
    double longitude = 0.0;
    double bearing = 0.0;       // rhumb line to the next waypoint
    int minutes = 0;            // int(miles / speed x 60)
    std::int64_t gmtStart = 0;  // the waypoint's time minus the zone offset, in seconds
    bool validTime = false;
  };
  double speed = 0.0;
  bool hasFirst = false;
  double firstLatitude = 0.0;
  double firstLongitude = 0.0;
  std::vector<Leg> legs;

  static ROUTE_TRACK_PLAN FromRoute(const CMapRoute& route, int zoneOffsetMinutes);
};

// The track; null when cancelled (pbCancelled set) or for a route without waypoints. The
// cancel test is asked before each stream sample.
ROUTE_TRACK_NODE* ComputeRouteTrack(const ROUTE_TRACK_PLAN& plan, const ROUTE_STREAM_SOURCE& stream,
                                    const std::function<bool()>& cancelled, bool* pbCancelled = nullptr);

// The engine's stream at each sample, from the data files as they are found now: nothing
// outside the stream regions, else what CalcStreamAt gives (the engine lock taken per
// sample), without finding the files again each time.
ROUTE_STREAM_SOURCE MakeEngineRouteStream();

// What the worker is given. The worker reads only its plan, so edits of the route never wait
// for it; it is cancelled by moving the generation on, which is done under pDriftLock, so a
// cancelled worker never touches the route after the cancel returns.
struct ROUTE_TRACK_JOB {
  CDMLock* pDriftLock = nullptr;  // "tddrift", around the swap
  const std::atomic<unsigned>* pGeneration = nullptr;
  unsigned generation = 0;  // the job's; cancelled once *pGeneration moves on
  CMapRoute* pRoute = nullptr;
  ROUTE_TRACK_PLAN plan;
  ROUTE_STREAM_SOURCE stream;  // MakeEngineRouteStream when empty
  HWND hNotify = nullptr;      // gets WM_ROUTETRACK_READY
  UINT nNotifyMessage = 0;
};

// The worker's body: runs the job and, unless cancelled, swaps the new track into the route
// and posts the message. TRUE when the track was swapped in.
BOOL RunRouteTrackJob(ROUTE_TRACK_JOB& job);
