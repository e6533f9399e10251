// Resource records from whole imports: what each key line changes in the
// record of a section without keys, the correction factor and its formula
// text, and the investor-quantity mark.
#include <gtest/gtest.h>

#include <cstdio>

#include "test_support.h"

namespace {

using namespace imp_test;

constexpr int32_t RES = IMP_TOKEN_RESOURCE;
const std::string kFactor = "Wsp\xF3\xB3" "czynnik koryguj\xB9" "cy=";
const std::string kInvestor = "Ilo\x9C\xE6 inwestora=";
const std::string kNotAuxiliary = "Nie uwzgl\xEA" "dniaj przy liczeniu materia\xB3\xF3w pomocmiczych=";

TEST(ResourceRecord, KeyLines) {
  using R = ResourceRecord;
  const std::string fixedInput = "Sta\xB3y nak\xB3" "ad=";
  ExpectKeyLines<R>(RES, "[RMS 1.1]", {
      {"material with decimal comma", {"Typ=M", "Tarvo=0,25", "Cena=300,5"},
       [](R& r) { r.kind = 'M'; r.consumption = 0.25; SetText(r.consumptionText, "0.25"); r.price = 300.5; },
       ','},
      {"empty price", {"Cena=300", "Cena="}, [](R&) {}},
      {"a bare sign reads as +0.0", {"Cena=-", "Tarvo=- 3"},
       [](R& r) { r.consumption = 0.0; SetText(r.consumptionText, "- 3"); }},
      {"lower-case kind", {"Typ=r"}, [](R& r) { r.kind = 'r'; }},
      {"empty kind", {"Typ=R", "Typ="}, [](R& r) { r.kind = 0; }},
      {"kind is the first byte", {"Typ=Sx"}, [](R& r) { r.kind = 'S'; }},
      {"texts", {"Nazwa=Cement \xB3\tx", "Indeks=1234", "JM=kg\tt"},
       [](R& r) { SetText(r.name, "Cement \xB3"); SetText(r.indexCode, "1234"); SetText(r.unit, "kg"); }},
      {"fixed input", {fixedInput + "7"}, [](R& r) { r.fixedInput = 7; }},
      {"fixed input empty", {fixedInput + "7", fixedInput}, [](R&) {}},
      {"not auxiliary 0", {kNotAuxiliary + "0"}, [](R&) {}},
      {"not auxiliary 5", {kNotAuxiliary + "5"}, [](R& r) { r.includeInAuxiliaryMaterials = 0; }},
      {"not auxiliary empty", {kNotAuxiliary + "5", kNotAuxiliary}, [](R&) {}},
      {"rates leave the record alone",
       {"Typ=R", "Koszty po\x9Crednie=10", "Koszty zakupu=3", "Zysk Kb=5", "Zysk Kp=5", "Zysk Kz=5"},
       [](R& r) { r.kind = 'R'; }},
  });
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
  const ResourceRecord bare = Import(File({"[RMS 1]"})).First<ResourceRecord>(RES);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.consumption ? c.consumption : "-") + " * " + c.factor);
    std::string lines = "[RMS 1]\n";
    if (c.consumption) lines += std::string("Tarvo=") + c.consumption + "\n";
    const Import import(File({}, c.decimalSymbol) + lines + kFactor + c.factor + "\n");
    ResourceRecord expected = bare;
    expected.consumption = c.result;
    SetText(expected.consumptionText, c.text);
    EXPECT_TRUE(SameRecord(import.First<ResourceRecord>(RES), expected));
  }
}

// The mark compares the investor's quantity with the total (the latest
// position's quantity times the consumption), relative to the investor's
// quantity.
TEST(ResourceRecord, InvestorQuantity) {
  struct Case { const char* name; std::vector<std::string> positionLines, lines; int32_t matches; };
  const std::vector<std::string> ten{"[Pozycja 1]", "Obmiar=10"};
  const Case cases[] = {
      {"within 5 % above", ten, {"Tarvo=2", kInvestor + "20.9"}, 1},
      {"beyond 5 % above", ten, {"Tarvo=2", kInvestor + "21.1"}, 0},
      {"within 5 % below", ten, {"Tarvo=2", kInvestor + "19.1"}, 1},
      {"beyond 5 % below", ten, {"Tarvo=2", kInvestor + "19"}, 0},
      // 0.96 is 4.8 % of the total, but 5.04 % of the investor's 19.04;
      // 1.02 is 5.1 % of the total, but 4.85 % of the investor's 21.02.
      {"5 % of the investor's quantity, not of the total, below", ten, {"Tarvo=2", kInvestor + "19.04"}, 0},
      {"5 % of the investor's quantity, not of the total, above", ten, {"Tarvo=2", kInvestor + "21.02"}, 1},
      {"the factor counts", ten, {"Tarvo=2", kFactor + "1.5", kInvestor + "30"}, 1},
      {"without consumption", ten, {kInvestor + "10"}, 1},
      {"investor 0 never", {"[Pozycja 1]", "Obmiar=0"}, {"Tarvo=0", kInvestor + "0"}, 0},
      {"no position before", {}, {"Tarvo=20", kInvestor + "20"}, 0},
      {"negative investor against a positive total", ten, {"Tarvo=2", kInvestor + "-20"}, 0},
      {"negative total and investor", {"[Pozycja 1]", "Obmiar=-10"}, {"Tarvo=2", kInvestor + "-20.5"}, 1},
      {"negative, beyond 5 %", {"[Pozycja 1]", "Obmiar=-10"}, {"Tarvo=2", kInvestor + "-21.1"}, 0},
      {"latest position counts", {"[Pozycja 1]", "Obmiar=10", "[Pozycja 2]", "Obmiar=100"},
       {"Tarvo=2", kInvestor + "200"}, 1},
      {"an element between keeps the position", {"[Pozycja 1]", "Obmiar=10", "[Element 2]"},
       {"Tarvo=2", kInvestor + "20"}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Import import(File(c.positionLines) + "[RMS 1.1]\n" + Lines(c.lines));
    ASSERT_EQ(import.OfType(RES).size(), 1u);
    EXPECT_EQ(import.First<ResourceRecord>(RES).investorQuantityMatches, c.matches);
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
    bool whole;  // false: the field's bytes behind the NUL are not predictable
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
  const ResourceRecord bare = Import(File({"[RMS 1]"})).First<ResourceRecord>(RES);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Import import(File({"[RMS 1]"}) + Lines(c.lines));
    const ResourceRecord actual = import.First<ResourceRecord>(RES);
    EXPECT_EQ(actual.consumptionText, c.text);
    ResourceRecord expected = bare;
    expected.consumption = c.consumption;
    SetText(expected.consumptionText, c.text);
    if (!c.whole) {
      std::memcpy(expected.consumptionText, actual.consumptionText, sizeof expected.consumptionText);
    }
    EXPECT_TRUE(SameRecord(actual, expected));
  }
}

}  // namespace
