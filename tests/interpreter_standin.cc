// A command interpreter for the scenario rows: adds its command line to
// C:\t\interpreter.txt, then runs cmd.exe of the system folder with the same
// arguments and gives its exit status.
#include <windows.h>

#include <cstdio>
#include <string>

int main() {
  const std::string line = GetCommandLineA();
  if (FILE* record = std::fopen("C:\\t\\interpreter.txt", "ab")) {
    std::fputs(line.c_str(), record);
    std::fclose(record);
  }
  // The arguments start after the program's name, quoted or not.
  const size_t end = line[0] == '"' ? line.find('"', 1) + 1 : line.find(' ');
  char folder[MAX_PATH];
  const std::string cmd = std::string(folder, GetSystemDirectoryA(folder, MAX_PATH)) + "\\cmd.exe";
  std::string arguments = "\"" + cmd + "\"" + (end < line.size() ? line.substr(end) : "");
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(cmd.c_str(), &arguments[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return 9009;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 0;
  GetExitCodeProcess(process.hProcess, &status);
  return static_cast<int>(status);
}
