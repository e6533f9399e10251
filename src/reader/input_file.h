// InputFile: the estimate file as a sequence of fixed-size chunks, read
// once for the plan of the whole estimate and once more to build its records.
//
// Chunk i holds the file's bytes [i * chunkSize, (i + 1) * chunkSize); only
// the last one is shorter. The first reading records a fingerprint of every
// chunk (its length and a hash of its bytes). After RewindTo, every chunk
// read again is compared with its fingerprint before a byte of it is used:
// a chunk that differs ends the input and sets Changed(), so that no record
// mixes two versions of a file that was written to meanwhile.
//
// An input that cannot be read twice (a pipe, a FIFO, a device) keeps the
// bytes of its first reading in memory and reads them again from there.
//
// A read that fails is not the end of the input: in the first reading it
// ends the input with ReadError() set, in the second it ends it as a changed
// chunk does.
//
// On Windows the file is opened so that nobody can write to it while it is
// open; elsewhere the fingerprints catch a change.
#ifndef IMPORDANO_READER_INPUT_FILE_H_
#define IMPORDANO_READER_INPUT_FILE_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "support/module_allocator.h"

namespace imp {

class InputFile {
 public:
  static constexpr size_t kDefaultChunkSize = size_t(1) << 20;

  explicit InputFile(size_t chunkSize = kDefaultChunkSize) noexcept : chunkSize_(chunkSize) {}
  ~InputFile() { Close(); }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Opens `path` for reading. On failure returns false with the runtime's
  // error number in *error (EISDIR for a directory, as reading one fails).
  bool Open(const char* path, int* error) noexcept;
  // Closes the file and forgets its fingerprints: the close result, or 0
  // when nothing was open.
  int Close() noexcept;

  // The file's size in bytes, or -1 when it has none (a pipe).
  int64_t Size() const noexcept { return size_; }
  size_t ChunkSize() const noexcept { return chunkSize_; }
  // For tests: chunks of `size` bytes (1 or more) from the next Open on.
  void SetChunkSize(size_t size) noexcept { chunkSize_ = size; }

  // Reads the next chunk into `dest` (room for ChunkSize() bytes) and
  // returns its length; 0 at the end of the input, at a read that failed,
  // or when a chunk read again differs from its first reading. Throws
  // std::bad_alloc when the fingerprints or the kept bytes of a pipe cannot
  // grow.
  size_t ReadChunk(char* dest);
  // Reads from chunk `index` on, again; false when that is not possible.
  bool RewindTo(int64_t index) noexcept;
  // A chunk read again differed from its first reading, or could not be
  // read again.
  bool Changed() const noexcept { return changed_; }
  // The error number of a read that failed in the first reading; 0 when
  // none did.
  int ReadError() const noexcept { return readError_; }

 private:
  struct Fingerprint {
    uint64_t hash;
    uint64_t length;
    bool operator==(const Fingerprint& other) const {
      return hash == other.hash && length == other.length;
    }
  };
  // Reads up to a chunk; *error gets the error number of a failed read.
  size_t ReadFromFile(char* dest, int* error) noexcept;

  size_t chunkSize_;
  std::FILE* file_ = nullptr;
  int64_t size_ = -1;
  bool seekable_ = false;
  bool rereading_ = false;
  bool changed_ = false;
  bool ended_ = false;  // the first reading met the end of the input
  int readError_ = 0;
  size_t nextChunk_ = 0;  // index of the chunk ReadChunk reads next
  std::vector<Fingerprint, ModuleAllocator<Fingerprint>> fingerprints_;
  std::vector<char, ModuleAllocator<char>> kept_;  // an unseekable input's bytes
};

}  // namespace imp

#endif  // IMPORDANO_READER_INPUT_FILE_H_
