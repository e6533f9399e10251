// What a text of the file or a number becomes on the HTML page.
#include "html_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "number_text.h"

namespace imppage {
namespace {

TEST(HtmlWriter, FileTextIsConvertedAndEscaped) {
  struct Case { std::string cp1250, html; };
  const Case cases[] = {
      {"Zak\xB3" "ad \xA3\xF3" "d\x9F", "Zakład Łódź"},
      {"<script>alert(1)</script>", "&lt;script&gt;alert(1)&lt;/script&gt;"},
      {"<img src=x onerror=\"a('b')\">", "&lt;img src=x onerror=&quot;a(&#39;b&#39;)&quot;&gt;"},
      {"&amp; & &#60;", "&amp;amp; &amp; &amp;#60;"},
      // Control characters show as their pictures; TAB stays.
      {std::string("a\x01\x1b\x7f\r\n\tb"), "a\u2401\u241b\u2421\u240d\u240a\tb"},
      // Bytes the code page leaves undefined.
      {"\x81\x98", "\uFFFD\uFFFD"},
  };
  for (const Case& c : cases) {
    HtmlWriter h;
    h.FileText(c.cp1250);
    EXPECT_EQ(h.page(), c.html) << c.html;
  }
}

TEST(HtmlWriter, OwnTextIsEscapedAndMarkupIsNot) {
  HtmlWriter h;
  h.Tag("<td class=\"num\">").Text("Rate, % <\"ł\">").Number(-2.5).Integer(-7).Tag("</td>");
  EXPECT_EQ(h.page(), "<td class=\"num\">Rate, % &lt;&quot;ł&quot;&gt;-2,5-7</td>");
}

TEST(ReadableNumber, TenSignificantDigitsWithoutNoise) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case { double value; const char* text; };
  const Case cases[] = {
      {0.0, "0"},           {-0.0, "0"},            {24.0, "24"},
      {18.45, "18,45"},     {0.1 + 0.2, "0,3"},     {1.122, "1,122"},
      {1234567.5, "1234567,5"},                     {-2.5, "-2,5"},
      {2.0 / 3.0, "0,6666666667"},                  {12345678901.0, "12345678900"},
      {0.99999999999, "1"}, {1e20, "100000000000000000000"},
      {1e21, "1e+21"},      {1e-6, "0,000001"},     {1.5e-7, "1,5e-07"},
      {-1.5e300, "-1,5e+300"},                      {5e-324, "4,940656458e-324"},
      {inf, "\u221E"},      {-inf, "-\u221E"},      {std::nan(""), "NaN"},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadableNumber(c.value), c.text) << c.text;
}

TEST(FormulaWithDecimalComma, OnlyPointsBetweenDigits) {
  struct Case { const char *record, *page; };
  const Case cases[] = {
      {"0.250000*1.5", "0,250000*1,5"}, {"2*(3.5+.5)", "2*(3,5+.5)"},
      {"a.b 1. .2 x1.y", "a.b 1. .2 x1.y"}, {"1.2.3", "1,2,3"}, {"", ""},
      {"\xB3" "1.5", "\xB3" "1,5"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormulaWithDecimalComma(c.record), c.page) << c.record;
}

TEST(HtmlWriter, StreamsInPiecesThatJoinToThePage) {
  std::string joined;
  int pieces = 0;
  HtmlWriter h([&](std::string_view piece) {
    joined += piece;
    ++pieces;
    return true;
  });
  std::string expected;
  for (int i = 0; i < 20000; ++i) {
    h.Tag("<td>").Integer(i).Tag("</td>");
    expected += "<td>" + std::to_string(i) + "</td>";
  }
  EXPECT_TRUE(h.Finish());
  EXPECT_EQ(joined, expected);
  EXPECT_GT(pieces, 2);
  // A sink that fails takes nothing more and the writer reports it.
  int calls = 0;
  HtmlWriter failing([&](std::string_view) { return ++calls > 1 ? true : false; });
  for (int i = 0; i < 40000; ++i) failing.Tag("<td></td>");
  EXPECT_FALSE(failing.Finish());
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace imppage
