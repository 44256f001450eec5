// The menu sounds: a command executed plays "menu-click", a popup opened "menu-popup", on a
// thread of their own so a slow sound server never holds up a menu.
#pragma once

#include "platform/ui/AfxWin.h"

// Where the sounds go (the desktop's event sounds unless a test records them). Called on the
// sound thread.
class CCbMenuSoundSink {
 public:
  virtual ~CCbMenuSoundSink() = default;
  virtual void PlayMenuSound(int nKind) = 0;  // plays to its end, or starts it and returns
  virtual void Purge() = 0;                   // ends any sound still playing
};

class CCbMenuSound {
 public:
  enum { soundNone = 0, soundMenuCommand = 1, soundMenuPopup = 2 };

  // Asks for a sound; one asked for while another plays is dropped. Starts the thread on first use.
  static void Play(int nKind);
  // Ends the thread and waits for it; nothing without one.
  static void Stop();
  static void EnableSounds(BOOL bEnable);
  static BOOL IsRunning();
  // Null restores the desktop's sounds. Only while no thread runs.
  static void SetSink(CCbMenuSoundSink* pSink);
};
