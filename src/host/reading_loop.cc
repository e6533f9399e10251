#include "host/reading_loop.h"

#include "impordano.h"
#include "records/records.h"

namespace imp {
namespace {

// Where the next record goes. Records are queued in file order, except:
//  - a position's measurement lines and auxiliary materials follow it at
//    the end of the queue (its builder appends them);
//  - a resource of any kind but 'S' goes directly after the record built
//    just before it, so the R and M lines of a position come between the
//    position and its measurement lines; 'S' resources go to the end;
//  - the summary goes directly after the (last) estimate record.
struct Placement {
  TokenEntry* previous = nullptr;  // entry of the record built last
  TokenEntry* estimate = nullptr;  // entry of the latest estimate record
  const PositionRecord* currentPosition = nullptr;
};

// Reads the file section's key lines; only the decimal symbol matters here.
void ReadFileSection(Module& m) {
  LineReader& reader = m.reader;
  while ((m.import.state = reader.ReadLine()) == kKeyLine) {
    if (reader.KeyIs("Symbol dziesi\xEAtny")) {
      reader.decimalSymbol = static_cast<char>(reader.FieldChar(0, '.'));
    }
  }
}

// Skips a line that fits no section and the key lines after it.
void SkipStrayLines(Module& m) {
  while ((m.import.state = m.reader.ReadLine()) == kKeyLine) {
  }
}

template <typename Record>
TokenEntry* NewRecord(int32_t type, Record** record) {
  TokenEntry* entry = TokenQueue::NewEntry(type, sizeof(Record));
  if (entry != nullptr) *record = static_cast<Record*>(entry->data);
  return entry;
}

bool ReadEstimateSection(Module& m, BuildContext& context, Placement& at) {
  EstimateRecord* record = nullptr;
  TokenEntry* entry = NewRecord(IMP_TOKEN_ESTIMATE, &record);
  if (entry == nullptr) return false;
  m.queue.Append(entry);  // the queue owns it even when building fails
  at.estimate = at.previous = entry;
  return BuildEstimate(record, context);
}

bool ReadElementSection(Module& m, BuildContext& context, Placement& at) {
  ElementRecord* record = nullptr;
  TokenEntry* entry = NewRecord(IMP_TOKEN_ELEMENT, &record);
  if (entry == nullptr) return false;
  m.queue.Append(entry);
  at.previous = entry;
  return BuildElement(record, context);
}

bool ReadPositionSection(Module& m, BuildContext& context, Placement& at) {
  PositionRecord* record = nullptr;
  TokenEntry* entry = NewRecord(IMP_TOKEN_POSITION, &record);
  if (entry == nullptr) return false;
  m.queue.Append(entry);  // before the entries its builder appends
  at.previous = entry;
  at.currentPosition = record;
  return BuildPosition(record, context);
}

bool ReadResourceSection(Module& m, BuildContext& context, Placement& at) {
  ResourceRecord* record = nullptr;
  TokenEntry* entry = NewRecord(IMP_TOKEN_RESOURCE, &record);
  if (entry == nullptr) return false;
  const bool built = BuildResource(record, at.currentPosition, context);
  if (record->kind != IMP_KIND_EQUIPMENT && at.previous != nullptr) {
    m.queue.InsertAfter(at.previous, entry);
  } else {
    m.queue.Append(entry);
  }
  at.previous = entry;
  return built;
}

bool QueueSummary(Module& m, BuildContext& context, const Placement& at) {
  SummaryRecord* record = nullptr;
  TokenEntry* entry = NewRecord(IMP_TOKEN_SUMMARY, &record);
  if (entry == nullptr) return false;
  if (at.estimate != nullptr) {
    m.queue.InsertAfter(at.estimate, entry);
  } else {
    m.queue.Append(entry);
  }
  return BuildSummary(record, context);
}

}  // namespace

bool ReadEstimate(Module& m) noexcept {
  int32_t& state = m.import.state;
  BuildContext context{m.reader, state, m.buffers, m.queue, m.tallies};
  Placement at;
  for (;;) {
    bool ok = true;
    switch (state) {
      case kFileHeader:
        ReadFileSection(m);
        break;
      case kEstimateHeader:
        ok = ReadEstimateSection(m, context, at);
        break;
      case kElementHeader:
        ok = ReadElementSection(m, context, at);
        break;
      case kPositionHeader:
        ok = ReadPositionSection(m, context, at);
        break;
      case kResourceHeader:
        ok = ReadResourceSection(m, context, at);
        break;
      case kEndOfFile:
        return QueueSummary(m, context, at);
      default:  // a key line outside a section, an over-long line, any other line
        SkipStrayLines(m);
        break;
    }
    if (!ok) return false;
  }
}

}  // namespace imp
