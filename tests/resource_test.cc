// Resource records from whole imports, byte by byte: fields, the correction
// factor and its formula text, and the investor-quantity mark.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "record_image.h"
#include "test_support.h"

namespace {

using imp_test::File;
using imp_test::Filler;
using imp_test::Image;
using imp_test::Import;
using imp_test::LongText;
using imp_test::SameBytes;

constexpr int32_t P = IMP_TOKEN_POSITION, ML = IMP_TOKEN_MEASUREMENT_LINE,
                  RES = IMP_TOKEN_RESOURCE, SUM = IMP_TOKEN_SUMMARY;
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
  std::string file = File({}, decimalSymbol);
  if (!positionLines.empty()) file += "[Pozycja 1]\n";
  for (const auto& line : positionLines) file += line + "\n";
  file += "[RMS 1.1]\n";
  for (const auto& line : lines) file += line + "\n";
  return file;
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
      {"material with decimal comma", {"Typ=M", "Tarvo=0,25", "Cena=300"}, ',',
       [](Image& i) { i.Int(4, 'M').Double(208, 0.25).Text(420, "0.25").Double(216, 300.0); }},
      {"comma price", {"Cena=300,5"}, ',', [](Image& i) { i.Double(216, 300.5); }},
      {"empty price", {"Cena=300", "Cena="}, '.', [](Image&) {}},
      {"only the first comma turns into a point", {"Tarvo=1,5,3"}, ',',
       [](Image& i) { i.Double(208, 1.5).Text(420, "1.5,3"); }},
      {"material with factor 2", {"Typ=M", "Tarvo=0,25", "Cena=300", kFactor + "2"}, ',',
       [](Image& i) { i.Int(4, 'M').Double(208, 0.5).Text(420, "0.25*2").Double(216, 300.0); }},
      {"factor without consumption", {kFactor + "1.5"}, '.', [](Image& i) { i.Double(208, 1.5); }},
      {"empty consumption and factor 2", {"Tarvo=", kFactor + "2"}, '.',
       [](Image& i) { i.Double(208, 0.0).Text(420, "0.000000*2.000000"); }},
      {"factor 1.0 changes nothing", {"Tarvo=0.25", kFactor + "1.0"}, '.',
       [](Image& i) { i.Double(208, 0.25).Text(420, "0.25"); }},
      {"factor 1,0 reads as 1", {"Tarvo=0.25", kFactor + "1,0"}, '.',
       [](Image& i) { i.Double(208, 0.25).Text(420, "0.25"); }},
      {"factor 1,0 with decimal comma", {"Tarvo=0,25", kFactor + "1,0"}, ',',
       [](Image& i) { i.Double(208, 0.25).Text(420, "0.25"); }},
      {"empty factor gives 0", {"Tarvo=0.25", kFactor}, '.',
       [](Image& i) { i.Double(208, 0.0).Text(420, "0.25*0"); }},
      {"empty factor, no consumption", {kFactor}, '.', [](Image& i) { i.Double(208, 0.0); }},
      {"zeros of the consumption stay", {"Tarvo=1,50", kFactor + "2"}, ',',
       [](Image& i) { i.Double(208, 3.0).Text(420, "1.50*2"); }},
      {"zeros before the factor's point stay", {"Tarvo=0.25", kFactor + "100"}, '.',
       [](Image& i) { i.Double(208, 25.0).Text(420, "0.25*100"); }},
      {"lower-case kind", {"Typ=r"}, '.', [](Image& i) { i.Int(4, 'r'); }},
      {"empty kind", {"Typ=R", "Typ="}, '.', [](Image& i) { i.Int(4, 0); }},
      {"kind is the first byte", {"Typ=Sx"}, '.', [](Image& i) { i.Int(4, 'S'); }},
      {"kind byte is unsigned", {"Typ=\xB3"}, '.', [](Image& i) { i.Int(4, 0xB3); }},
      {"texts", {"Nazwa=Cement \xB3\tx", "Indeks=1234", "JM=kg\tt"}, '.',
       [](Image& i) { i.Text(8, "Cement \xB3").Text(136, "1234").Text(172, "kg"); }},
      {"fixed input", {"Sta\xB3y nak\xB3" "ad=7"}, '.', [](Image& i) { i.Int(412, 7); }},
      {"fixed input empty", {"Sta\xB3y nak\xB3" "ad=7", "Sta\xB3y nak\xB3" "ad="}, '.',
       [](Image&) {}},
      {"not auxiliary 0", {kNotAuxiliary + "0"}, '.', [](Image&) {}},
      {"not auxiliary 5", {kNotAuxiliary + "5"}, '.', [](Image& i) { i.Int(416, 0); }},
      {"not auxiliary empty", {kNotAuxiliary + "5", kNotAuxiliary}, '.', [](Image&) {}},
      {"not auxiliary text", {kNotAuxiliary + "tak"}, '.', [](Image&) {}},
      {"rates leave the record alone",
       {"Typ=R", "Koszty po\x9Crednie=10", "Koszty zakupu=3", "Zysk Kb=5", "Zysk Kp=5", "Zysk Kz=5"},
       '.', [](Image& i) { i.Int(4, 'R'); }},
      {"keys in UTF-8 are unknown",
       {"Wsp\xC3\xB3\xC5\x82" "czynnik koryguj\xC4\x85" "cy=2", "Sta\xC5\x82y nak\xC5\x82" "ad=7"},
       '.', [](Image&) {}},
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

TEST(ResourceRecord, FactorFormula) {
  const std::pair<const char*, const char*> factors[] = {
      {"1.5", "0.25*1.5"}, {"2", "0.25*2"},   {"10", "0.25*10"},    {"0.125", "0.25*0.125"},
      {"0", "0.25*0"},     {"-0.5", "0.25*-0.5"}, {"2.50", "0.25*2.5"},
  };
  for (const auto& f : factors) {
    SCOPED_TRACE(f.first);
    Import import(ResourceFile({}, {"Tarvo=0.25", kFactor + f.first}));
    const auto* token = OnlyResource(import);
    ASSERT_NE(token, nullptr);
    EXPECT_TRUE(SameBytes(*token, InitialResource()
                                      .Double(208, 0.25 * std::atof(f.first))
                                      .Text(420, f.second)));
  }
}

TEST(ResourceRecord, KindDecidesThePlace) {
  // Every kind but an upper-case 'S' goes right after the position.
  const std::pair<const char*, bool> kinds[] = {
      {"Typ=r", true}, {"Typ=", true}, {"Typ=s", true}, {"Typ=M", true}, {"Typ=S", false}};
  for (const auto& k : kinds) {
    SCOPED_TRACE(k.first);
    Import import(ResourceFile({"Przedmiar 1=x"}, {k.first}));
    EXPECT_EQ(import.Types(), k.second ? (std::vector<int32_t>{P, RES, ML, SUM})
                                       : (std::vector<int32_t>{P, ML, RES, SUM}));
  }
}

TEST(ResourceRecord, InvestorQuantity) {
  struct Case {
    const char* name;
    std::vector<std::string> positionLines;
    std::vector<std::string> lines;
    int32_t matches;
  };
  const std::vector<std::string> ten{"Obmiar=10"};
  const Case cases[] = {
      {"within 5 % above", ten, {"Tarvo=2", kInvestor + "20.9"}, 1},
      {"beyond 5 % above", ten, {"Tarvo=2", kInvestor + "21.1"}, 0},
      {"within 5 % below", ten, {"Tarvo=2", kInvestor + "19.1"}, 1},
      {"beyond 5 % below", ten, {"Tarvo=2", kInvestor + "19"}, 0},
      {"the factor counts", ten, {"Tarvo=2", kFactor + "1.5", kInvestor + "30"}, 1},
      {"the factor counts against", ten, {"Tarvo=2", kFactor + "1.5", kInvestor + "20"}, 0},
      {"without consumption", ten, {kInvestor + "10"}, 1},
      {"investor 0 never", {"Obmiar=0"}, {"Tarvo=0", kInvestor + "0"}, 0},
      {"investor empty never", {"Obmiar=0"}, {"Tarvo=0", kInvestor}, 0},
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

TEST(ResourceRecord, FormulaLimits) {
  const std::string tarvo = "Tarvo=0.5" + Filler(297);   // 300 characters, cut to 251
  const std::string cut = tarvo.substr(6, 251), shorter = "0.5" + Filler(246);  // 249
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    std::string text, full;  // full: the text behind the slot
    double consumption;
    bool whole;  // every byte predictable
  };
  const Case cases[] = {
      {"cut to 251 with the slot", {tarvo}, cut, tarvo.substr(6), 0.5, false},
      {"the cut text with factor 2", {tarvo, kFactor + "2"}, cut + "*2", "", 1.0, false},
      {"255 characters fit exactly", {tarvo, kFactor + "1.5"}, cut + "*1.5", "", 0.75, true},
      {"256 characters leave the text empty", {tarvo, kFactor + "1.25"}, "", "", 0.625, false},
      // A whole text of exactly 251 characters carries a 0 slot, not the
      // address that the earlier cut value left there.
      {"251 characters after a cut value", {tarvo, "Tarvo=" + shorter, kFactor + "2"},
       shorter + "*2", "", 1.0, true},
      // "%f*%f" of these would need more than 300 characters.
      {"empty consumption, factor 1e300", {"Tarvo=", kFactor + "1e300"}, "", "", 0.0, true},
      {"empty consumption, factor -1e300", {"Tarvo=", kFactor + "-1e300"}, "", "", -0.0, true},
      {"consumption text, factor 1e300", {"Tarvo=0.5", kFactor + "1e300"}, "", "", 0.5 * 1e300, false},
      {"long text, factor 1e300", {"Tarvo=0.5" + Filler(250), kFactor + "1e300"}, "", "",
       0.5 * 1e300, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Import import(ResourceFile({}, c.lines));
    const auto* token = OnlyResource(import);
    ASSERT_NE(token, nullptr);
    EXPECT_EQ(token->Text(420), c.text);
    EXPECT_EQ(LongText(token->As<ResourceRecord>().consumptionText, 256), c.full);
    EXPECT_EQ(token->Double(208), c.consumption);
    EXPECT_EQ(token->Int(676), 0);
    if (c.whole) {
      EXPECT_TRUE(SameBytes(*token, InitialResource().Double(208, c.consumption).Text(420, c.text)));
    }
  }
}

}  // namespace
