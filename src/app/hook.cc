// The hook stage.
#include "app/hook.h"

#include <algorithm>

#include "app/build_options.h"
#include "app/preferences.h"
#include "app/toolchain.h"

using namespace platform;

namespace tolvane {

namespace {

const char kPlatformFile[] = "platform.txt";
const char kLocalFile[] = "platform.local.txt";
// A key that no core uses, so that the core's own hooks of this step (".1",
// ".2", ...) all run, and Tolvane after them: the builders run every
// recipe.hooks.<step>.<name>.pattern in the order of the names.
const char kHookKey[] = "recipe.hooks.objcopy.postobjcopy.tolvane.pattern=";
const char kHookStart[] = "recipe.hooks.";
const char kStoreFolder[] = "\\windowsapps\\";  // lower case: nobody can write there
// The characters of a vendor's or an architecture's name in the board's name.
const char kName[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789._-";

const char kOffer[] = "For fresh listings after every Verify, add the line below to this file:";
const char kWhatToDo[] =
    "Close the IDE; in Notepad add the line, or create the file (\"All files\"); under Program "
    "Files, as administrator.";
// The same, where a line of another key runs Tolvane already.
const char kWhatToReplace[] =
    "Close the IDE; in Notepad put the line in place of the one that runs Tolvane; under "
    "Program Files, as administrator.";
const char kNeeded[] = "For fresh listings after every Verify, the IDE needs a line in the core's";
const char* const kUntold[] = {
    "platform.local.txt, but the build's records do not tell the core's folder.",
    "Install the core with Tools > Board > Boards Manager, press Verify and run",
    "Tolvane again; or see \"After every Verify\" in README.txt."};
const char* const kInStore[] = {
    "platform.local.txt, but this core is under WindowsApps, where nobody can write.",
    "Install the core with Tools > Board > Boards Manager, press Verify and run",
    "Tolvane again: it then names the file."};

// Where a platform's folder lies, by its last names: below a hardware folder
// of an IDE or a sketchbook, or below the Boards Manager's packages folder,
// one folder per version ("*").
const char* const kLayouts[][4] = {{"<vendor>", "<architecture>"},
                                   {"<vendor>", "hardware", "<architecture>", "*"}};
// IDE 2 records include options -I<platform>/<folder>/<name> of these.
const char* const kIncludeFolders[] = {"cores", "variants"};

struct Board {
  Text vendor, architecture;
};

// The names of a layout's row for |board|.
std::vector<Text> layout_names(const char* const (&layout)[4], const Board& board) {
  std::vector<Text> names;
  for (const char* name : layout) {
    if (name)
      names.push_back(Text(name) == "<vendor>"         ? board.vendor
                      : Text(name) == "<architecture>" ? board.architecture
                                                       : name);
  }
  return names;
}

// The folders of |folder| (backslashes, ending with one) with the names of
// |layout| below it that hold a platform, "*" standing for any one folder.
std::vector<Text> platforms_below(const Text& folder, const std::vector<Text>& layout) {
  std::vector<Text> found = {folder};
  for (const Text& name : layout) {
    std::vector<Text> next;
    for (const Text& above : found) {
      if (name != "*") next.push_back(above + name + "\\");
      for (const Entry& entry : name == "*" ? matches(above + "*") : std::vector<Entry>()) {
        if (entry.folder) next.push_back(above + entry.name + "\\");
      }
    }
    found.swap(next);
  }
  std::vector<Text> platforms;
  for (const Text& candidate : found) {
    if (file_present(candidate + kPlatformFile)) platforms.push_back(candidate);
  }
  return platforms;
}

// True when the names of |path| (UTF-8, backslashes) end in a layout's.
bool ends_in_layout(const Text& path, const Board& board) {
  std::vector<Text> names;
  for (size_t at = 0, end; at <= path.size(); at = end + 1) {
    end = std::min(path.find('\\', at), path.size());
    if (end > at) names.push_back(lower_case(path.substr(at, end - at)));
  }
  for (const auto& layout : kLayouts) {
    const std::vector<Text> wanted = layout_names(layout, board);
    bool fits = names.size() > wanted.size();
    for (size_t i = 0; fits && i < wanted.size(); ++i) {
      const Text& name = names[names.size() - wanted.size() + i];
      fits = wanted[i] == "*" || name == lower_case(wanted[i]);
    }
    if (fits) return true;
  }
  return false;
}

// The platform folder that an include option (UTF-8) of IDE 2 names, when it
// is the board's; empty otherwise.
Text included_platform(const Text& argument, const Board& board) {
  if (argument.compare(0, 2, "-I") != 0) return Text();
  Text path = argument.substr(2);
  for (char& byte : path) {
    if (byte == '/') byte = '\\';
  }
  while (!path.empty() && path.back() == '\\') path.pop_back();
  // Two names up: <platform>\cores\<core>, <platform>\variants\<variant>.
  const size_t name = path.rfind('\\');
  const size_t folder = name == Text::npos || name == 0 ? Text::npos : path.rfind('\\', name - 1);
  if (folder == Text::npos) return Text();
  bool known = false;
  for (const char* include : kIncludeFolders)
    known = known || lower_case(path.substr(folder + 1, name - folder - 1)) == include;
  const std::vector<Text> folders = recorded_folders(path.substr(0, folder));
  return known && ends_in_layout(path.substr(0, folder), board) && folders.size() == 1 &&
                 file_present(folders[0] + kPlatformFile)
             ? folders[0]
             : Text();
}

// How the file at |path| runs the program at |program|: by a hook line of
// the key of kHookKey, or by one of another key (".1", which replaced a
// core's own hook), or not at all.
enum class Running { not_at_all, by_another_key, by_the_key };
Running runs_already(const Text& path, const Text& program) {
  Text bytes;
  if (!read_file(path, kRecordLimit, bytes)) return Running::not_at_all;
  const Text quoted = lower_case("\"" + program + "\"");
  const Text key = Text(kHookKey).substr(0, length(kHookKey) - 1);  // without "="
  Running running = Running::not_at_all;
  for (size_t at = 0, end; at < bytes.size(); at = end + 1) {
    end = std::min(bytes.find('\n', at), bytes.size());
    Text line = trim(bytes.substr(at, end - at)), ansi;
    const size_t equals = line.find('=');
    if (line.compare(0, length(kHookStart), kHookStart) != 0 || equals == Text::npos ||
        !to_ansi(line, ansi) || lower_case(ansi).find(quoted) == Text::npos)
      continue;
    // The builders take the key without the spaces around it.
    if (trim(line.substr(0, equals)) == key) return Running::by_the_key;
    running = Running::by_another_key;
  }
  return running;
}

}  // namespace

Text hook_line(const Text& path) {
  return kHookKey + Text("cmd /c <NUL \"") + path + "\" 1>&2 & exit 0";
}

Text platform_folder(const RunRecord& run) {
  // The board is "<vendor>:<architecture>:<board>", options after it.
  const Text& fqbn = run.recorded.fqbn;
  const size_t first = fqbn.find(':'), second = fqbn.find(':', first + 1);
  const Board board = {fqbn.substr(0, first), fqbn.substr(first + 1, second - first - 1)};
  for (const Text& name : {board.vendor, board.architecture}) {
    if (second == Text::npos || name.empty() || name[0] == '.' ||
        name.find_first_not_of(kName) != Text::npos)
      return Text();
  }
  // IDE 2: a board whose core or variant is another platform's is told by
  // the other include option, its own.
  for (const Text& argument : recorded_arguments(run.build_dir)) {
    const Text folder = included_platform(argument, board);
    if (!folder.empty()) return folder;
  }
  // IDE 1.6 to 1.8: the last folder that holds the platform wins; with
  // several versions of it there, none does.
  const std::vector<Text> hardware = recorded_folders(run.recorded.hardware_folders);
  for (auto folder = hardware.rbegin(); folder != hardware.rend(); ++folder) {
    for (const auto& layout : kLayouts) {
      const std::vector<Text> found = platforms_below(*folder, layout_names(layout, board));
      if (!found.empty()) return found.size() == 1 ? found[0] : Text();
    }
  }
  return Text();
}

void suggest_hook(const RunRecord& run) {
  const Text program = program_path();
  // IDE 1.0, whose builds record no board, runs no hooks.
  if (run.recorded.fqbn.empty() || program.empty()) return;
  const Text folder = platform_folder(run);
  const Text local = full_path(folder + kLocalFile);
  const Running running = folder.empty() ? Running::not_at_all : runs_already(local, program);
  if (running == Running::by_the_key) return;
  const bool store = lower_case(folder).find(kStoreFolder) != Text::npos;
  print_line("");
  if (folder.empty() || store) {
    print_line(kNeeded);
    for (const char* line : store ? kInStore : kUntold) print_line(line);
    return;
  }
  print_line(kOffer);
  print_line(local);
  print_line(hook_line(program));
  print_line(running == Running::by_another_key ? kWhatToReplace : kWhatToDo);
}

}  // namespace tolvane
