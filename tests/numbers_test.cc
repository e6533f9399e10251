// Number conversion: atoi and atof without the locale, and "%f".
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "reader/numbers.h"
#include "test_support.h"

namespace {

TEST(Numbers, ParseInt) {
  const std::pair<const char*, int32_t> cases[] = {
      {"12", 12},         {"  \t-34x", -34},  {"+7", 7},          {"x", 0},
      {"", 0},            {"12.5", 12},       {"3]\n", 3},        {"- 3", 0},
      {"2147483647", INT32_MAX},              {"2147483648", INT32_MAX},
      {"-2147483648", INT32_MIN},             {"-2147483649", INT32_MIN},
      {"000000000000000000000000000042", 42},
  };
  for (const auto& c : cases) EXPECT_EQ(imp::ParseInt(c.first), c.second) << c.first;
  EXPECT_EQ(imp::ParseInt(std::string(400, '9').c_str()), INT32_MAX);
  EXPECT_EQ(imp::ParseInt(("-" + std::string(400, '9')).c_str()), INT32_MIN);
}

uint64_t Bits(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// Compared bit for bit: -0.0 and 0.0 differ, and so do NaNs of other payloads.
TEST(Numbers, ParseDouble) {
  const std::pair<const char*, double> cases[] = {
      {"0.25", 0.25},     {" \n\t-1.5e2x", -150.0}, {"+.5", 0.5},     {"5.", 5.0},
      {"1e", 1.0},        {"1e+", 1.0},             {"2E-1", 0.2},    {"x", 0.0},
      {".", 0.0},         {"0x1.8p1", 3.0},         {"0X10", 16.0},   {"0x", 0.0},
      {"0xg", 0.0},       {"1e999", HUGE_VAL},      {"-1e999", -HUGE_VAL}, {"1e-999", 0.0},
      {"INF", HUGE_VAL},  {"-infinity", -HUGE_VAL}, {"0,5", 0.0},     {"4.9e-324", 4.9e-324},
      // A sign with no number after it is no number: +0.0.
      {"-", 0.0},         {"+", 0.0},               {"-abc", 0.0},    {"- 3", 0.0},
      {"-x1", 0.0},       {"-.", 0.0},              {"-.e5", 0.0},
      // A negative zero written out stays negative.
      {"-0", -0.0},       {"-0.0", -0.0},           {"-0e5", -0.0},   {"-0x", -0.0},
      {"-1e-999", -0.0},
  };
  for (const auto& c : cases) EXPECT_EQ(Bits(imp::ParseDouble(c.first)), Bits(c.second)) << c.first;
  EXPECT_EQ(Bits(imp::ParseDouble(("0." + std::string(400, '0') + "1").c_str())), Bits(0.0));
  EXPECT_EQ(imp::ParseDouble((std::string(400, '9')).c_str()), HUGE_VAL);
}

// ParseInt and ParseDouble read what strtol and strtod read in the "C"
// locale (ParseInt saturating at the int32 limits), checked bit for bit on
// hand-picked edge cases and on generated number-like strings. The C library
// of Windows reads hex and NaN forms differently, so the reference is glibc.
#if defined(__GLIBC__)

int32_t ReferenceInt(const char* text) {
  const long long value = std::strtoll(text, nullptr, 10);
  return static_cast<int32_t>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

uint64_t ReferenceDouble(const char* text) { return Bits(std::strtod(text, nullptr)); }

// Random strings built from the pieces that numbers are made of.
std::vector<std::string> NumberLikeStrings(size_t count) {
  static const char* const pieces[] = {
      "0", "1", "5", "9", "00", "123", "999999999999999999", "4940656458412465441765687928682",
      ".", ".", "e", "E", "e-", "e+", "-", "+", "p", "P", "p-", "x", "X", "0x", "0X",
      "a", "f", "F", "g", "inf", "INF", "inity", "nan", "NaN", "(", ")", "_", " ", "\t",
      "\n", "\v", ",", "2147483647", "2147483648", "-2147483648", "4294967296",
      "308", "309", "324", "325", "1074", "1075", "17976931348623157", "22250738585072014",
  };
  std::mt19937 random(20261207);
  std::uniform_int_distribution<size_t> piece(0, std::size(pieces) - 1), length(1, 8);
  std::vector<std::string> strings;
  strings.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    std::string text;
    for (size_t n = length(random); n > 0; --n) text += pieces[piece(random)];
    strings.push_back(text);
  }
  // Long digit runs around the edges of the double range.
  for (int digits : {17, 18, 19, 20, 40, 309, 310, 400}) {
    strings.push_back(std::string(static_cast<size_t>(digits), '9'));
    strings.push_back("1" + std::string(static_cast<size_t>(digits), '0') + "1");
    strings.push_back("0." + std::string(static_cast<size_t>(digits), '0') + "1e" +
                      std::to_string(digits));
    strings.push_back("-0." + std::string(static_cast<size_t>(digits), '0') + "24703282292062328e-300");
    strings.push_back("0x1." + std::string(static_cast<size_t>(digits), 'f') + "p1023");
  }
  return strings;
}

const char* const kEdgeCases[] = {
    "", " ", "-", "+", "--1", "+-1", "-+1", " -0", "-0.", "-.0", "0x", "-0x", "0x.", "0x.p1",
    "0x1p", "0x1p-", "0x1p-1074", "0x1p-1075", "0x1.8p-1075", "0x1.0000000000001p-1075",
    "0x1p1024", "0x1.fffffffffffff8p1023", "0x1.fffffffffffff7ffp1023", "0x.8p-1073",
    "1e", "1e+", "1e-", "1e+-1", ".e1", "1.e1", "e1", "1e0400", "1e-0400",
    "4.9406564584124654e-324", "2.4703282292062328e-324", "2.4703282292062327e-324",
    "2.2250738585072011e-308", "2.2250738585072012e-308", "1.7976931348623157e308",
    "1.7976931348623158e308", "1.7976931348623159e308", "9007199254740993",
    "9007199254740992.5", "0.1", "0.30000000000000004", "123456789012345678901234567890",
    "inf", "-inf", "infinity", "infinit", "INFINITYx", "nan", "-nan", "nan(", "nan()",
    "nan(0)", "nan(123)", "-nan(5)", "nan(0x10)", "NaN(010)", "nan(08)", "nan(0x)",
    "nan(abc)", "nan(_1)", "nan(99999999999999999999)", "nan(1", "\t\n\v\f\r 12",
    "1,5", "2147483647", "2147483648", "-2147483648", "-2147483649", "99999999999999999999",
    "-99999999999999999999", "0000000000000000000000000000012", "12abc", "0x1A",
};

TEST(Numbers, MatchTheCLibrary) {
  ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
  std::vector<std::string> strings(std::begin(kEdgeCases), std::end(kEdgeCases));
  const std::vector<std::string> generated = NumberLikeStrings(50000);
  strings.insert(strings.end(), generated.begin(), generated.end());
  int failures = 0;
  for (const std::string& text : strings) {
    const char* t = text.c_str();
    if (Bits(imp::ParseDouble(t)) != ReferenceDouble(t) || imp::ParseInt(t) != ReferenceInt(t)) {
      ADD_FAILURE() << "\"" << text << "\": ParseDouble " << std::hex
                    << Bits(imp::ParseDouble(t)) << ", strtod " << ReferenceDouble(t) << std::dec
                    << "; ParseInt " << imp::ParseInt(t) << ", strtol " << ReferenceInt(t);
      if (++failures == 20) break;
    }
  }
  RecordProperty("compared", static_cast<int>(strings.size()));
  std::printf("compared %zu strings with the C library\n", strings.size());
}

#endif  // __GLIBC__

TEST(Numbers, FormatFixed) {
  const std::pair<double, const char*> cases[] = {
      {0.25, "0.250000"}, {2.0, "2.000000"},   {-0.5, "-0.500000"},
      {1e-7, "0.000000"}, {0.125, "0.125000"}, {HUGE_VAL, "inf"},
  };
  char text[imp::kFixedTextSize];
  for (const auto& c : cases) {
    EXPECT_EQ(imp::FormatFixed(c.first, text), std::strlen(c.second));
    EXPECT_STREQ(text, c.second);
  }
  // The longest text of all fits: 309 digits, the point and six decimals.
  EXPECT_EQ(imp::FormatFixed(-1.7976931348623157e308, text), 317u);
}

// The host may run with a locale whose decimal point is a comma; the import
// must read and write '.' all the same.
TEST(Numbers, ImportUnderACommaLocale) {
#if defined(__EMSCRIPTEN__)
  GTEST_SKIP() << "the WebAssembly C library has no locale with a decimal comma";
#elif defined(_WIN32)
  // Windows has the host's own locale built in, so it must be there.
  ASSERT_NE(std::setlocale(LC_ALL, "Polish_Poland.1250"), nullptr) << "no Polish locale";
#else
  // A locale made in the test's folder, found through LOCPATH.
  const std::string command =
      "localedef -i pl_PL -f UTF-8 " + testing::TempDir() + "impordano_pl >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0 ||
      setenv("LOCPATH", testing::TempDir().c_str(), 1) != 0 ||
      std::setlocale(LC_ALL, "impordano_pl") == nullptr) {
    GTEST_SKIP() << "no comma locale could be made with localedef";
  }
#endif
  ASSERT_STREQ(std::localeconv()->decimal_point, ",");
  {
    imp_test::Import import(imp_test::Lines(
        {"[Plik]", "[Pozycja 1]", "Obmiar=0.25", "[RMS 1]", "Typ=M", "Tarvo=0.25",
         "Wsp\xF3\xB3" "czynnik koryguj\xB9" "cy=2", "[RMS 2]", "Typ=R",
         "Wsp\xF3\xB3" "czynnik koryguj\xB9" "cy=1.5", "Tarvo=", "Koszty po\x9Crednie=12.5"}));
    const auto resources = import.OfType(IMP_TOKEN_RESOURCE);
    ASSERT_EQ(resources.size(), 2u);
    EXPECT_EQ(import.First<PositionRecord>(IMP_TOKEN_POSITION).quantity, 0.25);
    EXPECT_EQ(resources[0]->As<ResourceRecord>().consumption, 0.5);
    EXPECT_STREQ(resources[0]->As<ResourceRecord>().consumptionText, "0.25*2");
    EXPECT_STREQ(resources[1]->As<ResourceRecord>().consumptionText, "0.000000*1.500000");
    const auto summary = import.First<SummaryRecord>(IMP_TOKEN_SUMMARY);
    EXPECT_EQ(imp_test::Follow<CostItem>(summary.items)->rate, 12.5);
  }
  std::setlocale(LC_ALL, "C");
}

}  // namespace
