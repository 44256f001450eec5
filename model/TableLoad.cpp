#include "model/TableLoad.h"

#include <exception>

void TableAttachResource(CMemFile& file, const char* name) {
  HRSRC found = FindResource(nullptr, name, "RAWDATA");
  if (!found) return;
  HGLOBAL loaded = LoadResource(nullptr, found);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  TableAttachBytes(file, bytes, SizeofResource(nullptr, found));
}

void TableAttachBytes(CMemFile& file, const void* bytes, std::size_t size) {
  if (!bytes || size == 0) return;
  // Read only: the tables are never written through the database.
  if (size > 0xFFFFFFFFu) return;  // no table is near this size; refusing leaves the database unloaded
  file.Attach(static_cast<const BYTE*>(bytes), static_cast<UINT>(size));
}

bool TableRead(CMemFile& file, int magic,
               const std::function<bool(CArchive& ar, int count, std::size_t bytesLeft)>& readRecords) {
  const std::size_t size = static_cast<std::size_t>(file.GetLength());
  if (size < 8) return false;
  try {
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load, 4096);
    int32_t readMagic = 0;
    int32_t count = 0;
    ar >> readMagic >> count;
    if (readMagic != magic || count < 0) {
      ar.Abort();
      return false;
    }
    if (!readRecords(ar, count, size - 8)) {
      ar.Abort();
      return false;
    }
    ar.Close();
    return true;
  } catch (CException* e) {
    e->Delete();
  } catch (const std::exception&) {
    // out of memory for the records, or a string the library refuses
  }
  return false;
}
