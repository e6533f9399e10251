// Position sections, "[Pozycja 1.2]": a priced item of work with its basis
// (catalogue reference), description, unit, quantity, price and
// multiplicity, as a PositionRecord. A KNR basis also gets a
// CatalogueDetail behind a slot; the numbered measurement lines and the
// auxiliary materials go to the position's MeasurementLines.
#ifndef IMPORDANO_RECORDS_POSITION_RECORD_H_
#define IMPORDANO_RECORDS_POSITION_RECORD_H_

#include "impordano.h"
#include "records/section_reading.h"

namespace imp {

// Reads the section whose header the reader has just read
// (section_reading.h): the catalogue detail of a KNR basis is a block
// behind the record's slot, the measurement lines go to the position's
// MeasurementLines.
template <class Reading>
void ReadPosition(PositionRecord* record, Reading& reading);

}  // namespace imp

#endif  // IMPORDANO_RECORDS_POSITION_RECORD_H_
