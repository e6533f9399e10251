// Loads the import module at run time, the way a host does, and looks up
// its five exports by name.
#ifndef IMPORDANO_DUMP_MODULE_H_
#define IMPORDANO_DUMP_MODULE_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "impordano.h"

namespace impdump {

struct ModuleExports {
  int32_t(IMP_CALL* start)(const char* path) = nullptr;
  char*(IMP_CALL* getDescr)(void) = nullptr;
  char*(IMP_CALL* kosztDescr)(void) = nullptr;
  int32_t(IMP_CALL* getNextToken)(int32_t* type, void* buffer) = nullptr;
  int32_t(IMP_CALL* end)(void) = nullptr;
};

class Module {
 public:
  // Loads the library at `path` (a bare file name is searched for the way
  // the system loader searches). On failure returns nullptr and sets *error.
  static std::unique_ptr<Module> Load(const std::string& path, std::string* error);

  ~Module();
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;

  const ModuleExports& exports() const { return exports_; }
  const std::string& path() const { return path_; }

 private:
  Module(void* handle, std::string path) : handle_(handle), path_(std::move(path)) {}

  void* handle_;
  std::string path_;
  ModuleExports exports_;
};

// The directory holding the running executable, without a trailing
// separator; empty when it cannot be found.
std::string ExecutableDirectory();

// Where the tool looks for the module when no --library is given, in order:
// beside the executable (the build tree, and the bin directory on Windows),
// in the installed library directory relative to it, and last the bare
// library name for the system loader (RPATH, LD_LIBRARY_PATH).
std::vector<std::string> DefaultModuleCandidates();

// Loads the first default candidate that exists as a file, else the last
// (bare) one.
std::unique_ptr<Module> LoadDefaultModule(std::string* error);

}  // namespace impdump

#endif  // IMPORDANO_DUMP_MODULE_H_
