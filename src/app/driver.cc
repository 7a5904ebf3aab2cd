// The driver: help text or the stages, in their fixed order.
#include "app/driver.h"

#include "app/dump_script.h"
#include "app/preferences.h"
#include "app/sketch.h"
#include "app/toolchain.h"

namespace tolvane {

namespace {

const char* const kHelpLines[] = {
    "Tolvane.exe is a small program written in Brakka to automate the",
    "process of creating dume files from the elf file produced by the Ardunio IDE.",
    "The program attempts to write a CMD file to the project directory and execute",
    "it. The CMD file allows the Avr-ObjDump and/or Avr-readelf options to be",
    "edited as desired. The dump files are also placed in the project directory. ",
    "",
    "This program requires that 'build.path' be specified in the user's Ardunio",
    "preferences file. Please set up a directory for builds and add it to your ",
    "preferences file.Please also set preproc.save_build_files to true.",
    "",
    "The program searches the following directories for Avr-ObjDump & Avr-readelf:",
    nullptr,  // the tool directories go here
    "Any board with a GCC toolchain (AVR, ARM, Xtensa, RISC-V) is listed by that",
    "toolchain's own objdump and readelf, where the build records them; for AVR",
    "boards the directories above are searched next.",
    "",
    "The program searches the following directories for project directory:",
    "    Sketchbook (as defined in Arduino preferences file)",
    "    <users home path>\\Documents\\Arduino",
    "    <users home path>\\My Documents\\Arduino",
    "    <users home path>\\Documents\\Projects",
    "    <users home path>\\My Documents\\Projects",
    "If project directory can be found then the CMD file is written to the build",
    "is written to the build directory.",
    "",
    "There are no command line options.",
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
    for (const Text& directory : tool_directory_lines()) text += directory + "\r\n";
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
    platform::print_line(run.help_text);
    platform::end_run(0);
  }
  read_preferences(run);
  resolve_sketch(run);
  locate_toolchain(run);
  write_and_run_script(run);
}

}  // namespace tolvane
