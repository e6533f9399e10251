#include "session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "record_json.h"

namespace impdump {
namespace {

// A scripted module: what ImpStart returns, the message ImpGetDescr shows
// before and after the tokens, and the tokens themselves.
struct Token {
  int32_t type;
  std::vector<unsigned char> bytes;
};

struct Script {
  int32_t startResult = IMP_START_OK;
  std::string startMessage;
  std::string endMessage;
  std::vector<Token> tokens;
  int32_t lastResult = 0;  // what comes after the tokens
  // Observed:
  std::size_t next = 0;
  int endCalls = 0;
  std::string message;
};

Script* script = nullptr;

int32_t FakeStart(const char*) {
  script->message = script->startMessage;
  return script->startResult;
}
char* FakeGetDescr() { return &script->message[0]; }
char* FakeKosztDescr() {
  static char description[256] = "Opis kosztorysu";
  return description;
}
int32_t FakeGetNextToken(int32_t* type, void* buffer) {
  if (script->next < script->tokens.size()) {
    const Token& token = script->tokens[script->next++];
    *type = token.type;
    std::memcpy(buffer, token.bytes.data(), token.bytes.size());
    return 1;
  }
  script->message = script->endMessage;
  return script->lastResult;
}
int32_t FakeEnd() {
  ++script->endCalls;
  return 0;
}

Token Progress(double fraction) {
  Token token{IMP_TOKEN_PROGRESS, std::vector<unsigned char>(sizeof(double))};
  std::memcpy(token.bytes.data(), &fraction, sizeof fraction);
  return token;
}

Token Summary() {
  SummaryRecord summary{IMP_TAG_SUMMARY, 1, 0, 0, sizeof(CostItem)};
  Token token{IMP_TOKEN_SUMMARY, std::vector<unsigned char>(sizeof summary)};
  std::memcpy(token.bytes.data(), &summary, sizeof summary);
  return token;
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

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

Outcome RunDump(Script& s, Mode mode = Mode::kRecords, bool progress = false) {
  script = &s;
  ModuleExports module;
  module.start = FakeStart;
  module.getDescr = FakeGetDescr;
  module.kosztDescr = FakeKosztDescr;
  module.getNextToken = FakeGetNextToken;
  module.end = FakeEnd;
  Options options;
  options.mode = mode;
  options.file = "kosztorys.txt";
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  int status = RunSession(module, options, out, err, progress);
  return {status, ReadBack(out), ReadBack(err)};
}

TEST(RunSession, ExitStatusAndMessage) {
  struct Case {
    const char* what;
    int32_t startResult;
    const char* startMessage;
    const char* endMessage;
    int status;
    const char* message;
  };
  const Case cases[] = {
      {"imported", IMP_START_OK, "", "", kExitOk, ""},
      {"missing file", IMP_START_FAILED, "2", "", kExitCannotRead,
       "impordano-dump: cannot open kosztorys.txt: No such file or directory\n"},
      {"unreadable file", IMP_START_FAILED, "13", "", kExitCannotRead,
       "impordano-dump: cannot open kosztorys.txt: Permission denied\n"},
      {"not an estimate", IMP_START_FAILED, "", "", kExitNotAnEstimate,
       "impordano-dump: kosztorys.txt is not an estimate export: its first non-blank line "
       "is not [Plik]\n"},
      {"out of memory", IMP_START_OK, "", "12", kExitImportFailed,
       "impordano-dump: importing kosztorys.txt failed: the module ran out of memory\n"},
  };
  for (const Case& c : cases) {
    Script s;
    s.startResult = c.startResult;
    s.startMessage = c.startMessage;
    s.endMessage = c.endMessage;
    s.tokens = {Summary()};
    Outcome outcome = RunDump(s);
    EXPECT_EQ(outcome.status, c.status) << c.what;
    EXPECT_EQ(outcome.err, c.message) << c.what;
    EXPECT_EQ(s.endCalls, 1) << c.what;
    // Nothing is read after a refused start.
    EXPECT_EQ(s.next, c.startResult == IMP_START_OK ? 1u : 0u) << c.what;
  }
}

TEST(RunSession, ProgressReportsAreNoRecords) {
  for (bool terminal : {false, true}) {
    Script s;
    s.tokens = {Progress(0.25), Summary(), Progress(1.0)};
    Outcome outcome = RunDump(s, Mode::kRecords, terminal);
    EXPECT_EQ(outcome.status, kExitOk);
    EXPECT_EQ(outcome.out,
              "{\"token\":6,\"record\":\"SummaryRecord\",\"recordTag\":5,\"itemCount\":0,"
              "\"items\":null,\"itemSize\":256}\n");
    if (terminal) {
      EXPECT_NE(outcome.err.find(" 25%"), std::string::npos);
      EXPECT_NE(outcome.err.find("100%"), std::string::npos);
    } else {
      EXPECT_EQ(outcome.err, "");
    }
  }
}

TEST(RunSession, StopsWhenTheModuleGivesNoTokenType) {
  Script s;
  s.tokens = {Summary(), Token{-1, {}}};
  Outcome outcome = RunDump(s);
  EXPECT_EQ(outcome.status, kExitImportFailed);
  EXPECT_NE(outcome.err.find("a record without a type"), std::string::npos);
  EXPECT_EQ(s.endCalls, 1);
}

TEST(RunSession, DescribeReadsNoRecords) {
  Script s;
  s.tokens = {Summary()};
  Outcome outcome = RunDump(s, Mode::kDescribe);
  EXPECT_EQ(outcome.status, kExitOk);
  EXPECT_EQ(outcome.out, "{\"description\":\"Opis kosztorysu\"}\n");
  EXPECT_EQ(s.next, 0u);
  EXPECT_EQ(s.endCalls, 1);
}

}  // namespace
}  // namespace impdump
