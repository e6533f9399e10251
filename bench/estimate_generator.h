// A deterministic generator of synthetic estimate files for benchmarks and
// fuzzing seeds.
//
// The files look like real exports: CR LF line ends, the decimal comma,
// Windows-1250 letters, elements every few positions, positions with a KNR
// basis, numbered measurement lines with comments and auxiliary materials, and
// four to six resource lines each (labour, materials, equipment and the odd
// line without a kind) carrying surcharge rates, correction factors and
// investor quantities. One position in a thousand has a description too
// long for its field. 100,000 positions make about 100 MB.
#ifndef IMPORDANO_BENCH_ESTIMATE_GENERATOR_H_
#define IMPORDANO_BENCH_ESTIMATE_GENERATOR_H_

#include <cstdint>
#include <cstdio>

namespace imp_bench {

// Writes an estimate of `positions` positions to `out`; the same count
// always gives the same bytes. Returns the number of bytes written.
int64_t WriteEstimate(std::FILE* out, int positions);

}  // namespace imp_bench

#endif  // IMPORDANO_BENCH_ESTIMATE_GENERATOR_H_
