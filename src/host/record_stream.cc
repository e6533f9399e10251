#include "host/record_stream.h"

#include <cstring>

#include "host/sections.h"
#include "records/element_record.h"
#include "records/estimate_record.h"
#include "records/position_record.h"
#include "records/resource_record.h"
#include "records/summary_record.h"

namespace imp {

void RecordStream::Start(const ImportPlan& plan) {
  Reset();
  plan_ = &plan;
  takeOff_.Reserve(plan.takeOffLines, plan.takeOffTextBytes);
}

void RecordStream::Reset() noexcept {
  plan_ = nullptr;
  takeOff_.Clear();
  releasing_ = holding_ = afterPosition_ = summaryDue_ = summaryDelivered_ = false;
  positionQuantity_ = 0.0;
  estimates_ = 0;
}

int32_t RecordStream::Release(void* out) {
  releasing_ = true;
  return takeOff_.BuildNext(out, texts_);
}

int32_t RecordStream::Summary(void* out) {
  summaryDue_ = false;
  summaryDelivered_ = true;
  BuildSummary(static_cast<SummaryRecord*>(out), plan_->tallies, blocks_);
  return IMP_TOKEN_SUMMARY;
}

int32_t RecordStream::Next(void* out) {
  if (plan_ == nullptr) return 0;
  if (summaryDue_) return Summary(out);
  if (releasing_) {
    if (const int32_t type = takeOff_.BuildNext(out, texts_)) return type;
    releasing_ = false;
    takeOff_.Clear();
    if (holding_) {
      holding_ = false;
      std::memcpy(out, &held_, sizeof held_);
      return IMP_TOKEN_RESOURCE;
    }
  }
  // The reader stands at the line after the last record's section. A
  // section that comes after a waiting take-off lets it go first, and is
  // built on the next call.
  for (;;) {
    switch (reader_.Kind()) {
      case kFileHeader:
        ReadFileSection(reader_);
        break;
      case kEstimateHeader:
        if (!takeOff_.Empty()) return Release(out);
        BuildEstimate(static_cast<EstimateRecord*>(out), reader_);
        if (++estimates_ == plan_->estimateCount) summaryDue_ = true;
        return IMP_TOKEN_ESTIMATE;
      case kElementHeader:
        if (!takeOff_.Empty()) return Release(out);
        BuildElement(static_cast<ElementRecord*>(out), reader_, blocks_);
        return IMP_TOKEN_ELEMENT;
      case kPositionHeader: {
        if (!takeOff_.Empty()) return Release(out);
        auto* position = static_cast<PositionRecord*>(out);
        BuildPosition(position, reader_, blocks_, takeOff_);
        afterPosition_ = true;
        std::memcpy(&positionQuantity_, &position->quantity, sizeof positionQuantity_);
        return IMP_TOKEN_POSITION;
      }
      case kResourceHeader: {
        // Only an 'S' resource waits behind the take-off, and only the
        // finished section tells the kind.
        const bool waiting = !takeOff_.Empty();
        auto* record = waiting ? &held_ : static_cast<ResourceRecord*>(out);
        BuildResource(record, afterPosition_ ? &positionQuantity_ : nullptr, reader_);
        if (!waiting) return IMP_TOKEN_RESOURCE;
        if (held_.kind != IMP_KIND_EQUIPMENT) {
          std::memcpy(out, &held_, sizeof held_);
          return IMP_TOKEN_RESOURCE;
        }
        holding_ = true;
        return Release(out);
      }
      case kEndOfFile:
        if (!takeOff_.Empty()) return Release(out);
        if (!summaryDelivered_) return Summary(out);
        return 0;
      default:
        SkipStrayLines(reader_);
        break;
    }
  }
}

}  // namespace imp
