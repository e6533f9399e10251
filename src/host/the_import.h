// The module's state: one import at a time. Everything the exports share
// lives in this one object, constructed when the module is loaded and
// destroyed when it is unloaded.
#ifndef IMPORDANO_HOST_THE_IMPORT_H_
#define IMPORDANO_HOST_THE_IMPORT_H_

#include "host/import_session.h"

namespace imp {

ImportSession& TheImport() noexcept;

}  // namespace imp

#endif  // IMPORDANO_HOST_THE_IMPORT_H_
