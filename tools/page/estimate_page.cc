#include "estimate_page.h"

#include <algorithm>
#include <utility>

#include "page_sections.h"
#include "page_style.h"

namespace imppage {

using impwalk::Block;
using impwalk::Value;

namespace {

namespace catalogue_detail = impwalk::catalogue_detail;
namespace element = impwalk::element_record;
namespace estimate = impwalk::estimate_record;
namespace line = impwalk::measurement_line_record;
namespace position = impwalk::position_record;
namespace quantity_item = impwalk::quantity_item;
namespace resource = impwalk::resource_record;

TakeOffLine LineOf(const Block& record) {
  return {record.Text(line::measurement), record.Text(line::comment)};
}

ResourceLine ResourceOf(const Block& record) {
  ResourceLine line;
  line.kind = record.Int(resource::kind);
  line.indexCode = record.Text(resource::indexCode);
  line.name = record.Text(resource::name);
  line.unit = record.Text(resource::unit);
  line.formula = record.Text(resource::consumptionText);
  line.consumption = record.Double(resource::consumption);
  line.price = record.Double(resource::price);
  line.investorQuantityMatches = record.Int(resource::investorQuantityMatches);
  return line;
}

}  // namespace

void EstimatePage::SetDescription(const Block& description) { description_ = description; }

void EstimatePage::SetFindings(std::vector<imp::Finding> findings, const FindingCounts& counts) {
  checked_ = true;
  findingCounts_ = counts;
  findings_ = std::move(findings);
  // Keeps each kind's first findings, in their order, should more be given.
  FindingCounts shown = {};
  auto kept = std::remove_if(findings_.begin(), findings_.end(), [&shown](const imp::Finding& f) {
    const auto kind = static_cast<std::size_t>(f.kind);
    return kind >= shown.size() || static_cast<std::size_t>(++shown[kind]) > kShownFindings;
  });
  findings_.erase(kept, findings_.end());
  findings_.shrink_to_fit();
}

void EstimatePage::AddElement(const Block& record) {
  ++elementCount_;
  std::size_t depth = static_cast<std::size_t>(std::max(record.Int(element::depth), 1));
  depth = std::min(depth, kMaxNesting);
  while (path_.size() > 1 && static_cast<std::size_t>(path_.back()->depth) >= depth) {
    path_.pop_back();
  }
  ElementNode* parent = path_.back();
  auto child = std::make_unique<ElementNode>();
  child->id = static_cast<int32_t>(byId_.size());
  child->depth = static_cast<int32_t>(path_.size());
  std::string index = std::to_string(parent->children.size() + 1);
  child->number = parent == &root_ ? index : parent->number + "." + index;
  child->description = record.Text(element::description);
  const Value& items = record.Get(element::quantityItems);
  child->amountUnreadable = items.target == Value::Target::kRefused;
  for (const Block& item : items.blocks) {
    child->amounts.push_back(
        {item.Double(quantity_item::quantity), item.Text(quantity_item::unit)});
  }
  byId_.push_back(child.get());
  path_.push_back(child.get());
  parent->children.push_back(std::move(child));
}

void EstimatePage::AddPosition(const Block& record) {
  PositionRow row;
  row.number = ++positionCount_;
  row.reference = record.Text(position::catalogueReference);
  row.description = record.Text(position::description);
  row.unit = record.Text(position::unit);
  row.secondUnit = record.Text(position::secondUnit);
  const std::vector<Block>& detail = record.Blocks(position::catalogueDetail);
  if (!detail.empty()) {
    row.hasDetail = true;
    row.catalogue = detail.front().Text(catalogue_detail::catalogue);
    row.catalogueNumber = detail.front().Text(catalogue_detail::catalogueNumber);
    row.tableColumn = detail.front().Text(catalogue_detail::tableColumn);
  }
  row.simplified = (record.Unsigned(position::flags) & IMP_POSITION_FLAG_SIMPLIFIED) != 0;
  row.quantity = record.Double(position::quantity);
  row.multiplicity = record.Double(position::multiplicity);
  row.price = record.Double(position::price);
  path_.back()->positions.push_back(std::move(row));
}

void EstimatePage::AddPart(int32_t tokenType, const Block& record) {
  // A part belongs to the last position of the current element; before the
  // element has one it is a stray.
  ElementNode& element = *path_.back();
  PositionRow* position = element.positions.empty() ? nullptr : &element.positions.back();
  if (tokenType == IMP_TOKEN_RESOURCE) {
    ++resourceCounts_[record.Int(resource::kind)];
    (position ? position->resources : element.strayResources).push_back(ResourceOf(record));
  } else {
    (position ? position->lines : element.strayLines).push_back(LineOf(record));
  }
}

void EstimatePage::Add(int32_t tokenType, const Block& record) {
  switch (tokenType) {
    case IMP_TOKEN_ESTIMATE: estimate_ = record; break;
    case IMP_TOKEN_SUMMARY: summary_ = record; break;
    case IMP_TOKEN_ELEMENT: AddElement(record); break;
    case IMP_TOKEN_POSITION: AddPosition(record); break;
    case IMP_TOKEN_MEASUREMENT_LINE:
    case IMP_TOKEN_RESOURCE: AddPart(tokenType, record); break;
    default: ++otherRecords_; break;
  }
}

std::vector<HeadFact> EstimatePage::Facts(const PageWords& w) const {
  std::vector<HeadFact> facts;
  if (estimate_) {
    // The estimate states how many remarks it has, not the remarks.
    const int32_t remarks = estimate_->Int(estimate::remarks);
    if (remarks != 0) facts.push_back({w.remarksCount, remarks});
    facts.push_back({w.levels, int64_t{estimate_->Int(estimate::lastLevelIndex)} + 1});
  }
  facts.push_back({w.elements, elementCount_});
  facts.push_back({w.positions, positionCount_});
  for (int32_t code : KindOrder(resourceCounts_)) {
    auto count = resourceCounts_.find(code);
    facts.push_back({KindLabel(w, code), count == resourceCounts_.end() ? 0 : count->second});
  }
  if (otherRecords_ > 0) facts.push_back({w.unknownRecords, otherRecords_});
  return facts;
}

void EstimatePage::Body(HtmlWriter& h, const PageWords& w, Parts parts) const {
  Head(h, w, estimate_, description_);
  h.Tag("<dl class=\"facts\">\n");
  for (const HeadFact& fact : Facts(w)) Fact(h, fact.label.c_str(), fact.value);
  h.Tag("</dl>\n</header>\n");

  Surcharges(h, w, summary_);

  h.Tag("<main>\n<h2>").Text(w.tree).Tag("</h2>\n");
  const bool onDemand = parts == Parts::kOnDemand;
  if (root_.HasParts()) {
    h.Tag("<section class=\"outside\">\n<h3>").Text(w.beforeFirstElement).Tag("</h3>\n");
    if (onDemand) {
      PartsPlaceholder(h, root_);
    } else {
      ElementParts(h, w, root_);
    }
    h.Tag("</section>\n");
  }
  for (const auto& element : root_.children) ElementTree(h, w, *element, 1, onDemand);
  h.Tag("</main>\n");
}

bool EstimatePage::Render(const PageWords& w, const PageSink& sink) const {
  HtmlWriter h(sink);
  h.Tag("<!DOCTYPE html>\n<html lang=\"").Tag(w.languageTag)
      .Tag("\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
           "<meta name=\"generator\" content=\"impordano-dump\">\n<title>");
  if (estimate_) h.FileText(estimate_->Text(estimate::name));
  h.Tag("</title>\n<style>\n").Tag(kPageStyle).Tag("</style>\n</head>\n<body>\n");
  Body(h, w, Parts::kAll);
  if (checked_) Findings(h, w, findings_, findingCounts_, FindingLinks::kNone);
  h.Tag("</body>\n</html>\n");
  return h.Finish();
}

std::string EstimatePage::Render(const PageWords& w) const {
  std::string page;
  Render(w, [&page](std::string_view piece) {
    page += piece;
    return true;
  });
  return page;
}

bool EstimatePage::RenderBody(const PageWords& w, Parts parts, const PageSink& sink) const {
  HtmlWriter h(sink);
  Body(h, w, parts);
  return h.Finish();
}

bool EstimatePage::RenderFindings(const PageWords& w, const PageSink& sink) const {
  HtmlWriter h(sink);
  if (checked_) Findings(h, w, findings_, findingCounts_, FindingLinks::kToPositions);
  return h.Finish();
}

// Elements take their positions in delivery order: an element's are one run
// of numbers, and later elements have later ones.
int32_t EstimatePage::ElementOfPosition(int64_t number) const {
  for (const ElementNode* element : byId_) {
    if (!element->positions.empty() && element->positions.front().number <= number &&
        number <= element->positions.back().number) {
      return element->id;
    }
  }
  return -1;
}

bool EstimatePage::RenderElementParts(int32_t id, const PageWords& w,
                                      const PageSink& sink) const {
  HtmlWriter h(sink);
  if (id >= 0 && static_cast<std::size_t>(id) < byId_.size()) ElementParts(h, w, *byId_[id]);
  return h.Finish();
}

}  // namespace imppage
