/* A minimal host: imports an estimate file through the module, follows the
 * slots in the records, and checks what every estimate export yields. */
#include <stdio.h>
#include <string.h>

#include <impordano.h>

int main(int argc, char** argv) {
  static ImpBuffer buffer;
  int32_t type;
  int records = 0, estimates = 0, summaries = 0, quantities = 0, details = 0, longTexts = 0;

  if (argc != 2) {
    fprintf(stderr, "usage: consumer ESTIMATE-FILE\n");
    return 2;
  }
  if (ImpStart(argv[1]) != IMP_START_OK) {
    fprintf(stderr, "consumer: ImpStart failed, message \"%s\"\n", ImpGetDescr());
    return 1;
  }
  while (ImpGetNextToken(&type, buffer.bytes)) {
    if (type == IMP_TOKEN_PROGRESS) continue;
    ++records;
    if (type == IMP_TOKEN_ESTIMATE) {
      ++estimates;
    } else if (type == IMP_TOKEN_SUMMARY) {
      const SummaryRecord* summary = (const SummaryRecord*)buffer.bytes;
      const CostItem* items = (const CostItem*)IMP_SLOT_PTR(summary->items);
      if (summary->itemCount >= 3 && strcmp(items[0].name, "Koszty po\x9Crednie") == 0) ++summaries;
    } else if (type == IMP_TOKEN_ELEMENT) {
      const ElementRecord* element = (const ElementRecord*)buffer.bytes;
      if (element->quantityCount == 1) {
        const QuantityItem* item = (const QuantityItem*)IMP_SLOT_PTR(element->quantityItems);
        if (item && item->unit[0]) ++quantities;
      }
    } else if (type == IMP_TOKEN_POSITION) {
      const PositionRecord* position = (const PositionRecord*)buffer.bytes;
      const char* full = IMP_LONG_TEXT(position->description, sizeof position->description);
      if (full && strlen(full) >= sizeof position->description &&
          strncmp(full, position->description, sizeof position->description - 5) == 0) {
        ++longTexts;
      }
      if (position->catalogueDetail) {
        const CatalogueDetail* detail = (const CatalogueDetail*)IMP_SLOT_PTR(position->catalogueDetail);
        if (strcmp(detail->catalogue, "KNR") == 0) ++details;
      }
    }
  }
  ImpEnd();

  printf("%d records: %d estimate, %d summary, %d element quantities, %d KNR details, "
         "%d long descriptions\n",
         records, estimates, summaries, quantities, details, longTexts);
  return estimates == 1 && summaries == 1 && quantities > 0 && details > 0 && longTexts > 0 ? 0 : 1;
}
