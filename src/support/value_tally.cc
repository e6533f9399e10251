#include "support/value_tally.h"

#include <cstring>

#include "support/memory.h"

namespace imp {
namespace {

constexpr int32_t kFirstIndexSize = 16;
constexpr int32_t kLargestIndexSize = int32_t(1) << 30;

// Equal doubles have equal keys: -0.0 is folded into 0.0. NaNs have no key.
uint64_t KeyOf(double value) noexcept {
  if (value == 0.0) value = 0.0;
  uint64_t key;
  std::memcpy(&key, &value, sizeof key);
  return key;
}

bool IsNaN(double value) noexcept { return value != value; }

// Close rates differ only in their low mantissa bits; the finaliser spreads
// every bit of the key over the bits the mask keeps.
uint32_t Hash(uint64_t key) noexcept {
  key ^= key >> 33;
  key *= 0xFF51AFD7ED558CCDull;
  key ^= key >> 33;
  key *= 0xC4CEB9FE1A85EC53ull;
  key ^= key >> 33;
  return static_cast<uint32_t>(key);
}

}  // namespace

ValueTally::~ValueTally() { Clear(); }

int32_t ValueTally::FindSlot(uint64_t key) const noexcept {
  const uint32_t mask = static_cast<uint32_t>(indexSize_) - 1;
  uint32_t slot = Hash(key) & mask;
  while (index_[slot] != 0 && KeyOf(items_[index_[slot] - 1].value) != key)
    slot = (slot + 1) & mask;
  return static_cast<int32_t>(slot);
}

bool ValueTally::GrowIndex(int32_t size) noexcept {
  auto* index = static_cast<int32_t*>(AllocateZeroed(sizeof(int32_t) * static_cast<size_t>(size)));
  if (index == nullptr) return false;
  Release(index_);
  index_ = index;
  indexSize_ = size;
  for (int32_t i = 0; i < itemCount_; ++i) {
    if (!IsNaN(items_[i].value)) index_[FindSlot(KeyOf(items_[i].value))] = i + 1;
  }
  return true;
}

bool ValueTally::MakeRoom() noexcept {
  if (itemCount_ >= kLargestIndexSize / 2) return false;
  if (itemCount_ == itemCapacity_) {
    const int32_t capacity = itemCapacity_ != 0 ? itemCapacity_ * 2 : 8;
    void* items = Reallocate(items_, sizeof(Item) * static_cast<size_t>(capacity));
    if (items == nullptr) return false;
    items_ = static_cast<Item*>(items);
    itemCapacity_ = capacity;
  }
  // NaNs take no index entry, so the item count bounds the load from above.
  if (2 * (itemCount_ + 1) > indexSize_) {
    int32_t size = indexSize_ != 0 ? indexSize_ : kFirstIndexSize;
    while (2 * (itemCount_ + 1) > size) size *= 2;
    if (!GrowIndex(size)) return false;
  }
  return true;
}

bool ValueTally::Add(double value) noexcept {
  if (IsNaN(value)) {
    // A NaN equals nothing: it is always an item of its own.
    if (!MakeRoom()) return false;
    items_[itemCount_++] = Item{value, 1};
    return true;
  }
  const uint64_t key = KeyOf(value);
  if (indexSize_ != 0) {
    const int32_t entry = index_[FindSlot(key)];
    if (entry != 0) {
      int32_t& count = items_[entry - 1].count;
      if (count < INT32_MAX) ++count;
      return true;
    }
  }
  if (!MakeRoom()) return false;
  items_[itemCount_] = Item{value, 1};
  index_[FindSlot(key)] = ++itemCount_;
  return true;
}

double ValueTally::MostFrequent() const noexcept {
  double result = 0.0;
  int32_t best = 0;
  for (int32_t i = 0; i < itemCount_; ++i) {
    if (items_[i].count > best) {
      best = items_[i].count;
      result = items_[i].value;
    }
  }
  return result;
}

void ValueTally::Clear() noexcept {
  Release(items_);
  Release(index_);
  items_ = nullptr;
  index_ = nullptr;
  itemCount_ = itemCapacity_ = indexSize_ = 0;
}

// ---------------------------------------------------------------------------

const ValueTally* RateTally::Of(int32_t kind) const noexcept {
  switch (kind) {
    case 'R': return &labour_;
    case 'M': return &material_;
    case 'S': return &equipment_;
    default: return nullptr;
  }
}

bool RateTally::Add(double value, int32_t kind) noexcept {
  // Of only adds const to one of this object's own members.
  auto* tally = const_cast<ValueTally*>(Of(kind));
  return tally == nullptr || tally->Add(value);
}

double RateTally::MostFrequent(int32_t kind) const noexcept {
  const ValueTally* tally = Of(kind);
  return tally != nullptr ? tally->MostFrequent() : 0.0;
}

void RateTally::Clear() noexcept {
  labour_.Clear();
  material_.Clear();
  equipment_.Clear();
}

void SurchargeTallies::Clear() noexcept {
  indirectCost.Clear();
  purchaseCost.Clear();
  profitKb.Clear();
  profitKp.Clear();
  profitKz.Clear();
}

}  // namespace imp
