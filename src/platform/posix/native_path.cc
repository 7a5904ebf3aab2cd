// Windows paths on the POSIX file system.
#include "platform/posix/native_path.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstdlib>

namespace platform::posix {

namespace {

bool is_ascii_letter(char byte) {
  return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z');
}

char ascii_lower(char byte) {
  return byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte;
}

bool has_drive(const std::string& path) {
  return path.size() >= 2 && is_ascii_letter(path[0]) && path[1] == ':';
}

std::string joined(const std::string& directory, const std::string& name) {
  if (directory.empty()) return name;
  if (directory.back() == '/') return directory + name;
  return directory + "/" + name;
}

}  // namespace

bool is_windows_path(const std::string& path) {
  return has_drive(path) || path.find('\\') != std::string::npos;
}

std::string drives_folder() {
  const char* value = std::getenv("TOLVANE_DRIVES");
  return value && *value ? value : "/mnt";
}

bool same_in_any_case(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (ascii_lower(a[i]) != ascii_lower(b[i])) return false;
  }
  return true;
}

namespace {

// The first entry of |directory| that equals |name| in any letter case;
// empty when none does.
std::string entry_in_any_case(const std::string& directory, const std::string& name) {
  DIR* listing = opendir(directory.empty() ? "." : directory.c_str());
  if (!listing) return std::string();
  std::string found;
  while (const dirent* entry = readdir(listing)) {
    if (same_in_any_case(entry->d_name, name)) {
      found = entry->d_name;
      break;
    }
  }
  closedir(listing);
  return found;
}

bool is_separator(char byte) { return byte == '/' || byte == '\\'; }

}  // namespace

std::string find_entry(const std::string& directory, const std::string& name) {
  struct stat info;
  if (lstat(joined(directory, name).c_str(), &info) == 0) return name;
  return entry_in_any_case(directory, name);
}

std::string native_path(const std::string& path, bool resolve_last) {
  // The system would end the path at the NUL byte and reach another file.
  if (path.find('\0') != std::string::npos) return std::string();
  // The path is built in one string, each name appended in place, so that
  // the probe of a name needs no copy of the path.
  std::string resolved;
  resolved.reserve(path.size() + 64);
  // Once a name is missing, nothing below it can be found either.
  bool resolving = true;
  auto add = [&](const char* name, size_t size, bool last) {
    const size_t mark = resolved.size();
    if (mark > 0 && resolved.back() != '/') resolved += '/';
    const size_t name_at = resolved.size();
    resolved.append(name, size);
    const bool dots = name[0] == '.' && (size == 1 || (size == 2 && name[1] == '.'));
    struct stat info;
    if (!resolving || dots || (last && !resolve_last) || lstat(resolved.c_str(), &info) == 0)
      return;
    // Not as written: the entry that matches it in any letter case, if any.
    const std::string written = resolved.substr(name_at);
    resolved.resize(mark);
    const std::string stored = entry_in_any_case(resolved, written);
    if (mark > 0 && resolved.back() != '/') resolved += '/';
    resolved += stored.empty() ? written : stored;
    resolving = !stored.empty();
  };

  size_t at = 0;
  auto skip_separators = [&] {
    while (at < path.size() && is_separator(path[at])) ++at;
  };
  if (has_drive(path)) {
    resolved = drives_folder();
    at = 2;
    skip_separators();
    const char letter = ascii_lower(path[0]);
    add(&letter, 1, at == path.size());
  } else if (!path.empty() && is_separator(path[0])) {
    resolved = "/";
    skip_separators();
  }
  while (at < path.size()) {
    const size_t begin = at;
    while (at < path.size() && !is_separator(path[at])) ++at;
    const size_t end = at;
    skip_separators();
    add(path.data() + begin, end - begin, at == path.size());
  }
  if (!path.empty() && is_separator(path.back()) && !resolved.empty() && resolved.back() != '/')
    resolved += '/';
  return resolved;
}

}  // namespace platform::posix
