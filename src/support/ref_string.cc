#include "support/ref_string.h"

#include <cstring>

#include "support/memory.h"

namespace imp {
namespace {

// What a string without a block reads as.
const char kEmptyText[] = "";

uint8_t* NewBlock(const char* text, size_t length) noexcept {
  if (length > static_cast<size_t>(-1) - 2) return nullptr;
  auto* block = static_cast<uint8_t*>(AllocateLow(length + 2));
  if (block == nullptr) return nullptr;
  block[0] = 1;
  if (length != 0) std::memcpy(block + 1, text, length);
  block[length + 1] = '\0';
  return block;
}

// Gives up one share; the last holder frees the block.
void Drop(uint8_t* block) noexcept {
  if (block != nullptr && --block[0] == 0) ReleaseLow(block);
}

}  // namespace

RefString::~RefString() { Drop(block_); }

RefString::RefString(RefString&& other) noexcept : block_(other.block_) {
  other.block_ = nullptr;
}

RefString& RefString::operator=(RefString&& other) noexcept {
  if (this != &other) {
    Drop(block_);
    block_ = other.block_;
    other.block_ = nullptr;
  }
  return *this;
}

bool RefString::Assign(const char* text, size_t length) noexcept {
  // The fresh block is made before the old one is let go: `text` may lie in it.
  uint8_t* block = NewBlock(text, length);
  if (block == nullptr) return false;
  Drop(block_);
  block_ = block;
  return true;
}

bool RefString::Assign(const char* text) noexcept {
  if (text == nullptr) text = kEmptyText;
  if (text == Text()) return true;
  return Assign(text, std::strlen(text));
}

bool RefString::Assign(const RefString& other) noexcept {
  if (block_ == other.block_) return true;
  if (other.block_ == nullptr) {
    Reset();
    return true;
  }
  if (other.block_[0] >= kMaxHolders) {
    // The count byte is full: this holder gets a copy of its own.
    const char* text = other.Text();
    return Assign(text, std::strlen(text));
  }
  Drop(block_);
  block_ = other.block_;
  ++block_[0];
  return true;
}

void RefString::Reset() noexcept {
  Drop(block_);
  block_ = nullptr;
}

const char* RefString::Text() const noexcept {
  return block_ != nullptr ? reinterpret_cast<const char*>(block_ + 1) : kEmptyText;
}

int RefString::Holders() const noexcept { return block_ != nullptr ? block_[0] : 0; }

bool RefString::SharesBlockWith(const RefString& other) const noexcept {
  return block_ != nullptr && block_ == other.block_;
}

}  // namespace imp
