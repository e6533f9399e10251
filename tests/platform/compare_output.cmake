# ctest: a program of a cross build, run under its emulator, writes exactly
# the bytes that the native build of the same program writes for the same
# input, and exits the same way.
#   cmake -DTESTED_RUN="emulator|args|prog|args" -DREFERENCE_RUN="prog|args" \
#         -DOUTPUT=path/prefix -P compare_output.cmake
# Commands are lists separated by '|'. The outputs are kept as
# OUTPUT.tested and OUTPUT.reference.
foreach(var TESTED_RUN REFERENCE_RUN)
  string(REPLACE "|" ";" ${var} "${${var}}")
endforeach()
get_filename_component(dir "${OUTPUT}" DIRECTORY)
file(MAKE_DIRECTORY "${dir}")

list(GET REFERENCE_RUN 0 reference_program)
if(NOT EXISTS "${reference_program}")
  message(FATAL_ERROR "no reference program ${reference_program}: build the native tree first")
endif()

execute_process(COMMAND ${TESTED_RUN}
  OUTPUT_FILE "${OUTPUT}.tested" RESULT_VARIABLE tested_rc)
execute_process(COMMAND ${REFERENCE_RUN}
  OUTPUT_FILE "${OUTPUT}.reference" RESULT_VARIABLE reference_rc)

file(SIZE "${OUTPUT}.tested" tested_size)
file(SIZE "${OUTPUT}.reference" reference_size)
message("reference: exit ${reference_rc}, ${reference_size} bytes; "
        "tested: exit ${tested_rc}, ${tested_size} bytes")

if(NOT tested_rc STREQUAL reference_rc)
  message(FATAL_ERROR "exit status differs: reference ${reference_rc}, tested ${tested_rc}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${OUTPUT}.reference" "${OUTPUT}.tested"
  RESULT_VARIABLE differ)
if(differ)
  execute_process(COMMAND diff -u --text "${OUTPUT}.reference" "${OUTPUT}.tested"
    OUTPUT_VARIABLE diff)
  string(SUBSTRING "${diff}" 0 4000 diff)
  message(FATAL_ERROR "the outputs differ:\n${diff}")
endif()
if(reference_size EQUAL 0 AND reference_rc EQUAL 0)
  message(FATAL_ERROR "both outputs are empty")
endif()
