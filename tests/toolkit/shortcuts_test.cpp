// Shortcut texts shown in menus: the frame's accelerator entries of a command, by key names.
#include "toolkit/CbCommandBars.h"
#include "toolkit/CbShortcutManager.h"

#include <gtest/gtest.h>

namespace {

TEST(Shortcuts, EntriesAreWrittenWithTheKeysNames) {
  struct Case {
    ACCEL accel;
    const char* text;
    int priority;
  };
  const Case cases[] = {
      {{FVIRTKEY | FCONTROL | FSHIFT, 'N', 1}, "Ctrl+Shift+N", 3},
      {{FVIRTKEY, VK_F12, 1}, "F12", 4},
      {{FVIRTKEY | FALT, VK_BACK, 1}, "Alt+Back", 2},
      {{FVIRTKEY | FSHIFT, VK_DELETE, 1}, "Shift+Del", 1},
      {{FVIRTKEY | FCONTROL | FALT, VK_NUMPAD0 + 5, 1}, "Ctrl+Alt+Num 5", 3},
      {{FVIRTKEY | FCONTROL, VK_CANCEL, 1}, "Ctrl+Break", 3},  // no modifier names before Ctrl+Break
      {{FVIRTKEY, VK_PRIOR, 1}, "Page Up", 4},
      {{0, '?', 1}, "?", 4},          // a character key as itself
      {{FCONTROL, 0, 1}, "Ctrl", 3},  // no key: no trailing "+"
      {{0, 27, 1}, "", 4},            // Esc as a character adds nothing
      {{FVIRTKEY, 0xE9, 1}, "", 4},   // a key the table does not name
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    int priority = 0;
    CString text;
    CKeyHelper(&c.accel).Format(text, &priority);
    EXPECT_EQ(text, CString(c.text));
    EXPECT_EQ(priority, c.priority);
  }
}

TEST(Shortcuts, AMenuShowsThePlainestKeyUnlessItShowsOneOfTheCommandsKeys) {
  AfxWinInit(0, nullptr);
  ACCEL entries[] = {{FVIRTKEY | FCONTROL, 'S', 57603}, {FVIRTKEY, VK_F12, 57603}, {FVIRTKEY | FSHIFT, VK_F5, 500}};
  CFrameWnd frame;
  frame.m_hAccelTable = CreateAcceleratorTable(entries, 3);
  CCbCommandBars bars;  // on the stack: this test holds the only reference
  bars.SetSite(&frame);
  struct Case {
    UINT cmd;
    const char* shown;
    BOOL found;
    const char* text;
  };
  const Case cases[] = {
      {57603, "", TRUE, "F12"},                                       // a key without modifiers wins over Ctrl+S
      {57603, "Ctrl+S", TRUE, "Ctrl+S"},                              // the caption's own text after the tab stays
      {57603, "Ctrl+Q", TRUE, "F12"},                                 // not one of the command's keys: replaced
      {500, "", TRUE, "Shift+F5"},       {501, "Ctrl+X", FALSE, ""},  // no entries: no text
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shown);
    CString text = c.shown;
    EXPECT_EQ(CbShortcutManager()->FindDefaultAccelerator(c.cmd, text, &bars), c.found);
    EXPECT_EQ(text, CString(c.text));
  }
  DestroyAcceleratorTable(frame.m_hAccelTable);
  frame.m_hAccelTable = nullptr;
}

}  // namespace
