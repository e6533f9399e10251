// Imports arbitrary bytes as an estimate file, following every slot the
// records carry, so that the sanitizers see any read or write out of bounds.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include <unistd.h>

#include "impordano.h"

namespace {

volatile unsigned char sink;

void Touch(const void* block, size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(block);
  for (size_t i = 0; i < size; ++i) sink = bytes[i];
}

void TouchLongText(const char* field, size_t size) {
  if (const char* full = IMP_LONG_TEXT(field, size)) Touch(full, std::strlen(full) + 1);
}

void FollowSlots(int32_t type, const unsigned char* buffer) {
  switch (type) {
    case IMP_TOKEN_ELEMENT: {
      const auto* r = reinterpret_cast<const ElementRecord*>(buffer);
      if (r->quantityItems) {
        const auto* item = static_cast<const QuantityItem*>(IMP_SLOT_PTR(r->quantityItems));
        Touch(item, sizeof *item);
        TouchLongText(item->unit, sizeof item->unit);
      }
      TouchLongText(r->description, sizeof r->description);
      break;
    }
    case IMP_TOKEN_POSITION: {
      const auto* r = reinterpret_cast<const PositionRecord*>(buffer);
      if (r->catalogueDetail) Touch(IMP_SLOT_PTR(r->catalogueDetail), sizeof(CatalogueDetail));
      TouchLongText(r->description, sizeof r->description);
      break;
    }
    case IMP_TOKEN_RESOURCE: {
      const auto* r = reinterpret_cast<const ResourceRecord*>(buffer);
      TouchLongText(r->name, sizeof r->name);
      TouchLongText(r->consumptionText, sizeof r->consumptionText);
      break;
    }
    case IMP_TOKEN_SUMMARY: {
      const auto* r = reinterpret_cast<const SummaryRecord*>(buffer);
      Touch(IMP_SLOT_PTR(r->items), static_cast<size_t>(r->itemCount) * sizeof(CostItem));
      break;
    }
    default:
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/impordano_fuzz_" + std::to_string(getpid()) + ".txt";
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return 0;
  // Every input gets the file header, so the fuzzer spends its time on sections.
  std::fputs("[Plik]\n", file);
  std::fwrite(data, 1, size, file);
  std::fclose(file);

  if (ImpStart(path.c_str()) == IMP_START_OK) {
    unsigned char buffer[IMP_MAX_RECORD_SIZE];
    int32_t type = 0;
    while (ImpGetNextToken(&type, buffer) == 1) FollowSlots(type, buffer);
    ImpEnd();
  }
  if (ImpStart(path.c_str()) == IMP_START_OK) {
    Touch(ImpKosztDescr(), 256);
    ImpEnd();
  }
  return 0;
}
