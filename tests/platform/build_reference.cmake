# Brings the native reference build (BUILD) up to date with the sources
# (SOURCE): impordano-dump, which the cross builds' output is compared with,
# and the benchmark programs the WebAssembly build's speed is measured
# against. A reference not configured yet is configured by the release
# preset, with all its cache variables, into BUILD.
if(NOT EXISTS ${BUILD}/CMakeCache.txt)
  execute_process(COMMAND ${CMAKE_COMMAND} --preset release -B ${BUILD}
    WORKING_DIRECTORY ${SOURCE} RESULT_VARIABLE status)
  if(status)
    message(FATAL_ERROR "configuring the reference build ${BUILD} failed")
  endif()
endif()
set(targets impordano-dump)
file(STRINGS ${BUILD}/CMakeCache.txt benchmarks REGEX "^IMPORDANO_BUILD_BENCHMARKS:BOOL=ON$")
if(benchmarks)
  list(APPEND targets impordano_generate impordano_import_time)
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD} --target ${targets}
  RESULT_VARIABLE status)
if(status)
  message(FATAL_ERROR "building ${targets} in the reference build ${BUILD} failed")
endif()
