#include "check_report.h"

#include <array>
#include <cmath>
#include <string>

#include <nlohmann/json.hpp>

#include "finding_text.h"
#include "number_text.h"
#include "text.h"

namespace impcheck {
namespace {

using imp::Finding;
using imp::PassedOver;
using Json = nlohmann::ordered_json;

// "line 90 [RMS 7] ..." in the words' language.
std::string TextLine(const Finding& f, const imppage::PageWords& w) {
  std::string line = std::string(w.line) + " " + std::to_string(f.line) + " ";
  if (!f.section.empty()) line += imppage::VisibleText(f.section) + " ";
  return line + imppage::FindingSentence(f, w) + "\n";
}

// JSON has no infinities and no NaN: those go as the texts ExactNumber gives.
Json Number(double value) {
  if (std::isfinite(value)) return value;
  return imppage::ExactNumber(value);
}

Json Taken(const Finding& f) {
  switch (f.takenAs) {
    case Finding::Taken::kInteger: return static_cast<int64_t>(f.taken);
    case Finding::Taken::kLetter:
      return imppage::Utf8FromCp1250(std::string(1, static_cast<char>(static_cast<int>(f.taken))));
    default: return Number(f.taken);
  }
}

// The fields a kind fills (passed_over.h), named as the README names them.
std::string JsonLine(const Finding& f, const imppage::PageWords& w) {
  Json json;
  json["line"] = f.line;
  json["kind"] = imppage::KindCode(f.kind);
  json["section"] = imppage::Utf8FromCp1250(f.section);
  if (!f.key.empty()) json["key"] = imppage::Utf8FromCp1250(f.key);
  if (!f.written.empty()) json["written"] = imppage::Utf8FromCp1250(f.written);
  if (!f.passedOver.empty()) json["passedOver"] = imppage::Utf8FromCp1250(f.passedOver);
  if (f.takenAs != Finding::Taken::kNone) json["taken"] = Taken(f);
  if (f.length != 0) json["length"] = f.length;
  if (f.kind == PassedOver::kTextCut || f.kind == PassedOver::kTextUnreachable) {
    json["keeps"] = f.keeps;
  }
  if (f.otherLine != 0) json["otherLine"] = f.otherLine;
  if (f.kind == PassedOver::kRateOutvoted) {
    json["summaryRate"] = Number(f.summaryRate);
    json["summaryCount"] = f.summaryCount;
    if (f.resourceKind != 0) {
      json["resourceKind"] = imppage::Utf8FromCp1250(std::string(1, static_cast<char>(f.resourceKind)));
    }
  }
  json["message"] = imppage::FindingSentence(f, w);
  return json.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace

bool WriteReport(const std::vector<Finding>& findings, const imppage::PageWords& words,
                 Format format, const std::function<bool(std::string_view)>& write) {
  std::array<int64_t, imp::kPassedOverKinds> counts = {};
  for (const Finding& f : findings) {
    ++counts[static_cast<size_t>(f.kind)];
    if (!write(format == Format::kText ? TextLine(f, words) : JsonLine(f, words))) return false;
  }
  if (format == Format::kJsonLines) {
    Json json;
    json["counts"] = Json::object();
    for (size_t kind = 0; kind < counts.size(); ++kind) {
      if (counts[kind] != 0) json["counts"][imppage::KindCode(static_cast<PassedOver>(kind))] = counts[kind];
    }
    json["total"] = static_cast<int64_t>(findings.size());
    return write(json.dump() + "\n");
  }
  if (findings.empty()) return write(std::string(words.noFindings) + "\n");
  std::string last = words.findingsCount + std::to_string(findings.size()) + " (";
  const char* separator = "";
  for (size_t kind = 0; kind < counts.size(); ++kind) {
    if (counts[kind] == 0) continue;
    last += separator + std::string(words.kindNames[kind]) + " " + std::to_string(counts[kind]);
    separator = ", ";
  }
  return write(last + ")\n");
}

}  // namespace impcheck
