// What the pages' tests share: reading back saved files, typing into a field, printing to a PDF
// file, counting pixels, and opening a page's context menu from the keyboard as a user would.
#pragma once

#include "platform/testing/UiTest.h"
#include "platform/ui/CommonDlg.h"

#include <ftw.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace views_test {

inline std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

inline int Occurrences(const std::string& s, const std::string& what) {
  int n = 0;
  for (size_t p = s.find(what); p != std::string::npos; p = s.find(what, p + 1)) ++n;
  return n;
}

// A new folder under /tmp whose name holds the page's name, removed with all it holds when the
// value goes out of scope.
class TempDir {
 public:
  explicit TempDir(const std::string& page) {
    std::string tmpl = "/tmp/neapwise_" + page + "_XXXXXX";
    if (const char* d = mkdtemp(tmpl.data())) m_path = d;
  }
  ~TempDir() {
    if (m_path.empty()) return;
    ::chmod(m_path.c_str(), 0755);  // a test may have made it read-only
    ::nftw(
        m_path.c_str(), [](const char* p, const struct stat*, int, struct FTW*) { return ::remove(p); }, 16,
        FTW_DEPTH | FTW_PHYS);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder ("/tmp/none" when it could not be made, so writes there fail visibly).
  std::string Path() const { return m_path.empty() ? std::string("/tmp/none") : m_path; }
  std::string operator+(const std::string& name) const { return Path() + name; }

 private:
  std::string m_path;
};

// Types into the window holding the focus: the field emptied first, then key by key.
inline void TypeText(const std::string& text) {
  AfxTestKeyStroke(VK_END);
  for (int i = 0; i < 8; ++i) AfxTestKeyStroke(VK_BACK, 0, "\b");
  for (char c : text) {
    const char s[2] = {c, 0};
    AfxTestKeyStroke(c >= '0' && c <= '9' ? c : VK_OEM_1, 0, s);
  }
  AfxTestWait(10);
}

// Runs print with the print dialog answering OK, to a PDF file at the path; returns the flags
// the page opened the dialog with.
inline DWORD PrintToPdf(const std::string& pdf, const std::function<void()>& print) {
  DWORD flags = 0;
  AfxSetPrintDialogHook([&](const AFX_PRINTDLG_REQUEST& r) {
    flags = r.flags;
    AFX_PRINTDLG_ANSWER a;
    a.result = IDOK;
    a.pdfPath = pdf;
    return a;
  });
  print();
  AfxSetPrintDialogHook(nullptr);
  return flags;
}

inline int CountColour(const CBitmap& b, const RECT& r, COLORREF c) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += b.GetPixel(x, y) == c;
  return n;
}

// A picture of the rectangle's size (at least one pixel each way) that draw paints into.
inline void DrawInto(CBitmap& pic, const CRect& r, const std::function<void(CDC*)>& draw) {
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  pic.CreateCompatibleBitmap(nullptr, std::max<LONG>(1, r.Width()), std::max<LONG>(1, r.Height()));
  CBitmap* old = dc.SelectObject(&pic);
  draw(&dc);
  dc.SelectObject(old);
}

// The top-level window that receives the context menu's commands.
class COwner : public CWnd {
 public:
  std::vector<UINT> commands;
  BOOL OnCommand(WPARAM w, LPARAM l) override {
    commands.push_back(LOWORD(w));
    return CWnd::OnCommand(w, l);
  }
};

// Opens the window's context menu (from the keyboard unless where names a screen point) and
// returns its item ids; the item at index pick (if any) is chosen, and done tells when its
// command has arrived.
inline std::vector<UINT> OpenContextMenu(CWnd& wnd, int pick, const std::function<bool()>& done = {},
                                         LPARAM where = MAKELPARAM(-1, -1)) {
  std::vector<UINT> ids;
  // Looks for the open menu until it shows (a busy machine may be slow to open it).
  // Shared with the retries, which may outlive this call; they stop once it returns.
  auto alive = std::make_shared<bool>(true);
  auto look = std::make_shared<std::function<void(int)>>();
  std::weak_ptr<std::function<void(int)>> self = look;
  *look = [&, alive, self](int tries) {
    if (!*alive) return;
    HMENU menus[2];
    HWND wnds[2];
    if (AfxGetTrackingMenus(menus, wnds, 2) != 1) {
      if (auto again = self.lock(); again && tries > 0) AfxCallLater(20, [again, tries] { (*again)(tries - 1); });
      return;
    }
    for (int i = 0; i < GetMenuItemCount(menus[0]); ++i) ids.push_back(GetMenuItemID(menus[0], i));
    if (pick < 0) {
      EndMenu();
      return;
    }
    RECT r{};
    GetMenuItemRect(nullptr, menus[0], pick, &r);
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    AfxTestMouse(WM_MOUSEMOVE, p);
    AfxTestMouse(WM_RBUTTONDOWN, p);
    AfxTestMouse(WM_RBUTTONUP, p);
  };
  AfxCallLater(30, [look] { (*look)(25); });
  wnd.SendMessage(WM_CONTEXTMENU, (WPARAM)wnd.GetSafeHwnd(), where);
  AfxTestWait(pick < 0 ? 60 : 500, [&] { return pick < 0 || (done && done()); });
  *alive = false;
  return ids;
}

}  // namespace views_test
