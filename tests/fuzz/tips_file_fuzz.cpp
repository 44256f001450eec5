// The tips of the day file ("tips.txt"): the input is the file as the program finds it. Every
// read ends (no endless round of a file without tips), and every tip handed on is a line the
// reader may show: not empty, not a comment, no longer than a line may be.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "model/TipsFile.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

void Fail(const char* what) {
  std::fprintf(stderr, "tips file: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static neapwise_fuzz::Scratch scratch("tips_file");
  scratch.clear();
  const std::string path = scratch.write("tips.txt", data, size);
  if (path.empty()) return 0;
  std::FILE* f = std::fopen(path.c_str(), "r");
  if (!f) return 0;
  // A stored position anywhere in (or past) the file, as the settings may hold one.
  const long start = size ? (long)(data[0] % (size + 2)) : 0;
  if (std::fseek(f, start, SEEK_SET) != 0) {
    std::fclose(f);
    return 0;
  }
  bool any = false;
  for (int i = 0; i < 8; ++i) {
    std::string tip;
    const TIPS_READ r = ReadNextTip(f, tip);
    if (r == TIPS_NO_TIPS) {
      // (Started inside a line, the rest of that line may have been the only "tip".)
      if (any && start == 0) Fail("a file that gave a tip later has none");
      break;
    }
    if (r != TIPS_TIP) Fail("a readable file could not be gone round");
    any = true;
    if (tip.empty() || tip.size() > (size_t)kTipsMaxLine) Fail("a tip of no length or too long");
    const char c = tip[0];
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ';' || c == '\0')
      Fail("a skipped line handed on as a tip");
  }
  std::fclose(f);
  return 0;
}
