// Chunk lists: segmented arrays that grow in fixed-size chunks, so that an
// item never moves once stored and a pointer to a slot stays valid while the
// list lives.
//
// Index i lives in slot i % K of chunk i / K. A directory of chunk pointers
// makes GetAt and SetAt O(1) instead of walking a chain of chunks. Setting an
// index past the end grows the list to index + 1 items: the slots passed
// over hold null (or the empty text) and count as items. Operations that may
// allocate return false when memory runs out, leaving the list unchanged.
#ifndef IMPORDANO_SUPPORT_CHUNK_LIST_H_
#define IMPORDANO_SUPPORT_CHUNK_LIST_H_

#include <cstdint>

#include "support/ref_string.h"

namespace imp {

// Chunked storage shared by both lists: a directory of chunks of K items.
// Its members are defined in chunk_list.cc for the two lists' item types.
template <typename Item, int32_t K>
class ChunkStore {
 public:
  static constexpr int32_t kCapacity = K;

  ChunkStore() noexcept = default;
  ~ChunkStore();
  ChunkStore(const ChunkStore&) = delete;
  ChunkStore& operator=(const ChunkStore&) = delete;

  int32_t TotalCount() const noexcept { return count_; }
  int32_t ChunkCount() const noexcept { return chunkCount_; }
  // Makes room for `count` items; false when memory runs out.
  bool Reserve(int32_t count) noexcept;
  Item& At(int32_t index) noexcept { return chunks_[index / K][index % K]; }
  const Item& At(int32_t index) const noexcept { return chunks_[index / K][index % K]; }
  void SetCount(int32_t count) noexcept { count_ = count; }
  // Destroys every chunk but the first and resets every item of the first.
  void ShrinkToOneChunk() noexcept;

 private:
  Item** chunks_ = nullptr;
  int32_t chunkCount_ = 0;
  int32_t directorySize_ = 0;
  int32_t count_ = 0;
};

// A list of plain pointers it does not own.
class PtrChunkList {
 public:
  static constexpr int32_t kCapacity = 100;

  PtrChunkList() noexcept = default;
  virtual ~PtrChunkList() = default;

  int32_t TotalCount() const noexcept { return store_.TotalCount(); }
  int32_t ChunkCount() const noexcept { return store_.ChunkCount(); }
  bool SetAt(int32_t index, void* item) noexcept;
  // nullptr for an index outside the list.
  void* GetAt(int32_t index) const noexcept;
  // Items from `index` on move up by one; an index past the end only sets.
  bool InsertAt(int32_t index, void* item) noexcept;
  bool Append(void* item) noexcept { return SetAt(TotalCount(), item); }
  // Forgets every item (they are not released) and keeps one chunk.
  void Clear() noexcept { store_.ShrinkToOneChunk(); }

 private:
  ChunkStore<void*, kCapacity> store_;
};

// A list of shared texts; the long-text store is one.
class StringChunkList {
 public:
  static constexpr int32_t kCapacity = 50;

  StringChunkList() noexcept = default;
  virtual ~StringChunkList() = default;

  int32_t TotalCount() const noexcept { return store_.TotalCount(); }
  int32_t ChunkCount() const noexcept { return store_.ChunkCount(); }
  // The slot shares `value`'s block.
  bool SetAt(int32_t index, const RefString& value) noexcept;
  // The slot itself; index below TotalCount().
  RefString& GetAt(int32_t index) noexcept { return store_.At(index); }
  bool Append(const RefString& value) noexcept { return SetAt(TotalCount(), value); }
  // Takes over a fresh string, so that its block ends with one holder.
  bool Append(RefString&& value) noexcept;
  // Releases every text and keeps one empty chunk.
  void Clear() noexcept { store_.ShrinkToOneChunk(); }

 private:
  ChunkStore<RefString, kCapacity> store_;
};

}  // namespace imp

#endif  // IMPORDANO_SUPPORT_CHUNK_LIST_H_
