// Writes a synthetic estimate file of the given number of positions, the
// same bytes for the same count:
//
//   impordano_generate POSITIONS FILE
#include <cstdio>
#include <cstdlib>

#include "estimate_generator.h"

int main(int argc, char** argv) {
  int positions = argc == 3 ? std::atoi(argv[1]) : 0;
  if (positions <= 0) {
    std::fprintf(stderr, "usage: %s POSITIONS FILE\n", argv[0]);
    return 64;
  }
  std::FILE* out = std::fopen(argv[2], "wb");
  if (!out) {
    std::perror(argv[2]);
    return 1;
  }
  imp_bench::WriteEstimate(out, positions);
  bool failed = std::ferror(out) != 0;
  if (std::fclose(out) != 0 || failed) {
    std::perror(argv[2]);
    return 1;
  }
  return 0;
}
