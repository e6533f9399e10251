#include "host/survey_pass.h"

#include "host/sections.h"
#include "records/element_record.h"
#include "records/estimate_record.h"
#include "records/position_record.h"
#include "records/resource_record.h"
#include "records/summary_record.h"

namespace imp {

void SurveyFile(LineReader& reader, ImportPlan& plan) {
  SurveySummary(plan);
  for (;;) {
    switch (reader.Kind()) {
      case kFileHeader:
        ReadFileSection(reader);
        break;
      case kEstimateHeader:
        SurveyEstimate(reader, plan);
        break;
      case kElementHeader:
        SurveyElement(reader, plan);
        break;
      case kPositionHeader:
        SurveyPosition(reader, plan);
        break;
      case kResourceHeader:
        SurveyResource(reader, plan);
        break;
      case kEndOfFile:
        return;
      default:
        SkipStrayLines(reader);
        break;
    }
  }
}

}  // namespace imp
