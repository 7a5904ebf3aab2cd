// The one file handle of the program on POSIX: the shared text-mode line
// reader over the file's bytes, or a byte-for-byte writer.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>

#include "platform/exit_steps.h"
#include "platform/line_rules.h"
#include "platform/platform.h"
#include "platform/posix/native_path.h"

namespace platform {

namespace {

// |native| as a Windows path when it lies on one of the drives; empty if not.
Text on_a_drive(const std::string& native) {
  const std::string drives = posix::drives_folder() + "/";
  if (native.compare(0, drives.size(), drives) != 0 || native.size() < drives.size() + 1 ||
      (native.size() > drives.size() + 1 && native[drives.size() + 1] != '/'))
    return Text();
  Text windows = Text(1, static_cast<char>(std::toupper(native[drives.size()]))) + ":";
  for (size_t at = drives.size() + 1; at < native.size(); ++at)
    windows += native[at] == '/' ? '\\' : native[at];
  return windows;
}

}  // namespace

Text full_path(const Text& path) {
  // The current folder as a Windows path, when it lies on one of the drives.
  char buffer[4096];
  Text current;
  if (getcwd(buffer, sizeof buffer)) current = on_a_drive(buffer);
  if (current.size() == 2) current += "\\";  // the drive's root
  return posix::windows_full_path(path, current);
}

Text program_path() {
  char buffer[4096];
  const ssize_t got = readlink("/proc/self/exe", buffer, sizeof buffer);
  if (got <= 0 || got == sizeof buffer) return Text();
  const Text windows = on_a_drive(Text(buffer, static_cast<size_t>(got)));
  return windows.empty() ? Text(buffer, static_cast<size_t>(got)) : windows;
}

namespace {

enum class Mode { closed, input, output };

Mode mode = Mode::closed;
int input_fd = -1;
LineReader reader;
FILE* writer = nullptr;
int last_error = no_error;

// Reads from the input file, again after an interruption; 0 at its end or
// at an error that ends it.
size_t read_input(char* into, size_t size) {
  for (;;) {
    const ssize_t got = read(input_fd, into, size);
    if (got >= 0) return static_cast<size_t>(got);
    if (errno != EINTR) return 0;
  }
}

}  // namespace

int error_number() { return last_error; }

void open_for_input(const Text& path) {
  if (mode != Mode::closed) {
    last_error = illegal_call;
    return;
  }
  int fd = open(posix::native_path(path).c_str(), O_RDONLY | O_CLOEXEC);
  struct stat info;
  if (fd >= 0 && (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode))) {
    close(fd);
    fd = -1;
  }
  if (fd < 0) {
    last_error = file_not_found;
    return;
  }
  off_t size = lseek(fd, 0, SEEK_END);
  if (size < 0) {
    close(fd);
    last_error = illegal_call;
    return;
  }
  if (lseek(fd, 0, SEEK_SET) != 0) {
    close(fd);
    last_error = file_not_found;
    return;
  }
  input_fd = fd;
  reader.start(read_input, size);
  mode = Mode::input;
  last_error = no_error;
}

void open_for_output(const Text& path) {
  if (mode != Mode::closed) {
    last_error = illegal_call;
    return;
  }
  Text native = posix::native_path(path);
  // A file without any write permission is refused even to the superuser,
  // as Windows refuses a read-only file even to an administrator.
  struct stat info;
  bool read_only = stat(native.c_str(), &info) == 0 && (info.st_mode & 0222) == 0;
  writer = read_only ? nullptr : std::fopen(native.c_str(), "wbe");
  if (!writer) {
    last_error = file_not_found;
    return;
  }
  mode = Mode::output;
  last_error = no_error;
}

bool end_of_file() { return mode != Mode::input || reader.at_end(); }

void read_line(Text& line) {
  if (mode == Mode::closed) {
    last_error = illegal_call;
    return;
  }
  last_error = no_error;
  line.clear();
  if (mode == Mode::input) reader.read_line(line);
}

void write_line(const Text& text) {
  if (mode == Mode::closed) {
    last_error = illegal_call;
    return;
  }
  if (mode != Mode::output) {
    last_error = file_io_error;
    return;
  }
  size_t stored = text.empty() ? 0 : std::fwrite(text.data(), 1, text.size(), writer);
  size_t ending = std::fwrite("\r\n", 1, 2, writer);
  last_error = stored == text.size() && ending == 2 ? no_error : file_io_error;
}

void close_file() {
  if (mode == Mode::closed) {
    last_error = illegal_call;
    return;
  }
  last_error = no_error;
  if (mode == Mode::input) {
    close(input_fd);
    reader = LineReader();
  } else {
    // A write that failed earlier, or bytes that cannot be stored now, leave
    // the file short of what was written: that must not pass as success.
    bool failed = std::ferror(writer) != 0;
    if (std::fclose(writer) != 0) failed = true;
    writer = nullptr;
    if (failed) last_error = file_io_error;
  }
  mode = Mode::closed;
}

bool read_file_start(const Text& path, size_t limit, Text& bytes) {
  bytes.clear();
  const int fd = open(posix::native_path(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info;
  bool read_all = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  for (char piece[65536]; read_all && bytes.size() < limit;) {
    const ssize_t got = read(fd, piece, std::min(sizeof piece, limit - bytes.size()));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      read_all = got == 0;
      break;
    }
    bytes.append(piece, static_cast<size_t>(got));
  }
  close(fd);
  return read_all;
}

// One byte past the limit tells a file that is too large.
bool read_file(const Text& path, size_t limit, Text& bytes) {
  return read_file_start(path, limit + 1, bytes) && bytes.size() <= limit;
}

// A script's bytes are those written.
bool read_script(const Text& path, size_t limit, Text& text) {
  return read_file_start(path, limit, text);
}

// The native text is UTF-8 already.
bool ansi_from_utf8(const Text& utf8, Text& ansi) {
  ansi = utf8;
  return true;
}

void close_file_at_exit() {
  if (mode != Mode::closed) close_file();
}

}  // namespace platform
