#include "toolkit/CbMenuSound.h"

#include "platform/ui/EventSound.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

class CDesktopSoundSink : public CCbMenuSoundSink {
 public:
  void PlayMenuSound(int nKind) override {
    AfxPlayEventSound(nKind == CCbMenuSound::soundMenuPopup ? "menu-popup" : "menu-click");
  }
  void Purge() override { AfxCancelEventSounds(); }
};

CDesktopSoundSink g_desktop;
CCbMenuSoundSink* g_sink = &g_desktop;
// The asked-for kind and the stop request, shared with the sound thread, which sleeps on the
// condition until one of them changes: an idle program is not woken. The stop request is a flag
// of its own so the thread's reset after a sound can never undo it.
std::mutex g_mutex;
std::condition_variable g_wake;
int g_state = CCbMenuSound::soundNone;
bool g_stop = false;

void RequestStop() {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_stop = true;
  g_wake.notify_all();
}

// A program that exits without Stop (a sound played, the frame never shut down) still joins the
// thread: a joinable thread destroyed at exit aborts the process.
struct CSoundThread : std::thread {
  using std::thread::operator=;
  ~CSoundThread() {
    if (!joinable()) return;
    RequestStop();
    join();
  }
};
CSoundThread g_thread;
BOOL g_enabled = TRUE;

void soundThread() {
  std::unique_lock<std::mutex> lock(g_mutex);
  for (;;) {
    g_wake.wait(lock, [] { return g_stop || g_state != CCbMenuSound::soundNone; });
    if (g_stop) break;
    const int kind = g_state;
    lock.unlock();
    g_sink->PlayMenuSound(kind);
    lock.lock();
    // Requests made while it played, or within 5 ms of it, are dropped: a burst of commands
    // makes one sound.
    g_wake.wait_for(lock, std::chrono::milliseconds(5), [] { return g_stop; });
    g_state = CCbMenuSound::soundNone;
  }
  lock.unlock();
  g_sink->Purge();
}

}  // namespace

void CCbMenuSound::Play(int nKind) {
  if (!g_enabled) return;
  if (nKind != soundMenuCommand && nKind != soundMenuPopup) return;
  if (!g_thread.joinable()) {
    {
      std::lock_guard<std::mutex> lock(g_mutex);
      g_state = soundNone;
      g_stop = false;
    }
    try {
      g_thread = std::thread(soundThread);
    } catch (...) {
      return;  // no thread: silent
    }
  }
  std::lock_guard<std::mutex> lock(g_mutex);
  g_state = nKind;
  g_wake.notify_one();
}

void CCbMenuSound::Stop() {
  if (!g_thread.joinable()) return;
  RequestStop();
  g_thread.join();
  std::lock_guard<std::mutex> lock(g_mutex);
  g_state = soundNone;
}

void CCbMenuSound::EnableSounds(BOOL bEnable) { g_enabled = bEnable; }

BOOL CCbMenuSound::IsRunning() { return g_thread.joinable(); }

void CCbMenuSound::SetSink(CCbMenuSoundSink* pSink) {
  if (g_thread.joinable()) return;
  g_sink = pSink ? pSink : &g_desktop;
}
