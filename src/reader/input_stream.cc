#include "reader/input_stream.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <cstring>

namespace imp {
namespace {

constexpr unsigned char kEndOfText = 0x1A;

// Size of a regular file; -1 for anything that has no size (pipes, devices).
// A directory is reported through *isDirectory.
int64_t MeasureFile(FILE* file, bool* isDirectory) {
#if defined(_WIN32)
  struct _stat64 info;
  if (_fstat64(_fileno(file), &info) != 0) return -1;
  *isDirectory = (info.st_mode & _S_IFMT) == _S_IFDIR;
  if ((info.st_mode & _S_IFMT) != _S_IFREG) return -1;
#else
  struct stat info;
  if (fstat(fileno(file), &info) != 0) return -1;
  *isDirectory = S_ISDIR(info.st_mode);
  if (!S_ISREG(info.st_mode)) return -1;
#endif
  return static_cast<int64_t>(info.st_size);
}

}  // namespace

bool InputStream::Open(const char* path, int* error) noexcept {
  Close();
  errno = 0;
  FILE* file = std::fopen(path, "rb");
  if (file == nullptr) {
    *error = errno != 0 ? errno : ENOENT;
    return false;
  }
  bool isDirectory = false;
  const int64_t size = MeasureFile(file, &isDirectory);
  if (isDirectory) {
    std::fclose(file);
    *error = EISDIR;
    return false;
  }
  file_ = file;
  size_ = size;
  position_ = 0;
  ended_ = false;
  begin_ = end_ = 0;
  return true;
}

int InputStream::Close() noexcept {
  if (file_ == nullptr) return 0;
  const int result = std::fclose(file_);
  file_ = nullptr;
  size_ = -1;
  ended_ = true;
  begin_ = end_ = 0;
  return result;
}

bool InputStream::Fill(size_t needed) noexcept {
  if (end_ - begin_ >= needed) return true;
  if (file_ == nullptr || ended_) return false;
  std::memmove(buffer_, buffer_ + begin_, end_ - begin_);
  end_ -= begin_;
  begin_ = 0;
  while (end_ - begin_ < needed) {
    const size_t got = std::fread(buffer_ + end_, 1, kBufferSize - end_, file_);
    if (got == 0) return false;  // end of file or read error: no more input
    end_ += got;
  }
  return true;
}

size_t InputStream::ReadLine(char* dest, size_t max) noexcept {
  size_t count = 0;
  while (count < max) {
    if (begin_ == end_ && !Fill(1)) break;
    // Copy a run of ordinary bytes at once.
    const unsigned char* run = buffer_ + begin_;
    size_t available = end_ - begin_;
    if (available > max - count) available = max - count;
    size_t n = 0;
    while (n < available && run[n] != '\n' && run[n] != '\r' && run[n] != kEndOfText) ++n;
    std::memcpy(dest + count, run, n);
    count += n;
    begin_ += n;
    position_ += static_cast<int64_t>(n);
    if (n < available) {
      const unsigned char c = buffer_[begin_];
      if (c == kEndOfText) {
        ended_ = true;
        begin_ = end_;
        break;
      }
      if (c == '\r') {
        // Look at the next byte: a CR before a LF is dropped.
        const bool more = Fill(2);
        if (more && buffer_[begin_ + 1] == '\n') {
          ++begin_;
          ++position_;
          continue;
        }
        dest[count++] = '\r';
        ++begin_;
        ++position_;
        continue;
      }
      dest[count++] = '\n';  // c is the line feed
      ++begin_;
      ++position_;
      break;
    }
  }
  return count;
}

}  // namespace imp
