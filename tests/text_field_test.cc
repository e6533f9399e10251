// Copying values into fixed text fields, with the long-text rule.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "reader/line_reader.h"
#include "reader/long_text_store.h"
#include "test_support.h"

namespace {

constexpr unsigned char kUntouched = 0xAB;

struct Copy {
  std::string field;          // the bytes of the text field after the copy
  int32_t storeCount = 0;     // texts in the store afterwards
  std::string storeText;      // the last of them
  uintptr_t storeAddress = 0; // and where it was
};

// Copies field `index` of the key line "k=<value>" into a text field of
// `size` bytes prefilled with kUntouched.
Copy CopyValue(const std::string& value, int32_t size, int32_t keep, int32_t index = 0) {
  const std::string path = imp_test::WriteFile("k=" + value + "\n");
  imp::InputStream input;
  int error = 0;
  EXPECT_TRUE(input.Open(path.c_str(), &error));
  imp::LongTextStore store;
  imp::LineReader reader;
  reader.Attach(&input, &store);
  EXPECT_EQ(reader.ReadLine(), imp::kKeyLine);
  std::string field(static_cast<size_t>(size), static_cast<char>(kUntouched));
  EXPECT_TRUE(reader.CopyTextField(&field[0], index, size, keep));
  Copy copy{field, store.Count(), std::string(), 0};
  if (store.Count() > 0) {
    const char* last = store.TextAt(store.Count() - 1);
    copy.storeText = last;
    copy.storeAddress = reinterpret_cast<uintptr_t>(last);
  }
  std::remove(path.c_str());
  return copy;
}

uint32_t SlotAt(const std::string& field) {
  uint32_t slot;
  std::memcpy(&slot, field.data() + field.size() - 4, 4);
  return slot;
}

// Every row of the length table, for the field sizes in use.
TEST(CopyTextField, LengthTable) {
  for (int32_t n : {32, 256}) {
    const size_t N = static_cast<size_t>(n);
    for (int32_t keep : {1, 0}) {
      for (size_t length : {size_t{0}, N - 6, N - 5, N - 4, N - 1, N, N + 100}) {
        SCOPED_TRACE("N=" + std::to_string(n) + " keep=" + std::to_string(keep) +
                     " L=" + std::to_string(length));
        const std::string text(length, 't');
        const Copy copy = CopyValue(length == 0 ? "\t" : text, n, keep);
        const std::string& f = copy.field;
        if (length < N) {
          EXPECT_EQ(f.substr(0, length + 1), text + '\0');
          for (size_t i = length + 1; i < N; ++i) {
            const bool slotZeroed = keep && length == N - 5 && i >= N - 4;
            EXPECT_EQ(static_cast<unsigned char>(f[i]), slotZeroed ? 0 : kUntouched) << i;
          }
          EXPECT_EQ(copy.storeCount, 0);
        } else if (keep) {
          EXPECT_EQ(f.substr(0, N - 4), text.substr(0, N - 5) + '\0');
          ASSERT_EQ(copy.storeCount, 1);
          EXPECT_EQ(copy.storeText, text);
          EXPECT_EQ(reinterpret_cast<uintptr_t>(IMP_SLOT_PTR(SlotAt(f))), copy.storeAddress);
        } else {
          EXPECT_EQ(f, text.substr(0, N - 1) + '\0');
          EXPECT_EQ(copy.storeCount, 0);
        }
      }
    }
  }
}

TEST(CopyTextField, MissingFieldWritesOnlyItsFirstByte) {
  const Copy copy = CopyValue("only", 32, 1, 3);
  EXPECT_EQ(copy.field[0], '\0');
  EXPECT_EQ(copy.field.substr(1), std::string(31, static_cast<char>(kUntouched)));
}

TEST(CopyTextField, OnlyTheFieldAskedForIsKept) {
  const std::string longText(40, 'L');
  const Copy copy = CopyValue("short\t" + longText + "\tz", 32, 1, 1);
  ASSERT_EQ(copy.storeCount, 1);
  EXPECT_EQ(copy.storeText, longText);  // ends at the TAB, without the line feed
}

TEST(LongTextStore, KeepsEveryCutTextAtItsAddress) {
  imp::LongTextStore store;
  std::vector<const char*> kept;
  for (int i = 0; i < 500; ++i) {
    const std::string text = "text " + std::to_string(i % 2);  // equal texts kept twice
    kept.push_back(store.Keep(text.c_str(), text.size()));
  }
  ASSERT_EQ(store.Count(), 500);
  for (int i = 0; i < 500; ++i) {
    EXPECT_EQ(store.TextAt(i), kept[static_cast<size_t>(i)]);
    EXPECT_STREQ(kept[static_cast<size_t>(i)], i % 2 ? "text 1" : "text 0");
    if (sizeof(void*) > 4) {
      EXPECT_LT(reinterpret_cast<uintptr_t>(kept[static_cast<size_t>(i)]), 1ull << 32);
    }
  }
  store.Clear();
  EXPECT_EQ(store.Count(), 0);
}

}  // namespace
