#include "reader/long_text_store.h"

#include <cstring>

namespace imp {

char* LongTextStore::Keep(const char* text, size_t length) {
  auto* copy = static_cast<char*>(texts_.Allocate(length + 1));
  std::memcpy(copy, text, length);
  copy[length] = '\0';
  ++count_;
  return copy;
}

void LongTextStore::Clear() noexcept {
  texts_.Release();
  count_ = 0;
}

}  // namespace imp
