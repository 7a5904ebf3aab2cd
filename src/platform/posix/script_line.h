// The lines of the command scripts that the program writes, as the POSIX
// command runner reads them.
#ifndef TOLVANE_PLATFORM_POSIX_SCRIPT_LINE_H_
#define TOLVANE_PLATFORM_POSIX_SCRIPT_LINE_H_

#include <functional>
#include <string>
#include <vector>

namespace platform::posix {

/// Where a command's standard output goes: ">" creates or truncates the
/// file, ">>" appends to it.
struct Redirection {
  std::string path;
  bool append = false;

  bool operator==(const Redirection& other) const {
    return path == other.path && append == other.append;
  }
};

/// One script line taken apart.
struct ScriptLine {
  std::vector<std::string> words;         // the program, then its arguments
  std::vector<Redirection> redirections;  // in order; the last one wins
  bool missing_target = false;            // a ">" or ">>" with no file after it
};

/// Takes a script line apart: words are separated by spaces or tabs, each a
/// run of bare bytes and double-quoted strings (quotes removed; an unclosed
/// quote runs to the end of the line); ">" or ">>" outside quotes ends a
/// word and takes the next word as its file; "%%" stands for "%".
ScriptLine parse_script_line(const std::string& line);

/// Gives the value of a variable; empty when it is not set.
using VariableLookup = std::function<std::string(const std::string& name)>;

/// Replaces each "%NAME%" whose variable has a value by that value, as the
/// Windows command interpreter does on its command line; every other "%"
/// stays.
std::string expand_variables(const std::string& text, const VariableLookup& lookup);

/// The script path of a command text: one outer pair of double quotes is
/// stripped, as the Windows command interpreter does, variables are
/// expanded, and the first word of what remains, its quotes removed, is the
/// path.
std::string script_path_of(
    const std::string& command,
    const VariableLookup& lookup = [](const std::string&) { return std::string(); });

/// True when |line|, spaces and tabs around it ignored, is "exit" in any
/// letter case.
bool is_exit_line(const std::string& line);

}  // namespace platform::posix

#endif  // TOLVANE_PLATFORM_POSIX_SCRIPT_LINE_H_
