// Environment and directory probes on POSIX.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "platform/byte_rules.h"
#include "platform/posix/native_path.h"

extern char** environ;

namespace platform {

namespace {

using posix::native_path;

bool has_wildcard(const Text& name) { return name.find_first_of("*?") != Text::npos; }

// True when Windows could hold the name: no control byte and none of
// \ / : * ? " < > |. Any other name, put into a path or a script line,
// would say something else there.
bool windows_name(const Text& name) {
  for (unsigned char byte : name) {
    if (byte < 0x20 || std::strchr("\\/:*?\"<>|", byte)) return false;
  }
  return true;
}

// The status of an entry that Windows could list: not hidden (a name that
// begins with "."), and a name that Windows could hold.
bool listable(const Text& directory, const Text& name, struct stat& info) {
  if (name.empty() || name[0] == '.' || !windows_name(name)) return false;
  Text path =
      directory.empty() || directory.back() == '/' ? directory + name : directory + "/" + name;
  return stat(path.c_str(), &info) == 0;
}

// Ordinary files count, symbolic links followed; directories, devices,
// sockets, hidden names and names that Windows could not hold never do.
bool counts(const Text& directory, const Text& name) {
  struct stat info;
  return listable(directory, name, info) && S_ISREG(info.st_mode);
}

// The folder and the last name of a pattern, as the file system has them.
void split_pattern(const Text& pattern, Text& directory, Text& name) {
  const Text path = native_path(pattern, false);
  const size_t slash = path.rfind('/');
  directory.clear();
  name = path;
  if (slash == Text::npos) return;
  directory = slash == 0 ? "/" : path.substr(0, slash);
  name = path.substr(slash + 1);
}

}  // namespace

Text environment_value(const Text& name) {
  if (name.empty() || name.find_first_of(Text("=\0", 2)) != Text::npos) return Text();
  const char* folded = nullptr;
  for (char** entry = environ; entry && *entry; ++entry) {
    const char* equals = std::strchr(*entry, '=');
    if (!equals || static_cast<size_t>(equals - *entry) != name.size()) continue;
    Text entry_name(*entry, name.size());
    if (entry_name == name) return Text(equals + 1);
    if (!folded && posix::same_in_any_case(entry_name, name)) folded = equals + 1;
  }
  return folded ? Text(folded) : Text();
}

void set_environment_value(const Text& name, const Text& value) {
  setenv(name.c_str(), value.c_str(), 1);
}

// No shell keeps a Documents folder apart from the home folder here.
Text documents_folder() { return Text(); }

Text first_match(const Text& pattern) {
  Text directory, name;
  split_pattern(pattern, directory, name);
  if (name.empty()) return Text();

  if (!has_wildcard(name)) {
    Text stored = posix::find_entry(directory, name);
    return counts(directory, stored) ? stored : Text();
  }
  DIR* listing = opendir(directory.empty() ? "." : directory.c_str());
  if (!listing) return Text();
  Text found;
  while (const dirent* entry = readdir(listing)) {
    if (wildcard_match(name, entry->d_name) && counts(directory, entry->d_name)) {
      found = entry->d_name;
      break;
    }
  }
  closedir(listing);
  return found;
}

bool file_present(const Text& path) { return !first_match(path).empty(); }

std::vector<Entry> matches(const Text& pattern) {
  std::vector<Entry> entries;
  Text directory, name;
  split_pattern(pattern, directory, name);
  DIR* listing = name.empty() ? nullptr : opendir(directory.empty() ? "." : directory.c_str());
  if (!listing) return entries;
  // Only the names that match are looked at further.
  while (const dirent* entry = readdir(listing)) {
    struct stat info;
    if (!wildcard_match(name, entry->d_name) || !listable(directory, entry->d_name, info)) continue;
    if (!S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode)) continue;
    entries.push_back({entry->d_name, S_ISDIR(info.st_mode) != 0,
                       info.st_mtim.tv_sec * 10000000LL + info.st_mtim.tv_nsec / 100});
  }
  closedir(listing);
  return entries;
}

bool file_exists(const Text& path) {
  struct stat info;
  const Text native = native_path(path);
  return !native.empty() && stat(native.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

long long last_write_time(const Text& path) {
  struct stat info;
  const Text native = native_path(path);
  if (native.empty() || stat(native.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return -1;
  return info.st_mtim.tv_sec * 10000000LL + info.st_mtim.tv_nsec / 100;
}

bool replaceable(const Text& path) {
  struct stat info;
  const Text native = native_path(path);
  if (native.empty() || stat(native.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return false;
  const int fd = open(native.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  close(fd);
  return true;
}

}  // namespace platform
