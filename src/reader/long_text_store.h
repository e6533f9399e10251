// LongTextStore: the full texts of values cut to fit a record's text field.
//
// A record's field carries the address of such a text in its last 4 bytes,
// so every text stays at its address, unchanged, until Clear, which the
// module calls only when a new import starts (no record of the old one can
// be delivered after that). The same text cut twice is kept twice.
#ifndef IMPORDANO_READER_LONG_TEXT_STORE_H_
#define IMPORDANO_READER_LONG_TEXT_STORE_H_

#include <cstddef>
#include <cstdint>

#include "support/chunk_list.h"

namespace imp {

class LongTextStore {
 public:
  // Keeps a copy of `length` bytes of `text` and returns the copy's address
  // (below 4 GiB in a 64-bit process), or nullptr when memory runs out.
  const char* Keep(const char* text, size_t length) noexcept;
  int32_t Count() const noexcept { return texts_.TotalCount(); }
  const char* TextAt(int32_t index) noexcept { return texts_.GetAt(index).Text(); }
  void Clear() noexcept { texts_.Clear(); }

 private:
  StringChunkList texts_;
};

}  // namespace imp

#endif  // IMPORDANO_READER_LONG_TEXT_STORE_H_
