// The readings of a file. Each record's keys are described once, by a
// function template over the reading (ReadEstimate, ReadElement,
// ReadPosition, ReadResource in the *_record.h files, and BuildSummary;
// the file section and the lines between sections in host/sections.h),
// and every reading walks that one description:
//
//  - PlanReading, the first reading of an import, sizes what the records
//    will use: the full text of every value cut to its field, every block
//    behind a slot, the room of the measurement lines; and counts the
//    surcharge rates and the estimate sections (import_plan.h). It writes
//    its records and blocks into scratch room that nobody reads: its
//    getters give 0 and its texts are left unwritten.
//  - RecordReading, the second reading, fills the record and hands out what
//    the first reading sized.
//  - CheckReading (check/check_reading.h), which no import uses, builds the
//    records as the record reading does and reports what the import passes
//    over on the way.
//
// What a description asks of its reading:
//
//   Reader()                        the line reader, at the section's header
//   ReadLine()                      the next line (LineReader::ReadLine)
//   Text(field, index[, symbol])    field `index` of the key line into a text field
//   Double(index), Int(index)       a number of the key line
//   Char(index, default)            the first byte of a field (FieldChar)
//   KeyPassedOver()                 the key line is one the section does not read
//   KeyOutsideSection()             a key line that belongs to no section
//   NewBlock<Block>(slot)           a zero-filled block behind a 4-byte slot
//   Rate(addRate)                   a surcharge rate, for the summary
//   MeasurementLine(number, kind)   "Przedmiar n" / "Komentarz n" of a position
//   AuxiliaryMaterials()            "Materia\xB3y pomocnicze" of a position
//   Start(record...)                before the key lines: the fixed values
//   Finish(record, ...)             after them: what the keys give together
//
// Every operation that uses memory in the record reading is one member of
// the plan and the record readings, side by side below, so a key read into
// a record is counted by the same line that writes it; what the record
// reading's Start and Finish write goes into memory that a line of the
// description counted. The hooks that only the check reading needs
// (ReadLine, KeyPassedOver, KeyOutsideSection) are inline and empty or
// forwarding in LineReading, so the import pays nothing for them.
#ifndef IMPORDANO_RECORDS_SECTION_READING_H_
#define IMPORDANO_RECORDS_SECTION_READING_H_

#include <cstddef>
#include <cstdint>

#include "impordano.h"
#include "reader/line_reader.h"
#include "records/import_plan.h"
#include "records/measurement_lines.h"
#include "support/arena.h"
#include "support/memory.h"

namespace imp {

// What every reading shares: the lines, text fields copied by the long-text
// rule, letters, and the check reading's hooks, which do nothing here. The
// description of the estimate file's own section reads through it alone.
class LineReading {
 public:
  explicit LineReading(LineReader& reader) noexcept : reader_(reader) {}
  LineReader& Reader() const noexcept { return reader_; }
  int32_t ReadLine() { return reader_.ReadLine(); }

  // Field `index` of the key line into a text field, by the long-text rule.
  template <size_t N>
  void Text(char (&field)[N], int32_t index,
            LineReader::DecimalSymbolAs symbol = LineReader::DecimalSymbolAs::kWritten) {
    reader_.CopyField(field, index, N, symbol);
  }
  int32_t Char(int32_t index, int32_t defaultValue) const noexcept {
    return reader_.FieldChar(index, defaultValue);
  }

  void KeyPassedOver() noexcept {}
  void KeyOutsideSection() noexcept {}

 protected:
  LineReader& reader_;
};

class RecordReading : public LineReading {
 public:
  RecordReading(LineReader& reader, Arena& blocks) noexcept : LineReading(reader), blocks_(blocks) {}

  double Double(int32_t index) noexcept { return reader_.FieldDouble(index, 0.0); }
  int32_t Int(int32_t index) const noexcept { return reader_.FieldInt(index, 0); }

  // A zero-filled block behind the 4-byte slot at `slot`.
  template <class Block>
  Block* NewBlock(void* slot) {
    auto* block = static_cast<Block*>(blocks_.Allocate(sizeof(Block)));
    WriteSlot(slot, block);
    return block;
  }

  // A surcharge rate goes to the summary through the plan reading only.
  template <class AddRate>
  void Rate(AddRate) noexcept {}

  // A numbered measurement line of the latest position, and its auxiliary
  // materials.
  void MeasurementLine(int32_t number, bool measurement) {
    lines_->AddLine(number, measurement, reader_.FieldText(0), reader_.FieldLength(0));
  }
  void AuxiliaryMaterials() { lines_->SetAuxiliaryMaterials(reader_.FieldDouble(0, 0.0)); }

  // Defined beside each description, in its *_record.cc.
  void Start(EstimateRecord* record) noexcept;
  void Start(ElementRecord* record) noexcept;
  void Start(PositionRecord* record, CatalogueDetail* detail) noexcept;
  void Start(ResourceRecord* record) noexcept;
  // The basis from the catalogue detail read into `detail`; `kept` is the
  // block behind the record's slot for a KNR basis, else nullptr.
  void Finish(PositionRecord* record, CatalogueDetail* detail, CatalogueDetail* kept) noexcept;
  // The correction factor and the investor's quantity of the section.
  void Finish(ResourceRecord* record, double correctionFactor, double investorQuantity) noexcept;

  // Where the position being read keeps its measurement lines (empty).
  void SetMeasurementLines(MeasurementLines* lines) noexcept { lines_ = lines; }
  // The latest position's quantity, for the resources after it; nullptr
  // before the first position.
  void SetPositionQuantity(const double* quantity) noexcept { positionQuantity_ = quantity; }

 private:
  Arena& blocks_;
  MeasurementLines* lines_ = nullptr;
  const double* positionQuantity_ = nullptr;
};

class PlanReading : public LineReading {
 public:
  PlanReading(LineReader& reader, ImportPlan& plan) noexcept
      : LineReading(reader), plan_(plan), lines_(plan) {}

  template <size_t N>
  void Text(char (&)[N], int32_t index,
            LineReader::DecimalSymbolAs = LineReader::DecimalSymbolAs::kWritten) {
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

  // `addRate(tallies, rate)` counts the rate of the key line (and tells
  // where, for the check reading).
  template <class AddRate>
  void Rate(AddRate addRate) {
    addRate(plan_.tallies, reader_.FieldDouble(0, 0.0));
  }

  void MeasurementLine(int32_t, bool) { lines_.CountLine(reader_); }
  void AuxiliaryMaterials() noexcept {}

  void Start(EstimateRecord*) noexcept { plan_.summaryPlace.CountEstimateSection(); }
  void Start(ElementRecord*) noexcept {}
  void Start(PositionRecord*, CatalogueDetail*) noexcept {}
  void Start(ResourceRecord*) noexcept {}
  void Finish(PositionRecord*, CatalogueDetail*, CatalogueDetail*) noexcept { lines_.EndPosition(); }
  void Finish(ResourceRecord*, double, double) noexcept {}

 private:
  ImportPlan& plan_;
  MeasurementLines::Counter lines_;
  // The largest block is the summary's 20 cost items.
  alignas(8) unsigned char scratch_[20 * sizeof(CostItem)];
};

}  // namespace imp

#endif  // IMPORDANO_RECORDS_SECTION_READING_H_
