#include "host/buffer_list.h"

#include "support/memory.h"

namespace imp {

void* BufferList::NewBlock(size_t size) noexcept {
  void* block = AllocateLowZeroed(size);
  if (block == nullptr) return nullptr;
  if (!blocks_.Append(block)) {
    ReleaseLow(block);
    return nullptr;
  }
  return block;
}

void BufferList::ReleaseAll() noexcept {
  for (int32_t i = 0; i < blocks_.TotalCount(); ++i) ReleaseLow(blocks_.GetAt(i));
  blocks_.Clear();
}

}  // namespace imp
