// The driver: help text or the stages, in their fixed order.
#include "app/driver.h"

#include <iterator>

#include "app/dump_script.h"
#include "app/places.h"
#include "app/preferences.h"
#include "app/sketch.h"
#include "app/toolchain.h"

namespace tolvane {

namespace {

// At most 23 lines of at most 79 columns: with the command that asked for it
// and the prompt after it, or in a console of its own the key's line, one
// screen of a console.
const char* const kHelpLines[] = {
    "Tolvane.exe lists what the Arduino IDE built last. It writes <sketch>_dump.cmd",
    "into the sketch's folder and runs it; the script writes two listings there:",
    "<sketch>.asm.txt, the disassembly with the source (objdump -S), and",
    "<sketch>.hrd.txt, the headers (readelf -e). Edit the script and run it again:",
    "Tolvane writes it anew on each run unless you make it read-only.",
    "",
    "Tolvane takes no file: press Verify in the Arduino IDE, then run it.",
    "",
    "Builds: the newest *.elf of the build.path folder (if preferences.txt has one),",
    "  of IDE 2 (arduino\\sketches\\* in %LocalAppData% and %TEMP%, arduino-sketch-*)",
    "  and of IDE 1.x (arduino_build_*, build*.tmp in %TEMP%).",
    "Sketch folder: the one the build records; for a build that records none, the",
    "  first that holds the sketch: the sketchbook's, Projects\\<sketch> and",
    "  Arduino\\<sketch> in Documents; else the build folder.",
    "Tools: the chip's objdump.exe and readelf.exe that the build records (AVR, ARM,",
    "  Xtensa, RISC-V); then hardware\\tools\\avr\\bin\\ (or arm\\bin\\ for ARM) in:",
    nullptr,  // the install folders go here
    "  then the Boards Manager's avr-gcc in Arduino15 or ArduinoData.",
    "",
    "There are no command line options, and no setup is needed.",
    "",
};

}  // namespace

Text help_text() {
  Text text;
  for (const char* line : kHelpLines) {
    if (line) {
      text += line;
      text += "\r\n";
      continue;
    }
    // The install folders, joined by commas and wrapped as the other lines.
    Text folders = "   ";
    for (const char* install : kInstallFolders) {
      const bool last = install == kInstallFolders[std::size(kInstallFolders) - 1];
      const Text item = Text(" ") + install + (last ? ";" : ",");
      if (folders.size() + item.size() > 79) text += folders + "\r\n", folders = "   ";
      folders += item;
    }
    text += folders + "\r\n";
  }
  return text;
}

Text command_line_text(const std::vector<Text>& arguments) {
  Text text;
  for (size_t i = 0; i < arguments.size(); ++i) {
    if (i > 0) text += ' ';
    text += arguments[i];
  }
  return text;
}

void run(const std::vector<Text>& arguments) {
  RunRecord run;
  run.help_text = help_text();
  if (!command_line_text(arguments).empty()) {
    // A file dropped on a double-clicked program brings it here: its window
    // would close before the text was read.
    platform::print_line(run.help_text);
    if (platform::owns_console()) platform::prompt_and_wait();
    platform::end_run(0);
  }
  read_preferences(run);
  resolve_sketch(run);
  // A kept script names its own tools.
  find_kept_script(run);
  if (run.kept_script.empty()) locate_toolchain(run);
  write_and_run_script(run);
}

}  // namespace tolvane
