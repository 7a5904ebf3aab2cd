// Windows paths on the POSIX file system.
#include "platform/posix/native_path.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstdlib>
#include <vector>

#include "platform/byte_rules.h"

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

std::string windows_full_path(const std::string& path, const std::string& current) {
  const bool drive =
      path.size() >= 2 && static_cast<unsigned char>(path[0]) < 0x80 && path[1] == ':';
  const bool rooted = !path.empty() && is_separator(path[0]);
  const bool server = rooted && path.size() > 1 && is_separator(path[1]);
  // Only a current folder from its drive's root can complete a path.
  const bool known = current.size() >= 3 && current[1] == ':' && is_separator(current[2]);
  if (drive && (path.size() == 2 || !is_separator(path[2]))) {
    // From the current folder of its drive: the current one, or the root.
    const bool here = known && same_in_any_case(current.substr(0, 2), path.substr(0, 2));
    return windows_full_path((here ? current : path.substr(0, 2)) + "\\" + path.substr(2), current);
  }
  if (!drive && !server) {
    if (!known) return path;
    return windows_full_path(rooted ? current.substr(0, 2) + path : current + "\\" + path, current);
  }
  // The root, "X:\" or the "\\" before a server's name and its share's; then
  // each name, split at separators that begin a character (the second byte
  // of a double-byte character may be either).
  std::string full = drive ? path.substr(0, 2) + "\\" : "\\\\";
  const size_t root = full.size(), kept_below = server ? 2 : 0;
  std::vector<std::string> names;
  bool trailing = false;  // a separator follows the name (the last: ends the path)
  for (size_t at = root; at < path.size();) {
    size_t end = at;
    while (end < path.size() && !is_separator(path[end]))
      end += platform::character_size(path, end);
    std::string name = path.substr(at, end - at);
    trailing = end < path.size();
    at = end + 1;
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      if (names.size() > kept_below) names.pop_back();
      continue;
    }
    if (trailing && name.back() == '.') name.pop_back();
    names.push_back(name);
  }
  for (size_t i = 0; i < names.size(); ++i) full += (i ? "\\" : "") + names[i];
  if (trailing && !names.empty()) full += '\\';
  while (!trailing && full.size() > root && (full.back() == '.' || full.back() == ' '))
    full.pop_back();
  return full;
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
