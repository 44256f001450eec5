#include "platform/ui/Pixels.h"
#include "platform/core/AfxPages.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>

namespace {

constexpr std::size_t kHugePage = std::size_t(2) << 20;
// Below this a picture's few faults cost less than a mapping of its own.
constexpr std::size_t kOwnMappingFrom = std::size_t(64) << 10;

struct Mapping {
  void* base;
  std::size_t length;
};

void Unmap(void* info) {
  auto* m = static_cast<Mapping*>(info);
  ::munmap(m->base, m->length);
  delete m;
}

// A mapping of at least bytes; from a huge page's size on, of whole huge pages starting on one
// (mapped a huge page larger, then trimmed).
Mapping Map(std::size_t bytes) {
  const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  const bool huge = bytes >= kHugePage;
  const std::size_t unit = huge ? kHugePage : page;
  const std::size_t length = (bytes + unit - 1) / unit * unit;
  const std::size_t extra = huge ? kHugePage : 0;
  void* raw = ::mmap(nullptr, length + extra, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return {nullptr, 0};
  if (!huge) return {raw, length};
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + kHugePage - 1) & ~(std::uintptr_t(kHugePage) - 1);
  if (aligned > start) ::munmap(raw, aligned - start);
  const std::uintptr_t end = start + length + extra;
  if (end > aligned + length) ::munmap(reinterpret_cast<void*>(aligned + length), end - (aligned + length));
  void* base = reinterpret_cast<void*>(aligned);
  ::madvise(base, length, MADV_HUGEPAGE);  // a kernel without them keeps small pages
  return {base, length};
}

}  // namespace

QImage AfxNewPixels(int w, int h, QImage::Format format) {
  const int depth = QImage::toPixelFormat(format).bitsPerPixel();
  const qsizetype bytesPerLine = ((qsizetype(w) * depth + 31) / 32) * 4;
  const std::size_t bytes = std::size_t(bytesPerLine) * std::size_t(h);
  if (w <= 0 || h <= 0 || depth < 8 || bytes < kOwnMappingFrom) return QImage(w, h, format);
  const Mapping m = Map(bytes);
  if (!m.base) return QImage(w, h, format);
  // Every page is about to be written.
  AfxPrefault(m.base, bytes);
  auto* info = new Mapping(m);
  QImage img(static_cast<uchar*>(m.base), w, h, bytesPerLine, format, Unmap, info);
  if (img.isNull()) Unmap(info);
  return img;
}
