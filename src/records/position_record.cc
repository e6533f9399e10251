#include "records/position_record.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "reader/numbers.h"
#include "support/memory.h"

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
// The survey asks the two halves of the question on their own lines.
bool IsKnrCatalogue(const char* catalogue) { return std::strcmp(catalogue, "KNR") == 0; }

bool IsKnrColumn(const char* column) {
  const char* dash = std::strchr(column, '-');
  return dash != nullptr && dash - column == 4;
}

bool IsKnrBasis(const char* catalogue, const char* column) {
  return IsKnrCatalogue(catalogue) && IsKnrColumn(column);
}

// The basis as one text; a KNR basis keeps its parts in a catalogue detail
// behind the record's slot.
void BuildBasis(PositionRecord* record, CatalogueDetail* detail, Arena& blocks) {
  char* reference = record->catalogueReference;
  const size_t size = sizeof record->catalogueReference;
  if (!IsKnrBasis(detail->catalogue, detail->tableColumn)) {
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
  void* block = blocks.Allocate(sizeof *detail);
  std::memcpy(block, detail, sizeof *detail);
  record->catalogueDetail = SlotOf(block);
}

}  // namespace

void BuildPosition(PositionRecord* record, LineReader& reader, Arena& blocks, TakeOff& takeOff) {
  std::memset(record, 0, sizeof *record);
  record->recordTag = IMP_TAG_POSITION;
  record->reservedId = -1;
  record->multiplicity = 1.0;
  // Built here, and kept behind the slot only for a KNR basis.
  CatalogueDetail detail;
  std::memset(&detail, 0, sizeof detail);

  while (reader.ReadLine() == kKeyLine) {
    switch (const Key key = reader.KeyOf()) {
      case Key::kCatalogue:
        reader.CopyField(detail.catalogue, 0, sizeof detail.catalogue);
        break;
      case Key::kColumn:
        reader.CopyField(detail.tableColumn, 0, sizeof detail.tableColumn);
        break;
      case Key::kDescription:
        reader.CopyField(record->description, 0, sizeof record->description);
        break;
      case Key::kQuantity:
        record->quantity = reader.FieldDouble(0, 0.0);
        break;
      case Key::kUnit:
        reader.CopyField(record->unit, 0, sizeof record->unit);
        reader.CopyField(record->secondUnit, 1, sizeof record->secondUnit);
        break;
      case Key::kSimplified: {
        const uint32_t simplified = static_cast<uint32_t>(reader.FieldInt(0, 0)) & 1u;
        record->flags = (record->flags & ~IMP_POSITION_FLAG_SIMPLIFIED) | simplified;
        break;
      }
      case Key::kMultiplicity:
        record->multiplicity = reader.FieldDouble(0, 0.0);
        break;
      case Key::kPrice:
        record->price = reader.FieldDouble(0, 0.0);
        break;
      case Key::kMeasurementLine:
      case Key::kCommentLine: {
        const int32_t number = reader.KeyNumber();
        if (number < 1) break;  // names no line
        takeOff.AddLine(number, key == Key::kMeasurementLine, reader.FieldText(0),
                        reader.FieldLength(0));
        break;
      }
      case Key::kAuxiliaryMaterials:
        takeOff.SetAuxiliaryMaterials(reader.FieldDouble(0, 0.0));
        break;
      default:  // "Uwagi" and keys of other sections are not passed on
        break;
    }
  }
  BuildBasis(record, &detail, blocks);
}

void SurveyPosition(LineReader& reader, ImportPlan& plan) {
  bool knrCatalogue = false, knrColumn = false;
  size_t lines = 0, textBytes = 0;
  while (reader.ReadLine() == kKeyLine) {
    switch (reader.KeyOf()) {
      case Key::kCatalogue:
        plan.CountText(reader, 0, sizeof(CatalogueDetail::catalogue));
        knrCatalogue = IsKnrCatalogue(reader.FieldText(0));
        break;
      case Key::kColumn:
        plan.CountText(reader, 0, sizeof(CatalogueDetail::tableColumn));
        knrColumn = IsKnrColumn(reader.FieldText(0));
        break;
      case Key::kDescription:
        plan.CountText(reader, 0, sizeof(PositionRecord::description));
        break;
      case Key::kUnit:
        plan.CountText(reader, 0, sizeof(PositionRecord::unit));
        plan.CountText(reader, 1, sizeof(PositionRecord::secondUnit));
        break;
      case Key::kMeasurementLine:
      case Key::kCommentLine:
        if (reader.KeyNumber() < 1) break;
        plan.CountText(reader, 0, sizeof(MeasurementLineRecord::measurement));
        ++lines;
        textBytes += reader.FieldLength(0);
        break;
      default:
        break;
    }
  }
  if (knrCatalogue && knrColumn) plan.CountBlock(sizeof(CatalogueDetail));
  if (lines > plan.takeOffLines) plan.takeOffLines = lines;
  if (textBytes > plan.takeOffTextBytes) plan.takeOffTextBytes = textBytes;
}

}  // namespace imp
