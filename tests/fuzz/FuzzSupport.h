// Shared by the fuzz targets: a scratch folder for loaders that read files, a reader that
// derives query values from the input, and the silent engine message hook.
//
// Each target defines LLVMFuzzerTestOneInput. It is linked either with libFuzzer (clang
// sanitizer builds) or with ReplayMain.cpp, which feeds it the seed corpus and the regression
// inputs as an ordinary test in every build.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/Ebbcalc32.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace neapwise_fuzz {

// A folder of this process in memory (/dev/shm when it is there, else the temporary folder),
// removed at exit. Loaders that take a path read the input from a file in it.
class Scratch {
 public:
  explicit Scratch(const char* name) {
    struct stat st;
    const char* tmp = std::getenv("TMPDIR");
    std::string base = ::stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) && ::access("/dev/shm", W_OK) == 0
                           ? std::string("/dev/shm")
                           : std::string(tmp && *tmp ? tmp : "/tmp");
    std::string tmpl = base + "/neapwise-fuzz-" + name + "-XXXXXX";
    if (::mkdtemp(tmpl.data()) != nullptr)
      m_path = tmpl;
    else
      m_path = base;
  }
  ~Scratch() { RemoveTree(m_path); }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;

  const std::string& path() const { return m_path; }
  std::string file(const char* name) const { return m_path + "/" + name; }

  // Writes the bytes to the named file and gives its path (empty when it cannot be written).
  std::string write(const char* name, const void* data, std::size_t size) const {
    const std::string p = file(name);
    std::FILE* f = std::fopen(p.c_str(), "wb");
    if (!f) return std::string();
    const bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    if (std::fclose(f) != 0 || !ok) return std::string();
    return p;
  }

  // Removes everything in the folder, keeping the folder.
  void clear() const { RemoveTree(m_path, false); }

 private:
  static void RemoveTree(const std::string& path, bool removeSelf = true) {
    if (path.find("/neapwise-fuzz-") == std::string::npos) return;  // never the base folder itself
    if (DIR* d = ::opendir(path.c_str())) {
      while (dirent* e = ::readdir(d)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        const std::string child = path + "/" + e->d_name;
        struct stat st;
        if (::lstat(child.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
          RemoveTree(child);
        else
          ::unlink(child.c_str());
      }
      ::closedir(d);
    }
    if (removeSelf) ::rmdir(path.c_str());
  }

  std::string m_path;
};

// Query values taken from the input's bytes: the same input always asks the same questions.
// Reading past the end gives zeros.
class Derived {
 public:
  Derived(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

  std::uint8_t byte() {
    if (m_size == 0) return 0;
    // Walk the input from its end, where the loaders' headers are not.
    const std::uint8_t b = m_data[m_size - 1 - (m_pos % m_size)];
    ++m_pos;
    return m_pos <= m_size ? b : static_cast<std::uint8_t>(b ^ (m_pos * 131));
  }
  std::uint32_t u32() {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | byte();
    return v;
  }
  // lo..hi inclusive.
  int range(int lo, int hi) {
    const std::uint32_t span = static_cast<std::uint32_t>(hi - lo) + 1u;
    return lo + static_cast<int>(u32() % span);
  }
  // 0..1
  double unit() { return u32() / 4294967295.0; }

 private:
  const std::uint8_t* m_data;
  std::size_t m_size;
  std::size_t m_pos = 0;
};

// Reads a whole file; false when it cannot be read.
inline bool ReadFile(const std::string& path, std::string& out) {
  out.clear();
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  char buf[65536];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
  const bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

// What a loader of a user file did with it: a good file stays where it is without a message;
// one not wholly good is kept aside (at movedTo) byte for byte, with a message. Null when that
// holds, else what is wrong.
inline const char* KeptAsideProblem(bool good, const std::string& movedTo, const std::string& problem,
                                    const std::string& input) {
  if (good) return movedTo.empty() && problem.empty() ? nullptr : "a good file was taken for a bad one";
  if (movedTo.empty() || problem.empty()) return "a bad file was not kept aside with a message";
  std::string kept;
  if (!ReadFile(movedTo, kept) || kept != input) return "the kept file is not the original";
  return nullptr;
}

}  // namespace neapwise_fuzz
