// Arena: blocks that die together, in low regions (below 4 GiB in a 64-bit
// process), so that a record's 4-byte slot can hold a block's address.
//
// Blocks are carved one after the other from the current region and are
// never given back one by one: Release gives back every region at once.
// Every block starts zero-filled, since a region is never reused.
//
// Reserve makes room in advance: once Reserve(n) has succeeded, blocks whose
// Footprints add up to n at most are carved without allocating, so they
// cannot fail. The import sizes everything it will hand out before it
// delivers its first record, and reserves it then, as a bound: a block
// beyond such a reservation means the sizing was wrong, and in builds with
// assertions (NDEBUG unset) it stops the run at once, naming the spender,
// the section being read.
#ifndef IMPORDANO_SUPPORT_ARENA_H_
#define IMPORDANO_SUPPORT_ARENA_H_

#include <cstddef>

namespace imp {

class Arena {
 public:
  // Blocks are aligned to `alignment` bytes, a power of two.
  explicit Arena(size_t alignment) noexcept : alignment_(alignment) {}
  ~Arena() { Release(); }
  Arena(const Arena&) = delete;
  Arena& operator=(const Arena&) = delete;

  // The room a block of `size` bytes takes in the arena.
  size_t Footprint(size_t size) const noexcept;

  // What a block beyond a reservation does: the arena allocates more room
  // for it, or (kStops) it means the sizing was wrong, and builds with
  // assertions stop the run there, naming the spender; builds without them
  // allocate.
  enum class Overrun { kAllocates, kStops };

  // Makes room for blocks whose footprints add up to `bytes`; throws
  // std::bad_alloc when memory runs out.
  void Reserve(size_t bytes, Overrun overrun = Overrun::kAllocates);
  // Who asks for the next blocks, for the stop at a block beyond a bound.
  void SetSpender(const char* spender) noexcept { spender_ = spender; }
  // A zero-filled block of `size` bytes; throws std::bad_alloc when it is
  // not reserved and memory runs out.
  void* Allocate(size_t size);
  // Gives back every region; the blocks are gone.
  void Release() noexcept;

  // Footprints of the blocks carved since the last Release.
  size_t Used() const noexcept { return used_; }

 private:
  struct Region;
  void NewRegion(size_t bytes);
  [[noreturn]] void StopAtOverrun(size_t size) const noexcept;

  size_t alignment_;
  Region* regions_ = nullptr;  // the current region first
  char* next_ = nullptr;       // the unused rest of the current region
  char* end_ = nullptr;
  size_t used_ = 0;
  bool bounded_ = false;  // a reservation with Overrun::kStops holds
  size_t bound_ = 0;      // Used() may reach this much under it
  const char* spender_ = "";
};

}  // namespace imp

#endif  // IMPORDANO_SUPPORT_ARENA_H_
