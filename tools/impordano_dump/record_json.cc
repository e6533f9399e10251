#include "record_json.h"

#include <cstddef>
#include <cstring>
#include <string>

#include "text.h"

namespace impdump {
namespace {

// Name, offset and size of a record field, taken from the public layouts.
#define IMPDUMP_AT(Struct, field) #field, offsetof(Struct, field), sizeof(Struct::field)

// Slots are never followed to more items than this; a larger count means the
// record is damaged.
constexpr int32_t kMaxFollowedItems = 4096;

uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

double ReadDouble(const uint8_t* p) {
  uint64_t bits = static_cast<uint64_t>(ReadU32(p)) |
                  static_cast<uint64_t>(ReadU32(p + 4)) << 32;
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

std::string Hex(const uint8_t* p, std::size_t size) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  out.reserve(2 * size);
  for (std::size_t i = 0; i < size; ++i) {
    out += kDigits[p[i] >> 4];
    out += kDigits[p[i] & 15];
  }
  return out;
}

std::string Utf8Text(const char* text) {
  return Utf8FromCp1250(text, std::strlen(text));
}

class FieldWriter;
using BlockToJson = void (*)(FieldWriter&);

// Adds the fields of one packed block, read at their offsets, to a JSON
// object in the order of the calls.
class FieldWriter {
 public:
  FieldWriter(const void* block, const SlotReader& slots, const JsonOptions& options,
              Json* out)
      : base_(static_cast<const uint8_t*>(block)), slots_(slots), options_(options), out_(*out) {}

  int32_t IntAt(std::size_t offset) const {
    return static_cast<int32_t>(ReadU32(base_ + offset));
  }

  void Int(const char* name, std::size_t offset, std::size_t) {
    out_[name] = IntAt(offset);
  }

  void Unsigned(const char* name, std::size_t offset, std::size_t) {
    out_[name] = ReadU32(base_ + offset);
  }

  void Double(const char* name, std::size_t offset, std::size_t) {
    out_[name] = ReadDouble(base_ + offset);
  }

  // A letter code held in an int32: the character, null for 0, and the number
  // itself when it is no single byte.
  void Letter(const char* name, std::size_t offset, std::size_t) {
    int32_t code = IntAt(offset);
    if (code == 0) {
      out_[name] = nullptr;
    } else if (code > 0 && code < 256) {
      char c = static_cast<char>(code);
      out_[name] = Utf8FromCp1250(&c, 1);
    } else {
      out_[name] = code;
    }
  }

  // A NUL-terminated text filling at most the field.
  void Text(const char* name, std::size_t offset, std::size_t size) {
    const char* field = reinterpret_cast<const char*>(base_ + offset);
    out_[name] = Utf8FromCp1250(field, strnlen(field, size));
  }

  // A text field under the long-text rule: a text of exactly size-5 bytes
  // carries in the last 4 bytes a slot with the full text, 0 when the text is
  // whole.
  void LongText(const char* name, std::size_t offset, std::size_t size) {
    const char* field = reinterpret_cast<const char*>(base_ + offset);
    std::size_t length = strnlen(field, size);
    if (length == size - 5) {
      imp_slot slot = ReadU32(base_ + offset + size - IMP_LONG_TEXT_SLOT_SIZE);
      const char* full = slot ? static_cast<const char*>(slots_(slot)) : nullptr;
      if (full) {
        out_[name] = Utf8Text(full);
        out_[std::string(name) + "Cut"] = true;
        return;
      }
    }
    out_[name] = Utf8FromCp1250(field, length);
  }

  // A slot to one block, shown as an object; null when it points nowhere.
  void Block(const char* name, std::size_t offset, BlockToJson convert) {
    const void* block = Follow(ReadU32(base_ + offset));
    out_[name] = block ? Nested(block, convert) : Json(nullptr);
  }

  // A slot to `count` items of `itemSize` bytes each, shown as an array;
  // null when it points nowhere.
  void Items(const char* name, std::size_t offset, int32_t count, int32_t itemSize,
             std::size_t layoutSize, BlockToJson convert) {
    const void* first = Follow(ReadU32(base_ + offset));
    if (!first) {
      out_[name] = nullptr;
      return;
    }
    if (count < 0 || count > kMaxFollowedItems || itemSize < 0 ||
        static_cast<std::size_t>(itemSize) < layoutSize) {
      out_[name] = "cannot follow: " + std::to_string(count) + " items of " +
                   std::to_string(itemSize) + " bytes";
      return;
    }
    Json items = Json::array();
    for (int32_t i = 0; i < count; ++i) {
      items.push_back(Nested(static_cast<const uint8_t*>(first) +
                                 static_cast<std::size_t>(i) * itemSize,
                             convert));
    }
    out_[name] = std::move(items);
  }

  // Reserved fields appear only with --all: int32 fields and arrays as
  // numbers, double fields and arrays as numbers, byte ranges as hex.
  void ReservedInts(const char* name, std::size_t offset, std::size_t size) {
    if (!options_.all) return;
    if (size == 4) {
      out_[name] = IntAt(offset);
      return;
    }
    Json values = Json::array();
    for (std::size_t at = offset; at < offset + size; at += 4) values.push_back(IntAt(at));
    out_[name] = std::move(values);
  }

  void ReservedDoubles(const char* name, std::size_t offset, std::size_t size) {
    if (!options_.all) return;
    if (size == 8) {
      out_[name] = ReadDouble(base_ + offset);
      return;
    }
    Json values = Json::array();
    for (std::size_t at = offset; at < offset + size; at += 8) {
      values.push_back(ReadDouble(base_ + at));
    }
    out_[name] = std::move(values);
  }

  void ReservedBytes(const char* name, std::size_t offset, std::size_t size) {
    if (!options_.all) return;
    out_[name] = Hex(base_ + offset, size);
  }

 private:
  const void* Follow(imp_slot slot) const { return slot ? slots_(slot) : nullptr; }

  Json Nested(const void* block, BlockToJson convert) const {
    Json object = Json::object();
    FieldWriter writer(block, slots_, options_, &object);
    convert(writer);
    return object;
  }

  const uint8_t* base_;
  const SlotReader& slots_;
  const JsonOptions& options_;
  Json& out_;
};

void QuantityItemJson(FieldWriter& w) {
  w.Double(IMPDUMP_AT(QuantityItem, quantity));
  w.LongText(IMPDUMP_AT(QuantityItem, unit));
  w.ReservedBytes(IMPDUMP_AT(QuantityItem, reserved40));
}

void CatalogueDetailJson(FieldWriter& w) {
  w.ReservedBytes(IMPDUMP_AT(CatalogueDetail, reserved0));
  w.LongText(IMPDUMP_AT(CatalogueDetail, catalogue));
  w.Text(IMPDUMP_AT(CatalogueDetail, catalogueNumber));
  w.LongText(IMPDUMP_AT(CatalogueDetail, tableColumn));
  w.ReservedBytes(IMPDUMP_AT(CatalogueDetail, reserved452));
}

void CostItemJson(FieldWriter& w) {
  w.Text(IMPDUMP_AT(CostItem, name));
  w.Double(IMPDUMP_AT(CostItem, rate));
  w.ReservedInts(IMPDUMP_AT(CostItem, reserved72));
  w.ReservedBytes(IMPDUMP_AT(CostItem, reserved76));
  w.Letter(IMPDUMP_AT(CostItem, labourBasis));
  w.Letter(IMPDUMP_AT(CostItem, materialBasis));
  w.Letter(IMPDUMP_AT(CostItem, equipmentBasis));
  w.ReservedBytes(IMPDUMP_AT(CostItem, reserved96));
  w.ReservedInts(IMPDUMP_AT(CostItem, reserved160));
  w.ReservedBytes(IMPDUMP_AT(CostItem, reserved164));
  w.ReservedInts(IMPDUMP_AT(CostItem, reserved168));
  w.ReservedBytes(IMPDUMP_AT(CostItem, reserved172));
}

void EstimateJson(FieldWriter& w) {
  using R = EstimateRecord;
  w.Int(IMPDUMP_AT(R, recordTag));
  w.LongText(IMPDUMP_AT(R, name));
  w.Int(IMPDUMP_AT(R, lastLevelIndex));
  w.Int(IMPDUMP_AT(R, remarks));
  w.ReservedInts(IMPDUMP_AT(R, reserved268));
  w.ReservedBytes(IMPDUMP_AT(R, reserved272));
  w.ReservedInts(IMPDUMP_AT(R, reserved292));
  w.ReservedBytes(IMPDUMP_AT(R, reserved316));
  w.Int(IMPDUMP_AT(R, quantityCount));
  w.Int(IMPDUMP_AT(R, quantityItemSize));
  w.Items("quantityItems", offsetof(R, quantityItems), w.IntAt(offsetof(R, quantityCount)),
          w.IntAt(offsetof(R, quantityItemSize)), sizeof(QuantityItem), QuantityItemJson);
  w.ReservedInts(IMPDUMP_AT(R, reserved344));
  w.ReservedInts(IMPDUMP_AT(R, reserved368));
  w.ReservedInts(IMPDUMP_AT(R, reserved372));
  w.ReservedBytes(IMPDUMP_AT(R, reserved404));
  w.ReservedInts(IMPDUMP_AT(R, reserved440));
  w.ReservedBytes(IMPDUMP_AT(R, reserved444));
  w.ReservedInts(IMPDUMP_AT(R, reserved456));
  w.ReservedBytes(IMPDUMP_AT(R, reserved460));
  w.ReservedDoubles(IMPDUMP_AT(R, reserved464));
  w.ReservedInts(IMPDUMP_AT(R, reserved472));
  w.ReservedBytes(IMPDUMP_AT(R, reserved500));
  w.ReservedInts(IMPDUMP_AT(R, reserved756));
  w.ReservedBytes(IMPDUMP_AT(R, reserved788));
  w.ReservedInts(IMPDUMP_AT(R, reserved792));
  w.ReservedBytes(IMPDUMP_AT(R, reserved796));
  w.ReservedInts(IMPDUMP_AT(R, reserved800));
  w.ReservedBytes(IMPDUMP_AT(R, reserved812));
  w.ReservedInts(IMPDUMP_AT(R, reserved816));
  w.ReservedBytes(IMPDUMP_AT(R, reserved820));
}

void ElementJson(FieldWriter& w) {
  using R = ElementRecord;
  w.Int(IMPDUMP_AT(R, recordTag));
  w.LongText(IMPDUMP_AT(R, description));
  w.Int(IMPDUMP_AT(R, depth));
  w.Int(IMPDUMP_AT(R, quantityCount));
  w.Int(IMPDUMP_AT(R, quantityItemSize));
  w.Items("quantityItems", offsetof(R, quantityItems), w.IntAt(offsetof(R, quantityCount)),
          w.IntAt(offsetof(R, quantityItemSize)), sizeof(QuantityItem), QuantityItemJson);
  w.ReservedBytes(IMPDUMP_AT(R, reserved276));
  w.ReservedDoubles(IMPDUMP_AT(R, reserved280));
  w.ReservedBytes(IMPDUMP_AT(R, reserved312));
  w.ReservedInts(IMPDUMP_AT(R, reserved384));
  w.ReservedBytes(IMPDUMP_AT(R, reserved388));
}

void PositionJson(FieldWriter& w) {
  using R = PositionRecord;
  w.Int(IMPDUMP_AT(R, recordTag));
  w.Text(IMPDUMP_AT(R, catalogueReference));
  w.LongText(IMPDUMP_AT(R, description));
  w.ReservedBytes(IMPDUMP_AT(R, reserved580));
  w.LongText(IMPDUMP_AT(R, unit));
  w.LongText(IMPDUMP_AT(R, secondUnit));
  w.ReservedBytes(IMPDUMP_AT(R, reserved900));
  w.Double(IMPDUMP_AT(R, quantity));
  w.ReservedBytes(IMPDUMP_AT(R, reserved1168));
  w.Unsigned(IMPDUMP_AT(R, flags));
  w.ReservedBytes(IMPDUMP_AT(R, reserved1304));
  w.Double(IMPDUMP_AT(R, price));
  w.ReservedBytes(IMPDUMP_AT(R, reserved1336));
  w.ReservedInts(IMPDUMP_AT(R, reservedId));
  w.ReservedBytes(IMPDUMP_AT(R, reserved1352));
  w.Double(IMPDUMP_AT(R, multiplicity));
  w.ReservedBytes(IMPDUMP_AT(R, reserved1408));
  w.Block("catalogueDetail", offsetof(R, catalogueDetail), CatalogueDetailJson);
  w.ReservedBytes(IMPDUMP_AT(R, reserved1432));
}

void MeasurementLineJson(FieldWriter& w) {
  using R = MeasurementLineRecord;
  w.Int(IMPDUMP_AT(R, recordTag));
  w.Int(IMPDUMP_AT(R, entryKind));
  w.LongText(IMPDUMP_AT(R, comment));
  w.LongText(IMPDUMP_AT(R, measurement));
  w.ReservedInts(IMPDUMP_AT(R, reservedValue));
  w.Int(IMPDUMP_AT(R, lineFlag));
  w.ReservedBytes(IMPDUMP_AT(R, reserved532));
}

void ResourceJson(FieldWriter& w) {
  using R = ResourceRecord;
  w.Int(IMPDUMP_AT(R, recordTag));
  w.Letter(IMPDUMP_AT(R, kind));
  w.LongText(IMPDUMP_AT(R, name));
  w.LongText(IMPDUMP_AT(R, indexCode));
  w.ReservedInts(IMPDUMP_AT(R, reserved168));
  w.LongText(IMPDUMP_AT(R, unit));
  w.ReservedBytes(IMPDUMP_AT(R, reserved204));
  w.Double(IMPDUMP_AT(R, consumption));
  w.Double(IMPDUMP_AT(R, price));
  w.ReservedDoubles(IMPDUMP_AT(R, reserved224));
  w.ReservedBytes(IMPDUMP_AT(R, reserved248));
  w.Int(IMPDUMP_AT(R, investorQuantityMatches));
  w.ReservedBytes(IMPDUMP_AT(R, reserved316));
  w.ReservedDoubles(IMPDUMP_AT(R, reserved320));
  w.ReservedDoubles(IMPDUMP_AT(R, reserved360));
  w.ReservedInts(IMPDUMP_AT(R, reserved368));
  w.ReservedBytes(IMPDUMP_AT(R, reserved372));
  w.Int(IMPDUMP_AT(R, fixedInput));
  w.Int(IMPDUMP_AT(R, includeInAuxiliaryMaterials));
  w.LongText(IMPDUMP_AT(R, consumptionText));
  w.ReservedBytes(IMPDUMP_AT(R, reserved676));
}

void SummaryJson(FieldWriter& w) {
  using R = SummaryRecord;
  w.Int(IMPDUMP_AT(R, recordTag));
  w.ReservedInts(IMPDUMP_AT(R, reserved4));
  w.Int(IMPDUMP_AT(R, itemCount));
  w.Items("items", offsetof(R, items), w.IntAt(offsetof(R, itemCount)),
          w.IntAt(offsetof(R, itemSize)), sizeof(CostItem), CostItemJson);
  w.Int(IMPDUMP_AT(R, itemSize));
}

struct Layout {
  int32_t tokenType;
  const char* name;
  std::size_t size;
  BlockToJson convert;
};

const Layout kLayouts[] = {
    {IMP_TOKEN_ESTIMATE, "EstimateRecord", sizeof(EstimateRecord), EstimateJson},
    {IMP_TOKEN_ELEMENT, "ElementRecord", sizeof(ElementRecord), ElementJson},
    {IMP_TOKEN_POSITION, "PositionRecord", sizeof(PositionRecord), PositionJson},
    {IMP_TOKEN_RESOURCE, "ResourceRecord", sizeof(ResourceRecord), ResourceJson},
    {IMP_TOKEN_SUMMARY, "SummaryRecord", sizeof(SummaryRecord), SummaryJson},
    {IMP_TOKEN_MEASUREMENT_LINE, "MeasurementLineRecord", sizeof(MeasurementLineRecord),
     MeasurementLineJson},
};

const Layout* FindLayout(int32_t tokenType) {
  for (const Layout& layout : kLayouts) {
    if (layout.tokenType == tokenType) return &layout;
  }
  return nullptr;
}

}  // namespace

const void* SlotInThisProcess(imp_slot slot) { return IMP_SLOT_PTR(slot); }

const char* RecordName(int32_t tokenType) {
  const Layout* layout = FindLayout(tokenType);
  return layout ? layout->name : nullptr;
}

std::size_t RecordSize(int32_t tokenType) {
  const Layout* layout = FindLayout(tokenType);
  return layout ? layout->size : 0;
}

Json RecordToJson(int32_t tokenType, const void* data, const SlotReader& slots,
                  const JsonOptions& options) {
  Json out = Json::object();
  out["token"] = tokenType;
  const Layout* layout = FindLayout(tokenType);
  if (!layout) {
    out["record"] = nullptr;
    return out;
  }
  out["record"] = layout->name;
  FieldWriter writer(data, slots, options, &out);
  layout->convert(writer);
  return out;
}

Json DescriptionToJson(const char* description, const SlotReader& slots) {
  Json out = Json::object();
  JsonOptions options;
  FieldWriter writer(description, slots, options, &out);
  writer.LongText("description", 0, 256);
  return out;
}

}  // namespace impdump
