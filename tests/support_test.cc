#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "support/chunk_list.h"
#include "support/memory.h"
#include "support/ref_string.h"
#include "support/value_tally.h"

namespace imp {
namespace {

char g_items[1000];
void* Item(int i) { return &g_items[i]; }

std::vector<void*> Contents(const PtrChunkList& list) {
  std::vector<void*> items;
  for (int32_t i = 0; i < list.TotalCount(); ++i) items.push_back(list.GetAt(i));
  return items;
}

// Disarms the allocation hook even when an assertion returns early.
struct FailureHook {
  explicit FailureHook(long successes) { FailAllocationsAfter(successes); }
  ~FailureHook() { FailAllocationsAfter(-1); }
};

TEST(PtrChunkList, SetAtGrowsOverPassedSlots) {
  struct Case { std::vector<int32_t> sets; int32_t count, chunks; };
  const Case cases[] = {
      {{0}, 1, 1},          {{99}, 100, 1},  {{100}, 101, 2},
      {{250}, 251, 3},      {{9, 3}, 10, 1}, {{120, 5, 130}, 131, 2},
  };
  for (const Case& c : cases) {
    PtrChunkList list;
    for (int32_t index : c.sets) ASSERT_TRUE(list.SetAt(index, Item(index)));
    EXPECT_EQ(list.TotalCount(), c.count);
    EXPECT_EQ(list.ChunkCount(), c.chunks);
    for (int32_t i = 0; i < c.count; ++i) {
      const bool set = std::find(c.sets.begin(), c.sets.end(), i) != c.sets.end();
      EXPECT_EQ(list.GetAt(i), set ? Item(i) : nullptr) << "index " << i;
    }
    EXPECT_EQ(list.GetAt(-1), nullptr);
    EXPECT_EQ(list.GetAt(c.count), nullptr);
    EXPECT_FALSE(list.SetAt(-1, Item(0)));
    EXPECT_EQ(list.TotalCount(), c.count);
  }
}

TEST(PtrChunkList, InsertAtShiftsAcrossChunks) {
  struct Case { int n; int32_t at; };
  const Case cases[] = {{2, 0}, {2, 1}, {2, 2}, {2, 5}, {100, 0}, {100, 99},
                        {199, 150}, {250, 3}, {300, 299}, {0, 0}};
  for (const Case& c : cases) {
    PtrChunkList list;
    std::vector<void*> expected;
    for (int i = 0; i < c.n; ++i) {
      ASSERT_TRUE(list.Append(Item(i)));
      expected.push_back(Item(i));
    }
    if (c.at > c.n) expected.resize(c.at, nullptr);
    expected.insert(expected.begin() + c.at, Item(999));
    ASSERT_TRUE(list.InsertAt(c.at, Item(999)));
    EXPECT_EQ(Contents(list), expected) << c.n << " items, insert at " << c.at;
    EXPECT_EQ(list.ChunkCount(), (list.TotalCount() + 99) / 100);
  }
  PtrChunkList list;
  EXPECT_FALSE(list.InsertAt(-1, Item(0)));
  EXPECT_EQ(list.TotalCount(), 0);
}

TEST(PtrChunkList, ClearKeepsOneEmptyChunk) {
  PtrChunkList list;
  for (int i = 0; i < 251; ++i) ASSERT_TRUE(list.Append(Item(i)));
  list.Clear();
  EXPECT_EQ(list.TotalCount(), 0);
  EXPECT_EQ(list.ChunkCount(), 1);
  ASSERT_TRUE(list.SetAt(150, Item(2)));
  const std::vector<void*> contents = Contents(list);
  EXPECT_EQ(std::count(contents.begin(), contents.end(), nullptr), 150);  // nothing left over
  EXPECT_EQ(list.GetAt(150), Item(2));
}

TEST(RefString, SharingAndHolders) {
  RefString empty;
  EXPECT_STREQ(empty.Text(), "");
  EXPECT_EQ(empty.Holders(), 0);

  RefString a, b;
  ASSERT_TRUE(a.Assign("Koszty po\x9C" "rednie"));
  EXPECT_EQ(a.Text()[-1], 1);  // the count byte sits just before the text
  ASSERT_TRUE(b.Assign(a));
  EXPECT_TRUE(b.SharesBlockWith(a));
  EXPECT_EQ(a.Holders(), 2);
  ASSERT_TRUE(b.Assign(a));         // already shared
  ASSERT_TRUE(a.Assign(a));         // itself
  ASSERT_TRUE(a.Assign(a.Text()));  // its own text
  EXPECT_EQ(a.Holders(), 2);
  EXPECT_TRUE(b.SharesBlockWith(a));

  ASSERT_TRUE(a.Assign(a.Text() + 7, 3));  // a part of its own text
  EXPECT_STREQ(a.Text(), "po\x9C");
  EXPECT_EQ(b.Holders(), 1);
  ASSERT_TRUE(b.Assign(empty));
  EXPECT_STREQ(b.Text(), "");
}

TEST(RefString, HolderCountNeverWraps) {
  RefString original;
  ASSERT_TRUE(original.Assign("tekst"));
  std::vector<RefString> holders(300);
  for (RefString& h : holders) ASSERT_TRUE(h.Assign(original));
  EXPECT_EQ(original.Holders(), 255);
  EXPECT_TRUE(holders[253].SharesBlockWith(original));
  EXPECT_FALSE(holders[254].SharesBlockWith(original));  // the 256th holder
  EXPECT_STREQ(holders[254].Text(), "tekst");
  EXPECT_EQ(holders[299].Holders(), 1);
  holders.clear();
  EXPECT_EQ(original.Holders(), 1);
}

TEST(StringChunkList, GrowthSharingAndClear) {
  StringChunkList list;
  RefString kept;
  ASSERT_TRUE(kept.Assign("kept"));
  ASSERT_TRUE(list.SetAt(49, kept));
  EXPECT_EQ(list.ChunkCount(), 1);
  ASSERT_TRUE(list.SetAt(50, kept));
  EXPECT_EQ(list.TotalCount(), 51);
  EXPECT_EQ(list.ChunkCount(), 2);
  EXPECT_EQ(kept.Holders(), 3);
  EXPECT_STREQ(list.GetAt(10).Text(), "");
  for (int i = 51; i < 120; ++i) {
    RefString fresh;
    ASSERT_TRUE(fresh.Assign(std::to_string(i).c_str()));
    ASSERT_TRUE(list.Append(std::move(fresh)));
  }
  EXPECT_STREQ(list.GetAt(119).Text(), "119");
  EXPECT_EQ(list.GetAt(119).Holders(), 1);
  list.Clear();
  EXPECT_EQ(list.TotalCount(), 0);
  EXPECT_EQ(list.ChunkCount(), 1);
  EXPECT_EQ(kept.Holders(), 1);
  EXPECT_FALSE(list.SetAt(-1, kept));
}

TEST(ValueTally, MostFrequent) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case { std::vector<double> adds; double expected; int32_t items; };
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
    for (double v : c.adds) ASSERT_TRUE(tally.Add(v));
    EXPECT_EQ(tally.MostFrequent(), c.expected);
    EXPECT_EQ(tally.ItemCount(), c.items);
  }
  ValueTally tally;
  ASSERT_TRUE(tally.Add(-0.0));
  ASSERT_TRUE(tally.Add(0.0));
  EXPECT_TRUE(std::signbit(tally.ValueAt(0)));  // the first occurrence stays
  ASSERT_TRUE(tally.Add(nan));
  EXPECT_EQ(tally.CountAt(0), 2);
}

// Enough values to grow the index many times; 0.0 and 1.0 among them.
TEST(ValueTally, ManyDistinctValuesKeepTheirOrder) {
  ValueTally tally;
  const int n = 300000;
  for (int pass = 0; pass < 2; ++pass)
    for (int i = 0; i < n; ++i) ASSERT_TRUE(tally.Add(i * 0.01));
  ASSERT_TRUE(tally.Add(n / 2 * 0.01));
  ASSERT_EQ(tally.ItemCount(), n);
  EXPECT_EQ(tally.ValueAt(n - 1), (n - 1) * 0.01);
  EXPECT_EQ(tally.CountAt(7), 2);
  EXPECT_EQ(tally.MostFrequent(), n / 2 * 0.01);
}

// Every allocator honours the failure hook, or the sweeps below and in the
// export tests would never reach its failure path.
TEST(Memory, EveryAllocatorHonoursTheFailureHook) {
  FailureHook hook(2);
  void* a = Allocate(8);
  void* b = AllocateLow(8);
  EXPECT_TRUE(a != nullptr && b != nullptr);
  EXPECT_EQ(AllocateZeroed(8), nullptr);
  EXPECT_EQ(Reallocate(a, 64), nullptr);  // the old block stays
  EXPECT_EQ(AllocateLowZeroed(8), nullptr);
  Release(a);
  ReleaseLow(b);
}

// Every allocation of every operation is made to fail in turn: the
// operation reports it and leaves every container as it was.
TEST(Memory, FailedOperationsChangeNothing) {
  PtrChunkList ptrs;
  StringChunkList strings;
  RefString text, full;
  ValueTally tally;
  ASSERT_TRUE(text.Assign("long text"));
  ASSERT_TRUE(full.Assign("full"));
  std::vector<RefString> holders(254);
  for (RefString& h : holders) ASSERT_TRUE(h.Assign(full));  // 255 holders
  auto state = [&] {
    std::string s = std::to_string(ptrs.ChunkCount()) + " " + std::to_string(strings.ChunkCount()) +
                    " " + text.Text() + std::to_string(text.Holders()) + std::to_string(full.Holders());
    for (void* p : Contents(ptrs)) s += p ? "p" : "0";
    for (int32_t i = 0; i < strings.TotalCount(); ++i) s += std::string(strings.GetAt(i).Text()) + ",";
    for (int32_t i = 0; i < tally.ItemCount(); ++i)
      s += std::to_string(tally.ValueAt(i)) + "x" + std::to_string(tally.CountAt(i));
    return s;
  };
  const std::pair<const char*, std::function<bool()>> cases[] = {
      {"ptr SetAt far", [&] { return ptrs.SetAt(2500, Item(1)); }},
      {"ptr InsertAt into a full chunk", [&] { return ptrs.InsertAt(0, Item(5)); }},
      {"string SetAt far", [&] { return strings.SetAt(450, text); }},
      {"string SetAt of a 255-holder text", [&] { return strings.SetAt(3, full); }},
      {"string Append fresh", [&] {
         RefString fresh;
         return fresh.Assign("fresh") && strings.Append(std::move(fresh));
       }},
      {"text Assign", [&] { return text.Assign("another"); }},
      {"tally Add new value", [&] { return tally.Add(8); }},
  };
  for (const auto& [name, operation] : cases) {
    bool succeeded = false;
    for (long successes = 0; !succeeded && successes < 100; ++successes) {
      ptrs.Clear();
      strings.Clear();
      tally.Clear();
      for (int i = 0; i < 100; ++i) ptrs.Append(Item(i));
      for (int i = 0; i < 50; ++i) strings.SetAt(i, text);
      for (int i = 0; i < 8; ++i) tally.Add(i);
      const std::string before = state();
      {
        FailureHook hook(successes);
        succeeded = operation();
      }
      if (!succeeded) {
        EXPECT_EQ(state(), before) << name << " after " << successes;
      }
    }
    EXPECT_TRUE(succeeded) << name;
  }
}

TEST(Memory, LowBlocksLieBelow4GiBAndAreReused) {
  std::vector<unsigned char*> blocks;
  const size_t sizes[] = {0, 1, 15, 16, 17, 100, 1000, 4096, 16384, 16385, 100000};
  for (int i = 0; i < 200000; ++i) {
    const size_t size = i % 97 == 0 ? sizes[i / 97 % 11] : static_cast<size_t>(i * 7 % 700);
    auto* block = static_cast<unsigned char*>(i % 2 ? AllocateLowZeroed(size) : AllocateLow(size));
    ASSERT_NE(block, nullptr);
    ASSERT_EQ(reinterpret_cast<uintptr_t>(block) % 8, 0u);
    ASSERT_EQ(static_cast<uint64_t>(reinterpret_cast<uintptr_t>(block)) >> 32, 0u);
    ASSERT_TRUE(i % 2 == 0 || size == 0 || block[size - 1] == 0);
    std::memset(block, 0xA5, size);
    blocks.push_back(block);
  }
  for (size_t i = 0; i < blocks.size(); i += 2) ReleaseLow(blocks[i]);
  for (size_t i = 1; i < blocks.size(); i += 2) ReleaseLow(blocks[i]);
  // A released block comes back for a size of its class, zeroed where asked.
  auto* first = static_cast<unsigned char*>(AllocateLow(40));
  std::memset(first, 0xA5, 40);
  ReleaseLow(first);
  auto* again = static_cast<unsigned char*>(AllocateLowZeroed(33));
  EXPECT_TRUE(sizeof(void*) == 4 || again == first);
  EXPECT_EQ(again[32], 0);
  ReleaseLow(again);

  unsigned char buffer[7] = {};
  WriteSlot(buffer + 1, reinterpret_cast<void*>(uintptr_t{0x12345678}));
  const unsigned char expected[7] = {0, 0x78, 0x56, 0x34, 0x12, 0, 0};
  EXPECT_EQ(std::memcmp(buffer, expected, 7), 0);
  EXPECT_EQ(SlotOf(nullptr), 0u);
}

}  // namespace
}  // namespace imp
