#include "number_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#if !defined(__EMSCRIPTEN__)
#include <charconv>
#include <system_error>
#endif

namespace imppage {
namespace {

constexpr int kSignificantDigits = 10;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The significant digits of a finite, non-zero magnitude rounded to
// kSignificantDigits, and the decimal exponent of the first of them: 18.45
// gives "1845000000" and 1. Rounding is exact, half to even, on every target.
std::string RoundedDigits(double magnitude, int* exponent) {
  char text[32];  // "d.ddddddddde+ddd"
#if defined(__EMSCRIPTEN__)
  // The WebAssembly build's C++ library has no floating-point to_chars; its
  // C library formats exactly, in the "C" locale, the only one it has.
  int length = std::snprintf(text, sizeof text, "%.*e", kSignificantDigits - 1, magnitude);
  const char* end = text + (length > 0 ? length : 0);
#else
  const char* end = std::to_chars(text, text + sizeof text, magnitude,
                                  std::chars_format::scientific, kSignificantDigits - 1)
                        .ptr;
#endif
  std::string digits;
  const char* p = text;
  for (; p < end && *p != 'e'; ++p) {
    if (IsDigit(*p)) digits += *p;
  }
  // to_chars writes no terminating NUL: the exponent is read up to `end`.
  *exponent = p < end ? std::atoi(std::string(p + 1, end).c_str()) : 0;
  return digits;
}

}  // namespace

std::string ReadableNumber(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-\xE2\x88\x9E" : "\xE2\x88\x9E";
  if (value == 0.0) return "0";
  int exponent = 0;
  std::string digits = RoundedDigits(std::fabs(value), &exponent);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string text = value < 0 ? "-" : "";
  if (exponent < -6 || exponent >= 21) {
    text += digits[0];
    if (digits.size() > 1) text += ',' + digits.substr(1);
    char power[16];
    std::snprintf(power, sizeof power, "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return text + power;
  }
  if (exponent < 0) {
    text += "0," + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    return text;
  }
  const std::size_t whole = static_cast<std::size_t>(exponent) + 1;
  if (digits.size() <= whole) {
    text += digits + std::string(whole - digits.size(), '0');
  } else {
    text += digits.substr(0, whole) + ',' + digits.substr(whole);
  }
  return text;
}

std::string FormulaWithDecimalComma(std::string_view text) {
  std::string out(text);
  for (std::size_t i = 1; i + 1 < out.size(); ++i) {
    if (out[i] == '.' && IsDigit(out[i - 1]) && IsDigit(out[i + 1])) out[i] = ',';
  }
  return out;
}

}  // namespace imppage
