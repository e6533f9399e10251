// CheckReading: a reading of the file (section_reading.h) that builds the
// records as the record reading does and reports, line by line, what the
// import passes over on the way (passed_over.h). No import uses it, and
// the module holds none of it: the descriptions are templates in the
// record headers, and import_check.cc walks a whole file with it.
//
// It learns everything from the one description of each section: a key
// the switch leaves to its `default:` is one the section does not read; a
// field that no getter asked for is one no record keeps; a number read
// through a getter tells what was parsed and where the parse stopped; a
// text field of N bytes tells whether the text fits. It counts the lines
// as it reads them, and the surcharge rates as the plan reading does, to
// name the rates that lose to the one the summary keeps.
//
// Findings are kept in file order, findings of one line in the order they
// are found: those of a line when it is read or when the next one is, the
// cut texts of a position's catalogue detail and a consumption formula when
// their section ends, the rates at the end of the input. Of each kind it
// keeps the first `keepOfEachKind` and counts the others.
#ifndef IMPORDANO_CHECK_CHECK_READING_H_
#define IMPORDANO_CHECK_CHECK_READING_H_

#include <cstddef>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "check/passed_over.h"
#include "records/section_reading.h"
#include "support/value_tally.h"

namespace imp {

class CheckReading : public RecordReading {
 public:
  // Blocks behind slots go to `blocks`, findings to `findings`.
  CheckReading(LineReader& reader, Arena& blocks, std::vector<Finding>& findings,
               size_t keepOfEachKind = SIZE_MAX) noexcept
      : RecordReading(reader, blocks), findings_(findings), keep_(keepOfEachKind),
        trimAt_(keepOfEachKind == SIZE_MAX ? SIZE_MAX : kTrimFloor) {}

  // The findings of each kind counted but not kept.
  const std::array<int64_t, kPassedOverKinds>& Dropped() const { return dropped_; }

  int32_t ReadLine();

  template <size_t N>
  void Text(char (&field)[N], int32_t index,
            LineReader::DecimalSymbolAs symbol = LineReader::DecimalSymbolAs::kWritten) {
    Written(index);
    NoteText(field, N, index);
    LineReading::Text(field, index, symbol);
  }
  double Double(int32_t index) {
    Written(index);
    const double value = RecordReading::Double(index);
    NoteNumber(index, value);
    return value;
  }
  int32_t Int(int32_t index) {
    Written(index);
    const int32_t value = RecordReading::Int(index);
    NoteInteger(index, value);
    return value;
  }
  int32_t Char(int32_t index, int32_t defaultValue) {
    Written(index);
    const int32_t value = LineReading::Char(index, defaultValue);
    NoteLetter(index, value);
    return value;
  }

  void KeyPassedOver();
  void KeyOutsideSection();

  // A rate counts in the check's own tallies, as in the plan's.
  template <class AddRate>
  void Rate(AddRate addRate) {
    Used(0);
    const double rate = reader_.FieldDouble(0, 0.0);
    NoteNumber(0, rate);
    NoteRate(addRate(tallies_, rate), rate);
  }
  void MeasurementLine(int32_t number, bool measurement);
  void AuxiliaryMaterials();

  void Start(EstimateRecord* record);
  void Start(ElementRecord* record);
  void Start(PositionRecord* record, CatalogueDetail* detail);
  void Start(ResourceRecord* record);
  void Finish(PositionRecord* record, CatalogueDetail* detail, CatalogueDetail* kept);
  void Finish(ResourceRecord* record, double correctionFactor, double investorQuantity);

  // After the last line: the bytes after a 0x1A (`inputSize` is -1 for an
  // input without a size), and the rates that lost.
  void EndOfInput(int64_t inputSize);

 private:
  // A text cut in the position's working room (its catalogue detail),
  // which reaches the host only as its Finish makes it.
  struct CutText {
    const char* field;
    size_t size;
    int64_t line;
    std::string key;
    size_t length;
  };
  // The line of the latest key written into a text field of the section.
  struct TextLine {
    const char* field;
    int64_t line;
    std::string key;
  };
  // A tally the rates went to: its key, and where each of its values
  // occurred first.
  struct RateSeen {
    const ValueTally* tally;
    int32_t kind;
    std::string key;
    struct First {
      int64_t line;
      std::string section, written;
    };
    std::vector<First> first;
  };

  Finding& Found(PassedOver kind, int64_t line);
  // A finding of the record being read, once its section has ended.
  Finding& FoundInRecord(PassedOver kind, int64_t line, std::string key);
  void StartRecord();
  Finding& Found(PassedOver kind) { return Found(kind, line_); }
  void Trim();
  void NewSection(std::string_view header);
  void EndKeyLine();
  void ReportFields();
  void Used(int32_t index) noexcept {
    if (index >= 0 && index < LineReader::kMaxFields) fieldsUsed_ |= 1u << index;
  }
  // Field `index` goes into the record: a later line of the same key
  // would replace it.
  void Written(int32_t index);
  void NoteText(const char* field, size_t size, int32_t index);
  void NoteNumber(int32_t index, double value);
  void NoteInteger(int32_t index, int32_t value);
  void NoteLetter(int32_t index, int32_t value);
  void NoteRate(const TallyEntry& entry, double rate);
  std::string_view FieldView(int32_t index) const {
    return std::string_view(reader_.FieldText(index), reader_.FieldLength(index));
  }

  std::vector<Finding>& findings_;
  // Trim() keeps keep_ of each kind once the findings reach trimAt_; the
  // next trim waits for twice as many, so that each finding is moved a few
  // times at most.
  static constexpr size_t kTrimFloor = 1024;
  size_t keep_;
  size_t trimAt_;
  std::array<int64_t, kPassedOverKinds> dropped_ = {};
  // Positions by their running number: the latest one, and that of the
  // section being read and of the record being read (0: none).
  int64_t positions_ = 0;
  int64_t lastPosition_ = 0;
  int64_t sectionPosition_ = 0;
  int64_t recordPosition_ = 0;
  int64_t line_ = 0;
  int32_t kind_ = kEndOfFile;   // of the current line
  bool continuation_ = false;   // the line is the rest of one too long
  int64_t sectionEndedAt_ = 0;  // the line that ended the latest section
  std::string section_;
  // The section of the record being read, and its first finding: Finish
  // comes when the reader stands at the next header already.
  std::string recordHeader_;
  size_t recordFindings_ = 0;
  std::string piece_;           // the latest line without a LF
  bool lastLineOpen_ = false;   // the input ended in a line without a LF

  // The current key line: the fields a getter asked for, whether it went
  // into the record, whether the description passed it over.
  uint32_t fieldsUsed_ = 0;
  bool keyWritten_ = false;
  bool keyPassed_ = false;

  // Where each key of the section went into the record last: plain keys by
  // their meaning (in the section of generation_), numbered ones by key
  // and number.
  static constexpr size_t kPlainKeys = 32;
  int64_t keyLine_[kPlainKeys] = {};
  uint32_t keyGeneration_[kPlainKeys] = {};
  uint32_t generation_ = 1;
  std::unordered_map<uint64_t, int64_t> numberedKeyLines_;

  const char* workBegin_ = nullptr;  // the catalogue detail of a position
  const char* workEnd_ = nullptr;
  std::vector<CutText> cutInWork_;
  std::vector<TextLine> textLines_;

  bool positionSeen_ = false;
  double positionQuantity_ = 0.0;
  SurchargeTallies tallies_;
  std::vector<RateSeen> rates_;
  bool ratesComing_ = false;  // EndOfInput merges the rates' findings in
};

}  // namespace imp

#endif  // IMPORDANO_CHECK_CHECK_READING_H_
