// A save cut short must leave the previous file whole. A child process saves in a loop,
// alternating two contents, and is killed at a random moment; the file must then be exactly
// one of the two and read back without being taken for a corrupt one, and reading it back
// removes the temporary file the killed save left.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "chart/RoutesFile.h"
#include "model/TideLogFile.h"
#include "platform/core/Afx.h"
#include "tests/fuzz/FuzzSupport.h"

namespace fs = std::filesystem;

namespace {

class Folder {
 public:
  Folder() {
    std::string tmpl = (fs::temp_directory_path() / "neapwise-killed-save-XXXXXX").string();
    if (::mkdtemp(tmpl.data()) != nullptr) m_path = tmpl;
  }
  ~Folder() {
    std::error_code ec;
    if (!m_path.empty()) fs::remove_all(m_path, ec);
  }
  const fs::path& path() const { return m_path; }

 private:
  fs::path m_path;
};

std::string Bytes(const fs::path& p) {
  std::string s;
  neapwise_fuzz::ReadFile(p.string(), s);
  return s;
}

// Kills a child that runs save(round) for round = 1, 2, 3 ... until it dies, at least `rounds`
// times, once the child has finished its first save: half the time after a random pause of up
// to `window`, half the time as soon as saving() sees a save under way (plus a short random
// pause). check() tells which content the file holds: 0 or 1 for the two contents, anything
// else fails. On a busy machine saves run slower than `window` says, so while enough() is not
// yet met the kills go on, up to eight times as many, with ever longer pauses.
struct KillCounts {
  int first = 0;
  int second = 0;
  int total = 0;
};

KillCounts KillWhileSaving(int rounds, std::chrono::microseconds window, const std::function<void(int round)>& save,
                           const std::function<bool()>& saving, const std::function<int()>& check,
                           const std::function<bool(const KillCounts&)>& enough) {
  KillCounts counts;
  std::mt19937 random(12345);  // the same pauses on every run
  for (int k = 0; k < 8 * rounds && (k < rounds || !enough(counts)); ++k) {
    const long longest = static_cast<long>(window.count()) * (1 + k / rounds);
    std::uniform_int_distribution<long> pause(0, longest);
    ++counts.total;
    int saved[2];
    if (::pipe(saved) != 0) {
      ADD_FAILURE() << "no pipe";
      return counts;
    }
    const pid_t child = ::fork();
    if (child == 0) {
      ::close(saved[0]);
      for (int round = 1;; ++round) {
        save(round);
        const char done = 1;
        if (round == 1 && ::write(saved[1], &done, 1) != 1) ::_exit(3);
      }
    }
    ::close(saved[1]);
    EXPECT_GT(child, 0);
    if (child <= 0) return counts;
    char done = 0;
    EXPECT_EQ(::read(saved[0], &done, 1), 1) << "the child did not finish a save";
    ::close(saved[0]);
    if (k % 2 == 0) {
      std::this_thread::sleep_for(std::chrono::microseconds(pause(random)));
    } else {
      // Every other kill waits for a save to be under way, then a little more.
      const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
      while (!saving() && std::chrono::steady_clock::now() < giveUp) {
      }
      std::this_thread::sleep_for(std::chrono::microseconds(pause(random) / 50));
    }
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status)) << "the saving child ended on its own";
    const int which = check();
    if (which == 0)
      ++counts.first;
    else if (which == 1)
      ++counts.second;
    else
      ADD_FAILURE() << "after kill " << k << " the file is neither the old nor the new content";
  }
  return counts;
}

// Settings large enough that writing them takes a while; the file depends only on the
// generation's parity (the section is written afresh each time).
const char kPadding[] =
    "padded so that the file spans many blocks ................................................"
    "................................................................................................"
    "................................................................................................"
    "................................................................................................";

void WriteSettings(CProfileStore& store, int generation) {
  store.BeginDeferredWrites();
  store.WriteProfileString("General", nullptr, nullptr);
  for (int i = 0; i < 400; ++i) {
    CString entry, value;
    entry.Format("Entry%d", i);
    value.Format("generation %d of value %d, %s", generation % 2, i, kPadding);
    store.WriteProfileString("General", entry, value);
  }
  store.WriteProfileInt("General", "LastPort", generation % 2 ? 1111 : 22);
  store.EndDeferredWrites();
}

TEST(InterruptedSave, KilledSettingsSaveLeavesTheOldOrTheNewFile) {
  Folder folder;
  ASSERT_FALSE(folder.path().empty());
  const fs::path path = folder.path() / "Neapwise.conf";

  // The two contents, as the profile writes them.
  std::string contents[2];
  for (int g = 0; g < 2; ++g) {
    const fs::path p = folder.path() / ("expected" + std::to_string(g) + ".conf");
    {
      CProfileStore store(CString(p.c_str()));
      WriteSettings(store, g);
    }
    contents[g] = Bytes(p);
    fs::remove(p);
    ASSERT_GT(contents[g].size(), 100000u);
  }
  {
    CProfileStore store(CString(path.c_str()));
    WriteSettings(store, 0);
  }
  ASSERT_EQ(Bytes(path), contents[0]);

  // Kills land anywhere in the next two saves of the child.
  const auto started = std::chrono::steady_clock::now();
  {
    CProfileStore store(CString(path.c_str()));
    WriteSettings(store, 1);
    WriteSettings(store, 0);
  }
  const auto window = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started);
  ASSERT_EQ(Bytes(path), contents[0]);

  std::set<fs::path> leftover;  // temporary files of saves killed earlier
  const KillCounts counts = KillWhileSaving(
      30, window,
      [&](int round) {
        CProfileStore store(CString(path.c_str()));
        WriteSettings(store, round);
      },
      [&]() {
        for (const auto& e : fs::directory_iterator(folder.path()))
          if (e.path().filename().string().rfind(".Neapwise.conf.", 0) == 0 && !leftover.count(e.path())) return true;
        return false;
      },
      [&]() {
        for (const auto& e : fs::directory_iterator(folder.path()))
          if (e.path().filename().string().rfind(".Neapwise.conf.", 0) == 0) leftover.insert(e.path());
        const std::string now = Bytes(path);
        const int which = now == contents[0] ? 0 : now == contents[1] ? 1 : -1;
        if (which >= 0) {
          CProfileStore store(CString(path.c_str()));
          EXPECT_EQ(store.GetProfileInt("General", "LastPort", -1), which ? 1111u : 22u);
          EXPECT_TRUE(store.GetMovedAsidePath().IsEmpty());
        }
        return which;
      },
      [&](const KillCounts& c) { return c.first > 0 && c.second > 0 && !leftover.empty(); });
  // Both contents were met: the kills fell at different points of the saves.
  EXPECT_GT(counts.first, 0);
  EXPECT_GT(counts.second, 0);
  EXPECT_EQ(counts.first + counts.second, counts.total);
  // A kill inside a save leaves the save's temporary file behind: some kills must have
  // landed there, or the test proved nothing.
  for (const auto& e : fs::directory_iterator(folder.path()))
    EXPECT_EQ(e.path().filename().string().find(".bad"), std::string::npos) << e.path();
  std::printf("%zu of %d kills landed inside a save\n", leftover.size(), counts.total);
  EXPECT_GT(leftover.size(), 0u);
  // Reading the settings again after each kill removed what the killed save left.
  for (const auto& e : fs::directory_iterator(folder.path()))
    EXPECT_NE(e.path().filename().string().rfind(".Neapwise.conf.", 0), 0u) << "left for ever: " << e.path();
}

// Kills saves of a user file (named fileName in folder) 30 times or more: save(g) writes generation g,
// whose bytes are contents[g % 2]; after each kill the file must be one of the two and
// readBack(which) checks it loads as that one.
void CheckKilledSaves(const fs::path& folder, const std::string& fileName, const std::string (&contents)[2],
                      const std::function<bool(int generation)>& save, const std::function<void(int which)>& readBack,
                      const char* what) {
  const fs::path path = folder / fileName;
  const std::string tempPrefix = "." + fileName + ".";
  ASSERT_TRUE(save(0));
  ASSERT_EQ(Bytes(path), contents[0]);

  const auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(save(1));
  ASSERT_TRUE(save(0));
  const auto window = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started);

  std::set<fs::path> leftover;
  const KillCounts counts = KillWhileSaving(
      30, window, [&](int round) { save(round); },
      [&]() {
        for (const auto& e : fs::directory_iterator(folder))
          if (e.path().filename().string().rfind(tempPrefix, 0) == 0 && !leftover.count(e.path())) return true;
        return false;
      },
      [&]() {
        for (const auto& e : fs::directory_iterator(folder))
          if (e.path().filename().string().rfind(tempPrefix, 0) == 0) leftover.insert(e.path());
        const std::string now = Bytes(path);
        const int which = now == contents[0] ? 0 : now == contents[1] ? 1 : -1;
        if (which >= 0) readBack(which);
        return which;
      },
      [&](const KillCounts& c) { return c.first > 0 && c.second > 0 && !leftover.empty(); });
  EXPECT_GT(counts.first, 0);
  EXPECT_GT(counts.second, 0);
  EXPECT_EQ(counts.first + counts.second, counts.total);
  for (const auto& e : fs::directory_iterator(folder))
    EXPECT_EQ(e.path().filename().string().find(".bad"), std::string::npos) << e.path();
  std::printf("%zu of %d kills landed inside a %s save\n", leftover.size(), counts.total, what);
  EXPECT_GT(leftover.size(), 0u);
  // Reading the file again after each kill, as the program does at start-up, removed what
  // the killed save left.
  for (const auto& e : fs::directory_iterator(folder))
    EXPECT_NE(e.path().filename().string().rfind(tempPrefix, 0), 0u) << "left for ever: " << e.path();
}

// The tidal log: as large as the program reads, so that a save takes long enough to be hit.
std::vector<TIDELOG_ROW> LogRows(int generation) {
  std::vector<TIDELOG_ROW> rows;
  for (int i = 0; i < CTideLogFile::kMaxRows; ++i)
    rows.push_back({i % 500, 1 + i % 28, 1 + i % 12, 2010 + generation % 2, i % 24, generation % 2 ? 30 : 15});
  return rows;
}

TEST(InterruptedSave, KilledLogSaveLeavesTheOldOrTheNewLog) {
  Folder folder;
  ASSERT_FALSE(folder.path().empty());
  const CString target((folder.path() / "logdata.dat").c_str());
  const std::vector<TIDELOG_ROW> rows[2] = {LogRows(0), LogRows(1)};
  std::string contents[2];
  for (int g = 0; g < 2; ++g) {
    const std::vector<BYTE> b = CTideLogFile::Format(rows[g]);
    contents[g].assign(b.begin(), b.end());
  }
  CheckKilledSaves(
      folder.path(), "logdata.dat", contents, [&](int g) { return CTideLogFile::Save(target, rows[g % 2]) != FALSE; },
      [&](int which) {
        std::vector<TIDELOG_ROW> back;
        const TIDELOG_LOAD info = CTideLogFile::Load(target, 500, back);
        EXPECT_EQ(info.status, TIDELOG_LOAD::ok);
        EXPECT_TRUE(back == rows[which]);
      },
      "log");
}

// Routes: many of them, long, so that a save takes long enough to be hit.
std::vector<std::unique_ptr<CMapRoute>> ManyRoutes(int generation) {
  std::vector<std::unique_ptr<CMapRoute>> routes;
  for (int i = 0; i < 200; ++i) {
    auto r = std::make_unique<CMapRoute>();
    CString name;
    name.Format("Route %d of generation %d", i, generation % 2);
    r->SetName(name);
    r->SetSpeed(generation % 2 ? 7.5 : 4.0);
    for (int k = 0; k < 60; ++k) r->AddPoint(49.0 + k * 0.05, -5.0 + i * 0.02);
    routes.push_back(std::move(r));
  }
  return routes;
}

TEST(InterruptedSave, KilledRoutesSaveLeavesTheOldOrTheNewRoutes) {
  Folder folder;
  ASSERT_FALSE(folder.path().empty());
  const CString target((folder.path() / "routes.dat").c_str());
  std::vector<std::unique_ptr<CMapRoute>> owned[2] = {ManyRoutes(0), ManyRoutes(1)};
  std::vector<const CMapRoute*> routes[2];
  std::string contents[2];
  for (int g = 0; g < 2; ++g) {
    for (const auto& r : owned[g]) routes[g].push_back(r.get());
    const std::vector<BYTE> b = CRoutesFile::Format(routes[g]);
    contents[g].assign(b.begin(), b.end());
  }
  CheckKilledSaves(
      folder.path(), "routes.dat", contents, [&](int g) { return CRoutesFile::Save(target, routes[g % 2]) != FALSE; },
      [&](int which) {
        CMapRouteList back;
        const ROUTES_LOAD info = CRoutesFile::Load(target, back);
        EXPECT_EQ(info.status, ROUTES_LOAD::ok);
        EXPECT_EQ(back.size(), routes[which].size());
      },
      "routes");
}

}  // namespace
