// Resource sections, "[RMS 1.2.3]": a labour ('R'), material ('M') or
// equipment ('S') line of the latest position, as a ResourceRecord, with
// its consumption corrected by the section's factor and the mark of an
// investor's quantity that agrees with the total. The surcharge rates the
// section gives are counted for the summary by the first reading.
#ifndef IMPORDANO_RECORDS_RESOURCE_RECORD_H_
#define IMPORDANO_RECORDS_RESOURCE_RECORD_H_

#include "impordano.h"
#include "records/section_reading.h"

namespace imp {

// The fixed values: kind 'A', consumption 1.0, included in the auxiliary
// materials, and the reserved 1 and 1.0.
void InitResourceRecord(ResourceRecord* record) noexcept;

// Reads the section whose header the reader has just read
// (section_reading.h); the investor's quantity is compared with the total
// of the latest position's quantity, when one came before.
template <class Reading>
void ReadResource(ResourceRecord* record, Reading& reading) {
  reading.Start(record);
  // A rate counts under the kind the section has at its line.
  int32_t kind = IMP_KIND_AUXILIARY;
  double correctionFactor = 1.0;
  double investorQuantity = 0.0;
  LineReader& reader = reading.Reader();
  while (reading.ReadLine() == kKeyLine) {
    switch (reader.KeyOf()) {
      case Key::kKind:
        kind = reading.Char(0, 0);
        record->kind = kind;
        break;
      case Key::kName:
        reading.Text(record->name, 0);
        break;
      case Key::kIndex:
        reading.Text(record->indexCode, 0);
        break;
      case Key::kUnit:
        reading.Text(record->unit, 0);
        break;
      case Key::kPrice:
        record->price = reading.Double(0);
        break;
      case Key::kConsumption:
        // The text keeps the number as it was read: with '.' for the
        // file's decimal symbol.
        record->consumption = reading.Double(0);
        reading.Text(record->consumptionText, 0, LineReader::DecimalSymbolAs::kPoint);
        break;
      case Key::kFixedInput:
        record->fixedInput = reading.Int(0);
        break;
      case Key::kNotAuxiliary:
        record->includeInAuxiliaryMaterials = reading.Int(0) == 0 ? 1 : 0;
        break;
      case Key::kInvestorQuantity:
        investorQuantity = reading.Double(0);
        break;
      case Key::kCorrectionFactor:
        correctionFactor = reading.Double(0);
        break;
      case Key::kPurchaseCost:
        reading.Rate([](SurchargeTallies& t, double rate) { return t.purchaseCost.Add(rate); });
        break;
      case Key::kIndirectCost:
        reading.Rate([kind](SurchargeTallies& t, double rate) {
          return t.indirectCost.Add(rate, kind);
        });
        break;
      case Key::kProfitKb:
        reading.Rate([kind](SurchargeTallies& t, double rate) { return t.profitKb.Add(rate, kind); });
        break;
      case Key::kProfitKp:
        reading.Rate([kind](SurchargeTallies& t, double rate) { return t.profitKp.Add(rate, kind); });
        break;
      case Key::kProfitKz:
        reading.Rate([](SurchargeTallies& t, double rate) { return t.profitKz.Add(rate); });
        break;
      default:
        reading.KeyPassedOver();
        break;
    }
  }
  reading.Finish(record, correctionFactor, investorQuantity);
}

// Compiled for the import's two readings in resource_record.cc.
extern template void ReadResource(ResourceRecord*, RecordReading&);
extern template void ReadResource(ResourceRecord*, PlanReading&);

}  // namespace imp

#endif  // IMPORDANO_RECORDS_RESOURCE_RECORD_H_
