// Allocation for the whole module: the ordinary heap, the low pool for
// blocks behind 4-byte slots, and the allocation-failure test hook.
//
// The host drives the module from one thread, so nothing here locks.
//
// Low pool in a 64-bit process: the blocks come from arenas mapped below
// 4 GiB. Every block is a 16-byte header followed by the caller's bytes:
//
//   arena:  [previous arena, 16 bytes][header|block][header|block]...
//   header: mappedBytes (8) | sizeClass (4) | tag (4)
//
// Blocks up to kMaxSmall bytes are rounded up to a multiple of 16 (their
// size class) and carved from the newest arena; a released block goes onto
// the free list of its class and is handed out again before the arena grows.
// A bigger block gets a low mapping of its own (sizeClass 0, mappedBytes its
// length), which is unmapped when the block is released. Arenas are never
// given back while the module is loaded; when it unloads, they are unmapped
// as soon as the last low block has been released.

#include "support/memory.h"

#include <cassert>
#include <cstdlib>
#include <cstring>

#if UINTPTR_MAX > 0xFFFFFFFFu
#define IMP_LOW_ARENAS 1
#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <sys/mman.h>
#endif
#endif

// Under AddressSanitizer the low pool marks what it has not handed out, so
// that overruns and use after release of low blocks are caught as well.
#if defined(__SANITIZE_ADDRESS__)
#define IMP_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define IMP_ASAN 1
#endif
#endif
// Under valgrind's memcheck likewise: handed-out low blocks are heap blocks
// to memcheck (overruns, reads of what was never written and leaks are
// reported), the rest of the arenas is off limits. The requests cost a few
// instructions outside valgrind.
#if !defined(IMP_ASAN) && defined(IMP_LOW_ARENAS) && !defined(_WIN32) && defined(__has_include)
#if __has_include(<valgrind/memcheck.h>)
#include <valgrind/memcheck.h>
#define IMP_MEMCHECK 1
#endif
#endif
// IMP_POISON: the bytes are off limits. IMP_UNPOISON: the pool itself uses
// them (headers, free-list links). IMP_HAND_OUT / IMP_TAKE_BACK: a block
// becomes the caller's / goes back to the pool.
#if defined(IMP_ASAN) && defined(IMP_LOW_ARENAS)
#include <sanitizer/asan_interface.h>
#define IMP_POISON(p, n) ASAN_POISON_MEMORY_REGION((p), (n))
#define IMP_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION((p), (n))
#define IMP_HAND_OUT(p, n) ASAN_UNPOISON_MEMORY_REGION((p), (n))
#define IMP_TAKE_BACK(p) ((void)(p))
#elif defined(IMP_MEMCHECK)
#define IMP_POISON(p, n) ((void)VALGRIND_MAKE_MEM_NOACCESS((p), (n)))
#define IMP_UNPOISON(p, n) ((void)VALGRIND_MAKE_MEM_DEFINED((p), (n)))
#define IMP_HAND_OUT(p, n) VALGRIND_MALLOCLIKE_BLOCK((p), (n), 0, 0)
#define IMP_TAKE_BACK(p) VALGRIND_FREELIKE_BLOCK((p), 0)
#else
#define IMP_POISON(p, n) ((void)(p), (void)(n))
#define IMP_UNPOISON(p, n) ((void)(p), (void)(n))
#define IMP_HAND_OUT(p, n) ((void)(p), (void)(n))
#define IMP_TAKE_BACK(p) ((void)(p))
#endif

namespace imp {
namespace {

#ifdef IMP_LOW_ARENAS

constexpr size_t kHeaderBytes = 16;
constexpr size_t kGranule = 16;
constexpr size_t kMaxSmall = 16 * 1024;
constexpr uint32_t kClassCount = kMaxSmall / kGranule;  // classes 1..kClassCount
constexpr size_t kArenaBytes = size_t(4) << 20;
constexpr size_t kMapGranule = size_t(64) << 10;  // mapping sizes and addresses
constexpr uint64_t kLowLimit = uint64_t(1) << 32;
// Hinted mappings are tried from kHintStart up to 4 GiB, then from
// kHintFloor: the first gigabytes are where MAP_32BIT and the program's own
// heap live.
constexpr uintptr_t kHintFloor = uintptr_t(1) << 20;
constexpr uintptr_t kHintStart = uintptr_t(2) << 30;
constexpr uintptr_t kHintStep = uintptr_t(1) << 20;
constexpr uint32_t kLiveTag = 0x4C6F4C76u;
constexpr uint32_t kFreeTag = 0x4C6F4672u;

struct BlockHeader {
  uint64_t mappedBytes;  // a big block's mapping length; 0 for small blocks
  uint32_t sizeClass;    // 1..kClassCount; 0 for a big block
  uint32_t tag;          // kLiveTag while handed out, kFreeTag when free
};
static_assert(sizeof(BlockHeader) == kHeaderBytes, "header is 16 bytes");

struct FreeBlock {
  FreeBlock* next;
};

struct LowHeap {
  FreeBlock* freeLists[kClassCount + 1];  // by size class; [0] unused
  uint8_t* bump;         // the unused tail of the newest arena
  uint8_t* bumpEnd;
  uint8_t* newestArena;  // arenas chain through their first 8 bytes
  uintptr_t hintCursor;  // where the next hinted mapping is tried
  long liveBlocks;
  bool unloading;
};

#endif  // IMP_LOW_ARENAS

struct MemoryState {
  long attempts = 0;
  long lowBlocksInUse = 0;
  long failAfter = -1;  // successes left before failing; negative = disarmed
#ifdef IMP_LOW_ARENAS
  LowHeap low = {{}, nullptr, nullptr, nullptr, kHintStart, 0, false};
  // Runs when the module unloads; other module-wide objects may still hold
  // low blocks and release them later.
  ~MemoryState();
#endif
};

// Constant-initialised, so that objects built at load time in other units
// can already allocate.
MemoryState g_memory;

// Every allocating call starts here: counts the attempt and applies the hook.
bool MayAllocate() noexcept {
  ++g_memory.attempts;
  return g_memory.failAfter != 0;
}

void* Counted(void* block) noexcept {
  if (block != nullptr && g_memory.failAfter > 0) --g_memory.failAfter;
  return block;
}

// malloc(0) may give nullptr, which would read as a failure.
size_t AtLeastOne(size_t size) noexcept { return size == 0 ? 1 : size; }

#ifdef IMP_LOW_ARENAS

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
    uintptr_t next = (regionEnd + kMapGranule - 1) & ~(kMapGranule - 1);
    at = next > at ? next : at + kMapGranule;
  }
  return nullptr;
}

void UnmapLow(void* p, size_t) noexcept { VirtualFree(p, 0, MEM_RELEASE); }

#else  // POSIX

void* MapLow(size_t bytes) noexcept {
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
  // Hints below 4 GiB. MAP_FIXED_NOREPLACE never replaces a mapping; a
  // kernel that does not know it takes the address as a plain hint and may
  // map elsewhere, so every result is checked.
  int hintFlags = flags;
#ifdef MAP_FIXED_NOREPLACE
  hintFlags |= MAP_FIXED_NOREPLACE;
#endif
  if (bytes > kLowLimit - kHintFloor) return nullptr;
  const uintptr_t candidates = (kLowLimit - kHintFloor - bytes) / kHintStep + 1;
  uintptr_t first = 0;
  if (g_memory.low.hintCursor >= kHintFloor)
    first = (g_memory.low.hintCursor - kHintFloor) / kHintStep % candidates;
  for (uintptr_t i = 0; i < candidates; ++i) {
    const uintptr_t at = kHintFloor + (first + i) % candidates * kHintStep;
    void* p = mmap(reinterpret_cast<void*>(at), bytes, prot, hintFlags, -1, 0);
    if (p == MAP_FAILED) continue;
    if (EndsLow(p, bytes)) {
      g_memory.low.hintCursor = reinterpret_cast<uintptr_t>(p) + bytes;
      return p;
    }
    munmap(p, bytes);
  }
  return nullptr;
}

void UnmapLow(void* p, size_t bytes) noexcept { munmap(p, bytes); }

#endif  // POSIX

BlockHeader* HeaderOf(void* block) noexcept {
  return reinterpret_cast<BlockHeader*>(static_cast<uint8_t*>(block) - kHeaderBytes);
}

// A block of `size` bytes is handed out: only its own bytes are usable.
void* HandOut(BlockHeader* header, size_t size) noexcept {
  header->tag = kLiveTag;
  IMP_POISON(header, kHeaderBytes);
  void* block = reinterpret_cast<uint8_t*>(header) + kHeaderBytes;
  IMP_HAND_OUT(block, size);
  ++g_memory.low.liveBlocks;
  return block;
}

bool NewArena() noexcept {
  LowHeap& low = g_memory.low;
  auto* arena = static_cast<uint8_t*>(MapLow(kArenaBytes));
  if (arena == nullptr) return false;
  std::memcpy(arena, &low.newestArena, sizeof low.newestArena);
  low.newestArena = arena;
  low.bump = arena + kHeaderBytes;
  low.bumpEnd = arena + kArenaBytes;
  IMP_POISON(arena, kArenaBytes);
  return true;
}

void* AllocateBig(size_t size) noexcept {
  if (size > kLowLimit) return nullptr;
  const size_t bytes = (size + kHeaderBytes + kMapGranule - 1) & ~(kMapGranule - 1);
  void* mapping = MapLow(bytes);
  if (mapping == nullptr) return nullptr;
  IMP_POISON(mapping, bytes);
  auto* header = static_cast<BlockHeader*>(mapping);
  IMP_UNPOISON(header, kHeaderBytes);
  header->mappedBytes = bytes;
  header->sizeClass = 0;
  return HandOut(header, size);
}

void* AllocateLowBlock(size_t size) noexcept {
  if (size > kMaxSmall) return AllocateBig(size);
  LowHeap& low = g_memory.low;
  const uint32_t sizeClass = size == 0 ? 1 : static_cast<uint32_t>((size + kGranule - 1) / kGranule);
  const size_t classBytes = sizeClass * kGranule;
  BlockHeader* header;
  if (FreeBlock* reused = low.freeLists[sizeClass]) {
    IMP_UNPOISON(reused, sizeof(FreeBlock));
    low.freeLists[sizeClass] = reused->next;
    header = HeaderOf(reused);
    IMP_UNPOISON(header, kHeaderBytes);
    assert(header->tag == kFreeTag && header->sizeClass == sizeClass);
  } else {
    if (static_cast<size_t>(low.bumpEnd - low.bump) < kHeaderBytes + classBytes && !NewArena())
      return nullptr;
    header = reinterpret_cast<BlockHeader*>(low.bump);
    low.bump += kHeaderBytes + classBytes;
    IMP_UNPOISON(header, kHeaderBytes);
    header->mappedBytes = 0;
    header->sizeClass = sizeClass;
  }
  return HandOut(header, size);
}

void UnmapAllArenas() noexcept {
  LowHeap& low = g_memory.low;
  uint8_t* arena = low.newestArena;
  while (arena != nullptr) {
    IMP_UNPOISON(arena, kArenaBytes);
    uint8_t* previous;
    std::memcpy(&previous, arena, sizeof previous);
    UnmapLow(arena, kArenaBytes);
    arena = previous;
  }
  for (FreeBlock*& head : low.freeLists) head = nullptr;
  low.bump = low.bumpEnd = low.newestArena = nullptr;
}

void ReleaseLowBlock(void* block) noexcept {
  LowHeap& low = g_memory.low;
  BlockHeader* header = HeaderOf(block);
  IMP_UNPOISON(header, kHeaderBytes);
  assert(header->tag == kLiveTag && "not a live low block");
  IMP_TAKE_BACK(block);
  if (header->sizeClass == 0) {
    const size_t bytes = static_cast<size_t>(header->mappedBytes);
    IMP_UNPOISON(header, bytes);
    UnmapLow(header, bytes);
  } else {
    header->tag = kFreeTag;
    auto* freed = static_cast<FreeBlock*>(block);
    IMP_UNPOISON(freed, sizeof(FreeBlock));
    freed->next = low.freeLists[header->sizeClass];
    low.freeLists[header->sizeClass] = freed;
    IMP_POISON(header, kHeaderBytes + header->sizeClass * kGranule);
  }
  if (--low.liveBlocks == 0 && low.unloading) UnmapAllArenas();
}

MemoryState::~MemoryState() {
  low.unloading = true;
  if (low.liveBlocks == 0) UnmapAllArenas();
}

#else  // 32-bit: every address fits a slot.

void* AllocateLowBlock(size_t size) noexcept { return std::malloc(AtLeastOne(size)); }
void ReleaseLowBlock(void* block) noexcept { std::free(block); }

#endif  // IMP_LOW_ARENAS

}  // namespace

void* Allocate(size_t size) noexcept {
  if (!MayAllocate()) return nullptr;
  return Counted(std::malloc(AtLeastOne(size)));
}

void* AllocateZeroed(size_t size) noexcept {
  if (!MayAllocate()) return nullptr;
  return Counted(std::calloc(1, AtLeastOne(size)));
}

void* Reallocate(void* block, size_t size) noexcept {
  if (!MayAllocate()) return nullptr;
  return Counted(std::realloc(block, AtLeastOne(size)));
}

void Release(void* block) noexcept { std::free(block); }

void* AllocateLow(size_t size) noexcept {
  if (!MayAllocate()) return nullptr;
  void* block = Counted(AllocateLowBlock(size));
  if (block != nullptr) ++g_memory.lowBlocksInUse;
  return block;
}

void* AllocateLowZeroed(size_t size) noexcept {
  void* block = AllocateLow(size);
  if (block != nullptr) std::memset(block, 0, size);
  return block;
}

void ReleaseLow(void* block) noexcept {
  if (block == nullptr) return;
  --g_memory.lowBlocksInUse;
  ReleaseLowBlock(block);
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

void FailAllocationsAfter(long successes) noexcept {
  g_memory.failAfter = successes < 0 ? -1 : successes;
}

long AllocationCount() noexcept { return g_memory.attempts; }

long LowBlocksInUse() noexcept { return g_memory.lowBlocksInUse; }

}  // namespace imp
