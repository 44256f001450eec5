// The menu sounds, heard through a recording sink in place of the desktop's sounds.
#include "toolkit/CbMenuSound.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

class CRecordingSink : public CCbMenuSoundSink {
 public:
  std::mutex mutex;
  std::condition_variable cv;
  std::vector<int> played;
  pid_t thread = 0;  // the sound thread's id
  int purges = 0;
  bool hold = false;  // the sound "plays" until released
  void PlayMenuSound(int nKind) override {
    std::unique_lock<std::mutex> lock(mutex);
    played.push_back(nKind);
    thread = gettid();
    cv.notify_all();
    cv.wait(lock, [&] { return !hold; });
  }
  void Purge() override {
    std::lock_guard<std::mutex> lock(mutex);
    ++purges;
  }
  bool waitPlayed(size_t n) {
    std::unique_lock<std::mutex> lock(mutex);
    return cv.wait_for(lock, std::chrono::seconds(5), [&] { return played.size() >= n; });
  }
  void release() {
    std::lock_guard<std::mutex> lock(mutex);
    hold = false;
    cv.notify_all();
  }
};

struct SinkScope {
  CRecordingSink sink;
  SinkScope() { CCbMenuSound::SetSink(&sink); }
  ~SinkScope() {
    CCbMenuSound::Stop();
    CCbMenuSound::SetSink(nullptr);
    CCbMenuSound::EnableSounds(TRUE);
  }
};

TEST(MenuSound, TwoCommandsInQuickSuccessionPlayOneSound) {
  SinkScope s;
  CCbMenuSound::Play(CCbMenuSound::soundMenuCommand);
  CCbMenuSound::Play(CCbMenuSound::soundMenuCommand);
  ASSERT_TRUE(s.sink.waitPlayed(1));
  CCbMenuSound::Stop();
  EXPECT_EQ(s.sink.played, std::vector<int>{CCbMenuSound::soundMenuCommand});
}

TEST(MenuSound, APopupOpenedWhileTheCommandSoundPlaysStaysSilent) {
  SinkScope s;
  s.sink.hold = true;
  CCbMenuSound::Play(CCbMenuSound::soundMenuCommand);
  ASSERT_TRUE(s.sink.waitPlayed(1));
  CCbMenuSound::Play(CCbMenuSound::soundMenuPopup);
  s.sink.release();
  CCbMenuSound::Stop();
  EXPECT_EQ(s.sink.played, std::vector<int>{CCbMenuSound::soundMenuCommand});
}

TEST(MenuSound, StopWhileASoundPlaysEndsAndJoinsTheThread) {
  SinkScope s;
  CCbMenuSound::Stop();  // no thread yet: nothing
  EXPECT_FALSE(CCbMenuSound::IsRunning());
  s.sink.hold = true;
  CCbMenuSound::Play(CCbMenuSound::soundMenuPopup);
  ASSERT_TRUE(s.sink.waitPlayed(1));
  EXPECT_TRUE(CCbMenuSound::IsRunning());
  s.sink.release();
  CCbMenuSound::Stop();  // the stop is not lost to the reset after the sound
  EXPECT_FALSE(CCbMenuSound::IsRunning());
  EXPECT_EQ(s.sink.purges, 1);
  // A later sound starts a new thread.
  CCbMenuSound::Play(CCbMenuSound::soundMenuCommand);
  ASSERT_TRUE(s.sink.waitPlayed(2));
  CCbMenuSound::Stop();
  EXPECT_FALSE(CCbMenuSound::IsRunning());
}

TEST(MenuSound, DisabledOrUnknownSoundsStartNothing) {
  SinkScope s;
  CCbMenuSound::EnableSounds(FALSE);
  CCbMenuSound::Play(CCbMenuSound::soundMenuCommand);
  EXPECT_FALSE(CCbMenuSound::IsRunning());
  CCbMenuSound::EnableSounds(TRUE);
  CCbMenuSound::Play(7);
  EXPECT_FALSE(CCbMenuSound::IsRunning());
}

TEST(MenuSound, WithoutTheDesktopSoundLibraryTheDefaultSinkIsSilent) {
  CCbMenuSound::SetSink(nullptr);
  CCbMenuSound::Play(CCbMenuSound::soundMenuCommand);
  CCbMenuSound::Stop();
  EXPECT_FALSE(CCbMenuSound::IsRunning());
}

// Voluntary and involuntary context switches of one thread of this process.
long ContextSwitches(pid_t tid) {
  std::ifstream in("/proc/self/task/" + std::to_string(tid) + "/status");
  std::string line;
  long total = 0;
  while (std::getline(in, line))
    if (line.rfind("voluntary_ctxt_switches:", 0) == 0 || line.rfind("nonvoluntary_ctxt_switches:", 0) == 0)
      total += std::atol(line.c_str() + line.find(':') + 1);
  return total;
}

// The thread lives on after its sound until exit; meanwhile it sleeps rather than polls.
TEST(MenuSound, AfterASoundTheThreadSleeps) {
  SinkScope s;
  CCbMenuSound::Play(CCbMenuSound::soundMenuPopup);
  ASSERT_TRUE(s.sink.waitPlayed(1));
  std::this_thread::sleep_for(std::chrono::milliseconds(30));  // past the quiet time after it
  const long before = ContextSwitches(s.sink.thread);
  std::this_thread::sleep_for(std::chrono::milliseconds(250));
  EXPECT_LE(ContextSwitches(s.sink.thread) - before, 2);
  EXPECT_TRUE(CCbMenuSound::IsRunning());
  CCbMenuSound::Play(CCbMenuSound::soundMenuCommand);  // and still wakes for the next sound
  EXPECT_TRUE(s.sink.waitPlayed(2));
}

}  // namespace

// A program that played a sound and exits without Stop still ends cleanly: the thread is
// joined at exit rather than destroyed while it runs (which aborts the process).
TEST(MenuSoundDeathTest, ExitWithoutStopEndsCleanly) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        // Kept to the end: the thread may still reach it while the process exits.
        auto* sink = new CRecordingSink;
        CCbMenuSound::SetSink(sink);
        CCbMenuSound::Play(CCbMenuSound::soundMenuPopup);
        sink->waitPlayed(1);
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}
