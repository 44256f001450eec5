#include "platform/core/AfxGlobalMem.h"

#include <mutex>
#include <new>
#include <unordered_set>
#include <vector>

namespace {

struct Block {
  std::vector<BYTE> bytes;  // one more than asked, so even an empty block has an address
  SIZE_T size = 0;
  int locks = 0;
};

std::mutex& blockLock() {
  static std::mutex m;
  return m;
}
std::unordered_set<Block*>& blocks() {
  static std::unordered_set<Block*> s;
  return s;
}
Block* find(HGLOBAL h) {
  auto* b = static_cast<Block*>(h);
  return blocks().count(b) ? b : nullptr;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT, SIZE_T dwBytes) {
  if (dwBytes > ((SIZE_T)1 << 31)) return nullptr;
  auto* b = new (std::nothrow) Block;
  if (!b) return nullptr;
  try {
    b->bytes.assign(dwBytes + 1, 0);
    b->size = dwBytes;
  } catch (const std::bad_alloc&) {
    delete b;
    return nullptr;
  }
  std::lock_guard<std::mutex> g(blockLock());
  blocks().insert(b);
  return b;
}

LPVOID GlobalLock(HGLOBAL hMem) {
  std::lock_guard<std::mutex> g(blockLock());
  Block* b = find(hMem);
  if (!b) return nullptr;
  ++b->locks;
  return b->bytes.data();
}

BOOL GlobalUnlock(HGLOBAL hMem) {
  std::lock_guard<std::mutex> g(blockLock());
  Block* b = find(hMem);
  if (!b || b->locks == 0) return FALSE;
  return --b->locks > 0;
}

SIZE_T GlobalSize(HGLOBAL hMem) {
  std::lock_guard<std::mutex> g(blockLock());
  Block* b = find(hMem);
  return b ? b->size : 0;
}

HGLOBAL GlobalFree(HGLOBAL hMem) {
  std::lock_guard<std::mutex> g(blockLock());
  Block* b = find(hMem);
  if (!b) return hMem;
  blocks().erase(b);
  delete b;
  return nullptr;
}
