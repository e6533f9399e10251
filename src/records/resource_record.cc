#include <cmath>
#include <cstring>

#include "reader/numbers.h"
#include "records/records.h"

namespace imp {
namespace {

// Agreement of the investor's quantity with the resource's total quantity.
constexpr double kInvestorTolerance = 0.05;
// Longest text the consumption field holds (the field has 256 bytes).
constexpr size_t kMaxConsumptionText = sizeof(ResourceRecord::consumptionText) - 1;

struct ResourceBuild {
  ResourceRecord* record;
  double correctionFactor = 1.0;
  double investorQuantity = 0.0;
};

// Handles one key line; false when memory ran out.
bool HandleKey(ResourceBuild& build, LineReader& reader, SurchargeTallies& tallies) {
  ResourceRecord* r = build.record;
  if (reader.KeyIs("Typ")) {
    r->kind = reader.FieldChar(0, 0);
  } else if (reader.KeyIs("Nazwa")) {
    return reader.CopyTextField(r->name, 0, sizeof r->name, 1);
  } else if (reader.KeyIs("Indeks")) {
    return reader.CopyTextField(r->indexCode, 0, sizeof r->indexCode, 1);
  } else if (reader.KeyIs("JM")) {
    return reader.CopyTextField(r->unit, 0, sizeof r->unit, 1);
  } else if (reader.KeyIs("Cena")) {
    r->price = reader.FieldDouble(0, 0.0);
  } else if (reader.KeyIs("Tarvo")) {
    // Reading the number first turns the decimal symbol into '.', so the
    // text keeps a '.' too.
    r->consumption = reader.FieldDouble(0, 0.0);
    return reader.CopyTextField(r->consumptionText, 0, sizeof r->consumptionText, 1);
  } else if (reader.KeyIs("Sta\xB3y nak\xB3" "ad")) {
    r->fixedInput = reader.FieldInt(0, 0);
  } else if (reader.KeyIs("Nie uwzgl\xEA" "dniaj przy liczeniu materia\xB3\xF3w pomocmiczych")) {
    r->includeInAuxiliaryMaterials = reader.FieldInt(0, 0) == 0 ? 1 : 0;
  } else if (reader.KeyIs("Ilo\x9C\xE6 inwestora")) {
    build.investorQuantity = reader.FieldDouble(0, 0.0);
  } else if (reader.KeyIs("Wsp\xF3\xB3" "czynnik koryguj\xB9" "cy")) {
    build.correctionFactor = reader.FieldDouble(0, 0.0);
  } else if (reader.KeyIs("Koszty zakupu")) {
    return tallies.purchaseCost.Add(reader.FieldDouble(0, 0.0));
  } else if (reader.KeyIs("Koszty po\x9Crednie")) {
    return tallies.indirectCost.Add(reader.FieldDouble(0, 0.0), r->kind);
  } else if (reader.KeyIs("Zysk Kb")) {
    return tallies.profitKb.Add(reader.FieldDouble(0, 0.0), r->kind);
  } else if (reader.KeyIs("Zysk Kp")) {
    return tallies.profitKp.Add(reader.FieldDouble(0, 0.0), r->kind);
  } else if (reader.KeyIs("Zysk Kz")) {
    return tallies.profitKz.Add(reader.FieldDouble(0, 0.0));
  }
  return true;
}

// The investor's quantity matches when it lies within 5 % of the total,
// measured against its magnitude (a negative quantity must be close too).
bool InvestorQuantityMatches(double total, double investorQuantity) {
  return std::fabs(total - investorQuantity) / std::fabs(investorQuantity) < kInvestorTolerance;
}

// A formula text of exactly 251 characters would be read as carrying the
// address of a full text in the field's last 4 bytes, where an earlier cut
// "Tarvo" value may have left one. The formula is whole: its address is 0.
void MarkWhole(ResourceRecord* r, size_t length) {
  constexpr size_t kSlotOffset = sizeof r->consumptionText - 4;
  if (length == kSlotOffset - 1) std::memset(r->consumptionText + kSlotOffset, 0, 4);
}

// Records a correction factor in the consumption text: "0.25" and 1.5 give
// "0.25*1.5". The factor loses the zeros at the end of its fraction, and
// its point when nothing is left behind it.
void ApplyCorrectionToText(ResourceRecord* r, double factor) {
  char* text = r->consumptionText;
  if (text[0] != '\0') {
    // The working text holds the longest possible result: 255 characters,
    // the '*', and the factor written out in full.
    char formula[kMaxConsumptionText + 1 + kFixedTextSize];
    size_t length = std::strlen(text);
    std::memcpy(formula, text, length);
    formula[length++] = '*';
    length += FormatFixed(factor, formula + length);
    while (formula[length - 1] == '0') --length;
    if (formula[length - 1] == '.') --length;
    if (length > kMaxConsumptionText) {
      text[0] = '\0';
      return;
    }
    std::memcpy(text, formula, length);
    text[length] = '\0';
    MarkWhole(r, length);
    return;
  }
  if (r->consumption != 1.0) {
    char consumption[kFixedTextSize], factorText[kFixedTextSize];
    const size_t a = FormatFixed(r->consumption, consumption);
    const size_t b = FormatFixed(factor, factorText);
    if (a + 1 + b > kMaxConsumptionText) return;  // does not fit: stays empty
    std::memcpy(text, consumption, a);
    text[a] = '*';
    std::memcpy(text + a + 1, factorText, b + 1);
    MarkWhole(r, a + 1 + b);
  }
}

}  // namespace

void InitResourceRecord(ResourceRecord* record) noexcept {
  std::memset(record, 0, sizeof *record);
  record->recordTag = IMP_TAG_RESOURCE;
  record->kind = IMP_KIND_AUXILIARY;
  record->reserved168 = 1;
  record->consumption = 1.0;
  record->reserved360 = 1.0;
  record->includeInAuxiliaryMaterials = 1;
}

bool BuildResource(ResourceRecord* record, const PositionRecord* currentPosition,
                   BuildContext& context) noexcept {
  InitResourceRecord(record);
  ResourceBuild build{record};
  while (context.NextKeyLine()) {
    if (!HandleKey(build, context.reader, context.tallies)) return false;
  }

  if (currentPosition != nullptr && build.investorQuantity != 0.0) {
    const double total = currentPosition->quantity * record->consumption * build.correctionFactor;
    if (InvestorQuantityMatches(total, build.investorQuantity)) record->investorQuantityMatches = 1;
  }

  if (build.correctionFactor != 1.0) {
    ApplyCorrectionToText(record, build.correctionFactor);
    record->consumption = build.correctionFactor * record->consumption;
  }
  return true;
}

}  // namespace imp
