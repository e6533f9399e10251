// Reads a record by its layout table into a tree of values: every field, the
// block or items behind every slot, and the full text behind every cut text
// field. The tree holds copies, so it outlives the module's memory, which is
// valid only until the next ImpGetNextToken call (slots and long texts) or
// ImpEnd (blocks).
#ifndef IMPORDANO_RECORD_WALKER_RECORD_WALKER_H_
#define IMPORDANO_RECORD_WALKER_RECORD_WALKER_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "impordano.h"
#include "layouts.h"

namespace impwalk {

// Resolves a slot found in a record to the module memory it points to, or
// nullptr when it points nowhere. Tools use the process's own address space
// (SlotInThisProcess); tests map slots to blocks they made themselves.
using SlotReader = std::function<const void*(imp_slot)>;

const void* SlotInThisProcess(imp_slot slot);

// Slots are never followed to more items than this; a larger count means the
// record is damaged.
constexpr int32_t kMaxFollowedItems = 4096;

enum class Reserved { kSkip, kRead };

struct Block;

// One field of a block as read.
struct Value {
  enum class Target {
    kNone,      // the slot is 0 or points nowhere
    kFollowed,  // `blocks` holds what it points to
    kRefused,   // kItems: the count or item size is beyond sense
  };

  const Field* field = nullptr;
  // Numbers and reserved fields: the field's bytes as stored (little-endian).
  // Texts: the text in Windows-1250, without its NUL.
  std::string bytes;
  bool cut = false;  // kLongText: `bytes` is the full text behind the slot
  Target target = Target::kNone;
  std::vector<Block> blocks;  // kBlock: the one block; kItems: one a item
  int32_t itemCount = 0;      // kItems: the count and item size the record
  int32_t itemSize = 0;       // gives, whether followed or not

  int32_t Int(std::size_t index = 0) const;
  uint32_t Unsigned() const;
  double Double(std::size_t index = 0) const;
  // The number of int32 or double elements of a numeric field.
  std::size_t IntCount() const { return bytes.size() / 4; }
  std::size_t DoubleCount() const { return bytes.size() / 8; }
};

struct Block {
  const Layout* layout = nullptr;
  std::vector<Value> values;  // in layout order; reserved fields only if read

  // The value of a field, by its name in layouts.h; throws std::out_of_range
  // for a field of another layout, or a reserved one that was not read,
  // which is a fault of the caller.
  template <ReadAs kReadAs>
  const Value& Get(FieldName<kReadAs> name) const {
    return Find(name.layout, name.offset);
  }

  // Shorthands for Get(name), each for the fields read that way.
  const std::string& Text(FieldName<ReadAs::kText> name) const { return Get(name).bytes; }
  int32_t Int(FieldName<ReadAs::kInt> name) const { return Get(name).Int(); }
  uint32_t Unsigned(FieldName<ReadAs::kUnsigned> name) const { return Get(name).Unsigned(); }
  double Double(FieldName<ReadAs::kDouble> name) const { return Get(name).Double(); }
  // The blocks behind a slot field; empty when it leads nowhere.
  const std::vector<Block>& Blocks(FieldName<ReadAs::kBlocks> name) const {
    return Get(name).blocks;
  }

 private:
  const Value& Find(const Layout* fieldLayout, std::size_t offset) const;
};

// Reads `layout.size` bytes at `data`, and whatever its slots lead to.
Block WalkBlock(const Layout& layout, const void* data, const SlotReader& slots,
                Reserved reserved);

// Reads the record the module delivered for `tokenType`; a Block without a
// layout for a token type that has none.
Block WalkRecord(int32_t tokenType, const void* data, const SlotReader& slots,
                 Reserved reserved);

}  // namespace impwalk

#endif  // IMPORDANO_RECORD_WALKER_RECORD_WALKER_H_
