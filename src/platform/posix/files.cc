// The one file handle of the program on POSIX: a text reader with its own
// buffer and line translation, or a byte-for-byte writer.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/exit_steps.h"
#include "platform/line_rules.h"
#include "platform/platform.h"
#include "platform/posix/native_path.h"

namespace platform {

namespace {

constexpr size_t kChunk = 64 * 1024;

enum class Mode { closed, input, output };

struct Reader {
  int fd = -1;
  long long size = 0;      // measured at open
  long long position = 0;  // raw bytes consumed so far
  std::vector<char> buffer;
  size_t begin = 0;  // unconsumed bytes are buffer[begin, end)
  size_t end = 0;
  bool exhausted = false;  // the file gave no more bytes
  TextModeDecoder decoder;
};

Mode mode = Mode::closed;
Reader reader;
FILE* writer = nullptr;
int last_error = no_error;

// Keeps the unconsumed bytes and appends the next chunk of the file to them;
// false when the file has nothing more.
bool fill() {
  if (reader.exhausted) return false;
  size_t kept = reader.end - reader.begin;
  std::memmove(reader.buffer.data(), reader.buffer.data() + reader.begin, kept);
  reader.begin = 0;
  reader.end = kept;
  for (;;) {
    ssize_t got = read(reader.fd, reader.buffer.data() + kept, reader.buffer.size() - kept);
    if (got > 0) {
      reader.end += static_cast<size_t>(got);
      return true;
    }
    if (got < 0 && errno == EINTR) continue;
    reader.exhausted = true;  // end of the file, or a read error that ends it
    return false;
  }
}

// Translates |count| unconsumed bytes onto |line| and consumes what was taken.
size_t take(size_t count, bool more_follows, Text& line) {
  const char* start = reader.buffer.data() + reader.begin;
  size_t used = count;
  if (!std::memchr(start, '\r', count) && !std::memchr(start, kEndOfTextData, count)) {
    line.append(start, count);  // nothing to translate
  } else {
    used = reader.decoder.decode(start, count, more_follows, line);
  }
  reader.begin += used;
  reader.position += static_cast<long long>(used);
  return used;
}

void close_input() {
  close(reader.fd);
  reader = Reader();
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
  reader = Reader();
  reader.fd = fd;
  reader.size = size;
  reader.buffer.resize(kChunk);
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

bool end_of_file() {
  if (mode != Mode::input) return true;
  if (reader.decoder.ended() || reader.position >= reader.size) return true;
  return reader.begin == reader.end && !fill();
}

void read_line(Text& line) {
  if (mode == Mode::closed) {
    last_error = illegal_call;
    return;
  }
  last_error = no_error;
  line.clear();
  if (mode != Mode::input) return;

  bool ended_by_lf = false;
  while (!ended_by_lf && !reader.decoder.ended()) {
    if (reader.begin == reader.end && !fill()) break;
    const char* start = reader.buffer.data() + reader.begin;
    size_t available = reader.end - reader.begin;
    const void* lf = std::memchr(start, '\n', available);
    size_t count = lf ? static_cast<size_t>(static_cast<const char*>(lf) - start) + 1 : available;
    size_t used = take(count, true, line);
    if (reader.decoder.ended()) break;
    if (used == count) {
      ended_by_lf = lf != nullptr;
    } else if (!fill()) {
      // A CR waited for the byte after it, and there is none.
      take(reader.end - reader.begin, false, line);
      break;
    }
  }
  line = finish_line(std::move(line), !ended_by_lf);
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
    close_input();
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

void close_file_at_exit() {
  if (mode != Mode::closed) close_file();
}

}  // namespace platform
