// What Tolvane takes from the build's records: the compiler of the first
// compile_commands.json entry, the members of build.options.json, and the
// tool folders they give.
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
      {R"({"arguments": ["a"]})", ""},
  };
  // clang-format on
  for (const auto& [json, compiler] : kCases) EXPECT_EQ(compiler, compiler_of(json)) << json;
}

TEST(BuildOptionsOf, TakesTheLastOfEachTopLevelString) {
  const BuildOptions options = build_options_of(R"({"builtInToolsFolders": "C:\\a",
      "customBuildProperties": "k=v", "sketchLocation": 7, "x": {"toolsFolders": "C:\\b"},
      "toolsFolders": "C:\\c", "toolsFolders": "C:\\d"})");
  EXPECT_EQ("C:\\a|k=v||C:\\d", options.built_in_tools_folders + "|" +
                                    options.custom_build_properties + "|" +
                                    options.sketch_location + "|" + options.tools_folders);
  EXPECT_EQ("", sketch_location(std::string(R"({"sketchLocation": "C:\\a"})") + '\0'));
}

TEST(RecordedToolFolders, KeepsTheOrderAndTheCommasInNames) {
  const BuildOptions options = {"",
                                "a=1,runtime.tools.avr-gcc.path=C:\\Tools, old,x\\avr,b.c=C:\\z",
                                "C:\\a,b\\c,\\\\server\\ide,relative,D:drive", "D:/old\\y,bin"};
  const std::vector<std::string> kFolders = {
      "C:\\gcc\\bin\\", "C:\\Tools, old,x\\avr\\bin\\", "C:\\a,b\\c\\bin\\",
      "\\\\server\\ide,relative,D:drive\\bin\\", "D:\\old\\y,bin\\bin\\"};
  EXPECT_EQ(kFolders, recorded_tool_folders("C:\\gcc/bin/avr-g++", options));
  EXPECT_EQ(std::vector<std::string>(), recorded_tool_folders("bin/avr-g++", BuildOptions()));
}

}  // namespace
}  // namespace tolvane
