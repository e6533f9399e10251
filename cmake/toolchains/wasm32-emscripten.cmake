# WebAssembly (wasm32) with Debian's Emscripten: the module for the browser
# viewer, and the suite run under Node.
#
#   cmake -S . -B build-wasm \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/wasm32-emscripten.cmake \
#     -DIMPORDANO_GTEST_FROM_SOURCE=/usr/src/googletest
#
# wasm32 is a 32-bit little-endian target: the records and their slots are
# those of the 32-bit DLL.
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

# em++ runs Node programs of Debian's emscripten package when it links
# (its JavaScript optimizer), and those need Debian's Node modules, which
# the machine's node does not search by itself.
set(IMPORDANO_EMSCRIPTEN_ENV env NODE_PATH=/usr/share/nodejs)
set(CMAKE_C_LINKER_LAUNCHER ${IMPORDANO_EMSCRIPTEN_ENV})
set(CMAKE_CXX_LINKER_LAUNCHER ${IMPORDANO_EMSCRIPTEN_ENV})

# -fexceptions: the module reports running out of memory by std::bad_alloc,
# which Emscripten would otherwise turn into an abort. -msimd128 -msse2: the
# line reader's SSE2 scan compiles to WebAssembly SIMD, which every current
# browser runs.
set(CMAKE_C_FLAGS_INIT "-fexceptions -msimd128 -msse2")
set(CMAKE_CXX_FLAGS_INIT "-fexceptions -msimd128 -msse2")
# A failed malloc returns null instead of aborting, and memory grows as the
# import needs it, up to 2 GiB.
set(CMAKE_EXE_LINKER_FLAGS_INIT
  "-fexceptions -sABORTING_MALLOC=0 -sALLOW_MEMORY_GROWTH=1 -sMAXIMUM_MEMORY=2GB")

# Programs built for Node (the suite, impordano-dump) see the real file
# system, and carry their WebAssembly inside the .js file: Node 20's fetch
# cannot load a .wasm file beside it.
set(IMPORDANO_WASM_NODE_LINK_OPTIONS -sNODERAWFS=1 -sSINGLE_FILE=1 -sENVIRONMENT=node)
