# ctest: the shared library defines the five entry points as its only
# dynamic symbols.
#   cmake -DNM=nm -DMODULE=libimpordano.so -P check_so_exports.cmake
include(${CMAKE_CURRENT_LIST_DIR}/exports.cmake)

impordano_run(table ${NM} -D --defined-only ${MODULE})
message("${NM} -D --defined-only ${MODULE}\n${table}")

string(REPLACE ";" "\\;" table "${table}")
string(REPLACE "\n" ";" table "${table}")
set(names "")
foreach(line IN LISTS table)
  if(line MATCHES "^[0-9a-fA-F]* *([A-Za-z]) (.+)$")
    list(APPEND names "${CMAKE_MATCH_2}")
    if(NOT CMAKE_MATCH_1 STREQUAL "T")
      message(FATAL_ERROR "${CMAKE_MATCH_2} is no function in the text section: ${line}")
    endif()
  elseif(NOT line STREQUAL "")
    message(FATAL_ERROR "unexpected line from nm: ${line}")
  endif()
endforeach()
impordano_expect_exports("${MODULE} has the wrong dynamic symbols" "${names}")
