// Tallies of surcharge rates.
//
// A ValueTally counts equal doubles. Equality is exact floating-point
// equality: 0.1 + 0.2 and 0.3 are two values, -0.0 and 0.0 are one, and a
// NaN equals nothing, not even an earlier NaN, so every NaN is an item of its
// own. Items keep the order of first occurrence, which decides ties in
// MostFrequent. A hash index beside the ordered items keeps Add O(1).
//
// A RateTally keeps one ValueTally per resource kind: 'R', 'M' and 'S'.
// Other kinds are not counted and read as 0.0.
#ifndef IMPORDANO_SUPPORT_VALUE_TALLY_H_
#define IMPORDANO_SUPPORT_VALUE_TALLY_H_

#include <cstdint>

namespace imp {

class ValueTally {
 public:
  ValueTally() noexcept = default;
  ~ValueTally();
  ValueTally(const ValueTally&) = delete;
  ValueTally& operator=(const ValueTally&) = delete;

  // Counts one occurrence; false when memory runs out (nothing is counted).
  bool Add(double value) noexcept;
  // The value with the highest count, the earliest among equals; 0.0 when
  // the tally is empty.
  double MostFrequent() const noexcept;
  void Clear() noexcept;

  int32_t ItemCount() const noexcept { return itemCount_; }
  double ValueAt(int32_t index) const noexcept { return items_[index].value; }
  int32_t CountAt(int32_t index) const noexcept { return items_[index].count; }

 private:
  struct Item {
    double value;
    int32_t count;
  };
  // The index position of `key`'s item, or the free position where it goes.
  int32_t FindSlot(uint64_t key) const noexcept;
  // Room for one more item in items_ and in the index; false when memory
  // runs out (the tally is unchanged).
  bool MakeRoom() noexcept;
  bool GrowIndex(int32_t size) noexcept;

  Item* items_ = nullptr;
  int32_t itemCount_ = 0;
  int32_t itemCapacity_ = 0;
  // Open addressing with linear probing over every item but the NaNs: an
  // entry is an item's index + 1, 0 = free. Kept at most half full.
  int32_t* index_ = nullptr;
  int32_t indexSize_ = 0;  // a power of two, or 0
};

class RateTally {
 public:
  bool Add(double value, int32_t kind) noexcept;
  double MostFrequent(int32_t kind) const noexcept;
  void Clear() noexcept;
  // The tally of a kind letter, or nullptr for other kinds.
  const ValueTally* Of(int32_t kind) const noexcept;

 private:
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
