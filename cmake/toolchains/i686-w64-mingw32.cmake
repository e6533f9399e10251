# The product: impordano.dll for 32-bit Windows (the mingw32 preset).
# Doubles are computed in SSE2 registers, as in every 64-bit build, instead
# of on the x87 stack, whose precision depends on the control word that the
# host happens to set; the records then hold the same bits on every target.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(IMPORDANO_MINGW_TRIPLET i686-w64-mingw32)
# The module has no threads, so its DLL carries no threading runtime.
set(IMPORDANO_MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")

# With the 32-bit wine installed (wine32:i386), the programs run under it,
# in a wine prefix inside the build folder. Without it only what needs no
# running is built and checked (the DLL and its tables); the mingw32 preset
# refuses that.
if(EXISTS /usr/lib/wine/wine)
  set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_CURRENT_LIST_DIR}/wine32-run.sh --prefix ${CMAKE_BINARY_DIR}/wineprefix)
endif()
