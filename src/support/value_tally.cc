#include "support/value_tally.h"

#include <cstring>

namespace imp {

TallyEntry ValueTally::Add(double value, int32_t kind) {
  if (value != value) {  // a NaN equals nothing: always an item of its own
    items_.push_back(Item{value, 1});
    return {this, static_cast<uint32_t>(items_.size() - 1), kind};
  }
  const double folded = value == 0.0 ? 0.0 : value;
  Key key;
  std::memcpy(&key, &folded, sizeof key);
  const auto found = index_.find(key);
  if (found != index_.end()) {
    ++items_[found->second].count;
    return {this, static_cast<uint32_t>(found->second), kind};
  }
  items_.push_back(Item{value, 1});
  try {
    index_.emplace(key, items_.size() - 1);
  } catch (...) {
    items_.pop_back();
    throw;
  }
  return {this, static_cast<uint32_t>(items_.size() - 1), kind};
}

double ValueTally::MostFrequent() const noexcept {
  return items_.empty() ? 0.0 : items_[MostFrequentItem()].value;
}

size_t ValueTally::MostFrequentItem() const noexcept {
  size_t result = 0;
  int64_t best = 0;
  for (size_t i = 0; i < items_.size(); ++i) {
    const Item& item = items_[i];
    if (item.count > best) {
      best = item.count;
      result = i;
    }
  }
  return result;
}

void ValueTally::Clear() noexcept {
  // Swapped with empty ones, so that the memory goes too.
  decltype(items_)().swap(items_);
  decltype(index_)().swap(index_);
}

ValueTally* RateTally::Of(int32_t kind) noexcept {
  switch (kind) {
    case 'R': return &labour_;
    case 'M': return &material_;
    case 'S': return &equipment_;
    default: return nullptr;
  }
}

const ValueTally* RateTally::Of(int32_t kind) const noexcept {
  return const_cast<RateTally*>(this)->Of(kind);
}

TallyEntry RateTally::Add(double value, int32_t kind) {
  ValueTally* tally = Of(kind);
  return tally != nullptr ? tally->Add(value, kind) : TallyEntry{};
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
