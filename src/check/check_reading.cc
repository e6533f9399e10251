#include "check/check_reading.h"

#include <algorithm>
#include <cstring>

#include "impordano.h"
#include "reader/text_field.h"

namespace imp {
namespace {

// A line of blanks alone holds nothing to pass over.
bool Blank(std::string_view text) {
  return text.find_first_not_of(" \t\r") == std::string_view::npos;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The number or letter read from `text` stops before `rest`: a finding
// unless nothing but blanks follows.
bool PassesOver(std::string_view rest) { return !rest.empty() && !Blank(rest); }

}  // namespace

// Findings stay in file order as they come: one of an earlier line (a key
// given again, what a record's Finish finds) goes back among the few of
// its section. The rates come last and are merged in at the end.
Finding& CheckReading::Found(PassedOver kind, int64_t line) {
  findings_.emplace_back();
  auto last = findings_.end() - 1;
  if (!ratesComing_ && findings_.size() > 1 && line < last[-1].line) {
    const auto at = std::upper_bound(findings_.begin(), last, line,
                                     [](int64_t l, const Finding& f) { return l < f.line; });
    std::rotate(at, last, findings_.end());
    last = at;
  }
  Finding& finding = *last;
  finding.kind = kind;
  finding.line = line;
  finding.section = section_;
  finding.position = sectionPosition_;
  if (kind_ == kKeyLine) finding.key = reader_.KeyName();
  return finding;
}

Finding& CheckReading::FoundInRecord(PassedOver kind, int64_t line, std::string key) {
  Finding& finding = Found(kind, line);
  finding.section = recordHeader_;
  finding.position = recordPosition_;
  finding.key = std::move(key);
  return finding;
}

void CheckReading::StartRecord() {
  recordHeader_ = section_;
  recordPosition_ = sectionPosition_;
  recordFindings_ = findings_.size();
  textLines_.clear();
}

void CheckReading::NewSection(std::string_view header) {
  section_.assign(header);
  ++generation_;
  if (!numberedKeyLines_.empty()) {
    // A map grown by one huge section would make every later clear slow.
    if (numberedKeyLines_.size() > 1024) {
      std::unordered_map<uint64_t, int64_t>().swap(numberedKeyLines_);
    } else {
      numberedKeyLines_.clear();
    }
  }
}

// Keeps of each kind the first keep_ findings in file order. A finding
// dropped here cannot be among them later: a later finding of its kind goes
// after it or before it, never between it and the kept ones, and none moves.
// A cut text of the record being read may still turn unreachable (the
// resource's Finish): it stays until a trim after its record.
void CheckReading::Trim() {
  std::array<size_t, kPassedOverKinds> kept = {};
  size_t to = 0;
  size_t pendingFrom = 0;
  for (size_t from = 0; from < findings_.size(); ++from) {
    if (from == recordFindings_) pendingFrom = to;
    Finding& f = findings_[from];
    const auto kind = static_cast<size_t>(f.kind);
    const bool mayTurn = from >= recordFindings_ && f.kind == PassedOver::kTextCut;
    if (mayTurn || kept[kind] < keep_) {
      ++kept[kind];
      if (to != from) findings_[to] = std::move(f);
      ++to;
    } else {
      ++dropped_[kind];
    }
  }
  recordFindings_ = recordFindings_ >= findings_.size() ? to : pendingFrom;
  findings_.erase(findings_.begin() + static_cast<std::ptrdiff_t>(to), findings_.end());
  trimAt_ = std::max(2 * to, kTrimFloor);
}

int32_t CheckReading::ReadLine() {
  EndKeyLine();
  if (findings_.size() >= trimAt_) Trim();
  const bool afterPiece = kind_ == kUnterminatedLine;
  const int32_t kind = reader_.ReadLine();
  lastLineOpen_ = afterPiece && kind == kEndOfFile;
  if (lastLineOpen_) {
    if (!continuation_) Found(PassedOver::kNoLineFeed, line_).written = piece_;
  } else if (afterPiece) {
    // The line went over the limit: this is its rest.
    if (!continuation_) Found(PassedOver::kLineTooLong, line_).length = static_cast<int64_t>(piece_.size());
    continuation_ = true;
  } else {
    continuation_ = false;
  }
  kind_ = kind;
  if (kind == kEndOfFile) return kind;
  if (!continuation_) ++line_;
  fieldsUsed_ = 0;
  keyWritten_ = keyPassed_ = false;
  switch (kind) {
    case kKeyLine:
      break;
    case kOtherLine:
    case kUnterminatedLine: {
      sectionEndedAt_ = line_;
      const std::string_view text = reader_.LineText();
      if (kind == kUnterminatedLine) {
        piece_.assign(text);
      } else if (!continuation_ && !Blank(text)) {
        // A header the import does not know opens a section of its own for
        // the findings, though not for the import.
        if (text[0] == '[') {
          NewSection(text);
          sectionPosition_ = 0;
        }
        Found(PassedOver::kStrayLine).written.assign(text);
      }
      break;
    }
    default:  // a header; a resource's belongs to the latest position
      NewSection(reader_.LineText());
      sectionPosition_ = kind == kResourceHeader ? lastPosition_ : 0;
      break;
  }
  return kind;
}

// The fields that no getter asked for are kept by no record; a field whose
// text ends at a NUL loses what follows it. Most lines have neither.
void CheckReading::EndKeyLine() {
  if (kind_ != kKeyLine || keyPassed_ || continuation_) return;
  const int32_t count = reader_.FieldCount();
  bool clean = true;
  for (int32_t i = 0; i < count && clean; ++i) {
    const bool used = (fieldsUsed_ >> i & 1u) != 0;
    clean = used ? reader_.FieldExtent(i) == reader_.FieldLength(i) : reader_.FieldExtent(i) == 0;
  }
  if (!clean) ReportFields();
}

void CheckReading::ReportFields() {
  std::string extra;
  int64_t extraCount = 0;
  for (int32_t i = 0; i < reader_.FieldCount(); ++i) {
    const size_t extent = reader_.FieldExtent(i);
    const size_t length = reader_.FieldLength(i);
    if ((fieldsUsed_ >> i & 1u) == 0) {
      if (extent == 0) continue;
      if (extraCount++ > 0) extra += '\t';
      extra.append(reader_.FieldText(i), extent);
    } else if (extent > length) {
      Finding& finding = Found(PassedOver::kTextEndsAtNul);
      finding.written.assign(FieldView(i));
      finding.passedOver.assign(reader_.FieldText(i) + length, extent - length);
    }
  }
  if (extraCount > 0) {
    Finding& finding = Found(PassedOver::kExtraFields);
    finding.passedOver = std::move(extra);
    finding.length = extraCount;
  }
}

void CheckReading::KeyPassedOver() {
  keyPassed_ = true;
  if (!continuation_) Found(PassedOver::kKeyNotRead);
}

void CheckReading::KeyOutsideSection() {
  keyPassed_ = true;
  if (!continuation_) Found(PassedOver::kKeyOutsideSection).otherLine = sectionEndedAt_;
}

void CheckReading::Written(int32_t index) {
  Used(index);
  if (keyWritten_) return;
  keyWritten_ = true;
  const Key key = reader_.KeyOf();
  int64_t* earlier;
  if (key == Key::kLineMeasurement || key == Key::kLineComment) {
    const uint64_t id = static_cast<uint64_t>(key) << 32 | static_cast<uint32_t>(reader_.KeyNumber());
    earlier = &numberedKeyLines_[id];
  } else {
    const size_t slot = static_cast<size_t>(key) % kPlainKeys;
    if (keyGeneration_[slot] != generation_) {
      keyGeneration_[slot] = generation_;
      keyLine_[slot] = 0;
    }
    earlier = &keyLine_[slot];
  }
  if (*earlier != 0) Found(PassedOver::kKeyRepeated, *earlier).otherLine = line_;
  *earlier = line_;
}

void CheckReading::NoteText(const char* field, size_t size, int32_t index) {
  const size_t length = reader_.FieldLength(index);
  if (field != nullptr) textLines_.push_back(TextLine{field, line_, std::string(reader_.KeyName())});
  if (!IsCut(length, size)) return;
  if (field != nullptr && field >= workBegin_ && field < workEnd_) {
    cutInWork_.push_back(CutText{field, size, line_, std::string(reader_.KeyName()), length});
    return;
  }
  Finding& finding = Found(PassedOver::kTextCut);
  finding.length = static_cast<int64_t>(length);
  finding.keeps = static_cast<int64_t>(IMP_LONG_TEXT_CUT_LENGTH(size));
}

void CheckReading::NoteNumber(int32_t index, double value) {
  const std::string_view text = FieldView(index);
  const std::string_view rest = text.substr(std::min(reader_.FieldNumberLength(index), text.size()));
  if (!PassesOver(rest)) return;
  Finding& finding = Found(PassedOver::kReadPartly);
  finding.written.assign(text);
  finding.passedOver.assign(rest);
  finding.takenAs = Finding::Taken::kNumber;
  finding.taken = value;
}

// "2,5" or "2.5" in an integer field is a fraction the field cannot hold.
void CheckReading::NoteInteger(int32_t index, int32_t value) {
  const std::string_view text = FieldView(index);
  const size_t read = reader_.FieldIntegerLength(index);
  const std::string_view rest = text.substr(std::min(read, text.size()));
  if (!PassesOver(rest)) return;
  const bool fraction = read > 0 && rest.size() > 1 && IsDigit(rest[1]) &&
                        (rest[0] == '.' || rest[0] == ',' || rest[0] == reader_.DecimalSymbol());
  Finding& finding = Found(fraction ? PassedOver::kFractionInInteger : PassedOver::kReadPartly);
  finding.written.assign(text);
  finding.passedOver.assign(rest);
  finding.takenAs = Finding::Taken::kInteger;
  finding.taken = value;
}

void CheckReading::NoteLetter(int32_t index, int32_t value) {
  const std::string_view text = FieldView(index);
  if (text.size() < 2 || !PassesOver(text.substr(1))) return;
  Finding& finding = Found(PassedOver::kReadPartly);
  finding.written.assign(text);
  finding.passedOver.assign(text.substr(1));
  finding.takenAs = Finding::Taken::kLetter;
  finding.taken = value;
}

void CheckReading::NoteRate(const TallyEntry& entry, double rate) {
  if (entry.tally == nullptr) {
    Finding& finding = Found(PassedOver::kRateNotCounted);
    finding.written.assign(FieldView(0));
    finding.takenAs = Finding::Taken::kNumber;
    finding.taken = rate;
    return;
  }
  RateSeen* seen = nullptr;
  for (RateSeen& r : rates_) {
    if (r.tally == entry.tally) seen = &r;
  }
  if (seen == nullptr) {
    rates_.push_back(RateSeen{entry.tally, entry.kind, std::string(reader_.KeyName()), {}});
    seen = &rates_.back();
  }
  // Values are items in the order they first occurred.
  if (entry.item == seen->first.size()) {
    seen->first.push_back(RateSeen::First{line_, section_, std::string(FieldView(0))});
  }
}

void CheckReading::MeasurementLine(int32_t, bool) {
  Written(0);
  NoteText(nullptr, kMeasurementFieldSize, 0);
}

// A zero keeps what an earlier line set (MeasurementLines): it writes
// nothing.
void CheckReading::AuxiliaryMaterials() {
  const double value = reader_.FieldDouble(0, 0.0);
  if (value != 0.0) Written(0);
  Used(0);
  NoteNumber(0, value);
}

void CheckReading::Start(EstimateRecord* record) {
  RecordReading::Start(record);
  lastPosition_ = 0;
  StartRecord();
}

void CheckReading::Start(ElementRecord* record) {
  RecordReading::Start(record);
  lastPosition_ = 0;
  StartRecord();
}

void CheckReading::Start(PositionRecord* record, CatalogueDetail* detail) {
  RecordReading::Start(record, detail);
  sectionPosition_ = lastPosition_ = ++positions_;
  StartRecord();
  workBegin_ = reinterpret_cast<const char*>(detail);
  workEnd_ = workBegin_ + sizeof *detail;
}

void CheckReading::Start(ResourceRecord* record) {
  RecordReading::Start(record);
  StartRecord();
  if (!positionSeen_) Found(PassedOver::kResourceBeforePosition);
}

// The catalogue and column reach the host only in the texts Finish builds
// from them, which have no full text behind them: the catalogue reference,
// and for a KNR basis the column's part after its first '-'.
void CheckReading::Finish(PositionRecord* record, CatalogueDetail* detail, CatalogueDetail* kept) {
  RecordReading::Finish(record, detail, kept);
  for (CutText& cut : cutInWork_) {
    Finding& finding = FoundInRecord(PassedOver::kTextUnreachable, cut.line, std::move(cut.key));
    finding.length = static_cast<int64_t>(cut.length);
    const bool column = kept != nullptr && cut.field == detail->tableColumn;
    finding.keeps = static_cast<int64_t>(column ? std::strlen(kept->tableColumn)
                                                 : IMP_LONG_TEXT_CUT_LENGTH(cut.size));
  }
  cutInWork_.clear();
  workBegin_ = workEnd_ = nullptr;
  positionSeen_ = true;
  std::memcpy(&positionQuantity_, &record->quantity, sizeof positionQuantity_);
  SetPositionQuantity(&positionQuantity_);
}

// A correction factor rewrites the consumption formula: its full text is
// gone then, and a formula that grows over 255 characters is dropped.
void CheckReading::Finish(ResourceRecord* record, double correctionFactor, double investorQuantity) {
  const bool rewritten = correctionFactor != 1.0 && record->consumptionText[0] != '\0';
  std::string formula = rewritten ? std::string(record->consumptionText) : std::string();
  RecordReading::Finish(record, correctionFactor, investorQuantity);
  if (!rewritten) return;
  const TextLine* tarvo = nullptr;
  for (const TextLine& text : textLines_) {
    if (text.field == record->consumptionText) tarvo = &text;
  }
  if (tarvo == nullptr) return;
  const bool dropped = record->consumptionText[0] == '\0';
  for (size_t i = recordFindings_; i < findings_.size(); ++i) {
    Finding& cut = findings_[i];
    if (cut.kind == PassedOver::kTextCut && cut.line == tarvo->line) {
      cut.kind = PassedOver::kTextUnreachable;
      cut.keeps = dropped ? 0 : static_cast<int64_t>(IMP_LONG_TEXT_CUT_LENGTH(sizeof record->consumptionText));
      return;
    }
  }
  if (!dropped) return;
  Finding& finding = FoundInRecord(PassedOver::kFormulaDropped, tarvo->line, tarvo->key);
  finding.length = static_cast<int64_t>(formula.size());
  finding.written = std::move(formula);
  finding.takenAs = Finding::Taken::kNumber;
  finding.taken = correctionFactor;
}

void CheckReading::EndOfInput(int64_t inputSize) {
  const int64_t end = reader_.Position();  // where a 0x1A stopped the input
  if (inputSize > end + 1) {
    // The 0x1A ends the last line read, or stands on a line of its own.
    Finding& finding = Found(PassedOver::kAfterEndOfText, lastLineOpen_ ? line_ : line_ + 1);
    finding.length = inputSize - end - 1;
  }
  const auto byLine = [](const Finding& a, const Finding& b) { return a.line < b.line; };
  const size_t inOrder = findings_.size();
  ratesComing_ = true;
  for (const RateSeen& seen : rates_) {
    const ValueTally& tally = *seen.tally;
    if (tally.ItemCount() < 2) continue;
    const size_t kept = tally.MostFrequentItem();
    for (size_t i = 0; i < tally.ItemCount(); ++i) {
      if (i == kept) continue;
      const RateSeen::First& first = seen.first[i];
      Finding& finding = Found(PassedOver::kRateOutvoted, first.line);
      finding.section = first.section;
      finding.key = seen.key;
      finding.written = first.written;
      finding.takenAs = Finding::Taken::kNumber;
      finding.taken = tally.ValueAt(i);
      finding.length = tally.CountAt(i);
      finding.summaryRate = tally.ValueAt(kept);
      finding.summaryCount = tally.CountAt(kept);
      finding.resourceKind = seen.kind;
    }
  }
  // Each merge needs room for the rates' findings alone.
  std::stable_sort(findings_.begin() + inOrder, findings_.end(), byLine);
  std::inplace_merge(findings_.begin(), findings_.begin() + inOrder, findings_.end(), byLine);
  recordFindings_ = findings_.size();  // every record is done
  if (keep_ != SIZE_MAX) Trim();
}

}  // namespace imp
