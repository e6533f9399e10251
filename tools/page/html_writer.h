// Builds an HTML page in which every text is escaped: markup comes only from
// this program's string literals (Tag), and every text, the file's above all,
// goes through Text or FileText, which leave no character that could start
// markup, end an attribute or hide in the page as a control character.
#ifndef IMPORDANO_PAGE_HTML_WRITER_H_
#define IMPORDANO_PAGE_HTML_WRITER_H_

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace imppage {

// Takes the page piece by piece, in order; returns false when it cannot
// take more (a failed write), after which the writer passes on nothing.
using PageSink = std::function<bool(std::string_view)>;

class HtmlWriter {
 public:
  // Keeps the whole page (page()).
  HtmlWriter() = default;
  // Passes the page on to `sink` in pieces of about kPiece bytes, so that a
  // page of any size needs no more memory than a piece.
  explicit HtmlWriter(PageSink sink) : sink_(std::move(sink)) {}
  HtmlWriter(const HtmlWriter&) = delete;
  HtmlWriter& operator=(const HtmlWriter&) = delete;

  // Markup: tags and attributes written by this program, never file text.
  HtmlWriter& Tag(std::string_view markup) {
    page_ += markup;
    return Written();
  }

  // A text of this program's (UTF-8), escaped.
  HtmlWriter& Text(std::string_view utf8);

  // A text from the file (Windows-1250), converted to UTF-8 and escaped.
  HtmlWriter& FileText(std::string_view cp1250);

  // Numbers: rounded with the decimal comma (ReadableNumber), and whole ones.
  HtmlWriter& Number(double value);
  HtmlWriter& Integer(int64_t value);

  // Passes what is left to the sink; true when the sink took everything.
  bool Finish();

  // The page so far (without a sink: all of it).
  const std::string& page() const { return page_; }

  static constexpr std::size_t kPiece = 1 << 16;

 private:
  HtmlWriter& Written() {
    if (sink_ && page_.size() >= kPiece) Pass();
    return *this;
  }
  void Pass();
  void Character(char32_t codePoint);

  PageSink sink_;
  bool sinkFailed_ = false;
  std::string page_;
};

}  // namespace imppage

#endif  // IMPORDANO_PAGE_HTML_WRITER_H_
