/*
 * impordano: import module for estimate files exported as Windows-1250 text.
 * This comment is the whole contract between the module and its host.
 *
 * CALLS. One thread; all five functions are cdecl on every target (also
 * for 32-bit Windows: not stdcall) and take and give NUL-terminated
 * Windows-1250 texts. A path is an ANSI path: code page 1250 on a Polish
 * Windows, bytes as the C library's fopen takes them elsewhere.
 *
 *   ImpStart(path)           1 = opened, its first non-blank line is "[Plik]";
 *                            3 = failed, ImpGetDescr tells why. Ends an import
 *                            still open, as ImpEnd does.
 *   ImpGetNextToken(&t, buf) 1 = a token was written: its type into t, its
 *                            bytes into buf, which holds IMP_MAX_RECORD_SIZE
 *                            (1888) bytes aligned for a double;
 *                            0 = nothing more: the import is over (or
 *                            failed, see ImpGetDescr); t and buf then hold
 *                            nothing meaningful.
 *   ImpEnd()                 ends the import; 0, or the error of closing.
 *   ImpKosztDescr()          the description of the file (its "Opis"), a
 *                            256-byte text field. Once, right after ImpStart
 *                            returned 1; anywhere else it gives "" (and
 *                            empties the text an earlier call gave).
 *   ImpGetDescr()            the error text, at any time (below).
 *
 * Two ways to use an import, each opened by ImpStart and closed by ImpEnd:
 *   records:      ImpStart, ImpGetNextToken until it returns 0, ImpEnd;
 *   description:  ImpStart, ImpKosztDescr, ImpEnd.
 * ImpKosztDescr consumes the file section, where the reading of the records
 * begins, so it ends what its import can deliver: ImpGetNextToken then
 * returns 0 at once. To
 * show the description and import the records, open the file twice.
 * ImpGetNextToken returns 0 and writes nothing before ImpStart, after a
 * failed ImpStart, after ImpEnd, or with a null argument.
 *
 * DELIVERY ORDER. The records come in the order of the file's sections,
 * with these exceptions:
 *   - the summary (token 6, the estimate's surcharges) comes right after
 *     the last estimate record (token 2); in a file without one, last;
 *   - a position (token 4) is followed by its resources (token 5) up to
 *     its first 'S' (equipment) resource, then its quantity take-off lines
 *     (token 12) in the order of their numbers, then its auxiliary
 *     materials (a resource of kind 'A', unit "%", when the position has
 *     them), then its first 'S' resource and every resource after it, in
 *     file order. Resources are always in file order among themselves.
 *     In short: R, M and A lines before the first S line of a position come
 *     between the position and its take-off lines; an S line, and what
 *     follows it, comes after them.
 *   - elements (token 3) come where they stand in the file: a host builds
 *     its tree from ElementRecord.depth.
 *
 * PROGRESS (token 22). buf holds one double: the part of the file read so
 * far, from 0 to 1 (position / size). A report comes when the module has
 * read more than 5000 bytes on since the last one without a record to
 * deliver. The module reads the whole file at the first ImpGetNextToken
 * and hands records out afterwards, so a host sees a report only as the
 * first token of a file whose "[Plik]" line lies more than 5000 bytes in
 * (after blank lines); however large the file, no other report comes.
 * A host should skip any token type it does not know.
 *
 * ERRORS. ImpGetDescr returns an error number as decimal text (errno):
 *   ""    after an ImpStart that returned 1 and an import that went well;
 *         also when ImpStart returned 3 because the file is not an
 *         estimate export (its first non-blank line is not "[Plik]");
 *   "2"   ImpStart: no such file (ENOENT);
 *   "13"  ImpStart on Windows: a directory, or no right to read (EACCES;
 *         elsewhere a directory gives "21", EISDIR);
 *   "5"   the file changed while it was imported (EIO): ImpGetNextToken
 *         stopped, the records delivered before are whole and from the
 *         file as it was. On Windows nobody can write to the file while it
 *         is imported, so this is met elsewhere;
 *   "12"  the import ran out of memory (ENOMEM): ImpStart returned 3, or
 *         ImpGetNextToken returned 0 at its first call, before any record;
 *   "22"  ImpStart with a null path (EINVAL);
 *   any other number: the system's error when the file could not be read
 *         (ImpStart returns 3, or ImpGetNextToken stops and returns 0).
 * After ImpGetNextToken returned 0, "" means the import is complete.
 *
 * LIFETIMES. Every slot block (QuantityItem, CatalogueDetail, the CostItem
 * array) and every full text behind a cut field, of every record delivered
 * and of the description, stays valid and unchanged until ImpEnd (or the
 * next ImpStart), also after a failed import. The bytes of a record are
 * the host's: they are in its buffer and the module keeps no copy.
 *
 * RECORDS. Byte-packed, little-endian, laid out for a 32-bit process:
 * int32 fields are signed, doubles IEEE 754, texts NUL-terminated
 * Windows-1250 in fixed arrays. A slot (imp_slot) is 4 bytes holding the
 * address of a block in module memory, 0 for none; in a 64-bit process the
 * module allocates every such block below 4 GiB, so IMP_SLOT_PTR turns a
 * slot into a pointer on every target. Reserved fields hold the values
 * given beside them; a host ignores them.
 *
 * LONG TEXTS. Every text field, of every record and the description, may
 * be read through IMP_LONG_TEXT: a text too long for its field of N bytes
 * keeps its first N-5 bytes and a NUL, and the last 4 bytes hold the slot
 * of the full text. IMP_LONG_TEXT(field, N) gives that full text, or NULL
 * when the field holds its whole text. Texts the module builds itself have
 * no full text behind them and give NULL: catalogueReference,
 * catalogueNumber, the tableColumn of a KNR basis (the part of "Kolumna"
 * after its first '-'), a CostItem's name, and a consumptionText rewritten
 * with its correction factor. Built from a cut text, they hold its cut
 * form. The full text of a field stays valid as LIFETIMES says.
 */
#ifndef IMPORDANO_H_
#define IMPORDANO_H_

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#define IMP_CALL __cdecl
#if defined(IMPORDANO_BUILDING)
#define IMP_API __declspec(dllexport)
#else
#define IMP_API __declspec(dllimport)
#endif
#else
#define IMP_CALL
#if defined(IMPORDANO_BUILDING)
#define IMP_API __attribute__((visibility("default")))
#else
#define IMP_API
#endif
#endif

#ifdef __cplusplus
#define IMP_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
extern "C" {
#elif defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
#define IMP_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#else
/* C99, and MSVC's C without /std:c11: an array of negative size stops the
 * compiler instead. */
#define IMP_CHECK_NAME2(line) imp_layout_check_##line
#define IMP_CHECK_NAME(line) IMP_CHECK_NAME2(line)
#define IMP_STATIC_ASSERT(cond, msg) typedef char IMP_CHECK_NAME(__LINE__)[(cond) ? 1 : -1]
#endif

/* ------------------------------------------------------------------ exports */

IMP_API int32_t IMP_CALL ImpStart(const char* path);
IMP_API char* IMP_CALL ImpGetDescr(void);
IMP_API char* IMP_CALL ImpKosztDescr(void);
IMP_API int32_t IMP_CALL ImpGetNextToken(int32_t* type, void* buffer);
IMP_API int32_t IMP_CALL ImpEnd(void);

/* Results of ImpStart. */
#define IMP_START_OK 1
#define IMP_START_FAILED 3

/* Token types written into *type by ImpGetNextToken. */
#define IMP_TOKEN_ESTIMATE 2
#define IMP_TOKEN_ELEMENT 3
#define IMP_TOKEN_POSITION 4
#define IMP_TOKEN_RESOURCE 5
#define IMP_TOKEN_SUMMARY 6
#define IMP_TOKEN_MEASUREMENT_LINE 12
#define IMP_TOKEN_PROGRESS 22 /* buffer holds one double in [0, 1] */

/* The buffer passed to ImpGetNextToken must hold the largest record. */
#define IMP_MAX_RECORD_SIZE 1888

/* The size of the text field ImpKosztDescr points to. */
#define IMP_DESCRIPTION_SIZE 256

/* Tags: the first int32 of each record. */
#define IMP_TAG_MEASUREMENT_LINE 2
#define IMP_TAG_SUMMARY 5
#define IMP_TAG_ELEMENT 6
#define IMP_TAG_RESOURCE 7
#define IMP_TAG_ESTIMATE 12
#define IMP_TAG_POSITION 13

/* Resource kind letters (ResourceRecord.kind). */
#define IMP_KIND_LABOUR 'R'
#define IMP_KIND_MATERIAL 'M'
#define IMP_KIND_EQUIPMENT 'S'
#define IMP_KIND_AUXILIARY 'A' /* also every section without a "Typ" line */

/* MeasurementLineRecord.entryKind */
#define IMP_ENTRY_COMMENT_ONLY 0
#define IMP_ENTRY_MEASUREMENT 2

/* CostItem basis codes: whether a surcharge applies to a cost group. 'B'
 * and 'W' both mean that it applies; 'W' only on a profit item, for a group
 * whose most frequent "Zysk Kp" rate (labour, equipment) or "Zysk Kz" rate
 * (material) equals the item's rate. */
#define IMP_BASIS_NONE 0
#define IMP_BASIS_APPLIES 'B'
#define IMP_BASIS_PROFIT_W 'W'

/* A 4-byte pointer slot. */
typedef uint32_t imp_slot;
#define IMP_SLOT_PTR(slot) ((void*)(uintptr_t)(slot))

/* The long-text rule: a text field of `size` bytes holds its full text's
 * slot in its last IMP_LONG_TEXT_SLOT_SIZE bytes, at IMP_LONG_TEXT_SLOT_OFFSET,
 * exactly when its text is IMP_LONG_TEXT_CUT_LENGTH bytes long (the slot is 0
 * when that text is whole). */
#define IMP_LONG_TEXT_SLOT_SIZE 4
#define IMP_LONG_TEXT_SLOT_OFFSET(size) ((size) - IMP_LONG_TEXT_SLOT_SIZE)
#define IMP_LONG_TEXT_CUT_LENGTH(size) (IMP_LONG_TEXT_SLOT_OFFSET(size) - 1)

/* The full text behind a text field of `size` bytes, or NULL when the field
 * holds its whole text: a text of exactly size-5 bytes carries in the last 4
 * bytes a slot with the address of the full text (0 when it is whole).
 * Valid until ImpEnd. */
static inline const char* imp_long_text(const void* field, size_t size) {
  const unsigned char* bytes = (const unsigned char*)field;
  size_t length = 0;
  uint32_t slot;
  if (size <= IMP_LONG_TEXT_SLOT_SIZE) return (const char*)0;
  while (length < size && bytes[length] != 0) ++length;
  if (length != IMP_LONG_TEXT_CUT_LENGTH(size)) return (const char*)0;
  bytes += IMP_LONG_TEXT_SLOT_OFFSET(size);
  slot = (uint32_t)bytes[0] | (uint32_t)bytes[1] << 8 | (uint32_t)bytes[2] << 16 |
         (uint32_t)bytes[3] << 24;
  return (const char*)IMP_SLOT_PTR(slot);
}
#define IMP_LONG_TEXT(field, size) imp_long_text((field), (size))

#pragma pack(push, 1)

/* Token 2: the estimate's header, 824 bytes. */
typedef struct EstimateRecord {
  int32_t recordTag;        /* 12 */
  char name[256];           /* "Nazwa" */
  int32_t lastLevelIndex;   /* number of levels minus 1 */
  int32_t remarks;          /* "Uwagi" read as an integer */
  int32_t reserved268;      /* 1 */
  uint8_t reserved272[20];
  int32_t reserved292[6];   /* -1 */
  uint8_t reserved316[16];
  int32_t quantityCount;    /* always 0 */
  int32_t quantityItemSize; /* 296 */
  imp_slot quantityItems;   /* always 0 */
  int32_t reserved344[6];   /* -1 */
  int32_t reserved368;      /* 1 */
  int32_t reserved372[8];   /* -1 */
  uint8_t reserved404[36];
  int32_t reserved440;      /* -1 */
  uint8_t reserved444[12];
  int32_t reserved456;      /* -1 */
  uint8_t reserved460[4];
  double reserved464;       /* -1.0 */
  int32_t reserved472[7];   /* -1 */
  uint8_t reserved500[256];
  int32_t reserved756[8];   /* -1 */
  uint8_t reserved788[4];
  int32_t reserved792;      /* 32 */
  uint8_t reserved796[4];
  int32_t reserved800[3];   /* -1 */
  uint8_t reserved812[4];
  int32_t reserved816;      /* -1 */
  uint8_t reserved820[4];
} EstimateRecord;

/* The quantity and unit of an element, 296 bytes. */
typedef struct QuantityItem {
  double quantity; /* "Obmiar" */
  char unit[32];   /* second field of "JM" */
  uint8_t reserved40[256];
} QuantityItem;

/* Token 3: a chapter of the estimate, 528 bytes. */
typedef struct ElementRecord {
  int32_t recordTag;        /* 6 */
  char description[256];    /* "Opis" */
  int32_t depth;            /* parts of the element's number: 1 for 2, 2 for 2.1 */
  int32_t quantityCount;    /* 1 when the section had "Obmiar" or "JM" */
  int32_t quantityItemSize; /* 296 */
  imp_slot quantityItems;   /* QuantityItem, or 0 */
  uint8_t reserved276[4];
  double reserved280[4];    /* 0.0 */
  uint8_t reserved312[72];
  int32_t reserved384;      /* 0x7FFFFFFF */
  uint8_t reserved388[140];
} ElementRecord;

/* The parts of a position's basis, 772 bytes. */
typedef struct CatalogueDetail {
  uint8_t reserved0[68];
  char catalogue[64];       /* "Katalog" */
  char catalogueNumber[64]; /* KNR basis only: "%d-%02d" */
  char tableColumn[256];    /* "Kolumna"; for KNR the part after the first '-' */
  uint8_t reserved452[320];
} CatalogueDetail;

/* Token 4: a priced item of work, 1888 bytes. */
typedef struct PositionRecord {
  int32_t recordTag;            /* 13 */
  char catalogueReference[320]; /* "KNR 2-02 0101-02" */
  char description[256];        /* "Opis" */
  uint8_t reserved580[256];
  char unit[32];                /* "JM" field 0 */
  char secondUnit[32];          /* "JM" field 1 */
  uint8_t reserved900[260];
  double quantity;              /* "Obmiar" */
  uint8_t reserved1168[132];
  uint32_t flags;               /* bit 0: "Uproszczona" */
  uint8_t reserved1304[24];
  double price;                 /* "Cena" */
  uint8_t reserved1336[12];
  int32_t reservedId;           /* -1 */
  uint8_t reserved1352[48];
  double multiplicity;          /* multiplicity key, 1.0 without it */
  uint8_t reserved1408[20];
  imp_slot catalogueDetail;     /* CatalogueDetail for a KNR basis, else 0 */
  uint8_t reserved1432[456];
} PositionRecord;

#define IMP_POSITION_FLAG_SIMPLIFIED 1u

/* Token 12: one numbered line of a position's quantity take-off, 632 bytes. */
typedef struct MeasurementLineRecord {
  int32_t recordTag;         /* 2 */
  int32_t entryKind;         /* IMP_ENTRY_MEASUREMENT or IMP_ENTRY_COMMENT_ONLY */
  char comment[256];         /* "Komentarz n" */
  char measurement[256];     /* "Przedmiar n" */
  uint32_t reservedValue[2]; /* 0 */
  int32_t lineFlag;          /* 1 */
  uint8_t reserved532[100];
} MeasurementLineRecord;

/* Token 5: a labour, material or equipment line of a position, 680 bytes. */
typedef struct ResourceRecord {
  int32_t recordTag; /* 7 */
  int32_t kind;      /* IMP_KIND_*: first byte of "Typ", unsigned */
  char name[128];
  char indexCode[32];
  int32_t reserved168; /* 1 */
  char unit[32];
  uint8_t reserved204[4];
  double consumption;  /* per unit of the position, corrected */
  double price;
  double reserved224[3];
  uint8_t reserved248[64];
  int32_t investorQuantityMatches; /* 1 when within 5 % of the total */
  uint8_t reserved316[4];
  double reserved320[5];
  double reserved360;  /* 1.0 */
  int32_t reserved368; /* 0 */
  uint8_t reserved372[40];
  int32_t fixedInput;                  /* fixed-input key */
  int32_t includeInAuxiliaryMaterials; /* 1 unless excluded */
  char consumptionText[256];           /* "0.25*1.5" */
  uint8_t reserved676[4];
} ResourceRecord;

/* One surcharge of the summary, 256 bytes. */
typedef struct CostItem {
  char name[64];
  double rate;
  int32_t reserved72; /* 1 */
  uint8_t reserved76[8];
  int32_t labourBasis;    /* IMP_BASIS_* */
  int32_t materialBasis;  /* IMP_BASIS_* */
  int32_t equipmentBasis; /* IMP_BASIS_* */
  uint8_t reserved96[64];
  int32_t reserved160; /* 1 */
  uint8_t reserved164[4];
  int32_t reserved168; /* -1 */
  uint8_t reserved172[84];
} CostItem;

/* Token 6: the estimate's surcharges, 20 bytes. */
typedef struct SummaryRecord {
  int32_t recordTag;  /* 5 */
  int32_t reserved4;  /* 1 */
  int32_t itemCount;  /* 3 to 6 */
  imp_slot items;     /* CostItem[itemCount] */
  int32_t itemSize;   /* 256 */
} SummaryRecord;

#pragma pack(pop)

#define IMP_CHECK_SIZE(type, size) \
  IMP_STATIC_ASSERT(sizeof(type) == (size), #type " has the wrong size")
#define IMP_CHECK_AT(type, field, offset) \
  IMP_STATIC_ASSERT(offsetof(type, field) == (offset), #type "." #field " is misplaced")

/* Every field at the offset of its layout, in 32-bit and 64-bit builds. */
IMP_CHECK_SIZE(EstimateRecord, 824);
IMP_CHECK_AT(EstimateRecord, recordTag, 0);
IMP_CHECK_AT(EstimateRecord, name, 4);
IMP_CHECK_AT(EstimateRecord, lastLevelIndex, 260);
IMP_CHECK_AT(EstimateRecord, remarks, 264);
IMP_CHECK_AT(EstimateRecord, reserved268, 268);
IMP_CHECK_AT(EstimateRecord, reserved272, 272);
IMP_CHECK_AT(EstimateRecord, reserved292, 292);
IMP_CHECK_AT(EstimateRecord, reserved316, 316);
IMP_CHECK_AT(EstimateRecord, quantityCount, 332);
IMP_CHECK_AT(EstimateRecord, quantityItemSize, 336);
IMP_CHECK_AT(EstimateRecord, quantityItems, 340);
IMP_CHECK_AT(EstimateRecord, reserved344, 344);
IMP_CHECK_AT(EstimateRecord, reserved368, 368);
IMP_CHECK_AT(EstimateRecord, reserved372, 372);
IMP_CHECK_AT(EstimateRecord, reserved404, 404);
IMP_CHECK_AT(EstimateRecord, reserved440, 440);
IMP_CHECK_AT(EstimateRecord, reserved444, 444);
IMP_CHECK_AT(EstimateRecord, reserved456, 456);
IMP_CHECK_AT(EstimateRecord, reserved460, 460);
IMP_CHECK_AT(EstimateRecord, reserved464, 464);
IMP_CHECK_AT(EstimateRecord, reserved472, 472);
IMP_CHECK_AT(EstimateRecord, reserved500, 500);
IMP_CHECK_AT(EstimateRecord, reserved756, 756);
IMP_CHECK_AT(EstimateRecord, reserved788, 788);
IMP_CHECK_AT(EstimateRecord, reserved792, 792);
IMP_CHECK_AT(EstimateRecord, reserved796, 796);
IMP_CHECK_AT(EstimateRecord, reserved800, 800);
IMP_CHECK_AT(EstimateRecord, reserved812, 812);
IMP_CHECK_AT(EstimateRecord, reserved816, 816);
IMP_CHECK_AT(EstimateRecord, reserved820, 820);

IMP_CHECK_SIZE(QuantityItem, 296);
IMP_CHECK_AT(QuantityItem, quantity, 0);
IMP_CHECK_AT(QuantityItem, unit, 8);
IMP_CHECK_AT(QuantityItem, reserved40, 40);

IMP_CHECK_SIZE(ElementRecord, 528);
IMP_CHECK_AT(ElementRecord, recordTag, 0);
IMP_CHECK_AT(ElementRecord, description, 4);
IMP_CHECK_AT(ElementRecord, depth, 260);
IMP_CHECK_AT(ElementRecord, quantityCount, 264);
IMP_CHECK_AT(ElementRecord, quantityItemSize, 268);
IMP_CHECK_AT(ElementRecord, quantityItems, 272);
IMP_CHECK_AT(ElementRecord, reserved276, 276);
IMP_CHECK_AT(ElementRecord, reserved280, 280);
IMP_CHECK_AT(ElementRecord, reserved312, 312);
IMP_CHECK_AT(ElementRecord, reserved384, 384);
IMP_CHECK_AT(ElementRecord, reserved388, 388);

IMP_CHECK_SIZE(CatalogueDetail, 772);
IMP_CHECK_AT(CatalogueDetail, reserved0, 0);
IMP_CHECK_AT(CatalogueDetail, catalogue, 68);
IMP_CHECK_AT(CatalogueDetail, catalogueNumber, 132);
IMP_CHECK_AT(CatalogueDetail, tableColumn, 196);
IMP_CHECK_AT(CatalogueDetail, reserved452, 452);

IMP_CHECK_SIZE(PositionRecord, 1888);
IMP_CHECK_AT(PositionRecord, recordTag, 0);
IMP_CHECK_AT(PositionRecord, catalogueReference, 4);
IMP_CHECK_AT(PositionRecord, description, 324);
IMP_CHECK_AT(PositionRecord, reserved580, 580);
IMP_CHECK_AT(PositionRecord, unit, 836);
IMP_CHECK_AT(PositionRecord, secondUnit, 868);
IMP_CHECK_AT(PositionRecord, reserved900, 900);
IMP_CHECK_AT(PositionRecord, quantity, 1160);
IMP_CHECK_AT(PositionRecord, reserved1168, 1168);
IMP_CHECK_AT(PositionRecord, flags, 1300);
IMP_CHECK_AT(PositionRecord, reserved1304, 1304);
IMP_CHECK_AT(PositionRecord, price, 1328);
IMP_CHECK_AT(PositionRecord, reserved1336, 1336);
IMP_CHECK_AT(PositionRecord, reservedId, 1348);
IMP_CHECK_AT(PositionRecord, reserved1352, 1352);
IMP_CHECK_AT(PositionRecord, multiplicity, 1400);
IMP_CHECK_AT(PositionRecord, reserved1408, 1408);
IMP_CHECK_AT(PositionRecord, catalogueDetail, 1428);
IMP_CHECK_AT(PositionRecord, reserved1432, 1432);

IMP_CHECK_SIZE(MeasurementLineRecord, 632);
IMP_CHECK_AT(MeasurementLineRecord, recordTag, 0);
IMP_CHECK_AT(MeasurementLineRecord, entryKind, 4);
IMP_CHECK_AT(MeasurementLineRecord, comment, 8);
IMP_CHECK_AT(MeasurementLineRecord, measurement, 264);
IMP_CHECK_AT(MeasurementLineRecord, reservedValue, 520);
IMP_CHECK_AT(MeasurementLineRecord, lineFlag, 528);
IMP_CHECK_AT(MeasurementLineRecord, reserved532, 532);

IMP_CHECK_SIZE(ResourceRecord, 680);
IMP_CHECK_AT(ResourceRecord, recordTag, 0);
IMP_CHECK_AT(ResourceRecord, kind, 4);
IMP_CHECK_AT(ResourceRecord, name, 8);
IMP_CHECK_AT(ResourceRecord, indexCode, 136);
IMP_CHECK_AT(ResourceRecord, reserved168, 168);
IMP_CHECK_AT(ResourceRecord, unit, 172);
IMP_CHECK_AT(ResourceRecord, reserved204, 204);
IMP_CHECK_AT(ResourceRecord, consumption, 208);
IMP_CHECK_AT(ResourceRecord, price, 216);
IMP_CHECK_AT(ResourceRecord, reserved224, 224);
IMP_CHECK_AT(ResourceRecord, reserved248, 248);
IMP_CHECK_AT(ResourceRecord, investorQuantityMatches, 312);
IMP_CHECK_AT(ResourceRecord, reserved316, 316);
IMP_CHECK_AT(ResourceRecord, reserved320, 320);
IMP_CHECK_AT(ResourceRecord, reserved360, 360);
IMP_CHECK_AT(ResourceRecord, reserved368, 368);
IMP_CHECK_AT(ResourceRecord, reserved372, 372);
IMP_CHECK_AT(ResourceRecord, fixedInput, 412);
IMP_CHECK_AT(ResourceRecord, includeInAuxiliaryMaterials, 416);
IMP_CHECK_AT(ResourceRecord, consumptionText, 420);
IMP_CHECK_AT(ResourceRecord, reserved676, 676);

IMP_CHECK_SIZE(CostItem, 256);
IMP_CHECK_AT(CostItem, name, 0);
IMP_CHECK_AT(CostItem, rate, 64);
IMP_CHECK_AT(CostItem, reserved72, 72);
IMP_CHECK_AT(CostItem, reserved76, 76);
IMP_CHECK_AT(CostItem, labourBasis, 84);
IMP_CHECK_AT(CostItem, materialBasis, 88);
IMP_CHECK_AT(CostItem, equipmentBasis, 92);
IMP_CHECK_AT(CostItem, reserved96, 96);
IMP_CHECK_AT(CostItem, reserved160, 160);
IMP_CHECK_AT(CostItem, reserved164, 164);
IMP_CHECK_AT(CostItem, reserved168, 168);
IMP_CHECK_AT(CostItem, reserved172, 172);

IMP_CHECK_SIZE(SummaryRecord, 20);
IMP_CHECK_AT(SummaryRecord, recordTag, 0);
IMP_CHECK_AT(SummaryRecord, reserved4, 4);
IMP_CHECK_AT(SummaryRecord, itemCount, 8);
IMP_CHECK_AT(SummaryRecord, items, 12);
IMP_CHECK_AT(SummaryRecord, itemSize, 16);

IMP_CHECK_SIZE(imp_slot, 4);
IMP_STATIC_ASSERT(sizeof(double) == 8, "records need 8-byte doubles");

#ifdef __cplusplus
}
#endif

#endif /* IMPORDANO_H_ */
