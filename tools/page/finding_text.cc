#include "finding_text.h"

#include <cstdint>

#include "number_text.h"
#include "text.h"

namespace imppage {
namespace {

constexpr const char* kKindCodes[imp::kPassedOverKinds] = {
    "keyNotRead",      "strayLine",         "keyOutsideSection", "keyRepeated",
    "textCut",         "textUnreachable",   "formulaDropped",    "readPartly",
    "fractionInInteger", "extraFields",     "lineTooLong",       "noLineFeed",
    "textEndsAtNul",   "afterEndOfText",    "resourceBeforePosition", "rateOutvoted",
    "rateNotCounted",
};

std::string Quoted(std::string_view cp1250) { return "\"" + VisibleText(cp1250) + "\""; }

// The text of one {name} of a sentence.
std::string Field(const imp::Finding& f, std::string_view name) {
  if (name == "key") return Quoted(f.key);
  if (name == "written") return Quoted(f.written);
  if (name == "rest") return Quoted(f.passedOver);
  if (name == "taken") return TakenText(f);
  if (name == "length") return std::to_string(f.length);
  if (name == "keeps") return std::to_string(f.keeps);
  if (name == "other") return std::to_string(f.otherLine);
  if (name == "summaryRate") return ExactNumber(f.summaryRate);
  if (name == "summaryCount") return std::to_string(f.summaryCount);
  if (name == "kind") {
    return f.resourceKind > 0 && f.resourceKind < 256
               ? " (" + VisibleText(std::string(1, static_cast<char>(f.resourceKind))) + ")"
               : std::string();
  }
  return "{" + std::string(name) + "}";
}

}  // namespace

const char* KindCode(imp::PassedOver kind) {
  const auto index = static_cast<int32_t>(kind);
  return index >= 0 && index < imp::kPassedOverKinds ? kKindCodes[index] : "unknown";
}

std::string VisibleText(std::string_view cp1250) {
  std::string out;
  for (char byte : cp1250) {
    const char32_t c = CodePointFromCp1250(static_cast<unsigned char>(byte));
    AppendUtf8(c < 0x20 ? 0x2400 + c : c == 0x7F ? 0x2421 : c, &out);
  }
  return out;
}

std::string TakenText(const imp::Finding& f) {
  switch (f.takenAs) {
    case imp::Finding::Taken::kInteger: return std::to_string(static_cast<int64_t>(f.taken));
    case imp::Finding::Taken::kLetter:
      return f.taken > 0 && f.taken < 256 ? Quoted(std::string(1, static_cast<char>(f.taken))) : "0";
    default: return ExactNumber(f.taken);
  }
}

std::string FindingSentence(const imp::Finding& finding, const PageWords& words) {
  const auto index = static_cast<int32_t>(finding.kind);
  if (index < 0 || index >= imp::kPassedOverKinds) return std::string();
  const std::string_view pattern = words.sentences[index];
  std::string out;
  for (std::size_t at = 0; at < pattern.size();) {
    const std::size_t open = pattern.find('{', at);
    const std::size_t close = open == std::string_view::npos ? open : pattern.find('}', open);
    if (close == std::string_view::npos) {
      out.append(pattern.substr(at));
      break;
    }
    out.append(pattern.substr(at, open - at));
    out += Field(finding, pattern.substr(open + 1, close - open - 1));
    at = close + 1;
  }
  return out;
}

}  // namespace imppage
