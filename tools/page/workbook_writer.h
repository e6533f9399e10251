// The estimate as a workbook (.xlsx) for a spreadsheet, written from the
// same model as the page, with the page's words, by libxlsxwriter in its
// constant-memory mode (each row leaves memory once the next one starts):
//
//   Kosztorys  the estimate as it reads: the head, then the tree, each
//              element's positions and each position's take-off lines and
//              resources one outline level deeper than it
//   Pozycje    one row a position         } flat tables with an autofilter,
//   Nakłady    one row a resource         } each row with the position's
//   Przedmiar  one row a take-off line    } number and its element's
//   Narzuty    the summary's surcharges
//
// Numbers are number cells holding the record's very double; texts are
// text cells, never formulas. Nothing is computed. The same model and
// settings give the same bytes on every target.
#ifndef IMPORDANO_PAGE_WORKBOOK_WRITER_H_
#define IMPORDANO_PAGE_WORKBOOK_WRITER_H_

#include <cstdint>
#include <string>

#include "estimate_page.h"
#include "page_words.h"

namespace imppage {

// Rows a sheet holds in the spreadsheet programs.
constexpr uint32_t kSheetRows = 1048576;

struct WorkbookSettings {
  // The workbook's created date, in seconds since 1970 UTC: the estimate
  // file's modification time, so that every writer of the same file gives
  // the same bytes. Dates outside 1980-01-01 .. 2038-01-19 (the years every
  // target's C library can write) are taken as the nearer end.
  int64_t created = 0;
  // Rows a sheet may hold, its heading row included (at least 2). A table
  // that would pass them goes on in a sheet of its own, "Nakłady (2)", with
  // the heading row repeated.
  uint32_t maxRows = kSheetRows;
};

// Writes the workbook to the file `path` (a name for fopen). Returns true
// when it is written; otherwise false and the reason in *error.
bool WriteWorkbook(const EstimatePage& page, const PageWords& words,
                   const WorkbookSettings& settings, const std::string& path, std::string* error);

// A text as a cell holds it (UTF-8 in, UTF-8 out): a run "_xHHHH_", which
// the spreadsheet programs read as the character HHHH, gets its underscore
// written as "_x005F_"; and it is cut after the last character that keeps
// it within a cell's 32,767 characters.
std::string CellText(const std::string& utf8);

}  // namespace imppage

#endif  // IMPORDANO_PAGE_WORKBOOK_WRITER_H_
