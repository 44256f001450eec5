#include "platform/core/AfxGlobalMem.h"

#include <cstdlib>
#include <memory>
#include <mutex>
#include <new>
#include <unordered_set>

namespace {

struct FreeBytes {
  void operator()(BYTE* p) const { std::free(p); }
};

struct Block {
  // One more than asked, so even an empty block has an address. Zeroed by calloc, which gets
  // fresh pages for a large block instead of clearing it byte by byte.
  std::unique_ptr<BYTE, FreeBytes> bytes;
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
  b->bytes.reset(static_cast<BYTE*>(std::calloc(dwBytes + 1, 1)));
  if (!b->bytes) {
    delete b;
    return nullptr;
  }
  b->size = dwBytes;
  std::lock_guard<std::mutex> g(blockLock());
  blocks().insert(b);
  return b;
}

LPVOID GlobalLock(HGLOBAL hMem) {
  std::lock_guard<std::mutex> g(blockLock());
  Block* b = find(hMem);
  if (!b) return nullptr;
  ++b->locks;
  return b->bytes.get();
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
