// A JSON reader (RFC 8259) that checks the whole document, its UTF-8 first,
// and keeps only the top-level "sketchLocation" string.
#include "app/build_options.h"

#include <cctype>
#include <cstring>

namespace tolvane {

namespace {

const char kMember[] = "sketchLocation";
const char kByteOrderMark[] = "\xEF\xBB\xBF";
constexpr int kMaxDepth = 64;  // arrays and objects open at once; deeper is invalid

// Appends |code| (at most 0x10FFFF) in UTF-8; a lone surrogate gets the three
// bytes that its number would have, which are not valid UTF-8.
void append_utf8(Text& out, unsigned long code) {
  static const unsigned char kLead[] = {0, 0xC0, 0xE0, 0xF0};
  const int count = code < 0x80 ? 0 : code < 0x800 ? 1 : code < 0x10000 ? 2 : 3;
  out += static_cast<char>(kLead[count] | code >> 6 * count);
  for (int shift = 6 * (count - 1); shift >= 0; shift -= 6)
    out += static_cast<char>(0x80 | (code >> shift & 0x3F));
}

// Reads the document from |at_| to |end_|; each reading function gives false
// at the first byte that breaks the grammar, and then the whole is invalid.
class Reader {
 public:
  explicit Reader(const Text& json) : at_(json.data()), end_(json.data() + json.size()) {}

  Text sketch_location() {
    skip(kByteOrderMark);  // editors may put one at the start
    skip_space();
    if (!next_is('{') || !container(1)) return Text();
    skip_space();
    return at_ == end_ && nameable_ ? found_ : Text();
  }

 private:
  bool skip(const char* word) {
    const size_t size = std::strlen(word);
    if (static_cast<size_t>(end_ - at_) < size || std::memcmp(at_, word, size) != 0) return false;
    at_ += size;
    return true;
  }
  void skip_space() {
    while (at_ != end_ && (*at_ == ' ' || *at_ == '\t' || *at_ == '\n' || *at_ == '\r')) ++at_;
  }
  bool next_is(char byte) const { return at_ != end_ && *at_ == byte; }
  bool accept(char byte) { return next_is(byte) && (++at_, true); }
  bool take(char byte) { return skip_space(), accept(byte); }
  bool digits() {
    const char* start = at_;
    while (at_ != end_ && *at_ >= '0' && *at_ <= '9') ++at_;
    return at_ != start;
  }
  bool number() {
    accept('-');
    if (!accept('0') && !digits()) return false;
    if (accept('.') && !digits()) return false;
    if (accept('e') || accept('E')) return (accept('+') || accept('-')), digits();
    return true;
  }

  // |depth|: the arrays and objects open around the value.
  bool value(int depth) {
    skip_space();
    Text text;
    bool nameable;
    if (next_is('{') || next_is('[')) return container(depth + 1);
    if (next_is('"')) return string(text, nameable);
    return skip("true") || skip("false") || skip("null") || number();
  }
  // Reads the object or array at its bracket; |depth| counts it, 1 for the
  // top-level object.
  bool container(int depth) {
    const bool object = *at_++ == '{';
    const char closing = object ? '}' : ']';
    if (depth > kMaxDepth) return false;
    if (take(closing)) return true;
    Text key;
    bool nameable;
    do {
      skip_space();
      if (object && (!next_is('"') || !string(key, nameable) || !take(':'))) return false;
      // With several top-level "sketchLocation" members the last one wins, as
      // with most JSON readers.
      const bool wanted = depth == 1 && key == kMember;
      if (wanted) found_.clear();
      skip_space();
      if (wanted && next_is('"') ? !string(found_, nameable_) : !value(depth)) return false;
    } while (take(','));
    return take(closing);
  }

  // Reads the string at the quote into |out|; |nameable| tells whether it is
  // free of control characters and lone surrogates.
  bool string(Text& out, bool& nameable) {
    out.clear();
    nameable = true;
    for (++at_; at_ != end_;) {
      if (accept('"')) return true;
      if (!(next_is('\\') ? escape(out, nameable) : raw_character(out))) return false;
    }
    return false;
  }
  bool escape(Text& out, bool& nameable) {
    static const char kFrom[] = "\"\\/bfnrt", kTo[] = "\"\\/\b\f\n\r\t";
    if (++at_ == end_) return false;
    if (const char* known = *at_ ? std::strchr(kFrom, *at_) : nullptr) {
      out += kTo[known - kFrom];
      nameable = nameable && known - kFrom < 3;
      return ++at_, true;
    }
    unsigned long code, low;
    if (!accept('u') || !hex4(code)) return false;
    // A high surrogate joins the low one escaped right after it.
    const char* after = at_;
    if (code >= 0xD800 && code < 0xDC00 && skip("\\u") && hex4(low) && low >= 0xDC00 &&
        low < 0xE000) {
      code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
    } else {
      at_ = after;
    }
    nameable = nameable && code >= 0x20 && (code < 0xD800 || code >= 0xE000);
    append_utf8(out, code);
    return true;
  }
  bool hex4(unsigned long& code) {
    if (end_ - at_ < 4) return false;
    code = 0;
    for (const char* stop = at_ + 4; at_ != stop; ++at_) {
      const unsigned char digit = *at_;
      if (!std::isxdigit(digit)) return false;
      code = code << 4 | (digit <= '9' ? digit - '0' : (digit | 0x20) - 'a' + 10);
    }
    return true;
  }
  // Copies one raw byte of a string: no control byte. The whole document is
  // well-formed UTF-8 (checked before reading), so bytes above ASCII need no
  // more care.
  bool raw_character(Text& out) {
    if (static_cast<unsigned char>(*at_) < 0x20) return false;
    out += *at_++;
    return true;
  }

  const char* at_;
  const char* end_;
  Text found_;
  bool nameable_ = false;
};

}  // namespace

Text sketch_location(const Text& json) {
  // JSON text is UTF-8 (RFC 8259): a document that is not is malformed.
  return platform::is_utf8(json) ? Reader(json).sketch_location() : Text();
}

}  // namespace tolvane
