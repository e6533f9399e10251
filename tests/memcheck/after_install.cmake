# Memcheck sees the arena's red zone on a build that valgrind was installed
# over. WORK gets a build of tests/memcheck whose header searches are rooted
# in WORK/root: first without valgrind's header, as on a machine without
# valgrind, then with it copied in, as apt-get install valgrind does, and
# configured once more, as the configure step of every preset is. Each step
# checks what the cache found and what memcheck reports for the program's
# read of the byte past an arena block.
string(REPLACE "|" ";" memcheck "${MEMCHECK}")
set(build ${WORK}/build)
set(root ${WORK}/root)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${root}/usr/include)

# step | header installed | header found | memcheck's exit status | in its report
set(steps
  "without valgrind|NO|NO|0|ERROR SUMMARY: 0 errors"
  "valgrind installed|YES|YES|99|Invalid read of size 1")

foreach(step IN LISTS steps)
  string(REPLACE "|" ";" step "${step}")
  list(GET step 0 name)
  list(GET step 1 install)
  list(GET step 2 want_found)
  list(GET step 3 want_status)
  list(GET step 4 want_report)
  if(install)
    file(COPY ${HEADERS} DESTINATION ${root}/usr/include)
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE}/tests/memcheck -B ${build}
      -G ${GENERATOR} -DIMPORDANO_SOURCE=${SOURCE}
      -DCMAKE_FIND_ROOT_PATH=${root} -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY
    OUTPUT_VARIABLE log ERROR_VARIABLE log RESULT_VARIABLE status)
  if(status)
    message(FATAL_ERROR "${name}: configure failed:\n${log}")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${build} --parallel 2
    OUTPUT_VARIABLE log ERROR_VARIABLE log RESULT_VARIABLE status)
  if(status)
    message(FATAL_ERROR "${name}: build failed:\n${log}")
  endif()

  load_cache(${build} READ_WITH_PREFIX cache_ IMPORDANO_MEMCHECK_INCLUDE_DIR)
  set(found NO)
  if(cache_IMPORDANO_MEMCHECK_INCLUDE_DIR)
    set(found YES)
  endif()
  execute_process(COMMAND ${memcheck} ${build}/arena_overrun
    OUTPUT_QUIET ERROR_VARIABLE report RESULT_VARIABLE status)
  string(FIND "${report}" "${want_report}" at)
  if(NOT found STREQUAL want_found OR NOT status STREQUAL want_status OR at EQUAL -1)
    message(FATAL_ERROR "${name}: header found ${found} (want ${want_found}), memcheck's "
      "exit status ${status} (want ${want_status}), '${want_report}' "
      "in its report: ${at}\n${report}")
  endif()
  message(STATUS "${name}: header found ${found}, memcheck: ${want_report}")
endforeach()
