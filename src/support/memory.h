// Allocation for the whole module.
//
// Every allocation goes through here, so that running out of memory is one
// well-tested path and the fault seam (fault_injection.h) can make the n-th
// allocation fail. The functions return nullptr on failure and never throw;
// the containers above them (ModuleAllocator, Arena) turn that into
// std::bad_alloc.
//
// Low regions hold the blocks that the host reaches through a 4-byte slot of
// a record. In a 64-bit process they are mapped below 4 GiB, so that SlotOf
// gives a block's full address; in a 32-bit process every address fits and
// they come from the ordinary heap.
#ifndef IMPORDANO_SUPPORT_MEMORY_H_
#define IMPORDANO_SUPPORT_MEMORY_H_

#include <cstddef>
#include <cstdint>

namespace imp {

void* Allocate(size_t size) noexcept;
void Release(void* block) noexcept;  // nullptr is fine

// A zero-filled region of `size` bytes below 4 GiB, or nullptr.
void* AllocateLowRegion(size_t size) noexcept;
// Gives back a region of AllocateLowRegion with the size it was asked for.
void ReleaseLowRegion(void* region, size_t size) noexcept;

// The 4-byte slot value of a low block (or nullptr -> 0).
uint32_t SlotOf(const void* block) noexcept;
// Writes a slot, little-endian, at an arbitrary (unaligned) place.
void WriteSlot(void* where, const void* block) noexcept;

// Low regions handed out and not yet given back.
long LowRegionsInUse() noexcept;

}  // namespace imp

#endif  // IMPORDANO_SUPPORT_MEMORY_H_
