#include "reader/numbers.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

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
size_t DecimalLength(const char* p, bool hex) {
  auto digit = hex ? IsHexDigit : IsDigit;
  const char exponent = hex ? 'p' : 'e';
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

// A number too large or too small for a double: decide which by the
// position of its first significant digit and its exponent.
double OutOfRange(const char* p, size_t length, bool hex) {
  auto digit = hex ? IsHexDigit : IsDigit;
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

double ParseUnsigned(const char* p) {
  if (StartsWithWord(p, "inf")) return std::numeric_limits<double>::infinity();
  if (StartsWithWord(p, "nan")) return std::numeric_limits<double>::quiet_NaN();

  bool hex = false;
  if (p[0] == '0' && Lower(p[1]) == 'x' && DecimalLength(p + 2, true) > 0) {
    hex = true;
    p += 2;
  }
  const size_t length = DecimalLength(p, hex);
  if (length == 0) return 0.0;
  double value = 0.0;
  const auto result = std::from_chars(
      p, p + length, value, hex ? std::chars_format::hex : std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) return OutOfRange(p, length, hex);
  if (result.ec != std::errc()) return 0.0;
  return value;
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
  const double value = ParseUnsigned(p);
  return negative ? -value : value;
}

size_t FormatFixed(double value, char* out) noexcept {
  if (std::isnan(value)) {
    const char* text = std::signbit(value) ? "-nan" : "nan";
    std::memcpy(out, text, std::strlen(text) + 1);
    return std::strlen(text);
  }
  const auto result =
      std::to_chars(out, out + kFixedTextSize - 1, value, std::chars_format::fixed, 6);
  *result.ptr = '\0';
  return static_cast<size_t>(result.ptr - out);
}

}  // namespace imp
