# valgrind's memcheck, seen from the build. Included by the top-level
# CMakeLists.txt before include(CTest), which reads the MEMORYCHECK_ values.
#
# The arena describes its blocks to memcheck when <valgrind/memcheck.h> is
# there. Whether it is there is decided here, at every configure, and handed
# to the compiler as IMPORDANO_HAVE_MEMCHECK_H: a build made before valgrind
# was installed gets the definition at its next configure, and the arena is
# compiled again, because its flags changed. (A header that the compiler
# merely looks for with __has_include leaves no trace in the dependencies,
# so an existing object was never rebuilt.)

# find_path searches again while its result is NOTFOUND; a path found once
# and gone since (valgrind removed) is searched again too.
if(IMPORDANO_MEMCHECK_INCLUDE_DIR
   AND NOT EXISTS "${IMPORDANO_MEMCHECK_INCLUDE_DIR}/valgrind/memcheck.h")
  unset(IMPORDANO_MEMCHECK_INCLUDE_DIR CACHE)
endif()
find_path(IMPORDANO_MEMCHECK_INCLUDE_DIR valgrind/memcheck.h
  DOC "Folder holding valgrind/memcheck.h, for the arena's memcheck hooks")
mark_as_advanced(IMPORDANO_MEMCHECK_INCLUDE_DIR)

# impordano_memcheck_hooks(TARGET): compiles TARGET with the hooks when the
# header is there.
function(impordano_memcheck_hooks target)
  if(IMPORDANO_MEMCHECK_INCLUDE_DIR)
    target_compile_definitions(${target} PRIVATE IMPORDANO_HAVE_MEMCHECK_H)
    target_include_directories(${target} SYSTEM PRIVATE ${IMPORDANO_MEMCHECK_INCLUDE_DIR})
  endif()
endfunction()

# What counts as an error, for ctest -T memcheck and for the valgrind
# preset alike: any invalid read or write, any use of uninitialised memory,
# any block definitely lost. Other leak kinds are reported, not failed.
find_program(MEMORYCHECK_COMMAND valgrind)
set(IMPORDANO_MEMCHECK_OPTIONS --tool=memcheck --error-exitcode=99 --leak-check=full
  --errors-for-leak-kinds=definite --show-leak-kinds=definite --track-origins=yes
  --num-callers=30)
list(JOIN IMPORDANO_MEMCHECK_OPTIONS " " MEMORYCHECK_COMMAND_OPTIONS)
set(MEMORYCHECK_COMMAND_OPTIONS "${MEMORYCHECK_COMMAND_OPTIONS}" CACHE STRING
  "valgrind options of ctest -T memcheck")

# IMPORDANO_MEMCHECK=ON (the valgrind preset): every test of the suite and
# of impordano-dump runs under memcheck, and a report fails it.
option(IMPORDANO_MEMCHECK "Run the tests under valgrind's memcheck" OFF)
if(IMPORDANO_MEMCHECK)
  if(NOT MEMORYCHECK_COMMAND)
    message(FATAL_ERROR "IMPORDANO_MEMCHECK needs valgrind (apt-get install valgrind)")
  endif()
  if(NOT IMPORDANO_MEMCHECK_INCLUDE_DIR)
    message(FATAL_ERROR "IMPORDANO_MEMCHECK needs valgrind/memcheck.h for the arena's hooks")
  endif()
  set(IMPORDANO_MEMCHECK_RUN ${MEMORYCHECK_COMMAND} ${IMPORDANO_MEMCHECK_OPTIONS})
endif()

# impordano_run_tests_under_memcheck(TARGET): the tests that run TARGET run
# it under memcheck (nothing without IMPORDANO_MEMCHECK).
function(impordano_run_tests_under_memcheck target)
  if(NOT IMPORDANO_MEMCHECK_RUN)
    return()
  endif()
  if(CMAKE_VERSION VERSION_GREATER_EQUAL 3.29)
    set_property(TARGET ${target} PROPERTY TEST_LAUNCHER ${IMPORDANO_MEMCHECK_RUN})
  else()
    # Before TEST_LAUNCHER, add_test and gtest_discover_tests put the
    # emulator before the program, cross build or not.
    set_property(TARGET ${target} PROPERTY CROSSCOMPILING_EMULATOR ${IMPORDANO_MEMCHECK_RUN})
  endif()
endfunction()
