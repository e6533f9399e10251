// InputStream: the estimate file read in text mode, the same on every
// platform.
//
// Text mode here means: a CR directly before a LF is dropped (CR LF reads as
// LF), a lone CR stays, and the byte 0x1A ends the input like the end of the
// file. Position() counts the file's raw bytes consumed by the lines read so
// far, dropped CRs included, so it can be compared with Size().
#ifndef IMPORDANO_READER_INPUT_STREAM_H_
#define IMPORDANO_READER_INPUT_STREAM_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace imp {

class InputStream {
 public:
  static constexpr size_t kBufferSize = 64 * 1024;

  InputStream() noexcept = default;
  ~InputStream() { Close(); }
  InputStream(const InputStream&) = delete;
  InputStream& operator=(const InputStream&) = delete;

  // Opens `path` for reading. On failure returns false with the runtime's
  // error number in *error (EISDIR for a directory, as reading one fails).
  bool Open(const char* path, int* error) noexcept;
  // Closes the file: the close result, or 0 when nothing was open.
  int Close() noexcept;
  bool IsOpen() const noexcept { return file_ != nullptr; }

  // The file's size in bytes, or -1 when it cannot be measured (a pipe).
  int64_t Size() const noexcept { return size_; }
  int64_t Position() const noexcept { return position_; }

  // Reads the next line's bytes, up to and including its LF, but at most
  // `max` bytes, into `dest` (no NUL is added). Returns the number of bytes
  // read; 0 at the end of the input or on a read error.
  size_t ReadLine(char* dest, size_t max) noexcept;

 private:
  // Makes at least `needed` unread bytes available if the file has them.
  bool Fill(size_t needed) noexcept;

  FILE* file_ = nullptr;
  int64_t size_ = -1;
  int64_t position_ = 0;
  bool ended_ = false;  // end of file, read error or 0x1A seen
  size_t begin_ = 0;    // unread bytes are buffer_[begin_, end_)
  size_t end_ = 0;
  unsigned char buffer_[kBufferSize];
};

}  // namespace imp

#endif  // IMPORDANO_READER_INPUT_STREAM_H_
