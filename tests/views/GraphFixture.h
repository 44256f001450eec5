// A day of a real port from the embedded tables, pushed into a graph as the frame does, and
// a fake frame for the graph's calls.
#pragma once

#include "model/AngleFactorDB.h"
#include "model/PortDB.h"
#include "model/Prediction.h"
#include "tests/views/StubViewHost.h"
#include "views/GraphWnd.h"
#include "views/VxMenu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace views_test {

struct PortDay {
  CPortDB ports;
  CAngleFactorDB days;
  CPrediction prediction;
  int zone = 0;
  double dayMax = 0, dayMin = 0;
  TIMEHEIGHT events[4];
  int nEvents = 0;

  // The first port whose name holds the text, else the first with a real range.
  bool Load(const char* name, int year, int month, int day) {
    if (ports.Load() <= 0 || days.Load() <= 0) return false;
    int found = -1;
    for (int i = 0; i < ports.GetCount() && found < 0; ++i)
      if (ports.GetPort(i)->GetName().Find(name) >= 0) found = i;
    for (int i = 0; i < ports.GetCount() && found < 0; ++i)
      if (ports.GetPort(i)->GetMHWS() > 3) found = i;
    if (found < 0) return false;
    prediction.SetPort(*ports.GetPort(found));
    int hint = 0;
    CQsDateTime date(year, month, day, 0, 0, 0), next(date);
    next.NextDay();
    CAngleFactorData today = days.Find(date, hint), tomorrow = days.Find(next, hint);
    prediction.SetAngleFactors(today, tomorrow);
    prediction.ClearCache();
    zone = prediction.GetZoneCode();
    auto range = prediction.CalcDayRange(zone, 0);
    dayMax = range.first;
    dayMin = range.second;
    nEvents = prediction.FindHighLow(zone, 0, events);
    return nEvents > 0 && dayMax > dayMin;
  }

  // What the frame's graph calculation gives the graph.
  void Push(CGraphWnd& g) {
    for (int m = 0; m < 1440; ++m) g.SetPoint(prediction.HeightAt(m, zone, 0), m);
    g.SetMaxHeight(1.1 * dayMax);
    g.SetMinHeight(1.1 * dayMin);
    const CPortData* p = prediction.GetPort();
    g.SetMHWS(p->GetMHWS());
    g.SetMHWN(p->GetMHWN());
    g.SetMLWN(p->GetMLWN());
    g.SetMLWS(p->GetMLWS());
    g.SetTitle(prediction.GetPortName() + " - " + prediction.GetDate().Format("%a %#d %b %Y"));
    g.SetHasData(1);
  }
};

class FakeHost : public StubViewHost {
 public:
  VxMenu menu;
  int calculateCalls = 0;
  PortDay* day = nullptr;
  CGraphWnd* graph = nullptr;

  FakeHost() {
    contextMenu = &menu;
    agroundLevel = 3.0;
  }
  CPrediction* GetPrediction() override { return day ? &day->prediction : nullptr; }
  void CalculateGraph() override {
    ++calculateCalls;
    if (day && graph) day->Push(*graph);
  }
};

// Renders the graph into a picture of the given size, as a paint would.
inline void Render(CGraphWnd& g, int w, int h, CBitmap& out) {
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  out.DeleteObject();
  out.CreateCompatibleBitmap(nullptr, std::max(1, w), std::max(1, h));
  CBitmap* old = dc.SelectObject(&out);
  dc.FillSolidRect(0, 0, w, h, RGB(1, 2, 3));
  g.Draw(&dc, CRect(0, 0, w, h));
  dc.SelectObject(old);
}

}  // namespace views_test
