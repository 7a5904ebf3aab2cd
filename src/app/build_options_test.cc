// The compiler that Tolvane takes from the first compile_commands.json entry.
#include "app/build_options.h"

#include <gtest/gtest.h>

#include "app/toolchain.h"

namespace tolvane {
namespace {

TEST(CompilerOf, TakesTheFirstArgumentOfAWholeFirstEntryOnly) {
  // clang-format off
  const std::string kCases[][2] = {
      {R"([{"directory": "C:\\b", "arguments": ["C:\\gcc\\7.3.0/bin/avr-g++", "-c"], "file": "x.cpp"}])", R"(C:\gcc\7.3.0/bin/avr-g++)"},
      {R"([{"arguments": ["a"]}, {"arguments": ["b"]}, {"argu)", "a"},  // what follows is not read
      {"\xEF\xBB\xBF" R"([{"arguments": ["a"]}])", "a"},
      {R"([{"arguments": ["a"], "arguments": ["b"]}])", "b"},
      {R"([{"arguments": ["a"], "arguments": "b"}])", ""},
      {R"([{"x": {"arguments": ["a"]}, "arguments": [["a"], "b"]}])", ""},
      {R"([{"arguments": ["a"])", ""},
      {R"([{"command": "avr-g++ -c x.cpp", "file": "x.cpp"}])", ""},
      {R"([{"arguments": [7, "a"]}])", ""},
      {R"([{"arguments": ["a\u0001"]}])", ""},
      {R"([{"arguments": ["\uDC00"]}])", ""},
      {R"([["a"], {"arguments": ["a"]}])", ""},
      {R"([7, {"arguments": ["a"]}])", ""},
      {R"([{"x": [1], "arguments": ["a"]}])", "a"},
      {R"({"arguments": ["a"]})", ""},
  };
  // clang-format on
  for (const auto& [json, compiler] : kCases) EXPECT_EQ(compiler, compiler_of(json)) << json;
  // No NUL byte is valid JSON.
  EXPECT_EQ("", build_options_of(std::string(R"({"sketchLocation":"a"})") + '\0').sketch_location);
}

// Nobody can tell who owns a network share's files: none is a tool folder;
// and a folder named twice is tried once.
TEST(RecordedToolFolders, LeaveOutNetworkShares) {
  BuildOptions options;
  options.tools_folders = R"(\\server\share\avr,C:\t\avr,//server/share/avr,C:\t\avr)";
  EXPECT_EQ((std::vector<Text>{"C:\\t\\avr\\bin\\", "C:\\t\\avr\\*\\bin\\"}),
            recorded_tool_folders(R"(\\server\share\bin\avr-g++)", options));
}

}  // namespace
}  // namespace tolvane
