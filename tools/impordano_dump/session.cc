#include "session.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <sys/stat.h>
extern "C" {  // libxlsxwriter's temporary files, which Windows has no mkstemp for
#include <xlsxwriter/third_party/tmpfileplus.h>
}

#include "check/import_check.h"
#include "check_report.h"
#include "estimate_page.h"
#include "hex_dump.h"
#include "record_json.h"
#include "workbook_writer.h"

namespace impdump {
namespace {

constexpr char kProgram[] = "impordano-dump";
constexpr int32_t kNoType = -1;

// The module reports failures as an errno value in decimal text, numbered
// as the C libraries of Windows and Linux number them.
std::string ErrorText(const char* number) {
  char* end = nullptr;
  long value = std::strtol(number, &end, 10);
  if (end == number || *end != '\0') return std::string("error ") + number;
#if defined(__EMSCRIPTEN__)
  // This C library numbers errors its own way: name those a host meets.
  switch (value) {
    case 2: return "No such file or directory";
    case 5: return "Input/output error";
    case 12: return "Cannot allocate memory";
    case 13: return "Permission denied";
    case 21: return "Is a directory";
    default: return std::string("error ") + number;
  }
#else
  return std::strerror(static_cast<int>(value));
#endif
}

// Standard output, remembering the first failed write and its reason, after
// which the session stops: there is no use importing on for nobody.
class Output {
 public:
  explicit Output(std::FILE* file) : file_(file) {}

  bool Write(std::string_view text) {
    if (failed_) return false;
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) Fail();
    return !failed_;
  }

  // Flushes; false when anything could not be written.
  bool Finish() {
    errno = 0;
    if (!failed_ && (std::fflush(file_) != 0 || std::ferror(file_))) Fail();
    return !failed_;
  }

  const std::string& reason() const { return reason_; }

 private:
  void Fail() {
    failed_ = true;
    reason_ = errno ? std::strerror(errno) : "write error";
  }

  std::FILE* file_;
  bool failed_ = false;
  std::string reason_;
};

// Why a file the module found to be no estimate export is none, told from
// its first bytes as the module reads them: blank lines (CR LF or LF alone)
// are skipped, and the first other line must be "[Plik]". The module says
// no more, so that the cases a user can mend get words of their own.
const char* WhyNotAnEstimate(const char* path) {
  const char* const kOther = "its first non-blank line is not [Plik]";
  std::FILE* file = std::fopen(path, "rb");
  if (!file) return kOther;
  int c = std::fgetc(file);
  const bool empty = c == EOF;
  // A UTF-8 byte-order mark: EF BB BF.
  bool marked = c == 0xEF && std::fgetc(file) == 0xBB && std::fgetc(file) == 0xBF;
  if (marked) c = std::fgetc(file);
  while (c == '\r' || c == '\n') c = std::fgetc(file);
  std::string line;
  for (; c != EOF && line.size() < 6; c = std::fgetc(file)) line += static_cast<char>(c);
  std::fclose(file);
  if (empty) return "the file is empty";
  if (line.empty() && !marked) return "it holds only blank lines";
  if (marked && line.compare(0, 6, "[Plik]") == 0) {
    return "it is UTF-8 text with a byte-order mark before [Plik], and an export is "
           "Windows-1250 text without one: save it again as Windows-1250 (ANSI)";
  }
  return kOther;
}

// Why ImpStart (or the check) refused the file, and the exit status for
// it. The module names a file it cannot open or read (a directory too) by
// an errno value; otherwise the file was read and is no estimate export.
int ReportStartFailure(const char* message, const Options& options, std::FILE* err) {
  const char* file = options.file.c_str();
  if (message && *message) {
    std::fprintf(err, "%s: cannot open %s: %s\n", kProgram, file, ErrorText(message).c_str());
    return kExitCannotRead;
  }
  std::fprintf(err, "%s: %s is not an estimate export: %s\n", kProgram, file,
               WhyNotAnEstimate(file));
  return kExitNotAnEstimate;
}

// The import failed when the module's (or the check's) error number is
// set; the exit status for it, or kExitOk.
int ReportImportFailure(const char* message, const Options& options, std::FILE* err,
                        bool* outOfMemory) {
  if (message && *message) {
    const bool noMemory = std::strcmp(message, "12") == 0;  // ENOMEM
    if (outOfMemory) *outOfMemory = noMemory;
    std::string reason = noMemory ? "the module ran out of memory" : ErrorText(message);
    std::fprintf(err, "%s: importing %s failed: %s\n", kProgram, options.file.c_str(),
                 reason.c_str());
    return kExitImportFailed;
  }
  return kExitOk;
}

// Called with each record while it is valid: slots and long texts last only
// until the next ImpGetNextToken call. Returns false to stop the import.
using RecordHandler = std::function<bool(int32_t type, const unsigned char* record)>;

// ImpGetNextToken until it returns 0 or the handler stops it. Progress
// reports are skipped: the module's first call reads the whole file, so they
// tell nothing while the records come. Returns the exit status, and sets
// *outOfMemory (when given) if the module ran out of memory.
int ReadRecords(const ModuleExports& module, const Options& options, std::FILE* err,
                bool* outOfMemory, const RecordHandler& handle) {
  ImpBuffer buffer;
  for (;;) {
    int32_t type = kNoType;
    if (module.getNextToken(&type, buffer.bytes) == 0) break;
    if (type == IMP_TOKEN_PROGRESS) continue;
    if (type == kNoType) {
      std::fprintf(err, "%s: importing %s failed: the module returned a record without a type\n",
                   kProgram, options.file.c_str());
      return kExitImportFailed;
    }
    if (!handle(type, buffer.bytes)) return kExitCannotWrite;
  }
  const char* message = module.getDescr();
  return ReportImportFailure(message, options, err, outOfMemory);
}

// The import check of options.file into *result, of each kind the first
// `keepOfEachKind` findings. Returns the exit status of a file that cannot
// be checked, as an import of it would fail, or kExitOk.
int CheckFindings(const Options& options, std::FILE* err, size_t keepOfEachKind,
                  imp::CheckResult* result, bool* outOfMemory) {
  *result = imp::CheckFile(options.file.c_str(), 0, keepOfEachKind);
  const std::string error = std::to_string(result->error);
  switch (result->status) {
    case imp::CheckResult::Status::kChecked:
      return kExitOk;
    case imp::CheckResult::Status::kCannotOpen:
      return ReportStartFailure(error.c_str(), options, err);
    case imp::CheckResult::Status::kNotAnEstimate:
      return ReportStartFailure("", options, err);
    default:
      return ReportImportFailure(error.c_str(), options, err, outOfMemory);
  }
}

// ImpStart, then `body` when the file was accepted, and ImpEnd in any case.
int Import(const ModuleExports& module, const Options& options, std::FILE* err,
           const std::function<int()>& body) {
  int status = module.start(options.file.c_str()) == IMP_START_OK
                   ? body()
                   : ReportStartFailure(module.getDescr(), options, err);
  module.end();
  return status;
}

// ImpKosztDescr's field; an empty one should a module return none.
const char* DescriptionField(const ModuleExports& module) {
  static const char kNone[IMP_DESCRIPTION_SIZE] = "";
  const char* description = module.kosztDescr();
  return description ? description : kNone;
}

std::string JsonLine(const Json& json, const Options& options) {
  return json.dump(options.pretty ? 2 : -1, ' ', false, Json::error_handler_t::replace) + "\n";
}

int Describe(const ModuleExports& module, const Options& options, Output& out, std::FILE* err) {
  return Import(module, options, err, [&] {
    Json json = DescriptionToJson(DescriptionField(module), impwalk::SlotInThisProcess);
    return out.Write(JsonLine(json, options)) ? kExitOk : kExitCannotWrite;
  });
}

int DumpRecords(const ModuleExports& module, const Options& options, Output& out,
                std::FILE* err, bool* outOfMemory) {
  JsonOptions jsonOptions;
  jsonOptions.all = options.all;
  return Import(module, options, err, [&] {
    return ReadRecords(
        module, options, err, outOfMemory, [&](int32_t type, const unsigned char* record) {
          if (options.mode == Mode::kRaw) {
            const impwalk::Layout* layout = impwalk::RecordLayout(type);
            return out.Write(HexDump(type, layout ? layout->name : nullptr, record,
                                     layout ? layout->size : 0));
          }
          return out.Write(JsonLine(
              RecordToJson(type, record, impwalk::SlotInThisProcess, jsonOptions), options));
        });
  });
}

int WriteHtmlPage(const ModuleExports& module, const Options& options, Output& out,
                  std::FILE* err, bool* outOfMemory) {
  imppage::EstimatePage page;
  int status = LoadEstimatePage(module, options, err, &page, outOfMemory);
  if (status != kExitOk) return status;
  page.Render(imppage::WordsFor(options.language),
              [&](std::string_view piece) { return out.Write(piece); });
  return kExitOk;  // a failed write is reported by RunSession
}

// The modification time of the estimate file in seconds since 1970 UTC, to
// date the workbook by; 0 (taken as the earliest date) should it be unknown.
int64_t ModificationTime(const std::string& file) {
  struct stat status;
  return stat(file.c_str(), &status) == 0 ? static_cast<int64_t>(status.st_mtime) : 0;
}

// Copies the file at `path` to the output; false when it cannot be read
// (reported here) or the output cannot be written (reported by RunSession).
bool CopyToOutput(const std::string& path, Output& out, std::FILE* err) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  bool written = true;
  if (file) {
    std::vector<char> buffer(1 << 16);
    std::size_t size;
    while (written && (size = std::fread(buffer.data(), 1, buffer.size(), file)) > 0) {
      written = out.Write(std::string_view(buffer.data(), size));
    }
  }
  const bool readFailed = !file || std::ferror(file);
  if (readFailed) {
    std::fprintf(err, "%s: cannot read the workbook back from %s: %s\n", kProgram, path.c_str(),
                 std::strerror(errno));
  }
  if (file) std::fclose(file);
  return written && !readFailed;
}

// libxlsxwriter packs the workbook into a file of its own, which it seeks
// in; the tool writes it to a temporary file and copies that to the output,
// so that standard output (a pipe too) and -o get the same bytes.
int WriteXlsx(const ModuleExports& module, const Options& options, Output& out, std::FILE* err,
              bool* outOfMemory) {
  imppage::EstimatePage page;
  int status = LoadEstimatePage(module, options, err, &page, outOfMemory);
  if (status != kExitOk) return status;
  char* name = nullptr;
  std::FILE* temporary = tmpfileplus(nullptr, "impordano-", &name, 1);
  if (!temporary) {
    std::fprintf(err, "%s: cannot make a temporary file for the workbook: %s\n", kProgram,
                 std::strerror(errno));
    return kExitCannotWrite;
  }
  std::fclose(temporary);
  const std::string path(name);
  std::free(name);
  imppage::WorkbookSettings settings;
  settings.created = ModificationTime(options.file);
  std::string error;
  if (!imppage::WriteWorkbook(page, imppage::WordsFor(options.language), settings, path, &error)) {
    std::fprintf(err, "%s: cannot write the workbook: %s\n", kProgram, error.c_str());
    status = kExitCannotWrite;
  } else if (!CopyToOutput(path, out, err)) {
    status = kExitCannotWrite;
  }
  std::remove(path.c_str());
  return status;
}

// The findings one a line, then their counts; kExitPassedOver when there
// are any.
int WriteCheck(const Options& options, Output& out, std::FILE* err, bool* outOfMemory) {
  imp::CheckResult result;
  const int status = CheckFindings(options, err, imp::kEveryFinding, &result, outOfMemory);
  if (status != kExitOk) return status;
  const std::vector<imp::Finding>& findings = result.findings;
  const bool written = impcheck::WriteReport(
      findings, imppage::WordsFor(options.language),
      options.json ? impcheck::Format::kJsonLines : impcheck::Format::kText,
      [&](std::string_view line) { return out.Write(line); });
  if (!written) return kExitCannotWrite;
  return findings.empty() ? kExitOk : kExitPassedOver;
}

}  // namespace

// Two imports, as a host shows a description and then imports: ImpKosztDescr
// ends what an import can deliver.
int LoadEstimatePage(const ModuleExports& module, const Options& options, std::FILE* err,
                     imppage::EstimatePage* page, bool* outOfMemory) {
  int status = Import(module, options, err, [&] {
    page->SetDescription(impwalk::WalkBlock(impwalk::DescriptionLayout(),
                                            DescriptionField(module), impwalk::SlotInThisProcess,
                                            impwalk::Reserved::kSkip));
    return kExitOk;
  });
  if (status != kExitOk) return status;
  status = Import(module, options, err, [&] {
    return ReadRecords(
        module, options, err, outOfMemory, [&](int32_t type, const unsigned char* record) {
          page->Add(type, impwalk::WalkRecord(type, record, impwalk::SlotInThisProcess,
                                              impwalk::Reserved::kSkip));
          return true;
        });
  });
  if (status != kExitOk) return status;
  // A third reading, for the page's section of what the import passed over.
  imp::CheckResult result;
  status = CheckFindings(options, err, imppage::EstimatePage::kShownFindings, &result, outOfMemory);
  if (status == kExitOk) page->SetFindings(std::move(result.findings), result.counts);
  return status;
}

int RunSession(const ModuleExports& module, const Options& options, std::FILE* outFile,
               std::FILE* err, bool* outOfMemory) {
  Output out(outFile);
  int status;
  switch (options.mode) {
    case Mode::kDescribe: status = Describe(module, options, out, err); break;
    case Mode::kHtml: status = WriteHtmlPage(module, options, out, err, outOfMemory); break;
    case Mode::kXlsx: status = WriteXlsx(module, options, out, err, outOfMemory); break;
    case Mode::kCheck: status = WriteCheck(options, out, err, outOfMemory); break;
    default: status = DumpRecords(module, options, out, err, outOfMemory); break;
  }
  if (!out.Finish()) {
    std::fprintf(err, "%s: cannot write the output: %s\n", kProgram, out.reason().c_str());
    return kExitCannotWrite;
  }
  return status;
}

}  // namespace impdump
