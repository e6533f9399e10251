#include "records/measurement_lines.h"

#include <algorithm>
#include <cstring>

#include "impordano.h"
#include "reader/text_field.h"
#include "records/import_plan.h"
#include "records/resource_record.h"

namespace imp {
namespace {

constexpr char kAuxiliaryName[] = "Materia\xB3y pomocnicze";
constexpr char kAuxiliaryIndex[] = "000000";
constexpr char kAuxiliaryUnit[] = "%";

// The auxiliary materials as a resource line of kind 'A' and unit "%"
// whose consumption is the value the position gave.
void BuildAuxiliaryMaterials(ResourceRecord* record, double consumption) {
  InitResourceRecord(record);
  std::memcpy(record->name, kAuxiliaryName, sizeof kAuxiliaryName);
  std::memcpy(record->indexCode, kAuxiliaryIndex, sizeof kAuxiliaryIndex);
  std::memcpy(record->unit, kAuxiliaryUnit, sizeof kAuxiliaryUnit);
  record->consumption = consumption;
}

}  // namespace

// Each line keeps its text until the position's lines are delivered, and
// that text goes into a field of its record, cut when it is too long.
void MeasurementLines::Counter::CountLine(const LineReader& reader) {
  plan_.CountText(reader, 0, kMeasurementFieldSize);
  ++position_.lines;
  position_.textBytes += reader.FieldLength(0);
}

void MeasurementLines::AddLine(int32_t number, bool measurement, const char* text, size_t length) {
  lines_.push_back(Line{number, static_cast<uint32_t>(lines_.size()), measurement, texts_.size(), length});
  texts_.insert(texts_.end(), text, text + length);
}

// The lines of one position wait at a time: the room is the most of any.
void MeasurementLines::Counter::EndPosition() noexcept {
  Room& most = plan_.measurementRoom;
  if (position_.lines > most.lines) most.lines = position_.lines;
  if (position_.textBytes > most.textBytes) most.textBytes = position_.textBytes;
  position_ = Room{};
}

void MeasurementLines::Clear() noexcept {
  if (lines_.size() > mostUsed_.lines) mostUsed_.lines = lines_.size();
  if (texts_.size() > mostUsed_.textBytes) mostUsed_.textBytes = texts_.size();
  lines_.clear();
  texts_.clear();
  next_ = 0;
  sorted_ = false;
  hasAuxiliary_ = false;
  auxiliary_ = 0.0;
}

void MeasurementLines::Reserve(const Room& room) {
  lines_.reserve(room.lines);
  texts_.reserve(room.textBytes);
  mostUsed_ = Room{};
}

void MeasurementLines::SetAuxiliaryMaterials(double consumption) noexcept {
  if (consumption == 0.0) return;  // a zero keeps what an earlier line set
  hasAuxiliary_ = true;
  auxiliary_ = consumption;
}

int32_t MeasurementLines::BuildNext(void* out, LongTextStore& texts) {
  if (!sorted_) {
    std::sort(lines_.begin(), lines_.end(), [](const Line& a, const Line& b) {
      return a.number != b.number ? a.number < b.number : a.order < b.order;
    });
    sorted_ = true;
  }
  if (next_ < lines_.size()) {
    auto* record = static_cast<MeasurementLineRecord*>(out);
    std::memset(record, 0, sizeof *record);
    record->recordTag = IMP_TAG_MEASUREMENT_LINE;
    record->lineFlag = 1;
    // Replay the line's keys in their order, as they overwrite each other.
    bool measured = false;
    const int32_t number = lines_[next_].number;
    for (; next_ < lines_.size() && lines_[next_].number == number; ++next_) {
      const Line& line = lines_[next_];
      char* field = line.measurement ? record->measurement : record->comment;
      CopyText(field, kMeasurementFieldSize, texts_.data() + line.textOffset, line.textLength,
               texts);
      measured = measured || line.measurement;
    }
    record->entryKind = measured ? IMP_ENTRY_MEASUREMENT : IMP_ENTRY_COMMENT_ONLY;
    return IMP_TOKEN_MEASUREMENT_LINE;
  }
  if (hasAuxiliary_) {
    hasAuxiliary_ = false;
    BuildAuxiliaryMaterials(static_cast<ResourceRecord*>(out), auxiliary_);
    return IMP_TOKEN_RESOURCE;
  }
  return 0;
}

}  // namespace imp
