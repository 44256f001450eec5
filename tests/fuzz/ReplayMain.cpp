// Runs a fuzz target's entry point over files, as the fuzzer would: each argument is a file or
// a folder (every regular file in it, sorted). Used by the tests in builds without libFuzzer
// and for the regression inputs; a crash or sanitizer report fails the test.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>

#include "tests/fuzz/FuzzSupport.h"

namespace {

void Collect(const std::string& path, std::vector<std::string>& files) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return;
  if (S_ISREG(st.st_mode)) {
    files.push_back(path);
    return;
  }
  if (!S_ISDIR(st.st_mode)) return;
  std::vector<std::string> children;
  if (DIR* d = ::opendir(path.c_str())) {
    while (dirent* e = ::readdir(d)) {
      if (e->d_name[0] == '.') continue;  // ".", ".." and hidden files such as .gitkeep
      children.push_back(path + "/" + e->d_name);
    }
    ::closedir(d);
  }
  std::sort(children.begin(), children.end());
  for (const std::string& c : children) Collect(c, files);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    struct stat st;
    if (::stat(argv[i], &st) != 0) {
      std::fprintf(stderr, "%s: no such file or folder\n", argv[i]);
      return 2;
    }
    Collect(argv[i], files);
  }
  for (const std::string& f : files) {
    std::string bytes;
    if (!neapwise_fuzz::ReadFile(f, bytes)) {
      std::fprintf(stderr, "%s: cannot read\n", f.c_str());
      return 2;
    }
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  }
  std::printf("%zu inputs ran\n", files.size());
  return 0;
}
