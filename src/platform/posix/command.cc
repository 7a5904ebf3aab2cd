// The command runner on POSIX: a small interpreter for the command scripts
// that the program writes, standing in for the Windows command interpreter;
// and the owner check.
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "platform/platform.h"
#include "platform/posix/native_path.h"
#include "platform/posix/script_line.h"
#include "platform/posix/write_all.h"

extern char** environ;

namespace platform {

namespace {

using posix::native_path;
using posix::ScriptLine;

constexpr int kNotRecognizedStatus = 9009;

// One line on standard error, as the command interpreter reports trouble.
void report(const Text& message) {
  Text line = message + "\n";
  posix::write_all(2, line.data(), line.size());
}

int not_recognized(const Text& program) {
  report("'" + program +
         "' is not recognized as an internal or external command, operable program or batch "
         "file.");
  return kNotRecognizedStatus;
}

bool read_whole(const Text& path, Text& content) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char chunk[16 * 1024];
  ssize_t got;
  while ((got = read(fd, chunk, sizeof chunk)) != 0) {
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) break;
    content.append(chunk, static_cast<size_t>(got));
  }
  close(fd);
  return got == 0;
}

Text argument_path(const Text& word) {
  return posix::is_windows_path(word) ? native_path(word) : word;
}

// Starts the program with its standard output on |output| (when not -1) and
// waits for it to end.
int start_and_wait(const std::vector<Text>& words, int output) {
  std::vector<Text> arguments;
  for (const Text& word : words) arguments.push_back(argument_path(word));
  std::vector<char*> argv;
  for (Text& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (output >= 0) posix_spawn_file_actions_adddup2(&actions, output, 1);
  pid_t child;
  const Text& program = arguments.front();
  int failure =
      program.find('/') != Text::npos
          ? posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ)
          : posix_spawnp(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failure != 0) return not_recognized(words.front());

  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return 1;
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return 128 + WTERMSIG(status);
}

int run_line(const ScriptLine& line) {
  if (line.missing_target) {
    report("The syntax of the command is incorrect.");
    return 1;
  }
  int output = -1;
  for (const posix::Redirection& redirection : line.redirections) {
    int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (redirection.append ? O_APPEND : O_TRUNC);
    int file = open(native_path(redirection.path).c_str(), flags, 0666);
    if (output >= 0) close(output);
    output = file;
    if (output < 0) {
      report("The system cannot find the path specified.");
      return 1;
    }
  }
  int status = line.words.empty() ? 0 : start_and_wait(line.words, output);
  if (output >= 0) close(output);
  return status;
}

int run_script(const Text& command) {
  Text script_path = posix::script_path_of(command, environment_value);
  Text script;
  if (script_path.empty() || !read_whole(native_path(script_path), script)) {
    return not_recognized(script_path);
  }

  int status = 0;
  size_t at = 0;
  while (at < script.size()) {
    size_t lf = script.find('\n', at);
    if (lf == Text::npos) lf = script.size();
    Text line = script.substr(at, lf - at);
    at = lf + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (posix::is_exit_line(line)) break;
    ScriptLine parsed = posix::parse_script_line(line);
    if (parsed.words.empty() && parsed.redirections.empty() && !parsed.missing_target) continue;
    status = run_line(parsed);
  }
  return status;
}

}  // namespace

// The interpreter is the one above, within this process; a ComSpec that
// names no file is one that cannot start, as on Windows.
Text command_interpreter() {
  const Text comspec = environment_value("ComSpec");
  return comspec.empty() ? Text("cmd.exe") : comspec;
}

bool run_command(const Text& command, int& status) {
  if (!environment_value("ComSpec").empty() && !file_exists(command_interpreter())) return false;
  status = run_script(command);
  return true;
}

bool owned_by_another_user(const Text& path) {
  struct stat info;
  const Text native = native_path(path);
  return !native.empty() && lstat(native.c_str(), &info) == 0 && info.st_uid != 0 &&
         info.st_uid != geteuid();
}

}  // namespace platform
