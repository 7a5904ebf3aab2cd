// The build's records read with RapidJSON's SAX reader: iterative, so no
// nesting exhausts the stack, and checking the UTF-8 as it reads.
#include "app/build_options.h"

#include <rapidjson/reader.h>

#include <algorithm>

#include "app/places.h"

namespace tolvane {

const char kCompileCommandsFile[] = "compile_commands.json";

namespace {

const char kBuildOptionsFile[] = "build.options.json";
constexpr size_t kFirstPiece = 1 << 16;  // of compile_commands.json: a first entry fits
using rapidjson::SizeType;

constexpr unsigned kParseFlags =
    rapidjson::kParseValidateEncodingFlag | rapidjson::kParseIterativeFlag;

// A value that can be part of a path: UTF-8 (an escaped lone surrogate is
// not) without control characters.
Text nameable(const char* text, SizeType size) {
  const Text value(text, size);
  const bool control = std::any_of(value.begin(), value.end(), [](char byte) {
    return static_cast<unsigned char>(byte) < 0x20;
  });
  return control || !platform::is_utf8(value) ? Text() : value;
}

// The text as RapidJSON reads it, giving NUL bytes at its end however far
// the reader goes: its UTF-8 check takes up to three bytes after a character
// that is cut off, past the end of a plain string.
class BoundedStream {
 public:
  using Ch = char;
  BoundedStream(const char* begin, const char* end) : at_(begin), begin_(begin), end_(end) {}
  Ch Peek() const { return at_ != end_ ? *at_ : '\0'; }
  Ch Take() { return at_ != end_ ? *at_++ : '\0'; }
  size_t Tell() const { return static_cast<size_t>(at_ - begin_); }
  // Never written: RapidJSON asks for these of every stream.
  Ch* PutBegin() { return nullptr; }
  void Put(Ch) {}
  void Flush() {}
  size_t PutEnd(Ch*) { return 0; }

 private:
  const char* at_;
  const char* begin_;
  const char* end_;
};

// Parses |json| with |handler|; false when the document is not valid JSON or
// the handler stopped. A NUL byte ends the text, as RapidJSON reads it.
template <typename Handler>
bool parse(const Text& json, Handler& handler) {
  // Editors may put a byte order mark at the start.
  const bool marked = json.compare(0, 3, "\xEF\xBB\xBF") == 0;
  BoundedStream stream(json.data() + (marked ? 3 : 0), json.data() + json.size());
  rapidjson::Reader reader;
  return !reader.Parse<kParseFlags>(stream, handler).IsError();
}

// Keeps the wanted strings of the top-level object; the last of equal
// members wins, as with most JSON readers.
class OptionsHandler : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, OptionsHandler> {
 public:
  explicit OptionsHandler(BuildOptions& options) : options_(options) {}

  bool Default() { return value(); }
  bool String(const char* text, SizeType size, bool) {
    Text* member = wanted_;
    if (!value()) return false;
    if (member) *member = nameable(text, size);
    return true;
  }
  bool Key(const char* text, SizeType size, bool) {
    const Text key(text, size);
    wanted_ = depth_ != 1                      ? nullptr
              : key == "sketchLocation"        ? &options_.sketch_location
              : key == "customBuildProperties" ? &options_.custom_build_properties
              : key == "builtInToolsFolders"   ? &options_.built_in_tools_folders
              : key == "toolsFolders"          ? &options_.tools_folders
              : key == "fqbn"                  ? &options_.fqbn
              : key == "hardwareFolders"       ? &options_.hardware_folders
                                               : nullptr;
    return true;
  }
  bool StartObject() { return open(); }
  bool StartArray() { return depth_ > 0 && open(); }  // the document is an object
  bool EndObject(SizeType) { return close(); }
  bool EndArray(SizeType) { return close(); }

 private:
  // Any value: a wanted member that is not a string is none.
  bool value() {
    if (wanted_) wanted_->clear();
    wanted_ = nullptr;
    return true;
  }
  bool open() {
    ++depth_;
    return value();
  }
  bool close() {
    --depth_;
    return true;
  }

  BuildOptions& options_;
  Text* wanted_ = nullptr;
  int depth_ = 0;
};

// Follows the document to the end of its first entry, then stops.
class ArgumentsHandler : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, ArgumentsHandler> {
 public:
  std::vector<Text> arguments;
  bool entry_read = false;

  bool Default() { return value(); }
  bool String(const char* text, SizeType size, bool) {
    const bool argument = depth_ == 3 && in_arguments_;
    if (!value()) return false;
    if (argument) arguments.back() = nameable(text, size);
    return true;
  }
  bool Key(const char* text, SizeType size, bool) {
    if (depth_ == 2) arguments_next_ = Text(text, size) == "arguments";
    return true;
  }
  bool StartObject() { return open(false); }
  bool StartArray() { return open(true); }
  bool EndObject(SizeType) { return close(); }
  bool EndArray(SizeType) { return close(); }

 private:
  // |depth_| counts the open arrays and objects: 1 in the document's array,
  // 2 in its first entry, 3 directly in that entry's "arguments".
  bool value() {
    if (depth_ < 2) return false;  // not an array, or an entry that is no object
    member_value(false);
    if (depth_ == 3 && in_arguments_) arguments.emplace_back();
    return true;
  }
  bool open(bool array) {
    if (depth_ == 0 ? !array : depth_ == 1 && array) return false;
    if (depth_ == 2) member_value(array);
    if (depth_ == 3 && in_arguments_) arguments.emplace_back();
    ++depth_;
    return true;
  }
  bool close() {
    --depth_;
    // The first entry is whole: the rest of the document is not read.
    if (depth_ == 1) entry_read = true;
    return !entry_read;
  }
  // A member's value in the entry: the last "arguments" counts.
  void member_value(bool array) {
    if (depth_ != 2) return;
    if (arguments_next_) arguments.clear();
    in_arguments_ = arguments_next_ && array;
    arguments_next_ = false;
  }

  int depth_ = 0;
  bool arguments_next_ = false;
  bool in_arguments_ = false;
};

}  // namespace

BuildOptions build_options_of(const Text& json) {
  BuildOptions options;
  OptionsHandler handler(options);
  // A NUL byte is never valid JSON, inside a string or outside.
  const bool valid = json.find('\0') == Text::npos && parse(json, handler);
  return valid ? options : BuildOptions();
}

BuildOptions recorded_options(const Text& build_dir) {
  Text json;
  const Text path = build_dir + kBuildOptionsFile;
  return !passed_over(path) && platform::read_file(path, kRecordLimit, json)
             ? build_options_of(json)
             : BuildOptions();
}

std::vector<Text> arguments_of(const Text& json) {
  ArgumentsHandler handler;
  parse(json, handler);
  return handler.entry_read ? handler.arguments : std::vector<Text>();
}

Text compiler_of(const Text& json) {
  const std::vector<Text> arguments = arguments_of(json);
  return arguments.empty() ? Text() : arguments.front();
}

std::vector<Text> recorded_arguments(const Text& build_dir) {
  const Text path = build_dir + kCompileCommandsFile;
  return platform::owned_by_another_user(path) ? std::vector<Text>() : first_entry_arguments(path);
}

std::vector<Text> first_entry_arguments(const Text& path) {
  Text start;
  std::vector<Text> arguments;
  for (size_t size = kFirstPiece;; size *= 4) {
    if (!platform::read_file_start(path, size, start)) return arguments;
    arguments = arguments_of(start);
    if (!arguments.empty() || start.size() < size || size >= kRecordLimit) return arguments;
  }
}

}  // namespace tolvane
