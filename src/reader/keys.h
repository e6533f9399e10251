// The keys of the estimate file's key lines, by their meaning. A key line
// "Cena=12,5" has the key "Cena"; the same key means the same thing in
// every section that knows it ("Opis" is a description in the file, element
// and position sections). Keys are compared byte for byte: case and blanks
// matter, and the Polish letters are Windows-1250 bytes.
#ifndef IMPORDANO_READER_KEYS_H_
#define IMPORDANO_READER_KEYS_H_

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace imp {

enum class Key {
  kUnknown,
  kDescription,          // "Opis"
  kDecimalSymbol,        // "Symbol dziesi\xEAtny"
  kName,                 // "Nazwa"
  kLevelCount,           // "Liczba poziom\xF3w"
  kRemarks,              // "Uwagi"
  kQuantity,             // "Obmiar"
  kUnit,                 // "JM"
  kCatalogue,            // "Katalog"
  kColumn,               // "Kolumna"
  kSimplified,           // "Uproszczona"
  kMultiplicity,         // "Krotno\x9C\xE6"
  kPrice,                // "Cena"
  kAuxiliaryMaterials,   // "Materia\xB3y pomocnicze"
  kKind,                 // "Typ"
  kIndex,                // "Indeks"
  kConsumption,          // "Tarvo"
  kFixedInput,           // "Sta\xB3y nak\xB3" "ad"
  kNotAuxiliary,         // "Nie uwzgl\xEA" "dniaj przy liczeniu materia\xB3\xF3w pomocmiczych"
  kInvestorQuantity,     // "Ilo\x9C\xE6 inwestora"
  kCorrectionFactor,     // "Wsp\xF3\xB3" "czynnik koryguj\xB9" "cy"
  kPurchaseCost,         // "Koszty zakupu"
  kIndirectCost,         // "Koszty po\x9Crednie"
  kProfitKb,             // "Zysk Kb"
  kProfitKp,             // "Zysk Kp"
  kProfitKz,             // "Zysk Kz"
  // Numbered keys: the prefix, its blank included, then the line's number.
  kLineMeasurement,      // "Przedmiar n": the measurement of line n
  kLineComment,          // "Komentarz n": the comment of line n
};

// Length of the prefix of the numbered keys ("Przedmiar ", "Komentarz ").
constexpr size_t kNumberedKeyPrefix = 10;

// The meaning of the `length` bytes at `key`. Every key line asks it, twice
// per import: it is inline, and costs one table lookup and one comparison.
inline Key ClassifyKey(const char* key, size_t length) noexcept;

namespace keys_detail {

struct KeyText {
  const char* text;
  size_t length;
  Key key;
};

#define IMP_KEY(text, key) {text, sizeof(text) - 1, key}

// Every whole key; the numbered ones are matched by their prefix below.
inline constexpr KeyText kKeys[] = {
    IMP_KEY("Opis", Key::kDescription),
    IMP_KEY("Symbol dziesi\xEAtny", Key::kDecimalSymbol),
    IMP_KEY("Nazwa", Key::kName),
    IMP_KEY("Liczba poziom\xF3w", Key::kLevelCount),
    IMP_KEY("Uwagi", Key::kRemarks),
    IMP_KEY("Obmiar", Key::kQuantity),
    IMP_KEY("JM", Key::kUnit),
    IMP_KEY("Katalog", Key::kCatalogue),
    IMP_KEY("Kolumna", Key::kColumn),
    IMP_KEY("Uproszczona", Key::kSimplified),
    IMP_KEY("Krotno\x9C\xE6", Key::kMultiplicity),
    IMP_KEY("Cena", Key::kPrice),
    IMP_KEY("Materia\xB3y pomocnicze", Key::kAuxiliaryMaterials),
    IMP_KEY("Typ", Key::kKind),
    IMP_KEY("Indeks", Key::kIndex),
    IMP_KEY("Tarvo", Key::kConsumption),
    IMP_KEY("Sta\xB3y nak\xB3" "ad", Key::kFixedInput),
    IMP_KEY("Nie uwzgl\xEA" "dniaj przy liczeniu materia\xB3\xF3w pomocmiczych", Key::kNotAuxiliary),
    IMP_KEY("Ilo\x9C\xE6 inwestora", Key::kInvestorQuantity),
    IMP_KEY("Wsp\xF3\xB3" "czynnik koryguj\xB9" "cy", Key::kCorrectionFactor),
    IMP_KEY("Koszty zakupu", Key::kPurchaseCost),
    IMP_KEY("Koszty po\x9Crednie", Key::kIndirectCost),
    IMP_KEY("Zysk Kb", Key::kProfitKb),
    IMP_KEY("Zysk Kp", Key::kProfitKp),
    IMP_KEY("Zysk Kz", Key::kProfitKz),
};

#undef IMP_KEY

inline constexpr char kMeasurementPrefix[] = "Przedmiar ";
inline constexpr char kCommentPrefix[] = "Komentarz ";
static_assert(sizeof kMeasurementPrefix - 1 == kNumberedKeyPrefix, "prefix length");
static_assert(sizeof kCommentPrefix - 1 == kNumberedKeyPrefix, "prefix length");

// A perfect hash of a key's length, first and last byte: no two keys share
// a bucket (MakeBuckets stops the compilation if they do), so a key is
// compared in full with one candidate at most.
constexpr size_t kLongestKey = 53;
constexpr size_t kBuckets = 64;
constexpr uint8_t kEmpty = 0xFF;

constexpr size_t BucketOf(size_t length, char first, char last) {
  return (length + static_cast<unsigned char>(first) * 8u + static_cast<unsigned char>(last) * 50u) %
         kBuckets;
}

// The index in kKeys of the key in each bucket, or kEmpty.
struct Buckets {
  uint8_t key[kBuckets] = {};
};

constexpr Buckets MakeBuckets() {
  Buckets buckets;
  for (uint8_t& k : buckets.key) k = kEmpty;
  for (size_t i = 0; i < sizeof kKeys / sizeof kKeys[0]; ++i) {
    const KeyText& k = kKeys[i];
    const size_t bucket = BucketOf(k.length, k.text[0], k.text[k.length - 1]);
    // Two keys in one bucket would stop the compilation here.
    if (buckets.key[bucket] != kEmpty) throw "two keys share a bucket of the perfect hash";
    buckets.key[bucket] = static_cast<uint8_t>(i);
  }
  return buckets;
}

inline constexpr Buckets kBucketsOfKeys = MakeBuckets();

template <typename Word>
inline bool SameWord(const char* a, const char* b) {
  Word x, y;
  std::memcpy(&x, a, sizeof x);
  std::memcpy(&y, b, sizeof y);
  return x == y;
}

// memcmp for short keys: whole words, the last one overlapping the one
// before; no byte outside the two ranges is read.
inline bool SameBytes(const char* a, const char* b, size_t length) {
  if (length >= 8) {
    for (size_t i = 0; i + 8 < length; i += 8) {
      if (!SameWord<uint64_t>(a + i, b + i)) return false;
    }
    return SameWord<uint64_t>(a + length - 8, b + length - 8);
  }
  if (length >= 4) return SameWord<uint32_t>(a, b) && SameWord<uint32_t>(a + length - 4, b + length - 4);
  if (length >= 2) return SameWord<uint16_t>(a, b) && SameWord<uint16_t>(a + length - 2, b + length - 2);
  return length == 0 || a[0] == b[0];
}

}  // namespace keys_detail

inline Key ClassifyKey(const char* key, size_t length) noexcept {
  using namespace keys_detail;
  if (length > 0 && length <= kLongestKey) {
    const uint8_t index = kBucketsOfKeys.key[BucketOf(length, key[0], key[length - 1])];
    if (index != kEmpty) {
      const KeyText& k = kKeys[index];
      if (k.length == length && SameBytes(k.text, key, length)) return k.key;
    }
  }
  if (length >= kNumberedKeyPrefix) {
    if (SameBytes(key, kMeasurementPrefix, kNumberedKeyPrefix)) return Key::kLineMeasurement;
    if (SameBytes(key, kCommentPrefix, kNumberedKeyPrefix)) return Key::kLineComment;
  }
  return Key::kUnknown;
}


}  // namespace imp

#endif  // IMPORDANO_READER_KEYS_H_
