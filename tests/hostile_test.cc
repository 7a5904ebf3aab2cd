// Hostile inputs: preferences files that are huge, binary or oddly ended,
// environment values and paths far longer than usual, a build directory of
// 100,000 entries, and names that a command interpreter or a file system
// treats specially. Each run must end with its exact message or result,
// write nothing but the script and the two listings in the output directory,
// and change no file that it reads: the whole test tree is compared before
// and after every run. Large inputs are made at test time and removed after.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <random>

#include "scenario.h"

namespace scenario {
namespace {

const char kNoElf[] = "**ERROR** Can not find '*.elf' file in build directory:";
const char kNoPrefs[] = "**ERROR** Can not find Ardunio preferences file:";
const char kBuildPathHead[] = "**ERROR** This program requires that the 'build.path' is specified";
const char kOutDir[] = "c:\\tolvane-test\\book\\sketches\\blink\\";
const char kBuildLine[] = "build.path=C:\\tolvane-test\\build";
const char kBookLine[] = "sketchbook.path=C:\\tolvane-test\\book";

// --- The whole test tree, before and after ----------------------------------

// What a run could change about one entry. Directories are compared by kind
// and permissions only, since a new file changes its directory's times.
struct Entry {
  char kind = '?';  // d(irectory), f(ile), l(ink)
  mode_t mode = 0;
  ino_t inode = 0;
  off_t size = 0;
  long long modified_ns = 0;
  uint64_t content = 0;  // FNV-1a of the bytes
  std::string target;    // of a link

  bool operator==(const Entry& other) const {
    return kind == other.kind && mode == other.mode && inode == other.inode && size == other.size &&
           modified_ns == other.modified_ns && content == other.content && target == other.target;
  }
};
using Tree = std::map<std::string, Entry>;

uint64_t content_hash(const std::string& path) {
  uint64_t hash = 14695981039346656037ull;
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  static std::vector<unsigned char> block(1 << 20);
  for (ssize_t got; (got = read(fd, block.data(), block.size())) > 0;) {
    for (ssize_t i = 0; i < got; ++i) hash = (hash ^ block[i]) * 1099511628211ull;
  }
  close(fd);
  return hash;
}

void collect(const std::string& host_path, const std::string& key, Tree& tree) {
  struct stat info;
  if (lstat(host_path.c_str(), &info) != 0) return;
  Entry entry;
  entry.mode = info.st_mode;
  entry.inode = info.st_ino;
  if (S_ISDIR(info.st_mode)) {
    entry.kind = 'd';
    tree[key + "/"] = entry;
    DIR* dir = opendir(host_path.c_str());
    if (!dir) return;
    std::vector<std::string> names;
    while (dirent* item = readdir(dir)) {
      std::string name = item->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
    for (const std::string& name : names) collect(host_path + "/" + name, key + "/" + name, tree);
    return;
  }
  entry.size = info.st_size;
  entry.modified_ns = info.st_mtim.tv_sec * 1000000000ll + info.st_mtim.tv_nsec;
  if (S_ISLNK(info.st_mode)) {
    entry.kind = 'l';
    std::vector<char> target(4096);
    ssize_t got = readlink(host_path.c_str(), target.data(), target.size());
    if (got > 0) entry.target.assign(target.data(), static_cast<size_t>(got));
  } else {
    entry.kind = 'f';
    entry.content = content_hash(host_path);
  }
  tree[key] = entry;
}

// A key of the tree for a Windows path on drive C: its host path below the
// drive's folder, as collect() names it.
std::string tree_key(const std::string& windows_path) {
  std::string key = "C:" + windows_path.substr(2);
  for (char& c : key) {
    if (c == '\\') c = '/';
  }
  return key;
}

std::string differences(const Tree& before, const Tree& after) {
  std::string text;
  int shown = 0;
  for (const auto& [key, entry] : before) {
    auto found = after.find(key);
    if (found == after.end()) {
      text += "  gone: " + key + "\n";
    } else if (!(found->second == entry)) {
      text += "  changed: " + key + "\n";
    } else {
      continue;
    }
    if (++shown == 10) return text + "  ...\n";
  }
  for (const auto& [key, entry] : after) {
    if (before.count(key)) continue;
    text += "  new: " + key + "\n";
    if (++shown == 10) return text + "  ...\n";
  }
  return text;
}

// --- Inputs -----------------------------------------------------------------

// Writes a file of |size| bytes, |fill| making each piece of it in turn.
void write_big(const std::string& host_path, size_t size,
               const std::function<void(std::string& piece)>& fill) {
  harness::write_file(host_path, "");
  int fd = open(host_path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  ASSERT_GE(fd, 0) << host_path;
  size_t written = 0;
  std::string piece;
  while (written < size) {
    piece.clear();
    fill(piece);
    if (piece.size() > size - written) piece.resize(size - written);
    ASSERT_EQ(static_cast<ssize_t>(piece.size()), write(fd, piece.data(), piece.size()));
    written += piece.size();
  }
  close(fd);
}

void append(const std::string& host_path, const std::string& bytes) {
  int fd = open(host_path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  ASSERT_GE(fd, 0) << host_path;
  ASSERT_EQ(static_cast<ssize_t>(bytes.size()), write(fd, bytes.data(), bytes.size()));
  close(fd);
}

std::string lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::string doubled_percent(const std::string& text) {
  std::string result;
  for (char c : text) result += c == '%' ? std::string("%%") : std::string(1, c);
  return result;
}

class HostileTest : public Scenario {
 protected:
  void TearDown() override {
    // Large inputs go at once, not at the next test's start.
    if (machine_) reset();
  }

  // The whole test tree: natively all of drive C; under Wine the test area
  // and the four tool locations (the rest of drive C is Wine's own).
  Tree tree() const {
    Tree result;
    if (!on_windows()) {
      collect(host("C:\\"), "C:", result);
      return result;
    }
    for (const char* root : {"C:\\tolvane-test", "C:\\Program Files (x86)\\Arduino",
                             "C:\\Program Files\\Arduino", "C:\\Arduino", "C:\\bin"}) {
      collect(host(root), tree_key(root), result);
    }
    return result;
  }

  // Runs the program and checks that the tree is as it was, but for the
  // files of |outputs| (Windows paths), which must now exist.
  Outcome run_and_check_tree(const Call& call, const std::vector<std::string>& outputs = {}) {
    Tree before = tree();
    Outcome outcome = machine().run_program(call);
    Tree after = tree();
    for (const std::string& output : outputs) {
      EXPECT_EQ(1u, after.count(tree_key(output))) << "not written: " << output;
      before.erase(tree_key(output));
      after.erase(tree_key(output));
    }
    EXPECT_TRUE(before == after) << "the run changed the tree:\n" << differences(before, after);
    return outcome;
  }

  // Runs the job, which must complete, writing the script for |sketch| and
  // both listings into |out_dir| and nothing else anywhere.
  void expect_job(const Call& call, const std::string& out_dir, const std::string& sketch,
                  const std::string& elf) {
    const std::string base = out_dir + sketch;
    Outcome outcome =
        run_and_check_tree(call, {base + "_dump.cmd", base + ".asm.txt", base + ".hrd.txt"});
    EXPECT_EQ(0, outcome.status) << outcome.out.substr(0, 2000);
    expect_only_interpreter_echo(outcome, call);
    // The command lines double each "%" for the interpreter.
    std::string script =
        expected_script(std::string(kToolDirs[1]) + "\\avr-objdump.exe",
                        std::string(kToolDirs[1]) + "\\avr-readelf.exe", elf, base);
    size_t second_line_end = script.find("\r\n", script.find("\r\n") + 2);
    script = doubled_percent(script.substr(0, second_line_end)) + script.substr(second_line_end);
    EXPECT_EQ(script, read(base + "_dump.cmd"));
    EXPECT_NE(std::string::npos, read(base + ".asm.txt").find("<main>:"));
    EXPECT_NE(std::string::npos, read(base + ".hrd.txt").find("ELF Header:"));
  }

  // The typical job with the preferences file as given.
  void expect_typical_job_with_preferences() {
    expect_job(user_call(), kOutDir, "blink", "c:\\tolvane-test\\build\\blink.cpp.elf");
  }

  // Runs the program, which must end with exactly |lines| and status -1,
  // having written nothing.
  void expect_failure(const Call& call, const std::vector<std::string>& lines) {
    Outcome outcome = run_and_check_tree(call);
    EXPECT_EQ(kFailed, outcome.status);
    const std::string expected = harness::crlf_lines(lines);
    if (expected.size() < 4096) {
      EXPECT_EQ(expected, outcome.out);
    } else {
      EXPECT_TRUE(expected == outcome.out)
          << "output of " << outcome.out.size() << " bytes, expected " << expected.size();
    }
  }

  void expect_build_path_block(const Call& call) {
    Outcome outcome = run_and_check_tree(call);
    EXPECT_EQ(kFailed, outcome.status);
    EXPECT_EQ(0u, outcome.out.find(kBuildPathHead)) << outcome.out.substr(0, 2000);
    const std::string tail = std::string("Your Ardunio preferences file is:\r\n") + kPrefs + "\r\n";
    EXPECT_EQ(tail,
              outcome.out.substr(outcome.out.size() - std::min(outcome.out.size(), tail.size())));
  }
};

// --- Preferences ---------------------------------------------------------------

TEST_P(HostileTest, HundredMegabytesOfLines) {
  if (on_windows()) GTEST_SKIP() << "native only: too slow under Wine";
  typical_setup();
  // The sketchbook first, a build path that the last line replaces in the
  // middle, the real one at the very end without a line end.
  size_t line = 0;
  const size_t size = 100u << 20;
  write_big(host(kPrefs), size, [&](std::string& piece) {
    if (line == 0) piece += std::string(kBookLine) + "\r\n";
    for (int i = 0; i < 4096; ++i, ++line) {
      char text[64];
      std::snprintf(text, sizeof text, "editor.setting.%08zu=value %zu\r\n", line, line * 7);
      piece += text;
    }
    if (line == 1u << 20) piece += "build.path=C:\\tolvane-test\\nowhere\r\n";
  });
  append(host(kPrefs), std::string("\r\n") + kBuildLine);
  expect_typical_job_with_preferences();
}

TEST_P(HostileTest, OneFiftyMegabyteLineAmongTheKeys) {
  if (on_windows()) GTEST_SKIP() << "native only: too slow under Wine";
  typical_setup();
  bool first = true;
  write_big(host(kPrefs), (50u << 20) + 200, [&](std::string& piece) {
    if (first) piece += std::string(kBookLine) + "\r\neditor.comment=";
    first = false;
    piece.append(1 << 20, 'x');
  });
  append(host(kPrefs), std::string("\r\n") + kBuildLine + "\r\n");
  expect_typical_job_with_preferences();
}

TEST_P(HostileTest, AFiftyMegabyteBuildPath) {
  if (on_windows()) GTEST_SKIP() << "native only: too slow under Wine";
  const std::string value = "C:\\tolvane-test\\" + std::string(50u << 20, 'B');
  write(kPrefs, "build.path=" + value + "\r\n");
  expect_failure(user_call(), {kNoElf, lower(value) + "\\"});
}

// Bytes from a fixed seed, 0x1A left out where it would end the data early.
std::string garbage(size_t size, bool with_ctrl_z, uint64_t seed) {
  std::mt19937_64 random(seed);
  std::string bytes;
  while (bytes.size() < size) {
    char byte = static_cast<char>(random() & 0xff);
    if (byte != '\x1a' || with_ctrl_z) bytes += byte;
  }
  return bytes;
}

TEST_P(HostileTest, BinaryGarbageAroundTheKeys) {
  typical_setup();
  write(kPrefs, garbage(1 << 20, false, 1) + "\r\n" + kBookLine + "\r\n" +
                    garbage(1 << 20, false, 2) + "\n" + kBuildLine + "\n" +
                    garbage(1 << 20, false, 3));
  expect_typical_job_with_preferences();
}

TEST_P(HostileTest, BinaryGarbageWithEveryByteAfterTheKeys) {
  typical_setup();
  write(kPrefs, std::string(kBuildLine) + "\r\n" + kBookLine + "\r\n" + garbage(1 << 20, true, 4));
  expect_typical_job_with_preferences();
}

TEST_P(HostileTest, BinaryGarbageAlone) {
  typical_setup();
  write(kPrefs, garbage(1 << 20, true, 5));
  expect_build_path_block(user_call());
}

TEST_P(HostileTest, NulBytesInsideTheLinesAndAtTheEnd) {
  typical_setup();
  write(kPrefs, std::string("editor\0font=Mono\0\0spaced\r\n", 26) + kBookLine +
                    std::string("\0\0  \0\r\n\0\0\0\r\n", 12) + kBuildLine +
                    std::string("\0\0\0", 3));
  expect_typical_job_with_preferences();
}

TEST_P(HostileTest, ANulByteInsideTheBuildPath) {
  typical_setup();
  const std::string value = std::string("C:\\tolvane-test\\bu\0ild", 22);
  write(kPrefs, "build.path=" + value + "\r\n");
  expect_failure(user_call(), {kNoElf, lower(value) + "\\"});
}

TEST_P(HostileTest, ANulByteCannotTurnTheSketchbookIntoTheElfFile) {
  // Up to the NUL byte, the first project directory candidate names the ELF
  // file itself: were the text cut there, the script would overwrite it.
  typical_setup();
  harness::remove_tree(host(std::string(kBook) + "\\sketches"));
  write(kPrefs,
        std::string(kBuildLine) + "\r\n" +
            std::string("sketchbook.path=C:\\tolvane-test\\build\\blink.cpp.elf\0x\r\n", 55));
  expect_job(user_call(), "c:\\tolvane-test\\build\\", "blink",
             "c:\\tolvane-test\\build\\blink.cpp.elf");
}

TEST_P(HostileTest, CtrlZFirstHidesTheWholeFile) {
  typical_setup();
  write(kPrefs, "\x1a" + harness::crlf_lines({kBuildLine, kBookLine}));
  expect_build_path_block(user_call());
}

TEST_P(HostileTest, CtrlZBeforeTheBuildPath) {
  typical_setup();
  write(kPrefs, harness::crlf_lines({kBookLine}) + "\x1a\r\n" + harness::crlf_lines({kBuildLine}));
  expect_build_path_block(user_call());
}

TEST_P(HostileTest, CrOnlyLineEndsMakeOneLine) {
  typical_setup();
  write(kPrefs, std::string("editor.font=Mono\r") + kBuildLine + "\r" + kBookLine + "\r");
  expect_build_path_block(user_call());
  // Beginning with the key, the whole file is the build path.
  write(kPrefs, std::string(kBuildLine) + "\r" + kBookLine + "\r");
  expect_failure(user_call(),
                 {kNoElf, lower(std::string(kBuildLine).substr(11) + "\r" + kBookLine) + "\\"});
}

TEST_P(HostileTest, NonAsciiBytesAroundTheKeys) {
  typical_setup();
  std::string high;
  for (int byte = 0x80; byte <= 0xff; ++byte) high += static_cast<char>(byte);
  write(kPrefs, harness::crlf_lines({
                    "editor.font=" + high,
                    "\xc3\x9c" + std::string(kBuildLine) + "\\wrong",  // not at the start
                    high + "=" + high,
                    "BUILD.PATH=C:\\TOLVANE-TEST\\BUILD",
                    "\xef\xbb\xbfsketchbook.path=C:\\wrong",  // hidden by a byte-order mark
                    "SketchBook.Path=C:\\Tolvane-Test\\Book",
                    "\xe9\xe8=\xff",
                }));
  expect_typical_job_with_preferences();
}

TEST_P(HostileTest, APreferencesFileThatIsADirectory) {
  typical_setup();
  harness::remove_tree(host(kPrefs));
  harness::make_dirs(host(kPrefs) + "/inner");
  expect_failure(user_call(), {kNoPrefs, kPrefs});
}

// --- Environment values and long paths ----------------------------------------

TEST_P(HostileTest, EnvironmentValuesThousandsOfBytesLong) {
  typical_setup();
  Call call = user_call();
  const std::string app_data = "C:\\tolvane-test\\" + std::string(5000, 'a');
  call.environment[0].second = app_data;
  expect_failure(call, {kNoPrefs, app_data + "\\Arduino\\preferences.txt"});

  // A long home folder shows in the build-path block.
  write_preferences({"editor.font=Mono"});
  call = user_call();
  call.environment[1].second = "C:" + std::string(3000, 'd');
  call.environment[2].second = "\\" + std::string(3000, 'p');
  Outcome outcome = run_and_check_tree(call);
  EXPECT_EQ(kFailed, outcome.status);
  EXPECT_NE(std::string::npos,
            outcome.out.find("          build.path=C:" + std::string(3000, 'd') + "\\" +
                             std::string(3000, 'p') + "\\Documents\\Arduino\\Build\r\n"));
}

TEST_P(HostileTest, PathsLongerThanTwoHundredSixtyCharacters) {
  // The build directory and the sketch lie below a folder whose path alone
  // is longer than Windows' 260 characters; then the preferences file too.
  std::string deep = "C:\\tolvane-test";
  for (int i = 0; i < 12; ++i) deep += "\\folder-number-" + std::to_string(10 + i) + "-xxxxxx";
  ASSERT_GT(deep.size(), 300u);
  const std::string build = deep + "\\build";
  const std::string book = deep + "\\book";
  write_preferences({"build.path=" + build, "sketchbook.path=" + book});
  place_elf(build, "blink.cpp.elf");
  place_source(book + "\\sketches\\blink", "blink");
  machine().install_tools(kToolDirs[1]);
  if (on_windows()) {
    // Without long-path support the runtime finds nothing there.
    expect_failure(user_call(), {kNoElf, lower(build) + "\\"});
  } else {
    expect_job(user_call(), lower(book) + "\\sketches\\blink\\", "blink",
               lower(build) + "\\blink.cpp.elf");
  }

  Call call = user_call();
  call.environment[0].second = deep + "\\appdata";
  const std::string prefs = deep + "\\appdata\\Arduino\\preferences.txt";
  write(prefs, read(kPrefs));
  if (on_windows()) {
    expect_failure(call, {kNoPrefs, prefs});
  } else {
    expect_job(call, lower(book) + "\\sketches\\blink\\", "blink",
               lower(build) + "\\blink.cpp.elf");
  }
}

// --- The build directory and the names in it ---------------------------------

// Position of |name| in the directory's listing order, from 0.
size_t listing_position(const std::string& directory, const std::string& name, size_t& count) {
  DIR* dir = opendir(directory.c_str());
  size_t position = 0;
  count = 0;
  while (dirent* entry = readdir(dir)) {
    std::string entry_name = entry->d_name;
    if (entry_name == "." || entry_name == "..") continue;
    if (entry_name == name) position = count;
    ++count;
  }
  closedir(dir);
  return position;
}

TEST_P(HostileTest, ABuildDirectoryOfHundredThousandEntriesWithTheElfAmongTheLast) {
  if (on_windows()) GTEST_SKIP() << "native only: too slow under Wine";
  typical_setup();
  const std::string build = host(kBuild);
  harness::remove_tree(build);
  harness::make_dirs(build);
  // Entries that match "*.elf" but do not count (hidden files and folders),
  // and others that do not match at all. The files are links to a few empty
  // files (a file system may allow some 65,000 links to one), made far
  // faster than new files.
  const std::string empty = host(kArea) + "/empty";
  for (int i = 0; i < 4; ++i) harness::write_file(empty + std::to_string(i), "");
  for (int i = 0; i < 99999; ++i) {
    char name[32];
    if (i % 1000 == 0) {
      std::snprintf(name, sizeof name, "/folder%05d.elf", i);
      ASSERT_EQ(0, mkdir((build + name).c_str(), 0755));
      continue;
    }
    std::snprintf(name, sizeof name, i % 10 == 0 ? "/.hidden%05d.elf" : "/object%05d.o", i);
    ASSERT_EQ(0, link((empty + std::to_string(i % 4)).c_str(), (build + name).c_str()));
  }
  // The listing order is the file system's: choose the sketch's name so that
  // its ELF file comes within the last 5% of the listing.
  std::string sketch;
  for (int attempt = 0; attempt < 1000 && sketch.empty(); ++attempt) {
    std::string name = "sketch" + std::to_string(attempt);
    harness::write_file(build + "/" + name + ".cpp.elf", harness::read_file(harness::sample_elf()));
    size_t count = 0;
    size_t position = listing_position(build, name + ".cpp.elf", count);
    ASSERT_EQ(100000u, count);
    if (position >= count - count / 20) {
      sketch = name;
    } else {
      unlink((build + "/" + name + ".cpp.elf").c_str());
    }
  }
  ASSERT_FALSE(sketch.empty());
  place_source(std::string(kBook) + "\\sketches\\" + sketch, sketch);
  expect_job(user_call(), "c:\\tolvane-test\\book\\sketches\\" + sketch + "\\", sketch,
             "c:\\tolvane-test\\build\\" + sketch + ".cpp.elf");
}

TEST_P(HostileTest, AnElfNameWithNonAsciiBytes) {
  // UTF-8 for "blünk" on the host. Natively the program takes the bytes as
  // they are. Under Wine it sees the name in the ANSI code page (252 for ü),
  // and the files that it names that way come back in UTF-8 on the host; but
  // the command interpreter reads the script in the OEM code page, where 252
  // is another letter: it finds no such folder for the listings, and so
  // writes nothing.
  const std::string host_name = "bl\xc3\xbcnk";
  const std::string program_name = on_windows() ? "bl\xfcnk" : host_name;
  typical_setup();
  harness::remove_tree(host(kBuild));
  place_elf(kBuild, host_name + ".cpp.elf");
  place_source(std::string(kBook) + "\\sketches\\" + host_name, host_name);
  const std::string out_dir = "c:\\tolvane-test\\book\\sketches\\" + host_name + "\\";
  const std::string base = out_dir + host_name;
  std::vector<std::string> outputs = {base + "_dump.cmd"};
  if (!on_windows()) outputs.insert(outputs.end(), {base + ".asm.txt", base + ".hrd.txt"});
  Outcome outcome = run_and_check_tree(user_call(), outputs);
  EXPECT_EQ(0, outcome.status);
  const std::string program_out = "c:\\tolvane-test\\book\\sketches\\" + program_name + "\\";
  EXPECT_EQ(expected_script(std::string(kToolDirs[1]) + "\\avr-objdump.exe",
                            std::string(kToolDirs[1]) + "\\avr-readelf.exe",
                            "c:\\tolvane-test\\build\\" + program_name + ".cpp.elf",
                            program_out + program_name),
            read(base + "_dump.cmd"));
  if (on_windows()) return;
  EXPECT_NE(std::string::npos, read(base + ".asm.txt").find("<main>:"));
  EXPECT_NE(std::string::npos, read(base + ".hrd.txt").find("ELF Header:"));
}

TEST_P(HostileTest, ALatin1ElfName) {
  if (on_windows()) GTEST_SKIP() << "a host name that is not UTF-8 has no Windows name under Wine";
  const std::string name = "caf\xe9";
  typical_setup();
  harness::remove_tree(host(kBuild));
  place_elf(kBuild, name + ".cpp.elf");
  place_source(std::string(kBook) + "\\sketches\\" + name, name);
  expect_job(user_call(), "c:\\tolvane-test\\book\\sketches\\" + name + "\\", name,
             "c:\\tolvane-test\\build\\" + name + ".cpp.elf");
}

TEST_P(HostileTest, SketchNamesWithTheInterpretersSpecialCharacters) {
  std::vector<std::string> sketches = {"a&b",  "caret^up",      "(paren)",         "bang!",
                                       "100%", "a&b^c(d)e!f%g", "x & (y) ^ !z! %%"};
  // Named like a variable that is set. Wine's cmd, unlike Windows', expands
  // variables again inside the value of the variable that names the script.
  if (!on_windows()) sketches.push_back("%path%");
  for (const std::string& sketch : sketches) {
    SCOPED_TRACE(sketch);
    ASSERT_NO_FATAL_FAILURE(reset());
    typical_setup();
    harness::remove_tree(host(kBuild));
    place_elf(kBuild, std::string(sketch) + ".cpp.elf");
    place_source(std::string(kBook) + "\\sketches\\" + sketch, sketch);
    expect_job(user_call(), std::string("c:\\tolvane-test\\book\\sketches\\") + sketch + "\\",
               sketch, std::string("c:\\tolvane-test\\build\\") + sketch + ".cpp.elf");
  }
}

TEST_P(HostileTest, NamesThatNoWindowsPathCanHoldAreNotTaken) {
  // Natively a file name may hold what Windows forbids. Taken as the ELF
  // file, such a name would break the script's lines apart, add a
  // redirection to a file of its choosing, or climb out of the directories
  // the program writes to. None of them counts as an ELF file.
  if (on_windows()) GTEST_SKIP() << "these names cannot exist on Windows";
  for (const char* name : {"x\" > \"evil.cpp.elf", "line\nbreak.cpp.elf", "..\\..\\up.cpp.elf",
                           "tab\there.cpp.elf", "pipe|.cpp.elf", "a<b.cpp.elf", "c:d.cpp.elf",
                           "star*.cpp.elf", "what?.cpp.elf", "cr\r.cpp.elf"}) {
    SCOPED_TRACE(name);
    ASSERT_NO_FATAL_FAILURE(reset());
    typical_setup();
    harness::remove_tree(host(kBuild));
    harness::make_dirs(host(kBuild));
    harness::write_file(host(kBuild) + "/" + name, harness::read_file(harness::sample_elf()));
    expect_failure(user_call(), {kNoElf, "c:\\tolvane-test\\build\\"});
  }
}

RUN_ON_BOTH_MACHINES(HostileTest);

}  // namespace
}  // namespace scenario
