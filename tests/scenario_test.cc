// The program from end to end, natively and as Tolvane.exe under Wine, where
// Wine's cmd.exe runs the script. Each row lays out a user's files below C:\t,
// runs the program there with standard input from /dev/null, and compares
// standard output, the exit status and every file below C:\t afterwards.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <thread>

namespace {

namespace fs = std::filesystem;
using Tree = std::map<std::string, std::string>;  // lower-cased path below C:\t -> bytes
using Env = std::vector<std::pair<std::string, const char*>>;  // no value: unset

const std::string kElf = "<ELF>", kArduinoElf = "<ARDUINO ELF>", kNone = "<NONE>";
const std::string kPrefs = "appdata\\arduino\\preferences.txt";
const char* const kToolDirs[] = {"C:\\Program Files (x86)\\Arduino", "C:\\Program Files\\Arduino",
                                 "C:\\Arduino", "C:\\bin\\Arduino"};
const char kBin[] = "\\hardware\\tools\\avr\\bin\\";

std::string slurp(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

void spit(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
    text.replace(at, from.size(), to);
  }
  return text;
}

std::string shq(const std::string& text) { return "'" + replaced(text, "'", "'\\''") + "'"; }

// Runs a shell command; its standard output and exit status.
std::pair<std::string, int> shell(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  char buffer[65536];
  for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, got);
  const int status = pclose(pipe);
  return {out, WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status)};
}

// Lines joined, each ended with CR LF.
std::string crlf(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// One place to run programs: the native build with drive C: in a scratch
// folder, or Windows under Wine with drive C: in the test prefix.
struct Machine {
  bool wine;
  fs::path drives;  // holds c/ natively; the prefix under Wine

  explicit Machine(bool on_wine) : wine(on_wine) {
    drives = on_wine ? fs::path(TOLVANE_WINE_PREFIX) : fs::temp_directory_path() / "tolvane-test";
    if (!on_wine) drives += std::to_string(getpid());
    fs::remove_all(c("t"));
    for (const char* dir : kToolDirs) fs::remove_all(c(dir + 3));
    fs::create_directories(c("t"));
    // One server for every run keeps Wine's start short; it ends 5 s after the last.
    static const bool server = on_wine && system((wine_env() + "wineserver -p5").c_str()) >= 0;
    (void)server;
  }
  ~Machine() {
    if (!wine) fs::remove_all(drives);
  }

  // Host path of a path below C:\.
  fs::path c(const std::string& below) const {
    return drives / (wine ? "drive_c" : "c") / replaced(below, "\\", "/");
  }

  std::string wine_env() const {
    return "WINEPREFIX=" + shq(drives) + " WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' ";
  }

  // The shell command that runs |program| with |args| in C:\t.
  std::string command(const std::string& program, const std::vector<std::string>& args,
                      const Env& env, const std::string& before = "") const {
    if (!wine) {
      std::string line = "cd " + shq(c("t")) + " && env -u AppData -u HomeDrive -u HomePath";
      for (const auto& [name, value] : env) {
        if (value) line += " " + shq(name + "=" + value);
      }
      line += " TOLVANE_DRIVES=" + shq(drives) + " " + program;
      for (const std::string& arg : args) line += " " + shq(arg);
      return line;
    }
    std::string batch = "@echo off\r\nset AppData=\r\nset HomeDrive=\r\nset HomePath=\r\n" + before;
    for (const auto& [name, value] : env) {
      batch += "set \"" + name + "=" + (value ? replaced(value, "%", "%%") : "") + "\"\r\n";
    }
    batch += "cd /d C:\\t\r\n" + program;
    for (const std::string& arg : args) batch += " \"" + arg + "\"";
    spit(c("run.cmd"), batch + "\r\nexit /b %errorlevel%\r\n");
    return "cd " + shq(c("")) + " && " + wine_env() + "wine cmd /c 'C:\\run.cmd'";
  }

  std::string program() const {
    return wine ? "\"Z:" + replaced(TOLVANE_WINDOWS_DIR "/Tolvane.exe", "/", "\\") + "\""
                : shq(TOLVANE_NATIVE_PROGRAM);
  }

  // avr-objdump.exe and avr-readelf.exe that run the real tools.
  void install_tools(const std::string& dir) const {
    for (const char* tool : {"avr-objdump", "avr-readelf"}) {
      const fs::path path = c(dir.substr(3) + kBin + tool + ".exe");
      fs::create_directories(path.parent_path());
      if (!wine) {
        fs::create_symlink(std::string("/usr/bin/") + tool, path);
        continue;
      }
      // The stand-in takes the host paths of C:\ arguments.
      spit(path, "#!/bin/sh\nfor a; do case $a in [Cc]:*) a=" + shq(c("").string()) +
                     "${a#??};; esac; set -- \"$@\" \"$(printf %s \"$a\" | tr '\\\\' /)\"; "
                     "shift; done\nexec /usr/bin/" +
                     tool + " \"$@\"\n");
      fs::permissions(path, fs::perms::owner_all, fs::perm_options::add);
    }
  }

  // Wine's cmd does not wait for the Linux programs that stand in for the
  // tools: waits until none is left.
  void wait_for_tools() const {
    for (int quiet = 0; wine && quiet < 5;) {
      // "[/]" keeps the pattern from matching the shell that runs pgrep.
      quiet = shell("pgrep -f " + shq("[/]" + c("").string().substr(1))).second ? quiet + 1 : 0;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }

  // Every file and folder below C:\t, by lower-cased Windows path.
  Tree tree() const {
    Tree tree;
    const fs::path root = c("t");
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
      const std::string name = lower(replaced(fs::relative(it->path(), root).string(), "/", "\\"));
      tree[it->is_directory() ? name + "\\" : name] =
          it->is_regular_file() && !it->is_symlink() ? slurp(it->path()) : "";
    }
    return tree;
  }
};

const Env kUser = {{"AppData", "C:\\t\\appdata"}, {"HomeDrive", "C:"}, {"HomePath", "\\t\\home"}};

struct Row {
  const char* name;
  std::string prefs;  // the preferences file's bytes; kNone: no file
  Tree files = {};    // more files below C:\t (a name ending in "\" is a folder)
  std::string out = "";
  int status = 0;
  std::string base = "";  // the script and listings, as the script names them without ending
  std::string elf = "";   // the ELF file as the script names it
  int tools = 2;          // bit i: the tools at kToolDirs[i]
  Env env = kUser;
  std::vector<std::string> args = {};
  const char* only = "";  // "native" or "wine": the row runs there alone
  std::string held = "";  // an older script that cannot be replaced
  Tree made = {};         // files the run adds besides the script and listings
};

const std::string kTypical = crlf({"editor.font=Monospaced,plain,12", "build.path=C:\\t\\build",
                                   "sketchbook.path=C:\\t\\book", "upload.verify=true"});
const Tree kBuilt = {{"build\\blink.cpp.elf", kElf}};
const Tree kSketch = {{"build\\blink.cpp.elf", kElf}, {"book\\sketches\\blink\\blink.ino", ""}};
const std::string kTypicalElf = "c:\\t\\build\\blink.cpp.elf";
const std::string kTypicalBase = "c:\\t\\book\\sketches\\blink\\blink";
const std::string kNotFound = crlf({"**ERROR** Can not find Ardunio preferences file:",
                                    "C:\\t\\appdata\\Arduino\\preferences.txt"});
const std::string kCannotOpen = crlf(
    {"**Error** opening Ardunio preferences file:", "C:\\t\\appdata\\Arduino\\preferences.txt"});
std::string build_path_block(const std::string& home) {
  return crlf({"**ERROR** This program requires that the 'build.path' is specified",
               "          in the user's Ardunio preferences file. Please set up a",
               "          directory for builds and add it to your preferences file.",
               "  Example:", "          build.path=" + home + "Documents\\Arduino\\Build", "",
               "          Please also set preproc.save_build_files to true.", "",
               "Your Ardunio preferences file is:", "C:\\t\\appdata\\Arduino\\preferences.txt"});
}
const std::string kNoBuildPath = build_path_block("C:\\t\\home\\");
std::string no_elf(const std::string& dir) {
  return crlf({"**ERROR** Can not find '*.elf' file in build directory:", dir});
}
const std::string kNoTools =
    crlf({"**ERROR** Can not find 'avr-objdump.exe'.",
          "Searched:", "    C:\\Program Files (x86)\\Arduino\\hardware\\tools\\avr\\bin\\",
          "    C:\\Program Files\\Arduino\\hardware\\tools\\avr\\bin\\",
          "    C:\\Arduino\\hardware\\tools\\avr\\bin\\",
          "    C:\\bin\\Arduino\\hardware\\tools\\avr\\bin\\"});
const std::string kHelp = slurp(TOLVANE_SOURCE_DIR "/tests/golden/help.txt");
std::string project(const std::string& dir) { return "home\\" + dir + "\\blink\\blink.ino"; }
std::string lines_before(const std::string& last, size_t size) {
  std::string text;
  while (text.size() < size) text += "editor.line" + std::to_string(text.size()) + "=x\r\n";
  return text + last;
}

const Row kRows[] = {
    {"help", kNone, {}, kHelp, 0, "", "", 2, kUser, {"/?"}},
    {"help_for_two_empty_arguments", kNone, {}, kHelp, 0, "", "", 2, kUser, {"", ""}},
    {"help_for_a_matching_wildcard", kNone, {{"x.ino", ""}}, kHelp, 0, "", "", 2, kUser, {"*.ino"}},
    {"typical", kTypical, kSketch, "", 0, kTypicalBase, kTypicalElf},
    {"one_empty_argument_runs_the_job",
     kTypical,
     kSketch,
     "",
     0,
     kTypicalBase,
     kTypicalElf,
     2,
     kUser,
     {""}},
    {"sketchbook_folder",
     kTypical,
     {{"build\\blink.cpp.elf", kElf}, {"book\\blink\\blink.ino", ""}},
     "",
     0,
     "c:\\t\\book\\blink\\blink",
     kTypicalElf},
    {"documents_projects",
     kTypical,
     {{"build\\blink.cpp.elf", kElf}, {project("Documents\\Projects"), ""}},
     "",
     0,
     "C:\\t\\home\\Documents\\Projects\\blink\\blink",
     kTypicalElf},
    {"my_documents_projects",
     kTypical,
     {{"build\\blink.cpp.elf", kElf}, {project("My Documents\\Projects"), ""}},
     "",
     0,
     "C:\\t\\home\\My Documents\\Projects\\blink\\blink",
     kTypicalElf},
    {"documents_arduino",
     kTypical,
     {{"build\\blink.cpp.elf", kElf}, {project("Documents\\Arduino"), ""}},
     "",
     0,
     "C:\\t\\home\\Documents\\Arduino\\blink\\blink",
     kTypicalElf},
    {"my_documents_arduino_after_documents_projects",
     kTypical,
     {{"build\\blink.cpp.elf", kElf},
      {project("My Documents\\Arduino"), ""},
      {project("Documents\\Projects"), ""}},
     "",
     0,
     "C:\\t\\home\\Documents\\Projects\\blink\\blink",
     kTypicalElf},
    {"my_documents_arduino",
     kTypical,
     {{"build\\blink.cpp.elf", kElf}, {project("My Documents\\Arduino"), ""}},
     "",
     0,
     "C:\\t\\home\\My Documents\\Arduino\\blink\\blink",
     kTypicalElf},
    {"no_source_output_in_build", kTypical, kBuilt, "", 0, "c:\\t\\build\\blink", kTypicalElf},
    {"no_sketchbook_current_folder",
     crlf({"build.path=C:\\t\\build"}),
     {{"build\\blink.cpp.elf", kElf}, {"blink.ino", ""}},
     "",
     0,
     "blink",
     kTypicalElf},
    {"last_tool_location_present", kTypical, kBuilt, "", 0, "c:\\t\\build\\blink", kTypicalElf, 5},
    {"first_tool_location", kTypical, kBuilt, "", 0, "c:\\t\\build\\blink", kTypicalElf, 1},
    {"fourth_tool_location", kTypical, kBuilt, "", 0, "c:\\t\\build\\blink", kTypicalElf, 8},
    {"elf_without_cpp_ending",
     kTypical,
     {{"build\\blink.ino.elf", kElf}},
     "",
     0,
     "c:\\t\\build\\",
     "c:\\t\\build\\blink.ino.elf"},
    {"spaces_parentheses_ampersand_percent",
     crlf({"build.path=C:\\t\\My Build", "sketchbook.path=C:\\t\\My (1) & 100%"}),
     {{"my build\\my blink.cpp.elf", kElf},
      {"My (1) & 100%\\sketches\\my blink\\my blink.ino", ""}},
     "",
     0,
     "c:\\t\\my (1) & 100%%\\sketches\\my blink\\my blink",
     "c:\\t\\my build\\my blink.cpp.elf"},
    {"older_script_and_listings_replaced_whole",
     kTypical,
     {{"build\\blink.cpp.elf", kElf},
      {"book\\sketches\\blink\\blink.ino", ""},
      {"book\\sketches\\blink\\blink_dump.cmd", std::string(5000, 'x')},
      {"book\\sketches\\blink\\blink.asm.txt", "older listing\r\n"},
      {"book\\sketches\\blink\\blink.hrd.txt", "older listing\r\n"}},
     "",
     0,
     kTypicalBase,
     kTypicalElf},
    {"script_that_cannot_be_replaced_runs_as_it_is",
     kTypical,
     kSketch,
     "",
     0,
     "",
     "",
     2,
     kUser,
     {},
     "native",
     "book\\sketches\\blink\\blink_dump.cmd",
     {{"kept.txt", "GNU readelf"}}},
    {"script_that_cannot_be_written",
     kTypical,
     {{"build\\blink.cpp.elf", kElf},
      {"book\\sketches\\blink\\blink.ino", ""},
      {"book\\sketches\\blink\\blink_dump.cmd\\", ""}},
     crlf({"**ERROR** Can not write the dump script:",
           "c:\\t\\book\\sketches\\blink\\blink_dump.cmd"}),
     255},
    {"no_preferences", kNone, kSketch, kNotFound, 255},
    {"no_appdata",
     kTypical,
     kSketch,
     crlf({"**ERROR** Can not find Ardunio preferences file:", "\\Arduino\\preferences.txt"}),
     255,
     "",
     "",
     2,
     {{"HomeDrive", "C:"}, {"HomePath", "\\t\\home"}}},
    {"preferences_a_folder", kNone, {{kPrefs + "\\", ""}}, kNotFound, 255},
    {"preferences_unreadable",
     kTypical,
     kSketch,
     kCannotOpen,
     255,
     "",
     "",
     2,
     kUser,
     {},
     "native",
     kPrefs},
    {"no_build_path", crlf({"sketchbook.path=C:\\t\\book"}), kSketch, kNoBuildPath, 255},
    {"empty_build_path", crlf({"build.path=  "}), kSketch, kNoBuildPath, 255},
    {"build_path_without_equals", crlf({"build.path C:\\t\\build"}), kSketch, kNoBuildPath, 255},
    {"build_path_block_without_home",
     crlf({"build.path="}),
     kSketch,
     build_path_block("\\"),
     255,
     "",
     "",
     2,
     {{"AppData", "C:\\t\\appdata"}}},
    {"byte_order_mark_hides_the_first_line", "\xEF\xBB\xBF" + crlf({"build.path=C:\\t\\build"}),
     kSketch, kNoBuildPath, 255},
    {"ctrl_z_ends_the_data",
     crlf({"sketchbook.path=C:\\t\\book", "\x1a", "build.path=C:\\t\\build"}), kSketch,
     kNoBuildPath, 255},
    {"no_elf",
     kTypical,
     {{"build\\blink.ino", ""}, {"build\\folder.elf\\", ""}},
     no_elf("c:\\t\\build\\"),
     255},
    {"cr_alone_ends_no_line", "build.path=C:\\t\\build\rsketchbook.path=C:\\t\\book\r\n", kSketch,
     no_elf("c:\\t\\build\rsketchbook.path=c:\\t\\book\\"), 255},
    {"nul_in_the_build_path", std::string("build.path=C:\\t\\bu\0ild\r\n", 24), kSketch,
     no_elf(std::string("c:\\t\\bu\0ild\\", 12)), 255},
    {"no_objdump", kTypical, kSketch, kNoTools, 255, "", "", 0},
    {"keys_in_any_case_values_lowered",
     crlf({"BUILD.Path=C:\\T\\BUILD", "SketchBook.PATH=C:\\t\\Book"}), kSketch, "", 0, kTypicalBase,
     kTypicalElf},
    {"spaces_around_the_key_and_value",
     crlf({"  build.path =  C:\\t\\my  build  ", "sketchbook.path=C:\\t\\book"}),
     {{"my  build\\blink.cpp.elf", kElf}, {"book\\sketches\\blink\\blink.ino", ""}},
     "",
     0,
     kTypicalBase,
     "c:\\t\\my  build\\blink.cpp.elf"},
    {"the_last_line_wins_and_a_longer_key_counts",
     "build.path=C:\\t\\x\nbuild.paths=C:\\t\\build\r\nsketchbook.path=C:\\t\\book\n", kSketch, "",
     0, kTypicalBase, kTypicalElf},
    {"short_build_path",
     crlf({"build.path=b"}),
     {{"b\\blink.cpp.elf", kElf}},
     "",
     0,
     "b\\blink",
     "b\\blink.cpp.elf"},
    {"nul_bytes_at_the_end", kTypical + std::string("build.path=C:\\t\\build\0\0", 23), kSketch, "",
     0, kTypicalBase, kTypicalElf},
    {"a_megabyte_before_the_build_path", lines_before("build.path=C:\\t\\build", 1 << 20), kBuilt,
     "", 0, "c:\\t\\build\\blink", kTypicalElf},
    {"a_real_arduino_build",
     crlf({"board=uno", "build.path=C:\\t\\build", "sketchbook.path=C:\\t\\book"}),
     {{"build\\Blink.cpp.elf", kArduinoElf}, {"book\\Blink\\Blink.ino", ""}},
     "",
     0,
     "c:\\t\\book\\Blink\\Blink",
     "c:\\t\\build\\Blink.cpp.elf"},
    {"names_no_windows_path_holds",
     kTypical,
     {{"build\\a\"b.cpp.elf", kElf}},
     no_elf("c:\\t\\build\\"),
     255,
     "",
     "",
     2,
     kUser,
     {},
     "native"},
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

class Scenario : public ::testing::TestWithParam<std::tuple<bool, Row>> {};

TEST_P(Scenario, Run) {
  const auto& [on_wine, row] = GetParam();
  if (*row.only && row.only != std::string(on_wine ? "wine" : "native")) GTEST_SKIP();
  Machine machine(on_wine);
  if (row.prefs != kNone) spit(machine.c("t\\" + kPrefs), row.prefs);
  for (const auto& [name, bytes] : row.files) {
    if (name.back() == '\\')
      fs::create_directories(machine.c("t\\" + name));
    else if (bytes == kElf)
      spit(machine.c("t\\" + name), slurp(TOLVANE_SOURCE_DIR "/examples/blink/blink.cpp.elf"));
    else if (bytes == kArduinoElf)
      spit(machine.c("t\\" + name), slurp(TOLVANE_ARDUINO_ELF));
    else
      spit(machine.c("t\\" + name), bytes);
  }
  int last_tools = -1;
  for (int i = 0; i < 4; ++i) {
    if (row.tools & (1 << i)) machine.install_tools(kToolDirs[last_tools = i]);
  }
  std::string privileges;
  if (row.held == kPrefs) {
    chmod(machine.c("t\\" + kPrefs).c_str(), 0);
    if (geteuid() == 0) privileges = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
  } else if (!row.held.empty()) {
    // Runs the readelf tool: the older script's own line.
    spit(machine.c("t\\" + row.held), "\"" + std::string(kToolDirs[last_tools]) + kBin +
                                          "avr-readelf.exe\" -v > \"C:\\t\\kept.txt\"\r\n");
    chmod(machine.c("t\\" + row.held).c_str(), 0444);
  }
  Tree expected = machine.tree();

  const char* wrapper = on_wine ? nullptr : std::getenv("TOLVANE_TEST_WRAPPER");
  const std::string program = (wrapper ? std::string(wrapper) + " " : "") + machine.program();
  std::string command = machine.command(program, row.args, row.env);
  if (!privileges.empty()) command = privileges + "sh -c " + shq(command);
  auto [out, status] = shell(command + " </dev/null");
  machine.wait_for_tools();
  if (on_wine && row.out.empty() && !out.empty()) {
    // cmd shows each line of the script after its prompt.
    std::istringstream lines(out);
    bool only_echo = true;
    for (std::string line; std::getline(lines, line);)
      only_echo &= line == "\r" || line.rfind("C:\\t>", 0) == 0;
    if (only_echo) out.clear();
  }
  EXPECT_EQ(row.out, out);
  EXPECT_EQ(row.status, status);

  Tree after = machine.tree();
  if (!row.base.empty()) {
    const std::string below = lower(replaced(row.base, "%%", "%"));
    const std::string place = below.rfind("c:\\t\\", 0) == 0 ? below.substr(5) : below;
    const std::string tools = std::string(kToolDirs[last_tools]) + kBin;
    expected[place + "_dump.cmd"] = crlf({"\"" + tools + "avr-objdump.exe\" -S \"" + row.elf +
                                              "\" > \"" + row.base + ".asm.txt\"",
                                          "\"" + tools + "avr-readelf.exe\" -e \"" + row.elf +
                                              "\" > \"" + row.base + ".hrd.txt\""}) +
                                    slurp(TOLVANE_SOURCE_DIR "/tests/golden/script-tail.txt");
    const std::string listing = after[place + ".asm.txt"], headers = after[place + ".hrd.txt"];
    EXPECT_EQ(0u, listing.find("\n")) << listing.substr(0, 100);
    EXPECT_NE(std::string::npos, listing.find(":     file format elf32-avr"));
    EXPECT_EQ(0u, headers.find("ELF Header:")) << headers.substr(0, 100);
    expected[place + ".asm.txt"] = listing;
    expected[place + ".hrd.txt"] = headers;
  }
  for (const auto& [name, start] : row.made) {
    EXPECT_EQ(0u, after[name].find(start)) << name;
    expected[name] = after[name];
  }
  for (auto& tree : {&expected, &after}) {
    for (auto& [name, bytes] : *tree)
      bytes = bytes.size() > 200 ? std::to_string(std::hash<std::string>()(bytes)) : bytes;
  }
  EXPECT_EQ(expected, after);
}

std::string name_of(const ::testing::TestParamInfo<Scenario::ParamType>& info) {
  return std::get<1>(info.param).name;
}

INSTANTIATE_TEST_SUITE_P(Native, Scenario,
                         ::testing::Combine(::testing::Values(false), ::testing::ValuesIn(kRows)),
                         name_of);
INSTANTIATE_TEST_SUITE_P(Wine, Scenario,
                         ::testing::Combine(::testing::Values(true), ::testing::ValuesIn(kRows)),
                         name_of);

// The key wait for real: the program fails in a terminal inside tmux and
// waits for a key; afterwards the shell finds nothing of the key left.
class KeyWait : public ::testing::TestWithParam<std::tuple<bool, const char*>> {};

TEST_P(KeyWait, AKeyEndsTheWait) {
  const auto [on_wine, key] = GetParam();
  Machine machine(on_wine);
  const fs::path dir = machine.c("t");
  const std::string tmux = "tmux -L tolvane-test-" + std::to_string(getpid()) + " ";
  const std::string program =
      on_wine ? machine.wine_env() + "wine " + shq(TOLVANE_WINDOWS_DIR "/Tolvane.exe")
              : "TOLVANE_DRIVES=" + shq(machine.drives) + " AppData=" + shq("C:\\t\\nowhere") +
                    " " + machine.program();
  // Each file appears whole, by a rename; "timeout" ends all should the test fail.
  const std::string script =
      "cd " + shq(dir) + " && " + program +
      "; echo $? >s; mv s status; IFS= read -r r; echo \"[$r]\" >r; mv r rest";
  ASSERT_EQ(0, system((tmux + "new-session -d -x 100 -y 30 -s k " +
                       shq("timeout -s KILL 60 sh -c " + shq(script)))
                          .c_str()));
  auto wait_for = [&](const std::function<bool()>& done) {
    for (int i = 0; i < 600 && !done(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return done();
  };
  auto screen = [&] { return shell(tmux + "capture-pane -p -t k").first; };
  EXPECT_TRUE(wait_for([&] { return screen().find("Can not find Ardunio") != std::string::npos; }))
      << screen();
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
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

INSTANTIATE_TEST_SUITE_P(Native, KeyWait,
                         ::testing::Combine(::testing::Values(false),
                                            ::testing::Values("a", "F5")));
INSTANTIATE_TEST_SUITE_P(Wine, KeyWait,
                         ::testing::Combine(::testing::Values(true), ::testing::Values("a", "F5")));

}  // namespace
