#include "toolkit/CbMenuSound.h"

#include "platform/ui/EventSound.h"

#include <atomic>
#include <chrono>
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
// The asked-for kind, shared with the sound thread; the stop request is a flag of its own so the
// thread's reset after a sound can never undo it.
std::atomic<int> g_state{CCbMenuSound::soundNone};
std::atomic<bool> g_stop{false};
// A program that exits without Stop (a sound played, the frame never shut down) still joins the
// thread: a joinable thread destroyed at exit aborts the process.
struct CSoundThread : std::thread {
  using std::thread::operator=;
  ~CSoundThread() {
    if (!joinable()) return;
    g_stop.store(true);
    join();
  }
};
CSoundThread g_thread;
BOOL g_enabled = TRUE;

void soundThread() {
  while (!g_stop.load()) {
    int kind = g_state.load();
    if (kind == CCbMenuSound::soundMenuCommand || kind == CCbMenuSound::soundMenuPopup) {
      g_sink->PlayMenuSound(kind);
      // Requests made while it played, or within 5 ms of it, are dropped: a burst of commands
      // makes one sound.
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      g_state.store(CCbMenuSound::soundNone);
      continue;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  g_sink->Purge();
}

}  // namespace

void CCbMenuSound::Play(int nKind) {
  if (!g_enabled) return;
  if (nKind != soundMenuCommand && nKind != soundMenuPopup) return;
  if (!g_thread.joinable()) {
    g_state.store(soundNone);
    g_stop.store(false);
    try {
      g_thread = std::thread(soundThread);
    } catch (...) {
      return;  // no thread: silent
    }
  }
  g_state.store(nKind);
}

void CCbMenuSound::Stop() {
  if (!g_thread.joinable()) return;
  g_stop.store(true);
  g_thread.join();
  g_state.store(soundNone);
}

void CCbMenuSound::EnableSounds(BOOL bEnable) { g_enabled = bEnable; }

BOOL CCbMenuSound::IsRunning() { return g_thread.joinable(); }

void CCbMenuSound::SetSink(CCbMenuSoundSink* pSink) {
  if (g_thread.joinable()) return;
  g_sink = pSink ? pSink : &g_desktop;
}
