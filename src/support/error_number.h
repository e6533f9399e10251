// The error numbers the module reports to its host. Hosts know them as the
// C libraries of Windows and Linux number them, which agree on the classic
// ones (ENOENT 2, EIO 5, ENOMEM 12, EACCES 13, EISDIR 21, ...). The
// WebAssembly C library numbers errors its own way (ENOMEM is 48 there), so
// there the module translates, and its host meets the same texts as
// everywhere else.
#ifndef IMPORDANO_SUPPORT_ERROR_NUMBER_H_
#define IMPORDANO_SUPPORT_ERROR_NUMBER_H_

#include <cerrno>

namespace imp {

#if defined(__EMSCRIPTEN__)
inline int HostErrorNumber(int error) noexcept {
  struct Pair { int local, host; };
  static constexpr Pair kPairs[] = {
      {EPERM, 1},   {ENOENT, 2},  {EINTR, 4},   {EIO, 5},     {ENXIO, 6},
      {EBADF, 9},   {EAGAIN, 11}, {ENOMEM, 12}, {EACCES, 13}, {EBUSY, 16},
      {EEXIST, 17}, {ENODEV, 19}, {ENOTDIR, 20}, {EISDIR, 21}, {EINVAL, 22},
      {ENFILE, 23}, {EMFILE, 24}, {EFBIG, 27},  {ENOSPC, 28}, {ESPIPE, 29},
      {EROFS, 30},  {ERANGE, 34}, {ENAMETOOLONG, 36}, {ELOOP, 40}, {EOVERFLOW, 75},
  };
  for (const Pair& pair : kPairs) {
    if (pair.local == error) return pair.host;
  }
  return error;
}
#else
inline int HostErrorNumber(int error) noexcept { return error; }
#endif

}  // namespace imp

#endif  // IMPORDANO_SUPPORT_ERROR_NUMBER_H_
