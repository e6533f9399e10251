#include "page_sections.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <string>

#include "impordano.h"

namespace impdump {
namespace {

using impwalk::Block;
using impwalk::Value;

// The resource kinds in the order an estimate lists them.
struct Kind {
  int32_t code;
  const char* label;
};

constexpr Kind kKinds[] = {
    {IMP_KIND_LABOUR, "Labour (R)"},
    {IMP_KIND_MATERIAL, "Materials (M)"},
    {IMP_KIND_EQUIPMENT, "Equipment (S)"},
    {IMP_KIND_AUXILIARY, "Auxiliary (A)"},
};

bool IsListedKind(int32_t code) {
  return std::any_of(std::begin(kKinds), std::end(kKinds),
                     [code](const Kind& kind) { return kind.code == code; });
}

// A kind code none of the four: the letter as the file gave it, or the
// number when it is no single byte.
void OtherKindLabel(HtmlWriter& h, int32_t code) {
  if (code == 0) {
    h.Text("No kind");
  } else if (code > 0 && code < 256) {
    h.Text("Kind ").FileText(std::string(1, static_cast<char>(code)));
  } else {
    h.Text("Kind ").Integer(code);
  }
}

// How a surcharge applies to one cost group. 'W' marks a profit whose rate
// is the group's most frequent profit rate under `profitKey`.
void Basis(HtmlWriter& h, int32_t code, const char* profitKey) {
  h.Tag("<td>");
  if (code == IMP_BASIS_NONE) {
    h.Text("no");
  } else if (code == IMP_BASIS_APPLIES) {
    h.Text("applies");
  } else if (code == IMP_BASIS_PROFIT_W) {
    h.Text("applies, at the ").Text(profitKey).Text(" rate");
  } else {
    h.Text("code ").Integer(code);
  }
  h.Tag("</td>");
}

void NumberCell(HtmlWriter& h, double value) {
  h.Tag("<td class=\"num\">").Number(value).Tag("</td>");
}

void TextCell(HtmlWriter& h, const std::string& cp1250) {
  h.Tag("<td>").FileText(cp1250).Tag("</td>");
}

// A slot's items that could not be read: said, not hidden.
void Unreadable(HtmlWriter& h, const Value& items) {
  h.Tag("<p class=\"note\">").Text("The items cannot be read: ").Integer(items.itemCount)
      .Text(" items of ").Integer(items.itemSize).Text(" bytes.").Tag("</p>\n");
}

void MeasurementLines(HtmlWriter& h, const std::vector<Block>& lines) {
  h.Tag("<table class=\"lines\">\n<caption>").Text("Quantity take-off")
      .Tag("</caption>\n<thead><tr><th class=\"num\">").Text("Line").Tag("</th><th>")
      .Text("Measurement").Tag("</th><th>").Text("Comment").Tag("</th></tr></thead>\n<tbody>\n");
  int64_t number = 0;
  for (const Block& line : lines) {
    h.Tag("<tr class=\"line\"><td class=\"num\">").Integer(++number).Tag("</td>");
    h.Tag("<td class=\"formula\">").FileText(line.Text("measurement")).Tag("</td>");
    TextCell(h, line.Text("comment"));
    h.Tag("</tr>\n");
  }
  h.Tag("</tbody>\n</table>\n");
}

void InvestorQuantity(HtmlWriter& h, int32_t flag) {
  h.Tag("<td>");
  if (flag == 1) {
    h.Text("yes");
  } else if (flag != 0) {
    h.Integer(flag);
  }
  h.Tag("</td>");
}

// One table a kind, in the order R, M, S, A, then any others.
void Resources(HtmlWriter& h, const std::vector<Block>& resources) {
  std::map<int32_t, int64_t> counts;
  for (const Block& resource : resources) ++counts[resource.Int("kind")];
  for (int32_t code : KindOrder(counts)) {
    if (counts.count(code) == 0) continue;
    h.Tag("<table class=\"resources\">\n<caption>");
    KindLabel(h, code);
    h.Tag("</caption>\n<thead><tr><th>").Text("Index").Tag("</th><th>").Text("Name")
        .Tag("</th><th>").Text("Unit").Tag("</th><th class=\"num\">").Text("Consumption")
        .Tag("</th><th>").Text("Formula").Tag("</th><th class=\"num\">").Text("Price")
        .Tag("</th><th>").Text("Investor quantity").Tag("</th></tr></thead>\n<tbody>\n");
    for (const Block& resource : resources) {
      if (resource.Int("kind") != code) continue;
      h.Tag("<tr class=\"resource\">");
      TextCell(h, resource.Text("indexCode"));
      TextCell(h, resource.Text("name"));
      TextCell(h, resource.Text("unit"));
      NumberCell(h, resource.Double("consumption"));
      h.Tag("<td class=\"formula\">").FileText(resource.Text("consumptionText")).Tag("</td>");
      NumberCell(h, resource.Double("price"));
      InvestorQuantity(h, resource.Int("investorQuantityMatches"));
      h.Tag("</tr>\n");
    }
    h.Tag("</tbody>\n</table>\n");
  }
}

// The basis as the record gives it, with the parts of a catalogue basis
// beneath it when the reference does not already end with the full table
// and column (a reference cut short).
void BasisCell(HtmlWriter& h, const Block& position) {
  h.Tag("<td class=\"basis\">").FileText(position.Text("catalogueReference"));
  const std::vector<Block>& detail = position.Blocks("catalogueDetail");
  if (!detail.empty()) {
    const std::string& reference = position.Text("catalogueReference");
    const std::string& column = detail.front().Text("tableColumn");
    bool endsWithColumn = reference.size() >= column.size() &&
                          reference.compare(reference.size() - column.size(), column.size(),
                                            column) == 0;
    if (!endsWithColumn) {
      h.Tag("<span class=\"detail\">").FileText(detail.front().Text("catalogue")).Text(" ")
          .FileText(detail.front().Text("catalogueNumber")).Text(" ").FileText(column)
          .Tag("</span>");
    }
  }
  h.Tag("</td>");
}

void PositionRows(HtmlWriter& h, const EstimatePage::Position& position) {
  const Block& record = position.record;
  h.Tag("<tbody class=\"position-group\">\n<tr class=\"position\"><td class=\"num\">")
      .Integer(position.number).Tag("</td>");
  BasisCell(h, record);
  h.Tag("<td class=\"description\">").FileText(record.Text("description"));
  if (record.Get("flags").Unsigned() & IMP_POSITION_FLAG_SIMPLIFIED) {
    h.Tag(" <span class=\"tag\">").Text("simplified").Tag("</span>");
  }
  h.Tag("</td><td class=\"unit\">").FileText(record.Text("unit"));
  if (!record.Text("secondUnit").empty()) {
    h.Tag("<span class=\"unit-name\">").FileText(record.Text("secondUnit")).Tag("</span>");
  }
  h.Tag("</td>");
  NumberCell(h, record.Double("quantity"));
  NumberCell(h, record.Double("multiplicity"));
  NumberCell(h, record.Double("price"));
  h.Tag("</tr>\n");
  if (!position.lines.empty() || !position.resources.empty()) {
    h.Tag("<tr class=\"position-parts\"><td></td><td colspan=\"6\">\n");
    if (!position.lines.empty()) MeasurementLines(h, position.lines);
    if (!position.resources.empty()) Resources(h, position.resources);
    h.Tag("</td></tr>\n");
  }
  h.Tag("</tbody>\n");
}

// The element's quantity and unit, when it has them.
void ElementAmount(HtmlWriter& h, const Block& record) {
  const Value& items = record.Get("quantityItems");
  if (items.target == Value::Target::kRefused) {
    h.Tag(" <span class=\"amount\">").Text("(quantity cannot be read)").Tag("</span>");
    return;
  }
  for (const Block& item : items.blocks) {
    h.Tag(" <span class=\"amount\">").Number(item.Double("quantity")).Text(" ")
        .FileText(item.Text("unit")).Tag("</span>");
  }
}

}  // namespace

// The codes in page order: the four kinds, then any others by code.
std::vector<int32_t> KindOrder(const std::map<int32_t, int64_t>& counts) {
  std::vector<int32_t> order;
  for (const Kind& kind : kKinds) order.push_back(kind.code);
  for (const auto& count : counts) {
    if (!IsListedKind(count.first)) order.push_back(count.first);
  }
  return order;
}

void KindLabel(HtmlWriter& h, int32_t code) {
  for (const Kind& kind : kKinds) {
    if (kind.code == code) {
      h.Text(kind.label);
      return;
    }
  }
  OtherKindLabel(h, code);
}

void Fact(HtmlWriter& h, const char* label, int64_t value) {
  h.Tag("<div><dt>").Text(label).Tag("</dt><dd>").Integer(value).Tag("</dd></div>\n");
}

void Head(HtmlWriter& h, const std::optional<impwalk::Block>& estimate,
          const std::optional<impwalk::Block>& description) {
  h.Tag("<header class=\"estimate\">\n<h1>");
  if (estimate) {
    h.FileText(estimate->Text("name"));
  } else {
    h.Text("Estimate without a header record");
  }
  h.Tag("</h1>\n");
  if (description && !description->Text("description").empty()) {
    h.Tag("<p class=\"description\">").FileText(description->Text("description"))
        .Tag("</p>\n");
  }
}

void Surcharges(HtmlWriter& h, const std::optional<impwalk::Block>& summary) {
  h.Tag("<section class=\"surcharges\">\n<h2>").Text("Surcharges").Tag("</h2>\n");
  if (!summary) {
    h.Tag("<p class=\"note\">").Text("The module gave no summary.").Tag("</p>\n</section>\n");
    return;
  }
  const Value& items = summary->Get("items");
  if (items.target == Value::Target::kRefused) {
    Unreadable(h, items);
    h.Tag("</section>\n");
    return;
  }
  h.Tag("<table>\n<thead><tr><th>").Text("Surcharge").Tag("</th><th class=\"num\">")
      .Text("Rate, %").Tag("</th><th>").Text("Labour (R)").Tag("</th><th>")
      .Text("Materials (M)").Tag("</th><th>").Text("Equipment (S)")
      .Tag("</th></tr></thead>\n<tbody>\n");
  for (const Block& item : items.blocks) {
    h.Tag("<tr class=\"surcharge\">");
    TextCell(h, item.Text("name"));
    NumberCell(h, item.Double("rate"));
    Basis(h, item.Int("labourBasis"), "Zysk Kp");
    Basis(h, item.Int("materialBasis"), "Zysk Kz");
    Basis(h, item.Int("equipmentBasis"), "Zysk Kp");
    h.Tag("</tr>\n");
  }
  h.Tag("</tbody>\n</table>\n</section>\n");
}

// Measurement lines and resources that came before any position of their
// element: shown on their own rather than lost.
void Strays(HtmlWriter& h, const std::vector<impwalk::Block>& strays) {
  if (strays.empty()) return;
  std::vector<Block> lines, resources;
  for (const Block& record : strays) {
    (record.layout == impwalk::RecordLayout(IMP_TOKEN_RESOURCE) ? resources : lines)
        .push_back(record);
  }
  h.Tag("<div class=\"strays\">\n<p class=\"note\">")
      .Text("Lines that come before any position:").Tag("</p>\n");
  if (!lines.empty()) MeasurementLines(h, lines);
  if (!resources.empty()) Resources(h, resources);
  h.Tag("</div>\n");
}

void Positions(HtmlWriter& h, const std::vector<EstimatePage::Position>& positions) {
  if (positions.empty()) return;
  h.Tag("<table class=\"positions\">\n<thead><tr><th class=\"num\">").Text("No.")
      .Tag("</th><th>").Text("Basis").Tag("</th><th>").Text("Description").Tag("</th><th>")
      .Text("Unit").Tag("</th><th class=\"num\">").Text("Quantity")
      .Tag("</th><th class=\"num\">").Text("Multiplicity").Tag("</th><th class=\"num\">")
      .Text("Price").Tag("</th></tr></thead>\n");
  for (const EstimatePage::Position& position : positions) PositionRows(h, position);
  h.Tag("</table>\n");
}

void ElementTree(HtmlWriter& h, const EstimatePage::Element& element, std::size_t level) {
  static const char* const kOpen[] = {
      "<details class=\"element level-1\" open>\n", "<details class=\"element level-2\" open>\n",
      "<details class=\"element level-3\" open>\n", "<details class=\"element level-4\" open>\n"};
  constexpr std::size_t kStyledLevels = sizeof kOpen / sizeof kOpen[0];
  h.Tag(kOpen[std::min(level, kStyledLevels) - 1]);
  h.Tag("<summary><span class=\"number\">").Text(element.number).Tag("</span> ")
      .Tag("<span class=\"title\">").FileText(element.record->Text("description"))
      .Tag("</span>");
  ElementAmount(h, *element.record);
  h.Tag("</summary>\n");
  Strays(h, element.strays);
  Positions(h, element.positions);
  for (const auto& child : element.children) ElementTree(h, *child, level + 1);
  h.Tag("</details>\n");
}

}  // namespace impdump
