// Turns the records the module hands out into JSON objects.
#ifndef IMPORDANO_DUMP_RECORD_JSON_H_
#define IMPORDANO_DUMP_RECORD_JSON_H_

#include <cstddef>
#include <cstdint>
#include <functional>

#include <nlohmann/json.hpp>

#include "impordano.h"

namespace impdump {

using Json = nlohmann::ordered_json;

// Resolves a slot found in a record to the module memory it points to, or
// nullptr when it points nowhere. The tool uses the process's own address
// space (SlotsInThisProcess); tests map slots to blocks they made themselves.
using SlotReader = std::function<const void*(imp_slot)>;

const void* SlotInThisProcess(imp_slot slot);

struct JsonOptions {
  bool all = false;  // also the reserved fields
};

// The record's layout name ("PositionRecord"), or nullptr for a token type
// that carries no record of a known layout.
const char* RecordName(int32_t tokenType);

// The number of bytes the module delivers for the token type, 0 if unknown.
std::size_t RecordSize(int32_t tokenType);

// One record as JSON: "token", "record", then every named field by its name.
// Slots are followed and what they point to is shown in place of them; a cut
// text field shows its full text and a "<field>Cut": true beside it.
// `data` holds RecordSize(tokenType) bytes.
Json RecordToJson(int32_t tokenType, const void* data, const SlotReader& slots,
                  const JsonOptions& options);

// The estimate's description as ImpKosztDescr returns it (a 256-byte field
// under the long-text rule).
Json DescriptionToJson(const char* description, const SlotReader& slots);

}  // namespace impdump

#endif  // IMPORDANO_DUMP_RECORD_JSON_H_
