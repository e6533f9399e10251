#include "options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace impdump {
namespace {

TEST(ParseOptions, AcceptedCommandLines) {
  struct Case {
    std::vector<std::string> args;
    Mode mode;
    bool all;
    std::string library, file, output;
  };
  const Case cases[] = {
      {{"a.txt"}, Mode::kRecords, false, "", "a.txt", ""},
      {{"--all", "a.txt"}, Mode::kRecords, true, "", "a.txt", ""},
      {{"--describe", "a.txt"}, Mode::kDescribe, false, "", "a.txt", ""},
      {{"a.txt", "--raw"}, Mode::kRaw, false, "", "a.txt", ""},
      {{"--html", "a.txt", "--html"}, Mode::kHtml, false, "", "a.txt", ""},
      {{"--library", "/x/lib.so", "a.txt"}, Mode::kRecords, false, "/x/lib.so", "a.txt", ""},
      {{"--library=/x/lib.so", "a.txt"}, Mode::kRecords, false, "/x/lib.so", "a.txt", ""},
      {{"--html", "-o", "k.html", "a.txt"}, Mode::kHtml, false, "", "a.txt", "k.html"},
      {{"--xlsx", "-o", "k.xlsx", "a.txt"}, Mode::kXlsx, false, "", "a.txt", "k.xlsx"},
      {{"a.txt", "--output", "-"}, Mode::kRecords, false, "", "a.txt", "-"},
      {{"--output=k.jsonl", "a.txt"}, Mode::kRecords, false, "", "a.txt", "k.jsonl"},
      {{"-o", "--all", "a.txt"}, Mode::kRecords, false, "", "a.txt", "--all"},
      {{"--", "--all"}, Mode::kRecords, false, "", "--all", ""},
      {{"--help", "--bogus"}, Mode::kHelp, false, "", "", ""},
      {{"--version"}, Mode::kVersion, false, "", "", ""},
  };
  for (const Case& c : cases) {
    Options options;
    std::string error;
    ASSERT_TRUE(ParseOptions(c.args, &options, &error)) << c.args[0] << ": " << error;
    EXPECT_EQ(options.mode, c.mode) << c.args[0];
    EXPECT_EQ(options.all, c.all) << c.args[0];
    EXPECT_EQ(options.library, c.library) << c.args[0];
    EXPECT_EQ(options.file, c.file) << c.args[0];
    EXPECT_EQ(options.output, c.output) << c.args[0];
  }
}

TEST(ParseOptions, PageLanguage) {
  using imppage::Language;
  const std::pair<std::vector<std::string>, Language> cases[] = {
      {{"--html", "a.txt"}, Language::kPolish},
      {{"--html", "--lang", "en", "a.txt"}, Language::kEnglish},
      {{"--lang=en", "--lang=pl", "--html", "a.txt"}, Language::kPolish},
  };
  for (const auto& c : cases) {
    Options options;
    std::string error;
    ASSERT_TRUE(ParseOptions(c.first, &options, &error)) << error;
    EXPECT_EQ(options.language, c.second) << c.first[1];
  }
}

TEST(ParseOptions, RefusedCommandLines) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{}, "no estimate file given"},
      {{"a.txt", "b.txt"}, "give one estimate file only"},
      {{"--library"}, "--library needs a path"},
      {{"--library=", "a.txt"}, "--library needs a path"},
      {{"--describe", "--raw", "a.txt"}, "--describe and --raw cannot be used together"},
      {{"--html", "a.txt", "--describe"}, "--html and --describe cannot be used together"},
      {{"--xlsx", "--html", "a.txt"}, "--xlsx and --html cannot be used together"},
      {{"-x", "a.txt"}, "unknown option -x"},
      {{"--html", "--lang", "de", "a.txt"}, "--lang takes pl or en"},
      {{"--html", "a.txt", "--lang"}, "--lang takes pl or en"},
      {{"--lang=PL", "a.txt"}, "--lang takes pl or en"},
      {{"a.txt", "-o"}, "-o needs a file"},
      {{"--output", "", "a.txt"}, "--output needs a file"},
      {{"--output=", "a.txt"}, "--output needs a file"},
      {{"-o", "a.txt", "a.txt"}, "the output would overwrite the estimate file a.txt"},
  };
  for (const auto& c : cases) {
    Options options;
    std::string error;
    EXPECT_FALSE(ParseOptions(c.first, &options, &error)) << c.second;
    EXPECT_EQ(error, c.second);
  }
}

}  // namespace
}  // namespace impdump
