// Reads what the Arduino IDE records in its build folder: the sketch it built,
// the board and the toolchain it used, from build.options.json (IDE 1.6 and
// later) and compile_commands.json (IDE 2).
#ifndef TOLVANE_APP_BUILD_OPTIONS_H_
#define TOLVANE_APP_BUILD_OPTIONS_H_

#include <vector>

#include "platform/platform.h"

namespace tolvane {

using platform::Text;

/// The name of IDE 2's record in a build folder.
extern const char kCompileCommandsFile[];

/// build.options.json is read whole up to this size; of compile_commands.json,
/// which runs to megabytes, only this much of its start.
constexpr size_t kRecordLimit = 1 << 20;

/// The top-level strings of a build.options.json document that Tolvane uses,
/// in UTF-8. Each is empty when the document is not valid JSON or not an
/// object, lacks the member or it is not a string, or its value cannot name
/// a file (a control character, a lone surrogate).
struct BuildOptions {
  Text sketch_location;          // the sketch file or its folder
  Text custom_build_properties;  // "key=value" items joined by commas
  Text built_in_tools_folders;   // folders joined by commas (IDE 1.8.11 and later)
  Text tools_folders;            // the same, up to IDE 1.8.10
  Text fqbn;                     // the board: "<vendor>:<architecture>:<board>[:<options>]"
  Text hardware_folders;         // folders of platforms joined by commas
};
BuildOptions build_options_of(const Text& json);

/// What the build.options.json in |build_dir| (ending with "\") records; all
/// empty when the file is missing, unreadable or larger than kRecordLimit.
BuildOptions recorded_options(const Text& build_dir);

/// The first string of the first entry's "arguments" in a compile_commands.json
/// document, in UTF-8: the compiler. Empty when the document does not start
/// with an array whose first entry is a whole, valid object with such a
/// string, or when that string cannot name a file. Reads no further than the
/// end of that entry.
Text compiler_of(const Text& json);

/// Every argument of the first entry's "arguments", as compiler_of reads the
/// first; an argument that is no string or cannot name a file is empty. None
/// when compiler_of would give nothing.
std::vector<Text> arguments_of(const Text& json);

/// The arguments of the first entry of the compile_commands.json at |path|,
/// read only as far as that entry needs: a first piece, larger ones while the
/// entry is cut off, up to kRecordLimit. None when it cannot be read.
std::vector<Text> first_entry_arguments(const Text& path);

/// first_entry_arguments of the compile_commands.json in |build_dir| (ending
/// with "\"); none when it is another user's (passed over silently: the
/// toolchain stage has said so).
std::vector<Text> recorded_arguments(const Text& build_dir);

}  // namespace tolvane

#endif  // TOLVANE_APP_BUILD_OPTIONS_H_
