// Loads the module at run time (dlopen, LoadLibrary), as a host does.
#include "module.h"

#include <sys/stat.h>

#include <cstdint>

#include <utility>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

// The build passes the module's file name as the loader wants it (its soname
// on ELF systems) and the installed library directory relative to the
// installed bin directory.
#ifndef IMPORDANO_DUMP_MODULE_FILE
#if defined(_WIN32)
#define IMPORDANO_DUMP_MODULE_FILE "impordano.dll"
#else
#define IMPORDANO_DUMP_MODULE_FILE "libimpordano.so"
#endif
#endif
#ifndef IMPORDANO_DUMP_LIBDIR_FROM_BINDIR
#define IMPORDANO_DUMP_LIBDIR_FROM_BINDIR "../lib"
#endif

namespace impdump {
namespace {

#if defined(_WIN32)
constexpr char kSeparator = '\\';

std::string LastErrorText() {
  DWORD code = GetLastError();
  char* text = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
          FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = length ? std::string(text, length) : "error " + std::to_string(code);
  if (text) LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == '.')) {
    message.pop_back();
  }
  return message;
}

void* OpenLibrary(const std::string& path, std::string* error) {
  HMODULE handle = LoadLibraryA(path.c_str());
  if (!handle) *error = path + ": " + LastErrorText();  // named, as dlerror() does
  return reinterpret_cast<void*>(handle);
}

void* FindSymbol(void* handle, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

void CloseLibrary(void* handle) { FreeLibrary(static_cast<HMODULE>(handle)); }

#else
constexpr char kSeparator = '/';

void* OpenLibrary(const std::string& path, std::string* error) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* text = dlerror();
    *error = text ? text : "unknown error";
  }
  return handle;
}

void* FindSymbol(void* handle, const char* name) { return dlsym(handle, name); }

void CloseLibrary(void* handle) { dlclose(handle); }
#endif

// A module loaded from a file; unloaded when destroyed.
class LoadedModule : public Module {
 public:
  LoadedModule(void* handle) : handle_(handle) {}
  ~LoadedModule() override { CloseLibrary(handle_); }
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;

  const ModuleExports& exports() const override { return exports_; }
  ModuleExports& exports() { return exports_; }

 private:
  void* handle_;
  ModuleExports exports_;
};

template <typename Function>
bool Bind(void* handle, const char* name, Function* out, std::string* missing) {
  void* symbol = FindSymbol(handle, name);
  if (!symbol) {
    if (!missing->empty()) *missing += ", ";
    *missing += name;
    return false;
  }
  // Object-to-function pointer conversion: what dlsym and GetProcAddress
  // are for.
  *out = reinterpret_cast<Function>(reinterpret_cast<uintptr_t>(symbol));
  return true;
}

bool IsRegularFile(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && (info.st_mode & S_IFMT) == S_IFREG;
}

// Loads the library at `path` (a bare file name is searched for the way
// the system loader searches).
std::unique_ptr<Module> Load(const std::string& path, std::string* error) {
  std::string openError;
  void* handle = OpenLibrary(path, &openError);
  if (!handle) {
    *error = openError;
    return nullptr;
  }
  auto module = std::make_unique<LoadedModule>(handle);
  ModuleExports& e = module->exports();
  std::string missing;
  bool ok = Bind(handle, "ImpStart", &e.start, &missing);
  ok &= Bind(handle, "ImpGetDescr", &e.getDescr, &missing);
  ok &= Bind(handle, "ImpKosztDescr", &e.kosztDescr, &missing);
  ok &= Bind(handle, "ImpGetNextToken", &e.getNextToken, &missing);
  ok &= Bind(handle, "ImpEnd", &e.end, &missing);
  if (!ok) {
    *error = path + " does not export " + missing;
    return nullptr;
  }
  return module;
}

// The directory holding the running executable, without a trailing
// separator; empty when it cannot be found.
std::string ExecutableDirectory() {
  std::string path;
#if defined(_WIN32)
  std::string buffer(MAX_PATH, '\0');
  for (;;) {
    DWORD length = GetModuleFileNameA(nullptr, &buffer[0], static_cast<DWORD>(buffer.size()));
    if (length == 0) return "";
    if (length < buffer.size()) {
      path.assign(buffer.data(), length);
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
  std::size_t cut = path.find_last_of("\\/");
#else
  std::string buffer(256, '\0');
  for (;;) {
    ssize_t length = readlink("/proc/self/exe", &buffer[0], buffer.size());
    if (length < 0) return "";
    if (static_cast<std::size_t>(length) < buffer.size()) {
      path.assign(buffer.data(), static_cast<std::size_t>(length));
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
  std::size_t cut = path.rfind('/');
#endif
  if (cut == std::string::npos) return "";
  return cut == 0 ? path.substr(0, 1) : path.substr(0, cut);
}

// Where the tool looks for the module when no library is named, in order:
// beside the executable (the build tree, and the bin directory on Windows),
// in the installed library directory relative to it, and last the bare
// library name for the system loader (RPATH, LD_LIBRARY_PATH).
std::vector<std::string> DefaultModuleCandidates() {
  std::vector<std::string> candidates;
  std::string dir = ExecutableDirectory();
  if (!dir.empty()) {
    candidates.push_back(dir + kSeparator + IMPORDANO_DUMP_MODULE_FILE);
    candidates.push_back(dir + kSeparator + IMPORDANO_DUMP_LIBDIR_FROM_BINDIR + kSeparator +
                         IMPORDANO_DUMP_MODULE_FILE);
  }
  candidates.push_back(IMPORDANO_DUMP_MODULE_FILE);
  return candidates;
}

// Loads the first default candidate that exists as a file, else the last
// (bare) one.
std::unique_ptr<Module> LoadDefaultModule(std::string* error) {
  std::vector<std::string> candidates = DefaultModuleCandidates();
  for (std::size_t i = 0; i + 1 < candidates.size(); ++i) {
    if (IsRegularFile(candidates[i])) return Load(candidates[i], error);
  }
  std::string loadError;
  std::unique_ptr<Module> module = Load(candidates.back(), &loadError);
  if (!module) {
    *error = "no " IMPORDANO_DUMP_MODULE_FILE " beside the tool";
    for (std::size_t i = 0; i + 1 < candidates.size(); ++i) {
      *error += i == 0 ? " (looked for " : ", ";
      *error += candidates[i];
    }
    if (candidates.size() > 1) *error += ")";
    *error += ", and the system loader says: " + loadError;
  }
  return module;
}

}  // namespace

std::unique_ptr<Module> OpenModule(const std::string& library, std::string* error) {
  return library.empty() ? LoadDefaultModule(error) : Load(library, error);
}

}  // namespace impdump
