# 64-bit Windows build of the module, the suite and the dump tool (the
# mingw64 preset). Its programs run through wine64-run.sh with a wine prefix
# inside the build folder, so ctest runs them as in a native build.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(IMPORDANO_MINGW_TRIPLET x86_64-w64-mingw32)
# GoogleTest needs std::mutex; winpthreads is linked in statically.
set(IMPORDANO_MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

set(CMAKE_CROSSCOMPILING_EMULATOR
  ${CMAKE_CURRENT_LIST_DIR}/wine64-run.sh --prefix ${CMAKE_BINARY_DIR}/wineprefix)
