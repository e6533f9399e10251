// RefString: a Windows-1250 text whose block is shared by its holders.
//
// Block layout: byte 0 is the number of holders (1 to 255), then the text
// and its NUL, so a text of L bytes takes L + 2 bytes. The block comes from
// AllocateLow: the long-text store hands the text's address (block + 1) to
// the host through a 4-byte slot.
//
// A RefString without a block (the default) reads as the empty text. The
// count byte never wraps: the 256th holder of a block gets a fresh copy.
// Operations that may allocate return false when memory runs out and then
// leave the string as it was.
#ifndef IMPORDANO_SUPPORT_REF_STRING_H_
#define IMPORDANO_SUPPORT_REF_STRING_H_

#include <cstddef>
#include <cstdint>

namespace imp {

class RefString {
 public:
  static constexpr int kMaxHolders = 255;

  RefString() noexcept = default;
  ~RefString();
  RefString(RefString&& other) noexcept;
  RefString& operator=(RefString&& other) noexcept;
  RefString(const RefString&) = delete;
  RefString& operator=(const RefString&) = delete;

  // A fresh block holding a copy of `length` bytes of `text`.
  bool Assign(const char* text, size_t length) noexcept;
  // The same for a NUL-terminated text; assigning the string's own text
  // changes nothing.
  bool Assign(const char* text) noexcept;
  // Shares `other`'s block (or copies it when it has 255 holders already).
  bool Assign(const RefString& other) noexcept;
  // Lets go of the block; the string reads as empty afterwards.
  void Reset() noexcept;

  const char* Text() const noexcept;
  // Number of holders of the block; 0 without a block.
  int Holders() const noexcept;
  bool SharesBlockWith(const RefString& other) const noexcept;

 private:
  uint8_t* block_ = nullptr;
};

}  // namespace imp

#endif  // IMPORDANO_SUPPORT_REF_STRING_H_
