// Writes the seed corpora of the fuzz targets with the project's own writers:
//   fuzz_make_seeds <corpus folder> [<folder with 178.bin and 179.bin>]
// Each target gets a folder of small, valid files (and a few near misses). With the tables'
// folder the first records of the real tables are written as small tables too.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "chart/RoutesFile.h"
#include "model/AngleFactorDB.h"
#include "model/DiamondDB.h"
#include "model/PortDB.h"
#include "model/TideLogFile.h"
#include "tests/engine/GridWriter.h"
#include "tests/model/ModelTables.h"
#include "toolkit/CbCommandBars.h"
#include "toolkit/CbControlComboBox.h"
#include "toolkit/CbMenuBar.h"
#include "toolkit/CbPopupBar.h"
#include "toolkit/CbPropExchange.h"

namespace fs = std::filesystem;
using ebc::fixture::ConstituentValues;
using ebc::fixture::ExtraDataWriter;
using ebc::fixture::GridGeometry;
using ebc::fixture::HarmonicsGridWriter;

namespace {

fs::path g_root;

void Put(const std::string& target, const std::string& name, const std::vector<unsigned char>& bytes) {
  const fs::path dir = g_root / target;
  fs::create_directories(dir);
  ebc::fixture::WriteBytes(dir / name, bytes);
}

template <class DB, class Record>
std::vector<unsigned char> Table(const std::vector<Record>& records) {
  const std::vector<BYTE> b = model_test::TableBytes<DB>(records);
  return std::vector<unsigned char>(b.begin(), b.end());
}

std::vector<unsigned char> ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void Grids() {
  {
    HarmonicsGridWriter g(GridGeometry{1, 1, 50.0, -1.0, 0.5, 0.5}, {31});
    g.setAllPoints({{31, 1.2, 100.0, 0.3, 20.0, 0.1, 200.0}});
    Put("engine_grid", "one-point.dat", g.bytes());
  }
  {
    HarmonicsGridWriter g(GridGeometry{3, 4, 50.0, -2.0, 0.5, 0.5}, {31, 36});
    g.setAllPoints({{31, 1.5, 120.0, 0.4, 30.0, 0.2, 300.0}, {36, 0.5, 150.0, 0.1, 60.0, 0.05, 330.0}});
    Put("engine_grid", "three-by-four.dat", g.bytes());
    g.setMissing(2, 3);
    g.setNoStream(1, 1);
    g.setNoHeight(3, 4);
    Put("engine_grid", "missing-points.dat", g.bytes());
    g.setStoredPosition(2, 2, 49.0, -1.0);
    Put("engine_grid", "misplaced-record.dat", g.bytes());
    std::vector<unsigned char> b = g.bytes();
    b.resize(b.size() - 40);
    Put("engine_grid", "truncated.dat", b);
  }
  {
    // The main constituents of a real grid, west of Greenwich and south of the equator.
    HarmonicsGridWriter g(GridGeometry{5, 3, -30.0, 150.0, 0.125, 0.25}, {31, 36, 33, 18, 16, 14, 47, 49});
    for (int r = 1; r <= 5; ++r)
      for (int c = 1; c <= 3; ++c)
        g.setPoint(r, c,
                   {{31, 0.8 + 0.01 * r, 10.0 * c, 0.3, 45.0, 0.2, 135.0},
                    {36, 0.2, 40.0, 0.1, 50.0, 0.1, 140.0},
                    {18, 0.15, 300.0, 0.02, 10.0, 0.02, 100.0},
                    {16, 0.1, 280.0, 0.01, 5.0, 0.01, 95.0}});
    Put("engine_grid", "eight-constituents.dat", g.bytes());
  }
}

void Extras() {
  // The fuzz target's fixed grid: 4 rows, 5 columns, 51N 3W, steps 0.25 and 0.5.
  const GridGeometry geometry{4, 5, 51.0, -3.0, 0.25, 0.5};
  ExtraDataWriter e(geometry);
  e.setAllMeans(2.8, 0.05, -0.02);
  Put("engine_extra", "means.dat", e.bytes());
  e.setMeans(2, 2, -1e7, -1e7, 0.1);
  e.setValue(3, 3, 15, 42.0);
  Put("engine_extra", "no-value-marks.dat", e.bytes());
  e.setStoredPosition(1, 1, 10.0, 10.0);
  Put("engine_extra", "misplaced-block.dat", e.bytes());
  std::vector<unsigned char> b = e.bytes();
  b.resize(b.size() / 2);
  Put("engine_extra", "truncated.dat", b);
}

void Tables(const fs::path& tables) {
  Put("angle_factor_table", "one-day.bin", Table<CAngleFactorDB>(model_test::Days(4777, 2009, 12, 31, 1)));
  Put("angle_factor_table", "ten-days.bin", Table<CAngleFactorDB>(model_test::Days(4777, 2009, 12, 31, 10)));
  {
    std::vector<CAngleFactorData> gap = model_test::Days(5000, 2012, 2, 27, 4);
    gap.push_back(model_test::Day(5010, 2012, 3, 10, 100, 0, 210, 300));
    Put("angle_factor_table", "with-gap.bin", Table<CAngleFactorDB>(gap));
  }
  Put("angle_factor_table", "empty.bin", Table<CAngleFactorDB>(std::vector<CAngleFactorData>{}));

  std::vector<CPortData> ports;
  const int zones[] = {0, 1, -5, 930, 1000, 1200};
  for (int i = 0; i < 6; ++i)
    ports.push_back(model_test::Port(i, 10 + i, ("Port " + std::to_string(i)).c_str(), zones[i]));
  Put("port_table", "six-ports.bin", Table<CPortDB>(ports));
  ports.resize(1);
  ports[0].SetName(CString(std::string(300, 'N').c_str()));  // the long string layout
  Put("port_table", "long-name.bin", Table<CPortDB>(ports));

  std::vector<CDiamondData> diamonds;
  for (int k = 0; k < 3; ++k) {
    CDiamondData dd;
    dd.SetNumber(k + 1);
    dd.SetMinLevel(1 + k);
    dd.SetReferencePortId(10 + k);
    dd.SetPosition(k == 2 ? CPosition(-33.8, 151.2) : CPosition(50.7 + 0.1 * k, k == 0 ? -1.3 : 1.8));
    dd.SetName(CString(std::string(1, static_cast<char>('A' + k)).c_str()));
    for (int h = -6; h <= 6; ++h) dd.AddFlow(h, (350 + 25 * (h + 6)) % 360, 1.0 + 0.1 * h, 0.5 + 0.05 * h);
    diamonds.push_back(dd);
  }
  Put("diamond_table", "three-diamonds.bin", Table<CDiamondDB>(diamonds));
  diamonds.push_back(CDiamondData());  // an absent record
  Put("diamond_table", "with-absent.bin", Table<CDiamondDB>(diamonds));

  // The first records of the real tables.
  if (tables.empty()) return;
  const std::vector<unsigned char> days = ReadAll(tables / "178.bin");
  CAngleFactorDB realDays(days.data(), days.size());
  if (realDays.Load() == 1) {
    std::vector<CAngleFactorData> first;
    for (int i = 0; i < 8 && i < realDays.GetCount(); ++i) first.push_back(*realDays.GetAt(i));
    Put("angle_factor_table", "real-first-days.bin", Table<CAngleFactorDB>(first));
  }
  const std::vector<unsigned char> portBytes = ReadAll(tables / "179.bin");
  CPortDB realPorts(portBytes.data(), portBytes.size());
  if (realPorts.Load() == 1) {
    std::vector<CPortData> first;
    for (int i = 0; i < 6 && i < realPorts.GetCount(); ++i) first.push_back(*realPorts.GetPort(i));
    Put("port_table", "real-first-ports.bin", Table<CPortDB>(first));
  }
}

void Profiles() {
  const fs::path dir = g_root / "profile";
  fs::create_directories(dir);
  {
    CProfileStore s(CString((dir / "typical.conf").c_str()));
    s.BeginDeferredWrites();
    s.WriteProfileInt("General", "LastPort", 412);
    s.WriteProfileInt("General", "Units", 1);
    s.WriteProfileInt("General", "AutoCalcGraph", 1);
    s.WriteProfileString("General", "Zone", "GMT");
    s.WriteProfileInt("Colours", "Background", 0xFFFFFF);
    s.WriteProfileInt("Colours", "Curve", 0x0000FF);
    for (int i = 0; i < 10; ++i) {
      const std::string e = "PortHistory" + std::to_string(i);
      s.WriteProfileInt("HistoryUK", e.c_str(), 3 * i);
      s.WriteProfileInt("HistoryEuro", e.c_str(), 3 * i);
    }
    s.WriteProfileInt("Map", "Left", -30);
    s.WriteProfileInt("Tip", "StartUp", 0);
    s.EndDeferredWrites();
  }
  {
    CProfileStore s(CString((dir / "escapes.conf").c_str()));
    s.BeginDeferredWrites();
    s.WriteProfileString("General", "Folder", " /home/sailor/My Tides ");
    s.WriteProfileString("General", "Note", "line one\nline two\ttab \\ back\"slash");
    s.WriteProfileString("Odd=Section[1]", "Entry;#", "\"quoted\"");
    s.WriteProfileString("General", "Name", "Île d'Yeu – Port-Joinville");
    const BYTE extents[] = {0x00, 0x10, 0xFF, 0x7F, 0x80, 0x01};
    s.WriteProfileBinary("Map", "Extents", extents, sizeof extents);
    s.WriteProfileInt("General", "Hex", -1);
    s.EndDeferredWrites();
  }
  std::ofstream(dir / "hand-edited.conf") << "; edited by hand\r\n[general]\r\nlastport = 0x1F\r\n\r\n"
                                             "[HistoryEuro]\nPortHistory0=11\nPortHistory1=-1\nPortHistory2=99\n";
}

void Archives() {
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    CAngleFactorData day = model_test::Day(4777, 2009, 12, 31, 10, 0, 200, 50);
    CPortData port = model_test::Port(0, 1, "Dover");
    CDiamondData diamond;
    diamond.SetPosition(CPosition(50.9, 1.4));
    diamond.SetName("A");
    for (int h = -6; h <= 6; ++h) diamond.AddFlow(h, 30.0 * (h + 6), 1.2, 0.6);
    ar << CString("logdata") << CString(std::string(260, 'x').c_str());
    ar.WriteCount(3);
    ar << static_cast<const CObject*>(&day) << static_cast<const CObject*>(&port)
       << static_cast<const CObject*>(&diamond);
    ar << static_cast<const CObject*>(&day);  // a reference to an object already written
    ar << static_cast<const CObject*>(nullptr);
    CQsDateTime t(2011, 6, 1, 12, 30, 0);
    t.Serialize(ar);
    ar << 42 << 3.5 << static_cast<WORD>(7) << static_cast<BYTE>(1);
    ar.Close();
  }
  Put("archive", "objects.bin", std::vector<unsigned char>(file.GetData(), file.GetData() + file.GetLength()));

  // A wide string (the layout's UTF-16 form, read but never written by the program).
  std::vector<unsigned char> wide = {0xFF, 0xFE, 0xFF, 5};
  for (char c : std::string("Tides")) wide.insert(wide.end(), {static_cast<unsigned char>(c), 0});
  Put("archive", "wide-string.bin", wide);
}

// The bars' exchange: options, a toolbar with a button, a label and a reset copy, and a list
// of bars (a menu bar whose title opens a menu with a sub-menu, a toolbar with a combo), each
// after the byte that picks the reader.
void BarExchanges() {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  AfxWinInit(0, nullptr);
  auto store = [](unsigned char kind, auto write) {
    CMemFile file;
    {
      CArchive ar(&file, CArchive::store);
      write(ar);
    }
    std::vector<unsigned char> out = {kind};
    out.insert(out.end(), file.GetData(), file.GetData() + file.GetLength());
    return out;
  };
  CCbCommandBarsOptions options(nullptr);
  options.m_mapUsedCommands[32811] = TRUE;
  options.m_mapHiddenCommands[57607] = TRUE;
  Put("bar_exchange", "options.bin", store(0, [&](CArchive& ar) { options.Serialize(ar); }));
  CCbToolBar* bar = new CCbToolBar;
  bar->SetTitle("Standard");
  bar->GetControls()->Add(cbControlButton, 32811)->SetCaption("&Graph");
  bar->GetControls()->Add(new CCbControlLabel, 0)->SetCaption("Port:");
  bar->GetControls()->CreateResetCopy();
  Put("bar_exchange", "toolbar.bin", store(1, [&](CArchive& ar) {
        CCbPropExchangeArchive px(ar);
        bar->DoPropExchange(&px);
      }));
  Put("bar_exchange", "controls.bin", store(2, [&](CArchive& ar) {
        CCbPropExchangeArchive px(ar);
        bar->GetControls()->DoPropExchange(&px);
      }));
  CCbMenuBar* menu = new CCbMenuBar;
  auto* title = new CCbControlPopup;
  title->SetCaption("&Tides");
  menu->GetControls()->Add(title, 0);
  CCbPopupBar* tides = title->EnsurePopupBar();
  tides->GetControls()->Add(cbControlButton, 32811)->SetCaption("&Graph");
  auto* sub = new CCbControlPopup;
  sub->SetCaption("&Ports");
  tides->GetControls()->Add(sub, 0);
  sub->EnsurePopupBar()->GetControls()->Add(cbControlButton, 32812)->SetCaption("&Table");
  auto* combo = new CCbControlComboBox;
  combo->SetWidth(120);
  bar->GetControls()->Add(combo, 0);
  Put("bar_exchange", "bars.bin", store(3, [&](CArchive& ar) {
        CCbPropExchangeArchive px(ar);
        std::vector<CCbCommandBar*> bars = {menu, bar};
        CCbCommandBar::ExchangeBars(&px, bars);
      }));
  menu->InternalRelease();
  bar->InternalRelease();
}

void TideLogs() {
  const auto bytes = [](const std::vector<TIDELOG_ROW>& rows) {
    const std::vector<BYTE> b = CTideLogFile::Format(rows);
    return std::vector<unsigned char>(b.begin(), b.end());
  };
  Put("tide_log", "empty.dat", bytes({}));
  const std::vector<TIDELOG_ROW> rows = {
      {0, 12, 6, 2025, 12, 0}, {17, 29, 2, 2024, 6, 45}, {410, 31, 12, 2030, 23, 59}, {3, 1, 1, 2009, 0, 0}};
  Put("tide_log", "four-rows.dat", bytes(rows));
  std::vector<unsigned char> b = bytes(rows);
  b[4] = 0xD6;  // version 2006, still read
  Put("tide_log", "version-2006.dat", b);
  b = bytes(rows);
  b.resize(b.size() - 10);
  Put("tide_log", "cut-short.dat", b);
  std::vector<TIDELOG_ROW> odd = rows;
  odd[1].day = 30;  // 30 February
  odd[2].hour = 24;
  Put("tide_log", "out-of-range.dat", bytes(odd));
}

void RoutesFiles() {
  const auto bytes = [](const std::vector<const CMapRoute*>& routes) {
    const std::vector<BYTE> b = CRoutesFile::Format(routes);
    return std::vector<unsigned char>(b.begin(), b.end());
  };
  Put("routes_file", "empty.dat", bytes({}));
  CMapRoute solent, channel, single;
  solent.SetName("Solent");
  solent.SetSpeed(6.5);
  solent.SetStart(CQsDateTime(2026, 6, 14, 9, 30, 0));
  solent.AddPoint(50.77, -1.30);
  solent.AddPoint(50.74, -1.10);
  solent.AddPoint(50.70, -0.95);
  channel.SetName("Cherbourg passage");
  channel.SetSpeed(5.0);
  channel.SetStart(CQsDateTime(2026, 7, 1, 22, 0, 0));
  channel.AddPoint(50.60, -1.95);
  channel.AddPoint(49.70, -1.60);
  single.AddPoint(51.0, 1.5);
  Put("routes_file", "three-routes.dat", bytes({&solent, &channel, &single}));
  std::vector<unsigned char> b = bytes({&solent, &channel});
  b.resize(b.size() - 9);
  Put("routes_file", "cut-short.dat", b);
  CMapRoute slow;
  slow.SetName("Becalmed");
  slow.SetSpeed(0.0);
  slow.AddPoint(50.0, -1.0);
  Put("routes_file", "zero-speed.dat", bytes({&solent, &slow, &single}));
}

// Coastline files: 36-byte polygon headers, then int32 longitude and latitude micro-degrees.
void Coastlines() {
  struct Poly {
    std::vector<std::pair<int, int>> points;  // micro-degrees
    int greenwich;
    bool skipped;
  };
  const auto bytes = [](const std::vector<Poly>& polys) {
    std::vector<unsigned char> out;
    const auto put32 = [&out](std::int32_t v) {
      for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(static_cast<std::uint32_t>(v) >> (8 * i)));
    };
    int id = 0;
    for (const Poly& p : polys) {
      int w = 0, e = 0, s = 0, n = 0;
      for (std::size_t i = 0; i < p.points.size(); ++i) {
        const auto [x, y] = p.points[i];
        w = i ? std::min(w, x) : x, e = i ? std::max(e, x) : x;
        s = i ? std::min(s, y) : y, n = i ? std::max(n, y) : y;
      }
      put32(id++);
      put32(static_cast<std::int32_t>(p.points.size()));
      put32(1);
      put32(w);
      put32(p.skipped ? w : e);
      put32(s);
      put32(n);
      put32(0);
      out.push_back(static_cast<unsigned char>(p.greenwich));
      out.insert(out.end(), {0, 0, 0});
      for (const auto& [x, y] : p.points) {
        put32(x);
        put32(y);
      }
    }
    return out;
  };
  const Poly wight{{{-1570000, 50700000}, {-1100000, 50700000}, {-1300000, 50580000}, {-1570000, 50700000}}, 0, false};
  const Poly england{{{-5700000, 50000000}, {1700000, 51200000}, {-3000000, 58600000}, {-5700000, 50000000}}, 1, false};
  const Poly dateLine{
      {{165000000, -20000000}, {-170000000, -20000000}, {-170000000, -21000000}, {165000000, -20000000}}, 0, false};
  Put("coastline", "island.data", bytes({wight}));
  Put("coastline", "three.data", bytes({england, Poly{{}, 0, false}, Poly{wight.points, 0, true}, wight}));
  Put("coastline", "date-line.data", bytes({dateLine, wight}));
  std::vector<unsigned char> cut = bytes({england, wight});
  cut.resize(cut.size() - 12);
  Put("coastline", "cut-short.data", cut);
  std::vector<unsigned char> negative = bytes({wight, england});
  negative[36 + 4 * 8 + 7] = 0xFF;  // the second polygon's count below zero
  Put("coastline", "negative-count.data", negative);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <corpus folder> [<tables folder>]\n", argv[0]);
    return 2;
  }
  g_root = argv[1];
  Grids();
  Extras();
  Tables(argc > 2 ? fs::path(argv[2]) : fs::path());
  Profiles();
  Coastlines();
  Archives();
  TideLogs();
  RoutesFiles();
  BarExchanges();
  return 0;
}
