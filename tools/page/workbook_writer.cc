#include "workbook_writer.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

#include "number_text.h"
#include "page_sections.h"
#include "text.h"

namespace imppage {
namespace {

using impwalk::Block;
using impwalk::Value;

constexpr std::size_t kCellCharacters = 32767;
constexpr std::size_t kSheetNameCharacters = 31;
constexpr int kOutlineLevels = 7;  // the deepest outline a spreadsheet keeps
constexpr uint8_t kPaperA4 = 9;
constexpr int64_t kFirstDate = 315532800;  // 1980-01-01T00:00:00Z
constexpr int64_t kLastDate = 2147483647;  // 2038-01-19T03:14:07Z

bool IsHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// Whether "_xHHHH_" starts at `at`.
bool EscapeRunAt(const std::string& text, std::size_t at) {
  if (text.size() - at < 7 || text.compare(at, 2, "_x") != 0 || text[at + 6] != '_') return false;
  return std::all_of(text.begin() + at + 2, text.begin() + at + 6, IsHex);
}

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The sheet name `base`, or "base (n)" for the n-th sheet of a table, cut
// so that it keeps within a sheet name's 31 characters.
std::string SheetName(const std::string& base, int number) {
  const std::string suffix = number > 1 ? " (" + std::to_string(number) + ")" : "";
  std::string name;
  std::size_t characters = 0;
  for (std::size_t i = 0; i < base.size(); ++i) {
    if (!IsContinuationByte(base[i]) && ++characters + suffix.size() > kSheetNameCharacters) break;
    name += base[i];
  }
  return name + suffix;
}

// A column of a sheet: its heading and width (in characters).
struct Column {
  std::string heading;
  double width;
};

// The workbook and its formats; the first failure of libxlsxwriter is kept,
// and every later call is skipped.
class Book {
 public:
  Book(const std::string& path, uint32_t maxRows) : maxRows_(std::max<uint32_t>(maxRows, 2)) {
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    workbook_ = workbook_new_opt(path.c_str(), &options);
    if (!workbook_) {
      error_ = LXW_ERROR_MEMORY_MALLOC_FAILED;
      return;
    }
    heading_ = Format([](lxw_format* f) {
      format_set_bold(f);
      format_set_bottom(f, LXW_BORDER_THIN);
      format_set_text_wrap(f);
      format_set_align(f, LXW_ALIGN_VERTICAL_TOP);
    });
    title_ = Format([](lxw_format* f) {
      format_set_bold(f);
      format_set_font_size(f, 14);
    });
    bold_ = Format(format_set_bold);
    caption_ = Format(format_set_italic);
    left_ = Format([](lxw_format* f) { format_set_align(f, LXW_ALIGN_LEFT); });
  }
  ~Book() {
    if (workbook_) lxw_workbook_free(workbook_);  // not written: failed or thrown
  }
  Book(const Book&) = delete;
  Book& operator=(const Book&) = delete;

  void SetProperties(const std::string& title, int64_t created) {
    if (!workbook_) return;
    lxw_doc_properties properties = {};
    // The struct's fields are not const; libxlsxwriter copies them.
    properties.title = title.empty() ? nullptr : const_cast<char*>(title.c_str());
    properties.created = static_cast<time_t>(std::clamp(created, kFirstDate, kLastDate));
    Check(workbook_set_properties(workbook_, &properties));
  }

  lxw_worksheet* AddSheet(const std::string& name) {
    if (!ok()) return nullptr;
    Check(workbook_validate_sheet_name(workbook_, name.c_str()));
    lxw_worksheet* sheet = ok() ? workbook_add_worksheet(workbook_, name.c_str()) : nullptr;
    if (!sheet) Check(LXW_ERROR_MEMORY_MALLOC_FAILED);
    return sheet;
  }

  // Packs the workbook into its file; true when written.
  bool Close(std::string* error) {
    if (!workbook_) {
      *error = lxw_strerror(LXW_ERROR_MEMORY_MALLOC_FAILED);
      return false;
    }
    if (error_ == LXW_NO_ERROR) {
      error_ = workbook_close(workbook_);  // frees it, written or not
    } else {
      lxw_workbook_free(workbook_);
    }
    workbook_ = nullptr;
    if (error_ != LXW_NO_ERROR) *error = lxw_strerror(error_);
    return error_ == LXW_NO_ERROR;
  }

  void Check(lxw_error error) {
    if (error_ == LXW_NO_ERROR) error_ = error;
  }
  bool ok() const { return workbook_ && error_ == LXW_NO_ERROR; }
  uint32_t maxRows() const { return maxRows_; }
  lxw_format* heading() const { return heading_; }
  lxw_format* title() const { return title_; }
  lxw_format* bold() const { return bold_; }
  lxw_format* caption() const { return caption_; }
  lxw_format* left() const { return left_; }

 private:
  lxw_format* Format(const std::function<void(lxw_format*)>& set) {
    lxw_format* format = workbook_add_format(workbook_);
    if (format) {
      set(format);
    } else {
      error_ = LXW_ERROR_MEMORY_MALLOC_FAILED;
    }
    return format;
  }

  lxw_workbook* workbook_ = nullptr;
  lxw_error error_ = LXW_NO_ERROR;
  uint32_t maxRows_;
  lxw_format* heading_ = nullptr;
  lxw_format* title_ = nullptr;
  lxw_format* bold_ = nullptr;
  lxw_format* caption_ = nullptr;
  lxw_format* left_ = nullptr;
};

// One table written row by row, in order, into as many sheets as it needs:
// when a sheet is full the table goes on in the next, "Name (2)", which
// repeats the heading row. Each sheet prints landscape on A4, as wide as a
// page, with its heading row on every page, and keeps that row in view.
class Sheet {
 public:
  enum Kind { kTable, kTree };  // a table gets an autofilter, a tree an outline

  Sheet(Book& book, std::string name, std::vector<Column> columns, Kind kind)
      : book_(book), name_(std::move(name)), columns_(std::move(columns)), kind_(kind) {
    Open();
  }
  ~Sheet() { Close(); }

  // Starts the next row at an outline level (0 for none), with a format
  // for its empty cells.
  void Row(int level = 0, lxw_format* format = nullptr) {
    if (row_ + 1 >= book_.maxRows()) {
      Close();
      Open();
    }
    ++row_;
    if (level > 0 || format) {
      lxw_row_col_options options = {};
      options.level = static_cast<uint8_t>(std::min(level, kOutlineLevels));
      Do(worksheet_set_row_opt(sheet_, row_, LXW_DEF_ROW_HEIGHT, format, &options));
    }
  }

  // The heading row: the next row, repeated at the top of every later
  // sheet of the table.
  void Headings() {
    Row();
    headingRow_ = row_;
    WriteHeadings();
  }

  // Cells of the current row.
  void FileText(int column, const std::string& cp1250, lxw_format* format = nullptr) {
    Word(column, Utf8FromCp1250(cp1250), format);
  }
  void Word(int column, const std::string& utf8, lxw_format* format = nullptr) {
    if (utf8.empty() || !sheet_) return;
    Do(worksheet_write_string(sheet_, row_, static_cast<lxw_col_t>(column),
                              CellText(utf8).c_str(), format));
  }
  // A double as it is; NaN and the infinities, which a cell cannot hold as
  // numbers, as the page writes them.
  void Number(int column, double value, lxw_format* format = nullptr) {
    if (!std::isfinite(value)) return Word(column, ReadableNumber(value), format);
    if (!sheet_) return;
    Do(worksheet_write_number(sheet_, row_, static_cast<lxw_col_t>(column), value, format));
  }

 private:
  void Open() {
    sheet_ = book_.AddSheet(SheetName(name_, ++sheets_));
    row_ = static_cast<uint32_t>(-1);  // no row yet: the next is row 0
    if (!sheet_) return;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
      const auto column = static_cast<lxw_col_t>(i);
      Do(worksheet_set_column(sheet_, column, column, columns_[i].width, nullptr));
    }
    worksheet_set_landscape(sheet_);
    worksheet_set_paper(sheet_, kPaperA4);
    worksheet_fit_to_pages(sheet_, 1, 0);
    if (kind_ == kTree) {
      // The element's row stands above its parts, so the fold's button too.
      worksheet_outline_settings(sheet_, LXW_TRUE, LXW_FALSE, LXW_TRUE, LXW_FALSE);
    }
    if (headingRow_ != kNone) {
      ++row_;
      headingRow_ = row_;
      WriteHeadings();
    }
  }

  void WriteHeadings() {
    for (std::size_t i = 0; i < columns_.size(); ++i) {
      Word(static_cast<int>(i), columns_[i].heading, book_.heading());
    }
    if (!sheet_) return;
    worksheet_freeze_panes(sheet_, headingRow_ + 1, 0);
    Do(worksheet_repeat_rows(sheet_, headingRow_, headingRow_));
  }

  void Close() {
    if (!sheet_) return;
    if (kind_ == kTable && headingRow_ != kNone) {
      Do(worksheet_autofilter(sheet_, headingRow_, 0, row_,
                              static_cast<lxw_col_t>(columns_.size() - 1)));
    }
    sheet_ = nullptr;
  }

  void Do(lxw_error error) {
    book_.Check(error);
    if (!book_.ok()) sheet_ = nullptr;
  }

  static constexpr uint32_t kNone = static_cast<uint32_t>(-1);

  Book& book_;
  std::string name_;
  std::vector<Column> columns_;
  Kind kind_;
  lxw_worksheet* sheet_ = nullptr;
  int sheets_ = 0;
  uint32_t row_ = kNone;
  uint32_t headingRow_ = kNone;
};

// Every element in the order of the page: the root (what comes before the
// first element) first, then each element before its children.
void EachElement(const ElementNode& element, const std::function<void(const ElementNode&)>& visit) {
  visit(element);
  for (const auto& child : element.children) EachElement(*child, visit);
}

void InvestorQuantity(Sheet& s, int column, const PageWords& w, int32_t flag) {
  if (flag == 1) {
    s.Word(column, w.yes);
  } else if (flag != 0) {
    s.Number(column, flag);
  }
}

// The column of resource kinds takes the word the page puts before a code.
std::string KindHeading(const PageWords& w) {
  std::string heading = w.kind;
  while (!heading.empty() && heading.back() == ' ') heading.pop_back();
  return heading;
}

// ------------------------------------------------------------- Kosztorys
// Columns: Lp. (an element's number), Podstawa (a resource's index, a
// take-off line's number), Opis (a measurement, a resource's name), J.m.,
// Ilość (a resource's consumption), Krotność, Cena, the consumption's
// formula, the investor's quantity, a take-off line's comment.
enum EstimateColumn { kNumber, kBasis, kText, kUnit, kQuantity, kMultiplicity, kPrice, kFormula,
                      kInvestor, kComment };

class EstimateSheet {
 public:
  EstimateSheet(Book& book, const PageWords& w)
      : w_(w),
        s_(book, w.estimateSheet,
           {{w.positionNumber, 9}, {w.basis, 18}, {w.description, 60}, {w.unit, 8},
            {w.quantity, 12}, {w.multiplicity, 10}, {w.price, 12}, {w.formula, 20},
            {w.investorQuantity, 12}, {w.comment, 30}},
           Sheet::kTree),
        book_(book) {}

  void Head(const EstimatePage& page) {
    s_.Row(0, book_.title());
    if (page.estimate()) {
      s_.FileText(kNumber, page.estimate()->Text(impwalk::estimate_record::name), book_.title());
    } else {
      s_.Word(kNumber, w_.noEstimateRecord, book_.title());
    }
    if (page.description() && !page.description()->Text(impwalk::description::description).empty()) {
      s_.Row();
      s_.FileText(kNumber, page.description()->Text(impwalk::description::description));
    }
    for (const HeadFact& fact : page.Facts(w_)) {
      s_.Row();
      s_.Word(kNumber, fact.label);
      s_.Number(kText, static_cast<double>(fact.value), book_.left());
    }
    s_.Row();
    s_.Headings();
  }

  void Tree(const ElementNode& root) {
    // What comes before the first element folds under a row of its own, as
    // an element's parts under the element.
    if (root.HasParts()) {
      s_.Row(0, book_.bold());
      s_.Word(kText, w_.beforeFirstElement, book_.bold());
      Parts(root, 1);
    }
    for (const auto& child : root.children) Element(*child);
  }

 private:
  void Element(const ElementNode& element) {
    const int level = element.depth - 1;
    s_.Row(level, book_.bold());
    s_.Word(kNumber, element.number, book_.bold());
    s_.FileText(kText, element.description, book_.bold());
    if (element.amountUnreadable) s_.Word(kQuantity, w_.quantityUnreadable, book_.bold());
    for (std::size_t i = 0; i < element.amounts.size(); ++i) {
      if (i > 0) s_.Row(level, book_.bold());
      s_.FileText(kUnit, element.amounts[i].unit, book_.bold());
      s_.Number(kQuantity, element.amounts[i].quantity, book_.bold());
    }
    Parts(element, element.depth);
    for (const auto& child : element.children) Element(*child);
  }

  // The element's stray lines and resources, and its positions, at `level`;
  // what belongs to a position one level deeper.
  void Parts(const ElementNode& element, int level) {
    if (!element.strayLines.empty() || !element.strayResources.empty()) {
      s_.Row(level, book_.caption());
      s_.Word(kText, w_.strays, book_.caption());
      Lines(element.strayLines, level + 1);
      Resources(element.strayResources, level + 1);
    }
    for (const PositionRow& position : element.positions) {
      s_.Row(level);
      s_.Number(kNumber, static_cast<double>(position.number));
      s_.FileText(kBasis, position.reference);
      s_.FileText(kText, position.description);
      s_.FileText(kUnit, position.unit);
      s_.Number(kQuantity, position.quantity);
      s_.Number(kMultiplicity, position.multiplicity);
      s_.Number(kPrice, position.price);
      Lines(position.lines, level + 1);
      Resources(position.resources, level + 1);
    }
  }

  void Lines(const std::vector<TakeOffLine>& lines, int level) {
    if (lines.empty()) return;
    s_.Row(level, book_.caption());
    s_.Word(kText, w_.takeOff, book_.caption());
    int64_t number = 0;
    for (const TakeOffLine& line : lines) {
      s_.Row(level);
      s_.Number(kBasis, static_cast<double>(++number), book_.left());
      s_.FileText(kText, line.measurement);
      s_.FileText(kComment, line.comment);
    }
  }

  // Under a caption a kind, in the page's order of kinds.
  void Resources(const std::vector<ResourceLine>& resources, int level) {
    std::map<int32_t, int64_t> counts;
    for (const ResourceLine& resource : resources) ++counts[resource.kind];
    for (int32_t code : KindOrder(counts)) {
      if (counts.count(code) == 0) continue;
      s_.Row(level, book_.caption());
      s_.Word(kText, KindLabel(w_, code), book_.caption());
      for (const ResourceLine& resource : resources) {
        if (resource.kind != code) continue;
        s_.Row(level);
        s_.FileText(kBasis, resource.indexCode);
        s_.FileText(kText, resource.name);
        s_.FileText(kUnit, resource.unit);
        s_.Number(kQuantity, resource.consumption);
        s_.Number(kPrice, resource.price);
        s_.FileText(kFormula, resource.formula);
        InvestorQuantity(s_, kInvestor, w_, resource.investorQuantityMatches);
      }
    }
  }

  const PageWords& w_;
  Sheet s_;
  Book& book_;
};

// ------------------------------------------------------------ flat tables

void PositionsTable(Book& book, const PageWords& w, const ElementNode& root) {
  Sheet s(book, w.positions,
          {{w.positionNumber, 9}, {w.element, 10}, {w.basis, 18}, {w.description, 60},
           {w.unit, 8}, {w.quantity, 12}, {w.multiplicity, 10}, {w.price, 12}},
          Sheet::kTable);
  s.Headings();
  EachElement(root, [&](const ElementNode& element) {
    for (const PositionRow& position : element.positions) {
      s.Row();
      s.Number(0, static_cast<double>(position.number));
      s.Word(1, element.number);
      s.FileText(2, position.reference);
      s.FileText(3, position.description);
      s.FileText(4, position.unit);
      s.Number(5, position.quantity);
      s.Number(6, position.multiplicity);
      s.Number(7, position.price);
    }
  });
}

// `visit` gets each position's parts, and an element's strays with no
// position (number 0), in delivery order.
template <typename Part, typename Visit>
void EachPart(const ElementNode& root, std::vector<Part> PositionRow::*positionParts,
              const std::vector<Part> ElementNode::*strays, const Visit& visit) {
  EachElement(root, [&](const ElementNode& element) {
    for (const Part& part : element.*strays) visit(element, 0, part);
    for (const PositionRow& position : element.positions) {
      for (const Part& part : position.*positionParts) visit(element, position.number, part);
    }
  });
}

void ResourcesTable(Book& book, const PageWords& w, const ElementNode& root) {
  Sheet s(book, w.resourcesSheet,
          {{w.positionNumber, 9}, {w.element, 10}, {KindHeading(w), 22}, {w.index, 12},
           {w.name, 40}, {w.unit, 8}, {w.consumption, 12}, {w.formula, 20}, {w.price, 12},
           {w.investorQuantity, 12}},
          Sheet::kTable);
  s.Headings();
  EachPart(root, &PositionRow::resources, &ElementNode::strayResources,
           [&](const ElementNode& element, int64_t number, const ResourceLine& resource) {
             s.Row();
             if (number > 0) s.Number(0, static_cast<double>(number));
             s.Word(1, element.number);
             s.Word(2, KindLabel(w, resource.kind));
             s.FileText(3, resource.indexCode);
             s.FileText(4, resource.name);
             s.FileText(5, resource.unit);
             s.Number(6, resource.consumption);
             s.FileText(7, resource.formula);
             s.Number(8, resource.price);
             InvestorQuantity(s, 9, w, resource.investorQuantityMatches);
           });
}

void TakeOffTable(Book& book, const PageWords& w, const ElementNode& root) {
  Sheet s(book, w.takeOff,
          {{w.positionNumber, 9}, {w.element, 10}, {w.lineNumber, 8}, {w.measurement, 40},
           {w.comment, 40}},
          Sheet::kTable);
  s.Headings();
  EachElement(root, [&](const ElementNode& element) {
    auto write = [&](int64_t number, const std::vector<TakeOffLine>& lines) {
      int64_t n = 0;
      for (const TakeOffLine& line : lines) {
        s.Row();
        if (number > 0) s.Number(0, static_cast<double>(number));
        s.Word(1, element.number);
        s.Number(2, static_cast<double>(++n));
        s.FileText(3, line.measurement);
        s.FileText(4, line.comment);
      }
    };
    write(0, element.strayLines);
    for (const PositionRow& position : element.positions) write(position.number, position.lines);
  });
}

void SurchargesTable(Book& book, const PageWords& w, const std::optional<Block>& summary) {
  Sheet s(book, w.surcharges,
          {{w.surcharge, 30}, {w.rate, 10}, {w.labour, 24}, {w.materials, 24}, {w.equipment, 24}},
          Sheet::kTable);
  const Value* items = summary ? &summary->Get(impwalk::summary_record::items) : nullptr;
  if (!items || items->target == Value::Target::kRefused) {
    s.Row();
    if (!items) {
      s.Word(0, w.noSummary);
    } else {
      s.Word(0, w.unreadableItems + std::to_string(items->itemCount) + w.unreadableItemsOf +
                    std::to_string(items->itemSize) + w.unreadableItemsEnd);
    }
    return;
  }
  s.Headings();
  for (const Block& item : items->blocks) {
    s.Row();
    s.FileText(0, item.Text(impwalk::cost_item::name));
    s.Number(1, item.Double(impwalk::cost_item::rate));
    s.Word(2, BasisText(w, item.Int(impwalk::cost_item::labourBasis), kLabourProfitKey));
    s.Word(3, BasisText(w, item.Int(impwalk::cost_item::materialBasis), kMaterialProfitKey));
    s.Word(4, BasisText(w, item.Int(impwalk::cost_item::equipmentBasis), kLabourProfitKey));
  }
}

}  // namespace

std::string CellText(const std::string& utf8) {
  // Most texts: no underscore, and too short to count their characters.
  if (utf8.size() <= kCellCharacters && utf8.find('_') == std::string::npos) return utf8;
  std::string cell;
  std::size_t characters = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    std::size_t end = i + 1;
    while (end < utf8.size() && IsContinuationByte(utf8[end])) ++end;
    const bool escape = utf8[i] == '_' && EscapeRunAt(utf8, i);
    const std::size_t added = escape ? 7 : 1;  // "_x005F_" stands for one "_"
    if (characters + added > kCellCharacters) break;
    characters += added;
    cell += escape ? std::string_view("_x005F_") : std::string_view(utf8).substr(i, end - i);
    i = end;
  }
  return cell;
}

bool WriteWorkbook(const EstimatePage& page, const PageWords& words,
                   const WorkbookSettings& settings, const std::string& path, std::string* error) {
  Book book(path, settings.maxRows);
  book.SetProperties(page.estimate() ? Utf8FromCp1250(page.estimate()->Text(impwalk::estimate_record::name)) : "",
                     settings.created);
  {
    EstimateSheet estimate(book, words);
    estimate.Head(page);
    estimate.Tree(page.root());
  }
  PositionsTable(book, words, page.root());
  ResourcesTable(book, words, page.root());
  TakeOffTable(book, words, page.root());
  SurchargesTable(book, words, page.summary());
  return book.Close(error);
}

}  // namespace imppage
