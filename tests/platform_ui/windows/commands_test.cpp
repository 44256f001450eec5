// Message maps, command routing frame -> active view -> application, update handlers in
// idle time, notifications, and the application's loop.
#include "platform/testing/UiTest.h"
#include "platform/ui/AfxWin.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_calls;

enum : UINT {
  ID_ONLY_VIEW = 40001,
  ID_BOTH = 40002,
  ID_ONLY_FRAME = 40003,
  ID_ONLY_APP = 40004,
  ID_RANGE_FIRST = 40010,
  ID_RANGE_LAST = 40019,
  ID_DISABLED = 40020,
  ID_NO_HANDLER = 40021,
  WM_PRIVATE = WM_APP + 7,
};

class CTestApp : public CWinApp {
 public:
  CTestApp() : CWinApp("UiTests") {}
  void OnAppCmd() { g_calls.push_back("app"); }
  int idleRounds = 0;
  BOOL OnIdle(LONG lCount) override {
    if (lCount == 0) ++idleRounds;
    return CWinApp::OnIdle(lCount);
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
  ON_COMMAND(ID_ONLY_APP, OnAppCmd)
END_MESSAGE_MAP()

CTestApp theApp;

class CView1 : public CWnd {
 public:
  void OnOnlyView() { g_calls.push_back("view:only"); }
  void OnBoth() { g_calls.push_back("view:both"); }
  void OnUpdateBoth(CCmdUI* p) { p->SetCheck(1); }
  void OnRange(UINT id) { g_calls.push_back("view:range:" + std::to_string(id - ID_RANGE_FIRST)); }
  // One handler for the whole range: the third command is the chosen one of a radio group.
  void OnUpdateRange(CCmdUI* p) { p->SetRadio(p->m_nID == ID_RANGE_FIRST + 2); }
  void OnClickNotify(NMHDR* nm, LRESULT* res) {
    g_calls.push_back("view:notify:" + std::to_string((int)nm->code));
    *res = 33;
  }
  LRESULT OnPrivate(WPARAM w, LPARAM l) { return (LRESULT)(w * 100 + l); }
  int OnCreate(LPCREATESTRUCT cs) {
    g_calls.push_back("view:create");
    return CWnd::OnCreate(cs);
  }
  void OnSize(UINT type, int cx, int cy) {
    g_calls.push_back("view:size:" + std::to_string(type) + ":" + std::to_string(cx) + "x" + std::to_string(cy));
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CView1, CWnd)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_COMMAND(ID_ONLY_VIEW, OnOnlyView)
  ON_COMMAND(ID_BOTH, OnBoth)
  ON_UPDATE_COMMAND_UI(ID_BOTH, OnUpdateBoth)
  ON_COMMAND_RANGE(ID_RANGE_FIRST, ID_RANGE_LAST, OnRange)
  ON_UPDATE_COMMAND_UI_RANGE(ID_RANGE_FIRST, ID_RANGE_LAST, OnUpdateRange)
  ON_NOTIFY(NM_CLICK, 500, OnClickNotify)
  ON_MESSAGE(WM_PRIVATE, OnPrivate)
END_MESSAGE_MAP()

class CFrame1 : public CFrameWnd {
 public:
  void OnBoth() { g_calls.push_back("frame:both"); }
  void OnOnlyFrame() { g_calls.push_back("frame:only"); }
  void OnDisabled() { g_calls.push_back("frame:disabled"); }
  void OnUpdateDisabled(CCmdUI* p) { p->Enable(FALSE); }
  void OnUpdateOnlyFrame(CCmdUI* p) {
    ++updates;
    p->Enable(enableOnlyFrame);
  }
  int updates = 0;
  BOOL enableOnlyFrame = TRUE;
  LRESULT OnIdleUpdate(WPARAM w, LPARAM l) {
    ++idleUpdates;
    return CFrameWnd::OnIdleUpdateCmdUI(w, l);
  }
  int idleUpdates = 0;
  void PostNcDestroy() override {}  // lives on the stack in these tests
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CFrame1, CFrameWnd)
  ON_COMMAND(ID_BOTH, OnBoth)
  ON_COMMAND(ID_ONLY_FRAME, OnOnlyFrame)
  ON_COMMAND(ID_DISABLED, OnDisabled)
  ON_UPDATE_COMMAND_UI(ID_DISABLED, OnUpdateDisabled)
  ON_UPDATE_COMMAND_UI(ID_ONLY_FRAME, OnUpdateOnlyFrame)
  ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdate)
END_MESSAGE_MAP()

class Commands : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    g_calls.clear();
    ASSERT_TRUE(frame.Create(nullptr, "Frame", WS_POPUP | WS_VISIBLE, CRect(50, 50, 450, 350)));
    ASSERT_TRUE(view.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 100), &frame, AFX_IDW_PANE_FIRST));
    frame.SetActiveView(&view);
  }
  void TearDown() override {
    frame.DestroyWindow();
    AfxTestWait(5);
  }
  CFrame1 frame;
  CView1 view;
};

TEST_F(Commands, HandlersGetTheirUnpackedArgumentsThroughTheMap) {
  ASSERT_GE(g_calls.size(), 2u);
  EXPECT_EQ("view:create", g_calls[0]);
  EXPECT_EQ("view:size:0:200x100", g_calls[1]);
  EXPECT_EQ(305, view.SendMessage(WM_PRIVATE, 3, 5));
}

TEST_F(Commands, CommandsGoToTheActiveViewThenTheFrameThenTheApplication) {
  const struct {
    UINT id;
    const char* expected;
  } cases[] = {
      {ID_ONLY_VIEW, "view:only"},   {ID_BOTH, "view:both"},  // the view is asked first
      {ID_ONLY_FRAME, "frame:only"}, {ID_ONLY_APP, "app"},   {ID_RANGE_FIRST + 3, "view:range:3"},
  };
  for (auto& c : cases) {
    g_calls.clear();
    frame.SendMessage(WM_COMMAND, MAKEWPARAM(c.id, 0), 0);
    ASSERT_EQ(1u, g_calls.size()) << c.id;
    EXPECT_EQ(c.expected, g_calls[0]);
  }
  g_calls.clear();
  frame.SetActiveView(nullptr);
  frame.SendMessage(WM_COMMAND, MAKEWPARAM(ID_BOTH, 0), 0);
  EXPECT_EQ(std::vector<std::string>{"frame:both"}, g_calls);
}

TEST_F(Commands, AMenuCommandWhoseUpdateHandlerDisablesItDoesNotRun) {
  frame.SendMessage(WM_COMMAND, MAKEWPARAM(ID_DISABLED, 0), 0);
  EXPECT_TRUE(g_calls.empty() || g_calls.back() != "frame:disabled");
}

TEST_F(Commands, UpdateHandlersSetMenuItemsAndItemsWithoutHandlersAreDisabled) {
  CMenu menu;
  menu.CreatePopupMenu();
  menu.AppendMenu(MF_STRING, ID_BOTH, "Both");
  menu.AppendMenu(MF_SEPARATOR);
  menu.AppendMenu(MF_STRING, ID_DISABLED, "Disabled");
  menu.AppendMenu(MF_STRING, ID_NO_HANDLER, "Nothing");
  menu.AppendMenu(MF_STRING, ID_ONLY_APP, "App");
  menu.AppendMenu(MF_STRING, ID_RANGE_FIRST + 1, "Range 1");
  menu.AppendMenu(MF_STRING, ID_RANGE_FIRST + 2, "Range 2");
  frame.SendMessage(WM_INITMENUPOPUP, (WPARAM)menu.GetSafeHmenu(), MAKELPARAM(0, FALSE));
  // The range's update handler runs for each command of it with that command's id.
  EXPECT_EQ(0u, menu.GetMenuState(ID_RANGE_FIRST + 1, MF_BYCOMMAND) & (MF_CHECKED | MF_GRAYED));
  EXPECT_EQ((UINT)MF_CHECKED, menu.GetMenuState(ID_RANGE_FIRST + 2, MF_BYCOMMAND) & (MF_CHECKED | MF_GRAYED));
  MENUITEMINFO mii{};
  mii.cbSize = sizeof(mii);
  mii.fMask = MIIM_FTYPE;
  ASSERT_TRUE(menu.GetMenuItemInfo(ID_RANGE_FIRST + 2, &mii));
  EXPECT_NE(0u, mii.fType & MFT_RADIOCHECK);
  EXPECT_EQ((UINT)MF_CHECKED, menu.GetMenuState(ID_BOTH, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_NE(0u, menu.GetMenuState(ID_DISABLED, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_NE(0u, menu.GetMenuState(ID_NO_HANDLER, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_EQ(0u, menu.GetMenuState(ID_ONLY_APP, MF_BYCOMMAND) & MF_GRAYED);  // a handler exists in the app
}

TEST_F(Commands, NotificationsReachTheParentsMapWithTheirResult) {
  NMHDR nm{view.m_hWnd, 500, NM_CLICK};
  // The view is the parent here: a child with id 500 notifies it.
  CWnd child;
  ASSERT_TRUE(child.Create(nullptr, "", WS_CHILD, CRect(0, 0, 5, 5), &view, 500));
  nm.hwndFrom = child.m_hWnd;
  g_calls.clear();
  LRESULT r = view.SendMessage(WM_NOTIFY, 500, (LPARAM)&nm);
  EXPECT_EQ(33, r);
  EXPECT_EQ(std::vector<std::string>{"view:notify:-2"}, g_calls);
  nm.code = NM_DBLCLK;
  g_calls.clear();
  EXPECT_EQ(0, view.SendMessage(WM_NOTIFY, 500, (LPARAM)&nm));
  EXPECT_TRUE(g_calls.empty());
}

TEST_F(Commands, IdleProcessingRunsTheUpdateHandlersOfTheMainWindow) {
  theApp.m_pMainWnd = &frame;
  int before = frame.idleUpdates;
  theApp.OnIdle(0);
  EXPECT_EQ(before + 1, frame.idleUpdates);
  theApp.m_pMainWnd = nullptr;
}

TEST_F(Commands, RunProcessesIdleWhenTheQueueEmptiesAndEndsOnQuit) {
  theApp.m_pMainWnd = &frame;
  int rounds = theApp.idleRounds;
  // After some messages the loop goes idle, then the main window is closed: the loop ends.
  frame.PostMessage(WM_PRIVATE, 0, 0);
  AfxCallLater(60, [this] { frame.PostMessage(WM_CLOSE); });
  static bool running;
  running = true;
  AfxCallLater(3000, [] {
    if (running) PostQuitMessage(9);  // a safety net; not expected to be needed
  });
  int code = theApp.Run();
  running = false;
  EXPECT_EQ(0, code);
  EXPECT_GT(theApp.idleRounds, rounds);
  EXPECT_EQ(nullptr, frame.GetSafeHwnd());
  EXPECT_EQ(nullptr, theApp.m_pMainWnd);
}

TEST_F(Commands, AModalLoopRunsUntilItsConditionAndSkipsIdleProcessing) {
  theApp.m_pMainWnd = &frame;
  bool done = false;
  int rounds = theApp.idleRounds;
  AfxCallLater(20, [&] { done = true; });
  AfxRunModalLoop([&] { return !done; });
  EXPECT_TRUE(done);
  EXPECT_EQ(rounds, theApp.idleRounds);
  theApp.m_pMainWnd = nullptr;
}

TEST_F(Commands, AcceleratorKeysBecomeCommandsOfTheFrame) {
  ASSERT_TRUE(frame.LoadAccelTable(MAKEINTRESOURCE(128)));
  ACCEL table[4];
  ASSERT_EQ(2, CopyAcceleratorTable(frame.m_hAccelTable, table, 4));
  EXPECT_EQ(FVIRTKEY | FCONTROL, table[0].fVirt);
  EXPECT_EQ('S', table[0].key);
  // The script's Ctrl+S and F12 stand for command 32807; re-route it to a known handler.
  ACCEL mine[] = {{FVIRTKEY | FCONTROL, 'S', ID_ONLY_FRAME}, {FVIRTKEY, VK_F12, ID_ONLY_VIEW}};
  DestroyAcceleratorTable(frame.m_hAccelTable);
  frame.m_hAccelTable = CreateAcceleratorTable(mine, 2);
  view.SetFocus();
  g_calls.clear();
  AfxTestKeyStroke('S', AFX_TEST_CTRL, "\x13");
  AfxTestKeyStroke(VK_F12);
  AfxTestKeyStroke('S', 0, "s");  // without Ctrl: an ordinary key
  EXPECT_EQ((std::vector<std::string>{"frame:only", "view:only"}), g_calls);
  // A command whose update handler disables it does not run from its key either.
  frame.enableOnlyFrame = FALSE;
  g_calls.clear();
  AfxTestKeyStroke('S', AFX_TEST_CTRL, "\x13");
  EXPECT_TRUE(g_calls.empty());
}

TEST(CommandLine, EmbeddingAndAutomationSuppressTheSplash) {
  const struct {
    std::vector<const char*> args;
    BOOL splash;
    BOOL embedded;
  } cases[] = {
      {{"neapwise"}, TRUE, FALSE},
      {{"neapwise", "/Embedding"}, FALSE, TRUE},
      {{"neapwise", "-Automation"}, FALSE, FALSE},
      {{"neapwise", "tide.dat"}, TRUE, FALSE},
  };
  for (auto& c : cases) {
    CCommandLineInfo info;
    theApp.m_argc = (int)c.args.size();
    theApp.m_argv = const_cast<char**>(c.args.data());
    theApp.ParseCommandLine(info);
    EXPECT_EQ(c.splash, info.m_bShowSplash);
    EXPECT_EQ(c.embedded, info.m_bRunEmbedded);
  }
  theApp.m_argc = 0;
  theApp.m_argv = nullptr;
}

}  // namespace
