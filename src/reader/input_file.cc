#include "reader/input_file.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#if defined(_WIN32)
#include <share.h>
#endif

#include "support/fault_injection.h"

namespace imp {
namespace {

// What the file is: its size for a regular file, -1 for anything that has
// no size (pipes, devices); a directory is reported through *isDirectory.
int64_t MeasureFile(std::FILE* file, bool* isDirectory) {
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

bool Seek(std::FILE* file, int64_t offset) {
#if defined(_WIN32)
  return _fseeki64(file, offset, SEEK_SET) == 0;
#else
  return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

uint64_t Load64(const char* p) {
  uint64_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

uint64_t Mix(uint64_t lane, uint64_t word) {
  lane = (lane ^ word) * 0x9E3779B97F4A7C15ull;
  return (lane << 29) | (lane >> 35);
}

// A 64-bit hash of a chunk, four independent lanes so that it runs at
// memory speed. It guards against a file written to between two readings,
// not against an adversary.
uint64_t HashBytes(const char* p, size_t n) {
  uint64_t lanes[4] = {0x243F6A8885A308D3ull, 0x13198A2E03707344ull, 0xA4093822299F31D0ull,
                       0x082EFA98EC4E6C89ull};
  size_t i = 0;
  for (; i + 32 <= n; i += 32) {
    lanes[0] = Mix(lanes[0], Load64(p + i));
    lanes[1] = Mix(lanes[1], Load64(p + i + 8));
    lanes[2] = Mix(lanes[2], Load64(p + i + 16));
    lanes[3] = Mix(lanes[3], Load64(p + i + 24));
  }
  for (; i < n; i += 8) {  // the last n % 32 bytes, 8 at a time, zero-padded
    char word[8] = {};
    std::memcpy(word, p + i, std::min<size_t>(8, n - i));
    lanes[i / 8 % 4] = Mix(lanes[i / 8 % 4], Load64(word));
  }
  const uint64_t hash = Mix(Mix(Mix(Mix(lanes[0], lanes[1]), lanes[2]), lanes[3]), n);
  return hash ^ (hash >> 31);
}

// One fread of `n` bytes, or a failure that a test planted (as a failing
// disk or network share fails a read).
size_t ReadOnce(char* dest, size_t n, std::FILE* file, int* error) noexcept {
  if (const int fault = InjectedFault(FaultSite::kRead)) {
    *error = fault;
    return 0;
  }
  errno = 0;
  const size_t got = std::fread(dest, 1, n, file);
  if (got < n && std::ferror(file)) *error = errno != 0 ? errno : EIO;
  return got;
}

}  // namespace

bool InputFile::Open(const char* path, int* error) noexcept {
  Close();
  errno = 0;
#if defined(_WIN32)
  // Others may read the file while the import is open, but not write to it.
  std::FILE* file = _fsopen(path, "rb", _SH_DENYWR);
#else
  std::FILE* file = std::fopen(path, "rb");
#endif
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
  // Chunks are read whole into the caller's buffer: no second buffer.
  std::setvbuf(file, nullptr, _IONBF, 0);
  file_ = file;
  size_ = size;
  seekable_ = size >= 0;
  return true;
}

int InputFile::Close() noexcept {
  if (file_ == nullptr) return 0;
  const int result = std::fclose(file_);
  file_ = nullptr;
  size_ = -1;
  seekable_ = rereading_ = changed_ = ended_ = false;
  readError_ = 0;
  nextChunk_ = 0;
  decltype(fingerprints_)().swap(fingerprints_);
  decltype(kept_)().swap(kept_);
  return result;
}

size_t InputFile::ReadFromFile(char* dest, int* error) noexcept {
  // fread gives less than it was asked for at the end of the input or at a
  // failed read, so a chunk is one read; a runtime that gives less from a
  // pipe is asked again.
  size_t got = 0;
  while (got < chunkSize_) {
    const size_t n = ReadOnce(dest + got, chunkSize_ - got, file_, error);
    got += n;
    if (n == 0 || *error != 0 || std::feof(file_)) break;
  }
  return got;
}

size_t InputFile::ReadChunk(char* dest) {
  if (file_ == nullptr || changed_ || readError_ != 0) return 0;
  const size_t index = nextChunk_;
  int error = 0;
  if (!rereading_) {
    if (ended_) return 0;  // a short chunk was the last: no read past the end
    const size_t got = ReadFromFile(dest, &error);
    if (error != 0) {
      readError_ = error;
      return 0;
    }
    ended_ = got < chunkSize_;
    // A failure here fails the whole import, which closes the file.
    if (!seekable_) kept_.insert(kept_.end(), dest, dest + got);
    fingerprints_.push_back(Fingerprint{HashBytes(dest, got), got});
    nextChunk_ = index + 1;
    return got;
  }
  if (index >= fingerprints_.size()) return 0;  // the first reading ended before
  size_t got;
  if (seekable_) {
    got = ReadFromFile(dest, &error);
  } else {
    const size_t start = index * chunkSize_;
    got = start < kept_.size() ? std::min(chunkSize_, kept_.size() - start) : 0;
    std::memcpy(dest, kept_.data() + start, got);
  }
  if (error != 0 || !(Fingerprint{HashBytes(dest, got), got} == fingerprints_[index])) {
    changed_ = true;
    return 0;
  }
  nextChunk_ = index + 1;
  return got;
}

bool InputFile::RewindTo(int64_t index) noexcept {
  if (file_ == nullptr || index < 0) return false;
  if (seekable_ && !Seek(file_, index * static_cast<int64_t>(chunkSize_))) return false;
  std::clearerr(file_);
  rereading_ = true;
  nextChunk_ = static_cast<size_t>(index);
  return true;
}

}  // namespace imp
