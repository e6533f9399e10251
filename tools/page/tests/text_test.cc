#include "text.h"

#include <gtest/gtest.h>

#include <string>

#include <nlohmann/json.hpp>

#if !defined(_WIN32)
#include <iconv.h>
#endif

namespace imppage {
namespace {

struct Case { const char *cp1250, *utf8; };

TEST(Utf8FromCp1250, ConvertsPolishAndSpecialCharacters) {
  const Case cases[] = {
      {"", ""},
      {"KNR 2-02 0101-02", "KNR 2-02 0101-02"},
      {"\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF", "ąćęłńóśźż"},
      {"\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF", "ĄĆĘŁŃÓŚŹŻ"},
      {"Wsp\xF3\xB3" "czynnik koryguj\xB9" "cy", "Współczynnik korygujący"},
      {"10 \x80, 5\xB0" "C, \x84tak\x94", "10 €, 5°C, „tak”"},
      {"a\tb\r\n", "a\tb\r\n"},
      // Bytes the code page leaves undefined.
      {"x\x81y\x83\x88z\x90\x98", "x\xEF\xBF\xBDy\xEF\xBF\xBD\xEF\xBF\xBDz\xEF\xBF\xBD\xEF\xBF\xBD"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf8FromCp1250(std::string(c.cp1250)), c.utf8) << c.utf8;
  }
}

TEST(Utf8FromCp1250, EveryByteGivesValidUtf8) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  // Every byte from 1 to 255, twenty times over, in one text.
  std::string text;
  for (int i = 0; i < 20; ++i) text += all;
  std::string utf8 = Utf8FromCp1250(text);
  // The strict serializer throws on invalid UTF-8.
  EXPECT_NO_THROW(nlohmann::json(utf8).dump());
  std::size_t replacements = 0;
  for (std::size_t at = utf8.find("\xEF\xBF\xBD"); at != std::string::npos;
       at = utf8.find("\xEF\xBF\xBD", at + 3)) {
    ++replacements;
  }
  EXPECT_EQ(replacements, 5u * 20u);
  // Every byte becomes exactly one character.
  std::size_t characters = 0;
  for (char c : Utf8FromCp1250(all)) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  EXPECT_EQ(characters, 255u);
}

#if !defined(_WIN32)
// The converter's table against the C library's code page, byte by byte:
// where iconv refuses a byte (the five undefined ones) the table must give
// U+FFFD, everywhere else the same character.
TEST(Utf8FromCp1250, MatchesIconvForEveryByte) {
  iconv_t cd = iconv_open("UTF-8", "CP1250");
  ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1)) << "iconv has no CP1250 here";
  int refused = 0;
  for (int b = 0; b < 256; ++b) {
    char in[1] = {static_cast<char>(b)};
    char out[8];
    char* inPtr = in;
    char* outPtr = out;
    std::size_t inLeft = 1, outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    bool converted = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
    std::string expected = converted ? std::string(out, outPtr) : "\xEF\xBF\xBD";
    refused += !converted;
    EXPECT_EQ(Utf8FromCp1250(in, 1), expected) << "byte " << b;
  }
  iconv_close(cd);
  EXPECT_EQ(refused, 5);
}
#endif

}  // namespace
}  // namespace imppage
