// The ordinary heap and low regions; every allocation asks the fault seam
// first (fault_injection.h).
//
// The host drives the module from one thread, so nothing here locks.
#include "support/memory.h"

#include <cassert>
#include <cstdlib>
#include <cstring>

#include "support/fault_injection.h"

#if UINTPTR_MAX > 0xFFFFFFFFu
#define IMP_LOW_MAPPINGS 1
#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <sys/mman.h>
#endif
#endif

namespace imp {
namespace {

struct MemoryState {
  long lowRegionsInUse = 0;
#ifdef IMP_LOW_MAPPINGS
  uintptr_t hintCursor = 0;  // where the next hinted mapping is tried
#endif
};

// Constant-initialised, so that objects built at load time in other units
// can already allocate.
MemoryState g_memory;

// Every allocating call starts here: a fault planted by a test fails it.
bool MayAllocate() noexcept { return InjectedFault(FaultSite::kAllocation) == 0; }

// malloc(0) may give nullptr, which would read as a failure.
size_t AtLeastOne(size_t size) noexcept { return size == 0 ? 1 : size; }

#ifdef IMP_LOW_MAPPINGS

constexpr uint64_t kLowLimit = uint64_t(1) << 32;
constexpr size_t kMapGranule = size_t(64) << 10;  // mapping sizes and addresses

size_t MappedSize(size_t size) noexcept { return (AtLeastOne(size) + kMapGranule - 1) & ~(kMapGranule - 1); }

bool EndsLow(const void* p, size_t bytes) noexcept {
  const uint64_t start = reinterpret_cast<uintptr_t>(p);
  return start < kLowLimit && bytes <= kLowLimit - start;
}

#if defined(_WIN32)

// First fit among the free regions below 4 GiB, at 64 KiB boundaries (the
// allocation granularity).
void* MapLow(size_t bytes) noexcept {
  uintptr_t at = kMapGranule;
  while (at < kLowLimit && bytes <= kLowLimit - at) {
    MEMORY_BASIC_INFORMATION info;
    if (VirtualQuery(reinterpret_cast<void*>(at), &info, sizeof info) == 0) break;
    const uintptr_t regionEnd = reinterpret_cast<uintptr_t>(info.BaseAddress) + info.RegionSize;
    if (info.State == MEM_FREE && regionEnd - at >= bytes) {
      void* p = VirtualAlloc(reinterpret_cast<void*>(at), bytes, MEM_RESERVE | MEM_COMMIT,
                             PAGE_READWRITE);
      if (p != nullptr) {
        if (EndsLow(p, bytes)) return p;
        VirtualFree(p, 0, MEM_RELEASE);
      }
    }
    const uintptr_t next = (regionEnd + kMapGranule - 1) & ~(kMapGranule - 1);
    at = next > at ? next : at + kMapGranule;
  }
  return nullptr;
}

void UnmapLow(void* p, size_t) noexcept { VirtualFree(p, 0, MEM_RELEASE); }

#else  // POSIX

// MAP_32BIT first (the lowest 2 GiB), then hints below 4 GiB.
// MAP_FIXED_NOREPLACE never replaces a mapping; a kernel that does not know
// it takes the address as a plain hint and may map elsewhere, so every
// result is checked.
void* MapLow(size_t bytes) noexcept {
  constexpr uintptr_t kHintFloor = uintptr_t(1) << 20;
  constexpr uintptr_t kHintStart = uintptr_t(2) << 30;
  constexpr uintptr_t kHintStep = uintptr_t(1) << 20;
  const int prot = PROT_READ | PROT_WRITE;
  const int flags = MAP_PRIVATE | MAP_ANONYMOUS;
#ifdef MAP_32BIT
  {
    void* p = mmap(nullptr, bytes, prot, flags | MAP_32BIT, -1, 0);
    if (p != MAP_FAILED) {
      if (EndsLow(p, bytes)) return p;
      munmap(p, bytes);
    }
  }
#endif
  int hintFlags = flags;
#ifdef MAP_FIXED_NOREPLACE
  hintFlags |= MAP_FIXED_NOREPLACE;
#endif
  if (bytes > kLowLimit - kHintFloor) return nullptr;
  const uintptr_t candidates = (kLowLimit - kHintFloor - bytes) / kHintStep + 1;
  uintptr_t cursor = g_memory.hintCursor != 0 ? g_memory.hintCursor : kHintStart;
  const uintptr_t first = cursor >= kHintFloor ? (cursor - kHintFloor) / kHintStep % candidates : 0;
  for (uintptr_t i = 0; i < candidates; ++i) {
    const uintptr_t at = kHintFloor + (first + i) % candidates * kHintStep;
    void* p = mmap(reinterpret_cast<void*>(at), bytes, prot, hintFlags, -1, 0);
    if (p == MAP_FAILED) continue;
    if (EndsLow(p, bytes)) {
      g_memory.hintCursor = reinterpret_cast<uintptr_t>(p) + bytes;
      return p;
    }
    munmap(p, bytes);
  }
  return nullptr;
}

void UnmapLow(void* p, size_t bytes) noexcept { munmap(p, bytes); }

#endif  // POSIX
#endif  // IMP_LOW_MAPPINGS

}  // namespace

void* Allocate(size_t size) noexcept {
  if (!MayAllocate()) return nullptr;
  return std::malloc(AtLeastOne(size));
}

void Release(void* block) noexcept { std::free(block); }

void* AllocateLowRegion(size_t size) noexcept {
  if (!MayAllocate()) return nullptr;
#ifdef IMP_LOW_MAPPINGS
  void* region = MapLow(MappedSize(size));
#else
  void* region = std::calloc(1, AtLeastOne(size));
#endif
  if (region != nullptr) ++g_memory.lowRegionsInUse;
  return region;
}

void ReleaseLowRegion(void* region, size_t size) noexcept {
  if (region == nullptr) return;
  --g_memory.lowRegionsInUse;
#ifdef IMP_LOW_MAPPINGS
  UnmapLow(region, MappedSize(size));
#else
  (void)size;
  std::free(region);
#endif
}

uint32_t SlotOf(const void* block) noexcept {
  const uint64_t address = reinterpret_cast<uintptr_t>(block);
  assert((address >> 32) == 0 && "slot of a block above 4 GiB");
  return static_cast<uint32_t>(address);
}

void WriteSlot(void* where, const void* block) noexcept {
  const uint32_t slot = SlotOf(block);
  const unsigned char bytes[4] = {
      static_cast<unsigned char>(slot), static_cast<unsigned char>(slot >> 8),
      static_cast<unsigned char>(slot >> 16), static_cast<unsigned char>(slot >> 24)};
  std::memcpy(where, bytes, sizeof bytes);
}

long LowRegionsInUse() noexcept { return g_memory.lowRegionsInUse; }

}  // namespace imp
