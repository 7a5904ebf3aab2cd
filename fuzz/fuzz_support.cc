// Shared parts of the fuzz targets; stands in for the console layer.
#include "fuzz_support.h"

#include <ftw.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"

namespace fuzz {

namespace {

std::vector<std::string>& printed_lines() {
  static std::vector<std::string> lines;
  return lines;
}

void remove_scratch() {
  nftw(
      scratch_dir().c_str(),
      [](const char* path, const struct stat*, int, struct FTW*) { return ::remove(path); }, 16,
      FTW_DEPTH | FTW_PHYS);
}

}  // namespace

const std::vector<std::string>& printed() { return printed_lines(); }
void clear_printed() { printed_lines().clear(); }

const std::string& scratch_dir() {
  static const std::string dir = [] {
    char name[] = "/tmp/tolvane-fuzz-XXXXXX";
    if (!mkdtemp(name)) finding("cannot make a scratch directory");
    return std::string(name);
  }();
  static const bool cleaned_at_exit = std::atexit(remove_scratch) == 0;
  (void)cleaned_at_exit;
  return dir;
}

void write_file(const std::string& path, const std::string& bytes) {
  // A new file each time: truncating one that holds data makes the file
  // system write it out at once, which costs milliseconds.
  unlink(path.c_str());
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) finding("cannot write " + path);
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
    finding("short write to " + path);
  }
  std::fclose(file);
}

std::vector<std::string> expected_lines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t at = 0;
  bool ended = false;
  while (!ended && at < bytes.size()) {
    std::string line;
    bool by_lf = false;
    while (at < bytes.size()) {
      char byte = bytes[at++];
      if (byte == '\x1a') {
        ended = true;
        break;
      }
      if (byte == '\r' && at < bytes.size() && bytes[at] == '\n') {
        ++at;
        by_lf = true;
        break;
      }
      if (byte == '\n') {
        by_lf = true;
        break;
      }
      line += byte;
    }
    if (!by_lf) {
      while (!line.empty() && line.back() == '\0') line.pop_back();
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

void finding(const std::string& what) {
  std::fprintf(stderr, "FINDING: %s\n", what.c_str());
  std::abort();
}

std::string shown(const std::string& text) {
  std::string out = "\"";
  for (unsigned char byte : text) {
    if (byte >= 0x20 && byte < 0x7f && byte != '\\' && byte != '"') {
      out += static_cast<char>(byte);
    } else {
      char code[8];
      std::snprintf(code, sizeof code, "\\x%02x", byte);
      out += code;
    }
  }
  if (out.size() > 400) out = out.substr(0, 400) + "...";
  return out + "\"";
}

}  // namespace fuzz

// --- The console layer, for the fuzz targets -------------------------------

namespace platform {

void print_line(const Text& text) { fuzz::printed_lines().push_back(text); }

void wait_for_key() {}

void end_run(int status) { throw fuzz::RunEnded{status}; }

}  // namespace platform
