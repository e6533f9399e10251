// The one seam through which tests make the module fail from outside, at
// the two places where the world can fail it: an allocation (memory runs
// out) and a read of the input file (a failing disk or network share).
//
// Every allocation and every read of a file asks InjectedFault first; a
// planted fault makes it fail as the real failure would, with no other
// path through the code. The host drives the module from one thread, so
// nothing here locks.
#ifndef IMPORDANO_SUPPORT_FAULT_INJECTION_H_
#define IMPORDANO_SUPPORT_FAULT_INJECTION_H_

#include <climits>

namespace imp {

enum class FaultSite { kAllocation, kRead };

// Of the calls at `site` from now on, the one after `skipped` more and the
// `count` - 1 after it fail with the error number `error` (kEveryCall: all
// of them). A negative `skipped` plants nothing; either way the faults
// planted at `site` before are gone.
constexpr long kEveryCall = LONG_MAX;
void InjectFaults(FaultSite site, long skipped, long count, int error) noexcept;
// Ends the faults at every site.
void EndFaults() noexcept;

// Called at `site`: 0 when the call may go on, else the error number it
// fails with. Counts the call.
int InjectedFault(FaultSite site) noexcept;

}  // namespace imp

#endif  // IMPORDANO_SUPPORT_FAULT_INJECTION_H_
