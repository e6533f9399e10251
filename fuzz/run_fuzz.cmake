# Fuzzes the import: the target is fed mutations of the seeds in
# SOURCE/corpus, guided by SOURCE/impordano.dict. Any finding fails: a
# crash, a sanitizer report, a leak, an input slower than the timeout or
# bigger in memory than the limit. libFuzzer writes the input behind it to
# WORK/artifacts; its log is WORK/fuzz.log. The corpus grows in WORK/corpus.
#
#   IMPORDANO_FUZZ_SECONDS   how long, instead of SECONDS
#   IMPORDANO_FUZZ_ARGS      more libFuzzer options, e.g. "-seed=1"
if(DEFINED ENV{IMPORDANO_FUZZ_SECONDS})
  set(SECONDS $ENV{IMPORDANO_FUZZ_SECONDS})
endif()
separate_arguments(more UNIX_COMMAND "$ENV{IMPORDANO_FUZZ_ARGS}")
file(GLOB old ${WORK}/artifacts/*)
if(old)
  file(REMOVE ${old})
endif()
# -max_len: room for lines longer than the module's line buffer (9191
# bytes). -timeout: seconds per input; the largest import takes
# milliseconds.
execute_process(COMMAND ${FUZZER} -dict=${SOURCE}/impordano.dict -max_total_time=${SECONDS}
    -max_len=20000 -timeout=20 -rss_limit_mb=2048 -print_final_stats=1
    -artifact_prefix=${WORK}/artifacts/ ${more} ${WORK}/corpus ${SOURCE}/corpus
  OUTPUT_FILE ${WORK}/fuzz.log ERROR_FILE ${WORK}/fuzz.log RESULT_VARIABLE status)

# The seeds' coverage, the last progress line, libFuzzer's figures.
file(STRINGS ${WORK}/fuzz.log log REGEX "^(#[0-9]+[ \t]+(INITED|DONE)|stat::)")
string(REPLACE ";" "\n" log "${log}")
message("${log}")
file(GLOB findings ${WORK}/artifacts/*)
if(NOT status EQUAL 0 OR findings)
  file(READ ${WORK}/fuzz.log whole)
  string(LENGTH "${whole}" length)
  set(from 0)
  if(length GREATER 6000)
    math(EXPR from "${length} - 6000")
  endif()
  string(SUBSTRING "${whole}" ${from} -1 tail)
  message(FATAL_ERROR "FINDING (libFuzzer exit status ${status}): ${findings}\n"
    "the end of ${WORK}/fuzz.log:\n${tail}")
endif()
file(GLOB corpus ${WORK}/corpus/*)
list(LENGTH corpus inputs)
message("no finding in ${SECONDS} s; corpus ${inputs} inputs")
