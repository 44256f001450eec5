// The settings file: the input is the file as the program finds it at start-up. It is read as
// the program reads its settings (the recent-ports list among them), then written back; a
// written file must read back to the same values and the same bytes, and must never be taken
// for a corrupt one.
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "model/PortDB.h"
#include "model/PortHistory.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

void Fail(const char* what) {
  std::fprintf(stderr, "profile round trip: %s\n", what);
  std::abort();
}

const CPortDB& Ports() {
  static const std::vector<BYTE> bytes = [] {
    std::vector<CPortData> ports;
    for (int i = 0; i < 12; ++i) {
      CPortData p;
      p.SetIndex(i);
      p.SetPortId(100 + i);
      p.SetName(("Port " + std::to_string(i)).c_str());
      ports.push_back(p);
    }
    CMemFile file;
    CPortDB::WriteTable(file, ports);
    return std::vector<BYTE>(file.GetData(), file.GetData() + file.GetLength());
  }();
  static CPortDB db(bytes.data(), bytes.size());
  db.Load();
  return db;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static neapwise_fuzz::Scratch scratch("profile");
  static const bool configured = [] {
    ::setenv("XDG_CONFIG_HOME", scratch.path().c_str(), 1);
    return true;
  }();
  (void)configured;
  scratch.clear();
  const std::string folder = scratch.file("Neapwise");
  ::mkdir(folder.c_str(), 0700);
  const std::string path = folder + "/Neapwise.conf";
  {
    const std::string written = scratch.write("Neapwise/Neapwise.conf", data, size);
    if (written.empty()) return 0;
  }

  CWinAppBase* app = AfxGetApp();
  app->ResetProfile();
  CProfileStore& store = app->GetProfileStore();
  if (store.GetPath() != CString(path.c_str())) Fail("the profile is not in XDG_CONFIG_HOME");

  // What the program reads at start-up.
  app->GetProfileInt("General", "LastPort", 0);
  app->GetProfileInt("General", "Units", 0);
  app->GetProfileString("General", "Zone", "");
  app->GetProfileInt("Colours", "Background", 0xFFFFFF);
  app->GetProfileInt("Map", "Left", 0);
  LPBYTE bytes = nullptr;
  UINT count = 0;
  if (app->GetProfileBinary("Map", "Extents", &bytes, &count)) delete[] bytes;
  CPortHistory history;
  history.Load(Ports());

  // Written back: the history, an integer and a text of the input's own bytes.
  neapwise_fuzz::Derived d(data, size);
  history.Add(d.range(0, 11), "Port");
  store.BeginDeferredWrites();  // one save for the whole list
  history.Save();
  store.EndDeferredWrites();
  const int number = static_cast<int>(d.u32());
  std::string text;
  for (int n = d.range(0, 24); n > 0; --n) {
    const char c = static_cast<char>(d.byte());
    text += c != '\0' ? c : ' ';
  }
  const BOOL savedInt = app->WriteProfileInt("General", "FuzzNumber", number);
  const BOOL savedText = app->WriteProfileString("General", "FuzzText", text.c_str());
  if (!savedInt || !savedText) return 0;  // the file could not be replaced (nothing was lost either)

  std::string first;
  if (!neapwise_fuzz::ReadFile(path, first)) Fail("the saved file is not there");
  {
    CProfileStore again(CString(path.c_str()));
    if (again.GetProfileInt("General", "FuzzNumber", 0) != static_cast<UINT>(number))
      Fail("the integer did not come back");
    if (again.GetProfileString("General", "FuzzText", "-").GetStdString() != text) Fail("the text did not come back");
    if (!again.GetMovedAsidePath().IsEmpty()) Fail("the saved file was taken for a corrupt one");
    if (!again.Save()) Fail("the saved file cannot be saved again");
  }
  std::string second;
  if (!neapwise_fuzz::ReadFile(path, second) || second != first) Fail("saving what was read changed the file");
  app->ResetProfile();
  return 0;
}
