#include "support/arena.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "support/memory.h"

// Under AddressSanitizer every block is followed by a poisoned red zone and
// the unused rest of a region stays poisoned, so that a read past a block
// is caught even though the blocks lie side by side. Under valgrind's
// memcheck the arena is a memory pool of it, with the same red zones: an
// overrun, a read of a released block and a leak are reported as for heap
// blocks. Outside valgrind its requests cost a few instructions.
#if defined(__SANITIZE_ADDRESS__)
#define IMP_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define IMP_ASAN 1
#endif
#endif
// Regions are mappings of their own only in a 64-bit process; in a 32-bit
// one they are heap blocks, which memcheck knows already. The build defines
// IMPORDANO_HAVE_MEMCHECK_H where valgrind's header is installed.
#if !defined(IMP_ASAN) && !defined(_WIN32) && UINTPTR_MAX > 0xFFFFFFFFu && \
    defined(IMPORDANO_HAVE_MEMCHECK_H)
#include <valgrind/memcheck.h>
#define IMP_MEMCHECK 1
#endif

#if defined(IMP_ASAN)
#include <sanitizer/asan_interface.h>
#define IMP_POISON(p, n) ASAN_POISON_MEMORY_REGION((p), (n))
#define IMP_RETURN(p, n) ASAN_UNPOISON_MEMORY_REGION((p), (n))
#define IMP_HAND_OUT(pool, p, n) ASAN_UNPOISON_MEMORY_REGION((p), (n))
#define IMP_POOL_CREATE(pool) ((void)(pool))
#define IMP_POOL_DESTROY(pool) ((void)(pool))
#elif defined(IMP_MEMCHECK)
#define IMP_POISON(p, n) ((void)VALGRIND_MAKE_MEM_NOACCESS((p), (n)))
#define IMP_RETURN(p, n) ((void)(p), (void)(n))
#define IMP_HAND_OUT(pool, p, n) VALGRIND_MEMPOOL_ALLOC((pool), (p), (n))
#define IMP_POOL_CREATE(pool) VALGRIND_CREATE_MEMPOOL((pool), 0, 1)
#define IMP_POOL_DESTROY(pool) VALGRIND_DESTROY_MEMPOOL(pool)
#else
#define IMP_POISON(p, n) ((void)(p), (void)(n))
#define IMP_RETURN(p, n) ((void)(p), (void)(n))
#define IMP_HAND_OUT(pool, p, n) ((void)(pool), (void)(p), (void)(n))
#define IMP_POOL_CREATE(pool) ((void)(pool))
#define IMP_POOL_DESTROY(pool) ((void)(pool))
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

// The red zone after each block, where a checker looks for overruns.
size_t RedZone() noexcept {
#if defined(IMP_ASAN)
  return 16;
#elif defined(IMP_MEMCHECK)
  return RUNNING_ON_VALGRIND ? 16 : 0;
#else
  return 0;
#endif
}

}  // namespace

size_t Arena::Footprint(size_t size) const noexcept { return RoundUp(size + RedZone(), alignment_); }

void Arena::NewRegion(size_t bytes) {
  const size_t size = kHeader + bytes;
  auto* region = static_cast<Region*>(AllocateLowRegion(size));
  if (region == nullptr) throw std::bad_alloc();
  if (regions_ == nullptr) IMP_POOL_CREATE(this);
  region->previous = regions_;
  region->size = size;
  regions_ = region;
  next_ = reinterpret_cast<char*>(region) + kHeader;
  end_ = reinterpret_cast<char*>(region) + size;
  IMP_POISON(next_, bytes);
}

void Arena::Reserve(size_t bytes, Overrun overrun) {
  bounded_ = overrun == Overrun::kStops;
  bound_ = used_ + bytes;
  if (static_cast<size_t>(end_ - next_) >= bytes) return;
  NewRegion(bytes);
}

void Arena::StopAtOverrun(size_t size) const noexcept {
  std::fprintf(stderr, "impordano: %s asked for a block of %lu bytes beyond what was reserved "
               "(%lu of %lu bytes used)\n", spender_, static_cast<unsigned long>(size),
               static_cast<unsigned long>(used_), static_cast<unsigned long>(bound_));
  std::abort();
}

void* Arena::Allocate(size_t size) {
  const size_t footprint = Footprint(size);
#if !defined(NDEBUG)
  if (bounded_ && used_ + footprint > bound_) StopAtOverrun(size);
#endif
  if (static_cast<size_t>(end_ - next_) < footprint) {
    NewRegion(footprint > kSmallestRegion ? footprint : kSmallestRegion);
  }
  char* block = next_;
  next_ += footprint;
  used_ += footprint;
  IMP_HAND_OUT(this, block, size);
  return block;
}

void Arena::Release() noexcept {
  if (regions_ != nullptr) IMP_POOL_DESTROY(this);
  while (regions_ != nullptr) {
    Region* previous = regions_->previous;
    const size_t size = regions_->size;
    IMP_RETURN(regions_, size);  // the bytes may be mapped again for others
    ReleaseLowRegion(regions_, size);
    regions_ = previous;
  }
  next_ = end_ = nullptr;
  used_ = 0;
  bounded_ = false;
}

}  // namespace imp
