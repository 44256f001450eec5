#include "platform/ui/Accel.h"

#include "platform/ui/CtlInternal.h"
#include "platform/ui/Menu.h"
#include "platform/ui/UiResources.h"

#include <set>
#include <vector>

namespace {
struct Table {
  std::vector<ACCEL> entries;
};
std::set<Table*>& tables() {
  static std::set<Table*> s;
  return s;
}
Table* tableOf(HACCEL h) {
  auto* t = reinterpret_cast<Table*>(h);
  return (h && tables().count(t)) ? t : nullptr;
}

// The framework's edit commands, as the message an edit carries them out on.
UINT EditMessageOf(WORD cmd) {
  switch (cmd) {
    case ID_EDIT_COPY: return WM_COPY;
    case ID_EDIT_CUT: return WM_CUT;
    case ID_EDIT_PASTE: return WM_PASTE;
    case ID_EDIT_UNDO: return WM_UNDO;
  }
  return 0;
}
}  // namespace

HACCEL CreateAcceleratorTable(LPACCEL p, int n) {
  if (!p || n <= 0) return nullptr;
  auto* t = new Table;
  t->entries.assign(p, p + n);
  tables().insert(t);
  return reinterpret_cast<HACCEL>(t);
}

HACCEL LoadAccelerators(HINSTANCE hInstance, LPCTSTR name) {
  AfxEnsureUiResources();
  HRSRC r = FindResource(hInstance, name, RT_ACCELERATOR);
  if (!r) return nullptr;
  const BYTE* p = static_cast<const BYTE*>(LockResource(LoadResource(hInstance, r)));
  DWORD size = SizeofResource(hInstance, r);
  std::vector<ACCEL> v;
  for (DWORD off = 0; off + 8 <= size; off += 8) {
    WORD flags = (WORD)(p[off] | (p[off + 1] << 8));
    ACCEL a{(BYTE)(flags & 0x7F), (WORD)(p[off + 2] | (p[off + 3] << 8)), (WORD)(p[off + 4] | (p[off + 5] << 8))};
    v.push_back(a);
    if (flags & 0x80) break;
  }
  return CreateAcceleratorTable(v.data(), (int)v.size());
}

BOOL DestroyAcceleratorTable(HACCEL h) {
  Table* t = tableOf(h);
  if (!t) return FALSE;
  tables().erase(t);
  delete t;
  return TRUE;
}

int CopyAcceleratorTable(HACCEL h, LPACCEL dst, int n) {
  Table* t = tableOf(h);
  if (!t) return 0;
  if (!dst) return (int)t->entries.size();
  int k = 0;
  for (; k < n && k < (int)t->entries.size(); ++k) dst[k] = t->entries[(size_t)k];
  return k;
}

int TranslateAccelerator(HWND hWnd, HACCEL h, LPMSG msg) {
  Table* t = tableOf(h);
  if (!t || !msg || !IsWindow(hWnd)) return 0;
  bool keyDown = msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN;
  bool charMsg = msg->message == WM_CHAR || msg->message == WM_SYSCHAR;
  if (!keyDown && !charMsg) return 0;
  bool shift = GetKeyState(VK_SHIFT) & 0x8000, ctrl = GetKeyState(VK_CONTROL) & 0x8000,
       alt = GetKeyState(VK_MENU) & 0x8000;
  for (const ACCEL& a : t->entries) {
    bool match = false;
    if (a.fVirt & FVIRTKEY) {
      match = keyDown && msg->wParam == a.key && shift == ((a.fVirt & FSHIFT) != 0) &&
              ctrl == ((a.fVirt & FCONTROL) != 0) && alt == ((a.fVirt & FALT) != 0);
    } else {
      match = charMsg && msg->wParam == a.key && alt == ((a.fVirt & FALT) != 0);
    }
    if (match) {
      // Copy, cut, paste and undo belong to the edit that has the focus, whichever of the
      // table's keys asked for them; the frame gets them when no edit has the focus.
      const UINT editMsg = EditMessageOf(a.cmd);
      HWND focus = ::GetFocus();
      if (editMsg && focus && AfxCtlKindOf(focus) == AfxCtlKind::Edit)
        ::SendMessage(focus, editMsg, 0, 0);
      else
        ::SendMessage(hWnd, WM_COMMAND, MAKEWPARAM(a.cmd, 1), 0);
      if (keyDown) AfxNoteKeyTranslated();  // after the command: it may run a loop of its own
      return 1;
    }
  }
  return 0;
}
