#include "model/BigMemoryManager.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <cstring>

TEST(BigMemoryManager, RecordsBlocksAndFreesThemTogether) {
  CBigMemoryManager memory;
  void* a = memory.Alloc(100);
  void* b = memory.Alloc(0);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a, b);
  std::memset(a, 0xAB, 100);
  EXPECT_EQ(memory.GetCount(), 2);
  EXPECT_EQ(memory.GetTotalBytes(), 100u);
  memory.FreeAll();
  EXPECT_EQ(memory.GetCount(), 0);
  memory.FreeAll();  // nothing left to free
  EXPECT_NE(memory.Alloc(8), nullptr);
  // The destructor returns what is still recorded (a leak checker sees no loss).
}

namespace {

long ResidentBytes() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return resident * sysconf(_SC_PAGESIZE);
}

}  // namespace

// A chart that drops its coastline for another region's gives the memory back: blocks of the
// size of a coastline come from the heap itself once one such block was freed, and the heap
// would keep them.
TEST(BigMemoryManager, FreeAllGivesTheMemoryBack) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's allocator keeps freed memory on purpose";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  GTEST_SKIP() << "the sanitizer's allocator keeps freed memory on purpose";
#endif
#endif
  constexpr std::size_t kBlock = 8u << 20;
  {
    CBigMemoryManager first;
    std::memset(first.Alloc(3 * kBlock), 1, 3 * kBlock);
    first.FreeAll();
  }
  const long before = ResidentBytes();
  CBigMemoryManager memory;
  for (int i = 0; i < 4; ++i) std::memset(memory.Alloc(kBlock), 1, kBlock);
  ASSERT_GT(ResidentBytes(), before + 3 * static_cast<long>(kBlock));
  memory.FreeAll();
  EXPECT_LT(ResidentBytes(), before + static_cast<long>(kBlock));
}
