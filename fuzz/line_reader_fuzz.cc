// The input file's line reader over arbitrary bytes: every line comes back as
// the rules say, the end of the file is found where they put it, and the
// handle is closed again afterwards.
//
// The first byte chooses a layout: with its top bit set, the rest of the
// input is placed behind enough filler bytes that it straddles the end of
// the reader's first 64 KiB piece, so that a CR, CR LF or 0x1A can fall on
// the border between two reads.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "platform/platform.h"

namespace {

constexpr size_t kReaderPiece = 64 * 1024;

std::string file_bytes(const uint8_t* data, size_t size) {
  if (size == 0) return std::string();
  std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  if ((data[0] & 0x80) == 0) return rest;
  size_t filler = kReaderPiece - (data[0] & 0x7f);
  // The filler ends with an LF every so often, so that lines of many sizes
  // lie before the border.
  std::string bytes(filler, 'f');
  for (size_t at = 99; at < filler; at += 4093) bytes[at] = '\n';
  return bytes + rest;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace platform;
  const std::string bytes = file_bytes(data, size);
  const std::string path = fuzz::scratch_dir() + "/input.txt";
  fuzz::write_file(path, bytes);

  open_for_input(path);
  if (error_number() != no_error) fuzz::finding("cannot open the input file");
  std::vector<std::string> lines;
  Text line = "left over";
  while (!end_of_file()) {
    if (lines.size() > bytes.size()) fuzz::finding("more lines than bytes");
    read_line(line);
    if (error_number() != no_error) fuzz::finding("read_line reported an error");
    lines.push_back(line);
  }
  if (!end_of_file()) fuzz::finding("the end of the file went away");
  close_file();
  if (error_number() != no_error) fuzz::finding("closing the input file failed");

  const std::vector<std::string> expected = fuzz::expected_lines(bytes);
  if (lines.size() != expected.size()) {
    fuzz::finding("read " + std::to_string(lines.size()) + " lines, expected " +
                  std::to_string(expected.size()) + " from " + fuzz::shown(bytes));
  }
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] != expected[i]) {
      fuzz::finding("line " + std::to_string(i + 1) + " is " + fuzz::shown(lines[i]) +
                    ", expected " + fuzz::shown(expected[i]));
    }
  }

  // The handle is closed: reading keeps the line and reports the misuse.
  line = "kept";
  read_line(line);
  if (line != "kept" || error_number() != illegal_call || !end_of_file()) {
    fuzz::finding("reading a closed handle");
  }
  return 0;
}
