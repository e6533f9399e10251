#include "html_writer.h"

#include "number_text.h"
#include "text.h"

namespace imppage {

// The five characters that can open markup, a reference or an attribute
// value become references. Control characters other than TAB would be parse
// errors or vanish from view; they are shown as their Control Pictures
// symbol (U+2400 + code, U+2421 for DEL), so a stray byte stays visible.
void HtmlWriter::Character(char32_t c) {
  switch (c) {
    case '&': page_ += "&amp;"; return;
    case '<': page_ += "&lt;"; return;
    case '>': page_ += "&gt;"; return;
    case '"': page_ += "&quot;"; return;
    case '\'': page_ += "&#39;"; return;
    case '\t': page_ += '\t'; return;
    case 0x7F: AppendUtf8(0x2421, &page_); return;
    default: break;
  }
  AppendUtf8(c < 0x20 ? 0x2400 + c : c, &page_);
}

HtmlWriter& HtmlWriter::FileText(std::string_view cp1250) {
  for (char byte : cp1250) Character(CodePointFromCp1250(static_cast<unsigned char>(byte)));
  return Written();
}

HtmlWriter& HtmlWriter::Text(std::string_view utf8) {
  // Only ASCII needs escaping; the bytes of multi-byte sequences are all
  // 0x80 or above and are copied as they are.
  for (char byte : utf8) {
    auto b = static_cast<unsigned char>(byte);
    if (b < 0x80) {
      Character(b);
    } else {
      page_ += byte;
    }
  }
  return Written();
}

HtmlWriter& HtmlWriter::Number(double value) { return Text(ReadableNumber(value)); }

HtmlWriter& HtmlWriter::Integer(int64_t value) { return Text(std::to_string(value)); }

void HtmlWriter::Pass() {
  if (!sinkFailed_ && !page_.empty()) sinkFailed_ = !sink_(page_);
  page_.clear();
}

bool HtmlWriter::Finish() {
  if (sink_) Pass();
  return !sinkFailed_;
}

}  // namespace imppage
