#include "support/chunk_list.h"

#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

#include "support/memory.h"

namespace imp {

// Invariant of ChunkStore: every slot at or above count_ holds the empty
// item (null, or a RefString without a block). New chunks start empty,
// ShrinkToOneChunk empties what it keeps, and the lists only write below
// the count they set, so growing the count never exposes stale items.
// The chunks are never moved: chunks_[0 .. chunkCount_) grows at its end and
// only the directory itself is reallocated.

namespace {

template <typename Item, int32_t K>
Item* NewChunk() noexcept {
  if constexpr (std::is_trivial_v<Item>) {
    return static_cast<Item*>(AllocateZeroed(sizeof(Item) * K));
  } else {
    auto* chunk = static_cast<Item*>(Allocate(sizeof(Item) * K));
    if (chunk != nullptr) {
      for (int32_t i = 0; i < K; ++i) new (chunk + i) Item();
    }
    return chunk;
  }
}

template <typename Item, int32_t K>
void DeleteChunk(Item* chunk) noexcept {
  if constexpr (!std::is_trivially_destructible_v<Item>) {
    for (int32_t i = K; i-- > 0;) chunk[i].~Item();
  }
  Release(chunk);
}

}  // namespace

template <typename Item, int32_t K>
ChunkStore<Item, K>::~ChunkStore() {
  while (chunkCount_ > 0) DeleteChunk<Item, K>(chunks_[--chunkCount_]);
  Release(chunks_);
}

template <typename Item, int32_t K>
bool ChunkStore<Item, K>::Reserve(int32_t count) noexcept {
  if (count <= 0) return true;
  const int32_t needed = (count - 1) / K + 1;
  if (needed <= chunkCount_) return true;
  if (needed > directorySize_) {
    int32_t size = directorySize_ != 0 ? directorySize_ : 4;
    while (size < needed) size *= 2;
    void* directory = Reallocate(chunks_, sizeof(Item*) * static_cast<size_t>(size));
    if (directory == nullptr) return false;
    chunks_ = static_cast<Item**>(directory);
    directorySize_ = size;
  }
  // All or nothing: chunks made by a call that fails go again.
  const int32_t had = chunkCount_;
  while (chunkCount_ < needed) {
    Item* chunk = NewChunk<Item, K>();
    if (chunk == nullptr) {
      while (chunkCount_ > had) DeleteChunk<Item, K>(chunks_[--chunkCount_]);
      return false;
    }
    chunks_[chunkCount_++] = chunk;
  }
  return true;
}

template <typename Item, int32_t K>
void ChunkStore<Item, K>::ShrinkToOneChunk() noexcept {
  if (chunkCount_ == 0) return;
  while (chunkCount_ > 1) DeleteChunk<Item, K>(chunks_[--chunkCount_]);
  Item* first = chunks_[0];
  for (int32_t i = (count_ < K ? count_ : K); i-- > 0;) first[i] = Item();
  count_ = 0;
}

template class ChunkStore<void*, PtrChunkList::kCapacity>;
template class ChunkStore<RefString, StringChunkList::kCapacity>;

// ---------------------------------------------------------------------------

bool PtrChunkList::SetAt(int32_t index, void* item) noexcept {
  if (index < 0) return false;
  const int32_t count = store_.TotalCount();
  if (index >= count) {
    if (index == INT32_MAX || !store_.Reserve(index + 1)) return false;
    store_.SetCount(index + 1);
  }
  store_.At(index) = item;
  return true;
}

void* PtrChunkList::GetAt(int32_t index) const noexcept {
  if (index < 0 || index >= store_.TotalCount()) return nullptr;
  return store_.At(index);
}

bool PtrChunkList::InsertAt(int32_t index, void* item) noexcept {
  if (index < 0) return false;
  const int32_t count = store_.TotalCount();
  if (index >= count) return SetAt(index, item);
  if (count == INT32_MAX || !store_.Reserve(count + 1)) return false;
  // Moves items [index, count) up by one, a chunk at a time from the end:
  // the first slot of a chunk takes the last item of the chunk before.
  for (int32_t i = count; i > index;) {
    const int32_t inChunk = i % kCapacity;
    if (inChunk == 0) {
      store_.At(i) = store_.At(i - 1);
      --i;
      continue;
    }
    const int32_t low = i - inChunk > index ? i - inChunk : index;
    std::memmove(&store_.At(low + 1), &store_.At(low), sizeof(void*) * (i - low));
    i = low;
  }
  store_.At(index) = item;
  store_.SetCount(count + 1);
  return true;
}

// ---------------------------------------------------------------------------

bool StringChunkList::SetAt(int32_t index, const RefString& value) noexcept {
  if (index < 0) return false;
  const int32_t count = store_.TotalCount();
  if (index < count && store_.At(index).SharesBlockWith(value)) return true;
  // The share (or copy) is taken before the list grows, so that a failure
  // of either leaves the list as it was.
  RefString share;
  if (!share.Assign(value)) return false;
  if (index >= count) {
    if (index == INT32_MAX || !store_.Reserve(index + 1)) return false;
    store_.SetCount(index + 1);
  }
  store_.At(index) = std::move(share);
  return true;
}

bool StringChunkList::Append(RefString&& value) noexcept {
  const int32_t count = store_.TotalCount();
  if (count == INT32_MAX || !store_.Reserve(count + 1)) return false;
  store_.At(count) = std::move(value);
  store_.SetCount(count + 1);
  return true;
}

}  // namespace imp
