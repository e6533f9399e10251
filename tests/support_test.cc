// The support layer: value tallies, and the arena, whose reserved blocks
// cannot fail.
#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "support/arena.h"
#include "support/fault_injection.h"
#include "support/memory.h"
#include "support/value_tally.h"

namespace imp {
namespace {

// Makes allocations fail after `successes` more while it lives.
struct FailureHook {
  explicit FailureHook(long successes) {
    InjectFaults(FaultSite::kAllocation, successes, kEveryCall, ENOMEM);
  }
  ~FailureHook() { EndFaults(); }
};

TEST(ValueTally, MostFrequent) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case { std::vector<double> adds; double expected; size_t items; };
  const Case cases[] = {
      {{10, 20, 20, 10}, 10, 2},
      {{10, 20, 20}, 20, 2},
      {{}, 0.0, 0},
      {{0.1 + 0.2, 0.3, 0.3}, 0.3, 2},
      {{5, -0.0, 0.0, 5, 0.0}, 0.0, 2},
      {{nan, nan, 2, 2}, 2, 3},
      {{-1.5, 1e300, -1.5}, -1.5, 2},
  };
  for (const Case& c : cases) {
    ValueTally tally;
    for (double v : c.adds) tally.Add(v);
    EXPECT_EQ(tally.MostFrequent(), c.expected);
    EXPECT_EQ(tally.ItemCount(), c.items);
  }
  ValueTally tally;
  tally.Add(-0.0);
  tally.Add(0.0);
  EXPECT_TRUE(std::signbit(tally.ValueAt(0)));  // the first occurrence stays
  tally.Add(nan);
  EXPECT_EQ(tally.CountAt(0), 2);
}

// Enough values to grow the index many times; 0.0 and 1.0 among them.
TEST(ValueTally, ManyDistinctValuesKeepTheirOrder) {
  ValueTally tally;
  const int n = 300000;
  for (int pass = 0; pass < 2; ++pass)
    for (int i = 0; i < n; ++i) tally.Add(i * 0.01);
  tally.Add(n / 2 * 0.01);
  ASSERT_EQ(tally.ItemCount(), static_cast<size_t>(n));
  EXPECT_EQ(tally.ValueAt(n - 1), (n - 1) * 0.01);
  EXPECT_EQ(tally.CountAt(7), 2);
  EXPECT_EQ(tally.MostFrequent(), n / 2 * 0.01);
}

// Blocks lie below 4 GiB, aligned and zero-filled; once reserved, they are
// carved without a single allocation, so they cannot fail.
TEST(Arena, ReservedBlocksNeedNoAllocation) {
  Arena arena(8);
  const size_t sizes[] = {296, 772, 5120, 1, 0, 9191};
  size_t total = 0;
  for (size_t size : sizes) total += arena.Footprint(size);
  arena.Reserve(1000 * total);
  {
    FailureHook hook(0);
    for (int i = 0; i < 1000; ++i) {
      for (size_t size : sizes) {
        auto* block = static_cast<unsigned char*>(arena.Allocate(size));
        ASSERT_EQ(reinterpret_cast<uintptr_t>(block) % 8, 0u);
        ASSERT_EQ(static_cast<uint64_t>(reinterpret_cast<uintptr_t>(block)) >> 32, 0u);
        for (size_t b = 0; b < size; ++b) ASSERT_EQ(block[b], 0);
        std::memset(block, 0xA5, size);
      }
    }
  }
  EXPECT_EQ(arena.Used(), 1000 * total);
  // Beyond the reservation it allocates, and fails as memory does.
  {
    FailureHook hook(0);
    EXPECT_THROW(arena.Allocate(1 << 20), std::bad_alloc);
  }
  EXPECT_NE(arena.Allocate(1 << 20), nullptr);
  const long regions = LowRegionsInUse();
  arena.Release();
  EXPECT_LT(LowRegionsInUse(), regions);
  EXPECT_EQ(arena.Used(), 0u);
}

}  // namespace
}  // namespace imp
