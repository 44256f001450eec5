// The program on an X desktop with a window manager (openbox on Xvfb), read through the
// window manager's own X properties and driven by input the X server makes (XTEST): titles,
// owned windows transient for the frame and kept above it, modal loops refusing the frame, the
// frame inside the work area, Alt+F4, menus and lists under the window manager, and the menus'
// soft shadows with a compositing manager. Skipped where Xvfb, openbox or xprop is missing.
#include "tests/app/FrameFixture.h"

#include "app/TipDlg.h"
#include "platform/ui/Layered.h"
#include "platform/ui/MsgBox.h"
#include "tests/support/Xvfb.h"
#include "toolkit/CbShadows.h"

#include <cstdio>
#include <map>
#include <regex>
#include <sstream>

namespace app_test {
namespace {

using test_support::FindTool;
using test_support::Output;
using test_support::WaitUntil;

// What the window manager and the program say of one client window.
struct XWin {
  unsigned long id = 0;
  std::string cls, netName, name, type;
  unsigned long transientFor = 0;
  int extents[4] = {0, 0, 0, 0};  // left, right, top, bottom
  unsigned decorations = ~0u;
  bool hasIcon = false, viewable = false, overrideRedirect = false;
  bool MinimiseButton() const { return decorations & 0x20; }
  bool MaximiseButton() const { return decorations & 0x40; }
  int x = 0, y = 0, w = 0, h = 0;
  // The whole window on the screen, the window manager's frame included.
  CRect Whole() const { return CRect(x - extents[0], y - extents[2], x + w + extents[1], y + h + extents[3]); }
};

std::string Hex(unsigned long id) {
  char b[32];
  std::snprintf(b, sizeof b, "0x%lx", id);
  return b;
}

std::vector<unsigned long> Ids(const std::string& s) {
  std::vector<unsigned long> ids;
  static const std::regex id("0x[0-9a-fA-F]+");
  for (std::sregex_iterator it(s.begin(), s.end(), id), end; it != end; ++it)
    ids.push_back(std::stoul(it->str(), nullptr, 16));
  return ids;
}

std::string Match(const std::string& s, const char* re) {
  std::smatch m;
  return std::regex_search(s, m, std::regex(re)) ? m[1].str() : std::string();
}

class CXDisplay {
 public:
  explicit CXDisplay(std::string display)
      : m_env("DISPLAY=:" + display + " "), m_xprop(FindTool("xprop")), m_xwininfo(FindTool("xwininfo")) {}
  std::string Root(const char* props) const { return Output(m_env + m_xprop + " -root " + props + " 2>/dev/null"); }
  // Bottom first, as the window manager stacks its client windows.
  std::vector<unsigned long> Stacking() const {
    const std::string s = Root("_NET_CLIENT_LIST_STACKING");
    return Ids(s.substr(std::min(s.size(), s.find('#'))));
  }
  unsigned long Active() const {
    const std::vector<unsigned long> ids = Ids(Root("_NET_ACTIVE_WINDOW"));
    return ids.empty() ? 0 : ids[0];
  }
  CRect WorkArea() const {
    std::stringstream in(Match(Root("_NET_WORKAREA"), R"re(= (\d+, \d+, \d+, \d+))re"));
    int v[4] = {0, 0, 0, 0};
    char comma;
    in >> v[0] >> comma >> v[1] >> comma >> v[2] >> comma >> v[3];
    return CRect(v[0], v[1], v[0] + v[2], v[1] + v[3]);
  }
  XWin Window(unsigned long id) const {
    XWin w;
    w.id = id;
    const std::string p =
        Output(m_env + m_xprop + " -id " + Hex(id) +
               " WM_CLASS _NET_WM_NAME WM_NAME WM_TRANSIENT_FOR _NET_WM_WINDOW_TYPE _NET_FRAME_EXTENTS"
               " _MOTIF_WM_HINTS _NET_WM_ICON 2>/dev/null | grep -v '^\\s'");
    w.cls = Match(p, R"re(WM_CLASS\([A-Z_0-9]+\) = (.*))re");
    w.netName = Match(p, R"re(_NET_WM_NAME\([A-Z_0-9]+\) = "(.*)")re");
    w.name = Match(p, R"re(\nWM_NAME\([A-Z_0-9]+\) = "(.*)")re");
    if (w.name.empty()) w.name = Match(p, R"re(^WM_NAME\([A-Z_0-9]+\) = "(.*)")re");
    w.type = Match(p, R"re(_NET_WM_WINDOW_TYPE\(ATOM\) = ([A-Z_]+))re");
    // The buttons asked of the window manager: the decorations of the Motif hints.
    unsigned flags = 0, functions = 0;
    if (std::sscanf(Match(p, R"re(_MOTIF_WM_HINTS\(_MOTIF_WM_HINTS\) = (.*))re").c_str(), "%x, %x, %x", &flags,
                    &functions, &w.decorations) != 3 ||
        !(flags & 2))
      w.decorations = ~0u;
    const std::vector<unsigned long> t = Ids(Match(p, R"re(WM_TRANSIENT_FOR\(WINDOW\): (.*))re"));
    w.transientFor = t.empty() ? 0 : t[0];
    std::sscanf(Match(p, R"re(_NET_FRAME_EXTENTS\(CARDINAL\) = (.*))re").c_str(), "%d, %d, %d, %d", &w.extents[0],
                &w.extents[1], &w.extents[2], &w.extents[3]);
    w.hasIcon = p.find("_NET_WM_ICON(CARDINAL)") != std::string::npos;
    const std::string g = Output(m_env + m_xwininfo + " -id " + Hex(id) + " 2>/dev/null");
    auto num = [&](const char* re) {
      const std::string v = Match(g, re);
      return v.empty() ? 0 : std::stoi(v);
    };
    w.x = num(R"re(Absolute upper-left X:\s+(-?\d+))re");
    w.y = num(R"re(Absolute upper-left Y:\s+(-?\d+))re");
    w.w = num(R"re(Width:\s+(\d+))re");
    w.h = num(R"re(Height:\s+(\d+))re");
    w.viewable = g.find("IsViewable") != std::string::npos;
    w.overrideRedirect = g.find("Override Redirect State: yes") != std::string::npos;
    return w;
  }
  // The managed windows, bottom first.
  std::vector<XWin> Windows() const {
    std::vector<XWin> all;
    for (unsigned long id : Stacking()) all.push_back(Window(id));
    return all;
  }
  static int StackIndex(const std::vector<XWin>& all, unsigned long id) {
    for (size_t i = 0; i < all.size(); ++i)
      if (all[i].id == id) return (int)i;
    return -1;
  }

 private:
  std::string m_env, m_xprop, m_xwininfo;
};

const char kProgramClass[] = "\"neapwise\", \"Neapwise\"";

// ---- The real program, as the README starts it, at the sizes of common screens ----

class ProgramUnderWindowManager : public ::testing::TestWithParam<const char*> {};

TEST_P(ProgramUnderWindowManager, ItsWindowsAreTitledOwnedAndInsideTheWorkAreaAndAltF4EndsIt) {
  const std::string xdotool = FindTool("xdotool");
  if (FindTool("Xvfb").empty() || FindTool("openbox").empty() || FindTool("xprop").empty() ||
      FindTool("xwininfo").empty() || xdotool.empty())
    GTEST_SKIP() << "no Xvfb, openbox, xprop, xwininfo or xdotool installed";
  test_support::CXvfb server((std::string(GetParam()) + "x24").c_str());
  if (!server.Running()) GTEST_SKIP() << "Xvfb did not start";
  test_support::COpenbox wm(server.Display(), 40);
  ASSERT_TRUE(wm.Running()) << "openbox did not take the screen";
  const CXDisplay x(server.Display());
  int sw = 0, sh = 0;
  std::sscanf(GetParam(), "%dx%d", &sw, &sh);
  const CRect work = x.WorkArea();
  ASSERT_EQ(CRect(0, 0, sw, sh - 40), work) << "the pretend panel is out of the work area";

  char tmpl[] = "/tmp/neapwise-desktop-XXXXXX";
  const fs::path root = ::mkdtemp(tmpl);
  struct Cleanup {
    fs::path p;
    ~Cleanup() {
      std::error_code ec;
      fs::remove_all(p, ec);
    }
  } cleanup{root};
  pid_t program =
      test_support::SpawnOnDisplay({NEAPWISE_PROGRAM}, server.Display(),
                                   {"QT_QPA_PLATFORM=xcb", "XDG_CONFIG_HOME=" + (root / "config").string(),
                                    "XDG_DATA_HOME=" + (root / "data").string(), "XDG_RUNTIME_DIR=" + root.string()});
  ASSERT_GT(program, 0);
  struct Stop {
    pid_t& pid;
    ~Stop() { test_support::StopProcess(pid); }
  } stop{program};
  const std::string xdo = "DISPLAY=:" + server.Display() + " " + xdotool + " ";
  auto find = [&](const std::string& title, const char* type) {
    for (const XWin& w : x.Windows())
      if (w.viewable && w.netName == title && w.type.find(type) != std::string::npos) return w;
    return XWin{};
  };

  // The frame and the start-up notice over it (the notice is titled as the program is).
  XWin frame, notice;
  ASSERT_TRUE(WaitUntil(30000, [&] {
    frame = find("Neapwise", "_NET_WM_WINDOW_TYPE_NORMAL");
    notice = find("Neapwise", "_NET_WM_WINDOW_TYPE_DIALOG");
    return frame.id && notice.id && frame.extents[2] > 0;
  })) << "no frame and notice on the screen";
  // The frame is sized again once its decorations are known: wait for the window to settle.
  WaitUntil(3000, [&] {
    XWin now = x.Window(frame.id);
    const bool same = now.Whole() == frame.Whole();
    frame = now;
    return same && work.PtInRect(frame.Whole().TopLeft());
  });
  EXPECT_EQ(kProgramClass, frame.cls);
  EXPECT_EQ("Neapwise", frame.name);
  EXPECT_TRUE(frame.hasIcon) << "the frame carries no icon";
  const CRect whole = frame.Whole();
  EXPECT_TRUE(whole.left >= work.left && whole.top >= work.top && whole.right <= work.right &&
              whole.bottom <= work.bottom)
      << GetParam() << ": frame " << whole.left << "," << whole.top << " " << whole.Width() << "x" << whole.Height()
      << " outside the work area " << work.Width() << "x" << work.Height();
  EXPECT_TRUE(frame.MinimiseButton() && frame.MaximiseButton());
  EXPECT_EQ(kProgramClass, notice.cls);
  EXPECT_EQ("Neapwise", notice.name);
  EXPECT_EQ(frame.id, notice.transientFor);
  {
    const std::vector<XWin> all = x.Windows();
    EXPECT_GT(CXDisplay::StackIndex(all, notice.id), CXDisplay::StackIndex(all, frame.id))
        << "the notice is below the frame";
  }

  // The notice answered with Enter; the tip of the day follows, above the frame.
  Output(xdo + "windowactivate --sync " + Hex(notice.id) + " key Return 2>/dev/null");
  XWin tip;
  ASSERT_TRUE(WaitUntil(15000, [&] {
    tip = find("Tip of the Day", "_NET_WM_WINDOW_TYPE_DIALOG");
    return tip.id != 0;
  })) << "no tip of the day";
  EXPECT_EQ("Tip of the Day", tip.name);
  EXPECT_EQ(frame.id, tip.transientFor);
  // Its style has no minimise or maximise box.
  EXPECT_FALSE(tip.MinimiseButton());
  EXPECT_FALSE(tip.MaximiseButton());
  EXPECT_FALSE(notice.MinimiseButton() || notice.MaximiseButton());
  {
    const std::vector<XWin> all = x.Windows();
    EXPECT_EQ((int)all.size() - 1, CXDisplay::StackIndex(all, tip.id)) << "the tip is not on top";
  }
  // Centred on the frame.
  EXPECT_NEAR(tip.Whole().CenterPoint().x, whole.CenterPoint().x, 4);
  EXPECT_NEAR(tip.Whole().CenterPoint().y, whole.CenterPoint().y, 40);
  // A click on the frame leaves the tip above it and active.
  Output(xdo + "mousemove " + std::to_string(whole.CenterPoint().x) + " " + std::to_string(whole.bottom - 60) +
         " click 1 2>/dev/null");
  WaitUntil(1000, [&] { return false; });  // the window manager's answer to the click, if any
  EXPECT_EQ(tip.id, x.Active());
  {
    const std::vector<XWin> all = x.Windows();
    EXPECT_GT(CXDisplay::StackIndex(all, tip.id), CXDisplay::StackIndex(all, frame.id));
  }

  // Escape closes the tip; Alt+F4 on the frame ends the program, its settings saved.
  Output(xdo + "windowactivate --sync " + Hex(tip.id) + " key Escape 2>/dev/null");
  ASSERT_TRUE(WaitUntil(10000, [&] { return !find("Tip of the Day", "DIALOG").id; }));
  ASSERT_TRUE(WaitUntil(5000, [&] { return x.Active() == frame.id; })) << "the frame is not active again";
  const fs::path config = root / "config";
  std::error_code ec;
  fs::remove_all(config, ec);
  Output(xdo + "key alt+F4 2>/dev/null");
  int status = -1;
  ASSERT_TRUE(WaitUntil(20000, [&] { return ::waitpid(program, &status, WNOHANG) == program; }))
      << "Alt+F4 did not end the program";
  program = 0;
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  bool saved = false;
  for (auto it = fs::recursive_directory_iterator(config, ec); !ec && it != fs::recursive_directory_iterator(); ++it)
    saved |= it->is_regular_file() && fs::file_size(it->path()) > 0;
  EXPECT_TRUE(saved) << "no settings written";
}

INSTANTIATE_TEST_SUITE_P(Screens, ProgramUnderWindowManager, ::testing::Values("1366x768", "1280x800", "1920x1080"),
                         [](const ::testing::TestParamInfo<const char*>& i) {
                           return std::string("S") + std::regex_replace(i.param, std::regex("x"), "_");
                         });

// ---- The program in this process, on a server with a window manager ----

class DesktopOnX11 : public Program {
 protected:
  static test_support::CXvfb* server;
  static test_support::COpenbox* wm;
  static void SetUpTestSuite() {
    if (FindTool("openbox").empty() || FindTool("xprop").empty() || FindTool("xwininfo").empty()) return;
    server = new test_support::CXvfb("1600x1000x24");
    if (!server->Running()) return;
    wm = new test_support::COpenbox(server->Display(), 40);
    ::setenv("DISPLAY", (":" + server->Display()).c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
  }
  static void TearDownTestSuite() {
    CbShadowsManager()->RemoveAll();
    delete wm;
    wm = nullptr;
    delete server;
    server = nullptr;
  }
  void SetUp() override {
    if (!server || !server->Running() || !wm || !wm->Running()) GTEST_SKIP() << "no Xvfb with openbox";
    Program::SetUp();
    m_x = std::make_unique<CXDisplay>(server->Display());
  }
  // The X window of one of the program's windows, and what the window manager says of it.
  unsigned long Id(HWND h) { return AfxTestNativeWindowId(h); }
  XWin Win(HWND h) { return m_x->Window(Id(h)); }
  // Waits (handling events) until the window manager shows the window.
  bool Mapped(HWND h, int timeoutMs = 5000) {
    AfxTestWait(timeoutMs, [&] { return Win(h).viewable; });
    return Win(h).viewable;
  }
  // Checks an owned window as a user sees it: titled with its text, transient for the frame,
  // of the kind given, and above the frame.
  void ExpectOwnedAbove(HWND h, const char* type) {
    ASSERT_TRUE(Mapped(h)) << type;
    AfxTestWait(3000, [&] {
      const std::vector<unsigned long> s = m_x->Stacking();
      return std::find(s.begin(), s.end(), Id(h)) != s.end();
    });
    const XWin w = Win(h);
    char text[256] = "";
    ::GetWindowText(h, text, sizeof text);
    if (*text) {
      EXPECT_EQ(text, w.netName);
      EXPECT_EQ(text, w.name);
    }
    EXPECT_EQ(kProgramClass, w.cls);
    EXPECT_EQ(Id(m_frame->m_hWnd), w.transientFor) << text;
    EXPECT_EQ(type, w.type) << text;
    const std::vector<XWin> all = m_x->Windows();
    EXPECT_GT(CXDisplay::StackIndex(all, w.id), CXDisplay::StackIndex(all, Id(m_frame->m_hWnd)))
        << text << " is below the frame";
  }
  POINT MenuTitleCentre(int n) {
    CCbControl* title = m_frame->GetMenuBar().GetControl(n);
    POINT p = title->GetRect().CenterPoint();
    m_frame->GetMenuBar().ClientToScreen(&p);
    return p;
  }
  // A point of the screen no window of the program covers.
  POINT Outside() {
    CRect frame;
    m_frame->GetWindowRect(&frame);
    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    return frame.right < w - 20 ? POINT{w - 10, h / 2} : POINT{w / 2, h - 10};
  }
  std::unique_ptr<CXDisplay> m_x;
};
test_support::CXvfb* DesktopOnX11::server = nullptr;
test_support::COpenbox* DesktopOnX11::wm = nullptr;

TEST_F(DesktopOnX11, TheModalTipOfTheDayRefusesClicksKeysAndMenusOnTheFrame) {
  TheApp().WriteProfileInt("Tip", "StartUp", 0);
  bool checked = false, tipOnTop = false, menuOpened = false, treeChanged = false, unitsChanged = false,
       stillThere = false, tipActive = false;
  CNeapwiseApp::SetStartupDialogHook([&](CDialog* dlg) {
    auto* tip = dynamic_cast<CTipDlg*>(dlg);
    if (!tip) return AnswerStartupDialog(dlg);
    auto* frame = dynamic_cast<CMainFrame*>(TheApp().m_pMainWnd);
    const HWND hTip = tip->m_hWnd;
    // A menu that opened all the same closes again, so a fault can't hang the test.
    for (int ms : {2000, 4000, 6000, 8000})
      AfxCallLater(ms, [] {
        EndMenu();
        CbMouseManager()->SendTrackLost();
      });
    if (frame && Mapped(hTip)) {
      m_frame = frame;
      AfxTestWait(300);
      const std::vector<XWin> all = m_x->Windows();
      tipOnTop = CXDisplay::StackIndex(all, Id(hTip)) > CXDisplay::StackIndex(all, Id(frame->m_hWnd)) &&
                 CXDisplay::StackIndex(all, Id(frame->m_hWnd)) >= 0;
      // A click on an area of the ports tree expands nothing.
      CPortsTree& tree = frame->GetLeftPane()->PortsTree();
      HTREEITEM area = tree.GetRootItem();
      const UINT before = area ? tree.GetItemState(area, TVIS_EXPANDED) : 0;
      CRect r;
      if (area && tree.GetItemRect(area, &r, TRUE)) {
        POINT p = r.CenterPoint();
        tree.ClientToScreen(&p);
        AfxTestServerClick(p);
        AfxTestWait(200);
        AfxTestServerClick(p);  // a double click expands too
        AfxTestWait(600);
      }
      treeChanged = area && tree.GetItemState(area, TVIS_EXPANDED) != before;
      // File > Exit from the menu bar: the menu does not open.
      const POINT file = MenuTitleCentre(0);
      AfxTestServerClick(file);
      AfxTestWait(600);
      menuOpened = !OpenPopupBars().empty();
      EndMenu();
      CbMouseManager()->SendTrackLost();
      // An accelerator (Ctrl+F feet, or Ctrl+M metres) pressed with the frame clicked last.
      const BOOL feet = frame->IsFeet();
      const UINT key = feet ? 'M' : 'F';
      AfxTestServerKey(VK_CONTROL, TRUE);
      AfxTestServerKey(key, TRUE);
      AfxTestServerKey(key, FALSE);
      AfxTestServerKey(VK_CONTROL, FALSE);
      AfxTestServerKey(VK_MENU, TRUE);  // and Alt+F, the File menu by its key
      AfxTestServerKey('F', TRUE);
      AfxTestServerKey('F', FALSE);
      AfxTestServerKey(VK_MENU, FALSE);
      AfxTestWait(600);
      menuOpened |= !OpenPopupBars().empty();
      unitsChanged = frame->IsFeet() != feet;
      stillThere = ::IsWindow(hTip) && ::IsWindow(frame->m_hWnd) && !AfxQuitRequested();
      tipActive = m_x->Active() == Id(hTip) && ::GetActiveWindow() == hTip;
      checked = true;
    }
    EndMenu();
    CbMouseManager()->SendTrackLost();
    if (::IsWindow(hTip)) tip->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  ASSERT_NE(nullptr, Start());
  ASSERT_TRUE(checked) << "the tip of the day never showed";
  EXPECT_TRUE(tipOnTop) << "the tip of the day is not above the frame";
  EXPECT_FALSE(menuOpened) << "a menu of the frame opened under the modal tip";
  EXPECT_FALSE(treeChanged) << "the ports tree took a click under the modal tip";
  EXPECT_FALSE(unitsChanged);
  EXPECT_TRUE(stillThere);
  EXPECT_TRUE(tipActive) << "the tip of the day lost the activation to its disabled owner";
  // Once the tip is gone the frame takes the same click: the menu opens.
  Settle(200);
  AfxTestServerClick(MenuTitleCentre(0));
  AfxTestWait(3000, [] { return !OpenPopupBars().empty(); });
  EXPECT_FALSE(OpenPopupBars().empty()) << "the frame takes no clicks at all";
  EndMenu();
  CbMouseManager()->SendTrackLost();
  Settle(100);
}

TEST_F(DesktopOnX11, DialogsMessageBoxesAndFloatingBarsAreTransientForTheFrameAndAboveIt) {
  ASSERT_NE(nullptr, Start());
  ASSERT_TRUE(Mapped(m_frame->m_hWnd));
  const XWin frame = Win(m_frame->m_hWnd);
  EXPECT_EQ("Neapwise", frame.netName);
  EXPECT_EQ("Neapwise", frame.name);
  EXPECT_EQ(kProgramClass, frame.cls);
  EXPECT_TRUE(frame.hasIcon);

  // The options sheet and the About box, each checked from inside its modal loop.
  for (UINT id : {(UINT)ID_OPTIONS, (UINT)ID_APP_ABOUT}) {
    bool seen = false;
    CTestCallLater check(50, [&] {
      HWND dlg = nullptr;
      AfxTestWait(5000, [&] { return (dlg = ::GetActiveWindow()) && dlg != m_frame->m_hWnd; });
      if (dlg && dlg != m_frame->m_hWnd) {
        seen = true;
        ExpectOwnedAbove(dlg, "_NET_WM_WINDOW_TYPE_DIALOG");
        ::SendMessage(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      }
    });
    m_frame->PostMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
    ASSERT_TRUE(check.Wait(15000));
    EXPECT_TRUE(seen) << id;
    Settle(100);
  }

  // A message box: its own window, titled with its caption, answered with Escape.
  AfxSetMessageBoxHook(nullptr);
  bool boxSeen = false, boxAbove = false, boxTransient = false;
  CTestCallLater box(100, [&] {
    XWin w;
    AfxTestWait(5000, [&] {
      for (const XWin& c : m_x->Windows())
        if (c.viewable && c.netName == "A caption") w = c;
      return w.id != 0;
    });
    boxSeen = w.id != 0;
    const std::vector<XWin> all = m_x->Windows();
    boxAbove = CXDisplay::StackIndex(all, w.id) > CXDisplay::StackIndex(all, Id(m_frame->m_hWnd));
    boxTransient = w.transientFor == Id(m_frame->m_hWnd) && w.type == "_NET_WM_WINDOW_TYPE_DIALOG";
    AfxTestWait(3000, [&] { return m_x->Active() == w.id; });
    AfxTestServerKey(VK_ESCAPE, TRUE);
    AfxTestServerKey(VK_ESCAPE, FALSE);
  });
  ::MessageBox(m_frame->m_hWnd, "A message", "A caption", MB_OK);
  ASSERT_TRUE(box.Wait(10000));
  EXPECT_TRUE(boxSeen);
  EXPECT_TRUE(boxAbove);
  EXPECT_TRUE(boxTransient);

  // The full-screen graph: owned by the frame, above it.
  Command(ID_FULL_SCREEN);
  AfxTestWait(5000, [&] { return m_frame->GetFullScreen() != nullptr; });
  ASSERT_NE(nullptr, m_frame->GetFullScreen());
  {
    const HWND full = m_frame->GetFullScreen()->GetSafeHwnd();
    ASSERT_TRUE(Mapped(full));
    AfxTestWait(3000, [&] {
      const std::vector<XWin> all = m_x->Windows();
      return CXDisplay::StackIndex(all, Id(full)) > CXDisplay::StackIndex(all, Id(m_frame->m_hWnd));
    });
    const std::vector<XWin> all = m_x->Windows();
    EXPECT_GT(CXDisplay::StackIndex(all, Id(full)), CXDisplay::StackIndex(all, Id(m_frame->m_hWnd)));
    EXPECT_EQ(Id(m_frame->m_hWnd), Win(full).transientFor);
    ::SendMessage(full, WM_CLOSE, 0, 0);
    Settle(100);
  }

  // A floating toolbar: a utility window of the frame, above it, and left where it is when the
  // user drags the frame by its title bar.
  CCbToolBar* map = m_frame->GetMapToolBar();
  Command(ID_VIEW_MAP);
  ASSERT_TRUE(m_frame->GetCommandBars()->FloatCommandBar(map));
  map->SetWindowPos(nullptr, 900, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Settle(100);
  ExpectOwnedAbove(map->m_hWnd, "_NET_WM_WINDOW_TYPE_UTILITY");
  AfxTestWait(2000, [&] { return Win(map->m_hWnd).x == 900; });
  const XWin barBefore = Win(map->m_hWnd);
  CRect rcBar;
  map->GetWindowRect(&rcBar);
  CRect rcFrame;
  m_frame->GetWindowRect(&rcFrame);
  const XWin f = Win(m_frame->m_hWnd);
  ASSERT_GT(f.extents[2], 0) << "the frame has no title bar";
  const POINT grip{f.x + f.w / 2, f.y - f.extents[2] / 2};
  AfxTestServerMouse(grip, 1);
  for (int i = 1; i <= 10; ++i) {
    AfxTestServerMouse(POINT{grip.x + 8 * i, grip.y + 5 * i}, -1);
    AfxTestWait(30);
  }
  AfxTestServerMouse(POINT{grip.x + 80, grip.y + 50}, 0);
  AfxTestWait(3000, [&] { return Win(m_frame->m_hWnd).x == f.x + 80; });
  Settle(200);
  EXPECT_EQ(f.x + 80, Win(m_frame->m_hWnd).x) << "the frame did not move";
  CRect moved;
  m_frame->GetWindowRect(&moved);
  EXPECT_EQ(rcFrame.left + 80, moved.left);
  EXPECT_EQ(rcFrame.top + 50, moved.top);
  const XWin barAfter = Win(map->m_hWnd);
  EXPECT_EQ(barBefore.x, barAfter.x);
  EXPECT_EQ(barBefore.y, barAfter.y);
  CRect rcBarAfter;
  map->GetWindowRect(&rcBarAfter);
  EXPECT_EQ(rcBar, rcBarAfter);

  // A bar put off every screen comes back onto one; absurd numbers do no harm.
  for (POINT p : {POINT{40000, 40000}, POINT{-5000, 300}, POINT{300, -3000}}) {
    map->SetWindowPos(nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    CRect r;
    map->GetWindowRect(&r);
    CRect screen(0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)), on;
    EXPECT_TRUE(on.IntersectRect(&r, &screen)) << p.x << "," << p.y;
  }
  m_frame->MoveWindow(2147483000, -2147483000, 2147483000, 2147483000);
  Settle(100);
  CRect absurd;
  m_frame->GetWindowRect(&absurd);
  EXPECT_LE(absurd.Width(), ::GetSystemMetrics(SM_CXMAXTRACK));
  EXPECT_LE(absurd.Height(), ::GetSystemMetrics(SM_CYMAXTRACK));
  CRect screen(0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)), on;
  EXPECT_TRUE(on.IntersectRect(&absurd, &screen));
  m_frame->MoveWindow(20, 20, 1000, 700);
  Settle(100);
}

TEST_F(DesktopOnX11, MenusAndComboListsTakeNoFocusAndCloseOnAClickOutside) {
  ASSERT_NE(nullptr, Start());
  ASSERT_TRUE(Mapped(m_frame->m_hWnd));
  AfxTestWait(3000, [&] { return m_x->Active() == Id(m_frame->m_hWnd); });
  ASSERT_EQ(Id(m_frame->m_hWnd), m_x->Active());
  // A menu of the menu bar, opened by a real click.
  AfxTestServerClick(MenuTitleCentre(2));
  AfxTestWait(3000, [] { return !OpenPopupBars().empty(); });
  ASSERT_FALSE(OpenPopupBars().empty());
  CCbPopupBar* menu = OpenPopupBars().back();
  ASSERT_TRUE(Mapped(menu->m_hWnd));
  EXPECT_TRUE(Win(menu->m_hWnd).overrideRedirect) << "the window manager manages the menu";
  AfxTestWait(300);
  EXPECT_EQ(Id(m_frame->m_hWnd), m_x->Active()) << "the menu took the focus";
  ASSERT_TRUE(AfxTestServerClick(Outside()));
  AfxTestWait(3000, [] { return OpenPopupBars().empty(); });
  EXPECT_TRUE(OpenPopupBars().empty());

  // The year combo's list.
  auto* combo = dynamic_cast<CCbControlComboBox*>(m_frame->GetYearCombo());
  ASSERT_NE(nullptr, combo);
  Settle((int)GetDoubleClickTime() + 20);
  CPoint at = combo->GetRect().CenterPoint();
  if (combo->GetEditCtrl()) at.x = combo->GetRect().right - std::max(2, combo->GetDropDownWidth() / 2);
  POINT p = at;
  combo->GetParent()->ClientToScreen(&p);
  AfxTestServerClick(p);
  AfxTestWait(3000, [&] { return combo->IsListOpen(); });
  ASSERT_TRUE(combo->IsListOpen());
  ASSERT_TRUE(Mapped(combo->GetListHwnd()));
  EXPECT_TRUE(Win(combo->GetListHwnd()).overrideRedirect);
  AfxTestWait(300);
  EXPECT_EQ(Id(m_frame->m_hWnd), m_x->Active()) << "the list took the focus";
  ASSERT_TRUE(AfxTestServerClick(Outside()));
  AfxTestWait(3000, [&] { return !combo->IsListOpen(); });
  EXPECT_FALSE(combo->IsListOpen());
}

TEST_F(DesktopOnX11, WithACompositingManagerTheMenusCastSoftShadows) {
  const std::string xcompmgr = FindTool("xcompmgr");
  if (xcompmgr.empty()) GTEST_SKIP() << "no xcompmgr installed";
  const pid_t cm = test_support::SpawnOnDisplay({xcompmgr}, server->Display());
  ASSERT_GT(cm, 0);
  struct Stop {
    pid_t pid;
    ~Stop() { test_support::StopProcess(pid); }
  } stop{cm};
  AfxTestSetComposition(-1);
  AfxTestWait(5000, [] { return AfxIsCompositionActive() != FALSE; });
  ASSERT_TRUE(AfxIsCompositionActive()) << "the compositing manager did not take the screen";
  ASSERT_NE(nullptr, Start());
  ASSERT_TRUE(Mapped(m_frame->m_hWnd));
  AfxTestServerClick(MenuTitleCentre(2));
  AfxTestWait(3000, [] { return !OpenPopupBars().empty(); });
  ASSERT_FALSE(OpenPopupBars().empty());
  CCbPopupBar* menu = OpenPopupBars().back();
  AfxTestWait(3000, [&] { return CbShadowsManager()->GetCount(menu->m_hWnd) > 0; });
  ASSERT_GT(CbShadowsManager()->GetCount(menu->m_hWnd), 0) << "the menu has no shadow";
  // Every strip is a layered window (blended by the compositing manager), shown on the server.
  int layered = 0, shown = 0;
  CShadowList& l = CbShadowsManager()->GetList();
  for (POSITION pos = l.GetHeadPosition(); pos;) {
    CShadowWnd* s = l.GetNext(pos);
    if (s->m_hWndPopup != menu->m_hWnd) continue;
    layered += s->m_bLayered ? 1 : 0;
    shown += Win(s->m_hWnd).viewable && Win(s->m_hWnd).overrideRedirect ? 1 : 0;
  }
  EXPECT_EQ(CbShadowsManager()->GetCount(menu->m_hWnd), layered) << "solid strips under a compositor";
  EXPECT_EQ(layered, shown) << "shadow strips not shown on the server";
  EndMenu();
  CbMouseManager()->SendTrackLost();
  Settle(100);
  AfxTestSetComposition(-1);
}

}  // namespace
}  // namespace app_test
