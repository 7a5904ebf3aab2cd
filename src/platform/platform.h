// The one interface through which the program reaches the machine: files and
// directories, environment, command runner, text operations, console, key wait
// and exit. Every text is a byte string that may hold NUL bytes.
#ifndef TOLVANE_PLATFORM_PLATFORM_H_
#define TOLVANE_PLATFORM_PLATFORM_H_

#include <string>
#include <vector>

namespace platform {

using Text = std::string;

// --- Start-up --------------------------------------------------------------

/// Sets up the byte rules of the text operations (on POSIX the character-type
/// locale from the environment); call once, first.
void start_up();

// --- Environment and directories -------------------------------------------

/// Value of an environment variable, its name matched in any letter case;
/// empty when unset.
Text environment_value(const Text& name);

/// Sets an environment variable for this process and the programs it runs.
void set_environment_value(const Text& name, const Text& value);

/// The user's Documents folder as the system's shell gives it, which may lie
/// elsewhere than below the home folder (in OneDrive, say); empty when the
/// system has none or cannot say.
Text documents_folder();

/// Name, without directory, of the first listed ordinary file matching the
/// path or wildcard pattern; empty when none.
Text first_match(const Text& pattern);

/// |path| as a full path from its drive, as the system resolves it against
/// the current folder; |path| itself when that cannot be told.
Text full_path(const Text& path);

/// The full path of this program's file, as GetModuleFileNameA gives it on
/// Windows; on POSIX /proc/self/exe, as a drive's path ("C:\...") when it
/// lies below TOLVANE_DRIVES. Empty when it cannot be told.
Text program_path();

/// True when first_match of the path is not empty.
bool file_present(const Text& path);

/// True when something other than a folder stands at the path, whatever its
/// attributes (hidden and system files too).
bool file_exists(const Text& path);

/// The last-write time of the file (not a folder) at |path|, whatever its
/// attributes, comparable with Entry::written; -1 when there is none.
long long last_write_time(const Text& path);

/// True when the file at |path| exists and open_for_output could write it
/// anew; it is left unchanged. False for a read-only, hidden, system or
/// immutable file, or one that another program holds open against writers.
bool replaceable(const Text& path);

/// An entry of a listing: its name without directory, whether it is a folder,
/// and its last-write time (comparable between entries, not a date).
struct Entry {
  Text name;
  bool folder;
  long long written;
};

/// The listed files and folders matching the path or wildcard pattern, as
/// first_match accepts them (neither hidden nor system) and folders likewise,
/// without "." and ".."; in the platform's order.
std::vector<Entry> matches(const Text& pattern);

/// Reads the whole file at |path| into |bytes|, as it is; false when it cannot
/// be read or holds more than |limit| bytes.
bool read_file(const Text& path, size_t limit, Text& bytes);

/// Reads at most the first |limit| bytes of the file at |path| into |bytes|;
/// false when it cannot be read.
bool read_file_start(const Text& path, size_t limit, Text& bytes);

// --- Files -----------------------------------------------------------------

/// Values of error_number().
enum ErrorNumber { no_error = 0, illegal_call = 1, file_not_found = 2, file_io_error = 3 };

/// What the last open, read_line, write_line or close_file reported.
int error_number();

/// Opens a file for reading as text; sets error_number.
void open_for_input(const Text& path);

/// Creates or truncates a file for writing byte for byte; sets error_number.
void open_for_output(const Text& path);

/// True when the input file has no more data, or when no file is open.
bool end_of_file();

/// Reads the next line of the input file into |line|, without its line end;
/// on a closed handle |line| keeps its value. Sets error_number.
void read_line(Text& line);

/// Writes |text| and CR LF to the output file; sets error_number. On Windows
/// the text goes into the OEM code page, in which the command interpreter
/// reads scripts; a character that has no place there is a file_io_error.
void write_line(const Text& text);

/// Closes the open file; file_io_error when buffered bytes could not be
/// stored. Sets error_number.
void close_file();

/// Reads at most the first |limit| bytes of the script at |path| into |text|,
/// in the ANSI code page: what write_line stored, read back. False when it
/// cannot be read.
bool read_script(const Text& path, size_t limit, Text& text);

/// The command interpreter that run_command starts: ComSpec, or cmd.exe in
/// the system folder when that is unset.
Text command_interpreter();

/// Runs a command text through the command interpreter, with neither its
/// AutoRun commands nor delayed expansion, and waits for it; on a console,
/// the OEM code page is the console's while it runs. Sets |status| to its
/// exit status; false when the interpreter could not start.
bool run_command(const Text& command, int& status);

/// True when the file or folder at |path| itself (a link, not what it names)
/// is owned by someone other than the current user, the Administrators group,
/// SYSTEM or TrustedInstaller (on POSIX: the effective user and root), or its
/// owner cannot be read. False when it is missing, on a network drive, or on a
/// file system that records no owner.
bool owned_by_another_user(const Text& path);

// --- Text operations (1-based byte positions) ------------------------------

/// Removes spaces at the start, and spaces and NUL bytes at the end.
Text trim(const Text& text);

/// Lowers every single-byte character that the code page of file names has as
/// upper case (on POSIX the character-type locale's); every byte of a longer
/// character stays as it is.
Text lower_case(const Text& text);

/// Position of the first |pattern| in |text| at or after |start|; 0 if none.
long find(long start, const Text& text, const Text& pattern);

/// The bytes of |text| from position |start| to its end.
Text middle(const Text& text, long start);

/// The first |count| bytes of |text|.
Text left(const Text& text, long count);

/// The byte count of |text|.
long length(const Text& text);

/// True when the last character of |text| is a backslash: not the second
/// byte of a double-byte character, which may be the same byte.
bool ends_in_backslash(const Text& text);

/// True when |text| is well-formed UTF-8 (no overlong forms, no surrogates).
bool is_utf8(const Text& text);

/// |utf8|, well-formed UTF-8, in the ANSI code page; false when a character
/// has no place there, |ansi| then holding "?" in its place.
bool ansi_from_utf8(const Text& utf8, Text& ansi);

// --- Console, key wait and exit --------------------------------------------

/// Writes |text| and CR LF to standard output: the bytes as they are, or on a
/// Windows console the characters that they mean in the ANSI code page.
void print_line(const Text& text);

/// Blocks until the user presses a key; returns at once without a console.
void wait_for_key();

/// True when a key can come: standard input is a console (on POSIX a
/// terminal), so that wait_for_key waits.
bool console_input();

/// True when the console is the program's own, so that it closes when the
/// program ends: on Windows, GetConsoleProcessList counts this process alone
/// (Tolvane was double-clicked, not run from a command prompt or a script).
/// On POSIX, the nearest: standard input is a terminal whose session this
/// process leads (a terminal window opened to run it, "xterm -e" say).
bool owns_console();

/// Closes what is still open and ends the process with |status|.
[[noreturn]] void end_run(int status);

/// When a key can come: prints a line saying that a key closes the window (in
/// a console of the program's own) or goes on, then waits for it. Without a
/// console it does nothing.
void prompt_and_wait();

/// Prints each line, prompts and waits for a key, and ends the process with
/// status -1.
[[noreturn]] void fail_and_wait(const std::vector<Text>& lines);

}  // namespace platform

#endif  // TOLVANE_PLATFORM_PLATFORM_H_
