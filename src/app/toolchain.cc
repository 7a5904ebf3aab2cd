// The toolchain stage.
#include "app/toolchain.h"

#include <algorithm>
#include <cctype>
#include <iterator>

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
// The tools' names after the toolchain's prefix, such as "avr-".
const char kObjdump[] = "objdump.exe";
const char kAvr[] = "avr-";
const char kReadelf[] = "readelf.exe";
const char kIndent[] = "    ";
// IDE 1.6 to 1.8 record each tool of the platform as runtime.tools.<name>.path.
const char kToolKeyStart[] = "runtime.tools.";
const char kToolKeyEnd[] = ".path=";
// A compiler's name after its prefix, longest first: "gcc" ends in "cc".
const char* const kCompilerNames[] = {"g++", "gcc", "c++", "cc"};
const char kExe[] = ".exe";
constexpr size_t kFirstPiece = 1 << 16;  // of compile_commands.json: a first entry fits
// The ELF header, as far as a 32-bit one goes; its machine field (e_machine)
// is at byte 18, in the byte order that byte 5 gives (2: big-endian).
constexpr size_t kElfHeader = 52;
const char kElfMagic[] =
    "\x7F"
    "ELF";
const char kNotElf[] = "**ERROR** This is not an ELF file:";

// The chips that the Arduino IDE builds for, and the prefixes of their GCC
// toolchains' tools as the cores name them.
struct Architecture {
  unsigned machine;  // e_machine
  const char* chip;  // as the failure block names it
  const char* prefixes[5];
  bool installed;  // the IDE's install folders and Boards Manager hold its tools
};
const Architecture kArchitectures[] = {
    {83, "an AVR chip", {"avr-"}, true},
    {40, "an ARM chip", {"arm-none-eabi-"}, false},
    {94,
     "an Xtensa chip",
     {"xtensa-esp32-elf-", "xtensa-esp32s2-elf-", "xtensa-esp32s3-elf-", "xtensa-esp-elf-",
      "xtensa-lx106-elf-"},
     false},
    {243, "a RISC-V chip", {"riscv32-esp-elf-"}, false},
};

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

// True when nobody else owns |folder| or its tools of |prefix|: they may run.
bool trusted_tools(const Text& folder, const Text& prefix) {
  return !passed_over(folder) && !passed_over(folder + prefix + kObjdump) &&
         !passed_over(folder + prefix + kReadelf);
}

// True when |folder| holds avr-objdump.exe that may run.
bool usable_avr_tools(const Text& folder) {
  return file_present(folder + kAvr + kObjdump) && trusted_tools(folder, kAvr);
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
    if (usable_avr_tools(folder)) return folder + kAvr + kObjdump;
  }
  return Text();
}

// True when |text| ends in |ending| (lower case) in any letter case.
bool ends_in_any_case(const Text& text, const Text& ending) {
  return text.size() >= ending.size() &&
         lower_case(text.substr(text.size() - ending.size())) == ending;
}

// The prefix of a compiler named "<prefix>g++" (or "gcc", "c++", "cc", with
// or without ".exe"), ending with "-"; empty for any other name.
Text compiler_prefix(const Text& compiler) {
  Text name = compiler.substr(compiler.find_last_of("\\/") + 1);
  if (ends_in_any_case(name, kExe)) name.resize(name.size() - length(kExe));
  for (const char* driver : kCompilerNames) {
    if (!ends_in_any_case(name, driver)) continue;
    name.resize(name.size() - length(driver));
    return !name.empty() && name.back() == '-' ? name : Text();
  }
  return Text();
}

// True when tools of |prefix| may list an ELF file of |arch| (null: of a
// machine not in the table): the prefix is not that of another architecture.
bool fits(const Text& prefix, const Architecture* arch) {
  for (const Architecture& other : kArchitectures) {
    for (const char* known : other.prefixes) {
      if (&other != arch && known && lower_case(prefix) == known) return false;
    }
  }
  return true;
}

// The prefix of the tools in |folder| that list an ELF file of |arch|: the
// compiler's |named| prefix, else the architecture's in order, else but for
// AVR that of the folder's only "*-objdump.exe"; empty when none fits.
Text fitting_prefix(const Text& folder, const Text& named, const Architecture* arch) {
  std::vector<Text> prefixes = {named};
  for (size_t i = 0; arch && i < std::size(arch->prefixes) && arch->prefixes[i]; ++i)
    prefixes.push_back(arch->prefixes[i]);
  for (const Text& prefix : prefixes) {
    if (!prefix.empty() && fits(prefix, arch) && file_present(folder + prefix + kObjdump))
      return prefix;
  }
  Text only;
  int found = 0;
  if (arch && arch->installed) return only;  // AVR toolchains are all "avr-"
  for (const Entry& entry : matches(folder + "*-" + kObjdump)) {
    if (entry.folder || !ends_in_any_case(entry.name, Text("-") + kObjdump)) continue;
    only = left(entry.name, length(entry.name) - length(kObjdump));
    ++found;
  }
  return found == 1 && fits(only, arch) ? only : Text();
}

// The ELF file's machine; ends the run when the file is not an ELF file.
unsigned elf_machine(const Text& elf) {
  Text header;
  if (!read_file_start(elf, kElfHeader, header) || header.size() < kElfHeader ||
      header.compare(0, 4, kElfMagic) != 0) {
    fail_and_wait({kNotElf, elf});
  }
  const unsigned first = static_cast<unsigned char>(header[18]);
  const unsigned second = static_cast<unsigned char>(header[19]);
  return header[5] == 2 ? first << 8 | second : second << 8 | first;
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
  const Text start = kToolKeyStart, ending = kToolKeyEnd;
  for (const Text& item : items_of(options.custom_build_properties, starts_property)) {
    // The key's end: the first "=" closes ".path", after a name.
    const size_t end = item.find('=') + 1;
    if (item.compare(0, start.size(), start) == 0 && end > start.size() + ending.size() &&
        item.compare(end - ending.size(), ending.size(), ending) == 0) {
      folders.push_back(tool_folder(item.substr(end) + "\\bin"));
    }
  }
  for (const Text* list : {&options.built_in_tools_folders, &options.tools_folders}) {
    for (const Text& folder : items_of(*list, starts_path))
      folders.push_back(tool_folder(folder + "\\bin"));
  }
  // Each folder once, where it comes first.
  std::vector<Text> unique;
  for (const Text& folder : folders) {
    if (!folder.empty() && std::find(unique.begin(), unique.end(), folder) == unique.end())
      unique.push_back(folder);
  }
  return unique;
}

std::vector<Text> recorded_folders(const Text& list) {
  std::vector<Text> folders;
  for (const Text& item : items_of(list, starts_path)) {
    if (!tool_folder(item).empty()) folders.push_back(tool_folder(item));
  }
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

void locate_toolchain(RunRecord& run) {
  const Text elf = run.build_dir + run.elf_name;
  const unsigned machine = elf_machine(elf);
  const Architecture* arch = nullptr;
  for (const Architecture& known : kArchitectures) {
    if (known.machine == machine) arch = &known;
  }
  Text folder, prefix;
  // The toolchain that the build records comes first.
  const Text compiler = recorded_compiler(run.build_dir);
  const std::vector<Text> recorded = recorded_tool_folders(compiler, run.recorded);
  const Text named = compiler_prefix(compiler);
  for (const Text& candidate : recorded) {
    prefix = fitting_prefix(candidate, named, arch);
    folder = candidate;
    if (!prefix.empty() && trusted_tools(folder, prefix)) break;
    prefix.clear();
  }
  if (prefix.empty() && !(arch && arch->installed)) {
    // Never another chip's tools: only those the build records may list it.
    std::vector<Text> lines = {
        "**ERROR** This build is for " +
            (arch ? Text(arch->chip) : "a chip of ELF machine " + std::to_string(machine)) +
            ", and no toolchain for it was found:",
        elf, "Searched for its objdump.exe in the folders that the build's records name:"};
    for (const Text& candidate : recorded) lines.push_back(kIndent + candidate);
    if (recorded.empty()) lines.push_back(Text(kIndent) + "none");
    lines.push_back("Install the board's core in the IDE's Boards Manager, then press Verify.");
    fail_and_wait(lines);
  }
  run.objdump_path = prefix.empty() ? Text() : folder + prefix + kObjdump;
  // Every place searched, each once, for the failure block.
  std::vector<Text> searched;
  auto add = [&](const Text& line) {
    const bool known = std::find(searched.begin(), searched.end(), line) != searched.end();
    if (!known) searched.push_back(line);
    return !known;
  };
  for (const Text& candidate : recorded) add(kIndent + candidate);
  // Then the first install folder present.
  for (const char* install : kInstallFolders) {
    const Text candidate = install + Text(kToolsBelowInstall);
    add(kIndent + candidate);
    if (run.objdump_path.empty() && usable_avr_tools(candidate))
      run.objdump_path = candidate + kAvr + kObjdump;
  }
  // Then the Boards Manager's, in the data folder of the preferences found
  // and in the one that IDE 1.5 and later share.
  const Text shared = place_root("%LocalAppData%");
  for (const Text& data : {run.data_dir, shared.empty() ? shared : shared + kDefaultData}) {
    if (!run.objdump_path.empty() || data.empty() ||
        !add(kIndent + data + kVersionsBelowData + "*" + kToolsBelowVersion))
      continue;
    run.objdump_path = newest_boards_manager_tool(data);
  }
  if (run.objdump_path.empty()) {
    std::vector<Text> lines = {"**ERROR** Can not find 'avr-objdump.exe'.", "Searched:"};
    lines.insert(lines.end(), searched.begin(), searched.end());
    fail_and_wait(lines);
  }
  // Beside it, of the same prefix: its folder may be named anything.
  run.readelf_path = left(run.objdump_path, length(run.objdump_path) - length(kObjdump)) + kReadelf;
}

}  // namespace tolvane
