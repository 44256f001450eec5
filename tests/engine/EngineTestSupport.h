// Shared by the engine's test files: captures the engine's message boxes and writes grids.
// Include it from exactly one source file of a test executable: it defines the message hook.
#pragma once

#include "engine/Ebbcalc32.h"
#include "tests/engine/GridWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ebc::fixture {

inline std::vector<std::string>& CapturedMessages() {
  static std::vector<std::string> messages;
  return messages;
}

}  // namespace ebc::fixture

extern "C" void EbcShowMessageBox(const char* text) { ebc::fixture::CapturedMessages().emplace_back(text ? text : ""); }

namespace ebc::fixture {

// Each test gets a fresh temporary folder and an empty message list.
class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override { CapturedMessages().clear(); }

  const std::vector<std::string>& messages() const { return CapturedMessages(); }

  // Writes the grid and makes it the engine's harmonics file.
  std::string useGrid(const HarmonicsGridWriter& grid, const std::string& name = "grid.dat") {
    const std::string path = dir.file(name).string();
    grid.write(path);
    EXPECT_EQ(EBC_SetHarmonicsFile(path.c_str(), "unused"), EBC_OK);
    return path;
  }

  std::string useExtra(const ExtraDataWriter& extra, const std::string& name = "extra.dat") {
    const std::string path = dir.file(name).string();
    extra.write(path);
    EXPECT_EQ(EBC_SetXtradataFile(path.c_str()), EBC_OK);
    return path;
  }

  // Forgets every file, as after a failed set-up.
  static void forgetFiles() { EXPECT_EQ(EBC_SetHarmonicsFile("", ""), EBC_ERR_PATH); }

  TempDir dir;
};

}  // namespace ebc::fixture
