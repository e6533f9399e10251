#include "options.h"

#include <utility>

namespace impdump {

std::string UsageText() {
  return "Usage: impordano-dump [OPTION]... FILE\n"
         "Imports an estimate export (Windows-1250 text) through the impordano\n"
         "module, as a host does, and prints each record it hands out as one JSON\n"
         "object a line: the token type, the record's name and its named fields,\n"
         "with texts in UTF-8 and the blocks behind its slots shown in place.\n"
         "\n"
         "  --all             also print the reserved fields\n"
         "  --describe        print only the estimate's description (ImpKosztDescr)\n"
         "  --raw             print each record's bytes in hex instead of JSON\n"
         "  --html            print the whole estimate as one self-contained HTML\n"
         "                    page (UTF-8) instead of JSON\n"
         "  --xlsx            write the whole estimate as a workbook (.xlsx) for a\n"
         "                    spreadsheet instead of JSON; to standard output only\n"
         "                    when that is not a terminal\n"
         "  --check           print what the import passes over, one finding a line\n"
         "                    in file order (line, section, key, what happened and\n"
         "                    what the host gets instead), then their counts by kind\n"
         "  --json            with --check: the findings as JSON Lines\n"
         "  --lang pl|en      the language of the page's, the workbook's and the\n"
         "                    findings' words: Polish (the default) or English\n"
         "  --pretty          indent the JSON over several lines\n"
         "  --library PATH    use the module at PATH instead of the one installed\n"
         "                    or built with this tool\n"
         "  -o, --output FILE write to FILE instead of standard output, byte for\n"
         "                    byte (a shell's redirection may re-encode the text)\n"
         "  -h, --help        show this help and exit\n"
         "  --version         show the version and exit\n"
         "\n"
         "Progress reports of the module are not records and are not printed.\n"
         "\n"
         "Exit status: 0 done (with --check: nothing passed over); 1 the file or\n"
         "the module cannot be opened; 2 the file is not an estimate export;\n"
         "3 the import failed; 4 the output cannot be written; 6 --check found\n"
         "something the import passes over; 64 bad command line.\n";
}

bool ParseOptions(const std::vector<std::string>& args, Options* options, std::string* error) {
  std::vector<std::pair<std::string, Mode>> modes;  // --describe, --raw, --html, --xlsx, --check
  std::vector<std::string> files;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
      files.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "-h" || arg == "--help") {
      options->mode = Mode::kHelp;
      return true;
    } else if (arg == "--version") {
      options->mode = Mode::kVersion;
      return true;
    } else if (arg == "--all") {
      options->all = true;
    } else if (arg == "--describe") {
      modes.emplace_back(arg, Mode::kDescribe);
    } else if (arg == "--raw") {
      modes.emplace_back(arg, Mode::kRaw);
    } else if (arg == "--html") {
      modes.emplace_back(arg, Mode::kHtml);
    } else if (arg == "--xlsx") {
      modes.emplace_back(arg, Mode::kXlsx);
    } else if (arg == "--check") {
      modes.emplace_back(arg, Mode::kCheck);
    } else if (arg == "--json") {
      options->json = true;
    } else if (arg == "--pretty") {
      options->pretty = true;
    } else if (arg == "--lang" || arg.compare(0, 7, "--lang=") == 0) {
      std::string name;
      if (arg == "--lang") {
        if (i + 1 < args.size()) name = args[++i];
      } else {
        name = arg.substr(7);
      }
      if (!imppage::LanguageFromName(name, &options->language)) {
        *error = "--lang takes pl or en";
        return false;
      }
    } else if (arg == "--library") {
      if (i + 1 == args.size() || args[i + 1].empty()) {
        *error = "--library needs a path";
        return false;
      }
      options->library = args[++i];
    } else if (arg.compare(0, 10, "--library=") == 0) {
      options->library = arg.substr(10);
      if (options->library.empty()) {
        *error = "--library needs a path";
        return false;
      }
    } else if (arg == "-o" || arg == "--output") {
      if (i + 1 == args.size() || args[i + 1].empty()) {
        *error = arg + " needs a file";
        return false;
      }
      options->output = args[++i];
    } else if (arg.compare(0, 9, "--output=") == 0) {
      options->output = arg.substr(9);
      if (options->output.empty()) {
        *error = "--output needs a file";
        return false;
      }
    } else {
      *error = "unknown option " + arg;
      return false;
    }
  }
  for (const auto& mode : modes) {
    if (mode.second != modes.front().second) {
      *error = modes.front().first + " and " + mode.first + " cannot be used together";
      return false;
    }
  }
  if (files.size() != 1) {
    *error = files.empty() ? "no estimate file given" : "give one estimate file only";
    return false;
  }
  options->file = files[0];
  if (options->output == options->file) {
    *error = "the output would overwrite the estimate file " + options->file;
    return false;
  }
  options->mode = modes.empty() ? Mode::kRecords : modes.front().second;
  if (options->json && options->mode != Mode::kCheck) {
    *error = "--json goes with --check";
    return false;
  }
  return true;
}

}  // namespace impdump
