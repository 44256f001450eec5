#include "platform/core/AfxPages.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

void AfxPrefault(void* p, std::size_t bytes) {
  const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const auto begin = reinterpret_cast<std::uintptr_t>(p);
  const std::uintptr_t first = (begin + page - 1) & ~(page - 1);
  const std::uintptr_t last = (begin + bytes) & ~(page - 1);
  if (!p || last <= first) return;
#ifdef MADV_POPULATE_WRITE
  ::madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
#endif
}
