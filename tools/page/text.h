// Conversion of the module's Windows-1250 texts to UTF-8, by one table that
// every target shares, so that every build prints the same bytes.
#ifndef IMPORDANO_PAGE_TEXT_H_
#define IMPORDANO_PAGE_TEXT_H_

#include <cstddef>
#include <string>

namespace imppage {

// The Unicode code point of a Windows-1250 byte, or U+FFFD for the five byte
// values the code page leaves undefined (0x81, 0x83, 0x88, 0x90, 0x98).
char32_t CodePointFromCp1250(unsigned char byte);

// Appends the UTF-8 form of a code point (at most U+10FFFF).
void AppendUtf8(char32_t codePoint, std::string* out);

// The UTF-8 form of `size` bytes of Windows-1250 text: always valid UTF-8,
// one character a byte. A NUL byte is kept as U+0000.
std::string Utf8FromCp1250(const char* text, std::size_t size);

inline std::string Utf8FromCp1250(const std::string& text) {
  return Utf8FromCp1250(text.data(), text.size());
}

}  // namespace imppage

#endif  // IMPORDANO_PAGE_TEXT_H_
