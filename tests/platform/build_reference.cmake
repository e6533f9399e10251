# Brings impordano-dump of the native reference build (BUILD) up to date
# with the sources (SOURCE); a reference not configured yet is configured
# as the release build is.
if(NOT EXISTS ${BUILD}/CMakeCache.txt)
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${BUILD}
    -DCMAKE_BUILD_TYPE=RelWithDebInfo RESULT_VARIABLE status)
  if(status)
    message(FATAL_ERROR "configuring the reference build ${BUILD} failed")
  endif()
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD} --target impordano-dump
  RESULT_VARIABLE status)
if(status)
  message(FATAL_ERROR "building impordano-dump in the reference build ${BUILD} failed")
endif()
