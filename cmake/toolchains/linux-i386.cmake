# 32-bit Linux build (the linux32 preset): the whole suite in a 32-bit
# address space, where the pointer slots hold ordinary heap addresses. The
# tests, and the test listing of gtest_discover_tests, run under
# qemu-i386-static, so that they do not depend on the kernel's support for
# 32-bit programs, which many build machines lack. SSE2 doubles as in the
# 32-bit Windows build (see i686-w64-mingw32.cmake).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)

set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-m32")

find_program(IMPORDANO_QEMU_I386 qemu-i386-static REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${IMPORDANO_QEMU_I386})
