// TokenQueue: the records of one import in the order the host receives them.
//
// Entries form a singly linked sequence, so appending, inserting after a
// known entry and delivering the next one each cost O(1); the reading loop
// keeps the entries it inserts after (the record built last, the estimate
// record) instead of searching for them. Each entry owns its record, which
// lives in the same allocation right behind the entry.
#ifndef IMPORDANO_HOST_TOKEN_QUEUE_H_
#define IMPORDANO_HOST_TOKEN_QUEUE_H_

#include <cstdint>

namespace imp {

struct TokenEntry {
  TokenEntry* next;
  int32_t type;  // token type code
  int32_t size;  // bytes of the record copied to the host
  void* data;    // the record, owned by the entry
};

class TokenQueue {
 public:
  TokenQueue() noexcept = default;
  ~TokenQueue() { Clear(); }
  TokenQueue(const TokenQueue&) = delete;
  TokenQueue& operator=(const TokenQueue&) = delete;

  // An unqueued entry with a zero-filled record of `size` bytes, or nullptr
  // when memory runs out.
  static TokenEntry* NewEntry(int32_t type, int32_t size) noexcept;
  // Releases an entry that was never queued, with its record.
  static void DeleteEntry(TokenEntry* entry) noexcept;

  void Append(TokenEntry* entry) noexcept;
  // Puts `entry` directly after `anchor`, which is in the queue.
  void InsertAfter(TokenEntry* anchor, TokenEntry* entry) noexcept;
  int32_t Count() const noexcept { return count_; }
  const TokenEntry* First() const noexcept { return head_; }

  // Delivery: Rewind, then Next until it gives nullptr.
  void Rewind() noexcept { cursor_ = head_; }
  const TokenEntry* Next() noexcept;

  // Releases every entry and its record.
  void Clear() noexcept;

 private:
  TokenEntry* head_ = nullptr;
  TokenEntry* tail_ = nullptr;
  TokenEntry* cursor_ = nullptr;
  int32_t count_ = 0;
};

}  // namespace imp

#endif  // IMPORDANO_HOST_TOKEN_QUEUE_H_
