// The input file's line reader and the one file handle, on every platform.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "platform/platform.h"

namespace platform {
namespace {

// Below the temporary folder, never in the folder the tests run from.
const std::string kPath = ::testing::TempDir() + "files-test.txt";
const char* const kFile = kPath.c_str();
// ... and removed when the tests end.
const struct RemovedAtExit {
  ~RemovedAtExit() { std::remove(kFile); }
} kRemovedAtExit;

void write_bytes(const std::string& bytes) {
  FILE* file = std::fopen(kFile, "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

std::string read_bytes() {
  std::ifstream file(kFile, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

std::vector<Text> lines_of(const std::string& bytes) {
  write_bytes(bytes);
  open_for_input(kFile);
  EXPECT_EQ(no_error, error_number());
  std::vector<Text> lines;
  for (Text line; !end_of_file() && lines.size() <= bytes.size(); lines.push_back(line))
    read_line(line);
  close_file();
  return lines;
}

TEST(LineReader, GivesTheLinesAsTextModeReadsThem) {
  const std::string big(100000, 'x'), piece(4095, 'p'), chunk(65535, 'c');
  const struct {
    std::string bytes;
    std::vector<Text> lines;
  } kCases[] = {
      // clang-format off
      {"", {}}, {"a\r\nb\nc", {"a", "b", "c"}}, {"a\r\n\r\n", {"a", ""}}, {"a\rb\r\n", {"a\rb"}}, {"a\r", {"a"}},
      {std::string("a\0b\0\0", 5), {std::string("a\0b", 3)}}, {std::string("\0a\0\r\nb", 6), {std::string("\0a\0", 3), "b"}},
      {"a\x1a" "b\r\nc", {"a"}}, {big + "\r\nz", {big, "z"}}, {piece + "\r\nz", {piece, "z"}},
      {chunk + "\r\nz", {chunk, "z"}}, {chunk + "\r", {chunk}}, {"a\r\n\x1a\r\nb", {"a"}}, {"a\rb\nc", {"a\rb", "c"}},
      // clang-format on
  };
  for (const auto& c : kCases) EXPECT_EQ(c.lines, lines_of(c.bytes)) << c.bytes.substr(0, 9);
  for (const char* end : {"\n", "\r\n"}) {  // files ending around a runtime's 4 KiB buffers
    std::string bytes;
    std::vector<Text> lines;
    while (bytes.size() < 8300) {
      bytes += std::string("k=v") + end;
      lines.push_back("k=v");
      if (bytes.size() < 4000 || (bytes.size() > 4300 && bytes.size() < 8000)) continue;
      lines.push_back("build.path=x");
      EXPECT_EQ(lines, lines_of(bytes + "build.path=x")) << bytes.size() << " bytes";
      lines.pop_back();
    }
  }
}

TEST(OneFile, RefusesWhatItCannotDoAndWritesCrLfLines) {
  write_bytes("one\r\n");
  Text line = "kept";
  for (int operation = 0; operation < 3; ++operation) {
    open_for_input(kFile);
    close_file();  // no error until the misuse
    if (operation == 0) read_line(line);
    if (operation == 1) write_line("x");
    if (operation == 2) close_file();
    EXPECT_EQ(illegal_call, error_number()) << operation;
  }
  EXPECT_EQ("kept", line);
  EXPECT_TRUE(end_of_file());
  for (const char* path : {"no-such-file.txt", "."}) {
    open_for_input(path);
    EXPECT_EQ(file_not_found, error_number()) << path;
  }

  open_for_input(kFile);
  open_for_output(kFile);
  EXPECT_EQ(illegal_call, error_number());
  write_line("x");
  EXPECT_EQ(file_io_error, error_number());
  read_line(line);
  EXPECT_EQ("one", line);
  close_file();
  EXPECT_EQ(no_error, error_number());

  open_for_output(kFile);
  write_line("a");
  write_line("");
  EXPECT_EQ(no_error, error_number());
  close_file();
  EXPECT_EQ(no_error, error_number());
  EXPECT_EQ("a\r\n\r\n", read_bytes());
}

}  // namespace
}  // namespace platform
