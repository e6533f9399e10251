// Position sections, "[Pozycja 1.2]": a priced item of work with its basis
// (catalogue reference), description, unit, quantity, price and
// multiplicity, as a PositionRecord. A KNR basis also gets a
// CatalogueDetail behind a slot; the numbered take-off lines and the
// auxiliary materials go to the position's TakeOff.
#ifndef IMPORDANO_RECORDS_POSITION_RECORD_H_
#define IMPORDANO_RECORDS_POSITION_RECORD_H_

#include "impordano.h"
#include "reader/line_reader.h"
#include "records/import_plan.h"
#include "records/take_off.h"
#include "support/arena.h"

namespace imp {

// Fills `record` from the section whose header the reader has just read;
// the catalogue detail of a KNR basis comes from `blocks`, the take-off
// lines go to `takeOff`, which must be empty.
void BuildPosition(PositionRecord* record, LineReader& reader, Arena& blocks, TakeOff& takeOff);
void SurveyPosition(LineReader& reader, ImportPlan& plan);

}  // namespace imp

#endif  // IMPORDANO_RECORDS_POSITION_RECORD_H_
