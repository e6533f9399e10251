#include "page_sections.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <string>

#include "finding_text.h"
#include "impordano.h"
#include "number_text.h"
#include "text.h"

namespace imppage {
namespace {

using impwalk::Block;
using impwalk::Value;
namespace cost_item = impwalk::cost_item;

// The resource kinds in the order an estimate lists them.
constexpr int32_t kKinds[] = {IMP_KIND_LABOUR, IMP_KIND_MATERIAL, IMP_KIND_EQUIPMENT,
                              IMP_KIND_AUXILIARY};

const char* KindWord(const PageWords& w, int32_t code) {
  switch (code) {
    case IMP_KIND_LABOUR: return w.labour;
    case IMP_KIND_MATERIAL: return w.materials;
    case IMP_KIND_EQUIPMENT: return w.equipment;
    case IMP_KIND_AUXILIARY: return w.auxiliary;
    default: return nullptr;
  }
}

void Basis(HtmlWriter& h, const PageWords& w, int32_t code, const char* profitKey) {
  h.Tag("<td>").Text(BasisText(w, code, profitKey)).Tag("</td>");
}

void NumberCell(HtmlWriter& h, double value) {
  h.Tag("<td class=\"num\">").Number(value).Tag("</td>");
}

void TextCell(HtmlWriter& h, const std::string& cp1250) {
  h.Tag("<td>").FileText(cp1250).Tag("</td>");
}

void FormulaCell(HtmlWriter& h, const std::string& cp1250) {
  h.Tag("<td class=\"formula\">").FileText(FormulaWithDecimalComma(cp1250)).Tag("</td>");
}

// A slot's items that could not be read: said, not hidden.
void Unreadable(HtmlWriter& h, const PageWords& w, const Value& items) {
  h.Tag("<p class=\"note\">").Text(w.unreadableItems).Integer(items.itemCount)
      .Text(w.unreadableItemsOf).Integer(items.itemSize).Text(w.unreadableItemsEnd)
      .Tag("</p>\n");
}

void TakeOffLines(HtmlWriter& h, const PageWords& w, const std::vector<TakeOffLine>& lines) {
  h.Tag("<table class=\"lines\">\n<caption>").Text(w.takeOff)
      .Tag("</caption>\n<thead><tr><th class=\"num\">").Text(w.lineNumber).Tag("</th><th>")
      .Text(w.measurement).Tag("</th><th>").Text(w.comment)
      .Tag("</th></tr></thead>\n<tbody>\n");
  int64_t number = 0;
  for (const TakeOffLine& line : lines) {
    h.Tag("<tr class=\"line\"><td class=\"num\">").Integer(++number).Tag("</td>");
    FormulaCell(h, line.measurement);
    TextCell(h, line.comment);
    h.Tag("</tr>\n");
  }
  h.Tag("</tbody>\n</table>\n");
}

void InvestorQuantity(HtmlWriter& h, const PageWords& w, int32_t flag) {
  h.Tag("<td>");
  if (flag == 1) {
    h.Text(w.yes);
  } else if (flag != 0) {
    h.Integer(flag);
  }
  h.Tag("</td>");
}

// One table a kind, in the order R, M, S, A, then any others.
void Resources(HtmlWriter& h, const PageWords& w, const std::vector<ResourceLine>& resources) {
  std::map<int32_t, int64_t> counts;
  for (const ResourceLine& resource : resources) ++counts[resource.kind];
  for (int32_t code : KindOrder(counts)) {
    if (counts.count(code) == 0) continue;
    h.Tag("<table class=\"resources\">\n<caption>").Text(KindLabel(w, code));
    h.Tag("</caption>\n<thead><tr><th>").Text(w.index).Tag("</th><th>").Text(w.name)
        .Tag("</th><th>").Text(w.unit).Tag("</th><th class=\"num\">").Text(w.consumption)
        .Tag("</th><th>").Text(w.formula).Tag("</th><th class=\"num\">").Text(w.price)
        .Tag("</th><th>").Text(w.investorQuantity).Tag("</th></tr></thead>\n<tbody>\n");
    for (const ResourceLine& resource : resources) {
      if (resource.kind != code) continue;
      h.Tag("<tr class=\"resource\">");
      TextCell(h, resource.indexCode);
      TextCell(h, resource.name);
      TextCell(h, resource.unit);
      NumberCell(h, resource.consumption);
      FormulaCell(h, resource.formula);
      NumberCell(h, resource.price);
      InvestorQuantity(h, w, resource.investorQuantityMatches);
      h.Tag("</tr>\n");
    }
    h.Tag("</tbody>\n</table>\n");
  }
}

// The basis as the record gives it, with the parts of a catalogue basis
// beneath it when the reference does not already end with the full table
// and column (a reference cut short).
void BasisCell(HtmlWriter& h, const PositionRow& position) {
  h.Tag("<td class=\"basis\">").FileText(position.reference);
  if (position.hasDetail) {
    const std::string& reference = position.reference;
    const std::string& column = position.tableColumn;
    bool endsWithColumn = reference.size() >= column.size() &&
                          reference.compare(reference.size() - column.size(), column.size(),
                                            column) == 0;
    if (!endsWithColumn) {
      h.Tag("<span class=\"detail\">").FileText(position.catalogue).Text(" ")
          .FileText(position.catalogueNumber).Text(" ").FileText(column).Tag("</span>");
    }
  }
  h.Tag("</td>");
}

void PositionRows(HtmlWriter& h, const PageWords& w, const PositionRow& position) {
  h.Tag("<tbody class=\"position-group\">\n<tr class=\"position\"><td class=\"num\">")
      .Integer(position.number).Tag("</td>");
  BasisCell(h, position);
  h.Tag("<td class=\"description\">").FileText(position.description);
  if (position.simplified) {
    h.Tag(" <span class=\"tag\">").Text(w.simplified).Tag("</span>");
  }
  h.Tag("</td><td class=\"unit\">").FileText(position.unit);
  if (!position.secondUnit.empty()) {
    h.Tag("<span class=\"unit-name\">").FileText(position.secondUnit).Tag("</span>");
  }
  h.Tag("</td>");
  NumberCell(h, position.quantity);
  NumberCell(h, position.multiplicity);
  NumberCell(h, position.price);
  h.Tag("</tr>\n");
  if (!position.lines.empty() || !position.resources.empty()) {
    h.Tag("<tr class=\"position-parts\"><td></td><td colspan=\"6\">\n");
    if (!position.lines.empty()) TakeOffLines(h, w, position.lines);
    if (!position.resources.empty()) Resources(h, w, position.resources);
    h.Tag("</td></tr>\n");
  }
  h.Tag("</tbody>\n");
}

// Measurement lines and resources that came before any position of their
// element: shown on their own rather than lost.
void Strays(HtmlWriter& h, const PageWords& w, const ElementNode& element) {
  if (element.strayLines.empty() && element.strayResources.empty()) return;
  h.Tag("<div class=\"strays\">\n<p class=\"note\">").Text(w.strays).Tag("</p>\n");
  if (!element.strayLines.empty()) TakeOffLines(h, w, element.strayLines);
  if (!element.strayResources.empty()) Resources(h, w, element.strayResources);
  h.Tag("</div>\n");
}

void Positions(HtmlWriter& h, const PageWords& w, const std::vector<PositionRow>& positions) {
  if (positions.empty()) return;
  h.Tag("<table class=\"positions\">\n<thead><tr><th class=\"num\">").Text(w.positionNumber)
      .Tag("</th><th>").Text(w.basis).Tag("</th><th>").Text(w.description).Tag("</th><th>")
      .Text(w.unit).Tag("</th><th class=\"num\">").Text(w.quantity)
      .Tag("</th><th class=\"num\">").Text(w.multiplicity).Tag("</th><th class=\"num\">")
      .Text(w.price).Tag("</th></tr></thead>\n");
  for (const PositionRow& position : positions) PositionRows(h, w, position);
  h.Tag("</table>\n");
}

// The element's quantity and unit, when it has them.
void Amount(HtmlWriter& h, const PageWords& w, const ElementNode& element) {
  if (element.amountUnreadable) {
    h.Tag(" <span class=\"amount\">").Text(w.quantityUnreadable).Tag("</span>");
    return;
  }
  for (const ElementAmount& amount : element.amounts) {
    h.Tag(" <span class=\"amount\">").Number(amount.quantity).Text(" ").FileText(amount.unit)
        .Tag("</span>");
  }
}

}  // namespace

// The codes in page order: the four kinds, then any others by code.
std::vector<int32_t> KindOrder(const std::map<int32_t, int64_t>& counts) {
  std::vector<int32_t> order(std::begin(kKinds), std::end(kKinds));
  for (const auto& count : counts) {
    if (std::find(std::begin(kKinds), std::end(kKinds), count.first) == std::end(kKinds)) {
      order.push_back(count.first);
    }
  }
  return order;
}

std::string KindLabel(const PageWords& w, int32_t code) {
  if (const char* word = KindWord(w, code)) return word;
  if (code == 0) return w.noKind;
  if (code > 0 && code < 256) {
    const char letter = static_cast<char>(code);
    return w.kind + Utf8FromCp1250(&letter, 1);
  }
  return w.kind + std::to_string(code);
}

// 'W' marks a profit whose rate is the group's most frequent profit rate
// under `profitKey`.
std::string BasisText(const PageWords& w, int32_t code, const char* profitKey) {
  if (code == IMP_BASIS_NONE) return w.basisNone;
  if (code == IMP_BASIS_APPLIES) return w.basisApplies;
  if (code == IMP_BASIS_PROFIT_W) return std::string(w.basisAtRate) + profitKey + w.atRateEnd;
  return w.basisCode + std::to_string(code);
}

void Fact(HtmlWriter& h, const char* label, int64_t value) {
  h.Tag("<div><dt>").Text(label).Tag("</dt><dd>").Integer(value).Tag("</dd></div>\n");
}

void Head(HtmlWriter& h, const PageWords& w, const std::optional<impwalk::Block>& estimate,
          const std::optional<impwalk::Block>& description) {
  h.Tag("<header class=\"estimate\">\n<h1>");
  if (estimate) {
    h.FileText(estimate->Text(impwalk::estimate_record::name));
  } else {
    h.Text(w.noEstimateRecord);
  }
  h.Tag("</h1>\n");
  const std::string* text =
      description ? &description->Text(impwalk::description::description) : nullptr;
  if (text && !text->empty()) h.Tag("<p class=\"description\">").FileText(*text).Tag("</p>\n");
}

void Surcharges(HtmlWriter& h, const PageWords& w, const std::optional<impwalk::Block>& summary) {
  h.Tag("<section class=\"surcharges\">\n<h2>").Text(w.surcharges).Tag("</h2>\n");
  if (!summary) {
    h.Tag("<p class=\"note\">").Text(w.noSummary).Tag("</p>\n</section>\n");
    return;
  }
  const Value& items = summary->Get(impwalk::summary_record::items);
  if (items.target == Value::Target::kRefused) {
    Unreadable(h, w, items);
    h.Tag("</section>\n");
    return;
  }
  h.Tag("<table>\n<thead><tr><th>").Text(w.surcharge).Tag("</th><th class=\"num\">")
      .Text(w.rate).Tag("</th><th>").Text(w.labour).Tag("</th><th>").Text(w.materials)
      .Tag("</th><th>").Text(w.equipment).Tag("</th></tr></thead>\n<tbody>\n");
  for (const Block& item : items.blocks) {
    h.Tag("<tr class=\"surcharge\">");
    TextCell(h, item.Text(cost_item::name));
    NumberCell(h, item.Double(cost_item::rate));
    Basis(h, w, item.Int(cost_item::labourBasis), kLabourProfitKey);
    Basis(h, w, item.Int(cost_item::materialBasis), kMaterialProfitKey);
    Basis(h, w, item.Int(cost_item::equipmentBasis), kLabourProfitKey);
    h.Tag("</tr>\n");
  }
  h.Tag("</tbody>\n</table>\n</section>\n");
}

void ElementParts(HtmlWriter& h, const PageWords& w, const ElementNode& element) {
  Strays(h, w, element);
  Positions(h, w, element.positions);
}

void PartsPlaceholder(HtmlWriter& h, const ElementNode& element) {
  if (!element.HasParts()) return;
  h.Tag("<div class=\"parts\" data-element=\"").Integer(element.id).Tag("\"></div>\n");
}

void ElementTree(HtmlWriter& h, const PageWords& w, const ElementNode& element,
                 std::size_t level, bool onDemand) {
  static const char* const kLevels[] = {"level-1", "level-2", "level-3", "level-4"};
  constexpr std::size_t kStyledLevels = sizeof kLevels / sizeof kLevels[0];
  h.Tag("<details class=\"element ").Tag(kLevels[std::min(level, kStyledLevels) - 1]);
  if (onDemand) {
    h.Tag("\" data-element=\"").Integer(element.id).Tag("\">\n");
  } else {
    h.Tag("\" open>\n");
  }
  h.Tag("<summary><span class=\"number\">").Text(element.number).Tag("</span> ")
      .Tag("<span class=\"title\">").FileText(element.description).Tag("</span>");
  Amount(h, w, element);
  h.Tag("</summary>\n");
  if (onDemand) {
    PartsPlaceholder(h, element);
  } else {
    ElementParts(h, w, element);
  }
  for (const auto& child : element.children) ElementTree(h, w, *child, level + 1, onDemand);
  h.Tag("</details>\n");
}

void Findings(HtmlWriter& h, const PageWords& w, const std::vector<imp::Finding>& findings,
              const EstimatePage::FindingCounts& counts, FindingLinks links) {
  int64_t total = 0;
  for (int64_t count : counts) total += count;
  h.Tag("<section class=\"findings\">\n<h2>").Text(w.findingsTitle).Text(" (").Integer(total)
      .Text(")").Tag("</h2>\n");
  if (total == 0) h.Tag("<p class=\"note\">").Text(w.noFindings).Tag("</p>\n");
  for (std::size_t kind = 0; kind < counts.size(); ++kind) {
    if (counts[kind] == 0) continue;
    h.Tag("<table class=\"findings\">\n<caption>").Text(w.kindNames[kind]).Text(" (")
        .Integer(counts[kind]).Text(")").Tag("</caption>\n<thead><tr><th class=\"num\">")
        .Text(w.lineNumber).Tag("</th><th>").Text(w.section).Tag("</th><th>").Text(w.finding)
        .Tag("</th></tr></thead>\n<tbody>\n");
    int64_t shown = 0;
    for (const imp::Finding& finding : findings) {
      if (static_cast<std::size_t>(finding.kind) != kind) continue;
      ++shown;
      h.Tag("<tr class=\"finding\"><td class=\"num\">");
      if (links == FindingLinks::kToPositions && finding.position > 0) {
        h.Tag("<a href=\"#\" data-position=\"").Integer(finding.position).Tag("\">")
            .Integer(finding.line).Tag("</a>");
      } else {
        h.Integer(finding.line);
      }
      h.Tag("</td><td>").FileText(finding.section).Tag("</td><td>").Text(FindingSentence(finding, w))
          .Tag("</td></tr>\n");
    }
    h.Tag("</tbody>\n</table>\n");
    if (shown < counts[kind]) {
      h.Tag("<p class=\"note\">").Text(w.findingsShown).Integer(shown).Text(w.findingsShownOf)
          .Integer(counts[kind]).Text(w.findingsShownEnd).Tag("</p>\n");
    }
  }
  h.Tag("</section>\n");
}

}  // namespace imppage
