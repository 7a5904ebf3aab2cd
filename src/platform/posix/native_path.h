// How the Windows paths that the program builds reach the POSIX file system:
// drive letters become folders, backslashes become slashes, and names are
// matched without regard to letter case, as on Windows.
#ifndef TOLVANE_PLATFORM_POSIX_NATIVE_PATH_H_
#define TOLVANE_PLATFORM_POSIX_NATIVE_PATH_H_

#include <string>

namespace platform::posix {

/// True when |path| is written the Windows way: a drive letter and ":" at its
/// start, or a backslash anywhere in it.
bool is_windows_path(const std::string& path);

/// The folder that holds one folder per drive letter: TOLVANE_DRIVES, or
/// /mnt when that is unset or empty.
std::string drives_folder();

/// The native path of |path|: "X:" at the start becomes the drive's folder
/// (its letter lower-cased), "\" becomes "/", and each name that does not
/// exist as written is replaced by the first entry of its directory that
/// matches it in any letter case. With |resolve_last| false the last name is
/// left as written (it may be a wildcard pattern). A path that holds a NUL
/// byte names no file: its native path is empty.
std::string native_path(const std::string& path, bool resolve_last = true);

/// |path| resolved as Windows resolves it against the current folder
/// |current| (a full path from a drive; empty when the current folder lies on
/// no drive): "/" becomes "\", names are separated once, "." goes, ".." goes
/// with the name before it, one dot goes from the end of a folder's name, and
/// dots and spaces from the end of the last name. A separator is one only at
/// the start of a character. |path| itself when it needs a current folder and
/// there is none.
std::string windows_full_path(const std::string& path, const std::string& current);

/// The name of the first entry of |directory| ("" is the current one) that
/// equals |name| in any letter case, preferring the exact name; empty when
/// none does.
std::string find_entry(const std::string& directory, const std::string& name);

/// True when the ASCII bytes of |a| and |b| are equal in any letter case.
bool same_in_any_case(const std::string& a, const std::string& b);

}  // namespace platform::posix

#endif  // TOLVANE_PLATFORM_POSIX_NATIVE_PATH_H_
