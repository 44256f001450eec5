// Shared reading of the embedded tables: magic, count, then the records, all checked against
// the bytes there are.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <new>
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

  // As Load, for records of a fixed size that lie after the magic and the count. The count is
  // checked against the bytes now; each record is taken apart by readRecord(bytes, record) when
  // it is first asked for (At), so a run that reads a few days of a long table makes only those.
  bool LoadFixed(int magic, std::size_t recordSize, void (*readRecord)(const unsigned char*, Record&)) {
    if (m_loaded) return false;
    int count = 0;
    const bool ok = TableRead(m_file, magic, [&](CArchive&, int n, std::size_t bytesLeft) {
      if (static_cast<std::size_t>(n) > bytesLeft / recordSize) return false;
      count = n;
      return true;
    });
    if (!ok) return false;
    const std::size_t blocks = (static_cast<std::size_t>(count) + kBlock - 1) / kBlock;
    // Storage only: its pages are touched as blocks of records are made.
    m_fixed = std::allocator<Record>().allocate(static_cast<std::size_t>(count));
    m_built = std::make_unique<std::atomic<bool>[]>(blocks);
    m_fixedCount = count;
    m_fixedSize = recordSize;
    m_readFixed = readRecord;
    m_loaded = true;
    return true;
  }

  ~CTableRecords() {
    if (!m_fixed) return;
    for (int b = 0; b * kBlock < m_fixedCount; ++b)
      if (m_built[static_cast<std::size_t>(b)].load(std::memory_order_relaxed))
        for (int i = b * kBlock; i < std::min(m_fixedCount, (b + 1) * kBlock); ++i) m_fixed[i].~Record();
    std::allocator<Record>().deallocate(m_fixed, static_cast<std::size_t>(m_fixedCount));
  }

  bool IsLoaded() const { return m_loaded; }
  // The records read by Load; empty before it, and for a table read by LoadFixed.
  std::vector<Record>& Records() { return m_records; }
  const std::vector<Record>& Records() const { return m_records; }
  int GetCount() const { return m_fixed ? m_fixedCount : static_cast<int>(m_records.size()); }
  // Record i (0 <= i < GetCount()) of a loaded table. Safe from several threads at once.
  const Record& At(int i) const {
    if (!m_fixed) return m_records[static_cast<std::size_t>(i)];
    const std::size_t b = static_cast<std::size_t>(i / kBlock);
    if (!m_built[b].load(std::memory_order_acquire)) Build(b);
    return m_fixed[i];
  }
  // The stored bytes of fixed record i, for checks that need no whole record.
  const unsigned char* FixedBytes(int i) const {
    return m_file.GetData() + 8 + static_cast<std::size_t>(i) * m_fixedSize;
  }

 private:
  static constexpr int kBlock = 64;

  void Build(std::size_t b) const {
    std::lock_guard<std::mutex> lock(m_buildLock);
    if (m_built[b].load(std::memory_order_relaxed)) return;
    const int first = static_cast<int>(b) * kBlock;
    const int end = std::min(m_fixedCount, first + kBlock);
    for (int i = first; i < end; ++i) {
      Record* record = new (&m_fixed[i]) Record();
      m_readFixed(FixedBytes(i), *record);
    }
    m_built[b].store(true, std::memory_order_release);
  }

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
  // A table read by LoadFixed: storage for every record, and which blocks of kBlock are made.
  Record* m_fixed = nullptr;
  std::unique_ptr<std::atomic<bool>[]> m_built;
  int m_fixedCount = 0;
  std::size_t m_fixedSize = 0;
  void (*m_readFixed)(const unsigned char*, Record&) = nullptr;
  mutable std::mutex m_buildLock;
};
