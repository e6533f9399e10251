// MeasurementLines: a position's numbered measurement lines and its
// auxiliary materials, which reach the host as records of their own
// (MeasurementLineRecord, and a ResourceRecord of kind 'A') after the
// position's record and the resources that follow it up to the first 'S'
// resource. Until then they wait here, as the texts of their key lines.
//
// Line n gathers the keys "Przedmiar n" (its measurement) and "Komentarz n"
// (its comment); the records come in the order of their numbers, and a
// later key of the same line and kind overwrites the earlier text.
//
// Both halves of the lines' room are here: the plan reading counts it with
// a Counter, line by line as AddLine keeps the lines and BuildNext writes
// them; the record reading reserves it (Reserve) before the first record,
// so that keeping the lines allocates nothing.
#ifndef IMPORDANO_RECORDS_MEASUREMENT_LINES_H_
#define IMPORDANO_RECORDS_MEASUREMENT_LINES_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "impordano.h"
#include "reader/line_reader.h"
#include "reader/long_text_store.h"
#include "support/module_allocator.h"

namespace imp {

struct ImportPlan;

// The field a line's text goes to: a measurement and a comment have fields
// of one size.
constexpr size_t kMeasurementFieldSize = sizeof(MeasurementLineRecord::measurement);
static_assert(sizeof(MeasurementLineRecord::comment) == kMeasurementFieldSize,
              "measurement and comment fields of one size");

class MeasurementLines {
 public:
  // What the lines of one position take while they wait: how many key
  // lines, and the bytes of their texts.
  struct Room {
    size_t lines = 0;
    size_t textBytes = 0;
    bool operator==(const Room& other) const noexcept {
      return lines == other.lines && textBytes == other.textBytes;
    }
  };

  // The plan reading's half: the room of the position with the most lines,
  // into the plan.
  class Counter {
   public:
    explicit Counter(ImportPlan& plan) noexcept : plan_(plan) {}
    // A "Przedmiar n" or "Komentarz n" line of the position being read.
    void CountLine(const LineReader& reader);
    // The end of a position's section.
    void EndPosition() noexcept;

   private:
    ImportPlan& plan_;
    Room position_;
  };

  // Room for the lines of any one position, so that adding them allocates
  // nothing; throws std::bad_alloc.
  void Reserve(const Room& room);
  void Clear() noexcept;
  bool Empty() const noexcept { return lines_.empty() && !hasAuxiliary_; }
  // The most room one position's lines took since Reserve, measured as each
  // position's lines are cleared: what Reserve had to hold.
  const Room& MostUsed() const noexcept { return mostUsed_; }

  // A "Przedmiar n" (measurement) or "Komentarz n" key with the text of its
  // first field; `number` is 1 or more.
  void AddLine(int32_t number, bool measurement, const char* text, size_t length);
  // The consumption of the auxiliary-materials resource; the last non-zero
  // value counts.
  void SetAuxiliaryMaterials(double consumption) noexcept;

  // Builds the next record into `out`: the measurement lines in the order
  // of their numbers, then the auxiliary-materials resource. Returns its
  // token type, or 0 when none is left.
  int32_t BuildNext(void* out, LongTextStore& texts);

 private:
  struct Line {
    int32_t number;
    uint32_t order;  // of the keys in the section
    bool measurement;
    size_t textOffset, textLength;
  };
  std::vector<Line, ModuleAllocator<Line>> lines_;
  std::vector<char, ModuleAllocator<char>> texts_;
  size_t next_ = 0;  // lines_ from here on are not built yet
  bool sorted_ = false;
  bool hasAuxiliary_ = false;
  double auxiliary_ = 0.0;
  Room mostUsed_;
};

}  // namespace imp

#endif  // IMPORDANO_RECORDS_MEASUREMENT_LINES_H_
