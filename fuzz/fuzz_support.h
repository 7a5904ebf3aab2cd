// What the fuzz targets share: a scratch directory for the files they read,
// a direct reading of the rules by which an input file becomes lines, and a
// console that records what the program prints and turns the end of the
// process into an exception, so that a stage that ends the run can be
// watched from the target.
#ifndef TOLVANE_FUZZ_FUZZ_SUPPORT_H_
#define TOLVANE_FUZZ_FUZZ_SUPPORT_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzz {

/// Thrown by end_run: the run ended with |status|.
struct RunEnded {
  int status;
};

/// The lines printed since the last clear_printed().
const std::vector<std::string>& printed();
void clear_printed();

/// A directory under /tmp made at the first call and removed at exit.
const std::string& scratch_dir();

/// Writes |bytes| to |path|, replacing what was there.
void write_file(const std::string& path, const std::string& bytes);

/// The lines that reading |bytes| must give, by the rules alone: CR LF
/// counts as LF, a lone CR is an ordinary byte, 0x1A ends the data; LF ends
/// a line, which loses the LF and one CR before it; the last line, when no
/// LF ends it, loses its NUL bytes at the very end and then one final CR.
/// There is no empty line after a final LF.
std::vector<std::string> expected_lines(const std::string& bytes);

/// Stops the process with a message on standard error; libFuzzer counts
/// the abort as a finding and keeps the input.
[[noreturn]] void finding(const std::string& what);

/// Shows a text with its bytes escaped, for findings.
std::string shown(const std::string& text);

}  // namespace fuzz

#endif  // TOLVANE_FUZZ_FUZZ_SUPPORT_H_
