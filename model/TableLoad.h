// Shared reading of the embedded tables: magic, count, then the records, all checked against
// the bytes there are.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
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
// one and answers its look-ups from At() (or Records(), for a table read by Load).
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
    m_fixedSize = recordSize;
    m_readFixed = readRecord;
    MakeLazy(count);
    return true;
  }

  // As Load, for records of any size. Only the bytes are walked now: recordSize(bytes, avail)
  // gives the size of the record at bytes, or 0 where readRecord would fail on them, and
  // seen(index, bytes, size) is told of each. A record is read by readRecord(ar, record) from
  // where it starts when it is first asked for (At).
  template <class Seen>
  bool LoadIndexed(int magic, std::size_t minRecordSize, std::size_t (*recordSize)(const unsigned char*, std::size_t),
                   void (*readRecord)(CArchive&, Record&), Seen seen) {
    if (m_loaded) return false;
    std::vector<std::uint32_t> offsets;
    const bool ok = TableRead(m_file, magic, [&](CArchive&, int count, std::size_t bytesLeft) {
      if (static_cast<std::size_t>(count) > bytesLeft / minRecordSize) return false;
      offsets.reserve(static_cast<std::size_t>(count) + 1);
      const unsigned char* data = m_file.GetData();
      const std::size_t size = 8 + bytesLeft;
      std::size_t at = 8;
      for (int i = 0; i < count; ++i) {
        const std::size_t n = recordSize(data + at, size - at);
        if (n == 0 || n > size - at) return false;
        seen(i, data + at, n);
        offsets.push_back(static_cast<std::uint32_t>(at));
        at += n;
      }
      offsets.push_back(static_cast<std::uint32_t>(at));
      return true;
    });
    if (!ok) return false;
    m_offsets = std::move(offsets);
    m_readIndexed = readRecord;
    MakeLazy(static_cast<int>(m_offsets.size()) - 1);
    return true;
  }

  // Calls fn(record) for each record made so far, in no particular order.
  template <class Fn>
  void ForEachMade(Fn fn) {
    if (!m_lazy) {
      for (Record& record : m_records) fn(record);
      return;
    }
    for (int b = 0; b * kBlock < m_lazyCount; ++b)
      if (m_built[static_cast<std::size_t>(b)].load(std::memory_order_acquire))
        for (int i = b * kBlock; i < std::min(m_lazyCount, (b + 1) * kBlock); ++i) fn(m_lazy[i]);
  }

  ~CTableRecords() {
    if (!m_lazy) return;
    ForEachMade([](Record& record) { record.~Record(); });
    std::allocator<Record>().deallocate(m_lazy, static_cast<std::size_t>(m_lazyCount));
  }

  bool IsLoaded() const { return m_loaded; }
  // The records read by Load; empty before it, and for a table read by LoadFixed or LoadIndexed.
  std::vector<Record>& Records() { return m_records; }
  const std::vector<Record>& Records() const { return m_records; }
  int GetCount() const { return m_lazy ? m_lazyCount : static_cast<int>(m_records.size()); }
  // Record i (0 <= i < GetCount()) of a loaded table. Safe from several threads at once.
  Record& At(int i) { return const_cast<Record&>(std::as_const(*this).At(i)); }
  const Record& At(int i) const {
    if (!m_lazy) return m_records[static_cast<std::size_t>(i)];
    const std::size_t b = static_cast<std::size_t>(i / kBlock);
    if (!m_built[b].load(std::memory_order_acquire)) Build(b);
    return m_lazy[i];
  }
  // The stored bytes of fixed record i, for checks that need no whole record.
  const unsigned char* FixedBytes(int i) const {
    return m_file.GetData() + 8 + static_cast<std::size_t>(i) * m_fixedSize;
  }

 private:
  static constexpr int kBlock = 64;

  void MakeLazy(int count) {
    const std::size_t blocks = (static_cast<std::size_t>(count) + kBlock - 1) / kBlock;
    // Storage only: its pages are touched as blocks of records are made.
    m_lazy = std::allocator<Record>().allocate(static_cast<std::size_t>(count));
    m_built = std::make_unique<std::atomic<bool>[]>(blocks);
    m_lazyCount = count;
    m_loaded = true;
  }

  void Build(std::size_t b) const {
    std::lock_guard<std::mutex> lock(m_buildLock);
    if (m_built[b].load(std::memory_order_relaxed)) return;
    const int first = static_cast<int>(b) * kBlock;
    const int end = std::min(m_lazyCount, first + kBlock);
    if (m_readFixed) {
      for (int i = first; i < end; ++i) m_readFixed(FixedBytes(i), *new (&m_lazy[i]) Record());
    } else {
      // The records were measured by the same rules as the reader reads them.
      CMemFile bytes;
      bytes.Attach(m_file.GetData() + m_offsets[static_cast<std::size_t>(first)],
                   m_offsets[static_cast<std::size_t>(end)] - m_offsets[static_cast<std::size_t>(first)]);
      CArchive ar(&bytes, CArchive::load);
      for (int i = first; i < end; ++i) m_readIndexed(ar, *new (&m_lazy[i]) Record());
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
  // A table read by LoadFixed or LoadIndexed: storage for every record, and which blocks of
  // kBlock are made.
  Record* m_lazy = nullptr;
  std::unique_ptr<std::atomic<bool>[]> m_built;
  int m_lazyCount = 0;
  std::size_t m_fixedSize = 0;
  void (*m_readFixed)(const unsigned char*, Record&) = nullptr;
  std::vector<std::uint32_t> m_offsets;  // LoadIndexed: where each record starts, then the end
  void (*m_readIndexed)(CArchive&, Record&) = nullptr;
  mutable std::mutex m_buildLock;
};
