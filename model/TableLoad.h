// Shared reading of the embedded tables: magic, count, then the records, all checked against
// the bytes there are.
#pragma once

#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

#include "platform/core/Afx.h"
#include "platform/core/AfxPages.h"

// Attaches the "RAWDATA" resource of the given name ("#178") to the memory file; a missing
// resource leaves the file empty.
void TableAttachResource(CMemFile& file, const char* name);
// Attaches bytes held by the caller (read only).
void TableAttachBytes(CMemFile& file, const void* bytes, std::size_t size);

// Reads the magic and the count from the start of the file and hands the archive, the count and
// the bytes after the header to readRecords. False when the file is empty or shorter than its
// header, the magic differs, the count is negative, readRecords returns false, or reading fails
// in any way (the archive's exceptions are caught here and none escapes).
bool TableRead(CMemFile& file, int magic,
               const std::function<bool(CArchive& ar, int count, std::size_t bytesLeft)>& readRecords);

// The memory file of one embedded table and the records read from it, once. A database holds
// one and answers its look-ups from Records().
template <class Record>
class CTableRecords {
 public:
  // The program's own table, by resource name; nothing is parsed yet.
  explicit CTableRecords(const char* resourceName) { TableAttachResource(m_file, resourceName); }
  // Bytes held by the caller, which must outlive the table.
  CTableRecords(const void* bytes, std::size_t size) { TableAttachBytes(m_file, bytes, size); }
  CTableRecords(const CTableRecords&) = delete;
  CTableRecords& operator=(const CTableRecords&) = delete;

  // Reads every record through readRecord(ar, record). Each record takes at least minRecordSize
  // bytes, so a count the bytes cannot hold is refused before anything is allocated. False when
  // already loaded or when TableRead fails; a failed read keeps no record and may be tried again.
  template <class ReadRecord>
  bool Load(int magic, std::size_t minRecordSize, ReadRecord readRecord) {
    return Read(magic, minRecordSize, [&](CArchive& ar, std::vector<Record>& records) {
      for (Record& record : records) readRecord(ar, record);
    });
  }

  // As Load, for records of a fixed size taken apart where they lie (after the magic and the
  // count) by readRecord(bytes, record), without an archive call for every one.
  template <class ReadRecord>
  bool LoadFixed(int magic, std::size_t recordSize, ReadRecord readRecord) {
    return Read(magic, recordSize, [&](CArchive&, std::vector<Record>& records) {
      const unsigned char* bytes = m_file.GetData() + 8;
      for (Record& record : records) {
        readRecord(bytes, record);
        bytes += recordSize;
      }
    });
  }

  bool IsLoaded() const { return m_loaded; }
  // Empty before Load.
  std::vector<Record>& Records() { return m_records; }
  const std::vector<Record>& Records() const { return m_records; }
  int GetCount() const { return static_cast<int>(m_records.size()); }

 private:
  template <class Fill>
  bool Read(int magic, std::size_t minRecordSize, Fill fill) {
    if (m_loaded) return false;
    std::vector<Record> records;
    const bool ok = TableRead(m_file, magic, [&](CArchive& ar, int count, std::size_t bytesLeft) {
      if (static_cast<std::size_t>(count) > bytesLeft / minRecordSize) return false;
      // The records are all written at once: their pages are made in one call.
      records.reserve(static_cast<std::size_t>(count));
      AfxPrefault(records.data(), static_cast<std::size_t>(count) * sizeof(Record));
      records.resize(static_cast<std::size_t>(count));
      fill(ar, records);
      return true;
    });
    if (!ok) return false;
    m_records = std::move(records);
    m_loaded = true;
    return true;
  }

  CMemFile m_file;
  bool m_loaded = false;
  std::vector<Record> m_records;
};
