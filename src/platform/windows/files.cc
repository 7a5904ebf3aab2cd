// Files, directories, environment and the command runner on Windows, over the
// C runtime msvcrt.dll: the input file read as bytes for the shared line
// reader, the script written in the OEM code page.
#include <io.h>
#include <windows.h>
// After windows.h
#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/byte_rules.h"
#include "platform/exit_steps.h"
#include "platform/line_rules.h"
#include "platform/platform.h"
#include "platform/windows/console_use.h"

namespace platform {

namespace {

// Attribute bits of entries that do not count as present: hidden, system,
// volume label, directory, and the two bits above archive.
constexpr unsigned kNotPresent = 0x02 | 0x04 | 0x08 | 0x10 | 0x40 | 0x80;
constexpr intptr_t kNoSearch = -1;

// The directory search of the last first_match that found an entry.
intptr_t search = kNoSearch;

int last_error = no_error;
FILE* open_file = nullptr;
bool open_for_writing = false;
LineReader reader;

// True when |text| holds a NUL byte: the runtime would end it there and
// reach another file, so it names none.
bool holds_nul(const Text& text) { return text.find('\0') != Text::npos; }

// The last name of |pattern| when it holds a wildcard, else empty. The
// system matches such a name against the short names too (*.elf takes
// x.elfold, whose short name is X~1.ELF), so an entry counts only when its
// real name matches as well. A second byte that looks like a backslash
// comes before the last one, whose name is the pattern's own.
Text wildcard_of(const Text& pattern) {
  const size_t separator = pattern.find_last_of("\\/:");
  const Text name = separator == Text::npos ? pattern : pattern.substr(separator + 1);
  return name.find_first_of("*?") == Text::npos ? Text() : name;
}

bool real_name_matches(const Text& wildcard, const char* name) {
  return wildcard.empty() || wildcard_match(wildcard, name);
}

Text with_backslashes(const Text& path) {
  Text native = path;
  for (char& byte : native) {
    if (byte == '/') byte = '\\';
  }
  return native;
}

size_t read_input(char* into, size_t size) { return std::fread(into, 1, size, open_file); }

// |text|, in code page |from|, in code page |to| through UTF-16; false when a
// character has no place in |to|, or with |flags| when |text| is not in
// |from|. Each buffer is sized by a first call. Code page 65001 (UTF-8, which
// Windows may use as the system's code page) refuses the best-fit and
// lost-character arguments; a lone surrogate is its only character without
// a place.
bool converted(const Text& text, UINT from, DWORD flags, UINT to, Text& out) {
  out.clear();
  const int size = static_cast<int>(text.size());
  const int wide_size = MultiByteToWideChar(from, flags, text.data(), size, nullptr, 0);
  if (wide_size <= 0) return false;
  std::wstring wide(static_cast<size_t>(wide_size), L'\0');
  MultiByteToWideChar(from, flags, text.data(), size, &wide[0], wide_size);
  const UINT target = to == CP_ACP ? GetACP() : to == CP_OEMCP ? GetOEMCP() : to;
  const bool utf8 = target == CP_UTF8;
  const DWORD to_flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL lost = FALSE;
  BOOL* lost_at = utf8 ? nullptr : &lost;
  const int out_size =
      WideCharToMultiByte(target, to_flags, wide.data(), wide_size, nullptr, 0, nullptr, nullptr);
  if (out_size <= 0) return false;
  out.assign(static_cast<size_t>(out_size), '\0');
  const int stored = WideCharToMultiByte(target, to_flags, wide.data(), wide_size, &out[0],
                                         out_size, nullptr, lost_at);
  return stored == out_size && !lost;
}

// True when every byte of |text| is ASCII, the same in every code page.
bool is_ascii(const Text& text) {
  return std::all_of(text.begin(), text.end(),
                     [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
}

// |text| in the OEM code page, in which the command interpreter reads a
// script; false when a character has no place there. ASCII stays as it is.
bool in_oem_code_page(const Text& text, Text& oem) {
  oem = text;
  return is_ascii(text) || converted(text, CP_ACP, 0, CP_OEMCP, oem);
}

}  // namespace

Text environment_value(const Text& name) {
  const char* value = std::getenv(name.c_str());
  return value ? Text(value) : Text();
}

void set_environment_value(const Text& name, const Text& value) {
  // Through the runtime, so that both its copy and the system's hold it.
  _putenv((name + "=" + value).c_str());
}

Text documents_folder() {
  char path[MAX_PATH];
  // The shell's answer follows a Documents folder moved elsewhere; a folder
  // that is not there (or not in the ANSI code page) gives nothing.
  if (SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK) {
    return Text();
  }
  return path;
}

Text first_match(const Text& pattern) {
  if (search != kNoSearch) {
    _findclose(search);
    search = kNoSearch;
  }
  if (holds_nul(pattern)) return Text();
  _finddata_t entry;
  const intptr_t found = _findfirst(pattern.c_str(), &entry);
  if (found == kNoSearch) return Text();
  const Text wildcard = wildcard_of(pattern);
  for (;;) {
    if ((entry.attrib & kNotPresent) == 0 && real_name_matches(wildcard, entry.name)) {
      search = found;  // kept open until the next search
      return Text(entry.name);
    }
    if (_findnext(found, &entry) != 0) {
      _findclose(found);
      return Text();
    }
  }
}

bool file_present(const Text& path) { return !first_match(path).empty(); }

std::vector<Entry> matches(const Text& pattern) {
  std::vector<Entry> entries;
  WIN32_FIND_DATAA entry;
  if (holds_nul(pattern)) return entries;
  // The basic listing leaves out the short names and asks for large pieces;
  // Windows before 7 knows neither and gets the standard one.
  HANDLE found = FindFirstFileExA(pattern.c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                                  nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (found == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER) {
    found = FindFirstFileExA(pattern.c_str(), FindExInfoStandard, &entry, FindExSearchNameMatch,
                             nullptr, 0);
  }
  if (found == INVALID_HANDLE_VALUE) return entries;
  const Text wildcard = wildcard_of(pattern);
  do {
    const bool folder = entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    const Text name = entry.cFileName;
    // The system gives a plain file FILE_ATTRIBUTE_NORMAL (0x80) here, where
    // the runtime's listing shows no attribute at all.
    if ((entry.dwFileAttributes & (kNotPresent & ~(FILE_ATTRIBUTE_DIRECTORY | 0x80))) != 0 ||
        name == "." || name == ".." || !real_name_matches(wildcard, entry.cFileName)) {
      continue;
    }
    const FILETIME& time = entry.ftLastWriteTime;
    entries.push_back(
        {name, folder, static_cast<long long>(time.dwHighDateTime) << 32 | time.dwLowDateTime});
  } while (FindNextFileA(found, &entry));
  FindClose(found);
  return entries;
}

Text full_path(const Text& path) {
  const DWORD size = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
  Text full(size, '\0');
  const DWORD got = size ? GetFullPathNameA(path.c_str(), size, &full[0], nullptr) : 0;
  if (got == 0 || got >= size) return path;
  full.resize(got);
  return full;
}

Text program_path() {
  char buffer[MAX_PATH + 1];
  const DWORD got = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  return got == 0 || got >= sizeof buffer ? Text() : Text(buffer, got);
}

bool file_exists(const Text& path) {
  const DWORD attributes =
      holds_nul(path) ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

long long last_write_time(const Text& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (holds_nul(path) || !GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return -1;
  const FILETIME& time = data.ftLastWriteTime;
  return static_cast<long long>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

bool replaceable(const Text& path) {
  // A file created anew keeps none of these attributes: the system refuses.
  const DWORD refusing = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  const DWORD attributes =
      holds_nul(path) ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & refusing)) return false;
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

int error_number() { return last_error; }

void open_for_input(const Text& path) {
  if (open_file) {
    last_error = illegal_call;
    return;
  }
  const Text native = with_backslashes(path);
  FILE* file = holds_nul(native) ? nullptr : std::fopen(native.c_str(), "rb");
  if (!file) {
    last_error = file_not_found;
    return;
  }
  long long size = -1;
  if (_fseeki64(file, 0, SEEK_END) == 0) size = _ftelli64(file);
  if (size < 0 || _fseeki64(file, 0, SEEK_SET) != 0) {
    std::fclose(file);
    last_error = illegal_call;
    return;
  }
  // The bytes as they are; the shared reader does the text-mode translation.
  open_file = file;
  open_for_writing = false;
  reader.start(read_input, size);
  last_error = no_error;
}

void open_for_output(const Text& path) {
  if (open_file) {
    last_error = illegal_call;
    return;
  }
  FILE* file = holds_nul(path) ? nullptr : std::fopen(with_backslashes(path).c_str(), "wb");
  if (!file) {
    last_error = file_not_found;
    return;
  }
  open_file = file;
  open_for_writing = true;
  last_error = no_error;
}

bool end_of_file() { return !open_file || open_for_writing || reader.at_end(); }

void read_line(Text& line) {
  if (!open_file) {
    last_error = illegal_call;
    return;
  }
  line.clear();
  if (!open_for_writing) reader.read_line(line);
  last_error = no_error;
}

void write_line(const Text& text) {
  begin_console_use();
  if (!open_file) {
    last_error = illegal_call;
    return;
  }
  if (!open_for_writing) {
    last_error = file_io_error;
    return;
  }
  Text oem;
  const bool held = in_oem_code_page(text, oem);
  const size_t stored = std::fwrite(oem.data(), 1, oem.size(), open_file);
  const size_t ending = std::fwrite("\r\n", 1, 2, open_file);
  last_error = held && stored == oem.size() && ending == 2 ? no_error : file_io_error;
}

void close_file() {
  if (!open_file) {
    last_error = illegal_call;
    return;
  }
  // The last bytes are stored explicitly: not every runtime's fclose reports
  // a write that failed while it flushed.
  const bool flushed = std::fflush(open_file) == 0;
  const bool stored = std::fclose(open_file) == 0 && flushed;
  open_file = nullptr;
  // A script whose last bytes never reached the disk must not pass for a
  // complete one.
  last_error = stored || !open_for_writing ? no_error : file_io_error;
}

bool read_file_start(const Text& path, size_t limit, Text& bytes) {
  bytes.clear();
  FILE* file = holds_nul(path) ? nullptr : std::fopen(with_backslashes(path).c_str(), "rb");
  if (!file) return false;
  char piece[65536];
  size_t got;
  while (bytes.size() < limit &&
         (got = std::fread(piece, 1, std::min(sizeof piece, limit - bytes.size()), file)) > 0) {
    bytes.append(piece, got);
  }
  const bool read_all = !std::ferror(file);
  std::fclose(file);
  return read_all;
}

// One byte past the limit tells a file that is too large.
bool read_file(const Text& path, size_t limit, Text& bytes) {
  return read_file_start(path, limit + 1, bytes) && bytes.size() <= limit;
}

bool ansi_from_utf8(const Text& utf8, Text& ansi) {
  ansi.clear();
  return utf8.empty() || converted(utf8, CP_UTF8, MB_ERR_INVALID_CHARS, CP_ACP, ansi);
}

void close_file_at_exit() {
  if (!open_file) return;
  std::fclose(open_file);
  open_file = nullptr;
}

bool read_script(const Text& path, size_t limit, Text& text) {
  Text oem;
  if (!read_file_start(path, limit, oem)) return false;
  // One that holds a character the ANSI code page lacks is taken as it is.
  if (is_ascii(oem) || !converted(oem, CP_OEMCP, 0, CP_ACP, text)) text = oem;
  return true;
}

}  // namespace platform
