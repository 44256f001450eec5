// The program started inside a benchmark, with settings and data folders of its own.
#pragma once

#include "app/MainFrm.h"
#include "app/NeapwiseApp.h"
#include "platform/testing/UiTest.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace bench_app {

inline std::string& TemporaryRoot() {
  static std::string root;
  return root;
}

inline void RemoveTemporaryFolders() {
  if (TemporaryRoot().empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(TemporaryRoot(), ignored);
}

// Settings and data go to a folder of the run's own, removed when the process ends.
inline void UseTemporaryFolders() {
  std::string& root = TemporaryRoot();
  if (root.empty()) {
    char tmpl[] = "/tmp/neapwise-bench-XXXXXX";
    if (const char* made = ::mkdtemp(tmpl)) root = made;
    std::atexit(RemoveTemporaryFolders);
  }
  ::setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
  ::setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
}

inline CNeapwiseApp& TheApp() {
  static CNeapwiseApp app;
  return app;
}

// The program started in this process, its start-up notice and tip closed at once, its main
// window 1000 by 700; nullptr (the benchmark skipped) where it did not start.
inline CMainFrame* StartProgram(benchmark::State& state) {
  UseTemporaryFolders();
  CNeapwiseApp& app = TheApp();
  AfxWinInit(0, nullptr);
  CNeapwiseApp::SetStartupDialogHook([](CDialog* dlg) { dlg->EndDialog(IDOK); });
  if (!app.InitInstance()) {
    state.SkipWithError("start-up failed");
    return nullptr;
  }
  auto* frame = dynamic_cast<CMainFrame*>(app.m_pMainWnd);
  frame->MoveWindow(0, 0, 1000, 700);
  AfxTestWait(50);
  return frame;
}

}  // namespace bench_app
