// Element sections, "[Element 1.2]": a chapter of the estimate with its
// depth (the parts of its number), description, and a QuantityItem with its
// quantity and unit behind a slot.
#ifndef IMPORDANO_RECORDS_ELEMENT_RECORD_H_
#define IMPORDANO_RECORDS_ELEMENT_RECORD_H_

#include "impordano.h"
#include "records/section_reading.h"

namespace imp {

// Reads the section whose header the reader has just read
// (section_reading.h): the quantity item, made on the section's first
// "Obmiar" or "JM" line, is a block behind the record's slot.
template <class Reading>
void ReadElement(ElementRecord* record, Reading& reading);

}  // namespace imp

#endif  // IMPORDANO_RECORDS_ELEMENT_RECORD_H_
