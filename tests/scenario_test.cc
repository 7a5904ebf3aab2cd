// The program from end to end, natively and as Tolvane.exe under Wine, where
// Wine's cmd.exe runs the script. Each row lays out a user's files below C:\t,
// runs the program there with standard input from /dev/null, and compares
// standard output, the exit status and every file below C:\t afterwards.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>

namespace {

namespace fs = std::filesystem;
using Tree = std::map<std::string, std::string>;  // lower-cased path below C:\t -> bytes
using Env = std::vector<std::pair<std::string, std::string>>;

// Stand-ins in a row for bytes: the sample ELF, one that the Arduino core makes, a whole build
// folder that the IDE's builder made (its build.options.json naming C:\t\ide\Blink\Blink.ino),
// a link to a full drive, no file at all, a compile_commands.json of 50 MB whose first entry
// names C:\t\gcc\avr-g++ after its "directory" of 50 MB, a command interpreter that records its
// command line (tests/interpreter_standin.cc), and "<BOARD name>" the ELF file of another board
// (examples/boards/build-elf).
const std::string kElf = "<ELF>", kArduinoElf = "<ARDUINO ELF>", kIdeBuild = "<IDE BUILD>",
                  kFull = "<FULL>", kNone = "<NONE>", kHuge = "<HUGE>", kBoard = "<BOARD ",
                  kArmElf = kBoard + "uno-r4.elf>", kXtensaElf = kBoard + "esp8266.elf>",
                  kInterpreter = "<INTERPRETER>";
const char* const kToolDirs[] = {"C:\\Program Files (x86)\\Arduino", "C:\\Program Files\\Arduino",
                                 "C:\\Arduino", "C:\\bin\\Arduino"};
const char kBin[] = "\\hardware\\tools\\avr\\bin\\";
const std::string kToolBins[] = {kToolDirs[0] + std::string(kBin), kToolDirs[1] + std::string(kBin),
                                 kToolDirs[2] + std::string(kBin),
                                 kToolDirs[3] + std::string(kBin)};

// A row's tools: "<folder>\<prefix>", or "<folder>\" for "avr-"; and the prefix of Debian's
// tools that stand in for them (binutils-xtensa-lx106's for any Xtensa prefix, and
// binutils-riscv64-unknown-elf's for any RISC-V one).
std::string with_prefix(const std::string& tools) {
  return tools.back() == '\\' ? tools + "avr-" : tools;
}
std::string host_prefix(const std::string& tools) {
  const std::string prefix = with_prefix(tools).substr(tools.rfind('\\') + 1);
  return prefix.rfind("arm-", 0) == 0      ? "arm-none-eabi-"
         : prefix.rfind("xtensa-", 0) == 0 ? "xtensa-lx106-elf-"
         : prefix.rfind("riscv", 0) == 0   ? "riscv64-unknown-elf-"
                                           : prefix;
}

std::string slurp(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

void spit(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
    text.replace(at, from.size(), to);
  }
  return text;
}

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string shq(const std::string& text) { return "'" + replaced(text, "'", "'\\''") + "'"; }

std::string crlf(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// A shell command's standard output and exit status.
std::pair<std::string, int> shell(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  char buffer[65536];
  for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, got);
  const int status = pclose(pipe);
  return {out, WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status)};
}

// |text| (UTF-8) in a Windows code page; no code page: as it is.
std::string in(const char* code_page, const std::string& text) {
  return code_page ? shell("printf %s " + shq(text) + " | iconv -t " + code_page).first : text;
}

// The native build with drive C: in a scratch folder, or Windows under Wine
// with drive C: in the test prefix.
struct Machine {
  bool wine;
  fs::path drives;
  std::string locale = "";     // under Wine, the locale's variables
  std::string documents = "";  // under Wine, the shell's Documents folder for one run
  std::string cwd = "";        // the folder below C:\t that a run starts in

  explicit Machine(bool on_wine) : wine(on_wine) {
    drives = wine ? fs::path(TOLVANE_WINE_PREFIX)
                  : fs::temp_directory_path() / ("tolvane-test" + std::to_string(getpid()));
    for (const char* dir : {"t", "tool-runs"}) clear(c(dir));
    fs::create_directories(c("tool-runs"));
    for (const char* dir : kToolDirs) clear(c(dir + 3));
    // The user's Documents in the prefix, which the program searches too, left empty.
    for (std::error_code none; const auto& user : fs::directory_iterator(c("users"), none))
      clear(user.path() / "Documents"), fs::create_directories(user.path() / "Documents");
    fs::create_directories(c("t"));
    // One server for every run keeps Wine's start short; it ends 5 s after the last.
    static const int server =
        wine ? system((wine_env() + "wineserver -p5 </dev/null >/dev/null 2>&1").c_str()) : 0;
    (void)server;
  }
  ~Machine() {
    if (!wine) clear(drives);
  }
  // Removes |path|, freeing first a folder that a run cut short left immutable.
  static void clear(const fs::path& path) {
    if (std::error_code error; fs::remove_all(path, error), error)
      system(("chattr -R -i " + shq(path) + " && rm -rf " + shq(path)).c_str());
  }

  fs::path c(const std::string& below) const {  // the host path of C:\<below>
    return drives / (wine ? "drive_c" : "c") / replaced(below, "\\", "/");
  }
  std::string wine_env() const {
    return locale + "WINEPREFIX=" + shq(drives) +
           " WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' ";
  }
  std::string program() const {
    return wine ? "\"Z:" + replaced(TOLVANE_WINDOWS_DIR "/Tolvane.exe", "/", "\\") + "\""
                : shq(TOLVANE_NATIVE_PROGRAM);
  }

  // The shell command that runs |program| in C:\t with exactly |env| of the
  // user's variables; under Wine through a batch file, as quotes reach cmd.
  std::string command(const std::string& program, const std::vector<std::string>& args,
                      const Env& env) const {
    std::string line = "cd " + shq(c("t" + cwd)) + " && env", batch = "@echo off\r\n";
    for (const char* name : {"AppData", "HomeDrive", "HomePath", "LocalAppData", "TMP", "TEMP",
                             "UserProfile", "LOCALAPPDATA", "USERPROFILE"}) {
      line += std::string(" -u ") + name;
      batch += std::string("set ") + name + "=\r\n";
    }
    for (const auto& [name, value] : env) {
      line += " " + shq(name + "=" + value);
      batch += "set \"" + name + "=" + replaced(value, "%", "%%") + "\"\r\n";
    }
    line += " TOLVANE_DRIVES=" + shq(drives) + " " + program;
    batch += "cd /d C:\\t" + cwd + "\r\n" + program;
    for (const std::string& arg : args) line += " " + shq(arg), batch += " \"" + arg + '"';
    if (!wine) return line;
    const std::string personal =
        "reg add \"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User "
        "Shell Folders\" /v Personal /t REG_EXPAND_SZ /f /d ";
    if (!documents.empty())  // set for the run, then as Wine sets it
      batch = "@echo off\r\n" + personal + '"' + documents + "\" >nul\r\n" + batch.substr(11) +
              "\r\nset s=%errorlevel%\r\n" + personal +
              "\"%%USERPROFILE%%\\Documents\" >nul\r\nexit /b %s%";
    spit(c("run.cmd"), batch + "\r\nexit /b %errorlevel%\r\n");
    return "cd " + shq(c("")) + " && " + wine_env() + "wine cmd /c 'C:\\run.cmd'";
  }

  // <prefix>objdump.exe and <prefix>readelf.exe where |tools| says, running
  // the real tools; under Wine a stand-in gives them the host paths of Windows
  // paths and leaves a file in C:\tool-runs as it starts ("s.*") and once the
  // tool has ended ("e.*").
  void install_tools(const std::string& tools) const {
    for (const char* name : {"objdump", "readelf"}) {
      const fs::path path = c(with_prefix(tools).substr(3) + name + ".exe");
      const std::string tool = host_prefix(tools) + name;
      fs::create_directories(path.parent_path());
      if (!wine) fs::create_symlink("/usr/bin/" + tool, path);
      if (!wine) continue;
      spit(path, "#!/bin/sh\nfor a; do case $a in [Cc]:*) a=" + shq(c("")) +
                     "${a#??};; esac; set -- \"$@\" \"$(printf %s \"$a\" | tr '\\\\' /)\"; shift; "
                     "done\nmktemp -p " +
                     shq(c("tool-runs")) + " s.XXXXXX >/dev/null\nenv LC_ALL=C /usr/bin/" + tool +
                     " \"$@\"; s=$?\nmktemp -p " + shq(c("tool-runs")) +
                     " e.XXXXXX >/dev/null\nexit $s\n");
      fs::permissions(path, fs::perms::owner_all, fs::perm_options::add);
    }
  }

  // Wine's cmd does not wait for the Linux programs that stand in for the
  // tools: gives whether |runs| of them have ended, waiting for them only
  // while one may still come: |may_run| (the script and its listings, which
  // cmd creates before it starts a tool, are there) and a stand-in has
  // started within 10 s; 60 s at most.
  bool wait_for_tools(size_t runs, bool may_run) const {
    auto count = [&](char kind) {
      size_t n = 0;
      for (const auto& entry : fs::directory_iterator(c("tool-runs")))
        n += entry.path().filename().string()[0] == kind;
      return n;
    };
    for (int i = 0; wine && may_run && i < 3000 && count('e') < runs; ++i) {
      if (i == 500 && count('s') == 0) break;
      usleep(20000);
    }
    return !wine || count('e') == runs;
  }

  // Every file and folder below C:\t, and by full path below install folders;
  // with |contents| false, the names alone.
  Tree tree(bool contents = true) const {
    Tree tree;
    std::vector<std::pair<fs::path, std::string>> roots = {{c("t"), ""}};
    for (const char* dir : kToolDirs) roots.push_back({c(dir + 3), lower(dir) + "\\"});
    for (std::error_code none; const auto& [root, prefix] : roots) {  // a missing root lists none
      for (const auto& entry : fs::recursive_directory_iterator(root, none)) {
        const std::string name =
            prefix + lower(replaced(fs::relative(entry, root).string(), "/", "\\"));
        tree[entry.is_directory() ? name + "\\" : name] =
            entry.is_symlink() || entry.is_directory() || !contents ? "" : slurp(entry);
      }
    }
    return tree;
  }
};

// clang-format off
const Env kUser = {{"AppData", "C:\\t\\appdata"}, {"HomeDrive", "C:"}, {"HomePath", "\\t\\home"}, {"LocalAppData", "C:\\t\\local"}, {"TMP", "C:\\t\\temp"}};
const std::string kTypicalElf = "c:\\t\\build\\blink.cpp.elf";
const std::string kPrefs = "appdata\\arduino\\preferences.txt";

struct Row {
  const char* name;
  std::string prefs = kNone;      // the preferences file's bytes, UTF-8 as the IDE writes them
  std::string prefs_at = kPrefs;  // where: below C:\t, or a path from C:
  Tree files = {};                // more files below C:\t; a name ending in "\" is a folder
  std::string out = "";           // standard output; a failure block ends the run with -1
  std::string base = "";  // the script and listings as the script names them, ending left off
  std::string elf = kTypicalElf;                    // the ELF file as the script names it
  std::vector<std::string> tools = {kToolBins[1]};  // the folders given the tools (with_prefix)
  std::string used = "";  // the one that the script names; empty: the last of tools
  Env env = kUser;
  std::vector<std::string> args = {};
  std::string only = "";      // "native" or "wine": the row runs there alone
  std::string held = "";  // the preferences, or an older script naming |elf|, that the run cannot open
  std::vector<std::string> others = {};  // of |files|, given to uid 65534: another user
  std::string refusing = "";  // a folder that refuses new files (made immutable)
  Tree made = {};             // the start of each file that the run makes besides its own
  std::vector<std::string> older = {};  // files of |files| last written at one time, an hour back
  const char* ansi = nullptr;           // the row's texts are UTF-8, meant in this ANSI code page
  bool prefs_in_ansi = false;           // the preferences saved in that code page, not in UTF-8
  bool split = false;  // under Wine the C runtime's locale English, whatever the code page
  Env record = {};  // members of an <IDE BUILD>'s build.options.json given these values
  std::string documents = "";  // under Wine the shell's Documents folder (User Shell Folders)
  std::string shows = "";  // a source line that the disassembly shows
  std::string cwd = "";    // the folder below C:\t that the run starts in
  int runs = -1;           // under Wine, the tools that run, when a failure block follows
};
void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

const std::string kTypical = crlf({"editor.font=Monospaced,plain,12", "build.path=C:\\t\\build",
                                   "sketchbook.path=C:\\t\\book", "upload.verify=true"});
const Tree kBuilt = {{"build\\blink.cpp.elf", kElf}};
const Tree kSketch = {{"build\\blink.cpp.elf", kElf}, {"book\\sketches\\blink\\blink.ino", ""}};
const std::string kSketchBase = "c:\\t\\book\\sketches\\blink\\blink";
const std::string kBuildBase = "c:\\t\\build\\blink";
const std::string kHelp = slurp(TOLVANE_SOURCE_DIR "/tests/golden/help.txt");
// The IDEs' build folders as a run with kUser's variables searches them, and the failure
// block without a build: those or |places|, then |after|.
const std::vector<std::string> kBuildPlaces = {"    C:\\t\\local\\arduino\\sketches\\*\\", "    C:\\t\\temp\\arduino\\sketches\\*\\", "    C:\\t\\temp\\arduino-sketch-*\\", "    C:\\t\\temp\\arduino_build_*\\", "    C:\\t\\temp\\build*.tmp\\"};
std::string no_build(const std::vector<std::string>& after, std::vector<std::string> places = kBuildPlaces) {
  places.insert(places.begin(), {"**ERROR** No build of any Arduino IDE was found.", "Press Verify in the Arduino IDE, then run Tolvane again.", "IDE 1.x deletes its build when it closes: keep the IDE open.", "Searched for builds in:"});
  places.insert(places.end(), after.begin(), after.end());
  return crlf(places);
}
const std::string kNotFound = no_build({"and for a preferences file naming build.path (IDE 1.x), first at:", "C:\\t\\appdata\\Arduino\\preferences.txt"});
std::string no_build_path(const std::string& prefs = "C:\\t\\appdata\\Arduino\\preferences.txt", const std::vector<std::string>& places = kBuildPlaces) {
  return no_build({"The preferences file read names no build.path:", prefs}, places);
}
const std::vector<std::string> kNoPlaces = {"    none: LocalAppData, TMP, TEMP and UserProfile are unset"};
std::string no_elf(const std::string& dir) {
  return crlf({"**ERROR** Can not find '*.elf' file in build directory:", dir, "Nor was a build of any IDE found: press Verify in the Arduino", "IDE, then run Tolvane again. Searched for builds in:"}) + crlf(kBuildPlaces);
}
// The block without avr-objdump.exe: the folders that the build records, the install folders,
// then the Boards Manager's in |data| and in kUser's Arduino15.
std::string no_objdump(std::vector<std::string> recorded, const std::vector<std::string>& data = {}) {
  recorded.insert(recorded.end(), std::begin(kToolBins), std::end(kToolBins));
  for (const std::string& folder : data) recorded.push_back(folder);
  recorded.push_back("C:\\t\\local\\Arduino15\\");
  for (size_t i = 0; i < recorded.size(); ++i)
    recorded[i] = "    " + recorded[i] + (i < recorded.size() - data.size() - 1 ? "" : "packages\\arduino\\tools\\avr-gcc\\*\\bin\\");
  recorded.insert(recorded.begin(), {"**ERROR** Can not find 'avr-objdump.exe'.", "Searched:"});
  return crlf(recorded);
}
const std::string kDeletes = "The IDE deletes this folder when it closes: copy the listings to keep them.\r\n";
Tree sketch_in(const std::string& folder) {
  return {{"build\\blink.cpp.elf", kElf}, {folder + "\\blink\\blink.ino", ""}};
}
// Preferences as the IDE 1.x writes them: UTF-8, CR LF, the keys sorted.
std::string ide_prefs(const std::string& build, const std::string& book) {
  return crlf({"board=uno", build.empty() ? "build.verbose=false" : "build.path=" + build,
               "editor.font=Monospaced,plain,12", "sketchbook.path=" + book, "upload.verify=true"});
}
// A folder of the Boards Manager's tools in the IDE's data folder.
std::string boards(const std::string& version, const std::string& data = "local\\Arduino15") {
  return "C:\\t\\" + data + "\\packages\\arduino\\tools\\avr-gcc\\" + version + "\\bin\\";
}
const Tree kNoBuilds = {{"temp\\arduino_build_2", "a file"}, {"temp\\arduino_build_3\\", ""}, {"temp\\build1.tmp\\x.elf\\", ""}, {"local\\arduino\\sketches\\", ""}};
std::string taking(const std::string& elf) { return "Taking the newest build: C:\\t\\" + elf + "\r\n"; }
std::string passed(const std::vector<std::string>& paths) {
  std::string lines;
  for (const std::string& path : paths) lines += "Passed over, as another user owns it: " + path + "\r\n";
  return lines;
}
std::string elsewhere(const std::string& dir) {
  return "The sketch's folder refuses new files; the listings go to: " + dir + "\r\n";
}
const std::string kExample = "C:\\Program Files (x86)\\Arduino\\examples\\01.Basics\\Blink\\";
std::string filler(const std::string& line, size_t size) {
  std::string text;
  while (text.size() < size) text += line;
  return text;
}
// Forty characters of three bytes each in UTF-8 and one unit in UTF-16.
const std::string kWide = filler("表", 120);

// A JSON string's text for |text|.
std::string json(const std::string& text) { return replaced(replaced(text, "\\", "\\\\"), "\"", "\\\""); }
// compile_commands.json as IDE 2 writes it, its first entry naming |compiler|.
std::string compile_commands(const std::string& compiler, const std::string& directory = "C:\\t", const std::vector<std::string>& more = {}) {
  std::string arguments = "\"" + json(compiler) + "\",\n      \"-c\"";
  for (const std::string& argument : more) arguments += ",\n      \"" + json(argument) + "\"";
  return "[\n  {\n    \"directory\": \"" + json(directory) + "\",\n    \"arguments\": [\n      " + arguments + "\n    ],\n    \"file\": \"x.cpp\"\n  }\n]\n";
}
// The builder's build folder copied to |path|, its build.options.json's members given these
// values as the IDE would write them (one it lacks comes first), the sketch C:\t\ide\Blink's.
void ide_build(const fs::path& path, const Env& record) {
  fs::copy(TOLVANE_IDE_BUILD, path, fs::copy_options::recursive);
  std::string text = slurp(path / "build.options.json");
  Env members = {{"sketchLocation", "C:\\t\\ide\\Blink\\Blink.ino"}};
  members.insert(members.end(), record.begin(), record.end());
  for (const auto& [key, value] : members) {
    const std::regex member("\"" + key + "\": \"[^\"]*\"");
    const std::string item = "\"" + key + "\": \"" + replaced(json(value), "$", "$$") + "\"";
    text = std::regex_search(text, member) ? std::regex_replace(text, member, item)
                                           : "{\n  " + item + "," + text.substr(1);
  }
  spit(path / "build.options.json", text);
}
// A build of IDE 1.8 unpacked in Downloads whose records name tools that are gone.
const std::string kZip = "C:\\t\\Downloads\\arduino-1.8.19\\";
const Tree kToolsGone = {{"temp\\arduino_build_1\\", kIdeBuild}, {"ide\\Blink\\Blink.ino", ""}, {"gcc\\bin\\avr-g++.exe", ""}, {"temp\\arduino_build_1\\compile_commands.json", compile_commands("C:\\t\\gcc\\bin\\avr-g++")}};
const Env kGoneRecord = {{"builtInToolsFolders", kZip + "tools-builder," + kZip + "hardware\\tools\\avr"}, {"customBuildProperties", "runtime.tools.avr-gcc.path=" + kZip + "hardware\\tools\\avr"}};
const std::string kTakingZip = taking("temp\\arduino_build_1\\Blink.ino.elf");
const std::string kZipElf = "C:\\t\\temp\\arduino_build_1\\Blink.ino.elf";

// The ARM toolchain of an Uno R4's core as the Boards Manager installs it; a build for another
// chip whose toolchain is not found; an ELF header of a big-endian SPARC.
const std::string kArmGcc = "C:\\t\\local\\Arduino15\\packages\\arduino\\tools\\arm-none-eabi-gcc\\7-2017q4";
const std::string kArmTools = kArmGcc + "\\bin\\arm-none-eabi-";
std::string not_found(const std::string& chip, const std::string& elf, const std::vector<std::string>& folders) {
  const std::vector<std::string> installed = {"None holds tools for this chip. Reinstall the board's core in the IDE's", "Boards Manager and press Verify, or name the tools in a dump script of your", "own and make it read-only: Tolvane then runs it as it stands."};
  return crlf({"**ERROR** This build is for " + chip + ", and no toolchain for it was found:", elf, "Searched for its objdump.exe in:"}) + crlf(folders) + (folders[0] == "    none" ? "Install the board's core in the IDE's Boards Manager, then press Verify.\r\n" : crlf(installed));
}
// The install folders' ARM tools that the Teensyduino installer adds, as the block names them.
std::vector<std::string> install_arm(std::vector<std::string> lines) {
  for (const char* dir : kToolDirs) lines.push_back("    " + std::string(dir) + "\\hardware\\tools\\arm\\bin\\");
  return lines;
}
// The Boards Manager's packages, and IDE 1.8 builds of a core of theirs in its temporary folder
// (the sketch in C:\t\ide\Blink): the ELF file |elf| (none: the AVR one) and the image |image| of
// esptool's header with that chip id (-1: none) beside it; the records name for each of
// |recorded| (a tool and its folder below kPk) both its runtime.tools keys; the tools go to
// |tools|, and the script names |used|.
const std::string kPk = "C:\\t\\local\\Arduino15\\packages\\";
std::string image(int chip) { return std::string("\xE9\x03\x02\x20\x00\x00\x08\x40\xEE\x00\x00\x00", 12) + char(chip) + std::string(11, '\0'); }
Row core_build(const char* name, const std::string& elf, int chip, const std::vector<std::pair<std::string, std::string>>& recorded, const std::vector<std::string>& tools, const std::string& used, const std::string& out = kTakingZip) {
  Row row = {.name = name, .files = {{"temp\\arduino_build_1\\", kIdeBuild}, {"ide\\Blink\\Blink.ino", ""}}, .out = out, .base = out.find("**E") == std::string::npos ? "C:\\t\\ide\\Blink\\Blink" : "", .elf = kZipElf, .tools = tools, .used = used};
  if (!elf.empty()) row.files["temp\\arduino_build_1\\Blink.ino.elf"] = elf;
  if (chip >= 0) row.files["temp\\arduino_build_1\\Blink.ino.bin"] = image(chip);
  std::string properties = "build.warn_data_percentage=75";
  for (const auto& [tool, folder] : recorded)
    properties += ",runtime.tools." + tool + ".path=" + kPk + folder + ",runtime.tools." + tool + "-" + folder.substr(folder.rfind('\\') + 1) + ".path=" + kPk + folder;
  row.record = {{"customBuildProperties", properties}, {"toolsFolders", ""}};
  return row;
}
// What each listing shows near its start, by the prefix of the tools that made it.
const std::map<std::string, std::pair<const char*, const char*>> kListed = {{"avr-", {"format elf32-avr", "Atmel AVR"}}, {"arm-none-eabi-", {"format elf32-littlearm", "Machine:                           ARM"}}, {"xtensa-lx106-elf-", {"format elf32-xtensa-le", "Tensilica Xtensa"}}, {"riscv64-unknown-elf-", {"format elf32-littleriscv", "RISC-V"}}};
const std::string kSparc = std::string("\x7F" "ELF\1\2\1", 7) + std::string(12, '\0') + '\2' + std::string(32, '\0');
const std::string kEsp = "local\\arduino\\sketches\\E5P\\";

// A valid build.options.json of exactly 1 MiB, naming C:\t\ide\Blink, and spaces after it.
const std::string kMebibyteOptions = [] {
  std::string json = "{\"sketchLocation\": \"C:\\\\t\\\\ide\\\\Blink\", \"x\": \"\"}";
  return json.insert(json.size() - 2, (1 << 20) - json.size(), 'x') + "    ";
}();

const Row kRows[] = {
  {.name = "help", .prefs = kNone, .out = kHelp, .args = {"/?"}},
  {.name = "help_for_two_empty_arguments_or_a_wildcard", .prefs = kNone, .files = {{"x.ino", ""}}, .out = kHelp, .args = {"", "*.ino", ""}},
  {.name = "one_empty_argument_runs_the_job", .prefs = kTypical, .files = kSketch, .base = kSketchBase, .args = {""}},
  {.name = "typical", .prefs = kTypical, .files = kSketch, .base = kSketchBase},
  {.name = "forward_and_doubled_slashes_printed_as_the_system_spells_them", .prefs = crlf({"build.path=C:\\t\\build", "sketchbook.path=C:/t//book/"}), .files = kSketch, .base = "c:\\t\\book\\sketches\\blink\\blink"},
  {.name = "sketchbook_folder", .prefs = kTypical, .files = sketch_in("book"), .base = "c:\\t\\book\\blink\\blink"},
  {.name = "documents_projects", .prefs = kTypical, .files = sketch_in("home\\Documents\\Projects"), .base = "C:\\t\\home\\Documents\\Projects\\blink\\blink"},
  {.name = "my_documents_projects", .prefs = kTypical, .files = sketch_in("home\\My Documents\\Projects"), .base = "C:\\t\\home\\My Documents\\Projects\\blink\\blink"},
  {.name = "documents_arduino", .prefs = kTypical, .files = sketch_in("home\\Documents\\Arduino"), .base = "C:\\t\\home\\Documents\\Arduino\\blink\\blink"},
  {.name = "my_documents_arduino", .prefs = kTypical, .files = sketch_in("home\\My Documents\\Arduino"), .base = "C:\\t\\home\\My Documents\\Arduino\\blink\\blink"},
  {.name = "the_earlier_candidate_wins", .prefs = kTypical, .files = {{"book\\sketches\\blink\\blink.ino", ""}, {"book\\blink\\blink.ino", ""}, {"build\\blink.cpp.elf", kElf}, {"home\\Documents\\Arduino\\blink\\blink.ino", ""}}, .base = kSketchBase},
  {.name = "no_source_output_in_build", .prefs = kTypical, .files = kBuilt, .base = kBuildBase},
  {.name = "projects_before_arduino", .prefs = kTypical, .files = {{"build\\blink.cpp.elf", kElf}, {"home\\My Documents\\Projects\\blink\\blink.ino", ""}, {"home\\Documents\\Arduino\\blink\\blink.ino", ""}}, .base = "C:\\t\\home\\My Documents\\Projects\\blink\\blink"},
  {.name = "no_sketchbook_current_folder", .prefs = crlf({"build.path=C:\\t\\build"}), .files = {{"build\\blink.cpp.elf", kElf}, {"blink.ino", ""}}, .base = "C:\\t\\blink"},
  {.name = "program_files_before_tools_planted_in_c_bin_arduino", .prefs = kTypical, .files = kBuilt, .base = kBuildBase, .tools = {kToolBins[1], kToolBins[3]}, .used = kToolBins[1]},
  {.name = "first_tool_location", .prefs = kTypical, .files = kBuilt, .base = kBuildBase, .tools = {kToolBins[0]}},
  {.name = "fourth_tool_location", .prefs = kTypical, .files = kBuilt, .base = kBuildBase, .tools = {kToolBins[3]}},
  {.name = "a_pde_sketch", .prefs = kTypical, .files = {{"build\\blink.pde.elf", kElf}, {"book\\blink\\blink.pde", ""}}, .base = "c:\\t\\book\\blink\\blink", .elf = "c:\\t\\build\\blink.pde.elf"},
  {.name = "elf_with_neither_ending", .prefs = kTypical, .files = {{"build\\blink.elf", kElf}, {"build\\.ino", ""}}, .base = "c:\\t\\build\\", .elf = "c:\\t\\build\\blink.elf"},
  {.name = "spaces_parentheses_ampersand_percent", .prefs = crlf({"build.path=C:\\t\\My Build", "sketchbook.path=C:\\t\\My (1) & 100%"}), .files = {{"my build\\my blink.cpp.elf", kElf}, {"My (1) & 100%\\sketches\\my blink\\my blink.ino", ""}}, .base = "c:\\t\\my (1) & 100%%\\sketches\\my blink\\my blink", .elf = "c:\\t\\my build\\my blink.cpp.elf"},
  {.name = "older_script_and_listings_replaced_whole", .prefs = kTypical, .files = {{"build\\blink.cpp.elf", kElf}, {"book\\sketches\\blink\\blink.ino", ""}, {"book\\sketches\\blink\\blink_dump.cmd", std::string(5000, 'x')}, {"book\\sketches\\blink\\blink.asm.txt", "older\r\n"}, {"book\\sketches\\blink\\blink.hrd.txt", "older\r\n"}}, .base = kSketchBase},
  {.name = "a_kept_script_naming_the_build_runs_as_it_is", .prefs = kTypical, .files = kSketch, .out = "The dump script ran as it stands: c:\\t\\book\\sketches\\blink\\blink_dump.cmd\r\n", .held = "book\\sketches\\blink\\blink_dump.cmd", .made = {{"kept.txt", "ELF Header:"}}},
  {.name = "a_kept_script_naming_a_deleted_build", .prefs = kTypical, .files = kSketch, .out = crlf({"**ERROR** The dump script can not be written anew, and it does not name", "          the build just made. The script:", "c:\\t\\book\\sketches\\blink\\blink_dump.cmd", "The build it should name:", kTypicalElf, "Make the script writable, so that it is written anew, or edit its path."}), .elf = "C:\\t\\temp\\arduino_build_1\\Blink.ino.elf", .held = "book\\sketches\\blink\\blink_dump.cmd"},
  {.name = "nothing_another_user_owns_is_taken", .prefs = kNone, .files = {{"C:\\Arduino\\portable\\preferences.txt", crlf({"build.path=C:\\Arduino\\b"})}, {"C:\\Arduino\\b\\x.cpp.elf", kElf}, {"temp\\arduino_build_9\\", kIdeBuild}, {"local\\arduino\\sketches\\4F6A\\", kIdeBuild}, {"local\\arduino\\sketches\\4F6A\\compile_commands.json", compile_commands("C:\\t\\gcc\\bin\\avr-g++")}, {"ide\\Blink\\Blink.ino", ""}, {"home\\Documents\\Projects\\Blink\\Blink.ino", ""}, {"home\\My Documents\\Projects\\Blink\\Blink.ino", ""}, {"home\\Documents\\Arduino\\Blink\\Blink.ino", ""}}, .out = passed({"C:\\Arduino\\portable\\preferences.txt", "C:\\t\\temp\\arduino_build_9\\", "C:\\t\\local\\arduino\\sketches\\4F6A\\build.options.json", "C:\\t\\home\\Documents\\Projects\\Blink\\", "C:\\t\\home\\My Documents\\Projects\\Blink\\Blink_dump.cmd", "C:\\t\\local\\arduino\\sketches\\4F6A\\compile_commands.json", kToolBins[1] + "avr-objdump.exe", kToolBins[2], kToolBins[3] + "avr-readelf.exe"}) + taking("local\\arduino\\sketches\\4F6A\\Blink.ino.elf"), .base = "C:\\t\\home\\Documents\\Arduino\\Blink\\Blink", .elf = "C:\\t\\local\\arduino\\sketches\\4F6A\\Blink.ino.elf", .tools = {"C:\\t\\gcc\\bin\\", kToolBins[1], kToolBins[2], kToolBins[3], boards("7.3.0")}, .held = "home\\My Documents\\Projects\\Blink\\Blink_dump.cmd", .others = {"C:\\Arduino\\portable\\preferences.txt", "temp\\arduino_build_9\\", "local\\arduino\\sketches\\4F6A\\build.options.json", "local\\arduino\\sketches\\4F6A\\compile_commands.json", "home\\Documents\\Projects\\Blink\\", kToolBins[1] + "avr-objdump.exe", kToolBins[2], kToolBins[3] + "avr-readelf.exe", "home\\My Documents\\Projects\\Blink\\Blink_dump.cmd"}, .older = {"local\\arduino\\sketches\\4F6A\\Blink.ino.elf"}},
  {.name = "an_interpreter_that_cannot_start", .prefs = kTypical, .files = kSketch, .out = crlf({"**ERROR** Can not start the command interpreter:", "C:\\Windows\\system32\\cmd-gone.exe"}), .env = {{"AppData", "C:\\t\\appdata"}, {"ComSpec", "C:\\Windows\\system32\\cmd-gone.exe"}}, .made = {{"book\\sketches\\blink\\blink_dump.cmd", "\"C:\\Program Files\\Arduino"}}},
  {.name = "the_interpreter_runs_without_autorun_and_delayed_expansion", .prefs = crlf({"build.path=C:\\t\\build", "sketchbook.path=C:\\t\\Fun! Stuff"}), .files = {{"build\\blink.cpp.elf", kElf}, {"Fun! Stuff\\blink\\blink.ino", ""}, {"cmd.exe", kInterpreter}}, .base = "c:\\t\\fun! stuff\\blink\\blink", .env = {{"AppData", "C:\\t\\appdata"}, {"ComSpec", "C:\\t\\cmd.exe"}}, .only = "wine", .made = {{"interpreter.txt", "\"C:\\t\\cmd.exe\" /d /v:off /c \"\"%TOLVANE_DUMP_SCRIPT%\"\""}}},
  {.name = "a_refused_script_goes_to_the_next_sketch_folder", .prefs = kTypical, .files = {{"build\\blink.cpp.elf", kElf}, {"book\\sketches\\blink\\blink.ino", ""}, {"book\\sketches\\blink\\blink_dump.cmd\\", ""}, {"home\\Documents\\Arduino\\blink\\blink.ino", ""}}, .out = elsewhere("C:\\t\\home\\Documents\\Arduino\\blink\\"), .base = "C:\\t\\home\\Documents\\Arduino\\blink\\blink"},
  {.name = "script_that_cannot_be_written_anywhere_each_folder_tried_once", .prefs = crlf({"build.path=C:\\t\\build", "sketchbook.path=C:\\t\\home\\Documents\\Arduino"}), .files = {{"build\\blink.cpp.elf", kElf}, {"home\\Documents\\Arduino\\blink\\blink.ino", ""}, {"home\\Documents\\Arduino\\blink\\blink_dump.cmd\\", ""}, {"build\\blink_dump.cmd\\", ""}}, .out = crlf({"**ERROR** Can not write the dump script:", "c:\\t\\home\\documents\\arduino\\blink\\blink_dump.cmd", "c:\\t\\build\\blink_dump.cmd"})},
  {.name = "an_example_folder_that_refuses_writing", .files = {{"temp\\arduino_build_5\\Blink.ino.elf", kArduinoElf}, {"temp\\arduino_build_5\\build.options.json", "{\"sketchLocation\": \"C:\\\\Program Files (x86)\\\\Arduino\\\\examples\\\\01.Basics\\\\Blink\\\\Blink.ino\"}"}, {kExample + "Blink.ino", ""}, {"home\\Documents\\Arduino\\Blink\\Blink.ino", ""}}, .out = taking("temp\\arduino_build_5\\Blink.ino.elf") + elsewhere("C:\\t\\temp\\arduino_build_5\\") + kDeletes, .base = "C:\\t\\temp\\arduino_build_5\\Blink", .elf = "C:\\t\\temp\\arduino_build_5\\Blink.ino.elf", .refusing = kExample},
  {.name = "ide_2_before_the_first_verify", .files = {{"temp\\arduino_build_2", "a file"}, {"temp\\arduino_build_3\\", ""}, {"temp\\build1.tmp\\x.elf\\", ""}, {"local\\arduino\\sketches\\", ""}, {"local\\Arduino15\\arduino-cli.yaml", "board_manager:\n"}, {"appdata\\arduino-ide\\", ""}}, .out = kNotFound},
  {.name = "no_appdata", .prefs = kTypical, .files = kSketch, .out = no_build({"and for a preferences file naming build.path (IDE 1.x), first at:", "\\Arduino\\preferences.txt"}, kNoPlaces), .env = {{"HomeDrive", "C:"}, {"HomePath", "\\t\\home"}}},
  {.name = "preferences_a_folder", .prefs = kNone, .files = {{kPrefs + "\\", ""}}, .out = kNotFound},
  {.name = "preferences_unreadable", .prefs = kTypical, .files = kSketch, .out = crlf({"**Error** opening Ardunio preferences file:", "C:\\t\\appdata\\Arduino\\preferences.txt"}), .only = "native", .held = kPrefs},
  {.name = "no_build_path_and_no_build", .prefs = ide_prefs("", "C:\\t\\book"), .files = kNoBuilds, .out = no_build_path()},
  {.name = "no_build_names_the_preferences_file_read", .prefs = ide_prefs("", "C:\\t\\book"), .prefs_at = "local\\Arduino15\\preferences.txt", .files = kSketch, .out = no_build_path("C:\\t\\local\\Arduino15\\preferences.txt")},
  {.name = "empty_build_path", .prefs = crlf({"build.path=  "}), .files = kSketch, .out = no_build_path()},
  {.name = "build_path_without_equals", .prefs = crlf({"build.path C:\\t\\build"}), .files = kSketch, .out = no_build_path()},
  {.name = "no_build_and_no_build_folders_to_search", .prefs = crlf({"build.path="}), .files = kSketch, .out = no_build_path("C:\\t\\appdata\\Arduino\\preferences.txt", kNoPlaces), .env = {{"AppData", "C:\\t\\appdata"}}},
  {.name = "byte_order_mark_hides_the_first_line", .prefs = "\xEF\xBB\xBF" + crlf({"build.path=C:\\t\\build"}), .files = kSketch, .out = no_build_path()},
  {.name = "ctrl_z_ends_the_data", .prefs = crlf({"sketchbook.path=C:\\t\\book", "\x1a", "build.path=C:\\t\\build"}), .files = kSketch, .out = no_build_path()},
  {.name = "no_elf", .prefs = kTypical, .files = {{"build\\blink.ino", ""}, {"build\\folder.elf\\", ""}, {"build\\x.elfold", kElf}}, .out = no_elf("c:\\t\\build\\")},
  {.name = "cr_alone_ends_no_line", .prefs = "build.path=C:\\t\\build\rsketchbook.path=C:\\t\\book\r\n", .files = kSketch, .out = no_elf("c:\\t\\build\rsketchbook.path=c:\\t\\book\\")},
  {.name = "nul_in_the_build_path", .prefs = std::string("build.path=C:\\t\\bu\0ild\r\n", 24), .files = kSketch, .out = no_elf(std::string("c:\\t\\bu\0ild\\", 12))},
  {.name = "no_objdump", .prefs = kTypical, .files = kSketch, .out = no_objdump({}, {"C:\\t\\appdata\\Arduino\\"}), .tools = {}},
  {.name = "keys_in_any_case_values_lowered", .prefs = crlf({"BUILD.Path=C:\\T\\BUILD", "SketchBook.PATH=C:\\t\\Book"}), .files = kSketch, .base = kSketchBase},
  {.name = "spaces_around_the_key_and_value", .prefs = crlf({"  build.path =  C:\\t\\my  build  ", "sketchbook.path=C:\\t\\book"}), .files = {{"my  build\\blink.cpp.elf", kElf}, {"book\\sketches\\blink\\blink.ino", ""}}, .base = kSketchBase, .elf = "c:\\t\\my  build\\blink.cpp.elf"},
  {.name = "the_last_line_wins_and_a_longer_key_counts", .prefs = "build.path=C:\\t\\x\nbuild.paths=C:\\t\\build\r\nsketchbook.path=C:\\t\\book\n", .files = kSketch, .base = kSketchBase},
  {.name = "short_build_path", .prefs = crlf({"build.path=b"}), .files = {{"b\\blink.cpp.elf", kElf}}, .base = "b\\blink", .elf = "b\\blink.cpp.elf"},
  {.name = "nul_bytes_at_the_end", .prefs = kTypical + std::string("build.path=C:\\t\\build\0\0", 23), .files = kSketch, .base = kSketchBase},
  {.name = "a_megabyte_before_the_build_path", .prefs = filler("editor.font=x\r\n", 1 << 20) + "build.path=C:\\t\\build", .files = kBuilt, .base = kBuildBase},
  {.name = "a_real_arduino_build", .prefs = crlf({"board=uno", "build.path=C:\\t\\build", "sketchbook.path=C:\\t\\book"}), .files = {{"build\\Blink.cpp.elf", kArduinoElf}, {"book\\Blink\\Blink.ino", ""}}, .base = "c:\\t\\book\\Blink\\Blink", .elf = "c:\\t\\build\\Blink.cpp.elf"},
  {.name = "lf_only_just_past_4_kib", .prefs = filler("k=v\n", 4100) + "build.path=C:\\t\\build", .files = kBuilt, .base = kBuildBase},
  {.name = "lf_only_just_past_8_kib", .prefs = filler("k=v\n", 8200) + "build.path=C:\\t\\build", .files = kBuilt, .base = kBuildBase},
  {.name = "home_and_sketch_outside_ascii", .prefs = ide_prefs("C:\\t\\Zoë\\Build", "C:\\t\\Zoë\\Documents\\Arduino"), .files = {{"zoë\\build\\Käfer.ino.elf", kElf}, {"zoë\\documents\\arduino\\Käfer\\Käfer.ino", ""}}, .base = "c:\\t\\zoë\\documents\\arduino\\Käfer\\Käfer", .elf = "c:\\t\\zoë\\build\\Käfer.ino.elf", .env = {{"AppData", "C:\\t\\appdata"}, {"HomeDrive", "C:"}, {"HomePath", "\\t\\Zoë"}}, .ansi = "CP1252"},
  {.name = "preferences_saved_in_ansi", .prefs = kTypical, .files = {{"build\\Käfer.cpp.elf", kElf}, {"home\\Zoë\\Documents\\Arduino\\Käfer\\Käfer.ino", ""}}, .base = "C:\\t\\home\\Zoë\\Documents\\Arduino\\Käfer\\Käfer", .elf = "c:\\t\\build\\Käfer.cpp.elf", .env = {{"AppData", "C:\\t\\appdata"}, {"HomeDrive", "C:"}, {"HomePath", "\\t\\home\\Zoë"}}, .ansi = "CP1252", .prefs_in_ansi = true},
  {.name = "a_setting_the_ansi_code_page_lacks", .prefs = ide_prefs("C:\\t\\Ωmega", "C:\\t\\book"), .prefs_at = "local\\Arduino15\\preferences.txt", .files = kSketch, .out = crlf({"**ERROR** This system's code page has no place for a character of", "          'build.path' in the Arduino preferences file:", "C:\\t\\local\\Arduino15\\preferences.txt"}), .only = "wine"},
  {.name = "a_preferences_file_that_the_code_page_cannot_read_beside_another_is_passed_over", .prefs = ide_prefs("C:\\t\\Ωmega", "C:\\t\\x"), .files = {{"build\\blink.cpp.elf", kElf}, {"book\\sketches\\blink\\blink.ino", ""}, {"local\\Arduino15\\preferences.txt", kTypical}}, .out = "Passed over, as this system's code page lacks a character of its build.path: C:\\t\\appdata\\Arduino\\preferences.txt\r\n", .base = kSketchBase, .only = "wine"},
  {.name = "ide_1_8_the_recorded_sketch_not_the_sketchbooks_of_its_name", .prefs = ide_prefs("C:\\t\\build", "C:\\t\\book"), .prefs_at = "local\\Arduino15\\preferences.txt", .files = {{"build\\", kIdeBuild}, {"book\\Blink\\Blink.ino", ""}, {"ide\\Blink\\Blink.ino", ""}}, .base = "C:\\t\\ide\\Blink\\Blink", .elf = "c:\\t\\build\\Blink.ino.elf"},
  {.name = "documents_in_onedrive", .prefs = crlf({"build.path=C:\\t\\build"}), .prefs_at = "home\\OneDrive\\Documents\\ArduinoData\\preferences.txt", .files = sketch_in("home\\OneDrive\\Documents\\Arduino"), .base = "C:\\t\\home\\OneDrive\\Documents\\Arduino\\blink\\blink", .only = "wine", .documents = "C:\\t\\home\\OneDrive\\Documents"},
  {.name = "ide_1_8_sketch_found_through_the_build_options", .prefs = ide_prefs("C:\\t\\build", "C:\\t\\book"), .prefs_at = "home\\Documents\\ArduinoData\\preferences.txt", .files = {{"build\\", kIdeBuild}, {"ide\\Blink\\Blink.ino", ""}}, .base = "C:\\t\\ide\\Blink\\Blink", .elf = "c:\\t\\build\\Blink.ino.elf"},
  {.name = "portable_ide", .prefs = ide_prefs("C:\\t\\build", "C:\\t\\book"), .prefs_at = "C:\\Arduino\\portable\\preferences.txt", .files = kSketch, .base = kSketchBase},
  {.name = "the_first_place_wins", .prefs = kTypical, .files = {{"build\\blink.cpp.elf", kElf}, {"book\\sketches\\blink\\blink.ino", ""}, {"local\\Arduino15\\preferences.txt", ide_prefs("C:\\t\\x", "C:\\t\\x")}}, .base = kSketchBase},
  {.name = "build_options_escaped", .prefs = kTypical, .files = {{"build\\blink.cpp.elf", kElf}, {"build\\build.options.json", "{\"fqbn\": \"arduino:avr:uno\", \"sketchLocation\": \"C:\\\\t\\\\Zo\\u00eb\\\\blink\"}"}, {"Zoë\\blink\\blink.ino", ""}}, .base = "C:\\t\\Zoë\\blink\\blink", .ansi = "CP1252"},
  {.name = "build_options_malformed", .prefs = kTypical, .files = {{"build\\blink.cpp.elf", kElf}, {"build\\build.options.json", "{\"sketchLocation\": \"C:\\\\t\\\\ide\\\\blink\",}"}, {"ide\\blink\\blink.ino", ""}}, .base = kBuildBase},
  {.name = "boards_manager_newest_version", .prefs = ide_prefs("C:\\t\\build", "C:\\t\\book"), .prefs_at = "local\\Arduino15\\preferences.txt", .files = {{"build\\blink.cpp.elf", kElf}, {"local\\Arduino15\\packages\\arduino\\tools\\avr-gcc\\9.0.0\\bin\\", ""}}, .base = kBuildBase, .tools = {boards("5.4.0-atmel3.6.1-arduino2"), boards("7.3.0-atmel3.6.1-arduino10"), boards("7.3.0-atmel3.6.1-arduino7")}, .used = boards("7.3.0-atmel3.6.1-arduino10")},
  {.name = "boards_manager_of_a_portable_ide_after_the_install_folders", .prefs = kTypical, .prefs_at = "C:\\Arduino\\portable\\preferences.txt", .files = kBuilt, .base = kBuildBase, .tools = {boards("7.3.0", "C:\\Arduino\\portable"), kToolBins[3]}},
  {.name = "ide_2_3_build_in_local_appdata", .files = {{"local\\arduino\\sketches\\4F6A\\", kIdeBuild}, {"ide\\Blink\\Blink.ino", ""}}, .out = taking("local\\arduino\\sketches\\4F6A\\Blink.ino.elf"), .base = "C:\\t\\ide\\Blink\\Blink", .elf = "C:\\t\\local\\arduino\\sketches\\4F6A\\Blink.ino.elf", .tools = {boards("7.3.0-atmel3.6.1-arduino7")}},
  {.name = "ide_2_0_build_in_temp", .files = {{"temp\\arduino\\sketches\\9C1E\\", kIdeBuild}}, .out = taking("temp\\arduino\\sketches\\9C1E\\Blink.ino.elf"), .base = "C:\\t\\temp\\arduino\\sketches\\9C1E\\Blink", .elf = "C:\\t\\temp\\arduino\\sketches\\9C1E\\Blink.ino.elf"},
  {.name = "early_ide_2_0_build_options_first", .files = {{"temp\\arduino-sketch-9C1E\\", kIdeBuild}, {"ide\\Blink\\Blink.ino", ""}, {"home\\Documents\\Arduino\\Blink\\Blink.ino", ""}}, .out = taking("temp\\arduino-sketch-9C1E\\Blink.ino.elf"), .base = "C:\\t\\ide\\Blink\\Blink", .elf = "C:\\t\\temp\\arduino-sketch-9C1E\\Blink.ino.elf", .env = {{"HomeDrive", "C:"}, {"HomePath", "\\t\\home"}, {"UserProfile", "C:\\t\\temp\\"}}},
  {.name = "ide_1_8_build_in_temp_without_build_path_and_no_hook_line_from_a_command_prompt", .prefs = ide_prefs("", "C:\\t\\book"), .files = {{"temp\\arduino_build_123456\\", kIdeBuild}, {"book\\Blink\\Blink.ino", ""}, {"ide\\hardware\\arduino\\avr\\platform.txt", ""}}, .out = taking("temp\\arduino_build_123456\\Blink.ino.elf"), .base = "c:\\t\\book\\Blink\\Blink", .elf = "C:\\t\\temp\\arduino_build_123456\\Blink.ino.elf", .record = {{"hardwareFolders", "C:\\t\\ide\\hardware"}}},
  {.name = "ide_1_0_build_in_temp", .files = {{"temp\\build5012.tmp\\Blink.cpp.elf", kArduinoElf}}, .out = taking("temp\\build5012.tmp\\Blink.cpp.elf") + kDeletes, .base = "C:\\t\\temp\\build5012.tmp\\Blink", .elf = "C:\\t\\temp\\build5012.tmp\\Blink.cpp.elf", .env = {{"TEMP", "C:\\t\\temp"}}},
  {.name = "equal_times_the_earlier_place_wins_and_tmp_before_temp", .files = {{"local\\arduino\\sketches\\4F6A\\", kIdeBuild}, {"temp\\arduino_build_1\\", kIdeBuild}, {"other\\arduino_build_9\\", kIdeBuild}, {"temp\\arduino_build_2", "a file"}, {"temp\\arduino_build_3\\x.elf\\", ""}}, .out = taking("local\\arduino\\sketches\\4F6A\\Blink.ino.elf"), .base = "C:\\t\\local\\arduino\\sketches\\4F6A\\Blink", .elf = "C:\\t\\local\\arduino\\sketches\\4F6A\\Blink.ino.elf", .env = {{"LocalAppData", "C:\\t\\local"}, {"TMP", "C:\\t\\temp"}, {"TEMP", "C:\\t\\other"}}, .older = {"local\\arduino\\sketches\\4F6A\\Blink.ino.elf", "temp\\arduino_build_1\\Blink.ino.elf"}},
  {.name = "a_newer_ide_2_build_wins_over_the_build_path", .prefs = kTypical, .files = {{"build\\blink.cpp.elf", kElf}, {"book\\sketches\\blink\\blink.ino", ""}, {"local\\arduino\\sketches\\4F6A\\", kIdeBuild}}, .out = taking("local\\arduino\\sketches\\4F6A\\Blink.ino.elf"), .base = "c:\\t\\book\\sketches\\Blink\\Blink", .elf = "C:\\t\\local\\arduino\\sketches\\4F6A\\Blink.ino.elf", .older = {"build\\blink.cpp.elf"}},
  {.name = "the_newest_elf_of_the_build_path_and_the_builds", .prefs = kTypical, .files = {{"build\\blink.cpp.elf", kElf}, {"build\\blink.ino.elf", kElf}, {"book\\sketches\\blink\\blink.ino", ""}, {"temp\\arduino_build_1\\", kIdeBuild}}, .base = kSketchBase, .elf = "c:\\t\\build\\blink.ino.elf", .older = {"build\\blink.cpp.elf", "temp\\arduino_build_1\\Blink.ino.elf"}},
  {.name = "a_temporary_copy_with_unsaved_edits_goes_to_the_build_folder", .files = {{"temp\\arduino_build_4\\Blink.ino.elf", kArduinoElf}, {"temp\\arduino_build_4\\build.options.json", "{\"sketchLocation\": \"C:\\\\t\\\\temp\\\\arduino_modified_sketch_1\\\\Blink\\\\Blink.ino\"}"}, {"temp\\arduino_modified_sketch_1\\Blink\\Blink.ino", ""}, {"home\\Documents\\Arduino\\Blink\\Blink.ino", ""}}, .out = taking("temp\\arduino_build_4\\Blink.ino.elf") + kDeletes, .base = "C:\\t\\temp\\arduino_build_4\\Blink", .elf = "C:\\t\\temp\\arduino_build_4\\Blink.ino.elf"},
  {.name = "a_portable_sketchbook", .prefs = ide_prefs("C:\\t\\build", "sketchbook"), .prefs_at = "C:\\Arduino\\portable\\preferences.txt", .files = {{"build\\blink.cpp.elf", kElf}, {"C:\\Arduino\\portable\\sketchbook\\blink\\blink.ino", ""}}, .base = "C:\\Arduino\\portable\\sketchbook\\blink\\blink"},
  {.name = "utf_8_as_the_system_code_page", .prefs = crlf({"build.path=C:\\t\\" + kWide, "sketchbook.path=C:\\t\\Käfer"}), .files = {{kWide + "\\blink.cpp.elf", kElf}, {"Käfer\\sketches\\blink\\blink.ino", ""}}, .base = "c:\\t\\käfer\\sketches\\blink\\blink", .elf = "c:\\t\\" + kWide + "\\blink.cpp.elf", .ansi = "UTF-8", .split = true},
  {.name = "a_home_ending_in_a_double_byte_backslash", .prefs = ide_prefs("C:\\t\\build", "C:\\t\\book"), .prefs_at = "表\\Documents\\ArduinoData\\preferences.txt", .files = sketch_in("表\\Documents\\Arduino"), .base = "C:\\t\\表\\Documents\\Arduino\\blink\\blink", .env = {{"HomeDrive", "C:"}, {"HomePath", "\\t\\表"}}, .ansi = "CP932"},
  {.name = "build_options_over_a_mebibyte_ignored", .files = {{"temp\\arduino_build_7\\Blink.ino.elf", kArduinoElf}, {"temp\\arduino_build_7\\build.options.json", kMebibyteOptions}, {"ide\\Blink\\Blink.ino", ""}, {"home\\Documents\\Arduino\\Blink\\Blink.ino", ""}}, .out = taking("temp\\arduino_build_7\\Blink.ino.elf"), .base = "C:\\t\\home\\Documents\\Arduino\\Blink\\Blink", .elf = "C:\\t\\temp\\arduino_build_7\\Blink.ino.elf"},
  {.name = "ide_1_8_zip_tools_by_built_in_tools_folders_with_commas_before_an_install_folder", .files = {{"temp\\arduino_build_1\\", kIdeBuild}, {"ide\\Blink\\Blink.ino", ""}}, .out = kTakingZip, .base = "C:\\t\\ide\\Blink\\Blink", .elf = kZipElf, .tools = {kToolBins[0], "C:\\t\\IDE, 1.8,x\\hardware\\tools\\avr\\bin\\"}, .record = {{"builtInToolsFolders", "C:\\t\\IDE, 1.8,x\\tools-builder,C:\\t\\IDE, 1.8,x\\hardware\\tools\\avr,C:\\t\\local\\Arduino15\\packages"}}},
  {.name = "ide_1_8_tools_by_runtime_tools_path_with_a_comma", .prefs = ide_prefs("C:\\t\\build", "C:\\t\\book"), .prefs_at = "local\\Arduino15\\preferences.txt", .files = {{"build\\", kIdeBuild}, {"book\\Blink\\Blink.ino", ""}}, .base = "c:\\t\\book\\Blink\\Blink", .elf = "c:\\t\\build\\Blink.ino.elf", .tools = {"C:\\t\\other\\bin\\", "C:\\t\\D, E\\arduino-1.8.19\\hardware\\tools\\avr\\bin\\"}, .record = {{"customBuildProperties", "build.warn_data_percentage=75,runtime.tools.avr-gcc.path=C:\\t\\D, E\\arduino-1.8.19\\hardware\\tools\\avr,runtime.tools.avrdude.path=C:\\t\\D, E"}, {"builtInToolsFolders", "C:\\t\\other"}}},
  {.name = "ide_1_6_tools_by_tools_folders_before_the_boards_manager", .files = {{"temp\\arduino_build_5\\", kIdeBuild}, {"ide\\Blink\\Blink.ino", ""}}, .out = taking("temp\\arduino_build_5\\Blink.ino.elf"), .base = "C:\\t\\ide\\Blink\\Blink", .elf = "C:\\t\\temp\\arduino_build_5\\Blink.ino.elf", .tools = {boards("7.3.0-atmel3.6.1-arduino7"), "C:\\t\\arduino-1.6.9\\hardware\\tools\\avr\\bin\\"}, .record = {{"toolsFolders", "C:\\t\\arduino-1.6.9\\tools-builder,C:\\t\\arduino-1.6.9\\hardware\\tools\\avr"}}},
  {.name = "ide_2_compiler_in_a_moved_data_folder_first", .files = {{"local\\arduino\\sketches\\4F6A\\", kIdeBuild}, {"local\\arduino\\sketches\\4F6A\\compile_commands.json", compile_commands("C:\\t\\data\\packages\\DxCore\\tools\\avr-gcc\\7.3.0-atmel3.6.1-azduino6/bin/avr-g++")}, {"ide\\Blink\\Blink.ino", ""}}, .out = taking("local\\arduino\\sketches\\4F6A\\Blink.ino.elf"), .base = "C:\\t\\ide\\Blink\\Blink", .elf = "C:\\t\\local\\arduino\\sketches\\4F6A\\Blink.ino.elf", .tools = {kToolBins[0], boards("7.3.0-atmel3.6.1-arduino7"), "C:\\t\\data\\packages\\DxCore\\tools\\avr-gcc\\7.3.0-atmel3.6.1-azduino6\\bin\\", "C:\\t\\zip\\bin\\"}, .used = "C:\\t\\data\\packages\\DxCore\\tools\\avr-gcc\\7.3.0-atmel3.6.1-azduino6\\bin\\", .record = {{"builtInToolsFolders", "C:\\t\\zip"}}},
  {.name = "a_recorded_toolchain_that_is_gone", .files = kToolsGone, .out = kTakingZip, .base = "C:\\t\\ide\\Blink\\Blink", .elf = kZipElf, .record = kGoneRecord},
  {.name = "a_tool_folder_named_thrice_in_two_cases_is_passed_over_once", .files = kToolsGone, .out = passed({"C:\\Program Files (x86)\\Arduino\\hardware\\tools\\avr\\bin\\avr-objdump.exe"}) + kTakingZip, .base = "C:\\t\\ide\\Blink\\Blink", .elf = kZipElf, .tools = {kToolBins[0], kToolBins[1]}, .others = {kToolBins[0] + "avr-objdump.exe"}, .record = {{"customBuildProperties", "runtime.tools.avr-gcc.path=" + std::string(kToolDirs[0]) + "\\hardware\\tools\\avr"}, {"builtInToolsFolders", "C:\\PROGRAM FILES (X86)\\ARDUINO\\hardware\\tools\\avr"}}},
  {.name = "a_recorded_toolchain_that_is_gone_and_no_other", .files = kToolsGone, .out = no_objdump({"C:\\t\\gcc\\bin\\", kZip + "hardware\\tools\\avr\\bin\\", kZip + "hardware\\tools\\avr\\*\\bin\\", kZip + "tools-builder\\bin\\", kZip + "tools-builder\\*\\bin\\", "\\usr\\share\\arduino-builder\\bin\\", "\\usr\\share\\arduino-builder\\*\\bin\\"}), .tools = {}, .record = kGoneRecord},
  {.name = "compile_commands_of_50_mb_whose_first_entry_is_too_long", .files = {{"temp\\arduino_build_1\\", kIdeBuild}, {"ide\\Blink\\Blink.ino", ""}, {"temp\\arduino_build_1\\compile_commands.json", kHuge}}, .out = kTakingZip, .base = "C:\\t\\ide\\Blink\\Blink", .elf = kZipElf, .tools = {"C:\\t\\gcc\\", "C:\\t\\zip\\bin\\"}, .record = {{"builtInToolsFolders", "C:\\t\\zip"}}},
  {.name = "compile_commands_with_a_command_string", .files = {{"temp\\arduino_build_1\\", kIdeBuild}, {"ide\\Blink\\Blink.ino", ""}, {"temp\\arduino_build_1\\compile_commands.json", "[{\"directory\": \"C:\\\\t\", \"command\": \"C:\\\\t\\\\gcc\\\\avr-g++ -c x.cpp\", \"file\": \"x.cpp\"}]"}}, .out = kTakingZip, .base = "C:\\t\\ide\\Blink\\Blink", .elf = kZipElf, .tools = {"C:\\t\\gcc\\", "C:\\t\\zip\\bin\\"}, .record = {{"builtInToolsFolders", "C:\\t\\zip"}}},
  {.name = "ide_2_arm_build_by_its_compiler_not_the_avr_tools_of_an_ide_1_8", .files = {{"local\\arduino\\sketches\\4F6A\\Blink.ino.elf", kArmElf}, {"local\\arduino\\sketches\\4F6A\\compile_commands.json", compile_commands(kArmGcc + "/bin/arm-none-eabi-g++")}, {"Blink.ino", slurp(TOLVANE_SOURCE_DIR "/examples/boards/Blink.ino")}}, .out = taking("local\\arduino\\sketches\\4F6A\\Blink.ino.elf"), .base = "C:\\t\\Blink", .elf = "C:\\t\\local\\arduino\\sketches\\4F6A\\Blink.ino.elf", .tools = {kToolBins[0], kArmTools}, .shows = "    *kPortOutput ^= 1u << 2;\n    8024:"},
  {.name = "ide_1_8_arm_build_by_its_runtime_tools_path_not_avr_gccs", .prefs = ide_prefs("C:\\t\\build", "C:\\t\\book"), .prefs_at = "local\\Arduino15\\preferences.txt", .files = {{"build\\", kIdeBuild}, {"build\\Blink.ino.elf", kArmElf}, {"book\\Blink\\Blink.ino", ""}}, .base = "c:\\t\\book\\Blink\\Blink", .elf = "c:\\t\\build\\Blink.ino.elf", .tools = {kToolBins[1], "C:\\t\\avr\\bin\\", kArmTools}, .record = {{"customBuildProperties", "runtime.tools.avr-gcc.path=C:\\t\\avr,runtime.tools.arm-none-eabi-gcc.path=" + kArmGcc + ",runtime.tools.arm-none-eabi-gcc-7-2017q4.path=" + kArmGcc + ",runtime.tools.bossac.path=C:\\t\\bossac,runtime.tools.openocd-0.10.0-arduino7.path=C:\\t\\openocd"}}},
  {.name = "an_arm_build_with_only_avr_tools", .files = {{"temp\\arduino_build_1\\", kIdeBuild}, {"temp\\arduino_build_1\\Blink.ino.elf", kArmElf}, {"temp\\arduino_build_1\\compile_commands.json", compile_commands("C:\\t\\gcc\\avr-g++")}}, .out = not_found("an ARM chip", kZipElf, install_arm({"    C:\\t\\gcc\\", "    C:\\t\\avr\\bin\\", "    C:\\t\\avr\\*\\bin\\"})), .tools = {kToolBins[1], "C:\\t\\gcc\\", "C:\\t\\avr\\bin\\"}, .record = {{"customBuildProperties", "runtime.tools.avr-gcc.path=C:\\t\\avr"}, {"toolsFolders", ""}}},
  {.name = "a_third_party_arm_toolchain_alone_in_its_folder", .files = {{"temp\\arduino_build_1\\", kIdeBuild}, {"temp\\arduino_build_1\\Blink.ino.elf", kArmElf}, {"ide\\Blink\\Blink.ino", ""}}, .out = kTakingZip, .base = "C:\\t\\ide\\Blink\\Blink", .elf = kZipElf, .tools = {"C:\\t\\zephyr\\bin\\arm-zephyr-eabi-"}, .record = {{"customBuildProperties", "runtime.tools.zephyr.path=C:\\t\\zephyr"}}},
  {.name = "an_xtensa_prefix_named_by_the_compiler_before_the_tables", .files = {{kEsp + "Blink.ino.elf", kXtensaElf}, {kEsp + "compile_commands.json", compile_commands("C:\\t\\esp\\bin\\xtensa-lx106-elf-gcc.EXE")}}, .out = taking(kEsp + "Blink.ino.elf"), .base = "C:\\t\\" + kEsp + "Blink", .elf = "C:\\t\\" + kEsp + "Blink.ino.elf", .tools = {kToolBins[1], "C:\\t\\esp\\bin\\xtensa-esp32-elf-", "C:\\t\\esp\\bin\\xtensa-lx106-elf-"}},
  {.name = "an_avr_build_passes_over_another_prefixs_only_objdump_beside_its_compiler", .files = kToolsGone, .out = kTakingZip, .base = "C:\\t\\ide\\Blink\\Blink", .elf = kZipElf, .tools = {"C:\\t\\gcc\\bin\\arm-zephyr-eabi-", kToolBins[1]}, .record = kGoneRecord},
  core_build("esp32_2_0_an_s3_told_by_its_image_where_the_addresses_tell_none", kBoard + "xtensa.elf>", 9, {{"xtensa-esp32-elf-gcc", "esp32\\tools\\xtensa-esp32-elf-gcc\\esp-2021r2-patch5-8.4.0"}, {"xtensa-esp32s2-elf-gcc", "esp32\\tools\\xtensa-esp32s2-elf-gcc\\esp-2021r2-patch5-8.4.0"}, {"xtensa-esp32s3-elf-gcc", "esp32\\tools\\xtensa-esp32s3-elf-gcc\\esp-2021r2-patch5-8.4.0"}, {"riscv32-esp-elf-gcc", "esp32\\tools\\riscv32-esp-elf-gcc\\esp-2021r2-patch5-8.4.0"}}, {kPk + "esp32\\tools\\xtensa-esp32-elf-gcc\\esp-2021r2-patch5-8.4.0\\bin\\xtensa-esp32-elf-", kPk + "esp32\\tools\\xtensa-esp32s2-elf-gcc\\esp-2021r2-patch5-8.4.0\\bin\\xtensa-esp32s2-elf-", kPk + "esp32\\tools\\xtensa-esp32s3-elf-gcc\\esp-2021r2-patch5-8.4.0\\bin\\xtensa-esp32s3-elf-", kPk + "esp32\\tools\\riscv32-esp-elf-gcc\\esp-2021r2-patch5-8.4.0\\bin\\riscv32-esp-elf-"}, kPk + "esp32\\tools\\xtensa-esp32s3-elf-gcc\\esp-2021r2-patch5-8.4.0\\bin\\xtensa-esp32s3-elf-"),
  core_build("esp32_3_0_an_s2_told_by_its_addresses", kBoard + "esp32s2.elf>", -1, {{"esp-x32", "esp32\\tools\\esp-x32\\2302"}, {"esp-xs2", "esp32\\tools\\esp-xs2\\2302"}, {"esp-xs3", "esp32\\tools\\esp-xs3\\2302"}, {"esp-rv32", "esp32\\tools\\esp-rv32\\2302"}}, {kPk + "esp32\\tools\\esp-x32\\2302\\bin\\xtensa-esp32-elf-", kPk + "esp32\\tools\\esp-xs2\\2302\\bin\\xtensa-esp32s2-elf-", kPk + "esp32\\tools\\esp-xs3\\2302\\bin\\xtensa-esp32s3-elf-", kPk + "esp32\\tools\\esp-rv32\\2302\\bin\\riscv32-esp-elf-"}, kPk + "esp32\\tools\\esp-xs2\\2302\\bin\\xtensa-esp32s2-elf-"),
  core_build("esp32_3_1_an_s3_by_its_wrapper_not_the_unconfigured_tools", kBoard + "esp32s3.elf>", 9, {{"esp-x32", "esp32\\tools\\esp-x32\\2411"}, {"esp-rv32", "esp32\\tools\\esp-rv32\\2411"}}, {kPk + "esp32\\tools\\esp-x32\\2411\\bin\\xtensa-esp-elf-", kPk + "esp32\\tools\\esp-x32\\2411\\bin\\xtensa-esp32-elf-", kPk + "esp32\\tools\\esp-x32\\2411\\bin\\xtensa-esp32s2-elf-", kPk + "esp32\\tools\\esp-x32\\2411\\bin\\xtensa-esp32s3-elf-", kPk + "esp32\\tools\\esp-rv32\\2411\\bin\\riscv32-esp-elf-"}, kPk + "esp32\\tools\\esp-x32\\2411\\bin\\xtensa-esp32s3-elf-"),
  core_build("esp32_3_1_a_c3_by_the_risc_v_tools", kBoard + "esp32c3.elf>", 5, {{"esp-x32", "esp32\\tools\\esp-x32\\2411"}, {"esp-rv32", "esp32\\tools\\esp-rv32\\2411"}}, {kPk + "esp32\\tools\\esp-x32\\2411\\bin\\xtensa-esp32-elf-", kPk + "esp32\\tools\\esp-rv32\\2411\\bin\\riscv32-esp-elf-"}, kPk + "esp32\\tools\\esp-rv32\\2411\\bin\\riscv32-esp-elf-"),
  core_build("esp32_3_1_a_chip_not_told_takes_the_first_and_says_so", kBoard + "xtensa.elf>", -1, {{"esp-x32", "esp32\\tools\\esp-x32\\2505"}}, {kPk + "esp32\\tools\\esp-x32\\2505\\bin\\xtensa-esp-elf-", kPk + "esp32\\tools\\esp-x32\\2505\\bin\\xtensa-esp32s3-elf-", kPk + "esp32\\tools\\esp-x32\\2505\\bin\\xtensa-esp32-elf-"}, kPk + "esp32\\tools\\esp-x32\\2505\\bin\\xtensa-esp32-elf-", kTakingZip + crlf({"The chip can not be told from the build: taking the tools of an ESP32, the first", "of the chips whose tools it records. The script names them: edit it for another."})),
  core_build("an_s3_build_with_only_an_esp32s_tools", kBoard + "esp32s3.elf>", 9, {{"xtensa-esp32-elf-gcc", "esp32\\tools\\xtensa-esp32-elf-gcc\\esp-2021r2-patch5-8.4.0"}}, {kPk + "esp32\\tools\\xtensa-esp32-elf-gcc\\esp-2021r2-patch5-8.4.0\\bin\\xtensa-esp32-elf-", kPk + "esp32\\tools\\xtensa-esp32-elf-gcc\\esp-2021r2-patch5-8.4.0\\bin\\xtensa-esp-elf-"}, "", not_found("an ESP32-S3", kZipElf, {"    " + kPk + "esp32\\tools\\xtensa-esp32-elf-gcc\\esp-2021r2-patch5-8.4.0\\bin\\", "    " + kPk + "esp32\\tools\\xtensa-esp32-elf-gcc\\esp-2021r2-patch5-8.4.0\\*\\bin\\"})),
  core_build("nano_esp32", kBoard + "esp32s3.elf>", 9, {{"xtensa-esp32s3-elf-gcc", "esp32\\tools\\xtensa-esp32s3-elf-gcc\\esp-2021r2-patch3-8.4.0"}}, {kPk + "esp32\\tools\\xtensa-esp32s3-elf-gcc\\esp-2021r2-patch3-8.4.0\\bin\\xtensa-esp32s3-elf-"}, ""),
  core_build("esp8266_3_1_whose_image_tells_no_esp32", kXtensaElf, 9, {{"xtensa-lx106-elf-gcc", "esp8266\\tools\\xtensa-lx106-elf-gcc\\3.1.0-gcc10.3-e5f9fec"}}, {kPk + "esp8266\\tools\\xtensa-lx106-elf-gcc\\3.1.0-gcc10.3-e5f9fec\\bin\\xtensa-lx106-elf-"}, ""),
  core_build("arduino_pico_its_arm_tools_after_the_risc_v_ones", kArmElf, -1, {{"pqt-gcc-riscv", "rp2040\\tools\\pqt-gcc-riscv\\4.0.1-8ec9d6f"}, {"pqt-gcc", "rp2040\\tools\\pqt-gcc\\4.0.1-8ec9d6f"}}, {kPk + "rp2040\\tools\\pqt-gcc-riscv\\4.0.1-8ec9d6f\\bin\\riscv32-unknown-elf-", kPk + "rp2040\\tools\\pqt-gcc\\4.0.1-8ec9d6f\\bin\\arm-none-eabi-"}, ""),
  core_build("teensy_from_the_boards_manager_in_arm_bin", kArmElf, -1, {{"teensy-compile", "teensy\\tools\\teensy-compile\\15.2.1"}, {"teensy-tools", "teensy\\tools\\teensy-tools\\1.59.0"}}, {kPk + "teensy\\tools\\teensy-compile\\11.3.1\\arm\\bin\\arm-none-eabi-", kPk + "teensy\\tools\\teensy-compile\\15.2.1\\arm\\bin\\arm-none-eabi-"}, ""),
  core_build("teensy_from_its_installer_in_the_ides_folder", kArmElf, -1, {{"avr-gcc", "arduino\\tools\\avr-gcc\\7.3.0-atmel3.6.1-arduino7"}}, {boards("7.3.0-atmel3.6.1-arduino7"), kToolDirs[0] + std::string("\\hardware\\tools\\arm\\bin\\arm-none-eabi-")}, ""),
  core_build("stm32duino", kArmElf, -1, {{"STM32Tools", "STMicroelectronics\\tools\\STM32Tools\\2.3.0"}, {"xpack-arm-none-eabi-gcc", "STMicroelectronics\\tools\\xpack-arm-none-eabi-gcc\\14.2.1-1.1"}, {"CMSIS", "STMicroelectronics\\tools\\CMSIS\\5.9.0"}}, {kPk + "STMicroelectronics\\tools\\xpack-arm-none-eabi-gcc\\14.2.1-1.1\\bin\\arm-none-eabi-"}, ""),
  core_build("dxcore_before_the_ides_own_tools", "", -1, {{"avr-gcc", "DxCore\\tools\\avr-gcc\\7.3.0-atmel3.6.1-azduino7b1"}}, {kToolBins[1], kPk + "DxCore\\tools\\avr-gcc\\7.3.0-atmel3.6.1-azduino7b1\\bin\\"}, ""),
  {.name = "ide_2_an_s3_by_its_compiler", .files = {{"local\\arduino\\sketches\\4F6A\\", kIdeBuild}, {"local\\arduino\\sketches\\4F6A\\Blink.ino.elf", kBoard + "esp32s3.elf>"}, {"local\\arduino\\sketches\\4F6A\\compile_commands.json", compile_commands(kPk + "esp32\\tools\\esp-x32\\2411/bin/xtensa-esp32s3-elf-g++")}, {"ide\\Blink\\Blink.ino", ""}}, .out = taking("local\\arduino\\sketches\\4F6A\\Blink.ino.elf"), .base = "C:\\t\\ide\\Blink\\Blink", .elf = "C:\\t\\local\\arduino\\sketches\\4F6A\\Blink.ino.elf", .tools = {kPk + "esp32\\tools\\esp-x32\\2411\\bin\\xtensa-esp-elf-", kPk + "esp32\\tools\\esp-x32\\2411\\bin\\xtensa-esp32-elf-", kPk + "esp32\\tools\\esp-x32\\2411\\bin\\xtensa-esp32s3-elf-"}},
  {.name = "ide_2_teensy_by_its_compiler", .files = {{"local\\arduino\\sketches\\4F6A\\", kIdeBuild}, {"local\\arduino\\sketches\\4F6A\\Blink.ino.elf", kArmElf}, {"local\\arduino\\sketches\\4F6A\\compile_commands.json", compile_commands(kPk + "teensy\\tools\\teensy-compile\\11.3.1\\arm/bin/arm-none-eabi-g++")}, {"ide\\Blink\\Blink.ino", ""}}, .out = taking("local\\arduino\\sketches\\4F6A\\Blink.ino.elf"), .base = "C:\\t\\ide\\Blink\\Blink", .elf = "C:\\t\\local\\arduino\\sketches\\4F6A\\Blink.ino.elf", .tools = {kToolBins[1], kPk + "teensy\\tools\\teensy-compile\\11.3.1\\arm\\bin\\arm-none-eabi-"}},
  {.name = "ide_2_an_unsaved_copy", .files = {{"local\\arduino\\sketches\\4F6A\\", kIdeBuild}, {"temp\\.arduinoIDE-unsaved20261109-5484-1x3dhv8.wq6pj\\Blink\\Blink.ino", ""}, {"home\\Documents\\Arduino\\Blink\\Blink.ino", ""}}, .out = taking("local\\arduino\\sketches\\4F6A\\Blink.ino.elf") + crlf({"This sketch is an unsaved copy that IDE 2 deletes, with the listings, when the", "sketch is closed unsaved. Use File > Save As in the IDE to keep it."}), .base = "C:\\t\\temp\\.arduinoIDE-unsaved20261109-5484-1x3dhv8.wq6pj\\Blink\\Blink", .elf = "C:\\t\\local\\arduino\\sketches\\4F6A\\Blink.ino.elf", .env = {{"LocalAppData", "C:\\t\\local"}, {"TMP", "C:\\t\\TEMP~1"}}, .record = {{"sketchLocation", "C:\\t\\temp\\.arduinoIDE-unsaved20261109-5484-1x3dhv8.wq6pj\\Blink\\Blink.ino"}}},
  {.name = "another_users_current_folder_is_passed_over", .files = {{"local\\arduino\\sketches\\4F6A\\Blink.ino.elf", kArduinoElf}, {"lab\\Blink\\Blink.ino", ""}}, .out = passed({"C:\\t\\lab\\Blink\\"}) + taking("local\\arduino\\sketches\\4F6A\\Blink.ino.elf"), .base = "C:\\t\\local\\arduino\\sketches\\4F6A\\Blink", .elf = "C:\\t\\local\\arduino\\sketches\\4F6A\\Blink.ino.elf", .others = {"lab\\Blink\\"}, .cwd = "\\lab\\Blink"},
  {.name = "a_listing_that_cannot_be_written", .prefs = kTypical, .files = {{"build\\blink.cpp.elf", kElf}, {"book\\sketches\\blink\\blink.ino", ""}, {"book\\sketches\\blink\\blink.asm.txt", "older\r\n"}}, .out = crlf({"**ERROR** The dump script ran, but did not write:", "c:\\t\\book\\sketches\\blink\\blink.asm.txt", "Close the program that holds the listing open, or make it writable, or rename", "the folder if its name holds %. Then run Tolvane again."}), .refusing = "book\\sketches\\blink\\blink.asm.txt", .made = {{"book\\sketches\\blink\\blink_dump.cmd", "\"C:\\Program Files\\Arduino"}, {"book\\sketches\\blink\\blink.hrd.txt", "ELF Header:"}}, .runs = 1},
  {.name = "a_kept_script_naming_tools_that_no_table_lists", .prefs = kTypical, .files = kSketch, .out = "The dump script ran as it stands: c:\\t\\book\\sketches\\blink\\blink_dump.cmd\r\n", .tools = {"C:\\t\\WinAVR\\bin\\"}, .held = "book\\sketches\\blink\\blink_dump.cmd", .made = {{"kept.txt", "ELF Header:"}}},
  {.name = "a_kept_script_whose_second_line_names_another_build", .prefs = kTypical, .files = {{"build\\blink.cpp.elf", kElf}, {"book\\sketches\\blink\\blink.ino", ""}, {"book\\sketches\\blink\\blink_dump.cmd", crlf({"\"C:\\Program Files\\Arduino\\hardware\\tools\\avr\\bin\\avr-readelf.exe\" -h \"C:\\t\\build\\blink.cpp.elf\" > \"C:\\t\\kept.txt\"", "\"C:\\Program Files\\Arduino\\hardware\\tools\\avr\\bin\\avr-objdump.exe\" -S \"C:\\t\\old\\blink.cpp.elf\" > \"C:\\t\\old.txt\""})}}, .out = crlf({"**ERROR** The dump script can not be written anew, and it does not name", "          the build just made. The script:", "c:\\t\\book\\sketches\\blink\\blink_dump.cmd", "The build it should name:", kTypicalElf, "Make the script writable, so that it is written anew, or edit its path."}), .refusing = "book\\sketches\\blink\\blink_dump.cmd"},
  {.name = "an_old_ide_1_0_preferences_file_beside_ide_1_8s", .prefs = crlf({"build.path=C:\\t\\old", "sketchbook.path=C:\\t\\oldbook"}), .files = {{"local\\Arduino15\\preferences.txt", ide_prefs("C:\\t\\build", "C:\\t\\book")}, {"old\\blink.cpp.elf", kElf}, {"oldbook\\blink\\blink.ino", ""}, {"build\\blink.cpp.elf", kElf}, {"book\\blink\\blink.ino", ""}}, .base = "c:\\t\\book\\blink\\blink", .older = {"old\\blink.cpp.elf"}},
  {.name = "a_recorded_sketch_folder_that_the_code_page_lacks", .files = {{"temp\\arduino_build_1\\", kIdeBuild}, {"home\\Documents\\Arduino\\Łódź\\Blink\\Blink.ino", ""}, {"home\\Documents\\Arduino\\Blink\\Blink.ino", ""}}, .out = "Passed over, as this system's code page lacks a character of its name: C:\\t\\home\\Documents\\Arduino\\?ód?\\Blink\\\r\n" + kTakingZip + kDeletes, .base = "C:\\t\\temp\\arduino_build_1\\Blink", .elf = kZipElf, .only = "wine", .ansi = "CP1252", .record = {{"sketchLocation", "C:\\t\\home\\Documents\\Arduino\\Łódź\\Blink\\Blink.ino"}}},
  {.name = "not_an_elf_file", .prefs = kTypical, .files = {{"build\\blink.cpp.elf", kSparc.substr(0, 51)}}, .out = crlf({"**ERROR** This is not an ELF file:", kTypicalElf})},
  {.name = "a_big_endian_elf_of_a_machine_not_known", .prefs = kTypical, .files = {{"build\\blink.cpp.elf", kSparc}}, .out = not_found("a chip of ELF machine 2", kTypicalElf, {"    none"})},
  {.name = "a_character_the_oem_code_page_lacks", .prefs = crlf({"build.path=C:\\t\\BÜILD"}), .files = {{"BÜILD\\x€.cpp.elf", kElf}}, .out = crlf({"**ERROR** Can not write the dump script:", "c:\\t\\büild\\x€_dump.cmd"}), .only = "wine", .made = {{"BÜILD\\x€_dump.cmd", "\"C:\\Program Files\\Arduino"}}, .ansi = "CP1252"},
  {.name = "double_byte_names_keep_their_second_byte", .prefs = crlf({"build.path=C:\\t\\アイ"}), .files = {{"アイ\\blink.cpp.elf", kElf}}, .base = "c:\\t\\アイ\\blink", .elf = "c:\\t\\アイ\\blink.cpp.elf", .only = "wine", .ansi = "CP932", .split = true},
  {.name = "a_script_on_a_full_drive", .prefs = kTypical, .files = {{"build\\blink.cpp.elf", kElf}, {"book\\sketches\\blink\\blink.ino", ""}, {"book\\sketches\\blink\\blink_dump.cmd", kFull}}, .out = crlf({"**ERROR** Can not write the dump script:", "c:\\t\\book\\sketches\\blink\\blink_dump.cmd"})},
  {.name = "names_no_windows_path_holds", .prefs = kTypical, .files = {{"build\\a\"b.cpp.elf", kElf}}, .out = no_elf("c:\\t\\build\\"), .only = "native"},
};
// clang-format on

class Scenario : public ::testing::TestWithParam<std::tuple<bool, Row>> {};

TEST_P(Scenario, Run) {
  const auto& [on_wine, row] = GetParam();
  Machine machine(on_wine);
  // The program's own text: natively UTF-8 but where the preferences are in
  // an ANSI code page; under Wine that code page. Host names under Wine are
  // UTF-8; cmd reads batch files and scripts in the OEM code page.
  const bool japanese = row.ansi && row.ansi == std::string("CP932");
  const bool utf8 = row.ansi && row.ansi == std::string("UTF-8");  // Hindi has no ANSI code page
  const char* oem = !row.ansi ? nullptr : japanese || utf8 ? row.ansi : "CP437";
  const char* native = row.prefs_in_ansi ? row.ansi : nullptr;
  const char* names = on_wine ? nullptr : native;   // file names on the host
  const char* batch = on_wine ? oem : native;       // what cmd reads: the variables, the script
  const char* shown = on_wine ? row.ansi : native;  // standard output
  auto host = [&](const std::string& name) {
    return name.rfind("C:\\", 0) == 0 ? machine.c(in(names, name.substr(3)))
                                      : machine.c("t\\" + in(names, name));
  };
  // Wine takes the code page from LC_CTYPE and the runtime's locale from LANG.
  if (japanese || utf8)
    machine.locale = std::string("LOCPATH=" TOLVANE_WINE_PREFIX "-locales ") +
                     (row.split ? "LC_ALL= LANG=en_US.UTF-8 LC_CTYPE=" : "LC_ALL=") +
                     (utf8 ? "hi_IN" : "ja_JP") + ".UTF-8 ";
  machine.documents = row.documents;
  machine.cwd = row.cwd;
  if (row.prefs != kNone) spit(host(row.prefs_at), in(native, row.prefs));
  for (const auto& [name, bytes] : row.files) {
    const fs::path path = host(name);
    fs::create_directories(name.back() == '\\' ? path : path.parent_path());
    if (bytes == kFull) fs::create_symlink("/dev/full", path);
    if (bytes == kIdeBuild) ide_build(path, row.record);
    if (name.back() == '\\' || bytes == kFull) continue;
    spit(path, bytes == kElf          ? slurp(TOLVANE_SOURCE_DIR "/examples/blink/blink.cpp.elf")
               : bytes == kArduinoElf ? slurp(TOLVANE_ARDUINO_ELF)
               : bytes.rfind(kBoard, 0) == 0
                   ? slurp(TOLVANE_BOARDS_DIR "/" +
                           bytes.substr(kBoard.size(), bytes.size() - kBoard.size() - 1))
               : bytes == kInterpreter ? slurp(TOLVANE_WINDOWS_DIR "/interpreter_standin.exe")
               : bytes == kHuge ? compile_commands("C:\\t\\gcc/avr-g++", std::string(50 << 20, 'x'))
                                : bytes);
  }
  const auto earlier = fs::file_time_type::clock::now() - std::chrono::hours(1);  // one for all
  for (const std::string& name : row.older) fs::last_write_time(host(name), earlier);
  for (const std::string& bin : row.tools) machine.install_tools(bin);
  const std::string tools = row.used.empty() && !row.tools.empty() ? row.tools.back() : row.used;
  std::string privileges;
  if (row.held == kPrefs && geteuid() == 0)
    privileges = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
  const bool kept = !row.held.empty() && row.held != kPrefs;
  if (kept)  // runs a tool on the ELF, its drive's letter a capital
    spit(host(row.held), "\"" + with_prefix(tools) + "readelf.exe\" -h \"C" + row.elf.substr(1) +
                             "\" > \"C:\\t\\kept.txt\"\r\n");
  for (const std::string& name : row.others)  // not following the links to the real tools
    ASSERT_EQ(0, system(("chown -hR 65534 " + shq(host(name).string())).c_str())) << name;
  if (row.held == kPrefs) chmod(host(row.held).c_str(), 0);
  // A folder that refuses new files, a script that refuses writing even to root.
  const std::string immutable = kept ? row.held : row.refusing;
  auto chattr = [&](const std::string& change) {
    return system(("chattr " + change + " " + shq(host(immutable).string())).c_str());
  };
  ASSERT_TRUE(immutable.empty() || chattr("+i") == 0) << "chattr +i " << immutable;
  Env env;
  for (const auto& [name, value] : row.env) env.push_back({name, in(batch, value)});
  Tree expected = machine.tree();

  const char* wrapper = on_wine ? nullptr : std::getenv("TOLVANE_TEST_WRAPPER");
  std::string command = machine.command(
      (wrapper ? wrapper + std::string(" ") : "") + machine.program(), row.args, env);
  if (!privileges.empty()) command = privileges + "sh -c " + shq(command);
  // Under Wine, standard error goes to a file: Wine's services, which outlive
  // the run, would hold ctest's pipe open until the server ends.
  const fs::path errors = machine.c("stderr.txt");
  const std::string run = command + (on_wine ? " 2>" + shq(errors) : "") + " </dev/null";
  auto [out, status] = shell(run);
  // A loaded Wine at times cannot start cmd at all, neither the row's nor
  // Tolvane's: nothing has run, so it is tried again.
  const std::regex no_cmd("ShellExecuteEx failed|interpreter:\r\nC:\\\\windows");
  for (int again = 0; again < 2 && on_wine && std::regex_search(out, no_cmd); ++again)
    std::tie(out, status) = shell(run);
  // The path that the script names as the system spells it: "\" for "/", and once.
  std::string listed = std::regex_replace(replaced(replaced(row.base, "%%", "%"), "/", "\\"),
                                          std::regex("\\\\+"), "\\");
  // Under Wine the rows with listings run the tools, each once, and a kept
  // script that runs its one tool; none will when the program stopped or cmd
  // made none of the files that their lines write.
  const std::string base = lower(in(names, listed));
  const std::string place = base.rfind("c:\\t\\", 0) == 0 ? base.substr(5) : base;
  const bool failed = row.out.find("**E") != std::string::npos;
  std::vector<std::string> made = {"kept.txt"};
  if (!row.base.empty()) made = {place + "_dump.cmd", place + ".asm.txt", place + ".hrd.txt"};
  const Tree names_after = on_wine ? machine.tree(false) : Tree();
  const bool may_run =
      row.runs > 0 || (out.find("**E") == std::string::npos &&
                       std::all_of(made.begin(), made.end(),
                                   [&](const auto& name) { return names_after.count(name); }));
  const size_t runs = row.runs >= 0 ? row.runs : !row.base.empty() ? 2 : kept && !failed ? 1 : 0;
  EXPECT_TRUE(machine.wait_for_tools(runs, may_run)) << "the tools did not end";
  if (!immutable.empty()) chattr("-i");
  // A run that made listings names them last.
  if (listed.size() < 2 || listed[1] != ':')
    listed = (listed[0] == '\\' ? "C:" : "C:\\t\\") + listed;
  std::string expected_out =
      in(shown,
         row.out + (row.base.empty() || failed ? ""
                                               : crlf({"Disassembly: " + listed + ".asm.txt",
                                                       "Headers:     " + listed + ".hrd.txt"})));
  if (row.out == kHelp) {  // on one screen: at most 24 lines of at most 79 columns
    EXPECT_GE(24, std::count(out.begin(), out.end(), '\n'));
    EXPECT_FALSE(std::regex_search(out, std::regex("[^\r\n]{80}")));
  }
  // cmd shows each line of the script after its prompt
  if (on_wine && row.out != kHelp) {
    for (std::string* text : {&out, &expected_out})
      *text = std::regex_replace(*text, std::regex("(C:\\\\t[^>\r\n]*>.*)?\r\n"), "");
  }
  EXPECT_EQ(expected_out, out) << (on_wine ? "standard error: " + slurp(errors) : "");
  EXPECT_EQ(failed ? 255 : 0, status);

  Tree after = machine.tree();
  if (!row.base.empty()) {
    expected[place + "_dump.cmd"] =
        in(batch, crlf({"\"" + with_prefix(tools) + "objdump.exe\" -S \"" + row.elf + "\" > \"" +
                            row.base + ".asm.txt\"",
                        "\"" + with_prefix(tools) + "readelf.exe\" -e \"" + row.elf + "\" > \"" +
                            row.base + ".hrd.txt\""})) +
        slurp(TOLVANE_SOURCE_DIR "/tests/golden/script-tail.txt");
    const auto [format, machine_line] = kListed.at(host_prefix(tools));
    for (auto [ending, text] : {std::pair{".asm.txt", format}, {".hrd.txt", machine_line}}) {
      expected[place + ending] = after[place + ending];  // a real listing, made afresh
      EXPECT_NE(std::string::npos, after[place + ending].substr(0, 900).find(text)) << ending;
    }
    EXPECT_NE(std::string::npos, after[place + ".asm.txt"].find(row.shows));
  }
  for (const auto& [name, start] : row.made) {
    const std::string key = lower(in(names, name));
    EXPECT_EQ(0u, after[key].find(start)) << name;
    expected[key] = after[key];
  }
  for (Tree* tree : {&expected, &after})  // keeps a failure's message short
    for (auto& [name, bytes] : *tree)
      bytes = bytes.size() > 200 ? std::to_string(std::hash<std::string>()(bytes)) : bytes;
  EXPECT_EQ(expected, after);
}

std::string name_of(const ::testing::TestParamInfo<Scenario::ParamType>& info) {
  return std::get<1>(info.param).name;
}
// Each row is a test of its own on each side where it runs, named
// native/Scenario.Run/<row> or wine/Scenario.Run/<row>.
std::vector<std::tuple<bool, Row>> rows_on(bool wine) {
  std::vector<std::tuple<bool, Row>> rows;
  for (const Row& row : kRows)
    if (row.only != (wine ? "native" : "wine")) rows.emplace_back(wine, row);
  return rows;
}
INSTANTIATE_TEST_SUITE_P(native, Scenario, ::testing::ValuesIn(rows_on(false)), name_of);
INSTANTIATE_TEST_SUITE_P(wine, Scenario, ::testing::ValuesIn(rows_on(true)), name_of);

// The key wait for real: the program fails in a terminal inside tmux and
// waits for a key; afterwards the shell finds nothing of the keys left, even
// of a hundred typed at once.
// Whether |done| holds within 30 s, looked at every 50 ms.
bool wait_for(const std::function<bool()>& done) {
  for (int i = 0; i < 600 && !done(); ++i) usleep(50000);
  return done();
}

class KeyWait : public ::testing::TestWithParam<std::tuple<bool, std::string>> {};

TEST_P(KeyWait, AKeyEndsTheWait) {
  const auto [on_wine, key] = GetParam();
  Machine machine(on_wine);
  const fs::path dir = machine.c("t");
  const std::string tmux =
      "LC_ALL=C.UTF-8 tmux -u -L tolvane-test-" + std::to_string(getpid()) + " ";
  // No preferences in an AppData folder outside ASCII, shown on the console as typed.
  machine.locale = "LC_ALL=C.UTF-8 ";
  const std::string program = machine.command(
      machine.program(), {}, {{"AppData", in(on_wine ? "CP437" : nullptr, "C:\\t\\Zoë")}});
  // Each file appears whole, by a rename; "timeout" ends all should the test fail.
  const std::string script =
      program + "; e=$?; cd " + shq(dir) +
      " && echo $e >s; mv s status; IFS= read -r r; echo \"[$r]\" >r; mv r rest";
  ASSERT_EQ(0, system((tmux + "new-session -d -x 100 -y 30 -s k " +
                       shq("timeout -s KILL 60 sh -c " + shq(script)))
                          .c_str()));
  auto screen = [&] { return shell(tmux + "capture-pane -p -t k").first; };
  // The block's last line, then what a key does in a command prompt.
  EXPECT_TRUE(wait_for([&] {
    return screen().find("C:\\t\\Zoë\\Arduino\\preferences.txt\nPress a key to go on.\n") !=
           std::string::npos;
  })) << screen();
  usleep(500000);
  EXPECT_FALSE(fs::exists(dir / "status")) << "the wait ended without a key";
  system((tmux + "send-keys -t k " + key).c_str());
  EXPECT_TRUE(wait_for([&] { return fs::exists(dir / "status"); }))
      << key << " did not end the wait";
  EXPECT_EQ("255\n", slurp(dir / "status"));
  system((tmux + "send-keys -t k Enter").c_str());
  EXPECT_TRUE(wait_for([&] { return fs::exists(dir / "rest"); }));
  EXPECT_EQ("[]\n", slurp(dir / "rest")) << "left of " << key;
  system((tmux + "kill-server 2>/dev/null").c_str());
}

std::string key_name(const ::testing::TestParamInfo<KeyWait::ParamType>& info) {
  return std::get<1>(info.param) == "F5" ? "f5" : "a_hundred_keys";
}
const auto kKeys = ::testing::Values("-l " + std::string(100, 'a'), "F5");
INSTANTIATE_TEST_SUITE_P(native, KeyWait, ::testing::Combine(::testing::Values(false), kKeys),
                         key_name);
INSTANTIATE_TEST_SUITE_P(wine, KeyWait, ::testing::Combine(::testing::Values(true), kKeys),
                         key_name);

// Double-clicked, Tolvane holds its console alone: after a run it names the listings, says
// where the IDE's hook goes, and waits for a key before the window closes; with a file
// dropped on it, it shows the help text and waits likewise. Under Wine,
// started as the terminal's own program in tmux, with the Windows user's own variables: the
// builder's build in the user's temporary folder, the tools in Program Files. Each case: the
// build's records (IDE 2's include options in compile_commands.json), more files, and the
// lines between the listings and the wait; "~" is the user's folder, "<HOOK>" the hook line.
struct OwnRun {
  const char* name;
  Env record;
  std::vector<std::string> includes;
  Tree files;
  std::vector<std::string> shown;
  std::string dropped = "";  // the file dropped on Tolvane.exe
  bool prompt = false;       // run from a command prompt, whose console it shares
};
const std::string kOwnCore = "C:\\Program Files (x86)\\Arduino\\hardware\\arduino\\avr\\";
const std::string kPackages = "~\\AppData\\Local\\Arduino15\\packages\\";
const std::string kIde18 = "C:\\Program Files (x86)\\Arduino\\hardware," +
                           kPackages.substr(0, kPackages.size() - 1) +
                           ",~\\Documents\\Arduino\\hardware";
const std::string kStore =
    "C:\\Program Files\\WindowsApps\\ArduinoLLC.ArduinoIDE_1.8.57.0_x86__mdqgnx93n4wtt\\hardware";
const std::string kAdd = "add the line, or create the file (\"All files\");";
std::vector<std::string> offer(const std::string& folder, const std::string& what = kAdd) {
  return {"", "For fresh listings after every Verify, add the line below to this file:",
          folder + "platform.local.txt", "<HOOK>",
          "Close the IDE; in Notepad " + what + " under Program Files, as administrator."};
}
// clang-format off
const OwnRun kOwnRuns[] = {
    {"no_block_nor_wait_from_a_command_prompt", {{"hardwareFolders", kIde18}}, {}, {{kOwnCore + "platform.txt", ""}}, {}, "", true},
    {"a_line_of_the_key_that_replaced_a_cores_hook_does_not_count", {{"hardwareFolders", kIde18}}, {}, {{kOwnCore + "platform.txt", ""}, {kOwnCore + "platform.local.txt", "<OLD HOOK>\n"}}, offer(kOwnCore, "put the line in place of the one that runs Tolvane;")},
    {"a_core_that_the_records_do_not_tell", {{"hardwareFolders", ""}}, {}, {}, {"", "For fresh listings after every Verify, the IDE needs a line in the core's", "platform.local.txt, but the build's records do not tell the core's folder.", "Install the core with Tools > Board > Boards Manager, press Verify and run", "Tolvane again; or see \"After every Verify\" in README.txt."}},
    {"ide_1_8_own_core", {{"hardwareFolders", kIde18}}, {}, {{kOwnCore + "platform.txt", ""}}, offer(kOwnCore)},
    {"ide_2_boards_manager_core", {{"hardwareFolders", kPackages}}, {"-I" + kPackages + "arduino\\hardware\\avr\\1.8.6\\cores\\arduino", "-I" + kPackages + "arduino\\hardware\\avr\\1.8.6\\variants\\standard"}, {{kPackages + "arduino\\hardware\\avr\\1.8.6\\platform.txt", ""}}, offer(kPackages + "arduino\\hardware\\avr\\1.8.6\\")},
    {"no_block_once_the_file_runs_it", {{"hardwareFolders", kIde18}}, {}, {{kOwnCore + "platform.txt", ""}, {kOwnCore + "platform.local.txt", "compiler.c.extra_flags=\n<SPACED HOOK>\n"}}, {}},
    {"a_core_under_windows_apps", {{"hardwareFolders", kStore + ",~\\Documents\\ArduinoData\\packages"}}, {}, {{kStore + "\\arduino\\avr\\platform.txt", ""}}, {"", "For fresh listings after every Verify, the IDE needs a line in the core's", "platform.local.txt, but this core is under WindowsApps, where nobody can write.", "Install the core with Tools > Board > Boards Manager, press Verify and run", "Tolvane again: it then names the file."}},
    {"help_for_a_dropped_file", {}, {}, {}, {}, "C:\\t\\Blink.ino.elf"},
    {"a_board_whose_core_is_another_platforms", {{"fqbn", "acme:avr:blinky"}, {"hardwareFolders", kPackages}}, {"-I" + kPackages + "arduino\\hardware\\avr\\1.8.6\\cores\\arduino", "-I" + kPackages + "acme\\hardware\\avr\\2.0.0\\variants\\blinky"}, {{kPackages + "arduino\\hardware\\avr\\1.8.6\\platform.txt", ""}, {kPackages + "acme\\hardware\\avr\\2.0.0\\platform.txt", ""}}, offer(kPackages + "acme\\hardware\\avr\\2.0.0\\")},
};
// clang-format on
class OwnConsole : public ::testing::TestWithParam<std::tuple<bool, OwnRun>> {};

TEST_P(OwnConsole, ASuccessfulRunNamesTheListingsAndTheHookAndWaitsForAKey) {
  const auto& [on_wine, run] = GetParam();
  Machine machine(on_wine);
  // Natively a user with the folders that Wine gives one, in the run's variables.
  std::string user = "C:\\users\\ann";
  for (std::error_code none; const auto& entry : fs::directory_iterator(machine.c("users"), none))
    if (on_wine && entry.path().filename() != "Public")
      user = "C:\\users\\" + entry.path().filename().string();
  const Env env = {{"AppData", user + "\\AppData\\Roaming"},
                   {"HomeDrive", "C:"},
                   {"HomePath", user.substr(2)},
                   {"LocalAppData", user + "\\AppData\\Local"},
                   {"TMP", user + "\\Temp"},
                   {"UserProfile", user}};
  const std::string program = on_wine ? machine.program() : "\"" TOLVANE_NATIVE_PROGRAM "\"";
  const std::string hook =
      "recipe.hooks.objcopy.postobjcopy.tolvane.pattern=cmd /c <NUL " + program + " 1>&2 & exit 0";
  auto at_home = [&](std::string text) {
    text = replaced(replaced(text, "~", user), "<HOOK>", hook);
    text = replaced(text, "<SPACED HOOK>", replaced(hook, "pattern=", "pattern = "));
    return replaced(text, "<OLD HOOK>", replaced(hook, ".tolvane.", ".1."));
  };
  const fs::path build = machine.c(user.substr(3) + "\\Temp\\arduino_build_1");
  const std::vector<fs::path> made = {build, machine.c("Program Files\\WindowsApps"),
                                      machine.c(user.substr(3) + "\\AppData\\Local\\Arduino15")};
  for (const fs::path& path : made) Machine::clear(path);
  fs::create_directories(build.parent_path());
  Env record = {{"fqbn", "arduino:avr:uno"}};
  for (const auto& [key, value] : run.record) record.push_back({key, at_home(value)});
  ide_build(build, record);
  std::vector<std::string> includes;
  for (const std::string& include : run.includes) includes.push_back(at_home(include));
  if (!includes.empty())
    spit(build / "compile_commands.json", compile_commands("x/avr-g++", "C:\\t", includes));
  for (const auto& [name, bytes] : run.files)
    spit(machine.c(at_home(name).substr(3)), at_home(bytes));
  machine.install_tools(kToolBins[1]);
  const std::string tmux = "tmux -L tolvane-test-" + std::to_string(getpid()) + " ";
  const fs::path dir = machine.c("t");
  // Natively the program leads the session of a terminal of its own (script's), unless it is
  // run from a shell there.
  const std::vector<std::string> dropped =
      run.dropped.empty() ? std::vector<std::string>() : std::vector<std::string>{run.dropped};
  std::string started;
  if (on_wine) {
    started =
        machine.wine_env() + "wine " +
        (run.prompt ? "cmd /c " + shq(replaced(machine.program(), "\"", "")) : machine.program()) +
        (run.dropped.empty() ? "" : " " + shq(run.dropped));
  } else {
    started = machine.command(machine.program(), dropped, env);
    started = started.substr(started.find("env "));
    if (!run.prompt) started = "script -qec " + shq("exec " + started) + " /dev/null";
  }
  const std::string script = "cd " + shq(dir) + " && " + started +
                             " 2>/dev/null; echo $? >s; mv s status" +
                             (run.prompt ? "; sleep 30" : "");
  ASSERT_EQ(0, system((tmux + "new-session -d -x 200 -y 30 -s k " +
                       shq("timeout -s KILL 60 sh -c " + shq(script)))
                          .c_str()));
  auto screen = [&] { return shell(tmux + "capture-pane -J -p -t k").first; };
  const std::string windows = user + "\\Temp\\arduino_build_1\\Blink";
  std::string shown;
  for (const std::string& line : run.shown) shown += at_home(line) + "\n";
  const std::string listed = replaced(kDeletes, "\r\n", "\n") + "Disassembly: " + windows +
                             ".asm.txt\nHeaders:     " + windows + ".hrd.txt\n";
  if (run.prompt) {  // the listings, and the run's end without a key
    EXPECT_TRUE(wait_for([&] { return fs::exists(dir / "status"); })) << screen();
    EXPECT_EQ("0\n", slurp(dir / "status"));
    EXPECT_NE(std::string::npos, screen().find(listed)) << screen();
    EXPECT_EQ(std::string::npos, screen().find("For fresh")) << screen();
    EXPECT_EQ(std::string::npos, screen().find("Press a key")) << screen();
  }
  EXPECT_TRUE(run.prompt || wait_for([&] {
                return screen().find("Press a key to close this window.") != std::string::npos;
              }))
      << screen();
  if (!run.dropped.empty()) shown = replaced(kHelp, "\r\n", "\n");
  EXPECT_TRUE(run.prompt || screen().find((run.dropped.empty() ? listed : "") + shown +
                                          "Press a key to close this window.") != std::string::npos)
      << screen();
  usleep(500000);
  EXPECT_TRUE(run.prompt || !fs::exists(dir / "status")) << "the run ended without a key";
  system((tmux + "send-keys -t k x").c_str());
  EXPECT_TRUE(wait_for([&] { return fs::exists(dir / "status"); })) << "x did not end the wait";
  EXPECT_EQ("0\n", slurp(dir / "status"));
  EXPECT_TRUE(machine.wait_for_tools(run.dropped.empty() ? 2 : 0, true));
  EXPECT_EQ(run.dropped.empty(),
            slurp(build / "Blink.asm.txt").find("format elf32-avr") != std::string::npos);
  system((tmux + "kill-server 2>/dev/null").c_str());
  for (const fs::path& path : made) Machine::clear(path);
}
std::string own_run_name(const ::testing::TestParamInfo<OwnConsole::ParamType>& info) {
  return std::get<1>(info.param).name;
}
INSTANTIATE_TEST_SUITE_P(native, OwnConsole,
                         ::testing::Combine(::testing::Values(false),
                                            ::testing::ValuesIn(kOwnRuns)),
                         own_run_name);
INSTANTIATE_TEST_SUITE_P(wine, OwnConsole,
                         ::testing::Combine(::testing::Values(true), ::testing::ValuesIn(kOwnRuns)),
                         own_run_name);

}  // namespace
