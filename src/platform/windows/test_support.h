// Helpers of the Windows platform tests: a scratch folder on disk, raw file
// access that does not go through the layer under test, and child processes
// with their output caught in a file.
#ifndef TOLVANE_PLATFORM_WINDOWS_TEST_SUPPORT_H_
#define TOLVANE_PLATFORM_WINDOWS_TEST_SUPPORT_H_

#include <windows.h>

#include <string>

namespace wintest {

/// The bytes of a file; a marker text when it cannot be read.
inline std::string file_bytes(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  std::string bytes;
  char piece[65536];
  DWORD got = 0;
  bool ok = file != INVALID_HANDLE_VALUE;
  while (ok && (ok = ReadFile(file, piece, sizeof piece, &got, nullptr) != 0) && got > 0) {
    bytes.append(piece, got);
  }
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return ok ? bytes : "<cannot read " + path + ">";
}

/// Creates or replaces a file holding exactly |bytes|.
inline bool write_bytes(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
      written == bytes.size();
  return CloseHandle(file) && ok;
}

inline bool exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

/// Removes a file or a folder with everything in it, whatever its attributes.
inline void remove_tree(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    DeleteFileA(path.c_str());
    return;
  }
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((path + "\\*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = entry.cFileName;
      if (name != "." && name != "..") remove_tree(path + "\\" + name);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
  }
  RemoveDirectoryA(path.c_str());
}

/// A new, empty folder under the temporary folder, removed again at the end.
class ScratchFolder {
 public:
  ScratchFolder() {
    static unsigned serial = 0;
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(sizeof temp, temp);
    std::string base = temp;
    if (!base.empty() && base.back() != '\\') base += '\\';
    for (int attempt = 0; attempt < 1000 && path_.empty(); ++attempt) {
      std::string candidate = base + "tolvane-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                              std::to_string(++serial);
      if (CreateDirectoryA(candidate.c_str(), nullptr)) path_ = candidate;
    }
  }
  ~ScratchFolder() { remove_tree(path_); }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  /// Empty when no folder could be made.
  const std::string& path() const { return path_; }
  /// The path of |name| inside the folder.
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

/// The path of a test probe program built beside the test program.
inline std::string probe_path(const std::string& name) {
  char path[MAX_PATH + 1] = {};
  std::string folder(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
  return folder.substr(0, folder.find_last_of('\\') + 1) + "probes\\" + name + ".exe";
}

struct ChildRun {
  bool started = false;
  bool ended = false;  // false: it was still running at the time limit
  DWORD status = 0;
  std::string out;  // what it wrote to standard output
};

/// Runs |command_line| in |folder| with standard output caught in a file and
/// standard input from |input| (the NUL device when null), and waits for it
/// to end, ending it after a generous time limit so that a hang fails the
/// test instead of blocking the run.
inline ChildRun run_child(const std::string& command_line, const std::string& folder,
                          HANDLE input = nullptr) {
  ChildRun run;
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  const std::string out_path = folder + "\\child-output.bin";
  HANDLE out = CreateFileA(out_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  HANDLE nul = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                           OPEN_EXISTING, 0, nullptr);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input ? input : nul;
  startup.hStdOutput = out;
  startup.hStdError = out;
  PROCESS_INFORMATION process = {};
  std::string line = command_line;
  run.started =
      out != INVALID_HANDLE_VALUE && CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0,
                                                    nullptr, folder.c_str(), &startup, &process);
  if (run.started) {
    run.ended = WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0;
    if (!run.ended) TerminateProcess(process.hProcess, 99);
    GetExitCodeProcess(process.hProcess, &run.status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
  if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
  run.out = file_bytes(out_path);
  DeleteFileA(out_path.c_str());
  return run;
}

}  // namespace wintest

#endif  // TOLVANE_PLATFORM_WINDOWS_TEST_SUPPORT_H_
