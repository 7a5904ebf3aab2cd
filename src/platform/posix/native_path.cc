// Windows paths on the POSIX file system.
#include "platform/posix/native_path.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstdlib>
#include <vector>

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

std::string find_entry(const std::string& directory, const std::string& name) {
  struct stat info;
  if (lstat(joined(directory, name).c_str(), &info) == 0) return name;
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

std::string native_path(const std::string& path, bool resolve_last) {
  // The system would end the path at the NUL byte and reach another file.
  if (path.find('\0') != std::string::npos) return std::string();
  std::string text = path;
  for (char& byte : text) {
    if (byte == '\\') byte = '/';
  }

  std::string resolved;
  std::vector<std::string> names;
  size_t at = 0;
  if (has_drive(text)) {
    resolved = drives_folder();
    names.emplace_back(1, ascii_lower(text[0]));
    at = 2;
  } else if (!text.empty() && text[0] == '/') {
    resolved = "/";
  }
  while (at < text.size()) {
    size_t slash = text.find('/', at);
    if (slash == std::string::npos) slash = text.size();
    if (slash > at) names.push_back(text.substr(at, slash - at));
    at = slash + 1;
  }

  // Once a name is missing, nothing below it can be found either.
  bool resolving = true;
  for (size_t i = 0; i < names.size(); ++i) {
    std::string name = names[i];
    bool last = i + 1 == names.size();
    if (resolving && name != "." && name != ".." && (resolve_last || !last)) {
      std::string stored = find_entry(resolved, name);
      if (stored.empty()) {
        resolving = false;
      } else {
        name = stored;
      }
    }
    resolved = joined(resolved, name);
  }
  bool trailing_slash = !text.empty() && text.back() == '/';
  if (trailing_slash && !resolved.empty() && resolved.back() != '/') resolved += '/';
  return resolved;
}

}  // namespace platform::posix
