// The import module as the tool reaches it. Two builds of this interface
// exist: module_loader.cc loads the module at run time, the way a host does,
// and looks up its five exports by name; linked_module.cc, for a build
// without run-time loading (WebAssembly), has the module linked in. Either
// way the tool calls the module only through the five exports.
#ifndef IMPORDANO_DUMP_MODULE_H_
#define IMPORDANO_DUMP_MODULE_H_

#include <cstdint>
#include <memory>
#include <string>

#include "impordano.h"

namespace impdump {

struct ModuleExports {
  ImpStartFn start = nullptr;
  ImpGetDescrFn getDescr = nullptr;
  ImpKosztDescrFn kosztDescr = nullptr;
  ImpGetNextTokenFn getNextToken = nullptr;
  ImpEndFn end = nullptr;
};

class Module {
 public:
  virtual ~Module() = default;
  virtual const ModuleExports& exports() const = 0;
};

// Opens the module: the file `library` names, or, when it is empty, the
// module built or installed with the tool. On failure returns nullptr and
// sets *error.
std::unique_ptr<Module> OpenModule(const std::string& library, std::string* error);

}  // namespace impdump

#endif  // IMPORDANO_DUMP_MODULE_H_
