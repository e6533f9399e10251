// The HTML view of a whole estimate: gathers the records of one import in
// the order the module delivers them, keeps what the page shows of each,
// and writes the page, whole or (for a viewer) its tree first and each
// element's positions when they are asked for.
#ifndef IMPORDANO_PAGE_ESTIMATE_PAGE_H_
#define IMPORDANO_PAGE_ESTIMATE_PAGE_H_

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "check/import_check.h"
#include "html_writer.h"
#include "page_words.h"
#include "record_walker.h"

namespace imppage {

// What the page shows of the records, texts in Windows-1250 as the module
// gave them (full texts where a field was cut). Only this is kept: a walked
// record holds every field and would make a large estimate's page need
// many times the file's size.
struct TakeOffLine {
  std::string measurement;
  std::string comment;
};

struct ResourceLine {
  int32_t kind = 0;
  std::string indexCode, name, unit, formula;
  double consumption = 0.0;
  double price = 0.0;
  int32_t investorQuantityMatches = 0;
};

struct PositionRow {
  int64_t number = 0;  // running number over the whole estimate
  std::string reference, description, unit, secondUnit;
  bool hasDetail = false;  // a catalogue detail was behind the slot
  std::string catalogue, catalogueNumber, tableColumn;
  bool simplified = false;
  double quantity = 0.0;
  double multiplicity = 0.0;
  double price = 0.0;
  std::vector<TakeOffLine> lines;
  std::vector<ResourceLine> resources;
};

// One entry of the head's list of facts: its label (UTF-8) and count.
struct HeadFact {
  std::string label;
  int64_t value = 0;
};

struct ElementAmount {
  double quantity = 0.0;
  std::string unit;
};

// An element of the tree; the root stands for the estimate itself and
// holds what comes before the first element.
struct ElementNode {
  int32_t id = 0;     // 0 for the root, then 1, 2, ... in delivery order
  int32_t depth = 0;  // 0 for the root
  std::string number;  // "2.1": its place in the tree
  std::string description;
  bool amountUnreadable = false;
  std::vector<ElementAmount> amounts;
  // Lines and resources that came before the element's first position.
  std::vector<TakeOffLine> strayLines;
  std::vector<ResourceLine> strayResources;
  std::vector<PositionRow> positions;
  std::vector<std::unique_ptr<ElementNode>> children;

  bool HasParts() const {
    return !strayLines.empty() || !strayResources.empty() || !positions.empty();
  }
};

class EstimatePage {
 public:
  EstimatePage() = default;
  EstimatePage(const EstimatePage&) = delete;
  EstimatePage& operator=(const EstimatePage&) = delete;

  // The estimate's description as ImpKosztDescr gave it (DescriptionLayout).
  void SetDescription(const impwalk::Block& description);

  // One delivered record, walked without its reserved fields.
  void Add(int32_t tokenType, const impwalk::Block& record);

  // The findings of the import check, in file order, and the count of each
  // kind. The page shows the first kShownFindings of each kind and the
  // count of every kind, so that a file of a million findings makes no
  // page of a million rows; the check keeps no more than those
  // (imp::CheckFile's keepOfEachKind).
  static constexpr std::size_t kShownFindings = 10000;
  using FindingCounts = std::array<int64_t, imp::kPassedOverKinds>;
  void SetFindings(std::vector<imp::Finding> findings, const FindingCounts& counts);
  const std::vector<imp::Finding>& findings() const { return findings_; }
  const FindingCounts& findingCounts() const { return findingCounts_; }

  // The whole page, UTF-8, passed to `sink` piece by piece; false when the
  // sink failed. After the body, the section of the findings, when they
  // were set.
  bool Render(const PageWords& words, const PageSink& sink) const;
  std::string Render(const PageWords& words) const;

  // How much of the tree the body holds.
  enum class Parts {
    kAll,       // everything, every element open: the page's own body
    kOnDemand,  // elements closed, each with an empty <div class="parts"
                // data-element="ID"> where its lines, resources and
                // positions go (RenderElementParts)
  };
  // The page's <body> content: head, surcharges and the tree (a viewer
  // shows the findings on its own).
  bool RenderBody(const PageWords& words, Parts parts, const PageSink& sink) const;
  // The section of the findings as the page has it, each finding of a
  // position linking to the position's number (a viewer's panel).
  bool RenderFindings(const PageWords& words, const PageSink& sink) const;
  // The id of the element that holds position `number` (1-based, in
  // delivery order; 0: before the first element), or -1 for no position.
  int32_t ElementOfPosition(int64_t number) const;
  // The lines, resources and positions of element `id` (0: what comes
  // before the first element); nothing for an id without an element.
  bool RenderElementParts(int32_t id, const PageWords& words, const PageSink& sink) const;

  int64_t positionCount() const { return positionCount_; }
  int64_t elementCount() const { return elementCount_; }

  // The model, for the other writers (the workbook).
  const ElementNode& root() const { return root_; }
  const std::optional<impwalk::Block>& estimate() const { return estimate_; }
  const std::optional<impwalk::Block>& summary() const { return summary_; }
  const std::optional<impwalk::Block>& description() const { return description_; }
  // The counts the head lists, in its order.
  std::vector<HeadFact> Facts(const PageWords& words) const;

  // Elements nest at most this deep; deeper ones sit at this level, so that
  // neither this program nor a browser follows thousands of levels.
  static constexpr std::size_t kMaxNesting = 16;

 private:
  void AddElement(const impwalk::Block& record);
  void AddPosition(const impwalk::Block& record);
  void AddPart(int32_t tokenType, const impwalk::Block& record);
  void Body(HtmlWriter& h, const PageWords& words, Parts parts) const;

  std::optional<impwalk::Block> description_;
  std::optional<impwalk::Block> estimate_;
  std::optional<impwalk::Block> summary_;
  ElementNode root_;
  std::vector<ElementNode*> byId_{&root_};  // element id -> element
  std::vector<ElementNode*> path_{&root_};  // from the root to the current element
  int64_t elementCount_ = 0;
  int64_t positionCount_ = 0;
  std::map<int32_t, int64_t> resourceCounts_;  // by kind code
  int64_t otherRecords_ = 0;                   // token types without a layout
  bool checked_ = false;                       // the findings were set
  std::vector<imp::Finding> findings_;         // shown, of each kind the first
  FindingCounts findingCounts_ = {};
};

}  // namespace imppage

#endif  // IMPORDANO_PAGE_ESTIMATE_PAGE_H_
