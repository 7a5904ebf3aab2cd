// The command runner and the owner check on Windows.
#include <aclapi.h>
#include <sddl.h>
#include <windows.h>

#include "platform/platform.h"

namespace platform {

namespace {

// While the script runs, Ctrl+C and Ctrl+Break are the interpreter's to
// answer: this process waits on, to give the console back its code pages.
BOOL WINAPI while_script_runs(DWORD event) {
  return event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT;
}

// The console's input and output code pages, set to the OEM code page, in
// which the script is written, for as long as this object lives; without a
// console, nothing.
class OemConsole {
 public:
  OemConsole() : input_(GetConsoleCP()), output_(GetConsoleOutputCP()) {
    const UINT oem = GetOEMCP();
    if (input_ != 0 && input_ != oem) SetConsoleCP(oem);
    if (output_ != 0 && output_ != oem) SetConsoleOutputCP(oem);
  }
  ~OemConsole() {
    if (input_ != 0 && input_ != GetConsoleCP()) SetConsoleCP(input_);
    if (output_ != 0 && output_ != GetConsoleOutputCP()) SetConsoleOutputCP(output_);
  }

 private:
  const UINT input_, output_;
};

// True when |sid| is the process's user, Administrators, SYSTEM or
// TrustedInstaller, or Everyone, which a file system that records no owner
// (FAT) gives every file.
bool trusted_owner(PSID sid) {
  if (!sid || !IsValidSid(sid)) return true;
  for (WELL_KNOWN_SID_TYPE type : {WinBuiltinAdministratorsSid, WinLocalSystemSid, WinWorldSid}) {
    if (IsWellKnownSid(sid, type)) return true;
  }
  PSID installer = nullptr;
  if (ConvertStringSidToSidA("S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464",
                             &installer)) {
    const bool same = EqualSid(sid, installer);
    LocalFree(installer);
    if (same) return true;
  }
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  union {
    TOKEN_USER user;
    char bytes[256];
  } info;
  DWORD size = 0;
  const bool user = GetTokenInformation(token, TokenUser, &info, sizeof info, &size) &&
                    EqualSid(sid, info.user.User.Sid);
  CloseHandle(token);
  return user;
}

// True when |path| is on a drive whose owners cannot be told: a network
// drive, where the server reports owners that are not this machine's users,
// or a file system that records none (FAT32, exFAT).
bool owners_unknown(const Text& path) {
  auto separator = [&](size_t at) {
    return at < path.size() && (path[at] == '\\' || path[at] == '/');
  };
  if (separator(0) && separator(1)) return true;
  const Text root = path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) + "\\" : Text();
  const char* drive = root.empty() ? nullptr : root.c_str();
  DWORD flags = 0;
  return GetDriveTypeA(drive) == DRIVE_REMOTE ||
         !GetVolumeInformationA(drive, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) ||
         !(flags & FILE_PERSISTENT_ACLS);
}

}  // namespace

Text command_interpreter() {
  Text comspec = environment_value("ComSpec");
  if (comspec.size() > 2 && comspec.front() == '"' && comspec.back() == '"')
    comspec = comspec.substr(1, comspec.size() - 2);
  if (!comspec.empty()) return comspec;
  char folder[MAX_PATH];
  const UINT size = GetSystemDirectoryA(folder, MAX_PATH);
  return Text(folder, size > 0 && size < MAX_PATH ? size : 0) + "\\cmd.exe";
}

bool run_command(const Text& command, int& status) {
  const Text interpreter = command_interpreter();
  // /d: no AutoRun commands; /v:off: a "!" in a path is a "!".
  Text line = "\"" + interpreter + "\" /d /v:off /c " + command;
  if (line.find('\0') != Text::npos || interpreter.find('\0') != Text::npos) return false;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  OemConsole console;
  if (!CreateProcessA(interpreter.c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  SetConsoleCtrlHandler(while_script_runs, TRUE);
  WaitForSingleObject(process.hProcess, INFINITE);
  SetConsoleCtrlHandler(while_script_runs, FALSE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  status = static_cast<int>(code);
  return true;
}

bool owned_by_another_user(const Text& path) {
  if (path.empty() || path.find('\0') != Text::npos ||
      GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES || owners_unknown(path)) {
    return false;
  }
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  Text name = path;
  while (name.size() > 3 && ends_in_backslash(name)) name.pop_back();
  if (GetNamedSecurityInfoA(name.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner,
                            nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
    return true;  // an owner may deny others the reading of it
  }
  const bool other = !trusted_owner(owner);
  LocalFree(descriptor);
  return other;
}

}  // namespace platform
