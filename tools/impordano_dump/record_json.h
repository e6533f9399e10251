// Turns the records the module hands out into JSON objects.
#ifndef IMPORDANO_DUMP_RECORD_JSON_H_
#define IMPORDANO_DUMP_RECORD_JSON_H_

#include <cstdint>

#include <nlohmann/json.hpp>

#include "record_walker.h"

namespace impdump {

using Json = nlohmann::ordered_json;
using impwalk::SlotReader;

struct JsonOptions {
  bool all = false;  // also the reserved fields
};

// One record as JSON: "token", "record" (null for a token type without a
// layout), then every named field by its name. Slots are followed and what
// they point to is shown in place of them; a cut text field shows its full
// text and a "<field>Cut": true beside it. `data` holds the record's bytes.
Json RecordToJson(int32_t tokenType, const void* data, const SlotReader& slots,
                  const JsonOptions& options);

// The estimate's description as ImpKosztDescr returns it (a 256-byte field
// under the long-text rule).
Json DescriptionToJson(const char* description, const SlotReader& slots);

}  // namespace impdump

#endif  // IMPORDANO_DUMP_RECORD_JSON_H_
