#include "host/survey_pass.h"

#include "host/sections.h"
#include "records/section_reading.h"
#include "records/summary_record.h"

namespace imp {

void SurveyFile(LineReader& reader, ImportPlan& plan) {
  CountSummary(plan);
  PlanCounter counter(reader, plan);
  // The counter writes no record; what a section sets on the side goes here.
  alignas(8) unsigned char scratch[IMP_MAX_RECORD_SIZE];
  for (int32_t kind; (kind = NextSection(reader)) != kEndOfFile;) {
    if (kind == kEstimateHeader) ++plan.estimateCount;
    ReadSection(kind, scratch, counter);
  }
}

}  // namespace imp
