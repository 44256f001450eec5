// neapwise-tablegen: writes (or checks) the embedded tables from the committed inputs.
//   neapwise-tablegen angles --folding folding.txt --out 178.bin [--check]
//   neapwise-tablegen ports --in ports.tsv --out 179.bin [--check]
// With --check nothing is written: the exit status is 0 when the file already holds exactly
// the bytes the inputs give, 1 when it differs.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "tools/tidedata/TableGen.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: neapwise-tablegen angles --folding FILE --out FILE [--check]\n"
               "       neapwise-tablegen ports --in FILE --out FILE [--check]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string what = argv[1];
  std::string folding, in, out;
  bool check = false;
  for (int i = 2; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--check")
      check = true;
    else if (a == "--folding" && i + 1 < argc)
      folding = argv[++i];
    else if (a == "--in" && i + 1 < argc)
      in = argv[++i];
    else if (a == "--out" && i + 1 < argc)
      out = argv[++i];
    else
      return Usage();
  }
  try {
    std::vector<unsigned char> bytes;
    std::size_t records = 0;
    if (what == "angles" && !folding.empty() && !out.empty()) {
      const auto table = tablegen::MakeAngleTable(tablegen::ReadFolding(folding));
      records = table.size();
      bytes = tablegen::AngleTableBytes(table);
    } else if (what == "ports" && !in.empty() && !out.empty()) {
      const auto ports = tablegen::ReadPorts(in);
      records = ports.size();
      bytes = tablegen::PortTableBytes(ports);
    } else {
      return Usage();
    }
    if (check) {
      const bool same = tablegen::ReadFileBytes(out) == bytes;
      std::printf("%s: %s\n", out.c_str(), same ? "up to date" : "DIFFERS from its inputs");
      return same ? 0 : 1;
    }
    tablegen::WriteFileBytes(out, bytes);
    std::printf("%s: %zu records, %zu bytes\n", out.c_str(), records, bytes.size());
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "neapwise-tablegen: %s\n", e.what());
    return 1;
  } catch (...) {
    std::fprintf(stderr, "neapwise-tablegen: the table could not be written\n");
    return 1;
  }
}
