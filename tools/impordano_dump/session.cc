#include "session.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "hex_dump.h"
#include "progress.h"
#include "record_json.h"

namespace impdump {
namespace {

constexpr char kProgram[] = "impordano-dump";
constexpr int32_t kNoType = -1;

// The module reports failures as an errno value in decimal text.
std::string ErrorText(const char* number) {
  char* end = nullptr;
  long value = std::strtol(number, &end, 10);
  if (end == number || *end != '\0') return std::string("error ") + number;
  return std::strerror(static_cast<int>(value));
}

bool IsDirectory(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && (info.st_mode & S_IFMT) == S_IFDIR;
}

void WriteJson(const Json& json, const Options& options, std::FILE* out) {
  std::string text = json.dump(options.pretty ? 2 : -1, ' ', false,
                               Json::error_handler_t::replace);
  text += '\n';
  std::fwrite(text.data(), 1, text.size(), out);
}

// Why ImpStart refused the file, and the exit status for it.
int ReportStartFailure(const ModuleExports& module, const Options& options, std::FILE* err) {
  const char* message = module.getDescr();
  const char* file = options.file.c_str();
  if (message && *message) {
    std::fprintf(err, "%s: cannot open %s: %s\n", kProgram, file, ErrorText(message).c_str());
    return kExitCannotRead;
  }
  // Opening a directory for reading succeeds on POSIX; reading it fails, and
  // the module then sees no "[Plik]" line.
  if (IsDirectory(options.file)) {
    std::fprintf(err, "%s: cannot read %s: %s\n", kProgram, file, std::strerror(EISDIR));
    return kExitCannotRead;
  }
  std::fprintf(err,
               "%s: %s is not an estimate export: its first non-blank line is not "
               "[Plik]\n",
               kProgram, file);
  return kExitNotAnEstimate;
}

int DumpRecords(const ModuleExports& module, const Options& options, std::FILE* out,
                std::FILE* err, bool showProgress) {
  // Big enough for the largest record, aligned for the doubles in it.
  alignas(8) unsigned char buffer[IMP_MAX_RECORD_SIZE];
  JsonOptions jsonOptions;
  jsonOptions.all = options.all;
  ProgressBar progress(err, showProgress);
  for (;;) {
    int32_t type = kNoType;
    int32_t result = module.getNextToken(&type, buffer);
    if (result == 0) break;
    if (type == IMP_TOKEN_PROGRESS) {
      double fraction;
      std::memcpy(&fraction, buffer, sizeof fraction);
      progress.Update(fraction);
      continue;
    }
    if (type == kNoType) {
      progress.Finish();
      std::fprintf(err, "%s: importing %s failed: the module returned a record without a type\n",
                   kProgram, options.file.c_str());
      return kExitImportFailed;
    }
    // Slots and long texts stay valid only until the next call: convert now.
    if (options.mode == Mode::kRaw) {
      const impwalk::Layout* layout = impwalk::RecordLayout(type);
      std::string dump = HexDump(type, layout ? layout->name : nullptr, buffer,
                                 layout ? layout->size : 0);
      std::fwrite(dump.data(), 1, dump.size(), out);
    } else {
      WriteJson(RecordToJson(type, buffer, impwalk::SlotInThisProcess, jsonOptions), options, out);
    }
  }
  progress.Finish();
  const char* message = module.getDescr();
  if (message && *message) {
    std::string reason = std::strcmp(message, "12") == 0
                             ? "the module ran out of memory"
                             : ErrorText(message);
    std::fprintf(err, "%s: importing %s failed: %s\n", kProgram, options.file.c_str(),
                 reason.c_str());
    return kExitImportFailed;
  }
  return kExitOk;
}

}  // namespace

int RunSession(const ModuleExports& module, const Options& options, std::FILE* out,
               std::FILE* err, bool showProgress) {
  if (module.start(options.file.c_str()) != IMP_START_OK) {
    int status = ReportStartFailure(module, options, err);
    module.end();
    return status;
  }
  int status = kExitOk;
  if (options.mode == Mode::kDescribe) {
    const char* description = module.kosztDescr();
    WriteJson(DescriptionToJson(description, impwalk::SlotInThisProcess), options, out);
  } else {
    status = DumpRecords(module, options, out, err, showProgress);
  }
  module.end();
  if (std::fflush(out) != 0 || std::ferror(out)) {
    std::fprintf(err, "%s: cannot write the output: %s\n", kProgram, std::strerror(errno));
    if (status == kExitOk) status = kExitCannotRead;
  }
  return status;
}

}  // namespace impdump
