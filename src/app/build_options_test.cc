// What Tolvane takes from the build's records: the compiler of the first
// compile_commands.json entry, the members of build.options.json, and the
// tool folders they give.
#include "app/build_options.h"

#include <gtest/gtest.h>

#include "app/toolchain.h"

namespace tolvane {
namespace {

TEST(CompilerOf, TakesTheFirstArgumentOfAWholeFirstEntryOnly) {
  const std::string kGcc = R"(C:\\gcc\\7.3.0/bin/avr-g++)";
  const struct {
    std::string json, compiler;
  } kCases[] = {
      {R"([{"directory": "C:\\b", "arguments": [")" + kGcc + R"(", "-c"], "file": "x.cpp"}])",
       R"(C:\gcc\7.3.0/bin/avr-g++)"},
      // Only the first entry is read: what follows it may be cut or broken.
      {R"([{"arguments": ["a"]}, {"arguments": ["b"]}, {"argu)", "a"},
      {"\xEF\xBB\xBF"
       R"([{"arguments": ["a"]}])",
       "a"},
      {R"([{"arguments": ["a"], "arguments": ["b"]}])", "b"},
      {R"([{"arguments": ["a"], "arguments": "b"}])", ""},
      {R"([{"x": {"arguments": ["a"]}, "arguments": [["a"], "b"]}])", ""},
      {R"([{"arguments": ["a", "b")", ""},
      {R"([{"arguments": ["a"])", ""},
      {R"([{"command": "avr-g++ -c x.cpp", "file": "x.cpp"}])", ""},
      {R"([{"arguments": [7, "a"]}])", ""},
      {R"([{"arguments": ["a\u0001"]}])", ""},
      {R"([{"arguments": ["\uDC00"]}])", ""},
      {R"([{"arguments": ["\xC3"]}])", ""},
      {std::string(R"([{"arguments": ["a)") + '\0' + R"("]}])", ""},
      {R"([["a"], {"arguments": ["a"]}])", ""},
      {R"({"arguments": ["a"]})", ""},
      {R"([])", ""},
      {"", ""},
  };
  for (const auto& c : kCases) EXPECT_EQ(c.compiler, compiler_of(c.json)) << c.json;
}

TEST(BuildOptionsOf, TakesTheTopLevelStrings) {
  const BuildOptions options = build_options_of(R"({"builtInToolsFolders": "C:\\a",
      "customBuildProperties": "k=v", "sketchLocation": 7, "x": {"toolsFolders": "C:\\b"},
      "toolsFolders": "C:\\c", "toolsFolders": "C:\\d"})");
  EXPECT_EQ("C:\\a", options.built_in_tools_folders);
  EXPECT_EQ("k=v", options.custom_build_properties);
  EXPECT_EQ("", options.sketch_location);
  EXPECT_EQ("C:\\d", options.tools_folders);
  EXPECT_EQ("", sketch_location(R"(["sketchLocation", "C:\\a"])"));
  EXPECT_EQ("", sketch_location(R"({"sketchLocation": "C:\\a"}x)"));
  EXPECT_EQ("", sketch_location(std::string(R"({"sketchLocation": "C:\\a"})") + '\0'));
}

TEST(RecordedToolFolders, KeepsTheOrderAndTheCommasInNames) {
  const struct {
    const char* compiler;
    BuildOptions options;
    std::vector<std::string> folders;
  } kCases[] = {
      {"C:\\gcc/bin/avr-g++",
       {"", "a=1,runtime.tools.avr-gcc.path=C:\\ide\\avr,b=2", "C:\\ide\\x", "D:/old\\y"},
       {"C:\\gcc\\bin\\", "C:\\ide\\avr\\bin\\", "C:\\ide\\x\\bin\\", "D:\\old\\y\\bin\\"}},
      // Commas in folder names, and items that name no rooted folder.
      {"avr-g++",
       {"", "runtime.tools.avr-gcc.path=C:\\Tools, old,x\\avr,runtime.tools.avrdude.path=C:\\z",
        "C:\\a,b\\c,\\\\server\\ide,relative,D:drive", ""},
       {"C:\\Tools, old,x\\avr\\bin\\", "C:\\a,b\\c\\bin\\",
        "\\\\server\\ide,relative,D:drive\\bin\\"}},
      {"",
       {"", "xruntime.tools.avr-gcc.path=C:\\a,=C:\\b", "", "C:\\t,C:\\u"},
       {"C:\\t\\bin\\", "C:\\u\\bin\\"}},
      {"bin/avr-g++", {}, {}},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(c.folders, recorded_tool_folders(c.compiler, c.options)) << c.compiler;
  }
}

}  // namespace
}  // namespace tolvane
