// Builds an HTML page in which every text is escaped: markup comes only from
// this program's string literals (Tag), and every text, the file's above all,
// goes through Text or FileText, which leave no character that could start
// markup, end an attribute or hide in the page as a control character.
#ifndef IMPORDANO_DUMP_HTML_WRITER_H_
#define IMPORDANO_DUMP_HTML_WRITER_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace impdump {

class HtmlWriter {
 public:
  // Markup: tags and attributes written by this program, never file text.
  HtmlWriter& Tag(const char* markup) {
    page_ += markup;
    return *this;
  }

  // A text of this program's (UTF-8), escaped.
  HtmlWriter& Text(std::string_view utf8);

  // A text from the file (Windows-1250), converted to UTF-8 and escaped.
  HtmlWriter& FileText(std::string_view cp1250);

  // Numbers: with the decimal comma (DecimalCommaText), and whole ones.
  HtmlWriter& Number(double value);
  HtmlWriter& Integer(int64_t value);

  const std::string& page() const { return page_; }

 private:
  void Character(char32_t codePoint);

  std::string page_;
};

}  // namespace impdump

#endif  // IMPORDANO_DUMP_HTML_WRITER_H_
