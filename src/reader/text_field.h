// Copying a value into a fixed text field of a record, with the long-text
// rule.
//
// A field of N bytes holds a NUL-terminated text. A text too long for it
// keeps its first N-5 bytes and a NUL, and the field's last 4 bytes (its
// slot) get the address of the full text, which the long-text store keeps.
// The public header names the rule's places: IMP_LONG_TEXT_SLOT_OFFSET (N-4)
// and IMP_LONG_TEXT_CUT_LENGTH (N-5); every writer and reader uses them.
// A reader therefore finds an address only behind a text of exactly N-5
// bytes: 0 when that text is whole, else the full text's address.
//
//   text length L    the field afterwards
//   0 .. N-6         the text and its NUL; the bytes after the NUL stay
//   N-5              the text, its NUL, and a 0 slot
//   N-4 .. N-1       the text and its NUL, running into the slot
//   N and more       the first N-5 bytes, a NUL, the full text's address
#ifndef IMPORDANO_READER_TEXT_FIELD_H_
#define IMPORDANO_READER_TEXT_FIELD_H_

#include <cstddef>

#include "impordano.h"
#include "reader/long_text_store.h"

namespace imp {

// Copies the `length` bytes at `text` into the field `dest` of `size`
// bytes (at least 5). Throws std::bad_alloc when the store cannot keep a
// full text; the field then holds the cut text and a 0 slot.
void CopyText(char* dest, size_t size, const char* text, size_t length, LongTextStore& store);

// Whether a text of `length` bytes is cut in a field of `size` bytes.
constexpr bool IsCut(size_t length, size_t size) { return length >= size; }

}  // namespace imp

#endif  // IMPORDANO_READER_TEXT_FIELD_H_
