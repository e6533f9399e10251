// GoogleTest's hook for platform adjustments, put first on the include path
// when the compiler's C++ runtime has no std::mutex (MinGW-w64 with the
// "win32" thread model, the 32-bit DLL's compiler).
//
// GoogleTest needs std::mutex and std::condition_variable only for its
// Notification, which starts threads of its own tests in step; it keeps its
// other locks with Windows critical sections. This Notification waits on an
// atomic flag instead. Our suite runs in one thread, so no wait happens.
#ifndef IMPORDANO_GTEST_CUSTOM_PORT_H
#define IMPORDANO_GTEST_CUSTOM_PORT_H

#include <atomic>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
 public:
  Notification() : notified_(false) {}
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  void Notify() { notified_.store(true, std::memory_order_release); }
  void WaitForNotification() {
    while (!notified_.load(std::memory_order_acquire)) {
    }
  }

 private:
  std::atomic<bool> notified_;
};

}  // namespace internal
}  // namespace testing

#endif
