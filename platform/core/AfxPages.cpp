#include "platform/core/AfxPages.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace {

// The whole pages within [p, p + bytes); false when there are none.
bool WholePages(const void* p, std::size_t bytes, std::uintptr_t& first, std::uintptr_t& last) {
  const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const auto begin = reinterpret_cast<std::uintptr_t>(p);
  first = (begin + page - 1) & ~(page - 1);
  last = (begin + bytes) & ~(page - 1);
  return p && last > first;
}

}  // namespace

void AfxPrefault(void* p, std::size_t bytes) {
  std::uintptr_t first = 0, last = 0;
  if (!WholePages(p, bytes, first, last)) return;
#ifdef MADV_POPULATE_WRITE
  ::madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
#endif
}

void AfxPrefaultRead(const void* p, std::size_t bytes) {
  std::uintptr_t first = 0, last = 0;
  if (!WholePages(p, bytes, first, last)) return;
#ifdef MADV_POPULATE_READ
  ::madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_READ);
#endif
}
