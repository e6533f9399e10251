// The module's state: one import at a time, one reader, one queue.
//
// Everything the exports share lives in this one object, constructed when
// the module is loaded and destroyed when it is unloaded. Each ImpStart
// begins a fresh import: empty queue, tallies, long-text store and buffer
// list. Only the reader's decimal symbol carries over, because a file that
// does not name its symbol is read with the one the previous file named.
#ifndef IMPORDANO_HOST_MODULE_H_
#define IMPORDANO_HOST_MODULE_H_

#include <cstdint>

#include "host/buffer_list.h"
#include "host/token_queue.h"
#include "reader/input_stream.h"
#include "reader/line_reader.h"
#include "reader/long_text_store.h"
#include "support/value_tally.h"

namespace imp {

struct ImportState {
  static constexpr int kMessageSize = 260;

  InputStream input;
  int64_t fileSize = -1;          // -1 when the input has no size (a pipe)
  int32_t state = kEndOfFile;     // LineKind of the last line read
  char message[kMessageSize] = {};  // ImpGetDescr: error number of a failure
  int32_t dequeueIndex = 0;       // records delivered so far
  int64_t lastProgressPos = 0;    // input position at the last progress report
  bool open = false;              // between a successful ImpStart and ImpEnd
};

struct Module {
  static constexpr int kDescriptionSize = 256;

  Module() noexcept { reader.Attach(&import.input, &longTexts); }

  ImportState import;
  LineReader reader;
  TokenQueue queue;
  LongTextStore longTexts;
  BufferList buffers;
  SurchargeTallies tallies;
  char description[kDescriptionSize] = {};
};

Module& TheModule() noexcept;

}  // namespace imp

#endif  // IMPORDANO_HOST_MODULE_H_
