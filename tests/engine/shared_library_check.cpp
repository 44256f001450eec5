// The shared library as the program sees it: exactly the EBC_* functions exported, and the
// message hook bound at run time to the executable's definition.
#include "engine/Ebbcalc32.h"
#include "tests/engine/GridWriter.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_messages;

const std::set<std::string> kExports = {
    "EBC_Test1",           "EBC_Test2",
    "EBC_Test3",           "EBC_Test4",
    "EBC_Test0A",          "EBC_Test0B",
    "EBC_DoPrediction",    "EBC_DoSeriesPrediction",
    "EBC_DLLVersionInfo",  "EBC_SetHarmonicsFile",
    "EBC_Date2DayNum",     "EBC_GetHarmonicConstants",
    "EBC_SetXtradataFile", "EBC_ModelDomain",
    "EBC_GetExtraData",    "EBC_CheckIfValidLocation",
};

std::string RunCommand(const std::string& command) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return output;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
  pclose(pipe);
  return output;
}

}  // namespace

extern "C" void EbcShowMessageBox(const char* text) { g_messages.emplace_back(text); }

TEST(SharedLibrary, ExportsExactlyTheEbcFunctions) {
  const std::string out = RunCommand(std::string("nm -D --defined-only '") + EBBCALC32_LIBRARY_FILE + "'");
  ASSERT_FALSE(out.empty()) << "nm gave nothing for " << EBBCALC32_LIBRARY_FILE;
  std::set<std::string> names;
  std::istringstream lines(out);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string address, type, name;
    fields >> address >> type >> name;
    if (name.empty()) continue;
    EXPECT_EQ(type, "T") << name;
    names.insert(name);
  }
  EXPECT_EQ(names, kExports);
}

TEST(SharedLibrary, EveryExportResolvesAndNothingElse) {
  void* handle = dlopen(EBBCALC32_LIBRARY_FILE, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(handle, nullptr) << dlerror();
  for (const std::string& name : kExports) EXPECT_NE(dlsym(handle, name.c_str()), nullptr) << name;
  // Internal functions stay hidden.
  EXPECT_EQ(dlsym(handle, "_ZN3ebc14ShowMessageBoxEPKc"), nullptr);
  EXPECT_EQ(dlsym(handle, "_ZN3ebc12WrapDegreesEdd"), nullptr);
  dlclose(handle);
}

TEST(SharedLibrary, MessagesReachTheProgramsHook) {
  namespace fx = ebc::fixture;
  fx::TempDir dir;
  fx::HarmonicsGridWriter grid({2, 2, 50.0, 0.0, 1.0, 1.0}, {36});
  grid.setAllPoints({{36, 1.0, 0.0, 0.5, 0.0, 0.5, 90.0}});
  const std::string path = dir.file("grid.dat").string();
  grid.write(path);
  ASSERT_EQ(EBC_SetHarmonicsFile(path.c_str(), "second"), EBC_OK);

  double lat = 50.0, lon = 0.0, h = 0, u = 0, v = 0, speed = 0, dir2 = 0;
  EXPECT_EQ(EBC_DoPrediction(1, 0, &lat, &lon, 1, 1, 2020, 0, 0, 0, 0, 0, &h, &u, &v, &speed, &dir2), EBC_OK);

  std::filesystem::remove(path);
  g_messages.clear();
  EXPECT_EQ(EBC_DoPrediction(1, 0, &lat, &lon, 1, 1, 2020, 0, 0, 0, 0, 0, &h, &u, &v, &speed, &dir2),
            EBC_ERR_FILE_OPEN);
  EXPECT_EQ(g_messages, std::vector<std::string>{"Harmonics data file missing"});
}

TEST(SharedLibrary, SelfTestsAnswerThroughTheLibrary) {
  EXPECT_EQ(EBC_Test0A(), 54321);
  EXPECT_FLOAT_EQ(EBC_Test0B(), 3.1415927f);
  char version[64] = {};
  EBC_DLLVersionInfo(version);
  EXPECT_STREQ(version, "EBC Hydrodynamics 32-bit DLL : release 3.000");
}
