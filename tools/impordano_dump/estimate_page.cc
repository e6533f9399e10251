#include "estimate_page.h"

#include <algorithm>
#include <utility>

#include "html_writer.h"
#include "page_sections.h"
#include "page_style.h"

namespace impdump {

using impwalk::Block;

void EstimatePage::AddElement(Block record) {
  ++elementCount_;
  std::size_t depth = static_cast<std::size_t>(std::max(record.Int("depth"), 1));
  depth = std::min(depth, kMaxNesting);
  while (path_.size() > 1 && static_cast<std::size_t>(path_.back()->depth) >= depth) {
    path_.pop_back();
  }
  Element* parent = path_.back();
  auto child = std::make_unique<Element>();
  child->record = std::move(record);
  child->depth = static_cast<int32_t>(path_.size());
  std::string index = std::to_string(parent->children.size() + 1);
  child->number = parent == &root_ ? index : parent->number + "." + index;
  path_.push_back(child.get());
  parent->children.push_back(std::move(child));
  elementHasPosition_ = false;
}

void EstimatePage::AddPosition(Block record) {
  Position position;
  position.record = std::move(record);
  position.number = ++positionCount_;
  path_.back()->positions.push_back(std::move(position));
  elementHasPosition_ = true;
}

void EstimatePage::AddPart(int32_t tokenType, Block record) {
  if (tokenType == IMP_TOKEN_RESOURCE) ++resourceCounts_[record.Int("kind")];
  Element& element = *path_.back();
  if (!elementHasPosition_) {
    element.strays.push_back(std::move(record));
  } else if (tokenType == IMP_TOKEN_RESOURCE) {
    element.positions.back().resources.push_back(std::move(record));
  } else {
    element.positions.back().lines.push_back(std::move(record));
  }
}

void EstimatePage::Add(int32_t tokenType, Block record) {
  switch (tokenType) {
    case IMP_TOKEN_ESTIMATE: estimate_ = std::move(record); break;
    case IMP_TOKEN_SUMMARY: summary_ = std::move(record); break;
    case IMP_TOKEN_ELEMENT: AddElement(std::move(record)); break;
    case IMP_TOKEN_POSITION: AddPosition(std::move(record)); break;
    case IMP_TOKEN_MEASUREMENT_LINE:
    case IMP_TOKEN_RESOURCE: AddPart(tokenType, std::move(record)); break;
    default: ++otherRecords_; break;
  }
}

std::string EstimatePage::Render() const {
  HtmlWriter h;
  h.Tag("<!DOCTYPE html>\n<html lang=\"pl\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        "<meta name=\"generator\" content=\"impordano-dump\">\n<title>");
  if (estimate_) h.FileText(estimate_->Text("name"));
  h.Tag("</title>\n<style>\n").Tag(kPageStyle).Tag("</style>\n</head>\n<body>\n");

  Head(h, estimate_, description_);
  h.Tag("<dl class=\"facts\">\n");
  if (estimate_) {
    Fact(h, "Remarks", estimate_->Int("remarks"));
    Fact(h, "Levels", int64_t{estimate_->Int("lastLevelIndex")} + 1);
  }
  Fact(h, "Elements", elementCount_);
  Fact(h, "Positions", positionCount_);
  for (int32_t code : KindOrder(resourceCounts_)) {
    auto count = resourceCounts_.find(code);
    h.Tag("<div><dt>");
    KindLabel(h, code);
    h.Tag("</dt><dd>").Integer(count == resourceCounts_.end() ? 0 : count->second)
        .Tag("</dd></div>\n");
  }
  if (otherRecords_ > 0) Fact(h, "Records of unknown types", otherRecords_);
  h.Tag("</dl>\n</header>\n");

  Surcharges(h, summary_);

  h.Tag("<main>\n<h2>").Text("Elements and positions").Tag("</h2>\n");
  if (!root_.strays.empty() || !root_.positions.empty()) {
    h.Tag("<section class=\"outside\">\n<h3>").Text("Before the first element")
        .Tag("</h3>\n");
    Strays(h, root_.strays);
    Positions(h, root_.positions);
    h.Tag("</section>\n");
  }
  for (const auto& element : root_.children) ElementTree(h, *element, 1);
  h.Tag("</main>\n</body>\n</html>\n");
  return h.page();
}

}  // namespace impdump
