#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <new>
#include <unordered_map>
#include <utility>
#include <vector>

#include "reader/numbers.h"
#include "records/records.h"
#include "support/memory.h"
#include "support/module_allocator.h"

namespace imp {
namespace {

constexpr char kAuxiliaryMaterials[] = "Materia\xB3y pomocnicze";
constexpr char kAuxiliaryIndex[] = "000000";
constexpr char kAuxiliaryUnit[] = "%";

// The numbered take-off lines of one position, by their number. Numbers are
// sparse ("Przedmiar 2000000000" is one line), so lines are kept in a map
// and sorted once, at the end of the section. Until they are queued the
// lines' entries belong to this object.
class MeasurementLines {
 public:
  ~MeasurementLines() {
    for (auto& line : byNumber_) TokenQueue::DeleteEntry(line.second);
  }

  // The record of line `number`, made with `entryKind` when it is new;
  // nullptr when memory runs out. Throws std::bad_alloc from the map.
  MeasurementLineRecord* Get(int32_t number, int32_t entryKind) {
    auto found = byNumber_.find(number);
    if (found != byNumber_.end()) return static_cast<MeasurementLineRecord*>(found->second->data);
    TokenEntry* entry = TokenQueue::NewEntry(IMP_TOKEN_MEASUREMENT_LINE, sizeof(MeasurementLineRecord));
    if (entry == nullptr) return nullptr;
    try {
      byNumber_.emplace(number, entry);
    } catch (...) {
      TokenQueue::DeleteEntry(entry);
      throw;
    }
    auto* record = static_cast<MeasurementLineRecord*>(entry->data);
    record->recordTag = IMP_TAG_MEASUREMENT_LINE;
    record->entryKind = entryKind;
    record->lineFlag = 1;
    return record;
  }

  // Appends the lines to the queue in the order of their numbers.
  void QueueInOrder(TokenQueue& queue) {
    std::vector<std::pair<int32_t, TokenEntry*>, ModuleAllocator<std::pair<int32_t, TokenEntry*>>>
        lines(byNumber_.begin(), byNumber_.end());
    std::sort(lines.begin(), lines.end());
    for (auto& line : lines) queue.Append(line.second);
    byNumber_.clear();
  }

 private:
  using Entry = std::pair<const int32_t, TokenEntry*>;
  std::unordered_map<int32_t, TokenEntry*, std::hash<int32_t>, std::equal_to<int32_t>,
                     ModuleAllocator<Entry>>
      byNumber_;
};

struct PositionBuild {
  PositionRecord* record;
  CatalogueDetail* detail;
  MeasurementLines lines;
  TokenEntry* auxiliary = nullptr;  // the auxiliary-materials resource, unqueued

  ~PositionBuild() { TokenQueue::DeleteEntry(auxiliary); }
};

bool SetAuxiliaryMaterials(PositionBuild& build, double value) {
  if (value == 0.0) return true;  // a zero keeps what an earlier line made
  TokenEntry* entry = TokenQueue::NewEntry(IMP_TOKEN_RESOURCE, sizeof(ResourceRecord));
  if (entry == nullptr) return false;
  auto* resource = static_cast<ResourceRecord*>(entry->data);
  InitResourceRecord(resource);
  std::memcpy(resource->name, kAuxiliaryMaterials, sizeof kAuxiliaryMaterials);
  std::memcpy(resource->indexCode, kAuxiliaryIndex, sizeof kAuxiliaryIndex);
  resource->reserved168 = 1;
  std::memcpy(resource->unit, kAuxiliaryUnit, sizeof kAuxiliaryUnit);
  resource->consumption = value;
  TokenQueue::DeleteEntry(build.auxiliary);  // only the last one counts
  build.auxiliary = entry;
  return true;
}

// Handles one key line of the section; false when memory ran out.
bool HandleKey(PositionBuild& build, LineReader& reader) {
  PositionRecord* record = build.record;
  CatalogueDetail* detail = build.detail;
  int32_t number = 0;
  if (reader.KeyIs("Katalog")) {
    return reader.CopyTextField(detail->catalogue, 0, sizeof detail->catalogue, 1);
  }
  if (reader.KeyIs("Kolumna")) {
    return reader.CopyTextField(detail->tableColumn, 0, sizeof detail->tableColumn, 1);
  }
  if (reader.KeyIs("Opis")) {
    return reader.CopyTextField(record->description, 0, sizeof record->description, 1);
  }
  if (reader.KeyIs("Obmiar")) {
    record->quantity = reader.FieldDouble(0, 0.0);
  } else if (reader.KeyIs("JM")) {
    return reader.CopyTextField(record->unit, 0, sizeof record->unit, 1) &&
           reader.CopyTextField(record->secondUnit, 1, sizeof record->secondUnit, 1);
  } else if (reader.KeyIs("Uproszczona")) {
    const uint32_t simplified = static_cast<uint32_t>(reader.FieldInt(0, 0)) & 1u;
    record->flags = (record->flags & ~IMP_POSITION_FLAG_SIMPLIFIED) | simplified;
  } else if (reader.KeyIs("Krotno\x9C\xE6")) {
    record->multiplicity = reader.FieldDouble(0, 0.0);
  } else if (reader.KeyIs("Cena")) {
    record->price = reader.FieldDouble(0, 0.0);
  } else if (reader.KeyIs("Uwagi")) {
    // Remarks are not passed on.
  } else if (reader.KeyHasPrefix("Przedmiar ", &number)) {
    if (number < 1) return true;  // names no line
    MeasurementLineRecord* line = build.lines.Get(number, IMP_ENTRY_MEASUREMENT);
    if (line == nullptr) return false;
    line->entryKind = IMP_ENTRY_MEASUREMENT;
    line->lineFlag = 1;
    return reader.CopyTextField(line->measurement, 0, sizeof line->measurement, 1);
  } else if (reader.KeyHasPrefix("Komentarz ", &number)) {
    if (number < 1) return true;
    MeasurementLineRecord* line = build.lines.Get(number, IMP_ENTRY_COMMENT_ONLY);
    if (line == nullptr) return false;
    return reader.CopyTextField(line->comment, 0, sizeof line->comment, 1);
  } else if (reader.KeyIs(kAuxiliaryMaterials)) {
    return SetAuxiliaryMaterials(build, reader.FieldDouble(0, 0.0));
  }
  return true;
}

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

// A KNR basis: catalogue "KNR" and a column whose first '-' is its fifth
// character, as in "0202-0101-02": catalogue number 2-02, table 0101-02.
void BuildBasis(PositionRecord* record, CatalogueDetail* detail) {
  char* reference = record->catalogueReference;
  const size_t size = sizeof record->catalogueReference;
  JoinWithBlanks(reference, size, {detail->catalogue, detail->tableColumn});
  char* dash = std::strchr(detail->tableColumn, '-');
  if (std::strcmp(detail->catalogue, "KNR") != 0 || dash == nullptr ||
      dash - detail->tableColumn != 4) {
    return;
  }
  const int32_t k = ParseInt(detail->tableColumn);  // stops at the dash: 0 to 9999
  std::snprintf(detail->catalogueNumber, sizeof detail->catalogueNumber, "%d-%02d",
                static_cast<int>(k / 100), static_cast<int>(k % 100));
  std::memmove(detail->tableColumn, dash + 1, std::strlen(dash + 1) + 1);
  JoinWithBlanks(reference, size,
                 {detail->catalogue, detail->catalogueNumber, detail->tableColumn});
  record->catalogueDetail = SlotOf(detail);
}

}  // namespace

bool BuildPosition(PositionRecord* record, BuildContext& context) noexcept {
  std::memset(record, 0, sizeof *record);
  record->recordTag = IMP_TAG_POSITION;
  record->reservedId = -1;
  record->multiplicity = 1.0;

  auto* detail = static_cast<CatalogueDetail*>(context.buffers.NewBlock(sizeof(CatalogueDetail)));
  if (detail == nullptr) return false;
  try {
    PositionBuild build{record, detail, {}, nullptr};
    while (context.NextKeyLine()) {
      if (!HandleKey(build, context.reader)) return false;
    }
    BuildBasis(record, detail);
    build.lines.QueueInOrder(context.queue);
    if (build.auxiliary != nullptr) {
      context.queue.Append(build.auxiliary);
      build.auxiliary = nullptr;
    }
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace imp
