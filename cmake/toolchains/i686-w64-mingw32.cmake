# The product: impordano.dll for 32-bit Windows.
#
#   cmake -S . -B build-mingw32 \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/i686-w64-mingw32.cmake
#
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
