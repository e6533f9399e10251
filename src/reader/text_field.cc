#include "reader/text_field.h"

#include <cstring>

#include "support/memory.h"

namespace imp {

void CopyText(char* dest, size_t size, const char* text, size_t length, LongTextStore& store) {
  char* slot = dest + IMP_LONG_TEXT_SLOT_OFFSET(size);
  const size_t cutLength = IMP_LONG_TEXT_CUT_LENGTH(size);
  if (!IsCut(length, size)) {
    // An empty text may lie in an empty buffer, whose data is null, which
    // memcpy must not be given even for no bytes.
    if (length != 0) std::memcpy(dest, text, length);
    dest[length] = '\0';
    if (length == cutLength) WriteSlot(slot, nullptr);
    return;
  }
  std::memcpy(dest, text, cutLength);
  dest[cutLength] = '\0';
  WriteSlot(slot, nullptr);
  WriteSlot(slot, store.Keep(text, length));
}

}  // namespace imp
