// The section builders. Each fills a record the reading loop allocated
// (zero-filled) from the section's key lines, writing first the record's
// fixed initial values.
#ifndef IMPORDANO_RECORDS_RECORDS_H_
#define IMPORDANO_RECORDS_RECORDS_H_

#include "impordano.h"
#include "records/build_context.h"

namespace imp {

bool BuildEstimate(EstimateRecord* record, BuildContext& context) noexcept;
bool BuildElement(ElementRecord* record, BuildContext& context) noexcept;
// Also queues the position's measurement lines and auxiliary-materials
// resource at the end of the queue.
bool BuildPosition(PositionRecord* record, BuildContext& context) noexcept;
// `currentPosition` is the latest position, or nullptr before the first.
bool BuildResource(ResourceRecord* record, const PositionRecord* currentPosition,
                   BuildContext& context) noexcept;
// Fills the summary of the surcharges counted while reading.
bool BuildSummary(SummaryRecord* record, BuildContext& context) noexcept;

void InitResourceRecord(ResourceRecord* record) noexcept;

}  // namespace imp

#endif  // IMPORDANO_RECORDS_RECORDS_H_
