#include "host/description.h"

namespace imp {

char* ReadDescription(Module& m) noexcept {
  char* description = m.description;
  description[0] = '\0';
  ImportState& import = m.import;
  if (!import.open || import.state != kFileHeader) return description;
  LineReader& reader = m.reader;
  while ((import.state = reader.ReadLine()) == kKeyLine) {
    if (reader.KeyIs("Opis")) {
      // A long description that cannot be kept for lack of memory stays cut,
      // with no address: the description is for showing only.
      reader.CopyTextField(description, 0, Module::kDescriptionSize, 1);
    }
  }
  return description;
}

}  // namespace imp
