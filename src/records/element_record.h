// Element sections, "[Element 1.2]": a chapter of the estimate with its
// depth (the parts of its number), description, and a QuantityItem with its
// quantity and unit behind a slot.
#ifndef IMPORDANO_RECORDS_ELEMENT_RECORD_H_
#define IMPORDANO_RECORDS_ELEMENT_RECORD_H_

#include "impordano.h"
#include "reader/line_reader.h"
#include "records/import_plan.h"
#include "support/arena.h"

namespace imp {

// Fills `record` from the section whose header the reader has just read;
// the quantity item, made on the section's first "Obmiar" or "JM" line,
// comes from `blocks`.
void BuildElement(ElementRecord* record, LineReader& reader, Arena& blocks);
void SurveyElement(LineReader& reader, ImportPlan& plan);

}  // namespace imp

#endif  // IMPORDANO_RECORDS_ELEMENT_RECORD_H_
