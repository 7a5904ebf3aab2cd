// Writing bytes to a file descriptor without stdio.
#ifndef TOLVANE_PLATFORM_POSIX_WRITE_ALL_H_
#define TOLVANE_PLATFORM_POSIX_WRITE_ALL_H_

#include <unistd.h>

#include <cerrno>
#include <cstddef>

namespace platform::posix {

/// Writes |size| bytes to |fd|, again after a partial write or an
/// interruption; gives up quietly at the first failure.
inline void write_all(int fd, const char* bytes, size_t size) {
  while (size > 0) {
    ssize_t written = write(fd, bytes, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    bytes += written;
    size -= static_cast<size_t>(written);
  }
}

}  // namespace platform::posix

#endif  // TOLVANE_PLATFORM_POSIX_WRITE_ALL_H_
