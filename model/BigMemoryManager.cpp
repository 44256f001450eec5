#include "model/BigMemoryManager.h"

#include <cstdlib>
#include <new>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

void* CBigMemoryManager::Alloc(std::size_t bytes) {
  // A zero-byte request still gets a distinct block, as from the process heap.
  void* block = std::malloc(bytes > 0 ? bytes : 1);
  if (!block) return nullptr;
  try {
    m_blocks.push_back({block, bytes});
  } catch (const std::bad_alloc&) {
    std::free(block);
    return nullptr;
  }
  return block;
}

void CBigMemoryManager::FreeAll() {
  const bool any = !m_blocks.empty();
  for (const Block& b : m_blocks) std::free(b.pointer);
  m_blocks.clear();
#if defined(__GLIBC__)
  // Big blocks freed once make the heap serve later ones itself, and it keeps what is freed:
  // a chart that drops its coastline (another region) gives the memory back to the system.
  if (any) malloc_trim(0);
#endif
}

std::size_t CBigMemoryManager::GetTotalBytes() const {
  std::size_t total = 0;
  for (const Block& b : m_blocks) total += b.size;
  return total;
}
