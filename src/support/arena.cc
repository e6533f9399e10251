#include "support/arena.h"

#include <new>

#include "support/memory.h"

// Under AddressSanitizer every block is followed by a poisoned red zone and
// the unused rest of a region stays poisoned, so that a read past a block
// is caught even though the blocks lie side by side.
#if defined(__SANITIZE_ADDRESS__)
#define IMP_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define IMP_ASAN 1
#endif
#endif
#if defined(IMP_ASAN)
#include <sanitizer/asan_interface.h>
#define IMP_POISON(p, n) ASAN_POISON_MEMORY_REGION((p), (n))
#define IMP_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION((p), (n))
constexpr size_t kRedZone = 16;
#else
#define IMP_POISON(p, n) ((void)(p), (void)(n))
#define IMP_UNPOISON(p, n) ((void)(p), (void)(n))
constexpr size_t kRedZone = 0;
#endif

namespace imp {

// A region begins with this header; the blocks follow it.
struct Arena::Region {
  Region* previous;
  size_t size;  // the whole region, header included
};

namespace {

constexpr size_t kHeader = (sizeof(void*) + sizeof(size_t) + 15) / 16 * 16;
// Regions made on demand (without Reserve) are at least this big.
constexpr size_t kSmallestRegion = size_t(64) << 10;

size_t RoundUp(size_t value, size_t alignment) { return (value + alignment - 1) & ~(alignment - 1); }

}  // namespace

size_t Arena::Footprint(size_t size) const noexcept { return RoundUp(size + kRedZone, alignment_); }

void Arena::NewRegion(size_t bytes) {
  const size_t size = kHeader + bytes;
  auto* region = static_cast<Region*>(AllocateLowRegion(size));
  if (region == nullptr) throw std::bad_alloc();
  region->previous = regions_;
  region->size = size;
  regions_ = region;
  next_ = reinterpret_cast<char*>(region) + kHeader;
  end_ = reinterpret_cast<char*>(region) + size;
  IMP_POISON(next_, bytes);
}

void Arena::Reserve(size_t bytes) {
  if (static_cast<size_t>(end_ - next_) >= bytes) return;
  NewRegion(bytes);
}

void* Arena::Allocate(size_t size) {
  const size_t footprint = Footprint(size);
  if (static_cast<size_t>(end_ - next_) < footprint) {
    NewRegion(footprint > kSmallestRegion ? footprint : kSmallestRegion);
  }
  char* block = next_;
  next_ += footprint;
  used_ += footprint;
  IMP_UNPOISON(block, size);
  return block;
}

void Arena::Release() noexcept {
  while (regions_ != nullptr) {
    Region* previous = regions_->previous;
    const size_t size = regions_->size;
    IMP_UNPOISON(regions_, size);
    ReleaseLowRegion(regions_, size);
    regions_ = previous;
  }
  next_ = end_ = nullptr;
  used_ = 0;
}

}  // namespace imp
