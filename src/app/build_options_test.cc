// The sketch's location taken from build.options.json documents.
#include "app/build_options.h"

#include <gtest/gtest.h>

namespace tolvane {
namespace {

// A document whose only member is "sketchLocation" with |raw| between quotes.
std::string member(const std::string& raw) { return R"({"sketchLocation":")" + raw + "\"}"; }
// The member with "x", then |rest| before the end of the object.
std::string x_then(const std::string& rest) { return R"({"sketchLocation":"x")" + rest + "}"; }
// |count| arrays open inside the top-level object, before the member.
std::string nested(int count) {
  return R"({"a":)" + std::string(count, '[') + std::string(count, ']') +
         R"(,"sketchLocation":"x"})";
}

TEST(BuildOptions, TakesTheSketchLocationOfValidDocumentsOnly) {
  const char kIdeFile[] = R"({
  "additionalFiles": "",
  "builtInLibrariesFolders": "C:\\Program Files (x86)\\Arduino\\libraries",
  "fqbn": "arduino:avr:uno",
  "hardwareFolders": "C:\\Program Files (x86)\\Arduino\\hardware,C:\\Users\\Zo\u00eb\\AppData",
  "runtime.ide.version": "10819",
  "sketchLocation": "C:\\Users\\Zoë\\Documents\\Arduino\\Blink\\Blink.ino"
})";
  const struct {
    std::string json;
    Text expected;
  } kCases[] = {
      // clang-format off
      {kIdeFile, "C:\\Users\\Zo\xC3\xAB\\Documents\\Arduino\\Blink\\Blink.ino"},
      {"\xEF\xBB\xBF \t\r\n" + member("x") + "\r\n", "x"}, {" \xEF\xBB\xBF" + member("x"), ""},
      {member(R"(\\\"\/\u00eb\u00EB\uD83D\uDE00)"), "\\\"/\xC3\xAB\xC3\xAB\xF0\x9F\x98\x80"},
      {member(R"(\uD800\uDC00\uDBFF\uDFFF)"), "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"},
      {member("\xE2\x82\xAC \xF4\x8F\xBF\xBF"), "\xE2\x82\xAC \xF4\x8F\xBF\xBF"},
      {member(R"(\u007F\u0080\u07FF\u0800\uFFFF)"), "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF"},
      {x_then(R"(,"n":[-0.5e+3,0,1E9,-12.25, {}, []],"t":true,"f":false,"z":null,"k":"\uD800")"), "x"},
      {R"({"sketch\u004cocation":"x"})", "x"}, {R"({"sketchlocation":"x"})", ""}, {"{}", ""},
      {R"({"sketchLocatio\n":"x"})", ""}, {R"({"o":{"sketchLocation":"x"},"a":[{"sketchLocation":"y"}]})", ""},
      {R"({"o":{"sketchLocation":"x"},"sketchLocation":"y","o2":{"sketchLocation":"z"}})", "y"},
      {R"({"sketchLocation":1})", ""}, {R"({"sketchLocation":null})", ""}, {R"({"sketchLocation":["x"]})", ""},
      {x_then(R"(,"sketchLocation":"b")"), "b"}, {x_then(R"(,"sketchLocation":true)"), ""},
      {R"({"sketchLocation":"\u0000","sketchLocation":"b"})", "b"}, {member(R"(a\u0000)"), ""},
      {member(R"(a\n)"), ""}, {member(R"(a\u001F)"), ""}, {member(R"(\uD83D)"), ""},
      {member(R"(\uDE00\uD83D)"), ""}, {member(R"(\u0041\uDE00)"), ""}, {member(R"(\uD83D\uE000)"), ""},
      {member(R"(\x)"), ""}, {member(R"(\u12G4)"), ""}, {member(R"(\u12)"), ""}, {member("\x80"), ""},
      {member("\xC0\xAF"), ""}, {member("\xED\xA0\x80"), ""}, {member("\xE2\x82"), ""}, {member("\xC3" "a"), ""},
      {member("\xF4\x90\x80\x80"), ""}, {member("\xF8\x90\x80\x80"), ""}, {member("a\tb"), ""},
      {member(std::string("a\0b", 3)), ""}, {R"({"sketchLocation":"x")", ""}, {x_then(","), ""},
      {R"({"sketchLocation" "x"})", ""}, {R"({"sketchLocation":"x})", ""}, {member("x") + " x", ""},
      {member("x") + "{}", ""}, {R"([{"sketchLocation":"x"}])", ""}, {R"("x")", ""}, {"", ""},
      {x_then(",'n':1"), ""}, {x_then(R"(,"n":01)"), ""}, {x_then(R"(,"n":1.)"), ""}, {x_then(R"(,"n":-)"), ""},
      {x_then(R"(,"n":1e)"), ""}, {x_then(R"(,"n":tru)"), ""}, {x_then(R"(,"n":[1,])"), ""},
      {x_then(R"(,"n":"\x")"), ""}, {x_then(",\"n\":\"\xFF\""), ""}, {x_then(R"(,"k":"\uD83D\u12")"), ""},
      {nested(63), "x"}, {nested(64), ""},
      // clang-format on
  };
  for (const auto& c : kCases) EXPECT_EQ(c.expected, sketch_location(c.json)) << c.json;
}

}  // namespace
}  // namespace tolvane
