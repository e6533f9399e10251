/* A host that links no import library: it loads the module at run time
 * (LoadLibrary and GetProcAddress on Windows, dlopen and dlsym elsewhere)
 * and calls the five exports through the header's pointer types. Prints the
 * estimate's description, then the type of each token on a line of its own.
 * Build: see README.txt.
 *
 *   loader MODULE ESTIMATE-FILE   (MODULE: bin\impordano.dll, lib/libimpordano.so.0) */
#include <stdio.h>
#include <string.h>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <impordano.h>

#if defined(_WIN32)
typedef HMODULE Module;
#define OpenModule(path) LoadLibraryA(path)
#else
typedef void* Module;
#define OpenModule(path) dlopen((path), RTLD_NOW)
#endif

/* Any function pointer converts to and from this type without a warning. */
typedef void (*Function)(void);

/* The export `name` of `module`, or NULL. */
static Function Export(Module module, const char* name) {
#if defined(_WIN32)
  return (Function)GetProcAddress(module, name);
#else
  void* symbol = dlsym(module, name);
  Function function;
  memcpy(&function, &symbol, sizeof function); /* POSIX: the same size */
  return function;
#endif
}

int main(int argc, char** argv) {
  static ImpBuffer buffer;
  Module module;
  ImpStartFn start;
  ImpGetDescrFn getDescr;
  ImpKosztDescrFn kosztDescr;
  ImpGetNextTokenFn getNextToken;
  ImpEndFn end;
  const char *description, *full;
  int32_t type;
  int failed;
  if (argc != 3) return fprintf(stderr, "usage: loader MODULE ESTIMATE-FILE\n"), 2;
  module = OpenModule(argv[1]);
  if (!module) return fprintf(stderr, "loader: cannot load %s\n", argv[1]), 1;
  start = (ImpStartFn)Export(module, "ImpStart");
  getDescr = (ImpGetDescrFn)Export(module, "ImpGetDescr");
  kosztDescr = (ImpKosztDescrFn)Export(module, "ImpKosztDescr");
  getNextToken = (ImpGetNextTokenFn)Export(module, "ImpGetNextToken");
  end = (ImpEndFn)Export(module, "ImpEnd");
  if (!start || !getDescr || !kosztDescr || !getNextToken || !end) {
    fprintf(stderr, "loader: %s is no impordano module\n", argv[1]);
    return 1;
  }

  if (start(argv[2]) != IMP_START_OK) {
    fprintf(stderr, "loader: %s: error \"%s\" (\"\": not an estimate)\n", argv[2], getDescr());
    return 1;
  }
  description = kosztDescr();
  full = IMP_LONG_TEXT(description, IMP_DESCRIPTION_SIZE);
  printf("description\t%s\n", full ? full : description);
  end();
  if (start(argv[2]) != IMP_START_OK) return 1;
  while (getNextToken(&type, buffer.bytes)) printf("token\t%d\n", (int)type);
  failed = *getDescr() != 0;
  if (failed) fprintf(stderr, "loader: the import failed, error %s\n", getDescr());
  end();
  return failed;
}
