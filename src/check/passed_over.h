// What the import passes over, as the check reading (check_reading.h)
// reports it: the kinds of findings and one finding. Texts are the file's,
// Windows-1250, as it wrote them.
#ifndef IMPORDANO_CHECK_PASSED_OVER_H_
#define IMPORDANO_CHECK_PASSED_OVER_H_

#include <cstdint>
#include <string>

namespace imp {

// The kinds, in the order the counts list them. A new kind goes before
// kCount; the tools name each one.
enum class PassedOver : int32_t {
  kKeyNotRead,              // a key its section does not read
  kStrayLine,               // a line that fits no rule: no key line, no known header
  kKeyOutsideSection,       // a key line after a line that ended its section
  kKeyRepeated,             // a later line of the same key replaces this value
  kTextCut,                 // longer than its field: the full text behind the slot
  kTextUnreachable,         // cut, and no slot holds the full text
  kFormulaDropped,          // the consumption formula grew over 255 with its factor
  kReadPartly,              // a number or letter read from part of its field
  kFractionInInteger,       // an integer field holding a fraction
  kExtraFields,             // TAB fields that no record keeps
  kLineTooLong,             // over the line limit: the rest is read as lines of its own
  kNoLineFeed,              // the last line has no LF: it fits no rule
  kTextEndsAtNul,           // a field's text ends at a NUL byte
  kAfterEndOfText,          // the bytes after 0x1A
  kResourceBeforePosition,  // a resource section before the first position
  kRateOutvoted,            // a surcharge rate that lost to the one the summary keeps
  kRateNotCounted,          // a surcharge rate of a resource kind no tally counts
  kCount
};
constexpr int32_t kPassedOverKinds = static_cast<int32_t>(PassedOver::kCount);

// One finding. Which fields a kind fills is said beside each; the others
// stay empty or 0.
struct Finding {
  enum class Taken : int32_t { kNone, kNumber, kInteger, kLetter };

  PassedOver kind = PassedOver::kCount;
  int64_t line = 0;       // 1-based, counted by LF
  // The running number (1, 2, ... in file order) of the position whose
  // section or resource sections hold the line; 0 for a line of no position.
  int64_t position = 0;
  std::string section;    // the header of the section as written, "" before one
  std::string key;        // the key as written, "" for a line without one
  // kStrayLine, kNoLineFeed: the line; kReadPartly, kFractionInInteger,
  // kTextEndsAtNul: the field; kFormulaDropped: the formula before its
  // factor; kRateOutvoted, kRateNotCounted: the rate's field.
  std::string written;
  // kReadPartly, kFractionInInteger: what follows the value read;
  // kTextEndsAtNul: the bytes from the NUL on; kExtraFields: the fields no
  // record keeps, TAB-separated.
  std::string passedOver;
  // What the host gets: kReadPartly, kFractionInInteger (a number, an
  // integer or a letter's code); kFormulaDropped: the correction factor;
  // kRateOutvoted: the rate that lost, kRateNotCounted: the rate.
  Taken takenAs = Taken::kNone;
  double taken = 0.0;
  // kTextCut, kTextUnreachable, kFormulaDropped, kLineTooLong: bytes of the
  // text or line (for a line too long, its first piece); kAfterEndOfText:
  // bytes after the 0x1A; kExtraFields: how many fields; kRateOutvoted: how
  // often the rate occurred.
  int64_t length = 0;
  // kTextCut, kTextUnreachable: bytes the field keeps.
  int64_t keeps = 0;
  // kKeyRepeated: the line whose value replaces this one;
  // kKeyOutsideSection: the line that ended the section.
  int64_t otherLine = 0;
  // kRateOutvoted: the rate the summary keeps and how often it occurred;
  // the resource kind of the tally ('R', 'M', 'S'; 0 for all kinds).
  double summaryRate = 0.0;
  int64_t summaryCount = 0;
  int32_t resourceKind = 0;
};

}  // namespace imp

#endif  // IMPORDANO_CHECK_PASSED_OVER_H_
