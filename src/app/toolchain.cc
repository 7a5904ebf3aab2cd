// The toolchain stage.
#include "app/toolchain.h"

#include <algorithm>
#include <cctype>
#include <iterator>

#include "app/build_options.h"
#include "app/builds.h"
#include "app/chips.h"
#include "app/places.h"
#include "app/preferences.h"

using namespace platform;

namespace tolvane {

namespace {

// The Boards Manager's toolchains below an IDE's data folder, one folder per
// version, and the tools below each.
const char kToolsBelowVersion[] = "\\bin\\";
const char kDefaultData[] = "\\Arduino15\\";  // below %LocalAppData%
// The tools' names after the toolchain's prefix, such as "avr-".
const char kObjdump[] = "objdump.exe";
const char kReadelf[] = "readelf.exe";
const char kIndent[] = "    ";
// IDE 1.6 to 1.8 record each tool of the platform as runtime.tools.<name>.path.
const char kToolKeyStart[] = "runtime.tools.";
const char kToolKeyEnd[] = ".path=";
// A compiler's name after its prefix, longest first: "gcc" ends in "cc".
const char* const kCompilerNames[] = {"g++", "gcc", "c++", "cc"};
const char kExe[] = ".exe";
// The ELF header, as far as a 32-bit one goes; its machine field (e_machine)
// is at byte 18, in the byte order that byte 5 gives (2: big-endian).
constexpr size_t kElfHeader = 52;
const char kElfMagic[] =
    "\x7F"
    "ELF";
const char kNotElf[] = "**ERROR** This is not an ELF file:";

// The architectures that the Arduino IDE builds for, by ELF machine, and the
// starts of their tools' prefixes: a prefix names its architecture, so that
// tools of another are never taken, whatever their folder holds.
struct Architecture {
  unsigned machine;  // e_machine
  const char* chip;  // as the failure block names it
  const char* starts[2];
  const char* missing;  // the failure block's first line, when not the general one
};
const Architecture kArchitectures[] = {
    {83, "an AVR chip", {"avr-"}, "**ERROR** Can not find 'avr-objdump.exe'."},
    {40, "an ARM chip", {"arm-"}, nullptr},
    {183, "a 64-bit ARM chip", {"aarch64-"}, nullptr},
    {94, "an Xtensa chip", {"xtensa-"}, nullptr},
    {243, "a RISC-V chip", {"riscv32-", "riscv64-"}, nullptr},
    {8, "a MIPS chip", {"pic32-", "mips"}, nullptr},
};

// Below a tool's folder that the build records, where its tools are: bin\,
// or one folder further down (Teensy's arm\bin\), each folder in name order.
const char* const kBelowToolFolder[] = {"bin\\", "*\\bin\\"};

// Where tools of an architecture (by ELF machine) lie, and their prefix.
struct ToolPlace {
  unsigned machine;
  const char* below;
  const char* prefix;
};
// Below the IDE's install folders (kInstallFolders): the IDE's own AVR
// tools, and the ARM tools that the Teensyduino installer adds.
const ToolPlace kInstallTools[] = {
    {83, "\\hardware\\tools\\avr\\bin\\", "avr-"},
    {40, "\\hardware\\tools\\arm\\bin\\", "arm-none-eabi-"},
};
// The Boards Manager's toolchains below an IDE's data folder, one folder per
// version.
const ToolPlace kBoardsManagerTools[] = {
    {83, "packages\\arduino\\tools\\avr-gcc\\", "avr-"},
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
  return ends_in_backslash(ansi) ? ansi : ansi + "\\";
}

// True when nobody else owns |folder| or its tools of |prefix|: they may run.
bool trusted_tools(const Text& folder, const Text& prefix) {
  return !passed_over(folder) && !passed_over(folder + prefix + kObjdump) &&
         !passed_over(folder + prefix + kReadelf);
}

// True when |text| starts with |start| (lower case) in any letter case.
bool starts_in_any_case(const Text& text, const Text& start) {
  return text.size() >= start.size() && lower_case(text.substr(0, start.size())) == start;
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

// The prefixes of the tools in |folder| that may list an ELF file of |arch|
// for |chip| (null: not told), in the order they are tried: |named| (the
// compiler's), the chip's own, then the folder's others in name order. A
// prefix of another architecture, or of another chip, never; nor unconfigured
// tools beside the wrappers that configure them.
std::vector<Text> fitting_prefixes(const Text& folder, const Text& named, const Architecture* arch,
                                   const Chip* chip) {
  std::vector<Text> listed;
  for (const Entry& entry : matches(folder + "*-" + kObjdump)) {
    if (!entry.folder && ends_in_any_case(entry.name, Text("-") + kObjdump))
      listed.push_back(left(entry.name, length(entry.name) - length(kObjdump)));
  }
  std::sort(listed.begin(), listed.end(), listed_before);
  const bool wrapped = std::any_of(listed.begin(), listed.end(),
                                   [&](const Text& prefix) { return chip_of(prefix) != nullptr; });
  std::vector<Text> order = {named, chip ? Text(chip->prefix) : Text()};
  order.insert(order.end(), listed.begin(), listed.end());
  std::vector<Text> prefixes;
  for (const Text& prefix : order) {
    const bool present = std::any_of(listed.begin(), listed.end(), [&](const Text& name) {
      return lower_case(name) == lower_case(prefix);
    });
    const bool architecture =
        arch &&
        std::any_of(std::begin(arch->starts), std::end(arch->starts),
                    [&](const char* start) { return start && starts_in_any_case(prefix, start); });
    const bool other_chip = chip && chip_of(prefix) && chip_of(prefix) != chip;
    const bool known = std::any_of(prefixes.begin(), prefixes.end(), [&](const Text& taken) {
      return lower_case(taken) == lower_case(prefix);
    });
    if (present && architecture && !other_chip && !(wrapped && unconfigured(prefix)) && !known)
      prefixes.push_back(prefix);
  }
  return prefixes;
}

// The folder of the newest version below |versions| (one folder each) whose
// tools of |prefix| may run; empty when it holds none.
Text newest_boards_manager_tools(const Text& versions, const Text& prefix) {
  std::vector<Text> names;
  for (const Entry& version : matches(versions + "*")) {
    if (version.folder) names.push_back(version.name);
  }
  std::sort(names.begin(), names.end(),
            [](const Text& a, const Text& b) { return version_below(b, a); });
  for (const Text& name : names) {
    const Text folder = versions + name + kToolsBelowVersion;
    if (file_present(folder + prefix + kObjdump) && trusted_tools(folder, prefix)) return folder;
  }
  return Text();
}

// The ELF file's machine; ends the run when the file is not an ELF file.
unsigned elf_machine(const Text& elf) {
  Text header;
  if (!read_file_start(elf, kElfHeader, header) || header.size() < kElfHeader ||
      header.compare(0, 4, kElfMagic) != 0) {
    fail_and_wait({kNotElf, elf});
  }
  return value_at(header, 18, 2, header[5]);
}

// The compiler that the first entry of the build's compile_commands.json
// names, unless another user owns the file.
Text recorded_compiler(const Text& build_dir) {
  const Text path = build_dir + kCompileCommandsFile;
  const std::vector<Text> arguments =
      passed_over(path) ? std::vector<Text>() : first_entry_arguments(path);
  return arguments.empty() ? Text() : arguments.front();
}

}  // namespace

std::vector<Text> recorded_tool_folders(const Text& compiler, const BuildOptions& options) {
  std::vector<Text> folders;
  const size_t separator = compiler.find_last_of("\\/");
  if (separator != Text::npos) folders.push_back(tool_folder(compiler.substr(0, separator)));
  std::vector<Text> roots;
  const Text start = kToolKeyStart, ending = kToolKeyEnd;
  for (const Text& item : items_of(options.custom_build_properties, starts_property)) {
    // The key's end: the first "=" closes ".path", after a name.
    const size_t end = item.find('=') + 1;
    if (item.compare(0, start.size(), start) == 0 && end > start.size() + ending.size() &&
        item.compare(end - ending.size(), ending.size(), ending) == 0) {
      roots.push_back(tool_folder(item.substr(end)));
    }
  }
  for (const Text* list : {&options.built_in_tools_folders, &options.tools_folders}) {
    for (const Text& folder : items_of(*list, starts_path)) roots.push_back(tool_folder(folder));
  }
  for (const Text& root : roots) {
    for (const char* below : kBelowToolFolder)
      folders.push_back(root.empty() ? root : root + below);
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
    const Text folder = tool_folder(item);
    if (!folder.empty()) folders.push_back(folder);
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
  // The toolchain that the build records comes first; the compiler it
  // records tells the chip, else the build's own files may.
  const Text compiler = recorded_compiler(run.build_dir);
  const std::vector<Text> recorded = recorded_tool_folders(compiler, run.recorded);
  const Text named = compiler_prefix(compiler);
  const Chip* chip = chip_of(named);
  if (!chip) chip = chip_of_files(elf, machine);
  Text folder, prefix;
  std::vector<const Chip*> fitting;  // the chips whose tools fit, when it is not told
  std::vector<Text> searched;        // every place searched, each once, for a failure block
  auto add = [&](const Text& line) {
    const bool known = std::find(searched.begin(), searched.end(), line) != searched.end();
    if (!known) searched.push_back(line);
    return !known;
  };
  // Taken for good: tools of a chip that is told, or of no chip of the table.
  auto settled = [&] { return !prefix.empty() && (chip || !chip_of(prefix)); };
  for (const Text& entry : recorded) {
    add(kIndent + entry);
    // "<root>\*\bin\": each folder below the root, in name order.
    const size_t star = entry.find("\\*\\");
    std::vector<Text> below = {Text()};
    if (star != Text::npos) {
      below.clear();
      for (const Entry& sub : matches(entry.substr(0, star + 1) + "*")) {
        if (sub.folder) below.push_back(sub.name);
      }
      std::sort(below.begin(), below.end(), listed_before);
    }
    for (size_t i = 0; i < below.size() && !settled(); ++i) {
      const Text candidate = star == Text::npos
                                 ? entry
                                 : entry.substr(0, star + 1) + below[i] + entry.substr(star + 2);
      for (const Text& fit : fitting_prefixes(candidate, named, arch, chip)) {
        const Chip* of = chip_of(fit);
        if (of && std::find(fitting.begin(), fitting.end(), of) == fitting.end())
          fitting.push_back(of);
        if (prefix.empty() && trusted_tools(candidate, fit)) folder = candidate, prefix = fit;
      }
    }
    if (settled()) break;
  }
  // An untold chip's tools, where other chips' fit too: said, not passed off.
  if (!prefix.empty() && !chip && fitting.size() > 1) {
    run.notes.push_back("The chip can not be told from the build: taking the tools of " +
                        Text(chip_of(prefix)->name) + ", the first");
    run.notes.push_back(
        "of the chips whose tools it records. The script names them: edit it for another.");
  }
  // Then the IDE's install folders, the first that holds the tools.
  for (const auto& tools : kInstallTools) {
    for (const char* install : kInstallFolders) {
      const Text candidate = install + Text(tools.below);
      if (tools.machine != machine || !add(kIndent + candidate) || !prefix.empty()) continue;
      if (file_present(candidate + tools.prefix + kObjdump) &&
          trusted_tools(candidate, tools.prefix))
        folder = candidate, prefix = tools.prefix;
    }
  }
  // Then the Boards Manager's, in the data folder of the preferences found
  // and in the one that IDE 1.5 and later share.
  const Text shared = place_root("%LocalAppData%");
  for (const auto& tools : kBoardsManagerTools) {
    for (const Text& data : {run.data_dir, shared.empty() ? shared : shared + kDefaultData}) {
      if (tools.machine != machine || !prefix.empty() || data.empty() ||
          !add(kIndent + data + tools.below + "*" + kToolsBelowVersion))
        continue;
      folder = newest_boards_manager_tools(data + tools.below, tools.prefix);
      if (!folder.empty()) prefix = tools.prefix;
    }
  }
  if (prefix.empty() && arch && arch->missing) {
    std::vector<Text> lines = {arch->missing, "Searched:"};
    lines.insert(lines.end(), searched.begin(), searched.end());
    fail_and_wait(lines);
  }
  if (prefix.empty()) {
    // Never another chip's tools: a block that names every folder searched.
    const Text of = chip   ? Text(chip->name)
                    : arch ? Text(arch->chip)
                           : "a chip of ELF machine " + std::to_string(machine);
    std::vector<Text> lines = {
        "**ERROR** This build is for " + of + ", and no toolchain for it was found:", elf,
        "Searched for its objdump.exe in:"};
    lines.insert(lines.end(), searched.begin(), searched.end());
    if (searched.empty()) lines.push_back(Text(kIndent) + "none");
    if (recorded.empty()) {
      lines.push_back("Install the board's core in the IDE's Boards Manager, then press Verify.");
    } else {
      lines.push_back("None holds tools for this chip. Reinstall the board's core in the IDE's");
      lines.push_back(
          "Boards Manager and press Verify, or name the tools in a dump script of your");
      lines.push_back("own and make it read-only: Tolvane then runs it as it stands.");
    }
    fail_and_wait(lines);
  }
  run.objdump_path = folder + prefix + kObjdump;
  run.readelf_path = folder + prefix + kReadelf;
}

}  // namespace tolvane
