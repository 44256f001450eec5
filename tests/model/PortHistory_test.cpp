#include "model/PortHistory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>

#include "model/PortDB.h"
#include "tests/model/ModelTables.h"

using model_test::Port;
using model_test::TableBytes;

namespace {

// A fresh profile in a folder of its own for each test.
class PortHistoryProfile : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    m_folder = std::filesystem::temp_directory_path() /
               ("neapwise-history-" + std::to_string(::getpid()) + "-" + info->name());
    std::filesystem::remove_all(m_folder);
    std::filesystem::create_directories(m_folder);
    ::setenv("XDG_CONFIG_HOME", m_folder.c_str(), 1);
    AfxGetApp()->ResetProfile();

    std::vector<CPortData> ports;
    for (int i = 0; i < 20; ++i) ports.push_back(Port(i, i + 1, ("Port " + std::to_string(i)).c_str()));
    m_bytes = TableBytes<CPortDB>(ports);
    m_ports = std::make_unique<CPortDB>(m_bytes.data(), m_bytes.size());
    ASSERT_EQ(m_ports->Load(), 1);
  }
  void TearDown() override {
    AfxGetApp()->ResetProfile();
    std::filesystem::remove_all(m_folder);
  }

  std::filesystem::path m_folder;
  std::vector<BYTE> m_bytes;
  std::unique_ptr<CPortDB> m_ports;
};

std::vector<int> Indices(const CPortHistory& h) {
  std::vector<int> out;
  int index;
  CString name;
  for (int i = 0; h.GetEntry(i, index, name); ++i) out.push_back(index);
  return out;
}

}  // namespace

TEST(PortHistory, MostRecentFirstAtMostTen) {
  CPortHistory h;
  h.Add(3, "C");
  h.Add(3, "C");  // already at the head: nothing
  EXPECT_EQ(h.GetCount(), 1);
  h.Add(5, "E");
  h.Add(3, "C");  // further down is not removed
  EXPECT_EQ(Indices(h), (std::vector<int>{3, 5, 3}));
  for (int i = 10; i < 18; ++i) h.Add(i, "x");
  EXPECT_EQ(h.GetCount(), 10);
  h.Add(18, "y");  // the eleventh drops the oldest
  EXPECT_EQ(Indices(h), (std::vector<int>{18, 17, 16, 15, 14, 13, 12, 11, 10, 3}));

  int index = -7;
  CString name;
  EXPECT_EQ(h.GetEntry(0, index, name), 1);
  EXPECT_EQ(index, 18);
  EXPECT_STREQ(name, "y");
  EXPECT_EQ(h.GetEntry(10, index, name), 0);
  EXPECT_EQ(h.GetEntry(-1, index, name), 0);
  EXPECT_EQ(CPortHistory().GetEntry(0, index, name), 0);
}

TEST_F(PortHistoryProfile, SavesAndLoadsInOrder) {
  CPortHistory saved;
  for (int i : {4, 9, 2}) saved.Add(i, "ignored");
  saved.Save();
  EXPECT_EQ(static_cast<int>(AfxGetApp()->GetProfileInt("HistoryUK", "PortHistory0", -1)), 2);
  EXPECT_EQ(static_cast<int>(AfxGetApp()->GetProfileInt("HistoryEuro", "PortHistory2", -1)), 4);

  CPortHistory loaded;
  loaded.Load(*m_ports);
  EXPECT_EQ(Indices(loaded), (std::vector<int>{2, 9, 4}));
  int index;
  CString name;
  ASSERT_EQ(loaded.GetEntry(1, index, name), 1);
  EXPECT_STREQ(name, "Port 9");  // names come from the port table
}

TEST_F(PortHistoryProfile, OnlyTheEuroSectionIsRead) {
  AfxGetApp()->WriteProfileInt("HistoryUK", "PortHistory0", 5);
  AfxGetApp()->WriteProfileInt("HistoryUK", "PortHistory1", 6);
  CPortHistory h;
  h.Load(*m_ports);
  EXPECT_EQ(h.GetCount(), 0);
}

TEST_F(PortHistoryProfile, ValuesNamingNoPortAreDropped) {
  AfxGetApp()->WriteProfileInt("HistoryEuro", "PortHistory0", 7);
  AfxGetApp()->WriteProfileInt("HistoryEuro", "PortHistory1", 20);  // beyond the table
  AfxGetApp()->WriteProfileInt("HistoryEuro", "PortHistory2", -5);
  AfxGetApp()->WriteProfileInt("HistoryEuro", "PortHistory3", 0);
  CPortHistory h;
  h.Load(*m_ports);
  EXPECT_EQ(Indices(h), (std::vector<int>{7, 0}));
}
