// Helpers for the tests of the POSIX layer: a temporary directory, real
// files in it, and environment variables set for one test.
#ifndef TOLVANE_PLATFORM_POSIX_TEST_SUPPORT_H_
#define TOLVANE_PLATFORM_POSIX_TEST_SUPPORT_H_

#include <ftw.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>

namespace platform::posix::testing {

/// A fresh directory under /tmp, removed with all it holds at the end.
class TempDir {
 public:
  TempDir() {
    char name[] = "/tmp/tolvane-test-XXXXXX";
    if (!mkdtemp(name)) std::abort();
    path_ = name;
  }
  ~TempDir() {
    nftw(
        path_.c_str(),
        [](const char* path, const struct stat*, int, struct FTW*) { return ::remove(path); }, 16,
        FTW_DEPTH | FTW_PHYS);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  /// The absolute path of |relative| inside the directory.
  std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

/// A test with a fresh directory of its own.
class TempDirTest : public ::testing::Test {
 protected:
  TempDir temp_;
};

inline void make_dirs(const std::string& path) {
  std::string sofar;
  std::istringstream parts(path);
  for (std::string part; std::getline(parts, part, '/');) {
    sofar += part + "/";
    mkdir(sofar.c_str(), 0755);
  }
}

inline void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool exists(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

/// Sets (or, with no value, unsets) an environment variable until the end of
/// the scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? setenv(name, value->c_str(), 1) : unsetenv(name);
  }
  ~ScopedEnv() { old_ ? setenv(name_.c_str(), old_->c_str(), 1) : unsetenv(name_.c_str()); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

/// Makes |directory| the current one until the end of the scope.
class ScopedCwd {
 public:
  explicit ScopedCwd(const std::string& directory) {
    char* old = getcwd(nullptr, 0);
    old_ = old;
    std::free(old);
    if (chdir(directory.c_str()) != 0) std::abort();
  }
  ~ScopedCwd() {
    if (chdir(old_.c_str()) != 0) std::abort();
  }
  ScopedCwd(const ScopedCwd&) = delete;
  ScopedCwd& operator=(const ScopedCwd&) = delete;

 private:
  std::string old_;
};

/// Sends what is written to |fd| (1 or 2) into a file until the end of the
/// scope; text() gives what arrived so far.
class CapturedFd {
 public:
  CapturedFd(int fd, const std::string& file) : fd_(fd), file_(file) {
    std::fflush(nullptr);
    saved_ = dup(fd);
    std::FILE* sink = std::fopen(file.c_str(), "wb");
    dup2(fileno(sink), fd);
    std::fclose(sink);
  }
  ~CapturedFd() {
    std::fflush(nullptr);
    dup2(saved_, fd_);
    close(saved_);
  }
  CapturedFd(const CapturedFd&) = delete;
  CapturedFd& operator=(const CapturedFd&) = delete;

  std::string text() const { return read_file(file_); }

 private:
  int fd_;
  std::string file_;
  int saved_;
};

}  // namespace platform::posix::testing

#endif  // TOLVANE_PLATFORM_POSIX_TEST_SUPPORT_H_
