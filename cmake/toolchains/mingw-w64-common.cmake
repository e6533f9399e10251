# Shared part of the MinGW-w64 cross toolchains; the including file sets
# IMPORDANO_MINGW_TRIPLET, IMPORDANO_MINGW_THREADS and CMAKE_SYSTEM_PROCESSOR
# first.
#
# Debian ships each MinGW-w64 compiler in two thread models: "win32", whose
# C++ runtime has no std::mutex or std::thread and needs no threading
# library, and "posix", which has them through winpthreads.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${IMPORDANO_MINGW_TRIPLET}-gcc-${IMPORDANO_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${IMPORDANO_MINGW_TRIPLET}-g++-${IMPORDANO_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${IMPORDANO_MINGW_TRIPLET}-windres)
set(CMAKE_AR ${IMPORDANO_MINGW_TRIPLET}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${IMPORDANO_MINGW_TRIPLET}-ranlib CACHE FILEPATH "")
set(CMAKE_OBJDUMP ${IMPORDANO_MINGW_TRIPLET}-objdump CACHE FILEPATH "")
set(CMAKE_STRIP ${IMPORDANO_MINGW_TRIPLET}-strip CACHE FILEPATH "")
set(CMAKE_DLLTOOL ${IMPORDANO_MINGW_TRIPLET}-dlltool CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${IMPORDANO_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Executables (the dump tool, the test suite) carry their
# runtime inside too, so that they start from the build tree without a
# search path for the compiler's DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
