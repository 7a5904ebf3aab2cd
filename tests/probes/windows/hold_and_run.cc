// Holds a file open while it runs a command, so that other processes meet a
// sharing conflict:  hold_and_run read|none PATH COMMAND...
// "read" lets others read the file, "none" shares nothing. Ends with the
// command's status.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  DWORD share = std::strcmp(argv[1], "read") == 0 ? FILE_SHARE_READ : 0;
  HANDLE held = CreateFileA(argv[2], GENERIC_READ, share, nullptr, OPEN_EXISTING,
                            FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (held == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "hold_and_run: cannot open %s\n", argv[2]);
    return 3;
  }
  std::string command;
  for (int i = 3; i < argc; ++i) {
    if (i > 3) command += ' ';
    command += '"';
    command += argv[i];
    command += '"';
  }
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                      &process)) {
    std::fprintf(stderr, "hold_and_run: cannot start %s\n", argv[3]);
    return 4;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 0;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(held);
  return static_cast<int>(status);
}
