// The toolchain stage.
#include "app/toolchain.h"

#include <algorithm>
#include <cctype>

#include "app/build_options.h"
#include "app/places.h"
#include "app/preferences.h"

using namespace platform;

namespace tolvane {

namespace {

const char kToolsBelowInstall[] = "\\hardware\\tools\\avr\\bin\\";
// The Boards Manager's toolchains below an IDE's data folder, one folder per
// version, and the tools below each.
const char kVersionsBelowData[] = "packages\\arduino\\tools\\avr-gcc\\";
const char kToolsBelowVersion[] = "\\bin\\";
const char kDefaultData[] = "\\Arduino15\\";  // below %LocalAppData%
const char kObjdump[] = "avr-objdump.exe";
const char kReadelf[] = "avr-readelf.exe";
const char kIndent[] = "    ";
const char kCompilerToolsPath[] = "runtime.tools.avr-gcc.path";
constexpr size_t kFirstPiece = 1 << 16;  // of compile_commands.json: a first entry fits

bool is_letter(char byte) { return std::isalpha(static_cast<unsigned char>(byte)) != 0; }

bool is_digit(char byte) { return std::isdigit(static_cast<unsigned char>(byte)) != 0; }

bool is_separator(const Text& text, size_t at) {
  return at < text.size() && (text[at] == '\\' || text[at] == '/');
}

// True when a rooted path starts at |at| of |list|: "X:\", or a separator
// ("\\server", or the current drive's root). A name on Windows holds neither
// ":" nor a separator, so a comma before one of these ends the item before it.
bool starts_path(const Text& list, size_t at) {
  return is_separator(list, at) || (at + 1 < list.size() && is_letter(list[at]) &&
                                    list[at + 1] == ':' && is_separator(list, at + 2));
}

// True when a property item starts at |at|: its key, made of letters, digits
// and ".-_", then "=".
bool starts_property(const Text& list, size_t at) {
  const size_t end = list.find_first_not_of(
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.-_", at);
  return end != at && end < list.size() && list[end] == '=';
}

// The items of a comma-joined |list|, cut only at the commas after which
// |starts_item| holds, so that a comma inside a folder's name stays in it.
std::vector<Text> items_of(const Text& list, bool (*starts_item)(const Text&, size_t)) {
  std::vector<Text> items;
  size_t begin = 0;
  for (size_t comma = list.find(','); comma != Text::npos; comma = list.find(',', comma + 1)) {
    if (!starts_item(list, comma + 1)) continue;
    items.push_back(list.substr(begin, comma - begin));
    begin = comma + 1;
  }
  if (!list.empty()) items.push_back(list.substr(begin));
  return items;
}

// |folder| from a record (UTF-8) in the ANSI code page with backslashes and a
// final one; empty when it is not rooted, is on a network share (whose
// owners cannot be told) or a character has no place there.
Text tool_folder(const Text& folder) {
  Text ansi;
  if (!starts_path(folder, 0) || (is_separator(folder, 0) && is_separator(folder, 1)) ||
      !to_ansi(folder, ansi)) {
    return Text();
  }
  for (char& byte : ansi) {
    if (byte == '/') byte = '\\';
  }
  return ansi + "\\";
}

// True when the tools in |folder| may run: avr-objdump.exe is there, and
// nobody else owns the folder or either tool.
bool usable_tools(const Text& folder) {
  return file_present(folder + kObjdump) && !passed_over(folder) &&
         !passed_over(folder + kObjdump) && !passed_over(folder + kReadelf);
}

// The Boards Manager's newest usable avr-objdump.exe below |data_dir|; empty
// when it holds none.
Text newest_boards_manager_tool(const Text& data_dir) {
  const Text versions = data_dir + kVersionsBelowData;
  std::vector<Text> names;
  for (const Entry& version : matches(versions + "*")) {
    if (version.folder) names.push_back(version.name);
  }
  std::sort(names.begin(), names.end(),
            [](const Text& a, const Text& b) { return version_below(b, a); });
  for (const Text& name : names) {
    const Text folder = versions + name + kToolsBelowVersion;
    if (usable_tools(folder)) return folder + kObjdump;
  }
  return Text();
}

// The compiler that the first entry of the build's compile_commands.json
// names. Only as much of the file is read as that entry needs: a first piece,
// larger ones while the entry is cut off, up to the limit.
Text recorded_compiler(const Text& build_dir) {
  Text start, compiler;
  if (passed_over(build_dir + kCompileCommandsFile)) return Text();
  for (size_t size = kFirstPiece;; size *= 4) {
    if (!read_file_start(build_dir + kCompileCommandsFile, size, start)) return Text();
    compiler = compiler_of(start);
    if (!compiler.empty() || start.size() < size || size >= kRecordLimit) return compiler;
  }
}

}  // namespace

std::vector<Text> recorded_tool_folders(const Text& compiler, const BuildOptions& options) {
  std::vector<Text> folders;
  const size_t separator = compiler.find_last_of("\\/");
  if (separator != Text::npos) folders.push_back(tool_folder(compiler.substr(0, separator)));
  const Text key = Text(kCompilerToolsPath) + "=";
  for (const Text& item : items_of(options.custom_build_properties, starts_property)) {
    if (item.compare(0, key.size(), key) == 0) {
      folders.push_back(tool_folder(item.substr(key.size()) + "\\bin"));
    }
  }
  for (const Text* list : {&options.built_in_tools_folders, &options.tools_folders}) {
    for (const Text& folder : items_of(*list, starts_path))
      folders.push_back(tool_folder(folder + "\\bin"));
  }
  folders.erase(std::remove(folders.begin(), folders.end(), Text()), folders.end());
  return folders;
}

bool version_below(const Text& a, const Text& b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (is_digit(a[i]) && is_digit(b[j])) {
      // Numbers compare by value: leading zeros go, then the longer is larger.
      while (i < a.size() && a[i] == '0') ++i;
      while (j < b.size() && b[j] == '0') ++j;
      size_t end_a = i, end_b = j;
      while (end_a < a.size() && is_digit(a[end_a])) ++end_a;
      while (end_b < b.size() && is_digit(b[end_b])) ++end_b;
      const int order = end_a - i != end_b - j ? (end_a - i < end_b - j ? -1 : 1)
                                               : a.compare(i, end_a - i, b, j, end_b - j);
      if (order != 0) return order < 0;
      i = end_a;
      j = end_b;
    } else if (a[i] != b[j]) {
      return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
    } else {
      ++i;
      ++j;
    }
  }
  return a.size() - i < b.size() - j;
}

std::vector<Text> tool_directory_lines() {
  std::vector<Text> lines;
  for (const char* install : kInstallFolders)
    lines.push_back(kIndent + (install + Text(kToolsBelowInstall)));
  return lines;
}

void locate_toolchain(RunRecord& run) {
  run.objdump_path.clear();
  // The toolchain that the build records comes first.
  for (const Text& folder : recorded_tool_folders(recorded_compiler(run.build_dir), run.recorded)) {
    if (!usable_tools(folder)) continue;
    run.objdump_path = folder + kObjdump;
    break;
  }
  // Then the first install folder present.
  for (const char* install : kInstallFolders) {
    const Text folder = install + Text(kToolsBelowInstall);
    if (run.objdump_path.empty() && usable_tools(folder)) run.objdump_path = folder + kObjdump;
  }
  // Then the Boards Manager's, in the data folder of the preferences found
  // and in the one that IDE 1.5 and later share.
  const Text shared = place_root("%LocalAppData%");
  for (const Text& data : {run.data_dir, shared.empty() ? shared : shared + kDefaultData}) {
    if (!run.objdump_path.empty() || data.empty()) continue;
    run.objdump_path = newest_boards_manager_tool(data);
  }
  if (run.objdump_path.empty()) {
    std::vector<Text> lines = {"**ERROR** Can not find 'avr-objdump.exe'.", "Searched:"};
    for (const Text& line : tool_directory_lines()) lines.push_back(line);
    fail_and_wait(lines);
  }
  // Beside it: its folder may be named anything, "avr-objdump.exe" too.
  run.readelf_path = left(run.objdump_path, length(run.objdump_path) - length(kObjdump)) + kReadelf;
}

}  // namespace tolvane
