#include "reader/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

// The C++ library of the WebAssembly build has no floating-point
// from_chars/to_chars. Its C library converts exactly and knows only the
// "C" locale, so there strtod and snprintf read and write the same bytes
// as the conversions below do everywhere else.
#if defined(__EMSCRIPTEN__)
#define IMP_NUMBERS_BY_C_LIBRARY 1
#endif

namespace imp {
namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsHexDigit(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Case-insensitive prefix test against a lower-case word.
bool StartsWithWord(const char* text, const char* word) {
  for (; *word != '\0'; ++text, ++word) {
    if (Lower(*text) != *word) return false;
  }
  return true;
}

const char* SkipSpaceAndSign(const char* p, bool* negative) {
  while (IsSpace(*p)) ++p;
  *negative = false;
  if (*p == '+' || *p == '-') {
    *negative = (*p == '-');
    ++p;
  }
  return p;
}

// Length of the longest prefix that reads as a decimal floating-point number
// (digits, one point, an exponent with at least one digit), 0 when none.
template <bool kHex>
size_t DecimalLength(const char* p) {
  const auto digit = [](char c) { return kHex ? IsHexDigit(c) : IsDigit(c); };
  const char exponent = kHex ? 'p' : 'e';
  size_t n = 0;
  bool digits = false;
  while (digit(p[n])) ++n, digits = true;
  if (p[n] == '.') {
    ++n;
    while (digit(p[n])) ++n, digits = true;
  }
  if (!digits) return 0;
  if (Lower(p[n]) == exponent) {
    size_t e = n + 1;
    if (p[e] == '+' || p[e] == '-') ++e;
    if (IsDigit(p[e])) {
      while (IsDigit(p[e])) ++e;
      n = e;
    }
  }
  return n;
}

size_t DecimalLength(const char* p, bool hex) { return hex ? DecimalLength<true>(p) : DecimalLength<false>(p); }

// The common short numbers ("12", "0.25", "1234.5"): at most 15 digits in
// all, no exponent. Both the digits as an integer and the
// power of ten are exact doubles then, so their quotient is the correctly
// rounded value, the one the full conversion gives. `point` is the decimal
// point, or ',' for a comma that stands for it; false for anything else.
bool ParseShort(const char* p, char point, double* value) {
  static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  constexpr size_t kMostDigits = 15;  // below 2^53: every such integer is a double
  uint64_t digits = 0;
  const char* start = p;
  for (; IsDigit(*p); ++p) digits = digits * 10 + static_cast<uint64_t>(*p - '0');
  size_t count = static_cast<size_t>(p - start);
  size_t decimals = 0;
  if (*p == '.' || *p == point) {
    const char* fraction = ++p;
    for (; IsDigit(*p); ++p) digits = digits * 10 + static_cast<uint64_t>(*p - '0');
    decimals = static_cast<size_t>(p - fraction);
    count += decimals;
  }
  if (count == 0 || count > kMostDigits) return false;
  const char next = Lower(*p);
  if (next == 'e' || next == 'x') return false;  // an exponent, or a hex number
  *value = static_cast<double>(digits) / kPowers[decimals];
  return true;
}

#if !defined(IMP_NUMBERS_BY_C_LIBRARY)
// A number too large or too small for a double: decide which by the
// position of its first significant digit and its exponent.
double OutOfRange(const char* p, size_t length, bool hex) {
  const auto digit = [hex](char c) { return hex ? IsHexDigit(c) : IsDigit(c); };
  long magnitude = 0;  // digits before the point, minus zeros after it
  bool seenPoint = false, significant = false;
  size_t i = 0;
  for (; i < length && (digit(p[i]) || p[i] == '.'); ++i) {
    if (p[i] == '.') {
      seenPoint = true;
    } else if (!significant && p[i] == '0') {
      if (seenPoint) --magnitude;
    } else {
      significant = true;
      if (!seenPoint) ++magnitude;
    }
  }
  if (!significant) return 0.0;
  long exponent = 0;
  if (i < length) {  // an exponent follows
    ++i;
    bool negative = false;
    if (p[i] == '+' || p[i] == '-') negative = (p[i++] == '-');
    for (; i < length; ++i) {
      if (exponent < 100000000) exponent = exponent * 10 + (p[i] - '0');
    }
    if (negative) exponent = -exponent;
  }
  // Hexadecimal exponents count powers of two: scale the digits to match.
  const long scaled = hex ? magnitude * 4 + exponent : magnitude + exponent;
  return scaled > 0 ? HUGE_VAL : 0.0;
}
#endif

bool IsNanChar(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

// The C library reads "nan(digits)" as a quiet NaN whose payload is the
// number between the brackets (decimal, octal with a leading 0, or hex with
// 0x), cut to the 51 payload bits; any other text between the brackets
// leaves the default NaN.
uint64_t NanPayload(const char* p) {
  size_t n = 0;
  while (IsNanChar(p[n])) ++n;
  if (p[n] != ')' || n == 0) return 0;
  int base = 10;
  size_t i = 0;
  if (p[0] == '0') {
    base = 8;
    i = 1;
    if (Lower(p[1]) == 'x' && n > 2) {
      base = 16;
      i = 2;
    }
  }
  uint64_t value = 0;
  bool overflow = false;
  for (; i < n; ++i) {
    const char c = Lower(p[i]);
    const int digit = IsDigit(c) ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : 99;
    if (digit >= base) return 0;  // the text is not a number of that base
    if (value > (UINT64_MAX - static_cast<uint64_t>(digit)) / static_cast<uint64_t>(base)) {
      overflow = true;
    }
    value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
  }
  if (overflow) value = UINT64_MAX;
  return value & ((uint64_t(1) << 51) - 1);
}

double QuietNan(uint64_t payload) {
  double nan = std::numeric_limits<double>::quiet_NaN();
  uint64_t bits;
  std::memcpy(&bits, &nan, sizeof bits);
  bits |= payload;
  std::memcpy(&nan, &bits, sizeof nan);
  return nan;
}

// The value of the number that starts at `p` (after the sign). *found is
// false when no number starts there; the value is then 0.0.
double ParseUnsigned(const char* p, bool* found) {
  *found = true;
  if (StartsWithWord(p, "inf")) return std::numeric_limits<double>::infinity();
  if (StartsWithWord(p, "nan")) return QuietNan(p[3] == '(' ? NanPayload(p + 4) : 0);

  bool hex = false;
  if (p[0] == '0' && Lower(p[1]) == 'x' && DecimalLength(p + 2, true) > 0) {
    hex = true;
    p += 2;
  }
  const size_t length = DecimalLength(p, hex);
  *found = length > 0;
  if (length == 0) return 0.0;
#if defined(IMP_NUMBERS_BY_C_LIBRARY)
  // strtod stops where the number ends, as `length` says it does.
  return std::strtod(hex ? p - 2 : p, nullptr);
#else
  double value = 0.0;
  const auto result = std::from_chars(
      p, p + length, value, hex ? std::chars_format::hex : std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) return OutOfRange(p, length, hex);
  if (result.ec != std::errc()) return 0.0;
  return value;
#endif
}

}  // namespace

int32_t ParseInt(const char* text) noexcept {
  bool negative = false;
  const char* p = SkipSpaceAndSign(text, &negative);
  // Accumulate towards the sign's limit so that INT32_MIN needs no overflow.
  const int64_t limit = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
  int64_t value = 0;
  for (; IsDigit(*p); ++p) {
    value = value * 10 + (*p - '0');
    if (value > limit) {
      value = limit;
      while (IsDigit(*p)) ++p;
      break;
    }
  }
  return static_cast<int32_t>(negative ? -value : value);
}

double ParseDouble(const char* text) noexcept {
  bool negative = false;
  const char* p = SkipSpaceAndSign(text, &negative);
  bool found = true;
  double value;
  if (!ParseShort(p, '.', &value)) value = ParseUnsigned(p, &found);
  // A sign with no number after it reads as no number at all: +0.0.
  return negative && found ? -value : value;
}

bool ParseDoubleWithComma(const char* text, double* value) noexcept {
  // Where the text's first comma stands for its decimal point, the first
  // byte after the digits that is neither '.' nor ',' ends a short number
  // as it ends the number with the comma written as '.'.
  bool negative = false;
  const char* p = SkipSpaceAndSign(text, &negative);
  if (!ParseShort(p, ',', value)) return false;
  if (negative) *value = -*value;
  return true;
}

size_t IntegerLength(const char* text) noexcept {
  bool negative = false;
  const char* p = SkipSpaceAndSign(text, &negative);
  const char* digits = p;
  while (IsDigit(*p)) ++p;
  return p == digits ? 0 : static_cast<size_t>(p - text);
}

// The same choices as ParseUnsigned, each with the bytes it reads: "inf"
// and "infinity", "nan" with a payload in brackets, a hexadecimal number, a
// decimal one (whose short form ParseShort reads alike).
size_t NumberLength(const char* text) noexcept {
  bool negative = false;
  const char* p = SkipSpaceAndSign(text, &negative);
  size_t n = 0;
  if (StartsWithWord(p, "inf")) {
    n = StartsWithWord(p, "infinity") ? 8 : 3;
  } else if (StartsWithWord(p, "nan")) {
    n = 3;
    if (p[3] == '(') {
      size_t end = 4;
      while (IsNanChar(p[end])) ++end;
      if (p[end] == ')') n = end + 1;
    }
  } else if (p[0] == '0' && Lower(p[1]) == 'x' && DecimalLength(p + 2, true) > 0) {
    n = 2 + DecimalLength(p + 2, true);
  } else {
    n = DecimalLength(p, false);
  }
  return n == 0 ? 0 : static_cast<size_t>(p - text) + n;
}

size_t FormatFixed(double value, char* out) noexcept {
  if (std::isnan(value)) {
    const char* text = std::signbit(value) ? "-nan" : "nan";
    std::memcpy(out, text, std::strlen(text) + 1);
    return std::strlen(text);
  }
#if defined(IMP_NUMBERS_BY_C_LIBRARY)
  return static_cast<size_t>(std::snprintf(out, kFixedTextSize, "%.6f", value));
#else
  const auto result =
      std::to_chars(out, out + kFixedTextSize - 1, value, std::chars_format::fixed, 6);
  *result.ptr = '\0';
  return static_cast<size_t>(result.ptr - out);
#endif
}

}  // namespace imp
