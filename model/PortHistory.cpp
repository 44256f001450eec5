#include "model/PortHistory.h"

#include "model/PortDB.h"

namespace {
const char kSectionUK[] = "HistoryUK";
const char kSectionEuro[] = "HistoryEuro";
}  // namespace

void CPortHistory::Add(int portIndex, const CString& name) {
  if (!m_entries.empty() && m_entries.front().portIndex == portIndex) return;
  m_entries.push_front({portIndex, name});
  while (m_entries.size() > static_cast<std::size_t>(kMaxEntries)) m_entries.pop_back();
}

int CPortHistory::GetEntry(int i, int& portIndex, CString& name) const {
  if (i < 0 || i >= kMaxEntries || i >= GetCount()) return 0;
  auto it = m_entries.begin();
  std::advance(it, i);
  portIndex = it->portIndex;
  name = it->name;
  return 1;
}

void CPortHistory::Save() const {
  CWinAppBase* app = AfxGetApp();
  if (!app) return;
  int i = 0;
  for (const Entry& e : m_entries) {
    CString entry;
    entry.Format("PortHistory%d", i);
    app->WriteProfileInt(kSectionUK, entry, e.portIndex);
    app->WriteProfileInt(kSectionEuro, entry, e.portIndex);
    ++i;
  }
}

void CPortHistory::Load(const CPortDB& ports) {
  CWinAppBase* app = AfxGetApp();
  if (!app) return;
  for (int i = kMaxEntries - 1; i >= 0; --i) {
    CString entry;
    entry.Format("PortHistory%d", i);
    app->GetProfileInt(kSectionUK, entry, -1);
    const int index = app->GetProfileInt(kSectionEuro, entry, -1);
    // A value that names no port of the table (an edited profile, another table) is dropped.
    if (index == -1 || index < 0 || index >= ports.GetCount()) continue;
    Add(index, ports.GetPort(index)->GetName());
  }
}
