// The estimate's description, read from the file section without
// importing the estimate.
#ifndef IMPORDANO_HOST_DESCRIPTION_H_
#define IMPORDANO_HOST_DESCRIPTION_H_

#include "host/module.h"

namespace imp {

// On a freshly started import: reads the file section's key lines and
// returns the text of its last "Opis" key ("" without one). Otherwise
// returns "" and reads nothing.
char* ReadDescription(Module& module) noexcept;

}  // namespace imp

#endif  // IMPORDANO_HOST_DESCRIPTION_H_
