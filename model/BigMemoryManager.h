// Bulk allocator for the chart's coastline nodes: many blocks, all freed together.
#pragma once

#include <cstddef>
#include <vector>

class CBigMemoryManager {
 public:
  CBigMemoryManager() = default;
  // Blocks still recorded are returned too: nothing may use them once their manager is gone.
  virtual ~CBigMemoryManager() { FreeAll(); }
  CBigMemoryManager(const CBigMemoryManager&) = delete;
  CBigMemoryManager& operator=(const CBigMemoryManager&) = delete;

  // A block of at least the given bytes (NULL when none is available), recorded for FreeAll.
  void* Alloc(std::size_t bytes);
  // Returns every recorded block and empties the list.
  void FreeAll();
  int GetCount() const { return static_cast<int>(m_blocks.size()); }
  std::size_t GetTotalBytes() const;

 private:
  struct Block {
    void* pointer;
    std::size_t size;
  };
  std::vector<Block> m_blocks;
};
