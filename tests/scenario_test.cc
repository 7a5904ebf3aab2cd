// The program from end to end, natively and as Tolvane.exe under Wine, where
// Wine's cmd.exe runs the script. Each row lays out a user's files below C:\t,
// runs the program there with standard input from /dev/null, and compares
// standard output, the exit status and every file below C:\t afterwards.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>

namespace {

namespace fs = std::filesystem;
using Tree = std::map<std::string, std::string>;  // lower-cased path below C:\t -> bytes
using Env = std::vector<std::pair<std::string, std::string>>;

const std::string kElf = "<ELF>", kArduinoElf = "<ARDUINO ELF>", kFull = "<FULL>", kNone = "<NONE>";
const char* const kToolDirs[] = {"C:\\Program Files (x86)\\Arduino", "C:\\Program Files\\Arduino",
                                 "C:\\Arduino", "C:\\bin\\Arduino"};
const char kBin[] = "\\hardware\\tools\\avr\\bin\\";
const std::string kToolBins[] = {kToolDirs[0] + std::string(kBin), kToolDirs[1] + std::string(kBin),
                                 kToolDirs[2] + std::string(kBin),
                                 kToolDirs[3] + std::string(kBin)};

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
  std::string locale = "";  // under Wine, the locale's variables

  explicit Machine(bool on_wine) : wine(on_wine) {
    drives = wine ? fs::path(TOLVANE_WINE_PREFIX)
                  : fs::temp_directory_path() / ("tolvane-test" + std::to_string(getpid()));
    fs::remove_all(c("t"));
    for (const char* dir : kToolDirs) fs::remove_all(c(dir + 3));
    fs::create_directories(c("t"));
    // One server for every run keeps Wine's start short; it ends 5 s after the last.
    static const int server = wine ? system((wine_env() + "wineserver -p5").c_str()) : 0;
    (void)server;
  }
  ~Machine() {
    if (!wine) fs::remove_all(drives);
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
    std::string line = "cd " + shq(c("t")) + " && env -u AppData -u HomeDrive -u HomePath";
    std::string batch = "@echo off\r\nset AppData=\r\nset HomeDrive=\r\nset HomePath=\r\n";
    for (const auto& [name, value] : env) {
      line += " " + shq(name + "=" + value);
      batch += "set \"" + name + "=" + replaced(value, "%", "%%") + "\"\r\n";
    }
    line += " TOLVANE_DRIVES=" + shq(drives) + " " + program;
    batch += "cd /d C:\\t\r\n" + program;
    for (const std::string& arg : args) line += " " + shq(arg), batch += " \"" + arg + "\"";
    if (!wine) return line;
    spit(c("run.cmd"), batch + "\r\nexit /b %errorlevel%\r\n");
    return "cd " + shq(c("")) + " && " + wine_env() + "wine cmd /c 'C:\\run.cmd'";
  }

  // avr-objdump.exe and avr-readelf.exe running the real tools; under Wine a
  // stand-in gives them the host paths of Windows paths.
  void install_tools(const std::string& dir) const {
    for (const char* tool : {"avr-objdump", "avr-readelf"}) {
      const fs::path path = c(dir.substr(3) + kBin + tool + ".exe");
      fs::create_directories(path.parent_path());
      if (!wine) fs::create_symlink(std::string("/usr/bin/") + tool, path);
      if (!wine) continue;
      spit(path, "#!/bin/sh\nfor a; do case $a in [Cc]:*) a=" + shq(c("")) +
                     "${a#??};; esac; set -- \"$@\" \"$(printf %s \"$a\" | tr '\\\\' /)\"; shift; "
                     "done\nexec env LC_ALL=C /usr/bin/" +
                     tool + " \"$@\"\n");
      fs::permissions(path, fs::perms::owner_all, fs::perm_options::add);
    }
  }

  // Wine's cmd does not wait for the Linux programs that stand in for the
  // tools: waits until none is left ("[/]" keeps pgrep from seeing its shell).
  void wait_for_tools() const {
    for (int quiet = 0; wine && quiet < 5; usleep(20000)) {
      quiet = shell("pgrep -f " + shq("[/]" + c("").string().substr(1))).second ? quiet + 1 : 0;
    }
  }

  Tree tree() const {  // every file and folder below C:\t
    Tree tree;
    for (const auto& entry : fs::recursive_directory_iterator(c("t"))) {
      const std::string name = lower(replaced(fs::relative(entry, c("t")).string(), "/", "\\"));
      tree[entry.is_directory() ? name + "\\" : name] =
          entry.is_symlink() || entry.is_directory() ? "" : slurp(entry);
    }
    return tree;
  }
};

const Env kUser = {{"AppData", "C:\\t\\appdata"}, {"HomeDrive", "C:"}, {"HomePath", "\\t\\home"}};
const std::string kTypicalElf = "c:\\t\\build\\blink.cpp.elf";

struct Row {
  const char* name;
  std::string prefs;      // the preferences file's bytes; kNone: no file
  Tree files;             // more files below C:\t; a name ending in "\" is a folder
  std::string out;        // standard output; a run that prints more than help ends with -1
  std::string base = "";  // the script and listings as the script names them, ending left off
  std::string elf = kTypicalElf;  // the ELF file as the script names it
  int tools = 2;                  // bit i: the tools at kToolDirs[i]
  Env env = kUser;
  std::vector<std::string> args = {};
  std::string only = "";       // "native" or "wine": the row runs there alone
  std::string held = "";       // an older script, or the preferences, that the run cannot open
  Tree made = {};              // the start of each file that the run makes besides its own
  const char* ansi = nullptr;  // the row's texts are UTF-8, meant in this ANSI code page
};
void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

const std::string kPrefs = "appdata\\arduino\\preferences.txt";
const std::string kTypical = crlf({"editor.font=Monospaced,plain,12", "build.path=C:\\t\\build",
                                   "sketchbook.path=C:\\t\\book", "upload.verify=true"});
const Tree kBuilt = {{"build\\blink.cpp.elf", kElf}};
const Tree kSketch = {{"build\\blink.cpp.elf", kElf}, {"book\\sketches\\blink\\blink.ino", ""}};
const std::string kSketchBase = "c:\\t\\book\\sketches\\blink\\blink";
const std::string kBuildBase = "c:\\t\\build\\blink";
const std::string kHelp = slurp(TOLVANE_SOURCE_DIR "/tests/golden/help.txt");
const std::string kNotFound = crlf({"**ERROR** Can not find Ardunio preferences file:",
                                    "C:\\t\\appdata\\Arduino\\preferences.txt"});
std::string no_build_path(const std::string& home = "C:\\t\\home\\") {
  return crlf({"**ERROR** This program requires that the 'build.path' is specified",
               "          in the user's Ardunio preferences file. Please set up a",
               "          directory for builds and add it to your preferences file.",
               "  Example:", "          build.path=" + home + "Documents\\Arduino\\Build", "",
               "          Please also set preproc.save_build_files to true.", "",
               "Your Ardunio preferences file is:", "C:\\t\\appdata\\Arduino\\preferences.txt"});
}
std::string no_elf(const std::string& dir) {
  return crlf({"**ERROR** Can not find '*.elf' file in build directory:", dir});
}
Tree sketch_in(const std::string& folder) {
  return {{"build\\blink.cpp.elf", kElf}, {folder + "\\blink\\blink.ino", ""}};
}
std::string filler(const std::string& line, size_t size) {
  std::string text;
  while (text.size() < size) text += line;
  return text;
}

// clang-format off
const Row kRows[] = {
  {"help", kNone, {}, kHelp, "", "", 2, kUser, {"/?"}},
  {"help_for_two_empty_arguments_or_a_wildcard", kNone, {{"x.ino", ""}}, kHelp, "", "", 2, kUser, {"", "*.ino", ""}},
  {"one_empty_argument_runs_the_job", kTypical, kSketch, "", kSketchBase, kTypicalElf, 2, kUser, {""}},
  {"typical", kTypical, kSketch, "", kSketchBase},
  {"sketchbook_folder", kTypical, sketch_in("book"), "", "c:\\t\\book\\blink\\blink"},
  {"documents_projects", kTypical, sketch_in("home\\Documents\\Projects"), "", "C:\\t\\home\\Documents\\Projects\\blink\\blink"},
  {"my_documents_projects", kTypical, sketch_in("home\\My Documents\\Projects"), "", "C:\\t\\home\\My Documents\\Projects\\blink\\blink"},
  {"documents_arduino", kTypical, sketch_in("home\\Documents\\Arduino"), "", "C:\\t\\home\\Documents\\Arduino\\blink\\blink"},
  {"my_documents_arduino", kTypical, sketch_in("home\\My Documents\\Arduino"), "", "C:\\t\\home\\My Documents\\Arduino\\blink\\blink"},
  {"the_earlier_candidate_wins", kTypical, {{"book\\sketches\\blink\\blink.ino", ""}, {"book\\blink\\blink.ino", ""},
   {"build\\blink.cpp.elf", kElf}, {"home\\Documents\\Arduino\\blink\\blink.ino", ""}}, "", kSketchBase},
  {"no_source_output_in_build", kTypical, kBuilt, "", kBuildBase},
  {"projects_before_arduino", kTypical, {{"build\\blink.cpp.elf", kElf}, {"home\\My Documents\\Projects\\blink\\blink.ino", ""},
   {"home\\Documents\\Arduino\\blink\\blink.ino", ""}}, "", "C:\\t\\home\\My Documents\\Projects\\blink\\blink"},
  {"no_sketchbook_current_folder", crlf({"build.path=C:\\t\\build"}), {{"build\\blink.cpp.elf", kElf}, {"blink.ino", ""}}, "", "blink"},
  {"last_tool_location_present", kTypical, kBuilt, "", kBuildBase, kTypicalElf, 5},
  {"first_tool_location", kTypical, kBuilt, "", kBuildBase, kTypicalElf, 1},
  {"fourth_tool_location", kTypical, kBuilt, "", kBuildBase, kTypicalElf, 8},
  {"elf_without_cpp_ending", kTypical, {{"build\\blink.ino.elf", kElf}}, "", "c:\\t\\build\\", "c:\\t\\build\\blink.ino.elf"},
  {"spaces_parentheses_ampersand_percent", crlf({"build.path=C:\\t\\My Build", "sketchbook.path=C:\\t\\My (1) & 100%"}),
   {{"my build\\my blink.cpp.elf", kElf}, {"My (1) & 100%\\sketches\\my blink\\my blink.ino", ""}}, "",
   "c:\\t\\my (1) & 100%%\\sketches\\my blink\\my blink", "c:\\t\\my build\\my blink.cpp.elf"},
  {"older_script_and_listings_replaced_whole", kTypical, {{"build\\blink.cpp.elf", kElf},
   {"book\\sketches\\blink\\blink.ino", ""}, {"book\\sketches\\blink\\blink_dump.cmd", std::string(5000, 'x')},
   {"book\\sketches\\blink\\blink.asm.txt", "older\r\n"}, {"book\\sketches\\blink\\blink.hrd.txt", "older\r\n"}},
   "", kSketchBase},
  {"script_that_cannot_be_replaced_runs_as_it_is", kTypical, kSketch, "", "", "", 2, kUser, {}, "native",
   "book\\sketches\\blink\\blink_dump.cmd", {{"kept.txt", "GNU readelf"}}},
  {"script_that_cannot_be_written", kTypical, {{"build\\blink.cpp.elf", kElf}, {"book\\sketches\\blink\\blink.ino", ""},
   {"book\\sketches\\blink\\blink_dump.cmd\\", ""}},
   crlf({"**ERROR** Can not write the dump script:", "c:\\t\\book\\sketches\\blink\\blink_dump.cmd"})},
  {"no_preferences", kNone, kSketch, kNotFound},
  {"no_appdata", kTypical, kSketch, crlf({"**ERROR** Can not find Ardunio preferences file:",
   "\\Arduino\\preferences.txt"}), "", "", 2, {{"HomeDrive", "C:"}, {"HomePath", "\\t\\home"}}},
  {"preferences_a_folder", kNone, {{kPrefs + "\\", ""}}, kNotFound},
  {"preferences_unreadable", kTypical, kSketch, crlf({"**Error** opening Ardunio preferences file:",
   "C:\\t\\appdata\\Arduino\\preferences.txt"}), "", "", 2, kUser, {}, "native", kPrefs},
  {"no_build_path", crlf({"sketchbook.path=C:\\t\\book"}), kSketch, no_build_path()},
  {"empty_build_path", crlf({"build.path=  "}), kSketch, no_build_path()},
  {"build_path_without_equals", crlf({"build.path C:\\t\\build"}), kSketch, no_build_path()},
  {"build_path_block_without_home", crlf({"build.path="}), kSketch, no_build_path("\\"), "", "", 2,
   {{"AppData", "C:\\t\\appdata"}}},
  {"byte_order_mark_hides_the_first_line", "\xEF\xBB\xBF" + crlf({"build.path=C:\\t\\build"}), kSketch, no_build_path()},
  {"ctrl_z_ends_the_data", crlf({"sketchbook.path=C:\\t\\book", "\x1a", "build.path=C:\\t\\build"}), kSketch, no_build_path()},
  {"no_elf", kTypical, {{"build\\blink.ino", ""}, {"build\\folder.elf\\", ""}}, no_elf("c:\\t\\build\\")},
  {"cr_alone_ends_no_line", "build.path=C:\\t\\build\rsketchbook.path=C:\\t\\book\r\n", kSketch,
   no_elf("c:\\t\\build\rsketchbook.path=c:\\t\\book\\")},
  {"nul_in_the_build_path", std::string("build.path=C:\\t\\bu\0ild\r\n", 24), kSketch, no_elf(std::string("c:\\t\\bu\0ild\\", 12))},
  {"no_objdump", kTypical, kSketch, crlf({"**ERROR** Can not find 'avr-objdump.exe'.", "Searched:", "    " + kToolBins[0],
   "    " + kToolBins[1], "    " + kToolBins[2], "    " + kToolBins[3]}), "", "", 0},
  {"keys_in_any_case_values_lowered", crlf({"BUILD.Path=C:\\T\\BUILD", "SketchBook.PATH=C:\\t\\Book"}), kSketch, "", kSketchBase},
  {"spaces_around_the_key_and_value", crlf({"  build.path =  C:\\t\\my  build  ", "sketchbook.path=C:\\t\\book"}),
   {{"my  build\\blink.cpp.elf", kElf}, {"book\\sketches\\blink\\blink.ino", ""}}, "", kSketchBase, "c:\\t\\my  build\\blink.cpp.elf"},
  {"the_last_line_wins_and_a_longer_key_counts", "build.path=C:\\t\\x\nbuild.paths=C:\\t\\build\r\nsketchbook.path=C:\\t\\book\n",
   kSketch, "", kSketchBase},
  {"short_build_path", crlf({"build.path=b"}), {{"b\\blink.cpp.elf", kElf}}, "", "b\\blink", "b\\blink.cpp.elf"},
  {"nul_bytes_at_the_end", kTypical + std::string("build.path=C:\\t\\build\0\0", 23), kSketch, "", kSketchBase},
  {"a_megabyte_before_the_build_path", filler("editor.font=x\r\n", 1 << 20) + "build.path=C:\\t\\build", kBuilt, "", kBuildBase},
  {"a_real_arduino_build", crlf({"board=uno", "build.path=C:\\t\\build", "sketchbook.path=C:\\t\\book"}),
   {{"build\\Blink.cpp.elf", kArduinoElf}, {"book\\Blink\\Blink.ino", ""}}, "", "c:\\t\\book\\Blink\\Blink", "c:\\t\\build\\Blink.cpp.elf"},
  {"lf_only_just_past_4_kib", filler("k=v\n", 4100) + "build.path=C:\\t\\build", kBuilt, "", kBuildBase},
  {"lf_only_just_past_8_kib", filler("k=v\n", 8200) + "build.path=C:\\t\\build", kBuilt, "", kBuildBase},
  {"home_and_sketch_outside_ascii", kTypical, {{"build\\Käfer.cpp.elf", kElf}, {"home\\Zoë\\Documents\\Arduino\\Käfer\\Käfer.ino", ""}}, "",
   "C:\\t\\home\\Zoë\\Documents\\Arduino\\Käfer\\Käfer", "c:\\t\\build\\Käfer.cpp.elf", 2,
   {{"AppData", "C:\\t\\appdata"}, {"HomeDrive", "C:"}, {"HomePath", "\\t\\home\\Zoë"}}, {}, "", "", {}, "CP1252"},
  {"a_character_the_oem_code_page_lacks", kTypical, {{"build\\x€.cpp.elf", kElf}},
   crlf({"**ERROR** Can not write the dump script:", "c:\\t\\build\\x€_dump.cmd"}), "", "", 2, kUser, {}, "wine", "",
   {{"build\\x€_dump.cmd", "\"C:\\Program Files\\Arduino"}}, "CP1252"},
  {"double_byte_names_keep_their_second_byte", crlf({"build.path=C:\\t\\アイ"}), {{"アイ\\blink.cpp.elf", kElf}}, "",
   "c:\\t\\アイ\\blink", "c:\\t\\アイ\\blink.cpp.elf", 2, kUser, {}, "wine", "", {}, "CP932"},
  {"a_script_on_a_full_drive", kTypical, {{"build\\blink.cpp.elf", kElf}, {"book\\sketches\\blink\\blink.ino", ""},
   {"book\\sketches\\blink\\blink_dump.cmd", kFull}},
   crlf({"**ERROR** Can not write the dump script:", "c:\\t\\book\\sketches\\blink\\blink_dump.cmd"})},
  {"names_no_windows_path_holds", kTypical, {{"build\\a\"b.cpp.elf", kElf}}, no_elf("c:\\t\\build\\"), "", "", 2, kUser, {}, "native"},
};
// clang-format on

class Scenario : public ::testing::TestWithParam<std::tuple<bool, Row>> {};

TEST_P(Scenario, Run) {
  const auto& [on_wine, row] = GetParam();
  if (!row.only.empty() && row.only != (on_wine ? "wine" : "native")) GTEST_SKIP();
  Machine machine(on_wine);
  // Natively the bytes are the program's text; under Wine host names are
  // UTF-8, cmd reads batch files and scripts in the OEM code page.
  const bool japanese = row.ansi && row.ansi == std::string("CP932");
  const char* oem = !row.ansi ? nullptr : japanese ? "CP932" : "CP437";
  const char* names = on_wine ? nullptr : row.ansi;  // file names on the host
  const char* batch = on_wine ? oem : row.ansi;      // what cmd reads: the variables, the script
  auto host = [&](const std::string& name) { return machine.c("t\\" + in(names, name)); };
  if (japanese) machine.locale = "LOCPATH=" TOLVANE_WINE_PREFIX "-locales LC_ALL=ja_JP.UTF-8 ";
  if (row.prefs != kNone) spit(host(kPrefs), in(row.ansi, row.prefs));
  for (const auto& [name, bytes] : row.files) {
    const fs::path path = host(name);
    fs::create_directories(name.back() == '\\' ? path : path.parent_path());
    if (bytes == kFull) fs::create_symlink("/dev/full", path);
    if (name.back() == '\\' || bytes == kFull) continue;
    spit(path, bytes == kElf          ? slurp(TOLVANE_SOURCE_DIR "/examples/blink/blink.cpp.elf")
               : bytes == kArduinoElf ? slurp(TOLVANE_ARDUINO_ELF)
                                      : bytes);
  }
  std::string tools, privileges;
  for (int i = 0; i < 4; ++i)
    if (row.tools & (1 << i)) machine.install_tools(kToolDirs[i]), tools = kToolBins[i];
  if (row.held == kPrefs && geteuid() == 0)
    privileges = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
  if (row.held != kPrefs && !row.held.empty())  // runs a tool, as the script's own lines do
    spit(host(row.held), "\"" + tools + "avr-readelf.exe\" -v > \"C:\\t\\kept.txt\"\r\n");
  if (!row.held.empty()) chmod(host(row.held).c_str(), row.held == kPrefs ? 0 : 0444);
  Env env;
  for (const auto& [name, value] : row.env) env.push_back({name, in(batch, value)});
  Tree expected = machine.tree();

  const char* wrapper = on_wine ? nullptr : std::getenv("TOLVANE_TEST_WRAPPER");
  std::string command = machine.command(
      (wrapper ? wrapper + std::string(" ") : "") + machine.program(), row.args, env);
  if (!privileges.empty()) command = privileges + "sh -c " + shq(command);
  auto [out, status] = shell(command + " </dev/null");
  machine.wait_for_tools();
  // cmd shows each line of the script after its prompt.
  if (on_wine && row.out.empty())
    out = std::regex_replace(out, std::regex("(C:\\\\t>.*)?\r\n"), "");
  EXPECT_EQ(in(row.ansi, row.out), out);
  EXPECT_EQ(row.out.empty() || row.out == kHelp ? 0 : 255, status);

  Tree after = machine.tree();
  if (!row.base.empty()) {
    const std::string base = lower(in(names, replaced(row.base, "%%", "%")));
    const std::string place = base.rfind("c:\\t\\", 0) == 0 ? base.substr(5) : base;
    expected[place + "_dump.cmd"] =
        in(batch, crlf({"\"" + tools + "avr-objdump.exe\" -S \"" + row.elf + "\" > \"" + row.base +
                            ".asm.txt\"",
                        "\"" + tools + "avr-readelf.exe\" -e \"" + row.elf + "\" > \"" + row.base +
                            ".hrd.txt\""})) +
        slurp(TOLVANE_SOURCE_DIR "/tests/golden/script-tail.txt");
    for (auto [ending, text] :
         {std::pair{".asm.txt", "format elf32-avr"}, {".hrd.txt", "Atmel AVR"}}) {
      expected[place + ending] = after[place + ending];  // a real listing, made afresh
      EXPECT_NE(std::string::npos, after[place + ending].substr(0, 900).find(text)) << ending;
    }
  }
  for (const auto& [name, start] : row.made) {
    const std::string key = lower(in(names, name));
    EXPECT_EQ(0u, after[key].find(start)) << name;
    expected[key] = after[key];
  }
  for (Tree* tree : {&expected, &after}) {  // keeps a failure's message short
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
// waits for a key; afterwards the shell finds nothing of the keys left, even
// of a hundred typed at once.
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
  auto wait_for = [&](const std::function<bool()>& done) {
    for (int i = 0; i < 600 && !done(); ++i) usleep(50000);
    return done();
  };
  auto screen = [&] { return shell(tmux + "capture-pane -p -t k").first; };
  EXPECT_TRUE(wait_for([&] {
    return screen().find("C:\\t\\Zoë\\Arduino\\pref") != std::string::npos;
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

INSTANTIATE_TEST_SUITE_P(Native, KeyWait,
                         ::testing::Combine(::testing::Values(false),
                                            ::testing::Values("-l " + std::string(100, 'a'),
                                                              "F5")));
INSTANTIATE_TEST_SUITE_P(Wine, KeyWait,
                         ::testing::Combine(::testing::Values(true),
                                            ::testing::Values("-l " + std::string(100, 'a'),
                                                              "F5")));

}  // namespace
