// Fresh memory costs a fault for each page on its first write; a block about to be filled
// whole can have its pages made in one call instead.
#pragma once

#include <cstddef>
#include <new>

// Makes the whole pages within [p, p + bytes) now, writable. Nothing happens where the kernel
// can't (the pages then come one fault at a time, as without it).
void AfxPrefault(void* p, std::size_t bytes);

// Storage from operator new with its pages made: for objects whose constructors write them whole.
inline void* AfxNewPrefaulted(std::size_t bytes) {
  void* p = ::operator new(bytes);
  AfxPrefault(p, bytes);
  return p;
}
