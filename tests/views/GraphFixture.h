// A day of a real port from the embedded tables, pushed into a graph as the frame does, and
// a fake frame for the graph's calls.
#pragma once

#include "app/VxMenu.h"
#include "model/AngleFactorDB.h"
#include "model/PortDB.h"
#include "model/Prediction.h"
#include "views/GraphWnd.h"
#include "views/ViewHost.h"

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

class FakeHost : public IViewHost {
 public:
  CWnd* mainWnd = nullptr;
  VxMenu menu;
  int calculateCalls = 0;
  PortDay* day = nullptr;
  CGraphWnd* graph = nullptr;

  CWnd* GetMainWindow() override { return mainWnd; }
  VxMenu* GetContextMenu() override { return &menu; }
  CQsDateTime GetSelectedDate() const override { return CQsDateTime(2025, 6, 1, 0, 0, 0); }
  CQsDateTime AddDays(const CQsDateTime& d) const override {
    CQsDateTime n(d);
    n.NextDay();
    return n;
  }
  int GetTimeZone() const override { return 0; }
  int GetChosenTimeZone() const override { return 0; }
  BOOL IsAutoTimeZone() const override { return TRUE; }
  BOOL IsUseCurrentTime() const override { return FALSE; }
  BOOL IsFeet() const override { return FALSE; }
  int GetCurrentPort() const override { return 0; }
  CString GetCurrentPortName() const override { return "Port"; }
  CPrediction* GetPrediction() override { return day ? &day->prediction : nullptr; }
  double GetAgroundLevel() const override { return 3.0; }
  void CalculateGraph() override {
    ++calculateCalls;
    if (day && graph) day->Push(*graph);
  }
  void CalculateTable() override {}
  void SelectPort(int) override {}
  BOOL SelectPortByName(LPCTSTR) override { return FALSE; }
  BOOL SelectDay(int) override { return FALSE; }
  BOOL SelectDate(int, int, int) override { return FALSE; }
  void ShowGraphPage() override {}
  void GoNext() override {}
  void GoPrevious() override {}
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
