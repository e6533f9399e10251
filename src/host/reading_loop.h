// The reading loop: reads the whole file on the first ImpGetNextToken call
// and queues every record in the order the host receives them.
#ifndef IMPORDANO_HOST_READING_LOOP_H_
#define IMPORDANO_HOST_READING_LOOP_H_

#include "host/module.h"

namespace imp {

// Reads from the line after the file header to the end of the input and
// leaves the state at end of file. Returns false when memory ran out; the
// queue then holds a partial import that the caller must discard.
bool ReadEstimate(Module& module) noexcept;

}  // namespace imp

#endif  // IMPORDANO_HOST_READING_LOOP_H_
