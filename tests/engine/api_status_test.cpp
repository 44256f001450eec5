// Set-up, paths, header checks, extra data and the query exports, with their status codes.
#include "tests/engine/EngineTestSupport.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

namespace fx = ebc::fixture;

namespace {

const fx::GridGeometry kGeometry{3, 4, 51.0, -2.0, 0.5, 0.25};

fx::HarmonicsGridWriter MakeGrid() {
  fx::HarmonicsGridWriter grid(kGeometry, {31, 36});
  grid.setAllPoints({{31, 1.0, 100.0, 0.3, 40.0, 0.2, 130.0}, {36, 0.3, 140.0, 0.1, 80.0, 0.1, 170.0}});
  return grid;
}

int Predict(int flags, int mode, double lat, double lon, double* h = nullptr, double* u = nullptr,
            double* v = nullptr) {
  double a = lat, b = lon, hh = 0, uu = 0, vv = 0, s = 0, d = 0;
  const int status = EBC_DoPrediction(flags, mode, &a, &b, 5, 7, 2022, 10, 20, 30, 0.0, 0.0, &hh, &uu, &vv, &s, &d);
  if (h) *h = hh;
  if (u) *u = uu;
  if (v) *v = vv;
  return status;
}

int Series(int flags, double lat, double lon) {
  double a = lat, b = lon, out[5][2] = {};
  return EBC_DoSeriesPrediction(flags, 0, &a, &b, 1, 1, 2022, 0, 0, 0, 0, 0, 2, 60, out[0], out[1], out[2], out[3],
                                out[4]);
}

class ApiStatus : public fx::EngineTest {};

}  // namespace

TEST_F(ApiStatus, EveryExportNeedsItsFileFirst) {
  forgetFiles();
  double lat = 50.5, lon = -1.5, m[6], e = 0, w = 0, n = 0, s = 0, r = 0;
  EXPECT_EQ(Predict(1, 0, 50.5, -1.5), EBC_ERR_NO_HARMONICS_FILE);
  EXPECT_EQ(Series(1, 50.5, -1.5), EBC_ERR_NO_HARMONICS_FILE);
  EXPECT_EQ(EBC_GetHarmonicConstants(0, &lat, &lon, m, m, m, m), EBC_ERR_NO_HARMONICS_FILE);
  EXPECT_EQ(EBC_ModelDomain(&e, &w, &n, &s, 0), EBC_ERR_NO_HARMONICS_FILE);
  EXPECT_EQ(EBC_CheckIfValidLocation(50.5, -1.5), EBC_ERR_NO_HARMONICS_FILE);
  EXPECT_EQ(EBC_SetXtradataFile("/nonexistent"), EBC_ERR_NO_HARMONICS_FILE);
  // Extra data asks only for its own file.
  EXPECT_EQ(EBC_GetExtraData(&lat, &lon, 2, &r), EBC_ERR_NO_EXTRA_FILE);
  // Without set-up the plain functions still answer.
  EXPECT_EQ(EBC_Date2DayNum(1, 3, 2012), 61);
  EXPECT_EQ(EBC_Test0A(), 54321);
}

TEST_F(ApiStatus, FlagsOutsideZeroToThree) {
  useGrid(MakeGrid());
  EXPECT_EQ(Predict(4, 0, 50.5, -1.5), EBC_ERR_FLAGS);
  EXPECT_EQ(Predict(-1, 0, 50.5, -1.5), EBC_ERR_FLAGS);
  EXPECT_EQ(Series(4, 50.5, -1.5), EBC_ERR_FLAGS);
  EXPECT_EQ(Predict(0, 0, 50.5, -1.5), EBC_OK);
  EXPECT_EQ(Predict(3, 0, 50.5, -1.5), EBC_OK);
}

TEST_F(ApiStatus, PathsMustBeOneTo255Characters) {
  const fx::HarmonicsGridWriter grid = MakeGrid();
  const std::string good = dir.file("g.dat").string();
  grid.write(good);

  // A file whose full path is exactly 255 characters, and one of 256.
  auto pathOfLength = [&](std::size_t length) {
    const std::string base = dir.path().string() + "/";
    return base + std::string(length - base.size(), 'p');
  };
  const std::string p255 = pathOfLength(255);
  const std::string p256 = pathOfLength(256);
  ASSERT_EQ(p255.size(), 255u);
  grid.write(p255);

  struct Case {
    const char* name;
    const char* harmonics;
    const char* second;
    int status;
  };
  const std::string missing = dir.file("none.dat").string();  // outlives the table
  const Case cases[] = {
      {"both good", good.c_str(), "second", EBC_OK},
      {"empty second", good.c_str(), "", EBC_ERR_PATH},
      {"null second", good.c_str(), nullptr, EBC_ERR_PATH},
      {"empty harmonics", "", "second", EBC_ERR_PATH},
      {"null harmonics", nullptr, "second", EBC_ERR_PATH},
      {"255 characters", p255.c_str(), p255.c_str(), EBC_OK},
      {"256 characters", p256.c_str(), "second", EBC_ERR_PATH},
      {"second of 256", good.c_str(), p256.c_str(), EBC_ERR_PATH},
      {"file missing", missing.c_str(), "second", EBC_ERR_FILE_OPEN},
  };
  for (const Case& k : cases) {
    EXPECT_EQ(EBC_SetHarmonicsFile(k.harmonics, k.second), k.status) << k.name;
    // A refused set-up leaves no file set.
    EXPECT_EQ(Predict(1, 0, 50.5, -1.5), k.status == EBC_OK ? EBC_OK : EBC_ERR_NO_HARMONICS_FILE) << k.name;
  }
  // Set-up reports by status alone.
  EXPECT_TRUE(messages().empty());

  useGrid(grid);
  EXPECT_EQ(EBC_SetXtradataFile(""), EBC_ERR_PATH);
  EXPECT_EQ(EBC_SetXtradataFile(nullptr), EBC_ERR_PATH);
  EXPECT_EQ(EBC_SetXtradataFile(p256.c_str()), EBC_ERR_PATH);
  EXPECT_EQ(EBC_SetXtradataFile(dir.file("none.dat").c_str()), EBC_ERR_FILE_OPEN);
}

TEST_F(ApiStatus, UnusableHeadersAreRefused) {
  const fx::HarmonicsGridWriter grid = MakeGrid();
  const std::vector<unsigned char> good = grid.bytes();
  using Edit = std::function<void(std::vector<unsigned char>&)>;
  struct Case {
    const char* name;
    Edit edit;
    int status;
  };
  const Case cases[] = {
      {"as written", [](auto&) {}, EBC_OK},
      {"longer than needed", [](auto& b) { b.resize(b.size() + 100, 0); }, EBC_OK},
      {"one byte short", [](auto& b) { b.pop_back(); }, EBC_ERR_FILE_OPEN},
      {"header only", [](auto& b) { b.resize(52); }, EBC_ERR_FILE_OPEN},
      {"cut inside the header", [](auto& b) { b.resize(30); }, EBC_ERR_FILE_OPEN},
      {"empty", [](auto& b) { b.clear(); }, EBC_ERR_FILE_OPEN},
      {"116 constituents", [](auto& b) { fx::PutInt32(b, 40, 116); }, EBC_ERR_FILE_OPEN},
      {"no constituents", [](auto& b) { fx::PutInt32(b, 40, 0); }, EBC_ERR_FILE_OPEN},
      {"negative count", [](auto& b) { fx::PutInt32(b, 40, -3); }, EBC_ERR_FILE_OPEN},
      {"constituent 0", [](auto& b) { fx::PutInt32(b, 44, 0); }, EBC_ERR_FILE_OPEN},
      {"constituent 116", [](auto& b) { fx::PutInt32(b, 48, 116); }, EBC_ERR_FILE_OPEN},
      {"constituent 115", [](auto& b) { fx::PutInt32(b, 48, 115); }, EBC_OK},
      {"no rows", [](auto& b) { fx::PutInt32(b, 0, 0); }, EBC_ERR_FILE_OPEN},
      {"negative columns", [](auto& b) { fx::PutInt32(b, 4, -4); }, EBC_ERR_FILE_OPEN},
      {"huge grid",
       [](auto& b) {
         fx::PutInt32(b, 0, 2000000000);
         fx::PutInt32(b, 4, 2000000000);
       },
       EBC_ERR_FILE_OPEN},
      {"zero row spacing", [](auto& b) { fx::PutDouble(b, 24, 0.0); }, EBC_ERR_FILE_OPEN},
      {"negative column spacing", [](auto& b) { fx::PutDouble(b, 32, -0.25); }, EBC_ERR_FILE_OPEN},
      {"NaN north", [](auto& b) { fx::PutDouble(b, 8, NAN); }, EBC_ERR_FILE_OPEN},
  };
  for (const Case& k : cases) {
    std::vector<unsigned char> bytes = good;
    k.edit(bytes);
    const std::string path = dir.file("h.dat").string();
    fx::WriteBytes(path, bytes);
    EXPECT_EQ(EBC_SetHarmonicsFile(path.c_str(), "second"), k.status) << k.name;
  }
  // 115 constituents, the most a file may hold, in a file of exactly the size it states.
  std::vector<int> all;
  for (int n = 1; n <= 115; ++n) all.push_back(n);
  fx::HarmonicsGridWriter full({2, 2, 51.0, -2.0, 0.5, 0.25}, all);
  full.setAllPoints({{36, 1.0, 0.0, 0.0, 0.0, 0.0, 0.0}});
  useGrid(full);
  double h = 0;
  EXPECT_EQ(Predict(1, 1, 50.75, -1.9, &h), EBC_OK);
}

TEST_F(ApiStatus, SelfTestsAndVersion) {
  struct LeapCase {
    int year, leap;
  };
  for (const LeapCase k : {LeapCase{2000, 1}, {1900, 0}, {2012, 1}, {2011, 0}, {2100, 0}, {2400, 1}})
    EXPECT_EQ(EBC_Test1(k.year), k.leap) << k.year;
  EXPECT_EQ(EBC_Test2(7), 21);
  EXPECT_EQ(EBC_Test2(-4), -12);
  EXPECT_FLOAT_EQ(EBC_Test3(2.0f), 5.0f);
  float x = 4.0f;
  EXPECT_EQ(EBC_Test4(&x), &x);
  EXPECT_FLOAT_EQ(x, 10.0f);
  EXPECT_EQ(EBC_Test4(nullptr), nullptr);
  EXPECT_EQ(EBC_Test0A(), 54321);
  EXPECT_EQ(EBC_Test0B(), 3.1415927f);

  char buffer[64];
  std::memset(buffer, 'x', sizeof buffer);
  EBC_DLLVersionInfo(buffer);
  EXPECT_STREQ(buffer, "EBC Hydrodynamics 32-bit DLL : release 3.000");
  EXPECT_EQ(std::strlen(buffer), 44u);
  EXPECT_EQ(buffer[45], 'x');  // nothing written past the NUL
}

TEST_F(ApiStatus, ModelDomainFromTheHeader) {
  useGrid(MakeGrid());
  double e = 0, w = 0, n = 0, s = 0;
  EXPECT_EQ(EBC_ModelDomain(&e, &w, &n, &s, 0), EBC_OK);
  EXPECT_DOUBLE_EQ(w, -2.0);
  EXPECT_DOUBLE_EQ(e, -2.0 + 3 * 0.25);
  EXPECT_DOUBLE_EQ(n, 51.0);
  EXPECT_DOUBLE_EQ(s, 51.0 - 2 * 0.5);
  EXPECT_EQ(EBC_ModelDomain(&e, &w, &n, &s, 1), EBC_ERR_FLAGS);
}

TEST_F(ApiStatus, ExtraDataMeansEnterHeightsAndStreams) {
  fx::HarmonicsGridWriter grid(kGeometry, {36});
  grid.setAllPoints({{36, 1.0, 0.0, 0.5, 0.0, 0.25, 0.0}});
  useGrid(grid);
  double h0 = 0, u0 = 0, v0 = 0;
  ASSERT_EQ(Predict(3, 0, 50.5, -1.5, &h0, &u0, &v0), EBC_OK);

  fx::ExtraDataWriter extra(kGeometry);
  extra.setAllMeans(0.75, 0.1, -0.2);
  extra.setMeans(2, 3, 1.5, 0.3, 0.4);     // the point at 50.5N 1.5W
  extra.setMeans(1, 1, -1e7, -1e7, -1e7);  // no values
  useExtra(extra);

  double h = 0, u = 0, v = 0;
  ASSERT_EQ(Predict(3, 0, 50.5, -1.5, &h, &u, &v), EBC_OK);
  EXPECT_NEAR(h - h0, 1.5, 1e-12);
  EXPECT_NEAR(u - u0, 0.3, 1e-12);
  EXPECT_NEAR(v - v0, 0.4, 1e-12);

  // In interpolation mode the means are the nearest point's.
  ASSERT_EQ(Predict(3, 1, 50.6, -1.45, &h, &u, &v), EBC_OK);
  EXPECT_NEAR(h - h0, 1.5, 1e-9);

  double hc = 0, uc = 0, vc = 0, hb = 0;
  ASSERT_EQ(Predict(3, 0, 51.0, -2.0, &hc, &uc, &vc), EBC_OK);
  EXPECT_EQ(EBC_SetXtradataFile(dir.file("none").c_str()), EBC_ERR_FILE_OPEN);
  useGrid(grid);
  ASSERT_EQ(Predict(1, 0, 51.0, -2.0, &hb), EBC_OK);
  EXPECT_NEAR(hc, hb, 1e-12);  // -1e7 counts as 0
}

TEST_F(ApiStatus, ExtraDataValuesAndFaults) {
  const fx::HarmonicsGridWriter grid = MakeGrid();
  useGrid(grid);
  fx::ExtraDataWriter extra(kGeometry);
  extra.setValue(3, 4, 2, -1e7);
  extra.setValue(3, 4, 5, -1e7);
  extra.setValue(3, 4, 15, 42.5);
  extra.setValue(2, 2, 3, 0.25);
  const std::string extraPath = useExtra(extra);

  struct Case {
    double lat, lon;
    int index;
    int status;
    double value;
  };
  const Case cases[] = {
      {50.0, -1.25, 2, EBC_OK, 0.0},                                          // Z0 of -1e7 reads as 0
      {50.0, -1.25, 5, EBC_OK, -1e7},                                         // the rule is for Z0, U0 and V0 only
      {50.0, -1.25, 15, EBC_OK, 42.5},       {50.0, -1.25, 0, EBC_OK, 50.0},  // the stored latitude
      {50.6, -1.8, 3, EBC_OK, 0.25},                                          // nearest point (2, 2)
      {50.0, -1.25, 16, EBC_ERR_FLAGS, 0},   {50.0, -1.25, -1, EBC_ERR_FLAGS, 0},
      {49.9, -1.25, 2, EBC_ERR_LATITUDE, 0}, {50.0, -1.0, 2, EBC_ERR_LONGITUDE, 0},
  };
  for (const Case& k : cases) {
    double lat = k.lat, lon = k.lon, result = -123;
    EXPECT_EQ(EBC_GetExtraData(&lat, &lon, k.index, &result), k.status) << k.index;
    if (k.status == EBC_OK) {
      EXPECT_DOUBLE_EQ(result, k.value) << k.index;
    } else {
      EXPECT_EQ(result, -123);
    }
  }

  // Wrong stored position, cut file, file gone.
  fx::ExtraDataWriter wrong(kGeometry);
  wrong.setStoredPosition(2, 2, 50.5, -1.6);
  wrong.write(extraPath);
  fx::CapturedMessages().clear();
  double lat = 50.5, lon = -1.75, r = 0;
  EXPECT_EQ(EBC_GetExtraData(&lat, &lon, 2, &r), EBC_ERR_POSITION_CHECK);
  EXPECT_EQ(Predict(1, 0, 50.5, -1.75), EBC_ERR_POSITION_CHECK);
  EXPECT_EQ(messages(), std::vector<std::string>(2, "Problem with the lat,lng calculation or extra data read"));

  std::filesystem::resize_file(extraPath, (1 * 4 + 2) * 128 + 64);
  fx::CapturedMessages().clear();
  EXPECT_EQ(EBC_GetExtraData(&lat, &lon, 2, &r), EBC_ERR_READ);
  EXPECT_EQ(Predict(1, 1, 50.5, -1.75), EBC_ERR_READ);
  EXPECT_EQ(messages(), std::vector<std::string>(2, "Error in fread() of Extra Data."));

  std::filesystem::remove(extraPath);
  fx::CapturedMessages().clear();
  EXPECT_EQ(EBC_GetExtraData(&lat, &lon, 2, &r), EBC_ERR_FILE_OPEN);
  EXPECT_EQ(Predict(1, 0, 50.5, -1.75), EBC_ERR_FILE_OPEN);
  EXPECT_TRUE(messages().empty());

  // A new harmonics file forgets the extra file.
  useExtra(extra);
  useGrid(grid);
  EXPECT_EQ(EBC_GetExtraData(&lat, &lon, 2, &r), EBC_ERR_NO_EXTRA_FILE);
}

// The extra file is kept open between calls; one renamed over it is the one read next.
TEST_F(ApiStatus, ExtraFileReplacedIsReadAnew) {
  useGrid(MakeGrid());
  fx::ExtraDataWriter extra(kGeometry);
  extra.setValue(3, 4, 15, 1.0);
  const std::string path = useExtra(extra);
  double lat = 50.0, lon = -1.25, r = 0;
  ASSERT_EQ(EBC_GetExtraData(&lat, &lon, 15, &r), EBC_OK);
  EXPECT_EQ(r, 1.0);
  extra.setValue(3, 4, 15, 2.0);
  const std::string staged = dir.file("staged.xtr").string();
  extra.write(staged);
  std::filesystem::rename(staged, path);
  ASSERT_EQ(EBC_GetExtraData(&lat, &lon, 15, &r), EBC_OK);
  EXPECT_EQ(r, 2.0);
}

TEST_F(ApiStatus, ExtraFileThatCannotBeSeeked) {
  useGrid(MakeGrid());
  const std::string path = dir.file("pipe").string();
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  const int holder = open(path.c_str(), O_RDWR | O_NONBLOCK);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(EBC_SetXtradataFile(path.c_str()), EBC_OK);
  double lat = 50.5, lon = -1.75, r = 0;
  EXPECT_EQ(EBC_GetExtraData(&lat, &lon, 2, &r), EBC_ERR_SEEK);
  EXPECT_EQ(Predict(1, 0, 50.5, -1.75), EBC_ERR_SEEK);
  EXPECT_EQ(messages(), std::vector<std::string>(2, "Error in fseek() of Extra Data Set"));
  close(holder);
}
