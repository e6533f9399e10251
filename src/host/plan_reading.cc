#include "host/plan_reading.h"

#include "host/sections.h"
#include "records/section_reading.h"
#include "records/summary_record.h"

namespace imp {

void ReadPlan(LineReader& reader, ImportPlan& plan) {
  PlanReading reading(reader, plan);
  // What the plan reading writes into records goes here, and nowhere on.
  alignas(8) unsigned char scratch[IMP_MAX_RECORD_SIZE];
  for (int32_t kind; (kind = NextSection(reading)) != kEndOfFile;) ReadSection(kind, scratch, reading);
  // The summary comes once, whatever the file holds: its block.
  SummaryRecord summary;
  BuildSummary(&summary, plan.tallies, reading);
}

}  // namespace imp
