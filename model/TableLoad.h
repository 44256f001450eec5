// Shared reading of the embedded tables: magic, count, then the records, all checked against
// the bytes there are.
#pragma once

#include <cstddef>
#include <functional>

#include "platform/core/Afx.h"

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
