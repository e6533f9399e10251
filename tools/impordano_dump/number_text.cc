#include "number_text.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace impdump {

std::string DecimalCommaText(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-\xE2\x88\x9E" : "\xE2\x88\x9E";
  double magnitude = std::fabs(value);
  // to_chars without a precision gives the shortest digits that read back
  // as the same double, whatever the locale.
  std::chars_format format = magnitude != 0.0 && (magnitude < 1e-6 || magnitude >= 1e21)
                                 ? std::chars_format::scientific
                                 : std::chars_format::fixed;
  char buffer[64];  // fixed below 1e21: at most 22 digits before the point
  std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value, format);
  if (result.ec != std::errc()) return "?";  // cannot happen with this buffer
  std::string text(buffer, result.ptr);
  for (char& c : text) {
    if (c == '.') c = ',';
  }
  return text;
}

}  // namespace impdump
