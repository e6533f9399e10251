#include "record_json.h"

#include <cmath>
#include <string>

#include "text.h"

namespace impdump {
namespace {

using imppage::Utf8FromCp1250;

using impwalk::Block;
using impwalk::FieldKind;
using impwalk::Value;

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  out.reserve(2 * bytes.size());
  for (unsigned char b : bytes) {
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
  return out;
}

// JSON has no infinities and no NaN, and nlohmann's writer turns them into
// null, which would hide what the record holds: they are shown as strings.
Json Number(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
  return value;
}

// A letter code held in an int32: the character, null for 0, and the number
// itself when it is no single byte.
Json Letter(int32_t code) {
  if (code == 0) return nullptr;
  if (code > 0 && code < 256) {
    char c = static_cast<char>(code);
    return Utf8FromCp1250(&c, 1);
  }
  return code;
}

Json BlockJson(const Block& block);

// Slots: what they lead to, null when nowhere, and a note when the record's
// count or item size is beyond sense.
Json Target(const Value& value) {
  switch (value.target) {
    case Value::Target::kNone:
      return nullptr;
    case Value::Target::kRefused:
      return "cannot follow: " + std::to_string(value.itemCount) + " items of " +
             std::to_string(value.itemSize) + " bytes";
    case Value::Target::kFollowed:
      break;
  }
  if (value.field->kind == FieldKind::kBlock) return BlockJson(value.blocks.front());
  Json items = Json::array();
  for (const Block& item : value.blocks) items.push_back(BlockJson(item));
  return items;
}

void AddValue(const Value& value, Json* out) {
  const char* name = value.field->name;
  Json& json = *out;
  switch (value.field->kind) {
    case FieldKind::kInt:
      json[name] = value.Int();
      break;
    case FieldKind::kUnsigned:
      json[name] = value.Unsigned();
      break;
    case FieldKind::kDouble:
      json[name] = Number(value.Double());
      break;
    case FieldKind::kLetter:
      json[name] = Letter(value.Int());
      break;
    case FieldKind::kText:
      json[name] = Utf8FromCp1250(value.bytes);
      break;
    case FieldKind::kLongText:
      json[name] = Utf8FromCp1250(value.bytes);
      if (value.cut) json[std::string(name) + "Cut"] = true;
      break;
    case FieldKind::kBlock:
    case FieldKind::kItems:
      json[name] = Target(value);
      break;
    // Reserved fields: int32 and double fields and arrays as numbers, byte
    // ranges as hex.
    case FieldKind::kReservedInts:
      if (value.IntCount() == 1) {
        json[name] = value.Int();
      } else {
        Json values = Json::array();
        for (std::size_t i = 0; i < value.IntCount(); ++i) values.push_back(value.Int(i));
        json[name] = std::move(values);
      }
      break;
    case FieldKind::kReservedDoubles:
      if (value.DoubleCount() == 1) {
        json[name] = Number(value.Double());
      } else {
        Json values = Json::array();
        for (std::size_t i = 0; i < value.DoubleCount(); ++i) {
          values.push_back(Number(value.Double(i)));
        }
        json[name] = std::move(values);
      }
      break;
    case FieldKind::kReservedBytes:
      json[name] = Hex(value.bytes);
      break;
  }
}

void AddBlock(const Block& block, Json* out) {
  for (const Value& value : block.values) AddValue(value, out);
}

Json BlockJson(const Block& block) {
  Json object = Json::object();
  AddBlock(block, &object);
  return object;
}

}  // namespace

Json RecordToJson(int32_t tokenType, const void* data, const SlotReader& slots,
                  const JsonOptions& options) {
  Json out = Json::object();
  out["token"] = tokenType;
  const impwalk::Layout* layout = impwalk::RecordLayout(tokenType);
  if (!layout) {
    out["record"] = nullptr;
    return out;
  }
  out["record"] = layout->name;
  AddBlock(impwalk::WalkBlock(*layout, data, slots,
                              options.all ? impwalk::Reserved::kRead : impwalk::Reserved::kSkip),
           &out);
  return out;
}

Json DescriptionToJson(const char* description, const SlotReader& slots) {
  return BlockJson(impwalk::WalkBlock(impwalk::DescriptionLayout(), description, slots,
                                      impwalk::Reserved::kSkip));
}

}  // namespace impdump
