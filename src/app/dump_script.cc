// The dump-script stage.
#include "app/dump_script.h"

#include "app/hook.h"
#include "app/places.h"

using namespace platform;

namespace tolvane {

namespace {

const char kScriptEnding[] = "_dump.cmd";
const char kDisassemblyEnding[] = ".asm.txt";
const char kHeadersEnding[] = ".hrd.txt";
const char kNotWritten[] = "**ERROR** Can not write the dump script:";
const char kFoundBuild[] = "Taking the newest build: ";
const char kElsewhere[] = "The sketch's folder refuses new files; the listings go to: ";
const char kNoInterpreter[] = "**ERROR** Can not start the command interpreter:";
// Of a kept script, only this much of its start is searched for the ELF file.
constexpr size_t kKeptScriptLimit = 1 << 20;
const char kElfExtension[] = ".elf";
const char kListingNotWritten[] = "**ERROR** The dump script ran, but did not write:";
const char* const kListingAdvice[] = {
    "Close the program that holds the listing open, or make it writable, or rename",
    "the folder if its name holds %. Then run Tolvane again.",
};

const char* const kObjdumpOptions[] = {
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
};

const char* const kReadelfOptions[] = {
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
};

// A path as the command interpreter must see it inside a script line: with
// each "%" doubled so that it is not taken for a variable.
Text as_written(const Text& path) {
  Text text;
  for (char byte : path) {
    text += byte;
    if (byte == '%') text += '%';
  }
  return text;
}

Text quoted(const Text& path) { return "\"" + as_written(path) + "\""; }

Text tool_line(const Text& tool, const char* option, const Text& elf, const Text& listing) {
  return quoted(tool) + " " + option + " " + quoted(elf) + " > " + quoted(listing);
}

// True when |script| names the ELF file |elf| in each line that names an
// ELF file, and in one at least.
bool names_the_build(const Text& script, const Text& elf) {
  const Text wanted = lower_case(as_written(elf));
  bool named = false;
  for (size_t start = 0; start < script.size();) {
    size_t end = script.find('\n', start);
    if (end == Text::npos) end = script.size();
    const Text line = lower_case(script.substr(start, end - start));
    start = end + 1;
    if (line.find(kElfExtension) == Text::npos) continue;
    if (line.find(wanted) == Text::npos) return false;
    named = true;
  }
  return named;
}

// True, with kept_script, script_path and output_dir set, when the script in
// |folder| stands and may run as it is: nobody else owns it. It runs only
// when it lists the build just made: one that names a build the IDE has
// since deleted, in any of its lines, would empty the listings.
bool kept_at(RunRecord& run, const Text& folder) {
  const Text script = folder + run.sketch_name + kScriptEnding;
  if (!file_exists(script) || passed_over(script)) return false;
  const Text elf = run.build_dir + run.elf_name;
  Text kept;
  if (!read_script(script, kKeptScriptLimit, kept) || !names_the_build(kept, elf)) {
    fail_and_wait({"**ERROR** The dump script can not be written anew, and it does not name",
                   "          the build just made. The script:", script,
                   "The build it should name:", elf,
                   "Make the script writable, so that it is written anew, or edit its path."});
  }
  run.kept_script = run.script_path = script;
  run.output_dir = folder;
  return true;
}

}  // namespace

std::vector<Text> script_lines(const RunRecord& run) {
  const Text elf = run.build_dir + run.elf_name;
  const Text base = run.output_dir + run.sketch_name;
  std::vector<Text> lines = {
      tool_line(run.objdump_path, "-S", elf, base + kDisassemblyEnding),
      tool_line(run.readelf_path, "-e", elf, base + kHeadersEnding),
      "",
      "",
      "exit",
      "",
      "avr-objdump",
      "Options are:",
  };
  for (const char* option : kObjdumpOptions) lines.push_back(option);
  lines.insert(lines.end(), {"", "", "", "readelf", "Options are:"});
  for (const char* option : kReadelfOptions) lines.push_back(option);
  lines.push_back("");
  return lines;
}

const char kScriptVariable[] = "TOLVANE_DUMP_SCRIPT";

Text script_command() {
  // The interpreter strips one outer pair of quotes; the inner pair keeps
  // spaces, parentheses and "&" in the path. The path itself comes from a
  // variable, as the interpreter expands variables once and does not look
  // into their values: a "%" in the path stays as it is.
  return "\"\"%" + Text(kScriptVariable) + "%\"\"";
}

void find_kept_script(RunRecord& run) {
  // Only where the script would go: the first folder whose script is
  // missing or writable takes a new one.
  for (const Text& folder : run.output_dirs) {
    const Text script = folder + run.sketch_name + kScriptEnding;
    if (!file_exists(script) || replaceable(script)) return;
    if (kept_at(run, folder)) return;
  }
}

void write_and_run_script(RunRecord& run) {
  // The first folder that takes a new script gets it; one whose script
  // stands and cannot be replaced, such as a read-only or hidden one, runs it
  // as it is.
  std::vector<Text> tried = {kNotWritten};
  bool refused = false;  // a folder refused new files
  bool written = false;
  for (size_t i = 0; i < run.output_dirs.size() && run.kept_script.empty(); ++i) {
    run.output_dir = run.output_dirs[i];
    run.script_path = run.output_dir + run.sketch_name + kScriptEnding;
    tried.push_back(run.script_path);
    open_for_output(run.script_path);
    if (error_number() != no_error) {
      if (kept_at(run, run.output_dir)) break;
      refused = refused || !file_exists(run.script_path);  // not another user's script
      continue;
    }
    written = true;
    for (const Text& line : script_lines(run)) {
      write_line(line);
      if (error_number() != no_error) written = false;
    }
    close_file();
    // One that lost bytes must not pass for a run.
    if (!written || error_number() != no_error) fail_and_wait(tried);
    break;
  }
  const bool kept = !run.kept_script.empty();
  if (!kept && !written) fail_and_wait(tried);
  // The user named no build, or another one is newer: the one taken is shown.
  if (!run.found_build.empty()) print_line(kFoundBuild + run.found_build);
  if (refused && run.output_dir != run.output_dirs.front()) print_line(kElsewhere + run.output_dir);
  for (const Text& note : run.notes) print_line(note);
  // Each listing must be written by this run: made, or written anew.
  const Text base = full_path(run.output_dir + run.sketch_name);
  const Text listings[] = {base + kDisassemblyEnding, base + kHeadersEnding};
  long long before[2];
  for (int i = 0; i < 2; ++i) before[i] = last_write_time(listings[i]);
  set_environment_value(kScriptVariable, run.script_path);
  int status = 0;  // what the tools gave is in the listings
  if (!run_command(script_command(), status))
    fail_and_wait({kNoInterpreter, command_interpreter()});
  std::vector<Text> unwritten = {kListingNotWritten};
  for (int i = 0; i < 2; ++i) {
    const long long after = last_write_time(listings[i]);
    if (!kept && (after < 0 || after == before[i])) unwritten.push_back(listings[i]);
  }
  if (unwritten.size() > 1) {
    unwritten.insert(unwritten.end(), std::begin(kListingAdvice), std::end(kListingAdvice));
    fail_and_wait(unwritten);
  }
  if (run.output_dir == run.build_dir && run.build_deleted_on_close)
    print_line("The IDE deletes this folder when it closes: copy the listings to keep them.");
  if (!run.unsaved_copy.empty() && run.output_dir == run.unsaved_copy) {
    print_line("This sketch is an unsaved copy that IDE 2 deletes, with the listings, when the");
    print_line("sketch is closed unsaved. Use File > Save As in the IDE to keep it.");
  }
  if (kept) {
    print_line("The dump script ran as it stands: " + full_path(run.script_path));
  } else {
    print_line("Disassembly: " + listings[0]);
    print_line("Headers:     " + listings[1]);
  }
  // A double-clicked program's window would close before they were read.
  if (owns_console()) {
    suggest_hook(run);
    print_line("Press a key to close this window.");
    wait_for_key();
  }
  end_run(0);
}

}  // namespace tolvane
