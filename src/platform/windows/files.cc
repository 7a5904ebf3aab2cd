// Files, directories, environment and the command runner on Windows, over the
// C runtime msvcrt.dll.
#include <io.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/exit_steps.h"
#include "platform/line_rules.h"
#include "platform/platform.h"
#include "platform/windows/console_use.h"

namespace platform {

namespace {

// Attribute bits of entries that do not count as present: hidden, system,
// volume label, directory, and the two bits above archive.
constexpr unsigned kNotPresent = 0x02 | 0x04 | 0x08 | 0x10 | 0x40 | 0x80;
constexpr intptr_t kNoSearch = -1;

// The directory search of the last first_match that found an entry.
intptr_t search = kNoSearch;

int last_error = no_error;
FILE* open_file = nullptr;
bool open_for_writing = false;
long long input_size = 0;

// Each read hands fgets a piece of this size.
constexpr size_t kPiece = 4096;

// True when |text| holds a NUL byte: the runtime would end it there and
// reach another file, so it names none.
bool holds_nul(const Text& text) { return text.find('\0') != Text::npos; }

Text with_backslashes(const Text& path) {
  Text native = path;
  for (char& byte : native) {
    if (byte == '/') byte = '\\';
  }
  return native;
}

// Reads one piece with fgets into |piece| and appends the bytes read to
// |raw|. fgets gives no length, and a line may hold NUL bytes, so the piece
// is first filled with LF and fgets may use all but its last byte: the first
// LF is then either one that was read, with fgets' terminating NUL right
// after it, or an untouched one, with the terminating NUL right before it.
// Gives false when nothing was read, and sets |ended_by_lf| when the bytes
// read end with an LF.
bool read_piece(FILE* file, char (&piece)[kPiece], Text& raw, bool& ended_by_lf) {
  std::memset(piece, '\n', kPiece);
  if (!std::fgets(piece, static_cast<int>(kPiece - 1), file)) return false;
  const char* first_lf = static_cast<const char*>(std::memchr(piece, '\n', kPiece));
  const size_t at = static_cast<size_t>(first_lf - piece);
  ended_by_lf = at + 1 < kPiece && piece[at + 1] == '\0';
  raw.append(piece, ended_by_lf ? at + 1 : (at > 0 ? at - 1 : 0));
  return true;
}

}  // namespace

Text environment_value(const Text& name) {
  const char* value = std::getenv(name.c_str());
  return value ? Text(value) : Text();
}

void set_environment_value(const Text& name, const Text& value) {
  // Through the runtime, so that both its copy and the system's hold it.
  _putenv((name + "=" + value).c_str());
}

Text first_match(const Text& pattern) {
  if (search != kNoSearch) {
    _findclose(search);
    search = kNoSearch;
  }
  if (holds_nul(pattern)) return Text();
  _finddata_t entry;
  const intptr_t found = _findfirst(pattern.c_str(), &entry);
  if (found == kNoSearch) return Text();
  for (;;) {
    if ((entry.attrib & kNotPresent) == 0) {
      search = found;  // kept open until the next search
      return Text(entry.name);
    }
    if (_findnext(found, &entry) != 0) {
      _findclose(found);
      return Text();
    }
  }
}

bool file_present(const Text& path) { return !first_match(path).empty(); }

int error_number() { return last_error; }

void open_for_input(const Text& path) {
  if (open_file) {
    last_error = illegal_call;
    return;
  }
  const Text native = with_backslashes(path);
  FILE* file = holds_nul(native) ? nullptr : std::fopen(native.c_str(), "rb");
  if (!file) {
    last_error = file_not_found;
    return;
  }
  long long size = -1;
  if (_fseeki64(file, 0, SEEK_END) == 0) size = _ftelli64(file);
  if (size < 0) {
    std::fclose(file);
    last_error = illegal_call;
    return;
  }
  // Text mode from here on: CR LF arrives as LF and Ctrl-Z ends the data.
  file = std::freopen(native.c_str(), "rt", file);
  if (!file) {
    last_error = file_not_found;
    return;
  }
  open_file = file;
  open_for_writing = false;
  input_size = size;
  last_error = no_error;
}

void open_for_output(const Text& path) {
  if (open_file) {
    last_error = illegal_call;
    return;
  }
  FILE* file = holds_nul(path) ? nullptr : std::fopen(with_backslashes(path).c_str(), "wb");
  if (!file) {
    last_error = file_not_found;
    return;
  }
  open_file = file;
  open_for_writing = true;
  input_size = 0;
  last_error = no_error;
}

bool end_of_file() {
  if (!open_file) return true;
  return std::feof(open_file) || _ftelli64(open_file) >= input_size;
}

void read_line(Text& line) {
  if (!open_file) {
    last_error = illegal_call;
    return;
  }
  char piece[kPiece];
  Text raw;
  bool ended_by_lf = false;
  while (!ended_by_lf && read_piece(open_file, piece, raw, ended_by_lf)) {
  }
  line = finish_line(std::move(raw), !ended_by_lf);
  last_error = no_error;
}

void write_line(const Text& text) {
  begin_console_use();
  if (!open_file) {
    last_error = illegal_call;
    return;
  }
  const size_t stored = std::fwrite(text.data(), 1, text.size(), open_file);
  const size_t ending = std::fwrite("\r\n", 1, 2, open_file);
  last_error = stored == text.size() && ending == 2 ? no_error : file_io_error;
}

void close_file() {
  if (!open_file) {
    last_error = illegal_call;
    return;
  }
  const bool stored = std::fclose(open_file) == 0;
  open_file = nullptr;
  // A script whose last bytes never reached the disk must not pass for a
  // complete one.
  last_error = stored || !open_for_writing ? no_error : file_io_error;
}

void close_file_at_exit() {
  if (!open_file) return;
  std::fclose(open_file);
  open_file = nullptr;
}

// A command holding a NUL byte is not run: 9009, as the interpreter gives
// for a command that it cannot find.
int run_command(const Text& command) {
  return holds_nul(command) ? 9009 : std::system(command.c_str());
}

}  // namespace platform
