// 10,000 NMEA sentences as a receiver sends them (RMC and GGA of several talkers among the
// satellite sentences), read in 256-byte reads as the reader thread does.
#include "chart/GpsReader.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

std::string Sentence(const std::string& body) {
  unsigned sum = 0;
  for (unsigned char c : body) sum ^= c;
  char tail[8];
  std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
  return "$" + body + tail;
}

constexpr int kSentences = 10000;

std::string Stream() {
  static const char* talkers[] = {"GP", "GN", "GL", "GA"};
  std::string out;
  for (int i = 0; i < kSentences; ++i) {
    char body[160];
    const int s = i % 60, m = (i / 60) % 60;
    const char* t = talkers[(i / 5) % 4];
    switch (i % 5) {
      case 0:
      case 3:
        std::snprintf(body, sizeof body, "%sRMC,12%02d%02d.00,A,50%02d.%03d,N,001%02d.%03d,W,%d.%d,%d.%d,100626,,,A", t,
                      m, s, 30 + i % 20, i % 1000, 10 + i % 30, (i * 7) % 1000, i % 9, i % 10, i % 360, i % 10);
        break;
      case 1:
        std::snprintf(body, sizeof body, "%sGGA,12%02d%02d.00,50%02d.%03d,N,001%02d.%03d,W,1,09,0.9,3.0,M,47.0,M,,", t,
                      m, s, 30 + i % 20, i % 1000, 10 + i % 30, (i * 7) % 1000);
        break;
      case 2: std::snprintf(body, sizeof body, "GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1"); break;
      default: std::snprintf(body, sizeof body, "GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00");
    }
    out += Sentence(body);
  }
  return out;
}

void BM_Parse10000Sentences(benchmark::State& state) {
  const std::string stream = Stream();
  int fixes = 0;
  for (auto _ : state) {
    CGpsReader reader;
    fixes = 0;
    for (size_t at = 0; at < stream.size(); at += 256)
      fixes += reader.Consume(stream.data() + at, (int)std::min<size_t>(256, stream.size() - at));
    benchmark::DoNotOptimize(fixes);
  }
  state.counters["fixes"] = fixes;
  state.counters["sentences"] = kSentences;
  state.counters["bytes"] = (double)stream.size();
}
BENCHMARK(BM_Parse10000Sentences)->Unit(benchmark::kMillisecond);

}  // namespace

// ---- From the receiver to the main window ----
#include "bench/chart/BenchMapHost.h"
#include "chart/MapView.h"
#include "platform/testing/UiTest.h"

#include <pty.h>
#include <unistd.h>
#include <chrono>
#include <functional>

namespace {

// A pseudo-terminal standing in for the receiver, closed when it goes.
struct BenchPty {
  int master = -1, slave = -1;
  char name[256] = {};
  BenchPty() {
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) master = slave = -1;
  }
  ~BenchPty() {
    if (master >= 0) ::close(master);
    if (slave >= 0) ::close(slave);
  }
  bool Ok() const { return master >= 0; }
  // Writes the line and times it until done() holds; false when the write fails.
  bool TimedWrite(benchmark::State& state, const std::string& line, const std::function<bool()>& done) {
    const auto start = std::chrono::steady_clock::now();
    if (::write(master, line.data(), line.size()) != (ssize_t)line.size()) {
      state.SkipWithError("write");
      return false;
    }
    AfxTestWait(5000, done);
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    return true;
  }
};

// Counts the fixes the reader posts to it.
class CFixCounter : public CWnd {
 public:
  int fixes = 0, started = 0;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_GPS_FIX) ++fixes;
    if (message == WM_GPS_STARTED) ++started;
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

// A sentence written to the device until its fix message is handled on the user-interface
// thread, through a pseudo-terminal standing in for the receiver.
void BM_DeviceToFixMessage(benchmark::State& state) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  AfxWinInit(0, nullptr);
  BenchPty pty;
  if (!pty.Ok()) {
    state.SkipWithError("no pseudo-terminal");
    return;
  }
  CFixCounter counter;
  counter.CreateEx(0, AfxRegisterWndClass(0), "GPS", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr);
  CGpsReader reader;
  reader.SetNotifyWindow(counter.GetSafeHwnd());
  reader.SetDevicePath(pty.name);
  reader.Start();
  AfxTestWait(5000, [&] { return counter.started > 0; });
  if (!counter.started) {
    state.SkipWithError("the reader did not start");
  } else {
    const std::string line = Sentence("GPRMC,120000.00,A,5039.600,N,00135.200,W,6.20,135.0,100626,,");
    for (auto _ : state) {
      const int before = counter.fixes;
      if (!pty.TimedWrite(state, line, [&] { return counter.fixes > before; })) break;
    }
  }
  reader.Stop();
  counter.DestroyWindow();
}
BENCHMARK(BM_DeviceToFixMessage)->UseManualTime()->Unit(benchmark::kMillisecond);

// ---- From the receiver to the chart ----

// The frame's part: each fix goes to the chart, which draws the boat at once.
class CFixToChart : public CWnd {
 public:
  CGpsReader* reader = nullptr;
  CMapView* map = nullptr;
  int started = 0;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    GPSFIX fix;
    if (message == WM_GPS_FIX && reader->GetFix(&fix))
      map->SetVesselPosition(fix.latitude, fix.longitude, fix.course, fix.speed);
    if (message == WM_GPS_STARTED) ++started;
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

// A sentence written to the device until the chart at 1920 x 1080 has drawn the boat at its
// new place. The chart moves the mark at most every two seconds, so the fixes are spaced so.
void BM_FixToChartRepaint(benchmark::State& state) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  AfxWinInit(0, nullptr);
  BenchPty pty;
  if (!pty.Ok()) {
    state.SkipWithError("no pseudo-terminal");
    return;
  }
  BenchMapHost host{CQsDateTime(2026, 6, 10, 0, 0, 0)};
  CWnd owner;
  owner.CreateEx(0, nullptr, "Neapwise", WS_POPUP | WS_VISIBLE, 0, 0, 2000, 1200, nullptr, nullptr);
  CMapView map;
  map.SetHost(&host);
  map.Create(&owner, CRect(0, 0, 1920, 1080), 187);
  map.SetExtents(-2.2, -0.6, 51.0, 50.0);
  map.ZoomIn();
  map.ZoomOut();
  map.WaitForStreams();
  CGpsReader reader;
  CFixToChart frame;
  frame.reader = &reader;
  frame.map = &map;
  frame.CreateEx(0, AfxRegisterWndClass(0), "GPS", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr);
  reader.SetNotifyWindow(frame.GetSafeHwnd());
  reader.SetDevicePath(pty.name);
  reader.Start();
  AfxTestWait(5000, [&] { return frame.started > 0; });
  if (!frame.started) {
    state.SkipWithError("the reader did not start");
  } else {
    const std::string lines[2] = {Sentence("GPRMC,120000.00,A,5039.600,N,00135.200,W,6.20,135.0,100626,,"),
                                  Sentence("GPRMC,120002.00,A,5036.000,N,00125.000,W,6.20,135.0,100626,,")};
    int k = 0;
    for (auto _ : state) {
      const std::string& line = lines[k++ & 1];
      const CPoint before = map.GetVesselPixel();
      if (!pty.TimedWrite(state, line, [&] { return map.GetVesselPixel() != before; })) break;
      AfxTestWait(2100);
    }
  }
  state.SetLabel("pty to the boat drawn on a 1920x1080 chart");
  reader.Stop();
  frame.DestroyWindow();
  map.DestroyWindow();
  owner.DestroyWindow();
}
BENCHMARK(BM_FixToChartRepaint)->UseManualTime()->Iterations(4)->Unit(benchmark::kMillisecond);

}  // namespace
