// The POSIX command runner's reading of script lines, over arbitrary bytes
// and over the lines that the program itself writes.
//
// Arbitrary lines are taken apart and compared with a direct reading of the
// rules. Then the input is cut into four paths (at 0x00 0xFF pairs; double
// quotes are dropped, since no Windows path holds one) and the script that
// the program writes for them must come back as the same program, options,
// ELF path and listing, and the command that runs it must name it again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/dump_script.h"
#include "fuzz_support.h"
#include "platform/posix/script_line.h"

namespace {

using platform::posix::Redirection;
using platform::posix::ScriptLine;

// The rules: "%%" stands for "%" anywhere; outside double quotes, spaces and
// tabs separate words and ">" or ">>" ends a word and takes the next word as
// the file for standard output; quotes are removed and an unclosed quote runs
// to the end of the line; a ">" with no word after it is a missing target.
ScriptLine model_parse(const std::string& line) {
  std::string text;
  for (size_t at = 0; at < line.size(); ++at) {
    text += line[at];
    if (line[at] == '%' && at + 1 < line.size() && line[at + 1] == '%') ++at;
  }
  ScriptLine result;
  struct Token {
    bool arrow = false;
    bool append = false;
    std::string word;
  };
  std::vector<Token> tokens;
  bool open_word = false;
  bool quoted = false;
  for (size_t at = 0; at < text.size(); ++at) {
    char byte = text[at];
    if (quoted) {
      if (byte == '"') {
        quoted = false;
      } else {
        tokens.back().word += byte;
      }
      continue;
    }
    if (byte == ' ' || byte == '\t') {
      open_word = false;
    } else if (byte == '>') {
      Token arrow;
      arrow.arrow = true;
      arrow.append = at + 1 < text.size() && text[at + 1] == '>';
      if (arrow.append) ++at;
      tokens.push_back(arrow);
      open_word = false;
    } else {
      if (!open_word) tokens.emplace_back();
      open_word = true;
      if (byte == '"') {
        quoted = true;
      } else {
        tokens.back().word += byte;
      }
    }
  }
  for (size_t i = 0; i < tokens.size(); ++i) {
    if (!tokens[i].arrow) {
      result.words.push_back(tokens[i].word);
    } else if (i + 1 < tokens.size() && !tokens[i + 1].arrow) {
      result.redirections.push_back({tokens[i + 1].word, tokens[i].append});
      ++i;
    } else {
      result.missing_target = true;
    }
  }
  return result;
}

bool same(const ScriptLine& a, const ScriptLine& b) {
  return a.words == b.words && a.redirections == b.redirections &&
         a.missing_target == b.missing_target;
}

bool model_is_exit(const std::string& line) {
  size_t begin = line.find_first_not_of(" \t");
  if (begin == std::string::npos) return false;
  size_t end = line.find_last_not_of(" \t") + 1;
  std::string word = line.substr(begin, end - begin);
  if (word.size() != 4) return false;
  for (char& byte : word) {
    if (byte >= 'A' && byte <= 'Z') byte = static_cast<char>(byte - 'A' + 'a');
  }
  return word == "exit";
}

std::vector<std::string> cut_paths(const std::string& bytes) {
  std::vector<std::string> paths(1);
  for (size_t at = 0; at < bytes.size(); ++at) {
    if (bytes[at] == '\0' && at + 1 < bytes.size() && bytes[at + 1] == '\xff' && paths.size() < 4) {
      paths.emplace_back();
      ++at;
    } else if (bytes[at] != '"') {
      paths.back() += bytes[at];
    }
  }
  paths.resize(4);
  return paths;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  const ScriptLine parsed = platform::posix::parse_script_line(bytes);
  if (!same(parsed, model_parse(bytes))) fuzz::finding("parse of " + fuzz::shown(bytes));
  if (platform::posix::is_exit_line(bytes) != model_is_exit(bytes)) {
    fuzz::finding("exit line " + fuzz::shown(bytes));
  }
  platform::posix::script_path_of(bytes);

  // The program's own lines come back whole. Paths never hold a line end:
  // the script is read line by line.
  std::vector<std::string> paths = cut_paths(bytes);
  for (std::string& path : paths) {
    std::string kept;
    for (char byte : path) {
      if (byte != '\n' && byte != '\r') kept += byte;
    }
    path = kept;
  }
  tolvane::RunRecord run;
  run.objdump_path = paths[0];
  run.readelf_path = paths[1];
  run.build_dir = paths[2];
  run.elf_name = "blink.cpp.elf";
  run.output_dir = paths[3];
  run.sketch_name = "blink";
  const std::vector<std::string> lines = tolvane::script_lines(run);
  const std::string elf = paths[2] + "blink.cpp.elf";
  const std::string base = paths[3] + "blink";
  struct Wanted {
    std::string tool;
    const char* option;
    std::string listing;
  };
  const Wanted wanted[] = {{paths[0], "-S", base + ".asm.txt"},
                           {paths[1], "-e", base + ".hrd.txt"}};
  for (int i = 0; i < 2; ++i) {
    ScriptLine line = platform::posix::parse_script_line(lines[i]);
    if (line.words != std::vector<std::string>{wanted[i].tool, wanted[i].option, elf} ||
        line.redirections != std::vector<Redirection>{{wanted[i].listing, false}} ||
        line.missing_target || platform::posix::is_exit_line(lines[i])) {
      fuzz::finding("the script line " + fuzz::shown(lines[i]) + " does not come back");
    }
  }
  if (!platform::posix::is_exit_line(lines[4])) fuzz::finding("no exit line");
  const std::string script_path = base + "_dump.cmd";
  const auto lookup = [&](const std::string& name) {
    return name == tolvane::kScriptVariable ? script_path : std::string();
  };
  if (platform::posix::script_path_of(tolvane::script_command(), lookup) != script_path) {
    fuzz::finding("the command does not name the script " + fuzz::shown(script_path));
  }
  return 0;
}
