// Taking script lines apart.
#include "platform/posix/script_line.h"

#include "platform/posix/native_path.h"

namespace platform::posix {

namespace {

bool is_blank(char byte) { return byte == ' ' || byte == '\t'; }

ScriptLine split(const std::string& text) {
  ScriptLine result;
  std::string word;
  bool in_word = false;
  bool in_quotes = false;
  bool redirecting = false;
  bool append = false;

  auto finish_word = [&] {
    if (!in_word) return;
    if (redirecting) {
      result.redirections.push_back({word, append});
      redirecting = false;
    } else {
      result.words.push_back(word);
    }
    word.clear();
    in_word = false;
  };

  for (size_t at = 0; at < text.size(); ++at) {
    char byte = text[at];
    if (in_quotes) {
      if (byte == '"') {
        in_quotes = false;
      } else {
        word += byte;
      }
    } else if (byte == '"') {
      in_quotes = true;
      in_word = true;
    } else if (is_blank(byte)) {
      finish_word();
    } else if (byte == '>') {
      finish_word();
      if (redirecting) result.missing_target = true;
      redirecting = true;
      append = at + 1 < text.size() && text[at + 1] == '>';
      if (append) ++at;
    } else {
      word += byte;
      in_word = true;
    }
  }
  finish_word();
  if (redirecting) result.missing_target = true;
  return result;
}

}  // namespace

ScriptLine parse_script_line(const std::string& line) {
  std::string text;
  text.reserve(line.size());
  for (size_t at = 0; at < line.size(); ++at) {
    text += line[at];
    if (line[at] == '%' && at + 1 < line.size() && line[at + 1] == '%') ++at;
  }
  return split(text);
}

std::string expand_variables(const std::string& text, const VariableLookup& lookup) {
  std::string expanded;
  size_t at = 0;
  while (at < text.size()) {
    size_t closing = text[at] == '%' ? text.find('%', at + 1) : std::string::npos;
    if (closing != std::string::npos && closing > at + 1) {
      std::string value = lookup(text.substr(at + 1, closing - at - 1));
      if (!value.empty()) {
        expanded += value;
        at = closing + 1;
        continue;
      }
    }
    expanded += text[at++];
  }
  return expanded;
}

std::string script_path_of(const std::string& command, const VariableLookup& lookup) {
  std::string text = command;
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    text = text.substr(1, text.size() - 2);
  }
  ScriptLine line = split(expand_variables(text, lookup));
  return line.words.empty() ? std::string() : line.words.front();
}

bool is_exit_line(const std::string& line) {
  size_t begin = 0;
  size_t end = line.size();
  while (begin < end && is_blank(line[begin])) ++begin;
  while (end > begin && is_blank(line[end - 1])) --end;
  return same_in_any_case(line.substr(begin, end - begin), "exit");
}

}  // namespace platform::posix
