// Integer arithmetic on values read from the file, which may sit at the
// limits of int32 (the integer getters saturate there).
#ifndef IMPORDANO_RECORDS_SATURATE_H_
#define IMPORDANO_RECORDS_SATURATE_H_

#include <cstdint>

namespace imp {

inline int32_t SaturatingSubtract(int32_t value, int32_t amount) {
  const int64_t result = static_cast<int64_t>(value) - amount;
  if (result < INT32_MIN) return INT32_MIN;
  if (result > INT32_MAX) return INT32_MAX;
  return static_cast<int32_t>(result);
}

}  // namespace imp

#endif  // IMPORDANO_RECORDS_SATURATE_H_
