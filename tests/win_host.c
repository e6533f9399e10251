/*
 * Test host: loads the module the way the estimating application does and
 * prints what an import hands out.
 *
 *   win_host MODULE FILE
 *
 * On Windows the module is loaded with LoadLibrary and its five exports are
 * looked up with GetProcAddress; on Linux dlopen and dlsym stand in, so the
 * same program gives the reference output there. For FILE it runs the two
 * calling orders of the host: ImpStart, ImpKosztDescr, ImpEnd to show the
 * description, then ImpStart, ImpGetNextToken until 0, ImpEnd to import.
 * Each token is printed as its type and its record bytes in hex.
 *
 * Addresses differ between processes and platforms, so the bytes of a
 * non-zero pointer slot print as "@@" and the block or long text behind
 * the slot is printed after the record instead; the output of two correct
 * builds is then byte for byte the same. Exit status: 0 when the import ran
 * through, 1 when the host saw something wrong, 2 for a usage or load error.
 */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "impordano.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
typedef HMODULE ModuleHandle;
#else
#include <dlfcn.h>
typedef void* ModuleHandle;
#endif

typedef int32_t(IMP_CALL* StartFn)(const char* path);
typedef char*(IMP_CALL* TextFn)(void);
typedef int32_t(IMP_CALL* NextTokenFn)(int32_t* type, void* buffer);
typedef int32_t(IMP_CALL* EndFn)(void);

typedef struct Exports {
  StartFn start;
  TextFn getDescr;
  TextFn kosztDescr;
  NextTokenFn getNextToken;
  EndFn end;
} Exports;

/* ------------------------------------------------------------ layouts */

/* A text field that follows the long-text rule: its last 4 bytes are a
 * slot when the text is exactly size - 5 bytes long. */
typedef struct TextField {
  int offset;
  int size;
} TextField;

typedef struct Layout Layout;

/* A slot pointing at `count` blocks of `target`; the count is the int32 at
 * countOffset, or 1 when countOffset is -1. */
typedef struct SlotField {
  int offset;
  const Layout* target;
  int countOffset;
} SlotField;

struct Layout {
  const char* name;
  int size;
  const TextField* texts;
  int textCount;
  const SlotField* slots;
  int slotCount;
};

#define COUNT(a) ((int)(sizeof(a) / sizeof((a)[0])))
#define TEXT_FIELD(type, field) {(int)offsetof(type, field), (int)sizeof(((type*)0)->field)}

static const TextField kQuantityItemTexts[] = {TEXT_FIELD(QuantityItem, unit)};
static const Layout kQuantityItem = {"QuantityItem", sizeof(QuantityItem),
                                     kQuantityItemTexts, COUNT(kQuantityItemTexts), NULL, 0};

static const TextField kCatalogueDetailTexts[] = {TEXT_FIELD(CatalogueDetail, catalogue),
                                                  TEXT_FIELD(CatalogueDetail, tableColumn)};
static const Layout kCatalogueDetail = {"CatalogueDetail", sizeof(CatalogueDetail),
                                        kCatalogueDetailTexts, COUNT(kCatalogueDetailTexts),
                                        NULL, 0};

static const Layout kCostItem = {"CostItem", sizeof(CostItem), NULL, 0, NULL, 0};

static const TextField kEstimateTexts[] = {TEXT_FIELD(EstimateRecord, name)};
static const SlotField kEstimateSlots[] = {
    {offsetof(EstimateRecord, quantityItems), &kQuantityItem,
     offsetof(EstimateRecord, quantityCount)}};
static const Layout kEstimate = {"EstimateRecord", sizeof(EstimateRecord),
                                 kEstimateTexts, COUNT(kEstimateTexts),
                                 kEstimateSlots, COUNT(kEstimateSlots)};

static const TextField kElementTexts[] = {TEXT_FIELD(ElementRecord, description)};
static const SlotField kElementSlots[] = {
    {offsetof(ElementRecord, quantityItems), &kQuantityItem,
     offsetof(ElementRecord, quantityCount)}};
static const Layout kElement = {"ElementRecord", sizeof(ElementRecord),
                                kElementTexts, COUNT(kElementTexts),
                                kElementSlots, COUNT(kElementSlots)};

static const TextField kPositionTexts[] = {TEXT_FIELD(PositionRecord, description),
                                           TEXT_FIELD(PositionRecord, unit),
                                           TEXT_FIELD(PositionRecord, secondUnit)};
static const SlotField kPositionSlots[] = {
    {offsetof(PositionRecord, catalogueDetail), &kCatalogueDetail, -1}};
static const Layout kPosition = {"PositionRecord", sizeof(PositionRecord),
                                 kPositionTexts, COUNT(kPositionTexts),
                                 kPositionSlots, COUNT(kPositionSlots)};

static const TextField kMeasurementLineTexts[] = {TEXT_FIELD(MeasurementLineRecord, comment),
                                                  TEXT_FIELD(MeasurementLineRecord, measurement)};
static const Layout kMeasurementLine = {"MeasurementLineRecord", sizeof(MeasurementLineRecord),
                                        kMeasurementLineTexts, COUNT(kMeasurementLineTexts),
                                        NULL, 0};

static const TextField kResourceTexts[] = {
    TEXT_FIELD(ResourceRecord, name), TEXT_FIELD(ResourceRecord, indexCode),
    TEXT_FIELD(ResourceRecord, unit), TEXT_FIELD(ResourceRecord, consumptionText)};
static const Layout kResource = {"ResourceRecord", sizeof(ResourceRecord),
                                 kResourceTexts, COUNT(kResourceTexts), NULL, 0};

static const SlotField kSummarySlots[] = {
    {offsetof(SummaryRecord, items), &kCostItem, offsetof(SummaryRecord, itemCount)}};
static const Layout kSummary = {"SummaryRecord", sizeof(SummaryRecord), NULL, 0,
                                kSummarySlots, COUNT(kSummarySlots)};

static const Layout kProgress = {"progress", 8, NULL, 0, NULL, 0};

static const Layout* LayoutOfToken(int32_t type) {
  switch (type) {
    case IMP_TOKEN_ESTIMATE: return &kEstimate;
    case IMP_TOKEN_ELEMENT: return &kElement;
    case IMP_TOKEN_POSITION: return &kPosition;
    case IMP_TOKEN_RESOURCE: return &kResource;
    case IMP_TOKEN_SUMMARY: return &kSummary;
    case IMP_TOKEN_MEASUREMENT_LINE: return &kMeasurementLine;
    case IMP_TOKEN_PROGRESS: return &kProgress;
    default: return NULL;
  }
}

/* ------------------------------------------------------------ printing */

static uint32_t Read32(const unsigned char* p) {
  return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

static void PrintEscaped(const char* text) {
  const unsigned char* p = (const unsigned char*)text;
  putchar('"');
  for (; *p; ++p) {
    if (*p == '"' || *p == '\\') {
      printf("\\%c", *p);
    } else if (*p >= 0x20 && *p < 0x7F) {
      putchar(*p);
    } else {
      printf("\\x%02X", *p);
    }
  }
  putchar('"');
}

/* Prints `size` bytes 16 to a line; masked bytes print as "@@", and a run
 * of lines equal to the one before them prints as a single "*". */
static void PrintHex(const unsigned char* bytes, const char* masked, int size, int indent) {
  char line[16 * 3 + 1];
  char previous[sizeof line] = "";
  int starred = 0;
  for (int at = 0; at < size; at += 16) {
    char* out = line;
    for (int i = at; i < at + 16 && i < size; ++i) {
      if (masked[i]) {
        memcpy(out, " @@", 3);
      } else {
        sprintf(out, " %02x", bytes[i]);
      }
      out += 3;
    }
    *out = '\0';
    if (at > 0 && at + 16 < size && strcmp(line, previous) == 0) {
      if (!starred) printf("%*s*\n", indent, "");
      starred = 1;
      continue;
    }
    starred = 0;
    strcpy(previous, line);
    printf("%*s%04x%s\n", indent, "", at, line);
  }
}

static int DumpBlock(const Layout* layout, const unsigned char* bytes, int indent);

/* Prints what stands behind the slots of one block. */
static int FollowSlots(const Layout* layout, const unsigned char* bytes, int indent) {
  int ok = 1;
  for (int i = 0; i < layout->textCount; ++i) {
    const TextField* f = &layout->texts[i];
    const char* text = (const char*)bytes + f->offset;
    size_t length = strnlen(text, (size_t)f->size);
    uint32_t slot = Read32(bytes + f->offset + f->size - 4);
    if (length > (size_t)f->size - 5 || slot == 0) continue;
    if (length < (size_t)f->size - 5) {
      /* Left behind by an earlier, longer value: no address by the rule. */
      printf("%*sstale slot @%d\n", indent, "", f->offset + f->size - 4);
      continue;
    }
    const char* full = (const char*)IMP_SLOT_PTR(slot);
    printf("%*slong text @%d: ", indent, "", f->offset);
    PrintEscaped(full);
    putchar('\n');
    if (strncmp(full, text, length) != 0 || strlen(full) < (size_t)f->size) {
      printf("%*s!! the full text does not continue the field\n", indent, "");
      ok = 0;
    }
  }
  for (int i = 0; i < layout->slotCount; ++i) {
    const SlotField* s = &layout->slots[i];
    uint32_t slot = Read32(bytes + s->offset);
    if (slot == 0) continue;
    int32_t count = s->countOffset < 0 ? 1 : (int32_t)Read32(bytes + s->countOffset);
    printf("%*sblock @%d: %d x %s\n", indent, "", s->offset, count, s->target->name);
    if (count < 0 || count > 1000) {
      printf("%*s!! implausible count\n", indent, "");
      ok = 0;
      continue;
    }
    const unsigned char* items = (const unsigned char*)IMP_SLOT_PTR(slot);
    for (int32_t k = 0; k < count; ++k) {
      if (count > 1) printf("%*s[%d]\n", indent + 2, "", k);
      ok &= DumpBlock(s->target, items + (size_t)k * (size_t)s->target->size, indent + 2);
    }
  }
  return ok;
}

static int DumpBlock(const Layout* layout, const unsigned char* bytes, int indent) {
  char* masked = (char*)calloc((size_t)layout->size, 1);
  if (masked == NULL) return 0;
  for (int i = 0; i < layout->slotCount; ++i) {
    if (Read32(bytes + layout->slots[i].offset) != 0) {
      memset(masked + layout->slots[i].offset, 1, 4);
    }
  }
  for (int i = 0; i < layout->textCount; ++i) {
    const TextField* f = &layout->texts[i];
    size_t length = strnlen((const char*)bytes + f->offset, (size_t)f->size);
    if (length <= (size_t)f->size - 5 && Read32(bytes + f->offset + f->size - 4) != 0) {
      memset(masked + f->offset + f->size - 4, 1, 4);
    }
  }
  PrintHex(bytes, masked, layout->size, indent);
  free(masked);
  return FollowSlots(layout, bytes, indent);
}

/* ------------------------------------------------------------ loading */

static void* FindExport(ModuleHandle module, const char* name) {
#ifdef _WIN32
  FARPROC f = GetProcAddress(module, name);
  void* p;
  memcpy(&p, &f, sizeof p);
  return p;
#else
  return dlsym(module, name);
#endif
}

static int OpenModule(const char* path, ModuleHandle* module, Exports* exports) {
#ifdef _WIN32
  *module = LoadLibraryA(path);
  if (*module == NULL) {
    fprintf(stderr, "LoadLibrary(%s) failed: error %lu\n", path, (unsigned long)GetLastError());
    return 0;
  }
#else
  *module = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (*module == NULL) {
    fprintf(stderr, "dlopen(%s) failed: %s\n", path, dlerror());
    return 0;
  }
#endif
  static const char* const names[5] = {"ImpStart", "ImpGetDescr", "ImpKosztDescr",
                                       "ImpGetNextToken", "ImpEnd"};
  void* found[5];
  for (int i = 0; i < 5; ++i) {
    found[i] = FindExport(*module, names[i]);
    if (found[i] == NULL) {
      fprintf(stderr, "%s: no export %s\n", path, names[i]);
      return 0;
    }
  }
  memcpy(&exports->start, &found[0], sizeof found[0]);
  memcpy(&exports->getDescr, &found[1], sizeof found[1]);
  memcpy(&exports->kosztDescr, &found[2], sizeof found[2]);
  memcpy(&exports->getNextToken, &found[3], sizeof found[3]);
  memcpy(&exports->end, &found[4], sizeof found[4]);
  return 1;
}

static void CloseModule(ModuleHandle module) {
#ifdef _WIN32
  FreeLibrary(module);
#else
  dlclose(module);
#endif
}

/* ------------------------------------------------------------ the host */

enum { kGuardSize = 64, kFill = 0xCD, kMaxTokens = 10 * 1000 * 1000 };

static int ShowDescription(const Exports* imp, const char* file) {
  int32_t started = imp->start(file);
  printf("describe: ImpStart %d\n", started);
  if (started != IMP_START_OK) {
    printf("ImpGetDescr ");
    PrintEscaped(imp->getDescr());
    putchar('\n');
  } else {
    static const TextField kText[] = {{0, 256}};
    static const Layout kDescription = {"description", 256, kText, 1, NULL, 0};
    const char* text = imp->kosztDescr();
    printf("ImpKosztDescr ");
    PrintEscaped(text);
    putchar('\n');
    if (!FollowSlots(&kDescription, (const unsigned char*)text, 2)) return 0;
  }
  printf("describe: ImpEnd %d\n", imp->end());
  return 1;
}

static int Import(const Exports* imp, const char* file) {
  int32_t started = imp->start(file);
  printf("import: ImpStart %d\n", started);
  if (started != IMP_START_OK) {
    printf("ImpGetDescr ");
    PrintEscaped(imp->getDescr());
    putchar('\n');
    printf("import: ImpEnd %d\n", imp->end());
    return 1;
  }
  unsigned char* buffer = (unsigned char*)malloc(IMP_MAX_RECORD_SIZE + kGuardSize);
  if (buffer == NULL) return 0;
  int ok = 1;
  long tokens = 0;
  for (;;) {
    int32_t type = -1;
    memset(buffer, kFill, IMP_MAX_RECORD_SIZE + kGuardSize);
    int32_t result = imp->getNextToken(&type, buffer);
    for (int i = IMP_MAX_RECORD_SIZE; i < IMP_MAX_RECORD_SIZE + kGuardSize; ++i) {
      if (buffer[i] != kFill) {
        printf("!! ImpGetNextToken wrote past the %d-byte buffer\n", IMP_MAX_RECORD_SIZE);
        ok = 0;
        break;
      }
    }
    if (result == 0) {
      printf("ImpGetNextToken 0");
      if (type == IMP_TOKEN_PROGRESS) printf(" with a progress report");
      printf("\n");
      break;
    }
    ++tokens;
    const Layout* layout = result == 1 ? LayoutOfToken(type) : NULL;
    if (layout == NULL) {
      printf("!! ImpGetNextToken %d, type %d\n", result, type);
      ok = 0;
      break;
    }
    printf("token %ld type %d (%s, %d bytes)\n", tokens, type, layout->name, layout->size);
    ok &= DumpBlock(layout, buffer, 2);
    if (tokens >= kMaxTokens) {
      printf("!! no end after %d tokens\n", kMaxTokens);
      ok = 0;
      break;
    }
  }
  free(buffer);
  printf("import: %ld tokens, ImpEnd %d\n", tokens, imp->end());
  return ok;
}

int main(int argc, char** argv) {
#ifdef _WIN32
  /* The same bytes as on Linux: no CR before each LF. */
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  if (argc != 3) {
    fprintf(stderr, "usage: %s MODULE FILE\n", argv[0]);
    return 2;
  }
  ModuleHandle module;
  Exports imp;
  if (!OpenModule(argv[1], &module, &imp)) return 2;
  const char* base = argv[2];
  for (const char* p = argv[2]; *p; ++p) {
    if (*p == '/' || *p == '\\') base = p + 1;
  }
  printf("file %s\n", base);
  int ok = ShowDescription(&imp, argv[2]);
  ok &= Import(&imp, argv[2]);
  fflush(stdout);
  CloseModule(module);
  return ok ? 0 : 1;
}
