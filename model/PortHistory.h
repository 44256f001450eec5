// The recent-ports list, most recent first, kept in the application profile.
#pragma once

#include <list>

#include "platform/core/Afx.h"

class CPortDB;

class CPortHistory {
 public:
  static constexpr int kMaxEntries = 10;

  CPortHistory() = default;
  virtual ~CPortHistory() = default;

  // Puts the port at the front unless it is there already; keeps at most ten entries.
  void Add(int portIndex, const CString& name);
  // 1 and the entry's values for 0 <= i <= 9 within the list, else 0.
  int GetEntry(int i, int& portIndex, CString& name) const;
  int GetCount() const { return static_cast<int>(m_entries.size()); }

  // "PortHistory%d" values in "HistoryUK" and "HistoryEuro".
  void Save() const;
  // Rebuilds the list from the "HistoryEuro" values, names from the port table.
  void Load(const CPortDB& ports);

 private:
  struct Entry {
    int portIndex;
    CString name;
  };
  std::list<Entry> m_entries;
};
