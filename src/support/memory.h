// Allocation for the whole module.
//
// Every block the module allocates comes from here, so that running out of
// memory is one well-tested path: the functions return nullptr and never
// throw, and the test hook can make the n-th allocation fail on purpose.
//
// Two pools:
//  - Allocate/Release: ordinary heap blocks (records, entries, containers).
//  - AllocateLow/ReleaseLow: blocks that the host reaches through a 4-byte
//    slot in a record. In a 64-bit process they lie below 4 GiB, so that
//    SlotOf gives their full address; in a 32-bit process every address
//    fits and they come from the ordinary heap.
#ifndef IMPORDANO_SUPPORT_MEMORY_H_
#define IMPORDANO_SUPPORT_MEMORY_H_

#include <cstddef>
#include <cstdint>

namespace imp {

void* Allocate(size_t size) noexcept;
void* AllocateZeroed(size_t size) noexcept;
// Grows or shrinks a block from Allocate; on failure the old block stays.
void* Reallocate(void* block, size_t size) noexcept;
void Release(void* block) noexcept;  // nullptr is fine

void* AllocateLow(size_t size) noexcept;
void* AllocateLowZeroed(size_t size) noexcept;
void ReleaseLow(void* block) noexcept;  // nullptr is fine

// The 4-byte slot value of a block from AllocateLow (or nullptr -> 0).
uint32_t SlotOf(const void* block) noexcept;
// Writes a slot, little-endian, at an arbitrary (unaligned) place.
void WriteSlot(void* where, const void* block) noexcept;

// Test hook: after `successes` more allocations succeed, every allocation
// fails until the hook is disabled with a negative value.
void FailAllocationsAfter(long successes) noexcept;
// How many allocations have been attempted since the module was loaded.
long AllocationCount() noexcept;
// Low blocks handed out and not yet released. Leak checkers do not see
// inside the module's low arenas, so tests count them here.
long LowBlocksInUse() noexcept;

}  // namespace imp

#endif  // IMPORDANO_SUPPORT_MEMORY_H_
