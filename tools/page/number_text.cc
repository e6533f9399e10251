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
constexpr int kMostDigits = 17;  // every double reads back from 17 digits

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The significant digits of a finite, non-zero magnitude rounded to
// `precision` of them, and the decimal exponent of the first: 18.45 to 10
// gives "1845000000" and 1. Rounding is exact, half to even, on every
// target. *value gets the double the rounded digits read back as.
std::string RoundedDigits(double magnitude, int precision, int* exponent, double* value) {
  char text[40];  // "d.dddddddddddddddde+ddd"
#if defined(__EMSCRIPTEN__)
  // The WebAssembly build's C++ library has no floating-point to_chars or
  // from_chars; its C library converts exactly, in the "C" locale, the
  // only one it has.
  int length = std::snprintf(text, sizeof text, "%.*e", precision - 1, magnitude);
  const char* end = text + (length > 0 ? length : 0);
  *value = std::strtod(text, nullptr);
#else
  const char* end =
      std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific, precision - 1)
          .ptr;
  std::from_chars(text, end, *value, std::chars_format::scientific);
#endif
  std::string digits;
  const char* p = text;
  for (; p < end && *p != 'e'; ++p) {
    if (IsDigit(*p)) digits += *p;
  }
  // to_chars writes no terminating NUL: the exponent is read up to `end`.
  *exponent = p < end ? std::atoi(std::string(p + 1, end).c_str()) : 0;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  return digits;
}

// The digits written out with `point`, or with an exponent below 1e-6 and
// from 1e21 on.
std::string Layout(bool negative, const std::string& digits, int exponent, char point) {
  std::string text = negative ? "-" : "";
  if (exponent < -6 || exponent >= 21) {
    text += digits[0];
    if (digits.size() > 1) text += point + digits.substr(1);
    char power[16];
    std::snprintf(power, sizeof power, "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return text + power;
  }
  if (exponent < 0) {
    text += std::string("0") + point + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    return text;
  }
  const std::size_t whole = static_cast<std::size_t>(exponent) + 1;
  if (digits.size() <= whole) {
    text += digits + std::string(whole - digits.size(), '0');
  } else {
    text += digits.substr(0, whole) + point + digits.substr(whole);
  }
  return text;
}

}  // namespace

std::string ReadableNumber(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-\xE2\x88\x9E" : "\xE2\x88\x9E";
  if (value == 0.0) return "0";
  int exponent = 0;
  double rounded;
  const std::string digits = RoundedDigits(std::fabs(value), kSignificantDigits, &exponent, &rounded);
  return Layout(value < 0, digits, exponent, ',');
}

std::string ExactNumber(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-Infinity" : "Infinity";
  if (value == 0.0) return "0";
  int exponent = 0;
  std::string digits;
  for (int precision = 1; precision <= kMostDigits; ++precision) {
    double back = 0.0;
    digits = RoundedDigits(std::fabs(value), precision, &exponent, &back);
    if (back == std::fabs(value)) break;
  }
  return Layout(value < 0, digits, exponent, '.');
}

std::string FormulaWithDecimalComma(std::string_view text) {
  std::string out(text);
  for (std::size_t i = 1; i + 1 < out.size(); ++i) {
    if (out[i] == '.' && IsDigit(out[i - 1]) && IsDigit(out[i + 1])) out[i] = ',';
  }
  return out;
}

}  // namespace imppage
