// Forced into GoogleTest and its users when cross-compiling: GoogleTest's
// Notification needs std::mutex, which MinGW-w64's win32 thread model lacks,
// so this one waits on a Windows event instead.
#ifndef TOLVANE_CMAKE_GTEST_NOTIFICATION_H_
#define TOLVANE_CMAKE_GTEST_NOTIFICATION_H_
#ifdef __cplusplus

#include <windows.h>

namespace testing {
namespace internal {

class Notification {
 public:
  Notification() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
  ~Notification() { CloseHandle(event_); }
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  void Notify() { SetEvent(event_); }
  void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

 private:
  HANDLE event_;
};

}  // namespace internal
}  // namespace testing

#endif  // __cplusplus
#endif  // TOLVANE_CMAKE_GTEST_NOTIFICATION_H_
