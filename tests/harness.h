// Runs the real programs on real files, either the native build or
// Tolvane.exe under Wine, behind one interface that speaks Windows paths.
#ifndef TOLVANE_TESTS_HARNESS_H_
#define TOLVANE_TESTS_HARNESS_H_

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace harness {

/// What a run printed on standard output and how it ended.
struct Outcome {
  std::string out;
  int status = 0;              // as the host shows it: -1 arrives as 255
  std::string windows_status;  // under Wine: the status as cmd shows it
};

/// A variable and its value for the run; no value: unset.
using Setting = std::pair<std::string, std::optional<std::string>>;

/// One run of a program.
struct Call {
  std::vector<std::string> arguments;
  std::vector<Setting> environment;            // AppData, HomeDrive, HomePath, ...
  std::string directory = "C:\\tolvane-test";  // the current directory
  bool unprivileged = false;                   // natively as root: run as "nobody", so that
                                               // permission bits hold
};

/// A file tree: path below the root -> content; directories end with "/".
using Tree = std::map<std::string, std::string>;

/// A place to run the programs: the native build, or Windows under Wine.
class Machine {
 public:
  virtual ~Machine() = default;

  /// Makes an empty C:\tolvane-test and clears the tool locations; false,
  /// with the reason in |why|, when this machine cannot run here.
  virtual bool prepare(std::string& why) = 0;

  /// Host path of a Windows path on drive C (such as "C:\x\y").
  virtual std::string host(const std::string& windows_path) const = 0;

  /// Runs the program under test.
  virtual Outcome run_program(const Call& call) = 0;

  /// The program under test as the machine names it in a command line.
  virtual std::string program() const = 0;

  /// Runs a test probe program (tests/probes) by name.
  virtual Outcome run_probe(const std::string& probe, const Call& call) = 0;

  /// Runs a script by hand as the command interpreter would: "" path "".
  virtual Outcome run_script(const std::string& windows_path, const Call& call) = 0;

  /// Installs avr-objdump.exe and avr-readelf.exe into a Windows directory,
  /// each running the real tool from binutils-avr.
  virtual void install_tools(const std::string& windows_dir) = 0;

  /// True for Windows under Wine.
  virtual bool is_windows() const = 0;
};

std::unique_ptr<Machine> native_machine();
std::unique_ptr<Machine> wine_machine();

// --- Host file helpers ------------------------------------------------------

void write_file(const std::string& path, const std::string& bytes);  // makes parents
std::string read_file(const std::string& path);
bool exists(const std::string& path);
void make_dirs(const std::string& path);
void remove_tree(const std::string& path);
Tree snapshot(const std::string& root);  // every file and directory below root

/// Lines joined, each ended with CR LF.
std::string crlf_lines(const std::vector<std::string>& lines);

/// Path of the bundled sample ELF file.
std::string sample_elf();

}  // namespace harness

#endif  // TOLVANE_TESTS_HARNESS_H_
