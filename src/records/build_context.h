// What a section builder works with: the reader positioned just after the
// section's header, the import's state (each builder leaves in it the kind
// of the first line after the section), and the containers it adds to.
//
// Builders return true, or false when memory ran out; the reading loop then
// fails the whole import.
#ifndef IMPORDANO_RECORDS_BUILD_CONTEXT_H_
#define IMPORDANO_RECORDS_BUILD_CONTEXT_H_

#include <cstdint>

#include "host/buffer_list.h"
#include "host/token_queue.h"
#include "reader/line_reader.h"
#include "support/value_tally.h"

namespace imp {

struct BuildContext {
  LineReader& reader;
  int32_t& state;
  BufferList& buffers;
  TokenQueue& queue;
  SurchargeTallies& tallies;

  // Reads the next line into `state`; true while it is a key line.
  bool NextKeyLine() noexcept {
    state = reader.ReadLine();
    return state == kKeyLine;
  }
};

}  // namespace imp

#endif  // IMPORDANO_RECORDS_BUILD_CONTEXT_H_
