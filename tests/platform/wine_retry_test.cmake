# When wine-run.sh runs a program once more: only after wine died (status
# 139) with output showing that the program finished (GoogleTest's final
# result line), or after a failed GoogleTest run that printed nothing on
# either stream (the program never started); once at most; each retry a line in
# PREFIX.retries. A stand-in
# wine plays each row: the output the program prints, then the status of
# each run in turn.
set(fake ${WORK}/wine)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${fake})
# The stand-in's wineboot and wineserver do nothing; a program run prints
# OUTPUT and exits with the next status of STATUSES (a file, one a line);
# a status ending in "s" is a run that prints nothing.
file(WRITE ${fake}/wine64 [=[#!/bin/sh
[ "$1" = wineboot ] && exit 0
status=$(head -n 1 "$FAKE_STATUSES")
sed -i 1d "$FAKE_STATUSES"
case $status in
  *s) status=${status%s} ;;
  *) printf '%b' "$FAKE_OUTPUT" ;;
esac
exit "$status"
]=])
file(WRITE ${fake}/wineserver64 "#!/bin/sh\nexit 0\n")
file(CHMOD ${fake}/wine64 ${fake}/wineserver64 PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)

set(passed "[==========] 1 test from 1 test suite ran. (2 ms total)\\r\\n[  PASSED  ] 1 test.\\r\\n")
set(failed "[  FAILED  ] A.B (1 ms)\\r\\n[==========] 1 test from 1 test suite ran.\\r\\n[  FAILED  ] 1 test, listed below:\\r\\n")
set(cut "[ RUN      ] A.B\\r\\n")
set(one_failed_test "[  FAILED  ] A.B (1 ms)\\r\\n")
# row | output | statuses of the runs ("s": printing nothing) | final status |
# retries [| the arguments]
set(rows
  "passed, then wine died|${passed}|139 0|0|1"
  "failed, then wine died|${failed}|139 1|1|1"
  "died twice after passing|${passed}|139 139|139|1"
  "died inside a test|${cut}|139 0|139|0"
  "died after a failed test, before the result|${one_failed_test}|139 0|139|0"
  "program failed, wine did not die|${passed}|1 0|1|0"
  "failed before printing anything, then passed|${passed}|1s 0|0|1"
  "failed before printing anything, then failed|${failed}|1s 1|1|1"
  "not GoogleTest: failed printing nothing|${passed}|6s 0|6|0|--check"
  "passed at once|${passed}|0 0|0|0")

foreach(row IN LISTS rows)
  string(REPLACE "|" ";" row "${row}")
  list(GET row 0 name)
  list(GET row 1 output)
  list(GET row 2 statuses)
  list(GET row 3 want_status)
  list(GET row 4 want_retries)
  # The program's arguments: GoogleTest's, unless the row names others.
  set(arguments --gtest_filter=A.B)
  list(LENGTH row fields)
  if(fields GREATER 5)
    list(GET row 5 arguments)
  endif()
  string(REPLACE " " ";" runs "${statuses}")
  list(GET runs ${want_retries} last_run)
  string(REPLACE " " "\n" statuses "${statuses}\n")
  file(WRITE ${WORK}/statuses "${statuses}")
  file(REMOVE ${WORK}/prefix.retries)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env IMPORDANO_WINE_DIR=${fake}
      FAKE_OUTPUT=${output} FAKE_STATUSES=${WORK}/statuses
      ${SOURCE}/cmake/toolchains/wine64-run.sh --prefix ${WORK}/prefix program.exe ${arguments}
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
  set(retries 0)
  if(EXISTS ${WORK}/prefix.retries)
    file(STRINGS ${WORK}/prefix.retries lines)
    list(LENGTH lines retries)
  endif()
  string(REPLACE "\\r\\n" "\n" want_out "${output}")
  # The output passed on is the last run's: none where that run printed none.
  if(last_run MATCHES "s$")
    set(want_out "")
  endif()
  if(NOT status STREQUAL want_status OR NOT retries EQUAL want_retries
     OR NOT out STREQUAL want_out)
    message(SEND_ERROR "${name}: status ${status} (want ${want_status}), "
      "${retries} retries (want ${want_retries}), output:\n${out}\nstandard error:\n${err}")
  endif()
endforeach()
