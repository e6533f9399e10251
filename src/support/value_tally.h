// Tallies of surcharge rates.
//
// A ValueTally counts equal doubles. Equality is exact floating-point
// equality: 0.1 + 0.2 and 0.3 are two values, -0.0 and 0.0 are one, and a
// NaN equals nothing, not even an earlier NaN, so every NaN is an item of its
// own. Items keep the order of first occurrence, which decides ties in
// MostFrequent; a hash index beside them keeps Add O(1).
//
// A RateTally keeps one ValueTally per resource kind: 'R', 'M' and 'S'.
// Other kinds are not counted and read as 0.0.
//
// Adding throws std::bad_alloc when memory runs out.
#ifndef IMPORDANO_SUPPORT_VALUE_TALLY_H_
#define IMPORDANO_SUPPORT_VALUE_TALLY_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "support/module_allocator.h"

namespace imp {

class ValueTally;

// Where Add counted a value: its tally and item, and the resource kind the
// tally is for (0 for a tally of all kinds); no tally for a kind that is
// not counted. Two registers wide, so that returning it costs the import
// nothing that shows.
struct TallyEntry {
  const ValueTally* tally = nullptr;
  uint32_t item = 0;
  int32_t kind = 0;
};

class ValueTally {
 public:
  // Counts one occurrence; the entry names `kind` as its tally's kind.
  TallyEntry Add(double value, int32_t kind = 0);
  // The value with the highest count, the earliest among equals; 0.0 when
  // the tally is empty.
  double MostFrequent() const noexcept;
  // Its item; 0 when the tally is empty.
  size_t MostFrequentItem() const noexcept;
  void Clear() noexcept;

  size_t ItemCount() const noexcept { return items_.size(); }
  double ValueAt(size_t index) const noexcept { return items_[index].value; }
  int64_t CountAt(size_t index) const noexcept { return items_[index].count; }

 private:
  struct Item {
    double value;  // as it first occurred: -0.0 stays -0.0
    int64_t count;
  };
  using Key = uint64_t;  // the bits of the value, -0.0 folded into 0.0
  // Mixes all 64 bits into the hash. std::hash<uint64_t> is the key cut to
  // size_t: in a 32-bit process its low 32 bits, which are 0 for every rate
  // with a short binary fraction (12, 12.5, 0.25), so such rates would all
  // share one bucket and each Add would walk them all.
  struct KeyHash {
    size_t operator()(Key key) const noexcept {
      key ^= key >> 33;
      key *= 0xFF51AFD7ED558CCDull;
      key ^= key >> 33;
      return static_cast<size_t>(key);
    }
  };
  std::vector<Item, ModuleAllocator<Item>> items_;
  std::unordered_map<Key, size_t, KeyHash, std::equal_to<Key>,
                     ModuleAllocator<std::pair<const Key, size_t>>>
      index_;
};

class RateTally {
 public:
  TallyEntry Add(double value, int32_t kind);
  double MostFrequent(int32_t kind) const noexcept;
  void Clear() noexcept;

 private:
  // The tally of a kind letter, or nullptr for other kinds.
  ValueTally* Of(int32_t kind) noexcept;
  const ValueTally* Of(int32_t kind) const noexcept;

  ValueTally labour_, material_, equipment_;
};

// The five tallies that the resource lines fill and the summary reads.
struct SurchargeTallies {
  RateTally indirectCost;   // "Koszty po\x9Crednie", by kind
  ValueTally purchaseCost;  // "Koszty zakupu"
  RateTally profitKb;       // "Zysk Kb", by kind
  RateTally profitKp;       // "Zysk Kp", by kind
  ValueTally profitKz;      // "Zysk Kz"

  void Clear() noexcept;
};

}  // namespace imp

#endif  // IMPORDANO_SUPPORT_VALUE_TALLY_H_
