#include "records/position_record.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "reader/numbers.h"

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

template void ReadPosition(PositionRecord*, RecordReading&);
template void ReadPosition(PositionRecord*, PlanReading&);

}  // namespace imp
