# ctest: the DLL's export table holds the five entry points under their
# plain names, and its import table names Windows system DLLs only, so the
# DLL loads on a machine that has no runtime of our compiler.
#   cmake -DOBJDUMP=i686-w64-mingw32-objdump -DMODULE=impordano.dll \
#         -P check_dll_tables.cmake
#
# In a 32-bit DLL it also checks the calling convention: cdecl functions
# carry the plain C symbol (_ImpStart, not _ImpStart@4 or @ImpStart@4) and
# leave the arguments for the caller to pop (ret, never ret $n).
include(${CMAKE_CURRENT_LIST_DIR}/exports.cmake)

impordano_run(headers ${OBJDUMP} -p ${MODULE})
string(REPLACE ";" "\\;" headers "${headers}")
string(REPLACE "\n" ";" lines "${headers}")

set(section "")
set(exports "")
set(imports "")
set(format "")
foreach(line IN LISTS lines)
  if(line MATCHES "file format (pei-[a-z0-9-]+)")
    set(format "${CMAKE_MATCH_1}")
  elseif(line MATCHES "^\\[Ordinal/Name Pointer\\] Table")
    set(section names)
    message("${line}")
    continue()
  elseif(line STREQUAL "")
    set(section "")
  endif()
  if(section STREQUAL "names")
    message("${line}")
    if(line MATCHES "^\t\\[ *[0-9]+\\] (.+)$")
      list(APPEND exports "${CMAKE_MATCH_1}")
    endif()
  endif()
  if(line MATCHES "^\tDLL Name: (.+)$")
    list(APPEND imports "${CMAKE_MATCH_1}")
  endif()
endforeach()
message("imports: ${imports}")

if(NOT format MATCHES "^pei-(i386|x86-64)$")
  message(FATAL_ERROR "${MODULE} is no PE image for x86 (format '${format}')")
endif()
impordano_expect_exports("${MODULE} has the wrong exports" "${exports}")

if(NOT imports)
  message(FATAL_ERROR "${MODULE}: no import table found")
endif()
set(system_dll "^(kernel32|msvcrt|ucrtbase|ntdll|user32|advapi32|shell32|ole32|oleaut32|ws2_32|bcrypt|api-ms-win-[a-z0-9-]+)\\.dll$")
foreach(dll IN LISTS imports)
  string(TOLOWER "${dll}" name)
  if(NOT name MATCHES "${system_dll}")
    message(FATAL_ERROR "${MODULE} depends on ${dll}, which is no Windows system DLL "
      "(link the compiler's runtime statically)")
  endif()
endforeach()

if(format STREQUAL "pei-i386")
  impordano_run(symbols ${OBJDUMP} -t ${MODULE})
  foreach(name IN LISTS IMPORDANO_EXPORTS)
    if(NOT symbols MATCHES "[ \t]_${name}\n")
      message(FATAL_ERROR "${MODULE}: no cdecl symbol _${name}")
    endif()
    impordano_run(code ${OBJDUMP} -d --no-show-raw-insn --disassemble=_${name} ${MODULE})
    if(NOT code MATCHES "<_${name}>:")
      message(FATAL_ERROR "${MODULE}: cannot disassemble _${name}")
    endif()
    if(code MATCHES "\tret +\\$0x[0-9a-f]+")
      message(FATAL_ERROR "${MODULE}: ${name} pops its own arguments (${CMAKE_MATCH_0}): not cdecl")
    endif()
  endforeach()
  message("cdecl: every entry point is _Name and returns with a plain ret")
endif()
