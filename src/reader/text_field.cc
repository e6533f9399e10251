#include "reader/text_field.h"

#include <cstring>

#include "support/memory.h"

namespace imp {

void CopyText(char* dest, size_t size, const char* text, size_t length, LongTextStore& store) {
  if (!IsCut(length, size)) {
    std::memcpy(dest, text, length);
    dest[length] = '\0';
    if (length == size - 5) WriteSlot(dest + size - 4, nullptr);
    return;
  }
  std::memcpy(dest, text, size - 5);
  dest[size - 5] = '\0';
  WriteSlot(dest + size - 4, nullptr);
  WriteSlot(dest + size - 4, store.Keep(text, length));
}

}  // namespace imp
