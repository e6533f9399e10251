# Runs impordano-dump once and checks its exit status, its standard output
# (byte for byte against a file, or for substrings) and its standard error
# (for substrings), and a file the tool wrote itself (WRITTEN) byte for byte
# against EXPECT_WRITTEN. Lists come '|'-separated.
string(REPLACE "|" ";" emulator "${EMULATOR}")
string(REPLACE "|" ";" args "${ARGS}")
string(REPLACE "|" ";" stdout_has "${STDOUT_HAS}")
string(REPLACE "|" ";" stderr_has "${STDERR_HAS}")

execute_process(COMMAND ${emulator} ${TOOL} ${args}
  OUTPUT_FILE ${OUTPUT}
  ERROR_VARIABLE stderr
  RESULT_VARIABLE status)

set(failures "")
if(NOT status STREQUAL EXPECT_EXIT)
  string(APPEND failures "exit status ${status}, expected ${EXPECT_EXIT}\n")
endif()
file(READ ${OUTPUT} stdout)
foreach(text IN LISTS stdout_has)
  string(FIND "${stdout}" "${text}" at)
  if(at EQUAL -1)
    string(APPEND failures "standard output lacks: ${text}\n")
  endif()
endforeach()
foreach(text IN LISTS stderr_has)
  string(FIND "${stderr}" "${text}" at)
  if(at EQUAL -1)
    string(APPEND failures "standard error lacks: ${text}\n")
  endif()
endforeach()
if(EMPTY_STDOUT AND NOT stdout STREQUAL "")
  string(APPEND failures "standard output is not empty\n")
endif()
if(EXPECT_STDOUT)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT} ${EXPECT_STDOUT}
    RESULT_VARIABLE differs)
  if(differs)
    string(APPEND failures "standard output (${OUTPUT}) differs from ${EXPECT_STDOUT}\n")
    find_program(DIFF diff)
    if(DIFF)
      execute_process(COMMAND ${DIFF} -u ${EXPECT_STDOUT} ${OUTPUT} OUTPUT_VARIABLE delta)
      string(APPEND failures "${delta}")
    endif()
  endif()
endif()

if(WRITTEN)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WRITTEN} ${EXPECT_WRITTEN}
    RESULT_VARIABLE differs)
  if(differs)
    string(APPEND failures "the written ${WRITTEN} differs from ${EXPECT_WRITTEN}\n")
  endif()
endif()

if(failures)
  message(FATAL_ERROR "impordano-dump ${args}\n${failures}standard error was:\n${stderr}")
endif()
