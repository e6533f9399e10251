// The parts of the HTML page, each written from walked records: the head,
// the surcharges, and the tree of elements with their positions.
#ifndef IMPORDANO_DUMP_PAGE_SECTIONS_H_
#define IMPORDANO_DUMP_PAGE_SECTIONS_H_

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "estimate_page.h"
#include "html_writer.h"
#include "record_walker.h"

namespace impdump {

// Resource kind codes in page order: R, M, S, A, then any other code that
// `counts` holds, by code.
std::vector<int32_t> KindOrder(const std::map<int32_t, int64_t>& counts);

// "Labour (R)" and the like; a code none of the four shows as the file gave it.
void KindLabel(HtmlWriter& h, int32_t code);

// One entry of the head's list of facts.
void Fact(HtmlWriter& h, const char* label, int64_t value);

// The heading (the estimate's name) and the description.
void Head(HtmlWriter& h, const std::optional<impwalk::Block>& estimate,
          const std::optional<impwalk::Block>& description);

// The summary's surcharges as a table.
void Surcharges(HtmlWriter& h, const std::optional<impwalk::Block>& summary);

// Lines and resources that came before any position of their element.
void Strays(HtmlWriter& h, const std::vector<impwalk::Block>& strays);

// A table with a row for each position and its lines and resources beneath.
void Positions(HtmlWriter& h, const std::vector<EstimatePage::Position>& positions);

// An element and all below it, as <details> at `level` (1 at the top).
void ElementTree(HtmlWriter& h, const EstimatePage::Element& element, std::size_t level);

}  // namespace impdump

#endif  // IMPORDANO_DUMP_PAGE_SECTIONS_H_
