// The tool's session against a scripted module, for what runs of the tool on
// real files cannot show: the calls it makes, progress reports, output that
// cannot be written, and a module that misbehaves.
#include "session.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "record_json.h"

namespace impdump {
namespace {

struct Token { int32_t type; std::vector<unsigned char> bytes; };

template <typename T>
Token MakeToken(int32_t type, const T& value) {
  Token token{type, std::vector<unsigned char>(sizeof value)};
  std::memcpy(token.bytes.data(), &value, sizeof value);
  return token;
}

const Token kSummary =
    MakeToken(IMP_TOKEN_SUMMARY, SummaryRecord{IMP_TAG_SUMMARY, 1, 0, 0, sizeof(CostItem)});
const char kSummaryJson[] =
    "{\"token\":6,\"record\":\"SummaryRecord\",\"recordTag\":5,\"itemCount\":0,\"items\":null,"
    "\"itemSize\":256}\n";

// What the scripted module does (ImpGetDescr shows startMessage after
// ImpStart and endMessage after the tokens), and what the session did.
struct Script {
  int32_t startResult = IMP_START_OK;
  std::string startMessage, endMessage;
  std::vector<Token> tokens{kSummary};
  std::string description = "Opis";  // ImpKosztDescr's text, 256 bytes
  std::size_t next = 0;
  int startCalls = 0;
  int endCalls = 0;
  std::string message;
};

Script* script = nullptr;

ModuleExports ScriptedModule() {
  ModuleExports module;
  module.start = [](const char*) {
    ++script->startCalls;
    script->next = 0;
    script->message = script->startMessage;
    return script->startResult;
  };
  module.getDescr = [] { return &script->message[0]; };
  module.kosztDescr = [] {
    script->description.resize(256, '\0');
    return &script->description[0];
  };
  module.getNextToken = [](int32_t* type, void* buffer) -> int32_t {
    if (script->next == script->tokens.size()) {
      script->message = script->endMessage;
      return 0;
    }
    const Token& token = script->tokens[script->next++];
    *type = token.type;
    if (!token.bytes.empty()) std::memcpy(buffer, token.bytes.data(), token.bytes.size());
    return 1;
  };
  module.end = []() -> int32_t {
    ++script->endCalls;
    return 0;
  };
  return module;
}

std::string ReadBack(std::FILE* file) {
  std::rewind(file);
  std::string text;
  char chunk[4096];
  std::size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, n);
  std::fclose(file);
  return text;
}

struct Outcome { int status; std::string out, err; bool outOfMemory; };

// The page's import check reads the file itself: its header is enough.
void WriteScriptedFile() {
  std::FILE* file = std::fopen("kosztorys.txt", "wb");
  ASSERT_NE(file, nullptr);
  std::fputs("[Plik]\n", file);
  std::fclose(file);
}

Outcome RunDump(Script& s, Mode mode = Mode::kRecords) {
  script = &s;
  Options options;
  options.file = "kosztorys.txt";
  options.mode = mode;
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  bool outOfMemory = false;
  const int status = RunSession(ScriptedModule(), options, out, err, &outOfMemory);
  return {status, ReadBack(out), ReadBack(err), outOfMemory};
}

// ImpEnd comes once whatever happened, and nothing is read after a refused
// start. The module running out of memory (ENOMEM, 12) is told apart.
TEST(RunSession, ExitStatusAndMessage) {
  struct Case {
    int32_t startResult;
    const char* startMessage;
    const char* endMessage;
    int status;
    const char* message;
  };
  const Case cases[] = {
      {IMP_START_OK, "", "", kExitOk, ""},
      {IMP_START_FAILED, "13", "", kExitCannotRead,
       "impordano-dump: cannot open kosztorys.txt: Permission denied\n"},
      {IMP_START_OK, "", "12", kExitImportFailed,
       "impordano-dump: importing kosztorys.txt failed: the module ran out of memory\n"},
  };
  for (const Case& c : cases) {
    Script s;
    s.startResult = c.startResult;
    s.startMessage = c.startMessage;
    s.endMessage = c.endMessage;
    const Outcome outcome = RunDump(s);
    EXPECT_EQ(outcome.status, c.status) << c.message;
    EXPECT_EQ(outcome.err, c.message);
    EXPECT_EQ(s.endCalls, 1) << c.message;
    EXPECT_EQ(outcome.outOfMemory, std::strcmp(c.endMessage, "12") == 0) << c.message;
    EXPECT_EQ(s.next, c.startResult == IMP_START_OK ? 1u : 0u) << c.message;
  }
}

TEST(RunSession, ProgressReportsAreNoRecords) {
  Script s;
  s.tokens = {MakeToken(IMP_TOKEN_PROGRESS, 0.25), kSummary, MakeToken(IMP_TOKEN_PROGRESS, 1.0)};
  const Outcome outcome = RunDump(s);
  EXPECT_EQ(outcome.status, kExitOk);
  EXPECT_EQ(outcome.out, kSummaryJson);
  EXPECT_EQ(outcome.err, "");
}

// Output that cannot be written has its own status in every mode, and the
// import stops at the first failed write.
TEST(RunSession, FailedWriteHasItsOwnStatus) {
  WriteScriptedFile();
  for (Mode mode : {Mode::kRecords, Mode::kRaw, Mode::kDescribe, Mode::kHtml}) {
    Script s;
    s.tokens = {kSummary, kSummary, kSummary};
    script = &s;
    Options options;
    options.file = "kosztorys.txt";
    options.mode = mode;
    // A stream opened for reading refuses every write; unbuffered, the
    // first record's write fails at once.
    const char* path = "impordano_dump_read_only.tmp";
    std::fclose(std::fopen(path, "wb"));
    std::FILE* readOnly = std::fopen(path, "rb");
    ASSERT_NE(readOnly, nullptr);
    std::setvbuf(readOnly, nullptr, _IONBF, 0);
    std::FILE* err = std::tmpfile();
    const int status = RunSession(ScriptedModule(), options, readOnly, err);
    std::fclose(readOnly);
    std::remove(path);
    const std::string message = ReadBack(err);
    EXPECT_EQ(status, kExitCannotWrite) << static_cast<int>(mode);
    EXPECT_NE(message.find("impordano-dump: cannot write the output: "), std::string::npos)
        << message;
    EXPECT_EQ(s.endCalls, mode == Mode::kHtml ? 2 : 1) << static_cast<int>(mode);
    if (mode == Mode::kRecords || mode == Mode::kRaw) {
      EXPECT_EQ(s.next, 1u);
    }
  }
}

// The page needs ImpKosztDescr, after which an import delivers nothing: one
// import for the description, one for the records.
TEST(RunSession, HtmlPageImportsTwice) {
  WriteScriptedFile();
  Script s;
  s.description = "Opis <kosztorysu> \xB3\xF3" "d\x9F";
  const Outcome outcome = RunDump(s, Mode::kHtml);
  EXPECT_EQ(outcome.status, kExitOk);
  EXPECT_EQ(s.startCalls, 2);
  EXPECT_EQ(s.endCalls, 2);
  EXPECT_EQ(s.next, 1u);
  EXPECT_NE(outcome.out.find("<p class=\"description\">Opis &lt;kosztorysu&gt; \xC5\x82\xC3\xB3"
                             "d\xC5\xBA</p>"),
            std::string::npos);
  EXPECT_EQ(outcome.out.compare(0, 16, "<!DOCTYPE html>\n"), 0);
}

TEST(RunSession, StopsWhenTheModuleGivesNoTokenType) {
  Script s;
  s.tokens = {kSummary, Token{-1, {}}};
  const Outcome outcome = RunDump(s);
  EXPECT_EQ(outcome.status, kExitImportFailed);
  EXPECT_EQ(outcome.out, kSummaryJson);
  EXPECT_NE(outcome.err.find("a record without a type"), std::string::npos);
  EXPECT_EQ(s.endCalls, 1);
}

}  // namespace
}  // namespace impdump
