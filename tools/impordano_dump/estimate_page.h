// The HTML view of a whole estimate: gathers the records of one import in
// the order the module delivers them and writes one self-contained page.
#ifndef IMPORDANO_DUMP_ESTIMATE_PAGE_H_
#define IMPORDANO_DUMP_ESTIMATE_PAGE_H_

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "record_walker.h"

namespace impdump {

class EstimatePage {
 public:
  EstimatePage() = default;
  EstimatePage(const EstimatePage&) = delete;
  EstimatePage& operator=(const EstimatePage&) = delete;

  // The estimate's description as ImpKosztDescr gave it (DescriptionLayout).
  void SetDescription(impwalk::Block description) { description_ = std::move(description); }

  // One delivered record, walked without its reserved fields.
  void Add(int32_t tokenType, impwalk::Block record);

  // The page, UTF-8.
  std::string Render() const;

  // Elements nest at most this deep; deeper ones sit at this level, so that
  // neither this program nor a browser follows thousands of levels.
  static constexpr std::size_t kMaxNesting = 16;

  struct Position {
    impwalk::Block record;
    int64_t number = 0;  // running number over the whole estimate
    std::vector<impwalk::Block> lines;
    std::vector<impwalk::Block> resources;
  };
  // An element of the tree; the root stands for the estimate itself and
  // holds what comes before the first element.
  struct Element {
    std::optional<impwalk::Block> record;
    int32_t depth = 0;
    std::string number;  // "2.1": its place in the tree
    std::vector<Position> positions;
    std::vector<impwalk::Block> strays;  // lines and resources before a position
    std::vector<std::unique_ptr<Element>> children;
  };

 private:
  void AddElement(impwalk::Block record);
  void AddPosition(impwalk::Block record);
  void AddPart(int32_t tokenType, impwalk::Block record);

  std::optional<impwalk::Block> description_;
  std::optional<impwalk::Block> estimate_;
  std::optional<impwalk::Block> summary_;
  Element root_;
  std::vector<Element*> path_{&root_};  // from the root to the current element
  // Lines and resources belong to the last position of the current element;
  // before the element has one they are strays.
  bool elementHasPosition_ = false;
  int64_t elementCount_ = 0;
  int64_t positionCount_ = 0;
  std::map<int32_t, int64_t> resourceCounts_;  // by kind code
  int64_t otherRecords_ = 0;                   // token types without a layout
};

}  // namespace impdump

#endif  // IMPORDANO_DUMP_ESTIMATE_PAGE_H_
