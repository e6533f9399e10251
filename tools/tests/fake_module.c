/* Stand-ins for the import module, for the tool's failure paths.
 * FAKE_OUT_OF_MEMORY: accepts any file, sends one progress report and no
 *   record, and then reports error 12 as a failed import does.
 * FAKE_INCOMPLETE: exports ImpStart only. */
#include <stdint.h>
#include <string.h>

#if defined(_WIN32)
#define FAKE_EXPORT __declspec(dllexport)
#else
#define FAKE_EXPORT __attribute__((visibility("default")))
#endif

FAKE_EXPORT int32_t ImpStart(const char* path) {
  (void)path;
  return 1;
}

#if defined(FAKE_OUT_OF_MEMORY)
static char message[260] = "";
static int calls = 0;

FAKE_EXPORT char* ImpGetDescr(void) { return message; }

FAKE_EXPORT char* ImpKosztDescr(void) { return message; }

FAKE_EXPORT int32_t ImpGetNextToken(int32_t* type, void* buffer) {
  if (calls++ == 0) {
    double fraction = 0.5;
    *type = 22;
    memcpy(buffer, &fraction, sizeof fraction);
    return 1;
  }
  strcpy(message, "12");
  return 0;
}

FAKE_EXPORT int32_t ImpEnd(void) { return 0; }
#endif
