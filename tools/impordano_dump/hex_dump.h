// The --raw view: a record's bytes in hex with their offsets.
#ifndef IMPORDANO_DUMP_HEX_DUMP_H_
#define IMPORDANO_DUMP_HEX_DUMP_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace impdump {

// A header line naming the token and the record, then 16 bytes a line:
// offset, the bytes in hex, and the printable ASCII ones ('.' for others).
std::string HexDump(int32_t tokenType, const char* recordName, const void* data,
                    std::size_t size);

}  // namespace impdump

#endif  // IMPORDANO_DUMP_HEX_DUMP_H_
