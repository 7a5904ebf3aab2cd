// The text operations over arbitrary bytes and positions, each against a
// direct reading of its rule, and the two values that the program cuts from
// the texts it reads: the value of a preferences line and the sketch name of
// an ELF file name.
//
// Input: two bytes give the positions (as signed numbers, so that zero,
// negative and too large ones come up), a third where the text ends and the
// pattern begins; the rest is the text and the pattern.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/preferences.h"
#include "app/sketch.h"
#include "fuzz_support.h"
#include "platform/platform.h"

namespace {

using platform::Text;

Text model_trim(const Text& text) {
  size_t begin = 0;
  while (begin < text.size() && text[begin] == ' ') ++begin;
  size_t end = text.size();
  while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\0')) --end;
  return text.substr(begin, end - begin);
}

long model_find(long start, const Text& text, const Text& pattern) {
  const long size = static_cast<long>(text.size());
  const long wanted = static_cast<long>(pattern.size());
  if (wanted == 0 || size == 0 || start < 1 || start > size) return 0;
  for (long at = start; at + wanted - 1 <= size; ++at) {
    bool same = true;
    for (long i = 0; i < wanted && same; ++i) same = text[at - 1 + i] == pattern[i];
    if (same) return at;
  }
  return 0;
}

Text model_middle(const Text& text, long start) {
  Text result;
  for (long at = start; at >= 1 && at <= static_cast<long>(text.size()); ++at) {
    result += text[at - 1];
  }
  return result;
}

Text model_left(const Text& text, long count) {
  Text result;
  for (long at = 1; at <= count && at <= static_cast<long>(text.size()); ++at) {
    result += text[at - 1];
  }
  return result;
}

void check(bool good, const char* what, const Text& text) {
  if (!good) fuzz::finding(std::string(what) + " of " + fuzz::shown(text));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace platform;
  if (size < 3) return 0;
  const long start = static_cast<int8_t>(data[0]);
  const long count = static_cast<int8_t>(data[1]);
  const Text rest(reinterpret_cast<const char*>(data) + 3, size - 3);
  const size_t split = data[2] % (rest.size() + 1);
  const Text text = rest.substr(0, split);
  const Text pattern = rest.substr(split);

  check(trim(text) == model_trim(text), "trim", text);
  const Text lower = lower_case(text);
  check(lower.size() == text.size(), "lower_case length", text);
  for (size_t i = 0; i < text.size(); ++i) {
    // In the "C" locale of the fuzz run only A to Z are upper case.
    char byte = text[i];
    char wanted = byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte;
    check(lower[i] == wanted, "lower_case", text);
  }
  check(find(start, text, pattern) == model_find(start, text, pattern), "find",
        text + "|" + pattern);
  check(find(1, text, pattern) == model_find(1, text, pattern), "find from 1",
        text + "|" + pattern);
  check(middle(text, start) == model_middle(text, start), "middle", text);
  check(left(text, count) == model_left(text, count), "left", text);
  check(length(text) == static_cast<long>(text.size()), "length", text);

  // The value of a preferences line: the trimmed text after the first "=",
  // or the whole line trimmed when it has none.
  const size_t equals = text.find('=');
  const Text value = model_trim(equals == Text::npos ? text : text.substr(equals + 1));
  check(tolvane::preference_value(text) == value, "preference_value", text);

  // The sketch name: the text before the first ".cpp.elf", trimmed; empty
  // when the ending is absent or in another letter case.
  const size_t ending = text.find(".cpp.elf");
  const Text name = ending == Text::npos ? Text() : model_trim(text.substr(0, ending));
  check(tolvane::sketch_name_of(text) == name, "sketch_name_of", text);
  return 0;
}
