// Position sections, "[Pozycja 1.2]": a priced item of work with its basis
// (catalogue reference), description, unit, quantity, price and
// multiplicity, as a PositionRecord. A KNR basis also gets a
// CatalogueDetail behind a slot; the numbered measurement lines and the
// auxiliary materials go to the position's MeasurementLines.
#ifndef IMPORDANO_RECORDS_POSITION_RECORD_H_
#define IMPORDANO_RECORDS_POSITION_RECORD_H_

#include <cstring>

#include "impordano.h"
#include "records/section_reading.h"

namespace imp {

// A KNR basis: catalogue "KNR" and a column whose first '-' is its fifth
// character, as in "0202-0101-02": catalogue number 2-02, table 0101-02.
// Each half is decided on its own key line, from the field as read.
inline bool IsKnrCatalogue(const char* catalogue) { return std::strcmp(catalogue, "KNR") == 0; }

inline bool IsKnrColumn(const char* column) {
  const char* dash = std::strchr(column, '-');
  return dash != nullptr && dash - column == 4;
}

// Reads the section whose header the reader has just read
// (section_reading.h): the catalogue detail of a KNR basis is a block
// behind the record's slot, the measurement lines go to the position's
// MeasurementLines.
template <class Reading>
void ReadPosition(PositionRecord* record, Reading& reading) {
  // Read here, and kept behind the slot only for a KNR basis.
  CatalogueDetail detail;
  reading.Start(record, &detail);
  bool knrCatalogue = false, knrColumn = false;

  LineReader& reader = reading.Reader();
  while (reading.ReadLine() == kKeyLine) {
    switch (const Key key = reader.KeyOf()) {
      case Key::kCatalogue:
        reading.Text(detail.catalogue, 0);
        knrCatalogue = IsKnrCatalogue(reader.FieldText(0));
        break;
      case Key::kColumn:
        reading.Text(detail.tableColumn, 0);
        knrColumn = IsKnrColumn(reader.FieldText(0));
        break;
      case Key::kDescription:
        reading.Text(record->description, 0);
        break;
      case Key::kQuantity:
        record->quantity = reading.Double(0);
        break;
      case Key::kUnit:
        reading.Text(record->unit, 0);
        reading.Text(record->secondUnit, 1);
        break;
      case Key::kSimplified: {
        const uint32_t simplified = static_cast<uint32_t>(reading.Int(0)) & 1u;
        record->flags = (record->flags & ~IMP_POSITION_FLAG_SIMPLIFIED) | simplified;
        break;
      }
      case Key::kMultiplicity:
        record->multiplicity = reading.Double(0);
        break;
      case Key::kPrice:
        record->price = reading.Double(0);
        break;
      case Key::kLineMeasurement:
      case Key::kLineComment: {
        const int32_t number = reader.KeyNumber();
        if (number < 1) {  // names no line
          reading.KeyPassedOver();
          break;
        }
        reading.MeasurementLine(number, key == Key::kLineMeasurement);
        break;
      }
      case Key::kAuxiliaryMaterials:
        reading.AuxiliaryMaterials();
        break;
      default:  // "Uwagi" and keys of other sections are not passed on
        reading.KeyPassedOver();
        break;
    }
  }
  CatalogueDetail* kept = nullptr;
  if (knrCatalogue && knrColumn) {
    kept = reading.template NewBlock<CatalogueDetail>(&record->catalogueDetail);
  }
  reading.Finish(record, &detail, kept);
}

// Compiled for the import's two readings in position_record.cc.
extern template void ReadPosition(PositionRecord*, RecordReading&);
extern template void ReadPosition(PositionRecord*, PlanReading&);

}  // namespace imp

#endif  // IMPORDANO_RECORDS_POSITION_RECORD_H_
