// Forced into GoogleTest and its users when cross-compiling: GoogleTest's
// Notification needs std::mutex, which MinGW-w64's win32 thread model lacks,
// so this one waits on a Windows event instead.
#pragma once
#ifdef __cplusplus
#include <windows.h>

namespace testing::internal {

class Notification {
 public:
  Notification() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
  ~Notification() { CloseHandle(event_); }
  void Notify() { SetEvent(event_); }
  void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

 private:
  HANDLE event_;
};

}  // namespace testing::internal
#endif
