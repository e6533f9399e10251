// Resource records from whole imports, byte by byte: fields, the correction
// factor and its formula text, and the investor-quantity mark.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "test_support.h"

namespace {

using namespace imp_test;

constexpr int32_t RES = IMP_TOKEN_RESOURCE;
const std::string kFactor = "Wsp\xF3\xB3" "czynnik koryguj\xB9" "cy=";
const std::string kInvestor = "Ilo\x9C\xE6 inwestora=";
const std::string kNotAuxiliary = "Nie uwzgl\xEA" "dniaj przy liczeniu materia\xB3\xF3w pomocmiczych=";

Image InitialResource() {
  Image i(680);
  i.Int(0, 7).Int(4, 'A').Int(168, 1).Double(208, 1.0).Double(360, 1.0).Int(416, 1);
  return i;
}

// A position with `positionLines` (none: no position before the resource),
// then one resource section.
std::string ResourceFile(const std::vector<std::string>& positionLines,
                         const std::vector<std::string>& lines, char decimalSymbol = '.') {
  const std::string position = positionLines.empty() ? "" : "[Pozycja 1]\n";
  return File({}, decimalSymbol) + position + Lines(positionLines) + "[RMS 1.1]\n" + Lines(lines);
}

const imp_test::Token* OnlyResource(const Import& import) {
  const auto resources = import.OfType(RES);
  return resources.size() == 1 ? resources[0] : nullptr;
}

TEST(ResourceRecord, KeyLines) {
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    char decimalSymbol;
    std::function<void(Image&)> expect;
  };
  const Case cases[] = {
      {"no keys: initial values", {}, '.', [](Image&) {}},
      {"material with decimal comma", {"Typ=M", "Tarvo=0,25", "Cena=300,5"}, ',',
       [](Image& i) { i.Int(4, 'M').Double(208, 0.25).Text(420, "0.25").Double(216, 300.5); }},
      {"empty price", {"Cena=300", "Cena="}, '.', [](Image&) {}},
      {"a bare sign reads as +0.0", {"Cena=-", "Tarvo=- 3"}, '.',
       [](Image& i) { i.Double(208, 0.0).Text(420, "- 3"); }},
      {"lower-case kind", {"Typ=r"}, '.', [](Image& i) { i.Int(4, 'r'); }},
      {"empty kind", {"Typ=R", "Typ="}, '.', [](Image& i) { i.Int(4, 0); }},
      {"kind is the first byte", {"Typ=Sx"}, '.', [](Image& i) { i.Int(4, 'S'); }},
      {"texts", {"Nazwa=Cement \xB3\tx", "Indeks=1234", "JM=kg\tt"}, '.',
       [](Image& i) { i.Text(8, "Cement \xB3").Text(136, "1234").Text(172, "kg"); }},
      {"fixed input", {"Sta\xB3y nak\xB3" "ad=7"}, '.', [](Image& i) { i.Int(412, 7); }},
      {"fixed input empty", {"Sta\xB3y nak\xB3" "ad=7", "Sta\xB3y nak\xB3" "ad="}, '.',
       [](Image&) {}},
      {"not auxiliary 0", {kNotAuxiliary + "0"}, '.', [](Image&) {}},
      {"not auxiliary 5", {kNotAuxiliary + "5"}, '.', [](Image& i) { i.Int(416, 0); }},
      {"not auxiliary empty", {kNotAuxiliary + "5", kNotAuxiliary}, '.', [](Image&) {}},
      {"rates leave the record alone",
       {"Typ=R", "Koszty po\x9Crednie=10", "Koszty zakupu=3", "Zysk Kb=5", "Zysk Kp=5", "Zysk Kz=5"},
       '.', [](Image& i) { i.Int(4, 'R'); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Import import(ResourceFile({}, c.lines, c.decimalSymbol));
    const auto* token = OnlyResource(import);
    ASSERT_NE(token, nullptr);
    Image expected = InitialResource();
    c.expect(expected);
    EXPECT_TRUE(SameBytes(*token, expected));
  }
}

// The correction factor multiplies the consumption and joins its text.
TEST(ResourceRecord, CorrectionFactor) {
  struct Case {
    const char* consumption;  // nullptr: no "Tarvo" line
    std::string factor;
    char decimalSymbol;
    double result;
    const char* text;
  };
  const Case cases[] = {
      {"0.25", "1.5", '.', 0.375, "0.25*1.5"},    {"0.25", "0.125", '.', 0.03125, "0.25*0.125"},
      {"0.25", "-0.5", '.', -0.125, "0.25*-0.5"},  {"0.25", "2.50", '.', 0.625, "0.25*2.5"},
      {"0.25", "10", '.', 2.5, "0.25*10"},         {"0,25", "2", ',', 0.5, "0.25*2"},
      {"1,50", "2", ',', 3.0, "1.50*2"},           {"0.25", "1.0", '.', 0.25, "0.25"},
      {"0.25", "1,0", '.', 0.25, "0.25"},          {"0,25", "1,0", ',', 0.25, "0.25"},
      {"0.25", "", '.', 0.0, "0.25*0"},            {nullptr, "1.5", '.', 1.5, ""},
      {"", "2", '.', 0.0, "0.000000*2.000000"},
      // A factor that is only a sign reads as +0.0, which shows in the text.
      {"0.25", "-", '.', 0.0, "0.25*0"},           {"", "-x1", '.', 0.0, "0.000000*0.000000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.consumption ? c.consumption : "-") + " * " + c.factor);
    std::vector<std::string> lines{kFactor + c.factor};
    if (c.consumption) lines.insert(lines.begin(), std::string("Tarvo=") + c.consumption);
    Import import(ResourceFile({}, lines, c.decimalSymbol));
    const auto* token = OnlyResource(import);
    ASSERT_NE(token, nullptr);
    EXPECT_TRUE(SameBytes(*token, InitialResource().Double(208, c.result).Text(420, c.text)));
  }
}

TEST(ResourceRecord, InvestorQuantity) {
  struct Case { const char* name; std::vector<std::string> positionLines, lines; int32_t matches; };
  const std::vector<std::string> ten{"Obmiar=10"};
  const Case cases[] = {
      {"within 5 % above", ten, {"Tarvo=2", kInvestor + "20.9"}, 1},
      {"beyond 5 % above", ten, {"Tarvo=2", kInvestor + "21.1"}, 0},
      {"within 5 % below", ten, {"Tarvo=2", kInvestor + "19.1"}, 1},
      {"beyond 5 % below", ten, {"Tarvo=2", kInvestor + "19"}, 0},
      {"the factor counts", ten, {"Tarvo=2", kFactor + "1.5", kInvestor + "30"}, 1},
      {"without consumption", ten, {kInvestor + "10"}, 1},
      {"investor 0 never", {"Obmiar=0"}, {"Tarvo=0", kInvestor + "0"}, 0},
      {"no position before", {}, {"Tarvo=20", kInvestor + "20"}, 0},
      {"negative investor against a positive total", ten, {"Tarvo=2", kInvestor + "-20"}, 0},
      {"negative total and investor", {"Obmiar=-10"}, {"Tarvo=2", kInvestor + "-20.5"}, 1},
      {"negative, beyond 5 %", {"Obmiar=-10"}, {"Tarvo=2", kInvestor + "-21.1"}, 0},
      {"latest position counts", {"Obmiar=10", "[Pozycja 2]", "Obmiar=100"},
       {"Tarvo=2", kInvestor + "200"}, 1},
      {"an element between keeps the position", {"Obmiar=10", "[Element 2]"},
       {"Tarvo=2", kInvestor + "20"}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Import import(ResourceFile(c.positionLines, c.lines));
    const auto* token = OnlyResource(import);
    ASSERT_NE(token, nullptr);
    EXPECT_EQ(token->Int(312), c.matches);
    EXPECT_EQ(token->Int(316), 0);
  }
}

// "%f*%f" as the C library writes it in the "C" locale.
std::string FixedFormula(double consumption, double factor) {
  char text[700];
  std::snprintf(text, sizeof text, "%f*%f", consumption, factor);
  return text;
}

TEST(ResourceRecord, FormulaLimits) {
  const std::string tarvo = "Tarvo=0.5" + Filler(297);   // 300 characters, cut to 251
  const std::string cut = tarvo.substr(6, 251), shorter = "0.5" + Filler(246);  // 249
  ASSERT_EQ(FixedFormula(0.0, 1e234).size(), 251u);
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    std::string text;
    double consumption;
    bool whole;  // every byte predictable
  };
  const Case cases[] = {
      {"the cut text with factor 2", {tarvo, kFactor + "2"}, cut + "*2", 1.0, false},
      {"255 characters fit exactly", {tarvo, kFactor + "1.5"}, cut + "*1.5", 0.75, true},
      {"256 characters leave the text empty", {tarvo, kFactor + "1.25"}, "", 0.625, false},
      // A whole text of exactly 251 characters carries a 0 slot, not the
      // address that the earlier cut value left there.
      {"251 characters after a cut value", {tarvo, "Tarvo=" + shorter, kFactor + "2"},
       shorter + "*2", 1.0, true},
      // The same for "%f*%f": 0.000000, '*' and 1e234 written out in full
      // make 251 characters, behind which the cut value left its address.
      {"251 characters of an empty consumption after a cut value",
       {tarvo, "Tarvo=", kFactor + "1e234"}, FixedFormula(0.0, 1e234), 0.0, true},
      // "%f*%f" of these would need more than 300 characters.
      {"empty consumption, factor 1e300", {"Tarvo=", kFactor + "1e300"}, "", 0.0, true},
      {"empty consumption, factor -1e300", {"Tarvo=", kFactor + "-1e300"}, "", -0.0, true},
      {"consumption text, factor 1e300", {"Tarvo=0.5", kFactor + "1e300"}, "", 0.5 * 1e300, false},
      {"long text, factor 1e300", {"Tarvo=0.5" + Filler(250), kFactor + "1e300"}, "",
       0.5 * 1e300, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Import import(ResourceFile({}, c.lines));
    const auto* token = OnlyResource(import);
    ASSERT_NE(token, nullptr);
    EXPECT_EQ(token->Text(420), c.text);
    EXPECT_EQ(token->Double(208), c.consumption);
    EXPECT_EQ(token->Int(676), 0);
    if (c.whole) {
      EXPECT_TRUE(SameBytes(*token, InitialResource().Double(208, c.consumption).Text(420, c.text)));
    }
  }
}

}  // namespace
