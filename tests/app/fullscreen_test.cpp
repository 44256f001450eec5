// The graph's output commands of the main window: the full-screen graph opened by F9, the
// command and a double-click, closed by Esc and a double-click, one at a time; print, save
// and copy of the graph page. In an executable of its own, because the last test ends the
// program while the full-screen graph is open.
#include "tests/app/FrameFixture.h"

#include "views/FullScreenWnd.h"

#include <fstream>
#include <sstream>

namespace {
using namespace app_test;

std::string ReadAll(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

class FullScreenProgram : public Program {
 protected:
  CFullScreenWnd* Open() { return dynamic_cast<CFullScreenWnd*>(m_frame->GetFullScreen()); }
  bool WaitClosed(HWND h) {
    AfxTestWait(5000, [&] { return !::IsWindow(h); });
    return !::IsWindow(h) && m_frame->GetFullScreen() == nullptr;
  }
  bool WaitOpen() {
    AfxTestWait(5000, [&] { return Open() != nullptr; });
    return Open() != nullptr;
  }
};

TEST_F(FullScreenProgram, OpenedByKeyCommandAndDoubleClickClosedByEscAndDoubleClick) {
  ASSERT_NE(nullptr, Start());
  CGraphWnd& graph = Right().Graph();
  ASSERT_TRUE(graph.HasData());
  graph.SetTimeMark(7 * 60);

  // F9 in the main window.
  graph.SetFocus();
  AfxTestKeyStroke(VK_F9);
  ASSERT_TRUE(WaitOpen()) << "F9 opened no full-screen graph";
  CFullScreenWnd* wnd = Open();
  CGraphWnd& full = wnd->GetGraph();
  EXPECT_EQ(graph.GetTitle(), full.GetTitle());
  EXPECT_EQ(7 * 60, full.GetTimeMark());
  EXPECT_EQ(graph.GetLineColour(), full.GetLineColour());
  EXPECT_DOUBLE_EQ(graph.GetMHWS(), full.GetMHWS());
  EXPECT_DOUBLE_EQ(graph.GetAgroundLevel(), full.GetAgroundLevel());
  EXPECT_DOUBLE_EQ(graph.GetHeightDisplay(600), full.GetHeightDisplay(600));
  // Asked again, the open one stays the only one.
  const HWND first = wnd->GetSafeHwnd();
  Command(ID_FULL_SCREEN);
  EXPECT_EQ(first, Open()->GetSafeHwnd());
  // Esc, with the focus on the full-screen graph.
  AfxTestClick(full.GetSafeHwnd(), 50, 50);
  AfxTestWait(5000, [&] { return ::GetFocus() == full.GetSafeHwnd(); });
  AfxTestKeyStroke(VK_ESCAPE);
  EXPECT_TRUE(WaitClosed(first));

  // A double-click on the main window's graph opens it, one on the full-screen graph closes it.
  Settle(GetDoubleClickTime() + 20);
  AfxTestDoubleClick(graph.GetSafeHwnd(), 200, 150);
  ASSERT_TRUE(WaitOpen()) << "the double-click opened no full-screen graph";
  const HWND second = Open()->GetSafeHwnd();
  Settle(GetDoubleClickTime() + 20);
  AfxTestDoubleClick(Open()->GetGraph().GetSafeHwnd(), 300, 300);
  EXPECT_TRUE(WaitClosed(second));
  Settle(GetDoubleClickTime() + 20);
  EXPECT_EQ(nullptr, m_frame->GetFullScreen()) << "the closing double-click opened another";

  // Without data the command does nothing.
  graph.SetHasData(0);
  Command(ID_FULL_SCREEN);
  EXPECT_EQ(nullptr, m_frame->GetFullScreen());
}

// On the day the clocks go back the full-screen graph runs the same 25 hours as the page's.
TEST_F(FullScreenProgram, AChangeDayRunsItsRealHoursFullScreenToo) {
  ASSERT_NE(nullptr, Start());
  ClickPort(PortIndex("Lowestoft"));
  PickDate(26, 10, 2025);
  Command(ID_CALCULATE_GRAPH);
  CGraphWnd& graph = Right().Graph();
  ASSERT_EQ(1500, graph.GetLocalDay().GetMinutes());
  Command(ID_FULL_SCREEN);
  ASSERT_TRUE(WaitOpen());
  CGraphWnd& full = Open()->GetGraph();
  EXPECT_EQ(1500, full.GetLocalDay().GetMinutes());
  EXPECT_EQ(graph.GetTimeCaption(), full.GetTimeCaption());
  for (int m : {0, 90, 150, 1499}) EXPECT_DOUBLE_EQ(graph.GetHeightDisplay(m), full.GetHeightDisplay(m)) << m;
  const HWND h = Open()->GetSafeHwnd();
  Open()->SendMessage(WM_CLOSE);
  EXPECT_TRUE(WaitClosed(h));
}

TEST_F(FullScreenProgram, PrintSaveAndCopyOfTheGraphPage) {
  ASSERT_NE(nullptr, Start());
  ASSERT_TRUE(Right().IsGraphVisible());
  const fs::path pdf = m_root / "graph.pdf", emf = m_root / "graph.emf";
  AfxSetPrintDialogHook([&](const AFX_PRINTDLG_REQUEST&) {
    AFX_PRINTDLG_ANSWER a;
    a.result = IDOK;
    a.pdfPath = pdf.string();
    return a;
  });
  Command(ID_FILE_PRINT);
  AfxSetPrintDialogHook(nullptr);
  EXPECT_EQ(0u, ReadAll(pdf).find("%PDF"));

  std::string proposed;
  AfxSetFileDialogHook([&](const AFX_FILEDLG_REQUEST& r) {
    proposed = r.fileName;
    return AFX_FILEDLG_ANSWER{IDOK, emf.string(), 2};
  });
  Command(ID_SAVE_AS);
  AfxSetFileDialogHook(nullptr);
  EXPECT_EQ("Neapwise Graph", proposed);
  EXPECT_EQ(std::string("\x01\0\0\0", 4), ReadAll(emf).substr(0, 4));

  AfxEmptyClipboard();
  Command(ID_GRAPH_COPY);
  std::vector<BYTE> bytes;
  EXPECT_TRUE(AfxGetClipboardEmf(bytes));
  EXPECT_GT(bytes.size(), 1000u);
  AfxEmptyClipboard();
  EXPECT_TRUE(m_boxes.empty());
}

class ExitingFullScreen : public FullScreenProgram {
 protected:
  void TearDown() override {
    m_frame = nullptr;  // closed by the test
    AfxSetMessageBoxHook(nullptr);
    TheApp().ResetProfile();
    std::error_code ec;
    fs::remove_all(m_root, ec);
  }
};

// Last: it ends the program's message loop.
TEST_F(ExitingFullScreen, TheProgramEndsWhileTheFullScreenGraphIsOpen) {
  ASSERT_NE(nullptr, Start());
  Command(ID_FULL_SCREEN);
  ASSERT_TRUE(WaitOpen());
  const HWND full = Open()->GetSafeHwnd(), frame = m_frame->GetSafeHwnd();
  m_frame->PostMessage(WM_CLOSE);
  AfxTestWait(5000, [&] { return !::IsWindow(frame) && AfxQuitRequested(); });
  EXPECT_FALSE(::IsWindow(frame));
  EXPECT_FALSE(::IsWindow(full)) << "the full-screen graph outlived the program's window";
  EXPECT_EQ(nullptr, TheApp().m_pMainWnd);
  EXPECT_TRUE(AfxQuitRequested());
}

}  // namespace
