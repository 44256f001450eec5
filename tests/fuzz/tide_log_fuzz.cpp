// The tidal log ("logdata.dat"): the input is the file as the program finds it at start-up.
// It is read as the program reads it; every row handed on must be in range, a file not wholly
// good must be kept aside byte for byte, and the rows read must save and read back unchanged
// (a wholly good file saves to its own bytes, with the version written as 2002).
#include <cstdlib>
#include <string>
#include <vector>

#include "model/TideLogFile.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

void Fail(const char* what) {
  std::fprintf(stderr, "tidal log: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static neapwise_fuzz::Scratch scratch("tide_log");
  scratch.clear();
  const std::string path = scratch.write("logdata.dat", data, size);
  if (path.empty()) return 0;
  const std::string input(reinterpret_cast<const char*>(data), size);
  neapwise_fuzz::Derived d(data, size);
  const int ports = d.range(-1, 600);

  std::vector<TIDELOG_ROW> parsed;
  TIDELOG_LOAD parseInfo;
  CTideLogFile::Parse(data, size, ports, parsed, &parseInfo);

  std::vector<TIDELOG_ROW> rows;
  const TIDELOG_LOAD info = CTideLogFile::Load(CString(path.c_str()), ports, rows);
  if (rows != parsed || info.status != parseInfo.status) Fail("reading the file and reading its bytes differ");
  if (static_cast<int>(rows.size()) != info.nRead || rows.size() > static_cast<size_t>(CTideLogFile::kMaxRows))
    Fail("the row count is wrong");
  for (const TIDELOG_ROW& r : rows)
    if (!CTideLogFile::IsValidRow(r, ports)) Fail("a row out of range was handed on");

  if (const char* wrong = neapwise_fuzz::KeptAsideProblem(
          info.status == TIDELOG_LOAD::ok, info.strMovedTo.GetStdString(), info.strProblem.GetStdString(), input))
    Fail(wrong);
  if (info.status == TIDELOG_LOAD::ok) {
    std::string expected = input;
    expected[4] = static_cast<char>(0xD2);  // 2002
    expected[5] = 0x07;
    expected[6] = expected[7] = 0;
    const std::vector<BYTE> written = CTideLogFile::Format(rows);
    if (std::string(written.begin(), written.end()) != expected) Fail("a good file does not save to its own bytes");
  }

  CString problem;
  if (!CTideLogFile::Save(CString(path.c_str()), rows, &problem))
    Fail("the log could not be saved in the scratch folder");
  std::vector<TIDELOG_ROW> again;
  const TIDELOG_LOAD second = CTideLogFile::Load(CString(path.c_str()), ports, again);
  if (second.status != TIDELOG_LOAD::ok || again != rows) Fail("the saved log does not read back to its rows");
  if (info.status != TIDELOG_LOAD::ok) {
    std::string still;
    if (!neapwise_fuzz::ReadFile(info.strMovedTo.GetStdString(), still) || still != input)
      Fail("saving touched the kept file");
  }
  return 0;
}
