// Shortcut texts of menu items: the frame's accelerator entries of a command, written out with
// the keys' names ("Ctrl+Shift+N", "F12").
#pragma once

#include "platform/ui/AfxWin.h"

class CCbCommandBars;

// One accelerator entry and its text.
class CKeyHelper {
 public:
  explicit CKeyHelper(const ACCEL* lpAccel) : m_lpAccel(lpAccel) {}
  // The entry's text; *pPriority (when given) is 4 for a bare key, 3 with Ctrl, 2 with Alt, 1 with
  // Shift only, so the plainest key is the one a menu shows.
  void Format(CString& str, int* pPriority = nullptr) const;

 private:
  const ACCEL* m_lpAccel;
};

class CCbShortcutManager {
 public:
  // TRUE when the command has an accelerator entry; the shortcut text becomes the best entry's
  // text unless it already shows one of the command's entries (empty without entries).
  BOOL FindDefaultAccelerator(UINT nCmd, CString& strShortcut, CCbCommandBars* pCommandBars = nullptr) const;
  CString Format(const ACCEL* lpAccel, int* pPriority = nullptr) const;
  // One key's name; a key that is not the last one is followed by "+".
  CString GetKeyName(UINT nVirtKey, BOOL bLast) const;
};

CCbShortcutManager* CbShortcutManager();
