#include "records/position_record.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "reader/numbers.h"
#include "records/check_reading.h"

namespace imp {
namespace {

// Writes the texts separated by blanks into `dest`. The fields they come
// from are short enough for the whole result to fit; a longer one is cut.
void JoinWithBlanks(char* dest, size_t size, std::initializer_list<const char*> texts) {
  size_t used = 0;
  bool first = true;
  for (const char* text : texts) {
    if (!first && used + 1 < size) dest[used++] = ' ';
    first = false;
    size_t length = std::strlen(text);
    if (length > size - 1 - used) length = size - 1 - used;
    std::memcpy(dest + used, text, length);
    used += length;
  }
  dest[used] = '\0';
}

// "%d-%02d" of k / 100 and k % 100, the common four digits without printf.
void FormatCatalogueNumber(int32_t k, char* out, size_t size) {
  if (k < 0 || k > 9999) {
    std::snprintf(out, size, "%d-%02d", static_cast<int>(k / 100), static_cast<int>(k % 100));
    return;
  }
  const int hundreds = k / 100, rest = k % 100;
  size_t n = 0;
  if (hundreds >= 10) out[n++] = static_cast<char>('0' + hundreds / 10);
  out[n++] = static_cast<char>('0' + hundreds % 10);
  out[n++] = '-';
  out[n++] = static_cast<char>('0' + rest / 10);
  out[n++] = static_cast<char>('0' + rest % 10);
  out[n] = '\0';
}

// A KNR basis: catalogue "KNR" and a column whose first '-' is its fifth
// character, as in "0202-0101-02": catalogue number 2-02, table 0101-02.
// Each half is decided on its own key line, from the field as read.
bool IsKnrCatalogue(const char* catalogue) { return std::strcmp(catalogue, "KNR") == 0; }

bool IsKnrColumn(const char* column) {
  const char* dash = std::strchr(column, '-');
  return dash != nullptr && dash - column == 4;
}

}  // namespace

void RecordReading::Start(PositionRecord* record, CatalogueDetail* detail) noexcept {
  std::memset(record, 0, sizeof *record);
  record->recordTag = IMP_TAG_POSITION;
  record->reservedId = -1;
  record->multiplicity = 1.0;
  std::memset(detail, 0, sizeof *detail);
}

// The basis as one text; a KNR basis keeps its parts in the catalogue
// detail `kept` behind the record's slot, nullptr for any other basis.
void RecordReading::Finish(PositionRecord* record, CatalogueDetail* detail,
                           CatalogueDetail* kept) noexcept {
  char* reference = record->catalogueReference;
  const size_t size = sizeof record->catalogueReference;
  if (kept == nullptr) {
    JoinWithBlanks(reference, size, {detail->catalogue, detail->tableColumn});
    return;
  }
  // The number before the dash: up to four digits, 0202 -> "2-02"; blanks
  // or a sign before them are read as atoi reads them.
  const int32_t k = ParseInt(detail->tableColumn);
  FormatCatalogueNumber(k, detail->catalogueNumber, sizeof detail->catalogueNumber);
  // The part after the dash moves to the front; the field's last 4 bytes
  // stay as they were.
  const char* table = std::strchr(detail->tableColumn, '-') + 1;
  std::memmove(detail->tableColumn, table, std::strlen(table) + 1);
  JoinWithBlanks(reference, size,
                 {detail->catalogue, detail->catalogueNumber, detail->tableColumn});
  std::memcpy(kept, detail, sizeof *detail);
}

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

template void ReadPosition(PositionRecord*, RecordReading&);
template void ReadPosition(PositionRecord*, PlanReading&);
template void ReadPosition(PositionRecord*, CheckReading&);

}  // namespace imp
