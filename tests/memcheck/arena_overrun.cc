// Reads the first byte after a block of the arena: inside the arena's
// region, but in the red zone that the arena puts after each block when it
// runs under memcheck.
#include <cstdio>

#include "support/arena.h"

int main() {
  imp::Arena arena(8);
  auto* block = static_cast<volatile unsigned char*>(arena.Allocate(24));
  const unsigned char past = block[24];
  std::printf("byte after the block: %u\n", past);
  return 0;
}
