#include "host/record_stream.h"

#include <cstring>

#include "host/sections.h"

namespace imp {
namespace {

// Who asks the arenas for blocks, named when a plan fell short.
const char* SpenderOf(int32_t kind) {
  switch (kind) {
    case kEstimateHeader: return "the section [Kosztorys]";
    case kElementHeader: return "a section [Element]";
    case kPositionHeader: return "a section [Pozycja]";
    default: return "a section [RMS]";
  }
}

}  // namespace

void RecordStream::SetSpender(const char* spender) noexcept {
  texts_.SetSpender(spender);
  blocks_.SetSpender(spender);
}

void RecordStream::Start(const ImportPlan& plan) {
  Reset();
  plan_ = &plan;
  summaryPlace_ = plan.summaryPlace;
  measurementLines_.Reserve(plan.measurementRoom);
  reading_.SetMeasurementLines(&measurementLines_);
  state_ = State::kReading;
}

void RecordStream::Reset() noexcept {
  plan_ = nullptr;
  state_ = State::kStopped;
  measurementLines_.Clear();
  reading_.SetPositionQuantity(nullptr);
  positionQuantity_ = 0.0;
  summaryPlace_ = SummaryPlace{};
}

int32_t RecordStream::DeliverMeasurementLines(void* out, State state) {
  state_ = state;
  SetSpender("the measurement lines of a section [Pozycja]");
  return measurementLines_.BuildNext(out, texts_);
}

int32_t RecordStream::Summary(void* out, State next) {
  state_ = next;
  SetSpender("the summary");
  BuildSummary(static_cast<SummaryRecord*>(out), plan_->tallies, reading_);
  return IMP_TOKEN_SUMMARY;
}

int32_t RecordStream::Next(void* out) {
  switch (state_) {
    case State::kStopped:
      return 0;
    case State::kSummaryNext:
      return Summary(out, State::kReading);
    case State::kMeasurementLines:
    case State::kMeasurementLinesThenHeld:
      if (const int32_t type = measurementLines_.BuildNext(out, texts_)) return type;
      measurementLines_.Clear();
      if (state_ == State::kMeasurementLinesThenHeld) {
        state_ = State::kReading;
        std::memcpy(out, &held_, sizeof held_);
        return IMP_TOKEN_RESOURCE;
      }
      state_ = State::kReading;
      break;
    case State::kReading:
      break;
  }
  return FromSections(out);
}

// The reader stands at the line after the last record's section. A section
// that comes after waiting measurement lines lets them go first, and is
// read on the next call; only a resource is read at once, as its finished
// section tells whether it is an 'S' resource, which waits behind them.
int32_t RecordStream::FromSections(void* out) {
  const int32_t kind = NextSection(reading_);
  const bool waiting = !measurementLines_.Empty();
  if (kind == kEndOfFile) {
    if (waiting) return DeliverMeasurementLines(out, State::kMeasurementLines);
    if (summaryPlace_.DueAtEnd()) return Summary(out, State::kStopped);
    state_ = State::kStopped;
    return 0;
  }
  SetSpender(SpenderOf(kind));
  if (kind == kResourceHeader && waiting) {
    ReadSection(kind, &held_, reading_);
    if (held_.kind == IMP_KIND_EQUIPMENT) {
      return DeliverMeasurementLines(out, State::kMeasurementLinesThenHeld);
    }
    std::memcpy(out, &held_, sizeof held_);
    return IMP_TOKEN_RESOURCE;
  }
  if (waiting) return DeliverMeasurementLines(out, State::kMeasurementLines);

  const int32_t type = ReadSection(kind, out, reading_);
  if (type == IMP_TOKEN_ESTIMATE && summaryPlace_.FollowsEstimateRecord()) {
    state_ = State::kSummaryNext;
  } else if (type == IMP_TOKEN_POSITION) {
    std::memcpy(&positionQuantity_, &static_cast<PositionRecord*>(out)->quantity,
                sizeof positionQuantity_);
    reading_.SetPositionQuantity(&positionQuantity_);
  }
  return type;
}

}  // namespace imp
