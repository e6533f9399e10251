// What a text of the file or a number becomes on the HTML page.
#include "html_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "number_text.h"

namespace impdump {
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

TEST(DecimalCommaText, ShortestTextThatReadsBack) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case { double value; const char* text; };
  const Case cases[] = {
      {0.0, "0"},           {-0.0, "-0"},           {24.0, "24"},
      {18.45, "18,45"},     {0.1 + 0.2, "0,30000000000000004"},
      {1.122, "1,122"},     {1234567.5, "1234567,5"},
      {1e20, "100000000000000000000"},              {1e21, "1e+21"},
      {1e-6, "0,000001"},   {1.5e-7, "1,5e-07"},    {-1.5e300, "-1,5e+300"},
      {inf, "\u221E"},      {-inf, "-\u221E"},      {std::nan(""), "NaN"},
  };
  for (const Case& c : cases) EXPECT_EQ(DecimalCommaText(c.value), c.text) << c.text;
  // Every finite text reads back as the same double.
  for (double value : {18.45, 0.1 + 0.2, 1.5e-7, 123456.789e10, 2.2250738585072014e-308,
                       1.7976931348623157e308}) {
    std::string text = DecimalCommaText(value);
    for (char& ch : text) {
      if (ch == ',') ch = '.';
    }
    EXPECT_EQ(std::stod(text), value) << text;
  }
}

}  // namespace
}  // namespace impdump
