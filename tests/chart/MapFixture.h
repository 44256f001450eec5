// A chart on the real tables in a window of its own, with a fake frame that records what the
// chart tells it, its own settings folder and, when a test wants one, its own data folder.
#pragma once

#include "chart/MapView.h"
#include "model/AngleFactorDB.h"
#include "model/DiamondDB.h"
#include "model/PortDB.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/MsgBox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

namespace chart_test {

namespace fs = std::filesystem;

class FakeMapHost : public IMapHost {
 public:
  CWnd* mainWnd = nullptr;
  CPortDB ports;
  CAngleFactorDB days;
  CDiamondDB diamonds;
  CQsDateTime date{2025, 6, 1, 0, 0, 0};
  int chosenZone = 0;
  BOOL autoZone = TRUE, feet = FALSE;
  std::vector<int> selected;
  int graphPages = 0, graphs = 0;
  CString status;
  double streamRate = -1, streamDirection = -1;
  std::vector<double> vessel;

  FakeMapHost() {
    ports.Load();
    days.Load();
    diamonds.Load();
  }
  CWnd* GetMainWindow() override { return mainWnd; }
  CQsDateTime GetSelectedDate() const override { return date; }
  int GetChosenTimeZone() const override { return chosenZone; }
  BOOL IsAutoTimeZone() const override { return autoZone; }
  BOOL IsFeet() const override { return feet; }
  CPortDB* GetPortDB() override { return ports.IsLoaded() ? &ports : nullptr; }
  const CAngleFactorDB* GetAngleFactorDB() const override { return &days; }
  const CDiamondDB* GetMapDiamondDB() override { return diamonds.IsLoaded() ? &diamonds : nullptr; }
  void SelectPort(int n) override { selected.push_back(n); }
  void ShowGraphPage() override { ++graphPages; }
  void CalculateGraph() override { ++graphs; }
  void ShowMapStatus(const CPosition* p, BOOL) override {
    status = p ? p->FormatLatitude() + "  " + p->FormatLongitude() : CString();
  }
  void ShowStreamInStatusBar(double r, double d) override {
    streamRate = r;
    streamDirection = d;
  }
  void OnVesselPositionChanged(double a, double b, double c, double d) override { vessel = {a, b, c, d}; }

  int PortIndex(const char* name) {
    for (int i = 0; i < ports.GetCount(); ++i)
      if (ports.GetPort(i)->GetName() == name) return i;
    return -1;
  }
};

// A temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder() {
    char tmpl[] = "/tmp/neapwise-chart-XXXXXX";
    const char* d = ::mkdtemp(tmpl);
    m_path = d ? d : "";
  }
  ~TempFolder() {
    std::error_code ec;
    if (!m_path.empty()) fs::remove_all(m_path, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const fs::path& path() const { return m_path; }
  std::string file(const char* name) const { return (m_path / name).string(); }

 private:
  fs::path m_path;
};

inline void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(bytes.data()), (std::streamsize)bytes.size());
}

// Coastline files made by hand: polygons of (longitude, latitude) points in degrees.
struct PolygonShape {
  std::vector<std::pair<double, double>> points;
  int greenwich = 0;
  std::optional<int> count;  // the header's count when not the number of points
  bool skip = false;         // east equal to west
};

inline void Put32(std::vector<unsigned char>& out, std::int32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back((unsigned char)((std::uint32_t)v >> (8 * i)));
}

inline std::vector<unsigned char> CoastlineBytes(const std::vector<PolygonShape>& polys) {
  std::vector<unsigned char> out;
  int id = 0;
  for (const PolygonShape& p : polys) {
    double w = 1e9, e = -1e9, s = 1e9, n = -1e9;
    for (auto [x, y] : p.points) {
      w = std::min(w, x), e = std::max(e, x), s = std::min(s, y), n = std::max(n, y);
    }
    if (p.points.empty()) w = 0, e = 1, s = 0, n = 1;
    if (p.skip) e = w;
    Put32(out, id++);
    Put32(out, p.count ? *p.count : (int)p.points.size());
    Put32(out, 1);
    Put32(out, (std::int32_t)std::lround(w * 1e6));
    Put32(out, (std::int32_t)std::lround(e * 1e6));
    Put32(out, (std::int32_t)std::lround(s * 1e6));
    Put32(out, (std::int32_t)std::lround(n * 1e6));
    Put32(out, 0);
    out.push_back((unsigned char)p.greenwich);
    out.push_back(0);
    out.push_back(0);
    out.push_back(0);
    for (auto [x, y] : p.points) {
      Put32(out, (std::int32_t)std::lround(x * 1e6));
      Put32(out, (std::int32_t)std::lround(y * 1e6));
    }
  }
  return out;
}

// The chart in a window, with settings kept in a folder of the test's own.
class MapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    AfxWinInit(0, nullptr);
    AfxGetApp()->ResetProfile();
    AfxSetMessageBoxHook([this](const AFX_MSGBOX_REQUEST& r) {
      boxes.push_back(r.text);
      return IDOK;
    });
  }
  void TearDown() override {
    Destroy();
    AfxSetMessageBoxHook(nullptr);
    AfxGetApp()->ResetProfile();
    ::unsetenv("NEAPWISE_DATA_DIR");
  }
  // Makes the window with a client area of w x h.
  void Make(int w = 800, int h = 600) {
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "Neapwise", WS_POPUP | WS_VISIBLE, 0, 0, w + 40, h + 40, nullptr, nullptr));
    host.mainWnd = &owner;
    map.SetHost(&host);
    ASSERT_TRUE(map.Create(&owner, CRect(0, 0, w, h), 187));
    CRect rc;
    map.GetClientRect(&rc);
    // The scroll bars take their room from the window: size it so the client is w x h.
    map.MoveWindow(0, 0, w + (w - rc.Width()), h + (h - rc.Height()));
    AfxTestWait(20);
    // The first paint's stream picture is in before the test looks.
    map.WaitForStreams();
  }
  void Destroy() {
    if (map.GetSafeHwnd()) map.DestroyWindow();
    if (owner.GetSafeHwnd()) owner.DestroyWindow();
    AfxTestWait(5);
  }
  // Serves the chart files from a folder of the test's own.
  // The stream data stay the shipped ones: only the chart files are the test's own.
  void UseDataFolder(const TempFolder& folder) {
    for (const char* name : {"dlldata.dat", "dlldata.xtr"}) {
      const fs::path link = folder.path() / name;
      std::error_code ec;
      if (!fs::exists(link, ec)) fs::create_symlink(fs::path(NEAPWISE_SHIPPED_DATA_DIR) / name, link, ec);
    }
    ::setenv("NEAPWISE_DATA_DIR", folder.path().c_str(), 1);
  }
  void CopyShipped(const TempFolder& folder, const char* name) {
    fs::copy_file(fs::path(NEAPWISE_SHIPPED_DATA_DIR) / name, folder.path() / name);
  }
  // The chart as the window shows it.
  void Capture(CBitmap& out) {
    CRect rc;
    map.GetClientRect(&rc);
    CClientDC screen(&map);
    CDC dc;
    dc.CreateCompatibleDC(&screen);
    out.DeleteObject();
    out.CreateCompatibleBitmap(&screen, rc.Width(), rc.Height());
    CBitmap* old = dc.SelectObject(&out);
    map.DrawView(&dc, TRUE);
    dc.SelectObject(old);
  }
  CPoint Pixel(double lat, double lon) {
    CPoint pt;
    map.LatLonToClient(lat, lon, pt);
    return pt;
  }
  int ProfileInt(const char* entry, int def = INT_MIN) { return (int)AfxGetApp()->GetProfileInt("Map", entry, def); }

  TempFolder config;
  CWnd owner;
  FakeMapHost host;
  CMapView map;
  std::vector<CString> boxes;
};

inline bool IsLand(COLORREF c) { return c == RGB(255, 255, 100); }
inline bool IsSea(COLORREF c) { return GetBValue(c) == 255 && GetRValue(c) == GetGValue(c) && GetRValue(c) < 255; }

}  // namespace chart_test
