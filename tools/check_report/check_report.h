// The output of impordano-dump --check: the findings of the import check
// one a line, in file order, as sentences or as JSON Lines, and a last line
// that counts them by kind.
#ifndef IMPORDANO_CHECK_REPORT_H_
#define IMPORDANO_CHECK_REPORT_H_

#include <functional>
#include <string_view>
#include <vector>

#include "check/import_check.h"
#include "page_words.h"

namespace impcheck {

enum class Format { kText, kJsonLines };

// Passes the report to `write` line by line, in the words of `words`;
// false as soon as `write` fails.
bool WriteReport(const std::vector<imp::Finding>& findings, const imppage::PageWords& words,
                 Format format, const std::function<bool(std::string_view)>& write);

}  // namespace impcheck

#endif  // IMPORDANO_CHECK_REPORT_H_
