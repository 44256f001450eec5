#include "model/BigMemoryManager.h"

#include <cstdlib>
#include <new>

void* CBigMemoryManager::Alloc(std::size_t bytes)
{
    // A zero-byte request still gets a distinct block, as from the process heap.
    void* block = std::malloc(bytes > 0 ? bytes : 1);
    if (!block)
        return nullptr;
    try {
        m_blocks.push_back({block, bytes});
    } catch (const std::bad_alloc&) {
        std::free(block);
        return nullptr;
    }
    return block;
}

void CBigMemoryManager::FreeAll()
{
    for (const Block& b : m_blocks)
        std::free(b.pointer);
    m_blocks.clear();
}

std::size_t CBigMemoryManager::GetTotalBytes() const
{
    std::size_t total = 0;
    for (const Block& b : m_blocks)
        total += b.size;
    return total;
}
