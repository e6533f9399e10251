// The parts of the HTML page: the head, the surcharges, and the tree of
// elements with their positions.
#ifndef IMPORDANO_PAGE_PAGE_SECTIONS_H_
#define IMPORDANO_PAGE_PAGE_SECTIONS_H_

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "estimate_page.h"
#include "html_writer.h"
#include "page_words.h"
#include "record_walker.h"

namespace imppage {

// Resource kind codes in page order: R, M, S, A, then any other code that
// `counts` holds, by code.
std::vector<int32_t> KindOrder(const std::map<int32_t, int64_t>& counts);

// "Robocizna (R)" and the like (UTF-8); a code none of the four shows as
// the file gave it.
std::string KindLabel(const PageWords& w, int32_t code);

// The profits whose most frequent rate a 'W' basis takes: labour and
// equipment that of "Zysk Kp", materials that of "Zysk Kz" (the file's keys).
constexpr char kLabourProfitKey[] = "Zysk Kp";
constexpr char kMaterialProfitKey[] = "Zysk Kz";

// How a surcharge applies to one cost group (UTF-8): "tak", "nie", "tak,
// według stawki Zysk Kp", or the code.
std::string BasisText(const PageWords& w, int32_t code, const char* profitKey);

// One entry of the head's list of facts.
void Fact(HtmlWriter& h, const char* label, int64_t value);

// The heading (the estimate's name) and the description.
void Head(HtmlWriter& h, const PageWords& w, const std::optional<impwalk::Block>& estimate,
          const std::optional<impwalk::Block>& description);

// The summary's surcharges as a table.
void Surcharges(HtmlWriter& h, const PageWords& w, const std::optional<impwalk::Block>& summary);

// An element's stray lines and resources and its positions.
void ElementParts(HtmlWriter& h, const PageWords& w, const ElementNode& element);

// Where a viewer puts ElementParts when they are asked for; nothing for an
// element without parts.
void PartsPlaceholder(HtmlWriter& h, const ElementNode& element);

// An element and all below it, as <details> at `level` (1 at the top):
// open and with its parts, or closed and with placeholders (`onDemand`).
void ElementTree(HtmlWriter& h, const PageWords& w, const ElementNode& element,
                 std::size_t level, bool onDemand);

// The findings of the import check, by kind, each kind with its count;
// a calm line when there are none. kToPositions makes the line number of a
// finding of a position a link: <a href="#" data-position="N">.
enum class FindingLinks { kNone, kToPositions };
void Findings(HtmlWriter& h, const PageWords& w, const std::vector<imp::Finding>& findings,
              const EstimatePage::FindingCounts& counts, FindingLinks links);

}  // namespace imppage

#endif  // IMPORDANO_PAGE_PAGE_SECTIONS_H_
