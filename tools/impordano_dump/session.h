// One run of the tool against a loaded module: the host's calling sequence,
// the output and the exit status.
#ifndef IMPORDANO_DUMP_SESSION_H_
#define IMPORDANO_DUMP_SESSION_H_

#include <cstdio>

#include "estimate_page.h"
#include "module.h"
#include "options.h"

namespace impdump {

// Imports options.file through `module` and writes the records (or the
// description, the hex dump, the HTML page, the findings of the import
// check) to `out`, messages to `err`.
// Returns the exit status (kExit*). The module running out of memory is one
// kExitImportFailed among others; *outOfMemory, when given, tells it apart
// for a caller that words it itself (the viewer).
int RunSession(const ModuleExports& module, const Options& options, std::FILE* out,
               std::FILE* err, bool* outOfMemory = nullptr);

// Imports options.file twice, for its description and for its records, and
// checks what the import passes over (check/import_check.h), into `page`. Returns the exit status; messages go to `err`; *outOfMemory as for
// RunSession.
int LoadEstimatePage(const ModuleExports& module, const Options& options, std::FILE* err,
                     imppage::EstimatePage* page, bool* outOfMemory = nullptr);

}  // namespace impdump

#endif  // IMPORDANO_DUMP_SESSION_H_
