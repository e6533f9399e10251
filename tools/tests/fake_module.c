/* A stand-in for the import module that exports ImpStart only: the tool
 * must refuse it and name the exports it lacks. */
#include <stdint.h>

#if defined(_WIN32)
#define FAKE_EXPORT __declspec(dllexport)
#else
#define FAKE_EXPORT __attribute__((visibility("default")))
#endif

FAKE_EXPORT int32_t ImpStart(const char* path) {
  (void)path;
  return 1;
}
