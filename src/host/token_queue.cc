#include "host/token_queue.h"

#include <cstring>

#include "support/memory.h"

namespace imp {
namespace {

// The record follows the entry; keep it 8-byte aligned for its doubles.
constexpr size_t kHeaderSize = (sizeof(TokenEntry) + 7) / 8 * 8;

}  // namespace

TokenEntry* TokenQueue::NewEntry(int32_t type, int32_t size) noexcept {
  auto* entry = static_cast<TokenEntry*>(AllocateZeroed(kHeaderSize + static_cast<size_t>(size)));
  if (entry == nullptr) return nullptr;
  entry->type = type;
  entry->size = size;
  entry->data = reinterpret_cast<unsigned char*>(entry) + kHeaderSize;
  return entry;
}

void TokenQueue::DeleteEntry(TokenEntry* entry) noexcept { Release(entry); }

void TokenQueue::Append(TokenEntry* entry) noexcept {
  entry->next = nullptr;
  if (tail_ == nullptr) {
    head_ = entry;
  } else {
    tail_->next = entry;
  }
  tail_ = entry;
  ++count_;
}

void TokenQueue::InsertAfter(TokenEntry* anchor, TokenEntry* entry) noexcept {
  entry->next = anchor->next;
  anchor->next = entry;
  if (tail_ == anchor) tail_ = entry;
  ++count_;
}

const TokenEntry* TokenQueue::Next() noexcept {
  const TokenEntry* entry = cursor_;
  if (entry != nullptr) cursor_ = cursor_->next;
  return entry;
}

void TokenQueue::Clear() noexcept {
  for (TokenEntry* entry = head_; entry != nullptr;) {
    TokenEntry* next = entry->next;
    Release(entry);
    entry = next;
  }
  head_ = tail_ = cursor_ = nullptr;
  count_ = 0;
}

}  // namespace imp
