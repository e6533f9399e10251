// BufferList: the blocks that records point to through their slots
// (quantity items, catalogue details, cost-item arrays).
//
// The host reads them after the records were delivered, so they live until
// ImpEnd releases them all. Every block lies below 4 GiB in a 64-bit
// process, so that a 4-byte slot holds its whole address.
#ifndef IMPORDANO_HOST_BUFFER_LIST_H_
#define IMPORDANO_HOST_BUFFER_LIST_H_

#include <cstddef>

#include "support/chunk_list.h"

namespace imp {

class BufferList {
 public:
  ~BufferList() { ReleaseAll(); }

  // A zero-filled block of `size` bytes kept until ReleaseAll; nullptr when
  // memory runs out (nothing is kept then).
  void* NewBlock(size_t size) noexcept;
  // Releases every block; a second call releases nothing.
  void ReleaseAll() noexcept;
  int32_t Count() const noexcept { return blocks_.TotalCount(); }

 private:
  PtrChunkList blocks_;
};

}  // namespace imp

#endif  // IMPORDANO_HOST_BUFFER_LIST_H_
