#include "hex_dump.h"

#include <cstdio>

namespace impdump {

std::string HexDump(int32_t tokenType, const char* recordName, const void* data,
                    std::size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  std::string out = "# token " + std::to_string(tokenType) + " " +
                    (recordName ? recordName : "(unknown)") + ", " + std::to_string(size) +
                    " bytes\n";
  char cell[32];
  for (std::size_t line = 0; line < size; line += 16) {
    std::snprintf(cell, sizeof cell, "%04zx ", line);
    out += cell;
    std::string ascii;
    for (std::size_t i = line; i < line + 16; ++i) {
      if (i % 8 == 0) out += ' ';
      if (i < size) {
        std::snprintf(cell, sizeof cell, "%02x ", bytes[i]);
        out += cell;
        ascii += (bytes[i] >= 0x20 && bytes[i] < 0x7F) ? static_cast<char>(bytes[i]) : '.';
      } else {
        out += "   ";
      }
    }
    out += " |" + ascii + "|\n";
  }
  return out;
}

}  // namespace impdump
