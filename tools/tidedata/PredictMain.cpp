// neapwise-predict: the program's own tide predictions for a port, through CPrediction exactly
// as the program computes them (the same tables, the same per-day angle/factor records, the
// same high/low-water finder).
//
//   neapwise-predict --list
//   neapwise-predict (--port ID | --index N | --name TEXT)... --from YYYY-MM-DD [--to YYYY-MM-DD]
//                    [--zone CODE] [--summer on|off|auto] [--step MINUTES] [--raw]
//                    [--tables DIR]
//
// Several ports (the options repeated, in any mix) are predicted one after the other in one
// run, each from its own "#" line, so that a caller going over many ports pays for the start
// and the tables once.
//
// Times are local times of the display zone (the port's own zone code unless --zone is given);
// with --summer auto the port's summer-time rule decides day by day, as the program does when
// the user's summer-time option is on. --step adds the height every that many minutes.
// --tables reads 178.bin and 179.bin from DIR instead of the tables built into the program.
// Output lines:
//   HW|LW  YYYY-MM-DD HH:MM  metres          (--raw: "E minute H|L metres")
//   H      YYYY-MM-DD HH:MM  metres          (--raw: "S metres")
// In --raw output a minute counts the real minutes from 00:00 of the first day in the display
// zone (a change of summer time makes a day 23 or 25 hours long).
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "model/AngleFactorDB.h"
#include "model/LocalDay.h"
#include "model/MonthlyPrediction.h"
#include "model/PortDB.h"
#include "model/Prediction.h"
#include "model/QsDateTime.h"
#include "model/SummerTime.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: neapwise-predict --list [--tables DIR]\n"
               "       neapwise-predict (--port ID | --index N | --name TEXT)... --from YYYY-MM-DD\n"
               "                        [--to YYYY-MM-DD] [--zone CODE] [--summer on|off|auto]\n"
               "                        [--step MINUTES] [--raw] [--tables DIR]\n");
  return 2;
}

bool ParseDate(const char* text, int& y, int& m, int& d) {
  if (std::sscanf(text, "%d-%d-%d", &y, &m, &d) != 3) return false;
  return y >= 1900 && y <= 2100 && m >= 1 && m <= 12 && d >= 1 && d <= DaysInMonth(m, y);
}

std::vector<unsigned char> ReadAll(const std::string& path) {
  std::vector<unsigned char> bytes;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    unsigned char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
    std::fclose(f);
  }
  return bytes;
}

void NextDay(int& y, int& m, int& d) {
  if (++d > DaysInMonth(m, y)) {
    d = 1;
    if (++m > 12) {
      m = 1;
      ++y;
    }
  }
}

}  // namespace

namespace {

// One port's days from y0-m0-d0 to y1-m1-d1, its "#" line first. 0, or 1 for a day outside the
// table.
int PredictPort(const CAngleFactorDB* angles, const CPortData* port, int zone, const std::string& summerMode, int step,
                bool raw, int y0, int m0, int d0, int y1, int m1, int d1) {
  CQsDateTime first, last;
  angles->GetFirstDate(first);
  angles->GetLastDate(last);
  std::printf("# %d\t%s\tzone %d\tsummer %s\ttable %04d-%02d-%02d to %04d-%02d-%02d\n", port->GetPortId(),
              port->GetName().GetString(), zone, summerMode.c_str(), first.GetYear(), first.GetMonth(), first.GetDay(),
              last.GetYear(), last.GetMonth(), last.GetDay());

  // The day printed and the day before it (no month of predictions): the midnight between them
  // is the day before's to decide, as in the program's table, so an extreme there is printed once.
  std::unique_ptr<CPrediction[]> days(new CPrediction[2]);
  CPrediction* before = &days[0];
  CPrediction* prediction = &days[1];
  before->SetPort(*port);
  prediction->SetPort(*port);
  int hint = -1, nextHint = -1;
  int y = y0, m = m0, d = d0;
  long dayIndex = 0;
  long long dayStart = 0;  // minutes from the first local midnight
  const int rule = port->GetArea() > INT_MIN ? port->GetArea() - 1 : INT_MIN;
  for (;;) {
    const CAngleFactorData& today = angles->FindDayMonthYear(d, m, y, hint);
    int ny = y, nm = m, nd = d;
    NextDay(ny, nm, nd);
    nextHint = hint < 0 ? -1 : hint + 1;
    const CAngleFactorData& next = angles->FindDayMonthYear(nd, nm, ny, nextHint);
    if (hint < 0 || nextHint < 0) {
      std::fprintf(stderr, "neapwise-predict: %04d-%02d-%02d is outside the table\n", y, m, d);
      return 1;
    }
    prediction->SetAngleFactors(today, next);
    prediction->ClearCache();
    // The day as the zone's clock runs: with --summer auto, 23 or 25 hours on a change day.
    auto localDay = [&](int dd, int mm, int yy) {
      return summerMode == "auto" ? CLocalDay(dd, mm, yy, zone, rule, 1)
                                  : CLocalDay::Plain(zone, summerMode == "on" ? 1 : 0);
    };
    const CLocalDay day = localDay(d, m, y);
    int py = y, pm = m, pd = d - 1;
    if (pd < 1) {
      if (--pm < 1) {
        pm = 12;
        --py;
      }
      pd = DaysInMonth(pm, py);
    }
    int prevHint = -1, sameHint = -1;
    const CAngleFactorData& dayBefore = angles->FindDayMonthYear(pd, pm, py, prevHint);
    const CAngleFactorData& same = angles->FindDayMonthYear(d, m, y, sameHint);
    const bool havePrevious = prevHint >= 0 && sameHint >= 0;
    if (havePrevious) {
      before->SetAngleFactors(dayBefore, same);
      before->ClearCache();
    }
    const CLocalDay previous = localDay(pd, pm, py);

    TIMEHEIGHT events[CPrediction::kMaxDayEvents];
    int elapsed[CPrediction::kMaxDayEvents];
    const int n =
        CMonthlyPrediction::FindHighLow(*prediction, before, day, havePrevious ? &previous : nullptr, events, elapsed);
    for (int i = 0; i < n; ++i) {
      const int t = events[i].minutes;
      const double h = events[i].metres;
      const double around =
          (prediction->HeightAt(day, elapsed[i] - 60) + prediction->HeightAt(day, elapsed[i] + 60)) / 2;
      const bool high = h > around;
      if (raw)
        std::printf("E %lld %c %.4f\n", dayStart + elapsed[i], high ? 'H' : 'L', h);
      else
        std::printf("%s %04d-%02d-%02d %02d:%02d %7.3f\n", high ? "HW" : "LW", y, m, d, t / 60, t % 60, h);
    }
    if (step > 0) {
      for (int e = 0; e < day.GetMinutes(); e += step) {
        const double h = prediction->HeightAt(day, e);
        const int t = day.ClockMinute(e);
        if (raw)
          std::printf("S %.4f\n", h);
        else
          std::printf("H  %04d-%02d-%02d %02d:%02d %7.3f\n", y, m, d, t / 60, t % 60, h);
      }
    }
    dayStart += day.GetMinutes();
    if (y == y1 && m == m1 && d == d1) break;
    y = ny;
    m = nm;
    d = nd;
    ++dayIndex;
    if (dayIndex > 40000) break;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // The ports asked for, in order: by id, by index or by name.
  struct Selector {
    enum { kId, kIndex, kName } kind;
    int number;
    std::string name;
  };
  std::vector<Selector> selectors;
  std::string tablesDir, summerMode = "off";
  int zone = 0, step = 0;
  bool haveZone = false, list = false, raw = false;
  int y0 = 0, m0 = 0, d0 = 0, y1 = 0, m1 = 0, d1 = 0;
  bool haveFrom = false, haveTo = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool more = i + 1 < argc;
    if (a == "--list")
      list = true;
    else if (a == "--raw")
      raw = true;
    else if (a == "--tables" && more)
      tablesDir = argv[++i];
    else if (a == "--port" && more)
      selectors.push_back({Selector::kId, std::atoi(argv[++i]), {}});
    else if (a == "--index" && more)
      selectors.push_back({Selector::kIndex, std::atoi(argv[++i]), {}});
    else if (a == "--name" && more)
      selectors.push_back({Selector::kName, 0, argv[++i]});
    else if (a == "--zone" && more) {
      zone = std::atoi(argv[++i]);
      haveZone = true;
    } else if (a == "--summer" && more)
      summerMode = argv[++i];
    else if (a == "--step" && more)
      step = std::atoi(argv[++i]);
    else if (a == "--from" && more)
      haveFrom = ParseDate(argv[++i], y0, m0, d0);
    else if (a == "--to" && more)
      haveTo = ParseDate(argv[++i], y1, m1, d1);
    else
      return Usage();
  }
  if (summerMode != "on" && summerMode != "off" && summerMode != "auto") return Usage();
  if (step < 0 || step > 1440) return Usage();

  std::vector<unsigned char> angleBytes, portBytes;
  std::unique_ptr<CAngleFactorDB> anglesOwned;
  std::unique_ptr<CPortDB> portsOwned;
  if (!tablesDir.empty()) {
    angleBytes = ReadAll(tablesDir + "/178.bin");
    portBytes = ReadAll(tablesDir + "/179.bin");
    anglesOwned = std::make_unique<CAngleFactorDB>(angleBytes.data(), angleBytes.size());
    portsOwned = std::make_unique<CPortDB>(portBytes.data(), portBytes.size());
  } else {
    anglesOwned = std::make_unique<CAngleFactorDB>();
    portsOwned = std::make_unique<CPortDB>();
  }
  CAngleFactorDB* angles = anglesOwned.get();
  CPortDB* ports = portsOwned.get();
  if (!ports->Load() || !angles->Load()) {
    std::fprintf(stderr, "neapwise-predict: the tables could not be loaded\n");
    return 1;
  }

  if (list) {
    std::printf("# index\tportId\tarea\tkind\tzone\tlatitude\tlongitude\tname\n");
    for (int i = 0; i < ports->GetCount(); ++i) {
      const CPortData* p = ports->GetPort(i);
      std::printf("%d\t%d\t%d\t%d\t%d\t%.6f\t%.6f\t%s\n", p->GetIndex(), p->GetPortId(), p->GetArea(), p->GetKind(),
                  p->GetTimeZone(), p->GetLatitude(), p->GetLongitude(), p->GetName().GetString());
    }
    return 0;
  }

  std::vector<const CPortData*> chosen;
  for (const Selector& sel : selectors) {
    const CPortData* port = nullptr;
    if (sel.kind == Selector::kId) {
      if (sel.number >= 0) {
        port = ports->Lookup(sel.number);
        if (port && port->GetPortId() != sel.number) port = nullptr;
      }
    } else if (sel.kind == Selector::kIndex) {
      if (sel.number >= 0 && sel.number < ports->GetCount()) port = ports->GetPort(sel.number);
    } else if (!sel.name.empty()) {
      for (int i = 0; i < ports->GetCount() && !port; ++i)
        if (sel.name == ports->GetPort(i)->GetName().GetString()) port = ports->GetPort(i);
    }
    if (!port) {
      std::fprintf(stderr, "neapwise-predict: no such port\n");
      return 1;
    }
    chosen.push_back(port);
  }
  if (chosen.empty()) {
    std::fprintf(stderr, "neapwise-predict: no such port\n");
    return 1;
  }
  if (!haveFrom) return Usage();
  if (!haveTo) {
    y1 = y0;
    m1 = m0;
    d1 = d0;
  }
  for (const CPortData* port : chosen) {
    const int status =
        PredictPort(angles, port, haveZone ? zone : port->GetTimeZone(), summerMode, step, raw, y0, m0, d0, y1, m1, d1);
    if (status != 0) return status;
  }
  return 0;
}
