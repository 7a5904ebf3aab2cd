// The two machines on which the scenarios run, and host file helpers.
#include "harness.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace harness {

namespace {

const char kArea[] = "C:\\tolvane-test";
const char* const kToolRoots[] = {"Program Files (x86)/Arduino", "Program Files/Arduino", "Arduino",
                                  "bin"};

std::string slashed(std::string path) {
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

std::string backslashed(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

// The part of a Windows path after "C:\", with "/" separators.
std::string below_drive_c(const std::string& windows_path) {
  if (windows_path.size() < 2 || windows_path[1] != ':' ||
      (windows_path[0] != 'C' && windows_path[0] != 'c')) {
    throw std::invalid_argument("not a path on drive C: " + windows_path);
  }
  std::string rest = slashed(windows_path.substr(2));
  while (!rest.empty() && rest[0] == '/') rest.erase(0, 1);
  return rest;
}

bool same_name(const std::string& a, const std::string& b) {
  return strcasecmp(a.c_str(), b.c_str()) == 0;
}

// Runs |argv| in |directory| with |environment|, standard input from
// /dev/null, and collects standard output.
Outcome spawn(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
              const std::string& directory, bool unprivileged = false) {
  int out[2];
  if (pipe(out) != 0) throw std::runtime_error("pipe failed");
  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    int null_in = open("/dev/null", O_RDONLY);
    dup2(null_in, 0);
    dup2(out[1], 1);
    close(out[0]);
    close(out[1]);
    if (unprivileged && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(125);
    if (!directory.empty() && chdir(directory.c_str()) != 0) _exit(126);
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    std::vector<char*> env;
    for (const std::string& entry : environment) env.push_back(const_cast<char*>(entry.c_str()));
    env.push_back(nullptr);
    execvpe(args[0], args.data(), env.data());
    _exit(127);
  }
  close(out[1]);
  Outcome outcome;
  char buffer[65536];
  for (;;) {
    ssize_t got = read(out[0], buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    outcome.out.append(buffer, static_cast<size_t>(got));
  }
  close(out[0]);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return outcome;
}

// The host environment less the named variables (in any letter case).
std::vector<std::string> environment_without(const std::vector<std::string>& names) {
  std::vector<std::string> result;
  for (char** entry = environ; *entry; ++entry) {
    std::string text = *entry;
    std::string name = text.substr(0, text.find('='));
    bool dropped = false;
    for (const std::string& drop : names) dropped = dropped || same_name(name, drop);
    if (!dropped) result.push_back(text);
  }
  return result;
}

class NativeMachine : public Machine {
 public:
  NativeMachine() {
    char pattern[] = "/tmp/tolvane-test-XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
    chmod(root_.c_str(), 0755);  // open to an unprivileged run
  }
  ~NativeMachine() override { remove_tree(root_); }

  bool prepare(std::string&) override {
    remove_tree(root_ + "/c");
    make_dirs(host(kArea));
    return true;
  }

  std::string host(const std::string& windows_path) const override {
    return root_ + "/c/" + below_drive_c(windows_path);
  }

  Outcome run_program(const Call& call) override {
    return run(TOLVANE_NATIVE_PROGRAM, call.arguments, call);
  }

  std::string program() const override { return TOLVANE_NATIVE_PROGRAM; }

  Outcome run_probe(const std::string& probe, const Call& call) override {
    return run(std::string(TOLVANE_NATIVE_PROBES) + "/" + probe, call.arguments, call);
  }

  Outcome run_script(const std::string& windows_path, const Call& call) override {
    return run(std::string(TOLVANE_NATIVE_PROBES) + "/command_probe",
               {"\"\"" + windows_path + "\"\""}, call);
  }

  void install_tools(const std::string& windows_dir) override {
    std::string dir = host(windows_dir);
    make_dirs(dir);
    for (const char* tool : {"avr-objdump", "avr-readelf"}) {
      std::string link = dir + "/" + tool + ".exe";
      if (symlink((std::string("/usr/bin/") + tool).c_str(), link.c_str()) != 0) {
        throw std::runtime_error("cannot link " + link);
      }
    }
  }

  bool is_windows() const override { return false; }

 private:
  Outcome run(const std::string& program, const std::vector<std::string>& arguments,
              const Call& call) {
    std::vector<std::string> names = {"TOLVANE_DRIVES"};
    for (const Setting& setting : call.environment) names.push_back(setting.first);
    std::vector<std::string> environment = environment_without(names);
    environment.push_back("TOLVANE_DRIVES=" + root_);
    for (const Setting& setting : call.environment) {
      if (setting.second) environment.push_back(setting.first + "=" + *setting.second);
    }
    std::vector<std::string> argv = {program};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return spawn(argv, environment, host(call.directory), call.unprivileged);
  }

  std::string root_;
};

// A text as a batch file line must hold it: each "%" doubled.
std::string percent_doubled(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    escaped += c;
    if (c == '%') escaped += '%';
  }
  return escaped;
}

// Quotes an argument for a batch file line as the runtime's command line
// parser reads it back.
std::string batch_argument(const std::string& argument) {
  std::string escaped = percent_doubled(argument);
  if (argument.empty() || argument.find_first_of(" \t&()^") != std::string::npos) {
    return "\"" + escaped + "\"";
  }
  return escaped;
}

class WineMachine : public Machine {
 public:
  WineMachine() : prefix_(TOLVANE_WINE_PREFIX), drive_c_(prefix_ + "/drive_c") {}

  bool prepare(std::string& why) override {
    if (system("command -v wine >/dev/null 2>&1") != 0) {
      why = "wine is not installed (set TOLVANE_SKIP_WINE=1 to leave out the Windows runs)";
      return false;
    }
    if (!exists(drive_c_ + "/windows")) {
      why = "no Wine prefix at " + prefix_ + " (the wine_prefix test makes it)";
      return false;
    }
    if (!exists(std::string(TOLVANE_WINDOWS_DIR) + "/Tolvane.exe")) {
      why = "Tolvane.exe has not been built in " TOLVANE_WINDOWS_DIR;
      return false;
    }
    remove_tree(host(kArea));
    for (const char* tool_root : kToolRoots) remove_tree(drive_c_ + "/" + tool_root);
    make_dirs(host(kArea));
    return true;
  }

  std::string host(const std::string& windows_path) const override {
    return drive_c_ + "/" + below_drive_c(windows_path);
  }

  Outcome run_program(const Call& call) override { return run(program(), call.arguments, call); }

  std::string program() const override {
    return windows_name(std::string(TOLVANE_WINDOWS_DIR) + "/Tolvane.exe");
  }

  Outcome run_probe(const std::string& probe, const Call& call) override {
    return run(windows_name(std::string(TOLVANE_WINDOWS_DIR) + "/probes/" + probe + ".exe"),
               call.arguments, call);
  }

  Outcome run_script(const std::string& windows_path, const Call& call) override {
    return run("cmd /c \"" + windows_path + "\"", {}, call);
  }

  void install_tools(const std::string& windows_dir) override {
    std::string dir = host(windows_dir);
    make_dirs(dir);
    for (const char* tool : {"avr-objdump", "avr-readelf"}) {
      std::string path = dir + "/" + tool + ".exe";
      write_file(
          path,
          "#!/bin/sh\n"
          "# Runs the real tool on the host paths of its Windows arguments.\n"
          "drive_c='" +
              drive_c_ +
              "'\n"
              "for a; do\n"
              "  case $a in [Cc]:\\\\*) a=\"$drive_c/$(printf '%s' \"${a#??\\\\}\" | tr '\\\\' "
              "'/')\";; esac\n"
              "  set -- \"$@\" \"$a\"; shift\n"
              "done\n"
              "exec /usr/bin/" +
              tool + " \"$@\"\n");
      chmod(path.c_str(), 0755);
    }
  }

  bool is_windows() const override { return true; }

 private:
  // The Windows name of a host file, through Wine's drive Z:.
  static std::string windows_name(const std::string& host_path) {
    return "\"Z:" + backslashed(host_path) + "\"";
  }

  // Writes a batch file that sets the environment on the Windows side (Wine
  // sets its own AppData, HomeDrive and HomePath), changes to the directory,
  // runs the command and passes its status on.
  Outcome run(const std::string& command, const std::vector<std::string>& arguments,
              const Call& call) {
    std::string batch = "@echo off\r\n";
    for (const Setting& setting : call.environment) {
      if (setting.second) {
        batch += "set \"" + setting.first + "=" + percent_doubled(*setting.second) + "\"\r\n";
      } else {
        batch += "set " + setting.first + "=\r\n";
      }
    }
    batch += "cd /d \"" + call.directory + "\"\r\n";
    batch += command;
    for (const std::string& argument : arguments) batch += " " + batch_argument(argument);
    batch += "\r\nset tolvane_status=%errorlevel%\r\n";
    batch += ">C:\\tolvane-status.txt echo %tolvane_status%\r\n";
    batch += "exit /b %tolvane_status%\r\n";
    write_file(drive_c_ + "/tolvane-run.cmd", batch);
    remove_tree(drive_c_ + "/tolvane-status.txt");
    std::vector<std::string> environment = environment_without(
        {"WINEPREFIX", "WINEDEBUG", "WINEDLLOVERRIDES", "DISPLAY", "WAYLAND_DISPLAY"});
    environment.push_back("WINEPREFIX=" + prefix_);
    environment.push_back("WINEDEBUG=-all");
    environment.push_back("WINEDLLOVERRIDES=mscoree,mshtml=");
    Outcome outcome = spawn({"wine", "cmd", "/c", "C:\\tolvane-run.cmd"}, environment, drive_c_);
    wait_for_host_programs();
    outcome.windows_status = read_file(drive_c_ + "/tolvane-status.txt");
    return outcome;
  }

  // Wine does not wait for the Linux programs that stand in for the tools:
  // cmd goes on, and may end, while they still write their listings. Waits
  // until no process has run from this prefix's drive C for a while (a
  // process just forked still shows its parent's command line).
  void wait_for_host_programs() const {
    const int kQuietPolls = 10;
    int quiet = 0;
    for (int poll = 0; poll < 1500 && quiet < kQuietPolls; ++poll) {
      quiet = any_process_mentions(prefix_) ? 0 : quiet + 1;
      usleep(20 * 1000);
    }
    if (quiet < kQuietPolls) throw std::runtime_error("the tools started under Wine did not end");
  }

  static bool any_process_mentions(const std::string& text) {
    DIR* proc = opendir("/proc");
    if (!proc) return false;
    bool found = false;
    while (dirent* entry = readdir(proc)) {
      if (entry->d_name[0] < '0' || entry->d_name[0] > '9') continue;
      std::string command_line = read_file(std::string("/proc/") + entry->d_name + "/cmdline");
      if (command_line.find(text) != std::string::npos) {
        found = true;
        break;
      }
    }
    closedir(proc);
    return found;
  }

  std::string prefix_;
  std::string drive_c_;
};

}  // namespace

std::unique_ptr<Machine> native_machine() { return std::make_unique<NativeMachine>(); }
std::unique_ptr<Machine> wine_machine() { return std::make_unique<WineMachine>(); }

void make_dirs(const std::string& path) {
  std::string partial;
  std::stringstream parts(path);
  std::string part;
  if (!path.empty() && path[0] == '/') partial = "";
  while (std::getline(parts, part, '/')) {
    partial += part + "/";
    if (part.empty()) continue;
    mkdir(partial.c_str(), 0755);
  }
}

void write_file(const std::string& path, const std::string& bytes) {
  make_dirs(path.substr(0, path.rfind('/')));
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) throw std::runtime_error("cannot write " + path);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string read_file(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  return content.str();
}

bool exists(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

void remove_tree(const std::string& path) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) return;
  if (S_ISDIR(info.st_mode)) {
    chmod(path.c_str(), 0755);
    if (DIR* dir = opendir(path.c_str())) {
      while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") remove_tree(path + "/" + name);
      }
      closedir(dir);
    }
    rmdir(path.c_str());
  } else {
    unlink(path.c_str());
  }
}

namespace {

void collect(const std::string& root, const std::string& below, Tree& tree) {
  DIR* dir = opendir((root + "/" + below).c_str());
  if (!dir) return;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    std::string path = below.empty() ? name : below + "/" + name;
    struct stat info;
    if (lstat((root + "/" + path).c_str(), &info) != 0) continue;
    if (S_ISDIR(info.st_mode)) {
      tree[path + "/"] = "";
      collect(root, path, tree);
    } else {
      tree[path] = S_ISLNK(info.st_mode) ? "link" : read_file(root + "/" + path);
    }
  }
  closedir(dir);
}

}  // namespace

Tree snapshot(const std::string& root) {
  Tree tree;
  collect(root, "", tree);
  return tree;
}

std::string crlf_lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::string sample_elf() { return TOLVANE_SOURCE_DIR "/examples/blink/blink.cpp.elf"; }

}  // namespace harness
