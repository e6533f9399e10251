# Tests that need a program the build does not make (a browser, another
# compiler, python3). Where the program is missing the test stays in the
# count and skips, naming what to install, instead of passing unseen.
find_package(Python3 COMPONENTS Interpreter)

# impordano_program_test(NAME LABEL <label> NEEDS <var>... COMMAND <command>...
#                        [REQUIRES <fixture>...] [PROPERTIES <property> <value>...])
# Adds the test NAME with the label; each NEEDS variable names a program
# found by find_program (or Python3_EXECUTABLE). `bash scripts/setup-debian.sh
# <label>` installs them.
function(impordano_program_test name)
  cmake_parse_arguments(T "" "LABEL" "NEEDS;COMMAND;REQUIRES;PROPERTIES" ${ARGN})
  set(missing "")
  foreach(program IN LISTS T_NEEDS)
    if(NOT ${program})
      list(APPEND missing ${program})
    endif()
  endforeach()
  if(missing)
    list(JOIN missing ", " missing)
    add_test(NAME ${name} COMMAND ${CMAKE_COMMAND} -E echo
      "skipped: no ${missing} found (bash scripts/setup-debian.sh ${T_LABEL})")
    set_tests_properties(${name} PROPERTIES LABELS ${T_LABEL} SKIP_REGULAR_EXPRESSION "^skipped: ")
  else()
    add_test(NAME ${name} COMMAND ${T_COMMAND})
    set_tests_properties(${name} PROPERTIES LABELS ${T_LABEL} FIXTURES_REQUIRED "${T_REQUIRES}"
      ${T_PROPERTIES})
  endif()
endfunction()

# The generated sample (scripts/write-generated-sample.sh), an estimate that
# brings every kind of token, progress included, for the checks of hosts
# that require the fixture generated_sample. It carries the package checks'
# label, which every suite leaves out, so that it runs only where a test
# requires it.
set(IMPORDANO_GENERATED_SAMPLE ${PROJECT_BINARY_DIR}/generated-sample.txt)
add_test(NAME generated_sample
  COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/write-generated-sample.sh ${IMPORDANO_GENERATED_SAMPLE})
set_tests_properties(generated_sample PROPERTIES FIXTURES_SETUP generated_sample LABELS package)
