// The summary of surcharges, from the rates on the resource lines of whole
// imports: the summary record and every cost item, whole.
#include <gtest/gtest.h>

#include "test_support.h"

namespace {

using namespace imp_test;

const std::string kIndirect = "Koszty po\x9Crednie=", kPurchase = "Koszty zakupu=",
                  kKb = "Zysk Kb=", kKp = "Zysk Kp=", kKz = "Zysk Kz=";
constexpr int32_t B = 'B', W = 'W';

struct Item { std::string name; double rate; int32_t labour, material, equipment; };
const std::string kIndirectItem = "Koszty po\x9Crednie";
const std::string kIndirectS = "Koszty po\x9Crednie S";
const Item kNoIndirect{kIndirectItem, 0.0, 0, 0, 0};
const Item kNoPurchase{"Koszty zakupu", 0.0, 0, B, 0};
const Item kNoProfit{"Zysk", 0.0, 0, 0, 0};

// One resource section; no "Typ" line when `kind` is empty.
std::string Rms(const std::string& kind, const std::vector<std::string>& lines) {
  return "[RMS 1.1]\n" + (kind.empty() ? "" : "Typ=" + kind + "\n") + Lines(lines);
}

// The summary of an import without rates, and its first cost item: the
// base of every summary and cost item expected.
struct Bare { SummaryRecord summary; CostItem item; };
Bare BareSummary() {
  const Import import(File({}));
  const SummaryRecord summary = import.First<SummaryRecord>(IMP_TOKEN_SUMMARY);
  return {summary, *Follow<CostItem>(summary.items)};
}

// Checks the summary of `import` and each of its cost items.
void ExpectSummary(const Bare& bare, const Import& import, const std::vector<Item>& items) {
  ASSERT_EQ(import.OfType(IMP_TOKEN_SUMMARY).size(), 1u);
  const SummaryRecord summary = import.First<SummaryRecord>(IMP_TOKEN_SUMMARY);
  SummaryRecord expected = bare.summary;
  expected.itemCount = static_cast<int32_t>(items.size());
  expected.items = summary.items;
  EXPECT_TRUE(SameRecord(summary, expected));
  for (size_t i = 0; i < items.size(); ++i) {
    CostItem cost = bare.item;
    std::memset(cost.name, 0, sizeof cost.name);
    SetText(cost.name, items[i].name);
    cost.rate = items[i].rate;
    cost.labourBasis = items[i].labour;
    cost.materialBasis = items[i].material;
    cost.equipmentBasis = items[i].equipment;
    EXPECT_TRUE(SameRecord(Follow<CostItem>(summary.items)[i], cost)) << "item " << i;
  }
}

TEST(Summary, Cases) {
  struct Case { const char* name; std::string sections; std::vector<Item> items; };
  const Case cases[] = {
      {"no rates", "", {kNoIndirect, kNoPurchase, kNoProfit}},
      {"indirect R equal to S", Rms("R", {kIndirect + "12"}) + Rms("S", {kIndirect + "12"}),
       {{kIndirectItem, 12, B, 0, B}, kNoPurchase, kNoProfit}},
      {"indirect only on S", Rms("S", {kIndirect + "8"}),
       {kNoIndirect, {kIndirectS, 8, 0, 0, B}, kNoPurchase, kNoProfit}},
      {"indirect on M counts nowhere", Rms("M", {kIndirect + "8"}),
       {kNoIndirect, kNoPurchase, kNoProfit}},
      {"profit equal for R, M, S",
       Rms("R", {kKb + "10", kKp + "10"}) + Rms("M", {kKb + "10", kKz + "5"}) + Rms("S", {kKb + "10"}),
       {kNoIndirect, kNoPurchase, {"Zysk", 10, W, B, B}}},
      {"profit S equal to R with its own Kp",
       Rms("R", {kKb + "10", kKp + "3"}) + Rms("S", {kKb + "10", kKp + "10"}),
       {kNoIndirect, kNoPurchase, {"Zysk", 10, B, 0, W}}},
      {"six items",
       Rms("R", {kIndirect + "12", kKb + "10"}) + Rms("S", {kIndirect + "8", kKb + "5", kKp + "5"}) +
           Rms("M", {kKb + "7", kKz + "7", kPurchase + "3"}),
       {{kIndirectItem, 12, B, 0, 0},
        {kIndirectS, 8, 0, 0, B},
        {"Koszty zakupu", 3, 0, B, 0},
        {"Zysk", 10, B, 0, 0},
        {"Zysk M", 7, 0, W, 0},
        {"Zysk S", 5, 0, 0, W}}},
      {"profit only for M", Rms("M", {kKb + "7"}),
       {kNoIndirect, kNoPurchase, kNoProfit, {"Zysk M", 7, 0, B, 0}}},
      {"indirect before the kind counts nothing", Rms("", {kIndirect + "10", "Typ=R"}),
       {kNoIndirect, kNoPurchase, kNoProfit}},
      {"the kind at each line", Rms("R", {kIndirect + "10", "Typ=S", kIndirect + "8"}),
       {{kIndirectItem, 10, B, 0, 0}, {kIndirectS, 8, 0, 0, B}, kNoPurchase, kNoProfit}},
      {"lower-case kinds count nowhere", Rms("r", {kIndirect + "9", kKb + "9"}),
       {kNoIndirect, kNoPurchase, kNoProfit}},
      {"a bare sign reads as +0.0, not -0.0", Rms("M", {kPurchase + "-", kPurchase + "-x1"}),
       {kNoIndirect, kNoPurchase, kNoProfit}},
      // A rate is kept as the double it reads as.
      {"rates of one decimal", Rms("M", {kPurchase + "8.7", kKb + "12.3"}),
       {kNoIndirect, {"Koszty zakupu", 8.7, 0, B, 0}, kNoProfit, {"Zysk M", 12.3, 0, B, 0}}},
      {"purchase and Kz count for any kind",
       Rms("", {kPurchase + "4", kKz + "7"}) + Rms("M", {kKb + "7"}),
       {kNoIndirect, {"Koszty zakupu", 4, 0, B, 0}, kNoProfit, {"Zysk M", 7, 0, W, 0}}},
  };
  const Bare bare = BareSummary();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Import import(File({"[Kosztorys]", "[Pozycja 1]"}) + c.sections);
    ASSERT_GE(import.tokens.size(), 2u);
    EXPECT_EQ(import.tokens[1].type, IMP_TOKEN_SUMMARY);
    ExpectSummary(bare, import, c.items);
  }
}

TEST(Summary, ImportsDoNotMixTheirRates) {
  const Bare bare = BareSummary();
  {
    Import first(File({"[Pozycja 1]"}) + Rms("R", {kIndirect + "12", kKb + "4"}) +
                 Rms("M", {kPurchase + "3"}));
    ExpectSummary(bare, first, {{kIndirectItem, 12, B, 0, 0}, {"Koszty zakupu", 3, 0, B, 0},
                                {"Zysk", 4, B, 0, 0}});
  }
  Import second(File({"[Pozycja 1]"}) + Rms("R", {kIndirect + "8"}));
  ExpectSummary(bare, second, {{kIndirectItem, 8, B, 0, 0}, kNoPurchase, kNoProfit});
}

}  // namespace
