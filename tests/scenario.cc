// The scenario fixture.
#include "scenario.h"

#include <cstdlib>
#include <cstring>

namespace scenario {

const char kArea[] = "C:\\tolvane-test";
const char kAppData[] = "C:\\tolvane-test\\appdata";
const char kPrefs[] = "C:\\tolvane-test\\appdata\\Arduino\\preferences.txt";
const char kHome[] = "C:\\tolvane-test\\home";
const char kBuild[] = "C:\\tolvane-test\\build";
const char kBook[] = "C:\\tolvane-test\\book";
const char* const kToolDirs[4] = {
    "C:\\Program Files (x86)\\Arduino\\hardware\\tools\\avr\\bin",
    "C:\\Program Files\\Arduino\\hardware\\tools\\avr\\bin",
    "C:\\Arduino\\hardware\\tools\\avr\\bin",
    "C:\\bin\\Arduino\\hardware\\tools\\avr\\bin",
};

void Scenario::SetUp() {
  if (GetParam() == "wine") {
    const char* skip = std::getenv("TOLVANE_SKIP_WINE");
    if (skip && std::strcmp(skip, "1") == 0) GTEST_SKIP() << "TOLVANE_SKIP_WINE=1";
    machine_ = harness::wine_machine();
  } else {
    machine_ = harness::native_machine();
  }
  reset();
}

void Scenario::reset() {
  std::string why;
  ASSERT_TRUE(machine_->prepare(why)) << why;
}

Call Scenario::user_call() const {
  Call call;
  call.environment = {{"AppData", std::string(kAppData)},
                      {"HomeDrive", std::string("C:")},
                      {"HomePath", std::string("\\tolvane-test\\home")}};
  return call;
}

void Scenario::write(const std::string& windows_path, const std::string& bytes) {
  harness::write_file(host(windows_path), bytes);
}

std::string Scenario::read(const std::string& windows_path) const {
  return harness::read_file(host(windows_path));
}

bool Scenario::exists(const std::string& windows_path) const {
  return harness::exists(host(windows_path));
}

void Scenario::write_preferences(const std::vector<std::string>& lines) {
  write(kPrefs, harness::crlf_lines(lines));
}

void Scenario::place_elf(const std::string& windows_dir, const std::string& name) {
  write(windows_dir + "\\" + name, harness::read_file(harness::sample_elf()));
}

void Scenario::place_source(const std::string& windows_dir, const std::string& name) {
  write(windows_dir + "\\" + name + ".ino", "void setup() {}\r\nvoid loop() {}\r\n");
}

void Scenario::typical_setup() {
  write_preferences({"editor.font=Monospaced,plain,12", "build.path=C:\\tolvane-test\\build",
                     "sketchbook.path=C:\\tolvane-test\\book", "upload.verify=true"});
  place_elf(kBuild, "blink.cpp.elf");
  place_source(std::string(kBook) + "\\sketches\\blink", "blink");
  machine_->install_tools(kToolDirs[1]);
}

void Scenario::expect_only_interpreter_echo(const Outcome& outcome, const Call& call) const {
  if (!on_windows()) {
    EXPECT_EQ("", outcome.out);
    return;
  }
  // cmd echoes each line it runs after its prompt, the current directory.
  const std::string prompt = call.directory + ">";
  size_t begin = 0;
  while (begin < outcome.out.size()) {
    size_t end = outcome.out.find("\r\n", begin);
    if (end == std::string::npos) end = outcome.out.size();
    std::string line = outcome.out.substr(begin, end - begin);
    if (!line.empty()) {
      EXPECT_EQ(0u, line.find(prompt)) << "not the interpreter's echo: " << line;
    }
    begin = end + 2;
  }
}

std::string expected_script(const std::string& objdump, const std::string& readelf,
                            const std::string& elf, const std::string& base) {
  return harness::crlf_lines({
      "\"" + objdump + "\" -S \"" + elf + "\" > \"" + base + ".asm.txt\"",
      "\"" + readelf + "\" -e \"" + elf + "\" > \"" + base + ".hrd.txt\"",
      "",
      "",
      "exit",
      "",
      "avr-objdump",
      "Options are:",
      "  -a, --archive-headers    Display archive header information",
      "  -f, --file-headers       Display the contents of the overall file header",
      "  -p, --private-headers    Display object format specific file header contents",
      "  -h, --[section-]headers  Display the contents of the section headers",
      "  -x, --all-headers        Display the contents of all headers",
      "  -d, --disassemble        Display assembler contents of executable sections",
      "  -D, --disassemble-all    Display assembler contents of all sections",
      "  -S, --source             Intermix source code with disassembly",
      "  -s, --full-contents      Display the full contents of all sections requested",
      "  -g, --debugging          Display debug information in object file",
      "  -e, --debugging-tags     Display debug information using ctags style",
      "  -G, --stabs              Display (in raw form) any STABS info in the file",
      "  -W, --dwarf              Display DWARF info in the file",
      "  -t, --syms               Display the contents of the symbol table(s)",
      "  -T, --dynamic-syms       Display the contents of the dynamic symbol table",
      "  -r, --reloc              Display the relocation entries in the file",
      "  -R, --dynamic-reloc      Display the dynamic relocation entries in the file",
      "",
      "",
      "",
      "readelf",
      "Options are:",
      "  -a --all               Equivalent to: -h -l -S -s -r -d -V -A -I",
      "  -h --file-header       Display the ELF file header",
      "  -l --program-headers   Display the program headers",
      "  -S --section-headers   Display the sections' header",
      "  -g --section-groups    Display the section groups",
      "  -t --section-details   Display the section details",
      "  -e --headers           Equivalent to: -h -l -S",
      "  -s --symbols           Display the symbol table",
      "  -n --notes             Display the core notes (if present)",
      "  -r --relocs            Display the relocations (if present)",
      "  -u --unwind            Display the unwind info (if present)",
      "  -d --dynamic           Display the dynamic section (if present)",
      "  -V --version-info      Display the version sections (if present)",
      "  -A --arch-specific     Display architecture specific information (if any).",
      "  -c --archive-index     Display the symbol/file index in an archive",
      "  -D --use-dynamic       Use the dynamic section info when displaying symbols",
      "",
  });
}

}  // namespace scenario
