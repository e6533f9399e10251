// The plan reading of a file, the first of its two readings: from its file
// section to its end, it counts the surcharge rates and the estimate
// sections and sizes what the record reading will hand out
// (records/import_plan.h).
#ifndef IMPORDANO_HOST_PLAN_READING_H_
#define IMPORDANO_HOST_PLAN_READING_H_

#include "reader/line_reader.h"
#include "records/import_plan.h"

namespace imp {

// Starts at the current line, the file header; ends at the end of the
// input. Throws std::bad_alloc when the tallies cannot grow.
void ReadPlan(LineReader& reader, ImportPlan& plan);

}  // namespace imp

#endif  // IMPORDANO_HOST_PLAN_READING_H_
