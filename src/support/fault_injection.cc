#include "support/fault_injection.h"

namespace imp {
namespace {

struct Faults {
  long skipped = -1;  // calls left before the first failing one; -1: none planted
  long count = 0;     // failing calls left from there on
  int error = 0;
};

// Constant-initialised, so that objects built at load time in other units
// may already allocate.
Faults g_faults[2];

Faults& At(FaultSite site) noexcept { return g_faults[site == FaultSite::kRead ? 1 : 0]; }

}  // namespace

void InjectFaults(FaultSite site, long skipped, long count, int error) noexcept {
  At(site) = skipped < 0 || count <= 0 ? Faults{} : Faults{skipped, count, error};
}

void EndFaults() noexcept {
  for (Faults& faults : g_faults) faults = Faults{};
}

int InjectedFault(FaultSite site) noexcept {
  Faults& faults = At(site);
  if (faults.skipped < 0) return 0;
  if (faults.skipped > 0) {
    --faults.skipped;
    return 0;
  }
  const int error = faults.error;
  if (--faults.count == 0) faults = Faults{};
  return error;
}

}  // namespace imp
