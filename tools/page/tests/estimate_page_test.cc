// The page's tree from records in delivery order, for what the samples do
// not hold: positions and lines before any element or position, skipped and
// absurd depths, and resource kinds out of the ordinary.
#include "estimate_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace imppage {
namespace {

template <typename Record>
impwalk::Block Walk(int32_t tokenType, const Record& record) {
  return impwalk::WalkRecord(tokenType, &record, [](imp_slot) { return nullptr; },
                             impwalk::Reserved::kSkip);
}

impwalk::Block Element(int32_t depth, const char* description) {
  ElementRecord record{};
  record.depth = depth;
  std::strcpy(record.description, description);
  return Walk(IMP_TOKEN_ELEMENT, record);
}

impwalk::Block Position(const char* description) {
  PositionRecord record{};
  std::strcpy(record.description, description);
  return Walk(IMP_TOKEN_POSITION, record);
}

impwalk::Block Resource(int32_t kind, const char* name) {
  ResourceRecord record{};
  record.kind = kind;
  std::strcpy(record.name, name);
  return Walk(IMP_TOKEN_RESOURCE, record);
}

impwalk::Block Line(const char* measurement) {
  MeasurementLineRecord record{};
  std::strcpy(record.measurement, measurement);
  return Walk(IMP_TOKEN_MEASUREMENT_LINE, record);
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

// The positions of the given parts in the page, which must all be there.
std::vector<std::size_t> Places(const std::string& page, const std::vector<std::string>& parts) {
  std::vector<std::size_t> places;
  for (const std::string& part : parts) {
    places.push_back(page.find(part));
    EXPECT_NE(places.back(), std::string::npos) << part;
  }
  return places;
}

TEST(EstimatePage, TreeFollowsDepthsAndKeepsEveryRecord) {
  EstimatePage page;
  page.Add(IMP_TOKEN_POSITION, Position("p-before"));
  page.Add(IMP_TOKEN_ELEMENT, Element(1, "e-A"));
  page.Add(IMP_TOKEN_RESOURCE, Resource('R', "r-stray"));
  page.Add(IMP_TOKEN_POSITION, Position("p-in-A"));
  for (int32_t kind : {int32_t{'S'}, int32_t{'A'}, int32_t{'X'}, int32_t{'M'}, int32_t{'R'}, 0}) {
    page.Add(IMP_TOKEN_RESOURCE, Resource(kind, ("r-" + std::to_string(kind)).c_str()));
  }
  page.Add(IMP_TOKEN_MEASUREMENT_LINE, Line("2*3"));
  page.Add(IMP_TOKEN_ELEMENT, Element(2, "e-B"));
  page.Add(IMP_TOKEN_ELEMENT, Element(2, "e-C"));
  page.Add(IMP_TOKEN_ELEMENT, Element(1, "e-D"));
  page.Add(IMP_TOKEN_ELEMENT, Element(3, "e-E"));  // a level skipped
  page.Add(IMP_TOKEN_ELEMENT, Element(-4, "e-F"));
  page.Add(99, impwalk::Block{});
  const std::string html = page.Render(WordsFor(Language::kEnglish));

  Places(html, {"<span class=\"number\">1</span> <span class=\"title\">e-A",
                "<span class=\"number\">1.1</span> <span class=\"title\">e-B",
                "<span class=\"number\">1.2</span> <span class=\"title\">e-C",
                "<span class=\"number\">2</span> <span class=\"title\">e-D",
                "<span class=\"number\">2.1</span> <span class=\"title\">e-E",
                "<span class=\"number\">3</span> <span class=\"title\">e-F",
                "<dt>Elements</dt><dd>6</dd>", "<dt>Positions</dt><dd>2</dd>",
                "<dt>Labour (R)</dt><dd>2</dd>", "<dt>Kind X</dt><dd>1</dd>",
                "<caption>No kind", "<caption>Kind X",
                "<dt>No kind</dt><dd>1</dd>", "<dt>Records of unknown types</dt><dd>1</dd>"});
  EXPECT_NE(html.find("<html lang=\"en\">"), std::string::npos);
  // No estimate record: no remarks, and the heading says so.
  EXPECT_EQ(html.find("<dt>Number of remarks</dt>"), std::string::npos);
  EXPECT_NE(html.find("<h1>Estimate without a header record</h1>"), std::string::npos);
  EXPECT_EQ(Count(html, "<tr class=\"position\">"), 2u);
  // Before the first element, then the stray resource, then the position
  // with its line and its resources by kind: R, M, S, A, then others by code.
  std::vector<std::size_t> order =
      Places(html, {"Before the first element", "p-before", "e-A", "r-stray", "p-in-A", "2*3",
                    "r-82", "r-77", "r-83", "r-65", "r-0", "r-88", "e-B"});
  EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
  EXPECT_EQ(Count(html, "<details"), 6u);
  EXPECT_EQ(Count(html, "</details>"), 6u);
}

TEST(EstimatePage, NestingStopsAtItsLimit) {
  EstimatePage page;
  for (int32_t depth = 1; depth <= 40; ++depth) {
    page.Add(IMP_TOKEN_ELEMENT, Element(depth, "e"));
  }
  const std::string html = page.Render(WordsFor(Language::kPolish));
  std::size_t level = 0, deepest = 0;
  for (std::size_t at = html.find("details"); at != std::string::npos;
       at = html.find("details", at + 1)) {
    if (html.compare(at - 1, 1, "<") == 0) deepest = std::max(deepest, ++level);
    if (html.compare(at - 2, 2, "</") == 0) --level;
  }
  EXPECT_EQ(level, 0u);
  EXPECT_EQ(deepest, EstimatePage::kMaxNesting);
  EXPECT_EQ(Count(html, "<details"), 40u);
}

}  // namespace
}  // namespace imppage
