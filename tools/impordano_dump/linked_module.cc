// The module linked into the tool, for a build that cannot load libraries at
// run time (WebAssembly). The tool still reaches it only through the five
// exports, as a host does.
#include "module.h"

namespace impdump {
namespace {

class LinkedModule : public Module {
 public:
  const ModuleExports& exports() const override { return exports_; }

 private:
  ModuleExports exports_{&ImpStart, &ImpGetDescr, &ImpKosztDescr, &ImpGetNextToken, &ImpEnd};
};

}  // namespace

std::unique_ptr<Module> OpenModule(const std::string& library, std::string* error) {
  if (!library.empty()) {
    *error = "this build has the module linked in and loads no library: " + library;
    return nullptr;
  }
  return std::make_unique<LinkedModule>();
}

}  // namespace impdump
