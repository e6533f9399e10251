/* The smallest complete host: shows an estimate's description, then imports
 * the estimate and prints each token as a line of TAB-separated fields, the
 * texts in Windows-1250 as the module gives them. Build: see README.txt. */
#include <stdio.h>
#include <string.h>

#include <impordano.h>

/* A text field's whole text: the full text behind a cut field, or the field. */
static const char* Text(const char* field, size_t size) {
  const char* full = IMP_LONG_TEXT(field, size);
  return full ? full : field;
}
#define TEXT(field) Text((field), sizeof(field))

int main(int argc, char** argv) {
  static union { unsigned char bytes[IMP_MAX_RECORD_SIZE]; double align; } buffer;
  const void* r = buffer.bytes;
  const EstimateRecord* e = r; const SummaryRecord* s = r; const ElementRecord* el = r;
  const PositionRecord* p = r; const MeasurementLineRecord* m = r; const ResourceRecord* res = r;
  int32_t type, i, failed;
  double fraction;
  if (argc != 2) return fprintf(stderr, "usage: host ESTIMATE-FILE\n"), 2;

  /* ImpKosztDescr ends what an import delivers: the description gets an import of its own. */
  if (ImpStart(argv[1]) != IMP_START_OK) {
    fprintf(stderr, "host: %s: error \"%s\" (\"\": not an estimate)\n", argv[1], ImpGetDescr());
    return 1;
  }
  printf("description\t%s\n", Text(ImpKosztDescr(), IMP_DESCRIPTION_SIZE));
  ImpEnd();

  if (ImpStart(argv[1]) != IMP_START_OK) return 1;
  while (ImpGetNextToken(&type, buffer.bytes)) {
    if (type == IMP_TOKEN_PROGRESS) {
      memcpy(&fraction, r, sizeof fraction);
      printf("progress\t%.3f\n", fraction);
    } else if (type == IMP_TOKEN_ESTIMATE) {
      printf("estimate\t%s\n", TEXT(e->name));
    } else if (type == IMP_TOKEN_SUMMARY) {
      const CostItem* items = IMP_SLOT_PTR(s->items);
      for (i = 0; i < s->itemCount; ++i) printf("surcharge\t%s\t%.15g\n", TEXT(items[i].name), items[i].rate);
    } else if (type == IMP_TOKEN_ELEMENT) {
      const QuantityItem* q = IMP_SLOT_PTR(el->quantityItems); /* 0 when quantityCount is 0 */
      printf("element\t%d\t%s", (int)el->depth, TEXT(el->description));
      if (q) printf("\t%.15g\t%s", q->quantity, TEXT(q->unit));
      printf("\n");
    } else if (type == IMP_TOKEN_POSITION) {
      printf("position\t%s\t%s\t%.15g\t%s\n", TEXT(p->catalogueReference), TEXT(p->description),
             p->quantity, TEXT(p->unit));
    } else if (type == IMP_TOKEN_MEASUREMENT_LINE) {
      printf("take-off\t%s\t%s\n", TEXT(m->measurement), TEXT(m->comment));
    } else if (type == IMP_TOKEN_RESOURCE) {
      printf("resource\t%c\t%s\t%.15g\t%s\t%.15g\n", res->kind ? (char)res->kind : '-',
             TEXT(res->name), res->consumption, TEXT(res->unit), res->price);
    }
  }
  failed = *ImpGetDescr() != 0; /* "" when all went well */
  if (failed) fprintf(stderr, "host: the import failed, error %s\n", ImpGetDescr());
  ImpEnd(); /* only now go the blocks behind the slots and the full texts */
  return failed;
}
