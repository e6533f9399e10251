// Number conversion that never depends on the process locale.
//
// The host is a Polish application and may run with a locale whose decimal
// point is a comma; the C runtime's atof and "%f" would then read "0.25" as 0
// and write "2,000000". These functions always use '.'.
#ifndef IMPORDANO_READER_NUMBERS_H_
#define IMPORDANO_READER_NUMBERS_H_

#include <cstddef>
#include <cstdint>

namespace imp {

// As atoi: leading white space, an optional sign, then decimal digits up to
// the first other byte; 0 without digits. Saturates at INT32_MIN/INT32_MAX.
int32_t ParseInt(const char* text) noexcept;

// As atof in the "C" locale: leading white space, an optional sign, then a
// decimal number with fraction and exponent, "inf", "infinity", "nan",
// "nan(payload)" (any case) or a hexadecimal number ("0x1.8p3"), up to the
// first byte that does not fit. No number gives +0.0, also after a sign
// ("-", "-x"). Overflow gives +-HUGE_VAL, underflow +-0.0.
double ParseDouble(const char* text) noexcept;

// ParseDouble of the text with its first ',' written as '.', for the short
// numbers that need no full conversion ("12,5", "-0,25"); false for the
// others, which the caller converts as ParseDouble does.
bool ParseDoubleWithComma(const char* text, double* value) noexcept;

// How many bytes of `text` ParseInt and ParseDouble read: white space, a
// sign and the number; 0 when no number starts there (the value is then 0).
// The check reading tells with them what a number field passed over.
size_t IntegerLength(const char* text) noexcept;
size_t NumberLength(const char* text) noexcept;

// Room for the longest "%f" text of a double: sign, 309 digits, the point,
// six decimals and the NUL.
constexpr size_t kFixedTextSize = 328;

// Writes `value` as "%f" does (six decimals, '.') with its NUL into `out`,
// which holds kFixedTextSize bytes. Returns the length.
size_t FormatFixed(double value, char* out) noexcept;

}  // namespace imp

#endif  // IMPORDANO_READER_NUMBERS_H_
