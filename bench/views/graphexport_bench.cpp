// The graph saved as pictures, as Save Graph As writes them: a JPEG at the dialog's default
// size (and at its largest) and the enhanced metafile, each drawn, converted and written.
#include "bench/views/BenchGraph.h"
#include "views/GraphWnd.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

void Fill(CGraphWnd& g) {
  FillBenchGraph(g);
  g.SetTimeMark(600);
}

// A folder of its own, removed when the benchmark ends.
struct BenchDir {
  std::string path;
  BenchDir() {
    char tmpl[] = "/tmp/neapwise-graphexport-bench-XXXXXX";
    const char* d = ::mkdtemp(tmpl);
    path = d ? d : "/tmp";
  }
  ~BenchDir() {
    std::error_code ec;
    if (path != "/tmp") std::filesystem::remove_all(path, ec);
  }
};

void BM_GraphExportJpeg(benchmark::State& state) {
  AfxWinInit(0, nullptr);
  CGraphWnd g;
  Fill(g);
  BenchDir dir;
  const std::string file = dir.path + "/graph.jpg";
  const int w = (int)state.range(0), h = (int)state.range(1);
  CString error;
  for (auto _ : state) {
    if (!g.SaveJpeg(file.c_str(), w, h, 100, error)) state.SkipWithError((LPCTSTR)error);
  }
  state.SetLabel(std::to_string(w) + "x" + std::to_string(h) + ", quality 100");
}
BENCHMARK(BM_GraphExportJpeg)->Args({350, 200})->Args({2500, 1500})->Unit(benchmark::kMillisecond);

void BM_GraphExportMetafile(benchmark::State& state) {
  AfxWinInit(0, nullptr);
  CGraphWnd g;
  Fill(g);
  BenchDir dir;
  const std::string file = dir.path + "/graph.emf";
  CString error;
  for (auto _ : state) {
    if (!g.SaveMetafile(file.c_str(), error)) state.SkipWithError((LPCTSTR)error);
  }
  state.SetLabel("600x400");
}
BENCHMARK(BM_GraphExportMetafile)->Unit(benchmark::kMillisecond);

}  // namespace
