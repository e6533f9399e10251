// The two readings of a section. Each section's keys are described once, by
// a function template over the reading (ReadEstimate, ReadElement,
// ReadPosition, ReadResource), and both readings walk that one description:
//
//  - PlanCounter, the first reading, sizes what the record will use: the
//    full text of every value cut to its field, every block behind a slot,
//    the take-off lines; and counts the surcharge rates. It writes no record.
//  - RecordWriter, the second reading, fills the record and hands out what
//    the first reading sized.
//
// Every operation that uses memory in the second reading is one member of
// both classes, side by side below, so a key read into a record is counted
// by the same line that writes it. Numbers cost the first reading nothing:
// its getters give 0 without reading the field.
#ifndef IMPORDANO_RECORDS_SECTION_READING_H_
#define IMPORDANO_RECORDS_SECTION_READING_H_

#include <cstddef>
#include <cstdint>

#include "impordano.h"
#include "reader/line_reader.h"
#include "records/import_plan.h"
#include "records/take_off.h"
#include "support/arena.h"
#include "support/memory.h"

namespace imp {

class RecordWriter {
 public:
  static constexpr bool kWrites = true;

  RecordWriter(LineReader& reader, Arena& blocks) noexcept : reader_(reader), blocks_(blocks) {}
  LineReader& Reader() const noexcept { return reader_; }

  // Field `index` of the key line into a text field, by the long-text rule.
  template <size_t N>
  void Text(char (&field)[N], int32_t index, LineReader::Point point = LineReader::Point::kAsRead) {
    reader_.CopyField(field, index, N, point);
  }
  double Double(int32_t index) noexcept { return reader_.FieldDouble(index, 0.0); }
  int32_t Int(int32_t index) const noexcept { return reader_.FieldInt(index, 0); }

  // A zero-filled block behind the 4-byte slot at `slot`.
  template <class Block>
  Block* NewBlock(void* slot) {
    auto* block = static_cast<Block*>(blocks_.Allocate(sizeof(Block)));
    WriteSlot(slot, block);
    return block;
  }

  // A numbered take-off line ("Przedmiar n", "Komentarz n") of the latest
  // position, and its auxiliary materials.
  void TakeOffLine(int32_t number, bool measurement) {
    takeOff_->AddLine(number, measurement, reader_.FieldText(0), reader_.FieldLength(0));
  }
  void AuxiliaryMaterials() { takeOff_->SetAuxiliaryMaterials(reader_.FieldDouble(0, 0.0)); }
  void EndTakeOff() noexcept {}

  // A surcharge rate goes to the summary through the first reading only.
  template <class AddRate>
  void Rate(AddRate) noexcept {}

  // Where the position being read keeps its take-off lines (empty).
  void SetTakeOff(TakeOff* takeOff) noexcept { takeOff_ = takeOff; }
  // The latest position's quantity, for the resources after it; nullptr
  // before the first position.
  const double* PositionQuantity() const noexcept { return positionQuantity_; }
  void SetPositionQuantity(const double* quantity) noexcept { positionQuantity_ = quantity; }

 private:
  LineReader& reader_;
  Arena& blocks_;
  TakeOff* takeOff_ = nullptr;
  const double* positionQuantity_ = nullptr;
};

class PlanCounter {
 public:
  static constexpr bool kWrites = false;

  PlanCounter(LineReader& reader, ImportPlan& plan) noexcept : reader_(reader), plan_(plan) {}
  LineReader& Reader() const noexcept { return reader_; }

  template <size_t N>
  void Text(char (&)[N], int32_t index, LineReader::Point = LineReader::Point::kAsRead) {
    plan_.CountText(reader_, index, N);
  }
  double Double(int32_t) const noexcept { return 0.0; }
  int32_t Int(int32_t) const noexcept { return 0; }

  // Counts the block; what is written into it goes to scratch room.
  template <class Block>
  Block* NewBlock(void*) {
    static_assert(sizeof(Block) <= sizeof scratch_, "scratch room for the largest block");
    plan_.CountBlock(sizeof(Block));
    return reinterpret_cast<Block*>(scratch_);
  }

  // Each line keeps its text until the take-off is delivered, and that
  // text goes into a take-off record's field.
  void TakeOffLine(int32_t, bool) {
    plan_.CountText(reader_, 0, kTakeOffFieldSize);
    ++takeOffLines_;
    takeOffTextBytes_ += reader_.FieldLength(0);
  }
  void AuxiliaryMaterials() noexcept {}
  // The end of a position's section: the longest take-off is reserved.
  void EndTakeOff() noexcept {
    if (takeOffLines_ > plan_.takeOffLines) plan_.takeOffLines = takeOffLines_;
    if (takeOffTextBytes_ > plan_.takeOffTextBytes) plan_.takeOffTextBytes = takeOffTextBytes_;
    takeOffLines_ = takeOffTextBytes_ = 0;
  }

  // `addRate(tallies, rate)` counts the rate of the key line.
  template <class AddRate>
  void Rate(AddRate addRate) {
    addRate(plan_.tallies, reader_.FieldDouble(0, 0.0));
  }

  const double* PositionQuantity() const noexcept { return nullptr; }

 private:
  LineReader& reader_;
  ImportPlan& plan_;
  size_t takeOffLines_ = 0;
  size_t takeOffTextBytes_ = 0;
  alignas(8) unsigned char scratch_[sizeof(CatalogueDetail)];
};

}  // namespace imp

#endif  // IMPORDANO_RECORDS_SECTION_READING_H_
