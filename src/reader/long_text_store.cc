#include "reader/long_text_store.h"

#include <utility>

#include "support/ref_string.h"

namespace imp {

const char* LongTextStore::Keep(const char* text, size_t length) noexcept {
  RefString copy;
  if (!copy.Assign(text, length)) return nullptr;
  if (!texts_.Append(std::move(copy))) return nullptr;
  return texts_.GetAt(texts_.TotalCount() - 1).Text();
}

}  // namespace imp
