// LongTextStore: the full texts of values cut to fit a record's text field.
//
// A record's field carries the address of such a text in its last 4 bytes,
// so every text stays at its address, unchanged, until Clear, which ImpEnd
// calls (and ImpStart through it): a host may read the full texts of every
// record and of the description until it ends the import, as it may the
// blocks behind slots. The same text cut twice is kept twice. Texts lie
// below 4 GiB in a 64-bit process.
#ifndef IMPORDANO_READER_LONG_TEXT_STORE_H_
#define IMPORDANO_READER_LONG_TEXT_STORE_H_

#include <cstddef>

#include "support/arena.h"

namespace imp {

class LongTextStore {
 public:
  // The room a text of `length` bytes takes, its NUL included.
  size_t Footprint(size_t length) const noexcept { return texts_.Footprint(length + 1); }
  // Makes room for texts whose footprints add up to `bytes`; throws
  // std::bad_alloc when memory runs out.
  void Reserve(size_t bytes, Arena::Overrun overrun = Arena::Overrun::kAllocates) {
    texts_.Reserve(bytes, overrun);
  }
  void SetSpender(const char* spender) noexcept { texts_.SetSpender(spender); }
  // Keeps a NUL-terminated copy of `length` bytes of `text` and returns the
  // copy; throws std::bad_alloc when memory runs out.
  char* Keep(const char* text, size_t length);
  void Clear() noexcept;

  size_t Count() const noexcept { return count_; }
  size_t Used() const noexcept { return texts_.Used(); }

 private:
  Arena texts_{1};
  size_t count_ = 0;
};

}  // namespace imp

#endif  // IMPORDANO_READER_LONG_TEXT_STORE_H_
