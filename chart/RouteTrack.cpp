#include "chart/RouteTrack.h"

#include "chart/DMLock.h"
#include "chart/StreamWorker.h"
#include "platform/ui/AfxWin.h"

#include <cmath>

ROUTE_TRACK_PLAN ROUTE_TRACK_PLAN::FromRoute(const CMapRoute& route, int zoneOffsetMinutes) {
  ROUTE_TRACK_PLAN plan;
  plan.speed = route.GetSpeed();
  const CRoutePoint* first = route.GetFirstPoint();
  if (!first) return plan;
  plan.hasFirst = true;
  plan.firstLatitude = first->GetLatitude();
  plan.firstLongitude = first->GetLongitude();
  for (const CRoutePoint* w = first; w && w->GetNext(); w = w->GetNext()) {
    Leg leg;
    leg.latitude = w->GetLatitude();
    leg.longitude = w->GetLongitude();
    leg.bearing = w->GetLegBearing();
    const double minutes = w->GetLegDistance() / plan.speed * 60.0;
    leg.minutes = std::isfinite(minutes) && minutes >= 0.0 && minutes < 1.0e7 ? static_cast<int>(minutes) : 0;
    try {
      leg.gmtStart = w->GetTime().ToSeconds() - static_cast<std::int64_t>(zoneOffsetMinutes) * 60;
      leg.validTime = true;
    } catch (CException* e) {
      e->Delete();  // no time for the stream: the leg is sailed without it
    }
    plan.legs.push_back(leg);
  }
  return plan;
}

ROUTE_TRACK_NODE* ComputeRouteTrack(const ROUTE_TRACK_PLAN& plan, const ROUTE_STREAM_SOURCE& stream,
                                    const std::function<bool()>& cancelled, bool* pbCancelled) {
  if (pbCancelled) *pbCancelled = false;
  if (!plan.hasFirst) return nullptr;
  ROUTE_TRACK_NODE* head = nullptr;
  ROUTE_TRACK_NODE* tail = nullptr;
  auto append = [&](const CPosition& at) {
    auto* n = new ROUTE_TRACK_NODE{at.GetLatitude(), at.GetLongitude(), nullptr};
    (tail ? tail->next : head) = n;
    tail = n;
  };
  CPosition p(plan.firstLatitude, plan.firstLongitude);
  for (const ROUTE_TRACK_PLAN::Leg& leg : plan.legs) {
    if (!head) append(CPosition(leg.latitude, leg.longitude));
    int last = 0;
    for (int i = 1; i <= leg.minutes; ++i) {
      if (i % 2 != 0 && i != leg.minutes) continue;
      if (cancelled && cancelled()) {
        CMapRoute::FreeTrackNodes(head);
        if (pbCancelled) *pbCancelled = true;
        return nullptr;
      }
      // The sample of step i is taken at minute i - 1 of the leg.
      TIDAL_STREAM s;
      if (leg.validTime && stream)
        s = stream(p, CQsDateTime::FromSeconds(leg.gmtStart + static_cast<std::int64_t>(i - 1) * 60));
      const double minutes = i - last;
      p.MoveBy(leg.bearing, plan.speed, minutes);
      if (std::isfinite(s.rate) && std::isfinite(s.direction) && s.rate != 0.0)
        p.MoveBy(s.direction, MetresPerSecondToKnots(s.rate), minutes);
      append(p);
      last = i;
    }
  }
  return head;
}

ROUTE_STREAM_SOURCE MakeEngineRouteStream() {
  const GRID_STREAM_FN engine = MakeEngineGridStream();
  return [engine](const CPosition& position, const CQsDateTime& gmt) {
    TIDAL_STREAM s;
    const LATLON at = position.GetLatLon();
    const int region = GetStreamRegion(at);
    if (region == 0) return s;
    double speed = 0.0, direction = 0.0;
    if (engine(region, at.latitude, at.longitude, gmt, speed, direction) == 0) {
      s.rate = speed;
      s.direction = direction;
    }
    return s;
  };
}

BOOL RunRouteTrackJob(ROUTE_TRACK_JOB& job) {
  auto cancelled = [&job]() { return job.pGeneration->load() != job.generation; };
  bool wasCancelled = false;
  ROUTE_TRACK_NODE* track =
      ComputeRouteTrack(job.plan, job.stream ? job.stream : MakeEngineRouteStream(), cancelled, &wasCancelled);
  if (wasCancelled) return FALSE;  // the route keeps the track it had
  ROUTE_TRACK_NODE* old = track;
  bool swapped = false;
  {
    CDMLockHold drift(*job.pDriftLock);
    // Cancelled after the last sample: the route may be gone already.
    if (!cancelled()) {
      old = job.pRoute->SwapTrack(track);
      swapped = true;
    }
  }
  CMapRoute::FreeTrackNodes(old);
  if (!swapped) return FALSE;
  if (job.hNotify && job.nNotifyMessage) ::PostMessage(job.hNotify, job.nNotifyMessage, 0, 0);
  return TRUE;
}
