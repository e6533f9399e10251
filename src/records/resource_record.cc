#include "records/resource_record.h"

#include <cmath>
#include <cstring>

#include "reader/numbers.h"

namespace imp {
namespace {

// Agreement of the investor's quantity with the resource's total quantity.
constexpr double kInvestorTolerance = 0.05;
// Longest text the consumption field holds (the field has 256 bytes).
constexpr size_t kMaxConsumptionText = sizeof(ResourceRecord::consumptionText) - 1;

// The investor's quantity matches when it lies within 5 % of the total,
// measured against its magnitude (a negative quantity must be close too).
bool InvestorQuantityMatches(double total, double investorQuantity) {
  return std::fabs(total - investorQuantity) / std::fabs(investorQuantity) < kInvestorTolerance;
}

// A formula text of exactly 251 characters would be read as carrying the
// address of a full text in the field's last 4 bytes, where an earlier cut
// "Tarvo" value may have left one. The formula is whole: its address is 0.
void MarkWhole(ResourceRecord* r, size_t length) {
  constexpr size_t kSize = sizeof r->consumptionText;
  if (length == IMP_LONG_TEXT_CUT_LENGTH(kSize)) {
    std::memset(r->consumptionText + IMP_LONG_TEXT_SLOT_OFFSET(kSize), 0, IMP_LONG_TEXT_SLOT_SIZE);
  }
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

void RecordReading::Start(ResourceRecord* record) noexcept { InitResourceRecord(record); }

// The consumption is corrected by the factor, in its text too; the
// investor's quantity is compared with the total of the latest position's
// quantity, when one came before.
void RecordReading::Finish(ResourceRecord* record, double correctionFactor,
                           double investorQuantity) noexcept {
  if (positionQuantity_ != nullptr && investorQuantity != 0.0) {
    const double total = *positionQuantity_ * record->consumption * correctionFactor;
    if (InvestorQuantityMatches(total, investorQuantity)) record->investorQuantityMatches = 1;
  }
  if (correctionFactor != 1.0) {
    ApplyCorrectionToText(record, correctionFactor);
    record->consumption = correctionFactor * record->consumption;
  }
}

template void ReadResource(ResourceRecord*, RecordReading&);
template void ReadResource(ResourceRecord*, PlanReading&);

}  // namespace imp
