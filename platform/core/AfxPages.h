// Fresh memory costs a fault for each page on its first write; a block about to be filled
// whole can have its pages made in one call instead.
#pragma once

#include <cstddef>

// Makes the whole pages within [p, p + bytes) now, writable. Nothing happens where the kernel
// can't (the pages then come one fault at a time, as without it).
void AfxPrefault(void* p, std::size_t bytes);
