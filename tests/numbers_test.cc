// Number conversion: atoi and atof without the locale, and "%f".
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <string>

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

TEST(Numbers, ParseDouble) {
  const std::pair<const char*, double> cases[] = {
      {"0.25", 0.25},     {" \n\t-1.5e2x", -150.0}, {"+.5", 0.5},     {"5.", 5.0},
      {"1e", 1.0},        {"1e+", 1.0},             {"2E-1", 0.2},    {"x", 0.0},
      {".", 0.0},         {"-", 0.0},               {"0x1.8p1", 3.0}, {"0X10", 16.0},
      {"0x", 0.0},        {"0xg", 0.0},             {"1e999", HUGE_VAL},
      {"-1e999", -HUGE_VAL}, {"1e-999", 0.0},       {"INF", HUGE_VAL},
      {"-infinity", -HUGE_VAL}, {"0,5", 0.0},      {"4.9e-324", 4.9e-324},
  };
  for (const auto& c : cases) EXPECT_EQ(imp::ParseDouble(c.first), c.second) << c.first;
  EXPECT_TRUE(std::isnan(imp::ParseDouble("nan")));
  EXPECT_TRUE(std::isnan(imp::ParseDouble("-NaN(123)")));
  EXPECT_TRUE(std::signbit(imp::ParseDouble("-1e-999")));
  EXPECT_EQ(imp::ParseDouble(("0." + std::string(400, '0') + "1").c_str()), 0.0);
  EXPECT_EQ(imp::ParseDouble((std::string(400, '9')).c_str()), HUGE_VAL);
}

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
#if defined(_WIN32)
  // Windows has the host's own locale built in.
  if (std::setlocale(LC_ALL, "Polish_Poland.1250") == nullptr) {
    GTEST_SKIP() << "no Polish locale";
  }
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
    EXPECT_EQ(import.OfType(IMP_TOKEN_POSITION)[0]->Double(1160), 0.25);
    EXPECT_EQ(resources[0]->Double(208), 0.5);
    EXPECT_EQ(resources[0]->Text(420), "0.25*2");
    EXPECT_EQ(resources[1]->Text(420), "0.000000*1.500000");
    const auto& summary = import.OfType(IMP_TOKEN_SUMMARY)[0]->As<SummaryRecord>();
    EXPECT_EQ(static_cast<const CostItem*>(IMP_SLOT_PTR(summary.items))->rate, 12.5);
  }
  std::setlocale(LC_ALL, "C");
}

}  // namespace
