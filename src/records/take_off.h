// TakeOff: a position's numbered quantity take-off lines and its auxiliary
// materials, which reach the host as records of their own after the
// position's record and the resources that follow it up to the first 'S'
// resource. Until then they wait here, as the texts of their key lines.
//
// Line n gathers the keys "Przedmiar n" (its measurement) and "Komentarz n"
// (its comment); the records come in the order of their numbers, and a
// later key of the same line and kind overwrites the earlier text.
#ifndef IMPORDANO_RECORDS_TAKE_OFF_H_
#define IMPORDANO_RECORDS_TAKE_OFF_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "impordano.h"
#include "reader/long_text_store.h"
#include "support/module_allocator.h"

namespace imp {

// The field a take-off line's text goes to: a measurement and a comment
// have fields of one size.
constexpr size_t kTakeOffFieldSize = sizeof(MeasurementLineRecord::measurement);
static_assert(sizeof(MeasurementLineRecord::comment) == kTakeOffFieldSize,
              "measurement and comment fields of one size");

class TakeOff {
 public:
  // Room for `lines` key lines with `textBytes` bytes of text in all, so
  // that adding them allocates nothing; throws std::bad_alloc.
  void Reserve(size_t lines, size_t textBytes);
  void Clear() noexcept;
  bool Empty() const noexcept { return lines_.empty() && !hasAuxiliary_; }
  // The most lines and text bytes one position's take-off held since
  // Reserve, counted as each take-off is cleared: what Reserve had to hold.
  size_t MostLines() const noexcept { return mostLines_; }
  size_t MostTextBytes() const noexcept { return mostTextBytes_; }

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
  size_t mostLines_ = 0;
  size_t mostTextBytes_ = 0;
};

}  // namespace imp

#endif  // IMPORDANO_RECORDS_TAKE_OFF_H_
